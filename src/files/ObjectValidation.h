// The sanity test that object readers apply to every object they bring in.
#pragma once

struct Objex;

// True when a point lies outside +-1e6 or is not a number, or when an area object (floor,
// property line, ground fill, cutout, deck, roof panel, excavation, dormer cutout) has
// fewer than 3 points. False for null.
bool IsObjectPointValuesInvalid(const Objex* object);
