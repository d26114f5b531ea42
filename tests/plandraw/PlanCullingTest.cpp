// Leaving out what cannot show: a dense design drawn with and without culling gives the same
// pixels, over the whole view and over a strip of it; text too small to read is neither
// measured nor drawn; lines held back in a batch paint as they would one by one.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "PixelCompare.h"
#include "TestDocument.h"
#include "model/Delete.h"
#include "model/DimensionBuilders.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Selection.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/GuiTestSupport.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanTextServices.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {

using Kind = RecordingDrawContext::Kind;

Base2DView* gView = nullptr;

struct CullingFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard viewState;
  Base2DView view;
  PlanDrawSettings savedSettings = gPlanDrawSettings;
  NSRect rect = NSMakeRect(-400, -300, 800, 600);

  CullingFixture() {
    GuiApplication();
    doc.ds()->zoomFactor = 1;
    view.setVisibleRect(rect);
    gView = &view;
    gPlanViewHooks.documentView = [] { return gView; };
  }
  ~CullingFixture() override {
    gPlanViewHooks.documentView = nullptr;
    gView = nullptr;
    gPlanDrawSettings = savedSettings;
    gPlanCulling = true;
    FreeAcclLineBuffer();
  }

  Objex* text(float x, float z, int32_t height) {
    Objex* t = doc.addObject(kObjText, true, {{x, z}, {x + 70, z}, {x + 70, z + 14}, {x, z + 14}});
    t->planMask = doc.ds()->newObjectPlanMask;
    auto* s = static_cast<char*>(calloc(16, 1));
    std::strcpy(s, "Room");
    t->typeData = s;
    auto* font = static_cast<LOGFONT*>(calloc(1, sizeof(LOGFONT)));
    font->lfHeight = height;
    t->extraData = font;
    return t;
  }

  // Walls, polygons (some curved), lines, texts and length dimensions on a lattice of 60-unit
  // slots three times as wide and high as the view, on all three floors.
  void denseDesign() {
    Layer* floors[3] = {doc.first, doc.second, doc.third};
    int i = 0;
    for (float z = -900; z < 900; z += 60)
      for (float x = -1200; x < 1200; x += 60, ++i) {
        Layer* layer = floors[i % 10 < 6 ? 0 : (i % 10 < 9 ? 1 : 2)];
        switch (i % 6) {
          case 0: {
            Objex* w = doc.addObject(kObjWall, false, {{x, z}, {x + 50, z}, {x + 50, z + 50}}, layer);
            w->subtype = kSubExteriorWall;
            w->width = 6;
            break;
          }
          case 1: {
            Objex* p = doc.addObject(kObjClosedPoly, true, {{x, z}, {x + 40, z}, {x + 45, z + 40}}, layer);
            // A curved side bulging well past the points.
            p->firstPoint->outHandle[0] = 30;
            p->firstPoint->outHandle[2] = -40;
            break;
          }
          case 2:
            doc.addObject(kObjLine, false, {{x, z}, {x + 55, z + 45}}, layer);
            break;
          case 3:
            text(x, z, -12)->layer = layer;
            break;
          case 4:
            BuildLengthDim(x, z + 10, x + 50, z + 10, x + 25, z + 30, layer);
            break;
          default:
            doc.addObject(kObjLine, false, {{x + 50, z}, {x, z + 50}}, layer);
            break;
        }
      }
    // Everything on the plan shown, as the tools make it.
    for (Layer* l = doc.model.itsLayers; l; l = l->next)
      for (Objex* o = l->firstObject; o; o = o->next) o->planMask = doc.ds()->newObjectPlanMask;
  }

  QImage paint(bool culling, const NSRect& area) {
    gPlanCulling = culling;
    QImage image(static_cast<int>(rect.size.width), static_cast<int>(rect.size.height), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.translate(-rect.origin.x, -rect.origin.y);
      // The window clips a redraw to the area asked for.
      painter.setClipRect(QRectF(area.origin.x, area.origin.y, area.size.width, area.size.height));
      QPainterDrawContext ctx(&painter);
      CurrentDrawContextScope scope(&ctx);
      view.draw3D(&area, kDrawFlagAll);
    }
    return image;
  }

  size_t calls(bool culling) {
    gPlanCulling = culling;
    RecordingDrawContext rec;
    CurrentDrawContextScope scope(&rec);
    view.draw3D(&rect, kDrawFlagAll);
    return rec.calls.size();
  }
};

}  // namespace

