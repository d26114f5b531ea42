// Texture face coordinates of 3D faces and the ring lengths stored in their points;
// the plan rotation of a whole object that the face projection uses.
#pragma once
#include "model/TransformInfo.h"

struct Objex;
struct Poinz;

// Picks the projection plane, stores the texture rectangle and gives every point u and v.
void SetTextureFaceUV(Objex* obj);
// Stores in every point its ring's length and the length along the ring up to it.
void SetObjectPointLengths(Objex* obj);
// Length of ring 1 (ring 3 with thirdLevel on a 3-level object).
float GetTotalPerimeterLength(const Objex* obj, int thirdLevel);
// Length along the ring from its first point through segment `index`.
float GetPointIndexPerimeterLength(const Objex* obj, int index, int thirdLevel);
// 3D length of the curved segment from p0 to p1 as curveSegments chords.
float GetSplineLength(const Poinz* p0, const Poinz* p1);

// Turns every point in the plan (x, z) about (centre x, centre z) by info->angle,
// whatever the working plane; refreshes the bounds.
void SimpleRotateObject(Objex* obj, const TransformInfo* info);
