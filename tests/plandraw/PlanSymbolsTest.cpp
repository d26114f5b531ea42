// Plan symbols over a recording context: components placed from the fixed 2D symbols,
// windows, staircases, roofs and their slope arrows, lot arrows, detail shapes with their
// kept outline, plants and piers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "TestDocument.h"
#include "model/HitTest.h"
#include "model/Readouts.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/ViewCommands.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "plandraw/BuildingSymbols.h"
#include "plandraw/DetailDrawing.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/RoofDrawing.h"
#include "plandraw/SlopeArrows.h"
#include "plandraw/SymbolDrawing.h"
#include "plandraw/SymbolGeometry.h"
#include "plandraw/SymbolTestSupport.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

namespace {

using Kind = RecordingDrawContext::Kind;

Base2DView* gSymbolView = nullptr;

struct SymbolFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard viewState;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  Base2DView view;

  SymbolFixture() {
    doc.ds()->zoomFactor = 1;
    doc.ds()->planScale = 48;
    gSymbolView = &view;
    gPlanViewHooks.documentView = [] { return gSymbolView; };
  }
  ~SymbolFixture() override {
    gPlanViewHooks.documentView = nullptr;
    gPlanViewHooks.dynamicDrawEngine = nullptr;
    gSymbolView = nullptr;
    gPrinting = 0;
    FreeAcclLineBuffer();
  }
  // A wall along x from (0, 0) to (400, 0).
  Objex* wall(float thickness = 0) {
    Objex* w = doc.addObject(kObjWall, false, {{0, 0}, {400, 0}});
    w->width = thickness;
    return w;
  }
  // A child of the wall with its two points on the wall line and its record on the segment.
  Objex* child(Objex* w, int16_t type, float from, float to, DoorWindowData** data = nullptr) {
    RGBColor black{};
    Objex* c = CreateObject(type, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, w, nullptr, nullptr);
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, from, 0, 0, 0, 0, 0, 0, 0, 0, c), c);
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, to, 0, 0, 0, 0, 0, 0, 0, 0, c), c);
    DoorWindowData* d = AttachOnSegment(c, w->firstPoint, w->firstPoint->next);
    if (data) *data = d;
    c->next = w->firstChild;
    w->firstChild = c;
    return c;
  }
  // What was drawn is one box of eight stroked points (four lines) with corners a and b, in
  // either order, to the pixel.
  void expectBoxStroked(NSPoint a, NSPoint b) const {
    const auto points = ctx.strokedLinePoints();
    ASSERT_EQ(points.size(), 8u);
    NSPoint low = points[0], high = points[0];
    for (const NSPoint& p : points) {
      low = {std::min(low.x, p.x), std::min(low.y, p.y)};
      high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    EXPECT_NEAR(low.x, std::min(a.x, b.x), 1.01f);
    EXPECT_NEAR(high.x, std::max(a.x, b.x), 1.01f);
    EXPECT_NEAR(low.y, std::min(a.y, b.y), 1.01f);
    EXPECT_NEAR(high.y, std::max(a.y, b.y), 1.01f);
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& c : ctx.calls)
      if (c.kind == Kind::Text) out.push_back(c.text.text);
    return out;
  }
};

NSPoint View(float x, float z) { return ProjectPlanPoint({x, z}, false); }

void ExpectAt(const NSPoint& p, float x, float z) {
  const NSPoint v = View(x, z);
  EXPECT_NEAR(p.x, v.x, 1.01f);
  EXPECT_NEAR(p.y, v.y, 1.01f);
}

}  // namespace

