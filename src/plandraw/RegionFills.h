// Region fills of object outlines: the outline's first ring as a closed polygon of whole
// view coordinates, handed to the plan view's region service (solid or hatched fill, stroke).
#pragma once
#include <cstdint>

#include "model/Types.h"

class DrawContext;
struct Objex;

// Region pens and brushes of the plan view's region service.
enum : int16_t { kPenRegionSolid = 0, kPenRegionDotted = 2, kPenRegionNone = 5 };
enum : int16_t {
  kBrushHollow = -1, kBrushSolid = 0, kBrushBackwardDiagonal = 1, kBrushForwardDiagonal = 2
};

// Fills the outline of an object with straight segments. Nothing without the object, a
// current document with its DocState, both colours, or a main window plan view.
void Draw2DFillRegion(DrawContext* handle, Objex* object, int16_t penStyle, int32_t lineWidth,
                      const RGBColor* strokeColor, const RGBColor* fillColor, int16_t brushStyle);
// The same for an outline that may hold curves: curved segments are flattened (the object
// is not changed).
void Draw2DCurvedFillRegion(DrawContext* handle, Objex* object, int16_t penStyle, int32_t lineWidth,
                            const RGBColor* strokeColor, const RGBColor* fillColor, int16_t brushStyle);
