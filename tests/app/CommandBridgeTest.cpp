// The command bridge and the plan menus: clipboard, delete, groups, floors, conversions,
// selection edits, toggles, the trace image and the view set-up on a real document, and
// the menu validation and tags of the design window.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/ContextMenuFactory.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKWindowController.h"
#include "building3d/PlaneObjects.h"
#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/ObjectFile.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/ConvertObject.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/CommandWalkers.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/ViewCommands.h"
#include "model/PlanarTransforms.h"
#include "inspectors/SheetController.h"
#include "inspectors/PlanSettingsSheets.h"
#include "inspectors/MoveObjectsController.h"
#include "plandraw/PlanDrawSettings.h"
#include "platform/Alerts.h"
#include "platform/UserDefaults.h"

namespace fs = std::filesystem;

namespace {

std::vector<Objex*> TopLevel(const Layer* layer) {
  std::vector<Objex*> list;
  for (Objex* o = layer ? layer->firstObject : nullptr; o; o = o->next) list.push_back(o);
  return list;
}

class CommandBridge : public DesignWindowTest {
 protected:
  void beforeDocument() override {
    savedUndo = gUndoActive;
    savedGrid = gPlanDrawSettings.gridVisible;
  }
  void beforeClosing() override { Win32EventHandler::sharedEventHandler()->chooseTraceImagePath = nullptr; }
  void afterClosing() override {
    gUndoActive = savedUndo;
    gPlanDrawSettings.gridVisible = savedGrid;
  }

  // An object on the floor plan of a layer (the current one by default).
  Objex* add(int16_t type, bool closed, std::initializer_list<std::pair<float, float>> pts,
             bool selected = false, Layer* layer = nullptr) {
    RGBColor black{};
    Objex* o = CreateObject(type, closed, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr);
    for (auto [x, z] : pts)
      AppendPointToObject(CreatePoint(1, selected, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    o->planMask = 2;
    AppendObjectToLayer(o, layer ? layer : model->itsCurLayer);
    UpdateObjectBounds(o);
    return o;
  }
  Objex* line(float x0, float x1, bool selected = false, Layer* layer = nullptr) {
    return add(kObjLine, false, {{x0, 0}, {x1, 0}}, selected, layer);
  }
  std::string undoName() { return doc->undoManager().undoActionName(); }
  Win32EventHandler& handler() { return *Win32EventHandler::sharedEventHandler(); }
  Layer* floor(const char* name) { return GetLayerFromName(name); }

  uint8_t savedUndo = 1, savedGrid = 1;
};

TEST_F(CommandBridge, SelectAllThenDeleteRemovesTheObjectsUnderOneUndoStep) {
  Objex* a = line(0, 100);
  Objex* b = line(0, 50);
  ServiceCallRecorder calls;
  handler().deleteObjects();  // nothing selected: nothing happens
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 2u);
  EXPECT_EQ(calls.count("Refresh"), 0u);

  handler().selectAllObjects();
  EXPECT_TRUE(IsObjectSelected(a));
  EXPECT_TRUE(IsObjectSelected(b));
  EXPECT_EQ(calls.count("Refresh"), 1u);
  EXPECT_EQ(undoName(), "");  // selecting is no edit

  handler().deleteObjects();
  EXPECT_TRUE(TopLevel(model->itsCurLayer).empty());
  EXPECT_EQ(calls.count("Refresh"), 2u);
  EXPECT_EQ(undoName(), "Delete");
}

TEST_F(CommandBridge, SelectAllInAnotherViewTakesOnlyTheCurrentFloor) {
  Objex* here = line(0, 100);
  Objex* upstairs = line(0, 100, false, floor("Second Floor"));
  floor("Second Floor")->selectable = 1;
  handler().selectAllObjects();
  EXPECT_TRUE(IsObjectSelected(here));
  EXPECT_TRUE(IsObjectSelected(upstairs));
  SelectAllLayers(model->itsLayers, kSelectOff, 0);

  gXViewAngle = 0;  // an elevation
  gYViewAngle = 0;
  handler().selectAllObjects();
  EXPECT_TRUE(IsObjectSelected(here));
  EXPECT_FALSE(IsObjectSelected(upstairs));
  handler().viewTop();
}

TEST_F(CommandBridge, CutCopyAndPastePlaceCopiesOffsetOnEachPaste) {
  // A floor remembered but nothing copied: Paste neither leaves an elevation nor names a step.
  FreeScrap();
  gClipboardLayer = model->itsCurLayer;
  gXViewAngle = 0;
  gYViewAngle = 0;
  ASSERT_NE(GetCurrentView(), kCmdViewTop);
  handler().pasteObjects();
  EXPECT_NE(GetCurrentView(), kCmdViewTop);
  EXPECT_EQ(undoName(), "");
  handler().viewTop();

  line(0, 100, true);
  handler().copyObjects();
  EXPECT_EQ(undoName(), "");
  handler().pasteObjects();
  std::vector<Objex*> objects = TopLevel(model->itsCurLayer);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(undoName(), "Paste");
  EXPECT_FALSE(IsObjectSelected(objects[0]));
  EXPECT_TRUE(IsObjectSelected(objects[1]));
  EXPECT_NE(objects[1]->firstPoint->position[0], objects[0]->firstPoint->position[0]);

  handler().cutObjects();  // the pasted copy, which is selected
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 1u);
  EXPECT_EQ(undoName(), "Cut");
  handler().pasteObjects();
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 2u);
}

