// Walls in 3D: the body and quick-wall outlines, the working length of a segment, and the
// trimming, tidying and joining of walls with their doors kept in place.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "WallTestSupport.h"
#include "building3d/WallJoining.h"
#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Globals.h"
#include "model/PlanarTransforms.h"
#include "model/DocState.h"
#include "model/ShapeBuilders.h"
#include "model/ParallelObjects.h"
#include "model/Duplicate.h"
#include "model/Delete.h"
#include "model/CommandCodes.h"
#include "model/HitTest.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"

namespace {

struct Walls : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  Walls() {
    doc.ds()->zoomFactor = 1;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  ~Walls() override { EXPECT_MODEL_SOUND(); }
};

int CountObjects(const Layer* layer) {
  int n = 0;
  for (const Objex* o = layer->firstObject; o; o = o->next) ++n;
  return n;
}

std::vector<std::array<float, 3>> Positions(const Objex* o) {
  std::vector<std::array<float, 3>> out;
  for (const Poinz* p = o->firstPoint; p; p = p->next) out.push_back({p->position[0], p->position[1], p->position[2]});
  return out;
}

TEST_F(Walls, BodyIsTheFootprintInTwoRingsAtTheWallAndBelowItByTheFloorDepth) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  ServiceCallRecorder calls;
  Update3DWall(wall);
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  auto* body = static_cast<Objex*>(wall->typeData);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->type, kObjWallFace);
  EXPECT_EQ(body->subtype, 140);
  EXPECT_EQ(body->levels, 2);
  EXPECT_EQ(body->capped, 0);
  EXPECT_EQ(body->sourceObject, wall);
  EXPECT_EQ(body->layer, nullptr);
  EXPECT_EQ(body->prev, nullptr);
  EXPECT_EQ(body->next, nullptr);
  auto pts = Positions(body);
  ASSERT_EQ(pts.size(), 8u);  // 4 outline points per ring
  for (size_t i = 0; i < pts.size(); ++i) {
    EXPECT_NEAR(std::fabs(pts[i][2]), 4.0f, 1e-4) << i;  // half of 4 inches = 4 plan units
    EXPECT_NEAR(pts[i][1], i < 4 ? 0.0f : -1.0f, 1e-4) << i;  // 0.5 inches below
    EXPECT_TRUE(std::fabs(pts[i][0]) < 1e-4 || std::fabs(pts[i][0] - 200) < 1e-4) << i;
  }
  // The wall itself is untouched and not on its layer twice.
  EXPECT_EQ(CountPoints(wall), 2);
  EXPECT_EQ(doc.first->firstObject, wall);
  EXPECT_EQ(wall->next, nullptr);

  // A rebuild replaces the body rather than adding one.
  Update3DWall(wall);
  EXPECT_EQ(Positions(static_cast<Objex*>(wall->typeData)).size(), 8u);
}

