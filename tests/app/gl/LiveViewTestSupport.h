// The 3D window's tests on the X display: a design window whose 3D window is hidden at the
// start and when the design closes, the walk camera looking at the plan's middle, the window
// shown at a size, and the undo steps a design holds.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "app/LiveViewController.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "platform/UndoNames.h"
#include "render3d/SceneFrame.h"

class LiveViewTest : public DesignWindowTest {
 protected:
  void afterDocument() override {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    LiveViewController::sharedLiveViewController()->orderOut();
  }
  void beforeClosing() override {
    if (LiveViewController::exists()) LiveViewController::sharedLiveViewController()->orderOut();
  }

  // The walk camera 2275 inches down the plan from its middle, looking back at it from the eye
  // height given, level, in a solid perspective view.
  void walkCamera(float eyeHeight) {
    ds->walkEyePoint() = FloatPoint{0, 2275};
    ds->walkViewAngle() = 0;
    ds->walkEyeHeight() = eyeHeight;
    ds->walkPitchAngle() = 0;
    ds->navigationMode = kNavWalkThrough;
    ds->orthoView() = 0;
    ds->renderMode() = kRenderSolid;
  }

  // A design kept in tests/app/data/regressions read into the design window, which is shown
  // with the 3D window beside it at 320 x 240.
  void openRegressionDesign(const char* name) {
    const std::filesystem::path kept =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "regressions" / name;
    ASSERT_TRUE(doc->readFromFile(kept.string(), "pro"));
    model = doc->documentModel();
    ds = model->itsDocState;
    gCurDocument = model;
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ASSERT_TRUE(showLiveViewAt(320, 240));
  }

  // The 3D window resized and shown; whether it was exposed.
  static bool showLiveViewAt(int width, int height) {
    LiveViewController* controller = LiveViewController::sharedLiveViewController();
    controller->window()->resize(width, height);
    AppController::showLiveViewPanel();
    return QTest::qWaitForWindowExposed(controller->window());
  }
};

// How many steps the stack can undo (its copy is walked; the design's own stays as it is).
inline size_t UndoSteps(UndoNameStack stack) {
  stack.onUndo = nullptr;
  stack.onRedo = nullptr;
  size_t n = 0;
  while (stack.undo()) ++n;
  return n;
}
