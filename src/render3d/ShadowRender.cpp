// The shadowed frame: the dark and lit colour images, the camera depth, every lamp's and the
// sun's depth views folded into the light map, and the blend drawn over the frame; with the
// progress of the lamp shots and the render time in the 3D window's status line.
#define GL_GLEXT_PROTOTYPES 1
#include "render3d/ShadowRender.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/KeyWatch.h"
#include "platform/Strings.h"
#include "render3d/Cutaway.h"
#include "render3d/LightGlows.h"
#include "render3d/Lighting.h"
#include "render3d/LotRendering.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/SceneSurfaces.h"

int32_t gCamViewPort[4] = {0, 0, 0, 0};
double gCamMVMatrix[16] = {};
double gCamProjMatrix[16] = {};
int32_t gVPWidth = 0, gVPHeight = 0;
uint8_t* gDarkColorBuffer = nullptr;
uint8_t* gLightColorBuffer = nullptr;
uint8_t* gPlantColorBuffer = nullptr;
uint8_t* gPlantMask = nullptr;
float* gCamDBuffer = nullptr;
float* gEyeUnProBuf = nullptr;
float* gLightDBuffer = nullptr;
float* gLightMap = nullptr;
float* gLightMapAA = nullptr;
float* gMultiMap = nullptr;
float* gSunMap = nullptr;
uint8_t gRenderFullyDark = 0, gRenderFullyLight = 0;
uint8_t gAdjustTrimLightIntensity = 0;
uint8_t gRenderingShadowMapAntiAlias = 0;
int32_t gTotalLightsToRender = 0, gTotalLightsRendered = 0;

bool IsPlantPixel(size_t i) {
  if (gPlantMask && gPlantMask[i]) return true;
  if (!gPlantColorBuffer) return false;
  const uint8_t* c = gPlantColorBuffer + 3 * i;
  return c[0] != 255 && c[1] != 255 && c[2] != 255;
}

namespace {
constexpr int16_t kFloodLightSubtype = 83;
constexpr double kRadians = M_PI / 180.0;

// What the render had to leave out for want of memory; said in the status line at the end.
bool sSunLeftOut = false, sLampsLeftOut = false;
// The first buffer the render could not have, as the status line names it.
std::string sFailedAllocation;
// A shadow render is under way (RenderShadows does not nest).
bool sShadowRenderRunning = false;

int32_t& LightOff(Objex* light) { return light->extraLong; }
int32_t LightDimmer(const Objex* light) { return light->extraFlags; }
bool AmbientOn(const Objex* light) { return light->textureID == 1; }

void FreeBuffer(void* p) {
  void** slot = static_cast<void**>(p);
  shadow::ReleasePixelBuffer(*slot);
  *slot = nullptr;
}

void DeleteShadowList() { DeleteShadowCasterLists(); }

// Keys pressed before the render began do not stop it.
void FlushBufferedKeys() {
  if (CurrentKeyWatch())
    for (int i = 0; i < 4096 && TakeKeyDown() >= 0; ++i) {
    }
  if (gLiveViewHost.flushKeys) gLiveViewHost.flushKeys();
}

void ReadColor(uint8_t* into) {
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glReadPixels(gCamViewPort[0], gCamViewPort[1], gVPWidth, gVPHeight, GL_RGB, GL_UNSIGNED_BYTE, into);
}

void ReadDepth(float* into) {
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glReadPixels(gCamViewPort[0], gCamViewPort[1], gVPWidth, gVPHeight, GL_DEPTH_COMPONENT, GL_FLOAT, into);
}

// A view-sized buffer; zeroed only when asked (the others are written whole before use).
template <typename T>
T* Alloc(const char* what, size_t entriesPerPixel, bool zeroed = false) {
  T* p = static_cast<T*>(shadow::AllocPixelBuffer(gVPWidth, gVPHeight, sizeof(T) * entriesPerPixel, zeroed));
  if (!p && gVPWidth > 0 && gVPHeight > 0)
    shadow::NoteAllocationFailure(what, (static_cast<uint64_t>(gVPWidth) + 4) * sizeof(T) * entriesPerPixel *
                                            (static_cast<uint64_t>(gVPHeight) + 1));
  return p;
}

size_t PixelCount() { return static_cast<size_t>(gVPWidth) * gVPHeight; }

// The plane objects and lot drawn over the current frame (depth cleared first) with the
// cut-away, as one of the two colour images.
void RenderOffscreen(bool light) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const int32_t passes = ds->antiAliasPasses();
  const float brightness = ds->lightBrightness(), intensity = ds->lightIntensity();
  const uint8_t antiAliased = gRenderOpenGLAntiAlias, noInterrupt = gDisableRenderInterrupt;
  const uint8_t adjustTrims = gAdjustTrimLightIntensity;
  (light ? gRenderFullyLight : gRenderFullyDark) = 1;
  if (!antiAliased) gDisableRenderInterrupt = 1;
  gRenderOpenGLAntiAlias = 0;
  if (light) {
    ds->lightBrightness() = 2.5f;
    if (brightness < 1.2f) gAdjustTrimLightIntensity = 1;
  }
  glClear(GL_DEPTH_BUFFER_BIT);
  const bool cut = ds->cutAwayPosition() != 0;
  if (cut) {
    SetSlicePlaneBounds();
    LoadSliceClipPlane();
  }
  glClear(GL_STENCIL_BUFFER_BIT);
  gCurrentStencilValue = 2;
  if (cut) glEnable(GL_CLIP_PLANE0);
  RenderGLPlaneObjects(gGLPlaneObjects);
  glDisable(GL_CLIP_PLANE0);
  RenderGLLot();
  ds->antiAliasPasses() = passes;
  ds->lightBrightness() = brightness;
  if (!light) ds->lightIntensity() = intensity;
  gAdjustTrimLightIntensity = adjustTrims;
  gRenderOpenGLAntiAlias = antiAliased;
  gDisableRenderInterrupt = noInterrupt;
  (light ? gRenderFullyLight : gRenderFullyDark) = 0;
}

