// Components, wall breaks, attached wall dimensions and accessories hung on wall segments
// (the press, the scripted slide along the segment, the new object and its record), fixed
// components dropped as grouped symbol copies, and moving a placed component.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "building3d/SceneTestSupport.h"
#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "files/DesignFile.h"
#include "files/SymbolFile.h"
#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/Services.h"
#include "model/CustomTextures.h"
#include "model/PlanarTransforms.h"
#include "model/WallFields.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/SymbolGeometry.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"
#include "tools/AccessoryTool.h"
#include "tools/AttachedWallDims.h"
#include "tools/Components.h"
#include "tools/WallAttachmentPlacement.h"
#include "tools/WallAttachments.h"

namespace {

// A plan view for the drawing to ask for, and a context recording what is drawn, while it lives.
struct PlanRecording {
  Base2DView view;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  static inline Base2DView* shown = nullptr;
  PlanRecording() {
    shown = &view;
    gPlanViewHooks.documentView = [] { return shown; };
  }
  ~PlanRecording() {
    gPlanViewHooks.documentView = nullptr;
    shown = nullptr;
  }
  PlanRecording(const PlanRecording&) = delete;
  PlanRecording& operator=(const PlanRecording&) = delete;
};

// The plan at zoom 1 without grid snapping: window points are plan points (2 units an inch).
struct WallComponents : ToolTest {
  Objex* saved2D = gSymbol2DList;
  Objex* saved3D = gSymbol3DList;
  float savedAccessory[4] = {gdsAccessoryWidth, gdsAccessoryHeight, gdsAccessoryElevation, gdsAccessoryWallOffset};

  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.ds()->measureSystem = 3;
    doc.first->height = 96;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  void TearDown() override {
    for (Objex* list : {gSymbol2DList, gSymbol3DList})
      if (list != saved2D && list != saved3D) DeleteSymbolList(list);
    gSymbol2DList = saved2D;
    gSymbol3DList = saved3D;
    gdsAccessoryWidth = savedAccessory[0];
    gdsAccessoryHeight = savedAccessory[1];
    gdsAccessoryElevation = savedAccessory[2];
    gdsAccessoryWallOffset = savedAccessory[3];
    ToolTest::TearDown();
  }

  // A press on the wall's first segment at window (x, z), as the click road records it.
  void pressOnSegment(Objex* wall, int32_t x, int32_t z, Poinz* start = nullptr) {
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.segmentHit = 1;
    gClickInfo.hitObject = wall;
    gClickInfo.hitPoint = start ? start : wall->firstPoint;
    gClickInfo.segmentEnd = gClickInfo.hitPoint->next;
    gClickInfo.where = {x, z};
  }
  // The tool's begin stage at the press (the placement runs its own loop on `events`).
  void begin(uint16_t tool, int32_t x, int32_t z) {
    gCurTool = tool;
    TrackObject(x, z, static_cast<float>(x), 0, static_cast<float>(z), kTrackBegin);
  }
  // An accessory placed on the wall's first segment at (x, z), released 10 units up.
  Objex* placeAccessory(Objex* wall, int32_t x, int32_t z) {
    ScriptedModalEvents events;
    events.up(x, z - 10);
    pressOnSegment(wall, x, z);
    begin(kToolAccessory, x, z);
    return lastChild(wall);
  }
  Objex* lastChild(Objex* wall) {
    Objex* c = wall->firstChild;
    while (c && c->next) c = c->next;
    return c;
  }
  float units(float inches) { return ConvertWorldToScreen(inches, doc.ds(), 0); }
};

TEST_F(WallComponents, ReceptacleSitsOnTheSegmentWithItsRecord) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  gSymbol2DList = OneSquareSymbolEntry(55);  // the preview draws the receptacle symbol
  ServiceCallRecorder calls;
  ScriptedModalEvents events;
  events.drag(110, 8).up(100, 0);
  pressOnSegment(wall, 100, 0);
  begin(kToolReceptacle110, 100, 0);

  Objex* r = lastChild(wall);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->type, kObjComponent);
  EXPECT_EQ(r->subtype, 55);
  EXPECT_EQ(r->planMask, 4);
  EXPECT_EQ(r->parent, wall);
  EXPECT_EQ(r->pointCount, 3);
  EXPECT_FLOAT_EQ(r->firstPoint->position[0], 94);
  EXPECT_FLOAT_EQ(r->firstPoint->next->position[0], 106);
  auto* data = AttachmentData(r);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->ownerType, 55);
  EXPECT_FLOAT_EQ(data->width, 12);
  EXPECT_FLOAT_EQ(data->height, 24);
  EXPECT_FLOAT_EQ(data->elevation, 24);  // 12 in
  EXPECT_FLOAT_EQ(data->startDistance, 100);
  EXPECT_FLOAT_EQ(data->remainingLength, 100);
  EXPECT_EQ(data->anchorStart, wall->firstPoint);
  EXPECT_EQ(data->trimSlotA.textureWidth, 100);
  EXPECT_EQ(data->trimSlotB.color, (RGBColor{65535, 65535, 65535}));
  EXPECT_TRUE(calls.called("BuildAttachmentFrame", r->objectID));
  EXPECT_EQ(gMouseCaptured, 0);
  // The depth point lies the depth off the middle, on the side of the release.
  EXPECT_NEAR(std::fabs(r->firstPoint->next->next->position[2]), 24, 1e-3);
}

TEST_F(WallComponents, MetricReceptacleHeightAndToiletFootprint) {
  doc.ds()->measureSystem = 4;
  EXPECT_FLOAT_EQ(ComponentElevation(55), units(11.811023f));
  EXPECT_FLOAT_EQ(ComponentElevation(73), units(43.307087f));
  doc.ds()->measureSystem = 3;
  const FloatPoint toilet = ComponentFootprint(90);
  EXPECT_FLOAT_EQ(toilet.floatH, 48);
  EXPECT_FLOAT_EQ(toilet.floatV, 60);
  doc.ds()->bathTubSetting1 = 66;  // the tub follows the document's current size
  EXPECT_FLOAT_EQ(ComponentFootprint(95).floatH, 132);
  EXPECT_FLOAT_EQ(ComponentFootprint(kSubDimensionAttachment).floatV, 200);
}

