// Grid faces: height fields built from a generated face (plan object of type 10, subtype 173)
// whose grid nodes are shaded once and share their colours with the neighbouring cells, with
// texture coordinates generated from each cell's working plane.
#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "model/ColorConversions.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "render3d/Lighting.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TextureLoading.h"
#include "render3d/WorkingPlane.h"

namespace {

constexpr int16_t kWallFace = 10, kGridFaceSubtype = 173, kKindSideA = 6;
constexpr RGBColor kWhite{65535, 65535, 65535};
// Most grid nodes a face may have (the colour table is allocated per face).
constexpr int64_t kMaxGridNodes = int64_t(1) << 22;

bool IsGridFaceSource(const Objex* o) { return o && o->type == kWallFace && o->subtype == kGridFaceSubtype; }

// The grid's column and row counts are the two longs after the parameters.
int32_t GridColumns(const Objex* o) { return o->extraLong; }
int32_t GridRows(const Objex* o) { return o->extraFlags; }

bool GridSizeOK(int32_t columns, int32_t rows) {
  return columns > 0 && rows > 0 && (int64_t(columns) + 1) * (int64_t(rows) + 1) <= kMaxGridNodes;
}

// The repeat factor of a texture size in inches: n / 18 up to 18, 18 / n above, 0 for none.
float SizeFactor(int32_t n) {
  if (n < 1) return 0;
  return n <= 18 ? n / 18.0f : 18.0f / n;
}

uint16_t ClampValue(double v) {
  if (!(v > 0)) return 0;
  return v >= 65535 ? 65535 : static_cast<uint16_t>(v);
}

}  // namespace

void SetUpGridPlaneShadingAndTextureList(RGBColor* table, const RGBColor* faceColor, int32_t, ShortPoint, float,
                                         float, int32_t columns, int32_t rows, float, float, const Objex* source) {
  DocState* ds = CurDocState();
  if (!table || !faceColor || !source || !ds || !GridSizeOK(columns, rows)) return;
  const int32_t across = columns + 1;
  const int64_t nodes = int64_t(across) * (rows + 1);
  std::vector<const Poinz*> points;
  points.reserve(static_cast<size_t>(nodes));
  for (const Poinz* p = source->firstPoint; p && int64_t(points.size()) <= nodes; p = p->next) points.push_back(p);
  if (int64_t(points.size()) != nodes) return;

  const float intensity = ds->lightIntensity();
  const float V0 = SceneBaseBrightness(ds);
  const bool clearViewFill = ds->renderMode() == kRenderClearViewFill;
  const RGBColor line = ds->clearViewLineColor(), fill = ds->clearViewFillColor();
  HSVColor base;
  RGBtoHSV(faceColor, &base);
  for (int32_t r = 0; r <= rows; ++r) {
    for (int32_t c = 0; c <= columns; ++c) {
      // The normal of the cell the node starts (the last row and column take their
      // neighbour cell's), through the node and its right and upper neighbours.
      const int32_t r0 = r < rows ? r : rows - 1, c0 = c < columns ? c : columns - 1;
      const float* a = points[size_t(r0) * across + c0]->position;
      const float* b = points[size_t(r0) * across + c0 + 1]->position;
      const float* d = points[size_t(r0 + 1) * across + c0]->position;
      float n[3], unused;
      CalcParametric(a[0], a[1], -a[2], b[0], b[1], -b[2], d[0], d[1], -d[2], &n[0], &n[1], &n[2], &unused);
      const float largest = std::max(std::fabs(n[0]), std::max(std::fabs(n[1]), std::fabs(n[2])));
      if (largest >= 1)
        for (float& v : n) v *= 0.99f / largest;
      HSVColor hsv = base;
      ComputeShading(1.0f, n[0], n[1], n[2], &hsv.saturation, &hsv.value, 0);
      const double V = hsv.value;
      double V2 = V;
      if (intensity < 32767.5f && V > 32767.5) V2 = V + (1 - intensity / 32767.5) * V;
      else if (intensity >= 32767.5f && V < 32767.5) V2 = V - (1 - (65535 - intensity) / 32767.5) * V;
      const uint16_t Vc = ClampValue(V2);
      RGBColor& out = table[size_t(r) * across + c];
      if (clearViewFill) {
        // A value raised by a low intensity takes the mix past the fill colour: keep it a colour.
        const double k = V == 0 || Vc == 0 ? 1.0 : Vc / V;
        out.red = ClampValue(line.red + (fill.red - line.red) * k);
        out.green = ClampValue(line.green + (fill.green - line.green) * k);
        out.blue = ClampValue(line.blue + (fill.blue - line.blue) * k);
      } else {
        hsv.value = ClampValue(Vc * V0);
        HSVtoRGB(&hsv, &out);
      }
    }
  }
}

