// Deleting objects, selected wall segments and layers; point copies and attachment upkeep.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "model/Delete.h"
#include "model/DesignEdits.h"
#include "model/DimensionRecords.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"

namespace {

int CountObjects(const Layer* l) {
  int n = 0;
  for (const Objex* o = l->firstObject; o; o = o->next) ++n;
  return n;
}

int CountChildren(const Objex* o) {
  int n = 0;
  for (const Objex* c = o->firstChild; c; c = c->next) ++n;
  return n;
}

void Select(Objex* o, std::initializer_list<int> indexes) {
  for (int i : indexes) PointAt(o, i)->selected = 1;
}

std::vector<float> Xs(const Objex* o) {
  std::vector<float> xs;
  for (const Poinz* p = o->firstPoint; p; p = p->next) xs.push_back(p->position[0]);
  return xs;
}

TrimData* NewTrim(Objex* profile) {
  auto* t = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
  t->trimCodeA = kTrimCustomProfile;
  t->profileA = profile;
  return t;
}

}  // namespace

// A wall on the first floor with a 3D body and a trim with a profile on its first point.
Objex* AddWallWithBodyAndTrim(TestDocument& doc) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  wall->typeData = doc.addObject(kObjWallFace, true, {{0, 0}, {1, 0}, {1, 1}});
  UnlinkObject(static_cast<Objex*>(wall->typeData));
  PointAt(wall, 0)->trim1 = NewTrim(doc.addObject(kObjClosedPoly, true, {{0, 0}, {1, 1}}));
  UnlinkObject(static_cast<TrimData*>(PointAt(wall, 0)->trim1)->profileA);
  return wall;
}

// A length dimension and its text box on the first floor, each knowing the other; the box's
// record.
DimensionTextData* AddDimensionWithBox(TestDocument& doc, Objex** made = nullptr) {
  Objex* dim = doc.addObject(103, false, {{0, 0}, {10, 0}});
  if (made) *made = dim;
  Objex* box = doc.addObject(kObjDimensionInfo, true, {{0, 0}});
  auto* info = static_cast<DimensionInfoData*>(calloc(1, sizeof(DimensionInfoData)));
  auto* text = static_cast<DimensionTextData*>(calloc(1, sizeof(DimensionTextData)));
  info->textBox = box;
  text->dimension = dim;
  dim->typeData = info;
  box->typeData = text;
  return text;
}

TEST(DeleteWallSegment, MiddleSegmentSplitsAnOpenWall) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}, {300, 0}, {400, 0}});
  Objex* first = AddDoor(wall, 0);   // on 0-100: stays with the first wall
  AddDoor(wall, 1);                  // on the deleted segment
  Objex* last = AddDoor(wall, 3);    // on 300-400: moves to the copy
  Select(wall, {1, 2});
  ServiceCallRecorder calls;
  DeleteObjItem(wall);
  ASSERT_EQ(CountObjects(doc.first), 2);
  Objex* copy = wall->next;
  EXPECT_EQ(Xs(wall), (std::vector<float>{0, 100}));
  EXPECT_EQ(Xs(copy), (std::vector<float>{200, 300, 400}));
  EXPECT_NE(copy->objectID, wall->objectID);
  EXPECT_EQ(wall->closed, 0);
  ASSERT_EQ(CountChildren(wall), 1);
  EXPECT_EQ(wall->firstChild, first);
  ASSERT_EQ(CountChildren(copy), 1);
  auto* d = static_cast<DoorWindowData*>(copy->firstChild->typeData);
  EXPECT_EQ(d->anchorStart, PointAt(copy, 1));
  EXPECT_EQ(d->anchorEnd, PointAt(copy, 2));
  EXPECT_NE(copy->firstChild, last);
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_TRUE(calls.called("Update3DWall", copy->objectID));
  EXPECT_MODEL_SOUND();
}

TEST(DeleteWallSegment, ClosedRingOpensFromTheSegmentEnd) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  Select(wall, {0, 1});
  DeleteObjItem(wall);
  EXPECT_EQ(wall->closed, 0);
  EXPECT_EQ(Xs(wall), (std::vector<float>{100, 100, 0, 0}));
  EXPECT_FLOAT_EQ(PointAt(wall, 3)->position[2], 0);
  EXPECT_MODEL_SOUND();

  // Not at the start: rotated so the segment's end comes first.
  Objex* ring = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  Select(ring, {1, 2});
  DeleteObjItem(ring);
  EXPECT_EQ(ring->closed, 0);
  EXPECT_EQ(ring->firstPoint->position[2], 100);
  EXPECT_EQ(PointAt(ring, 3)->position[0], 100);
  EXPECT_MODEL_SOUND();
}

