// Areas of outlines in square feet or square metres, floor totals, and the winding
// of an outline.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;

float ComputeObjectStraightArea(const Objex* object);
float ComputeObjectCurvedArea(const Objex* object);
// Sum over the layer's top-level objects of one type (walls: exterior walls only).
float ComputeSquareFootage(const Layer* layer, int16_t type);
bool IsObjectClockwise(const Objex* object);
