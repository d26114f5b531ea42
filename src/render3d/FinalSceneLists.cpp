// The full-quality scene's kept display lists. A run is the plane objects of one plan object
// (they follow each other in the scene list), sorted into the passes it takes part in: its
// opaque objects (split where a plant or photo comes between them), its floor parts, its
// transparent objects. Each pass draws stretches of consecutive runs from one list each; a
// list is compiled the first time it is drawn, executing as it compiles, so the first pass of a
// frame draws in scene order whatever was compiled before.
//
// What a list depends on beyond its plane objects is kept with it:
// - the settings every final-quality drawing reads (render mode, exclusions, light, shading
//   switches, ClearView colours, opacity, floors, layers); all lists go when one changes;
// - the strip memory (gPrevPlaneParentObject, gPrevPlaneColor) the first curved strip of a
//   list may take its shared edge colour from: a list drawn after a strip is compiled for that
//   strip's colour, and each list leaves the memory as its drawing did;
// - the stencil values of its objects drawn through their cut-outs, given when it is made: the
//   pass clears the stencil before a list whose values were drawn since the last clear. Faces
//   whose cut-outs can be carved out of their planes are drawn carved, with no stencil.
#include "render3d/FinalSceneLists.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "model/Records.h"
#include "model/Services.h"
#include "render3d/CarvedFaces.h"
#include "render3d/Lighting.h"
#include "render3d/ListWalkRules.h"
#include "render3d/RealTimeScene.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"

namespace {

using render3d::walk::Floors;
constexpr RGBColor kNoStripColor{1, 1, 1};
constexpr int16_t kPartSymbol3D = kObjSymbolPart3D;

// ---- what a list was drawn from ----

uint64_t Mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  return h;
}
// Every bit of the value stirred into every bit of the result.
uint64_t Scatter(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}
uint64_t ColourBits(const RGBColor& c) { return (uint64_t{c.red} << 32) | (uint64_t{c.green} << 16) | c.blue; }
uint64_t PointerBits(const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); }
template <typename T>
uint64_t Bits(const T& v) {
  static_assert(sizeof(T) <= sizeof(uint64_t));
  uint64_t b = 0;
  std::memcpy(&b, &v, sizeof v);
  return b;
}

// The hash of what a run of plane objects was drawn from: four lanes that take the bytes of
// long stretches (the corners) 32 at a time side by side, and single values in turn, so that
// hashing runs at about the speed memory delivers the bytes.
class StateHash {
 public:
  void Value(uint64_t v) {
    lanes_[next_] = Round(lanes_[next_], v);
    next_ = (next_ + 1) & 3;
  }
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (; size >= 32; p += 32, size -= 32)
      for (size_t k = 0; k < 4; ++k) lanes_[k] = Round(lanes_[k], Word(p + 8 * k));
    for (; size >= 8; p += 8, size -= 8) Value(Word(p));
    if (size > 0) {
      uint64_t w = 0;
      std::memcpy(&w, p, size);
      Value(w ^ (uint64_t{size} << 56));
    }
  }
  uint64_t Result() const {
    uint64_t h = std::rotl(lanes_[0], 1) + std::rotl(lanes_[1], 7) + std::rotl(lanes_[2], 12) +
                 std::rotl(lanes_[3], 18);
    for (uint64_t lane : lanes_) h = (h ^ Round(0, lane)) * kPrime1 + kPrime4;
    return Scatter(h);
  }

 private:
  static constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull, kPrime2 = 0xC2B2AE3D27D4EB4Full,
                            kPrime4 = 0x85EBCA77C2B2AE63ull;
  static uint64_t Round(uint64_t lane, uint64_t input) {
    return std::rotl(lane + input * kPrime2, 31) * kPrime1;
  }
  static uint64_t Word(const unsigned char* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
  }
  uint64_t lanes_[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
  size_t next_ = 0;
};

// One plane object's drawing inputs of its own: material (its colours, the colours it links
// to, palette entries), textures and their scales, kinds, planes, the objects it comes from.
void ObjectState(StateHash& h, const PlaneObject* po, bool wireframeColours) {
  h.Value(ColourBits(po->colorA));
  h.Value(ColourBits(po->colorB));
  if (po->colorLinkA) h.Value(ColourBits(*po->colorLinkA));
  if (po->colorLinkB) h.Value(ColourBits(*po->colorLinkB));
  // The material colour is one of the colours above unless it comes from a palette entry.
  bool palette = false;
  for (int32_t id : {po->textureIdA, po->textureIdB}) {
    h.Value(static_cast<uint32_t>(id));
    if (!IsTextureAPalette(id)) continue;
    palette = true;
    h.Value(static_cast<uint32_t>(GetPaletteTextureID(id)));
  }
  if (palette) h.Value(ColourBits(PlaneObjectMaterialColor(po)));
  if (wireframeColours) h.Value(ColourBits(PlaneObjectWireframeColor(po)));
  h.Value((static_cast<uint64_t>(static_cast<uint16_t>(po->partType)) << 48) |
          (static_cast<uint64_t>(static_cast<uint16_t>(po->renderKind)) << 32) |
          (static_cast<uint64_t>(static_cast<uint16_t>(po->alpha)) << 16) | static_cast<uint16_t>(po->actual3DType));
  h.Value(Bits(po->textureSizeA));
  h.Value(Bits(po->textureSizeB));
  // An unset scale pair (first value 65535) is drawn as 100, 100 (and stored so when drawn).
  auto scale = [](const int16_t* pair, int i) -> int16_t {
    return static_cast<uint16_t>(pair[0]) == 65535 ? int16_t{100} : pair[i];
  };
  const int16_t scales[4] = {scale(po->textureScaleA, 0), scale(po->textureScaleA, 1), scale(po->textureScaleB, 0),
                             scale(po->textureScaleB, 1)};
  h.Value(Bits(scales));
  h.Value(PointerBits(po->planes));
  // The corners and normals themselves: some builders move corners in place (terrain heights).
  for (const Plane* p = po->planes; p; p = p->next) {
    if (p->next) __builtin_prefetch(p->next);
    uint64_t normal[2] = {static_cast<uint32_t>(p->vertexCount), 0};
    std::memcpy(reinterpret_cast<unsigned char*>(normal) + 4, p->normal, sizeof p->normal);
    h.Value(normal[0]);
    h.Value(normal[1]);
    if (p->vertices && p->vertexCount > 0) h.Bytes(p->vertices, static_cast<size_t>(p->vertexCount) * sizeof(PlaneVertex));
  }
  h.Value(PointerBits(po->sourceObject) ^ (PointerBits(po->actual3DObject) << 1));
  h.Value(PointerBits(po->base2DObject));
  if (po->sourceObject) h.Value(Bits(po->sourceObject->params[4]));  // a door leaf's value
}

