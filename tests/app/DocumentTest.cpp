// The design document and its window: undo settings, reading and writing, the trace
// image, undo and redo from the Edit menu, the close check, New and Open reusing the one
// design window, the files given at start-up, the main-window road, and what opening a
// design of houses builds, snapshots and writes back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenuBar>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "../../bench/DesignGenerator.h"
#include "AppTestSupport.h"
#include "app/AppController.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/SymbolFile.h"
#include "files/Undo.h"
#include "inspectors/SheetHooks.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/StairFields.h"
#include "platform/Alerts.h"
#include "platform/FileIO.h"
#include "platform/UserDefaults.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A selected line on the current document's first floor.
Objex* AddLine() {
  RGBColor black{};
  Objex* o = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr);
  for (float x : {0.0f, 100.0f}) AppendPointToObject(CreatePoint(1, 1, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
  AppendObjectToLayer(o, gCurDocument->itsLayers);
  return o;
}

class Document : public DesignWindowTest, protected StubFileChoosers {
 protected:
  Document() : DesignWindowTest(/*makesDocument=*/false) {}
  void beforeDocument() override {
    savedUndo = gUndoActive;
    installFileChoosers();
  }
  void afterClosing() override {
    restoreFileChoosers();
    gUndoActive = savedUndo;
  }
  ZLKDocument* makeDocument() {
    return ZLKDocumentController::sharedDocumentController().makeUntitledDocument(/*display=*/false);
  }
  // Whether the design is marked edited: the window's "*", the document's flag and a question
  // on closing (cancelled: nothing closes) all say the same.
  static bool MarkedEdited(ZLKDocument* doc, ZLKWindowController* window, ScopedAlertRecorder& alerts) {
    const size_t asked = alerts.shown.size();
    bool mayClose = false;
    doc->canCloseDocumentWithDelegate([&](bool ok) { mayClose = ok; });
    const bool asks = alerts.shown.size() > asked;
    EXPECT_EQ(window->isWindowModified(), asks);
    EXPECT_EQ(doc->isDocumentEdited(), asks);
    EXPECT_NE(mayClose, asks);
    return asks;
  }
  // A kept reproducer copied to `name` and opened as File > Open does; the design opened.
  ZLKDocument* openKeptCopy(const std::string& kept, const std::string& name) {
    const fs::path folder = fs::path(__FILE__).parent_path().parent_path() / "files" / "data" / "regressions";
    const std::string path = file(name);
    fs::copy_file(folder / kept, path, fs::copy_options::overwrite_existing);
    bool opened = false;
    auto& controller = ZLKDocumentController::sharedDocumentController();
    controller.openDocumentWithContentsOfFile(path, [&](bool ok) { opened = ok; });
    EXPECT_TRUE(opened) << path;
    return opened ? controller.currentDocument() : nullptr;
  }
  // A design file holding one line.
  std::string writeDesignWithALine(const std::string& name) {
    ZLKDocumentModel* previous = gCurDocument;
    ZLKDocumentModel* m = ZLKDocumentModel::init();
    AddLine();
    std::string path = file(name);
    EXPECT_EQ(KeyFileWrite(path.c_str()), 1);
    ZLKDocumentModel::release(m);
    gCurDocument = previous;
    return path;
  }

  uint8_t savedUndo = 1;
};

TEST_F(Document, InitTakesTheUndoSettingsAndLoadsTheSymbolListsOnce) {
  defaults.setBool("UndoEnabled", false);
  defaults.setInt("UndoLevels", 7);
  ZLKDocument* a = makeDocument();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(gUndoActive, 0);
  EXPECT_EQ(a->undoManager().levelsOfUndo(), 7u);
  EXPECT_EQ(gCurDocument, a->documentModel());
  EXPECT_EQ(a->documentModel()->itsUndoManager, &a->undoManager());
  Objex* list2D = gSymbol2DList;
  Objex* list3D = gSymbol3DList;
  EXPECT_NE(list2D, nullptr);
  EXPECT_NE(list3D, nullptr);

  // Registered defaults: undo on, 200 levels. The lists are not loaded again.
  defaults.removeKey("UndoEnabled");
  defaults.removeKey("UndoLevels");
  ZLKDocument* b = ZLKDocument::init();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(gUndoActive, 1);
  EXPECT_EQ(b->undoManager().levelsOfUndo(), 200u);
  EXPECT_EQ(gSymbol2DList, list2D);
  EXPECT_EQ(gSymbol3DList, list3D);
  EXPECT_NE(a->documentModel()->itsDocID, b->documentModel()->itsDocID);
  delete b;
}

TEST_F(Document, WritesAndReadsADesign) {
  ZLKDocument* doc = makeDocument();
  AddLine();
  std::string path = file("house.pro");
  EXPECT_TRUE(doc->writeToFile(path, "pro"));

  ZLKDocument* reader = makeDocument();
  reader->documentModel()->itsEdited = true;
  reader->undoManager().setActionName("Old Edit");
  gCurDocument = doc->documentModel();
  ASSERT_TRUE(reader->readFromFile(path, "pro"));
  ZLKDocumentModel* m = reader->documentModel();
  EXPECT_EQ(gCurDocument, m);
  EXPECT_EQ(CountObjects(m), 1);
  EXPECT_FALSE(IsObjectSelected(m->itsLayers->firstObject));  // deselected
  EXPECT_FALSE(reader->isDocumentEdited());
  EXPECT_FALSE(reader->undoManager().canUndo());
  EXPECT_EQ(m->itsFirstUndo, 1);
  EXPECT_EQ(m->itsCurrentUndo, 1);
  EXPECT_EQ(m->itsLastUndo, 1);
  EXPECT_TRUE(fs::exists(UndoStatePath(1)));
}

TEST_F(Document, AFailedReadLeavesTheOpenDesignAndAFailedWriteTheOldFile) {
  ZLKDocument* doc = makeDocument();
  AddLine();
  ZLKDocumentModel* m = doc->documentModel();
  Layer* layers = m->itsLayers;
  std::string junk = file("junk.pro");
  std::ofstream(junk) << "not a design at all";
  EXPECT_FALSE(doc->readFromFile(junk, "pro"));
  EXPECT_FALSE(doc->readFromFile(file("missing.pro"), "pro"));
  EXPECT_EQ(m->itsLayers, layers);
  EXPECT_EQ(CountObjects(m), 1);
  EXPECT_EQ(gCurDocument, m);

  // A write that cannot finish (the file-size limit stands in for a full disk).
  std::string path = file("keep.pro");
  std::ofstream(path) << "old contents";
  struct rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit tight = saved;
  tight.rlim_cur = 16;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &tight);
  bool written = doc->writeToFile(path, "pro");
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadText(path), "old contents");
  EXPECT_FALSE(doc->writeToFile(file("no/such/folder/x.pro"), "pro"));

  // Saving there reports the failure and keeps the design edited and untitled.
  ScopedAlertRecorder alerts;
  doc->setDocumentEdited(true);
  savePath = file("no/such/folder/x.pro");
  EXPECT_FALSE(doc->saveDocument());
  EXPECT_TRUE(alerts.sawMessage("The design could not be saved."));
  EXPECT_TRUE(doc->isDocumentEdited());
  EXPECT_EQ(doc->fileName(), "");
}