TEST_F(CommandBridge, MirrorAddsAFlippedCopyAndNeedsASelection) {
  line(0, 100, true);
  handler().copyObjects();  // an old clipboard the mirror must not bring back
  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  handler().mirrorObjectsUsingCommand(kCmdMirrorHorizontal);
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 1u);
  EXPECT_EQ(undoName(), "");
  EXPECT_EQ(gUndoActive, 1);
  EXPECT_EQ(gMirroring, 0);

  add(kObjLine, false, {{0, 0}, {100, 40}}, true);
  handler().mirrorObjectsUsingCommand(kCmdMirrorHorizontal);
  std::vector<Objex*> objects = TopLevel(model->itsCurLayer);
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(undoName(), "Mirror");
  EXPECT_EQ(gUndoActive, 1);
  // The copy stays in place, turned left for right about its own centre.
  Poinz* p = objects[2]->firstPoint;
  EXPECT_FLOAT_EQ(p->position[0], 100);
  EXPECT_FLOAT_EQ(p->position[2], 0);
}

TEST_F(CommandBridge, GroupAndUngroup) {
  Objex* a = line(0, 100, true);
  Objex* b = line(0, 50, true);
  Objex* c = line(0, 10);  // not selected
  handler().groupObjects();
  std::vector<Objex*> objects = TopLevel(model->itsCurLayer);
  ASSERT_EQ(objects.size(), 2u);
  // The group stands where its first member stood, before the line left out.
  Objex* group = objects[0];
  EXPECT_EQ(objects[1], c);
  EXPECT_EQ(group->type, kObjGroup);
  EXPECT_EQ(a->parent, group);
  EXPECT_EQ(b->parent, group);
  EXPECT_EQ(undoName(), "Group");
  EXPECT_EQ(gGroupLeader, nullptr);

  SelectObj(group, kSelectOn, 1);
  handler().ungroupObjects();
  objects = TopLevel(model->itsCurLayer);
  EXPECT_EQ(objects.size(), 3u);
  EXPECT_EQ(a->parent, nullptr);
  EXPECT_EQ(undoName(), "Ungroup");

  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  handler().groupObjects();  // nothing selected: no group, no step
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 3u);
  EXPECT_EQ(undoName(), "Ungroup");

  // Ungroup and Straighten Curves on a plain line, and Float Above Topography with nothing
  // selected, change nothing: no step, the last one still offered.
  SelectObj(a, kSelectOn, 1);
  handler().ungroupObjects();
  handler().unsmoothSelected();
  SelectAllLayers(model->itsLayers, kSelectOff, 0);
  handler().floatObjectAboveTopo();
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 3u);
  EXPECT_EQ(undoName(), "Ungroup");
  doc->undoManager().undo();
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 2u) << "the undo took back no ungroup";
}

// Plan > Group counts the groups of each selected tree first and groups nothing past 25 of them:
// a chain of groups takes a level each time until it holds 26 groups; the next Group changes
// nothing, stores no step and says why.
TEST_F(CommandBridge, GroupRefusesATreeOfMoreThanTwentyFiveGroupsAndSaysWhy) {
  ScopedAlertRecorder alerts;
  Objex* top = line(0, 100);
  int groups = 0;
  for (int i = 0; i < 30; ++i) {
    Objex* next = line(0, 10.0f + float(i));
    SelectAllLayers(model->itsLayers, kSelectOff, 0);
    SelectObj(top, kSelectOn, 0);
    SelectObj(next, kSelectOn, 0);
    handler().groupObjects();
    if (!top->parent) {
      EXPECT_EQ(next->parent, nullptr);
      break;
    }
    top = top->parent;
    ++groups;
    EXPECT_TRUE(alerts.shown.empty()) << "a tree of " << groups - 1 << " groups was grouped with an alert";
  }
  EXPECT_EQ(groups, kMaxGroupsToGroup + 1);
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 2u);
  EXPECT_EQ(undoName(), "Group");
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to group the selected objects.");
  EXPECT_EQ(alerts.shown[0].informative,
            "One of the selected groups holds more than 25 groups in all (itself and the groups in it, at every "
            "depth). Ungroup some of them, then group the objects again.");
  doc->undoManager().undo();
  EXPECT_EQ(GroupNesting(TopLevel(model->itsCurLayer)[0]), kMaxGroupsToGroup - 1)
      << "the Undo took back a step the refused Group stored";
}

