// The rubber-band selection of the selection, rotate and resize tools when the mouse-down
// hit nothing; the click record's hit mode; and the text tools' empty tracking routine.
#pragma once
#include <cstdint>

struct ClickInfo;

// Window point, constrained world point, stage 1/2/3. At the end every object inside the
// rectangle is selected (toggled with Shift) and the selection summaries are rebuilt.
void TrackMarquee(int32_t winX, int32_t winY, float x, float y, float z, int16_t phase);
// Sets the click's hit mode from a hit test of every layer.
void FillClickInfo(ClickInfo* click);
// Always true: the tracking loops redraw on every event.
bool HaveModifiersChanged();
void TrackText();
