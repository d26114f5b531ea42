// A new design in a document model and a model made anew: the first undo snapshot,
// the kept document id and the undo files of the design that went.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/Undo.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "model/Records.h"
#include "platform/TemporaryFolder.h"
#include "platform/UndoNames.h"

namespace fs = std::filesystem;

namespace {

ZLKDocumentModel* sReinitialized = nullptr;
void NoteReinitialized(ZLKDocumentModel* m) { sReinitialized = m; }

class NewDesign : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/casa-newdesign-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch = pattern;
    const char* old = getenv("XDG_RUNTIME_DIR");
    oldRuntime = old ? old : "";
    setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
    savedUndo = gUndoActive;
    gUndoActive = 1;
    savedHook = gFrontEnd.documentReinitialized;
    gFrontEnd.documentReinitialized = NoteReinitialized;
    sReinitialized = nullptr;
  }
  void TearDown() override {
    gFrontEnd.documentReinitialized = savedHook;
    gUndoActive = savedUndo;
    gCurDocument = saved;
    if (oldRuntime.empty()) unsetenv("XDG_RUNTIME_DIR");
    else setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
    std::error_code ec;
    fs::remove_all(scratch, ec);
  }
  static int CountUndoFiles(const ZLKDocumentModel* m) { return CountUndoFiles(m->undoFilePrefix()); }
  static int CountUndoFiles(const std::string& prefix) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(ApplicationTemporaryPath(), ec))
      if (e.path().filename().string().rfind(prefix + "_", 0) == 0) ++n;
    return n;
  }
  std::string scratch, oldRuntime;
  uint8_t savedUndo = 1;
  void (*savedHook)(ZLKDocumentModel*) = nullptr;
  ZLKDocumentModel* saved = gCurDocument;
};

TEST_F(NewDesign, InitMakesACurrentModelWithOneUndoState) {
  ZLKDocumentModel* m = ZLKDocumentModel::init();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(gCurDocument, m);
  EXPECT_STREQ(m->itsCurLayer->name, "First Floor");
  EXPECT_EQ(m->itsFirstUndo, 1);
  EXPECT_EQ(m->itsLastUndo, 1);
  EXPECT_EQ(m->itsCurrentUndo, 1);
  EXPECT_EQ(CountUndoFiles(m), 1);
  EXPECT_TRUE(fs::exists(UndoStatePath(1)));
  EXPECT_FALSE(m->itsEdited);
  EXPECT_EQ(UndoFilePrefixFor(m->itsDocID), m->undoFilePrefix());
  ZLKDocumentModel::release(m);
  EXPECT_EQ(gCurDocument, nullptr);
}

TEST_F(NewDesign, ReinitializingKeepsTheIdAndLeavesACleanDesign) {
  ZLKDocumentModel* m = ZLKDocumentModel::init();
  ASSERT_NE(m, nullptr);
  UndoNameStack undo;
  m->itsUndoManager = &undo;
  int32_t id = m->itsDocID;
  // An edit: a fourth layer made current, a second palette, the ruler shown, two snapshots.
  Layer* extra = CreateLayer("Extra", 1, 1, nullptr);
  AppendLayerToDocument(extra);
  m->itsCurLayer = extra;
  m->itsCur2DLayer = extra;
  AddNewDocPaletteList();
  m->itsVRVisible = 1;
  m->itsMaximumPlantAge = 50;
  StoreUndo("Add Layer");
  StoreUndo("Show Ruler");
  ASSERT_TRUE(undo.canUndo());
  ASSERT_TRUE(m->itsEdited);
  ASSERT_EQ(CountUndoFiles(m), 3);

  // Made anew while another model is current: that one stays current.
  ZLKDocumentModel other;
  gCurDocument = &other;
  m->reinitializeDocumentModel();
  EXPECT_EQ(gCurDocument, &other);
  gCurDocument = m;

  EXPECT_EQ(sReinitialized, m);
  EXPECT_EQ(m->itsDocID, id);
  EXPECT_FALSE(m->itsEdited);
  EXPECT_FALSE(undo.canUndo());
  EXPECT_FALSE(undo.canRedo());
  int layers = 0;
  for (Layer* l = m->itsLayers; l; l = l->next) ++layers;
  EXPECT_EQ(layers, 3);
  EXPECT_STREQ(m->itsCurLayer->name, "First Floor");
  EXPECT_EQ(m->itsCur2DLayer, nullptr);
  EXPECT_EQ(m->itsTopoLayer, nullptr);
  ASSERT_NE(m->itsPaletteList, nullptr);
  EXPECT_EQ(m->itsPaletteList->next, nullptr);
  EXPECT_EQ(m->itsPaletteList->active, 1);
  EXPECT_EQ(m->itsVRVisible, 0);
  EXPECT_EQ(m->itsVRStartPt.floatH, -144.0f);
  EXPECT_EQ(m->itsVREndPt.floatH, 144.0f);
  EXPECT_EQ(m->itsMaximumPlantAge, 23);
  // Exactly one stored state: the old snapshots went, the new design is slot 1.
  EXPECT_EQ(m->itsFirstUndo, 1);
  EXPECT_EQ(m->itsCurrentUndo, 1);
  EXPECT_EQ(m->itsLastUndo, 1);
  EXPECT_EQ(CountUndoFiles(m), 1);

  m->itsUndoManager = nullptr;
  std::string prefix = m->undoFilePrefix();
  ZLKDocumentModel::release(m);
  EXPECT_EQ(CountUndoFiles(prefix), 0);
}

}  // namespace