TEST_F(WallComponents, DraggedTowardAnEndStopsFiveInside) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  {
    ScriptedModalEvents events;
    events.drag(50, 0).drag(2, 3).up(-20, 3);
    pressOnSegment(wall, 100, 0);
    begin(kToolReceptacle110, 100, 0);
  }
  Objex* a = lastChild(wall);
  ASSERT_NE(a, nullptr);
  EXPECT_FLOAT_EQ(a->firstPoint->position[0], 5);
  EXPECT_FLOAT_EQ(a->firstPoint->next->position[0], 17);
  {
    ScriptedModalEvents events;
    events.up(199, 0);
    pressOnSegment(wall, 100, 0);
    begin(kToolReceptacle110, 100, 0);
  }
  Objex* b = lastChild(wall);
  ASSERT_NE(b, a);
  EXPECT_FLOAT_EQ(b->firstPoint->next->position[0], 195);
  EXPECT_FLOAT_EQ(AttachmentData(b)->startDistance, 189);
}

TEST_F(WallComponents, WallBreakAddsAPointAndNoObject) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  ScriptedModalEvents events;
  events.up(60, 0);
  pressOnSegment(wall, 100, 0);
  begin(kToolWallBreak, 100, 0);
  EXPECT_EQ(wall->firstChild, nullptr);
  ASSERT_EQ(wall->pointCount, 3);
  EXPECT_FLOAT_EQ(wall->firstPoint->next->position[0], 60);
  EXPECT_EQ(CountObjects(doc.first), 1);
}

TEST_F(WallComponents, RefusalsNameTheTool) {
  Objex* shape = addShape({{0, 0}, {200, 0}, {200, 100}});
  ScopedAlertRecorder alerts;
  ScriptedModalEvents events;
  pressOnSegment(shape, 100, 0);
  begin(kToolDimensionWall, 100, 0);
  EXPECT_TRUE(alerts.sawMessage("Unable to place wall dimension."));

  gClickInfo = ClickInfo{};  // no segment at all: the component pair
  gCurTool = kToolDimensionWall;
  TrackObject(10, 10, 10, 0, 10, kTrackBegin);
  EXPECT_TRUE(alerts.sawMessage(
      "To place a component, click on a wall segment of sufficient length and then drag to position the component."));

  gClickInfo = ClickInfo{};
  gCurTool = kToolWallBreak;
  TrackObject(10, 10, 10, 0, 10, kTrackBegin);
  EXPECT_TRUE(alerts.sawMessage("Unable to place wall break."));

  // A toilet (48 units) is wider than the working length (47) of a 42-unit segment.
  Objex* shortWall = AddTestWall(doc, {{0, 300}, {42, 300}});
  pressOnSegment(shortWall, 21, 300);
  begin(kToolToilet, 21, 300);
  EXPECT_TRUE(alerts.sawMessage("The wall segment is not long enough to accommodate the selected component.  "
                                "Please lengthen the segment and try again."));
  EXPECT_EQ(shortWall->firstChild, nullptr);
  EXPECT_EQ(events.reads(), 0);  // no drag ran for a refusal

  // A 43-unit segment (working length 48) takes it, kept 5 from the start.
  const size_t refusals = alerts.shown.size();
  Objex* longer = AddTestWall(doc, {{0, 400}, {43, 400}});
  pressOnSegment(longer, 21, 400);
  begin(kToolToilet, 21, 400);
  EXPECT_EQ(alerts.shown.size(), refusals);
  Objex* toilet = longer->firstChild;
  ASSERT_NE(toilet, nullptr);
  EXPECT_FLOAT_EQ(toilet->firstPoint->position[0], 5);
  EXPECT_FLOAT_EQ(toilet->firstPoint->next->position[0], 53);
  EXPECT_FLOAT_EQ(AttachmentData(toilet)->startDistance, 29);
  // Pressed near the far end it stops 5 before that end and starts before the segment start;
  // its record measures the centre along the segment.
  Objex* other = AddTestWall(doc, {{0, 500}, {43, 500}});
  pressOnSegment(other, 40, 500);
  begin(kToolToilet, 40, 500);
  toilet = other->firstChild;
  ASSERT_NE(toilet, nullptr);
  EXPECT_FLOAT_EQ(toilet->firstPoint->position[0], -10);
  EXPECT_FLOAT_EQ(toilet->firstPoint->next->position[0], 38);
  EXPECT_FLOAT_EQ(AttachmentData(toilet)->startDistance, 14);
  EXPECT_FLOAT_EQ(AttachmentData(toilet)->remainingLength, 29);
}

TEST_F(WallComponents, ClosingTheWindowDuringTheDragMakesNothing) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  const FloatPoint spacing = doc.ds()->gridSpacing;
  ScriptedModalEvents events;
  events.drag(120, 0).closeWindow();
  pressOnSegment(wall, 100, 0);
  begin(kToolSwitch, 100, 0);
  EXPECT_EQ(wall->firstChild, nullptr);
  EXPECT_FLOAT_EQ(doc.ds()->gridSpacing.floatH, spacing.floatH);  // put back on every way out
  EXPECT_TRUE(overlay.areAllPathsEmpty());
}

TEST_F(WallComponents, MovingAComponentSlidesIt) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  {
    ScriptedModalEvents events;
    events.up(100, 0);
    pressOnSegment(wall, 100, 0);
    begin(kToolReceptacle110, 100, 0);
  }
  Objex* r = lastChild(wall);
  ASSERT_NE(r, nullptr);
  // A click inside without a segment or point hit only selects.
  gClickInfo = ClickInfo{};
  gClickInfo.hitObject = r;
  gClickInfo.insideHit = 1;
  TranslateWallComponent(r, 100, 0, 0);
  EXPECT_FLOAT_EQ(AttachmentData(r)->startDistance, 100);
  EXPECT_TRUE(r->firstPoint->selected);

  ScriptedModalEvents events;
  events.drag(120, 0).up(150, 0);
  gClickInfo = ClickInfo{};
  gClickInfo.hitObject = r;
  gClickInfo.segmentHit = 1;
  gClickInfo.hitPoint = r->firstPoint;
  gClickInfo.segmentEnd = r->firstPoint->next;
  gClickInfo.where = {100, 0};
  TranslateWallComponent(r, 100, 0, 0);
  EXPECT_FLOAT_EQ(AttachmentData(r)->startDistance, 150);
  EXPECT_FLOAT_EQ(AttachmentData(r)->remainingLength, 50);
  EXPECT_FLOAT_EQ(r->firstPoint->position[0], 144);

  // The arrow tool hands a press on the component to the same slide.
  ScriptedModalEvents more;
  more.up(60, 0);
  gClickInfo.where = {150, 0};
  gClickInfo.hitMode = 1;
  begin(kToolSelection, 150, 0);
  EXPECT_FLOAT_EQ(AttachmentData(r)->startDistance, 60);
  EXPECT_EQ(gMouseCaptured, 0);
}

