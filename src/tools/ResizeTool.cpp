// The resize tool: grabbed and fixed sides, minimum sizes, thin axes, the stretched box in
// the overlay and the scaling of the selection at the mouse-up.
#include "tools/ResizeTool.h"

#include <cmath>

#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/ObjectTransforms.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/TransformInfo.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/SelectionBox.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/TransformOutlines.h"

namespace {

float sForce[3] = {0, 0, 0};  // least absolute scale factor per axis (x, y, z); 0 = none
int16_t sSaveActivePlane = 0;
uint8_t sForcedVertical = 0;

// Box sides of one axis (0 x, 1 y, 2 z).
void Sides(const Float3DRect& box, int axis, float* min, float* max) {
  if (axis == 0) *min = box.floatLeft, *max = box.floatRight;
  else if (axis == 1) *min = box.floatTop, *max = box.floatBottom;
  else *min = box.floatBack, *max = box.floatFront;
}

float* DownCoordinate(int axis) { return axis == 0 ? &gDownX : axis == 1 ? &gDownY : &gDownZ; }
float* Direction(int axis) {
  return axis == 0 ? &gXResizeDirection : axis == 1 ? &gYResizeDirection : &gZResizeDirection;
}

struct Stretch {
  float grabbed[3], fixed[3], current[3];
  float factor[3] = {1, 1, 1};
};

float Forced(float factor, float force) {
  if (force > 0 && std::fabs(factor) < force) return factor < 0 ? -force : force;
  return factor;
}

}  // namespace

int32_t SetMobiusRect(RECT* rect, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!rect) return 0;
  rect->left = x1 < x2 ? x1 : x2;
  rect->top = y1 < y2 ? y1 : y2;
  rect->right = x1 < x2 ? x2 : x1;
  rect->bottom = y1 < y2 ? y2 : y1;
  return rect->bottom;
}