// The walk is bound by memory latency (plane objects, their planes and the colours they link
// to lie apart): the lines of objects further on are asked for while this one is hashed, and
// what they point to once their own lines are in.
constexpr int kPrefetchDistance = 3;  // scene objects
void PrefetchObject(const PlaneObject* po) {
  if (!po) return;
  const char* bytes = reinterpret_cast<const char*>(po);
  for (size_t at = 0; at < sizeof(PlaneObject); at += 64) __builtin_prefetch(bytes + at);
}
void PrefetchLinks(const PlaneObject* po) {
  if (!po) return;
  __builtin_prefetch(po->colorLinkA);
  __builtin_prefetch(po->colorLinkB);
  __builtin_prefetch(po->planes);
  __builtin_prefetch(po->attachments);
  if (po->sourceObject) __builtin_prefetch(&po->sourceObject->params[4]);
}

void DrawnState(StateHash& h, const PlaneObject* po, bool wireframeColours) {
  ObjectState(h, po, wireframeColours);
  for (const PlaneObject* c = po->children; c; c = c->next) h.Value(PointerBits(c) ^ PointerBits(c->planes));
  for (const PlaneObject* a = po->attachments; a; a = a->next) {
    if (a->next) {
      PrefetchObject(a->next->next);
      PrefetchLinks(a->next);
    }
    ObjectState(h, a, wireframeColours);
  }
}

// The settings every list was drawn under.
struct Settings {
  const DocState* ds = nullptr;
  int16_t mode = 0;
  int32_t exclusions = 0, liveViewOptions = 0;
  uint16_t opacity = 0;
  uint8_t texturedWire = 0, transparency = 0, adjustTrim = 0;
  uint8_t noPlants = 0, hideNonShadow = 0, skipTransparent = 0, plantsInColor = 0, picking = 0;
  float brightness = 0, intensity = 0, cosX = 0, cosY = 0, cosZ = 0, planScale = 0;
  RGBColor line{}, fill{};
  std::array<Layer*, 3> floors{};
  uint64_t layers = 0;  // names and heights of the layers (the fades read them)
  bool operator==(const Settings&) const = default;
};

uint64_t LayerState() {
  uint64_t h = 0;
  if (!gCurDocument) return h;
  int32_t guard = 0;
  for (const Layer* l = gCurDocument->itsLayers; l && guard < 100000; l = l->next, ++guard) {
    h = Mix(h, PointerBits(l));
    h = Mix(h, Bits(l->height));
    for (const char* c = l->name; *c && c < l->name + sizeof l->name; ++c) h = Mix(h, static_cast<uint8_t>(*c));
  }
  return h;
}

Settings CurrentSettings(DocState* ds) {
  Settings k;
  k.ds = ds;
  k.mode = ds->renderMode();
  k.exclusions = ds->renderExclusions();
  k.liveViewOptions = gLiveViewOptions;
  k.opacity = ds->viewSetting3;
  k.texturedWire = gTexturedWire;
  k.transparency = ds->transparency();
  k.adjustTrim = gAdjustTrimLightIntensity;
  k.noPlants = gNoPlants;
  k.hideNonShadow = gHideNonShadowObjects;
  k.skipTransparent = gSkipTransparent;
  k.plantsInColor = gRenderPlantsInColor;
  k.picking = gGLPickMode;
  k.brightness = ds->lightBrightness();
  k.intensity = ds->lightIntensity();
  k.cosX = gDirectionCosX, k.cosY = gDirectionCosY, k.cosZ = gDirectionCosZ;
  k.planScale = ds->planScale;
  k.line = ds->clearViewLineColor();
  k.fill = ds->clearViewFillColor();
  k.floors = Floors();
  k.layers = LayerState();
  return k;
}

// ---- faces with cut-outs ----

