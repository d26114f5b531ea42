// The move tool: the selection tool's drag of what the mouse-down hit. Whole selections
// move by the dragged offset, kept inside the plan limits; attachments on walls, decks and
// roofs hand the drag to their own routines.
#pragma once
#include <cstdint>

// World point of the mouse (after evaluation) and the stage. The model changes only at
// the end stage.
void TrackTranslate(float x, float y, float z, int16_t phase);
