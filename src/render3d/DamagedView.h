// Real-time frames that redraw only what an edit changed. When the only changes since the last
// real-time frame are plan objects rebuilt or deleted through the scene list's edit road (the
// camera, the view, the settings, the lot and the background all as they were), the frame
// starts from the image the last one kept, and only the screen rectangle covering the edited
// objects' old and new drawings is cleared and drawn again: the background, the lot, and each
// list of the compiled scene whose bounds meet the rectangle, in the scene's order and under
// the same state as a whole frame. Pixels inside the rectangle are those of a whole frame,
// pixels outside it are the kept ones. Anything else, or any doubt, draws the whole frame.
#pragma once
#include <cstdint>

struct DocState;
struct PlaneObject;

namespace render3d {

// An axis-aligned box in GL coordinates (the plan's height negated), or everywhere.
struct SceneBox {
  float lo[3] = {1, 1, 1};
  float hi[3] = {0, 0, 0};
  bool everywhere = false;
  bool empty() const { return !everywhere && (lo[0] > hi[0] || lo[1] > hi[1] || lo[2] > hi[2]); }
  void grow(const SceneBox& other);
  void grow(float x, float y, float z);
};
// What `count` plane objects from `first` draw: their planes, cut-outs and trims. Everywhere
// when a vertex is not a finite number.
SceneBox DrawnBounds(const PlaneObject* first, int32_t count);

// ---- the plan of the compiled scene list, recorded as it is compiled ----
// Each call of a list with the bounds of what it draws, the stencil clears between them, and
// where the shading model and dithering are set for what follows.
void BeginScenePlan();
void PlanStencilClear();
// `leavesSmoothShading`: the list draws objects through the stencil, which leaves smooth
// shading and dithering on for what follows.
void PlanCall(uint32_t list, const SceneBox& box, bool leavesSmoothShading);
void PlanSmoothShading();
// The plan stands for `sceneList`, compiled from the list headed by `head`; without
// `complete` (a list could not be made) it is not used.
void EndScenePlan(uint32_t sceneList, const PlaneObject* head, bool complete);
// The scene list is gone, and its plan with it.
void ForgetScenePlan();

// ---- what edits changed since the last real-time frame ----
// The old or new drawing of a rebuilt or deleted plan object; `facingCamera` when it holds
// photos or plants, whose drawing follows the camera (the next frame is drawn whole).
void NoteRedrawn(const SceneBox& box, bool facingCamera);
// The scene lists were gone through whole (settings changed, or changes the edit road does not
// describe): the next frame is drawn whole.
void NoteSceneRedrawnWhole();

// ---- the frame (RealTimeScene) ----
// At the start of the viewpoint set-up: true when this frame redraws only the damaged
// rectangle (the scene lists are compiled now, the kept image is put back and the scissor set).
bool BeginDamagedFrame(DocState* ds, PlaneObject* list);
// After the viewpoint set-up: remembers what it set (matrices, viewport, clip plane, settings);
// false when a damaged frame finds them changed, and the frame is then drawn whole (the
// scissor is off again; the set-up runs once more).
bool ViewpointHolds(DocState* ds);
// A frame redrawing only the damaged rectangle is being drawn.
bool DamagedFrameUnderway();
// The scene list through its plan: each list whose bounds can reach the damaged rectangle, or
// the viewport in a whole frame, under the state the scene list would have set. False (nothing
// drawn) when the scene list has no plan for `list` or the view was not set up this frame.
bool DrawPlannedScene(const PlaneObject* list);
// The scene was drawn from the whole list of plane objects in this frame.
void NoteSceneDrawn(const PlaneObject* list);
// The scissor off before the frame is kept.
void EndDamagedScissor();
// The frame is drawn (before it is kept): what it was set up with is what the next frame
// compares its own with.
void FinishRealTimeFrame();
// After the frame was kept: the kept image of serial `keptSerial` (KeptFrameSerial) is the one
// the next frame may start from; another kept since (while the view was told of this one) is not.
void NoteFrameKept(uint64_t keptSerial);
// The next real-time frame is drawn whole (a new interaction, lists of the view reset).
void ForgetLastFrame();

// What the last real-time frame did: whether it was damaged only, and its rectangle (window
// pixels, x and y from the bottom left) and lists called.
struct DamagedFrameReport {
  bool damaged = false;
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t listsCalled = 0, listsPlanned = 0;
};
DamagedFrameReport LastFrameReport();
// Damaged frames drawn since the program started.
int64_t DamagedFrames();

}  // namespace render3d
