// Three small tools: key entry on a clicked segment, placing a photo view, and drawing a
// topography excavation.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;

// The command handler's key-entry sheet for one segment of an object: the request is recorded
// ("keyEntrySheetForObject") and handed to this hook, which the application sets.
extern void (*gKeyEntrySheetHook)(Objex* object, Poinz* startPoint, Poinz* endPoint);

// The key-entry tool (201): the plan view calls it with the window point of the click instead
// of the tracking stages. Opens the sheet for the segment the click record hit, else nothing.
namespace tools { void TrackKeyEntry(int32_t x, int32_t y); }
// A new photo view on the current layer, 2 x 720 plan units wide at the plan point under window
// (0, 0), with the next photo texture id; null without a document, DocState or current layer.
Objex* BuildPhoto();
// The topography excavation tool (7509): a closed outline of straight segments cut into the
// terrain to the document's excavation depth. Returns the excavation at the end stage, or null.
Objex* TrackTopoCutout(int32_t x, int32_t y, float worldX, float worldY, float worldZ, int16_t phase);
