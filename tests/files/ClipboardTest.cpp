// The private clipboard: the scrap stream, pasting onto the source floor, the paste offsets,
// groups, palette links across designs, and damaged scraps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "files/FileTestSupport.h"
#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/ObjectRecords.h"
#include "files/Undo.h"
#include "files/StreamState.h"
#include "model/CabinetState.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/PaletteLinks.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "model/ViewStateGuard.h"
#include "platform/Alerts.h"
#include "platform/TemporaryFolder.h"

namespace {



Objex* LastObject(const Layer* l) {
  Objex* o = l->firstObject;
  while (o && o->next) o = o->next;
  return o;
}

Bytes Scrap() { return Bytes(gStream.privateScrap, gStream.privateScrap + gStream.scrapLength); }

struct Clipboard : ::testing::Test {
  ViewStateGuard view;
  TestDocument doc;
  ScopedAlertRecorder alerts;

  Clipboard() {
    ResetByteStream();
    ReadyToPaste(doc.model, 11);
    gMirroring = 0;
  }
  ~Clipboard() override {
    ResetByteStream();
    FreeClipBoardPaletteList();
    gLinkClipBoardToCurPalette = 0;
    gUnlinkClipBoardFromPalette = 0;
  }

  Objex* addSelectedRect(Layer* layer = nullptr) {
    Objex* o = doc.addObject(kObjClosedPoly, true, {{0, 0}, {40, 0}, {40, 20}, {0, 20}}, layer);
    SelectObj(o, 1, 0);
    return o;
  }
};

TEST_F(Clipboard, CopyWithNothingSelectedIsTheEndTagAndPastesNothing) {
  doc.addObject(kObjClosedPoly, true, {{0, 0}, {40, 0}, {40, 20}});
  gPasteOffset = 72;
  DoCopyObjects();
  EXPECT_EQ(Scrap(), (Bytes{0x01, 0x90}));
  EXPECT_EQ(gPasteOffset, 0);
  EXPECT_FALSE(gStream.useScrap);
  EXPECT_EQ(gScrapMode, 0);
  DoPasteObjects();
  EXPECT_EQ(CountObjects(doc.first), 1u);
}

TEST_F(Clipboard, PasteWithoutScrapOrDocumentDoesNothing) {
  addSelectedRect();
  ServiceCallRecorder calls;
  DoPasteObjects();
  EXPECT_EQ(CountObjects(doc.first), 1u);
  EXPECT_TRUE(calls.calls.empty());
}

TEST_F(Clipboard, PasteFromAnotherFloorWarnsAndLandsOnTheSourceFloor) {
  addSelectedRect();
  DoCopyObjects();
  EXPECT_STREQ(gClipboardLayerName, "First Floor");
  EXPECT_EQ(gClipboardLayer, doc.first);
  EXPECT_EQ(gClipboardDoc, &doc.model);
  doc.model.itsCurLayer = doc.second;
  doc.first->selectable = 0;  // the source floor is opened for the paste only
  DoPasteObjects();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to paste objects to current floor.");
  EXPECT_EQ(alerts.shown[0].informative,
            "To paste objects from another floor, use the \"Copy to Floor\" option.  The objects "
            "will be pasted to the floor from which they came.");
  EXPECT_TRUE(alerts.shown[0].sheet);
  EXPECT_EQ(CountObjects(doc.first), 2u);
  EXPECT_EQ(CountObjects(doc.second), 0u);
  EXPECT_EQ(doc.model.itsCurLayer, doc.second);
  EXPECT_EQ(doc.first->selectable, 0);
  EXPECT_TRUE(IsObjectSelected(LastObject(doc.first)));
  EXPECT_FALSE(IsObjectSelected(doc.first->firstObject));

  // Pasting on the source floor says nothing.
  alerts.shown.clear();
  doc.model.itsCurLayer = doc.first;
  DoPasteObjects();
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(CountObjects(doc.first), 3u);

  // A design without that floor takes the objects on its current layer, silently.
  strcpy(doc.first->name, "Ground");
  DoPasteObjects();
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(CountObjects(doc.first), 4u);
}

TEST_F(Clipboard, RepeatedPastesStepThirtySixAlongXAndZ) {
  addSelectedRect();
  DoCopyObjects();
  float x[3], z[3];
  for (int i = 0; i < 3; ++i) {
    DoPasteObjects();
    Objex* pasted = LastObject(doc.first);
    ASSERT_TRUE(pasted->firstPoint);
    x[i] = pasted->firstPoint->position[0];
    z[i] = pasted->firstPoint->position[2];
  }
  EXPECT_FLOAT_EQ(x[1] - x[0], 36);
  EXPECT_FLOAT_EQ(z[1] - z[0], 36);
  EXPECT_FLOAT_EQ(x[2] - x[0], 72);
  EXPECT_FLOAT_EQ(z[2] - z[0], 72);
  EXPECT_FLOAT_EQ(gPasteOffset, 108);
  // Each pasted object got a fresh ID.
  EXPECT_NE(LastObject(doc.first)->objectID, doc.first->firstObject->objectID);

  // While mirroring the paste is neither centred nor moved.
  gMirroring = 1;
  DoPasteObjects();
  gMirroring = 0;
  EXPECT_FLOAT_EQ(LastObject(doc.first)->firstPoint->position[0], 0);
  EXPECT_FLOAT_EQ(LastObject(doc.first)->firstPoint->position[2], 0);
  EXPECT_FLOAT_EQ(gPasteOffset, 108);
}

// A pasted object keeps the custom texture id the design lists for its image, and the path is
// listed once.
TEST_F(Clipboard, APastedCustomTextureKeepsItsId) {
  Objex* rect = addSelectedRect();
  char image[] = "Textures/oak.jpg";
  const int32_t id = NewCustomTextureID(image);
  rect->textureID = id;
  DoCopyObjects();
  DoPasteObjects();
  Objex* pasted = LastObject(doc.first);
  ASSERT_NE(pasted, rect);
  EXPECT_EQ(pasted->textureID, id);
  int listed = 0;
  for (const CustomTextureIDList* t = doc.model.itsCustomTextureList; t; t = t->next)
    listed += t->path && std::string(t->path) == image;
  EXPECT_EQ(listed, 1);
}

// A paste deselects what the floors that can be selected hold and selects what it pasted; a
// shown floor that cannot be selected keeps its selection, which moves with the paste, and a
// hidden floor's stays where it is.
TEST_F(Clipboard, PastesSelectOnlyWhatTheyPastedWhereSelectingReaches) {
  Objex* copied = addSelectedRect();
  DoCopyObjects();
  SelectObj(copied, kSelectOff, 0);
  Objex* other = addSelectedRect();
  Objex* kept = addSelectedRect(doc.second);  // shown, not selectable
  Objex* hidden = addSelectedRect(doc.third);
  doc.third->visible = 0;
  auto x = [](const Objex* o) { return o->firstPoint->position[0]; };
  auto z = [](const Objex* o) { return o->firstPoint->position[2]; };
  Objex* previous = nullptr;
  float keptX = x(kept), keptZ = z(kept);
  for (int paste = 0; paste < 2; ++paste) {
    SCOPED_TRACE(paste);
    DoPasteObjects();
    Objex* pasted = LastObject(doc.first);
    ASSERT_NE(pasted, previous);
    EXPECT_TRUE(IsObjectSelected(pasted));
    for (const Objex* o : {copied, other}) EXPECT_FALSE(HasSelectedPointInTree(o));
    if (previous) EXPECT_FALSE(HasSelectedPointInTree(previous));
    // The kept selection moved as the pasted object did, centring included.
    EXPECT_TRUE(IsObjectSelected(kept));
    EXPECT_TRUE(IsObjectSelected(hidden));
    const float movedX = x(pasted) - x(copied), movedZ = z(pasted) - z(copied);
    EXPECT_FLOAT_EQ(x(kept) - keptX, movedX);
    EXPECT_FLOAT_EQ(z(kept) - keptZ, movedZ);
    keptX = x(kept), keptZ = z(kept);
    EXPECT_FLOAT_EQ(x(other), 0);
    EXPECT_FLOAT_EQ(x(hidden), 0);
    EXPECT_FLOAT_EQ(z(hidden), 0);
    previous = pasted;
  }
}

TEST_F(Clipboard, GroupsKeepTheirMembersAndEditorGroupsAreDropped) {
  RGBColor black{};
  auto makeGroup = [&](intptr_t marker) {
    Objex* g = CreateObject(kObjGroup, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr);
    g->groupMarker = marker;
    AppendObjectToLayer(g, doc.first);
    for (int i = 0; i < 2; ++i) {
      Objex* m = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10.f + i, 0}, {10, 10}});
      UnlinkObject(m);
      m->parent = g;
      m->layer = doc.first;
      m->next = g->firstChild;
      if (g->firstChild) g->firstChild->prev = m;
      g->firstChild = m;
    }
    SelectObj(g, 1, 0);
    return g;
  };
  makeGroup(0);
  DoCopyObjects();
  DoPasteObjects();
  ASSERT_EQ(CountObjects(doc.first), 2u);
  Objex* pasted = LastObject(doc.first);
  EXPECT_EQ(pasted->type, kObjGroup);
  int members = 0;
  for (Objex* m = pasted->firstChild; m; m = m->next, ++members) EXPECT_EQ(m->parent, pasted);
  EXPECT_EQ(members, 2);

  SelectAllLayers(doc.model.itsLayers, 2, 1);
  makeGroup(123);
  DoCopyObjects();
  DoPasteObjects();
  EXPECT_EQ(CountObjects(doc.first), 3u);  // the symbol-editor group did not stay
}

