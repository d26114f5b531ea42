// Fitting the plan to the window: the zoom at which everything drawn fits the visible part
// of the main window's plan view, and the view resized and centred at that zoom.
#pragma once
#include <cstdint>

#include "model/Types.h"

// Everything drawn on the current document's layers, in view units at the current zoom
// (nothing culled); the plan bounds, zoomed alike, when nothing was found or something lies
// beyond 30000 units.
FloatRect MeasureDrawingForFit();
// The zoom at which a drawing measured at currentZoom, margin included, fits a visible part
// of visibleWidth x visibleHeight: the smaller ratio of visible to unzoomed extent. 0 when
// there is no usable answer (an empty visible part or extent, or non-finite numbers).
float FitZoomFactor(const FloatRect& measured, float currentZoom, int16_t visibleWidth,
                    int16_t visibleHeight);
// Chooses the fitting zoom (pinned to the largest allowed) for the current document, stores
// it as the top view's zoom, resets the plan orientation, resizes the main plan view to its
// canvas and centres the drawing in it, then redraws. Nothing without a document, its
// DocState or a main plan view.
void FitToWindow();
