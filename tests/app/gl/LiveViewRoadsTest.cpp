// The roads from the plan window to the 3D window: showing and hiding it, the 3D settings
// commands of the command bridge with their menu items, closing it with the design, and the
// keyboard watch of long renders.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>
#include <QToolBar>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/PlanViewActions.h"
#include "app/RenderKeyWatch.h"
#include "app/Win32EventHandler.h"
#include "building3d/PlaneObjects.h"
#include "model/CommandCodes.h"
#include "model/Services.h"
#include "platform/KeyWatch.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"

namespace {

class LiveViewRoadsTest : public DesignWindowTest {
 protected:
  void afterDocument() override {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    controller = LiveViewController::sharedLiveViewController();
    controller->orderOut();
    gRefreshRender = gRenderDirty = gRenderOnShow = 0;
    gTexturedWire = 0;
  }
  void beforeClosing() override {
    if (controller) controller->orderOut();
    gRenderOnShow = 0;
  }
  Win32EventHandler& handler() { return *Win32EventHandler::sharedEventHandler(); }

  LiveViewController* controller = nullptr;
};

TEST_F(LiveViewRoadsTest, ToggleShowsAndHidesTheWindowAndTheMenuTitleFollows) {
  QAction item;
  item.setData(kCmdToggleLiveViewPanel);
  EXPECT_EQ(PlanViewActions::validate(kCmdToggleLiveViewPanel).title, "Show 3D View");
  AppController::toggleLiveViewPanel();
  EXPECT_TRUE(controller->isVisible());
  EXPECT_EQ(gRefreshRender, 1);  // a current scene is rendered on the next draw
  EXPECT_EQ(gRenderDirty, 1);
  EXPECT_EQ(PlanViewActions::validate(kCmdToggleLiveViewPanel).title, "Hide 3D View");
  AppController::validateMenuItem(&item);
  EXPECT_EQ(item.text(), "Hide 3D View");
  AppController::toggleLiveViewPanel();
  EXPECT_FALSE(controller->isVisible());
  AppController::validateMenuItem(&item);
  EXPECT_EQ(item.text(), "Show 3D View");
}

TEST_F(LiveViewRoadsTest, ShowingADeferredSceneRebuildsItAndAVisibleWindowRendersNothing) {
  gRenderOnShow = 1;
  ServiceCallRecorder calls;
  window->show3DViewButtonChanged();
  EXPECT_TRUE(controller->isVisible());
  EXPECT_EQ(gRenderOnShow, 0);  // the scene was rebuilt

  gRefreshRender = gRenderDirty = 0;
  AppController::showLiveViewPanel();
  EXPECT_EQ(gRefreshRender, 0);
  EXPECT_EQ(gRenderDirty, 0);
}

TEST_F(LiveViewRoadsTest, DocumentToolbarHasTheLiveViewItem) {
  QAction* found = nullptr;
  for (QAction* a : window->docToolbar()->actions())
    if (a->objectName() == "Document Toolbar LiveView Item") found = a;
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->text(), "LiveView");
  EXPECT_EQ(found->toolTip(), "Toggle the 3D LiveView window");
  found->trigger();
  EXPECT_TRUE(controller->isVisible());
  found->trigger();
  EXPECT_FALSE(controller->isVisible());
}

TEST_F(LiveViewRoadsTest, ClosingTheDesignClosesTheWindow) {
  controller->showWindow();
  bool answered = false;
  doc->canCloseDocumentWithDelegate([&](bool) { answered = true; });
  EXPECT_TRUE(answered);
  EXPECT_FALSE(controller->isVisible());

  // A Cancel in the save question leaves the 3D window open; an answer that closes the design
  // closes it.
  controller->showWindow();
  doc->setDocumentEdited(true);
  {
    ScopedAlertRecorder alerts;
    bool mayClose = true;
    alerts.answer = 2;  // Cancel
    doc->canCloseDocumentWithDelegate([&](bool ok) { mayClose = ok; });
    EXPECT_FALSE(mayClose);
    EXPECT_TRUE(controller->isVisible());
    alerts.answer = 1;  // Don't Save
    doc->canCloseDocumentWithDelegate([&](bool ok) { mayClose = ok; });
    EXPECT_TRUE(mayClose);
    EXPECT_FALSE(controller->isVisible());
  }
  doc->setDocumentEdited(false);

  controller->showWindow();
  AppController::closeVisiblePanelsAndSaveState();
  EXPECT_FALSE(controller->isVisible());
  controller->showWindow();
  LiveViewController::closeSharedWindow();  // quitting
  EXPECT_FALSE(controller->isVisible());
}

