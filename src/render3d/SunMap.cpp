// The sun's part of the shadow render: an orthographic depth grid over the part of the model
// the camera sees (cut into tiles when the model is large), and the test of every camera pixel
// against it into gSunMap.
#include <GL/gl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/Records.h"
#include "model/Services.h"
#include "render3d/Lighting.h"
#include "render3d/LotRendering.h"
#include "render3d/ShadowRender.h"

float* gSunDBuffer = nullptr;
int32_t gSunDBufferWidth = 0, gSunDBufferHeight = 0;
int32_t gSunViewPort[4] = {0, 0, 0, 0};
double gSunMVMatrix[16] = {};
double gSunProjMatrix[16] = {};
float gOrthoSizeLeft = 0, gOrthoSizeRight = 0, gOrthoSizeTop = 0, gOrthoSizeBottom = 0;
float gXSunOffset = 0, gZSunOffset = 0, gVerticalSunOffset = 0;

namespace {
constexpr float kFar = 32000;

bool CastsNoSunShadowByType(int16_t type) {
  return (type >= 1 && type <= 7) || type == kObjPropertyLine || type == kObjDetail ||
         (type >= 100 && type <= 104) || (type >= 106 && type <= 108) || (type >= 114 && type <= 117) ||
         type == kObjSprinkler || type == kObjDynamicText || type == kObjText;
}

void SaveSunView() {
  std::copy_n(gLightViewPort, 4, gSunViewPort);
  std::copy_n(gLightMVMatrix, 16, gSunMVMatrix);
  std::copy_n(gLightProjMatrix, 16, gSunProjMatrix);
}

void FreeSunGrid() {
  std::free(gSunDBuffer);
  gSunDBuffer = nullptr;
  gSunDBufferWidth = gSunDBufferHeight = 0;
}

// A sun grid of g x g view-sized tiles, with the slack every view buffer has; null when it
// would pass the cap or cannot be had.
uint64_t SunGridBytes(int32_t g, int32_t w, int32_t h) {
  const uint64_t tile = (static_cast<uint64_t>(w) * 4 + 16) * (static_cast<uint64_t>(h) + 1);
  return tile * static_cast<uint64_t>(g) * g;
}

float* AllocSunGrid(int32_t g, int32_t w, int32_t h) {
  if (g < 1 || w < 1 || h < 1) return nullptr;
  const uint64_t bytes = SunGridBytes(g, w, h);
  float* grid = nullptr;
  if (bytes <= kMaxSunGridBytes && bytes <= shadow::gPixelBufferLimit) {
    grid = static_cast<float*>(std::malloc(static_cast<size_t>(bytes)));
#ifdef MADV_POPULATE_WRITE
    // Every page of the grid is written once by the tiles: mapped in here all at once, not
    // one fault at a time as the tiles' reads reach them.
    if (grid) {
      const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
      const uintptr_t from = (reinterpret_cast<uintptr_t>(grid) + page - 1) & ~(page - 1);
      const uintptr_t to = (reinterpret_cast<uintptr_t>(grid) + static_cast<size_t>(bytes)) & ~(page - 1);
      if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    }
#endif
  }
  if (!grid) shadow::NoteAllocationFailure("the sun's depth grid", bytes);
  return grid;
}
}  // namespace

int32_t SunGridSize(int16_t q, float r) {
  if (q == -1) {
    if (r > 3000) return 10;
    q = r > 2000 ? 5 : r > 1000 ? 4 : 3;
  }
  switch (q) {
    case 2: return 2;
    case 3: return 4;
    case 4: return 6;
    case 5: return 8;
    case 6: return 10;
    default: return q >= 7 ? 2 : 1;
  }
}

