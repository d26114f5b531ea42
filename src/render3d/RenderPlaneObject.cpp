// One plane object in immediate mode: its material side, texture, shaded colour, per-vertex
// fades and strip colours at final quality; one flat colour per plane in real time.
#include "render3d/RenderPlaneObject.h"

#include <GL/gl.h>

#include <cstring>
#include <unordered_map>

#include "building3d/PlaneObjects.h"
#include "model/ColorConversions.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "plandraw/PlanDrawing.h"
#include "render3d/CarvedFaces.h"
#include "render3d/Lighting.h"
#include "render3d/RealTimeScene.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TextureLoading.h"
#include "render3d/WorkingPlane.h"

uint8_t gTexturedWire = 0;
uint8_t gTextureKnownOff = 0;
uint8_t gTextureLeftOn = 0;

namespace {
constexpr RGBColor kNoStripColor{1, 1, 1};
constexpr RGBColor kWhite{65535, 65535, 65535};
// Wireframe colour of a face whose plan colour has no source (GetObjectPlanColor's own).
constexpr RGBColor kNoPlanColor{0, 16448, 34952};
constexpr int16_t kPartFloor = 13, kPart50 = 50, kPartStripShared = 7, kKindStrip = 7;
constexpr int16_t kKindSideA = 6;
constexpr int16_t kWallFace = 10, kGridFaceSubtype = 173;
constexpr int16_t kPartFace = 20, kPartDoorLeafFace = 128;
constexpr int16_t kPartBaseMoulding = 63, kPartPaneling = 64, kPartWainscot = 132,
                  kPartCrownMoulding = 159;

std::unordered_map<int32_t, uint32_t>& TextureNames() {
  static std::unordered_map<int32_t, uint32_t> names;
  return names;
}
uint64_t sTextureNamesChanges = 0;

// What both renderers choose for one plane object before drawing it.
struct Material {
  int32_t textureID = 0;     // after palette resolution; 0 = untextured
  uint32_t glName = 0;       // bound name; 0 = untextured
  float fu = 1, fv = 1;      // texture coordinate factors
  bool paletteColor = false;
  RGBColor palette{};
};

// A scale pair whose first value is 65535 (unset) becomes 100, 100 on the plane object.
void RepairScales(PlaneObject* o) {
  for (int16_t* scale : {o->textureScaleA, o->textureScaleB})
    if (static_cast<uint16_t>(scale[0]) == 65535) scale[0] = scale[1] = 100;
}

float Factor(float size, int16_t scale) {
  const double percent = static_cast<uint16_t>(scale);
  if (percent == 0) return 1.0f;
  return static_cast<float>(size / (percent / 100.0));
}

Material ChooseMaterial(const PlaneObject* o) {
  Material m;
  const bool sideA = o->renderKind == kKindSideA;
  m.textureID = sideA ? o->textureIdA : o->textureIdB;
  const int16_t* scale = sideA ? o->textureScaleA : o->textureScaleB;
  const float* size = sideA ? o->textureSizeA : o->textureSizeB;
  m.fu = Factor(size[0], scale[0]);
  m.fv = Factor(size[1], scale[1]);
  if (IsTextureAPalette(m.textureID)) {
    const RGBColor c = GetPaletteRGBColor(m.textureID);
    m.palette = {static_cast<uint16_t>(c.red * 257), static_cast<uint16_t>(c.green * 257),
                 static_cast<uint16_t>(c.blue * 257)};
    m.paletteColor = true;
    m.textureID = GetPaletteTextureID(m.textureID);
  }
  return m;
}

// Makes the id's texture resident when asked (the binding rule), and gives its GL name (0 when
// none).
uint32_t ResidentName(int32_t id, bool load) { return ResidentTextureName(id, load); }

RGBColor MaterialColor(const PlaneObject* o, const Material& m) {
  RGBColor c;
  if (o->renderKind == kKindSideA)
    c = o->colorLinkA ? *o->colorLinkA : o->colorLinkB ? *o->colorLinkB : o->colorB;
  else
    c = o->colorLinkB ? *o->colorLinkB : o->colorA;
  return m.paletteColor ? m.palette : c;
}

RGBColor WireframeColor(const PlaneObject* o, bool rootOnly = false) {
  const Objex* source = rootOnly ? nullptr : o->actual3DObject;
  if (!source || !(source->type == kObjComponent || source->type == kObjDoor ||
                   source->type == kObjWindow || source->type == kObjAccessory))
    source = o->base2DObject ? GetRootObject(o->base2DObject) : nullptr;
  if (!source) return kNoPlanColor;
  RGBColor c = kNoPlanColor;
  GetObjectPlanColor(source, &c);
  return c;
}

void SendColor(const RGBColor& c, uint8_t alpha) {
  glColor4ub(static_cast<GLubyte>(c.red / 257), static_cast<GLubyte>(c.green / 257),
             static_cast<GLubyte>(c.blue / 257), alpha);
}

uint8_t Opacity(const DocState* ds) { return static_cast<uint8_t>(ds->viewSetting3 & 0xFF); }

// How the value fades across the faces of one plane object (final quality), worked out once
// per object: which of the rules applies and along which coordinate.
struct FadeRule {
  enum Kind { kKeep, kStairLanding, kScaled, kAlongV, kAgainstV, kAlongU, kAgainstU } kind = kKeep;
  float scale = 1;   // kScaled: the value times this
  float height = 1;  // kStairLanding: the floor height in plan units
};

FadeRule MakeFadeRule(const PlaneObject* o, DocState* ds, bool trim) {
  FadeRule rule;
  if (o->alpha != 255 && !trim) return rule;
  int16_t T = o->actual3DType;
  const Layer* layer = o->actual3DObject ? o->actual3DObject->layer : nullptr;
  if (!trim && layer && strcmp(layer->name, "First Floor") != 0 && strcmp(layer->name, "Third Floor") != 0) {
    const bool kept = T == kObjRoof || T == kObjDoor || T == 32 || T == 33 || T == 34 ||
                      T == 35 || T == 41 || T == 42 || T == 44 ||
                      (T == kObjWall && o->partType == kPartBaseMoulding);
    if (!kept) T = 0;
  }
  const int32_t subtype = o->base2DObject ? o->base2DObject->subtype : 0;
  auto bySubtype = [&rule](int32_t sub, FadeRule::Kind otherwise) {
    switch (sub) {
      case 30000: rule.kind = FadeRule::kAlongV; break;
      case 30001: rule.kind = FadeRule::kAgainstV; break;
      case 30002: rule.kind = FadeRule::kAlongU; break;
      case 30003: rule.kind = FadeRule::kAgainstU; break;
      default: rule.kind = otherwise; break;
    }
  };
  if (T == 42) {
    rule.kind = FadeRule::kStairLanding;
    rule.height = ConvertWorldToScreen(layer ? layer->height : 96.0f, ds, 0);
    if (rule.height == 0) rule.height = 1;  // a zero floor height would divide by zero
  } else if (T == kObjDoor) {
    if (o->partType == kPartFace) {
      rule.kind = FadeRule::kKeep;
    } else if (o->partType == kPartDoorLeafFace) {
      const float p = o->sourceObject ? o->sourceObject->params[4] : 0;
      rule.kind = FadeRule::kScaled;
      rule.scale = p > 0 ? p : 0.9f;
    } else {
      rule.kind = FadeRule::kAlongV;
    }
  } else if (T == 0 || T == 33 || T == kObjComponent || T == kObjAccessory) {
    bySubtype(subtype == 30001 ? 0 : subtype, FadeRule::kAgainstV);
  } else if (T == 44 || (T == kObjWall && o->partType == kPartBaseMoulding)) {
    rule.kind = FadeRule::kKeep;
  } else {
    bySubtype(subtype == 30000 ? 0 : subtype, FadeRule::kAlongV);
  }
  return rule;
}

// The value of one vertex after the fade across the face.
float FadedValue(const FadeRule& rule, const Plane* plane, const PlaneVertex& v, float V1, float fade) {
  switch (rule.kind) {
    case FadeRule::kKeep: return V1;
    case FadeRule::kStairLanding: return V1 - fade * (1 - (plane->vertices[0].y - v.y) / rule.height);
    case FadeRule::kScaled: return rule.scale * V1;
    case FadeRule::kAlongV: return V1 - fade * v.v;
    case FadeRule::kAgainstV: return V1 - fade * (1 - v.v);
    case FadeRule::kAlongU: return V1 - fade * v.u;
    case FadeRule::kAgainstU: return V1 - fade * (1 - v.u);
  }
  return V1;
}

// A vertex's texture coordinates: the plane object's own scaled, or those the planes of a face
// with generated coordinates give its position as sent (-y), computed here once, when the
// face is drawn or compiled, rather than by the GL's generation state for every face.
void SendTextureCoordinates(const PlaneVertex& v, const Material& m, const GenerationPlanes* g) {
  if (!g) {
    glTexCoord2f(m.fu * v.u, m.fv * v.v);
    return;
  }
  const std::array<float, 2> st = GeneratedCoordinates(*g, v);
  glTexCoord2f(st[0], st[1]);
}

void DisableTexture(bool used, bool custom) {
  if (!used) return;
  glDisable(GL_TEXTURE_2D);
  if (custom) glDisable(GL_ALPHA_TEST);
}

// The symbol's extent along one axis, converted to world units and truncated.
int32_t FittedSize(float extent, const DocState* ds) {
  return static_cast<int32_t>(ConvertScreenToWorld(static_cast<float>(static_cast<int32_t>(extent)), ds, 0));
}

}  // namespace

