// Decks: the deck's own values, the merged values of its selected segments and points,
// inserting steps on straight segments, and the deck tools' defaults.
#include "inspectors/DeckObjectInspectorController.h"

#include <QCheckBox>
#include <QLineEdit>
#include <cmath>

#include "inspectors/GenericObjInspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DeckFields.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/StairFields.h"
#include "platform/Alerts.h"

namespace {
// Bit 0: the deck shows its automatic dimensions.
int32_t& DeckOptionFlagsOf(Objex* deck) { return deck->extraLong; }
bool OpenSteps(Objex* deck) { return ClosedStepsOf(deck) == 0.0f; }

void RebuildDeck(Objex* deck) {
  Update3DDeck(deck);
  ReRenderObject(deck);
}

bool IsZero3(const float* v) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }
// Both ends without tangents: the segment is straight.
bool StraightSegment(const Poinz* a, const Poinz* b) {
  return IsZero3(a->inHandle) && IsZero3(a->outHandle) && IsZero3(b->inHandle) && IsZero3(b->outHandle);
}

// The selected top-level decks of the current layer.
void ForEachSelectedDeck(const std::function<void(Objex*)>& f) { ForEachSelectedOfType(kObjDeck, f); }

// Shared by both panes: refuses outside the range, else true with v.
bool DeckFieldRange(QLineEdit* field, QLineEdit* spacing, float v) {
  return field == spacing ? (v > 0.01f && v < 73.0f) : (v > 0.01f && v < 10000.0f);
}
}  // namespace

void ForEachSelectedDeckSegment(Objex* deck, const std::function<void(Poinz*, Poinz*)>& f) {
  if (!deck) return;
  for (Poinz* p = deck->firstPoint; p; p = p->next) {
    Poinz* n = p->next ? p->next : (deck->closed ? deck->firstPoint : nullptr);
    if (!n || n == p) continue;
    if (p->selected && n->selected) f(p, n);
  }
}

DeckObjectInspectorController::DeckObjectInspectorController() : InspectorPane("DeckObjectInspector") {
  deckHeightText = addField("Deck Height", "deckHeightText");
  railHeightText = addField("Handrail Height", "railHeightText");
  balusterSpacingText = addField("Baluster Spacing", "balusterSpacingText");
  skirtingButton = addCheck("Skirting", "skirtingButton", [this] { skirtingButtonChanged(); });
  includeRailsButton = addCheck("Handrails", "includeRailsButton", [this] { includeRailsButtonChanged(); });
  includePostButton = addCheck("Post at Point", "includePostButton", [this] { includePostButtonChanged(); });
  openStepsButton = addCheck("Open Steps", "openStepsButton", [this] { openStepsButtonChanged(); });
  displayDimsButton = addCheck("Display Dimensions", "displayDimsButton", [this] { displayDimsButtonChanged(); });
  addButton("Insert Steps", "insertStepsButton", [this] { insertStepsButtonChanged(); });
  addButton("Adjust Curve...", "adjustCurveButton", [this] { adjustCurveButtonChanged(); });
  addButton("Straighten Curve", "straightenCurveButton", [this] { straightenCurveButtonChanged(); });
}

DeckObjectInspectorController* DeckObjectInspectorController::sharedInspectorController() {
  static auto* controller = new DeckObjectInspectorController;
  return controller;
}

void DeckObjectInspectorController::updatePropertiesForObject(Objex* deck, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds || !deck || deck->type != kObjDeck) return;
  Fill fill(this);
  mergeFloat(deckHeightText, DeckHeightOf(deck), init);
  mergeFloat(balusterSpacingText, DeckSpindleSpacingOf(deck), init);
  const bool open = OpenSteps(deck), dims = (DeckOptionFlagsOf(deck) & 1) != 0;
  if (init) {
    openStepsButton->setChecked(open);
    displayDimsButton->setChecked(dims);
    // What no selected point or segment of this deck shows.
    includePostButton->setChecked(false);
    skirtingButton->setChecked(false);
    includeRailsButton->setChecked(false);
    blankField(railHeightText);
  } else {
    if (openStepsButton->isChecked() != open) openStepsButton->setChecked(false);
    if (displayDimsButton->isChecked() != dims) displayDimsButton->setChecked(false);
  }

  bool first = init;
  for (Poinz* p = deck->firstPoint; p; p = p->next) {
    if (!p->selected) continue;
    const bool post = (p->segmentFlags & kDeckSegmentPost) != 0;
    if (first) includePostButton->setChecked(post);
    else if (includePostButton->isChecked() != post) includePostButton->setChecked(false);
    first = false;
  }
  first = init;
  ForEachSelectedDeckSegment(deck, [&](Poinz* p, Poinz*) {
    const bool skirting = (p->segmentFlags & kDeckSegmentSkirtingToGround) != 0;
    const bool rails = (p->segmentFlags & kDeckSegmentRailing) != 0;
    if (first) {
      skirtingButton->setChecked(skirting);
      includeRailsButton->setChecked(rails);
    } else {
      if (skirtingButton->isChecked() != skirting) skirtingButton->setChecked(false);
      if (includeRailsButton->isChecked() != rails) includeRailsButton->setChecked(false);
    }
    mergeFloat(railHeightText, RailingHeightOf(p), first);
    first = false;
  });
}

void DeckObjectInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  if (field != deckHeightText && field != railHeightText && field != balusterSpacingText) return;
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the tool default again.
  if (!readNumber(field, NumberKind::kLength, &v) || !DeckFieldRange(field, balusterSpacingText, v))
    return echoFloat(field, field == deckHeightText  ? ds->deckHeight
                            : field == railHeightText ? DeckRailingHeightOf(ds)
                                                      : DeckSpindleSpacingOf(ds));
  bool changed = false;
  if (field == deckHeightText) {
    const float y = -ConvertWorldToScreen(v, ds, 0);
    ForEachSelectedDeck([&](Objex* deck) {
      if (DeckHeightOf(deck) == v) return;
      DeckHeightOf(deck) = v;
      for (Poinz* p = deck->firstPoint; p; p = p->next) p->position[1] = y;
      RebuildDeck(deck);
      changed = true;
    });
    if (changed) StoreInspectorUndo("Deck Height");
    ds->deckHeight = v;
  } else if (field == railHeightText) {
    ForEachSelectedDeck([&](Objex* deck) {
      bool any = false;
      ForEachSelectedDeckSegment(deck, [&](Poinz* p, Poinz*) {
        RailingHeightOf(p) = v;
        any = true;
      });
      if (!any) return;
      RebuildDeck(deck);
      changed = true;
    });
    if (changed) StoreInspectorUndo("Deck Handrail Height");
    DeckRailingHeightOf(ds) = v;
  } else {
    ForEachSelectedDeck([&](Objex* deck) {
      if (DeckSpindleSpacingOf(deck) == v) return;
      DeckSpindleSpacingOf(deck) = v;
      RebuildDeck(deck);
      changed = true;
    });
    if (changed) StoreInspectorUndo("Handrail Baluster Spacing");
    DeckSpindleSpacingOf(ds) = v;
  }
  Refresh();
  echoFloat(field, v);
}

void DeckObjectInspectorController::segmentBitChanged(QCheckBox* button, int32_t bit, const char* label,
                                                      uint8_t& defaultValue) {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  const bool on = button->isChecked();
  bool changed = false;
  ForEachSelectedDeck([&](Objex* deck) {
    bool any = false;
    ForEachSelectedDeckSegment(deck, [&](Poinz* p, Poinz*) {
      if (on) p->segmentFlags |= bit;
      else p->segmentFlags &= ~bit;
      any = true;
    });
    if (!any) return;
    RebuildDeck(deck);
    changed = true;
  });
  if (changed) StoreInspectorUndo(label);
  Refresh();
  defaultValue = on ? 1 : 0;
}

void DeckObjectInspectorController::skirtingButtonChanged() {
  if (DocState* ds = InspectorDocState())
    segmentBitChanged(skirtingButton, kDeckSegmentSkirtingToGround, "Deck Skirting", ds->deckSkirting);
}

void DeckObjectInspectorController::includeRailsButtonChanged() {
  if (DocState* ds = InspectorDocState())
    segmentBitChanged(includeRailsButton, kDeckSegmentRailing, "Deck Handrails", ds->deckIncludeRails);
}

void DeckObjectInspectorController::includePostButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  const bool on = includePostButton->isChecked();
  bool changed = false;
  ForEachSelectedDeck([&](Objex* deck) {
    bool any = false;
    for (Poinz* p = deck->firstPoint; p; p = p->next) {
      if (!p->selected) continue;
      if (on) p->segmentFlags |= kDeckSegmentPost;
      else p->segmentFlags &= ~kDeckSegmentPost;
      any = true;
    }
    if (!any) return;
    RebuildDeck(deck);
    changed = true;
  });
  if (changed) StoreInspectorUndo("Deck Post");
  Refresh();
}

