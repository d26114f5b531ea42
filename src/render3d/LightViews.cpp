// One light's view of the scene folded into the light map of the shadow render: the depth
// image from the light's (slightly displaced) place, the test of every camera pixel against
// it, the falloff across the cone, and the ambient cluster of a fixture.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "platform/Strings.h"
#include "render3d/Cutaway.h"
#include "render3d/Lighting.h"
#include "render3d/LotRendering.h"
#include "render3d/Navigation.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/ShadowRender.h"

int32_t gLightViewPort[4] = {0, 0, 0, 0};
double gLightMVMatrix[16] = {};
double gLightProjMatrix[16] = {};
uint32_t gShadowDisplayList = 0;
uint8_t gFillUnProjectBuffer = 1;
uint8_t gRenderForBuffer = 1;
uint8_t gFillingBucketBuffer = 0;
uint8_t gAmbientLightDown = 0, gAmbientLightUp = 0, gAmbientLightUpDown = 0, gFadeDown = 0;
uint8_t gPointLightDownShot = 1;
uint8_t gLightViewLotOff = 0;
SunTileTarget gSunTileTarget;

const JitterPoint j2[2] = {{0.246490f, 0.249999f}, {-0.246490f, -0.249999f}};
const JitterPoint j3[3] = {{-0.373411f, -0.250550f}, {0.256263f, 0.368119f}, {0.117148f, -0.117570f}};

namespace {
constexpr double kRadians = M_PI / 180.0;
constexpr int16_t kSunKind = 1;

// How much of gLightDBuffer the last depth read filled.
int32_t sLightDepthWidth = 0, sLightDepthHeight = 0;

void ViewSize(int32_t* w, int32_t* h) {
  *w = *h = 0;
  if (gLiveViewHost.viewBounds) gLiveViewHost.viewBounds(w, h);
  *w = std::max(*w, 0);
  *h = std::max(*h, 0);
}

bool Ambient() { return gAmbientLightDown || gAmbientLightUp || gAmbientLightUpDown; }

int16_t AmbientMode() {
  if (gAmbientLightUpDown) return gFadeDown ? 4 : 5;
  return gFadeDown ? 3 : 2;
}

// The camera pixels' world positions, for every pixel the camera sees something at.
void FillEyeBuffer() {
  const shadow::Unprojector unproject(gCamMVMatrix, gCamProjMatrix, gCamViewPort);
  for (int32_t py = 0; py < gVPHeight; ++py) {
    const size_t row = static_cast<size_t>(py) * gVPWidth;
    unproject.Row(gCamViewPort[1] + py, gCamViewPort[0], gVPWidth, &gCamDBuffer[row], &gEyeUnProBuf[row * 3]);
  }
}

enum class Seen { kOutside, kShadow, kLit };

// The test of camera pixel i against the current light's depth image.
class PixelTest {
 public:
  PixelTest() : project_(gLightMVMatrix, gLightProjMatrix, gLightViewPort) {}
  Seen operator()(size_t i, double* lx, double* ly) const {
    const float d = gCamDBuffer[i];
    if (!(d > 0 && d < 1)) return Seen::kOutside;
    double z;
    if (!project_(&gEyeUnProBuf[i * 3], lx, ly, &z)) return Seen::kOutside;
    if (!(z > 0 && z < 1)) return Seen::kOutside;
    if (!(*lx >= 0 && *lx < sLightDepthWidth && *ly >= 0 && *ly < sLightDepthHeight))
      return Seen::kOutside;
    const float ld = gLightDBuffer[static_cast<size_t>(*ly) * sLightDepthWidth + static_cast<size_t>(*lx)];
    if (!(ld > 0 && ld < 1)) return Seen::kOutside;
    return ld > z ? Seen::kLit : Seen::kShadow;
  }

