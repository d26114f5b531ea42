// The command rows of the walkers: roofs carrying selected skylights, attachment flips and
// deletes, rebuild order, turning angles, elevation, floor moves and copies, plan masks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "model/CabinetState.h"
#include "model/CommandWalkers.h"
#include "model/DimensionRecords.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "model/TransformInfo.h"

namespace {

// Index of the first call of routine for the object, or -1.
int CallIndex(const ServiceCallRecorder& r, const char* routine, uint32_t id) {
  for (size_t i = 0; i < r.calls.size(); ++i)
    if (r.calls[i].routine == routine && r.calls[i].objectID == id) return static_cast<int>(i);
  return -1;
}

Objex* AddSkylight(Objex* roof) {
  Objex* s = AddChild(roof, kObjSkylight, {{10, 10}, {20, 10}, {20, 20}, {10, 20}});
  s->closed = 1;
  auto* data = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  data->ownerType = kObjSkylight;
  data->subtype = kSkylightRectangular;
  s->typeData = data;
  return s;
}

struct CommandTable : ::testing::Test {
  TestDocument doc;
  Layer* layers() { return doc.model.itsLayers; }
};

}  // namespace

TEST_F(CommandTable, RoofWithOnlyASelectedSkylightTakesPart) {
  Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  Objex* sky = AddSkylight(roof);
  SetObjectSelectFlags(sky, 1);
  ASSERT_FALSE(IsObjectSelected(roof));

  TransformInfo t{};
  t.delta[0] = 5;
  SelectedObjectAllLayers(layers(), 1, kCmdTranslateObjects, CommandArg::Transform(&t));
  EXPECT_FLOAT_EQ(sky->firstPoint->position[0], 15);  // moved once, not again as a child
  EXPECT_FLOAT_EQ(roof->firstPoint->position[0], 0);

  doc.ds()->snapToGrid = 0;
  doc.ds()->zoomFactor = 1;
  SelectedObjectAllLayers(layers(), 1, kCmdNudgeRight, CommandArg::Doc(doc.ds()));
  EXPECT_FLOAT_EQ(sky->firstPoint->position[0], 16);

  TransformInfo r{};
  r.angle = static_cast<float>(M_PI);
  r.centre[0] = 20;
  r.centre[2] = 20;
  SelectedObjectAllLayers(layers(), 1, kCmdRotateObjects, CommandArg::Transform(&r));
  EXPECT_NEAR(sky->firstPoint->position[0], 24, 1e-3);
  EXPECT_NEAR(sky->firstPoint->position[2], 30, 1e-3);
  EXPECT_FLOAT_EQ(roof->firstPoint->position[0], 0);

  gCommandHappened = 0;
  SelectedObjectAllLayers(layers(), 1, kCmdFlipHorizontal, CommandArg::None());
  EXPECT_EQ(gCommandHappened, 1);
  EXPECT_EQ(static_cast<RoofAttachmentData*>(sky->typeData)->flags[0], 1);
  EXPECT_FLOAT_EQ(roof->firstPoint->position[0], 0);
  gCommandHappened = 0;
  EXPECT_MODEL_SOUND();
}

TEST_F(CommandTable, DeletingADoorRebuildsTheWallFirst) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = AddDoor(wall, 0);
  SetObjectSelectFlags(door, 1);
  ServiceCallRecorder calls;
  // Attachments are deleted by walking every object: a wall does not count as selected
  // through its children.
  SelectedObjectAllLayers(layers(), 0, kCmdDelete, CommandArg::None());
  EXPECT_EQ(wall->firstChild, nullptr);
  const int update = CallIndex(calls, "Update3DWall", wall->objectID);
  const int render = CallIndex(calls, "ReRenderObject", wall->objectID);
  ASSERT_GE(update, 0);
  EXPECT_GT(render, update);
  EXPECT_MODEL_SOUND();
}

