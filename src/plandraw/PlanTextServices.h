// The text services the plan labels and dimension readouts share: measuring and drawing a
// string through the plan view, the centred text box and the escapement of an angle.
#pragma once
#include <cstdint>

#include "model/Types.h"
#include "plandraw/DrawTypes.h"

class DrawContext;

// Whether text of the font is tall enough to read (3 view units); smaller text is not
// measured, and the painter leaves it out.
bool IsPlanTextReadable(const LOGFONT& font);
// Width and height of the string in the font (the given context, else the current one);
// 0 by 0 for text too small to read.
NSSize MeasurePlanText(DrawContext* handle, const char* text, const LOGFONT& font);
// The string centred on the rect, turned by the font's orientation, through the plan view,
// at the font's own height however small.
void DrawPlanTextInRect(DrawContext* handle, const char* text, const NSRect& rect, const LOGFONT& font,
                        const RGBColor& color);
// The box of a measured string centred at (cx, cy), 6 units wider than the text, whole units.
NSRect CentredTextBox(float cx, float cy, NSSize size);
// Tenths of a degree, rounded as LOGFONT escapements are.
int32_t TextEscapement(float degrees);