// The symbol is drawn at scale 1, in its own plan units, at any plan scale.
TEST_F(SymbolFixture, ComponentSymbolSitsOnTheWallFaceTurnedWithTheWall) {
  ScopedSymbol2DList symbol(55, {{-5, 0}, {5, 10}});
  for (const float scale : {36.0f, 48.0f}) {
    SCOPED_TRACE(scale);
    doc.ds()->planScale = scale;
    const float k = 1.0f;
    Objex* w = wall(ConvertScreenToWorld(20, doc.ds(), 0));  // 20 plan units thick
    DoorWindowData* data = nullptr;
    Objex* c = child(w, kObjComponent, 90, 110, &data);
    c->subtype = 55;
    ctx.clear();
    DrawObject(nullptr, c, nullptr, kDrawFlagAll, nullptr);
    auto lines = ctx.strokedLinePoints();
    ASSERT_EQ(lines.size(), 2u);
    // The insertion point is the middle of the component on the face (10 out); the symbol's z
    // axis points away from the wall.
    ExpectAt(lines[0], 100 - 5 * k, 10);
    ExpectAt(lines[1], 100 + 5 * k, 10 + 10 * k);
    EXPECT_EQ(c->firstPoint->position[0], 90);  // the model is not changed

    // On the other face: turned by a half turn.
    ctx.clear();
    data->flipHorizontal = 1;
    DrawObject(nullptr, c, nullptr, kDrawFlagAll, nullptr);
    lines = ctx.strokedLinePoints();
    ASSERT_EQ(lines.size(), 2u);
    ExpectAt(lines[0], 100 + 5 * k, -10);
    ExpectAt(lines[1], 100 - 5 * k, -10 - 10 * k);
  }

  // Kinds outside the drawable table draw nothing, though present in the list.
  ctx.clear();
  ScopedSymbol2DList light(68, {{0, 0}, {5, 5}});
  Objex* c = child(wall(), kObjComponent, 90, 110);
  c->subtype = 68;
  DrawObject(nullptr, c, nullptr, kDrawFlagAll, nullptr);
  EXPECT_TRUE(ctx.calls.empty());
}

// A tub or shower is drawn at the size it has, whatever size its symbol was drawn at, at any plan
// scale, with its size and name beside it.
TEST_F(SymbolFixture, TubsAndShowersAreDrawnAtTheirSizeAndLabelled) {
  const std::pair<int16_t, const char*> kinds[] = {{95, "Tub/Shower"}, {96, "Spa Tub"}, {97, "Shower"}};
  for (const auto& [kind, name] : kinds)
    for (const float scale : {48.0f, 36.0f}) {
      SCOPED_TRACE(::testing::Message() << "kind " << kind << " scale " << scale);
      doc.ds()->planScale = scale;
      // As the shipped symbols lie: across the insertion point, out from the wall face.
      ScopedSymbol2DList symbol(kind, {{-20, 0}, {20, 0}, {20, 40}, {-20, 40}}, true);
      Objex* w = wall();
      DoorWindowData* data = nullptr;
      Objex* c = child(w, kObjComponent, 100, 200, &data);
      c->subtype = kind;
      data->width = ConvertWorldToScreen(70.87f, doc.ds(), 0);  // 1.8 m by 0.75 m
      data->height = ConvertWorldToScreen(29.53f, doc.ds(), 0);
      ctx.clear();
      DrawObject(nullptr, c, nullptr, kDrawFlagAll, nullptr);
      ASSERT_NO_FATAL_FAILURE(
          expectBoxStroked(View(150 - data->width / 2, 0), View(150 + data->width / 2, data->height)));
      const auto labels = texts();
      ASSERT_EQ(labels.size(), 2u);
      EXPECT_NE(labels[0].find("Lx"), std::string::npos);
      EXPECT_EQ(labels[1], name);
    }
}

