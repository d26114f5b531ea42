// Text labels, dimension lines and arrowheads, outline and wall dimensions, walls and doors
// in plan, checked through a recording context (and one QImage) in the plan view at zoom 1.
#include <gtest/gtest.h>
#include <algorithm>
#include "model/ConvertObject.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstring>
#include <tuple>
#include <numbers>

#include "TestDocument.h"
#include "model/Services.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/RoofStyles.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "model/ViewStateGuard.h"
#include "plandraw/Base2DView.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/PerimeterDimensions.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/RoofDrawing.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/SmallPlanObjects.h"
#include "plandraw/WallsAndDoors.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "plandraw/qt/QPainterDrawContext.h"

namespace {

using Kind = RecordingDrawContext::Kind;
constexpr float kPi = std::numbers::pi_v<float>;

Base2DView* gAnnotationView = nullptr;

// The plan view (no view offsets) at zoom 1 over a recording context, installed as the main
// window's view with its overlay.
struct AnnotationFixture : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  RecordingDrawContext ctx;
  CurrentDrawContextScope scope{&ctx};
  Base2DView planView;
  RGBColor savedPen = gPlanDrawSettings.penColor;

  AnnotationFixture() {
    gGlobalYOffset = 0;
    doc.ds()->zoomFactor = 1;
    ShowAutoDimensions(doc.ds()) = 1;
    doc.ds()->font.lfHeight = -16;
    std::strcpy(doc.ds()->font.lfFaceName, "Arial");
    gPlanDrawSettings.penColor = {0, 0, 65535};
    gAnnotationView = &planView;
    gPlanViewHooks.documentView = [] { return gAnnotationView; };
    gPlanViewHooks.dynamicDrawEngine = [] { return &gAnnotationView->dynamicDrawEngine(); };
  }
  ~AnnotationFixture() override {
    gPlanViewHooks.documentView = nullptr;
    gPlanViewHooks.dynamicDrawEngine = nullptr;
    gAnnotationView = nullptr;
    gPrinting = 0;
    gHPrintScale = gVPrintScale = 1;
    gSelectionState = 0;
    gPlanDrawSettings.penColor = savedPen;
  }

  std::vector<const RecordingDrawContext::Call*> calls(Kind kind) const {
    std::vector<const RecordingDrawContext::Call*> out;
    for (const auto& c : ctx.calls)
      if (c.kind == kind) out.push_back(&c);
    return out;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto* c : calls(Kind::Text)) out.push_back(c->text.text);
    return out;
  }
  // The readout of a plan length as dimension text shows it.
  std::string readout(float planLength) {
    char text[kReadoutTextSize] = {};
    ConvertInchesToStr(ConvertScreenToWorld(planLength, doc.ds(), 0), text);
    return text;
  }
  // A wall through the plan points with the given thickness in plan units.
  Objex* wall(std::initializer_list<std::pair<float, float>> pts, float thicknessPlan, bool closed = false) {
    Objex* w = doc.addObject(kObjWall, closed, pts);
    w->width = ConvertScreenToWorld(thicknessPlan, doc.ds(), 0);
    w->planMask = 2;
    return w;
  }
  // A door or window child of the wall anchored at `anchor`, from `at` to `at + width` along x.
  Objex* opening(Objex* w, int16_t type, int16_t subtype, Poinz* anchor, float at, float width, float height = 80) {
    Objex* o = doc.addObject(type, false, {{anchor->position[0] + at, anchor->position[2]},
                                           {anchor->position[0] + at + width, anchor->position[2]}});
    // Move it from the layer to the wall's children.
    Layer* layer = o->layer;
    if (o->prev) o->prev->next = o->next;
    else layer->firstObject = o->next;
    if (o->next) o->next->prev = o->prev;
    o->prev = o->next = nullptr;
    o->parent = w;
    if (!w->firstChild) {
      w->firstChild = o;
    } else {
      Objex* last = w->firstChild;
      while (last->next) last = last->next;
      last->next = o;
      o->prev = last;
    }
    auto* d = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    d->ownerType = type;
    d->subtype = subtype;
    d->anchorStart = anchor;
    d->anchorEnd = anchor->next;
    d->startDistance = at;
    d->width = width;
    d->height = height;
    o->typeData = d;
    o->planMask = 2;
    return o;
  }
};

float Distance(NSPoint a, NSPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

}  // namespace

// ---- Text ----

TEST_F(AnnotationFixture, RotatedTextDrawsItsStringInItsFontTurnedAtItsPoint) {
  LOGFONT font{};
  font.lfHeight = -20;
  font.lfWeight = 700;
  std::strcpy(font.lfFaceName, "Courier");
  DrawRotatedText(nullptr, "Kitchen", 100, 50, 30, &font);
  const auto text = calls(Kind::Text);
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0]->text.text, "Kitchen");
  EXPECT_EQ(text[0]->text.font.family, "Courier");
  EXPECT_FLOAT_EQ(text[0]->text.font.pointSize, 20);  // -20 zoomed, less 0.5, truncated
  EXPECT_TRUE(text[0]->text.font.traits & kFontBoldTrait);
  EXPECT_FLOAT_EQ(text[0]->text.angleDegrees, 30);
  // Centred on the point, shifted 6 sin(angle) = 3 units left on screen.
  EXPECT_NEAR(text[0]->text.anchor.x, 97, 1.0);
  EXPECT_NEAR(text[0]->text.anchor.y, 50, 1.0);
  EXPECT_EQ(text[0]->text.color, (DrawColor{0, 0, 1, 1}));
}

TEST_F(AnnotationFixture, StandardTextIsLaidOutInItsBoxUnturned) {
  LOGFONT font{};
  font.lfHeight = -12;
  font.lfEscapement = font.lfOrientation = 450;
  const FloatRect box{20, 10, 60, 200};  // top, left, bottom, right
  DrawStandardText(nullptr, "Note", &box, &font, kTextAlignRight);
  const auto text = calls(Kind::Text);
  ASSERT_EQ(text.size(), 1u);
  EXPECT_FLOAT_EQ(text[0]->text.angleDegrees, 0);
  EXPECT_EQ(text[0]->text.alignment, TextAlignment::Right);
  EXPECT_NEAR(text[0]->text.anchor.x, 200, 1.0);
  // Clipped to the box, 5 units taller than the projected rectangle.
  const auto clip = calls(Kind::Clip);
  ASSERT_EQ(clip.size(), 1u);
  EXPECT_FLOAT_EQ(clip[0]->rect.size.height, 45);
}