// A group in a group is copied and pasted as it was: a cabinet keeps its state, a symbol places
// its parts, groups of shapes keep theirs, and no group is left empty.
TEST_F(Clipboard, GroupsInAGroupPasteAsTheyWere) {
  Objex* group = GroupCabinetSymbolAndWall(doc.model, doc.first);
  SelectObj(group, 1, 0);
  DoCopyObjects();
  DoPasteObjects();
  ASSERT_EQ(CountObjects(doc.first), 2u);
  Objex* pasted = LastObject(doc.first);
  ASSERT_NE(pasted, group);
  ExpectCabinetSymbolAndWall(pasted);
  SelectAllLayers(doc.model.itsLayers, 2, 1);

  Objex* outer = doc.addObject(kObjGroup, false, {});
  Objex* first = addSelectedRect();
  Objex* inner = doc.addObject(kObjGroup, false, {});
  Objex* second = addSelectedRect();
  Objex* third = addSelectedRect();
  auto into = [](Objex* member, Objex* group) {
    UnlinkObject(member);
    AppendChildToObject(member, group);
    member->layer = group->layer;
  };
  into(first, outer);
  into(inner, outer);
  into(second, inner);
  into(third, inner);
  SelectObj(outer, 1, 0);
  DoCopyObjects();
  DoPasteObjects();
  ASSERT_EQ(CountObjects(doc.first), 4u);
  pasted = LastObject(doc.first);
  ASSERT_NE(pasted, outer);
  ASSERT_EQ(pasted->type, kObjGroup);
  ASSERT_NE(pasted->firstChild, nullptr);
  EXPECT_EQ(pasted->firstChild->type, kObjClosedPoly);
  Objex* pastedInner = pasted->firstChild->next;
  ASSERT_NE(pastedInner, nullptr);
  ASSERT_EQ(pastedInner->type, kObjGroup);
  EXPECT_EQ(pastedInner->parent, pasted);
  EXPECT_EQ(pastedInner->next, nullptr);
  int members = 0;
  for (Objex* m = pastedInner->firstChild; m; m = m->next, ++members) {
    EXPECT_EQ(m->type, kObjClosedPoly);
    EXPECT_EQ(m->parent, pastedInner);
  }
  EXPECT_EQ(members, 2);
}

