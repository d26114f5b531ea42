// The key entry sheets opened the way the key-entry tools open them.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QTest>
#include <QToolButton>

#include "app/EditToolPaletteController.h"
#include "app/ZLKDocumentView.h"

#include "app/Win32EventHandler.h"
#include "inspectors/KeyEntryControllers.h"
#include "inspectors/SheetTestSupport.h"
#include "model/PlanarTransforms.h"
#include "tools/KeyEntryTools.h"
#include "tools/Tracking.h"
#include "tools/ToolCodes.h"
#include "tools/WallTool.h"

namespace {

class KeyEntrySheets : public SheetTest {
 protected:
  float feet(float f) const { return ConvertWorldToScreen(f * 12, ds, 0); }
  // An open line of the points along x (plan units), or a closed outline.
  Objex* addLine(std::initializer_list<float> xs, bool closed = false) {
    RGBColor black{};
    Objex* o = CreateObject(closed ? kObjClosedPoly : kObjLine, closed ? 1 : 0, 1, &black, &black, 1, 6, 0, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr);
    float z = 0;
    for (float x : xs) {
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
      if (closed) z += 40;  // a closed outline needs breadth
    }
    o->closed = closed ? 1 : 0;
    o->planMask = 2;
    AppendObjectToLayer(o, model->itsCurLayer);
    return o;
  }
  Poinz* point(Objex* o, int i) const {
    Poinz* p = o->firstPoint;
    while (i-- > 0 && p) p = p->next;
    return p;
  }
  Poinz* last(Objex* o) const {
    Poinz* p = o->firstPoint;
    while (p->next) p = p->next;
    return p;
  }
  // Opens the sheet for the segment from a to b through the command bridge, types the length
  // in feet, chooses the location and link, and presses OK.
  void resize(Objex* o, Poinz* a, Poinz* b, const QString& length, int location, bool linked) {
    Win32EventHandler::sharedEventHandler()->keyEntrySheetForObject(o, a, b);
    auto* s = sheet<KeyEntryController>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->layoutName(), "KeyEntrySheet");
    s->lengthText->setText(length);
    s->locationButtons->button(location)->setChecked(true);
    s->linkButton->setChecked(linked);
    ok();
  }
  void TearDown() override {
    KeyEntryController::sDirection = 1;
    KeyEntryController::sKeyEntryLinked = 0;
    SheetTest::TearDown();
  }
};

TEST_F(KeyEntrySheets, BothEndsMoveAboutTheMiddle) {
  Objex* line = addLine({0, feet(10)});
  Poinz* a = point(line, 0);
  Poinz* b = point(line, 1);
  a->selected = b->selected = 1;
  UpdateObjectBounds(line);
  const float widthBefore = line->bounds.floatRight - line->bounds.floatLeft;
  resize(line, a, b, "12'", 1, false);
  EXPECT_NEAR(a->position[0], -feet(1), 1e-3);
  EXPECT_NEAR(b->position[0], feet(11), 1e-3);
  EXPECT_NEAR((a->position[0] + b->position[0]) / 2, feet(5), 1e-3);
  EXPECT_NEAR(a->position[2], 0, 1e-3);
  EXPECT_EQ(lastUndo(), "Resize Segment");
  // The bounds follow; everything is deselected and the mouse released.
  EXPECT_NEAR(line->bounds.floatRight - line->bounds.floatLeft, widthBefore * 1.2f, 1e-2);
  EXPECT_FALSE(a->selected || b->selected);
  EXPECT_EQ(KeyEntryController::sDirection, 1);
  EXPECT_NEAR(KeyEntryController::sLength, feet(12), 1e-3);
}

TEST_F(KeyEntrySheets, TheHandleColourChoosesTheEndThatMoves) {
  struct Case {
    int16_t mark;
    int location;
    bool startMoves;
  };
  const Case cases[] = {{1, 2, true}, {-1, 2, false}, {1, 3, false}, {-1, 3, true}, {0, 2, false}, {0, 3, false}};
  for (const Case& c : cases) {
    Objex* line = addLine({0, feet(10)});
    Poinz* a = point(line, 0);
    Poinz* b = point(line, 1);
    a->keyEntryMark = c.mark;
    b->keyEntryMark = static_cast<int16_t>(-c.mark);
    resize(line, a, b, "12'", c.location, false);
    if (c.startMoves) {
      EXPECT_NEAR(a->position[0], -feet(2), 1e-3) << c.mark << " " << c.location;
      EXPECT_NEAR(b->position[0], feet(10), 1e-3);
    } else {
      EXPECT_NEAR(a->position[0], 0, 1e-3) << c.mark << " " << c.location;
      EXPECT_NEAR(b->position[0], feet(12), 1e-3);
    }
  }
  // The last choice is kept for the next opening.
  EXPECT_EQ(KeyEntryController::sDirection, 3);
}

