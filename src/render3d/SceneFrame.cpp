// The full-quality frame: set-up, camera and orthographic elevations, the jittered passes of
// the anti-aliased render summed in our float accumulator, and the finished image kept for
// the 3D view. Qt surfaces have no accumulation buffer; the accumulator here keeps glAccum's
// clear, accumulate, multiply and return.
#define GL_GLEXT_PROTOTYPES 1
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"
#include "render3d/SceneSurfaces.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/LineGeometry.h"
#include "platform/Strings.h"
#include "render3d/Cutaway.h"
#include "render3d/FinalSceneLists.h"
#include "render3d/Lighting.h"
#include "render3d/LotRendering.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderPlaneObject.h"

float gWalkFOV = 45.0f;
float gChopperFOV = 38.0f;
uint8_t gPrinting3DView = 0;
uint8_t g3DViewPrintInterrupted = 0;

float gFOV = 45.0f;
uint8_t gRenderOpenGLAntiAlias = 0;
uint8_t gBreakOpenGLRender = 0;
uint8_t gRenderingOpenGL = 0;
int32_t gGLObjectsRendered = 0;
uint8_t gCountRenderingObjects = 0;
int32_t gCurrentStencilValue = 2;
uint8_t gRenderPlantsInColor = 0;
uint8_t gRenderingShadowMap = 0;
float gSlicePaneEquation[4] = {0, 0, 0, 0};

const JitterPoint j4[4] = {
    {-0.208147f, 0.353730f}, {0.203849f, -0.353780f}, {-0.292626f, -0.149945f},
    {0.296924f, 0.149994f}};
const JitterPoint j8[8] = {
    {-0.334818f, 0.435331f}, {0.286438f, -0.393495f}, {0.459462f, 0.141540f},
    {-0.414498f, -0.192829f}, {-0.183790f, 0.082102f}, {-0.079263f, -0.317383f},
    {0.102254f, 0.299133f}, {0.164216f, -0.054399f}};
const JitterPoint j15[15] = {
    {0.285561f, 0.188437f}, {0.360176f, -0.065688f}, {-0.111751f, 0.275019f},
    {-0.055918f, -0.215197f}, {-0.080231f, -0.470965f}, {0.138721f, 0.409168f},
    {0.384120f, 0.458500f}, {-0.454968f, 0.134088f}, {0.179271f, -0.331196f},
    {-0.307049f, -0.364927f}, {0.105354f, -0.010099f}, {-0.154180f, 0.021794f},
    {-0.370135f, -0.116425f}, {0.451636f, -0.300013f}, {-0.370610f, 0.387504f}};
const JitterPoint j24[24] = {
    {0.030245f, 0.136384f}, {0.018865f, -0.348867f}, {-0.350114f, -0.472309f},
    {0.222181f, 0.149524f}, {-0.393670f, -0.266873f}, {0.404568f, 0.230436f},
    {0.098381f, 0.465337f}, {0.462671f, 0.442116f}, {0.400373f, -0.212720f},
    {-0.409988f, 0.263345f}, {-0.115878f, -0.001981f}, {0.348425f, -0.009237f},
    {-0.464016f, 0.066467f}, {-0.138674f, -0.468006f}, {0.144932f, -0.022780f},
    {-0.250195f, 0.150161f}, {-0.181400f, -0.264219f}, {0.196097f, -0.234139f},
    {-0.311082f, -0.078815f}, {0.268379f, 0.366778f}, {-0.040601f, 0.327109f},
    {-0.234392f, 0.354659f}, {-0.003102f, -0.154402f}, {0.297997f, -0.417965f}};