// The plant image: the frame cleared to white where only plants write colour, and the plant
// pixels marked in gPlantMask by a second drawing of the plants alone that writes nothing but
// alpha (cleared to 0) where a plant is the nearest surface.
void RenderPlantImage() {
  DocState* ds = CurDocState();
  const uint8_t antiAliased = gRenderOpenGLAntiAlias;
  gRenderPlantsInColor = 1;
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  gRenderOpenGLAntiAlias = 0;
  RenderGLScene();
  ReadColor(gPlantColorBuffer);
  if (gPlantMask) {
    GLint depthFunc = GL_LESS;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    const bool cut = ds && ds->cutAwayPosition() != 0;
    if (cut) glEnable(GL_CLIP_PLANE0);
    RenderGLPlaneObjectsPlantsOnly(gGLPlaneObjects);
    glDisable(GL_CLIP_PLANE0);
    glDepthFunc(depthFunc);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(gCamViewPort[0], gCamViewPort[1], gVPWidth, gVPHeight, GL_ALPHA, GL_UNSIGNED_BYTE, gPlantMask);
    for (size_t i = 0, n = PixelCount(); i < n; ++i) gPlantMask[i] = gPlantMask[i] != 0;
    glClearColor(0, 0, 0, 1);
  }
  gRenderPlantsInColor = 0;
  gRenderOpenGLAntiAlias = antiAliased;
}

}  // namespace

LightViewShot gFixtureShot = &RenderLightView;