TEST_F(CommandBridge, FloorsMoveAndCopyWithAlertsAtTheEnds) {
  ScopedAlertRecorder alerts;
  Objex* a = line(0, 100, true);
  handler().moveObjectsToLowerFloor();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to move objects to lower floor.");
  EXPECT_EQ(alerts.shown[0].informative, "You are currently on the bottom floor.");
  EXPECT_EQ(undoName(), "");

  handler().moveObjectsToUpperFloor();
  EXPECT_TRUE(TopLevel(floor("First Floor")).empty());
  ASSERT_EQ(TopLevel(floor("Second Floor")).size(), 1u);
  EXPECT_EQ(TopLevel(floor("Second Floor"))[0], a);
  EXPECT_EQ(undoName(), "Move To Upper Floor");

  model->itsCurLayer = floor("Second Floor");
  SelectObj(a, kSelectOn, 1);
  handler().copyObjectsToLowerFloor();
  EXPECT_EQ(TopLevel(floor("First Floor")).size(), 1u);
  EXPECT_EQ(TopLevel(floor("Second Floor")).size(), 1u);
  EXPECT_EQ(undoName(), "Copy To Lower Floor");

  model->itsCurLayer = floor("Third Floor");
  handler().copyObjectsToUpperFloor();
  ASSERT_EQ(alerts.shown.size(), 2u);
  EXPECT_EQ(alerts.shown[1].message, "Unable to copy objects to upper floor.");
  EXPECT_EQ(alerts.shown[1].informative, "You are currently on the top floor.");
}

TEST_F(CommandBridge, ConversionStoresItsOwnUndoName) {
  Objex* shape = add(kObjDetail, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true);
  shape->subtype = kSubDetailPolygon;
  Objex* other = add(kObjDetail, true, {{200, 0}, {300, 0}, {300, 100}}, false);
  handler().convertObjectsUsingCommand(kCmdConvertToFloor);
  EXPECT_EQ(shape->type, kObjFloor);
  EXPECT_EQ(other->type, kObjDetail);
  EXPECT_EQ(undoName(), "Convert to Floor");

  handler().convertObjectsUsingCommand(kCmdMoveToFloorPlan);  // not a conversion
  EXPECT_EQ(other->type, kObjDetail);
}

TEST_F(CommandBridge, SelectionEditsNameTheirSteps) {
  Objex* a = line(0, 100, true);
  Objex* b = line(0, 50);
  handler().alterObjectPositionUsingCommand(kCmdSendToBack);
  EXPECT_EQ(undoName(), "Send Objects to the Back");
  SelectObj(a, kSelectOn, 1);  // the order commands deselect what they moved
  handler().alterObjectPositionUsingCommand(kCmdBringToFront);
  EXPECT_EQ(TopLevel(model->itsCurLayer).back(), a);
  EXPECT_EQ(undoName(), "Bring Objects to the Front");
  handler().alterObjectPositionUsingCommand(kCmdCutObjects);  // outside the group: ignored
  EXPECT_EQ(TopLevel(model->itsCurLayer).size(), 2u);

  SelectObj(a, kSelectOn, 1);
  const float before = a->firstPoint->position[0];
  handler().nudgeObjectsUsingCommand(kCmdNudgeRight);
  EXPECT_GT(a->firstPoint->position[0], before);
  EXPECT_EQ(undoName(), "Nudge");

  handler().flipObjectsUsingCommand(kCmdFlipVertical);
  EXPECT_EQ(undoName(), "Flip");

  handler().moveObjectsToPlanUsingCommand(kCmdMoveToElectricalPlan);
  EXPECT_EQ(a->planMask, 4);
  EXPECT_EQ(b->planMask, 2);
  EXPECT_FALSE(IsObjectSelected(a));
  EXPECT_EQ(undoName(), "Move To Plan");

  ServiceCallRecorder calls;
  handler().flipPlanUsingCommand(kCmdFlipPlanHorizontal);
  EXPECT_EQ(undoName(), "Flip Entire Plan");
  EXPECT_EQ(calls.count("Refresh"), 1u);
}

TEST_F(CommandBridge, TogglesAndVisiblePlans) {
  ServiceCallRecorder calls;
  const uint8_t dims = ShowAutoDimensions(ds);
  handler().toggleDimensions();
  EXPECT_NE(ShowAutoDimensions(ds), dims);
  EXPECT_EQ(undoName(), "Automatic Dimensioning");
  handler().toggleCallouts();
  EXPECT_EQ(ds->showCallouts, 1);
  EXPECT_EQ(undoName(), "Window & Door Callouts");

  const uint8_t snap = ds->snapToGrid;
  handler().snapToGrid();
  EXPECT_NE(ds->snapToGrid, snap);
  const uint8_t grid = gPlanDrawSettings.gridVisible;
  handler().toggleGrid();
  EXPECT_NE(gPlanDrawSettings.gridVisible, grid);
  handler().toggleVirtualRuler();
  EXPECT_EQ(model->itsVRVisible, 1);
  EXPECT_EQ(undoName(), "Window & Door Callouts");  // only the two design toggles are steps
  EXPECT_EQ(calls.count("Refresh"), 4u);

  ds->newObjectPlanMask = 2;
  ds->currentPlanMask = 511;
  handler().setVisiblePlansUsingCommand(11002);  // hide the electrical plan
  EXPECT_EQ(ds->currentPlanMask, 511 & ~4);
  EXPECT_EQ(ds->planMasks[kPlanFloor], 511 & ~4);
  ds->newObjectPlanMask = 3;  // not a single plan: nothing remembered
  ds->planMasks[kPlanFloor] = 0;
  handler().setVisiblePlansUsingCommand(11002);
  EXPECT_EQ(ds->currentPlanMask, 511);
  EXPECT_EQ(ds->planMasks[kPlanFloor], 0);
  // The first and the last plan's items toggle their own bits, each way.
  handler().setVisiblePlansUsingCommand(11000);
  EXPECT_EQ(ds->currentPlanMask, 511 & ~1);
  handler().setVisiblePlansUsingCommand(11008);
  EXPECT_EQ(ds->currentPlanMask, 511 & ~1 & ~256);
  handler().setVisiblePlansUsingCommand(11008);
  EXPECT_EQ(ds->currentPlanMask, 511 & ~1);
}

