// Custom definitions on the program's own roads, with every library installed and the shipped
// library as the shared content: the custom skylight tool places a skylight shaped by the
// selected window definition, applying re-fits it (and removes it when it no longer fits), and
// a click on a window entry in the content library re-reads the selected custom windows with
// one undo step; applying a definition to the doors of many walls measures the floor's wall
// dimensions as refitting the walls one by one did.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// The model's records first: Qt's keyword macros (slots) would otherwise rewrite their fields.
#include "model/Attachments.h"
#include "../../bench/DesignGenerator.h"
#include "tools/ToolTestSupport.h"
#include "WallTestSupport.h"
#include "AppTestSupport.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKWindowController.h"
#include "content/ContentCategoryItem.h"
#include "content/ContentPaletteController.h"
#include "content/ContentView.h"
#include "files/DesignFile.h"
#include "openings/CustomDefinitions.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"

namespace {

std::vector<std::string>& StoredUndoNames() {
  static std::vector<std::string> names;
  return names;
}

void ChooseShippedWindow() {
  gSelectedContentCategory = kCustomWindowCategory;
  gSelectedContentEntryType = kEntryCustomWindow;
  gSelectedContentEntry = SymEntryInfo{};
  gSelectedContentEntry.type = kEntryCustomWindow;
  gSelectedContentEntry.objectData = "Casement/window1.QTF";
}

struct CustomSkylightRoad : ToolTest {
  Objex* roof = nullptr;
  std::string savedShared;
  FrontEndServices savedFrontEnd = gFrontEnd;

  void SetUp() override {
    TestApplication();
    ToolTest::SetUp();
    savedShared = LocalDomainUserSharedPath();
    SetUserSharedRoot(BuildTreeContentRoot() + "/QVRA/Shared");
    gFrontEnd.storeUndo = [](const std::string& name) { StoredUndoNames().push_back(name); };
    StoredUndoNames().clear();
    DocState* ds = doc.ds();
    ds->zoomFactor = 1;
    ds->snapToGrid = 0;
    ds->newRoofPitch() = 6;
    ds->skylightType() = kSkylightCustom;
    ds->skylightWidth = 20;
    ds->skylightHeight() = 30;
    doc.first->height = 96;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gCurTool = kToolGableRoof;
    ds->roofStyle = 2;
    drag({{0, 0}, {240, 120}});
    roof = doc.first->firstObject;
    ASSERT_NE(roof, nullptr);
  }
  void TearDown() override {
    gSelectedContentCategory = -1;
    gSelectedContentEntryType = 0;
    gSelectedContentEntry = SymEntryInfo{};
    gFrontEnd = savedFrontEnd;
    SetUserSharedRoot(savedShared);
    ToolTest::TearDown();
  }
  Objex* skylight() {
    for (Objex* c = roof->firstChild; c; c = c->next)
      if (c->type == kObjSkylight) return c;
    return nullptr;
  }
  static RoofAttachmentData* Rec(Objex* o) { return static_cast<RoofAttachmentData*>(o->typeData); }
};

TEST_F(CustomSkylightRoad, ToolPlacesTheWindowDefinitionAndApplyingRefitsOrRemovesIt) {
  ChooseShippedWindow();
  ScopedAlertRecorder alerts;
  gCurTool = kToolSkylight;
  gMouseCaptured = 1;
  TrackObject(120, 90, 120, 0, 90, kTrackEnd);
  Objex* s = skylight();
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(alerts.shown.empty());
  RoofAttachmentData* r = Rec(s);
  EXPECT_EQ(r->subtype, kSkylightCustom);
  ASSERT_NE(s->name, nullptr);
  EXPECT_STREQ(s->name, "Two-Light Window");
  // The outline, the centre bar and the two panes; the window's frame polygon has no place on
  // a skylight.
  EXPECT_NE(r->outlineParts, nullptr);
  EXPECT_NE(r->separatorParts, nullptr);
  EXPECT_NE(r->leafParts, nullptr);
  ASSERT_NE(r->parts, nullptr);
  int bands = 0;
  for (Objex* p = r->parts; p; p = p->next) bands += p->type == kObjSeparatorFace;
  EXPECT_EQ(bands, 1);
  EXPECT_EQ(s->pointCount, 4);  // the corners of the placed outline

  // Applying the same definition keeps it where it is, selected.
  SelectObj(s, kSelectOn, 0);
  float x0 = s->firstPoint->position[0];
  ApplyCurCustAttachToSelectedWinAndDoor();
  ASSERT_EQ(skylight(), s);
  EXPECT_NEAR(s->firstPoint->position[0], x0, 1e-3);
  EXPECT_TRUE(IsObjectSelected(s));
  ASSERT_EQ(StoredUndoNames().size(), 1u);
  EXPECT_EQ(StoredUndoNames()[0], "Custom Window Type");
  EXPECT_TRUE(alerts.shown.empty());

  // Grown past the roof, the re-fit removes it and says so.
  Rec(s)->width() = 2000;
  ApplyCurCustAttachToSelectedWinAndDoor();
  EXPECT_EQ(skylight(), nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "One or more skylights have been removed.");
  EXPECT_EQ(alerts.shown[0].informative, "The roof was not long enough to accommodate all of its attachments.");

  // A door definition is never applied to skylights.
  gSelectedContentCategory = kCustomDoorCategory;
  StoredUndoNames().clear();
  ApplyCurCustAttachToSelectedWinAndDoor();
  EXPECT_TRUE(StoredUndoNames().empty());
}

struct CustomWindowClick : DesignWindowTest {
  std::string savedShared;
  void beforeDocument() override {
    savedShared = LocalDomainUserSharedPath();
    SetUserSharedRoot(BuildTreeContentRoot() + "/QVRA/Shared");
  }
  void afterClosing() override {
    gSelectedContentCategory = -1;
    gSelectedContentEntryType = 0;
    SetUserSharedRoot(savedShared);
  }

