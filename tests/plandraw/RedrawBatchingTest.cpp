// Painting held back and drawn in bulk gives what painting as the calls come gives: fills of
// one colour held together (random, overlapping, sub-pixel and nearly touching polygons under
// several transforms, and a dense design redrawn whole), lines between shared points projected
// once, straight outlines drawn in one go, and dimension readouts too small to read (handed on
// at their scaled height).
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTransform>
#include <cmath>
#include <random>
#include <vector>

#include "PixelCompare.h"
#include "TestDocument.h"
#include "model/DimensionBuilders.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/ViewCommands.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/GuiTestSupport.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {

using Kind = RecordingDrawContext::Kind;

// Passes every call on to a QPainter context that holds lines back in the same batches, but
// paints each fill as it comes.
class FillsAtOnce : public DrawContext {
 public:
  explicit FillsAtOnce(QPainterDrawContext* inner) : inner_(inner) {}
  void saveGraphicsState() override {
    DrawContext::saveGraphicsState();
    sync()->saveGraphicsState();
  }
  void restoreGraphicsState() override {
    DrawContext::restoreGraphicsState();
    sync()->restoreGraphicsState();
  }
  void strokeLines(const NSPoint* p, size_t n, const StrokeStyle& s) override { sync()->strokeLines(p, n, s); }
  void strokePolyline(const NSPoint* p, size_t n, const StrokeStyle& s) override { sync()->strokePolyline(p, n, s); }
  void strokePath(const BezierPath& path, const StrokeStyle& s) override { sync()->strokePath(path, s); }
  void fillPath(const BezierPath& path, const FillStyle& s) override {
    const bool batched = sync()->batchingLines();
    if (batched) inner_->endLineBatch();
    inner_->fillPath(path, s);
    if (batched) inner_->beginLineBatch();
  }
  void fillPolygon(const NSPoint* p, size_t n, const FillStyle& s) override { sync()->fillPolygon(p, n, s); }
  void drawText(const TextRun& run) override { sync()->drawText(run); }
  NSSize measureText(const std::string& text, const FontDescription& font) override {
    return inner_->measureText(text, font);
  }
  void drawImage(const DrawImageData& image, const NSRect& dest, float opacity) override {
    sync()->drawImage(image, dest, opacity);
  }
  void clipToRect(const NSRect& rect) override { sync()->clipToRect(rect); }
  void translateBy(float dx, float dy) override { sync()->translateBy(dx, dy); }
  DrawColor focusIndicatorColor() const override { return inner_->focusIndicatorColor(); }
  void flushLines() override { sync(); }

 private:
  // The inner context in a batch exactly while this one is.
  QPainterDrawContext* sync() {
    if (batchingLines() && !inner_->batchingLines()) inner_->beginLineBatch();
    if (!batchingLines() && inner_->batchingLines()) inner_->endLineBatch();
    return inner_;
  }
  QPainterDrawContext* inner_;
};

BezierPath Polygon(const std::vector<NSPoint>& points) {
  BezierPath path;
  path.moveToPoint(points[0]);
  for (size_t i = 1; i < points.size(); ++i) path.lineToPoint(points[i]);
  path.closePath();
  return path;
}

// Paints `paint` into a white image through a QPainter context under the transform, inside a
// batch or not.
template <typename Paint>
QImage PaintedWith(const QTransform& transform, bool batched, Paint paint) {
  QImage image(240, 160, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setTransform(transform);
  {
    QPainterDrawContext ctx(&painter);
    if (batched) ctx.beginLineBatch();
    paint(ctx);
    if (batched) ctx.endLineBatch();
  }
  painter.end();
  return image;
}

}  // namespace

