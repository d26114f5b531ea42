// Every line of the plan: projection into the view, print scaling, culling, and the
// destination (the line buffer, the rubber-band overlay, a transform outline, or a
// stroke styled by the object's kind); straight and curved object segments; the line
// buffer that batches the lines of symbol parts and edging into one stroke.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

#include "model/Types.h"
#include "plandraw/DrawTypes.h"

class DrawContext;
struct Objex;
struct Poinz;
struct DragTransformInfo;

// A coordinate must lie strictly inside this range after projection to be drawn.
constexpr float kMaxViewCoordinate = 30000.0f;

// One line between two model points. `zoom` multiplies the coordinates by the zoom
// first (not while printing); `object` chooses the style; `point` is the segment's
// first point (a fence's gate) or null. `handle` null draws into the current context.
void DrawLine(DrawContext* handle, float x1, float y1, float z1, float x2, float y2, float z2, uint8_t zoom,
              const Objex* object, const Poinz* point);
// Lines between model points (`xyz`: x, y, z of each point), line k from point ends[2k] to
// point ends[2k + 1], drawn exactly as DrawLine draws them one by one (no zoom, no gate point),
// each point projected once however many lines share it.
void DrawLinesBetweenPoints(DrawContext* handle, const float* xyz, size_t pointCount, const uint32_t* ends,
                            size_t lineCount, const Objex* object);
// One line between two view points (whole units), zoomed first when asked; into the
// overlay while the rubber band is drawn.
void Draw2DLine(int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t zoom);
// The segment from point A to point B of an object, straight or curved, with the
// tracking transform chosen by the draw flags applied to copies of the points.
void DrawObjectSegment(DrawContext* handle, Objex* object, Poinz* pointA, Poinz* pointB, int32_t drawFlags,
                       const DragTransformInfo* transform);
// The curve from point A to point B (their handles as tangents) as lines: sampled in
// `segments` steps (8 below 8, 20 above 20), each pair of successive points passed to `line`.
void ForEachCurveLine(const Poinz& a, const Poinz& b, int32_t segments,
                      const std::function<void(const float from[3], const float to[3])>& line);
// The link from a point of one level to the matching point of the next, along the
// points' link vectors.
void DrawLinkSegment(DrawContext* handle, Objex* object, Poinz* pointA, Poinz* pointB, int32_t drawFlags,
                     const DragTransformInfo* transform);

// The line buffer: two points per segment, view coordinates.
extern NSPoint* gAcclLineBuffer;
extern int32_t gAcclLinePointCount;
extern int32_t gAcclLinePointCap;
// Allocates the buffer with room for 1000 points (once); false when that fails.
bool AllocateAcclLineBuffer();
void FreeAcclLineBuffer();
// Appends one segment; grows the buffer by 1000 points when full. A failed growth
// frees the buffer and ends buffered drawing for the run.
void ApplePortAcceleratedDrawLine(float x1, float y1, float x2, float y2);
// Strokes the buffered segments in one batch in the context's current colour and width
// and empties the buffer (the memory stays).
void StrokeAcclLineBuffer(DrawContext* handle);

// Kept for callers that still make them; they draw nothing.
void DrawPageBreaks(DrawContext* handle);
void DrawMoveTo(int16_t x, int16_t y);
void DrawLineTo(int16_t x, int16_t y);
void AdjustPtList(POINT* points, int32_t count);
void DrawCrosshair(int16_t x, int16_t y);
