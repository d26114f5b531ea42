// The plan drawing pipeline: every floor of the current document in its colours and
// order, the exterior-space and deck fills, the foundation perimeters, and Refresh's
// road to the window (declared with the model, which calls it).
#pragma once
#include "model/ToolCodes.h"
#include <cstdint>
#include <vector>

#include "model/Types.h"
#include "plandraw/DrawTypes.h"

class DrawContext;
struct Layer;
struct Objex;
struct DragTransformInfo;

// Every routine takes a drawing handle (null: the current drawing context), the rectangle
// being redrawn (may be null), the draw flags and the tracking transform (null outside the
// move, scale and rotate tools).

// Whether objects that cannot show in the area being drawn are left out (on by default;
// tests turn it off to compare pictures).
extern bool gPlanCulling;
// The area of the drawing pass under way (view coordinates) when what lies wholly outside it
// may be left out: culling on, a plan view drawing, not printing, no perspective and no
// tracking or live drawing. False otherwise: draw everything.
bool CurrentCullingArea(NSRect* area);

// While a scope lives, DrawAllLayers notes for each floor it walks the top-level objects with a
// selected point anywhere in them, so that the handles drawn after it in the same pass need no
// second walk of the design (not with culling off). Nothing may edit the design while the
// scope lives.
struct SelectedObjectsOfRedrawScope {
  SelectedObjectsOfRedrawScope();
  ~SelectedObjectsOfRedrawScope();
  SelectedObjectsOfRedrawScope(const SelectedObjectsOfRedrawScope&) = delete;
  SelectedObjectsOfRedrawScope& operator=(const SelectedObjectsOfRedrawScope&) = delete;
};
// The objects noted for the layer by the last DrawAllLayers within the scope, in list order;
// null when none were noted for it (walk the layer instead).
const std::vector<Objex*>* SelectedObjectsOfRedraw(const Layer* layer);

// While a scope lives, a DrawAllLayers with a transform (the selection's outlines under a
// drag) keeps the objects its flags let it draw, floor by floor, and the later ones within a
// scope draw from those without walking the design again. For the steps of one drag that
// changes neither the design nor the selection; ForgetKeptSelectionOutlines drops what was
// kept (a new drag, or its end).
struct KeepSelectionOutlinesScope {
  KeepSelectionOutlinesScope();
  ~KeepSelectionOutlinesScope();
  KeepSelectionOutlinesScope(const KeepSelectionOutlinesScope&) = delete;
  KeepSelectionOutlinesScope& operator=(const KeepSelectionOutlinesScope&) = delete;
};
void ForgetKeptSelectionOutlines();

// The whole plan: exterior fills, hatched decks, the other floors in the inactive-floor
// colour, the current floor on top, foundation perimeters, then the virtual ruler.
void DrawAllLayers(DrawContext* handle, Layer* layers, const RECT* updateRect, int32_t drawFlags,
                   const DragTransformInfo* transform);
// One layer's top-level objects that show on the current plan; returns 0.
int32_t DrawLayer(DrawContext* handle, Layer* layer, const RECT* updateRect, int32_t drawFlags,
                  const DragTransformInfo* transform);
// One object and its children.
void DrawObject(DrawContext* handle, Objex* object, const RECT* updateRect, int32_t drawFlags,
                const DragTransformInfo* transform);
// Whether the draw flags admit the object: every object for kDrawFlagAll, selected ones for
// kDrawFlagSelected (roofs and roof panels by their own points).
bool CanObjectBeDrawn(const Objex* object, int32_t drawFlags);
// The object's colour on the current floor: the colour of its single plan bit (walls the
// floor plan's unless they lie on the landscape plan only), else the pen colour. Nothing is
// written without a document; (0, 16448, 34952) without a DocState.
void GetObjectPlanColor(const Objex* object, RGBColor* out);
// The spaces enclosed by the exterior walls of the current floor, filled (not while printing).
void FillAllExteriorPerimeterSpaces(DrawContext* handle, Layer* layer);
// Dotted outlines of the current floor's exterior walls, while an exterior wall tool is current.
void DrawAllFoundationPerimeters(DrawContext* handle, Layer* layers);

