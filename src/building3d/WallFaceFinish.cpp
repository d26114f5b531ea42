// Finishing of wall faces. The openings library installs the full finishing
// (gOpeningsServices.carveWindowsAndDoors, openings/WallOpenings). Without it a face of a
// wall's generated body learns which segment and which side of the wall it lies on and takes
// that side's material from the segment's start point: doors and windows are not cut, trims
// are not hung, the face keeps its rectangle, and the framing view keeps the faces.
#include "building3d/WallFaceFinish.h"

#include <cmath>

#include "building3d/PlaneObjects.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"

namespace {

float PlanDistance(const Poinz* a, const Poinz* b) {
  const float dx = b->position[0] - a->position[0], dy = b->position[1] - a->position[1];
  const float dz = b->position[2] - a->position[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The side of the wall and the segment's start point of face `faceIndex` of the wall's body
// (side 0 along the wall points, then the far end, side 1 back toward the first point); false
// for the end caps, the closing face and anything that is not a face of a segment.
bool WallFaceSegment(const Objex* part, const Objex* wall, int32_t faceIndex, int* side, Poinz** start) {
  *side = 0;
  *start = nullptr;
  if (!part || !wall || part->pointCount <= 0) return false;
  const int32_t count = part->pointCount;
  const int32_t n = wall->closed ? count / 4 - 1 : count / 4;
  if (n < 2) return false;
  const int32_t s = faceIndex;
  int32_t k = 0;
  if (!wall->closed) {
    if (s <= n - 2) {
      k = s;
    } else {
      *side = 1;
      k = count / 2 - s - 2;
      if (k == n - 1) return false;  // the far end cap
    }
  } else if (s <= n - 1) {
    k = s;
  } else {
    k = 2 * n - s;
    if (k == s) return false;  // the closing face
    *side = 1;
  }
  if (k < 0) return false;  // the face back to the first corner
  Poinz* p = wall->firstPoint;
  for (int32_t i = 0; p && i < k; ++i) p = p->next ? p->next : (wall->closed ? wall->firstPoint : nullptr);
  if (!p) return false;
  Poinz* end = p->next ? p->next : (wall->closed ? wall->firstPoint : nullptr);
  if (!end) return false;
  *start = p;
  return true;
}

}  // namespace

void TakeWallSideMaterials(PlaneObject* po, Poinz* start, int side) {
  // Slot `slot` of the point: texture, scale and colour, linked back to the point.
  auto take = [po, start](int slot, bool sideA) {
    int32_t* texture = &start->textureID[slot];
    int16_t* scale = &start->textureScale[slot].x;
    RGBColor* colour = &start->color[slot];
    (sideA ? po->textureIdA : po->textureIdB) = *texture;
    int16_t* scaleTo = sideA ? po->textureScaleA : po->textureScaleB;
    scaleTo[0] = scale[0];
    scaleTo[1] = scale[1];
    (sideA ? po->colorA : po->colorB) = *colour;
    (sideA ? po->textureLinkA : po->textureLinkB) = texture;
    (sideA ? po->scaleLinkA : po->scaleLinkB) = scale;
    (sideA ? po->colorLinkA : po->colorLinkB) = colour;
  };
  take(side == 0 ? 1 : 0, true);
  take(side == 0 ? 0 : 1, false);
}

void CarveWindowsAndDoors(Objex* part, Objex* wall, Poinz* bottomStart, Poinz* topStart, Poinz* bottomEnd,
                          Poinz* topEnd, int32_t faceIndex, Plane* plane) {
  if (gOpeningsServices.carveWindowsAndDoors)
    return gOpeningsServices.carveWindowsAndDoors(part, wall, bottomStart, topStart, bottomEnd, topEnd, faceIndex,
                                                  plane);
  NoteServiceCall("CarveWindowsAndDoors", part);
  DocState* ds = CurDocState();
  if (!ds || !wall || !bottomStart || !topStart || !bottomEnd || !topEnd || !plane) return;
  // Curved faces are finished strip by strip with the wall in hand: their body is the owner
  // of the corner points.
  if ((!part || part->type == kObjWall) && bottomStart->owner) part = bottomStart->owner;
  if (!part || (part->type != kObjWallFace && part->type != kObjWallEdge)) return;
  int side = 0;
  Poinz* start = nullptr;
  if (!WallFaceSegment(part, wall, faceIndex, &side, &start)) return;
  PlaneObject* po = gCurPlaneObject;
  if (!po || ds->framingView) return;  // framing keeps the framing materials
  // The face along the wall points shows the start point's second slot on side A and its
  // first on side B; the face of the other side the reverse.
  TakeWallSideMaterials(po, start, side);
  const float across = bottomStart->ringLength;
  const float up = PlanDistance(bottomEnd, topEnd);
  po->textureSizeA[0] = po->textureSizeA[1] = po->textureSizeB[0] = po->textureSizeB[1] = 1.0f;
  if (po->textureIdA) ComputeTextureScale(po->textureIdA, across, up, &po->textureSizeA[0], &po->textureSizeA[1]);
  if (po->textureIdB) ComputeTextureScale(po->textureIdB, across, up, &po->textureSizeB[0], &po->textureSizeB[1]);
}
