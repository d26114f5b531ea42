// Marquee selection: the rubber-band rectangle, the selection in it at the mouse-up and the
// rebuilt selection summaries.
#include "tools/MarqueeTool.h"

#include <cmath>

#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/SelectionState.h"
#include "model/ViewProjection.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

constexpr float kDrawLimit = 30000.0f;

int32_t Round(float v) { return static_cast<int32_t>(std::trunc(v + 0.5f)); }

}  // namespace

void TrackMarquee(int32_t, int32_t, float x, float y, float z, int16_t phase) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) {
    overlay->setActivePath(kPathPrimary);
    overlay->setActivePathDeviceRed(0.75f, 0, 0.75f, 1.0f);
    overlay->removePointsFromAllPaths();
  }
  if (phase == kTrackBegin) DrawWHArea(0, 0);

  float x1 = gDownX, y1 = gDownY, z1 = gDownZ, x2 = x, y2 = y, z2 = z;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  const bool drawable = std::fabs(x1) < kDrawLimit && std::fabs(y1) < kDrawLimit && std::fabs(x2) < kDrawLimit &&
                        std::fabs(y2) < kDrawLimit;
  if (drawable && overlay) {
    RECT rect;
    Point2Rect(Round(x1), Round(y1), Round(x2), Round(y2), &rect);
    overlay->appendRectToActivePath(ConvertRECTToNSRect(rect));
  }
  DrawWHArea(std::fabs(gDownX - x), std::fabs(gDownZ - z));
  if (phase != kTrackEnd) return;

  DocState* ds = CurDocState();
  Layer* layers = gCurDocument ? gCurDocument->itsLayers : nullptr;
  if (ds && layers) {
    // Corners far outside the window are clamped before rounding so the integer rectangle
    // stays meaningful.
    auto clamp = [](float v) { return std::fmax(-1.0e9f, std::fmin(1.0e9f, v)); };
    RECT rect;
    Point2Rect(Round(clamp(x1)), Round(clamp(y1)), Round(clamp(x2)) + 1, Round(clamp(y2)) + 1, &rect);
    SelectAllLayersInRect(layers, &rect, (gTrackModifiers & kTrackModShift) ? kSelectToggle : kSelectOn, 1);

    ClearSelectionState40(ds, &ds->selectionState40);
    TopLevelObjectAllLayers(layers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
    UpdateSelectionState40Controls(&ds->selectionState40);

    ClearSelectionState(ds, &ds->selectionState);
    SelectedObjectAllLayers(layers, 1, kCmdUpdateSelectionState, CommandArg::Doc(ds));
    UpdateSelectionStateAreas();
  }
  gMouseCaptured = 0;
  DrawWHArea(0, 0);
  if (overlay) {
    overlay->removePointsFromAllPaths();
    overlay->resetAttributesForAllPaths();
  }
}

void FillClickInfo(ClickInfo* click) {
  if (!click || !gCurDocument || !gCurDocument->itsLayers) return;
  click->hitMode = SelectFromAllLayers(gCurDocument->itsLayers, click, 0, nullptr, 0) ? 1 : 0;
}

bool HaveModifiersChanged() { return true; }

void TrackText() {}