void GenerationPlanesOf(const Plane* plane, const GeneratedTextureSize& size, GenerationPlanes* g) {
  constexpr float kNumerator = 18.0f, kCoefficient = 0.028f;
  const int16_t p = size.horizontal ? kPlaneXZ : DetermineWorkingPlane(plane->vertices, plane->vertexCount);
  int32_t W = size.width, H = size.height;
  if (size.fitWidth || size.fitHeight) {
    const DocState* ds = CurDocState();
    const Float3DRect& b = size.box;
    if (size.fitWidth && (p == kPlaneXY || p == kPlaneXZ)) W = FittedSize(b.floatRight - b.floatLeft, ds);
    if (size.fitWidth && p == kPlaneZY) W = FittedSize(b.floatFront - b.floatBack, ds);
    if (size.fitHeight && p == kPlaneXZ) H = FittedSize(b.floatFront - b.floatBack, ds);
    if (size.fitHeight && (p == kPlaneXY || p == kPlaneZY)) H = FittedSize(b.floatBottom - b.floatTop, ds);
  }
  if (W != 0) g->sW = kNumerator / static_cast<float>(W);
  if (H != 0) g->sH = kNumerator / static_cast<float>(H);
  const float s = kCoefficient * g->sW, t = kCoefficient * g->sH;
  switch (p) {
    case kPlaneXZ: g->s[0] = s, g->s[1] = 0, g->s[2] = 0, g->t[0] = 0, g->t[1] = 0, g->t[2] = t; break;
    case kPlaneXY: g->s[0] = s, g->s[1] = 0, g->s[2] = 0, g->t[0] = 0, g->t[1] = t, g->t[2] = 0; break;
    case kPlaneZY: g->s[0] = 0, g->s[1] = 0, g->s[2] = s, g->t[0] = 0, g->t[1] = t, g->t[2] = 0; break;
    default: break;
  }
}

