// Keeping the openings of a wall in step with it: re-fitting doors, windows, accessories and
// components to their segments after a wall edit (removing the ones that no longer fit), the
// move tool's slide and stretch of one door or window, and trimming a wall's free ends
// against the other walls of a layer.
#pragma once
#include <cstdint>

struct Layer;
struct Objex;

// Places one attachment again from its anchors and start distance; 1 when it no longer fitted
// and was deleted, 0 otherwise (also 0 for a deleted attached dimension, and when a document,
// DocState, parent, layer, record or anchor is missing).
int UpdateWallAttachment(Objex* attachment);
// Re-fits every child of a wall (after the attached dimensions of the current layer); the
// count removed, with one sheet when any went. Reached through model/Services.h.
namespace tools { int UpdateAllWallAttachments(Objex* wall); }
// The same for every object of a visible layer / of every visible layer of a list.
void UpdateAllWallAttachmentsLayer(Layer* layer);
void UpdateAllWallAttachmentsAllLayers(Layer* firstLayer);
// Slides or stretches the door or window under gClickInfo along its segment (the move tool's
// hand-over at the mouse-down); a click without a drag selects it.
void TranslateWallAttachment();
// Trims both free ends of a wall against the walls of a layer, then rebuilds it.
void LimitWallObject(Objex* wall, Layer* layer);
// LimitWallObject for every object of a layer, from its last object to its first.
void LimitWallLayer(Layer* layer, Layer* limitLayer);
