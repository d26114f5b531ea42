// The moving commands refuse, whole and with an alert, a step that would leave a point off
// the plan or not a number; a step that fits goes ahead.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "model/CommandWalkers.h"
#include "model/HitTest.h"
#include "model/Selection.h"
#include "model/TransformGuard.h"
#include "model/TransformInfo.h"
#include "platform/Alerts.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Every point position of the layers, in order.
std::vector<float> Positions(const ZLKDocumentModel& model) {
  std::vector<float> out;
  for (Layer* l = model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      for (Poinz* p = o->firstPoint; p; p = p->next) out.insert(out.end(), p->position, p->position + 3);
  return out;
}

struct Case {
  const char* name;
  int32_t cmd;
  TransformInfo t;
  float gridSnap;  // nudges: the snap spacing, snapping on (0: snapping off)
  bool fits;
  const char* alert;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

TransformInfo Delta(float dx, float dz) {
  TransformInfo t{};
  t.delta[0] = dx;
  t.delta[2] = dz;
  return t;
}
TransformInfo Turn(float angle, float cx = 0, float cz = 0) {
  TransformInfo t{};
  t.angle = angle;
  t.centre[0] = cx;
  t.centre[2] = cz;
  return t;
}
TransformInfo Factor(float sx, float sz) {
  TransformInfo t{};
  t.scale[0] = sx;
  t.scale[2] = sz;
  return t;
}
TransformInfo ShearTo(float to) {
  TransformInfo t{};
  t.shearFrom[0] = t.shearFrom[2] = 10;
  t.shearTo[0] = to;
  t.shearTo[2] = 10;
  return t;
}

const Case kCases[] = {
    {"move by 10", kCmdTranslateObjects, Delta(10, 0), 0, true, nullptr},
    {"move by nan", kCmdTranslateObjects, Delta(kNaN, 0), 0, false, "Unable to move the objects."},
    {"move by inf", kCmdTranslateObjects, Delta(0, kInf), 0, false, "Unable to move the objects."},
    {"move past the edge", kCmdTranslateObjects, Delta(999950, 0), 0, false, "Unable to move the objects."},
    {"move to just inside", kCmdTranslateObjects, Delta(999000, 0), 0, true, nullptr},
    {"move plan by 1e30", kCmdMovePlan, Delta(1e30f, 0), 0, false, "Unable to move the objects."},
    {"rotate by a quarter", kCmdRotateObjects, Turn(1.5707964f), 0, true, nullptr},
    {"rotate by nan", kCmdRotateObjects, Turn(kNaN), 0, false, "Unable to rotate the objects."},
    {"rotate about an infinite centre", kCmdRotateObjects, Turn(1, kInf), 0, false, "Unable to rotate the objects."},
    {"rotate about a far centre", kCmdRotateObjects, Turn(3.1415927f, 600000), 0, false,
     "Unable to rotate the objects."},
    {"rotate plan by nan", kCmdRotatePlan, Turn(kNaN), 0, false, "Unable to rotate the objects."},
    {"resize by 2", kCmdScaleObjects, Factor(2, 2), 0, true, nullptr},
    {"resize by 1e30", kCmdScaleObjects, Factor(1e30f, 1), 0, false, "Unable to resize the objects."},
    // A factor that is not finite leaves its axis alone (as from a zero extent).
    {"resize by nan across", kCmdScaleObjects, Factor(kNaN, 2), 0, true, nullptr},
    {"shear to inf", kCmdShearObjects, ShearTo(kInf), 0, false, "Unable to shear the objects."},
    {"shear far", kCmdShearObjects, ShearTo(1e12f), 0, false, "Unable to shear the objects."},
    {"nudge a pixel", kCmdNudgeRight, {}, 0, true, nullptr},
    {"nudge by a nan snap", kCmdNudgeRight, {}, kNaN, false, "Unable to nudge the objects."},
    {"nudge by a huge snap", kCmdNudgeUp, {}, 1e30f, false, "Unable to nudge the objects."},
    {"nudge by a 1' snap", kCmdNudgeDown, {}, 12, true, nullptr},
};

class TransformGuard : public ::testing::TestWithParam<Case> {};

TEST_P(TransformGuard, RefusesWholeWithAnAlertOrMoves) {
  const Case& c = GetParam();
  TestDocument doc;
  doc.ds()->viewPlane = 2;
  doc.ds()->zoomFactor = 1;
  doc.ds()->snapToGrid = c.gridSnap != 0 ? 1 : 0;
  doc.ds()->gridSnap = FloatPoint{c.gridSnap, c.gridSnap};
  Objex* a = doc.addObject(kObjClosedPoly, true, {{-50, -50}, {50, -50}, {50, 50}, {-50, 50}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}}, doc.second);
  SetObjectSelectFlags(a, 1);
  SetObjectSelectFlags(b, 1);
  const std::vector<float> before = Positions(doc.model);
  TransformInfo t = c.t;
  const CommandArg arg = c.cmd >= kCmdNudgeUp && c.cmd <= kCmdNudgeRight ? CommandArg::Doc(doc.ds())
                                                                          : CommandArg::Transform(&t);
  ScopedAlertRecorder alerts;
  const bool applied = SelectedObjectAllLayers(doc.model.itsLayers, 1, c.cmd, arg);
  EXPECT_EQ(applied, c.fits);
  const std::vector<float> after = Positions(doc.model);
  for (float v : after) EXPECT_TRUE(IsPlanCoordinateValid(v)) << v;
  if (c.fits) {
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_NE(after, before);
  } else {
    EXPECT_EQ(after, before);  // nothing moved, on either floor
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, c.alert);
  }
  EXPECT_MODEL_SOUND();
}

