// Selection drawing over a recording context: frame and point handles, key-entry handles,
// the 3D selection box in the plan and in elevations, the outline drawn over a selection
// (also through the model's entry point), dynamic text boxes, and handle pixels on a QImage.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "TestDocument.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/SelectionBox.h"
#include "plandraw/SelectionHandles.h"
#include "plandraw/SymbolGeometry.h"
#include "plandraw/TextObjects.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {

using Kind = RecordingDrawContext::Kind;

Base2DView* gSelectionView = nullptr;

struct SelectionFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard viewState;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  Base2DView view;
  uint16_t savedTool = gCurTool;
  int16_t savedFlag = gKeyEntrySelectionFlag;
  uint8_t savedOrientation = gPointOrientation;
  const RECT update{0, 0, 800, 600};

  SelectionFixture() {
    doc.ds()->zoomFactor = 1;
    gCurTool = kToolSelection;
    gPointOrientation = 0;  // objects are edited whole
    gSelectionView = &view;
    gPlanViewHooks.documentView = [] { return gSelectionView; };
    gPlanViewHooks.dynamicDrawEngine = [] { return &gSelectionView->dynamicDrawEngine(); };
  }
  ~SelectionFixture() override {
    gPlanViewHooks.documentView = nullptr;
    gPlanViewHooks.dynamicDrawEngine = nullptr;
    gSelectionView = nullptr;
    gCurTool = savedTool;
    gKeyEntrySelectionFlag = savedFlag;
    gPointOrientation = savedOrientation;
    gTransformationDrawing = 0;
    FreeAcclLineBuffer();
  }

  // A selected rectangle whose 3D bounds span x 0-100, height 0-96, z 0-50.
  Objex* selectedRectangle() {
    Objex* r = doc.addObject(kObjRect, true, {{0, 0}, {100, 0}, {100, 50}, {0, 50}});
    for (Poinz* p = r->firstPoint; p; p = p->next) p->selected = 1;
    r->bounds3D = {0, 0, 0, 96, 100, 50};
    return r;
  }
  std::vector<const RecordingDrawContext::Call*> handles() const {
    std::vector<const RecordingDrawContext::Call*> out;
    for (const auto& c : ctx.calls)
      if (c.kind == Kind::FillPath && c.fill.color == ctx.focusIndicatorColor()) out.push_back(&c);
    return out;
  }
  void frontElevation() {
    gXViewAngle = 0, gYViewAngle = 0;
    SetUpForRotationAboutArbitraryAxis(0, 0, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
  }
};

NSPoint View(float x, float y, float z) {
  NSPoint v;
  ProjectLine(x, y, z, x, y, z, false, &v, nullptr);
  return v;
}

}  // namespace