TEST(DeleteWallSegment, OpenWallEndsLosePoints) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}, {300, 0}});
  Objex* door = AddDoor(wall, 0);
  Select(wall, {0, 1});
  DeleteObjItem(wall);
  EXPECT_EQ(Xs(wall), (std::vector<float>{100, 200, 300}));
  EXPECT_EQ(wall->firstChild, nullptr);
  (void)door;
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->selected = 0;
  Select(wall, {1, 2});
  DeleteObjItem(wall);
  EXPECT_EQ(Xs(wall), (std::vector<float>{100, 200}));
  EXPECT_MODEL_SOUND();
}

TEST(DeleteWallSegment, IncompleteSelectionDeletesNothing) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}, {300, 0}});
  Select(wall, {0, 1, 2});
  ServiceCallRecorder calls;
  DeleteObjItem(wall);
  EXPECT_EQ(wall->pointCount, 4);
  EXPECT_EQ(CountObjects(doc.first), 1);
  EXPECT_TRUE(calls.called("ReRenderObject", wall->objectID));
  // Two points that are no segment: nothing, not even a re-render.
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->selected = 0;
  Select(wall, {0, 2});
  ServiceCallRecorder none;
  DeleteObjItem(wall);
  EXPECT_EQ(wall->pointCount, 4);
  EXPECT_FALSE(none.called("ReRenderObject"));
}

TEST(DeleteAttachments, VerifyReanchorsOrDeletes) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}});
  Objex* gone = AddDoor(wall, 1);
  Objex* kept = AddDoor(wall, 0);
  Poinz* middle = PointAt(wall, 1);
  // Remove the middle point as the point tools do.
  wall->firstPoint->next = middle->next;
  middle->next->prev = wall->firstPoint;
  wall->pointCount--;
  VerifyObjectAttachments(wall);
  DeleteWallPoint(wall, middle);
  (void)gone;
  ASSERT_EQ(CountChildren(wall), 1);
  EXPECT_EQ(wall->firstChild, kept);
  EXPECT_EQ(static_cast<DoorWindowData*>(kept->typeData)->anchorEnd, PointAt(wall, 1));
  EXPECT_MODEL_SOUND();
}

TEST(DeleteAttachments, SegmentRuleAndWallOnlyKinds) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}});
  AddDoor(wall, 2);  // on the closing segment 2-0
  Poinz* a = wall->firstPoint;
  Poinz* c = PointAt(wall, 2);
  EXPECT_TRUE(SegmentContainsAttachments(wall, a, c));
  DeleteSegmentAttachments(wall, a, c);
  EXPECT_EQ(wall->firstChild, nullptr);
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Poinz* p = line->firstPoint;
  DeleteWallPoint(line, p);  // not a wall: nothing
  EXPECT_EQ(line->firstPoint, p);
}

TEST(DeleteObjects, DeleteObjFreesEveryKindOfData) {
  TestDocument doc;
  ServiceCallRecorder calls;
  Objex* wall = AddWallWithBodyAndTrim(doc);
  Objex* door = AddDoor(wall, 0);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  d->faces = AddChild(door, kObjFace, {{0, 0}});
  door->firstChild = nullptr;  // faces live in the record only
  d->faces->prev = nullptr;
  d->trimSlotA.profile = CreateObject(kObjClosedPoly, 1, 1, nullptr, nullptr, 0, 0, 0, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr);
  Objex* text = doc.addObject(kObjText, true, {{0, 0}});
  text->extraData = calloc(1, sizeof(LOGFONT));  // a font without text is still owned
  Objex* photo = doc.addObject(kObjPhotoView, true, {{0, 0}});
  photo->sourceObject = strdup("image.jpg");
  const FloatPoint square[] = {{0, 0}, {1, 0}, {1, 1}};
  photo->cocoaObject = CreatePlanPath(square, 3);
  Objex* topo = doc.addObject(kObjTopography, true, {{0, 0}});
  Objex* sky = doc.addObject(kObjSkylight, true, {{0, 0}});
  auto* rd = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  rd->parts = CreateObject(kObjFrameFace, 1, 1, nullptr, nullptr, 0, 0, 0, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr);
  sky->typeData = rd;
  DeleteObj(wall);
  DeleteObj(text);
  DeleteObj(photo);
  DeleteObj(topo);
  DeleteObj(sky);
  EXPECT_TRUE(calls.called("SetLotElevation"));
  EXPECT_EQ(doc.first->firstObject, nullptr);
  EXPECT_MODEL_SOUND();
}

