// Plan drawing routines that the line primitives and the pipeline call but that are drawn
// by later parts of the plan drawing; each call is reported to the service hook until then.
#pragma once

class DrawContext;
struct Layer;
struct Objex;
struct Poinz;
struct RECT;

