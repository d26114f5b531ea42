// Plan drawing of a few small object kinds: the deck label, a path's length, a sprinkler's
// radius and label, the extension lines of offset and length dimensions, leaders and
// diameter dimensions.
#pragma once

class DrawContext;
struct Objex;

// "DECK" at the centre of the deck's stored 3D bounds.
void DrawDeck(DrawContext* handle, Objex* deck);
// A path's length from the first to the last point of its outline (type data), while
// automatic dimensions are shown.
void DrawPath(DrawContext* handle, Objex* path);
// The radius from the head (first point) to the last point, and the spray angle label,
// while automatic dimensions are shown.
void DrawSprinkler(DrawContext* handle, Objex* sprinkler);
// An offset or length dimension of four points: extension lines from the measured points
// (first and fourth) to the line's ends (second and third), then the dimension line.
void DrawDimensionPerimeter(DrawContext* handle, Objex* dimension);
// A leader of three points with a solid arrowhead at the first.
void DrawLeaderDimension(DrawContext* handle, Objex* leader);
// The dimension line from the object's first point to its second.
void DrawDiameterDimension(DrawContext* handle, Objex* object);
// Foundations show nothing of their own in plan.
void Draw2DFoundation(DrawContext* handle, Objex* object);