void DeckObjectInspectorController::displayDimsButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  const bool on = displayDimsButton->isChecked();
  bool changed = false;
  ForEachSelectedDeck([&](Objex* deck) {
    if (on) DeckOptionFlagsOf(deck) |= 1;
    else DeckOptionFlagsOf(deck) &= ~1;
    changed = true;
  });
  if (changed) StoreInspectorUndo("Deck Auto-Dimensions");
  Refresh();
}

void DeckObjectInspectorController::openStepsButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const bool on = openStepsButton->isChecked();
  const float style = on ? 0.0f : 1.0f;
  bool changed = false;
  ForEachSelectedDeck([&](Objex* deck) {
    if (std::trunc(ClosedStepsOf(deck)) == style) return;
    ClosedStepsOf(deck) = style;
    RebuildDeck(deck);
    changed = true;
  });
  if (changed) StoreInspectorUndo("Deck Step Style");
  Refresh();
  // New decks read this default as "open steps".
  ds->deckOpenSteps = on ? 1 : 0;
}

void DeckObjectInspectorController::insertStepsButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  bool added = false, curved = false;
  ForEachSelectedDeck([&](Objex* deck) {
    if (curved) return;
    bool received = false;
    ForEachSelectedDeckSegment(deck, [&](Poinz* p, Poinz* n) {
      if (curved) return;
      if (!StraightSegment(p, n)) {
        curved = true;
        return;
      }
      if (AddDeckSteps(deck, p, n)) received = true;
    });
    if (!received) return;
    RebuildDeck(deck);
    added = true;
  });
  if (curved)
    ShowAlert("Unable to insert deck steps.", "Deck steps cannot be inserted into curved deck segments.");
  if (added) StoreInspectorUndo("Insert Deck Steps");
  Refresh();
}

void DeckObjectInspectorController::adjustCurveButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  bool steps = false;
  ForEachSelectedDeck([&](Objex* deck) {
    for (Objex* c = deck->firstChild; c && !steps; c = c->next) {
      auto* r = static_cast<DeckStepsData*>(c->typeData);
      if (c->type != kObjDeckSteps || !r) continue;
      if ((SegmentStartOf(r) && SegmentStartOf(r)->selected) || (SegmentEndOf(r) && SegmentEndOf(r)->selected))
        steps = true;
    }
  });
  if (steps) {
    ShowAlert("Unable to adjust deck segment curvature.",
              "Curvature cannot be adjusted on deck segments that either contain steps or have neighboring "
              "segments that contain steps.");
    return;
  }
  InspectorSmoothSelected();
}

void DeckObjectInspectorController::straightenCurveButtonChanged() { InspectorUnsmoothSelected(); }

// ---- The deck tools ----

DeckToolInspectorController::DeckToolInspectorController() : InspectorPane("DeckToolInspector") {
  deckHeightText = addField("Deck Height", "deckHeightText");
  railHeightText = addField("Handrail Height", "railHeightText");
  balusterSpacingText = addField("Baluster Spacing", "balusterSpacingText");
  skirtingButton = addCheck("Skirting", "skirtingButton", [this] { skirtingButtonChanged(); });
}

DeckToolInspectorController* DeckToolInspectorController::sharedInspectorController() {
  static auto* controller = new DeckToolInspectorController;
  return controller;
}

void DeckToolInspectorController::updateToolProperties() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  SetFloatItem(deckHeightText, ds->deckHeight);
  SetFloatItem(railHeightText, DeckRailingHeightOf(ds));
  SetFloatItem(balusterSpacingText, DeckSpindleSpacingOf(ds));
  skirtingButton->setChecked(ds->deckSkirting != 0);
}

void DeckToolInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  float* target = field == deckHeightText         ? &ds->deckHeight
                  : field == railHeightText       ? &DeckRailingHeightOf(ds)
                  : field == balusterSpacingText ? &DeckSpindleSpacingOf(ds)
                                                  : nullptr;
  if (!target) return;
  float v = 0;
  if (!readNumber(field, NumberKind::kLength, &v) || !DeckFieldRange(field, balusterSpacingText, v))
    return echoFloat(field, *target);
  *target = v;
  echoFloat(field, v);
}

void DeckToolInspectorController::skirtingButtonChanged() {
  if (DocState* ds = InspectorDocState()) ds->deckSkirting = skirtingButton->isChecked() ? 1 : 0;
}
