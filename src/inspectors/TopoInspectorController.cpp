// The topography pane. A region's elevation is its width float and the tools' default is
// DocState's topography value, both in plan units.
#include "inspectors/TopoInspectorController.h"

#include <QLineEdit>

#include "inspectors/InspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TopoGrid.h"
#include "tools/SiteTools.h"

namespace {
float& RegionElevationOf(Objex* topography) { return topography->width; }
}  // namespace

TopoInspectorController::TopoInspectorController() : InspectorPane("TopoInspector") {
  elevationText = addField("Elevation", "elevationText");
}

TopoInspectorController* TopoInspectorController::sharedInspectorController() {
  static auto* controller = new TopoInspectorController;
  return controller;
}

void TopoInspectorController::updatePropertiesForObject(Objex* topography, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!topography) echoFloat(elevationText, ConvertScreenToWorld(TopoElevationOf(ds), ds, 0));
  else if (topography->type == kObjTopography)
    mergeFloat(elevationText, ConvertScreenToWorld(RegionElevationOf(topography), ds, 0), init);
}

void TopoInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer() || field != elevationText) return;
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the tools' default again.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v >= -10000.0f && v <= 10000.0f))
    return echoFloat(field, ConvertScreenToWorld(TopoElevationOf(ds), ds, 0));
  const float stored = ConvertWorldToScreen(v, ds, 0);
  bool changed = false;
  ForEachSelectedOfType(kObjTopography, [&](Objex* topography) {
    if (RegionElevationOf(topography) == stored) return;
    RegionElevationOf(topography) = stored;
    changed = true;
  });
  if (changed) {
    StoreInspectorUndo("Topography Elevation");
    SetLotElevation();
    gRefreshRender = 1;
    Refresh();
  }
  // The tools' default is not set from here: a value typed with no object stays in the field.
  echoFloat(field, v);
}
