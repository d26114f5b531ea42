// The real-time scene's lists per stretch of plan objects: an edit compiles the edited object's
// stretch and the short scene list again, nothing else; settings the lists were drawn under drop them
// all; photos and plants are drawn every frame from the scene's own list of them, in step with
// the objects built and deleted.
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "building3d/Walls3D.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/WallFields.h"
#include "render3d/ListWalkRules.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderTestSupport.h"

namespace {

class ObjectLists : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    ds()->planBounds = {-40, -40, 40, 40};
    ds()->renderExclusions() = 0;
    glDepthFunc(GL_LESS);
  }

  // A wall along x at depth z, 30 high.
  Objex* wall(float x0, float x1, float z) {
    Objex* w = doc.addObject(kObjWall, false, {{x0, z}, {x1, z}}, doc.first);
    w->width = 2;
    for (Poinz* p = w->firstPoint; p; p = p->next) {
      WallHeightOf(p) = 30;
      p->color[0] = p->color[1] = RGBColor{65535, 0, 0};
    }
    UpdateObjectBounds(w);
    Update3DWall(w);
    ReRenderObject(w);
    return w;
  }

  void frame() {
    RTSetViewpoint(ds());
    RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
    RTFinalizeGLScene();
  }

  // The walls' red (the background is light).
  static bool Red(const Pixel& p) { return p.r > 100 && p.g < 60 && p.b < 60; }

  static int64_t Compiled() { return render3d::ObjectListCompilations(); }
  // The stretches walls in scene order make; one when none but the last ends one.
  static int64_t Stretches(const std::vector<Objex*>& walls) {
    int64_t n = 1;
    for (size_t i = 0; i + 1 < walls.size(); ++i) n += render3d::walk::EndsStretch(walls[i], render3d::kRealTimeStretch);
    return n;
  }
  static int64_t Walks() { return render3d::WholeSceneWalks(); }

  void paint(Objex* w, RGBColor c) {
    for (Poinz* p = w->firstPoint; p; p = p->next) p->color[0] = p->color[1] = c;
  }

  // The kept frame along the wall's height.
  static std::vector<Pixel> row() {
    std::vector<Pixel> pixels;
    for (int x = 0; x < 64; x += 2) pixels.push_back(kept(x, 40));
    return pixels;
  }
};

TEST_F(ObjectLists, AnEditCompilesOnlyTheEditedObjectsStretch) {
  Objex* left = wall(-30, -10, 0);
  Objex* middle = wall(-5, 5, 0);
  Objex* right = wall(10, 30, 0);
  RTInitializeGLScene();
  int64_t before = Compiled();
  frame();
  EXPECT_EQ(Compiled() - before, Stretches({left, middle, right}));  // one list per stretch
  EXPECT_TRUE(Red(kept(60, 40))) << kept(60, 40);

  // Frames, a new interaction and a reset scene list compile no object list.
  before = Compiled();
  frame();
  RTInitializeGLScene();
  frame();
  ResetSceneDisplayList();
  frame();
  EXPECT_EQ(Compiled(), before);

  // A colour changed in the plan without a rebuild still reaches the next compiled scene: the
  // wall's list alone is compiled again.
  for (Poinz* p = right->firstPoint; p; p = p->next) p->color[0] = p->color[1] = RGBColor{0, 0, 65535};
  ResetSceneDisplayList();
  before = Compiled();
  frame();
  EXPECT_EQ(Compiled() - before, 1);
  EXPECT_GT(kept(45, 40).b, 100) << kept(45, 40);
  EXPECT_LT(kept(45, 40).r, 60) << kept(45, 40);
  for (Poinz* p = right->firstPoint; p; p = p->next) p->color[0] = p->color[1] = RGBColor{65535, 0, 0};

  // The right wall shortened from its far end: its list alone is compiled again, and the frame
  // shows it shortened.
  right->firstPoint->next->position[0] = 20;
  UpdateObjectBounds(right);
  Update3DWall(right);
  ReRenderObject(right);
  before = Compiled();
  frame();
  EXPECT_EQ(Compiled() - before, 1);
  EXPECT_TRUE(Red(kept(45, 40))) << kept(45, 40);    // x = 13: still wall
  EXPECT_FALSE(Red(kept(58, 40))) << kept(58, 40);   // x = 26: now beyond its end

  // Deleting the middle wall compiles its stretch without it; the gap shows.
  EXPECT_TRUE(Red(kept(32, 40))) << kept(32, 40);
  DeleteRendererObject(middle);
  before = Compiled();
  frame();
  if (Stretches({left, middle, right}) == 1) EXPECT_EQ(Compiled() - before, 1);
  EXPECT_FALSE(Red(kept(32, 40))) << kept(32, 40);
}

