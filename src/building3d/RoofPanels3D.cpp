// Roof panels in 3D: the slab on the sloped plane and the slope arrow kept in step.
#include "building3d/RoofPanels3D.h"

#include <cmath>
#include <vector>

#include "model/Bounds.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/TextureFace.h"
#include "model/ViewProjection.h"

namespace {

constexpr float kDegrees = 3.14159265358979f / 180.0f;
constexpr RGBColor kWhite{65535, 65535, 65535};

void FreeParts(Objex* owner) {
  for (Objex* part = static_cast<Objex*>(owner->typeData); part;) {
    Objex* next = part->next;
    part->prev = part->next = nullptr;
    part->layer = nullptr;
    DeleteObj(part);
    part = next;
  }
  owner->typeData = nullptr;
}

void AppendPart(Objex* owner, Objex* part) {
  part->next = nullptr;
  Objex* head = static_cast<Objex*>(owner->typeData);
  if (!head) {
    part->prev = nullptr;
    owner->typeData = part;
    return;
  }
  while (head->next) head = head->next;
  head->next = part;
  part->prev = head;
}

// The middle of the panel's outline in x and z.
bool PanelMiddle(const Objex* panel, float* cx, float* cz) {
  const Poinz* p = panel->firstPoint;
  if (!p) return false;
  float minX = p->position[0], maxX = minX, minZ = p->position[2], maxZ = minZ;
  for (; p; p = p->next) {
    minX = std::fmin(minX, p->position[0]), maxX = std::fmax(maxX, p->position[0]);
    minZ = std::fmin(minZ, p->position[2]), maxZ = std::fmax(maxZ, p->position[2]);
  }
  *cx = (minX + maxX) / 2;
  *cz = (minZ + maxZ) / 2;
  return true;
}

}  // namespace

Objex* FindSlopeDirectionArrowObject(Objex* panel) {
  if (!panel) return nullptr;
  for (Objex* c = panel->firstChild; c; c = c->next)
    if (c->type == kObjRoofSlopeArrow) return c;
  return nullptr;
}

uint8_t SlopeDirectionArrowExists(Objex* panel) { return FindSlopeDirectionArrowObject(panel) ? 1 : 0; }

void SetRoofPanelSlope(Objex* panel, Objex* slab) {
  DocState* ds = CurDocState();
  if (!panel || !slab || !ds) return;
  const float angle = panel->params[0] * kDegrees;
  float ux = 0, uz = 0, vx = 0, vz = 0;
  GetPointFromLengthAndAngle(angle, 100.0f, &ux, &uz);
  GetPointFromLengthAndAngle(angle + 90.0f * kDegrees, 100.0f, &vx, &vz);
  const float drop = panel->width / 12.0f * 100.0f;
  // The plane through u (dropped), the origin and v, taken as (x, z, y) so that the plane
  // gives the height at a plan point: a x + b z + c y = d.
  float a = 0, b = 0, c = 0, d = 0;
  CalcParametric(ux, uz, drop, 0, 0, 0, vx, vz, 0, &a, &b, &c, &d);
  std::vector<Poinz*> points;
  for (Poinz* p = slab->firstPoint; p; p = p->next) points.push_back(p);
  const size_t n = points.size() / 2;
  if (n < 3) return;
  float e = 0;
  for (size_t i = 0; i < n; ++i) {
    Poinz* p = points[i];
    p->position[1] = ComputePointOnPlane(p->position[0], p->position[2], a, b, c, d);
    if (i == 0) e = p->position[1];
    else if (panel->slopeAnchor() == 0) e = std::fmax(e, p->position[1]);
    else e = std::fmin(e, p->position[1]);
  }
  slab->params[0] = a, slab->params[1] = b, slab->params[2] = c, slab->params[3] = d, slab->params[4] = e;
  const float thickness = ConvertWorldToScreen(kRoofPanelSlabInches, ds, 0);
  for (size_t i = 0; i < n; ++i) {
    points[i]->position[1] -= e;
    points[n + i]->position[1] = points[i]->position[1] - thickness;
  }
}

