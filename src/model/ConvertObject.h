// Turning a drawn shape into a building element in place: the same record, points and ID
// take the type, the tool defaults and the rebuilt 3D form of a wall, floor, deck and so on.
#pragma once
#include <cstdint>

#include "model/TopoGrid.h"

struct Objex;

// Converts the object by one of the commands kCmdConvertToInteriorWall ..
// kCmdConvertToDeckCutout and stores the undo snapshot under the command's action name;
// true when converted. A refused conversion leaves the object as it was (the inspector and
// the plan are still refreshed); a command outside the range does nothing at all.
bool ConvertObjectType(Objex* object, int32_t command);
// The undo action name of a conversion command, or null for any other code.
const char* ConversionUndoName(int32_t command);

// Held around a command converting the selected objects one by one. While one lives, Convert
// to Topography works the ground's heights out once, before they are next read, and rebuilds
// the 3D scene once, when the outermost batch ends, rather than after each object: the first
// conversion rebuilds at once, and the later ones put their rebuilds off unless that rebuild
// told the user something, or rebuilding moves parts of the plan onto the ground under them
// (groups of 3D symbol parts or cabinets, and edging, set on the terrain); then each one
// rebuilds as before. Every object keeps its own undo step.
class ConversionBatch {
 public:
  ConversionBatch();
  ~ConversionBatch();
  ConversionBatch(const ConversionBatch&) = delete;
  ConversionBatch& operator=(const ConversionBatch&) = delete;

 private:
  LotElevationBatch heights_;
};
