// A saved house opened with its 3D window shown: a siding dropped on a wall, a tile on the roof
// and a base trim on a wall in 3D, then a door tool click off every wall in the plan. Undo and
// Redo typed in the 3D window and chosen from the design window's Edit menu are one and the
// same: each steps exactly the step its menu title names, and the 3D view draws the result. A
// drop that changes nothing stores no step, whatever the view or the selection did since the
// last, and right after the design was opened.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QTest>
#include <cstdint>
#include <string>
#include <vector>

#include "LiveViewTestSupport.h"
#include "RedWalls.h"
#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Roofs3D.h"
#include "content/SymEntry.h"
#include "files/Undo.h"
#include "model/Records.h"
#include "model/HitTest.h"
#include "model/ViewCommands.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "render3d/SurfacePick.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

using namespace red_walls;

class LiveViewUndoTest : public LiveViewTest {
 protected:
  void beforeDocument() override { ResetTrackingState(); }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    ResetTrackingState();
    LiveViewTest::beforeClosing();
  }

  // The design saved under the name and opened again as the Open command opens it.
  void saveAndOpen(const char* name) {
    const std::string path = file(name);
    ASSERT_TRUE(doc->writeToFile(path, "pro"));
    bool opened = false;
    ZLKDocumentController::sharedDocumentController().openDocumentWithContentsOfFile(path,
                                                                                     [&](bool ok) { opened = ok; });
    ASSERT_TRUE(opened);
    model = gCurDocument = doc->documentModel();
  }

  // A house of four walls under a roof, saved and opened again; its plan and 3D window shown,
  // the walk camera looking at its front from outside and above.
  void openHouse() {
    ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
    AddRedWall(model, {{-200, 1500}, {200, 1500}, {200, 1800}, {-200, 1800}, {-200, 1500}});
    RGBColor black{};
    Objex* roof = CreateObject(kObjRoof, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr);
    for (auto [x, z] : {std::pair{-220.0f, 1480.0f}, {220, 1480}, {220, 1820}, {-220, 1820}})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, roof), roof);
    roof->width = 6;
    roof->planMask = ds->newObjectPlanMask;
    AppendObjectToLayer(roof, model->itsCurLayer);
    UpdateObjectBounds(roof);
    Update3DRoof(roof);
    saveAndOpen("house.pro");
    ds = model->itsDocState;
    plan = showPlanView(ds->currentPlanMask);
    walkCamera(150);
    ds->walkEyePoint() = FloatPoint{0, 2600};
    ASSERT_TRUE(showLiveViewAt(400, 360));
    view = LiveViewController::sharedLiveViewController()->liveViewOGLView();
    gRefreshRender = 1;
    view->display();
    QApplication::processEvents();
  }

  // A view point whose surface belongs to a plan object of the type, in the view's middle
  // third across; an invalid point when none does.
  POINT pointOn(int16_t type) {
    view->makeCurrent();
    POINT found{-1, -1};
    for (int y = 8; y < view->height() && found.x < 0; y += 8)
      for (int x = view->width() / 3; x < view->width() * 2 / 3 && found.x < 0; x += 8) {
        const SurfacePick pick = PickSurfaceAt(POINT{x, y});
        if (pick.result == PickResult::kSurface && pick.surface->base2DObject &&
            pick.surface->base2DObject->type == type)
          found = POINT{x, y};
      }
    view->doneCurrent();
    return found;
  }

  // The content entry dropped on the 3D view at the point.
  bool drop(int16_t type, int32_t id, POINT where) {
    SymEntryInfo entry;
    entry.type = type;
    entry.textureID = id;
    const std::vector<uint8_t> record = encodeSymEntry(entry);
    const QByteArray bytes(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));
    return view->performDragOperation(&bytes, where);
  }

  // What the drops change: each object's material, each point's material on both sides and
  // the lower trim of each wall side.
  std::vector<int32_t> design() const {
    std::vector<int32_t> look;
    for (Layer* l = doc->documentModel()->itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) {
        look.insert(look.end(), {o->type, o->textureID});
        for (Poinz* p = o->firstPoint; p; p = p->next) {
          look.insert(look.end(), {p->textureID[0], p->textureID[1]});
          if (o->type != kObjWall) continue;
          for (void* side : {p->trim1, p->trim2})
            look.push_back(side ? static_cast<const TrimData*>(side)->lowerTrim() : -1);
        }
      }
    return look;
  }

  // The Edit menu's two items as the design window shows them.
  std::pair<std::string, std::string> titles() const {
    window->updateWindowState();
    return {window->undoAction()->text().toStdString(), window->redoAction()->text().toStdString()};
  }

  // Undo and Redo from the Edit menu, each twice (past both ends), over a history of one
  // step "Material" that took the design from `before` to `after`.
  void undoAndRedoTheOneMaterialStep(const std::vector<int32_t>& before, const std::vector<int32_t>& after) {
    using Titles = std::pair<std::string, std::string>;
    for (int i = 0; i < 2; ++i) {
      window->undoAction()->trigger();
      QApplication::processEvents();
      EXPECT_EQ(design(), before);
      EXPECT_EQ(titles(), (Titles{"Undo", "Redo Material"}));
    }
    for (int i = 0; i < 2; ++i) {
      window->redoAction()->trigger();
      QApplication::processEvents();
      EXPECT_EQ(design(), after);
      EXPECT_EQ(titles(), (Titles{"Undo Material", "Redo"}));
    }
  }

  // Typed in the active 3D window.
  void typeIn3D(bool redo) {
    QWidget* panel = LiveViewController::sharedLiveViewController()->window();
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    const Qt::KeyboardModifiers modifiers = redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
    QTest::keyClick(view, Qt::Key_Z, modifiers);
  }

  ZLKDocumentView* plan = nullptr;
  LiveViewOGLView* view = nullptr;
};

