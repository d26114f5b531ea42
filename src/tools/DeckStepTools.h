// Sliding and resizing deck steps along their deck segment with the move tool.
#pragma once

struct Objex;

// Runs the drag of the deck steps under the click record (gClickInfo): a press on one of their
// end points resizes them from that end, a press on their edge slides them; a press anywhere
// else on them only selects them. The steps and position arguments are those the move tool
// hands over; the click record decides. The caller rebuilds the deck.
namespace tools { void TranslateDeckAttachment(Objex* steps, float x, float y, float z); }
