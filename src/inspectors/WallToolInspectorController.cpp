// The wall tools' defaults (exterior, interior, curved and retaining wall tools).
#include "inspectors/WallToolInspectorController.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <cmath>

#include "inspectors/InspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/HitTest.h"
#include "model/Readouts.h"
#include "model/WallFields.h"

WallToolInspectorController::WallToolInspectorController() : WallInspectorBase("WallToolInspector") {
  buildCommonControls();
  wallSegmentLengthText = addField("Segment Length", "wallSegmentLengthText");
}

WallToolInspectorController* WallToolInspectorController::sharedInspectorController() {
  static auto* controller = new WallToolInspectorController;
  return controller;
}

void WallToolInspectorController::updatePropertiesForObject(Objex* object, bool) {
  if (!object) updateToolProperties();
}

void WallToolInspectorController::updateToolProperties() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  setPitchLabels(ds);
  const bool interior = gCurTool == 7052 || gCurTool == 7053;
  for (QWidget* w : std::initializer_list<QWidget*>{autoFlooringButton, floorDepthText, foundationButton,
                                                    foundationWidthText})
    w->setEnabled(!interior);
  SetFloatItem(wallThicknessText, ds->wallThickness);
  wallThicknessStepper->setValue(ds->wallThickness);
  wallThicknessStepper->setEnabled(true);
  SetFloatItem(studSpacingText, ds->studSpacing);
  SetFloatItem(floorDepthText, DefaultFloorDepthOf(ds));
  SetFloatItem(foundationWidthText, DefaultFoundationWidthOf(ds));
  autoFlooringButton->setChecked(NoAutoFloorOf(ds) == 0);
  if (!autoFlooringButton->isChecked()) floorDepthText->setEnabled(false);
  foundationButton->setChecked((gCurTool == 7050 || gCurTool == 7051) && ExteriorWallPlanMaskOf(ds) == 1);
  if (!foundationButton->isChecked()) foundationWidthText->setEnabled(false);
  SetFloatItem(wallHeightText, ds->wallHeight);
  SetFloatItem(wallHeightCText, WallHeightCOf(ds));
  SetFloatItem(wallHeightDText, WallHeightDOf(ds));
  SetFloatPitchItem(wallPitchAText, WallPitchAOf(ds));
  SetFloatPitchItem(wallPitchBText, WallPitchBOf(ds));
  displayDimsButton->setChecked(!(ds->wallDisplayFlags & 1));
  displayCalloutsButton->setChecked(!(ds->wallDisplayFlags & 2));
  SetFloatItem(wallSegmentLengthText, ds->wallSetting2);
  wallSegmentLengthText->setEnabled(gCurTool == 7054);
  gWallPropertiesStyle = ds->wallStyle;
  applyStyleRule(gWallPropertiesStyle);
  selectStyleRow(gWallPropertiesStyle);
}

void WallToolInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  const bool pitch = field == wallPitchAText || field == wallPitchBText;
  float v = 0;
  const bool readable = readNumber(field, pitch ? NumberKind::kPitch : NumberKind::kLength, &v);
  if (pitch) v = std::fabs(v);
  // The other two heights as their fields show them (an emptied field reads 0).
  auto shown = [&](QLineEdit* f) { return f == field ? v : GetFloatItem(f); };
  auto heightsOk = [&] {
    return WallHeightsAllowed(gWallPropertiesStyle, shown(wallHeightText), shown(wallHeightCText),
                              shown(wallHeightDText));
  };
  float* target = nullptr;
  bool accepted = false;
  if (field == wallHeightText || field == wallHeightCText || field == wallHeightDText) {
    accepted = v > 0.01f && v < 10000.0f && heightsOk();
    target = field == wallHeightText ? &ds->wallHeight : field == wallHeightCText ? &WallHeightCOf(ds) : &WallHeightDOf(ds);
  } else if (pitch) {
    accepted = v > 0.01f && v < 51.0f;
    target = field == wallPitchAText ? &WallPitchAOf(ds) : &WallPitchBOf(ds);
  } else if (field == wallThicknessText) {
    accepted = v > 0.1f && v < 73.0f;
    target = &ds->wallThickness;
  } else if (field == studSpacingText) {
    accepted = v > 1.9f && v < 73.0f;
    target = &ds->studSpacing;
  } else if (field == floorDepthText) {
    accepted = v > 0.1f && v < 121.0f;
    target = &DefaultFloorDepthOf(ds);
  } else if (field == foundationWidthText) {
    accepted = v > 0.1f && v < 121.0f;
    target = &DefaultFoundationWidthOf(ds);
  } else if (field == wallSegmentLengthText) {
    accepted = v >= 12.0f && v <= 10000.0f;
    target = &ds->wallSetting2;
  } else {
    return;
  }
  if (!readable || !accepted) {
    // Refused: the default is shown again.
    if (pitch) echoPitch(field, *target);
    else echoFloat(field, *target);
    if (field == wallThicknessText) {
      const bool was = wallThicknessStepper->blockSignals(true);
      wallThicknessStepper->setValue(ds->wallThickness);
      wallThicknessStepper->blockSignals(was);
    }
    return;
  }
  *target = v;
  if (field == wallThicknessText) {
    ds->wallSetting6 = v;
    const bool was = wallThicknessStepper->blockSignals(true);
    wallThicknessStepper->setValue(v);
    wallThicknessStepper->blockSignals(was);
  }
  if (field == foundationWidthText) ExteriorWallPlanMaskOf(ds) = 1;
  if (pitch) echoPitch(field, v);
  else echoFloat(field, v);
}

void WallToolInspectorController::wallThicknessStepperChanged() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  float v = static_cast<float>(wallThicknessStepper->value());
  NormalizeInputToPrecision(&v);
  const bool was = wallThicknessStepper->blockSignals(true);
  if (v >= 1.0f && v <= 72.0f) {
    ds->wallThickness = ds->wallSetting6 = v;
    echoFloat(wallThicknessText, v);
    wallThicknessStepper->setValue(v);
  } else {
    wallThicknessStepper->setValue(ds->wallThickness);
  }
  wallThicknessStepper->blockSignals(was);
}

void WallToolInspectorController::autoFlooringButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  const bool on = autoFlooringButton->isChecked();
  NoAutoFloorOf(ds) = on ? 0 : 1;
  floorDepthText->setEnabled(on);
}

void WallToolInspectorController::foundationButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  const bool on = foundationButton->isChecked();
  ExteriorWallPlanMaskOf(ds) = on ? 1 : 2;
  foundationWidthText->setEnabled(on);
}

void WallToolInspectorController::displayDimsButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  if (displayDimsButton->isChecked()) ds->wallDisplayFlags &= ~1;
  else ds->wallDisplayFlags |= 1;
}

void WallToolInspectorController::displayCalloutsButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  if (displayCalloutsButton->isChecked()) ds->wallDisplayFlags &= ~2;
  else ds->wallDisplayFlags |= 2;
}

void WallToolInspectorController::tableViewSelectionDidChange() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  const int row = wallStyleTableView->currentRow();
  if (row < 0) return;
  ds->wallStyle = row;
  gWallPropertiesStyle = row;
  applyStyleRule(row, false);
}