TEST_F(LiveViewUndoTest, UndoAndRedoFromThe3DWindowAndTheEditMenuStepTheStepsTheirTitlesName) {
  openHouse();
  const POINT wallAt = pointOn(kObjWall), roofAt = pointOn(kObjRoof);
  ASSERT_GE(wallAt.x, 0) << "no wall in the 3D view";
  ASSERT_GE(roofAt.x, 0) << "no roof in the 3D view";

  // states[i]: the design after i steps.
  std::vector<std::vector<int32_t>> states{design()};
  ASSERT_TRUE(drop(kEntryMaterial, 2400, wallAt));  // siding
  states.push_back(design());
  ASSERT_TRUE(drop(kEntryMaterial, 2410, roofAt));  // clay tile
  states.push_back(design());
  ASSERT_TRUE(drop(kEntryTrim, 101, wallAt));  // base trim
  states.push_back(design());
  for (size_t i = 1; i < states.size(); ++i) ASSERT_NE(states[i], states[i - 1]) << i;
  using Titles = std::pair<std::string, std::string>;
  ASSERT_EQ(titles(), (Titles{"Undo Moulding/Wainscot", "Redo"}));

  // The door tool clicked off every wall: told so, and nothing to undo.
  const auto doorClickOffTheWalls = [this] {
    ScopedAlertRecorder alerts;
    gCurTool = kToolDoor;
    const QPoint empty(30, 30);
    QTest::mousePress(plan, Qt::LeftButton, {}, empty);
    QTest::mouseRelease(plan, Qt::LeftButton, {}, empty);
    QApplication::processEvents();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown.front().message, "Wall segment not found.");
    gCurTool = kToolSelection;
  };
  doorClickOffTheWalls();
  EXPECT_EQ(design(), states[3]);
  EXPECT_EQ(titles(), (Titles{"Undo Moulding/Wainscot", "Redo"}));
  EXPECT_EQ(UndoSteps(doc->undoManager()), 3u);

  // Each step: how it is made, the state it leaves, the titles it leaves.
  enum Road { kTypedUndo, kMenuUndo, kTypedRedo, kMenuRedo };
  const struct {
    Road road;
    size_t state;
    Titles titles;
  } steps[] = {
      {kTypedUndo, 2, {"Undo Material", "Redo Moulding/Wainscot"}},
      {kMenuUndo, 1, {"Undo Material", "Redo Material"}},
      {kTypedRedo, 2, {"Undo Material", "Redo Moulding/Wainscot"}},
      {kTypedUndo, 1, {"Undo Material", "Redo Material"}},
      {kTypedUndo, 0, {"Undo", "Redo Material"}},
      {kTypedUndo, 0, {"Undo", "Redo Material"}},  // nothing left to undo
      {kMenuRedo, 1, {"Undo Material", "Redo Material"}},
      {kMenuRedo, 2, {"Undo Material", "Redo Moulding/Wainscot"}},
      {kTypedRedo, 3, {"Undo Moulding/Wainscot", "Redo"}},
      {kTypedRedo, 3, {"Undo Moulding/Wainscot", "Redo"}},  // nothing left to redo
      {kMenuUndo, 2, {"Undo Material", "Redo Moulding/Wainscot"}},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    const auto& step = steps[i];
    SCOPED_TRACE("step " + std::to_string(i));
    const bool moves = design() != states[step.state];
    const int renders = view->renderCount();
    switch (step.road) {
      case kTypedUndo: typeIn3D(false); break;
      case kTypedRedo: typeIn3D(true); break;
      case kMenuUndo: window->undoAction()->trigger(); break;
      case kMenuRedo: window->redoAction()->trigger(); break;
    }
    QApplication::processEvents();
    EXPECT_EQ(design(), states[step.state]);
    EXPECT_EQ(titles(), step.titles);
    EXPECT_EQ(window->undoAction()->isEnabled(), step.state > 0);
    EXPECT_EQ(window->redoAction()->isEnabled(), step.state < 3);
    // The 3D view shows the design stepped to.
    if (moves) EXPECT_GT(view->renderCount(), renders);
  }

  // After an undo, a refused click leaves the step to redo as it was.
  doorClickOffTheWalls();
  EXPECT_EQ(design(), states[2]);
  EXPECT_EQ(titles(), (Titles{"Undo Material", "Redo Moulding/Wainscot"}));
  typeIn3D(true);
  EXPECT_EQ(design(), states[3]);
}

