// Records: IDs, linking, lookups, point insertion and the view code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "TestDocument.h"
#include "model/Globals.h"

TEST(Records, IdsStartAtOneAndCountersAreIndependent) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 0}});
  EXPECT_EQ(a->objectID, 1u);
  EXPECT_EQ(b->objectID, 2u);
  EXPECT_EQ(a->firstPoint->pointID, 1u);
  EXPECT_EQ(a->firstPoint->next->pointID, 2u);
  EXPECT_EQ(b->firstPoint->pointID, 3u);
  EXPECT_EQ(doc.ds()->nextObjectID, 3u);
  EXPECT_EQ(doc.ds()->nextPointID, 4u);
}

TEST(Records, CreateObjectWithFirstPointKeepsCountZeroAndDefaults) {
  TestDocument doc;
  doc.ds()->plantAge = 7;
  doc.ds()->baseElevation = 3;
  Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0, 0, 0, nullptr);
  Objex* o = CreateObject(kObjRect, 1, 1, nullptr, nullptr, 1, 6, 0, nullptr, p, nullptr, nullptr,
                          nullptr, nullptr);
  EXPECT_EQ(o->pointCount, 0);
  EXPECT_EQ(o->levels, 1);
  EXPECT_EQ(o->auxShort, 2);
  EXPECT_FLOAT_EQ(o->plantAge, 7);
  EXPECT_FLOAT_EQ(o->baseElevation, 3);
  EXPECT_EQ(o->textureScale3.x, 100);
  EXPECT_EQ(p->detectable, 1);
  EXPECT_FLOAT_EQ(p->ringLength, 1.0f);
  EXPECT_EQ(p->color[1].green, 65535);
  o->pointCount = 1;
  AppendObjectToLayer(o, doc.first);
}

// A new point is the blank record, every byte of it: zero but for the defaults and what the
// call gives (as a cleared block written field by field would be).
TEST(Records, CreatePointFillsTheWholeRecord) {
  TestDocument doc;
  Objex owner{};
  const uint32_t id = doc.ds()->nextPointID;
  Poinz* p = CreatePoint(3, 1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, &owner);
  ASSERT_NE(p, nullptr);
  Poinz expected;
  memset(&expected, 0, sizeof expected);
  expected.pointType = 3;
  expected.selected = 1;
  expected.locked = 1;
  expected.detectable = 1;
  const float values[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  for (int k = 0; k < 3; ++k) {
    expected.inHandle[k] = values[k];
    expected.position[k] = values[3 + k];
    expected.outHandle[k] = values[6 + k];
    expected.linkVector[k] = values[9 + k];
  }
  expected.owner = &owner;
  expected.pathLength = expected.ringLength = 1.0f;
  expected.color[0] = expected.color[1] = RGBColor{65535, 65535, 65535};
  expected.textureScale[0] = expected.textureScale[1] = ShortPoint{100, 100};
  expected.pointID = id;
  EXPECT_EQ(memcmp(p, &expected, sizeof(Poinz)), 0);
  EXPECT_EQ(doc.ds()->nextPointID, id + 1);
  // Each point is a block of its own, freed as every point is.
  Poinz* q = CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
  ASSERT_NE(q, nullptr);
  EXPECT_NE(q, p);
  EXPECT_EQ(q->pointID, id + 1);
  EXPECT_EQ(q->owner, nullptr);
  EXPECT_FLOAT_EQ(q->position[0], 0.0f);
  free(p);
  free(q);
}

TEST(Records, WithoutDocumentNothingIsNumbered) {
  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_EQ(CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr), nullptr);
  Objex* o = CreateObject(kObjRect, 1, 1, nullptr, nullptr, 1, 6, 0, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->objectID, 0u);
  EXPECT_EQ(o->type, 0);
  free(o);
  EXPECT_EQ(GetObjectFromObjectID(1), nullptr);
  gCurDocument = saved;
}

TEST(Records, LayersAppendAndMeasure) {
  TestDocument doc;
  EXPECT_EQ(doc.model.itsCurLayer, doc.first);
  EXPECT_FLOAT_EQ(GetLayerAbsBaseHeight(doc.third), 192.0f);
  EXPECT_FLOAT_EQ(GetLayerAbsBaseHeight(doc.first), 0.0f);
  EXPECT_EQ(GetLayerFromName("Second Floor"), doc.second);
  EXPECT_EQ(GetLayerFromName("second floor"), nullptr);
  Layer* long_name = CreateLayer(std::string(400, 'x').c_str(), 1, 1, nullptr);
  EXPECT_EQ(strlen(long_name->name), 255u);
  free(long_name);
}

TEST(Records, LookupsByIdSearchOneChildLevel) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  RGBColor c{};
  Objex* door = CreateObject(kObjDoor, 0, 1, &c, &c, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                             doc.first, nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, door), door);
  wall->firstChild = door;
  EXPECT_EQ(GetObjectFromObjectID(door->objectID), door);
  EXPECT_EQ(GetObjectFromPointID(door->firstPoint->pointID), door);
  EXPECT_EQ(GetPointFromPointID(door->firstPoint->pointID), nullptr);
  EXPECT_EQ(GetPointFromPointID(wall->firstPoint->pointID), wall->firstPoint);
}

