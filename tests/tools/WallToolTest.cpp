// The wall tool through the tracking stages (new walls with their defaults, clicks that
// select, closing, extending and merging walls, starting on a wall's face with live
// distances), the measuring lines behind those distances, the attachment anchors and the
// moved-segment outline, and the plan drawing of an L wall from its body outline.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <vector>

#include "plandraw/GuiTestSupport.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "building3d/WallJoining.h"
#include "model/Globals.h"
#include "model/WallFields.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/qt/QPainterDrawContext.h"
#include "tools/WallAnchors.h"
#include "tools/WallDimTracking.h"
#include "tools/WallTool.h"

namespace {

// The plan at zoom 1 without grid snapping: window points are plan points.
struct WallTool : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  Objex* onlyWall() {
    EXPECT_EQ(CountObjects(doc.first), 1);
    return doc.first->firstObject;
  }
};

const WallSideData* Side(const Poinz* p, int side) {
  return static_cast<const WallSideData*>(side == 0 ? p->trim1 : p->trim2);
}

TEST_F(WallTool, ExteriorWallTakesTheToolDefaults) {
  gCurTool = kToolExteriorWall;
  ServiceCallRecorder calls;
  drag({{0, 0}, {100, 0}, {200, 0}});
  Objex* wall = onlyWall();
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->type, kObjWall);
  EXPECT_EQ(wall->subtype, kSubExteriorWall);
  EXPECT_FLOAT_EQ(wall->width, 4.0f);
  EXPECT_EQ(wall->fillColor, (RGBColor{45232, 31868, 7710}));
  EXPECT_EQ(wall->penColor, (RGBColor{65535, 65535, 65535}));
  EXPECT_EQ(wall->planMask, 1);
  EXPECT_EQ(wall->textureID, 1700);
  EXPECT_EQ(wall->textureID1, 2213);
  EXPECT_EQ(WallAlignmentOf(wall), 0);
  EXPECT_EQ(NoAutoFloorOf(wall), 0);
  EXPECT_FLOAT_EQ(FloorDepthOf(wall), 0.5f);
  EXPECT_FLOAT_EQ(FoundationWidthOf(wall), 12.0f);
  EXPECT_FLOAT_EQ(StudSpacingOf(wall), 16.0f);
  EXPECT_EQ(wall->textureScale3.x, 100);
  EXPECT_EQ(wall->capped, 0);
  ASSERT_EQ(wall->pointCount, 2);
  Poinz* a = wall->firstPoint;
  Poinz* b = a->next;
  EXPECT_FLOAT_EQ(a->position[0], 0.0f);
  EXPECT_FLOAT_EQ(b->position[0], 200.0f);
  EXPECT_FLOAT_EQ(b->position[2], 0.0f);
  EXPECT_EQ(FlipDimensionOf(a), 0);
  EXPECT_EQ(FlipDimensionOf(b), 1);
  for (Poinz* p : {a, b}) {
    EXPECT_FLOAT_EQ(WallHeightOf(p), 96.0f);
    EXPECT_FLOAT_EQ(PitchAOf(p), 10.0f);
    EXPECT_FLOAT_EQ(PitchBOf(p), 10.0f);
    EXPECT_FLOAT_EQ(HeightCOf(p), 120.0f);
    EXPECT_FLOAT_EQ(HeightDOf(p), 168.0f);
    EXPECT_EQ(p->color[0], (RGBColor{57568, 57568, 57568}));
    EXPECT_EQ(p->textureScale[1].y, 100);
    EXPECT_EQ(p->selected, 0);  // the new wall is left deselected
    for (int s = 0; s < 2; ++s) {
      const WallSideData* side = Side(p, s);
      ASSERT_NE(side, nullptr);
      EXPECT_EQ(side->trimCodeA, 0);
      const int32_t want[5] = {2213, 2213, 2213, 2212, 850};
      for (int i = 0; i < 5; ++i) EXPECT_EQ(side->slotTextureIDs[i], want[i]);
    }
  }
  EXPECT_NE(wall->typeData, nullptr);  // body
  EXPECT_NE(wall->symbol3D, nullptr);  // quick wall
  EXPECT_TRUE(calls.called("ReRenderObject", wall->objectID));
  EXPECT_TRUE(calls.called("Refresh"));
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
}

