// Skylights and dormer cut-outs on a pitch-6 gable roof: placing, refusing, turning, the
// re-fit after a roof change, and cut-outs entered corner by corner.
#include <cmath>
#include <cstddef>

#include "ScriptedModalEvents.h"
#include "SkylightBoundsCheck.h"
#include "ToolTestSupport.h"
#include "building3d/RoofPanels3D.h"
#include "building3d/Roofs3D.h"
#include "building3d/Skylights3D.h"
#include "model/Delete.h"
#include "model/Attachments.h"
#include "platform/Alerts.h"
#include "tools/SkylightTools.h"

namespace {

struct Skylights : ToolTest {
  Objex* roof = nullptr;
  void SetUp() override {
    ToolTest::SetUp();
    DocState* ds = doc.ds();
    ds->zoomFactor = 1;
    ds->snapToGrid = 0;
    ds->newRoofPitch() = 6;
    ds->skylightType() = kSkylightRectangular;
    ds->skylightWidth = 20;  // inches: 40 units
    ds->skylightHeight() = 20;
    ds->skylightTrimWidth() = 3;
    doc.first->height = 96;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gCurTool = kToolGableRoof;
    ds->roofStyle = 2;
    drag({{0, 0}, {240, 120}});
    roof = doc.first->firstObject;
    ASSERT_NE(roof, nullptr);
  }
  Objex* place(float x, float z) {
    gCurTool = kToolSkylight;
    return TrackSkylight(x, 0, z, kTrackEnd);
  }
  Objex* plane(int32_t id) {
    for (Objex* p = static_cast<Objex*>(roof->typeData); p; p = p->next)
      if (p->type == kObjRoofPlane && p->subtype == id) return p;
    return nullptr;
  }
  int children(int16_t type) {
    int n = 0;
    for (Objex* c = roof->firstChild; c; c = c->next) n += c->type == type;
    return n;
  }
  static RoofAttachmentData* Rec(Objex* o) { return static_cast<RoofAttachmentData*>(o->typeData); }
};

TEST_F(Skylights, SkylightLiesOnTheSlopeUnderItWithItsRecordAndFillers) {
  Objex* s = place(120, 90);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->type, kObjSkylight);
  EXPECT_EQ(s->parent, roof);
  EXPECT_EQ(roof->firstChild, s);
  EXPECT_EQ(s->planMask, 16);
  EXPECT_EQ(s->textureID, 2218);
  RoofAttachmentData* r = Rec(s);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->panelID, 10);
  EXPECT_EQ(r->subtype, 800);
  EXPECT_FLOAT_EQ(r->width(), 40);
  EXPECT_FLOAT_EQ(r->trimWidth(), 6);
  EXPECT_FLOAT_EQ(r->angle(), 90);
  EXPECT_EQ(r->object(), s);
  EXPECT_EQ(r->color().red, 28784);
  EXPECT_EQ(r->color().blue, 28784);
  EXPECT_EQ(r->trimTexture(), 2218);
  EXPECT_EQ(r->trimColor().green, 65535);
  Objex* p10 = plane(10);
  int n = 0;
  for (const Poinz* p = s->firstPoint; p; p = p->next, ++n)
    EXPECT_NEAR(p->position[1], RoofPlaneY(p10, p->position[0], p->position[2]) + 12, 1e-3);
  EXPECT_EQ(n, 4);
  EXPECT_NEAR(RoofPlaneY(p10, 120, 90) + 12, -15, 1e-3);
  // The filler planes: kind 1 4 above the plane, kind 0 14 below it.
  ASSERT_NE(r->parts, nullptr);
  ASSERT_NE(r->parts->next, nullptr);
  EXPECT_EQ(r->parts->type, kObjFrameFace);
  EXPECT_EQ(r->parts->subtype, 1);
  EXPECT_EQ(r->parts->next->subtype, 0);
  for (const Poinz* p = r->parts->firstPoint; p; p = p->next)
    EXPECT_NEAR(p->position[1], RoofPlaneY(p10, p->position[0], p->position[2]) - 4, 1e-3);
  for (const Poinz* p = r->parts->next->firstPoint; p; p = p->next)
    EXPECT_NEAR(p->position[1], RoofPlaneY(p10, p->position[0], p->position[2]) + 14, 1e-3);
  EXPECT_EQ(PendingTrackingRoutine(kToolSkylight), nullptr);
  EXPECT_EQ(PendingTrackingRoutine(kToolDormerCutout), nullptr);
}

TEST_F(Skylights, OverlapsAreRefusedButTouchingIsNot) {
  ASSERT_NE(place(120, 90), nullptr);
  ScopedAlertRecorder alerts;
  EXPECT_EQ(place(130, 95), nullptr);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to place skylight on the roof.");
  EXPECT_EQ(alerts.shown[0].informative,
            "Please make sure the skylight fits completely on the roof section and does not overlap other skylights.");
  EXPECT_EQ(children(kObjSkylight), 1);
  EXPECT_NE(place(160, 90), nullptr);  // shares the edge x 140
  EXPECT_EQ(children(kObjSkylight), 2);
  // Across the ridge: neither slope holds it.
  EXPECT_EQ(place(60, 60), nullptr);
  // An unknown kind has no outline and finds no roof.
  doc.ds()->skylightType() = 809;
  EXPECT_EQ(place(60, 90), nullptr);
}