// The body is the wall's generated outline, built with no point selected: a wall, open or
// closed, holds a selection only when it was selected itself, so that a click's walk (and the
// deselection and readouts after it) meets only what the user selected.
TEST_F(Walls, BodyIsBuiltUnselectedSoOnlyASelectedWallHoldsASelection) {
  Objex* open = AddTestWall(doc, {{0, 0}, {200, 0}, {200, 100}});
  Objex* closed = AddTestWall(doc, {{0, 300}, {200, 300}, {200, 400}, {0, 400}}, true);
  auto expectBodyUnselected = [](const Objex* wall) {
    const auto* body = static_cast<const Objex*>(wall->typeData);
    ASSERT_NE(body, nullptr);
    for (const Poinz* p = body->firstPoint; p; p = p->next) EXPECT_EQ(p->selected, 0) << wall->objectID;
  };
  auto noted = [&] {
    SelectionWalk walk;
    ClickInfo click{};
    SelectFromAllLayersNotingSelection(doc.model.itsLayers, &click, nullptr, 0, &walk);
    EXPECT_TRUE(walk.complete);
    std::vector<Objex*> out;
    for (const SelectionWalk::Noted& n : walk.selected) out.push_back(n.object);
    return out;
  };
  for (Objex* w : {open, closed}) {
    Update3DWall(w);
    expectBodyUnselected(w);
    EXPECT_FALSE(HasSelectedPointInTree(w));
    EXPECT_FALSE(IsAnyObjectSelected(w));
  }
  EXPECT_TRUE(noted().empty());

  // Selected, then rebuilt as an edit rebuilds it: the wall holds the selection, its body not.
  SelectObj(closed, kSelectOn, 0);
  Update3DWall(closed);
  expectBodyUnselected(closed);
  EXPECT_TRUE(HasSelectedPointInTree(closed));
  EXPECT_TRUE(IsAnyObjectSelected(closed));
  EXPECT_FALSE(HasSelectedPointInTree(open));
  EXPECT_EQ(noted(), std::vector<Objex*>{closed});

  SelectObj(closed, kSelectOff, 0);
  EXPECT_FALSE(HasSelectedPointInTree(closed));
  EXPECT_TRUE(noted().empty());
}

TEST_F(Walls, OnlyExteriorWallsGetAQuickWallAndTheLowestSegmentElevationCounts) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}, {200, 100}});
  BaseElevationOf(TestPointAt(wall, 0)) = 5;
  BaseElevationOf(TestPointAt(wall, 1)) = 3;
  BaseElevationOf(TestPointAt(wall, 2)) = -20;  // the open wall's last point starts no segment
  Update3DWall(wall);
  EXPECT_EQ(wall->symbol3D, nullptr);
  EXPECT_FLOAT_EQ(wall->baseElevation, 3.0f);

  wall->subtype = kSubExteriorWall;
  Update3DWall(wall);
  Objex* quick = wall->symbol3D;
  ASSERT_NE(quick, nullptr);
  EXPECT_EQ(quick->type, kObjQuickWall);
  EXPECT_EQ(quick->levels, 1);
  EXPECT_EQ(quick->next, nullptr);
  EXPECT_EQ(quick->layer, nullptr);
  // Only the body is left uncapped; the quick wall keeps the cap of a built closed outline.
  EXPECT_EQ(quick->capped, 1);
  EXPECT_EQ(static_cast<Objex*>(wall->typeData)->capped, 0);
  // The footing of 12 inches is halved twice on its way: 3 inches (6 units) to each side.
  EXPECT_NEAR(TestPointAt(quick, 0)->position[2], 6.0f, 1e-4);

  // A closed wall: one closed body around the outer and the inner face.
  Objex* room = AddTestWall(doc, {{0, 300}, {100, 300}, {100, 400}, {0, 400}}, true);
  Update3DWall(room);
  auto* body = static_cast<Objex*>(room->typeData);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->type, kObjWallFace);
  EXPECT_EQ(body->closed, 1);
  EXPECT_EQ(CountPoints(body), 20);  // two loops of 4 + 1, in two rings
}