TEST_F(Document, TraceImageStep) {
  ZLKDocument* doc = makeDocument();
  DocState* ds = doc->documentModel()->itsDocState;
  ScopedAlertRecorder alerts;

  EXPECT_TRUE(doc->loadTraceImageFromDocState());  // no path: nothing to load
  EXPECT_TRUE(alerts.shown.empty());

  std::string png = file("trace.png");
  QImage image(8, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(png)));
  strcpy(ds->traceImagePath, png.c_str());
  EXPECT_TRUE(doc->loadTraceImageFromDocState());
  EXPECT_EQ(doc->traceImage().size(), QSize(8, 4));
  EXPECT_TRUE(alerts.shown.empty());

  strcpy(ds->traceImagePath, file("gone.png").c_str());
  EXPECT_FALSE(doc->loadTraceImageFromDocState());
  EXPECT_TRUE(doc->traceImage().isNull());
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "FloorPlan trace image could not be found.");
  EXPECT_EQ(alerts.shown[0].informative,
            "Please make sure the file exists and you have adequate permissions to access it.");
  EXPECT_EQ(alerts.shown[0].buttons, std::vector<std::string>{"OK"});
  EXPECT_FALSE(alerts.shown[0].sheet);

  // The path field filled to the brim is read without running past it.
  memset(ds->traceImagePath, 'a', sizeof ds->traceImagePath);
  EXPECT_FALSE(doc->loadTraceImageFromDocState());

  // The core's reload goes to the current document.
  gCurDocument = doc->documentModel();
  ASSERT_NE(gFrontEnd.reloadTraceImage, nullptr);
  EXPECT_TRUE(gFrontEnd.reloadTraceImage(png.c_str()));
  EXPECT_FALSE(doc->traceImage().isNull());
  EXPECT_FALSE(gFrontEnd.reloadTraceImage(file("gone.png").c_str()));
  EXPECT_TRUE(doc->traceImage().isNull());
}

// The history holds as many steps as the undo levels say. The snapshot ring is sized while no
// design is open, and again for every open design when the preference changes; opening another
// design leaves the open ones' histories alone.
TEST_F(Document, TheHistoryHoldsAsManyStepsAsTheUndoLevels) {
  struct Case {
    int levels, edits, undoable;
  };
  auto editAndUndo = [](ZLKDocument* doc, int edits) {
    gCurDocument = doc->documentModel();
    for (int i = 0; i < edits; ++i) {
      AddLine();
      StoreUndo("Add Line");
    }
    int undone = 0;
    while (doc->undoManager().canUndo() && undone < edits + 1) {
      doc->undoManager().undo();
      ++undone;
    }
    return undone;
  };
  defaults.setBool("UndoEnabled", true);
  for (const Case c : {Case{30, 40, 30}, Case{200, 210, 200}, Case{24, 30, 24}, Case{25, 30, 25},
                       Case{5, 8, 5}, Case{6, 8, 6}}) {
    defaults.setInt("UndoLevels", c.levels);
    ZLKDocument* doc = makeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(editAndUndo(doc, c.edits), c.undoable) << c.levels;
    EXPECT_EQ(CountObjects(doc->documentModel()), c.edits - c.undoable) << c.levels;  // each step restored
    ZLKDocumentController::sharedDocumentController().removeDocument(doc);
  }

  defaults.setInt("UndoLevels", 30);
  ZLKDocument* first = makeDocument();
  gCurDocument = first->documentModel();
  for (int i = 0; i < 3; ++i) {
    AddLine();
    StoreUndo("Add Line");
  }
  const int32_t firstCurrent = first->documentModel()->itsCurrentUndo;
  defaults.setInt("UndoLevels", 8);
  ZLKDocument* second = makeDocument();
  EXPECT_EQ(first->documentModel()->itsCurrentUndo, firstCurrent);
  EXPECT_EQ(editAndUndo(second, 12), 8);

  // The preferences sheet's change reaches the open designs.
  defaults.setInt("UndoLevels", 40);
  TheSheetHooks().applyPreferencesToOpenDesigns(true);
  EXPECT_EQ(editAndUndo(first, 45), 40);
  EXPECT_EQ(editAndUndo(second, 45), 40);
  ZLKDocumentController::sharedDocumentController().removeDocument(second);
  ZLKDocumentController::sharedDocumentController().removeDocument(first);
  defaults.removeKey("UndoLevels");
  SetUndoLevels(200);
}

