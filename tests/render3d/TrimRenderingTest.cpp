// Openings seen in the rendered image, and the texture mapping of their trims.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "building3d/RenderRoad.h"
#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Palettes.h"
#include "model/WallFields.h"
#include "platform/ContentPaths.h"
#include "render3d/Lighting.h"
#include "render3d/RenderTestSupport.h"
#include "render3d/ShadowRender.h"
#include "render3d/TrimPlaneRendering.h"

namespace {

namespace fs = std::filesystem;
constexpr RGBColor kRed{65535, 0, 0}, kGreen{0, 65535, 0};

// A window of `subtype` on the wall's first segment, centred `distance` from its start.
Objex* AddWindow(Objex* wall, int16_t subtype, float distance, float width, float height, float elevation) {
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  data->ownerType = kObjWindow;
  data->subtype = subtype;
  data->anchorStart = wall->firstPoint;
  data->anchorEnd = wall->firstPoint->next;
  data->startDistance = distance;
  data->width = width;
  data->height = height;
  data->elevation = elevation;
  data->trimWidth() = 3;
  const RGBColor white{65535, 65535, 65535};
  data->trimSlotA = TrimSlot{0, 0, 100, 100, white, nullptr};
  data->trimSlotB = TrimSlot{0, 0, 100, 100, white, nullptr};
  Objex* o = CreateObject(kObjWindow, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall, wall->layer, data);
  AppendChildToObject(o, wall);
  return o;
}

struct TrimRendering : RenderTest {
  std::string root, support, shared;
  GLuint texture = 0;

  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    ds()->planScale = 72;
    support = LocalDomainApplicationSupportPath();
    shared = LocalDomainUserSharedPath();
    char tmpl[] = "/tmp/casa-trims-XXXXXX";
    root = mkdtemp(tmpl);
    SetLocalSupportRoot(root + "/support");
    SetUserSharedRoot(root + "/shared");
    // A stock texture whose information file gives 96 by 48, resident under a GL name.
    fs::create_directories(root + "/support/QVRA/Textures/SIDING");
    std::ofstream(root + "/support/QVRA/Textures/SIDING/SIDING2.QTI") << "[Size]\nWidth=96\nHeight=48\n";
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const uint8_t white[16] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    SetGLTextureNameForID(1301, texture);
  }
  void TearDown() override {
    if (!IsSkipped()) {
      SetGLTextureNameForID(1301, 0);
      glDeleteTextures(1, &texture);
      SetLocalSupportRoot(support);
      SetUserSharedRoot(shared);
      fs::remove_all(root);
      DeleteAllDocPalettes();
    }
    RenderTest::TearDown();
  }

  // A trim face of `partType` in the x/y plane hung on nothing, for the opening `window`.
  PlaneObject* Trim(Objex* window, int16_t partType, int32_t textureID) {
    PlaneObject* t = addSquare(-5, -5, 5, 5, 0, {65535, 65535, 65535}, window);
    t->partType = partType;
    t->textureIdA = t->textureIdB = textureID;
    return t;
  }

  // The rates of s along x and of t along the height that drawing the 10-unit square gives.
  static void SPlane(void (*draw)(PlaneObject*, int16_t), PlaneObject* face, GLfloat* s, GLfloat* t) {
    const std::array<float, 2> spans = MappedSpans([&] { draw(face, 0); });
    *s = spans[0] / 10, *t = spans[1] / 10;
  }
};

