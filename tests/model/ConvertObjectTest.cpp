// Object type conversion: which shapes each conversion takes, the fields it gives, and
// the undo names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/ConvertObject.h"
#include "model/DocState.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/ShapeBuilders.h"

namespace {

std::vector<std::string>* sUndoNames = nullptr;

struct UndoNameSink {
  std::vector<std::string> names;
  UndoNameSink() {
    sUndoNames = &names;
    gFrontEnd.storeUndo = [](const std::string& name) { sUndoNames->push_back(name); };
  }
  ~UndoNameSink() {
    gFrontEnd.storeUndo = nullptr;
    sUndoNames = nullptr;
  }
};

// A drawn detail shape with a name and a pattern, as the drawing tools leave it.
Objex* Shape(TestDocument& doc, bool closed, std::initializer_list<std::pair<float, float>> pts,
             int32_t subtype = kSubDetailPolygon) {
  Objex* o = doc.addObject(kObjDetail, closed, pts);
  o->subtype = subtype;
  o->fillPattern = 3;
  o->extraLong = 9;
  o->name = strdup("sketch");
  return o;
}

constexpr RGBColor kWhite{65535, 65535, 65535};

}  // namespace

TEST(ConvertObject, UndoNamesFollowTheCommands) {
  EXPECT_STREQ(ConversionUndoName(kCmdConvertToFoundationStrand), "Convert to Foundation Post-Tension Strand");
  EXPECT_STREQ(ConversionUndoName(kCmdConvertToPathway), "Convert to Pathway/Driveway");
  EXPECT_STREQ(ConversionUndoName(kCmdConvertToEdging), "Convert to Edging");
  EXPECT_STREQ(ConversionUndoName(kCmdConvertToDeckCutout), "Convert to Deck Cutout");
  EXPECT_EQ(ConversionUndoName(10049), nullptr);
  EXPECT_EQ(ConversionUndoName(10080), nullptr);
}

TEST(ConvertObject, StraightLineBecomesAirDuct) {
  TestDocument doc;
  UndoNameSink undo;
  doc.ds()->newObjectPlanMask = 32;
  doc.ds()->airDuctSetting1 = 8;
  doc.ds()->airDuctSetting2 = 12;
  Objex* line = Shape(doc, false, {{0, 0}, {100, 0}}, kSubDetailLine);
  const uint32_t id = line->objectID;
  EXPECT_TRUE(ConvertObjectType(line, kCmdConvertToAirDuct));
  EXPECT_EQ(line->type, kObjAirDuct);
  EXPECT_EQ(line->objectID, id);
  EXPECT_EQ(line->closed, 0);
  EXPECT_EQ(line->planMask, 32);
  EXPECT_EQ(line->params[2], 8);
  EXPECT_EQ(line->params[3], 12);
  EXPECT_EQ(line->subtype, 0);
  EXPECT_EQ(line->fillPattern, 0);
  EXPECT_EQ(line->extraLong, 0);
  EXPECT_EQ(line->name, nullptr);
  EXPECT_EQ(undo.names, (std::vector<std::string>{"Convert to HVAC Air Duct"}));
  EXPECT_MODEL_SOUND();
}

