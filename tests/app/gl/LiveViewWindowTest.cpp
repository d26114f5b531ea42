// The 3D window on the X display: its toolbar and pop-ups, the cut-away slider, its saved
// frame, the render actions, status, the view's redraw and resize rules, check marks,
// auto-click and the right-click.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "app/AppTestSupport.h"
#include "LiveViewTestSupport.h"
#include "app/x11/SettleWindows.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/LVPropertiesSheets.h"
#include "app/PlanViewActions.h"
#include "app/ZLKWindowController.h"
#include "inspectors/SheetController.h"
#include "app/Win32EventHandler.h"
#include "building3d/PlaneObjects.h"
#include "model/CommandCodes.h"
#include "model/Services.h"
#include "render3d/Cutaway.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
#include "content/ContentPaletteController.h"
#include "files/Undo.h"

namespace {

class LiveViewWindowTest : public DesignWindowTest {
 protected:
  void afterDocument() override {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    controller = LiveViewController::sharedLiveViewController();
    view = controller->liveViewOGLView();
    gRefreshRender = gRenderDirty = gRenderOpenGLAntiAlias = gBreakOpenGLRender = 0;
    gDisableRenderInterrupt = 0;
    gTexturedWire = 0;
    gRealTimeElevate = 0;
    // These tests choose the selected content entry themselves.
    ContentPaletteController::releaseShared();
    gSelectedContentEntryType = 0;
    gSelectedContentCategory = -1;
  }
  void beforeClosing() override {
    if (controller) controller->orderOut();
    if (view && view->autoClick3DActive()) view->flagsChanged(Qt::NoModifier);
    gSelectedContentEntryType = 0;
    gSelectedContentCategory = -1;
  }
  void showLiveView() {
    controller->showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
    QApplication::processEvents();
  }
  // Events are handled until the view has gone a tenth of a second without rendering.
  void waitForPaintsToEnd() {
    for (int seen = -1; seen != view->renderCount();) {
      seen = view->renderCount();
      QTest::qWait(100);
    }
  }
  // The button goes up as soon as the navigation loop waits for events.
  void releaseSoon(Qt::MouseButton button) {
    QTimer::singleShot(0, view, [this, button] {
      QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5), view->mapToGlobal(QPointF(5, 5)), button,
                     Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(view, &up);
    });
  }
  QAction* styleItem(int tag) {
    auto* item = new QAction(controller);
    item->setData(tag);
    return item;
  }

  LiveViewController* controller = nullptr;
  LiveViewOGLView* view = nullptr;
};

TEST_F(LiveViewWindowTest, ToolbarHasTheFiveItemsWithTheirLabelsAndToolTips) {
  struct Row {
    const char *identifier, *label, *palette, *tip;
  };
  const Row rows[] = {
      {"LiveView Toolbar Animated Walk Item", "Free Walk", "Free Walkthrough",
       "Activates animated walk-through navigation mode"},
      {"LiveView Toolbar Animated Fly Item", "Free Fly", "Free Fly Around",
       "Activates animated fly-around navigation mode"},
      {"LiveView Toolbar Render Final Item", "Render", "Final Render", "Perform a final render"},
      {"LiveView Toolbar Render Shadows Item", "Shadows", "Render Shadows", "Render scene with shadows"},
      {"LiveView Toolbar Lighting Options Item", "Lighting", "Lighting", "Set scene lighting options"},
  };
  QToolBar* toolbar = controller->liveViewToolbar();
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(toolbar->objectName(), "LiveView Toolbar Identifier");
  EXPECT_EQ(toolbar->toolButtonStyle(), Qt::ToolButtonIconOnly);
  const QList<QAction*> items = toolbar->actions();
  ASSERT_EQ(items.size(), 5);
  const QStringList allowed = LiveViewController::toolbarAllowedItemIdentifiers();
  EXPECT_EQ(allowed, LiveViewController::toolbarDefaultItemIdentifiers());
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(rows[i].identifier);
    EXPECT_EQ(allowed[i], rows[i].identifier);
    EXPECT_EQ(items[i]->objectName(), rows[i].identifier);
    EXPECT_EQ(items[i]->text(), rows[i].label);
    EXPECT_EQ(items[i]->toolTip(), rows[i].tip);
    EXPECT_EQ(items[i]->property("paletteLabel").toString(), rows[i].palette);
    EXPECT_FALSE(items[i]->icon().isNull());
  }
  EXPECT_EQ(controller->toolbarItemForItemIdentifier("No Such Item", controller), nullptr);
  // Asked for by the toolbar: a new item of its own.
  QAction* made = controller->toolbar(toolbar, LVTBRenderFinalItemIdentifier, true);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->parent(), toolbar);
  EXPECT_EQ(made->objectName(), LVTBRenderFinalItemIdentifier);
  EXPECT_EQ(controller->toolbar(toolbar, "No Such Item", true), nullptr);
  EXPECT_EQ(controller->toolbar(nullptr, LVTBRenderFinalItemIdentifier, true), nullptr);
  delete made;
}

