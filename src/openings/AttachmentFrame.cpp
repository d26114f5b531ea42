// Choosing the builder of a wall attachment's 3D model, fitting a wall component's 3D
// symbol into its opening, the accessory plane, the top-to-bottom mirror of shaped windows,
// and the face helpers every frame and leaf builder shares.
#include "openings/AttachmentFrame.h"

#include <cmath>
#include <limits>

#include "building3d/RepeatLimit.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "openings/CustomDefinitions.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "openings/DoorFrames.h"
#include "openings/WindowFrames.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kHalfPi = kPi / 2;

// Wall component kinds whose symbol is stretched to the record's width and height.
bool IsStretchedComponentKind(int32_t kind) { return kind == 95 || kind == 96 || kind == 97; }

Float3DRect EmptyBox() { return Float3DRect{32000, 32000, 32000, -32000, -32000, -32000}; }

void GrowBox(Objex* part, Float3DRect* box) {
  for (Poinz* p = part->firstPoint; p; p = p->next) Refine3DBounds(p->position[0], p->position[1], p->position[2], box);
}

// Copies the materials the user gave an old symbol part onto its fresh copy, point by point
// while both have points.
void CopyPartMaterials(const Objex* from, Objex* to) {
  to->textureID = from->textureID;
  to->textureID1 = from->textureID1;
  to->textureID2 = from->textureID2;
  to->textureID3 = from->textureID3;
  to->textureID4 = from->textureID4;
  to->penColor = from->penColor;
  to->fillColor = from->fillColor;
  to->color1 = from->color1;
  to->color2 = from->color2;
  to->color3 = from->color3;
  to->color4 = from->color4;
  to->textureScale = from->textureScale;
  to->textureScale1 = from->textureScale1;
  to->textureScale2 = from->textureScale2;
  to->textureScale3 = from->textureScale3;
  to->textureScale4 = from->textureScale4;
  const Poinz* a = from->firstPoint;
  Poinz* b = to->firstPoint;
  for (; a && b; a = a->next, b = b->next) {
    for (int side = 0; side < 2; ++side) {
      b->textureID[side] = a->textureID[side];
      b->color[side] = a->color[side];
      b->textureScale[side] = a->textureScale[side];
    }
  }
}

void ScaleAbout(float* x, float* z, float cx, float cz, float sx, float sz) {
  *x = cx + (*x - cx) * sx;
  *z = cz + (*z - cz) * sz;
}

// Fits a wall component's freshly attached 3D symbol into its place on the wall.
void FitComponentSymbol(Objex* component) {
  if (component->subtype == kSubDimensionAttachment) return;
  auto* record = static_cast<DoorWindowData*>(component->typeData);
  DocState* ds = CurDocState();

  Objex* oldParts = component->symbol3D;
  component->symbol3D = nullptr;
  Attach3DSymbol(component, component->subtype, 0, 0);

  Float3DRect box = EmptyBox();
  Objex* fresh = component->symbol3D;
  if (oldParts) {
    const Objex* old = oldParts;
    for (Objex* part = fresh; part && old; part = part->next, old = old->next) {
      CopyPartMaterials(old, part);
      GrowBox(part, &box);
    }
  } else {
    for (Objex* part = fresh; part; part = part->next) GrowBox(part, &box);
  }

  Objex* wall = component->parent;
  if (wall && fresh) {
    const float cx = (box.floatLeft + box.floatRight) / 2;
    const float cz = box.floatBack;
    const float base = WallBaseOffset(wall, ds);
    const float halfDepth = CWS(wall->type == kObjWall ? wall->width : 4.0f, ds) / 2;

    float turn = 0, tx = 0, tz = 0;
    if (record->anchorStart && record->anchorEnd) {
      const Poinz* a0 = record->anchorStart;
      const Poinz* a1 = record->anchorEnd;
      const float a = FaceAngle(a0->position[0], a0->position[2], a1->position[0], a1->position[2]);
      const PlanOffset along = FacePolar(a, record->startDistance);
      const float n = record->flipHorizontal ? a + kHalfPi : a - kHalfPi;
      const PlanOffset out = FacePolar(n, halfDepth + 0.1f);
      tx = a0->position[0] + along.x + out.x;
      tz = a0->position[2] + along.z + out.z;
      turn = n + kHalfPi;
    }

    // Stretched kinds fill the record's size; a symbol without extent keeps its own.
    float sx = 1.0f, sz = 1.0f;
    if (IsStretchedComponentKind(component->subtype)) {
      const float extentX = box.floatRight - box.floatLeft;
      const float extentZ = box.floatFront - box.floatBack;
      if (extentX > 0 && std::isfinite(extentX) && extentX != record->width) sx = record->width / extentX;
      if (extentZ > 0 && std::isfinite(extentZ) && extentZ != record->height) sz = record->height / extentZ;
    }

    const float drop = base + record->elevation;
    for (Objex* part = fresh; part; part = part->next) {
      for (Poinz* p = part->firstPoint; p; p = p->next) {
        if (sx != 1.0f || sz != 1.0f) {
          for (float* handle : {p->inHandle, p->outHandle})
            if (handle[0] != 0 || handle[2] != 0) ScaleAbout(&handle[0], &handle[2], 0, 0, sx, sz);
          ScaleAbout(&p->position[0], &p->position[2], cx, cz, sx, sz);
        }
        if (turn != 0) {
          for (float* handle : {p->inHandle, p->outHandle}) Rotate(&handle[0], &handle[2], 0, 0, turn);
          Rotate(&p->position[0], &p->position[2], cx, cz, turn);
        }
        p->position[0] += tx;
        p->position[2] += tz;
        p->position[1] -= drop;
      }
    }
  }
  for (Objex* part = fresh; part; part = part->next) {
    SetTextureFaceUV(part);
    SetObjectPointLengths(part);
  }
  FreeFaceChain(oldParts);
}

