// The real-time frame: set-up, viewpoint through its display list, the plane objects
// through the scene list, and the display-list resets.
#include "render3d/RealTimeScene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "render3d/Cutaway.h"
#include "render3d/DamagedView.h"
#include "render3d/LotRendering.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TopoCutouts.h"

uint32_t gSceneDisplayList = 0;
uint32_t gViewpointDisplayList = 0;
uint32_t gBackgroundDisplayList = 0;
uint32_t gLotDisplayList = 0;
uint32_t gFlatLotDisplayList = 0;
uint32_t gBaseLotDisplayList = 0;
float gRTAspect = 1;
uint8_t gGLPickMode = 0;
float gPickX = 0, gPickY = 0;

namespace {
constexpr int16_t kKindPlant = 8, kKindUserPlant = 9;
constexpr int32_t kFirstCustomTextureID = 20000;

void DeleteList(uint32_t& name) {
  if (name) glDeleteLists(name, 1);
  name = 0;
}

bool LineMode(const DocState* ds) {
  const int16_t mode = ds->viewSetting12;
  return mode == kRenderWireframe || mode == kRenderClearView;
}

void ViewSize(int32_t* w, int32_t* h) {
  *w = *h = 0;
  if (gLiveViewHost.viewBounds) gLiveViewHost.viewBounds(w, h);
  if (*w < 0) *w = 0;
  if (*h < 1) *h = 1;
}

void ClearColor(const RGBColor& c) {
  glClearColor(c.red / 65535.0f, c.green / 65535.0f, c.blue / 65535.0f, 1);
}

void SendColor(const RGBColor& c, uint8_t alpha) {
  glColor4ub(static_cast<GLubyte>(c.red / 257), static_cast<GLubyte>(c.green / 257),
             static_cast<GLubyte>(c.blue / 257), alpha);
}

void PickMatrix() {
  if (!gGLPickMode) return;
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  gluPickMatrix(gPickX, viewport[3] - gPickY, 2.0, 2.0, viewport);
}

void DepthTestUnlessWireframe(const DocState* ds) {
  if (ds->viewSetting12 == kRenderWireframe) glDisable(GL_DEPTH_TEST);
  else glEnable(GL_DEPTH_TEST);
}

// The real-time perspective (narrowed to the pick point in pick mode), model view reset.
void LoadPerspective() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  PickMatrix();
  gluPerspective(gFOV, gRTAspect, 1.0, 40000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// The projection of the real-time frame (orthographic elevation or perspective).
void LoadProjection(DocState* ds) {
  if (ds->orthoView() != 0) {
    int32_t w, h;
    ViewSize(&w, &h);
    LoadOrthoElevation(ds, ComputeOrthoBox(ds, w, h), 0, 0);
  } else {
    LoadPerspective();
  }
  DepthTestUnlessWireframe(ds);
}

// The lot pass of ClearView: lines then an offset fill, with the given drawing routine.
template <typename Draw>
void ClearViewPasses(DocState* ds, Draw draw, bool colours) {
  int16_t& mode = ds->renderMode();
  const int16_t saved = mode;
  const uint8_t alpha = static_cast<uint8_t>(ds->clearViewOpacity() & 0xFF);
  mode = kRenderClearViewLines;
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  if (colours) SendColor(ds->clearViewLineColor(), alpha);
  draw();
  mode = kRenderClearViewFill;
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1, 1);
  if (colours) SendColor(ds->clearViewFillColor(), alpha);
  draw();
  glDisable(GL_POLYGON_OFFSET_FILL);
  mode = saved;
}
}  // namespace

namespace render3d {
void ResetSceneDisplayList() {
  DeleteList(gSceneDisplayList);
  ForgetScenePlan();
  ForgetFacingCameraList();
}
}  // namespace render3d
// The view's own lists changed: the next real-time frame draws the whole view.
void ResetViewpointDisplayList() {
  DeleteList(gViewpointDisplayList);
  render3d::ForgetLastFrame();
}
void ResetBackgroundDisplayList() {
  DeleteList(gBackgroundDisplayList);
  render3d::ForgetLastFrame();
}
void ResetLotDisplayList() {
  DeleteList(gLotDisplayList);
  render3d::ForgetLastFrame();
}
void ResetFlatLotDisplayList() {
  DeleteList(gFlatLotDisplayList);
  render3d::ForgetLastFrame();
}
void ResetBaseLotDisplayList() {
  DeleteList(gBaseLotDisplayList);
  render3d::ForgetLastFrame();
}