// What the body and quick wall were built from before the builders read the band straight
// off the wall: a duplicate of the wall (without its children) turned into its band by
// MakeParallel and read back. The numbers the duplicate and its band take count, as the file
// keeps the counters.
struct BuiltPart {
  uint32_t objectID = 0;
  std::vector<std::array<uint32_t, 10>> points;  // position, in and out handles (bits), point ID
};
BuiltPart Record(const Objex* part) {
  BuiltPart r;
  if (!part) return r;
  r.objectID = part->objectID;
  for (const Poinz* p = part->firstPoint; p; p = p->next) {
    std::array<uint32_t, 10> row{};
    std::memcpy(&row[0], p->position, 12);
    std::memcpy(&row[3], p->inHandle, 12);
    std::memcpy(&row[6], p->outHandle, 12);
    row[9] = p->pointID;
    r.points.push_back(row);
  }
  return r;
}
BuiltPart BuildThroughDuplicate(Objex* wall, bool quick) {
  Objex* children = wall->firstChild;
  wall->firstChild = nullptr;
  Objex* copy = DuplicateObject(wall, nullptr, nullptr, FloatPoint{}, 0, kCmdDuplicate);
  wall->firstChild = children;
  if (quick) WallAlignmentOf(copy) = 0;
  Objex* band = MakeParallel(copy, quick ? FoundationWidthOf(wall) / 2 : wall->width, 1);
  std::vector<float> pos, in, out;
  for (const Poinz* p = band->firstPoint; p; p = p->next) {
    pos.insert(pos.end(), p->position, p->position + 3);
    in.insert(in.end(), p->inHandle, p->inHandle + 3);
    out.insert(out.end(), p->outHandle, p->outHandle + 3);
  }
  std::vector<float> lower = pos;
  const float depth = ConvertWorldToScreen(FloorDepthOf(wall), CurDocState(), 0);
  for (size_t i = 1; i < lower.size(); i += 3) lower[i] -= depth;
  const int32_t count = static_cast<int32_t>(pos.size() / 3);
  Objex* built = quick ? BuildClosedPoly(pos.data(), nullptr, in.data(), out.data(), nullptr, nullptr, count,
                                         wall->layer, 0)
                       : BuildClosedPoly(pos.data(), lower.data(), in.data(), out.data(), in.data(), out.data(),
                                         count, wall->layer, 0);
  DeleteObj(band);
  BuiltPart r = Record(built);
  UnlinkObject(built);
  built->layer = nullptr;
  DeleteObj(built);
  return r;
}

TEST_F(Walls, BodyAndQuickWallMatchTheBandOfADuplicateNumbersIncluded) {
  struct Case {
    const char* name;
    std::vector<std::pair<float, float>> pts;
    bool closed;
    int32_t alignment;
    bool exterior;
    bool profile;  // a custom trim profile on the first point
  };
  const Case cases[] = {
      {"open centred", {{0, 0}, {200, 0}, {200, 100}}, false, 0, false, false},
      {"closed side 7", {{0, 300}, {100, 300}, {100, 400}, {0, 400}}, true, 1, false, false},
      {"open side 8 exterior", {{-0.0f, -0.0f}, {0, 150}, {-80, 150}}, false, 2, true, false},
      {"closed centred exterior with a profile", {{10, 10}, {90, 10}, {50, 70}}, true, 0, true, true},
      {"single point", {{5, 5}}, false, 0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Objex* wall = doc.addObject(kObjWall, c.closed, {}, nullptr);
    for (auto [x, z] : c.pts) {
      Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, wall);
      AppendPointToObject(p, wall);
      p->trim1 = TestWallSide(0);
      p->trim2 = TestWallSide(0);
    }
    wall->width = 4;
    FloorDepthOf(wall) = 0.5f;
    FoundationWidthOf(wall) = 12;
    WallAlignmentOf(wall) = c.alignment;
    wall->subtype = c.exterior ? kSubExteriorWall : 0;
    // Handles on the wall travel into a band that keeps the wall's own outline.
    wall->firstPoint->inHandle[0] = 3;
    wall->firstPoint->outHandle[2] = -2;
    if (c.profile) {
      Objex* profile = CreateObject(kObjClosedPoly, 1, 1, nullptr, nullptr, 1, 0, 0, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr);
      for (float x : {0.0f, 1.0f, 2.0f})
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, x, 0, 0, 0, 0, 0, 0, 0, profile), profile);
      static_cast<TrimData*>(wall->firstPoint->trim1)->profileA = profile;
    }
    UpdateObjectBounds(wall);

    DocState* ds = doc.ds();
    const uint32_t objects = ds->nextObjectID, points = ds->nextPointID;
    const BuiltPart body = BuildThroughDuplicate(wall, false);
    const BuiltPart quick = c.exterior ? BuildThroughDuplicate(wall, true) : BuiltPart{};
    const uint32_t objectsAfter = ds->nextObjectID, pointsAfter = ds->nextPointID;

    ds->nextObjectID = objects;
    ds->nextPointID = points;
    Update3DWall(wall);
    const BuiltPart builtBody = Record(static_cast<Objex*>(wall->typeData));
    EXPECT_EQ(builtBody.objectID, body.objectID);
    EXPECT_EQ(builtBody.points, body.points);
    ASSERT_FALSE(body.points.empty());
    if (c.exterior) {
      ASSERT_NE(wall->symbol3D, nullptr);
      const BuiltPart builtQuick = Record(wall->symbol3D);
      EXPECT_EQ(builtQuick.objectID, quick.objectID);
      EXPECT_EQ(builtQuick.points, quick.points);
    }
    EXPECT_EQ(ds->nextObjectID, objectsAfter);
    EXPECT_EQ(ds->nextPointID, pointsAfter);
  }
}

