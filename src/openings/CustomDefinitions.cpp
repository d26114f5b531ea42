// Reading custom door, window, skylight and trim definitions through the definition layer,
// fitting a custom door's or window's parts into its opening, and applying the palette's
// definition to the selected openings.
#include "openings/CustomDefinitions.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "building3d/RepeatLimit.h"
#include "building3d/Skylights3D.h"
#include "files/ByteStream.h"
#include "files/TemplateFile.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/ExtrudeFlip.h"
#include "model/Floors2D.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/ObjectTransforms.h"
#include "model/ParallelObjects.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/TextureFace.h"
#include "model/TexturePaths.h"
#include "model/TrimDefinitions.h"
#include "openings/AttachmentFrame.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"

namespace {

constexpr const char* kDoorTitle = "Unable to locate the custom door definition file.";
constexpr const char* kWindowTitle = "Unable to locate the custom window definition file.";
constexpr const char* kMissingFileText =
    "Please make sure the file exists and you have adequate permissions to access it.";
// Frame parts stand this far off the opening's middle plane.
constexpr float kFramePartDepth = 0.1f;
// Filler faces stand this far beyond the frame.
constexpr float kFillerProud = 2.1f;
constexpr float kFillerExtra = 1.0f;
// A leaf part whose fourth parameter is this keeps its own texture and goes white.
constexpr float kPlainLeafMarker = 4.0f;
const RGBColor kWhite{65535, 65535, 65535};

// The custom folder of the palette's door or window category; empty for any other.
std::string CustomFolder() {
  if (gSelectedContentCategory == kCustomDoorCategory) return LocalDomainCustomDoorPath();
  if (gSelectedContentCategory == kCustomWindowCategory) return LocalDomainCustomWindowPath();
  return std::string();
}

// The side file beside a definition: its last `cut` characters replaced by `ending`; empty
// when it would lead out of the definition's folder.
std::string SidePath(const std::string& path, size_t cut, const char* ending, const std::string& folder) {
  std::string side = ResolvePathIgnoringCase(path.substr(0, path.size() - cut) + ending);
  return PathStaysInsideFolder(folder, side) ? side : std::string();
}

// The value of one key of the side file's "Description" section (cut to 249 characters);
// `fallback` when the file, the section or the key is missing.
std::string SideFileValue(const std::string& side, const char* key, const char* fallback) {
  IniSectionText ini;
  if (!side.empty()) ini.Load(side.c_str(), "Description", kMaxSideFileBytes);
  char buffer[kDefinitionNameBuffer] = {};
  ini.GetString(key, fallback, buffer, sizeof buffer);
  return buffer;
}

void SetObjectName(Objex* object, const std::string& name) {
  free(object->name);
  object->name = nullptr;
  if (name.empty()) return;
  object->name = static_cast<char*>(calloc(name.size() + 1, 1));
  if (object->name) std::memcpy(object->name, name.data(), name.size());
}

// A list built in order, appended at its tail.
struct PartList {
  Objex* head = nullptr;
  Objex* tail = nullptr;
  void append(Objex* o) {
    o->prev = tail;
    o->next = nullptr;
    if (tail) tail->next = o;
    else head = o;
    tail = o;
  }
};

// A free-standing copy of a definition object owned by `owner`. The copy and all it holds
// (a group's members, a wall's openings and their parts) are put on the owner's layer: the
// definition's own layer is gone once the read returns.
Objex* OwnedCopy(Objex* source, Objex* owner) {
  Objex* copy = DuplicateObject(source, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
  if (!copy) return nullptr;
  copy->prev = copy->next = nullptr;
  copy->parent = owner;
  PutCopyOnLayer(copy, owner->layer);
  return copy;
}

// A copy of a part that becomes one of the opening's faces. A face is built from the part's
// own points alone, so what the part holds is not carried into the faces.
Objex* FaceCopy(Objex* part, Objex* owner) {
  Objex* copy = OwnedCopy(part, owner);
  if (!copy) return nullptr;
  while (Objex* held = copy->firstChild) DeleteObj(held);
  return copy;
}

void ShowMissingDefinition(const char* title) { ShowAlert(title, kMissingFileText); }

// Reads the current definition; the layer then holds its objects (none for an empty one).
// False (reported) when there is none to read.
bool ReadCurrentDefinition(DefinitionLayer* layer, const char* title, std::string* path) {
  if (!GetCurrentDefinitionFilePath(path)) {
    ShowMissingDefinition(title);
    return false;
  }
  const DefinitionLayer::Result result = layer->read(*path);
  if (result == DefinitionLayer::Result::kMissing) ShowMissingDefinition(title);
  return result == DefinitionLayer::Result::kRead;
}

// The name the side file of a door, window or skylight definition gives.
void TakeAttachmentName(Objex* object, const std::string& path) {
  if (path.size() <= 4) {
    SetObjectName(object, {});
    return;
  }
  const std::string name = SideFileValue(SidePath(path, 3, "qti", CustomFolder()), "AttachmentName", "Done");
  SetObjectName(object, name == "Done" ? std::string() : name);
}

// The curve resolution of door and window geometry.
int16_t RenderCurveSegments(const DocState* ds) {
  const int32_t quality = ds->windowDoorRenderQuality();
  return static_cast<int16_t>(quality > 0 ? LimitRepeats(quality) : 8);
}

void ConvertCurvesAtRenderResolution(Objex* object, DocState* ds) {
  const int16_t saved = ds->curveSegments;
  ds->curveSegments = RenderCurveSegments(ds);
  ConvertObjectCurvesToPolygons(object);
  ds->curveSegments = saved;
}

// Scales the selected points by (sx, sy) about the origin in the front elevation.
void ScaleInElevation(Objex* object, DocState* ds, float sx, float sy) {
  UnLockDetectAndSelectObject(object, true, true, true);
  TransformInfo xform{};
  xform.scale[0] = sx;
  xform.scale[1] = sy;
  xform.scale[2] = 1.0f;
  const int16_t saved = ds->viewPlane;
  ds->viewPlane = 1;
  ScaleObject(object, &xform);
  ds->viewPlane = saved;
}

// Where a custom door's or window's parts go.
struct Fitting {
  DocState* ds = nullptr;
  float angle = 0;             // of the line from the first point to the second
  float centreX = 0, centreZ = 0;
  float base = 0;              // wall base plus elevation, plan units
  float fillerOffset = 0;
  float sx = 1, sy = 1;
  const Poinz* pivot = nullptr;  // of the open turn
  float openAngle = 0;
};

// Turns (x, z) by the opening's angle and moves it into the opening.
void PlaceInOpening(Objex* part, const Fitting& f) {
  for (Poinz* p = part->firstPoint; p; p = p->next) {
    Rotate(&p->position[0], &p->position[2], 0, 0, f.angle);
    for (float* h : {p->inHandle, p->outHandle}) Rotate(&h[0], &h[2], 0, 0, f.angle);
    p->position[0] += f.centreX;
    p->position[2] += f.centreZ;
    p->position[1] -= f.base;
  }
}

void OpenTurn(Objex* part, const Fitting& f) {
  if (f.openAngle == 0 || !f.pivot) return;
  const float px = f.pivot->position[0], pz = f.pivot->position[2];
  for (Poinz* p = part->firstPoint; p; p = p->next) {
    Rotate(&p->position[0], &p->position[2], px, pz, f.openAngle);
    for (float* h : {p->inHandle, p->outHandle}) Rotate(&h[0], &h[2], 0, 0, f.openAngle);
  }
}

void FinishFace(Objex* face, DoorWindowData* record, Objex** last) {
  StoreFaceBounds(face);
  SetTextureFaceUV(face);
  SetObjectPointLengths(face);
  AppendFaceToChain(record, face, last);
}

// A frame part becomes a flat band as wide as its pen, standing kFramePartDepth off the
// opening's middle plane.
void BuildFramePart(Objex* attachment, Objex* part, const Fitting& f, DoorWindowData* record, Objex** last) {
  Objex* copy = FaceCopy(part, attachment);
  if (!copy) return;
  copy->parent = nullptr;  // the band that replaces it is linked instead
  copy->textureScale = attachment->textureScale;
  for (Poinz* p = copy->firstPoint; p; p = p->next)
    for (float* v : {p->position, p->inHandle, p->outHandle, p->linkVector}) {
      v[2] = v[1];
      v[1] = 0;
    }
  ConvertCurvesAtRenderResolution(copy, f.ds);
  // The band is always centred on the path; the part's own placement code rides along.
  const int32_t placement = copy->extraLong;
  copy->extraLong = 0;
  // MakeParallel hands back either the copy, grown into the band, or a new band (having
  // freed the copy); null only without a document.
  Objex* solid = MakeParallel(copy, ConvertScreenToWorld(part->width, f.ds, 0), 0);
  if (!solid) {
    FreeLooseFace(copy);
    return;
  }
  solid->prev = solid->next = nullptr;
  solid->extraLong = placement;
  solid->parent = attachment;
  solid->layer = attachment->layer;
  solid->textureScale = attachment->textureScale;
  for (Poinz* p = solid->firstPoint; p; p = p->next) {
    p->position[1] = p->position[2];
    p->position[2] = kFramePartDepth;
    for (float* v : {p->inHandle, p->outHandle, p->linkVector}) {
      v[1] = v[2];
      v[2] = 0;
    }
  }
  SetFaceSlot0Material(solid, attachment);
  ScaleInElevation(solid, f.ds, f.sx, f.sy);
  PlaceInOpening(solid, f);
  OpenTurn(solid, f);
  FinishFace(solid, record, last);
}

void BuildLeafParts(Objex* attachment, const Fitting& f, DoorWindowData* record, Objex** last) {
  float least = 0, most = 0;
  bool any = false;
  for (const Objex* part = record->leafParts(); part; part = part->next) {
    const float v = part->params[4];
    least = any ? std::min(least, v) : v;
    most = any ? std::max(most, v) : v;
    any = true;
  }
  for (Objex* part = record->leafParts(); part; part = part->next) {
    Objex* copy = FaceCopy(part, attachment);
    if (!copy) continue;
    copy->textureScale = attachment->textureScale;
    // Spread over 0.9 .. 1.0; a single value (or one part) gives 1.0.
    copy->params[4] = most == least ? 1.0f : (part->params[4] - most) / (most - least) * 0.1f + 1.0f;
    ScaleInElevation(copy, f.ds, f.sx, f.sy);
    PlaceInOpening(copy, f);
    if (copy->params[3] != kPlainLeafMarker) {
      SetFaceSlot0Material(copy, attachment);
    } else {
      for (Poinz* p = copy->firstPoint; p; p = p->next)
        for (int side = 0; side < 2; ++side) {
          p->color[side] = kWhite;
          p->textureScale[side] = attachment->textureScale;
        }
    }
    OpenTurn(copy, f);
    FinishFace(copy, record, last);
  }
}

// The outlines, twice: a filler face on each side of the wall.
void BuildFillers(Objex* attachment, const Fitting& f, DoorWindowData* record, Objex** last) {
  for (int pass = 0; pass < 2; ++pass) {
    const float shift = (pass == 0 ? -1.0f : 1.0f) * (f.fillerOffset + kFillerExtra);
    for (Objex* outline = record->maskObject; outline; outline = outline->next) {
      Objex* filler = FaceCopy(outline, attachment);
      if (!filler) continue;
      ConvertCurvesAtRenderResolution(filler, f.ds);
      filler->type = kObjFrameFace;
      filler->levels = 1;
      filler->closed = 1;
      filler->capped = 1;
      ScaleInElevation(filler, f.ds, f.sx, f.sy);
      for (Poinz* p = filler->firstPoint; p; p = p->next) p->position[2] += shift;
      PlaceInOpening(filler, f);
      StoreFaceBounds(filler);
      AppendFaceToChain(record, filler, last);
    }
  }
}

}  // namespace

// ---- Paths -------------------------------------------------------------------------------

bool GetCurrentDefinitionFilePath(std::string* path) {
  if (!path) return false;
  path->clear();
  const int16_t category = gSelectedContentCategory;
  if (category != kCustomDoorCategory && category != kCustomWindowCategory) return false;
  const bool doors = category == kCustomDoorCategory;
  const SymEntryInfo* entry = ContentPaletteSelectedSymEntry();
  if (entry && !entry->objectData.empty()) {
    // An entry names a file of its own folder: a name that leads out of it (a ".." part, an
    // absolute path, a link pointing elsewhere) is not read, as if the file were missing.
    *path = PathInsideFolder(CustomFolder(), entry->objectData);
    return !path->empty();
  }
  if (doors)
    ShowAlert(kDoorTitle, "Please select a custom door from the preview list before using this option.");
  else
    ShowAlert(kWindowTitle, "Please select a custom window from the preview list before using this option.");
  return false;
}

int16_t GetCurrentDefinitionFilePath(char* path) {
  if (!path) return 0;
  path[0] = 0;
  std::string found;
  if (!GetCurrentDefinitionFilePath(&found) || found.size() >= kPathBufferSize) return 0;
  std::memcpy(path, found.c_str(), found.size() + 1);
  return 1;
}

// ---- Readers -----------------------------------------------------------------------------

namespace openings {

namespace {
// Gives the opening copies of the objects of a definition read (its outline, frame and leaf
// lists replaced) and the name of the definition at `path`.
void TakeDefinition(Objex* attachment, DoorWindowData* record, const DefinitionLayer& layer, const std::string& path) {
  PartList outlines, frames, leaves;
  for (Objex* o = layer.first(); o; o = o->next) {
    Objex* copy = OwnedCopy(o, attachment);
    if (!copy) continue;
    if (o->type == kObjSkylightOutline) outlines.append(copy);
    else if (o->type == kObjDoorLeafFace || o->type == kObjCustomAttachmentPart) leaves.append(copy);
    else frames.append(copy);
  }
  for (Objex** list : {&record->maskObject, &record->definitionParts, &record->definitionLeafParts,
                       &record->extraParts1, &record->extraParts2, &record->extraParts3, &record->extraParts4})
    FreeFaceChain(*list);
  record->maskObject = outlines.head;
  record->definitionParts = frames.head;
  record->definitionLeafParts = leaves.head;
  TakeAttachmentName(attachment, path);
}
}  // namespace

bool ReadCustomWindowDoorDefinition(Objex* attachment) {
  if (!attachment || !CurDocState()) return false;
  auto* record = static_cast<DoorWindowData*>(attachment->typeData);
  if (!record) return false;
  DefinitionLayer layer;
  if (!layer.ready()) return false;
  const char* title = gSelectedContentCategory == kCustomDoorCategory ? kDoorTitle : kWindowTitle;
  std::string path;
  if (!ReadCurrentDefinition(&layer, title, &path)) return false;
  TakeDefinition(attachment, record, layer, path);
  return true;
}

void ReadCustomWindowDoorFile(Objex* attachment) {
  NoteServiceCall("ReadCustomWindowDoorFile", attachment);
  ReadCustomWindowDoorDefinition(attachment);
}

bool ReadCustomSkylightDefinition(Objex* skylight) {
  if (!skylight || !CurDocState()) return false;
  auto* record = static_cast<RoofAttachmentData*>(skylight->typeData);
  if (!record) return false;
  DefinitionLayer layer;
  if (!layer.ready()) return false;
  std::string path;
  if (!ReadCurrentDefinition(&layer, kWindowTitle, &path)) return false;

  PartList outlines, separators, leaves, custom, extra;
  for (Objex* o = layer.first(); o; o = o->next) {
    PartList* list = nullptr;
    switch (o->type) {
      case kObjSkylightOutline: list = &outlines; break;
      case kObjSeparatorFace: list = &separators; break;
      case kObjDoorLeafFace: list = &leaves; break;
      case kObjCustomAttachmentPart: list = &custom; break;
      case kObjSkylightExtraPart: list = &extra; break;
      default: break;
    }
    if (!list) continue;
    Objex* copy = OwnedCopy(o, skylight);
    if (!copy) continue;
    FlattenObjectToXZPlane(copy, 0);
    list->append(copy);
  }
  for (Objex** list : {&record->outlineParts, &record->separatorParts, &record->leafParts, &record->customParts,
                       &record->otherParts})
    FreeFaceChain(*list);
  record->outlineParts = outlines.head;
  record->separatorParts = separators.head;
  record->leafParts = leaves.head;
  record->customParts = custom.head;
  record->otherParts = extra.head;
  TakeAttachmentName(skylight, path);
  return true;
}

void ReadCustomSkylightFile(Objex* skylight) {
  NoteServiceCall("ReadCustomSkylightFile", skylight);
  ReadCustomSkylightDefinition(skylight);
}

// The prepared profile of a trim definition copied into the wall's trim record or the
// opening's trim slot, named from the definition's information file.
static void TakeTrimProfile(Objex* profile, const std::string& path, Objex* target, bool slotA, TrimData* wallTrim,
                            DoorWindowData* record) {
  Objex* copy = DuplicateObject(profile, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
  if (!copy) return;
  copy->prev = copy->next = nullptr;
  copy->parent = nullptr;
  PutCopyOnLayer(copy, target->layer);

  auto release = [](Objex*& old) {
    Objex* p = old;
    old = nullptr;
    FreeLooseFace(p);
  };
  if (wallTrim) {
    if (!gApplyTrimAsBase) {
      release(wallTrim->crownProfile());
      wallTrim->crownTrim() = kTrimCustomProfile;
      wallTrim->crownProfile() = copy;
    } else {
      release(wallTrim->lowerProfile());
      wallTrim->lowerTrim() = kTrimCustomProfile;
      wallTrim->lowerProfile() = copy;
    }
  } else {
    TrimSlot& slot = slotA ? record->trimSlotA : record->trimSlotB;
    release(slot.profile);
    slot.flag = 1;
    slot.profile = copy;
  }
  if (path.size() > 4) {
    const std::string name = SideFileValue(SidePath(path, 4, ".qti", LocalDomainCustomTrimPath()), "TrimName", "");
    if (!name.empty()) SetObjectName(copy, name);
  }
}

void ReadCustomTrimFile(Objex* target, bool slotA, TrimData* wallTrim) {
  NoteServiceCall("ReadCustomTrimFile", target);
  DocState* ds = CurDocState();
  if (!target || !ds) return;
  auto* record = (target->type == kObjDoor || target->type == kObjWindow)
                     ? static_cast<DoorWindowData*>(target->typeData)
                     : nullptr;
  if (!wallTrim && !record) return;
  ReadSelectedTrimDefinition(!gApplyTrimAsBase, [&](Objex* profile, const std::string& path) {
    TakeTrimProfile(profile, path, target, slotA, wallTrim, record);
  });
}

}  // namespace openings

// ---- Fitting -----------------------------------------------------------------------------

void GetCustomAttachmentWidthAndHeight(const DoorWindowData* record, float* width, float* height) {
  Float3DRect box = EmptyFloat3DRect();
  for (Objex* o = record ? record->maskObject : nullptr; o; o = o->next) DoGetObject3DBounds(o, 0, &box, 0);
  const bool any = !IsEmptyBounds(box);
  if (width) *width = any ? box.floatRight - box.floatLeft : 0;
  if (height) *height = any ? box.floatBottom - box.floatTop : 0;
}

void UpdateCustomAttachment(Objex* attachment) {
  NoteServiceCall("UpdateCustomAttachment", attachment);
  AttachmentInputs in;
  if (!GetAttachmentInputs(attachment, &in)) return;
  DoorWindowData* record = in.record;
  FreeFaceChain(record->faces);

  Fitting f;
  f.ds = in.ds;
  float length = 0;
  f.angle = GetLineLengthAndAngle(in.p1->position[0], in.p1->position[2], in.p2->position[0], in.p2->position[2],
                                  &length);
  const PlanOffset half = FacePolar(f.angle, length / 2);
  f.centreX = in.p1->position[0] + half.x;
  f.centreZ = in.p1->position[2] + half.z;
  f.base = WallBaseOffset(in.wall, in.ds) + record->elevation;
  f.fillerOffset = CWS(in.wall->width, in.ds) / 2 + kFillerProud;
  // A definition without width or height is not stretched that way.
  float w = 0, h = 0;
  GetCustomAttachmentWidthAndHeight(record, &w, &h);
  f.sx = w > 0 ? record->width / w : 1.0f;
  f.sy = h > 0 ? record->height / h : 1.0f;
  f.pivot = record->flipHorizontal ? in.p1 : in.p2;
  f.openAngle = record->openAngle();

  Objex* last = nullptr;
  for (Objex* part = record->frameParts(); part; part = part->next)
    BuildFramePart(attachment, part, f, record, &last);
  BuildLeafParts(attachment, f, record, &last);
  BuildFillers(attachment, f, record, &last);
}

// ---- Applying the palette's definition ---------------------------------------------------

void ApplyCurCustAttachToSelectedWinAndDoor() {
  NoteServiceCall("ApplyCurCustAttachToSelectedWinAndDoor", nullptr);
  DocState* ds = CurDocState();
  Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  if (!ds || !layer) return;
  const bool doors = gSelectedContentCategory == kCustomDoorCategory;
  const bool windows = gSelectedContentCategory == kCustomWindowCategory;
  if (!doors && !windows) return;

  bool applied = false;
  bool failed = false;  // the definition could not be read: it is the same for every opening
  int removed = 0;
  {
    // Each wall refitted would measure the floor's attached dimensions again: they are measured
    // once, after the last (the openings move no wall).
    WallDimensionRefreshBatch dimensions;
    // The definition is read once, at the first opening that takes it, and each opening gets
    // copies of what was read: a read goes over the whole design for its IDs.
    std::optional<DefinitionLayer> definition;
    std::string path;
    for (Objex* o = layer->firstObject; o && !failed; o = o->next) {
      if (o->type != kObjWall) continue;
      bool any = false;
      for (Objex* c = o->firstChild; c && !failed; c = c->next) {
        const bool door = c->type == kObjDoor, window = c->type == kObjWindow;
        if (!(doors ? door : window) || !c->typeData || !IsObjectSelected(c)) continue;
        const int16_t wanted = doors ? kDoorCustom : kWindowCustom;
        auto* record = static_cast<DoorWindowData*>(c->typeData);
        if (record->subtype != wanted) continue;
        if (!definition) {
          definition.emplace();
          failed = !definition->ready() || !CurDocState() ||
                   !ReadCurrentDefinition(&*definition, doors ? kDoorTitle : kWindowTitle, &path);
          if (failed) break;
        }
        openings::TakeDefinition(c, record, *definition, path);
        any = true;
      }
      if (any) {
        UpdateAllWallAttachments(o);
        ReRenderObject(o);
        applied = true;
      }
    }
  }
  // Skylights read the window definition themselves (its five kinds kept apart): after the
  // walls, with the walls' read let go.
  for (Objex* o = layer->firstObject; o && !failed && windows; o = o->next) {
    if (o->type == kObjRoof || o->type == kObjRoofPanel) {
      for (Objex* c = o->firstChild; c && !failed;) {
        Objex* next = c->next;
        auto* r = c->type == kObjSkylight ? static_cast<RoofAttachmentData*>(c->typeData) : nullptr;
        if (!r || r->subtype != kSkylightCustom || !IsObjectSelected(c)) {
          c = next;
          continue;
        }
        if (!openings::ReadCustomSkylightDefinition(c)) {
          failed = true;
          break;
        }
        applied = true;
        Float3DRect box = EmptyFloat3DRect();
        GetObject3DBounds(c, 0, &box, 1);
        CreateCustomSkylightSymbols(c, (box.floatLeft + box.floatRight) / 2, (box.floatBack + box.floatFront) / 2,
                                    r->angle());
        if (r->outlineParts && r->parts) {
          FloatRect rect = EmptyFloatRect();
          Float3DRect parts = EmptyFloat3DRect();
          GetCustomSkylightBounds(c, &rect, &parts);
          CreateCustomSkylightBoundsPoints(c, &parts);
          UpdateObjectBounds(c);
          const int gone = UpdateRoofAttachment(c, o);
          removed += gone;
          ReRenderObject(o);
          if (!gone) SelectObj(c, kSelectOn, 0);
        }
        c = next;
      }
    }
  }
  Refresh();
  if (removed)
    ShowAlert("One or more skylights have been removed.",
              "The roof was not long enough to accommodate all of its attachments.");
  if (applied) StoreUndoFromModel(doors ? "Custom Door Type" : "Custom Window Type");
}
