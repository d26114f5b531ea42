// The background behind the model: a picture or a plain colour filling the whole view, drawn
// first, flat in screen space and without depth; the picture slides sideways with the camera
// through the s coordinates of gBackgroundVertices.
#include <GL/gl.h>

#include <cmath>

#include "model/ColorConversions.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "model/Services.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TextureLoading.h"

float gBackgroundVertices[4] = {0, 1, 1, 0};
float gBackgroundWidth = 0, gBackgroundHeight = 0;
int32_t gBackgroundTextureID = 0;
float gBackgroundAspect = 1;
uint8_t gBackgroundRed = 0, gBackgroundGreen = 0, gBackgroundBlue = 0;

float SceneBaseBrightness(const DocState* ds) {
  if (!ds) return 0;
  const float b = (const_cast<DocState*>(ds)->lightBrightness() - 0.5f) * 0.5f;
  return b > 0.25f ? b + (1 - b) / 1.5f : 3 * b;
}

namespace {

// Half extents of the quad: it always covers the view under glOrtho(-100 .. 100), one texture
// unit spanning the same number of pixels across and up.
void QuadExtent(float* halfWidth, float* halfHeight) {
  int32_t w = 0, h = 0;
  gLiveViewHost.viewBounds(&w, &h);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  *halfWidth = *halfHeight = 100;
  if (w > h) *halfHeight = 100 * fw / (fh == 0 ? 1 : fh);
  else if (h > w) *halfWidth = 100 * fh / (fw == 0 ? 1 : fw);
}

// The background texture id after a palette link; 0 for none.
int32_t BackgroundTexture(DocState* ds) {
  int32_t id = ds->backgroundTextureID;
  if (IsTextureAPalette(id)) id = GetPaletteTextureID(id);
  return id < 1 ? 0 : id;
}

// The background colour, a palette link's colour, lit as the scene in the solid mode.
RGBColor BackgroundColor(DocState* ds) {
  RGBColor c = ds->backgroundColor();
  if (IsTextureAPalette(ds->backgroundTextureID)) {
    const RGBColor p = GetPaletteRGBColor(ds->backgroundTextureID);
    c = {static_cast<uint16_t>(p.red * 257), static_cast<uint16_t>(p.green * 257),
         static_cast<uint16_t>(p.blue * 257)};
  }
  if (ds->backgroundLighting() && ds->renderMode() == kRenderSolid) {
    HSVColor hsv;
    RGBtoHSV(&c, &hsv);
    const float sun = ds->sunlightOn() ? ds->sunBrightness() / 100.0f : 0.0f;
    float v = SceneBaseBrightness(ds);
    if (sun > v) v = sun;
    const float value = v * 65535.0f;
    hsv.value = ClampValue(value);  // NaN: 0
    HSVtoRGB(&hsv, &c);
  }
  return c;
}

// Binds a background texture: linear filters (nearest for custom images, with their alpha
// test) or the real-time filters; the texture environment as given.
void BindBackgroundTexture(uint32_t name, int32_t id, GLint filter, GLint environment) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, name);
  if (id >= kFirstCustomTextureID) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    filter = GL_NEAREST;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environment);
}

// The width over the height of a loaded texture's image (1 when it has none); the binding is
// left as it was.
float TextureAspect(uint32_t name) {
  if (!name) return 1;
  GLint was = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &was);
  glBindTexture(GL_TEXTURE_2D, name);
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(was));
  return width > 0 && height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
}

void LoadScreenBox() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-100, 100, -100, 100, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void SendByteColor(uint8_t r, uint8_t g, uint8_t b) { glColor4ub(r, g, b, 255); }

// The quad at z = 0: top left, top right, bottom right, bottom left. The picture spans the
// quad's height and keeps its proportions (the quad is square on the screen): a picture
// `aspect` times as wide as high shows 1 / aspect of its width across the quad, from the s of
// the left edge that the navigation scrolls.
void DrawQuad(GLenum primitive, float w, float h, bool textured, float aspect) {
  const float x[4] = {-w, w, w, -w}, y[4] = {h, h, -h, -h}, t[4] = {1, 1, 0, 0};
  const int leftOf[4] = {0, 0, 3, 3};
  if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1;
  glBegin(primitive);
  for (int i = 0; i < 4; ++i) {
    const float left = gBackgroundVertices[leftOf[i]];
    if (textured) glTexCoord2f(left + (gBackgroundVertices[i] - left) / aspect, t[i]);
    glVertex3f(x[i], y[i], 0);
  }
  glEnd();
}