void GetObjectSunBounds(Objex* object, FloatRect* b) {
  if (!object || !b) return;
  // Children are walked with an explicit stack: a deep group must not run the call stack out.
  Objex* stack[256];
  int depth = 0;
  stack[depth++] = object;
  while (depth > 0) {
    Objex* o = stack[--depth];
    for (Poinz* p = o->firstPoint; p; p = p->next) {
      b->floatLeft = std::min(b->floatLeft, p->position[0]);
      b->floatRight = std::max(b->floatRight, p->position[0]);
      b->floatTop = std::min(b->floatTop, p->position[2]);
      b->floatBottom = std::max(b->floatBottom, p->position[2]);
    }
    for (Objex* c = o->firstChild; c; c = c->next) {
      if (depth < 256) stack[depth++] = c;
      else GetObjectSunBounds(c, b);
    }
  }
}

void GetObjectsBoundsForSun(Layer* firstLayer, FloatRect* b) {
  if (!b) return;
  bool any = false;
  for (Layer* layer = firstLayer; layer; layer = layer->next) {
    for (Objex* o = layer->firstObject; o; o = o->next) {
      if (CastsNoSunShadowByType(o->type)) continue;
      const Objex* root = GetRootObject(o);
      if (root && root->options[1] != 0) continue;
      GetObjectSunBounds(o, b);
      any = true;
    }
  }
  if (!any) *b = FloatRect{0, 0, 0, 0};
}

void GetViewingBoundsForSun(FloatRect* b) {
  DocState* ds = CurDocState();
  if (!ds || !b) return;
  shadow::DrawDepthInLightViewMode(ds, RenderGLLot);
  const int32_t w = std::max(gCamViewPort[2], 0), h = std::max(gCamViewPort[3], 0);
  float* depth = static_cast<float*>(shadow::AllocPixelBuffer(w, h, sizeof(float)));
  if (!depth) return;
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glReadPixels(gCamViewPort[0], gCamViewPort[1], w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depth);
  const shadow::Unprojector unproject(gCamMVMatrix, gCamProjMatrix, gCamViewPort);
  std::vector<float> row(static_cast<size_t>(w) * 3);
  for (int32_t y = 0; y < h; ++y) {
    const float* d = &depth[static_cast<size_t>(y) * w];
    unproject.Row(gCamViewPort[1] + y, gCamViewPort[0], w, d, row.data());
    for (int32_t x = 0; x < w; ++x) {
      if (!(d[x] > 0 && d[x] < 1)) continue;
      const float* p = &row[static_cast<size_t>(x) * 3];
      b->floatLeft = std::min(b->floatLeft, p[0]);
      b->floatRight = std::max(b->floatRight, p[0]);
      b->floatTop = std::min(b->floatTop, p[2]);
      b->floatBottom = std::max(b->floatBottom, p[2]);
    }
  }
  shadow::ReleasePixelBuffer(depth);
}

float GetHighestPlanePointValue() {
  float top = 0;
  auto visit = [&top](const PlaneObject* po) {
    for (const Plane* plane = po->planes; plane; plane = plane->next)
      for (int32_t i = 0; plane->vertices && i < plane->vertexCount; ++i)
        top = std::min(top, plane->vertices[i].y);
  };
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    visit(po);
    for (const PlaneObject* a = po->attachments; a; a = a->next) visit(a);
  }
  return top;
}

void FillSunGridSquare(int32_t column, int32_t row, int32_t width, int32_t height) {
  if (!gSunDBuffer || !gLightDBuffer || width <= 0 || height <= 0 || column < 0 || row < 0) return;
  if (column + width > gSunDBufferWidth || row + height > gSunDBufferHeight) return;
  if (width > gVPWidth || height > gVPHeight) return;
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(&gSunDBuffer[static_cast<size_t>(row + y) * gSunDBufferWidth + column],
                &gLightDBuffer[static_cast<size_t>(y) * width], sizeof(float) * width);
}

int16_t DepthCheck(int32_t stride, int32_t x0, int32_t x1, int32_t y0, int32_t y1, const float* depth) {
  if (!depth) return 0;
  for (int32_t y = y0; y < y1; ++y)
    for (int32_t x = x0; x < x1; ++x)
      if (depth[static_cast<size_t>(y) * stride + x] < 1.0f) return 1;
  return 0;
}

