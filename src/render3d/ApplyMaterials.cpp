// Writing a material picked in the 3D view into the plan object the surface was built from:
// first through the surface's own links (the side the face shows), then into the fields the
// object's builder reads for the part that was hit, then the object's rebuild.
#include "render3d/ApplyMaterials.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "building3d/Skylights3D.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/Palettes.h"
#include "model/PlaneObjectRecords.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RealTimeScene.h"
#include "render3d/SurfacePick.h"
#include "render3d/TextureLoading.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

enum class Operation { kTexture, kCustomImage, kColor, kPalette };

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr ShortPoint kFullScale{100, 100};
constexpr int32_t kFirstCustomID = 20000;
constexpr size_t kNameChars = 250;

// Part and object codes of the rows below that have no name in the records.
constexpr int16_t kRoofPart33 = 33, kRoofPart34 = 34;
constexpr int32_t kSubFencePost = 154, kSubGatePanel = 155, kSubRailSpan = 156;
constexpr int16_t kRenderKindPlanar = 6;

struct Material {
  Operation operation;
  int32_t textureID;   // the id written
  bool writesTexture;  // through a face's links a texture of id 0 leaves the id alone
  RGBColor color;
  ShortPoint scale;
  int32_t sizeID;      // the texture whose declared size a trim face takes
};

// Slot 0: texture, pen and fill colour (fill only when `pen` is false), scale.
void SetSlotZero(Objex* o, const Material& m, bool pen = true) {
  o->textureID = m.textureID;
  if (pen) o->penColor = m.color;
  o->fillColor = m.color;
  o->textureScale = m.scale;
}

void SetSlot(Objex* o, int slot, const Material& m) {
  switch (slot) {
    case 0: SetSlotZero(o, m); break;
    case 1: o->textureID1 = m.textureID, o->color1 = m.color, o->textureScale1 = m.scale; break;
    case 2: o->textureID2 = m.textureID, o->color2 = m.color, o->textureScale2 = m.scale; break;
    case 3: o->textureID3 = m.textureID, o->color3 = m.color, o->textureScale3 = m.scale; break;
    default: break;
  }
}

// Side 0 or 1 of a point's segment (the first or second triple).
void SetPointSide(Poinz* p, int side, const Material& m) {
  p->textureID[side] = m.textureID;
  p->color[side] = m.color;
  p->textureScale[side] = m.scale;
}

void SetEveryPointBothSides(Objex* o, const Material& m) {
  for (Poinz* p = o->firstPoint; p; p = p->next) SetPointSide(p, 0, m), SetPointSide(p, 1, m);
}

// The three fields a face was coloured from, on the side it shows.
struct FaceLinks {
  int32_t* texture;
  RGBColor* color;
  int16_t* scale;  // two values: u, v
};

struct OldValues {
  int32_t texture = 0;
  RGBColor color{};
  int16_t scale[2] = {0, 0};
};

FaceLinks LinksOf(const PlaneObject* po) {
  if (po->renderKind == kRenderKindPlanar) return {po->textureLinkA, po->colorLinkA, po->scaleLinkA};
  return {po->textureLinkB, po->colorLinkB, po->scaleLinkB};
}

OldValues WriteThroughLinks(const FaceLinks& links, const Material& m) {
  OldValues old;
  if (links.texture) {
    old.texture = *links.texture;
    if (m.writesTexture) *links.texture = m.textureID;
  }
  if (links.color) {
    old.color = *links.color;
    *links.color = m.color;
  }
  if (links.scale) {
    old.scale[0] = links.scale[0], old.scale[1] = links.scale[1];
    links.scale[0] = m.scale.x, links.scale[1] = m.scale.y;
  }
  return old;
}

void RestoreThroughLinks(const FaceLinks& links, const OldValues& old) {
  if (links.texture) *links.texture = old.texture;
  if (links.color) *links.color = old.color;
  if (links.scale) links.scale[0] = old.scale[0], links.scale[1] = old.scale[1];
}

