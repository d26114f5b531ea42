// The key entry sheets opened the way the key-entry tools open them.
// The model's records name a field like a Qt keyword: they come before any Qt header.
#include "model/Attachments.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QTest>
#include <QToolButton>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/EditToolPaletteController.h"
#include "app/ZLKDocumentView.h"

#include "app/Win32EventHandler.h"
#include "files/DesignFile.h"
#include "inspectors/KeyEntryControllers.h"
#include "inspectors/SheetTestSupport.h"
#include "model/Delete.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "platform/Alerts.h"
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

  // The segment before the closing one, its end moving: the first point follows round.
  Objex* ring = addLine({0, feet(10), feet(10), 0}, true);
  Poinz* before = point(ring, 2);
  Poinz* end = last(ring);
  Poinz* first = point(ring, 0);
  const float firstX = first->position[0], firstZ = first->position[2];
  const float endX = end->position[0], endZ = end->position[2];
  before->keyEntryMark = end->keyEntryMark = 0;
  resize(ring, before, end, "8'", 2, true);
  const float ex = end->position[0] - endX, ez = end->position[2] - endZ;
  EXPECT_GT(std::hypot(ex, ez), 1);
  EXPECT_NEAR(first->position[0] - firstX, ex, 1e-3);
  EXPECT_NEAR(first->position[2] - firstZ, ez, 1e-3);

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

// About the centre with the link box on and off: a middle segment of an open line, 10' grown
// to 12' and shrunk to 8'. Both ends move half the change each way; linked, each end's
// outer neighbour moves as far as its end, unlinked it stays.
TEST_F(KeyEntrySheets, AboutTheCentreTheLinkedNeighboursFollowTheirOwnEnds) {
  struct Row {
    const char* length;
    bool linked;
    float first, start, end, last;  // feet, after the resize
  };
  const Row rows[] = {
      {"12'", true, -1, 9, 21, 31},
      {"12'", false, 0, 9, 21, 30},
      {"8'", true, 1, 11, 19, 29},
      {"8'", false, 0, 11, 19, 30},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.length << (r.linked ? " linked" : " alone"));
    Objex* line = addLine({0, feet(10), feet(20), feet(30)});
    resize(line, point(line, 1), point(line, 2), r.length, 1, r.linked);
    const float expected[4] = {r.first, r.start, r.end, r.last};
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(point(line, i)->position[0], feet(expected[i]), 1e-2) << i;
      EXPECT_NEAR(point(line, i)->position[2], 0, 1e-3) << i;
    }
  }
}

// A length that moves no point stores no undo step: undoing it would change nothing.
TEST_F(KeyEntrySheets, UnchangedOrNonPositiveLengthsMoveNothing) {
  Objex* line = addLine({0, feet(10)});
  Poinz* a = point(line, 0);
  Poinz* b = point(line, 1);
  for (const char* typed : {"10'", "-5'", "0", "-0", "-96", "-0'"}) {
    for (int location = 1; location <= 3; ++location) {
      doc->undoManager().removeAllActions();
      resize(line, a, b, typed, location, location == 2);
      EXPECT_NEAR(a->position[0], 0, 1e-3) << typed;
      EXPECT_NEAR(b->position[0], feet(10), 1e-3) << typed;
      EXPECT_FALSE(anyUndo()) << typed << " " << location << ": " << lastUndo();
    }
  }
  // A length that moves the points stores its step.
  doc->undoManager().removeAllActions();
  resize(line, a, b, "11'", 3, false);
  EXPECT_NEAR(b->position[0], feet(11), 1e-3);
  EXPECT_EQ(lastUndo(), "Resize Segment");
  // Cancel deselects too and stores nothing.
  doc->undoManager().removeAllActions();
  a->selected = 1;
  Win32EventHandler::sharedEventHandler()->keyEntrySheetForObject(line, a, b);
  cancel();
  EXPECT_FALSE(a->selected);
  EXPECT_FALSE(anyUndo());
}