TEST_F(AnnotationFixture, FontHeightsFollowTheZoomButNeverVanish) {
  EXPECT_EQ(ScaledFontHeight(-16), -16);
  doc.ds()->zoomFactor = 0.01f;
  EXPECT_EQ(ScaledFontHeight(-16), -1);  // never 0, which would mean the default size
  // A label at that zoom is still handed to the view, at height -1.
  DrawNormalText(nullptr, "Deck", 100, 100, 0);
  ASSERT_EQ(calls(Kind::Text).size(), 1u);
  EXPECT_FLOAT_EQ(calls(Kind::Text)[0]->text.font.pointSize, 1);
  gPrinting = 1;
  gHPrintScale = 2;
  EXPECT_EQ(ScaledFontHeight(-16), -32);
}

TEST_F(AnnotationFixture, LiveLabelsReadUprightAndStayLegible) {
  doc.ds()->zoomFactor = 0.25f;
  DrawDynamicText(nullptr, "12'", 40, 40, 180);
  const auto& labels = planView.dynamicDrawEngine().dynamicDimArray();
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0]->textFontInfo().lfHeight, -10);
  EXPECT_EQ(labels[0]->textFontInfo().lfOrientation, 3600);
  EXPECT_TRUE(labels[0]->textFontInfo().lfItalic);
  EXPECT_TRUE(ctx.calls.empty());  // nothing drawn at once
  planView.dynamicDrawEngine().removePointsFromAllPaths();

  // A normal label keeps its angle.
  DrawNormalText(nullptr, "x", 0, 0, 180);
  ASSERT_EQ(calls(Kind::Text).size(), 1u);
  EXPECT_FLOAT_EQ(calls(Kind::Text)[0]->text.angleDegrees, 180);
}

TEST_F(AnnotationFixture, CalloutsNameTheOpeningAndItsDoorKind) {
  DoorWindowData d{};
  d.ownerType = kObjWindow;
  d.subtype = 600;
  d.width = 36;
  d.height = 48;
  char text[kCalloutTextSize];
  GetAttachmentCalloutText(&d, text);
  EXPECT_EQ(std::string(text), readout(36) + " x " + readout(48));
  d.ownerType = kObjDoor;
  d.subtype = kDoorGarage;
  GetAttachmentCalloutText(&d, text);
  EXPECT_EQ(std::string(text), readout(36) + " x " + readout(48) + " OHD");
  d.subtype = kDoorHinged;
  GetAttachmentCalloutText(&d, text);
  EXPECT_EQ(std::string(text), readout(36) + " x " + readout(48));

  // Drawn only while callouts are shown; printed at exactly 90 degrees it turns 90.1.
  DrawAttachmentCalloutText(nullptr, &d, 0, 0, 0, -100, 0, -50, 1, 5);
  EXPECT_TRUE(calls(Kind::Text).empty());
  doc.ds()->showCallouts = 1;
  gPrinting = 1;
  DrawAttachmentCalloutText(nullptr, &d, 0, 0, 0, -100, 0, -50, 1, 5);
  ASSERT_EQ(calls(Kind::Text).size(), 1u);
  EXPECT_NEAR(calls(Kind::Text)[0]->text.angleDegrees, 90.1, 1e-4);
}

// ---- Dimension lines and arrowheads ----

TEST_F(AnnotationFixture, LengthDimensionDrawsExtensionsLineArrowsAndReadout) {
  doc.ds()->dimArrowStyle = kArrowStyleSolid;
  Objex* dim = doc.addObject(kObjLengthDim, false, {{0, 0}, {0, -50}, {200, -50}, {200, 0}});
  DrawObject(nullptr, dim, nullptr, kDrawFlagAll, nullptr);

  const std::vector<NSPoint> lines = ctx.strokedLinePoints();
  // The first extension line leaves a 10-unit gap at its measured point and runs to the line's end.
  ASSERT_GE(lines.size(), 2u);
  // (Whole view units: v + 0.5 truncated toward zero.)
  EXPECT_NEAR(lines[0].x, 0, 1.0);
  EXPECT_NEAR(lines[0].y, -10, 1.0);
  EXPECT_NEAR(lines[1].y, -50, 1.0);
  // The dimension line from the second point to the third.
  bool dimensionLine = false;
  for (size_t i = 0; i + 1 < lines.size(); i += 2)
    dimensionLine |= std::fabs(lines[i].y + 50) <= 1 && std::fabs(lines[i + 1].y + 50) <= 1 &&
                     std::fabs(lines[i + 1].x - lines[i].x) > 190;
  EXPECT_TRUE(dimensionLine);
  // Two solid arrowheads, the text box, and the readout of the two measured points.
  EXPECT_EQ(calls(Kind::FillPath).size(), 3u);
  ASSERT_EQ(texts().size(), 1u);
  EXPECT_EQ(texts()[0], readout(200));
}

TEST_F(AnnotationFixture, ArrowStylesDrawTheirHeads) {
  struct Case {
    int16_t style;
    size_t fills, strokes;
  } cases[] = {{kArrowStyleSolid, 1, 0},      {kArrowStyleHollow, 1, 1},       {kArrowStyleOpen, 0, 1},
               {kArrowStyleInwardSlant, 0, 1}, {kArrowStyleOutwardSlant, 0, 1}, {kArrowStyleSolidDot, 1, 0},
               {kArrowStyleOpenDot, 0, 1},     {5000, 0, 0}};
  for (const Case& c : cases) {
    ctx.clear();
    DrawDimensionArrow(nullptr, 100, 100, 200, 100, c.style, 0);
    EXPECT_EQ(calls(Kind::FillPath).size(), c.fills) << c.style;
    EXPECT_EQ(calls(Kind::StrokePath).size(), c.strokes) << c.style;
  }
  // A solid head points back from the tip along the line: wings 12 long at 15 degrees.
  ctx.clear();
  DrawDimensionArrow(nullptr, 100, 100, 200, 100, kArrowStyleSolid, 0);
  const NSRect b = calls(Kind::FillPath)[0]->rect;
  EXPECT_NEAR(NSMinX(b), 100, 0.6);
  EXPECT_NEAR(NSMaxX(b), 100 + 12 * std::cos(kPi / 12), 0.6);
  EXPECT_NEAR(b.size.height, 2 * 12 * std::sin(kPi / 12), 1.1);
  // Dots grow with the zoom unless the sizes are taken as they stand.
  doc.ds()->zoomFactor = 2;
  ctx.clear();
  DrawDimensionArrow(nullptr, 100, 100, 200, 100, kArrowStyleSolidDot, 0);
  const NSRect dot = calls(Kind::FillPath)[0]->rect;
  EXPECT_NEAR(NSMinX(dot), 96, 0.01);  // 100 - 2 x 2
  EXPECT_NEAR(dot.size.width, 9, 0.01);  // to 2 x 2 + 100 + 1
  ctx.clear();
  DrawDimensionArrow(nullptr, 100, 100, 200, 100, kArrowStyleOpenDot, 1);
  const NSRect open = calls(Kind::StrokePath)[0]->rect;
  EXPECT_NEAR(NSMinX(open), 94, 0.01);
  EXPECT_NEAR(open.size.width, 13, 0.01);
}

