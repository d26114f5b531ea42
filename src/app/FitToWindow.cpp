// Fitting the plan to the main window's plan view.
#include "app/FitToWindow.h"

#include <algorithm>
#include <cmath>

#include "app/AppController.h"
#include "app/ZLKDocumentScrollView.h"
#include "app/ZLKDocumentView.h"
#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/ViewCommands.h"

namespace {

constexpr float kFitMargin = 5;
constexpr float kWorkingArea = 30000;

ZLKDocumentScrollView* ScrollViewOf(QWidget* view) {
  for (QWidget* w = view ? view->parentWidget() : nullptr; w; w = w->parentWidget())
    if (auto* scroll = qobject_cast<ZLKDocumentScrollView*>(w)) return scroll;
  return nullptr;
}

}  // namespace

FloatRect MeasureDrawingForFit() {
  FloatRect r{};
  r.floatTop = r.floatLeft = 32000;
  r.floatBottom = r.floatRight = -32000;
  DocState* ds = CurDocState();
  if (!ds) return r;
  const uint8_t printing = gPrinting;
  gPrinting = 1;
  GetAllLayersBounds(gCurDocument->itsLayers, 0, &r, 0, 0);
  gPrinting = printing;
  if (r.floatTop > kWorkingArea || r.floatLeft > kWorkingArea || r.floatBottom < -kWorkingArea ||
      r.floatRight < -kWorkingArea) {
    // The measured bounds are zoomed view units: the lot rectangle is taken in the same units.
    r = ds->planBounds;
    ZoomFRect(&r);
  }
  return r;
}

float FitZoomFactor(const FloatRect& measured, float currentZoom, int16_t visibleWidth,
                    int16_t visibleHeight) {
  float horizontal = measured.floatRight - measured.floatLeft;
  float vertical = measured.floatBottom - measured.floatTop;
  if (currentZoom != 1.0f) {
    horizontal /= currentZoom;
    vertical /= currentZoom;
  }
  if (!(horizontal > 0) || !(vertical > 0) || visibleWidth <= 0 || visibleHeight <= 0) return 0;
  const float zoom = std::min(visibleWidth / horizontal, visibleHeight / vertical);
  return std::isfinite(zoom) && zoom > 0 ? zoom : 0;
}

void FitToWindow() {
  DocState* ds = CurDocState();
  ZLKDocumentView* view = AppController::mainWindowDocumentView();
  if (!ds || !view) return;
  FloatRect r = MeasureDrawingForFit();
  r.floatTop -= kFitMargin;
  r.floatLeft -= kFitMargin;
  r.floatBottom += kFitMargin;
  r.floatRight += kFitMargin;
  const NSRect visible = view->visibleRect();
  const float zoom = FitZoomFactor(r, PlanZoom(ds), static_cast<int16_t>(visible.size.width),
                                   static_cast<int16_t>(visible.size.height));
  // A hidden or collapsed view gives no zoom to fit to: the factor stays as it was.
  if (zoom > 0) PlanZoom(ds) = zoom;
  PinMaxZoom(ds);
  TopViewZoom(ds) = PlanZoom(ds);

  r = MeasureDrawingForFit();
  const float cx = r.floatLeft + (r.floatRight - r.floatLeft) * 0.5f;
  const float cy = r.floatTop + (r.floatBottom - r.floatTop) * 0.5f;
  gSinXAngle = 1.0f;
  gCosYAngle = 1.0f;

  // The view takes its canvas size at the new factor (its bounds origin follows its size).
  view->fitFrameToPlan();
  const NSRect shown = view->visibleRect();
  if (ZLKDocumentScrollView* scroll = ScrollViewOf(view)) {
    const NSPoint bounds = view->boundsOrigin();
    scroll->scrollToPoint({cx - shown.size.width / 2 - bounds.x, cy - shown.size.height / 2 - bounds.y});
  }
  Refresh();
}
