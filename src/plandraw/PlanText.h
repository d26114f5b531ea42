// Text labels of the plan: object labels, the two kinds of text object, live labels of the
// tools, and the door and window callouts beside wall dimensions. Positions are plan x and z.
#pragma once
#include <cstdint>

#include "model/Types.h"

class DrawContext;
struct DoorWindowData;

// A label beside a plan point, turned by the angle (degrees), document font, pen colour.
void DrawNormalText(DrawContext* handle, const char* text, float x, float z, float angle);
void DrawNormalTextNoOrientation(DrawContext* handle, const char* text, float x, float z, float angle);
// A dynamic text object: the text centred at the plan point, turned by the angle, in `font`.
void DrawRotatedText(DrawContext* handle, const char* text, float x, float z, float angle, const LOGFONT* font);
// A standard text object laid out in its plan box (top = smallest z, left = smallest x),
// unturned, aligned by kTextAlignLeft/Center/Right.
void DrawStandardText(DrawContext* handle, const char* text, const FloatRect* box, const LOGFONT* font,
                      int16_t alignment);
// A live label added to the rubber band; nothing is drawn at once.
void DrawDynamicText(DrawContext* handle, const char* text, float x, float z, float angle);
// The live-label look drawn at once, in blue.
void ApplePortDrawPseudoDynamicText(const char* text, float x, float z, float angle);
// A door or window callout ("width x height" and the door kind) beside the wall segment
// (x1, z1)-(x2, z2), `distance` out from the opening's point (ax, az) on the side chosen by
// `side`; only while callouts are shown.
void DrawAttachmentCalloutText(DrawContext* handle, const DoorWindowData* opening, float x1, float z1, float x2,
                               float z2, float ax, float az, uint8_t side, float distance);

// The callout text of an opening: the width and height readouts joined by " x ", and for a
// door the suffix of its kind. `out` holds at least kCalloutTextSize bytes.
constexpr int kCalloutTextSize = 160;
void GetAttachmentCalloutText(const DoorWindowData* opening, char* out);
// The font height a LOGFONT height takes at the current zoom or print scale (never 0).
int16_t ScaledFontHeight(float height);
// An angle in degrees turned to read upright: (90, 270] gains 180.
float UprightTextAngle(float degrees);
