// The kept full-quality lists: an unchanged scene is not sorted or shaded again, an edit compiles
// only the list holding the edited object, and a change of any input of the shading shows in the
// next final frame exactly as a frame drawn from nothing does.
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "render3d/FinalSceneLists.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderTestSupport.h"
#include "render3d/SceneFrame.h"

namespace {

constexpr RGBColor kRed{60000, 20000, 10000};
constexpr RGBColor kGreen{10000, 60000, 20000};
constexpr RGBColor kBlue{10000, 20000, 60000};

class FinalSceneLists : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    gLiveViewOptions = 1023;  // shading and fades on
    gDirectionCosX = 0, gDirectionCosY = -0.8660254f, gDirectionCosZ = 1;
    ds()->lightBrightness() = 1.0f;
    ds()->lightIntensity() = 16000;
    ds()->antiAliasPasses() = 2;
    glDepthFunc(GL_LESS);
  }
  void TearDown() override {
    gDirectionCosX = 0, gDirectionCosY = -0.8660254f, gDirectionCosZ = 1;
    RenderTest::TearDown();
  }
  void render() {
    gRenderOpenGLAntiAlias = 1;
    RefreshGLScene();
    gRenderOpenGLAntiAlias = 0;
  }
  // One input of the scene changed between two frames from the kept lists.
  struct Case {
    const char* input;
    int x, y;  // a pixel the change shows at
    std::function<void()> change;
  };
  // The change compiles the lists again, shows at its pixel, and the kept lists draw what a
  // fresh frame draws.
  void expectChangeShows(const Case& c) {
    render();
    render();  // from the kept lists
    const Pixel before = kept(c.x, c.y);
    const int64_t compiled = render3d::FinalListCompilations();
    c.change();
    render();
    const Pixel after = kept(c.x, c.y);
    EXPECT_GT(render3d::FinalListCompilations(), compiled);
    EXPECT_TRUE(after.r != before.r || after.g != before.g || after.b != before.b)
        << before.r << "," << before.g << "," << before.b;
    EXPECT_TRUE(image() == fresh()) << "the kept lists draw what a fresh frame draws";
  }
  static std::vector<uint8_t> image() {
    int32_t w = 0, h = 0;
    return KeptFrame(&w, &h);
  }
  // The frame drawn from no kept list.
  std::vector<uint8_t> fresh() {
    render3d::DropAllFinalLists();
    render();
    return image();
  }
  // A face with a cut-out (a square of the given corners in the face's plane).
  PlaneObject* faceWithCutout(float x0, float y0, float x1, float y1) {
    PlaneObject* face = addSquare(-20, -20, 20, 20, 0, kRed);
    face->partType = kObjWallFace;
    PlaneObject* hole = addPolygon({{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}, kBlue, face->base2DObject, false);
    hole->partType = kObjCutout;
    face->children = hole;
    return face;
  }
};