TEST(DeleteObjects, DimensionAndBoxForgetEachOther) {
  TestDocument doc;
  Objex* dim = nullptr;
  DimensionTextData* text = AddDimensionWithBox(doc, &dim);
  DeleteObj(dim);
  EXPECT_EQ(text->dimension, nullptr);
}

TEST(DeleteObjects, DeletingAGroupTakesPartlySelectedWallsWhole) {
  TestDocument doc;
  Objex* group = doc.addObject(kObjGroup, false, {});
  Objex* wall = AddChild(group, kObjWall, {{0, 0}, {100, 0}, {200, 0}});
  Select(wall, {0, 1});
  DeleteObjItem(group);
  EXPECT_EQ(doc.first->firstObject, nullptr);
  EXPECT_MODEL_SOUND();
}

TEST(DeleteLayers, CurrentAndFirstMoveToANeighbour) {
  TestDocument doc;
  doc.addObject(kObjLine, false, {{0, 0}, {1, 0}});
  doc.model.itsCur2DLayer = doc.first;
  Layer* second = doc.second;
  gRefreshRender = 0;
  DeleteLayer(doc.first);
  EXPECT_EQ(doc.model.itsLayers, second);
  EXPECT_EQ(doc.model.itsCurLayer, second);
  EXPECT_EQ(doc.model.itsCur2DLayer, nullptr);
  EXPECT_EQ(second->prev, nullptr);
  EXPECT_EQ(gRefreshRender, 1);
  doc.model.itsCurLayer = doc.third;
  DeleteLayer(doc.third);
  EXPECT_EQ(doc.model.itsCurLayer, second);
  EXPECT_EQ(second->next, nullptr);
  EXPECT_MODEL_SOUND();
}

TEST(DuplicatePoints, WallsOwnTrimsDecksShareThem) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* profile = CreateObject(kObjClosedPoly, 1, 1, nullptr, nullptr, 0, 0, 0, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr);
  wall->firstPoint->trim1 = NewTrim(profile);
  wall->firstPoint->segmentFloats[2] = 7;
  Objex* copy = doc.addObject(kObjWall, false, {});
  DuplicateObjectPoints(wall, copy, FloatPoint{5, 9}, 1);
  ASSERT_EQ(copy->pointCount, 2);
  EXPECT_FLOAT_EQ(copy->firstPoint->position[0], 5);
  EXPECT_FLOAT_EQ(copy->firstPoint->position[2], 9);
  EXPECT_EQ(copy->firstPoint->selected, 1);
  EXPECT_FLOAT_EQ(copy->firstPoint->segmentFloats[2], 7);
  auto* t = static_cast<TrimData*>(copy->firstPoint->trim1);
  ASSERT_NE(t, nullptr);
  EXPECT_NE(t, wall->firstPoint->trim1);
  EXPECT_NE(t->profileA, profile);
  EXPECT_NE(t->profileA, nullptr);

  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {1, 0}});
  static TrimData shared{};
  deck->firstPoint->trim1 = &shared;
  deck->firstPoint->trimWord1 = 3;  // as read from a file
  deck->firstPoint->trimWord2 = -2;
  Objex* deckCopy = doc.addObject(kObjDeck, true, {});
  DuplicateObjectPoints(deck, deckCopy, FloatPoint{0, 0}, 0);
  EXPECT_EQ(deckCopy->firstPoint->trim1, &shared);
  EXPECT_EQ(deckCopy->firstPoint->trimWord1, 3);
  EXPECT_EQ(deckCopy->firstPoint->trimWord2, -2);
  DeleteObj(deckCopy);  // decks never free trim records
  DeleteObj(deck);
  EXPECT_MODEL_SOUND();
}

