// Lifting new plane objects (and plan objects) to their final height: the object's base
// elevation, or the terrain of the topography grid under it.
#pragma once

struct Objex;
struct PlaneObject;

// Terrain height at the plan point (x, z), up negative like vertex heights: the negated grid
// value. 0 when the terrain is not in use, without a document, beyond the grid on both axes,
// or where the grid holds no value (-10000) at any corner of the cell.
float GetTopoElevationAtGridPt(float x, float z);
// Moves every vertex of a plane object built for `object` to its final height (the object's
// root decides, or the grouped member standing at its own elevations, GetPlacementObject:
// its base elevation, or on the terrain).
void ElevatePlaneObject(PlaneObject* planeObject, Objex* object);
// Places a property line 3 units above the lot's slope (above 0 without a lot).
void SetPropertyLineElevation(PlaneObject* planeObject);
// The same rules for the points of a plan object.
void ElevateObject(Objex* object);
// Where an object on the terrain stands (world inches): the highest terrain point under its
// points, or under its members' at any depth for a group; 0 without terrain heights.
float GroundUnderObject(const Objex* object);