TEST_F(FinalSceneLists, AChangeOfEachShadingInputShowsInTheNextFrame) {
  RGBColor link = kGreen;
  PlaneObject* face = addSquare(-20, -20, 20, 20, 0, kRed);
  PlaneObject* linked = addSquare(-30, -30, -22, -22, 0, kRed);
  linked->colorLinkB = &link;
  const Case cases[] = {
      {"light direction", 32, 32, [] { gDirectionCosZ = 0.3f; }},
      {"light brightness", 32, 32, [this] { ds()->lightBrightness() = 0.6f; }},
      {"fade intensity", 32, 32, [this] { ds()->lightIntensity() = 60000; }},
      {"shading switched off", 32, 32, [] { gLiveViewOptions &= ~kLiveViewShading; }},
      {"material colour", 32, 32, [face] { face->colorA = face->colorB = kBlue; }},
      {"linked colour, changed where it lives", 6, 6, [&link] { link = kBlue; }},
      {"corners moved in place", 32, 32, [face] { face->planes->vertices[1].x = -5, face->planes->vertices[2].x = -5; }},
      {"render mode", 32, 32, [this] { ds()->renderMode() = kRenderLightView; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    expectChangeShows(c);
    // Back to the start for the next input.
    gDirectionCosZ = 1;
    ds()->lightBrightness() = 1.0f;
    ds()->lightIntensity() = 16000;
    gLiveViewOptions = 1023;
    face->colorA = face->colorB = kRed;
    link = kGreen;
    face->planes->vertices[1].x = 20, face->planes->vertices[2].x = 20;
    ds()->renderMode() = kRenderSolid;
  }
}

// The other inputs the shading and the fades read, each changed between frames: the light's x
// and y axes (faces turned along them), the plan scale and a floor's height (a stair landing
// fades against its floor's height in plan units), and the layers' names (faces on the third
// floor and on any layer named as the first fade as the first floor's do). Each shows in the
// next frame as a fresh frame draws it.
TEST_F(FinalSceneLists, AChangeOfEachOtherSceneInputShowsInTheNextFrame) {
  PlaneObject* alongX = addSquare(-30, -30, -22, -22, 0, kGreen);
  alongX->planes->normal[0] = 0.99f, alongX->planes->normal[2] = 0;
  PlaneObject* alongY = addSquare(-30, 22, -22, 30, 0, kGreen);
  alongY->planes->normal[1] = 0.99f, alongY->planes->normal[2] = 0;
  doc.second->visible = doc.third->visible = 0;  // their objects widen no bounds
  Objex* stair = doc.addObject(kObjStaircase, true, {{0, 0}, {1, 0}}, doc.second);
  PlaneObject* landing = addSquare(22, -30, 30, 30, 0, kRed, stair);
  landing->actual3DType = kObjStairLandingPart;
  Objex* onThird = doc.addObject(kObjWall, true, {{0, 0}, {1, 0}}, doc.third);
  PlaneObject* upper = addSquare(-10, -30, 10, 30, 0, kBlue, onThird);
  upper->partType = 10;
  Layer* garden = CreateLayer("Garden", 0, 0, nullptr);
  AppendLayerToDocument(garden);
  Objex* inGarden = doc.addObject(kObjWall, true, {{0, 0}, {1, 0}}, garden);
  PlaneObject* outside = addSquare(12, -30, 20, 30, 0, kBlue, inGarden);
  outside->partType = 10;
  for (PlaneObject* p : {landing, upper, outside}) p->planes->vertices[2].v = p->planes->vertices[3].v = 1;
  const float floorHeight = doc.second->height;
  const Case cases[] = {
      {"light across", 6, 6, [] { gDirectionCosX = 0.9f; }},
      {"light up", 6, 58, [] { gDirectionCosY = -0.3f; }},
      {"plan scale", 58, 60, [this] { ds()->planScale = 96; }},
      {"floor height", 58, 60, [this, floorHeight] { doc.second->height = floorHeight / 3; }},
      {"third floor renamed", 32, 60, [this] { std::snprintf(doc.third->name, sizeof doc.third->name, "Attic"); }},
      // The floors stay the layers first named so; the faces of the layer fade as a floor's.
      {"another layer named as the first floor", 48, 60,
       [garden] { std::snprintf(garden->name, sizeof garden->name, "First Floor"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    expectChangeShows(c);
    // Back to the start for the next input.
    gDirectionCosX = 0, gDirectionCosY = -0.8660254f;
    ds()->planScale = 36;
    doc.second->height = floorHeight;
    std::snprintf(doc.third->name, sizeof doc.third->name, "Third Floor");
    std::snprintf(garden->name, sizeof garden->name, "Garden");
  }
}

// Inputs changed in place, without the object being rebuilt or any road reporting it: the
// object's list is compiled again and the frame is the one drawn from nothing, both ways.
TEST_F(FinalSceneLists, EachInputChangedInPlaceCompilesItsListAgain) {
  PlaneObject* face = addSquare(-20, -20, 20, 20, 0, kRed);
  PlaneObject* other = addSquare(-30, -30, -22, -22, 0, kGreen);
  PlaneObject* trim = addPolygon({{-20, 20, 1}, {20, 20, 1}, {20, 24, 1}, {-20, 24, 1}}, kBlue, nullptr, false);
  trim->partType = 2;
  face->attachments = trim;
  struct Case {
    const char* input;
    std::function<void(bool)> change;  // true: changed, false: back as it was
  };
  const Case cases[] = {
      {"second colour", [face](bool on) { face->colorB = on ? kGreen : kRed; }},
      {"texture scale", [face](bool on) { face->textureScaleA[1] = on ? 50 : 100; }},
      {"texture size", [face](bool on) { face->textureSizeB[0] = on ? 2.0f : 1.0f; }},
      {"render kind", [face](bool on) { face->renderKind = on ? 6 : 0; }},
      {"opacity (to the transparent pass)", [face](bool on) { face->alpha = on ? 128 : 255; }},
      {"normal turned in place", [face](bool on) { face->planes->normal[0] = on ? 0.5f : 0.0f; }},
      {"texture coordinate", [face](bool on) { face->planes->vertices[2].u = on ? 3.0f : 0.0f; }},
      {"corner of the last plane", [other](bool on) { other->planes->vertices[0].y = on ? 26.0f : 30.0f; }},
      {"trim's corner", [trim](bool on) { trim->planes->vertices[2].x = on ? 10.0f : 20.0f; }},
      {"trim's colour", [trim](bool on) { trim->colorA = trim->colorB = on ? kRed : kBlue; }},
      {"door leaf value of the source", [face](bool on) { face->sourceObject->params[4] = on ? 0.5f : 0.0f; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    for (bool on : {true, false}) {
      render();
      render();
      const int64_t compiled = render3d::FinalListCompilations();
      c.change(on);
      render();
      EXPECT_GT(render3d::FinalListCompilations(), compiled);
      const std::vector<uint8_t> fromLists = image();
      EXPECT_TRUE(fromLists == fresh());
    }
  }
}

// The scene list's order changed without an edit reporting it (runs moved, gone, added): the
// frame is the one drawn from nothing.
TEST_F(FinalSceneLists, ARunMovedGoneOrAddedShowsAsAFreshFrame) {
  std::vector<PlaneObject*> squares;
  for (int i = 0; i < 6; ++i) {
    const float x = -30 + i * 10.0f;
    squares.push_back(addSquare(x, -10, x + 8, 10, static_cast<float>(i), i % 2 ? kRed : kBlue));
  }
  auto unlink = [](PlaneObject* po) {
    (po->prev ? po->prev->next : gGLPlaneObjects) = po->next;
    (po->next ? po->next->prev : gGLPlaneObjectsTail) = po->prev;
    po->prev = po->next = nullptr;
  };
  auto append = [](PlaneObject* po) {
    po->prev = gGLPlaneObjectsTail;
    po->next = nullptr;
    (gGLPlaneObjectsTail ? gGLPlaneObjectsTail->next : gGLPlaneObjects) = po;
    gGLPlaneObjectsTail = po;
  };
  struct Step {
    const char* what;
    std::function<void()> change;
  };
  PlaneObject* removed = nullptr;
  const Step steps[] = {
      {"the first run moved to the end", [&] { unlink(squares[0]), append(squares[0]); }},
      {"the last run gone", [&] { removed = gGLPlaneObjectsTail, unlink(removed); }},
      {"it comes back at the end", [&] { append(removed); }},
      {"two runs swapped", [&] {
         unlink(squares[3]);
         PlaneObject* at = squares[1];
         squares[3]->next = at, squares[3]->prev = at->prev;
         (at->prev ? at->prev->next : gGLPlaneObjects) = squares[3];
         at->prev = squares[3];
       }},
  };
  render();
  render();
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.change();
    render();
    const std::vector<uint8_t> fromLists = image();
    EXPECT_TRUE(fromLists == fresh());
    render();
    EXPECT_TRUE(image() == fromLists);
  }
}

TEST_F(FinalSceneLists, AnUnchangedSceneIsNotShadedAgainAndAnEditCompilesOneList) {
  std::vector<PlaneObject*> squares;
  for (int i = 0; i < 120; ++i) {
    const float x = -30 + (i % 12) * 5.0f, y = -30 + (i / 12) * 5.0f;
    squares.push_back(addSquare(x, y, x + 4, y + 4, 0, kRed));
  }
  PlaneObject* trim = addPolygon({{-30, 26, 1}, {30, 26, 1}, {30, 30, 1}, {-30, 30, 1}}, kGreen, nullptr, false);
  trim->partType = 2;
  squares.back()->attachments = trim;
  struct Step {
    const char* what;
    std::function<void()> change;
    int64_t lists;  // lists compiled by the frame
    int trims;      // trims drawn (shaded); -1: as the stretch of objects sharing the list holds one
  };
  const Step steps[] = {
      {"unchanged", [] {}, 0, 0},
      {"one object's colour", [&] { squares[40]->colorA = squares[40]->colorB = kBlue; }, 1, -1},
      {"the trim's colour", [&] { trim->colorA = trim->colorB = kBlue; }, 1, 1},
      {"the object's lists dropped (rebuilt)", [&] { render3d::DropObjectLists(squares[7]->base2DObject); }, 1, -1},
      {"unchanged again", [] {}, 0, 0},
  };
  const int64_t atStart = render3d::FinalListCompilations();
  render();
  const int64_t first = render3d::FinalListCompilations() - atStart;
  EXPECT_GT(first, 0);
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.change();
    const int64_t before = render3d::FinalListCompilations();
    ServiceCallRecorder calls;
    render();
    EXPECT_EQ(render3d::FinalListCompilations() - before, s.lists);
    if (s.trims >= 0) EXPECT_EQ(calls.count("RenderGLTrimPlaneObject"), static_cast<size_t>(s.trims));
  }
  // Fewer lists than objects: a pass calls stretches of them.
  EXPECT_LT(first, 60);
  const std::vector<uint8_t> drawn = image();  // before fresh() draws over it
  EXPECT_TRUE(drawn == fresh());
}

TEST_F(FinalSceneLists, CutoutsAreCarvedOnlyWhereTheCarvingMatchesTheStencil) {
  struct Case {
    const char* what;
    float x0, y0, x1, y1;
    int16_t mode;
    bool carved;
  };
  const Case cases[] = {
      {"window inside the face", -6, -4, 6, 8, kRenderSolid, true},
      {"window inside, ClearView fill", -6, -4, 6, 8, kRenderClearViewFill, true},
      {"window inside, wireframe", -6, -4, 6, 8, kRenderWireframe, false},
      {"window inside, ClearView lines", -6, -4, 6, 8, kRenderClearViewLines, false},
      {"door on the face's bottom edge", -6, -20, 6, 8, kRenderSolid, false},
      {"opening across the face's edge", -6, -26, 6, 8, kRenderSolid, false},
      {"opening just inside the edge", -6, -19.5f, 6, 8, kRenderSolid, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlaneObject* face = faceWithCutout(c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(render3d::DrawsCarvedInFinalFrame(face, c.mode), c.carved);
    if (c.mode == kRenderSolid) {
      // Either way the opening shows what is behind (the black background) and the face
      // stands around it.
      render();
      const Pixel hole = kept(32, 32 + 2), wall = kept(32 - 15, 32 + 15);
      EXPECT_EQ(hole.r + hole.g + hole.b, 0);
      EXPECT_GT(wall.r, 100);
      const std::vector<uint8_t> drawn = image();  // before fresh() draws over it
      EXPECT_TRUE(drawn == fresh());
    }
    DeleteAllRendererObjects();
  }
  // A curved strip keeps the stencil (its edge colours go by corner), as does an object without
  // cut-outs.
  PlaneObject* strip = faceWithCutout(-6, -4, 6, 8);
  strip->renderKind = 7;
  EXPECT_FALSE(render3d::DrawsCarvedInFinalFrame(strip, kRenderSolid));
  PlaneObject* plain = addSquare(-20, -20, 20, 20, 0, kRed);
  EXPECT_FALSE(render3d::DrawsCarvedInFinalFrame(plain, kRenderSolid));
}

TEST_F(FinalSceneLists, AStripTakesItsSharedEdgeColourFromTheStripBeforeItInAnotherList) {
  // Two strips of one source object in two plan objects' runs: the second's first two corners
  // take the first's shaded colour.
  Objex* source = planObject();
  PlaneObject* first = addSquare(-20, -20, 0, 20, 0, kRed);
  PlaneObject* second = addSquare(0, -20, 20, 20, 0, kBlue);
  for (PlaneObject* s : {first, second}) s->renderKind = 7, s->sourceObject = source;
  render();
  render();
  const std::vector<uint8_t> shared = image();
  EXPECT_TRUE(shared == fresh());
  // The first strip's colour changes: the second's list is compiled for the new colour.
  first->colorA = first->colorB = kGreen;
  render();
  const std::vector<uint8_t> changed = image();
  EXPECT_FALSE(changed == shared);
  EXPECT_TRUE(changed == fresh());
}

// Another source object: nothing is shared any more, from the first frame after the change.
// The strip memory the last frame left still names the first strip's source object (the second
// strip's colour): the first strip must not take it for that one frame.
TEST_F(FinalSceneLists, AStripGivenAnotherSourceObjectSharesNoEdgeColourInTheNextFrame) {
  Objex* source = planObject();
  PlaneObject* first = addSquare(-20, -20, 0, 20, 0, kRed);
  PlaneObject* second = addSquare(0, -20, 20, 20, 0, kBlue);
  for (PlaneObject* s : {first, second}) s->renderKind = 7, s->sourceObject = source;
  render();
  const std::vector<uint8_t> firstFrame = image();
  render();
  EXPECT_TRUE(image() == firstFrame) << "the first frame of the strips is the one after it";
  second->sourceObject = planObject();
  render();
  const std::vector<uint8_t> drawn = image();  // before fresh() draws over it
  EXPECT_TRUE(drawn == fresh());
}

// One pass of the kept lists against the walk that draws every cut-out through the stencil, on
// a face seen slanted in perspective (its edges cross the pixels at all angles): where the
// lists carve the openings out of the face, the carving leaves exactly the pixels the stencil
// leaves; a door standing on the face's edge keeps the stencil.
class OpeningsAgainstTheStencil : public FinalSceneLists {
 protected:
  static constexpr int kSize = 128, kViews = 128;
  static void BeginPass(int view) {
    ASSERT_TRUE(BindRenderTarget(kSize, kSize));
    glViewport(0, 0, kSize, kSize);
    glClearColor(0, 0, 0, 1);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.37, 0.41, -0.33, 0.39, 1, 400);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Each view turns the face and shifts it by fractions of a pixel by amounts of its own,
    // spread over the turns that show it well.
    auto spread = [view](double step) { return static_cast<float>(std::fmod(view * step, 1.0)); };
    glTranslatef(spread(0.6180339) - 0.5f, spread(0.4142135) - 0.5f, -72 + 6 * spread(0.3027756));
    glRotatef(-40 + 80 * spread(0.7320508), 0, 1, 0);
    glRotatef(-20 + 40 * spread(0.2360679), 1, 0, 0);
    glRotatef(-25 + 50 * spread(0.1622776), 0, 0, 1);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
  }
  static std::vector<uint8_t> Pixels() {
    std::vector<uint8_t> px(static_cast<size_t>(kSize) * kSize * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
  }
  // A face of the given corners in the plane z = 0 with openings (rectangles x0, y0, x1, y1),
  // a casing along each opening's top, and a backdrop behind to show through the openings.
  PlaneObject* face(std::initializer_list<std::array<float, 4>> openings) {
    addSquare(-40, -40, 40, 40, -25, kGreen);
    PlaneObject* wall = addPolygon({{-20.3f, -19.1f, 0}, {21.7f, -19.1f, 0}, {21.7f, 18.9f, 0}, {-20.3f, 18.9f, 0}},
                                   kRed);
    wall->partType = kObjWallFace;
    PlaneObject** next = &wall->children;
    for (const auto& o : openings) {
      PlaneObject* hole = addPolygon({{o[0], o[1], 0}, {o[2], o[1], 0}, {o[2], o[3], 0}, {o[0], o[3], 0}}, kBlue,
                                     wall->base2DObject, false);
      hole->partType = kObjCutout;
      *next = hole;
      next = &hole->next;
      PlaneObject* casing = addPolygon({{o[0] - 1, o[3], 0.5f}, {o[2] + 1, o[3], 0.5f}, {o[2] + 1, o[3] + 1.5f, 0.5f},
                                        {o[0] - 1, o[3] + 1.5f, 0.5f}},
                                       kBlue, wall->base2DObject, false);
      casing->partType = 2;
      casing->next = wall->attachments;
      wall->attachments = casing;
    }
    return wall;
  }
  struct Comparison {
    int worst = 0;       // the largest difference of a colour channel
    int faceShown = 0;   // pixels the face covers with its openings, and without them
    int solidShown = 0;
  };
  // The pass drawn by the walk and by the kept lists from one view, and the walk's with the
  // face's openings taken away.
  Comparison compare(PlaneObject* wall, int view) {
    BeginPass(view);
    gCurrentStencilValue = 2;
    RenderGLPlaneObjects(gGLPlaneObjects);
    const std::vector<uint8_t> stencil = Pixels();
    render3d::DropAllFinalLists();
    BeginPass(view);
    render3d::DrawFinalScene(ds(), true);
    const std::vector<uint8_t> lists = Pixels();
    PlaneObject* openings = wall->children;
    wall->children = nullptr;
    BeginPass(view);
    RenderGLPlaneObjects(gGLPlaneObjects);
    const std::vector<uint8_t> solid = Pixels();
    wall->children = openings;
    Comparison r;
    for (size_t i = 0; i < stencil.size(); i += 4) {
      for (size_t k = 0; k < 3; ++k) r.worst = std::max(r.worst, std::abs(stencil[i + k] - lists[i + k]));
      r.faceShown += stencil[i] > 100;
      r.solidShown += solid[i] > 100;
    }
    return r;
  }
};

TEST_F(OpeningsAgainstTheStencil, CarvedOpeningsLeaveTheStencilsPixels) {
  struct Case {
    const char* what;
    std::initializer_list<std::array<float, 4>> openings;
    bool carved;
  };
  const Case cases[] = {
      {"door on the face's bottom edge", {{-4.3f, -19.1f, 5.9f, 7.7f}}, false},
      {"door in the middle", {{-4.3f, -15.6f, 5.9f, 7.7f}}, true},
      {"two doors", {{-15.2f, -16.3f, -6.1f, 6.6f}, {3.4f, -15.6f, 12.9f, 7.7f}}, true},
      {"window", {{-6.6f, -2.2f, 7.3f, 9.4f}}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlaneObject* wall = face(c.openings);
    EXPECT_EQ(render3d::DrawsCarvedInFinalFrame(wall, kRenderSolid), c.carved);
    // The first view where the lists' pass differs from the stencil's by more than a level,
    // and the views where the openings do not show (a test of nothing).
    int firstDifferent = -1, unseen = 0;
    for (int view = 0; view < kViews; ++view) {
      const Comparison r = compare(wall, view);
      if (r.worst > 1 && firstDifferent < 0) firstDifferent = view;
      unseen += r.faceShown < 1000 || r.faceShown > r.solidShown - 200;
    }
    EXPECT_EQ(firstDifferent, -1);
    EXPECT_EQ(unseen, 0);
    render3d::DropAllFinalLists();
    DeleteAllRendererObjects();
  }
}

}  // namespace
