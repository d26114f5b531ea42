// Plants as pictures that face the viewer (a quad standing on the plant's footprint, as wide as
// the plant and as tall as it has grown, its black background cut away), and photo objects:
// flat surfaces textured with an image file of the user's; and the planar shadows of both.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "building3d/TopoElevation.h"
#include "model/ColorConversions.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Plants.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TextureIDs.h"
#include "model/TexturePaths.h"
#include "plandraw/PlatformAdapters.h"
#include "platform/ContentPaths.h"
#include "render3d/Lighting.h"
#include "render3d/PlanarShadows.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TextureLoading.h"

uint8_t gDrawClearViewPhotoView = 0;

namespace {

constexpr int16_t kKindPlant = 8, kKindUserPlant = 9, kKindStrip = 7, kPartStripShared = 7;
constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr RGBColor kNoStripColor{1, 1, 1};
constexpr double kProbePixels = 100;

struct Vec3 {
  double x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
Vec3 Unit(Vec3 v) {
  const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return l > 0 ? v * (1 / l) : v;
}

uint8_t Opacity(const DocState* ds) { return static_cast<uint8_t>(const_cast<DocState*>(ds)->clearViewOpacity() & 0xFF); }

void SendColor(const RGBColor& c, uint8_t alpha) {
  glColor4ub(static_cast<GLubyte>(c.red / 257), static_cast<GLubyte>(c.green / 257),
             static_cast<GLubyte>(c.blue / 257), alpha);
}

RGBColor WithValue(RGBColor c, double value) {
  HSVColor hsv;
  RGBtoHSV(&c, &hsv);
  hsv.value = ClampValue(value);
  HSVtoRGB(&hsv, &c);
  return c;
}

// The four corners of a plant's billboard (top left, top right, bottom right, bottom left),
// facing the camera of the current matrices; false without a footprint of four vertices.
bool BillboardCorners(const PlaneObject* po, DocState* ds, Vec3 corners[4]) {
  const Plane* footprint = po->planes;
  if (!footprint || !footprint->vertices || footprint->vertexCount != 4) return false;
  const PlaneVertex* v = footprint->vertices;
  Vec3 base;
  base.x = (v[0].x + v[1].x) / 2;
  base.z = (v[1].z + v[2].z) / 2;
  Objex* plant = po->base2DObject;
  if (plant && OnTopographyOf(plant))
    base.y = -GetTopoElevationAtGridPt(static_cast<float>(base.x), static_cast<float>(base.z));
  else
    base.y = ConvertWorldToScreen(plant ? plant->baseElevation : 0.0f, ds, 0);

  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  // The unit vector from a point towards the point drawn `dx`, `dy` pixels away at its depth.
  auto screenDirection = [&](const Vec3& p, double dx, double dy, Vec3* out) {
    GLdouble wx, wy, wz, ox, oy, oz;
    if (!gluProject(p.x, p.y, p.z, model, projection, viewport, &wx, &wy, &wz)) return false;
    if (!gluUnProject(wx + dx, wy + dy, wz, model, projection, viewport, &ox, &oy, &oz)) return false;
    *out = Unit(Vec3{ox, oy, oz} - p);
    return true;
  };
  Vec3 right, up, topRight;
  if (!screenDirection(base, kProbePixels, 0, &right) || !screenDirection(base, 0, kProbePixels, &up)) return false;
  const double halfWidth = po->billboardSize[0], height = po->billboardSize[1];
  const Vec3 top = base + up * height;
  if (!screenDirection(top, kProbePixels, 0, &topRight)) return false;
  corners[0] = top - topRight * halfWidth;
  corners[1] = top + topRight * halfWidth;
  corners[2] = base + right * halfWidth;
  corners[3] = base - right * halfWidth;
  return true;
}

// The picture id a plant shows in this mode (the wire-frame picture of its category in the
// wireframe mode).
int32_t PlantPictureID(const PlaneObject* po, int16_t mode) {
  int32_t id = po->textureIdA;
  if (mode == kRenderWireframe && id != 0) {
    const int32_t wire = GetWireFramePlantTextureIDNameFromID(id);
    id = wire ? wire : kTextureWirePlants;
  }
  return id;
}

// The image file of a plant's picture; "" when it has none.
std::string PlantPicturePath(const PlaneObject* po, int32_t id, int16_t mode) {
  const Objex* plant = po->base2DObject;
  if (plant && plant->subtype == kSubUserPlant && mode != kRenderWireframe) {
    const auto* path = static_cast<const char*>(plant->typeData);
    return path ? std::string(path) : std::string();
  }
  char name[kTexturePathSize] = {};
  GetTextureFileNameFromID(id, name, sizeof name);
  const std::string folder = mode == kRenderWireframe ? LocalDomainTexturePath() : LocalDomainUserSharedTexturePath();
  if (!name[0] || folder.empty()) return {};
  return folder + "/" + name;
}

// The RGBA image into the bound texture: repeating, linearly filtered, modulating the colour.
void UploadRepeatingRGBA(const uint8_t* rgba, int32_t width, int32_t height) {
  UploadTextureImage(4, width, height, GL_RGBA, rgba);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// Loads a plant picture under its id: at its own size for the final render, scaled to
// 256 x 256 for the real-time view; pure black is transparent. False when it cannot be made.
bool LoadPlantPicture(int32_t id, const std::string& path, bool realTime) {
  DIBImage* image = path.empty() ? nullptr : LoadGLDIBImage(path.c_str());
  if (!image) {
    NoteMissingTexture(id);
    return false;
  }
  int32_t w = image->width, h = image->height;
  uint8_t* rgba = ConvertTextureToRGBACustom(image->pixels, 1.0f, w, h);
  FreeDIBImage(image);
  if (!rgba) return false;
  SetTextureAlphaCustom(rgba, 0.0f, w, h);
  if (realTime && (w != kRealTimePlantSide || h != kRealTimePlantSide)) {
    uint8_t* scaled = ScaleRGBAImage(rgba, w, h, kRealTimePlantSide, kRealTimePlantSide);
    free(rgba);
    if (!scaled) return false;
    rgba = scaled;
    w = h = kRealTimePlantSide;
  }
  glBindTexture(GL_TEXTURE_2D, GLTextureNameToLoad(id));
  UploadRepeatingRGBA(rgba, w, h);
  free(rgba);
  return true;
}

// Binds the texture of a plant's or a photo's picture, filtered and combined as given, with the
// alpha test that leaves its clear pixels out; without a texture (name 0) texturing is off.
void BeginPictureTexture(uint32_t name, GLint filter, GLint envMode) {
  if (name) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
}

// Turns the texturing and the alpha test of a picture drawn with a texture off again.
void EndPictureTexture(uint32_t name) {
  if (name) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
  }
}

void DrawPlant(PlaneObject* po, bool realTime) {
  DocState* ds = CurDocState();
  if (!po || !ds) return;
  const int16_t mode = ds->renderMode();
  if (ds->transparency() && mode != kRenderWireframe) return;
  const int32_t id = PlantPictureID(po, mode);
  if (id == 0) return;
  Vec3 corners[4];
  if (!BillboardCorners(po, ds, corners)) return;

  uint32_t name = GLTextureNameForID(id);
  // The real-time view loads a missing picture only while it picks.
  if (!name && !IsTextureKnownMissing(id) && (!realTime || gGLPickMode)) {
    if (!LoadPlantPicture(id, PlantPicturePath(po, id, mode), realTime) && !IsTextureKnownMissing(id)) return;
    name = GLTextureNameForID(id);
  }

  // Colours: the base brightness at the top, darkened by the light intensity at the bottom.
  const double V0 = SceneBaseBrightness(ds);
  const RGBColor top = WithValue(ds->transparency() ? ds->clearViewLineColor() : kWhite, V0 * 65535);
  RGBColor bottom = top;
  const float intensity = ds->lightIntensity();
  if (!realTime && mode != kRenderLightView && mode != kRenderWireframe && (gLiveViewOptions & kLiveViewShading)) {
    auto darker = [intensity](uint16_t c) {
      return static_cast<uint16_t>(intensity > c ? 0 : static_cast<int>(c - intensity));
    };
    bottom = {darker(top.red), darker(top.green), darker(top.blue)};
  }
  const uint8_t alpha = Opacity(ds);

  if (mode == kRenderWireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  BeginPictureTexture(name, realTime ? GL_NEAREST : GL_LINEAR, GL_MODULATE);
  static const float kS[4] = {0, 1, 1, 0}, kT[4] = {1, 1, 0, 0};
  glBegin(realTime ? GL_QUADS : GL_POLYGON);
  for (int i = 0; i < 4; ++i) {
    SendColor(i < 2 ? top : bottom, alpha);
    if (name) glTexCoord2f(kS[i], kT[i]);
    glVertex3d(corners[i].x, corners[i].y, corners[i].z);
  }
  glEnd();
  EndPictureTexture(name);
  if (mode == kRenderWireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}

// Loads a photo's image under its id. Final quality: the path repaired, framed and scaled to
// 512 x 512 as custom textures are; real time: the path as it is, at its own size. Black is
// transparent in both. False when the image cannot be made into a texture.
bool LoadPhotoImage(int32_t id, const char* imagePath, bool realTime) {
  char path[kPathBufferSize] = {};
  std::strncpy(path, imagePath, sizeof path - 1);
  if (!realTime) Validate512Pathname(path);
  DIBImage* image = LoadGLDIBImage(path);
  if (!image) {
    NoteMissingTexture(id);
    return false;
  }
  int32_t side = kCustomTextureSide, w = image->width, h = image->height;
  uint8_t* rgba = nullptr;
  if (realTime) {
    rgba = ConvertTextureToRGBACustom(image->pixels, 1.0f, w, h);
    SetTextureAlphaCustom(rgba, 0.0f, w, h);
  } else {
    rgba = CustomTexturePixels(image, true);
    w = h = side;
  }
  FreeDIBImage(image);
  if (!rgba) return false;
  glBindTexture(GL_TEXTURE_2D, GLTextureNameToLoad(id));
  UploadRepeatingRGBA(rgba, w, h);
  free(rgba);
  return true;
}

const char* PhotoImagePath(const PlaneObject* po) {
  const Objex* photo = po->base2DObject;
  const auto* path = photo ? static_cast<const char*>(photo->sourceObject) : nullptr;
  return path && path[0] ? path : nullptr;
}

// Whether a photo vertex's value fades along v (else along 1 - v).
bool FadesAlongV(const PlaneObject* po) {
  const int16_t T = po->actual3DType;
  if (T == 0) return false;
  const Layer* layer = po->actual3DObject ? po->actual3DObject->layer : nullptr;
  if (!layer || std::strcmp(layer->name, "First Floor") == 0) return true;
  for (int16_t t : {14, 16, 32, 33, 34, 35, 41, 42, 44})
    if (T == t) return true;
  return false;
}

// Notes the service call, then gives the design of a photo that is drawn and the photo's image
// file: none in wireframe, in see-through views that leave photos out, or for a photo without
// a placed object or an image.
DocState* DrawnPhotoDesign(const char* service, const PlaneObject* po, const char** imagePath) {
  NoteServiceCall(service, nullptr);
  DocState* ds = CurDocState();
  if (!po || !ds) return nullptr;
  const int16_t mode = ds->renderMode();
  if ((ds->transparency() && !gDrawClearViewPhotoView) || mode == kRenderWireframe) return nullptr;
  *imagePath = PhotoImagePath(po);
  if (!po->actual3DObject || !*imagePath) return nullptr;
  return ds;
}

}  // namespace

void RenderGLPlantObject(PlaneObject* object) {
  NoteServiceCall("RenderGLPlantObject", nullptr);
  DrawPlant(object, false);
}
void RTRenderGLPlantObject(PlaneObject* object) {
  NoteServiceCall("RTRenderGLPlantObject", nullptr);
  DrawPlant(object, true);
}

void RenderGLPhotoObject(PlaneObject* po) {
  const char* imagePath = nullptr;
  DocState* ds = DrawnPhotoDesign("RenderGLPhotoObject", po, &imagePath);
  if (!ds) return;
  const int16_t mode = ds->renderMode();

  const int32_t id = po->textureIdA;
  uint32_t name = 0;
  if (!gRenderPlantsInColor && id >= kFirstCustomTextureID) {
    name = GLTextureNameForID(id);
    if (!name && !IsTextureKnownMissing(id)) {
      if (!LoadPhotoImage(id, imagePath, false) && !IsTextureKnownMissing(id)) return;
      name = GLTextureNameForID(id);
    }
  }

  const bool lineModes = mode == kRenderClearViewLines;
  RGBColor base;
  if (lineModes) base = ds->clearViewLineColor();
  else if (mode == kRenderClearViewFill) base = ds->clearViewFillColor();
  else if (gRenderPlantsInColor || name) base = kWhite;
  else base = PlaneObjectMaterialColor(po);
  HSVColor hsv;
  RGBtoHSV(&base, &hsv);
  const uint16_t V0 = hsv.value;
  if (!lineModes && mode != kRenderClearViewFill && !gRenderPlantsInColor) {
    const float* n = po->planes ? po->planes->normal : nullptr;
    ComputeShading(1.0f, n ? n[0] : 1, n ? n[1] : 1, n ? n[2] : 1, &hsv.saturation, &hsv.value, 0);
    HSVtoRGB(&hsv, &base);
  }

  BeginPictureTexture(name, GL_LINEAR, GL_MODULATE);

  const uint8_t alpha = Opacity(ds);
  const float m = po->base2DObject->capped ? -1.0f : 1.0f;
  const bool strip2 = po->partType == kPartStripShared, strip0 = !strip2 && po->renderKind == kKindStrip;
  const bool fades = !lineModes && (gLiveViewOptions & kLiveViewShading);
  const bool alongV = FadesAlongV(po);
  const float I = ds->lightIntensity() / 65535.0f * hsv.value;
  const RGBColor line = ds->clearViewLineColor(), fill = ds->clearViewFillColor();
  for (Plane* plane = po->planes; plane; plane = plane->next) {
    glBegin(GL_POLYGON);
    glNormal3f(plane->normal[0], plane->normal[1], plane->normal[2]);
    const int32_t count = plane->vertices ? plane->vertexCount : 0;
    for (int32_t i = 0; i < count; ++i) {
      const PlaneVertex& v = plane->vertices[i];
      RGBColor c = base;
      if (gRenderPlantsInColor) {
      } else if (strip2 || strip0) {
        const bool shared = strip2 ? (i == 2 || i == 3) : (i == 0 || i == 1);
        if (shared && po->sourceObject == gPrevPlaneParentObject && !(gPrevPlaneColor == kNoStripColor))
          c = gPrevPlaneColor;
      } else if (fades) {
        const float f = alongV ? v.v : 1 - v.v;
        const float value = hsv.value - I * f;
        const uint16_t V = ClampValue(value);
        if (mode == kRenderClearViewFill) {
          const float k = hsv.value == 0 || V == 0 ? 1.0f : static_cast<float>(V) / hsv.value;
          // Kept within the component range when the value rises above the photo's own.
          const auto mix = [k](int from, int to) {
            return ClampValue(static_cast<float>(from) + static_cast<float>(to - from) * k);
          };
          c.red = mix(line.red, fill.red);
          c.green = mix(line.green, fill.green);
          c.blue = mix(line.blue, fill.blue);
        } else {
          const HSVColor faded{hsv.hue, hsv.saturation, V};
          HSVtoRGB(&faded, &c);
        }
      }
      SendColor(c, alpha);
      if (name) glTexCoord2f(m * v.u, -v.v);
      if (lineModes) glEdgeFlag(v.flag == 0 ? GL_TRUE : GL_FALSE);
      glVertex3f(v.x, -v.y, v.z);
    }
    glEnd();
  }
  if (lineModes) glEdgeFlag(GL_TRUE);
  (void)V0;
  gPrevPlaneParentObject = po->sourceObject;
  gPrevPlaneColor = base;
  EndPictureTexture(name);
}

void RTRenderGLPhotoObject(PlaneObject* po) {
  const char* imagePath = nullptr;
  DocState* ds = DrawnPhotoDesign("RTRenderGLPhotoObject", po, &imagePath);
  if (!ds) return;
  const int16_t mode = ds->renderMode();
  const int32_t id = po->textureIdA;
  uint32_t name = 0;
  if (id >= kFirstCustomTextureID) {
    name = GLTextureNameForID(id);
    if (!name && gGLPickMode && !IsTextureKnownMissing(id)) {
      LoadPhotoImage(id, imagePath, true);
      name = GLTextureNameForID(id);
    }
  }
  const int16_t speed = ds->navigationStep;
  BeginPictureTexture(name, speed < 8 ? GL_LINEAR : GL_NEAREST, speed < 9 ? GL_MODULATE : GL_REPLACE);
  const float m = po->base2DObject->capped ? -1.0f : 1.0f;
  const bool edgeFlags = mode == kRenderClearView;
  glColor4ub(255, 255, 255, Opacity(ds));
  for (Plane* plane = po->planes; plane; plane = plane->next) {
    const int32_t count = plane->vertices ? plane->vertexCount : 0;
    glBegin(count == 3 ? GL_TRIANGLES : count == 4 ? GL_QUADS : GL_POLYGON);
    for (int32_t i = 0; i < count; ++i) {
      const PlaneVertex& v = plane->vertices[i];
      if (name) glTexCoord2f(m * v.u, -v.v);
      if (edgeFlags) glEdgeFlag(v.flag == 0 ? GL_TRUE : GL_FALSE);
      glVertex3f(v.x, -v.y, v.z);
    }
    glEnd();
  }
  if (edgeFlags) glEdgeFlag(GL_TRUE);
  EndPictureTexture(name);
}

void GrowPlantVisuals(float years) {
  NoteServiceCall("GrowPlantVisuals", nullptr);
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (po->renderKind != kKindPlant && po->renderKind != kKindUserPlant) continue;
    Objex* plant = po->base2DObject;
    if (!plant || plant->type != kObjPlant) continue;
    plant->plantAge = std::max(1.0f, plant->plantAge + years);
    float width = po->billboardSize[0] * 2, height = po->billboardSize[1];
    // Measure only: resizing would rebuild the plant's plane objects under this walk.
    GetPlantBounds(plant, &width, &height, 0);
    po->billboardSize[0] = width / 2;
    po->billboardSize[1] = height;
  }
}

// Shadows of plants and photos, drawn from their images through the planar shadow matrix.
namespace {

// Binds a temporary texture of the RGBA image and sets up the shadow drawing: the shadow
// matrix, stencil NOTEQUAL 1 / REPLACE, blending and the alpha test that keeps only the
// image's opaque pixels. 0 when no texture name could be made.
GLuint BeginImageShadow(const uint8_t* rgba, int32_t width, int32_t height) {
  GLuint name = 0;
  glGenTextures(1, &name);
  if (!name) return 0;
  glBindTexture(GL_TEXTURE_2D, name);
  UploadRepeatingRGBA(rgba, width, height);
  glEnable(GL_TEXTURE_2D);
  glPushMatrix();
  glMultMatrixf(shadowMat);
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_NOTEQUAL, 1, 0xFFFF);
  glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.24f);
  glColor4ub(0, 0, 0, kShadowAlpha);
  return name;
}

void EndImageShadow(GLuint name) {
  glPopMatrix();
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &name);
}

}  // namespace