  // An opening of the wall's first segment, centred `at` along it.
  Objex* addOpening(Objex* wall, int16_t type, int16_t subtype, float at, float width, float height) {
    auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    data->ownerType = type;
    data->subtype = subtype;
    data->width = width;
    data->height = height;
    data->elevation = type == kObjWindow ? 24 : 0;
    data->anchorStart = wall->firstPoint;
    data->anchorEnd = wall->firstPoint->next;
    data->startDistance = at;
    data->remainingLength = 240 - at;
    const RGBColor black{};
    Objex* o = CreateObject(type, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, wall, wall->layer, data);
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, at - width / 2, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, at + width / 2, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
    AppendChildToObject(o, wall);
    SelectObj(o, kSelectOn, 0);
    return o;
  }
};

TEST_F(CustomWindowClick, WindowEntryClickedReReadsTheSelectedCustomWindowsWithOneUndoStep) {
  const RGBColor black{};
  Objex* wall = CreateObject(kObjWall, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  for (float x : {0.0f, 240.0f})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, wall), wall);
  AppendObjectToLayer(wall, model->itsCurLayer);
  wall->width = 4;
  wall->levels = 1;
  FloorDepthOf(wall) = 0.5f;
  FoundationWidthOf(wall) = 12.0f;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    WallHeightOf(p) = 96;
    PitchAOf(p) = PitchBOf(p) = 10;
    HeightCOf(p) = 120;
    HeightDOf(p) = 168;
    p->trim1 = TestWallSide(0);
    p->trim2 = TestWallSide(0);
  }
  UpdateObjectBounds(wall);
  Objex* window = addOpening(wall, kObjWindow, kWindowCustom, 60, 36, 48);
  Objex* door = addOpening(wall, kObjDoor, kDoorCustom, 160, 36, 80);
  ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController();
  ASSERT_NE(palette, nullptr);
  palette->selectCategory(kCategoryWindows, true);
  palette->contentView()->clickAt(QPoint(5, 5));
  EXPECT_EQ(gSelectedContentCategory, kCategoryWindows);
  ASSERT_NE(window->name, nullptr);
  EXPECT_STREQ(window->name, "Two-Light Window");
  EXPECT_EQ(door->name, nullptr);
  EXPECT_NE(AttachmentData(window)->maskObject, nullptr);
  EXPECT_NE(AttachmentData(window)->faces, nullptr);  // rebuilt with the wall's openings
  EXPECT_EQ(doc->undoManager().undoActionName(), "Custom Window Type");
}

