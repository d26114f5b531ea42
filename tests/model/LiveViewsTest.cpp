// Saved 3D views (store, restore, find, delete) and plug-in data blocks.
#include <gtest/gtest.h>

#include <cstring>

#include "TestDocument.h"
#include "model/LiveViews.h"
#include "model/Services.h"

namespace {

class LiveViewsTest : public ::testing::Test {
 protected:
  TestDocument doc;  // frees both lists with the model
};

// Gives every one of the 28 view settings a value derived from `seed`.
void FillViewSettings(DocState* ds, int seed) {
  float f = float(seed);
  ds->navigationMode = int16_t(seed + 1);
  ds->navigationSubMode = uint8_t(seed + 2);
  ds->flyPitch = f + 0.25f;
  ds->flyAngle = f + 0.5f;
  ds->walkAngle = f + 0.75f;
  ds->walkPosition = {f + 1.5f, f + 2.5f};
  ds->flyAltitude = f + 3.5f;
  ds->walkElevation = f + 4.5f;
  ds->lookOffset = {f + 5.5f, f + 6.5f};
  ds->viewSetting13 = seed + 100000;
  ds->cutAwayPlane = int16_t(seed + 3);
  ds->viewSetting5 = seed + 200000;
  ds->viewSetting1 = uint8_t(seed + 4);
  ds->viewSetting2 = seed + 300000;
  ds->topoFlag2 = uint8_t(seed + 5);
  ds->viewSetting10 = uint8_t(seed + 6);
  ds->viewSetting4 = int16_t(seed + 7);
  ds->viewSetting12 = int16_t(seed + 8);
  ds->shadowsOn = uint8_t(seed + 9);
  ds->viewSetting3 = uint16_t(seed + 40000);
  ds->viewSetting11 = f + 7.5f;
  ds->sunShadows = uint8_t(seed + 10);
  ds->sunAngle1 = f + 8.5f;
  ds->sunAngle2 = f + 9.5f;
  ds->sunSetting2 = int16_t(seed + 11);
  ds->viewSetting14 = f + 10.5f;
  ds->viewSetting6 = f + 11.5f;
  ds->viewSetting7 = uint8_t(seed + 12);
}

void ExpectViewSettings(const DocState* ds, int seed) {
  DocState expected{};
  FillViewSettings(&expected, seed);
  EXPECT_EQ(ds->navigationMode, expected.navigationMode);
  EXPECT_EQ(ds->navigationSubMode, expected.navigationSubMode);
  EXPECT_EQ(ds->flyPitch, expected.flyPitch);
  EXPECT_EQ(ds->flyAngle, expected.flyAngle);
  EXPECT_EQ(ds->walkAngle, expected.walkAngle);
  EXPECT_EQ(ds->walkPosition.floatH, expected.walkPosition.floatH);
  EXPECT_EQ(ds->walkPosition.floatV, expected.walkPosition.floatV);
  EXPECT_EQ(ds->flyAltitude, expected.flyAltitude);
  EXPECT_EQ(ds->walkElevation, expected.walkElevation);
  EXPECT_EQ(ds->lookOffset.floatH, expected.lookOffset.floatH);
  EXPECT_EQ(ds->lookOffset.floatV, expected.lookOffset.floatV);
  EXPECT_EQ(ds->viewSetting13, expected.viewSetting13);
  EXPECT_EQ(ds->cutAwayPlane, expected.cutAwayPlane);
  EXPECT_EQ(ds->viewSetting5, expected.viewSetting5);
  EXPECT_EQ(ds->viewSetting1, expected.viewSetting1);
  EXPECT_EQ(ds->viewSetting2, expected.viewSetting2);
  EXPECT_EQ(ds->topoFlag2, expected.topoFlag2);
  EXPECT_EQ(ds->viewSetting10, expected.viewSetting10);
  EXPECT_EQ(ds->viewSetting4, expected.viewSetting4);
  EXPECT_EQ(ds->viewSetting12, expected.viewSetting12);
  EXPECT_EQ(ds->shadowsOn, expected.shadowsOn);
  EXPECT_EQ(ds->viewSetting3, expected.viewSetting3);
  EXPECT_EQ(ds->viewSetting11, expected.viewSetting11);
  EXPECT_EQ(ds->sunShadows, expected.sunShadows);
  EXPECT_EQ(ds->sunAngle1, expected.sunAngle1);
  EXPECT_EQ(ds->sunAngle2, expected.sunAngle2);
  EXPECT_EQ(ds->sunSetting2, expected.sunSetting2);
  EXPECT_EQ(ds->viewSetting14, expected.viewSetting14);
  EXPECT_EQ(ds->viewSetting6, expected.viewSetting6);
  EXPECT_EQ(ds->viewSetting7, expected.viewSetting7);
}

LiveViewsList* AddNamed(const char* name) {
  LiveViewsList* e = AddLiveViewsListEntry();
  if (e) strcpy(e->name, name);
  return e;
}

}  // namespace

TEST_F(LiveViewsTest, SavedViewRestoresEverySetting) {
  DocState* ds = doc.ds();
  FillViewSettings(ds, 1);
  LiveViewsList* front = AddLiveViewsListEntry();
  ASSERT_NE(front, nullptr);
  EXPECT_STREQ(front->name, "");
  strcpy(front->name, "Front");
  FillViewSettings(ds, 50);
  ASSERT_NE(AddNamed("Back"), nullptr);
  EXPECT_EQ(CountLiveViewsList(), 2);

  FillViewSettings(ds, 99);
  gRefreshRender = 0;
  SetCurrentLiveView(1);
  ExpectViewSettings(ds, 1);
  EXPECT_STREQ(ds->currentLiveViewName, "Front");
  EXPECT_EQ(gRefreshRender, 1);

  SetCurrentLiveView(2);
  ExpectViewSettings(ds, 50);
  EXPECT_STREQ(ds->currentLiveViewName, "Back");
  gRefreshRender = 0;
}

