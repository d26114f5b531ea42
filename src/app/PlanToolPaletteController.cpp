// The drawing-tools palette: the tool buttons of each plan kind, the toolset pop-up, the
// plant growth stepper, and the palettes' part of a new design window.
#include "app/PlanToolPaletteController.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QProgressBar>
#include <QToolButton>
#include <cmath>

#include "app/AppController.h"
#include "app/EditToolPaletteController.h"
#include "app/ToolIcons.h"
#include "app/ZLKDocumentScrollView.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "content/ContentPaletteController.h"
#include "model/ToolCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "render3d/Navigation.h"
#include "model/Services.h"
#include "platform/Strings.h"
#include "tools/ToolCodes.h"

namespace {

QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }

struct ToolCell {
  uint16_t tool;
  const char* toolTip;
};

// The cells of each plan kind's matrix, in order.
const std::vector<ToolCell> kFoundationCells = {
    {kToolFoundationPerimeter, "Foundation Perimeter"}, {kToolStiffenerBeam, "Stiffener Beam"},
    {kToolFoundationPier, "Pier"}, {kToolPostTensionStrand, "Post-Tension Strand"},
    {kToolFoundationSlope, "Foundation Slope"}};
const std::vector<ToolCell> kFloorCells = {
    {kToolExteriorWall, "Exterior Wall"}, {kToolInteriorWall, "Interior Wall"}, {kToolDoor, "Door"},
    {kToolWindow, "Window"}, {kToolFixtureLight, "Fixture Lights"}, {kToolCurvedWall, "Curved Wall"},
    {kToolWallBreak, "Wall Break"}, {kToolCasedOpening, "Cased Opening"},
    {kToolStraightStairway, "Straight Stairway"}, {kToolCurvedStairway, "Curved Stairway"},
    {kToolStraightRailing, "Straight Railing"}, {kToolCurvedRailing, "Curved Railing"},
    {kToolFloor, "Floor"}, {kToolFloorCutout, "Floor Cutout"}, {kToolAccessory, "Accessory"}};
const std::vector<ToolCell> kElectricalCells = {
    {kToolReceptacle110, "Receptacle 110V"}, {kToolReceptacle110Style, "Styled Receptacle 110V"},
    {kToolFloorCeilingReceptacle110, "Floor/Ceiling Receptacle 110V"},
    {kToolReceptacle220, "Receptacle 220V"},
    {kToolFloorCeilingReceptacle220, "Floor/Ceiling Receptacle 220V"}, {kToolSwitch, "Switch"},
    {kToolMultiWaySwitch, "Multi-Way Switch"}, {kToolDimmerSwitch, "Dimmer Switch"},
    {kToolSwitchConnector, "Switch Connector"}, {kToolFixtureLight, "Fixture Lights"},
    {kToolFloodLight, "Flood Light"}, {kToolCeilingFan, "Ceiling Fan"},
    {kToolCableOutlet, "Cable Outlet"}, {kToolPhoneOutlet, "Phone Outlet"},
    {kToolSmokeDetector, "Smoke Detector"}, {kToolThermostat, "Thermostat"}};
const std::vector<ToolCell> kPlumbingCells = {
    {kToolHoseBib, "Hose Bib"}, {kToolGasBib, "Gas Bib"}, {kToolFloorDrain, "Floor Drain"},
    {kToolToilet, "Toilet"}, {kToolSingleSink, "Single Sink"}, {kToolDoubleSink, "Double Sink"},
    {kToolTripleSink, "Triple Sink"}, {kToolOvalSink, "Oval Sink"}, {kToolBathTub, "Bathtub"},
    {kToolSpaTub, "Spa Tub"}, {kToolShower, "Shower"}, {kToolWaterHeater, "Water Heater"}};
