// Placed 3D objects: the shadow switch, read from the root object and written on a group
// and its first part.
#include "inspectors/ObjectInspectorController.h"

#include <QCheckBox>
#include <QLineEdit>
#include <cmath>
#include <functional>

#include "inspectors/InspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"

namespace {
// 1: the object casts no shadow.
uint16_t& NoShadowOf(Objex* o) { return o->options[1]; }

// A placed object's size in its own frame: its angle is the direction of the first edge of
// its first part (the models are built with that edge along their width), its width and
// depth the extents along that edge and across it, its height the extent up. Turning the
// object turns the frame, so the sizes stay those of the object, not of its plan bounds.
struct ObjectSize {
  float angle = 0, width = 0, depth = 0, height = 0;
};

void ForEachPoint(const Objex* o, const std::function<void(const Poinz*)>& f) {
  for (const Poinz* p = o->firstPoint; p; p = p->next) f(p);
  for (const Objex* c = o->firstChild; c; c = c->next) ForEachPoint(c, f);
}

ObjectSize SizeOf(const Objex* root) {
  ObjectSize size;
  const Objex* first = root->firstChild ? root->firstChild : root;
  const Poinz* a = first->firstPoint;
  const Poinz* b = a ? a->next : nullptr;
  double ux = 1, uz = 0;
  if (a && b) {
    const double dx = b->position[0] - a->position[0], dz = b->position[2] - a->position[2];
    const double length = std::hypot(dx, dz);
    if (length > 1e-6 && std::isfinite(length)) {
      ux = dx / length;
      uz = dz / length;
    }
  }
  // Plan z grows down the screen: an edge running up the plan has a positive angle.
  double degrees = std::atan2(-uz, ux) * 180.0 / 3.14159265358979323846;
  if (degrees < 0) degrees += 360;
  if (degrees >= 359.995) degrees = 0;
  size.angle = static_cast<float>(degrees);
  double lowU = 0, highU = 0, lowV = 0, highV = 0, lowY = 0, highY = 0;
  bool any = false;
  ForEachPoint(root, [&](const Poinz* p) {
    const double x = p->position[0], y = p->position[1], z = p->position[2];
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return;
    const double u = x * ux + z * uz, v = -x * uz + z * ux;
    if (!any) {
      lowU = highU = u;
      lowV = highV = v;
      lowY = highY = y;
      any = true;
      return;
    }
    lowU = std::min(lowU, u), highU = std::max(highU, u);
    lowV = std::min(lowV, v), highV = std::max(highV, v);
    lowY = std::min(lowY, y), highY = std::max(highY, y);
  });
  size.width = static_cast<float>(highU - lowU);
  size.depth = static_cast<float>(highV - lowV);
  size.height = static_cast<float>(highY - lowY);
  return size;
}
}  // namespace

ObjectInspectorController::ObjectInspectorController() : InspectorPane("ObjectInspector") {
  castShadowsButton = addCheck("Cast Shadows", "castShadowsButton", [this] { castShaddowsButtonChanged(); });
  // The size of the object shown: read only (the resize and rotate tools change it).
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
  const bool firstShown = !gCurFormwerkObject;
  if (firstShown) {
    gCurFormwerkObject = root;
    castShadowsButton->setChecked(casts);
  } else if (castShadowsButton->isChecked() != casts) {
    castShadowsButton->setChecked(false);
  }
  // Each part of a group comes here; the sizes are the root's, so later parts of the same
  // root change nothing, and another object's differing sizes empty the fields as mixed.
  if (!firstShown && root == lastSizedRoot_) return;
  lastSizedRoot_ = root;
  ObjectSize size = SizeOf(root);
  // The parts hold plan units; the fields show lengths, as the size readout does.
  const DocState* ds = InspectorDocState();
  for (float* length : {&size.width, &size.depth, &size.height})
    *length = GetInchesFromWorld(ConvertScreenToWorld(*length, ds, 0), ds);
  if (firstShown) {
    SetFloatAngleItem(angleText, size.angle, 0);
    savedAngleValue = size.angle;
  } else if (std::fabs(savedAngleValue - size.angle) > 0.005f) {
    blankField(angleText);
  }
  mergeFloat(widthText, size.width, firstShown);
  mergeFloat(depthText, size.depth, firstShown);
  mergeFloat(heightText, size.height, firstShown);
  savedWidthValue = size.width;
  savedDepthValue = size.depth;
  savedHeightValue = size.height;
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