TEST_F(LiveViewRoadsTest, RenderStyleCommands) {
  ds->renderMode() = 5;
  handler().setRenderStyleUsingCommand(kCmdRenderTexturedWireframe);
  EXPECT_EQ(ds->renderMode(), 1);
  EXPECT_EQ(gTexturedWire, 1);
  EXPECT_EQ(ds->clearView(), 0);
  EXPECT_EQ(gRefreshRender, 1);
  EXPECT_TRUE(PlanViewActions::validate(kCmdRenderTexturedWireframe).checked);
  EXPECT_FALSE(PlanViewActions::validate(kCmdRenderWireframe).checked);

  handler().setRenderStyleUsingCommand(kCmdRenderClearView);
  EXPECT_EQ(ds->renderMode(), 6);
  EXPECT_EQ(ds->clearView(), 1);
  EXPECT_EQ(ds->transparency(), 1);  // ClearView is the renderer's transparency
  EXPECT_EQ(gTexturedWire, 0);
  EXPECT_EQ(gRenderGL, 0);
  // ClearView again changes nothing.
  gRefreshRender = 0;
  handler().setRenderStyleUsingCommand(kCmdRenderClearView);
  EXPECT_EQ(gRefreshRender, 0);

  handler().setRenderStyleUsingCommand(kCmdRenderSolid);
  EXPECT_EQ(ds->renderMode(), 5);
  EXPECT_EQ(ds->clearView(), 0);
  EXPECT_TRUE(PlanViewActions::validate(kCmdRenderSolid).checked);
  // Solid does nothing from mode 0; an unknown id does nothing.
  ds->renderMode() = 0;
  handler().setRenderStyleUsingCommand(kCmdRenderSolid);
  EXPECT_EQ(ds->renderMode(), 0);
  handler().setRenderStyleUsingCommand(10009);
  EXPECT_EQ(ds->renderMode(), 0);
}

TEST_F(LiveViewRoadsTest, ViewpointsStand125UnitsInsideTheLot) {
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  ds->walkPitchAngle() = 7;
  ds->cameraMode() = 2;
  handler().setViewpointUsingCommand(kViewpointLotLeftEdge);
  EXPECT_FLOAT_EQ(ds->cameraPosition().floatH, -2275);
  EXPECT_FLOAT_EQ(ds->cameraPosition().floatV, 0);
  EXPECT_FLOAT_EQ(ds->cameraAngle(), 270);
  EXPECT_EQ(ds->cameraMode(), 1);
  EXPECT_EQ(ds->walkPitchAngle(), 0);
  EXPECT_EQ(gRefreshRender, 1);
  handler().setViewpointUsingCommand(kViewpointLotTopEdge);
  EXPECT_FLOAT_EQ(ds->cameraPosition().floatV, ds->planBounds.floatTop + 125);
  EXPECT_FLOAT_EQ(ds->cameraAngle(), 180);
  handler().setViewpointUsingCommand(kViewpointLotBottomEdge);
  EXPECT_FLOAT_EQ(ds->cameraPosition().floatV, ds->planBounds.floatBottom - 125);
  EXPECT_FLOAT_EQ(ds->cameraAngle(), 0);
  handler().setViewpointUsingCommand(kViewpointLotRightEdge);
  EXPECT_FLOAT_EQ(ds->cameraPosition().floatH, 2275);
  EXPECT_FLOAT_EQ(ds->cameraAngle(), 90);
}

TEST_F(LiveViewRoadsTest, SpeedQualityAndShadowCommandsOnlyStore) {
  for (int i = 0; i < 5; ++i) {
    handler().setNavigationSpeedUsingCommand(kCmdNavigationSpeed1 + i);
    EXPECT_EQ(ds->navigationStep, 6 + i);
    EXPECT_TRUE(PlanViewActions::validate(kCmdNavigationSpeed1 + i).checked);
  }
  const int32_t passes[] = {4, 8, 15, 24};
  for (int i = 0; i < 4; ++i) {
    handler().setRenderQualityUsingCommand(kCmdRenderQualityLow + i);
    EXPECT_EQ(ds->renderPasses(), passes[i]);
    EXPECT_EQ(ds->antiAliasPasses(), passes[i]);
    EXPECT_TRUE(PlanViewActions::validate(kCmdRenderQualityLow + i).checked);
  }
  handler().setShadowQualityUsingCommand(kCmdShadowQualityLow);
  EXPECT_EQ(ds->shadowQuality, 0);
  EXPECT_TRUE(PlanViewActions::validate(kCmdShadowQualityLow).checked);
  handler().setShadowQualityUsingCommand(kCmdShadowQualityHigh);
  EXPECT_EQ(ds->shadowQuality, 5);
  // Out of their groups the ids change nothing; none of them redraws or stores undo.
  handler().setNavigationSpeedUsingCommand(10505);
  handler().setRenderQualityUsingCommand(5295);
  handler().setShadowQualityUsingCommand(5335);
  EXPECT_EQ(ds->navigationStep, 10);
  EXPECT_EQ(ds->renderPasses(), 24);
  EXPECT_EQ(ds->shadowQuality, 5);
  EXPECT_EQ(gRefreshRender, 0);
  EXPECT_FALSE(doc->undoManager().canUndo());
}

