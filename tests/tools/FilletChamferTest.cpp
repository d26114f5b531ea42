// The fillet, inverted fillet and chamfer tools on the corner of a square floor: the arc
// or the cut that replaces the corner, refusals, and the undo flag.
#include <cmath>
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "platform/Alerts.h"
#include "tools/FilletChamfer.h"

namespace {

struct PlanPt {
  float x, z;
};

class FilletChamfer : public ToolTest {
 protected:
  Objex* square = nullptr;
  ServiceCallRecorder calls;

  void SetUp() override {
    ToolTest::SetUp();
    square = doc.addObject(kObjFloor, true, {{0, 0}, {240, 0}, {240, 240}, {0, 240}});
    UpdateObjectBounds(square);
    gFilletChamferUndo = 0;
    gBailedFromFillet = 0;
  }
  void TearDown() override {
    gFilletChamferUndo = 0;
    gBailedFromFillet = 0;
    ToolTest::TearDown();
  }
  Poinz* point(Objex* o, int index) {
    Poinz* p = o->firstPoint;
    for (int i = 0; i < index && p; ++i) p = p->next;
    return p;
  }
  static std::vector<PlanPt> outline(const Objex* o) {
    std::vector<PlanPt> out;
    for (const Poinz* p = o->firstPoint; p; p = p->next) out.push_back({p->position[0], p->position[2]});
    return out;
  }
  // Presses the tool on the corner, drags through `steps` and releases at the last one,
  // the way the tracking dispatch calls the tool.
  void run(uint16_t tool, Objex* o, int corner, std::initializer_list<PlanPt> steps) {
    gCurTool = tool;
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = o;
    gClickInfo.hitPoint = point(o, corner);
    gClickInfo.pointHit = 1;
    const Poinz* c = gClickInfo.hitPoint;
    gMouseCaptured = 1;
    TrackObject(0, 0, c->position[0], 0, c->position[2], kTrackBegin);
    PlanPt last{c->position[0], c->position[2]};
    for (const PlanPt& s : steps) {
      TrackObject(0, 0, last.x, 0, last.z, kTrackKeep);
      TrackObject(0, 0, s.x, 0, s.z, kTrackKeep);
      last = s;
    }
    TrackObject(0, 0, last.x, 0, last.z, kTrackEnd);
  }
  static float distanceOnArc(const Poinz* p0, const Poinz* p1, float t, PlanPt centre) {
    float x = 0, y = 0, z = 0;
    GetSplineCoordinate(p0, p1, t, &x, &y, &z);
    return std::hypot(x - centre.x, z - centre.z);
  }
};

#define EXPECT_AT(p, X, Z)                     \
  do {                                         \
    EXPECT_NEAR((p)->position[0], (X), 1e-3); \
    EXPECT_NEAR((p)->position[2], (Z), 1e-3); \
  } while (0)

// Dragged 60 * sqrt(2) from the corner (240, 0) along the bisector: the arc centre, so the
// radius and both tangent distances are 60.
TEST_F(FilletChamfer, FilletReplacesTheCornerByATangentArc) {
  run(kToolFillet, square, 1, {{200, 40}, {180, 60}});
  ASSERT_EQ(outline(square).size(), 6u);
  Poinz* a = point(square, 1);
  Poinz* middle = point(square, 2);
  Poinz* b = point(square, 3);
  EXPECT_AT(point(square, 0), 0, 0);
  EXPECT_AT(a, 180, 0);
  EXPECT_AT(middle, 180 + 60 / std::sqrt(2.0f), 60 - 60 / std::sqrt(2.0f));
  EXPECT_AT(b, 240, 60);
  EXPECT_AT(point(square, 4), 240, 240);
  for (const Poinz* p = square->firstPoint; p; p = p->next) EXPECT_EQ(p->pointType, 1);
  // The arc stays on the circle about (180, 60) and leaves the segments tangentially.
  for (float t : {0.25f, 0.5f, 0.75f}) {
    EXPECT_NEAR(distanceOnArc(a, middle, t, {180, 60}), 60, 0.05f);
    EXPECT_NEAR(distanceOnArc(middle, b, t, {180, 60}), 60, 0.05f);
  }
  EXPECT_GT(a->outHandle[0], 0);
  EXPECT_NEAR(a->outHandle[2], 0, 1e-3);
  EXPECT_NEAR(b->inHandle[0], 0, 1e-3);
  EXPECT_GT(b->inHandle[2], 0);
  EXPECT_EQ(gFilletChamferUndo, 1);
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_TRUE(calls.called("Update3DFloorSkirting", square->objectID));
  EXPECT_TRUE(calls.called("ReRenderObject", square->objectID));
}

TEST_F(FilletChamfer, FilletAtTheFirstPointWrapsToTheLast) {
  run(kToolFillet, square, 0, {{30, 30}});  // centre 30 * sqrt(2) away: radius 30
  const auto pts = outline(square);
  ASSERT_EQ(pts.size(), 6u);
  EXPECT_NEAR(pts[0].x, 0, 1e-3);  // A toward the previous point (0, 240)
  EXPECT_NEAR(pts[0].z, 30, 1e-3);
  EXPECT_NEAR(pts[2].x, 30, 1e-3);  // B toward the next point (240, 0)
  EXPECT_NEAR(pts[2].z, 0, 1e-3);
  EXPECT_NEAR(pts[5].x, 0, 1e-3);
  EXPECT_NEAR(pts[5].z, 240, 1e-3);
}

TEST_F(FilletChamfer, FilletShrinksToTheShorterSegment) {
  Objex* slab = doc.addObject(kObjFloor, true, {{0, 0}, {100, 0}, {100, 240}, {0, 240}});
  run(kToolFillet, slab, 1, {{-400, 500}});
  // The centre distance drops by 1 until the tangent distance (its cos 45 part) stays more
  // than 2 inside the 100-long segment.
  const float t = 100 - point(slab, 1)->position[0];
  EXPECT_LT(t, 98.0f);
  EXPECT_GT(t, 98.0f - 0.7072f);
  EXPECT_NEAR(point(slab, 1)->position[2], 0, 1e-3);
  EXPECT_AT(point(slab, 3), 100, t);
}

TEST_F(FilletChamfer, InvertedFilletIsCentredOnTheCorner) {
  run(kToolInvertedFillet, square, 1, {{240, 50}});
  ASSERT_EQ(outline(square).size(), 6u);
  Poinz* a = point(square, 1);
  Poinz* middle = point(square, 2);
  Poinz* b = point(square, 3);
  EXPECT_AT(a, 190, 0);
  EXPECT_AT(b, 240, 50);
  EXPECT_NEAR(std::hypot(middle->position[0] - 240, middle->position[2]), 50, 1e-3);
  EXPECT_NEAR(distanceOnArc(a, middle, 0.5f, {240, 0}), 50, 0.05f);
  EXPECT_NEAR(distanceOnArc(middle, b, 0.5f, {240, 0}), 50, 0.05f);
  EXPECT_EQ(gTrackInvertedFillet, 0);
  EXPECT_EQ(gFilletChamferUndo, 1);
}

// The arc tangents of an inverted fillet, given the corner's construction points in the
// same order as for the standard fillet: the concave arc about the corner.
TEST_F(FilletChamfer, InvertedFilletSplinesTakeTheStandardArgumentOrder) {
  Poinz* corner = point(square, 1);
  Poinz centre{}, a{}, middle{}, b{};
  const float r = BuildInvertedFillet(&centre, point(square, 0), point(square, 2), corner, &a, &middle, &b, 50, 0);
  ASSERT_FLOAT_EQ(r, 50);
  BuildInvertedFilletSplines(r, &centre, corner, &a, &middle, &b);
  EXPECT_TRUE(corner->outHandle[0] == 0 && corner->outHandle[2] == 0);  // the corner is left alone
  EXPECT_GT(std::hypot(a.outHandle[0], a.outHandle[2]), 0);
  EXPECT_GT(std::hypot(b.inHandle[0], b.inHandle[2]), 0);
  for (float t : {0.25f, 0.5f, 0.75f}) {
    EXPECT_NEAR(distanceOnArc(&a, &middle, t, {240, 0}), 50, 0.05f);
    EXPECT_NEAR(distanceOnArc(&middle, &b, t, {240, 0}), 50, 0.05f);
  }
}

TEST_F(FilletChamfer, ChamferCutsTheCornerStraight) {
  run(kToolChamfer, square, 1, {{240, 30}});
  const auto pts = outline(square);
  ASSERT_EQ(pts.size(), 5u);
  EXPECT_AT(point(square, 1), 210, 0);
  EXPECT_AT(point(square, 2), 240, 30);
  for (const Poinz* p = square->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->pointType, 1);
    EXPECT_TRUE(p->outHandle[0] == 0 && p->outHandle[2] == 0 && p->inHandle[0] == 0 && p->inHandle[2] == 0);
  }
  EXPECT_EQ(gFilletChamferUndo, 1);
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_TRUE(calls.called("Update3DFloorSkirting", square->objectID));
}

