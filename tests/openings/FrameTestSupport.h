// A document in inches at plan scale 72 (one plan unit per inch) holding a straight wall
// along +x, and doors, windows and accessories hung on it, for the frame and leaf tests.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "TestDocument.h"
#include "model/Attachments.h"
#include "model/Records.h"
#include "model/WallFields.h"
#include "openings/AttachmentFrame.h"

struct FramePoint {
  float x, y, z;
};

class FrameTest : public ::testing::Test {
 protected:
  TestDocument doc;
  Objex* wall = nullptr;

  FrameTest() {
    doc.ds()->planScale = 72;
    doc.ds()->worldUnits = 1;
    wall = doc.addObject(kObjWall, false, {{0, 0}, {240, 0}});
    wall->width = 6;
    FloorDepthOf(wall) = 0;
  }

  // An attachment of `type` on the wall from x1 to x2 (plan z 0, y 0).
  Objex* Add(int16_t type, int16_t subtype, float x1, float x2, float height = 80, float elevation = 0,
             float z1 = 0, float z2 = 0) {
    auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    data->ownerType = type;
    data->subtype = subtype;
    data->width = std::fabs(x2 - x1);
    data->height = height;
    data->elevation = elevation;
    data->anchorStart = wall->firstPoint;
    data->anchorEnd = wall->firstPoint->next;
    data->startDistance = x1;
    const RGBColor pen{100, 200, 300};
    const RGBColor fill{1000, 2000, 3000};
    Objex* o = CreateObject(type, 0, 1, &pen, &fill, 1, 6, 0, nullptr, nullptr, nullptr, wall, wall->layer, data);
    o->textureID = 4321;
    o->textureScale = ShortPoint{120, 80};
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x1, 0, z1, 0, 0, 0, 0, 0, 0, o), o);
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x2, 0, z2, 0, 0, 0, 0, 0, 0, o), o);
    AppendChildToObject(o, wall);
    return o;
  }

  static DoorWindowData* Rec(Objex* o) { return static_cast<DoorWindowData*>(o->typeData); }

  static std::vector<Objex*> Faces(Objex* o) {
    std::vector<Objex*> out;
    for (Objex* f = Rec(o)->faces; f; f = f->next) out.push_back(f);
    return out;
  }

  static std::vector<FramePoint> Points(const Objex* face) {
    std::vector<FramePoint> out;
    for (const Poinz* p = face->firstPoint; p; p = p->next)
      out.push_back({p->position[0], p->position[1], p->position[2]});
    return out;
  }

  // Every point of every face, in chain order.
  static std::vector<FramePoint> AllPoints(Objex* o) {
    std::vector<FramePoint> out;
    for (Objex* f : Faces(o))
      for (const FramePoint& p : Points(f)) out.push_back(p);
    return out;
  }

  static float MinY(const Objex* face) {
    float v = 1e30f;
    for (const FramePoint& p : Points(face)) v = std::fmin(v, p.y);
    return v;
  }
  static float MaxY(const Objex* face) {
    float v = -1e30f;
    for (const FramePoint& p : Points(face)) v = std::fmax(v, p.y);
    return v;
  }
  static float MinX(const Objex* face) {
    float v = 1e30f;
    for (const FramePoint& p : Points(face)) v = std::fmin(v, p.x);
    return v;
  }
  static float MaxX(const Objex* face) {
    float v = -1e30f;
    for (const FramePoint& p : Points(face)) v = std::fmax(v, p.x);
    return v;
  }
  static float MinZ(const Objex* face) {
    float v = 1e30f;
    for (const FramePoint& p : Points(face)) v = std::fmin(v, p.z);
    return v;
  }
  static float MaxZ(const Objex* face) {
    float v = -1e30f;
    for (const FramePoint& p : Points(face)) v = std::fmax(v, p.z);
    return v;
  }
};