// Smoothing a railing makes it a curved one at any tension (0 straightens its points);
// straightening keeps its kind.
TEST_F(CommandTable, SmoothingMakesARailingCurvedAtAnyTension) {
  for (int16_t tension : {0, 8}) {
    SCOPED_TRACE(tension);
    Objex* rail = doc.addObject(kObjRailing, false, {{0, 0}, {50, 0}, {100, 20}});
    rail->subtype = kSubCurvedRail - 1;
    SetObjectSelectFlags(rail, 1);
    doc.ds()->curveTension = tension;
    SelectedObjectAllLayers(layers(), 1, kCmdUnsmoothObjects, CommandArg{});
    EXPECT_EQ(rail->subtype, kSubCurvedRail - 1);
    SelectedObjectAllLayers(layers(), 1, kCmdSmoothObjects, CommandArg{});
    EXPECT_EQ(rail->subtype, kSubCurvedRail);
    SetObjectSelectFlags(rail, 0);
  }
}

TEST_F(CommandTable, NudgingADeckRebuildsThenRenders) {
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {10, 0}, {10, 10}});
  SetObjectSelectFlags(deck, 1);
  ServiceCallRecorder calls;
  SelectedObjectAllLayers(layers(), 1, kCmdNudgeUp, CommandArg::Doc(doc.ds()));
  const int update = CallIndex(calls, "Update3DDeck", deck->objectID);
  ASSERT_GE(update, 0);
  EXPECT_GT(CallIndex(calls, "ReRenderObject", deck->objectID), update);
}

TEST_F(CommandTable, LotRowsOnlyWhereTheRowSaysSo) {
  Objex* topo = doc.addObject(kObjTopography, true, {{0, 0}, {10, 0}, {10, 10}});
  SetObjectSelectFlags(topo, 1);
  TransformInfo t{};
  t.scale[0] = t.scale[1] = t.scale[2] = 2;
  {
    ServiceCallRecorder calls;
    SelectedObjectAllLayers(layers(), 1, kCmdScaleObjects, CommandArg::Transform(&t));
    SelectedObjectAllLayers(layers(), 1, kCmdSnapPointsToGrid, CommandArg::None());
    EXPECT_FALSE(calls.called("SetLotElevation"));
  }
  for (int32_t cmd : {kCmdTranslateObjects, kCmdMovePlan, kCmdRotatePlan, kCmdFlipPlanVertical}) {
    ServiceCallRecorder calls;
    SelectedObjectAllLayers(layers(), 1, cmd, CommandArg::Transform(&t));
    EXPECT_TRUE(calls.called("SetLotElevation")) << cmd;
  }
  ServiceCallRecorder calls;
  SelectedObjectAllLayers(layers(), 1, kCmdNudgeLeft, CommandArg::Doc(doc.ds()));
  SelectedObjectAllLayers(layers(), 1, kCmdFlipVertical, CommandArg::None());
  EXPECT_EQ(calls.count("SetLotElevation"), 2u);
}

TEST_F(CommandTable, FlipsOfDoorsAndGarageDoors) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = AddDoor(wall, 0);
  Objex* garage = AddDoor(wall, 0);
  AttachmentData(garage)->subtype = kDoorGarage;
  AttachmentData(door)->auxFloat1 = static_cast<float>(M_PI / 2);  // 90 degrees
  SetObjectSelectFlags(wall, 1);
  ServiceCallRecorder calls;
  SelectedObjectAllLayers(layers(), 1, kCmdFlipHorizontal, CommandArg::None());
  EXPECT_NEAR(AttachmentData(door)->auxFloat1, -M_PI / 2, 1e-5);
  EXPECT_EQ(AttachmentData(door)->flipVertical, 0);  // -90 degrees
  EXPECT_EQ(AttachmentData(garage)->flipHorizontal, 1);
  EXPECT_FLOAT_EQ(AttachmentData(garage)->auxFloat1, 0);
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  // Flipping back turns the swing to +90 degrees: flag 4.
  SelectedObjectAllLayers(layers(), 1, kCmdFlipPlanHorizontal, CommandArg::None());
  EXPECT_EQ(AttachmentData(door)->flipVertical, 4);
  EXPECT_EQ(AttachmentData(garage)->flipHorizontal, 0);
  EXPECT_MODEL_SOUND();
}

