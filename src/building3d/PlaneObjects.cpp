// Creating, linking and freeing plane objects and planes, and the scene list.
#include "building3d/PlaneObjects.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "building3d/TopoElevation.h"
#include "building3d/Triangulation.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"

PlaneObject* gGLPlaneObjectsTail = nullptr;
PlaneObject* gCurPlaneObject = nullptr;
Objex* gBase2DObject = nullptr;
Objex* gActual3DObject = nullptr;
uint8_t gDisableRenderInterrupt = 0;
uint8_t gRenderDirty = 0;

#include "platform/AddressSanitizer.h"
#if defined(CASA_ADDRESS_SANITIZER)
#include <sanitizer/asan_interface.h>
#define CASA_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define CASA_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define CASA_POISON(address, size) ((void)(address), (void)(size))
#define CASA_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

// Freed blocks of one size kept for the next ones: rebuilding an object frees hundreds of
// plane objects and planes and makes as many again at once, more than the allocator's own
// per-size caches hold. A block taken is zeroed as calloc would give it; a block kept is
// poisoned under the address checker, so that a use after freeing is still reported.
class BlockPool {
 public:
  explicit BlockPool(size_t size) : size_(size < sizeof(Link) ? sizeof(Link) : size) {}
  void* take() {
    if (!head_) return calloc(1, size_);
    Link* block = head_;
    CASA_UNPOISON(block + 1, size_ - sizeof(Link));
    head_ = block->next;
    --count_;
    memset(block, 0, size_);
    return block;
  }
  void give(void* block) {
    if (!block) return;
    if (count_ >= kMaxKept) {
      free(block);
      return;
    }
    auto* link = static_cast<Link*>(block);
    link->next = head_;
    head_ = link;
    ++count_;
    CASA_POISON(link + 1, size_ - sizeof(Link));  // the link stays readable for the leak checker
  }

 private:
  struct Link {
    Link* next;
  };
  static constexpr size_t kMaxKept = 4096;
  size_t size_;
  Link* head_ = nullptr;
  size_t count_ = 0;
};

// Plane objects, and planes with room for up to four vertices (quads and triangles, most of
// them), come from and go back to these.
constexpr int32_t kPooledRoom = 4;
BlockPool& PlaneObjectPool() {
  static BlockPool pool(sizeof(PlaneObject));
  return pool;
}
BlockPool& SmallPlanePool() {
  static BlockPool pool(sizeof(Plane) + sizeof(PlaneVertex) * kPooledRoom);
  return pool;
}

// Largest normal component kept; a larger normal is scaled down to it.
constexpr float kMaxNormalComponent = 0.99f;

// Types drawn in the second class (floors, site and landscape parts, cut-outs, passes and
// fillers); roofs go by their fill pattern.
bool IsSecondClassType(int16_t type) {
  switch (type) {
    case 13: case 15: case 18: case 19: case 21: case 22: case 23: case 25: case 26: case 27:
    case 36: case 38: case 39: case 40: case 59: case 60: case 111: case 127: case 128:
    case 131: case 136: case 158: case 900:
      return true;
    default:
      return type >= 42 && type <= 52;
  }
}

int16_t PlaneClassOf(const PlaneObject* planeObject, const Objex* source, const DocState* ds) {
  int16_t planeClass = 1;
  if (source->type == kObjRoof)
    planeClass = source->fillPattern != 0 ? 2 : 1;
  else if (IsSecondClassType(source->type))
    planeClass = 2;
  if (ds->framingView && planeObject->renderKind == 37) planeClass = 2;
  return planeClass;
}

// Links `item` at the end of the chain that starts at `*head` (children and trims are short).
void LinkAtTail(PlaneObject** head, PlaneObject* item) {
  item->next = nullptr;
  item->prev = nullptr;
  if (!*head) {
    *head = item;
    return;
  }
  PlaneObject* last = *head;
  while (last->next) last = last->next;
  last->next = item;
  item->prev = last;
}

// The last plane object of the scene list. The tail is trusted while the list has a head (a
// head without a tail, the list replaced from outside, is walked once; plane objects linked
// after the tail from outside are stepped over).
PlaneObject* SceneTail() {
  if (!gGLPlaneObjects) return gGLPlaneObjectsTail = nullptr;
  if (!gGLPlaneObjectsTail) {
    PlaneObject* last = gGLPlaneObjects;
    while (last->next) last = last->next;
    gGLPlaneObjectsTail = last;
  }
  while (gGLPlaneObjectsTail->next) gGLPlaneObjectsTail = gGLPlaneObjectsTail->next;
  return gGLPlaneObjectsTail;
}

