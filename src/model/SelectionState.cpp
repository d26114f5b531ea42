// The style and base-elevation summaries of the current selection: clearing them
// and folding selected objects into them.
#include "model/SelectionState.h"

#include <algorithm>
#include <cmath>

#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"

void ClearSelectionState(const DocState* ds, SelectionState* ss) {
  if (!ds || !ss) return;
  ss->ssStateFresh = ss->ssFillPattern = ss->ssFillColor = ss->ssPenWidth = ss->ssPenColor =
      ss->ssPenStyle = ss->ssArrowPosition = ss->ssArrowHead = ss->ssTextFrame =
          ss->ssTolerance = ss->ssTextAlign = 1;
  ss->ssFillPatID = gPattern;
  // The colour fields pair crosswise: the fill summary holds pen colours.
  ss->ssFillRGBColor = ds->newPenColor;
  ss->ssPenRGBColor = ds->newFillColor;
  ss->ssPenWidthValue = ds->newLineWeight;
  ss->ssPenStyleType = ds->newPenStyle;
  ss->ssArrowPosID = (ds->dimFlags >> 7) & 1;
  ss->ssArrowHeadType = ds->dimArrowStyle;
  ss->ssTextFrameID = (ds->dimFlags >> 8) & 1;
  ss->ssToleranceType = ds->dimToleranceStyle;
  ss->ssTextAlignType = gTextAlignment;
}

namespace {

// Stores the value while nothing was seen yet; afterwards a different value clears agree.
template <typename T>
void Fold(uint8_t fresh, uint8_t& agree, T& stored, const T& value) {
  if (fresh) {
    stored = value;
    agree = 1;
  } else if (!(stored == value)) {
    agree = 0;
  }
}

bool IsDetailShape(const Objex* obj) {
  return obj->type == kObjDetail && obj->subtype >= 1 && obj->subtype <= 9;
}

// A line weight as a short: half away from zero for the first object, +0.5 and truncated
// after it. Weights come from design files unchecked, so they are held to the short's range.
int16_t WeightAsShort(float weight, bool fresh) {
  if (std::isnan(weight)) return 0;
  const float rounded = fresh ? std::round(weight) : std::trunc(weight + 0.5f);
  return static_cast<int16_t>(std::clamp(rounded, -32768.0f, 32767.0f));
}

}  // namespace

void UpdateSelectionState(const DocState* ds, SelectionState* ss, const Objex* obj) {
  if (!ds || !ss || !obj) return;
  const uint8_t fresh = ss->ssStateFresh;
  if (!IsDetailShape(obj)) {
    Fold<int16_t>(fresh, ss->ssFillPattern, ss->ssFillPatID, 0);
    // Pen width 65535 stands for "no line weight"; held in the signed short field.
    if (fresh) {
      ss->ssPenWidthValue = static_cast<int16_t>(65535);
      ss->ssPenWidth = 1;
    } else if (static_cast<uint16_t>(ss->ssPenWidthValue) != 65535) {
      ss->ssPenWidth = 0;
    }
    Fold<int16_t>(fresh, ss->ssPenStyle, ss->ssPenStyleType, 6);
  } else {
    if (obj->closed) {
      Fold<int16_t>(fresh, ss->ssFillPattern, ss->ssFillPatID, obj->fillPattern);
      Fold(fresh, ss->ssFillColor, ss->ssFillRGBColor, obj->penColor);
    }
    Fold(fresh, ss->ssPenWidth, ss->ssPenWidthValue, WeightAsShort(obj->width, fresh != 0));
    Fold(fresh, ss->ssPenColor, ss->ssPenRGBColor, obj->fillColor);
    Fold(fresh, ss->ssPenStyle, ss->ssPenStyleType, obj->penStyle);
  }
  ss->ssStateFresh = 0;
}

void UpdateSelectionStateAreas() {}

void ClearSelectionState40(const DocState* ds, SelectionState40* ss40) {
  if (!ds || !ss40) return;
  ss40->ssStateFresh = 1;
  ss40->ssBaseElevation = 1;
  ss40->ssBaseElevationValue = ds->baseElevation;
}

namespace {

// The summary holds one value, so a fold also ends the fresh state.
void Fold40(SelectionState40* ss40, float value) {
  Fold(ss40->ssStateFresh, ss40->ssBaseElevation, ss40->ssBaseElevationValue, value);
  ss40->ssStateFresh = 0;
}

bool IsWallAttachmentType(int16_t type) {
  return type == kObjDoor || type == kObjWindow || type == kObjComponent || type == kObjAccessory;
}

}  // namespace