TEST_F(TrimRendering, TheHoleShowsTheBackgroundAndTheWallAroundIt) {
  Objex* wall = doc.addObject(kObjWall, false, {{-30, 0}, {30, 0}}, doc.first);
  wall->width = 4;
  NoAutoFloorOf(wall) = 1;
  FloorDepthOf(wall) = 0;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    WallHeightOf(p) = 28;
    p->color[0] = kRed;
    p->color[1] = kGreen;
  }
  AddWindow(wall, 600, 30, 14, 10, 8);  // hole: x -8 .. 8, height 7 .. 18
  Update3DWall(wall);
  RenderSingleObject(wall);
  RefreshGLScene();
  // Find the wall's rows and columns in the image: its coloured extent.
  int left = 64, right = -1, bottom = 64, top = -1;
  auto isWall = [](const Pixel& p) { return p.b < 128 && (p.r > 128 || p.g > 128); };
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if (isWall(kept(x, y))) left = std::min(left, x), right = std::max(right, x), bottom = std::min(bottom, y),
                              top = std::max(top, y);
  ASSERT_GE(right - left, 50);
  ASSERT_GE(top - bottom, 24);
  const int cx = (left + right) / 2;
  // Inside the hole the background shows (as in the image's corner, off the wall); 5 units
  // beside it and below it, the wall.
  const Pixel background = kept(0, 0);
  ASSERT_FALSE(isWall(background));
  EXPECT_EQ(kept(cx, bottom + 12), background) << kept(cx, bottom + 12);
  EXPECT_EQ(kept(cx + 6, bottom + 8), background) << kept(cx + 6, bottom + 8);
  EXPECT_TRUE(isWall(kept(cx + 8 + 5, bottom + 12))) << kept(cx + 8 + 5, bottom + 12);
  EXPECT_TRUE(isWall(kept(cx - 8 - 5, bottom + 12))) << kept(cx - 8 - 5, bottom + 12);
  EXPECT_TRUE(isWall(kept(cx, bottom + 1))) << kept(cx, bottom + 1);
}

TEST_F(TrimRendering, SlotScalePairSetsTheGenerationPlanes) {
  Objex* window = planObject(kObjWindow);
  auto* record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  record->trimSlotA = TrimSlot{0, 1301, 72, 36, {65535, 65535, 65535}, nullptr};
  window->typeData = record;
  PlaneObject* t = Trim(window, 1, 1301);
  GLfloat s[1], tp[1];
  SPlane(RenderGLTrimPlaneObject, t, s, tp);
  // A face in the x/y plane: s along x at 0.028 x 18 / W, t along the height at 0.028 x 18 / H.
  EXPECT_NEAR(s[0], 0.028f * 18 / 72, 1e-6);
  EXPECT_NEAR(tp[0], 0.028f * 18 / 36, 1e-6);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  SPlane(RTRenderGLTrimPlaneObject, t, s, tp);
  EXPECT_NEAR(s[0], 0.504f / 72, 1e-6);
  // A lining takes slot B's pair when slot B is custom with a profile and slot A is not.
  record->trimSlotB = TrimSlot{1, 1301, 30, 60, {65535, 65535, 65535}, window};
  PlaneObject* lining = Trim(window, 3, 1301);
  SPlane(RenderGLTrimPlaneObject, lining, s, tp);
  EXPECT_NEAR(s[0], 0.504f / 30, 1e-6);
  EXPECT_NEAR(tp[0], 0.504f / 60, 1e-6);
  record->trimSlotA.flag = 1;
  EXPECT_EQ(TrimTextureSize(lining).width, 72);
  record->trimSlotB.profile = nullptr;  // not owned here
}

// A slot whose material is a palette link: the final drawing stores the linked texture's size
// in the slot and maps with it; the real-time view maps with what the slot holds.
TEST_F(TrimRendering, PaletteLinkedSlotTakesTheLinkedTextureSizeFromTheFinalDrawing) {
  DocPaletteList* palette = AddNewDocPaletteList();
  ASSERT_NE(palette, nullptr);
  palette->active = 1;
  PaletteList* entry = GetPaletteEntryFromRefID(1);
  entry->kind = kPaletteEntryTexture;
  entry->textureID = 1301;
  Objex* window = planObject(kObjWindow);
  auto* record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  record->trimSlotA = TrimSlot{0, -1001, 100, 100, {65535, 65535, 65535}, nullptr};
  window->typeData = record;
  PlaneObject* t = Trim(window, 1, -1001);
  GLfloat s[1], tp[1];
  auto mapped = [&](void (*draw)(PlaneObject*, int16_t)) { SPlane(draw, t, s, tp); };
  // Before any final drawing the real-time view maps at the slot's own pair.
  mapped(RTRenderGLTrimPlaneObject);
  EXPECT_NEAR(s[0], 0.504f / 100, 1e-6);
  EXPECT_EQ(record->trimSlotA.textureWidth, 100);
  // Untextured final drawings store nothing.
  const int16_t mode = ds()->renderMode();
  ds()->renderMode() = kRenderClearViewLines;
  mapped(RenderGLTrimPlaneObject);
  EXPECT_EQ(record->trimSlotA.textureWidth, 100);
  ds()->renderMode() = mode;
  mapped(RenderGLTrimPlaneObject);
  EXPECT_NEAR(s[0], 0.504f / 96, 1e-6);
  EXPECT_NEAR(tp[0], 0.504f / 48, 1e-6);
  EXPECT_EQ(record->trimSlotA.textureWidth, 96);
  EXPECT_EQ(record->trimSlotA.textureHeight, 48);
  mapped(RTRenderGLTrimPlaneObject);
  EXPECT_NEAR(s[0], 0.504f / 96, 1e-6);
  EXPECT_NEAR(tp[0], 0.504f / 48, 1e-6);
}

