// Every typed number of every sheet, pane and preference, driven with entries that are no
// usable number: each is refused where it is typed, says why, and leaves the design as it
// was (the saved design compared byte for byte). "-0" is the number 0 and acts as "0" does.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QFile>
#include <QPushButton>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/AppController.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "files/DesignFile.h"
#include "inspectors/GridPropertiesController.h"
#include "inspectors/InspectorTestSupport.h"
#include "inspectors/MoveObjectsController.h"
#include "inspectors/PreferencesController.h"
#include "inspectors/RotateObjectsController.h"
#include "inspectors/SheetController.h"
#include "inspectors/SheetTestSupport.h"
#include "inspectors/SnapPaletteController.h"
#include "inspectors/ValueFields.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Selection.h"
#include "model/ToolCodes.h"
#include "model/TransformGuard.h"
#include "platform/Alerts.h"
#include "platform/UserDefaults.h"

namespace {

const QString kLongEntry(10000, QLatin1Char('7'));
const std::vector<QString> kHostile = {"nan", "inf", "-inf", "1e30", "", "abc", kLongEntry};
constexpr const char* kRefusal = "Invalid number entered.";

// The text fields a user can type into (the editors inside steppers are the steppers').
std::vector<QLineEdit*> TypedFields(QWidget* root) {
  std::vector<QLineEdit*> fields;
  for (QLineEdit* f : root->findChildren<QLineEdit*>())
    if (f->isEnabled() && !qobject_cast<QAbstractSpinBox*>(f->parentWidget())) fields.push_back(f);
  return fields;
}

std::string Shown(const QString& entry) { return entry.size() > 20 ? "<10,000 characters>" : entry.toStdString(); }

class HostileEntries : public InspectorTest {
 protected:
  void afterDocument() override {
    InspectorTest::afterDocument();
    doc->undoManager().removeAllActions();
  }
  void beforeClosing() override {
    if (SheetController* s = SheetController::attachedSheet(window)) s->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The design as saved.
  QByteArray design() {
    const std::string path = file("snapshot.pro");
    EXPECT_EQ(KeyFileWrite(path.c_str()), 1);
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }

  // Types into the field and leaves it as Return does.
  static void enter(QLineEdit* field, const QString& text) {
    field->setText(text);
    Q_EMIT field->editingFinished();
  }

  // Opens the sheet through its menu item, lets `prepare` set its mode, types into the field
  // and presses OK.
  void throughSheet(int32_t tag, const std::function<void(SheetController*)>& prepare, const QString& name,
                    const QString& text) {
    gCurDocument = model;
    window->planViewActions().perform(tag);
    SheetController* s = SheetController::attachedSheet(window);
    ASSERT_NE(s, nullptr) << tag;
    if (prepare) prepare(s);
    QLineEdit* field = s->findChild<QLineEdit*>(name);
    ASSERT_NE(field, nullptr) << name.toStdString();
    enter(field, text);
    PressOkThenCancelIfKept(window, s);
  }

  // The names of a sheet's typed fields.
  std::vector<QString> sheetFields(int32_t tag, const std::function<void(SheetController*)>& prepare) {
    gCurDocument = model;
    window->planViewActions().perform(tag);
    SheetController* s = SheetController::attachedSheet(window);
    std::vector<QString> names;
    if (!s) return names;
    if (prepare) prepare(s);
    for (QLineEdit* f : TypedFields(s)) names.push_back(f->objectName());
    s->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return names;
  }

  // Each hostile entry leaves the design as it was and is said, but a blank one (which a
  // mixed selection shows) may pass in silence; "-0" then does what "0" does.
  void expectRefused(const std::string& where, const std::function<void(const QString&)>& typeIt) {
    for (const QString& entry : kHostile) {
      const QByteArray before = design();
      ScopedAlertRecorder alerts;
      typeIt(entry);
      EXPECT_EQ(design(), before) << where << " took " << Shown(entry);
      if (!entry.isEmpty()) {
        EXPECT_TRUE(alerts.sawMessage(kRefusal)) << where << " " << Shown(entry);
      }
    }
    typeIt("-0");
    const QByteArray negative = design();
    typeIt("0");
    EXPECT_EQ(design(), negative) << where << ": -0 and 0 differ";
  }

  Objex* addWall() {
    Objex* w = add(kObjWall, {{0, 0}, {100, 0}, {100, 100}}, false);
    w->width = 4;
    w->planMask = 2;
    return w;
  }
};

struct SheetRow {
  int32_t tag;
  const char* mode;
  std::function<void(SheetController*)> prepare;
};

TEST_F(HostileEntries, EverySheetField) {
  Objex* square = addSelectedSquare();
  square->baseElevation = 0;
  const std::vector<SheetRow> rows = {
      {kTagMoveObjects, "rectangular", nullptr},
      {kTagMoveObjects, "polar",
       [](SheetController* s) { static_cast<MoveObjectsController*>(s)->coordinateSysMatrix->button(1)->click(); }},
      {kTagMovePlan, "rectangular", nullptr},
      {kTagRotateObjects, "degrees", nullptr},
      {kTagRotateObjects, "radians",
       [](SheetController* s) { static_cast<RotateObjectsController*>(s)->angleUnitSysMatrix->button(1)->click(); }},
      {kTagRotatePlan, "degrees", nullptr},
      {kTagSetObjectElevation, "", nullptr},
      {kTagSetWorkingElevation, "", nullptr},
      {kTagCeilingHeightFirstFloor, "", nullptr},
      {kTagResizeFloorplanTraceImage, "", nullptr},
      {kTagSetLotSize, "", nullptr},
      {kTagSetTrueNorthAngle, "", nullptr},
      {kTagSetGridProperties, "", nullptr},
      {kTagSetDimensionProperties, "", nullptr},
      {kTagSetPlanScale, "", nullptr},
      {kTagSetPlanZoom, "", nullptr},
      {kTagSetMeasurementUnits, "", nullptr},
      {kTagEditTextObject, "", nullptr},
      {kTagSmoothCurves, "", nullptr},
  };
  int driven = 0;
  for (const SheetRow& row : rows) {
    for (const QString& name : sheetFields(row.tag, row.prepare)) {
      ++driven;
      const std::string where = std::to_string(row.tag) + " " + row.mode + " " + name.toStdString();
      expectRefused(where, [&](const QString& text) { throughSheet(row.tag, row.prepare, name, text); });
    }
  }
  // Move (2 modes x 2), move plan (2), rotate (2 modes), rotate plan, elevation, working
  // elevation, ceiling, trace (2), lot (2), north, grid (4), zoom, text angle, tension.
  EXPECT_GE(driven, 22);
}

TEST_F(HostileEntries, EveryPaneField) {
  const std::vector<std::pair<const char*, std::function<void()>>> rows = {
      {"AirDuctInspector", [this] { add(kObjAirDuct, {{0, 0}, {100, 0}}); }},
      {"AirDuctInspector", [] { gCurTool = 7400; }},
      {"PathwayInspector", [this] { add(kObjPath, {{0, 0}, {100, 0}}); }},
      {"PathwayInspector", [] { gCurTool = 7502; }},
      {"StiffenerBeamInspector", [this] { add(kObjFoundationBeam, {{0, 0}, {100, 0}}); }},
      {"FoundationPierInspector", [] { gCurTool = 7002; }},
      {"Roof1Inspector", [this] { addSquare(kObjRoof); }},
      {"Roof2Inspector", [this] { add(kObjRoofPanel, {{0, 0}, {100, 0}, {100, 100}}, true); }},
      {"Roof2Inspector", [] { gCurTool = 7308; }},
      {"FloorInspector", [this] { addSquare(kObjFloor); }},
      {"FloorInspector", [] { gCurTool = 7063; }},
      {"WallObjectInspector", [this] { addWall(); }},
      {"WallToolInspector", [] { gCurTool = 7050; }},
      {"DetailObjectInspector",
       [this] {
         Objex* d = add(kObjDetail, {{0, 0}, {100, 0}});
         d->subtype = kSubDetailLine;
       }},
      {"DetailTool1Inspector", [] { gCurTool = 7700; }},
      {"DetailTool2Inspector", [] { gCurTool = 7706; }},
  };
  int driven = 0;
  for (const auto& [pane, show] : rows) {
    // A fresh selection and tool for each row.
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) SelectObj(o, kSelectOff, 1);
    gCurTool = kToolSelection;
    show();
    update();
    ASSERT_EQ(shownName(), pane);
    for (QLineEdit* field : TypedFields(shown())) {
      ++driven;
      const std::string where = std::string(pane) + " " + field->objectName().toStdString();
      expectRefused(where, [&](const QString& text) {
        const QString before = field->text();
        enter(field, text);
        // A refusal never leaves the entry in place: the field shows what it showed or the
        // tool default again.
        if (text != "0" && text != "-0") {
          if (!text.isEmpty()) {
            EXPECT_NE(field->text(), text) << where << " " << Shown(text);
          }
          EXPECT_TRUE(field->text() == before || !field->text().isEmpty()) << where << " " << Shown(text);
        }
      });
    }
  }
  EXPECT_GE(driven, 30);
}

TEST_F(HostileEntries, PreferencesAndTheSnapOffset) {
  AppController::initialize();
  PreferencesController& prefs = PreferencesController::sharedPreferencesController();
  for (const char* key : {"UndoLevels", "MaxSearchResults"}) {
    for (const QString& entry : kHostile) {
      prefs.hide();
      prefs.initializeControls();
      const int before = defaults.getInt(key);
      ScopedAlertRecorder alerts;
      QLineEdit* field = std::string(key) == "UndoLevels" ? prefs.undoLevelsText : prefs.searchResultsText;
      field->setText(entry);
      prefs.dismissWindow(1);
      // An empty undo levels field counts as no levels: the lowest count, 5.
      const int expected = entry.isEmpty() && std::string(key) == "UndoLevels" ? 5 : before;
      EXPECT_EQ(defaults.getInt(key), expected) << key << " took " << Shown(entry);
      if (!entry.isEmpty()) {
        EXPECT_TRUE(alerts.sawMessage(kRefusal)) << key << " " << Shown(entry);
      }
    }
  }
  // A count of search results below one is refused aloud, not dropped in silence.
  for (const char* count : {"0", "-5"}) {
    prefs.hide();
    prefs.initializeControls();
    const int before = defaults.getInt("MaxSearchResults");
    ScopedAlertRecorder alerts;
    prefs.searchResultsText->setText(count);
    prefs.dismissWindow(1);
    EXPECT_EQ(defaults.getInt("MaxSearchResults"), before) << count;
    EXPECT_TRUE(alerts.sawMessage("The number of search results must be at least 1.")) << count;
  }

  SnapPaletteController& palette = SnapPaletteController::sharedSnapPaletteController();
  ds->snapOffset = 18;
  expectRefused("snap offset", [&](const QString& text) {
    enter(palette.offsetText, text);
    if (text != "0" && text != "-0") {
      EXPECT_FLOAT_EQ(ds->snapOffset, 18);
    }
  });
  EXPECT_EQ(ds->snapOffset, 0.0f);
  EXPECT_FALSE(std::signbit(ds->snapOffset));
}

// Whole numbers are read as integers: through a float 999999999 became 1000000000 and 16777217
// became 16777216.
TEST_F(HostileEntries, WholeNumbersAreTakenExactly) {
  const struct {
    const char* text;
    bool accepted;
    int32_t whole;
  } rows[] = {
      {"16777217", true, 16777217},          {"-16777217", true, -16777217},
      {"999999999", true, 999999999},        {"-999999999", true, -999999999},
      {"1000000000", true, 1000000000},      {"-1000000000", true, -1000000000},
      {"+0999999999", true, 999999999},      {"-0", true, 0},
      {"1000000001", false, 0},              {"-1000000001", false, 0},
      {"99999999999999999999999", false, 0}, {"-99999999999999999999999", false, 0},
  };
  for (const auto& r : rows) {
    const TypedNumber n = CheckTypedNumber(r.text, NumberKind::kWhole);
    EXPECT_EQ(n.accepted, r.accepted) << r.text;
    EXPECT_EQ(n.whole, r.whole) << r.text;
    if (!r.accepted) {
      EXPECT_EQ(n.reason, "The number must lie between -1000000000 and 1000000000.") << r.text;
    }
  }
  // As typed into the preferences' count of search results.
  AppController::initialize();
  PreferencesController& prefs = PreferencesController::sharedPreferencesController();
  for (const char* count : {"999999999", "16777217", "1"}) {
    prefs.hide();
    prefs.initializeControls();
    prefs.searchResultsText->setText(count);
    prefs.dismissWindow(1);
    EXPECT_EQ(defaults.getInt("MaxSearchResults"), std::atoi(count)) << count;
  }
}

TEST_F(HostileEntries, SheetFieldsLeftWithANonNumberShowTheirLastGoodValue) {
  gCurDocument = model;
  window->planViewActions().perform(kTagSetGridProperties);
  auto* grid = qobject_cast<GridPropertiesController*>(SheetController::attachedSheet(window));
  ASSERT_NE(grid, nullptr);
  enter(grid->snapHorSpacingText, "2'");
  const QString good = grid->snapHorSpacingText->text();
  {
    ScopedAlertRecorder alerts;
    enter(grid->snapHorSpacingText, "nan");
    EXPECT_EQ(grid->snapHorSpacingText->text(), good);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].informative, "\"nan\" is not a number.");
    EXPECT_FALSE(alerts.shown[0].sheet);  // the sheet is still open
    // A blank field is put back without a word.
    enter(grid->snapHorSpacingText, "");
    EXPECT_EQ(grid->snapHorSpacingText->text(), good);
    EXPECT_EQ(alerts.shown.size(), 1u);
  }
  grid->okButton()->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FLOAT_EQ(ds->gridSnap.floatH, 24);

  // A radians entry that is no number is not converted when the unit changes.
  window->planViewActions().perform(kTagRotateObjects);
  auto* rotate = qobject_cast<RotateObjectsController*>(SheetController::attachedSheet(window));
  ASSERT_NE(rotate, nullptr);
  rotate->angleText->setText("nan");
  rotate->angleUnitSysMatrix->button(1)->click();
  EXPECT_EQ(rotate->angleText->text(), "nan");
  rotate->dismissSheet(0);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(HostileEntries, LengthsReachAcrossThePlanAndNoFurther) {
  const float limit = TypedNumberLimit(NumberKind::kLength);
  EXPECT_NEAR(ConvertWorldToScreen(limit, ds, 0), kPlanCoordinateLimit, kPlanCoordinateLimit * 1e-5);
  const auto inches = [](double v) { return QString::number(v, 'f', 0).toStdString(); };
  EXPECT_TRUE(CheckTypedNumber(inches(limit * 0.99), NumberKind::kLength).accepted);
  const TypedNumber past = CheckTypedNumber(inches(limit * 1.01), NumberKind::kLength);
  EXPECT_FALSE(past.accepted);
  EXPECT_EQ(past.reason.rfind("The number must lie between -", 0), 0u) << past.reason;
  // Metric lengths keep their unit suffixes; imperial ones take no letters.
  EXPECT_FALSE(CheckTypedNumber("5ft", NumberKind::kLength).accepted);
  ds->measureSystem = kMeasureMetric;
  EXPECT_TRUE(CheckTypedNumber("0.508mm", NumberKind::kLength).accepted);
  EXPECT_TRUE(CheckTypedNumber("2 cm", NumberKind::kLength).accepted);
  EXPECT_FALSE(CheckTypedNumber("2 km", NumberKind::kLength).accepted);
}

