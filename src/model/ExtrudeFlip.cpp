// Extruding and revolving point rings into multi-level bodies, mirroring selected
// points about the flip centre, reversing point order, and the cap direction test.
#include "model/ExtrudeFlip.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/ObjectTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/TextureFace.h"
#include "model/ViewProjection.h"

float gFlipCenterX = 0;
float gFlipCenterY = 0;

namespace {

// The first `count` points of the list (fewer when the list is shorter).
std::vector<Poinz*> LeadingPoints(Objex* obj, int32_t count) {
  std::vector<Poinz*> points;
  for (Poinz* p = obj->firstPoint; p && static_cast<int32_t>(points.size()) < count; p = p->next)
    points.push_back(p);
  return points;
}

Poinz* CopyPoint(const Poinz* p, Objex* owner) {
  return CreatePoint(p->pointType, p->selected, p->locked, p->inHandle[0], p->inHandle[1], p->inHandle[2],
                     p->position[0], p->position[1], p->position[2], p->outHandle[0], p->outHandle[1],
                     p->outHandle[2], p->linkVector[0], p->linkVector[1], p->linkVector[2], owner);
}

// Relinks the object's points in the given order as its whole list.
void RelinkPoints(Objex* obj, const std::vector<Poinz*>& order) {
  for (size_t i = 0; i < order.size(); ++i) {
    order[i]->prev = i > 0 ? order[i - 1] : nullptr;
    order[i]->next = i + 1 < order.size() ? order[i + 1] : nullptr;
  }
  obj->firstPoint = order.empty() ? nullptr : order.front();
}

// Reverses each level of the point list in place; false when a level has fewer than 2 points.
bool ReverseLevels(Objex* obj) {
  std::vector<Poinz*> points;
  for (Poinz* p = obj->firstPoint; p; p = p->next) points.push_back(p);
  int32_t levels = obj->levels > 0 ? obj->levels : 1;
  size_t perLevel = points.size() / static_cast<size_t>(levels);
  if (perLevel < 2) return false;
  for (int32_t level = 0; level < levels; ++level) {
    auto first = points.begin() + static_cast<std::ptrdiff_t>(level * perLevel);
    std::reverse(first, first + static_cast<std::ptrdiff_t>(perLevel));
  }
  RelinkPoints(obj, points);
  return true;
}

bool IsReversibleType(int16_t type) {
  switch (type) {
    case 3: case kObjClosedPoly: case kObjOpenPoly: case kObjWallFace: case kObjWallEdge:
    case kObjWall: case kObjSeparatorFace: case kObjCustomAttachmentPart:
      return true;
    default:
      return false;
  }
}

void RefreshAfterEdit(Objex* obj) {
  UpdateObjectBounds(obj);
  SetTextureFaceUV(obj);
  SetObjectPointLengths(obj);
}

}  // namespace

void ExtrudeObject(Objex* object, float height) {
  DocState* ds = CurDocState();
  if (!object || !ds || object->levels > 1) return;
  int axis;
  switch (ds->viewPlane) {
    case 2: axis = 1; break;
    case 1: axis = 2; break;
    case 3: axis = 0; break;
    default: return;
  }
  std::vector<Poinz*> ring = LeadingPoints(object, object->pointCount);
  bool complete = static_cast<int32_t>(ring.size()) == object->pointCount;
  for (Poinz* p : ring) {
    Poinz* copy = CopyPoint(p, object);
    if (!copy) {
      complete = false;
      break;
    }
    copy->position[axis] += height;
    AppendPointToObject(copy, object);
  }
  if (complete) object->levels = 2;
  RefreshAfterEdit(object);
}

void RevolveObject(Objex* object, DragTransformInfo* xform) {
  if (!object || !xform || !CurDocState() || object->levels > 1) return;
  float sweep = static_cast<float>(xform->sweepAngle * 57.29577951308232);
  if (!std::isfinite(sweep)) return;
  double stepsWanted = std::ceil(std::fabs(sweep / 90.0f));
  int16_t steps = static_cast<int16_t>(stepsWanted < 1 ? 1 : stepsWanted > 32766 ? 32766 : stepsWanted);
  float step = static_cast<float>((sweep / steps) * 0.017453292519943295);
  std::vector<Poinz*> ring = LeadingPoints(object, object->pointCount);
  float angle = xform->startAngle;
  for (int16_t s = 0; s < steps; ++s) {
    angle += step;
    xform->currentAngle = angle;
    for (Poinz* p : ring) {
      Poinz* copy = CopyPoint(p, object);
      if (!copy) continue;
      RotatePoint(copy, 0, xform);
      AppendPointToObject(copy, object);
    }
  }
  object->levels = static_cast<int16_t>(steps + 1);
  UpdateObjectBounds(object);
}

