// The program with a wall in the 3D window: a material entry dropped on the wall changes the
// texture of the wall side that faces the camera, and one Undo puts it back.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QByteArray>
#include <QMimeData>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>
#include <cstdlib>
#include <vector>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "LiveViewTestSupport.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "RedWalls.h"
#include "content/ContentPaletteController.h"
#include "content/SymEntry.h"
#include "model/Records.h"
#include "model/Services.h"

namespace {

using namespace red_walls;

class LiveViewApplyTest : public LiveViewTest {
 protected:

  // A wall in front of the walk camera, the 3D window shown; its view.
  LiveViewOGLView* showWall() {
    ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
    wall = AddRedWall(model, {{-300, 1700}, {300, 1700}});
    StoreUndo("Wall");
    walkCamera(40);
    ds->backgroundTextureID = 0;
    EXPECT_TRUE(showLiveViewAt(400, 360));
    QApplication::processEvents();
    return LiveViewController::sharedLiveViewController()->liveViewOGLView();
  }

  Objex* wall = nullptr;

  Objex* firstWall() const {
    for (Layer* l = model->itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next)
        if (o->type == kObjWall) return o;
    return nullptr;
  }
};

TEST_F(LiveViewApplyTest, AMaterialDroppedOnAWallChangesItsSideAndOneUndoPutsItBack) {
  LiveViewOGLView* view = showWall();
  const int32_t before[2] = {wall->firstPoint->textureID[0], wall->firstPoint->textureID[1]};
  const int32_t backgroundBefore = ds->backgroundTextureID;

  SymEntryInfo entry;
  entry.type = kEntryMaterial;
  entry.textureID = 2400;
  const std::vector<uint8_t> record = encodeSymEntry(entry);
  const QByteArray bytes(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));
  // The drag is offered as a copy only when it carries a content entry.
  QMimeData offered;
  EXPECT_EQ(view->draggingEntered(&offered), 0);
  offered.setText("text");
  EXPECT_EQ(view->draggingEntered(&offered), 0);
  offered.setData(QString::fromLatin1(Content3DDNDPboardType), bytes);
  EXPECT_EQ(view->draggingEntered(&offered), 4);
  EXPECT_EQ(view->draggingEntered(nullptr), 0);
  EXPECT_TRUE(view->prepareForDragOperation());
  ASSERT_TRUE(view->performDragOperation(&bytes, POINT{view->width() / 2, view->height() / 2}));
  view->concludeDragOperation();
  EXPECT_EQ(doc->undoManager().undoActionName(), "Material");

  // One side of the wall took the material, the other kept its own; nothing reached the sky.
  const int32_t after[2] = {wall->firstPoint->textureID[0], wall->firstPoint->textureID[1]};
  EXPECT_NE(after[0] == 2400, after[1] == 2400) << after[0] << " " << after[1];
  EXPECT_TRUE(after[0] == before[0] || after[1] == before[1]);
  EXPECT_EQ(ds->backgroundTextureID, backgroundBefore);
  EXPECT_EQ(gRefreshRender, 1);

  doc->undoManager().undo();
  model = doc->documentModel();
  ds = model->itsDocState;
  Objex* restored = firstWall();
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->firstPoint->textureID[0], before[0]);
  EXPECT_EQ(restored->firstPoint->textureID[1], before[1]);
}

// A material or a colour dropped on the wall lands on the side the camera sees, from in front
// and from behind, and only there; Undo puts both sides back and Redo makes the drop again.
TEST_F(LiveViewApplyTest, ADropTakesTheSideTheCameraSeesAndUndoAndRedoFollowIt) {
  LiveViewOGLView* view = showWall();
  const RGBColor dropped{200 * 257, 100 * 257, 50 * 257};
  auto sides = [this](int side) {
    Objex* w = firstWall();
    return w ? std::pair{w->firstPoint->textureID[side], w->firstPoint->color[side]} : std::pair{-1, RGBColor{}};
  };
  auto same = [](const RGBColor& a, const RGBColor& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
  };
  for (const bool behind : {false, true}) {
    for (const int16_t type : {kEntryMaterial, kEntryColor}) {
      SCOPED_TRACE(std::string(behind ? "behind, " : "in front, ") + (type == kEntryColor ? "colour" : "material"));
      // In front the camera looks up the plan at the wall's first side; behind, down it at the second.
      ds->walkEyePoint() = FloatPoint{0, behind ? 1125.0f : 2275.0f};
      ds->walkViewAngle() = behind ? 180 : 0;
      gRefreshRender = 1;
      view->display();
      const int seen = behind ? 1 : 0;
      const auto before = std::pair{sides(0), sides(1)};
      SymEntryInfo entry;
      entry.type = type;
      entry.textureID = type == kEntryMaterial ? 2400 : 0;
      entry.textureColor = RGBColor{200, 100, 50};
      const std::vector<uint8_t> record = encodeSymEntry(entry);
      const QByteArray bytes(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));
      ASSERT_TRUE(view->performDragOperation(&bytes, POINT{view->width() / 2, view->height() / 2}));
      EXPECT_EQ(doc->undoManager().undoActionName(), type == kEntryColor ? "Color" : "Material");
      auto expectDropped = [&] {
        const auto [texture, color] = sides(seen);
        if (type == kEntryMaterial) EXPECT_EQ(texture, 2400);
        else EXPECT_TRUE(same(color, dropped)) << color.red << " " << color.green << " " << color.blue;
        const auto other = sides(1 - seen);
        const auto& otherBefore = seen ? before.first : before.second;
        EXPECT_EQ(other.first, otherBefore.first);
        EXPECT_TRUE(same(other.second, otherBefore.second));
      };
      expectDropped();
      doc->undoManager().undo();
      model = doc->documentModel();
      ds = model->itsDocState;
      for (int side = 0; side < 2; ++side) {
        const auto& was = side ? before.second : before.first;
        EXPECT_EQ(sides(side).first, was.first) << side;
        EXPECT_TRUE(same(sides(side).second, was.second)) << side;
      }
      ASSERT_TRUE(doc->undoManager().redo());
      model = doc->documentModel();
      ds = model->itsDocState;
      expectDropped();
    }
  }
}

