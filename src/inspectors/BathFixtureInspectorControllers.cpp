// The bath fixture panes. A fixture's record keeps its length along the wall in the record's
// width and its depth in the record's height, both in plan units.
#include "inspectors/BathFixtureInspectorControllers.h"

#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "inspectors/WallChildWalk.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"

namespace {
float& TubLength(DocState* ds) { return ds->bathTubSetting1; }
float& TubWidth(DocState* ds) { return ds->bathTubSetting2; }
float& SpaLength(DocState* ds) { return ds->spaTubSetting1; }
float& SpaWidth(DocState* ds) { return ds->spaTubSetting2; }
float& ShowerLength(DocState* ds) { return ds->showerSetting1; }
float& ShowerWidth(DocState* ds) { return ds->showerSetting2; }
}  // namespace

BathFixtureInspector::BathFixtureInspector(const Member& member)
    : InspectorPane(member.interfaceName), member_(member) {
  length_ = addField("Length", member.lengthOutlet);
  width_ = addField("Width", member.widthOutlet);
}

void BathFixtureInspector::updatePropertiesForObject(Objex* fixture, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!fixture) {
    echoFloat(length_, member_.lengthDefault(ds));
    echoFloat(width_, member_.widthDefault(ds));
    return;
  }
  if (fixture->type != kObjComponent || fixture->subtype != member_.subtype) return;
  const DoorWindowData* data = AttachmentData(fixture);
  if (!data) return;
  mergeFloat(length_, ConvertScreenToWorld(data->width, ds, 0), init);
  mergeFloat(width_, ConvertScreenToWorld(data->height, ds, 0), init);
}

void BathFixtureInspector::controlTextDidEndEditing(QLineEdit* field) {
  if (field == length_) editSize(field, true);
  else if (field == width_) editSize(field, false);
}

void BathFixtureInspector::editSize(QLineEdit* field, bool length) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the field's tool default again.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > 0.01f && v < 10000.0f))
    return echoFloat(field, length ? member_.lengthDefault(ds) : member_.widthDefault(ds));
  const float plan = ConvertWorldToScreen(v, ds, 0);
  const int changed =
      ForEachSelectedWallChild(kObjComponent, member_.subtype, true, [&](Objex*, Objex* fixture) {
        DoorWindowData* data = AttachmentData(fixture);
        if (!data) return false;
        float& size = length ? data->width : data->height;
        if (size == plan) return false;
        size = plan;
        return true;
      });
  float& fallback = length ? member_.lengthDefault(ds) : member_.widthDefault(ds);
  if (changed > 0 || fallback != v) StoreInspectorUndo(length ? member_.lengthLabel : member_.widthLabel);
  fallback = v;
  Refresh();
  echoFloat(field, v);
}

BathTubInspectorController::BathTubInspectorController()
    : BathFixtureInspector({"BathTubInspector", 95, "tubLengthText", "Bath Tub Length", TubLength, "tubWidthText",
                            "Bath Tub Width", TubWidth}),
      tubLengthText(lengthField()),
      tubWidthText(widthField()) {}

BathTubInspectorController* BathTubInspectorController::sharedInspectorController() {
  static auto* controller = new BathTubInspectorController;
  return controller;
}

SpaTubInspectorController::SpaTubInspectorController()
    : BathFixtureInspector({"SpaTubInspector", 96, "spaLengthText", "Spa Tub Length", SpaLength, "spaWidthText",
                            "Spa Tub Width", SpaWidth}),
      spaLengthText(lengthField()),
      spaWidthText(widthField()) {}

SpaTubInspectorController* SpaTubInspectorController::sharedInspectorController() {
  static auto* controller = new SpaTubInspectorController;
  return controller;
}

ShowerInspectorController::ShowerInspectorController()
    : BathFixtureInspector({"ShowerInspector", 97, "showerLengthText", "Shower Length", ShowerLength,
                            "showerWidthText", "Shower Width", ShowerWidth}),
      showerLengthText(lengthField()),
      showerWidthText(widthField()) {}

ShowerInspectorController* ShowerInspectorController::sharedInspectorController() {
  static auto* controller = new ShowerInspectorController;
  return controller;
}
