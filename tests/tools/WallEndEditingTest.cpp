// Wall edits of the move tool at the mouse-up: a dragged first point keeps the doors in
// place, a dropped end joins another wall or closes its own, a too-short end segment is
// restored; and the distances of a moved segment to the crossing walls, drawn in the overlay.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>

#include "plandraw/GuiTestSupport.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "model/Attachments.h"
#include "plandraw/qt/QPainterDrawContext.h"
#include "tools/PointEditing.h"

namespace {

// The plan at zoom 1 without grid snapping: window points are plan points.
class WallEndEditing : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gCurTool = kToolSelection;
  }
  void TearDown() override {
    gCurPropertiesObjectCount = 0;
    ToolTest::TearDown();
  }
  // Drags a point of the wall (selected first) from its place to (x, z).
  void dragPoint(Objex* wall, Poinz* p, int32_t x, int32_t z) {
    SelectPoint(p, kSelectOn, 1);
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.pointHit = 1;
    gClickInfo.hitPoint = p;
    gClickInfo.hitObject = wall;
    const POINT from{static_cast<int32_t>(p->position[0]), static_cast<int32_t>(p->position[2])};
    drag({from, POINT{(from.x + x) / 2, (from.y + z) / 2}, POINT{x, z}});
  }
};

Objex* OnlyWall(TestDocument& doc) {
  Objex* found = nullptr;
  for (Objex* o = doc.model.itsCurLayer->firstObject; o; o = o->next)
    if (o->type == kObjWall) {
      EXPECT_EQ(found, nullptr);
      found = o;
    }
  return found;
}

TEST_F(WallEndEditing, DraggingTheFirstPointKeepsTheDoorInPlace) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  Objex* door = AddTestDoor(wall, TestPointAt(wall, 0), TestPointAt(wall, 1), 100);
  dragPoint(wall, wall->firstPoint, -50, 0);
  EXPECT_FLOAT_EQ(wall->firstPoint->position[0], -50.0f);
  ASSERT_EQ(wall->firstChild, door);
  EXPECT_FLOAT_EQ(AttachmentData(door)->startDistance, 150.0f);

  // The far end's drag leaves the start distances alone.
  dragPoint(wall, TestPointAt(wall, 1), 260, 0);
  EXPECT_FLOAT_EQ(AttachmentData(door)->startDistance, 150.0f);
}

TEST_F(WallEndEditing, AnEndDroppedOnAnotherWallsFreeEndJoinsTheWalls) {
  Objex* a = AddTestWall(doc, {{0, 0}, {100, 0}});
  AddTestWall(doc, {{160, 0}, {160, 100}});
  dragPoint(a, TestPointAt(a, 1), 160, 0);
  Objex* joined = OnlyWall(doc);
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined->pointCount, 3);
  EXPECT_MODEL_SOUND();
}

TEST_F(WallEndEditing, AnEndDroppedOnItsOwnOtherEndClosesTheWallWithOnePointFewer) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}, {200, 150}});
  Poinz* first = wall->firstPoint;
  Objex* door = AddTestDoor(wall, TestPointAt(wall, 1), TestPointAt(wall, 2), 40);
  dragPoint(wall, TestPointAt(wall, 2), 0, 0);
  EXPECT_TRUE(wall->closed);
  EXPECT_EQ(wall->pointCount, 2 + 0 * 1);  // the dragged last point went
  EXPECT_EQ(CountPoints(wall), 2);
  EXPECT_EQ(wall->firstPoint, first);
  EXPECT_EQ(AttachmentData(door)->anchorEnd, first);  // re-anchored at the first point
}

TEST_F(WallEndEditing, DraggingTheFirstPointOntoTheLastClosesTheWallOnTheLastSegmentsLine) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}, {200, 150}, {10, 150}});
  Poinz* first = wall->firstPoint;
  dragPoint(wall, first, 10, 150);
  EXPECT_TRUE(wall->closed);
  EXPECT_EQ(wall->pointCount, 3);
  EXPECT_EQ(wall->firstPoint, first);
  // With the free snap the two ends meet where their segments' lines cross: on the last
  // segment's line z = 150.
  EXPECT_NEAR(first->position[2], 150.0f, 1e-3);
}