TEST_F(AnnotationFixture, ArrowheadBitsPickTheFirstStyle) {
  DrawArrowhead(nullptr, nullptr, 10, 10, 50, 10, kArrowSolid | kArrowOpen);
  EXPECT_EQ(calls(Kind::FillPath).size(), 1u);
  ctx.clear();
  DrawArrowhead(nullptr, nullptr, 10, 10, 50, 10, kArrowOutside);
  EXPECT_TRUE(ctx.calls.empty());
  // Outside the tip a leader of 36 units comes first, except for an angle dimension.
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {1, 0}});
  DrawArrowhead(nullptr, line, 10, 10, 50, 10, kArrowOutside | kArrowInwardSlant);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 4u);
  ctx.clear();
  line->type = kObjAngleDim;
  DrawArrowhead(nullptr, line, 10, 10, 50, 10, kArrowOutside | kArrowInwardSlant);
  EXPECT_EQ(ctx.strokedLinePoints().size(), 2u);
}

TEST_F(AnnotationFixture, AutomaticDimensionsAreGatedButDimensionLinesAndTheRubberBandAreNot) {
  int guard = 0;
  ShowAutoDimensions(doc.ds()) = 0;
  DrawDimensionLine(nullptr, 0, 0, 200, 0, 0, 0, 200, 0, 1, 5, 0, &guard, &guard, 0, 0, 5, 0, nullptr);
  EXPECT_TRUE(ctx.calls.empty());
  DrawDimensionLineNoOffset(nullptr, 0, 0, 200, 0, 0, 0, 200, 0, 1, 0, 0, &guard, &guard, 0, 0, 0, 0, nullptr);
  EXPECT_EQ(texts().size(), 1u);
  DrawDimensionLine(nullptr, 0, 0, 200, 0, 0, 0, 200, 0, 1, 5, 1, &guard, &guard, 0, 0, 5, 0, nullptr);
  EXPECT_EQ(planView.dynamicDrawEngine().dynamicDimArray().size(), 1u);
  EXPECT_FALSE(planView.dynamicDrawEngine().isPathEmpty(kPathPrimary));
  // Without both guard pointers nothing is drawn.
  ctx.clear();
  DrawDimensionLineNoOffset(nullptr, 0, 0, 200, 0, 0, 0, 200, 0, 1, 0, 0, &guard, nullptr, 0, 0, 0, 0, nullptr);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(AnnotationFixture, ShortDimensionsAreTextOnlyAndReadUpright) {
  int guard = 0;
  DrawDimensionLine(nullptr, 0, 0, 60, 0, 0, 0, 60, 0, 1, 5, 0, &guard, &guard, 0, 0, 5, 0, " R");
  EXPECT_TRUE(ctx.strokedLinePoints().empty());
  ASSERT_EQ(texts().size(), 1u);
  EXPECT_EQ(texts()[0], readout(60) + " R");
  ctx.clear();
  // Right to left reads left to right; printing at exactly 0 degrees turns it a tenth.
  DrawDimensionLine(nullptr, 200, 0, 0, 0, 200, 0, 0, 0, 1, 5, 0, &guard, &guard, 0, 0, 5, 0, nullptr);
  ASSERT_EQ(calls(Kind::Text).size(), 1u);
  EXPECT_FLOAT_EQ(calls(Kind::Text)[0]->text.angleDegrees, 360);
  ctx.clear();
  gPrinting = 1;
  DrawDimensionLine(nullptr, 0, 0, 200, 0, 0, 0, 200, 0, 1, 5, 0, &guard, &guard, 0, 0, 5, 0, nullptr);
  ASSERT_EQ(calls(Kind::Text).size(), 1u);
  EXPECT_FLOAT_EQ(calls(Kind::Text)[0]->text.angleDegrees, 0.1f);
  // A selected wall segment's text is red and 12 high.
  ctx.clear();
  gPrinting = 0;
  gSelectionState = 1;
  doc.ds()->zoomFactor = 3;
  DrawDimensionLine(nullptr, 0, 0, 200, 0, 0, 0, 200, 0, 1, 5, 0, &guard, &guard, 0, 0, 5, 0, nullptr);
  ASSERT_EQ(calls(Kind::Text).size(), 1u);
  EXPECT_EQ(calls(Kind::Text)[0]->text.color, kDrawRed);
  EXPECT_FLOAT_EQ(calls(Kind::Text)[0]->text.font.pointSize, 12);
}

// ---- Small objects and outline dimensions ----

TEST_F(AnnotationFixture, SmallObjectsLabelThemselves) {
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {100, 0}, {100, 60}, {0, 60}});
  deck->bounds3D = {0, 0, 0, 0, 100, 60};
  DrawDeck(nullptr, deck);
  ASSERT_EQ(texts().size(), 1u);
  EXPECT_EQ(texts()[0], "DECK");

  ctx.clear();
  Objex* sprinkler = doc.addObject(kObjSprinkler, false, {{0, 0}, {100, 0}});
  sprinkler->params[0] = 90;
  DrawSprinkler(nullptr, sprinkler);
  ASSERT_EQ(texts().size(), 2u);
  EXPECT_EQ(texts()[0], readout(100) + " R");
  EXPECT_NE(texts()[1].find(" Sprinkler"), std::string::npos);

  // A path: the length of its outline (type data) from the first to the last point.
  ctx.clear();
  Objex* path = doc.addObject(kObjPath, false, {{0, 0}, {100, 0}});
  auto* outline = static_cast<Objex*>(calloc(1, sizeof(Objex)));
  outline->type = kObjPathSurface;
  for (float x : {0.0f, 50.0f, 120.0f})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, outline), outline);
  path->typeData = outline;
  DrawPath(nullptr, path);
  EXPECT_EQ(texts(), std::vector<std::string>{readout(120)});

  ctx.clear();
  ShowAutoDimensions(doc.ds()) = 0;
  DrawSprinkler(nullptr, sprinkler);
  DrawDeck(nullptr, deck);
  DrawPath(nullptr, path);
  EXPECT_EQ(texts(), std::vector<std::string>{"DECK"});

  // A leader needs three points; it ends in a solid head.
  ctx.clear();
  Objex* leader = doc.addObject(kObjLeaderDim, false, {{0, 0}, {50, 50}});
  DrawLeaderDimension(nullptr, leader);
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(AnnotationFixture, OutlineLabelsCarryTheirKindsSuffix) {
  Objex* fence = doc.addObject(kObjFence, false, {{0, 0}, {200, 0}, {400, 0}});
  fence->firstPoint->next->pointType = 6;
  DrawObjectPerimeter(nullptr, fence);
  EXPECT_EQ(texts(), (std::vector<std::string>{readout(200) + " Fence", readout(200) + " Gate"}));

  ctx.clear();
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
  DrawObjectPerimeter(nullptr, deck);
  EXPECT_TRUE(texts().empty());  // the deck's automatic dimensions are off
  ObjectDimensionFlags(deck) = 1;
  deck->firstPoint->segmentFlags = 1;
  DrawObjectPerimeter(nullptr, deck);
  ASSERT_EQ(texts().size(), 4u);
  EXPECT_EQ(texts()[0], readout(200) + " (Rail)");
  EXPECT_EQ(texts()[1], readout(200) + " (Open)");
}