const JitterPoint* JitterFor(int32_t passes, int32_t pass) {
  const JitterPoint* table = j8;
  int32_t size = 8;
  if (passes == 4) table = j4, size = 4;
  else if (passes == 15) table = j15, size = 15;
  else if (passes == 24) table = j24, size = 24;
  return pass >= 0 && pass < size ? &table[pass] : nullptr;
}

}  // namespace

void RenderGLBackground(int16_t antiAliased, int32_t pass) {
  NoteServiceCall("RenderGLBackground", nullptr);
  DocState* ds = CurDocState();
  if (gRenderPlantsInColor || !gLiveViewHost.viewBounds || !ds) return;
  const int16_t mode = ds->renderMode();
  const bool lineOrFill = mode == kRenderWireframe || mode == kRenderClearViewLines || mode == kRenderClearViewFill;

  uint32_t name = 0;
  int32_t id = 0;
  if (!lineOrFill && !(ds->renderExclusions() & kLVOffMaterials)) {
    id = BackgroundTexture(ds);
    name = ResidentTextureName(id, true);
  }
  const RGBColor color = lineOrFill ? ds->clearViewFillColor() : BackgroundColor(ds);

  float w, h;
  QuadExtent(&w, &h);
  glDisable(GL_DEPTH_TEST);
  LoadScreenBox();
  if (antiAliased) {
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (const JitterPoint* j = JitterFor(ds->antiAliasPasses(), pass))
      glTranslatef(j->x * 200.0f / (viewport[2] ? viewport[2] : 1), j->y * 200.0f / (viewport[3] ? viewport[3] : 1),
                   0);
  }
  const float aspect = TextureAspect(name);
  if (name) BindBackgroundTexture(name, id, GL_LINEAR, GL_MODULATE);
  else glDisable(GL_TEXTURE_2D);
  SendByteColor(color.red / 257, color.green / 257, color.blue / 257);
  DrawQuad(GL_POLYGON, w, h, name != 0, aspect);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_ALPHA_TEST);
}

void RTRenderGLBackground() {
  NoteServiceCall("RTRenderGLBackground", nullptr);
  DocState* ds = CurDocState();
  if (!gLiveViewHost.viewBounds || !ds) return;
  if (!gBackgroundDisplayList) {
    // The texture and its size are looked at before the list is begun: a bind made while it
    // is compiled would not take effect until the list is called.
    gBackgroundTextureID = BackgroundTexture(ds);
    const uint32_t name = ResidentTextureName(gBackgroundTextureID, gGLPickMode != 0);
    if (!name) gBackgroundTextureID = 0;
    gBackgroundAspect = TextureAspect(name);
    gBackgroundDisplayList = glGenLists(1);
    if (gBackgroundDisplayList) glNewList(gBackgroundDisplayList, GL_COMPILE);
    QuadExtent(&gBackgroundWidth, &gBackgroundHeight);
    if (name) BindBackgroundTexture(name, gBackgroundTextureID, GL_NEAREST, ds->navigationStep < 9 ? GL_MODULATE : GL_REPLACE);
    else glDisable(GL_TEXTURE_2D);
    const RGBColor color = BackgroundColor(ds);
    gBackgroundRed = static_cast<uint8_t>(color.red / 257);
    gBackgroundGreen = static_cast<uint8_t>(color.green / 257);
    gBackgroundBlue = static_cast<uint8_t>(color.blue / 257);
    glDisable(GL_DEPTH_TEST);
    LoadScreenBox();
    if (gBackgroundDisplayList) glEndList();
  }
  if (gBackgroundDisplayList) glCallList(gBackgroundDisplayList);
  SendByteColor(gBackgroundRed, gBackgroundGreen, gBackgroundBlue);
  DrawQuad(GL_QUADS, gBackgroundWidth, gBackgroundHeight, gBackgroundTextureID != 0, gBackgroundAspect);
  if (ds->renderMode() == kRenderWireframe) glDisable(GL_DEPTH_TEST);
  else glEnable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_ALPHA_TEST);
}
