// Floors and cut-outs: thickness, automatic dimensions and the curve buttons.
#include "inspectors/FloorInspectorController.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "inspectors/GenericObjInspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "platform/Strings.h"

namespace {
bool IsFloorKind(const Objex* o) { return o->type == kObjFloor || o->type == kObjCutout; }
float& ThicknessOf(Objex* o) { return o->params[2]; }
// Bit 0: the outline shows its automatic dimensions.
int32_t& OptionFlagsOf(Objex* o) { return o->extraLong; }

void ForEachSelectedFloor(const std::function<void(Objex*)>& f) {
  Layer* layer = InspectorCurLayer();
  if (!layer) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (IsFloorKind(o) && IsObjectSelected(o)) f(o);
}
}  // namespace

FloorInspectorController::FloorInspectorController() : InspectorPane("FloorInspector") {
  objectTypeLabel = addLabel("Floor Properties", "objectTypeLabel");
  floorThicknessText = addField("Thickness", "floorThicknessText");
  displayDimsButton = addCheck("Display Dimensions", "displayDimsButton", [this] { displayDimsButtonChanged(); });
  adjustCurveButton = addButton("Adjust Curve...", "adjustCurveButton", [this] { adjustCurveButtonChanged(); });
  straightenCurveButton =
      addButton("Straighten Curve", "straightenCurveButton", [this] { straightenCurveButtonChanged(); });
}

FloorInspectorController* FloorInspectorController::sharedInspectorController() {
  static auto* controller = new FloorInspectorController;
  return controller;
}

void FloorInspectorController::updatePropertiesForObject(Objex* floor, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!floor) {
    const char* title = gCurTool == 7062   ? "Floor Properties"
                        : gCurTool == 7063 ? "Floor Cutout Properties"
                        : gCurTool == 7606 ? "Deck Cutout Properties"
                                           : nullptr;
    if (title) objectTypeLabel->setText(QString::fromStdString(LocalizedString(title)));
    SetFloatItem(floorThicknessText, ds->floorThickness);
    for (QWidget* w : std::initializer_list<QWidget*>{displayDimsButton, adjustCurveButton, straightenCurveButton})
      w->hide();
    return;
  }
  if (!IsFloorKind(floor)) return;
  mergeFloat(floorThicknessText, ThicknessOf(floor), init);
  const bool dims = OptionFlagsOf(floor) & 1;
  if (init) displayDimsButton->setChecked(dims);
  else if (displayDimsButton->isChecked() != dims) displayDimsButton->setChecked(false);
  for (QWidget* w : std::initializer_list<QWidget*>{displayDimsButton, adjustCurveButton, straightenCurveButton})
    w->show();
}

void FloorInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer() || field != floorThicknessText) return;
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the tool default again.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > 0.01f && v < 10000.0f))
    return echoFloat(field, ds->floorThickness);
  bool changed = false;
  ForEachSelectedFloor([&](Objex* o) {
    if (ThicknessOf(o) == v) return;
    ThicknessOf(o) = v;
    Update3DFloorSkirting(o);
    ReRenderObject(o);
    changed = true;
  });
  if (changed) StoreInspectorUndo("Flooring Thickness");
  Refresh();
  ds->floorThickness = v;
  echoFloat(field, v);
}

void FloorInspectorController::displayDimsButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  const bool on = displayDimsButton->isChecked();
  bool any = false;
  ForEachSelectedFloor([&](Objex* o) {
    if (on) OptionFlagsOf(o) |= 1;
    else OptionFlagsOf(o) &= ~1;
    any = true;
  });
  if (any) StoreInspectorUndo("Floor Auto-Dimensions");
  Refresh();
}

void FloorInspectorController::adjustCurveButtonChanged() { InspectorSmoothSelected(); }
void FloorInspectorController::straightenCurveButtonChanged() { InspectorUnsmoothSelected(); }