bool IsFlippableWindowShape(int16_t subtype) {
  return (subtype >= kWindowHalfRound && subtype <= kWindowParallelogram2) || subtype == kWindowQtrArchLow1 ||
         subtype == kWindowQtrArchLow2;
}

void BuildDoor(Objex* door, DoorWindowData* record) {
  const int16_t subtype = record->subtype;
  if (subtype < kDoorFrameOnly || subtype > kDoorCustom) return;
  if (subtype == kDoorCustom) {
    UpdateCustomAttachment(door);
  } else if (subtype >= kDoorArchedOpening && subtype <= kDoorArchedHingedLow) {
    BuildArchedDoorFrame(door, subtype);
  } else {
    BuildRectangularDoorFrame(door);
  }
}

void BuildWindow(Objex* window, DoorWindowData* record) {
  const int16_t subtype = record->subtype;
  if (subtype < kWindowRectangular || subtype > kWindowCustom) return;
  // A builder that gives up leaves the old chain in place, already mirrored if it was.
  const Objex* before = record->faces;
  switch (subtype) {
    case kWindowRectangular: BuildRectangularDoorFrame(window); break;
    case kWindowCustom: UpdateCustomAttachment(window); break;
    case kWindowOctagon: BuildOctagonWindowFrame(window); break;
    case kWindowCircle: BuildCircleWindowFrame(window); break;
    case kWindowHalfRound:
    case kWindowHalfRoundLow:
    case kWindowArchTopLow:
    case kWindowArchTop: BuildArchedWindowFrame(window, subtype); break;
    case kWindowChipCorner1:
    case kWindowChipCorner2:
    case kWindowChipCorner3: BuildChipCornerWindowFrame(window, subtype); break;
    case kWindowTriangleCorner1:
    case kWindowTriangleCorner2:
    case kWindowTriangleCorner3:
    case kWindowTriangleCorner4: BuildTriangleCornerWindowFrame(window, subtype); break;
    case kWindowPentagon1:
    case kWindowPentagon2: BuildPentagonWindowFrame(window, subtype); break;
    case kWindowParallelogram1:
    case kWindowParallelogram2: BuildParallelogramWindowFrame(window); break;
    default: BuildQtrArchedWindowFrame(window, subtype); break;  // 605-610, 624, 625
  }
  // The record may have been replaced or freed by a custom definition; read it again.
  auto* after = static_cast<DoorWindowData*>(window->typeData);
  if (after && after->faces != before && IsFlippableWindowShape(subtype) && after->flipVertical == 1)
    FlipWindow(window, 0);
}

}  // namespace