TEST_F(CommandBridge, TraceImageLoadToggleAndRemove) {
  ScopedAlertRecorder alerts;
  std::string png = folder + "/trace.png";
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::white);
  ASSERT_TRUE(image.save(QString::fromStdString(png)));
  std::string chosen;
  handler().chooseTraceImagePath = [&chosen] { return chosen; };

  handler().toggleFloorplanTraceImage();  // no image yet
  EXPECT_EQ(ds->traceImageVisible, 0);
  handler().loadFloorplanTraceImage();  // cancelled
  EXPECT_TRUE(doc->traceImage().isNull());

  chosen = png;
  handler().loadFloorplanTraceImage();
  EXPECT_FALSE(doc->traceImage().isNull());
  EXPECT_STREQ(ds->traceImagePath, png.c_str());
  EXPECT_EQ(ds->traceImageVisible, 1);
  EXPECT_EQ(undoName(), "Load Floorplan Trace Image");
  handler().toggleFloorplanTraceImage();
  EXPECT_EQ(ds->traceImageVisible, 0);

  handler().removeFloorplanTraceImage();
  EXPECT_TRUE(doc->traceImage().isNull());
  EXPECT_EQ(ds->traceImagePath[0], 0);
  EXPECT_EQ(undoName(), "Remove Floorplan Trace Image");

  chosen = folder + "/missing.png";
  ServiceCallRecorder calls;
  handler().loadFloorplanTraceImage();
  EXPECT_TRUE(alerts.sawMessage("Unable to load the Floorplan Trace image."));
  EXPECT_EQ(calls.count("Refresh"), 1u);  // the plan is redrawn without the image
  EXPECT_EQ(ds->traceImagePath[0], 0);
  EXPECT_EQ(undoName(), "Remove Floorplan Trace Image");

  chosen = "/" + std::string(600, 'x');  // longer than the design can keep
  handler().loadFloorplanTraceImage();
  EXPECT_EQ(ds->traceImagePath[0], 0);
  EXPECT_EQ(alerts.shown.size(), 2u);
}

TEST_F(CommandBridge, ViewTopResetsTheViewAndActualSizeTheZoom) {
  gXViewAngle = 0;
  gYViewAngle = 270;
  gPerspective = 1;
  gGlobalXOffset = 50;
  ds->viewPlane = 1;
  TopViewZoom(ds) = 0.8f;
  GridOrigin(ds) = Float3DPoint{1, 2, 3};
  model->itsCurLayer = floor("Second Floor");
  handler().viewTop();
  EXPECT_EQ(GetCurrentView(), kCmdViewTop);
  EXPECT_EQ(ds->viewPlane, 2);
  EXPECT_FLOAT_EQ(PlanZoom(ds), 0.8f);
  EXPECT_FLOAT_EQ(gGlobalXOffset, 0);
  EXPECT_FLOAT_EQ(GridOrigin(ds).floatH, ds->planBounds.floatRight);
  EXPECT_FLOAT_EQ(GridOrigin(ds).floatD, ds->planBounds.floatTop);
  EXPECT_FLOAT_EQ(GridOrigin(ds).floatV, 0);
  EXPECT_FLOAT_EQ(ds->baseElevation, floor("First Floor")->height);
  EXPECT_STREQ(model->itsCur2DLayer->name, "X_TOP_SECOND_FLOOR");

  // Already on the top view's 2D layer: no redraw of its own.
  ServiceCallRecorder calls;
  handler().viewTop();
  EXPECT_EQ(calls.count("Refresh"), 0u);

  handler().actualSize();
  EXPECT_FLOAT_EQ(PlanZoom(ds), 1.0f);
  EXPECT_FLOAT_EQ(TopViewZoom(ds), 1.0f);
  EXPECT_EQ(calls.count("Refresh"), 0u);
  handler().resetPlanView();
  EXPECT_FLOAT_EQ(PlanZoom(ds), 0.6f);
  EXPECT_EQ(calls.count("Refresh"), 1u);

  // Refresh View marks the 3D scene for a full render and redraws the plan.
  gRenderDirty = 0;
  gRefreshRender = 0;
  handler().refreshView();
  EXPECT_EQ(gRenderDirty, 1);
  EXPECT_EQ(gRefreshRender, 1);
  gRefreshRender = 0;
  EXPECT_EQ(calls.count("Refresh"), 2u);
}