const std::vector<ToolCell> kRoofingCells = {
    {kToolGableRoof, "Gable"}, {kToolHipRoof, "Hip"}, {kToolHipGableRoof, "Hip/Gable"},
    {kToolGableRoofConnector, "Gable Connector"}, {kToolHipRoofConnector, "Hip Connector"},
    {kToolCrossRoofConnector, "Cross Connector"}, {kToolFreehandRoof, "Freehand Roof"},
    {kToolFourPointFreehandRoof, "Four-Point Roof"}, {kToolThreePointFreehandRoof, "Three-Point Roof"},
    {kToolDormerCutout, "Dormer Cutout"}, {kToolSkylight, "Skylight"}};
const std::vector<ToolCell> kHVACCells = {
    {kToolAirDuct, "Air Duct"}, {kToolFloorRegister, "Floor Register"},
    {kToolCeilingRegister, "Ceiling Register"}, {kToolAirReturn, "Air Return"},
    {kToolFurnace, "Furnace"}, {kToolAirConditioner, "Air Conditioner"},
    {kToolHeatPump, "Heat Pump"}, {kToolBaseboardHeater, "Baseboard Heater"}};
const std::vector<ToolCell> kDeckCells = {
    {kToolDeckWithRailing, "Deck with Railing"}, {kToolDeckWithoutRailing, "Deck without Railing"},
    {kToolDeckStraightRailing, "Straight Railing"}, {kToolDeckCurvedRailing, "Curved Railing"},
    {kToolDeckStraightStairway, "Straight Stairway"}, {kToolDeckCurvedStairway, "Curved Stairway"},
    {kToolDeckCutout, "Deck Cutout"}};
const std::vector<ToolCell> kLandscapeCells = {
    {kToolPropertyLine, "Property Line"}, {kToolGroundFillRegion, "Ground Fill Region"},
    {kToolPathwayDriveway, "Pathway/Driveway"}, {kToolFill, "Fill"}, {kToolEdging, "Edging"},
    {kToolFence, "Fence"}, {kToolGate, "Gate"}, {kToolRetainingWall, "Retaining Wall"},
    {kToolSprinklerHead, "Sprinkler Head"}, {kToolExcavateTopography, "Excavate Topography"},
    {kToolStraightEdgeTopography, "Straight Topography"},
    {kToolCurvedTopography, "Curved Topography"}};
const std::vector<ToolCell> kDetailCells = {
    {kToolRectangle, "Rectangle"}, {kToolCircleOval, "Circle/Oval"}, {kToolLine, "Line"},
    {kToolPolygon, "Polygon"}, {kToolArc, "Arc"}, {kToolCircularArc, "Circular Arc"},
    {kToolMultigon, "Multigon"}, {kToolCurve, "Curve"}};

const std::vector<ToolCell>* const kMatrixCells[PlanToolPaletteController::kPlanKinds] = {
    &kFoundationCells, &kFloorCells, &kElectricalCells, &kPlumbingCells, &kRoofingCells,
    &kHVACCells, &kDeckCells, &kLandscapeCells, &kDetailCells};

const char* const kPlanTitles[PlanToolPaletteController::kPlanKinds] = {
    "Foundation", "Floor", "Electrical", "Plumbing", "Roofing", "HVAC", "Deck", "Landscape", "Detail"};

constexpr int kCellSize = 28;
constexpr int kStripHeight = 32;
// Width of the strip around the tool view: pop-up, stepper, spacing and margins.
constexpr int kChromeWidth = 204;
constexpr int kPopUpWidth = 110;
constexpr int kStepperButtonWidth = 18;
constexpr int kIndicatorWidth = 46;
constexpr int kSpacing = 2;

bool ValidKind(int16_t kind) { return kind >= 0 && kind < PlanToolPaletteController::kPlanKinds; }

// The planting age level of the design: DocState.plantAge rounded, as a 16-bit value; a
// value that is not a number or lies outside the 16-bit range counts as level 1.
int16_t RoundedPlantAge(const DocState* ds) {
  const float age = ds->plantAge;
  if (!std::isfinite(age) || age < -32768.0f || age > 32766.0f) return 1;
  return static_cast<int16_t>(static_cast<int32_t>(age + 0.5f));
}

