// The live width and depth dimensions of the rectangle and oval tools, drawn into the plan
// view's overlay through the plan drawing's dimension lines, and the centre mode.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "plandraw/GuiTestSupport.h"
#include "ToolTestSupport.h"
#include "model/Delete.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {

struct LiveDimensions : ToolTest {
  void (*savedDiameter)(float) = gFrontEnd.drawDiameter;
  static inline float sDiameter = -1;
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  void TearDown() override {
    gCenterRectTool = 0;
    gFrontEnd.drawDiameter = savedDiameter;
    ToolTest::TearDown();
  }
};

TEST_F(LiveDimensions, CentreModeRectangleAndDownPointPutBack) {
  gCurTool = kToolRectangle;
  gCenterRectTool = 1;
  gDownX = gDownY = gDownZ = 0;
  gStartMouse = POINT{0, 0};
  gEndMouse = POINT{100, 100};  // a long enough drag
  gMouseCaptured = 1;
  TrackRect(10, 5, 10, 0, 5, kTrackEnd);
  ASSERT_EQ(CountObjects(doc.first), 1);
  float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
  for (const Poinz* p = doc.first->firstObject->firstPoint; p; p = p->next) {
    minX = std::fmin(minX, p->position[0]), maxX = std::fmax(maxX, p->position[0]);
    minZ = std::fmin(minZ, p->position[2]), maxZ = std::fmax(maxZ, p->position[2]);
  }
  EXPECT_FLOAT_EQ(minX, -10);
  EXPECT_FLOAT_EQ(maxX, 10);
  EXPECT_FLOAT_EQ(minZ, -5);
  EXPECT_FLOAT_EQ(maxZ, 5);
  EXPECT_FLOAT_EQ(gDownX, 0);
  EXPECT_FLOAT_EQ(gDownZ, 0);
}

TEST_F(LiveDimensions, RectangleDragShowsWidthAndDepthLabels) {
  gCurTool = kToolRectangle;
  gMouseCaptured = 1;
  BeginTracking(100, 100);
  KeepTracking(200, 150, 100, 100);
  // The width (100) and depth (50) labels; the width line with its extension lines.
  EXPECT_EQ(overlay.dynamicDimArray().size(), 2u);
  const NSRect b = overlay.boundsForAllPaths();
  EXPECT_LT(b.origin.x, 90);  // the depth label left of the shape (the mouse is to the right)

  GuiApplication();
  QImage image(300, 250, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QPainterDrawContext ctx(&painter);
    overlay.strokeAllPaths(&ctx);
  }
  if (const char* dump = getenv("LIVE_DIMENSIONS_IMAGE")) image.save(dump);
  auto reddish = [&](int x, int y) {
    const QRgb c = image.pixel(x, y);
    return qRed(c) > 150 && qGreen(c) < 120 && qBlue(c) < 120;
  };
  auto anyRed = [&](int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (reddish(x, y)) return true;
    return false;
  };
  // The width dimension line across the middle of the shape, clear of its label.
  EXPECT_TRUE(anyRed(108, 124, 112, 126));
  EXPECT_TRUE(anyRed(188, 124, 192, 126));
  // Its extension lines stand 10 units either side of the measured ends.
  EXPECT_TRUE(anyRed(99, 116, 101, 118));
  // The width label's text in the middle of the line, over its white box.
  EXPECT_TRUE(anyRed(138, 118, 162, 132));
  // The depth label 25 units left of the shape, half way down.
  EXPECT_TRUE(anyRed(60, 115, 90, 135));
  EXPECT_FALSE(anyRed(20, 20, 60, 60));  // nothing far from the shape
  EndTracking(200, 150, 200, 150);
  FinishTracking();
  EXPECT_TRUE(overlay.areAllPathsEmpty());
}

TEST_F(LiveDimensions, SquaringRectangleShowsOnlyTheWidth) {
  gCurTool = kToolRectangle;
  sModifiers = kTrackModShift;  // squaring without the lock
  gMouseCaptured = 1;
  BeginTracking(100, 100);
  KeepTracking(200, 150, 100, 100);
  EXPECT_EQ(overlay.dynamicDimArray().size(), 1u);
  EndTracking(200, 150, 200, 150);
  FinishTracking();
}

TEST_F(LiveDimensions, OvalShowsItsDimensionsToo) {
  gCurTool = kToolCircleOval;
  gMouseCaptured = 1;
  BeginTracking(100, 100);
  KeepTracking(220, 180, 100, 100);
  EXPECT_EQ(overlay.dynamicDimArray().size(), 2u);
  EndTracking(220, 180, 220, 180);
  FinishTracking();
}

// Each tool squares by its own lock, the other tools' locks set the other way; Shift inverts
// it. Dragged down to the right and up to the left: while dragging, one dimension (and the
// oval's diameter) when squaring, two otherwise; at the mouse-up, the shape as deep as it is wide.
TEST_F(LiveDimensions, EachShapeToolSquaresByItsOwnLockInBothDirections) {
  gFrontEnd.drawDiameter = [](float d) { sDiameter = d; };
  for (float scale : {24.0f, 96.0f})
    for (uint16_t tool : {kToolRectangle, kToolCircleOval, kToolArc})
      for (uint8_t lock : {0, 1})
        for (uint16_t modifiers : {0, static_cast<int>(kTrackModShift)})
          for (POINT to : {POINT{220, 150}, POINT{40, 30}}) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " tool " << tool << " lock " << int(lock)
                                            << " modifiers " << modifiers << " to " << to.x << "," << to.y);
            const bool square = (modifiers != 0) != (lock != 0);
            doc.ds()->planScale = scale;
            gCurTool = tool;
            gLockRectTool = tool == kToolRectangle ? lock : !lock;
            gLockOvalTool = tool == kToolCircleOval ? lock : !lock;
            gLockArcTool = tool == kToolArc ? lock : !lock;
            sModifiers = modifiers;
            sDiameter = -1;
            gMouseCaptured = 1;
            BeginTracking(100, 100);
            KeepTracking(to.x, to.y, 100, 100);
            EXPECT_EQ(overlay.dynamicDimArray().size(), square ? 1u : 2u);
            if (tool == kToolCircleOval)  // the signed width in inches, plan units being 72 / scale inches
              EXPECT_FLOAT_EQ(sDiameter, square ? (to.x - 100.0f) * scale / 72 : 0.0f);
            EndTracking(to.x, to.y, to.x, to.y);
            FinishTracking();
            ASSERT_EQ(CountObjects(doc.first), 1);
            Objex* shape = doc.first->firstObject;
            float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
            for (const Poinz* p = shape->firstPoint; p; p = p->next) {
              minX = std::fmin(minX, p->position[0]), maxX = std::fmax(maxX, p->position[0]);
              minZ = std::fmin(minZ, p->position[2]), maxZ = std::fmax(maxZ, p->position[2]);
            }
            const float width = std::fabs(to.x - 100.0f), depth = square ? width : std::fabs(to.y - 100.0f);
            EXPECT_NEAR(maxX - minX, width, 1e-3);
            EXPECT_NEAR(maxZ - minZ, depth, 1e-3);
            EXPECT_NEAR(to.y > 100 ? minZ : maxZ, 100, 1e-3);  // on the side dragged to
            UnlinkObject(shape);
            DeleteObj(shape);
          }
}

}  // namespace