std::array<float, 2> GeneratedCoordinates(const GenerationPlanes& g, const PlanarPolyPoint& v) {
  const float x = v.x, y = -v.y, z = v.z;
  return {g.s[0] * x + g.s[1] * y + g.s[2] * z + g.s[3], g.t[0] * x + g.t[1] * y + g.t[2] * z + g.t[3]};
}

namespace {

// The texture state a real-time object left on in a texture run (BeginRealTimeTextureRun).
struct RunTexture {
  bool on = false;
  uint32_t name = 0;
  GLint filter = 0, env = 0;
  bool custom = false;
  bool operator==(const RunTexture&) const = default;
};
bool sTextureRun = false;
RunTexture sRunTexture;

// Texturing (and a custom texture's alpha test) off, as each object would have left it.
void TextureRunOff() {
  glDisable(GL_TEXTURE_2D);
  if (sRunTexture.custom) glDisable(GL_ALPHA_TEST);
  sRunTexture = RunTexture{};
}

// The texture state a final-quality face left on in a texture run (BeginFinalTextureRun).
struct FinalTexture {
  bool on = false;
  uint32_t name = 0;
  bool custom = false;
  float alphaReference = 0;
  bool operator==(const FinalTexture&) const = default;
};
bool sFinalRun = false;
FinalTexture sFinalTexture;

void FinalTextureOff() {
  glDisable(GL_TEXTURE_2D);
  if (sFinalTexture.custom) glDisable(GL_ALPHA_TEST);
  sFinalTexture = FinalTexture{};
}

void DrawFinal(PlaneObject* o, int16_t includeExcavation, const GeneratedTextureSize* gen,
               const render3d::CarvedPlaneObject* carved = nullptr);
void DrawRealTime(PlaneObject* o, int16_t includeExcavation, const GeneratedTextureSize* gen,
                  const render3d::CarvedPlaneObject* carved = nullptr);
}  // namespace