// A fraction with no denominator other than zero is no number: "5 1/0" read as 5 before.
TEST_F(HostileEntries, FractionsWithoutADenominatorAreRefused) {
  const char* reason = "A fraction needs a denominator other than zero.";
  for (const char* text : {"5 1/0", "1/0", "5' 1/0", "5 1/", "5-1/0", "5 1/00", "1/0\""}) {
    const TypedNumber n = CheckTypedNumber(text, NumberKind::kLength);
    EXPECT_FALSE(n.accepted) << text;
    EXPECT_EQ(n.reason, reason) << text;
  }
  EXPECT_EQ(CheckTypedNumber("6 1/0", NumberKind::kPitch).reason, reason);
  const TypedNumber half = CheckTypedNumber("5 1/2", NumberKind::kLength);
  EXPECT_TRUE(half.accepted);
  EXPECT_FLOAT_EQ(half.value, 5.5f);
  EXPECT_TRUE(CheckTypedNumber("2' 3 3/4\"", NumberKind::kLength).accepted);

  // Typed into a pane's length field: the alert, and the wall keeps its thickness.
  Objex* wall = addWall();
  update();
  ASSERT_EQ(shownName(), "WallObjectInspector");
  QLineEdit* thickness = control<QLineEdit>("wallThicknessText");
  ASSERT_NE(thickness, nullptr);
  const QByteArray before = design();
  ScopedAlertRecorder alerts;
  enter(thickness, "5 1/0");
  EXPECT_TRUE(alerts.sawMessage(kRefusal));
  EXPECT_TRUE(alerts.sawMessage(reason));
  EXPECT_EQ(design(), before);
  EXPECT_EQ(wall->width, 4);
}