// A cabinet travels with its state; a paste is no insert, so the cabinet keeps the elevation
// it was copied at instead of taking the design's base elevation.
TEST_F(Clipboard, CabinetKeepsItsStateAndElevation) {
  doc.ds()->baseElevation = 0;
  Objex* cabinet = doc.addObject(kObjGroup, false, {});
  cabinet->subtype = kSubCabinet;
  cabinet->baseElevation = 30;
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  state->angle = 45;
  state->value39 = -7;
  cabinet->typeData = state;
  for (float x : {0.0f, 50.0f}) MakeObject(kObjCabinet, 4, x, cabinet, nullptr)->baseElevation = 30;
  SelectObj(cabinet, 1, 0);
  DoCopyObjects();
  DoPasteObjects();
  Objex* pasted = LastObject(doc.first);
  ASSERT_NE(pasted, cabinet);
  EXPECT_EQ(pasted->type, kObjGroup);
  EXPECT_EQ(pasted->subtype, kSubCabinet);
  ASSERT_NE(pasted->typeData, nullptr);
  const auto* read = static_cast<const CabinetState*>(pasted->typeData);
  EXPECT_FLOAT_EQ(read->angle, 45);
  EXPECT_EQ(read->value39, -7);
  EXPECT_FLOAT_EQ(read->elevation, 30);
  EXPECT_FLOAT_EQ(pasted->baseElevation, 30);
  int parts = 0;
  for (Objex* m = pasted->firstChild; m; m = m->next, ++parts) EXPECT_FLOAT_EQ(m->baseElevation, 30);
  EXPECT_EQ(parts, 2);
}

