// The application object shared by the tests of this program, made on first use, and the
// fixture of the design-window tests with its stand-ins for the file choosers.
#pragma once
#include <gtest/gtest.h>

#include <QAction>
#include <QPoint>
#include <QThreadPool>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/LiveViewController.h"
#include "app/ZLKApplication.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "files/Undo.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "platform/UserDefaults.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

// Once the last test has run, the threads Qt's pool started for the tests end before the
// process does: an exit with them still waiting for work ran under the leak checker's tracer.
class TestThreadsEnd : public ::testing::EmptyTestEventListener {
  void OnTestProgramEnd(const ::testing::UnitTest&) override {
    if (LiveViewController::exists()) LiveViewController::releaseSharedLiveViewController();
    QThreadPool::globalInstance()->waitForDone();
  }
};

inline ZLKApplication* TestApplication() {
  static int argc = 1;
  static char name[] = "test_app";
  static char* argv[] = {name, nullptr};
  static ZLKApplication* app = [] {
    // Mesa's software driver draws with threads of its own and starts another for its shader
    // cache; the application lives until the process ends, and so would they, under the leak
    // checker's tracer at exit. Drawn on the calling thread, with no cache, there are none.
    setenv("LP_NUM_THREADS", "0", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    auto* a = new ZLKApplication(argc, argv);
    a->setQuitOnLastWindowClosed(false);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TestThreadsEnd);
    return a;
  }();
  return app;
}

// A line on `layer` through the plan points (x1, z1) and (x2, z2), on the floor plan, standing
// at `base`, with its bounds measured.
inline Objex* AddPlanLine(Layer* layer, float x1, float z1, float x2, float z2, float base = 0) {
  RGBColor black{};
  Objex* o = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x1, 0, z1, 0, 0, 0, 0, 0, 0, o), o);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x2, 0, z2, 0, 0, 0, 0, 0, 0, o), o);
  o->planMask = 2;
  o->baseElevation = base;
  AppendObjectToLayer(o, layer);
  UpdateObjectBounds(o);
  return o;
}

// The widget position in `view` of the plan point (x, z).
inline QPoint WidgetPointOf(const ZLKDocumentView* view, float x, float z) {
  float x1 = x, y1 = 0, z1 = z, x2 = x, y2 = 0, z2 = z;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, 0);
  const NSPoint origin = view->boundsOrigin();
  return QPoint(static_cast<int>(std::lround(x1 - origin.x)), static_cast<int>(std::lround(y1 - origin.y)));
}

// The top-level objects of every layer of the design (0 for none).
inline int CountObjects(const ZLKDocumentModel* m) {
  int n = 0;
  for (Layer* l = m ? m->itsLayers : nullptr; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) ++n;
  return n;
}

// What undo steps change on the current floor: each top-level object's type, plan place and
// the kinds of its children (openings, parts).
inline std::vector<float> CurrentFloorLook(const ZLKDocumentModel* m) {
  std::vector<float> look;
  for (Objex* o = m->itsCurLayer->firstObject; o; o = o->next) {
    look.push_back(o->type);
    for (Poinz* p = o->firstPoint; p; p = p->next) look.insert(look.end(), {p->position[0], p->position[2]});
    for (Objex* c = o->firstChild; c; c = c->next) look.push_back(c->type);
  }
  return look;
}

// The Edit menu's Undo and Redo titles as the window shows them now.
using UndoTitles = std::pair<std::string, std::string>;
inline UndoTitles EditMenuTitles(ZLKWindowController* window) {
  window->updateWindowState();
  return {window->undoAction()->text().toStdString(), window->redoAction()->text().toStdString()};
}

// A test of the design window: the application, a private runtime folder, in-memory user
// defaults and, unless made with `false`, an untitled document with its window. Tear-down
// closes every document, deletes their windows and puts the environment back. The hooks
// run the fixture's own steps around the document's making and closing.
// The program-wide unit, readout and undo settings that the preferences write when applied;
// each test gets back the ones it started with.
struct Readouts {
  uint8_t defaultToImperial, forceNewPlanDefaults, undoActive;
  int16_t angle, imperial, metric;
  static Readouts Current() {
    return {gDefaultToImperial, gForceNewPlanDefaults, gUndoActive, gAngleReadoutFormat, gImperialReadoutFormat,
            gMetricReadoutFormat};
  }
  void Restore() const {
    gUndoActive = undoActive;
    gDefaultToImperial = defaultToImperial;
    gForceNewPlanDefaults = forceNewPlanDefaults;
    gAngleReadoutFormat = angle;
    gImperialReadoutFormat = imperial;
    gMetricReadoutFormat = metric;
  }
};

// Removes every design and deletes its windows. Removing a design alone leaves its windows
// standing (in the program they close first); a window left over keeps its content palette as
// the shared one, and the next test's content selection is not the one it made.
inline void CloseAllDesigns() {
  auto& controller = ZLKDocumentController::sharedDocumentController();
  std::vector<ZLKWindowController*> windows;
  for (ZLKDocument* d : controller.documents())
    for (ZLKWindowController* w : d->windowControllers()) windows.push_back(w);
  controller.removeAllDocuments();
  for (ZLKWindowController* w : windows) delete w;
}