// The move tool's hand-over without arguments works on the component the click hit.
TEST_F(WallComponents, MovingTheClickedComponentWithoutArguments) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  {
    ScriptedModalEvents events;
    events.up(100, 0);
    pressOnSegment(wall, 100, 0);
    begin(kToolReceptacle110, 100, 0);
  }
  Objex* r = lastChild(wall);
  ASSERT_NE(r, nullptr);
  ScriptedModalEvents events;
  events.drag(120, 0).up(150, 0);
  gClickInfo = ClickInfo{};
  gClickInfo.hitObject = r;
  gClickInfo.segmentHit = 1;
  gClickInfo.hitPoint = r->firstPoint;
  gClickInfo.segmentEnd = r->firstPoint->next;
  gClickInfo.where = {100, 0};
  TranslateWallComponent();
  EXPECT_FLOAT_EQ(AttachmentData(r)->startDistance, 150);
  EXPECT_FLOAT_EQ(AttachmentData(r)->remainingLength, 50);
  EXPECT_FLOAT_EQ(r->firstPoint->position[0], 144);

  // Nothing under the click: nothing moves.
  gClickInfo = ClickInfo{};
  TranslateWallComponent();
  EXPECT_FLOAT_EQ(AttachmentData(r)->startDistance, 150);
}

// A tub as long as the segment slid toward its end runs 5 before the segment start; the record
// keeps the centre of its two ends.
TEST_F(WallComponents, MovingAWideComponentKeepsItsCentreAlongTheSegment) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  doc.ds()->bathTubSetting1 = 100;  // 200 plan units
  {
    ScriptedModalEvents events;
    events.up(100, 0);
    pressOnSegment(wall, 100, 0);
    ASSERT_NE(TrackWallAttachment(100, 0, 0, kTrackBegin, 95), nullptr);
  }
  Objex* tub = lastChild(wall);
  EXPECT_FLOAT_EQ(tub->firstPoint->position[0], 5);
  EXPECT_FLOAT_EQ(AttachmentData(tub)->startDistance, 105);

  ScriptedModalEvents events;
  events.drag(150, 0).up(150, 0);
  gClickInfo = ClickInfo{};
  gClickInfo.hitObject = tub;
  gClickInfo.segmentHit = 1;
  gClickInfo.hitPoint = tub->firstPoint;
  gClickInfo.segmentEnd = tub->firstPoint->next;
  gClickInfo.where = {105, 0};
  TranslateWallComponent(tub, 105, 0, 0);
  EXPECT_FLOAT_EQ(tub->firstPoint->position[0], -5);
  EXPECT_FLOAT_EQ(tub->firstPoint->next->position[0], 195);
  EXPECT_FLOAT_EQ(AttachmentData(tub)->startDistance, 95);
  EXPECT_FLOAT_EQ(AttachmentData(tub)->remainingLength, 105);
}

TEST_F(WallComponents, CeilingFanIsAGroupOfSymbolCopies) {
  gSymbol2DList = OneSquareSymbolEntry(88);
  gSymbol3DList = OneSquareSymbolEntry(88);
  doc.ds()->baseElevation = 0;
  gCurTool = kToolCeilingFan;
  TrackObject(50, 40, 50, 0, 40, kTrackEnd);
  ASSERT_EQ(CountObjects(doc.first), 1);
  Objex* group = doc.first->firstObject;
  EXPECT_EQ(group->type, kObjGroup);
  EXPECT_EQ(group->planMask, 4);
  EXPECT_EQ(group->textureID, 88);
  EXPECT_FLOAT_EQ(group->baseElevation, 95.5f);
  Objex* member = group->firstChild;
  ASSERT_NE(member, nullptr);
  EXPECT_EQ(member->type, 88);
  EXPECT_EQ(member->subtype, 89);
  EXPECT_EQ(member->textureID, 88);
  EXPECT_FLOAT_EQ(member->firstPoint->position[0], 46);  // moved to the click
  ASSERT_NE(member->symbol3D, nullptr);
  EXPECT_EQ(member->symbol3D->type, kObjAttachedSymbolPart);
  EXPECT_FLOAT_EQ(member->symbol3D->firstPoint->position[2], 36);

  // Rebuilding replaces the 3D parts; another type is left alone.
  UpdateFixedComponentAllLayers(doc.model.itsLayers);
  ASSERT_NE(member->symbol3D, nullptr);
  EXPECT_EQ(member->symbol3D->next, nullptr);
  ServiceCallRecorder calls;
  Objex* plain = addShape({{0, 0}, {10, 0}, {10, 10}});
  UpdateFixedComponent(plain);
  EXPECT_FALSE(calls.called("ReRenderObject", plain->objectID));
}

// A light and a floor register, each placed with its tool, grouped with a line by Plan >
// Group's calls (once, then once more), saved and opened: each fixture's 3D parts are built
// again, and the scene holds them where it held them before the save.
TEST_F(WallComponents, AGroupedLightAndRegisterKeepTheir3DFixturesThroughASaveAndOpen) {
  const int16_t light = FixedComponentForTool(kToolFixtureLight).symbolType;
  const int16_t vent = FixedComponentForTool(kToolFloorRegister).symbolType;
  gSymbol2DList = OneSquareSymbolEntry(light);
  gSymbol2DList->next = OneSquareSymbolEntry(vent);
  gSymbol3DList = OneSquareSymbolEntry(light);
  gSymbol3DList->next = OneSquareSymbolEntry(vent);
  doc.ds()->baseElevation = 0;
  // A shown 3D view, built at once.
  const LiveViewHost savedHost = gLiveViewHost;
  gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = *h = 64; };
  gLiveViewHost.isVisible = [] { return true; };
  const uint8_t savedRender[3] = {gRenderOnShow, gForceRenderObjectNow, gEnableBackgroundRendering};
  gRenderOnShow = gForceRenderObjectNow = gEnableBackgroundRendering = 0;
  // The vertices the scene builds for the fixtures (their 3D parts), rounded and sorted.
  auto fixtureScene = [light, vent] {
    FreeScene();
    RenderAllLayers();
    std::vector<std::vector<int>> vertices;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      const int16_t of = po->base2DObject ? po->base2DObject->type : 0;
      if (of != light && of != vent) continue;
      for (const Plane* p = po->planes; p; p = p->next)
        for (int32_t i = 0; i < p->vertexCount; ++i)
          vertices.push_back({int(std::lround(p->vertices[i].x * 100)), int(std::lround(p->vertices[i].y * 100)),
                              int(std::lround(p->vertices[i].z * 100))});
    }
    std::sort(vertices.begin(), vertices.end());
    FreeScene();
    return vertices;
  };
  gCurTool = kToolFixtureLight;
  TrackComponentFixed(50, 0, 40, kTrackEnd, kToolFixtureLight);
  gCurTool = kToolFloorRegister;
  TrackComponentFixed(150, 0, 40, kTrackEnd, kToolFloorRegister);
  ASSERT_EQ(CountObjects(doc.first), 2);
  const std::vector<std::vector<int>> alone = fixtureScene();
  ASSERT_FALSE(alone.empty());
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("casa-fixtures-" + std::to_string(getpid()) + ".pro")).string();
  for (int depth = 1; depth <= 2; ++depth) {
    SCOPED_TRACE("groups around the fixtures: " + std::to_string(depth));
    addShape({{0, 200.0f + float(depth)}, {40, 200}, {40, 240}});
    SelectAllLayers(doc.model.itsLayers, kSelectOn, 0);
    gGroupLeader = nullptr;
    TopLevelObjectAllLayers(doc.model.itsLayers, kCmdGroup, CommandArg::None());
    gGroupLeader = nullptr;
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
    ASSERT_EQ(CountObjects(GetLayerFromName("First Floor")), 1);  // the read replaced the floors
    EXPECT_EQ(fixtureScene(), alone);
    ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
    ASSERT_EQ(KeyFileRead(path.c_str()), 1);
    ASSERT_EQ(gCurDocument, &doc.model);
    int fixtures = 0;
    auto count = [&](auto&& self, const Objex* o) -> void {
      for (; o; o = o->next) {
        if ((o->type == light || o->type == vent) && o->symbol3D) ++fixtures;
        self(self, o->firstChild);
      }
    };
    count(count, GetLayerFromName("First Floor")->firstObject);
    EXPECT_EQ(fixtures, 2) << "a fixture was read without its 3D parts";
    EXPECT_EQ(fixtureScene(), alone);
  }
  std::filesystem::remove(path);
  gLiveViewHost = savedHost;
  gRenderOnShow = savedRender[0];
  gForceRenderObjectNow = savedRender[1];
  gEnableBackgroundRendering = savedRender[2];
}