// Fractions in length, pitch and angle entries, imperial and metric: a numerator or denominator
// past 32 bits was cut to 32 bits ("5 4294967297/2" read 5 1/2), and angles took a zero
// denominator ("5 1/0" read 5 degrees 1 minute). Each is refused with its reason; a fraction
// within 32 bits reads as its value (metric lengths and pitches take no fractions).
TEST_F(HostileEntries, FractionsPast32BitsOrOverZeroAreRefusedInEveryKind) {
  const std::string tooLarge = "The numerator and denominator of a fraction must not exceed 2147483647.";
  const std::string zero = "A fraction needs a denominator other than zero.";
  struct Row {
    const char* text;
    const std::string* reason;  // null: accepted, reading as `readsAs` of its kind
    const char* readsAs;
  };
  const Row rows[] = {
      {"5 1/2147483647", nullptr, "5"},
      {"5 2147483647/2147483647", nullptr, "6"},
      {"5 1/2147483648", &tooLarge},
      {"5 1/4294967295", &tooLarge},
      {"5 1/4294967296", &tooLarge},
      {"1/4294967296", &tooLarge},
      {"5 2147483648/2", &tooLarge},
      {"5 -2147483648/2", &tooLarge},
      {"5 4294967295/2", &tooLarge},
      {"5 4294967296/2", &tooLarge},
      {"5 4294967297/2", &tooLarge},
      {"5 99999999999999999999/2", &tooLarge},
      {"5 -99999999999999999999/2", &tooLarge},
      {"5 1/0", &zero},
      {"5 1/-0", &zero},
      {"5 1/00", &zero},
      {"5' 6 1/0", &zero},
      {"5 1/", &zero},
  };
  const NumberKind kinds[] = {NumberKind::kLength, NumberKind::kPitch, NumberKind::kAngle, NumberKind::kPitchAngle};
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    ds->measureSystem = system;
    for (const NumberKind kind : kinds) {
      const bool angle = kind == NumberKind::kAngle || kind == NumberKind::kPitchAngle;
      for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.text << " kind " << int(kind) << " system " << system);
        const TypedNumber n = CheckTypedNumber(r.text, kind);
        if (r.reason) {
          EXPECT_FALSE(n.accepted);
          EXPECT_EQ(n.reason, *r.reason);
          EXPECT_EQ(n.value, 0.0f);
          continue;
        }
        if (system == kMeasureMetric && !angle) {
          EXPECT_FALSE(n.accepted);
          EXPECT_EQ(n.reason.rfind("Type a ", 0), 0u) << n.reason;
          continue;
        }
        const TypedNumber same = CheckTypedNumber(r.readsAs, kind);
        ASSERT_TRUE(same.accepted);
        EXPECT_TRUE(n.accepted) << n.reason;
        EXPECT_FLOAT_EQ(n.value, same.value);
      }
    }
  }
  // The reader itself takes no wrapped fraction either: it reads no number at all.
  char whole[] = "5", fraction[] = "4294967297/2";
  EXPECT_FLOAT_EQ(TokenizeInches(whole, fraction), 0.0f);
}

