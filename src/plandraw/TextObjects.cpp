// Standard and dynamic text objects in the plan.
#include "plandraw/TextObjects.h"

#include <algorithm>
#include <cmath>

#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"
#include "plandraw/Base2DView.h"
#include "plandraw/PlanRecordFields.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/SymbolGeometry.h"

namespace {

// The first and third of at least four points, or false.
bool BoxCorners(const Objex* text, const Poinz** first, const Poinz** third) {
  const Poinz* p = text ? text->firstPoint : nullptr;
  int count = 0;
  for (const Poinz* q = p; q && count < 4; q = q->next) ++count;
  if (count < 4) return false;
  *first = p;
  *third = p->next->next;
  return true;
}

}  // namespace

void DrawTextStandardObject(DrawContext* handle, Objex* text) {
  const Poinz *a = nullptr, *c = nullptr;
  if (!CurDocState() || !BoxCorners(text, &a, &c)) return;
  FloatRect box;
  box.floatTop = std::min(a->position[2], c->position[2]);
  box.floatBottom = std::max(a->position[2], c->position[2]);
  box.floatLeft = std::min(a->position[0], c->position[0]);
  box.floatRight = std::max(a->position[0], c->position[0]);
  DrawStandardText(handle, TextStringOf(text), &box, TextFontOf(text), static_cast<int16_t>(TextAlignmentOf(text)));
}

void DrawTextDynamicObject(DrawContext* handle, Objex* text) {
  Base2DView* view = MainDocumentView();
  const Poinz *a = nullptr, *c = nullptr;
  if (!view || !CurDocState() || !BoxCorners(text, &a, &c)) return;
  const PlanPoint m = Midpoint(PlanPositionOf(a), PlanPositionOf(c));
  const NSSize size = view->textMetricsForString(TextStringOf(text), TextFontOf(text));
  const float hw = std::trunc(size.width * 0.5f), hh = std::trunc(size.height * 0.5f);
  if (!(hw > 0)) return;
  TextAlignmentOf(text) = static_cast<int32_t>(hw);
  const float r = static_cast<float>(TextAngleOf(text) * 0.017453292519943295);
  const PlanPoint u = Polar(r, hw), v = Polar(r + kRightAngle, hh);
  const PlanPoint corners[4] = {m - u - v, m + u - v, m + u + v, m - u + v};
  Poinz* p = text->firstPoint;
  for (int i = 0; i < 4; ++i, p = p->next) {
    p->position[0] = corners[i].x;
    p->position[2] = corners[i].z;
  }
  FloatRect bounds{32000, 32000, -32000, -32000};
  GetObjectBounds(text, 0, &bounds, 0, 0);
  text->bounds = bounds;
  Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
  GetObject3DBounds(text, 0, &box, 0);
  text->bounds3D = box;
  DrawRotatedText(handle, TextStringOf(text), m.x, m.z, TextAngleOf(text), TextFontOf(text));
}