// With "Use these formats for opened designs" on, the preferences' units reach the designs that
// are open, as a step to undo; with it off they stay as each design has them.
TEST_F(Document, PreferredUnitsReachTheOpenDesignsOnlyWhenForced) {
  ZLKDocument* doc = makeDocument();
  DocState* ds = doc->documentModel()->itsDocState;
  ds->measureSystem = kMeasureImperial;
  ds->metricReadout = 1;
  defaults.setInt("UseImperialSystemKey", 4);
  defaults.setInt("MetricReadoutKey", 3);
  defaults.setBool("ForcePlanDefaultsKey", false);
  TheSheetHooks().applyPreferencesToOpenDesigns(false);
  EXPECT_EQ(ds->measureSystem, kMeasureImperial);
  EXPECT_EQ(ds->metricReadout, 1);
  EXPECT_FALSE(doc->undoManager().canUndo());

  defaults.setBool("ForcePlanDefaultsKey", true);
  TheSheetHooks().applyPreferencesToOpenDesigns(false);
  ds = doc->documentModel()->itsDocState;
  EXPECT_EQ(ds->measureSystem, kMeasureMetric);
  EXPECT_EQ(ds->metricReadout, 3);
  EXPECT_EQ(doc->undoManager().undoActionName(), "Measurement Options");
  doc->undoManager().undo();
  EXPECT_EQ(doc->documentModel()->itsDocState->measureSystem, kMeasureImperial);
  for (const char* key : {"UseImperialSystemKey", "MetricReadoutKey", "ForcePlanDefaultsKey"}) defaults.removeKey(key);
  AppController::loadNewPlanReadoutState();
}

TEST_F(Document, UndoAndRedoFromTheEditMenu) {
  ZLKDocument* doc = makeDocument();
  ZLKWindowController* window = doc->windowControllers().value(0);
  ASSERT_NE(window, nullptr);
  window->updateWindowState();
  EXPECT_EQ(window->undoAction()->text(), QString("Undo"));
  EXPECT_FALSE(window->undoAction()->isEnabled());
  EXPECT_FALSE(window->isWindowModified());
  EXPECT_EQ(window->windowTitle(), QString("Untitled[*]"));

  AddLine();
  StoreUndo("Add Line");
  window->updateWindowState();
  EXPECT_EQ(window->undoAction()->text(), QString("Undo Add Line"));
  EXPECT_TRUE(window->undoAction()->isEnabled());
  EXPECT_TRUE(window->isWindowModified());

  gCurDocument = nullptr;  // undo works on the window's own document
  window->undoAction()->trigger();
  EXPECT_EQ(CountObjects(doc->documentModel()), 0);
  EXPECT_EQ(window->redoAction()->text(), QString("Redo Add Line"));
  EXPECT_TRUE(window->redoAction()->isEnabled());
  EXPECT_FALSE(window->undoAction()->isEnabled());
  window->redoAction()->trigger();
  EXPECT_EQ(CountObjects(doc->documentModel()), 1);
  EXPECT_EQ(window->undoAction()->text(), QString("Undo Add Line"));
}

TEST_F(Document, CloseCheckAsksToSaveAnEditedDesign) {
  ZLKDocument* doc = makeDocument();
  ScopedAlertRecorder alerts;
  int answers = 0;
  bool mayClose = false;
  auto ask = [&] {
    doc->canCloseDocumentWithDelegate([&](bool ok) {
      ++answers;
      mayClose = ok;
    });
  };
  ask();  // clean: no question
  EXPECT_TRUE(mayClose);
  EXPECT_TRUE(alerts.shown.empty());

  doc->setDocumentEdited(true);
  alerts.answer = 2;  // Cancel
  ask();
  EXPECT_FALSE(mayClose);
  ASSERT_EQ(alerts.shown.size(), 1u);
  // Worded as the question before New and Open.
  EXPECT_EQ(alerts.shown[0].message, "Do you want to save the changes you made in the document Untitled?");
  EXPECT_EQ(alerts.shown[0].informative, "Your changes will be lost if you don't save them.");
  EXPECT_EQ(alerts.shown[0].buttons, (std::vector<std::string>{"Save...", "Don't Save", "Cancel"}));

  alerts.answer = 0;  // Save, but the save panel is cancelled
  savePath.clear();
  ask();
  EXPECT_FALSE(mayClose);

  savePath = file("saved.pro");  // Save to a chosen file
  ask();
  EXPECT_TRUE(mayClose);
  EXPECT_TRUE(fs::exists(savePath));
  EXPECT_EQ(doc->fileName(), savePath);
  EXPECT_FALSE(doc->isDocumentEdited());

  doc->setDocumentEdited(true);
  alerts.answer = 1;  // Don't Save
  ask();
  EXPECT_TRUE(mayClose);
  EXPECT_EQ(answers, 5);
  EXPECT_EQ(alerts.shown.back().message, "Do you want to save the changes you made in the document \"saved\"?");
  EXPECT_EQ(alerts.shown.back().buttons, (std::vector<std::string>{"Save", "Don't Save", "Cancel"}));

  // Closing the window with Cancel keeps it and its document.
  ZLKWindowController* window = doc->windowControllers().value(0);
  window->show();
  alerts.answer = 2;
  EXPECT_FALSE(window->close());
  EXPECT_EQ(ZLKDocumentController::sharedDocumentController().documents().size(), 1u);
  alerts.answer = 1;
  EXPECT_TRUE(window->close());  // deletes the window and the document
  EXPECT_TRUE(ZLKDocumentController::sharedDocumentController().documents().empty());
}

