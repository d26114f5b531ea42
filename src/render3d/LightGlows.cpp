// Halos of glowing light fixtures and the light-map shots of wall flood lights.
#include "render3d/LightGlows.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TextureIDs.h"
#include "plandraw/PlatformAdapters.h"
#include "platform/ContentPaths.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/ShadowRender.h"
#include "render3d/TextureLoading.h"

GLUquadric* gQuadricObject = nullptr;
LightViewShot gFloodLightShot = &RenderLightView;

namespace {

constexpr double kRadiansToDegrees = 180.0 / M_PI;
constexpr int32_t kFloodLightSubtype = 83;
// The halo's entry in the texture-name map: outside the stock and custom id ranges, so that
// a surface showing stock image 14001 keeps its own plain texture.
constexpr int32_t kHaloTextureKey = 19000 + (kHaloTextureID % 1000);

int32_t DimmerOf(const Objex* light) { return light->extraFlags; }

uint8_t ClampAlpha(long value) { return static_cast<uint8_t>(std::clamp<long>(value, 0, 255)); }

// Loads the halo image into the bound texture: RGBA, alpha max(0, 4L - 765) of the luminance L.
bool UploadHaloImage() {
  char name[kTexturePathSize] = {};
  GetTextureFileNameFromID(kHaloTextureID, name, sizeof name);
  const std::string folder = LocalDomainTexturePath();
  if (!name[0] || folder.empty()) return false;
  const std::string path = folder + "/" + name;
  DIBImage* image = LoadGLDIBImage(path.c_str());
  if (!image) return false;
  const int32_t w = image->width, h = image->height;
  uint8_t* rgba = ConvertTextureToRGBACustom(image->pixels, 1.0f, w, h);
  FreeDIBImage(image);
  if (!rgba) return false;
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = rgba + i * 4;
    const int L = static_cast<int>(0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2] + 0.5) & 255;
    p[3] = static_cast<uint8_t>(std::max(0, 4 * L - 765));
  }
  UploadTextureImage(GL_RGBA, w, h, GL_RGBA, rgba);
  free(rgba);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  return true;
}

// The halo texture of the current context, loaded the first time; 0 when its image could not
// be loaded (not tried again until the renderer forgets its missing images).
GLuint HaloTexture() {
  if (const uint32_t name = GLTextureNameForID(kHaloTextureKey)) return name;
  if (IsTextureKnownMissing(kHaloTextureKey)) return 0;
  // Its own name 14001 while that is free in this context, else a fresh one.
  GLuint name = kHaloTextureID;
  if (glIsTexture(name)) glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  if (!UploadHaloImage()) {
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &name);
    NoteMissingTexture(kHaloTextureKey);
    return 0;
  }
  SetGLTextureNameForID(kHaloTextureKey, name);
  return name;
}

