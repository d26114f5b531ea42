// Object transforms in the working plane (translate, scale, rotate, shear, plan flip),
// the roof attachments and skylight symbols that follow them, and the point-level
// transforms of drag previews.
#include "model/ObjectTransforms.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/TextureFace.h"

namespace {

constexpr int32_t kFlipPlanHorizontal = 5363;
constexpr double kDegreesPerRadian = 57.29577951308232;

bool Eligible(const Poinz* p) { return p->selected && !p->locked; }

// A handle whose two in-plane components are both 0 marks a straight segment.
bool IsMarkerHandle(const float* h, int a, int b) { return h[a] == 0 && h[b] == 0; }

float Finite(float factor) { return std::isfinite(factor) ? factor : 1.0f; }

void RefreshObject(Objex* obj, bool lengths) {
  UpdateObjectBounds(obj);
  SetTextureFaceUV(obj);
  if (lengths) SetObjectPointLengths(obj);
  obj->needsRender = 1;
}

bool IsRoof(const Objex* obj) { return obj->type == kObjRoof || obj->type == kObjRoofPanel; }
bool IsRoofAttachment(const Objex* child) {
  return (child->type == kObjSkylight || child->type == kObjDormerCutout) && child->typeData;
}

RoofAttachmentData* RoofData(Objex* child) { return static_cast<RoofAttachmentData*>(child->typeData); }

using ObjectRoutine = void (*)(Objex*, TransformInfo*);

// Moves the skylights and dormer cut-outs of a roof along with it.
void CarryRoofAttachments(Objex* roof, ObjectRoutine routine, ObjectRoutine symbols, TransformInfo* xform,
                          bool rotation, bool plan) {
  if (!IsRoof(roof)) return;
  for (Objex* child = roof->firstChild; child; child = child->next) {
    if (!IsRoofAttachment(child)) continue;
    if (plan) {
      routine(child, xform);
      if (child->type == kObjSkylight) symbols(RoofData(child)->parts, xform);
      continue;
    }
    bool moved = false;
    if (IsEntireRoofObjectSelected(roof)) {
      SelectObj(child, 1, 0);
      routine(child, xform);
      SelectObj(child, 2, 0);
      moved = true;
    } else if (IsObjectSelected(child)) {
      routine(child, xform);
      moved = true;
    }
    if (!moved || child->type != kObjSkylight) continue;
    symbols(RoofData(child)->parts, xform);
    if (rotation && RoofData(child)->subtype == kSkylightCustom) {
      FloatRect rect = EmptyFloatRect();
      Float3DRect box = EmptyFloat3DRect();
      GetCustomSkylightBounds(child, &rect, &box);
      CreateCustomSkylightBoundsPoints(child, &box);
    }
  }
}

void TranslatePoints(Objex* obj, const TransformInfo* xform, bool all, int a, int b) {
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    if (!all && !Eligible(p)) continue;
    p->position[a] += xform->delta[a];
    p->position[b] += xform->delta[b];
  }
}

void RotateHandle(float* h, int a, int b, float angle) {
  if (!IsMarkerHandle(h, a, b)) Rotate(&h[a], &h[b], 0, 0, angle);
}

void RotatePoints(Objex* obj, const TransformInfo* xform, bool all, int a, int b) {
  for (Poinz* p = obj->firstPoint; p; p = p->next) {
    if (!all && !Eligible(p)) continue;
    RotateHandle(p->inHandle, a, b, xform->angle);
    Rotate(&p->position[a], &p->position[b], xform->centre[a], xform->centre[b], xform->angle);
    RotateHandle(p->outHandle, a, b, xform->angle);
  }
}

// Direction fields that follow a rotation.
void RotateDirections(Objex* obj, float angle, bool panelAlways) {
  float degrees = static_cast<float>(angle * kDegreesPerRadian);
  if (IsObjectACWObject(obj)) obj->params[4] = WrapDegreesOnce(obj->params[4] + degrees);
  if (obj->type == kObjRoofPanel && (panelAlways || IsRootObjectSelected(obj)))
    obj->params[0] = WrapDegreesOnce(obj->params[0] + degrees);
  if (obj->type == kObjSkylight && obj->typeData)
    RoofData(obj)->angle() += static_cast<float>(angle * 180.0 / std::numbers::pi);
}

void SwapWallSides(Poinz* p) {
  std::swap(p->textureID[0], p->textureID[1]);
  std::swap(p->textureScale[0], p->textureScale[1]);
  std::swap(p->color[0], p->color[1]);
  std::swap(p->trim1, p->trim2);
}

