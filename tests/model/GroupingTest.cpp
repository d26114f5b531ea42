// Groups and family-tree queries, nudging, smoothing and type-data release.
#include <gtest/gtest.h>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "model/CommandWalkers.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Selection.h"

namespace {

int CountObjects(const Layer* l) {
  int n = 0;
  for (const Objex* o = l->firstObject; o; o = o->next) ++n;
  return n;
}

}  // namespace

TEST(Grouping, GroupThroughTheWalkersThenUngroupKeepsInnerGroups) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* inner = doc.addObject(kObjGroup, false, {});
  Objex* member = AddChild(inner, kObjLine, {{0, 5}, {10, 5}});
  SetObjectSelectFlags(a, 1);
  SetObjectSelectFlags(inner, 1);
  gGroupLeader = nullptr;
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdGroup, CommandArg::None());
  Objex* group = gGroupLeader;
  gGroupLeader = nullptr;
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(CountObjects(doc.first), 1);
  EXPECT_EQ(group->firstChild, a);
  EXPECT_EQ(a->next, inner);
  EXPECT_EQ(inner->parent, group);
  EXPECT_TRUE(IsObjectGrouped(a));
  EXPECT_MODEL_SOUND();

  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUngroup, CommandArg::None());
  EXPECT_EQ(CountObjects(doc.first), 2);
  EXPECT_EQ(doc.first->firstObject, a);
  EXPECT_EQ(inner->parent, nullptr);
  EXPECT_EQ(inner->firstChild, member);  // the inner group stays whole
  EXPECT_FALSE(IsObjectSelected(a));
  EXPECT_MODEL_SOUND();
}

TEST(Grouping, FamilyTreeQueries) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  Objex* door = AddDoor(wall, 0);
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {10, 0}, {10, 10}});
  AddChild(roof, kObjSkylight, {{1, 1}});
  Objex* outer = doc.addObject(kObjGroup, false, {});
  Objex* inner = AddChild(outer, kObjGroup, {});
  Objex* deep = AddChild(inner, kObjLine, {{0, 0}, {1, 0}});
  EXPECT_FALSE(IsObjectGrouped(wall));
  EXPECT_FALSE(IsObjectGrouped(door));
  EXPECT_TRUE(IsObjectGrouped(roof));
  EXPECT_TRUE(IsObjectGrouped(outer));
  EXPECT_EQ(GetRootObject(deep), outer);
  EXPECT_EQ(GetRootObject(static_cast<Objex*>(nullptr)), nullptr);
  EXPECT_FALSE(IsObjectLocked(outer));
  deep->firstPoint->next->locked = 1;
  EXPECT_TRUE(IsObjectLocked(outer));
  EXPECT_FALSE(IsObjectUndetectable(outer));
  deep->firstPoint->detectable = 0;
  EXPECT_TRUE(IsObjectUndetectable(outer));
}

TEST(Nudging, DirectionsByWorkingPlane) {
  TestDocument doc;
  Objex* line = doc.addObject(kObjLine, false, {{10, 20}, {30, 40}});
  line->firstPoint->selected = 1;
  doc.ds()->viewPlane = 2;
  NudgeObject(line, 3, 0);  // up in the plan: z decreases
  EXPECT_FLOAT_EQ(line->firstPoint->position[2], 17);
  EXPECT_FLOAT_EQ(line->firstPoint->next->position[2], 40);  // unselected: stays
  NudgeObject(line, 3, 3);
  EXPECT_FLOAT_EQ(line->firstPoint->position[0], 13);
  doc.ds()->viewPlane = 1;
  NudgeObject(line, 2, 0);
  EXPECT_FLOAT_EQ(line->firstPoint->position[1], -2);
  doc.ds()->viewPlane = 3;
  NudgeObject(line, 2, 1);
  EXPECT_FLOAT_EQ(line->firstPoint->position[2], 15);
  NudgeObject(line, 2, 7);  // no such direction
  EXPECT_FLOAT_EQ(line->firstPoint->position[2], 15);
  doc.ds()->viewPlane = 2;
}

