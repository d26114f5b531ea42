// The virtual ruler: body, ticks, end hairs and length readout.
#include "plandraw/VirtualRuler.h"

#include <cmath>
#include <vector>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/ViewProjection.h"
#include "plandraw/DrawContext.h"
#include "plandraw/PlanViewHooks.h"

namespace {

constexpr float kTickLength = 4.0f;       // view units
constexpr float kHairLength = 10.0f;      // view units, each side of the body
constexpr int kMaxTicks = 2000;

NSPoint Project(float xInches, float zInches, const DocState* ds) {
  const float unitsPerInch = 72.0f / UsablePlanScale(ds);
  float x = xInches * unitsPerInch, y = 0, z = zInches * unitsPerInch;
  float x2 = x, y2 = y, z2 = z;
  ConvertToIso(&x, &y, &z, &x2, &y2, &z2, gPerspective);
  return {x, y};
}

}  // namespace

void DrawVirtualRuler(DrawContext* handle) {
  ZLKDocumentModel* doc = gCurDocument;
  const DocState* ds = CurDocState();
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!doc || !ds || !ctx || !doc->itsVRVisible) return;
  const FloatPoint a = doc->itsVRStartPt, b = doc->itsVREndPt;
  const float lengthInches = std::hypot(b.floatH - a.floatH, b.floatV - a.floatV);
  if (!std::isfinite(lengthInches)) return;
  const NSPoint p = Project(a.floatH, a.floatV, ds), q = Project(b.floatH, b.floatV, ds);
  const float viewLength = std::hypot(q.x - p.x, q.y - p.y);
  if (!std::isfinite(viewLength)) return;

  std::vector<NSPoint> lines = {p, q};
  if (viewLength > 0) {
    const float nx = -(q.y - p.y) / viewLength, ny = (q.x - p.x) / viewLength;
    for (const NSPoint& end : {p, q}) {
      lines.push_back({end.x - nx * kHairLength, end.y - ny * kHairLength});
      lines.push_back({end.x + nx * kHairLength, end.y + ny * kHairLength});
    }
    const float step = ds->measureSystem == kMeasureMetric ? 3.937f : 12.0f;
    const int ticks = static_cast<int>(lengthInches / step);
    if (ticks > 0 && ticks <= kMaxTicks) {
      for (int i = 1; i <= ticks; ++i) {
        const float t = static_cast<float>(i) * step / lengthInches;
        const NSPoint at{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
        lines.push_back(at);
        lines.push_back({at.x + nx * kTickLength, at.y + ny * kTickLength});
      }
    }
  }
  ctx->saveGraphicsState();
  StrokeStyle style;
  style.color = kDrawBlack;
  style.width = 1;
  ctx->strokeLines(lines.data(), lines.size(), style);
  ctx->restoreGraphicsState();

  char text[256] = {};
  ConvertInchesToStr(lengthInches, text);
  if (!text[0]) return;
  LOGFONT font = ds->font;
  font.lfOrientation = font.lfEscapement = 0;
  const RGBColor black{};
  const NSRect box = NSMakeRect((p.x + q.x) / 2 - 60, (p.y + q.y) / 2 - 24, 120, 16);
  DrawTextInRect(text, &box, &font, &black);
}
