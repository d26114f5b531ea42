// Real-time frames that redraw only the screen rectangle edits changed; see DamagedView.h.
#include "render3d/DamagedView.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/Services.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"

extern float gBackgroundVertices[4];

namespace render3d {

void SceneBox::grow(const SceneBox& other) {
  if (other.everywhere) everywhere = true;
  if (everywhere || other.empty()) return;
  if (empty()) {
    *this = other;
    return;
  }
  for (int i = 0; i < 3; ++i) {
    lo[i] = std::min(lo[i], other.lo[i]);
    hi[i] = std::max(hi[i], other.hi[i]);
  }
}

void SceneBox::grow(float x, float y, float z) {
  if (everywhere) return;
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
    everywhere = true;
    return;
  }
  const float p[3] = {x, y, z};
  const bool first = empty();
  for (int i = 0; i < 3; ++i) {
    lo[i] = first ? p[i] : std::min(lo[i], p[i]);
    hi[i] = first ? p[i] : std::max(hi[i], p[i]);
  }
}

namespace {

void GrowByPlanes(SceneBox& box, const PlaneObject* po) {
  for (const Plane* plane = po->planes; plane; plane = plane->next) {
    if (!plane->vertices) continue;
    for (int32_t i = 0; i < plane->vertexCount; ++i) {
      const PlaneVertex& v = plane->vertices[i];
      box.grow(v.x, -v.y, v.z);
    }
  }
}

}  // namespace

SceneBox DrawnBounds(const PlaneObject* first, int32_t count) {
  SceneBox box;
  const PlaneObject* po = first;
  for (int32_t i = 0; po && i < count; ++i, po = po->next) {
    GrowByPlanes(box, po);
    for (const PlaneObject* c = po->children; c; c = c->next) GrowByPlanes(box, c);
    for (const PlaneObject* a = po->attachments; a; a = a->next) GrowByPlanes(box, a);
  }
  return box;
}

namespace {

// ---- the plan ----

struct Step {
  enum Kind : uint8_t { kCall, kStencilClear, kSmoothShading };
  Kind kind = kCall;
  bool leavesSmoothShading = false;
  uint32_t list = 0;
  SceneBox box;
};

struct Plan {
  std::vector<Step> steps;
  uint32_t sceneList = 0;
  const PlaneObject* head = nullptr;
  bool complete = false;
};
Plan sPlan;
Plan sPlanning;

// ---- damage ----

// Boxes beyond this many are merged into one.
constexpr size_t kMostDamageBoxes = 64;
std::vector<SceneBox> sDamage;
bool sDamageWhole = false;

// ---- frames ----

// A pixel around the rectangle for rounding and lines.
constexpr int32_t kMarginPixels = 2;

// What a real-time frame was set up with: two frames alike in all this draw the same view.
struct FrameKey {
  bool valid = false;
  const DocState* ds = nullptr;
  GLint framebuffer = 0;
  std::array<GLint, 4> viewport{};
  std::array<GLfloat, 16> projection{}, modelview{};
  std::array<GLfloat, 4> clearColor{};
  std::array<GLboolean, 4> states{};  // clip plane, blending, depth test, texturing
  std::array<GLint, 2> polygonMode{};
  std::array<GLdouble, 4> clipPlane{};
  std::array<float, 4> background{};
  std::array<double, 20> settings{};
  bool operator==(const FrameKey&) const = default;
};
FrameKey sThisFrame;  // set up by the frame being drawn
FrameKey sLastFrame;  // of the frame the kept image holds
uint64_t sLastKeptSerial = 0;
bool sSceneDrawn = false;

struct Rect {
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 past the last pixel
  bool empty() const { return x1 <= x0 || y1 <= y0; }
};
bool sDamaged = false;
bool sScissorOn = false;
Rect sRect;
DamagedFrameReport sReport;
int64_t sDamagedFrames = 0;

double ColourValue(const RGBColor& c) {
  return static_cast<double>((uint64_t{c.red} << 32) | (uint64_t{c.green} << 16) | c.blue);
}

FrameKey CurrentKey(DocState* ds) {
  FrameKey k;
  k.valid = true;
  k.ds = ds;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &k.framebuffer);
  glGetIntegerv(GL_VIEWPORT, k.viewport.data());
  glGetFloatv(GL_PROJECTION_MATRIX, k.projection.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, k.modelview.data());
  glGetFloatv(GL_COLOR_CLEAR_VALUE, k.clearColor.data());
  k.states = {glIsEnabled(GL_CLIP_PLANE0), glIsEnabled(GL_BLEND), glIsEnabled(GL_DEPTH_TEST),
              glIsEnabled(GL_TEXTURE_2D)};
  glGetIntegerv(GL_POLYGON_MODE, k.polygonMode.data());
  // The clip plane cuts the scene only where the cut-away is on.
  if (ds->cutAwayPosition() != 0) glGetClipPlane(GL_CLIP_PLANE0, k.clipPlane.data());
  std::copy(gBackgroundVertices, gBackgroundVertices + 4, k.background.begin());
  int32_t w = 0, h = 0;
  if (gLiveViewHost.viewBounds) gLiveViewHost.viewBounds(&w, &h);
  k.settings = {static_cast<double>(ds->renderMode()),
                static_cast<double>(ds->navigationStep),
                static_cast<double>(ds->navigationMode),
                static_cast<double>(ds->orthoView()),
                static_cast<double>(ds->renderExclusions()),
                static_cast<double>(ds->transparency()),
                static_cast<double>(ds->clearViewOpacity()),
                static_cast<double>(ds->cutAwayPosition()),
                static_cast<double>(ds->backgroundTextureID),
                static_cast<double>(gLiveViewOptions),
                static_cast<double>(gTexturedWire),
                static_cast<double>(gFOV),
                static_cast<double>(gRTAspect),
                static_cast<double>(GLTextureNamesChangeCount()),
                static_cast<double>(w),
                static_cast<double>(h),
                ColourValue(ds->clearViewLineColor()),
                ColourValue(ds->clearViewFillColor()),
                ColourValue(ds->wireframeLotColor()),
                ColourValue(ds->backgroundColor())};
  return k;
}