TEST_F(WallComponents, FixedComponentKeepsItsPartsWithoutADesign) {
  gSymbol2DList = OneSquareSymbolEntry(88);
  gSymbol3DList = OneSquareSymbolEntry(88);
  gCurTool = kToolCeilingFan;
  TrackObject(50, 40, 50, 0, 40, kTrackEnd);
  Objex* member = doc.first->firstObject->firstChild;
  ASSERT_NE(member, nullptr);
  Objex* parts = member->symbol3D;
  ASSERT_NE(parts, nullptr);
  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  UpdateFixedComponent(member);
  gCurDocument = saved;
  EXPECT_EQ(member->symbol3D, parts);
}

TEST_F(WallComponents, SymbolPartsHangMovedByAPlanOffset) {
  gSymbol3DList = OneSquareSymbolEntry(88);
  Objex* shape = addShape({{0, 0}, {10, 0}, {10, 10}});
  Attach3DSymbol(shape, 88, FloatPoint{10, 20});
  ASSERT_NE(shape->symbol3D, nullptr);
  EXPECT_EQ(shape->symbol3D->type, kObjAttachedSymbolPart);
  EXPECT_FLOAT_EQ(shape->symbol3D->firstPoint->position[0], 6);
  EXPECT_FLOAT_EQ(shape->symbol3D->firstPoint->position[2], 16);
  Objex* other = addShape({{0, 0}, {10, 0}, {10, 10}});
  Attach3DSymbol(other, 87, FloatPoint{10, 20});  // no such symbol
  EXPECT_EQ(other->symbol3D, nullptr);
}

TEST_F(WallComponents, FixedComponentHeightsAndLightTypes) {
  DocState* ds = doc.ds();
  ds->measureSystem = 4;
  ds->lightType = 148;
  FixedComponentInfo light = FixedComponentForTool(kToolFixtureLight);
  EXPECT_EQ(light.symbolType, 148);
  EXPECT_FLOAT_EQ(light.elevation, 95.5f - 3.1496062992f);
  ds->lightType = 90;  // a plumbing symbol is never placed as a light
  EXPECT_EQ(FixedComponentForTool(kToolFixtureLight).symbolType, 79);
  ds->lightType = 152;
  EXPECT_FLOAT_EQ(FixedComponentForTool(kToolFixtureLight).elevation, 95.5f / 2);
  EXPECT_FLOAT_EQ(FixedComponentForTool(kToolFloorCeilingReceptacle110).elevation, 0.9842519685f);
  EXPECT_FLOAT_EQ(FixedComponentForTool(kToolFloorRegister).elevation, 0.7874015748f);
  ds->measureSystem = 3;
  EXPECT_FLOAT_EQ(FixedComponentForTool(kToolFloorCeilingReceptacle110).elevation, 1.0f);
  ds->receptacleStyle2 = 9;
  EXPECT_EQ(FixedComponentForTool(kToolFloorCeilingReceptacle110).symbolType, 69);
  ds->switchStyle1 = 10;
  EXPECT_EQ(WallComponentForTool(kToolMultiWaySwitch).kind, 76);
}

TEST_F(WallComponents, FixtureLightCarriesTheLightFields) {
  gSymbol2DList = OneSquareSymbolEntry(150);
  DocState* ds = doc.ds();
  ds->lightType = 150;
  ds->lightOn = 0;
  ds->lightDimmer = 63;
  ds->lightRadius = 80;
  ds->lightAmbient = 1;
  TrackComponentFixed(0, 0, 0, kTrackEnd, kToolFixtureLight);
  Objex* group = doc.first->firstObject;
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->extraLong, 1);   // off
  EXPECT_EQ(group->extraFlags, 63);  // dimmer
  EXPECT_FLOAT_EQ(group->params[1], 80);
  EXPECT_EQ(group->options[1], 1);
  EXPECT_EQ(group->firstChild->textureID, 1);  // ambient
  EXPECT_EQ(group->firstChild->symbol3D, nullptr);  // no 3D symbol listed
}

TEST_F(WallComponents, MissingSymbolMakesNothing) {
  gSymbol2DList = OneSquareSymbolEntry(88);
  TrackComponentFixed(0, 0, 0, kTrackEnd, kToolFloorDrain);
  TrackComponentFixed(0, 0, 0, kTrackBegin, kToolCeilingFan);
  EXPECT_EQ(CountObjects(doc.first), 0);
}

// Two parallel walls 200 units apart; a dimension placed at the middle toward the other.
struct AttachedDims : WallComponents {
  Objex* place(Objex* wall, int32_t upZ) {
    ScriptedModalEvents events;
    events.drag(100, upZ / 2).up(100, upZ);
    pressOnSegment(wall, 100, 0);
    begin(kToolDimensionWall, 100, 0);
    return lastChild(wall);
  }
};

