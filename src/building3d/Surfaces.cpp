// The surfaces of the 3D model as planes of the current plane object: a planar ring (cap),
// a four-point patch between two rings (one quad when straight, strips of a bicubic Hermite
// surface when curved), one textured quad, and the height of a wall at a segment end.
#include "building3d/Surfaces.h"
#include "building3d/WallFaceFinish.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarPolygons.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "model/WallFields.h"

namespace {

constexpr int32_t kFramingStudTexture = 2202;    // straight and curved patches in framing view
constexpr int32_t kFramingHeaderTexture = 2203;  // planar surfaces in framing view
constexpr RGBColor kFramingPlainColour{0xD8D8, 0xE4E4, 0xF0F0};
constexpr RGBColor kWhite{0xFFFF, 0xFFFF, 0xFFFF};
constexpr int32_t kDefaultStrips = 3;
constexpr int32_t kMaxStrips = 256;  // curve settings come from files

struct Side {
  int32_t* textureID;
  ShortPoint* scale;
  RGBColor* colour;
  ShortPoint* scaleLink;  // the field a material applied in 3D writes its scale to
};

void SetSideA(PlaneObject* po, const Side& s) {
  po->textureIdA = s.textureID ? *s.textureID : 0;
  po->textureScaleA[0] = s.scale ? s.scale->x : 100;
  po->textureScaleA[1] = s.scale ? s.scale->y : 100;
  if (s.colour) po->colorA = *s.colour;
  po->textureLinkA = s.textureID;
  po->colorLinkA = s.colour;
  po->scaleLinkA = s.scaleLink ? &s.scaleLink->x : nullptr;
}

void SetSideB(PlaneObject* po, const Side& s) {
  po->textureIdB = s.textureID ? *s.textureID : 0;
  po->textureScaleB[0] = s.scale ? s.scale->x : 100;
  po->textureScaleB[1] = s.scale ? s.scale->y : 100;
  if (s.colour) po->colorB = *s.colour;
  po->textureLinkB = s.textureID;
  po->colorLinkB = s.colour;
  po->scaleLinkB = s.scaleLink ? &s.scaleLink->x : nullptr;
}

void ClearLinks(PlaneObject* po) {
  po->textureLinkA = po->textureLinkB = nullptr;
  po->colorLinkA = po->colorLinkB = nullptr;
  po->scaleLinkA = po->scaleLinkB = nullptr;
}

// Framing view without plain colours: one texture on both sides, white.
void SetFramingTexture(PlaneObject* po, int32_t texture) {
  po->textureIdA = po->textureIdB = texture;
  po->textureScaleA[0] = po->textureScaleA[1] = 100;
  po->textureScaleB[0] = po->textureScaleB[1] = 100;
  po->colorA = po->colorB = kWhite;
  ClearLinks(po);
}

void SetFramingPlain(PlaneObject* po) {
  po->textureIdA = po->textureIdB = 0;
  po->colorA = po->colorB = kFramingPlainColour;
  ClearLinks(po);
}

void SetTextureSizes(PlaneObject* po, float extentU, float extentV) {
  if (po->textureIdA)
    ComputeTextureScale(po->textureIdA, extentU, extentV, &po->textureSizeA[0], &po->textureSizeA[1]);
  if (po->textureIdB)
    ComputeTextureScale(po->textureIdB, extentU, extentV, &po->textureSizeB[0], &po->textureSizeB[1]);
}

// Material of a patch: the start point's two sides, or the framing materials.
void SetPatchMaterial(PlaneObject* po, Poinz* a, DocState* ds) {
  if (ds->framingView) {
    if (ds->framingPlainColors())
      SetFramingPlain(po);
    else
      SetFramingTexture(po, kFramingStudTexture);
    return;
  }
  SetSideA(po, {&a->textureID[0], &a->textureScale[0], &a->color[0], &a->textureScale[0]});
  SetSideB(po, {&a->textureID[1], &a->textureScale[1], &a->color[1], &a->textureScale[1]});
}

bool IsStraight(const Poinz* p) {
  for (int k = 0; k < 3; ++k)
    if (p->inHandle[k] != 0 || p->outHandle[k] != 0) return false;
  return true;
}

float Distance(const float a[3], const float b[3]) {
  return Get3DLineLength(a[0], a[1], a[2], b[0], b[1], b[2]);
}

// Index of the segment that starts at `point` within its ring.
int32_t SegmentIndexOf(const Poinz* point) {
  const Objex* owner = point->owner;
  if (!owner) return 0;
  const int32_t levels = std::max<int32_t>(1, owner->levels);
  const int32_t perRing = owner->pointCount / levels;
  int32_t index = 0;
  for (const Poinz* p = owner->firstPoint; p && p != point; p = p->next) ++index;
  return perRing > 0 ? index % perRing : index;
}

int32_t StripCount(const Objex* object, DocState* ds) {
  int32_t strips = kDefaultStrips;
  if (gBase2DObject) {
    if (object->type == kObjFloor || object->type == kObjCutout)
      strips = ds->curveSegments;
    else
      strips = ds->objectRenderQuality();
    if (gActual3DObject && (gActual3DObject->type == kObjDoor || gActual3DObject->type == kObjWindow) &&
        (gActual3DObject->subtype == 512 || gActual3DObject->subtype == 626))
      strips = ds->windowDoorRenderQuality();
  }
  return std::clamp(strips, 1, kMaxStrips);
}

int16_t ClampAlpha(int32_t alpha) { return static_cast<int16_t>(std::clamp(alpha, 0, 255)); }

// The first vertex after v0 not equal to it, and the first after that off their line; the
// normal then stands on a real corner even when the ring starts with repeated or collinear
// points.
void CornerNormal(const PlaneVertex* v, int32_t count, int front, float* nx, float* ny, float* nz) {
  int32_t j = 1, k = 2;
  for (int32_t i = 1; i < count; ++i)
    if (v[i].x != v[0].x || v[i].y != v[0].y || v[i].z != v[0].z) {
      j = i;
      break;
    }
  bool found = false;
  for (int32_t i = j + 1; i < count && !found; ++i) {
    const double ux = v[j].x - v[0].x, uy = v[j].y - v[0].y, uz = v[j].z - v[0].z;
    const double wx = v[i].x - v[0].x, wy = v[i].y - v[0].y, wz = v[i].z - v[0].z;
    const double cx = uy * wz - uz * wy, cy = uz * wx - ux * wz, cz = ux * wy - uy * wx;
    if (cx != 0 || cy != 0 || cz != 0) {
      k = i;
      found = true;
    }
  }
  if (!found) {
    j = 1;
    k = std::min<int32_t>(2, count - 1);
  }
  const PlaneVertex& p1 = v[0];
  const PlaneVertex& p2 = front ? v[j] : v[k];
  const PlaneVertex& p3 = front ? v[k] : v[j];
  float d = 0;
  CalcParametric(p1.x, p1.y, p1.z, p2.x, p2.y, p2.z, p3.x, p3.y, p3.z, nx, ny, nz, &d);
}

}  // namespace