// ---- Shared helpers ----------------------------------------------------------------------

float CWS(float value, const DocState* ds) { return ConvertWorldToScreen(value, ds, 0); }

float WallBaseOffset(const Objex* wall, const DocState* ds) { return wall ? CWS(wall->params[2], ds) : 0.0f; }

bool GetAttachmentInputs(Objex* attachment, AttachmentInputs* out) {
  if (!attachment || !out || !gCurDocument) return false;
  out->ds = CurDocState();
  out->wall = attachment->parent;
  out->record = static_cast<DoorWindowData*>(attachment->typeData);
  out->p1 = attachment->firstPoint;
  out->p2 = out->p1 ? out->p1->next : nullptr;
  return out->ds && out->wall && out->record && out->p1 && out->p2;
}

PlanOffset FacePolar(float angle, float length) {
  PlanOffset o{0, 0};
  GetPointFromLengthAndAngle(angle, length, &o.x, &o.z);
  return o;
}

float FaceAngle(float x1, float z1, float x2, float z2) {
  float length = 0;
  return GetLineLengthAndAngle(x1, z1, x2, z2, &length);
}

float FaceDistance(float x1, float z1, float x2, float z2) { return GetLineLength(x1, z1, x2, z2); }

float SnapCoordinate(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 9.0e15) return static_cast<float>(value);
  return static_cast<float>(std::lround(value));
}

float TruncCoordinate(double value) {
  if (!std::isfinite(value)) return static_cast<float>(value);
  return static_cast<float>(std::trunc(value));
}

Objex* NewAttachmentFace(Objex* attachment, int16_t type, uint8_t closed) {
  const FloatRect bounds{0, 0, 100, 100};
  return CreateObject(type, closed, 1, &attachment->penColor, &attachment->fillColor, 1.0f, 6, 0, &bounds, nullptr,
                      nullptr, attachment, attachment->layer, nullptr);
}

bool AddFacePoint(Objex* face, float x, float y, float z) {
  Poinz* p = CreatePoint(1, 1, 0, 0, 0, 0, x, y, z, 0, 0, 0, 0, 0, 0, face);
  if (!p) return false;
  AppendPointToObject(p, face);
  return true;
}

void FreeLooseFace(Objex* face) {
  if (!face) return;
  face->prev = face->next = nullptr;
  face->parent = nullptr;
  face->layer = nullptr;
  DeleteObj(face);
}

void FreeFaceChain(Objex*& head) {
  Objex* face = head;
  head = nullptr;
  while (face) {
    Objex* next = face->next;
    FreeLooseFace(face);
    face = next;
  }
}

void AppendFaceToChain(DoorWindowData* record, Objex* face, Objex** lastHint) {
  Objex* last = lastHint ? *lastHint : nullptr;
  if (lastHint) *lastHint = face;
  face->next = nullptr;
  if (!record->faces) {
    face->prev = nullptr;
    record->faces = face;
    return;
  }
  if (!last || last->next) {
    last = record->faces;
    while (last->next) last = last->next;
  }
  last->next = face;
  face->prev = last;
}

void StoreFaceBounds(Objex* face) {
  FloatRect rect{32000, 32000, -32000, -32000};
  Float3DRect box = EmptyBox();
  // A face of straight segments (nearly every one) is measured in one walk of its points.
  if (!MeasureStraightObject(face, &rect, &box)) {
    GetObjectBounds(face, 0, &rect, 1, 0);
    GetObject3DBounds(face, 0, &box, 1);
  }
  face->bounds = rect;
  face->bounds3D = box;
}

void SetFacePointMaterial(Objex* face, int32_t textureID, const RGBColor& color, const ShortPoint& scale) {
  for (Poinz* p = face->firstPoint; p; p = p->next) {
    for (int side = 0; side < 2; ++side) {
      p->textureID[side] = textureID;
      p->color[side] = color;
      p->textureScale[side] = scale;
    }
  }
}

void SetFaceSlot0Material(Objex* face, const Objex* attachment) {
  SetFacePointMaterial(face, attachment->textureID, attachment->fillColor, attachment->textureScale);
}

