// The wall tool: straight walls drawn one segment per drag (exterior, interior and retaining
// walls). A drag from or to a free wall end extends that wall, between the two free ends of
// one wall closes it, between free ends of two walls merges them; a drag that starts on the
// side of a wall starts on its face, perpendicular to it, with live distances to the walls
// beside it.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;

// The wall key-entry sheet on the main design window for the segment just drawn by a
// key-entry wall tool (start point fixed, end point free); set by the application. True when
// the sheet opened: it then stores the drag's undo step, else the tool stores it itself.
extern bool (*gWallKeyEntrySheetHook)(Poinz* startPoint, Poinz* endPoint, Objex* wall);

// One tracking stage (kTrackBegin, kTrackKeep, kTrackEnd) at an evaluated world point.
void TrackWall(int32_t windowX, int32_t windowY, float worldX, float worldY, float worldZ, int16_t stage);
