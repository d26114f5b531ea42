// The rotate tool: the snapped angle around the selection's centre, the turned box in the
// overlay with the angle readout, and the rotation of the selection at the mouse-up.
#include "tools/RotateTool.h"

#include <cmath>
#include <numbers>

#include "model/Bounds.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/ObjectTransforms.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TransformInfo.h"
#include "model/ViewProjection.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/TransformOutlines.h"

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

float* Axis(float* p, int axis) { return &p[axis]; }

// Middle of the selection's box on each axis (x, y, z).
void BoxCentre(const Float3DRect& b, float centre[3]) {
  centre[0] = (b.floatLeft + b.floatRight) * 0.5f;
  centre[1] = (b.floatTop + b.floatBottom) * 0.5f;
  centre[2] = (b.floatBack + b.floatFront) * 0.5f;
}

// The mouse angle rounded to the nearest 5 degrees, and the mouse point moved onto it.
float SnapToFiveDegrees(float cx, float cz, float* x, float* z) {
  float length = 0;
  const float angle = GetLineLengthAndAngle(cx, cz, *x, *z, &length);
  const double degrees = std::trunc(angle * kDegreesPerRadian / 5.0 + 0.5) * 5.0;
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(static_cast<float>(degrees / kDegreesPerRadian), length, &dx, &dz);
  *x = cx + dx;
  *z = cz + dz;
  return GetLineLengthAndAngle(cx, cz, *x, *z, &length);
}

float RoundShort(float v) { return static_cast<float>(static_cast<int16_t>(std::trunc(v + 0.5f))); }

// The plan outline of the selection's box turned about the centre.
void DrawTurnedBox(ZLKDynamicDrawEngine* overlay, const Float3DRect& b, const float centre[3], float rotation) {
  if (!overlay) return;
  float corners[4][2] = {{b.floatLeft, b.floatBack}, {b.floatRight, b.floatBack},
                         {b.floatRight, b.floatFront}, {b.floatLeft, b.floatFront}};
  for (auto& c : corners) Rotate(&c[0], &c[1], centre[0], centre[2], rotation);
  overlay->setActivePath(kPathPrimary);
  for (int i = 0; i < 4; ++i) {
    float x1 = corners[i][0], y1 = b.floatBottom, z1 = corners[i][1];
    float x2 = corners[(i + 1) % 4][0], y2 = b.floatBottom, z2 = corners[(i + 1) % 4][1];
    ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
    overlay->appendLineToActivePathWithStartPoint(NSMakePoint(RoundShort(x1), RoundShort(y1)),
                                                  NSMakePoint(RoundShort(x2), RoundShort(y2)));
  }
}

}  // namespace

void TrackRotate(float x, float y, float z, int16_t phase) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument) return;
  if (phase == kTrackBegin) DrawWH(0, 0, 0);
  if (overlay) overlay->removePointsFromAllPaths();

  // The click road measures the selection; a drag that starts without it measures here.
  if (IsEmptyBounds(gData3DRect)) {
    gData3DRect = EmptyFloat3DRect();
    GetAllLayers3DBounds(gCurDocument->itsLayers, 1, &gData3DRect, 0);
    if (IsEmptyBounds(gData3DRect)) gData3DRect = Float3DRect{};
  }
  float centre[3];
  BoxCentre(gData3DRect, centre);
  int first = 0, second = 2;
  if (!WorkingPlaneAxes(ds->viewPlane, &first, &second)) first = 0, second = 2;

  float mouse[3] = {x, y, z};
  const bool moved = phase == kTrackEnd && (gUpX != gDownX || gUpY != gDownY || gUpZ != gDownZ);
  float current = 0;
  if (ds->viewPlane == 2) {
    current = SnapToFiveDegrees(centre[0], centre[2], &mouse[0], &mouse[2]);
    if (phase == kTrackEnd) gUpX = mouse[0], gUpZ = mouse[2];
  } else {
    float length = 0;
    current = GetLineLengthAndAngle(*Axis(centre, first), *Axis(centre, second), *Axis(mouse, first),
                                    *Axis(mouse, second), &length);
  }
  if (phase == kTrackBegin) gTrackState.startAngle = current;
  gTrackState.currentAngle = current;
  const float rotation = GetRotate(gTrackState.startAngle, current);
  if (ds->viewPlane == 2) {
    float degrees = static_cast<float>(rotation * kDegreesPerRadian);
    if (degrees < 0) degrees += 360.0f;
    DrawAngle(degrees);
  }

  if (gClickInfo.hitObject && phase != kTrackEnd) {
    {
      TransformationDrawingScope scope;
      if (ds->viewPlane == 2) DrawTurnedBox(overlay, gData3DRect, centre, rotation);
    }
    // Each selected object turned about the centre, in the overlay.
    DragTransformInfo turn{};
    for (int k = 0; k < 3; ++k) turn.anchor[k] = centre[k];
    turn.startAngle = gTrackState.startAngle;
    turn.currentAngle = current;
    const bool shift = (gTrackModifiers & kTrackModShift) != 0;
    const bool first = phase == kTrackBegin;
    DrawTransformedOutlines(shift ? (first ? kOutlineTurnShiftFirst : kOutlineTurnShift)
                                  : (first ? kOutlineTurnFirst : kOutlineTurn),
                            turn);
  }
  if (phase != kTrackEnd) return;

  // A click without motion, or a sweep that snaps back to the start, turns nothing.
  if (moved && rotation != 0) {
    TransformInfo xform{};
    xform.angle = rotation;
    for (int k = 0; k < 3; ++k) xform.centre[k] = centre[k];
    SelectedObjectAllLayers(gCurDocument->itsLayers, 1, kCmdRotateObjects, CommandArg::Transform(&xform));
    UpdateInspectorPropertiesState(true);
  }
  gMouseCaptured = 0;
  if (overlay) overlay->removePointsFromAllPaths();
  Refresh();
  DrawAngle(32000);
}