TEST_F(Walls, WorkingLengthOfASegment) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {60, 80}});
  float start = -1, length = -1;
  EXPECT_FLOAT_EQ(GetWallSegmentWorkingLength(0, 0, wall->firstPoint, wall->firstPoint->next, &start, &length),
                  105.0f);
  EXPECT_FLOAT_EQ(start, 0.0f);
  EXPECT_FLOAT_EQ(length, 100.0f);
  start = length = -1;
  EXPECT_FLOAT_EQ(GetWallSegmentWorkingLength(0, 0, wall->firstPoint, nullptr, &start, &length), 0.0f);
  EXPECT_FLOAT_EQ(start, -1.0f);
  EXPECT_FLOAT_EQ(GetWallSegmentWorkingLength(0, 0, wall->firstPoint, wall->firstPoint->next, nullptr, &length),
                  0.0f);
}

// A wall point's sides go with it; a point of another kind only lets go of what it referred to,
// and nothing is made on the way (LeakSanitizer watches this test).
TEST_F(Walls, FreeingAPointsSidesClearsThemForWallsAndOthers) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {60, 80}});
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}}, doc.first);
  for (Objex* owner : {wall, line}) {
    Poinz* p = CreatePoint(0, 0, 0, 0, 0, 0, 5, 0, 5, 0, 0, 0, 0, 0, 0, owner);
    ASSERT_NE(p, nullptr);
    WallSideData* a = TestWallSide(0);
    WallSideData* b = TestWallSide(0);
    p->trim1 = a, p->trim2 = b;
    FreeWallPointSides(owner, p);
    EXPECT_EQ(p->trim1, nullptr) << owner->type;
    EXPECT_EQ(p->trim2, nullptr) << owner->type;
    if (owner != wall) free(a), free(b);
    free(p);
  }
}

TEST_F(Walls, SeparatedSegmentIsANewTwoPointWallOnTheCurrentLayer) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {100, 0}, {100, 100}});
  wall->textureID1 = 77;
  Objex* segment = SeparateWallSegment(wall, TestPointAt(wall, 1), TestPointAt(wall, 2));
  ASSERT_NE(segment, nullptr);
  EXPECT_EQ(segment->type, kObjWall);
  EXPECT_EQ(segment->layer, doc.model.itsCurLayer);
  EXPECT_EQ(segment->pointCount, 2);
  EXPECT_FLOAT_EQ(segment->width, 4.0f);
  EXPECT_EQ(segment->textureID1, 77);
  EXPECT_FLOAT_EQ(TestPointAt(segment, 1)->position[2], 100.0f);
}