// One halo: a quad facing the window around the lamp point P, its half width and half height
// the window lengths of P raised by the two rises, drawn over everything with blending.
void DrawHalo(double x, double y, double z, double widthRise, double heightRise, uint8_t alpha,
              const double* modelView, const double* projection, const int32_t* viewport) {
  if (!modelView || !projection || !viewport) return;
  const GLint vp[4] = {viewport[0], viewport[1], viewport[2], viewport[3]};
  GLdouble wx, wy, wz, rx, ry, rz, hx, hy, hz;
  if (!gluProject(x, y, z, modelView, projection, vp, &wx, &wy, &wz)) return;
  // A lamp before the near plane or behind the viewer projects to a mirrored place.
  if (!(wz >= 0.0 && wz <= 1.0)) return;
  if (!gluProject(x, y + widthRise, z, modelView, projection, vp, &rx, &ry, &rz)) return;
  if (!gluProject(x, y + heightRise, z, modelView, projection, vp, &hx, &hy, &hz)) return;
  const double dw = Get3DLineLength(static_cast<float>(wx), static_cast<float>(wy), static_cast<float>(wz),
                                    static_cast<float>(rx), static_cast<float>(ry), static_cast<float>(rz));
  const double dh = Get3DLineLength(static_cast<float>(wx), static_cast<float>(wy), static_cast<float>(wz),
                                    static_cast<float>(hx), static_cast<float>(hy), static_cast<float>(hz));
  if (!std::isfinite(dw) || !std::isfinite(dh)) return;
  // Window corners and texture coordinates: (-dw, +dh), (+dw, +dh), (+dw, -dh), (-dw, -dh).
  static const double kCorner[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
  static const float kTex[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  double corner[4][3];
  for (int i = 0; i < 4; ++i)
    if (!gluUnProject(wx + kCorner[i][0] * dw, wy + kCorner[i][1] * dh, wz, modelView, projection, vp,
                      &corner[i][0], &corner[i][1], &corner[i][2]))
      return;
  const GLuint texture = HaloTexture();
  if (!texture) return;

  glDisable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor4ub(255, 255, 255, alpha);
  glBegin(GL_POLYGON);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(kTex[i][0], kTex[i][1]);
    glVertex3d(corner[i][0], corner[i][1], corner[i][2]);
  }
  glEnd();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_STENCIL_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

}  // namespace

bool GetCanLightHalo(int16_t kind, int32_t dimmer, CanLightHalo* halo) {
  if (!halo) return false;
  const double d = dimmer;
  const auto alphaOf = [d](double divisor, double scale) {
    return static_cast<int32_t>(ClampAlpha(std::lround((255.0 - d / divisor) / 255.0 * scale)));
  };
  CanLightHalo h;
  switch (kind) {
    case 79: h = {-2, 0, 220, 130, alphaOf(2, 200)}; break;
    case 81: case 82: h = {-5, 7, 190, 100, alphaOf(2, 240)}; break;
    case 146: h = {2, 0, 115, 65, alphaOf(2, 255)}; break;
    case 149: h = {19, 0, 75, 75, alphaOf(2, 255)}; break;
    case 152: h = {0, 0, 95, 75, alphaOf(1.25, 255)}; break;
    case 80: case 150: case 151: h = {0, 0, 95, 75, alphaOf(2, 255)}; break;
    default: return false;  // 147, 148 and anything that is no can light
  }
  *halo = h;
  return true;
}

bool GetFloodLamp(const Objex* wall, const Objex* light, const DocState* ds, FloodLamp* lamp) {
  if (!wall || !light || !ds || !lamp || wall->type != kObjWall) return false;
  const auto* record = static_cast<const DoorWindowData*>(light->typeData);
  if (!record || !record->anchorStart || !record->anchorEnd) return false;
  const Poinz* start = record->anchorStart;
  const Poinz* end = record->anchorEnd;
  FloodLamp out;
  out.height = record->elevation + ConvertWorldToScreen(start->segmentElevation, ds, 0) +
               ConvertWorldToScreen(wall->params[2], ds, 0);
  float length = 0;
  out.wallAngle = GetLineLengthAndAngle(start->position[0], start->position[2], end->position[0], end->position[2],
                                        &length);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(out.wallAngle, record->startDistance, &dx, &dz);
  const float baseX = start->position[0] + dx, baseZ = start->position[2] + dz;
  out.sideAngle = out.wallAngle + static_cast<float>(record->flipHorizontal ? M_PI_2 : -M_PI_2);
  GetPointFromLengthAndAngle(out.sideAngle, ConvertWorldToScreen(wall->width, ds, 0), &dx, &dz);
  out.baseX = baseX + dx;
  out.baseZ = baseZ + dz;
  if (!std::isfinite(out.height) || !std::isfinite(out.baseX) || !std::isfinite(out.baseZ)) return false;
  *lamp = out;
  return true;
}

void RenderCanLightMask(PlaneObject*, Objex*, const double*, const double*, const int32_t*) {
  // The halo shows whatever lies in front of the lamp: no mask is drawn, and the stencil
  // stays as RenderLights set it.
}

void RenderCanLightMap(PlaneObject* object, Objex* light, const double* modelView, const double* projection,
                       const int32_t* viewport) {
  DocState* ds = CurDocState();
  if (!object || !light || !ds) return;
  const Objex* root = GetRootObject(light);
  if (!root) return;
  CanLightHalo halo;
  if (!GetCanLightHalo(light->type, DimmerOf(light), &halo)) return;
  const Float3DRect& box = light->bounds3D;
  const double x = (box.floatLeft + box.floatRight) / 2.0;
  const double z = (box.floatBack + box.floatFront) / 2.0 + halo.dz;
  const double y = ConvertWorldToScreen(root->baseElevation, ds, 0) + halo.dy;
  DrawHalo(x, y, z, halo.widthRise, halo.heightRise, static_cast<uint8_t>(halo.alpha), modelView, projection,
           viewport);
}

void RenderFloodLightMap(Objex* light, float x, float height, float z, const double* modelView,
                         const double* projection, const int32_t* viewport) {
  if (!light) return;
  const uint8_t alpha = ClampAlpha(255 - DimmerOf(light) / 2);
  DrawHalo(x, height, z, 95, 75, alpha, modelView, projection, viewport);
}

void RenderFloodLightMask(PlaneObject* object, Objex* light, const double* modelView, const double* projection,
                          const int32_t* viewport) {
  DocState* ds = CurDocState();
  Objex* wall = light ? GetRootObject(light) : nullptr;
  FloodLamp lamp;
  if (object && ds && wall && light->subtype == kFloodLightSubtype && GetFloodLamp(wall, light, ds, &lamp) &&
      gQuadricObject) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_FALSE);
    glShadeModel(GL_SMOOTH);
    for (const float spread : {kFloodBeamSpread, -kFloodBeamSpread}) {
      float dx = 0, dz = 0;
      GetPointFromLengthAndAngle(lamp.sideAngle + spread, kFloodLampOffset, &dx, &dz);
      RenderFloodLightMap(light, lamp.baseX + dx, lamp.height + 5, lamp.baseZ + dz, modelView, projection,
                          viewport);
    }
  }
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_ALWAYS, 1, 0xFFFF);
  glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
}

void CastSpotLight(Objex* wall, Objex* floodLight) {
  DocState* ds = CurDocState();
  FloodLamp lamp;
  if (!ds || !floodLight || !GetFloodLamp(wall, floodLight, ds, &lamp)) return;
  const double a = lamp.wallAngle * kRadiansToDegrees;
  const auto* record = static_cast<const DoorWindowData*>(floodLight->typeData);
  const float h = static_cast<float>(record->flipHorizontal ? a + 90 : a - 90);
  const float intensity = (255.0f - static_cast<float>(DimmerOf(floodLight))) / 255.0f;
  const auto falloff = static_cast<int32_t>(floodLight->params[2] + 0.5f);
  const float cone = floodLight->params[1] - 40;
  const struct {
    float spread, turn;
  } shots[2] = {{kFloodBeamSpread, 48}, {-kFloodBeamSpread, 132}};
  for (const auto& shot : shots) {
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(lamp.sideAngle + shot.spread, kFloodLampOffset, &dx, &dz);
    if (gFloodLightShot)
      gFloodLightShot(ds, lamp.height, lamp.baseX + dx, lamp.baseZ + dz, 130, h + shot.turn, 0, cone, falloff,
                      intensity, static_cast<int16_t>(kFloodLightSubtype));
  }
}