// Called directly with the corner leading the arguments: the same cut as the tool's; the
// leading corner stands in when the second is missing.
TEST_F(FilletChamfer, ChamferCutWithTheCornerGivenFirst) {
  Poinz* corner = point(square, 1);
  EXPECT_EQ(BuildChamfer(corner, square, corner, point(square, 0), point(square, 2), 30.0f), 1);
  ASSERT_EQ(outline(square).size(), 5u);
  EXPECT_AT(point(square, 1), 210, 0);
  EXPECT_AT(point(square, 2), 240, 30);

  Objex* other = doc.addObject(kObjFloor, true, {{0, 0}, {240, 0}, {240, 240}, {0, 240}});
  UpdateObjectBounds(other);
  EXPECT_EQ(BuildChamfer(point(other, 1), other, nullptr, point(other, 0), point(other, 2), 30.0f), 1);
  ASSERT_EQ(outline(other).size(), 5u);
  EXPECT_AT(point(other, 1), 210, 0);
  EXPECT_AT(point(other, 2), 240, 30);
  EXPECT_EQ(BuildChamfer(nullptr, other, nullptr, point(other, 0), point(other, 2), 30.0f), 0);
}

// While dragging, the preview labels both the cut (P1 to P2) and the setback (P1 to the corner).
TEST_F(FilletChamfer, ChamferPreviewDimensionsTheCutAndTheSetback) {
  gCurTool = kToolChamfer;
  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = square;
  gClickInfo.hitPoint = point(square, 1);
  gClickInfo.pointHit = 1;
  gMouseCaptured = 1;
  TrackObject(0, 0, 240, 0, 0, kTrackBegin);
  TrackObject(0, 0, 240, 0, 30, kTrackKeep);
  auto readout = [this](float planLength) {
    char text[256] = {};
    ConvertInchesToStr(ConvertScreenToWorld(planLength, doc.ds(), 0), text);
    return std::string(text);
  };
  const auto& labels = overlay.dynamicDimArray();
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(std::string(labels[0]->dimensionText()), readout(30 * std::sqrt(2.0f)));
  EXPECT_EQ(std::string(labels[1]->dimensionText()), readout(30));
  EXPECT_EQ(outline(square).size(), 4u);  // nothing cut before the mouse-up
  TrackObject(0, 0, 240, 0, 30, kTrackEnd);
  EXPECT_EQ(outline(square).size(), 5u);
  EXPECT_TRUE(overlay.areAllPathsEmpty());
}

