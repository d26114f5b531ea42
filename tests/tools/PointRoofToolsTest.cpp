// The four-point and three-point roof tools on a wall segment: the corners with and without
// soffits, the eave table of sloped wall tops, and the refusals.
#include <cmath>

#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "building3d/RoofPanels3D.h"
#include "model/WallFields.h"
#include "platform/Alerts.h"
#include "tools/RoofTools.h"

namespace {

struct PointRoofs : ToolTest {
  Objex* wall = nullptr;
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.ds()->newRoofPitch() = 10;
    doc.first->height = 96;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    wall = AddTestWall(doc, {{0, 0}, {200, 0}});
    WallStyleOf(wall->firstPoint) = 0;
  }
  void soffits(bool on) {
    DocState* ds = doc.ds();
    ds->includeSoffits = on;
    ds->baseSoffit() = ds->leftSoffit() = ds->rightSoffit() = 1;
    ds->soffitWidth() = 18;
  }
  // The press on the wall's segment at (100, 0), a drag to the pointer and the release there.
  Objex* drag(bool fourPoint, float px, float pz, Objex* hit = nullptr) {
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.segmentHit = 1;
    gClickInfo.hitObject = hit ? hit : wall;
    gClickInfo.hitPoint = wall->firstPoint;
    gClickInfo.segmentEnd = wall->firstPoint->next;
    gStartMouse = POINT{100, 0};
    gEndMouse = POINT{static_cast<int32_t>(px), static_cast<int32_t>(pz)};
    auto track = fourPoint ? TrackFourPtRoof : TrackThreePtRoof;
    track(100, 0, 100, 0, 0, kTrackBegin);
    track(0, 0, px, 0, pz, kTrackKeep);
    return track(0, 0, px, 0, pz, kTrackEnd);
  }
  static void ExpectCorners(const Objex* o, std::initializer_list<std::pair<float, float>> corners) {
    const Poinz* p = o->firstPoint;
    for (auto [x, z] : corners) {
      ASSERT_NE(p, nullptr);
      EXPECT_NEAR(p->position[0], x, 1e-3);
      EXPECT_NEAR(p->position[2], z, 1e-3);
      EXPECT_FLOAT_EQ(p->position[1], 0);
      p = p->next;
    }
    EXPECT_EQ(p, nullptr);
  }
};

TEST_F(PointRoofs, FourPointWithoutSoffitsCoversTheSegmentUpToThePointer) {
  soffits(false);
  gRoundToggle = 0;
  Objex* p = drag(true, 100, -80);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(gRoundToggle, 1);  // set for the rubber band's dimension line
  EXPECT_EQ(p->type, kObjRoofPanel);
  ExpectCorners(p, {{200, -80}, {0, -80}, {0, 0}, {200, 0}});
  EXPECT_NEAR(p->params[0], 270, 1e-3);
  EXPECT_NEAR(p->baseElevation, 96, 1e-3);
  EXPECT_EQ(p->planMask, 16);
  EXPECT_EQ(p->slopeAnchor(), 0);
  EXPECT_NE(FindSlopeDirectionArrowObject(p), nullptr);
  EXPECT_NE(p->typeData, nullptr);
  EXPECT_EQ(PendingTrackingRoutine(kToolFourPointFreehandRoof), nullptr);
  EXPECT_EQ(PendingTrackingRoutine(kToolThreePointFreehandRoof), nullptr);
}

TEST_F(PointRoofs, FourPointWithSoffitsReachesBeyondTheWall) {
  soffits(true);
  Objex* p = drag(true, 100, -80);
  ASSERT_NE(p, nullptr);
  ExpectCorners(p, {{236, -80}, {-36, -80}, {-36, 36}, {236, 36}});
  EXPECT_NEAR(p->baseElevation, 81, 1e-3);  // 96 less 10/12 of the 18-inch soffit
}

TEST_F(PointRoofs, ThreePointApexAboveTheMiddleOfTheEave) {
  soffits(false);
  Objex* p = drag(false, 100, -80);
  ASSERT_NE(p, nullptr);
  ExpectCorners(p, {{100, -80}, {0, 0}, {200, 0}});
  soffits(true);
  Objex* q = drag(false, 100, 80);  // the other side of the wall
  ASSERT_NE(q, nullptr);
  ExpectCorners(q, {{100, 80}, {-36, -36}, {236, -36}});
  EXPECT_NEAR(q->params[0], 90, 1e-3);
}

TEST_F(PointRoofs, RefusalsMakeNothing) {
  soffits(false);
  ScopedAlertRecorder alerts;
  for (int style : {1, 2, 3}) {
    WallStyleOf(wall->firstPoint) = style;
    EXPECT_EQ(drag(true, 100, -80), nullptr);
  }
  EXPECT_TRUE(alerts.sawMessage("Unable to construct a four-point roof."));
  EXPECT_EQ(alerts.shown.size(), 3u);  // once per drag, not per stage
  WallStyleOf(wall->firstPoint) = 1;
  EXPECT_EQ(drag(false, 100, -80), nullptr);
  EXPECT_TRUE(alerts.sawMessage("The three-point roof tool does not support generating roofs for gable-style walls."));
  WallStyleOf(wall->firstPoint) = 0;
  Objex* shape = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}});
  EXPECT_EQ(drag(true, 100, -80, shape), nullptr);
  EXPECT_TRUE(alerts.sawMessage("Wall segment not found."));
  EXPECT_EQ(CountObjects(doc.first), 2);  // the wall and the shape
  // A click makes nothing and returns the arrow tool.
  ServiceCallRecorder calls;
  EXPECT_EQ(drag(true, 105, -3), nullptr);
  EXPECT_TRUE(calls.called("ResetStandardTool"));
}

TEST_F(PointRoofs, SlopedWallTopsMoveTheEaveEnds) {
  soffits(false);
  // Style 4: both ends climb to hD (168 in) at 10 per 12: 72 in of rise over 86.4 in of run.
  WallStyleOf(wall->firstPoint) = 4;
  Objex* p = drag(true, 100, -80);
  ASSERT_NE(p, nullptr);
  const float run1 = (168 - 96) * 2 / (10.0f / 12), run2 = (168 - 120) * 2 / (10.0f / 12);
  ExpectCorners(p, {{200 - run2, -80}, {run1, -80}, {run1, 0}, {200 - run2, 0}});
  EXPECT_NEAR(p->baseElevation, 168, 1e-3);
  // A pitch of zero never divides: the ends stay at the segment's ends.
  PitchAOf(wall->firstPoint) = 0;
  PitchBOf(wall->firstPoint) = 0;
  Objex* q = drag(true, 100, -80);
  ASSERT_NE(q, nullptr);
  ExpectCorners(q, {{200, -80}, {0, -80}, {0, 0}, {200, 0}});
  for (const Poinz* pt = q->firstPoint; pt; pt = pt->next) EXPECT_TRUE(std::isfinite(pt->position[0]));
}

}  // namespace
