// The plan view base class and the print view: the order of one drawing, the grid and its
// edge lines, handles and overlay, printing without the screen-only parts, and at chosen
// pixels of a QImage the text sizes and turns and the diagonal hatch.
#include <gtest/gtest.h>

#include "plandraw/GuiTestSupport.h"

#include <QFont>
#include <cstring>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "TestDocument.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "model/ViewCommands.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/RegionFills.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "plandraw/qt/QPainterDrawContext.h"
#include "model/Readouts.h"

namespace {

using Kind = RecordingDrawContext::Kind;


// A view with a trace image of its own.
class TracingView : public Base2DView {
 public:
  uint8_t pixels[4 * 4 * 4] = {};
  DrawImageData image;
  TracingView() {
    image.width = image.height = 4;
    image.bytesPerRow = 16;
    image.pixels = pixels;
  }

 protected:
  const DrawImageData* traceImage() const override { return &image; }
};

Base2DView* gView = nullptr;

struct ViewFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard viewState;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  TracingView view;
  PlanDrawSettings savedSettings = gPlanDrawSettings;
  NSRect rect = NSMakeRect(-400, -300, 800, 600);

  ViewFixture() {
    doc.ds()->zoomFactor = 1;
    view.setVisibleRect(rect);
    gView = &view;
    gPlanViewHooks.documentView = [] { return gView; };
  }
  ~ViewFixture() override {
    gPlanViewHooks.documentView = nullptr;
    gView = nullptr;
    gPlanDrawSettings = savedSettings;
    gPrinting = 0;
    FreeAcclLineBuffer();
  }
  Objex* line(float z) {
    Objex* o = doc.addObject(kObjLine, false, {{-50, z}, {50, z}});
    o->planMask = 2;
    return o;
  }
  size_t patterned() const {
    size_t n = 0;
    for (const auto& c : ctx.calls) n += c.patterned;
    return n;
  }
};

