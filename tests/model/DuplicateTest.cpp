// Deep copies: fields, points, children, attachment records and fresh texture ids.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "model/CabinetState.h"
#include "model/CommandCodes.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/Duplicate.h"
#include "model/ExtrudeFlip.h"
#include "model/Selection.h"

TEST(Duplicate, WallWithDoorMapsAnchorsByIndex) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}});
  Objex* door = AddDoor(wall, 1);
  auto* src = static_cast<DoorWindowData*>(door->typeData);
  src->height = 80;
  src->definitionParts = CreateObject(kObjFace, 1, 1, nullptr, nullptr, 0, 0, 0, nullptr, nullptr,
                                      nullptr, door, nullptr, nullptr);
  wall->name = strdup("Wall A");
  int k = 0;
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->position[1] = float(12 * k++);
  Objex* copy = DuplicateObject(wall, nullptr, nullptr, FloatPoint{30, 50}, 1, kCmdDuplicate);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(wall->next, copy);
  EXPECT_STREQ(copy->name, "Wall A");
  EXPECT_NE(copy->name, wall->name);
  // Each point moves by the offset across (x) and down (z) and keeps its height.
  for (Poinz *p = wall->firstPoint, *q = copy->firstPoint; p && q; p = p->next, q = q->next) {
    EXPECT_FLOAT_EQ(q->position[0], p->position[0] + 30);
    EXPECT_FLOAT_EQ(q->position[1], p->position[1]);
    EXPECT_FLOAT_EQ(q->position[2], p->position[2] + 50);
  }
  EXPECT_EQ(copy->firstPoint->selected, 0);
  Objex* doorCopy = copy->firstChild;
  ASSERT_NE(doorCopy, nullptr);
  EXPECT_EQ(doorCopy->parent, copy);
  auto* d = static_cast<DoorWindowData*>(doorCopy->typeData);
  ASSERT_NE(d, src);
  EXPECT_EQ(d->anchorStart, PointAt(copy, 1));
  EXPECT_EQ(d->anchorEnd, PointAt(copy, 2));
  EXPECT_FLOAT_EQ(d->height, 80);
  ASSERT_NE(d->definitionParts, nullptr);
  EXPECT_NE(d->definitionParts, src->definitionParts);
  EXPECT_EQ(d->definitionParts->parent, doorCopy);
  EXPECT_EQ(doorCopy->firstChild, nullptr);  // parts live in the record only
  EXPECT_MODEL_SOUND();
}

TEST(Duplicate, DoorWithoutItsWallKeepsOnlyItsKind) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = AddDoor(wall, 0);
  Objex* copy = DuplicateObject(door, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
  ASSERT_NE(copy, nullptr);
  auto* d = static_cast<DoorWindowData*>(copy->typeData);
  EXPECT_EQ(d->ownerType, kObjDoor);
  EXPECT_EQ(d->subtype, kDoorHinged);
  EXPECT_EQ(d->anchorStart, nullptr);
  EXPECT_FLOAT_EQ(d->width, 0);
  copy->layer = nullptr;
  DeleteObj(copy);
}

TEST(Duplicate, PhotoViewsGetIncreasingTextureIds) {
  TestDocument doc;
  Objex* photo = doc.addObject(kObjPhotoView, true, {{0, 0}, {10, 0}});
  photo->sourceObject = strdup("photo.jpg");
  Objex* a = DuplicateObject(photo, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate);
  Objex* b = DuplicateObject(photo, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate);
  ASSERT_TRUE(a && b);
  EXPECT_GT(b->textureID1, a->textureID1);
  EXPECT_EQ(a->textureID3, a->textureID1);
  EXPECT_EQ(b->firstPoint->textureID[0], b->textureID1);
  EXPECT_EQ(b->firstPoint->textureID[1], b->textureID1);
  EXPECT_STREQ(static_cast<char*>(a->sourceObject), "photo.jpg");
  EXPECT_EQ(gCurrentPhotoTextureID, b->textureID1 + 1);
}