// The reports' entries typed into a wall's thickness (a length) and the roof tool's pitch and
// pitch angle: each alerts with its reason and leaves the design as it was.
TEST_F(HostileEntries, ReportedFractionsTypedIntoLengthPitchAndAngleFields) {
  Objex* wall = addWall();
  for (const char* name : {"length-fraction-past-32-bits.txt", "angle-fraction-zero-denominator.txt"}) {
    QFile list(QString::fromStdString(
        (std::filesystem::path(__FILE__).parent_path() / "data" / "regressions" / name).string()));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text)) << name;
    int entries = 0;
    while (!list.atEnd()) {
      const QString entry = QString::fromUtf8(list.readLine()).trimmed();
      if (entry.isEmpty()) continue;
      ++entries;
      for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
        ds->measureSystem = system;
        const std::string reason = CheckTypedNumber(entry.toStdString(), NumberKind::kLength).reason;
        EXPECT_FALSE(reason.empty()) << entry.toStdString();
        // The wall's thickness, then the roof tool's ratio and angle.
        const std::pair<const char*, const char*> fields[] = {
            {"WallObjectInspector", "wallThicknessText"},
            {"Roof1Inspector", "pitchRatioText"},
            {"Roof1Inspector", "pitchAngleText"},
        };
        for (const auto& [pane, fieldName] : fields) {
          SCOPED_TRACE(::testing::Message() << entry.toStdString() << " in " << fieldName << " system " << system);
          const bool roof = std::string(pane) == "Roof1Inspector";
          SelectObj(wall, roof ? kSelectOff : kSelectOn, 1);
          gCurTool = roof ? kToolGableRoof : kToolSelection;
          update();
          ASSERT_EQ(shownName(), pane);
          QLineEdit* field = control<QLineEdit>(fieldName);
          ASSERT_NE(field, nullptr);
          const QString shownBefore = field->text();
          const QByteArray before = design();
          ScopedAlertRecorder alerts;
          enter(field, entry);
          EXPECT_TRUE(alerts.sawMessage(kRefusal));
          EXPECT_TRUE(alerts.sawMessage(reason));
          EXPECT_EQ(field->text(), shownBefore);
          EXPECT_EQ(design(), before);
        }
      }
    }
    EXPECT_GE(entries, 4) << name;
  }
  EXPECT_EQ(wall->width, 4);
  gCurTool = kToolSelection;
}