// A typed length that would put a point of the segment, or a linked neighbour, past the plan's
// limits (1,000,000 plan units from the origin) is refused with an alert and changes nothing;
// one that keeps every point inside is taken. Each point that moves ends 10 plan units past
// the limit or 10 inside it. Along x and z, both ways, in an imperial and a metric design at
// different plan scales.
TEST_F(KeyEntrySheets, LengthsThatWouldLeaveThePlanAreRefused) {
  struct Row {
    const char* name;
    std::vector<float> at;  // the points along the axis, plan units
    int segment;            // the segment's start point
    float grow;             // plan units the typed length adds to the segment's 120
    int location;
    int16_t mark;  // the segment start's handle colour
    bool linked;
    bool refused;
  };
  const Row rows[] = {
      {"end past", {5000, 5120}, 0, 994890, 2, 0, false, true},
      {"end inside", {5000, 5120}, 0, 994870, 3, 1, false, false},
      {"start past", {-985000, -984880}, 0, 15010, 2, 1, false, true},
      {"start inside", {-985000, -984880}, 0, 14990, 3, -1, false, false},
      {"both ends, the end past", {985000, 985120}, 0, 29780, 1, 0, false, true},
      {"both ends inside", {985000, 985120}, 0, 29740, 1, 0, true, false},
      {"linked neighbour after past", {0, 120, 950000}, 0, 50010, 2, 0, true, true},
      {"linked neighbour after inside", {0, 120, 950000}, 0, 49990, 2, 0, true, false},
      {"neighbour after not linked", {0, 120, 950000}, 0, 50010, 2, 0, false, false},
      {"linked neighbour before past", {-950000, 0, 120}, 1, 50010, 3, -1, true, true},
      {"linked neighbour before inside", {-950000, 0, 120}, 1, 49990, 3, -1, true, false},
      {"neighbour before not linked", {-950000, 0, 120}, 1, 50010, 3, -1, false, false},
  };
  const char* refusal = "Unable to resize the objects.";
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    ds->measureSystem = system;
    ds->planScale = system == kMeasureImperial ? 36 : 100;
    const float unitsPerInch = ConvertWorldToScreen(1, ds, 0);
    for (const int axis : {0, 2}) {
      for (const float sign : {1.0f, -1.0f}) {
        for (const Row& r : rows) {
          SCOPED_TRACE(::testing::Message() << r.name << " axis " << axis << " sign " << sign << " system " << system);
          RGBColor black{};
          Objex* line = CreateObject(kObjLine, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr);
          for (float v : r.at) {
            const float x = axis == 0 ? sign * v : 0, z = axis == 2 ? sign * v : 0;
            AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, line), line);
          }
          line->planMask = 2;
          AppendObjectToLayer(line, model->itsCurLayer);
          Poinz* a = point(line, r.segment);
          Poinz* b = a->next;
          a->keyEntryMark = r.mark;
          b->keyEntryMark = static_cast<int16_t>(-r.mark);
          std::vector<std::array<float, 3>> before;
          for (Poinz* p = line->firstPoint; p; p = p->next)
            before.push_back({p->position[0], p->position[1], p->position[2]});
          const double inches = (120.0 + r.grow) / unitsPerInch;
          const QString typed = system == kMeasureImperial ? QString::number(inches, 'f', 4) + "\""
                                                           : QString::number(inches * 25.4, 'f', 3) + "mm";
          doc->undoManager().removeAllActions();
          ScopedAlertRecorder alerts;
          resize(line, a, b, typed, r.location, r.linked);
          EXPECT_EQ(alerts.sawMessage(refusal), r.refused);
          if (r.refused) {
            size_t i = 0;
            for (Poinz* p = line->firstPoint; p; p = p->next, ++i)
              for (int k = 0; k < 3; ++k) EXPECT_EQ(p->position[k], before[i][k]) << i;
            EXPECT_FALSE(anyUndo());
          } else {
            // (Metric lengths are read to about 2 parts in a million.)
            EXPECT_NEAR(GetLineLength(a->position[0], a->position[2], b->position[0], b->position[2]), 120 + r.grow,
                        1e-5f * (120 + r.grow));
            EXPECT_EQ(lastUndo(), "Resize Segment");
          }
          DeleteLayerObjects(model->itsCurLayer);
        }
      }
    }
  }
}