TEST_F(Clipboard, PalettesLinksAreResolvedWhenPastingIntoAnotherDesign) {
  DocPaletteList* source = AddNewDocPaletteList();
  source->active = 1;
  source->entries->kind = kPaletteEntryTexture;
  source->entries->textureID = 1300;
  source->entries->textureScale = {50, 50};
  Objex* o = addSelectedRect();
  o->textureID = -1001;
  DoCopyObjects();

  // The same design keeps the link.
  DoPasteObjects();
  EXPECT_EQ(LastObject(doc.first)->textureID, -1001);

  TestDocument other;
  other.model.itsDocID = 12;
  DoPasteObjects();  // no palette in the target: the material itself
  Objex* pasted = LastObject(other.first);
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->textureID, 1300);
  EXPECT_EQ(pasted->textureScale.x, 50);
  EXPECT_EQ(pasted->fillColor, (RGBColor{65535, 65535, 65535}));

  DocPaletteList* target = AddNewDocPaletteList();
  target->active = 1;
  target->entries->kind = kPaletteEntryTexture;
  target->entries->textureID = 1300;
  DoPasteObjects();  // the target holds the same texture: linked to its entry
  EXPECT_EQ(LastObject(other.first)->textureID, -1001);
  EXPECT_EQ(CountObjects(other.first), 2u);

  // Another design, even one that bears the source's id, is not the source.
  TestDocument third;
  third.model.itsDocID = doc.model.itsDocID;
  DoPasteObjects();
  EXPECT_EQ(LastObject(third.first)->textureID, 1300);
}

TEST_F(Clipboard, DamagedScrapsAddNothing) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {100, 80}});
  SelectObj(wall, 1, 0);
  addSelectedRect();
  DoCopyObjects();
  const Bytes good = Scrap();
  ASSERT_GT(good.size(), 20u);
  const size_t before = CountObjects(doc.first);

  // Every cut, including one that loses only the end tag.
  for (size_t n = 0; n < good.size(); ++n) {
    SetScrap(Bytes(good.begin(), good.begin() + static_cast<long>(n)));
    DoPasteObjects();
    ASSERT_EQ(CountObjects(doc.first), before) << n;
  }
  // Counts and lengths patched at every offset: no crash, no over-read; whatever is pasted
  // is a whole object.
  for (uint32_t value : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
    for (size_t at = 0; at + 4 <= good.size(); ++at) {
      Bytes bad = good;
      for (int i = 0; i < 4; ++i) bad[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
      SetScrap(bad);
      DoPasteObjects();
      for (Objex* o = doc.first->firstObject; o; o = o->next) ASSERT_EQ(o->layer, doc.first);
      while (CountObjects(doc.first) > before) DeleteObj(LastObject(doc.first));
    }
  }
  SetScrap(good);
  DoPasteObjects();
  EXPECT_EQ(CountObjects(doc.first), before + 2);
}

}  // namespace

