// Builders of new shapes from a few numbers: polygons from point arrays, rectangles,
// ovals, regular polygons, lines, arcs and the click-by-click polyline and spline.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;

// Arrays hold three floats (x, y, z) per point. Ring 2 is optional.
Objex* BuildGeneralPoly(const float* positions1, const float* positions2, const float* inHandles1,
                        const float* outHandles1, const float* inHandles2, const float* outHandles2,
                        int32_t count, Layer* layer, uint8_t useStyle, int16_t type, uint8_t closed,
                        uint8_t addToLayer);
Objex* BuildOpenPoly(const float* positions1, const float* positions2, const float* inHandles1,
                     const float* outHandles1, const float* inHandles2, const float* outHandles2,
                     int32_t count, Layer* layer, uint8_t useStyle);
Objex* BuildClosedPoly(const float* positions1, const float* positions2, const float* inHandles1,
                       const float* outHandles1, const float* inHandles2, const float* outHandles2,
                       int32_t count, Layer* layer, uint8_t useStyle);

// Shapes in the x/y plane.
Objex* BuildRect(float x1, float y1, float x2, float y2, Layer* layer, uint8_t useStyle);
Objex* BuildOval(float x1, float y1, float x2, float y2, Layer* layer, uint8_t useStyle);
Objex* BuildLine(float x1, float y1, float x2, float y2, Layer* layer, uint8_t useStyle);
Objex* BuildMulti(float centreX, float centreY, float cornerX, float cornerY, Layer* layer,
                  int16_t sides, uint8_t useStyle, float w);

// Click-by-click polyline: phase 1 starts it, 2 adds a point, 3 finishes it.
Objex* BuildPoly(Objex* object, int32_t unused1, int32_t unused2, int32_t unused3, float x, float y,
                 float z, Layer* layer, int16_t phase, uint8_t useStyle);
Objex* BuildSpline(Objex* object, int32_t unused1, int32_t unused2, int32_t unused3, float x,
                   float y, float z, Layer* layer, int16_t phase, uint8_t useStyle, int16_t plane);

// Arcs between bounding corners; angles in degrees.
Objex* BuildArc(float x1, float y1, float x2, float y2, float startAngle, float sweep, Layer* layer,
                uint8_t useStyle);
Objex* BuildTempArc(float x1, float y1, float x2, float y2, float startAngle, float sweep, float w,
                    int16_t plane);
Objex* BuildTempArcGivenIncrement(float x1, float y1, float x2, float y2, float startAngle,
                                  float sweep, float w, int16_t plane, float increment);