// The reported design: one wall from (5000, 0) to (5120, 0) plan units in an imperial design
// at 2 plan units an inch. 499950" on its green end put the end at x = 1,004,900, and the next
// redo or reopening lost the wall. Both key entry sheets refuse it; a length inside the plan is
// kept through undo, redo, save and open.
TEST_F(KeyEntrySheets, TheReportedWallPastThePlanIsRefusedAndALengthInsideIsKept) {
  namespace fs = std::filesystem;
  const fs::path kept = fs::path(__FILE__).parent_path().parent_path() / "files" / "data" / "regressions";
  const std::string path = file("start.pro");
  fs::copy_file(kept / "resize-past-plan-start.pro", path, fs::copy_options::overwrite_existing);
  ScopedAlertRecorder alerts;
  ASSERT_TRUE(doc->readFromFile(path, "pro"));
  ASSERT_TRUE(alerts.shown.empty());
  ds = model->itsDocState;
  const auto endX = [&]() {
    Objex* w = theOnlyWall();
    return w && w->firstPoint && w->firstPoint->next ? w->firstPoint->next->position[0] : NAN;
  };
  Objex* wall = theOnlyWall();
  ASSERT_NE(wall, nullptr);
  ASSERT_EQ(wall->firstPoint->position[0], 5000);
  ASSERT_EQ(endX(), 5120);
  const char* refusal = "Unable to resize the objects.";
  for (const bool linked : {false, true}) {
    doc->undoManager().removeAllActions();
    alerts.shown.clear();
    resize(wall, wall->firstPoint, wall->firstPoint->next, "499950\"", 3, linked);
    EXPECT_TRUE(alerts.sawMessage(refusal)) << linked;
    EXPECT_EQ(wall->firstPoint->position[0], 5000);
    EXPECT_EQ(endX(), 5120);
    EXPECT_FALSE(anyUndo());
  }
  // The Wall Length sheet of the key-entry wall tools.
  alerts.shown.clear();
  gCurTool = kToolExteriorWallKeyEntry;
  ASSERT_TRUE(WallKeyEntryController::newWallKeyEntrySheetForParent(window, wall->firstPoint,
                                                                      wall->firstPoint->next, wall));
  sheet<WallKeyEntryController>()->lengthText->setText("499950\"");
  ok();
  gCurTool = kToolSelection;
  EXPECT_TRUE(alerts.sawMessage(refusal));
  EXPECT_EQ(endX(), 5120);

  // A length inside: an edit, undo, redo, save and open.
  doc->undoManager().removeAllActions();
  alerts.shown.clear();
  resize(wall, wall->firstPoint, wall->firstPoint->next, "200\"", 3, false);
  EXPECT_EQ(endX(), 5400);
  EXPECT_EQ(lastUndo(), "Resize Segment");
  ASSERT_TRUE(doc->undoManager().undo());
  EXPECT_EQ(endX(), 5120);
  ASSERT_TRUE(doc->undoManager().redo());
  EXPECT_EQ(endX(), 5400);
  const std::string saved = file("saved.pro");
  ASSERT_EQ(KeyFileWrite(saved.c_str()), 1);
  ASSERT_TRUE(doc->readFromFile(saved, "pro"));
  EXPECT_EQ(endX(), 5400);
  EXPECT_TRUE(alerts.shown.empty());
}

// The Wall Length sheet moves a wall's end along its line: a length that puts the end 10 plan
// units past the plan's limit is refused with the alert and the wall stays as drawn; one that
// puts it 10 inside is taken. Walls along x and z, running towards either limit, in an
// imperial and a metric design at different plan scales.
TEST_F(KeyEntrySheets, TheWallLengthSheetRefusesAnEndPastThePlanOnEitherAxisAndSide) {
  const char* refusal = "Unable to resize the objects.";
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    ds->measureSystem = system;
    ds->planScale = system == kMeasureImperial ? 48 : 50;
    const float unitsPerInch = ConvertWorldToScreen(1, ds, 0);
    for (const int axis : {0, 2}) {
      for (const float sign : {1.0f, -1.0f}) {
        for (const float end : {1000010.0f, 999990.0f}) {
          const bool refused = end > 1e6f;
          SCOPED_TRACE(::testing::Message() << "end " << end << " axis " << axis << " sign " << sign << " system "
                                            << system);
          RGBColor black{};
          Objex* wall = CreateObject(kObjWall, 0, 1, &black, &black, 4, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr);
          for (const float v : {5000.0f, 5120.0f}) {
            const float x = axis == 0 ? sign * v : 0, z = axis == 2 ? sign * v : 0;
            Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, wall);
            p->segmentFloats[0] = 96;  // wall height
            AppendPointToObject(p, wall);
          }
          wall->width = 4;
          wall->planMask = ds->currentPlanMask;
          AppendObjectToLayer(wall, model->itsCurLayer);
          Poinz* a = wall->firstPoint;
          Poinz* b = a->next;
          const std::array<float, 3> startBefore{a->position[0], a->position[1], a->position[2]};
          const std::array<float, 3> endBefore{b->position[0], b->position[1], b->position[2]};
          const double inches = (end - 5000.0) / unitsPerInch;
          const QString typed = system == kMeasureImperial ? QString::number(inches, 'f', 4) + "\""
                                                           : QString::number(inches * 25.4, 'f', 3) + "mm";
          ScopedAlertRecorder alerts;
          gCurTool = kToolExteriorWallKeyEntry;
          ASSERT_TRUE(WallKeyEntryController::newWallKeyEntrySheetForParent(window, a, b, wall));
          sheet<WallKeyEntryController>()->lengthText->setText(typed);
          ok();
          gCurTool = kToolSelection;
          EXPECT_EQ(alerts.sawMessage(refusal), refused);
          EXPECT_EQ((std::array<float, 3>{a->position[0], a->position[1], a->position[2]}), startBefore);
          const std::array<float, 3> endAfter{b->position[0], b->position[1], b->position[2]};
          if (refused) {
            EXPECT_EQ(endAfter, endBefore);
          } else {
            // (Metric lengths are read to about 2 parts in a million.)
            EXPECT_NEAR(endAfter[axis], sign * end, 3);
            EXPECT_NEAR(endAfter[2 - axis], 0, 0.1f);
          }
          DeleteLayerObjects(model->itsCurLayer);
        }
      }
    }
  }
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
    EXPECT_EQ(anyUndo(), std::string(typed) == "13'") << typed;
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