// The shots of one light fixture (a group whose first child is the light part).
void ShootFixture(DocState* ds, Objex* group) {
  Objex* part = group->firstChild;
  if (!part || LightOff(part) != 0) return;
  const int16_t kind = part->type;
  if (kind < 79 || kind > 152 || (kind >= 83 && kind <= 145)) return;
  gAmbientLightDown = gAmbientLightUp = gAmbientLightUpDown = 0;
  float x = (part->bounds3D.floatLeft + part->bounds3D.floatRight) / 2;
  float y = (part->bounds3D.floatBack + part->bounds3D.floatFront) / 2;
  const float cone = part->params[1];
  const int32_t falloff = static_cast<int32_t>(part->params[2] + 0.5f);
  const float I = (255.0f - static_cast<float>(LightDimmer(part))) / 255.0f;
  const bool ambient = AmbientOn(part);
  const float base = group->baseElevation;
  auto heightAt = [&](float offset) { return ConvertWorldToScreen(base + offset, ds, 0); };
  auto shot = [&](float height, float vertical, float horizontal, float shotCone) {
    if (gFixtureShot) gFixtureShot(ds, height, x, y, vertical, horizontal, 0, shotCone, falloff, I, kind);
  };
  auto moveAlong = [&](float length) {
    float a, b;
    GetPointFromLengthAndAngle(static_cast<float>((part->params[0] + 90) * kRadians), length, &a, &b);
    x += a, y += b;
  };
  switch (kind) {
    case 79:
      RenderAmbient(ds, heightAt(-10), x, y, I, 0, 1);
      break;
    case 80: case 81: case 82:
      shot(heightAt(-8), 90, 0, cone);
      if (ambient) RenderAmbient(ds, heightAt(-8), x, y, I * 0.25f, 0, 1);
      break;
    case 146:
      shot(heightAt(1.5f), -90, 0, cone - 20);
      if (ambient) RenderAmbient(ds, heightAt(1.5f), x, y, I * 0.25f, 1, 0);
      break;
    case 147:
      moveAlong(10);
      shot(heightAt(12), 315, part->params[0], cone - 20);
      break;
    case 148:
      moveAlong(16);
      shot(heightAt(-8), 45, part->params[0], cone - 20);
      break;
    case 149:
      shot(heightAt(30), 90, 0, cone + 30);
      break;
    case 150:
      shot(heightAt(2), -90, 0, cone);
      if (ambient) RenderAmbient(ds, heightAt(2), x, y, I * 0.25f, 1, 0);
      break;
    case 151:
      shot(heightAt(-0.5f), 90, 0, cone);
      if (ambient) RenderAmbient(ds, heightAt(-0.5f), x, y, I * 0.25f, 0, 1);
      break;
    case 152: {
      const float h = heightAt(0);
      gPointLightDownShot = 1;
      shot(h + 5, 90, 0, cone);
      gPointLightDownShot = 0;
      shot(h - 5, -90, 0, cone);
      gPointLightDownShot = 1;
      if (ambient) RenderAmbient(ds, h - 5, x, y, I * 0.25f, 1, 1);
      break;
    }
    default:
      break;
  }
}

namespace {

// Light shots of one top-level object, for the progress count.
int32_t ShotsOf(Objex* object, bool antiAliased, int32_t N) {
  int32_t c = 0;
  if (object->type == kObjWall) {
    for (Objex* child = object->firstChild; child; child = child->next)
      if (child->type == kObjComponent && child->subtype == kFloodLightSubtype && LightOff(child) == 0) c += 2;
    return c;
  }
  if (object->type != kObjGroup) return 0;
  Objex* part = object->firstChild;
  if (!part || LightOff(part) != 0) return 0;
  const bool ambient = AmbientOn(part);
  switch (part->type) {
    case 79: return antiAliased ? 4 * N : 4;
    case 80: case 81: case 82: case 146: case 150: case 151:
      return ambient ? (antiAliased ? 1 + 4 * N : 5) : 1;
    case 147: case 148: case 149: return 1;
    case 152: return ambient ? (antiAliased ? 2 + 8 * N : 10) : 2;
    default: return 0;
  }
}

// Blends the dark and lit images by the light map into the dark image.
void BlendImages() {
  uint8_t* dark = gDarkColorBuffer;
  const uint8_t* light = gLightColorBuffer;
  for (size_t i = 0, n = PixelCount(); i < n; ++i) {
    const float L = gLightMap[i];
    if (!(L > 0)) continue;  // no light: the dark image stays
    for (size_t c = i * 3; c < i * 3 + 3; ++c) {
      const int d = dark[c], l = light[c];
      if (l <= d) continue;
      const int v = static_cast<int>(d + (l - d) * L);
      dark[c] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
  }
}

void DrawBlendedImage() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0, gVPWidth, 0, gVPHeight);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_PIXEL_MODE_BIT);
  glDisable(GL_TEXTURE_2D), glDisable(GL_BLEND), glDisable(GL_ALPHA_TEST), glDisable(GL_STENCIL_TEST);
  glDisable(GL_LIGHTING), glDisable(GL_FOG), glDisable(GL_CLIP_PLANE0);
  glPixelZoom(1, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glRasterPos2i(0, 0);
  glDrawPixels(gVPWidth, gVPHeight, GL_RGB, GL_UNSIGNED_BYTE, gDarkColorBuffer);
  glPopAttrib();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void EndShadowMap() {
  FreeShadowBuffers();
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
}
}  // namespace