TEST_F(AttachedDims, CentreAndFaceModes) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  AddTestWall(doc, {{0, -200}, {200, -200}});
  Objex* dim = place(wall, -40);
  ASSERT_NE(dim, nullptr);
  EXPECT_EQ(dim->subtype, kSubDimensionAttachment);
  auto* data = AttachmentData(dim);
  EXPECT_FLOAT_EQ(data->width, 0);
  EXPECT_EQ(data->flipHorizontal, 1);
  EXPECT_FLOAT_EQ(data->height, 200);
  EXPECT_FLOAT_EQ(dim->firstPoint->next->next->position[2], -200);

  for (Poinz* p = dim->firstPoint; p; p = p->next) WallOptionOf(p) = 1;  // from the faces
  UpdateAttachedDimAllLayers(doc.model.itsLayers);
  EXPECT_FLOAT_EQ(data->height, 196);
}

TEST_F(AttachedDims, ANewWallBetweenMeasuresAgainAtTheEndOfTheDrag) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  AddTestWall(doc, {{0, -200}, {200, -200}});
  Objex* dim = place(wall, -40);
  ASSERT_NE(dim, nullptr);
  ASSERT_FLOAT_EQ(AttachmentData(dim)->height, 200);
  gCurTool = kToolExteriorWall;
  drag({{-60, -100}, {100, -100}, {260, -100}});  // across the dimension, halfway
  EXPECT_FLOAT_EQ(AttachmentData(dim)->height, 100);
}

TEST_F(AttachedDims, NoFacingWallKeepsTheDepth) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  AddTestWall(doc, {{0, -200}, {200, -200}}, false, 4.0f, doc.second);  // another layer
  Objex* dim = place(wall, -40);
  ASSERT_NE(dim, nullptr);
  EXPECT_FLOAT_EQ(AttachmentData(dim)->height, 40);
}

TEST_F(AttachedDims, ShortDimensionsShowTen) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  AddTestWall(doc, {{0, -7}, {200, -7}});
  Objex* dim = place(wall, -4);
  ASSERT_NE(dim, nullptr);
  EXPECT_FLOAT_EQ(AttachmentData(dim)->height, 10);
}

TEST_F(AttachedDims, FacingWallSearch) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  Objex* other = AddTestWall(doc, {{-100, -150}, {300, -151}}, false, 6.0f);
  FloatPoint from{100, 0}, to{100.5f, -32000};
  EXPECT_FLOAT_EQ(LimitWallDimension(&from, &to, doc.first, wall->firstPoint, wall->firstPoint->next), 6.0f);
  EXPECT_FLOAT_EQ(to.floatH, 100);  // within 1 unit of the axis: made exact
  EXPECT_NEAR(to.floatV, -150.5f, 0.1f);
  // A facing segment met at its end point is ignored.
  Poinz* end = other->firstPoint->next;
  end->position[0] = 100;
  FloatPoint to2{100, -32000};
  EXPECT_FLOAT_EQ(LimitWallDimension(&from, &to2, doc.first, wall->firstPoint, wall->firstPoint->next), 0);
  EXPECT_FLOAT_EQ(to2.floatV, -32000);
}

TEST_F(WallComponents, FirstAccessoryTakesTheWindowDefaults) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  DocState* ds = doc.ds();
  ds->windowWidth = 36;
  ds->windowHeight = 56;
  ds->windowElevation() = 24;
  ds->windowFrameSize() = 3;
  gdsAccessoryWidth = gdsAccessoryHeight = gdsAccessoryElevation = 0;
  gdsAccessoryWallOffset = 2;  // 4 units, under the 6-unit minimum
  placeAccessory(wall, 120, 0);
  EXPECT_FLOAT_EQ(gdsAccessoryWidth, 46);
  EXPECT_FLOAT_EQ(gdsAccessoryHeight, 65);
  EXPECT_FLOAT_EQ(gdsAccessoryElevation, 84);
  Objex* a = lastChild(wall);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->type, kObjAccessory);
  EXPECT_EQ(a->subtype, kObjAccessory);
  EXPECT_EQ(a->pointCount, 3);
  auto* data = AttachmentData(a);
  EXPECT_FLOAT_EQ(data->width, 92);
  EXPECT_FLOAT_EQ(data->height, 130);
  EXPECT_FLOAT_EQ(data->elevation, 168);
  EXPECT_FLOAT_EQ(data->swingAngle(), 2);
  EXPECT_EQ(data->dividerStyle(), 1);
  EXPECT_EQ(data->flipHorizontal, 1);
  EXPECT_FLOAT_EQ(data->startDistance, 120);
  // The third point: half the wall (4) plus 6 beyond the middle, on the chosen side.
  const Poinz* third = a->firstPoint->next->next;
  EXPECT_NEAR(third->position[0], 120, 1e-3);
  EXPECT_NEAR(third->position[2], -10, 1e-3);
}

TEST_F(WallComponents, AccessoryTakesTheSelectedAccessoryTextureAndItsName) {
  const std::string info = ::testing::TempDir() + "shutter.QTI";
  {
    std::ofstream out(info);
    out << "[Description]\nName=Green Shutter\n";
  }
  const int16_t savedType = gSelectedContentEntryType, savedCategory = gSelectedContentCategory;
  const SymEntryInfo savedEntry = gSelectedContentEntry;
  gSelectedContentEntryType = kEntryCustomTexture;
  gSelectedContentEntry.objectData = "Accessories/shutter.QTX";
  gSelectedContentEntry.objectInfo = info;
  struct Case {
    int16_t category;
    bool textured;
  };
  for (const Case c : {Case{0, true}, Case{2, false}}) {  // only the accessories category gives it
    gSelectedContentCategory = c.category;
    Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
    Objex* a = placeAccessory(wall, 120, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->textureID, 0);
    EXPECT_EQ(a->textureID1, a->textureID2);
    if (c.textured) {
      ASSERT_GT(a->textureID1, 0);
      EXPECT_STREQ(GetCustomTextureIDPath(a->textureID1), "Accessories/shutter.QTX");
      ASSERT_NE(a->name, nullptr);
      EXPECT_STREQ(a->name, "Green Shutter");
    } else {
      EXPECT_EQ(a->textureID1, 0);
      EXPECT_EQ(a->name, nullptr);
    }
  }
  // An information file without a name: the accessory stays unnamed.
  gSelectedContentCategory = 0;
  gSelectedContentEntry.objectInfo = ::testing::TempDir() + "missing.QTI";
  Objex* wall = AddTestWall(doc, {{0, 300}, {200, 300}});
  ASSERT_NE(placeAccessory(wall, 120, 300), nullptr);
  EXPECT_EQ(lastChild(wall)->name, nullptr);
  EXPECT_GT(lastChild(wall)->textureID1, 0);
  gSelectedContentEntryType = savedType;
  gSelectedContentCategory = savedCategory;
  gSelectedContentEntry = savedEntry;
  std::remove(info.c_str());
}

