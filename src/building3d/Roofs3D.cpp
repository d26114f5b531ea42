// Gable and hip roofs in 3D: the slopes, fascias, undersides and end faces of a roof of four
// corners, rebuilt after every change of the roof.
#include "building3d/Roofs3D.h"

#include <cmath>
#include <initializer_list>

#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/TextureFace.h"
#include "model/ViewProjection.h"
#include "plandraw/RoofDrawing.h"

namespace {

struct P3 {
  float x, y, z;
};

enum class Material { kPlane, kFascia, kUnderside, kGrey };

P3 Top(const float* c) { return {c[0], c[1] - kRoofSlabThickness, c[2]}; }
P3 Bottom(const float* c) { return {c[0], c[1] + kRoofSlabThickness, c[2]}; }
P3 At(const float* c) { return {c[0], c[1], c[2]}; }

void PaintPoints(Objex* part, const Objex* roof, Material material) {
  const Poinz* f = roof->firstPoint;
  for (Poinz* p = part->firstPoint; p; p = p->next) {
    switch (material) {
      case Material::kPlane:
        p->textureID[0] = f->textureID[0];
        p->textureID[1] = 0;
        p->color[0] = f->color[0];
        p->color[1] = f->color[1];
        p->textureScale[0] = p->textureScale[1] = f->textureScale[0];
        break;
      case Material::kFascia:
        p->textureID[0] = p->textureID[1] = 0;
        p->color[0] = p->color[1] = f->color[1];
        p->textureScale[0] = p->textureScale[1] = f->textureScale[1];
        break;
      case Material::kUnderside:
        p->textureID[0] = p->textureID[1] = roof->textureID1;
        p->color[0] = p->color[1] = roof->color1;
        p->textureScale[0] = p->textureScale[1] = roof->textureScale1;
        break;
      case Material::kGrey:
        p->textureID[0] = p->textureID[1] = 0;
        p->color[0] = p->color[1] = RGBColor{58000, 58000, 58000};
        break;
    }
  }
}

// One face of the roof from its corners (listed backwards after the first when the roof is in
// reverse order), typed, painted and put on the roof's part list; a roof plane also gets its
// plane equation from its first three corners.
void Face(const RoofFrame& f, std::initializer_list<P3> corners, int16_t type, int32_t subtype, Material material) {
  const int n = static_cast<int>(corners.size());
  float positions[6 * 3] = {}, handles[6 * 3] = {};
  if (n < 3 || n > 6) return;
  const P3* list = corners.begin();
  for (int i = 0; i < n; ++i) {
    const P3& p = (f.reverse && i > 0) ? list[n - i] : list[i];
    positions[3 * i] = p.x, positions[3 * i + 1] = p.y, positions[3 * i + 2] = p.z;
  }
  Objex* part = BuildClosedPoly(positions, nullptr, handles, handles, nullptr, nullptr, n, f.layer, 0);
  if (!part) return;
  part->type = type;
  part->subtype = subtype;
  if (type == kObjRoofPlane) {
    float a = 0, b = 0, c = 0, d = 0;
    CalcParametric(positions[0], positions[2], positions[1], positions[3], positions[5], positions[4], positions[6],
                   positions[8], positions[7], &a, &b, &c, &d);
    part->params[0] = a, part->params[1] = b, part->params[2] = c, part->params[3] = d;
    part->params[4] = -kRoofSlabThickness;
  }
  PaintPoints(part, f.roof, material);
  Setup3DRoofObject(part, f.roof);
}

bool ReverseOrder(const float c[4][3]) {
  const float* c0 = c[0];
  const float* c1 = c[1];
  const float* c2 = c[2];
  const float* c3 = c[3];
  return (c2[0] > c0[0] && c2[2] > c0[2] && c3[2] > c0[2]) || (c3[0] > c1[0] && c3[2] > c1[2] && c3[0] > c0[0]) ||
         (c0[0] > c2[0] && c0[2] > c2[2] && c0[2] > c3[2]) || (c1[0] > c3[0] && c1[2] > c3[2] && c0[0] > c3[0]);
}

void MoveAlong(float* p, float angle, float length) {
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, length, &dx, &dz);
  p[0] += dx;
  p[2] += dz;
}

}  // namespace

