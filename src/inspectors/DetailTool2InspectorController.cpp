// The multigon tool's pane.
#include "inspectors/DetailTool2InspectorController.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <algorithm>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"

namespace {
// A multigon needs 3 sides; more than 64 draw as a circle anyway.
int ClampSides(int32_t n) { return std::clamp<int32_t>(n, 3, 64); }
}  // namespace

DetailTool2InspectorController::DetailTool2InspectorController()
    : DetailShapeToolInspectorBase("DetailTool2Inspector") {
  multigonSidesText = addField("Sides", "multigonSidesText");
  multigonSidesStepper =
      addStepper(nullptr, "multigonSidesStepper", 1.0, [this] { changeMultigonSidesStepper(); }, 3, 64, 0);
  addShapeControls();
}

DetailTool2InspectorController* DetailTool2InspectorController::sharedInspectorController() {
  static auto* controller = new DetailTool2InspectorController;
  return controller;
}

void DetailTool2InspectorController::updateToolProperties() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  SetLongItem(multigonSidesText, ds->multigonSides);
  multigonSidesStepper->setValue(ds->multigonSides);
  selectEditLevel(ds);
  displayDimsButton->setChecked(!(ds->detailDisplayDims & 1));
}

void DetailTool2InspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  if (field != multigonSidesText) return DetailToolInspectorBase::controlTextDidEndEditing(field);
  int32_t typed = 0;
  if (!readWholeNumber(field, &typed)) return;
  const int n = ClampSides(typed);
  const bool was = multigonSidesStepper->blockSignals(true);
  multigonSidesStepper->setValue(n);
  multigonSidesStepper->blockSignals(was);
  SetLongItem(field, n);
  rememberShown(field);
  ds->multigonSides = static_cast<int16_t>(n);
}

void DetailTool2InspectorController::changeMultigonSidesStepper() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  const int n = ClampSides(static_cast<int32_t>(multigonSidesStepper->value()));
  SetLongItem(multigonSidesText, n);
  rememberShown(multigonSidesText);
  ds->multigonSides = static_cast<int16_t>(n);
}
