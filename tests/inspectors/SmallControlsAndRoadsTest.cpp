// The small controls, the About window, and the roads from palettes, menus and the plan view
// to the sheets.
#include <QButtonGroup>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <cmath>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/ContextMenuFactory.h"
#include "app/EditToolPaletteController.h"
#include "inspectors/AboutWindowController.h"
#include "model/ViewProjection.h"
#include "tools/ToolCodes.h"
#include "inspectors/MoveObjectsController.h"
#include "inspectors/PlanScaleController.h"
#include "inspectors/PreferencesController.h"
#include "inspectors/PlanSettingsSheets.h"
#include "inspectors/RotateObjectsController.h"
#include "inspectors/SheetTestSupport.h"
#include "inspectors/SmallControls.h"
#include "inspectors/TextEntryController.h"

namespace {

class SmallControls : public SheetTest {};

TEST_F(SmallControls, AButtonWithoutMenuOnlyHighlights) {
  ButtonWithMenu button;
  button.resize(60, 20);
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
  QTest::mousePress(&button, Qt::LeftButton);
  EXPECT_TRUE(button.isDown());
  QTest::mouseRelease(&button, Qt::LeftButton);
  EXPECT_FALSE(button.isDown());
  EXPECT_EQ(clicks, 0);

  QMenu menu;
  menu.addAction("One");
  button.setButtonMenu(&menu);
  QPoint shownAt;
  bool downWhileShown = false;
  button.popUpMenu = [&](QMenu*, const QPoint& at) {
    shownAt = at;
    downWhileShown = button.isDown();
  };
  QTest::mousePress(&button, Qt::LeftButton);
  EXPECT_TRUE(downWhileShown);
  EXPECT_FALSE(button.isDown());
  EXPECT_EQ(shownAt, button.mapToGlobal(QPoint(0, 22)));
}

TEST_F(SmallControls, ToolbarButtonSizes) {
  ToolbarButtonWithMenu button;
  button.setControlSize(0);
  EXPECT_EQ(button.maximumSize(), QSize(32, 32));
  button.setControlSize(1);
  EXPECT_EQ(button.iconSize(), QSize(24, 24));
  EXPECT_EQ(button.minimumSize(), QSize(24, 24));
}

TEST_F(SmallControls, RightClickOnTheElevationSliderOpensItsMenuWithoutMovingTheKnob) {
  auto* slider = qobject_cast<ElevationSlider*>(window->elevationSlider());
  ASSERT_NE(slider, nullptr);
  window->show();
  slider->setValue(0);
  QStringList titles;
  auto saved = ZLKDocumentView::contextMenuPresenter;
  ZLKDocumentView::contextMenuPresenter = [&](QMenu* menu, const QPoint&) -> QAction* {
    for (QAction* a : menu->actions()) titles << a->text();
    return menu->actions().value(0);
  };
  ds->selectionState40.ssStateFresh = 1;
  QTest::mouseClick(slider, Qt::RightButton, Qt::NoModifier, QPoint(slider->width() - 4, slider->height() / 2));
  ZLKDocumentView::contextMenuPresenter = saved;
  EXPECT_EQ(slider->value(), 0);
  ASSERT_FALSE(titles.isEmpty());
  // The first item was chosen: the working elevation sheet.
  EXPECT_NE(sheet<WorkingElevationController>(), nullptr);
  window->hide();
}

TEST_F(SmallControls, AHiddenKnobLeavesTheSliderWorking) {
  ElevationSlider slider;
  EXPECT_TRUE(slider.shouldDrawKnob());
  slider.setShouldDrawKnob(false);
  slider.resize(100, 20);
  QImage image(slider.size(), QImage::Format_ARGB32);
  slider.render(&image);  // draws without the knob
  EXPECT_FALSE(slider.shouldDrawKnob());
  EXPECT_FALSE(slider.cell().shouldDrawKnob());
}

// The cell draws its knob, in either form, only while it should; a new cell does.
TEST_F(SmallControls, TheSliderCellDrawsItsKnobOnlyWhileItShould) {
  ElevationSlider slider;
  slider.resize(100, 24);
  slider.setRange(0, 10);
  slider.setValue(5);
  QStyleOptionSlider option;
  option.initFrom(&slider);
  option.orientation = Qt::Horizontal;
  option.minimum = 0;
  option.maximum = 10;
  option.sliderPosition = option.sliderValue = 5;
  option.rect = QRect(0, 0, 100, 24);
  auto drawn = [&](const ElevationSliderCell& cell, bool inRect, bool* said) {
    QImage image(100, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    *said = inRect ? cell.drawKnob(painter, option, &slider, QRect(10, 2, 20, 20))
                   : cell.drawKnob(painter, option, &slider);
    painter.end();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qAlpha(image.pixel(x, y))) return true;
    return false;
  };
  ElevationSliderCell cell;
  EXPECT_TRUE(cell.shouldDrawKnob());
  for (bool inRect : {false, true}) {
    SCOPED_TRACE(inRect);
    bool said = false;
    cell.setShouldDrawKnob(true);
    EXPECT_TRUE(drawn(cell, inRect, &said));
    EXPECT_TRUE(said);
    cell.setShouldDrawKnob(false);
    EXPECT_FALSE(drawn(cell, inRect, &said));
    EXPECT_FALSE(said);
  }
  // The slider shows the knob while its cell should draw it.
  QImage with(slider.size(), QImage::Format_ARGB32), without(slider.size(), QImage::Format_ARGB32);
  with.fill(Qt::white);
  without.fill(Qt::white);
  slider.render(&with);
  slider.setShouldDrawKnob(false);
  slider.render(&without);
  EXPECT_NE(with, without);
}

TEST_F(SmallControls, TheAboutWindowIsPlacedAgainAfterReopening) {
  const QRect visible(0, 0, 1200, 900);
  const QPoint at = AboutWindowController::placement(visible, QSize(360, 200));
  EXPECT_EQ(at.x(), 420);
  // Five sixths of the free height lie below the window.
  EXPECT_NEAR(visible.height() - (at.y() + 200), (900 - 200) / 1.2, 1.0);

  choose(kTagShowAbout);
  AboutWindowController* first = AboutWindowController::existing();
  ASSERT_NE(first, nullptr);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint placed = AboutWindowController::placement(screen, first->size());
  EXPECT_EQ(first->pos(), placed);
  first->move(placed + QPoint(50, 50));
  first->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(AboutWindowController::existing(), nullptr);
  choose(kTagShowAbout);
  ASSERT_NE(AboutWindowController::existing(), nullptr);
  EXPECT_EQ(AboutWindowController::existing()->pos(), placed);
  AboutWindowController::existing()->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // The process-wide instance is the one the shared accessor makes, and letting go of it on
  // closing clears it.
  AboutWindowController* shared = AboutWindowController::sharedAboutWindowController();
  EXPECT_EQ(aboutWindowController, shared);
  EXPECT_EQ(AboutWindowController::sharedAboutWindowController(), shared);
  shared->windowWillClose();
  EXPECT_EQ(aboutWindowController, nullptr);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(AboutWindowController::existing(), nullptr);
}

TEST_F(SmallControls, TheSplashIsCentredAndHeldHalfASecond) {
  EXPECT_EQ(AppSplashScreen::centredOrigin(QRect(0, 0, 1000, 800), QSize(400, 200)), QPoint(300, 300));
  EXPECT_EQ(AppSplashScreen::kHoldMilliseconds, 500);
}

class SheetRoads : public SheetTest {};

TEST_F(SheetRoads, DoubleClicksOnTheSelectionRotateAndZoomCellsOpenTheirSheets) {
  ToolPaletteController& palette = ToolPaletteController::sharedToolPaletteController();
  palette.selectTool(kToolSelection, 2);
  EXPECT_NE(sheet<MoveObjectsController>(), nullptr);
  cancel();
  palette.selectTool(kToolRotate, 2);
  EXPECT_NE(sheet<RotateObjectsController>(), nullptr);
  cancel();
  palette.selectTool(kToolZoom, 2);
  EXPECT_NE(sheet<PlanZoomController>(), nullptr);
  cancel();
  palette.selectTool(kToolSelection, 1);
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
}

TEST_F(SheetRoads, EveryMenuOpenerHasItsItemAndTheToolbarHasLotProperties) {
  QStringList titles;
  std::function<void(QMenu*)> walk = [&](QMenu* menu) {
    for (QAction* a : menu->actions()) {
      titles << a->text();
      if (a->menu()) walk(a->menu());
    }
  };
  for (QAction* top : window->menuBar()->actions())
    if (top->menu()) walk(top->menu());
  for (const char* t : {"Move Objects...", "Move Entire Plan...", "Rotate Objects...", "Rotate Entire Plan...",
                        "Set Elevation...", "Working Elevation...", "First Floor...", "Second Floor...",
                        "Third Floor...", "Trace Image Scale...", "Lot Size...", "True North...",
                        "Grid Properties...", "Dimension Properties...", "Plan Scale...", "Plan Zoom...",
                        "Measurement Units...", "Smooth Curves...", "Preferences...", "Show Snap Tools",
                        "About casavelt"})
    EXPECT_TRUE(titles.contains(t)) << t;
  QAction* lot = window->docToolbar()->findChild<QAction*>("Document Toolbar Lot Properties Item");
  ASSERT_NE(lot, nullptr);
  lot->trigger();
  EXPECT_NE(sheet<LotSizeController>(), nullptr);
  cancel();
}

TEST_F(SheetRoads, EditTextFromTheObjectMenuAndADoubleClickOpenTheTextSheet) {
  RGBColor black{};
  Objex* text = addSelectedSquare();
  text->type = kObjText;
  text->typeData = std::calloc(16, 1);
  std::strcpy(static_cast<char*>(text->typeData), "Den");
  gContextFoundObj = text;
  choose(kTagEditTextObject);
  gContextFoundObj = nullptr;
  auto* s = sheet<TextEntryController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->targetObject, text);
  cancel();
  (void)black;
}