void RenderPlanarSurface(Poinz* firstPoint, int32_t count, const RGBColor*, int front, Objex* object) {
  DocState* ds = CurDocState();
  if (!firstPoint || !object || !ds) return;
  int32_t n = count;
  PlanarPolyPoint* polygon = CreatePlanarPolygon(firstPoint, &n);
  if (!polygon || n <= 1) {
    DeletePlanarPolygon(polygon);
    return;
  }
  float nx = 0, ny = 0, nz = 0;
  CornerNormal(polygon, n, front, &nx, &ny, &nz);

  if (PlaneObject* po = gCurPlaneObject) {
    po->renderKind = 6;
    const int16_t type = object->type;
    switch (type) {
      case 13: case 36: case 46: case 48: case 49: case 50: case 127: case 136: {
        if (ds->framingView) {
          po->textureIdA = po->textureIdB = 0;
          ClearLinks(po);
        } else {
          const Side slab = type == 36 || type == 49
                                ? Side{&object->textureID, &object->textureScale, &object->penColor, &object->textureScale}
                                : Side{&object->textureID1, &object->textureScale1, &object->color1, &object->textureScale1};
          SetSideA(po, slab);
          SetSideB(po, slab);
        }
        if (type != 46 && type != 127) {
          // The top face of the slab whose other pass is the bottom face.
          const float thickness = ConvertWorldToScreen(SlabThicknessOf(object), ds, 0);
          for (int32_t i = 0; i < n; ++i) polygon[i].y -= thickness;
        }
        break;
      }
      case 47: case 139: {
        const Side slot2{&object->textureID2, &object->textureScale2, &object->color2, &object->textureScale2};
        SetSideA(po, slot2);
        SetSideB(po, slot2);
        break;
      }
      default:
        if (ds->framingView) {
          if (ds->framingPlainColors())
            SetFramingPlain(po);
          else
            SetFramingTexture(po, kFramingHeaderTexture);
        } else if (type == kObjRoofPanelFace && front) {
          // The panel's underside: slot 3 gives the texture and scale; the colours stay.
          if (Objex* part = gActual3DObject) {
            const Side slot3{&part->textureID3, &part->textureScale3, nullptr, &part->textureScale3};
            SetSideA(po, slot3);
            SetSideB(po, slot3);
          } else {
            po->textureIdA = po->textureIdB = 0;
            po->colorA = po->colorB = kWhite;
            ClearLinks(po);
          }
        } else {
          SetSideA(po, {&firstPoint->textureID[0], &firstPoint->textureScale[0], &firstPoint->color[0],
                        &object->textureScale1});
          SetSideB(po, {&firstPoint->textureID[1], &firstPoint->textureScale[1], &firstPoint->color[1],
                        &object->textureScale2});
          if (type == kObjRoofGablePart && gBase2DObject) {
            po->textureIdA = gBase2DObject->textureID2;
            po->textureLinkA = &gBase2DObject->textureID2;
          }
        }
        break;
    }
    const FloatRect& r = object->textureRect;
    SetTextureSizes(po, r.floatRight - r.floatLeft, r.floatBottom - r.floatTop);
  }
  AppendPlane(polygon, n, nx, ny, nz, gCurPlaneObject);
}