namespace {
constexpr double kNear = 1.0, kFar = 40000.0;
constexpr double kDegrees = M_PI / 180.0;

// The renderer's own framebuffer, and the framebuffer holding the image FinalizeGLScene kept
// (copied on the GPU; read into memory only when asked for).
struct RenderTarget {
  GLuint framebuffer = 0, color = 0, depthStencil = 0;
  int32_t width = 0, height = 0;
};
RenderTarget sTarget;
RenderTarget sKeptTarget;
std::vector<uint8_t> sKept;
bool sKeptRead = false;
int32_t sKeptWidth = 0, sKeptHeight = 0;
uint64_t sKeptSerial = 0;

// The float accumulator over the viewport it was cleared with.
struct Accumulator {
  GLint x = 0, y = 0;
  GLsizei width = 0, height = 0;
  std::vector<float> sum;
  std::vector<uint8_t> scratch;
};
Accumulator sAccum;

bool ControllerAndDocument(DocState** ds) {
  *ds = CurDocState();
  return *ds && LiveViewControllerExists();
}

void ViewSize(int32_t* w, int32_t* h) {
  *w = *h = 0;
  if (gLiveViewHost.viewBounds) gLiveViewHost.viewBounds(w, h);
  if (*w < 0) *w = 0;
  if (*h < 0) *h = 0;
}

bool Perspective(DocState* ds) { return ds->orthoView() == 0; }

// Runs a drawing routine the way the plane objects are drawn in the current mode.
template <typename Draw>
void DrawByMode(DocState* ds, Draw draw) {
  int16_t& mode = ds->renderMode();
  if (mode == kRenderWireframe) {
    const uint8_t saved = gDisableRenderInterrupt;
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    draw();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gDisableRenderInterrupt = saved;
  } else if (mode == kRenderClearView) {
    const uint8_t saved = gDisableRenderInterrupt;
    mode = kRenderClearViewLines;
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    draw();
    gDisableRenderInterrupt = saved;
    mode = kRenderClearViewFill;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    draw();
    glDisable(GL_POLYGON_OFFSET_FILL);
    mode = kRenderClearView;
  } else {
    draw();
  }
}

void DrawPlaneObjectsByMode(DocState* ds) {
  DrawByMode(ds, [] { RenderGLPlaneObjects(gGLPlaneObjects); });
}

// The plane objects of the passes of an anti-aliased render, from the kept full-quality lists
// (FinalSceneLists): sorted and shaded once per change, not once per frame or pass. Every pass
// starts from the strip memory the frame started with, as the first pass's drawing did; the
// frame leaves it as one pass left it. The shadow variants are walked as before.
//
// The memory a frame starts from is the one the last frame left: while the scene stands, the
// one this frame leaves too. After a strip changed in place (another source object, another
// colour) or a rebuild forgot the memory, it names a strip that is no longer drawn so, and the
// first strip of the frame would share an edge colour with it for one frame (the next frame
// shows the scene as it is). The first pass is then drawn again from the memory it left, which
// drawing the same scene leaves again.
class FinalPasses {
 public:
  void Draw(DocState* ds, int32_t pass) {
    if (gRenderingOpenGLShadows) {
      DrawPlaneObjectsByMode(ds);
      return;
    }
    if (pass == 0) start_ = {gPrevPlaneParentObject, gPrevPlaneColor};
    gPrevPlaneParentObject = start_.first;
    gPrevPlaneColor = start_.second;
    DrawByMode(ds, [ds, pass] {
      if (!gBreakOpenGLRender) render3d::DrawFinalScene(ds, pass == 0);
    });
  }
  // After the first pass: whether it is to be drawn again (once), having started from memory
  // that differs from what it left.
  bool FirstPassAgain() {
    if (gRenderingOpenGLShadows || redrawn_ || gBreakOpenGLRender) return false;
    // With no colour kept the parent draws nothing: a strip of it takes its own colour.
    const bool startEmpty = start_.second == kNoColour, leftEmpty = gPrevPlaneColor == kNoColour;
    const bool same = startEmpty || leftEmpty ? startEmpty == leftEmpty
                                              : start_.first == gPrevPlaneParentObject && start_.second == gPrevPlaneColor;
    if (same) return false;
    redrawn_ = true;
    return true;
  }

 private:
  static constexpr RGBColor kNoColour{1, 1, 1};
  std::pair<Objex*, RGBColor> start_{nullptr, kNoColour};
  bool redrawn_ = false;
};

void DrawLotByMode(DocState* ds) {
  DrawByMode(ds, [] { RenderGLLot(); });
}

// The background, drawn as ClearView fill in ClearView and the orthographic views.
void DrawBackground(DocState* ds, int16_t antiAliased, int32_t pass) {
  int16_t& mode = ds->renderMode();
  const int16_t saved = mode;
  if (mode == kRenderClearView || ds->orthoView() != 0) mode = kRenderClearViewFill;
  RenderGLBackground(antiAliased, pass);
  mode = saved;
}

void SetFieldOfView(const DocState* ds) {
  gFOV = ds->navigationMode == kNavFlyAround ? gChopperFOV : gWalkFOV;
}
}  // namespace