// Undo after a Save leaves a design other than the saved one: marked edited (the title's "*"),
// and closing or quitting asks first. Redo back to the saved step, or Undo past it and Redo
// back, leaves it unedited; an edit made after the Save and undone is the saved design again.
TEST_F(Document, UndoAndRedoMarkTheDesignEditedUnlessAtTheSavedStep) {
  ZLKDocument* doc = makeDocument();
  ZLKWindowController* window = doc->windowControllers().value(0);
  ASSERT_NE(window, nullptr);
  window->show();
  ScopedAlertRecorder alerts;
  alerts.answer = 2;  // Cancel
  // The window's "*", and whether closing asks (the question is cancelled: nothing closes).
  const auto edited = [&] { return MarkedEdited(doc, window, alerts); };
  const auto addLine = [&] {
    gCurDocument = doc->documentModel();
    AddLine();
    StoreUndo("Add Line");
    window->updateWindowState();
  };
  addLine();
  doc->setFileName(file("house.pro"));
  window->saveAction()->trigger();
  EXPECT_FALSE(edited());
  window->undoAction()->trigger();
  EXPECT_EQ(CountObjects(doc->documentModel()), 0);
  ASSERT_TRUE(edited());
  // File > Quit asks too; Cancel keeps the window and the design.
  const size_t asked = alerts.shown.size();
  window->quitAction()->trigger();
  QApplication::processEvents();
  EXPECT_EQ(alerts.shown.size(), asked + 1);
  EXPECT_TRUE(window->isVisible());
  window->redoAction()->trigger();
  EXPECT_FALSE(edited());

  addLine();
  EXPECT_TRUE(edited());
  for (const auto& [action, expected] : {std::pair{window->undoAction(), false}, {window->undoAction(), true},
                                         {window->redoAction(), false}, {window->redoAction(), true}}) {
    action->trigger();
    EXPECT_EQ(edited(), expected) << action->text().toStdString();
  }
  doc->setDocumentEdited(false);
}

// An edit whose undo snapshot could not be stored is undone by going back to the newest stored
// step. Saved after that edit, the design Undo goes back to is not the saved one: marked edited,
// and closing asks. Saved before it, Undo goes back to the design as saved: unedited.
TEST_F(Document, UndoOfAnEditLeftUnstoredMarksTheDesignAsItStandsToTheSave) {
  for (const bool savedAfter : {true, false}) {
    SCOPED_TRACE(savedAfter ? "saved after the unstored edit" : "saved before it");
    ZLKDocument* doc = makeDocument();
    ZLKWindowController* window = doc->windowControllers().value(0);
    ASSERT_NE(window, nullptr);
    window->show();
    ScopedAlertRecorder alerts;
    alerts.answer = 2;  // Cancel
    const auto edited = [&] {
      window->updateWindowState();
      return MarkedEdited(doc, window, alerts);
    };
    ZLKDocumentModel* model = doc->documentModel();
    gCurDocument = model;
    AddLine();
    StoreUndo("Add Line");
    doc->setFileName(file(savedAfter ? "after.pro" : "before.pro"));
    if (!savedAfter) window->saveAction()->trigger();
    // The next slot cannot be written: a folder stands in its place.
    gCurDocument = model;
    const std::string blocked = UndoStatePath(model->itsCurrentUndo + 1);
    ASSERT_TRUE(fs::create_directories(blocked));
    AddLine();
    StoreUndo("Add Line");
    EXPECT_TRUE(alerts.sawMessage("Unable to store the undo state."));
    ASSERT_TRUE(model->itsUnstoredEdit);
    EXPECT_EQ(CountObjects(model), 2);
    EXPECT_TRUE(edited());
    if (savedAfter) {
      window->saveAction()->trigger();
      EXPECT_FALSE(edited());
    }
    window->undoAction()->trigger();
    EXPECT_EQ(CountObjects(model), 1);
    EXPECT_EQ(edited(), savedAfter);
    fs::remove(blocked);
    doc->setDocumentEdited(false);
    CloseAllDesigns();
  }
}