// ---- Dispatch, accessory plane and mirror ------------------------------------------------

namespace openings {
void BuildAttachmentFrame(Objex* attachment) {
  // The placing tools' tests follow the calls.
  NoteServiceCall("BuildAttachmentFrame", attachment);
  if (!attachment || !gCurDocument || !CurDocState() || !attachment->typeData) return;
  RepeatLimitReport report(attachment);
  auto* record = static_cast<DoorWindowData*>(attachment->typeData);
  switch (attachment->type) {
    case kObjDoor: BuildDoor(attachment, record); break;
    case kObjWindow: BuildWindow(attachment, record); break;
    case kObjComponent: FitComponentSymbol(attachment); break;
    case kObjAccessory: {
      const Objex* before = record->faces;
      Build3DAccessoryPlane(attachment);
      if (record->faces != before && record->flipVertical == 1) FlipWindow(attachment, 0);
      break;
    }
    default: break;
  }
}
}  // namespace openings

void Build3DAccessoryPlane(Objex* accessory) {
  AttachmentInputs in;
  if (!GetAttachmentInputs(accessory, &in)) return;
  DoorWindowData* record = in.record;
  const Poinz* p1 = in.p1;
  const Poinz* p2 = in.p2;
  const float a = FaceAngle(p1->position[0], p1->position[2], p2->position[0], p2->position[2]);
  const float base = WallBaseOffset(in.wall, in.ds) + record->elevation;
  const float halfThickness = CWS(in.wall->width, in.ds) / 2;
  const float n = record->flipHorizontal ? a + kHalfPi : a - kHalfPi;
  const PlanOffset out = FacePolar(n, CWS(record->openAngle(), in.ds) + halfThickness);

  Objex* face = NewAttachmentFace(accessory, kObjAccessoryFace, 0);
  if (!face) return;
  face->levels = 2;
  face->capped = 0;
  const float lower2 = p2->position[1] - base;
  const float lower1 = p1->position[1] - base;
  const float corners[4][3] = {
      {p2->position[0] + out.x, lower2, p2->position[2] + out.z},
      {p1->position[0] + out.x, lower1, p1->position[2] + out.z},
      {p2->position[0] + out.x, lower2 - record->height, p2->position[2] + out.z},
      {p1->position[0] + out.x, lower1 - record->height, p1->position[2] + out.z},
  };
  for (const auto& c : corners) {
    if (!AddFacePoint(face, c[0], c[1], c[2])) {
      FreeLooseFace(face);
      return;
    }
  }
  face->textureID = face->textureID1 = accessory->textureID1;
  face->color1 = accessory->color1;
  face->textureScale = face->textureScale1 = accessory->textureScale1;
  SetFacePointMaterial(face, accessory->textureID1, accessory->color1, accessory->textureScale1);

  FreeFaceChain(record->faces);
  record->faces = face;
  StoreFaceBounds(face);
  SetTextureFaceUV(face);
  SetObjectPointLengths(face);
}

void FlipWindow(Objex* attachment, int16_t horizontal) {
  if (!attachment || !attachment->typeData) return;
  auto* record = static_cast<DoorWindowData*>(attachment->typeData);
  Objex* first = record->faces;
  if (!first || !first->firstPoint) return;
  const int axis = horizontal ? 0 : 1;
  // The first quarter of the first face's points; a face of fewer than four points gives
  // its first point, rather than a mirror line at 0 far from the window.
  int32_t count = first->pointCount / 4;
  if (count < 1) count = 1;
  float least = 30000, greatest = -30000;
  int32_t i = 0;
  for (const Poinz* p = first->firstPoint; p && i < count; p = p->next, ++i) {
    least = std::fmin(least, p->position[axis]);
    greatest = std::fmax(greatest, p->position[axis]);
  }
  const float c = (least + greatest) / 2;
  for (Objex* face = first; face; face = face->next) {
    for (Poinz* p = face->firstPoint; p; p = p->next) {
      p->position[axis] = c - (p->position[axis] - c);
      p->inHandle[axis] = -p->inHandle[axis];
      p->outHandle[axis] = -p->outHandle[axis];
    }
    StoreFaceBounds(face);
  }
}
