// Staircases: sizes in inches and the six options; an option click stores its undo step when
// a staircase changed (with none selected it sets the tool's default alone, which no step holds).
#include "inspectors/StairInspectorController.h"

#include <QCheckBox>
#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/StairFields.h"

namespace {
void RebuildStair(Objex* stair) {
  UpdateStairObject(stair);
  ReRenderObject(stair);
}
bool OpenSteps(Objex* stair) { return ClosedStepsOf(stair) == 0.0f; }
}  // namespace

// One option check box: whether a staircase's field already holds the value for on or off
// (a field read from a file may hold any other value), how to set it, and the undo label.
struct StairInspectorController::Option {
  QCheckBox* button;
  bool (*holds)(Objex*, bool on);
  void (*set)(Objex*, bool on);
  const char* label;
};

StairInspectorController::StairInspectorController() : InspectorPane("StairInspector") {
  stairHeightText = addField("Total Height", "stairHeightText");
  stairWidthText = addField("Width", "stairWidthText");
  stepHeightText = addField("Step Height", "stepHeightText");
  stepDepthText = addField("Step Depth", "stepDepthText");
  railHeightText = addField("Handrail Height", "railHeightText");
  skirtWallsButton = addCheck("Skirt Walls", "skirtWallsButton", [this] { skirtWallsButtonChanged(); });
  openStepsButton = addCheck("Open Steps", "openStepsButton", [this] { openStepsButtonChanged(); });
  leftRailButton = addCheck("Left Handrail", "leftRailButton", [this] { leftRailButtonChanged(); });
  rightRailButton = addCheck("Right Handrail", "rightRailButton", [this] { rightRailButtonChanged(); });
  closedStringerButton =
      addCheck("Closed Stringers", "closedStringerButton", [this] { closedStringerButtonChanged(); });
  largeBaseButton = addCheck("Long Stringer Base", "largeBaseButton", [this] { largeBaseButtonChanged(); });
}

StairInspectorController* StairInspectorController::sharedInspectorController() {
  static auto* controller = new StairInspectorController;
  return controller;
}

void StairInspectorController::updatePropertiesForObject(Objex* stair, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!stair) {
    SetFloatItem(stairHeightText, ds->stairHeight);
    SetFloatItem(stairWidthText, ds->stairWidth());
    SetFloatItem(stepHeightText, ds->stairStepHeight());
    SetFloatItem(stepDepthText, ds->stairStepDepth());
    SetFloatItem(railHeightText, ds->stairHandrailHeight());
    skirtWallsButton->setChecked(ds->stairSkirtWalls() != 0);
    openStepsButton->setChecked(ds->stairOpenSteps != 0);
    leftRailButton->setChecked(ds->stairLeftRail() != 0);
    rightRailButton->setChecked(ds->stairRightRail() != 0);
    closedStringerButton->setChecked(ds->stairClosedStringers != 0);
    largeBaseButton->setChecked(ds->stairLongStringerBase != 0);
    return;
  }
  if (stair->type != kObjStaircase) return;
  mergeFloat(stairHeightText, StairHeightOf(stair), init);
  mergeFloat(stairWidthText, StairWidthOf(stair), init);
  mergeFloat(stepHeightText, StairStepHeightOf(stair), init);
  mergeFloat(stepDepthText, StairStepDepthOf(stair), init);
  mergeFloat(railHeightText, StairHandrailHeightOf(stair), init);
  // The options have no mixed state: the last staircase shown decides them.
  skirtWallsButton->setChecked(SkirtWallsOf(stair) != 0);
  openStepsButton->setChecked(OpenSteps(stair));
  leftRailButton->setChecked(LeftRailOf(stair) != 0);
  rightRailButton->setChecked(RightRailOf(stair) != 0);
  closedStringerButton->setChecked(ClosedStringersOf(stair) != 0);
  largeBaseButton->setChecked(LongStringerBaseOf(stair) != 0);
}

void StairInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const ObjectLengthRow rows[] = {
      {stairHeightText, StairHeightOf, &ds->stairHeight, "Staircase Height"},
      {stairWidthText, StairWidthOf, &ds->stairWidth(), "Staircase Width"},
      {stepHeightText, StairStepHeightOf, &ds->stairStepHeight(), "Step Height"},
      {stepDepthText, StairStepDepthOf, &ds->stairStepDepth(), "Step Depth"},
      {railHeightText, StairHandrailHeightOf, &ds->stairHandrailHeight(), "Handrail Height"},
  };
  for (const ObjectLengthRow& row : rows)
    if (row.field == field)
      return editObjectFloat(field, kObjStaircase, 0.01f, 10000.0f, row.value, *row.defaultValue, row.label, true,
                             RebuildStair);
}

void StairInspectorController::optionChanged(const Option& option) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const bool on = option.button->isChecked();
  bool changed = false;
  ForEachSelectedOfType(kObjStaircase, [&](Objex* stair) {
    if (option.holds(stair, on)) return;
    option.set(stair, on);
    RebuildStair(stair);
    changed = true;
  });
  const uint8_t byte = on ? 1 : 0;
  if (option.button == skirtWallsButton) ds->stairSkirtWalls() = byte;
  else if (option.button == openStepsButton) ds->stairOpenSteps = byte;
  else if (option.button == leftRailButton) ds->stairLeftRail() = byte;
  else if (option.button == rightRailButton) ds->stairRightRail() = byte;
  else if (option.button == closedStringerButton) ds->stairClosedStringers = byte;
  else if (option.button == largeBaseButton) ds->stairLongStringerBase = byte;
  Refresh();
  if (changed) StoreInspectorUndo(option.label);
}

void StairInspectorController::skirtWallsButtonChanged() {
  optionChanged({skirtWallsButton, [](Objex* s, bool on) { return SkirtWallsOf(s) == (on ? 1 : 0); },
                 [](Objex* s, bool on) { SkirtWallsOf(s) = on ? 1 : 0; }, "Skirt Walls"});
}

void StairInspectorController::openStepsButtonChanged() {
  optionChanged({openStepsButton, [](Objex* s, bool on) { return ClosedStepsOf(s) == (on ? 0.0f : 1.0f); },
                 [](Objex* s, bool on) { ClosedStepsOf(s) = on ? 0.0f : 1.0f; }, "Open Steps"});
}

void StairInspectorController::leftRailButtonChanged() {
  optionChanged({leftRailButton, [](Objex* s, bool on) { return LeftRailOf(s) == (on ? 1 : 0); },
                 [](Objex* s, bool on) { LeftRailOf(s) = on ? 1 : 0; }, "Left Handrails"});
}

void StairInspectorController::rightRailButtonChanged() {
  optionChanged({rightRailButton, [](Objex* s, bool on) { return RightRailOf(s) == (on ? 1 : 0); },
                 [](Objex* s, bool on) { RightRailOf(s) = on ? 1 : 0; }, "Right Handrails"});
}

void StairInspectorController::closedStringerButtonChanged() {
  optionChanged({closedStringerButton, [](Objex* s, bool on) { return ClosedStringersOf(s) == (on ? 1 : 0); },
                 [](Objex* s, bool on) { ClosedStringersOf(s) = on ? 1 : 0; }, "Staircase Stringers"});
}

void StairInspectorController::largeBaseButtonChanged() {
  optionChanged({largeBaseButton, [](Objex* s, bool on) { return LongStringerBaseOf(s) == (on ? 1 : 0); },
                 [](Objex* s, bool on) { LongStringerBaseOf(s) = on ? 1 : 0; }, "Long Staircase Stringer Base"});
}
