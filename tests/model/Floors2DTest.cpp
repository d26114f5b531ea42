// Moving objects between layers, the 2D view layers, floor clamps, wall kinds and
// flattening curves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/Floors2D.h"
#include "model/HitTest.h"
#include "model/ParallelObjects.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "model/WallFields.h"

TEST(Floors2D, MoveTakesTheWholeChildTree) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjGroup, false, {});
  Objex* b = doc.addObject(kObjLine, false, {{0, 0}});
  Objex* child = doc.addObject(kObjLine, false, {{1, 1}});
  UnlinkObject(child);
  a->firstChild = child;
  child->parent = a;
  Objex* grandchild = doc.addObject(kObjLine, false, {{2, 2}});
  UnlinkObject(grandchild);
  child->firstChild = grandchild;
  grandchild->parent = child;
  Move2DObject(a, doc.third);
  EXPECT_EQ(doc.first->firstObject, b);
  EXPECT_EQ(b->prev, nullptr);
  EXPECT_EQ(doc.third->firstObject, a);
  EXPECT_EQ(a->layer, doc.third);
  EXPECT_EQ(child->layer, doc.third);
  EXPECT_EQ(grandchild->layer, doc.third);
  Move2DObject(nullptr, doc.first);
  Move2DObject(b, nullptr);
  EXPECT_EQ(b->layer, doc.first);
}

namespace {

int CountPoints(const Objex* o) {
  int n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

int CountLayers(const ZLKDocumentModel& m) {
  int n = 0;
  for (const Layer* l = m.itsLayers; l; l = l->next) ++n;
  return n;
}

}  // namespace

TEST(Floors2D, ViewLayersAreMadeOnceAtTheEnd) {
  TestDocument doc;
  Layer* left = Get2DViewLayer(kCmdViewLeft);
  ASSERT_NE(left, nullptr);
  EXPECT_STREQ(left->name, "X_LEFT");
  EXPECT_EQ(doc.third->next, left);
  EXPECT_EQ(Get2DViewLayer(kCmdViewLeft), left);
  EXPECT_EQ(CountLayers(doc.model), 4);

  doc.model.itsCurLayer = doc.second;
  Layer* top2 = Get2DViewLayer(kCmdViewTop);
  EXPECT_STREQ(top2->name, "X_TOP_SECOND_FLOOR");
  // Without all three floors the top view has one layer.
  strcpy(doc.third->name, "Attic");
  EXPECT_STREQ(Get2DViewLayer(kCmdViewTop)->name, "X_TOP_FIRST_FLOOR");
  strcpy(doc.third->name, "Third Floor");

  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_EQ(Get2DViewLayer(kCmdViewLeft), nullptr);
  gCurDocument = saved;
}

TEST(Floors2D, ViewLayerVisibilityFollowsTheFloors) {
  TestDocument doc;
  Layer* topFirst = Get2DViewLayer(kCmdViewTop);
  doc.model.itsCurLayer = doc.second;
  Layer* topSecond = Get2DViewLayer(kCmdViewTop);
  Layer* front = Get2DViewLayer(kCmdViewFront);
  Layer* back = Get2DViewLayer(kCmdViewBack);
  doc.second->visible = 0;
  Set2DViewLayerVisibility(back);
  EXPECT_EQ(topFirst->visible, 1);
  EXPECT_EQ(topFirst->selectable, 0);
  EXPECT_EQ(topSecond->visible, 0);
  EXPECT_EQ(front->visible, 0);
  EXPECT_EQ(back->visible, 1);
  EXPECT_EQ(back->selectable, 1);
  EXPECT_EQ(doc.first->visible, 1);  // floors are untouched
  EXPECT_EQ(doc.first->selectable, 1);
}

TEST(Floors2D, AnnotationMovesToTheViewLayer) {
  TestDocument doc;
  Objex* box = doc.addObject(kObjDimensionInfo, true, {{0, 0}});
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {1, 0}});
  Objex* group = doc.addObject(kObjGroup, false, {});
  Objex* member = doc.addObject(200, false, {{0, 0}});
  UnlinkObject(member);
  group->firstChild = member;
  member->parent = group;
  member->layer = group->layer;
  doc.addObject(kObjGroup, false, {});  // empty group: skipped
  Move2DObjectsTo2DLayer(doc.first, kCmdViewRight);
  Layer* right = GetLayerFromName("X_RIGHT");
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(right->firstObject, box);
  EXPECT_EQ(box->next, group);
  EXPECT_EQ(member->layer, right);
  EXPECT_EQ(doc.first->firstObject, line);
  // The view layer's own objects stay put (and the walk ends).
  Move2DObjectsTo2DLayer(right, kCmdViewRight);
  EXPECT_EQ(right->firstObject, box);
  EXPECT_MODEL_SOUND();
}

