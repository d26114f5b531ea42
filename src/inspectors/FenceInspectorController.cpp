// Fences: the style pop-up and the sizes of custom fences; the gate tool's gate length.
#include "inspectors/FenceInspectorController.h"

#include <QComboBox>
#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/Strings.h"

namespace {
int32_t& FenceStyleOf(Objex* fence) { return fence->textureID; }
// The five sizes of a custom fence, in inches.
float& SpanLengthOf(Objex* f) { return f->params[0]; }
float& SpanHeightOf(Objex* f) { return f->params[1]; }
float& PostHeightOf(Objex* f) { return f->params[2]; }
float& PostWidthOf(Objex* f) { return f->params[3]; }
float& GateHeightOf(Objex* f) { return f->params[4]; }

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
    SetFloatItem(spanLengthText, ds->fenceParam1);
    SetFloatItem(spanHeightText, ds->fenceParam2);
    SetFloatItem(postWidthText, ds->fenceParam4);
    SetFloatItem(postHeightText, ds->fenceParam3);
    SetFloatItem(gateHeightText, ds->fenceParam5);
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
  mergeFloat(spanLengthText, SpanLengthOf(fence), init);
  mergeFloat(spanHeightText, SpanHeightOf(fence), init);
  mergeFloat(postHeightText, PostHeightOf(fence), init);
  mergeFloat(postWidthText, PostWidthOf(fence), init);
  mergeFloat(gateHeightText, GateHeightOf(fence), init);
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
  struct Row {
    QLineEdit* field;
    float& (*value)(Objex*);
    float* defaultValue;
    const char* label;
  };
  const Row rows[] = {
      {spanLengthText, SpanLengthOf, &ds->fenceParam1, "Custom Fence Span Length"},
      {spanHeightText, SpanHeightOf, &ds->fenceParam2, "Custom Fence Span Height"},
      {postWidthText, PostWidthOf, &ds->fenceParam4, "Custom Fence Post Width"},
      {postHeightText, PostHeightOf, &ds->fenceParam3, "Custom Fence Post Height"},
      {gateHeightText, GateHeightOf, &ds->fenceParam5, "Custom Fence Gate Height"},
  };
  for (const Row& row : rows) {
    if (row.field != field) continue;
    float v = 0;
    if (!readNumber(field, NumberKind::kLength, &v)) return;
    if (!(v > 0.0f && v < 10000.0f)) return restoreShown(field);
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
  if (!readNumber(field, NumberKind::kLength, &v)) return;
  if (!(v > 35.99f && v < 361.0f)) return restoreShown(field);
  // Only the default: the gate tool places gates of this length.
  ds->gateWidth = v;
  echoFloat(field, v);
}