namespace shadow {
namespace {
// Buffers given back, kept for the next render of the same size: a render allocates the same
// dozen view-sized buffers every time, and fresh memory costs a page fault per page.
struct Block {
  void* p;
  size_t bytes;
};
// Never destroyed: the spare blocks stay reachable to the end of the process.
std::vector<Block>& sSpare = *new std::vector<Block>;
std::unordered_map<void*, size_t>& sPooled = *new std::unordered_map<void*, size_t>;  // by address
constexpr size_t kMaxSpare = 16;
}  // namespace

void DrawDepthInLightViewMode(DocState* ds, void (*draw)()) {
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  const uint8_t antiAliased = gRenderOpenGLAntiAlias;
  gRenderOpenGLAntiAlias = 0;
  int16_t& mode = ds->renderMode();
  const int16_t savedMode = mode;
  mode = kRenderLightView;
  draw();
  mode = savedMode;
  gRenderOpenGLAntiAlias = antiAliased;
}

size_t gPixelBufferLimit = std::numeric_limits<size_t>::max();

void NoteAllocationFailure(const char* what, uint64_t bytes) {
  if (!sFailedAllocation.empty() || !what) return;
  char text[160];
  std::snprintf(text, sizeof text, "%s, %.1f MB", what, static_cast<double>(bytes) / (1024.0 * 1024.0));
  sFailedAllocation = text;
}

void* AllocPixelBuffer(int32_t width, int32_t height, size_t entrySize, bool zeroed) {
  if (width <= 0 || height <= 0 || entrySize == 0) return nullptr;
  const uint64_t row = static_cast<uint64_t>(width) * entrySize + 4 * entrySize;
  const uint64_t total = row * (static_cast<uint64_t>(height) + 1);
  if (total > std::numeric_limits<size_t>::max() / 2 || total > gPixelBufferLimit) return nullptr;
  const size_t bytes = static_cast<size_t>(total);
  for (size_t i = 0; i < sSpare.size(); ++i) {
    if (sSpare[i].bytes != bytes) continue;
    void* p = sSpare[i].p;
    sSpare.erase(sSpare.begin() + static_cast<std::ptrdiff_t>(i));
    if (zeroed) std::memset(p, 0, bytes);
    return p;
  }
  void* p = zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
  if (p) sPooled[p] = bytes;
  return p;
}

void ReleasePixelBuffer(void* p) {
  if (!p) return;
  const auto found = sPooled.find(p);
  if (found == sPooled.end()) {
    std::free(p);  // not one of ours (the sun grid)
    return;
  }
  // The oldest spare goes when there are too many (blocks of an older view size are never
  // taken again and leave this way).
  sSpare.push_back({p, found->second});
  if (sSpare.size() > kMaxSpare) {
    sPooled.erase(sSpare.front().p);
    std::free(sSpare.front().p);
    sSpare.erase(sSpare.begin());
  }
}

void ReleaseSpareBuffers() {
  for (const Block& b : sSpare) {
    sPooled.erase(b.p);
    std::free(b.p);
  }
  std::vector<Block>().swap(sSpare);
}

size_t SpareBufferBytes() {
  size_t bytes = 0;
  for (const Block& b : sSpare) bytes += b.bytes;
  return bytes;
}

namespace {
void Multiply(const double* a, const double* b, double* out) {  // out = a x b, column-major
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += a[k * 4 + r] * b[c * 4 + k];
      out[c * 4 + r] = s;
    }
}

bool Invert(const double* m, double* out) {
  double inv[16];
  inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
  inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
           m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
  inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
  inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
            m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
  inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
           m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
  inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
  inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
  inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
  inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
  inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
  inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
  inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
  inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
  inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
  inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
  inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
  const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
  if (det == 0 || !std::isfinite(det)) return false;
  for (int i = 0; i < 16; ++i) out[i] = inv[i] / det;
  return true;
}
}  // namespace