TEST_F(LiveViewUndoTest, ADropThatChangesNothingStoresNoStep) {
  openHouse();
  const POINT wallAt = pointOn(kObjWall), roofAt = pointOn(kObjRoof);
  ASSERT_GE(wallAt.x, 0) << "no wall in the 3D view";
  ASSERT_GE(roofAt.x, 0) << "no roof in the 3D view";
  using Titles = std::pair<std::string, std::string>;
  ASSERT_TRUE(drop(kEntryMaterial, 2400, wallAt));
  ASSERT_TRUE(drop(kEntryTrim, 101, wallAt));
  const std::vector<int32_t> both = design();
  ASSERT_EQ(UndoSteps(doc->undoManager()), 2u);
  // The same siding and the same trim again: the design is as it was, and so is the history.
  ASSERT_TRUE(drop(kEntryMaterial, 2400, wallAt));
  ASSERT_TRUE(drop(kEntryTrim, 101, wallAt));
  EXPECT_EQ(design(), both);
  EXPECT_EQ(UndoSteps(doc->undoManager()), 2u);
  EXPECT_EQ(titles(), (Titles{"Undo Moulding/Wainscot", "Redo"}));
  // One undo takes the trim off, the next the siding.
  window->undoAction()->trigger();
  QApplication::processEvents();
  EXPECT_EQ(titles(), (Titles{"Undo Material", "Redo Moulding/Wainscot"}));
  window->undoAction()->trigger();
  QApplication::processEvents();
  EXPECT_EQ(titles(), (Titles{"Undo", "Redo Material"}));
  // A new material on the roof after the undos is a step of its own and drops the redo.
  ASSERT_TRUE(drop(kEntryMaterial, 2410, roofAt));
  EXPECT_EQ(UndoSteps(doc->undoManager()), 1u);
  EXPECT_EQ(titles(), (Titles{"Undo Material", "Redo"}));
}