// The size each trim part maps at: a door's parts 1 and 2 their own slots, the lining (3) slot B
// only while B is a custom material with a profile and A is not, any other part 1 x 1; a
// skylight's top curb (1, 4) and bottom curb (2, 5) their slots, the rings (1, 2) level, any
// other part nothing of either.
TEST_F(TrimRendering, EachTrimPartMapsAtItsOwnSlotsSize) {
  const RGBColor white{65535, 65535, 65535};
  Objex* door = planObject(kObjDoor);
  auto* record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  record->trimSlotA = TrimSlot{0, 1301, 72, 36, white, nullptr};
  record->trimSlotB = TrimSlot{0, 1301, 30, 60, white, nullptr};
  door->typeData = record;
  Objex* skylight = planObject(kObjSkylight);
  auto* curbs = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
#pragma push_macro("slots")  // Qt's keyword macro, which the Qt headers included here define
#undef slots
  curbs->slots[0] = TrimSlot{0, 1301, 44, 22, white, nullptr};
  curbs->slots[1] = TrimSlot{0, 1301, 50, 80, white, nullptr};
#pragma pop_macro("slots")
  skylight->typeData = curbs;
  const struct {
    const char* what;
    Objex* opening;
    int16_t part;
    uint8_t aFlag, bFlag;
    bool bProfile;
    int32_t width, height;
    bool level;
  } cases[] = {
      {"door slot A", door, 1, 0, 0, false, 72, 36, false},
      {"door slot B", door, 2, 0, 0, false, 30, 60, false},
      {"lining, B plain", door, 3, 0, 0, true, 72, 36, false},
      {"lining, B custom with a profile", door, 3, 0, 1, true, 30, 60, false},
      {"lining, B custom without a profile", door, 3, 0, 1, false, 72, 36, false},
      {"lining, both custom", door, 3, 1, 1, true, 72, 36, false},
      {"door part 4", door, 4, 0, 0, false, 1, 1, false},
      {"skylight top ring", skylight, 1, 0, 0, false, 44, 22, true},
      {"skylight bottom ring", skylight, 2, 0, 0, false, 50, 80, true},
      {"skylight top band", skylight, 4, 0, 0, false, 44, 22, false},
      {"skylight bottom band", skylight, 5, 0, 0, false, 50, 80, false},
      {"skylight part 3", skylight, 3, 0, 0, false, 1, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    record->trimSlotA.flag = c.aFlag;
    record->trimSlotB.flag = c.bFlag;
    record->trimSlotB.profile = c.bProfile ? door : nullptr;  // not owned here
    PlaneObject* t = Trim(c.opening, c.part, 1301);
    const GeneratedTextureSize size = TrimTextureSize(t);
    EXPECT_EQ(size.width, c.width);
    EXPECT_EQ(size.height, c.height);
    EXPECT_EQ(size.horizontal, c.level);
  }
  record->trimSlotB.profile = nullptr;
}

TEST_F(TrimRendering, SkylightRingsMapLevelEvenWithoutTheirRecord) {
  Objex* skylight = planObject(kObjSkylight);
  GLfloat s[1], tp[1];
  for (int16_t partType : {1, 2, 4}) {
    // An upright face (in the x/y plane): only the bands map by their dominant plane (t along
    // the height); the rings map level, t along z, which does not change across this face.
    PlaneObject* t = Trim(skylight, partType, 1301);
    SPlane(RenderGLTrimPlaneObject, t, s, tp);
    EXPECT_NEAR(s[0], 0.504f, 1e-6) << partType;
    EXPECT_NEAR(tp[0], partType == 4 ? 0.504f : 0, 1e-6) << partType;
  }
}

// The coordinates a trim's faces are drawn with are those the GL's object-linear generation
// gives from the same planes: faces level, upright along x and along z, slanted, of three to
// five corners, wound either way, an object whose second polygon faces another way, on either
// side, in both renderers.
TEST_F(TrimRendering, DrawnCoordinatesAreThoseTheGenerationPlanesGive) {
  Objex* window = planObject(kObjWindow);
  auto* record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  record->trimSlotA = TrimSlot{0, 1301, 72, 36, {65535, 65535, 65535}, nullptr};
  record->trimSlotB = TrimSlot{0, 1301, 30, 60, {65535, 65535, 65535}, nullptr};
  window->typeData = record;
  using Corners = std::vector<std::array<float, 3>>;
  const std::vector<Corners> faces[] = {
      {{{-20, 7, -30}, {25, 7, -30}, {25, 7, 15}, {-20, 7, 15}}},       // level
      {{{-20, -10, 4}, {30, -10, 4}, {30, 22, 4}, {-20, 22, 4}}},       // facing z
      {{{-20, 22, 4}, {30, 22, 4}, {30, -10, 4}, {-20, -10, 4}}},       // the same wound back
      {{{6, -10, -25}, {6, -10, 35}, {6, 18, 35}, {6, 18, -25}}},       // facing x
      {{{-30, 0, -10}, {30, 0, -10}, {30, 20, 25}, {-30, 20, 25}}},     // slanted, nearer level
      {{{-12, -8, 3}, {40, 5, 9}, {-2, 30, -6}}},                       // a triangle
      {{{0, -20, 5}, {20, -10, 5}, {25, 10, 5}, {5, 25, 5}, {-15, 5, 5}}},  // five corners
      {{{-20, -10, 4}, {30, -10, 4}, {30, 22, 4}, {-20, 22, 4}},        // upright, then level
       {{-20, 30, -30}, {25, 30, -30}, {25, 30, 15}, {-20, 30, 15}}},
  };
  for (size_t f = 0; f < std::size(faces); ++f)
    for (int16_t partType : {1, 3})
      for (int16_t side : {6, 0}) {
        PlaneObject* t = CreatePlaneObject();
        for (const Corners& polygon : faces[f]) {
          auto* v = static_cast<PlaneVertex*>(calloc(polygon.size(), sizeof(PlaneVertex)));
          for (size_t i = 0; i < polygon.size(); ++i) v[i] = {polygon[i][0], -polygon[i][1], polygon[i][2], 0, 0, 0};
          AppendPlane(v, static_cast<int32_t>(polygon.size()), 0, 0, 1, t);
        }
        t->base2DObject = t->actual3DObject = t->sourceObject = window;
        t->actual3DType = kObjWindow;
        t->partType = partType;
        t->renderKind = side;
        t->textureIdA = t->textureIdB = 1301;
        t->colorA = t->colorB = {65535, 65535, 65535};
        // What the generation state gives from each polygon's planes.
        const std::vector<FedVertex> generated = FedInView([&] {
          static const GLfloat r[4] = {0, 0, 1, 0}, q[4] = {0, 0, 0, 1};
          for (GLenum c : {GL_S, GL_T, GL_R, GL_Q}) glTexGeni(c, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
          glTexGenfv(GL_R, GL_OBJECT_PLANE, r);
          glTexGenfv(GL_Q, GL_OBJECT_PLANE, q);
          for (GLenum c : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q}) glEnable(c);
          // (Coordinates are generated for a complete texture in use.)
          glEnable(GL_TEXTURE_2D);
          glBindTexture(GL_TEXTURE_2D, texture);
          glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
          GenerationPlanes planes;
          for (const Plane* p = t->planes; p; p = p->next) {
            GenerationPlanesOf(p, TrimTextureSize(t), &planes);
            glTexGenfv(GL_S, GL_OBJECT_PLANE, planes.s);
            glTexGenfv(GL_T, GL_OBJECT_PLANE, planes.t);
            glBegin(GL_POLYGON);
            for (int32_t i = 0; i < p->vertexCount; ++i)
              glVertex3f(p->vertices[i].x, -p->vertices[i].y, p->vertices[i].z);
            glEnd();
          }
          for (GLenum c : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q}) glDisable(c);
          glDisable(GL_TEXTURE_2D);
        });
        ASSERT_FALSE(generated.empty());
        for (auto draw : {RenderGLTrimPlaneObject, RTRenderGLTrimPlaneObject}) {
          const std::vector<FedVertex> drawn = FedInView([&] { draw(t, 0); });
          ASSERT_FALSE(drawn.empty()) << f;
          for (const FedVertex& d : drawn) {
            const FedVertex* match = nullptr;
            for (const FedVertex& g : generated)
              if (std::fabs(g.x - d.x) < 0.01f && std::fabs(g.y - d.y) < 0.01f && std::fabs(g.z - d.z) < 1e-4f)
                match = &g;
            ASSERT_NE(match, nullptr) << "face " << f << " side " << side;
            EXPECT_NEAR(d.s, match->s, 1e-5) << "face " << f << " part " << partType << " side " << side;
            EXPECT_NEAR(d.t, match->t, 1e-5) << "face " << f << " part " << partType << " side " << side;
          }
        }
        DeletePlaneObject(t);
      }
}