// Exponents in lengths, pitches and angles, imperial and metric: a length's "-" after a digit
// was taken for the dash between feet and inches, so "96e-1" read as 96' 1" (and in metric
// designs as 96). Each reads as its plain decimal does; one too close to zero for a float, or
// an 'e' without digits on both sides, is refused with its reason.
TEST_F(HostileEntries, ExponentsReadAsExponentsInEveryKind) {
  const std::string tiny = "The number is too close to zero to be held. Enter 0 or a larger number.";
  struct Row {
    const char* text;
    const char* plain;  // reads as this, or null: refused
    bool tooSmall;      // refused as too close to zero, else as no number
  };
  const Row rows[] = {
      {"96e-1", "9.6"},       {"12e-1", "1.2"},       {"5e-1", "0.5"},         {"1.5e-3", "0.0015"},
      {"-5e-1", "-0.5"},      {"2.5E-1", "0.25"},     {"5.e-1", "0.5"},        {"3.5e2", "350"},
      {"1e+1", "10"},         {"1e-30", "0.000000000000000000000000000001"},     {"1e-40", nullptr, true}, {"1e-400", nullptr, true},
      {"-1e-40", nullptr, true}, {"0e-400", "0"},     {"5e", nullptr},         {"e5", nullptr},
      {"5e-", nullptr},       {"5e+", nullptr},       {"5e5e5", nullptr},      {"5e-5e-5", nullptr},
  };
  const NumberKind kinds[] = {NumberKind::kLength, NumberKind::kPitch, NumberKind::kAngle, NumberKind::kPitchAngle,
                              NumberKind::kDecimal, NumberKind::kRadians};
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    ds->measureSystem = system;
    ds->planScale = system == kMeasureImperial ? 48 : 100;
    for (const NumberKind kind : kinds) {
      for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.text << " kind " << int(kind) << " system " << system);
        const TypedNumber n = CheckTypedNumber(r.text, kind);
        if (!r.plain) {
          EXPECT_FALSE(n.accepted);
          EXPECT_EQ(n.reason, r.tooSmall ? tiny : "\"" + std::string(r.text) + "\" is not a number.");
          continue;
        }
        const TypedNumber same = CheckTypedNumber(r.plain, kind);
        EXPECT_EQ(n.accepted, same.accepted) << n.reason;
        EXPECT_EQ(n.value, same.value);
        EXPECT_EQ(n.reason, same.reason);
      }
    }
    // The dash between feet and inches stays one, before an exponent too.
    if (system == kMeasureImperial) {
      EXPECT_FLOAT_EQ(CheckTypedNumber("5-6", NumberKind::kLength).value, 66);
      EXPECT_FLOAT_EQ(CheckTypedNumber("-5-6", NumberKind::kLength).value, -66);
      EXPECT_FLOAT_EQ(CheckTypedNumber("5-6e-1", NumberKind::kLength).value,
                      CheckTypedNumber("5' 0.6", NumberKind::kLength).value);
    }
  }
}

