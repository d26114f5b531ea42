// The lot and its earth block, at final quality and in real time. Node (r, c) of the
// topography grid lies at x = left + c * spacing, z = top + r * spacing of the plan bounds
// (the terrain lookup's convention); its height is the grid value, drawn as the scene's y.
#include "render3d/LotRendering.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "model/ColorConversions.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "model/TextureIDs.h"
#include "model/TopoGrid.h"
#include "model/ViewProjection.h"
#include "render3d/Lighting.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/TextureLoading.h"
#include "render3d/SceneFrame.h"
#include "render3d/TopoCutouts.h"

namespace {

constexpr int32_t kFirstCustomTextureID = 20000;
constexpr float kBaseDepth = -5000.0f;       // the earth block's bottom
constexpr float kBaseSideDepth = -5005.0f;   // its sides under a shaped lot (final quality)
constexpr float kOuterLoopMargin = 0.5f;     // parameter units around all a patch's loops

int32_t sNurbsErrors = 0;
// The real-time flat lot's list stands for a design without terrain in use (else for a grid of
// zero heights); valid while that list exists.
bool sFlatForNoTerrain = false;
int32_t sTrimmedPatches = 0;
bool sPatchFailed = false;

void GLAPIENTRY OnNurbsError(GLenum) {
  ++sNurbsErrors;
  sPatchFailed = true;
}

enum class Road { kFinal, kRealTimeLot, kRealTimeFlat };

bool IsLineMode(int16_t mode) { return mode == kRenderWireframe || mode == kRenderClearViewLines; }

// A real-time list is compiled, except for picking: Mesa's selection mode can crash on lists
// of polygons, so the pick pass draws them as they come.
bool CompileList(uint32_t* list) {
  if (gGLPickMode) return false;
  *list = glGenLists(1);
  if (*list) glNewList(*list, GL_COMPILE);
  return *list != 0;
}
void EndList(bool compiled, uint32_t list) {
  if (!compiled) return;
  glEndList();
  glCallList(list);
}

// The lot's material and base colour for one drawing.
struct LotLook {
  RGBColor raw{};   // the base colour as chosen
  RGBColor base{};  // the same at the base value V0
  int32_t textureID = 0;
  uint32_t glName = 0;
  bool custom = false;
  float repeatsX = 4, repeatsZ = 4;  // texture repeats across the lot's width and depth
};

RGBColor WithValue(const RGBColor& c, double value) {
  HSVColor hsv;
  RGBtoHSV(&c, &hsv);
  hsv.value = static_cast<uint16_t>(std::clamp(value, 0.0, 65535.0));
  RGBColor out;
  HSVtoRGB(&hsv, &out);
  return out;
}

bool TextureOff(DocState* ds, Road road) {
  const int16_t mode = ds->renderMode();
  const bool noMaterials = ds->renderExclusions() & kLVOffMaterials;
  const int16_t speed = ds->navigationStep;
  switch (road) {
    case Road::kFinal:
      return (mode == kRenderWireframe && !gTexturedWire) || mode == kRenderClearViewLines ||
             mode == kRenderClearViewFill || mode == kRenderLightView || noMaterials;
    case Road::kRealTimeLot:
      return mode == kRenderWireframe || mode == kRenderClearViewLines || mode == kRenderClearViewFill ||
             mode == kRenderClearView || (noMaterials && !gTexturedWire) || speed >= 9;
    case Road::kRealTimeFlat:
      return mode == kRenderWireframe || mode == kRenderClearViewLines || mode == kRenderClearViewFill ||
             noMaterials || speed >= 9;
  }
  return true;
}

// The GL name of the texture id, loading it when allowed (stock ids by number, custom ids by
// their listed file).
uint32_t TextureName(int32_t id, bool load) {
  if (id < 1) return 0;
  uint32_t name = GLTextureNameForID(id);
  if (name || !load) return name;
  if (id < kFirstCustomTextureID) {
    LoadGLTexture(id);
  } else if (const char* path = GetCustomTextureIDPath(id)) {
    LoadGLCustomTexture(id, path);
  }
  return GLTextureNameForID(id);
}

LotLook ChooseLotLook(DocState* ds, Road road) {
  LotLook look;
  const int16_t mode = ds->renderMode();
  const int32_t lotID = ds->lotTextureID;
  const bool link = IsTextureAPalette(lotID);
  RGBColor lot = ds->lotColor;
  if (link) {
    const RGBColor c = GetPaletteRGBColor(lotID);
    lot = {static_cast<uint16_t>(c.red * 257), static_cast<uint16_t>(c.green * 257),
           static_cast<uint16_t>(c.blue * 257)};
  }
  if (road == Road::kFinal) {
    if (mode == kRenderClearViewLines) look.raw = ds->clearViewLineColor();
    else if (mode == kRenderClearViewFill) look.raw = ds->clearViewFillColor();
    else if (mode == kRenderWireframe) look.raw = gTexturedWire ? ds->lotColor : ds->wireframeLotColor();
    else look.raw = lot;
  } else {
    look.raw = ds->navigationStep >= 9 ? kRealTimeLotGreen : lot;
  }
  look.base = WithValue(look.raw, LotBaseValue(ds->lightBrightness()) * 65535.0);

  if (!TextureOff(ds, road)) {
    const int32_t id = link ? GetPaletteTextureID(lotID) : lotID;
    if (id >= 1) {
      look.textureID = id;
      look.glName = TextureName(id, road == Road::kFinal || gGLPickMode);
      look.custom = id >= kFirstCustomTextureID;
    }
  }
  if (look.glName) {
    const FloatRect& b = ds->planBounds;
    const bool known = (look.textureID >= kTextureStockFirst && look.textureID <= kTextureStockLast) ||
                       look.textureID >= kFirstCustomTextureID;
    if (known && gCurDocument)
      ComputeTextureScale(look.textureID, b.floatRight - b.floatLeft, b.floatBottom - b.floatTop, &look.repeatsX,
                          &look.repeatsZ);
    const ShortPoint scale = ds->lotTextureScale;
    if (scale.x != 0) look.repeatsX /= scale.x / 100.0f;
    if (scale.y != 0) look.repeatsZ /= scale.y / 100.0f;
  }
  return look;
}

void BeginTexture(const LotLook& look, bool nearest) {
  if (!look.glName) {
    glDisable(GL_TEXTURE_2D);
    return;
  }
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, look.glName);
  const GLint filter = nearest || look.custom ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  if (look.custom) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
  }
}

