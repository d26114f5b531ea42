// The roof pitch controls and the pane of generated roofs.
#include "inspectors/Roof1InspectorController.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "building3d/RoofPanels3D.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Services.h"
#include "model/Readouts.h"
#include "model/Records.h"

namespace {
// The pitch of new roofs and roof panels, and the second pitch default kept equal to it.
float& RoofPitchOf(DocState* ds) { return ds->newRoofPitch(); }
float& RoofPitch2Of(DocState* ds) { return ds->roofPitch; }
}  // namespace

RoofPitchInspector::RoofPitchInspector(const char* interfaceName, int16_t targetType)
    : InspectorPane(interfaceName), targetType_(targetType) {}

void RoofPitchInspector::buildPitchControls() {
  pitchRatioText = addField("Pitch", "pitchRatioText");
  pitchRunText = addLabel(": 12", "pitchRunText");
  // The stepper keeps to the pitches the ratio field takes (0 to 1000).
  pitchRatioStepper = addStepper(nullptr, "pitchRatioStepper", 0.5, [this] { pitchStepperChanged(); }, 0.0, 1000.0);
  pitchAngleText = addField("Angle", "pitchAngleText");
}

void RoofPitchInspector::showPitch(float pitch) {
  SetFloatPitchItem(pitchRatioText, pitch);
  SetFloatPitchAngleItem(pitchAngleText, pitch);
  pitchRatioStepper->setValue(pitch);
  pitchRatioStepper->setEnabled(true);
  pitchAngleText->setEnabled(true);
}

void RoofPitchInspector::mergeRoofPitch(float pitch) {
  if (std::fabs(GetFloatPitchItem(pitchRatioText) - pitch) <= 0.005f) return;
  pitchRatioText->clear();
  pitchAngleText->clear();
  pitchRatioStepper->setEnabled(false);
  pitchAngleText->setEnabled(false);
}

void RoofPitchInspector::applyPitch(float pitch, bool fromText) {
  DocState* ds = InspectorDocState();
  bool changed = false;
  ForEachSelectedOfType(targetType_, [&](Objex* o) {
    if (o->width == pitch) return;
    o->width = pitch;
    if (o->type == kObjRoof) {
      Update3DRoof(o);
    } else {
      if (Objex* arrow = FindSlopeDirectionArrowObject(o)) arrow->width = pitch;
      Update3DRoofPanel(o);
    }
    ReRenderObject(o);
    changed = true;
  });
  if (changed || pitch != RoofPitchOf(ds)) StoreInspectorUndo("Roof Pitch");
  Refresh();
  RoofPitchOf(ds) = RoofPitch2Of(ds) = pitch;
  const bool was = pitchRatioStepper->blockSignals(true);
  SetFloatPitchAngleItem(pitchAngleText, pitch);
  echoPitch(pitchRatioText, pitch);
  rememberShown(pitchAngleText);
  if (fromText) pitchRatioStepper->setValue(pitch);
  pitchRatioStepper->blockSignals(was);
}

void RoofPitchInspector::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  // A refused entry (an emptied mixed field too) shows the tool's pitch again: a refused
  // ratio in both fields, a refused angle in the angle field only.
  auto showDefaultAngle = [&] {
    echoWith(pitchAngleText, [&] { SetFloatPitchAngleItem(pitchAngleText, RoofPitchOf(ds)); });
  };
  if (field == pitchRatioText) {
    float p = 0;
    if (readNumber(field, NumberKind::kPitch, &p) && p >= 0.0f && p <= 1000.0f) {
      applyPitch(p, true);
    } else {
      echoPitch(field, RoofPitchOf(ds));
      showDefaultAngle();
    }
    pitchRatioStepper->setEnabled(true);
    pitchAngleText->setEnabled(true);
  } else if (field == pitchAngleText) {
    float a = 0;
    if (readNumber(field, NumberKind::kAngle, &a) && a >= 0.0f && a <= 89.3125f)
      applyPitch(ConvertAngleToPitch(a), true);
    else
      showDefaultAngle();
  } else {
    handleOtherField(field);
  }
}

void RoofPitchInspector::pitchStepperChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  applyPitch(static_cast<float>(pitchRatioStepper->value()), false);
}

Roof1InspectorController::Roof1InspectorController() : RoofPitchInspector("Roof1Inspector", kObjRoof) {
  buildPitchControls();
}

Roof1InspectorController* Roof1InspectorController::sharedInspectorController() {
  static auto* controller = new Roof1InspectorController;
  return controller;
}

void Roof1InspectorController::updatePropertiesForObject(Objex* roof, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  pitchRunText->setText(PitchSuffixText(ds));
  if (!roof) showPitch(RoofPitchOf(ds));
  else if (roof->type != kObjRoof) return;
  else if (init) showPitch(roof->width);
  else mergeRoofPitch(roof->width);
}