TEST(Floors2D, WallKinds) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {10, 0}, {10, 10}});
  wall->planMask = 1;
  wall->subtype = kSubExteriorWall;
  SetObjectSelectFlags(wall, 1);
  ServiceCallRecorder calls;
  ConvertWallToInterior(wall);
  EXPECT_EQ(wall->planMask, 2);
  EXPECT_EQ(wall->subtype, 0);
  EXPECT_FLOAT_EQ(wall->params[2], 0.5f);
  EXPECT_EQ(wall->options[0], 1);
  EXPECT_FALSE(IsObjectSelected(wall));
  EXPECT_TRUE(calls.called("RenderSingleObject", wall->objectID));
  wall->planMask = 1;
  ConvertWallToExterior(wall);
  EXPECT_EQ(wall->planMask, 1);
  EXPECT_EQ(wall->subtype, kSubExteriorWall);
  EXPECT_EQ(wall->options[0], 0);
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}});
  ConvertWallToInterior(line);
  EXPECT_EQ(line->options[0], 0);
}

TEST(Floors2D, DoorsAndPointsKeepBelowTheFloorTop) {
  TestDocument doc;
  doc.ds()->planScale = 72;  // plan units are inches
  doc.first->height = 80;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  wall->firstPoint->position[1] = 90;
  Objex* door = AddDoor(wall, 0);
  AttachmentData(door)->height = 80;
  ScaleObjectToWallHeight(wall);
  EXPECT_FLOAT_EQ(AttachmentData(door)->height, 74);
  EXPECT_FLOAT_EQ(AttachmentData(door)->elevation, 0);
  EXPECT_FLOAT_EQ(wall->firstPoint->position[1], 80);
  // An opening above the limit drops to fit.
  AttachmentData(door)->elevation = 100;
  AttachmentData(door)->height = 10;
  ScaleObjectToWallHeight(door);
  EXPECT_FLOAT_EQ(AttachmentData(door)->height, 0);
  EXPECT_FLOAT_EQ(AttachmentData(door)->elevation, 74);

  // On the second floor the top is 80 + 96.
  Objex* up = doc.addObject(kObjLine, false, {{0, 0}}, doc.second);
  up->firstPoint->position[1] = 200;
  ScaleLayerToWallHeight(doc.second);
  EXPECT_FLOAT_EQ(up->firstPoint->position[1], 176);
  RaiseLayerToBaseHeight(doc.second, 4);
  EXPECT_FLOAT_EQ(up->firstPoint->position[1], 180);
  RaiseObjectToBaseHeight(wall, 2);
  EXPECT_FLOAT_EQ(door->firstPoint->position[1], 2);
}

// Every floor its own height, so that a step taken from the wrong floor shows: a move up
// rises by the height of the floor left, a move down sinks by that of the floor entered.
// Walls entering the first or second floor take that floor's plan.
TEST(Floors2D, FloorMovesStepByTheFloorBelowTheBoundary) {
  struct Case {
    int from;
    int32_t command;
    float base, expected;
    int32_t mask;
  };
  const Case cases[] = {
      {0, kCmdMoveToUpperFloor, 0, 100, 2},
      {1, kCmdMoveToUpperFloor, 100, 220, 7},
      {1, kCmdMoveToLowerFloor, 100, 0, 1},
      {2, kCmdMoveToLowerFloor, 220, 100, 7},
      // Far above and below the floors: the base still follows the segments.
      {1, kCmdMoveToUpperFloor, 12000, 12120, 7},
      {1, kCmdMoveToLowerFloor, -20000, -20100, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "from floor " << c.from << ", command " << c.command);
    TestDocument doc;
    Layer* floors[] = {doc.first, doc.second, doc.third};
    doc.first->height = 100, doc.second->height = 120, doc.third->height = 90;
    doc.model.itsCurLayer = floors[c.from];
    Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}});
    wall->baseElevation = c.base;
    wall->planMask = 7;
    for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentElevation = c.base;
    SetObjectSelectFlags(wall, 1);
    MoveToNeighboringFloor(wall, c.command);
    EXPECT_EQ(wall->layer, floors[c.command == kCmdMoveToUpperFloor ? c.from + 1 : c.from - 1]);
    EXPECT_FLOAT_EQ(wall->baseElevation, c.expected);
    for (Poinz* p = wall->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(p->segmentElevation, c.expected);
    EXPECT_EQ(wall->planMask, c.mask);
  }

  // Only the segments with both ends selected go; the wall's base stays with the lowest.
  TestDocument doc;
  doc.first->height = 100;
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}});
  wall->baseElevation = 10;
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentElevation = 10;
  wall->firstPoint->selected = wall->firstPoint->next->selected = 1;
  SendToNeighboringFloor(wall, kCmdMoveToUpperFloor);
  const float expected[] = {110, 10, 10};
  int k = 0;
  for (Poinz* p = wall->firstPoint; p; p = p->next, ++k) EXPECT_FLOAT_EQ(p->segmentElevation, expected[k]) << k;
  EXPECT_FLOAT_EQ(wall->baseElevation, 10);
}