TEST_F(CommandTable, LockedDoorStays) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* door = AddDoor(wall, 0);
  SetObjectSelectFlags(door, 1);
  SetObjectLockFlags(door, 1);
  SelectedObjectAllLayers(layers(), 0, kCmdCutObjects, CommandArg::None());
  EXPECT_EQ(wall->firstChild, door);
}

TEST_F(CommandTable, TurnAnglesOfCabinetsAndFixtures) {
  Objex* cabinet = doc.addObject(kObjGroup, false, {});
  cabinet->subtype = kSubCabinet;
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  state->angle = 350;
  cabinet->typeData = state;
  AddChild(cabinet, kObjCabinet, {{0, 0}, {10, 0}, {10, 10}})->firstPoint->selected = 1;
  Objex* fixture = doc.addObject(81, false, {{0, 0}, {10, 0}});
  fixture->params[0] = 350;
  SetObjectSelectFlags(fixture, 1);
  TransformInfo t{};
  t.angle = 20.0f / 57.29578f;
  SelectedObjectAllLayers(layers(), 1, kCmdRotateObjects, CommandArg::Transform(&t));
  EXPECT_NEAR(state->angle, 10, 1e-3);
  EXPECT_NEAR(fixture->params[0], 370, 1e-3);
}

TEST_F(CommandTable, TextTurnsByItsCentre) {
  Objex* text = doc.addObject(kObjDynamicText, true, {{10, 0}, {20, 0}, {20, 10}, {10, 10}});
  SetObjectSelectFlags(text, 1);
  UpdateObjectBounds(text);
  TransformInfo t{};
  t.angle = static_cast<float>(M_PI);
  SelectedObjectAllLayers(layers(), 1, kCmdRotatePlan, CommandArg::Transform(&t));
  // The centre (15, 5) goes to (-15, -5); the shape is only moved.
  EXPECT_NEAR(text->firstPoint->position[0], -20, 1e-3);
  EXPECT_NEAR(text->firstPoint->position[2], -10, 1e-3);
  EXPECT_NEAR(t.delta[0], -30, 1e-3);
}

TEST_F(CommandTable, ColoursStylesTexturesAndPlants) {
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* other = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  SetObjectSelectFlags(line, 1);
  doc.ds()->newPenColor = RGBColor{1, 2, 3};
  doc.ds()->newFillColor = RGBColor{4, 5, 6};
  {
    // 3D faces link to the colours changed: the renderer is told, once per object coloured.
    ServiceCallRecorder calls;
    SelectedObjectAllLayers(layers(), 0, kCmdApplyPenColor, CommandArg::Doc(doc.ds()));
    SelectedObjectAllLayers(layers(), 1, kCmdApplyFillColor, CommandArg::Doc(doc.ds()));
    SelectedObjectAllLayers(layers(), 1, kCmdApplyFillColor, CommandArg::None());  // no DocState
    EXPECT_EQ(calls.count("ResetSceneDisplayList"), 2u);
  }
  EXPECT_EQ(line->penColor, (RGBColor{1, 2, 3}));
  EXPECT_EQ(line->fillColor, (RGBColor{4, 5, 6}));
  EXPECT_EQ(other->penColor, (RGBColor{}));  // walked but not selected

  SelectedObjectAllLayers(layers(), 1, kCmdSetSegmentTexture2, CommandArg::Value(77));
  EXPECT_EQ(line->firstPoint->next->textureID[1], 77);
  EXPECT_EQ(line->firstPoint->textureID[0], 0);

  Objex* plant = doc.addObject(kObjPlant, false, {{0, 0}});
  plant->plantAge = 3;
  SetObjectSelectFlags(plant, 1);
  SelectedObjectAllLayers(layers(), 1, kCmdPlantBounds, CommandArg::Value(-5));
  EXPECT_FLOAT_EQ(plant->plantAge, 1);
  SelectedObjectAllLayers(layers(), 1, kCmdSetPlantingAge, CommandArg::Value(4));
  EXPECT_EQ(plant->fillPattern, 4);
}