TEST_F(Document, NewAndOpenReuseTheDesignWindow) {
  auto& controller = ZLKDocumentController::sharedDocumentController();
  ZLKDocument* doc = makeDocument();
  ZLKDocumentModel* m = doc->documentModel();
  int32_t id = m->itsDocID;
  ScopedAlertRecorder alerts;
  std::string path = writeDesignWithALine("one.pro");
  gCurDocument = m;

  openPath = path;
  controller.openDocument();
  ASSERT_EQ(controller.documents().size(), 1u);
  EXPECT_EQ(controller.documents()[0], doc);
  EXPECT_EQ(doc->fileName(), path);
  EXPECT_EQ(doc->displayName(), QString("one.pro"));
  EXPECT_EQ(CountObjects(m), 1);
  EXPECT_EQ(doc->windowControllers().value(0)->windowTitle(), QString("one.pro[*]"));
  EXPECT_TRUE(alerts.shown.empty());  // clean design: no question

  // A refused file: the open design stays, the user is told.
  std::string junk = file("junk.pro");
  std::ofstream(junk) << "junk";
  bool result = true;
  controller.openDocumentWithContentsOfFile(junk, [&](bool ok) { result = ok; });
  EXPECT_FALSE(result);
  EXPECT_TRUE(alerts.sawMessage("The document \"junk\" could not be loaded."));
  EXPECT_EQ(doc->fileName(), path);
  EXPECT_EQ(CountObjects(m), 1);

  // New after the question (Cancel keeps everything, Don't Save goes on).
  doc->setDocumentEdited(true);
  alerts.answer = 2;
  controller.newDocument();
  EXPECT_EQ(CountObjects(m), 1);
  alerts.answer = 1;
  bool made = false;
  controller.newDocument([&](bool ok) { made = ok; });
  EXPECT_TRUE(made);
  ASSERT_EQ(controller.documents().size(), 1u);
  EXPECT_EQ(doc->documentModel(), m);
  EXPECT_EQ(m->itsDocID, id);
  EXPECT_EQ(CountObjects(m), 0);
  EXPECT_EQ(doc->fileName(), "");
  EXPECT_FALSE(doc->isDocumentEdited());
  EXPECT_EQ(gCurDocument, m);
}

TEST_F(Document, StartingWithADesignFileOpensIt) {
  std::string path = writeDesignWithALine("start.pro");
  EXPECT_EQ(openFilesFromArguments({QString::fromStdString(path)}), 1);
  auto& controller = ZLKDocumentController::sharedDocumentController();
  ASSERT_EQ(controller.documents().size(), 1u);
  ZLKDocument* doc = controller.documents()[0];
  EXPECT_EQ(doc->fileName(), path);
  EXPECT_EQ(CountObjects(doc->documentModel()), 1);
  ZLKWindowController* window = doc->windowControllers().value(0);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QString("start.pro[*]"));

  // The main-window road follows gCurDocument.
  gCurDocument = doc->documentModel();
  EXPECT_EQ(AppController::mainWindowDocument(), doc);
  EXPECT_EQ(AppController::mainWindowController(), window);
  EXPECT_EQ(AppController::mainWindowDocumentView(), window->documentView());
  gCurDocument = nullptr;
  EXPECT_EQ(AppController::mainWindowDocument(), nullptr);
  EXPECT_EQ(AppController::mainWindowController(), nullptr);
  EXPECT_EQ(AppController::mainWindowDocumentView(), nullptr);
}

uint64_t Fingerprint(const std::string& bytes) {
  uint64_t fnv = 14695981039346656037ull;
  for (unsigned char b : bytes) fnv = (fnv ^ b) * 1099511628211ull;
  return fnv;
}

