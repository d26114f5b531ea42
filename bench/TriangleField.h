// A field of small triangles over an 800 x 600 area of the front elevation, appended to the
// scene's plane objects, 20 to a plane object, all of them faces of `owner`: the scene the
// renderer's benchmarks draw against one raw display list of the same triangles.
#pragma once
#include <cstdlib>

#include "building3d/PlaneObjects.h"
#include "model/Records.h"

namespace bench {

constexpr int kTrianglesPerObject = 20;

inline void AppendTriangleField(Objex* owner, int triangles) {
  for (int o = 0; o < triangles / kTrianglesPerObject; ++o) {
    PlaneObject* po = CreatePlaneObject();
    po->partType = kObjWallFace;
    po->colorA = po->colorB = RGBColor{static_cast<uint16_t>(o * 60), 30000, 50000};
    po->base2DObject = po->actual3DObject = po->sourceObject = owner;
    po->actual3DType = kObjWall;
    for (int t = 0; t < kTrianglesPerObject; ++t) {
      const int k = o * kTrianglesPerObject + t;
      const float x = static_cast<float>(k % 780) - 390, y = static_cast<float>(k / 780 % 580) - 290;
      auto* v = static_cast<PlaneVertex*>(malloc(3 * sizeof(PlaneVertex)));
      v[0] = {x, -y, 0, 0, 0, 0};
      v[1] = {x + 3, -y, 0, 0, 1, 0};
      v[2] = {x, -(y + 3), 0, 0, 0, 1};
      AppendPlane(v, 3, 0, 0, 0.99f, po);
    }
    if (!gGLPlaneObjects) gGLPlaneObjects = po;
    else gGLPlaneObjectsTail->next = po, po->prev = gGLPlaneObjectsTail;
    gGLPlaneObjectsTail = po;
  }
}

}  // namespace bench