// The carved triangles cover exactly the pixels the stencil would leave to the face when their
// outline is the face's own edges and the cut-outs' own edges, unsplit: every corner is one of
// the face's or the cut-outs' corners, and no cut-out corner lies on the face's edges or on
// another cut-out's. A corner made where outlines cross, or an edge split at a corner lying on
// it, lands a fraction of a pixel off the edge the stencil draws, and a few samples along it
// would change sides.
bool SameCorner(const PlaneVertex& a, const PlaneVertex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

bool OnOrNear(const PlaneVertex& p, const PlaneVertex& a, const PlaneVertex& b) {
  const double ab[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
  const double ap[3] = {double(p.x) - a.x, double(p.y) - a.y, double(p.z) - a.z};
  const double len2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
  double t = len2 > 0 ? (ap[0] * ab[0] + ap[1] * ab[1] + ap[2] * ab[2]) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  double d2 = 0;
  for (int k = 0; k < 3; ++k) {
    const double d = ap[k] - t * ab[k];
    d2 += d * d;
  }
  return d2 < 1e-6;  // within a thousandth of a unit
}

bool CarvedExactly(const PlaneObject* po, const render3d::CarvedPlaneObject& carved) {
  std::vector<const Plane*> cutouts;
  for (const PlaneObject* c = po->children; c; c = c->next)
    for (const Plane* h = c->planes; h; h = h->next)
      if (h->vertices && h->vertexCount >= 3) cutouts.push_back(h);
  for (const render3d::CarvedPlane& cp : carved.planes) {
    if (cp.whole) continue;
    const Plane* face = cp.source;
    std::vector<const Plane*> used;
    for (const PlaneVertex& t : cp.triangles) {
      bool known = false;
      for (int32_t i = 0; i < face->vertexCount && !known; ++i) known = SameCorner(t, face->vertices[i]);
      for (const Plane* h : cutouts) {
        for (int32_t i = 0; i < h->vertexCount && !known; ++i) {
          if (!SameCorner(t, h->vertices[i])) continue;
          known = true;
          if (std::find(used.begin(), used.end(), h) == used.end()) used.push_back(h);
        }
        if (known) break;
      }
      if (!known) return false;
    }
    for (const Plane* h : used) {
      for (int32_t i = 0; i < h->vertexCount; ++i) {
        const PlaneVertex& p = h->vertices[i];
        for (int32_t e = 0; e < face->vertexCount; ++e)
          if (OnOrNear(p, face->vertices[e], face->vertices[(e + 1) % face->vertexCount])) return false;
        for (const Plane* other : used) {
          if (other == h) continue;
          for (int32_t e = 0; e < other->vertexCount; ++e)
            if (OnOrNear(p, other->vertices[e], other->vertices[(e + 1) % other->vertexCount])) return false;
        }
      }
    }
  }
  return true;
}

// An opaque object's cut-outs are carved out of its planes when the picture is filled (lines
// are cut only where the cut-outs' own lines lie), the object is not a curved strip (its
// shared edge colours go by corner) nor a grid face (drawn by its own routine), and the carving
// is exact; false when it is drawn through the stencil.
bool CarvedForFinal(const PlaneObject* po, int16_t mode, render3d::CarvedPlaneObject* out) {
  if (!po->children || mode == kRenderWireframe || mode == kRenderClearViewLines) return false;
  if (po->partType == 7 || po->renderKind == 7) return false;
  const Objex* base = po->base2DObject;
  if (base && base->type == kObjWallFace && base->subtype == 173) return false;
  return render3d::CarvePlaneObject(po, out) && CarvedExactly(po, *out);
}

// ---- lists and the strip memory ----

// A sentinel strip parent: no plane object comes from it.
const char sNoParentByte = 0;
Objex* NoParent() { return reinterpret_cast<Objex*>(const_cast<char*>(&sNoParentByte)); }

struct Strip {
  Objex* parent;
  RGBColor colour;
};
Strip CurrentStrip() { return {gPrevPlaneParentObject, gPrevPlaneColor}; }

std::vector<GLuint> sListsToDelete;  // dropped while no context may be current
int64_t sCompilations = 0;

void DeleteQueuedLists() {
  for (GLuint name : sListsToDelete) glDeleteLists(name, 1);
  sListsToDelete.clear();
}

// One compiled list, with the strip memory it was compiled after and left.
struct List {
  GLuint name = 0;
  bool afterStrip = false;  // compiled after a strip: for that strip's colour only
  Strip entry{nullptr, kNoStripColor};
  bool parentKept = false;  // the list leaves the strip parent as it found it
  Strip exit{nullptr, kNoStripColor};

  void Drop() {
    if (name) sListsToDelete.push_back(name);
    name = 0;
  }
  bool Fits(const Strip& in) const {
    if (!name) return false;
    if (in.colour == kNoStripColor) return !afterStrip;
    return afterStrip && in.parent == entry.parent && in.colour == entry.colour;
  }
  // Calls the list, or compiles it (drawing as it compiles) when it does not fit.
  template <typename Draw>
  void Play(Draw draw) {
    const Strip in = CurrentStrip();
    if (Fits(in)) {
      glCallList(name);
      gPrevPlaneParentObject = parentKept ? in.parent : exit.parent;
      gPrevPlaneColor = exit.colour;
      return;
    }
    Drop();
    afterStrip = !(in.colour == kNoStripColor);
    entry = in;
    // After no strip the parent cannot change the drawing: a sentinel shows whether it is kept.
    if (!afterStrip) gPrevPlaneParentObject = NoParent();
    const uint64_t textures = GLTextureNamesChangeCount();
    name = glGenLists(1);
    if (name) {
      ++sCompilations;
      glNewList(name, GL_COMPILE_AND_EXECUTE);
    }
    draw();
    if (name) glEndList();
    exit = CurrentStrip();
    parentKept = !afterStrip && exit.parent == NoParent();
    if (parentKept) gPrevPlaneParentObject = in.parent;
    // A texture loaded while compiling would be loaded again at every call: compiled anew next
    // time, when it is resident.
    if (textures != GLTextureNamesChangeCount()) Drop();
  }
};

// A stretch of a run's opaque pass: objects drawn from a list, or one plant or photo.
// How an opaque object is drawn, and its carving until its list is compiled (then released:
// compiling the list again carves it again).
struct Opaque {
  PlaneObject* po = nullptr;
  bool carved = false;
  std::shared_ptr<render3d::CarvedPlaneObject> carving;
};

struct Piece {
  std::vector<Opaque> objects;
  PlaneObject* facing = nullptr;  // a plant or a photo, drawn afresh
  int32_t stencilled = 0;         // objects drawn through their cut-outs (not carved)
};

constexpr size_t kPhases = 5;  // the opaque pass, the three floors, the transparent pass
constexpr size_t kOpaque = 0, kTransparent = 4;

struct Run {
  uint64_t serial = 0;  // unique for the life of the program: lists name the runs they hold
  PlaneObject* first = nullptr;
  PlaneObject* last = nullptr;
  int32_t count = 0;
  uint64_t drawn = 0, seen = 0;
  bool ends = false;  // the stretch of runs sharing a list ends after this one
  std::vector<Piece> opaque;
  std::array<std::vector<PlaneObject*>, 3> floorParts;
  std::vector<PlaneObject*> holes, collectedFloors, collectedFaces, transparent;
  int32_t visits = 0;  // opaque, floor-part and transparent objects the walk takes up
};
uint64_t sRunSerials = 0;

// Consecutive runs share one list in each pass (a pass calls far fewer lists than there are
// plan objects); an edit compiles the list of the edited object's stretch again. A stretch
// ends after a run whose plan object's address says so (about one in 256), so that stretches
// stay the same when objects come and go elsewhere, and at a plant or photo.
constexpr uint64_t kStretch = 256;
constexpr size_t kMostObjectsPerList = 4096;

struct Chunk {
  std::vector<uint64_t> key;  // serials of its runs (and the piece index in the opaque pass)
  std::vector<PlaneObject*> objects;
  std::vector<Opaque> opaque;  // the opaque pass's objects (`objects` is empty)
  List list;
  int32_t cutoutFirst = 0, cutoutCount = 0;  // stencil values of its stencilled objects
  bool clearsStencil = false;                // more of them than values: clears on its own
  uint64_t seen = 0;
};

// One step of a pass: a list, or a plant or photo drawn afresh.
struct Step {
  Chunk* chunk = nullptr;
  PlaneObject* facing = nullptr;
};

// The kept lists of one render mode (ClearView draws each pass twice, in two modes).
struct Scene {
  Settings settings;
  std::unordered_map<const Objex*, std::vector<std::unique_ptr<Run>>> runs;
  std::vector<Run*> order;  // this frame's runs in scene order
  std::array<std::unordered_map<uint64_t, std::unique_ptr<Chunk>>, kPhases> chunks;
  std::array<std::vector<Step>, kPhases> steps;  // this frame's
  int32_t visits = 0;                             // the objects a pass of this frame takes up
  uint64_t stamp = 0;
  int32_t nextCutoutValue = 2;

  void DropAll() {
    for (auto& phase : chunks) {
      for (auto& [first, chunk] : phase) chunk->list.Drop();
      phase.clear();
    }
    for (auto& steps_ : steps) steps_.clear();
    runs.clear();
    order.clear();
  }
};

std::map<int16_t, Scene> sScenes;

bool TransparentPassDrawn() { return !gHideNonShadowObjects && !gSkipTransparent && !gRenderPlantsInColor; }

// Sorts a new run's plane objects into the passes as RenderGLPlaneObjects does.
void SortRun(Run& run, const Settings& k) {
  const int32_t off = k.exclusions;
  const bool transparentPass = TransparentPassDrawn();
  const bool objectsOff = off & kLVOffObjects;
  run.serial = ++sRunSerials;
  run.ends = render3d::walk::EndsStretch(run.first->base2DObject, kStretch);
  PlaneObject* po = run.first;
  for (int32_t i = 0; i < run.count; ++i, po = po->next) {
    if (po->alpha >= 255) {
      if (render3d::walk::IsPlant(po)) {
        if (!(gNoPlants || (off & kLVOffPlants))) run.opaque.emplace_back().facing = po;
      } else if (render3d::walk::IsPhoto(po)) {
        if (!(gHideNonShadowObjects && render3d::walk::CastsNoShadow(po))) run.opaque.emplace_back().facing = po;
      } else if (!render3d::walk::LeftToFloorPass(po, k.floors) && !render3d::walk::Excluded(po, off) &&
                 !(!po->children && gHideNonShadowObjects && render3d::walk::CastsNoShadow(po))) {
        if (run.opaque.empty() || run.opaque.back().facing) run.opaque.emplace_back();
        Piece& piece = run.opaque.back();
        Opaque& o = piece.objects.emplace_back();
        o.po = po;
        if (po->children) {
          o.carving = std::make_shared<render3d::CarvedPlaneObject>();
          o.carved = CarvedForFinal(po, k.mode, o.carving.get());
          if (!o.carved) o.carving.reset(), ++piece.stencilled;
        }
      }
    }
    if (render3d::walk::IsHolePart(po)) run.holes.push_back(po);
    for (size_t f = 0; f < 3; ++f)
      if (k.floors[f] && po->alpha >= 255 && render3d::walk::FloorOnFloor(po, k.floors[f]))
        run.floorParts[f].push_back(po);
    if (render3d::walk::IsCollectedFloor(po)) run.collectedFloors.push_back(po);
    if (render3d::walk::IsCollectedFace(po)) run.collectedFaces.push_back(po);
    if (transparentPass && po->alpha < 255 && !render3d::walk::Excluded(po, off) &&
        !(po->partType == kPartSymbol3D && objectsOff))
      run.transparent.push_back(po);
  }
  for (const Piece& piece : run.opaque) run.visits += piece.facing ? 1 : static_cast<int32_t>(piece.objects.size());
  for (const auto& parts : run.floorParts) run.visits += static_cast<int32_t>(parts.size());
  run.visits += static_cast<int32_t>(run.transparent.size());
}

Run* FindOrSortRun(Scene& scene, PlaneObject* first, PlaneObject* last, int32_t count, uint64_t drawn) {
  std::vector<std::unique_ptr<Run>>& runs = scene.runs[first->base2DObject];
  for (const std::unique_ptr<Run>& run : runs) {
    if (run->first == first && run->last == last && run->count == count && run->drawn == drawn &&
        run->seen != scene.stamp) {
      run->seen = scene.stamp;
      return run.get();
    }
  }
  Run& run = *runs.emplace_back(std::make_unique<Run>());
  run.first = first, run.last = last, run.count = count, run.drawn = drawn, run.seen = scene.stamp;
  SortRun(run, scene.settings);
  return &run;
}

// Gathers the stretches of one pass into its steps: each stretch's chunk is kept when it holds
// the same runs, else made anew (compiled when first drawn).
class StepBuilder {
 public:
  StepBuilder(Scene& scene, size_t phase) : scene_(scene), phase_(phase) { scene.steps[phase].clear(); }
  ~StepBuilder() { Close(); }
  void Add(uint64_t serial, uint64_t piece, const std::vector<PlaneObject*>& objects) {
    key_.push_back(serial);
    key_.push_back(piece);
    objects_.insert(objects_.end(), objects.begin(), objects.end());
    count_ += objects.size();
  }
  // Opaque objects: their carvings go with them into a new list, once.
  void Add(uint64_t serial, uint64_t piece, std::vector<Opaque>& objects, int32_t stencilled) {
    key_.push_back(serial);
    key_.push_back(piece);
    for (Opaque& o : objects) opaque_.push_back(o), o.carving.reset();
    count_ += objects.size();
    stencilled_ += stencilled;
  }
  void Facing(PlaneObject* po) {
    Close();
    scene_.steps[phase_].push_back(Step{nullptr, po});
  }
  void EndOfRun(const Run& run) {
    if (run.ends || count_ >= kMostObjectsPerList) Close();
  }
  void Close() {
    if (key_.empty()) return;
    auto& chunks = scene_.chunks[phase_];
    std::unique_ptr<Chunk>& slot = chunks[key_.front()];
    if (!slot || slot->key != key_) {
      if (slot) slot->list.Drop();
      slot = std::make_unique<Chunk>();
      slot->key = std::move(key_);
      slot->objects = std::move(objects_);
      slot->opaque = std::move(opaque_);
      slot->cutoutCount = stencilled_;
      AssignStencilValues(*slot);
    }
    slot->seen = scene_.stamp;
    scene_.steps[phase_].push_back(Step{slot.get(), nullptr});
    key_.clear(), objects_.clear(), opaque_.clear();
    stencilled_ = 0;
    count_ = 0;
  }

 private:
  void AssignStencilValues(Chunk& chunk) {
    const int32_t limit = render3d::walk::StencilValueLimit();
    if (chunk.cutoutCount > limit - 1) {
      chunk.clearsStencil = true;
      chunk.cutoutFirst = 2;
    } else if (chunk.cutoutCount > 0) {
      if (scene_.nextCutoutValue + chunk.cutoutCount - 1 > limit) scene_.nextCutoutValue = 2;
      chunk.cutoutFirst = scene_.nextCutoutValue;
      scene_.nextCutoutValue += chunk.cutoutCount;
    }
  }
  Scene& scene_;
  size_t phase_;
  std::vector<uint64_t> key_;
  std::vector<PlaneObject*> objects_;
  std::vector<Opaque> opaque_;
  size_t count_ = 0;
  int32_t stencilled_ = 0;
};

// The objects a pass takes up, as the walk counts them (the holes and collected faces drawn
// depend on the eye).
int32_t PassVisits(Scene& scene, DocState* ds) {
  int32_t visits = 0;
  bool collected = false;
  for (Run* run : scene.order) {
    visits += run->visits;
    collected = collected || !run->collectedFaces.empty();
  }
  for (size_t f = 0; f < 3; ++f) {
    const Layer* floor = scene.settings.floors[f];
    if (!floor) continue;
    for (Run* run : scene.order)
      for (PlaneObject* po : run->holes)
        if (render3d::walk::HoleOnFloor(po, floor) && render3d::walk::HoleFaceDrawn(po, ds)) ++visits;
    if (!collected) continue;
    std::unordered_map<const Objex*, PlaneObject*> faceOfRoot;
    for (Run* run : scene.order)
      for (PlaneObject* po : run->collectedFaces) faceOfRoot.try_emplace(render3d::walk::RootOf(po), po);
    for (Run* run : scene.order)
      for (PlaneObject* po : run->collectedFloors)
        if (render3d::walk::OnLayer(po, floor) && faceOfRoot.count(render3d::walk::RootOf(po))) ++visits;
  }
  return visits;
}

// The runs of the scene in order, each found or sorted anew, and the steps of every pass; runs
// and lists that left the scene go.
void GatherRuns(Scene& scene, DocState* ds) {
  ++scene.stamp;
  // Last frame's runs in order: an unchanged scene finds each of its runs in the same place.
  std::vector<Run*> previous;
  previous.swap(scene.order);
  bool sameOrder = true;
  const bool wireframeColours = scene.settings.mode == kRenderWireframe && !gTexturedWire;
  for (PlaneObject* po = gGLPlaneObjects; po;) {
    PlaneObject* first = po;
    PlaneObject* last = po;
    int32_t count = 0;
    StateHash drawn;
    for (; po && po->base2DObject == first->base2DObject; po = po->next) {
      // Three objects ahead of the walk: its lines were asked for one object ago; what it
      // points to, and the lines of the object after it, are asked for now.
      const PlaneObject* ahead = po;
      for (int i = 0; i < kPrefetchDistance && ahead; ++i) ahead = ahead->next;
      if (ahead) {
        PrefetchLinks(ahead);
        PrefetchObject(ahead->next);
      }
      DrawnState(drawn, po, wireframeColours);
      last = po;
      ++count;
    }
    const uint64_t state = drawn.Result();
    const size_t at = scene.order.size();
    Run* kept = at < previous.size() ? previous[at] : nullptr;
    if (kept && kept->first == first && kept->last == last && kept->count == count && kept->drawn == state &&
        kept->seen != scene.stamp) {
      kept->seen = scene.stamp;
      scene.order.push_back(kept);
    } else {
      sameOrder = false;
      scene.order.push_back(FindOrSortRun(scene, first, last, count, state));
    }
  }
  // The same runs in the same order as last frame: every run kept is in it, and the passes'
  // steps (and the lists they call) stand as they are.
  if (sameOrder && scene.order.size() == previous.size() && !scene.order.empty()) {
    scene.visits = PassVisits(scene, ds);
    return;
  }
  for (auto it = scene.runs.begin(); it != scene.runs.end();) {
    std::vector<std::unique_ptr<Run>>& runs = it->second;
    for (size_t i = 0; i < runs.size();) {
      if (runs[i]->seen == scene.stamp) {
        ++i;
        continue;
      }
      runs[i] = std::move(runs.back());
      runs.pop_back();
    }
    it = runs.empty() ? scene.runs.erase(it) : std::next(it);
  }
  {
    StepBuilder opaque(scene, kOpaque);
    for (Run* run : scene.order) {
      uint64_t piece = 0;
      for (Piece& p : run->opaque) {
        if (p.facing) opaque.Facing(p.facing);
        else opaque.Add(run->serial, piece, p.objects, p.stencilled);
        ++piece;
      }
      opaque.EndOfRun(*run);
    }
  }
  for (size_t f = 0; f < 3; ++f) {
    StepBuilder floor(scene, 1 + f);
    if (!scene.settings.floors[f]) continue;
    for (Run* run : scene.order) {
      if (!run->floorParts[f].empty()) floor.Add(run->serial, 0, run->floorParts[f]);
      floor.EndOfRun(*run);
    }
  }
  {
    StepBuilder transparent(scene, kTransparent);
    for (Run* run : scene.order) {
      if (!run->transparent.empty()) transparent.Add(run->serial, 0, run->transparent);
      transparent.EndOfRun(*run);
    }
  }
  for (auto& phase : scene.chunks) {
    for (auto it = phase.begin(); it != phase.end();) {
      if (it->second->seen == scene.stamp) {
        ++it;
        continue;
      }
      it->second->list.Drop();
      it = phase.erase(it);
    }
  }
  scene.visits = PassVisits(scene, ds);
}

// The texture names' change count when the kept lists last drew.
uint64_t sTextureNames = 0;

Scene& SceneFor(DocState* ds, bool newFrame) {
  DeleteQueuedLists();
  // Texture names given by other drawing (or taken away) since the last frame: what the lists
  // bound may be gone. Names given while the lists compiled are their own.
  if (newFrame && GLTextureNamesChangeCount() != sTextureNames)
    for (auto& [mode, scene] : sScenes) scene.DropAll();
  const Settings settings = CurrentSettings(ds);
  Scene& scene = sScenes[settings.mode];
  if (!(settings == scene.settings)) {
    scene.DropAll();
    scene.settings = settings;
  }
  DeleteQueuedLists();
  if (newFrame || scene.stamp == 0) GatherRuns(scene, ds);
  return scene;
}

// The pass's stencil values drawn since the last clear.
struct StencilUse {
  std::vector<uint8_t> used;
  explicit StencilUse(int32_t limit) : used(static_cast<size_t>(limit) + 1, 0) {}
  void Before(const Chunk& chunk) {
    if (chunk.clearsStencil) {
      glClear(GL_STENCIL_BUFFER_BIT);
      std::fill(used.begin(), used.end(), 1);
    } else if (chunk.cutoutCount > 0) {
      const auto first = used.begin() + chunk.cutoutFirst, end = first + chunk.cutoutCount;
      if (std::find(first, end, 1) != end) {
        glClear(GL_STENCIL_BUFFER_BIT);
        std::fill(used.begin(), used.end(), 0);
      }
      std::fill(first, end, 1);
    }
  }
};

// One opaque object: carved, or through its cut-outs in the stencil. Drawing through the
// stencil turns smooth shading and dithering on before the face; so does the first carved one.
void DrawOpaqueObject(Opaque& o, DocState* ds, bool* smooth) {
  PlaneObject* po = o.po;
  render3d::CarvedPlaneObject again;
  const render3d::CarvedPlaneObject* carved = o.carving.get();
  if (o.carved && !carved && render3d::CarvePlaneObject(po, &again)) carved = &again;
  if (!carved) {
    render3d::walk::DrawOpaque(po, ds);
    *smooth = *smooth || po->children;
    return;
  }
  if (!*smooth) {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DITHER);
    *smooth = true;
  }
  RenderGLCarvedPlaneObject(po, *carved);
  render3d::walk::DrawTrims(po);
}

// A chunk's opaque objects with their faces grouped by texture (untextured first, then each
// texture in the order the chunk first names it, each group in scene order): a list binds each
// of its textures once. Objects drawn through the stencil come first, whole and in order. Only
// for chunks whose colours do not depend on the order of their faces (no strips, no symbol
// parts), and not while picking (fillers take part then).
bool GroupsByTexture(const Chunk& chunk) {
  if (gGLPickMode) return false;
  for (const Opaque& o : chunk.opaque) {
    if (SharesStripColours(o.po)) return false;
    for (const PlaneObject* a = o.po->attachments; a; a = a->next)
      if (SharesStripColours(a)) return false;
  }
  return true;
}

void DrawChunkGroupedByTexture(Chunk& chunk, DocState* ds) {
  struct Face {
    PlaneObject* po;
    const render3d::CarvedPlaneObject* carved;
  };
  std::vector<Face> faces;
  std::vector<render3d::CarvedPlaneObject> carvings;  // carved again here (their lists went)
  carvings.reserve(chunk.opaque.size());
  bool smooth = false;
  for (Opaque& o : chunk.opaque) {
    PlaneObject* po = o.po;
    const render3d::CarvedPlaneObject* carved = o.carving.get();
    if (o.carved && !carved) {
      carvings.emplace_back();
      if (render3d::CarvePlaneObject(po, &carvings.back())) carved = &carvings.back();
      else carvings.pop_back();
    }
    if (!carved && po->children) {
      render3d::walk::DrawOpaque(po, ds);
      smooth = true;
      continue;
    }
    if (carved) smooth = true;
    // Fillers are drawn only while picking.
    if (!carved && po->partType == kObjFrameFace) continue;
    faces.push_back({po, carved});
    for (PlaneObject* a = po->attachments; a; a = a->next) faces.push_back({a, nullptr});
  }
  if (smooth) {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DITHER);
  }
  for (size_t i : render3d::FacesGroupedByTexture(faces.size(), [&faces](size_t i) { return FinalTextureName(faces[i].po); })) {
    if (faces[i].carved) RenderGLCarvedPlaneObject(faces[i].po, *faces[i].carved);
    else render3d::walk::DrawFace(faces[i].po);
  }
}

}  // namespace