TEST(Records, UnlinkFixesListHeads) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 0}});
  EXPECT_EQ(UnlinkObject(a), a);
  EXPECT_EQ(doc.first->firstObject, b);
  EXPECT_EQ(b->prev, nullptr);
  EXPECT_EQ(a->layer, nullptr);
  AppendObjectToLayer(a, doc.first);
  EXPECT_EQ(b->next, a);
}

TEST(Records, GetASelectedObjectCountsFromOne) {
  TestDocument doc;
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 0}});
  a->firstPoint->selected = b->firstPoint->selected = 1;
  EXPECT_EQ(GetASelectedObject(0), nullptr);
  EXPECT_EQ(GetASelectedObject(1), a);
  EXPECT_EQ(GetASelectedObject(2), b);
  EXPECT_EQ(GetASelectedObject(3), nullptr);
}

TEST(Records, InsertedPointCopiesNeighbourAttributes) {
  TestDocument doc;
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {10, 0}});
  Poinz* last = deck->firstPoint->next;
  deck->firstPoint->segmentFlags = 32;
  deck->firstPoint->position[1] = 24;
  deck->firstPoint->trimWord1 = 5;
  deck->firstPoint->trimWord2 = 6;
  Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, 5, 0, 5, 0, 0, 0, 0, 0, 0, nullptr);
  InsertPointInObjectAndUpdatePointInfo(p, deck, last);
  EXPECT_EQ(deck->pointCount, 3);
  EXPECT_EQ(p->segmentFlags, 32);  // copied from the first point: the new point is last
  EXPECT_FLOAT_EQ(p->position[1], 24);
  EXPECT_EQ(p->trimWord1, 5);  // the side trim values go with the other segment attributes
  EXPECT_EQ(p->trimWord2, 6);

  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  Poinz* q = CreatePoint(1, 0, 0, 0, 0, 0, 5, 0, 5, 0, 0, 0, 0, 0, 0, nullptr);
  InsertPointInObjectAndUpdatePointInfo(q, wall, wall->firstPoint);
  EXPECT_EQ(wall->pointCount, 2);
  free(q);
}

TEST(Records, AttachmentsFollowInsertedPoint) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  RGBColor c{};
  auto make = [&](float s) {
    auto* rec = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    rec->anchorStart = wall->firstPoint;
    rec->anchorEnd = wall->firstPoint->next;
    rec->startDistance = s;
    Objex* d = CreateObject(kObjDoor, 0, 1, &c, &c, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                            doc.first, rec);
    d->next = wall->firstChild;
    wall->firstChild = d;
    return rec;
  };
  DoorWindowData* nearDoor = make(10);
  DoorWindowData* farDoor = make(70);
  Poinz* mid = CreatePoint(1, 0, 0, 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
  InsertPointInObject(mid, wall, wall->firstPoint);
  UpdateAttachmentsWithNewPoint(wall, wall->firstPoint, mid);
  EXPECT_EQ(nearDoor->anchorStart, wall->firstPoint);
  EXPECT_EQ(nearDoor->anchorEnd, mid);
  EXPECT_FLOAT_EQ(nearDoor->remainingLength, 30);
  EXPECT_EQ(farDoor->anchorStart, mid);
  EXPECT_FLOAT_EQ(farDoor->startDistance, 30);
  EXPECT_TRUE(DoesPointContainAttachments(wall, mid));
  EXPECT_TRUE(SegmentContainsAttachments(wall, mid, mid->next));
}

TEST(Records, CurrentViewCodes) {
  TestDocument doc;
  gPerspective = 0;
  gXViewAngle = 0, gYViewAngle = 180;
  EXPECT_EQ(GetCurrentView(), 5154);
  gXViewAngle = 90, gYViewAngle = 0;
  EXPECT_EQ(GetCurrentView(), 5149);
  gXViewAngle = 30;
  gViewFactor = 6.0f;
  EXPECT_EQ(GetCurrentView(), 5162);
  gPerspective = 1;
  EXPECT_EQ(GetCurrentView(), 5155);
  gViewFactor = 1.0f;
  EXPECT_EQ(GetCurrentView(), 5179);
  gPerspective = 0;
  gXViewAngle = 90;
}

TEST(Records, EnhancedTextGrowsToMinimumSize) {
  TestDocument doc;
  Objex* t = doc.addObject(kObjDynamicText, true, {{0, 0}, {10, 0}, {10, 5}, {0, 5}});
  t->params[1] = 40;
  t->params[2] = 2;
  AdjustEnhancedTextObjectSize(t);
  EXPECT_FLOAT_EQ(t->firstPoint->next->position[0], 40);
  EXPECT_FLOAT_EQ(t->firstPoint->next->next->position[2], 5);
}