int16_t MaximumPlantAge() {
  return gCurDocument && gCurDocument->itsMaximumPlantAge > 0 ? gCurDocument->itsMaximumPlantAge : 1;
}

// The plan view's scroll view takes the palettes' document cursor on its viewport, so the
// plan view (which lets its own cursor go at each mouse-down) shows it.
}  // namespace

void SetDocumentCursor(const QCursor& cursor) {
  if (ZLKWindowController* window = AppController::mainWindowController())
    if (ZLKDocumentScrollView* scroll = window->documentScrollView()) scroll->viewport()->setCursor(cursor);
}

QString PlantGrowthStatusText(int n) {
  switch (n) {
    case 1: return Localized("Plant Growth at 3 Months");
    case 2: return Localized("Plant Growth at 6 Months");
    case 3: return Localized("Plant Growth at 9 Months");
    default: return Localized("Plant Growth at %d Years").replace(QStringLiteral("%d"), QString::number(n - 3));
  }
}

PlanToolPaletteController& PlanToolPaletteController::sharedPlanToolPaletteController() {
  static PlanToolPaletteController* palette = new PlanToolPaletteController;
  return *palette;
}

PlanToolPaletteController::PlanToolPaletteController() : QWidget(nullptr, Qt::Tool) {
  setWindowTitle(Localized("Drawing Tools"));
  KeepKeyboardWithDesignWindow(this);
  setAttribute(Qt::WA_QuitOnClose, false);
  auto* strip = new QHBoxLayout(this);
  strip->setContentsMargins(kSpacing, 0, kSpacing, 0);
  strip->setSpacing(kSpacing);

  toolsetPopUp_ = new QComboBox(this);
  toolsetPopUp_->setFocusPolicy(Qt::NoFocus);
  toolsetPopUp_->setFixedWidth(kPopUpWidth);
  for (int kind = 0; kind < kPlanKinds; ++kind) toolsetPopUp_->addItem(Localized(kPlanTitles[kind]), kind);
  connect(toolsetPopUp_, &QComboBox::activated, this, [this] { toolsetPopUpButtonChanged(); });
  strip->addWidget(toolsetPopUp_);

  superToolView_ = new QWidget(this);
  auto* holder = new QHBoxLayout(superToolView_);
  holder->setContentsMargins(0, 0, 0, 0);
  holder->setSpacing(0);
  strip->addWidget(superToolView_);
  for (int16_t kind = 0; kind < kPlanKinds; ++kind) {
    auto* view = new QWidget(superToolView_);
    auto* grid = new QGridLayout(view);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    int column = 0;
    for (const ToolCell& c : *kMatrixCells[kind]) {
      QToolButton* button = MakeToolButton(c.tool, Localized(c.toolTip), view);
      button->setFixedSize(kCellSize, kCellSize);
      connect(button, &QToolButton::clicked, this, [this, kind, button] { buttonClicked(kind, button); });
      grid->addWidget(button, 0, column++);
      matrices_[kind].push_back(button);
    }
    view->setFixedSize(column * kCellSize, kCellSize);
    view->hide();
    toolViews_[kind] = view;
  }

  growthLeft_ = new QToolButton(this);
  growthLeft_->setArrowType(Qt::LeftArrow);
  growthLeft_->setFocusPolicy(Qt::NoFocus);
  growthLeft_->setFixedWidth(kStepperButtonWidth);
  growthLeft_->setToolTip(Localized("Younger Plants"));
  connect(growthLeft_, &QToolButton::clicked, this, [this] { plantGrowthLeftButtonChanged(); });
  growthIndicator_ = new QProgressBar(this);
  growthIndicator_->setTextVisible(false);
  growthIndicator_->setFixedWidth(kIndicatorWidth);
  growthIndicator_->setRange(0, 1);
  growthIndicator_->setEnabled(false);  // display only
  growthRight_ = new QToolButton(this);
  growthRight_->setArrowType(Qt::RightArrow);
  growthRight_->setFocusPolicy(Qt::NoFocus);
  growthRight_->setFixedWidth(kStepperButtonWidth);
  growthRight_->setToolTip(Localized("Older Plants"));
  connect(growthRight_, &QToolButton::clicked, this, [this] { plantGrowthRightButtonChanged(); });
  strip->addWidget(growthLeft_);
  strip->addWidget(growthIndicator_);
  strip->addWidget(growthRight_);
  static_assert(kPopUpWidth + 2 * kStepperButtonWidth + kIndicatorWidth + 6 * kSpacing == kChromeWidth);

  loadToolPaletteForPlan(kPlanLandscape);
  updateToolsetForPlan(kPlanLandscape);
  updatePlantGrowthIndicatorLevel();
}

