// A click of the selection tool in one walk of the design: the hit-test passes note the
// selection they meet (SelectFromAllLayersNotingSelection), and the deselection and the
// readouts that follow work from that note instead of walking every floor again.
#pragma once
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