void ApplySceneCamera(DocState* ds) {
  if (ds->navigationMode == kNavWalkThrough) {
    const float pitch = ds->controlledNavigation() ? ds->walkPitchAngle() : 0.0f;
    glRotatef(pitch, 1, 0, 0);
    glRotatef(ds->walkViewAngle(), 0, -1, 0);
    glTranslatef(-ds->walkEyePoint().floatH, -ds->walkEyeHeight(), -ds->walkEyePoint().floatV);
  } else {
    const double d = ds->flyDistance(), a = ds->flyAngleX(), b = ds->flyAngleY();
    const double h = d * std::cos(a * kDegrees);
    const double y = -d * std::sin(a * kDegrees);
    const double x = h * std::cos(b * kDegrees), z = h * std::sin(b * kDegrees);
    glRotatef(static_cast<GLfloat>(a), 1, 0, 0);
    glRotatef(static_cast<GLfloat>(b + 90), 0, 1, 0);
    glTranslated(x, y, z);
    glTranslatef(-ds->flyCenter().floatH, 0, -ds->flyCenter().floatV);
  }
}

OrthoBox ComputeOrthoBox(DocState* ds, int32_t viewWidth, int32_t viewHeight) {
  Float3DRect B;
  B.floatTop = B.floatLeft = B.floatBack = 32000;
  B.floatBottom = B.floatRight = B.floatFront = -32000;
  if (gCurDocument) GetAllSpecialLayers3DBounds(gCurDocument->itsLayers, 0, &B, 0);
  if (B.floatLeft == 32000 && B.floatRight == -32000 && B.floatTop == 32000 &&
      B.floatBottom == -32000 && B.floatBack == 32000 && B.floatFront == -32000) {
    // An empty design: frame the plan rectangle rather than a box of no width.
    B.floatLeft = ds->planBounds.floatLeft;
    B.floatRight = ds->planBounds.floatRight;
    B.floatBack = ds->planBounds.floatTop;
    B.floatFront = ds->planBounds.floatBottom;
    B.floatTop = B.floatBottom = 0;
  }
  OrthoBox box;
  switch (ds->orthoView()) {
    case 2:
      box.left = B.floatBack, box.right = B.floatFront, box.rotation = 270;
      break;
    case 3:
      box.left = -B.floatRight, box.right = -B.floatLeft, box.rotation = 180;
      break;
    case 4:
      box.left = -B.floatFront, box.right = -B.floatBack, box.rotation = 90;
      break;
    default:
      box.left = B.floatLeft, box.right = B.floatRight, box.rotation = 0;
      break;
  }
  const double s = std::fabs(box.right - box.left) / 2;
  box.offset = -(B.floatBottom - B.floatTop) / 2;
  const double w = viewWidth == 0 ? 1 : viewWidth;
  box.halfHeight = s * viewHeight / w;
  return box;
}

void LoadOrthoElevation(DocState* ds, const OrthoBox& box, double dx, double dy) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(box.left + dx, box.right + dx, -box.halfHeight + dy, box.halfHeight + dy, -30000, 30000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glRotated(box.rotation, 0, -1, 0);
  glTranslated(0, box.offset, 0);
  float& scale = ds->orthoScale();
  if (!(scale > 0)) scale = 1;
  if (scale != 1) glScalef(scale, scale, scale);
}

PassPlan AntiAliasPassPlan(int32_t* storedPasses) {
  if (*storedPasses == 0) *storedPasses = 8;
  switch (*storedPasses) {
    case 1: case 2: case 3: return {*storedPasses, j8};
    case 4: return {4, j4};
    case 15: return {15, j15};
    case 24: return {24, j24};
    default: return {8, j8};
  }
}

