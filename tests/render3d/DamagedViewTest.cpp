// Real-time frames after edits redraw only the rectangle the edits changed: the picture is the
// one a whole frame draws from scratch, pixel for pixel; a changed view, changed settings or a
// final frame in between draw the whole frame.
#include <GL/gl.h>

#include <functional>
#include <vector>

#include "building3d/Walls3D.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/WallFields.h"
#include "render3d/Cutaway.h"
#include "render3d/DamagedView.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/SurfacePick.h"
#include "render3d/RenderTestSupport.h"

namespace {

const RGBColor kRed{65535, 0, 0}, kBlue{0, 0, 65535}, kGreen{0, 65535, 0}, kGrey{30000, 30000, 30000};

class DamagedView : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    sWidth = 128, sHeight = 96;
    ds()->planBounds = {-64, -48, 64, 48};
    ds()->renderExclusions() = 0;
    glDepthFunc(GL_LESS);
  }

 public:
  DocState* state() { return ds(); }

  // A wall along x at depth z, `height` high, of one colour.
  Objex* wall(float x0, float x1, float z, RGBColor color, float height = 30) {
    Objex* w = doc.addObject(kObjWall, false, {{x0, z}, {x1, z}}, doc.first);
    w->width = 2;
    for (Poinz* p = w->firstPoint; p; p = p->next) {
      WallHeightOf(p) = height;
      p->color[0] = p->color[1] = color;
    }
    rebuild(w);
    return w;
  }

  static void rebuild(Objex* w) {
    UpdateObjectBounds(w);
    Update3DWall(w);
    ReRenderObject(w);
  }

  static void shift(Objex* w, float dx, float dz = 0) {
    for (Poinz* p = w->firstPoint; p; p = p->next) p->position[0] += dx, p->position[2] += dz;
    rebuild(w);
  }

  // A green face from x0 to x1 at z = 0 with a square cut-out standing in front of it (in none of
  // its planes: drawn through the stencil, not carved).
  void stencilledFace(float x0, float x1) {
    PlaneObject* face = addSquare(x0, 0, x1, 25, 0, kGreen);
    const float m = (x0 + x1) / 2;
    face->children = addPolygon({{m - 5, 5, 2}, {m + 5, 5, 2}, {m + 5, 15, 2}, {m - 5, 15, 2}}, kGreen, nullptr, false);
  }

 protected:
  // Walking 120 in front of the walls at z = 0, looking at them, or the front elevation.
  void walkInFront(bool walking) {
    ds()->orthoView() = walking ? 0 : 1;
    ds()->navigationMode = kNavWalkThrough;
    ds()->walkEyePoint() = {0, 120};
    ds()->walkEyeHeight() = 15;
    ds()->walkViewAngle() = 0;
    ds()->walkPitchAngle() = 0;
    ds()->navigationStep = 9;
  }

  void frame() {
    RTSetViewpoint(ds());
    RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
    RTFinalizeGLScene();
  }

  static std::vector<uint8_t> image() {
    int32_t w, h;
    return KeptFrame(&w, &h);
  }

  // The whole frame drawn from scratch: every list compiled again.
  std::vector<uint8_t> wholeFrame() {
    RTInitializeGLScene();
    frame();
    EXPECT_FALSE(render3d::LastFrameReport().damaged);
    return image();
  }

  // Pixels where two images differ.
  static int Differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (size_t i = 0; i < a.size(); i += 4)
      n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return n;
  }
};