void RenderGLPlantShadowObject(PlaneObject* po) {
  DocState* ds = CurDocState();
  if (!po || !ds || po == gCurrentShadowRecipient) return;
  const int16_t mode = ds->renderMode();
  const int32_t id = PlantPictureID(po, mode);
  if (id == 0) return;
  Vec3 corners[4];
  if (!BillboardCorners(po, ds, corners)) return;
  const std::string path = PlantPicturePath(po, id, mode);
  DIBImage* image = path.empty() ? nullptr : LoadGLDIBImage(path.c_str());
  if (!image) return;
  const int32_t w = image->width, h = image->height;
  uint8_t* rgba = ConvertTextureToRGBACustom(image->pixels, 1.0f, w, h);
  FreeDIBImage(image);
  if (!rgba) return;
  SetTextureAlphaCustom(rgba, 0.0f, w, h);  // the picture's black background casts nothing
  const GLuint name = BeginImageShadow(rgba, w, h);
  free(rgba);
  if (!name) return;
  static const float kS[4] = {0, 1, 1, 0}, kT[4] = {1, 1, 0, 0};
  glBegin(GL_POLYGON);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(kS[i], kT[i]);
    glVertex3d(corners[i].x, corners[i].y, corners[i].z);
  }
  glEnd();
  EndImageShadow(name);
}