TEST(ConvertObject, RefusedConversionLeavesTheObjectAsItWas) {
  TestDocument doc;
  UndoNameSink undo;
  ServiceCallRecorder calls;
  Objex* poly = Shape(doc, false, {{0, 0}, {100, 0}, {100, 100}});
  EXPECT_FALSE(ConvertObjectType(poly, kCmdConvertToAirDuct));
  Objex* curved = Shape(doc, false, {{0, 0}, {100, 0}}, kSubDetailCurve);
  curved->firstPoint->outHandle[0] = 20;
  EXPECT_FALSE(ConvertObjectType(curved, kCmdConvertToFoundationStrand));
  Objex* closedShape = Shape(doc, true, {{0, 0}, {100, 0}, {100, 100}});
  EXPECT_FALSE(ConvertObjectType(closedShape, kCmdConvertToPathway));
  Objex* twoPoints = Shape(doc, false, {{0, 0}, {100, 0}});
  EXPECT_FALSE(ConvertObjectType(twoPoints, kCmdConvertToFloor));
  EXPECT_FALSE(ConvertObjectType(twoPoints, kCmdConvertToOpenPolygon));
  for (Objex* o : {poly, curved, closedShape, twoPoints}) {
    EXPECT_EQ(o->type, kObjDetail);
    EXPECT_NE(o->subtype, 0);
    EXPECT_EQ(o->fillPattern, 3);
    EXPECT_EQ(o->extraLong, 9);
    ASSERT_NE(o->name, nullptr);
    EXPECT_STREQ(o->name, "sketch");
  }
  EXPECT_TRUE(undo.names.empty());
  // Refusals still refresh the inspector and the plan.
  EXPECT_EQ(calls.count("Refresh"), 5u);
  EXPECT_EQ(calls.count("UpdateInspectorPropertiesState"), 5u);

  // Outside the command range nothing happens at all.
  calls.calls.clear();
  EXPECT_FALSE(ConvertObjectType(poly, 10080));
  EXPECT_TRUE(calls.calls.empty());
}