void FlipObject(Objex* object, int16_t horizontal) {
  DocState* ds = CurDocState();
  if (!object || !ds) return;
  if (object->type == kObjRoof || object->type == kObjRoofPanel) {
    bool whole = IsEntireRoofObjectSelected(object);
    for (Objex* child = object->firstChild; child; child = child->next) {
      if ((child->type != kObjSkylight && child->type != kObjDormerCutout) || !child->typeData) continue;
      if (whole) {
        SelectObj(child, 1, 0);
        FlipObject(child, horizontal);
        SelectObj(child, 2, 0);
      } else if (IsObjectSelected(child)) {
        FlipObject(child, horizontal);
      } else {
        continue;
      }
      auto* data = static_cast<RoofAttachmentData*>(child->typeData);
      uint8_t& flag = data->flags[horizontal ? 0 : 1];
      flag = !flag;
      if (child->type == kObjSkylight) FlipSkylightSymbols(data->parts, horizontal);
    }
  }
  int k = -1;
  switch (ds->viewPlane) {
    case 2: k = horizontal ? 0 : 2; break;
    case 1: k = horizontal ? 0 : 1; break;
    case 3: k = horizontal ? 2 : 1; break;
    default: break;
  }
  float centre = horizontal ? gFlipCenterX : gFlipCenterY;
  // Outside a working plane nothing is mirrored, so wall sides stay as they are too.
  for (Poinz* p = object->firstPoint; k >= 0 && p; p = p->next) {
    if (!p->selected) continue;
    if (object->type == kObjWall) {
      std::swap(p->textureID[0], p->textureID[1]);
      std::swap(p->textureScale[0], p->textureScale[1]);
      std::swap(p->color[0], p->color[1]);
      std::swap(p->trim1, p->trim2);
    }
    p->position[k] = centre - (p->position[k] - centre);
    p->inHandle[k] = -p->inHandle[k];
    p->outHandle[k] = -p->outHandle[k];
  }
  RefreshAfterEdit(object);
  object->needsRender = 1;
  if (object->type == kObjRoofPanel) object->params[0] = MirrorAngleDegrees(object->params[0], horizontal);
  if (object->type == kObjGroup && object->subtype == kSubCabinet && object->typeData) {
    float angle;
    memcpy(&angle, object->typeData, sizeof angle);
    angle = WrapDegreesOnce(MirrorAngleDegrees(angle + 270, horizontal) + 90);
    memcpy(object->typeData, &angle, sizeof angle);
  }
  if (object->type == kObjGroup && object->firstChild && object->firstChild->type == kObjSymbolPart3D)
    object->params[4] = WrapDegreesOnce(-object->params[4]);
}

Poinz* ReverseSegmentDirection(Poinz* first, int32_t n) {
  if (!first || !first->next) return first;
  std::vector<Poinz*> run;
  int32_t wanted = n < 2 ? 2 : n;
  for (Poinz* p = first; p && static_cast<int32_t>(run.size()) < wanted; p = p->next) run.push_back(p);
  Poinz* rest = run.back()->next;
  std::reverse(run.begin(), run.end());
  for (size_t i = 0; i < run.size(); ++i) {
    run[i]->prev = i > 0 ? run[i - 1] : nullptr;
    run[i]->next = i + 1 < run.size() ? run[i + 1] : rest;
  }
  if (rest) rest->prev = run.back();
  return run.front();
}

Poinz* ReverseAnySegmentDirection(Poinz* first, int32_t n) { return ReverseSegmentDirection(first, n); }

void ReverseObjectDirection(Objex* object) {
  if (!object || !IsReversibleType(object->type)) return;
  ReverseLevels(object);
}

void ReverseAnyObjectDirection(Objex* object) {
  if (!object || !ReverseLevels(object)) return;
  // Each segment now runs the other way: its tangents swap ends and turn round.
  for (Poinz* p = object->firstPoint; p; p = p->next) {
    for (int k = 0; k < 3; ++k) {
      float in = p->inHandle[k];
      p->inHandle[k] = -p->outHandle[k];
      p->outHandle[k] = -in;
    }
  }
}

void ValidateCapDirection(Objex* object) {
  if (!object) return;
  Objex* body = object;
  if (object->type == kObjWall) {
    body = static_cast<Objex*>(object->typeData);
    if (!body) return;
  }
  Poinz* p1 = body->firstPoint;
  Poinz* p2 = p1 ? p1->next : nullptr;
  Poinz* p3 = p2 ? p2->next : nullptr;
  if (body->capped && body->closed && body->pointCount > 2 && body->levels > 1 && p3) {
    float v[3][3];
    const Poinz* pts[3] = {p1, p2, p3};
    for (int i = 0; i < 3; ++i) {
      for (int k = 0; k < 3; ++k) v[i][k] = pts[i]->position[k];
      ConversionToIsometric(&v[i][0], &v[i][1], &v[i][2], gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle,
                            gGlobalXOffset, gGlobalYOffset, gGlobalZOffset, 1);
    }
    float a, b, c, d;
    CalcParametric(v[0][0], v[0][1], v[0][2], v[1][0], v[1][1], v[1][2], v[2][0], v[2][1], v[2][2], &a, &b,
                   &c, &d);
    body->direction = c > 0 ? -1 : 1;
  }
  for (Objex* child = body->firstChild; child; child = child->next) ValidateCapDirection(child);
}

void ValidateCapDirectionLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) ValidateCapDirection(o);
}

void ValidateCapDirectionAllLayers(Layer* layers) {
  SetUpForRotationAboutArbitraryAxis(20, 330, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
  for (Layer* l = layers; l; l = l->next) ValidateCapDirectionLayer(l);
  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle,
                                     &gSinYAngle, gPerspective);
}
