// The 3D roads on generated houses of 100, 1,000 and 10,000 walls (each house four walls with a
// door or a window, a floor and a gable roof, built by the program's own builders, naming
// shipped textures: siding, shingles, carpet, wooden trims and openings), 800 x 600 on the X
// display (Xvfb), with the program's routines installed as casavelt installs them, each
// against plain GL drawing the same triangles in the same run:
//   Build       RenderAllLayers and the first real-time frame (compiling the scene lists)
//               against compiling one raw display list of the same triangles;
//   Frame       a real-time frame as a plain refresh draws it (the cut-away extent kept while
//               the design is unchanged) against clearing and calling the raw list, each
//               waited for once ("fps_ratio" is the raw time over ours, frames per second of
//               ours over the raw list's; "viewpoint" and "objects" the shares of its parts);
//               FrameAfterFinal the same after an 8-pass final frame;
//               "fps_ratio_textured" against the same triangles with their textures, grouped
//               by texture (one bind each, coordinates in arrays) in one list, and
//               "fps_ratio_stretched" against those raw lists kept per stretch of plan objects
//               as the scene keeps its lists ("stretch_floor": their time over the one list's);
//   FinalFrame  an 8-pass anti-aliased frame of the unchanged scene against 8 passes of the raw
//               list, each read into the same accumulator ("ratio"; "ratio_plain" without the
//               read-backs); "cpu_ratio" the same from the processor time of the whole
//               process (all rasterizer threads), steadier under load, with "cpu_ms" ours per
//               frame; "first_ms" is the first frame, which compiles the kept lists;
//               "stencilled_faces" and "carved_faces" count the opaque faces with cut-outs
//               drawn through the stencil (each switching the stencil state three times per
//               pass) and those carved out of their planes; "stencil_floor" is 8 raw passes
//               that draw those same faces by the stencil rule in plain GL, over the raw
//               passes, and "ratio_over_stencil_rule" ours over them; "ratio_textured" ours
//               over 8 passes of the textured raw list;
//   MovePoint   one wall point moved (through the move tool's point-drag command and its
//               rebuild of the wall, then the next real-time frame) against the whole build ("ratio"),
//               its model update and its frame apart, beside an unedited and a raw frame (the
//               edited frame redraws only the rectangle the edit changed: its share of the view
//               and of the scene's lists are reported);
//   Memory      the plane objects and the compiled scene lists per wall against the bytes of
//               the raw list of the same triangles ("ratio");
//   Pick        a surface picked in the middle of a walk view down the rows of houses, against
//               the same triangles drawn once in GL_SELECT mode, a name each ("pick_ratio"),
//               with the new interaction's frame that follows it;
//   ShadowRender Render Shadows in a new design's sun (100 and 1,000 walls) against 8 frames
//               of the raw list ("ratio"; the time itself is the figure to watch).
// Every road reports the triangles drawn and the raw list's bytes, so that the baseline is
// visibly the same work.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "building3d/Walls3D.h"
#include "model/CommandWalkers.h"
#include "model/Grouping.h"
#include "model/Palettes.h"
#include "model/TransformInfo.h"
#include "model/Services.h"
#include "model/WallFields.h"
#include "render3d/Cutaway.h"
#include "render3d/DamagedView.h"
#include "render3d/FinalSceneLists.h"
#include "render3d/ListWalkRules.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/TextureLoading.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"
#include "render3d/SurfacePick.h"

// Qt after the model: its `slots` keyword would clash with a record field.
#include "BenchGLContext.h"
#include "ProgramBench.h"
#include "plandraw/qt/ImageLoader.h"
#include "SceneCamera.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;
constexpr float kHouseW = 240, kHouseD = 200, kSpacing = 320;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// The processor time of the whole process (this thread and the rasterizer's threads): steadier
// than the clock on a loaded machine, where the rasterizer's threads wait for a processor.
double ProcessSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

BenchGLContext& Context() {
  static BenchGLContext gl("bench_houses");
  return gl;
}

const RGBColor kWhite{65535, 65535, 65535};
// Shipped textures the houses name: siding walls, a shingled roof, a carpeted floor and wooden
// trims, doors and windows.
constexpr int32_t kSiding = 1300, kShingles = 1250, kCarpet = 1900, kWood = 2203;

Objex* AddWall(TestDocument& doc, float x0, float z0, float x1, float z1) {
  Objex* wall = doc.addObject(kObjWall, false, {{x0, z0}, {x1, z1}}, doc.first);
  wall->subtype = kSubExteriorWall;
  wall->width = 6;
  for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 96;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    p->color[0] = p->color[1] = RGBColor{52000, 48000, 40000};
    p->textureID[0] = p->textureID[1] = kSiding;
  }
  UpdateObjectBounds(wall);
  Update3DWall(wall);
  return wall;
}

