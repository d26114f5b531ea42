// Topography grid files: the lot's elevation grid with its spacing and bounds, followed by
// the topography objects, which replace the document's topography layer.
#pragma once
#include <cstdint>

constexpr int32_t kVersionTopoGrid8000 = 8000;
constexpr int32_t kVersionTopoGrid9000 = 9000;

// Reads the topography grid file named by `path` (a 512-byte buffer that may be repaired in
// place) into the current document: grid spacing, lot size and units, the four plan bounds,
// the grid, and a new "TopoLayer" holding the file's topography objects, deselected.
// 1 when the file was read. 0 without a document, DocState or path; with an empty path or a
// file that cannot be opened the default grid is set up silently; an unknown version or a
// damaged file is reported, sets up the default grid and changes nothing else.
int ReadTopoGridFile(char* path);

// Reads the grid part (spacing through the elevations) of the loaded input into the current
// DocState and the grid. A count below 1 keeps the previous grid. False, with nothing
// changed, without a DocState or when the part is cut short or its counts do not fit the
// bytes present or the grid limits.
bool DoReadGrid();