void UpdateSelectionState40(SelectionState40* ss40, Objex* obj) {
  if (!ss40 || !obj || !gCurDocument) return;
  Objex* root = GetRootObject(obj);
  // A root standing on the terrain (floated, or a group whose members all stand on it) clears
  // the agreement before its own values fold in: after another object it is mixed; as the
  // first it starts the summary afresh.
  if (StandsOnTheTerrain(root)) ss40->ssBaseElevation = 0;
  if (root->type == kObjWall) {
    const DocState* ds = CurDocState();
    if (!ds) return;
    if (IsObjectSelected(root)) {
      for (Poinz* p = root->firstPoint; p; p = p->next) {
        Poinz* n = p->next ? p->next : (root->closed && p != root->firstPoint ? root->firstPoint : nullptr);
        if (n && p->selected && n->selected) Fold40(ss40, p->segmentElevation);
      }
    }
    for (Objex* c = root->firstChild; c; c = c->next) {
      if (!IsWallAttachmentType(c->type) || !IsEntireObjectSelected(c)) continue;
      DoorWindowData* d = AttachmentData(c);
      if (!d || !d->anchorStart || !d->anchorEnd) continue;
      if (d->anchorStart->selected && d->anchorEnd->selected) continue;
      Fold40(ss40, ConvertScreenToWorld(d->elevation, ds, 0));
    }
    if (!IsEntireObjectSelected(root)) return;
    Fold40(ss40, root->baseElevation);
  } else {
    // What stands on the terrain shows the ground under it, whatever its base elevation holds.
    Fold40(ss40, ShownElevation(root));
  }
  ss40->ssStateFresh = 0;
}

void UpdateSelectionState40Controls(const SelectionState40* ss40) {
  if (!ss40) return;
  SetElevationPane(ss40);
}

namespace {

// One top-level object's part of the readouts.
void GatherObjectReadouts(Objex* obj, const CommandArg& arg, FloatRect* rect, Float3DRect* box) {
  if (!HasSelectedPointInTree(obj)) return;
  GetObjectObjBounds(obj, 1, rect, 0, 0);
  GetObjectObj3DBounds(obj, 1, box, 0);
  if (IsAnyObjectSelected(obj)) TopLevelObject(obj, kCmdUpdateSelectionState40, arg);
}

}  // namespace

void GatherSelectionReadouts(Layer* layers, DocState* ds, FloatRect* rect, Float3DRect* box) {
  if (!ds || !rect || !box) return;
  ClearSelectionState40(ds, &ds->selectionState40);
  const CommandArg arg = CommandArg::Doc(ds);
  for (Layer* l = layers; l; l = l->next) {
    if (!l->visible) continue;
    for (Objex* obj = l->firstObject; obj;) {
      Objex* next = obj->next;
      GatherObjectReadouts(obj, arg, rect, box);
      obj = next;
    }
  }
}

void GatherNotedSelectionReadouts(Layer* layers, const SelectionWalk& walk, const Objex* changed, DocState* ds,
                                  FloatRect* rect, Float3DRect* box) {
  if (!ds || !rect || !box) return;
  // The changed object must lie in the hit top-level object, whose place in the design order
  // the walk knows.
  Objex* top = changed ? walk.hitTop : nullptr;
  const uint32_t topOrder = walk.hitOrder;
  if (!walk.complete || layers != walk.firstLayer || (changed && (!top || GetRootObject(changed) != top))) {
    GatherSelectionReadouts(layers, ds, rect, box);
    return;
  }
  ClearSelectionState40(ds, &ds->selectionState40);
  const CommandArg arg = CommandArg::Doc(ds);
  // The walk went backwards: the noted objects from the last come in design order.
  for (size_t i = walk.selected.size(); i-- > 0;) {
    const SelectionWalk::Noted& n = walk.selected[i];
    if (top && topOrder >= n.order) {
      if (topOrder > n.order) GatherObjectReadouts(top, arg, rect, box);
      top = nullptr;
    }
    GatherObjectReadouts(n.object, arg, rect, box);
  }
  if (top) GatherObjectReadouts(top, arg, rect, box);
}
