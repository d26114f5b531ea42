// Typed lengths, pitches and angles in imperial and metric designs: every entry reads as what it
// plainly means or is refused with the forms its field takes, never as another number in
// silence; through the parsers, the staircase pane and the move and rotate sheets.
// Model headers first: they name fields like the Qt keyword macros.
#include "model/DocState.h"
#include "model/Globals.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/StairFields.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "InspectorTestSupport.h"
#include "app/PlanViewActions.h"
#include "inspectors/MoveObjectsController.h"
#include "inspectors/RotateObjectsController.h"
#include "inspectors/SheetController.h"
#include "inspectors/SheetTestSupport.h"
#include "inspectors/ValueFields.h"
#include "model/ToolCodes.h"
#include "platform/Alerts.h"

namespace {

constexpr const char* kRefusal = "Invalid number entered.";
const std::string kDegree(1, kReadoutDegreeMark);

// The tab-separated rows of a list in data/regressions, comment lines left out.
std::vector<std::vector<std::string>> ListRows(const char* name) {
  QFile list(QString::fromStdString(
      (std::filesystem::path(__FILE__).parent_path() / "data" / "regressions" / name).string()));
  EXPECT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text)) << name;
  std::vector<std::vector<std::string>> rows;
  while (!list.atEnd()) {
    const QString line = QString::fromUtf8(list.readLine()).trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    std::vector<std::string> fields;
    for (const QString& f : line.split('\t')) fields.push_back(f.toStdString());
    rows.push_back(fields);
  }
  return rows;
}

// What an entry must do: read as a value (imperial lengths and pitches rounded to the design's
// precision, as every one is), or be refused with a reason.
struct Outcome {
  bool accepted;
  double value;
};
constexpr Outcome kRefused{false, 0};
constexpr Outcome Reads(double value) { return {true, value}; }

