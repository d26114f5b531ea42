// The plan drawn at several plan scales, in both unit systems, with a grid that differs
// across and down and walls of two thicknesses: where each line falls and what each
// readout says, read from a recording context.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "model/Delete.h"
#include "model/Readouts.h"
#include "model/Services.h"
#include "model/ViewCommands.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/RecordingDrawContext.h"

namespace {

using Kind = RecordingDrawContext::Kind;

// Inches per 72 plan units: 1/8", 1/4", 1/2" and 1" to the foot, and the default.
constexpr float kPlanScales[] = {96, 48, 24, 12, 36};

float Plan(float inches, float scale) { return inches * 72 / scale; }

Base2DView* gVariedView = nullptr;

// The plan view at zoom 1 over a recording context.
struct VariedDrawing : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  Base2DView planView;

  VariedDrawing() {
    gGlobalYOffset = 0;
    doc.ds()->zoomFactor = 1;
    doc.ds()->font.lfHeight = -16;
    std::strcpy(doc.ds()->font.lfFaceName, "Arial");
    planView.setVisibleRect(NSMakeRect(-4000, -4000, 8000, 8000));
    gVariedView = &planView;
    gPlanViewHooks.documentView = [] { return gVariedView; };
    gPlanViewHooks.dynamicDrawEngine = [] { return &gVariedView->dynamicDrawEngine(); };
  }
  ~VariedDrawing() override {
    gPlanViewHooks.documentView = nullptr;
    gPlanViewHooks.dynamicDrawEngine = nullptr;
    gVariedView = nullptr;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& c : ctx.calls)
      if (c.kind == Kind::Text) out.push_back(c.text.text);
    return out;
  }
  // The readout of a length given in inches, as the document's system shows it.
  static std::string Readout(float inches) {
    char text[kReadoutTextSize] = {};
    ConvertInchesToStr(inches, text);
    return text;
  }
};

// The sorted places of the drawn lines that run along one axis: the y of horizontal lines
// or the x of vertical ones.
std::vector<float> LinePlaces(const std::vector<NSPoint>& pts, bool horizontal) {
  std::vector<float> places;
  for (size_t i = 0; i + 1 < pts.size(); i += 2) {
    if (horizontal && pts[i].y == pts[i + 1].y && pts[i].x != pts[i + 1].x) places.push_back(pts[i].y);
    if (!horizontal && pts[i].x == pts[i + 1].x && pts[i].y != pts[i + 1].y) places.push_back(pts[i].x);
  }
  std::sort(places.begin(), places.end());
  return places;
}

}  // namespace

// Rows step by the spacing down and columns by the spacing across, each centred on its own
// extent of the plan bounds, at every plan scale and zoomed in and out.
TEST_F(VariedDrawing, GridLinesStepAcrossAndDownByTheirOwnSpacings) {
  planView.setVisibleRect(NSMakeRect(-6000, -6000, 12000, 12000));
  for (const float zoom : {1.0f, 0.5f, 2.0f}) {
    for (const float scale : kPlanScales) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", zoom " << zoom);
      doc.ds()->zoomFactor = zoom;
      doc.ds()->planScale = scale;
      doc.ds()->gridSpacing = {12, 30};
      FloatRect& bounds = doc.ds()->planBounds;
      bounds.floatTop = -1000;
      bounds.floatBottom = 2000;
      bounds.floatLeft = -1500;
      bounds.floatRight = 1300;
      float h = 0, v = 0, hOff = 0, vOff = 0;
      Base2DView::GridSpacingAndOffsets(&h, &v, &hOff, &vOff);
      ctx.clear();
      planView.draw3DGridLines(h, v, hOff, vOff, &bounds, &GridOrigin(doc.ds()));
      std::vector<NSPoint> pts = ctx.strokedLinePoints();
      for (NSPoint& p : pts) p = {p.x / zoom, p.y / zoom};  // back to plan units
      struct Axis {
        const char* name;
        std::vector<float> places;
        float step, first, last;
      } const axes[] = {{"rows", LinePlaces(pts, true), Plan(30, scale), -1000, 2000},
                        {"columns", LinePlaces(pts, false), Plan(12, scale), -1500, 1300}};
      for (const Axis& a : axes) {
        SCOPED_TRACE(a.name);
        ASSERT_GE(a.places.size(), 3u);
        // Within the bounds; an inner line through the bounds' middle, the others whole
        // steps from it (each made whole in view units, so within a view unit).
        const float unit = 1.5f / zoom;
        EXPECT_GE(a.places.front(), a.first - unit);
        EXPECT_LE(a.places.back(), a.last + unit);
        const float middle = (a.first + a.last) / 2;
        for (const float p : a.places) {
          if (p <= a.first + unit || p >= a.last - unit) continue;  // the edge lines of an offset grid
          const float steps = (p - middle) / a.step;
          EXPECT_NEAR(steps, std::round(steps), unit / a.step) << p;
        }
        // And no step left out: as many inner lines as steps fit.
        size_t inner = 0;
        for (const float p : a.places) inner += p > a.first + unit && p < a.last - unit;
        const float reach = (a.last - a.first) / 2;
        const size_t expected = 2 * static_cast<size_t>(std::floor(reach / a.step)) + 1;
        EXPECT_NEAR(static_cast<double>(inner), static_cast<double>(expected), 2.0);
      }
    }
  }
}