// The accessory's offset from the wall face is one value however the accessory got its points:
// placing it, moving it and re-fitting it after a wall edit all set its marker point alike, in
// a document measured in another unit too.
TEST_F(WallComponents, AnAccessoryKeepsItsMarkerWhenItsWallIsRefitted) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  doc.ds()->worldUnits = 6;
  gdsAccessoryWidth = 40;
  gdsAccessoryHeight = 60;
  gdsAccessoryElevation = 100;
  gdsAccessoryWallOffset = 10;
  Objex* a = placeAccessory(wall, 120, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->pointCount, 3);
  const Poinz* third = a->firstPoint->next->next;
  const float placedZ = third->position[2];
  EXPECT_NEAR(placedZ, -(units(wall->width) / 2 + units(10)), 1e-3);
  EXPECT_EQ(UpdateAllWallAttachments(wall), 0);
  ASSERT_EQ(lastChild(wall), a);
  EXPECT_NEAR(third->position[0], 120, 1e-3);
  EXPECT_NEAR(third->position[2], placedZ, 1e-3);
}

TEST_F(WallComponents, AccessoryOffAWall) {
  Objex* shape = addShape({{0, 0}, {200, 0}, {200, 100}});
  ScopedAlertRecorder alerts;
  ScriptedModalEvents events;
  pressOnSegment(shape, 100, 0);
  begin(kToolAccessory, 100, 0);
  EXPECT_TRUE(alerts.sawMessage("Wall segment not found."));
  // 46 in = 92 units: wider than the working length (91) of an 86-unit segment.
  gdsAccessoryWidth = 46;
  gdsAccessoryHeight = 15;
  gdsAccessoryElevation = 84;
  Objex* wall = AddTestWall(doc, {{0, 300}, {86, 300}});
  pressOnSegment(wall, 43, 300);
  begin(kToolAccessory, 43, 300);
  EXPECT_TRUE(alerts.sawMessage("Unable to place accessory on wall segment."));
  EXPECT_EQ(wall->firstChild, nullptr);
  // An 87-unit segment (working length 92) takes it.
  const size_t refusals = alerts.shown.size();
  Objex* longer = AddTestWall(doc, {{0, 400}, {87, 400}});
  pressOnSegment(longer, 43, 400);
  begin(kToolAccessory, 43, 400);
  EXPECT_EQ(alerts.shown.size(), refusals);
  ASSERT_NE(longer->firstChild, nullptr);
  EXPECT_EQ(longer->firstChild->type, kObjAccessory);
}

TEST_F(WallComponents, PreviewOnlyOnWalls) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  Objex* shape = addShape({{0, 0}, {200, 0}, {200, 100}});
  const FloatPoint first{100, 0}, centre{100, 0};
  DrawAttachment(&first, &centre, &first, 0, 1, kSubWallBreak, shape, 0, 200, 1);
  EXPECT_EQ(overlay.activeTransformElement(), nullptr);
  DrawAttachment(&first, &centre, &first, 0, 1, kSubWallBreak, wall, 0, 200, 1);
  EXPECT_NE(overlay.activeTransformElement(), nullptr);
  overlay.removeAllDynamicTransformElements();
  DrawAttachment(&first, &centre, &first, 0, 0, kSubDimensionAttachment, wall, 0, 200, 0);
  EXPECT_NE(overlay.activeTransformElement(), nullptr);
  // Given the plan view first, the same rule.
  overlay.removeAllDynamicTransformElements();
  DrawAttachment(static_cast<ZLKDocumentView*>(nullptr), &first, &centre, &first, 0, 1, kSubWallBreak, shape, 0,
                 200, 1);
  EXPECT_EQ(overlay.activeTransformElement(), nullptr);
  DrawAttachment(static_cast<ZLKDocumentView*>(nullptr), &first, &centre, &first, 0, 1, kSubWallBreak, wall, 0,
                 200, 1);
  EXPECT_NE(overlay.activeTransformElement(), nullptr);
}

TEST_F(WallComponents, PaletteToolsAreLive) {
  for (uint16_t tool : {kToolDimensionWall, kToolWallBreak, kToolAccessory, kToolReceptacle110, kToolReceptacle110Style,
                        kToolFloorCeilingReceptacle110, kToolFixtureLight, kToolCeilingFan, kToolThermostat,
                        kToolHoseBib, kToolFloorDrain, kToolShower, kToolWaterHeater, kToolFloorRegister,
                        kToolHeatPump, kToolBaseboardHeater})
    EXPECT_EQ(PendingTrackingRoutine(tool), nullptr) << tool;
}

TEST_F(WallComponents, TabDuringTheDragKeepsTheSnapGate) {
  Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
  gChangeSnapOK = 0;
  ScriptedModalEvents events;
  events.drag(120, 0).key(kModalKeyTab).up(130, 0);
  pressOnSegment(wall, 100, 0);
  begin(kToolCableOutlet, 100, 0);
  EXPECT_EQ(gChangeSnapOK, 0);
  EXPECT_EQ(events.lastMask(), kModalMouseUpMask | kModalMouseDraggedMask | kModalKeyDownMask);
  Objex* outlet = lastChild(wall);
  ASSERT_NE(outlet, nullptr);
  EXPECT_EQ(outlet->subtype, 84);
  EXPECT_FLOAT_EQ(AttachmentData(outlet)->startDistance, 130);
}

}  // namespace

namespace {

// The first outline in the overlay each time the drag asks for its next event.
class OutlineWatch : public ScriptedModalEvents {
 public:
  explicit OutlineWatch(const ZLKDynamicDrawEngine* overlay) : overlay_(overlay) {}
  bool nextEvent(uint32_t mask, ModalEvent* event) override {
    const auto& elements = overlay_->dynamicTransformArray();
    if (!elements.empty()) seen.push_back(elements.front()->path().bounds());
    return ScriptedModalEvents::nextEvent(mask, event);
  }
  std::vector<NSRect> seen;

