// A click of the selection tool in one walk of the design: the hit-test passes note the
// selection they meet (SelectFromAllLayersNotingSelection), and the deselection and the
// readouts that follow work from that note instead of walking every floor again.
#pragma once
#include <cstdint>
#include <vector>

#include "model/HitTest.h"
#include "model/Types.h"

struct DocState;

// SelectAllLayers(firstLayer, kSelectOff, 1), calls and order included, going over only the
// objects the walk noted. Without a complete walk of the same floors, the full deselection.
void DeselectAllLayersNoted(Layer* firstLayer, const SelectionWalk& walk);

// GatherSelectionReadouts, looking only at the objects the walk noted and, when `changed` is
// given (the object the click selected in), at the hit top-level object, in design order. It
// answers as the full walk would while every flag changed since the walk was cleared by the
// deselection or lies in the hit top-level object. Without a complete walk of the same floors,
// or when `changed` is not in the hit top-level object, it takes the full walk.
void GatherNotedSelectionReadouts(Layer* layers, const SelectionWalk& walk, const Objex* changed, DocState* docState,
                                  FloatRect* rect, Float3DRect* box);

// The plain click of the selection tool with one walk of the design: the passes as
// SelectFromAllLayersInPasses answers them, everything deselected as SelectAllLayers with
// kSelectOff does, the hit object selected with SelectObj(kSelectOn), and the readouts as
// GatherSelectionReadouts gives them. Answers whether anything was hit.
bool ClickSelectInOneWalk(Layer* layers, ClickInfo* click, const HitPass* passes, int passCount, DocState* docState,
                          FloatRect* rect, Float3DRect* box);

// The top-level objects that alone may hold selected points, in design order, each with its
// floor (all on shown floors; those of hidden floors are not known). A road that knows them
// sets them while it asks the inspector to look at the selection, which then goes over these
// instead of every object of the design.
struct KnownSelection {
  struct Top {
    Objex* object;
    Layer* layer;
  };
  std::vector<Top> tops;
  Layer* firstLayer = nullptr;  // the design's floors these were taken from
};
// The selection known now, or null (then every object is to be looked at).
const KnownSelection* CurrentKnownSelection();
class KnownSelectionScope {
 public:
  explicit KnownSelectionScope(const KnownSelection* known);
  ~KnownSelectionScope();
  KnownSelectionScope(const KnownSelectionScope&) = delete;
  KnownSelectionScope& operator=(const KnownSelectionScope&) = delete;

 private:
  const KnownSelection* saved_;
};
// From a complete walk of `layers`: the noted objects and, when `changed` is given, its
// top-level object, which must be the hit one (changes since the walk lie in it or cleared
// noted objects). False when the walk does not say (then nothing is known).
bool KnownSelectionFromWalk(Layer* layers, const SelectionWalk& walk, const Objex* changed, KnownSelection* known);

// SelectAllLayers(firstLayer, kSelectOff, 1), calls and order included, that also notes in
// `left` the top-level objects of shown floors still holding a selected point afterwards (a
// floor that cannot be selected keeps its selection), in design order: until something else
// selects, only these and objects added since can hold selected points on shown floors.
// With `othersPass`, it also answers for each floor of the list, in order, whether the floor
// then holds an object outside `left` that would make a deselection clear the wall segment
// picked for dimensioning (a line, or an object the current tool edits by its points): true
// only on shown floors that can be selected.
void DeselectAllLayersNotingLeft(Layer* firstLayer, KnownSelection* left, std::vector<uint8_t>* othersPass = nullptr);

// The same deselection, calls and order included, going over only the objects of `known`: the
// caller answers that they are every top-level object that may hold a selected point on a
// shown floor, in design order, and that `othersPass` says of the objects outside them what
// DeselectAllLayersNotingLeft said (it is brought up to date for the next deselection). False,
// with nothing done, when `known` is not in the order of the floors or `othersPass` does not
// go with them.
bool DeselectKnownNotingLeft(Layer* firstLayer, const KnownSelection& known, std::vector<uint8_t>* othersPass,
                             KnownSelection* left);