class TypedForms : public InspectorTest {
 protected:
  void afterDocument() override {
    InspectorTest::afterDocument();
    separator = gDecimalSeparator;
    gDecimalSeparator = '.';
  }
  void beforeClosing() override {
    gDecimalSeparator = separator;
    if (SheetController* s = SheetController::attachedSheet(window)) s->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void useSystem(int16_t system) {
    ds->measureSystem = system;
    ds->metricReadout = 0;  // millimetres
    ds->imperialReadout = 0;  // sixteenths
  }
  // An imperial value as the design's precision rounds it; metric values stay as they are.
  float rounded(double value) const {
    float v = static_cast<float>(value);
    if (ds->measureSystem == kMeasureImperial) NormalizeInputToPrecision(&v);
    return v;
  }
  // Checks the entry against its outcome, through the check and the parser behind it (which
  // reads a refused entry as no number, 0).
  void expectOutcome(const std::string& typed, NumberKind kind, const Outcome& expected) {
    SCOPED_TRACE(::testing::Message() << "\"" << typed << "\" kind " << int(kind) << " system "
                                      << ds->measureSystem);
    const TypedNumber n = CheckTypedNumber(typed, kind);
    const float parsed = kind == NumberKind::kLength  ? ParseLengthText(typed)
                         : kind == NumberKind::kPitch ? ParsePitchText(typed)
                                                      : ParseAngleText(typed, false);
    if (!expected.accepted) {
      EXPECT_FALSE(n.accepted) << "read as " << n.value;
      EXPECT_FALSE(n.reason.empty());
      EXPECT_EQ(parsed, 0.0f);
      return;
    }
    ASSERT_TRUE(n.accepted) << n.reason;
    const float value = kind == NumberKind::kAngle ? static_cast<float>(expected.value) : rounded(expected.value);
    EXPECT_FLOAT_EQ(n.value, value);
    EXPECT_FLOAT_EQ(parsed, value);
  }

  // The sheet opened through its menu item, `prepare` setting its mode, the fields typed, OK.
  template <class Sheet>
  void throughSheet(int32_t tag, const std::function<void(Sheet*)>& typeIt) {
    gCurDocument = model;
    window->planViewActions().perform(tag);
    auto* s = qobject_cast<Sheet*>(SheetController::attachedSheet(window));
    ASSERT_NE(s, nullptr);
    typeIt(s);
    PressOkThenCancelIfKept(window, s);
  }

  char separator = '.';
};

// Every row of the lists of entries that were taken as another number, in an imperial and a
// metric design (millimetres), with the entries each row names as behaving alike.
TEST_F(TypedForms, ReportedLengthsAndPitchesReadAsMeantOrAreRefused) {
  struct Expected {
    const char* kind;
    const char* typed;
    Outcome imperial;
    Outcome metric;
  };
  const Expected table[] = {
      {"length", "5'6\"", Reads(66), kRefused},
      {"length", "5'6 1/2\"", Reads(66.5), kRefused},
      {"length", "7'7", Reads(91), kRefused},
      {"length", "5 1/3", Reads(5 + 1 / 3.0), kRefused},
      {"length", "40 1/3", Reads(40 + 1 / 3.0), kRefused},
      {"length", "1/3", Reads(1 / 3.0), kRefused},
      {"length", "2/3", Reads(2 / 3.0), kRefused},
      {"length", "1/32", Reads(1 / 32.0), kRefused},
      {"length", "3/64", Reads(3 / 64.0), kRefused},
      {"length", "1/-2", kRefused, kRefused},
      {"length", "7/-2", kRefused, kRefused},
      {"length", "1/2 3", kRefused, kRefused},
      {"length", "1/2 3/4", kRefused, kRefused},
      {"length", "- 5", kRefused, kRefused},
      {"length", "1,5", kRefused, kRefused},
      {"length", "5.5.5", kRefused, kRefused},
      {"length", "5+3", kRefused, kRefused},
      {"length", "5 6 7", kRefused, kRefused},
      {"length", "5m 30cm", kRefused, kRefused},
      {"length", "1m50", kRefused, kRefused},
      {"length", "5/2", Reads(2.5), kRefused},
      {"length", "1/2", Reads(0.5), kRefused},
      {"length", "5 6", Reads(66), kRefused},
      {"length", "5-6", Reads(66), kRefused},
      {"length", "5'", Reads(60), kRefused},
      {"length", "5\"", Reads(5), kRefused},
      {"length", "5cm5", kRefused, kRefused},
      {"length", "m5", kRefused, kRefused},
      {"pitch", "5-1/2", Reads(5.5), kRefused},
      {"pitch", "5-6", kRefused, kRefused},
      {"pitch", "5'6\"", kRefused, kRefused},
      {"pitch", "5/2", kRefused, kRefused},
      {"pitch", "6/12", Reads(6), kRefused},
      {"pitch", "6:12", Reads(6), Reads(6)},
  };
  const auto find = [&](const std::string& kind, const std::string& typed) -> const Expected* {
    for (const Expected& e : table)
      if (kind == e.kind && typed == e.typed) return &e;
    return nullptr;
  };
  // Each row of the list has its outcome here.
  const std::vector<std::vector<std::string>> rows = ListRows("lengths-and-pitches.txt");
  EXPECT_GE(rows.size(), 24u);
  for (const std::vector<std::string>& row : rows) {
    ASSERT_GE(row.size(), 3u);
    EXPECT_NE(find(row[0], row[2]), nullptr) << row[0] << " " << row[2];
  }
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    useSystem(system);
    for (const Expected& e : table) {
      const NumberKind kind = std::string(e.kind) == "pitch" ? NumberKind::kPitch : NumberKind::kLength;
      expectOutcome(e.typed, kind, system == kMeasureImperial ? e.imperial : e.metric);
    }
  }
  // The refusals show the forms the field takes.
  useSystem(kMeasureImperial);
  EXPECT_EQ(CheckTypedNumber("5 6 7", NumberKind::kLength).reason,
            "Type a length as inches (6, 6.5, 6 3/4), feet and inches (5 6, 5' 6\", 5-6, 5 6 3/4) or feet (5').");
  EXPECT_EQ(CheckTypedNumber("5-6", NumberKind::kPitch).reason,
            "Type a pitch as its rise per 12 of run (6, 6.5, 6 1/2 or 1/2) or as a rise over a run (6/12, 6:12 or "
            "3:6).");
  useSystem(kMeasureMetric);
  EXPECT_EQ(CheckTypedNumber("5m 30cm", NumberKind::kLength).reason,
            "Type a length as a number in the design's unit, or with one unit: 1.5 m, 150 cm or 1500 mm.");
  EXPECT_EQ(CheckTypedNumber("5 6", NumberKind::kPitch).reason,
            "Type a pitch as its rise per 10 of run (5 or 2.5) or as a rise over a run (5/10, 5:10 or 3:6).");
  EXPECT_EQ(CheckTypedNumber("5/2", NumberKind::kPitch).reason,
            "A rise over a run other than 10 is typed with a colon: 3:6 is 5 per 10. A part of one unit of rise is a "
            "decimal: 0.5.");
  // Where decimals are written with a comma, the comma is the decimal point and the examples
  // show it.
  gDecimalSeparator = ',';
  EXPECT_NEAR(CheckTypedNumber("1,5", NumberKind::kLength).value, 1.5 * 0.03937, 1e-6);
  EXPECT_EQ(CheckTypedNumber("1,5 m 3", NumberKind::kLength).reason,
            "Type a length as a number in the design's unit, or with one unit: 1,5 m, 150 cm or 1500 mm.");
  useSystem(kMeasureImperial);
  EXPECT_FLOAT_EQ(CheckTypedNumber("1,5", NumberKind::kLength).value, 1.5f);
}

// Every row of the list of angles that were taken as another angle, in both unit systems.
TEST_F(TypedForms, ReportedAnglesReadAsMeantOrAreRefused) {
  struct Expected {
    const char* typed;
    Outcome outcome;
  };
  const Expected table[] = {
      {"1/2", Reads(0.5)},   {"22 1/2", Reads(22.5)},  {"-45 30", Reads(-45.5)}, {"1/3", Reads(1 / 3.0)},
      {"2/3", Reads(2 / 3.0)}, {"3/64", Reads(3 / 64.0)}, {"481/8", Reads(60.125)}, {"45 75", kRefused},
      {"7/-2", kRefused},    {"1,5", kRefused},        {"5.5.5", kRefused},      {"- 5", kRefused},
      // A fraction of a degree follows whole degrees only: after a decimal it would count twice.
      {"22.5 1/2", kRefused}, {"22.5 1/2\xBC", kRefused}, {"0.5 1/2", kRefused},
  };
  const std::vector<std::vector<std::string>> rows = ListRows("angles.txt");
  EXPECT_GE(rows.size(), 9u);
  for (const std::vector<std::string>& row : rows) {
    bool found = false;
    for (const Expected& e : table) found |= row[0] == e.typed;
    EXPECT_TRUE(found) << row[0];
  }
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    useSystem(system);
    for (const Expected& e : table) expectOutcome(e.typed, NumberKind::kAngle, e.outcome);
  }
  EXPECT_EQ(CheckTypedNumber("45 75", NumberKind::kAngle).reason, "The minutes of an angle must be less than 60.");
  EXPECT_EQ(CheckTypedNumber("7/-2", NumberKind::kAngle).reason,
            "Type an angle as degrees (45, 22.5, 22 1/2) or degrees and minutes (45 30, 45\xC2\xB0 30').");
  // A degrees-only reading takes no second number rather than dropping it.
  EXPECT_FLOAT_EQ(ParseAngleText("22 1/2", true), 22.5f);
  EXPECT_FLOAT_EQ(ParseAngleText("45 30", true), 0);
}

