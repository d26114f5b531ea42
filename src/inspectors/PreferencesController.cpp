// The preferences window.
#include "inspectors/PreferencesController.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "files/Undo.h"
#include "inspectors/ReadoutFormatControls.h"
#include "inspectors/SheetHooks.h"
#include "model/Services.h"
#include "inspectors/ValueFields.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

// The numbers of a damaged preferences file are held to what their controls can show.
int StoredUndoLevels(const UserDefaults& d) { return std::clamp(d.getInt("UndoLevels"), 5, 500); }
int StoredSearchResults(const UserDefaults& d) { return std::max(d.getInt("MaxSearchResults"), 1); }
// A code within low..high, or the fallback: the content view shows any other preview size as
// size 2.
int16_t StoredCode(const UserDefaults& d, const char* key, int low, int high, int16_t fallback) {
  const int v = d.getInt(key);
  return v >= low && v <= high ? static_cast<int16_t>(v) : fallback;
}

struct Well {
  const char* key;
  const char* title;
  int red, green, blue;
};
constexpr Well kWells[PreferencesController::kWellCount] = {
    {"FoundationPlanColor", "Foundation plan", 192, 0, 0},
    {"FloorPlanColor", "Floor plan", 0, 64, 136},
    {"ElectricalPlanColor", "Electrical plan", 255, 128, 0},
    {"PlumbingPlanColor", "Plumbing plan", 0, 192, 192},
    {"RoofingPlanColor", "Roofing plan", 0, 0, 192},
    {"HVACPlanColor", "HVAC plan", 192, 0, 192},
    {"DeckPlanColor", "Deck plan", 192, 124, 32},
    {"LandscapePlanColor", "Landscape plan", 0, 192, 0},
    {"DetailPlanColor", "Detail plan", 0, 64, 136},
    {"PlanBackgroundColor", "Plan background", 248, 248, 255},
    {"InactiveFloorColor", "Inactive floor", 208, 232, 255},
    {"InteriorFillColor", "Interior fill", 242, 242, 255},
    {"TopographyLinesColor", "Topography lines", 193, 221, 193},
    {"ClearViewColor", "ClearView", 0, 64, 136},
    {"WireFrameColor", "Wireframe", 0, 0, 0},
    {"GridColor", "Grid", 168, 176, 200},
};

UserDefaults& Defaults() { return StandardUserDefaults(); }

QString ColorText(const QColor& c) { return c.name(QColor::HexRgb); }
}  // namespace

const char* PreferencesController::wellKey(int index) {
  return index >= 0 && index < kWellCount ? kWells[index].key : nullptr;
}

PreferencesController& PreferencesController::sharedPreferencesController() {
  static PreferencesController* controller = new PreferencesController;
  return *controller;
}