namespace {

// Builds a design of every kind of owned data on the document's floors (a wall with a door, 3D
// parts, a trim, a group, a symbol part, a dimension with its text box, a plant, a named object,
// a photo view) and, when asked, a ground object at the top or inside the group.
enum class Ground { kNone, kTop, kInGroup };

void BuildDropDesign(TestDocument& doc, Ground ground) {
  Objex* wall = AddWallWithBodyAndTrim(doc);
  Objex* door = AddDoor(wall, 0);
  AddDoor(wall, 0);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  d->faces = AddChild(door, kObjFace, {{0, 0}});
  door->firstChild = nullptr;
  d->faces->prev = nullptr;
  Objex* group = doc.addObject(kObjGroup, false, {}, doc.second);
  AddChild(group, kObjLine, {{0, 0}, {5, 5}});
  AddChild(group, kObjLine, {{5, 5}, {9, 9}});
  if (ground == Ground::kInGroup) AddChild(group, kObjTopography, {{0, 0}, {1, 0}, {1, 1}});
  group->symbol3D = CreateObject(kObjFace, 1, 1, nullptr, nullptr, 0, 0, 0, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr);
  AddDimensionWithBox(doc);
  Objex* plant = doc.addObject(kObjPlant, true, {{0, 0}}, doc.third);
  plant->typeData = strdup("plants/oak");
  Objex* named = doc.addObject(kObjLine, false, {{0, 0}, {1, 1}});
  named->name = strdup("Fence line");
  Objex* photo = doc.addObject(kObjPhotoView, true, {{0, 0}});
  photo->sourceObject = strdup("image.jpg");
  const FloatPoint square[] = {{0, 0}, {1, 0}, {1, 1}};
  photo->cocoaObject = CreatePlanPath(square, 3);
  if (ground == Ground::kTop) doc.addObject(kObjEntireLot, true, {{0, 0}, {100, 0}, {100, 100}}, doc.third);
  gWorkbenchObject = AddChild(group, kObjLine, {{1, 1}, {2, 2}});
}

std::vector<uint32_t> RendererDrops(const ServiceCallRecorder& calls) {
  std::vector<uint32_t> ids;
  for (const ServiceCall& c : calls.calls)
    if (c.routine == "DeleteRendererObject") ids.push_back(c.objectID);
  return ids;
}

}  // namespace

// Dropping a whole design visits the renderer for the same objects in the same order as
// deleting its layers object by object, frees everything (the leak check sees to that) and
// says whether ground objects went, wherever they were.
TEST(DeleteObjects, DroppingWholeLayersMatchesDeletingObjectByObject) {
  const struct {
    Ground ground;
    bool reported;
  } cases[] = {{Ground::kNone, false}, {Ground::kTop, true}, {Ground::kInGroup, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.ground));
    std::vector<uint32_t> oneByOne, whole;
    {
      TestDocument doc;
      BuildDropDesign(doc, c.ground);
      ServiceCallRecorder calls;
      for (Layer* l = doc.model.itsLayers; l; l = l->next) DeleteLayerObjects(l);
      oneByOne = RendererDrops(calls);
      EXPECT_EQ(calls.called("SetLotElevation"), c.reported);
      EXPECT_EQ(gWorkbenchObject, nullptr);
    }
    {
      TestDocument doc;
      BuildDropDesign(doc, c.ground);
      ServiceCallRecorder calls;
      Layer* layers = doc.model.itsLayers;
      doc.model.itsLayers = doc.model.itsCurLayer = doc.model.itsCur2DLayer = nullptr;
      gRefreshRender = 0;
      EXPECT_EQ(DeleteDesignLayers(layers), c.reported);
      whole = RendererDrops(calls);
      // The heights are the caller's to work out, once the new design is in place.
      EXPECT_FALSE(calls.called("SetLotElevation"));
      EXPECT_EQ(gWorkbenchObject, nullptr);
      EXPECT_EQ(gRefreshRender, 1);
      // The fixture's layers went with the design.
      doc.first = doc.second = doc.third = nullptr;
    }
    EXPECT_FALSE(whole.empty());
    EXPECT_EQ(whole, oneByOne);
  }
  EXPECT_FALSE(DeleteDesignLayers(nullptr));
}