// A pitch typed as a rise over a run is that rise over that run, never a fraction of a rise: the
// field shows its run beside it (": 12", metric ": 10"), and "6/12" or "6:12" beside ": 12" is a
// rise of 6. A colon takes any run ("3:6" is 6 per 12); a lone fraction over another run could be
// either and is refused; the plain forms keep their reading. The check and the parser agree.
TEST_F(TypedForms, PitchesTypedAsARiseOverARunReadAsThatRise) {
  struct Row {
    const char* typed;
    Outcome imperial, metric;  // per 12 of run, as stored
  };
  const Row rows[] = {
      {"6/12", Reads(6), kRefused},       {"6:12", Reads(6), Reads(6)},          {"6 : 12", Reads(6), Reads(6)},
      {"6: 12", Reads(6), Reads(6)},      {"6.5/12", Reads(6.5), kRefused},      {"6 1/2:12", Reads(6.5), kRefused},
      {"6-1/2 : 12", Reads(6.5), kRefused}, {"1/2:12", Reads(0.5), kRefused},   {"1/12", Reads(1), kRefused},
      {"12/12", Reads(12), kRefused},     {"0/12", Reads(0), kRefused},          {"-6/12", Reads(-6), kRefused},
      {"3:6", Reads(6), Reads(6)},        {"4:16", Reads(3), Reads(3)},          {"5:10", Reads(6), Reads(6)},
      {"5/10", kRefused, Reads(6)},       {"2.5/10", kRefused, Reads(3)},        {"1.5:2.5", Reads(7.2), Reads(7.2)},
      // The plain forms as before.
      {"6", Reads(6), Reads(7.2)},        {"6 1/2", Reads(6.5), kRefused},       {"1/2", Reads(0.5), kRefused},
      {"3/4", Reads(0.75), kRefused},     {"5/16", Reads(0.3125), kRefused},     {"15/16", Reads(0.9375), kRefused},
      {"6 1/3", Reads(6 + 1 / 3.0), kRefused},
      // A fraction over another run, no run, a second run, a run that is no number.
      {"3/6", kRefused, kRefused},        {"1/3", kRefused, kRefused},           {"6/1", kRefused, kRefused},
      {"6/10", kRefused, Reads(7.2)},       {"6.5/6", kRefused, kRefused},         {"6:0", kRefused, kRefused},
      {"6:", kRefused, kRefused},         {":12", kRefused, kRefused},           {"6:12:12", kRefused, kRefused},
      {"6/12/12", kRefused, kRefused},    {"6:1/2", kRefused, kRefused},         {"6 1/2/12", kRefused, kRefused},
      {"6:-12", kRefused, kRefused},      {"6/12 1/2", kRefused, kRefused},      {"6 :12 in", kRefused, kRefused},
      {"6:1e999", kRefused, kRefused},    {"1e999:1e999", kRefused, kRefused},   {"6'/12", kRefused, kRefused},
      // A fraction no readout writes for a part of a unit is a rise over another run as much:
      // refused, never read as the part of a unit it would be.
      {"12/16", kRefused, kRefused},      {"2/4", kRefused, kRefused},           {"5/2", kRefused, kRefused},
      {"16/16", kRefused, kRefused},      {"2/4:12", kRefused, kRefused},        {"8/16:12", kRefused, kRefused},
  };
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    useSystem(system);
    for (const Row& row : rows) {
      SCOPED_TRACE(::testing::Message() << "\"" << row.typed << "\" system " << system);
      const Outcome& expected = system == kMeasureImperial ? row.imperial : row.metric;
      const TypedNumber n = CheckTypedNumber(row.typed, NumberKind::kPitch);
      const float parsed = ParsePitchText(row.typed);
      if (!expected.accepted) {
        EXPECT_FALSE(n.accepted) << "read as " << n.value;
        EXPECT_FALSE(n.reason.empty());
        EXPECT_EQ(parsed, 0.0f);
        continue;
      }
      ASSERT_TRUE(n.accepted) << n.reason;
      EXPECT_NEAR(n.value, rounded(expected.value), 1e-5);
      EXPECT_EQ(parsed, n.value);
    }
  }
  // The refusals say how to type a rise over another run.
  useSystem(kMeasureImperial);
  EXPECT_EQ(CheckTypedNumber("3/6", NumberKind::kPitch).reason,
            "A rise over a run other than 12 is typed with a colon: 3:6 is 6 per 12. A part of one unit of rise is a "
            "fraction in lowest terms below one, over 2, 4, 8 or 16: 1/2, 3/8.");
  EXPECT_EQ(CheckTypedNumber("6:0", NumberKind::kPitch).reason, "The run of a pitch must be more than zero.");
  useSystem(kMeasureMetric);
  EXPECT_EQ(CheckTypedNumber("6/12", NumberKind::kPitch).reason,
            "A rise over a run other than 10 is typed with a colon: 3:6 is 5 per 10. A part of one unit of rise is a "
            "decimal: 0.5.");
}