TEST(Duplicate, RefusalsAndSymbolParts) {
  TestDocument doc;
  Objex* editor = doc.addObject(kObjGroup, false, {});
  editor->groupMarker = 123;
  Objex* inside = AddChild(editor, kObjLine, {{0, 0}, {1, 0}});
  EXPECT_EQ(DuplicateObject(inside, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate), nullptr);
  EXPECT_EQ(DuplicateObject(nullptr, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate), nullptr);
  Objex* group = doc.addObject(kObjGroup, false, {});
  AddChild(group, kObjLine, {{0, 0}, {1, 0}});
  Objex* part = DuplicateObject(group, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdPlaceSymbolPart);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->firstChild, nullptr);
  Objex* text = doc.addObject(kObjText, true, {{0, 0}});
  text->typeData = strdup("hello");
  text->extraData = calloc(1, sizeof(LOGFONT));
  Objex* textCopy = DuplicateObject(text, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate);
  EXPECT_STREQ(static_cast<char*>(textCopy->typeData), "hello");
  EXPECT_NE(textCopy->extraData, text->extraData);
  // A cabinet's own record goes with its copy, whole.
  Objex* cabinet = doc.addObject(kObjGroup, false, {});
  cabinet->subtype = kSubCabinet;
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  state->angle = 90, state->values3[14] = 2.5f, state->values23[3] = 7, state->flag27 = 1;
  cabinet->typeData = state;
  Objex* cabinetCopy = DuplicateObject(cabinet, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate);
  ASSERT_NE(cabinetCopy->typeData, nullptr);
  EXPECT_NE(cabinetCopy->typeData, cabinet->typeData);
  EXPECT_EQ(memcmp(cabinetCopy->typeData, state, sizeof(CabinetState)), 0);
  EXPECT_MODEL_SOUND();
}

// Across about x = 50 and down about z = 30: each mirror takes its own axis and centre.
TEST(Duplicate, MirroredGroupMembersFlipAboutTheCentre) {
  struct Case {
    int32_t mode;
    float x0, x1, z;
  };
  for (const Case& c : {Case{kCmdMirrorHorizontal, 90, 70, 5}, Case{kCmdMirrorVertical, 10, 30, 55}}) {
    SCOPED_TRACE(c.mode);
    TestDocument doc;
    doc.ds()->viewPlane = 2;
    Objex* group = doc.addObject(kObjGroup, false, {});
    AddChild(group, kObjLine, {{10, 5}, {30, 5}});
    gFlipCenterX = 50;
    gFlipCenterY = 30;
    Objex* copy = DuplicateObject(group, nullptr, nullptr, FloatPoint{0, 0}, 1, c.mode);
    gFlipCenterX = gFlipCenterY = 0;
    ASSERT_NE(copy, nullptr);
    Objex* member = copy->firstChild;
    ASSERT_NE(member, nullptr);
    EXPECT_FLOAT_EQ(member->firstPoint->position[0], c.x0);
    EXPECT_FLOAT_EQ(member->firstPoint->next->position[0], c.x1);
    EXPECT_FLOAT_EQ(member->firstPoint->position[2], c.z);
    EXPECT_FLOAT_EQ(member->firstPoint->next->position[2], c.z);
    EXPECT_EQ(member->firstPoint->selected, 1);
    EXPECT_MODEL_SOUND();
  }
}

// A copy put on another floor takes every record it owns there: children, 3D symbols, the
// parts of door and skylight records and their trim profiles.
TEST(Duplicate, CopyPutOnAFloorTakesEverythingItOwns) {
  TestDocument doc;
  std::vector<Objex*> owned;
  auto part = [&](Objex* owner) {
    Objex* p = CreateObject(kObjFace, 1, 1, nullptr, nullptr, 0, 0, 0, nullptr, nullptr, nullptr, owner,
                            doc.first, nullptr);
    owned.push_back(p);
    return p;
  };
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = AddDoor(wall, 0);
  owned.push_back(door);
  door->symbol3D = part(door);
  DoorWindowData* d = AttachmentData(door);
  for (Objex** list : {&d->faces, &d->maskObject, &d->definitionParts, &d->definitionLeafParts, &d->extraParts1,
                       &d->extraParts2, &d->extraParts3, &d->extraParts4, &d->trimSlotA.profile,
                       &d->trimSlotB.profile})
    *list = part(door);
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {50, 0}, {50, 50}});
  Objex* sky = AddChild(roof, kObjSkylight, {{10, 10}, {20, 10}, {20, 20}});
  owned.push_back(sky);
  auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  r->ownerType = kObjSkylight;
  sky->typeData = r;
  for (Objex** list : {&r->parts, &r->outlineParts, &r->separatorParts, &r->leafParts, &r->customParts,
                       &r->otherParts, &r->slots[0].profile, &r->slots[1].profile})
    *list = part(sky);

  PutCopyOnLayer(wall, doc.second);
  PutCopyOnLayer(roof, doc.third);
  EXPECT_EQ(wall->layer, doc.second);
  EXPECT_EQ(roof->layer, doc.third);
  for (size_t k = 0; k < owned.size(); ++k)
    EXPECT_EQ(owned[k]->layer, owned[k] == sky || owned[k]->parent == sky ? doc.third : doc.second) << k;
}