void EndTexture() {
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_ALPHA_TEST);
}

// Colour writes off for the shadow render's colour pass, restored afterwards.
class ColourMaskGuard {
 public:
  ColourMaskGuard() : active_(gRenderPlantsInColor != 0) {
    if (!active_) return;
    glGetBooleanv(GL_COLOR_WRITEMASK, saved_);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  }
  ~ColourMaskGuard() {
    if (active_) glColorMask(saved_[0], saved_[1], saved_[2], saved_[3]);
  }

 private:
  bool active_;
  GLboolean saved_[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
};

// The grid as the renderers walk it.
struct Grid {
  float left, top, spacing;
  int32_t rows, columns;
  float x(int32_t c) const { return left + static_cast<float>(c) * spacing; }
  float z(int32_t r) const { return top + static_cast<float>(r) * spacing; }
  float h(int32_t r, int32_t c) const { return gTopographyGrid[static_cast<int64_t>(r) * (columns + 1) + c]; }
};

bool MakeGrid(const DocState* ds, Grid* g) {
  LotElevationUpToDate();
  if (!gTopographyGrid || gTopoRowCnt < 1 || gTopoColumnCnt < 1) return false;
  const float s = ds->topoGridSpacing;
  if (!std::isfinite(s) || !(s > 0)) return false;
  *g = {ds->planBounds.floatLeft, ds->planBounds.floatTop, s, gTopoRowCnt, gTopoColumnCnt};
  return true;
}

// The shading normal of node (r, c): the plane through it, its right neighbour and the node
// below it in the grid, with the scene's z flipped. The last column has no right neighbour:
// its left one takes its place.
void NodeNormal(const Grid& g, int32_t r, int32_t c, float n[3]) {
  const int32_t side = c < g.columns ? c + 1 : c - 1;
  float d;
  CalcParametric(g.x(c), g.h(r, c), -g.z(r), g.x(side), g.h(r, side), -g.z(r), g.x(c), g.h(r + 1, c), -g.z(r + 1),
                 &n[0], &n[1], &n[2], &d);
  const float largest = std::max({std::fabs(n[0]), std::fabs(n[1]), std::fabs(n[2])});
  if (largest >= 1) {
    const float k = 0.99f / largest;
    n[0] *= k, n[1] *= k, n[2] *= k;
  }
}

// Node colours: the base colour shaded by a node normal.
struct NodeShader {
  bool shade;
  bool clearViewFill;
  HSVColor baseHSV;
  RGBColor base, line, fill;