void TrackScale(float, float, int16_t phase) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) overlay->removePointsFromAllPaths();
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument) return;
  const int32_t view = GetCurrentView();
  const bool commandOutsidePlan = (gTrackModifiers & kTrackModCommand) && view != kCmdViewTop;
  if (phase == kTrackBegin) {
    sForce[0] = sForce[1] = sForce[2] = 0;
    if (commandOutsidePlan) {
      sSaveActivePlane = ds->viewPlane;
      ds->viewPlane = 1;
      sForcedVertical = 1;
    }
  }
  int axes[2];
  if (!WorkingPlaneAxes(ds->viewPlane, &axes[0], &axes[1])) return;
  const int16_t plane = ds->viewPlane;
  const bool end = phase == kTrackEnd;

  Stretch s;
  const float up[3] = {gUpX, gUpY, gUpZ};
  const float cur[3] = {gTrackState.currentX, gTrackState.currentY, gTrackState.currentZ};
  for (int a = 0; a < 3; ++a) {
    float min, max;
    Sides(gData3DRect, a, &min, &max);
    s.grabbed[a] = *DownCoordinate(a);
    s.fixed[a] = min;
    s.current[a] = end ? up[a] : cur[a];
  }
  float middle[2];
  for (int i = 0; i < 2; ++i) {
    const int a = axes[i];
    float min, max;
    Sides(gData3DRect, a, &min, &max);
    middle[i] = (min + max) / 2;
    float* down = DownCoordinate(a);
    if (*down > middle[i]) {
      s.grabbed[a] = max, s.fixed[a] = min, *Direction(a) = 1.0f;
    } else {
      s.grabbed[a] = min, s.fixed[a] = max, *Direction(a) = -1.0f;
    }
    *down = s.grabbed[a];
    // The box keeps at least 10 plan units on the axis (plan and x/y elevation only).
    if (plane != 3) sForce[a] = s.fixed[a] != s.grabbed[a] ? std::fabs(10.0f / (s.fixed[a] - s.grabbed[a])) : 0;
  }
  // A box narrower than 8 plan units on an axis keeps its size there.
  for (int i = 0; i < 2; ++i) {
    const int a = axes[i];
    if (std::fabs(s.grabbed[a] - middle[i]) < 4.0f) {
      s.fixed[a] = middle[i];
      s.current[a] = s.grabbed[a];
      sForce[a] = 0;
      break;
    }
  }
  if (plane == 1 && commandOutsidePlan) s.current[0] = s.grabbed[0];

  auto computeFactors = [&]() {
    for (int i = 0; i < 2; ++i) {
      const int a = axes[i];
      s.factor[a] = GetScale(s.grabbed[a], s.current[a], s.fixed[a]);
      s.factor[a] = Forced(s.factor[a], sForce[a]);
    }
    if (gTrackModifiers & kTrackModShift) {
      if (std::fabs(s.factor[axes[0]]) >= std::fabs(s.factor[axes[1]])) s.factor[axes[1]] = 1.0f;
      else s.factor[axes[0]] = 1.0f;
    }
    if (commandOutsidePlan) s.factor[end ? 0 : axes[0]] = 1.0f;
  };
  const Float3DPoint& whd = gWidthHeightDepth;  // width, height, depth
  if (!end) {
    if (!gClickInfo.hitObject) return;
    computeFactors();
    Float3DRect box = gData3DRect;
    Scale(&box.floatLeft, &box.floatTop, s.fixed[0], s.fixed[1], s.factor[0], s.factor[1]);
    Scale(&box.floatRight, &box.floatBottom, s.fixed[0], s.fixed[1], s.factor[0], s.factor[1]);
    float back = box.floatBack, front = box.floatFront, unused = 0;
    Scale(&back, &unused, s.fixed[2], 0, s.factor[2], 1);
    Scale(&front, &unused, s.fixed[2], 0, s.factor[2], 1);
    box.floatBack = back, box.floatFront = front;
    DrawWH(whd.floatH * s.factor[0], whd.floatD * s.factor[2], whd.floatV * s.factor[1]);
    const bool planOrElevation = view >= kCmdViewTop && view <= kCmdViewBack && view != 5150;
    const bool pointTool = ToolIsPointOriented(gCurTool, gClickInfo.hitObject);
    if (!(pointTool && !planOrElevation)) {
      TransformationDrawingScope scope;
      DrawCube(&box);
    }
    // Outside the plan and the elevations the selection's own outlines stretch with it.
    const Objex* hit = gClickInfo.hitObject;
    if (!planOrElevation && (pointTool || hit->type == kObjLine || SelectionOutlinesDifferFromHit(hit))) {
      DragTransformInfo stretch{};
      for (int a = 0; a < 3; ++a) {
        // The current side that gives each factor exactly (the least sizes and Shift included).
        stretch.start[a] = s.grabbed[a];
        stretch.anchor[a] = s.fixed[a];
        stretch.current[a] = s.fixed[a] + s.factor[a] * (s.grabbed[a] - s.fixed[a]);
      }
      const bool shift = (gTrackModifiers & kTrackModShift) != 0;
      const bool first = phase == kTrackBegin;
      DrawTransformedOutlines(shift ? (first ? kOutlineStretchShiftFirst : kOutlineStretchShift)
                                    : (first ? kOutlineStretchFirst : kOutlineStretch),
                              stretch);
    }
    return;
  }

  computeFactors();
  TransformInfo xform{};
  for (int a = 0; a < 3; ++a) {
    xform.scale[a] = s.factor[a];
    xform.centre[a] = s.fixed[a];
  }
  SelectedObjectAllLayers(gCurDocument->itsLayers, 1, kCmdScaleObjects, CommandArg::Transform(&xform));
  if (overlay) overlay->removePointsFromAllPaths();
  Refresh();
  DrawWH(whd.floatH * s.factor[0], whd.floatD * s.factor[2], whd.floatV * s.factor[1]);
  gMouseCaptured = 0;
  if (sForcedVertical) {
    ds->viewPlane = sSaveActivePlane;
    sForcedVertical = 0;
  }
}
