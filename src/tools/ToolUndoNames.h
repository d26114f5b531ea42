// The undo action stored after a drag with each tool, and when it is stored.
#pragma once
#include <cstdint>

// The action name to store after a drag with the tool now current (after a lent wall tool
// was given back); " " (no action name) for a tool without its own name. Null when the
// tool stores no snapshot after a drag: key entry, pan, view point, the key-entry wall
// tools, insert and remove point (which store their own) and text (which opens its sheet).
const char* UndoNameForTool(uint16_t tool);
// Whether the snapshot is stored at all: the selection, rotate and resize tools only when
// the click hit something, the fillet and chamfer tools only when a corner was changed.
bool ToolStoresUndo(uint16_t tool, uint8_t hitMode, uint8_t filletChamferUndo);