PreferencesController::PreferencesController() : QDialog(nullptr) {
  setObjectName("PreferencesWindow");
  setWindowTitle(Text("Preferences"));
  auto* layout = new QVBoxLayout(this);
  prefTabView = new QTabWidget(this);
  layout->addWidget(prefTabView);

  auto* general = new QWidget;
  auto* generalForm = new QFormLayout(general);
  enableUndoButton = new QCheckBox(Text("Enable undo"), general);
  undoLevelsText = new QLineEdit(general);
  undoLevelsText->setObjectName("undoLevelsText");
  showPlanToolsButton = new QCheckBox(Text("Show drawing tools"), general);
  showGeneralToolsButton = new QCheckBox(Text("Show editing tools"), general);
  showSnapToolsButton = new QCheckBox(Text("Show snap tools"), general);
  showInspectorPanelButton = new QCheckBox(Text("Show inspector"), general);
  showContentPanelButton = new QCheckBox(Text("Show content library"), general);
  searchResultsText = new QLineEdit(general);
  searchResultsText->setObjectName("searchResultsText");
  previewSizeSlider = new QSlider(Qt::Horizontal, general);
  previewSizeSlider->setRange(0, 4);
  generalForm->addRow(enableUndoButton);
  generalForm->addRow(Text("Undo levels:"), undoLevelsText);
  for (QCheckBox* box : {showPlanToolsButton, showGeneralToolsButton, showSnapToolsButton, showInspectorPanelButton,
                         showContentPanelButton})
    generalForm->addRow(box);
  generalForm->addRow(Text("Search results:"), searchResultsText);
  generalForm->addRow(Text("Preview size:"), previewSizeSlider);
  prefTabView->addTab(general, Text("General"));

  auto* colors = new QWidget;
  auto* grid = new QGridLayout(colors);
  for (int i = 0; i < kWellCount; ++i) {
    auto* well = new QPushButton(colors);
    well->setObjectName(QString::fromLatin1(kWells[i].key));
    well->setFixedSize(44, 20);
    colorWells[i] = well;
    grid->addWidget(new QLabel(Text(kWells[i].title), colors), i % 8, (i / 8) * 2);
    grid->addWidget(well, i % 8, (i / 8) * 2 + 1);
    connect(well, &QPushButton::clicked, this, [this, i] {
      auto* dialog = new QColorDialog(wellColor(i), this);
      dialog->setAttribute(Qt::WA_DeleteOnClose);
      connect(dialog, &QColorDialog::colorSelected, this, [this, i](const QColor& c) { setWellColor(i, c); });
      dialog->open();
    });
  }
  prefTabView->addTab(colors, Text("Colors"));

  auto* units = new QWidget;
  auto* unitsForm = new QFormLayout(units);
  controls = new ReadoutFormatControls(units, unitsForm);
  forcePlanDefaultsButton = new QCheckBox(Text("Use these formats for opened designs"), units);
  unitsForm->addRow(forcePlanDefaultsButton);
  prefTabView->addTab(units, Text("Units"));

  auto* buttons = new QHBoxLayout;
  resetColorsButton = new QPushButton(Text("Reset Colors"), this);
  buttons->addWidget(resetColorsButton);
  buttons->addStretch(1);
  auto* cancel = new QPushButton(Text("Cancel"), this);
  auto* ok = new QPushButton(Text("OK"), this);
  ok->setDefault(true);
  buttons->addWidget(cancel);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  resetColorsButton->setVisible(false);

  connect(ok, &QPushButton::clicked, this, [this] { dismissWindow(1); });
  connect(cancel, &QPushButton::clicked, this, [this] { dismissWindow(0); });
  connect(resetColorsButton, &QPushButton::clicked, this, [this] { resetColorsButtonChanged(); });
  connect(enableUndoButton, &QCheckBox::toggled, this, [this] { enableUndoButtonChanged(); });
  connect(prefTabView, &QTabWidget::currentChanged, this, [this](int i) { tabViewDidSelectTabViewItem(i); });
  connect(controls->unitsPopUpButton, qOverload<int>(&QComboBox::activated), this,
          [this] { unitsPopUpButtonChanged(); });
  connect(controls->field2PopUpButton, qOverload<int>(&QComboBox::activated), this,
          [this] { field2PopUpButtonChanged(); });
  initializeControls();
}

QColor PreferencesController::wellColor(int index) const {
  return colorWells[index] ? colorWells[index]->property("color").value<QColor>() : QColor();
}

void PreferencesController::setWellColor(int index, const QColor& color) {
  QPushButton* well = colorWells[index];
  if (!well) return;
  well->setProperty("color", color);
  well->setStyleSheet(QStringLiteral("background-color: %1;").arg(ColorText(color)));
}

void PreferencesController::showPreferenceWindow() {
  if (!isVisible()) initializeControls();
  show();
  raise();
}

void PreferencesController::initializeControls() {
  UserDefaults& d = Defaults();
  enableUndoButton->setChecked(d.getBool("UndoEnabled"));
  showGeneralToolsButton->setChecked(d.getBool("ShowGeneralTools"));
  showPlanToolsButton->setChecked(d.getBool("ShowPlanTools"));
  showContentPanelButton->setChecked(d.getBool("ShowContentPanel"));
  showInspectorPanelButton->setChecked(d.getBool("ShowInspectorPanel"));
  undoLevelsText->setText(QString::number(StoredUndoLevels(d)));
  undoLevelsText->setEnabled(enableUndoButton->isChecked());
  // Any units other than 3 are metric.
  measurementSystem = d.getInt("UseImperialSystemKey") == 3 ? 3 : 4;
  controls->angleFormat = StoredReadoutCode(d, "AngleReadoutKey");
  controls->imperialFormat = StoredReadoutCode(d, "ImperialReadoutKey");
  controls->metricFormat = StoredReadoutCode(d, "MetricReadoutKey");
  controls->selectUnits(measurementSystem);
  controls->loadField1ItemsAndSelect();
  controls->loadField2ItemsAndSelect();
  controls->loadField3ItemsAndSelect();
  controls->setFieldVisibility();
  controls->selectReadoutFormatCell();
  forcePlanDefaultsButton->setChecked(d.getBool("ForcePlanDefaultsKey"));
  previewSizeSlider->setValue(StoredCode(d, "PreviewSizeKey", 0, 4, 2));
  // Left open by the window's description: these read their keys too.
  showSnapToolsButton->setChecked(d.getBool("ShowSnapTools"));
  searchResultsText->setText(QString::number(StoredSearchResults(d)));
  for (int i = 0; i < kWellCount; ++i) {
    QColor c = colorForKey(kWells[i].key);
    if (!c.isValid()) c = QColor(kWells[i].red, kWells[i].green, kWells[i].blue);
    setWellColor(i, c);
  }
  resetColorsButton->setVisible(prefTabView->currentIndex() == 1);
}