// Every entry of the list of pitch forms tried, in both unit systems: a rise over a run of 16 or 8
// is never read as a part of one unit of rise; the readout's fractions keep that reading.
TEST_F(TypedForms, ReportedPitchFormsReadAsARiseOverTheirRunOrAreRefused) {
  struct Row {
    const char* typed;
    Outcome imperial, metric;  // per 12 of run, as stored
  };
  const Row table[] = {
      {"6/12", Reads(6), kRefused},          {"6/12:12", kRefused, kRefused},     {"-6:12", Reads(-6), Reads(-6)},
      {"6:1e-30", kRefused, kRefused},       {"1e30:1e-30", kRefused, kRefused},  {"6 : 12", Reads(6), Reads(6)},
      {"12/12", Reads(12), kRefused},        {"8/16", kRefused, kRefused},        {"6-1/2:12", Reads(6.5), kRefused},
      {"0:12", Reads(0), Reads(0)},          {"6:0", kRefused, kRefused},         {"6:12", Reads(6), Reads(6)},
      {"1/3", kRefused, kRefused},           {"5 1/3", Reads(5 + 1 / 3.0), kRefused},
      {"6 6/12", Reads(6.5), kRefused},      {"6:1e400", kRefused, kRefused},
      {"9999999:0.0000001", kRefused, kRefused},                                  {"3:6", Reads(6), Reads(6)},
      {"6 1/2:12", Reads(6.5), kRefused},    {"1/2:12", Reads(0.5), kRefused},    {"6.5/12", Reads(6.5), kRefused},
      {"5/10", kRefused, Reads(6)},          {"5:10", Reads(6), Reads(6)},        {"3/6", kRefused, kRefused},
      {"4/8", kRefused, kRefused},           {"2/4", kRefused, kRefused},         {"6/8", kRefused, kRefused},
      {"12/16", kRefused, kRefused},         {"3/4", Reads(0.75), kRefused},
  };
  const std::vector<std::vector<std::string>> lines = ListRows("pitch-forms.txt");
  EXPECT_EQ(lines.size(), std::size(table));
  for (const std::vector<std::string>& line : lines) {
    ASSERT_EQ(line.size(), 1u);
    const Row* row = nullptr;
    for (const Row& r : table)
      if (line[0] == r.typed) row = &r;
    ASSERT_NE(row, nullptr) << line[0];
    for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
      useSystem(system);
      const Outcome& expected = system == kMeasureImperial ? row->imperial : row->metric;
      if (expected.accepted) {
        expectOutcome(row->typed, NumberKind::kPitch, expected);
        continue;
      }
      // Refused by the check (a pitch past the limit still parses as the number it is).
      const TypedNumber n = CheckTypedNumber(row->typed, NumberKind::kPitch);
      EXPECT_FALSE(n.accepted) << "\"" << row->typed << "\" system " << system << " read as " << n.value;
      EXPECT_FALSE(n.reason.empty()) << row->typed;
    }
  }
  useSystem(kMeasureImperial);
  for (const char* typed : {"8/16", "6/8"})
    EXPECT_EQ(CheckTypedNumber(typed, NumberKind::kPitch).reason,
              "A rise over a run other than 12 is typed with a colon: 3:6 is 6 per 12. A part of one unit of rise is a "
              "fraction in lowest terms below one, over 2, 4, 8 or 16: 1/2, 3/8.");
}

// Every pitch field takes a rise over its run: the roof tool's, a generated roof's, a roof
// panel's, and both pitches of a wall and of the wall tool, in imperial and metric designs.
TEST_F(TypedForms, EveryPitchFieldTakesARiseOverItsRun) {
  struct Field {
    const char* pane;
    const char* field;
    std::function<float()> stored;
  };
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    useSystem(system);
    const bool metric = system == kMeasureMetric;
    Objex* roof = addSquare(kObjRoof);
    roof->width = 10;
    Objex* panel = addSquare(kObjRoofPanel, false);
    panel->width = 10;
    Objex* wall = add(kObjWall, {{0, 200}, {100, 200}}, false, false);
    wall->width = 4;
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      WallStyleOf(p) = 1;
      WallHeightOf(p) = 96;
      PitchAOf(p) = PitchBOf(p) = 10;
    }
    ds->wallStyle = 1;
    const auto select = [&](Objex* chosen) {
      for (Objex* o : {roof, panel, wall}) SelectObj(o, o == chosen ? kSelectOn : kSelectOff, 1);
      gCurTool = kToolSelection;
    };
    const struct {
      std::function<void()> show;
      const char* pane;
      const char* field;
      std::function<float()> stored;
    } fields[] = {
        {[&] { select(nullptr); gCurTool = kToolGableRoof; }, "Roof1Inspector", "pitchRatioText",
         [&] { return ds->newRoofPitch(); }},
        {[&] { select(roof); }, "Roof1Inspector", "pitchRatioText", [&] { return roof->width; }},
        {[&] { select(panel); }, "Roof2Inspector", "pitchRatioText", [&] { return panel->width; }},
        {[&] { select(wall); }, "WallObjectInspector", "wallPitchAText", [&] { return PitchAOf(wall->firstPoint); }},
        {[&] { select(wall); }, "WallObjectInspector", "wallPitchBText", [&] { return PitchBOf(wall->firstPoint); }},
        {[&] { select(nullptr); gCurTool = kToolInteriorWall; }, "WallToolInspector", "wallPitchAText",
         [&] { return WallPitchAOf(ds); }},
        {[&] { select(nullptr); gCurTool = kToolInteriorWall; }, "WallToolInspector", "wallPitchBText",
         [&] { return WallPitchBOf(ds); }},
    };
    for (const auto& f : fields) {
      SCOPED_TRACE(::testing::Message() << f.pane << " " << f.field << " system " << system);
      f.show();
      update();
      ASSERT_EQ(shownName(), f.pane);
      // Beside ": 12" 6/12 is a rise of 6; beside ": 10" 5/10 is 6 per 12.
      for (const char* typed : {metric ? "5/10" : "6/12", "3:6", metric ? "5" : "6", metric ? "4:8" : "1:2"}) {
        ScopedAlertRecorder alerts;
        type(f.field, QString::fromLatin1(typed));
        EXPECT_NEAR(f.stored(), 6, 1e-4) << typed;
        EXPECT_TRUE(alerts.shown.empty()) << typed;
        type(f.field, metric ? "2.5" : "3");  // another pitch between the entries
        EXPECT_NEAR(f.stored(), 3, 1e-4);
      }
      if (!metric) {
        type(f.field, "1/2");
        EXPECT_NEAR(f.stored(), 0.5, 1e-4);
      }
      // "3/6" and "8/16" may be half a unit or a rise over a run of 6 or 16: refused, the pitch kept.
      type(f.field, metric ? "2.5" : "3");
      for (const char* typed : {"3/6", "8/16"}) {
        ScopedAlertRecorder alerts;
        type(f.field, typed);
        EXPECT_TRUE(alerts.sawMessage(kRefusal)) << typed;
        EXPECT_NEAR(f.stored(), 3, 1e-4) << typed;
      }
    }
    select(nullptr);
    update();
  }
}

