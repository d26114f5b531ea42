// The foundation and duct tools: drag-a-line objects with their 15-degree steps and their
// rubber bands, piers that keep their snap, and perimeters made into closed exterior walls.
#include <cmath>
#include <utility>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "model/Delete.h"
#include "model/WallFields.h"
#include "platform/Alerts.h"
#include "tools/FoundationTools.h"
#include "tools/ObjectSnaps.h"
#include "tools/SnapCodes.h"

namespace {

constexpr float kDeg = 3.14159265f / 180;

struct FoundationTools : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.first->height = 96;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gSnapLocked = 0;
  }
  Objex* only() {
    EXPECT_EQ(CountObjects(doc.first), 1);
    return doc.first->firstObject;
  }
  static POINT At(int32_t x, int32_t z, float degrees, float length) {
    return POINT{static_cast<int32_t>(std::lround(x + length * std::cos(degrees * kDeg))),
                 static_cast<int32_t>(std::lround(z - length * std::sin(degrees * kDeg)))};
  }
  static float AngleOf(const Objex* o) {
    const Poinz* a = o->firstPoint;
    const Poinz* b = a->next;
    float d = std::atan2(-(b->position[2] - a->position[2]), b->position[0] - a->position[0]) / kDeg;
    return d < 0 ? d + 360 : d;
  }
  static float LengthOf(const Objex* o) {
    const Poinz* a = o->firstPoint;
    const Poinz* b = a->next;
    return std::hypot(b->position[0] - a->position[0], b->position[2] - a->position[2]);
  }
};

TEST_F(FoundationTools, BeamSnapsToFifteenDegreesKeepingItsLength) {
  DocState* ds = doc.ds();
  ds->beamSetting1 = 10;  // width
  ds->beamSetting2 = 14;  // depth
  gCurTool = kToolStiffenerBeam;
  const POINT end = At(100, 300, 37, 200);
  const float dragged = std::hypot(end.x - 100.0f, end.y - 300.0f);
  gMouseCaptured = 1;
  BeginTracking(100, 300);
  KeepTracking(end.x, end.y, 100, 300);
  EXPECT_FALSE(overlay.isPathEmpty(kPathPrimary));    // the centre line
  EXPECT_FALSE(overlay.isPathEmpty(kPathSecondary));  // the dashed sides
  EndTracking(end.x, end.y, end.x, end.y);
  FinishTracking();
  Objex* beam = only();
  EXPECT_EQ(beam->type, kObjFoundationBeam);
  EXPECT_EQ(beam->planMask, 1);
  EXPECT_EQ(beam->pointCount, 2);
  EXPECT_FLOAT_EQ(beam->params[2], 14);
  EXPECT_FLOAT_EQ(beam->params[3], 10);
  EXPECT_NEAR(AngleOf(beam), 30, 0.01f);
  EXPECT_NEAR(LengthOf(beam), dragged, 0.01f);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
  EXPECT_EQ(gMouseCaptured, 0);
  DeleteObj(beam);

  sModifiers = kTrackModShift;
  drag({{100, 300}, end});
  EXPECT_NEAR(AngleOf(only()), 37, 0.3f);
}

// The beam and duct tools' rubber band: dashed sides the tool's width apart (a world width, so
// it follows the plan scale, the world unit and the zoom) about the centre line, closed by a
// cap at each end; each corner is where a side meets a cap.
TEST_F(FoundationTools, BeamAndDuctBandsAreTheirWidthAboutTheCentreLine) {
  struct Case {
    uint16_t tool;
    float planScale, zoom;
    int16_t worldUnits;  // 1 inches, 6 centimetres
    float width, other;  // the tool's width and its second size, world units
    float half;          // half the width in window units: inches * 72 / scale * zoom / 2
  };
  const Case cases[] = {
      {kToolStiffenerBeam, 96, 1.5f, 1, 16, 30, 9},
      {kToolAirDuct, 24, 0.5f, 1, 10, 4, 7.5f},
      {kToolStiffenerBeam, 48, 1, 6, 30.48f, 10, 9},
      {kToolAirDuct, 36, 2, 6, 12.7f, 40, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "tool " << c.tool << " scale " << c.planScale << " zoom " << c.zoom);
    DocState* ds = doc.ds();
    ds->planScale = c.planScale;
    ds->zoomFactor = c.zoom;
    ds->worldUnits = c.worldUnits;
    ds->beamSetting1 = ds->airDuctSetting1 = c.width;
    ds->beamSetting2 = ds->airDuctSetting2 = c.other;
    gCurTool = c.tool;
    gMouseCaptured = 1;
    BeginTracking(100, 300);
    KeepTracking(300, 300, 100, 300);  // along the window's x axis: no 15 degree step moves it
    const BezierPath* sides = overlay.pathForID(kPathSecondary);
    ASSERT_NE(sides, nullptr);
    const float corners[4][2] = {{100, 300 - c.half}, {300, 300 - c.half}, {300, 300 + c.half}, {100, 300 + c.half}};
    for (const auto& k : corners) {
      int ends = 0;
      for (const auto& el : sides->elements())
        ends += std::fabs(el.points[0].x - k[0]) <= 0.75f && std::fabs(el.points[0].y - k[1]) <= 0.75f;
      EXPECT_EQ(ends, 2) << "corner " << k[0] << ", " << k[1];
    }
    EXPECT_EQ(sides->elements().size(), 8u);
    EndTracking(300, 300, 300, 300);
    FinishTracking();
    DeleteObj(only());
  }
}

