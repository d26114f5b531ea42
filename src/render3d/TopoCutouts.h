// Holes in the lot: foundation walls and topography excavations cut the ground surface. Which
// plan objects act as cut-outs, which of them are left out for a frame (self-crossing, nested
// in or crossing another), which grid cells they touch, and their outlines as trim loops in a
// lot patch's parameter space. Also the lowered copies of cut-out faces for the real-time view.
#pragma once
#include <cstdint>
#include <vector>

#include "model/Types.h"

struct Objex;
struct Poinz;
struct PlaneObject;
class GLUnurbs;

// A lot cell as the cut-out tests take it: four corners of six floats (x, height, z stored
// with the opposite sign of the scene's z, then texture s, t and 0), in the order
// (r, c - 1), (r + 1, c - 1), (r, c), (r + 1, c).
using PatchCorners = float[4][6];

// The mark of a cut-out left out of the trimming for the current frame (blue of options).
constexpr uint16_t kCutoutExcluded = 5;

// An exterior wall shown only on the foundation plan, or a topography excavation.
bool IsTopoCutout(const Objex* object);

void FindIntersectingTopoCutouts();
void ResetIntersectingFlags();
// 1 when an unmarked cut-out touches the cell; *wholeInside is set when the cell lies wholly
// inside it. Between FindIntersectingTopoCutouts and ResetIntersectingFlags the usable
// cut-outs are looked up in a list made once; otherwise the layers are walked.
int16_t DoesNurbPatchTouchCutouts(const PatchCorners corners, uint8_t* wholeInside);
int16_t DoesNurbPatchTouchObjectCutout(const Objex* object, const PatchCorners corners, uint8_t* wholeInside);
// Adds every usable cut-out (unmarked, more than 2 points, closing segment crossing nothing)
// as a trim loop of the NURBS surface being defined, mapped into the patch's parameter space
// and running against the outer loop (clockwise there).
void RenderPWLCurves(GLUnurbs* nurbs, const PatchCorners corners);
void RenderPWLCurve(const Objex* object, GLUnurbs* nurbs, const PatchCorners corners);

// One trim loop in parameter space: (u, v) pairs, the first repeated at the end.
using TrimLoop = std::vector<float>;
// The loops RenderPWLCurves would add; with `onlyOverlapping`, only those whose box meets the
// patch's unit square (the others trim nothing there).
void CollectTrimLoops(const PatchCorners corners, bool onlyOverlapping, std::vector<TrimLoop>* loops);
void EmitTrimLoop(GLUnurbs* nurbs, const TrimLoop& loop);

// The geometric tests, on plan x and z. A segment is x1, z1, x2, z2.
struct TrimSegment {
  float x1, z1, x2, z2;
};
int DoBoundsTouch(const Float3DRect& a, const Float3DRect& b);
int DoSegmentsBoundsTouch(const TrimSegment& a, const TrimSegment& b);
int IsPointInSegmentsBounds(const TrimSegment& a, const TrimSegment& b, float x, float z);
// The edge from corner a to corner b (stored corners: z with the opposite sign).
int DoesNurbSegmentIntersectObject(const float* a, const float* b, const Objex* object);
int IsWholeNurbInsideObject(const PatchCorners corners, const Objex* object);
int IsObjectInsideObject(const Objex* outer, const Objex* inner);
int DoesSegmentIntersectObject(const Poinz* point, const Poinz* nextPoint, const Objex* object);
int DoesObjIntersectItself(const Objex* object);
int IsObjectPWLCompatible(const Objex* object);
int AreAnyPointsInsideObjectBounds(const PatchCorners corners, const Objex* object);
// The x and z extent of the object's points (left/right and back/front; height 0).
Float3DRect CutoutBounds(const Objex* object);

// The real-time trim copies (gGLTopoTrimPlaneObjects): lowered copies of the faces of
// foundation walls and excavations. Nothing draws them.
extern PlaneObject* gGLTopoTrimPlaneObjects;
void SetupTopoTrimObjectList();
PlaneObject* CopyPlaneObjectToTopoTrimList(PlaneObject* planeObject);
void DeleteTopoTrimObjectList();