// Designs the program saved, chosen as custom window definitions: their parts hold children (a
// group's members, a wall's door). The window tool places a custom window from each; the
// Window pane's custom style row then reads the definition again, which frees the parts the
// first read gave the window, and the wall refits its openings. Nothing read may have been
// freed with the definition's layer.
struct SavedDesignAsWindowDefinition : ToolTest {
  std::string savedShared;
  std::string shared;

  void SetUp() override {
    TestApplication();
    ToolTest::SetUp();
    savedShared = LocalDomainUserSharedPath();
    char pattern[] = "/tmp/casa-saved-definitions-XXXXXX";
    shared = mkdtemp(pattern);
    SetUserSharedRoot(shared);
    const std::filesystem::path kept = std::filesystem::path(__FILE__).parent_path().parent_path() / "openings" /
                                       "data" / "regressions";
    std::filesystem::create_directories(LocalDomainCustomWindowPath() + "/Saved");
    for (const char* name : kFiles)
      std::filesystem::copy_file(kept / name, LocalDomainCustomWindowPath() + "/Saved/" + name);
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.ds()->windowStyle = kWindowCustom;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  void TearDown() override {
    gSelectedContentCategory = -1;
    gSelectedContentEntryType = 0;
    gSelectedContentEntry = SymEntryInfo{};
    SetUserSharedRoot(savedShared);
    std::error_code ec;
    std::filesystem::remove_all(shared, ec);
    ToolTest::TearDown();
  }
  static constexpr const char* kFiles[] = {"uaf-grouped-wall-door-as-window-definition.QTF",
                                           "uaf-every-kind-as-window-definition.QTF"};
};

TEST_F(SavedDesignAsWindowDefinition, ToolPlacesItAndThePaneReadsItAgain) {
  int32_t z = 0;
  for (const char* name : kFiles) {
    SCOPED_TRACE(name);
    gSelectedContentCategory = kCustomWindowCategory;
    gSelectedContentEntryType = kEntryCustomWindow;
    gSelectedContentEntry = SymEntryInfo{};
    gSelectedContentEntry.type = kEntryCustomWindow;
    gSelectedContentEntry.objectData = std::string("Saved/") + name;
    Objex* wall = AddTestWall(doc, {{0, float(z)}, {480, float(z)}});
    ScopedAlertRecorder alerts;
    gCurTool = kToolWindow;
    hitTest(240, z + 1);
    ASSERT_EQ(gClickInfo.hitObject, wall);
    drag({{240, z + 1}});
    Objex* window = wall->firstChild;
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->type, kObjWindow);
    EXPECT_EQ(AttachmentData(window)->subtype, kWindowCustom);
    EXPECT_NE(AttachmentData(window)->definitionParts, nullptr);
    EXPECT_NE(AttachmentData(window)->faces, nullptr);

    // The pane's custom style row: the definition read again into the selected window.
    ReadCustomWindowDoorFile(window);
    UpdateAllWallAttachments(wall);
    ASSERT_EQ(wall->firstChild, window);
    EXPECT_NE(AttachmentData(window)->faces, nullptr);
    for (Objex* part = AttachmentData(window)->definitionParts; part; part = part->next)
      for (Objex* held = part->firstChild; held; held = held->next) EXPECT_EQ(held->layer, window->layer);
    // The only message is the template reader's own: a door of the saved design lies at the
    // very start of its wall and does not fit there when the definition's walls are refitted.
    for (const AlertRequest& a : alerts.shown) EXPECT_EQ(a.message, "One or more components have been removed.");
    z += 200;
  }
}