void RTInitializeGLScene() {
  DocState* ds = CurDocState();
  if (!ds || !LiveViewControllerExists()) return;
  gFOV = ds->navigationMode == kNavFlyAround ? gChopperFOV : gWalkFOV;
  render3d::EndDamagedScissor();
  render3d::ForgetLastFrame();
  ResetSceneDisplayList();
  ResetViewpointDisplayList();
  ResetBackgroundDisplayList();
  ResetLotDisplayList();
  ResetFlatLotDisplayList();
  ResetBaseLotDisplayList();
  int32_t w, h;
  ViewSize(&w, &h);
  if (!gGLPickMode) BindRenderTarget(w, h);
  glViewport(0, 0, w, h);
  gRTAspect = static_cast<float>(w) / h;

  const int16_t mode = ds->renderMode();
  if (mode == kRenderWireframe) ClearColor(ds->wireframeBackgroundColor());
  else if (LineMode(ds) || ds->orthoView() != 0) ClearColor(ds->clearViewFillColor());
  else if (ds->navigationStep <= 9 && !(ds->renderExclusions() & kLVOffMaterials)) glClearColor(0, 0, 0, 1);
  else ClearColor(ds->backgroundColor());
  glShadeModel(GL_FLAT);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DITHER);
  LoadPerspective();
  DepthTestUnlessWireframe(ds);
  SetupTopoTrimObjectList();
}