TEST_F(SheetRoads, CeilingHeightForAMissingFloorOpensNothing) {
  Layer* third = GetLayerFromName("Third Floor");
  if (third) std::strcpy(third->name, "Attic");
  choose(kTagCeilingHeightThirdFloor);
  EXPECT_EQ(SheetController::attachedSheet(window), nullptr);
  if (third) std::strcpy(third->name, "Third Floor");
}

}  // namespace

namespace {

class PlanViewTextRoads : public SheetTest {
 protected:
  void beforeDocument() override {
    ZLKDocumentView::contextMenuPresenter = [](QMenu*, const QPoint&) -> QAction* { return nullptr; };
  }
  void beforeClosing() override {
    ZLKDocumentView::contextMenuPresenter = nullptr;
    gCurTool = kToolSelection;
    SheetTest::beforeClosing();
  }
  QPoint at(float x, float z) const {
    float x1 = x, y1 = 0, z1 = z, x2 = x, y2 = 0, z2 = z;
    ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, 0);
    const NSPoint origin = view->boundsOrigin();
    return QPoint(static_cast<int>(std::lround(x1 - origin.x)), static_cast<int>(std::lround(y1 - origin.y)));
  }
  ZLKDocumentView* view = nullptr;
};

TEST_F(PlanViewTextRoads, TheTextToolOpensTheSheetAndADoubleClickEditsText) {
  view = showPlanView(ds->currentPlanMask);
  QToolButton* textCell = ToolPaletteController::sharedToolPaletteController().cellWithTool(kToolText);
  ASSERT_NE(textCell, nullptr);
  ASSERT_TRUE(textCell->isEnabled());
  QTest::mouseClick(textCell, Qt::LeftButton);
  ASSERT_EQ(gCurTool, kToolText);
  QTest::mousePress(view, Qt::LeftButton, {}, at(0, 0));
  QTest::mouseMove(view, at(40, 20));
  QTest::mouseRelease(view, Qt::LeftButton, {}, at(40, 20));
  auto* s = sheet<TextEntryController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->targetObject, nullptr);
  s->textView->setPlainText("Study");
  s->alignmentButtons->button(1)->click();
  ok();
  Objex* text = nullptr;
  for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
    if (o->type == kObjText) text = o;
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(lastUndo(), "Insert Text");

  gCurTool = kToolSelection;
  const float cx = (text->bounds.floatLeft + text->bounds.floatRight) / 2;
  const float cz = (text->bounds.floatTop + text->bounds.floatBottom) / 2;
  QTest::mousePress(view, Qt::LeftButton, {}, at(cx, cz));
  QTest::mouseRelease(view, Qt::LeftButton, {}, at(cx, cz));
  QTest::mouseDClick(view, Qt::LeftButton, {}, at(cx, cz));
  QTest::mouseRelease(view, Qt::LeftButton, {}, at(cx, cz));
  s = sheet<TextEntryController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->targetObject, text);
  cancel();
}

TEST_F(PlanViewTextRoads, PreferencesOpenFromTheEditMenu) {
  choose(kTagShowPreferences);
  EXPECT_TRUE(PreferencesController::sharedPreferencesController().isVisible());
  PreferencesController::sharedPreferencesController().dismissWindow(0);
  EXPECT_FALSE(PreferencesController::sharedPreferencesController().isVisible());
}

}  // namespace
