// What shows that something is selected: square handles on the selected points of objects
// edited point by point, the projected box and corner handles of objects edited whole,
// round key-entry handles, and the outline or red bars drawn over a selection.
#pragma once
#include <cstdint>

#include "model/Types.h"

class DrawContext;
struct Layer;
struct Objex;
struct Poinz;

// Handles go straight into the current drawing context in view coordinates, never
// print-scaled. Each routine returns quietly without its arguments.

// Every visible layer of the list: each top-level object's handles.
void DrawAllLayerHandles(Layer* layers, const RECT* updateRect);
void DrawLayerHandles(Layer* layer, const RECT* updateRect);
// One object: its box and corner handles when the current tool edits it whole (not a line),
// else the handles of its selected points (and the outline of a selected door, window,
// deck steps, roof slope arrow or staircase) and then its children's.
void DrawObjectHandles(Objex* object, const RECT* updateRect);
// The projected 3D bounds (not for standard text, type 200 or 2D detail shapes) and the
// corner handles: the top corners in the plan view, all eight elsewhere; a flat box its top
// face; a box without x extent or depth its side. A roof adds its points' elevation labels.
void DrawObjectFrameHandles(Objex* object);
// One point's handle; under the key-entry tool a key-entry handle whose colour alternates.
// Points of topography lines, roof panels and the lot get their elevation labels.
void DrawPointHandle(Poinz* point, int16_t flag);
// A 7 by 7 square (3 left and above, 4 right and below the projected point), filled in the
// focus indicator colour and outlined in black.
void PlotHandle(DrawContext* handle, float x, float y, float z);
// A 9 by 9 circle, green for a state below 1, red otherwise, outlined in black; the state is
// kept in the point.
void DrawKeyEntryPointHandle(Poinz* point, int16_t state);
// The colour of the next key-entry handle (1 at start), negated after each.
extern int16_t gKeyEntrySelectionFlag;

// The object's outline again through DrawLine; a roof slope arrow adds its arrowhead.
void PlanDrawSelectionLine(Objex* object);
// A live dimension along every segment of a wall.
void DrawSelectionDimension(Objex* object);
// Red bars over the wall's segments whose two ends are selected.
void DrawWallSelection(Objex* wall);

// Lets model code reach the selection drawing (DrawSelectionLine and
// ClearDimensionWallSegmentSelection); every plan view installs it.
void InstallSelectionDrawingServices();
