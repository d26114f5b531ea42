// Finishing of a wall face as it is built: its openings cut, its side material, casings and
// step faces (the openings library's finishing where installed, else the side material only).
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct Plane;

// Face `faceIndex` of the wall's generated body `part`, with its four corners, on `plane`.
void CarveWindowsAndDoors(Objex* part, Objex* wall, Poinz* bottomStart, Poinz* topStart, Poinz* bottomEnd,
                          Poinz* topEnd, int32_t faceIndex, Plane* plane);