// A wall's base is its lowest segment's elevation wherever the segments stand: high above
// and far below the floors, and up to the longest length a design takes. The last point of an
// open wall starts no segment; the closing segment of a closed wall counts.
TEST(Floors2D, AWallsBaseIsItsLowestSegmentAtAnyElevation) {
  struct Case {
    bool closed;
    std::vector<float> segments;  // each point's segment elevation, inches
    float base;
  };
  const Case cases[] = {
      {false, {12000, 15000, -5}, 12000},
      {false, {9500, 9000, 20000}, 9000},
      {false, {-15000, -20000, 0}, -20000},
      {false, {700000, 600000, 0}, 600000},
      {true, {13000, 12000, 11000}, 11000},
      {true, {-9000, -8000, -30000}, -30000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.closed ? "closed, " : "open, ") << c.base);
    TestDocument doc;
    Objex* wall = doc.addObject(kObjWall, c.closed, {{0, 0}, {100, 0}, {100, 100}});
    wall->baseElevation = 3;
    size_t k = 0;
    for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentElevation = c.segments[k++];
    WallBaseFromSegments(wall);
    EXPECT_EQ(wall->baseElevation, c.base);
  }
  // A wall of one point has no segment: its base stays.
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}});
  wall->baseElevation = 12000;
  wall->firstPoint->segmentElevation = 40;
  WallBaseFromSegments(wall);
  EXPECT_EQ(wall->baseElevation, 12000);
}

namespace {

// On a floor standing at `base`: a group whose own base elevation holds 0 (as one made while
// another floor was worked on) holding a wall, a roof on the floor's top, a cabinet raised 30
// and a nested group holding a deck and a symbol. Walls, roofs and decks stand at their own
// elevations; the symbol and the cabinet are placed by their groups (their parts' own base
// elevations, 7 and 0, mean nothing and stay).
struct GroupedBuilding {
  Objex *group, *wall, *roof, *nested, *deck, *symbol, *part, *cabinet, *box;
  float base, top;

  GroupedBuilding(TestDocument& doc, Layer* floor) {
    base = GetLayerAbsBaseHeight(floor);
    top = base + floor->height;
    group = doc.addObject(kObjGroup, false, {}, floor);
    group->baseElevation = 0;
    wall = AddChild(group, kObjWall, {{0, 0}, {100, 0}, {100, 100}});
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      BaseElevationOf(p) = base;
      WallHeightOf(p) = floor->height;
    }
    wall->baseElevation = base;
    roof = AddChild(group, kObjRoof, {{0, 0}, {100, 0}, {100, 100}});
    roof->baseElevation = top;
    cabinet = AddChild(group, kObjGroup, {});
    cabinet->subtype = kSubCabinet;
    cabinet->baseElevation = base + 30;
    box = AddChild(cabinet, kObjCabinet, {{0, 0}, {10, 0}, {10, 10}});
    box->baseElevation = 0;
    nested = AddChild(group, kObjGroup, {});
    nested->baseElevation = base;
    deck = AddChild(nested, kObjDeck, {{0, 0}, {50, 0}, {50, 50}});
    deck->baseElevation = base;
    symbol = AddChild(nested, kObjGroup, {});
    symbol->baseElevation = base;
    part = AddChild(symbol, kObjSymbolPart3D, {{0, 0}, {5, 0}, {5, 5}});
    part->baseElevation = 7;
  }