TEST_F(WallEndEditing, AnEndSegmentLeft19LongIsRestoredAnd21Stays) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  Objex* door = AddTestDoor(wall, TestPointAt(wall, 0), TestPointAt(wall, 1), 40, 10);
  dragPoint(wall, wall->firstPoint, 181, 0);  // 19 left
  EXPECT_FLOAT_EQ(wall->firstPoint->position[0], 0.0f);
  EXPECT_FLOAT_EQ(TestPointAt(wall, 1)->position[0], 200.0f);
  (void)door;
  dragPoint(wall, TestPointAt(wall, 1), 21, 0);
  EXPECT_FLOAT_EQ(TestPointAt(wall, 1)->position[0], 21.0f);
}

TEST_F(WallEndEditing, ADraggedPointShowsTheLengthsOfItsTwoSegments) {
  Objex* shape = addShape({{0, 0}, {200, 0}, {200, 150}, {0, 150}});
  Poinz* corner = TestPointAt(shape, 2);
  SelectPoint(corner, kSelectOn, 1);
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.pointHit = 1;
  gClickInfo.hitPoint = corner;
  gClickInfo.hitObject = shape;
  gMouseCaptured = 1;
  BeginTracking(200, 150);
  KeepTracking(220, 170, 200, 150);
  EXPECT_EQ(overlay.dynamicDimArray().size(), 2u);
  EndTracking(220, 170, 220, 170);
  FinishTracking();
  EXPECT_EQ(overlay.dynamicDimArray().size(), 0u);

  // A wall end drag shows its end segment; a click that does not move shows nothing.
  Objex* wall = AddTestWall(doc, {{0, 400}, {200, 400}});
  Poinz* end = TestPointAt(wall, 1);
  SelectPoint(end, kSelectOn, 1);
  gClickInfo.hitPoint = end;
  gClickInfo.hitObject = wall;
  gMouseCaptured = 1;
  BeginTracking(200, 400);
  EXPECT_EQ(overlay.dynamicDimArray().size(), 0u);
  KeepTracking(240, 400, 200, 400);
  EXPECT_EQ(overlay.dynamicDimArray().size(), 1u);
  EndTracking(240, 400, 240, 400);
  FinishTracking();
  EXPECT_FLOAT_EQ(end->position[0], 240.0f);
}

TEST_F(WallEndEditing, ASegmentMoveDrawsItsDistancesToTheCrossingWalls) {
  ASSERT_NE(GuiApplication(), nullptr);
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  AddTestWall(doc, {{0, -100}, {200, -100}});
  AddTestWall(doc, {{0, 100}, {200, 100}});
  SelectPoint(TestPointAt(wall, 0), kSelectOn, 1);
  SelectPoint(TestPointAt(wall, 1), kSelectOn, 1);
  gCurPropertiesObjectCount = 1;
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.segmentHit = 1;
  gClickInfo.hitObject = wall;
  gClickInfo.hitPoint = TestPointAt(wall, 0);
  gClickInfo.segmentEnd = TestPointAt(wall, 1);
  gClickInfo.where = {100, 0};
  gMouseCaptured = 1;
  BeginTracking(100, 0);
  KeepTracking(100, 30, 100, 0);  // the segment 30 down: 70 to the wall below, 130 above
  ASSERT_EQ(overlay.dynamicDimArray().size(), 2u);

  QImage image(300, 300, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.translate(50, 150);  // plan (0, 0) at pixel (50, 150)
    QPainterDrawContext ctx(&painter);
    overlay.strokeAllPaths(&ctx);
    for (const auto& dim : overlay.dynamicDimArray()) dim->drawDynamicDimElement(&ctx);
  }
  if (const char* dump = std::getenv("WALL_TEST_IMAGE")) image.save(dump);
  auto inked = [&](int x, int y) {
    for (int dx = -1; dx <= 1; ++dx)
      if (qGray(image.pixel(x + dx, y)) < 160) return true;
    return false;
  };
  // The moved segment's band lies at z = 30 (pixel row 180). The 130 up to the wall at -100
  // is a dimension line along x = 100 (pixel column 150) from the band to row 50 with its
  // label; the 70 down to the wall at 100 is short enough to show its label only, centred
  // at row 215. Nothing is drawn off that column.
  EXPECT_TRUE(inked(60, 180));
  EXPECT_TRUE(inked(150, 150));
  EXPECT_TRUE(inked(150, 60));
  EXPECT_TRUE(inked(150, 215));
  EXPECT_FALSE(inked(150, 250));
  EXPECT_FALSE(inked(150, 40));
  EXPECT_FALSE(inked(100, 100));
  EXPECT_FALSE(inked(200, 215));
  EndTracking(100, 30, 100, 30);
  FinishTracking();
  EXPECT_NEAR(TestPointAt(wall, 0)->position[2], 30, 1e-3);
}

}  // namespace