void RenderGLGridPlaneObject(PlaneObject* o) {
  DocState* ds = CurDocState();
  if (!o || !ds || !IsGridFaceSource(o->base2DObject)) return;
  const Objex* source = o->base2DObject;
  const int32_t columns = GridColumns(source), rows = GridRows(source);
  if (!GridSizeOK(columns, rows)) return;
  const int16_t mode = ds->renderMode();

  // Material and texture.
  const bool sideA = o->renderKind == kKindSideA;
  int32_t id = sideA ? o->textureIdA : o->textureIdB;
  const ShortPoint scale{sideA ? o->textureScaleA[0] : o->textureScaleB[0],
                         sideA ? o->textureScaleA[1] : o->textureScaleB[1]};
  if (IsTextureAPalette(id)) id = GetPaletteTextureID(id);
  const uint32_t name = FinalDrawTextures(ds, id) ? ResidentTextureName(id, true) : 0;
  const bool custom = name && id >= kFirstCustomTextureID;

  RGBColor face;
  if (mode == kRenderClearViewLines) face = ds->clearViewLineColor();
  else if (mode == kRenderClearViewFill) face = ds->clearViewFillColor();
  else if (mode == kRenderWireframe && !gTexturedWire) face = PlaneObjectWireframeColor(o);
  else face = PlaneObjectMaterialColor(o);
  const bool white = mode == kRenderLightView || gRenderPlantsInColor;
  if (white) face = kWhite;

  const size_t nodes = size_t(columns + 1) * (rows + 1);
  auto* table = static_cast<RGBColor*>(calloc(nodes, sizeof(RGBColor)));
  if (!table) return;
  const float colSpacing = source->params[0], rowSpacing = source->params[1];
  if (mode == kRenderWireframe) {
    // No shading in the wireframe: every node shows the mode's colour.
    for (size_t i = 0; i < nodes; ++i) table[i] = face;
  } else if (!white) {
    SetUpGridPlaneShadingAndTextureList(table, &face, id, scale, colSpacing * columns, rowSpacing * rows, columns,
                                        rows, colSpacing, rowSpacing, source);
  }

  float fw = 0, fh = 0;
  if (name) {
    int32_t W = 100, H = 100;
    if (id < kFirstCustomTextureID) LoadTextureWH(id, &W, &H);
    else LoadCustomTextureWH(id, &W, &H);
    fw = 0.028f * SizeFactor(W);
    fh = 0.028f * SizeFactor(H);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    GLint filter = GL_LINEAR;
    if (custom) {
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GREATER, 0.5f);
      filter = GL_NEAREST;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    static const GLfloat r[4] = {0, 0, 1, 0}, q[4] = {0, 0, 0, 1};
    for (GLenum c : {GL_S, GL_T, GL_R, GL_Q}) glTexGeni(c, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGenfv(GL_R, GL_OBJECT_PLANE, r);
    glTexGenfv(GL_Q, GL_OBJECT_PLANE, q);
    for (GLenum c : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q}) glEnable(c);
  } else {
    glDisable(GL_TEXTURE_2D);
  }

  const uint8_t alpha = static_cast<uint8_t>(ds->clearViewOpacity() & 0xFF);
  const int32_t across = columns + 1;
  auto node = [&](int32_t row, int32_t col) { return table[size_t(row) * across + col]; };
  int64_t k = 0;
  const int64_t last = int64_t(columns) * rows;
  for (Plane* plane = o->planes; plane && k <= last; plane = plane->next, ++k) {
    if (!plane->vertices || plane->vertexCount != 4) continue;
    const int32_t q = static_cast<int32_t>(k / columns), m = static_cast<int32_t>(k % columns);
    RGBColor colour[4];
    if (white) {
      for (RGBColor& c : colour) c = kWhite;
    } else {
      const int32_t above = q == 0 ? 0 : q - 1;
      colour[0] = node(above, m);
      colour[1] = node(q, m);
      colour[2] = m == 0 ? colour[1] : node(q, m - 1);
      colour[3] = m == 0 ? colour[0] : node(above, m - 1);
    }
    if (name) {
      GLfloat s[4] = {0, 0, 0, 0}, t[4] = {0, 0, 0, 0};
      switch (DetermineWorkingPlane(plane->vertices, plane->vertexCount)) {
        case kPlaneXZ: s[0] = fw, t[2] = fh; break;
        case kPlaneXY: s[0] = fw, t[1] = fh; break;
        case kPlaneZY: s[2] = fw, t[1] = fh; break;
        default: break;
      }
      glTexGenfv(GL_S, GL_OBJECT_PLANE, s);
      glTexGenfv(GL_T, GL_OBJECT_PLANE, t);
    }
    glBegin(GL_POLYGON);
    glNormal3f(plane->normal[0], plane->normal[1], plane->normal[2]);
    for (int i = 0; i < 4; ++i) {
      const PlaneVertex& v = plane->vertices[i];
      glColor4ub(static_cast<GLubyte>(colour[i].red / 257), static_cast<GLubyte>(colour[i].green / 257),
                 static_cast<GLubyte>(colour[i].blue / 257), alpha);
      glVertex3f(v.x, -v.y, v.z);
    }
    glEnd();
  }
  free(table);
  if (name) {
    for (GLenum c : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q}) glDisable(c);
    glDisable(GL_TEXTURE_2D);
    if (custom) glDisable(GL_ALPHA_TEST);
  }
}
