// The plan drawing pipeline over a recording context: what is drawn, in which colour and
// order, the fills, the draw flags, the plan colours, and Refresh's road to the window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "TestDocument.h"
#include "plandraw/SymbolTestSupport.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/TransformInfo.h"
#include "model/ViewCommands.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawFlags.h"
#include "model/ColorConversions.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/RecordingDrawContext.h"

namespace {

using Kind = RecordingDrawContext::Kind;

Base2DView* gTestView = nullptr;

constexpr RGBColor kInactive{50000, 50000, 50000};
constexpr RGBColor kTopo{100, 60000, 100};

// A plan view at zoom 1 over a recording context, installed as the main window's view.
struct PipelineFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  Base2DView planView;
  RGBColor savedPen = gPlanDrawSettings.penColor;

  PipelineFixture() {
    doc.ds()->zoomFactor = 1;
    for (int k = 0; k < kPlanKindCount; ++k)
      doc.ds()->planColors[k] = {static_cast<uint16_t>(1000 * (k + 1)), 0, static_cast<uint16_t>(k)};
    InactiveFloorColor(doc.ds()) = kInactive;
    TopographyColor(doc.ds()) = kTopo;
    gTestView = &planView;
    gPlanViewHooks.documentView = [] { return gTestView; };
  }
  ~PipelineFixture() override {
    gPlanViewHooks.documentView = nullptr;
    gTestView = nullptr;
    gPrinting = gRealTimeDraw = 0;
    gCurTool = kToolNone;
    gPlanDrawSettings.penColor = savedPen;
    FreeAcclLineBuffer();
  }

  DrawColor planColor(int k) { return DrawColorFromRGB(doc.ds()->planColors[k]); }
  // Colours of the Lines calls in order.
  std::vector<DrawColor> lineColors() const {
    std::vector<DrawColor> out;
    for (const auto& c : ctx.calls)
      if (c.kind == Kind::Lines) out.push_back(c.stroke.color);
    return out;
  }
  void drawAll(int32_t flags = kDrawFlagAll, const DragTransformInfo* xform = nullptr) {
    DrawAllLayers(nullptr, doc.model.itsLayers, nullptr, flags, xform);
  }
};

Objex* Square(TestDocument& doc, int16_t type, float at, Layer* layer = nullptr) {
  return doc.addObject(type, true, {{at, at}, {at + 100, at}, {at + 100, at + 100}, {at, at + 100}}, layer);
}

}  // namespace

