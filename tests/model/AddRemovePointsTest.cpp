// Adding points on straight segments and removing points, with the attachment sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ChildBuilders.h"
#include "ModelInvariants.h"
#include "TestDocument.h"
#include "ViewStateGuard.h"
#include "model/AddRemovePoints.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "platform/Alerts.h"

namespace {

std::vector<std::string>* sUndoNames = nullptr;

// Collects the undo action names the model asks for.
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

std::vector<std::pair<float, float>> PlanPoints(const Objex* o) {
  std::vector<std::pair<float, float>> pts;
  for (const Poinz* p = o->firstPoint; p; p = p->next) pts.emplace_back(p->position[0], p->position[2]);
  return pts;
}

int CountChildren(const Objex* o) {
  int n = 0;
  for (const Objex* c = o->firstChild; c; c = c->next) ++n;
  return n;
}

ClickInfo ClickAt(int32_t x, int32_t y) {
  ClickInfo click{};
  click.where = POINT{x, y};
  return click;
}

}  // namespace

TEST(RemovePoint, ThreePointWallBecomesOpenTwoPointWall) {
  TestDocument doc;
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}});
  PointAt(wall, 1)->selected = 1;
  ServiceCallRecorder calls;
  EXPECT_EQ(RemovePoint(wall, PointAt(wall, 1), doc.ds()), 1);
  EXPECT_EQ(wall->pointCount, 2);
  EXPECT_EQ(wall->closed, 0);
  EXPECT_EQ(PlanPoints(wall), (std::vector<std::pair<float, float>>{{0, 0}, {100, 100}}));
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  EXPECT_MODEL_SOUND();
}

TEST(RemovePoint, TooFewPointsShowsTheCount) {
  TestDocument doc;
  ScopedAlertRecorder alerts;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  wall->firstPoint->selected = 1;
  EXPECT_EQ(RemovePoint(wall, wall->firstPoint, doc.ds()), 0);
  EXPECT_EQ(wall->pointCount, 2);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to delete point.");
  EXPECT_EQ(alerts.shown[0].informative, "This object must contain at least 2 points.");

  Objex* rect = doc.addObject(kObjDetail, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  rect->subtype = kSubDetailRect;
  rect->firstPoint->selected = 1;
  EXPECT_EQ(RemovePoint(rect, rect->firstPoint, doc.ds()), 0);
  EXPECT_EQ(rect->pointCount, 4);
  EXPECT_TRUE(alerts.sawMessage("This object must contain at least 4 points."));
}

TEST(RemovePoint, SilentRefusals) {
  TestDocument doc;
  ScopedAlertRecorder alerts;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}});
  EXPECT_EQ(RemovePoint(wall, PointAt(wall, 1), doc.ds()), 0);  // not selected
  Objex* plant = doc.addObject(kObjPlant, false, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});
  plant->firstPoint->selected = 1;
  EXPECT_EQ(RemovePoint(plant, plant->firstPoint, doc.ds()), 0);
  Objex* text = doc.addObject(kObjDetail, false, {{0, 0}, {1, 0}, {2, 0}});
  text->subtype = 9;
  text->firstPoint->selected = 1;
  EXPECT_EQ(RemovePoint(text, text->firstPoint, doc.ds()), 0);
  // A point of another object.
  PointAt(wall, 1)->selected = 1;
  EXPECT_EQ(RemovePoint(plant, PointAt(wall, 1), doc.ds()), 0);
  EXPECT_EQ(wall->pointCount, 3);
  EXPECT_EQ(plant->pointCount, 5);
  EXPECT_EQ(text->pointCount, 3);
  EXPECT_TRUE(alerts.shown.empty());
}