TEST_F(Walls, NewWallStopsAtTheNearFaceOfTheWallItCrosses) {
  AddTestWall(doc, {{100, -100}, {100, 100}});
  Objex* a = AddTestWall(doc, {{0, 0}, {200, 0}});
  LimitWall(a, a->firstPoint, a->firstPoint->next, doc.model.itsCurLayer);
  EXPECT_FLOAT_EQ(a->firstPoint->next->position[0], 96.0f);
  EXPECT_FLOAT_EQ(a->firstPoint->next->position[2], 0.0f);

  Objex* b = AddTestWall(doc, {{0, 30}, {90, 30}});  // short of the wall: grows to its face
  LimitWall(b, b->firstPoint, b->firstPoint->next, doc.model.itsCurLayer);
  EXPECT_FLOAT_EQ(b->firstPoint->next->position[0], 96.0f);
  EXPECT_FLOAT_EQ(b->firstPoint->next->position[2], 30.0f);

  Objex* c = AddTestWall(doc, {{80, 60}, {200, 60}});  // crossing only 20 from the start
  LimitWall(c, c->firstPoint, c->firstPoint->next, doc.model.itsCurLayer);
  EXPECT_FLOAT_EQ(c->firstPoint->next->position[0], 200.0f);

  Objex* d = AddTestWall(doc, {{60, -60}, {200, -60}});  // 25 away: never shorter than 10
  AddTestWall(doc, {{85, -100}, {85, -20}}, false, 40.0f);
  LimitWall(d, d->firstPoint, d->firstPoint->next, doc.model.itsCurLayer);
  EXPECT_FLOAT_EQ(d->firstPoint->next->position[0], 70.0f);
}

// The near face of the crossed wall is half its thickness (inches, at the plan scale) short
// of its line, for a new wall across the plan and one down it.
TEST_F(Walls, NewWallStopsAtTheNearFaceAtEveryPlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float half = 2 * 72 / scale;  // of a wall 4 inches thick
    AddTestWall(doc, {{100, -100}, {100, 100}});
    Objex* across = AddTestWall(doc, {{0, 0}, {200, 0}});
    LimitWall(across, across->firstPoint, across->firstPoint->next, doc.model.itsCurLayer);
    EXPECT_FLOAT_EQ(across->firstPoint->next->position[0], 100 - half);
    AddTestWall(doc, {{300, 100}, {500, 100}});
    Objex* down = AddTestWall(doc, {{400, 0}, {400, 200}});
    LimitWall(down, down->firstPoint, down->firstPoint->next, doc.model.itsCurLayer);
    EXPECT_FLOAT_EQ(down->firstPoint->next->position[2], 100 - half);
    EXPECT_FLOAT_EQ(down->firstPoint->next->position[0], 400);
    for (Objex* o = doc.model.itsCurLayer->firstObject; o;) {
      Objex* next = o->next;
      DeleteObj(o);
      o = next;
    }
  }
}

TEST_F(Walls, CollinearPointsGoAndDoorsStayWhereTheyWere) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {100, 0}, {200, 1}});
  Poinz* middle = TestPointAt(wall, 1);
  Objex* door = AddTestDoor(wall, middle, TestPointAt(wall, 2), 50);
  Objex* early = AddTestDoor(wall, wall->firstPoint, middle, 20);
  ServiceCallRecorder calls;
  OptimizeWall(wall);
  ASSERT_EQ(wall->pointCount, 2);
  EXPECT_FLOAT_EQ(TestPointAt(wall, 1)->position[0], 200.0f);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  EXPECT_EQ(d->anchorStart, wall->firstPoint);
  EXPECT_EQ(d->anchorEnd, TestPointAt(wall, 1));
  EXPECT_FLOAT_EQ(d->startDistance, 150.0f);
  auto* e = static_cast<DoorWindowData*>(early->typeData);
  EXPECT_EQ(e->anchorEnd, TestPointAt(wall, 1));
  EXPECT_FLOAT_EQ(e->startDistance, 20.0f);
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));

  // Folded back within a degree of 180: the tip goes.
  Objex* spur = AddTestWall(doc, {{0, 50}, {100, 50}, {40, 51}});
  OptimizeWall(spur);
  EXPECT_EQ(spur->pointCount, 2);

  // A real corner stays, and so does a point of type 10.
  Objex* corner = AddTestWall(doc, {{0, 100}, {100, 100}, {100, 200}});
  Objex* typed = AddTestWall(doc, {{0, 300}, {100, 300}, {200, 300}});
  TestPointAt(typed, 1)->pointType = 10;
  calls.calls.clear();
  OptimizeWall(corner);
  OptimizeWall(typed);
  EXPECT_EQ(corner->pointCount, 3);
  EXPECT_EQ(typed->pointCount, 3);
  EXPECT_FALSE(calls.called("Update3DWall"));

  // A closed wall loses a point in line across its closing segment.
  Objex* ring = AddTestWall(doc, {{0, 400}, {100, 400}, {100, 500}, {0, 500}, {0, 450}}, true);
  OptimizeWall(ring);
  EXPECT_EQ(ring->pointCount, 4);
}