TEST_F(PipelineFixture, NothingIsDrawnWithoutADocumentOrItsDocState) {
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  {
    CurrentDocumentScope none(nullptr);
    drawAll();
    DrawObject(nullptr, line, nullptr, kDrawFlagAll, nullptr);
    RGBColor untouched{1, 2, 3};
    GetObjectPlanColor(line, &untouched);
    EXPECT_EQ(untouched, (RGBColor{1, 2, 3}));
  }
  DocState* ds = doc.model.itsDocState;
  doc.model.itsDocState = nullptr;
  drawAll();
  RGBColor color{1, 2, 3};
  GetObjectPlanColor(line, &color);
  EXPECT_EQ(color, (RGBColor{0, 16448, 34952}));
  doc.model.itsDocState = ds;
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(PipelineFixture, PlanColourComesFromTheSinglePlanBitElseThePenColour) {
  gPlanDrawSettings.penColor = {7, 7, 7};
  Objex* o = doc.addObject(kObjLine, false, {{0, 0}, {1, 1}});
  RGBColor c;
  for (int k = 0; k < kPlanKindCount; ++k) {
    o->planMask = 1 << k;
    GetObjectPlanColor(o, &c);
    EXPECT_EQ(c, doc.ds()->planColors[k]) << k;
  }
  for (int32_t mask : {0, 2 | 4, 511, 512}) {
    o->planMask = mask;
    GetObjectPlanColor(o, &c);
    EXPECT_EQ(c, (RGBColor{7, 7, 7})) << mask;
  }
  // Asking for the pen colour into the pen colour itself keeps it.
  GetObjectPlanColor(o, &gPlanDrawSettings.penColor);
  EXPECT_EQ(gPlanDrawSettings.penColor, (RGBColor{7, 7, 7}));

  o->type = kObjWall;
  for (int32_t mask : {0, 1, 2 | 128, 256}) {
    o->planMask = mask;
    GetObjectPlanColor(o, &c);
    EXPECT_EQ(c, doc.ds()->planColors[kPlanFloor]) << mask;
  }
  o->planMask = 128;
  GetObjectPlanColor(o, &c);
  EXPECT_EQ(c, doc.ds()->planColors[kPlanLandscape]);
}

TEST_F(PipelineFixture, CurrentFloorIsDrawnLastInPlanColoursOtherFloorsInTheInactiveColour) {
  doc.model.itsCurLayer = doc.second;
  Objex* current = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}}, doc.second);
  current->planMask = 8;
  Objex* below = doc.addObject(kObjLine, false, {{0, 5}, {10, 5}}, doc.first);
  below->planMask = 8;
  Objex* above = doc.addObject(kObjLine, false, {{0, 9}, {10, 9}}, doc.third);
  above->planMask = 2;
  gPlanDrawSettings.penColor = {1, 1, 1};
  drawAll();
  std::vector<DrawColor> colors = lineColors();
  ASSERT_EQ(colors.size(), 3u);
  EXPECT_EQ(colors[0], DrawColorFromRGB(kInactive));
  EXPECT_EQ(colors[1], DrawColorFromRGB(kInactive));
  EXPECT_EQ(colors[2], planColor(kPlanPlumbing));
  std::vector<NSPoint> pts = ctx.strokedLinePoints();
  EXPECT_EQ(pts[0].y, 5);  // first floor, then third, then the current floor on top
  EXPECT_EQ(pts[2].y, 9);
  EXPECT_EQ(pts[4].y, 0);
  EXPECT_EQ(gPlanDrawSettings.penColor, (RGBColor{1, 1, 1}));  // the pass leaves it as it was
  EXPECT_EQ(gAcclLinePointCount, 0);
}

TEST_F(PipelineFixture, LayersOffThePlanOrHiddenDrawNothingAndTopographyHasItsColour) {
  Objex* off = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  off->planMask = 4;
  doc.ds()->currentPlanMask = 2;
  Objex* hiddenDeck = Square(doc, kObjDeck, 0, doc.second);
  hiddenDeck->planMask = 2;
  doc.second->visible = 0;
  drawAll();
  EXPECT_TRUE(ctx.calls.empty());

  Layer* topo = CreateLayer("Topography", 1, 1, nullptr);
  doc.model.itsTopoLayer = topo;
  Objex* line = doc.addObject(kObjTopography, false, {{0, 0}, {10, 0}, {20, 0}}, topo);
  line->planMask = 2;
  ServiceCallRecorder calls;
  DrawLayer(nullptr, topo, nullptr, kDrawFlagAll, nullptr);
  ASSERT_FALSE(lineColors().empty());
  EXPECT_EQ(lineColors()[0], DrawColorFromRGB(kTopo));
  // Elevation labels on the second point and on the last of an odd count.
  EXPECT_EQ(ctx.count(Kind::Text), 2u);
  // A line without levels has no segments to draw; its points are labelled all the same.
  line->levels = 0;
  ctx.clear();
  DrawLayer(nullptr, topo, nullptr, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.count(Kind::Lines), 0u);
  EXPECT_EQ(ctx.count(Kind::Text), 2u);
}

TEST_F(PipelineFixture, RedDrawFlagsDrawInOpaqueRed) {
  Objex* o = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  for (int32_t flags : {kDrawFlagAll | kDrawFlagRed, kDrawFlagAll | kDrawFlagRedAlt}) {
    ctx.clear();
    DrawObject(nullptr, o, nullptr, flags, nullptr);
    ASSERT_EQ(lineColors().size(), 1u);
    EXPECT_EQ(lineColors()[0], kDrawRed);
  }
}