void RenderMeshPlane(const float p0[3], const float p1[3], const float p2[3], const float p3[3],
                     float ringLength, float, Objex*, float uStart, float, float uEnd, float uEnd2) {
  if (!p0 || !p1 || !p2 || !p3) return;
  const float divisor = ringLength != 0 ? ringLength : 1.0f;
  const float u0 = uStart / divisor;
  const float u1 = uEnd == 0 && uEnd2 == 0 ? (uStart + Distance(p3, p0)) / divisor : uEnd / divisor;
  float nx = 0, ny = 0, nz = 0, d = 0;
  CalcParametric(p0[0], p0[1], p0[2], p1[0], p1[1], p1[2], p2[0], p2[1], p2[2], &nx, &ny, &nz, &d);
  // The four corners, flags 1 to 4, in the plane's own block.
  Plane* plane = AppendPlaneWithRoom(4, nx, ny, nz, gCurPlaneObject);
  if (!plane) return;
  PlanarPolyPoint* quad = plane->vertices;
  quad[0] = PlanarPolyPoint{p0[0], p0[1], p0[2], 1, u0, 1.0f};
  quad[1] = PlanarPolyPoint{p1[0], p1[1], p1[2], 2, u0, 0.0f};
  quad[2] = PlanarPolyPoint{p2[0], p2[1], p2[2], 3, u1, 0.0f};
  quad[3] = PlanarPolyPoint{p3[0], p3[1], p3[2], 4, u1, 1.0f};
}

