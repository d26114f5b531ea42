// The cut-away: the extent its slider spans, the clip plane for a slider value and
// direction, and the real-time frame of a slider step.
#include "render3d/Cutaway.h"

#include <GL/gl.h>

#include <cmath>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DesignEdits.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/ViewProjection.h"
#include "render3d/RealTimeScene.h"
#include "render3d/SceneFrame.h"

Float3DRect gCutawayBounds;
float gCutawayRange = 1;
uint8_t gSlicePlaneBoundsHeld = 0;

namespace {
// What the extent was measured from: the design, its layers and which of them show, the
// direction, the plan objects' change count of the 3D road and the design's own edit count.
// While all of it stays the same, the next frame keeps the extent instead of walking every
// object again.
struct CutawayExtentKey {
  const void* document = nullptr;
  const Layer* layers = nullptr;
  uint64_t layersShown = 0;
  uint64_t changes = 0;
  uint64_t edits = 0;
  int16_t direction = 0;
  bool operator==(const CutawayExtentKey&) const = default;
};

struct KeptCutawayExtent {
  bool valid = false;
  CutawayExtentKey key;
  Float3DRect bounds{};
  float range = 1;
};
KeptCutawayExtent sKeptExtent;
int64_t sExtentMeasures = 0;

// The layers in order with their visibility, folded into one value (a handful of layers).
uint64_t LayersShown(const Layer* layers) {
  uint64_t h = 1469598103934665603ull;
  for (const Layer* l = layers; l; l = l->next) {
    h = (h ^ reinterpret_cast<uintptr_t>(l)) * 1099511628211ull;
    h = (h ^ (l->visible ? 1u : 2u)) * 1099511628211ull;
  }
  return h;
}

void MeasureSlicePlaneBounds(int16_t direction, Layer* layers) {
  ++sExtentMeasures;
  Float3DRect& B = gCutawayBounds;
  B.floatTop = B.floatLeft = B.floatBack = 32000;
  B.floatBottom = B.floatRight = B.floatFront = -32000;
  if (direction >= kCutAwayNorth && direction <= kCutAwayWest) GetAllLayers3DBounds(layers, 0, &B, 0);
  else if (direction == kCutAwayTop) GetAllSpecialLayers3DBounds(layers, 0, &B, 0);
  B.floatTop -= 100, B.floatLeft -= 100, B.floatBack -= 100;
  B.floatBottom += 100, B.floatRight += 100, B.floatFront += 100;
  switch (direction) {
    case kCutAwayNorth: case kCutAwaySouth: gCutawayRange = std::fabs(B.floatBack - B.floatFront); break;
    case kCutAwayEast: case kCutAwayWest: gCutawayRange = std::fabs(B.floatLeft - B.floatRight); break;
    case kCutAwayTop: gCutawayRange = std::fabs(B.floatTop - B.floatBottom); break;
    default: break;
  }
  if (gCutawayRange == 0) gCutawayRange = 1;
}
}  // namespace

void SetSlicePlaneBounds() {
  DocState* ds = CurDocState();
  if (!ds || gSlicePlaneBoundsHeld) return;
  Layer* layers = gCurDocument ? gCurDocument->itsLayers : nullptr;
  const CutawayExtentKey key{gCurDocument, layers, LayersShown(layers), SceneObjectsChangeCount(),
                             DesignEditCount(), ds->cutAwayDirection()};
  // A scene left stale while the 3D window was hidden has edits the road has not seen yet. A
  // direction of no side measures nothing: its range stays as it is, kept or not.
  const bool side = key.direction >= kCutAwayNorth && key.direction <= kCutAwayTop;
  if (side && sKeptExtent.valid && sKeptExtent.key == key && !gRenderOnShow) {
    gCutawayBounds = sKeptExtent.bounds;
    gCutawayRange = sKeptExtent.range;
    return;
  }
  MeasureSlicePlaneBounds(key.direction, layers);
  sKeptExtent = {true, key, gCutawayBounds, gCutawayRange};
}