// Window coordinates of a box under the frame's matrices and viewport; false when a corner is
// at or behind the eye (the box may cover the whole view).
bool ProjectBox(const SceneBox& box, const FrameKey& key, const std::array<double, 16>& m, float* x0, float* y0,
                float* x1, float* y1) {
  if (box.everywhere) return false;
  *x0 = *y0 = 1e30f;
  *x1 = *y1 = -1e30f;
  for (int c = 0; c < 8; ++c) {
    const double p[3] = {(c & 1) ? box.hi[0] : box.lo[0], (c & 2) ? box.hi[1] : box.lo[1],
                         (c & 4) ? box.hi[2] : box.lo[2]};
    double q[4];
    for (int r = 0; r < 4; ++r) q[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
    if (!(q[3] > 1e-6)) return false;
    const double sx = key.viewport[0] + (q[0] / q[3] + 1) * 0.5 * key.viewport[2];
    const double sy = key.viewport[1] + (q[1] / q[3] + 1) * 0.5 * key.viewport[3];
    if (!std::isfinite(sx) || !std::isfinite(sy)) return false;
    *x0 = std::min(*x0, static_cast<float>(sx));
    *x1 = std::max(*x1, static_cast<float>(sx));
    *y0 = std::min(*y0, static_cast<float>(sy));
    *y1 = std::max(*y1, static_cast<float>(sy));
  }
  return true;
}

// The projection times the model view.
std::array<double, 16> ClipMatrix(const FrameKey& key) {
  std::array<double, 16> m{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += static_cast<double>(key.projection[k * 4 + r]) * key.modelview[c * 4 + k];
      m[c * 4 + r] = s;
    }
  return m;
}

Rect ViewportRect(const FrameKey& key) {
  return {key.viewport[0], key.viewport[1], key.viewport[0] + key.viewport[2], key.viewport[1] + key.viewport[3]};
}

// The damaged rectangle under the last frame's view, within its viewport.
Rect DamagedRect() {
  const Rect view = ViewportRect(sLastFrame);
  const std::array<double, 16> m = ClipMatrix(sLastFrame);
  Rect r{view.x1, view.y1, view.x0, view.y0};
  for (const SceneBox& box : sDamage) {
    if (box.empty()) continue;
    float x0, y0, x1, y1;
    if (!ProjectBox(box, sLastFrame, m, &x0, &y0, &x1, &y1)) return view;
    r.x0 = std::min(r.x0, static_cast<int32_t>(std::floor(x0)) - kMarginPixels);
    r.y0 = std::min(r.y0, static_cast<int32_t>(std::floor(y0)) - kMarginPixels);
    r.x1 = std::max(r.x1, static_cast<int32_t>(std::ceil(x1)) + kMarginPixels + 1);
    r.y1 = std::max(r.y1, static_cast<int32_t>(std::ceil(y1)) + kMarginPixels + 1);
  }
  r.x0 = std::max(r.x0, view.x0), r.y0 = std::max(r.y0, view.y0);
  r.x1 = std::min(r.x1, view.x1), r.y1 = std::min(r.y1, view.y1);
  return r;
}

// Solid and ClearView frames; wireframe draws no lists, the light view masks colours in them.
bool RenderModeRedrawsDamage(DocState* ds) {
  const int16_t mode = ds->renderMode();
  return mode == kRenderSolid || mode == kRenderClearView;
}

void ClearDamage() {
  sDamage.clear();
  sDamageWhole = false;
}

}  // namespace