TEST(ConvertObject, ObjectsOwningRecordsAreRefused) {
  TestDocument doc;
  Objex* box = Shape(doc, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  box->typeData = calloc(1, 16);
  EXPECT_FALSE(ConvertObjectType(box, kCmdConvertToFloor));
  free(box->typeData);
  box->typeData = nullptr;
  Objex* group = Shape(doc, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  AddChild(group, kObjLine, {{0, 0}, {5, 5}});
  EXPECT_FALSE(ConvertObjectType(group, kCmdConvertToDeckWithRailing));
  EXPECT_EQ(group->type, kObjDetail);
  EXPECT_MODEL_SOUND();
}

TEST(ConvertObject, ExteriorWallPlanDependsOnTheFloor) {
  TestDocument doc;
  UndoNameSink undo;
  doc.first->height = 96;
  Objex* first = Shape(doc, false, {{0, 0}, {100, 0}, {100, 100}});
  ServiceCallRecorder calls;
  EXPECT_TRUE(ConvertObjectType(first, kCmdConvertToExteriorWall));
  EXPECT_EQ(first->type, kObjWall);
  EXPECT_EQ(first->subtype, kSubExteriorWall);
  EXPECT_EQ(first->planMask, 1);
  int16_t expectedSide = 0;
  for (Poinz* p = first->firstPoint; p; p = p->next, expectedSide ^= 1) {
    EXPECT_EQ(p->segmentShort2, expectedSide);  // the sides alternate along the points
    EXPECT_EQ(p->segmentFloats[0], 96);
    ASSERT_NE(p->trim1, nullptr);
    ASSERT_NE(p->trim2, nullptr);
    EXPECT_NE(p->trim1, p->trim2);
    EXPECT_EQ(static_cast<TrimData*>(p->trim1)->slotTextureIDs[3], 2212);
  }
  EXPECT_TRUE(calls.called("Update3DWall", first->objectID));
  EXPECT_EQ(calls.count("ConnectWallPoint"), 2u);
  EXPECT_TRUE(calls.called("ReRenderObject", first->objectID));

  doc.model.itsCurLayer = doc.second;
  Objex* upper = Shape(doc, false, {{0, 0}, {100, 0}}, kSubDetailLine);
  EXPECT_TRUE(ConvertObjectType(upper, kCmdConvertToExteriorWall));
  EXPECT_EQ(upper->planMask, 2);
  EXPECT_EQ(undo.names, (std::vector<std::string>{"Convert to Exterior Wall", "Convert to Exterior Wall"}));
  EXPECT_MODEL_SOUND();
}

TEST(ConvertObject, InteriorAndRetainingWalls) {
  TestDocument doc;
  doc.ds()->newObjectPlanMask = 128;
  Objex* interior = Shape(doc, true, {{0, 0}, {100, 0}, {100, 100}});
  ServiceCallRecorder calls;
  EXPECT_TRUE(ConvertObjectType(interior, kCmdConvertToInteriorWall));
  EXPECT_EQ(interior->planMask, 2);
  EXPECT_EQ(interior->options[0], 1);
  EXPECT_EQ(static_cast<TrimData*>(interior->firstPoint->trim2)->trimCodeA, 3);
  EXPECT_EQ(calls.count("ConnectWallPoint"), 0u);  // closed: nothing to join
  Objex* retaining = Shape(doc, false, {{0, 0}, {100, 0}});
  EXPECT_TRUE(ConvertObjectType(retaining, kCmdConvertToRetainingWall));
  EXPECT_EQ(retaining->planMask, 128);
  EXPECT_EQ(retaining->firstPoint->segmentFloats[0], 36);
  EXPECT_EQ(retaining->firstPoint->segmentFloats[4], 36);
  EXPECT_EQ(calls.count("ConnectWallPoint"), 0u);
  // Converting a wall again replaces its trim records (the old ones are freed).
  EXPECT_TRUE(ConvertObjectType(retaining, kCmdConvertToInteriorWall));
  EXPECT_MODEL_SOUND();
}

TEST(ConvertObject, WallTurnedIntoAnotherTypeFreesItsTrimRecords) {
  TestDocument doc;
  Objex* room = Shape(doc, true, {{0, 0}, {100, 0}, {100, 100}});
  EXPECT_TRUE(ConvertObjectType(room, kCmdConvertToInteriorWall));
  EXPECT_TRUE(ConvertObjectType(room, kCmdConvertToFloor));
  EXPECT_EQ(room->type, kObjFloor);
  for (Poinz* p = room->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->trim1, nullptr);
    EXPECT_EQ(p->trim2, nullptr);
  }
  Objex* run = Shape(doc, true, {{0, 0}, {100, 0}, {100, 100}});
  EXPECT_TRUE(ConvertObjectType(run, kCmdConvertToExteriorWall));
  EXPECT_TRUE(ConvertObjectType(run, kCmdConvertToFence));
  EXPECT_EQ(run->pointCount, 4);
  for (Poinz* p = run->firstPoint; p; p = p->next) EXPECT_EQ(p->trim1, nullptr);
  EXPECT_MODEL_SOUND();
}

TEST(ConvertObject, OvalBecomesPierOfItsDiameter) {
  TestDocument doc;
  ViewStateGuard view;
  doc.ds()->viewPlane = 2;
  Objex* oval = BuildOval(0, 0, 100, 100, doc.first, 0);
  ASSERT_NE(oval, nullptr);
  ConvertXYtoXZ(oval);
  oval->type = kObjDetail;
  oval->subtype = kSubDetailOval;
  ASSERT_EQ(oval->pointCount, 4);
  EXPECT_TRUE(ConvertObjectType(oval, kCmdConvertToFoundationPier));
  EXPECT_EQ(oval->type, kObjFoundationPier);
  EXPECT_NEAR(oval->params[0], ConvertScreenToWorld(100, doc.ds(), 0), 0.01);

  Objex* rect = Shape(doc, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, kSubDetailRect);
  EXPECT_FALSE(ConvertObjectType(rect, kCmdConvertToFoundationPier));
  EXPECT_EQ(rect->type, kObjDetail);
}

TEST(ConvertObject, ClosedRectangleFenceRunsAllFourSides) {
  TestDocument doc;
  doc.ds()->fenceStyle = 700;
  doc.ds()->fenceColor = RGBColor{1, 1, 1};
  Objex* rect = Shape(doc, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, kSubDetailRect);
  ServiceCallRecorder calls;
  EXPECT_TRUE(ConvertObjectType(rect, kCmdConvertToFence));
  EXPECT_EQ(rect->type, kObjFence);
  EXPECT_EQ(rect->closed, 0);
  ASSERT_EQ(rect->pointCount, 5);
  Poinz* last = PointAt(rect, 4);
  EXPECT_EQ(last->position[0], 0);
  EXPECT_EQ(last->position[2], 0);
  EXPECT_EQ(rect->textureID, 700);
  EXPECT_EQ(rect->penColor, (RGBColor{1, 1, 1}));
  EXPECT_EQ(last->textureID[0], gFenceDefaultTexture);
  EXPECT_TRUE(calls.called("UpdateFenceObject", rect->objectID));
  EXPECT_MODEL_SOUND();
}

TEST(ConvertObject, EdgingStoresItsUndoStep) {
  TestDocument doc;
  UndoNameSink undo;
  Objex* line = Shape(doc, false, {{0, 0}, {50, 0}, {50, 50}});
  EXPECT_TRUE(ConvertObjectType(line, kCmdConvertToEdging));
  EXPECT_EQ(line->type, kObjEdging);
  EXPECT_EQ(line->extraFlags, 1);
  EXPECT_EQ(line->firstPoint->textureID[1], gEdgingDefaultTexture);
  EXPECT_EQ(undo.names, (std::vector<std::string>{"Convert to Edging"}));
}

TEST(ConvertObject, ClosingDropsARepeatedLastPoint) {
  TestDocument doc;
  UndoNameSink undo;
  Objex* poly = Shape(doc, false, {{0, 0}, {100, 0}, {100, 100}, {0.4f, -0.3f}});
  EXPECT_TRUE(ConvertObjectType(poly, kCmdConvertToClosedPolygon));
  EXPECT_EQ(poly->closed, 1);
  EXPECT_EQ(poly->pointCount, 3);
  EXPECT_EQ(poly->fillPattern, 1);
  EXPECT_EQ(poly->subtype, kSubDetailPolygon);
  EXPECT_EQ(poly->extraLong, 9);
  EXPECT_EQ(poly->name, nullptr);
  EXPECT_TRUE(ConvertObjectType(poly, kCmdConvertToOpenPolygon));
  EXPECT_EQ(poly->closed, 0);
  EXPECT_EQ(poly->pointCount, 4);
  EXPECT_EQ(poly->subtype, kSubDetailPolygon);
  EXPECT_EQ(undo.names, (std::vector<std::string>{"Convert to Closed Polygon", "Convert to Open Polygon"}));
  // A line drawn out and back: the return point goes too.
  Objex* back = Shape(doc, false, {{0, 0}, {100, 0}, {0, 0}});
  EXPECT_TRUE(ConvertObjectType(back, kCmdConvertToClosedPolygon));
  EXPECT_EQ(back->pointCount, 2);
  EXPECT_EQ(back->firstPoint->next->next, nullptr);
  // Two points on one spot stay two.
  Objex* dot = Shape(doc, false, {{5, 5}, {5, 5}});
  EXPECT_TRUE(ConvertObjectType(dot, kCmdConvertToClosedPolygon));
  EXPECT_EQ(dot->pointCount, 2);
  EXPECT_MODEL_SOUND();
}

TEST(ConvertObject, DeckPointsAndMaterialRowsOutsideTheTable) {
  TestDocument doc;
  doc.ds()->deckHeight = 36;
  doc.ds()->deckSkirting = 1;
  Objex* deck = Shape(doc, false, {{0, 0}, {100, 0}, {100, 100}});
  EXPECT_TRUE(ConvertObjectType(deck, kCmdConvertToDeckWithRailing));
  EXPECT_EQ(deck->closed, 1);
  for (Poinz* p = deck->firstPoint; p; p = p->next) {
    EXPECT_EQ(p->segmentFlags, 37);
    EXPECT_EQ(p->position[1], -ConvertWorldToScreen(36, doc.ds(), 0));
  }
  doc.ds()->fillMaterial = 5000;  // beyond the material table: black, no over-read
  Objex* fill = Shape(doc, false, {{0, 0}, {100, 0}, {100, 100}});
  EXPECT_TRUE(ConvertObjectType(fill, kCmdConvertToGroundFillRegion));
  EXPECT_EQ(fill->penColor, (RGBColor{}));
  EXPECT_EQ(fill->firstPoint->position[1], 2);
}

TEST(ConvertObject, PolygonConversionsKeepWallAttachmentsOnTheirPoints) {
  TestDocument doc;
  Objex* open = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {100, 100}, {0, 0}});
  Objex* door = AddDoor(open, 2);  // on the segment into the repeated point
  EXPECT_TRUE(ConvertObjectType(open, kCmdConvertToClosedPolygon));
  EXPECT_EQ(open->pointCount, 3);
  EXPECT_EQ(AttachmentData(door)->anchorEnd, open->firstPoint);
  EXPECT_MODEL_SOUND();
  EXPECT_TRUE(ConvertObjectType(open, kCmdConvertToOpenPolygon));
  EXPECT_EQ(open->pointCount, 4);
  EXPECT_EQ(AttachmentData(door)->anchorEnd, PointAt(open, 3));
  EXPECT_MODEL_SOUND();
}