TEST_F(SelectionFixture, SelectedRectangleShowsItsFootprintAndTopCornerHandlesInThePlan) {
  selectedRectangle();
  DrawAllLayerHandles(doc.model.itsLayers, &update);
  ASSERT_EQ(handles().size(), 4u);
  // Each handle is a 7 by 7 square, 3 left and above and 4 right and below its point.
  const NSPoint corner = View(0, 0, 0);
  EXPECT_EQ(handles()[0]->rect.origin.x, corner.x - 3);
  EXPECT_EQ(handles()[0]->rect.origin.y, corner.y - 3);
  EXPECT_EQ(handles()[0]->rect.size.width, 7);
  EXPECT_EQ(handles()[0]->rect.size.height, 7);
  // The box: one closed footprint, 2 wide, in the focus colour, before the handles.
  ASSERT_EQ(ctx.count(Kind::StrokePath), 1u + 4u);  // box and the handles' outlines
  const auto& box = ctx.calls[0];
  EXPECT_EQ(box.kind, Kind::StrokePath);
  EXPECT_EQ(box.stroke.width, 2.0f);
  EXPECT_EQ(box.stroke.color, ctx.focusIndicatorColor());
  EXPECT_EQ(box.rect.size.width, 100);
  EXPECT_EQ(box.rect.size.height, std::fabs(View(0, 0, 50).y - View(0, 0, 0).y));

  // Nothing for an unselected object; nothing on an invisible layer.
  ctx.clear();
  doc.first->visible = 0;
  DrawAllLayerHandles(doc.model.itsLayers, &update);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(SelectionFixture, ElevationsShowAllEightCornersAndTwelveEdges) {
  selectedRectangle();
  frontElevation();
  DrawAllLayerHandles(doc.model.itsLayers, &update);
  EXPECT_EQ(handles().size(), 8u);
  // Twelve separate edges: 24 points.
  EXPECT_EQ(ctx.calls[0].points.size(), 24u);
}

TEST_F(SelectionFixture, HandlesShowOnlyWhileTheOverlayIsEmpty) {
  selectedRectangle();
  const NSRect rect = NSMakeRect(-400, -300, 800, 600);
  view.dynamicDrawEngine().activePathMoveToPoint({0, 0});
  view.dynamicDrawEngine().activePathLineToPoint({10, 10});
  view.draw3D(&rect, kDrawFlagAll);
  EXPECT_TRUE(handles().empty());
  view.dynamicDrawEngine().removePointsFromAllPaths();
  ctx.clear();
  view.draw3D(&rect, kDrawFlagAll);
  EXPECT_EQ(handles().size(), 4u);
}

TEST_F(SelectionFixture, FlatAndThinBoxesAndBoxlessObjects) {
  // 0.4 and -0.3 round to the same unit: flat, so the top face's four corners.
  Float3DRect flat{0.4f, 0, 0, -0.3f, 100, 50};
  frontElevation();
  DrawCube(nullptr, &flat);
  EXPECT_EQ(ctx.calls[0].points.size(), 5u + 1u);  // closed polyline, first point repeated
  ctx.clear();
  Float3DRect thinZ{0, 0, 20, 96, 100, 20};
  DrawCube(nullptr, &thinZ);
  ASSERT_EQ(ctx.calls[0].points.size(), 8u);  // four lines at z0
  for (const NSPoint& p : ctx.calls[0].points) EXPECT_EQ(p.y == View(0, 0, 20).y || p.y == View(0, 96, 20).y, true);
  // Thin across x: its face at x 40, two corners at each height (each reached by two lines).
  ctx.clear();
  Float3DRect thinX{0, 40, 0, 96, 40, 50};
  DrawCube(nullptr, &thinX);
  ASSERT_EQ(ctx.calls[0].points.size(), 8u);
  int low = 0, high = 0;
  for (const NSPoint& p : ctx.calls[0].points) {
    EXPECT_EQ(p.x, View(40, 0, 0).x);
    low += p.y == View(40, 0, 0).y;
    high += p.y == View(40, 96, 0).y;
  }
  EXPECT_EQ(low, 4);
  EXPECT_EQ(high, 4);

  // Standard text gets no box and, being flat, its top corners.
  ctx.clear();
  Objex* text = selectedRectangle();
  text->type = kObjText;
  text->bounds3D = {0, 0, 0, 0, 100, 50};
  DrawObjectHandles(text, &update);
  EXPECT_EQ(ctx.count(Kind::StrokePath), 4u);  // handle outlines only
  EXPECT_EQ(handles().size(), 4u);
  // Without a height extent, a boxless object with a height gets no corners.
  ctx.clear();
  text->bounds3D = {0, 0, 0, 96, 100, 50};
  DrawObjectHandles(text, &update);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(SelectionFixture, MovingToolsGetTheBoxAsATransformElement) {
  Float3DRect box{0, 0, 0, 96, 100, 50};
  gTransformationDrawing = 1;
  DrawCube(&box);  // the model's entry point
  EXPECT_TRUE(ctx.calls.empty());
  ASSERT_EQ(view.dynamicDrawEngine().dynamicTransformArray().size(), 1u);
  const auto& element = *view.dynamicDrawEngine().dynamicTransformArray()[0];
  EXPECT_TRUE(element.drawUsingIndicatorColor());
  EXPECT_EQ(element.path().lineWidth(), 2.0f);
  EXPECT_EQ(element.path().bounds().size.width, 100);
}

TEST_F(SelectionFixture, PointHandlesAndAlternatingKeyEntryHandles) {
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {100, 0}, {200, 0}});
  line->firstPoint->selected = 1;
  line->firstPoint->next->next->selected = 1;
  DrawObjectHandles(line, &update);
  EXPECT_EQ(handles().size(), 2u);

  ctx.clear();
  gCurTool = kToolKeyEntry;
  gKeyEntrySelectionFlag = 1;
  DrawObjectHandles(line, &update);
  ASSERT_EQ(ctx.count(Kind::FillPath), 2u);
  EXPECT_EQ(ctx.calls[0].fill.color, kDrawRed);
  EXPECT_EQ(ctx.calls[0].rect.size.width, 9);
  EXPECT_EQ(ctx.calls[2].fill.color, (DrawColor{0, 1, 0, 1}));
  EXPECT_EQ(line->firstPoint->keyEntryMark, 1);
  EXPECT_EQ(line->firstPoint->next->next->keyEntryMark, -1);
  EXPECT_EQ(gKeyEntrySelectionFlag, 1);
}

TEST_F(SelectionFixture, SelectionLineOfASlopeArrowEndsInAnArrowheadAlsoFromTheModel) {
  Objex* arrow = doc.addObject(kObjRoofSlopeArrow, false, {{0, 0}, {100, 0}});
  PlanDrawSelectionLine(arrow);
  const auto lines = ctx.strokedLinePoints();
  ASSERT_EQ(lines.size(), 6u);
  // Barbs 30 long at 45 degrees back from the end.
  EXPECT_NEAR(lines[2].x, 100 - 30 * std::cos(0.7853982f), 1.0f);
  EXPECT_EQ(lines[3].x, View(100, 0, 0).x);
  ctx.clear();
  ServiceCallRecorder calls;
  DrawSelectionLine(arrow);  // the model's entry point reaches the plan drawing
  EXPECT_TRUE(calls.called("DrawSelectionLine", arrow->objectID));
  EXPECT_EQ(ctx.strokedLinePoints().size(), 6u);
}

