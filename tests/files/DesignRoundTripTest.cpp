// A design holding every kind the file carries goes through save, open, save, open, save:
// from the second save on the files are identical and every model read is sound.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/FileTestSupport.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "model/CabinetState.h"
#include "model/Delete.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"
#include "platform/ContentPaths.h"

namespace fs = std::filesystem;

namespace {

// A definition object: no layer, no parent link, kept in a record's list.
Objex* Part(int16_t type, int points, Objex** list) {
  Objex* o = MakeObject(type, points, 1, nullptr, nullptr);
  while (*list) list = &(*list)->next;
  *list = o;
  return o;
}

// A door or window record with a trim in each of its two slots.
DoorWindowData* Opening(int16_t subtype, Poinz* a, Poinz* b, float width) {
  DoorWindowData* d = NewOpening(subtype, a, b, width);
  d->trimSlotA = {0, 2200, 100, 100, {7, 8, 9}, nullptr};
  d->trimSlotB = {0, 2201, 100, 100, {9, 8, 7}, nullptr};
  return d;
}

RoofAttachmentData* Skylight(int16_t subtype) {
  auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  r->ownerType = kObjSkylight;
  r->subtype = subtype;
  r->floats[0] = 10;
  r->floats[1] = 12;
  r->floats[3] = 2.5f;
  r->panelID = 3;
  return r;
}

// The whole design: every kind of object, plug-in blocks, saved views and palettes.
void FillDesign(TestDocument& doc) {
  Layer* first = doc.first;
  // Walls with a door and a custom window that carries its definition objects.
  Objex* wall = MakeWallWithSides(0, nullptr, first);
  Poinz* w0 = wall->firstPoint;
  MakeObject(kObjDoor, 4, 5, wall, nullptr, Opening(kDoorHinged, w0, w0->next, 36));
  DoorWindowData* window = Opening(kWindowCustom, w0->next, w0->next->next, 24);
  Objex* win = MakeObject(kObjWindow, 4, 42, wall, nullptr, window);
  for (Objex* o : {Part(kObjSkylightOutline, 2, &window->maskObject),
                   Part(kObjClosedPoly, 3, &window->definitionParts),
                   Part(kObjDoorLeafFace, 3, &window->definitionLeafParts)})
    o->parent = win;

  // A deck with steps.
  Objex* deck = MakeObject(kObjDeck, 4, 100, nullptr, first);
  MakeObject(kObjDeckSteps, 4, 105, deck, nullptr, Opening(0, deck->firstPoint, deck->firstPoint->next, 30));

  // A roof with a plain and a custom skylight.
  Objex* roof = MakeObject(kObjRoof, 4, 200, nullptr, first);
  MakeObject(kObjSkylight, 4, 205, roof, nullptr, Skylight(kSkylightRectangular));
  RoofAttachmentData* custom = Skylight(kSkylightCustom);
  Part(kObjSkylightOutline, 2, &custom->outlineParts);
  Part(kObjSeparatorFace, 3, &custom->separatorParts);
  Part(kObjCustomAttachmentPart, 3, &custom->customParts);
  MakeObject(kObjSkylight, 4, 215, roof, nullptr, custom);

  // Text, a user plant and a photo view.
  Objex* text = MakeObject(kObjText, 2, 300, nullptr, doc.second);
  text->typeData = strdup("Front porch");
  auto* font = static_cast<LOGFONT*>(calloc(1, sizeof(LOGFONT)));
  font->lfHeight = 14;
  strcpy(font->lfFaceName, "Serif");
  text->extraData = font;
  Objex* plant = MakeObject(kObjPlant, 1, 320, nullptr, doc.second);
  plant->subtype = kSubUserPlant;
  plant->typeData = strdup((LocalDomainCustomPlantPath() + "/Maple/m1.jpg").c_str());
  Objex* photo = MakeObject(kObjPhotoView, 3, 340, nullptr, doc.second);
  photo->sourceObject = strdup("/photos/front.jpg");

  // A nested group: the outer one holds a line and an inner group of two lines.
  Objex* outer = MakeObject(kObjGroup, 0, 0, nullptr, doc.second);
  MakeObject(kObjLine, 2, 400, outer, nullptr);
  Objex* inner = MakeObject(kObjGroup, 0, 0, outer, nullptr);
  MakeObject(kObjLine, 2, 410, inner, nullptr);
  MakeObject(kObjLine, 2, 420, inner, nullptr);

  // A cabinet group with two parts.
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  state->angle = 90;
  state->values3[4] = 24;
  state->flag27 = 1;
  Objex* cabinet = MakeObject(kObjGroup, 0, 0, nullptr, doc.third, state);
  cabinet->subtype = kSubCabinet;
  cabinet->baseElevation = 30;
  MakeObject(kObjCabinet, 4, 500, cabinet, nullptr)->baseElevation = 30;
  MakeObject(kObjCabinet, 4, 550, cabinet, nullptr)->baseElevation = 30;

  // Two plug-in blocks, two saved views, two palettes (the second active).
  char* data = static_cast<char*>(malloc(4));
  memcpy(data, "blob", 4);
  StorePlugInData(data, 4, 11);
  StorePlugInData(nullptr, 0, 12);
  strcpy(AddLiveViewsListEntry()->name, "Garden");
  LiveViewsList* v = AddLiveViewsListEntry();
  strcpy(v->name, "Hall");
  v->flyPitch = 7.5f;
  DocPaletteList* a = AddNewDocPaletteList();
  DocPaletteList* b = AddNewDocPaletteList();
  strcpy(a->name, "Light");
  strcpy(b->name, "Dark");
  b->active = 1;
  b->entries->kind = 5;
  b->entries->textureID = 1234;
  SetPaletteEntryText(&b->entries->next->extraText, "trim");
  // A wall slot linked to the active palette's first entry.
  wall->textureID3 = -1001;
}

size_t CountChildren(const Objex* o) {
  size_t n = 0;
  for (const Objex* c = o ? o->firstChild : nullptr; c; c = c->next) ++n;
  return n;
}

class DesignRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetByteStream();
    dir = fs::temp_directory_path() / ("casa-roundtrip-" + std::to_string(getpid()));
    fs::create_directories(dir);
    SetUserSharedRoot((dir / "shared").string());
  }
  void TearDown() override {
    SetUserSharedRoot("");
    ResetByteStream();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string File(const char* name) const { return (dir / name).string(); }
  fs::path dir;
};