bool FinalDrawTextures(DocState* ds, int32_t id) {
  const int16_t mode = ds->renderMode();
  return !((mode == kRenderWireframe && !gTexturedWire) || mode == kRenderClearViewLines ||
           mode == kRenderClearViewFill || (ds->renderExclusions() & kLVOffMaterials) || gRenderPlantsInColor ||
           (mode == kRenderLightView && id < kFirstCustomTextureID));
}

uint16_t ClampValue(float V) {
  if (!(V > 0)) return 0;
  if (V >= 65535) return 65535;
  return static_cast<uint16_t>(static_cast<int>(V));
}

uint32_t GLTextureNameForID(int32_t id) {
  auto it = TextureNames().find(id);
  return it == TextureNames().end() ? 0 : it->second;
}

void SetGLTextureNameForID(int32_t id, uint32_t name) {
  ++sTextureNamesChanges;
  if (name) TextureNames()[id] = name;
  else TextureNames().erase(id);
}

void ClearGLTextureNames() {
  ++sTextureNamesChanges;
  TextureNames().clear();
}

uint64_t GLTextureNamesChangeCount() { return sTextureNamesChanges; }

uint32_t RealTimeTextureName(const PlaneObject* o) {
  DocState* ds = CurDocState();
  if (!o || !ds) return 0;
  const int16_t mode = ds->renderMode();
  const bool lineMode = mode == kRenderWireframe || mode == kRenderClearView;
  const bool textured = !(ds->navigationStep > 9 || (lineMode && !gTexturedWire) ||
                          (ds->renderExclusions() & kLVOffMaterials));
  return textured ? GLTextureNameForID(ChooseMaterial(o).textureID) : 0;
}

uint32_t FinalTextureName(const PlaneObject* o) {
  DocState* ds = CurDocState();
  if (!o || !ds) return 0;
  const int32_t id = ChooseMaterial(o).textureID;
  return FinalDrawTextures(ds, id) ? GLTextureNameForID(id) : 0;
}

bool SharesStripColours(const PlaneObject* o) {
  return o->partType == kPartStripShared || o->renderKind == kKindStrip || o->partType == kObjSymbolPart3D;
}

RGBColor PlaneObjectMaterialColor(const PlaneObject* o) { return MaterialColor(o, ChooseMaterial(o)); }
RGBColor PlaneObjectWireframeColor(const PlaneObject* o) { return WireframeColor(o); }

void RenderGLPlaneObject(PlaneObject* o, int16_t includeExcavation) { DrawFinal(o, includeExcavation, nullptr); }

void RenderGLPlaneObjectGenerated(PlaneObject* o, int16_t includeExcavation, const GeneratedTextureSize& size) {
  DrawFinal(o, includeExcavation, &size);
}

void RTRenderGLPlaneObject(PlaneObject* o, int16_t includeExcavation) { DrawRealTime(o, includeExcavation, nullptr); }

void RTRenderGLPlaneObjectGenerated(PlaneObject* o, int16_t includeExcavation, const GeneratedTextureSize& size) {
  DrawRealTime(o, includeExcavation, &size);
}

void RenderGLCarvedPlaneObject(PlaneObject* o, const render3d::CarvedPlaneObject& carved) {
  DrawFinal(o, 0, nullptr, &carved);
}