Unprojector::Unprojector(const double* modelView, const double* projection, const int32_t* viewport) {
  double m[16];
  Multiply(projection, modelView, m);
  ok = Invert(m, inv);
  std::copy_n(viewport, 4, vp);
  ok = ok && vp[2] > 0 && vp[3] > 0;
}

bool Unprojector::operator()(double x, double y, double z, float out[3]) const {
  if (!ok) return false;
  const double in[4] = {(x - vp[0]) / vp[2] * 2 - 1, (y - vp[1]) / vp[3] * 2 - 1, z * 2 - 1, 1};
  double o[4];
  for (int r = 0; r < 4; ++r) o[r] = inv[r] * in[0] + inv[4 + r] * in[1] + inv[8 + r] * in[2] + inv[12 + r] * in[3];
  if (o[3] == 0) return false;
  out[0] = static_cast<float>(o[0] / o[3]);
  out[1] = static_cast<float>(o[1] / o[3]);
  out[2] = static_cast<float>(o[2] / o[3]);
  return true;
}

void Unprojector::Row(int32_t y, int32_t x0, int32_t count, const float* depth, float* out) const {
  const double ny = (y - vp[1]) / static_cast<double>(vp[3] > 0 ? vp[3] : 1) * 2 - 1;
  const double sx = vp[2] > 0 ? 2.0 / vp[2] : 0;
  // The part of each output that does not change along the row.
  double base[4];
  for (int r = 0; r < 4; ++r) base[r] = inv[4 + r] * ny + inv[12 + r];
  for (int32_t i = 0; i < count; ++i) {
    float* o = &out[static_cast<size_t>(i) * 3];
    const float d = depth[i];
    if (!ok || !(d > 0 && d < 1)) {
      o[0] = o[1] = o[2] = 0;
      continue;
    }
    const double nx = (x0 + i - vp[0]) * sx - 1, nz = d * 2.0 - 1;
    const double w = base[3] + inv[3] * nx + inv[11] * nz;
    if (w == 0) {
      o[0] = o[1] = o[2] = 0;
      continue;
    }
    const double k = 1 / w;
    o[0] = static_cast<float>((base[0] + inv[0] * nx + inv[8] * nz) * k);
    o[1] = static_cast<float>((base[1] + inv[1] * nx + inv[9] * nz) * k);
    o[2] = static_cast<float>((base[2] + inv[2] * nx + inv[10] * nz) * k);
  }
}

Projector::Projector(const double* modelView, const double* projection, const int32_t* viewport) {
  Multiply(projection, modelView, m);
  std::copy_n(viewport, 4, vp);
}

bool Projector::operator()(const float in[3], double* wx, double* wy, double* wz) const {
  const double x = in[0], y = in[1], z = in[2];
  const double w = m[3] * x + m[7] * y + m[11] * z + m[15];
  if (w == 0) return false;
  const double k = 1 / w;
  const double cx = (m[0] * x + m[4] * y + m[8] * z + m[12]) * k;
  const double cy = (m[1] * x + m[5] * y + m[9] * z + m[13]) * k;
  const double cz = (m[2] * x + m[6] * y + m[10] * z + m[14]) * k;
  *wx = vp[0] + (1 + cx) * vp[2] / 2;
  *wy = vp[1] + (1 + cy) * vp[3] / 2;
  *wz = (1 + cz) / 2;
  return true;
}
}  // namespace shadow