// ---- Walls ----

TEST_F(AnnotationFixture, WallWithoutOutlineDrawsBothFacesAtItsThickness) {
  Objex* w = wall({{0, 0}, {200, 0}}, 20);
  ShowAutoDimensions(doc.ds()) = 0;
  DrawObject(nullptr, w, nullptr, kDrawFlagAll, nullptr);
  const std::vector<NSPoint> lines = ctx.strokedLinePoints();
  ASSERT_EQ(lines.size(), 8u);  // two faces and two ends
  std::vector<float> faces;
  for (size_t i = 0; i < lines.size(); i += 2)
    if (lines[i].y == lines[i + 1].y && std::fabs(lines[i + 1].x - lines[i].x) > 190) faces.push_back(lines[i].y);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_NEAR(std::fabs(faces[0] - faces[1]), 20, 1.0);
  EXPECT_NEAR(faces[0] + faces[1], 0, 1.0);
  EXPECT_TRUE(texts().empty());
  // And its length in the top view while automatic dimensions are shown.
  ctx.clear();
  ShowAutoDimensions(doc.ds()) = 1;
  DrawObject(nullptr, w, nullptr, kDrawFlagAll, nullptr);
  EXPECT_EQ(texts(), std::vector<std::string>{readout(200)});
}

TEST_F(AnnotationFixture, WallSegmentWithDoorsShowsPiecesOverallAndCallouts) {
  doc.ds()->showCallouts = 1;
  Objex* w = wall({{0, 0}, {400, 0}}, 4);  // t = 0 for a 4-unit wall
  Poinz* start = w->firstPoint;
  opening(w, kObjDoor, kDoorHinged, start, 100, 36);
  DimensionWallSegment(nullptr, w, start, start->next, 1);
  EXPECT_EQ(texts().size(), 3u);  // two pieces and one callout; no overall length
  ctx.clear();
  Objex* second = opening(w, kObjWindow, 600, start, 300, 30);
  DimensionWallSegment(nullptr, w, start, start->next, 1);
  const std::vector<std::string> t = texts();
  ASSERT_EQ(t.size(), 6u);  // three pieces, two callouts, overall
  EXPECT_EQ(t[0], readout(100));
  EXPECT_EQ(t[2], readout(200));
  EXPECT_EQ(t[4], readout(100));
  EXPECT_EQ(t[5], readout(400));
  // The openings' records are not relinked by the drawing.
  EXPECT_EQ(AttachmentData(second)->linkPrev, nullptr);
  EXPECT_EQ(AttachmentData(second)->linkNext, nullptr);

  // Hiding the dimensions keeps the callouts.
  ctx.clear();
  start->segmentFlags = kSegmentHideDimensions;
  DimensionWallSegment(nullptr, w, start, start->next, 1);
  EXPECT_EQ(texts().size(), 2u);
}

TEST_F(AnnotationFixture, WallMeasuredAtTheFaceGainsAThicknessOnOutsideCorners) {
  Objex* w = wall({{0, 0}, {200, 0}, {200, 200}, {0, 200}}, 10, true);
  for (Poinz* p = w->firstPoint; p; p = p->next) PointFromWallFace(p) = 1;
  float x1, z1, x2, z2;
  AdjustWallDimensionForMethod(w, w->firstPoint, w->firstPoint->next, &x1, &z1, &x2, &z2);
  EXPECT_NEAR(std::fabs(x2 - x1), 210, 0.01);
  PointFlipDimension(w->firstPoint) = 1;
  AdjustWallDimensionForMethod(w, w->firstPoint, w->firstPoint->next, &x1, &z1, &x2, &z2);
  EXPECT_NEAR(std::fabs(x2 - x1), 190, 0.01);
}

// Off the floor plan an exterior wall's dimension stands off by half its params[3] inches at
// the plan scale beyond where it would stand without them: the gap between the wall line and
// the readout grows by that half at each scale.
TEST_F(AnnotationFixture, ExteriorWallDimensionOffTheFloorPlanTakesThePlanScale) {
  doc.ds()->currentPlanMask = 0;
  auto gap = [&](float scale, float inches) {
    doc.ds()->planScale = scale;
    Objex* w = wall({{0, 0}, {400, 0}}, 0);
    w->width = 4;
    w->subtype = kSubExteriorWall;
    w->params[3] = inches;
    ctx.clear();
    DimensionWallSegment(nullptr, w, w->firstPoint, w->firstPoint->next, 1);
    const auto labels = calls(Kind::Text);
    return labels.size() == 1 ? std::fabs(labels[0]->text.anchor.y) : -1.0f;
  };
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    const float without = gap(scale, 0);
    ASSERT_GE(without, 0);
    EXPECT_NEAR(gap(scale, 20) - without, 10 * 72 / scale, 1.01f);
  }
}

// The same, with the thickness in inches at every plan scale, on a segment across the plan
// and on one down it.
TEST_F(AnnotationFixture, WallMeasuredAtTheFaceTakesTheThicknessAtEveryPlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float t = 5 * 72 / scale;
    Objex* w = wall({{0, 0}, {200, 0}, {200, 200}, {0, 200}}, 0, true);
    w->width = 5;
    for (Poinz* p = w->firstPoint; p; p = p->next) PointFromWallFace(p) = 1;
    for (Poinz* p : {w->firstPoint, w->firstPoint->next}) {
      const bool down = p != w->firstPoint;
      float x1, z1, x2, z2;
      AdjustWallDimensionForMethod(w, p, p->next, &x1, &z1, &x2, &z2);
      EXPECT_NEAR(down ? std::fabs(z2 - z1) : std::fabs(x2 - x1), 200 + t, 0.01) << down;
      PointFlipDimension(p) = 1;
      AdjustWallDimensionForMethod(w, p, p->next, &x1, &z1, &x2, &z2);
      EXPECT_NEAR(down ? std::fabs(z2 - z1) : std::fabs(x2 - x1), 200 - t, 0.01) << down;
    }
  }
}

// ---- Doors ----

