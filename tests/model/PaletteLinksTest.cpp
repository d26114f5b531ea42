// Palette links in pasted and refreshed objects: the clipboard palette, converting links to
// materials with re-linking, rebuilding users of a changed entry, and loaded entries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "ChildBuilders.h"
#include "TestDocument.h"
#include "model/CustomTextures.h"
#include "model/Palettes.h"
#include "model/PaletteLinks.h"
#include "model/Services.h"
#include "model/PlaneObjectRecords.h"

namespace {

constexpr RGBColor kWhite16{65535, 65535, 65535};

// A scene plane object with the fields the palette code reads.
PlaneObject ScenePlaneObject(int16_t renderKind, int32_t textureA, int32_t textureB,
                             PlaneObject* children, PlaneObject* attachments, PlaneObject* next) {
  PlaneObject p;
  p.renderKind = renderKind;
  p.textureIdA = textureA;
  p.textureIdB = textureB;
  p.children = children;
  p.attachments = attachments;
  p.next = next;
  return p;
}

struct PaletteLinks : ::testing::Test {
  TestDocument doc;
  DocPaletteList* palette = nullptr;

  PaletteLinks() {
    palette = AddNewDocPaletteList();
    palette->active = 1;
  }
  ~PaletteLinks() override {
    FreeClipBoardPaletteList();
    gLinkClipBoardToCurPalette = 0;
    gGLPlaneObjects = nullptr;
  }

  PaletteList* entry(DocPaletteList* p, int32_t refID) {
    for (PaletteList* e = p->entries; e; e = e->next)
      if (e->refID == refID) return e;
    return nullptr;
  }
  void setTexture(DocPaletteList* p, int32_t refID, int32_t texture, ShortPoint scale = {100, 100}) {
    PaletteList* e = entry(p, refID);
    e->kind = kPaletteEntryTexture;
    e->textureID = texture;
    e->textureScale = scale;
  }
  void setColor(DocPaletteList* p, int32_t refID, RGBColor c) {
    PaletteList* e = entry(p, refID);
    e->kind = kPaletteEntryColor;
    e->color = c;
  }
  // Copies the active palette to the clipboard and then empties the active palette, so the
  // paste target is a document with a different palette.
  void copyThenClearActive() {
    CreateClipBoardPaletteList();
    for (PaletteList* e = palette->entries; e; e = e->next) {
      e->kind = 0;
      ResetPaletteListEntry(e);
    }
  }
};

TEST_F(PaletteLinks, ClipboardPaletteCopiesTheActivePalette) {
  strcpy(palette->sectionNames[2], "Bricks");
  palette->sectionCollapsed[2] = 1;
  setTexture(palette, 1, 1300, {50, 50});
  CreateClipBoardPaletteList();
  ASSERT_NE(gClipBoardPalette, nullptr);
  EXPECT_STREQ(gClipBoardPalette->name, "ClipBoard Palette");
  EXPECT_EQ(gClipBoardPalette->active, 0);
  EXPECT_EQ(gClipBoardPalette->next, nullptr);
  EXPECT_STREQ(gClipBoardPalette->sectionNames[2], "Bricks");
  EXPECT_EQ(gClipBoardPalette->sectionCollapsed[2], 1);
  int n = 0;
  for (PaletteList* e = gClipBoardPalette->entries; e; e = e->next) EXPECT_EQ(e->refID, ++n);
  EXPECT_EQ(n, 150);
  EXPECT_EQ(GetClipBoardPaletteTextureID(-1001), 1300);
  EXPECT_EQ(GetClipBoardPaletteTextureScale(-1001).x, 50);
  // The copy is independent of the document's palette.
  setTexture(palette, 1, 1400);
  EXPECT_EQ(GetClipBoardPaletteTextureID(-1001), 1300);

  // Without an active palette the next copy leaves none.
  palette->active = 0;
  CreateClipBoardPaletteList();
  EXPECT_EQ(gClipBoardPalette, nullptr);
  EXPECT_EQ(GetClipBoardPaletteTextureID(-1001), 0);
  EXPECT_EQ(GetClipBoardPaletteRGBColor(-1001), (RGBColor{255, 255, 255}));
  EXPECT_EQ(GetClipBoardPaletteTextureScale(-1001).y, 100);
}

TEST_F(PaletteLinks, PastedTextureLinkBecomesTheMaterialAndIsRelinkedOnlyWhenFound) {
  setTexture(palette, 1, 1300, {50, 50});
  copyThenClearActive();
  Objex* a = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  a->textureID = -1001;
  ConvertObjPaletteLinksToActual(a);
  EXPECT_EQ(a->textureID, 1300);
  EXPECT_EQ(a->textureScale.x, 50);
  EXPECT_EQ(a->textureScale.y, 50);
  EXPECT_EQ(a->fillColor, kWhite16);

  // The target's entry 1 holds the same texture: linked again, clipboard scale kept.
  setTexture(palette, 1, 1300);
  gLinkClipBoardToCurPalette = 1;
  Objex* b = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  b->textureID = -1001;
  ConvertObjPaletteLinksToActual(b);
  EXPECT_EQ(b->textureID, -1001);
  EXPECT_EQ(b->textureScale.x, 50);

  // A match behind an empty entry is not found.
  entry(palette, 1)->kind = 0;
  setTexture(palette, 2, 1300);
  Objex* c = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  c->textureID = -1001;
  ConvertObjPaletteLinksToActual(c);
  EXPECT_EQ(c->textureID, 1300);

  // A link to an entry the clipboard palette lacks.
  Objex* d = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  d->textureID1 = -1151;
  d->color1 = {1, 2, 3};
  d->textureScale1 = {7, 7};
  ConvertObjPaletteLinksToActual(d);
  EXPECT_EQ(d->textureID1, 0);
  EXPECT_EQ(d->color1, kWhite16);
  EXPECT_EQ(d->textureScale1.x, 100);
  EXPECT_EQ(d->textureScale1.y, 100);
}

TEST_F(PaletteLinks, ColourLinksConvertTo16BitsAndMatchOnAllComponents) {
  setColor(palette, 1, {10, 20, 30});
  copyThenClearActive();
  gLinkClipBoardToCurPalette = 1;
  setColor(palette, 1, {10, 99, 30});  // differs in green only
  setColor(palette, 2, {10, 20, 30});
  Objex* o = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}});
  o->textureID = -1001;
  ConvertObjPaletteLinksToActual(o);
  EXPECT_EQ(o->fillColor, (RGBColor{2570, 5140, 7710}));
  EXPECT_EQ(o->textureID, -1002);
  EXPECT_EQ(FindTextureOrColorInPalette(0, {2570, 5140, 7711}), 0);
  EXPECT_EQ(FindTextureOrColorInPalette(1300, {2570, 5140, 7710}), 0);
}