  // Everything standing dy higher, each record moved once; `groupBase` what the group holds;
  // the roof roofDy higher.
  void expectRaisedBy(float dy, float groupBase) const { expectRaisedBy(dy, groupBase, dy); }
  void expectRaisedBy(float dy, float groupBase, float roofDy) const {
    EXPECT_FLOAT_EQ(group->baseElevation, groupBase);
    for (Poinz* p = wall->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(BaseElevationOf(p), base + dy);
    EXPECT_FLOAT_EQ(wall->baseElevation, base + dy);
    EXPECT_FLOAT_EQ(roof->baseElevation, top + roofDy);
    EXPECT_FLOAT_EQ(cabinet->baseElevation, base + 30 + dy);
    EXPECT_FLOAT_EQ(box->baseElevation, 0);
    EXPECT_FLOAT_EQ(nested->baseElevation, base + dy);
    EXPECT_FLOAT_EQ(deck->baseElevation, base + dy);
    EXPECT_FLOAT_EQ(symbol->baseElevation, base + dy);
    EXPECT_FLOAT_EQ(part->baseElevation, 7);
  }
};

}  // namespace

// A group moved to the floor above or below takes its members with it, each once, by the
// step of the floor boundary.
TEST(Floors2D, AGroupsMembersGoWithItToAnotherFloor) {
  struct Case {
    int from;
    int32_t command;
    float step;
  };
  const Case cases[] = {{0, kCmdMoveToUpperFloor, 100},
                        {1, kCmdMoveToUpperFloor, 120},
                        {1, kCmdMoveToLowerFloor, -100},
                        {2, kCmdMoveToLowerFloor, -120}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "from floor " << c.from << ", command " << c.command);
    TestDocument doc;
    Layer* floors[] = {doc.first, doc.second, doc.third};
    doc.first->height = 100, doc.second->height = 120, doc.third->height = 90;
    doc.model.itsCurLayer = floors[c.from];
    const GroupedBuilding b(doc, floors[c.from]);
    SetObjectSelectFlags(b.group, 1);
    MoveToNeighboringFloor(b.group, c.command);
    EXPECT_EQ(b.group->layer, floors[c.command == kCmdMoveToUpperFloor ? c.from + 1 : c.from - 1]);
    b.expectRaisedBy(c.step, c.step);
    EXPECT_MODEL_SOUND();
  }
}

// A fence on the terrain, alone and in a group, moved to the floor above and back, and placed
// at a working elevation as dropped objects are: it stays on the terrain, its base stepping
// with the floor (as the fence tool makes it on every floor); the round trip puts it back.
TEST(Floors2D, ObjectsOnTheTerrainStayOnItMovedOrPlacedOnAFloor) {
  for (const bool grouped : {false, true}) {
    SCOPED_TRACE(grouped ? "grouped" : "alone");
    TestDocument doc;
    doc.first->height = 100, doc.second->height = 120;
    doc.model.itsCurLayer = doc.second;
    Objex* root = doc.addObject(grouped ? kObjGroup : kObjFence, false, {}, doc.second);
    Objex* fence = grouped ? AddChild(root, kObjFence, {{0, 0}, {100, 0}}) : root;
    if (!grouped) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, fence), fence);
    root->baseElevation = fence->baseElevation = 100;
    fence->auxFlag = 1;
    SetObjectSelectFlags(root, 1);
    MoveToNeighboringFloor(root, kCmdMoveToUpperFloor);
    EXPECT_EQ(root->layer, doc.third);
    EXPECT_EQ(fence->auxFlag, 1);
    EXPECT_FLOAT_EQ(fence->baseElevation, 220);
    doc.model.itsCurLayer = doc.third;
    SetObjectSelectFlags(root, 1);
    MoveToNeighboringFloor(root, kCmdMoveToLowerFloor);
    EXPECT_EQ(root->layer, doc.second);
    EXPECT_EQ(fence->auxFlag, 1);
    EXPECT_FLOAT_EQ(fence->baseElevation, 100);
    SetObjectSelectFlags(root, 1);
    gBaseElevation = 2;
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdPlaceDroppedObjects, CommandArg::Doc(doc.ds()));
    gBaseElevation = 0;
    EXPECT_EQ(fence->auxFlag, 1);
    EXPECT_FLOAT_EQ(fence->baseElevation, 124);
    EXPECT_MODEL_SOUND();
  }
}