// Entries built from every documented form with random numbers read as the form's value within
// the design's precision, at every imperial precision and metric readout unit and with either
// decimal separator; the same entries spoilt (a second decimal point, a stray sign, a trailing
// token, mixed units, a signed denominator) are refused.
TEST_F(TypedForms, GeneratedEntriesReadAsTheirFormOrAreRefused) {
  std::mt19937 rng(20240611);
  const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  char point = '.';
  // A decimal with two places, as the user writes it.
  const auto decimal = [&](int hundredths) {
    std::string text = std::to_string(hundredths / 100) + point;
    const int rest = hundredths % 100;
    return text + (rest < 10 ? "0" : "") + std::to_string(rest);
  };
  int accepted = 0, refused = 0;
  const auto expectReads = [&](const std::string& text, NumberKind kind, double value, double tolerance) {
    SCOPED_TRACE(::testing::Message() << "\"" << text << "\" kind " << int(kind) << " system " << ds->measureSystem
                                      << " imperial " << ds->imperialReadout << " metric " << ds->metricReadout
                                      << " point " << point);
    const TypedNumber n = CheckTypedNumber(text, kind);
    ASSERT_TRUE(n.accepted) << n.reason;
    EXPECT_NEAR(n.value, value, tolerance);
    ++accepted;
  };
  const auto expectRefused = [&](const std::string& text, NumberKind kind) {
    const TypedNumber n = CheckTypedNumber(text, kind);
    EXPECT_FALSE(n.accepted) << "\"" << text << "\" kind " << int(kind) << " system " << ds->measureSystem
                             << " read as " << n.value;
    EXPECT_FALSE(n.reason.empty()) << text;
    ++refused;
  };

  for (const char separatorUsed : {'.', ','}) {
    gDecimalSeparator = separatorUsed;
    point = separatorUsed;
    // Imperial lengths and pitches at each precision.
    for (const int16_t precision : {kReadoutFlagWhole, kReadoutFlagHalves, kReadoutFlagQuarters, kReadoutFlagEighths,
                                    int16_t(0)}) {
      useSystem(kMeasureImperial);
      ds->imperialReadout = precision;
      const double step = precision == kReadoutFlagWhole ? 1 : 1.0 / (precision == 0 ? 16 : precision);
      for (int i = 0; i < 60; ++i) {
        const int signKind = pick(0, 2);
        const std::string sign = signKind == 1 ? "-" : signKind == 2 ? "+" : "";
        const double s = signKind == 1 ? -1 : 1;
        const int feet = pick(0, 300), inches = pick(0, 11), hundredths = pick(0, 1199), d = pick(2, 64);
        const int n = pick(1, d - 1), mantissa = pick(1, 999), exponent = pick(-2, 1);
        const std::string F = std::to_string(feet), I = std::to_string(inches), N = std::to_string(n),
                          D = std::to_string(d), frac = N + "/" + D, M = std::to_string(mantissa);
        const double f = double(n) / d, e = mantissa * std::pow(10.0, exponent);
        const std::string E = M + "e" + (exponent >= 0 ? "+" : "") + std::to_string(exponent);
        const std::vector<std::pair<std::string, double>> lengths = {
            {I, inches},
            {I + "\"", inches},
            {decimal(hundredths), hundredths / 100.0},
            {I + " " + frac, inches + f},
            {I + "-" + frac + "\"", inches + f},
            {frac, f},
            {frac + "\"", f},
            {F + "'", feet * 12.0},
            {F + " " + I, feet * 12.0 + inches},
            {F + "-" + I, feet * 12.0 + inches},
            {F + "' " + I + "\"", feet * 12.0 + inches},
            {F + "'" + I + "\"", feet * 12.0 + inches},
            {F + "'-" + I + "\"", feet * 12.0 + inches},
            {F + " " + I + " " + frac, feet * 12.0 + inches + f},
            {F + "' " + I + " " + frac + "\"", feet * 12.0 + inches + f},
            {F + "'" + I + "-" + frac + "\"", feet * 12.0 + inches + f},
            {F + "' " + frac, feet * 12.0 + f},
            {E, e},
            {F + "-" + E, feet * 12.0 + e},
        };
        for (const auto& [text, value] : lengths)
          expectReads(sign + text, NumberKind::kLength, s * value, step / 2 + 1e-3);
        // A lone fraction of a pitch is as the readouts write a part of a unit (in lowest terms
        // over 2, 4, 8 or 16), or a rise over the run of 12.
        const int pd = 2 << pick(0, 3), pn = 2 * pick(0, pd / 2 - 1) + 1;
        const std::string pitchFraction = std::to_string(pn) + "/" + std::to_string(pd);
        const std::vector<std::pair<std::string, double>> pitches = {
            {I, inches}, {decimal(hundredths), hundredths / 100.0}, {I + " " + frac, inches + f},
            {I + "-" + frac, inches + f}, {pitchFraction, double(pn) / pd}, {E, e},
            {I + "/12", inches}, {I + ":12", inches}, {I + " " + frac + " : 12", inches + f},
            {decimal(hundredths) + ":" + D, hundredths / 100.0 * 12 / d},
        };
        for (const auto& [text, value] : pitches)
          expectReads(sign + text, NumberKind::kPitch, s * value, step / 2 + 1e-3);

        for (const std::string& bad : {
                 decimal(hundredths) + point + "5",             // a second decimal point
                 F + "+" + I, F + " +" + I, F + "' +" + I,      // a stray plus
                 "- " + I, F + " - " + I, F + " -" + I,         // a lone or inner sign
                 F + " " + I + " " + frac + " " + I,            // a fourth token
                 F + " " + I + " " + std::to_string(pick(0, 11)),  // a third that is no fraction
                 frac + " " + I, frac + " " + frac,             // anything after a lone fraction
                 F + "' " + I + "\" " + N,                      // anything after the inch mark
                 I + "\" " + frac, F + " " + I + "'",           // marks out of place
                 N + "/-" + D, I + " " + N + "/+" + D,          // a signed denominator
                 I + " cm", F + "m " + I + "cm",                // units
                 decimal(hundredths) + " " + frac,              // a fraction after a decimal
             })
          expectRefused(sign + bad, NumberKind::kLength);
        if (point == '.') expectRefused(I + "," + N, NumberKind::kLength);
        if (point == ',') expectReads(I + "." + N, NumberKind::kLength, inches + n / std::pow(10.0, N.size()),
                                      step / 2 + 1e-3);
        for (const std::string& bad : {F + "-" + I, F + "'" + I + "\"", F + " " + I, frac + " " + I,
                                       I + " " + N + "/-" + D, I + "\"", decimal(hundredths) + point + "5",
                                       F + "+" + I, "- " + I, I + ":0", I + ":" + frac, I + ":12:12",
                                       std::to_string(2 * pn) + "/" + std::to_string(2 * pd)})
          expectRefused(sign + bad, NumberKind::kPitch);
      }
    }
    // Metric lengths with each unit and in each readout unit.
    for (const int16_t readout : {kReadoutFlagMeters, kReadoutFlagCentimeters, int16_t(0)}) {
      useSystem(kMeasureMetric);
      ds->metricReadout = readout;
      const double readoutFactor = readout == kReadoutFlagMeters ? 39.37 : readout == kReadoutFlagCentimeters ? 0.3937
                                                                                                              : 0.03937;
      const std::pair<const char*, double> units[] = {{"m", 39.37}, {"cm", 0.3937}, {"mm", 0.03937}};
      for (int i = 0; i < 60; ++i) {
        const int signKind = pick(0, 2);
        const std::string sign = signKind == 1 ? "-" : signKind == 2 ? "+" : "";
        const double s = signKind == 1 ? -1 : 1;
        const int hundredths = pick(0, 99999), whole = pick(0, 999), mantissa = pick(1, 999), exponent = pick(-2, 1);
        const std::string V = decimal(hundredths), W = std::to_string(whole);
        const std::string E = std::to_string(mantissa) + "e" + std::to_string(exponent);
        const double v = hundredths / 100.0, e = mantissa * std::pow(10.0, exponent);
        const auto& [unit, factor] = units[pick(0, 2)];
        const char* otherUnit = units[pick(0, 2)].first;
        // A float's share of the value.
        const auto near = [](double value) { return 1e-6 * std::fabs(value) + 1e-5; };
        for (const auto& [text, value] : std::vector<std::pair<std::string, double>>{
                 {V, v * readoutFactor},
                 {W, whole * readoutFactor},
                 {V + " " + unit, v * factor},
                 {W + unit, whole * factor},
                 {E + " " + unit, e * factor},
             })
          expectReads(sign + text, NumberKind::kLength, s * value, near(value));
        // A metric pitch is a rise per 10 of run, a decimal.
        expectReads(sign + V, NumberKind::kPitch, s * v * 1.2, 1e-3);
        expectReads(sign + V + "/10", NumberKind::kPitch, s * v * 1.2, 1e-3);
        const double ratio = v * 12 / (whole + 1);
        expectReads(sign + V + " : " + std::to_string(whole + 1), NumberKind::kPitch, s * ratio,
                    std::max(1e-3, 1e-6 * ratio));
        for (const std::string& bad : {
                 V + " " + unit + " " + W + " " + otherUnit,  // mixed units
                 W + unit + std::to_string(pick(0, 99)),      // a number after the unit
                 V + " " + W, W + "-" + W, W + "+" + W,       // a second number
                 W + "/" + std::to_string(pick(2, 9)),        // a fraction
                 V + point + "5", "- " + V, W + "'", W + "\"",
                 std::string(unit) + W, V + " " + unit + " " + unit,
             })
          expectRefused(sign + bad, NumberKind::kLength);
        if (point == '.') expectRefused(W + "," + std::to_string(pick(0, 9)) + " " + unit, NumberKind::kLength);
        for (const std::string& bad : {W + "/" + std::to_string(pick(2, 9)), V + " " + W, W + "-" + W, W + "'"})
          expectRefused(sign + bad, NumberKind::kPitch);
      }
    }
    // Angles, the same in both systems.
    for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
      useSystem(system);
      for (int i = 0; i < 60; ++i) {
        const bool negative = pick(0, 1) == 1;
        const std::string sign = negative ? "-" : "";
        const double s = negative ? -1 : 1;
        const int degrees = pick(0, 359), minutes = pick(0, 59), hundredths = pick(0, 35999), d = pick(2, 64);
        const int n = pick(1, d - 1);
        const std::string G = std::to_string(degrees), Mi = std::to_string(minutes),
                          frac = std::to_string(n) + "/" + std::to_string(d);
        const double withMinutes = degrees + minutes / 60.0, withFraction = degrees + double(n) / d;
        const std::vector<std::pair<std::string, double>> angles = {
            {G, degrees},
            {G + kDegree, degrees},
            {decimal(hundredths), hundredths / 100.0},
            {G + " " + Mi, withMinutes},
            {G + " " + Mi + "'", withMinutes},
            {G + kDegree + " " + Mi + "'", withMinutes},
            {G + kDegree + Mi + "'", withMinutes},
            {G + " " + frac, withFraction},
            {G + " " + frac + kDegree, withFraction},
            {frac, double(n) / d},
        };
        for (const auto& [text, value] : angles) expectReads(sign + text, NumberKind::kAngle, s * value, 1e-4);
        for (const std::string& bad : {
                 G + " " + std::to_string(pick(60, 999)),          // minutes past 59
                 G + " " + Mi + " " + std::to_string(pick(0, 59)),  // seconds
                 G + " " + std::to_string(n) + "/-" + std::to_string(d),
                 decimal(hundredths) + point + "5", "- " + G, G + "+" + Mi, G + " -" + Mi,
                 decimal(hundredths) + " " + Mi,  // minutes after a decimal
                 decimal(hundredths) + " " + frac,  // a fraction after a decimal
                 G + kDegree + " " + frac,         // a fraction after the degree mark
             })
          expectRefused(sign + bad, NumberKind::kAngle);
        if (point == '.') expectRefused(G + "," + Mi, NumberKind::kAngle);
      }
    }
  }
  EXPECT_GT(accepted, 10000);
  EXPECT_GT(refused, 10000);
}