// Between the two drops of the same siding the plan zoomed, the wall was selected or the walk
// camera moved: none of that is a step, and the second drop stores none either.
TEST_F(LiveViewUndoTest, TheSameDropAfterAZoomASelectionOrACameraMoveStoresNoStep) {
  openHouse();
  using Titles = std::pair<std::string, std::string>;
  const std::vector<int32_t> opened = design();
  POINT wallAt = pointOn(kObjWall);
  ASSERT_GE(wallAt.x, 0) << "no wall in the 3D view";
  ASSERT_TRUE(drop(kEntryMaterial, 2400, wallAt));
  const std::vector<int32_t> sided = design();
  ASSERT_NE(sided, opened);
  ASSERT_EQ(UndoSteps(doc->undoManager()), 1u);
  const struct {
    const char* what;
    void (*change)(DocState*, Objex* wall);
  } changes[] = {
      {"plan zoom 2", [](DocState* ds, Objex*) { PlanZoom(ds) = 2; }},
      {"the wall selected", [](DocState*, Objex* wall) { SelectObj(wall, kSelectOn, 0); }},
      {"the walk camera moved",
       [](DocState* ds, Objex*) {
         ds->walkEyePoint().floatH += 30;
         ds->walkViewAngle() = 2;
       }},
  };
  for (const auto& c : changes) {
    SCOPED_TRACE(c.what);
    Objex* wall = model->itsCurLayer->firstObject;
    ASSERT_EQ(wall->type, kObjWall);
    c.change(model->itsDocState, wall);
    gRefreshRender = 1;
    view->display();
    QApplication::processEvents();
    wallAt = pointOn(kObjWall);
    ASSERT_GE(wallAt.x, 0) << "no wall in the 3D view";
    ASSERT_TRUE(drop(kEntryMaterial, 2400, wallAt));
    EXPECT_EQ(design(), sided);
    EXPECT_EQ(UndoSteps(doc->undoManager()), 1u);
    EXPECT_EQ(titles(), (Titles{"Undo Material", "Redo"}));
  }
  // Undo and Redo past both ends: the one step there is.
  undoAndRedoTheOneMaterialStep(opened, sided);
}

// A design saved with a base trim on its wall and opened again: the same trim dropped on that
// wall changes nothing and stores no step; a new siding is the first step.
TEST_F(LiveViewUndoTest, RightAfterOpenTheSameTrimDroppedAgainStoresNoStep) {
  openHouse();
  using Titles = std::pair<std::string, std::string>;
  POINT wallAt = pointOn(kObjWall);
  ASSERT_GE(wallAt.x, 0) << "no wall in the 3D view";
  ASSERT_TRUE(drop(kEntryTrim, 101, wallAt));
  saveAndOpen("trimmed.pro");
  gRefreshRender = 1;
  view->display();
  QApplication::processEvents();
  const std::vector<int32_t> trimmed = design();
  ASSERT_EQ(UndoSteps(doc->undoManager()), 0u);
  wallAt = pointOn(kObjWall);
  ASSERT_GE(wallAt.x, 0) << "no wall in the 3D view";
  ASSERT_TRUE(drop(kEntryTrim, 101, wallAt));
  EXPECT_EQ(design(), trimmed);
  EXPECT_EQ(UndoSteps(doc->undoManager()), 0u);
  EXPECT_EQ(titles(), (Titles{"Undo", "Redo"}));
  ASSERT_TRUE(drop(kEntryMaterial, 2400, wallAt));
  const std::vector<int32_t> sided = design();
  ASSERT_NE(sided, trimmed);
  EXPECT_EQ(titles(), (Titles{"Undo Material", "Redo"}));
  undoAndRedoTheOneMaterialStep(trimmed, sided);
}

}  // namespace
