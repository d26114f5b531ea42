// The QPainter context, checked at chosen pixels of a QImage: solid and dashed lines
// where they should be, the plan line styles, batches, fills, text and images.
#include <gtest/gtest.h>

#include "plandraw/GuiTestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "TestDocument.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {


// A white canvas painted through a QPainterDrawContext.
struct Canvas {
  QImage image;
  explicit Canvas(int w = 200, int h = 100) : image(w, h, QImage::Format_RGB32) { image.fill(Qt::white); }
  template <typename F>
  void paint(F&& f) {
    QPainter painter(&image);
    QPainterDrawContext ctx(&painter);
    CurrentDrawContextScope scope(&ctx);
    f(ctx);
  }
  bool inked(int x, int y) const { return image.pixel(x, y) != qRgb(255, 255, 255); }
  QRgb at(int x, int y) const { return image.pixel(x, y); }
  // Inked pixels along a row from x0 to x1 inclusive, as a string of '#' and '.'.
  std::string row(int y, int x0, int x1) const {
    std::string s;
    for (int x = x0; x <= x1; ++x) s += inked(x, y) ? '#' : '.';
    return s;
  }
};

StrokeStyle Stroke(float width, std::initializer_list<float> dash = {}) {
  StrokeStyle s;
  s.color = kDrawBlack;
  s.width = width;
  std::vector<float> d(dash);
  s.setDash(d.data(), static_cast<int>(d.size()));
  return s;
}

}  // namespace

TEST(QPainterDrawContext, SolidAndDashedLinesLandWhereTheyShould) {
  Canvas c;
  c.paint([](DrawContext& ctx) {
    const NSPoint solid[] = {{10, 10}, {110, 10}};
    ctx.strokeLines(solid, 2, Stroke(1));
    const NSPoint dashed[] = {{10, 30}, {110, 30}};
    ctx.strokeLines(dashed, 2, Stroke(1, {6, 4}));
    // A wide pen: the dash stays 9 units long, it is not 9 pen widths.
    const NSPoint wide[] = {{10, 50}, {110, 50}};
    ctx.strokeLines(wide, 2, Stroke(3, {9, 6}));
  });
  EXPECT_EQ(c.row(10, 10, 109), std::string(100, '#'));
  EXPECT_FALSE(c.inked(60, 12));
  EXPECT_EQ(c.row(30, 10, 29), "######....######....");
  EXPECT_EQ(c.row(50, 10, 39), "#########......#########......");
  for (int y : {49, 51}) EXPECT_TRUE(c.inked(14, y));
  EXPECT_FALSE(c.inked(14, 53));
  EXPECT_FALSE(c.inked(21, 50));
}

TEST(QPainterDrawContext, PlanLineStylesThroughDrawLine) {
  TestDocument doc;
  ViewStateGuard view;
  doc.ds()->zoomFactor = 1;
  Objex* fence = doc.addObject(kObjFence, false, {{10, 10}, {110, 10}, {110, 40}});
  fence->firstPoint->pointType = 6;
  Objex* property = doc.addObject(kObjPropertyLine, false, {{10, 70}, {110, 70}});
  Canvas c;
  c.paint([&](DrawContext& ctx) {
    ctx.setLineWidth(1);
    Poinz* gate = fence->firstPoint;
    DrawLine(nullptr, 10, 0, 10, 110, 0, 10, 0, fence, gate);          // gate: solid, 3 wide
    DrawLine(nullptr, 10, 0, 30, 110, 0, 30, 0, fence, gate->next);    // fence: 3 on, 3 off
    DrawLine(nullptr, 10, 0, 70, 110, 0, 70, 0, property, property->firstPoint);  // 18 on, 6 off
    DrawLine(nullptr, 10, 0, 90, 40000, 0, 90, 0, property, nullptr);  // beyond range: nothing
  });
  EXPECT_EQ(c.row(10, 12, 108), std::string(97, '#'));
  EXPECT_TRUE(c.inked(50, 9));
  EXPECT_TRUE(c.inked(50, 11));
  EXPECT_EQ(c.row(30, 10, 27), "###...###...###...");
  EXPECT_FALSE(c.inked(50, 29));
  EXPECT_EQ(c.row(70, 10, 57), "##################......##################......");
  EXPECT_EQ(c.row(90, 0, 199), std::string(200, '.'));
}

TEST(QPainterDrawContext, LongBatchesAreDrawnWhole) {
  std::vector<NSPoint> points;
  for (int i = 0; i < 25000; ++i) {
    float y = static_cast<float>(i % 100);
    points.push_back({0, y});
    points.push_back({i < 20000 ? 10.0f : 150.0f, y});
  }
  Canvas c;
  c.paint([&](DrawContext& ctx) { ctx.strokeLines(points.data(), points.size(), Stroke(1)); });
  EXPECT_TRUE(c.inked(5, 0));
  EXPECT_TRUE(c.inked(140, 99));  // from the second batch
}

