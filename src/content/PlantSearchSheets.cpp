// The find-plant, find-object and plant finder sheets and the zone map sheet.
#include "content/PlantSearchSheets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "content/ContentPaletteController.h"
#include "content/ContentSearches.h"
#include "platform/Strings.h"

namespace {

QString Text(const char* english) { return QString::fromStdString(LocalizedString(english)); }

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* title, bool on) {
  auto* box = new QCheckBox(Text(title), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(on);
  return box;
}

// The "Name contains:" field at the top of a search sheet's body.
QLineEdit* AddNameField(QWidget* sheet, QVBoxLayout* body) {
  auto* form = new QFormLayout;
  auto* field = new QLineEdit(sheet);
  field->setObjectName(QStringLiteral("nameText"));
  form->addRow(Text("Name contains:"), field);
  body->insertLayout(0, form);
  return field;
}

QGroupBox* Group(const char* title, QWidget* content, QWidget* parent) {
  auto* group = new QGroupBox(Text(title), parent);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(content);
  return group;
}

const char* const kLevelWords[4] = {"Minimal", "Average", "Moderate", "Excessive"};
const char* const kSeasonWords[4] = {"Winter", "Spring", "Summer", "Autumn"};
const char* const kSoilWords[8] = {"Sandy", "Sandy Loam", "Loam", "Silty Loam", "Clay Loam", "Clay", "Alkaline", "Acidic"};

// One row of cells, bit k for code k + 1.
CheckBoxMatrix* CodeCells(QWidget* parent, const char* name, const char* const* words, int count) {
  auto* matrix = new CheckBoxMatrix(parent, name, count);
  for (int k = 0; k < count; ++k) matrix->addCell(Text(words[k]), 1u << k);
  return matrix;
}

// Sets or clears the bits of each cell in the filter.
void TakeCells(const std::vector<QCheckBox*>& cells, long* filter) {
  for (const QCheckBox* cell : cells) {
    const long bits = static_cast<long>(CheckBoxMatrix::tagOf(cell));
    if (cell->isChecked()) *filter |= bits;
    else *filter &= ~bits;
  }
}

void ShowCells(const std::vector<QCheckBox*>& cells, long filter) {
  for (QCheckBox* cell : cells) {
    const long bits = static_cast<long>(CheckBoxMatrix::tagOf(cell));
    cell->setChecked(bits != 0 && (filter & bits) == bits);
  }
}

}  // namespace

// ---- Check box matrix ----

CheckBoxMatrix::CheckBoxMatrix(QWidget* parent, const char* name, int columns)
    : QWidget(parent), columns_(columns > 0 ? columns : 1) {
  setObjectName(QString::fromLatin1(name));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
}

QCheckBox* CheckBoxMatrix::addCell(const QString& title, uint32_t tag) {
  auto* cell = new QCheckBox(title, this);
  cell->setProperty("tag", static_cast<qulonglong>(tag));
  const int index = static_cast<int>(cells_.size());
  static_cast<QGridLayout*>(layout())->addWidget(cell, index / columns_, index % columns_);
  cells_.push_back(cell);
  return cell;
}

std::vector<QCheckBox*> CheckBoxMatrix::cellsOfRow(int row) const {
  std::vector<QCheckBox*> out;
  for (size_t i = 0; i < cells_.size(); ++i)
    if (static_cast<int>(i) / columns_ == row) out.push_back(cells_[i]);
  return out;
}

uint32_t CheckBoxMatrix::tagOf(const QCheckBox* cell) {
  return cell ? static_cast<uint32_t>(cell->property("tag").toULongLong()) : 0;
}

void CheckBoxMatrix::setCellsEnabled(bool enabled) {
  for (QCheckBox* cell : cells_) cell->setEnabled(enabled);
}

// ---- The sheet pattern ----

ContentSheet::ContentSheet(QWidget* parent, const char* layoutName, const char* okTitle, const char* cancelTitle)
    : QDialog(parent) {
  setObjectName(QString::fromLatin1(layoutName));
  setWindowModality(Qt::WindowModal);
  body_ = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  if (cancelTitle) {
    cancelButton_ = new QPushButton(Text(cancelTitle), this);
    cancelButton_->setProperty("tag", 0);
    connect(cancelButton_, &QPushButton::clicked, this, [this] { dismissSheet(0); });
    buttons->addWidget(cancelButton_);
  }
  okButton_ = new QPushButton(Text(okTitle), this);
  okButton_->setProperty("tag", 1);
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, [this] { dismissSheet(1); });
  buttons->addWidget(okButton_);
  body_->addLayout(buttons);
}