// Grows the box by the object and its children (not roof slope arrows) with every
// point turned in the plan about (cx, cz); the model is not touched.
void RotatedObject3DBounds(const Objex* obj, float cx, float cz, float angle, Float3DRect* box) {
  if (const Objex* body = obj->type == kObjWall ? static_cast<const Objex*>(obj->typeData) : nullptr) {
    RotatedObject3DBounds(body, cx, cz, angle, box);
    return;
  }
  std::vector<Poinz> copies;
  for (const Poinz* p = obj->firstPoint; p; p = p->next) copies.push_back(*p);
  for (size_t i = 0; i < copies.size(); ++i) {
    Poinz& q = copies[i];
    q.prev = i > 0 ? &copies[i - 1] : nullptr;
    q.next = i + 1 < copies.size() ? &copies[i + 1] : nullptr;
    RotateHandle(q.inHandle, 0, 2, angle);
    Rotate(&q.position[0], &q.position[2], cx, cz, angle);
    RotateHandle(q.outHandle, 0, 2, angle);
  }
  auto curved = [](const Poinz& p0, const Poinz& p1) {
    for (int k = 0; k < 3; ++k)
      if (p0.outHandle[k] != 0 || p1.inHandle[k] != 0) return true;
    return false;
  };
  for (size_t i = 0; i < copies.size(); ++i) {
    if (i > 0 && curved(copies[i - 1], copies[i]))
      GetObjectSpline3DBounds(&copies[i - 1], &copies[i], box);
    else
      Refine3DBounds(copies[i].position[0], copies[i].position[1], copies[i].position[2], box);
  }
  if (obj->closed && copies.size() > 1 && curved(copies.back(), copies.front()))
    GetObjectSpline3DBounds(&copies.back(), &copies.front(), box);
  for (const Objex* child = obj->firstChild; child; child = child->next)
    if (child->type != kObjRoofSlopeArrow) RotatedObject3DBounds(child, cx, cz, angle, box);
}

Float3DRect Object3DBox(Objex* obj) {
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(obj, 0, &box, 0);
  return box;
}

void RotateAboutBoxCentre(Objex* obj, float degrees) {
  Float3DRect box = Object3DBox(obj);
  TransformInfo xform{};
  xform.angle = static_cast<float>(degrees * std::numbers::pi / 180.0);
  xform.centre[0] = box.floatLeft + (box.floatRight - box.floatLeft) * 0.5f;
  xform.centre[2] = box.floatBack + (box.floatFront - box.floatBack) * 0.5f;
  RotateTheObject(obj, &xform);
}

}  // namespace

bool WorkingPlaneAxes(int16_t viewPlane, int* first, int* second) {
  switch (viewPlane) {
    case 2: *first = 0, *second = 2; return true;
    case 3: *first = 2, *second = 1; return true;
    case 1: *first = 0, *second = 1; return true;
    default: return false;
  }
}

float WrapDegreesOnce(float degrees) {
  if (degrees > 360) return degrees - 360;
  if (degrees < 0) return degrees + 360;
  return degrees;
}

float MirrorAngleDegrees(float degrees, bool horizontal) {
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(static_cast<float>(degrees / kDegreesPerRadian), 1000.0f, &dx, &dy);
  if (horizontal) dx = -dx;
  else dy = -dy;
  float length = 0;
  return static_cast<float>(GetLineLengthAndAngle(0, 0, dx, dy, &length) * kDegreesPerRadian);
}

bool IsObjectACWObject(const Objex* object) {
  if (!object) return false;
  if (object->type == kObjGroup) return object->firstChild && object->firstChild->type == kObjSymbolPart3D;
  if (object->type == kObjSymbolPart3D) {
    const Objex* root = GetRootObject(object);
    return root && root->subtype != kSubCabinet;
  }
  return false;
}

void TranslateObject(Objex* object, TransformInfo* xform) {
  DocState* ds = CurDocState();
  if (!object || !xform || !ds) return;
  CarryRoofAttachments(object, TranslateObject, TranslateSkylightSymbols, xform, false, false);
  int a, b;
  if (WorkingPlaneAxes(ds->viewPlane, &a, &b)) TranslatePoints(object, xform, false, a, b);
  RefreshObject(object, true);
}

void TranslatePlanObject(Objex* object, TransformInfo* xform) {
  DocState* ds = CurDocState();
  if (!object || !xform || !ds) return;
  CarryRoofAttachments(object, TranslatePlanObject, TranslateSkylightSymbols, xform, false, true);
  int a, b;
  if (WorkingPlaneAxes(ds->viewPlane, &a, &b)) TranslatePoints(object, xform, true, a, b);
  RefreshObject(object, true);
}