TEST_F(LiveViewsTest, IndexOutsideTheListChangesNothing) {
  DocState* ds = doc.ds();
  FillViewSettings(ds, 1);
  AddNamed("Only");
  FillViewSettings(ds, 7);
  gRefreshRender = 0;
  for (int32_t index : {0, -1, 2, 1000}) SetCurrentLiveView(index);
  ExpectViewSettings(ds, 7);
  EXPECT_STREQ(ds->currentLiveViewName, "");
  EXPECT_EQ(gRefreshRender, 0);
}

TEST_F(LiveViewsTest, FindUpdateAndDeleteEntries) {
  DocState* ds = doc.ds();
  LiveViewsList* a = AddNamed("Deck");
  LiveViewsList* b = AddNamed("Deck view");
  LiveViewsList* c = AddNamed("Garden");
  EXPECT_EQ(GetLiveViewFromName("Deck"), a);
  EXPECT_EQ(GetLiveViewFromName("Deck view"), b);
  EXPECT_EQ(GetLiveViewFromName("deck"), nullptr);
  EXPECT_EQ(GetLiveViewFromName("Dec"), nullptr);
  EXPECT_EQ(GetLiveViewFromName(nullptr), nullptr);

  // The current view takes the DocState's settings; the others keep theirs.
  strcpy(ds->currentLiveViewName, "Garden");
  FillViewSettings(ds, 33);
  UpdateCurrentLiveView();
  EXPECT_EQ(c->flyAltitude, 33 + 3.5f);
  EXPECT_NE(a->flyAltitude, 33 + 3.5f);

  // A name that fills the whole field without a NUL still matches and restores safely.
  memset(c->name, 'x', sizeof c->name);
  std::string full(kLiveViewNameSize, 'x');
  EXPECT_EQ(GetLiveViewFromName(full.c_str()), c);
  SetCurrentLiveView(3);
  EXPECT_EQ(strlen(ds->currentLiveViewName), size_t(kLiveViewNameSize - 1));
  gRefreshRender = 0;

  // Deleting the head moves the head; deleting the middle relinks both sides.
  DeleteLiveViewsListEntry(a);
  EXPECT_EQ(doc.model.itsLiveViews, b);
  EXPECT_EQ(b->prev, nullptr);
  LiveViewsList* d = AddNamed("Street");
  DeleteLiveViewsListEntry(c);
  EXPECT_EQ(b->next, d);
  EXPECT_EQ(d->prev, b);
  EXPECT_EQ(CountLiveViewsList(), 2);

  // An entry that is not on this document's list is left alone.
  LiveViewsList stray{};
  DeleteLiveViewsListEntry(&stray);
  DeleteLiveViewsListEntry(nullptr);
  EXPECT_EQ(CountLiveViewsList(), 2);

  DeleteLiveViewsList();
  EXPECT_EQ(CountLiveViewsList(), 0);
  EXPECT_EQ(doc.model.itsLiveViews, nullptr);
}

TEST(LiveViewsNoDocument, CallsAreHarmless) {
  ASSERT_EQ(gCurDocument, nullptr);
  EXPECT_EQ(AddLiveViewsListEntry(), nullptr);
  EXPECT_EQ(CountLiveViewsList(), 0);
  EXPECT_EQ(GetLiveViewFromName(""), nullptr);
  SetCurrentLiveView(1);
  UpdateCurrentLiveView();
  DeleteLiveViewsList();
  EXPECT_EQ(AppendPlugInDataToList(5), nullptr);
  StorePlugInData(static_cast<char*>(malloc(4)), 4, 5);  // freed, not leaked
  CreatePlugInDataList();
  DeletePlugInDataList();
}

TEST_F(LiveViewsTest, PlugInDataKeepsOneBlockPerID) {
  CreatePlugInDataList();  // no plug-ins installed here
  EXPECT_EQ(doc.model.itsPlugIns, nullptr);

  PlugInData* installed = AppendPlugInDataToList(7);
  ASSERT_NE(installed, nullptr);
  EXPECT_EQ(installed->size, 0);
  EXPECT_EQ(installed->data, nullptr);

  char* first = static_cast<char*>(malloc(3));
  memcpy(first, "abc", 3);
  StorePlugInData(first, 3, 7);
  char* second = static_cast<char*>(malloc(5));
  memcpy(second, "hello", 5);
  StorePlugInData(second, 5, 7);  // the first block is freed (LeakSanitizer checks)
  ASSERT_EQ(doc.model.itsPlugIns, installed);
  EXPECT_EQ(installed->next, nullptr);
  EXPECT_EQ(installed->data, second);
  EXPECT_EQ(installed->size, 5);

  // A plug-in that is not installed gets a new entry at the end.
  char* other = static_cast<char*>(malloc(2));
  StorePlugInData(other, 2, 9);
  ASSERT_NE(installed->next, nullptr);
  EXPECT_EQ(installed->next->plugInID, 9);
  EXPECT_EQ(installed->next->prev, installed);
  EXPECT_EQ(installed->next->data, other);

  // A block with no bytes is kept as none.
  StorePlugInData(static_cast<char*>(malloc(1)), 0, 9);
  EXPECT_EQ(installed->next->data, nullptr);
  EXPECT_EQ(installed->next->size, 0);
  StorePlugInData(nullptr, 12, 7);
  EXPECT_EQ(installed->data, nullptr);
  EXPECT_EQ(installed->size, 0);

  DeletePlugInDataList();
  EXPECT_EQ(doc.model.itsPlugIns, nullptr);
}