void ForgetCutawayExtent() { sKeptExtent.valid = false; }
int64_t CutawayExtentMeasures() { return sExtentMeasures; }

void ComputeSlicePlane() {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (gCutawayRange == 0) gCutawayRange = 1;
  const float p = static_cast<float>(ds->cutAwayPosition()), R = gCutawayRange;
  const Float3DRect& B = gCutawayBounds;
  float pt[3][3];
  switch (ds->cutAwayDirection()) {
    case kCutAwayNorth: {
      const float w = p - (B.floatBack + R);
      pt[0][0] = 100, pt[0][1] = 100, pt[0][2] = w;
      pt[1][0] = 100, pt[1][1] = -100, pt[1][2] = w;
      pt[2][0] = -100, pt[2][1] = -100, pt[2][2] = w;
      break;
    }
    case kCutAwayEast: {
      const float u = -(p - (R - B.floatRight));
      pt[0][0] = u, pt[0][1] = 100, pt[0][2] = 100;
      pt[1][0] = u, pt[1][1] = -100, pt[1][2] = 100;
      pt[2][0] = u, pt[2][1] = -100, pt[2][2] = -100;
      break;
    }
    case kCutAwaySouth: {
      const float w = -(p - (R - B.floatFront));
      pt[0][0] = -100, pt[0][1] = -100, pt[0][2] = w;
      pt[1][0] = 100, pt[1][1] = -100, pt[1][2] = w;
      pt[2][0] = 100, pt[2][1] = 100, pt[2][2] = w;
      break;
    }
    case kCutAwayWest: {
      const float u = p - (B.floatLeft + R);
      pt[0][0] = u, pt[0][1] = -100, pt[0][2] = -100;
      pt[1][0] = u, pt[1][1] = -100, pt[1][2] = 100;
      pt[2][0] = u, pt[2][1] = 100, pt[2][2] = 100;
      break;
    }
    case kCutAwayTop: {
      const float Y = (p + 100 - R) * 5;
      pt[0][0] = -100, pt[0][1] = Y, pt[0][2] = -100;
      pt[1][0] = 100, pt[1][1] = Y, pt[1][2] = -100;
      pt[2][0] = 100, pt[2][1] = Y, pt[2][2] = 100;
      break;
    }
    default:
      gSlicePaneEquation[0] = gSlicePaneEquation[1] = gSlicePaneEquation[2] = 0;
      gSlicePaneEquation[3] = 0;
      return;
  }
  CalcParametric(pt[0][0], pt[0][1], pt[0][2], pt[1][0], pt[1][1], pt[1][2], pt[2][0], pt[2][1],
                 pt[2][2], &gSlicePaneEquation[0], &gSlicePaneEquation[1], &gSlicePaneEquation[2],
                 &gSlicePaneEquation[3]);
}

void LoadSliceClipPlane() {
  ComputeSlicePlane();
  const GLdouble equation[4] = {gSlicePaneEquation[0], gSlicePaneEquation[1], gSlicePaneEquation[2],
                                gSlicePaneEquation[3]};
  glClipPlane(GL_CLIP_PLANE0, equation);
}

void RealTimeCutawayOpenGL() {
  DocState* ds = CurDocState();
  if (!ds || !LiveViewControllerExists()) return;
  const int32_t event = gLiveViewHost.currentMouseEvent ? gLiveViewHost.currentMouseEvent() : 0;
  if (event == kLiveViewLeftMouseDown) {
    gRealTimeDraw = 1;
    gRenderingOpenGL = 1;
    RTInitializeGLScene();
  }
  ComputeSlicePlane();
  RTSetViewpoint(ds);
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  RTFinalizeGLScene();
  if (event == kLiveViewLeftMouseUp) {
    gRenderingOpenGL = 0;
    gRealTimeDraw = 0;
    gRefreshRender = 1;
    if (gLiveViewHost.display) gLiveViewHost.display();
  }
}
