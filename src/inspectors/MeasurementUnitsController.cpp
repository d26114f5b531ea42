// The measurement units sheet.
#include "inspectors/MeasurementUnitsController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>

#include "files/Undo.h"
#include "inspectors/ReadoutFormatControls.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/SnapPaletteController.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Strings.h"

MeasurementUnitsController::MeasurementUnitsController(QWidget* parent)
    : SheetController(parent, "MeasurementUnitsSheet") {
  setWindowTitle(QString::fromStdString(LocalizedString("Measurement Units")));
  controls = new ReadoutFormatControls(this, form());
  auto* defaults = new QPushButton(QString::fromStdString(LocalizedString("Defaults")), this);
  defaults->setObjectName("defaultsButton");
  form()->addRow(defaults);
  connect(controls->unitsPopUpButton, qOverload<int>(&QComboBox::activated), this,
          [this] { unitsPopUpButtonChanged(); });
  connect(controls->field2PopUpButton, qOverload<int>(&QComboBox::activated), this,
          [this] { field2PopUpButtonChanged(); });
  connect(defaults, &QPushButton::clicked, this, [this] { defaultsButtonChanged(); });
}

void MeasurementUnitsController::newMeasurementUnitsSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new MeasurementUnitsController(parent));
}

void MeasurementUnitsController::initializeControlStates() {
  const DocState* ds = CurDocState();
  if (ds) {
    controls->angleFormat = ds->angleReadout;
    controls->imperialFormat = ds->imperialReadout;
    controls->metricFormat = ds->metricReadout;
    controls->selectUnits(ds->measureSystem);
    controls->loadField1ItemsAndSelect();
    controls->loadField2ItemsAndSelect();
    controls->loadField3ItemsAndSelect();
    controls->selectReadoutFormatCell();
  }
  controls->setFieldVisibility();
}

void MeasurementUnitsController::defaultsButtonChanged() {
  controls->angleFormat = 2;
  if (controls->unitsTag() == 3) {
    controls->imperialFormat = 112;
    controls->readoutFormatMatrix->button(0)->setChecked(true);
  } else {
    controls->metricFormat = 1;
  }
  controls->loadField1ItemsAndSelect();
  controls->loadField2ItemsAndSelect();
  controls->loadField3ItemsAndSelect();
}

void MeasurementUnitsController::applySheet(ZLKDocumentModel*, DocState* ds) {
  controls->saveIntermediateValues();
  const int units = controls->unitsTag();
  ds->measureSystem = static_cast<int16_t>(units);
  ds->angleReadout = controls->angleFormat;
  if (units != 3) ds->metricReadout = controls->metricFormat;
  else ds->imperialReadout = controls->imperialFormat;
  SnapPaletteController::sharedSnapPaletteController().updateSnapOffsetText();
  UpdateInspectorPropertiesState(true);
  if (TheSheetHooks().refreshTrimContent) TheSheetHooks().refreshTrimContent();
  Refresh();
  StoreUndo(LocalizedString("Measurement Options"));
}