TEST_F(CommandTable, DimensionFontsAndArrows) {
  Objex* box = doc.addObject(kObjDimensionInfo, true, {{0, 0}, {10, 0}});
  auto* text = static_cast<DimensionTextData*>(calloc(1, sizeof(DimensionTextData)));
  box->typeData = text;
  Objex* dim = doc.addObject(102, false, {{0, 0}, {50, 0}});
  auto* info = static_cast<DimensionInfoData*>(calloc(1, sizeof(DimensionInfoData)));
  info->flags = 0x80000 | 0x7F;
  info->textBox = box;
  text->dimension = dim;
  dim->typeData = info;
  SetObjectSelectFlags(dim, 1);
  LOGFONT font{};
  font.lfHeight = 14;
  strcpy(font.lfFaceName, "Courier");
  SelectedObjectAllLayers(layers(), 1, kCmdSetDimensionTextFont, CommandArg::Font(&font));
  EXPECT_EQ(text->font.lfHeight, 14);
  EXPECT_STREQ(text->font.lfFaceName, "Courier");
  SelectedObjectAllLayers(layers(), 1, kArrowStyleSolid + 2, CommandArg::None());
  EXPECT_EQ(info->flags, 0x80000 | 4);
  SelectedObjectAllLayers(layers(), 0, kCmdSetDimensionFontSize, CommandArg::Value(18));
  EXPECT_EQ(text->fontSize, 18);
  EXPECT_MODEL_SOUND();
}

TEST_F(CommandTable, ElevatingAWallAndItsWindow) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {100, 100}});
  Objex* window = AddDoor(wall, 0);
  window->type = kObjWindow;
  AttachmentData(window)->ownerType = kObjWindow;
  // Segment 0-1 selected, point 2 not; the window is selected whole.
  PointAt(wall, 0)->selected = 1;
  PointAt(wall, 1)->selected = 1;
  SetObjectSelectFlags(window, 1);
  PointAt(wall, 1)->segmentElevation = 30;
  gBaseElevation = 2;  // feet
  ServiceCallRecorder calls;
  TopLevelObjectAllLayers(layers(), kCmdElevateObjects, CommandArg::Doc(doc.ds()));
  EXPECT_FLOAT_EQ(PointAt(wall, 0)->segmentElevation, 24);
  EXPECT_FLOAT_EQ(PointAt(wall, 1)->segmentElevation, 30);
  EXPECT_FLOAT_EQ(wall->baseElevation, 24);
  // Both anchors selected: the window moves with its segment, not on its own.
  EXPECT_FLOAT_EQ(AttachmentData(window)->elevation, 0);
  EXPECT_FALSE(calls.called("Update3DWall"));

  PointAt(wall, 1)->selected = 0;
  SetObjectSelectFlags(window, 1);
  TopLevelObjectAllLayers(layers(), kCmdPlaceDroppedObjects, CommandArg::Doc(doc.ds()));
  EXPECT_FLOAT_EQ(AttachmentData(window)->elevation, 48);  // 24 inches in plan units
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  gBaseElevation = 0;
}

