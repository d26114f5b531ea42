// Every object kind a design file can hold, those no tool makes and codes no kind has,
// drawn in the plan and selected, each as a bare outline without its kind's own record:
// what is drawn lies near the object and is finite, and a selected object's handles sit on
// its outline's box.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "EveryObjectKind.h"
#include "TestDocument.h"
#include "model/Bounds.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/SelectionHandles.h"

namespace {

using Kind = RecordingDrawContext::Kind;

constexpr auto& kKinds = kEveryObjectKind;

Base2DView* gKindsView = nullptr;

struct EveryKind : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  Base2DView planView;
  uint16_t savedTool = gCurTool;
  const RECT update{-1000, -1000, 1000, 1000};

  EveryKind() {
    gGlobalYOffset = 0;
    doc.ds()->zoomFactor = 1;
    doc.ds()->font.lfHeight = -16;
    std::strcpy(doc.ds()->font.lfFaceName, "Arial");
    planView.setVisibleRect(NSMakeRect(-1000, -1000, 2000, 2000));
    gCurTool = kToolSelection;
    gKindsView = &planView;
    gPlanViewHooks.documentView = [] { return gKindsView; };
    gPlanViewHooks.dynamicDrawEngine = [] { return &gKindsView->dynamicDrawEngine(); };
  }
  ~EveryKind() override {
    gPlanViewHooks.documentView = nullptr;
    gPlanViewHooks.dynamicDrawEngine = nullptr;
    gKindsView = nullptr;
    gCurTool = savedTool;
    FreeAcclLineBuffer();
  }
  // Every point the context was given, text anchors and image corners included.
  std::vector<NSPoint> drawnPoints() const {
    std::vector<NSPoint> out;
    for (const auto& c : ctx.calls) {
      out.insert(out.end(), c.points.begin(), c.points.end());
      if (c.kind == Kind::Text) out.push_back(c.text.anchor);
      if (c.kind == Kind::Image)
        out.push_back({NSMinX(c.rect), NSMinY(c.rect)}), out.push_back({NSMaxX(c.rect), NSMaxY(c.rect)});
    }
    return out;
  }
};

}  // namespace

TEST_F(EveryKind, EachKindDrawsNearItselfAndIsSelectedByItsBox) {
  for (const int16_t kind : kKinds) {
    for (const bool closed : {true, false}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << (closed ? ", closed" : ", open"));
      Objex* o = doc.addObject(kind, closed, {{20, 10}, {120, 10}, {120, 70}, {20, 70}});
      o->planMask = 2;
      UpdateObjectBounds(o);
      ctx.clear();
      DrawObject(nullptr, o, nullptr, kDrawFlagAll, nullptr);
      // Labels and arrowheads may reach out a little; nothing lands far off or nowhere.
      for (const NSPoint& p : drawnPoints()) {
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        EXPECT_TRUE(p.x > -400 && p.x < 540 && p.y > -400 && p.y < 480) << p.x << ", " << p.y;
      }

      for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 1;
      ctx.clear();
      DrawObjectHandles(o, &update);
      for (const NSPoint& p : drawnPoints()) {
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        // Handles are a few units square about a point of the box; a slope arrow's selection
        // line ends in an arrowhead.
        const float reach = kind == kObjRoofSlopeArrow ? 25 : 8;
        EXPECT_TRUE(p.x >= 20 - reach && p.x <= 120 + reach && p.y >= 10 - reach && p.y <= 70 + reach)
            << p.x << ", " << p.y;
      }
      DeleteObj(o);
    }
  }
}