void FreeShadowBuffers() {
  FreeBuffer(&gSunMap);
  FreeBuffer(&gDarkColorBuffer);
  FreeBuffer(&gLightColorBuffer);
  FreeBuffer(&gLightMap);
  FreeBuffer(&gMultiMap);
  FreeBuffer(&gLightMapAA);
  FreeBuffer(&gLightDBuffer);
  FreeBuffer(&gCamDBuffer);
  FreeBuffer(&gPlantColorBuffer);
  FreeBuffer(&gPlantMask);
}

void RenderOffscreenFullyDark() { RenderOffscreen(false); }
void RenderOffscreenFullyLight() { RenderOffscreen(true); }

int32_t InitializeLightProgressBar(int32_t sunGrid) {
  DocState* ds = CurDocState();
  if (!ds) return 0;
  const bool antiAliased = gRenderOpenGLAntiAlias != 0;
  const int32_t N = antiAliased ? LightJitterPlan(&ds->antiAliasPasses()).passes : 1;
  int32_t c = 0;
  if (gCurDocument && !(ds->renderExclusions() & kLVOffElectrical)) {
    for (Layer* layer = gCurDocument->itsLayers; layer; layer = layer->next) {
      if (!layer->visible) continue;
      for (Objex* o = layer->firstObject; o; o = o->next) c += ShotsOf(o, antiAliased, N);
    }
  }
  int32_t sun = 0;
  if (ds->sunlightOn()) {
    sun = gGLPlaneObjects ? sunGrid * sunGrid * 2 : sunGrid;
    sun += antiAliased ? N : 1;
  }
  gTotalLightsToRender = antiAliased ? sun + 2 * c * N + (gGLPlaneObjects ? 2 * N : 0) : sun + 2 * c + 1;
  InitializeLVLightProgress(gTotalLightsToRender);
  gTotalLightsRendered = 0;
  return c;
}

void UpdateShadowGLRenderStatus() {
  // Showing the status and progress can paint the 3D view, which binds its own framebuffer and
  // viewport: the frame being rendered (an export's, of another size) goes on where it was.
  GLint framebuffer = 0, viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  struct Restore {
    const GLint& framebuffer;
    const GLint* viewport;
    ~Restore() {
      glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
      glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    }
  } restore{framebuffer, viewport};
  SetLVStatusString(LocalizedString(gRenderOpenGLAntiAlias ? "Rendering final (press Escape to cancel)"
                                                            : "Rendering shadows (press Escape to cancel)")
                        .c_str());
  ++gTotalLightsRendered;
  gTotalLightsToRender = std::max(gTotalLightsToRender, 1);
  UpdateLVLightProgress(gTotalLightsRendered);
}

std::string ShadowRenderTimeText(double elapsedSeconds) {
  const long seconds = elapsedSeconds > 0 ? static_cast<long>(elapsedSeconds) : 0;
  char text[64];
  if (seconds >= 60)
    std::snprintf(text, sizeof text, LocalizedString("%0.2f minutes to render").c_str(), seconds / 60.0);
  else
    std::snprintf(text, sizeof text, LocalizedString("%ld seconds to render").c_str(), seconds);
  return text;
}