 private:
  shadow::Projector project_;
};

bool CanTestPixels() {
  return gLightDBuffer && gCamDBuffer && gLightMap && gEyeUnProBuf && gLightMapAA && gMultiMap &&
         !gFillingBucketBuffer && gVPWidth > 0 && gVPHeight > 0;
}

// The ambient rule: the gMultiMap entry keeps the smaller positive value.
void AmbientPixel(size_t i, float t, float intensity) {
  if (!(t > -1)) return;
  const float v = (1 - t) * intensity;
  float& m = gMultiMap[i];
  if (m == 0 || m > v) m = v;
}

// The depth image of one light: drawn from the displaced light, with the matrices of the
// true one kept for the pixel test.
void RenderLightDepth(float height, float x, float y, float vertical, float horizontal,
                      int16_t ortho, float cone, int16_t kind) {
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.5f, 3.0f);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  float o[3];
  GetLightOffset(o, x, y, vertical, horizontal, kind);
  RenderGLLightScene(ortho, x + o[0], y + o[2], horizontal, vertical, height + o[1], cone);
  glDisable(GL_POLYGON_OFFSET_FILL);
  if (gLightDBuffer) {
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    sLightDepthWidth = std::clamp<int32_t>(vp[2], 0, gVPWidth);
    sLightDepthHeight = std::clamp<int32_t>(vp[3], 0, gVPHeight);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    SunTileTarget& tile = gSunTileTarget;
    if (tile.at && sLightDepthWidth == tile.width && sLightDepthHeight == tile.height && tile.width > 0 &&
        tile.height > 0) {
      // A sun tile goes straight to its place in the grid.
      glPixelStorei(GL_PACK_ROW_LENGTH, tile.rowLength);
      glReadPixels(vp[0], vp[1], tile.width, tile.height, GL_DEPTH_COMPONENT, GL_FLOAT, tile.at);
      glPixelStorei(GL_PACK_ROW_LENGTH, 0);
      tile.filled = true;
    } else {
      glPixelStorei(GL_PACK_ROW_LENGTH, 0);
      if (sLightDepthWidth > 0 && sLightDepthHeight > 0)
        glReadPixels(vp[0], vp[1], sLightDepthWidth, sLightDepthHeight, GL_DEPTH_COMPONENT, GL_FLOAT,
                     gLightDBuffer);
    }
  }
  gRenderForBuffer = 0;
  RenderGLLightScene(ortho, x, y, horizontal, vertical, height, cone);
  glGetIntegerv(GL_VIEWPORT, gLightViewPort);
  glGetDoublev(GL_MODELVIEW_MATRIX, gLightMVMatrix);
  glGetDoublev(GL_PROJECTION_MATRIX, gLightProjMatrix);
  gRenderForBuffer = 1;
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void EnsureEyeBuffer() { shadow::EnsureEyePositions(); }
}  // namespace

void shadow::EnsureEyePositions() {
  if (!gFillUnProjectBuffer || !gEyeUnProBuf || !gCamDBuffer) return;
  FillEyeBuffer();
  gFillUnProjectBuffer = 0;
}

PassPlan LightJitterPlan(int32_t* storedPasses) {
  const PassPlan plan = AntiAliasPassPlan(storedPasses);
  switch (plan.passes) {
    case 2: return {2, j2};
    case 3: return {3, j3};
    case 8: return {8, j8};
    case 15: return {15, j15};
    case 24: return {24, j24};
    default: return {plan.passes, j4};  // 1 or 4 passes
  }
}

float GetPixelDistance(float px, float py, float left, float top, float right, float bottom,
                       int32_t falloff, int16_t mode) {
  const float w = right - left, h = bottom - top;
  float t;
  float squareScale = 1;
  switch (mode) {
    case 1: {
      const float r = std::min(w, h) / 2;
      const float d = std::hypot(px - w / 2, py - h / 2);
      if (!(d < r)) return -1;
      t = d / r;
      break;
    }
    case 2: case 3: case 4: case 5:
      if (!(h > py)) return -1;
      t = (mode == 2 || mode == 4) ? 1 - py / h : py / h;
      if (mode >= 4) squareScale = 0.5f;
      break;
    default:
      return -1;
  }
  for (int32_t i = 0; i < falloff; ++i) t = t * t * squareScale;
  return t;
}

