// Deck steps as deck attachments: steps objects (type 53) hung on a deck segment like a door on
// a wall, made in the middle of their segment and refitted or removed when the deck changes.
#pragma once
#include <cstdint>

struct Objex;
struct Poinz;
struct Layer;

// Steps in the middle of the segment from `segmentStart` to `segmentEnd`, as wide as the
// document's deck step width but at most the segment length less 5, as the deck's last child.
// Returns segmentEnd, or null when nothing was made (no deck, points, document or DocState, or a
// segment of 5 plan units or less).
namespace building3d { Poinz* AddDeckSteps(Objex* deck, Poinz* segmentStart, Poinz* segmentEnd); }
// Refits one steps object to its segment; 1 when it was removed, else 0.
int32_t UpdateDeckAttachment(Objex* steps);
// Refits every child of a deck and warns once when any were removed; the number removed.
int32_t UpdateAllDeckAttachments(Objex* deck);
void UpdateAllDeckAttachmentsLayer(Layer* layer);
void UpdateAllDeckAttachmentsAllLayers(Layer* firstLayer);