namespace {

// Every object and point ID of the design (3D parts included), floor by floor in order.
void CollectTreeIDs(const Objex* o, std::vector<uint32_t>* objects, std::vector<uint32_t>* points) {
  for (; o; o = o->next) {
    objects->push_back(o->objectID);
    for (const Poinz* p = o->firstPoint; p; p = p->next) points->push_back(p->pointID);
    CollectTreeIDs(o->firstChild, objects, points);
    CollectTreeIDs(o->symbol3D, objects, points);
  }
}

struct PasteIDs {
  std::vector<uint32_t> objects, points;
  uint32_t nextObject = 0, nextPoint = 0;
  bool operator==(const PasteIDs&) const = default;
};

// Two rectangles copied and pasted, `edit` made, and pasted again; with `walk` the second
// paste is made to look at every ID of the design, as any paste did before the counters' note.
PasteIDs PasteAfter(const std::function<void(TestDocument&)>& edit, bool walk) {
  ResetByteStream();
  TestDocument doc;
  ReadyToPaste(doc.model, 11);
  gMirroring = 0;
  for (float x : {0.0f, 100.0f})
    SelectObj(doc.addObject(kObjClosedPoly, true, {{x, 0}, {x + 40, 0}, {x + 40, 20}, {x, 20}}), 1, 0);
  DoCopyObjects();
  DoPasteObjects();
  edit(doc);
  if (walk) ForgetIDsBelowCounters();
  DoPasteObjects();
  PasteIDs ids;
  for (const Layer* l = doc.model.itsLayers; l; l = l->next) CollectTreeIDs(l->firstObject, &ids.objects, &ids.points);
  ids.nextObject = doc.ds()->nextObjectID;
  ids.nextPoint = doc.ds()->nextPointID;
  ResetByteStream();
  return ids;
}

}  // namespace

// A paste that trusts the counters left by the paste before gives the IDs the walk of the
// whole design gives, whatever happened in between; and IDs stay unique.
TEST(PasteIDs, MatchTheWholeDesignWalkAfterEdits) {
  ViewStateGuard view;
  ScopedAlertRecorder alerts;
  const std::string state = ApplicationTemporaryPath() + "/paste-ids-" + std::to_string(getpid()) + ".dat";
  const struct {
    const char* name;
    std::function<void(TestDocument&)> edit;
  } cases[] = {
      {"nothing", [](TestDocument&) {}},
      {"pasted object deleted", [](TestDocument& d) { DeleteObj(LastObject(d.first)); }},
      {"cut then pasted",
       [](TestDocument& d) {
         SelectAllLayers(d.model.itsLayers, kSelectOff, 0);
         SelectObj(d.first->firstObject, 1, 0);
         DoCopyObjects();
         DeleteObj(d.first->firstObject);
       }},
      {"object drawn", [](TestDocument& d) { d.addObject(kObjClosedPoly, true, {{0, 0}, {9, 0}, {9, 9}}); }},
      // A stored state read back (undo, opening a file): counters and records as they were.
      {"state restored",
       [&state](TestDocument& d) {
         ASSERT_TRUE(SaveState(state.c_str()));
         d.addObject(kObjClosedPoly, true, {{0, 0}, {9, 0}, {9, 9}});
         ASSERT_TRUE(RestoreState(state.c_str()));
       }},
      // Counters left below the IDs in use (as an older state block can leave them).
      {"counters lowered",
       [](TestDocument& d) {
         d.ds()->nextObjectID = 2;
         d.ds()->nextPointID = 2;
       }},
  };
  ASSERT_TRUE(CreateApplicationTemporaryFolder());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PasteIDs noted = PasteAfter(c.edit, false), walked = PasteAfter(c.edit, true);
    EXPECT_EQ(noted, walked);
    EXPECT_EQ(std::set<uint32_t>(noted.objects.begin(), noted.objects.end()).size(), noted.objects.size());
    EXPECT_EQ(std::set<uint32_t>(noted.points.begin(), noted.points.end()).size(), noted.points.size());
    EXPECT_GE(noted.objects.size(), 4u);
  }
  std::remove(state.c_str());
  FreeClipBoardPaletteList();
}