TEST_F(FilletChamfer, ChamferWorksOnFencesAndRebuildsThem) {
  Objex* fence = doc.addObject(kObjFence, false, {{0, 0}, {240, 0}, {240, 240}});
  run(kToolChamfer, fence, 1, {{200, 0}});
  EXPECT_EQ(outline(fence).size(), 4u);
  EXPECT_TRUE(calls.called("UpdateFenceObject", fence->objectID));
  run(kToolChamfer, fence, 3, {{240, 200}});  // an open end has no corner
  EXPECT_EQ(outline(fence).size(), 4u);
  EXPECT_EQ(gFilletChamferUndo, 0);
  ScopedAlertRecorder alerts;
  run(kToolFillet, fence, 1, {{200, 200}});
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative, "Fillets cannot be applied to this type of object.");
  EXPECT_EQ(outline(fence).size(), 4u);
}

TEST_F(FilletChamfer, CurvedSegmentIsRefusedAndNothingChanges) {
  point(square, 2)->inHandle[0] = 5;  // the outgoing segment of the corner is curved
  const auto before = outline(square);
  ScopedAlertRecorder alerts;
  run(kToolFillet, square, 1, {{180, 60}});
  ASSERT_EQ(alerts.shown.size(), 1u);  // once, at the mouse-down
  EXPECT_EQ(alerts.shown[0].message, "Unable to fillet corner.");
  EXPECT_EQ(alerts.shown[0].informative, "Fillets cannot be applied to curved segments.");
  EXPECT_TRUE(alerts.shown[0].sheet);
  EXPECT_EQ(outline(square).size(), before.size());
  EXPECT_EQ(gFilletChamferUndo, 0);
  run(kToolChamfer, square, 1, {{240, 30}});
  EXPECT_EQ(alerts.shown.size(), 1u);  // the chamfer stays silent
  EXPECT_EQ(outline(square).size(), before.size());
  EXPECT_EQ(gFilletChamferUndo, 0);
}

