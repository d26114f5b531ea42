// Floors, ceilings and soffits built from one wall outline: the floor and the ceiling fill
// the outline (offset by their extension), the soffits run along its selected segments
// outside the wall face. All are closed floor objects whose skirting shows their thickness.
#pragma once
#include <cstdint>

#include "model/DocState.h"

struct Layer;
struct Objex;
struct Poinz;

// The builder's values (gFlooringThickness ... gTheWallObject) live with the document state
// (model/DocState.h).

// Finds the one selected wall of the current layer (gTheWallObject) and proposes the
// elevations and extensions from it; 1 when the builder may open, 0 otherwise.
int16_t InitializeAutoCeilingFloorDlgVar();

// Builds a floor and/or a ceiling from the wall's outline. Returns how many objects were
// made; with storeUndo an undo step "Build Ceiling/Floor" is stored when any was.
int BuildAutoCeilingFloor(Objex* wall, uint8_t buildFloor, float floorThickness, float floorElevation,
                          float floorExtension, uint8_t buildCeiling, float ceilingThickness,
                          float ceilingElevation, float ceilingExtension, bool storeUndo = true);

// Builds soffits along the wall segments whose two points are selected, one per segment or
// (join) one per run of consecutive selected segments. Returns how many were made; with
// storeUndo an undo step "Build Ceiling/Floor" is stored when any was.
int BuildAutoSoffits(Objex* wall, float thickness, float elevation, float extension, int16_t join,
                     bool storeUndo = true);

// A four-point soffit on the layer at the plan positions of p1..p4; null without a document,
// a DocState, the layer or any point.
Objex* CreateSoffitObject(Layer* layer, const Poinz* p1, const Poinz* p2, const Poinz* p3, const Poinz* p4,
                          float elevation, float thickness);