TEST_F(CullingFixture, ADenseDesignDrawsTheSamePixelsWithAndWithoutCulling) {
  denseDesign();
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  const QImage all = paint(false, rect);
  const QImage culled = paint(true, rect);
  EXPECT_GT(Inked(all), 20000);
  EXPECT_EQ(DifferentPixels(all, culled), 0);
  // Culling did leave things out.
  EXPECT_LT(calls(true) * 10, calls(false) * 7);

  // A strip redrawn alone (as after a scroll) and at another zoom.
  const NSRect strip = NSMakeRect(-400, -40, 800, 90);
  EXPECT_EQ(DifferentPixels(paint(false, strip), paint(true, strip)), 0);
  doc.ds()->zoomFactor = 0.5f;
  EXPECT_EQ(DifferentPixels(paint(false, rect), paint(true, rect)), 0);
  doc.ds()->zoomFactor = 2.0f;
  EXPECT_EQ(DifferentPixels(paint(false, rect), paint(true, rect)), 0);
}

TEST_F(CullingFixture, EditsBetweenRedrawsDrawTheSamePixelsWithAndWithoutCulling) {
  denseDesign();
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  const QImage before = paint(true, rect);
  // A wall far outside the view moved into it, a polygon in view deleted, a line added.
  auto firstOf = [&](int16_t type, auto where) -> Objex* {
    for (Objex* o = doc.first->firstObject; o; o = o->next)
      if (o->type == type && o->firstPoint && where(o->firstPoint->position[0], o->firstPoint->position[2]))
        return o;
    return nullptr;
  };
  Objex* far = firstOf(kObjWall, [](float x, float z) { return x < -1000 && z > -100 && z < 100; });
  ASSERT_NE(far, nullptr);
  for (Poinz* p = far->firstPoint; p; p = p->next) p->position[0] += 1000;
  UpdateObjectBounds(far);
  Objex* near = firstOf(kObjClosedPoly, [](float x, float z) { return std::abs(x) < 200 && std::abs(z) < 150; });
  ASSERT_NE(near, nullptr);
  DeleteObj(near);
  Objex* added = doc.addObject(kObjLine, false, {{-350, -250}, {350, 250}});
  added->planMask = doc.ds()->newObjectPlanMask;

  const QImage all = paint(false, rect);
  EXPECT_GT(DifferentPixels(before, all), 100);  // the edits show
  EXPECT_EQ(DifferentPixels(all, paint(true, rect)), 0);
  // Another floor made current (its walls filled, the others drawn inactive).
  doc.model.itsCurLayer = doc.second;
  EXPECT_EQ(DifferentPixels(paint(false, rect), paint(true, rect)), 0);
}