TEST_F(ObjectLists, ChangedSettingsCompileEveryListAgain) {
  const int64_t stretches = Stretches({wall(-30, -10, 0), wall(10, 30, 0)});
  RTInitializeGLScene();
  frame();
  struct Change {
    const char* what;
    void (*apply)(DocState*);
  };
  const Change changes[] = {
      {"navigation speed", [](DocState* d) { d->navigationStep = 10; }},
      {"exclusions", [](DocState* d) { d->renderExclusions() = kLVOffRoofs; }},
      {"brightness", [](DocState* d) { d->lightBrightness() += 0.25f; }},
      {"texture names", [](DocState*) { SetGLTextureNameForID(4242, 0); }},
      {"textured wireframe", [](DocState*) { gTexturedWire = !gTexturedWire; }},
      {"shading switched", [](DocState*) { gLiveViewOptions ^= kLiveViewShading; }},
      {"ClearView opacity", [](DocState* d) { d->viewSetting3 = (d->viewSetting3 + 7) & 0xFF; }},
      {"light across", [](DocState*) { gDirectionCosX = 0.5f; }},
      {"light up", [](DocState*) { gDirectionCosY = -0.2f; }},
      {"light facing", [](DocState*) { gDirectionCosZ = 0.7f; }},
      {"the second floor renamed", [](DocState*) {
         if (Layer* l = GetLayerFromName("Second Floor")) std::snprintf(l->name, sizeof l->name, "Loft");
       }},
      {"render mode", [](DocState* d) { d->renderMode() = kRenderClearViewFill; }},
  };
  const float light[3] = {gDirectionCosX, gDirectionCosY, gDirectionCosZ};
  const uint8_t texturedWire = gTexturedWire;
  for (const Change& c : changes) {
    c.apply(ds());
    RTInitializeGLScene();
    const int64_t before = Compiled();
    frame();
    EXPECT_EQ(Compiled() - before, stretches) << c.what;
    // Unchanged since: nothing compiled.
    RTInitializeGLScene();
    frame();
    EXPECT_EQ(Compiled() - before, stretches) << c.what;
  }
  gDirectionCosX = light[0], gDirectionCosY = light[1], gDirectionCosZ = light[2];
  gTexturedWire = texturedWire;
}

TEST_F(ObjectLists, PhotosAndPlantsAreDrawnEveryFrameInStepWithTheScene) {
  Objex* walls = planObject();
  addSquare(-30, -10, -20, 10, 0, {65535, 0, 0}, walls)->partType = kObjWallFace;
  Objex* photoOwner = planObject(kObjPhotoView);
  PlaneObject* photo = addSquare(-5, -5, 5, 5, 1, {0, 65535, 0}, photoOwner);
  photo->renderKind = 131;
  Objex* secondPhotoOwner = planObject(kObjPhotoView);
  addSquare(10, -5, 20, 5, 1, {0, 65535, 0}, secondPhotoOwner)->renderKind = 131;
  RTInitializeGLScene();
  struct Step {
    const char* what;
    void (*change)(Objex* owner);
    size_t photosDrawn;
  };
  const Step steps[] = {
      {"compiling frame", nullptr, 2},
      {"replayed frame", nullptr, 2},
      {"one photo deleted", [](Objex* owner) { DeleteRendererObject(owner); }, 1},
      {"replayed after the deletion", nullptr, 1},
      {"scene list reset", [](Objex*) { ResetSceneDisplayList(); }, 1},
  };
  for (const Step& step : steps) {
    if (step.change) step.change(photoOwner);
    ServiceCallRecorder calls;
    frame();
    EXPECT_EQ(calls.count("RTRenderGLPhotoObject"), step.photosDrawn) << step.what;
  }
}

