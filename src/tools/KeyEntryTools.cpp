// Key entry on a clicked segment, the photo view builder and the topography excavation tool.
#include "tools/KeyEntryTools.h"

#include "model/CustomTextures.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/TextureFace.h"
#include "tools/PointEvaluation.h"
#include "tools/PolygonEntry.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

void (*gKeyEntrySheetHook)(Objex* object, Poinz* startPoint, Poinz* endPoint) = nullptr;

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr float kPhotoHalfWidth = 720.0f;   // plan units each way from the centre
constexpr float kPhotoHeight = 360.0f;      // world inches
constexpr int32_t kExcavationTexture = 1115;
constexpr int32_t kLandscapePlanMask = 1 << kPlanLandscape;

}  // namespace

namespace tools {
void TrackKeyEntry(int32_t x, int32_t y) {
  if (!CurDocState()) return;
  float wx = 0, wy = 0, wz = 0;
  tools::EvaluatePoint(x, y, &wx, &wy, &wz, 1, &gClickInfo, 1);
  if (!gClickInfo.hitMode || !gClickInfo.hitObject || !gClickInfo.hitPoint || !gClickInfo.segmentEnd) return;
  NoteServiceCall("keyEntrySheetForObject", gClickInfo.hitObject);
  if (gKeyEntrySheetHook) gKeyEntrySheetHook(gClickInfo.hitObject, gClickInfo.hitPoint, gClickInfo.segmentEnd);
}
}  // namespace tools

Objex* BuildPhoto() {
  DocState* ds = CurDocState();
  Layer* layer = ds ? gCurDocument->itsCurLayer : nullptr;
  if (!layer) return nullptr;
  float x = 0, y = 0, z = 0;
  EvaluatePoint(0, 0, &x, &y, &z, 1, nullptr, 1);
  const float ring[6] = {x - kPhotoHalfWidth, y, z, x + kPhotoHalfWidth, y, z};
  const float zero[6] = {};
  Objex* photo = BuildOpenPoly(ring, nullptr, zero, zero, nullptr, nullptr, 2, layer, 1);
  if (!photo) return nullptr;
  photo->type = kObjPhotoView;
  photo->planMask = ds->newObjectPlanMask;
  PhotoHeightOf(photo) = ConvertWorldToScreen(kPhotoHeight, ds, 0);
  const int32_t texture = gCurrentPhotoTextureID++;
  photo->textureID1 = photo->textureID2 = photo->textureID3 = texture;
  for (Poinz* p = photo->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = texture;
  Update3DPhoto(photo);
  return photo;
}

Objex* TrackTopoCutout(int32_t x, int32_t y, float worldX, float worldY, float worldZ, int16_t phase) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  Objex* o = TrackGnrlPoly(x, y, worldX, worldY, worldZ, phase, 0, 1, 1, kObjTopoExcavation);
  if (!o || phase != kTrackEnd) return nullptr;
  int32_t count = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++count;
  if (count < 3) {
    DeleteObj(o);
    return nullptr;
  }
  o->type = kObjTopoExcavation;
  o->subtype = kObjTopoExcavation;
  o->planMask = kLandscapePlanMask;
  o->penColor = o->fillColor = kWhite;
  o->textureID = o->textureID1 = o->textureID2 = 0;
  o->color1 = o->color2 = kWhite;
  ExcavationDepthOf(o) = ds->excavationDepth;
  o->baseElevation = -ds->excavationDepth;
  o->auxFlag = 0;
  SetTextureFaceUV(o);
  SetObjectPointLengths(o);
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = kExcavationTexture;
    p->color[0] = p->color[1] = kWhite;
    p->textureScale[0] = p->textureScale[1] = ShortPoint{100, 100};
    p->position[1] -= 1.0f;
  }
  Update3DTopoCutoutDepthObject(o);
  RenderSingleObject(o);
  return o;
}
