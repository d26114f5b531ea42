// Electrical, plumbing and HVAC components on walls drawn from the fixed 2D symbol list:
// each kind's shared symbol placed on the wall face, turned with the wall and, for tubs and
// showers, stretched to the component's size and labelled with it.
#pragma once
#include <cstdint>

class DrawContext;
struct DragTransformInfo;
struct FloatPoint;
struct Objex;
struct Poinz;
struct RECT;

// The component's symbol on its wall face and, for kinds 95-97, its size and name labels.
// `kind` is the component's subtype.
void DrawComponent(DrawContext* handle, Objex* component, const RECT* updateRect, int32_t drawFlags,
                   const DragTransformInfo* transform, int32_t kind);
// The symbol of a drawable kind from gSymbol2DList placed at `origin` (x, plan z), scaled
// along its own x and z and turned by `angle` (radians). The flags and transform are not used.
void SetupToDraw2DSymbolObject(DrawContext* handle, int32_t drawFlags, const DragTransformInfo* transform,
                               float angle, const FloatPoint* origin, int32_t kind, float scaleX, float scaleZ);
// One drawing object of a symbol (one level only), segment by segment.
void Draw2DSymbolObject(DrawContext* handle, Objex* object, int32_t drawFlags, const DragTransformInfo* transform,
                        float angle, const FloatPoint* origin, float scaleX, float scaleZ);
// One segment, straight or a Hermite curve of 8 to 20 pieces, placed like the symbol; the
// model's points are not changed.
void Draw2DSymbolSegment(DrawContext* handle, Objex* object, Poinz* pointA, Poinz* pointB, int32_t drawFlags,
                         const DragTransformInfo* transform, float angle, const FloatPoint* origin, float scaleX,
                         float scaleZ);
// The scales that draw the symbol of a sized kind (tubs and showers, 95 to 97) `width` along the
// wall and `depth` away from it (plan units): its drawn parts' extent stretched to that size, the
// kind's nominal size standing in along an axis the symbol has no extent on. False, with scales
// of 1, for any other kind and without a document.
bool SizedSymbolScales(int32_t kind, float width, float depth, float* scaleX, float* scaleZ);
// Whether SetupToDraw2DSymbolObject draws the kind.
bool IsDrawable2DSymbolKind(int32_t kind);