TEST_F(TrimRendering, EveryTrimKindIsUnshadedInTheLightViewAndBrightenedByTheFullyLitPass) {
  gLiveViewOptions |= kLiveViewShading;
  ds()->lightIntensity() = 0;  // no fade across the faces
  Objex* skylight = planObject(kObjSkylight);
  ASSERT_TRUE(BindRenderTarget(64, 64));
  glViewport(0, 0, 64, 64);
  glDisable(GL_DEPTH_TEST);
  // The colour the face is drawn in, read from the image it covers (the feedback of a driver
  // that has made a selection pass before can report another colour than the one drawn).
  auto colour = [this, skylight](int16_t partType) {
    PlaneObject* t = Trim(skylight, partType, 0);
    t->colorA = t->colorB = {40000, 30000, 20000};
    t->planes->normal[0] = 0.7f, t->planes->normal[1] = 0.7f, t->planes->normal[2] = 0;  // would shade
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    RenderGLTrimPlaneObject(t, 0);
    const Pixel p = current(32, 32);
    return std::array<float, 3>{p.r / 255.0f, p.g / 255.0f, p.b / 255.0f};
  };
  ds()->renderMode() = kRenderLightView;
  for (int16_t partType : {1, 2, 3, 4, 5})
    EXPECT_EQ(colour(partType), (std::array<float, 3>{1, 1, 1})) << partType;
  ds()->renderMode() = kRenderSolid;
  const float brightness = ds()->lightBrightness();
  ds()->lightBrightness() = 0.8f;
  gAdjustTrimLightIntensity = 1;
  const std::array<float, 3> ring = colour(1);
  for (int16_t partType : {2, 3, 4, 5}) EXPECT_EQ(colour(partType), ring) << partType;
  gAdjustTrimLightIntensity = 0;
  EXPECT_LT(colour(4)[0], ring[0]);
  ds()->lightBrightness() = brightness;
}

TEST_F(TrimRendering, ATransparentTrimStillFadesAcrossItsFace) {
  gLiveViewOptions = 1023;  // shading on
  Objex* window = planObject(kObjWindow);
  auto* record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  window->typeData = record;
  PlaneObject* t = addPolygon({{-20, -20, 0}, {20, -20, 0}, {20, 20, 0}, {-20, 20, 0}}, {40000, 40000, 40000}, window);
  t->partType = 1;
  t->alpha = 200;
  t->planes->vertices[0].v = t->planes->vertices[1].v = 0;
  t->planes->vertices[2].v = t->planes->vertices[3].v = 1;
  ds()->lightIntensity() = 30000;
  RefreshGLScene();
  const Pixel low = kept(32, 16), high = kept(32, 48);
  EXPECT_NE(low.r, high.r) << low << " " << high;
}

}  // namespace