TEST_F(SelectionFixture, WallSelectionBarsCoverSegmentsWithBothEndsSelected) {
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}});
  wall->width = 0;
  wall->firstPoint->selected = wall->firstPoint->next->selected = 1;
  DrawWallSelection(wall);
  ASSERT_EQ(ctx.count(Kind::FillPath), 1u);
  EXPECT_EQ(ctx.calls[0].fill.color, kDrawRed);
  EXPECT_EQ(ctx.calls[0].rect.size.width, 100);
  ctx.clear();
  wall->firstPoint->selected = 0;
  DrawWallSelection(wall);
  EXPECT_TRUE(ctx.calls.empty());
}

// The bar over a selected segment is as thick as the wall (inches, at the plan scale), on a
// segment across the plan and one down it.
TEST_F(SelectionFixture, WallSelectionBarsAreAsThickAsTheWallAtEveryPlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float t = 8 * 72 / scale;  // whole units either side
    Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {100, 100}});
    wall->width = 8;
    Poinz* p = wall->firstPoint;
    for (const bool down : {false, true}) {
      p->selected = !down;
      p->next->selected = 1;
      p->next->next->selected = down;
      ctx.clear();
      DrawWallSelection(wall);
      ASSERT_EQ(ctx.count(Kind::FillPath), 1u) << down;
      const NSSize size = ctx.calls[0].rect.size;
      EXPECT_NEAR(down ? size.width : size.height, t, 1.01f) << down;
      EXPECT_NEAR(down ? size.height : size.width, 100, 1.01f) << down;
    }
  }
}

TEST_F(SelectionFixture, DynamicTextTurnsItsBoxAndBoundsWithItsAngle) {
  Objex* text = doc.addObject(kObjDynamicText, true, {{40, 40}, {60, 40}, {60, 60}, {40, 60}});
  auto* string = static_cast<char*>(calloc(8, 1));
  memcpy(string, "ABCD", 4);
  text->typeData = string;
  auto* font = static_cast<LOGFONT*>(calloc(1, sizeof(LOGFONT)));
  font->lfHeight = -12;
  text->extraData = font;
  text->params[0] = 90;
  DrawTextDynamicObject(nullptr, text);
  // 4 characters of 0.6 x 12 wide: half width 14, half height 6, turned a quarter.
  EXPECT_EQ(text->extraLong, 14);
  EXPECT_NEAR(text->firstPoint->position[0], 56, 1e-3);
  EXPECT_NEAR(text->firstPoint->position[2], 64, 1e-3);
  EXPECT_NEAR(text->bounds.floatLeft, 44, 1e-3);
  EXPECT_NEAR(text->bounds.floatRight, 56, 1e-3);
  EXPECT_NEAR(text->bounds.floatTop, 36, 1e-3);
  EXPECT_NEAR(text->bounds.floatBottom, 64, 1e-3);
  EXPECT_EQ(ctx.count(Kind::Text), 1u);

  // An empty text keeps its points and draws nothing.
  string[0] = 0;
  ctx.clear();
  text->params[0] = 0;
  DrawTextDynamicObject(nullptr, text);
  EXPECT_NEAR(text->firstPoint->position[0], 56, 1e-3);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST(SelectionPixels, HandleSquareIsFilledAndOutlinedOnAnImage) {
  static int argc = 1;
  static char name[] = "test_plandraw";
  static char* argv[] = {name, nullptr};
  if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
  TestDocument doc;
  ViewStateGuard viewState;
  doc.ds()->zoomFactor = 1;
  QImage image(40, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  DrawColor focus;
  {
    QPainter painter(&image);
    QPainterDrawContext ctx(&painter);
    CurrentDrawContextScope scope(&ctx);
    focus = ctx.focusIndicatorColor();
    const NSPoint at = View(0, 0, 0);
    ctx.translateBy(20 - at.x, 20 - at.y);  // the model origin at pixel (20, 20)
    PlotHandle(nullptr, 0, 0, 0);
  }
  const QColor inside = image.pixelColor(21, 21);
  EXPECT_NEAR(inside.redF(), focus.red, 0.01);
  EXPECT_NEAR(inside.greenF(), focus.green, 0.01);
  EXPECT_NEAR(inside.blueF(), focus.blue, 0.01);
  EXPECT_LT(image.pixelColor(17, 21).lightness(), 100);  // the black outline on the left edge
  EXPECT_EQ(image.pixelColor(27, 21), QColor(Qt::white));  // beyond the right edge
  EXPECT_EQ(image.pixelColor(21, 15), QColor(Qt::white));
}
