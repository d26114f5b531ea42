// Shared set-up of the opening tests: a document at plan scale 72 (one world inch is one plan
// unit), an empty scene before and after each test, walls with doors and windows, and one wall
// face finished the way the face builder finishes it.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "WallTestSupport.h"
#include "building3d/SceneTestSupport.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Surfaces.h"
#include "building3d/WallFaceFinish.h"
#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/Services.h"
#include "model/WallFields.h"

struct OpeningsTest : ::testing::Test {
  TestDocument doc;
  std::vector<PlaneObject*> faces;  // finished faces, freed afterwards

  OpeningsTest() {
    FreeScene();
    doc.ds()->planScale = 72;
  }
  ~OpeningsTest() override {
    for (PlaneObject* f : faces) DeletePlaneObject(f);
    FreeScene();
  }

  // An open wall through the points, 4 thick, each segment flat (mode 0), 96 high, floor depth 0.
  Objex* Wall(std::initializer_list<std::pair<float, float>> pts, bool closed = false) {
    Objex* wall = AddTestWall(doc, pts, closed);
    FloorDepthOf(wall) = 0;
    for (Poinz* p = wall->firstPoint; p; p = p->next) WallStyleOf(p) = 0;
    Update3DWall(wall);
    return wall;
  }

  // A door or window of `subtype` on the segment from `a`, centred `distance` from it, with a
  // built face whose parent is the opening (as the frame builder leaves it).
  Objex* Opening(Objex* wall, Poinz* a, int16_t subtype, float distance, float width, float height,
                 float elevation = 0) {
    auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    const int16_t type = subtype < 600 ? kObjDoor : kObjWindow;
    data->ownerType = type;
    data->subtype = subtype;
    data->anchorStart = a;
    data->anchorEnd = a->next ? a->next : wall->firstPoint;
    data->startDistance = distance;
    const float segment = std::hypot(data->anchorEnd->position[0] - a->position[0],
                                     data->anchorEnd->position[2] - a->position[2]);
    data->remainingLength = segment - distance;
    data->width = width;
    data->height = height;
    data->elevation = elevation;
    data->trimWidth() = 4;
    data->trimSlotA = TrimSlot{0, 2213, 100, 100, RGBColor{65535, 0, 0}, nullptr};
    data->trimSlotB = TrimSlot{0, 2213, 100, 100, RGBColor{0, 0, 65535}, nullptr};
    const RGBColor white{65535, 65535, 65535};
    Objex* o = CreateObject(type, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall, wall->layer, data);
    AppendChildToObject(o, wall);
    data->faces = CreateObject(kObjFace, 1, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, o, nullptr, nullptr);
    return o;
  }

  // Face `faceIndex` of the wall's body, built and finished as the face builder does; the
  // plane object is kept by the test (not in the scene).
  PlaneObject* Face(Objex* wall, int32_t faceIndex) {
    Objex* body = static_cast<Objex*>(wall->typeData);
    EXPECT_NE(body, nullptr);
    if (!body) return nullptr;
    std::vector<Poinz*> pts;
    for (Poinz* p = body->firstPoint; p; p = p->next) pts.push_back(p);
    const int32_t perRing = body->pointCount / body->levels;
    Poinz* lowerA = pts[faceIndex];
    Poinz* upperA = pts[perRing + faceIndex];
    Poinz* lowerB = pts[(faceIndex + 1) % perRing];
    Poinz* upperB = pts[perRing + (faceIndex + 1) % perRing];
    gBase2DObject = gActual3DObject = wall;
    PlaneObject* po = CreatePlaneObject();
    po->partType = body->type;
    gCurPlaneObject = po;
    RenderBicubicSurface(lowerA, upperA, lowerB, upperB, 3, 1, 1, &body->penColor, body);
    CarveWindowsAndDoors(body, wall, lowerA, upperA, lowerB, upperB, faceIndex, po->planes);
    gCurPlaneObject = nullptr;
    gBase2DObject = gActual3DObject = nullptr;
    faces.push_back(po);
    return po;
  }
};

// Bends face `faceIndex` of the wall's body (the outline points it runs between, in both rings)
// toward +z by the tangents `bulge` at its ends. The wall's own handles do not reach its body,
// whose outline is a parallel copy of straight segments: the body is given the curve the surface
// builder sees.
inline void BendBodyFace(Objex* wall, int32_t faceIndex, float bulge) {
  Objex* body = static_cast<Objex*>(wall->typeData);
  std::vector<Poinz*> b;
  for (Poinz* p = body->firstPoint; p; p = p->next) b.push_back(p);
  const size_t perRing = b.size() / 2, from = static_cast<size_t>(faceIndex);
  for (size_t ring : {size_t{0}, perRing}) {
    b[ring + from]->outHandle[2] = bulge;
    b[ring + (from + 1) % perRing]->inHandle[2] = -bulge;
  }
}

// The strips a curved wall's face becomes, finished and put in the scene as the surface builder
// does them (with the step faces the face makes), in order from the face's start corner.
inline std::vector<PlaneObject*> CurvedFaceStrips(Objex* wall, int32_t faceIndex) {
  Objex* body = static_cast<Objex*>(wall->typeData);
  std::vector<PlaneObject*> strips;
  if (!body) return strips;
  std::vector<Poinz*> pts;
  for (Poinz* p = body->firstPoint; p; p = p->next) pts.push_back(p);
  const int32_t perRing = body->pointCount / body->levels;
  gBase2DObject = gActual3DObject = wall;
  PlaneObject* po = CreatePlaneObject();
  po->partType = body->type;
  gCurPlaneObject = po;
  PlaneObject* before = gGLPlaneObjectsTail;
  RenderBicubicSurface(pts[faceIndex], pts[perRing + faceIndex], pts[(faceIndex + 1) % perRing],
                       pts[perRing + (faceIndex + 1) % perRing], 3, 1, 1, &body->penColor, wall);
  if (gCurPlaneObject == po) {  // straight after all: not a strip
    gCurPlaneObject = nullptr;
    DeletePlaneObject(po);
  }
  gBase2DObject = gActual3DObject = nullptr;
  for (PlaneObject* s = before ? before->next : gGLPlaneObjects; s; s = s->next)
    if (s->partType == body->type) strips.push_back(s);
  return strips;
}

inline int CountList(const PlaneObject* p) {
  int n = 0;
  for (; p; p = p->next) ++n;
  return n;
}