// Each edit after a first frame: the next frame redraws a part of the view only, and shows what
// a whole frame from scratch shows.
TEST_F(DamagedView, APartialFrameEqualsAWholeOne) {
  struct Case {
    const char* what;
    bool clearView;
    bool walking;  // a perspective view from in front of the walls, else the front elevation
    std::function<std::function<void()>(DamagedView&)> build;  // the scene; returns the edit
  };
  const Case cases[] = {
      {"a wall moved", false, false,
       [](DamagedView& t) {
         t.wall(-60, -40, 0, kGrey);
         Objex* w = t.wall(-10, 10, 0, kRed);
         t.wall(40, 60, 0, kBlue);
         return [w] { shift(w, 3); };
       }},
      {"a wall moved off the one behind it", false, false,
       [](DamagedView& t) {
         t.wall(-20, 20, 10, kBlue);
         Objex* front = t.wall(-10, 10, -10, kRed, 20);
         t.wall(40, 60, 0, kGrey);
         return [front] { shift(front, -30); };
       }},
      {"a wall behind a see-through one", true, false,
       [](DamagedView& t) {
         t.wall(-20, 20, -10, kGreen);
         Objex* behind = t.wall(-10, 10, 10, kRed, 20);
         t.wall(40, 60, 0, kBlue);
         return [behind] { shift(behind, 6); };
       }},
      {"a wall reaching beyond the view", false, true,
       [](DamagedView& t) {
         Objex* w = t.wall(30, 90, 0, kRed);
         t.wall(-60, -30, 0, kBlue);
         return [w] { shift(w, -4); };
       }},
      {"two walls apart, one frame", false, false,
       [](DamagedView& t) {
         Objex* a = t.wall(-60, -50, 0, kRed);
         t.wall(-10, 10, 0, kGrey);
         Objex* b = t.wall(50, 60, 0, kBlue, 10);
         return [a, b] {
           shift(a, 2);
           shift(b, -3);
         };
       }},
      {"a wall moved beside a face drawn through the stencil", false, false,
       [](DamagedView& t) {
         t.stencilledFace(-60, -30);
         Objex* w = t.wall(30, 50, 0, kRed);
         return [w] { shift(w, 4); };
       }},
      {"a wall moved across a face drawn through the stencil", false, false,
       [](DamagedView& t) {
         t.stencilledFace(-20, 20);
         Objex* w = t.wall(-40, -15, -5, kRed, 20);
         t.wall(40, 60, 0, kBlue);
         return [w] { shift(w, 20); };
       }},
      {"a wall moved, the cut-away on", false, false,
       [](DamagedView& t) {
         t.state()->cutAwayDirection() = kCutAwayNorth;
         t.state()->cutAwayPosition() = 95;  // the nearer of the walls cut away
         t.wall(-60, -40, 20, kGrey);
         t.wall(-60, -40, -20, kBlue);
         Objex* w = t.wall(-10, 10, 20, kRed);
         t.wall(40, 60, -20, kGreen);
         return [w] { shift(w, 3); };
       }},
      {"a wall deleted", false, false,
       [](DamagedView& t) {
         t.wall(-60, -40, 0, kGrey);
         Objex* w = t.wall(-10, 10, 0, kRed);
         return [w] { DeleteRendererObject(w); };
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteAllRendererObjects();
    ds()->renderMode() = c.clearView ? kRenderClearView : kRenderSolid;
    ds()->transparency() = c.clearView ? 1 : 0;
    ds()->clearViewOpacity() = 128;
    ds()->clearViewLineColor() = {65535, 65535, 65535};
    ds()->clearViewFillColor() = {0, 0, 0};
    ds()->cutAwayPosition() = 0;
    walkInFront(c.walking);
    const std::function<void()> edit = c.build(*this);
    RTInitializeGLScene();
    frame();
    const std::vector<uint8_t> before = image();
    frame();  // nothing edited: a whole frame, the same picture
    EXPECT_FALSE(render3d::LastFrameReport().damaged);
    EXPECT_EQ(Differences(image(), before), 0);

    edit();
    const int64_t damagedBefore = render3d::DamagedFrames();
    frame();
    const render3d::DamagedFrameReport report = render3d::LastFrameReport();
    EXPECT_TRUE(report.damaged);
    EXPECT_EQ(render3d::DamagedFrames(), damagedBefore + 1);
    EXPECT_LT(report.width * report.height, sWidth * sHeight);
    const std::vector<uint8_t> partial = image();
    EXPECT_GT(Differences(partial, before), 0);  // the edit shows
    EXPECT_LE(report.listsCalled, report.listsPlanned);
    EXPECT_EQ(Differences(partial, wholeFrame()), 0);
  }
  ds()->transparency() = 0;
  ds()->cutAwayPosition() = 0;
}

// After an edit, a change of the view or of what the lists were drawn under, or a final frame,
// draws the whole frame; so does a frame of a new interaction.
TEST_F(DamagedView, OtherChangesDrawTheWholeFrame) {
  struct Case {
    const char* what;
    void (*change)(DocState*);
  };
  const Case cases[] = {
      {"camera moved", [](DocState* d) { d->walkEyePoint().floatH += 5; }},
      {"camera turned", [](DocState* d) { d->walkViewAngle() += 10; }},
      {"navigation speed", [](DocState* d) { d->navigationStep = d->navigationStep == 10 ? 9 : 10; }},
      {"exclusions", [](DocState* d) { d->renderExclusions() = kLVOffRoofs; }},
      {"cut-away", [](DocState* d) { d->cutAwayPosition() = 1; }},
      {"view lists reset", [](DocState*) { ResetViewpointDisplayList(); }},
      {"final frame", [](DocState*) { RenderGLScene(); }},
      {"surface picked", [](DocState*) { PickSurfaceAt(POINT{64, 48}); }},
      {"new interaction", [](DocState*) { RTInitializeGLScene(); }},
      {"nothing else", [](DocState*) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteAllRendererObjects();
    walkInFront(true);
    ds()->renderExclusions() = 0;
    ds()->cutAwayPosition() = 0;
    wall(-40, -20, 0, kBlue);
    Objex* w = wall(-5, 5, 0, kRed);
    RTInitializeGLScene();
    frame();
    const std::vector<uint8_t> before = image();
    shift(w, 2);
    c.change(ds());
    frame();
    const bool nothingElse = c.change == cases[std::size(cases) - 1].change;
    EXPECT_EQ(render3d::LastFrameReport().damaged, nothingElse);
    const std::vector<uint8_t> after = image();
    EXPECT_GT(Differences(after, before), 0);
    EXPECT_EQ(Differences(after, wholeFrame()), 0);
  }
}

// Frames after a partial one start from its image: a second edit and the frame after it are
// right too, and so is an edit that leaves nothing to redraw but the lists' order. (Walking: the
// front elevation is fitted to the scene when the scene is set up, which wholeFrame() does again.)
TEST_F(DamagedView, PartialFramesFollowOneAnother) {
  walkInFront(true);
  Objex* a = wall(-40, -20, 0, kRed);
  Objex* b = wall(20, 40, 0, kBlue);
  RTInitializeGLScene();
  frame();
  for (int i = 0; i < 4; ++i) {
    shift(i % 2 ? b : a, i % 2 ? -3.0f : 3.0f);
    frame();
    EXPECT_TRUE(render3d::LastFrameReport().damaged) << i;
  }
  const std::vector<uint8_t> partial = image();
  ReRenderObject(a);  // rebuilt where it was
  frame();
  const std::vector<uint8_t> last = image();  // taken before wholeFrame() draws over it
  EXPECT_EQ(Differences(last, partial), 0);
  EXPECT_EQ(Differences(last, wholeFrame()), 0);
}

using DrawnBoxes = RenderTest;

// What a run of plane objects draws, in GL coordinates (the stored height negated): every
// vertex of each one's planes, cut-outs and trims, the first and the last of the run and
// nothing past it; a vertex that is no number makes it everywhere.
TEST_F(DrawnBoxes, EveryPlaneCutoutAndTrimOfTheRunAndNothingPastIt) {
  PlaneObject* a = addPolygon({{-5, 2, 3}, {4, 7, 3}, {4, 2, -6}}, {0, 0, 0});
  PlaneObject* b = addPolygon({{10, -3, 0}, {12, -1, 0}, {11, -2, 1}}, {0, 0, 0});
  addPolygon({{100, 100, 100}, {101, 100, 100}, {101, 101, 100}}, {0, 0, 0});  // past the run
  a->children = addPolygon({{-8, 2, 3}, {-7, 2, 3}, {-7, 3, 3}}, {0, 0, 0}, nullptr, false);
  b->attachments = addPolygon({{11, 20, 1}, {12, 20, 1}, {12, 21, 9}}, {0, 0, 0}, nullptr, false);
  const struct {
    int32_t count;
    float lo[3], hi[3];
  } cases[] = {{1, {-8, 2, -6}, {4, 7, 3}}, {2, {-8, -3, -6}, {12, 21, 9}}};
  for (const auto& c : cases) {
    const render3d::SceneBox box = render3d::DrawnBounds(a, c.count);
    EXPECT_FALSE(box.everywhere);
    for (int i = 0; i < 3; ++i) {
      EXPECT_FLOAT_EQ(box.lo[i], c.lo[i]) << c.count << " axis " << i;
      EXPECT_FLOAT_EQ(box.hi[i], c.hi[i]) << c.count << " axis " << i;
    }
  }
  EXPECT_TRUE(render3d::DrawnBounds(a, 0).empty());
  b->attachments->planes->vertices[2].z = std::nanf("");
  EXPECT_TRUE(render3d::DrawnBounds(a, 2).everywhere);
  EXPECT_FALSE(render3d::DrawnBounds(a, 1).everywhere);
}

}  // namespace

// A whole frame calls only the lists whose bounds reach the view, and shows what calling them
// all shows.
TEST_F(DamagedView, AWholeFrameLeavesOutListsOutsideTheView) {
  walkInFront(true);
  for (int i = 0; i < 8; ++i) stencilledFace(-400.0f + 100.0f * static_cast<float>(i), -350.0f + 100.0f * static_cast<float>(i));
  wall(-20, 20, -10, kRed);
  for (float step : {0.0f, 100.0f, -250.0f}) {
    SCOPED_TRACE(step);
    ds()->walkEyePoint().floatH += step;
    const std::vector<uint8_t> all = wholeFrame();  // compiling: every list called
    frame();
    const render3d::DamagedFrameReport report = render3d::LastFrameReport();
    EXPECT_FALSE(report.damaged);
    EXPECT_GT(report.listsPlanned, 8);
    EXPECT_LT(report.listsCalled, report.listsPlanned - 4);
    EXPECT_EQ(Differences(image(), all), 0);
  }
}