void RenderShadowMap(int32_t lightCount) {
  DocState* ds = CurDocState();
  if (!gCurDocument || !ds || !gCurDocument->itsLayers) return;
  if (lightCount < 1 && !ds->sunlightOn()) {
    RenderGLScene();
    RenderLights(gGLPlaneObjects);
    return;
  }
  glGetIntegerv(GL_VIEWPORT, gCamViewPort);
  glGetDoublev(GL_MODELVIEW_MATRIX, gCamMVMatrix);
  glGetDoublev(GL_PROJECTION_MATRIX, gCamProjMatrix);
  gVPWidth = std::max(gCamViewPort[2], 0);
  gVPHeight = std::max(gCamViewPort[3], 0);
  FreeShadowBuffers();
  // A camera pass of another size cannot reuse the world positions of the last one.
  static int32_t eyeWidth = 0, eyeHeight = 0;
  if (gEyeUnProBuf && (eyeWidth != gVPWidth || eyeHeight != gVPHeight)) FreeBuffer(&gEyeUnProBuf);

  gPlantColorBuffer = Alloc<uint8_t>("the plant image", 3);
  gPlantMask = gPlantColorBuffer ? Alloc<uint8_t>("the plant mask", 1) : nullptr;

  RenderOffscreenFullyDark();
  gDarkColorBuffer = Alloc<uint8_t>("the dark image", 3);
  if (gDarkColorBuffer) ReadColor(gDarkColorBuffer);

  gSkipTransparent = 1;
  RenderOffscreenFullyDark();
  gSkipTransparent = 0;
  gCamDBuffer = Alloc<float>("the camera depth", 1);
  if (gCamDBuffer) ReadDepth(gCamDBuffer);

  if (!gEyeUnProBuf) {
    gEyeUnProBuf = Alloc<float>("the camera positions", 3);
    eyeWidth = gVPWidth, eyeHeight = gVPHeight;
    gFillUnProjectBuffer = 1;
  }
  gLightDBuffer = Alloc<float>("the light depth", 1);
  gLightMap = Alloc<float>("the light map", 1, true);
  gLightMapAA = Alloc<float>("the light map", 1, true);
  gMultiMap = Alloc<float>("the light map", 1, true);

  RenderOffscreenFullyLight();
  gLightColorBuffer = Alloc<uint8_t>("the lit image", 3);
  if (gLightColorBuffer) ReadColor(gLightColorBuffer);

  if (gPlantColorBuffer) RenderPlantImage();

  const bool pixelTests = gCamDBuffer && gEyeUnProBuf && gLightDBuffer && gLightMap && gLightMapAA &&
                          gMultiMap && gDarkColorBuffer && gLightColorBuffer;
  if (ds->sunlightOn()) {
    gSunMap = Alloc<float>("the sun map", 1);
    if (gSunMap) std::fill_n(gSunMap, PixelCount(), ds->sunBrightness() / 100.0f);
  }
  if (BreakOpenRender()) {
    EndShadowMap();
    return;
  }

  if (ds->sunlightOn()) {
    if (!gSunDBuffer && gSunMap && pixelTests) FillSunMapWithGrid();
    if (gSunDBuffer) FillSunMapWithPreRenderedGrid();
    else if (!gBreakOpenGLRender) sSunLeftOut = true;
    if (gSunMap && gLightMap) {
      for (size_t i = 0, n = PixelCount(); i < n; ++i) {
        const float s = gSunMap[i];
        if (s > 0) gLightMap[i] += (1 - gLightMap[i]) * s;
      }
    } else {
      sSunLeftOut = true;
    }
  }

  if (!(ds->renderExclusions() & kLVOffElectrical)) {
    if (lightCount > 0 && !pixelTests) sLampsLeftOut = true;
    for (Layer* layer = gCurDocument->itsLayers; layer; layer = layer->next) {
      if (BreakOpenRender()) {
        EndShadowMap();
        return;
      }
      if (!layer->visible) continue;
      for (Objex* o = layer->firstObject; o; o = o->next) {
        if (o->type == kObjWall) {
          for (Objex* child = o->firstChild; child; child = child->next)
            if (child->type == kObjComponent && child->subtype == kFloodLightSubtype && LightOff(child) == 0)
              CastSpotLight(o, child);
        } else if (o->type == kObjGroup) {
          ShootFixture(ds, o);
        }
        if (BreakOpenRender()) {
          EndShadowMap();
          return;
        }
      }
    }
  }

  if (gLightMap && gDarkColorBuffer && gLightColorBuffer) {
    BlendImages();
    shadow::DrawDepthInLightViewMode(ds, RenderGLScene);
    UpdateShadowGLRenderStatus();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    DrawBlendedImage();
    if (!gRenderOpenGLAntiAlias) FinalizeGLScene();
  } else {
    // Nothing to blend: the frame holds the last pass (the plant image, white but for the
    // plants); the scene as it is lit takes its place.
    RenderGLScene();
    RenderLights(gGLPlaneObjects);
    if (!gRenderOpenGLAntiAlias) FinalizeGLScene();
  }
  EndShadowMap();
}