// A door or a window in the middle of the wall's only segment, with casings on both sides and
// its two plan points across the opening, as the placing tools make it.
void AddOpening(Objex* wall, bool door) {
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  const float length = std::hypot(wall->firstPoint->next->position[0] - wall->firstPoint->position[0],
                                  wall->firstPoint->next->position[2] - wall->firstPoint->position[2]);
  data->ownerType = door ? kObjDoor : kObjWindow;
  data->subtype = door ? kDoorHinged : kWindowRectangular;
  data->anchorStart = wall->firstPoint;
  data->anchorEnd = wall->firstPoint->next;
  data->startDistance = length / 2;
  data->remainingLength = length - data->startDistance;
  data->width = 36;
  data->height = door ? 80 : 40;
  data->elevation = door ? 0 : 36;
  data->trimWidth() = 4;
  data->trimSlotA = TrimSlot{0, kWood, 100, 100, kWhite, nullptr};
  data->trimSlotB = TrimSlot{0, kWood, 100, 100, kWhite, nullptr};
  Objex* o = CreateObject(data->ownerType, 0, 1, &kWhite, &kWhite, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                          wall->layer, data);
  o->textureID1 = o->textureID2 = kWood;
  const Poinz* a = wall->firstPoint;
  const Poinz* b = a->next;
  for (float d : {data->startDistance - data->width / 2, data->startDistance + data->width / 2}) {
    const float t = d / length;
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, a->position[0] + t * (b->position[0] - a->position[0]), 0,
                                    a->position[2] + t * (b->position[2] - a->position[2]), 0, 0, 0, 0, 0, 0, o),
                        o);
  }
  AppendChildToObject(o, wall);
  BuildAttachmentFrame(o);
  UpdateAllWallAttachments(wall);
}

// Houses of four walls (a door in the front, windows in the others), a floor and a gable roof,
// in a square grid; `walls` / 4 of them.
struct Houses {
  TestDocument doc;
  LiveViewHost saved = gLiveViewHost;
  std::vector<Objex*> walls;
  explicit Houses(int wallCount) {
    gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = kWidth, *h = kHeight; };
    gLiveViewHost.isVisible = [] { return true; };
    DocState* ds = doc.ds();
    ds->planScale = 72;
    // Each wall's openings are fitted as they are placed; the attached wall dimensions of the
    // floor are measured once, at the end, as when a design is read.
    auto dimensions = std::make_unique<WallDimensionRefreshBatch>();
    const int houses = wallCount / 4;
    int perRow = 1;
    while (perRow * perRow < houses) ++perRow;
    for (int h = 0; h < houses; ++h) {
      const float x = static_cast<float>(h % perRow) * kSpacing, z = static_cast<float>(h / perRow) * kSpacing;
      const float c[4][2] = {{x, z}, {x + kHouseW, z}, {x + kHouseW, z + kHouseD}, {x, z + kHouseD}};
      for (int s = 0; s < 4; ++s) {
        Objex* wall = AddWall(doc, c[s][0], c[s][1], c[(s + 1) % 4][0], c[(s + 1) % 4][1]);
        AddOpening(wall, s == 0);
        walls.push_back(wall);
      }
      Objex* floor = doc.addObject(kObjFloor, true, {{x, z}, {x + kHouseW, z}, {x + kHouseW, z + kHouseD}, {x, z + kHouseD}},
                                   doc.first);
      floor->textureID1 = kCarpet;
      for (Poinz* p = floor->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = kCarpet;
      UpdateObjectBounds(floor);
      Objex* roof = doc.addObject(kObjRoof, true,
                                  {{x - 12, z - 12}, {x + kHouseW + 12, z - 12}, {x + kHouseW + 12, z + kHouseD + 12},
                                   {x - 12, z + kHouseD + 12}},
                                  doc.first);
      roof->width = 6;      // pitch
      roof->textureID = 2;  // gable ends
      roof->textureID1 = kShingles;
      UpdateObjectBounds(roof);
      Update3DRoof(roof);
    }
    dimensions.reset();
    // Seen from the front, the whole design framed.
    ds->orthoView() = 1;
    RenderAllLayers();
  }
  ~Houses() {
    ResetSceneDisplayList();
    ResetViewpointDisplayList();
    DeleteAllRendererObjects();
    gLiveViewHost = saved;
  }
};

// The triangles of every drawn surface (plane objects and their trims; cut-outs only mark the
// stencil), as fans of their planes.
int64_t TrianglesOf(const PlaneObject* po) {
  int64_t n = 0;
  for (const Plane* p = po->planes; p; p = p->next)
    if (p->vertices && p->vertexCount >= 3) n += p->vertexCount - 2;
  return n;
}

int64_t SceneTriangles() {
  int64_t n = 0;
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    n += TrianglesOf(po);
    for (const PlaneObject* a = po->attachments; a; a = a->next) n += TrianglesOf(a);
  }
  return n;
}

void RawPlanes(const PlaneObject* po) {
  glColor4ub(static_cast<GLubyte>(po->colorA.red / 257), static_cast<GLubyte>(po->colorA.green / 257),
             static_cast<GLubyte>(po->colorA.blue / 257), 255);
  for (const Plane* p = po->planes; p; p = p->next) {
    if (!p->vertices || p->vertexCount < 3) continue;
    glNormal3f(p->normal[0], p->normal[1], p->normal[2]);
    const PlaneVertex* v = p->vertices;
    for (int32_t i = 1; i + 1 < p->vertexCount; ++i) {
      glVertex3f(v[0].x, -v[0].y, v[0].z);
      glVertex3f(v[i].x, -v[i].y, v[i].z);
      glVertex3f(v[i + 1].x, -v[i + 1].y, v[i + 1].z);
    }
  }
}