std::vector<size_t> render3d::FacesGroupedByTexture(size_t count, const std::function<uint32_t(size_t)>& textureOf) {
  std::vector<uint32_t> order;  // texture names by first use
  std::vector<std::pair<size_t, size_t>> keyed;
  keyed.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t name = textureOf(i);
    size_t rank = 0;
    if (name) {
      auto at = std::find(order.begin(), order.end(), name);
      rank = static_cast<size_t>(at - order.begin()) + 1;
      if (at == order.end()) order.push_back(name);
    }
    keyed.push_back({rank, i});
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<size_t> drawn;
  drawn.reserve(count);
  for (const auto& k : keyed) drawn.push_back(k.second);
  return drawn;
}

namespace {

void DrawOpaquePass(Scene& scene, DocState* ds) {
  StencilUse stencil(render3d::walk::StencilValueLimit());
  gTextureLeftOn = 1;
  for (const Step& step : scene.steps[kOpaque]) {
    if (step.facing) {
      if (render3d::walk::IsPlant(step.facing)) RenderGLPlantObject(step.facing);
      else RenderGLPhotoObject(step.facing);
      glDisable(GL_TEXTURE_2D);
      continue;
    }
    Chunk& chunk = *step.chunk;
    stencil.Before(chunk);
    chunk.list.Play([&chunk, ds] {
      gCurrentStencilValue = chunk.cutoutFirst < 2 ? 2 : chunk.cutoutFirst;
      gTextureKnownOff = 1;
      bool smooth = false;
      BeginFinalTextureRun();
      if (GroupsByTexture(chunk)) {
        DrawChunkGroupedByTexture(chunk, ds);
      } else {
        for (Opaque& o : chunk.opaque) DrawOpaqueObject(o, ds, &smooth);
      }
      for (Opaque& o : chunk.opaque) o.carving.reset();
      EndFinalTextureRun();
      // Texturing is off between lists.
      if (!gTextureKnownOff) glDisable(GL_TEXTURE_2D);
      gTextureKnownOff = 1;
    });
    gCurrentStencilValue = 2;
  }
  gTextureLeftOn = 0;
  glDisable(GL_TEXTURE_2D);
  gTextureKnownOff = 1;
}

void DrawFloorPass(Scene& scene, DocState* ds, size_t f) {
  const Layer* floor = scene.settings.floors[f];
  glClear(GL_STENCIL_BUFFER_BIT);
  gCurrentStencilValue = 2;
  render3d::walk::BeginStencilWrite(1);
  for (Run* run : scene.order)
    for (PlaneObject* po : run->holes)
      if (render3d::walk::HoleOnFloor(po, floor) && render3d::walk::HoleFaceDrawn(po, ds)) RenderGLPlaneObject(po, 0);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DITHER);
  render3d::walk::EndStencilWrite(ds, GL_NOTEQUAL, 1);
  for (const Step& step : scene.steps[1 + f]) {
    Chunk& chunk = *step.chunk;
    chunk.list.Play([&chunk] {
      for (PlaneObject* po : chunk.objects) RenderGLPlaneObject(po, 0);
    });
  }
  glDisable(GL_STENCIL_TEST);
  // Faces of part type 173 show only inside the outline of the 171 face of the same root.
  std::unordered_map<const Objex*, PlaneObject*> faceOfRoot;
  for (Run* run : scene.order)
    for (PlaneObject* po : run->collectedFaces) faceOfRoot.try_emplace(render3d::walk::RootOf(po), po);
  for (Run* run : scene.order) {
    if (faceOfRoot.empty()) break;
    for (PlaneObject* po : run->collectedFloors) {
      if (!render3d::walk::OnLayer(po, floor)) continue;
      auto it = faceOfRoot.find(render3d::walk::RootOf(po));
      if (it == faceOfRoot.end()) continue;
      glClear(GL_STENCIL_BUFFER_BIT);
      render3d::walk::BeginStencilWrite(1);
      RenderGLPlaneObject(po, 0);
      render3d::walk::EndStencilWrite(ds, GL_EQUAL, 1);
      RenderGLPlaneObject(it->second, 0);
    }
  }
  glStencilFunc(GL_NOTEQUAL, 1, 0xFFFF);
  glDisable(GL_STENCIL_TEST);
}

