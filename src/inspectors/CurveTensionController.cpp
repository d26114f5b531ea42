// The curve tension sheet.
#include "inspectors/CurveTensionController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>

#include "files/Undo.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/ValueFields.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Strings.h"

int16_t gTension = 8;

CurveTensionController::CurveTensionController(QWidget* parent) : SheetController(parent, "CurveTensionSheet") {
  setWindowTitle(QString::fromStdString(LocalizedString("Smooth Curves")));
  tensionText = MakeSheetField(this, "tensionText");
  tensionStepper = new QSpinBox(this);
  tensionStepper->setObjectName("tensionStepper");
  tensionStepper->setRange(0, 10);
  auto* row = new QHBoxLayout;
  row->addWidget(tensionText);
  row->addWidget(tensionStepper);
  form()->addRow(QString::fromStdString(LocalizedString("Tension:")), row);
  connect(tensionStepper, qOverload<int>(&QSpinBox::valueChanged), this, [this] { tensionStepperChanged(); });
}

void CurveTensionController::newCurveTensionSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new CurveTensionController(parent));
}

void CurveTensionController::newCurveTensionSheetForMainWindow() {
  if (TheSheetHooks().mainDesignWindow) newCurveTensionSheetForParent(TheSheetHooks().mainDesignWindow());
}

void CurveTensionController::initializeControlStates() {
  SetLongItem(tensionText, gTension);
  const QSignalBlocker block(tensionStepper);
  tensionStepper->setValue(gTension);
}

void CurveTensionController::tensionStepperChanged() { SetLongItem(tensionText, tensionStepper->value()); }

void CurveTensionController::applySheet(ZLKDocumentModel* doc, DocState* ds) {
  if (!doc->itsLayers) return;
  int32_t typed = 0;
  if (!readWholeNumber(tensionText, &typed)) return;
  const int16_t previous = ds->curveTension;
  const int16_t t = static_cast<int16_t>(typed > 10 ? 10 : (typed < 0 ? 0 : typed));
  ds->curveTension = t;
  SelectedObjectAllLayers(doc->itsLayers, 1, kCmdSmoothObjects, CommandArg::None());
  Refresh();
  StoreUndo(LocalizedString("Smooth Objects"));
  gTension = t;
  ds->curveTension = previous;
}
