// Appending at the end of a floor's and a group's list in constant time: the kept tail
// follows every append, unlink, delete, group, ungroup and duplicate, and a list linked by
// hand behind its back is still appended to at its true end. Points appended to an object
// likewise: in constant time, at the true end of a list edited between the appends.
#include <gtest/gtest.h>

#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "model/AddRemovePoints.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/Duplicate.h"
#include "model/Grouping.h"
#include "model/Globals.h"
#include "model/Records.h"

namespace {

std::vector<Objex*> LayerList(const Layer* layer) {
  std::vector<Objex*> list;
  const Objex* prev = nullptr;
  for (Objex* o = layer->firstObject; o; prev = o, o = o->next) {
    EXPECT_EQ(o->prev, prev);
    list.push_back(o);
  }
  return list;
}

std::vector<Objex*> Children(const Objex* parent) {
  std::vector<Objex*> list;
  const Objex* prev = nullptr;
  for (Objex* c = parent->firstChild; c; prev = c, c = c->next) {
    EXPECT_EQ(c->prev, prev);
    EXPECT_EQ(c->parent, parent);
    list.push_back(c);
  }
  return list;
}

Objex* Line(TestDocument& doc, float at, Layer* layer = nullptr) {
  return doc.addObject(kObjLine, false, {{at, 0}, {at + 10, 0}}, layer);
}

Objex* Unlinked(float at) {
  const RGBColor black{};
  Objex* o = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, at, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
  return o;
}

TEST(ListTail, AppendsFollowTheTailThroughUnlinksAndDeletes) {
  TestDocument doc;
  Layer* floor = doc.first;
  EXPECT_EQ(LastObjectOfLayer(floor), nullptr);
  Objex* a = Line(doc, 0);
  Objex* b = Line(doc, 1);
  Objex* c = Line(doc, 2);
  EXPECT_EQ(floor->lastObject, c);
  EXPECT_EQ(LastObjectOfLayer(floor), c);

  // The tail unlinked: the one before it ends the list.
  UnlinkObject(c);
  EXPECT_EQ(LastObjectOfLayer(floor), b);
  Objex* d = Line(doc, 3);
  EXPECT_EQ(LayerList(floor), (std::vector<Objex*>{a, b, d}));
  DeleteObj(c);

  // The tail deleted (freed): appending after it must not touch it.
  DeleteObj(d);
  EXPECT_EQ(LastObjectOfLayer(floor), b);
  Objex* e = Line(doc, 4);
  EXPECT_EQ(LayerList(floor), (std::vector<Objex*>{a, b, e}));

  // Everything deleted, then appended again.
  DeleteLayerObjects(floor);
  EXPECT_EQ(floor->firstObject, nullptr);
  Objex* f = Line(doc, 5);
  EXPECT_EQ(LayerList(floor), (std::vector<Objex*>{f}));
  EXPECT_EQ(modelcheck::Check(), "");
}

TEST(ListTail, AListLinkedByHandIsStillAppendedToAtItsEnd) {
  TestDocument doc;
  Layer* floor = doc.first;
  Objex* a = Line(doc, 0);
  // A reader linking objects itself leaves the kept tail behind.
  Objex* b = Unlinked(1);
  a->next = b;
  b->prev = a;
  b->layer = floor;
  Objex* c = Unlinked(2);
  AppendObjectToLayer(c, floor);
  EXPECT_EQ(LayerList(floor), (std::vector<Objex*>{a, b, c}));

  // A fresh floor whose list a reader built by hand.
  Layer* fresh = CreateLayer("Read", 1, 1, nullptr);
  AppendLayerToDocument(fresh);
  Objex* d = Unlinked(3);
  fresh->firstObject = d;
  d->layer = fresh;
  Objex* e = Unlinked(4);
  AppendObjectToLayer(e, fresh);
  EXPECT_EQ(LayerList(fresh), (std::vector<Objex*>{d, e}));
  // Inserted in front by hand (as Send to Back does): the end stays.
  Objex* f = Unlinked(5);
  f->next = floor->firstObject;
  floor->firstObject->prev = f;
  floor->firstObject = f;
  f->layer = floor;
  Objex* g = Unlinked(6);
  AppendObjectToLayer(g, floor);
  EXPECT_EQ(LayerList(floor), (std::vector<Objex*>{f, a, b, c, g}));
}

TEST(ListTail, GroupsKeepTheirLastChildThroughGroupingUngroupingAndDuplicates) {
  TestDocument doc;
  Layer* floor = doc.first;
  Objex* group = doc.addObject(kObjGroup, false, {});
  std::vector<Objex*> members;
  for (int i = 0; i < 4; ++i) {
    Objex* m = Unlinked(static_cast<float>(i));
    m->layer = floor;
    AppendChildToObject(m, group);
    members.push_back(m);
  }
  EXPECT_EQ(Children(group), members);
  EXPECT_EQ(group->lastChild, members.back());

  // The last child deleted, then one more appended.
  DeleteObj(members.back());
  members.pop_back();
  EXPECT_EQ(LastChildOfObject(group), members.back());
  Objex* late = Unlinked(9);
  late->layer = floor;
  AppendChildToObject(late, group);
  members.push_back(late);
  EXPECT_EQ(Children(group), members);

  // A copy linked after the last child becomes the last child.
  Objex* copy = DuplicateObject(late, nullptr, late, FloatPoint{5, 5}, 0, kCmdDuplicate);
  ASSERT_NE(copy, nullptr);
  members.push_back(copy);
  EXPECT_EQ(Children(group), members);
  EXPECT_EQ(LastChildOfObject(group), copy);

  // Grouping a top-level object moves it from the floor's end to the group's end.
  Objex* loose = Line(doc, 20);
  gGroupLeader = group;
  GroupObject(loose);
  gGroupLeader = nullptr;
  members.push_back(loose);
  EXPECT_EQ(Children(group), members);
  EXPECT_EQ(LayerList(floor), (std::vector<Objex*>{group}));
  Objex* after = Line(doc, 30);
  EXPECT_EQ(LayerList(floor), (std::vector<Objex*>{group, after}));

  // Ungrouping puts the members at the floor's end in order, the group gone.
  UngroupObject(group);
  std::vector<Objex*> expected{after};
  expected.insert(expected.end(), members.begin(), members.end());
  EXPECT_EQ(LayerList(floor), expected);
  Objex* last = Line(doc, 40);
  expected.push_back(last);
  EXPECT_EQ(LayerList(floor), expected);
  EXPECT_EQ(modelcheck::Check(), "");
}

TEST(ListTail, ObjectsMovedBetweenFloorsLeaveBothTailsRight) {
  TestDocument doc;
  Objex* a = Line(doc, 0, doc.first);
  Objex* b = Line(doc, 1, doc.first);
  Objex* c = Line(doc, 2, doc.second);
  UnlinkObject(b);
  AppendObjectToLayer(b, doc.second);
  Objex* d = Line(doc, 3, doc.first);
  Objex* e = Line(doc, 4, doc.second);
  EXPECT_EQ(LayerList(doc.first), (std::vector<Objex*>{a, d}));
  EXPECT_EQ(LayerList(doc.second), (std::vector<Objex*>{c, b, e}));
  EXPECT_EQ(modelcheck::Check(), "");
}

std::vector<Poinz*> PointList(const Objex* object) {
  std::vector<Poinz*> list;
  const Poinz* prev = nullptr;
  for (Poinz* p = object->firstPoint; p; prev = p, p = p->next) {
    EXPECT_EQ(p->prev, prev);
    EXPECT_EQ(p->owner, object);
    list.push_back(p);
  }
  return list;
}

Poinz* NewPoint(Objex* owner, float x) { return CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, owner); }

