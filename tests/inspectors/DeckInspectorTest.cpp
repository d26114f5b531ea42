// The deck panes: the deck's own values, segment and point options merged over the
// selection, inserting steps (straight segments only), the curvature guard and the deck
// tools' defaults.
// Model headers first: they name fields like the Qt keyword macros.
#include "model/DeckFields.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/StairFields.h"

#include "InspectorTestSupport.h"
#include "inspectors/ValueFields.h"
#include "platform/Alerts.h"

namespace {

Poinz* PointAt(Objex* o, int index) {
  Poinz* p = o->firstPoint;
  for (int i = 0; i < index && p; ++i) p = p->next;
  return p;
}

class DeckInspectorTest : public InspectorTest {
 protected:
  void beforeClosing() override { InspectorControllerHooks() = saved; }
  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
  bool checked(const char* name) { return control<QCheckBox>(name) && control<QCheckBox>(name)->isChecked(); }
  // A closed deck of four points, every segment with a railing and skirting, posts at every
  // point; all points selected unless told.
  Objex* addDeck(bool selected = true) {
    Objex* deck = add(kObjDeck, {{0, 0}, {2000, 0}, {2000, 1000}, {0, 1000}}, true, selected);
    DeckHeightOf(deck) = 24;
    DeckSpindleSpacingOf(deck) = 6;
    ClosedStepsOf(deck) = 1;
    for (Poinz* p = deck->firstPoint; p; p = p->next) {
      p->segmentFlags = kDeckSegmentRailing | kDeckSegmentSkirtingToGround | kDeckSegmentPost;
      RailingHeightOf(p) = 36;
      p->position[1] = -ConvertWorldToScreen(24, ds, 0);
    }
    return deck;
  }
  static void selectPoints(Objex* o, std::initializer_list<int> which) {
    int i = 0;
    for (Poinz* p = o->firstPoint; p; p = p->next, ++i) {
      p->selected = 0;
      for (int w : which) p->selected |= w == i;
    }
  }
  InspectorHooks saved = InspectorControllerHooks();
};

TEST_F(DeckInspectorTest, FieldBoundsAndTheHeightMovesEveryPoint) {
  Objex* deck = addDeck();
  update();
  ASSERT_EQ(shownName(), "DeckObjectInspector");
  EXPECT_EQ(text("railHeightText"), shownLength(36));
  mark();
  struct Row {
    const char* field;
    const char* typed;
    bool accepted;
  };
  // Millimetres give hundredths of an inch: 72.99, 73.03 and 0.01 inch.
  ds->measureSystem = kMeasureMetric;
  for (const Row& row : {Row{"balusterSpacingText", "1853.95mm", true}, Row{"balusterSpacingText", "1855mm", false},
                         Row{"deckHeightText", "0.254mm", false}}) {
    const float spacing = DeckSpindleSpacingOf(deck), height = DeckHeightOf(deck);
    type(row.field, row.typed);
    const bool changed = spacing != DeckSpindleSpacingOf(deck) || height != DeckHeightOf(deck);
    EXPECT_EQ(changed, row.accepted) << row.field << " " << row.typed;
  }
  ds->measureSystem = kMeasureImperial;
  EXPECT_NEAR(DeckSpindleSpacingOf(ds), 72.99, 0.005);
  // A refused entry (an emptied field too) shows the tool default again, not the deck's
  // value: nothing changes and no step is stored.
  ds->deckHeight = 20;
  DeckRailingHeightOf(ds) = 30;
  EXPECT_EQ(stepsSinceMark(), (Steps{"Handrail Baluster Spacing"}));
  mark();
  for (const char* refused : {"10000", "0.01", "low", ""}) {
    type("deckHeightText", refused);
    EXPECT_EQ(text("deckHeightText"), shownLength(20)) << refused;
    type("railHeightText", refused);
    EXPECT_EQ(text("railHeightText"), shownLength(30)) << refused;
    type("balusterSpacingText", refused);
    EXPECT_EQ(text("balusterSpacingText"), shownLength(DeckSpindleSpacingOf(ds))) << refused;
  }
  EXPECT_EQ(RailingHeightOf(PointAt(deck, 0)), 36);
  EXPECT_EQ(ds->deckHeight, 20);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  mark();

  // Only two points selected: every point of the deck still moves.
  selectPoints(deck, {0, 1});
  update();
  ServiceCallRecorder calls;
  type("deckHeightText", "30");
  EXPECT_EQ(DeckHeightOf(deck), 30);
  for (Poinz* p = deck->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(p->position[1], -ConvertWorldToScreen(30, ds, 0));
  EXPECT_TRUE(calls.called("Update3DDeck", deck->objectID));
  EXPECT_EQ(ds->deckHeight, 30);
  type("railHeightText", "40");  // the one selected segment
  EXPECT_EQ(RailingHeightOf(PointAt(deck, 0)), 40);
  EXPECT_EQ(RailingHeightOf(PointAt(deck, 1)), 36);
  EXPECT_EQ(DeckRailingHeightOf(ds), 40);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Deck Handrail Height", "Deck Height"}));
}

TEST_F(DeckInspectorTest, SegmentOptionsReachEverySelectedSegmentTheClosingOneIncluded) {
  Objex* deck = addDeck();
  update();
  EXPECT_TRUE(checked("skirtingButton"));
  mark();
  click("skirtingButton");  // off
  for (Poinz* p = deck->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->segmentFlags & kDeckSegmentSkirtingToGround, 0);
    EXPECT_NE(p->segmentFlags & kDeckSegmentRailing, 0);
  }
  EXPECT_EQ(ds->deckSkirting, 0);

  // One selected point: no segment, so skirting and handrails leave the deck; the post not.
  selectPoints(deck, {2});
  update();
  const int32_t before = PointAt(deck, 2)->segmentFlags;
  click("skirtingButton");
  click("includeRailsButton");
  for (Poinz* p = deck->firstPoint; p; p = p->next) EXPECT_EQ(p->segmentFlags & kDeckSegmentSkirtingToGround, 0);
  EXPECT_EQ(PointAt(deck, 2)->segmentFlags, before);
  EXPECT_TRUE(checked("includePostButton"));
  click("includePostButton");  // off at point 2 only
  EXPECT_EQ(PointAt(deck, 2)->segmentFlags, before & ~kDeckSegmentPost);
  EXPECT_NE(PointAt(deck, 1)->segmentFlags & kDeckSegmentPost, 0);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Deck Post", "Deck Skirting"}));
}

TEST_F(DeckInspectorTest, DifferingSegmentsBlankAndSwitchOff) {
  Objex* deck = addDeck();
  RailingHeightOf(PointAt(deck, 1)) = 42;
  PointAt(deck, 3)->segmentFlags &= ~kDeckSegmentSkirtingToGround;  // the closing segment
  update();
  EXPECT_EQ(text("railHeightText"), "");
  EXPECT_FALSE(checked("skirtingButton"));
  EXPECT_TRUE(checked("includeRailsButton"));
  Objex* other = addDeck();
  ClosedStepsOf(other) = 0;
  other->extraLong = 1;
  update();
  EXPECT_FALSE(checked("openStepsButton"));
  EXPECT_FALSE(checked("displayDimsButton"));
  mark();
  click("openStepsButton");  // on: open steps
  EXPECT_EQ(ClosedStepsOf(deck), 0.0f);
  EXPECT_EQ(ds->deckOpenSteps, 1);
  click("displayDimsButton");
  EXPECT_EQ(deck->extraLong & 1, 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Deck Auto-Dimensions", "Deck Step Style"}));
}

TEST_F(DeckInspectorTest, StepsGoOnStraightSegmentsAndACurvedOneStopsTheWalk) {
  Objex* deck = addDeck();
  PointAt(deck, 2)->inHandle[0] = 50;  // the segments at point 2 curve
  selectPoints(deck, {0, 1, 2});
  update();
  ScopedAlertRecorder alerts;
  ServiceCallRecorder calls;
  mark();
  click("insertStepsButton");
  ASSERT_NE(deck->firstChild, nullptr);
  EXPECT_EQ(deck->firstChild->type, kObjDeckSteps);
  EXPECT_EQ(deck->firstChild->next, nullptr);
  EXPECT_EQ(SegmentStartOf(static_cast<DeckStepsData*>(deck->firstChild->typeData)), PointAt(deck, 0));
  EXPECT_TRUE(alerts.sawMessage("Unable to insert deck steps."));
  EXPECT_TRUE(alerts.sawMessage("Deck steps cannot be inserted into curved deck segments."));
  EXPECT_TRUE(calls.called("Update3DDeck", deck->objectID));
  EXPECT_EQ(stepsSinceMark(), (Steps{"Insert Deck Steps"}));

  // Curvature next to steps is refused before the sheet opens.
  for (Poinz* p = deck->firstChild->firstPoint; p; p = p->next) p->selected = 0;
  int smoothed = 0;
  InspectorControllerHooks().smoothSelected = [&] { ++smoothed; };
  selectPoints(deck, {1, 2});
  update();
  click("adjustCurveButton");
  EXPECT_TRUE(alerts.sawMessage("Unable to adjust deck segment curvature."));
  EXPECT_EQ(smoothed, 0);
  selectPoints(deck, {2, 3});
  update();
  click("adjustCurveButton");
  EXPECT_EQ(smoothed, 1);
}

TEST_F(DeckInspectorTest, ToolPaneKeepsDefaultsOnly) {
  Objex* deck = addDeck(false);
  gCurTool = 7601;
  update();
  ASSERT_EQ(shownName(), "DeckToolInspector");
  EXPECT_EQ(text("deckHeightText"), shownLength(24));
  EXPECT_TRUE(checked("skirtingButton"));
  mark();
  type("balusterSpacingText", "73");
  EXPECT_EQ(DeckSpindleSpacingOf(ds), 6);
  EXPECT_EQ(text("balusterSpacingText"), shownLength(6));
  type("balusterSpacingText", "8");
  EXPECT_EQ(DeckSpindleSpacingOf(ds), 8);
  type("railHeightText", "40");
  EXPECT_EQ(DeckRailingHeightOf(ds), 40);
  click("skirtingButton");
  EXPECT_EQ(ds->deckSkirting, 0);
  EXPECT_EQ(DeckSpindleSpacingOf(deck), 6);
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

}  // namespace