TEST_F(CullingFixture, HandlesOfTheSelectionDrawAsAWalkOfEveryFloorDrawsThem) {
  denseDesign();
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  const QImage plain = paint(true, rect);
  auto nearest = [](Layer* layer, int16_t type, float x, float z) {
    Objex* best = nullptr;
    float bestDistance = 1e30f;
    for (Objex* o = layer->firstObject; o; o = o->next) {
      if (o->type != type || !o->firstPoint) continue;
      const float d = std::abs(o->firstPoint->position[0] - x) + std::abs(o->firstPoint->position[2] - z);
      if (d < bestDistance) best = o, bestDistance = d;
    }
    return best;
  };
  // Whole objects on the current and another floor, one point of a polygon, an object off the
  // current plan and one far outside the view.
  Objex* wall = nearest(doc.first, kObjWall, 0, 0);
  Objex* line = nearest(doc.second, kObjLine, 100, 100);
  Objex* poly = nearest(doc.first, kObjClosedPoly, -200, -100);
  Objex* offPlan = nearest(doc.first, kObjLine, -150, 150);
  Objex* far = nearest(doc.first, kObjWall, -1100, -800);
  for (Objex* o : {wall, line, poly, offPlan, far}) ASSERT_NE(o, nullptr);
  SelectObj(wall, kSelectOn, 0);
  SelectObj(line, kSelectOn, 0);
  SelectPoint(poly->firstPoint->next, kSelectOn, 0);
  SelectObj(offPlan, kSelectOn, 0);
  offPlan->planMask = 0;
  SelectObj(far, kSelectOn, 0);
  const QImage selected = paint(true, rect);
  EXPECT_GT(DifferentPixels(plain, selected), 200);  // the handles show
  EXPECT_EQ(DifferentPixels(paint(false, rect), selected), 0);

  // The selection changed between redraws: each redraw notes it afresh.
  SelectObj(wall, kSelectOff, 0);
  SelectObj(far, kSelectOff, 0);
  SelectObj(nearest(doc.third, kObjText, 0, 0), kSelectOn, 0);
  const QImage changed = paint(true, rect);
  EXPECT_GT(DifferentPixels(selected, changed), 50);
  EXPECT_EQ(DifferentPixels(paint(false, rect), changed), 0);
  const NSRect strip = NSMakeRect(-400, -40, 800, 90);
  EXPECT_EQ(DifferentPixels(paint(false, strip), paint(true, strip)), 0);
}

// The redraw notes the objects with a selection for the handles while it walks the floors;
// for objects left out it learns that from measuring them. Objects are freed and added between
// redraws, so that the walk's memory of the last redraw no longer holds.
TEST_F(CullingFixture, TheRedrawNotesTheSelectionAsAWalkOfEveryFloorFindsIt) {
  denseDesign();
  SelectAllLayers(doc.model.itsLayers, kSelectOff, 0);
  const uint8_t plan = static_cast<uint8_t>(doc.ds()->newObjectPlanMask);
  auto far = [&](int16_t type, std::initializer_list<std::pair<float, float>> pts, Layer* layer) {
    Objex* o = doc.addObject(type, type != kObjWall && type != kObjLine, pts, layer);
    o->planMask = plan;
    return o;
  };
  // Far outside the view: the last point of a wall, the middle one of a polygon, a point of a
  // wall's outline only, a point of a path's part only (not a selection of the path), nothing.
  Objex* wall = far(kObjWall, {{3000, 3000}, {3060, 3000}, {3060, 3060}}, doc.first);
  wall->firstPoint->next->next->selected = 1;
  Objex* poly = far(kObjClosedPoly, {{-3000, 3000}, {-2950, 3000}, {-2950, 3050}}, doc.second);
  poly->firstPoint->next->selected = 1;
  Objex* outlined = far(kObjWall, {{3000, -3000}, {3060, -3000}}, doc.first);
  auto* outline = static_cast<Objex*>(calloc(1, sizeof(Objex)));
  outline->type = kObjClosedPoly;
  for (float x : {3000.0f, 3060.0f})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, -2995, 0, 0, 0, 0, 0, 0, outline), outline);
  outline->firstPoint->next->selected = 1;
  outlined->typeData = outline;
  Objex* path = far(kObjPath, {{-3000, -3000}, {-2900, -3000}}, doc.third);
  auto* part = static_cast<Objex*>(calloc(1, sizeof(Objex)));
  part->type = kObjPathSurface;
  AppendPointToObject(CreatePoint(1, 1, 0, 0, 0, 0, -2990, 0, -2990, 0, 0, 0, 0, 0, 0, part), part);
  path->typeData = part;
  far(kObjLine, {{2000, 2000}, {2100, 2100}}, doc.third);
  // In view: a whole wall selected.
  Objex* near = nullptr;
  for (Objex* o = doc.first->firstObject; o && !near; o = o->next)
    if (o->type == kObjWall && std::abs(o->firstPoint->position[0]) < 100 && std::abs(o->firstPoint->position[2]) < 100)
      near = o;
  ASSERT_NE(near, nullptr);
  SelectObj(near, kSelectOn, 0);

  auto expectNotedAsAWalkFinds = [&](const char* when) {
    SelectedObjectsOfRedrawScope notes;
    paint(true, rect);
    for (Layer* l = doc.model.itsLayers; l; l = l->next) {
      std::vector<Objex*> walk;
      for (Objex* o = l->firstObject; o; o = o->next)
        if (HasSelectedPointInTree(o)) walk.push_back(o);
      const std::vector<Objex*>* noted = SelectedObjectsOfRedraw(l);
      ASSERT_NE(noted, nullptr) << when;
      EXPECT_EQ(*noted, walk) << when << ", floor " << l->name;
    }
  };
  expectNotedAsAWalkFinds("first redraw");
  EXPECT_FALSE(HasSelectedPointInTree(path));

  // Objects freed and made between redraws, a selection moved.
  poly->firstPoint->next->selected = 0;
  poly->firstPoint->selected = 1;
  DeleteObj(wall);
  int freed = 0;
  for (Objex* o = doc.first->firstObject; o && freed < 40;) {
    Objex* next = o->next;
    if (o != near && o != outlined && o->type != kObjGroup && o->layer == doc.first) {
      DeleteObj(o);
      ++freed;
    }
    o = next;
  }
  far(kObjLine, {{-2500, 2500}, {-2400, 2600}}, doc.first)->firstPoint->next->selected = 1;
  expectNotedAsAWalkFinds("after the edits");
}