TEST_F(CommandBridge, ValidationFollowsTheSelectionAndTheDesign) {
  auto enabled = [](int32_t tag) { return PlanViewActions::validate(tag).enabled; };
  // Edits of the selection stay enabled with nothing selected (the commands then do nothing),
  // and the validation leaves their check marks alone.
  for (int32_t tag : {int32_t(kCmdCutObjects), int32_t(kTagCopyObjects), int32_t(kTagPasteObjects),
                      int32_t(kCmdDelete), int32_t(kCmdGroup), int32_t(kCmdFlipHorizontal),
                      int32_t(kCmdNudgeUp)}) {
    EXPECT_TRUE(enabled(tag)) << tag;
    EXPECT_FALSE(PlanViewActions::validate(tag).hasState) << tag;
  }
  // The conversion items have no rule of their own: enabled, their state and title untouched.
  for (int32_t tag = kCmdConvertToInteriorWall; tag <= kCmdConvertToDeckCutout; ++tag) {
    const MenuItemValidation v = PlanViewActions::validate(tag);
    EXPECT_TRUE(v.enabled) << tag;
    EXPECT_FALSE(v.hasState) << tag;
    EXPECT_TRUE(v.title.empty()) << tag;
  }

  // Moving or copying to another floor: only the floor the current one is decides.
  ASSERT_STREQ(model->itsCurLayer->name, "First Floor");
  EXPECT_TRUE(enabled(kCmdMoveToUpperFloor));
  EXPECT_TRUE(enabled(kCmdCopyToUpperFloor));
  EXPECT_FALSE(enabled(kCmdMoveToLowerFloor));
  EXPECT_FALSE(enabled(kCmdCopyToLowerFloor));
  if (Layer* third = floor("Third Floor")) {
    model->itsCurLayer = third;
    EXPECT_FALSE(enabled(kCmdMoveToUpperFloor));
    EXPECT_FALSE(enabled(kCmdCopyToUpperFloor));
    EXPECT_TRUE(enabled(kCmdMoveToLowerFloor));
    EXPECT_TRUE(enabled(kCmdCopyToLowerFloor));
    model->itsCurLayer = floor("First Floor");
  }

  // Move to plan: the plan the object under the last context click is on is off and checked.
  MenuItemValidation noContext = PlanViewActions::validate(kCmdMoveToFloorPlan);
  EXPECT_TRUE(noContext.enabled);
  EXPECT_FALSE(noContext.hasState);
  Objex* shape = add(kObjDetail, false, {{0, 0}, {100, 0}}, true);
  gContextParentObj = shape;  // on the floor plan (mask 2)
  MenuItemValidation same = PlanViewActions::validate(kCmdMoveToFloorPlan);
  EXPECT_FALSE(same.enabled);
  EXPECT_TRUE(same.hasState && same.checked);
  MenuItemValidation other = PlanViewActions::validate(kCmdMoveToFoundationPlan);
  EXPECT_TRUE(other.enabled);
  EXPECT_TRUE(other.hasState && !other.checked);
  EXPECT_TRUE(enabled(kCmdMoveToDetailPlan));
  shape->planMask = 256;
  EXPECT_FALSE(enabled(kCmdMoveToDetailPlan));
  EXPECT_TRUE(enabled(kCmdMoveToFloorPlan));
  shape->planMask = 2;
  gContextParentObj = nullptr;

  SelectObj(shape, kSelectOn, 1);

  gPlanDrawSettings.gridVisible = 1;
  EXPECT_EQ(PlanViewActions::validate(kTagShowGrid).title, "Hide Grid");
  ds->snapToGrid = 1;
  MenuItemValidation snap = PlanViewActions::validate(kTagSnapToGrid);
  EXPECT_TRUE(snap.hasState && snap.checked);
  MenuItemValidation trace = PlanViewActions::validate(kTagToggleFloorplanTraceImage);
  EXPECT_FALSE(trace.enabled);
  EXPECT_EQ(trace.title, "Show Floorplan Trace Image");
  EXPECT_FALSE(enabled(kTagRemoveFloorplanTraceImage));
  ds->newObjectPlanMask = 2;
  ds->currentPlanMask = 2;
  MenuItemValidation working = PlanViewActions::validate(kTagShowFoundationPlan + 1);
  EXPECT_FALSE(working.enabled);  // the working plan stays shown
  EXPECT_TRUE(working.checked);
  EXPECT_FALSE(PlanViewActions::validate(kTagShowFoundationPlan).checked);
  EXPECT_TRUE(PlanViewActions::validate(kTagViewAllFloors).checked);

  gCurDocument = nullptr;
  EXPECT_FALSE(enabled(kTagShowGrid));
  EXPECT_FALSE(enabled(kTagRefreshView));
}