QWidget* PlanToolPaletteController::toolView(int16_t kind) const {
  return ValidKind(kind) ? toolViews_[kind] : nullptr;
}

QToolButton* PlanToolPaletteController::cell(int16_t kind, int index) const {
  if (!ValidKind(kind) || index < 0 || index >= static_cast<int>(matrices_[kind].size())) return nullptr;
  return matrices_[kind][index];
}

int PlanToolPaletteController::cellCount(int16_t kind) const {
  return ValidKind(kind) ? static_cast<int>(matrices_[kind].size()) : 0;
}

void PlanToolPaletteController::loadToolPaletteForPlan(int16_t kind) {
  if (!ValidKind(kind)) return;
  QWidget* view = toolViews_[kind];
  for (QWidget* other : toolViews_) {
    if (other == view) continue;
    superToolView_->layout()->removeWidget(other);
    other->hide();
  }
  superToolView_->layout()->addWidget(view);
  view->show();
  superToolView_->setFixedSize(view->size());
  setFixedSize(view->width() + kChromeWidth, kStripHeight);
  shownKind_ = kind;
}

void PlanToolPaletteController::updateToolsetForPlan(int16_t kind) {
  const int index = toolsetPopUp_->findData(static_cast<int>(kind));
  if (index >= 0) toolsetPopUp_->setCurrentIndex(index);
}

void PlanToolPaletteController::toolsetPopUpButtonChanged() {
  loadToolPaletteForPlan(static_cast<int16_t>(toolsetPopUp_->currentData().toInt()));
}

void PlanToolPaletteController::removeToolSelection() {
  if (!ValidKind(shownKind_)) return;
  for (QToolButton* button : matrices_[shownKind_]) button->setChecked(false);
}

namespace {
// The custom door, window and skylight styles (kDoorCustom, kWindowCustom, kSkylightCustom of
// model/Attachments.h, whose field names collide with Qt's keywords here).
constexpr int16_t kCustomDoorStyle = 512, kCustomWindowStyle = 626, kCustomSkylightStyle = 806;
}  // namespace

void ApplyToolToContentPalette(uint16_t tool) {
  ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController();
  const DocState* ds = gCurDocument ? gCurDocument->itsDocState : nullptr;
  if (!palette || !ds) return;
  int32_t category = -1;
  if (tool == kToolDoor && ds->doorStyle == kCustomDoorStyle) category = kCategoryDoors;
  else if (tool == kToolWindow && ds->windowStyle == kCustomWindowStyle) category = kCategoryWindows;
  else if (tool == kToolSkylight && ds->skylightStyle == kCustomSkylightStyle) category = kCategoryWindows;
  else if (tool == kToolAccessory) category = kCategoryAccessories;
  if (category < 0) {
    palette->setCategorySelectionAbility(true);
    return;
  }
  palette->selectCategory(category, true);
  palette->setCategorySelectionAbility(false);
}

void PlanToolPaletteController::buttonClicked(int16_t kind, QToolButton* button) {
  // A click leaves the clicked cell selected, as in a radio matrix.
  button->setChecked(true);
  selectTool(kind, ToolOfButton(button));
}