void FillSunMapWithGrid() {
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument) return;
  const float overhead = std::min(ds->sunOverheadAngle(), 90.0f);
  const float direction = ds->sunDirectionAngle() + 90;
  const float brightness = ds->sunBrightness() / 100.0f;

  FloatRect objects{kFar, kFar, -kFar, -kFar};
  GetObjectsBoundsForSun(gCurDocument->itsLayers, &objects);
  FloatRect view{kFar, kFar, -kFar, -kFar};
  GetViewingBoundsForSun(&view);
  const float left = std::max(objects.floatLeft, view.floatLeft);
  const float top = std::max(objects.floatTop, view.floatTop);
  const float right = std::min(objects.floatRight, view.floatRight);
  const float bottom = std::min(objects.floatBottom, view.floatBottom);
  gXSunOffset = -(left + right) / 2;
  gZSunOffset = -(top + bottom) / 2;
  float r = GetLineLength(left, top, right, bottom);
  r = r / 2 + r / 12;
  if (r < 500) r = 500;
  const float t = -GetHighestPlanePointValue();
  float boxTop = r, boxBottom = -r;
  if (t > 0 && t >= r) boxTop = t, boxBottom = -t;
  auto setBox = [&] {
    gOrthoSizeLeft = -r, gOrthoSizeRight = r;
    gOrthoSizeTop = boxTop, gOrthoSizeBottom = boxBottom;
    gVerticalSunOffset = (1 - overhead / 90) * (-boxTop / 2);
  };
  setBox();

  // The overview: which parts of the box hold anything at all.
  RenderGLLightScene(1, 0, 0, direction, overhead, 1000.0f, 100.0f);
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  const int32_t w = std::clamp<int32_t>(vp[2], 0, gVPWidth), h = std::clamp<int32_t>(vp[3], 0, gVPHeight);
  float* overview = static_cast<float*>(shadow::AllocPixelBuffer(w, h, sizeof(float)));
  if (!overview) {
    shadow::NoteAllocationFailure("the sun's overview", (static_cast<uint64_t>(w) + 4) * 4 * (h + 1ull));
    return;
  }
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glReadPixels(vp[0], vp[1], w, h, GL_DEPTH_COMPONENT, GL_FLOAT, overview);
  if (BreakOpenRender()) {
    shadow::ReleasePixelBuffer(overview);
    return;
  }

  // The largest grid of even side that stays under the cap, else one image.
  int32_t g = SunGridSize(ds->sunShadowQuality(), r);
  while (g > 1 && SunGridBytes(g, w, h) > kMaxSunGridBytes) g -= 2;
  if (g < 2) g = 1;
  FreeSunGrid();
  InitializeLightProgressBar(g);
  gSunDBuffer = AllocSunGrid(g, w, h);
  if (!gSunDBuffer) {
    shadow::ReleasePixelBuffer(overview);
    return;
  }
  gSunDBufferWidth = g * w, gSunDBufferHeight = g * h;
  if (g == 1) {
    setBox();
    gFillingBucketBuffer = 1;
    RenderLightView(ds, 1000.0f, 0, 0, overhead, direction, 1, 100, 0, brightness, 1);
    FillSunGridSquare(0, 0, w, h);
    SaveSunView();
    gFillingBucketBuffer = 0;
    shadow::ReleasePixelBuffer(overview);
    return;
  }
  gFillingBucketBuffer = 1;
  const int32_t half = g / 2;
  const float sx = r / half, sy = boxTop / half;
  const int32_t tw = w / g, th = h / g;
  auto renderTile = [&](int32_t i, int32_t j) {
    gOrthoSizeLeft = -r + (i - 1) * sx;
    gOrthoSizeRight = gOrthoSizeLeft + sx;
    gOrthoSizeTop = boxTop - (j - 1) * sy;
    gOrthoSizeBottom = gOrthoSizeTop - sy;
    // The tile's depth is read straight into its place (a copy through gLightDBuffer would
    // cost as much as the read).
    const int32_t column = (i - 1) * w, row = (g - j) * h;
    gSunTileTarget = {&gSunDBuffer[static_cast<size_t>(row) * gSunDBufferWidth + column], gSunDBufferWidth, w, h};
    RenderLightView(ds, 1000.0f, 0, 0, overhead, direction, 1, 100, 0, brightness, 1);
    const bool filled = gSunTileTarget.filled;
    gSunTileTarget = {};
    if (!filled) FillSunGridSquare(column, row, w, h);
  };
  // Each rendered tile writes its whole place; a tile skipped as empty reads "nothing there".
  // (Filling the whole grid first would touch every page of it twice.)
  auto fillEmpty = [&](int32_t i, int32_t j) {
    for (int32_t y = 0; y < h; ++y)
      std::fill_n(&gSunDBuffer[static_cast<size_t>((g - j) * h + y) * gSunDBufferWidth + (i - 1) * w], w, 1.0f);
  };
  auto abandon = [&] {
    shadow::ReleasePixelBuffer(overview);
    gFillingBucketBuffer = 0;
  };
  // Escape: the tiles not rendered yet hold nothing defined, so the grid goes.
  auto interrupted = [&] {
    abandon();
    FreeSunGrid();
  };
  for (int32_t j = 1; j <= g; ++j) {
    if (BreakOpenRender()) return interrupted();
    for (int32_t i = 1; i <= g; ++i) {
      if (BreakOpenRender()) return interrupted();
      if (i == 1 && j == g) continue;
      if (!DepthCheck(w, (i - 1) * tw, i * tw, (g - j) * th, (g - j + 1) * th, overview)) {
        fillEmpty(i, j);
        UpdateShadowGLRenderStatus();
        UpdateShadowGLRenderStatus();
        continue;
      }
      renderTile(i, j);
    }
  }
  // The bottom-left tile last: its matrices place every world point in the whole grid.
  renderTile(1, g);
  SaveSunView();
  abandon();
}

