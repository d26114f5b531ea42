// The command walkers: layer and selection tests, recursion, deletion, counting and the
// rebuild table.
#include <gtest/gtest.h>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "model/CommandWalkers.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "model/SelectionState.h"
#include "model/TransformInfo.h"

TEST(Walkers, InvisibleLayersAreSkipped) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}}, doc.second);
  SetObjectSelectFlags(a, 1);
  SetObjectSelectFlags(b, 1);
  doc.second->visible = 0;
  TransformInfo t{};
  t.delta[0] = 5;
  SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdTranslateObjects, CommandArg::Transform(&t));
  EXPECT_FLOAT_EQ(a->firstPoint->position[0], 5);
  EXPECT_FLOAT_EQ(b->firstPoint->position[0], 0);
}

// The argument goes in as the caller holds it: a transform record, the DocState, a number,
// or null for a command that needs none.
TEST(Walkers, ArgumentsPassAsTheCallerHoldsThem) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SetObjectSelectFlags(a, 1);
  TransformInfo t{};
  t.delta[0] = 5;
  SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdTranslateObjects, &t);
  EXPECT_FLOAT_EQ(a->firstPoint->position[0], 5);
  doc.ds()->snapToGrid = 0;
  doc.ds()->zoomFactor = 0.5f;
  SelectedObjectLayer(doc.first, 1, kCmdNudgeDown, doc.ds());
  EXPECT_FLOAT_EQ(a->firstPoint->position[2], 2);
  SelectedObject(a, 1, kCmdNudgeDown, nullptr);  // no DocState: nothing
  EXPECT_FLOAT_EQ(a->firstPoint->position[2], 2);
  SelectedObject(a, 1, kCmdSetSegmentTexture2, 1550);
  EXPECT_EQ(a->firstPoint->textureID[1], 1550);
  doc.ds()->setting1 = 1;
  doc.ds()->gateToolOffset = FloatPoint{0, 0};
  TopLevelObject(a, kCmdDuplicate, doc.ds());
  ASSERT_NE(a->next, nullptr);
  EXPECT_EQ(a->next->firstPoint->textureID[1], 1550);
  EXPECT_MODEL_SOUND();
}

TEST(Walkers, SelectedOnlyZeroReachesEveryObject) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* group = doc.addObject(kObjGroup, false, {});
  Objex* member = AddChild(group, kObjLine, {{0, 0}, {1, 0}});
  SelectedObjectAllLayers(doc.model.itsLayers, 0, kCmdSelectObject, CommandArg::None());
  EXPECT_TRUE(IsEntireObjectSelected(a));
  EXPECT_TRUE(IsEntireObjectSelected(member));
  // An unknown code still walks without changing anything.
  SelectedObjectAllLayers(doc.model.itsLayers, 0, 7001, CommandArg::None());
  EXPECT_MODEL_SOUND();
}

TEST(Walkers, DeletingASelectedDoorKeepsItsWall) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = AddDoor(wall, 0);
  Objex* locked = AddDoor(wall, 0);
  SetObjectSelectFlags(door, 1);
  SetObjectSelectFlags(locked, 1);
  SetObjectLockFlags(locked, 1);
  ServiceCallRecorder calls;
  SelectedObjectAllLayers(doc.model.itsLayers, 0, kCmdDelete, CommandArg::None());
  EXPECT_EQ(wall->firstChild, locked);
  EXPECT_EQ(locked->next, nullptr);
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_TRUE(calls.called("ReRenderObject", wall->objectID));
  EXPECT_EQ(gRefreshRender, 1);
  EXPECT_MODEL_SOUND();
}

TEST(Walkers, TopLevelDeleteAndCut) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* c = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SetObjectSelectFlags(a, 1);
  SetObjectSelectFlags(c, 1);
  SetObjectLockFlags(c, 1);
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdDelete, CommandArg::None());
  EXPECT_EQ(doc.first->firstObject, b);
  EXPECT_EQ(b->next, c);  // locked: kept
  SetObjectSelectFlags(b, 1);
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdCutObjects, CommandArg::None());
  EXPECT_EQ(doc.first->firstObject, c);
  EXPECT_MODEL_SOUND();
}