namespace {
// Makes (or resizes) a framebuffer with a colour renderbuffer and, when asked, depth and stencil.
bool PrepareFramebuffer(RenderTarget& t, int32_t width, int32_t height, bool depth) {
  if (!t.framebuffer) {
    glGenFramebuffers(1, &t.framebuffer);
    glGenRenderbuffers(1, &t.color);
    if (depth) glGenRenderbuffers(1, &t.depthStencil);
    if (!t.framebuffer || !t.color || (depth && !t.depthStencil)) return false;
  }
  glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
  if (t.width != width || t.height != height) {
    glBindRenderbuffer(GL_RENDERBUFFER, t.color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, t.color);
    if (depth) {
      glBindRenderbuffer(GL_RENDERBUFFER, t.depthStencil);
      glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
      glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                t.depthStencil);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    t.width = width, t.height = height;
  }
  glDrawBuffer(GL_COLOR_ATTACHMENT0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void FreeFramebuffer(RenderTarget& t) {
  if (t.framebuffer) glDeleteFramebuffers(1, &t.framebuffer);
  if (t.color) glDeleteRenderbuffers(1, &t.color);
  if (t.depthStencil) glDeleteRenderbuffers(1, &t.depthStencil);
  t = RenderTarget{};
}
}  // namespace

bool BindRenderTarget(int32_t width, int32_t height) {
  return PrepareFramebuffer(sTarget, std::max(width, 1), std::max(height, 1), true);
}

const std::vector<uint8_t>& KeptFrame(int32_t* width, int32_t* height) {
  if (!sKeptRead && sKeptTarget.framebuffer && sKeptWidth > 0 && sKeptHeight > 0) {
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sKeptTarget.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    sKept.resize(static_cast<size_t>(sKeptWidth) * sKeptHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, sKeptWidth, sKeptHeight, GL_RGBA, GL_UNSIGNED_BYTE, sKept.data());
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (static_cast<GLuint>(previous) == sTarget.framebuffer) glReadBuffer(GL_COLOR_ATTACHMENT0);
    sKeptRead = true;
  }
  if (width) *width = sKeptWidth;
  if (height) *height = sKeptHeight;
  return sKept;
}

bool HasKeptFrame() { return sKeptTarget.framebuffer && sKeptWidth > 0 && sKeptHeight > 0; }

uint64_t KeptFrameSerial() { return sKeptSerial; }

bool RestoreKeptFrame() {
  GLint vp[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, vp);
  if (!HasKeptFrame() || vp[2] != sKeptWidth || vp[3] != sKeptHeight) return false;
  GLint draw = 0, read = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, sKeptTarget.framebuffer);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glBlitFramebuffer(0, 0, sKeptWidth, sKeptHeight, vp[0], vp[1], vp[0] + sKeptWidth, vp[1] + sKeptHeight,
                    GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
  return true;
}

void DrawKeptFrame(uint32_t target, int32_t width, int32_t height) {
  glBindFramebuffer(GL_FRAMEBUFFER, target);
  glViewport(0, 0, width, height);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  if (!sKeptTarget.framebuffer || sKeptWidth < 1 || sKeptHeight < 1) return;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, sKeptTarget.framebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
  const int32_t w = std::min(width, sKeptWidth), h = std::min(height, sKeptHeight);
  glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, target);
}

namespace {
void FreePixelUpload();
size_t PixelUploadBytes();
}  // namespace

void ReleaseRenderTarget() {
  render3d::ReleaseObjectLists();  // the kept full-quality lists with them
  FreeFramebuffer(sTarget);
  FreeFramebuffer(sKeptTarget);
  ++sKeptSerial;
  FreePixelUpload();
  std::vector<uint8_t>().swap(sKept);
  sKeptRead = false;
  sKeptWidth = sKeptHeight = 0;
  std::vector<float>().swap(sAccum.sum);
  std::vector<uint8_t>().swap(sAccum.scratch);
}

void ReleaseFrameScratch() {
  FreePixelUpload();
  std::vector<uint8_t>().swap(sKept);
  sKeptRead = false;
  std::vector<float>().swap(sAccum.sum);
  std::vector<uint8_t>().swap(sAccum.scratch);
}

size_t FrameScratchBytes() {
  return PixelUploadBytes() + sKept.capacity() + sAccum.sum.capacity() * sizeof(float) + sAccum.scratch.capacity();
}

void AccumClear() {
  GLint vp[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, vp);
  sAccum.x = vp[0], sAccum.y = vp[1];
  sAccum.width = std::max(vp[2], 0), sAccum.height = std::max(vp[3], 0);
  const size_t n = static_cast<size_t>(sAccum.width) * sAccum.height * 4;
  sAccum.sum.assign(n, 0.0f);
  sAccum.scratch.resize(n);
}

namespace {
void ReadColorInto(std::vector<uint8_t>& pixels) {
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(sAccum.x, sAccum.y, sAccum.width, sAccum.height, GL_RGBA, GL_UNSIGNED_BYTE,
               pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
}
}  // namespace

void AccumAccumulate(float weight) {
  if (sAccum.sum.empty()) return;
  ReadColorInto(sAccum.scratch);
  const float k = weight / 255.0f;
  float* sum = sAccum.sum.data();
  const uint8_t* px = sAccum.scratch.data();
  for (size_t i = 0, n = sAccum.sum.size(); i < n; ++i) sum[i] += px[i] * k;
}

void AccumLoad(float weight) {
  if (sAccum.sum.empty()) return;
  ReadColorInto(sAccum.scratch);
  const float k = weight / 255.0f;
  for (size_t i = 0, n = sAccum.sum.size(); i < n; ++i) sAccum.sum[i] = sAccum.scratch[i] * k;
}

void AccumMultiply(float factor) {
  for (float& v : sAccum.sum) v *= factor;
}

namespace {
// The accumulated image goes to the view through a texture and a blit rather than glDrawPixels:
// once a context has drawn pixels, Mesa replays display lists on a slower road for the rest of
// its life (the real-time frames after a final frame took half as long again). A blit writes
// the pixels as they are, past every fragment operation but the scissor, as the glDrawPixels
// with those operations off does.
struct PixelUpload {
  GLuint framebuffer = 0, texture = 0;
  GLsizei width = 0, height = 0;
};
PixelUpload sUpload;

bool BlitPixels(GLint x, GLint y, GLsizei width, GLsizei height, const uint8_t* rgba) {
  if (width < 1 || height < 1) return false;
  // A blit cannot write into a multisampled framebuffer: glDrawPixels does it there.
  GLint samples = 0;
  glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
  if (samples > 0) return false;
  if (!sUpload.framebuffer) glGenFramebuffers(1, &sUpload.framebuffer);
  if (!sUpload.texture) glGenTextures(1, &sUpload.texture);
  if (!sUpload.framebuffer || !sUpload.texture) return false;
  GLint readFramebuffer = 0, texture = 0, unpackAlignment = 4, unpackRowLength = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &unpackRowLength);
  glBindTexture(GL_TEXTURE_2D, sUpload.texture);
  if (sUpload.width != width || sUpload.height != height) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    sUpload.width = width, sUpload.height = height;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, unpackRowLength);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, sUpload.framebuffer);
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sUpload.texture, 0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  const bool complete = glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (complete)
    glBlitFramebuffer(0, 0, width, height, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
  return complete;
}

size_t PixelUploadBytes() { return sUpload.texture ? size_t(sUpload.width) * size_t(sUpload.height) * 4 : 0; }

void FreePixelUpload() {
  if (sUpload.framebuffer) glDeleteFramebuffers(1, &sUpload.framebuffer);
  if (sUpload.texture) glDeleteTextures(1, &sUpload.texture);
  sUpload = PixelUpload{};
}
}  // namespace