// The tester's road: the window tool places a custom window whose definition holds a group (an
// outline, a frame part, a group of two frame parts and a leaf face) in a wall; the wall and a
// line are grouped with Plan > Group and the design saved. It opens again with the window's
// definition as the window took it, its group holding its two parts.
TEST_F(SavedDesignAsWindowDefinition, AWindowWhoseDefinitionHoldsAGroupIsSavedWholeInAGroup) {
  const std::filesystem::path kept =
      std::filesystem::path(__FILE__).parent_path().parent_path() / "files" / "data" / "regressions";
  const char* name = "custom-window-definition-with-a-group.QTF";
  std::filesystem::copy_file(kept / name, LocalDomainCustomWindowPath() + "/Saved/" + name);
  gSelectedContentCategory = kCustomWindowCategory;
  gSelectedContentEntryType = kEntryCustomWindow;
  gSelectedContentEntry = SymEntryInfo{};
  gSelectedContentEntry.type = kEntryCustomWindow;
  gSelectedContentEntry.objectData = std::string("Saved/") + name;
  Objex* wall = AddTestWall(doc, {{0, 0}, {480, 0}});
  gCurTool = kToolWindow;
  hitTest(240, 1);
  ASSERT_EQ(gClickInfo.hitObject, wall);
  drag({{240, 1}});
  Objex* window = wall->firstChild;
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(window->type, kObjWindow);
  // The definition as the window took it: frame parts and groups, in order, with their members.
  auto frames = [](const Objex* w) {
    std::string s;
    for (const Objex* part = AttachmentData(w)->definitionParts; part; part = part->next) {
      s += std::to_string(part->type);
      if (part->type == kObjGroup) {
        s += "(";
        for (const Objex* m = part->firstChild; m; m = m->next) s += std::to_string(m->type) + (m->next ? " " : "");
        s += ")";
      }
      s += part->next ? " " : "";
    }
    return s;
  };
  const std::string placed = frames(window);
  ASSERT_NE(placed.find("1000("), std::string::npos) << placed;
  Objex* line = doc.addObject(kObjLine, false, {{0, 100}, {100, 100}}, doc.first);
  UpdateObjectBounds(line);
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  SelectObj(wall, kSelectOn, 0);
  SelectObj(line, kSelectOn, 0);
  Win32EventHandler::sharedEventHandler()->groupObjects();
  ASSERT_EQ(CountObjects(doc.first), 1);
  ASSERT_EQ(wall->parent, doc.first->firstObject);

  const std::string saved = shared + "/grouped.pro";
  ASSERT_EQ(KeyFileWrite(saved.c_str()), 1);
  {
    TestDocument reopened;
    ASSERT_EQ(KeyFileRead(saved.c_str()), 1);
    const Layer* first = GetLayerFromName("First Floor");
    ASSERT_EQ(CountObjects(first), 1);
    const Objex* group = first->firstObject;
    ASSERT_EQ(group->type, kObjGroup);
    const Objex* readWall = group->firstChild;
    ASSERT_NE(readWall, nullptr);
    ASSERT_EQ(readWall->type, kObjWall);
    ASSERT_NE(readWall->firstChild, nullptr);
    EXPECT_EQ(frames(readWall->firstChild), placed);
    EXPECT_NE(AttachmentData(readWall->firstChild)->faces, nullptr);
    EXPECT_MODEL_SOUND();
  }
}

