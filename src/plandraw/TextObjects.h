// The two text objects of the plan: standard text laid out in its box, and dynamic text
// turned by its angle, whose outline follows the text's size at every drawing.
#pragma once

class DrawContext;
struct Objex;

// The text in the box spanned by its first and third point, aligned by its alignment.
void DrawTextStandardObject(DrawContext* handle, Objex* text);
// The text centred between its first and third point and turned by its angle. The four
// points are rewritten to the measured text box turned by the angle, the half width kept
// in the alignment field and the bounds recomputed; an empty text draws nothing and keeps
// its points. Needs the main window's plan view to measure the text.
void DrawTextDynamicObject(DrawContext* handle, Objex* text);
