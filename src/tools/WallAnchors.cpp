// The outline of a wall segment being moved.
#include "tools/WallAnchors.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/TrackingState.h"

namespace {

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;

NSPoint Corner(float x, float z, float angle, float half) {
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, half, &dx, &dz);
  float px = x + dx, py = 0, pz = z + dz;
  float qx = px, qy = py, qz = pz;
  ConvertToIso(&px, &py, &pz, &qx, &qy, &qz, gPerspective);
  return NSMakePoint(std::round(px), std::round(py));
}

Poinz* LastPointOf(Objex* o) {
  Poinz* p = o->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

}  // namespace

void DrawTranslatedWallObject(DrawContext* context, Objex* wall, const void*, const void*, const void* c,
                              const ClickInfo* click) {
  ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine();
  if (engine) {
    auto element = std::make_unique<ZLKDynamicTransformElement>();
    element->setFillPath(true);
    engine->addDynamicTransformElement(std::move(element));
  }
  DocState* ds = CurDocState();
  if (!wall || !click || !c || !ds || !click->hitPoint || !click->segmentEnd) return;
  Poinz* first = click->hitPoint;
  Poinz* second = click->segmentEnd;
  const float thickness = ConvertWorldToScreen(wall->width, ds, 0);
  const float x1 = gTranslateWallSegPt1.floatH, z1 = gTranslateWallSegPt1.floatV;
  const float x2 = gTranslateWallSegPt2.floatH, z2 = gTranslateWallSegPt2.floatV;
  const float y1 = first->position[1], y2 = second->position[1];
  Poinz* before = first->prev;
  if (!before && wall->closed) {
    Poinz* last = LastPointOf(wall);
    if (last != first && last != second) before = last;
  }
  Poinz* after = second->next;
  if (!after && wall->closed) {
    Poinz* head = wall->firstPoint;
    if (head != first && head != second) after = head;
  }
  if (before)
    DrawTranslatedWall(context, before->position[0], before->position[1], before->position[2], x1, y1, z1,
                       thickness);
  DrawTranslatedWall(context, x1, y1, z1, x2, y2, z2, thickness);
  if (after)
    DrawTranslatedWall(context, x2, y2, z2, after->position[0], after->position[1], after->position[2], thickness);
}

void DrawTranslatedWall(DrawContext*, float x1, float, float z1, float x2, float, float z2, float thickness) {
  if (!CurDocState()) return;
  ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine();
  ZLKDynamicTransformElement* element = engine ? engine->activeTransformElement() : nullptr;
  if (!element) return;
  float length = 0;
  const float angle = GetLineLengthAndAngle(x1, z1, x2, z2, &length);
  const float half = thickness / 2;
  const NSPoint a = Corner(x1, z1, angle + kQuarterTurn, half);
  const NSPoint b = Corner(x2, z2, angle + kQuarterTurn, half);
  const NSPoint cc = Corner(x2, z2, angle - kQuarterTurn, half);
  const NSPoint d = Corner(x1, z1, angle - kQuarterTurn, half);
  element->appendPathWithLineFromPoint(a, b);
  element->lineToPoint(cc);
  element->lineToPoint(d);
  element->closePath();
}