// The staircase pane's width, typed: "3'6\"" set 36" and "40 1/3" 40". Each reads as meant in
// an imperial design, and a refused entry alerts, keeps the width and shows it again.
TEST_F(TypedForms, StaircaseWidthReadsFeetInchesAndFractions) {
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    useSystem(system);
    Objex* stair = add(kObjStaircase, {{0, 0}, {100, 0}, {100, 40}, {0, 40}}, true);
    StairWidthOf(stair) = 48;
    update();
    ASSERT_EQ(shownName(), "StairInspector");
    const struct {
      const char* typed;
      Outcome imperial, metric;
    } rows[] = {
        {"3'6\"", Reads(42), kRefused},
        {"40 1/3", Reads(40 + 1 / 3.0), kRefused},
        {"- 5", kRefused, kRefused},
        {"5 6 7", kRefused, kRefused},
        {"1m50", kRefused, kRefused},
        {"1.2 m", kRefused, Reads(1.2 * 39.37)},
        {"3' 6\"", Reads(42), kRefused},
    };
    for (const auto& row : rows) {
      SCOPED_TRACE(::testing::Message() << row.typed << " system " << system);
      const Outcome& expected = system == kMeasureImperial ? row.imperial : row.metric;
      const float before = StairWidthOf(stair);
      ScopedAlertRecorder alerts;
      type("stairWidthText", QString::fromLatin1(row.typed));
      if (expected.accepted) {
        EXPECT_FLOAT_EQ(StairWidthOf(stair), rounded(expected.value));
        EXPECT_TRUE(alerts.shown.empty());
      } else {
        EXPECT_EQ(StairWidthOf(stair), before);
        EXPECT_TRUE(alerts.sawMessage(kRefusal));
        EXPECT_NE(field("stairWidthText")->text(), QString::fromLatin1(row.typed));
      }
    }
    SelectObj(stair, kSelectOff, 1);
  }
}