bool ContentSheet::beginSheet(QWidget* parent, ContentSheet* sheet) {
  if (!sheet) return false;
  if (!parent) {
    delete sheet;
    return false;
  }
  sheet->open();
  return true;
}

void ContentSheet::addProgressRow() {
  auto* row = new QHBoxLayout;
  progressIndicator = new QProgressBar(this);
  progressIndicator->setObjectName(QStringLiteral("progressIndicator"));
  progressIndicator->setRange(0, 1);
  progressIndicator->setTextVisible(false);
  progressIndicator->setFixedWidth(80);
  progressIndicator->hide();
  progressText = new QLabel(Text("Searching..."), this);
  progressText->setObjectName(QStringLiteral("progressText"));
  progressText->hide();
  row->addWidget(progressIndicator);
  row->addWidget(progressText, 1);
  // Above the buttons.
  body_->insertLayout(body_->count() - 1, row);
}

void ContentSheet::startProgress() {
  if (!progressIndicator) return;
  progressIndicator->show();
  progressText->show();
  progressText->repaint();
  progressIndicator->setRange(0, 0);
}

void ContentSheet::stopProgress() {
  if (!progressIndicator) return;
  progressIndicator->setRange(0, 1);
  progressIndicator->hide();
  progressText->hide();
}

void ContentSheet::dismissSheet(int tag) {
  if (dismissing_) return;
  dismissing_ = true;
  if (tag == 1) acceptSheet();
  stopProgress();
  done(1);
  if (keptAfterClosing()) {
    // Kept for the next use: it no longer belongs to the window it was shown on.
    setParent(nullptr, windowFlags());
    dismissing_ = false;
    return;
  }
  deleteLater();
}

// ---- Find plant by name ----

FindPlantByNameController::FindPlantByNameController(QWidget* parent)
    : ContentSheet(parent, "FindPlantByNameSheet", "Search", "Cancel") {
  setWindowTitle(Text("Find Plant by Name"));
  searchButton = okButton();
  nameText = AddNameField(this, body());
  searchOEMLibButton = MakeCheckBox(this, "searchOEMLibButton", "Search the plant library", true);
  OEMCategoryButtons = new CheckBoxMatrix(this, "OEMCategoryButtons", 3);
  for (int row = 0; row < kStockPlantRanges; ++row)
    OEMCategoryButtons->addCell(Text(kStockPlantSearchRanges[row].name), 1u << row);
  for (QCheckBox* cell : OEMCategoryButtons->cells()) cell->setChecked(true);
  searchUserLibButton = MakeCheckBox(this, "searchUserLibButton", "Search my plants", true);
  body()->insertWidget(1, searchOEMLibButton);
  body()->insertWidget(2, Group("Plant categories", OEMCategoryButtons, this));
  body()->insertWidget(3, searchUserLibButton);
  addProgressRow();
  connect(searchOEMLibButton, &QCheckBox::toggled, this, [this] { searchOEMLibButtonChanged(); });
  connect(searchUserLibButton, &QCheckBox::toggled, this, [this] { searchUserLibButtonChanged(); });
  for (QCheckBox* cell : OEMCategoryButtons->cells())
    connect(cell, &QCheckBox::toggled, this, [this] { OEMCategoryButtonsChanged(); });
}

FindPlantByNameController* FindPlantByNameController::newFindPlantByNameSheetForParent(QWidget* parent) {
  if (!parent) return nullptr;
  auto* sheet = new FindPlantByNameController(parent);
  return beginSheet(parent, sheet) ? sheet : nullptr;
}

int FindPlantByNameController::checkedCellCount() const {
  int count = 0;
  for (const QCheckBox* cell : OEMCategoryButtons->cells())
    if (cell->isChecked()) ++count;
  return count;
}

void FindPlantByNameController::searchOEMLibButtonChanged() {
  const bool on = searchOEMLibButton->isChecked();
  OEMCategoryButtons->setCellsEnabled(on);
  searchButton->setEnabled((on || searchUserLibButton->isChecked()) && checkedCellCount() > 0);
}

void FindPlantByNameController::OEMCategoryButtonsChanged() { searchButton->setEnabled(checkedCellCount() > 0); }