// Elevating a group raises (or sets) it, and its members that stand at their own elevations,
// nested too, move by the group's change, each once: typing the old elevation back puts each
// where it stood. The parts a group places keep theirs. On the second and third floors.
TEST(Floors2D, ElevatingAGroupMovesItsMembersByItsChange) {
  for (const int index : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "floor " << index);
    TestDocument doc;
    Layer* floors[] = {doc.first, doc.second, doc.third};
    doc.first->height = 100, doc.second->height = 120, doc.third->height = 90;
    doc.model.itsCurLayer = floors[index];
    GroupedBuilding b(doc, floors[index]);
    SetObjectSelectFlags(b.group, 1);
    auto command = [&](int32_t cmd, float feet) {
      gBaseElevation = feet;
      TopLevelObjectAllLayers(doc.model.itsLayers, cmd, CommandArg::Doc(doc.ds()));
    };
    command(kCmdPlaceDroppedObjects, 2);  // raised by 2'
    b.expectRaisedBy(24, 24);
    command(kCmdPlaceDroppedObjects, -3);
    b.expectRaisedBy(-12, -12);
    // Set: each member moves by the group's change, whatever it stood at.
    command(kCmdElevateObjects, 3);
    b.expectRaisedBy(36, 36);
    command(kCmdElevateObjects, 1);
    b.expectRaisedBy(12, 12);
    command(kCmdElevateObjects, 0);  // back where it was made
    b.expectRaisedBy(0, 0);
    command(kCmdElevateObjects, 0);
    b.expectRaisedBy(0, 0);
    gBaseElevation = 0;
    EXPECT_MODEL_SOUND();
  }
}

// Ceiling heights of the first, second and third floors raised and lowered: the walls that
// reached the old ceiling follow, alone and in groups at any depth; a wall of its own height
// and a sloped one keep theirs; the grouped roof on the followed wall goes with it. The floors
// above move their members once.
TEST(Floors2D, WallsInGroupsFollowTheirFloorsCeilingAndTheFloorsAboveGoWithIt) {
  for (int changed = 0; changed < 3; ++changed)
    for (const float dy : {24.0f, -30.0f}) {
      SCOPED_TRACE(testing::Message() << "floor " << changed << ", change " << dy);
      TestDocument doc;
      Layer* floors[] = {doc.first, doc.second, doc.third};
      doc.first->height = 100, doc.second->height = 120, doc.third->height = 90;
      Layer* floor = floors[changed];
      const float base = GetLayerAbsBaseHeight(floor), height = floor->height;
      GroupedBuilding here(doc, floor);
      auto wallIn = [&](Objex* parent, float h) {
        Objex* w = parent ? AddChild(parent, kObjWall, {{0, 0}, {100, 0}}) : doc.addObject(kObjWall, false, {{0, 0}, {100, 0}}, floor);
        for (Poinz* p = w->firstPoint; p; p = p->next) {
          BaseElevationOf(p) = base;
          WallHeightOf(p) = h;
        }
        w->baseElevation = base;
        return w;
      };
      Objex* alone = wallIn(nullptr, height);
      Objex* deep = wallIn(here.nested, height);
      Objex* own = wallIn(here.nested, 50);
      Objex* sloped = wallIn(here.group, height);
      WallStyleOf(sloped->firstPoint) = 1;
      std::vector<GroupedBuilding> above;
      for (int i = changed + 1; i < 3; ++i) above.emplace_back(doc, floors[i]);

      floor->height = height + dy;
      RaiseWallsToCeiling(floor, dy);
      RaiseFloorsAbove(floor, dy);
      for (Objex* w : {alone, deep, here.wall})
        EXPECT_FLOAT_EQ(WallHeightOf(w->firstPoint), height + dy) << "at the ceiling";
      EXPECT_FLOAT_EQ(WallHeightOf(own->firstPoint), 50);
      EXPECT_FLOAT_EQ(WallHeightOf(sloped->firstPoint), height);
      EXPECT_FLOAT_EQ(BaseElevationOf(deep->firstPoint), base);
      here.expectRaisedBy(0, 0, dy);
      for (const GroupedBuilding& b : above) b.expectRaisedBy(dy, dy);
      EXPECT_MODEL_SOUND();
    }
}

