// Palette links in pasted and refreshed objects.
#include "model/PaletteLinks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/Attachments.h"
#include "model/CommandWalkers.h"
#include "model/CustomTextures.h"
#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "model/PlaneObjectRecords.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "model/TextureIDs.h"
#include "platform/Strings.h"

DocPaletteList* gClipBoardPalette = nullptr;
uint8_t gLinkClipBoardToCurPalette = 0;

namespace {

// One material slot: a texture id with its colour and its scale (two Shorts).
struct MaterialSlot {
  int32_t* textureID;
  RGBColor* color;
  int16_t* scaleX;
  int16_t* scaleY;
};

MaterialSlot Slot(int32_t* id, RGBColor* color, ShortPoint* scale) {
  return {id, color, &scale->x, &scale->y};
}
MaterialSlot Slot(TrimSlot* s) { return {&s->textureID, &s->color, &s->textureWidth, &s->textureHeight}; }

bool HasAttachmentRecords(const Objex* o) {
  return o->typeData && (o->type == kObjWall || o->type == kObjRoof || o->type == kObjRoofPanel);
}

// Visits the object's own slots in order; stops early when visit returns true (and then
// answers true).
template <typename Visit>
bool ForEachSlot(Objex* o, Visit visit) {
  const MaterialSlot own[5] = {Slot(&o->textureID, &o->fillColor, &o->textureScale),
                               Slot(&o->textureID1, &o->color1, &o->textureScale1),
                               Slot(&o->textureID2, &o->color2, &o->textureScale2),
                               Slot(&o->textureID3, &o->color3, &o->textureScale3),
                               Slot(&o->textureID4, &o->color4, &o->textureScale4)};
  for (const MaterialSlot& s : own)
    if (visit(s)) return true;
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    for (int i = 0; i < 2; ++i)
      if (visit(Slot(&p->textureID[i], &p->color[i], &p->textureScale[i]))) return true;
    if (o->type != kObjWall) continue;
    for (void* t : {p->trim1, p->trim2}) {
      auto* trim = static_cast<TrimData*>(t);
      if (!trim) continue;
      for (int i = 0; i < 5; ++i)
        if (visit(Slot(&trim->slotTextureIDs[i], &trim->slotColors[i], &trim->slotTextureScales[i])))
          return true;
    }
  }
  if (!HasAttachmentRecords(o)) return false;
  for (Objex* c = o->firstChild; c; c = c->next) {
    TrimSlot* slots = nullptr;
    if (o->type == kObjWall) {
      if (DoorWindowData* d = AttachmentData(c)) {
        if (visit(Slot(&d->trimSlotA)) || visit(Slot(&d->trimSlotB))) return true;
      }
      continue;
    }
    if ((c->type == kObjSkylight || c->type == kObjDormerCutout) && c->typeData)
      slots = static_cast<RoofAttachmentData*>(c->typeData)->slots;
    if (slots && (visit(Slot(&slots[0])) || visit(Slot(&slots[1])))) return true;
  }
  return false;
}

constexpr uint8_t kPaletteRebuildRows = kRebuildExcavation | kRebuildNoRoofRefresh;

void RefreshShape(Objex* o) {
  SetTextureFaceUV(o);
  SetObjectPointLengths(o);
  RebuildObject(o, kPaletteRebuildRows);
}

int32_t LinkOf(int32_t refID) { return kTexturePaletteLink - refID; }

bool PlaneListShows(const PlaneObject* p, int32_t link) {
  for (; p; p = p->next) {
    const int32_t id = p->renderKind == 6 ? p->textureIdA : p->textureIdB;
    if (id == link || PlaneListShows(p->children, link) || PlaneListShows(p->attachments, link))
      return true;
  }
  return false;
}

}  // namespace

void FreeClipBoardPaletteList() {
  FreeDocPaletteChain(gClipBoardPalette);
  gClipBoardPalette = nullptr;
}

void CreateClipBoardPaletteList() {
  FreeClipBoardPaletteList();
  const DocPaletteList* active = GetActiveDocPaletteList();
  if (!active) return;
  auto* p = static_cast<DocPaletteList*>(calloc(1, sizeof(DocPaletteList)));
  if (!p) return;
  snprintf(p->name, sizeof p->name, "%s", "ClipBoard Palette");
  const std::string group = LocalizedString("Group");
  for (int s = 0; s < kPaletteSectionCount; ++s)
    snprintf(p->sectionNames[s], sizeof p->sectionNames[s], "%s %d", group.c_str(), s + 1);
  for (int32_t refID = 1; refID <= kPaletteEntryCount; ++refID)
    if (!AddPaletteListEntry(p, refID)) {
      FreeDocPaletteChain(p);
      return;
    }
  memcpy(p->sectionNames, active->sectionNames, sizeof p->sectionNames);
  memcpy(p->sectionCollapsed, active->sectionCollapsed, sizeof p->sectionCollapsed);
  PaletteList* to = p->entries;
  for (const PaletteList* from = active->entries; from && to; from = from->next, to = to->next)
    CopyPaletteListEntry(from, to);
  gClipBoardPalette = p;
}

