// The style and base-elevation summaries of the current selection.
#pragma once
#include "model/DocState.h"

struct Objex;
struct Layer;

void ClearSelectionState(const DocState* docState, SelectionState* ss);
// Folds one selected object into the style summary.
void UpdateSelectionState(const DocState* docState, SelectionState* ss, const Objex* obj);
// Hook run after the selection was folded; nothing to do.
void UpdateSelectionStateAreas();

void ClearSelectionState40(const DocState* docState, SelectionState40* ss40);
// Folds one object with any part selected into the base-elevation summary.
void UpdateSelectionState40(SelectionState40* ss40, Objex* obj);
// Shows the summary in the main window's elevation pane.
void UpdateSelectionState40Controls(const SelectionState40* ss40);

// The readouts a click ends with, in one walk of the visible floors: the bounds of the selected
// objects (as GetAllLayersObjBounds and GetAllLayersObj3DBounds with selectedOnly give them,
// grown into rect and box) and the base-elevation summary, cleared and folded as
// TopLevelObjectAllLayers with kCmdUpdateSelectionState40 folds it. Objects with no selected
// point anywhere in them add nothing and are passed over after one look at their points.
void GatherSelectionReadouts(Layer* layers, DocState* docState, FloatRect* rect, Float3DRect* box);