TEST(FillBatching, HeldFillsPaintAsTheyWouldOneByOne) {
  GuiApplication();
  std::mt19937 random(19);
  auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random); };
  const DrawColor colours[] = {{0.85f, 0.9f, 1, 1}, {0.2f, 0.6f, 0.3f, 1}, {1, 0, 0, 0.5f}};

  // Polygons of every kind (slivers, crossings, both windings, below a pixel), overlapping, in
  // runs of one colour, now and then with a line or a curved fill between them.
  struct Fill {
    BezierPath path;
    FillStyle style;
    bool lineAfter;
  };
  std::vector<Fill> scattered;
  int colour = 0;
  for (int i = 0; i < 700; ++i) {
    if (random() % 9 == 0) colour = static_cast<int>(random() % 3);
    const NSPoint centre{uniform(-10, 250), uniform(-10, 170)};
    const float size = random() % 4 == 0 ? uniform(0.2f, 2) : uniform(2, 40);
    std::vector<NSPoint> points;
    const int corners = 3 + static_cast<int>(random() % 4);
    for (int k = 0; k < corners; ++k) points.push_back({centre.x + uniform(-size, size), centre.y + uniform(-size, size)});
    Fill f{Polygon(points), {}, random() % 40 == 0};
    f.style.color = colours[colour];
    f.style.evenOdd = random() % 5 == 0;
    if (random() % 60 == 0) f.path.curveToPoint({centre.x + size, centre.y}, {centre.x, centre.y + size}, centre);
    scattered.push_back(std::move(f));
  }
  // A lattice of whole-unit triangles and squares with gaps from a fifth of a pixel to two
  // pixels once transformed, as a fitted view of many walls gives.
  std::vector<Fill> lattice;
  for (int row = 0; row < 30; ++row)
    for (int column = 0; column < 40; ++column) {
      const float x = column * 6.0f + (row % 3) * 0.5f, y = row * 5.0f;
      const float w = 3 + (column % 4) * 0.75f, h = 2 + (row % 3);
      std::vector<NSPoint> points = {{x, y}, {x + w, y}, {x + w, y + h}};
      if ((row + column) % 2) points.push_back({x, y + h});
      points.push_back(points.front());
      Fill f{Polygon(points), {}, false};
      f.style.color = colours[0];
      lattice.push_back(std::move(f));
    }

  const QTransform transforms[] = {QTransform::fromTranslate(0.37, -0.61), QTransform::fromScale(2, 2),
                                   QTransform::fromScale(0.43, 0.43).translate(0.25, 0.75),
                                   QTransform().translate(120, -30).rotate(17), QTransform::fromScale(-1.3, 0.8).translate(-230, 7)};
  for (const QTransform& transform : transforms)
    for (const std::vector<Fill>* fills : {&scattered, &lattice}) {
      auto paint = [&](QPainterDrawContext& ctx) {
        StrokeStyle line;
        for (const Fill& f : *fills) {
          ctx.fillPath(f.path, f.style);
          if (f.lineAfter) {
            const NSRect b = f.path.bounds();
            const NSPoint a[2] = {{NSMinX(b), NSMinY(b)}, {NSMaxX(b), NSMaxY(b)}};
            ctx.strokeLines(a, 2, line);
          }
        }
      };
      const QImage one = PaintedWith(transform, false, paint), held = PaintedWith(transform, true, paint);
      EXPECT_GT(Inked(one), 2000);
      EXPECT_EQ(DifferentPixels(one, held), 0) << transform.m11() << " " << transform.m12() << " " << transform.dx();
    }
}

namespace {

Base2DView* gView = nullptr;

struct DenseRedraw : ::testing::Test {
  TestDocument doc;
  ViewStateGuard viewState;
  Base2DView view;
  PlanDrawSettings savedSettings = gPlanDrawSettings;
  NSRect rect = NSMakeRect(-400, -300, 800, 600);

  DenseRedraw() {
    GuiApplication();
    view.setVisibleRect(rect);
    gView = &view;
    gPlanViewHooks.documentView = [] { return gView; };
  }
  ~DenseRedraw() override {
    gPlanViewHooks.documentView = nullptr;
    gView = nullptr;
    gPlanDrawSettings = savedSettings;
    FreeAcclLineBuffer();
  }

  // Exterior walls of 3 to 5 points (some closed, some overlapping their neighbours), polygons,
  // lines and length dimensions on a lattice of 40-unit slots, on all three floors.
  void design() {
    Layer* floors[3] = {doc.first, doc.second, doc.third};
    int i = 0;
    for (float z = -1200; z < 1200; z += 40)
      for (float x = -1600; x < 1600; x += 40, ++i) {
        Layer* layer = floors[i % 10 < 6 ? 0 : (i % 10 < 9 ? 1 : 2)];
        switch (i % 5) {
          case 0:
          case 3: {
            const float s = i % 7 == 0 ? 95 : 32;  // now and then over the next wall along
            // Turning either way, so that overlapping fills of one path would cancel out.
            Objex* w = i % 4 < 2 ? doc.addObject(kObjWall, false, {{x, z}, {x + s, z + 1}, {x + s, z + s}}, layer)
                                 : doc.addObject(kObjWall, i % 3 == 0, {{x + s, z + s}, {x + s, z}, {x, z + 3}, {x + 9, z + s}}, layer);
            w->subtype = kSubExteriorWall;
            w->width = i % 3 ? 6 : 12;
            break;
          }
          case 1:
            doc.addObject(kObjClosedPoly, true, {{x, z}, {x + 30, z}, {x + 35, z + 30}, {x + 5, z + 33}}, layer);
            break;
          case 2:
            doc.addObject(kObjLine, false, {{x, z}, {x + 35, z + 25}}, layer);
            break;
          default:
            BuildLengthDim(x, z + 10, x + 30, z + 10, x + 15, z + 25, layer);
            break;
        }
      }
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) o->planMask = doc.ds()->newObjectPlanMask;
    SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  }