TEST_F(AnnotationFixture, HingedDoorDrawsItsSwingOnlyInItsSense) {
  PlanBackgroundColor(doc.ds()) = {65535, 65535, 0};
  Objex* w = wall({{0, 0}, {200, 0}}, 6);
  Objex* door = opening(w, kObjDoor, kDoorHinged, w->firstPoint, 50, 36);
  AttachmentData(door)->auxFloat1 = kPi / 2;
  AttachmentData(door)->flipVertical = kDoorSwingPositive;
  DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);

  // The patch over the wall in the background colour, the dashed closed line.
  const auto fills = calls(Kind::FillPath);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0]->fill.color, (DrawColor{1, 1, 0, 1}));
  EXPECT_NEAR(fills[0]->rect.size.height, 2 * (3 + 3), 1.1);
  const auto strokes = calls(Kind::StrokePath);
  ASSERT_EQ(strokes.size(), 2u);
  EXPECT_TRUE(strokes[0]->stroke.isDashed());
  // The quarter arc about the hinge (86, 0), radius 33.
  const NSPoint hinge{86, 0};
  const std::vector<NSPoint> arc = ctx.strokedLinePoints();
  ASSERT_GE(arc.size(), 8u);
  for (const NSPoint& p : arc) EXPECT_NEAR(Distance(p, hinge), 33, 1.0);
  EXPECT_NEAR(arc.front().x, 53, 1.0);
  EXPECT_NEAR(arc.back().y, 33, 1.0);
  // The solid leaf from 5 to 41 units from the hinge along the open direction.
  EXPECT_FALSE(strokes[1]->stroke.isDashed());
  EXPECT_NEAR(NSMinY(strokes[1]->rect), 5, 0.6);
  EXPECT_NEAR(NSMaxY(strokes[1]->rect), 41, 0.6);

  // The quarter arc takes as many steps as a curved segment: 8 to 20, half while drawing in
  // real time.
  for (auto [resolution, realTime, steps] : {std::tuple{100, 0, 20u}, {3, 0, 8u}, {30, 1, 15u}, {12, 0, 12u}}) {
    ctx.clear();
    doc.ds()->curveSegments = static_cast<int16_t>(resolution);
    gRealTimeDraw = static_cast<uint8_t>(realTime);
    DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);
    gRealTimeDraw = 0;
    EXPECT_EQ(ctx.strokedLinePoints().size(), 2 * steps) << resolution;
  }

  // The other sense would sweep 270 degrees: no arc, no leaf, the dashed line stays.
  ctx.clear();
  AttachmentData(door)->flipVertical = 0;
  DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);
  EXPECT_TRUE(ctx.strokedLinePoints().empty());
  EXPECT_EQ(calls(Kind::StrokePath).size(), 1u);
}

// A door's marks take the wall's thickness, in inches, at every plan scale: the patch over
// the wall 3 beyond each face, a frame's dashed faces, a sliding door's panels each half the
// wall deep.
TEST_F(AnnotationFixture, DoorMarksTakeTheWallThicknessAtEveryPlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float t = 6 * 72 / scale;  // a wall 6 inches thick
    Objex* w = wall({{0, 0}, {200, 0}}, 0);
    w->width = 6;
    Objex* door = opening(w, kObjDoor, kDoorFrameOnly, w->firstPoint, 50, 40);
    ctx.clear();
    DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);
    ASSERT_EQ(calls(Kind::FillPath).size(), 1u);
    // Ends made whole units may lose up to a unit and a half.
    EXPECT_NEAR(calls(Kind::FillPath)[0]->rect.size.height, t + 6, 2);
    ASSERT_EQ(calls(Kind::StrokePath).size(), 1u);
    EXPECT_NEAR(calls(Kind::StrokePath)[0]->rect.size.height, t, 2);
    AttachmentData(door)->subtype = kDoorSliding;
    ctx.clear();
    DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);
    ASSERT_EQ(calls(Kind::StrokePath).size(), 2u);
    for (const auto* panel : calls(Kind::StrokePath)) EXPECT_NEAR(panel->rect.size.height, t / 2, 2);
  }
}

TEST_F(AnnotationFixture, DoorKindsDrawTheirSymbols) {
  Objex* w = wall({{0, 0}, {200, 0}}, 8);
  Objex* door = opening(w, kObjDoor, kDoorSliding, w->firstPoint, 50, 40);
  DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);
  EXPECT_EQ(calls(Kind::FillPath).size(), 1u);
  EXPECT_EQ(calls(Kind::StrokePath).size(), 2u);  // two panels, no dashed line
  for (const auto* s : calls(Kind::StrokePath)) EXPECT_FALSE(s->stroke.isDashed());

  ctx.clear();
  AttachmentData(door)->subtype = kDoorFrameOnly;
  DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);
  ASSERT_EQ(calls(Kind::StrokePath).size(), 1u);
  EXPECT_NEAR(calls(Kind::StrokePath)[0]->rect.size.height, 8, 1.1);  // both wall faces

  ctx.clear();
  AttachmentData(door)->subtype = kDoorGarage;
  AttachmentData(door)->height = 30;
  DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);
  ASSERT_EQ(calls(Kind::StrokePath).size(), 2u);
  EXPECT_NEAR(calls(Kind::StrokePath)[1]->rect.size.height, 30, 1.1);

  // A door without its wall draws nothing.
  ctx.clear();
  door->parent = nullptr;
  DrawDoor(nullptr, door, nullptr, kDrawFlagAll, nullptr);
  door->parent = w;
  EXPECT_TRUE(ctx.calls.empty());
}

