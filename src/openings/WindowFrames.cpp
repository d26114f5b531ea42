// Shaped window frames: each shape family lists its outline as (along, up) pairs measured
// from the start point along the wall and up from the opening bottom; one construction
// turns the outline into a tube through the wall.
#include "openings/WindowFrames.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "model/Attachments.h"
#include "model/DocumentModel.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/TextureFace.h"
#include "openings/AttachmentFrame.h"

namespace {

constexpr double kPiD = 3.14159265358979323846;
constexpr float kHalfPi = static_cast<float>(kPiD / 2);
// How far a shaped window's frame and a sill stand beyond each wall face.
constexpr float kShapedFrameProud = 2.0f;
constexpr float kSillProud = 3.0f;

struct ShapePoint {
  float along, up;
  bool atEnd;  // measured down from the end point's height instead of the start point's
};

// Outline points of one shape (at most 37, the circle).
struct Outline {
  ShapePoint points[40];
  int count = 0;
  void add(float along, float up, bool atEnd = false) {
    if (count < 40) points[count++] = ShapePoint{along, up, atEnd};
  }
};

struct ShapeFrame {
  AttachmentInputs in;
  const Poinz* start = nullptr;  // P
  const Poinz* end = nullptr;    // Q
  float a = 0, w = 0, H = 0, m = 0;
  PlanOffset o{0, 0};
  float bottomStart = 0, bottomEnd = 0;
};

bool SetUpShape(Objex* window, bool swapWhenFlipped, float proud, ShapeFrame* f) {
  if (!GetAttachmentInputs(window, &f->in) || !gCurDocument->itsLayers) return false;
  f->start = f->in.p1;
  f->end = f->in.p2;
  if (swapWhenFlipped && f->in.record->flipHorizontal) std::swap(f->start, f->end);
  const float px = f->start->position[0], pz = f->start->position[2];
  const float qx = f->end->position[0], qz = f->end->position[2];
  f->a = FaceAngle(px, pz, qx, qz);
  f->w = f->in.record->width;
  f->H = f->in.record->height;
  f->m = FaceDistance(px, pz, (px + qx) / 2, (pz + qz) / 2);
  f->o = FacePolar(f->a + kHalfPi, CWS(f->in.wall->width, f->in.ds) / 2 + proud);
  const float drop = WallBaseOffset(f->in.wall, f->in.ds) + f->in.record->elevation;
  f->bottomStart = f->start->position[1] - drop;
  f->bottomEnd = f->end->position[1] - drop;
  return true;
}

// The outline as a loose closed object of `type`; null when a point or the object cannot
// be made.
Objex* MakeOutline(Objex* window, const ShapeFrame& f, const Outline& outline, int16_t type) {
  Objex* obj = NewAttachmentFace(window, type, 1);
  if (!obj) return nullptr;
  obj->levels = 1;
  obj->capped = 1;
  for (int i = 0; i < outline.count; ++i) {
    const ShapePoint& s = outline.points[i];
    const PlanOffset d = FacePolar(f.a, s.along);
    const float x = f.start->position[0] + f.o.x + d.x;
    const float z = f.start->position[2] + f.o.z + d.z;
    const float y = (s.atEnd ? f.bottomEnd : f.bottomStart) - s.up;
    if (!AddFacePoint(obj, x, y, z)) {
      FreeLooseFace(obj);
      return nullptr;
    }
  }
  return obj;
}

// Extrudes the outline across the wall into the window's only face.
void FinishShapedFrame(Objex* window, const ShapeFrame& f, const Outline& outline) {
  Objex* outlineObj = MakeOutline(window, f, outline, kObjFrameFace);
  Objex* frame = nullptr;
  if (outlineObj) {
    frame = Construct3DTrim(outlineObj, 2 * f.o.x, 2 * f.o.z);
    if (!frame) {
      FreeLooseFace(outlineObj);
    } else {
      SetFaceSlot0Material(frame, window);
      StoreFaceBounds(frame);
    }
  }
  FreeFaceChain(f.in.record->faces);
  f.in.record->faces = frame;
}

float NonZero(float length) { return length == 0 ? 1.0f : length; }

double Radians(int degrees) { return degrees * kPiD / 180.0; }

// The arch of a half ellipse of half width r and rise k r over the point `centre` along
// the line, springing at `spring`: 180 to 100 degrees, the apex, 80 to 0 degrees.
void AddHalfArch(Outline* out, float centre, float r, float k, float spring) {
  for (int deg = 180; deg >= 100; deg -= 10) {
    const double t = Radians(deg);
    out->add(centre - static_cast<float>(std::fabs(r * std::cos(t))),
             spring + static_cast<float>(k * r * std::fabs(std::sin(t))));
  }
  out->add(centre, spring + k * r);
  for (int deg = 80; deg >= 0; deg -= 10) {
    const double t = Radians(deg);
    out->add(centre + static_cast<float>(std::fabs(r * std::cos(t))),
             spring + static_cast<float>(k * r * std::fabs(std::sin(t))));
  }
}

}  // namespace