// The move sheet's offsets and the rotate sheet's angle: entries that moved by another distance
// or turned by another angle move and turn as meant or alert and change nothing.
TEST_F(TypedForms, MoveAndRotateSheetsTakeWhatIsMeant) {
  Objex* square = addSelectedSquare();
  const auto x = [&] { return square->firstPoint->position[0]; };
  const auto z = [&] { return square->firstPoint->position[2]; };
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    useSystem(system);
    const struct {
      const char* typed;
      Outcome imperial, metric;
    } offsets[] = {
        {"- 5", kRefused, kRefused},
        {"1,5", kRefused, kRefused},
        {"5'6\"", Reads(66), kRefused},
        {"5m 30cm", kRefused, kRefused},
        {"1m50", kRefused, kRefused},
        {"5/2", Reads(2.5), kRefused},
        {"1.5 m", kRefused, Reads(1.5 * 39.37)},
        {"-2 6", Reads(-30), kRefused},
    };
    for (const auto& row : offsets) {
      SCOPED_TRACE(::testing::Message() << row.typed << " system " << system);
      const Outcome& expected = system == kMeasureImperial ? row.imperial : row.metric;
      const float x0 = x(), z0 = z();
      ScopedAlertRecorder alerts;
      throughSheet<MoveObjectsController>(kTagMoveObjects, [&](MoveObjectsController* s) {
        s->horizDistText->setText(QString::fromLatin1(row.typed));
      });
      if (expected.accepted) {
        EXPECT_NEAR(x(), x0 + ConvertWorldToScreen(rounded(expected.value), ds, 0), 1e-3);
        EXPECT_TRUE(alerts.shown.empty());
      } else {
        EXPECT_EQ(x(), x0);
        EXPECT_TRUE(alerts.sawMessage(kRefusal));
      }
      EXPECT_EQ(z(), z0);
    }
    // A turn typed one way and its plain reverse bring the square back where it was.
    const struct {
      const char* typed;
      const char* back;  // null: refused
    } turns[] = {
        {"22 1/2", "-22.5"}, {"1/2", "-0.5"}, {"-45 30", "45.5"}, {"45\xB0 30'", "-45.5"},
        {"45 75", nullptr},  {"7/-2", nullptr}, {"1,5", nullptr}, {"- 5", nullptr},
    };
    for (const auto& turn : turns) {
      SCOPED_TRACE(::testing::Message() << turn.typed << " system " << system);
      const float x0 = x(), z0 = z();
      ScopedAlertRecorder alerts;
      throughSheet<RotateObjectsController>(kTagRotateObjects, [&](RotateObjectsController* s) {
        s->angleText->setText(QString::fromLatin1(turn.typed));
      });
      if (!turn.back) {
        EXPECT_TRUE(alerts.sawMessage(kRefusal));
        EXPECT_EQ(x(), x0);
        EXPECT_EQ(z(), z0);
        continue;
      }
      EXPECT_TRUE(alerts.shown.empty());
      EXPECT_GT(std::hypot(x() - x0, z() - z0), 0.1f);
      throughSheet<RotateObjectsController>(kTagRotateObjects, [&](RotateObjectsController* s) {
        s->angleText->setText(QString::fromLatin1(turn.back));
      });
      EXPECT_NEAR(x(), x0, 2e-3);
      EXPECT_NEAR(z(), z0, 2e-3);
    }
  }
}

}  // namespace

