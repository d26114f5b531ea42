// The detail object pane and the conversion of 2D outlines.
#include "inspectors/DetailObjectInspectorController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "inspectors/DetailTool1InspectorController.h"
#include "inspectors/GenericObjInspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/CommandCodes.h"
#include "model/ConvertObject.h"
#include "model/DocState.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "platform/Strings.h"

namespace {

QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }
// Bit 0: no automatic segment dimensions.
int32_t& OptionFlagsOf(Objex* o) { return o->extraLong; }
int32_t& EditLevelOf(Objex* o) { return o->extraFlags; }
// Ovals, arcs, curves and switch connectors have no segment dimensions.
bool HasNoDimensions(const Objex* o) {
  return o->subtype == 2 || o->subtype == 5 || o->subtype == 7 || o->subtype == kSubSwitchConnector;
}
bool IsCurved(const Objex* o) {
  for (const Poinz* p = o->firstPoint; p; p = p->next)
    for (int i = 0; i < 3; ++i)
      if (p->inHandle[i] != 0.0f || p->outHandle[i] != 0.0f) return true;
  return false;
}

}  // namespace

DetailObjectInspectorController::DetailObjectInspectorController() : InspectorPane("DetailObjectInspector") {
  patternPopUpButton = addPopUp("Pattern", "patternPopUpButton", [this] { patternPopUpButtonChanged(); });
  LoadPatternItems(patternPopUpButton);
  SelectItemWithTag(patternPopUpButton, gPattern);
  lineStylePopUpButton = addPopUp("Line Style", "lineStylePopUpButton", [this] { lineStylePopUpButtonChanged(); });
  LoadLineStyleItems(lineStylePopUpButton);
  SelectItemWithTag(lineStylePopUpButton, 6);
  lineWidthText = addField("Line Width", "lineWidthText");
  lineWidthStepper = addStepper(nullptr, "lineWidthStepper", 1.0, [this] { lineWidthStepperChanged(); }, 1, 72, 0);
  SetLongItem(lineWidthText, 1);
  rememberShown(lineWidthText);
  editLevelButtons = addMatrix("Edit Level", "editLevelButtons", {{0, Text("Whole Shape")}, {1, Text("Points")}},
                               [this] { editLevelButtonsChanged(); });
  displayDimsButton = addCheck("Display Dimensions", "displayDimsButton", [this] { displayDimsButtonChanged(); });
  conversionPopUpButton = addPopUp(nullptr, "conversionPopUpButton", [this] { conversionPopUpButtonChanged(); });
  addButton("Adjust Curve...", "adjustCurveButton", [this] { adjustCurveButtonChanged(); });
  addButton("Straighten Curve", "straightenCurveButton", [this] { straightenCurveButtonChanged(); });
}

DetailObjectInspectorController* DetailObjectInspectorController::sharedInspectorController() {
  static auto* controller = new DetailObjectInspectorController;
  return controller;
}

void DetailObjectInspectorController::updatePropertiesForObject(Objex* object, bool init) {
  if (!InspectorDocState() || !object || object->type != kObjDetail) return;
  Fill fill(this);
  // The conversion list follows the whole selection of the floor, which the rebuild does not
  // change: it is made once, with the first object.
  if (init) populateConversionPopUpButton();
  const bool dims = !(OptionFlagsOf(object) & 1);
  if (init) {
    editLevelButtons->selectCellWithTag(EditLevelOf(object) == 0 ? 0 : 1);
    displayDimsButton->setChecked(dims);
    displayDimsButton->setEnabled(!HasNoDimensions(object));
  } else {
    if (editLevelButtons->selectedTag() != (EditLevelOf(object) == 0 ? 0 : 1)) editLevelButtons->deselectAllCells();
    if (displayDimsButton->isChecked() != dims) displayDimsButton->setChecked(false);
    if (HasNoDimensions(object)) displayDimsButton->setEnabled(false);
  }
}