TEST_F(Skylights, AngleOf180TurnsTheOutlineAQuarter) {
  doc.ds()->skylightWidth = 30;  // 60 by 40 units
  Objex* s = place(120, 90);
  ASSERT_NE(s, nullptr);
  auto extent = [&](int axis) {
    float lo = 1e9f, hi = -1e9f;
    for (const Poinz* p = s->firstPoint; p; p = p->next) lo = std::fmin(lo, p->position[axis]), hi = std::fmax(hi, p->position[axis]);
    return hi - lo;
  };
  EXPECT_NEAR(extent(0), 60, 1e-3);
  EXPECT_NEAR(extent(2), 40, 1e-3);
  Rec(s)->angle() = 180;
  UpdateRoofAttachmentProperties(s, roof, 0);
  EXPECT_NEAR(extent(0), 40, 1e-2);
  EXPECT_NEAR(extent(2), 60, 1e-2);
  EXPECT_EQ(Rec(s)->parts->subtype, 1);  // its filler planes again
  ASSERT_NE(Rec(s)->parts->next, nullptr);
}

TEST_F(Skylights, RoofChangeKeepsMovesAndRemovesWithOneAlert) {
  doc.ds()->skylightWidth = doc.ds()->skylightHeight() = 10;  // 20 by 20 units
  Objex* stays = place(120, 90);
  Objex* moves = place(12, 75);
  Objex* goes = place(12, 100);
  ASSERT_TRUE(stays && moves && goes);
  ScopedAlertRecorder alerts;
  roof->textureID = 1;  // hip ends take over the ends of the slopes
  roof->width = 10;
  Update3DRoof(roof);
  EXPECT_EQ(children(kObjSkylight), 2);
  EXPECT_EQ(Rec(stays)->panelID, 10);
  EXPECT_EQ(Rec(moves)->panelID, 12);
  Objex* hip = plane(12);
  for (const Poinz* p = moves->firstPoint; p; p = p->next)
    EXPECT_NEAR(p->position[1], RoofPlaneY(hip, p->position[0], p->position[2]) + 12, 1e-3);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "One or more components have been removed.");
  EXPECT_EQ(alerts.shown[0].informative,
            "The roof was not large enough to accommodate all of its attachments.  One or more skylights and/or "
            "cutouts were removed.");
  // Nothing removed: no alert.
  Update3DRoof(roof);
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(Skylights, OutlineEqualToTheRoofPanelFits) {
  Objex* panel = doc.addObject(kObjRoofPanel, true, {{100, 70}, {140, 70}, {140, 110}, {100, 110}});
  panel->width = 6;
  panel->params[0] = 270;
  Update3DRoofPanel(panel);
  Objex* s = place(120, 90);  // the panel comes later on the layer: it wins
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->parent, panel);
  EXPECT_EQ(Rec(s)->panelID, 0);
  const float* plane = static_cast<Objex*>(panel->typeData)->params;
  for (const Poinz* p = s->firstPoint; p; p = p->next)
    EXPECT_NEAR(p->position[1], RoofPlaneHeightAt(plane, p->position[0], p->position[2]) - plane[4], 1e-3);
}

TEST_F(Skylights, CustomSkylightWithoutADefinitionIsDroppedSilently) {
  doc.ds()->skylightType() = kSkylightCustom;
  ScopedAlertRecorder alerts;
  ServiceCallRecorder calls;
  gCurTool = kToolSkylight;
  gMouseCaptured = 1;
  TrackObject(120, 90, 120, 0, 90, kTrackEnd);  // the dispatch takes kind 806 to the custom tool
  EXPECT_TRUE(calls.called("ReadCustomSkylightFile"));
  EXPECT_EQ(children(kObjSkylight), 0);
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(gMouseCaptured, 0);
}

// A diamond definition on a panel falling diagonally: the box corners would reach higher and
// lower on the slope than the diamond, so the placed skylight keeps its parts' extent.
TEST_F(Skylights, CustomSkylightTakesTheExtentOfItsOutlinePartsAsBounds) {
  Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {240, 0}, {240, 240}, {0, 240}});
  panel->width = 6;
  panel->params[0] = 45;
  Update3DRoofPanel(panel);
  doc.ds()->skylightType() = kSkylightCustom;
  const OpeningsServices saved = gOpeningsServices;
  gOpeningsServices.readCustomSkylightFile = [](Objex* skylight) {
    auto* r = static_cast<RoofAttachmentData*>(skylight->typeData);
    r->defOutlines() = DiamondSkylightOutline();
  };
  gCurTool = kToolSkylight;
  Objex* s = TrackCustomSkylight(120, 0, 120, kTrackEnd);
  gOpeningsServices = saved;
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->parent, panel);
  ExpectBoundsAreTheOutlinePartsExtent(s);
}