TEST_F(KeyEntrySheets, LinkedNeighboursFollowRoundAClosedOutlineButNotPastAnOpenEnd) {
  // First segment of a closed outline, the start point moving: the last point follows.
  Objex* outline = addLine({0, feet(10), feet(10), 0}, true);
  Poinz* a = point(outline, 0);
  Poinz* b = point(outline, 1);
  Poinz* z = last(outline);
  const float lastX = z->position[0], lastZ = z->position[2];
  float ax = a->position[0], az = a->position[2];
  a->keyEntryMark = 1;
  resize(outline, a, b, "8'", 2, true);
  const float dx = a->position[0] - ax, dz = a->position[2] - az;
  EXPECT_GT(std::hypot(dx, dz), 1);
  EXPECT_NEAR(z->position[0] - lastX, dx, 1e-3);
  EXPECT_NEAR(z->position[2] - lastZ, dz, 1e-3);
  EXPECT_TRUE(KeyEntryController::sKeyEntryLinked);

  // Last segment of an open line, the end moving: nothing else moves.
  Objex* line = addLine({0, feet(5), feet(10)});
  Poinz* m = point(line, 1);
  Poinz* e = point(line, 2);
  e->keyEntryMark = 0;
  m->keyEntryMark = 0;
  resize(line, m, e, "8'", 2, true);
  EXPECT_NEAR(e->position[0], feet(13), 1e-3);
  EXPECT_NEAR(m->position[0], feet(5), 1e-3);
  EXPECT_NEAR(point(line, 0)->position[0], 0, 1e-3);
}

TEST_F(KeyEntrySheets, UnchangedOrNonPositiveLengthsMoveNothing) {
  Objex* line = addLine({0, feet(10)});
  Poinz* a = point(line, 0);
  Poinz* b = point(line, 1);
  for (const char* typed : {"10'", "-5'", "0"}) {
    doc->undoManager().removeAllActions();
    resize(line, a, b, typed, 1, false);
    EXPECT_NEAR(a->position[0], 0, 1e-3) << typed;
    EXPECT_NEAR(b->position[0], feet(10), 1e-3) << typed;
    EXPECT_EQ(lastUndo(), "Resize Segment") << typed;
  }
  // Cancel deselects too and stores nothing.
  doc->undoManager().removeAllActions();
  a->selected = 1;
  Win32EventHandler::sharedEventHandler()->keyEntrySheetForObject(line, a, b);
  cancel();
  EXPECT_FALSE(a->selected);
  EXPECT_FALSE(anyUndo());
}

TEST_F(KeyEntrySheets, AShownLengthBeyondThePointsIsMeasuredFromWhatIsShown) {
  // Shown 11' for points 10' apart: typing 11' moves nothing, 13' makes the points 12' apart.
  Objex* line = addLine({0, feet(10)});
  Poinz* a = point(line, 0);
  Poinz* b = point(line, 1);
  for (const char* typed : {"11'", "13'"}) {
    KeyEntryController::sLength = feet(11);
    KeyEntryController::newKeyEntrySheetForParent(window, line, a, b, feet(1), feet(11), 0);
    auto* s = sheet<KeyEntryController>();
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(GetFloatItem(s->lengthText), 132, 1e-3);
    s->lengthText->setText(typed);
    s->locationButtons->button(1)->setChecked(true);
    ok();
    EXPECT_EQ(lastUndo(), "Resize Segment");
  }
  EXPECT_NEAR(a->position[0], -feet(1), 1e-3);
  EXPECT_NEAR(b->position[0], feet(11), 1e-3);
  EXPECT_NEAR(KeyEntryController::sLength, feet(12), 1e-3);
}

TEST_F(KeyEntrySheets, AnOutOfRangeDirectionOpensOnTheCentre) {
  KeyEntryController::sDirection = 7;
  Objex* line = addLine({0, feet(10)});
  Win32EventHandler::sharedEventHandler()->keyEntrySheetForObject(line, point(line, 0), point(line, 1));
  auto* s = sheet<KeyEntryController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->locationButtons->checkedId(), 1);
  EXPECT_NEAR(GetFloatItem(s->lengthText), 120, 1e-3);
  cancel();
}

class WallKeyEntrySheet : public SheetTest {};