void RenderBicubicSurface(Poinz* a, Poinz* b, Poinz* c, Poinz* d, int16_t, int16_t, int16_t linked,
                          const RGBColor*, Objex* object) {
  DocState* ds = CurDocState();
  if (!a || !b || !c || !d || !object || !ds) return;
  const float ringA = a->ringLength, ringB = b->ringLength;

  if (IsStraight(a) && IsStraight(b) && IsStraight(c) && IsStraight(d)) {
    float pa[3] = {a->position[0], a->position[1], a->position[2]};
    float pb[3] = {b->position[0], b->position[1], b->position[2]};
    float pc[3] = {c->position[0], c->position[1], c->position[2]};
    float pd[3] = {d->position[0], d->position[1], d->position[2]};
    PlaneObject* po = gCurPlaneObject;
    if (object->type == kObjWall && object->firstPoint) {
      const float top = pa[1] - (GetWallHeight(object->firstPoint, 1) +
                                 ConvertWorldToScreen(SlabThicknessOf(object), ds, 0));
      pb[1] = pd[1] = top;
      if (po) po->elevation = BaseElevationOf(object->firstPoint);
    }
    RenderMeshPlane(pa, pb, pd, pc, ringA, ringB, object, a->pathLength, b->pathLength, c->pathLength,
                    d->pathLength);
    if (po) {
      SetPatchMaterial(po, a, ds);
      SetTextureSizes(po, ringA, Distance(pc, pd));
      if (po->partType == 60) po->renderKind = 7;
      if (object->type == kObjPhotoSurface) po->renderKind = 131;
    }
    return;  // the caller carves and appends
  }

  // Curved: strips along s, each its own plane object, finished and appended here.
  const int32_t strips = StripCount(object, ds);
  Matrix4 m, mt, xB, yB, zB, scratch, kx, ky, kz;
  BuildMatrixM(m);
  BuildMatrixMT(mt);
  EstablishSurface(xB, yB, zB, m, mt, scratch, kx, ky, kz, a, b, c, d, linked);
  float sVector[4], tVector[4];
  auto at = [&](float s, float t, float out[3]) {
    ComputeSurfacePoint(kx, ky, kz, sVector, tVector, s, t, &out[0], &out[1], &out[2]);
  };
  const float step = 1.0f / static_cast<float>(strips);
  // The caller's plane object takes the first strip; the others copy its set-up.
  PlaneObject* caller = gCurPlaneObject;
  PlaneObject pattern;
  if (caller) pattern = *caller;
  const bool wallAttachmentPart = gActual3DObject &&
                                  (gActual3DObject->type == kObjDoor || gActual3DObject->type == kObjWindow ||
                                   gActual3DObject->type == kObjComponent || gActual3DObject->type == kObjAccessory);
  const int32_t faceIndex = object->type == kObjWall ? SegmentIndexOf(a) : 0;
  // Each strip quad runs like the straight patch's (s-start edge first, then its top), so that
  // straight and curved faces of one object turn the same way; texture u follows the chord
  // lengths of the lower and upper edges from the path lengths of a and b.
  float lowerU = a->pathLength, upperU = b->pathLength;
  float lower0[3], upper0[3];
  at(0, 0, lower0);
  at(0, 1, upper0);
  for (int32_t i = 0; i < strips; ++i) {
    const float s1 = static_cast<float>(i + 1) * step;
    float lower1[3], upper1[3];
    at(s1, 0, lower1);
    at(s1, 1, upper1);
    const float lowerNext = lowerU + Distance(lower0, lower1);
    const float upperNext = upperU + Distance(upper0, upper1);

    PlaneObject* po = i == 0 && caller ? caller : CreatePlaneObject();
    if (po) {
      gCurPlaneObject = po;
      if (po != caller) {
        if (caller) {
          po->partType = pattern.partType;
          po->elevation = pattern.elevation;
          po->alpha = pattern.alpha;
          po->tag = pattern.tag;
        } else {
          po->partType = object->type;
        }
      }
      if (wallAttachmentPart && gActual3DObject->typeData) {
        const auto* data = static_cast<const DoorWindowData*>(gActual3DObject->typeData);
        if (data->anchorStart) po->elevation = BaseElevationOf(data->anchorStart);
      }
      RenderMeshPlane(lower0, upper0, upper1, lower1, ringA, ringB, object, lowerU, upperU, lowerNext,
                      upperNext);
      SetPatchMaterial(po, a, ds);
      const float edge = i % 2 == 0 ? Get3DLineLength(a->position[0], a->position[1], a->position[2],
                                                      b->position[0], b->position[1], b->position[2])
                                    : Get3DLineLength(c->position[0], c->position[1], c->position[2],
                                                      d->position[0], d->position[1], d->position[2]);
      SetTextureSizes(po, ringA, edge);
      po->renderKind = 7;
      if (!ds->framingView) {
        po->colorA = object->penColor;
        po->colorB = object->fillColor;
      }
      if (object->type == kObjCustomAttachmentPart)
        po->alpha = ClampAlpha(object->subtype == kObjWindow ? gWindowGlassTransparency : AlphaValueOf(object));
      else if (object->type == kObjSymbolPart3D && object->subtype == kObjCustomAttachmentPart)
        po->alpha = ClampAlpha(AlphaValueOf(object));
      if (po->planes) {
        if (object->type == kObjWall)
          CarveWindowsAndDoors(gActual3DObject ? gActual3DObject : object, object, a, b, c, d, faceIndex,
                               po->planes);
        AppendPlaneObject(po, object);
      } else {
        DeletePlaneObject(po);
      }
    }
    gCurPlaneObject = nullptr;
    lowerU = lowerNext;
    upperU = upperNext;
    std::copy(lower1, lower1 + 3, lower0);
    std::copy(upper1, upper1 + 3, upper0);
  }
}

float GetWallHeight(Poinz* point, int16_t end) {
  const DocState* ds = CurDocState();
  if (!point || !ds) return 0;
  const float first = WallHeightOf(point);
  const float second = HeightCOf(point);
  const float pitch = PitchAOf(point);
  const Poinz* next = point->next;
  if (!next && point->owner && point->owner->closed && point->owner->firstPoint != point)
    next = point->owner->firstPoint;
  float rise = 0;
  if (next) {
    const float run = GetLineLength(point->position[0], point->position[2], next->position[0], next->position[2]);
    rise = ConvertScreenToWorld(run, ds, 0) * pitch / 12.0f;
  }
  const bool start = end == 1;
  float height = first;
  switch (WallStyleOf(point)) {
    case 1: case 4: case 5: case 6: case 7: case 10: case 11:
      height = start ? first : second;
      break;
    case 2:
      height = start ? first : first + rise;
      break;
    case 3:
      height = start ? first + rise : first;
      break;
    case 8: case 9:
      height = start ? second : first;
      break;
    default:
      break;
  }
  return ConvertWorldToScreen(height, ds, 0);
}
