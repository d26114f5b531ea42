// The view point tool.
#include "tools/CameraTool.h"

#include <cmath>

#include "building3d/RenderRoad.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "model/ViewProjection.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "plandraw/PlanViewHooks.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

constexpr float kRadiansToDegrees = 57.29578f;
constexpr float kHalfPi = 1.5707963f;
constexpr float kLeastViewDistance = 5.0f;
constexpr float kTriangleSpread = 0.6f;

float Round(float v) { return std::floor(v + 0.5f); }

void DrawRealTimeView() {
  if (gEnableBackgroundRendering) return;
  if (gTrackingHooks.drawRealTimeView) gTrackingHooks.drawRealTimeView();
}

}  // namespace

int16_t TrackCamera(int32_t, int32_t, float worldX, float worldY, float worldZ, int16_t stage) {
  DocState* ds = CurDocState();
  if (!gCurDocument || !ds) return 0;
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) {
    overlay->removePointsFromAllPaths();
    overlay->setActivePath(kPathPrimary);
    overlay->setActivePathDeviceRed(1.0f, 1.0f, 0.0f, 0.5f);
    overlay->setActivePathDrawMethod(kDrawMethodFill);
  }
  const float viewDistance =
      ConvertScreenToWorld(GetLineLength(gDownX, gDownZ, worldX, worldZ), ds, 0);
  DrawViewLength(viewDistance);

  if (stage == kTrackBegin) {
    gRealTimeDraw = 1;
    if (!gEnableBackgroundRendering && gTrackingHooks.beginRealTimeView) gTrackingHooks.beginRealTimeView();
    ds->cameraPosition() = FloatPoint{gDownX, gDownZ};
    Refresh();
    DrawRealTimeView();
  }

  // The view triangle, in the current view: from the current point spread either side,
  // to the camera.
  float cx = gDownX, cy = gDownY, cz = gDownZ;
  float px = worldX, py = worldY, pz = worldZ;
  ConvertToIso(&cx, &cy, &cz, &px, &py, &pz, gPerspective);
  float length = 0;
  const float a = GetLineLengthAndAngle(px, py, cx, cy, &length);
  float dx1 = 0, dy1 = 0, dx2 = 0, dy2 = 0;
  GetPointFromLengthAndAngle(a + kHalfPi, kTriangleSpread * viewDistance, &dx1, &dy1);
  GetPointFromLengthAndAngle(a - kHalfPi, kTriangleSpread * viewDistance, &dx2, &dy2);
  if (overlay) {
    overlay->activePathMoveToPoint(NSMakePoint(Round(px + dx1), Round(py + dy1)));
    overlay->activePathLineToPoint(NSMakePoint(Round(px + dx2), Round(py + dy2)));
    overlay->activePathLineToPoint(NSMakePoint(Round(cx), Round(cy)));
  }
  ds->cameraAngle() = a * kRadiansToDegrees + 90;
  DrawRealTimeView();

  if (stage != kTrackEnd) return 0;
  DrawViewLength(0);
  gRealTimeDraw = 0;
  gMouseCaptured = 0;
  if (overlay) {
    overlay->removePointsFromAllPaths();
    overlay->resetAttributesForAllPaths();
  }
  gRefreshRender = 1;
  Refresh();
  return viewDistance >= kLeastViewDistance ? 1 : 0;
}