// The strand's and the slope's arrowheads at the drag's end have a barb on each side of the line.
TEST_F(FoundationTools, StrandAndSlopeArrowheadsHaveABarbEachSide) {
  for (uint16_t tool : {kToolPostTensionStrand, kToolFoundationSlope}) {
    SCOPED_TRACE(tool);
    gCurTool = tool;
    gMouseCaptured = 1;
    BeginTracking(100, 300);
    KeepTracking(300, 300, 100, 300);
    int above = 0, below = 0;
    for (int16_t id : {kPathPrimary, kPathSecondary})
      if (const BezierPath* path = overlay.pathForID(id))
        for (const auto& el : path->elements())
          if (el.points[0].x > 250 && el.points[0].x < 299) {
            above += el.points[0].y < 299;
            below += el.points[0].y > 301;
          }
    EXPECT_GE(above, 1);
    EXPECT_GE(below, 1);
    EndTracking(300, 300, 300, 300);
    FinishTracking();
    DeleteObj(only());
  }
}

TEST_F(FoundationTools, EachLineToolMakesItsObject) {
  struct Case {
    uint16_t tool;
    int16_t type;
    int32_t mask;
  } cases[] = {{kToolPostTensionStrand, kObjFoundationStrand, 1},
               {kToolFoundationSlope, kObjFoundationSlope, 1},
               {kToolAirDuct, kObjAirDuct, 32}};
  for (const Case& c : cases) {
    gCurTool = c.tool;
    drag({{100, 100}, {150, 100}, {300, 100}});
    Objex* o = only();
    EXPECT_EQ(o->type, c.type) << c.tool;
    EXPECT_EQ(o->planMask, c.mask) << c.tool;
    EXPECT_EQ(o->closed, 0);
    if (c.tool == kToolAirDuct) {
      EXPECT_FLOAT_EQ(o->params[2], 12);
      EXPECT_FLOAT_EQ(o->params[3], 20);
    }
    DeleteObj(o);
  }
}

TEST_F(FoundationTools, ShortReleasesMakeNothing) {
  for (uint16_t tool : {kToolStiffenerBeam, kToolPostTensionStrand, kToolFoundationSlope, kToolAirDuct}) {
    gCurTool = tool;
    ServiceCallRecorder calls;
    drag({{100, 100}, {110, 100}, {115, 105}});
    EXPECT_EQ(CountObjects(doc.first), 0) << tool;
    EXPECT_TRUE(calls.called("ResetStandardTool")) << tool;
    EXPECT_TRUE(overlay.areAllPathsEmpty()) << tool;
  }
}

TEST_F(FoundationTools, PierIsASquareAboutTheReleaseAndKeepsItsSnap) {
  gCurTool = kToolFoundationPier;
  gCurSnap = kSnapSegmentCenter;
  gMouseCaptured = 1;
  BeginTracking(200, 200);
  KeepTracking(230, 210, 200, 200);  // the first drag step would reset an unlocked snap
  EXPECT_EQ(gCurSnap, kSnapSegmentCenter);
  EndTracking(240, 220, 240, 220);
  FinishTracking();
  EXPECT_EQ(gSnapLocked, 0);
  EXPECT_EQ(gCurSnap, kSnapAnywhere);
  Objex* pier = only();
  EXPECT_EQ(pier->type, kObjFoundationPier);
  EXPECT_EQ(pier->planMask, 1);
  EXPECT_EQ(pier->closed, 0);
  EXPECT_FLOAT_EQ(pier->params[0], 12);
  const float expected[4][2] = {{228, 208}, {252, 208}, {252, 232}, {228, 232}};
  int i = 0;
  for (const Poinz* p = pier->firstPoint; p; p = p->next, ++i) {
    ASSERT_LT(i, 4);
    EXPECT_FLOAT_EQ(p->position[0], expected[i][0]);
    EXPECT_FLOAT_EQ(p->position[2], expected[i][1]);
    EXPECT_FLOAT_EQ(p->position[1], gUpY);
  }
  EXPECT_EQ(i, 4);
  DeleteObj(pier);

  // The diameter is a world size: 12 inches are 9 plan units at scale 96, 36 at scale 24.
  for (auto [scale, side] : {std::pair{96.0f, 9.0f}, {24.0f, 36.0f}}) {
    doc.ds()->planScale = scale;
    drag({{240, 220}});
    Objex* p = only();
    EXPECT_FLOAT_EQ(p->params[0], 12) << scale;
    EXPECT_FLOAT_EQ(p->firstPoint->next->position[0] - p->firstPoint->position[0], side) << scale;
    EXPECT_FLOAT_EQ(p->firstPoint->next->next->position[2] - p->firstPoint->position[2], side) << scale;
    DeleteObj(p);
  }
}