void DetailObjectInspectorController::populateConversionPopUpButton() {
  if (!InspectorCurLayer()) return;
  bool atLeast3 = true, pathOK = true, noCurves = true, no2Point = true, allClosed = true, allOpen = false;
  bool first = true;
  ForEachSelectedOfType(kObjDetail, [&](Objex* o) {
    const int32_t n = o->pointCount;
    const bool closed = o->closed != 0;
    if (n < 3) atLeast3 = false;
    if (closed || n < 2) pathOK = false;
    if (IsCurved(o)) noCurves = false;
    if (n == 2) no2Point = false;
    if (first) {
      allClosed = closed;
      allOpen = !closed;
      first = false;
    } else if ((allClosed && !closed) || (allOpen && closed)) {
      allClosed = allOpen = false;
    }
  });
  QComboBox* popUp = conversionPopUpButton;
  const bool was = popUp->blockSignals(true);
  popUp->clear();
  auto add = [&](const char* title, int tag) { popUp->addItem(Text(title), tag); };
  auto separator = [&] { popUp->insertSeparator(popUp->count()); };
  add("Convert Object To...", 0);
  add("Interior Wall", kCmdConvertToInteriorWall);
  add("Exterior Wall", kCmdConvertToExteriorWall);
  separator();
  add("Staircase", kCmdConvertToStaircase);
  add("Railing", kCmdConvertToRailing);
  if (atLeast3) {
    separator();
    add("Floor", kCmdConvertToFloor);
    add("Floor Cutout", kCmdConvertToFloorCutout);
    separator();
    add("Freehand Roof", kCmdConvertToFreehandRoof);
    separator();
    add("Deck With Railing", kCmdConvertToDeckWithRailing);
    add("Deck Without Railing", kCmdConvertToDeckWithoutRailing);
  }
  add("Deck Stairs", kCmdConvertToDeckStairs);
  add("Deck Railing", kCmdConvertToDeckRailing);
  if (atLeast3) add("Deck Cutout", kCmdConvertToDeckCutout);
  separator();
  if (atLeast3) {
    add("Property Line", kCmdConvertToPropertyLine);
    add("Ground Fill Region", kCmdConvertToGroundFillRegion);
  }
  add("Edging", kCmdConvertToEdging);
  if (pathOK) add("Pathway/Driveway", kCmdConvertToPathway);
  if (noCurves) add("Fence", kCmdConvertToFence);
  add("Retaining Wall", kCmdConvertToRetainingWall);
  if (atLeast3) {
    add("Topography", kCmdConvertToTopography);
    add("Topography Excavation", kCmdConvertToTopographyExcavation);
  }
  if (no2Point && allClosed) {
    separator();
    add("Open Polygon", kCmdConvertToOpenPolygon);
  }
  if (no2Point && allOpen) {
    separator();
    add("Closed Polygon", kCmdConvertToClosedPolygon);
  }
  popUp->setCurrentIndex(0);
  popUp->blockSignals(was);
}

bool DetailObjectInspectorController::setEach(const std::function<bool(Objex*)>& apply) {
  bool changed = false;
  ForEachSelectedOfType(kObjDetail, [&](Objex* o) { changed = apply(o) || changed; });
  return changed;
}

void DetailObjectInspectorController::patternPopUpButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  const int tag = SelectedTag(patternPopUpButton);
  if (tag < 0) return;
  const bool changed = setEach([&](Objex* o) {
    if (o->fillPattern == tag) return false;
    o->fillPattern = static_cast<int16_t>(tag);
    return true;
  });
  if (changed) StoreInspectorUndo("Object Pattern");
  Refresh();
  gPattern = static_cast<int16_t>(tag);
}

void DetailObjectInspectorController::lineStylePopUpButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const int tag = SelectedTag(lineStylePopUpButton);
  if (tag < 0) return;
  const bool changed = setEach([&](Objex* o) {
    if (o->penStyle == tag) return false;
    o->penStyle = static_cast<int16_t>(tag);
    return true;
  });
  if (changed) StoreInspectorUndo("Object Line Style");
  Refresh();
  ds->newPenStyle = static_cast<int16_t>(tag);
}

