// The 3D scene as the renderer sees it: plane objects (one surface or billboard each, built
// from one plan object or one generated part of it), their planes and vertices, the scene
// list and the globals naming the object being converted.
#pragma once
#include <cstdint>

#include "model/PlanarPolygons.h"
#include "model/Types.h"

struct Objex;

// A plane's vertex: the plan in x and z, the height in y (plan units; drawn with y negated).
using PlaneVertex = PlanarPolyPoint;

struct Plane {
  Plane* prev = nullptr;
  PlaneVertex* vertices = nullptr;  // owned; malloc'd (realloc-grown by StorePolyPoint)
  int32_t vertexCount = 0;
  float normal[3] = {0, 0, 0};      // each component below 1 in magnitude
  Plane* next = nullptr;
};

struct PlaneObject {
  PlaneObject* prev = nullptr;
  int16_t planeClass = 0;   // 1 or 2, set on append
  int16_t renderKind = 0;   // 0 other, 6 planar, 7 curved strip, 8/9 billboards, 37 framing, 126 cap, 131 photo
  int16_t partType = 0;     // object type of the part after render-time retyping; 900 filler
  Plane* planes = nullptr;
  RGBColor colorA;
  RGBColor colorB;
  int32_t textureIdA = 0;
  int16_t textureScaleA[2] = {100, 100};
  int16_t* scaleLinkA = nullptr;       // scale field of the plan object or point side A came from
  float textureSizeA[2] = {1.0f, 1.0f};
  int32_t* textureLinkA = nullptr;     // texture id field of that plan object or point
  RGBColor* colorLinkA = nullptr;      // colour field of that plan object or point
  int32_t textureIdB = 0;
  int16_t textureScaleB[2] = {100, 100};
  int16_t* scaleLinkB = nullptr;
  float textureSizeB[2] = {1.0f, 1.0f};
  int32_t* textureLinkB = nullptr;
  RGBColor* colorLinkB = nullptr;
  Objex* sourceObject = nullptr;
  Objex* base2DObject = nullptr;
  Objex* actual3DObject = nullptr;
  int16_t actual3DType = 0;
  float billboardSize[2] = {1.0f, 1.0f};
  PlaneObject* children = nullptr;     // cut-outs
  PlaneObject* attachments = nullptr;  // trims
  float elevation = 0;                 // base elevation in inches (parts of walls)
  int32_t tag = 0;
  int16_t alpha = 255;                 // below 255 is drawn in the transparent pass
  PlaneObject* next = nullptr;
};

extern PlaneObject* gGLPlaneObjects;   // head of the scene list; appends go to the tail
extern PlaneObject* gGLPlaneObjectsTail;
extern PlaneObject* gCurPlaneObject;   // the plane object being filled
extern Objex* gBase2DObject;           // plan object being rebuilt
extern Objex* gActual3DObject;         // its part being converted
extern uint8_t gDisableRenderInterrupt;
extern uint8_t gRenderDirty;

PlaneObject* CreatePlaneObject();
Plane* CreatePlane(PlaneVertex* vertices, int32_t count, float nx, float ny, float nz);
Plane* AppendPlane(PlaneVertex* vertices, int32_t count, float nx, float ny, float nz,
                   PlaneObject* planeObject);
void AppendPlaneObject(PlaneObject* planeObject, Objex* sourceObject);
void AppendPlaneObjectChild(PlaneObject* child, PlaneObject* parent);
void AppendPlaneObjectAttachment(PlaneObject* attachment, PlaneObject* parent);
void DeletePlane(Plane* plane);
void DeletePlaneList(Plane* first);
void DeletePlaneObject(PlaneObject* planeObject);
