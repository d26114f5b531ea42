// Roof panels in 3D: the slab on the sloped plane, its anchored corner, the thickness above,
// and the slope arrow kept (or made again) in step with the panel.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "building3d/RoofPanels3D.h"
#include "model/Delete.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"

namespace {

struct RoofPanels : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  RoofPanels() {
    doc.ds()->zoomFactor = 1;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  ~RoofPanels() override { EXPECT_MODEL_SOUND(); }
  Objex* panel(float pitch, float direction, int16_t anchor = 0) {
    Objex* p = doc.addObject(kObjRoofPanel, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    p->width = pitch;
    p->params[0] = direction;
    p->slopeAnchor() = anchor;
    p->textureID1 = 1255;
    p->color2 = RGBColor{57311, 52685, 46517};
    return p;
  }
  static Objex* Slab(const Objex* p) { return static_cast<Objex*>(p->typeData); }
  static std::vector<const Poinz*> Points(const Objex* o) {
    std::vector<const Poinz*> out;
    for (const Poinz* p = o->firstPoint; p; p = p->next) out.push_back(p);
    return out;
  }
  static int Arrows(const Objex* p) {
    int n = 0;
    for (const Objex* c = p->firstChild; c; c = c->next) n += c->type == kObjRoofSlopeArrow;
    return n;
  }
};

TEST_F(RoofPanels, SquareOfPitchTwelveFallingTowardZeroDegrees) {
  Objex* p = panel(12, 0);
  ServiceCallRecorder calls;
  Update3DRoofPanel(p);
  EXPECT_TRUE(calls.called("UpdateAllRoofAttachments", p->objectID));
  Objex* slab = Slab(p);
  ASSERT_NE(slab, nullptr);
  EXPECT_EQ(slab->type, kObjRoofPanelFace);
  EXPECT_EQ(slab->levels, 2);
  EXPECT_EQ(slab->capped, 1);
  EXPECT_EQ(slab->next, nullptr);
  auto pts = Points(slab);
  ASSERT_EQ(pts.size(), 8u);
  for (int i = 0; i < 4; ++i) {
    const float x = pts[i]->position[0];
    // The corners at x 100 sit at the base, those at x 0 100 higher (smaller y).
    EXPECT_NEAR(pts[i]->position[1], x > 50 ? 0 : -100, 0.01) << i;
    // The second ring 6 inches (12 units) above the first.
    EXPECT_NEAR(pts[i + 4]->position[1], pts[i]->position[1] - 12, 0.01) << i;
    EXPECT_EQ(pts[i]->textureID[0], 1255);
    EXPECT_EQ(pts[i]->color[1].red, 57311);
  }
  EXPECT_NEAR(slab->params[4], 100, 0.01);
  // The plane through u = (100, 0) dropped 100, the origin and v = (0, -100), as (x, z, y).
  EXPECT_NEAR(slab->params[0], -10000, 0.01);
  EXPECT_NEAR(slab->params[1], 0, 0.01);
  EXPECT_NEAR(slab->params[2], 10000, 0.01);
  EXPECT_NEAR(slab->params[3], 0, 0.01);
}

// The slab is 6 inches thick at every plan scale; the pitch is a ratio and the plan stays.
TEST_F(RoofPanels, SlabThicknessTakesThePlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    Objex* p = panel(12, 0);
    Update3DRoofPanel(p);
    auto pts = Points(Slab(p));
    ASSERT_EQ(pts.size(), 8u);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(pts[i]->position[1], pts[i]->position[0] > 50 ? 0 : -100, 0.01) << i;
      EXPECT_NEAR(pts[i + 4]->position[1], pts[i]->position[1] - 6 * 72 / scale, 0.01) << i;
    }
  }
}

// The slab is drawn in the document's current line style; its colours are the panel's.
TEST_F(RoofPanels, SlabTakesTheCurrentLineStyleAndThePanelsColours) {
  doc.ds()->newPenStyle = 3;
  doc.ds()->newLineWeight = 4;
  doc.ds()->newPenColor = RGBColor{1, 1, 1};
  Objex* p = panel(6, 90);
  p->penColor = RGBColor{100, 200, 300};
  p->fillColor = RGBColor{400, 500, 600};
  Update3DRoofPanel(p);
  const Objex* slab = Slab(p);
  ASSERT_NE(slab, nullptr);
  EXPECT_EQ(slab->penStyle, 3);
  EXPECT_FLOAT_EQ(slab->width, 4);
  EXPECT_EQ(slab->penColor.blue, 300);
  EXPECT_EQ(slab->fillColor.green, 500);
}

TEST_F(RoofPanels, AnchoredAtTheHighestCornerItFallsFromTheBase) {
  Objex* p = panel(12, 0, 1);
  Update3DRoofPanel(p);
  auto pts = Points(Slab(p));
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(pts[i]->position[1], pts[i]->position[0] > 50 ? 100 : 0, 0.01);
}

TEST_F(RoofPanels, ArrowFollowsTheDirectionAndIsKeptOrMadeAgain) {
  Objex* p = panel(10, 270);
  Update3DRoofPanel(p);
  ASSERT_EQ(Arrows(p), 1);
  Objex* arrow = p->firstChild;
  EXPECT_EQ(arrow->parent, p);
  EXPECT_FLOAT_EQ(arrow->width, 10);
  auto a = Points(arrow);
  ASSERT_EQ(a.size(), 2u);
  EXPECT_NEAR(a[0]->position[0], 50, 1e-3);
  EXPECT_NEAR(a[0]->position[2], 10, 1e-3);  // 270 degrees points down the screen (+z)
  EXPECT_NEAR(a[1]->position[2], 90, 1e-3);

  // An unchanged panel rebuilds an identical slab and keeps its one arrow.
  std::vector<float> before;
  for (const Poinz* q : Points(Slab(p))) before.push_back(q->position[1]);
  Update3DRoofPanel(p);
  std::vector<float> after;
  for (const Poinz* q : Points(Slab(p))) after.push_back(q->position[1]);
  EXPECT_EQ(before, after);
  EXPECT_EQ(Arrows(p), 1);
  EXPECT_EQ(p->firstChild, arrow);

  // A new direction turns the same arrow.
  p->params[0] = 0;
  Update3DRoofPanel(p);
  EXPECT_EQ(Arrows(p), 1);
  EXPECT_NEAR(Points(arrow)[1]->position[0], 90, 1e-3);

  // Without an arrow the next update makes one.
  UnlinkObject(arrow);
  DeleteObj(arrow);
  EXPECT_EQ(Arrows(p), 0);
  Update3DRoofPanel(p);
  EXPECT_EQ(Arrows(p), 1);
  EXPECT_TRUE(SlopeDirectionArrowExists(p));
  EXPECT_EQ(FindSlopeDirectionArrowObject(nullptr), nullptr);
}

TEST_F(RoofPanels, SlabOfFewerThanThreePointsPerRingKeepsItsHeights) {
  Objex* p = panel(12, 0);
  Objex* slab = doc.addObject(kObjRoofPanelFace, true, {{0, 0}, {100, 0}, {0, 0}, {100, 0}});
  SetRoofPanelSlope(p, slab);
  for (const Poinz* q : Points(slab)) EXPECT_FLOAT_EQ(q->position[1], 0);
  SetRoofPanelSlope(nullptr, slab);
  // A non-panel is not rebuilt.
  Update3DRoofPanel(slab);
  EXPECT_EQ(slab->typeData, nullptr);
}

}  // namespace