void AccumReturn(float factor) {
  if (sAccum.sum.empty()) return;
  for (size_t i = 0, n = sAccum.sum.size(); i < n; ++i) {
    const float v = sAccum.sum[i] * factor * 255.0f + 0.5f;
    sAccum.scratch[i] = static_cast<uint8_t>(v <= 0 ? 0 : v >= 255 ? 255 : v);
  }
  if (BlitPixels(sAccum.x, sAccum.y, sAccum.width, sAccum.height, sAccum.scratch.data())) return;
  glPushAttrib(GL_ENABLE_BIT | GL_PIXEL_MODE_BIT | GL_COLOR_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST), glDisable(GL_STENCIL_TEST), glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST), glDisable(GL_TEXTURE_2D), glDisable(GL_DITHER);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelZoom(1, 1);
  glWindowPos2i(sAccum.x, sAccum.y);
  glDrawPixels(sAccum.width, sAccum.height, GL_RGBA, GL_UNSIGNED_BYTE, sAccum.scratch.data());
  glPopAttrib();
}

namespace {
// The elevation's box while one anti-aliased frame is drawn: the design's bounds are measured
// once a frame, not once a pass (nor again for the frame's set-up).
const OrthoBox* sFrameOrthoBox = nullptr;
}  // namespace