// ---- the scene index: the plane objects of each plan object, in scene order ----
//
// Every plane object appended to the scene list is chained to the others of its plan object
// (base2DObject). Unlinking takes it out; freeing a plane object that is still in the list (a
// whole list freed at once) marks the index stale. The index is also stale when the list was
// linked or replaced from outside (its head or tail is not the one last seen); a stale index is
// rebuilt by one walk over the list the next time it is asked.

struct BaseEntry {
  const Objex* base = nullptr;
  PlaneObject* first = nullptr;
  PlaneObject* last = nullptr;
};

std::unordered_map<const Objex*, BaseEntry>& ByBase() {
  static std::unordered_map<const Objex*, BaseEntry> byBase;
  return byBase;
}
bool sIndexStale = false;
PlaneObject* sSeenHead = nullptr;
PlaneObject* sSeenTail = nullptr;

void NoteListSeen() {
  sSeenHead = gGLPlaneObjects;
  sSeenTail = gGLPlaneObjectsTail;
}

// The entry last added to: a plan object's plane objects are appended one after another, so
// most appends find their entry here without hashing. Cleared whenever an entry is erased.
BaseEntry* sLastEntry = nullptr;

void IndexAdd(PlaneObject* po) {
  if (!sLastEntry || sLastEntry->base != po->base2DObject)
    sLastEntry = &ByBase().try_emplace(po->base2DObject).first->second;
  BaseEntry& entry = *sLastEntry;
  entry.base = po->base2DObject;
  po->sceneIndexEntry = &entry;  // map nodes stay put while others come and go
  po->sameBaseNext = nullptr;
  po->sameBasePrev = entry.last;
  if (entry.last) entry.last->sameBaseNext = po;
  else entry.first = po;
  entry.last = po;
}

// True when it was indexed.
bool IndexRemove(PlaneObject* po) {
  auto* entry = static_cast<BaseEntry*>(po->sceneIndexEntry);
  if (!entry) return false;
  if (po->sameBasePrev) po->sameBasePrev->sameBaseNext = po->sameBaseNext;
  else entry->first = po->sameBaseNext;
  if (po->sameBaseNext) po->sameBaseNext->sameBasePrev = po->sameBasePrev;
  else entry->last = po->sameBasePrev;
  po->sameBasePrev = po->sameBaseNext = nullptr;
  po->sceneIndexEntry = nullptr;
  if (!entry->first) {
    if (entry == sLastEntry) sLastEntry = nullptr;
    ByBase().erase(entry->base);
  }
  return true;
}

// ---- the journal of the scene list's changes ----
//
// The plan objects whose plane objects were linked into or unlinked from the scene list since
// the renderer last asked, so that it recompiles only what they draw. When the changes cannot
// be told one by one (the list indexed again, freed whole, linked from outside, or too many
// changes to be worth listing) the journal says so instead.

constexpr size_t kMostJournaled = 4096;
std::vector<const Objex*> sChangedBases;
bool sChangesKnown = true;

void JournalLost() {
  sChangesKnown = false;
  sChangedBases.clear();
}

void Journal(const Objex* base) {
  if (!sChangesKnown) return;
  // A plan object's plane objects come and go one after another: one entry for the run.
  if (!sChangedBases.empty() && sChangedBases.back() == base) return;
  if (sChangedBases.size() >= kMostJournaled) return JournalLost();
  sChangedBases.push_back(base);
}

// Forgets every entry (the plane objects still indexed are alive: freeing takes them out).
void IndexClear() {
  JournalLost();
  for (auto& [base, entry] : ByBase()) {
    for (PlaneObject* po = entry.first; po;) {
      PlaneObject* next = po->sameBaseNext;
      po->sameBasePrev = po->sameBaseNext = nullptr;
      po->sceneIndexEntry = nullptr;
      po = next;
    }
  }
  ByBase().clear();
  sLastEntry = nullptr;
}

bool IndexMatchesList() {
  return !sIndexStale && gGLPlaneObjects == sSeenHead && gGLPlaneObjectsTail == sSeenTail &&
         !(gGLPlaneObjectsTail && gGLPlaneObjectsTail->next) && !(gGLPlaneObjects && !gGLPlaneObjectsTail);
}

void IndexRebuildIfStale() {
  if (IndexMatchesList()) return;
  IndexClear();
  PlaneObject* last = nullptr;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    IndexAdd(po);
    last = po;
  }
  gGLPlaneObjectsTail = last;
  sIndexStale = false;
  NoteListSeen();
}

}  // namespace

bool TakeSceneListChanges(std::vector<const Objex*>& bases) {
  bases.clear();
  bool known = sChangesKnown;
  if (!IndexMatchesList()) {
    known = false;
    IndexRebuildIfStale();
  }
  if (known) bases.swap(sChangedBases);
  sChangedBases.clear();
  sChangesKnown = true;
  return known;
}

PlaneObject* FirstScenePlaneObjectOf(const Objex* base2DObject) {
  IndexRebuildIfStale();
  auto it = ByBase().find(base2DObject);
  return it == ByBase().end() ? nullptr : it->second.first;
}