INSTANTIATE_TEST_SUITE_P(Commands, TransformGuard, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

TEST(TransformGuardWalk, OnlyThePointsTheCommandMovesCount) {
  TestDocument doc;
  doc.ds()->viewPlane = 2;
  Objex* moving = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  // An object near the edge that is not selected stays where it is, and does not stop the move.
  Objex* still = doc.addObject(kObjLine, false, {{900000, 0}, {900010, 0}});
  SetObjectSelectFlags(moving, 1);
  TransformInfo t = Delta(200000, 0);
  ScopedAlertRecorder alerts;
  EXPECT_TRUE(SelectedObjectAllLayers(doc.model.itsLayers, 0, kCmdTranslateObjects, CommandArg::Transform(&t)));
  EXPECT_FLOAT_EQ(moving->firstPoint->position[0], 200000);
  EXPECT_FLOAT_EQ(still->firstPoint->position[0], 900000);
  // Moving the whole plan moves it too, and so is refused.
  EXPECT_FALSE(SelectedObjectAllLayers(doc.model.itsLayers, 0, kCmdMovePlan, CommandArg::Transform(&t)));
  EXPECT_FLOAT_EQ(still->firstPoint->position[0], 900000);
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST(TransformGuardWalk, OneLayerAndOneObjectAreCheckedToo) {
  TestDocument doc;
  doc.ds()->viewPlane = 2;
  Objex* o = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SetObjectSelectFlags(o, 1);
  TransformInfo t = Delta(kNaN, 0);
  ScopedAlertRecorder alerts;
  EXPECT_FALSE(SelectedObjectLayer(doc.first, 1, kCmdTranslateObjects, CommandArg::Transform(&t)));
  EXPECT_FALSE(SelectedObject(o, 1, kCmdTranslateObjects, CommandArg::Transform(&t)));
  EXPECT_FLOAT_EQ(o->firstPoint->position[0], 0);
  EXPECT_EQ(alerts.shown.size(), 2u);
  // Commands that move nothing are not checked.
  EXPECT_TRUE(SelectedObject(o, 1, kCmdSelectObject, CommandArg::None()));
}

// The walk of one top-level object (a point drag's whole selection) does what the walk over the
// layers does with that selection: the one point moved or turned, a step off the plan or not a
// number refused with the alert, nothing on a hidden layer.
TEST(TransformGuardWalk, OneTopLevelObjectAsTheWalkOverTheLayers) {
  struct Result {
    bool applied = false;
    std::vector<float> positions;
    size_t alerts = 0;
    bool moved = false;
  };
  struct Step {
    const char* what;
    int32_t cmd;
    TransformInfo t;
    bool hidden;
    bool fits;
  };
  const Step steps[] = {
      {"move by 10", kCmdTranslateObjects, Delta(10, 5), false, true},
      {"move past the edge", kCmdTranslateObjects, Delta(999950, 0), false, false},
      {"move by nan", kCmdTranslateObjects, Delta(kNaN, 0), false, false},
      {"rotate by a quarter", kCmdRotateObjects, Turn(1.5707964f, 5, 5), false, true},
      {"move on a hidden layer", kCmdTranslateObjects, Delta(10, 0), true, true},
  };
  for (const Step& step : steps) {
    auto run = [&step](bool wholeWalk) {
      TestDocument doc;
      doc.ds()->viewPlane = 2;
      Objex* held = doc.addObject(kObjClosedPoly, true, {{0, 0}, {50, 0}, {50, 50}});
      doc.addObject(kObjLine, false, {{0, 90}, {10, 90}}, doc.second);
      held->firstPoint->next->selected = 1;
      doc.first->visible = step.hidden ? 0 : 1;
      TransformInfo t = step.t;
      ScopedAlertRecorder alerts;
      Result r;
      const std::vector<float> before = Positions(doc.model);
      r.applied = wholeWalk ? SelectedObjectAllLayers(doc.model.itsLayers, 1, step.cmd, CommandArg::Transform(&t))
                            : SelectedTopLevelObject(held, 1, step.cmd, CommandArg::Transform(&t));
      doc.first->visible = 1;
      r.positions = Positions(doc.model);
      r.alerts = alerts.shown.size();
      r.moved = r.positions != before;
      return r;
    };
    const Result walked = run(true), alone = run(false);
    EXPECT_EQ(alone.applied, step.fits) << step.what;
    EXPECT_EQ(alone.applied, walked.applied) << step.what;
    EXPECT_EQ(alone.positions, walked.positions) << step.what;
    EXPECT_EQ(alone.alerts, walked.alerts) << step.what;
    EXPECT_EQ(alone.alerts, step.fits ? 0u : 1u) << step.what;
    EXPECT_EQ(alone.moved, step.fits && !step.hidden) << step.what;
  }
}

// Group members near the plan's edge: a member anywhere down the group's tree that a step would
// carry off the plan refuses the step for the whole selection, and a step that keeps every
// member inside moves them all.
TEST(TransformGuardWalk, GroupMembersNearTheEdgeAtAnyDepth) {
  struct Row {
    const char* what;
    int depth;  // 1: a member of the selected group; 2: a member of a group inside it
    float dx;
    bool fits;
  };
  const Row rows[] = {
      {"a member moved to just inside", 1, 5, true},
      {"a member moved past the edge", 1, 20, false},
      {"a nested member moved to just inside", 2, 5, true},
      {"a nested member moved past the edge", 2, 20, false},
      {"a nested member moved back from the edge", 2, -20, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TestDocument doc;
    doc.ds()->viewPlane = 2;
    Objex* outer = doc.addObject(kObjGroup, false, {});
    AddChild(outer, kObjLine, {{0, 0}, {10, 0}});
    Objex* holder = outer;
    if (r.depth == 2) holder = AddChild(outer, kObjGroup, {});
    Objex* edge = AddChild(holder, kObjLine, {{999980, 0}, {999990, 0}});
    Objex* other = doc.addObject(kObjLine, false, {{0, 50}, {10, 50}}, doc.second);
    SetObjectSelectFlags(outer, 1);
    SetObjectSelectFlags(other, 1);
    const std::vector<float> before = Positions(doc.model);
    TransformInfo t = Delta(r.dx, 0);
    ScopedAlertRecorder alerts;
    EXPECT_EQ(SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdTranslateObjects, CommandArg::Transform(&t)),
              r.fits);
    EXPECT_EQ(alerts.shown.size(), r.fits ? 0u : 1u);
    const float moved = r.fits ? r.dx : 0;
    EXPECT_FLOAT_EQ(edge->firstPoint->next->position[0], 999990 + moved);
    EXPECT_FLOAT_EQ(outer->firstChild->firstPoint->position[0], moved);
    EXPECT_FLOAT_EQ(other->firstPoint->position[0], moved);
    if (!r.fits) {
      EXPECT_EQ(Positions(doc.model), before);
    }
    EXPECT_MODEL_SOUND();
  }
}

TEST(TransformGuardLimits, PlanCoordinatesStayStrictlyInsideWhatTheReaderTakes) {
  EXPECT_TRUE(IsPlanCoordinateValid(0));
  EXPECT_TRUE(IsPlanCoordinateValid(-999999));
  EXPECT_FALSE(IsPlanCoordinateValid(kPlanCoordinateLimit));
  EXPECT_FALSE(IsPlanCoordinateValid(-kPlanCoordinateLimit));
  EXPECT_FALSE(IsPlanCoordinateValid(kNaN));
  EXPECT_FALSE(IsPlanCoordinateValid(-kInf));
}

}  // namespace