void InitializeGLScene() {
  DocState* ds;
  if (!ControllerAndDocument(&ds)) return;
  SetFieldOfView(ds);
  int32_t w, h;
  ViewSize(&w, &h);
  BindRenderTarget(w, h);
  glViewport(0, 0, w, h);
  const double aspect = static_cast<double>(w) / (h == 0 ? 1 : h);
  const int16_t mode = ds->renderMode();

  if (gRenderPlantsInColor) {
    glClearColor(1, 1, 1, 1);
  } else if (mode == kRenderWireframe) {
    const RGBColor& c = ds->wireframeBackgroundColor();
    glClearColor(c.red / 65535.0f, c.green / 65535.0f, c.blue / 65535.0f, 1);
  } else {
    glClearColor(0, 0, 0, 1);
  }
  glShadeModel(GL_SMOOTH);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_CULL_FACE);
  glEnable(GL_DITHER);

  if (!gRenderOpenGLAntiAlias && mode != kRenderLightView && mode != kRenderWireframe)
    DrawBackground(ds, 0, 0);

  if (!Perspective(ds)) {
    LoadOrthoElevation(ds, sFrameOrthoBox ? *sFrameOrthoBox : ComputeOrthoBox(ds, w, h), 0, 0);
  } else {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(gFOV, aspect, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    ApplySceneCamera(ds);
  }

  SetSlicePlaneBounds();
  LoadSliceClipPlane();
  glClear(GL_STENCIL_BUFFER_BIT);
  gCurrentStencilValue = 2;

  // The lot.
  const bool topography = !(ds->renderExclusions() & kLVOffTopography);
  auto blendOn = [ds] {
    if (ds->transparency()) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
  };
  if (!Perspective(ds)) {
    if (topography) return;
    blendOn();
    DrawLotByMode(ds);
  } else if (!topography) {
    blendOn();
    DrawLotByMode(ds);
  } else {
    if (gRenderOpenGLAntiAlias) return;
    blendOn();
    if (mode != kRenderClearView) RenderGLLotBase();
    DrawLotByMode(ds);
  }
  if (ds->transparency()) glDisable(GL_BLEND);
}

void InitializeAntiAliasGLScene(double fovy, double aspect, double jitterX, double jitterY,
                                double) {
  NoteServiceCall("InitializeAntiAliasGLScene", nullptr);
  DocState* ds;
  if (!ControllerAndDocument(&ds)) return;
  int32_t w, h;
  ViewSize(&w, &h);
  if (h == 0) h = 1;
  glViewport(0, 0, w, h);
  const bool topography = !(ds->renderExclusions() & kLVOffTopography);
  if (!Perspective(ds)) {
    // The box moves against the jitter by the shift the perspective frustum would get at a
    // near distance of three view widths.
    const OrthoBox box = sFrameOrthoBox ? *sFrameOrthoBox : ComputeOrthoBox(ds, w, h);
    const double n = 3.0 * w, T = std::tan(fovy * kDegrees / 2);
    const double dx = -(2 * n * T * aspect * jitterX / (w == 0 ? 1 : w));
    const double dy = -(2 * n * T * jitterY / h);
    LoadOrthoElevation(ds, box, dx, dy);
    if (topography) return;
    DrawLotByMode(ds);
    return;
  }
  ApplySceneCamera(ds);
  if (topography) {
    if (ds->transparency()) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (ds->renderMode() != kRenderClearView) {
      const GLboolean stencil = glIsEnabled(GL_STENCIL_TEST);
      glDisable(GL_STENCIL_TEST);
      RenderGLLotBase();
      if (stencil) glEnable(GL_STENCIL_TEST);
    }
    DrawLotByMode(ds);
    glDisable(GL_BLEND);
  } else {
    DrawLotByMode(ds);
  }
}

