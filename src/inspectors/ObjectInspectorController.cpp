// Placed 3D objects: the shadow switch, read from the root object and written on a group
// and its first part.
#include "inspectors/ObjectInspectorController.h"

#include <QCheckBox>
#include <QLineEdit>

#include "inspectors/InspectorController.h"
#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"

namespace {
// 1: the object casts no shadow.
uint16_t& NoShadowOf(Objex* o) { return o->options[1]; }
}  // namespace

ObjectInspectorController::ObjectInspectorController() : InspectorPane("ObjectInspector") {
  castShadowsButton = addCheck("Cast Shadows", "castShadowsButton", [this] { castShaddowsButtonChanged(); });
  // Size fields of the pane that no operation fills.
  angleText = addField("Angle", "angleText");
  widthText = addField("Width", "widthText");
  heightText = addField("Height", "heightText");
  depthText = addField("Depth", "depthText");
  perWidthText = addField("Width %", "perWidthText");
  perHeightText = addField("Height %", "perHeightText");
  perDepthText = addField("Depth %", "perDepthText");
  for (QLineEdit* f : {angleText, widthText, heightText, depthText, perWidthText, perHeightText, perDepthText})
    f->setEnabled(false);
}

ObjectInspectorController* ObjectInspectorController::sharedInspectorController() {
  static auto* controller = new ObjectInspectorController;
  return controller;
}

void ObjectInspectorController::updatePropertiesForObject(Objex* object, bool) {
  if (!InspectorDocState() || !object || object->type != kObjSymbolPart3D) return;
  Objex* root = GetRootObject(object);
  if (!root) return;
  Fill fill(this);
  const bool casts = NoShadowOf(root) == 0;
  if (!gCurFormwerkObject) {
    gCurFormwerkObject = root;
    castShadowsButton->setChecked(casts);
  } else if (castShadowsButton->isChecked() != casts) {
    castShadowsButton->setChecked(false);
  }
}

void ObjectInspectorController::castShaddowsButtonChanged() {
  Layer* layer = InspectorCurLayer();
  if (!layer) return;
  const uint16_t n = castShadowsButton->isChecked() ? 0 : 1;
  bool changed = false;
  for (Objex* o = layer->firstObject; o; o = o->next) {
    if (o->type == kObjGroup && IsObjectSelected(o) && o->firstChild && o->firstChild->type == kObjSymbolPart3D) {
      if (NoShadowOf(o) != n || NoShadowOf(o->firstChild) != n) {
        NoShadowOf(o) = NoShadowOf(o->firstChild) = n;
        ReRenderObject(o);
        changed = true;
      }
    } else if (o->type == kObjSymbolPart3D && NoShadowOf(o) != n && IsObjectSelected(o)) {
      NoShadowOf(o) = n;
      ReRenderObject(o);
      changed = true;
    }
  }
  if (changed) StoreInspectorUndo("Formwerk Shadow");
  Refresh();
}
