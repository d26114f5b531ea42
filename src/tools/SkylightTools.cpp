// Placing skylights and dormer cut-outs on roof planes.
#include "tools/SkylightTools.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "building3d/Skylights3D.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "platform/Alerts.h"
#include "tools/PolygonEntry.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr RGBColor kSkylightColor{28784, 28784, 28784};
constexpr int32_t kSkylightTrimTexture = 2218;
constexpr float kUnturned = 90.0f;

void RefuseSkylight() {
  ShowAlert("Unable to place skylight on the roof.",
            "Please make sure the skylight fits completely on the roof section and does not overlap other skylights.");
}

Objex* NewSkylightObject(DocState* ds, Objex* roof) {
  Objex* s = CreateObject(kObjSkylight, 1, 1, &ds->windowColor, &ds->newFillColor, 1.0f, 6, 0, nullptr, nullptr,
                          nullptr, roof, gCurDocument->itsCurLayer, nullptr);
  if (!s) return nullptr;
  s->planMask = 16;
  s->fillColor = kWhite;
  s->textureID = kSkylightTrimTexture;
  s->textureScale = ShortPoint{100, 100};
  s->parent = roof;
  return s;
}

RoofAttachmentData* NewRecord(DocState* ds, Objex* skylight, int16_t kind) {
  auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  if (!r) return nullptr;
  r->ownerType = kObjSkylight;
  r->subtype = kind;
  r->width() = ConvertWorldToScreen(ds->skylightWidth, ds, 0);
  r->height() = ConvertWorldToScreen(ds->skylightHeight(), ds, 0);
  r->trimWidth() = ConvertWorldToScreen(ds->skylightTrimWidth(), ds, 0);
  r->angle() = kUnturned;
  r->object() = skylight;
  r->color() = kSkylightColor;
  r->trimTexture() = kSkylightTrimTexture;
  int32_t w = 0, h = 0;
  LoadTextureWH(kSkylightTrimTexture, &w, &h);
  r->trimTextureWidth() = static_cast<int16_t>(w);
  r->trimTextureHeight() = static_cast<int16_t>(h);
  r->trimColor() = kWhite;
  return r;
}

// Frees an attachment that never joined its roof.
void Discard(Objex* o) {
  if (!o) return;
  o->parent = nullptr;
  o->layer = nullptr;
  o->prev = o->next = nullptr;
  DeleteObj(o);
}

int CountPoints(const Objex* o) {
  int n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

}  // namespace

Objex* TrackSkylight(float x, float, float z, int16_t stage) {
  if (stage != kTrackEnd) return nullptr;
  gMouseCaptured = 0;
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument->itsLayers) return nullptr;
  const int16_t kind = ds->skylightType();
  const std::vector<float> outline = SkylightOutline(kind, x, z, 0, nullptr);
  const int32_t count = static_cast<int32_t>(outline.size() / 3);
  Objex* plane = nullptr;
  Objex* roof = count ? FindSkylightRoofPanel(outline.data(), count, x, z, &plane) : nullptr;
  if (!roof) {
    RefuseSkylight();
    return nullptr;
  }
  Objex* skylight = NewSkylightObject(ds, roof);
  if (!skylight) return nullptr;
  RoofAttachmentData* r = NewRecord(ds, skylight, kind);
  if (!r) {
    Discard(skylight);
    return nullptr;
  }
  if (roof->type == kObjRoof && plane) r->panelID = plane->subtype;
  skylight->typeData = r;
  CreateSkylightPoints(skylight, roof->type == kObjRoof ? plane : roof, outline.data(), count, x, z, kUnturned);
  UpdateObjectBounds(skylight);
  CreateSkylightFillerPlane(skylight, 1);
  CreateSkylightFillerPlane(skylight, 0);
  skylight->layer = roof->layer;
  AppendChildToObject(skylight, roof);
  ReRenderObject(roof);
  Refresh();
  return skylight;
}

Objex* TrackCustomSkylight(float x, float, float z, int16_t stage) {
  if (stage != kTrackEnd) return nullptr;
  gMouseCaptured = 0;
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  Objex* skylight = NewSkylightObject(ds, nullptr);
  RoofAttachmentData* r = skylight ? NewRecord(ds, skylight, kSkylightCustom) : nullptr;
  if (!r) {
    Discard(skylight);
    return nullptr;
  }
  skylight->typeData = r;
  ReadCustomSkylightFile(skylight);
  CreateCustomSkylightSymbols(skylight, x, z, kUnturned);
  if (!r->defOutlines() || !r->parts) {
    // No definition or nothing built from it.
    Discard(skylight);
    return nullptr;
  }
  Objex* plane = nullptr;
  Objex* roof = FindCustomSkylightRoofPanel(r->parts, x, z, &plane);
  if (!roof) {
    RefuseSkylight();
    Discard(skylight);
    return nullptr;
  }
  if (roof->type == kObjRoof && plane) r->panelID = plane->subtype;
  skylight->parent = roof;
  FloatRect rect{};
  Float3DRect box{};
  GetCustomSkylightBounds(skylight, &rect, &box);
  CreateCustomSkylightBoundsPoints(skylight, &box);
  FindCustomSkylightPointElevations(skylight, roof->type == kObjRoof ? plane : roof);
  GetCustomSkylightBounds(skylight, &skylight->bounds, &skylight->bounds3D);
  skylight->layer = roof->layer;
  AppendChildToObject(skylight, roof);
  ReRenderObject(roof);
  Refresh();
  return skylight;
}

