// The document model: document ids, the fresh design, emptying and the removal of a
// document's own undo files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Palettes.h"
#include "model/Records.h"
#include "platform/Session.h"
#include "platform/TemporaryFolder.h"

namespace {

// Models made with alloc(), released at the end.
// Each test has a temporary folder of its own: the ids it draws on purpose are not kept from
// it by another program's (or test's) lock files for the same ids.
class DocumentModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* r = std::getenv("XDG_RUNTIME_DIR")) runtime = r, hadRuntime = true;
    char folder[] = "/tmp/casa-docmodel-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    own = folder;
    setenv("XDG_RUNTIME_DIR", own.c_str(), 1);
  }
  void TearDown() override {
    for (ZLKDocumentModel* m : made) ZLKDocumentModel::release(m);
    SetDocumentIDSource({});
    gCurDocument = saved;
    if (hadRuntime) setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    if (!own.empty()) std::filesystem::remove_all(own, ignored);
  }
  std::string runtime, own;
  bool hadRuntime = false;
  ZLKDocumentModel* make() {
    ZLKDocumentModel* m = ZLKDocumentModel::alloc();
    made.push_back(m);
    return m;
  }
  ZLKDocumentModel* saved = gCurDocument;
  std::vector<ZLKDocumentModel*> made;
};

int CountLayers(const ZLKDocumentModel* m) {
  int n = 0;
  for (Layer* l = m->itsLayers; l; l = l->next) ++n;
  return n;
}

TEST_F(DocumentModelTest, IdsStayInRangeAndUniqueWhenTheSourceRepeats) {
  SetDocumentIDSource([] { return 0xFF000005u; });  // always the same, high bits set
  ZLKDocumentModel* a = make();
  ZLKDocumentModel* b = make();
  ZLKDocumentModel* c = make();
  EXPECT_EQ(a->itsDocID, 5);
  EXPECT_NE(b->itsDocID, a->itsDocID);
  EXPECT_NE(c->itsDocID, a->itsDocID);
  EXPECT_NE(c->itsDocID, b->itsDocID);
  for (ZLKDocumentModel* m : {a, b, c}) {
    EXPECT_GE(m->itsDocID, 0);
    EXPECT_LE(m->itsDocID, 16777215);
  }
  // A released model's id is free again.
  made.erase(made.begin());
  ZLKDocumentModel::release(a);
  EXPECT_EQ(make()->itsDocID, 5);

  // A source that repeats a few times before moving on is simply drawn again.
  int calls = 0;
  SetDocumentIDSource([&calls] { return ++calls < 4 ? 5u : 77u; });
  EXPECT_EQ(make()->itsDocID, 77);
  EXPECT_EQ(calls, 4);

  // The wrap at the top of the range.
  SetDocumentIDSource([] { return 0xFFFFFFu; });
  ZLKDocumentModel* top = make();
  EXPECT_EQ(top->itsDocID, 16777215);
  EXPECT_EQ(make()->itsDocID, 0);
  EXPECT_EQ(OpenDocumentModels().size(), made.size());
}

TEST_F(DocumentModelTest, DefaultSourceGivesDistinctIdsInRange) {
  ZLKDocumentModel* a = make();
  ZLKDocumentModel* b = make();
  EXPECT_NE(a->itsDocID, b->itsDocID);
  EXPECT_LE(a->itsDocID, 16777215);
  EXPECT_GE(b->itsDocID, 0);
}