// The built 3D parts of an opened design: each part's kind and levels, each point's position,
// texture coordinates and lengths (their bits), walls' bodies and quick walls, the openings'
// faces, floors' and roofs' parts.
struct PartsPrint {
  std::string bytes;
  size_t parts = 0;
  template <typename T>
  void add(const T& v) {
    bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  void chain(const Objex* o) {
    for (; o; o = o->next, ++parts) {
      add(o->type);
      add(o->levels);
      for (const Poinz* p = o->firstPoint; p; p = p->next) {
        add(p->position);
        add(p->texU);
        add(p->texV);
        add(p->pathLength);
        add(p->ringLength);
      }
      chain(o->firstChild);
    }
  }
  void design(const ZLKDocumentModel* m) {
    for (const Layer* l = m->itsLayers; l; l = l->next)
      for (const Objex* o = l->firstObject; o; o = o->next) {
        if (o->type != kObjWall && o->type != kObjFloor && o->type != kObjRoof) continue;
        chain(static_cast<const Objex*>(o->typeData));
        chain(o->symbol3D);
        if (o->type == kObjWall)
          for (const Objex* c = o->firstChild; c; c = c->next)
            if (const DoorWindowData* d = AttachmentData(c)) chain(d->faces);
      }
  }
};

// Opening a design of houses over the three floors (walls with doors, windows and attached
// dimensions, floors and roofs), saved with or without a selection, builds the same 3D parts,
// takes the same first undo snapshot and writes back the same bytes as the open always did:
// fingerprints taken before the open was made faster. The first snapshot holds the design as
// written back (the plan colours of the preferences are in before it is taken).
TEST_F(Document, OpeningHousesBuildsSnapshotsAndWritesBackWhatItAlwaysDid) {
  struct Expected {
    bool selected;
    size_t fileSize, designSize, parts;
    uint64_t file, snapshot, written, built;
  };
  const Expected expected[] = {
      {false, 444942, 444928, 1388, 4719119787579484451ull, 16226342463050166536ull, 16226342463050166536ull,
       7253011836605618967ull},
      {true, 444942, 444928, 1388, 10522989431784103092ull, 16226342463050166536ull, 16226342463050166536ull,
       7253011836605618967ull},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.selected);
    const std::string path = file(e.selected ? "selected-houses.pro" : "houses.pro");
    {
      TestDocument made;
      bench::GenerateDesign(made, 600, true);
      if (e.selected)
        for (Poinz* p = made.first->firstObject->firstPoint; p; p = p->next) p->selected = 1;
      ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
    }
    ZLKDocument* doc = makeDocument();
    ASSERT_TRUE(doc->readFromFile(path, "pro"));
    ZLKDocumentModel* m = doc->documentModel();
    for (const Layer* l = m->itsLayers; l; l = l->next)
      for (const Objex* o = l->firstObject; o; o = o->next) EXPECT_FALSE(IsAnyObjectSelected(const_cast<Objex*>(o)));
    const std::string original = ReadText(path);
    const std::string snapshot = ReadText(UndoStatePath(m->itsCurrentUndo));
    PartsPrint built;
    built.design(m);
    const std::string back = file("written-back.pro");
    ASSERT_TRUE(doc->writeToFile(back, "pro"));
    const std::string written = ReadText(back);
    // The header, settings and objects; the blocks after them follow what the program set up
    // before (plug-in data, saved views, palettes) and are compared between the snapshot and
    // the file written back.
    BeginOutputBuffer();
    DoWriteHeader();
    DoWriteDocState();
    DoWriteObjects();
    const size_t design = gStream.outDataBuffer.size();
    ReleaseOutputBuffer();
    ASSERT_LE(design, snapshot.size());
    ASSERT_LE(design, written.size());
    EXPECT_GT(built.parts, 1000u);
    EXPECT_TRUE(snapshot.compare(design, std::string::npos, written, design) == 0);
    EXPECT_EQ(original.size(), e.fileSize);
    EXPECT_EQ(design, e.designSize);
    EXPECT_EQ(built.parts, e.parts);
    EXPECT_EQ(Fingerprint(original.substr(0, design)), e.file) << std::hex << Fingerprint(original.substr(0, design));
    EXPECT_EQ(Fingerprint(snapshot.substr(0, design)), e.snapshot) << std::hex << Fingerprint(snapshot.substr(0, design));
    EXPECT_EQ(Fingerprint(written.substr(0, design)), e.written) << std::hex << Fingerprint(written.substr(0, design));
    EXPECT_EQ(Fingerprint(built.bytes), e.built) << std::hex << Fingerprint(built.bytes);
  }
}

// A design whose railings ask for far more balusters than the builders make is built at the
// limit and says so once for the whole open, naming how many objects were cut.
TEST_F(Document, PartsCutToTheLimitAreToldOncePerOpen) {
  auto& controller = ZLKDocumentController::sharedDocumentController();
  ZLKDocument* doc = makeDocument();
  ZLKDocumentModel* m = doc->documentModel();
  const std::string path = file("railings.pro");
  {
    ZLKDocumentModel* previous = gCurDocument;
    ZLKDocumentModel* design = ZLKDocumentModel::init();
    RGBColor black{};
    float y = 0;
    for (float spacing : {1e-3f, 1e-3f, 1e-3f, 100.0f}) {
      y += 500;
      Objex* r = CreateObject(kObjRailing, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr);
      for (float x : {0.0f, 4000.0f})
        AppendPointToObject(CreatePoint(1, 1, 0, 0, 0, 0, x, y, 0, 0, 0, 0, 0, 0, 0, r), r);
      r->levels = 1;
      RailHeightOf(r) = 36;
      RailBalusterSpacingOf(r) = spacing;
      AppendObjectToLayer(r, gCurDocument->itsLayers);
    }
    EXPECT_EQ(KeyFileWrite(path.c_str()), 1);
    ZLKDocumentModel::release(design);
    gCurDocument = previous;
  }
  gCurDocument = m;
  ScopedAlertRecorder alerts;
  openPath = path;
  controller.openDocument();
  EXPECT_EQ(doc->fileName(), path);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Some parts were built with fewer pieces than the design asks for.");
  EXPECT_NE(alerts.shown[0].informative.find("3 objects of this design"), std::string::npos)
      << alerts.shown[0].informative;
}

// A design some of whose objects cannot be kept opens with an alert that says how many and
// why; the file stays as it was, and saving over it asks first (once): Cancel keeps it, Replace
// writes the design as it is. Saving elsewhere asks nothing; a clean file opens silently.
TEST_F(Document, AnElevationThatIsNotANumberIsToldAndReadAsZero) {
  ScopedAlertRecorder alerts;
  ZLKDocument* doc = openKeptCopy("design-elevation-nan.dsn", "elevation.pro");
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Some objects in \"elevation.pro\" had an elevation that is not a number.");
  EXPECT_EQ(alerts.shown[0].informative, "1 object now stands at elevation 0.");
  EXPECT_EQ(CountObjects(doc->documentModel()), 1);
}

// A design an older version saved with groups 34 deep (a cabinet and a symbol in the innermost)
// opens with every object, and the user is told that two groups stood deeper than a design
// holds and that their objects are members of the group around them.
TEST_F(Document, GroupsDeeperThanADesignHoldsAreToldWhenOpened) {
  ScopedAlertRecorder alerts;
  ASSERT_NE(openKeptCopy("chain-33-deep-cabinet.pro", "chain.pro"), nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Some groups in \"chain.pro\" stood too deep in other groups.");
  EXPECT_EQ(alerts.shown[0].informative,
            "2 groups more than 32 levels down in groups were opened as their objects in the group around them: a "
            "cabinet or a symbol among them is now loose parts.");
}

