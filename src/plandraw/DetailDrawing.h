// Plan objects drawn by a symbol of their own: detail shapes (outline, line style, weight
// and fill pattern), plants (a star of twelve spokes in a circle over the footprint) and
// foundation piers (a circle of the diameter with its label).
#pragma once
#include <cstdint>

class DrawContext;
class BezierPath;
struct DragTransformInfo;
struct Objex;
struct Poinz;

// The outline being built: points appended so far (0: the next one starts it), and whether
// it is the closed, pattern-filled kind. Both are 0 between detail objects.
extern int16_t gPolyPtCount;
extern uint8_t gPolyHappening;

// A detail object of subtype 1 to 9. Its vertices are its points other than kinds 2 and 4.
// A closed outline with a fill pattern goes to the view's pattern drawing and is kept in the
// object (cocoaObject, a PlanPath of view points) for hit testing; otherwise the outline is
// stroked and any kept one released. Under a tracking transform the outline goes only to the
// overlay's transform element.
void ApplePortDrawDetailObject(Objex* object, int32_t drawFlags, const DragTransformInfo* transform);
// Appends the segment from vertex A to vertex B (straight, or a curve of 8 to 20 pieces) to
// the path, or to the overlay's active transform element while the transform tools draw.
void ApplePortDrawDetailObjectSegment(Objex* object, Poinz* pointA, Poinz* pointB, int32_t drawFlags,
                                      const DragTransformInfo* transform, BezierPath* path);
// The plant symbol over the footprint of the first three points (P1-P2 along x, P2-P3 along
// z), at height 0. Kind, age and growth data are not read.
void DrawPlant(DrawContext* handle, Objex* plant);
// The pier's circle of its diameter (first parameter, world units) and the "%s DIA" label.
// A pier whose first point is off the square of its diameter is snapped to it and its
// bounds recomputed.
void DrawFoundationPier(DrawContext* handle, Objex* pier);