void FillSunMapWithPreRenderedGrid() {
  DocState* ds = CurDocState();
  if (!gSunDBuffer || !gCurDocument || !ds) return;
  if (BreakOpenRender()) return;
  if (gCamDBuffer && gSunMap) {
    const float brightness = ds->sunBrightness() / 100.0f;
    const shadow::Unprojector unproject(gCamMVMatrix, gCamProjMatrix, gCamViewPort);
    const shadow::Projector project(gSunMVMatrix, gSunProjMatrix, gSunViewPort);
    // The camera pixels' world positions, kept for the lamps that follow.
    shadow::EnsureEyePositions();
    const bool kept = gEyeUnProBuf && !gFillUnProjectBuffer;
    for (int32_t y = 0; y < gVPHeight; ++y)
      for (int32_t x = 0; x < gVPWidth; ++x) {
        const size_t i = static_cast<size_t>(y) * gVPWidth + x;
        const float d = gCamDBuffer[i];
        if (!(d > 0 && d < 1)) continue;
        float p[3];
        if (kept) std::copy_n(&gEyeUnProBuf[i * 3], 3, p);
        else if (!unproject(gCamViewPort[0] + x, gCamViewPort[1] + y, d, p)) continue;
        double sx, sy, sz;
        if (!project(p, &sx, &sy, &sz)) continue;
        if (!(sz > 0 && sz < 1 && sx >= 0 && sx < gSunDBufferWidth && sy >= 0 && sy < gSunDBufferHeight)) continue;
        const float sd = gSunDBuffer[static_cast<size_t>(sy) * gSunDBufferWidth + static_cast<size_t>(sx)];
        if (!(sd > 0 && sd < 1)) continue;
        const bool plant = IsPlantPixel(i);
        gSunMap[i] = (sd > sz || plant) ? brightness : 0;
      }
  }
  UpdateShadowGLRenderStatus();
}