  NodeShader(DocState* ds, const LotLook& look, bool shadeNodes)
      : shade(shadeNodes),
        clearViewFill(ds->renderMode() == kRenderClearViewFill),
        base(look.base),
        line(ds->clearViewLineColor()),
        fill(ds->clearViewFillColor()) {
    RGBtoHSV(&base, &baseHSV);
  }

  RGBColor operator()(const float n[3]) const {
    if (!shade) return base;
    HSVColor hsv = baseHSV;
    // The lot's nodes shade their saturation (the value is the pointer the call only checks),
    // so a node keeps the lot's brightness and pales as it turns from the light.
    ComputeShading(1.0f, n[0], n[1], n[2], &hsv.value, &hsv.saturation, 1);
    if (clearViewFill) {
      const double ratio = hsv.value == 0 || baseHSV.value == 0 ? 1.0 : static_cast<double>(hsv.value) / baseHSV.value;
      auto mix = [ratio](uint16_t a, uint16_t b) {
        return static_cast<uint16_t>(std::clamp(a + (static_cast<double>(b) - a) * ratio, 0.0, 65535.0));
      };
      return {mix(line.red, fill.red), mix(line.green, fill.green), mix(line.blue, fill.blue)};
    }
    RGBColor out;
    HSVtoRGB(&hsv, &out);
    return out;
  }
};

void SendColour(const RGBColor& c, uint8_t alpha) {
  glColor4ub(static_cast<GLubyte>(c.red / 257), static_cast<GLubyte>(c.green / 257),
             static_cast<GLubyte>(c.blue / 257), alpha);
}

GLUnurbs* NewLotNurbs(bool outline) {
  GLUnurbs* nurbs = gluNewNurbsRenderer();
  if (!nurbs) return nullptr;
  gluNurbsCallback(nurbs, GLU_ERROR, reinterpret_cast<_GLUfuncptr>(OnNurbsError));
  gluNurbsProperty(nurbs, GLU_DISPLAY_MODE, outline ? GLU_OUTLINE_PATCH : GLU_FILL);
  gluNurbsProperty(nurbs, GLU_SAMPLING_METHOD, GLU_DOMAIN_DISTANCE);
  gluNurbsProperty(nurbs, GLU_U_STEP, 0.1f);
  gluNurbsProperty(nurbs, GLU_V_STEP, 0.1f);
  return nurbs;
}

// One bilinear patch: control points in the order (s, t) = (0, 0), (0, 1), (1, 0), (1, 1),
// s along x and t along z, trimmed by an outer loop around the unit square and every cut-out
// loop that meets the square, then by those loops. (An outer loop fixed in plan units misses
// the unit square of a lot away from the origin, and GLU then drops the patch without a
// word.) False when GLU reported an error for it.
struct PatchPoint {
  float x, y, z;
  RGBColor colour;
  float s, t;
};

bool DrawTrimmedPatch(GLUnurbs* nurbs, const PatchPoint p[4], const PatchCorners corners, bool textured,
                      bool colours, uint8_t alpha) {
  static GLfloat knots[4] = {0, 0, 1, 1};
  GLfloat vertex[4][3], colour[4][4], texture[4][2];
  for (int k = 0; k < 4; ++k) {
    vertex[k][0] = p[k].x, vertex[k][1] = p[k].y, vertex[k][2] = p[k].z;
    colour[k][0] = p[k].colour.red / 65535.0f, colour[k][1] = p[k].colour.green / 65535.0f;
    colour[k][2] = p[k].colour.blue / 65535.0f, colour[k][3] = alpha / 255.0f;
    texture[k][0] = p[k].s, texture[k][1] = p[k].t;
  }
  std::vector<TrimLoop> loops;
  CollectTrimLoops(corners, true, &loops);
  // The outer loop, counter-clockwise, holds the unit square and every cut-out loop with a
  // margin, and no more: the trimmer's work grows with the loop's extent.
  float u0 = -kOuterLoopMargin, u1 = 1 + kOuterLoopMargin, v0 = -kOuterLoopMargin, v1 = 1 + kOuterLoopMargin;
  for (const TrimLoop& loop : loops)
    for (size_t i = 0; i + 1 < loop.size(); i += 2) {
      u0 = std::min(u0, loop[i] - kOuterLoopMargin), u1 = std::max(u1, loop[i] + kOuterLoopMargin);
      v0 = std::min(v0, loop[i + 1] - kOuterLoopMargin), v1 = std::max(v1, loop[i + 1] + kOuterLoopMargin);
    }
  GLfloat outer[10] = {u0, v0, u1, v0, u1, v1, u0, v1, u0, v0};

  sPatchFailed = false;
  gluBeginSurface(nurbs);
  if (textured) gluNurbsSurface(nurbs, 4, knots, 4, knots, 4, 2, &texture[0][0], 2, 2, GL_MAP2_TEXTURE_COORD_2);
  if (colours) gluNurbsSurface(nurbs, 4, knots, 4, knots, 8, 4, &colour[0][0], 2, 2, GL_MAP2_COLOR_4);
  gluNurbsSurface(nurbs, 4, knots, 4, knots, 6, 3, &vertex[0][0], 2, 2, GL_MAP2_VERTEX_3);
  gluBeginTrim(nurbs);
  gluPwlCurve(nurbs, 5, outer, 2, GLU_MAP1_TRIM_2);
  gluEndTrim(nurbs);
  for (const TrimLoop& loop : loops) EmitTrimLoop(nurbs, loop);
  gluEndSurface(nurbs);
  return !sPatchFailed;
}

// A cell as one polygon, corners in the order given.
void DrawCell(const PatchPoint* const q[4], bool textured, bool colours, uint8_t alpha) {
  glBegin(GL_POLYGON);
  for (int k = 0; k < 4; ++k) {
    if (colours) SendColour(q[k]->colour, alpha);
    if (textured) glTexCoord2f(q[k]->s, q[k]->t);
    glVertex3f(q[k]->x, q[k]->y, q[k]->z);
  }
  glEnd();
}

// The shaped lot's cells, row by row. Real time draws every cell as a polygon with opaque
// colours; final quality leaves cells inside a cut-out open and trims those a cut-out touches.
// False when the colour rows cannot be allocated.
bool DrawShapedLot(DocState* ds, const Grid& g, const LotLook& look, bool finalQuality, bool colours,
                   bool shadeNodes) {
  const int16_t mode = ds->renderMode();
  const bool textured = look.glName != 0;
  const FloatRect& b = ds->planBounds;
  const float columnStep = look.repeatsX * g.spacing / (b.floatRight - b.floatLeft);
  const float rowStep = look.repeatsZ * g.spacing / (b.floatBottom - b.floatTop);
  const uint8_t alpha = finalQuality ? static_cast<uint8_t>(ds->clearViewOpacity() & 0xFF) : 255;
  std::vector<RGBColor> upper, lower;
  std::vector<PatchPoint> top, bottom;
  try {
    upper.resize(static_cast<size_t>(g.columns) + 1);
    lower.resize(static_cast<size_t>(g.columns) + 1);
    top.resize(static_cast<size_t>(g.columns) + 1);
    bottom.resize(static_cast<size_t>(g.columns) + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const NodeShader shader(ds, look, shadeNodes);
  float n[3];
  for (int32_t c = 0; c <= g.columns; ++c) {
    NodeNormal(g, 0, c, n);
    upper[static_cast<size_t>(c)] = shader(n);
  }
  GLUnurbs* nurbs = nullptr;
  const bool nurbsColours = mode != kRenderWireframe && mode != kRenderClearView;
  for (int32_t r = 0; r < g.rows; ++r) {
    for (int32_t c = 0; c <= g.columns; ++c) {
      NodeNormal(g, r, c, n);
      lower[static_cast<size_t>(c)] = shader(n);
      top[static_cast<size_t>(c)] = {g.x(c), g.h(r, c), g.z(r), upper[static_cast<size_t>(c)],
                                     static_cast<float>(c) * columnStep, static_cast<float>(r) * rowStep};
      bottom[static_cast<size_t>(c)] = {g.x(c), g.h(r + 1, c), g.z(r + 1), lower[static_cast<size_t>(c)],
                                        static_cast<float>(c) * columnStep, static_cast<float>(r + 1) * rowStep};
    }
    for (int32_t c = 1; c <= g.columns; ++c) {
      const PatchPoint& a = top[static_cast<size_t>(c - 1)];
      const PatchPoint& bb = bottom[static_cast<size_t>(c - 1)];
      const PatchPoint& cc = top[static_cast<size_t>(c)];
      const PatchPoint& d = bottom[static_cast<size_t>(c)];
      const PatchPoint* const polygon[4] = {&a, &cc, &d, &bb};
      if (!finalQuality) {
        DrawCell(polygon, textured, colours, alpha);
        continue;
      }
      const PatchCorners corners = {{a.x, a.y, -a.z, a.s, a.t, 0},
                                    {bb.x, bb.y, -bb.z, bb.s, bb.t, 0},
                                    {cc.x, cc.y, -cc.z, cc.s, cc.t, 0},
                                    {d.x, d.y, -d.z, d.s, d.t, 0}};
      uint8_t wholeInside = 0;
      if (!DoesNurbPatchTouchCutouts(corners, &wholeInside)) {
        DrawCell(polygon, textured, colours, alpha);
        continue;
      }
      if (wholeInside) continue;
      if (!nurbs) nurbs = NewLotNurbs(IsLineMode(mode));
      const PatchPoint patch[4] = {a, bb, cc, d};
      ++sTrimmedPatches;
      if (!nurbs || !DrawTrimmedPatch(nurbs, patch, corners, textured, nurbsColours, alpha))
        DrawCell(polygon, textured, colours, alpha);  // never lose the ground
    }
    std::swap(upper, lower);
  }
  if (nurbs) gluDeleteNurbsRenderer(nurbs);
  return true;
}

// Two colours of the flat lot (A and B) by mode.
void FlatLotColours(DocState* ds, const LotLook& look, RGBColor* a, RGBColor* b) {
  const int16_t mode = ds->renderMode();
  const float intensity = ds->lightIntensity();
  if (!look.glName && mode != kRenderClearViewFill && !IsLineMode(mode) && (gLiveViewOptions & kLiveViewShading)) {
    *a = look.raw;
    HSVColor hsv;
    RGBtoHSV(&look.raw, &hsv);
    const double lowered = std::trunc(hsv.value - (intensity / 65535.0) * hsv.value);
    *b = WithValue(look.raw, std::max(lowered, 0.0));
  } else if (mode != kRenderClearViewFill && mode != kRenderClearViewLines) {
    *a = look.base;
    const double v0 = LotBaseValue(ds->lightBrightness()) * 65535.0;
    *b = ds->shadowRender() ? *a : WithValue(look.raw, v0 * (65535.0 - intensity / 3.0) / 65535.0);
  } else {
    *a = *b = look.raw;
  }
}

void EarthColour() { glColor3ub(kEarthRed, kEarthGreen, kEarthBlue); }

void Quad(float x0, float y0, float z0, float x1, float y1, float z1, float bottom) {
  EarthColour();  // a call between primitives keeps Mesa's selection mode from crashing on lists
  glBegin(GL_POLYGON);
  glVertex3f(x0, y0, z0);
  glVertex3f(x1, y1, z1);
  glVertex3f(x1, bottom, z1);
  glVertex3f(x0, bottom, z0);
  glEnd();
}

void BottomQuad(const FloatRect& b) {
  glBegin(GL_QUADS);
  glVertex3f(b.floatLeft, kBaseDepth, b.floatTop);
  glVertex3f(b.floatRight, kBaseDepth, b.floatTop);
  glVertex3f(b.floatRight, kBaseDepth, b.floatBottom);
  glVertex3f(b.floatLeft, kBaseDepth, b.floatBottom);
  glEnd();
}

void FlatSides(const FloatRect& b) {
  Quad(b.floatLeft, 0, b.floatTop, b.floatRight, 0, b.floatTop, kBaseDepth);
  Quad(b.floatRight, 0, b.floatTop, b.floatRight, 0, b.floatBottom, kBaseDepth);
  Quad(b.floatRight, 0, b.floatBottom, b.floatLeft, 0, b.floatBottom, kBaseDepth);
  Quad(b.floatLeft, 0, b.floatBottom, b.floatLeft, 0, b.floatTop, kBaseDepth);
}

bool ShapedGround(const DocState* ds, Grid* g) { return TopoInUse() && MakeGrid(ds, g) && !IsTopoGridZeroFlat(); }

// The lot base in the earth colour: its bottom and, on flat ground, its four sides. True on
// shaped ground, with the grid the caller draws the sides along.
bool LotBaseBottom(const DocState* ds, Grid* g) {
  EarthColour();
  const FloatRect& b = ds->planBounds;
  BottomQuad(b);
  if (ShapedGround(ds, g)) return true;
  FlatSides(b);
  return false;
}

}  // namespace

float LotBaseValue(float lightBrightness) {
  const float b = (lightBrightness - 0.5f) * 0.5f;
  return b > 0.25f ? b + (1 - b) / 1.5f : 3 * b;
}

int32_t LotNurbsErrorCount() { return sNurbsErrors; }
int32_t LotTrimmedPatchCount() { return sTrimmedPatches; }

int16_t IsTopoGridZeroFlat() {
  LotElevationUpToDate();
  if (!gTopographyGrid || gTopoRowCnt < 1 || gTopoColumnCnt < 1) return 1;
  const int64_t nodes = (static_cast<int64_t>(gTopoRowCnt) + 1) * (gTopoColumnCnt + 1);
  for (int64_t i = 0; i < nodes; ++i)
    if (!(gTopographyGrid[i] == 0.0f)) return 0;
  return 1;
}

void RenderGLLot() {
  NoteServiceCall("RenderGLLot", nullptr);
  DocState* ds = CurDocState();
  if (!ds) return;
  Grid g;
  if (!ShapedGround(ds, &g)) {
    RenderGLFlatLot();
    return;
  }
  const ColourMaskGuard mask;
  const int16_t mode = ds->renderMode();
  sTrimmedPatches = 0;
  FindIntersectingTopoCutouts();
  const LotLook look = ChooseLotLook(ds, Road::kFinal);
  BeginTexture(look, false);
  const bool shade = mode != kRenderLightView && mode != kRenderWireframe && mode != kRenderClearViewLines;
  DrawShapedLot(ds, g, look, true, true, shade);
  ResetIntersectingFlags();
  EndTexture();
}

void RenderGLFlatLot() {
  DocState* ds = CurDocState();
  if (!ds) return;
  const ColourMaskGuard mask;
  const int16_t mode = ds->renderMode();
  const LotLook look = ChooseLotLook(ds, Road::kFinal);
  RGBColor a, b;
  FlatLotColours(ds, look, &a, &b);
  const uint8_t alpha = static_cast<uint8_t>(ds->clearViewOpacity() & 0xFF);
  const FloatRect& r = ds->planBounds;
  const float rx = look.repeatsX, rz = look.repeatsZ;
  const bool textured = look.glName != 0;
  BeginTexture(look, false);
  bool drawn = false;
  if (!(ds->renderExclusions() & kLVOffTopography) && !IsLineMode(mode)) {
    const PatchPoint patch[4] = {{r.floatLeft, 0, r.floatTop, a, 0, 0},
                                 {r.floatLeft, 0, r.floatBottom, a, 0, rz},
                                 {r.floatRight, 0, r.floatTop, b, rx, 0},
                                 {r.floatRight, 0, r.floatBottom, b, rx, rz}};
    const PatchCorners corners = {{r.floatLeft, 0, -r.floatTop, 0, 0, 0},
                                  {r.floatLeft, 0, -r.floatBottom, 0, rz, 0},
                                  {r.floatRight, 0, -r.floatTop, rx, 0, 0},
                                  {r.floatRight, 0, -r.floatBottom, rx, rz, 0}};
    FindIntersectingTopoCutouts();
    if (GLUnurbs* nurbs = NewLotNurbs(false)) {
      drawn = DrawTrimmedPatch(nurbs, patch, corners, textured, true, alpha);
      gluDeleteNurbsRenderer(nurbs);
    }
    ResetIntersectingFlags();
  }
  if (!drawn) {
    glBegin(GL_POLYGON);
    SendColour(a, alpha);
    if (textured) glTexCoord2f(0, rz);
    glVertex3f(r.floatLeft, 0, r.floatBottom);
    if (textured) glTexCoord2f(rx, rz);
    glVertex3f(r.floatRight, 0, r.floatBottom);
    SendColour(b, alpha);
    if (textured) glTexCoord2f(rx, 0);
    glVertex3f(r.floatRight, 0, r.floatTop);
    if (textured) glTexCoord2f(0, 0);
    glVertex3f(r.floatLeft, 0, r.floatTop);
    glEnd();
  }
  EndTexture();
}

void RenderGLLotBase() {
  NoteServiceCall("RenderGLLotBase", nullptr);
  DocState* ds = CurDocState();
  if (!ds) return;
  const int16_t mode = ds->renderMode();
  if (gRenderPlantsInColor || mode == kRenderWireframe || mode == kRenderClearViewLines ||
      mode == kRenderClearViewFill || mode == kRenderLightView || (ds->renderExclusions() & kLVOffTopography))
    return;
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DITHER);
  glEnable(GL_DEPTH_TEST);
  Grid g;
  if (LotBaseBottom(ds, &g)) {
    const int32_t lastRow = g.rows, lastColumn = g.columns;
    for (int32_t c = 1; c <= lastColumn; ++c) {
      Quad(g.x(c - 1), g.h(0, c - 1), g.z(0), g.x(c), g.h(0, c), g.z(0), kBaseSideDepth);
      Quad(g.x(c - 1), g.h(lastRow, c - 1), g.z(lastRow), g.x(c), g.h(lastRow, c), g.z(lastRow), kBaseSideDepth);
    }
    for (int32_t r = 1; r <= lastRow; ++r) {
      Quad(g.x(0), g.h(r - 1, 0), g.z(r - 1), g.x(0), g.h(r, 0), g.z(r), kBaseSideDepth);
      Quad(g.x(lastColumn), g.h(r - 1, lastColumn), g.z(r - 1), g.x(lastColumn), g.h(r, lastColumn), g.z(r),
           kBaseSideDepth);
    }
  }
  glEnable(GL_DITHER);
}

void RTRenderGLLot() {
  NoteServiceCall("RTRenderGLLot", nullptr);
  DocState* ds = CurDocState();
  if (!ds) return;
  const int16_t mode = ds->renderMode();
  if (mode == kRenderWireframe) glDisable(GL_DEPTH_TEST);
  else glEnable(GL_DEPTH_TEST);
  const bool excluded = ds->renderExclusions() & kLVOffTopography;
  // A frame of the interaction after the first replays the list the first one chose, without
  // looking at the design again.
  if (!gGLPickMode && gLotDisplayList) {
    glCallList(gLotDisplayList);
    return;
  }
  const bool listedFlat = !gGLPickMode && gFlatLotDisplayList;
  const bool assumeTerrain = ds->topoPath[0] && !excluded && ds->navigationStep <= 9;
  if (!assumeTerrain && (listedFlat ? sFlatForNoTerrain : !TopoInUse())) {
    sFlatForNoTerrain = true;
    if (mode == kRenderClearViewFill && !excluded) return;
    RTRenderGLFlatLot();
    return;
  }
  Grid g;
  if (listedFlat || !MakeGrid(ds, &g) || IsTopoGridZeroFlat()) {
    if (!listedFlat) sFlatForNoTerrain = false;
    RTRenderGLFlatLot();
    return;
  }
  const LotLook look = ChooseLotLook(ds, Road::kRealTimeLot);
  const bool colours = mode != kRenderWireframe && mode != kRenderClearViewLines && mode != kRenderClearViewFill &&
                       mode != kRenderClearView;
  const bool compiled = CompileList(&gLotDisplayList);
  BeginTexture(look, ds->navigationStep >= 8);
  DrawShapedLot(ds, g, look, false, colours, colours && mode != kRenderLightView);
  EndTexture();
  EndList(compiled, gLotDisplayList);
}

void RTRenderGLFlatLot() {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (gFlatLotDisplayList && !gGLPickMode) {
    glCallList(gFlatLotDisplayList);
    return;
  }
  const int16_t mode = ds->renderMode();
  const LotLook look = ChooseLotLook(ds, Road::kRealTimeFlat);
  const FloatRect& r = ds->planBounds;
  const float rx = look.repeatsX, rz = look.repeatsZ;
  const bool textured = look.glName != 0;
  const bool compiled = CompileList(&gFlatLotDisplayList);
  // The base-brightness colour, or from speed 9 the fallback green as it is.
  const RGBColor colour = ds->navigationStep >= 9 ? look.raw : look.base;
  if (mode != kRenderWireframe && mode != kRenderClearViewLines && mode != kRenderClearViewFill)
    glColor3ub(static_cast<GLubyte>(colour.red / 257), static_cast<GLubyte>(colour.green / 257),
               static_cast<GLubyte>(colour.blue / 257));
  BeginTexture(look, ds->navigationStep >= 8);
  if (!gGLPickMode && ds->navigationStep != 6) glDisable(GL_DEPTH_TEST);
  glBegin(GL_QUADS);
  if (textured) glTexCoord2f(0, rz);
  glVertex3f(r.floatLeft, 0, r.floatBottom);
  if (textured) glTexCoord2f(rx, rz);
  glVertex3f(r.floatRight, 0, r.floatBottom);
  if (textured) glTexCoord2f(rx, 0);
  glVertex3f(r.floatRight, 0, r.floatTop);
  if (textured) glTexCoord2f(0, 0);
  glVertex3f(r.floatLeft, 0, r.floatTop);
  glEnd();
  if (mode == kRenderWireframe) glDisable(GL_DEPTH_TEST);
  else glEnable(GL_DEPTH_TEST);
  EndTexture();
  EndList(compiled, gFlatLotDisplayList);
}

void RTRenderGLLotBase() {
  NoteServiceCall("RTRenderGLLotBase", nullptr);
  DocState* ds = CurDocState();
  if (!ds) return;
  const int16_t mode = ds->renderMode();
  if (mode == kRenderWireframe || mode == kRenderClearViewLines || mode == kRenderClearViewFill ||
      (ds->renderExclusions() & kLVOffTopography))
    return;
  if (gBaseLotDisplayList && !gGLPickMode) {
    glCallList(gBaseLotDisplayList);
    return;
  }
  const bool compiled = CompileList(&gBaseLotDisplayList);
  glDisable(GL_TEXTURE_2D);
  Grid g;
  if (LotBaseBottom(ds, &g)) {
    const int32_t R = g.rows, C = g.columns;
    Quad(g.x(0), g.h(0, 0), g.z(0), g.x(C), g.h(0, C), g.z(0), kBaseDepth);
    Quad(g.x(C), g.h(0, C), g.z(0), g.x(C), g.h(R, C), g.z(R), kBaseDepth);
    Quad(g.x(C), g.h(R, C), g.z(R), g.x(0), g.h(R, 0), g.z(R), kBaseDepth);
    Quad(g.x(0), g.h(R, 0), g.z(R), g.x(0), g.h(0, 0), g.z(0), kBaseDepth);
  }
  EndList(compiled, gBaseLotDisplayList);
}