TEST_F(PipelineFixture, DrawFlagsChooseAllOrSelectedObjects) {
  Objex* o = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* roof = Square(doc, kObjRoof, 0);
  EXPECT_FALSE(CanObjectBeDrawn(nullptr, kDrawFlagAll));
  EXPECT_TRUE(CanObjectBeDrawn(o, kDrawFlagAll));
  EXPECT_FALSE(CanObjectBeDrawn(o, kDrawFlagSelected));
  EXPECT_FALSE(CanObjectBeDrawn(o, 0));
  o->firstPoint->selected = 1;
  EXPECT_TRUE(CanObjectBeDrawn(o, kDrawFlagSelected));
  roof->firstPoint->selected = 1;
  EXPECT_TRUE(CanObjectBeDrawn(roof, kDrawFlagSelected));
  DrawObject(nullptr, o, nullptr, 0, nullptr);
  EXPECT_TRUE(ctx.calls.empty());
  gRealTimeDraw = 1;  // real-time drawing ignores the flags
  DrawObject(nullptr, o, nullptr, 0, nullptr);
  EXPECT_EQ(ctx.count(Kind::Lines), 1u);
}

TEST_F(PipelineFixture, SegmentsFollowLevelsClosureAndQuickWalls) {
  Objex* closed = Square(doc, kObjLine, 0);
  DrawObject(nullptr, closed, nullptr, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.count(Kind::Lines), 4u);

  ctx.clear();
  Objex* quick = Square(doc, kObjQuickWall, 0);
  DrawObject(nullptr, quick, nullptr, kDrawFlagAll, nullptr);
  std::vector<NSPoint> pts = ctx.strokedLinePoints();
  ASSERT_EQ(pts.size(), 4u);  // segments 1 and 3: the middle (2) and the closing one skipped
  EXPECT_EQ(pts[0].x, 0);
  EXPECT_EQ(pts[1].x, 100);
  EXPECT_EQ(pts[2].y, 100);

  ctx.clear();
  Objex* box = doc.addObject(kObjLine, true, {{0, 0}, {10, 0}, {10, 10}, {0, 0}, {10, 0}, {10, 10}});
  box->levels = 2;
  DrawObject(nullptr, box, nullptr, kDrawFlagAll, nullptr);
  EXPECT_EQ(ctx.count(Kind::Lines), 3u + 3u + 3u);  // two closed rings and three links

  ctx.clear();
  box->pointCount = 100;  // more than the list holds: drawn as far as it goes
  DrawObject(nullptr, box, nullptr, kDrawFlagAll, nullptr);
  box->levels = 0;
  DrawObject(nullptr, box, nullptr, kDrawFlagAll, nullptr);
}

TEST_F(PipelineFixture, WallsDrawTheirOutlineUnlessMovedAndFillTheExteriorSpace) {
  Objex* wall = Square(doc, kObjWall, 0);
  wall->subtype = kSubExteriorWall;
  wall->planMask = 2;
  ExteriorFillColor(doc.ds()) = {1, 2, 3};
  ShowAutoDimensions(doc.ds()) = 0;
  drawAll();
  // No outline built yet: the wall shows both faces from its own points over the filled space.
  ASSERT_EQ(ctx.count(Kind::FillPath), 1u);
  EXPECT_EQ(ctx.calls[0].kind, Kind::FillPath);
  EXPECT_EQ(ctx.calls[0].fill.color, DrawColorFromRGB({1, 2, 3}));
  EXPECT_EQ(ctx.count(Kind::Lines), 8u);
  EXPECT_EQ(lineColors()[0], planColor(kPlanFloor));

  // With an outline, the outline is drawn and the wall's own segments are not.
  Objex* outline = doc.addObject(kObjClosedPoly, true, {{1, 1}, {2, 2}, {3, 1}});
  UnlinkObject(outline);
  outline->layer = nullptr;
  wall->typeData = outline;
  ctx.clear();
  drawAll();
  EXPECT_EQ(ctx.count(Kind::Lines), 3u);

  // A moving tool's transform: no fills, no outline, the wall from its own points.
  DragTransformInfo xform{};
  ctx.clear();
  drawAll(kDrawFlagAll | kDrawFlagTranslate, &xform);
  EXPECT_EQ(ctx.count(Kind::FillPath), 0u);
  EXPECT_EQ(ctx.count(Kind::Lines), 4u);

  // Neither while the trace image shows nor while printing.
  ctx.clear();
  doc.ds()->traceImageVisible = 1;
  drawAll();
  EXPECT_EQ(ctx.count(Kind::FillPath), 0u);
}

