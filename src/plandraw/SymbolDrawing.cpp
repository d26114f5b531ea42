// Components drawn from the fixed 2D symbols.
#include "plandraw/SymbolDrawing.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "files/SymbolFile.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "platform/Strings.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanText.h"
#include "plandraw/SymbolGeometry.h"

namespace {

constexpr int32_t kDrawableKinds[] = {55, 65, 66, 67, 70, 73, 74, 75, 76, 77, 78, 83, 84, 85,
                                      86, 87, 90, 91, 92, 93, 94, 95, 96, 97, 99, 109, 124};

struct SizedKind {
  int32_t kind;
  float length, depth;  // inches
  const char* name;
};
constexpr SizedKind kSizedKinds[] = {
    {95, 60.0f, 30.0f, "Tub/Shower"}, {96, 60.0f, 42.0f, "Spa Tub"}, {97, 48.0f, 36.0f, "Shower"}};

const SizedKind* FindSizedKind(int32_t kind) {
  for (const SizedKind& s : kSizedKinds)
    if (s.kind == kind) return &s;
  return nullptr;
}

bool IsZero3(const float v[3]) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }

// The extent along x and z of the parts of a symbol as they are drawn (a part's own children
// included, curved segments at the finest sampling the drawing takes).
void DrawnPartsExtent(const Objex* entry, float* extentX, float* extentZ) {
  float low[2] = {0, 0}, high[2] = {0, 0};
  bool any = false;
  const auto add = [&](const float p[3]) {
    const float v[2] = {p[0], p[2]};
    for (int k = 0; k < 2; ++k) {
      low[k] = any ? std::min(low[k], v[k]) : v[k];
      high[k] = any ? std::max(high[k], v[k]) : v[k];
    }
    any = true;
  };
  const auto segment = [&](const Poinz& a, const Poinz& b) {
    add(a.position);
    add(b.position);
    if (IsZero3(a.outHandle) && IsZero3(b.inHandle)) return;
    ForEachCurveLine(a, b, 20, [&](const float from[3], const float to[3]) {
      add(from);
      add(to);
    });
  };
  const auto take = [&](const Objex* part) {
    if (part->levels != 1 || !part->firstPoint) return;
    const Poinz* p = part->firstPoint;
    for (; p->next; p = p->next) segment(*p, *p->next);
    if (part->closed) segment(*p, *part->firstPoint);
  };
  for (const Objex* child = entry->firstChild; child; child = child->next) {
    take(child);
    for (const Objex* grandchild = child->firstChild; grandchild; grandchild = grandchild->next) take(grandchild);
  }
  *extentX = high[0] - low[0];
  *extentZ = high[1] - low[1];
}

bool IsZeroXZ(const float v[3]) { return v[0] == 0 && v[2] == 0; }

std::string Readout(float inches) {
  char text[256] = {};
  ConvertInchesToStr(inches, text);
  return text;
}

// "%sLx%sW" (localized) with the two readouts in order; the table's text is not a printf format.
std::string SizeLabel(const std::string& width, const std::string& depth) {
  std::string format = LocalizedString("%sLx%sW");
  for (const std::string* value : {&width, &depth})
    if (const size_t at = format.find("%s"); at != std::string::npos) format.replace(at, 2, *value);
  return format;
}

}  // namespace

bool IsDrawable2DSymbolKind(int32_t kind) {
  for (int32_t k : kDrawableKinds)
    if (k == kind) return true;
  return false;
}

void DrawComponent(DrawContext* handle, Objex* component, const RECT* updateRect, int32_t drawFlags,
                   const DragTransformInfo* transform, int32_t kind) {
  const DocState* ds = CurDocState();
  if (!component || !ds) return;
  const auto* data = static_cast<const DoorWindowData*>(component->typeData);
  if (!data || !data->anchorStart || !data->anchorEnd || !component->parent) return;
  const Poinz* p1 = component->firstPoint;
  if (!p1 || !p1->next) return;
  const PlanPoint m = Midpoint(PlanPositionOf(p1), PlanPositionOf(p1->next));
  const float a = PlanAngle(PlanPositionOf(data->anchorStart), PlanPositionOf(data->anchorEnd));
  const float h = ConvertWorldToScreen(component->parent->width, ds, 0) * 0.5f;
  const float d = data->flipHorizontal ? a + kRightAngle : a - kRightAngle;
  const PlanPoint q = m + Polar(d, h);
  const SizedKind* sized = FindSizedKind(kind);
  float scaleX = 1.0f, scaleZ = 1.0f;
  SizedSymbolScales(kind, data->width, data->height, &scaleX, &scaleZ);
  const FloatPoint origin{q.x, q.z};
  SetupToDraw2DSymbolObject(handle, drawFlags, transform, d + kRightAngle, &origin, kind, scaleX, scaleZ);
  if (!sized) return;
  const float degrees = static_cast<float>(a * kRadianDegrees);
  const std::string size = SizeLabel(Readout(ConvertScreenToWorld(data->width, ds, 0)),
                                     Readout(ConvertScreenToWorld(data->height, ds, 0)));
  const PlanPoint sizeAt = q + Polar(d, 0.5f * data->height - 8.0f);
  DrawNormalText(handle, size.c_str(), sizeAt.x, sizeAt.z, degrees);
  const PlanPoint nameAt = q + Polar(d, 0.5f * data->height + 8.0f);
  DrawNormalText(handle, LocalizedString(sized->name).c_str(), nameAt.x, nameAt.z, degrees);
}