TEST_F(FilletChamfer, LineDetailAndPointEditingAreRefusedWithTheirMessages) {
  Objex* line = doc.addObject(kObjDetail, true, {{0, 0}, {100, 0}, {100, 100}});
  line->subtype = kSubDetailLine;
  line->extraFlags = 1;
  Objex* rect = doc.addObject(kObjDetail, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  rect->subtype = 1;
  ScopedAlertRecorder alerts;
  run(kToolFillet, line, 1, {{80, 20}});
  run(kToolFillet, rect, 1, {{80, 20}});
  run(kToolChamfer, line, 1, {{80, 0}});
  ASSERT_EQ(alerts.shown.size(), 2u);
  EXPECT_EQ(alerts.shown[0].informative, "Fillets cannot be applied to this type of object.");
  EXPECT_EQ(alerts.shown[1].informative, "You must set the object to point-level editing before applying a fillet.");
  EXPECT_EQ(outline(line).size(), 3u);
  EXPECT_EQ(outline(rect).size(), 4u);
  rect->extraFlags = 1;  // point-level editing on
  run(kToolFillet, rect, 1, {{80, 20}});
  EXPECT_EQ(outline(rect).size(), 6u);
  EXPECT_EQ(gFilletChamferUndo, 1);
}

// A rectangle from the rectangle tool, selected whole: its corners are handles, not points.
// A press on one with a corner tool explains (fillet) or stays silent (chamfer) and never
// resizes; once point-level editing is on, the same rectangle takes the fillet.
TEST_F(FilletChamfer, WholeSelectedRectangleCornerNeverResizes) {
  Objex* rect = doc.addObject(kObjDetail, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  rect->subtype = 1;
  rect->extraLong = 1;  // dimensions shown: not the point-level word
  UpdateObjectBounds(rect);
  const auto before = outline(rect);
  ScopedAlertRecorder alerts;
  for (uint16_t tool : {kToolFillet, kToolInvertedFillet, kToolChamfer}) {
    gCurTool = tool;
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = rect;
    gClickInfo.cornerHit = 1;  // the press is on the corner handle, no point hit
    gMouseCaptured = 1;
    TrackObject(0, 0, 100, 0, 0, kTrackBegin);
    TrackObject(0, 0, 160, 0, -60, kTrackKeep);
    TrackObject(0, 0, 160, 0, -60, kTrackEnd);
    const auto after = outline(rect);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
      EXPECT_FLOAT_EQ(after[i].x, before[i].x);
      EXPECT_FLOAT_EQ(after[i].z, before[i].z);
    }
    EXPECT_EQ(gFilletChamferUndo, 0);
  }
  ASSERT_EQ(alerts.shown.size(), 2u);  // both fillets, on their mouse-down; the chamfer is silent
  for (const auto& shown : alerts.shown)
    EXPECT_EQ(shown.informative, "You must set the object to point-level editing before applying a fillet.");
  rect->extraFlags = 1;
  run(kToolFillet, rect, 1, {{80, 20}});
  EXPECT_EQ(outline(rect).size(), 6u);
  EXPECT_EQ(gFilletChamferUndo, 1);
}

TEST_F(FilletChamfer, UndoFlagOnlyWhenTheOutlineChanged) {
  const auto before = outline(square);
  // Dragged out and back onto the corner: the corner is left as it was.
  run(kToolFillet, square, 1, {{180, 60}, {240, 0}});
  auto after = outline(square);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_FLOAT_EQ(after[i].x, before[i].x);
    EXPECT_FLOAT_EQ(after[i].z, before[i].z);
  }
  EXPECT_EQ(gFilletChamferUndo, 0);
  // A chamfer of 2 or less builds nothing.
  run(kToolChamfer, square, 1, {{240, 1}});
  EXPECT_EQ(outline(square).size(), before.size());
  EXPECT_EQ(gFilletChamferUndo, 0);
  // A corner between collinear segments: the fillet bails silently for the whole drag.
  Objex* strip = doc.addObject(kObjFloor, true, {{0, 0}, {100, 0}, {200, 0}, {200, 100}, {0, 100}});
  ScopedAlertRecorder alerts;
  run(kToolFillet, strip, 1, {{100, 40}});
  EXPECT_EQ(gBailedFromFillet, 1);
  EXPECT_EQ(outline(strip).size(), 5u);
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(gFilletChamferUndo, 0);
}

