// The railing pane (sizes, posts at the selected points, curve buttons) and the deck steps
// pane (sizes kept in plan units, handrails; only steps whose own points are selected).
// Model headers first: they name fields like the Qt keyword macros.
#include "model/DeckFields.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/StairFields.h"

#include "InspectorTestSupport.h"
#include "inspectors/DeckStepInspectorController.h"
#include "inspectors/ValueFields.h"

namespace {

Poinz* PointAt(Objex* o, int index) {
  Poinz* p = o->firstPoint;
  for (int i = 0; i < index && p; ++i) p = p->next;
  return p;
}

class RailDeckStepInspectorTest : public InspectorTest {
 protected:
  void beforeClosing() override { InspectorControllerHooks() = saved; }
  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
  bool visible(const char* name) { return control<QWidget>(name) && !control<QWidget>(name)->isHidden(); }
  bool checked(const char* name) { return control<QCheckBox>(name) && control<QCheckBox>(name)->isChecked(); }
  static void selectPoints(Objex* o, std::initializer_list<int> which) {
    int i = 0;
    for (Poinz* p = o->firstPoint; p; p = p->next, ++i) {
      p->selected = 0;
      for (int w : which) p->selected |= w == i;
    }
  }
  Objex* addRailing() {
    Objex* rail = add(kObjRailing, {{0, 0}, {100, 0}, {200, 0}});
    RailHeightOf(rail) = 36;
    RailBalusterSpacingOf(rail) = 6;
    for (Poinz* p = rail->firstPoint; p; p = p->next) p->segmentFlags = kDeckSegmentPost;
    return rail;
  }
  InspectorHooks saved = InspectorControllerHooks();
};

TEST_F(RailDeckStepInspectorTest, PostBoxAndCurveButtonsOnlyWithARailing) {
  gCurTool = 7060;
  update();
  ASSERT_EQ(shownName(), "RailInspector");
  for (const char* b : {"includePostButton", "adjustCurveButton", "straightenCurveButton"}) EXPECT_FALSE(visible(b));
  EXPECT_EQ(text("railHeightText"), shownLength(36));

  gCurTool = kToolSelection;
  Objex* rail = addRailing();
  update();
  for (const char* b : {"includePostButton", "adjustCurveButton", "straightenCurveButton"}) EXPECT_TRUE(visible(b));
  int smoothed = 0, straightened = 0;
  InspectorControllerHooks().smoothSelected = [&] { ++smoothed; };
  InspectorControllerHooks().unsmoothSelected = [&] { ++straightened; };
  click("adjustCurveButton");
  click("straightenCurveButton");
  EXPECT_EQ(smoothed, 1);
  EXPECT_EQ(straightened, 1);

  // A railing without a selected point is not selected: the post box finds nothing.
  selectPoints(rail, {});
  mark();
  click("includePostButton");
  for (Poinz* p = rail->firstPoint; p; p = p->next) EXPECT_EQ(p->segmentFlags, kDeckSegmentPost);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

TEST_F(RailDeckStepInspectorTest, PostBitOnTheSelectedPointsAndTheSizes) {
  Objex* rail = addRailing();
  PointAt(rail, 1)->segmentFlags = 0;
  selectPoints(rail, {0, 2});
  update();
  EXPECT_TRUE(checked("includePostButton"));
  selectPoints(rail, {0, 1});
  update();
  EXPECT_FALSE(checked("includePostButton"));  // the last selected point decides
  selectPoints(rail, {0, 2});
  update();
  ServiceCallRecorder calls;
  mark();
  click("includePostButton");  // off
  EXPECT_EQ(PointAt(rail, 0)->segmentFlags, 0);
  EXPECT_EQ(PointAt(rail, 2)->segmentFlags, 0);
  EXPECT_TRUE(calls.called("UpdateRailObject", rail->objectID));
  click("includePostButton");  // on again
  EXPECT_EQ(PointAt(rail, 1)->segmentFlags, 0);
  EXPECT_EQ(PointAt(rail, 2)->segmentFlags, kDeckSegmentPost);
  type("balusterSpacingText", "8");
  EXPECT_EQ(RailBalusterSpacingOf(rail), 8);
  EXPECT_EQ(ds->railBalusterSpacing(), 8);
  type("railHeightText", "0.01");  // refused
  EXPECT_EQ(RailHeightOf(rail), 36);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Baluster Spacing", "Handrail Posts", "Handrail Posts"}));
}

// Two selected railings: the box shows a post only when both have one at their selected
// points, whichever of them is read first.
TEST_F(RailDeckStepInspectorTest, PostBoxOfTwoRailingsIsClearUnlessBothHaveAPost) {
  Objex* a = addRailing();
  Objex* b = addRailing();
  selectPoints(a, {1});
  selectPoints(b, {1});
  for (Objex* without : {b, a, static_cast<Objex*>(nullptr)}) {
    SCOPED_TRACE(without == a ? "first without" : without == b ? "second without" : "both with");
    PointAt(a, 1)->segmentFlags = without == a ? 0 : kDeckSegmentPost;
    PointAt(b, 1)->segmentFlags = without == b ? 0 : kDeckSegmentPost;
    update();
    EXPECT_EQ(checked("includePostButton"), without == nullptr);
  }
}

TEST_F(RailDeckStepInspectorTest, DeckStepsInPlanUnitsAndOnlyWithTheirOwnPointsSelected) {
  Objex* deck = add(kObjDeck, {{0, 0}, {2000, 0}, {2000, 1000}, {0, 1000}}, true, false);
  ASSERT_NE(AddDeckSteps(deck, PointAt(deck, 0), PointAt(deck, 1)), nullptr);
  Objex* steps = deck->firstChild;
  ASSERT_NE(steps, nullptr);
  auto* r = static_cast<DeckStepsData*>(steps->typeData);
  ASSERT_NE(r, nullptr);
  StepsLeftRailOf(r) = 1;
  StepsRightRailOf(r) = 0;
  update();
  ASSERT_EQ(shownName(), "DeckStepInspector");
  EXPECT_TRUE(checked("leftRailButton"));
  EXPECT_FALSE(checked("rightRailButton"));
  // A refused size shows the tool default again, not the steps' own: nothing changes.
  const float planWidth = r->width;
  ds->deckStepWidth = 52;
  mark();
  for (const char* refused : {"0.01", "10000", "wide", ""}) {
    type("stepWidthText", refused);
    EXPECT_EQ(text("stepWidthText"), shownLength(52)) << refused;
  }
  EXPECT_NE(shownLength(ConvertScreenToWorld(planWidth, ds, 0)), shownLength(52));
  EXPECT_EQ(r->width, planWidth);
  EXPECT_EQ(ds->deckStepWidth, 52);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  ServiceCallRecorder calls;
  mark();
  type("stepWidthText", "48");
  EXPECT_FLOAT_EQ(r->width, ConvertWorldToScreen(48, ds, 0));
  EXPECT_EQ(text("stepWidthText"), shownLength(48));
  EXPECT_EQ(ds->deckStepWidth, 48);
  EXPECT_TRUE(calls.called("Update3DDeck", deck->objectID));
  update();
  EXPECT_EQ(text("stepWidthText"), shownLength(48));
  type("stepHeightText", "30");
  EXPECT_FLOAT_EQ(r->height, ConvertWorldToScreen(30, ds, 0));
  EXPECT_EQ(DeckStepHeightOf(ds), 30);
  click("rightRailButton");
  EXPECT_EQ(StepsRightRailOf(r), 1);
  EXPECT_EQ(ds->deckStepRightRail, 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Right Handrail", "Total Deck Step Height", "Step Width"}));

  // The deck selected, its steps not: the steps stay, the default changes.
  for (Poinz* p = steps->firstPoint; p; p = p->next) p->selected = 0;
  for (Poinz* p = deck->firstPoint; p; p = p->next) p->selected = 1;
  DeckStepInspectorController* pane = DeckStepInspectorController::sharedInspectorController();
  mark();
  pane->stepWidthText->setText(QStringLiteral("40"));
  Q_EMIT pane->stepWidthText->editingFinished();
  EXPECT_FLOAT_EQ(r->width, ConvertWorldToScreen(48, ds, 0));
  EXPECT_EQ(ds->deckStepWidth, 40);
  pane->leftRailButton->click();
  EXPECT_EQ(StepsLeftRailOf(r), 1);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

}  // namespace