void BuildArchedWindowFrame(Objex* window, int16_t subtype) {
  ShapeFrame f;
  if (!SetUpShape(window, true, kShapedFrameProud, &f)) return;
  const bool low = subtype == kWindowHalfRoundLow || subtype == kWindowArchTopLow;
  const bool straightSides = subtype == kWindowArchTopLow || subtype == kWindowArchTop;
  const float k = low ? 0.5f : 1.0f;
  const float r = NonZero(f.w / 2);
  float spring = 0;
  if (subtype == kWindowArchTopLow) spring = f.w / 4 > f.H ? 1.0f : f.H - f.w / 4;
  if (subtype == kWindowArchTop) spring = f.w / 2 > f.H ? 1.0f : f.H - f.w / 2;
  Outline out;
  if (straightSides) out.add(0, 0);
  AddHalfArch(&out, f.m, r, k, spring);
  if (straightSides) out.add(f.w, 0, true);
  FinishShapedFrame(window, f, out);
}

void BuildQtrArchedWindowFrame(Objex* window, int16_t subtype) {
  ShapeFrame f;
  if (!SetUpShape(window, true, kShapedFrameProud, &f)) return;
  float k = 1.0f, spring = 0;
  bool straightSide = false;
  switch (subtype) {
    case kWindowQtrArchTop1:
    case kWindowQtrArchTop2:
      straightSide = true;
      spring = f.w > f.H ? 1.0f : f.H - f.w;
      break;
    case kWindowQtrArchTopLow1:
    case kWindowQtrArchTopLow2:
      straightSide = true;
      k = 0.5f;
      spring = f.w / 2 > f.H ? 1.0f : f.H - f.w / 2;
      break;
    case kWindowQtrArchLow1:
    case kWindowQtrArchLow2: k = 0.5f; break;
    default: break;  // 609, 610
  }
  const float r = NonZero(f.w);
  const float centre = f.m + f.w / 2;
  Outline out;
  if (straightSide) out.add(0, 0);
  for (int deg = 180; deg >= 100; deg -= 10) {
    const double t = Radians(deg);
    out.add(centre - static_cast<float>(std::fabs(r * std::cos(t))),
            spring + static_cast<float>(k * r * std::fabs(std::sin(t))));
  }
  out.add(centre, spring + k * r);
  out.add(f.w, 0, true);
  FinishShapedFrame(window, f, out);
}

void BuildChipCornerWindowFrame(Objex* window, int16_t subtype) {
  ShapeFrame f;
  if (!SetUpShape(window, true, kShapedFrameProud, &f)) return;
  const bool twoCorners = subtype == kWindowChipCorner3;
  const float c = NonZero(twoCorners ? f.w / 4 : f.w / 2);
  const float h = f.H < c ? c + 1.0f : f.H;
  Outline out;
  out.add(0, 0);
  out.add(0, h - c);
  out.add(c, h);
  if (twoCorners) {
    out.add(f.w - c, h);
    out.add(f.w, h - c);
  } else {
    out.add(f.w, h);
  }
  out.add(f.w, 0);
  FinishShapedFrame(window, f, out);
}

void BuildTriangleCornerWindowFrame(Objex* window, int16_t subtype) {
  ShapeFrame f;
  if (!SetUpShape(window, true, kShapedFrameProud, &f)) return;
  Outline out;
  out.add(0, 0);
  if (subtype == kWindowTriangleCorner1 || subtype == kWindowTriangleCorner2) {
    const float h = f.H < f.w ? f.w + 1.0f : f.H;
    out.add(0, h - f.w);
    out.add(f.w, h);
  } else {
    out.add(f.w, f.w);
  }
  out.add(f.w, 0);
  FinishShapedFrame(window, f, out);
}

