// Builders of dimension objects (length, offset, diameter, leader, angle) from measured
// points and a drag point, and the dimension-info record with its optional text box.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;

// Each returns the new dimension, appended to the layer, or null without a layer, a
// current DocState, or when the first two points coincide.
// Measured ends (x1, y1)-(x2, y2) with the dimension line through the drag point (mx, my),
// built in the x/y plane and laid into the working plane.
Objex* BuildLengthDim(float x1, float y1, float x2, float y2, float mx, float my, Layer* layer);
// Plan points; alongZ: the line runs along z at x = mx (type 141), else along x at z = mz (142).
Objex* BuildOffsetDim(float x1, float z1, float x2, float z2, float mx, float mz, Layer* layer,
                      uint8_t alongZ);
Objex* BuildDiameterDim(float x1, float z1, float x2, float z2, Layer* layer);
Objex* BuildLeaderDim(float x1, float z1, float x2, float z2, float x3, float z3, Layer* layer);
// The fifth point is the tool's and is not stored.
Objex* BuildAngleDim(float x1, float z1, float x2, float z2, float x3, float z3, float x4, float z4,
                     float x5, float z5, Layer* layer);

// Gives the dimension its info record and, with withBox, a 40 x 20 text box centred on
// (x, y), grouped with it. Returns the dimension.
Objex* AddDimensionInfo(Objex* dimension, int16_t x, int16_t y, uint8_t withBox);
