// The texts of the design window's status line (lengths, angles, sizes and areas in the
// current document's readout formats) and the status services the core reaches the main
// window through.
#pragma once
#include <QString>

// Readout bytes as shown: the 8-bit interface text with the degree mark byte shown as
// U+00B0.
QString ReadoutString(const char* text);

// Each gives the status line's text for a value; "" where the readout empties.
QString AngleReadoutText(float degrees);     // "" for 32000
QString DiameterReadoutText(float inches);   // "" for 0
QString LengthReadoutText(float inches);     // "" for 0
QString ViewLengthReadoutText(float inches); // "" for 0
// The radius is a world length, shown as it is; "" for 0.
QString RadiusReadoutText(float radius);
// An area in square inches as the current design shows it: square feet ("50 sq.ft.") in
// imperial designs, else square metres ("4.6452 sq.m."), with as many decimals as the design's
// length readout (trailing zeros trimmed, the user's decimal separator).
QString AreaText(float squareInches);
// Width and height are lengths, the area is in square inches; "" when width and height are
// both 0.
QString WidthHeightAreaReadoutText(float width, float height, float area);
// Width, depth and height pieces, each unzoomed and without its sign; a 0 value gives no
// piece, and "" when each value rounds to 0.
QString WidthHeightDepthReadoutText(float width, float height, float depth);

// Installs the gFrontEnd status and elevation-pane services: each hands its value to the
// main window controller, when there is one.
void InstallStatusReadoutServices();