TEST_F(Skylights, OctagonsAndCirclesTakeTheirPointCounts) {
  doc.ds()->skylightType() = kSkylightOctagonal;
  Objex* oct = place(60, 90);
  ASSERT_NE(oct, nullptr);
  EXPECT_EQ(oct->pointCount, 8);
  doc.ds()->skylightType() = kSkylightElliptical;
  doc.ds()->skylightHeight() = 5;  // a circle: only the width counts
  Objex* round = place(180, 90);
  ASSERT_NE(round, nullptr);
  EXPECT_EQ(round->pointCount, 36);
  float lo = 1e9f, hi = -1e9f;
  for (const Poinz* p = round->firstPoint; p; p = p->next) lo = std::fmin(lo, p->position[2]), hi = std::fmax(hi, p->position[2]);
  EXPECT_NEAR(hi - lo, 40, 0.5);
}

struct Dormers : Skylights {
  Objex* cut(std::initializer_list<POINT> corners, POINT press) {
    ScriptedModalEvents e;
    for (POINT c : corners) e.move(c.x, c.y).down(c.x, c.y);
    e.key(kModalKeyEscape);
    gCurTool = kToolDormerCutout;
    drag({press});
    for (Objex* c = roof->firstChild; c; c = c->next)
      if (c->type == kObjDormerCutout && !c->next) return c;
    return nullptr;
  }
};

TEST_F(Dormers, CutoutOnASlopeMayOverlapSkylights) {
  ASSERT_NE(place(120, 90), nullptr);
  Objex* d = cut({{150, 70}, {150, 110}, {100, 110}}, {100, 70});
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->parent, roof);
  EXPECT_EQ(d->layer, doc.first);
  auto* r = static_cast<RoofAttachmentData*>(d->typeData);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->ownerType, kObjDormerCutout);
  EXPECT_EQ(r->panelID, 10);
  for (const Poinz* p = d->firstPoint; p; p = p->next)
    EXPECT_NEAR(p->position[1], RoofPlaneY(plane(10), p->position[0], p->position[2]) + 12, 1e-3);
  EXPECT_EQ(CountObjects(doc.first), 1);  // only the roof is on the layer
  // The re-fit keeps both.
  Update3DRoof(roof);
  EXPECT_EQ(children(kObjDormerCutout), 1);
  EXPECT_EQ(children(kObjSkylight), 1);
}

// The cut-out's corner loop ends as every outline's does: a double click, a right click,
// Escape or a click on the first point's pixel; the corners entered before it are the cut-out.
TEST_F(Dormers, EachEndingOfTheCornerLoopKeepsTheCornersEntered) {
  for (int ending = 0; ending < 4; ++ending) {
    SCOPED_TRACE(ending);
    ScriptedModalEvents e;
    e.move(150, 70).down(150, 70).move(150, 110).down(150, 110);
    switch (ending) {
      case 0: e.move(100, 110).down(100, 110).down(100, 110, 0, 2); break;
      case 1: e.move(100, 110).down(100, 110).down(125, 90, kModalControlKey); break;
      case 2: e.move(100, 110).down(100, 110).key(kModalKeyEscape); break;
      case 3: e.move(100, 110).down(100, 110).move(100, 70).down(100, 70); break;
    }
    e.move(300, 300).down(300, 300).key(kModalKeyEscape);  // read only by a loop that did not end
    gCurTool = kToolDormerCutout;
    drag({{100, 70}});
    EXPECT_EQ(e.pending(), 3u);
    Objex* d = roof->lastChild;
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->type, kObjDormerCutout);
    int n = 0;
    for (const Poinz* p = d->firstPoint; p; p = p->next) ++n;
    EXPECT_EQ(n, 4);
    EXPECT_EQ(d->closed, 1);
    DeleteObj(d);
    EXPECT_EQ(children(kObjDormerCutout), 0);
  }
}

TEST_F(Dormers, RefusalsOffTheRoofAndOutsideThePlane) {
  ScopedAlertRecorder alerts;
  EXPECT_EQ(cut({{350, 300}, {350, 350}, {300, 350}}, {300, 300}), nullptr);
  EXPECT_TRUE(alerts.sawMessage("Roof section not found."));
  EXPECT_TRUE(alerts.sawMessage(
      "To draw a dormer cutout, click on a roof section of sufficient size and then draw the cutout."));
  alerts.shown.clear();
  EXPECT_EQ(cut({{150, 70}, {150, 40}, {100, 40}}, {100, 70}), nullptr);  // over the ridge
  EXPECT_TRUE(alerts.sawMessage("Unable to place dormer cutout on the roof."));
  EXPECT_EQ(children(kObjDormerCutout), 0);
  EXPECT_EQ(CountObjects(doc.first), 1);
}

}  // namespace