Objex* TrackDormerCutout(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument->itsCurLayer) return nullptr;
  // The roof under the press is looked for at the press and again at the release, not at every
  // drag step; after a press off every roof the rest of the drag does nothing.
  static bool sRoofFound = false;
  Objex* plane = nullptr;
  Objex* roof = nullptr;
  if (stage != kTrackKeep) roof = FindDormerRoofPanel(gDownX, gDownZ, &plane);
  if (stage == kTrackBegin) {
    sRoofFound = roof != nullptr;
    if (!roof)
      ShowAlert("Roof section not found.",
                "To draw a dormer cutout, click on a roof section of sufficient size and then draw the cutout.");
  }
  if (!sRoofFound || (stage == kTrackEnd && !roof)) {
    if (stage == kTrackEnd) gMouseCaptured = 0;
    return nullptr;
  }
  Objex* cutout = TrackGnrlPoly(windowX, windowY, x, y, z, stage, 0, 1, 1, kObjDormerCutout);
  if (!cutout || stage != kTrackEnd) return nullptr;
  cutout->type = kObjDormerCutout;
  UnlinkObject(cutout);
  cutout->layer = roof->layer;
  const Objex* region = roof->type == kObjRoof ? plane : roof;
  const bool fits = CountPoints(cutout) >= 3 && region &&
                    CreateObjectAppleRegion(region).contains(CreateObjectAppleRegion(cutout));
  if (!fits) {
    if (CountPoints(cutout) >= 3)
      ShowAlert("Unable to place dormer cutout on the roof.",
                "Please make sure the dormer cutout fits completely on the roof section.");
    Discard(cutout);
    Refresh();
    return nullptr;
  }
  auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  if (!r) {
    Discard(cutout);
    return nullptr;
  }
  r->ownerType = kObjDormerCutout;
  r->object() = cutout;
  if (roof->type == kObjRoof) r->panelID = plane->subtype;
  cutout->typeData = r;
  CalculateDormerPointElevations(cutout, roof->type == kObjRoof ? plane : roof);
  UpdateObjectBounds(cutout);
  AppendChildToObject(cutout, roof);
  ReRenderObject(roof);
  return cutout;
}

void UpdateRoofAttachmentProperties(Objex* skylight, Objex* roof, uint8_t keepDefinition) {
  DocState* ds = CurDocState();
  RoofAttachmentData* r = skylight ? static_cast<RoofAttachmentData*>(skylight->typeData) : nullptr;
  if (!r || !roof || !ds) return;
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(skylight, 0, &box, 1);
  const float cx = (box.floatLeft + box.floatRight) / 2, cz = (box.floatFront + box.floatBack) / 2;
  const int16_t kind = r->subtype;
  if (kind == kSkylightRectangular || kind == kSkylightOctagonal || kind == kSkylightElliptical) {
    const std::vector<float> outline = SkylightOutline(kind, cx, cz, 1, r);
    if (outline.empty()) return;  // the skylight stays as it was
    DeleteObjectPoints(skylight);
    skylight->pointCount = 0;
    DeleteCustomSkylightSymbols(r);
    CreateSkylightPoints(skylight, roof, outline.data(), static_cast<int32_t>(outline.size() / 3), cx, cz,
                         r->angle());
    // The filler planes went with the parts: the skylight gets them again.
    CreateSkylightFillerPlane(skylight, 1);
    CreateSkylightFillerPlane(skylight, 0);
  } else if (kind == kSkylightCustom) {
    if (!keepDefinition) ReadCustomSkylightFile(skylight);
    CreateCustomSkylightSymbols(skylight, cx, cz, r->angle());
    FloatRect rect{};
    Float3DRect parts{};
    GetCustomSkylightBounds(skylight, &rect, &parts);
    CreateCustomSkylightBoundsPoints(skylight, &parts);
  } else {
    DeleteObjectPoints(skylight);
    skylight->pointCount = 0;
  }
  UpdateObjectBounds(skylight);
  SelectObj(skylight, kSelectOn, 0);
}