// The same triangles in one display list, a colour per plane object.
GLuint CompileRawList(GLenum mode) {
  GLuint list = glGenLists(1);
  glNewList(list, mode);
  glBegin(GL_TRIANGLES);
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    RawPlanes(po);
    for (const PlaneObject* a = po->attachments; a; a = a->next) RawPlanes(a);
  }
  glEnd();
  glEndList();
  return list;
}

// The raw list's triangles again, with every face that the final frame draws through its
// cut-outs drawn the way the stencil rule orders, in plain GL: colour and depth writes off, the
// cut-outs written into the stencil with the face's own value, writes on, the face drawn where
// the stencil differs, the stencil off for its trims. A value per face, cleared when the eight
// bits run out. This is the least work a frame drawing those faces by that rule can do.
GLuint CompileRawStencilledList(int16_t mode) {
  GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  GLint value = 2;
  glBegin(GL_TRIANGLES);
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (po->children && po->alpha == 255 && !render3d::DrawsCarvedInFinalFrame(po, mode)) {
      glEnd();
      if (value > 255) glClear(GL_STENCIL_BUFFER_BIT), value = 2;
      glEnable(GL_STENCIL_TEST);
      glStencilFunc(GL_ALWAYS, value, 0xFFFF);
      glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
      glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
      glDepthMask(GL_FALSE);
      glBegin(GL_TRIANGLES);
      for (const PlaneObject* c = po->children; c; c = c->next) RawPlanes(c);
      glEnd();
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      glDepthMask(GL_TRUE);
      glStencilFunc(GL_NOTEQUAL, value, 0xFFFF);
      glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
      glBegin(GL_TRIANGLES);
      RawPlanes(po);
      glEnd();
      glDisable(GL_STENCIL_TEST);
      ++value;
      glBegin(GL_TRIANGLES);
    } else {
      RawPlanes(po);
    }
    for (const PlaneObject* a = po->attachments; a; a = a->next) RawPlanes(a);
  }
  glEnd();
  glEndList();
  return list;
}

// The GL name of the texture a plane object's drawn side names (a palette resolved), 0 when it
// has none resident.
GLuint TextureNameOf(const PlaneObject* po) {
  int32_t id = po->renderKind == 6 ? po->textureIdA : po->textureIdB;
  if (IsTextureAPalette(id)) id = GetPaletteTextureID(id);
  return id > 0 ? GLTextureNameForID(id) : 0;
}

// The raw list's triangles with the textures they name, grouped by texture: per texture one
// bind and one array draw of positions, normals, colours and texture coordinates (the
// untextured faces first, with texturing off). The least a frame drawing these textured faces
// can do.
struct TexturedBatch {
  std::vector<GLfloat> positions, normals, coordinates;
  std::vector<GLubyte> colours;
};

void AddTexturedPlanes(const PlaneObject* po, std::map<GLuint, TexturedBatch>* batches) {
  TexturedBatch& b = (*batches)[TextureNameOf(po)];
  const GLubyte c[4] = {static_cast<GLubyte>(po->colorA.red / 257), static_cast<GLubyte>(po->colorA.green / 257),
                        static_cast<GLubyte>(po->colorA.blue / 257), 255};
  for (const Plane* p = po->planes; p; p = p->next) {
    if (!p->vertices || p->vertexCount < 3) continue;
    const PlaneVertex* v = p->vertices;
    for (int32_t i = 1; i + 1 < p->vertexCount; ++i)
      for (int32_t k : {0, i, i + 1}) {
        b.positions.insert(b.positions.end(), {v[k].x, -v[k].y, v[k].z});
        b.normals.insert(b.normals.end(), {p->normal[0], p->normal[1], p->normal[2]});
        b.coordinates.insert(b.coordinates.end(), {v[k].u, v[k].v});
        b.colours.insert(b.colours.end(), c, c + 4);
      }
  }
}

int sRawTextures = 0;

// Draws the batches: per texture one bind and one array draw (texturing off for the untextured).
void DrawBatches(const std::map<GLuint, TexturedBatch>& batches) {
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  for (const auto& [name, b] : batches) {
    if (name) {
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, name);
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, 0, b.coordinates.data());
    }
    glVertexPointer(3, GL_FLOAT, 0, b.positions.data());
    glNormalPointer(GL_FLOAT, 0, b.normals.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, b.colours.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(b.positions.size() / 3));
    if (name) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  glDisable(GL_TEXTURE_2D);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
}

// The textured raw drawing in one list (`byStretch` false), or in one list per stretch of plan
// objects as the real-time scene keeps them (each grouped by texture, so that an edit
// recompiles only its stretch), called from one list: the least a frame keeping lists at that
// granularity can do.
struct RawTexturedLists {
  GLuint top = 0;
  std::vector<GLuint> parts;
  void Delete() {
    for (GLuint l : parts) glDeleteLists(l, 1);
    if (top) glDeleteLists(top, 1);
    parts.clear(), top = 0;
  }
};

