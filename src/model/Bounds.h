// Bounds of objects, layers and selections: grown from points and sampled curves
// (projected for 2D, model coordinates for 3D) or combined from the stored boxes.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;
struct Poinz;
struct Layer;

// Set when the stored 2D bounds of a selected dimension object were measured.
extern uint8_t gDimensionSelected;

bool IsEmptyBounds(const FloatRect& rect);
bool IsEmptyBounds(const Float3DRect& box);

// Grow by one model point projected through the current view (zoomed).
void RefineBounds(float x, float y, float z, FloatRect* rect);
// Grow by one model point.
void Refine3DBounds(float x, float y, float z, Float3DRect* box);
// Grow by the sampled curve from p0 to p1; with withPen and a pen offset, by the two offset samples.
void GetObjectSplineBounds(const Poinz* p0, const Poinz* p1, FloatRect* rect, uint8_t withPen, float dx,
                           float dy);
void GetObjectSpline3DBounds(const Poinz* p0, const Poinz* p1, Float3DRect* box);

// One object and its children.
void DoGetObjectBounds(Objex* obj, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                       uint8_t withPen);
void DoGetObject3DBounds(Objex* obj, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);
// Public entries: walls are measured through their outline object. True when the
// rectangle holds a measurement afterwards.
bool GetObjectBounds(Objex* obj, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly, uint8_t withPen);
bool GetObject3DBounds(Objex* obj, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);
// Both of the above in one walk (no selection filter, no pen) for an object of straight
// segments without children; false, leaving both untouched, for any other object.
bool MeasureStraightObject(const Objex* obj, FloatRect* rect, Float3DRect* box);
// What MeasureStraightObject gives, to the last bit, for an object whose points are two rings
// over one plan footprint of `count` corners ((x, z) each): the corners at height y1, then the
// same corners at y2, every segment straight. The products the rings share are formed once.
void MeasureStraightPrism(const float (*footprint)[2], int count, float y1, float y2, FloatRect* rect,
                          Float3DRect* box);

void GetLayerBounds(Layer* layer, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly, uint8_t withPen);
void GetAllLayersBounds(Layer* firstLayer, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                        uint8_t withPen);
void GetLayer3DBounds(Layer* layer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);
void GetAllLayers3DBounds(Layer* firstLayer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);

// As GetObject3DBounds, but roofs and roof panels are measured by their generated parts.
void GetSpecialObjects3DBounds(Objex* obj, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);
void GetSpecialLayers3DBounds(Layer* layer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);
void GetAllSpecialLayers3DBounds(Layer* firstLayer, uint8_t selectedOnly, Float3DRect* box,
                                 uint8_t pointsOnly);

// Stored family: combine the objects' stored boxes.
void GetObjectObjBounds(Objex* obj, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly, uint8_t withPen);
void GetLayerObjBounds(Layer* layer, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                       uint8_t withPen);
void GetAllLayersObjBounds(Layer* firstLayer, uint8_t selectedOnly, FloatRect* rect, uint8_t pointsOnly,
                           uint8_t withPen);
void GetObjectObj3DBounds(Objex* obj, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);
void GetLayerObj3DBounds(Layer* layer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);
void GetAllLayersObj3DBounds(Layer* firstLayer, uint8_t selectedOnly, Float3DRect* box, uint8_t pointsOnly);