  QImage paint(bool fillsAtOnce) {
    QImage image(static_cast<int>(rect.size.width), static_cast<int>(rect.size.height), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.translate(-rect.origin.x, -rect.origin.y);
      QPainterDrawContext ctx(&painter);
      FillsAtOnce plain(&ctx);
      CurrentDrawContextScope scope(fillsAtOnce ? static_cast<DrawContext*>(&plain) : &ctx);
      view.draw3D(&rect, kDrawFlagAll);
    }
    return image;
  }
};

}  // namespace

TEST_F(DenseRedraw, ADenseDesignPaintsTheSameWithItsFillsHeldOrPaintedAsTheyCome) {
  design();
  // Zoomed out until the walls' fills nearly touch, at zoom 1, and zoomed in with the lengths shown.
  for (const float zoom : {0.17f, 0.3f, 1.0f, 2.5f}) {
    doc.ds()->zoomFactor = zoom;
    ShowAutoDimensions(doc.ds()) = zoom > 2;
    const QImage one = paint(true);
    EXPECT_GT(Inked(one), 40000) << zoom;
    EXPECT_EQ(DifferentPixels(one, paint(false)), 0) << zoom;
  }
  // Another floor current: its walls filled, the first floor's drawn inactive.
  doc.model.itsCurLayer = doc.second;
  doc.ds()->zoomFactor = 0.3f;
  EXPECT_EQ(DifferentPixels(paint(true), paint(false)), 0);
}

namespace {

struct BulkLines : DenseRedraw {
  // The lines recorded by `draw`.
  template <typename Draw>
  std::vector<RecordingDrawContext::Call> recorded(Draw draw) {
    RecordingDrawContext rec;
    CurrentDrawContextScope scope(&rec);
    draw();
    std::vector<RecordingDrawContext::Call> lines;
    for (const auto& c : rec.calls)
      if (c.kind == Kind::Lines) lines.push_back(c);
    return lines;
  }
  static std::vector<NSPoint> Points(const std::vector<RecordingDrawContext::Call>& calls) {
    std::vector<NSPoint> out;
    for (const auto& c : calls) out.insert(out.end(), c.points.begin(), c.points.end());
    return out;
  }
  static void ExpectSame(const std::vector<NSPoint>& a, const std::vector<NSPoint>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].x, b[i].x) << i;
      EXPECT_EQ(a[i].y, b[i].y) << i;
    }
  }
};

}  // namespace

TEST_F(BulkLines, LinesBetweenSharedPointsAreTheLinesDrawnOneByOne) {
  // Points far enough out that some lines leave the drawable range, and lines sharing points.
  const std::vector<float> xyz = {0, 0, 0, 137.3f, 0, 12.6f, 40000, 0, 5, -12.2f, 3, -99.5f, 7.5f, 0, 7.5f};
  const std::vector<uint32_t> ends = {0, 1, 1, 2, 2, 3, 3, 4, 4, 0, 1, 3, 0, 9};  // the last names no point
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {1, 1}});
  Objex* dashed = doc.addObject(kObjPropertyLine, false, {{0, 0}, {1, 1}});
  for (Objex* object : {line, dashed})
    for (const float zoom : {1.0f, 0.37f, 3.0f})
      for (const bool printing : {false, true}) {
        doc.ds()->zoomFactor = zoom;
        gPrinting = printing;
        gHPrintScale = 0.75f;
        gVPrintScale = 1.25f;
        const auto bulk = recorded([&] { DrawLinesBetweenPoints(nullptr, xyz.data(), 5, ends.data(), 7, object); });
        const auto single = recorded([&] {
          for (size_t k = 0; k + 1 < ends.size(); k += 2) {
            if (ends[k] >= 5 || ends[k + 1] >= 5) continue;
            const float* a = &xyz[3 * ends[k]];
            const float* b = &xyz[3 * ends[k + 1]];
            DrawLine(nullptr, a[0], a[1], a[2], b[0], b[1], b[2], 0, object, nullptr);
          }
        });
        gPrinting = 0;
        ExpectSame(Points(bulk), Points(single));
        // Far out at zoom 1 and above, the lines to x = 40000 are left out.
        EXPECT_EQ(Points(single).size(), zoom < 1 ? 12u : 8u);
        // One line to a call in the object's style, as DrawLine gives them.
        ASSERT_EQ(bulk.size(), single.size());
        for (size_t i = 0; i < bulk.size(); ++i) EXPECT_EQ(bulk[i].stroke.dashCount, single[i].stroke.dashCount);
      }
  gHPrintScale = gVPrintScale = 1;
}