RawTexturedLists CompileRawTexturedLists(bool byStretch) {
  std::vector<std::map<GLuint, TexturedBatch>> stretches(1);
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    AddTexturedPlanes(po, &stretches.back());
    for (const PlaneObject* a = po->attachments; a; a = a->next) AddTexturedPlanes(a, &stretches.back());
    const bool lastOfObject = !po->next || po->next->base2DObject != po->base2DObject;
    if (byStretch && lastOfObject && render3d::walk::EndsStretch(po->base2DObject, render3d::kRealTimeStretch))
      stretches.emplace_back();
  }
  RawTexturedLists lists;
  if (!byStretch) sRawTextures = 0;
  for (auto& batches : stretches) {
    if (!byStretch)
      for (const auto& entry : batches) sRawTextures += entry.first != 0;
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    DrawBatches(batches);
    glEndList();
    lists.parts.push_back(list);
  }
  lists.top = glGenLists(1);
  glNewList(lists.top, GL_COMPILE);
  for (GLuint l : lists.parts) glCallList(l);
  glEndList();
  return lists;
}

// Heap in use, small blocks and mapped large ones (display-list vertex stores are large).
size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

size_t PlaneObjectBytes(const PlaneObject* po) {
  size_t bytes = sizeof(PlaneObject);
  for (const Plane* p = po->planes; p; p = p->next)
    bytes += sizeof(Plane) + static_cast<size_t>(p->vertexCount) * sizeof(PlaneVertex);
  for (const PlaneObject* c = po->children; c; c = c->next) bytes += PlaneObjectBytes(c);
  for (const PlaneObject* a = po->attachments; a; a = a->next) bytes += PlaneObjectBytes(a);
  return bytes;
}

size_t SceneBytes() {
  size_t bytes = 0;
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) bytes += PlaneObjectBytes(po);
  return bytes;
}

// One real-time frame as the 3D view draws it while the camera moves.
void RealTimeFrame(DocState* ds) {
  RTSetViewpoint(ds);
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  RTFinalizeGLScene();
}

// The raw list's frame: cleared and called.
void RawFrame(GLuint raw) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glCallList(raw);
}

// The textures the houses name loaded, as the view's first picking pass or final frame loads
// them: the real-time frames before a final frame draw them too.
void MakeTexturesResident() {
  auto load = [](const PlaneObject* po) {
    int32_t id = po->renderKind == 6 ? po->textureIdA : po->textureIdB;
    if (IsTextureAPalette(id)) id = GetPaletteTextureID(id);
    ResidentTextureName(id, true);
  };
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    load(po);
    for (const PlaneObject* a = po->attachments; a; a = a->next) load(a);
  }
}

std::unique_ptr<Houses> sHouses;
int sHousesWalls = 0;
GLuint sRaw = 0;
RawTexturedLists sRawTextured, sRawStretched;
size_t sRawBytes = 0;
int64_t sTriangles = 0;

Houses& DesignOf(int walls) {
  if (!sHouses || sHousesWalls != walls) {
    if (sRaw) glDeleteLists(sRaw, 1), sRaw = 0;
    sRawTextured.Delete();
    sRawStretched.Delete();
    sHouses.reset();
    sHouses = std::make_unique<Houses>(walls);
    sHousesWalls = walls;
    MakeTexturesResident();
    RTInitializeGLScene();
    RealTimeFrame(sHouses->doc.ds());
    glFinish();
    sTriangles = SceneTriangles();
    const size_t before = HeapInUse();
    sRaw = CompileRawList(GL_COMPILE);
    sRawBytes = HeapInUse() - before;
    sRawTextured = CompileRawTexturedLists(false);
    sRawStretched = CompileRawTexturedLists(true);
  }
  return *sHouses;
}

void Report(benchmark::State& state) {
  state.counters["triangles"] = static_cast<double>(sTriangles);
  state.counters["raw_list_bytes"] = static_cast<double>(sRawBytes);
  state.counters["raw_textures"] = static_cast<double>(sRawTextures);
  state.counters["walls"] = static_cast<double>(sHousesWalls);
}

bool Ready(benchmark::State& state) {
  if (Context().ok) return true;
  state.SkipWithError("no display for an OpenGL context");
  return false;
}