void ScaleObject(Objex* object, TransformInfo* xform) {
  DocState* ds = CurDocState();
  if (!object || !xform || !ds) return;
  int a, b;
  if (WorkingPlaneAxes(ds->viewPlane, &a, &b)) {
    // A factor from a zero extent is not finite: that axis stays as it is.
    float s1 = Finite(xform->scale[a]), s2 = Finite(xform->scale[b]);
    float c1 = xform->centre[a], c2 = xform->centre[b];
    for (Poinz* p = object->firstPoint; p; p = p->next) {
      if (!Eligible(p)) continue;
      p->position[a] = c1 + (p->position[a] - c1) * s1;
      p->position[b] = c2 + (p->position[b] - c2) * s2;
      for (float* h : {p->inHandle, p->outHandle}) {
        if (IsMarkerHandle(h, a, b)) continue;
        h[a] *= s1;
        h[b] *= s2;
      }
    }
  }
  RefreshObject(object, true);
}

void ScaleTheObject(Objex* object, TransformInfo* xform) {
  if (!object) return;
  ScaleObject(object, xform);
  for (Objex* child = object->firstChild; child; child = child->next) ScaleTheObject(child, xform);
}

void RotateObject(Objex* object, TransformInfo* xform) {
  DocState* ds = CurDocState();
  if (!object || !xform || !ds) return;
  CarryRoofAttachments(object, RotateObject, RotateSkylightSymbols, xform, true, false);
  int a, b;
  if (WorkingPlaneAxes(ds->viewPlane, &a, &b)) RotatePoints(object, xform, false, a, b);
  RotateDirections(object, xform->angle, false);
  RefreshObject(object, false);
}

void RotateTheObject(Objex* object, TransformInfo* xform) {
  if (!object) return;
  RotateObject(object, xform);
  for (Objex* child = object->firstChild; child; child = child->next) RotateTheObject(child, xform);
}

void RotatePlanObject(Objex* object, TransformInfo* xform) {
  DocState* ds = CurDocState();
  if (!object || !xform || !ds) return;
  CarryRoofAttachments(object, RotatePlanObject, RotateSkylightSymbols, xform, true, true);
  int a, b;
  if (WorkingPlaneAxes(ds->viewPlane, &a, &b)) RotatePoints(object, xform, true, a, b);
  RotateDirections(object, xform->angle, true);
  RefreshObject(object, true);
}

void ShearObject(Objex* object, TransformInfo* xform) {
  DocState* ds = CurDocState();
  if (!object || !xform || !ds) return;
  int a, b;
  if (WorkingPlaneAxes(ds->viewPlane, &a, &b)) {
    DragTransformInfo drag{};
    for (int k = 0; k < 3; ++k) {
      drag.start[k] = xform->shearFrom[k];
      drag.current[k] = xform->shearTo[k];
      drag.anchor[k] = xform->centre[k];
    }
    for (Poinz* p = object->firstPoint; p; p = p->next)
      if (Eligible(p)) ShearPoint(p, 0, &drag);
  }
  RefreshObject(object, true);
}

void FlipPlanObject(Objex* object, int32_t command) {
  DocState* ds = CurDocState();
  if (!object || !ds) return;
  bool horizontal = command == kFlipPlanHorizontal;
  if (IsRoof(object)) {
    for (Objex* child = object->firstChild; child; child = child->next) {
      if (!IsRoofAttachment(child)) continue;
      FlipPlanObject(child, command);
      if (child->type != kObjSkylight) continue;
      PlanFlipSkylightSymbols(RoofData(child)->parts, command);
      uint8_t& flag = RoofData(child)->flags[horizontal ? 0 : 1];
      flag = !flag;
    }
  }
  int a, b;
  bool mirrored = WorkingPlaneAxes(ds->viewPlane, &a, &b);
  for (Poinz* p = object->firstPoint; mirrored && p; p = p->next) {
    if (object->type == kObjWall) SwapWallSides(p);
    switch (ds->viewPlane) {
      case 2: {
        int k = horizontal ? 0 : 2;
        for (float* v : {p->position, p->inHandle, p->outHandle, p->linkVector}) v[k] = -v[k];
        break;
      }
      case 3: p->position[horizontal ? 2 : 1] = -p->position[horizontal ? 2 : 1]; break;
      case 1: p->position[horizontal ? 0 : 1] = -p->position[horizontal ? 0 : 1]; break;
      default: break;
    }
  }
  RefreshObject(object, true);
  if (object->type == kObjGroup && IsObjectACWObject(object))
    object->params[4] = MirrorAngleDegrees(object->params[4], horizontal);
  if (object->type == kObjRoofPanel) object->params[0] = MirrorAngleDegrees(object->params[0], horizontal);
  if (object->type == kObjGroup && object->subtype == kSubCabinet && object->typeData) {
    float angle;
    memcpy(&angle, object->typeData, sizeof angle);
    angle = WrapDegreesOnce(MirrorAngleDegrees(angle + 270, horizontal) + 90);
    memcpy(object->typeData, &angle, sizeof angle);
  }
}

