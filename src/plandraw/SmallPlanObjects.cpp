// Deck labels, path lengths, sprinkler radii and labels, offset and length dimensions,
// leaders and diameter dimensions in plan.
#include "plandraw/SmallPlanObjects.h"

#include <cstdio>
#include <string>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "platform/Strings.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanPoints.h"
#include "plandraw/PlanText.h"

namespace {

Poinz* LastPoint(Poinz* p) {
  while (p && p->next) p = p->next;
  return p;
}

// The nth point (0-based) of the object, or null.
Poinz* PointAt(const Objex* object, int n) {
  Poinz* p = object->firstPoint;
  for (; p && n > 0; --n) p = p->next;
  return p;
}

// A static length label of the segment p-q, 5 units out on side 1.
void LengthBetween(DrawContext* handle, const Objex* guard, const Poinz* p, const Poinz* q, const char* suffix) {
  const float px = p->position[0], pz = p->position[2], qx = q->position[0], qz = q->position[2];
  DrawDimensionLine(handle, px, pz, qx, qz, px, pz, qx, qz, 1, 5.0f, 0, guard, guard, 0, 0, 5.0f, 0, suffix);
}

}  // namespace

void DrawDeck(DrawContext* handle, Objex* deck) {
  if (!CurDocState() || !deck) return;
  const Float3DRect& b = deck->bounds3D;
  const std::string label = LocalizedString("DECK");
  DrawNormalText(handle, label.c_str(), (b.floatLeft + b.floatRight) / 2, (b.floatBack + b.floatFront) / 2, 0);
}

void DrawPath(DrawContext* handle, Objex* path) {
  DocState* ds = CurDocState();
  if (!ds || !path || !ShowAutoDimensions(ds)) return;
  const auto* outline = static_cast<const Objex*>(path->typeData);
  if (!outline || !outline->firstPoint) return;
  LengthBetween(handle, path, outline->firstPoint, LastPoint(outline->firstPoint), nullptr);
}

void DrawSprinkler(DrawContext* handle, Objex* sprinkler) {
  DocState* ds = CurDocState();
  if (!ds || !sprinkler || !sprinkler->firstPoint || !ShowAutoDimensions(ds)) return;
  const Poinz* head = sprinkler->firstPoint;
  const Poinz* last = LastPoint(sprinkler->firstPoint);
  const std::string radius = LocalizedString(" R");
  LengthBetween(handle, sprinkler, head, last, radius.c_str());

  char angle[kReadoutTextSize] = {};
  ConvertAngleToStr(sprinkler->params[0], angle);
  char label[kReadoutTextSize + 64];
  std::snprintf(label, sizeof label, "%s%s", angle, LocalizedString(" Sprinkler").c_str());
  DrawNormalText(handle, label, last->position[0], last->position[2] - 15.0f, 0);
}

void DrawDimensionPerimeter(DrawContext* handle, Objex* dimension) {
  if (!CurDocState() || !dimension) return;
  Poinz* p[4];
  for (int i = 0; i < 4; ++i)
    if (!(p[i] = PointAt(dimension, i))) return;
  // Extension lines leave a gap of 10 zoomed units at the measured points.
  auto extension = [&](const Poinz* from, const Poinz* to) {
    const float a = AngleBetween(PlanXZ{from->position[0], from->position[2]}, PlanXZ{to->position[0], to->position[2]});
    const PlanXZ gap = PolarPlan(a, ZoomF(10.0f));
    DrawLine(handle, from->position[0] + gap.x, from->position[1], from->position[2] + gap.z, to->position[0],
             to->position[1], to->position[2], 0, dimension, from);
  };
  extension(p[0], p[1]);
  const float x1 = p[1]->position[0], z1 = p[1]->position[2], x2 = p[2]->position[0], z2 = p[2]->position[2];
  DrawDimensionLineNoOffset(handle, x1, z1, x2, z2, x1, z1, x2, z2, 1, 0, 0, dimension, dimension, 0, 0, 0, 0,
                            nullptr);
  extension(p[3], p[2]);
}

void DrawLeaderDimension(DrawContext* handle, Objex* leader) {
  if (!CurDocState() || !leader) return;
  Poinz* p[3];
  for (int i = 0; i < 3; ++i)
    if (!(p[i] = PointAt(leader, i))) return;
  for (int i = 0; i < 2; ++i)
    DrawLine(handle, p[i]->position[0], p[i]->position[1], p[i]->position[2], p[i + 1]->position[0],
             p[i + 1]->position[1], p[i + 1]->position[2], 0, leader, p[i]);
  float x0 = p[0]->position[0], y0 = 0, z0 = p[0]->position[2];
  float x1 = p[1]->position[0], y1 = 0, z1 = p[1]->position[2];
  ConvertToIso(&x0, &y0, &z0, &x1, &y1, &z1, gPerspective);
  DrawDimensionArrow(handle, x0, y0, x1, y1, kArrowStyleSolid, 0);
}

void DrawDiameterDimension(DrawContext* handle, Objex* object) {
  if (!CurDocState() || !object || !object->firstPoint || !object->firstPoint->next) return;
  const Poinz* a = object->firstPoint;
  const Poinz* b = a->next;
  const float x1 = a->position[0], z1 = a->position[2], x2 = b->position[0], z2 = b->position[2];
  DrawDimensionLineNoOffset(handle, x1, z1, x2, z2, x1, z1, x2, z2, 0, 0, 0, object, object, 0, 0, 0, 0, nullptr);
}

void Draw2DFoundation(DrawContext*, Objex*) {}