// The plan's limit a left-out point lay past is told in the design's own units: 1,000,000
// plan units are 500000" in the reported design (2 plan units an inch), saved with its wall's
// end at x = 1,004,900; the same wall saved from a metric design at 0.72 plan units an inch is
// told in millimetres.
TEST_F(Document, ThePlanLimitALeftOutPointLayPastIsToldInTheDesignsUnits) {
  auto& controller = ZLKDocumentController::sharedDocumentController();
  const fs::path kept = fs::path(__FILE__).parent_path().parent_path() / "files" / "data" / "regressions";
  const auto open = [&](const std::string& path) -> ZLKDocument* {
    bool opened = false;
    controller.openDocumentWithContentsOfFile(path, [&](bool ok) { opened = ok; });
    EXPECT_TRUE(opened) << path;
    return opened ? controller.currentDocument() : nullptr;
  };
  const std::string tail = " from the origin. The file stays as it is until you save the design.";
  ScopedAlertRecorder alerts;
  const std::string saved = file("saved.pro");
  fs::copy_file(kept / "resize-past-plan-saved.pro", saved, fs::copy_options::overwrite_existing);
  ZLKDocument* doc = open(saved);
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative,
            "1 object left out: 1 has a point that is not a number or lies more than 500000\"" + tail);
  EXPECT_EQ(CountObjects(doc->documentModel()), 0);

  const std::string start = file("start.pro");
  fs::copy_file(kept / "resize-past-plan-start.pro", start, fs::copy_options::overwrite_existing);
  alerts.shown.clear();
  doc = open(start);
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(alerts.shown.empty());
  ZLKDocumentModel* m = doc->documentModel();
  gCurDocument = m;
  m->itsDocState->measureSystem = kMeasureMetric;
  m->itsDocState->planScale = 100;
  Objex* wall = m->itsCurLayer->firstObject;
  ASSERT_NE(wall, nullptr);
  ASSERT_EQ(wall->type, kObjWall);
  wall->firstPoint->next->position[0] = 1004900;
  const std::string metric = file("metric.pro");
  ASSERT_EQ(KeyFileWrite(metric.c_str()), 1);
  doc = open(metric);
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative,
            "1 object left out: 1 has a point that is not a number or lies more than 35277848 mm" + tail);
}

TEST_F(Document, ObjectsLeftOutAreToldAndSavingOverTheFileAsksFirst) {
  auto& controller = ZLKDocumentController::sharedDocumentController();
  ScopedAlertRecorder alerts;
  const fs::path kept = fs::path(__FILE__).parent_path().parent_path() / "files" / "data" / "regressions";
  struct Case {
    const char* reproducer;
    const char* name;
  };
  for (const Case& c : {Case{"design-moved-x-1e6.dsn", "moved.pro"}, Case{"design-rotated-nan.dsn", "rotated.pro"}}) {
    SCOPED_TRACE(c.name);
    alerts.shown.clear();
    const std::string path = file(c.name);
    fs::copy_file(kept / c.reproducer, path, fs::copy_options::overwrite_existing);
    const std::string before = ReadText(path);
    bool opened = false;
    controller.openDocumentWithContentsOfFile(path, [&](bool ok) { opened = ok; });
    ASSERT_TRUE(opened);
    ZLKDocument* doc = controller.currentDocument();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message,
              "Some objects in \"" + std::string(c.name) + "\" could not be read and were left out.");
    // 1,000,000 plan units at the design's 2 plan units an inch.
    EXPECT_EQ(alerts.shown[0].informative,
              "1 object left out: 1 has a point that is not a number or lies more than 500000\" "
              "from the origin. The file stays as it is until you save the design.");
    EXPECT_EQ(CountObjects(doc->documentModel()), 0);
    EXPECT_FALSE(doc->isDocumentEdited());
    EXPECT_EQ(ReadText(path), before);

    // Save, answered Cancel: nothing written, the design stays as it is.
    alerts.shown.clear();
    alerts.answer = 1;
    EXPECT_FALSE(doc->saveDocument());
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "Do you want to replace \"" + std::string(c.name) +
                                           "\" without the objects left out when it was opened?");
    EXPECT_EQ(alerts.shown[0].buttons, (std::vector<std::string>{"Replace", "Cancel"}));
    EXPECT_EQ(ReadText(path), before);
    // The save before opening another design asks the same: Save to the question about the
    // changes, then Cancel keeps both the file and the open design.
    {
      struct Answering : ScopedAlertRecorder {
        void present(const AlertRequest& request, std::function<void(int)> done) override {
          shown.push_back(request);
          done(request.buttons.front() == "Replace" ? 1 : 0);
        }
      } answering;
      doc->setDocumentEdited(true);
      openPath = writeDesignWithALine("other.pro");
      gCurDocument = doc->documentModel();
      controller.openDocument();
      ASSERT_EQ(answering.shown.size(), 2u);
      EXPECT_EQ(answering.shown[1].buttons.front(), "Replace");
      EXPECT_EQ(ReadText(path), before);
      EXPECT_EQ(doc->fileName(), path);
      EXPECT_TRUE(doc->isDocumentEdited());
    }

    // Save elsewhere: no question; the file stays.
    alerts.shown.clear();
    savePath = file("copy.pro");
    alerts.answer = 0;
    EXPECT_TRUE(doc->saveDocumentAs());
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(ReadText(path), before);

    // Back over the file, answered Replace: written, and asked once only.
    savePath = path;
    EXPECT_TRUE(doc->saveDocumentAs());
    EXPECT_EQ(alerts.shown.size(), 1u);
    EXPECT_NE(ReadText(path), before);
    EXPECT_TRUE(doc->saveDocument());
    EXPECT_EQ(alerts.shown.size(), 1u);
    doc->setFileName("");
  }

  // A design that keeps all its objects opens without an alert, and saves without a question.
  alerts.shown.clear();
  const std::string clean = writeDesignWithALine("clean.pro");
  bool opened = false;
  controller.openDocumentWithContentsOfFile(clean, [&](bool ok) { opened = ok; });
  ASSERT_TRUE(opened);
  EXPECT_TRUE(controller.currentDocument()->saveDocument());
  EXPECT_TRUE(alerts.shown.empty());
}

}  // namespace