void RenderGLScene() {
  DocState* ds;
  if (!ControllerAndDocument(&ds)) return;
  const PassPlan plan = AntiAliasPassPlan(&ds->antiAliasPasses());
  gGLObjectsRendered = 0;
  if (!gRenderOpenGLAntiAlias) ResetAnimatedLVStatus();
  gRenderingOpenGL = 1;

  // An anti-aliased elevation's box is measured before the set-up, which takes it too, when
  // the set-up draws nothing first (with the topography off it draws the lot, and the box is
  // measured after it); a view of no height is framed as one of height 1.
  OrthoBox frameBox;
  if (gRenderOpenGLAntiAlias && !Perspective(ds) && !(ds->renderExclusions() & kLVOffTopography)) {
    int32_t w, h;
    ViewSize(&w, &h);
    if (h != 0) {
      frameBox = ComputeOrthoBox(ds, w, h);
      sFrameOrthoBox = &frameBox;
    }
  }
  InitializeGLScene();
  const bool cut = ds->cutAwayPosition() != 0;
  if (cut) glEnable(GL_CLIP_PLANE0);
  auto blendOn = [ds] {
    if (ds->transparency()) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
  };

  if (gRenderOpenGLAntiAlias) {
    glDisable(GL_CLIP_PLANE0);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    const double vw = vp[2], vh = vp[3] == 0 ? 1 : vp[3];
    AccumClear();
    FinalPasses final;
    if (!Perspective(ds) && !sFrameOrthoBox) {
      int32_t w, h;
      ViewSize(&w, &h);
      frameBox = ComputeOrthoBox(ds, w, h == 0 ? 1 : h);
      sFrameOrthoBox = &frameBox;
    }
    int32_t ran = 0;
    for (int32_t i = 0; i < plan.passes; ++i) {
      if (gBreakOpenGLRender) break;
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      glClear(GL_STENCIL_BUFFER_BIT);
      gCurrentStencilValue = 2;
      if (ds->renderMode() != kRenderWireframe) DrawBackground(ds, 1, i);
      const JitterPoint& j = plan.table[i];
      if (!Perspective(ds)) InitializeAntiAliasGLScene(gFOV, vw / vh, j.x, j.y, 1.0);
      else accPerspective(gFOV, vw / vh, kNear, kFar, j.x, j.y, 0.0, 0.0, 1.0);
      if (cut) glEnable(GL_CLIP_PLANE0);
      if (i == 0) gCountRenderingObjects = 1;
      blendOn();
      final.Draw(ds, i);
      glDisable(GL_CLIP_PLANE0);
      glDisable(GL_BLEND);
      if (i == 0) gCountRenderingObjects = 0;
      if (i == 0 && final.FirstPassAgain()) {
        i = -1;  // nothing accumulated yet
        continue;
      }
      AccumAccumulate(1.0f / plan.passes);
      ++ran;
    }
    sFrameOrthoBox = nullptr;
    if (ran == plan.passes && !gBreakOpenGLRender) {
      AccumReturn(1.0f);
      FinalizeGLScene();
    }
  } else {
    blendOn();
    if (ds->renderMode() == kRenderWireframe) glDisable(GL_DEPTH_TEST);
    DrawPlaneObjectsByMode(ds);
    if (ds->renderMode() == kRenderWireframe) glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    if (ds->renderMode() != kRenderLightView && !gRenderPlantsInColor) FinalizeGLScene();
  }

  glDisable(GL_CLIP_PLANE0);
  gGLObjectsRendered = 0;
  gRenderingOpenGL = 0;
  if (!gBreakOpenGLRender) {
    if (!gRenderingShadowMap) ResetAnimatedLVStatus();
  } else {
    glFlush();
    ResetAnimatedLVStatus();
    SetLVStatusString(LocalizedString("Rendering interrupted").c_str());
  }
}

bool KeepFrame() {
  GLint vp[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, vp);
  const int32_t w = std::max(vp[2], 0), h = std::max(vp[3], 0);
  GLint source = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &source);
  const bool kept = w > 0 && h > 0 && PrepareFramebuffer(sKeptTarget, w, h, false);
  if (kept) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(source));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, sKeptTarget.framebuffer);
    glBlitFramebuffer(vp[0], vp[1], vp[0] + w, vp[1] + h, 0, 0, w, h, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    sKeptWidth = w, sKeptHeight = h;
    sKeptRead = false;
  }
  ++sKeptSerial;
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(source));
  if (static_cast<GLuint>(source) == sTarget.framebuffer) {
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
  }
  if (gLiveViewHost.frameFinished) gLiveViewHost.frameFinished();
  return kept;
}

void FinalizeGLScene() {
  DocState* ds;
  if (!ControllerAndDocument(&ds) || gBreakOpenGLRender) return;
  KeepFrame();
}

void RefreshGLScene() {
  DocState* ds;
  if (!ControllerAndDocument(&ds)) return;
  gBreakOpenGLRender = 0;
  const int16_t mode = ds->renderMode();
  if (ds->shadowRender() && mode != kRenderWireframe && mode != kRenderClearView) RenderShadows();
  else RenderGLScene();
  RenderLights(gGLPlaneObjects);
  FinalizeGLScene();
  gRenderDirty = 0;
}
