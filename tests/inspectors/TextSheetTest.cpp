// The text entry sheet: new and edited text.
// The record field names come before the Qt headers, whose keyword macros share them.
#include "plandraw/PlanRecordFields.h"
#include "plandraw/qt/TextMeasurer.h"

#include <QButtonGroup>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>

#include "files/SideBlocks.h"
#include "inspectors/SheetTestSupport.h"
#include "inspectors/TextEntryController.h"
#include "plandraw/Base2DView.h"
#include "plandraw/PlanRecordFields.h"
#include "tools/TrackingState.h"

namespace {

class TextSheet : public SheetTest {
 protected:
  // The newest top-level object of the current floor.
  Objex* newest() const {
    Objex* last = nullptr;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) last = o;
    return last;
  }
  void newTextAt(float x, float z) {
    gUpX = x;
    gUpY = 0;
    gUpZ = z;
    gEndMouse = POINT{-30000, -30000};
    TextEntryController::newTextEntrySheetForParent(window);
  }
};

TEST_F(TextSheet, AngleWithAlignmentZeroMakesAngledTextElseStandardText) {
  newTextAt(0, 0);
  auto* s = sheet<TextEntryController>();
  ASSERT_NE(s, nullptr);
  s->textView->setPlainText("Porch");
  s->angleText->setText("30");
  s->alignmentButtons->button(0)->click();
  ok();
  Objex* angled = newest();
  ASSERT_NE(angled, nullptr);
  EXPECT_EQ(angled->type, kObjDynamicText);
  EXPECT_FLOAT_EQ(TextAngleOf(angled), 30);
  EXPECT_STREQ(TextStringOf(angled), "Porch");
  EXPECT_EQ(lastUndo(), "Insert Text");
  // Measured outside a drawing pass: a real frame.
  EXPECT_GT(angled->params[1], 0);
  EXPECT_GT(angled->params[2], 0);
  EXPECT_EQ(TextAlignmentOf(angled), static_cast<int32_t>(angled->params[1]));

  newTextAt(500, 500);
  s = sheet<TextEntryController>();
  s->textView->setPlainText("Deck");
  s->alignmentButtons->button(1)->click();
  s->angleText->setText("30");
  ok();
  Objex* standard = newest();
  EXPECT_EQ(standard->type, kObjText);
  EXPECT_FLOAT_EQ(TextAngleOf(standard), 0);
  EXPECT_EQ(TextAlignmentOf(standard), 1);
  EXPECT_EQ(standard->planMask, ds->newObjectPlanMask);
}

TEST_F(TextSheet, AnglesOutside0To359ResetTheFieldAndTheSlider) {
  newTextAt(0, 0);
  auto* s = sheet<TextEntryController>();
  for (const char* typed : {"400", "-5"}) {
    type(s->angleText, typed);
    EXPECT_EQ(s->angleText->text(), "0");
    EXPECT_EQ(s->angleSlider->value(), 90);
  }
  type(s->angleText, "30");
  EXPECT_EQ(s->angleSlider->value(), 60);
  s->angleSlider->setValue(100);
  EXPECT_EQ(s->angleText->text(), "350");
  EXPECT_EQ(TextEntryController::mapAngle(TextEntryController::mapAngle(200)), 200);
  cancel();
}

TEST_F(TextSheet, ALongerStringWidensOnlyXAndEditingStoresEditText) {
  newTextAt(0, 0);
  sheet<TextEntryController>()->textView->setPlainText("Hall");
  sheet<TextEntryController>()->alignmentButtons->button(1)->click();
  ok();
  Objex* text = newest();
  ASSERT_EQ(text->type, kObjText);
  const float z0 = text->firstPoint->position[2];
  const float height = text->firstPoint->next->next->position[2] - z0;
  const float width = text->firstPoint->next->position[0] - text->firstPoint->position[0];
  doc->undoManager().removeAllActions();

  TextEntryController::newTextEntrySheetForParent(window, text);
  auto* s = sheet<TextEntryController>();
  EXPECT_EQ(s->textView->toPlainText(), "Hall");
  EXPECT_TRUE(s->alignmentButtons->button(1)->isChecked());
  EXPECT_FALSE(s->angleText->isEnabled());
  s->textView->setPlainText("Hall and a long corridor");
  ok();
  EXPECT_EQ(lastUndo(), "Edit Text");
  EXPECT_STREQ(TextStringOf(text), "Hall and a long corridor");
  const float newWidth = text->bounds.floatRight - text->bounds.floatLeft;
  EXPECT_GT(newWidth, width + 1);
  EXPECT_NEAR(text->firstPoint->next->next->position[2] - text->firstPoint->position[2], height, 0.5);

  // An empty string changes nothing.
  doc->undoManager().removeAllActions();
  TextEntryController::newTextEntrySheetForParent(window, text);
  sheet<TextEntryController>()->textView->setPlainText("");
  ok();
  EXPECT_FALSE(anyUndo());
  EXPECT_STREQ(TextStringOf(text), "Hall and a long corridor");
}

TEST_F(TextSheet, ReleasingTheTextToolOverATextObjectEditsIt) {
  newTextAt(0, 0);
  sheet<TextEntryController>()->textView->setPlainText("Garage");
  ok();
  Objex* text = newest();
  const int before = objectCount();
  // At zoom 1 in the top view a window point is the plan point.
  PlanZoom(ds) = 1.0f;
  const float cx = (text->bounds.floatLeft + text->bounds.floatRight) / 2;
  const float cz = (text->bounds.floatTop + text->bounds.floatBottom) / 2;
  const POINT where{static_cast<int32_t>(cx), static_cast<int32_t>(cz)};
  gEndMouse = where;
  TextEntryController::newTextEntrySheetForParent(window);
  auto* s = sheet<TextEntryController>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->targetObject, text);
  EXPECT_EQ(s->textView->toPlainText(), "Garage");
  s->textView->setPlainText("Carport");
  ok();
  EXPECT_EQ(objectCount(), before);
  EXPECT_STREQ(TextStringOf(text), "Carport");
}

TEST_F(TextSheet, MeasuringOutsideADrawingPassGivesARealSize) {
  InstallQtTextMeasurer();  // as the program does at start-up
  Base2DView view;
  const NSSize size = view.textMetricsForString("Kitchen", &gTextFontInfo);
  EXPECT_GT(size.width, 10);
  EXPECT_GT(size.height, 5);
}

}  // namespace
