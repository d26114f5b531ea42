// The virtual ruler of the plan: a measuring bar between two points that the user drags.
#pragma once

class DrawContext;

// When the current document's ruler is shown: its body, a tick every foot (every 10
// centimetres in metric designs), hairs across both ends and its length, in black.
void DrawVirtualRuler(DrawContext* handle);