// A house on each floor in turn, its walls at the ceiling, under gable roofs and roof panels
// whose eaves stood there, alone, grouped and nested; the ceiling raised and lowered at two plan
// scales: the roofs go with the walls. Roofs whose eaves stood elsewhere stay: above the
// ceiling, over walls of their own height, away from every wall, a panel hanging from its
// ridge, a roof placed by its cabinet group. Roofs of the floor above move once, with it.
TEST(Floors2D, RoofsOnWallsThatFollowTheCeilingGoWithThem) {
  for (const float scale : {36.0f, 100.0f})
    for (int changed = 0; changed < 3; ++changed)
      for (const float dy : {18.0f, -24.0f}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale << ", floor " << changed << ", change " << dy);
        TestDocument doc;
        doc.ds()->planScale = scale;
        Layer* floors[] = {doc.first, doc.second, doc.third};
        doc.first->height = 100, doc.second->height = 120, doc.third->height = 90;
        Layer* floor = floors[changed];
        const float base = GetLayerAbsBaseHeight(floor), height = floor->height, ceiling = base + height;
        // A closed wall around (0, 0)-(200, 100) of the given height, at x offset `at`.
        auto house = [&](float at, float h) {
          Objex* w = doc.addObject(kObjWall, true, {{at, 0}, {at + 200, 0}, {at + 200, 100}, {at, 100}}, floor);
          w->width = 6;
          for (Poinz* p = w->firstPoint; p; p = p->next) {
            BaseElevationOf(p) = base;
            WallHeightOf(p) = h;
          }
          w->baseElevation = base;
          return w;
        };
        // A roof over the house at `at` (overhanging it by 12), eaves `corner` inches above its
        // base elevation.
        auto roofOver = [&](Objex* parent, int16_t type, float at, float elevation, float corner = 0) {
          const std::initializer_list<std::pair<float, float>> c = {
              {at - 12, -12}, {at + 212, -12}, {at + 212, 112}, {at - 12, 112}};
          Objex* r = parent ? AddChild(parent, type, c) : doc.addObject(type, true, c, floor);
          r->baseElevation = elevation;
          for (Poinz* p = r->firstPoint; p; p = p->next) p->position[1] = -ConvertWorldToScreen(corner, doc.ds(), 0);
          return r;
        };
        Objex* outer = house(0, height);
        // Its whole thickness lies outside its line; a roof against its outer face, no overhang,
        // rests on it all the same.
        WallAlignmentOf(outer) = GetParallelDirection(outer) == 1 ? 2 : 1;
        const float t = ConvertWorldToScreen(outer->width, doc.ds(), 0);
        Objex* flush = doc.addObject(kObjRoof, true, {{0, -t - 60}, {200, -t - 60}, {200, -t}, {0, -t}}, floor);
        flush->baseElevation = ceiling;
        Objex* low = house(1000, height - 10);  // walls of their own height
        Objex* alone = roofOver(nullptr, kObjRoof, 0, ceiling);
        Objex* group = doc.addObject(kObjGroup, false, {}, floor);
        Objex* nested = AddChild(group, kObjGroup, {});
        Objex* grouped = roofOver(group, kObjRoof, 0, ceiling);
        Objex* deep = roofOver(nested, kObjRoof, 0, ceiling);
        Objex* panel = roofOver(nested, kObjRoofPanel, 0, ceiling);
        Objex* lifted = roofOver(nullptr, kObjRoof, 0, ceiling - 12, 12);  // eaves at the ceiling
        Objex* hanging = roofOver(nullptr, kObjRoofPanel, 0, ceiling);
        hanging->slopeAnchor() = 1;
        Objex* higher = roofOver(nullptr, kObjRoof, 0, ceiling, 12);  // eaves a foot up
        Objex* above = roofOver(nullptr, kObjRoof, 0, ceiling + 0.01f);
        Objex* overLow = roofOver(nullptr, kObjRoof, 1000, ceiling);
        Objex* away = roofOver(nullptr, kObjRoof, 3000, ceiling);
        Objex* cabinet = AddChild(group, kObjGroup, {});
        cabinet->subtype = kSubCabinet;
        Objex* placed = roofOver(cabinet, kObjRoof, 0, ceiling);
        Objex* upstairs = nullptr;
        if (floor->next) {  // at this floor's ceiling: the floor's base
          doc.model.itsCurLayer = floor->next;
          upstairs = doc.addObject(kObjRoof, true, {{0, 0}, {200, 0}, {200, 100}, {0, 100}}, floor->next);
          upstairs->baseElevation = ceiling;
        }

        floor->height = height + dy;
        RaiseWallsToCeiling(floor, dy);
        RaiseFloorsAbove(floor, dy);
        for (const Objex* r : {alone, grouped, deep, panel, flush})
          EXPECT_FLOAT_EQ(r->baseElevation, ceiling + dy) << r->type;
        EXPECT_NEAR(lifted->baseElevation, ceiling - 12 + dy, 1e-3);
        for (const Objex* r : {hanging, higher, overLow, away, placed}) EXPECT_FLOAT_EQ(r->baseElevation, ceiling);
        EXPECT_FLOAT_EQ(above->baseElevation, ceiling + 0.01f);
        EXPECT_FLOAT_EQ(WallHeightOf(low->firstPoint), height - 10);
        if (upstairs) EXPECT_FLOAT_EQ(upstairs->baseElevation, ceiling + dy);
        EXPECT_MODEL_SOUND();
      }
}