// Each write notes the records it met for the next write of the floor to ask for ahead. A
// write after objects were freed and others made since writes what any write of that design
// writes.
TEST_F(DesignRoundTrip, AWriteAfterTheDesignChangedWritesWhatAnyWriteWrites) {
  const std::string a = File("a.dsn"), b = File("b.dsn"), c = File("c.dsn");
  TestDocument doc;
  FillDesign(doc);
  ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  // The wall with its points, trims and attachments goes; a polygon and a wall come.
  Objex* wall = doc.first->firstObject;
  ASSERT_EQ(wall->type, kObjWall);
  doc.first->firstObject = wall->next;
  wall->next->prev = nullptr;
  DeleteObj(wall);
  MakeObject(kObjClosedPoly, 5, 300, nullptr, doc.first);
  MakeWallWithSides(400, nullptr, doc.first);
  ASSERT_EQ(KeyFileWrite(b.c_str()), 1);
  ASSERT_EQ(KeyFileWrite(c.c_str()), 1);
  const Bytes bytesB = ReadBytes(b);
  EXPECT_NE(bytesB, ReadBytes(a));
  EXPECT_EQ(bytesB, ReadBytes(c));
  TestDocument read;
  ASSERT_EQ(KeyFileRead(b.c_str()), 1);
  EXPECT_MODEL_SOUND();
}