TEST(QPainterDrawContext, FillsPatternsImagesAndClips) {
  const uint8_t tile[] = {255, 0, 0, 255, 0, 0, 255, 255,   //
                          0, 0, 255, 255, 255, 0, 0, 255};  // 2 x 2 checker, red and blue
  DrawImageData tileData{2, 2, 4, 8, tile};
  const uint8_t green[] = {0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0};
  DrawImageData greenData{2, 2, 3, 6, green};
  Canvas c;
  c.paint([&](DrawContext& ctx) {
    ctx.fillRect(NSMakeRect(10, 10, 20, 20), {0, 0, 0, 1});
    FillStyle hatch;
    hatch.pattern = &tileData;
    const NSPoint square[] = {{40, 10}, {60, 10}, {60, 30}, {40, 30}};
    ctx.fillPolygon(square, 4, hatch);
    ctx.drawImage(greenData, NSMakeRect(70, 10, 20, 20));
    ctx.saveGraphicsState();
    ctx.clipToRect(NSMakeRect(100, 10, 10, 10));
    ctx.fillRect(NSMakeRect(100, 10, 50, 50), {0, 0, 0, 1});
    ctx.restoreGraphicsState();
    ctx.fillRect(NSMakeRect(100, 60, 5, 5), {0, 0, 0, 1});  // clip gone after restore
  });
  EXPECT_EQ(c.at(20, 20), qRgb(0, 0, 0));
  EXPECT_NE(c.at(40, 10), c.at(41, 10));
  EXPECT_EQ(c.at(40, 10), c.at(41, 11));
  EXPECT_EQ(c.at(80, 20), qRgb(0, 255, 0));
  EXPECT_TRUE(c.inked(105, 15));
  EXPECT_FALSE(c.inked(115, 15));
  EXPECT_FALSE(c.inked(105, 25));
  EXPECT_TRUE(c.inked(102, 62));
}

TEST(QPainterDrawContext, NestedSavesPutBackClipAndTranslationInOrder) {
  Canvas c;
  c.paint([&](DrawContext& ctx) {
    ctx.beginLineBatch();
    ctx.saveGraphicsState();  // outer: nothing changed under it
    const NSPoint line[] = {{0, 50}, {199, 50}};
    ctx.strokeLines(line, 2, Stroke(1));
    ctx.saveGraphicsState();  // inner: translated and clipped
    ctx.translateBy(100, 0);
    ctx.clipToRect(NSMakeRect(0, 0, 20, 100));
    ctx.fillRect(NSMakeRect(0, 40, 50, 20), {0, 0, 0, 1});  // over the line, clipped to 100..119
    ctx.restoreGraphicsState();
    ctx.fillRect(NSMakeRect(10, 45, 10, 10), {1, 0, 0, 1});  // untranslated, unclipped, over the line
    ctx.restoreGraphicsState();
    ctx.fillRect(NSMakeRect(150, 10, 10, 10), {0, 0, 1, 1});
    ctx.endLineBatch();
  });
  EXPECT_EQ(c.at(110, 45), qRgb(0, 0, 0));
  EXPECT_FALSE(c.inked(125, 45));
  EXPECT_EQ(c.at(15, 50), qRgb(255, 0, 0));  // the fill covers the line drawn before it
  EXPECT_EQ(c.at(60, 50), qRgb(0, 0, 0));
  EXPECT_EQ(c.at(155, 15), qRgb(0, 0, 255));
}

TEST(QPainterDrawContext, TextIsCentredOnItsAnchorAndTurns) {
  GuiApplication();
  Canvas c(200, 200);
  NSSize size;
  c.paint([&](DrawContext& ctx) {
    FontDescription font;
    font.pointSize = 20;
    size = ctx.measureText("MMMMMM", font);
    TextRun run;
    run.text = "MMMMMM";
    run.anchor = {100, 50};
    run.font = font;
    ctx.drawText(run);
    run.anchor = {50, 130};
    run.angleDegrees = 90;  // reads upward
    ctx.drawText(run);
  });
  EXPECT_GT(size.width, 40);
  EXPECT_GT(size.height, 10);
  auto inkedBox = [&](int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += c.inked(x, y);
    return n;
  };
  // Horizontal text: ink left and right of the anchor, none far above or below.
  EXPECT_GT(inkedBox(60, 40, 99, 60), 20);
  EXPECT_GT(inkedBox(101, 40, 140, 60), 20);
  EXPECT_EQ(inkedBox(60, 0, 140, 30), 0);
  // Turned text: ink above and below its anchor, in a narrow column.
  EXPECT_GT(inkedBox(40, 95, 60, 129), 20);
  EXPECT_GT(inkedBox(40, 131, 60, 165), 20);
  EXPECT_EQ(inkedBox(0, 100, 25, 160), 0);
}