void PlanToolPaletteController::selectTool(int16_t kind, int32_t tag) {
  if (!ValidKind(kind)) return;
  const auto t = static_cast<int16_t>(tag);
  if (t == static_cast<int16_t>(gCurTool)) return;
  if (t == -1) {
    // No cell left selected: the current tool's cell takes the selection again.
    for (int16_t k = 0; k < kPlanKinds; ++k) {
      if (toolViews_[k]->isHidden()) continue;
      for (QToolButton* button : matrices_[k])
        if (ToolOfButton(button) == gCurTool) {
          button->setChecked(true);
          return;
        }
    }
    return;
  }
  const uint16_t previous = gCurTool;
  gCurTool = static_cast<uint16_t>(t);
  ToolPaletteController::sharedToolPaletteController().removeToolSelection();
  for (const auto& matrix : matrices_)
    for (QToolButton* button : matrix) button->setChecked(false);
  for (QToolButton* button : matrices_[kind])
    if (ToolOfButton(button) == gCurTool) {
      button->setChecked(true);
      break;
    }
  ApplyToolToContentPalette(gCurTool);
  SetDocumentCursor(Qt::CrossCursor);
  if (gCurDocument && gCurDocument->itsLayers) SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  UpdateInspectorPropertiesState(true);
  Refresh();
  ZLKDocumentView::toolChosen(previous);
}

void PlanToolPaletteController::plantGrowthLeftButtonChanged() { stepPlantGrowth(-1); }
void PlanToolPaletteController::plantGrowthRightButtonChanged() { stepPlantGrowth(1); }

void PlanToolPaletteController::stepPlantGrowth(int16_t step) {
  if (!gCurDocument || !gCurDocument->itsDocState) return;
  DocState* ds = gCurDocument->itsDocState;
  RealTimePlantGrowthD3D(RoundedPlantAge(ds), step);
  updatePlantGrowthIndicatorLevel();
  const float age = ds->plantAge;
  const int n = std::isfinite(age) && std::fabs(age) < 32768.0f ? static_cast<int>(age) : 1;
  SetStatusBar(PlantGrowthStatusText(n).toUtf8().constData());
}

void PlanToolPaletteController::updatePlantGrowthIndicatorLevel() {
  if (!gCurDocument || !gCurDocument->itsDocState) return;
  const int16_t most = MaximumPlantAge();
  int16_t level = RoundedPlantAge(gCurDocument->itsDocState);
  if (level <= 0) level = 1;
  if (level > most) level = most;
  growthIndicator_->setRange(0, most);
  growthIndicator_->setValue(level);
  growthIndicator_->setToolTip(PlantGrowthStatusText(level));
  growthLeft_->setEnabled(level != 1);
  growthRight_->setEnabled(level != most);
}

void PlanToolPaletteController::showWindow() {
  AppController::setPlanToolsVisible(true);
  AppController::keepPanelsWithMainWindow();
  show();
}

void PlanToolPaletteController::setAutoSaveName() { AppController::restorePanelFrame(this, "PlanToolPanel"); }

void PlanToolPaletteController::windowWillClose() {
  AppController::savePanelFrame(this, "PlanToolPanel");
  AppController::setPlanToolsVisible(false);
}

UndoNameStack* PlanToolPaletteController::windowWillReturnUndoManager() const {
  return gCurDocument ? gCurDocument->itsUndoManager : nullptr;
}

void PlanToolPaletteController::closeEvent(QCloseEvent* event) {
  windowWillClose();
  event->accept();
}

void AttachToolPalettes(ZLKWindowController* window) {
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  plan.loadToolPaletteForPlan(gCurToolSet);
  plan.updateToolsetForPlan(gCurToolSet);
  edit.selectArrowTool();
  plan.removeToolSelection();
  plan.updatePlantGrowthIndicatorLevel();
  (void)window;
}