void RenderGLPhotoShadowObject(PlaneObject* po) {
  DocState* ds = CurDocState();
  if (!po || !ds || po == gCurrentShadowRecipient || !po->base2DObject) return;
  if (!ShadowReachesReceiver(po, false)) return;
  const char* imagePath = PhotoImagePath(po);
  if (!imagePath) return;
  DIBImage* image = LoadGLDIBImage(imagePath);
  if (!image) return;
  uint8_t* rgba = CustomTexturePixels(image, true);  // 512 x 512, black transparent
  FreeDIBImage(image);
  if (!rgba) return;
  const GLuint name = BeginImageShadow(rgba, kCustomTextureSide, kCustomTextureSide);
  free(rgba);
  if (!name) return;
  const float m = po->base2DObject->capped ? -1.0f : 1.0f;
  for (const Plane* plane = po->planes; plane; plane = plane->next) {
    const int32_t count = plane->vertices ? plane->vertexCount : 0;
    if (count < 3) continue;
    glBegin(GL_POLYGON);
    for (int32_t i = 0; i < count; ++i) {
      const PlaneVertex& v = plane->vertices[i];
      glTexCoord2f(m * v.u, -v.v);
      glVertex3f(v.x, -v.y, v.z);
    }
    glEnd();
  }
  EndImageShadow(name);
}