TEST_F(CullingFixture, NothingIsCulledOutsideADrawingPass) {
  doc.addObject(kObjLine, false, {{5000, 5000}, {5100, 5000}})->planMask = doc.ds()->newObjectPlanMask;
  auto drewFarLine = [](const RecordingDrawContext& rec) {
    for (const NSPoint& p : rec.strokedLinePoints())
      if (p.x > 4900) return true;
    return false;
  };
  RecordingDrawContext rec;
  CurrentDrawContextScope scope(&rec);
  // Outside a pass the view asks for everything.
  const RECT update{};
  DrawAllLayers(nullptr, doc.model.itsLayers, &update, kDrawFlagAll, nullptr);
  EXPECT_TRUE(drewFarLine(rec));
  rec.clear();
  view.draw3D(&rect, kDrawFlagAll);
  EXPECT_FALSE(drewFarLine(rec));
  gPlanCulling = false;
  rec.clear();
  view.draw3D(&rect, kDrawFlagAll);
  EXPECT_TRUE(drewFarLine(rec));
}

TEST_F(CullingFixture, TextUnderThreeViewUnitsIsNeitherMeasuredNorDrawn) {
  LOGFONT font{};
  font.lfHeight = -2;
  EXPECT_FALSE(IsPlanTextReadable(font));
  RecordingDrawContext rec;
  CurrentDrawContextScope scope(&rec);
  EXPECT_EQ(MeasurePlanText(nullptr, "12'", font).width, 0);
  // It is handed on at its own size; the painter leaves it out.
  DrawPlanTextInRect(nullptr, "12'", NSMakeRect(0, 0, 40, 10), font, RGBColor{});
  ASSERT_EQ(rec.count(Kind::Text), 1u);
  EXPECT_FLOAT_EQ(rec.calls.back().text.font.pointSize, 2);
  {
    GuiApplication();
    QImage image(40, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QPainterDrawContext painted(&painter);
    DrawPlanTextInRect(&painted, "12'", NSMakeRect(0, 0, 40, 10), font, RGBColor{});
    painter.end();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255));
  }
  font.lfHeight = -3;
  EXPECT_TRUE(IsPlanTextReadable(font));
  EXPECT_GT(MeasurePlanText(nullptr, "12'", font).width, 0);
  DrawPlanTextInRect(nullptr, "12'", NSMakeRect(0, 0, 40, 10), font, RGBColor{});
  EXPECT_EQ(rec.count(Kind::Text), 2u);
  // A positive or zero height draws at 12.
  font.lfHeight = 0;
  EXPECT_TRUE(IsPlanTextReadable(font));

  // A text object of a 2-unit font shows nothing; at 12 its text is drawn.
  rec.clear();
  text(0, 0, -2);
  view.draw3D(&rect, kDrawFlagAll);
  EXPECT_EQ(rec.count(Kind::Text), 0u);
  text(0, 40, -12);
  rec.clear();
  view.draw3D(&rect, kDrawFlagAll);
  EXPECT_EQ(rec.count(Kind::Text), 1u);
}