float RoofPlaneY(const Objex* plane, float x, float z) {
  if (!plane || plane->params[2] == 0) return 0;
  return (plane->params[3] - plane->params[0] * x - plane->params[1] * z) / plane->params[2];
}

void Setup3DRoofObject(Objex* part, Objex* roof) {
  if (!part || !roof) return;
  part->closed = 1;
  SetTextureFaceUV(part);
  SetObjectPointLengths(part);
  UnlinkObject(part);
  part->layer = nullptr;
  part->parent = nullptr;
  part->sourceObject = roof;
  part->next = nullptr;
  Objex* head = static_cast<Objex*>(roof->typeData);
  if (!head) {
    part->prev = nullptr;
    roof->typeData = part;
    return;
  }
  Objex* tail = head;
  while (tail->next) tail = tail->next;
  tail->next = part;
  part->prev = tail;
}

void BuildLeftHip(const RoofFrame& f, uint8_t fasciaOnly) {
  const float* c0 = f.c[0];
  const float* c3 = f.c[3];
  if (!fasciaOnly) Face(f, {Top(c0), At(f.ridgeA), Top(c3)}, kObjRoofPlane, kRoofPanelHipA, Material::kPlane);
  Face(f, {At(c0), Top(c0), Top(c3), At(c3)}, kObjRoofGablePart, 0, fasciaOnly ? Material::kGrey : Material::kFascia);
  if (!fasciaOnly) Face(f, {At(c0), Bottom(f.ridgeA), At(c3)}, kObjRoofHipPart, kRoofPanelHipA, Material::kUnderside);
}

void BuildRightHip(const RoofFrame& f, uint8_t fasciaOnly) {
  const float* c1 = f.c[1];
  const float* c2 = f.c[2];
  if (!fasciaOnly) Face(f, {Top(c1), Top(c2), At(f.ridgeB)}, kObjRoofPlane, kRoofPanelHipB, Material::kPlane);
  Face(f, {At(c1), At(c2), Top(c2), Top(c1)}, kObjRoofGablePart, 0, fasciaOnly ? Material::kGrey : Material::kFascia);
  if (!fasciaOnly) Face(f, {At(c1), At(c2), Bottom(f.ridgeB)}, kObjRoofHipPart, kRoofPanelHipB, Material::kUnderside);
}

// The gable ends close the slab along the rake; the strips between the shifted and unshifted
// rake bottoms have no area while the ends are flush with the corners, so they are left out.
void BuildLeftGable(const RoofFrame& f) {
  const float* c0 = f.c[0];
  const float* c3 = f.c[3];
  Face(f, {Top(c0), At(f.ridgeA), Bottom(f.ridgeA), At(c0)}, kObjRoofGablePart, 0, Material::kFascia);
  Face(f, {At(f.ridgeA), Top(c3), At(c3), Bottom(f.ridgeA)}, kObjRoofGablePart, 0, Material::kFascia);
}

void BuildRightGable(const RoofFrame& f) {
  const float* c1 = f.c[1];
  const float* c2 = f.c[2];
  Face(f, {Top(c1), At(c1), Bottom(f.ridgeB), At(f.ridgeB)}, kObjRoofGablePart, 0, Material::kFascia);
  Face(f, {At(f.ridgeB), Bottom(f.ridgeB), At(c2), Top(c2)}, kObjRoofGablePart, 0, Material::kFascia);
}