void BM_Build(benchmark::State& state) {
  if (!Ready(state)) return;
  Houses& houses = DesignOf(static_cast<int>(state.range(0)));
  DocState* ds = houses.doc.ds();
  double ours = 0, raw = 0, building = 0;
  for (auto _ : state) {
    DeleteAllRendererObjects();
    glFinish();
    auto t0 = Clock::now();
    RenderAllLayers();
    building += Seconds(t0, Clock::now());
    RTInitializeGLScene();
    RealTimeFrame(ds);
    glFinish();
    auto t1 = Clock::now();
    const GLuint list = CompileRawList(GL_COMPILE_AND_EXECUTE);
    glFinish();
    auto t2 = Clock::now();
    glDeleteLists(list, 1);
    ours += Seconds(t0, t1), raw += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = raw > 0 ? ours / raw : 0;
  state.counters["raw_ms"] = raw * 1e3 / static_cast<double>(state.iterations());
  // The share of the plane objects' building (RenderAllLayers); the rest is the compiling frame.
  state.counters["building"] = ours > 0 ? building / ours : 0;
  Report(state);
}

// Real-time frames of a camera moving about the design; with `afterFinal` they follow an 8-pass
// final frame in the same context, as when the user walks on after rendering a final image.
// Each frame is timed as the program draws it (set-up, plane objects, the frame kept, then one
// wait for the GL), as the raw frame is (clear, list, one wait); where the time goes is measured
// apart, in frames that wait for the GL after each part.
void FrameRoad(benchmark::State& state, bool afterFinal) {
  if (!Ready(state)) return;
  Houses& houses = DesignOf(static_cast<int>(state.range(0)));
  DocState* ds = houses.doc.ds();
  double ours = 0, raw = 0, textured = 0, stretched = 0;
  if (afterFinal) {
    ds->antiAliasPasses() = 8;
    gRenderOpenGLAntiAlias = 1;
    RenderGLScene();
    gRenderOpenGLAntiAlias = 0;
  }
  RealTimeFrame(ds);
  for (auto _ : state) {
    glFinish();
    auto t0 = Clock::now();
    RealTimeFrame(ds);
    glFinish();
    auto t1 = Clock::now();
    RawFrame(sRaw);
    glFinish();
    auto t2 = Clock::now();
    RawFrame(sRawTextured.top);
    glFinish();
    auto t3 = Clock::now();
    RawFrame(sRawStretched.top);
    glFinish();
    auto t4 = Clock::now();
    ours += Seconds(t0, t1), raw += Seconds(t1, t2), textured += Seconds(t2, t3), stretched += Seconds(t3, t4);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["fps_ratio_textured"] = ours > 0 ? textured / ours : 0;
  state.counters["textured_raw_ms"] = textured * 1e3 / static_cast<double>(state.iterations());
  // The floor of lists kept per stretch: the stretched raw lists over the one textured list.
  state.counters["stretch_floor"] = textured > 0 ? stretched / textured : 0;
  state.counters["fps_ratio_stretched"] = ours > 0 ? stretched / ours : 0;
  // Where a frame goes: the viewpoint set-up (clearing, background, lot) and the plane objects,
  // as fractions of frames split by waits for the GL.
  double split = 0, viewpoint = 0, objects = 0;
  const int64_t splitFrames = std::min<int64_t>(state.iterations(), 50);
  for (int64_t i = 0; i < splitFrames; ++i) {
    glFinish();
    auto t0 = Clock::now();
    RTSetViewpoint(ds);
    glFinish();
    auto ta = Clock::now();
    RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
    glFinish();
    auto tb = Clock::now();
    RTFinalizeGLScene();
    glFinish();
    auto t1 = Clock::now();
    split += Seconds(t0, t1), viewpoint += Seconds(t0, ta), objects += Seconds(ta, tb);
  }
  state.counters["fps_ratio"] = ours > 0 ? raw / ours : 0;
  state.counters["viewpoint"] = split > 0 ? viewpoint / split : 0;
  state.counters["objects"] = split > 0 ? objects / split : 0;
  state.counters["raw_ms"] = raw * 1e3 / static_cast<double>(state.iterations());
  Report(state);
}

void BM_Frame(benchmark::State& state) { FrameRoad(state, false); }
void BM_FrameAfterFinal(benchmark::State& state) { FrameRoad(state, true); }

// Eight passes of a raw list read into the accumulator, as the final frame's passes are, and
// waited for.
void EightAccumulatedPasses(GLuint list) {
  AccumClear();
  for (int i = 0; i < 8; ++i) {
    RawFrame(list);
    AccumAccumulate(1.0f / 8);
  }
  AccumReturn(1.0f);
  glFinish();
}

void BM_FinalFrame(benchmark::State& state) {
  if (!Ready(state)) return;
  Houses& houses = DesignOf(static_cast<int>(state.range(0)));
  DocState* ds = houses.doc.ds();
  ds->antiAliasPasses() = 8;
  // The first frame after the design was built sorts, shades and compiles the kept lists; the
  // measured frames are of the unchanged scene, which calls them.
  glFinish();
  auto f0 = Clock::now();
  gRenderOpenGLAntiAlias = 1;
  RenderGLScene();
  gRenderOpenGLAntiAlias = 0;
  glFinish();
  state.counters["first_ms"] = Seconds(f0, Clock::now()) * 1e3;
  double ours = 0, raw = 0, plain = 0, oursCpu = 0, rawCpu = 0, stencilRule = 0, textured = 0;
  const GLuint rawStencilled = CompileRawStencilledList(ds->renderMode());
  const int64_t compiledBefore = render3d::FinalListCompilations();
  for (auto _ : state) {
    glFinish();
    auto t0 = Clock::now();
    const double c0 = ProcessSeconds();
    gRenderOpenGLAntiAlias = 1;
    RenderGLScene();
    gRenderOpenGLAntiAlias = 0;
    glFinish();
    auto t1 = Clock::now();
    const double c1 = ProcessSeconds();
    EightAccumulatedPasses(sRaw);
    auto t2 = Clock::now();
    oursCpu += c1 - c0, rawCpu += ProcessSeconds() - c1;
    for (int i = 0; i < 8; ++i) RawFrame(sRaw);
    glFinish();
    auto t3 = Clock::now();
    EightAccumulatedPasses(rawStencilled);
    auto t4 = Clock::now();
    EightAccumulatedPasses(sRawTextured.top);
    auto t5 = Clock::now();
    ours += Seconds(t0, t1), raw += Seconds(t1, t2), plain += Seconds(t2, t3), stencilRule += Seconds(t3, t4);
    textured += Seconds(t4, t5);
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.counters["ratio"] = raw > 0 ? ours / raw : 0;
  state.counters["ratio_plain"] = plain > 0 ? ours / plain : 0;
  state.counters["ratio_textured"] = textured > 0 ? ours / textured : 0;
  // The raw passes with the stencilled faces drawn by the stencil rule, against the raw passes
  // ("stencil_floor"), and ours against them ("ratio_over_stencil_rule").
  state.counters["stencil_floor"] = raw > 0 ? stencilRule / raw : 0;
  state.counters["ratio_over_stencil_rule"] = stencilRule > 0 ? ours / stencilRule : 0;
  glDeleteLists(rawStencilled, 1);
  state.counters["cpu_ratio"] = rawCpu > 0 ? oursCpu / rawCpu : 0;
  state.counters["cpu_ms"] = oursCpu * 1e3 / static_cast<double>(state.iterations());
  double stencilled = 0, carved = 0;
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (!po->children || po->alpha < 255) continue;
    (render3d::DrawsCarvedInFinalFrame(po, ds->renderMode()) ? carved : stencilled) += 1;
  }
  state.counters["stencilled_faces"] = stencilled;
  state.counters["carved_faces"] = carved;
  // Lists compiled by the frames of the unchanged scene (none are due).
  state.counters["recompiled"] = static_cast<double>(render3d::FinalListCompilations() - compiledBefore);
  state.counters["raw_ms"] = raw * 1e3 / static_cast<double>(state.iterations());
  Report(state);
}

// Render Shadows as the 3D window's toolbar runs it (no anti-aliasing) in the sun of a new
// design (20 degrees high, optimal shadow quality), against 8 frames of the raw list.
void BM_ShadowRender(benchmark::State& state) {
  if (!Ready(state)) return;
  Houses& houses = DesignOf(static_cast<int>(state.range(0)));
  DocState* ds = houses.doc.ds();
  ds->sunlightOn() = 1;
  ds->sunBrightness() = 100;
  ds->sunOverheadAngle() = 20;
  ds->sunDirectionAngle() = 45;
  ds->sunShadowQuality() = -1;
  RenderGLScene();
  double ours = 0, raw = 0;
  for (auto _ : state) {
    ds->shadowRender() = 1;
    glFinish();
    auto t0 = Clock::now();
    RenderShadows();
    glFinish();
    auto t1 = Clock::now();
    ds->shadowRender() = 0;
    for (int i = 0; i < 8; ++i) RawFrame(sRaw);
    glFinish();
    auto t2 = Clock::now();
    ours += Seconds(t0, t1), raw += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t0, t1));
  }
  ds->sunlightOn() = 0;
  state.counters["ratio"] = raw > 0 ? ours / raw : 0;
  Report(state);
}