// A tub or shower whose symbol is longer than deep is stretched along the wall to its length and
// away from the wall to its depth, on a wall along x and on one along z, on both faces, at two
// plan scales.
TEST_F(SymbolFixture, SizedFixturesStretchAlongTheWallAndAwayFromIt) {
  for (const int16_t kind : {95, 96, 97})
    for (const float scale : {36.0f, 48.0f})
      for (const bool alongZ : {false, true})
        for (const uint8_t flipped : {0, 1}) {
          SCOPED_TRACE(::testing::Message() << "kind " << kind << " scale " << scale
                                            << (alongZ ? " along z" : " along x") << " flipped " << int(flipped));
          doc.ds()->planScale = scale;
          ScopedSymbol2DList symbol(kind, {{-20, 0}, {20, 0}, {20, 8}, {-20, 8}}, true);  // 40 by 8
          const std::pair<float, float> end = alongZ ? std::pair{0.0f, 400.0f} : std::pair{400.0f, 0.0f};
          Objex* w = doc.addObject(kObjWall, false, {{0, 0}, end});
          w->width = 0;
          RGBColor black{};
          Objex* c = CreateObject(kObjComponent, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, w, nullptr,
                                  nullptr);
          for (const float at : {100.0f, 200.0f})
            AppendPointToObject(
                CreatePoint(1, 0, 0, 0, 0, 0, alongZ ? 0 : at, 0, alongZ ? at : 0, 0, 0, 0, 0, 0, 0, c), c);
          DoorWindowData* data = AttachOnSegment(c, w->firstPoint, w->firstPoint->next);
          c->next = w->firstChild;
          w->firstChild = c;
          c->subtype = kind;
          data->flipHorizontal = flipped;
          data->width = 100;  // 2.5 times the symbol's length
          data->height = 30;  // 3.75 times its depth
          ctx.clear();
          DrawObject(nullptr, c, nullptr, kDrawFlagAll, nullptr);
          // 100 along the wall about the middle (150), 30 out from the wall line: on a wall along x
          // toward +z unless flipped, on one along z toward -x unless flipped.
          const float out = (alongZ ? -30.0f : 30.0f) * (flipped ? -1.0f : 1.0f);
          const NSPoint a = alongZ ? View(0, 100) : View(100, 0);
          const NSPoint b = alongZ ? View(out, 200) : View(200, out);
          ASSERT_NO_FATAL_FAILURE(expectBoxStroked(a, b));
        }
}

TEST_F(SymbolFixture, CurvedSymbolSegmentsTakeEightToTwentyPieces) {
  ScopedSymbol2DList symbol(90, {{0, 0}, {100, 0}});
  symbol.part->firstPoint->outHandle[2] = 50;
  doc.ds()->curveSegments = 30;  // 10 on screen
  const FloatPoint origin{0, 0};
  for (auto [zoom, pieces] : {std::pair{1.0f, 10u}, {3.0f, 20u}, {0.5f, 8u}}) {
    ctx.clear();
    doc.ds()->zoomFactor = zoom;
    SetupToDraw2DSymbolObject(nullptr, kDrawFlagAll, nullptr, 0, &origin, 90, 1, 1);
    EXPECT_EQ(ctx.count(Kind::Lines), pieces) << zoom;
  }
}

TEST_F(SymbolFixture, ClosedSymbolPartsCloseBackToTheirFirstPoint) {
  const FloatPoint origin{0, 0};
  {
    ScopedSymbol2DList square(91, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true);
    SetupToDraw2DSymbolObject(nullptr, kDrawFlagAll, nullptr, 0, &origin, 91, 1, 1);
    EXPECT_EQ(ctx.count(Kind::Lines), 4u);
  }
  // One point with handles closes on itself: a loop.
  ctx.clear();
  ScopedSymbol2DList loop(91, {{0, 0}}, true);
  loop.part->firstPoint->outHandle[0] = 40;
  loop.part->firstPoint->inHandle[2] = 40;
  doc.ds()->curveSegments = 30;
  SetupToDraw2DSymbolObject(nullptr, kDrawFlagAll, nullptr, 0, &origin, 91, 1, 1);
  EXPECT_EQ(ctx.count(Kind::Lines), 10u);
}