TEST_F(FilletChamfer, RoofPanelFilletLeavesStraightSegments) {
  Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {240, 0}, {240, 240}, {0, 240}});
  const int16_t segments = doc.ds()->curveSegments;
  run(kToolFillet, panel, 1, {{180, 60}});
  EXPECT_GT(outline(panel).size(), 6u);
  for (const Poinz* p = panel->firstPoint; p; p = p->next) {
    EXPECT_FLOAT_EQ(p->outHandle[0], 0);
    EXPECT_FLOAT_EQ(p->inHandle[2], 0);
  }
  EXPECT_EQ(doc.ds()->curveSegments, segments);
  EXPECT_TRUE(calls.called("Update3DRoofPanel", panel->objectID));
}

}  // namespace

// The fit margins on a corner whose two segments are 100 long: an inverted fillet keeps its
// radius r while both segments exceed r + 2 (97 fits, 98 shrinks to 97); a chamfer keeps its
// setback s while s + 2 is at most both (98 fits, 99 shrinks by 2 to 97); a fillet's value
// (the distance to its centre) shrinks by 1 until the tangent distance t leaves both
// segments more than 2 (138 fits with t = 97.58, 139 shrinks to 138).
namespace {
struct MarginCase {
  uint16_t tool;
  float drag;  // distance from the corner (100, 0) along the segment to (100, 100)
  float tangent;  // where the new point on the segment to (0, 0) lands: 100 - tangent
};
}  // namespace

TEST_F(FilletChamfer, CornersFitWithTheirMarginsAndShrinkByTheirSteps) {
  const MarginCase cases[] = {
      {kToolInvertedFillet, 96, 96}, {kToolInvertedFillet, 97, 97}, {kToolInvertedFillet, 98, 97},
      {kToolChamfer, 97, 97},        {kToolChamfer, 98, 98},        {kToolChamfer, 99, 97},
  };
  for (const MarginCase& c : cases) {
    Objex* small = doc.addObject(kObjFloor, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    UpdateObjectBounds(small);
    run(c.tool, small, 1, {{100, c.drag}});
    SCOPED_TRACE(c.tool == kToolChamfer ? "chamfer" : "inverted fillet");
    SCOPED_TRACE(c.drag);
    EXPECT_AT(point(small, 1), 100 - c.tangent, 0);
    if (c.tool == kToolChamfer) {
      EXPECT_AT(point(small, 2), 100, c.tangent);
    } else {
      EXPECT_AT(point(small, 3), 100, c.tangent);
    }
  }
  // The standard fillet, dragged along the bisector to the value 138 and 139.
  for (const float value : {138.0f, 139.0f}) {
    Objex* small = doc.addObject(kObjFloor, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    UpdateObjectBounds(small);
    const float d = value / std::sqrt(2.0f);
    run(kToolFillet, small, 1, {{100 - d, d}});
    const float t = 138.0f * std::sqrt(0.5f);  // 97.58 either way
    SCOPED_TRACE(value);
    EXPECT_NEAR(point(small, 1)->position[0], 100 - t, 1e-2);
    EXPECT_NEAR(point(small, 3)->position[2], t, 1e-2);
  }
}