bool SizedSymbolScales(int32_t kind, float width, float depth, float* scaleX, float* scaleZ) {
  *scaleX = *scaleZ = 1.0f;
  const SizedKind* sized = FindSizedKind(kind);
  const DocState* ds = CurDocState();
  if (!sized || !ds) return false;
  // The symbol as drawn spans its parts' extent: stretched from that to the component's size,
  // whatever size the symbol file drew it at. Along an axis it has no extent, the nominal size
  // stands in.
  float extentX = 0, extentZ = 0;
  if (const Objex* entry = FindSymbolEntry(gSymbol2DList, static_cast<int16_t>(kind)))
    DrawnPartsExtent(entry, &extentX, &extentZ);
  const float nominalX = ConvertWorldToScreen(sized->length, ds, 0);
  const float nominalZ = ConvertWorldToScreen(sized->depth, ds, 0);
  const float fromX = extentX > 0 ? extentX : nominalX, fromZ = extentZ > 0 ? extentZ : nominalZ;
  if (fromX > 0) *scaleX = width / fromX;
  if (fromZ > 0) *scaleZ = depth / fromZ;
  return true;
}

void SetupToDraw2DSymbolObject(DrawContext* handle, int32_t drawFlags, const DragTransformInfo* transform,
                               float angle, const FloatPoint* origin, int32_t kind, float scaleX, float scaleZ) {
  if (!origin || !IsDrawable2DSymbolKind(kind)) return;
  Objex* entry = FindSymbolEntry(gSymbol2DList, static_cast<int16_t>(kind));
  if (!entry) return;
  for (Objex* child = entry->firstChild; child; child = child->next) {
    Draw2DSymbolObject(handle, child, drawFlags, transform, angle, origin, scaleX, scaleZ);
    for (Objex* grandchild = child->firstChild; grandchild; grandchild = grandchild->next)
      Draw2DSymbolObject(handle, grandchild, drawFlags, transform, angle, origin, scaleX, scaleZ);
  }
}

void Draw2DSymbolObject(DrawContext* handle, Objex* object, int32_t drawFlags, const DragTransformInfo* transform,
                        float angle, const FloatPoint* origin, float scaleX, float scaleZ) {
  if (!origin || !object || object->levels != 1 || !object->firstPoint) return;
  Poinz* p = object->firstPoint;
  for (; p->next; p = p->next)
    Draw2DSymbolSegment(handle, object, p, p->next, drawFlags, transform, angle, origin, scaleX, scaleZ);
  // A closed part of one point is its own closing segment (a loop when it has handles).
  if (object->closed)
    Draw2DSymbolSegment(handle, object, p, object->firstPoint, drawFlags, transform, angle, origin, scaleX, scaleZ);
}

void Draw2DSymbolSegment(DrawContext* handle, Objex* object, Poinz* pointA, Poinz* pointB, int32_t drawFlags,
                         const DragTransformInfo* transform, float angle, const FloatPoint* origin, float scaleX,
                         float scaleZ) {
  const DocState* ds = CurDocState();
  if (!pointA || !pointB || !ds || !origin) return;
  Poinz a = *pointA, b = *pointB;
  const float ox = origin->floatH, oz = origin->floatV;
  float* tangents[4] = {a.inHandle, a.outHandle, b.inHandle, b.outHandle};
  for (Poinz* p : {&a, &b}) {
    p->position[0] += ox;
    p->position[2] += oz;
  }
  if (scaleX != 1.0f || scaleZ != 1.0f) {
    for (Poinz* p : {&a, &b}) Scale(&p->position[0], &p->position[2], ox, oz, scaleX, scaleZ);
    for (float* t : tangents)
      if (!IsZeroXZ(t)) Scale(&t[0], &t[2], 0, 0, scaleX, scaleZ);
  }
  const float r = GetRotate(0, angle);
  for (Poinz* p : {&a, &b}) Rotate(&p->position[0], &p->position[2], ox, oz, r);
  for (float* t : tangents)
    if (!IsZeroXZ(t)) Rotate(&t[0], &t[2], 0, 0, r);

  if (IsZero3(a.outHandle) && IsZero3(b.inHandle)) {
    DrawLine(handle, a.position[0], a.position[1], a.position[2], b.position[0], b.position[1], b.position[2], 0,
             object, pointA);
    return;
  }
  int32_t n = ds->curveSegments;
  if (!gPrinting) n = std::max<int32_t>(n / 3, 1);
  ForEachCurveLine(a, b, ZoomL(n), [&](const float from[3], const float to[3]) {
    DrawLine(handle, from[0], from[1], from[2], to[0], to[1], to[2], 0, object, pointA);
  });
}