TEST(RemovePoint, AttachmentSheetCancelChangesNothing) {
  TestDocument doc;
  UndoNameSink undo;
  ScopedAlertRecorder alerts;
  alerts.answer = 1;  // "Cancel"
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}, {300, 0}});
  Objex* door = AddDoor(wall, 1);  // on the segment after the point
  PointAt(wall, 1)->selected = 1;
  EXPECT_EQ(RemovePoint(wall, PointAt(wall, 1), doc.ds()), 0);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "One or more attachments will be removed.");
  EXPECT_EQ(alerts.shown[0].informative,
            "Deleting this point will cause one or more windows, doors, etc to be removed from the "
            "point's adjoining segments.");
  EXPECT_EQ(alerts.shown[0].buttons, (std::vector<std::string>{"Delete Point", "Cancel"}));
  EXPECT_EQ(wall->pointCount, 4);
  EXPECT_EQ(wall->firstChild, door);
  EXPECT_EQ(gRemovePtTargetObjectID, wall->objectID);
  EXPECT_EQ(gRemovePtTargetPointID, PointAt(wall, 1)->pointID);
  EXPECT_EQ(gRemovePtTargetPrevPointID, PointAt(wall, 0)->pointID);
  EXPECT_EQ(gRemovePtTargetObject, wall);
  EXPECT_EQ(gRemovePtTargetPoint, PointAt(wall, 1));
  EXPECT_EQ(gRemovePtTargetPrevPoint, PointAt(wall, 0));
  EXPECT_TRUE(undo.names.empty());
}

TEST(RemovePoint, AttachmentSheetDeleteRemovesDoorsOnBothSegments) {
  TestDocument doc;
  UndoNameSink undo;
  ScopedAlertRecorder alerts;  // answers "Delete Point"
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}, {300, 0}});
  AddDoor(wall, 0);                // before the point
  AddDoor(wall, 1);                // after it
  Objex* kept = AddDoor(wall, 2);  // elsewhere
  PointAt(wall, 1)->selected = 1;
  ServiceCallRecorder calls;
  EXPECT_EQ(RemovePoint(wall, PointAt(wall, 1), doc.ds()), 0);
  EXPECT_EQ(PlanPoints(wall), (std::vector<std::pair<float, float>>{{0, 0}, {200, 0}, {300, 0}}));
  EXPECT_EQ(CountChildren(wall), 1);
  EXPECT_EQ(wall->firstChild, kept);
  EXPECT_EQ(undo.names, (std::vector<std::string>{"Remove Point"}));
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_TRUE(calls.called("Refresh"));
  EXPECT_MODEL_SOUND();
}

TEST(RemovePoint, DeckStepsSheetText) {
  TestDocument doc;
  ScopedAlertRecorder alerts;
  alerts.answer = 1;
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  AddDeckSteps(deck, PointAt(deck, 3), deck->firstPoint);  // closing segment, before point 0
  deck->firstPoint->selected = 1;
  EXPECT_EQ(RemovePoint(deck, deck->firstPoint, doc.ds()), 0);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative,
            "Deleting this point will cause one or more deck steps to be removed from the point's "
            "adjoining segments.");
  EXPECT_EQ(gRemovePtTargetPrevPointID, PointAt(deck, 3)->pointID);
  EXPECT_EQ(deck->pointCount, 4);
  // Confirming removes the first point and hands the list on.
  const uint32_t secondID = PointAt(deck, 1)->pointID;
  RemovePointSheetDidEnd(kRemovePointSheetConfirmed, gRemovePtTargetObjectID, gRemovePtTargetPointID,
                         gRemovePtTargetPrevPointID);
  EXPECT_EQ(deck->pointCount, 3);
  EXPECT_EQ(deck->firstPoint->pointID, secondID);
  EXPECT_EQ(deck->firstChild, nullptr);
  EXPECT_MODEL_SOUND();
}