 private:
  const ZLKDynamicDrawEngine* overlay_;
};

// A tub, spa tub or shower is drawn at its size while it is placed and once placed, in the plan
// as in print, whatever size its symbol was drawn at.
TEST_F(WallComponents, SizedFixturesAreDrawnAtTheirSize) {
  PlanRecording plan;
  RecordingDrawContext& ctx = plan.ctx;
  struct Fixture {
    uint16_t tool;
    int16_t kind;
    float* length;
    float* depth;
  };
  DocState* ds = doc.ds();
  const Fixture fixtures[] = {{kToolBathTub, 95, &ds->bathTubSetting1, &ds->bathTubSetting2},
                              {kToolSpaTub, 96, &ds->spaTubSetting1, &ds->spaTubSetting2},
                              {kToolShower, 97, &ds->showerSetting1, &ds->showerSetting2}};
  for (const Fixture& f : fixtures) {
    SCOPED_TRACE(f.kind);
    DeleteSymbolList(gSymbol2DList == saved2D ? nullptr : gSymbol2DList);
    gSymbol2DList = OneSquareSymbolEntry(f.kind);  // 8 by 8 units
    *f.length = 70.87f;  // 1.8 m by 0.75 m
    *f.depth = 29.53f;
    Objex* wall = AddTestWall(doc, {{0, 0}, {400, 0}});
    {
      ScriptedModalEvents events;
      events.drag(200, 20).up(200, 20);
      pressOnSegment(wall, 200, 0);
      begin(f.tool, 200, 0);
    }
    Objex* fixture = lastChild(wall);
    ASSERT_NE(fixture, nullptr);
    ASSERT_EQ(fixture->subtype, f.kind);
    const DoorWindowData* data = AttachmentData(fixture);
    EXPECT_NEAR(data->width, units(70.87f), 0.01f);
    EXPECT_NEAR(data->height, units(29.53f), 0.01f);
    // The preview of the slide (window points are plan points here).
    overlay.removePointsFromAllPaths();
    const FloatPoint first{200 - data->width / 2, 0}, second{200 + data->width / 2, 0}, centre{200, 0};
    DrawAttachment(&first, &centre, &second, 0, 0, f.kind, wall, data->width, data->height, 1);
    const NSRect preview = overlay.activePathBounds();
    EXPECT_NEAR(preview.size.width, data->width, 3);
    EXPECT_NEAR(preview.size.height, data->height, 3);
    for (const uint8_t printing : {0, 1}) {
      gPrinting = printing;
      ctx.clear();
      DrawObject(nullptr, fixture, nullptr, kDrawFlagAll, nullptr);
      gPrinting = 0;
      const auto points = ctx.strokedLinePoints();
      ASSERT_FALSE(points.empty()) << int(printing);
      float low[2] = {points[0].x, points[0].y}, high[2] = {points[0].x, points[0].y};
      for (const NSPoint& p : points) {
        low[0] = std::min(low[0], p.x), high[0] = std::max(high[0], p.x);
        low[1] = std::min(low[1], p.y), high[1] = std::max(high[1], p.y);
      }
      const NSPoint a = ProjectPlanPoint({0, 0}, printing), b = ProjectPlanPoint({data->width, data->height}, printing);
      EXPECT_NEAR(high[0] - low[0], std::fabs(b.x - a.x), 3) << int(printing);
      EXPECT_NEAR(high[1] - low[1], std::fabs(b.y - a.y), 3) << int(printing);
    }
  }
}

// The footprint each wall component tool places, in inches (tubs and showers at the sizes the
// test sets), and the style setting that picks the kind.
struct WallKind {
  uint16_t tool;
  int16_t kind;
  float width, depth;
  int32_t DocState::*style = nullptr;
  int32_t styleValue = 0;
};
const WallKind kWallKinds[] = {
    {kToolReceptacle110, 55, 6, 12},
    {kToolReceptacle110Style, 65, 6, 12, &DocState::receptacleStyle1, 8},
    {kToolReceptacle110Style, 66, 6, 12, &DocState::receptacleStyle1, 9},
    {kToolReceptacle110Style, 67, 6, 12, &DocState::receptacleStyle1, 10},
    {kToolReceptacle220, 70, 6, 12},
    {kToolSwitch, 73, 6, 16},
    {kToolMultiWaySwitch, 74, 6, 16, &DocState::switchStyle1, 8},
    {kToolMultiWaySwitch, 75, 6, 16, &DocState::switchStyle1, 9},
    {kToolMultiWaySwitch, 76, 6, 16, &DocState::switchStyle1, 10},
    {kToolDimmerSwitch, 77, 6, 16, &DocState::switchStyle2, 8},
    {kToolDimmerSwitch, 78, 6, 16, &DocState::switchStyle2, 9},
    {kToolFloodLight, 83, 25, 11},
    {kToolCableOutlet, 84, 10, 12},
    {kToolPhoneOutlet, 85, 10, 12},
    {kToolSmokeDetector, 86, 10, 14},
    {kToolThermostat, 87, 10, 14},
    {kToolHoseBib, 99, 6, 12},
    {kToolGasBib, 109, 6, 12},
    {kToolToilet, 90, 24, 30},
    {kToolSingleSink, 91, 36, 24},
    {kToolDoubleSink, 92, 36, 24},
    {kToolTripleSink, 93, 36, 24},
    {kToolOvalSink, 94, 21, 16},
    {kToolBathTub, 95, 72, 30},
    {kToolSpaTub, 96, 66, 36},
    {kToolShower, 97, 36, 42},
    {kToolBaseboardHeater, 124, 48, 6},
};

// The box of the points of the stroked lines drawn (window points).
NSRect DrawnBox(const RecordingDrawContext& ctx) {
  const auto points = ctx.strokedLinePoints();
  if (points.empty()) return NSRect{};
  float low[2] = {points[0].x, points[0].y}, high[2] = {points[0].x, points[0].y};
  for (const NSPoint& p : points) {
    low[0] = std::min(low[0], p.x), high[0] = std::max(high[0], p.x);
    low[1] = std::min(low[1], p.y), high[1] = std::max(high[1], p.y);
  }
  return NSMakeRect(low[0], low[1], high[0] - low[0], high[1] - low[1]);
}

// Every wall component placed with its tool from the shipped symbols is drawn over exactly the
// footprint it is placed with: along the wall about its middle, and out from the wall face to
// its depth on the side it was dragged to; on a wall along x and one along z, on both faces; and
// its slide preview at the same size. The symbols are made at a new design's plan scale (36): at
// another one a tub or shower is still stretched to its footprint, any other kind is drawn at
// scale 1, in the symbol's own plan units.
TEST_F(WallComponents, EveryWallComponentIsDrawnOverItsFootprint) {
  PlanRecording plan;
  RecordingDrawContext& ctx = plan.ctx;
  SetLocalSupportRoot(BuildTreeContentRoot());
  gSymbol2DList = nullptr;
  Load2DSymbolList();  // the shipped list (freed by the fixture)
  DocState* ds = doc.ds();
  ds->bathTubSetting1 = 72, ds->bathTubSetting2 = 30;  // each stretched unlike the others
  ds->spaTubSetting1 = 66, ds->spaTubSetting2 = 36;
  ds->showerSetting1 = 36, ds->showerSetting2 = 42;
  for (const float scale : {36.0f, 72.0f}) {
    ds->planScale = scale;
    for (const WallKind& k : kWallKinds) {
      if (k.style) ds->*k.style = k.styleValue;
      for (const bool alongZ : {false, true})
        for (const int side : {1, -1}) {
          SCOPED_TRACE(testing::Message() << "kind " << k.kind << " scale " << scale
                                          << (alongZ ? " along z" : " along x") << " side " << side);
          Objex* wall = alongZ ? AddTestWall(doc, {{0, 0}, {0, 400}}) : AddTestWall(doc, {{0, 0}, {400, 0}});
          const int32_t x = alongZ ? 0 : 200, z = alongZ ? 200 : 0;
          const int32_t toX = alongZ ? 20 * side : 200, toZ = alongZ ? 200 : 20 * side;
          {
            ScriptedModalEvents events;
            events.drag(toX, toZ).up(toX, toZ);
            pressOnSegment(wall, x, z);
            begin(k.tool, x, z);
          }
          Objex* c = lastChild(wall);
          ASSERT_NE(c, nullptr);
          ASSERT_EQ(c->subtype, k.kind);
          const DoorWindowData* data = AttachmentData(c);
          ASSERT_NE(data, nullptr);
          EXPECT_NEAR(data->width, units(k.width), 0.01f);
          EXPECT_NEAR(data->height, units(k.depth), 0.01f);
          // The footprint in plan units: the middle along the wall, the face, the side.
          const Poinz* p = c->firstPoint;
          const int along = alongZ ? 2 : 0, across = alongZ ? 0 : 2;
          const float middle = (p->position[along] + p->next->position[along]) / 2;
          const float out = p->next->next->position[across] > 0 ? 1.0f : -1.0f;
          EXPECT_EQ(out, static_cast<float>(side));
          const float face = units(wall->width) / 2;
          const bool sized = k.kind >= 95 && k.kind <= 97;
          const float symbolUnits = sized ? 1.0f : scale / 36.0f;
          const float width = data->width * symbolUnits, depth = data->height * symbolUnits;
          float corner[2][2];
          for (int end = 0; end < 2; ++end) {
            corner[end][along == 0 ? 0 : 1] = middle + (end ? 0.5f : -0.5f) * width;
            corner[end][across == 0 ? 0 : 1] = out * (face + (end ? depth : 0));
          }
          const NSPoint a = ProjectPlanPoint({corner[0][0], corner[0][1]}, false);
          const NSPoint b = ProjectPlanPoint({corner[1][0], corner[1][1]}, false);
          ctx.clear();
          DrawObject(nullptr, c, nullptr, kDrawFlagAll, nullptr);
          const NSRect drawn = DrawnBox(ctx);
          EXPECT_NEAR(drawn.origin.x, std::min(a.x, b.x), 0.05f);
          EXPECT_NEAR(drawn.origin.y, std::min(a.y, b.y), 0.05f);
          EXPECT_NEAR(drawn.origin.x + drawn.size.width, std::max(a.x, b.x), 0.05f);
          EXPECT_NEAR(drawn.origin.y + drawn.size.height, std::max(a.y, b.y), 0.05f);
          if (alongZ || side != 1) continue;
          // The preview of the slide (window points are plan points here), whole points.
          overlay.removePointsFromAllPaths();
          const FloatPoint first{200 - data->width / 2, 0}, second{200 + data->width / 2, 0}, centre{200, 0};
          DrawAttachment(&first, &centre, &second, 0, data->flipHorizontal, k.kind, wall, data->width, data->height, 0);
          const NSRect preview = overlay.activePathBounds();
          EXPECT_NEAR(preview.size.width, width, 1.01f);
          EXPECT_NEAR(preview.size.height, depth, 1.01f);
        }
    }
  }
}

// No two kinds of the shipped plan symbols are drawn alike, even at another size: each kind's
// lines compared relative to its own extent.
TEST_F(WallComponents, NoTwoShippedSymbolsAreDrawnAlike) {
  SetLocalSupportRoot(BuildTreeContentRoot());
  gSymbol2DList = nullptr;
  Load2DSymbolList();
  using Run = std::vector<std::pair<long, long>>;
  std::map<std::vector<Run>, int16_t> drawings;
  size_t kinds = 0;
  for (const Objex* e = gSymbol2DList; e; e = e->next, ++kinds) {
    std::vector<const Objex*> parts;
    for (const Objex* part = e->firstChild; part; part = part->next) {
      parts.push_back(part);
      for (const Objex* c = part->firstChild; c; c = c->next) parts.push_back(c);
    }
    ASSERT_FALSE(parts.empty()) << e->type;
    float low[2] = {1e9f, 1e9f}, high[2] = {-1e9f, -1e9f};
    for (const Objex* part : parts)
      for (const Poinz* p = part->firstPoint; p; p = p->next)
        for (int k = 0; k < 2; ++k) {
          low[k] = std::min(low[k], p->position[2 * k]);
          high[k] = std::max(high[k], p->position[2 * k]);
        }
    std::vector<Run> runs;
    for (const Objex* part : parts) {
      Run run;
      for (const Poinz* p = part->firstPoint; p; p = p->next) {
        long at[2];
        for (int k = 0; k < 2; ++k)
          at[k] = high[k] > low[k] ? std::lround(1000 * (p->position[2 * k] - low[k]) / (high[k] - low[k])) : 0;
        run.push_back({at[0], at[1]});
      }
      if (part->closed) run.push_back(run.front());
      runs.push_back(run);
    }
    std::sort(runs.begin(), runs.end());
    const auto [at, added] = drawings.emplace(runs, e->type);
    EXPECT_TRUE(added) << "kind " << e->type << " is drawn as kind " << at->second;
  }
  EXPECT_EQ(kinds, 51u);
}

TEST_F(WallComponents, TheSlidePreviewIsDrawnAtThePointerAtEveryZoom) {
  for (const float zoom : {0.5f, 2.0f}) {
    doc.ds()->zoomFactor = zoom;
    Objex* wall = AddTestWall(doc, {{0, 0}, {200, 0}});
    const auto at = [zoom](float x) { return static_cast<int32_t>(std::lround(x * zoom)); };
    OutlineWatch events(&overlay);
    events.drag(at(120), 0).up(at(150), 0);
    pressOnSegment(wall, at(100), 0);
    begin(kToolWallBreak, at(100), 0);
    // The break's line across the wall, at the press and then at the pointer, in window points.
    ASSERT_EQ(events.seen.size(), 2u) << zoom;
    EXPECT_NEAR(events.seen[0].origin.x, at(100), 1) << zoom;
    EXPECT_NEAR(events.seen[1].origin.x, at(120), 1) << zoom;
    EXPECT_NEAR(events.seen[1].size.height, units(wall->width) * 5 * 2 * zoom, 2) << zoom;
    EXPECT_NEAR(wall->firstPoint->next->position[0], 150, 1 / zoom) << zoom;
  }
}

}  // namespace