// Walls in rows facing each other, each with a custom door, a window and (every other one) an
// attached dimension measuring to the facing wall; every third wall then moved 25 units along x
// without its dimensions measured again. With `wallByWall` the door definition is read into each
// selected door and each wall refitted in turn, every refit measuring the whole floor; otherwise
// the definition is applied as the content palette applies it. Answers every dimension's points
// and height (before the definition is applied into `before`).
std::vector<float> DoorsDefinedAgain(float planScale, bool wallByWall, std::vector<float>* before) {
  TestDocument d;
  d.ds()->planScale = planScale;
  d.model.itsCurLayer = d.first;
  std::vector<Objex*> walls;
  for (int i = 0; i < 24; ++i) {
    const float x = static_cast<float>(i % 6) * 80.0f, z = static_cast<float>(i / 6) * 200.0f;
    Objex* w = bench::NewObject(kObjWall, false);
    w->subtype = kSubExteriorWall;
    w->width = 4 + static_cast<float>(i % 3) * 2;
    bench::AddPoints(w, {{x, z}, {x + 60, z}, {x + 60, z + 120}});
    bench::Place(w, d.first);
    bench::AddHouseWall(w, i % 2 == 0);
    walls.push_back(w);
  }
  UpdateAttachedDimLayerService(d.first);
  for (size_t i = 0; i < walls.size(); i += 3) {
    for (Poinz* p = walls[i]->firstPoint; p; p = p->next) p->position[0] += 25;
    UpdateObjectBounds(walls[i]);
  }
  for (Objex* w : walls)
    for (Objex* c = w->firstChild; c; c = c->next) {
      SelectObj(c, kSelectOff, 0);
      if (c->type != kObjDoor) continue;
      AttachmentData(c)->subtype = kDoorCustom;
      SelectObj(c, kSelectOn, 0);
    }
  auto dimensions = [&] {
    std::vector<float> v;
    for (Objex* w : walls)
      for (Objex* c = w->firstChild; c; c = c->next) {
        if (c->subtype != kSubDimensionAttachment) continue;
        v.push_back(AttachmentData(c)->height);
        for (Poinz* p = c->firstPoint; p; p = p->next) v.insert(v.end(), {p->position[0], p->position[2]});
      }
    return v;
  };
  *before = dimensions();
  if (wallByWall) {
    for (Objex* w : walls) {
      for (Objex* c = w->firstChild; c; c = c->next)
        if (c->type == kObjDoor) EXPECT_TRUE(openings::ReadCustomWindowDoorDefinition(c));
      UpdateAllWallAttachments(w);
      ReRenderObject(w);
    }
  } else {
    ApplyCurCustAttachToSelectedWinAndDoor();
  }
  for (Objex* w : walls)
    for (Objex* c = w->firstChild; c; c = c->next)
      if (c->type == kObjDoor) EXPECT_STREQ(c->name, "Panel Door");
  return dimensions();
}

TEST(CustomDoorsDefinedAgain, ManyWallsMeasureTheirDimensionsAsRefittingEachWallDid) {
  TestApplication();
  const std::string savedShared = LocalDomainUserSharedPath();
  SetUserSharedRoot(BuildTreeContentRoot() + "/QVRA/Shared");
  FrontEndServices savedFrontEnd = gFrontEnd;
  gFrontEnd.storeUndo = [](const std::string& name) { StoredUndoNames().push_back(name); };
  StoredUndoNames().clear();
  gSelectedContentCategory = kCustomDoorCategory;
  gSelectedContentEntryType = kEntryCustomDoor;
  gSelectedContentEntry = SymEntryInfo{};
  gSelectedContentEntry.type = kEntryCustomDoor;
  gSelectedContentEntry.objectData = "Panel Doors/door1.QTF";
  ScopedAlertRecorder alerts;
  for (const float scale : {72.0f, 18.0f}) {
    SCOPED_TRACE(scale);
    std::vector<float> stale, staleAgain;
    const std::vector<float> applied = DoorsDefinedAgain(scale, false, &stale);
    const std::vector<float> oneByOne = DoorsDefinedAgain(scale, true, &staleAgain);
    EXPECT_EQ(stale, staleAgain);
    // The moved walls changed what the dimensions measure.
    EXPECT_NE(applied, stale);
    EXPECT_EQ(applied, oneByOne);
  }
  EXPECT_TRUE(alerts.shown.empty());
  // One undo step for each application (the walls refitted one by one store none).
  EXPECT_EQ(StoredUndoNames(), (std::vector<std::string>{"Custom Door Type", "Custom Door Type"}));
  gSelectedContentCategory = -1;
  gSelectedContentEntryType = 0;
  gSelectedContentEntry = SymEntryInfo{};
  gFrontEnd = savedFrontEnd;
  SetUserSharedRoot(savedShared);
}

}  // namespace