TEST_F(WallTool, InteriorAndRetainingWallsDifferWhereTheirKindsDo) {
  gCurTool = kToolInteriorWall;
  drag({{0, 0}, {200, 0}});
  Objex* interior = onlyWall();
  EXPECT_EQ(interior->subtype, 0);
  EXPECT_EQ(interior->planMask, 2);
  EXPECT_EQ(NoAutoFloorOf(interior), 1);
  EXPECT_FLOAT_EQ(FoundationWidthOf(interior), 0.0f);
  EXPECT_EQ(interior->symbol3D, nullptr);
  EXPECT_EQ(Side(interior->firstPoint, 0)->trimCodeA, 3);
  EXPECT_EQ(Side(interior->firstPoint, 1)->trimCodeA, 3);

  gCurTool = kToolRetainingWall;
  drag({{0, 300}, {200, 300}});
  Objex* retaining = interior->next;
  ASSERT_NE(retaining, nullptr);
  EXPECT_EQ(retaining->planMask, 128);
  EXPECT_EQ(retaining->subtype, 0);
  EXPECT_EQ(Side(retaining->firstPoint, 0)->trimCodeA, 0);
}

TEST_F(WallTool, AShortDragMakesNothingAndSelectsWhatWasClicked) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  gCurTool = kToolExteriorWall;
  ServiceCallRecorder calls;
  drag({{100, 2}, {110, 2}});
  EXPECT_TRUE(calls.called("ResetStandardTool"));  // the palette goes back to the arrow
  EXPECT_EQ(CountObjects(doc.first), 1);
  EXPECT_EQ(wall->pointCount, 2);
  EXPECT_EQ(wall->firstPoint->selected, 1);
  EXPECT_EQ(wall->firstPoint->next->selected, 1);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_EQ(gMouseCaptured, 0);

  SelectAllLayers(doc.model.itsLayers, kSelectOff, 1);
  drag({{1, 1}});  // on the wall's end point
  EXPECT_EQ(wall->firstPoint->selected, 1);
  EXPECT_EQ(wall->firstPoint->next->selected, 0);
}

TEST_F(WallTool, ADragBetweenTheEndsOfOneWallClosesIt) {
  Objex* pair = AddTestWall(doc, {{0, 300}, {200, 300}});
  gCurTool = kToolInteriorWall;
  drag({{200, 300}, {100, 300}, {0, 300}});  // two points only: nothing changes
  EXPECT_EQ(CountObjects(doc.first), 1);
  EXPECT_EQ(pair->closed, 0);
  EXPECT_EQ(pair->pointCount, 2);

  Objex* u = AddTestWall(doc, {{0, 0}, {200, 0}, {200, 200}});
  drag({{200, 200}, {100, 100}, {0, 0}});
  EXPECT_EQ(CountObjects(doc.first), 2);
  EXPECT_EQ(u->closed, 1);
  EXPECT_EQ(u->pointCount, 3);
}

TEST_F(WallTool, ADragFromAFreeEndExtendsThatWall) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  gCurTool = kToolExteriorWall;
  drag({{200, 0}, {200, 80}, {200, 150}});
  EXPECT_EQ(CountObjects(doc.first), 1);
  ASSERT_EQ(wall->pointCount, 3);
  Poinz* added = TestLastPoint(wall);
  EXPECT_FLOAT_EQ(added->position[0], 200.0f);
  EXPECT_FLOAT_EQ(added->position[2], 150.0f);
  EXPECT_EQ(FlipDimensionOf(added), FlipDimensionOf(wall->firstPoint->next) == 0 ? 1 : 0);
  EXPECT_NE(Side(added, 0), nullptr);
}

TEST_F(WallTool, ADragEndingOnAFreeEndExtendsThatWallBackToTheStart) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  gCurTool = kToolInteriorWall;
  drag({{200, 150}, {200, 80}, {200, 0}});
  EXPECT_EQ(CountObjects(doc.first), 1);
  ASSERT_EQ(wall->pointCount, 3);
  EXPECT_FLOAT_EQ(TestLastPoint(wall)->position[0], 200.0f);
  EXPECT_FLOAT_EQ(TestLastPoint(wall)->position[2], 150.0f);
}