// An edit replaces the runs of the objects it rebuilt or deleted, without walking the scene,
// and draws what a whole walk of the list draws: the same objects, in the list's order (a
// rebuilt object goes last, so that of two coplanar walls the other now shows).
TEST_F(ObjectLists, AnEditDrawsWhatAWholeWalkDraws) {
  Objex* first = wall(-20, 10, 0);  // red
  Objex* second = wall(-10, 20, 0);
  paint(second, {0, 0, 65535});
  ReRenderObject(second);
  Objex* far = wall(-30, -22, 0);
  RTInitializeGLScene();
  frame();
  const Pixel red = kept(32, 40);
  ASSERT_TRUE(Red(red)) << red;  // the first of the coplanar walls

  struct Step {
    const char* what;
    void (*edit)(Objex* first, Objex* second, Objex* far);
    int64_t compiled;
    bool overlapRed;
  };
  const Step steps[] = {
      {"first rebuilt", [](Objex* f, Objex*, Objex*) { ReRenderObject(f); }, 1, false},
      {"second deleted", [](Objex*, Objex* s, Objex*) { DeleteRendererObject(s); }, 1, true},
      {"second back", [](Objex*, Objex* s, Objex*) { ReRenderObject(s); }, 1, true},
      {"both rebuilt, second first", [](Objex* f, Objex* s, Objex*) { ReRenderObject(s); ReRenderObject(f); }, 1, false},
      {"far moved, rebuilt twice", [](Objex*, Objex*, Objex* w) {
         w->firstPoint->position[0] = -28;
         UpdateObjectBounds(w);
         Update3DWall(w);
         ReRenderObject(w);
         ReRenderObject(w);
       }, 1, false},
      {"far deleted, first rebuilt", [](Objex* f, Objex*, Objex* w) { DeleteRendererObject(w); ReRenderObject(f); }, 1,
       false},
  };
  for (const Step& step : steps) {
    step.edit(first, second, far);
    const int64_t walks = Walks(), compiled = Compiled();
    frame();
    EXPECT_EQ(Walks(), walks) << step.what;
    // All three walls in one stretch (unless their addresses end one): one list per edit.
    if (!render3d::walk::EndsStretch(first, render3d::kRealTimeStretch) &&
        !render3d::walk::EndsStretch(second, render3d::kRealTimeStretch) &&
        !render3d::walk::EndsStretch(far, render3d::kRealTimeStretch))
      EXPECT_EQ(Compiled() - compiled, step.compiled) << step.what;
    EXPECT_EQ(Red(kept(32, 40)), step.overlapRed) << step.what << " " << kept(32, 40);
    const std::vector<Pixel> edited = row();
    // A reset from outside the edit road walks the whole list; the picture is the same.
    ResetSceneDisplayList();
    frame();
    EXPECT_EQ(Walks(), walks + 1) << step.what;
    EXPECT_EQ(row(), edited) << step.what;
  }
}

