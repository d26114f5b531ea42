// Freehand roof panels in 3D: the sloped slab of the panel's outline, its slope arrow, and
// the re-fitting of its skylights and dormer cut-outs.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;

// The slab's thickness above its sloped first ring, in inches.
constexpr float kRoofPanelSlabInches = 6.0f;
// Half the length of a slope arrow, in plan units.
constexpr float kSlopeArrowHalfLength = 40.0f;

// Only for roof panels (type 57): frees the old slab and builds it again on the sloped
// plane, re-fits the attachments and moves (or makes) the slope arrow.
namespace building3d { void Update3DRoofPanel(Objex* panel); }
// The panel's slope arrow child, or null.
Objex* FindSlopeDirectionArrowObject(Objex* roofPanel);
void Update3DRoofPanelLayer(Layer* layer);
void Update3DRoofPanelAllLayers(Layer* firstLayer);
// Puts the slab's first ring on the panel's sloped plane (shifted so the anchored corner
// lies at 0) and its second ring the slab thickness above; the plane and the shift go into
// the slab's params. Nothing with fewer than three points per ring.
void SetRoofPanelSlope(Objex* panel, Objex* slab);
// 1 when the panel has a slope arrow child.
uint8_t SlopeDirectionArrowExists(Objex* panel);
// Sets the arrow's two points to the middle of the panel's 3D bounds, minus and plus half
// the arrow along `radians`, at height 0, and stores its bounds.
void PlaceSlopeArrow(Objex* arrow, Objex* panel, float radians);
// A new slope arrow for the panel (not yet a child of it), or null.
Objex* CreateSlopeArrow(Objex* panel, float pitch);