TEST_F(PaletteLinks, CustomTextureLinksAreListedAndRelinkedByPath) {
  PaletteList* e = entry(palette, 4);
  e->kind = kPaletteEntryCustomTexture;
  SetPaletteEntryText(&e->texturePath, "Stone\\slate.jpg");
  copyThenClearActive();
  gLinkClipBoardToCurPalette = 1;
  PaletteList* t = entry(palette, 9);
  for (PaletteList* x = palette->entries; x != t; x = x->next) x->kind = kPaletteEntryTexture;
  t->kind = kPaletteEntryCustomTexture;
  SetPaletteEntryText(&t->texturePath, "stone/SLATE.jpg");
  Objex* o = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  o->textureID3 = -1004;
  ConvertObjPaletteLinksToActual(o);
  const int32_t id = IsTexturePathLoaded("Stone/slate.jpg");
  EXPECT_GE(id, 20000);
  EXPECT_EQ(o->textureID3, -1009);
  EXPECT_EQ(FindTextureOrColorInPalette(id, {}), 9);
  // Looking up does not list the palette's own paths.
  EXPECT_EQ(FindTextureOrColorInPalette(id + 1, {}), 0);
  int listed = 0;
  for (CustomTextureIDList* c = doc.model.itsCustomTextureList; c; c = c->next) ++listed;
  EXPECT_EQ(listed, 1);
}

TEST_F(PaletteLinks, EverySlotKindIsConvertedAndChildRecordsNeedTheParentsRecord) {
  setTexture(palette, 3, 1500, {25, 75});
  copyThenClearActive();
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Poinz* p = wall->firstPoint;
  p->textureID[1] = -1003;
  auto* trim = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
  trim->slotTextureIDs[4] = -1003;
  p->trim2 = trim;
  Objex* door = AddDoor(wall, 0);
  auto* d = static_cast<DoorWindowData*>(door->typeData);
  d->trimSlotB.textureID = -1003;
  door->textureID2 = -1003;

  // No wall record: the door's record is not visited, but the door itself is converted.
  ConvertObjPaletteLinksToActual(wall);
  EXPECT_EQ(p->textureID[1], 1500);
  EXPECT_EQ(p->textureScale[1].y, 75);
  EXPECT_EQ(p->color[1], kWhite16);
  EXPECT_EQ(trim->slotTextureIDs[4], 1500);
  EXPECT_EQ(trim->slotTextureScales[4].x, 25);
  EXPECT_EQ(door->textureID2, 1500);
  EXPECT_EQ(d->trimSlotB.textureID, -1003);

  RGBColor black{};
  wall->typeData = CreateObject(kObjOpenPoly, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr);
  ConvertObjPaletteLinksToActual(wall);
  EXPECT_EQ(d->trimSlotB.textureID, 1500);
  EXPECT_EQ(d->trimSlotB.textureWidth, 25);
  EXPECT_EQ(d->trimSlotB.textureHeight, 75);

  // A roof's skylight record.
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {100, 0}, {100, 100}});
  roof->typeData = CreateObject(kObjOpenPoly, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr);
  Objex* sky = AddChild(roof, kObjSkylight, {{10, 10}, {20, 20}});
  auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  r->slots[0].textureID = -1003;
  sky->typeData = r;
  ConvertObjPaletteLinksToActual(roof);
  EXPECT_EQ(r->slots[0].textureID, 1500);
}