void Construct3DRoof(Objex* roof) {
  DocState* ds = CurDocState();
  if (!roof || !ds) return;
  Layer* layer = roof->layer ? roof->layer : gCurDocument->itsCurLayer;
  if (!layer) return;
  RoofFrame f{};
  f.roof = roof;
  f.layer = layer;
  const Poinz* p = roof->firstPoint;
  for (int i = 0; i < 4; ++i, p = p->next) {
    if (!p) return;
    for (int k = 0; k < 3; ++k) f.c[i][k] = p->position[k];
  }
  if (p) return;  // a roof has exactly four corners
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 3; ++k)
      if (!std::isfinite(f.c[i][k])) return;

  const float r = roof->width / 12.0f;
  float span = 0, ridgeLength = 0;
  f.spanAngle = GetLineLengthAndAngle(f.c[0][0], f.c[0][2], f.c[3][0], f.c[3][2], &span);
  f.ridgeAngle = GetLineLengthAndAngle(f.c[0][0], f.c[0][2], f.c[1][0], f.c[1][2], &ridgeLength);
  const float h = span / 2;
  const float rise = r * h + kRoofSlabThickness;
  f.ridgeA[0] = (f.c[0][0] + f.c[3][0]) / 2, f.ridgeA[1] = f.c[0][1] - rise, f.ridgeA[2] = (f.c[0][2] + f.c[3][2]) / 2;
  f.ridgeB[0] = (f.c[1][0] + f.c[2][0]) / 2, f.ridgeB[1] = f.c[1][1] - rise, f.ridgeB[2] = (f.c[1][2] + f.c[2][2]) / 2;
  const int style = roof->textureID;
  float travelA = 0, travelB = 0;
  RoofRidgeEndTravel(style, ridgeLength, h, &travelA, &travelB);
  MoveAlong(f.ridgeA, f.ridgeAngle, travelA);
  MoveAlong(f.ridgeB, f.ridgeAngle, travelB);
  f.reverse = ReverseOrder(f.c);

  switch (style) {
    case kRoofHip: BuildLeftHip(f, 0), BuildRightHip(f, 0); break;
    case kRoofGable: BuildLeftGable(f), BuildRightGable(f); break;
    case kRoofHipAndGable: BuildLeftHip(f, 0), BuildRightGable(f); break;
    case kRoofGableOneEnd: BuildRightGable(f); break;
    case kRoofHipOneEnd: BuildRightHip(f, 0); break;
    default: break;
  }
  const float* c0 = f.c[0];
  const float* c1 = f.c[1];
  const float* c2 = f.c[2];
  const float* c3 = f.c[3];
  Face(f, {Top(c3), At(f.ridgeA), At(f.ridgeB), Top(c2)}, kObjRoofPlane, kRoofPanelSlopeC3C2, Material::kPlane);
  Face(f, {At(c3), Top(c3), Top(c2), At(c2)}, kObjRoofGablePart, 0, Material::kFascia);
  Face(f, {Top(c0), Top(c1), At(f.ridgeB), At(f.ridgeA)}, kObjRoofPlane, kRoofPanelSlopeC0C1, Material::kPlane);
  Face(f, {At(c0), At(c1), Top(c1), Top(c0)}, kObjRoofGablePart, 0, Material::kFascia);
  Face(f, {At(c3), Bottom(f.ridgeA), Bottom(f.ridgeB), At(c2)}, kObjRoofHipPart, kRoofPanelSlopeC3C2,
       Material::kUnderside);
  Face(f, {At(c0), At(c1), Bottom(f.ridgeB), Bottom(f.ridgeA)}, kObjRoofHipPart, kRoofPanelSlopeC0C1,
       Material::kUnderside);
}

namespace building3d {
void Update3DRoof(Objex* roof) {
  NoteServiceCall("Update3DRoof", roof);
  if (!roof || roof->type != kObjRoof) return;
  DeleteRendererObject(roof);
  for (Objex* part = static_cast<Objex*>(roof->typeData); part;) {
    Objex* next = part->next;
    part->prev = part->next = nullptr;
    part->layer = nullptr;
    DeleteObj(part);
    part = next;
  }
  roof->typeData = nullptr;
  Construct3DRoof(roof);
  UpdateAllRoofAttachments(roof);
}
}  // namespace building3d

void Update3DRoofLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) Update3DRoof(o);
}

void Update3DRoofAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) Update3DRoofLayer(l);
}