void GetLightOffset(float out[3], float x, float y, float vertical, float horizontal, int16_t kind) {
  out[0] = out[1] = out[2] = 0;
  DocState* ds = CurDocState();
  if (!ds) return;
  if (kind == kSunKind) x = -gXSunOffset, y = -gZSunOffset;
  float camX = ds->walkEyePoint().floatH, camY = ds->walkEyePoint().floatV;
  if (ds->navigationMode == kNavFlyAround) {
    float p, q;
    GetPointFromLengthAndAngle(static_cast<float>(ds->flyAngleY() * kRadians), ds->flyDistance(), &p, &q);
    camX = ds->flyCenter().floatH - p;
    camY = ds->flyCenter().floatV + q;
  }
  float dist = 0;
  const float angle = GetLineLengthAndAngle(camX, camY, x, y, &dist);
  const float k = dist >= 600 ? dist * 0.00167f : 1.0f;
  float a, b;
  switch (kind) {
    case kSunKind: {
      const float width = gOrthoSizeRight - gOrthoSizeLeft;
      out[1] = (width > 0 ? dist / width : 0) + 1.0f;
      break;
    }
    case 79: {
      const float k2 = dist >= 1000 ? dist * 0.001f : 1.0f;
      Get3DPointFromLengthAndAngles(k2, horizontal, vertical, &out[0], &out[1], &out[2]);
      out[0] = -out[0], out[2] = -out[2];
      GetPointFromLengthAndAngle(angle, 1.5f, &a, &b);
      out[0] -= a, out[2] -= b;
      break;
    }
    case 80: case 81: case 82: case 149: case 151:
      GetPointFromLengthAndAngle(angle, 1.5f, &a, &b);
      out[0] = -a, out[1] = 2.5f * k, out[2] = -b;
      break;
    case 83: case 147: case 148:
      Get3DPointFromLengthAndAngles(k, horizontal, vertical, &out[0], &out[1], &out[2]);
      out[0] = -out[0], out[2] = -out[2];
      break;
    default:
      if (kind == 152 && gPointLightDownShot) {
        GetPointFromLengthAndAngle(angle, 1.5f, &a, &b);
        out[0] = -a, out[1] = 2.5f * k, out[2] = -b;
      } else {
        GetPointFromLengthAndAngle(angle, 1.0f, &a, &b);
        out[0] = -a, out[2] = -b;
      }
      break;
  }
}