// Index of the first call of the kind with the colour, or -1.
int FirstCall(const RecordingDrawContext& ctx, Kind kind, const DrawColor& color) {
  for (size_t i = 0; i < ctx.calls.size(); ++i) {
    const auto& c = ctx.calls[i];
    const DrawColor& have = kind == Kind::Lines || kind == Kind::StrokePath ? c.stroke.color : c.fill.color;
    if (c.kind == kind && have == color) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

TEST_F(ViewFixture, NothingIsDrawnWithoutADocument) {
  CurrentDocumentScope none(nullptr);
  view.draw3D(&rect, kDrawFlagAll);
  view.doDraw3D(&rect, kDrawFlagAll);
  view.drawViewPoint();
  const POINT tri[3] = {{0, 0}, {10, 0}, {0, 10}};
  const RGBColor c{};
  view.draw2DPatternRegion(tri, 3, 0, 0, &c, &c, 1);
  ZLKDocumentPrintView print;
  print.drawRect(rect);
  ASSERT_EQ(ctx.calls.size(), 1u);  // the print view's white page
  EXPECT_EQ(ctx.calls[0].fill.color, kDrawWhite);
}

TEST_F(ViewFixture, DrawsInOrderBackgroundTraceGridPlanMarkerHandlesOverlay) {
  PlanBackgroundColor(doc.ds()) = {1000, 2000, 3000};
  GridColor(doc.ds()) = {0, 0, 65535};
  doc.ds()->traceImageVisible = 1;
  gPlanDrawSettings.penColor = {0, 65535, 0};
  Objex* plan = line(0);
  doc.ds()->planColors[kPlanFloor] = {65535, 0, 65535};
  doc.ds()->newPenColor = {0, 30000, 0};
  plan->firstPoint->selected = 1;  // a line shows the handles of its selected points
  view.dynamicDrawEngine().activePathMoveToPoint({0, 0});
  view.dynamicDrawEngine().activePathLineToPoint({10, 10});
  view.draw3D(&rect, kDrawFlagAll);

  const int background = FirstCall(ctx, Kind::FillPath, DrawColorFromRGB({1000, 2000, 3000}));
  const int grid = FirstCall(ctx, Kind::Lines, DrawColorFromRGB({0, 0, 65535}));
  const int planLine = FirstCall(ctx, Kind::Lines, DrawColorFromRGB({65535, 0, 65535}));
  const int marker = FirstCall(ctx, Kind::FillPath, kDrawBlack);
  const int overlay = FirstCall(ctx, Kind::StrokePath, kDrawRed);
  int image = -1;
  for (size_t i = 0; i < ctx.calls.size(); ++i)
    if (ctx.calls[i].kind == Kind::Image) image = static_cast<int>(i);
  EXPECT_EQ(background, 0);
  EXPECT_GT(image, background);
  EXPECT_GT(grid, image);
  EXPECT_GT(planLine, grid);
  EXPECT_GT(marker, planLine);
  EXPECT_GT(overlay, marker);
  // The trace image is centred on the model origin.
  EXPECT_EQ(ctx.calls[image].rect.origin.x, -2);
  EXPECT_EQ(ctx.calls[image].rect.size.width, 4);
  // The overlay holds a path: no handles.
  EXPECT_EQ(FirstCall(ctx, Kind::FillPath, ctx.focusIndicatorColor()), -1);
  EXPECT_EQ(gPlanDrawSettings.penColor, (RGBColor{0, 65535, 0}));

  view.dynamicDrawEngine().removePointsFromAllPaths();
  view.setShouldDrawViewPoint(false);
  ctx.clear();
  view.draw3D(&rect, kDrawFlagAll);
  EXPECT_GT(FirstCall(ctx, Kind::FillPath, ctx.focusIndicatorColor()), FirstCall(ctx, Kind::Lines, DrawColorFromRGB({65535, 0, 65535})));
  EXPECT_EQ(FirstCall(ctx, Kind::FillPath, kDrawBlack), -1);
  (void)plan;
}

TEST_F(ViewFixture, GridOffDrawsOnlyTheFrameInThePenColour) {
  gPlanDrawSettings.gridVisible = 0;
  doc.ds()->newPenColor = {0, 0, 30000};
  view.setShouldDrawViewPoint(false);
  view.draw3D(&rect, kDrawFlagAll);
  ASSERT_EQ(ctx.count(Kind::StrokePath), 1u);
  EXPECT_EQ(ctx.count(Kind::Lines), 0u);
  const auto& frame = *std::find_if(ctx.calls.begin(), ctx.calls.end(),
                                    [](const auto& c) { return c.kind == Kind::StrokePath; });
  EXPECT_EQ(frame.stroke.color, DrawColorFromRGB({0, 0, 30000}));
  // Bounds -2400..2400 at zoom 1, made whole by adding 0.5 and truncating toward zero.
  EXPECT_EQ(frame.rect.origin.x, -2399);
  EXPECT_EQ(frame.rect.origin.y, -2399);
  EXPECT_EQ(frame.rect.size.width, 4799);
  EXPECT_EQ(frame.rect.size.height, 4799);
}

TEST_F(ViewFixture, GridLinesAreCentredOnTheBoundsWithEdgeLinesOnlyWhenOffset) {
  view.setVisibleRect(NSMakeRect(-3000, -3000, 6000, 6000));
  float h, v, hOff, vOff;
  // 12 inches at 36 inches per 72 units is 24 units; 4800 / 24 = 200, an even count.
  Base2DView::GridSpacingAndOffsets(&h, &v, &hOff, &vOff);
  EXPECT_FLOAT_EQ(h, 24);
  EXPECT_FLOAT_EQ(vOff, 0);
  view.draw3DGridLines(h, v, hOff, vOff, &doc.ds()->planBounds, &GridOrigin(doc.ds()));
  std::vector<NSPoint> pts = ctx.strokedLinePoints();
  EXPECT_EQ(pts.size(), 2u * (201 + 201));
  EXPECT_EQ(pts[0].y, -2399);  // the first line lies on the top edge (-2400, made whole)

  // 4824 / 24 = 201: the lines sit half a step in and both edges are added.
  doc.ds()->planBounds.floatBottom = 2424;
  doc.ds()->planBounds.floatRight = 2424;
  Base2DView::GridSpacingAndOffsets(&h, &v, &hOff, &vOff);
  EXPECT_FLOAT_EQ(vOff, 12);
  ctx.clear();
  view.draw3DGridLines(h, v, hOff, vOff, &doc.ds()->planBounds, &GridOrigin(doc.ds()));
  pts = ctx.strokedLinePoints();
  EXPECT_EQ(pts.size(), 2u * (201 + 2 + 201 + 2));
  EXPECT_EQ(pts[0].y, -2387);  // -2388 made whole

  // Only lines near the visible rect are kept on screen; dots only inside it.
  view.setVisibleRect(NSMakeRect(0, 0, 100, 100));
  ctx.clear();
  view.draw3DGridLines(h, v, hOff, vOff, &doc.ds()->planBounds, &GridOrigin(doc.ds()));
  EXPECT_EQ(ctx.strokedLinePoints().size(), 2u * (5 + 2 + 5 + 2));  // 12, 36, 60, 84, 108
  ctx.clear();
  view.draw3DGridDots(h, v, hOff, vOff, &doc.ds()->planBounds, &GridOrigin(doc.ds()));
  EXPECT_EQ(ctx.strokedLinePoints().size(), 2u * 4 * 4);

  // The edges come with any offset above half a unit, also when no inner line falls within
  // bounds smaller than the offset.
  view.setVisibleRect(NSMakeRect(-3000, -3000, 6000, 6000));
  FloatRect small{0, 0, 100, 100};
  auto lineCount = [&](float off, const FloatRect& bounds) {
    ctx.clear();
    view.draw3DGridLines(24, 24, off, off, &bounds, &GridOrigin(doc.ds()));
    return ctx.strokedLinePoints().size() / 2;
  };
  EXPECT_EQ(lineCount(0.5f, small), 5u + 5u);
  EXPECT_EQ(lineCount(0.51f, small), 5u + 2u + 5u + 2u);
  small = {0, 0, 10, 10};
  EXPECT_EQ(lineCount(12, small), 2u + 2u);

  // No spacing, no grid (and no endless loop).
  ctx.clear();
  for (float bad : {0.0f, -5.0f, 1e-9f}) {
    view.draw3DGridLines(bad, bad, 0, 0, &doc.ds()->planBounds, &GridOrigin(doc.ds()));
    view.draw3DGridDots(bad, bad, 0, 0, &doc.ds()->planBounds, &GridOrigin(doc.ds()));
  }
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(ViewFixture, RegionsNeedThreePointsAndStrokeByPen) {
  const POINT two[2] = {{0, 0}, {10, 0}};
  const POINT tri[4] = {{0, 0}, {10, 0}, {0, 10}, {0, 0}};
  const RGBColor stroke{65535, 0, 0}, fill{0, 0, 65535};
  view.draw2DPatternRegion(two, 2, kPenRegionSolid, kBrushSolid, &stroke, &fill, 1);
  EXPECT_TRUE(ctx.calls.empty());
  view.draw2DPatternRegion(tri, 4, kPenRegionSolid, kBrushSolid, &stroke, &fill, 1);
  ASSERT_EQ(ctx.calls.size(), 2u);
  EXPECT_EQ(ctx.calls[0].kind, Kind::FillPath);
  EXPECT_EQ(ctx.calls[1].kind, Kind::StrokePath);
  EXPECT_FALSE(ctx.calls[1].stroke.isDashed());
  ctx.clear();
  // A hollow brush strokes the outline; a pen other than none strokes it once more after.
  view.draw2DPatternRegion(tri, 4, kPenRegionDotted, kBrushHollow, &stroke, &fill, 1);
  ASSERT_EQ(ctx.calls.size(), 2u);
  for (const auto& c : ctx.calls) {
    EXPECT_EQ(c.kind, Kind::StrokePath);
    EXPECT_TRUE(c.stroke.isDashed());
  }
  ctx.clear();
  view.draw2DPatternRegion(tri, 4, kPenRegionNone, kBrushHollow, &stroke, &fill, 1);
  ASSERT_EQ(ctx.calls.size(), 1u);
  EXPECT_EQ(ctx.calls[0].kind, Kind::StrokePath);
  EXPECT_FALSE(ctx.calls[0].stroke.isDashed());
  ctx.clear();
  view.draw2DPatternRegion(tri, 4, kPenRegionNone, kBrushForwardDiagonal, &stroke, &fill, 1);
  ASSERT_EQ(ctx.calls.size(), 2u);  // background, then the hatch; no outline
  EXPECT_EQ(patterned(), 1u);
  gPrinting = 1;
  ctx.clear();
  view.draw2DPatternRegion(tri, 4, kPenRegionNone, kBrushBackwardDiagonal, &stroke, &fill, 1);
  EXPECT_EQ(ctx.calls[0].fill.color, kDrawWhite);

  // Detail patterns: 2 is filled without outline, 0 draws nothing.
  BezierPath path;
  path.appendRect(NSMakeRect(0, 0, 10, 10));
  ctx.clear();
  view.drawDetailPatternObject(&path, kPatternForeground, &stroke, &fill, 1);
  ASSERT_EQ(ctx.calls.size(), 1u);
  EXPECT_EQ(ctx.calls[0].kind, Kind::FillPath);
  ctx.clear();
  view.drawDetailPatternObject(&path, kPatternNone, &stroke, &fill, 1);
  view.drawDetailPatternObject(&path, 9, &stroke, &fill, 1);
  EXPECT_TRUE(ctx.calls.empty());
  view.drawDetailPatternObject(&path, kPatternCross, &stroke, &fill, 1);
  EXPECT_EQ(ctx.calls.size(), 3u);
  EXPECT_EQ(ctx.calls[0].fill.color, kDrawWhite);  // printing: white background
}

TEST_F(ViewFixture, PrintViewDrawsThePlanWithoutTheScreenOnlyParts) {
  ZLKDocumentPrintView print;
  Objex* plan = line(0);
  doc.ds()->traceImageVisible = 0;
  Objex* wall = doc.addObject(kObjWall, true, {{0, 0}, {100, 0}, {100, 100}});
  wall->subtype = kSubExteriorWall;
  wall->planMask = 2;
  ShowAutoDimensions(doc.ds()) = 0;
  print.dynamicDrawEngine().activePathMoveToPoint({0, 0});
  print.dynamicDrawEngine().activePathLineToPoint({10, 10});
  plan->firstPoint->selected = 1;
  print.drawRect(rect);
  EXPECT_EQ(gPrinting, 0);
  EXPECT_EQ(FirstCall(ctx, Kind::FillPath, ctx.focusIndicatorColor()), -1);  // no handles
  EXPECT_EQ(ctx.count(Kind::Image), 0u);
  EXPECT_EQ(ctx.count(Kind::StrokePath), 0u);  // no frame, no overlay
  EXPECT_EQ(ctx.count(Kind::FillPath), 1u);    // the white page only: no marker, no space fill
  EXPECT_EQ(ctx.count(Kind::Lines), 1u + 6u);  // the line and the wall's two faces
  // The grid is printed only when shown and printed.
  gPlanDrawSettings.printGrid = 1;
  ctx.clear();
  print.drawRect(rect);
  EXPECT_GT(ctx.count(Kind::Lines), 4u);
  (void)plan;
}

// ---- Pixels ----

namespace {

struct Canvas {
  QImage image;
  Canvas(int w, int h) : image(w, h, QImage::Format_RGB32) { image.fill(Qt::white); }
  template <typename F>
  void paint(F&& f) {
    QPainter painter(&image);
    QPainterDrawContext ctx(&painter);
    CurrentDrawContextScope scope(&ctx);
    f();
  }
  bool inked(int x, int y) const { return qGray(image.pixel(x, y)) < 160; }
  // Bounds of the inked pixels: left, top, right, bottom (inclusive); empty when none.
  QRect ink() const {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (inked(x, y)) r = r.united(QRect(x, y, 1, 1));
    return r;
  }
};

// Ink height of "H" in a font of the given pixel size, drawn straight with QPainter.
int ReferenceHeight(int pixelSize) {
  Canvas c(200, 100);
  QPainter p(&c.image);
  QFont f;
  f.setPixelSize(pixelSize);
  p.setFont(f);
  p.setPen(Qt::black);
  p.drawText(20, 70, QStringLiteral("H"));
  p.end();
  return c.ink().height();
}

LOGFONT Font(int32_t height, int32_t orientation = 0) {
  LOGFONT f;
  f.lfHeight = height;
  f.lfOrientation = orientation;
  return f;
}

}  // namespace

TEST_F(ViewFixture, TextHeightIsInViewUnitsAndOrientationTurnsCounterClockwise) {
  GuiApplication();
  const RGBColor black{};
  const NSRect box = NSMakeRect(50, 50, 100, 40);
  for (auto [height, pixels] : {std::pair{-16, 16}, std::pair{20, 12}, std::pair{-30, 30}}) {
    Canvas c(200, 140);
    LOGFONT f = Font(height);
    c.paint([&] { view.drawText("H", &box, &f, &black); });
    EXPECT_NEAR(c.ink().height(), ReferenceHeight(pixels), 1) << height;
    // Centred on the rect's centre.
    EXPECT_NEAR(c.ink().center().x(), 100, 2);
    EXPECT_NEAR(c.ink().center().y(), 70, 3);
  }

  // Turned by 90 degrees: the run stands upright, its first letter at the bottom.
  Canvas turned(200, 200);
  LOGFONT f = Font(-16, 900);
  const NSRect centre = NSMakeRect(50, 50, 100, 100);
  turned.paint([&] { view.drawText("MMMM.....", &centre, &f, &black); });
  QRect ink = turned.ink();
  EXPECT_GT(ink.height(), 3 * ink.width());
  int upper = 0, lower = 0;
  for (int y = ink.top(); y <= ink.bottom(); ++y)
    for (int x = ink.left(); x <= ink.right(); ++x)
      if (turned.inked(x, y)) (y < ink.center().y() ? upper : lower)++;
  EXPECT_GT(lower, 2 * upper);

  // Measuring needs a context; aligned text starts at the rect's left edge.
  {
    CurrentDrawContextScope none(nullptr);
    EXPECT_EQ(view.textMetricsForString("H", &f).width, 0);
  }
  Canvas left(200, 100);
  LOGFONT plain = Font(-16);
  left.paint([&] {
    EXPECT_GT(view.textMetricsForString("HH", &plain).width, 10);
    view.drawStdText("HH", &box, &plain, &black, kTextAlignLeft);
  });
  EXPECT_NEAR(left.ink().left(), 50, 3);
  EXPECT_NEAR(left.ink().top(), 50, 8);
}

// The runs a view hands to the painter.
struct RunRecorder : QPainterDrawContext {
  using QPainterDrawContext::QPainterDrawContext;
  std::vector<TextRun> runs;
  void drawText(const TextRun& run) override {
    runs.push_back(run);
    QPainterDrawContext::drawText(run);
  }
};

// A stored text box measured with a face this system stands in for with a somewhat wider one
// still shows the whole text: the text is made to fit; text that already fits, or is far wider
// than its box, keeps its size (the box clips the latter).
TEST_F(ViewFixture, StoredTextBoxesHoldTheirWholeTextInAWiderStandIn) {
  GuiApplication();
  QImage image(400, 100, QImage::Format_RGB32);
  QPainter painter(&image);
  RunRecorder ctx(&painter);
  CurrentDrawContextScope scope(&ctx);
  LOGFONT f = Font(-16);
  std::strcpy(f.lfFaceName, "Verdana");
  const RGBColor black{};
  const FontDescription named = FontDescriptionFromLOGFONT(f);
  const float natural = ctx.measureText("Living Room", named).width;
  ASSERT_GT(natural, 40);
  struct Case {
    float boxWidth;
    bool fitted;
  } cases[] = {{natural * 0.86f, true}, {natural * 0.97f, true}, {natural + 1, false}, {natural * 0.7f, false}};
  for (const Case& c : cases) {
    ctx.runs.clear();
    const NSRect box = NSMakeRect(20, 20, c.boxWidth, 30);
    view.drawStdText("Living Room", &box, &f, &black, kTextAlignLeft);
    ASSERT_EQ(ctx.runs.size(), 1u);
    const float drawn = ctx.measureText("Living Room", ctx.runs[0].font).width;
    if (c.fitted) {
      EXPECT_LE(drawn, c.boxWidth) << c.boxWidth;
      EXPECT_GE(drawn, c.boxWidth * 0.94f) << c.boxWidth;
    } else {
      EXPECT_EQ(ctx.runs[0].font.pointSize, named.pointSize) << c.boxWidth;
    }
  }
}

// Plan labels are UTF-8; a readout holds the lone degree byte, and text read as ISO Latin 1
// holds its accented letters as single bytes: each is shown as the character it stands for,
// not as a replacement mark.
TEST_F(ViewFixture, ReadoutDegreeBytesAndLatinOneLettersShowAsTheirCharacters) {
  GuiApplication();
  QImage image(200, 60, QImage::Format_RGB32);
  QPainter painter(&image);
  QPainterDrawContext ctx(&painter);
  FontDescription font;
  font.pointSize = 16;
  const auto width = [&](const std::string& text) { return ctx.measureText(text, font).width; };
  EXPECT_FLOAT_EQ(width(std::string("45") + kReadoutDegreeMark), width("45\u00b0"));
  EXPECT_FLOAT_EQ(width("Ros\xe9"), width("Ros\u00e9"));
  EXPECT_FLOAT_EQ(width("Caf\u00e9 \u00b0"), width("Caf\u00e9 \u00b0"));
}

TEST_F(ViewFixture, ForwardDiagonalHatchRunsEightUnitsApartAcrossTileBorders) {
  GuiApplication();
  Canvas c(120, 120);
  const POINT square[5] = {{10, 10}, {110, 10}, {110, 110}, {10, 110}, {10, 10}};
  const RGBColor stroke{}, fill{};
  PlanBackgroundColor(doc.ds()) = {65535, 65535, 65535};
  c.paint([&] { view.draw2DPatternRegion(square, 5, kPenRegionNone, kBrushForwardDiagonal, &stroke, &fill, 1); });
  // Along every row inside, inked pixels repeat every 8 units, one in each 8.
  for (int y : {12, 20, 33, 47, 63, 100}) {
    std::vector<int> xs;
    for (int x = 11; x < 109; ++x)
      if (c.inked(x, y)) xs.push_back(x);
    ASSERT_GE(xs.size(), 11u) << y;
    for (size_t i = 1; i < xs.size(); ++i) ASSERT_EQ(xs[i] - xs[i - 1], 8) << y;
  }
  // One diagonal runs on unbroken through the tile borders at 24 and 48 across, 16 and 32 down.
  int x0 = -1;
  for (int x = 11; x < 19 && x0 < 0; ++x)
    if (c.inked(x, 11)) x0 = x;
  ASSERT_GE(x0, 0);
  for (int t = 0; t < 90 && x0 + t < 109; ++t) EXPECT_TRUE(c.inked(x0 + t, 11 + t)) << t;
  // Nothing outside the polygon.
  for (int y = 0; y < 120; ++y) {
    EXPECT_FALSE(c.inked(5, y));
    EXPECT_FALSE(c.inked(115, y));
  }
}

TEST_F(ViewFixture, CurrentFloorDeckIsHatchedInTheLightenedDeckColour) {
  GuiApplication();
  doc.ds()->planColors[kPlanDeck] = {49344, 31868, 8224};
  PlanBackgroundColor(doc.ds()) = {65535, 65535, 65535};
  Objex* deck = doc.addObject(kObjDeck, true, {{10, 10}, {110, 10}, {110, 110}, {10, 110}});
  deck->planMask = 64;
  Canvas c(120, 120);
  c.paint([&] { DrawAllLayers(nullptr, doc.model.itsLayers, nullptr, kDrawFlagAll, nullptr); });
  bool found = false;
  for (int x = 20; x < 40 && !found; ++x) {
    QColor px = c.image.pixelColor(x, 50);
    if (px != QColor(Qt::white)) {
      found = true;
      EXPECT_NEAR(px.red(), 223, 2);
      EXPECT_NEAR(px.green(), 215, 2);
      EXPECT_NEAR(px.blue(), 205, 2);
    }
  }
  EXPECT_TRUE(found);
}

#include "plandraw/HatchPatterns.h"

// Every hatch tile, cell by cell: a diagonal kind inks one cell in eight along each row,
// moving one across for each row down (forward to the right, backward to the left); a
// horizontal kind every eighth row whole, a vertical kind every eighth column whole; the
// crossed kinds are the union of their two.
TEST(HatchTiles, EveryKindInksItsLinesEightApartInEveryCell) {
  constexpr int W = HatchTile::kWidth, H = HatchTile::kHeight;
  auto wrap = [](int v) { return ((v % 8) + 8) % 8; };
  struct Case {
    HatchKind kind;
    bool forward, backward, across, down;
  };
  for (const Case& c : {Case{HatchKind::ForwardDiagonal, true, false, false, false},
                        Case{HatchKind::BackwardDiagonal, false, true, false, false},
                        Case{HatchKind::DiagonalCross, true, true, false, false},
                        Case{HatchKind::Horizontal, false, false, true, false},
                        Case{HatchKind::Vertical, false, false, false, true},
                        Case{HatchKind::Cross, false, false, true, true}}) {
    SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind));
    const HatchTile tile = MakeHatchTile(c.kind);
    // Each family's phase: where its line crosses the top row (diagonals), or its first row
    // or column; -1 while none is found.
    int f = -1, b = -1, row = -1, column = -1;
    for (int x = 0; x < W; ++x) {
      bool whole = true;
      for (int y = 0; y < H; ++y) whole = whole && tile.cells[y][x];
      if (whole && column < 0 && c.down) column = wrap(x);
    }
    for (int y = 0; y < H; ++y) {
      bool whole = true;
      for (int x = 0; x < W; ++x) whole = whole && tile.cells[y][x];
      if (whole && row < 0 && c.across) row = wrap(y);
    }
    // A diagonal's phase from a top-row cell that no straight line explains.
    for (int x = 0; x < W; ++x) {
      if (!tile.cells[0][x] || (c.down && wrap(x) == column) || (c.across && row == 0)) continue;
      if (c.forward && f < 0 && tile.cells[1][(x + 1) % W]) f = wrap(x);
      else if (c.backward && b < 0 && tile.cells[1][(x + W - 1) % W]) b = wrap(x);
    }
    EXPECT_EQ(f >= 0, c.forward);
    EXPECT_EQ(b >= 0, c.backward);
    EXPECT_EQ(row >= 0, c.across);
    EXPECT_EQ(column >= 0, c.down);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const bool expected = (f >= 0 && wrap(x - y) == f) || (b >= 0 && wrap(x + y) == b) ||
                              (row >= 0 && wrap(y) == row) || (column >= 0 && wrap(x) == column);
        EXPECT_EQ(tile.cells[y][x] != 0, expected) << x << ", " << y;
      }
  }
}