TEST_F(SymbolFixture, WindowCoversTheOpeningInThePlanViewOnly) {
  Objex* w = wall(ConvertScreenToWorld(20, doc.ds(), 0));
  Objex* win = child(w, kObjWindow, 50, 150);
  PlanBackgroundColor(doc.ds()) = {1000, 2000, 3000};
  gPlanDrawSettings.penColor = {65535, 0, 0};
  DrawWindow(nullptr, win);
  ASSERT_EQ(ctx.calls.size(), 2u);
  EXPECT_EQ(ctx.calls[0].kind, Kind::FillPath);
  EXPECT_EQ(ctx.calls[0].fill.color, DrawColorFromRGB({1000, 2000, 3000}));
  EXPECT_EQ(ctx.calls[1].kind, Kind::StrokePath);
  EXPECT_EQ(ctx.calls[1].stroke.color, kDrawRed);
  // As long as the opening, 8 wider than the wall (corners rounded toward zero: -14 to 14
  // becomes -13 to 14).
  EXPECT_EQ(ctx.calls[0].rect.size.width, 100);
  EXPECT_EQ(ctx.calls[0].rect.size.height, 27);
  ctx.clear();
  gPrinting = 1;
  DrawWindow(nullptr, win);
  EXPECT_EQ(ctx.calls[0].fill.color, kDrawWhite);
  gPrinting = 0;
  ctx.clear();
  gXViewAngle = 0;  // an elevation
  DrawWindow(nullptr, win);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(SymbolFixture, AccessoryIsAtLeastSixDeepOnItsSide) {
  Objex* w = wall();
  DoorWindowData* data = nullptr;
  Objex* acc = child(w, kObjAccessory, 100, 200, &data);
  DrawAccessory(nullptr, acc);
  ASSERT_EQ(ctx.count(Kind::StrokePath), 1u);
  EXPECT_EQ(ctx.calls[0].rect.size.width, 100);
  EXPECT_EQ(ctx.calls[0].rect.size.height, 6);
  EXPECT_GT(ctx.calls[0].rect.origin.y + 1, View(0, 0).y);  // the right-hand face (z grows)
  ctx.clear();
  data->flipHorizontal = 1;
  DrawAccessory(nullptr, acc);
  EXPECT_NEAR(ctx.calls[0].rect.origin.y, View(0, -6).y, 1.01f);
}

// Sizes stored in inches drawn at every plan scale: a foundation beam's and a duct's width
// across their line, an accessory's depth off the wall (never less than 6).
TEST_F(SymbolFixture, BeamDuctAndAccessorySizesTakeThePlanScale) {
  for (const float scale : {24.0f, 36.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    ShowAutoDimensions(doc.ds()) = 0;
    Objex* beam = doc.addObject(kObjFoundationBeam, false, {{0, 100}, {200, 100}});
    beam->params[3] = 12;
    ctx.clear();
    DrawFoundationBeam(nullptr, beam);
    ASSERT_EQ(ctx.count(Kind::StrokePath), 1u);
    EXPECT_NEAR(ctx.calls[0].rect.size.height, 12 * k, 1.01f);
    EXPECT_NEAR(ctx.calls[0].rect.origin.y + ctx.calls[0].rect.size.height / 2, View(0, 100).y, 1.01f);

    Objex* duct = doc.addObject(kObjAirDuct, false, {{0, 100}, {200, 100}});
    duct->params[2] = 10;
    duct->params[3] = 8;
    ctx.clear();
    DrawHVACDuct(nullptr, duct);
    ASSERT_FALSE(ctx.calls.empty());
    EXPECT_NEAR(ctx.calls[0].rect.size.height, 10 * k, 1.01f);
    Objex* w = wall(0);
    DoorWindowData* data = nullptr;
    Objex* acc = child(w, kObjAccessory, 100, 200, &data);
    data->auxFloat1 = 10;
    ctx.clear();
    DrawAccessory(nullptr, acc);
    ASSERT_EQ(ctx.count(Kind::StrokePath), 1u);
    EXPECT_NEAR(ctx.calls[0].rect.size.height, std::max(6.0f, 10 * k), 1.01f);
  }
}

TEST_F(SymbolFixture, StaircaseCountsWholeRisersOnlyWhileDimensionsShow) {
  Objex* stairs = doc.addObject(kObjStaircase, false, {{0, 0}, {0, 200}});
  stairs->params[1] = 7.5f;
  stairs->params[4] = 100;
  DrawStaircase(nullptr, stairs);
  auto labels = texts();
  ASSERT_EQ(labels.size(), 3u);
  EXPECT_EQ(labels[1].substr(0, 6), "13R x ");
  EXPECT_EQ(labels[2], "Up");
  // Divided in single precision, as the sizes are stored: 96.6 / 6.9 gives 14 risers.
  stairs->params[1] = 6.9f;
  stairs->params[4] = 96.6f;
  ctx.clear();
  DrawStaircase(nullptr, stairs);
  EXPECT_EQ(texts()[1].substr(0, 6), "14R x ");
  stairs->params[1] = 7.5f;
  stairs->params[4] = 100;
  stairs->params[1] = 0;  // no riser height: one riser, no fault
  ctx.clear();
  DrawStaircase(nullptr, stairs);
  EXPECT_EQ(texts()[1].substr(0, 5), "1R x ");
  ctx.clear();
  ShowAutoDimensions(doc.ds()) = 0;
  DrawStaircase(nullptr, stairs);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(SymbolFixture, StaircaseLabelsStayReadableWhicheverWayTheStairRuns) {
  // Drawn down, up, right, left and at slants: the labels are never turned past a quarter turn.
  const std::pair<float, float> ends[] = {{0, 200}, {0, -200}, {200, 0}, {-200, 0}, {150, 150}, {-150, -150},
                                          {-150, 150}, {150, -150}};
  for (auto [x, z] : ends) {
    Objex* stairs = doc.addObject(kObjStaircase, false, {{0, 0}, {x, z}});
    stairs->params[1] = 7.5f;
    stairs->params[4] = 100;
    ctx.clear();
    DrawStaircase(nullptr, stairs);
    int labels = 0;
    for (const auto& c : ctx.calls) {
      if (c.kind != Kind::Text) continue;
      ++labels;
      EXPECT_LE(std::fabs(c.text.angleDegrees), 90.0f + 1e-3f) << x << ", " << z << ": " << c.text.text;
    }
    EXPECT_EQ(labels, 3) << x << ", " << z;
  }
}

TEST_F(SymbolFixture, RoofDrawsItsOutlineRidgeAndDownslopeArrows) {
  ShowAutoDimensions(doc.ds()) = 0;
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {400, 0}, {400, 200}, {0, 200}});
  roof->width = 6;
  roof->textureID = kRoofGable;
  DrawRoof(nullptr, roof);
  ASSERT_EQ(ctx.count(Kind::StrokePath), 1u);
  const auto& path = ctx.calls[0].points;
  ASSERT_EQ(path.size(), 18u);  // nine lines
  ExpectAt(path[16], 0, 100);   // the ridge between the end midpoints
  ExpectAt(path[17], 400, 100);
  EXPECT_EQ(ctx.count(Kind::Lines), 2u * 3u);  // two arrows across the roof

  // Hips move the ridge ends in by the half span and add an arrow on each end.
  ctx.clear();
  roof->textureID = kRoofHip;
  DrawRoof(nullptr, roof);
  const auto& hip = ctx.calls[0].points;
  ExpectAt(hip[16], 100, 100);
  ExpectAt(hip[17], 300, 100);
  EXPECT_EQ(ctx.count(Kind::Lines), 4u * 3u);
  // A ridge-only roof draws no end lines; an unknown style no arrows.
  ctx.clear();
  roof->textureID = kRoofRidgeOnly;
  DrawRoof(nullptr, roof);
  EXPECT_EQ(ctx.calls[0].points.size(), 14u);
  ctx.clear();
  roof->textureID = 0;
  DrawRoof(nullptr, roof);
  EXPECT_EQ(ctx.calls[0].points.size(), 14u);
  EXPECT_EQ(ctx.count(Kind::Lines), 0u);
  // Three points draw nothing.
  ctx.clear();
  Objex* small = doc.addObject(kObjRoof, true, {{0, 0}, {10, 0}, {10, 10}});
  DrawRoof(nullptr, small);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(SymbolFixture, SlopeArrowReadsThePitchAndTheRunOfTheUnitSystem) {
  Objex* arrow = doc.addObject(kObjRoofSlopeArrow, false, {{0, 0}, {100, 0}});
  arrow->width = 6;
  doc.ds()->measureSystem = kMeasureMetric;
  DrawRoofSlopeDirectionArrow(nullptr, arrow);
  EXPECT_EQ(ctx.count(Kind::Lines), 3u);
  ASSERT_EQ(texts().size(), 2u);
  EXPECT_EQ(texts()[1], "10");
  ctx.clear();
  doc.ds()->measureSystem = kMeasureImperial;
  DrawRoofSlopeDirectionArrow(nullptr, arrow);
  EXPECT_EQ(texts()[1], "12");
}

TEST_F(SymbolFixture, LotArrowShowsItsLinesAndAZeroLineFourHundredLong) {
  Objex* lot = doc.addObject(kObjEntireLot, false, {{0, 0}, {300, 0}});
  lot->firstPoint->segmentFloats[0] = 5;
  DrawTopoSlopeDirectionArrow(nullptr, lot);
  const auto lines = ctx.strokedLinePoints();
  ASSERT_EQ(lines.size(), 8u);  // shaft, two barbs, zero line
  ExpectAt(lines[0], 300, 0);  // the shaft from the head
  ExpectAt(lines[1], 0, 0);
  for (int i : {2, 4}) {  // each barb from the head out, 150 long
    ExpectAt(lines[i], 300, 0);
    EXPECT_NEAR(std::hypot(lines[i + 1].x - lines[i].x, lines[i + 1].y - lines[i].y), 150, 1.5f) << i;
  }
  EXPECT_NEAR(std::fabs(lines[7].y - lines[6].y), 400, 1.01f);
  const auto labels = texts();
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[1].substr(0, 10), "Descent: 5");
}

TEST_F(SymbolFixture, LotPointLabelIsALiveDescentReadout) {
  gPlanViewHooks.dynamicDrawEngine = [] { return &gSymbolView->dynamicDrawEngine(); };
  Objex* lot = doc.addObject(kObjEntireLot, false, {{0, 0}, {300, 0}});
  lot->firstPoint->segmentFloats[0] = 5.4f;
  DrawTopoSlopeElevation(nullptr, lot, lot->firstPoint);
  const auto& labels = view.dynamicDrawEngine().dynamicDimArray();
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(std::string(labels[0]->dimensionText()), std::string("Descent: : 5") + kReadoutDegreeMark);
  EXPECT_TRUE(ctx.calls.empty());
  // A slope lot section's points are not labelled.
  Objex* section = doc.addObject(kObjSlopeLotSection, false, {{0, 0}, {300, 0}});
  DrawTopoSlopeElevation(nullptr, section, section->firstPoint);
  EXPECT_EQ(view.dynamicDrawEngine().dynamicDimArray().size(), 1u);
}

TEST_F(SymbolFixture, DetailOutlinesSkipAuxiliaryPointsAndKeepTheirFilledOutline) {
  Objex* detail = doc.addObject(kObjDetail, true, {{0, 0}, {100, 0}, {50, 50}, {100, 100}, {0, 100}});
  detail->subtype = kSubDetailPolygon;
  detail->firstPoint->next->next->pointType = 4;  // an auxiliary point
  ApplePortDrawDetailObject(detail, kDrawFlagAll, nullptr);
  ASSERT_EQ(ctx.count(Kind::StrokePath), 1u);
  EXPECT_EQ(ctx.calls[0].points.size(), 5u + 1u);  // one move, four lines, closed
  EXPECT_EQ(gPolyPtCount, 0);
  ctx.clear();
  detail->closed = 0;
  ApplePortDrawDetailObject(detail, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.calls[0].points.size(), 4u);

  // Pattern-filled: drawn by the view and kept for hit testing; dropped when unfilled.
  ctx.clear();
  detail->closed = 1;
  detail->fillPattern = 3;
  ApplePortDrawDetailObject(detail, kDrawFlagAll, nullptr);
  EXPECT_GT(ctx.count(Kind::FillPath), 0u);
  ASSERT_NE(detail->cocoaObject, nullptr);
  const NSPoint inside = View(50, 30);
  EXPECT_TRUE(PlanPathContainsPoint(static_cast<PlanPath*>(detail->cocoaObject), inside.x, inside.y));
  detail->fillPattern = 0;
  ApplePortDrawDetailObject(detail, kDrawFlagAll, nullptr);
  EXPECT_EQ(detail->cocoaObject, nullptr);

  // Only auxiliary points: nothing appended.
  ctx.clear();
  Objex* aux = doc.addObject(kObjDetail, true, {{0, 0}, {10, 0}});
  aux->subtype = kSubDetailArc;
  aux->firstPoint->pointType = 4;
  aux->firstPoint->next->pointType = 2;
  ApplePortDrawDetailObject(aux, kDrawFlagAll, nullptr);
  EXPECT_TRUE(ctx.calls.empty() || ctx.calls[0].points.empty());
}

TEST_F(SymbolFixture, PlantIsAStarOfSpokesInACircle) {
  Objex* plant = doc.addObject(kObjPlant, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  DrawPlant(nullptr, plant);
  ASSERT_EQ(ctx.count(Kind::StrokePath), 1u);
  const auto& pts = ctx.calls[0].points;
  ASSERT_GT(pts.size(), 12u);
  for (int i = 0; i < 6; ++i) {
    const float length = std::hypot(pts[2 * i + 1].x - pts[2 * i].x, pts[2 * i + 1].y - pts[2 * i].y);
    EXPECT_NEAR(length, i % 2 == 0 ? 100 : 90, 1.5f) << i;
  }
  const NSPoint centre = View(50, 50);
  float farthest = 0;
  for (size_t i = 12; i < pts.size(); ++i)
    farthest = std::max(farthest, std::hypot(pts[i].x - centre.x, pts[i].y - centre.y));
  EXPECT_NEAR(farthest, 40, 1.0f);
}

TEST_F(SymbolFixture, PierSnapsToTheSquareOfItsDiameterAndIsLabelled) {
  Objex* pier = doc.addObject(kObjFoundationPier, true, {{0, 0}, {30, 0}, {30, 30}, {0, 30}});
  pier->params[0] = ConvertScreenToWorld(20, doc.ds(), 0);  // 20 plan units across
  DrawFoundationPier(nullptr, pier);
  EXPECT_NEAR(pier->firstPoint->position[0], 5, 1e-3);
  EXPECT_NEAR(pier->firstPoint->next->next->position[2], 25, 1e-3);
  EXPECT_NEAR(pier->bounds.floatLeft, 5, 1e-3);
  EXPECT_NEAR(pier->bounds3D.floatFront, 25, 1e-3);
  ASSERT_EQ(texts().size(), 1u);
  EXPECT_EQ(texts()[0].substr(texts()[0].size() - 4), " DIA");
  EXPECT_EQ(ctx.count(Kind::StrokePath), 1u);
}