TEST_F(BulkLines, StraightOutlinesDrawTheSegmentsOfTheirPointsOneByOne) {
  design();
  Objex* curved = doc.addObject(kObjClosedPoly, true, {{0, 0}, {50, 0}, {40, 40}}, doc.first);
  curved->firstPoint->outHandle[0] = 20;
  Objex* fence = doc.addObject(kObjFence, false, {{0, 0}, {50, 0}, {50, 50}}, doc.first);
  fence->firstPoint->next->pointType = 6;  // a gate
  Objex* single = doc.addObject(kObjLine, false, {{5, 5}}, doc.first);
  for (const float zoom : {1.0f, 0.3f})
    for (Objex* object = doc.first->firstObject; object; object = object->next) {
      if (object->type == kObjWall || object->type == kObjLengthDim) continue;
      doc.ds()->zoomFactor = zoom;
      const auto whole = recorded([&] { DrawObject(nullptr, object, nullptr, kDrawFlagAll, nullptr); });
      const auto bySegment = recorded([&] {
        if (DrawContext* ctx = ResolveDrawContext(nullptr)) ctx->setColor(DrawColorFromRGB(gPlanDrawSettings.penColor));
        Poinz* p = object->firstPoint;
        for (; p && p->next; p = p->next) DrawObjectSegment(nullptr, object, p, p->next, kDrawFlagAll, nullptr);
        if (object->closed && p && p != object->firstPoint)
          DrawObjectSegment(nullptr, object, p, object->firstPoint, kDrawFlagAll, nullptr);
      });
      ExpectSame(Points(whole), Points(bySegment));
      if (object == single) {
        EXPECT_TRUE(whole.empty());
      }
      if (object == curved || object == fence) {
        EXPECT_GT(whole.size(), 1u);
      }
    }
}

TEST_F(BulkLines, ADimensionWhoseReadoutIsTooSmallToReadStillHandsItOnAtItsScaledHeight) {
  ShowAutoDimensions(doc.ds()) = 1;
  doc.ds()->font.lfHeight = -12;
  struct Drawn {
    size_t lines, texts, fills;
    float pointSize;
  };
  auto dimension = [&](float length) {
    RecordingDrawContext rec;
    CurrentDrawContextScope scope(&rec);
    int guard = 0;
    DrawDimensionLine(nullptr, 0, 0, length, 0, 0, 0, length, 0, 1, 5, 0, &guard, &guard, 0, 0, 5, 0, nullptr);
    float size = 0;
    for (const auto& c : rec.calls)
      if (c.kind == Kind::Text) size = c.text.font.pointSize;
    return Drawn{rec.strokedLinePoints().size(), rec.count(Kind::Text), rec.count(Kind::FillPath), size};
  };
  // At zoom 1 a short (compact) dimension is its readout alone; a long one has lines and arrows too.
  const Drawn shortOne = dimension(40);
  EXPECT_EQ(shortOne.lines, 0u);
  EXPECT_EQ(shortOne.texts, 1u);
  const Drawn longOne = dimension(400);
  EXPECT_GT(longOne.lines, 0u);
  EXPECT_EQ(longOne.texts, 1u);
  // At a fifth the readout is 2 units high (-12 x 0.2 - 0.5, truncated): still boxed and handed
  // on at that height, for the painter to leave out.
  doc.ds()->zoomFactor = 0.2f;
  const Drawn shortSmall = dimension(40);
  EXPECT_EQ(shortSmall.lines, 0u);
  EXPECT_EQ(shortSmall.texts, 1u);
  EXPECT_EQ(shortSmall.fills, 1u);
  EXPECT_FLOAT_EQ(shortSmall.pointSize, 2);
  const Drawn longSmall = dimension(400);
  EXPECT_GT(longSmall.lines, 0u);
  EXPECT_EQ(longSmall.texts, 1u);
  // So small that the height truncates to 0: -1, never the font's default size.
  doc.ds()->zoomFactor = 0.01f;
  EXPECT_FLOAT_EQ(dimension(40).pointSize, 1);
  // A selection's readout stays at 12 whatever the zoom.
  gSelectionState = 1;
  EXPECT_FLOAT_EQ(dimension(40).pointSize, 12);
  gSelectionState = 0;
}