// A length typed for a wall segment refits the wall's doors and windows: each keeps its
// distance from its segment's start point, so it follows that point when it moves and stays
// put when only the far end moves. Wall A-B-C along x (0', 10', 20'): a 3' door 3' from A on
// A-B, a 2' window 4' from B on B-C, each with its two jamb points and its centre point.
TEST_F(KeyEntrySheets, DoorsAndWindowsAreRefittedWhereTheTypedLengthLeavesTheirSegments) {
  enum Sheet { kResize, kWallLength };
  struct Row {
    const char* name;
    Sheet sheet;
    int segment;  // 0: A-B, 1: B-C
    const char* length;
    int location;
    int16_t mark;  // the start point's handle colour
    bool linked;
    float door, window;  // centres after the edit, feet
  };
  const Row rows[] = {
      {"A-B about its centre", kResize, 0, "12'", 1, 0, false, 2, 15},
      {"A-B, start moves", kResize, 0, "12'", 2, 1, false, 1, 14},
      {"A-B, end moves", kResize, 0, "12'", 2, 0, false, 3, 16},
      {"A-B shrunk, end moves, linked", kResize, 0, "8'", 3, 1, true, 3, 12},
      {"B-C, start moves, linked", kResize, 1, "13'", 2, 1, true, 0, 11},
      {"wall length of A-B", kWallLength, 0, "12'", 0, 0, false, 3, 16},
      {"wall length of B-C", kWallLength, 1, "7'", 0, 0, false, 3, 14},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Objex* wall = addLine({0, feet(10), feet(20)});
    wall->type = kObjWall;
    wall->width = 4;
    for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;  // wall height
    auto opening = [&](int16_t type, int16_t subtype, int segment, float distance, float width) {
      auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
      data->ownerType = type;
      data->subtype = subtype;
      data->anchorStart = point(wall, segment);
      data->anchorEnd = point(wall, segment + 1);
      data->startDistance = feet(distance);
      data->width = feet(width);
      data->height = 10;
      const RGBColor white{65535, 65535, 65535};
      Objex* o = CreateObject(type, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall, wall->layer, data);
      for (int i = 0; i < 3; ++i) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
      AppendChildToObject(o, wall);
      return o;
    };
    Objex* door = opening(kObjDoor, kDoorHinged, 0, 3, 3);
    Objex* glazing = opening(kObjWindow, kWindowRectangular, 1, 4, 2);
    UpdateAllWallAttachments(wall);
    Poinz* a = point(wall, r.segment);
    Poinz* b = point(wall, r.segment + 1);
    a->keyEntryMark = r.mark;
    b->keyEntryMark = static_cast<int16_t>(-r.mark);
    if (r.sheet == kResize) {
      resize(wall, a, b, r.length, r.location, r.linked);
    } else {
      WallKeyEntryController::newWallKeyEntrySheetForParent(window, a, b, wall);
      auto* s = sheet<WallKeyEntryController>();
      ASSERT_NE(s, nullptr);
      s->lengthText->setText(r.length);
      ok();
    }
    int children = 0;
    for (Objex* c = wall->firstChild; c; c = c->next) ++children;
    ASSERT_EQ(children, 2);
    const struct {
      Objex* o;
      float centre, width;
    } fitted[] = {{door, r.door, 3}, {glazing, r.window, 2}};
    for (const auto& f : fitted) {
      SCOPED_TRACE(f.o == door ? "door" : "window");
      Poinz* jamb1 = f.o->firstPoint;
      Poinz* jamb2 = jamb1->next;
      EXPECT_NEAR(jamb1->position[0], feet(f.centre - f.width / 2), 1e-2);
      EXPECT_NEAR(jamb2->position[0], feet(f.centre + f.width / 2), 1e-2);
      EXPECT_NEAR(jamb1->position[2], 0, 1e-3);
      EXPECT_NEAR(jamb2->position[2], 0, 1e-3);
      EXPECT_NEAR(jamb2->next->position[0], feet(f.centre), 1e-2);
      // What is left of its segment past its centre, as the next refit and the 3D wall read it.
      const DoorWindowData* d = AttachmentData(f.o);
      const float length = std::fabs(d->anchorEnd->position[0] - d->anchorStart->position[0]);
      EXPECT_NEAR(d->remainingLength, length - d->startDistance, 1e-2);
    }
    DeleteLayerObjects(model->itsCurLayer);
  }
}