void RenderShadows() {
  DocState* ds = CurDocState();
  NoteServiceCall("RenderShadows", nullptr);
  if (!gCurDocument || !ds || !LiveViewControllerExists()) return;
  // The buffers above belong to one render: a frame asked for while one runs (a paint of the
  // view from the events the Escape poll delivers) would free them under it.
  if (sShadowRenderRunning) return;
  struct Running {
    Running() { sShadowRenderRunning = true; }
    ~Running() { sShadowRenderRunning = false; }
  } running;
  FlushBufferedKeys();
  const auto start = std::chrono::steady_clock::now();
  gBreakOpenGLRender = 0;
  gTotalLightsToRender = 0;
  sSunLeftOut = sLampsLeftOut = false;
  sFailedAllocation.clear();
  const int32_t n = InitializeLightProgressBar(0);
  if (n == 0 && !ds->sunlightOn()) {
    RenderGLScene();
    return;
  }
  gRenderingShadowMap = 1;
  DeleteShadowList();

  if (gRenderOpenGLAntiAlias) {
    gRenderOpenGLAntiAlias = 0;
    RenderGLScene();
    gRenderOpenGLAntiAlias = 1;
    gRenderingShadowMapAntiAlias = 1;
    const PassPlan plan = AntiAliasPassPlan(&ds->antiAliasPasses());
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    const double aspect = static_cast<double>(vp[2]) / (vp[3] == 0 ? 1 : vp[3]);
    // The status and the Escape poll between passes deliver events: whatever a paint there
    // leaves bound, each pass draws, sums and keeps the frame in the renderer's framebuffer at
    // the frame's size (an export's, not the view's on the screen).
    auto frameTarget = [&vp] {
      BindRenderTarget(vp[0] + vp[2], vp[1] + vp[3]);
      glViewport(vp[0], vp[1], vp[2], vp[3]);
    };
    AccumClear();
    for (int32_t i = 0; i < plan.passes; ++i) {
      frameTarget();
      gFillUnProjectBuffer = 1;
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
      gCurrentStencilValue = 2;
      RenderGLBackground(1, i);
      const JitterPoint& j = plan.table[i];
      if (ds->orthoView() != 0) InitializeAntiAliasGLScene(gFOV, aspect, j.x, j.y, 1.0);
      else accPerspective(gFOV, aspect, 1.0, 40000.0, j.x, j.y, 0, 0, 1.0);
      if (gGLPlaneObjects) RenderShadowMap(n);
      UpdateShadowGLRenderStatus();
      if (BreakOpenRender()) break;
      frameTarget();
      AccumAccumulate(1.0f / plan.passes);
      AccumReturn(1.0f);
      FinalizeGLScene();
    }
    gRenderingShadowMapAntiAlias = 0;
    frameTarget();
    AccumReturn(1.0f);
    FinalizeGLScene();
  } else {
    gFillUnProjectBuffer = 1;
    RenderGLScene();
    if (gGLPlaneObjects) RenderShadowMap(n);
  }

  gRenderingShadowMap = 0;
  gRenderOpenGLAntiAlias = 0;
  FreeShadowBuffers();
  DeleteShadowList();
  FreeBuffer(&gSunDBuffer);
  gSunDBufferWidth = gSunDBufferHeight = 0;
  FreeBuffer(&gEyeUnProBuf);

  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::string status = ShadowRenderTimeText(elapsed);
  const std::string why = sFailedAllocation.empty() ? std::string("not enough memory")
                                                    : "could not allocate " + sFailedAllocation;
  if (sSunLeftOut) status += "; the sun was left out (" + why + ")";
  if (sLampsLeftOut) status += "; the lamps were left out (" + why + ")";
  SetLVStatusString(status.c_str());

  if (gBreakOpenGLRender) {
    // The plain scene again, kept for the view; the render still counts as interrupted.
    gBreakOpenGLRender = 0;
    RenderGLScene();
    gBreakOpenGLRender = 1;
    SetLVStatusString(LocalizedString("Rendering interrupted").c_str());
  }
}