TEST(QPainterDrawContext, DashConversionGuardsAgainstBadPatterns) {
  QPen pen = PenForStroke(Stroke(4, {8, 4}));
  ASSERT_EQ(pen.dashPattern().size(), 2);
  EXPECT_DOUBLE_EQ(pen.dashPattern()[0], 2.0);
  EXPECT_DOUBLE_EQ(pen.dashPattern()[1], 1.0);
  EXPECT_EQ(pen.capStyle(), Qt::FlatCap);
  EXPECT_EQ(PenForStroke(Stroke(0, {3, 3})).dashPattern()[0], 3.0);  // width 0 counts as 1
  EXPECT_EQ(PenForStroke(Stroke(1, {5})).dashPattern().size(), 2);   // odd patterns repeat
  EXPECT_EQ(PenForStroke(Stroke(1, {0, 0})).style(), Qt::SolidLine);
  EXPECT_EQ(PenForStroke(Stroke(1, {std::numeric_limits<float>::infinity(), 3})).style(), Qt::SolidLine);
  EXPECT_EQ(PenForStroke(Stroke(1, {-2, 3})).style(), Qt::SolidLine);
}

TEST(QPainterDrawContext, OverlayStrokesFillsAndContinuesAfterAClose) {
  GuiApplication();
  ZLKDynamicDrawEngine engine;
  const float dash[] = {4, 4};
  engine.setActivePathLineDash(dash, 2, 0);
  engine.appendLineToActivePathWithStartPoint({10, 10}, {90, 10});
  engine.appendRectToActivePath(NSMakeRect(50, 50, 20, 20));
  engine.activePathLineToPoint({100, 60});  // continues from the rectangle's corner
  engine.setActivePath(kPathSecondary);
  engine.setActivePathDeviceRed(0, 0, 1, 1);
  engine.setActivePathDrawMethod(kDrawMethodFill);
  engine.appendRectToActivePath(NSMakeRect(120, 20, 20, 20));
  Canvas c;
  c.paint([&](DrawContext& ctx) { engine.strokeAllPaths(&ctx); });
  EXPECT_EQ(c.row(10, 10, 25), "####....####....");
  EXPECT_EQ(c.at(12, 10), qRgb(255, 0, 0));
  EXPECT_TRUE(c.inked(60, 50));
  int onLine = 0;  // the dashed line from (50, 50) towards (100, 60)
  for (int x = 72; x < 100; ++x) onLine += c.inked(x, 50 + (x - 50) / 5);
  EXPECT_GE(onLine, 8);
  EXPECT_FALSE(c.inked(25, 15) || c.inked(50, 30));  // not from the origin
  EXPECT_EQ(c.at(130, 30), qRgb(0, 0, 255));
}

// Designs name their text faces by Windows names and store each text's box as measured with
// that face: the face standing in for it here keeps the same advance widths, so the stored
// box still holds the text. (Arial's "Living Room" is 11383/2048 em wide, 66.7 at 12 points;
// Times New Roman's 10980/2048 em, 64.3.)
TEST(QPainterDrawContext, WindowsFacesMeasureAsTheyWereMeasured) {
  GuiApplication();
  Canvas c(200, 100);
  NSSize arial{}, times{};
  c.paint([&](DrawContext& ctx) {
    FontDescription font;
    font.family = "Arial";
    font.pointSize = 12;
    arial = ctx.measureText("Living Room", font);
    font.family = "Times New Roman";
    times = ctx.measureText("Living Room", font);
  });
  EXPECT_NEAR(arial.width, 66.7, 2.0);
  EXPECT_NEAR(times.width, 64.3, 2.0);
  // Drawn left-aligned in a box of the stored width, the last letter is inside the box.
  Canvas whole(200, 60);
  whole.paint([&](DrawContext& ctx) {
    FontDescription font;
    font.family = "Arial";
    font.pointSize = 12;
    TextRun run;
    run.text = "Living Room";
    run.font = font;
    run.anchor = {10 + 66.7 / 2, 30};
    ctx.drawText(run);
  });
  int inkRight = 0, inkPast = 0;
  for (int y = 15; y < 45; ++y) {
    for (int x = 66; x <= 77; ++x) inkRight += whole.inked(x, y);  // the "m"
    for (int x = 79; x < 120; ++x) inkPast += whole.inked(x, y);
  }
  EXPECT_GT(inkRight, 10);
  EXPECT_EQ(inkPast, 0);
}