TEST_F(WallKeyEntrySheet, TypedLengthMovesTheEndAndEveryDismissalStoresTheToolStep) {
  struct Case {
    uint16_t tool;
    bool okPressed;
    const char* typed;
    float endX;  // feet
    const char* undo;
    float planScale;  // plan units are 72 / scale per inch
  };
  const Case cases[] = {
      {kToolExteriorWallKeyEntry, false, "20'", 10, "Exterior Wall Tool", 96},
      {kToolInteriorWallKeyEntry, true, "15'", 15, "Interior Wall Tool", 48},
      {kToolExteriorWallKeyEntry, true, "-5'", 10, "Exterior Wall Tool", 24},
      {kToolInteriorWallKeyEntry, true, "10'", 10, "Interior Wall Tool", 36},
      {kToolExteriorWallKeyEntry, true, "7'", 7, "Exterior Wall Tool", 96},
  };
  for (const Case& c : cases) {
    doc->undoManager().removeAllActions();
    ds->planScale = c.planScale;
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
    EXPECT_NEAR(b->position[0], c.endX * 12 * 72 / c.planScale, 1e-3) << c.typed;
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

// A house of exterior walls (a closed ring A-B-C-D, A-B along the top) with interior walls
// T-joined to it, each ending half the outer wall's thickness inside it: one on each side
// wall, one on the bottom wall, one on the top. The length of A-B typed in: the side walls
// that move (or turn, unlinked) keep the interior walls joined, each end sliding along its own
// wall onto the moved face; the walls on segments whose line stays keep their ends.
TEST_F(KeyEntrySheets, TJoinedInteriorWallsFollowTheOuterWallsAKeyEntryMoves) {
  struct Row {
    const char* name;
    int location;
    int16_t mark;  // A's handle colour
    bool linked;
    float grow;  // the typed length minus the drawn one, in house widths
  };
  const Row rows[] = {
      {"about the centre, linked, grown", 1, 0, true, 0.25f},
      {"about the centre, linked, shrunk", 1, 0, true, -0.2f},
      {"start moves, linked", 2, 1, true, 0.3f},
      {"end moves, linked", 2, 0, true, 0.3f},
      {"about the centre, alone", 1, 0, false, 0.25f},
      {"end moves, alone, shrunk", 3, 1, false, -0.2f},
  };
  const int16_t scales[] = {8, 9, 10, 11};
  for (const bool metric : {false, true}) {
    ds->measureSystem = metric ? kMeasureMetric : kMeasureImperial;
    for (const int16_t scale : scales)
      for (const Row& r : rows) {
        SCOPED_TRACE(std::string(metric ? "metric " : "imperial ") + std::to_string(scale) + " " + r.name);
        ds->planScaleChoice = scale;
        // 30' by 20' (9 m by 6 m), walls 8" (20 cm) thick.
        const float w = metric ? ConvertWorldToScreen(900 / 2.54f, ds, 0) : feet(30);
        const float d = metric ? ConvertWorldToScreen(600 / 2.54f, ds, 0) : feet(20);
        const float thickness = metric ? 20 / 2.54f : 8;
        Objex* house = addLine({0, w, w, 0}, true);
        house->type = kObjWall;
        house->width = thickness;
        const float corners[4][2] = {{0, 0}, {w, 0}, {w, d}, {0, d}};
        int k = 0;
        for (Poinz* p = house->firstPoint; p; p = p->next, ++k) {
          p->position[0] = corners[k][0], p->position[2] = corners[k][1];
          p->segmentFloats[0] = 96;
        }
        const float inside = ConvertWorldToScreen(thickness, ds, 0) / 2;
        auto interior = [&](float x1, float z1, float x2, float z2) {
          Objex* o = addLine({x1, x2});
          o->type = kObjWall;
          o->width = thickness / 2;
          o->firstPoint->position[2] = z1;
          o->firstPoint->next->position[2] = z2;
          for (Poinz* p = o->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;
          return o;
        };
        // Ends on the faces: left and right walls (x = 0, w), the bottom (z = d) and the top.
        Objex* left = interior(inside, d / 2, w / 3, d / 2);
        Objex* right = interior(w / 2, d / 3, w - inside, d / 3);
        Objex* bottom = interior(w / 4, d / 2, w / 4, d - inside);
        Objex* top = interior(3 * w / 4, inside, 3 * w / 4, d / 2);
        for (Objex* o : {house, left, right, bottom, top}) Update3DWall(o);
        Poinz* a = point(house, 0);
        Poinz* b = point(house, 1);
        a->keyEntryMark = r.mark;
        b->keyEntryMark = static_cast<int16_t>(-r.mark);
        const float typed = ConvertScreenToWorld(w * (1 + r.grow), ds, 0);
        const QString length = metric ? QString::number(typed * 2.54, 'f', 3) + " cm" : QString::number(typed, 'f', 4) + "\"";
        resize(house, a, b, length, r.location, r.linked);
        ASSERT_NEAR(b->position[0] - a->position[0], w * (1 + r.grow), 0.05f);

        // Each joined end: half a thickness inside its outer wall's segment, measured along
        // its own wall, and on the same side; the interior walls' other ends stay.
        auto expectJoined = [&](Objex* o, bool joinedFirst, Poinz* outer1, Poinz* outer2, const char* which) {
          Poinz* end = joinedFirst ? o->firstPoint : o->firstPoint->next;
          Poinz* other = joinedFirst ? o->firstPoint->next : o->firstPoint;
          float ix = 0, iz = 0;
          GetIntersection(end->position[0], end->position[2], other->position[0], other->position[2],
                          outer1->position[0], outer1->position[2], outer2->position[0], outer2->position[2], &ix,
                          &iz);
          EXPECT_NEAR(std::hypot(end->position[0] - ix, end->position[2] - iz), inside, 0.05f) << which;
          EXPECT_LT(std::hypot(other->position[0] - ix, other->position[2] - iz),
                    std::hypot(other->position[0] - end->position[0], other->position[2] - end->position[2]) +
                        inside + 0.05f)
              << which;
        };
        expectJoined(left, true, point(house, 3), point(house, 0), "left");
        expectJoined(right, false, point(house, 1), point(house, 2), "right");
        expectJoined(bottom, false, point(house, 2), point(house, 3), "bottom");
        expectJoined(top, true, point(house, 0), point(house, 1), "top");
        // The ends away from the outer walls never move.
        EXPECT_NEAR(left->firstPoint->next->position[0], w / 3, 1e-3);
        EXPECT_NEAR(right->firstPoint->position[0], w / 2, 1e-3);
        EXPECT_NEAR(bottom->firstPoint->position[2], d / 2, 1e-3);
        EXPECT_NEAR(top->firstPoint->next->position[2], d / 2, 1e-3);
        // The wall on the bottom and the one on the top keep their ends: those lines stay.
        EXPECT_NEAR(bottom->firstPoint->next->position[2], d - inside, 1e-3);
        EXPECT_NEAR(bottom->firstPoint->next->position[0], w / 4, 1e-3);
        EXPECT_NEAR(top->firstPoint->position[2], inside, 1e-3);
        DeleteLayerObjects(model->itsCurLayer);
      }
  }
}

namespace {

using KeyEntryRoads = PlanViewSheetTest;

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