void FindPlantByNameController::searchUserLibButtonChanged() {
  searchButton->setEnabled(searchUserLibButton->isChecked() ||
                           (searchOEMLibButton->isChecked() && checkedCellCount() > 0));
}

void FindPlantByNameController::acceptSheet() {
  startProgress();
  // Information files hold their names in ISO Latin 1: the typed name is matched in it too.
  const std::string name = nameText->text().toLatin1().toStdString();
  const bool stock = searchOEMLibButton->isChecked();
  const bool user = searchUserLibButton->isChecked();
  uint32_t filter = 0;
  if (stock)
    for (const QCheckBox* cell : OEMCategoryButtons->cells())
      if (cell->isChecked()) filter |= CheckBoxMatrix::tagOf(cell);
  if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController())
    palette->searchPlantsUsingName(name, filter, stock, user);
}

// ---- Find object by name ----

FindObjectByNameController::FindObjectByNameController(QWidget* parent)
    : ContentSheet(parent, "FindObjectByNameSheet", "Search", "Cancel") {
  setWindowTitle(Text("Find Object by Name"));
  searchButton = okButton();
  nameText = AddNameField(this, body());
  search2DLibButton = MakeCheckBox(this, "search2DLibButton", "Search 2D symbols", true);
  search3DLibButton = MakeCheckBox(this, "search3DLibButton", "Search 3D objects", true);
  body()->insertWidget(1, search2DLibButton);
  body()->insertWidget(2, search3DLibButton);
  addProgressRow();
  connect(search2DLibButton, &QCheckBox::toggled, this, [this] { search2DLibButtonChanged(); });
  connect(search3DLibButton, &QCheckBox::toggled, this, [this] { search3DLibButtonChanged(); });
}

FindObjectByNameController* FindObjectByNameController::newFindObjectByNameSheetForParent(QWidget* parent) {
  if (!parent) return nullptr;
  auto* sheet = new FindObjectByNameController(parent);
  return beginSheet(parent, sheet) ? sheet : nullptr;
}

void FindObjectByNameController::search2DLibButtonChanged() {
  searchButton->setEnabled(search2DLibButton->isChecked() || search3DLibButton->isChecked());
}

void FindObjectByNameController::search3DLibButtonChanged() {
  searchButton->setEnabled(search3DLibButton->isChecked() || search2DLibButton->isChecked());
}

void FindObjectByNameController::acceptSheet() {
  startProgress();
  if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController())
    palette->searchObjectsUsingName(nameText->text().toLatin1().toStdString(), search2DLibButton->isChecked(),
                                    search3DLibButton->isChecked());
}

// ---- Plant finder ----

namespace {
QPointer<PlantFinderController> sPlantFinder;
}

PlantFinderController::PlantFinderController() : ContentSheet(nullptr, "PlantFinderSheet", "Search", "Cancel") {
  setWindowTitle(Text("Plant Finder"));
  zoneButtons = new CheckBoxMatrix(this, "zoneButtons", 5);
  for (int k = 0; k < 10; ++k) zoneButtons->addCell(QString::number(k + 1), 1u << k);
  sunlightButtons = CodeCells(this, "sunlightButtons", kLevelWords, 4);
  waterButtons = CodeCells(this, "waterButtons", kLevelWords, 4);
  soilButtons = new CheckBoxMatrix(this, "soilButtons", 4);
  for (int k = 0; k < 8; ++k) soilButtons->addCell(Text(kSoilWords[k]), 1u << k);
  propagationButtons = CodeCells(this, "propagationButtons", kSeasonWords, 4);
  int at = 0;
  body()->insertWidget(at++, Group("Hardiness zones", zoneButtons, this));
  body()->insertWidget(at++, Group("Sunlight", sunlightButtons, this));
  body()->insertWidget(at++, Group("Water", waterButtons, this));
  body()->insertWidget(at++, Group("Soil", soilButtons, this));
  body()->insertWidget(at++, Group("Propagation", propagationButtons, this));
  searchOEMLibButton = MakeCheckBox(this, "searchOEMLibButton", "Search the plant library", true);
  searchUserLibButton = MakeCheckBox(this, "searchUserLibButton", "Search my plants", true);
  body()->insertWidget(at++, searchOEMLibButton);
  body()->insertWidget(at++, searchUserLibButton);
  addProgressRow();
  // The first filters: every code and zone.
  searchOEMLib = searchUserLib = true;
  waterView = propagationView = sunlightView = 15;
  soilView = 255;
  zoneView = 1023;
  ShowCells(zoneButtons->cells(), zoneView);
  ShowCells(soilButtons->cells(), soilView);
  ShowCells(sunlightButtons->cellsOfRow(0), sunlightView);
  ShowCells(waterButtons->cellsOfRow(0), waterView);
  ShowCells(propagationButtons->cellsOfRow(0), propagationView);
}