// The report's entries typed into length fields of sheets, panes and the key entry sheet, in
// an imperial and a metric design: each does what its plain decimal does (the same design and
// the same alerts), or is refused with its reason and changes nothing.
TEST_F(HostileEntries, ReportedExponentsTypedIntoLengthFields) {
  Objex* wall = addWall();
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;  // wall height
  QFile list(QString::fromStdString(
      (std::filesystem::path(__FILE__).parent_path() / "data" / "regressions" / "length-negative-exponent.txt")
          .string()));
  ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
  std::vector<QString> entries;
  while (!list.atEnd()) {
    const QString entry = QString::fromUtf8(list.readLine()).trimmed();
    if (!entry.isEmpty()) entries.push_back(entry);
  }
  ASSERT_GE(entries.size(), 6u);

  // Each road types the text into its field and leaves it as OK or Return does; what it sets.
  struct Road {
    const char* name;
    std::function<void(const QString&)> typeIt;
    std::function<std::vector<float>()> state;
  };
  const auto pointValues = [wall](int which) {
    std::vector<float> values;
    for (Poinz* p = wall->firstPoint; p; p = p->next) values.push_back(which < 0 ? p->position[0] : p->segmentFloats[0]);
    for (Poinz* p = wall->firstPoint; which < 0 && p; p = p->next) values.push_back(p->position[2]);
    return values;
  };
  const std::vector<Road> roads = {
      {"ceiling height", [&](const QString& t) { throughSheet(kTagCeilingHeightFirstFloor, nullptr, "heightText", t); },
       [&] {
         std::vector<float> heights;
         for (Layer* l = model->itsLayers; l; l = l->next) heights.push_back(l->height);
         return heights;
       }},
      {"working elevation",
       [&](const QString& t) { throughSheet(kTagSetWorkingElevation, nullptr, "elevationText", t); },
       [&] { return std::vector<float>{ds->baseElevation}; }},
      {"wall height",
       [&](const QString& t) {
         SelectObj(wall, kSelectOn, 1);
         update();
         ASSERT_EQ(shownName(), "WallObjectInspector");
         enter(control<QLineEdit>("wallHeightText"), t);
       },
       [&] { return pointValues(0); }},
      {"resize segment",
       [&](const QString& t) {
         gCurDocument = model;
         Win32EventHandler::sharedEventHandler()->keyEntrySheetForObject(wall, wall->firstPoint,
                                                                         wall->firstPoint->next);
         SheetController* s = SheetController::attachedSheet(window);
         ASSERT_NE(s, nullptr);
         enter(s->findChild<QLineEdit*>("lengthText"), t);
         PressOkThenCancelIfKept(window, s);
       },
       [&] { return pointValues(-1); }},
  };
  const auto alertTexts = [](const ScopedAlertRecorder& alerts) {
    std::vector<std::string> texts;
    for (const AlertRequest& a : alerts.shown) texts.push_back(a.message + " / " + a.informative);
    return texts;
  };
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    ds->measureSystem = system;
    ds->planScale = system == kMeasureImperial ? 48 : 100;
    for (const Road& road : roads) {
      for (const QString& entry : entries) {
        SCOPED_TRACE(::testing::Message() << entry.toStdString() << " into " << road.name << " system " << system);
        const double v = std::strtod(entry.toStdString().c_str(), nullptr);
        if (!(std::fabs(v) >= FLT_MIN)) {
          const std::vector<float> before = road.state();
          ScopedAlertRecorder alerts;
          road.typeIt(entry);
          EXPECT_TRUE(alerts.sawMessage(kRefusal));
          EXPECT_TRUE(alerts.sawMessage("The number is too close to zero to be held. Enter 0 or a larger number."));
          EXPECT_EQ(road.state(), before);
          continue;
        }
        ScopedAlertRecorder plainAlerts;
        road.typeIt(QString::number(v, 'g', 10));
        const std::vector<float> plain = road.state();
        const std::vector<std::string> plainSaid = alertTexts(plainAlerts);
        ScopedAlertRecorder alerts;
        road.typeIt(entry);
        EXPECT_EQ(road.state(), plain);
        EXPECT_EQ(alertTexts(alerts), plainSaid);
      }
    }
  }
}