TEST_F(PipelineFixture, DecksAreHatchedOnVisibleFloors) {
  doc.ds()->planColors[kPlanDeck] = {49344, 31868, 8224};
  Objex* deck = Square(doc, kObjDeck, 0);
  deck->planMask = 64;
  Objex* other = Square(doc, kObjDeck, 200, doc.second);
  other->planMask = 64;
  drawAll();
  size_t hatched = 0;
  for (const auto& c : ctx.calls) hatched += c.kind == Kind::FillPath && c.patterned;
  EXPECT_EQ(hatched, 2u);
  // Curved outlines are hatched flattened; the deck keeps its points.
  deck->firstPoint->outHandle[0] = 50;
  ctx.clear();
  drawAll();
  EXPECT_EQ(deck->pointCount, 4);
  ASSERT_GE(ctx.calls.size(), 2u);
  EXPECT_GT(ctx.calls[1].points.size(), 6u);

  ctx.clear();
  DragTransformInfo xform{};
  drawAll(kDrawFlagAll | kDrawFlagTranslate, &xform);
  for (const auto& c : ctx.calls) EXPECT_FALSE(c.patterned);
}

TEST_F(PipelineFixture, FoundationPerimetersShowWhileAnExteriorWallToolIsCurrent) {
  Objex* wall = Square(doc, kObjWall, 0);
  wall->subtype = kSubExteriorWall;
  wall->planMask = 2;
  doc.ds()->traceImageVisible = 1;  // no space fill
  gCurTool = kToolExteriorWall;
  drawAll();
  size_t dotted = 0;
  for (const auto& c : ctx.calls)
    if (c.kind == Kind::StrokePath && c.stroke.isDashed()) {
      ++dotted;
      EXPECT_EQ(c.stroke.color, planColor(kPlanFoundation));
    }
  EXPECT_EQ(dotted, 2u);  // the hollow brush's outline and the dotted pen's, both dotted
  ctx.clear();
  gPrinting = 1;
  DrawAllFoundationPerimeters(nullptr, doc.model.itsLayers);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(PipelineFixture, ChildComponentsShowOnlyOnTheirPlans) {
  Objex* wall = Square(doc, kObjWall, 0);
  wall->planMask = 2;
  ScopedSymbol2DList symbol(55, {{-5, 0}, {5, 0}});  // one line
  Objex* door = CreateObject(kObjComponent, 0, 1, nullptr, nullptr, 1, 6, 0, nullptr, nullptr, nullptr, wall, nullptr, nullptr);
  door->subtype = 55;
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, door), door);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 10, 0, 500, 0, 0, 0, 0, 0, 0, door), door);
  AttachOnSegment(door, wall->firstPoint, wall->firstPoint->next);
  wall->firstChild = door;
  door->planMask = 4;
  doc.ds()->currentPlanMask = 1;  // walls show on it only by their own bits: none here
  ShowAutoDimensions(doc.ds()) = 0;
  drawAll();
  EXPECT_EQ(ctx.count(Kind::Lines), 0u);
  doc.ds()->currentPlanMask = 2;
  drawAll();
  EXPECT_EQ(ctx.count(Kind::Lines), 8u);  // the wall's two faces; the component is not on the floor plan
  ctx.clear();
  door->planMask = 2;
  drawAll();
  EXPECT_EQ(ctx.count(Kind::Lines), 9u);
  wall->firstChild = nullptr;
  door->parent = nullptr;
  DeleteObj(door);
}

