// Decks in 3D: from the deck's outline, segment flags and steps, the generated parts hung on the
// deck: a skirting band under every edge, railings with posts and spindles along the chosen
// edges, and a flight of steps for every deck-steps object. The walking surface is the deck's
// own outline, drawn by the road to 3D.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct Layer;

// Set only while the skirting is built from a straightened copy of a curved deck.
extern uint8_t gBuildingCurvedDeck;

// Rebuilds every part of a deck (type 51 only), refitting its steps first.
namespace building3d { void Update3DDeck(Objex* deck); }
void Update3DDeckLayer(Layer* layer);
void Update3DDeckAllLayers(Layer* firstLayer);

// The per-segment builders; each does nothing when an argument, the document or its DocState
// is missing.
void CreateDeckSkirting(Objex* deck, Poinz* a, Poinz* b);
void CreateDeckRailing(Objex* deck, Poinz* a, Poinz* b);
void CreateCurvedDeckRailing(Objex* deck, Poinz* a, Poinz* b);
void CreateDeckAttachmentSteps(Objex* deck, Poinz* segmentStart, Poinz* segmentEnd, Objex* steps);
// Steps sized by the segment start's own step fields (world units), centred on the segment, with
// the rail switches and skirting of its segment flags.
void CreateDeckSteps(Objex* deck, Poinz* a, Poinz* b);

// Replace curved segments by straight ones in place (the document's curve resolution, at
// least 2 pieces per segment).
void ConvertCurvedDeckToPolygonDeck(Objex* deck);
void ConvertCurvedDeckSegmentToPolygon(Objex* object, Poinz* a, Poinz* b);