TEST(Nudging, RoofMovesOnlyItsSelectedSkylight) {
  TestDocument doc;
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {100, 0}, {100, 100}});
  Objex* sky = AddChild(roof, kObjSkylight, {{10, 10}, {20, 10}});
  sky->typeData = calloc(1, sizeof(RoofAttachmentData));
  SetObjectSelectFlags(sky, 1);
  NudgeObject(roof, 5, 2);
  EXPECT_FLOAT_EQ(sky->firstPoint->position[2], 15);
  EXPECT_FLOAT_EQ(roof->firstPoint->position[2], 0);
  // A whole roof carries its skylight, which ends deselected.
  SetObjectSelectFlags(roof, 1);
  NudgeObject(roof, 5, 2);
  EXPECT_FLOAT_EQ(roof->firstPoint->position[2], 5);
  EXPECT_FLOAT_EQ(sky->firstPoint->position[2], 20);
}

TEST(Smoothing, ClosedTriangleAtDefaultTension) {
  TestDocument doc;
  ASSERT_EQ(doc.ds()->curveTension, 8);
  Objex* tri = doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {50, 80}});
  SmoothObject(tri);
  const float expect[3][2] = {{0.8f * (100 - 50), 0.8f * (0 - 80)},
                              {0.8f * (50 - 0), 0.8f * (80 - 0)},
                              {0.8f * (0 - 100), 0.8f * (0 - 0)}};
  int i = 0;
  for (Poinz* p = tri->firstPoint; p; p = p->next, ++i) {
    EXPECT_FLOAT_EQ(p->outHandle[0], expect[i][0]);
    EXPECT_FLOAT_EQ(p->outHandle[2], expect[i][1]);
    EXPECT_FLOAT_EQ(p->inHandle[0], expect[i][0]);
    EXPECT_FLOAT_EQ(p->inHandle[2], expect[i][1]);
    EXPECT_FLOAT_EQ(p->outHandle[1], 0);
  }
  UnsmoothObject(tri);
  EXPECT_FLOAT_EQ(tri->firstPoint->outHandle[0], 0);
}

TEST(Smoothing, TensionFactorAndUnsmoothingWithoutADocument) {
  TestDocument doc;
  // The factor is tension / 10 in double precision: 0.8 x 9 rounds to 7.2f, not to
  // the 7.2000003f that 0.8f x 9 gives.
  Objex* tri = doc.addObject(kObjClosedPoly, true, {{0, 0}, {9, 0}, {9, 9}});
  SmoothObject(tri);
  Poinz* second = tri->firstPoint->next;
  EXPECT_EQ(second->outHandle[0], 7.2f);
  EXPECT_EQ(second->inHandle[2], 7.2f);
  // Zeroing handles reads nothing from the document, so it works without one.
  gCurDocument = nullptr;
  UnsmoothObject(tri);
  EXPECT_EQ(second->outHandle[0], 0);
  EXPECT_EQ(second->inHandle[2], 0);
  SmoothObject(tri);  // smoothing needs the tension and plane: nothing happens
  EXPECT_EQ(second->outHandle[0], 0);
  second->outHandle[0] = 3;
  second->selected = 1;
  UnsmoothSelectedObject(tri);
  EXPECT_EQ(second->outHandle[0], 0);
  gCurDocument = &doc.model;
}

TEST(Smoothing, OpenLinesKeepTheirEndsAndSelectionLimits) {
  TestDocument doc;
  Objex* line = doc.addObject(kObjOpenPoly, false, {{0, 0}, {50, 50}, {100, 0}});
  SmoothObject(line);
  EXPECT_FLOAT_EQ(line->firstPoint->outHandle[0], 0);
  EXPECT_FLOAT_EQ(line->firstPoint->next->outHandle[0], 80);
  EXPECT_FLOAT_EQ(line->firstPoint->next->next->inHandle[0], 0);
  UnsmoothObject(line);
  Objex* tri = doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {50, 80}});
  tri->firstPoint->selected = 1;
  SmoothSelectedObject(tri);
  EXPECT_FLOAT_EQ(tri->firstPoint->outHandle[0], 40);
  EXPECT_FLOAT_EQ(tri->firstPoint->next->outHandle[0], 0);
  doc.ds()->curveTension = 0;
  SmoothObject(tri);
  EXPECT_FLOAT_EQ(tri->firstPoint->outHandle[0], 0);
  doc.ds()->curveTension = 8;
  // Only curve-capable kinds are smoothed by the menu command; others are deselected.
  line->firstPoint->selected = 1;
  ObjectSmoothing(line);
  EXPECT_FLOAT_EQ(line->firstPoint->next->outHandle[0], 0);
  EXPECT_FALSE(IsObjectSelected(line));
}