// ---- the plan ----

void BeginScenePlan() { sPlanning = Plan{}; }

void PlanStencilClear() {
  Step s;
  s.kind = Step::kStencilClear;
  sPlanning.steps.push_back(s);
}

void PlanCall(uint32_t list, const SceneBox& box, bool leavesSmoothShading) {
  Step s;
  s.kind = Step::kCall;
  s.list = list;
  s.box = box;
  s.leavesSmoothShading = leavesSmoothShading;
  sPlanning.steps.push_back(s);
}

void PlanSmoothShading() {
  Step s;
  s.kind = Step::kSmoothShading;
  sPlanning.steps.push_back(s);
}

void EndScenePlan(uint32_t sceneList, const PlaneObject* head, bool complete) {
  sPlanning.sceneList = sceneList;
  sPlanning.head = head;
  sPlanning.complete = complete && sceneList != 0;
  sPlan = std::move(sPlanning);
  sPlanning = Plan{};
}

void ForgetScenePlan() { sPlan = Plan{}; }

// ---- damage ----

void NoteRedrawn(const SceneBox& box, bool facingCamera) {
  if (facingCamera || box.everywhere) sDamageWhole = true;
  if (sDamageWhole || box.empty()) return;
  if (sDamage.size() >= kMostDamageBoxes) {
    SceneBox all;
    for (const SceneBox& b : sDamage) all.grow(b);
    sDamage.assign(1, all);
  }
  sDamage.push_back(box);
}

void NoteSceneRedrawnWhole() { sDamageWhole = true; }

// ---- frames ----

bool BeginDamagedFrame(DocState* ds, PlaneObject* list) {
  EndDamagedScissor();
  sDamaged = false;
  sSceneDrawn = false;
  sThisFrame.valid = false;
  sReport = DamagedFrameReport{};
  // The image kept by the last real-time frame, of the whole scene, nothing else kept since.
  if (!ds || !list || list != gGLPlaneObjects || !sLastFrame.valid || gGLPickMode ||
      gRenderOpenGLAntiAlias || !RenderModeRedrawsDamage(ds) || KeptFrameSerial() != sLastKeptSerial ||
      sLastFrame.ds != ds)
    return false;
  // Nothing edited: the whole frame, as ever. Whole-scene changes: the whole frame.
  if (sDamageWhole || (sDamage.empty() && gSceneDisplayList != 0)) return false;
  // The edited objects' new drawings are known once their lists are compiled.
  if (!CompileSceneListAhead(list, ds)) return false;
  if (sDamageWhole || sDamage.empty() || !sPlan.complete || sPlan.sceneList != gSceneDisplayList ||
      sPlan.head != list)
    return false;
  GLint framebuffer = 0;
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  if (framebuffer != sLastFrame.framebuffer || !std::equal(viewport, viewport + 4, sLastFrame.viewport.begin()))
    return false;
  const Rect rect = DamagedRect();
  const Rect view = ViewportRect(sLastFrame);
  if (rect.empty() || (rect.x0 == view.x0 && rect.y0 == view.y0 && rect.x1 == view.x1 && rect.y1 == view.y1))
    return false;
  if (!RestoreKeptFrame()) return false;
  sRect = rect;
  sDamaged = true;
  glScissor(rect.x0, rect.y0, rect.x1 - rect.x0, rect.y1 - rect.y0);
  glEnable(GL_SCISSOR_TEST);
  sScissorOn = true;
  return true;
}