TEST_F(WallTool, FromFaceToFaceTheNewWallEndsAtTheFarWallsNearFace) {
  AddTestWall(doc, {{0, 0}, {400, 0}});
  AddTestWall(doc, {{0, 200}, {400, 200}});
  gCurTool = kToolInteriorWall;
  drag({{200, 6}, {200, 100}, {200, 198}});
  ASSERT_EQ(CountObjects(doc.first), 3);
  Objex* wall = doc.first->firstObject->next->next;
  EXPECT_FLOAT_EQ(wall->firstPoint->position[2], 4.0f);
  EXPECT_FLOAT_EQ(wall->firstPoint->next->position[0], 200.0f);
  EXPECT_FLOAT_EQ(wall->firstPoint->next->position[2], 196.0f);
}

TEST_F(WallTool, MergingFirstWithFirstReversesTheSecondWallAndKeepsItsDoors) {
  Objex* s = AddTestWall(doc, {{0, 0}, {200, 0}});
  Objex* e = AddTestWall(doc, {{0, 100}, {200, 100}});
  e->subtype = kSubExteriorWall;
  Poinz* e0 = e->firstPoint;
  Poinz* e1 = e0->next;
  WallStyleOf(e0) = 2;
  WallHeightOf(e0) = 80;
  SideAOf(e0)->slotTextureIDs[0] = 7;
  Objex* door = AddTestDoor(e, e0, e1, 50);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  d->remainingLength = 150;  // the segment is 200 long
  gCurTool = kToolInteriorWall;
  drag({{0, 0}, {0, 50}, {0, 100}});
  ASSERT_EQ(CountObjects(doc.first), 1);
  EXPECT_EQ(doc.first->firstObject, s);
  ASSERT_EQ(s->pointCount, 4);
  EXPECT_EQ(s->firstPoint, e1);  // (200, 100), (0, 100), (0, 0), (200, 0)
  EXPECT_EQ(TestPointAt(s, 1), e0);
  EXPECT_EQ(e1->owner, s);
  // The segment now starts at e1: style 2 reads as 3, the sides changed places.
  EXPECT_EQ(WallStyleOf(e1), 3);
  EXPECT_FLOAT_EQ(WallHeightOf(e1), 80.0f);
  EXPECT_EQ(Side(e1, 1)->slotTextureIDs[0], 7);
  EXPECT_EQ(s->subtype, kSubExteriorWall);  // one of them was exterior
  // The door keeps its place: 50 from (0, 100) is 150 from (200, 100).
  EXPECT_EQ(door->parent, s);
  EXPECT_EQ(d->anchorStart, e1);
  EXPECT_EQ(d->anchorEnd, e0);
  EXPECT_FLOAT_EQ(d->startDistance, 150.0f);
  EXPECT_FLOAT_EQ(d->remainingLength, 50.0f);
  EXPECT_EQ(d->flipHorizontal, 1);
}

TEST_F(WallTool, ADragFromAWallsSideStartsOnItsFacePerpendicularWithDistances) {
  Objex* base = AddTestWall(doc, {{0, 0}, {400, 0}});
  AddTestWall(doc, {{100, 20}, {100, 200}});
  AddTestWall(doc, {{300, 20}, {300, 200}});
  gCurTool = kToolInteriorWall;
  gMouseCaptured = 1;
  BeginTracking(200, 6);
  KeepTracking(210, 150, 200, 6);
  // The rubber band and its length, and the two distances to the walls either side.
  EXPECT_FALSE(overlay.isPathEmpty(kPathSecondary));
  EXPECT_GE(overlay.dynamicDimArray().size(), 3u);
  EndTracking(210, 150, 210, 150);
  FinishTracking();
  ASSERT_EQ(CountObjects(doc.first), 4);
  Objex* wall = base->next->next->next;
  EXPECT_FLOAT_EQ(wall->firstPoint->position[0], 210.0f);  // perpendicular to the base wall
  EXPECT_FLOAT_EQ(wall->firstPoint->position[2], 4.0f);    // on its face
  EXPECT_FLOAT_EQ(wall->firstPoint->next->position[0], 210.0f);
  EXPECT_FLOAT_EQ(wall->firstPoint->next->position[2], 150.0f);

  // Without neighbours only the band and its length show.
  AddTestWall(doc, {{0, 600}, {400, 600}});
  gMouseCaptured = 1;
  BeginTracking(200, 606);
  KeepTracking(200, 700, 200, 606);
  EXPECT_EQ(overlay.dynamicDimArray().size(), 1u);
  EndTracking(200, 700, 200, 700);
  FinishTracking();
}

