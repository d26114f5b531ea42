// Deep copies: fields, points, children, attachment records and fresh texture ids.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
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
  Objex* copy = DuplicateObject(wall, nullptr, nullptr, FloatPoint{0, 50}, 1, kCmdDuplicate);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(wall->next, copy);
  EXPECT_STREQ(copy->name, "Wall A");
  EXPECT_NE(copy->name, wall->name);
  EXPECT_FLOAT_EQ(copy->firstPoint->position[2], 50);
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
  EXPECT_MODEL_SOUND();
}

TEST(Duplicate, MirroredGroupMembersFlipAboutTheCentre) {
  TestDocument doc;
  doc.ds()->viewPlane = 2;
  Objex* group = doc.addObject(kObjGroup, false, {});
  AddChild(group, kObjLine, {{10, 0}, {30, 0}});
  gFlipCenterX = 50;
  Objex* copy = DuplicateObject(group, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdMirrorHorizontal);
  ASSERT_NE(copy, nullptr);
  Objex* member = copy->firstChild;
  ASSERT_NE(member, nullptr);
  EXPECT_FLOAT_EQ(member->firstPoint->position[0], 90);
  EXPECT_FLOAT_EQ(member->firstPoint->next->position[0], 70);
  EXPECT_EQ(member->firstPoint->selected, 1);
  gFlipCenterX = 0;
  EXPECT_MODEL_SOUND();
}
