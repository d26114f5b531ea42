// The checks that keep the moving commands inside the plan a design can hold.
#include "model/TransformGuard.h"

#include <cmath>

#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ObjectTransforms.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TransformInfo.h"
#include "platform/Alerts.h"

namespace {

bool IsNudge(int32_t cmd) { return cmd >= kCmdNudgeUp && cmd <= kCmdNudgeRight; }

// The commands that move every point of what they reach, selected or not.
bool MovesEveryPoint(int32_t cmd) { return cmd == kCmdMovePlan || cmd == kCmdRotatePlan; }

bool AllFinite(const float* values, int count) {
  for (int i = 0; i < count; ++i)
    if (!std::isfinite(values[i])) return false;
  return true;
}

// The in-plane axes of the current working plane (the floor plan without a DocState).
void PlaneAxes(int* a, int* b) {
  *a = 0;
  *b = 2;
  if (const DocState* ds = CurDocState()) {
    int first = 0, second = 2;
    if (WorkingPlaneAxes(ds->viewPlane, &first, &second)) *a = first, *b = second;
  }
}

// The axis and sign of a nudge in the current working plane, as NudgeObject moves it; false
// when the plane has no nudge.
bool NudgeAxis(int32_t cmd, int* axis, float* sign) {
  const DocState* ds = CurDocState();
  if (!ds) return false;
  const bool vertical = cmd == kCmdNudgeUp || cmd == kCmdNudgeDown;
  *sign = cmd == kCmdNudgeUp || cmd == kCmdNudgeLeft ? -1.0f : 1.0f;
  switch (ds->viewPlane) {
    case 2: *axis = vertical ? 2 : 0; return true;
    case 1: *axis = vertical ? 1 : 0; return true;
    case 3: *axis = vertical ? 1 : 2; return true;
    default: return false;
  }
}

// Where the command puts one point (position in, position out); false when it leaves the
// point where it is.
bool Predict(const Poinz* p, int32_t cmd, const CommandArg& arg, float out[3]) {
  for (int k = 0; k < 3; ++k) out[k] = p->position[k];
  int a = 0, b = 2;
  PlaneAxes(&a, &b);
  if (IsNudge(cmd)) {
    int axis = 0;
    float sign = 0;
    if (!NudgeAxis(cmd, &axis, &sign)) return false;
    out[axis] += sign * NudgeDistance(arg.docState, cmd);
    return true;
  }
  const TransformInfo* t = arg.transform;
  if (!t) return false;
  switch (cmd) {
    case kCmdTranslateObjects: case kCmdMovePlan:
      out[a] += t->delta[a];
      out[b] += t->delta[b];
      return true;
    case kCmdRotateObjects: case kCmdRotatePlan:
      Rotate(&out[a], &out[b], t->centre[a], t->centre[b], t->angle);
      return true;
    case kCmdScaleObjects: {
      // A factor that is not finite leaves its axis as it is (see ScaleObject).
      const float s1 = std::isfinite(t->scale[a]) ? t->scale[a] : 1.0f;
      const float s2 = std::isfinite(t->scale[b]) ? t->scale[b] : 1.0f;
      out[a] = t->centre[a] + (out[a] - t->centre[a]) * s1;
      out[b] = t->centre[b] + (out[b] - t->centre[b]) * s2;
      return true;
    }
    case kCmdShearObjects:
      Shear(t->shearFrom[a], t->shearFrom[b], t->shearTo[a], t->shearTo[b], &out[a], &out[b], t->centre[a],
            t->centre[b]);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool IsPlanCoordinateValid(float value) { return std::isfinite(value) && std::fabs(value) < kPlanCoordinateLimit; }

float PlanCoordinateLimitLength(const DocState* ds) {
  const float inches = ds ? ConvertScreenToWorld(kPlanCoordinateLimit, ds, 0) : kPlanCoordinateLimit;
  return std::isfinite(inches) && inches > 0 ? inches : kPlanCoordinateLimit;
}

bool IsGuardedTransformCommand(int32_t cmd) {
  switch (cmd) {
    case kCmdTranslateObjects: case kCmdMovePlan: case kCmdRotateObjects: case kCmdRotatePlan:
    case kCmdScaleObjects: case kCmdShearObjects:
      return true;
    default:
      return IsNudge(cmd);
  }
}

float NudgeDistance(const DocState* ds, int32_t cmd) {
  if (!ds) return 0;
  if (!ds->snapToGrid) {
    const float zoom = ds->zoomFactor > 0 ? ds->zoomFactor : 1.0f;
    return 1.0f / zoom;
  }
  const bool vertical = cmd == kCmdNudgeUp || cmd == kCmdNudgeDown;
  return ConvertWorldToScreen(vertical ? ds->gridSnap.floatV : ds->gridSnap.floatH, ds, 0);
}

bool TransformArgumentsFinite(int32_t cmd, const CommandArg& arg) {
  if (IsNudge(cmd)) return !arg.docState || std::isfinite(NudgeDistance(arg.docState, cmd));
  if (!IsGuardedTransformCommand(cmd) || !arg.transform) return true;
  const TransformInfo* t = arg.transform;
  switch (cmd) {
    case kCmdTranslateObjects: case kCmdMovePlan:
      return AllFinite(t->delta, 3);
    case kCmdRotateObjects: case kCmdRotatePlan:
      return std::isfinite(t->angle) && AllFinite(t->centre, 3);
    case kCmdScaleObjects:
      return AllFinite(t->centre, 3);
    case kCmdShearObjects:
      return AllFinite(t->centre, 3) && AllFinite(t->shearFrom, 3) && AllFinite(t->shearTo, 3);
    default:
      return true;
  }
}

bool ObjectFitsAfterTransform(const Objex* obj, int32_t cmd, const CommandArg& arg) {
  if (!obj || !IsGuardedTransformCommand(cmd)) return true;
  const bool every = MovesEveryPoint(cmd);
  for (const Poinz* p = obj->firstPoint; p; p = p->next) {
    if (!every && !p->selected) continue;
    float out[3];
    if (!Predict(p, cmd, arg, out)) continue;
    for (float v : out)
      if (!IsPlanCoordinateValid(v)) return false;
  }
  for (const Objex* c = obj->firstChild; c; c = c->next)
    if (!ObjectFitsAfterTransform(c, cmd, arg)) return false;
  return true;
}

void AlertRefusedTransform(int32_t cmd) {
  const char* message = "Unable to move the objects.";
  if (IsNudge(cmd)) message = "Unable to nudge the objects.";
  else if (cmd == kCmdRotateObjects || cmd == kCmdRotatePlan) message = "Unable to rotate the objects.";
  else if (cmd == kCmdScaleObjects) message = "Unable to resize the objects.";
  else if (cmd == kCmdShearObjects) message = "Unable to shear the objects.";
  ShowAlert(message,
            "Some points would end up outside the area a design can hold, or would not be numbers. "
            "Nothing was changed.");
}