TEST(Walkers, CountingGroupsPerTreeAndObjects) {
  TestDocument doc;
  Objex* root = doc.addObject(kObjGroup, false, {});
  Objex* g = root;
  for (int i = 0; i < 25; ++i) g = AddChild(g, kObjGroup, {});
  AddChild(g, kObjLine, {{0, 0}, {1, 0}})->firstPoint->selected = 1;  // 26 groups in one tree
  Objex* other = doc.addObject(kObjLine, false, {{0, 0}, {1, 0}});
  SetObjectSelectFlags(other, 1);
  gObjectCount = 0;
  gOverload = 0;
  SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdCountGroups, CommandArg::None());
  EXPECT_EQ(gOverload, 1);
  gOverload = 0;
  gObjectCount = 0;
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdCountObjects, CommandArg::None());
  EXPECT_EQ(gObjectCount, 2);
  gObjectCount = 0;
}

TEST(Walkers, NudgeUsesGridOrScreenUnit) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SetObjectSelectFlags(a, 1);
  doc.ds()->snapToGrid = 0;
  doc.ds()->zoomFactor = 0.5f;
  SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdNudgeDown, CommandArg::Doc(doc.ds()));
  EXPECT_FLOAT_EQ(a->firstPoint->position[2], 2);
  EXPECT_FLOAT_EQ(a->bounds3D.floatFront, 2);
  SelectedObjectAllLayers(doc.model.itsLayers, 1, kCmdNudgeDown, CommandArg::None());  // no DocState
  EXPECT_FLOAT_EQ(a->firstPoint->position[2], 2);
}

TEST(Walkers, DuplicateCommandCopiesCountTimes) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SetObjectSelectFlags(a, 1);
  doc.ds()->setting1 = 2;
  doc.ds()->gateToolOffset = FloatPoint{0, 0};
  ServiceCallRecorder calls;
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdDuplicate, CommandArg::Doc(doc.ds()));
  int n = 0;
  for (Objex* o = doc.first->firstObject; o; o = o->next) ++n;
  EXPECT_EQ(n, 3);
  EXPECT_EQ(calls.count("ReRenderObject"), 2u);
  EXPECT_MODEL_SOUND();
}

// Mirrored copies, like duplicates, are made only when the caller hands an argument over;
// the copy is left unselected.
TEST(Walkers, MirroredCopiesNeedAnArgument) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SetObjectSelectFlags(a, 1);
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdMirrorHorizontal, CommandArg::None());
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdMirrorVertical, CommandArg::None());
  EXPECT_EQ(a->next, nullptr);
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdMirrorHorizontal, CommandArg::Doc(doc.ds()));
  ASSERT_NE(a->next, nullptr);
  EXPECT_FALSE(IsObjectSelected(a->next));
  EXPECT_EQ(a->next->next, nullptr);
  EXPECT_MODEL_SOUND();
}

TEST(Walkers, RebuildTableRows) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  Objex* topo = doc.addObject(kObjTopography, true, {{0, 0}});
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}});
  ServiceCallRecorder calls;
  EXPECT_TRUE(RebuildObject(wall, kRebuildBasic));
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  EXPECT_FALSE(RebuildObject(topo, kRebuildBasic));
  EXPECT_FALSE(calls.called("SetLotElevation"));
  EXPECT_TRUE(RebuildObject(topo, kRebuildLot));
  EXPECT_TRUE(calls.called("SetLotElevation"));
  EXPECT_FALSE(RebuildObject(line, kRebuildLot | kRebuildExcavation));
}

TEST(Walkers, SelectionStateSummaries) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  a->baseElevation = 7;
  SetObjectSelectFlags(a, 1);
  ClearSelectionState40(doc.ds(), &doc.ds()->selectionState40);
  TopLevelObjectAllLayers(doc.model.itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(doc.ds()));
  EXPECT_FLOAT_EQ(doc.ds()->selectionState40.ssBaseElevationValue, 7);
  EXPECT_EQ(doc.ds()->selectionState40.ssBaseElevation, 1);
}