TEST_F(CommandTable, MovingAWholeWallDownAFloor) {
  doc.model.itsCurLayer = doc.second;
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}});
  wall->baseElevation = 96;
  for (Poinz* p = wall->firstPoint; p; p = p->next) p->segmentElevation = 96;
  AddDoor(wall, 0);
  SetObjectSelectFlags(wall, 1);
  ServiceCallRecorder calls;
  TopLevelObjectAllLayers(layers(), kCmdMoveToLowerFloor, CommandArg::None());
  EXPECT_EQ(wall->layer, doc.first);
  EXPECT_EQ(doc.second->firstObject, nullptr);
  EXPECT_FLOAT_EQ(wall->baseElevation, 0);
  for (Poinz* p = wall->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(p->segmentElevation, 0);
  EXPECT_EQ(wall->planMask, 1);
  EXPECT_FALSE(IsObjectSelected(wall));
  EXPECT_TRUE(calls.called("ResetStandardTool"));
  EXPECT_TRUE(calls.called("UpdateInspectorPropertiesState"));
  EXPECT_MODEL_SOUND();
}

TEST_F(CommandTable, MovingUpFromTheTopFloorDoesNothing) {
  doc.model.itsCurLayer = doc.third;
  Objex* box = doc.addObject(kObjRect, true, {{0, 0}, {10, 0}, {10, 10}});
  box->baseElevation = 5;
  SetObjectSelectFlags(box, 1);
  TopLevelObjectAllLayers(layers(), kCmdMoveToUpperFloor, CommandArg::None());
  TopLevelObjectAllLayers(layers(), kCmdCopyToUpperFloor, CommandArg::None());
  EXPECT_EQ(box->layer, doc.third);
  EXPECT_FLOAT_EQ(box->baseElevation, 5);
  EXPECT_EQ(doc.third->firstObject, box);
  EXPECT_MODEL_SOUND();
}

TEST_F(CommandTable, CopyingUpAFloor) {
  Objex* box = doc.addObject(kObjRect, true, {{0, 0}, {10, 0}, {10, 10}});
  SetObjectSelectFlags(box, 1);
  TopLevelObjectAllLayers(layers(), kCmdCopyToUpperFloor, CommandArg::None());
  EXPECT_EQ(doc.first->firstObject, box);
  EXPECT_EQ(box->next, nullptr);
  EXPECT_FALSE(IsObjectSelected(box));
  Objex* copy = doc.second->firstObject;
  ASSERT_NE(copy, nullptr);
  EXPECT_FLOAT_EQ(copy->baseElevation, box->baseElevation + 96);
  EXPECT_FALSE(IsObjectSelected(copy));
  EXPECT_MODEL_SOUND();
}

TEST_F(CommandTable, PlanMasksFrontBackAndTopography) {
  Objex* a = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  Objex* b = doc.addObject(kObjLine, false, {{0, 0}, {10, 0}}, doc.second);
  AddChild(b, kObjLine, {{0, 0}, {1, 0}});
  Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  SetObjectSelectFlags(a, 1);
  SetObjectSelectFlags(b, 1);
  TopLevelObjectAllLayers(layers(), kCmdMoveToRoofingPlan, CommandArg::None());
  EXPECT_EQ(a->planMask, 16);
  EXPECT_EQ(b->planMask, 16);
  TopLevelObjectAllLayers(layers(), kCmdMoveToDetailPlan, CommandArg::None());
  EXPECT_EQ(a->planMask, 256);

  SetObjectSelectFlags(b, 1);
  TopLevelObjectAllLayers(layers(), kCmdSendToBack, CommandArg::None());
  EXPECT_EQ(doc.first->firstObject, b);  // onto the current layer, first
  EXPECT_EQ(b->firstChild->layer, doc.first);
  SetObjectSelectFlags(b, 1);
  TopLevelObjectAllLayers(layers(), kCmdBringToFront, CommandArg::None());
  EXPECT_EQ(floor->next, b);
  EXPECT_MODEL_SOUND();

  SetObjectSelectFlags(floor, 1);
  SetObjectSelectFlags(a, 1);
  gTopoFloatNA = 0;
  TopLevelObjectAllLayers(layers(), kCmdFloatAboveTopography, CommandArg::None());
  EXPECT_EQ(gTopoFloatNA, 1);
  EXPECT_EQ(floor->auxFlag, 0);
  EXPECT_EQ(a->auxFlag, 1);
  gTopoFloatNA = 0;
}