void InitializeGLLightScene(int16_t ortho, float x, float y, float horizontal, float vertical,
                            float height, float cone) {
  DocState* ds = CurDocState();
  if (!ds) return;
  int32_t w, h;
  ViewSize(&w, &h);
  if (h == 0) h = 1;
  glViewport(0, 0, w, h);
  if (gRenderForBuffer) {
    glClearColor(0, 0, 0, 1);
    glShadeModel(GL_SMOOTH);
    // Depth and stencil in one clear (below): nothing is drawn in between, and clearing one of
    // the two alone must keep the other, a masked pass over the buffer that costs far more.
    glDisable(GL_CULL_FACE);
    glEnable(GL_DITHER);
  }
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (ortho == 0) {
    gluPerspective(cone, static_cast<double>(w) / h, 1.0, 40000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glRotatef(vertical, 1, 0, 0);
    glRotatef(horizontal, 0, -1, 0);
    glTranslatef(-x, -height, -y);
  } else {
    glOrtho(gOrthoSizeLeft, gOrthoSizeRight, gOrthoSizeBottom, gOrthoSizeTop, -30000, 30000);
    glTranslatef(0, gVerticalSunOffset, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    float a, b, c, e;
    GetPointFromLengthAndAngle(static_cast<float>(vertical * kRadians), height, &a, &b);
    GetPointFromLengthAndAngle(static_cast<float>(-horizontal * kRadians), a, &c, &e);
    const float s = (height != 1000 && vertical < 25) ? -(height - 1000) : 0.0f;
    glRotatef(vertical, 1, 0, 0);
    glRotatef(horizontal + 90, 0, 1, 0);
    glTranslatef(c, b, e);
    glTranslatef(gXSunOffset, s, gZSunOffset);
  }
  if (ds->cutAwayPosition() != 0) {
    SetSlicePlaneBounds();
    LoadSliceClipPlane();
  }
  if (gRenderForBuffer) {
    glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    gCurrentStencilValue = 2;
  }
}

void RenderGLLightScene(int16_t ortho, float x, float y, float horizontal, float vertical,
                        float height, float cone) {
  DocState* ds = CurDocState();
  if (!ds) return;
  gRenderingOpenGL = 1;
  InitializeGLLightScene(ortho, x, y, horizontal, vertical, height, cone);
  int16_t& mode = ds->renderMode();
  const int16_t savedMode = mode;
  mode = kRenderLightView;
  if (ds->cutAwayPosition() != 0) glEnable(GL_CLIP_PLANE0);
  if (gRenderForBuffer) {
    DrawShadowPlants();
    DrawShadowCasters();
    // The lot is drawn every time, outside the list: a trimmed lot patch (GLU NURBS) recorded
    // into the list makes Mesa replay the list without part of what came before it.
    glDisable(GL_CLIP_PLANE0);
    if (!gLightViewLotOff) RenderGLLot();
  }
  glDisable(GL_CLIP_PLANE0);
  gRenderingOpenGL = 0;
  if (gBreakOpenGLRender) {
    glFlush();
    ResetAnimatedLVStatus();
    SetLVStatusString(LocalizedString("Rendering interrupted").c_str());
  }
  mode = savedMode;
}

void RenderLightView(DocState* ds, float height, float x, float y, float vertical, float horizontal,
                     int16_t ortho, float cone, int32_t falloff, float intensity, int16_t kind) {
  NoteServiceCall("RenderLightView", nullptr);
  if (!ds) return;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  struct PopOnExit {
    ~PopOnExit() {
      glMatrixMode(GL_MODELVIEW);
      glPopMatrix();
    }
  } pop;
  UpdateShadowGLRenderStatus();
  if (BreakOpenRender()) return;
  int32_t viewW, viewH;
  ViewSize(&viewW, &viewH);
  const float bottom = static_cast<float>(viewH), right = static_cast<float>(viewW);
  const size_t n = static_cast<size_t>(std::max(gVPWidth, 0)) * std::max(gVPHeight, 0);
  const bool ambient = Ambient();

  if (ortho == 0 && gRenderOpenGLAntiAlias && !ambient) {
    // Soft shadows: the light moves by the jitter table from pass to pass.
    const PassPlan plan = LightJitterPlan(&ds->antiAliasPasses());
    const float N = static_cast<float>(plan.passes);
    if (gLightMapAA) std::fill_n(gLightMapAA, n, 0.0f);
    for (int32_t pass = 0; pass < plan.passes; ++pass) {
      if (BreakOpenRender()) return;  // nothing of this light reaches the light map
      if (gBreakOpenGLRender) continue;
      x += 3 * plan.table[pass].x;
      y += 3 * plan.table[pass].y;
      RenderLightDepth(height, x, y, vertical, horizontal, ortho, cone, kind);
      if (CanTestPixels()) {
        EnsureEyeBuffer();
        const PixelTest test;
        for (size_t i = 0; i < n; ++i) {
          double lx, ly;
          if (test(i, &lx, &ly) != Seen::kLit) continue;
          const float t = GetPixelDistance(static_cast<float>(lx), static_cast<float>(bottom - ly), 0, 0,
                                           right, bottom, falloff, 1);
          if (t > -1) gLightMapAA[i] += (1 - t) * intensity / N;
        }
      }
      gFillUnProjectBuffer = 0;
    }
    if (gLightMap && gLightMapAA) {
      for (size_t i = 0; i < n; ++i) {
        const float a = gLightMapAA[i];
        if (a > 0) gLightMap[i] += (1 - gLightMap[i]) * a;
        gLightMapAA[i] = 0;
      }
    }
    return;
  }

  RenderLightDepth(height, x, y, vertical, horizontal, ortho, cone, kind);
  if (!CanTestPixels()) return;
  EnsureEyeBuffer();
  const PixelTest test;
  const int16_t mode = ambient ? AmbientMode() : 1;
  const bool everyPixel = ds->shadowQuality == 5;
  const int32_t W = gVPWidth, H = gVPHeight;
  for (int32_t py = 0; py < H; ++py) {
    for (int32_t px = everyPixel ? 0 : (py & 1); px < W; px += everyPixel ? 1 : 2) {
      const size_t i = static_cast<size_t>(py) * W + px;
      double lx = 0, ly = 0;
      const Seen seen = test(i, &lx, &ly);
      if (seen == Seen::kOutside) continue;
      bool lit = seen == Seen::kLit;
      if (!lit && everyPixel && IsPlantPixel(i)) lit = true;
      if (!lit) continue;
      const float t = GetPixelDistance(static_cast<float>(lx), static_cast<float>(bottom - ly), 0, 0, right,
                                       bottom, falloff, mode);
      if (ambient) {
        AmbientPixel(i, t, intensity);
      } else if (t > -1) {
        const float add = (1 - gLightMap[i]) * intensity * (1 - t);
        gLightMap[i] += add;
        if (!everyPixel) gLightMapAA[i] = add;
      }
    }
  }
  if (everyPixel) return;
  if (!ambient) {
    // The untested half takes the mean of its tested neighbours.
    for (int32_t py = 0; py < H; ++py) {
      for (int32_t px = (py & 1) ^ 1; px < W; px += 2) {
        const size_t i = static_cast<size_t>(py) * W + px;
        float sum = 0;
        int count = 0;
        if (px > 0) sum += gLightMapAA[i - 1], ++count;
        if (px + 1 < W) sum += gLightMapAA[i + 1], ++count;
        if (py > 0) sum += gLightMapAA[i - W], ++count;
        if (py + 1 < H) sum += gLightMapAA[i + W], ++count;
        const float mean = count ? sum / count : 0;
        if (mean > 0) gLightMap[i] += (1 - gLightMap[i]) * mean;
      }
    }
  }
  std::fill_n(gLightMapAA, n, 0.0f);
}

void RenderAmbient(DocState* ds, float height, float x, float y, float intensity, int16_t up,
                   int16_t down) {
  NoteServiceCall("RenderAmbient", nullptr);
  if (!ds || (!up && !down)) return;
  const bool antiAliased = gRenderOpenGLAntiAlias != 0;
  const PassPlan plan = antiAliased ? LightJitterPlan(&ds->antiAliasPasses()) : PassPlan{1, j4};
  const float N = static_cast<float>(plan.passes);
  const size_t n = static_cast<size_t>(std::max(gVPWidth, 0)) * std::max(gVPHeight, 0);
  auto shootFour = [&](float vertical) {
    for (float horizontal : {0.0f, 90.0f, 180.0f, 270.0f})
      RenderLightView(ds, height, x, y, vertical, horizontal, 0, 105, 3, intensity, 79);
  };
  for (int32_t pass = 0; pass < plan.passes; ++pass) {
    if (antiAliased) {
      if (BreakOpenRender()) break;
      if (gBreakOpenGLRender) continue;
      x += 3 * plan.table[pass].x;
      y += 3 * plan.table[pass].y;
    }
    if (up && down) {
      gAmbientLightUpDown = 1;
      shootFour(52);
      gFadeDown = 1;
      shootFour(-52);
    } else if (up) {
      gAmbientLightUp = 1;
      gFadeDown = 1;
      shootFour(-52);
    } else {
      gAmbientLightDown = 1;
      shootFour(52);
    }
    gAmbientLightDown = gAmbientLightUp = gAmbientLightUpDown = gFadeDown = 0;
    if (gMultiMap && gLightMap) {
      for (size_t i = 0; i < n; ++i) {
        float& m = gMultiMap[i];
        if (m > 0) {
          const float v = antiAliased ? m / N : m;
          gLightMap[i] += (1 - gLightMap[i]) * v;
        }
        m = 0;
      }
    }
  }
}