TEST(RemovePoint, SheetEndLooksTheTargetsUpAgain) {
  TestDocument doc;
  UndoNameSink undo;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}, {300, 0}});
  AddDoor(wall, 1);
  const uint32_t wallID = wall->objectID;
  const uint32_t pointID = PointAt(wall, 1)->pointID, prevID = PointAt(wall, 0)->pointID;
  // The point went, with its door, while the sheet was open.
  DeletePointAttachments(wall, PointAt(wall, 1));
  RemovePointInObject(wall, PointAt(wall, 1));
  RemovePointSheetDidEnd(kRemovePointSheetConfirmed, wallID, pointID, prevID);
  EXPECT_EQ(wall->pointCount, 3);
  // The previous point is no longer the one before the point.
  RemovePointSheetDidEnd(kRemovePointSheetConfirmed, wallID, PointAt(wall, 2)->pointID, prevID);
  EXPECT_EQ(wall->pointCount, 3);
  // The object is gone.
  RemovePointSheetDidEnd(kRemovePointSheetConfirmed, 99999, pointID, prevID);
  // Any button but "Delete Point".
  RemovePointSheetDidEnd(0, wallID, PointAt(wall, 1)->pointID, prevID);
  EXPECT_EQ(wall->pointCount, 3);
  EXPECT_TRUE(undo.names.empty());
  EXPECT_MODEL_SOUND();
}

TEST(AddPoint, ClickIsCarriedOntoTheSegmentLine) {
  TestDocument doc;
  ViewStateGuard view;
  gGlobalYOffset = 0;
  doc.ds()->zoomFactor = 1.0f;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {100, 100}});
  Poinz* start = wall->firstPoint;
  start->segmentElevation = 7;
  start->segmentFloats[0] = 96;
  auto* trim = static_cast<TrimData*>(calloc(1, sizeof(TrimData)));
  trim->slotTextureIDs[0] = 2213;
  start->trim1 = trim;
  ClickInfo click = ClickAt(40, 30);  // plan distance 50 from the start
  ServiceCallRecorder calls;
  Poinz* added = AddPoint(wall, start, doc.ds(), &click);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(start->next, added);
  EXPECT_NEAR(added->position[0], 50, 1e-3);
  EXPECT_NEAR(added->position[2], 0, 1e-3);
  EXPECT_EQ(added->position[1], 0);
  EXPECT_EQ(added->pointType, 10);
  EXPECT_EQ(added->segmentElevation, 7);
  EXPECT_EQ(added->segmentFloats[0], 96);
  // A wall point owns a copy of the trim record.
  ASSERT_NE(added->trim1, nullptr);
  EXPECT_NE(added->trim1, trim);
  EXPECT_EQ(static_cast<TrimData*>(added->trim1)->slotTextureIDs[0], 2213);
  EXPECT_EQ(wall->pointCount, 4);
  EXPECT_TRUE(calls.called("Update3DWall", wall->objectID));
  EXPECT_MODEL_SOUND();
}

TEST(AddPoint, AttachmentsMoveToTheNewPoint) {
  TestDocument doc;
  ViewStateGuard view;
  gGlobalYOffset = 0;
  doc.ds()->zoomFactor = 1.0f;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  Objex* nearDoor = AddDoor(wall, 0);  // starts 10 along
  Objex* farDoor = AddDoor(wall, 0);
  AttachmentData(farDoor)->startDistance = 70;
  ClickInfo click = ClickAt(50, 0);
  Poinz* added = AddPoint(wall, wall->firstPoint, doc.ds(), &click);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(AttachmentData(nearDoor)->anchorStart, wall->firstPoint);
  EXPECT_EQ(AttachmentData(nearDoor)->anchorEnd, added);
  EXPECT_EQ(AttachmentData(farDoor)->anchorStart, added);
  EXPECT_NEAR(AttachmentData(farDoor)->startDistance, 20, 1e-3);
  EXPECT_MODEL_SOUND();
}

