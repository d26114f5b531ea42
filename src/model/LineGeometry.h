// Line and spline geometry: Hermite segments, lengths and angles, slopes,
// intersections, and the jittered projection of the anti-aliasing passes.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;
struct Poinz;

// Slope reported for a vertical line.
constexpr float kSlopeVertical = 1234567.0f;

// Length left over when GetPointOnLineFromLength walks off the end of a curved segment.
extern float gRemainingLength;

// Number of straight pieces a curved segment is measured with: the current
// document's curveSegments, 1 .. kMaxRepeats; 10 without a document.
int CurrentCurveSegments();

// Hermite coefficients of one axis: value a·t³ + b·t² + c·t + d.
void SetupSpline(float p0, float t0, float p1, float t1, float* a, float* b, float* c, float* d);
void SetupSequencedSpline(float p0, float p1, float t0, float t1, float* a, float* b, float* c, float* d);
float GetSplineCoord(float a, float b, float c, float d, float t, float t2, float t3);
float GetTangentSplineCoord(float a, float b, float c, float t, float t2);
void GetUniformTensionDeriv(float previous, float next, float tension, float* out);
// The point at t on the segment from p0 to p1 (z may be null).
void GetSplineCoordinate(const Poinz* p0, const Poinz* p1, float t, float* x, float* y, float* z);
// Hermite data of a circular arc of the given sweep about the origin, symmetric about +x.
void BuildRadiusSpline(float sweep, float radius, float* x0, float* tx0, float* tx1, float* x1,
                       float* y0, float* ty0, float* ty1, float* y1);
// Integer screen rectangle of the projected hull of a segment.
void GetSplineBounds(float x0, float tx0, float tx1, float x1, float y0, float ty0, float ty1,
                     float y1, float z0, float tz0, float tz1, float z1, RECT* rect);

// Plan (x, z) length of the segment from p0 to p1.
float GetSegmentLength(const Objex* object, const Poinz* p0, const Poinz* p1);
// Plan length of a wall, property line, path, edging, fence, fill, staircase or railing.
float GetObjectLength(const Objex* object);
float GetLineLength(float x1, float y1, float x2, float y2);
float Get3DLineLength(float x1, float y1, float z1, float x2, float y2, float z2);
// Angle of the line in [0, 2π) (0 along +x, π/2 up the screen); writes the length.
float GetLineLengthAndAngle(float x1, float y1, float x2, float y2, float* length);
void GetPointFromLengthAndAngle(float angle, float length, float* dx, float* dy);
// Compass degrees, clockwise from up the screen.
void ConvertPiRadiansToQDAngle(float radians, int16_t* degrees);
// The plan point at `length` along the segment; 1 when it lies within the segment.
int GetPointOnLineFromLength(const Poinz* p0, const Poinz* p1, FloatPoint* out, float length);

float GetSlope(float x1, float y1, float x2, float y2);
float FGetSlope(float x1, float y1, float x2, float y2);
float GetYIntercept(float slope, float y, float x);
void FGetPerpIntersection(float x1, float y1, float x2, float y2, float px, float py, float* x, float* y);
void GetPerpIntersection(float x1, float y1, float x2, float y2, float px, float py, float* x, float* y);
void FGetIntersection(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                      float* x, float* y);
void GetIntersection(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                     float* x, float* y);
// GetIntersection with the first line's slope already taken (GetSlope(x1, y1, x2, y2)), for
// many lines met by one.
void GetIntersectionWithSlope(float slope1, float x1, float y1, float x3, float y3, float x4, float y4, float* x,
                              float* y);

// The six glFrustum arguments of one jittered anti-aliasing pass.
struct FrustumValues {
  double left, right, bottom, top, zNear, zFar;
};
FrustumValues ComputeAccFrustum(double left, double right, double bottom, double top, double zNear,
                                double zFar, double pixdx, double pixdy, double eyedx, double eyedy,
                                double focus, int32_t viewportWidth, int32_t viewportHeight);
FrustumValues ComputeAccPerspective(double fovy, double aspect, double zNear, double zFar, double pixdx,
                                    double pixdy, double eyedx, double eyedy, double focus,
                                    int32_t viewportWidth, int32_t viewportHeight);

// Load the jittered projection into GL for one pass (defined by the renderer, which
// links GL: it reads the viewport, calls glFrustum with ComputeAccFrustum's values,
// translates the model-view by the eye offset and sets the scene up).
void accFrustum(double left, double right, double bottom, double top, double zNear, double zFar,
                double pixdx, double pixdy, double eyedx, double eyedy, double focus);
void accPerspective(double fovy, double aspect, double zNear, double zFar, double pixdx, double pixdy,
                    double eyedx, double eyedy, double focus);