// A garage door drawn with the plan: its dashed box, the door's depth deep, stands off the wall
// line on the right of the door (looking from its first point to its second), and on its left
// when flipped; on walls running each of four ways, alone and in a group made on another tab,
// at two plan scales.
TEST_F(AnnotationFixture, AGarageDoorsDashedBoxStandsOnTheSideItsFlipNames) {
  struct Way {
    float dx, dz;
  };
  for (const float scale : {48.0f, 96.0f})
    for (const Way way : {Way{1, 0}, Way{0, 1}, Way{-1, 0}, Way{0, -1}})
      for (const bool flipped : {false, true})
        for (const bool grouped : {false, true}) {
          SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", wall along " << way.dx << ", " << way.dz
                                          << (flipped ? ", flipped" : "") << (grouped ? ", grouped" : ""));
          while (Objex* o = doc.first->firstObject) {
            UnlinkObject(o);
            DeleteObj(o);
          }
          doc.ds()->planScale = scale;
          Objex* w = wall({{0, 0}, {200 * way.dx, 200 * way.dz}}, 8);
          Objex* door = opening(w, kObjDoor, kDoorGarage, w->firstPoint, 0, 40);
          // From 50 to 90 along the wall.
          Poinz* p = door->firstPoint;
          for (const float along : {50.0f, 90.0f}) {
            p->position[0] = along * way.dx;
            p->position[2] = along * way.dz;
            p = p->next;
          }
          AttachmentData(door)->height = 30;
          AttachmentData(door)->flipHorizontal = flipped ? 1 : 0;
          if (grouped) {
            Objex* group = doc.addObject(kObjGroup, false, {});
            group->planMask = 1 << kPlanLandscape;
            UnlinkObject(w);
            gGroupLeader = group;
            GroupObject(w);
            gGroupLeader = nullptr;
          }
          ctx.clear();
          DrawAllLayers(nullptr, doc.model.itsLayers, nullptr, kDrawFlagAll, nullptr);
          std::vector<const RecordingDrawContext::Call*> boxes;
          for (const auto* c : calls(Kind::StrokePath))
            if (c->stroke.dashCount == 2 && c->stroke.dash[0] == 18 && c->stroke.dash[1] == 6) boxes.push_back(c);
          ASSERT_EQ(boxes.size(), 1u);
          // The right of the way is (-dz, dx) in the plan (z down the view), the left (dz, -dx).
          const float sx = flipped ? way.dz : -way.dz, sz = flipped ? -way.dx : way.dx;
          const NSRect& r = boxes[0]->rect;
          EXPECT_NEAR(NSMidX(r), 70 * way.dx + 15 * sx, 1.1);
          EXPECT_NEAR(NSMidY(r), 70 * way.dz + 15 * sz, 1.1);
          EXPECT_NEAR(std::max(r.size.width, r.size.height), 40, 1.1);
          EXPECT_NEAR(std::min(r.size.width, r.size.height), 30, 1.1);
        }
}

TEST_F(AnnotationFixture, RubberBandWallIsAClosedBandWithItsLiveLength) {
  ZLKDynamicDrawEngine& engine = planView.dynamicDrawEngine();
  engine.setActivePath(kPathSecondary);
  DrawWall(nullptr, 0, 0, 0, 200, 0, 0, 10, 1);
  const NSRect band = engine.boundsForPath(kPathSecondary);
  EXPECT_NEAR(band.size.width, 200, 1.0);
  EXPECT_NEAR(band.size.height, 10, 1.0);
  EXPECT_EQ(engine.dynamicDimArray().size(), 1u);
  EXPECT_TRUE(ctx.calls.empty());
  engine.removePointsFromAllPaths();
}

// ---- Pixels ----

TEST_F(AnnotationFixture, WallFacesPaintOnAnImage) {
  static int argc = 1;
  static char name[] = "test_plandraw";
  static char* argv[] = {name, nullptr};
  if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
  ShowAutoDimensions(doc.ds()) = 0;  // only the faces: no automatic dimension above the wall
  Objex* w = wall({{20, 50}, {180, 50}}, 20);
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QPainterDrawContext qctx(&painter);
    CurrentDrawContextScope paintScope(&qctx);
    qctx.setColor(kDrawBlack);
    DrawWallFromPoints(nullptr, w);
  }
  EXPECT_NE(image.pixel(100, 40), qRgb(255, 255, 255));
  EXPECT_NE(image.pixel(100, 60), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(100, 50), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(100, 30), qRgb(255, 255, 255));
}

TEST_F(AnnotationFixture, LiveDistancesRunToThePointAndPastOpenings) {
  ZLKDynamicDrawEngine& engine = planView.dynamicDrawEngine();
  ShowAutoDimensions(doc.ds()) = 0;  // live distances are never gated
  Objex* w = wall({{0, 0}, {400, 0}}, 4);
  const FloatPoint x{250, 0};
  DimensionWallSegmentToPoint(nullptr, w, w->firstPoint, w->firstPoint->next, 0, &x, nullptr);
  ASSERT_EQ(engine.dynamicDimArray().size(), 2u);  // start to the point, end to the point
  EXPECT_STREQ(engine.dynamicDimArray()[0]->dimensionText(), readout(250).c_str());
  EXPECT_STREQ(engine.dynamicDimArray()[1]->dimensionText(), readout(150).c_str());
  engine.removePointsFromAllPaths();

  // With a window beyond the point: from the start, and from the window back to the point.
  opening(w, kObjWindow, 600, w->firstPoint, 300, 30);
  DimensionWallSegmentToPoint(nullptr, w, w->firstPoint, w->firstPoint->next, 0, &x, nullptr);
  ASSERT_EQ(engine.dynamicDimArray().size(), 2u);
  EXPECT_STREQ(engine.dynamicDimArray()[1]->dimensionText(), readout(50).c_str());
  engine.removePointsFromAllPaths();
  EXPECT_TRUE(ctx.calls.empty());
}

TEST_F(AnnotationFixture, RoofPanelsSkipFlaggedSegments) {
  Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {200, 0}, {200, 100}, {0, 100}});
  panel->firstPoint->segmentFlags = 1;
  Draw2DRoofPanel(nullptr, panel);
  EXPECT_EQ(texts().size(), 3u);
}

// ---- Slope arrows and elevation labels ----

#include "plandraw/SlopeArrows.h"
#include "plandraw/VirtualRuler.h"
#include "plandraw/WallSegmentDimensions.h"

namespace {
// Which side of the shaft tail -> head a view point lies on.
int SideOf(NSPoint tail, NSPoint head, NSPoint p) {
  return (head.x - tail.x) * (p.y - tail.y) - (head.y - tail.y) * (p.x - tail.x) > 0 ? 1 : -1;
}
NSPoint Mid(NSPoint a, NSPoint b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }
// The angle in degrees between head -> a and head -> b.
float DegreesBetween(NSPoint head, NSPoint a, NSPoint b) {
  const float ax = a.x - head.x, ay = a.y - head.y, bx = b.x - head.x, by = b.y - head.y;
  return std::acos((ax * bx + ay * by) / (std::hypot(ax, ay) * std::hypot(bx, by))) * 180 / kPi;
}
}  // namespace