// What a field shows is read back as the value it shows, in every readout format and with
// either decimal separator: the inspectors read their own text back to tell a mixed selection.
TEST_F(TypedForms, WhatAFieldShowsReadsBackAsItsValue) {
  QLineEdit field;
  const std::vector<float> values = {0.0f, 0.5f, 5.25f, 11.9375f, 12.0f, 66.5f, 91.0f, 127.3f, 1000.0625f, 54321.75f};
  const auto readsBack = [&](NumberKind kind, float shown, float tolerance) {
    SCOPED_TRACE(::testing::Message() << "\"" << field.text().toStdString() << "\" kind " << int(kind)
                                      << " imperial " << ds->imperialReadout << " metric " << ds->metricReadout
                                      << " angle " << ds->angleReadout << " separator " << gDecimalSeparator);
    const TypedNumber n = ReadTypedNumber(&field, kind);
    ASSERT_TRUE(n.accepted) << n.reason;
    EXPECT_NEAR(n.value, shown, tolerance);
  };
  for (const char separatorUsed : {'.', ','}) {
    gDecimalSeparator = separatorUsed;
    useSystem(kMeasureImperial);
    for (const int16_t layout : {int16_t(0), kReadoutFlagFeetInches, kReadoutFlagFractions,
                                 int16_t(kReadoutFlagFeetInches | kReadoutFlagFractions)})
      for (const int16_t precision : {int16_t(0), kReadoutFlagWhole, kReadoutFlagHalves, kReadoutFlagQuarters,
                                      kReadoutFlagEighths}) {
        ds->imperialReadout = static_cast<int16_t>(layout | precision);
        const float step = precision == kReadoutFlagWhole ? 1.0f : 1.0f / (precision == 0 ? 16 : precision);
        for (const float v : values)
          for (const float s : {1.0f, -1.0f}) {
            SetFloatItem(&field, s * v);
            readsBack(NumberKind::kLength, s * v, step / 2 + 1e-3f);
            SetFloatPitchItem(&field, s * v);
            readsBack(NumberKind::kPitch, s * v, step / 2 + 1e-3f);
          }
      }
    useSystem(kMeasureMetric);
    for (const int16_t readout : {int16_t(0), kReadoutFlagCentimeters, kReadoutFlagMeters}) {
      ds->metricReadout = readout;
      for (const float v : values)
        for (const float s : {1.0f, -1.0f}) {
          SetFloatItem(&field, s * v);
          readsBack(NumberKind::kLength, s * v, 0.003f + 1e-5f * v);
          SetFloatPitchItem(&field, s * v);
          readsBack(NumberKind::kPitch, s * v, 0.02f);
        }
    }
    for (const int16_t angles : {kReadoutAngle0, kReadoutAngle2, kReadoutAngle4}) {
      ds->angleReadout = angles;
      for (const float a : {0.0f, 22.5f, 45.25f, 359.9375f})
        for (const float s : {1.0f, -1.0f})
          for (const uint8_t noMark : {uint8_t(0), uint8_t(1)}) {
            SetFloatAngleItem(&field, s * a, noMark);
            readsBack(NumberKind::kAngle, s * a, angles == kReadoutAngle0 ? 0.5f : 0.005f);
          }
    }
  }
}