void RTRenderGLCarvedPlaneObject(PlaneObject* o, const render3d::CarvedPlaneObject& carved) {
  DrawRealTime(o, 0, nullptr, &carved);
}
// The carved form of the object's plane at `index`, or null when the plane is drawn whole.
static const render3d::CarvedPlane* CarvedAt(const render3d::CarvedPlaneObject* carved, size_t index) {
  return carved && index < carved->planes.size() && !carved->planes[index].whole ? &carved->planes[index] : nullptr;
}

// The corners a plane is drawn with: its carved triangles' when carved, else its own.
static int32_t DrawnVertexCount(const render3d::CarvedPlane* cut, const Plane* plane) {
  return cut ? static_cast<int32_t>(cut->triangles.size()) : plane->vertices ? plane->vertexCount : 0;
}


namespace {
void DrawFinal(PlaneObject* o, int16_t includeExcavation, const GeneratedTextureSize* gen,
               const render3d::CarvedPlaneObject* carved) {
  DocState* ds = CurDocState();
  if (!o || !ds) return;
  const int16_t mode = ds->renderMode();
  if (o->partType == kObjTopoExcavation && includeExcavation == 0) return;
  const bool lineOrFill = mode == kRenderWireframe || mode == kRenderClearViewLines ||
                          mode == kRenderClearViewFill;
  if (lineOrFill && (o->partType == kPartFloor || o->partType == kPart50)) return;
  if (!gen && o->base2DObject && o->base2DObject->type == kWallFace &&
      o->base2DObject->subtype == kGridFaceSubtype) {
    // A grid face sets its texture state itself: a texture run starts again after it.
    if (sFinalRun && sFinalTexture.on) {
      FinalTextureOff();
      gTextureKnownOff = 1;
    }
    RenderGLGridPlaneObject(o);
    // Whatever the grid face did with texturing, the walker's knowledge holds again.
    if (gTextureKnownOff) glDisable(GL_TEXTURE_2D);
    return;
  }
  if (!o->actual3DObject) return;

  float n[3] = {1, 1, 1};
  if (o->planes) std::memcpy(n, o->planes->normal, sizeof n);
  RepairScales(o);
  Material m = ChooseMaterial(o);

  // Texture by mode.
  const bool textured = FinalDrawTextures(ds, m.textureID);
  if (textured) m.glName = ResidentName(m.textureID, true);
  const bool custom = m.glName && m.textureID >= kFirstCustomTextureID;

  // Base colour by mode.
  RGBColor base;
  const bool symbolPart = gen && gen->symbolPart;
  if (mode == kRenderWireframe) base = gTexturedWire ? MaterialColor(o, m) : WireframeColor(o, symbolPart);
  else if (mode == kRenderClearViewLines) base = ds->clearViewLineColor();
  else if (mode == kRenderClearViewFill) base = ds->clearViewFillColor();
  else base = MaterialColor(o, m);
  if (mode == kRenderLightView || gRenderPlantsInColor) base = kWhite;

  // Object shading.
  HSVColor hsv;
  RGBtoHSV(&base, &hsv);
  const uint16_t V0 = hsv.value;
  RGBColor shaded = base;
  // Faces with generated coordinates (symbol parts and trims) stay unshaded in the light view,
  // and the fully lit pass brightens all of them.
  if (!lineOrFill && !gRenderPlantsInColor && !(gen && mode == kRenderLightView)) {
    float& brightness = ds->lightBrightness();
    const float saved = brightness;
    const int16_t pt = o->partType;
    if (gAdjustTrimLightIntensity && (gen || pt == 1 || pt == 2 || pt == 3 || pt == kPartBaseMoulding ||
                                      pt == kPartCrownMoulding))
      brightness = 1.2f;
    ComputeShading(1.0f, n[0], n[1], n[2], &hsv.saturation, &hsv.value, 0);
    brightness = saved;
    HSVtoRGB(&hsv, &shaded);
  }
  const uint16_t V1 = hsv.value;

  // Texture state.
  const FinalTexture texture{m.glName != 0, m.glName, custom,
                             custom && o->alpha < 255 && (!gen || symbolPart) ? 0.01f : 0.5f};
  if (m.glName) {
    // In a texture run, what the previous face left on is not set again.
    const FinalTexture& left = sFinalTexture;
    if (!(sFinalRun && left == texture)) {
      if (sFinalRun && left.custom && !custom) glDisable(GL_ALPHA_TEST);
      if (!(sFinalRun && left.on)) glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, m.glName);
      GLint filter = GL_LINEAR;
      if (custom) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, texture.alphaReference);
        filter = GL_NEAREST;
      }
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
  } else if (sFinalRun && sFinalTexture.on) {
    FinalTextureOff();
    gTextureKnownOff = 1;
  } else if (!gTextureKnownOff) {
    glDisable(GL_TEXTURE_2D);
    // In the opaque walk, texturing stays off until the next textured face.
    if (gTextureLeftOn) gTextureKnownOff = 1;
  }

  // Alpha of every vertex.
  const uint8_t opacity = Opacity(ds);
  uint8_t alpha = opacity;
  bool frameFace = false;
  if (o->alpha < 255) {
    alpha = static_cast<uint8_t>(o->alpha < 0 ? 0 : o->alpha);
  } else if (o->partType == kObjFrameFace) {
    frameFace = true;
    alpha = mode == kRenderClearViewFill ? 128 : 0;
  }

  // A custom texture keeps its per-vertex colours in the light view even while its image is
  // not resident (its surface then shows those colours).
  const bool flat = gRenderPlantsInColor ||
                    (mode == kRenderLightView && !(textured && m.textureID >= kFirstCustomTextureID));
  const bool edgeFlags = mode == kRenderWireframe || mode == kRenderClearViewLines;
  const bool strip = o->partType == kPartStripShared || o->renderKind == kKindStrip;
  const bool fades = !edgeFlags && !symbolPart && (gLiveViewOptions & kLiveViewShading);
  const float fade = ds->lightIntensity() / 65535.0f * V1;
  const RGBColor line = ds->clearViewLineColor(), fill = ds->clearViewFillColor();

  const FadeRule rule = fades && !strip ? MakeFadeRule(o, ds, gen != nullptr) : FadeRule{};
  GenerationPlanes planes;
  // Vertices of the same value share one conversion (the last two values are remembered: a
  // fade along u or v mostly gives two).
  int32_t lastValue[2] = {-1, -1};
  RGBColor lastColor[2] = {};
  // Triangles go out together: one GL_TRIANGLES run draws exactly what a polygon per triangle
  // would; other planes are polygons of their own.
  bool triangles = false;
  // A carved plane is its triangles (none when its cut-outs cover it), shaded at their corners
  // as the plane is at those points.
  size_t index = 0;
  for (Plane* plane = o->planes; plane; plane = plane->next, ++index) {
    const render3d::CarvedPlane* cut = CarvedAt(carved, index);
    if (cut && cut->triangles.empty()) continue;
    const PlaneVertex* vertices = cut ? cut->triangles.data() : plane->vertices;
    const int32_t count = DrawnVertexCount(cut, plane);
    // Filled planes of more corners go out as the fan of triangles their polygon is drawn as,
    // in the same run; lines keep their polygons (the edges drawn are the outline's).
    const bool fan = !cut && count > 3 && !edgeFlags;
    const bool batched = cut || count == 3 || fan;
    if (batched) {
      if (!triangles) glBegin(GL_TRIANGLES), triangles = true;
    } else {
      if (triangles) glEnd(), triangles = false;
      glBegin(GL_POLYGON);
    }
    if (gen && m.glName) GenerationPlanesOf(plane, *gen, &planes);
    glNormal3f(plane->normal[0], plane->normal[1], plane->normal[2]);
    auto send = [&](int32_t i) {
      const PlaneVertex& v = vertices[i];
      if (flat) {
        SendColor(shaded, opacity);
        glVertex3f(v.x, -v.y, v.z);
        return;
      }
      RGBColor c = shaded;
      if (strip || symbolPart) {
        const bool shared = symbolPart || o->partType == kPartStripShared ? (i == 2 || i == 3) : (i == 0 || i == 1);
        if (shared && o->sourceObject == gPrevPlaneParentObject) {
          if (gPrevPlaneColor == kNoStripColor) gPrevPlaneColor = shaded;
          c = gPrevPlaneColor;
        }
      } else if (fades) {
        const uint16_t V = ClampValue(FadedValue(rule, plane, v, V1, fade));
        if (mode == kRenderClearViewFill) {
          float k = V0 == 0 ? 1.0f : static_cast<float>(V) / V0;
          if (k == 0) k = 1;
          // A value above the fill colour's (coordinates past the face) mixes beyond the two
          // colours: keep each component within its range.
          c.red = ClampValue(line.red + (fill.red - line.red) * k);
          c.green = ClampValue(line.green + (fill.green - line.green) * k);
          c.blue = ClampValue(line.blue + (fill.blue - line.blue) * k);
        } else if (V == lastValue[0]) {
          c = lastColor[0];
        } else if (V == lastValue[1]) {
          c = lastColor[1];
        } else {
          const HSVColor faded{hsv.hue, hsv.saturation, V};
          HSVtoRGB(&faded, &c);
          lastValue[1] = lastValue[0], lastColor[1] = lastColor[0];
          lastValue[0] = V, lastColor[0] = c;
        }
      }
      if (frameFace) c = mode == kRenderClearViewFill ? line : RGBColor{0, 0, 0};
      SendColor(c, alpha);
      if (m.glName) SendTextureCoordinates(v, m, gen ? &planes : nullptr);
      if (edgeFlags) glEdgeFlag(v.flag == 0 ? GL_TRUE : GL_FALSE);
      glVertex3f(v.x, -v.y, v.z);
      if (edgeFlags) glEdgeFlag(GL_TRUE);
    };
    if (fan) {
      for (int32_t t = 1; t + 1 < count; ++t) send(0), send(t), send(t + 1);
    } else {
      for (int32_t i = 0; i < count; ++i) send(i);
    }
    if (!batched) glEnd();
  }
  if (triangles) glEnd();

  const int16_t pt = o->partType;
  if (pt != kPartBaseMoulding && pt != kPartPaneling && pt != kPartWainscot) {
    if (strip) {
      gPrevPlaneParentObject = o->sourceObject;
      gPrevPlaneColor = shaded;
    } else {
      gPrevPlaneColor = kNoStripColor;
    }
  }
  if (m.glName && sFinalRun) {
    sFinalTexture = texture;
    gTextureKnownOff = 0;
  } else if (m.glName && gTextureLeftOn) {
    if (custom) glDisable(GL_ALPHA_TEST);
    // Left on for the next textured face: an untextured one has to turn it off itself.
    gTextureKnownOff = 0;
  } else {
    DisableTexture(m.glName != 0, custom);
  }
}