// The garden outlines take points as walls do: a fence, an edging and a path each get the
// point on the clicked segment and are built again along the new outline.
TEST(AddPoint, FencesEdgingsAndPathsTakeAPointAndAreRebuilt) {
  TestDocument doc;
  ViewStateGuard view;
  gGlobalYOffset = 0;
  doc.ds()->zoomFactor = 1.0f;
  struct Kind {
    int16_t type;
    const char* rebuild;
  };
  for (const Kind& k : {Kind{kObjFence, "UpdateFenceObject"}, Kind{kObjEdging, "UpdateEdgingObject"},
                        Kind{kObjPath, "Update3DPath"}}) {
    SCOPED_TRACE(k.rebuild);
    Objex* outline = doc.addObject(k.type, false, {{0, 0}, {100, 0}, {100, 80}});
    ClickInfo click = ClickAt(40, 30);  // plan distance 50 from the start
    ServiceCallRecorder calls;
    Poinz* added = AddPoint(outline, outline->firstPoint, doc.ds(), &click);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(outline->firstPoint->next, added);
    EXPECT_NEAR(added->position[0], 50, 1e-3);
    EXPECT_NEAR(added->position[2], 0, 1e-3);
    EXPECT_EQ(outline->pointCount, 4);
    EXPECT_TRUE(calls.called(k.rebuild, outline->objectID));
  }
  EXPECT_MODEL_SOUND();
}

TEST(AddPoint, Refusals) {
  TestDocument doc;
  ViewStateGuard view;
  ClickInfo click = ClickAt(10, 0);
  Objex* plant = doc.addObject(kObjPlant, false, {{0, 0}, {100, 0}});
  EXPECT_EQ(AddPoint(plant, plant->firstPoint, doc.ds(), &click), nullptr);
  Objex* curve = doc.addObject(kObjPath, false, {{0, 0}, {100, 0}});
  curve->firstPoint->next->inHandle[2] = std::nanf("");
  EXPECT_EQ(AddPoint(curve, curve->firstPoint, doc.ds(), &click), nullptr);
  Objex* line = doc.addObject(kObjPath, false, {{0, 0}, {100, 0}});
  const uint16_t snap = gCurSnap;
  gCurSnap = 503;
  EXPECT_EQ(AddPoint(line, line->firstPoint, doc.ds(), &click), nullptr);
  EXPECT_EQ(AddPointAtPosition(line, line->firstPoint, doc.ds(), 5, 0, 0), nullptr);
  gCurSnap = snap;
  EXPECT_EQ(plant->pointCount + curve->pointCount + line->pointCount, 6);
}

TEST(AddPoint, ClosingSegmentAndDetailFlag) {
  TestDocument doc;
  ViewStateGuard view;
  gGlobalYOffset = 0;
  doc.ds()->zoomFactor = 1.0f;
  Objex* rect = doc.addObject(kObjDetail, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  rect->subtype = kSubDetailRect;
  ClickInfo click = ClickAt(3, 40);
  Poinz* added = AddPoint(rect, PointAt(rect, 3), doc.ds(), &click);  // (0,100) -> (0,0)
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->next, nullptr);
  EXPECT_NEAR(added->position[0], 0, 1e-3);
  EXPECT_NEAR(added->position[2], 100 - std::hypot(3.0f, 60.0f), 1e-3);
  EXPECT_EQ(rect->extraFlags, 1);

  // The last point of an open outline still measures along the line back to the first point.
  Objex* path = doc.addObject(kObjPath, false, {{0, 0}, {100, 0}});
  click = ClickAt(60, 30);  // plan distance 50 from (100, 0)
  added = AddPoint(path, PointAt(path, 1), doc.ds(), &click);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->next, nullptr);
  EXPECT_EQ(path->pointCount, 3);
  EXPECT_NEAR(added->position[0], 50, 1e-3);
  EXPECT_NEAR(added->position[2], 0, 1e-3);

  // A lone point is its own segment end: a zero-length line of angle 0 (along +x).
  Objex* lone = doc.addObject(kObjFill, false, {{10, 10}});
  click = ClickAt(13, 14);  // plan distance 5
  added = AddPoint(lone, lone->firstPoint, doc.ds(), &click);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(lone->pointCount, 2);
  EXPECT_NEAR(added->position[0], 15, 1e-3);
  EXPECT_NEAR(added->position[2], 10, 1e-3);
  EXPECT_MODEL_SOUND();
}
