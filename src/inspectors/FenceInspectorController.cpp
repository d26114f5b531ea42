// Fences: the style pop-up and the sizes of custom fences; the gate tool's gate length.
#include "inspectors/FenceInspectorController.h"

#include <QComboBox>
#include <QLineEdit>

#include "building3d/SiteFences3D.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/Strings.h"

namespace {
int32_t& FenceStyleOf(Objex* fence) { return fence->textureID; }

void RebuildFence(Objex* fence) {
  UpdateFenceObject(fence);
  ReRenderObject(fence);
}
}  // namespace

FenceInspectorController::FenceInspectorController() : InspectorPane("FenceInspector") {
  stylePopUpButton = addPopUp("Style", "stylePopUpButton", [this] { changeStylePopUpButton(); });
  stylePopUpButton->clear();
  const std::pair<const char*, int> items[] = {
      {"Privacy Fence", kFenceStylePrivacy}, {"Picket Fence", kFenceStylePicket},
      {"Ranch Fence", kFenceStyleRanch},     {"Rail Fence", kFenceStyleRail}};
  for (const auto& [title, tag] : items)
    stylePopUpButton->addItem(QString::fromStdString(LocalizedString(title)), tag);
  spanLengthText = addField("Span Length", "spanLengthText");
  spanHeightText = addField("Span Height", "spanHeightText");
  postWidthText = addField("Post Width", "postWidthText");
  postHeightText = addField("Post Height", "postHeightText");
  gateHeightText = addField("Gate Height", "gateHeightText");
}

FenceInspectorController* FenceInspectorController::sharedInspectorController() {
  static auto* controller = new FenceInspectorController;
  return controller;
}

void FenceInspectorController::enableSizeFields(bool on) {
  for (QLineEdit* f : {spanLengthText, spanHeightText, postWidthText, postHeightText, gateHeightText})
    f->setEnabled(on);
}

void FenceInspectorController::selectStyleTag(int tag) {
  stylePopUpButton->setCurrentIndex(stylePopUpButton->findData(tag));
}

int FenceInspectorController::selectedStyleTag() const {
  const int index = stylePopUpButton->currentIndex();
  return index < 0 ? -1 : stylePopUpButton->itemData(index).toInt();
}

void FenceInspectorController::updatePropertiesForObject(Objex* fence, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!fence) {
    selectStyleTag(ds->fenceStyle);
    SetFloatItem(spanLengthText, FenceSpanLengthOf(ds));
    SetFloatItem(spanHeightText, FenceSpanHeightOf(ds));
    SetFloatItem(postWidthText, FencePostWidthOf(ds));
    SetFloatItem(postHeightText, FencePostHeightOf(ds));
    SetFloatItem(gateHeightText, FenceGateHeightOf(ds));
    enableSizeFields(ds->fenceStyle == kFenceStyleCustom);
    return;
  }
  if (fence->type != kObjFence) return;
  const int style = FenceStyleOf(fence);
  if (init) {
    // A custom fence has no item: the pop-up shows none.
    shownStyle_ = style;
    selectStyleTag(style);
    enableSizeFields(style == kFenceStyleCustom);
  } else if (style != shownStyle_) {
    // Compared with the style shown, not the pop-up's item: custom fences share theirs.
    shownStyle_ = -1;
    selectStyleTag(-1);
    enableSizeFields(false);
  }
  mergeFloat(spanLengthText, FenceSpanLengthOf(fence), init);
  mergeFloat(spanHeightText, FenceSpanHeightOf(fence), init);
  mergeFloat(postHeightText, FencePostHeightOf(fence), init);
  mergeFloat(postWidthText, FencePostWidthOf(fence), init);
  mergeFloat(gateHeightText, FenceGateHeightOf(fence), init);
}

void FenceInspectorController::changeStylePopUpButton() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const int tag = selectedStyleTag();
  if (tag < 0) return;
  enableSizeFields(tag == kFenceStyleCustom);
  bool changed = false;
  ForEachSelectedOfType(kObjFence, [&](Objex* fence) {
    if (FenceStyleOf(fence) == tag) return;
    FenceStyleOf(fence) = tag;
    RebuildFence(fence);
    changed = true;
  });
  if (changed) StoreInspectorUndo("Fence Style");
  Refresh();
  ds->fenceStyle = static_cast<int16_t>(tag);
}

void FenceInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const ObjectLengthRow rows[] = {
      {spanLengthText, FenceSpanLengthOf, &FenceSpanLengthOf(ds), "Custom Fence Span Length"},
      {spanHeightText, FenceSpanHeightOf, &FenceSpanHeightOf(ds), "Custom Fence Span Height"},
      {postWidthText, FencePostWidthOf, &FencePostWidthOf(ds), "Custom Fence Post Width"},
      {postHeightText, FencePostHeightOf, &FencePostHeightOf(ds), "Custom Fence Post Height"},
      {gateHeightText, FenceGateHeightOf, &FenceGateHeightOf(ds), "Custom Fence Gate Height"},
  };
  for (const ObjectLengthRow& row : rows) {
    if (row.field != field) continue;
    float v = 0;
    // A refused entry (an emptied mixed field too) shows the tool default again.
    if (!readNumber(field, NumberKind::kLength, &v) || !(v > 0.0f && v < 10000.0f))
      return echoFloat(field, *row.defaultValue);
    bool changed = false;
    // Only custom fences use their sizes.
    ForEachSelectedOfType(kObjFence, [&](Objex* fence) {
      if (FenceStyleOf(fence) != kFenceStyleCustom || row.value(fence) == v) return;
      row.value(fence) = v;
      RebuildFence(fence);
      changed = true;
    });
    if (changed) StoreInspectorUndo(row.label);
    *row.defaultValue = v;
    Refresh();
    echoFloat(field, v);
    return;
  }
}

// ---- The gate tool ----

GateToolInspectorController::GateToolInspectorController() : InspectorPane("GateToolInspector") {
  gateLengthText = addField("Gate Length", "gateLengthText");
}

GateToolInspectorController* GateToolInspectorController::sharedInspectorController() {
  static auto* controller = new GateToolInspectorController;
  return controller;
}

void GateToolInspectorController::updateToolProperties() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  SetFloatItem(gateLengthText, ds->gateWidth);
}

void GateToolInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer() || field != gateLengthText) return;
  float v = 0;
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > 35.99f && v < 361.0f))
    return echoFloat(field, ds->gateWidth);
  // Only the default: the gate tool places gates of this length.
  ds->gateWidth = v;
  echoFloat(field, v);
}