TEST_F(WallTool, KeyEntryWallToolsOpenTheSheetOnTheNewSegment) {
  EXPECT_EQ(PendingTrackingRoutine(kToolExteriorWallKeyEntry), nullptr);
  EXPECT_EQ(PendingTrackingRoutine(kToolInteriorWallKeyEntry), nullptr);
  struct Opened {
    Poinz *start, *end;
    Objex* wall;
  };
  static std::vector<Opened> opened;
  opened.clear();
  gWallKeyEntrySheetHook = [](Poinz* start, Poinz* end, Objex* wall) {
    opened.push_back({start, end, wall});
    return true;
  };

  // A new wall: from its first point to its second.
  gCurTool = kToolExteriorWallKeyEntry;
  drag({{0, 0}, {100, 0}, {200, 0}});
  Objex* wall = onlyWall();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].wall, wall);
  EXPECT_EQ(opened[0].start, wall->firstPoint);
  EXPECT_EQ(opened[0].end, wall->firstPoint->next);
  EXPECT_EQ(wall->subtype, kSubExteriorWall);

  // Extending from its free end: from the end it grew from to the new point.
  gCurTool = kToolInteriorWallKeyEntry;
  Poinz* connector = wall->firstPoint->next;
  drag({{200, 0}, {200, 80}, {200, 150}});
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[1].start, connector);
  ASSERT_NE(opened[1].end, nullptr);
  EXPECT_EQ(opened[1].end, connector->next);
  EXPECT_FLOAT_EQ(opened[1].end->position[2], 150.0f);

  // A click draws nothing and asks for nothing; the plain wall tool never asks.
  drag({{500, 500}, {500, 500}});
  gCurTool = kToolExteriorWall;
  drag({{0, 400}, {100, 400}, {200, 400}});
  EXPECT_EQ(opened.size(), 2u);
  gWallKeyEntrySheetHook = nullptr;
}

// ---- Measuring lines ----

TEST_F(WallTool, MeasuringLineCrossingsAheadAndBehind) {
  const FloatPoint s{0, 0}, e{100, 0};
  int32_t count = -1;
  FloatPoint* alone = BeginWallDimTracking(&s, &e, nullptr, nullptr, &count);
  ASSERT_NE(alone, nullptr);
  EXPECT_EQ(count, 0);
  FloatPoint ahead{1, 1}, behind{1, 1};
  ContinueWallDimTracking(alone, s, e, &ahead, &behind, count);
  EXPECT_FLOAT_EQ(ahead.floatH, 32000.0f);
  EXPECT_FLOAT_EQ(ahead.floatV, 32000.0f);
  EXPECT_FLOAT_EQ(behind.floatH, 32000.0f);
  EndWallDimTracking(alone);
  EndWallDimTracking(nullptr);

  Objex* left = AddTestWall(doc, {{-50, -20}, {-50, 20}});
  AddTestWall(doc, {{0, -20}, {0, 20}});  // exactly at the line start: behind
  AddTestWall(doc, {{80, -20}, {80, 20}});
  AddTestWall(doc, {{200, -20}, {200, 20}});
  AddTestWall(doc, {{500, 30}, {500, 90}});  // the line misses it
  FloatPoint* list = BeginWallDimTracking(&s, &e, left->firstPoint, left->firstPoint->next, &count);
  EXPECT_EQ(count, 3);  // the left wall is left out
  ContinueWallDimTracking(list, s, e, &ahead, &behind, count);
  EXPECT_FLOAT_EQ(ahead.floatH, 80.0f);
  EXPECT_FLOAT_EQ(behind.floatH, 0.0f);
  // The line's points passed as to BeginWallDimTracking give the same crossings.
  ahead = behind = FloatPoint{1, 1};
  ContinueWallDimTracking(list, &s, &e, &ahead, &behind, count);
  EXPECT_FLOAT_EQ(ahead.floatH, 80.0f);
  EXPECT_FLOAT_EQ(behind.floatH, 0.0f);
  ContinueWallDimTracking(list, nullptr, &e, &ahead, &behind, count);
  EXPECT_FLOAT_EQ(ahead.floatH, 32000.0f);
  EXPECT_FLOAT_EQ(behind.floatV, 32000.0f);
  EndWallDimTracking(list);
  EXPECT_EQ(BeginWallDimTracking(nullptr, &e, nullptr, nullptr, &count), nullptr);
}