void BuildPentagonWindowFrame(Objex* window, int16_t subtype) {
  ShapeFrame f;
  if (!SetUpShape(window, false, kShapedFrameProud, &f)) return;
  const float half = f.w / 2;
  Outline out;
  out.add(0, 0);
  if (subtype == kWindowPentagon2) {
    const float h = f.H < half ? half + 1.0f : f.H;
    out.add(0, h - half);
    out.add(half, h);
    out.add(f.w, h - half);
  } else {
    out.add(half, half);
  }
  out.add(f.w, 0);
  FinishShapedFrame(window, f, out);
}

void BuildParallelogramWindowFrame(Objex* window) {
  ShapeFrame f;
  if (!SetUpShape(window, true, kShapedFrameProud, &f)) return;
  const float s = NonZero(f.w / 4);
  Outline out;
  out.add(0, 0);
  out.add(s, f.w);
  out.add(f.w, f.w);
  out.add(f.w - s, 0);
  FinishShapedFrame(window, f, out);
}

void BuildOctagonWindowFrame(Objex* window) {
  ShapeFrame f;
  if (!SetUpShape(window, false, kShapedFrameProud, &f)) return;
  const float w = f.w;
  const float c = NonZero(0.3f * w);
  Outline out;
  out.add(w / 2, 0);
  out.add(c, 0);
  out.add(0, c);
  out.add(0, w - c);
  out.add(c, w);
  out.add(w - c, w);
  out.add(w, w - c);
  out.add(w, c);
  out.add(w - c, 0);
  out.add(w / 2, 0);
  FinishShapedFrame(window, f, out);
}

void BuildCircleWindowFrame(Objex* window) {
  ShapeFrame f;
  if (!SetUpShape(window, false, kShapedFrameProud, &f)) return;
  const double r = NonZero(f.w / 2);
  const float m = f.m;
  Outline out;
  auto at = [&](int deg, int alongSign, int upSign) {
    const double t = Radians(deg);
    out.add(m + alongSign * static_cast<float>(std::fabs(r * std::cos(t))),
            static_cast<float>(r + upSign * std::fabs(r * std::sin(t))));
  };
  for (int deg = 270; deg >= 190; deg -= 10) at(deg, -1, -1);
  for (int deg = 180; deg >= 100; deg -= 10) at(deg, -1, 1);
  for (int deg = 90; deg >= 10; deg -= 10) at(deg, 1, 1);
  for (int deg = 360; deg >= 270; deg -= 10) at(deg, 1, -1);
  FinishShapedFrame(window, f, out);
}

Objex* Construct3DTrim(Objex* outline, float dx, float dz) {
  if (!outline || !gCurDocument || !CurDocState()) return nullptr;
  Layer* layer = outline->layer ? outline->layer : gCurDocument->itsCurLayer;
  if (!layer) return nullptr;
  int32_t n = 0;
  for (const Poinz* p = outline->firstPoint; p; p = p->next) ++n;
  if (n == 0) return nullptr;

  const size_t size = static_cast<size_t>(n) * 3 * sizeof(float);
  float* arrays[6];
  bool allocated = true;
  for (float*& array : arrays) {
    array = static_cast<float*>(malloc(size));
    if (!array) allocated = false;
  }
  Objex* trim = nullptr;
  if (allocated) {
    float* ring1 = arrays[0];
    float* ring2 = arrays[1];
    int32_t i = 0;
    for (const Poinz* p = outline->firstPoint; p; p = p->next, ++i) {
      for (int k = 0; k < 3; ++k) {
        ring1[3 * i + k] = p->position[k];
        ring2[3 * i + k] = p->position[k];
        arrays[2][3 * i + k] = arrays[4][3 * i + k] = p->inHandle[k];
        arrays[3][3 * i + k] = arrays[5][3 * i + k] = p->outHandle[k];
      }
      ring2[3 * i] -= dx;
      ring2[3 * i + 2] -= dz;
    }
    const bool closed = outline->closed != 0;
    trim = BuildGeneralPoly(ring1, ring2, arrays[2], arrays[3], arrays[4], arrays[5], n, layer, 0,
                            closed ? kObjClosedPoly : kObjOpenPoly, closed ? 1 : 0, 0);
    if (trim) {
      if (closed) SetTextureFaceUV(trim);
      SetObjectPointLengths(trim);
      trim->capped = closed ? 1 : 0;
      trim->type = outline->type;
      trim->parent = outline->parent;
    }
  }
  for (float* array : arrays) free(array);
  if (trim) FreeLooseFace(outline);
  return trim;
}