namespace {

// A door's parts list of three faces: the second holds a child face and a symbol part, the
// third (when asked) is a ground object; the workbench object is the child face.
Objex* BuildPartsList(TestDocument& doc, bool ground) {
  Objex* wall = AddWallWithBodyAndTrim(doc);
  Objex* door = AddDoor(wall, 0);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  Objex* first = AddChild(door, kObjFace, {{0, 0}, {1, 0}});
  Objex* second = AddChild(door, kObjFace, {{0, 0}, {2, 0}});
  AddChild(door, ground ? kObjTopography : kObjFace, {{0, 0}, {1, 0}, {1, 1}});
  door->firstChild = nullptr;  // the parts live in the record only
  d->faces = first;
  gWorkbenchObject = AddChild(second, kObjFace, {{0, 0}, {3, 0}});
  second->symbol3D = CreateObject(kObjFace, 1, 1, nullptr, nullptr, 0, 0, 0, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr);
  return door;
}

}  // namespace

// A list of parts freed whole drops the same objects from the renderer in the same order as
// deleting them one by one, frees them all (the leak check sees to that), clears the
// workbench object and works out the ground's heights once when a ground object went.
TEST(DeleteObjects, PartsListGoesWholeAsObjectByObject) {
  for (bool ground : {false, true}) {
    SCOPED_TRACE(ground);
    std::vector<uint32_t> oneByOne, whole;
    {
      TestDocument doc;
      Objex* door = BuildPartsList(doc, ground);
      Objex* o = static_cast<DoorWindowData*>(door->typeData)->faces;
      static_cast<DoorWindowData*>(door->typeData)->faces = nullptr;
      ServiceCallRecorder calls;
      while (o) {
        Objex* next = o->next;
        o->prev = o->next = nullptr;
        o->layer = nullptr;
        o->parent = nullptr;
        DeleteObj(o);
        o = next;
      }
      oneByOne = RendererDrops(calls);
      EXPECT_EQ(calls.called("SetLotElevation"), ground);
      EXPECT_EQ(gWorkbenchObject, nullptr);
    }
    {
      TestDocument doc;
      Objex* door = BuildPartsList(doc, ground);
      ServiceCallRecorder calls;
      const uint64_t edits = DesignEditCount();
      DeleteObjectData(door);  // the record's lists go whole
      EXPECT_EQ(door->typeData, nullptr);
      EXPECT_NE(DesignEditCount(), edits);
      whole = RendererDrops(calls);
      int heights = 0;
      for (const ServiceCall& c : calls.calls) heights += c.routine == "SetLotElevation";
      EXPECT_EQ(heights, ground ? 1 : 0);
      EXPECT_EQ(gWorkbenchObject, nullptr);
      EXPECT_MODEL_SOUND();
    }
    EXPECT_EQ(whole.size(), 5u);
    EXPECT_EQ(whole, oneByOne);
  }
  DeleteObjectChain(nullptr);
}

// Deleting points walks ahead of the list on the guess that the points lie one heap block
// apart: points that do not (made between other blocks, or inserted out of order), a list
// longer than that guess looks ahead and a single point are all freed (the leak check sees
// to that) and leave the object empty.
TEST(DeleteObjects, PointsAreFreedWhereverTheyLie) {
  TestDocument doc;
  for (int count : {0, 1, 5, 40}) {
    SCOPED_TRACE(count);
    Objex* o = doc.addObject(kObjClosedPoly, false, {});
    std::vector<void*> between;
    for (int i = 0; i < count; ++i) {
      between.push_back(malloc(static_cast<size_t>(24 + 40 * (i % 3))));
      Poinz* p = CreatePoint(0, 0, 0, 0, 0, 0, static_cast<float>(i), 0, 0, 0, 0, 0, 0, 0, 0, o);
      // Every third point goes in front, so that the list runs against the heap's order.
      if (i % 3 == 2) InsertPointInObject(p, o, nullptr);
      else AppendPointToObject(p, o);
    }
    for (void* b : between) free(b);
    EXPECT_EQ(o->pointCount, count);
    DeleteObjectPoints(o);
    EXPECT_EQ(o->firstPoint, nullptr);
    EXPECT_EQ(o->pointCount, 0);
  }
}