// One wall point moved as the move tool's mouse-up moves a dragged point: the point alone
// selected, the translate command applied to the wall that holds it (the wall rebuilt with its
// openings refitted, its plane objects built again), then the tool's own rebuild of the hit
// wall, the floor's attached dimensions measured once at the end.
void MovePointAsTheMoveToolDoes(Objex* wall, Poinz* point, float dx) {
  for (Poinz* q = wall->firstPoint; q; q = q->next) q->selected = q == point;
  TransformInfo xform{};
  xform.delta[0] = dx;
  {
    WallDimensionRefreshBatch dimensions;
    SelectedTopLevelObject(GetRootObject(wall), 1, kCmdTranslateObjects, CommandArg::Transform(&xform));
    Update3DWall(wall);
    UpdateAllWallAttachments(wall);
    ReRenderObject(wall);
  }
  point->selected = 0;
}

void BM_MovePoint(benchmark::State& state) {
  if (!Ready(state)) return;
  Houses& houses = DesignOf(static_cast<int>(state.range(0)));
  DocState* ds = houses.doc.ds();
  // The whole build once, for the ratio.
  DeleteAllRendererObjects();
  glFinish();
  auto f0 = Clock::now();
  RenderAllLayers();
  RTInitializeGLScene();
  RealTimeFrame(ds);
  glFinish();
  const double full = Seconds(f0, Clock::now());
  double moves = 0, model = 0, frames = 0, still = 0, raw = 0;
  double damaged = 0, area = 0, listsCalled = 0;
  std::vector<double> extra;  // per move, the edited frame less the unedited one
  const int64_t compiledBefore = render3d::ObjectListCompilations();
  const int64_t walksBefore = render3d::WholeSceneWalks();
  int moved = 0;
  for (auto _ : state) {
    Objex* wall = houses.walls[static_cast<size_t>(moved * 7919) % houses.walls.size()];
    glFinish();
    auto t0 = Clock::now();
    MovePointAsTheMoveToolDoes(wall, wall->firstPoint->next, (moved % 2 == 0) ? 1.0f : -1.0f);
    auto t1 = Clock::now();
    RealTimeFrame(ds);
    glFinish();
    auto t2 = Clock::now();
    const render3d::DamagedFrameReport report = render3d::LastFrameReport();
    if (report.damaged) {
      damaged += 1;
      area += static_cast<double>(report.width) * report.height / (kWidth * kHeight);
      listsCalled += report.listsPlanned ? static_cast<double>(report.listsCalled) / report.listsPlanned : 0;
    }
    // The same frame again, nothing edited, and the raw list's frame: what a frame costs anyway.
    RealTimeFrame(ds);
    glFinish();
    auto t3 = Clock::now();
    RawFrame(sRaw);
    glFinish();
    auto t4 = Clock::now();
    moves += Seconds(t0, t2), model += Seconds(t0, t1), frames += Seconds(t1, t2);
    still += Seconds(t2, t3), raw += Seconds(t3, t4);
    extra.push_back(Seconds(t1, t2) - Seconds(t2, t3));
    ++moved;
    state.SetIterationTime(Seconds(t0, t2));
  }
  const double n = moved ? moved : 1;
  state.counters["ratio"] = full > 0 ? moves / n / full : 0;
  state.counters["full_ms"] = full * 1e3;
  // The edit's two parts: the model update (the move, the rebuilt wall, its plane objects) and
  // the next frame (compiling what the edit dropped, then drawing); beside them an unedited
  // frame and the raw list's frame, the object lists compiled and the whole walks of the scene
  // per move.
  state.counters["model_ms"] = model * 1e3 / n;
  state.counters["frame_ms"] = frames * 1e3 / n;
  state.counters["still_frame_ms"] = still * 1e3 / n;
  // What the edit adds to its frame (compiling what it dropped): the median of the edited frame
  // less the unedited one (two frames of the same scene; the median keeps out the odd slow one).
  // Below zero when the edited frame redraws only what the edit changed.
  std::sort(extra.begin(), extra.end());
  state.counters["edit_in_frame_ms"] = extra.empty() ? 0 : extra[extra.size() / 2] * 1e3;
  state.counters["raw_frame_ms"] = raw * 1e3 / n;
  // The share of edited frames that redrew only what the edit changed, and in them the share of
  // the view redrawn and of the scene's lists called.
  state.counters["damaged_frames"] = damaged / n;
  state.counters["damaged_area"] = damaged > 0 ? area / damaged : 0;
  state.counters["damaged_lists"] = damaged > 0 ? listsCalled / damaged : 0;
  state.counters["lists_per_move"] = static_cast<double>(render3d::ObjectListCompilations() - compiledBefore) / n;
  state.counters["scene_walks_per_move"] = static_cast<double>(render3d::WholeSceneWalks() - walksBefore) / n;
  Report(state);
}