void BuildWindowSill(Objex* window, int16_t subtype) {
  ShapeFrame f;
  if (!SetUpShape(window, false, kSillProud, &f)) return;
  const DocState* ds = f.in.ds;
  const float trimWidth = f.in.record->trimWidth();
  // Whole units: add a half and drop the fraction (toward zero, also for a negative width).
  const float fw = TruncCoordinate(static_cast<double>(CWS(trimWidth, ds)) + 0.5);
  float before = 1.25f * fw, beyond = 1.25f * fw;
  if (subtype == kDoorFrameWithDividers) {
    before = beyond = fw;
  } else if (subtype >= kWindowTriangleCorner1 && subtype <= kWindowTriangleCorner4) {
    before = 1.75f * fw;
    beyond = 1.25f * fw;
  } else if (subtype == kWindowPentagon1) {
    before = beyond = 1.75f * fw;
  } else if (subtype == kWindowParallelogram1 || subtype == kWindowParallelogram2) {
    before = 1.5f * fw;
    beyond = 1.5f * fw - f.w / 4;
  }
  const float t = subtype == kDoorFrameWithDividers ? CWS(0.5f, ds) : CWS(0.75f * trimWidth, ds);
  Outline out;
  out.add(-before, -t);
  out.add(-before, 0);
  out.add(f.w + beyond, 0);
  out.add(f.w + beyond, -t);
  Objex* outline = MakeOutline(window, f, out, kObjAccessoryFace);
  if (!outline) return;
  Objex* sill = Construct3DTrim(outline, 2 * f.o.x, 2 * f.o.z);
  if (!sill) {
    FreeLooseFace(outline);
    return;
  }
  SetFaceSlot0Material(sill, window);
  StoreFaceBounds(sill);
  AppendFaceToChain(f.in.record, sill);
}

void BuildRectangularWindow(Objex* window, Objex* wall, DoorWindowData* record) {
  AttachmentInputs in;
  if (!window || !wall || !record || !GetAttachmentInputs(window, &in)) return;
  const Poinz* p1 = in.p1;
  const Poinz* p2 = in.p2;
  const float x1 = p1->position[0], z1 = p1->position[2];
  const float a = FaceAngle(x1, z1, p2->position[0], p2->position[2]);
  const float length = FaceDistance(x1, z1, p2->position[0], p2->position[2]);
  const float inset = TruncCoordinate(CWS(record->trimWidth(), in.ds)) + 1.0f;
  const PlanOffset from = FacePolar(a, inset);
  const PlanOffset to = FacePolar(a, length - inset);
  const PlanOffset side = FacePolar(a + kHalfPi, CWS(wall->width, in.ds) / 2);
  const float bottom = p1->position[1] - (WallBaseOffset(wall, in.ds) + record->elevation);
  const float sx = x1 + from.x, sz = z1 + from.z, ex = x1 + to.x, ez = z1 + to.z;
  const float footprint[4][2] = {{sx + side.x, sz + side.z},
                                 {ex + side.x, ez + side.z},
                                 {ex - side.x, ez - side.z},
                                 {sx - side.x, sz - side.z}};
  Objex* strip = NewAttachmentFace(window, kObjClosedPoly, 1);
  if (!strip) return;
  strip->levels = 2;
  strip->capped = 1;
  for (float y : {bottom, bottom - 0.5f}) {
    for (const auto& c : footprint) {
      if (!AddFacePoint(strip, c[0], y, c[1])) {
        FreeLooseFace(strip);
        return;
      }
    }
  }
  SetFaceSlot0Material(strip, window);
  StoreFaceBounds(strip);
  SetTextureFaceUV(strip);
  SetObjectPointLengths(strip);
  AppendFaceToChain(record, strip);
}