void DrawTransparentPass(Scene& scene, DocState* ds) {
  for (const Step& step : scene.steps[kTransparent]) {
    Chunk& chunk = *step.chunk;
    chunk.list.Play([&chunk, ds] {
      for (PlaneObject* po : chunk.objects) render3d::walk::DrawTransparent(po, ds);
    });
  }
}

}  // namespace

bool render3d::walk::EndsStretch(const Objex* base, uint64_t every) {
  return every <= 1 || Scatter(PointerBits(base)) % every == 0;
}

namespace render3d {

bool DrawFinalScene(DocState* ds, bool newFrame) {
  if (!ds) return true;
  Scene& scene = SceneFor(ds, newFrame);
  const int32_t visits = scene.visits;
  if (gCountRenderingObjects && !gNoPlants) gTotalObjectsRendered = 0;
  if (gCountRenderingObjects) gTotalObjectsRendered += visits;
  // Escape is looked for as often as a walk of the scene would look for it.
  if (ReplayRenderPolls(visits)) return false;

  glDisable(GL_TEXTURE_2D);
  gTextureKnownOff = 1;
  DrawOpaquePass(scene, ds);
  for (size_t f = 0; f < 3; ++f)
    if (scene.settings.floors[f]) DrawFloorPass(scene, ds, f);
  if (TransparentPassDrawn()) DrawTransparentPass(scene, ds);
  gTextureKnownOff = 0;
  gDisableRenderInterrupt = 0;
  sTextureNames = GLTextureNamesChangeCount();
  return !gBreakOpenGLRender;
}

void DropFinalLists(const Objex* object) {
  // The object's runs go; the lists holding them are compiled again when next drawn (their runs
  // are new).
  for (auto& [mode, scene] : sScenes) {
    auto it = scene.runs.find(object);
    if (it == scene.runs.end()) continue;
    scene.runs.erase(it);
    scene.order.clear();
    for (auto& steps : scene.steps) steps.clear();
  }
}

void DropAllFinalLists() {
  for (auto& [mode, scene] : sScenes) scene.DropAll();
}

void ReleaseFinalLists() {
  DropAllFinalLists();
  DeleteQueuedLists();
  sScenes.clear();
}

bool DrawsCarvedInFinalFrame(const PlaneObject* po, int16_t mode) {
  CarvedPlaneObject carved;
  return po && CarvedForFinal(po, mode, &carved);
}

int64_t FinalListCompilations() { return sCompilations; }

}  // namespace render3d
