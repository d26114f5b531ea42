// Turning a drawn shape into a building element in place: the same record, points and ID
// take the type, the tool defaults and the rebuilt 3D form of a wall, floor, deck and so on.
#pragma once
#include <cstdint>

struct Objex;

// Converts the object by one of the commands kCmdConvertToInteriorWall ..
// kCmdConvertToDeckCutout and stores the undo snapshot under the command's action name;
// true when converted. A refused conversion leaves the object as it was (the inspector and
// the plan are still refreshed); a command outside the range does nothing at all.
bool ConvertObjectType(Objex* object, int32_t command);
// The undo action name of a conversion command, or null for any other code.
const char* ConversionUndoName(int32_t command);
