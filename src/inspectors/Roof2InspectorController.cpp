// Freehand roof panels: pitch, elevation choice and the soffit options of their tools.
#include "inspectors/Roof2InspectorController.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"

namespace {
// The elevation cell a roof panel was drawn with (the short after the capped flag).
int16_t& ElevationTagOf(Objex* panel) { return panel->direction; }
}  // namespace

Roof2InspectorController::Roof2InspectorController() : RoofPitchInspector("Roof2Inspector", kObjRoofPanel) {
  buildPitchControls();
  elevationButtons = addMatrix("Elevation", "elevationButtons",
                               {{0, QStringLiteral("Top of Wall")}, {1, QStringLiteral("Floor Level")},
                                {2, QStringLiteral("Ceiling Level")}},
                               [this] { elevationButtonsChanged(); });
  soffitBox = new QFrame(view_);
  soffitBox->setObjectName(QStringLiteral("soffitBox"));
  soffitBox->setFixedHeight(2);
  addRow(nullptr, soffitBox);
  soffitLabel = addLabel("Soffits", "soffitLabel");
  includeSoffitsButton =
      addCheck("Include Soffits", "includeSoffitsButton", [this] { includeSoffitsButtonChanged(); });
  soffitDepthLabel = addLabel("Soffit Depth", "soffitDepthLabel");
  soffitDepthText = addField("", "soffitDepthText");
  baseSoffitButton = addCheck("Base", "baseSoffitButton", [this] { baseSoffitButtonChanged(); });
  leftSoffitButton = addCheck("Left", "leftSoffitButton", [this] { leftSoffitButtonChanged(); });
  rightSoffitButton = addCheck("Right", "rightSoffitButton", [this] { rightSoffitButtonChanged(); });
}

Roof2InspectorController* Roof2InspectorController::sharedInspectorController() {
  static auto* controller = new Roof2InspectorController;
  return controller;
}

void Roof2InspectorController::showSoffits(bool shown, bool sides) {
  for (QWidget* w : std::initializer_list<QWidget*>{soffitLabel, includeSoffitsButton, soffitDepthLabel,
                                                    soffitDepthText, baseSoffitButton})
    w->setVisible(shown);
  leftSoffitButton->setVisible(shown && sides);
  rightSoffitButton->setVisible(shown && sides);
  soffitBox->setFrameShape(shown ? QFrame::HLine : QFrame::NoFrame);
}

void Roof2InspectorController::updatePropertiesForObject(Objex* panel, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  pitchRunText->setText(PitchSuffixText(ds));
  if (!panel) {
    showPitch(ds->newRoofPitch());
    elevationButtons->selectCellWithTag(ds->roofElevationRef);
    showSoffits(gCurTool == 7307 || gCurTool == 7308, gCurTool == 7307);
    const bool included = ds->includeSoffits != 0;
    for (QWidget* w : std::initializer_list<QWidget*>{soffitDepthText, baseSoffitButton, leftSoffitButton,
                                                      rightSoffitButton})
      w->setEnabled(included);
    SetFloatItem(soffitDepthText, ds->soffitDepth);
    includeSoffitsButton->setChecked(included);
    baseSoffitButton->setChecked(ds->soffitBase != 0);
    leftSoffitButton->setChecked(ds->soffitLeft != 0);
    rightSoffitButton->setChecked(ds->soffitRight != 0);
    return;
  }
  showSoffits(false, false);
  if (panel->type != kObjRoofPanel) return;
  if (init) {
    showPitch(panel->width);
    elevationButtons->selectCellWithTag(ElevationTagOf(panel));
  } else {
    mergeRoofPitch(panel->width);
    if (elevationButtons->selectedTag() != ElevationTagOf(panel)) elevationButtons->deselectAllCells();
  }
}

bool Roof2InspectorController::handleOtherField(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (field != soffitDepthText) return false;
  float v = 0;
  // A refused entry shows the stored depth again.
  if (readNumber(field, NumberKind::kLength, &v) && v > 0.01f && v < 10000.0f) {
    ds->soffitDepth = v;
    echoFloat(field, v);
  } else {
    echoFloat(field, ds->soffitDepth);
  }
  return true;
}

void Roof2InspectorController::elevationButtonsChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const int tag = elevationButtons->selectedTag();
  if (tag < 0) return;
  bool changed = false;
  ForEachSelectedOfType(kObjRoofPanel, [&](Objex* panel) {
    if (ElevationTagOf(panel) == tag) return;
    ElevationTagOf(panel) = static_cast<int16_t>(tag);
    Update3DRoofPanel(panel);
    ReRenderObject(panel);
    changed = true;
  });
  if (changed || ds->roofElevationRef != tag) StoreInspectorUndo("Roof Elevation");
  Refresh();
  ds->roofElevationRef = static_cast<int16_t>(tag);
}

void Roof2InspectorController::includeSoffitsButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  const bool on = includeSoffitsButton->isChecked();
  ds->includeSoffits = on ? 1 : 0;
  for (QWidget* w : std::initializer_list<QWidget*>{soffitDepthText, baseSoffitButton, leftSoffitButton,
                                                    rightSoffitButton})
    w->setEnabled(on);
}

void Roof2InspectorController::baseSoffitButtonChanged() {
  if (DocState* ds = InspectorDocState()) ds->soffitBase = baseSoffitButton->isChecked() ? 1 : 0;
}
void Roof2InspectorController::leftSoffitButtonChanged() {
  if (DocState* ds = InspectorDocState()) ds->soffitLeft = leftSoffitButton->isChecked() ? 1 : 0;
}
void Roof2InspectorController::rightSoffitButtonChanged() {
  if (DocState* ds = InspectorDocState()) ds->soffitRight = rightSoffitButton->isChecked() ? 1 : 0;
}
