// A click of the selection tool in one walk of the design: the deselection from what the
// hit-test walk noted, and the whole plain click.
#include "model/SelectionClick.h"

#include "model/DocumentModel.h"
#include "model/Grouping.h"

#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionState.h"

namespace {
const KnownSelection* sKnownSelection = nullptr;
}  // namespace

const KnownSelection* CurrentKnownSelection() { return sKnownSelection; }

KnownSelectionScope::KnownSelectionScope(const KnownSelection* known) : saved_(sKnownSelection) {
  sKnownSelection = known;
}
KnownSelectionScope::~KnownSelectionScope() { sKnownSelection = saved_; }

bool KnownSelectionFromWalk(Layer* layers, const SelectionWalk& walk, const Objex* changed, KnownSelection* known) {
  if (!known || !walk.complete || layers != walk.firstLayer) return false;
  Objex* top = changed ? walk.hitTop : nullptr;
  if (changed && (!top || GetRootObject(changed) != top)) return false;
  known->tops.clear();
  known->firstLayer = layers;
  // The walk went backwards: the noted objects from the last come in design order.
  for (size_t i = walk.selected.size(); i-- > 0;) {
    const SelectionWalk::Noted& n = walk.selected[i];
    if (n.floor >= walk.floors.size()) return false;
    if (top && walk.hitOrder >= n.order) {
      if (walk.hitOrder > n.order) known->tops.push_back({top, top->layer});
      top = nullptr;
    }
    known->tops.push_back({n.object, walk.floors[n.floor].layer});
  }
  if (top) known->tops.push_back({top, top->layer});
  return true;
}

void DeselectAllLayersNoted(Layer* firstLayer, const SelectionWalk& walk) {
  if (!walk.complete || firstLayer != walk.firstLayer) {
    SelectAllLayers(firstLayer, kSelectOff, 1);
    return;
  }
  // Floors and noted objects were walked from the end: going over both from their ends gives
  // the design order, in which the full deselection makes its calls.
  size_t next = walk.selected.size();
  for (size_t f = walk.floors.size(); f-- > 0;) {
    const SelectionWalk::Floor& floor = walk.floors[f];
    bool passedPoints = floor.passedPoints;
    for (; next > 0 && walk.selected[next - 1].floor == f; --next) {
      if (!floor.selectable) continue;
      Objex* o = walk.selected[next - 1].object;
      if (HasSelectedPointInTree(o)) SelectObj(o, kSelectOff, 1);
      else passedPoints = passedPoints || ToolIsPointOriented(gCurTool, o) || o->type == kObjLine;
    }
    if (floor.selectable && passedPoints) ClearDimensionWallSegmentSelection();
  }
  if (gCurTool != kToolSkylight) {
    // Only the noted objects may still hold selected points.
    KnownSelection known;
    const bool knows = KnownSelectionFromWalk(firstLayer, walk, nullptr, &known);
    KnownSelectionScope scope(knows ? &known : nullptr);
    UpdateInspectorPropertiesState(true);
  }
}

bool ClickSelectInOneWalk(Layer* layers, ClickInfo* click, const HitPass* passes, int passCount, DocState* ds,
                          FloatRect* rect, Float3DRect* box) {
  SelectionWalk walk;
  const bool hit = SelectFromAllLayersNotingSelection(layers, click, passes, passCount, &walk);
  DeselectAllLayersNoted(layers, walk);
  Objex* selected = hit && click ? click->hitObject : nullptr;
  if (selected) SelectObj(selected, kSelectOn, 1);
  GatherNotedSelectionReadouts(layers, walk, selected, ds, rect, box);
  return hit;
}

namespace {

// Whether an unselected object passed by the deselection makes it clear the wall segment
// picked for dimensioning.
bool PassesPoints(const Objex* o) { return ToolIsPointOriented(gCurTool, o) || o->type == kObjLine; }

// The inspector's look at the selection after a deselection that left `left`.
void ShowDeselection(Layer* firstLayer, const KnownSelection* left) {
  if (gCurTool == kToolSkylight) return;
  // The inspector looks over the current floor; one outside the list was not walked here.
  const Layer* current = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  KnownSelectionScope scope(FloorListHolds(firstLayer, current) ? left : nullptr);
  UpdateInspectorPropertiesState(true);
}

}  // namespace

void DeselectAllLayersNotingLeft(Layer* firstLayer, KnownSelection* left, std::vector<uint8_t>* othersPass) {
  left->tops.clear();
  left->firstLayer = firstLayer;
  if (othersPass) othersPass->clear();
  for (Layer* l = firstLayer; l; l = l->next) {
    if (othersPass) othersPass->push_back(0);
    if (!l->visible) continue;
    if (!l->selectable) {
      for (Objex* o = l->firstObject; o; o = o->next)
        if (HasSelectedPointInTree(o)) left->tops.push_back({o, l});
      continue;
    }
    // As SelectLayer with kSelectOff.
    bool passedPoints = false, others = false;
    for (Objex* o = l->firstObject; o; o = o->next) {
      if (!HasSelectedPointInTree(o)) {
        passedPoints = passedPoints || PassesPoints(o);
        continue;
      }
      SelectObj(o, kSelectOff, 1);
      if (HasSelectedPointInTree(o)) left->tops.push_back({o, l});
      else if (othersPass) others = others || PassesPoints(o);
    }
    if (passedPoints) ClearDimensionWallSegmentSelection();
    if (othersPass) othersPass->back() = passedPoints || others;
  }
  ShowDeselection(firstLayer, left);
}

bool DeselectKnownNotingLeft(Layer* firstLayer, const KnownSelection& known, std::vector<uint8_t>* othersPass,
                             KnownSelection* left) {
  // The known objects must come floor by floor in the order of the list.
  size_t floors = 0, at = 0;
  for (Layer* l = firstLayer; l; l = l->next, ++floors)
    while (at < known.tops.size() && known.tops[at].layer == l) ++at;
  if (at != known.tops.size() || !othersPass || othersPass->size() != floors || known.firstLayer != firstLayer)
    return false;
  left->tops.clear();
  left->firstLayer = firstLayer;
  at = 0;
  size_t floor = 0;
  for (Layer* l = firstLayer; l; l = l->next, ++floor) {
    const size_t begin = at;
    while (at < known.tops.size() && known.tops[at].layer == l) ++at;
    if (!l->visible) continue;
    if (!l->selectable) {
      for (size_t k = begin; k < at; ++k)
        if (HasSelectedPointInTree(known.tops[k].object)) left->tops.push_back(known.tops[k]);
      continue;
    }
    // The objects outside the known ones hold no selected point: whether one of them passes
    // points is what the deselection before said of them.
    bool passedPoints = (*othersPass)[floor] != 0, others = passedPoints;
    for (size_t k = begin; k < at; ++k) {
      Objex* o = known.tops[k].object;
      if (!HasSelectedPointInTree(o)) {
        passedPoints = passedPoints || PassesPoints(o);
        others = others || PassesPoints(o);
        continue;
      }
      SelectObj(o, kSelectOff, 1);
      if (HasSelectedPointInTree(o)) left->tops.push_back({o, l});
      else others = others || PassesPoints(o);
    }
    if (passedPoints) ClearDimensionWallSegmentSelection();
    (*othersPass)[floor] = others;
  }
  ShowDeselection(firstLayer, left);
  return true;
}