TEST(Floors2D, CurvedSegmentsBecomeStraightPieces) {
  TestDocument doc;
  Objex* curve = doc.addObject(kObjOpenPoly, false, {{0, 0}, {100, 0}});
  Poinz* a = curve->firstPoint;
  Poinz* b = a->next;
  a->outHandle[2] = 50;
  b->inHandle[2] = -50;
  doc.ds()->curveSegments = 10;
  ConvertSegmentCurveToPolygon(curve, a, b);
  EXPECT_EQ(CountPoints(curve), 11);
  EXPECT_EQ(curve->pointCount, 11);
  EXPECT_EQ(a->pointType, 9);
  EXPECT_EQ(a->segmentFlags & 3, 3);
  EXPECT_FLOAT_EQ(a->outHandle[2], 0);
  EXPECT_FLOAT_EQ(b->inHandle[2], 0);
  // The middle point lies on the old curve: x 50, z = (50 + 50) / 8 for these handles.
  Poinz* mid = PointAt(curve, 5);
  EXPECT_NEAR(mid->position[0], 50, 1e-3);
  EXPECT_NEAR(mid->position[2], 12.5, 1e-3);
  EXPECT_EQ(b->prev->next, b);
  // Straight now: nothing more happens.
  ConvertSegmentCurveToPolygon(curve, a, a->next);
  EXPECT_EQ(CountPoints(curve), 11);

  Objex* closed = doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 100}});
  doc.ds()->curveSegments = 1;
  for (Poinz* p = closed->firstPoint; p; p = p->next) {
    p->inHandle[0] = 10;
    p->outHandle[0] = 10;
  }
  ConvertObjectCurvesToPolygons(closed);
  EXPECT_EQ(CountPoints(closed), 6);  // each of the three segments in two pieces
  EXPECT_EQ(closed->pointCount, 6);
  EXPECT_MODEL_SOUND();
}

TEST(Floors2D, OpeningAClosedObjectKeepsItsLastSegment) {
  TestDocument doc;
  Objex* rect = doc.addObject(kObjRect, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  rect->firstPoint->selected = 1;
  rect->firstPoint->textureID[0] = 12;
  rect->firstPoint->segmentElevation = 3;
  PreserveConvertClosedToOpen(rect);
  EXPECT_EQ(rect->closed, 0);
  ASSERT_EQ(CountPoints(rect), 5);
  Poinz* last = PointAt(rect, 4);
  EXPECT_FLOAT_EQ(last->position[0], 0);
  EXPECT_FLOAT_EQ(last->position[2], 0);
  EXPECT_EQ(last->selected, 0);
  EXPECT_EQ(last->textureID[0], 12);
  EXPECT_FLOAT_EQ(last->segmentElevation, 3);
  PreserveConvertClosedToOpen(rect);  // open already
  EXPECT_EQ(CountPoints(rect), 5);

  // A wall's trim records stay with one point each.
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {10, 0}, {10, 10}});
  wall->firstPoint->trim1 = calloc(1, sizeof(TrimData));
  PreserveConvertClosedToOpen(wall);
  EXPECT_EQ(PointAt(wall, 3)->trim1, nullptr);
  EXPECT_MODEL_SOUND();
}