TEST_F(CommandBridge, EveryPlanMenuItemCarriesATagTheActionsTake) {
  ASSERT_FALSE(window->planActions().isEmpty());
  std::vector<QAction*> items;
  std::function<void(QMenu*)> collect = [&](QMenu* menu) {
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      if (a->menu() == window->openRecentMenu()) continue;  // recent designs, not plan commands
      if (a->menu()) collect(a->menu());
      else items.push_back(a);
    }
  };
  for (QAction* top : window->menuBar()->actions())
    if (top->menu()) collect(top->menu());
  int tagged = 0;
  for (QAction* a : items) {
    if (a == window->undoAction() || a == window->redoAction() || a == window->newAction() ||
        a == window->openAction() || a == window->saveAction() || a == window->saveAsAction() ||
        a == window->quitAction())
      continue;
    if (a->objectName() == QLatin1String("showContentProvidersWindow:")) continue;  // opens a window
    bool ok = false;
    const int tag = a->data().toInt(&ok);
    ASSERT_TRUE(ok) << a->text().toStdString();
    EXPECT_TRUE(PlanViewActions::understands(tag)) << a->text().toStdString() << " " << tag;
    ++tagged;
  }
  EXPECT_EQ(tagged, window->planActions().size());
  EXPECT_FALSE(PlanViewActions().perform(5155));  // a command no plan menu item carries

  // Triggering an item runs its command on the window's design; validation retitles it.
  line(0, 100, true);
  window->validatePlanMenus();
  QAction* cut = nullptr;
  QAction* grid = nullptr;
  for (QAction* a : window->planActions()) {
    if (a->data().toInt() == kCmdCutObjects) cut = a;
    if (a->data().toInt() == kTagShowGrid) grid = a;
  }
  ASSERT_TRUE(cut && grid);
  EXPECT_TRUE(cut->isEnabled());
  EXPECT_EQ(cut->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
  cut->trigger();
  EXPECT_TRUE(TopLevel(model->itsCurLayer).empty());
  EXPECT_TRUE(cut->isEnabled());
  gPlanDrawSettings.gridVisible = 1;
  grid->trigger();
  window->validatePlanMenus();  // as opening its menu does
  EXPECT_EQ(grid->text(), QString("Show Grid"));
}

}  // namespace

TEST_F(CommandBridge, ImportingAnObjectFileAddsOneCentredGroupUnderOneUndoStep) {
  // An object file of two parts, written from a scratch selection and then removed.
  add(kObjClosedPoly, true, {{100, 100}, {140, 100}, {140, 120}}, true);
  add(kObjClosedPoly, true, {{150, 100}, {160, 100}, {160, 130}}, true);
  std::string path = folder + "/table.qob";
  ASSERT_EQ(ObjectFileWrite(path.c_str()), 1);
  handler().deleteObjects();
  ASSERT_TRUE(TopLevel(model->itsCurLayer).empty());

  handler().chooseObjectFilePath = [] { return std::string(); };  // cancelled
  handler().import3DObjectUsingWindow(window);
  EXPECT_TRUE(TopLevel(model->itsCurLayer).empty());

  handler().chooseObjectFilePath = [path] { return path; };
  window->planViewActions().perform(kTagImport3DObject);
  handler().chooseObjectFilePath = nullptr;
  std::vector<Objex*> top = TopLevel(model->itsCurLayer);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0]->type, kObjGroup);
  float x = 0, z = 0;
  CenterOfObject(top[0], &x, &z);
  EXPECT_NEAR(x, 0, 1);
  EXPECT_NEAR(z, 0, 1);
  EXPECT_EQ(undoName(), "Import 3D Object");
}

// Every toggle's title in both states, and the check marks of the floors, the floor views, the
// working plan and the shown plans: each item reads its own state, for the first and the last
// entry of each list as for those between.
TEST_F(CommandBridge, MenuItemsReadTheirOwnStateEitherWay) {
  struct Toggle {
    int32_t tag;
    std::function<void(bool)> set;
    const char* on;
    const char* off;
  };
  const Toggle toggles[] = {
      {kTagShowGrid, [](bool on) { gPlanDrawSettings.gridVisible = on; }, "Hide Grid", "Show Grid"},
      {kTagToggleVirtualRuler, [this](bool on) { model->itsVRVisible = on; }, "Hide Virtual Ruler",
       "Show Virtual Ruler"},
      {kTagToggleCallouts, [this](bool on) { ds->showCallouts = on; }, "Hide Window & Door Callouts",
       "Show Window & Door Callouts"},
      {kTagShowAutomaticDimensions, [this](bool on) { ShowAutoDimensions(ds) = on; }, "Hide Automatic Dimensions",
       "Show Automatic Dimensions"},
      {kTagToggleTopographyLines, [this](bool on) { ShowTopography(ds) = on; }, "Hide Topography Lines",
       "Show Topography Lines"},
  };
  for (const Toggle& t : toggles)
    for (bool on : {true, false}) {
      // Every other toggle in the opposite state: an item reading another's state shows.
      for (const Toggle& other : toggles) other.set(!on);
      t.set(on);
      EXPECT_EQ(PlanViewActions::validate(t.tag).title, on ? t.on : t.off);
    }

  // The working floor: its own item checked, the others not; moving and copying up or down
  // only where a floor lies that way.
  const char* names[3] = {"First Floor", "Second Floor", "Third Floor"};
  for (int working : {0, 1, 2}) {
    ASSERT_NE(floor(names[working]), nullptr);
    window->planViewActions().perform(kTagFirstFloor + working);
    ASSERT_STREQ(model->itsCurLayer->name, names[working]);
    for (int i = 0; i < 3; ++i) {
      const MenuItemValidation v = PlanViewActions::validate(kTagFirstFloor + i);
      EXPECT_TRUE(v.hasState);
      EXPECT_EQ(v.checked, i == working) << names[working] << " item " << i;
    }
    EXPECT_EQ(PlanViewActions::validate(kCmdMoveToUpperFloor).enabled, working != 2) << names[working];
    EXPECT_EQ(PlanViewActions::validate(kCmdCopyToUpperFloor).enabled, working != 2) << names[working];
    EXPECT_EQ(PlanViewActions::validate(kCmdMoveToLowerFloor).enabled, working != 0) << names[working];
    EXPECT_EQ(PlanViewActions::validate(kCmdCopyToLowerFloor).enabled, working != 0) << names[working];
  }
  // The floor views, each way: the second floor works, the others hide and come back.
  window->planViewActions().perform(kTagViewWorkingFloorOnly);
  EXPECT_TRUE(PlanViewActions::validate(kTagViewWorkingFloorOnly).checked);
  EXPECT_FALSE(PlanViewActions::validate(kTagViewAllFloors).checked);
  window->planViewActions().perform(kTagFirstFloor + 1);
  EXPECT_FALSE(floor("First Floor")->visible);
  EXPECT_TRUE(floor("Second Floor")->visible);
  EXPECT_FALSE(floor("Third Floor")->visible);
  window->planViewActions().perform(kTagViewAllFloors);
  EXPECT_FALSE(PlanViewActions::validate(kTagViewWorkingFloorOnly).checked);
  EXPECT_TRUE(PlanViewActions::validate(kTagViewAllFloors).checked);
  for (const char* name : names) EXPECT_TRUE(floor(name)->visible) << name;
  // Any one floor hidden, the first or the last as well as the middle, is not all floors.
  for (const char* hidden : names) {
    floor(hidden)->visible = 0;
    EXPECT_FALSE(PlanViewActions::validate(kTagViewAllFloors).checked) << hidden;
    EXPECT_TRUE(PlanViewActions::validate(kTagViewWorkingFloorOnly).checked) << hidden;
    floor(hidden)->visible = 1;
  }
  window->planViewActions().perform(kTagFirstFloor);

  // The working plan (foundation .. landscape, then detail) and the shown plans: only the
  // item of each one's own bit is checked; the working plan's own item cannot be hidden.
  const int32_t workTags[9] = {5343, 5344, 5345, 5346, 5347, 5348, 5349, 5350, kTagWorkOnDetailPlan};
  for (int kind = 0; kind < 9; ++kind) {
    ds->newObjectPlanMask = static_cast<int16_t>(1 << kind);
    ds->currentPlanMask = static_cast<int16_t>(1 << kind);
    for (int item = 0; item < 9; ++item) {
      EXPECT_EQ(PlanViewActions::validate(workTags[item]).checked, item == kind) << kind << " " << item;
      const MenuItemValidation shown = PlanViewActions::validate(kTagShowFoundationPlan + item);
      EXPECT_EQ(shown.checked, item == kind) << kind << " " << item;
      EXPECT_EQ(shown.enabled, item != kind) << kind << " " << item;
    }
  }
  ds->newObjectPlanMask = ds->currentPlanMask = 2;
}