TEST(ConvertObject, FreehandRoofFlattensCurves) {
  TestDocument doc;
  doc.ds()->curveSegments = 4;
  Objex* shape = Shape(doc, false, {{0, 0}, {100, 0}, {100, 100}});
  shape->firstPoint->outHandle[2] = 50;
  ServiceCallRecorder calls;
  EXPECT_TRUE(ConvertObjectType(shape, kCmdConvertToFreehandRoof));
  EXPECT_EQ(shape->type, kObjRoofPanel);
  EXPECT_EQ(shape->closed, 1);
  EXPECT_EQ(shape->pointCount, 6);  // 3 more on the curved segment
  for (Poinz* p = shape->firstPoint; p; p = p->next) EXPECT_EQ(p->outHandle[2], 0);
  EXPECT_EQ(shape->params[0], 270);
  EXPECT_EQ(shape->color2, (RGBColor{57311, 52685, 46517}));
  EXPECT_TRUE(calls.called("Update3DRoofPanel", shape->objectID));
  EXPECT_MODEL_SOUND();
}

// Converting the selection to topography one object at a time rebuilt the whole 3D scene after
// every object. In a batch the first conversion rebuilds and the rest leave one rebuild to its
// end; each object still stores its own undo step. Edging set on the terrain has its parts
// lifted onto the ground by a rebuild: with it, each conversion rebuilds as before.
TEST(ConvertObject, TopographyBatchRebuildsTheSceneOnceKeepingEachUndoStep) {
  for (const bool edging : {false, true}) {
    TestDocument doc;
    if (edging) doc.addObject(kObjEdging, false, {{-50, 0}, {-50, 50}})->auxFlag = 1;
    std::vector<Objex*> shapes;
    for (int i = 0; i < 5; ++i) {
      const float x = 100.0f * static_cast<float>(i);
      shapes.push_back(Shape(doc, true, {{x, 0}, {x + 50, 0}, {x + 50, 50}, {x, 50}}));
    }
    UndoNameSink undo;
    ServiceCallRecorder calls;
    {
      ConversionBatch batch;
      for (Objex* o : shapes) EXPECT_TRUE(ConvertObjectType(o, kCmdConvertToTopography));
      EXPECT_EQ(calls.count("RenderAllLayers"), edging ? 5u : 1u);
    }
    EXPECT_EQ(calls.count("RenderAllLayers"), edging ? 5u : 2u);
    EXPECT_EQ(calls.count("SetLotElevation"), 5u);
    EXPECT_EQ(undo.names, std::vector<std::string>(5, ConversionUndoName(kCmdConvertToTopography)));
    for (Objex* o : shapes) EXPECT_EQ(o->type, kObjTopography);
  }
}