void BM_Memory(benchmark::State& state) {
  if (!Ready(state)) return;
  Houses& houses = DesignOf(static_cast<int>(state.range(0)));
  DocState* ds = houses.doc.ds();
  size_t lists = 0, planeObjects = 0;
  for (auto _ : state) {
    DeleteAllRendererObjects();
    render3d::ReleaseObjectLists();  // the old lists go before the heap is measured
    RenderAllLayers();
    planeObjects = SceneBytes();
    RTInitializeGLScene();
    glFinish();
    const size_t before = HeapInUse();
    RealTimeFrame(ds);
    glFinish();
    lists = HeapInUse() - before;
  }
  const double walls = static_cast<double>(houses.walls.size());
  // The plane objects with cut-outs (each drawn through the stencil) and their cut-outs.
  double planeObjectCount = 0, withCutouts = 0, cutouts = 0;
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    ++planeObjectCount;
    if (po->children) ++withCutouts;
    for (const PlaneObject* c = po->children; c; c = c->next) ++cutouts;
  }
  state.counters["plane_objects_per_wall"] = planeObjectCount / walls;
  state.counters["with_cutouts_per_wall"] = withCutouts / walls;
  state.counters["cutouts_per_wall"] = cutouts / walls;
  state.counters["plane_object_kb_per_wall"] = static_cast<double>(planeObjects) / 1024 / walls;
  state.counters["scene_list_kb_per_wall"] = static_cast<double>(lists) / 1024 / walls;
  state.counters["raw_kb_per_wall"] = static_cast<double>(sRawBytes) / 1024 / walls;
  state.counters["ratio"] = sRawBytes ? static_cast<double>(planeObjects + lists) / static_cast<double>(sRawBytes) : 0;
  Report(state);
}

// The raw selection pass: the triangles of every plane object and trim in GL_SELECT mode through
// the pick's narrowed projection, each under a name of its own; the hit records.
GLint RawSelect(bench::SceneCamera& camera, POINT at, std::vector<GLuint>* buffer) {
  return bench::RawSelectPass(camera, at, buffer, [] {
    GLuint name = 2;
    auto named = [&name](const PlaneObject* po) {
      glLoadName(name++);
      glBegin(GL_TRIANGLES);
      RawPlanes(po);
      glEnd();
    };
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      named(po);
      for (const PlaneObject* a = po->attachments; a; a = a->next) named(a);
    }
  });
}

