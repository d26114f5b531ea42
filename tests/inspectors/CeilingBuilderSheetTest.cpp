// The ceiling builder sheet: when it opens, the values it shows, what OK builds and stores
// (one undo step for the whole action), and Cancel keeping the stored values.
#include <QCheckBox>

#include "app/ZLKDocumentView.h"
#include "building3d/CeilingBuilder.h"
#include "inspectors/CeilingBuilderController.h"
#include "inspectors/SheetTestSupport.h"
#include "model/Selection.h"

namespace {

class CeilingBuilderSheet : public SheetTest {
 protected:
  void afterDocument() override {
    SheetTest::afterDocument();
    gUndoActive = 1;
    gSoffitThickness = 3;
    gSoffitExtension = 18;
    gSoffitConfig = 0;
  }
  // A closed square wall, 4 in thick and 96 in high, floor depth 0.5, every point selected
  // unless told.
  Objex* addWall(bool selected = true, float left = 0) {
    const RGBColor black{};
    Objex* w = CreateObject(kObjWall, 1, 1, &black, &black, 4, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    for (auto [x, z] : {std::pair{0.f, 0.f}, {240.f, 0.f}, {240.f, 240.f}, {0.f, 240.f}})
      AppendPointToObject(CreatePoint(1, selected, 0, 0, 0, 0, left + x, 0, z, 0, 0, 0, 0, 0, 0, w), w);
    for (Poinz* p = w->firstPoint; p; p = p->next) p->segmentFloats[0] = 96;
    w->params[2] = 0.5f;
    AppendObjectToLayer(w, model->itsCurLayer);
    return w;
  }
  CeilingBuilderController* open() {
    gCurDocument = model;
    window->documentView()->showCeilingBuilder();
    return sheet<CeilingBuilderController>();
  }
  int floors() const {
    int n = 0;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) n += o->type == kObjFloor;
    return n;
  }
};

TEST_F(CeilingBuilderSheet, OpensOnlyForOneSelectedWall) {
  EXPECT_EQ(open(), nullptr) << "no wall";
  addWall();
  addWall(true, 400);
  EXPECT_EQ(open(), nullptr) << "two walls";
  addWall(false, 800);
  model->itsCurLayer->firstObject->next->firstPoint->selected = 0;
  for (Poinz* p = model->itsCurLayer->firstObject->next->firstPoint; p; p = p->next) p->selected = 0;
  CeilingBuilderController* s = open();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->layoutName(), "CeilingBuilderSheet");
  EXPECT_FLOAT_EQ(GetFloatItem(s->ceilingElevationText), 96.5f);
  EXPECT_FLOAT_EQ(GetFloatItem(s->soffitElevationText), 96.5f);
  EXPECT_FLOAT_EQ(GetFloatItem(s->floorExtensionText), -2);
  EXPECT_FLOAT_EQ(GetFloatItem(s->soffitExtensionText), 18);
  EXPECT_FALSE(s->joinSoffitsButton->isChecked());
}

TEST_F(CeilingBuilderSheet, CheckBoxesEnableTheirFields) {
  addWall();
  CeilingBuilderController* s = open();
  ASSERT_NE(s, nullptr);
  s->buildSoffitsButton->setChecked(false);
  s->buildFloorsButton->setChecked(true);
  EXPECT_FALSE(s->soffitThicknessText->isEnabled());
  EXPECT_FALSE(s->joinSoffitsButton->isEnabled());
  EXPECT_TRUE(s->floorElevationText->isEnabled());
  s->buildCeilingsButton->setChecked(false);
  EXPECT_FALSE(s->ceilingExtensionText->isEnabled());
  s->buildSoffitsButton->setChecked(true);
  EXPECT_TRUE(s->soffitExtensionText->isEnabled());
  EXPECT_TRUE(s->joinSoffitsButton->isEnabled());
}

TEST_F(CeilingBuilderSheet, FloorAndSoffitsEachStoreTheirUndoStep) {
  Objex* wall = addWall();
  CeilingBuilderController* s = open();
  ASSERT_NE(s, nullptr);
  s->buildCeilingsButton->setChecked(false);
  s->buildFloorsButton->setChecked(true);
  s->buildSoffitsButton->setChecked(true);
  s->joinSoffitsButton->setChecked(true);
  type(s->soffitThicknessText, "4");
  ok();
  // A floor and, every segment selected, one joined soffit all round.
  EXPECT_EQ(floors(), 2);
  EXPECT_EQ(lastUndo(), "Build Ceiling/Floor");
  // Undoing the soffits' step leaves the floor; the floor's own step comes before it.
  doc->undoManager().undo();
  EXPECT_EQ(floors(), 1);
  EXPECT_EQ(lastUndo(), "Build Ceiling/Floor");
  doc->undoManager().undo();
  EXPECT_EQ(floors(), 0);
  EXPECT_FALSE(anyUndo());
  EXPECT_FLOAT_EQ(gSoffitThickness, 4);
  EXPECT_EQ(gSoffitConfig, 1);
  (void)wall;
}

TEST_F(CeilingBuilderSheet, OkDeselectsTheWallAndCancelKeepsTheValues) {
  Objex* wall = addWall();
  CeilingBuilderController* s = open();
  ASSERT_NE(s, nullptr);
  type(s->soffitThicknessText, "7");
  type(s->floorThicknessText, "9");
  cancel();
  EXPECT_FLOAT_EQ(gSoffitThickness, 3);
  EXPECT_EQ(floors(), 0);
  EXPECT_FALSE(anyUndo());

  s = open();
  ASSERT_NE(s, nullptr);
  s->buildSoffitsButton->setChecked(false);
  type(s->ceilingThicknessText, "6");
  ok();
  EXPECT_EQ(floors(), 2);
  EXPECT_FLOAT_EQ(gCeilingThickness, 6);
  EXPECT_FALSE(IsObjectSelected(wall));
}

TEST_F(CeilingBuilderSheet, RefusedEntryBuildsNothing) {
  addWall();
  CeilingBuilderController* s = open();
  ASSERT_NE(s, nullptr);
  ScopedAlertRecorder alerts;
  s->floorElevationText->setText("abc");
  ok();
  EXPECT_EQ(floors(), 0);
  EXPECT_FALSE(anyUndo());
  EXPECT_TRUE(alerts.sawMessage("Invalid number entered."));
}

}  // namespace