TEST_F(WallKeyEntrySheet, TypedLengthMovesTheEndAndEveryDismissalStoresTheToolStep) {
  struct Case {
    uint16_t tool;
    bool okPressed;
    const char* typed;
    float endX;  // feet
    const char* undo;
  };
  const Case cases[] = {
      {kToolExteriorWallKeyEntry, false, "20'", 10, "Exterior Wall Tool"},
      {kToolInteriorWallKeyEntry, true, "15'", 15, "Interior Wall Tool"},
      {kToolExteriorWallKeyEntry, true, "-5'", 10, "Exterior Wall Tool"},
      {kToolInteriorWallKeyEntry, true, "10'", 10, "Interior Wall Tool"},
  };
  for (const Case& c : cases) {
    doc->undoManager().removeAllActions();
    gCurTool = c.tool;
    Objex* wall = AddPlanLine(model->itsCurLayer, 0, 0, ConvertWorldToScreen(120, ds, 0), 0);
    wall->type = kObjWall;
    wall->width = 4;
    for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;  // wall height
    Poinz* a = wall->firstPoint;
    Poinz* b = a->next;
    WallKeyEntryController::newWallKeyEntrySheetForParent(window, a, b, wall);
    auto* s = sheet<WallKeyEntryController>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->layoutName(), "WallKeyEntrySheet");
    s->lengthText->setText(c.typed);
    if (c.okPressed) ok();
    else cancel();
    EXPECT_NEAR(b->position[0], ConvertWorldToScreen(c.endX * 12, ds, 0), 1e-3) << c.typed;
    EXPECT_NEAR(a->position[0], 0, 1e-3);
    EXPECT_EQ(lastUndo(), c.undo) << c.typed;
  }
  gCurTool = kToolSelection;
}

TEST_F(WallKeyEntrySheet, TheKeyEntryWallToolsAreAvailable) {
  EXPECT_EQ(PendingTrackingRoutine(kToolExteriorWallKeyEntry), nullptr);
  EXPECT_EQ(PendingTrackingRoutine(kToolInteriorWallKeyEntry), nullptr);
}

}  // namespace

namespace {

// The tools reach the sheets through the running program's plan view.
class KeyEntryRoads : public SheetTest {
 protected:
  void afterDocument() override {
    SheetTest::afterDocument();
    InstallSheetHooks();
    view = showPlanView(2);
  }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    SheetTest::beforeClosing();
  }
  QPoint at(float x, float z) const { return WidgetPointOf(view, x, z); }
  ZLKDocumentView* view = nullptr;
};

TEST_F(KeyEntryRoads, TheKeyEntryCellAndAClickOnASegmentOpenTheSheet) {
  Objex* line = AddPlanLine(model->itsCurLayer, -100, 0, 100, 0);
  QToolButton* cell = ToolPaletteController::sharedToolPaletteController().cellWithTool(kToolKeyEntry);
  ASSERT_NE(cell, nullptr);
  ASSERT_TRUE(cell->isEnabled());
  QTest::mouseClick(cell, Qt::LeftButton);
  ASSERT_EQ(gCurTool, kToolKeyEntry);
  QTest::mouseClick(view, Qt::LeftButton, {}, at(30, 0));
  auto* s = sheet<KeyEntryController>();
  ASSERT_NE(s, nullptr);
  EXPECT_NEAR(KeyEntryController::sLength, 200, 1e-3);
  s->lengthText->setText(QString::number(ConvertScreenToWorld(300, ds, 0)));
  s->locationButtons->button(1)->setChecked(true);
  ok();
  EXPECT_NEAR(line->firstPoint->position[0], -150, 1e-2);
  EXPECT_NEAR(line->firstPoint->next->position[0], 150, 1e-2);
  EXPECT_EQ(lastUndo(), "Resize Segment");
}

TEST_F(KeyEntryRoads, AKeyEntryWallDragAsksForTheLengthAndStoresTheToolStepOnce) {
  struct Case {
    uint16_t tool;
    bool okPressed;
    const char* undo;
  };
  for (const Case& c : {Case{kToolExteriorWallKeyEntry, false, "Exterior Wall Tool"},
                        Case{kToolInteriorWallKeyEntry, true, "Interior Wall Tool"}}) {
    doc->undoManager().removeAllActions();
    const int before = objectCount();
    gCurTool = c.tool;
    const float z = c.okPressed ? 200 : -200;
    QTest::mousePress(view, Qt::LeftButton, {}, at(-100, z));
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(view, at(-100 + 50 * i, z));
    QTest::mouseRelease(view, Qt::LeftButton, {}, at(100, z));
    auto* s = sheet<WallKeyEntryController>();
    ASSERT_NE(s, nullptr) << c.tool;
    EXPECT_FALSE(anyUndo());  // the sheet stores the drag's step
    ASSERT_EQ(objectCount(), before + 1);
    Objex* wall = model->itsCurLayer->firstObject;
    while (wall->next) wall = wall->next;
    ASSERT_EQ(wall->type, kObjWall);
    Poinz* end = wall->firstPoint->next;
    const float drawnEnd = end->position[0];
    if (c.okPressed) {
      s->lengthText->setText(QString::number(ConvertScreenToWorld(300, ds, 0)));
      ok();
      EXPECT_NEAR(end->position[0] - wall->firstPoint->position[0], 300, 1e-2);
    } else {
      cancel();
      EXPECT_FLOAT_EQ(end->position[0], drawnEnd);
    }
    EXPECT_EQ(lastUndo(), c.undo);
    EXPECT_EQ(objectCount(), before + 1);
  }
}

}  // namespace
