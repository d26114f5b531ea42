// Setting up the plan view of the current document: the top view, the view reset, the
// viewing height and actual size, and the DocState slots those commands keep their values in.
#pragma once
#include "model/DocState.h"

// The DocState slots of the view settings: the grid origin is the view's eye point, the top
// view's zoom is kept beside the zoom factor, automatic dimensions are a drawing switch.
inline Float3DPoint& GridOrigin(DocState* ds) { return ds->viewPoint; }
inline float& PlanZoom(DocState* ds) { return ds->zoomFactor; }
inline float& TopViewZoom(DocState* ds) { return ds->printSetting2; }
inline float& OtherViewZoom(DocState* ds) { return ds->printSetting3; }
inline uint8_t& ShowAutoDimensions(DocState* ds) { return ds->drawSetting1; }

// Grid origin x and z to the right and top edges of the plan bounds, the x and z view
// offsets to 0, then UpdateViewingHeight. Nothing without a DocState.
void ResetView();
// The y view offset and the grid origin's y to 0; the base elevation of new objects becomes
// the current floor's absolute base height. Nothing without a DocState and current layer.
void UpdateViewingHeight();
// Looks straight down on the plan: the standard tool, the x/z working plane, the plan view
// angles without perspective, ResetView and the top view's zoom. When the current floor's
// top-view 2D layer is not the current 2D layer it becomes current and shown, and the plan
// is redrawn. Nothing without a DocState.
void ViewTop();
// Zoom 1.0 and ResetView; the remembered zoom of the top view (in the top view) or of the
// other views becomes 1.0. No redraw. Nothing without a DocState.
void ActualSize();