void DetailObjectInspectorController::lineWidthStepperChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const int w = std::clamp(static_cast<int>(lineWidthStepper->value()), 1, 72);
  const bool changed = setEach([&](Objex* o) {
    if (o->width == static_cast<float>(w)) return false;
    o->width = static_cast<float>(w);
    return true;
  });
  if (changed) StoreInspectorUndo("Object Line Width");
  Refresh();
  SetLongItem(lineWidthText, w);
  rememberShown(lineWidthText);
  ds->newLineWeight = static_cast<int16_t>(w);
}

void DetailObjectInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer() || field != lineWidthText) return;
  float typedWidth = 0;
  // 0 or less draws nothing: refused, and the field shows the tool's width again (an
  // emptied mixed field too). Wider than the widest stroke: the widest.
  if (!readNumber(field, NumberKind::kDecimal, &typedWidth) || !(typedWidth > 0.0f)) {
    echoWith(field, [&] { SetLongItem(field, ds->newLineWeight); });
    return;
  }
  const double typed = typedWidth;
  const float w = static_cast<float>(std::min(typed, 72.0));
  const bool changed = setEach([&](Objex* o) {
    if (o->width == w) return false;
    o->width = w;
    return true;
  });
  if (changed) StoreInspectorUndo("Object Line Width");
  Refresh();
  const int whole = std::max(1, static_cast<int>(w));
  const bool was = lineWidthStepper->blockSignals(true);
  lineWidthStepper->setValue(whole);
  lineWidthStepper->setEnabled(true);
  lineWidthStepper->blockSignals(was);
  SetLongItem(field, whole);
  rememberShown(field);
  ds->newLineWeight = static_cast<int16_t>(whole);
}

void DetailObjectInspectorController::editLevelButtonsChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const int tag = editLevelButtons->selectedTag();
  if (tag < 0) return;
  const bool changed = setEach([&](Objex* o) {
    if (EditLevelOf(o) == tag) return false;
    // Deselected and selected again so that the handles follow the new level.
    SelectObj(o, kSelectOff, 1);
    EditLevelOf(o) = tag;
    SelectObj(o, kSelectOn, 1);
    return true;
  });
  if (changed) StoreInspectorUndo("Object Edit Level");
  Refresh();
  ds->detailEditLevel = tag;
}

void DetailObjectInspectorController::displayDimsButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const bool on = displayDimsButton->isChecked();
  const bool changed = setEach([&](Objex* o) {
    if (on) OptionFlagsOf(o) &= ~1;
    else OptionFlagsOf(o) |= 1;
    return true;
  });
  if (changed) StoreInspectorUndo("Object Auto-Dimensions");
  Refresh();
  if (on) ds->detailDisplayDims &= ~1;
  else ds->detailDisplayDims |= 1;
}

void DetailObjectInspectorController::conversionPopUpButtonChanged() {
  Layer* layer = InspectorCurLayer();
  const int tag = SelectedTag(conversionPopUpButton);
  if (!layer || tag < kCmdConvertToInteriorWall || tag > kCmdConvertToDeckCutout) return;
  ConversionBatch batch;
  for (Objex* o = layer->firstObject; o;) {
    if (o->type == kObjDetail && IsObjectSelected(o)) {
      // The conversion may unlink or retype the object: go on from the next detail object.
      Objex* next = o->next;
      while (next && next->type != kObjDetail) next = next->next;
      ConvertObjectType(o, tag);
      o = next;
    } else {
      o = o->next;
    }
  }
  const bool was = conversionPopUpButton->blockSignals(true);
  conversionPopUpButton->setCurrentIndex(0);
  conversionPopUpButton->blockSignals(was);
}

void DetailObjectInspectorController::adjustCurveButtonChanged() { InspectorSmoothSelected(); }
void DetailObjectInspectorController::straightenCurveButtonChanged() { InspectorUnsmoothSelected(); }

void DetailObjectInspectorController::loadPatternItems() { LoadPatternItems(patternPopUpButton); }

void DetailObjectInspectorController::loadLineStyleItems() { LoadLineStyleItems(lineStylePopUpButton); }