void RotateObjectInDegrees(Objex* object, float degrees) {
  if (!object || !CurDocState()) return;
  if (degrees != 0) RotateAboutBoxCentre(object, degrees);
  RenderEntireObject(object);
  UpdateObjectBounds(object);
}

void GetCustomFormwerkSize(Objex* object, float* width, float* height, float* depth) {
  if (!object || !CurDocState()) return;
  Float3DRect box = Object3DBox(object);
  float angle = object->params[4];
  if (angle > 0) {
    // Measured on turned copies of the points: the object itself stays as it is.
    float cx = box.floatLeft + (box.floatRight - box.floatLeft) * 0.5f;
    float cz = box.floatBack + (box.floatFront - box.floatBack) * 0.5f;
    box = EmptyFloat3DRect();
    RotatedObject3DBounds(object, cx, cz, static_cast<float>(-angle * std::numbers::pi / 180.0), &box);
  }
  if (IsEmptyBounds(box)) box = Float3DRect{};
  if (width) *width = box.floatRight - box.floatLeft;
  if (height) *height = box.floatBottom - box.floatTop;
  if (depth) *depth = box.floatFront - box.floatBack;
}

void ResizeCustomFormwerkObject(Objex* object, uint8_t percent, float width, float height, float depth,
                                uint8_t xFlag, uint8_t yFlag, uint8_t zFlag) {
  DocState* ds = CurDocState();
  if (!object || !ds) return;
  // Selected first: the object transforms move selected points only, and the turn back
  // must act on the object just as the turn forward does.
  SelectObj(object, 1, 0);
  float angle = object->params[4];
  bool turned = angle > 0;
  if (turned) RotateAboutBoxCentre(object, -angle);

  Float3DRect box = Object3DBox(object);
  if (IsEmptyBounds(box)) box = Float3DRect{};
  float W = ConvertScreenToWorld(box.floatRight - box.floatLeft, ds, 0);
  float H = ConvertScreenToWorld(box.floatBottom - box.floatTop, ds, 0);
  float D = ConvertScreenToWorld(box.floatFront - box.floatBack, ds, 0);
  auto factor = [percent](float wanted, float size, uint8_t flag) {
    if (!percent) return size != 0 ? wanted / size : 1.0f;  // no extent: the axis stays
    float f = wanted / 100.0f;
    if (flag && size * f < 0.0625f && size != 0) f = 0.0625f / size;
    return f;
  };
  float fx = factor(width, W, xFlag), fy = factor(height, H, yFlag), fz = factor(depth, D, zFlag);

  int16_t savedPlane = ds->viewPlane;
  ds->viewPlane = (xFlag || zFlag) ? 2 : 1;
  TransformInfo xform{};
  xform.scale[0] = xFlag ? fx : 1;
  xform.scale[1] = yFlag ? fy : 1;
  xform.scale[2] = zFlag ? fz : 1;
  xform.centre[0] = box.floatLeft + (box.floatRight - box.floatLeft) * 0.5f;
  xform.centre[1] = box.floatBottom;
  xform.centre[2] = box.floatBack + (box.floatFront - box.floatBack) * 0.5f;
  ScaleTheObject(object, &xform);
  UpdateObjectBounds(object);
  ds->viewPlane = savedPlane;

  if (turned) RotateAboutBoxCentre(object, angle);
  RenderEntireObject(object);
  UpdateObjectBounds(object);
}

void TranslateSkylightSymbols(Objex* list, TransformInfo* xform) {
  for (Objex* o = list; o; o = o->next) {
    SelectObj(o, 1, 0);
    TranslateObject(o, xform);
    SelectObj(o, 2, 0);
  }
}

void RotateSkylightSymbols(Objex* list, TransformInfo* xform) {
  for (Objex* o = list; o; o = o->next) {
    SelectObj(o, 1, 0);
    RotateObject(o, xform);
    SelectObj(o, 2, 0);
  }
}

