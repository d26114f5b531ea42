// The accessory pane. An accessory's record is the wall attachment record: its width, height
// and elevation in plan units, its offset from the wall face in inches in the swing slot; its
// translucency (0 to 255) is the fifth float of the object.
#include "inspectors/AccessoryInspectorController.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "inspectors/ReleaseSlider.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/ValueFields.h"
#include "inspectors/WallChildWalk.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "tools/AccessoryTool.h"

namespace {
float& TranslucencyOf(Objex* accessory) { return accessory->params[4]; }
// A translucency read from a design may be anything: shown and taken as a default within 0 to 255.
float ShownTranslucency(float translucency) {
  return std::isfinite(translucency) ? std::clamp(translucency, 0.0f, 255.0f) : 0.0f;
}
int PercentOf(float translucency) { return static_cast<int>(std::lround(translucency / 255.0f * 100.0f)); }
int TranslucencyOfPercent(int percent) { return static_cast<int>(std::lround(percent / 100.0f * 255.0f)); }

// One text field: its record value, whether it is held in plan units, its default and label.
struct AccessoryValue {
  float& (*value)(DoorWindowData*);
  bool planUnits;
  float* fallback;
  const char* label;
};
float& HeightOf(DoorWindowData* r) { return r->height; }
float& WidthOf(DoorWindowData* r) { return r->width; }
float& ElevationOf(DoorWindowData* r) { return r->elevation; }
float& WallOffsetOf(DoorWindowData* r) { return r->openAngle(); }
}  // namespace

AccessoryInspectorController::AccessoryInspectorController() : InspectorPane("AccessoryInspector") {
  accessoryHeightText = addField("Height", "accessoryHeightText");
  accessoryWidthText = addField("Width", "accessoryWidthText");
  accessoryElevationText = addField("Elevation", "accessoryElevationText");
  accessoryOffsetText = addField("Wall Offset", "accessoryOffsetText");
  transparencySlider = new ReleaseSlider(view_, 0, 100);
  transparencySlider->setObjectName(QStringLiteral("transparencySlider"));
  addRow("Transparency (%)", transparencySlider);
  transPercentLabel = addLabel("0", "transPercentLabel");
  connect(transparencySlider, &QSlider::valueChanged, this, [this] { transparencySliderChanged(false); });
  connect(transparencySlider, &ReleaseSlider::released, this, [this] { transparencySliderChanged(true); });
}

AccessoryInspectorController* AccessoryInspectorController::sharedInspectorController() {
  static auto* controller = new AccessoryInspectorController;
  return controller;
}

void AccessoryInspectorController::showPercent(int percent) {
  transPercentLabel->setText(QString::number(percent));
}

void AccessoryInspectorController::updatePropertiesForObject(Objex* accessory, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  Fill fill(this);
  if (!accessory) {
    // What the tool places next: its sizes follow the window defaults until set.
    FillAccessoryDefaults(ds);
    echoFloat(accessoryHeightText, gdsAccessoryHeight);
    echoFloat(accessoryWidthText, gdsAccessoryWidth);
    echoFloat(accessoryElevationText, gdsAccessoryElevation);
    echoFloat(accessoryOffsetText, gdsAccessoryWallOffset);
    transparencySlider->setValue(PercentOf(gdsAccessoryTranslucency));
    showPercent(transparencySlider->value());
    return;
  }
  DoorWindowData* data = accessory->type == kObjAccessory ? AttachmentData(accessory) : nullptr;
  if (!data) return;
  mergeFloat(accessoryWidthText, ConvertScreenToWorld(data->width, ds, 0), init);
  mergeFloat(accessoryHeightText, ConvertScreenToWorld(data->height, ds, 0), init);
  mergeFloat(accessoryOffsetText, data->openAngle(), init);
  mergeFloat(accessoryElevationText, ConvertScreenToWorld(data->elevation, ds, 0), init);
  const float translucency = ShownTranslucency(TranslucencyOf(accessory));
  const int percent = PercentOf(translucency);
  if (init) {
    transparencySlider->setValue(percent);
    showPercent(percent);
    // The tool's default follows the first selected accessory.
    gdsAccessoryTranslucency = static_cast<int16_t>(translucency);
  } else if (transparencySlider->value() != percent) {
    transparencySlider->setValue(0);
    showPercent(0);
  }
}

void AccessoryInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  AccessoryValue edit{};
  if (field == accessoryHeightText) edit = {HeightOf, true, &gdsAccessoryHeight, "Accessory Height"};
  else if (field == accessoryWidthText) edit = {WidthOf, true, &gdsAccessoryWidth, "Accessory Width"};
  else if (field == accessoryElevationText) edit = {ElevationOf, true, &gdsAccessoryElevation, "Accessory Elevation"};
  else if (field == accessoryOffsetText) edit = {WallOffsetOf, false, &gdsAccessoryWallOffset, "Accessory Wall Offset"};
  else return;
  // The tool's sizes take the window defaults before this edit sets one of them, or the
  // others would stay 0.
  FillAccessoryDefaults(ds);
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the field's tool default again.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > 0.01f && v < 10000.0f)) {
    FillAccessoryDefaults(ds);
    return echoFloat(field, *edit.fallback);
  }
  const float stored = edit.planUnits ? ConvertWorldToScreen(v, ds, 0) : v;
  const int changed = ForEachSelectedWallChild(kObjAccessory, -1, true, [&](Objex*, Objex* accessory) {
    DoorWindowData* data = AttachmentData(accessory);
    if (!data || edit.value(data) == stored) return false;
    edit.value(data) = stored;
    return true;
  });
  if (changed > 0) StoreInspectorUndo(edit.label);
  Refresh();
  *edit.fallback = v;
  echoFloat(field, v);
}

void AccessoryInspectorController::transparencySliderChanged(bool release) {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  showPercent(transparencySlider->value());
  if (!release) return;
  const int translucency = TranslucencyOfPercent(transparencySlider->value());
  gdsAccessoryTranslucency = static_cast<int16_t>(translucency);
  const int changed = ForEachSelectedWallChild(kObjAccessory, -1, true, [&](Objex*, Objex* accessory) {
    if (!AttachmentData(accessory) || TranslucencyOf(accessory) == translucency) return false;
    TranslucencyOf(accessory) = static_cast<float>(translucency);
    return true;
  });
  if (changed == 0) return;
  StoreInspectorUndo("Accessory Transparency");
  gRefreshRender = 1;
  if (TheSheetHooks().redraw3DView) TheSheetHooks().redraw3DView();
}