// A roof slope arrow, a foundation slope and a lot section pointing each way: each barb ends
// at the head at its length and angle, one on either side of the shaft, and each label keeps
// its side of the shaft as the arrow turns.
TEST_F(AnnotationFixture, SlopeArrowsKeepTheirBarbsAndLabelSidesWhicheverWayTheyPoint) {
  ShowAutoDimensions(doc.ds()) = 0;
  const NSPoint tail{100, 100};
  for (const NSPoint head : {NSPoint{300, 100}, NSPoint{-100, 100}, NSPoint{100, 300}, NSPoint{100, -100}}) {
    SCOPED_TRACE(testing::Message() << "head " << head.x << ", " << head.y);
    auto barbs = [&](const std::vector<NSPoint>& lines, float length, float degrees) {
      ASSERT_GE(lines.size(), 6u);
      EXPECT_LT(std::min(Distance(lines[0], tail) + Distance(lines[1], head),
                         Distance(lines[0], head) + Distance(lines[1], tail)),
                1.5f);  // the shaft, either way round
      const NSPoint ends[2] = {Distance(lines[2], head) < 1.5f ? lines[3] : lines[2],
                               Distance(lines[4], head) < 1.5f ? lines[5] : lines[4]};
      for (int i = 0; i < 2; ++i) {
        EXPECT_LT(std::min(Distance(lines[2 + 2 * i], head), Distance(lines[3 + 2 * i], head)), 1.5f) << i;
        EXPECT_NEAR(Distance(ends[i], head), length, 1.5f) << i;
        EXPECT_NEAR(DegreesBetween(head, ends[i], tail), degrees, 2.5f) << i;
      }
      EXPECT_EQ(SideOf(tail, head, ends[0]), -SideOf(tail, head, ends[1]));
    };

    Objex* roofArrow = doc.addObject(kObjRoofSlopeArrow, false, {{tail.x, tail.y}, {head.x, head.y}});
    roofArrow->width = 6;
    ctx.clear();
    DrawRoofSlopeDirectionArrow(nullptr, roofArrow);
    barbs(ctx.strokedLinePoints(), 30, 45);
    auto labels = calls(Kind::Text);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[1]->text.text, "12");
    // The pitch on the left of the arrow as it points, the run of 12 on its right.
    EXPECT_EQ(SideOf(tail, head, labels[0]->text.anchor), 1);
    EXPECT_EQ(SideOf(tail, head, labels[1]->text.anchor), -1);

    Objex* foundation = doc.addObject(kObjFoundationSlope, false, {{tail.x, tail.y}, {head.x, head.y}});
    ctx.clear();
    DrawFoundationSlope(nullptr, foundation);
    barbs(ctx.strokedLinePoints(), 50, 30);
    labels = calls(Kind::Text);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->text.text, "Slope");
    EXPECT_EQ(SideOf(tail, head, labels[0]->text.anchor), -1);

    // A section's barbs run out from the head; a line 200 long crosses the head, one 400 long
    // the tail.
    Objex* section = doc.addObject(kObjSlopeLotSection, false, {{head.x, head.y}, {tail.x, tail.y}});
    std::swap(section->firstPoint->position[0], section->firstPoint->next->position[0]);
    std::swap(section->firstPoint->position[2], section->firstPoint->next->position[2]);
    ctx.clear();
    DrawTopoMultiSlopeDirectionArrow(nullptr, section);
    auto lines = ctx.strokedLinePoints();
    ASSERT_EQ(lines.size(), 10u);
    barbs(lines, 75, 30);
    EXPECT_NEAR(Distance(lines[6], lines[7]), 200, 1.5f);
    EXPECT_NEAR(Distance(Mid(lines[6], lines[7]), head), 0, 1.5f);
    EXPECT_NEAR(Distance(lines[8], lines[9]), 400, 1.5f);
    EXPECT_NEAR(Distance(Mid(lines[8], lines[9]), tail), 0, 1.5f);
  }
}

// A topography line's rise and a roof panel point's elevation read their heights in world
// units at every plan scale and in both unit systems, upward and downward.
TEST_F(AnnotationFixture, ElevationLabelsReadTheirHeightsAtEveryPlanScale) {
  auto inches = [](float world) {
    char text[kReadoutTextSize] = {};
    ConvertInchesToStr(world, text);
    return std::string(text);
  };
  for (const float scale : {96.0f, 48.0f, 24.0f, 36.0f}) {
    for (const int16_t system : {int16_t{kMeasureImperial}, int16_t{kMeasureMetric}}) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", system " << system);
      doc.ds()->planScale = scale;
      doc.ds()->measureSystem = system;
      Objex* topo = doc.addObject(kObjTopography, false, {{0, 0}, {100, 0}});
      for (const float rise : {30.0f, -30.0f}) {
        topo->width = ConvertWorldToScreen(rise, doc.ds(), 0);
        ctx.clear();
        DrawTopoLineElevation(nullptr, topo, topo->firstPoint);
        EXPECT_EQ(texts(), std::vector<std::string>{(rise > 0 ? "Ascend: " : "Descend: ") + inches(rise)});
      }

      // A panel 100 above its base; its second point 18 inches along its heights.
      Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {100, 0}, {100, 80}});
      Objex* heights = doc.addObject(kObjClosedPoly, true, {{0, 0}, {100, 0}, {100, 80}});
      heights->firstPoint->next->position[1] = -ConvertWorldToScreen(18, doc.ds(), 0);
      panel->typeData = heights;
      panel->baseElevation = 100;
      for (const int16_t below : {int16_t{0}, int16_t{1}}) {
        panel->direction = below;
        ctx.clear();
        DrawRoofPointElevation(nullptr, panel, panel->firstPoint->next);
        EXPECT_EQ(texts(), std::vector<std::string>{"Elev: " + inches(below ? 82 : 118)}) << below;
      }
      panel->typeData = nullptr;
    }
  }
}

// A wall's dimension attachment runs square from its start along the wall, on the side its
// flip picks, from the wall's face when so flagged (half the wall's thickness at the plan
// scale) or from its line: walls across and down the plan, two thicknesses, every scale.
TEST_F(AnnotationFixture, WallDimensionAttachmentsRunFromTheFaceOnTheFlippedSide) {
  for (const float scale : {96.0f, 48.0f, 24.0f, 36.0f}) {
    for (const bool down : {false, true}) {
      for (const float thickness : {6.0f, 12.0f}) {
        doc.ds()->planScale = scale;
        Objex* w = down ? wall({{0, 0}, {0, 400}}, 0) : wall({{0, 0}, {400, 0}}, 0);
        w->width = thickness;
        const float half = ConvertWorldToScreen(thickness, doc.ds(), 0) / 2;
        Objex* dim = opening(w, kObjComponent, kSubDimensionAttachment, w->firstPoint, 50, 0, 120);
        dim->subtype = kSubDimensionAttachment;
        auto* d = static_cast<DoorWindowData*>(dim->typeData);
        for (const int16_t fromFace : {int16_t{0}, int16_t{1}}) {
          for (const uint8_t flip : {uint8_t{0}, uint8_t{1}}) {
            SCOPED_TRACE(testing::Message() << "plan scale " << scale << (down ? ", down" : ", across")
                                            << ", thickness " << thickness << ", from face " << fromFace
                                            << ", flip " << int(flip));
            dim->firstPoint->segmentShort1 = fromFace;
            d->flipHorizontal = flip;
            ctx.clear();
            DrawDimensionAttachment(nullptr, dim);
            EXPECT_EQ(texts(), std::vector<std::string>{readout(fromFace ? 120 - half : 120)});
            // Every line lies square off the wall at 50 along it, on the flipped side.
            const auto lines = ctx.strokedLinePoints();
            ASSERT_FALSE(lines.empty());
            float nearest = 1e9f, farthest = -1e9f;
            for (const NSPoint& p : lines) {
              const float along = down ? p.y : p.x, off = down ? -p.x : p.y;
              EXPECT_NEAR(along, 50, 12) << p.x << ", " << p.y;
              const float out = flip ? -off : off;
              nearest = std::min(nearest, out);
              farthest = std::max(farthest, out);
            }
            EXPECT_NEAR(farthest, 120, 1.01f);
            EXPECT_NEAR(nearest, fromFace ? half : 0, 2.0f);  // arrowheads end on whole units
          }
        }
      }
    }
  }
}

