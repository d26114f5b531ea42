// The landscape and deck palettes' tools driven by scripted events: the defaults each new
// object takes, outlines too small to keep, and the gate tool's placement, refusals and fit.
#include <cmath>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "building3d/RenderRoad.h"
#include "building3d/SiteFences3D.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "model/StairFields.h"
#include "platform/Alerts.h"
#include "tools/ObjectSnaps.h"
#include "tools/SiteTools.h"

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};

// The plan at zoom 1 without grid snapping: window points are plan points (1 in = 2 units).
struct SitePalette : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gSnapLocked = 0;
  }
  // An outline entered with `tool`: a click at (0, 0), then the corners, then Escape.
  Objex* enter(uint16_t tool, std::initializer_list<std::pair<int32_t, int32_t>> corners) {
    ScriptedModalEvents e;
    for (auto [x, z] : corners) e.move(x, z).down(x, z);
    e.key(kModalKeyEscape);
    gCurTool = tool;
    drag({{0, 0}});
    return doc.first->firstObject;
  }
  static int PointCount(const Objex* o) {
    int n = 0;
    for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
    return n;
  }
  // A fence from (0, 0) along x with the given section lengths.
  Objex* addFence(std::initializer_list<float> sections, int32_t style = kFenceStylePicket) {
    Objex* f = doc.addObject(kObjFence, false, {{0, 0}});
    float x = 0;
    for (float length : sections) {
      x += length;
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, f), f);
    }
    f->levels = 1;
    f->textureID = style;
    f->fillColor = RGBColor{1, 2, 3};
    for (Poinz* p = f->firstPoint; p; p = p->next) {
      p->textureID[0] = p->textureID[1] = 2212;
      p->color[0] = p->color[1] = kWhite;
      p->textureScale[0] = p->textureScale[1] = ShortPoint{100, 100};
    }
    UpdateFenceObject(f);
    return f;
  }
  // A press of the gate tool on section i of the fence at the window point (x, 0).
  void pressGate(Objex* fence, int i, int32_t x) {
    gCurTool = kToolGate;
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = fence;
    gClickInfo.segmentHit = 1;
    Poinz* p = fence->firstPoint;
    for (int k = 0; k < i; ++k) p = p->next;
    gClickInfo.hitPoint = p;
    gClickInfo.segmentEnd = p->next;
    gClickInfo.where = {x, 0};
    drag({{x, 0}});
  }
};

TEST_F(SitePalette, EveryToolOfThePalettesIsBuilt) {
  for (uint16_t tool : {kToolFill, kToolPropertyLine, kToolGroundFillRegion, kToolEdging, kToolFence, kToolGate,
                        kToolCurvedTopography, kToolStraightEdgeTopography, kToolDeckWithRailing,
                        kToolDeckWithoutRailing})
    EXPECT_EQ(PendingTrackingRoutine(tool), nullptr) << tool;
}

TEST_F(SitePalette, DeckWithRailingTakesTheDeckDefaults) {
  ServiceCallRecorder calls;
  Objex* deck = enter(kToolDeckWithRailing, {{100, 0}, {100, 100}});
  ASSERT_NE(deck, nullptr);
  EXPECT_EQ(deck->type, kObjDeck);
  EXPECT_EQ(deck->closed, 1);
  EXPECT_EQ(deck->planMask, 64);
  EXPECT_EQ(deck->textureID, 1301);
  EXPECT_EQ(deck->textureID1, 2300);
  EXPECT_EQ(deck->textureID2, 2210);
  EXPECT_FLOAT_EQ(ClosedStepsOf(deck), 1.0f);
  EXPECT_EQ(LeftRailOf(deck) & 1, 1);
  EXPECT_FLOAT_EQ(DeckHeightOf(deck), 24);
  EXPECT_FLOAT_EQ(DeckSpindleSpacingOf(deck), 6);
  ASSERT_EQ(PointCount(deck), 3);
  for (Poinz* p = deck->firstPoint; p; p = p->next) {
    EXPECT_FLOAT_EQ(p->position[1], -48.0f);  // 24 in at plan scale 36
    EXPECT_EQ(p->segmentFlags, 33 | 4);       // railing, post, skirting to the ground
    EXPECT_FLOAT_EQ(RailingHeightOf(p), 36);
    EXPECT_EQ(p->textureID[1], 2300);
  }
  EXPECT_TRUE(calls.called("RenderSingleObject", deck->objectID));
  EXPECT_EQ(gMouseCaptured, 0);
}

