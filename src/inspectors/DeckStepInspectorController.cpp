// Deck steps: their record keeps width and height in plan units; the pane shows inches.
#include "inspectors/DeckStepInspectorController.h"

#include <QCheckBox>
#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DeckFields.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"

namespace {
DeckStepsData* StepsRecord(Objex* o) {
  return o && o->type == kObjDeckSteps ? static_cast<DeckStepsData*>(o->typeData) : nullptr;
}

// Calls edit for each selected deck steps object (with its record) hanging on a deck of the
// current layer; a deck for which edit answered true is rebuilt. True when any deck was.
bool EditSelectedDeckSteps(const std::function<bool(DeckStepsData*)>& edit) {
  Layer* layer = InspectorCurLayer();
  if (!layer) return false;
  bool rebuilt = false;
  for (Objex* deck = layer->firstObject; deck; deck = deck->next) {
    if (deck->type != kObjDeck) continue;
    bool changed = false;
    for (Objex* c = deck->firstChild; c; c = c->next) {
      DeckStepsData* r = StepsRecord(c);
      if (r && IsRootObjectSelected(c) && edit(r)) changed = true;
    }
    if (!changed) continue;
    Update3DDeck(deck);
    ReRenderObject(deck);
    rebuilt = true;
  }
  return rebuilt;
}
}  // namespace

DeckStepInspectorController::DeckStepInspectorController() : InspectorPane("DeckStepInspector") {
  stepWidthText = addField("Step Width", "stepWidthText");
  stepHeightText = addField("Total Height", "stepHeightText");
  leftRailButton = addCheck("Left Handrail", "leftRailButton", [this] { leftRailButtonChanged(); });
  rightRailButton = addCheck("Right Handrail", "rightRailButton", [this] { rightRailButtonChanged(); });
}

DeckStepInspectorController* DeckStepInspectorController::sharedInspectorController() {
  static auto* controller = new DeckStepInspectorController;
  return controller;
}

void DeckStepInspectorController::updatePropertiesForObject(Objex* steps, bool init) {
  DocState* ds = InspectorDocState();
  DeckStepsData* r = StepsRecord(steps);
  if (!ds || !r) return;
  Fill fill(this);
  mergeFloat(stepWidthText, ConvertScreenToWorld(r->width, ds, 0), init);
  mergeFloat(stepHeightText, ConvertScreenToWorld(r->height, ds, 0), init);
  const bool left = StepsLeftRailOf(r) != 0, right = StepsRightRailOf(r) != 0;
  if (init) {
    leftRailButton->setChecked(left);
    rightRailButton->setChecked(right);
  } else {
    if (leftRailButton->isChecked() != left) leftRailButton->setChecked(false);
    if (rightRailButton->isChecked() != right) rightRailButton->setChecked(false);
  }
}

void DeckStepInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer() || (field != stepWidthText && field != stepHeightText)) return;
  const bool width = field == stepWidthText;
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the tool default again.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > 0.01f && v < 10000.0f))
    return echoFloat(field, width ? ds->deckStepWidth : DeckStepHeightOf(ds));
  const float plan = ConvertWorldToScreen(v, ds, 0);
  const bool rebuilt = EditSelectedDeckSteps([&](DeckStepsData* r) {
    float& value = width ? r->width : r->height;
    if (value == plan) return false;
    value = plan;
    return true;
  });
  if (rebuilt) StoreInspectorUndo(width ? "Step Width" : "Total Deck Step Height");
  if (width) ds->deckStepWidth = v;
  else DeckStepHeightOf(ds) = v;
  Refresh();
  echoFloat(field, v);
}

void DeckStepInspectorController::railButtonChanged(bool left) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const bool on = (left ? leftRailButton : rightRailButton)->isChecked();
  const int16_t flag = on ? 1 : 0;
  const bool rebuilt = EditSelectedDeckSteps([&](DeckStepsData* r) {
    int16_t& value = left ? StepsLeftRailOf(r) : StepsRightRailOf(r);
    if (value == flag) return false;
    value = flag;
    return true;
  });
  if (rebuilt) StoreInspectorUndo(left ? "Left Handrail" : "Right Handrail");
  (left ? ds->deckStepLeftRail : ds->deckStepRightRail) = on ? 1 : 0;
  Refresh();
}

void DeckStepInspectorController::leftRailButtonChanged() { railButtonChanged(true); }
void DeckStepInspectorController::rightRailButtonChanged() { railButtonChanged(false); }