TEST_F(WallTool, MeasuringLineKeepsAtMost998Crossings) {
  // One zigzag wall crossing the line 1000 times.
  Objex* zigzag = doc.addObject(kObjWall, false, {});
  for (int i = 0; i <= 1000; ++i)
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 10.0f + i, 0, i % 2 ? 10.0f : -10.0f, 0, 0, 0, 0, 0, 0, zigzag),
                        zigzag);
  const FloatPoint s{0, 0}, e{100, 0};
  int32_t count = 0;
  FloatPoint* list = BeginWallDimTracking(&s, &e, nullptr, nullptr, &count);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(count, 998);
  EXPECT_FLOAT_EQ(list[997].floatH, 10.0f + 997.5f);
  EndWallDimTracking(list);
}

// ---- Anchors and the moved-segment outline ----

TEST_F(WallTool, ReversingTwiceRestoresEveryAttachmentRecord) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}, {200, 200}});
  Objex* door = AddTestDoor(wall, wall->firstPoint, wall->firstPoint->next, 25);
  Objex* window = AddTestDoor(wall, wall->firstPoint->next, TestLastPoint(wall), 60);
  static_cast<DoorWindowData*>(window->typeData)->flipHorizontal = 1;
  const DoorWindowData before1 = *static_cast<DoorWindowData*>(door->typeData);
  const DoorWindowData before2 = *static_cast<DoorWindowData*>(window->typeData);
  ReverseAttachmentDirection(wall);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  EXPECT_EQ(d->anchorStart, before1.anchorEnd);
  EXPECT_FLOAT_EQ(d->remainingLength, 25.0f);
  EXPECT_EQ(d->flipHorizontal, 1);
  ReverseAttachmentDirection(wall);
  EXPECT_EQ(memcmp(door->typeData, &before1, sizeof before1), 0);
  EXPECT_EQ(memcmp(window->typeData, &before2, sizeof before2), 0);

  // A point nothing is anchored to: only the parent changes.
  Poinz spare{};
  ReplaceAttachmentBasePoint(wall, &spare, wall->firstPoint, wall);
  EXPECT_EQ(memcmp(door->typeData, &before1, sizeof before1), 0);
  EXPECT_EQ(door->parent, wall);
}

size_t BandCount(const ZLKDynamicTransformElement& element) {
  size_t closes = 0;
  for (const auto& el : element.path().elements()) closes += el.kind == BezierPath::ElementKind::Close;
  return closes;
}