// The cut-away is part of the view, not of the design: the undo of a drop leaves it cutting
// where the slider shows, in its direction.
TEST_F(LiveViewApplyTest, UndoOfADropKeepsTheCutAwayAndItsSlider) {
  LiveViewOGLView* view = showWall();
  SymEntryInfo entry;
  entry.type = kEntryMaterial;
  entry.textureID = 2400;
  const std::vector<uint8_t> record = encodeSymEntry(entry);
  const QByteArray bytes(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));
  ASSERT_TRUE(view->performDragOperation(&bytes, POINT{view->width() / 2, view->height() / 2}));
  view->concludeDragOperation();
  ASSERT_EQ(doc->undoManager().undoActionName(), "Material");

  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  controller->cutAwaySliderUpButtonChanged();  // from the east
  QSlider* slider = controller->cutAwaySlider();
  controller->cutAwaySliderChanged(true, false);
  slider->setValue(slider->maximum() * 3 / 4);
  controller->cutAwaySliderChanged(false, true);
  const int32_t position = ds->cutAwayPosition();
  const int16_t direction = ds->cutAwayDirection();
  ASSERT_GT(position, 0);

  doc->undoManager().undo();
  ds = doc->documentModel()->itsDocState;
  Objex* restored = firstWall();
  ASSERT_NE(restored, nullptr);
  EXPECT_FALSE(restored->firstPoint->textureID[0] == 2400 || restored->firstPoint->textureID[1] == 2400);
  EXPECT_EQ(ds->cutAwayPosition(), position);
  EXPECT_EQ(ds->cutAwayDirection(), direction);
  EXPECT_EQ(slider->value(), position);
  EXPECT_EQ(controller->cutAwayImageIndex(), direction);
}

// The frozen image of auto-click is the frame the view showed, not a blank one.
TEST_F(LiveViewApplyTest, AutoClickFreezesTheFrameShown) {
  LiveViewOGLView* view = showWall();
  ContentPaletteController::releaseShared();
  gSelectedContentEntryType = kEntryMaterial;
  gSelectedContentCategory = 1;
  const QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
  view->flagsChanged(Qt::AltModifier);
  ASSERT_TRUE(view->autoClick3DActive());
  const QImage frozen = view->backingImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(frozen.size(), shown.size());
  bool allWhite = true;
  for (int y = 0; y < frozen.height() && allWhite; y += 4)
    for (int x = 0; x < frozen.width() && allWhite; x += 4) allWhite = frozen.pixel(x, y) == qRgb(255, 255, 255);
  EXPECT_FALSE(allWhite);
  EXPECT_EQ(frozen.pixel(frozen.width() / 2, frozen.height() / 2), shown.pixel(shown.width() / 2, shown.height() / 2));
  view->flagsChanged(Qt::NoModifier);
  gSelectedContentEntryType = 0;
}

TEST_F(LiveViewApplyTest, ThreeAutoClicksStoreOneStepWhenTheMouseLeaves) {
  LiveViewOGLView* view = showWall();
  ContentPaletteController::releaseShared();
  gSelectedContentEntryType = kEntryMaterial;
  gSelectedContentCategory = 1;
  gSelectedContentEntry = SymEntryInfo{};
  gSelectedContentEntry.type = kEntryMaterial;
  gSelectedContentEntry.textureID = 2410;
  const size_t steps = UndoSteps(doc->undoManager());
  view->flagsChanged(Qt::AltModifier);
  ASSERT_TRUE(view->autoClick3DActive());
  const QPointF middle(view->width() / 2.0, view->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, middle, middle, Qt::LeftButton, Qt::LeftButton, Qt::AltModifier);
  for (int i = 0; i < 3; ++i) view->mouseDown(&press);
  EXPECT_TRUE(wall->firstPoint->textureID[0] == 2410 || wall->firstPoint->textureID[1] == 2410);
  EXPECT_EQ(UndoSteps(doc->undoManager()), steps);
  view->mouseExited();
  EXPECT_EQ(UndoSteps(doc->undoManager()), steps + 1);
  EXPECT_EQ(doc->undoManager().undoActionName(), "Auto-click Material");
  gSelectedContentEntryType = 0;
  gSelectedContentCategory = -1;
  gSelectedContentEntry = SymEntryInfo{};
}

}  // namespace