// The routine itself: what each kind takes and why it refuses.
TEST(TypedNumbers, RefusalsAndTheirReasons) {
  struct Row {
    const char* text;
    NumberKind kind;
    bool accepted;
    float value;
    const char* reason;
  };
  const Row rows[] = {
      {"12", NumberKind::kWhole, true, 12, ""},
      {"-0", NumberKind::kWhole, true, 0, ""},
      {"12.5", NumberKind::kWhole, false, 0, "\"12.5\" is not a whole number."},
      {"2e3", NumberKind::kWhole, false, 0, "\"2e3\" is not a whole number."},
      {"99999999999", NumberKind::kWhole, false, 0, "The number must lie between -1000000000 and 1000000000."},
      {"  ", NumberKind::kWhole, false, 0, "Please enter a number."},
      {"nan", NumberKind::kDecimal, false, 0, "\"nan\" is not a number."},
      {"-inf", NumberKind::kDecimal, false, 0, "\"-inf\" is not a number."},
      {"1e-3", NumberKind::kDecimal, true, 0.001f, ""},
      {"1e39", NumberKind::kDecimal, false, 0, "The number must lie between -1000000 and 1000000."},
      {"0x10", NumberKind::kDecimal, false, 0, "\"0x10\" is not a number."},
      {"1.5708", NumberKind::kRadians, true, 1.5708f, ""},
      {"700", NumberKind::kRadians, false, 0, "The number must lie between -628.3185425 and 628.3185425."},
      {"90", NumberKind::kAngle, true, 90, ""},
      {"36001", NumberKind::kAngle, false, 0, "The number must lie between -36000 and 36000."},
      {"5 nan", NumberKind::kAngle, false, 0, "\"5 nan\" is not a number."},
      {"90", NumberKind::kPitchAngle, false, 0, "A pitch angle must lie between -90 and 90 degrees."},
  };
  for (const Row& r : rows) {
    const TypedNumber n = CheckTypedNumber(r.text, r.kind);
    EXPECT_EQ(n.accepted, r.accepted) << r.text;
    EXPECT_FLOAT_EQ(n.value, r.value) << r.text;
    EXPECT_FALSE(std::signbit(n.value)) << r.text;
    EXPECT_EQ(n.reason, r.reason) << r.text;
  }
  EXPECT_EQ(CheckTypedNumber(std::string(65, '1'), NumberKind::kDecimal).reason,
            "The entry is too long to be a number.");
}