bool ViewpointHolds(DocState* ds) {
  sThisFrame = CurrentKey(ds);
  if (!sDamaged) return true;
  if (sThisFrame == sLastFrame) return true;
  EndDamagedScissor();
  sDamaged = false;
  return false;
}

bool DamagedFrameUnderway() { return sDamaged; }

bool DrawPlannedScene(const PlaneObject* list) {
  if (!sThisFrame.valid || list != sPlan.head || gSceneDisplayList == 0 || sPlan.sceneList != gSceneDisplayList ||
      !sPlan.complete)
    return false;
  // Where the lists are projected now: the view as set up for this frame.
  FrameKey now;
  glGetIntegerv(GL_VIEWPORT, now.viewport.data());
  glGetFloatv(GL_PROJECTION_MATRIX, now.projection.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, now.modelview.data());
  const std::array<double, 16> m = ClipMatrix(now);
  const Rect rect = sDamaged ? sRect : ViewportRect(now);
  const float rx0 = static_cast<float>(rect.x0) - 1, ry0 = static_cast<float>(rect.y0) - 1;
  const float rx1 = static_cast<float>(rect.x1) + 1, ry1 = static_cast<float>(rect.y1) + 1;
  // As the scene list starts.
  glDisable(GL_TEXTURE_2D);
  bool smoothOwed = false;
  int32_t called = 0, planned = 0;
  for (const Step& step : sPlan.steps) {
    switch (step.kind) {
      case Step::kStencilClear:
        glClear(GL_STENCIL_BUFFER_BIT);
        break;
      case Step::kSmoothShading:
        glShadeModel(GL_SMOOTH);
        glEnable(GL_DITHER);
        smoothOwed = false;
        break;
      case Step::kCall: {
        ++planned;
        float x0, y0, x1, y1;
        // A list whose bounds are empty draws nothing; one that may reach the rectangle is
        // called (projected at or behind the eye, it may cover the view).
        const bool draws = step.box.everywhere ||
                           (!step.box.empty() && (!ProjectBox(step.box, now, m, &x0, &y0, &x1, &y1) ||
                                                  (x1 >= rx0 && x0 <= rx1 && y1 >= ry0 && y0 <= ry1)));
        if (draws) {
          if (smoothOwed) {
            glShadeModel(GL_SMOOTH);
            glEnable(GL_DITHER);
            smoothOwed = false;
          }
          glCallList(step.list);
          ++called;
        } else if (step.leavesSmoothShading) {
          // What it would have left on for the lists after it.
          smoothOwed = true;
        }
        break;
      }
    }
  }
  if (smoothOwed) {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DITHER);
  }
  sReport.listsCalled += called;
  sReport.listsPlanned += planned;
  return true;
}

void NoteSceneDrawn(const PlaneObject* list) {
  if (list == gGLPlaneObjects && !gGLPickMode) sSceneDrawn = true;
}

void EndDamagedScissor() {
  if (!sScissorOn) return;
  glDisable(GL_SCISSOR_TEST);
  sScissorOn = false;
}

void FinishRealTimeFrame() {
  const bool whole = sThisFrame.valid && sSceneDrawn && !gGLPickMode;
  sLastFrame = whole ? sThisFrame : FrameKey{};
  sReport.damaged = sDamaged && whole;
  if (sReport.damaged) {
    sReport.x = sRect.x0, sReport.y = sRect.y0;
    sReport.width = sRect.x1 - sRect.x0, sReport.height = sRect.y1 - sRect.y0;
    ++sDamagedFrames;
  }
  sDamaged = false;
  sSceneDrawn = false;
  sThisFrame.valid = false;
  // Whatever was edited so far is in the frame now.
  ClearDamage();
}

void NoteFrameKept(uint64_t keptSerial) { sLastKeptSerial = keptSerial; }

void ForgetLastFrame() {
  sLastFrame = FrameKey{};
  sThisFrame.valid = false;
}

DamagedFrameReport LastFrameReport() { return sReport; }
int64_t DamagedFrames() { return sDamagedFrames; }

}  // namespace render3d