TEST_F(Walls, JoiningInteriorToExteriorGivesOneExteriorWallWithBothDoors) {
  Objex* a = AddTestWall(doc, {{0, 0}, {100, 0}});
  Objex* b = AddTestWall(doc, {{100, 0}, {100, 100}, {200, 100}});
  b->subtype = kSubExteriorWall;
  Objex* doorA = AddTestDoor(a, a->firstPoint, a->firstPoint->next, 10);
  Objex* doorB = AddTestDoor(b, b->firstPoint, b->firstPoint->next, 40);
  Objex* joined = JoinWallObjects(a, a->firstPoint->next, b, b->firstPoint);
  ASSERT_EQ(joined, a);
  EXPECT_EQ(CountObjects(doc.first), 1);
  EXPECT_EQ(a->subtype, kSubExteriorWall);
  EXPECT_EQ(a->pointCount, 4);
  EXPECT_EQ(doorB->parent, a);
  auto* db = static_cast<DoorWindowData*>(doorB->typeData);
  EXPECT_EQ(db->anchorStart, TestPointAt(a, 1));
  EXPECT_EQ(db->anchorEnd, TestPointAt(a, 2));
  EXPECT_EQ(static_cast<DoorWindowData*>(doorA->typeData)->anchorStart, a->firstPoint);

  // First with first: the survivor runs the other way and the doors keep their places.
  Objex* c = AddTestWall(doc, {{0, 300}, {100, 300}});
  Objex* e = AddTestWall(doc, {{0, 300}, {0, 400}});
  Objex* doorC = AddTestDoor(c, c->firstPoint, c->firstPoint->next, 30);
  static_cast<DoorWindowData*>(doorC->typeData)->remainingLength = 40;
  Poinz* far = c->firstPoint->next;
  Objex* survivor = JoinWallObjects(c, c->firstPoint, e, e->firstPoint);
  ASSERT_EQ(survivor, e);
  ASSERT_EQ(e->pointCount, 3);
  EXPECT_EQ(e->firstPoint, far);
  EXPECT_FLOAT_EQ(e->firstPoint->position[0], 100.0f);
  auto* dc = static_cast<DoorWindowData*>(doorC->typeData);
  EXPECT_EQ(doorC->parent, e);
  EXPECT_EQ(dc->anchorStart, far);
  EXPECT_EQ(dc->anchorEnd, TestPointAt(e, 1));
  EXPECT_FLOAT_EQ(dc->startDistance, 40.0f);  // still 30 from (0, 300)
  EXPECT_FLOAT_EQ(dc->remainingLength, 30.0f);

  // A wall never joins itself or an inner point.
  EXPECT_EQ(JoinWallObjects(e, e->firstPoint, e, TestLastPoint(e)), nullptr);
  EXPECT_EQ(JoinWallObjects(a, TestPointAt(a, 1), e, e->firstPoint), nullptr);
}