TEST(TypedAngles, MinutesAddUpTo59AndFrom60AreRefused) {
  // Minutes on each side of their bounds, after a blank, the degree mark or a minute mark; the
  // plain-number fields (radians) take no minutes at all. What cannot be read reads 0, as no
  // number does: minutes of 60 or more, a signed minute, and the minutes of a degrees-only field
  // were dropped in silence.
  const std::string mark(1, kReadoutDegreeMark);
  struct Row {
    std::string text;
    bool degreesOnly;
    double degrees;
  };
  const Row rows[] = {
      {"30 0", false, 30},
      {"30 1", false, 30 + 1 / 60.0},
      {"30 59", false, 30 + 59 / 60.0},
      {"30 59.5", false, 30 + 59.5 / 60.0},
      {"30 60", false, 0},
      {"30 61", false, 0},
      {"30 -1", false, 0},
      {"30" + mark + "59'", false, 30 + 59 / 60.0},
      {"30" + mark + "60'", false, 0},
      {"30'59", false, 0},  // a minute mark after the degrees
      {"30 59", true, 0},
      {"30" + mark, true, 30},
      {"0 59", false, 59 / 60.0},
  };
  for (const Row& r : rows)
    EXPECT_FLOAT_EQ(ParseAngleText(r.text, r.degreesOnly), static_cast<float>(r.degrees))
        << r.text << (r.degreesOnly ? " (degrees only)" : "");
  // A pitch typed as an angle: 89 degrees 59 minutes lies inside the bound; 60 minutes are
  // refused as such (they would make 90 degrees); 90 degrees is refused.
  const std::string minutes = "The minutes of an angle must be less than 60.";
  EXPECT_TRUE(CheckTypedNumber("89 59", NumberKind::kPitchAngle).accepted);
  EXPECT_EQ(CheckTypedNumber("89 60", NumberKind::kPitchAngle).reason, minutes);
  EXPECT_FALSE(CheckTypedNumber("90 0", NumberKind::kPitchAngle).accepted);
  EXPECT_FLOAT_EQ(CheckTypedNumber("10 59", NumberKind::kAngle).value, static_cast<float>(10 + 59 / 60.0));
  EXPECT_EQ(CheckTypedNumber("10 60", NumberKind::kAngle).reason, minutes);
}

}  // namespace