// A click on the toolbar's lighting button in the shown window opens the lighting sheet on
// the 3D window, as the 3D menu's item does, whichever window was active before.
TEST_F(LiveViewWindowTest, TheLightingButtonOpensTheSheetTheMenuItemOpens) {
  showLiveView();
  QToolBar* toolbar = controller->liveViewToolbar();
  ASSERT_NE(toolbar, nullptr);
  QAction* lighting = toolbar->findChild<QAction*>(LVTBLightingItemIdentifier);
  ASSERT_NE(lighting, nullptr);
  QWidget* button = toolbar->widgetForAction(lighting);
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isVisible() && button->isEnabled());
  auto openedSheet = [&] {
    QApplication::processEvents();
    return SheetController::attachedSheet(controller->window());
  };
  for (bool designActive : {false, true}) {
    SCOPED_TRACE(designActive ? "design window active" : "3D window active");
    if (designActive) window->activateWindow();
    else controller->window()->activateWindow();
    QApplication::processEvents();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    SheetController* fromButton = openedSheet();
    ASSERT_NE(qobject_cast<LVLightPropertiesController*>(fromButton), nullptr);
    EXPECT_TRUE(fromButton->isVisible());
    fromButton->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(openedSheet(), nullptr);

    window->planViewActions().perform(kTagShowLVLightProperties);
    SheetController* fromMenu = openedSheet();
    ASSERT_NE(qobject_cast<LVLightPropertiesController*>(fromMenu), nullptr);
    fromMenu->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// The design's menus are the program's: their shortcuts typed in the active 3D window reach
// their items, as they do in the design window; a key no item has does nothing.
TEST_F(LiveViewWindowTest, TheDesignsMenuShortcutsWorkFromThe3DWindow) {
  showLiveView();
  controller->window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
  const std::string path = folder + "/shortcut.pro";
  doc->setFileName(path);
  // Quit runs here only as far as its item: the windows are the test's to close.
  int quits = 0;
  QObject::disconnect(window->quitAction(), &QAction::triggered, nullptr, nullptr);
  QObject::connect(window->quitAction(), &QAction::triggered, window, [&quits] { ++quits; });
  // Typed where the focus is in the window: on the view and on the cut-away slider.
  for (QWidget* to : {static_cast<QWidget*>(view), static_cast<QWidget*>(controller->cutAwaySlider())}) {
    SCOPED_TRACE(to->metaObject()->className());
    gCurDocument = model = doc->documentModel();
    ds = model->itsDocState;
    const float spacing = ds->gridSpacing.floatH;
    ds->gridSpacing.floatH = spacing + 36;
    StoreUndo("Grid");
    std::filesystem::remove(path);
    ASSERT_TRUE(doc->isDocumentEdited());
    QTest::keyClick(to, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(doc->isDocumentEdited());
    QTest::keyClick(to, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(doc->documentModel()->itsDocState->gridSpacing.floatH, spacing);
    const int before = quits;
    QTest::keyClick(to, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, before + 1);
    QTest::keyClick(to, Qt::Key_J, Qt::ControlModifier);  // no item's
    EXPECT_EQ(quits, before + 1);
  }
  doc->setFileName("");
}

TEST_F(LiveViewWindowTest, ExportPopUpsCarryTheFormatAndQualityTags) {
  QComboBox* formats = controller->imageFormatPopUpButton();
  ASSERT_EQ(formats->count(), 2);
  EXPECT_EQ(formats->itemText(0), "BMP");
  EXPECT_EQ(formats->itemData(0).toInt(), 0);
  EXPECT_EQ(formats->itemText(1), "PNG");
  EXPECT_EQ(formats->itemData(1).toInt(), 3);
  const char* qualities[] = {"Current Image", "Low Quality (Fast)", "High Quality (Moderate)",
                             "Ultra-High Quality (Slow)", "Excellent Quality (Very Slow)"};
  QComboBox* quality = controller->renderQualityPopUpButton();
  ASSERT_EQ(quality->count(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(quality->itemText(i), qualities[i]);
    EXPECT_EQ(quality->itemData(i).toInt(), i);
  }
}

TEST_F(LiveViewWindowTest, SliderKeepsItsFractionWhenTheRangeChanges) {
  showLiveView();
  QSlider* slider = controller->cutAwaySlider();
  slider->setMaximum(100);
  slider->setValue(50);
  gCutawayRange = 400;
  controller->cutAwaySliderChanged(/*mouseDown=*/true, false);
  EXPECT_EQ(slider->maximum(), 400);
  EXPECT_EQ(slider->value(), 200);
  EXPECT_EQ(ds->cutAwayPosition(), 200);
  controller->cutAwaySliderChanged(false, /*mouseUp=*/true);

  // The fraction is taken of the fractional ranges, not of the slider's whole-number maximum.
  const struct {
    float range;
    int value;
    float newRange;
    int expected;
  } fractional[] = {{3, 1, 10.9f, 4}, {100.6f, 50, 200, 99}};
  for (const auto& c : fractional) {
    gCutawayRange = c.range;
    controller->updateCutAwaySliderBounds();
    slider->setValue(c.value);
    gCutawayRange = c.newRange;
    controller->cutAwaySliderChanged(true, false);
    EXPECT_EQ(slider->value(), c.expected) << c.range << " " << c.newRange;
    EXPECT_EQ(ds->cutAwayPosition(), c.expected);
    controller->cutAwaySliderChanged(false, true);
  }

  // A slider whose maximum was 0 keeps its value.
  slider->setMaximum(0);
  slider->setValue(0);
  gCutawayRange = 300;
  controller->cutAwaySliderChanged(true, false);
  EXPECT_EQ(slider->maximum(), 300);
  EXPECT_EQ(slider->value(), 0);
  controller->cutAwaySliderChanged(false, true);
}

TEST_F(LiveViewWindowTest, DirectionButtonsCycleAndResetThePosition) {
  ds->cutAwayDirection() = 0;
  ds->cutAwayPosition() = 30;
  controller->cutAwaySliderDownButtonChanged();
  EXPECT_EQ(ds->cutAwayDirection(), 4);
  EXPECT_EQ(ds->cutAwayPosition(), 0);
  EXPECT_EQ(controller->cutAwayImageIndex(), 4);
  ds->cutAwayPosition() = 12;
  controller->cutAwaySliderUpButtonChanged();
  EXPECT_EQ(ds->cutAwayDirection(), 0);
  EXPECT_EQ(ds->cutAwayPosition(), 0);
  EXPECT_EQ(controller->cutAwayImageIndex(), 0);
  EXPECT_EQ(controller->cutAwaySlider()->value(), 0);
  // A whole round each way passes every direction once, in order, and comes back.
  for (const bool up : {true, false}) {
    for (int step = 1; step <= 5; ++step) {
      ds->cutAwayPosition() = 7 * step;
      if (up) controller->cutAwaySliderUpButtonChanged();
      else controller->cutAwaySliderDownButtonChanged();
      const int expected = up ? step % 5 : (5 - step) % 5;
      EXPECT_EQ(ds->cutAwayDirection(), expected) << (up ? "up " : "down ") << step;
      EXPECT_EQ(controller->cutAwayImageIndex(), expected) << (up ? "up " : "down ") << step;
      EXPECT_EQ(ds->cutAwayPosition(), 0);
    }
  }
}

TEST_F(LiveViewWindowTest, FrameIsSavedAndComesBackUnderLiveViewPanel) {
  showLiveView();
  controller->window()->resize(500, 420);
  controller->window()->move(60, 70);
  // The window system takes the new frame in its own time (slowly on a busy machine).
  QTRY_COMPARE_WITH_TIMEOUT(controller->window()->size(), QSize(500, 420), 5000);
  QTRY_COMPARE_WITH_TIMEOUT(controller->window()->pos(), QPoint(60, 70), 5000);
  ASSERT_TRUE(SettleWindows());
  const QPoint at = controller->window()->pos();
  const QSize size = controller->window()->size();
  controller->close();
  ASSERT_TRUE(defaults.hasValue("NSWindow Frame LiveViewPanel"));
  const std::string saved = defaults.getString("NSWindow Frame LiveViewPanel");
  // The frame, then its decorations (none without a window manager).
  EXPECT_EQ(saved, QStringLiteral("%1 %2 %3 %4 0 0 0 0")
                       .arg(at.x())
                       .arg(at.y())
                       .arg(size.width())
                       .arg(size.height())
                       .toStdString());

  // A new controller (the next launch) places its window there.
  LiveViewController::releaseSharedLiveViewController();
  controller = LiveViewController::sharedLiveViewController();
  view = controller->liveViewOGLView();
  EXPECT_EQ(controller->window()->pos(), at);
  EXPECT_EQ(controller->window()->size(), size);
}

TEST_F(LiveViewWindowTest, ShadowRenderDoesNothingInClearViewOrWireframe) {
  showLiveView();
  for (int mode : {1, 6}) {
    ds->renderMode() = static_cast<int16_t>(mode);
    ds->transparency() = mode == 6;
    ds->shadowRender() = 0;
    ServiceCallRecorder calls;
    controller->renderShadows();
    EXPECT_EQ(calls.count("RenderShadows"), 0u) << mode;
    EXPECT_EQ(gRefreshRender, 0) << mode;
    EXPECT_EQ(ds->shadowRender(), 0) << mode;
  }
  // Solid: a shadowed render, and the switch is off again afterwards.
  ds->renderMode() = 5;
  ds->transparency() = 0;
  ServiceCallRecorder calls;
  controller->renderShadows();
  EXPECT_EQ(calls.count("RenderShadows"), 1u);
  EXPECT_EQ(ds->shadowRender(), 0);
  EXPECT_EQ(gRenderGL, 0);
}

// The shadowed frame stays on screen: the view's next paint shows it and renders nothing.
TEST_F(LiveViewWindowTest, TheShadowedFrameIsTheOneShown) {
  showLiveView();
  ds->renderMode() = 5;
  ds->transparency() = 0;
  // The paints that showing the window asked for are over before the count is taken (on a
  // busy display the first one may come well after the window is exposed).
  waitForPaintsToEnd();
  const int renders = view->renderCount();
  controller->renderShadows();
  waitForPaintsToEnd();
  EXPECT_EQ(view->renderCount(), renders);
  EXPECT_EQ(gRefreshRender, 0);
}

// A step of the slider without a drag (here a key) moves the cut like a drag.
TEST_F(LiveViewWindowTest, ASliderStepWithoutADragMovesTheCut) {
  showLiveView();
  QSlider* slider = controller->cutAwaySlider();
  slider->setMaximum(100);
  slider->setValue(10);
  gCutawayRange = 100;
  ds->cutAwayPosition() = 10;
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_PageUp);
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  EXPECT_NE(slider->value(), 10);
  EXPECT_EQ(ds->cutAwayPosition(), slider->value());
}

TEST_F(LiveViewWindowTest, TheShadowRenderDrivesTheLightProgressAndReportsItsTime) {
  showLiveView();
  ASSERT_NE(gFrontEnd.initializeLVLightProgress, nullptr);
  InitializeLVLightProgress(12);
  EXPECT_EQ(controller->progressIndicator()->maximum(), 12);
  EXPECT_TRUE(controller->progressIndicator()->isVisible());
  UpdateLVLightProgress(5);
  EXPECT_EQ(controller->progressIndicator()->value(), 5);
  // A sunlit shadow render from the toolbar: the time is reported and the bar put away.
  ds->renderMode() = 5;
  ds->transparency() = 0;
  ds->sunlightOn() = 1;
  controller->renderShadows();
  const std::string status = controller->statusString().toStdString();
  EXPECT_NE(status.find("seconds to render"), std::string::npos) << status;
  EXPECT_FALSE(controller->progressIndicator()->isVisible());
}

TEST_F(LiveViewWindowTest, FinalRenderInWireframeIsAntiAliasedWithoutShadows) {
  showLiveView();
  ds->renderMode() = 1;
  ds->shadowRender() = 0;
  ServiceCallRecorder calls;
  controller->renderFinal();
  EXPECT_EQ(calls.count("RenderShadows"), 0u);
  EXPECT_EQ(ds->shadowRender(), 0);  // restored
  EXPECT_EQ(gRenderOpenGLAntiAlias, 0);
  EXPECT_EQ(gRefreshRender, 0);
  EXPECT_EQ(gBreakOpenGLRender, 0);
  EXPECT_FALSE(controller->progressIndicator()->isVisible());

  // In solid mode the final render is shadowed.
  ds->renderMode() = 5;
  ServiceCallRecorder solid;
  controller->renderFinal();
  EXPECT_EQ(solid.count("RenderShadows"), 1u);
  EXPECT_EQ(ds->shadowRender(), 0);
}

TEST_F(LiveViewWindowTest, StatusTextInAnyLetterCaseIsNotShownAgain) {
  controller->setLVStatusString("Rendering final (press Escape to cancel)");
  const int shown = controller->statusDisplayCount();
  controller->setLVStatusString("RENDERING FINAL (press escape to cancel)");
  EXPECT_EQ(controller->statusDisplayCount(), shown);
  EXPECT_EQ(controller->statusString(), "Rendering final (press Escape to cancel)");
  SetLVStatusString("Rendering interrupted");  // the core's road
  EXPECT_EQ(controller->statusDisplayCount(), shown + 1);
  EXPECT_EQ(controller->statusString(), "Rendering interrupted");
}

TEST_F(LiveViewWindowTest, RepaintRendersOnlyWhenAskedAndNoAntiAliasedRenderRuns) {
  showLiveView();
  const int before = view->renderCount();
  gRefreshRender = 0;
  view->display();
  EXPECT_EQ(view->renderCount(), before);

  gRefreshRender = 1;
  gRenderOpenGLAntiAlias = 1;
  view->display();
  EXPECT_EQ(view->renderCount(), before);
  EXPECT_EQ(gRefreshRender, 1);

  gRenderOpenGLAntiAlias = 0;
  view->display();
  EXPECT_EQ(view->renderCount(), before + 1);
  EXPECT_EQ(gRefreshRender, 0);
  EXPECT_EQ(gRenderGL, 0);
}

TEST_F(LiveViewWindowTest, APaintDuringARenderStartsNoSecondRender) {
  showLiveView();
  const int before = view->renderCount();
  // The status and progress repaint while a render runs, which can paint the view itself.
  const auto finished = gLiveViewHost.frameFinished;
  static LiveViewOGLView* sView;
  static int sNested;
  sView = view;
  sNested = 0;
  gLiveViewHost.frameFinished = [] {
    ++sNested;
    sView->display();
    sView->repaint();
  };
  gRefreshRender = 1;
  gRenderOpenGLAntiAlias = 0;
  view->display();
  gLiveViewHost.frameFinished = finished;
  EXPECT_GT(sNested, 0);
  EXPECT_EQ(view->renderCount(), before + 1);
  EXPECT_EQ(gRefreshRender, 0);
  EXPECT_EQ(gRenderGL, 0);
}

TEST_F(LiveViewWindowTest, ResizeGivesOneRenderWithPollingOff) {
  showLiveView();
  controller->window()->resize(520, 440);
  ASSERT_TRUE(SettleWindows());
  gRefreshRender = 0;
  const int before = view->renderCount();
  controller->window()->resize(600, 480);
  QTRY_COMPARE(controller->window()->size(), QSize(600, 480));
  ASSERT_TRUE(SettleWindows());
  EXPECT_EQ(view->renderCount(), before + 1);
  EXPECT_TRUE(view->lastRenderHadPollingOff());
  EXPECT_EQ(gDisableRenderInterrupt, 0);
  EXPECT_EQ(controller->windowWillResize(QSize(10, 20)), QSize(10, 20));
}

TEST_F(LiveViewWindowTest, RenderStyleItemsAreCheckedByTheRenderMode) {
  QAction* wire = styleItem(kCmdRenderWireframe);
  QAction* textured = styleItem(kCmdRenderTexturedWireframe);
  QAction* clear = styleItem(kCmdRenderClearView);
  QAction* solid = styleItem(kCmdRenderSolid);
  QAction* other = styleItem(kViewpointLotTopEdge);
  auto checks = [&] {
    for (QAction* item : {wire, textured, clear, solid, other}) EXPECT_TRUE(view->validateMenuItem(item));
    return std::vector<bool>{wire->isChecked(), textured->isChecked(), clear->isChecked(), solid->isChecked()};
  };
  ds->renderMode() = 1;
  EXPECT_EQ(checks(), (std::vector<bool>{true, false, false, false}));
  gTexturedWire = 1;
  EXPECT_EQ(checks(), (std::vector<bool>{false, true, false, false}));
  ds->renderMode() = 6;
  EXPECT_EQ(checks(), (std::vector<bool>{false, false, true, false}));
  ds->renderMode() = 5;
  EXPECT_EQ(checks(), (std::vector<bool>{false, false, false, true}));
  EXPECT_FALSE(other->isCheckable());
  EXPECT_TRUE(other->isEnabled());
}

TEST_F(LiveViewWindowTest, OptionClickWithAPlantSelectedNavigates) {
  gSelectedContentEntryType = 6;  // a plant
  gSelectedContentCategory = 4;
  ds->renderMode() = 5;
  view->flagsChanged(Qt::AltModifier);
  EXPECT_FALSE(view->autoClick3DActive());
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 20), QPointF(20, 20), Qt::LeftButton, Qt::LeftButton,
                    Qt::AltModifier);
  const int loops = view->navigationLoopCount();
  releaseSoon(Qt::LeftButton);
  view->mouseDown(&press);
  EXPECT_EQ(view->navigationLoopCount(), loops + 1);
  EXPECT_EQ(gRenderingDirect3D, 0);
}

TEST_F(LiveViewWindowTest, OptionInWireframeNeverEntersAutoClick) {
  gSelectedContentEntryType = kEntryColor;
  gSelectedContentCategory = 1;
  ds->renderMode() = 1;
  view->flagsChanged(Qt::AltModifier);
  EXPECT_FALSE(view->autoClick3DActive());
  ds->renderMode() = 5;
  view->flagsChanged(Qt::AltModifier);
  EXPECT_TRUE(view->autoClick3DActive());
  view->flagsChanged(Qt::NoModifier);
  EXPECT_FALSE(view->autoClick3DActive());
  // The first and the last category whose entries paint take it; those either side do not.
  for (const auto& [category, paints] : {std::pair{-1, false}, {0, true}, {3, true}, {4, false}}) {
    gSelectedContentCategory = category;
    view->flagsChanged(Qt::AltModifier);
    EXPECT_EQ(view->autoClick3DActive(), paints) << category;
    view->flagsChanged(Qt::NoModifier);
  }
}

TEST_F(LiveViewWindowTest, LeavingAutoClickStoresOneUndoStepOnlyAfterAClick) {
  showLiveView();
  gSelectedContentEntryType = kEntryColor;
  gSelectedContentCategory = 1;
  gSelectedContentEntry.textureColor = RGBColor{0x12FF, 0x3480, 0x5601};
  ds->renderMode() = 5;

  // No click: leaving stores nothing.
  const size_t steps = UndoSteps(doc->undoManager());
  view->flagsChanged(Qt::AltModifier);
  ASSERT_TRUE(view->autoClick3DActive());
  view->mouseExited();
  EXPECT_FALSE(view->autoClick3DActive());
  EXPECT_EQ(UndoSteps(doc->undoManager()), steps);

  // Two clicks, one step named after the entry's type.
  view->flagsChanged(Qt::AltModifier);
  ServiceCallRecorder calls;
  const int loops = view->navigationLoopCount();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 30), QPointF(20, 30), Qt::LeftButton, Qt::LeftButton,
                    Qt::AltModifier);
  view->mouseDown(&press);
  view->mouseDown(&press);
  // Each click applied the colour where it fell: the sky or the ground of the empty design.
  const RGBColor applied{65535, 0x80 * 257, 257};
  EXPECT_TRUE(ds->backgroundColor() == applied || ds->lotColor == applied);
  EXPECT_EQ(view->navigationLoopCount(), loops);
  EXPECT_EQ(view->autoClick3DPathCount(), 2u);
  view->mouseExited();
  EXPECT_EQ(UndoSteps(doc->undoManager()), steps + 1);
  EXPECT_EQ(doc->undoManager().undoActionName(), "Auto-click Color");
  EXPECT_EQ(view->autoClick3DPathCount(), 0u);
  EXPECT_EQ(gRefreshRender, 1);
}