TEST_F(SitePalette, DeckWithoutRailingAndWithoutSkirting) {
  doc.ds()->deckOpenSteps = 1;
  Objex* deck = enter(kToolDeckWithoutRailing, {{100, 0}, {100, 100}});
  ASSERT_NE(deck, nullptr);
  for (Poinz* p = deck->firstPoint; p; p = p->next) EXPECT_EQ(p->segmentFlags, 4);
  EXPECT_FLOAT_EQ(ClosedStepsOf(deck), 0.0f);
  UnlinkObject(deck);
  DeleteObj(deck);

  doc.ds()->deckSkirting = 0;
  deck = enter(kToolDeckWithRailing, {{100, 0}, {100, 100}});
  ASSERT_NE(deck, nullptr);
  for (Poinz* p = deck->firstPoint; p; p = p->next) EXPECT_EQ(p->segmentFlags, 33);
  UnlinkObject(deck);
  DeleteObj(deck);
  deck = enter(kToolDeckWithoutRailing, {{100, 0}, {100, 100}});
  ASSERT_NE(deck, nullptr);
  for (Poinz* p = deck->firstPoint; p; p = p->next) EXPECT_EQ(p->segmentFlags, 0);
}

TEST_F(SitePalette, PropertyLinesAndGroundFillsTooSmallAreRemoved) {
  EXPECT_EQ(enter(kToolPropertyLine, {{100, 0}}), nullptr);
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_EQ(enter(kToolGroundFillRegion, {{100, 0}}), nullptr);
  EXPECT_EQ(CountObjects(doc.first), 0);

  Objex* line = enter(kToolPropertyLine, {{100, 0}, {100, 100}});
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->type, kObjPropertyLine);
  EXPECT_EQ(line->planMask, 128);
  EXPECT_EQ(line->textureID, 1151);
  EXPECT_EQ(OnTopographyOf(line), 1);
  for (Poinz* p = line->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->textureID[0], 1150);
    EXPECT_NEAR(p->position[1], 1.0f, 1e-3f);
  }
  UnlinkObject(line);
  DeleteObj(line);

  ServiceCallRecorder calls;
  Objex* fill = enter(kToolGroundFillRegion, {{100, 0}, {100, 100}});
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(fill->type, kObjGroundFill);
  EXPECT_EQ(fill->planMask, 128);
  EXPECT_EQ(fill->textureID, 0);
  EXPECT_EQ(fill->penColor, (RGBColor{0, 0, 0}));  // the material table is empty
  for (Poinz* p = fill->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->textureID[1], 1115);
    EXPECT_NEAR(p->position[1], 2.0f, 1e-3f);
  }
  EXPECT_TRUE(calls.called("RenderSingleObject", fill->objectID));
}

TEST_F(SitePalette, FillEdgingAndTopography) {
  gCurTool = kToolFill;
  drag({{100, 100}, {160, 140}});
  Objex* fill = doc.first->firstObject;
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(fill->type, kObjFill);
  EXPECT_EQ(fill->planMask, 128);
  EXPECT_EQ(OnTopographyOf(fill), 1);
  for (Poinz* p = fill->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->textureID[0], 1115);
    EXPECT_NEAR(p->position[1], 3.0f, 1e-3f);
  }
  UnlinkObject(fill);
  DeleteObj(fill);

  Objex* edging = enter(kToolEdging, {{100, 0}});
  ASSERT_NE(edging, nullptr);
  EXPECT_EQ(edging->type, kObjEdging);
  EXPECT_EQ(edging->planMask, 128);
  EXPECT_EQ(edging->penColor, (RGBColor{51143, 39835, 28784}));
  EXPECT_EQ(StraightPathOf(edging), 1);
  int blocks = 0;
  for (Objex* b = static_cast<Objex*>(edging->typeData); b; b = b->next) ++blocks;
  EXPECT_EQ(blocks, 6);  // every 20 from 0 to 100
  UnlinkObject(edging);
  DeleteObj(edging);

  for (uint16_t tool : {kToolCurvedTopography, kToolStraightEdgeTopography}) {
    Objex* topo = enter(tool, {{100, 0}, {100, 100}});
    ASSERT_NE(topo, nullptr);
    EXPECT_EQ(topo->type, kObjTopography);
    EXPECT_EQ(topo->closed, 1);
    EXPECT_EQ(topo->planMask, 128);
    EXPECT_FLOAT_EQ(topo->width, 24.0f);
    bool curved = false;
    for (Poinz* p = topo->firstPoint; p; p = p->next)
      for (int k = 0; k < 3; ++k) curved = curved || p->outHandle[k] != 0;
    EXPECT_EQ(curved, tool == kToolCurvedTopography);
    UnlinkObject(topo);
    DeleteObj(topo);
  }
}