TEST_F(LiveViewRoadsTest, InteractionCommandsAndTheirChecks) {
  handler().setLVInteractionMethodUsingCommand(kCmdControlledFlyAround);
  EXPECT_EQ(ds->navigationMode, 2);
  EXPECT_EQ(ds->controlledNavigation(), 1);
  EXPECT_TRUE(PlanViewActions::validate(kCmdControlledFlyAround).checked);
  EXPECT_FALSE(PlanViewActions::validate(kCmdFreeFlyAround).checked);
  handler().setLVInteractionMethodUsingCommand(kCmdFreeWalkThrough);
  EXPECT_EQ(ds->navigationMode, 1);
  EXPECT_TRUE(PlanViewActions::validate(kCmdFreeWalkThrough).checked);
}

TEST_F(LiveViewRoadsTest, ViewpointItemsNeedTheVisibleWindow) {
  EXPECT_FALSE(PlanViewActions::validate(kViewpointLotTopEdge).enabled);
  EXPECT_FALSE(PlanViewActions::validate(kCmdToggleLiveView).enabled);
  controller->showWindow();
  EXPECT_TRUE(PlanViewActions::validate(kViewpointLotTopEdge).enabled);
  EXPECT_TRUE(PlanViewActions::validate(kCmdToggleLiveView).enabled);
}

TEST_F(LiveViewRoadsTest, ShowAndRenderBringsTheWindowForward) {
  gRenderOnShow = 1;
  ds->renderMode() = 5;
  ServiceCallRecorder calls;
  handler().showLVAndRenderShadows();
  EXPECT_TRUE(controller->isVisible());
  EXPECT_EQ(gRenderOnShow, 0);
  EXPECT_EQ(calls.count("RenderShadows"), 1u);
  EXPECT_EQ(ds->shadowRender(), 0);
}

// Exporting shows a hidden 3D window as its show command does: a current scene is rendered
// anew, a deferred one rebuilt; a window already shown is left as it is.
TEST_F(LiveViewRoadsTest, ExportImageShowsAHiddenWindowWithAFreshRender) {
  auto savedChooser = controller->chooseExportPath;
  controller->chooseExportPath = [] { return std::string(); };  // the panel is cancelled
  handler().exportLiveViewImage();
  EXPECT_TRUE(controller->isVisible());
  EXPECT_EQ(gRefreshRender, 1);
  EXPECT_EQ(gRenderDirty, 1);

  controller->orderOut();
  gRefreshRender = gRenderDirty = 0;
  gRenderOnShow = 1;
  handler().exportLiveViewImage();
  EXPECT_EQ(gRenderOnShow, 0);  // the scene was rebuilt

  gRefreshRender = gRenderDirty = 0;
  handler().exportLiveViewImage();
  EXPECT_EQ(gRefreshRender, 0);
  EXPECT_EQ(gRenderDirty, 0);
  controller->chooseExportPath = savedChooser;
}

TEST_F(LiveViewRoadsTest, RenderKeyWatchQueuesKeysAndHoldsOtherInput) {
  controller->showWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
  RenderKeyWatch& watch = RenderKeyWatch::shared();
  EXPECT_EQ(CurrentKeyWatch(), nullptr);
  {
    RenderKeyWatchScope scope(controller->liveViewOGLView());
    EXPECT_EQ(CurrentKeyWatch(), &watch);
    int pressed = 0;
    QObject::connect(controller->cutAwaySlider(), &QAbstractSlider::sliderPressed, [&] { ++pressed; });
    QKeyEvent other(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(controller->liveViewOGLView(), &other);
    QApplication::sendEvent(controller->liveViewOGLView(), &escape);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(controller->cutAwaySlider(), &press);
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(TakeKeyDown(), 0);  // "5" is not Escape
    EXPECT_EQ(TakeKeyDown(), kKeyWatchEscape);
    EXPECT_EQ(TakeKeyDown(), -1);
    watch.queueKey(Qt::Key_Escape);
    watch.flushKeys();
    EXPECT_EQ(gLiveViewHost.takeKeyDown(), -1);
  }
  EXPECT_EQ(CurrentKeyWatch(), nullptr);
  EXPECT_FALSE(watch.watching());
}

}  // namespace