// Both faces of a wall, across and down, at half its thickness from its line.
TEST_F(VariedDrawing, WallFacesLieHalfTheThicknessEitherSide) {
  ShowAutoDimensions(doc.ds()) = 0;
  for (const float scale : kPlanScales) {
    for (const float thickness : {4.0f, 10.0f}) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", thickness " << thickness);
      doc.ds()->planScale = scale;
      const float half = Plan(thickness, scale) / 2;
      struct Run {
        const char* name;
        float x1, z1, x2, z2;
        bool across;  // the wall runs across the plan
      } const runs[] = {{"across", 0, 0, 300, 0, true}, {"down", 50, -100, 50, 200, false}};
      for (const Run& r : runs) {
        SCOPED_TRACE(r.name);
        Objex* w = doc.addObject(kObjWall, false, {{r.x1, r.z1}, {r.x2, r.z2}});
        w->width = thickness;
        w->planMask = 2;
        ctx.clear();
        DrawObject(nullptr, w, nullptr, kDrawFlagAll, nullptr);
        const std::vector<NSPoint> pts = ctx.strokedLinePoints();
        std::vector<float> faces;
        for (size_t i = 0; i + 1 < pts.size(); i += 2) {
          const float along = r.across ? std::fabs(pts[i + 1].x - pts[i].x) : std::fabs(pts[i + 1].y - pts[i].y);
          const bool straight = r.across ? pts[i].y == pts[i + 1].y : pts[i].x == pts[i + 1].x;
          if (straight && along > 250) faces.push_back(r.across ? pts[i].y : pts[i].x);
        }
        std::sort(faces.begin(), faces.end());
        ASSERT_EQ(faces.size(), 2u);
        const float line = r.across ? r.z1 : r.x1;
        EXPECT_NEAR(faces[0], line - half, 1.0f);
        EXPECT_NEAR(faces[1], line + half, 1.0f);
        DeleteObj(w);
      }
    }
  }
}

// A dimension's readout and an opening's size label read the plan scale and the unit
// system; the opening's width comes first, its height second.
TEST_F(VariedDrawing, ReadoutsFollowThePlanScaleAndTheUnitSystem) {
  doc.ds()->dimArrowStyle = kArrowStyleSolid;
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    for (const float scale : kPlanScales) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", system " << system);
      doc.ds()->measureSystem = system;
      doc.ds()->planScale = scale;
      Objex* dim = doc.addObject(kObjLengthDim, false, {{0, 0}, {0, -50}, {200, -50}, {200, 0}});
      ctx.clear();
      DrawObject(nullptr, dim, nullptr, kDrawFlagAll, nullptr);
      EXPECT_EQ(texts(), std::vector<std::string>{Readout(200 * scale / 72)});
      DeleteObj(dim);

      DoorWindowData d{};
      d.ownerType = kObjWindow;
      d.subtype = 600;
      d.width = 36;
      d.height = 48;
      char text[kCalloutTextSize];
      GetAttachmentCalloutText(&d, text);
      EXPECT_EQ(std::string(text), Readout(36 * scale / 72) + " x " + Readout(48 * scale / 72));
    }
  }
}