TEST_F(DesignRoundTrip, SecondAndThirdSavesAreIdenticalAndEveryReadIsSound) {
  const std::string a = File("a.dsn"), b = File("b.dsn"), c = File("c.dsn");
  {
    TestDocument doc;
    FillDesign(doc);
    EXPECT_MODEL_SOUND();
    ASSERT_EQ(KeyFileWrite(a.c_str()), 1);
  }
  TestDocument second;
  ASSERT_EQ(KeyFileRead(a.c_str()), 1);
  EXPECT_MODEL_SOUND();
  ASSERT_EQ(KeyFileWrite(b.c_str()), 1);
  TestDocument third;
  ASSERT_EQ(KeyFileRead(b.c_str()), 1);
  EXPECT_MODEL_SOUND();
  ASSERT_EQ(KeyFileWrite(c.c_str()), 1);
  const Bytes bytesB = ReadBytes(b);
  ASSERT_GT(bytesB.size(), 4000u);
  EXPECT_EQ(bytesB, ReadBytes(c));

  // What the last read holds.
  const ZLKDocumentModel& m = third.model;
  Layer* first = GetLayerFromName("First Floor");
  Layer* secondFloor = GetLayerFromName("Second Floor");
  Layer* thirdFloor = GetLayerFromName("Third Floor");
  ASSERT_TRUE(first && secondFloor && thirdFloor);

  Objex* wall = first->firstObject;
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->type, kObjWall);
  EXPECT_EQ(wall->textureID3, -1001);
  ASSERT_EQ(CountChildren(wall), 2u);
  const DoorWindowData* window = AttachmentData(wall->firstChild->next);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->subtype, kWindowCustom);
  EXPECT_EQ(window->anchorStart, wall->firstPoint->next);
  ASSERT_TRUE(window->maskObject && window->definitionParts && window->definitionLeafParts);
  EXPECT_EQ(window->maskObject->type, kObjSkylightOutline);
  EXPECT_EQ(window->definitionLeafParts->type, kObjDoorLeafFace);

  Objex* deck = wall->next;
  ASSERT_NE(deck, nullptr);
  EXPECT_EQ(deck->type, kObjDeck);
  ASSERT_EQ(CountChildren(deck), 1u);
  EXPECT_EQ(deck->firstChild->type, kObjDeckSteps);

  Objex* roof = deck->next;
  ASSERT_NE(roof, nullptr);
  EXPECT_EQ(roof->type, kObjRoof);
  size_t skylights = 0;
  const RoofAttachmentData* customSky = nullptr;
  for (Objex* c = roof->firstChild; c; c = c->next)
    if (c->type == kObjSkylight) {
      ++skylights;
      auto* r = static_cast<const RoofAttachmentData*>(c->typeData);
      if (r && r->subtype == kSkylightCustom) customSky = r;
    }
  EXPECT_EQ(skylights, 2u);
  ASSERT_NE(customSky, nullptr);
  EXPECT_NE(customSky->outlineParts, nullptr);
  EXPECT_NE(customSky->separatorParts, nullptr);
  EXPECT_NE(customSky->customParts, nullptr);

  Objex* text = secondFloor->firstObject;
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->type, kObjText);
  EXPECT_STREQ(static_cast<const char*>(text->typeData), "Front porch");
  ASSERT_NE(text->extraData, nullptr);
  EXPECT_STREQ(static_cast<const LOGFONT*>(text->extraData)->lfFaceName, "Serif");
  Objex* plant = text->next;
  ASSERT_NE(plant, nullptr);
  EXPECT_EQ(plant->subtype, kSubUserPlant);
  ASSERT_NE(plant->typeData, nullptr);
  EXPECT_EQ(static_cast<const char*>(plant->typeData), LocalDomainCustomPlantPath() + "/Maple/m1.jpg");
  Objex* photo = plant->next;
  ASSERT_NE(photo, nullptr);
  EXPECT_STREQ(static_cast<const char*>(photo->sourceObject), "/photos/front.jpg");
  // The nested group comes back in the outer group, after the line, with its two lines.
  Objex* outer = photo->next;
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->type, kObjGroup);
  ASSERT_EQ(CountChildren(outer), 2u);
  EXPECT_EQ(outer->firstChild->type, kObjLine);
  Objex* inner = outer->firstChild->next;
  ASSERT_EQ(inner->type, kObjGroup);
  EXPECT_EQ(inner->parent, outer);
  ASSERT_EQ(CountChildren(inner), 2u);
  for (Objex* m = inner->firstChild; m; m = m->next) {
    EXPECT_EQ(m->type, kObjLine);
    EXPECT_EQ(m->parent, inner);
  }

  Objex* cabinet = thirdFloor->firstObject;
  ASSERT_NE(cabinet, nullptr);
  EXPECT_EQ(cabinet->subtype, kSubCabinet);
  EXPECT_FLOAT_EQ(cabinet->baseElevation, 30);
  ASSERT_NE(cabinet->typeData, nullptr);
  EXPECT_FLOAT_EQ(static_cast<const CabinetState*>(cabinet->typeData)->angle, 90);
  EXPECT_EQ(CountChildren(cabinet), 2u);

  int blocks = 0;
  for (PlugInData* p = m.itsPlugIns; p; p = p->next) ++blocks;
  EXPECT_EQ(blocks, 2);
  EXPECT_EQ(CountLiveViewsList(), 2);
  const DocPaletteList* p = m.itsPaletteList;
  ASSERT_TRUE(p && p->next && !p->next->next);
  EXPECT_STREQ(p->next->name, "Dark");
  EXPECT_EQ(GetActiveDocPaletteList(), p->next);
  EXPECT_EQ(p->next->entries->textureID, 1234);
}

}  // namespace