void PlaceSlopeArrow(Objex* arrow, Objex* panel, float radians) {
  if (!arrow || !panel) return;
  float cx = 0, cz = 0;
  if (!PanelMiddle(panel, &cx, &cz)) return;
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(radians, kSlopeArrowHalfLength, &dx, &dz);
  Poinz* tail = arrow->firstPoint;
  Poinz* head = tail ? tail->next : nullptr;
  if (!head) return;
  tail->position[0] = cx - dx, tail->position[1] = 0, tail->position[2] = cz - dz;
  head->position[0] = cx + dx, head->position[1] = 0, head->position[2] = cz + dz;
  UpdateObjectBounds(arrow);
}

Objex* CreateSlopeArrow(Objex* panel, float pitch) {
  if (!panel) return nullptr;
  const RGBColor black{};
  Objex* arrow = CreateObject(kObjRoofSlopeArrow, 0, 1, &kWhite, &black, 1.0f, 6, 0, nullptr, nullptr, nullptr, panel,
                              panel->layer, nullptr);
  if (!arrow) return nullptr;
  for (int i = 0; i < 2; ++i)
    if (Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, arrow)) AppendPointToObject(p, arrow);
  arrow->pointCount = 2;
  arrow->levels = 1;
  arrow->width = pitch;
  return arrow;
}

namespace building3d {
void Update3DRoofPanel(Objex* panel) {
  NoteServiceCall("Update3DRoofPanel", panel);
  DocState* ds = CurDocState();
  if (!panel || panel->type != kObjRoofPanel || !ds) return;
  Layer* layer = panel->layer ? panel->layer : gCurDocument->itsCurLayer;
  if (!layer) return;
  DeleteRendererObject(panel);
  FreeParts(panel);

  std::vector<float> ring;
  for (const Poinz* p = panel->firstPoint; p; p = p->next) {
    ring.push_back(p->position[0]);
    ring.push_back(0);
    ring.push_back(p->position[2]);
  }
  const int32_t n = static_cast<int32_t>(ring.size() / 3);
  if (n > 0) {
    std::vector<float> zeros(ring.size(), 0.0f);
    Objex* slab = BuildGeneralPoly(ring.data(), ring.data(), zeros.data(), zeros.data(), zeros.data(), zeros.data(), n,
                                   layer, 1, kObjClosedPoly, 1, 0);
    if (slab) {
      slab->layer = nullptr;
      slab->type = kObjRoofPanelFace;
      slab->params[0] = panel->params[0];
      ValidateCapDirection(slab);
      SetTextureFaceUV(slab);
      SetObjectPointLengths(slab);
      slab->capped = 1;
      slab->fillColor = panel->fillColor;
      slab->penColor = panel->penColor;
      slab->textureID1 = panel->textureID1, slab->color1 = panel->color1, slab->textureScale1 = panel->textureScale1;
      slab->textureID2 = panel->textureID2, slab->color2 = panel->color2, slab->textureScale2 = panel->textureScale2;
      slab->textureID3 = panel->textureID3, slab->color3 = panel->color3, slab->textureScale3 = panel->textureScale3;
      for (Poinz* p = slab->firstPoint; p; p = p->next) {
        p->textureID[0] = panel->textureID1, p->color[0] = panel->color1, p->textureScale[0] = panel->textureScale1;
        p->textureID[1] = panel->textureID2, p->color[1] = panel->color2, p->textureScale[1] = panel->textureScale2;
      }
      SetRoofPanelSlope(panel, slab);
      slab->sourceObject = panel;
      AppendPart(panel, slab);
    }
  }
  UpdateAllRoofAttachments(panel);

  Objex* arrow = FindSlopeDirectionArrowObject(panel);
  if (!arrow) {
    arrow = CreateSlopeArrow(panel, panel->width);
    if (arrow) AppendChildToObject(arrow, panel);
  }
  PlaceSlopeArrow(arrow, panel, panel->params[0] * kDegrees);
}
}  // namespace building3d

void Update3DRoofPanelLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) Update3DRoofPanel(o);
}

void Update3DRoofPanelAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) Update3DRoofPanelLayer(l);
}