QColor PreferencesController::colorForKey(const char* key) {
  if (!key) return QColor();
  return QColor(QString::fromStdString(StandardUserDefaults().getString(key)));
}

std::string PreferencesController::archivedColorForSender(const QPushButton* well) {
  if (!well) return std::string();
  return ColorText(well->property("color").value<QColor>()).toStdString();
}

void PreferencesController::enableUndoButtonChanged() { undoLevelsText->setEnabled(enableUndoButton->isChecked()); }

void PreferencesController::tabViewDidSelectTabViewItem(int index) { resetColorsButton->setVisible(index == 1); }

void PreferencesController::resetColorsButtonChanged() {
  for (int i = 0; i < kWellCount; ++i) setWellColor(i, QColor(kWells[i].red, kWells[i].green, kWells[i].blue));
}

void PreferencesController::dismissWindow(int tag) {
  TypedNumber refused;
  refused.accepted = true;
  if (tag == 1) {
    UserDefaults& d = Defaults();
    const bool oldEnabled = d.getBool("UndoEnabled");
    const int oldLevels = StoredUndoLevels(d);
    // A count that is no whole number keeps the one in use, and the alert says why; an empty
    // field counts as no levels, which the lower limit raises to 5.
    const TypedNumber typedLevels = ReadTypedNumber(undoLevelsText, NumberKind::kWhole);
    int levels = oldLevels;
    if (typedLevels.accepted || typedLevels.blank) {
      levels = typedLevels.accepted ? typedLevels.whole : 0;
      if (levels <= 4) levels = 5;
      else if (levels >= 501) levels = 500;
    } else {
      refused = typedLevels;
    }
    const bool undoChanged = enableUndoButton->isChecked() != oldEnabled || levels != oldLevels;
    d.setBool("UndoEnabled", enableUndoButton->isChecked());
    d.setInt("UndoLevels", levels);
    d.setBool("ShowGeneralTools", showGeneralToolsButton->isChecked());
    d.setBool("ShowPlanTools", showPlanToolsButton->isChecked());
    d.setBool("ShowInspectorPanel", showInspectorPanelButton->isChecked());
    d.setBool("ShowContentPanel", showContentPanelButton->isChecked());
    controls->saveIntermediateValues();
    const int units = controls->unitsTag();
    d.setInt("UseImperialSystemKey", units);
    d.setInt("AngleReadoutKey", controls->angleFormat);
    if (units == 3) d.setInt("ImperialReadoutKey", controls->imperialFormat);
    else d.setInt("MetricReadoutKey", controls->metricFormat);
    d.setBool("ForcePlanDefaultsKey", forcePlanDefaultsButton->isChecked());
    // The content view is rebuilt only when the size it shows changes.
    const bool previewChanged = previewSizeSlider->value() != StoredCode(d, "PreviewSizeKey", 0, 4, 2);
    d.setInt("PreviewSizeKey", previewSizeSlider->value());
    d.setBool("ShowSnapTools", showSnapToolsButton->isChecked());
    // A count of results below one keeps the one in use, and the alert says why.
    TypedNumber typedResults = ReadTypedNumber(searchResultsText, NumberKind::kWhole);
    if (typedResults.accepted && typedResults.whole < 1) {
      typedResults.accepted = false;
      typedResults.reason = "The number of search results must be at least 1.";
    }
    if (typedResults.accepted)
      d.setInt("MaxSearchResults", typedResults.whole);
    else if (refused.accepted)
      refused = typedResults;
    for (int i = 0; i < kWellCount; ++i) d.setString(kWells[i].key, archivedColorForSender(colorWells[i]));
    SheetHooks& hooks = TheSheetHooks();
    if (hooks.applyPreferencesToOpenDesigns) hooks.applyPreferencesToOpenDesigns(undoChanged);
    gRefreshRender = 1;
    if (hooks.redraw3DView) hooks.redraw3DView();
    if (previewChanged && hooks.refreshContentView) hooks.refreshContentView();
    if (hooks.loadNewPlanReadoutState) hooks.loadNewPlanReadoutState();
  }
  // OK and Cancel both close an open colour panel, then the window.
  for (QColorDialog* panel : findChildren<QColorDialog*>()) panel->close();
  hide();
  if (!refused.accepted && !refused.blank) ShowAlert("Invalid number entered.", refused.reason, /*sheet=*/false);
}
