// Trims of openings and skylights: the plane-object drawing with texture coordinates generated
// at the repeat size of the trim's material slot.
#include "render3d/TrimPlaneRendering.h"

#include "building3d/PlaneObjects.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "model/Records.h"

namespace {

constexpr int16_t kKindSideA = 6;
constexpr int32_t kFirstCustomTextureID = 20000;

// The size of the texture a palette link names now; false when it gives none.
bool PaletteTextureSize(int32_t link, int32_t* width, int32_t* height) {
  const int32_t id = GetPaletteTextureID(link);
  if (id < 1) return false;
  int32_t w = -1, h = -1;
  if (id < kFirstCustomTextureID) LoadTextureWH(id, &w, &h);
  else LoadCustomTextureWH(id, &w, &h);
  if (w <= 0 || h <= 0) return false;
  *width = w;
  *height = h;
  return true;
}

const TrimSlot* DoorWindowSlot(const DoorWindowData* record, int16_t partType) {
  if (partType == 1) return &record->trimSlotA;
  if (partType == 2) return &record->trimSlotB;
  if (partType == 3) {
    const bool slotB = record->trimSlotB.flag && record->trimSlotB.profile && !record->trimSlotA.flag;
    return slotB ? &record->trimSlotB : &record->trimSlotA;
  }
  return nullptr;
}

}  // namespace

GeneratedTextureSize TrimTextureSize(const PlaneObject* o) {
  GeneratedTextureSize size;
  if (!o || !o->actual3DObject) return size;
  const Objex* part = o->actual3DObject;
  const int16_t pt = o->partType;
  // A skylight's curb rings map level, with or without its record.
  if (part->type == kObjSkylight) size.horizontal = pt == 1 || pt == 2;
  if (!part->typeData) return size;
  if (part->type == kObjDoor || part->type == kObjWindow) {
    const auto* record = static_cast<const DoorWindowData*>(part->typeData);
    const int32_t id = o->renderKind == kKindSideA ? o->textureIdA : o->textureIdB;
    int32_t w = 1, h = 1;
    if (IsTextureAPalette(id) && PaletteTextureSize(id, &w, &h)) {
      size.width = w;
      size.height = h;
    } else if (const TrimSlot* slot = DoorWindowSlot(record, pt)) {
      size.width = slot->textureWidth;
      size.height = slot->textureHeight;
    }
  } else if (part->type == kObjSkylight) {
    const auto* record = static_cast<const RoofAttachmentData*>(part->typeData);
    const TrimSlot* slot = pt == 1 || pt == 4 ? &record->slots[0] : pt == 2 || pt == 5 ? &record->slots[1] : nullptr;
    if (slot) {
      size.width = slot->textureWidth;
      size.height = slot->textureHeight;
    }
  }
  return size;
}

void RenderGLTrimPlaneObject(PlaneObject* object, int16_t includeExcavation) {
  NoteServiceCall("RenderGLTrimPlaneObject", nullptr);
  if (!object) return;
  RenderGLPlaneObjectGenerated(object, includeExcavation, TrimTextureSize(object));
}

void RTRenderGLTrimPlaneObject(PlaneObject* object, int16_t includeExcavation) {
  NoteServiceCall("RTRenderGLTrimPlaneObject", nullptr);
  if (!object) return;
  RTRenderGLPlaneObjectGenerated(object, includeExcavation, TrimTextureSize(object));
}