TEST_F(FoundationTools, TwoClickPerimeterIsRefused) {
  ScopedAlertRecorder alerts;
  ScriptedModalEvents e;
  e.move(200, 0).down(200, 0, 0, 2);
  gCurTool = kToolFoundationPerimeter;
  drag({{0, 0}});
  EXPECT_EQ(CountObjects(doc.first), 0);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Foundation perimeter is undefined.");
  EXPECT_EQ(alerts.shown[0].informative,
            "A foundation perimeter must contain at least three points to define an area.");
  EXPECT_TRUE(alerts.shown[0].sheet);
}

// Either way round the perimeter is clicked, the side record and the dimension flip go to the
// same side of each point; the wall's heights follow the floor's.
TEST_F(FoundationTools, PerimeterBecomesAClosedExteriorWall) {
  DocState* ds = doc.ds();
  ds->wallThickness = 8;
  ds->baseElevation = 3;
  doc.first->height = 108;
  int flipped = 0;
  for (bool clockwise : {true, false}) {
    SCOPED_TRACE(clockwise ? "x first" : "z first");
    ServiceCallRecorder calls;
    ScriptedModalEvents e;
    // Four corners, closed by a click beside the first.
    if (clockwise) e.move(200, 0).down(200, 0).move(200, 200).down(200, 200).move(0, 200).down(0, 200);
    else e.move(0, 200).down(0, 200).move(200, 200).down(200, 200).move(200, 0).down(200, 0);
    e.move(3, 0).down(3, 0);
    gCurTool = kToolFoundationPerimeter;
    drag({{0, 0}});
    Objex* wall = only();
    EXPECT_EQ(wall->type, kObjWall);
    EXPECT_EQ(wall->subtype, kSubExteriorWall);
    EXPECT_EQ(wall->closed, 1);
    EXPECT_EQ(wall->planMask, 1);
    EXPECT_EQ(wall->levels, 1);
    EXPECT_FLOAT_EQ(wall->width, 8);
    EXPECT_FLOAT_EQ(wall->params[0], 108);
    EXPECT_FLOAT_EQ(FloorDepthOf(wall), 12);
    EXPECT_EQ(wall->textureID, 1700);
    EXPECT_EQ(wall->textureID1, 2213);
    EXPECT_EQ(wall->pointCount, 4);
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      EXPECT_EQ(WallOptionOf(p), 1);
      EXPECT_FLOAT_EQ(WallHeightOf(p), 108);
      EXPECT_FLOAT_EQ(HeightCOf(p), 135);
      EXPECT_FLOAT_EQ(HeightDOf(p), 189);
      EXPECT_FLOAT_EQ(BaseElevationOf(p), 3);
      EXPECT_NE((p->trim1 != nullptr), (p->trim2 != nullptr));  // one side record
      EXPECT_EQ(FlipDimensionOf(p), p->trim2 != nullptr ? 1 : 0);
    }
    flipped += FlipDimensionOf(wall->firstPoint);
    // One face runs along the clicked perimeter: the wall's centre line lies half the
    // thickness (8 units at plan scale 36) to one side of it.
    const float x0 = wall->firstPoint->position[0];
    EXPECT_NEAR(std::fabs(x0), 8, 0.01f);
    EXPECT_TRUE(calls.called("Update3DWall", wall->objectID) || calls.count("Update3DWall") == 0);
    DeleteObj(wall);
  }
  EXPECT_EQ(flipped, 1);  // the two ways round put the interior on different sides
}

TEST_F(FoundationTools, MetricFloorDepth) {
  doc.ds()->measureSystem = kMeasureMetric;
  ScriptedModalEvents e;
  e.move(200, 0).down(200, 0).move(200, 200).down(200, 200).move(0, 200).down(0, 200, 0, 2);
  gCurTool = kToolFoundationPerimeter;
  drag({{0, 0}});
  EXPECT_FLOAT_EQ(FloorDepthOf(only()), 11.811f);
}

}  // namespace