PlaneObject* CreatePlaneObject() {
  auto* planeObject = static_cast<PlaneObject*>(PlaneObjectPool().take());
  if (!planeObject) return nullptr;
  planeObject->textureScaleA[0] = planeObject->textureScaleA[1] = 100;
  planeObject->textureScaleB[0] = planeObject->textureScaleB[1] = 100;
  planeObject->textureSizeA[0] = planeObject->textureSizeA[1] = 1.0f;
  planeObject->textureSizeB[0] = planeObject->textureSizeB[1] = 1.0f;
  planeObject->billboardSize[0] = planeObject->billboardSize[1] = 1.0f;
  planeObject->alpha = 255;
  return planeObject;
}

namespace {

// Where the vertices of a plane made with room for them begin: right after the plane.
PlaneVertex* RoomOf(Plane* plane) { return reinterpret_cast<PlaneVertex*>(plane + 1); }
static_assert(sizeof(Plane) % alignof(PlaneVertex) == 0, "vertices follow the plane aligned");
// Every separate allocation starts on a max_align_t boundary and a plane's block does too, so
// a separately allocated vertex array can never start right after a plane: the address tells
// the two kinds apart.
static_assert(sizeof(Plane) % alignof(std::max_align_t) != 0, "room address never a separate block");

void SetNormal(Plane* plane, float nx, float ny, float nz) {
  const float largest = std::fmax(std::fabs(nx), std::fmax(std::fabs(ny), std::fabs(nz)));
  if (largest >= 1.0f) {
    const float factor = kMaxNormalComponent / largest;
    nx *= factor;
    ny *= factor;
    nz *= factor;
  }
  plane->normal[0] = nx;
  plane->normal[1] = ny;
  plane->normal[2] = nz;
}

// Links `plane` last in the plane object's planes.
void LinkPlaneLast(Plane* plane, PlaneObject* planeObject) {
  if (!planeObject->planes) {
    planeObject->planes = plane;
  } else {
    Plane* last = planeObject->planes;
    while (last->next) last = last->next;
    last->next = plane;
    plane->prev = last;
  }
}

}  // namespace

Plane* CreatePlane(PlaneVertex* vertices, int32_t count, float nx, float ny, float nz) {
  if (!vertices || count < 0) return nullptr;
  auto* plane = static_cast<Plane*>(calloc(1, sizeof(Plane)));
  if (!plane) return nullptr;
  plane->vertices = vertices;
  plane->vertexCount = count;
  SetNormal(plane, nx, ny, nz);
  return plane;
}

Plane* CreatePlaneWithRoom(int32_t count, float nx, float ny, float nz) {
  if (count < 1 || static_cast<size_t>(count) > (SIZE_MAX - sizeof(Plane)) / sizeof(PlaneVertex)) return nullptr;
  auto* plane = static_cast<Plane*>(
      count <= kPooledRoom ? SmallPlanePool().take()
                           : calloc(1, sizeof(Plane) + sizeof(PlaneVertex) * static_cast<size_t>(count)));
  if (!plane) return nullptr;
  plane->vertices = RoomOf(plane);
  plane->vertexCount = count;
  SetNormal(plane, nx, ny, nz);
  return plane;
}

Plane* AppendPlaneWithRoom(int32_t count, float nx, float ny, float nz, PlaneObject* planeObject) {
  Plane* plane = planeObject ? CreatePlaneWithRoom(count, nx, ny, nz) : nullptr;
  if (plane) LinkPlaneLast(plane, planeObject);
  return plane;
}

void ReleasePlaneVertices(Plane* plane) {
  if (!plane) return;
  if (plane->vertices != RoomOf(plane)) free(plane->vertices);
  plane->vertices = nullptr;
  plane->vertexCount = 0;
}

Plane* AppendPlane(PlaneVertex* vertices, int32_t count, float nx, float ny, float nz,
                   PlaneObject* planeObject) {
  Plane* plane = planeObject ? CreatePlane(vertices, count, nx, ny, nz) : nullptr;
  if (!plane) {
    free(vertices);  // the array was handed over; nothing holds it now
    return nullptr;
  }
  LinkPlaneLast(plane, planeObject);
  return plane;
}