int16_t ClampShort(int32_t v) { return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

// A trim face is scaled by the tile size its texture declares.
void ScaleToDeclaredSize(const FaceLinks& links, const Material& m) {
  if (!links.scale || !m.writesTexture || m.sizeID <= 0) return;
  int32_t w = links.scale[0], h = links.scale[1];
  if (m.sizeID < kFirstCustomID) LoadTextureWH(m.sizeID, &w, &h);
  else LoadCustomTextureWH(m.sizeID, &w, &h);
  links.scale[0] = ClampShort(w), links.scale[1] = ClampShort(h);
}

bool IsDoorOrWindow(const Objex* o) { return o && (o->type == kObjDoor || o->type == kObjWindow); }
bool IsTrimSlotFace(const PlaneObject* po) { return po->partType == 1 || po->partType == 2; }
bool IsCurbFace(const PlaneObject* po) {
  return po->partType == 1 || po->partType == 2 || po->partType == 4 || po->partType == 5;
}

bool IsFixedComponent(int16_t type) {
  switch (type) {
    case 68: case 69: case 71: case 72: case 79: case 80: case 81: case 82: case 88: case 98: case 110:
      return true;
    default: return (type >= 117 && type <= 123) || (type >= 146 && type <= 152);
  }
}

// The name of an accessory given a custom image: the information file's "Name", unless it
// is missing, empty or "Done".
void NameAccessoryFromInfo(Objex* accessory, const SymEntryInfo* entry) {
  if (!entry || entry->objectInfo.empty()) return;
  char name[kNameChars + 1] = {};
  GetPrivateProfileString("Description", "Name", "Done", name, sizeof name, entry->objectInfo.c_str());
  if (!name[0] || strcmp(name, "Done") == 0) return;
  char* copy = static_cast<char*>(calloc(strlen(name) + 1, 1));
  if (!copy) return;
  memcpy(copy, name, strlen(name));
  free(accessory->name);
  accessory->name = copy;
}

// A photo takes the image of its new custom id, when the id has a listed file.
void SetPhotoImage(Objex* photo, const Material& m) {
  const char* listed = GetCustomTextureIDPath(m.textureID);
  if (!listed || strlen(listed) <= 3) return;
  const std::string full = LocalDomainCustomTexturePath() + "/" + listed;
  char* copy = static_cast<char*>(calloc(full.size() + 1, 1));
  if (!copy) return;
  memcpy(copy, full.data(), full.size());
  free(photo->sourceObject);
  photo->sourceObject = copy;
  // Only the texture ids follow the new image; colours and scales stay.
  photo->textureID1 = photo->textureID2 = photo->textureID3 = m.textureID;
  for (Poinz* p = photo->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = m.textureID;
  Update3DPhoto(photo);
}

// The skylight rows of a roof or roof panel.
void ApplyToSkylight(PlaneObject* po, Objex* skylight, Objex* roof, const FaceLinks& links, const Material& m) {
  if (IsCurbFace(po)) {
    if (m.operation != Operation::kColor) ScaleToDeclaredSize(links, m);
  } else {
    SetSlotZero(skylight, m);
    ApplyVisualAttributesToSkylightSymbols(skylight, skylight->textureID, m.color, m.color.blue, m.scale);
  }
  if (roof->type == kObjRoofPanel) Update3DRoofPanel(roof);
  else Update3DRoof(roof);
}

void ApplyToWall(PlaneObject* po, Objex* wall, Objex* part, const FaceLinks& links, const Material& m,
                 const SymEntryInfo* entry) {
  if (!part) return;
  if (IsDoorOrWindow(part)) {
    if (IsTrimSlotFace(po)) {
      // A colour keeps the trim's tile size.
      if (m.operation == Operation::kColor) return;
      ScaleToDeclaredSize(links, m);
    } else {
      SetSlotZero(part, m, m.operation != Operation::kColor);
    }
    UpdateAllWallAttachments(wall);
  } else if (part->type == kObjAccessory) {
    SetSlot(part, 1, m);
    if (m.operation == Operation::kCustomImage) NameAccessoryFromInfo(part, entry);
    UpdateAllWallAttachments(wall);
  }
}

void ApplyToRoof(PlaneObject* po, Objex* roof, Objex* part, const FaceLinks& links, const Material& m) {
  if (!part) return;
  if (part->type == kObjSkylight) {
    ApplyToSkylight(po, part, roof, links, m);
    return;
  }
  Poinz* first = roof->firstPoint;
  if (!first) return;
  const bool palette = m.operation == Operation::kPalette;
  switch (part->type) {
    case kObjRoofPlane: SetPointSide(first, 0, m); break;
    case kRoofPart33: SetPointSide(first, 1, m); break;
    case kObjRoofGablePart:
      roof->textureID2 = m.textureID;
      if (!palette) roof->textureScale2 = m.scale;
      first->color[1] = m.color;
      break;
    case kObjRoofHipPart: SetSlot(roof, 1, m); break;
    case kRoofPart34:
      if (m.operation == Operation::kColor) {
        first->color[1] = m.color;
        first->textureScale[1] = m.scale;
        break;
      }
      if (palette) {
        roof->textureID1 = m.textureID;
        first->color[1] = m.color;
        break;
      }
      return;
    default: return;
  }
  Update3DRoof(roof);
}

void ApplyToRoofPanel(PlaneObject* po, Objex* panel, Objex* part, const FaceLinks& links, const Material& m) {
  if (part && part->type == kObjSkylight) {
    ApplyToSkylight(po, part, panel, links, m);
    return;
  }
  if (po->renderKind == kRenderKindPlanar) {
    // The face looking the way the slab's cap turns takes the underside slot.
    const int16_t facing = part ? part->direction : 0;
    const float normalY = po->planes ? po->planes->normal[1] : 0.0f;
    const bool underside = po->planes && ((facing > 0 && normalY < 0) || (facing < 0 && normalY > 0));
    SetSlot(panel, underside ? 3 : 1, m);
  }
  Update3DRoofPanel(panel);
}

void RecolourSymbolPart(Objex* o, const Material& m) {
  o->fillColor = o->penColor = m.color;
  SetEveryPointBothSides(o, m);
}

// Every part under a symbol's root, depth first (the root itself when it has none).
void RecolourSymbolTree(Objex* root, const Material& m) {
  if (!root->firstChild) {
    RecolourSymbolPart(root, m);
    ReRenderObject(root);
    return;
  }
  std::vector<Objex*> pending{root};
  while (!pending.empty()) {
    Objex* o = pending.back();
    pending.pop_back();
    for (Objex* c = o->firstChild; c; c = c->next) {
      if (c->firstChild) {
        pending.push_back(c);
      } else {
        RecolourSymbolPart(c, m);
        ReRenderObject(c);
      }
    }
  }
}

void ApplyToSymbolPart(Objex* plan, const Material& m) {
  MaintainModifiers();
  if (gTrackModifiers & kTrackModCommand) {
    if (Objex* root = GetRootObject(plan)) RecolourSymbolTree(root, m);
  } else if (gTrackModifiers & kTrackModShift) {
    RecolourSymbolPart(plan, m);
  }
}

void ApplyToDeck(Objex* deck, Objex* part, const FaceLinks& links, const OldValues& old, const Material& m) {
  // The deck's faces are coloured from its slots only: what went through the links goes back.
  RestoreThroughLinks(links, old);
  if (!part) return;
  if (part->type == kObjSpindle || part->type == kObjRailPart) {
    SetSlot(deck, 2, m);
  } else if (part->type == kObjDeck || part->type == kObjStairTread) {
    for (Poinz* p = deck->firstPoint; p; p = p->next) SetPointSide(p, 0, m);
    SetSlot(deck, 1, m);
  } else {
    SetSlotZero(deck, m);
  }
  Update3DDeck(deck);
}

void ApplyToCabinet(Objex* cabinet, Objex* part, const Material& m) {
  if (!part) return;
  if (part->type == kObjSkirting) {
    SetEveryPointBothSides(cabinet, m);
    AssignCabinetTextures(cabinet->subtype, m.textureID, &m.scale, &m.color, cabinet);
  } else {
    AssignCabinetTextures(part->subtype, m.textureID, &m.scale, &m.color, cabinet);
  }
}

// The rows of the plan object kinds whose builders keep the material elsewhere than in the
// face's links.
void ApplyToPlanObject(PlaneObject* po, Objex* plan, const FaceLinks& links, const OldValues& old,
                       const Material& m, const SymEntryInfo* entry) {
  Objex* part = po->actual3DObject;
  switch (plan->type) {
    case kObjWall: ApplyToWall(po, plan, part, links, m, entry); return;
    case kObjFloor:
    case kObjCutout:
      if (part && part->type == kObjSkirting) SetEveryPointBothSides(plan, m);
      Update3DFloorSkirting(plan);
      return;
    case kObjRoof: ApplyToRoof(po, plan, part, links, m); return;
    case kObjRoofPanel: ApplyToRoofPanel(po, plan, part, links, m); return;
    case kObjSymbolPart3D: ApplyToSymbolPart(plan, m); return;
    case kObjPath:
      SetEveryPointBothSides(plan, m);
      Update3DPath(plan);
      return;
    case kObjEdging:
      SetEveryPointBothSides(plan, m);
      UpdateEdgingObject(plan);
      return;
    case kObjFence:
      if (part && part->subtype == kSubFencePost) SetSlot(plan, 1, m), SetSlot(plan, 2, m);
      else if (part && part->subtype == kSubGatePanel) SetSlot(plan, 3, m);
      else if (part) SetEveryPointBothSides(plan, m);
      UpdateFenceObject(plan);
      return;
    case kObjFill:
    case kObjGroundFill: SetEveryPointBothSides(plan, m); return;
    case kObjStaircase:
      if (!part) return;
      if (part->type == kObjStairTread) SetSlot(plan, 2, m);
      else if (part->type == kObjSpindle || part->type == kObjRailPart) SetSlot(plan, 1, m);
      else SetEveryPointBothSides(plan, m);
      UpdateStairObject(plan);
      return;
    case kObjRailing:
      if (part) SetSlot(plan, part->subtype == kSubRailSpan ? 2 : 1, m);
      UpdateRailObject(plan);
      return;
    case kObjDeck: ApplyToDeck(plan, part, links, old, m); return;
    case kObjCabinet: ApplyToCabinet(plan, part, m); return;
    case kObjPhotoView:
      if (m.operation == Operation::kCustomImage) SetPhotoImage(plan, m);
      return;
    default:
      if (IsFixedComponent(plan->type) && plan->symbol3D) UpdateFixedComponent(plan);
      return;
  }
}

bool ApplyMaterial(POINT point, const Material& m, const SymEntryInfo* entry = nullptr) {
  DocState* ds = CurDocState();
  if (!ds) return false;
  const SurfacePick pick = PickSurfaceAt(point);
  switch (pick.result) {
    case PickResult::kFailed:
    case PickResult::kNothing: return false;
    case PickResult::kBackground:
      ds->backgroundTextureID = m.textureID;
      ds->backgroundTextureScale = m.scale;
      ds->backgroundColor() = m.color;
      ResetBackgroundDisplayList();
      return false;
    case PickResult::kLot:
      // The lot's id is 16-bit: an id beyond it would be stored as another texture.
      if (m.textureID < -32768 || m.textureID > 32767) return false;
      ds->lotTextureID = static_cast<int16_t>(m.textureID);
      ds->lotTextureScale = m.scale;
      ds->lotColor = m.color;
      ResetLotDisplayList();
      ResetFlatLotDisplayList();
      return false;
    case PickResult::kSurface: break;
  }
  PlaneObject* po = pick.surface;
  const FaceLinks links = LinksOf(po);
  const OldValues old = WriteThroughLinks(links, m);
  // Faces of other objects may link to the fields written.
  render3d::NoteColoursChangedInPlace();
  Objex* plan = po->base2DObject;
  if (!plan) return false;
  plan->needsRender = 1;
  if (plan->type >= kObjWall && plan->type <= 152) ApplyToPlanObject(po, plan, links, old, m, entry);
  ReRenderObject(plan);
  return true;
}

}  // namespace

bool ApplyTexture(POINT point, int32_t textureID) {
  if (textureID < 0) return false;
  return ApplyMaterial(point, {Operation::kTexture, textureID, textureID > 0, kWhite, kFullScale, textureID});
}

bool ApplyCustomTextureImage(POINT point, SymEntryInfo* entry) {
  if (!entry || entry->objectData.empty() || !CurDocState()) return false;
  std::vector<char> path(entry->objectData.begin(), entry->objectData.end());
  path.push_back('\0');
  const int32_t id = NewCustomTextureID(path.data());
  if (id <= 0) return false;
  return ApplyMaterial(point, {Operation::kCustomImage, id, true, kWhite, kFullScale, id}, entry);
}

bool ApplyColor(POINT point, int32_t color, uint8_t paintFlag, int16_t paintIndex) {
  const auto component = [color](int shift) { return static_cast<uint16_t>(((color >> shift) & 0xFF) * 257); };
  const RGBColor rgb{component(0), component(8), component(16)};
  const ShortPoint scale = paintFlag ? ShortPoint{static_cast<int16_t>(0xFFFF), paintIndex} : kFullScale;
  return ApplyMaterial(point, {Operation::kColor, 0, true, rgb, scale, 0});
}

bool ApplyPalette(POINT point, int32_t paletteRefID) {
  if (!CurDocState()) return false;
  const PaletteList* entry = GetPaletteEntryFromRefID(std::abs(paletteRefID + 1000));
  const int32_t resolved = GetPaletteTextureID(paletteRefID);
  if (!entry || resolved < 0) return false;
  const ShortPoint scale = entry->kind == kPaletteEntryColor ? entry->textureScale : kFullScale;
  return ApplyMaterial(point, {Operation::kPalette, paletteRefID, true, kWhite, scale, resolved});
}

int32_t ApplyCustomTexture() { return 0; }
int32_t Select3DObject() { return 0; }
int32_t EyeDropper3DPick() { return 0; }
