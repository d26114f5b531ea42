// Light direction, per-face shading, the Escape poll and the light pools.
#include "render3d/Lighting.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"
#include "platform/KeyWatch.h"
#include "render3d/LightGlows.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"

float gLightXAngle = 90, gLightYAngle = 150, gLightZAngle = 0;
float gLightXDegrees = 90, gLightYDegrees = 150, gLightZDegrees = 0;
float gDirectionCosX = 0, gDirectionCosY = -0.8660254f, gDirectionCosZ = 1;

namespace {
constexpr double kRadiansPerDegree = M_PI / 180.0;
constexpr int32_t kPartAttachedSymbol = 111;
constexpr int16_t kFloodLightSubtype = 83;

bool IsCanLight(int16_t kind) {
  return (kind >= 79 && kind <= 82) || kind == 146 || (kind >= 149 && kind <= 152);
}

// The next key pressed in the 3D window since the render began (the installed key watch,
// else the window's own queue); -1 when none waits.
int32_t NextKey() {
  if (CurrentKeyWatch()) return TakeKeyDown();
  return gLiveViewHost.takeKeyDown ? gLiveViewHost.takeKeyDown() : -1;
}

// Takes the next key; true for Escape (any other key is consumed).
bool EscapeWaiting() { return NextKey() == kKeyCodeEscape; }

// Drops the keys still queued (the watch hands out a bounded queue).
void FlushKeys() {
  if (CurrentKeyWatch())
    for (int i = 0; i < 4096 && TakeKeyDown() >= 0; ++i) {
    }
  if (gLiveViewHost.flushKeys) gLiveViewHost.flushKeys();
}
}  // namespace

void SetupLights() {
  gLightXDegrees = gLightXAngle;
  gLightYDegrees = gLightYAngle;
  gLightZDegrees = gLightZAngle;
  gDirectionCosX = static_cast<float>(std::cos(gLightXDegrees * kRadiansPerDegree));
  gDirectionCosY = static_cast<float>(std::cos(gLightYDegrees * kRadiansPerDegree));
  gDirectionCosZ = static_cast<float>(std::cos(gLightZDegrees * kRadiansPerDegree));
}

void ComputeShading(float, float nx, float ny, float nz, const void* colour, uint16_t* component,
                    int16_t noBrightness) {
  if (!(gLiveViewOptions & kLiveViewShading) || !colour || !component) return;
  DocState* ds = CurDocState();
  if (!ds) return;
  const int c = *component;
  float b = ds->lightBrightness();
  const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (!std::isfinite(length)) return;
  // A zero normal is left as it is, which makes the face one turned edge-on to the light.
  if (length > 0) nx /= length, ny /= length, nz /= length;
  const float d = std::fabs(nz * gDirectionCosZ + (nx * gDirectionCosX + ny * gDirectionCosY));
  int s = static_cast<int>(d * c + 0.5f);
  const float k = (b - 0.5f) * 0.5f;
  if (k < 0.4f) b *= std::max(0.5f, k / 0.4f);
  if (noBrightness == 0) {
    // The brightness comes from the design: only the part of the product that can still
    // win against c (0 .. c) is turned into an integer.
    const float scaled = b * static_cast<float>(std::max(s, static_cast<int>(c * 0.6 + 0.5)));
    s = !(scaled < c) ? c : scaled > 0 ? static_cast<int>(scaled) : 0;
  }
  *component = static_cast<uint16_t>(std::clamp(std::min(c, s), 0, 65535));
}

int16_t BreakOpenRender() {
  if (gBreakOpenGLRender && !gDisableRenderInterrupt && !gPrinting3DView) {
    FlushKeys();
    return 1;
  }
  const int32_t key = NextKey();
  if (gDisableRenderInterrupt || key < 0 || gPrinting3DView) return 0;
  if (key != kKeyCodeEscape) return 0;
  FlushKeys();
  g3DViewPrintInterrupted = 1;
  gBreakOpenGLRender = 1;
  return 1;
}

void RenderLights(PlaneObject* list) {
  DocState* ds = CurDocState();
  if (!ds || !list) return;
  if ((ds->renderExclusions() & kLVOffElectrical) || ds->transparency() ||
      ds->renderMode() == kRenderWireframe)
    return;
  GLdouble modelView[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int32_t vp[4] = {viewport[0], viewport[1], viewport[2], viewport[3]};

  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_ALWAYS, 1, 0xFFFF);
  glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);

  const bool polling = (gRenderOpenGLAntiAlias || gRenderingShadowMapAntiAlias) &&
                       !gDisableRenderInterrupt && !gPrinting3DView;
  bool interrupted = false;
  const Objex* lastHandled = nullptr;
  int32_t count = 0;
  for (PlaneObject* p = list; p; p = p->next) {
    if (polling && ++count % 300 == 0 && EscapeWaiting()) {
      FlushKeys();
      interrupted = true;
      break;
    }
    if (p->partType != kPartAttachedSymbol) continue;
    Objex* light = p->actual3DObject;  // its plantAge is the glow switch (0 = on)
    if (!light || light->plantAge != 0) continue;
    if (p->base2DObject == lastHandled || light == lastHandled) continue;
    if (IsCanLight(light->type)) {
      glClear(GL_STENCIL_BUFFER_BIT);
      RenderCanLightMask(p, light, modelView, projection, vp);
      glDepthMask(GL_FALSE);
      glDisable(GL_DEPTH_TEST);
      glShadeModel(GL_SMOOTH);
      glEnable(GL_DITHER);
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      glEnable(GL_BLEND);
      glStencilFunc(GL_EQUAL, 1, 0xFFFF);
      glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
      RenderCanLightMap(p, light, modelView, projection, vp);
      glEnable(GL_DEPTH_TEST);
      glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
      glDisable(GL_BLEND);
      glStencilFunc(GL_ALWAYS, 1, 0xFFFF);
      glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
      lastHandled = p->base2DObject;
    } else if (light->subtype == kFloodLightSubtype) {
      glClear(GL_STENCIL_BUFFER_BIT);
      RenderFloodLightMask(p, light, modelView, projection, vp);
      lastHandled = light;
    }
  }
  if (interrupted) {
    g3DViewPrintInterrupted = 1;
    gBreakOpenGLRender = 1;
  }
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DITHER);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_BLEND);
}