TEST_F(DocumentModelTest, FreshDesign) {
  uint8_t savedImperial = gDefaultToImperial;
  for (uint8_t imperial : {uint8_t(1), uint8_t(0)}) {
    gDefaultToImperial = imperial;
    ZLKDocumentModel* m = make();
    gCurDocument = saved;
    strcpy(gCurrentTraceImageSourcePath, "/old/trace.png");
    ASSERT_TRUE(m->buildFreshState());
    EXPECT_EQ(gCurDocument, saved);  // current only while building
    EXPECT_EQ(gCurrentTraceImageSourcePath[0], 0);

    ASSERT_EQ(CountLayers(m), 3);
    Layer* first = m->itsLayers;
    EXPECT_STREQ(first->name, "First Floor");
    EXPECT_EQ(first->visible, 1);
    EXPECT_EQ(first->selectable, 1);
    EXPECT_STREQ(first->next->name, "Second Floor");
    EXPECT_EQ(first->next->visible, 1);
    EXPECT_EQ(first->next->selectable, 0);
    EXPECT_STREQ(first->next->next->name, "Third Floor");
    EXPECT_EQ(first->next->next->visible, 1);
    EXPECT_EQ(first->next->next->selectable, 0);
    EXPECT_EQ(m->itsCurLayer, first);
    EXPECT_EQ(m->itsCur2DLayer, nullptr);
    EXPECT_EQ(m->itsTopoLayer, nullptr);

    ASSERT_NE(m->itsDocState, nullptr);
    EXPECT_EQ(m->itsDocState->measureSystem, imperial ? kMeasureImperial : kMeasureMetric);
    if (imperial) EXPECT_EQ(m->itsDocState->gridSpacing.floatH, 12.0f);
    else {
      // The metric defaults, as SetDocStateMetricDefaults gives them to a new DocState.
      DocState* expected = nullptr;
      {
        CurrentDocumentScope scope(m);
        expected = CreateDocState();
        SetDocStateMetricDefaults(expected);
      }
      EXPECT_EQ(m->itsDocState->gridSpacing.floatH, expected->gridSpacing.floatH);
      EXPECT_EQ(m->itsDocState->gridSnap.floatH, expected->gridSnap.floatH);
      free(expected);
    }

    ASSERT_NE(m->itsPaletteList, nullptr);
    EXPECT_EQ(m->itsPaletteList->next, nullptr);
    EXPECT_STREQ(m->itsPaletteList->name, "Default Palette");
    EXPECT_EQ(m->itsPaletteList->active, 1);

    EXPECT_EQ(m->itsVRVisible, 0);
    EXPECT_EQ(m->itsVRStartPt.floatH, -144.0f);
    EXPECT_EQ(m->itsVRStartPt.floatV, 0.0f);
    EXPECT_EQ(m->itsVREndPt.floatH, 144.0f);
    EXPECT_EQ(m->itsVREndPt.floatV, 0.0f);
    EXPECT_EQ(m->itsMaximumPlantAge, 23);
    EXPECT_EQ(m->itsFirstUndo, -1);
  }
  gDefaultToImperial = savedImperial;
}

TEST_F(DocumentModelTest, EmptyingTwiceAndRemovingOnePalette) {
  ZLKDocumentModel* m = make();
  ASSERT_TRUE(m->buildFreshState());
  DocPaletteList* second;
  DocPaletteList* third;
  {
    CurrentDocumentScope scope(m);
    second = AddNewDocPaletteList();
    third = AddNewDocPaletteList();
  }
  m->deleteDocPalette(second);
  ASSERT_EQ(m->itsPaletteList->next, third);
  EXPECT_EQ(third->prev, m->itsPaletteList);
  m->deleteDocPalette(nullptr);

  for (int round = 0; round < 2; ++round) {
    m->deleteContents();
    EXPECT_EQ(m->itsLayers, nullptr);
    EXPECT_EQ(m->itsCurLayer, nullptr);
    EXPECT_EQ(m->itsTopoLayer, nullptr);
    EXPECT_EQ(m->itsDocState, nullptr);
    EXPECT_EQ(m->itsPaletteList, nullptr);
    EXPECT_EQ(m->itsPlugIns, nullptr);
    EXPECT_EQ(m->itsCustomTextureList, nullptr);
    EXPECT_EQ(m->itsLiveViews, nullptr);
  }
  // A topography layer outside the list goes too.
  m->itsTopoLayer = CreateLayer("Topography", 1, 1, nullptr);
  m->deleteDocumentElements();
  EXPECT_EQ(m->itsTopoLayer, nullptr);
}