int32_t GetClipBoardPaletteTextureID(int32_t id) {
  if (!IsTextureAPalette(id)) return id;
  return ResolvePaletteTextureID(gClipBoardPalette, id);
}
RGBColor GetClipBoardPaletteRGBColor(int32_t id) { return ResolvePaletteRGBColor(gClipBoardPalette, id); }
ShortPoint GetClipBoardPaletteTextureScale(int32_t id) {
  return ResolvePaletteTextureScale(gClipBoardPalette, id);
}

int32_t FindTextureOrColorInPalette(int32_t textureID, RGBColor color) {
  for (const PaletteList* e = GetCurrentPaletteList(); e; e = e->next) {
    switch (e->kind) {
      case kPaletteEntryTexture:
        if (e->textureID == textureID) return e->refID;
        break;
      case kPaletteEntryCustomTexture:
        if (e->texturePath && textureID >= kTextureCustom) {
          // The path as NewCustomTextureID would list it, without listing it.
          std::string path = e->texturePath;
          for (char& c : path)
            if (c == '\\') c = '/';
          if (IsTexturePathLoaded(path.c_str()) == textureID) return e->refID;
        }
        break;
      case kPaletteEntryColor:
        if (textureID == 0 && e->color.red * 257 == color.red && e->color.green * 257 == color.green &&
            e->color.blue * 257 == color.blue)
          return e->refID;
        break;
      default:
        return 0;
    }
  }
  return 0;
}

void ConvertObjPaletteLinksToActual(Objex* object) {
  if (!gCurDocument || !object) return;
  ForEachSlot(object, [](const MaterialSlot& s) {
    const int32_t link = *s.textureID;
    if (!IsTextureAPalette(link)) return false;
    const RGBColor c = GetClipBoardPaletteRGBColor(link);
    *s.color = {static_cast<uint16_t>(c.red * 257), static_cast<uint16_t>(c.green * 257),
                static_cast<uint16_t>(c.blue * 257)};
    const ShortPoint scale = GetClipBoardPaletteTextureScale(link);
    *s.scaleX = scale.x;
    *s.scaleY = scale.y;
    *s.textureID = GetClipBoardPaletteTextureID(link);
    if (gLinkClipBoardToCurPalette)
      if (int32_t r = FindTextureOrColorInPalette(*s.textureID, *s.color)) *s.textureID = LinkOf(r);
    return false;
  });
  for (Objex* c = object->firstChild; c; c = c->next) ConvertObjPaletteLinksToActual(c);
  if (object->type != kObjGroup) RefreshShape(object);
}

bool UpdatePalettedObjectFromPaletteEntry(Objex* object, int32_t refID) {
  if (!gCurDocument || !object || !gGLPlaneObjects) return false;
  const int32_t link = LinkOf(refID);
  const bool uses = ForEachSlot(object, [link](const MaterialSlot& s) { return *s.textureID == link; });
  for (Objex* c = object->firstChild; c; c = c->next) UpdatePalettedObjectFromPaletteEntry(c, refID);
  if (uses && object->type != kObjGroup) {
    RefreshShape(object);
    ReRenderObject(object);
  }
  return uses;
}

namespace {
void UpdateEveryTopLevelObject(int32_t refID) {
  for (Layer* l = gCurDocument ? gCurDocument->itsLayers : nullptr; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) UpdatePalettedObjectFromPaletteEntry(o, refID);
}
}  // namespace

void UpdateAllPalettedObjectsFromPaletteEntry(int32_t refID) {
  InitializeAnimatedLVStatus();
  SetLVStatusString(LocalizedString("Updating paletted objects").c_str());
  UpdateEveryTopLevelObject(refID);
  ResetAnimatedLVStatus();
  SetLVStatusString("");
}

void UpdateAllPalettedObjectsFromPaletteList() {
  for (const PaletteList* e = GetCurrentPaletteList(); e; e = e->next)
    if (e->kind != kPaletteEntryColor) UpdateEveryTopLevelObject(e->refID);
}

bool IsPaletteLoaded(int32_t refID) {
  if (refID < 1 || refID > 999) return false;
  return PlaneListShows(gGLPlaneObjects, LinkOf(refID));
}

bool IsAnyPaletteLoaded() {
  if (!gGLPlaneObjects) return false;
  for (const PaletteList* e = GetCurrentPaletteList(); e; e = e->next)
    if (IsPaletteLoaded(e->refID)) return true;
  return false;
}