// A custom skylight is drawn by the outlines placed in its part list; the outlines of its
// definition, kept in definition coordinates, are not drawn.
TEST_F(PipelineFixture, CustomSkylightsDrawTheirPlacedOutlinesOnly) {
  Objex* roof = doc.addObject(kObjOpenPoly, false, {{0, 0}, {10, 0}});
  roof->planMask = 2;
  doc.ds()->currentPlanMask = 2;
  RGBColor black{};
  auto outline = [&](float at) {
    Objex* o = CreateObject(kObjSkylightOutline, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    for (auto [x, z] : {std::pair{at, at}, {at + 20, at}, {at + 20, at + 20}, {at, at + 20}})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    return o;
  };
  Objex* skylight = CreateObject(kObjSkylight, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, roof,
                                 nullptr, nullptr);
  roof->firstChild = skylight;
  auto* data = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  data->ownerType = kObjSkylight;
  data->subtype = kSkylightCustom;
  data->owner = skylight;
  data->parts = outline(100);
  data->outlineParts = outline(5000);
  skylight->typeData = data;
  DrawObject(nullptr, roof, nullptr, kDrawFlagAll, nullptr);
  bool placed = false, definition = false;
  for (const auto& c : ctx.calls)
    for (const NSPoint& p : c.points) {
      placed = placed || (p.x >= 100 && p.x <= 120);
      definition = definition || p.x >= 5000;
    }
  EXPECT_TRUE(placed);
  EXPECT_FALSE(definition);
}

TEST_F(PipelineFixture, RefreshAsksTheWindowOnlyWhenThereIsOne) {
  static ZLKDocumentModel* asked;
  asked = nullptr;
  Refresh();  // no hook: nothing
  gFrontEnd.refreshDocumentVisibleView = [](ZLKDocumentModel* m) { asked = m; };
  {
    CurrentDocumentScope none(nullptr);
    Refresh();
    EXPECT_EQ(asked, nullptr);
  }
  Refresh();
  EXPECT_EQ(asked, &doc.model);
  gFrontEnd.refreshDocumentVisibleView = nullptr;
  EXPECT_TRUE(ctx.calls.empty());  // Refresh never draws
}

TEST(HSVColor, ConvertsBothWaysAndKnowsItsSectors) {
  const RGBColor red{65535, 0, 0}, yellow{65535, 65535, 0}, grey{30000, 30000, 30000};
  HSVColor hsv;
  RGBColor back;
  RGBtoHSV(&red, &hsv);
  EXPECT_EQ(hsv.hue, 0);
  EXPECT_EQ(hsv.saturation, 65535);
  EXPECT_EQ(hsv.value, 65535);
  RGBtoHSV(&yellow, &hsv);
  EXPECT_EQ(hsv.hue, 10923);  // 60 degrees
  RGBtoHSV(&grey, &hsv);
  EXPECT_EQ(hsv.hue, kGreyHue);
  EXPECT_EQ(hsv.saturation, 0);
  EXPECT_EQ(hsv.value, 30000);
  for (const RGBColor& c : {red, yellow, grey}) {
    RGBtoHSV(&c, &hsv);
    HSVtoRGB(&hsv, &back);
    EXPECT_EQ(back, c);
  }
  // The deck plan colour (192, 124, 32) lightened as the current floor's deck hatch; the hue
  // goes back through whole degrees.
  const RGBColor deck{49344, 31868, 8224};
  RGBtoHSV(&deck, &hsv);
  hsv.saturation /= 10;
  hsv.value = static_cast<uint16_t>(65535 - (65535 - hsv.value) / 2);
  HSVtoRGB(&hsv, &back);
  // Hue 6280 is 34.5 degrees, taken as 35.
  EXPECT_EQ(back, (RGBColor{57440, 55366, 52654}));
}