// Where small objects put what they draw: a deck's name in the middle of its box, a
// sprinkler's label just above its last point, and a perimeter dimension's two extension
// lines each leaving its gap at its own measured point.
TEST_F(AnnotationFixture, SmallObjectLabelsAndPerimeterExtensionsSitWhereTheyBelong) {
  Objex* deck = doc.addObject(kObjDeck, true, {{40, 100}, {240, 100}, {240, 160}, {40, 160}});
  deck->bounds3D = {0, 40, 100, 0, 240, 160};
  DrawDeck(nullptr, deck);
  ASSERT_EQ(calls(Kind::Text).size(), 1u);
  EXPECT_NEAR(calls(Kind::Text)[0]->text.anchor.x, 140, 1.5f);
  EXPECT_NEAR(calls(Kind::Text)[0]->text.anchor.y, 130, 8);

  ctx.clear();
  Objex* sprinkler = doc.addObject(kObjSprinkler, false, {{50, 50}, {50, 150}});
  DrawSprinkler(nullptr, sprinkler);
  const auto labels = calls(Kind::Text);
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_NE(labels[1]->text.text.find(" Sprinkler"), std::string::npos);
  EXPECT_NEAR(labels[1]->text.anchor.x, 50, 1.5f);
  EXPECT_GT(labels[1]->text.anchor.y, 150 - 30);
  EXPECT_LT(labels[1]->text.anchor.y, 150);

  // Measured points at (0, 0) and (200, 0); the dimension line 40 above them.
  ctx.clear();
  Objex* perimeter = doc.addObject(kObjOpenPoly, false, {{0, 0}, {0, -40}, {200, -40}, {200, 0}});
  DrawDimensionPerimeter(nullptr, perimeter);
  int extensions = 0;
  const auto lines = ctx.strokedLinePoints();
  for (size_t i = 0; i + 1 < lines.size(); i += 2) {
    for (const float x : {0.0f, 200.0f}) {
      // The dimension line's own end marks stay out near the line.
      if (std::fabs(lines[i].x - x) > 0.5f || std::fabs(lines[i + 1].x - x) > 0.5f) continue;
      if (std::max(lines[i].y, lines[i + 1].y) < -20) continue;
      ++extensions;
      EXPECT_NEAR(std::max(lines[i].y, lines[i + 1].y), -10, 1.01f) << x;
      EXPECT_NEAR(std::min(lines[i].y, lines[i + 1].y), -40, 1.01f) << x;
    }
  }
  EXPECT_EQ(extensions, 2);
}

// A roof's downslope arrows: two across the roof from its middle, one on each side, and one
// out along the ridge from each hip end (only the hip's end of a roof hipped at one end),
// each pointing away from the ridge; and the ridge's height read at every plan scale.
TEST_F(AnnotationFixture, RoofArrowsPointDownEachSlopeAndTheRidgeHeightReadsAtThePlanScale) {
  ShowAutoDimensions(doc.ds()) = 0;
  struct Shaft {
    NSPoint tail, head;
  };
  const Shaft across[2] = {{{200, 110}, {200, 190}}, {{200, 90}, {200, 10}}};
  const Shaft atA{{90, 100}, {10, 100}}, atB{{310, 100}, {390, 100}};
  const std::pair<int, std::vector<Shaft>> styles[] = {
      {kRoofHip, {across[0], across[1], atA, atB}},
      {kRoofHipAndGable, {across[0], across[1], atA}},
      {kRoofHipOneEnd, {across[0], across[1], atB}},
      {kRoofGable, {across[0], across[1]}},
  };
  for (const auto& [style, shafts] : styles) {
    SCOPED_TRACE(testing::Message() << "style " << style);
    Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {400, 0}, {400, 200}, {0, 200}});
    roof->width = 6;
    roof->textureID = static_cast<int16_t>(style);
    ctx.clear();
    DrawRoof(nullptr, roof);
    const auto lines = ctx.strokedLinePoints();
    ASSERT_EQ(lines.size(), 6 * shafts.size());  // each arrow a shaft and two barbs
    for (size_t k = 0; k < shafts.size(); ++k) {
      EXPECT_LT(Distance(lines[6 * k], shafts[k].tail), 1.5f) << k;
      EXPECT_LT(Distance(lines[6 * k + 1], shafts[k].head), 1.5f) << k;
    }
  }

  // Half the span 100 at a pitch of 6 in 12: the ridge 50 plan units up.
  ShowAutoDimensions(doc.ds()) = 1;
  for (const float scale : {96.0f, 48.0f, 24.0f, 36.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {400, 0}, {400, 200}, {0, 200}});
    roof->width = 6;
    roof->textureID = kRoofGable;
    ctx.clear();
    DrawRoof(nullptr, roof);
    const auto all = texts();
    EXPECT_EQ(std::count(all.begin(), all.end(), readout(400) + ", RidgeHt=" + readout(50)), 1);
  }
}

// The ruler's ticks stand the finer of the two grid spacings apart (inches, at the plan
// scale), whichever of across and down it is, along a ruler across the plan.
TEST_F(AnnotationFixture, RulerTicksStandTheFinerGridSpacingApartAtEveryPlanScale) {
  doc.model.itsVRVisible = 1;
  doc.model.itsVRStartPt = {0, 50};
  doc.model.itsVREndPt = {288, 50};
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    for (const FloatPoint spacing : {FloatPoint{12, 18}, FloatPoint{18, 12}}) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", grid " << spacing.floatH << " x "
                                      << spacing.floatV);
      doc.ds()->planScale = scale;
      doc.ds()->gridSpacing = spacing;
      const float step = 12 * 72 / scale;
      ctx.clear();
      DrawRulerTickMarks(nullptr);
      const auto lines = ctx.strokedLinePoints();
      const size_t ticks = static_cast<size_t>(std::ceil(288 / step)) - 1;
      ASSERT_EQ(lines.size(), 4 * ticks);
      for (size_t i = 0; i < ticks; ++i) EXPECT_NEAR(lines[4 * i].x, step * (i + 1), 1.01f) << i;
    }
  }
  doc.model.itsVRVisible = 0;
}
