// Drawing the scene's plane-object lists: which plane objects are drawn, in which order
// (opaque, floors with their stencilled holes, transparent) and under which stencil state, with
// the user's exclusions, the Escape poll of long renders and the pick names of the real-time
// scene. The drawing of one plane object is RenderPlaneObject's.
#pragma once
#include <cstddef>
#include <cstdint>

struct DocState;
struct Objex;
struct PlaneObject;

// Render exclusion bits of DocState::renderExclusions().
constexpr int32_t kLVOffDoors = 1;
constexpr int32_t kLVOffObjects = 2;
constexpr int32_t kLVOffPlants = 4;
constexpr int32_t kLVOffRoofs = 8;
constexpr int32_t kLVOffPlumbing = 256;
constexpr int32_t kLVOffHVAC = 512;

// Switches of the shadow, plant and pick renders that steer the walkers.
extern uint8_t gRenderingOpenGLShadows;  // draw the shadow variants
extern uint8_t gNoPlants;                // leave plants out
extern uint8_t gHideNonShadowObjects;    // leave out what casts no shadow, and the transparent
extern uint8_t gSkipTransparent;         // leave the transparent pass out
extern uint8_t gGLPick3DSelectionMode;   // photos and plants carry pick names
extern uint8_t gGLFindAppliedMode;       // plants take part in picking
extern int32_t gTotalObjectsRendered;    // plane objects drawn while gCountRenderingObjects is set

// A plane object is looked at for Escape this often during anti-aliased renders.
constexpr int32_t kEscapePollInterval = 300;

// Full-quality drawing of a list: opaque pass, the floors of "First Floor", "Second Floor" and
// "Third Floor" with their holes, then the transparent pass.
void RenderGLPlaneObjects(PlaneObject* list);
// Real-time drawing: the static scene compiled once into gSceneDisplayList (never in
// wireframe), which calls the object lists below; photos and plants every frame, from the
// compiled scene's own list of them.
void RealTimeRenderGLPlaneObjects(PlaneObject* list);
// Only the fillers (part type 900), into the depth buffer.
void RenderGLFillerPlaneObjects(PlaneObject* list);
// Only the plants (render kinds 8 and 9).
void RenderGLPlaneObjectsPlantsOnly(PlaneObject* list);
// The same for plants gathered from a list beforehand, in its order.
void RenderGLPlants(PlaneObject* const* plants, size_t count);

// The real-time scene list calls one display list per stretch of consecutive plan objects
// (about 8 of them) that draw nothing through the stencil, and one per plan object that does;
// the floor pass calls one per stretch of consecutive plan objects with floor parts on a floor;
// an edit compiles the lists of the stretches (or objects) it rebuilt, and the scene list, again.
// In those lists an object's cut-outs are carved out of its faces (render3d/CarvedFaces.h)
// wherever geometry shows what the stencil would; the others still draw through the stencil.
namespace render3d {
// A stretch ends after about one plan object in this many (ListWalkRules' EndsStretch).
constexpr uint64_t kRealTimeStretch = 8;
// Drops the object's lists (its plane objects are rebuilt or deleted); they are deleted at
// the next compilation of the scene, when the context is current.
void DropObjectLists(const Objex* object);
void DropAllObjectLists();
// Deletes every object list now (the context is current and about to go).
void ReleaseObjectLists();
// The scene list is gone: its photos and plants are no longer known. Unless an
// EditedSceneScope lives, the next compilation checks every object list against its plane
// objects (their materials may have changed in place).
void ForgetFacingCameraList();
// Plan colour fields that faces link to were written without the objects being rebuilt (a
// material applied in the 3D window, a colour command): the scene list goes, and its next
// compilation checks every object list against its plane objects, edit or not.
void NoteColoursChangedInPlace();
// While one lives, resets of the scene list come from an edit that rebuilds or deletes plane
// objects through the scene list's own routines, whose journal (TakeSceneListChanges) names
// the plan objects changed: the next compilation replaces only their object lists, without a
// walk over the scene.
class EditedSceneScope {
 public:
  EditedSceneScope();
  ~EditedSceneScope();
  EditedSceneScope(const EditedSceneScope&) = delete;
  EditedSceneScope& operator=(const EditedSceneScope&) = delete;
};
// Compiles the real-time scene list from the object lists when it is missing, without drawing
// it (the frame calls it later); false when the scene is not drawn through it (picking,
// wireframe) or it could not be made.
bool CompileSceneListAhead(PlaneObject* list, DocState* ds);
// How many object and stretch lists have been compiled since the program started.
int64_t ObjectListCompilations();
// How many compilations of the scene list have walked the whole list of plane objects.
int64_t WholeSceneWalks();
// The plane objects the last RenderGLPlaneObjects took up, and the Escape polls that walk made
// (every 300th of them) for a pass that replays it from a display list: true when Escape
// stopped the render.
int32_t LastRenderWalkVisits();
bool ReplayRenderPolls(int32_t visits);
}  // namespace render3d

// Pick names: indices into a table rebuilt with the real-time scene, from 2 up (0 names
// nothing, 1 is the lot's). The plane object a name stands for, or null when the name is
// below 2, unknown, or its plane object has left the scene since.
PlaneObject* PlaneObjectForPickName(uint32_t name);
// The same for a name of the naming pass that has just ended, before anything can have changed
// the scene: the table's entry as it is, without the walk over the scene that the check above
// takes (every plane object that pass named is in the scene it drew).
PlaneObject* PlaneObjectForFreshPickName(uint32_t name);