// A plan colour a wall's faces link to, changed without rebuilding the wall and reported as
// such, shows in the frame after an edit of another object only: the two walls' lists are
// compiled again, no other.
TEST_F(ObjectLists, AColourChangedInPlaceShowsAfterAnotherObjectsEdit) {
  Objex* painted = wall(-30, -10, 0);
  Objex* other = wall(10, 30, 0);
  RTInitializeGLScene();
  frame();
  ASSERT_TRUE(Red(kept(12, 40)));

  struct Step {
    const char* what;
    RGBColor colour;
    void (*edit)(Objex* other);
  };
  const Step steps[] = {
      {"other rebuilt", {0, 0, 65535}, [](Objex* o) { ReRenderObject(o); }},
      {"other rebuilt twice", {0, 65535, 0}, [](Objex* o) { ReRenderObject(o), ReRenderObject(o); }},
      {"other deleted", {65535, 0, 0}, [](Objex* o) { DeleteRendererObject(o); }},
      {"other back", {0, 0, 65535}, [](Objex* o) { ReRenderObject(o); }},
  };
  auto is = [](const FedVertex& v, RGBColor c) {
    return std::fabs(v.r - c.red / 65535.0f) < 0.02f && std::fabs(v.g - c.green / 65535.0f) < 0.02f &&
           std::fabs(v.b - c.blue / 65535.0f) < 0.02f;
  };
  RGBColor before{65535, 0, 0};
  for (const Step& step : steps) {
    paint(painted, step.colour);
    render3d::NoteColoursChangedInPlace();
    step.edit(other);
    const int64_t compiled = Compiled();
    frame();
    EXPECT_LE(Compiled() - compiled, 2) << step.what;
    // The scene list sends the painted wall's faces in the new colour, none in the old, and
    // the new colour covers the wall's whole width.
    RTSetViewpoint(ds());
    const std::vector<FedVertex> sent = Vertices(Feedback([] { RealTimeRenderGLPlaneObjects(gGLPlaneObjects); }));
    float left = 1e9f, right = -1e9f, newLeft = 1e9f, newRight = -1e9f;
    int inNew = 0, inOld = 0;
    for (const FedVertex& v : sent) {
      if (v.x > 32) continue;  // the other wall
      left = std::min(left, v.x), right = std::max(right, v.x);
      if (is(v, step.colour)) ++inNew, newLeft = std::min(newLeft, v.x), newRight = std::max(newRight, v.x);
      if (is(v, before)) ++inOld;
    }
    EXPECT_GT(inNew, 0) << step.what;
    EXPECT_EQ(inOld, 0) << step.what;
    EXPECT_FLOAT_EQ(newLeft, left) << step.what;
    EXPECT_FLOAT_EQ(newRight, right) << step.what;
    const Pixel p = kept(12, 40);
    EXPECT_EQ(p.b > 100, step.colour.blue > 0) << step.what << " " << p;
    EXPECT_EQ(p.g > 100, step.colour.green > 0) << step.what << " " << p;
    before = step.colour;
  }
}

// Many edits leave many runs taken out: they are squeezed out on the way, and the picture stays
// the one a whole walk draws.
TEST_F(ObjectLists, ManyEditsKeepThePictureOfAWholeWalk) {
  std::vector<Objex*> walls;
  for (int i = 0; i < 80; ++i) {
    const float x = -32 + static_cast<float>(i % 64);
    walls.push_back(wall(x, x + 0.5f, static_cast<float>(i / 64)));
    if (i % 3 == 0) paint(walls.back(), {0, 0, 65535}), ReRenderObject(walls.back());
  }
  RTInitializeGLScene();
  frame();
  const int64_t walks = Walks();
  for (int round = 0; round < 3; ++round) {
    for (size_t i = static_cast<size_t>(round); i < walls.size(); i += 2) {
      walls[i]->firstPoint->next->position[0] += round == 1 ? -0.25f : 0.25f;
      UpdateObjectBounds(walls[i]);
      Update3DWall(walls[i]);
      ReRenderObject(walls[i]);
    }
    frame();
  }
  EXPECT_EQ(Walks(), walks);
  const std::vector<Pixel> edited = row();
  ResetSceneDisplayList();
  frame();
  EXPECT_EQ(row(), edited);

  // Among many stretches, a rebuilt wall goes to the end of the scene: the stretch it left and
  // the last one are compiled; rebuilt again it stays in the last, compiled alone; a frame after
  // it compiles none.
  for (size_t i : {size_t{0}, size_t{41}, walls.size() - 1}) {
    ReRenderObject(walls[i]);
    int64_t compiled = Compiled();
    frame();
    EXPECT_LE(Compiled() - compiled, 2) << i;
    ReRenderObject(walls[i]);
    compiled = Compiled();
    frame();
    EXPECT_EQ(Compiled() - compiled, 1) << i;
    frame();
    EXPECT_EQ(Compiled() - compiled, 1) << i;
  }
}

