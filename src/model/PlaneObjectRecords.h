// The records of the 3D scene (plane objects, their planes and vertices) and the head of the
// scene list. The model reads the list (which materials the scene shows); the building
// library creates, fills and frees it (building3d/PlaneObjects.h).
#pragma once
#include <cstdint>

#include "model/PlanarPolygons.h"
#include "model/Types.h"

struct Objex;
struct Poinz;

// A plane's vertex: the plan in x and z, the height in y (plan units; drawn with y negated).
using PlaneVertex = PlanarPolyPoint;

struct Plane {
  Plane* prev = nullptr;
  PlaneVertex* vertices = nullptr;  // owned: malloc'd, or in the plane's own block (ReleasePlaneVertices)
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
  // Wall faces: the wall point's trim record slot of the face's side (trim1 or trim2) and the
  // wall point that starts the face's segment; read by the trim builders. Never saved.
  void** trimRecordRef = nullptr;
  Poinz* trimPoint = nullptr;
  int16_t alpha = 255;                 // below 255 is drawn in the transparent pass
  PlaneObject* next = nullptr;
  // Kept by the building library while the plane object is in the scene list: the other plane
  // objects of the same plan object (base2DObject), so that one object's surfaces are found
  // without walking the scene.
  PlaneObject* sameBasePrev = nullptr;
  PlaneObject* sameBaseNext = nullptr;
  void* sceneIndexEntry = nullptr;
};

// Head of the scene list; the building library fills it.
extern PlaneObject* gGLPlaneObjects;