TEST(ListTail, AHundredThousandPointsAppendedInARowStayInOrder) {
  TestDocument doc;
  Objex* o = Line(doc, 0);
  DeleteObjectPoints(o);
  constexpr int32_t kPoints = 100000;  // a walk to the end on every append would not finish
  for (int32_t i = 0; i < kPoints; ++i) AppendPointToObject(NewPoint(o, static_cast<float>(i)), o);
  const std::vector<Poinz*> list = PointList(o);
  ASSERT_EQ(list.size(), static_cast<size_t>(kPoints));
  EXPECT_EQ(o->pointCount, kPoints);
  for (int32_t i = 0; i < kPoints; ++i) ASSERT_EQ(list[static_cast<size_t>(i)]->position[0], static_cast<float>(i));
}

TEST(ListTail, PointsAreAppendedAtTheTrueEndOfAListEditedBetweenAppends) {
  // Each edit follows an append (so the appended point is the kept tail); it returns a point
  // it took off every list, for the test to free.
  struct Edit {
    const char* name;
    Poinz* (*apply)(Objex* o, Objex* other);
  } edits[] = {
      {"tail removed", [](Objex* o, Objex*) -> Poinz* {
         RemovePointInObject(o, PointList(o).back());
         return nullptr;
       }},
      {"tail unlinked by hand, count kept", [](Objex* o, Objex*) -> Poinz* {
         Poinz* tail = PointList(o).back();
         tail->prev->next = nullptr;
         return tail;
       }},
      {"a point linked after the tail by hand", [](Objex* o, Objex*) -> Poinz* {
         Poinz* tail = PointList(o).back();
         Poinz* p = NewPoint(o, 99);
         tail->next = p;
         p->prev = tail;
         return nullptr;
       }},
      {"tail moved to another object", [](Objex* o, Objex* other) -> Poinz* {
         Poinz* tail = PointList(o).back();
         tail->prev->next = nullptr;
         tail->prev = nullptr;
         o->pointCount--;
         AppendPointToObject(tail, other);
         return nullptr;
       }},
      {"appends to another object between", [](Objex*, Objex* other) -> Poinz* {
         AppendPointToObject(NewPoint(other, 7), other);
         return nullptr;
       }},
      {"every point freed", [](Objex* o, Objex*) -> Poinz* {
         DeleteObjectPoints(o);
         return nullptr;
       }},
      {"a point inserted after the tail", [](Objex* o, Objex*) -> Poinz* {
         InsertPointInObject(NewPoint(o, 98), o, PointList(o).back());
         return nullptr;
       }},
  };
  for (const Edit& e : edits) {
    TestDocument doc;
    Objex* o = doc.addObject(kObjOpenPoly, false, {{0, 0}, {1, 0}, {2, 0}});
    Objex* other = doc.addObject(kObjOpenPoly, false, {{5, 0}});
    AppendPointToObject(NewPoint(o, 3), o);
    Poinz* loose = e.apply(o, other);
    const std::vector<Poinz*> before = PointList(o);
    const int32_t count = o->pointCount;
    Poinz* added = NewPoint(o, 50);
    AppendPointToObject(added, o);
    std::vector<Poinz*> expected = before;
    expected.push_back(added);
    EXPECT_EQ(PointList(o), expected) << e.name;
    EXPECT_EQ(o->pointCount, count + 1) << e.name;
    free(loose);
  }
}

}  // namespace