TEST_F(SitePalette, FenceTakesTheFenceDefaults) {
  Objex* fence = enter(kToolFence, {{100, 0}, {100, 100}});
  ASSERT_NE(fence, nullptr);
  EXPECT_EQ(fence->type, kObjFence);
  EXPECT_EQ(fence->closed, 0);
  EXPECT_EQ(fence->planMask, 128);
  EXPECT_EQ(fence->textureID, kFenceStylePrivacy);
  EXPECT_FLOAT_EQ(FenceSpanLengthOf(fence), 72);
  EXPECT_FLOAT_EQ(FenceSpanHeightOf(fence), 72);
  EXPECT_FLOAT_EQ(FencePostHeightOf(fence), 72);
  EXPECT_FLOAT_EQ(FencePostWidthOf(fence), 24);
  EXPECT_FLOAT_EQ(FenceGateHeightOf(fence), 72);
  EXPECT_EQ(fence->textureID1, 850);
  EXPECT_EQ(fence->textureID3, 2200);
  for (Poinz* p = fence->firstPoint; p; p = p->next) EXPECT_EQ(p->textureID[0], 2212);
  EXPECT_NE(fence->typeData, nullptr);  // privacy boards built
  UnlinkObject(fence);
  DeleteObj(fence);

  // The custom style dresses its points with the iron ornamental texture.
  doc.ds()->fenceStyle = kFenceStyleCustom;
  fence = enter(kToolFence, {{200, 0}});
  ASSERT_NE(fence, nullptr);
  const int32_t texture = fence->firstPoint->textureID[0];
  EXPECT_NE(texture, 0);
  EXPECT_NE(texture, 2212);
  for (Poinz* p = fence->firstPoint; p; p = p->next) EXPECT_EQ(p->textureID[1], texture);
}

TEST_F(SitePalette, GateSplitsTheSectionIntoFenceGateFence) {
  Objex* fence = addFence({200});
  ScopedAlertRecorder alerts;
  pressGate(fence, 0, 100);
  EXPECT_TRUE(alerts.shown.empty());
  ASSERT_EQ(PointCount(fence), 4);
  const Poinz* gate = fence->firstPoint->next;
  EXPECT_EQ(gate->pointType, kFenceGatePoint);
  EXPECT_FLOAT_EQ(gate->position[0], 64);  // a 72-unit gate centred on the press
  EXPECT_EQ(gate->next->pointType, 1);
  EXPECT_FLOAT_EQ(gate->next->position[0], 136);
  EXPECT_EQ(fence->pointCount, 4);
  EXPECT_FLOAT_EQ(fence->width, 36);
  EXPECT_EQ(fence->fillColor, kWhite);
  // The gate section is built as a gate: a centre panel of six corners.
  int panels = 0;
  for (Objex* o = static_cast<Objex*>(fence->typeData); o; o = o->next) panels += PointCount(o) == 6;
  EXPECT_EQ(panels, 1);
}

// A refused gate leaves the sections as they were; the press on a fence still gives the fence
// the gate colour and the gate width.
TEST_F(SitePalette, GateRefusalsLeaveTheSectionsAsTheyWere) {
  Objex* fence = addFence({67, 66});
  const RGBColor gateColor{7, 8, 9};
  doc.ds()->gateColor = gateColor;
  ASSERT_NE(fence->width, 36.0f);
  {
    // A 72-unit gate is wider than the working length (71) of the 66-unit section.
    ScopedAlertRecorder alerts;
    pressGate(fence, 1, 100);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "Unable to place gate on fence section.");
    EXPECT_EQ(alerts.shown[0].informative,
              "Please make sure the fence section is long enough to accommodate the gate.");
    EXPECT_EQ(PointCount(fence), 3);
    EXPECT_EQ(fence->fillColor, gateColor);
    EXPECT_FLOAT_EQ(fence->width, 36);
  }
  {
    // It fits the 67-unit one (working length 72), kept 5 from its start.
    ScopedAlertRecorder alerts;
    pressGate(fence, 0, 33);
    EXPECT_TRUE(alerts.shown.empty());
    ASSERT_EQ(PointCount(fence), 5);
    EXPECT_EQ(fence->firstPoint->next->pointType, kFenceGatePoint);
    EXPECT_FLOAT_EQ(fence->firstPoint->next->position[0], 5.0f);
    EXPECT_FLOAT_EQ(fence->firstPoint->next->next->position[0], 77.0f);
  }
  {
    // The section now starting at the gate point takes no second gate.
    fence->fillColor = RGBColor{1, 2, 3};
    fence->width = 1;
    ScopedAlertRecorder alerts;
    pressGate(fence, 1, 38);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "Gate already exists on this fence section.");
    EXPECT_EQ(alerts.shown[0].informative,
              "Each fence section may only contain a single gate.  Please choose another section.");
    EXPECT_EQ(PointCount(fence), 5);
    EXPECT_EQ(fence->fillColor, gateColor);
    EXPECT_FLOAT_EQ(fence->width, 36);
  }
  {
    // A press beside every fence in the plan view.
    ScopedAlertRecorder alerts;
    gCurTool = kToolGate;
    gClickInfo = ClickInfo{};
    drag({{300, 300}});
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "Fence section not found.");
    EXPECT_EQ(gMouseCaptured, 0);
  }
}

}  // namespace