// Whatever the journal cannot account for walks the whole list: a plane object linked in from
// outside, or an object's lists dropped while its plane objects stay.
TEST_F(ObjectLists, WhatTheJournalMissesIsStillDrawn) {
  Objex* left = wall(-30, -10, 0);
  Objex* right = wall(10, 30, 0);
  RTInitializeGLScene();
  frame();
  ASSERT_TRUE(Red(kept(20, 40)));
  ASSERT_FALSE(Red(kept(32, 40)));

  // Linked from outside, then an edit: the square shows.
  addSquare(-3, 0, 3, 20, 0, {65535, 0, 0});
  ReRenderObject(right);
  int64_t walks = Walks();
  frame();
  EXPECT_EQ(Walks(), walks + 1);
  EXPECT_TRUE(Red(kept(32, 40))) << kept(32, 40);

  // The left wall's lists dropped, its plane objects left in the scene: compiled again.
  frame();
  render3d::DropObjectLists(left);
  {
    render3d::EditedSceneScope edit;
    ResetSceneDisplayList();
  }
  walks = Walks();
  const int64_t compiled = Compiled();
  frame();
  EXPECT_EQ(Walks(), walks);
  EXPECT_EQ(Compiled() - compiled, 1);
  EXPECT_TRUE(Red(kept(20, 40))) << kept(20, 40);
}

// Floor parts share one list per stretch of consecutive objects on their floor: a frame calls
// far fewer lists, and a floor changed or taken out compiles its stretch alone, shown at once.
TEST_F(ObjectLists, FloorStretchesShowEveryChangeOfTheirFloors) {
  // Upright squares side by side, alternately on the first and second floor (the floor pass
  // draws each floor's in turn), each the floor part of a plan object of its own.
  std::vector<Objex*> owners[2];
  std::vector<PlaneObject*> squares;
  for (int k = 0; k < 24; ++k) {
    Objex* owner = doc.addObject(kObjFloor, true, {{0, 0}, {1, 0}}, k % 2 ? doc.second : doc.first);
    owners[k % 2].push_back(owner);
    const float x = -30 + 2.5f * static_cast<float>(k);
    PlaneObject* p = addSquare(x, 0, x + 2, 30, 0, {65535, 0, 0}, owner);
    p->partType = kObjWallFloorPass;
    squares.push_back(p);
  }
  // Hidden floors widen no bounds: the view frames the plan rectangle, one unit per pixel.
  doc.first->visible = doc.second->visible = 0;
  ds()->planBounds = {-32, -32, 32, 32};
  auto centre = [](int k) { return kept(32 - 30 + static_cast<int>(2.5f * static_cast<float>(k)) + 1, 40); };
  RTInitializeGLScene();
  int64_t before = Compiled();
  frame();
  EXPECT_EQ(Compiled() - before, Stretches(owners[0]) + Stretches(owners[1]));
  for (int k = 0; k < 24; ++k) EXPECT_TRUE(Red(centre(k))) << k << " " << centre(k);

  // Changed in place: the next compiled scene shows it, compiling its stretch alone.
  for (int k : {0, 7, 23}) {
    squares[k]->colorA = squares[k]->colorB = {0, 0, 65535};
    ResetSceneDisplayList();
    before = Compiled();
    frame();
    EXPECT_EQ(Compiled() - before, 1) << k;
    EXPECT_GT(centre(k).b, 100) << k << " " << centre(k);
    EXPECT_LT(centre(k).r, 60) << k << " " << centre(k);
    for (int other : {k - 1, k + 1}) {
      if (other >= 0 && other < 24 && other != 7 && other != 0) {
        EXPECT_TRUE(Red(centre(other))) << other;
      }
    }
  }

  // Taken out of the scene: a gap, its neighbours still drawn.
  PlaneObject* gone = squares[12];
  gone->prev->next = gone->next;
  gone->next->prev = gone->prev;
  gone->next = gone->prev = nullptr;
  DeletePlaneObject(gone);
  ResetSceneDisplayList();
  frame();
  EXPECT_FALSE(Red(centre(12))) << centre(12);
  EXPECT_TRUE(Red(centre(11)) && Red(centre(13)) && Red(centre(14)));
}