TEST_F(Walls, ConnectingAWallEndClosesItOrMergesWithTheWallUnderIt) {
  Objex* u = AddTestWall(doc, {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 2}});
  Objex* result = ConnectWallPoint(u, TestLastPoint(u));
  EXPECT_EQ(result, u);
  EXPECT_EQ(u->closed, 1);
  EXPECT_EQ(u->pointCount, 4);
  EXPECT_FLOAT_EQ(u->firstPoint->position[2], 0.0f);

  // Two points only: nothing to close.
  Objex* pair = AddTestWall(doc, {{300, 0}, {302, 0}});
  EXPECT_EQ(ConnectWallPoint(pair, TestLastPoint(pair)), pair);
  EXPECT_EQ(pair->closed, 0);

  // A free end dropped on another wall's free end: one wall.
  Objex* a = AddTestWall(doc, {{0, 300}, {100, 300}});
  Objex* b = AddTestWall(doc, {{103, 300}, {103, 400}});
  Objex* merged = ConnectWallPoint(a, a->firstPoint->next);
  EXPECT_EQ(merged, a);
  EXPECT_EQ(a->pointCount, 3);
  EXPECT_FLOAT_EQ(TestPointAt(a, 1)->position[0], 103.0f);  // both ends met at the corner
  for (Objex* o = doc.first->firstObject; o; o = o->next) EXPECT_NE(o, b);

  // A fence end is no wall: nothing joins.
  Objex* fence = doc.addObject(kObjFence, false, {{500, 0}, {600, 0}});
  UpdateObjectBounds(fence);
  Objex* c = AddTestWall(doc, {{400, 0}, {499, 0}});
  EXPECT_EQ(ConnectWallPoint(c, c->firstPoint->next), c);
  EXPECT_EQ(c->pointCount, 2);
}

// End segments that never meet (parallel): closing keeps the joint where the other free end
// lies, whichever end was dropped.
TEST_F(Walls, ClosingAWallWithParallelEndsKeepsTheOtherEndInPlace) {
  Objex* u = AddTestWall(doc, {{0, 0}, {0, 100}, {100, 100}, {100, -100}, {5, -100}, {5, 2}});
  ASSERT_EQ(ConnectWallPoint(u, TestLastPoint(u)), u);
  EXPECT_EQ(u->closed, 1);
  ASSERT_EQ(u->pointCount, 5);
  EXPECT_FLOAT_EQ(u->firstPoint->position[0], 0.0f);
  EXPECT_FLOAT_EQ(u->firstPoint->position[2], 0.0f);
  EXPECT_FLOAT_EQ(TestLastPoint(u)->position[0], 5.0f);
  EXPECT_FLOAT_EQ(TestLastPoint(u)->position[2], -100.0f);

  Objex* v = AddTestWall(doc, {{305, 2}, {305, -100}, {400, -100}, {400, 100}, {300, 100}, {300, 0}});
  ASSERT_EQ(ConnectWallPoint(v, v->firstPoint), v);
  EXPECT_EQ(v->closed, 1);
  ASSERT_EQ(v->pointCount, 5);
  EXPECT_FLOAT_EQ(v->firstPoint->position[0], 300.0f);
  EXPECT_FLOAT_EQ(v->firstPoint->position[2], 0.0f);
}

TEST_F(Walls, AttachmentsFollowReplacedAndRemovedPoints) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {100, 0}, {200, 0}});
  Poinz* p0 = TestPointAt(wall, 0);
  Poinz* p1 = TestPointAt(wall, 1);
  Poinz* p2 = TestPointAt(wall, 2);
  Objex* door = AddTestDoor(wall, p1, p2, 10);
  ReplaceVoidAttachments(wall, p1, p0, p2);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  EXPECT_EQ(d->anchorStart, p0);
  EXPECT_EQ(d->anchorEnd, p2);

  Objex* other = AddTestWall(doc, {{0, 50}, {100, 50}});
  TransferAttachments(wall, other);
  EXPECT_EQ(wall->firstChild, nullptr);
  EXPECT_EQ(other->firstChild, door);
  EXPECT_EQ(door->parent, other);
  // Back, so the anchors are points of the parent again.
  TransferAttachments(other, wall);

  DeleteVoidAttachments(wall, p0);
  EXPECT_EQ(wall->firstChild, nullptr);
}

}  // namespace