TEST_F(DocumentModelTest, SwappingExchangesTheDesignsOnly) {
  ZLKDocumentModel* a = make();
  ZLKDocumentModel* b = make();
  ASSERT_TRUE(a->buildFreshState());
  Layer* layers = a->itsLayers;
  DocState* ds = a->itsDocState;
  a->itsMaximumPlantAge = 40;
  a->itsFirstUndo = 3;
  int32_t idA = a->itsDocID, idB = b->itsDocID;
  a->swapDesignWith(*b);
  EXPECT_EQ(a->itsLayers, nullptr);
  EXPECT_EQ(b->itsLayers, layers);
  EXPECT_EQ(b->itsDocState, ds);
  EXPECT_EQ(b->itsMaximumPlantAge, 40);
  EXPECT_EQ(a->itsFirstUndo, 3);
  EXPECT_EQ(a->itsDocID, idA);
  EXPECT_EQ(b->itsDocID, idB);
}

TEST_F(DocumentModelTest, SanitizingRemovesOnlyThisDocumentsFilesOfThisSession) {
  char scratch[] = "/tmp/casa-model-XXXXXX";
  ASSERT_NE(mkdtemp(scratch), nullptr);
  const char* old = getenv("XDG_RUNTIME_DIR");
  std::string oldRuntime = old ? old : "";
  setenv("XDG_RUNTIME_DIR", scratch, 1);
  ASSERT_TRUE(CreateApplicationTemporaryFolder());
  std::string folder = ApplicationTemporaryPath();

  SetDocumentIDSource([] { return 12u; });
  ZLKDocumentModel* m = make();
  ASSERT_EQ(m->itsDocID, 12);
  std::string session = std::to_string(SessionID());
  std::string other = std::to_string(SessionID() + 1);
  std::string base = "com.zelkoworks.casavelt_1100_";
  EXPECT_EQ(m->undoFilePrefix(), base + session + "_12");
  const std::vector<std::string> mine = {base + session + "_12_1.dat", base + session + "_12_25.dat"};
  const std::vector<std::string> kept = {
      base + session + "_123_1.dat",   // another document whose id starts the same
      base + other + "_12_1.dat",      // another session
      base + session + "_12_1.dat.bak",
      base + session + "_12_x.dat",
      base + session + "_12_.dat",
      "notes.txt"};
  for (const auto& name : mine) std::ofstream(folder + "/" + name) << "x";
  for (const auto& name : kept) std::ofstream(folder + "/" + name) << "x";

  m->sanitizeUndoFiles();
  for (const auto& name : mine) EXPECT_FALSE(std::filesystem::exists(folder + "/" + name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(std::filesystem::exists(folder + "/" + name)) << name;

  // Releasing the model removes its files as well.
  std::ofstream(folder + "/" + mine[0]) << "x";
  made.clear();
  ZLKDocumentModel::release(m);
  EXPECT_FALSE(std::filesystem::exists(folder + "/" + mine[0]));

  if (oldRuntime.empty()) unsetenv("XDG_RUNTIME_DIR");
  else setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
  std::error_code ec;
  std::filesystem::remove_all(scratch, ec);
}

}  // namespace

// Another running copy of the program keeps undo files under an id: this one never takes it.
TEST(DocumentIDs, IdsWithUndoFilesOfAnotherCopyAreNotDrawn) {
  std::string runtime = "/tmp/casa-docid-" + std::to_string(getpid());
  const char* old = getenv("XDG_RUNTIME_DIR");
  std::string saved = old ? old : "";
  mkdir(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  CreateApplicationTemporaryFolder();
  std::string other = ApplicationTemporaryPath() + "/" + UndoFilePrefixFor(31) + "_1.dat";
  FILE* f = fopen(other.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fclose(f);
  int calls = 0;
  SetDocumentIDSource([&calls] { return ++calls == 1 ? 31u : 32u; });
  EXPECT_EQ(DrawDocumentID(), 32);
  SetDocumentIDSource({});
  std::filesystem::remove_all(runtime);
  if (saved.empty()) unsetenv("XDG_RUNTIME_DIR");
  else setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}
