// Region fills of object outlines through the plan view's region service.
#include "plandraw/RegionFills.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/RepeatBound.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "plandraw/Base2DView.h"
#include "plandraw/PlanViewHooks.h"

namespace {

struct ModelPoint {
  float x, z;
};

// A view coordinate made whole as paths take it: 0.5 added, truncated toward zero, kept
// within 16 bits.
int32_t Whole16(float v) {
  const float w = v + 0.5f;
  if (!(w > -32768.0f)) return -32768;
  if (!(w < 32767.0f)) return 32767;
  return static_cast<int16_t>(w);
}

// `zoom` is CurrentZoomFactor(), taken once for a region.
POINT ProjectToView(const ModelPoint& m, float zoom) {
  float x = m.x, y = 0, z = m.z;
  if (zoom != 1.0f) {
    x *= zoom;
    y *= zoom;
    z *= zoom;
  }
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 0);
  if (gPrinting) {
    x *= gHPrintScale;
    y *= gVPrintScale;
  }
  POINT p;
  p.x = Whole16(x);
  p.y = Whole16(y);
  return p;
}

// The first level's points, at most pointCount / levels of them.
std::vector<const Poinz*> FirstRing(const Objex* object) {
  std::vector<const Poinz*> ring;
  const int32_t k = object->levels > 0 ? object->pointCount / object->levels : 0;
  const Poinz* p = object->firstPoint;
  for (int32_t i = 0; i < k && p; ++i, p = p->next) ring.push_back(p);
  return ring;
}

bool Straight(const Poinz* a, const Poinz* b) {
  return a->outHandle[0] == 0 && a->outHandle[1] == 0 && a->outHandle[2] == 0 && b->inHandle[0] == 0 &&
         b->inHandle[1] == 0 && b->inHandle[2] == 0;
}

// The ring's points with each curved segment (the closing one of a closed object included)
// replaced by straight steps.
std::vector<ModelPoint> FlattenedRing(const Objex* object, const std::vector<const Poinz*>& ring, int steps) {
  std::vector<ModelPoint> out;
  const size_t n = ring.size();
  for (size_t i = 0; i < n; ++i) {
    const Poinz* a = ring[i];
    out.push_back({a->position[0], a->position[2]});
    const Poinz* b = i + 1 < n ? ring[i + 1] : (object->closed && n > 1 ? ring[0] : nullptr);
    if (!b || Straight(a, b)) continue;
    float cx[4], cz[4];
    SetupSpline(a->position[0], a->outHandle[0], b->position[0], b->inHandle[0], &cx[0], &cx[1], &cx[2], &cx[3]);
    SetupSpline(a->position[2], a->outHandle[2], b->position[2], b->inHandle[2], &cz[0], &cz[1], &cz[2], &cz[3]);
    for (int s = 1; s < steps; ++s) {
      const float t = static_cast<float>(s) / static_cast<float>(steps), t2 = t * t, t3 = t2 * t;
      out.push_back({GetSplineCoord(cx[0], cx[1], cx[2], cx[3], t, t2, t3),
                     GetSplineCoord(cz[0], cz[1], cz[2], cz[3], t, t2, t3)});
    }
  }
  return out;
}

void FillRing(const std::vector<ModelPoint>& ring, int16_t penStyle, int32_t lineWidth, const RGBColor* stroke,
              const RGBColor* fill, int16_t brushStyle) {
  Base2DView* view = MainDocumentView();
  if (!view || ring.empty()) return;
  // Kept between fills: a redraw fills one region after another.
  thread_local std::vector<POINT> polygon;
  polygon.clear();
  const float zoom = CurrentZoomFactor();
  for (const ModelPoint& m : ring) polygon.push_back(ProjectToView(m, zoom));
  polygon.push_back(ProjectToView(ring.front(), zoom));
  view->draw2DPatternRegion(polygon.data(), static_cast<int32_t>(polygon.size()), penStyle, brushStyle, stroke,
                            fill, lineWidth);
}

}  // namespace

void Draw2DFillRegion(DrawContext* handle, Objex* object, int16_t penStyle, int32_t lineWidth,
                      const RGBColor* strokeColor, const RGBColor* fillColor, int16_t brushStyle) {
  if (!object || !CurDocState() || !strokeColor || !fillColor) return;
  // The first level's points, at most pointCount / levels of them.
  thread_local std::vector<ModelPoint> ring;
  ring.clear();
  const int32_t k = object->levels > 0 ? object->pointCount / object->levels : 0;
  const Poinz* p = object->firstPoint;
  for (int32_t i = 0; i < k && p; ++i, p = p->next) ring.push_back({p->position[0], p->position[2]});
  FillRing(ring, penStyle, lineWidth, strokeColor, fillColor, brushStyle);
}

void Draw2DCurvedFillRegion(DrawContext* handle, Objex* object, int16_t penStyle, int32_t lineWidth,
                            const RGBColor* strokeColor, const RGBColor* fillColor, int16_t brushStyle) {
  const DocState* ds = CurDocState();
  if (!object || !ds || !strokeColor || !fillColor) return;
  const int steps = std::max(2, CurveSamples(ds, 1, 2));
  FillRing(FlattenedRing(object, FirstRing(object), steps), penStyle, lineWidth, strokeColor, fillColor,
           brushStyle);
}