void NudgeSkylightSymbols(Objex* list, float distance, int16_t direction) {
  for (Objex* o = list; o; o = o->next) {
    SelectObj(o, 1, 0);
    NudgeObject(o, distance, direction);
    SelectObj(o, 2, 0);
  }
}

void FlipSkylightSymbols(Objex* list, int16_t horizontal) {
  for (Objex* o = list; o; o = o->next) {
    SelectObj(o, 1, 0);
    FlipObject(o, horizontal);
    SelectObj(o, 2, 0);
  }
}

void PlanFlipSkylightSymbols(Objex* list, int32_t command) {
  for (Objex* o = list; o; o = o->next) FlipPlanObject(o, command);
}

void TranslatePoint(Poinz* point, int32_t flags, const DragTransformInfo* xform) {
  DocState* ds = CurDocState();
  int a, b;
  if (!point || !xform || !ds || !WorkingPlaneAxes(ds->viewPlane, &a, &b)) return;
  if ((flags & kPointXformSelectedOnly) && !Eligible(point)) return;
  float d1 = xform->current[a] - xform->start[a];
  float d2 = xform->current[b] - xform->start[b];
  if (flags & kPointXformConstrain) {
    if (std::fabs(d1) > std::fabs(d2)) d2 = 0;
    else d1 = 0;
  }
  point->position[a] += d1;
  point->position[b] += d2;
}

void ScalePoint(Poinz* point, int32_t flags, const DragTransformInfo* xform) {
  DocState* ds = CurDocState();
  int a, b;
  if (!point || !xform || !ds || !WorkingPlaneAxes(ds->viewPlane, &a, &b)) return;
  if ((flags & kPointXformSelectedOnly) && !Eligible(point)) return;
  auto ratio = [xform](int k) {
    float span = xform->start[k] - xform->anchor[k];
    return span == 0 ? 1.0f : Finite((xform->current[k] - xform->anchor[k]) / span);
  };
  float r1 = ratio(a), r2 = ratio(b);
  // Constrained: one ratio for both in-plane axes (the second takes the first's).
  if (flags & kPointXformConstrain) r2 = r1;
  if (r1 == 1 && r2 == 1) return;
  for (float* h : {point->inHandle, point->outHandle}) {
    if (IsMarkerHandle(h, a, b)) continue;
    h[a] *= r1;
    h[b] *= r2;
  }
  Scale(&point->position[a], &point->position[b], xform->anchor[a], xform->anchor[b], r1, r2);
}

void ShearPoint(Poinz* point, int32_t flags, const DragTransformInfo* xform) {
  DocState* ds = CurDocState();
  int a, b;
  if (!point || !xform || !ds || !WorkingPlaneAxes(ds->viewPlane, &a, &b)) return;
  if ((flags & kPointXformSelectedOnly) && !Eligible(point)) return;
  float ax = xform->start[a], ay = xform->start[b];
  float bx = xform->current[a], by = xform->current[b];
  float cx = xform->anchor[a], cy = xform->anchor[b];
  float* handles[2] = {point->inHandle, point->outHandle};
  float ends[2][2];
  bool moved[2];
  for (int i = 0; i < 2; ++i) {
    moved[i] = !IsMarkerHandle(handles[i], a, b);
    if (!moved[i]) continue;
    ends[i][0] = point->position[a] + handles[i][a];
    ends[i][1] = point->position[b] + handles[i][b];
    Shear(ax, ay, bx, by, &ends[i][0], &ends[i][1], cx, cy);
  }
  Shear(ax, ay, bx, by, &point->position[a], &point->position[b], cx, cy);
  for (int i = 0; i < 2; ++i) {
    if (!moved[i]) continue;
    handles[i][a] = ends[i][0] - point->position[a];
    handles[i][b] = ends[i][1] - point->position[b];
  }
}

void RotatePoint(Poinz* point, int32_t flags, const DragTransformInfo* xform) {
  DocState* ds = CurDocState();
  int a, b;
  if (!point || !xform || !ds || !WorkingPlaneAxes(ds->viewPlane, &a, &b)) return;
  if ((flags & kPointXformSelectedOnly) && !Eligible(point)) return;
  float delta = GetRotate(xform->startAngle, xform->currentAngle);
  if (delta == 0) return;
  RotateHandle(point->inHandle, a, b, delta);
  Rotate(&point->position[a], &point->position[b], xform->anchor[a], xform->anchor[b], delta);
  RotateHandle(point->outHandle, a, b, delta);
}
