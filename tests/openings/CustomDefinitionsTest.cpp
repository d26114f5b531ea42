// Custom door, window, skylight and trim definitions: what a read puts into the opening's lists
// and name, what a missing or damaged file leaves, how the parts are fitted into the opening,
// the trim profile's slot, and applying the palette's definition to the selected openings.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "building3d/Skylights3D.h"
#include "files/DesignFile.h"
#include "files/TemplateFile.h"
#include "model/Delete.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/TrimDefinitions.h"
#include "openings/CustomDefinitions.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"

namespace fs = std::filesystem;

namespace {

constexpr float kPi = 3.14159265358979f;
const char* const kMissingText = "Please make sure the file exists and you have adequate permissions to access it.";

// One object of a definition: type, pen width, closing, (x, y) points in the front elevation
// (y up is negative), and the leaf parameters.
struct Shape {
  int16_t type;
  float width;
  bool closed;
  std::vector<std::pair<float, float>> points;
  float plain = 0;  // params[3]
  float depth = 0;  // params[4]
  bool plan = false;  // the points are (x, z) in plan rather than (x, y)
};

Shape Box(int16_t type, float left, float bottom, float right, float top, float depth = 0, float plain = 0) {
  return {type, 1, true, {{left, -bottom}, {right, -bottom}, {right, -top}, {left, -top}}, plain, depth};
}

// Writes the shapes as a definition file with the program's design writer.
void WriteDefinition(const std::string& path, const std::vector<Shape>& shapes) {
  ZLKDocumentModel* current = gCurDocument;
  ZLKDocumentModel scratch;
  gCurDocument = &scratch;
  scratch.itsDocState = CreateDocState();
  Layer* layer = CreateLayer("First Floor", 1, 1, nullptr);
  AppendLayerToDocument(layer);
  const RGBColor black{};
  for (const Shape& s : shapes) {
    Objex* o = CreateObject(s.type, s.closed, 1, &black, &black, s.width, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    o->params[3] = s.plain;
    o->params[4] = s.depth;
    for (auto [x, v] : s.points)
      AppendPointToObject(
          CreatePoint(1, 0, 0, 0, 0, 0, x, s.plan ? 0 : v, s.plan ? v : 0, 0, 0, 0, 0, 0, 0, o), o);
    AppendObjectToLayer(o, layer);
  }
  fs::create_directories(fs::path(path).parent_path());
  const int written = KeyFileWrite(path.c_str());
  ReleaseModelContents(&scratch);
  gCurDocument = current;
  ASSERT_EQ(written, 1) << path;
}

void WriteText(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

int Count(const Objex* list) {
  int n = 0;
  for (; list; list = list->next) ++n;
  return n;
}

struct UndoNames {
  static std::vector<std::string>& names() {
    static std::vector<std::string> n;
    return n;
  }
};

class CustomDefinitions : public FrameTest {
 protected:
  std::string shared;
  std::string savedShared;
  FrontEndServices savedFrontEnd = gFrontEnd;
  ScopedAlertRecorder alerts;

  CustomDefinitions() {
    savedShared = LocalDomainUserSharedPath();
    char pattern[] = "/tmp/casa-definitions-XXXXXX";
    shared = mkdtemp(pattern);
    SetUserSharedRoot(shared);
    gFrontEnd.storeUndo = [](const std::string& name) { UndoNames::names().push_back(name); };
    UndoNames::names().clear();
  }
  ~CustomDefinitions() override {
    gSelectedContentCategory = -1;
    gSelectedContentEntryType = 0;
    gSelectedContentEntry = SymEntryInfo{};
    gApplyTrimAsBase = 0;
    gFrontEnd = savedFrontEnd;
    SetUserSharedRoot(savedShared);
    std::error_code ec;
    fs::remove_all(shared, ec);
  }

  std::string windows() const { return shared + "/QVRA/Components/Windows"; }
  std::string doors() const { return shared + "/QVRA/Components/Doors"; }
  std::string trims() const { return shared + "/QVRA/Components/Trim"; }

  // Selects the entry `file` of the category (7 doors, 8 windows).
  void Choose(int16_t category, const std::string& file, int16_t entryType = kEntryCustomWindow) {
    gSelectedContentCategory = category;
    gSelectedContentEntryType = entryType;
    gSelectedContentEntry = SymEntryInfo{};
    gSelectedContentEntry.type = entryType;
    gSelectedContentEntry.objectData = file;
  }

  // A 24 x 48 window definition: outline, a left jamb 2 wide, two leaves and a custom part.
  void WriteWindow(const std::string& name = "Tall/w.QTF") {
    WriteDefinition(windows() + "/" + name,
                    {Box(kObjSkylightOutline, -12, 0, 12, 48),
                     {kObjOpenPoly, 2, false, {{-12, 0}, {-12, -48}}},
                     Box(kObjDoorLeafFace, -10, 2, 0, 46, 2),
                     Box(kObjDoorLeafFace, 0, 2, 10, 46, 6, 4.0f),
                     Box(kObjCustomAttachmentPart, -1, 20, 1, 22, 4)});
  }

  Objex* CustomWindow(float x1 = 60, float x2 = 96, float height = 72) {
    Objex* w = Add(kObjWindow, kWindowCustom, x1, x2, height);
    return w;
  }
};

// ---- Reading ---------------------------------------------------------------------------------

TEST_F(CustomDefinitions, ReadSortsTheDefinitionIntoTheListsAndLinksEachCopy) {
  WriteWindow();
  WriteText(windows() + "/Tall/w.QTI", "[Description]\nAttachmentName=Tall Window\n");
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  Objex* window = CustomWindow();
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  DoorWindowData* r = Rec(window);
  EXPECT_EQ(Count(r->maskObject), 1);
  EXPECT_EQ(Count(r->definitionParts), 1);
  EXPECT_EQ(Count(r->definitionLeafParts), 3);  // both leaf faces and the custom part
  EXPECT_EQ(r->definitionLeafParts->next->next->type, kObjCustomAttachmentPart);
  for (Objex* list : {r->maskObject, r->definitionParts, r->definitionLeafParts})
    for (Objex* o = list; o; o = o->next) {
      EXPECT_EQ(o->parent, window);
      EXPECT_EQ(o->layer, window->layer);
    }
  ASSERT_NE(window->name, nullptr);
  EXPECT_STREQ(window->name, "Tall Window");
  EXPECT_EQ(gAttachmentTempLayer, nullptr);
  EXPECT_EQ(gReadingAttachmentDefinition, 0);
  EXPECT_TRUE(alerts.shown.empty());
  // Nothing of the definition reached the floor.
  EXPECT_EQ(Count(doc.first->firstObject), 1);

  // A second read replaces the lists rather than adding to them.
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  EXPECT_EQ(Count(r->maskObject), 1);
  EXPECT_EQ(Count(r->definitionLeafParts), 3);
}

TEST_F(CustomDefinitions, SideFileNamesTheOpeningOnlyWithARealName) {
  struct Case {
    const char* side;  // null: no side file
    const char* name;  // null: no name
  };
  const Case cases[] = {{"[Description]\nAttachmentName=Bay\n", "Bay"},
                        {"[Description]\nAttachmentDescription=x\n", nullptr},
                        {"[Description]\nAttachmentName=Done\n", nullptr},
                        {"[Other]\nAttachmentName=Bay\n", nullptr},
                        {nullptr, nullptr}};
  WriteWindow();
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  for (const Case& c : cases) {
    fs::remove(windows() + "/Tall/w.QTI");
    if (c.side) WriteText(windows() + "/Tall/w.qti", c.side);
    Objex* window = CustomWindow();
    window->name = strdup("Old");
    ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
    if (c.name) {
      ASSERT_NE(window->name, nullptr);
      EXPECT_STREQ(window->name, c.name);
    } else {
      EXPECT_EQ(window->name, nullptr) << (c.side ? c.side : "no side file");
    }
    fs::remove(windows() + "/Tall/w.qti");
  }
  // A long name is cut to what the buffer holds.
  WriteText(windows() + "/Tall/w.qti", "[Description]\nAttachmentName=" + std::string(400, 'n') + "\n");
  Objex* window = CustomWindow();
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  ASSERT_NE(window->name, nullptr);
  EXPECT_EQ(std::string(window->name), std::string(kDefinitionNameBuffer - 1, 'n'));
}

TEST_F(CustomDefinitions, WithoutADefinitionTheOpeningKeepsItsPartsAndTheUserIsTold) {
  WriteWindow();
  // A first read gives the opening its parts.
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  Objex* window = CustomWindow();
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  DoorWindowData* r = Rec(window);
  Objex* const mask = r->maskObject;
  Objex* const frames = r->definitionParts;
  window->name = strdup("Kept");

  struct Case {
    int16_t category;
    const char* file;  // "" no entry selected
    const char* title;
    const char* message;
  };
  const Case cases[] = {
      {kCustomWindowCategory, "", "Unable to locate the custom window definition file.",
       "Please select a custom window from the preview list before using this option."},
      {kCustomDoorCategory, "", "Unable to locate the custom door definition file.",
       "Please select a custom door from the preview list before using this option."},
      {kCustomWindowCategory, "Tall/gone.QTF", "Unable to locate the custom window definition file.", kMissingText},
      {kCustomDoorCategory, "Tall/gone.QTF", "Unable to locate the custom door definition file.", kMissingText},
      {3, "Tall/w.QTF", "Unable to locate the custom window definition file.", kMissingText},
  };
  for (const Case& c : cases) {
    alerts.shown.clear();
    Choose(c.category, c.file);
    EXPECT_FALSE(openings::ReadCustomWindowDoorDefinition(window)) << c.file;
    bool seen = false;
    for (const AlertRequest& a : alerts.shown) seen = seen || (a.message == c.title && a.informative == c.message);
    EXPECT_TRUE(seen) << c.category << " " << c.file;
    EXPECT_EQ(r->maskObject, mask);
    EXPECT_EQ(r->definitionParts, frames);
    EXPECT_STREQ(window->name, "Kept");
    EXPECT_EQ(gAttachmentTempLayer, nullptr);
  }

  // A skylight is told about the window definition whatever the category.
  alerts.shown.clear();
  Choose(kCustomDoorCategory, "Tall/gone.QTF");
  Objex* sky = Add(kObjSkylight, 0, 0, 10);  // any object with a record
  auto* rr = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  free(sky->typeData);
  sky->typeData = rr;
  rr->subtype = kSkylightCustom;
  EXPECT_FALSE(openings::ReadCustomSkylightDefinition(sky));
  ASSERT_FALSE(alerts.shown.empty());
  EXPECT_EQ(alerts.shown.back().message, "Unable to locate the custom window definition file.");
  UnlinkObject(sky);
  sky->typeData = nullptr;
  free(rr);
  DeleteObj(sky);
}

// A definition that holds no objects is still a definition: the opening's lists are emptied
// and it takes the side file's name, without a message, and applying it counts as a change.
TEST_F(CustomDefinitions, EmptyDefinitionEmptiesTheListsAndNamesTheOpening) {
  WriteWindow();
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  Objex* window = CustomWindow();
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  ASSERT_NE(Rec(window)->maskObject, nullptr);

  WriteDefinition(windows() + "/Empty/e.QTF", {});
  WriteText(windows() + "/Empty/e.qti", "[Description]\nAttachmentName=Bare\n");
  Choose(kCustomWindowCategory, "Empty/e.QTF");
  alerts.shown.clear();
  EXPECT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  EXPECT_EQ(Rec(window)->maskObject, nullptr);
  EXPECT_EQ(Rec(window)->definitionParts, nullptr);
  EXPECT_EQ(Rec(window)->definitionLeafParts, nullptr);
  ASSERT_NE(window->name, nullptr);
  EXPECT_STREQ(window->name, "Bare");
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(gAttachmentTempLayer, nullptr);

  Objex* sky = Add(kObjSkylight, 0, 0, 10);
  auto* rr = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  free(sky->typeData);
  sky->typeData = rr;
  rr->subtype = kSkylightCustom;
  const RGBColor black{};
  rr->outlineParts = CreateObject(kObjSkylightOutline, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, sky,
                                  sky->layer, nullptr);
  EXPECT_TRUE(openings::ReadCustomSkylightDefinition(sky));
  EXPECT_EQ(rr->outlineParts, nullptr);
  EXPECT_STREQ(sky->name, "Bare");
  UnlinkObject(sky);
  DeleteObj(sky);

  // Applied to a selected custom window, it is one undo step.
  Objex* other = CustomWindow(120, 150, 60);
  SelectObj(other, kSelectOn, 0);
  ApplyCurCustAttachToSelectedWinAndDoor();
  EXPECT_STREQ(other->name, "Bare");
  ASSERT_EQ(UndoNames::names().size(), 1u);
  EXPECT_EQ(UndoNames::names()[0], "Custom Window Type");
}

// The definition paths handed out in a caller's path buffer: 1 and the full path for a
// selected entry of the right kind, else 0 and an empty buffer.
TEST_F(CustomDefinitions, DefinitionPathsIntoAPathBuffer) {
  WriteWindow();
  WriteDefinition(trims() + "/Mine/t.QTF", {{kObjClosedPoly, 1, true, {{0, 0}, {1, 0}, {1, 3}, {0, 4}}, 0, 0, true}});
  char path[512];

  Choose(kCustomWindowCategory, "Tall/w.QTF");
  EXPECT_EQ(GetCurrentDefinitionFilePath(path), 1);
  EXPECT_EQ(std::string(path), windows() + "/Tall/w.QTF");
  Choose(kCustomDoorCategory, "Tall/d.QTF", kEntryCustomDoor);
  EXPECT_EQ(GetCurrentDefinitionFilePath(path), 1);
  EXPECT_EQ(std::string(path), doors() + "/Tall/d.QTF");
  alerts.shown.clear();
  Choose(kCustomWindowCategory, "");
  std::strcpy(path, "old");
  EXPECT_EQ(GetCurrentDefinitionFilePath(path), 0);
  EXPECT_STREQ(path, "");
  EXPECT_EQ(alerts.shown.size(), 1u);
  Choose(3, "Tall/w.QTF");
  EXPECT_EQ(GetCurrentDefinitionFilePath(path), 0);
  EXPECT_STREQ(path, "");
  // A path longer than the buffer holds is refused rather than cut short.
  Choose(kCustomWindowCategory, std::string(600, 'a') + ".QTF");
  EXPECT_EQ(GetCurrentDefinitionFilePath(path), 0);
  EXPECT_STREQ(path, "");
  EXPECT_EQ(GetCurrentDefinitionFilePath(static_cast<char*>(nullptr)), 0);

  alerts.shown.clear();
  Choose(kCustomWindowCategory, "Mine/t.QTF", kEntryCustomTrim);
  EXPECT_EQ(GetCurrentTrimDefinitionFilePath(path), 1);
  EXPECT_EQ(std::string(path), trims() + "/Mine/t.QTF");
  Choose(kCustomWindowCategory, "Mine/t.QTF", kEntryCustomWindow);
  EXPECT_EQ(GetCurrentTrimDefinitionFilePath(path), 0);
  EXPECT_STREQ(path, "");
  Choose(kCustomWindowCategory, "", kEntryCustomTrim);
  EXPECT_EQ(GetCurrentTrimDefinitionFilePath(path), 0);
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(CustomDefinitions, DamagedDefinitionIsRefusedAndChangesNothing) {
  WriteWindow();
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  Objex* window = CustomWindow();
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  Objex* const mask = Rec(window)->maskObject;

  // The same file cut short at several places, and one of text.
  std::ifstream in(windows() + "/Tall/w.QTF", std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(whole.size(), 200u);
  const std::vector<std::string> damaged{whole.substr(0, whole.size() / 2), whole.substr(0, whole.size() / 3),
                                         whole.substr(0, 40), std::string("[Description]\nnot a design\n")};
  for (const std::string& bytes : damaged) {
    alerts.shown.clear();
    WriteText(windows() + "/Tall/bad.QTF", bytes);
    Choose(kCustomWindowCategory, "Tall/bad.QTF");
    EXPECT_FALSE(openings::ReadCustomWindowDoorDefinition(window));
    EXPECT_EQ(Rec(window)->maskObject, mask);
    EXPECT_EQ(Count(Rec(window)->definitionLeafParts), 3);
    EXPECT_FALSE(alerts.shown.empty()) << bytes.size();
    EXPECT_EQ(gAttachmentTempLayer, nullptr);
    EXPECT_EQ(Count(doc.first->firstObject), 1);  // the wall alone
  }
}

TEST_F(CustomDefinitions, SkylightReadKeepsItsFiveKindsFlattenedIntoThePlan) {
  WriteDefinition(windows() + "/Sky/s.QTF", {Box(kObjSkylightOutline, -12, 0, 12, 48),
                                             {kObjSeparatorFace, 2, false, {{0, 0}, {0, -48}}},
                                             Box(kObjDoorLeafFace, -10, 2, 0, 46),
                                             Box(kObjCustomAttachmentPart, 1, 2, 10, 46),
                                             Box(kObjSkylightExtraPart, 1, 2, 3, 4),
                                             Box(kObjClosedPoly, -11, 1, 11, 47)});
  Choose(kCustomWindowCategory, "Sky/s.QTF");
  Objex* sky = Add(kObjSkylight, 0, 0, 10);
  auto* rr = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  free(sky->typeData);
  sky->typeData = rr;
  rr->subtype = kSkylightCustom;
  ASSERT_TRUE(openings::ReadCustomSkylightDefinition(sky));
  EXPECT_EQ(Count(rr->outlineParts), 1);
  EXPECT_EQ(Count(rr->separatorParts), 1);
  EXPECT_EQ(Count(rr->leafParts), 1);
  EXPECT_EQ(Count(rr->customParts), 1);
  EXPECT_EQ(Count(rr->otherParts), 1);  // the closed polygon was dropped
  for (const Poinz* p = rr->outlineParts->firstPoint; p; p = p->next) EXPECT_EQ(p->position[1], 0);
  float w = 0, h = 0;
  Float3DRect box{};
  EXPECT_EQ(GetCustomSkylightWHAndBounds(rr, &w, &h, &box), 1);
  EXPECT_FLOAT_EQ(w, 24);
  EXPECT_FLOAT_EQ(h, 48);
  EXPECT_FLOAT_EQ(box.floatBack, -48);
  EXPECT_FLOAT_EQ(box.floatFront, 0);
  UnlinkObject(sky);
  DeleteObj(sky);
}

// ---- Fitting ---------------------------------------------------------------------------------

TEST_F(CustomDefinitions, DefinitionIsFittedIntoTheOpening) {
  WriteWindow();
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  Objex* window = CustomWindow(60, 96, 72);  // 36 x 72: 1.5 times the definition
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  float dw = 0, dh = 0;
  GetCustomAttachmentWidthAndHeight(Rec(window), &dw, &dh);
  EXPECT_FLOAT_EQ(dw, 24);
  EXPECT_FLOAT_EQ(dh, 48);

  UpdateCustomAttachment(window);
  const std::vector<Objex*> faces = Faces(window);
  ASSERT_EQ(faces.size(), 1u + 3u + 2u);  // the frame band, three leaf parts, two fillers

  // The jamb became a band 2 wide (3 after the scale), flat at depth 0.1, from the sill to
  // 72 up, its left edge 1.5 outside the opening's left side.
  Objex* band = faces[0];
  EXPECT_EQ(band->closed, 1);
  EXPECT_NEAR(MinX(band), 58.5f, 1e-3);
  EXPECT_NEAR(MaxX(band), 61.5f, 1e-3);
  EXPECT_NEAR(MinY(band), -72, 1e-3);
  EXPECT_NEAR(MaxY(band), 0, 1e-3);
  for (const FramePoint& p : Points(band)) EXPECT_NEAR(p.z, 0.1f, 1e-3);
  EXPECT_EQ(band->parent, window);
  for (const Poinz* p = band->firstPoint; p; p = p->next)
    for (int side = 0; side < 2; ++side) {
      EXPECT_EQ(p->textureID[side], 4321);
      EXPECT_EQ(p->textureScale[side].x, 120);
      EXPECT_EQ(p->color[side].blue, 3000);
    }

  // Leaves: scaled and placed; depth values spread over 0.9 .. 1.0; a 4.0 part goes white and
  // keeps its texture.
  Objex* left = faces[1];
  EXPECT_NEAR(MinX(left), 78 - 15, 1e-3);
  EXPECT_NEAR(MaxX(left), 78, 1e-3);
  EXPECT_NEAR(MinY(left), -69, 1e-3);
  EXPECT_NEAR(left->params[4], 0.9f, 1e-5);
  EXPECT_NEAR(faces[2]->params[4], 1.0f, 1e-5);
  EXPECT_NEAR(faces[3]->params[4], 0.95f, 1e-5);
  EXPECT_EQ(left->firstPoint->textureID[0], 4321);
  EXPECT_EQ(faces[2]->firstPoint->textureID[0], 0);
  EXPECT_EQ(faces[2]->firstPoint->color[1].green, 65535);

  // Fillers: the outline scaled to the opening, 6.1 off the wall's middle on each side.
  for (int i : {4, 5}) {
    Objex* filler = faces[i];
    EXPECT_EQ(filler->type, kObjFrameFace);
    EXPECT_EQ(filler->capped, 1);
    EXPECT_NEAR(MinX(filler), 60, 1e-3);
    EXPECT_NEAR(MaxX(filler), 96, 1e-3);
    EXPECT_NEAR(MinY(filler), -72, 1e-3);
    EXPECT_NEAR(MinZ(filler), i == 4 ? -6.1f : 6.1f, 1e-3);
    EXPECT_NEAR(MaxZ(filler), i == 4 ? -6.1f : 6.1f, 1e-3);
  }
  // The definition lists themselves are not touched by the fitting.
  GetCustomAttachmentWidthAndHeight(Rec(window), &dw, &dh);
  EXPECT_FLOAT_EQ(dw, 24);
}

TEST_F(CustomDefinitions, FittingFollowsTheWallTheElevationAndTheOpenTurn) {
  // One leaf part alone gets 1.0; a wall along +z turns the parts; the elevation lowers y.
  WriteDefinition(windows() + "/One/o.QTF",
                  {Box(kObjSkylightOutline, -12, 0, 12, 48), Box(kObjDoorLeafFace, -10, 2, 10, 46, 7)});
  Choose(kCustomWindowCategory, "One/o.QTF");
  struct Case {
    float openAngle;
    uint8_t flip;
  };
  for (const Case c : {Case{0, 0}, Case{kPi / 2, 0}, Case{kPi / 2, 1}}) {
    Objex* window = Add(kObjWindow, kWindowCustom, 60, 84, 48, 30);
    Rec(window)->openAngle() = c.openAngle;
    Rec(window)->flipHorizontal = c.flip;
    ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
    UpdateCustomAttachment(window);
    const std::vector<Objex*> faces = Faces(window);
    ASSERT_EQ(faces.size(), 3u);
    Objex* leaf = faces[0];
    EXPECT_FLOAT_EQ(leaf->params[4], 1.0f);
    EXPECT_NEAR(MaxY(leaf), -2 - 30, 1e-3);
    EXPECT_NEAR(MinY(leaf), -46 - 30, 1e-3);
    if (c.openAngle == 0) {
      EXPECT_NEAR(MinX(leaf), 62, 1e-3);
      EXPECT_NEAR(MaxX(leaf), 82, 1e-3);
    } else {
      // Turned a quarter about the second point (x 84), or the first (x 60) when flipped: the
      // leaf now runs along z.
      const float pivot = c.flip ? 60 : 84;
      EXPECT_NEAR(MaxX(leaf) - MinX(leaf), 0, 1e-3);
      EXPECT_NEAR(MaxZ(leaf) - MinZ(leaf), 20, 1e-3);
      EXPECT_NEAR(MinX(leaf), pivot, 1e-3);
    }
    // The fillers are not turned.
    EXPECT_NEAR(MinX(faces[1]), 60, 1e-3);
  }
}

// ---- Trim profiles ---------------------------------------------------------------------------

TEST_F(CustomDefinitions, TrimProfileGoesToTheAskedSlotMirroredForCrown) {
  // A profile 1 deep and 4 high in plan, its nose near the top.
  WriteDefinition(trims() + "/Mine/t.QTF", {{kObjClosedPoly, 1, true, {{0, 0}, {1, 0}, {1, 3}, {0, 4}}, 0, 0, true}});
  WriteText(trims() + "/Mine/t.QTI", "[Description]\nTrimName=Cove\n");
  Choose(3, "Mine/t.QTF", kEntryCustomTrim);

  struct Case {
    bool base;
    bool wallSide;
    bool slotA;
  };
  for (const Case c : {Case{true, true, false}, Case{false, true, false}, Case{true, false, true},
                       Case{false, false, false}}) {
    gApplyTrimAsBase = c.base ? 1 : 0;
    Objex* window = CustomWindow();
    TrimData* trim = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
    // Old profiles are replaced (and freed).
    const RGBColor black{};
    trim->profileA = CreateObject(kObjClosedPoly, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr);
    trim->profileB = CreateObject(kObjClosedPoly, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr);
    Rec(window)->trimSlotA.profile = CreateObject(kObjClosedPoly, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr);
    openings::ReadCustomTrimFile(c.wallSide ? wall : window, c.slotA, c.wallSide ? trim : nullptr);
    Objex* profile = nullptr;
    if (c.wallSide) {
      EXPECT_EQ(c.base ? trim->lowerTrim() : trim->crownTrim(), kTrimCustomProfile);
      EXPECT_EQ(c.base ? trim->crownTrim() : trim->lowerTrim(), 0);
      profile = c.base ? trim->lowerProfile() : trim->crownProfile();
    } else {
      TrimSlot& slot = c.slotA ? Rec(window)->trimSlotA : Rec(window)->trimSlotB;
      EXPECT_EQ(slot.flag, 1);
      profile = slot.profile;
    }
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(profile->layer, wall->layer);
    EXPECT_EQ(profile->parent, nullptr);
    EXPECT_EQ(profile->next, nullptr);
    EXPECT_STREQ(profile->name, "Cove");
    // The definition's first point (0, 0) stays for base trim; crown trim mirrors the profile's
    // height about its middle.
    const Poinz* p = profile->firstPoint;
    ASSERT_NE(p, nullptr);
    EXPECT_FLOAT_EQ(p->position[0], 0);
    EXPECT_FLOAT_EQ(p->position[1], 0);
    EXPECT_FLOAT_EQ(p->position[2], c.base ? 0.0f : 4.0f);
    for (const Poinz* q = profile->firstPoint; q; q = q->next) EXPECT_EQ(q->locked, 0);
    for (Objex* o : {trim->profileA, trim->profileB}) {
      o->layer = nullptr;
      DeleteObj(o);
    }
    free(trim);
  }
}

TEST_F(CustomDefinitions, TrimWithoutAProfileChangesNothingAndSaysNothing) {
  Objex* window = CustomWindow();
  TrimData trim{};
  struct Case {
    int16_t entryType;
    const char* file;
  };
  for (const Case c : {Case{kEntryCustomTrim, ""}, Case{kEntryTrim, "Mine/t.QTF"}, Case{kEntryCustomTrim, "Mine/none.QTF"}}) {
    Choose(3, c.file, c.entryType);
    openings::ReadCustomTrimFile(wall, true, &trim);
    openings::ReadCustomTrimFile(window, true, nullptr);
    EXPECT_EQ(trim.lowerProfile(), nullptr);
    EXPECT_EQ(trim.crownTrim(), 0);
    EXPECT_EQ(Rec(window)->trimSlotA.flag, 0);
    EXPECT_EQ(Rec(window)->trimSlotA.profile, nullptr);
  }
  EXPECT_TRUE(alerts.shown.empty());
}

// ---- Applying ------------------------------------------------------------------------

TEST_F(CustomDefinitions, ApplyingReReadsTheSelectedOpeningsOfTheCategory) {
  WriteWindow();
  WriteText(windows() + "/Tall/w.QTI", "[Description]\nAttachmentName=Tall Window\n");
  WriteDefinition(doors() + "/P/d.QTF", {Box(kObjSkylightOutline, -18, 0, 18, 80)});
  WriteText(doors() + "/P/d.QTI", "[Description]\nAttachmentName=Panel\n");
  Objex* chosen = CustomWindow(20, 50, 60);
  Objex* other = CustomWindow(120, 150, 60);
  Objex* door = Add(kObjDoor, kDoorCustom, 180, 216, 80);
  Objex* plain = Add(kObjWindow, kWindowRectangular, 60, 90, 60);
  for (Objex* o : {chosen, door, plain}) SelectObj(o, kSelectOn, 0);
  SelectObj(other, kSelectOff, 0);

  ServiceCallRecorder calls;
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  ApplyCurCustAttachToSelectedWinAndDoor();
  EXPECT_STREQ(chosen->name, "Tall Window");
  EXPECT_EQ(other->name, nullptr);
  EXPECT_EQ(door->name, nullptr);
  EXPECT_EQ(plain->name, nullptr);
  EXPECT_EQ(Rec(plain)->maskObject, nullptr);
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  ASSERT_EQ(UndoNames::names().size(), 1u);
  EXPECT_EQ(UndoNames::names()[0], "Custom Window Type");

  Choose(kCustomDoorCategory, "P/d.QTF", kEntryCustomDoor);
  ApplyCurCustAttachToSelectedWinAndDoor();
  EXPECT_STREQ(door->name, "Panel");
  EXPECT_STREQ(chosen->name, "Tall Window");
  ASSERT_EQ(UndoNames::names().size(), 2u);
  EXPECT_EQ(UndoNames::names()[1], "Custom Door Type");

  // Another category, or a definition that is not there: nothing applied, no undo step.
  Choose(3, "Tall/w.QTF", kEntryCustomTrim);
  ApplyCurCustAttachToSelectedWinAndDoor();
  Choose(kCustomWindowCategory, "Tall/gone.QTF");
  SelectObj(other, kSelectOn, 0);
  alerts.shown.clear();
  ApplyCurCustAttachToSelectedWinAndDoor();
  EXPECT_EQ(alerts.shown.size(), 1u);  // one alert, not one per window
  EXPECT_EQ(UndoNames::names().size(), 2u);
  EXPECT_STREQ(chosen->name, "Tall Window");
}

TEST_F(CustomDefinitions, ShippedDefinitionsReadAndFit) {
  SetUserSharedRoot(BuildTreeContentRoot() + "/QVRA/Shared");
  struct Case {
    int16_t category;
    int16_t type;
    int16_t subtype;
    const char* file;
    const char* name;
  };
  for (const Case& c : {Case{kCustomDoorCategory, kObjDoor, kDoorCustom, "Panel Doors/door1.QTF", "Panel Door"},
                        Case{kCustomWindowCategory, kObjWindow, kWindowCustom, "Casement/window1.QTF",
                             "Two-Light Window"}}) {
    Choose(c.category, c.file);
    Objex* opening = Add(c.type, c.subtype, 40, 76, 80);
    ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(opening)) << c.file;
    EXPECT_STREQ(opening->name, c.name);
    UpdateCustomAttachment(opening);
    ASSERT_FALSE(Faces(opening).empty());
    for (Objex* f : Faces(opening)) {
      EXPECT_GE(MinX(f), 40 - 3.0f) << c.file;
      EXPECT_LE(MaxX(f), 76 + 3.0f) << c.file;
      EXPECT_GE(MinY(f), -80.01f) << c.file;
    }
  }
  gSelectedContentEntry = SymEntryInfo{};
  gSelectedContentEntry.type = kEntryCustomTrim;
  gSelectedContentEntry.objectData = "My Trim/trim1.QTF";
  gSelectedContentEntryType = kEntryCustomTrim;
  TrimData trim{};
  gApplyTrimAsBase = 1;
  openings::ReadCustomTrimFile(wall, true, &trim);
  ASSERT_NE(trim.lowerProfile(), nullptr);
  EXPECT_STREQ(trim.lowerProfile()->name, "Rounded Base");
  trim.lowerProfile()->layer = nullptr;
  DeleteObj(trim.lowerProfile());
}

// ---- Definitions the program itself wrote: groups and walls with openings ----------------

fs::path Regressions() { return fs::path(__FILE__).parent_path() / "data" / "regressions"; }

// Every object below `o` (children, 3D symbol parts and the part lists of opening and skylight
// records, at every depth), `o` included.
template <typename F>
void VisitOwned(Objex* o, F&& f) {
  if (!o) return;
  f(o);
  for (Objex* c = o->firstChild; c; c = c->next) VisitOwned(c, f);
  for (Objex* s = o->symbol3D; s; s = s->next) VisitOwned(s, f);
  if (!o->typeData) return;
  std::vector<Objex*> lists;
  if (o->type == kObjDoor || o->type == kObjWindow) {
    const auto* d = static_cast<DoorWindowData*>(o->typeData);
    lists = {d->faces, d->maskObject, d->definitionParts, d->definitionLeafParts, d->extraParts1,
             d->extraParts2, d->extraParts3, d->extraParts4, d->trimSlotA.profile, d->trimSlotB.profile};
  } else if (o->type == kObjSkylight) {
    const auto* r = static_cast<RoofAttachmentData*>(o->typeData);
    lists = {r->parts, r->outlineParts, r->separatorParts, r->leafParts, r->customParts, r->otherParts};
  }
  for (Objex* list : lists)
    for (Objex* p = list; p; p = p->next) VisitOwned(p, f);
}

// Designs saved by the program (a group holding a wall with a door and a line; a design of every
// kind) chosen as window definitions. Their parts hold children; every one of them must stay
// with the window once the definition's layer is gone: fitting, reading again (which frees
// the old parts), and taking the same file as a trim profile read nothing freed.
TEST_F(CustomDefinitions, SavedDesignsAsDefinitionsStayWholeWithTheOpening) {
  for (const char* name :
       {"uaf-grouped-wall-door-as-window-definition.QTF", "uaf-every-kind-as-window-definition.QTF"}) {
    SCOPED_TRACE(name);
    fs::create_directories(windows() + "/Saved");
    fs::copy_file(Regressions() / name, windows() + "/Saved/" + name, fs::copy_options::overwrite_existing);
    Choose(kCustomWindowCategory, std::string("Saved/") + name);
    Objex* window = CustomWindow(60, 96, 48);
    ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
    EXPECT_EQ(gAttachmentTempLayer, nullptr);
    size_t held = 0;  // objects below the parts
    VisitOwned(window, [&](Objex* o) {
      EXPECT_EQ(o->layer, window->layer) << o->type;
      if (o != window && o->parent && o->parent != window) ++held;
    });
    EXPECT_GT(held, 0u);  // the group's members, the wall's door

    UpdateCustomAttachment(window);
    ASSERT_FALSE(Faces(window).empty());
    for (Objex* f : Faces(window)) EXPECT_EQ(f->firstChild, nullptr) << f->type;
    // The Window pane's custom style row reads the definition again and the wall refits it.
    ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
    UpdateCustomAttachment(window);
    VisitOwned(window, [&](Objex* o) { EXPECT_EQ(o->layer, window->layer) << o->type; });

    // The same file as a trim: the profile (the first object) keeps what it holds on the floor.
    fs::create_directories(trims() + "/Saved");
    fs::copy_file(Regressions() / name, trims() + "/Saved/" + name, fs::copy_options::overwrite_existing);
    Choose(kCustomWindowCategory, std::string("Saved/") + name, kEntryCustomTrim);
    for (int twice = 0; twice < 2; ++twice) {
      openings::ReadCustomTrimFile(window, true, nullptr);
      ASSERT_NE(Rec(window)->trimSlotA.profile, nullptr);
      VisitOwned(Rec(window)->trimSlotA.profile, [&](Objex* o) { EXPECT_EQ(o->layer, window->layer); });
    }
    EXPECT_EQ(Count(doc.first->firstObject), 1);  // the wall alone
  }
}

// A definition entry names a file of its own custom folder. Names that lead out of it by ".."
// parts, as an absolute path or through a link are not read: the opening keeps its parts and
// the user is told the definition cannot be found, as for a missing one. A link that stays
// inside the folder is followed.
TEST_F(CustomDefinitions, DefinitionEntriesStayInsideTheirFolder) {
  WriteWindow();
  const std::string outside = shared + "/outside";
  WriteDefinition(outside + "/evil.QTF", {Box(kObjSkylightOutline, -5, 0, 5, 10)});
  WriteText(outside + "/evil.QTI", "[Description]\nAttachmentName=Evil\n");
  WriteText(outside + "/side.ini", "[Description]\nAttachmentName=Evil\nTrimName=Evil\n");
  fs::create_symlink(outside + "/evil.QTF", windows() + "/link.QTF");
  fs::create_symlink(outside, windows() + "/Linked");
  fs::create_symlink(windows() + "/Tall/w.QTF", windows() + "/alias.QTF");
  fs::create_directories(doors());
  fs::create_symlink(outside + "/evil.QTF", doors() + "/link.QTF");

  Objex* window = CustomWindow();
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  Objex* const mask = Rec(window)->maskObject;
  struct Case {
    int16_t category;
    std::string file;
  };
  const Case cases[] = {{kCustomWindowCategory, "../../../outside/evil.QTF"},
                        {kCustomWindowCategory, "Tall/../../../../outside/evil.QTF"},
                        {kCustomWindowCategory, "..\\..\\..\\outside\\evil.QTF"},
                        {kCustomWindowCategory, outside + "/evil.QTF"},
                        {kCustomWindowCategory, "link.QTF"},
                        {kCustomWindowCategory, "Linked/evil.QTF"},
                        {kCustomWindowCategory, "linked/EVIL.qtf"},
                        {kCustomDoorCategory, "link.QTF"},
                        {kCustomDoorCategory, "../Windows/Tall/w.QTF"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    alerts.shown.clear();
    Choose(c.category, c.file);
    std::string path = "old";
    EXPECT_FALSE(GetCurrentDefinitionFilePath(&path));
    EXPECT_EQ(path, "");
    EXPECT_FALSE(openings::ReadCustomWindowDoorDefinition(window));
    EXPECT_EQ(Rec(window)->maskObject, mask);
    EXPECT_EQ(window->name, nullptr);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].informative, kMissingText);
    EXPECT_EQ(gAttachmentTempLayer, nullptr);
  }

  // A link that stays inside is followed; a side file that links out is not read.
  Choose(kCustomWindowCategory, "alias.QTF");
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  EXPECT_NE(Rec(window)->maskObject, nullptr);
  fs::create_symlink(outside + "/side.ini", windows() + "/Tall/w.qti");
  Choose(kCustomWindowCategory, "Tall/w.QTF");
  ASSERT_TRUE(openings::ReadCustomWindowDoorDefinition(window));
  EXPECT_EQ(window->name, nullptr);

  // Trims: the same rule, without a message.
  WriteDefinition(outside + "/t.QTF", {{kObjClosedPoly, 1, true, {{0, 0}, {1, 0}, {1, 3}, {0, 4}}, 0, 0, true}});
  fs::create_directories(trims());
  fs::create_symlink(outside + "/t.QTF", trims() + "/link.QTF");
  alerts.shown.clear();
  for (const std::string& file : {std::string("../../../outside/t.QTF"), outside + "/t.QTF", std::string("link.QTF")}) {
    Choose(kCustomWindowCategory, file, kEntryCustomTrim);
    std::string path = "old";
    EXPECT_FALSE(GetCurrentTrimDefinitionFilePath(&path)) << file;
    openings::ReadCustomTrimFile(window, true, nullptr);
    EXPECT_EQ(Rec(window)->trimSlotA.profile, nullptr) << file;
  }
  EXPECT_TRUE(alerts.shown.empty());
}

}  // namespace