// A surface picked in the middle of the view (PickSurfaceAt, as applying a material or a
// moulding in the 3D view picks) through a walk camera looking down the rows of houses, and
// the next frame, a new interaction's: "pick_ratio" is the pick over the raw selection pass of
// the same triangles ("raw_select_ms"), "next_over_frame" the next frame over the same frame
// without a pick before it. "raw_hits" counts the raw pass's hit records in a buffer the size of
// the pick's (-1: more than it holds).
void BM_Pick(benchmark::State& state) {
  if (!Ready(state)) return;
  Houses& houses = DesignOf(static_cast<int>(state.range(0)));
  DocState* ds = houses.doc.ds();
  const int16_t ortho = ds->orthoView();
  const int16_t navigation = ds->navigationMode;
  const FloatPoint eye = ds->walkEyePoint();
  const float height = ds->walkEyeHeight(), angle = ds->walkViewAngle();
  int perRow = 1;
  while (perRow * perRow < sHousesWalls / 4) ++perRow;
  ds->orthoView() = 0;
  ds->navigationMode = kNavWalkThrough;
  // Down the middle column, beside the openings in the middle of the walls.
  ds->walkEyePoint().floatH = static_cast<float>(perRow / 2) * kSpacing + kHouseW / 4;
  ds->walkEyePoint().floatV = static_cast<float>(perRow) * kSpacing + 300;
  ds->walkEyeHeight() = 60;
  ds->walkViewAngle() = 0;
  const POINT at{kWidth / 2, kHeight / 2};
  bench::SceneCamera camera = bench::StartFrameTakingCamera(ds);
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  RTFinalizeGLScene();
  glFinish();
  std::vector<GLuint> buffer(kPickBufferEntries);
  auto newInteractionFrame = [ds] {
    RTInitializeGLScene();
    RealTimeFrame(ds);
    glFinish();
  };
  double frame = 0, pick = 0, next = 0, raw = 0;
  GLint hits = 0;
  bool surface = true;
  for (auto _ : state) {
    auto t0 = Clock::now();
    newInteractionFrame();
    auto t1 = Clock::now();
    const SurfacePick picked = PickSurfaceAt(at);
    glFinish();
    auto t2 = Clock::now();
    newInteractionFrame();
    auto t3 = Clock::now();
    hits = RawSelect(camera, at, &buffer);
    auto t4 = Clock::now();
    surface = surface && picked.result == PickResult::kSurface;
    frame += Seconds(t0, t1), pick += Seconds(t1, t2), next += Seconds(t2, t3), raw += Seconds(t3, t4);
    state.SetIterationTime(Seconds(t1, t2));
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["pick_ms"] = pick / n * 1e3;
  state.counters["raw_select_ms"] = raw / n * 1e3;
  state.counters["pick_ratio"] = raw > 0 ? pick / raw : 0;
  state.counters["next_frame_ms"] = next / n * 1e3;
  state.counters["next_over_frame"] = frame > 0 ? next / frame : 0;
  state.counters["raw_hits"] = hits;
  ds->orthoView() = ortho;
  ds->navigationMode = navigation;
  ds->walkEyePoint() = eye;
  ds->walkEyeHeight() = height;
  ds->walkViewAngle() = angle;
  RTInitializeGLScene();
  if (!surface) state.SkipWithError("no surface under the view point");
  Report(state);
}

}  // namespace

int main(int argc, char** argv) {
  // The program's application object and routines (its content included), as casavelt runs.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  if (!bench::InstallProgramServicesChecked()) return 1;
  // The image reader the program's front end installs: the shipped textures load.
  gFrontEnd.loadDIBImage = ApplePortDIBImageLoad;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--check_program_services") == 0) {
      std::printf("the benchmark runs the program's routines\n");
      return 0;
    }
  // Every road of one size runs before the next size is built.
  for (int walls : {100, 1000, 10000}) {
    const std::string n = "/" + std::to_string(walls);
    const int slowRuns = walls >= 10000 ? 3 : 5;
    benchmark::RegisterBenchmark(("BM_Build" + n).c_str(), BM_Build)->Arg(walls)->UseManualTime()
        ->Unit(benchmark::kMillisecond)->Iterations(slowRuns);
    benchmark::RegisterBenchmark(("BM_Frame" + n).c_str(), BM_Frame)->Arg(walls)->UseManualTime()
        ->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark(("BM_FinalFrame" + n).c_str(), BM_FinalFrame)->Arg(walls)->UseManualTime()
        ->Unit(benchmark::kMillisecond)->Iterations(slowRuns);
    benchmark::RegisterBenchmark(("BM_FrameAfterFinal" + n).c_str(), BM_FrameAfterFinal)->Arg(walls)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark(("BM_MovePoint" + n).c_str(), BM_MovePoint)->Arg(walls)->UseManualTime()
        ->Unit(benchmark::kMillisecond)->Iterations(10);
    benchmark::RegisterBenchmark(("BM_Memory" + n).c_str(), BM_Memory)->Arg(walls)->Iterations(1);
    benchmark::RegisterBenchmark(("BM_Pick" + n).c_str(), BM_Pick)->Arg(walls)->UseManualTime()
        ->Unit(benchmark::kMillisecond)->Iterations(slowRuns);
    if (walls <= 1000)
      benchmark::RegisterBenchmark(("BM_ShadowRender" + n).c_str(), BM_ShadowRender)->Arg(walls)->UseManualTime()
          ->Unit(benchmark::kMillisecond)->Iterations(3);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  // The design's lists go while the context still stands.
  if (sRaw) glDeleteLists(sRaw, 1);
  sRawTextured.Delete();
  sRawStretched.Delete();
  sHouses.reset();
  benchmark::Shutdown();
  return 0;
}