void DrawRealTime(PlaneObject* o, int16_t includeExcavation, const GeneratedTextureSize* gen,
                  const render3d::CarvedPlaneObject* carved) {
  DocState* ds = CurDocState();
  if (!o || !ds) return;
  const int16_t mode = ds->renderMode();
  const bool lineMode = mode == kRenderWireframe || mode == kRenderClearView;
  if (o->partType == kObjTopoExcavation && includeExcavation == 0) return;
  if (lineMode && (o->partType == kPartFloor || o->partType == kPart50)) return;
  if (o->partType == kObjExcavationPass && (ds->renderExclusions() & kLVOffTopography)) return;
  if (!o->actual3DObject) return;

  float n[3] = {1, 1, 1};
  if (o->planes) std::memcpy(n, o->planes->normal, sizeof n);
  RepairScales(o);
  Material m = ChooseMaterial(o);
  const int16_t speed = ds->navigationStep;  // the real-time detail level, 6 to 10
  const bool textured = !(speed > 9 || (lineMode && !gTexturedWire) ||
                          (ds->renderExclusions() & kLVOffMaterials));
  if (textured) m.glName = ResidentName(m.textureID, gGLPickMode != 0);
  const bool custom = m.glName && m.textureID >= kFirstCustomTextureID;

  RGBColor shaded{};
  bool perPlane = false;
  const uint8_t opacity = Opacity(ds);
  const bool symbolPart = gen && gen->symbolPart;
  if (mode == kRenderWireframe && !gTexturedWire) {
    SendColor(WireframeColor(o, symbolPart), opacity);
  } else if (mode == kRenderWireframe) {
    shaded = MaterialColor(o, m);
    perPlane = true;
  } else if (mode != kRenderClearView) {
    HSVColor hsv;
    const RGBColor base = MaterialColor(o, m);
    RGBtoHSV(&base, &hsv);
    ComputeShading(1.0f, n[0], n[1], n[2], &hsv.saturation, &hsv.value, 0);
    if (!symbolPart && o->actual3DType == kObjDoor && o->partType == kPartDoorLeafFace) {
      const float p = o->sourceObject ? o->sourceObject->params[4] : 0;
      hsv.value = ClampValue(p > 0 ? p * hsv.value : hsv.value * 0.9f);
    }
    HSVtoRGB(&hsv, &shaded);
    perPlane = true;
  }

  const RunTexture texture{m.glName != 0, m.glName, speed < 8 ? GL_LINEAR : GL_NEAREST,
                           speed < 9 ? GL_MODULATE : GL_REPLACE, custom};
  if (m.glName) {
    // In a texture run, what the previous object left on is not set again.
    const RunTexture& left = sRunTexture;
    if (!(sTextureRun && left == texture)) {
      if (sTextureRun && left.custom && !custom) glDisable(GL_ALPHA_TEST);
      if (!(sTextureRun && left.on)) glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, m.glName);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, texture.filter);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture.filter);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, texture.env);
      if (custom) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
      }
    }
  } else if (sTextureRun && sRunTexture.on) {
    TextureRunOff();
  } else if (!gTextureKnownOff) {
    glDisable(GL_TEXTURE_2D);
  }

  // Filled planes go out as triangles (a quad split as the driver splits it, a polygon as the
  // fan it is drawn as), so that the planes of consecutive objects make one run of triangles:
  // a compiled list of quads and polygons replays far slower. Outlines keep their quads and
  // polygons (no inner edge is drawn).
  // The colour of each plane goes inside the primitive, so that a compiled list holds nothing
  // between the primitives of consecutive objects and replays them as one run.
  // A carved plane is its triangles (none when its cut-outs cover it).
  const bool outlines = lineMode || mode == kRenderClearViewLines;
  GLenum open = 0;
  GenerationPlanes planes;
  size_t index = 0;
  for (Plane* plane = o->planes; plane; plane = plane->next, ++index) {
    const render3d::CarvedPlane* cut = CarvedAt(carved, index);
    if (cut && cut->triangles.empty()) continue;
    const PlaneVertex* vertices = cut ? cut->triangles.data() : plane->vertices;
    const int32_t count = DrawnVertexCount(cut, plane);
    const bool fan = !cut && count > 3 && !outlines;
    const GLenum kind = cut || count == 3 || fan ? GL_TRIANGLES : count == 4 ? GL_QUADS : GL_POLYGON;
    if (open && (kind != open || kind == GL_POLYGON)) glEnd(), open = 0;
    if (gen && m.glName) GenerationPlanesOf(plane, *gen, &planes);
    if (!open) glBegin(kind), open = kind;
    if (perPlane) SendColor(shaded, opacity);
    auto send = [&](int32_t i) {
      const PlaneVertex& v = vertices[i];
      if (m.glName) SendTextureCoordinates(v, m, gen ? &planes : nullptr);
      glVertex3f(v.x, -v.y, v.z);
    };
    if (fan && count == 4) {
      send(0), send(1), send(3), send(1), send(2), send(3);
    } else if (fan) {
      for (int32_t t = 1; t + 1 < count; ++t) send(t), send(t + 1), send(0);
    } else {
      for (int32_t i = 0; i < count; ++i) send(i);
    }
    if (kind == GL_POLYGON) glEnd(), open = 0;
  }
  if (open) glEnd();
  if (sTextureRun && m.glName) sRunTexture = texture;
  else DisableTexture(m.glName != 0, custom);
}
}  // namespace

void BeginRealTimeTextureRun() {
  sTextureRun = true;
  sRunTexture = RunTexture{};
}

void BeginFinalTextureRun() {
  sFinalRun = true;
  sFinalTexture = FinalTexture{};
}

void EndFinalTextureRun() {
  if (sFinalTexture.on) FinalTextureOff();
  sFinalRun = false;
}

void EndRealTimeTextureRun() {
  if (sRunTexture.on) TextureRunOff();
  sTextureRun = false;
}