TEST_F(LiveViewWindowTest, ControlClickActsAsARightClick) {
  ds->orthoView() = 3;
  const int loops = view->navigationLoopCount();
  QMouseEvent right(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  releaseSoon(Qt::RightButton);
  QApplication::sendEvent(view, &right);
  EXPECT_EQ(gRealTimeElevate, 1);
  EXPECT_EQ(ds->orthoView(), 0);
  EXPECT_EQ(view->navigationLoopCount(), loops + 1);
  // The Control key with the left button: the flag flips back and the loop runs again.
  QMouseEvent control(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::MetaModifier);
  releaseSoon(Qt::LeftButton);
  view->mouseDown(&control);
  EXPECT_EQ(gRealTimeElevate, 0);
  EXPECT_EQ(view->navigationLoopCount(), loops + 2);
  EXPECT_EQ(view->mouseEvent(), nullptr);
}

TEST_F(LiveViewWindowTest, NavigationActionsSetModeAndCursor) {
  ds->orthoView() = 2;
  controller->controlledFlyAround();
  EXPECT_EQ(ds->navigationMode, 2);
  EXPECT_EQ(ds->controlledNavigation(), 1);
  EXPECT_EQ(ds->orthoView(), 0);
  EXPECT_EQ(gRefreshRender, 1);
  EXPECT_EQ(gRenderDirty, 1);
  controller->freeWalkThrough();
  EXPECT_EQ(ds->navigationMode, 1);
  EXPECT_EQ(ds->controlledNavigation(), 0);
  EXPECT_EQ(view->cursor().hotSpot(), QPoint(14, 15));
  controller->freeFlyAround();
  EXPECT_EQ(view->cursor().hotSpot(), QPoint(11, 17));

  // The camera reset of the walk.
  controller->freeWalkThrough();
  ds->walkViewAngle() = 33;
  ds->walkPitchAngle() = 12;
  ds->flyCenter() = FloatPoint{5, 6};
  controller->reset3DView();
  EXPECT_EQ(ds->walkViewAngle(), 0);
  EXPECT_EQ(ds->walkPitchAngle(), 0);
  EXPECT_EQ(ds->flyCenter().floatH, 0);
  EXPECT_EQ(ds->walkEyePoint().floatV, ds->planBounds.floatBottom - 125);
  // And of the fly.
  controller->freeFlyAround();
  controller->reset3DView();
  EXPECT_EQ(ds->flyDistance(), 1500);
  EXPECT_EQ(ds->flyAngleX(), 20);
  EXPECT_EQ(ds->flyAngleY(), 330);
}

// Reset 3D View puts the walking eye at half the current floor's height above that floor's
// base, on every floor and at any plan scale, and leaves the fly camera's own fields.
TEST_F(LiveViewWindowTest, ResetPutsTheEyeHalfWayUpTheCurrentFloor) {
  controller->freeWalkThrough();
  Layer* first = model->itsLayers;
  ASSERT_NE(first, nullptr);
  Layer* second = first->next;
  ASSERT_NE(second, nullptr);
  first->height = 100;
  second->height = 120;
  Layer* saved = model->itsCurLayer;
  const float savedScale = ds->planScale;
  for (float scale : {36.0f, 72.0f}) {
    ds->planScale = scale;
    const float k = 72.0f / scale;
    model->itsCurLayer = first;
    ds->walkViewAngle() = 40;
    ds->walkPitchAngle() = -8;
    controller->reset3DView();
    EXPECT_FLOAT_EQ(ds->walkEyeHeight(), 50 * k) << scale;
    EXPECT_EQ(ds->walkViewAngle(), 0);
    EXPECT_EQ(ds->walkPitchAngle(), 0);
    model->itsCurLayer = second;
    controller->reset3DView();
    EXPECT_FLOAT_EQ(ds->walkEyeHeight(), (100 + 60) * k) << scale;
  }
  // Flying: the walk's eye stays where the walk left it.
  const float eye = ds->walkEyeHeight();
  controller->freeFlyAround();
  ds->flyDistance() = 10;
  controller->reset3DView();
  EXPECT_EQ(ds->flyDistance(), 1500);
  EXPECT_FLOAT_EQ(ds->walkEyeHeight(), eye);
  model->itsCurLayer = saved;
  ds->planScale = savedScale;
}

}  // namespace