class DesignWindowTest : public ::testing::Test {
 protected:
  explicit DesignWindowTest(bool makesDocument = true) : makesDocument_(makesDocument) {}

  virtual void beforeDocument() {}
  virtual void afterDocument() {}
  virtual void beforeClosing() {}
  virtual void afterClosing() {}

  void SetUp() override {
    TestApplication();
    readouts = Readouts::Current();
    char pattern[] = "/tmp/casa-app-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    const char* old = getenv("XDG_RUNTIME_DIR");
    oldRuntime = old ? old : "";
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    SetStandardUserDefaults(&defaults);
    beforeDocument();
    if (makesDocument_) {
      doc = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(/*display=*/false);
      ASSERT_NE(doc, nullptr);
      model = doc->documentModel();
      gCurDocument = model;
      ds = model->itsDocState;
      ASSERT_NE(ds, nullptr);
      window = doc->windowControllers().value(0);
      ASSERT_NE(window, nullptr);
    }
    afterDocument();
  }
  void TearDown() override {
    beforeClosing();
    CloseAllDesigns();
    // The 3D window goes with the test that brought it up: left standing, its view (and GL
    // context) carried one test's state into the next, and offscreen, where its view cannot
    // make a context, the next test's events exposed it.
    if (LiveViewController::exists()) LiveViewController::releaseSharedLiveViewController();
    SetStandardUserDefaults(nullptr);
    gCurDocument = nullptr;
    readouts.Restore();
    afterClosing();
    if (oldRuntime.empty()) unsetenv("XDG_RUNTIME_DIR");
    else setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  // Shows the window at 800 by 600 with the plan at zoom 1 on the given plans, no grid
  // snapping and the selection tool; the plan view, its visible view refreshed.
  ZLKDocumentView* showPlanView(int32_t planMask) {
    ds->currentPlanMask = planMask;
    ds->snapToGrid = 0;
    PlanZoom(ds) = TopViewZoom(ds) = 1.0f;
    window->resize(800, 600);
    window->show();
    ZLKDocumentView* planView = window->documentView();
    planView->refreshVisibleView();
    QApplication::processEvents();
    gCurTool = kToolSelection;
    return planView;
  }

  // The design made new in the given unit system, as File > New leaves it, shown as
  // showPlanView(2) shows it; the plan view.
  ZLKDocumentView* showNewDesign(bool metric) {
    model->reinitializeDocumentModel();
    gCurDocument = model;
    ds = model->itsDocState;
    ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    if (metric) SetDocStateMetricDefaults(ds);
    return showPlanView(2);
  }

  // A path in the runtime folder.
  std::string file(const std::string& name) const { return folder + "/" + name; }

  // A selected 100 x 100 square on the current layer, seen on the current plans.
  Objex* addSelectedSquare() {
    RGBColor black{};
    Objex* o = CreateObject(kObjClosedPoly, 1, 1, &black, &black, 4, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    const float corners[4][2] = {{-50, -50}, {50, -50}, {50, 50}, {-50, 50}};
    for (const auto& c : corners)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, c[0], 0, c[1], 0, 0, 0, 0, 0, 0, o), o);
    o->planMask = ds->currentPlanMask;
    AppendObjectToLayer(o, model->itsCurLayer);
    SelectObj(o, kSelectOn, 1);
    return o;
  }
  // The top-level objects of the current layer.
  int objectCount() const {
    int n = 0;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) ++n;
    return n;
  }

  std::string folder, oldRuntime;
  Readouts readouts{};
  MemoryUserDefaults defaults;
  ZLKDocument* doc = nullptr;
  ZLKWindowController* window = nullptr;
  ZLKDocumentModel* model = nullptr;
  DocState* ds = nullptr;

 private:
  bool makesDocument_;
};

// The document controller's Save and Open choosers answering savePath and openPath.
// A design-window test whose tools track the mouse: each test starts with the tracking state
// reset and leaves the selection tool chosen.
class TrackingWindowTest : public DesignWindowTest {
 protected:
  void beforeDocument() override { ResetTrackingState(); }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    ResetTrackingState();
  }
};

class StubFileChoosers {
 protected:
  void installFileChoosers() {
    auto& controller = ZLKDocumentController::sharedDocumentController();
    savedSaveChooser = controller.chooseSavePath;
    savedOpenChooser = controller.chooseOpenPath;
    controller.chooseSavePath = [this](const std::string&) { return savePath; };
    controller.chooseOpenPath = [this] { return openPath; };
  }
  void restoreFileChoosers() {
    auto& controller = ZLKDocumentController::sharedDocumentController();
    controller.chooseSavePath = savedSaveChooser;
    controller.chooseOpenPath = savedOpenChooser;
  }

  std::string savePath, openPath;

 private:
  std::function<std::string(const std::string&)> savedSaveChooser;
  std::function<std::string()> savedOpenChooser;
};