TEST_F(WallTool, MovedSegmentOutlineDrawsTheSegmentAndItsNeighbours) {
  Objex* pair = AddTestWall(doc, {{0, 0}, {200, 0}});
  ClickInfo click{};
  click.hitPoint = pair->firstPoint;
  click.segmentEnd = pair->firstPoint->next;
  gTranslateWallSegPt1 = {0, 50};
  gTranslateWallSegPt2 = {200, 50};
  DrawTranslatedWallObject(nullptr, pair, nullptr, nullptr, &click, &click);
  ASSERT_EQ(overlay.dynamicTransformArray().size(), 1u);
  EXPECT_TRUE(overlay.dynamicTransformArray()[0]->fillPath());
  EXPECT_EQ(BandCount(*overlay.dynamicTransformArray()[0]), 1u);
  // The band is 8 units wide about the moved line.
  const NSRect bounds = overlay.dynamicTransformArray()[0]->path().bounds();
  EXPECT_NEAR(bounds.size.height, 8.0f, 0.5f);

  overlay.removePointsFromAllPaths();
  Objex* room = AddTestWall(doc, {{0, 300}, {200, 300}, {200, 500}, {0, 500}}, true);
  click.hitPoint = room->firstPoint;
  click.segmentEnd = room->firstPoint->next;
  DrawTranslatedWallObject(nullptr, room, nullptr, nullptr, &click, &click);
  EXPECT_EQ(BandCount(*overlay.dynamicTransformArray()[0]), 3u);

  // Without the click's segment only the empty element is made.
  overlay.removePointsFromAllPaths();
  DrawTranslatedWallObject(nullptr, room, nullptr, nullptr, nullptr, &click);
  ASSERT_EQ(overlay.dynamicTransformArray().size(), 1u);
  EXPECT_EQ(BandCount(*overlay.dynamicTransformArray()[0]), 0u);
}

// Every band of a moved segment's outline, corner by corner: the unmoved segment before it,
// the segment at its moved place and the unmoved one after it, each the wall's thickness wide
// about its centre line. The thickness is a world size: it follows the plan scale and the
// world unit. An open wall's end segments have a neighbour on one side only; a closed wall's
// first and closing segments meet their neighbours across the closing point.
TEST_F(WallTool, EachBandOfAMovedSegmentLiesAboutItsCentreLineAtTheWallsThickness) {
  struct Case {
    float planScale;
    int16_t worldUnits;  // 1 inches, 2 feet, 6 centimetres
    float thickness;     // world units
    float planWidth;     // the same in plan units: inches * 72 / scale
    bool closed;
    int segment;                   // from this corner to the next (the closing one to corner 0)
    std::vector<int> before, after;  // the corner of the neighbour band before / after, if any
  };
  const Case cases[] = {
      {96, 1, 16, 12, false, 0, {}, {2}},        {48, 6, 30.48f, 18, false, 2, {1}, {}},
      {36, 2, 0.5f, 12, false, 1, {0}, {3}},     {24, 1, 6, 18, true, 0, {3}, {2}},
      {36, 6, 20.32f, 16, true, 3, {2}, {1}},
  };
  const FloatPoint corners[] = {{40, 20}, {440, 20}, {440, 320}, {40, 340}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.planScale << " units " << c.worldUnits << " segment "
                                    << c.segment << (c.closed ? " closed" : " open"));
    overlay.removePointsFromAllPaths();
    doc.ds()->planScale = c.planScale;
    doc.ds()->worldUnits = c.worldUnits;
    Objex* wall = AddTestWall(doc, {{40, 20}, {440, 20}, {440, 320}, {40, 340}}, c.closed, c.thickness);
    const int next = (c.segment + 1) % 4;
    ClickInfo click{};
    click.hitPoint = TestPointAt(wall, c.segment);
    click.segmentEnd = TestPointAt(wall, next);
    const FloatPoint moved1{corners[c.segment].floatH + 30, corners[c.segment].floatV + 45};
    const FloatPoint moved2{corners[next].floatH + 30, corners[next].floatV + 45};
    gTranslateWallSegPt1 = moved1;
    gTranslateWallSegPt2 = moved2;
    DrawTranslatedWallObject(nullptr, wall, nullptr, nullptr, &click, &click);
    ASSERT_EQ(overlay.dynamicTransformArray().size(), 1u);

    std::vector<std::pair<FloatPoint, FloatPoint>> lines;
    for (int k : c.before) lines.push_back({corners[k], moved1});
    lines.push_back({moved1, moved2});
    for (int k : c.after) lines.push_back({moved2, corners[k]});
    // The drawn bands: the corners between one close and the next.
    std::vector<std::vector<NSPoint>> bands(1);
    for (const auto& el : overlay.dynamicTransformArray()[0]->path().elements()) {
      if (el.kind == BezierPath::ElementKind::Close) bands.emplace_back();
      else bands.back().push_back(el.points[0]);
    }
    bands.pop_back();
    ASSERT_EQ(bands.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "band " << i);
      const auto [p, q] = lines[i];
      const float dx = q.floatH - p.floatH, dz = q.floatV - p.floatV, length = std::hypot(dx, dz);
      const float nx = -dz / length * c.planWidth / 2, nz = dx / length * c.planWidth / 2;
      const FloatPoint expected[] = {{p.floatH + nx, p.floatV + nz}, {q.floatH + nx, q.floatV + nz},
                                     {q.floatH - nx, q.floatV - nz}, {p.floatH - nx, p.floatV - nz}};
      ASSERT_EQ(bands[i].size(), 4u);
      // Each corner drawn once, in either turning direction (window points are rounded).
      for (const FloatPoint& e : expected) {
        int found = 0;
        for (const NSPoint& d : bands[i]) found += std::fabs(d.x - e.floatH) <= 0.75f && std::fabs(d.y - e.floatV) <= 0.75f;
        EXPECT_EQ(found, 1) << "corner " << e.floatH << ", " << e.floatV;
      }
    }
  }
}