PlantFinderController* PlantFinderController::sharedPlantFinder() { return sPlantFinder.data(); }

PlantFinderController* PlantFinderController::sharedPlantFinderSheetForParent(QWidget* parent) {
  if (!parent) return nullptr;
  if (!sPlantFinder) sPlantFinder = new PlantFinderController();
  PlantFinderController* finder = sPlantFinder.data();
  if (finder->isVisible()) return finder;
  // The finder outlives the windows it is shown on: it only borrows one while open.
  finder->setParent(parent, finder->windowFlags() | Qt::Dialog);
  finder->setWindowModality(Qt::WindowModal);
  finder->open();
  return finder;
}

void PlantFinderController::updateSearchCriteria() {
  TakeCells(zoneButtons->cells(), &zoneView);
  TakeCells(soilButtons->cells(), &soilView);
  TakeCells(sunlightButtons->cellsOfRow(0), &sunlightView);
  TakeCells(waterButtons->cellsOfRow(0), &waterView);
  TakeCells(propagationButtons->cellsOfRow(0), &propagationView);
}

void PlantFinderController::acceptSheet() {
  startProgress();
  updateSearchCriteria();
  searchOEMLib = searchOEMLibButton->isChecked();
  searchUserLib = searchUserLibButton->isChecked();
  PlantConditionFilters filters;
  filters.zone = static_cast<uint32_t>(zoneView);
  filters.sun = static_cast<uint32_t>(sunlightView);
  filters.soil = static_cast<uint32_t>(soilView);
  filters.water = static_cast<uint32_t>(waterView);
  filters.propagation = static_cast<uint32_t>(propagationView);
  if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController())
    palette->searchPlantsUsingConditions(filters, searchOEMLib, searchUserLib);
}

// ---- Zone maps ----

namespace {
const char* const kZoneMapTitles[5] = {"U.S. (Continental)", "Alaska/Hawaii", "Canada", "Europe", "Australia"};
const char* const kZoneMapImages[5] = {"PlantZoneUSA", "PlantZoneAKHI", "PlantZoneCanada", "PlantZoneEurope",
                                       "PlantZoneAustralia"};
}  // namespace

PlantZoneController::PlantZoneController(QWidget* parent) : ContentSheet(parent, "PlantZoneSheet", "OK", nullptr) {
  setWindowTitle(Text("Plant Hardiness Zones"));
  zonePopUpButton = new QComboBox(this);
  zonePopUpButton->setObjectName(QStringLiteral("zonePopUpButton"));
  imageView = new QLabel(this);
  imageView->setObjectName(QStringLiteral("imageView"));
  imageView->setAlignment(Qt::AlignCenter);
  body()->insertWidget(0, zonePopUpButton);
  body()->insertWidget(1, imageView, 1);
  initializeControlStates();
  connect(zonePopUpButton, &QComboBox::activated, this, [this](int) { zonePopUpButtonChanged(); });
}

PlantZoneController* PlantZoneController::newPlantZoneSheetForParent(QWidget* parent) {
  if (!parent) return nullptr;
  auto* sheet = new PlantZoneController(parent);
  return beginSheet(parent, sheet) ? sheet : nullptr;
}

void PlantZoneController::initializeControlStates() {
  zonePopUpButton->clear();
  for (const char* title : kZoneMapTitles) zonePopUpButton->addItem(Text(title));
  zonePopUpButton->setCurrentIndex(0);
  setImageForIndex(0);
}

void PlantZoneController::setImageForIndex(int index) {
  if (index < 0 || index > 4) return;
  shownImage_ = QString::fromLatin1(kZoneMapImages[index]);
  imageView->setPixmap(QPixmap::fromImage(PlantZoneImage(shownImage_)));
}

void PlantZoneController::zonePopUpButtonChanged() { setImageForIndex(zonePopUpButton->currentIndex()); }