namespace {
void SetViewpoint(DocState* ds) {
  gRenderDirty = 1;
  const bool line = LineMode(ds);
  const bool materials = !(ds->renderExclusions() & kLVOffMaterials);
  const bool ortho = ds->orthoView() != 0;
  const bool imageCovers = ds->navigationStep <= 9 && !line && !ortho && materials &&
                           ds->backgroundTextureID < kFirstCustomTextureID;
  // Depth and stencil share one buffer: cleared in one pass.
  glClear((imageCovers ? GL_DEPTH_BUFFER_BIT : (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) |
          GL_STENCIL_BUFFER_BIT);
  gCurrentStencilValue = 2;
  if (!line && ds->navigationStep <= 9 && !gGLPickMode && !ortho && materials) RTRenderGLBackground();
  if (ortho) {
    int32_t w, h;
    ViewSize(&w, &h);
    glViewport(0, 0, w, h);
  }

  if (gViewpointDisplayList) {
    glCallList(gViewpointDisplayList);
  } else {
    gViewpointDisplayList = glGenLists(1);
    if (gViewpointDisplayList) glNewList(gViewpointDisplayList, GL_COMPILE_AND_EXECUTE);
    LoadProjection(ds);
    if (gViewpointDisplayList) glEndList();
  }
  if (!ortho) ApplySceneCamera(ds);
  if (gGLPickMode) glLoadName(1);

  // The cut-away's extent matters only while it cuts: a frame redrawing what an edit changed
  // with the cut-away off leaves measuring the edited design to the next whole frame.
  if (!render3d::DamagedFrameUnderway() || ds->cutAwayPosition() != 0) SetSlicePlaneBounds();
  LoadSliceClipPlane();
  if (ds->transparency()) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }

  const int16_t mode = ds->renderMode();
  const uint8_t alpha = static_cast<uint8_t>(ds->clearViewOpacity() & 0xFF);
  const bool topography = !(ds->renderExclusions() & kLVOffTopography);
  if (ds->navigationStep == 6 && !gGLPickMode && topography) {
    DepthTestUnlessWireframe(ds);
    if (mode == kRenderWireframe) {
      glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
      RenderGLLot();
    } else if (mode == kRenderClearView) {
      ClearViewPasses(ds, [] { RenderGLLot(); }, false);
    } else {
      RTRenderGLLotBase();
      RTRenderGLLot();
    }
  } else if (!ortho) {
    if (mode == kRenderWireframe) {
      glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
      SendColor(ds->wireframeLotColor(), alpha);
      RTRenderGLLot();
    } else if (mode == kRenderClearView) {
      ClearViewPasses(ds, [] { RTRenderGLLot(); }, true);
    } else {
      RTRenderGLLotBase();
      RTRenderGLLot();
    }
  }
  if (ds->transparency()) glDisable(GL_BLEND);
  if (mode == kRenderWireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}
}  // namespace

void RTSetViewpoint(DocState* ds) {
  if (!ds || !LiveViewControllerExists()) return;
  // After an edit alone, only the rectangle it changed is cleared and drawn again (the kept
  // image stands outside it); should the view have changed after all, the whole is drawn.
  render3d::BeginDamagedFrame(ds, gGLPlaneObjects);
  SetViewpoint(ds);
  if (!render3d::ViewpointHolds(ds)) {
    SetViewpoint(ds);
    render3d::ViewpointHolds(ds);
  }
}

void RealTimeRenderAllGLPlaneObjects(PlaneObject* list) {
  DocState* ds = CurDocState();
  if (!list || !ds) return;
  if (ds->cutAwayPosition() != 0) glEnable(GL_CLIP_PLANE0);
  DepthTestUnlessWireframe(ds);
  if (ds->transparency()) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  const int16_t mode = ds->renderMode();
  const uint8_t alpha = static_cast<uint8_t>(ds->clearViewOpacity() & 0xFF);
  if (mode == kRenderWireframe) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    RealTimeRenderGLPlaneObjects(list);
  } else if (mode == kRenderClearView) {
    const RGBColor line = ds->clearViewLineColor(), fill = ds->clearViewFillColor();
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    SendColor(line, alpha);
    RealTimeRenderGLPlaneObjects(list);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    auto mix = [](uint16_t l, uint16_t f) {
      return static_cast<uint16_t>(l + 0.87 * (static_cast<int>(f) - static_cast<int>(l)));
    };
    SendColor({mix(line.red, fill.red), mix(line.green, fill.green), mix(line.blue, fill.blue)},
              alpha);
    RealTimeRenderGLPlaneObjects(list);
    glDisable(GL_POLYGON_OFFSET_FILL);
  } else {
    RealTimeRenderGLPlaneObjects(list);
  }
  if (ds->transparency()) glDisable(GL_BLEND);
  glDisable(GL_CLIP_PLANE0);
  render3d::NoteSceneDrawn(list);
}

void RTFinalizeGLScene() {
  render3d::EndDamagedScissor();
  if (!LiveViewControllerExists()) return;
  render3d::FinishRealTimeFrame();
  const uint64_t serial = KeptFrameSerial() + 1;
  if (KeepFrame()) render3d::NoteFrameKept(serial);
}

void RTRenderGLPlaneObjects(PlaneObject* list) {
  for (PlaneObject* p = list; p; p = p->next) {
    if (p->renderKind == kKindPlant || p->renderKind == kKindUserPlant) RTRenderGLPlantObject(p);
    else RTRenderGLPlaneObject(p, 0);
  }
}

void RTRenderGLScene() {
  DocState* ds = CurDocState();
  if (!ds || !LiveViewControllerExists()) return;
  if (ds->antiAliasPasses() == 0) ds->antiAliasPasses() = 8;
  SetLVStatusString("");
  gRenderingOpenGL = 1;
  RTInitializeGLScene();
  if (gGLPlaneObjects) {
    if (gSceneDisplayList) {
      glCallList(gSceneDisplayList);
    } else {
      gSceneDisplayList = glGenLists(1);
      if (gSceneDisplayList) glNewList(gSceneDisplayList, GL_COMPILE_AND_EXECUTE);
      DepthTestUnlessWireframe(ds);
      RTRenderGLPlaneObjects(gGLPlaneObjects);
      glEnable(GL_DEPTH_TEST);
      if (gSceneDisplayList) glEndList();
    }
  }
  RTFinalizeGLScene();
  gRenderingOpenGL = 0;
  ResetAnimatedLVStatus();
}