// Every value sheet of the plan menus, opened with one and with several objects selected: a
// second sheet asked for meanwhile does not open over it; Escape closes it and changes
// nothing (no step, not edited, the objects where they were); the next sheet opens after it,
// and its OK is one step that undo takes back and redo does again.
TEST_F(CommandBridge, EscapeClosesEverySheetUntouchedAndTheNextSheetApplies) {
  struct Sheet {
    int32_t tag;
    const char* layout;
    const char* floor;  // the ceiling height sheets' floor
  };
  const Sheet sheets[] = {
      {kTagMoveObjects, "MoveObjectsSheet", nullptr},
      {kTagMovePlan, "MovePlanSheet", nullptr},
      {kTagRotateObjects, "RotateObjectsSheet", nullptr},
      {kTagRotatePlan, "RotatePlanSheet", nullptr},
      {kTagSetObjectElevation, "ObjectElevationSheet", nullptr},
      {kTagSetWorkingElevation, "WorkingElevationSheet", nullptr},
      {kTagCeilingHeightFirstFloor, "CeilingHeightSheet", "First Floor"},
      {kTagCeilingHeightFirstFloor + 1, "CeilingHeightSheet", "Second Floor"},
      {kTagCeilingHeightThirdFloor, "CeilingHeightSheet", "Third Floor"},
      {kTagSetLotSize, "LotSizeSheet", nullptr},
      {kTagSetTrueNorthAngle, "CompassSheet", nullptr},
      {kTagSetGridProperties, "GridPropertiesSheet", nullptr},
      {kTagSetDimensionProperties, "DimensionPropertiesSheet", nullptr},
      {kTagSetPlanScale, "PlanScaleSheet", nullptr},
      {kTagSetPlanZoom, "PlanZoomSheet", nullptr},
      {kTagSetMeasurementUnits, "MeasurementUnitsSheet", nullptr},
      {kTagSmoothCurves, "CurveTensionSheet", nullptr},
  };
  line(0, 100, true);
  line(0, 50);
  InitializeUndo();
  doc->undoManager().removeAllActions();
  auto points = [&] {
    std::vector<float> at;
    for (Objex* o : TopLevel(model->itsCurLayer))
      for (Poinz* p = o->firstPoint; p; p = p->next) at.insert(at.end(), {p->position[0], p->position[2]});
    return at;
  };
  auto sheet = [&] { return SheetController::attachedSheet(window); };
  for (bool several : {false, true}) {
    if (several) SelectAllLayers(model->itsLayers, kSelectOn, 1);
    for (const Sheet& s : sheets) {
      const std::string how = std::string(s.layout) + (several ? " with both selected" : " with one selected");
      doc->setDocumentEdited(false);
      const std::string lastStep = undoName();
      const std::vector<float> before = points();
      const int16_t scale = model->itsDocState->planScaleChoice, units = model->itsDocState->measureSystem;
      const float zoom = PlanZoom(model->itsDocState);
      ASSERT_TRUE(window->planViewActions().perform(s.tag)) << how;
      SheetController* open = sheet();
      ASSERT_NE(open, nullptr) << how;
      EXPECT_EQ(open->layoutName().toStdString(), s.layout);
      if (s.floor) {
        auto* ceiling = qobject_cast<CeilingHeightController*>(open);
        ASSERT_NE(ceiling, nullptr) << how;
        ASSERT_NE(ceiling->targetLayer, nullptr) << how;
        EXPECT_STREQ(ceiling->targetLayer->name, s.floor);
      }
      // A second sheet meanwhile: the first stays, alone.
      window->planViewActions().perform(s.tag == kTagMoveObjects ? kTagSetGridProperties : kTagMoveObjects);
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_EQ(sheet(), open) << how;
      QTest::keyClick(open, Qt::Key_Escape);
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_EQ(sheet(), nullptr) << how;
      EXPECT_EQ(points(), before) << how;
      EXPECT_EQ(undoName(), lastStep) << how;
      EXPECT_FALSE(doc->isDocumentEdited()) << how;
      EXPECT_EQ(model->itsDocState->planScaleChoice, scale) << how;
      EXPECT_EQ(model->itsDocState->measureSystem, units) << how;
      EXPECT_EQ(PlanZoom(model->itsDocState), zoom) << how;
    }

    // The next sheet after an Escape: Move Objects by 24 across takes every selected object.
    const std::vector<float> before = points();
    window->planViewActions().perform(kTagMoveObjects);
    auto* move = qobject_cast<MoveObjectsController*>(sheet());
    ASSERT_NE(move, nullptr);
    move->horizDistText->setText("24");
    move->vertDistText->setText("0");
    move->okButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const std::vector<float> after = points();
    ASSERT_EQ(after.size(), before.size());
    const float step = ConvertWorldToScreen(24, model->itsDocState, 0);
    for (size_t i = 0; i < after.size(); ++i) {
      const bool moved = i % 2 == 0 && (several || i < 4);
      EXPECT_NEAR(after[i], before[i] + (moved ? step : 0), 1e-3) << (several ? "both " : "one ") << i;
    }
    EXPECT_EQ(undoName(), "Move");
    window->updateWindowState();
    window->undoAction()->trigger();
    EXPECT_EQ(points(), before);
    window->updateWindowState();
    window->redoAction()->trigger();
    EXPECT_EQ(points(), after);
  }
}

