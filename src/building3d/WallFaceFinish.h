// Finishing of a wall face as it is built: its openings cut, its side material, casings and
// step faces (the openings library's finishing where installed, else the side material only).
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct Plane;
struct PlaneObject;

// The face takes its side's material from the segment's start point: the face along the wall
// points (side 0) shows the point's second slot on side A and its first on side B, the face
// of side 1 the reverse; each linked back to the point.
void TakeWallSideMaterials(PlaneObject* po, Poinz* start, int side);

// Face `faceIndex` of the wall's generated body `part`, with its four corners, on `plane`.
void CarveWindowsAndDoors(Objex* part, Objex* wall, Poinz* bottomStart, Poinz* topStart, Poinz* bottomEnd,
                          Poinz* topEnd, int32_t faceIndex, Plane* plane);