// The user's exclusions by part: each kind's own switch and not another's, the first and last
// part of each run, the electrical, plumbing and heating parts by type and by subtype at the ends
// of their ranges and one past them.
TEST(RenderExclusions, EachPartGoesWithItsOwnSwitch) {
  TestDocument doc;
  constexpr int32_t kAll = kLVOffDoors | kLVOffObjects | kLVOffRoofs | kLVOffElectrical | kLVOffPlumbing | kLVOffHVAC;
  const struct {
    const char* what;
    int16_t part, actualType;
    int32_t actualSubtype;
    int32_t off;  // the one switch that takes it out (0: none)
  } cases[] = {
      {"skylight face 1", 1, 160, 0, kLVOffRoofs},
      {"dormer face 6", 6, 166, 0, kLVOffRoofs},
      {"skylight outline", kObjSkylightOutline, 160, 0, kLVOffRoofs},
      {"separator of a wall", kObjSeparatorFace, kObjWall, 0, 0},
      {"part 7 of a skylight", 7, 160, 0, 0},
      {"roof", kObjRoof, kObjRoof, 0, kLVOffRoofs},
      {"roof plane", kObjRoofPlane, kObjRoof, 0, kLVOffRoofs},
      {"33", 33, kObjRoof, 0, kLVOffRoofs},
      {"34", 34, kObjRoof, 0, kLVOffRoofs},
      {"gable", kObjRoofGablePart, kObjRoof, 0, kLVOffRoofs},
      {"hip", kObjRoofHipPart, kObjRoof, 0, kLVOffRoofs},
      {"roof panel", kObjRoofPanel, kObjRoof, 0, kLVOffRoofs},
      {"roof panel face", kObjRoofPanelFace, kObjRoof, 0, kLVOffRoofs},
      {"wall floor pass", kObjWallFloorPass, kObjWall, 0, 0},
      {"symbol part", kObjSymbolPart3D, kObjSymbolPart3D, 0, kLVOffObjects},
      {"cabinet", kObjCabinet, kObjCabinet, 0, kLVOffObjects},
      {"door face", kObjFace, kObjDoor, 0, kLVOffDoors},
      {"door leaf", kObjDoorLeafFace, kObjDoor, 0, kLVOffDoors},
      {"skylight pane", kObjFace, 160, 0, kLVOffRoofs},
      {"switch by type 68", kObjAttachedSymbolPart, 68, 0, kLVOffElectrical},
      {"type 70", kObjAttachedSymbolPart, 70, 0, 0},
      {"type 79", kObjAttachedSymbolPart, 79, 0, kLVOffElectrical},
      {"type 82", kObjAttachedSymbolPart, 82, 0, kLVOffElectrical},
      {"type 83", kObjAttachedSymbolPart, 83, 0, 0},
      {"type 88", kObjAttachedSymbolPart, 88, 0, kLVOffElectrical},
      {"type 146", kObjAttachedSymbolPart, 146, 0, kLVOffElectrical},
      {"type 152", kObjAttachedSymbolPart, 152, 0, kLVOffElectrical},
      {"type 153", kObjAttachedSymbolPart, 153, 0, 0},
      {"subtype 55", kObjAttachedSymbolPart, kObjComponent, 55, kLVOffElectrical},
      {"subtype 64", kObjAttachedSymbolPart, kObjComponent, 64, 0},
      {"subtype 65", kObjAttachedSymbolPart, kObjComponent, 65, kLVOffElectrical},
      {"subtype 67", kObjAttachedSymbolPart, kObjComponent, 67, kLVOffElectrical},
      {"subtype 73", kObjAttachedSymbolPart, kObjComponent, 73, kLVOffElectrical},
      {"subtype 78", kObjAttachedSymbolPart, kObjComponent, 78, kLVOffElectrical},
      {"subtype 79", kObjAttachedSymbolPart, kObjComponent, 79, 0},
      {"subtype 83", kObjAttachedSymbolPart, kObjComponent, 83, kLVOffElectrical},
      {"subtype 87", kObjAttachedSymbolPart, kObjComponent, 87, kLVOffElectrical},
      {"plumbing type 98", kObjAttachedSymbolPart, 98, 0, kLVOffPlumbing},
      {"plumbing type 110", kObjAttachedSymbolPart, 110, 0, kLVOffPlumbing},
      {"subtype 89", kObjAttachedSymbolPart, kObjComponent, 89, 0},
      {"subtype 90", kObjAttachedSymbolPart, kObjComponent, 90, kLVOffPlumbing},
      {"subtype 97", kObjAttachedSymbolPart, kObjComponent, 97, kLVOffPlumbing},
      {"subtype 98", kObjAttachedSymbolPart, kObjComponent, 98, 0},
      {"subtype 99", kObjAttachedSymbolPart, kObjComponent, 99, kLVOffPlumbing},
      {"subtype 109", kObjAttachedSymbolPart, kObjComponent, 109, kLVOffPlumbing},
      {"heating type 116", kObjAttachedSymbolPart, 116, 0, 0},
      {"heating type 117", kObjAttachedSymbolPart, 117, 0, kLVOffHVAC},
      {"heating type 123", kObjAttachedSymbolPart, 123, 0, kLVOffHVAC},
      {"heating type 124", kObjAttachedSymbolPart, 124, 0, 0},
      {"subtype 124", kObjAttachedSymbolPart, kObjComponent, 124, kLVOffHVAC},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Objex* actual = doc.addObject(c.actualType, true, {{0, 0}, {1, 0}}, doc.first);
    actual->subtype = c.actualSubtype;
    PlaneObject* po = CreatePlaneObject();
    po->partType = c.part;
    po->base2DObject = po->actual3DObject = actual;
    po->actual3DType = c.actualType;
    for (const int32_t bit : {kLVOffDoors, kLVOffObjects, kLVOffRoofs, kLVOffElectrical, kLVOffPlumbing, kLVOffHVAC})
      EXPECT_EQ(render3d::walk::Excluded(po, bit), bit == c.off) << "switch " << bit;
    EXPECT_EQ(render3d::walk::Excluded(po, kAll), c.off != 0);
    EXPECT_EQ(render3d::walk::Excluded(po, kAll & ~c.off), false);
    DeletePlaneObject(po);
  }

  // A wall face and a landing go with the objects only inside an object group; a skirting only
  // under a cabinet.
  Objex* group = doc.addObject(kObjGroup, true, {{0, 0}}, doc.first);
  const RGBColor black{};
  Objex* wall = CreateObject(kObjWall, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
  AppendChildToObject(wall, group);
  Objex* cabinet = doc.addObject(kObjCabinet, true, {{0, 0}, {1, 0}}, doc.first);
  const struct {
    const char* what;
    int16_t part;
    Objex* base;
    int32_t groupSubtype;
    bool objectsOff;
  } parts[] = {
      {"wall face in an object group", kObjWallFace, wall, 111, true},
      {"landing in an object group", kObjStairLandingPart, wall, 111, true},
      {"wall face in another group", kObjWallFace, wall, 112, false},
      {"skirting of a cabinet", kObjSkirting, cabinet, 111, true},
      {"skirting of a wall", kObjSkirting, wall, 111, false},
  };
  for (const auto& p : parts) {
    SCOPED_TRACE(p.what);
    group->subtype = p.groupSubtype;
    PlaneObject* po = CreatePlaneObject();
    po->partType = p.part;
    po->base2DObject = po->actual3DObject = p.base;
    po->actual3DType = p.base->type;
    EXPECT_EQ(render3d::walk::Excluded(po, kLVOffObjects), p.objectsOff);
    EXPECT_FALSE(render3d::walk::Excluded(po, kAll & ~kLVOffObjects));
    DeletePlaneObject(po);
  }
}

// Which parts the floor pass of each floor takes: each kind of part on each of the three floors
// and on a layer that is none of them (floors of subtype 170 and 177 stay with the opaque
// objects), and which hole face is drawn by where the eye stands against the hole.
TEST(FloorPass, EachPartOnEachFloorAndTheHoleFaceByTheEye) {
  TestDocument doc;
  Layer* site = CreateLayer("Site", 1, 1, nullptr);
  AppendLayerToDocument(site);
  const std::array<Layer*, 3> floors = render3d::walk::Floors();
  ASSERT_EQ(floors[0], doc.first);
  ASSERT_EQ(floors[1], doc.second);
  ASSERT_EQ(floors[2], doc.third);
  // A floor of subtype 170 or 177 goes with the opaque objects; its other parts reach the floor
  // pass, which draws none of them.
  enum Kind { kNone, kFloor, kSubtypeFloor, kSubtypePart, kFace, kHole };
  const struct {
    int16_t part;
    int32_t subtype;
    Kind kind;
  } parts[] = {{kObjFloor, 0, kFloor},          {kObjFloor, 170, kSubtypeFloor}, {kObjFloor, 177, kSubtypeFloor},
               {kObjFloor, 176, kFloor},        {kObjWallFloorPass, 0, kFloor},  {kObjWallCeilingPass, 0, kFloor},
               {kObjFloorSecondPass, 0, kFloor}, {kObjDeck, 0, kFloor},         {kObjDeck, 177, kSubtypePart},
               {kObjWall, 0, kNone},            {50, 0, kNone},                  {173, 0, kFace},
               {kObjCutout, 0, kHole},          {127, 0, kHole},                 {171, 0, kHole}};
  for (const auto& p : parts)
    for (Layer* layer : {doc.first, doc.second, doc.third, site}) {
      SCOPED_TRACE(testing::Message() << "part " << p.part << " subtype " << p.subtype << " on " << layer->name);
      Objex* base = doc.addObject(kObjFloor, true, {{0, 0}, {1, 0}}, layer);
      base->subtype = p.subtype;
      PlaneObject* po = CreatePlaneObject();
      po->partType = p.part;
      po->base2DObject = po->actual3DObject = base;
      const bool onAFloor = layer != site;
      EXPECT_EQ(render3d::walk::LeftToFloorPass(po, floors),
                p.kind == kHole || ((p.kind == kFloor || p.kind == kSubtypePart || p.kind == kFace) && onAFloor));
      for (Layer* floor : floors) {
        EXPECT_EQ(render3d::walk::FloorOnFloor(po, floor), p.kind == kFloor && floor == layer) << floor->name;
        EXPECT_EQ(render3d::walk::HoleOnFloor(po, floor), p.kind == kHole && floor == layer) << floor->name;
      }
      DeletePlaneObject(po);
    }

  // A hole 96 up: from above its cut-out face is drawn, from its own height or below the first
  // pass's; flying, the cut-out face only; a collected floor always.
  const struct {
    int16_t navigation;
    float eye;
    bool cutout, firstPass;
  } eyes[] = {{kNavWalkThrough, 96.5f, true, false},
              {kNavWalkThrough, 96, false, true},
              {kNavWalkThrough, 20, false, true},
              {kNavFlyAround, 20, true, false}};
  for (const auto& e : eyes) {
    SCOPED_TRACE(testing::Message() << "eye " << e.eye << " navigation " << e.navigation);
    doc.ds()->navigationMode = e.navigation;
    doc.ds()->walkEyeHeight() = e.eye;
    for (const int16_t part : {int16_t{kObjCutout}, int16_t{127}, int16_t{171}}) {
      PlaneObject* po = CreatePlaneObject();
      po->partType = part;
      auto* v = static_cast<PlaneVertex*>(calloc(3, sizeof(PlaneVertex)));
      v[0] = {0, -96, 0, 0, 0, 0}, v[1] = {10, -96, 0, 0, 0, 0}, v[2] = {10, -96, 10, 0, 0, 0};
      AppendPlane(v, 3, 0, 1, 0, po);
      EXPECT_EQ(render3d::walk::HoleFaceDrawn(po, doc.ds()),
                part == 171 || (part == kObjCutout ? e.cutout : e.firstPass))
          << "part " << part;
      DeletePlaneObject(po);
    }
  }
}

}  // namespace