TEST(LineBatching, HeldLinesPaintAsTheyWouldOneByOne) {
  GuiApplication();
  auto draw = [](bool batched) {
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    {
      QPainterDrawContext ctx(&painter);
      if (batched) ctx.beginLineBatch();
      StrokeStyle thin, wide, dashed;
      thin.color = kDrawBlack;
      wide.color = DrawColor{1, 0, 0, 1};
      wide.width = 3;
      static const float kDash[] = {3, 3};
      dashed.setDash(kDash, 2);
      for (int i = 0; i < 10; ++i) {
        const NSPoint a[2] = {{5.0f + 10 * i, 5}, {5.0f + 10 * i, 70}};
        ctx.strokeLines(a, 2, i % 3 == 0 ? wide : (i % 3 == 1 ? thin : dashed));
        const NSPoint b[2] = {{0, 5.0f + 7 * i}, {119, 5.0f + 7 * i}};
        ctx.strokeLines(b, 2, thin);
        if (i == 4) ctx.fillRect(NSMakeRect(20, 20, 30, 30), DrawColor{0, 0, 1, 1});
      }
      if (batched) ctx.endLineBatch();
      // Lines still held when the context goes are painted then.
      if (batched) ctx.beginLineBatch();
      const NSPoint c[2] = {{0, 79}, {119, 0}};
      ctx.strokeLines(c, 2, thin);
    }
    painter.end();
    return image;
  };
  const QImage one = draw(false), batched = draw(true);
  EXPECT_EQ(DifferentPixels(one, batched), 0);
  EXPECT_GT(Inked(one), 1000);
}

TEST(ShapedText, CachedGlyphsPaintAsDrawingTheStringDoes) {
  GuiApplication();
  struct Case {
    const char* text;
    float size;
    float angle;
    TextAlignment alignment;
    uint32_t traits;
  };
  const Case cases[] = {{"12' 6\"", 12, 0, TextAlignment::Centre, 0},
                        {"Room 17", 9, 30, TextAlignment::Left, kFontBoldTrait},
                        {"3 x 4 Fr", 14, -90, TextAlignment::Right, kFontItalicTrait},
                        {"\xc3\x84rger 1/2", 4, 183.5f, TextAlignment::Centre, 0}};
  for (const Case& c : cases) {
    TextRun run;
    run.text = c.text;
    run.anchor = {80, 60};
    run.font.pointSize = c.size;
    run.font.traits = c.traits;
    run.angleDegrees = c.angle;
    run.alignment = c.alignment;
    QImage viaContext(160, 120, QImage::Format_RGB32), direct(160, 120, QImage::Format_RGB32);
    viaContext.fill(Qt::white);
    direct.fill(Qt::white);
    {
      QPainter painter(&viaContext);
      QPainterDrawContext ctx(&painter);
      ctx.drawText(run);
      ctx.drawText(run);  // the second time from the cache
    }
    {
      // The string drawn straight, as the context drew it before it kept shaped text.
      QPainter painter(&direct);
      const QFont font = QFontFromDescription(run.font, direct.logicalDpiY());
      const QFontMetricsF metrics(font, &direct);
      const QString text = QString::fromUtf8(c.text);
      const qreal width = metrics.horizontalAdvance(text), height = metrics.height();
      const qreal left = c.alignment == TextAlignment::Left ? 0 : c.alignment == TextAlignment::Right ? -width : -width / 2;
      for (int i = 0; i < 2; ++i) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.translate(80, 60);
        if (c.angle != 0) painter.rotate(-c.angle);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(left, -height / 2 + metrics.ascent()), text);
        painter.restore();
      }
    }
    EXPECT_GT(Inked(direct), 10) << c.text;
    EXPECT_EQ(DifferentPixels(viaContext, direct), 0) << c.text;
  }
}