TEST_F(WallTool, MovingTheSegmentOfATwoPointWallShowsOneBand) {
  Objex* pair = AddTestWall(doc, {{0, 0}, {200, 0}});
  gCurTool = kToolSelection;
  hitTest(100, 2);
  ASSERT_EQ(gClickInfo.hitObject, pair);
  ASSERT_EQ(gClickInfo.segmentHit, 1);
  gMouseCaptured = 1;
  BeginTracking(100, 2);
  KeepTracking(100, 60, 100, 2);
  ASSERT_EQ(overlay.dynamicTransformArray().size(), 1u);
  EXPECT_EQ(BandCount(*overlay.dynamicTransformArray()[0]), 1u);
  EndTracking(100, 60, 100, 60);
  FinishTracking();
}

// ---- The plan drawing of an L wall ----

TEST_F(WallTool, AnLWallShowsAFilledMitredOuterCorner) {
  ASSERT_NE(GuiApplication(), nullptr);
  gCurTool = kToolExteriorWall;
  drag({{40, 40}, {140, 40}, {240, 40}});
  drag({{240, 40}, {240, 120}, {240, 200}});  // from the first wall's end: one L wall
  Objex* wall = onlyWall();
  ASSERT_EQ(wall->pointCount, 3);
  ASSERT_NE(wall->typeData, nullptr);
  gCurTool = kToolSelection;  // no foundation outlines over the plan

  // The plan view that fills regions (into the current drawing context).
  static Base2DView* sView = nullptr;
  Base2DView view;
  sView = &view;
  gPlanViewHooks.documentView = [] { return sView; };
  QImage image(300, 260, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QPainterDrawContext ctx(&painter);
    CurrentDrawContextScope scope(&ctx);
    DrawAllLayers(&ctx, doc.model.itsLayers, nullptr, kDrawFlagAll, nullptr);
  }
  gPlanViewHooks.documentView = nullptr;
  sView = nullptr;
  if (const char* dump = getenv("WALL_TEST_IMAGE")) image.save(dump);
  // The wall is filled in its (black) plan colour; the space it encloses gets the pale exterior fill.
  auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 64; };
  // The 8-unit band along both legs is filled...
  EXPECT_TRUE(dark(140, 40));
  EXPECT_TRUE(dark(140, 37));
  EXPECT_TRUE(dark(240, 120));
  EXPECT_FALSE(dark(140, 50));
  // ...and so is the outer corner square, up to the mitre's tip, with nothing beyond it.
  EXPECT_TRUE(dark(242, 38));
  EXPECT_TRUE(dark(243, 37));
  EXPECT_FALSE(dark(248, 32));
  EXPECT_EQ(image.pixel(249, 31), qRgb(255, 255, 255));
  // The inner corner stays open.
  EXPECT_FALSE(dark(232, 48));
}

}  // namespace
