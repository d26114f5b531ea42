// Plan symbols of windows, wall accessories, foundation stiffener beams, post-tension
// strands, staircase labels and arrows, air ducts, and a bare projected line.
#pragma once

class DrawContext;
struct FloatPoint;
struct Objex;

// Each routine draws from the object's first two points in the stroke colour already set,
// and nothing when the document, DocState, type data, parent wall or a point is missing.

// The rectangle over the wall opening, 4 out of each wall face, filled in the background
// colour (white when printing) and outlined; the top view without perspective only.
void DrawWindow(DrawContext* handle, Objex* window);
// The outline beside the wall face (at least 6 deep) with a V to its middle.
void DrawAccessory(DrawContext* handle, Objex* accessory);
// A dashed double line with end caps; while automatic dimensions show, its length with the
// size suffix "L, <width> W, <depth> D".
void DrawFoundationBeam(DrawContext* handle, Objex* beam);
// A tick across the start, the line, and a solid arrowhead at the end.
void DrawFoundationTensionCable(DrawContext* handle, Objex* strand);
// While automatic dimensions show: the width and riser labels, "Up" and the direction arrow.
void DrawStaircase(DrawContext* handle, Objex* stairs);
// A dashed double line with end caps, an open flow arrow at the end, and while automatic
// dimensions show the "width x height" label and the length.
void DrawHVACDuct(DrawContext* handle, Objex* duct);
// One projected line between two plan points; nothing without the object or a point.
void DrawRecept(DrawContext* handle, Objex* object, const FloatPoint* from, const FloatPoint* to);