TEST_F(PaletteLinks, OnlyUsersOfAnEntryAreRebuiltAndGroupsNever) {
  Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* path = AddChild(floor, kObjPath, {{0, 0}, {5, 5}});
  path->textureID4 = -1007;
  {
    ServiceCallRecorder calls;  // no plane objects: nothing happens
    EXPECT_FALSE(UpdatePalettedObjectFromPaletteEntry(floor, 7));
    EXPECT_TRUE(calls.calls.empty());
  }
  PlaneObject plane;
  gGLPlaneObjects = &plane;
  {
    ServiceCallRecorder calls;
    EXPECT_FALSE(UpdatePalettedObjectFromPaletteEntry(floor, 7));
    EXPECT_TRUE(calls.called("Update3DPath", path->objectID));
    EXPECT_TRUE(calls.called("ReRenderObject", path->objectID));
    EXPECT_FALSE(calls.called("Update3DFloorSkirting"));
    EXPECT_FALSE(calls.called("ReRenderObject", floor->objectID));
    EXPECT_TRUE(UpdatePalettedObjectFromPaletteEntry(path, 7));
    EXPECT_FALSE(UpdatePalettedObjectFromPaletteEntry(path, 8));
  }
  // A wall uses the entry through a door's trim slot once it has its record.
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = AddDoor(wall, 0);
  static_cast<DoorWindowData*>(door->typeData)->trimSlotA.textureID = -1007;
  EXPECT_FALSE(UpdatePalettedObjectFromPaletteEntry(wall, 7));
  RGBColor black{};
  wall->typeData = CreateObject(kObjOpenPoly, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr);
  {
    ServiceCallRecorder calls;
    EXPECT_TRUE(UpdatePalettedObjectFromPaletteEntry(wall, 7));
    EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
    EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  }
  // A group is examined through its members but never rebuilt itself.
  Objex* group = doc.addObject(kObjGroup, false, {});
  group->textureID = -1007;
  Objex* member = AddChild(group, kObjDeck, {{0, 0}, {10, 0}, {10, 10}});
  member->textureID = -1007;
  {
    ServiceCallRecorder calls;
    EXPECT_TRUE(UpdatePalettedObjectFromPaletteEntry(group, 7));
    EXPECT_TRUE(calls.called("Update3DDeck", member->objectID));
    EXPECT_FALSE(calls.called("ReRenderObject", group->objectID));
  }
  {
    ServiceCallRecorder calls;
    UpdateAllPalettedObjectsFromPaletteEntry(7);
    EXPECT_EQ(calls.count("InitializeAnimatedLVStatus"), 1u);
    EXPECT_EQ(calls.count("ResetAnimatedLVStatus"), 1u);
    EXPECT_TRUE(calls.called("Update3DDeck", member->objectID));
    EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  }
  {
    // Colour entries are skipped by the whole-palette update.
    setColor(palette, 7, {1, 2, 3});
    ServiceCallRecorder calls;
    UpdateAllPalettedObjectsFromPaletteList();
    EXPECT_FALSE(calls.called("Update3DDeck"));
    setTexture(palette, 7, 1300);
    UpdateAllPalettedObjectsFromPaletteList();
    EXPECT_TRUE(calls.called("Update3DDeck", member->objectID));
  }
}

TEST_F(PaletteLinks, LoadedEntriesAreFoundOnTheRightSideAtAnyDepth) {
  EXPECT_FALSE(IsAnyPaletteLoaded());
  PlaneObject sideA = ScenePlaneObject(6, -1003, -1009, nullptr, nullptr, nullptr);
  PlaneObject sideB = ScenePlaneObject(0, -1004, -1005, nullptr, nullptr, nullptr);
  PlaneObject attached = ScenePlaneObject(0, 0, -1006, nullptr, nullptr, nullptr);
  PlaneObject child = ScenePlaneObject(0, 0, 0, nullptr, &attached, nullptr);
  PlaneObject root = ScenePlaneObject(1, 0, 0, &child, nullptr, &sideA);
  sideA.next = &sideB;
  gGLPlaneObjects = &root;
  EXPECT_TRUE(IsPaletteLoaded(3));
  EXPECT_FALSE(IsPaletteLoaded(9));  // side B of a kind-6 plane
  EXPECT_FALSE(IsPaletteLoaded(4));  // side A of another kind
  EXPECT_TRUE(IsPaletteLoaded(5));
  EXPECT_TRUE(IsPaletteLoaded(6));
  EXPECT_FALSE(IsPaletteLoaded(0));
  EXPECT_FALSE(IsPaletteLoaded(1000));
  EXPECT_TRUE(IsAnyPaletteLoaded());
  palette->active = 0;
  EXPECT_FALSE(IsAnyPaletteLoaded());
}

}  // namespace