void AppendPlaneObject(PlaneObject* planeObject, Objex* sourceObject) {
  if (!planeObject || !sourceObject) return;
  const DocState* ds = CurDocState();
  if (!ds) return;

  planeObject->sourceObject = sourceObject;
  planeObject->base2DObject = gBase2DObject;
  planeObject->actual3DObject = gActual3DObject;
  if (gActual3DObject) planeObject->actual3DType = gActual3DObject->type;

  ElevatePlaneObject(planeObject, gBase2DObject);
  planeObject->planeClass = PlaneClassOf(planeObject, sourceObject, ds);

  const int16_t kind = planeObject->renderKind;
  if (kind != 8 && kind != 9 && kind != 131 && sourceObject->type != kObjRoof)
    R3DTriangulatePlaneObject(planeObject);

  if (!gGLPlaneObjects) {
    // A new scene: whatever the index still holds is off the list.
    IndexClear();
    sIndexStale = false;
    NoteListSeen();
  } else if (!IndexMatchesList()) {
    sIndexStale = true;  // linked from outside: rebuilt when next asked
    JournalLost();
  }
  PlaneObject* tail = SceneTail();
  planeObject->next = nullptr;
  planeObject->prev = tail;
  if (tail)
    tail->next = planeObject;
  else
    gGLPlaneObjects = planeObject;
  gGLPlaneObjectsTail = planeObject;
  IndexRemove(planeObject);  // appended twice: the index keeps its last place
  IndexAdd(planeObject);
  Journal(planeObject->base2DObject);
  if (!sIndexStale) NoteListSeen();
  gDisableRenderInterrupt = 1;
}

void AppendPlaneObjectChild(PlaneObject* child, PlaneObject* parent) {
  if (!child || !parent) return;
  ElevatePlaneObject(child, gBase2DObject);
  child->planeClass = 2;
  LinkAtTail(&parent->children, child);
}

void AppendPlaneObjectAttachment(PlaneObject* attachment, PlaneObject* parent) {
  if (!attachment || !parent) return;
  ElevatePlaneObject(attachment, gBase2DObject);
  attachment->planeClass = 2;
  attachment->sourceObject = gBase2DObject;
  attachment->base2DObject = gBase2DObject;
  attachment->actual3DObject = gActual3DObject;
  if (gBase2DObject) attachment->actual3DType = gBase2DObject->type;
  LinkAtTail(&parent->attachments, attachment);
}

void UnlinkPlaneObject(PlaneObject* planeObject) {
  if (!planeObject) return;
  const bool wasSeen = IndexMatchesList();
  IndexRemove(planeObject);
  if (wasSeen) Journal(planeObject->base2DObject);
  else JournalLost();
  if (planeObject->prev)
    planeObject->prev->next = planeObject->next;
  else if (gGLPlaneObjects == planeObject)
    gGLPlaneObjects = planeObject->next;
  if (planeObject->next)
    planeObject->next->prev = planeObject->prev;
  else if (gGLPlaneObjectsTail == planeObject)
    gGLPlaneObjectsTail = planeObject->prev;
  if (!gGLPlaneObjects) gGLPlaneObjectsTail = nullptr;
  planeObject->prev = planeObject->next = nullptr;
  if (wasSeen) NoteListSeen();
}

void DeletePlane(Plane* plane) {
  if (!plane) return;
  // A plane holding a few vertices in its own block goes back to the pool (its block is at
  // least the pool's size); any other is freed (the pool's blocks are calloc's too).
  const bool pooled = plane->vertices == RoomOf(plane) && plane->vertexCount <= kPooledRoom;
  ReleasePlaneVertices(plane);
  if (pooled) SmallPlanePool().give(plane);
  else free(plane);
}

void DeletePlaneList(Plane* first) {
  while (first) {
    Plane* next = first->next;
    DeletePlane(first);
    first = next;
  }
}

void DeletePlaneObject(PlaneObject* planeObject) {
  gRenderDirty = 1;
  if (!planeObject) return;
  // Freed while still in the scene list (the whole list freed at once): the list is the
  // caller's to drop, and the index no longer describes it.
  if (IndexRemove(planeObject)) {
    sIndexStale = true;
    JournalLost();
  }
  DeletePlaneList(planeObject->planes);
  // Cut-outs and trims have no lists of their own as built; any a caller hung on them are
  // freed with them rather than lost.
  for (PlaneObject* child = planeObject->children; child;) {
    PlaneObject* next = child->next;
    DeletePlaneObject(child);
    child = next;
  }
  for (PlaneObject* trim = planeObject->attachments; trim;) {
    PlaneObject* next = trim->next;
    DeletePlaneObject(trim);
    trim = next;
  }
  PlaneObjectPool().give(planeObject);
}

void TakeTrimSlot(PlaneObject* po, TrimSlot& slot) {
  po->textureIdA = po->textureIdB = slot.textureID;
  po->textureScaleA[0] = po->textureScaleB[0] = slot.textureWidth;
  po->textureScaleA[1] = po->textureScaleB[1] = slot.textureHeight;
  po->colorA = po->colorB = slot.color;
  po->textureLinkA = po->textureLinkB = &slot.textureID;
  po->scaleLinkA = po->scaleLinkB = &slot.textureWidth;
  po->colorLinkA = po->colorLinkB = &slot.color;
}