// Flips turn the selection about the centre of its box, left for right keeping each depth or
// front for back keeping each x; with two objects about the centre of both. Mirror does the
// same to a copy and leaves the objects as they were.
TEST_F(CommandBridge, FlipsAndMirrorsTurnAboutTheSelectionsCentreEachWay) {
  struct Case {
    int32_t command;
    bool mirror, leftRight;
    const char* step;
  } cases[] = {{kCmdFlipHorizontal, false, true, "Flip"},
               {kCmdFlipVertical, false, false, "Flip"},
               {kCmdMirrorHorizontal, true, true, "Mirror"},
               {kCmdMirrorVertical, true, false, "Mirror"}};
  for (const Case& c : cases)
    for (bool several : {false, true}) {
      const std::string how = std::to_string(c.command) + (several ? " both" : " one");
      SelectAllLayers(model->itsLayers, kSelectOn, 1);
      handler().deleteObjects();
      add(kObjLine, false, {{200, 100}, {300, 140}}, true);
      if (several) add(kObjLine, false, {{400, 60}, {500, 60}}, true);
      const std::vector<Objex*> originals = TopLevel(model->itsCurLayer);
      std::vector<std::pair<float, float>> before;
      for (Objex* o : originals)
        for (Poinz* p = o->firstPoint; p; p = p->next) before.push_back({p->position[0], p->position[2]});
      const float cx = several ? 350 : 250, cz = several ? 100 : 120;
      window->planViewActions().perform(c.command);
      const std::vector<Objex*> now = TopLevel(model->itsCurLayer);
      ASSERT_EQ(now.size(), originals.size() * (c.mirror ? 2 : 1)) << how;
      size_t i = 0;
      for (size_t k = 0; k < originals.size(); ++k) {
        Objex* turned = now[c.mirror ? originals.size() + k : k];
        for (Poinz* p = turned->firstPoint; p; p = p->next, ++i) {
          ASSERT_LT(i, before.size()) << how;
          const auto [x, z] = before[i];
          EXPECT_NEAR(p->position[0], c.leftRight ? 2 * cx - x : x, 1e-3) << how << " point " << i;
          EXPECT_NEAR(p->position[2], c.leftRight ? z : 2 * cz - z, 1e-3) << how << " point " << i;
        }
      }
      EXPECT_EQ(i, before.size()) << how;
      if (c.mirror) {
        i = 0;
        for (Objex* o : originals)
          for (Poinz* p = o->firstPoint; p; p = p->next, ++i)
            EXPECT_EQ(std::make_pair(p->position[0], p->position[2]), before[i]) << how << " original " << i;
      }
      EXPECT_EQ(undoName(), c.step) << how;
    }
}