// A refused file and a failed save keep their alert texts and tell why in the informative
// text; the name shown keeps its extension; a write-protected file is not replaced.
TEST_F(Document, RefusedFilesAndFailedSavesSayWhy) {
  ZLKDocument* doc = makeDocument();
  ZLKDocumentController& controller = ZLKDocumentController::sharedDocumentController();
  ScopedAlertRecorder alerts;
  auto informativeOf = [&](const std::string& message) {
    for (const AlertRequest& a : alerts.shown)
      if (a.message == message) return a.informative;
    return std::string("<no such alert>");
  };

  std::string junk = file("junk.pro");
  std::ofstream(junk) << "junk";
  controller.openDocumentWithContentsOfFile(junk, [](bool) {});
  EXPECT_EQ(informativeOf("The document \"junk\" could not be loaded."), "The file is not a design.");
  controller.openDocumentWithContentsOfFile(file("gone.pro"), [](bool) {});
  EXPECT_EQ(informativeOf("The document \"gone\" could not be loaded."), "The file could not be found.");

  std::string design = writeDesignWithALine("kept.pro");
  const std::string before = ReadText(design);
  std::string cut = file("cut.pro");
  std::ofstream(cut, std::ios::binary) << before.substr(0, 200);
  controller.openDocumentWithContentsOfFile(cut, [](bool) {});
  EXPECT_EQ(informativeOf("The document \"cut\" could not be loaded.").rfind("The file is damaged at byte ", 0), 0u);

  gCurDocument = doc->documentModel();
  ASSERT_EQ(chmod(design.c_str(), 0444), 0);
  doc->setFileName(design);
  doc->setDocumentEdited(true);
  EXPECT_FALSE(doc->saveDocument());
  EXPECT_EQ(informativeOf("The design could not be saved."), "The file is read-only.");
  EXPECT_EQ(ReadText(design), before);
  EXPECT_TRUE(doc->isDocumentEdited());
  chmod(design.c_str(), 0644);
}

// A huge file that is no design, given on the command line, is refused after its first bytes.
TEST_F(Document, AHugeFileOnTheCommandLineIsRefusedAfterItsHead) {
  ScopedAlertRecorder alerts;
  const std::string huge = file("huge.pro");
  {
    std::ofstream(huge, std::ios::binary).put('\0');
  }
  ASSERT_EQ(truncate(huge.c_str(), off_t(4000) << 20), 0);  // 4000 MB of zeros, sparse
  Load2DSymbolList();  // the stock symbols are read once per process, by the first document
  Load3DSymbolList();
  const uint64_t before = FileBytesReadSoFar();
  openFilesFromArguments({QString::fromStdString(huge)});
  EXPECT_LE(FileBytesReadSoFar() - before, 64u);
  bool alerted = false;
  for (const AlertRequest& a : alerts.shown)
    if (a.message == "The document \"huge\" could not be loaded.") {
      alerted = true;
      EXPECT_EQ(a.informative, "The file is not a design.");
    }
  EXPECT_TRUE(alerted);
}

// The Open panel offers every file besides designs (a design is known by its header), and both
// panels start in the folder of the open design, else in the home folder, never in the
// program's working folder.
TEST(FilePanels, OpenOffersAllFilesAndPanelsStartBesideTheDesign) {
  TestApplication();
  EXPECT_EQ(ZLKDocumentController::openPanelFilters(), QString("Designs (*.pro);;All Files (*)"));
  EXPECT_EQ(ZLKDocumentController::savePanelFilters(), QString("Designs (*.pro)"));

  char pattern[] = "/tmp/casa-panels-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern, design = folder + "/house.pro";
  const QString home = QDir::homePath();
  ASSERT_NE(home, QDir::currentPath() + "/never");
  EXPECT_EQ(ZLKDocumentController::panelStartPath(design, false), QString::fromStdString(folder));
  EXPECT_EQ(ZLKDocumentController::panelStartPath(design, true), QString::fromStdString(design));
  EXPECT_EQ(ZLKDocumentController::panelStartPath("", false), home);
  EXPECT_EQ(ZLKDocumentController::panelStartPath("", true), home);
  EXPECT_EQ(ZLKDocumentController::panelStartPath("house.pro", false), home);  // no folder known
  EXPECT_EQ(ZLKDocumentController::panelStartPath(folder + "/gone/house.pro", false), home);
  fs::remove_all(folder);
}
