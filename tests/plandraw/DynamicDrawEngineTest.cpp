// The rubber-band overlay: path selection, emptiness and bounds, attributes, labels,
// transform elements and the order in which it draws.
#include <gtest/gtest.h>

#include <cstring>

#include "TestDocument.h"
#include "model/PlanarTransforms.h"
#include "plandraw/LineStyles.h"
#include "plandraw/RecordingDrawContext.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

namespace {

using Kind = RecordingDrawContext::Kind;

LOGFONT Font16() {
  LOGFONT f{};
  f.lfHeight = -16;
  f.lfOrientation = 900;
  strcpy(f.lfFaceName, "Arial");
  return f;
}

std::unique_ptr<ZLKDynamicDimElement> Label(const char* text, bool backed) {
  auto label = std::make_unique<ZLKDynamicDimElement>();
  NSRect rect = NSMakeRect(100, 100, 40, 20);
  LOGFONT font = Font16();
  const FloatPoint box[4] = {{95, 95}, {145, 95}, {145, 125}, {95, 125}};
  if (backed) EXPECT_TRUE(label->initDynamicDimElementTextRect(&rect, text, &font, box));
  else EXPECT_TRUE(label->initDynaimcDimElementTextRect(&rect, text, &font));
  return label;
}

}  // namespace

TEST(DynamicDrawEngine, ActivePathSelectionAndOutOfRangeIds) {
  ZLKDynamicDrawEngine engine;
  EXPECT_TRUE(engine.areAllPathsEmpty());
  engine.setActivePath(kPathSecondary);
  engine.appendLineToActivePathWithStartPoint({0, 0}, {10, 5});
  EXPECT_TRUE(engine.isPathEmpty(kPathPrimary));
  EXPECT_FALSE(engine.isPathEmpty(kPathSecondary));
  engine.setActivePath(7);
  EXPECT_EQ(engine.activePathID(), kPathPrimary);
  engine.activePathMoveToPoint({1, 1});
  engine.activePathLineToPoint({2, 3});
  EXPECT_FALSE(engine.isPathEmpty(kPathPrimary));

  EXPECT_TRUE(engine.isPathEmpty(2));
  EXPECT_TRUE(NSEqualRects(engine.boundsForPath(-1), NSZeroRect));
  engine.setDrawMethod(kDrawMethodFill, 5);
  engine.setDrawMethod(3, kPathPrimary);
  EXPECT_EQ(engine.drawMethodForPath(kPathPrimary), kDrawMethodStroke);
  engine.removePointsFromPath(4);
  engine.closePath(9);
  EXPECT_FALSE(engine.isActivePathEmpty());
  engine.removePointsFromPath(kPathSecondary);
  EXPECT_TRUE(engine.isPathEmpty(kPathSecondary));
}

TEST(DynamicDrawEngine, EmptyingKeepsAttributesAndResetRestoresThem) {
  ZLKDynamicDrawEngine engine;
  const float dash[] = {4, 2};
  engine.setActivePathDeviceRed(0, 1, 0, 0.5f);
  engine.setActivePathLineWidth(3);
  engine.setActivePathLineDash(dash, 2, 0);
  engine.setActivePathDrawMethod(kDrawMethodFill);
  engine.appendRectToActivePath(NSMakeRect(0, 0, 10, 10));
  engine.addDynamicDimElement(Label("12'", true));
  engine.addDynamicTransformElement(std::make_unique<ZLKDynamicTransformElement>());

  engine.removePointsFromAllPaths();
  EXPECT_TRUE(engine.areAllPathsEmpty());
  EXPECT_TRUE(engine.dynamicDimArray().empty());
  EXPECT_EQ(engine.activeTransformElement(), nullptr);
  EXPECT_EQ(engine.colorForPath(kPathPrimary), (DrawColor{0, 1, 0, 0.5f}));
  EXPECT_EQ(engine.pathForID(kPathPrimary)->lineWidth(), 3);
  EXPECT_EQ(engine.pathForID(kPathPrimary)->lineDash().size(), 2u);
  EXPECT_EQ(engine.drawMethodForPath(kPathPrimary), kDrawMethodFill);

  engine.setActivePath(kPathSecondary);
  engine.resetAttributesForAllPaths();
  EXPECT_EQ(engine.activePathID(), kPathSecondary);
  for (int16_t id : {kPathPrimary, kPathSecondary}) {
    EXPECT_EQ(engine.colorForPath(id), kDrawRed);
    EXPECT_EQ(engine.pathForID(id)->lineWidth(), 1);
    EXPECT_TRUE(engine.pathForID(id)->lineDash().empty());
    EXPECT_EQ(engine.drawMethodForPath(id), kDrawMethodStroke);
  }
}

TEST(DynamicDrawEngine, BoundsAndEmptinessCountPathsAndLabelsNotTransformElements) {
  ZLKDynamicDrawEngine engine;
  engine.addDynamicTransformElement(std::make_unique<ZLKDynamicTransformElement>());
  engine.activeTransformElement()->appendPathWithLineFromPoint({-500, -500}, {500, 500});
  EXPECT_TRUE(engine.areAllPathsEmpty());
  EXPECT_TRUE(NSEqualRects(engine.boundsForAllPaths(), NSZeroRect));

  // A bare label shows its text: the overlay is not empty, but its bounds add nothing.
  engine.addDynamicDimElement(Label("3.5 m", false));
  EXPECT_FALSE(engine.areAllPathsEmpty());
  EXPECT_TRUE(NSEqualRects(engine.boundsForAllPaths(), NSZeroRect));

  // Two horizontal lines on different rows both count, though each has no height.
  engine.appendLineToActivePathWithStartPoint({10, 20}, {30, 20});
  engine.setActivePath(kPathSecondary);
  engine.appendLineToActivePathWithStartPoint({40, 60}, {50, 60});
  NSRect all = engine.boundsForAllPaths();
  EXPECT_EQ(NSMinX(all), 10);
  EXPECT_EQ(NSMinY(all), 20);
  EXPECT_EQ(NSMaxX(all), 50);
  EXPECT_EQ(NSMaxY(all), 60);

  engine.addDynamicDimElement(Label("4'", true));
  all = engine.boundsForAllPaths();
  EXPECT_EQ(NSMaxX(all), 145);
  EXPECT_EQ(NSMaxY(all), 125);
}

TEST(DynamicDrawEngine, ArcsAndOvalsHaveTightBounds) {
  ZLKDynamicDrawEngine engine;
  engine.appendOvalToActivePathWithBoundingRect(NSMakeRect(10, 20, 40, 30));
  NSRect b = engine.activePathBounds();
  EXPECT_NEAR(NSMinX(b), 10, 1e-3);
  EXPECT_NEAR(NSMinY(b), 20, 1e-3);
  EXPECT_NEAR(NSMaxX(b), 50, 1e-3);
  EXPECT_NEAR(NSMaxY(b), 50, 1e-3);
  engine.removePointsFromPath(kPathPrimary);
  engine.appendActivePathWithArcWithCenter({0, 0}, 10, 0, 90);
  b = engine.activePathBounds();
  EXPECT_NEAR(NSMinX(b), 0, 1e-3);
  EXPECT_NEAR(NSMaxX(b), 10, 1e-3);
  EXPECT_NEAR(NSMaxY(b), 10, 1e-3);
  EXPECT_NEAR(NSMinY(b), 0, 1e-3);
}

TEST(DynamicDrawEngine, LabelsNeedTextFontAndRect) {
  ZLKDynamicDimElement label;
  NSRect rect = NSMakeRect(0, 0, 1, 1);
  LOGFONT font = Font16();
  const FloatPoint box[4] = {};
  EXPECT_FALSE(label.initDynaimcDimElementTextRect(&rect, "", &font));
  EXPECT_FALSE(label.initDynaimcDimElementTextRect(nullptr, "1", &font));
  EXPECT_FALSE(label.initDynaimcDimElementTextRect(&rect, "1", nullptr));
  EXPECT_FALSE(label.initDynamicDimElementTextRect(&rect, "1", &font, nullptr));
  EXPECT_EQ(label.dimensionText(), nullptr);
  EXPECT_TRUE(label.initDynamicDimElementTextRect(&rect, "12' 6\"", &font, box));
  EXPECT_STREQ(label.dimensionText(), "12' 6\"");
  EXPECT_EQ(label.textFontInfo().lfHeight, -16);
  ZLKDynamicDrawEngine engine;
  engine.addDynamicDimElement(nullptr);
  engine.addDynamicTransformElement(nullptr);
  EXPECT_TRUE(engine.dynamicDimArray().empty());
  EXPECT_EQ(engine.activeTransformElement(), nullptr);
}

TEST(DynamicDrawEngine, DrawsPathsThenLabelsThenTransformElements) {
  ZLKDynamicDrawEngine engine;
  RecordingDrawContext ctx;
  const float dash[] = {5, 3};
  engine.setActivePathLineWidth(2);
  engine.setActivePathLineDash(dash, 2, 0);
  engine.appendLineToActivePathWithStartPoint({0, 0}, {10, 0});
  engine.setActivePath(kPathSecondary);
  engine.setActivePathDeviceRed(0, 0, 1, 1);
  engine.setActivePathDrawMethod(kDrawMethodFill);
  engine.appendRectToActivePath(NSMakeRect(0, 0, 5, 5));
  auto element = std::make_unique<ZLKDynamicTransformElement>();
  element->appendPathWithLineFromPoint({1, 1}, {2, 2});
  element->setDrawUsingIndicatorColor(true);
  engine.addDynamicTransformElement(std::move(element));
  engine.addDynamicDimElement(Label("10'", true));

  engine.strokeAllPaths(&ctx);
  ASSERT_EQ(ctx.calls.size(), 5u);
  EXPECT_EQ(ctx.calls[0].kind, Kind::StrokePath);
  EXPECT_EQ(ctx.calls[0].stroke.color, kDrawRed);
  EXPECT_EQ(ctx.calls[0].stroke.width, 2);
  EXPECT_EQ(ctx.calls[0].stroke.dashCount, 2);
  EXPECT_EQ(ctx.calls[1].kind, Kind::FillPath);  // filled, not stroked
  EXPECT_EQ(ctx.calls[1].fill.color, (DrawColor{0, 0, 1, 1}));
  EXPECT_EQ(ctx.calls[2].kind, Kind::FillPath);  // the label's white box under red text
  EXPECT_EQ(ctx.calls[2].fill.color, kDrawWhite);
  EXPECT_EQ(ctx.calls[3].kind, Kind::Text);
  EXPECT_EQ(ctx.calls[3].text.text, "10'");
  EXPECT_EQ(ctx.calls[3].text.color, kDrawRed);
  EXPECT_EQ(ctx.calls[3].text.angleDegrees, 90);
  EXPECT_EQ(ctx.calls[3].text.font.pointSize, 16);
  EXPECT_EQ(ctx.calls[3].text.font.family, "Arial");
  EXPECT_EQ(ctx.calls[3].text.anchor.x, 120);
  EXPECT_EQ(ctx.calls[3].text.anchor.y, 110);
  EXPECT_EQ(ctx.calls[4].kind, Kind::StrokePath);
  EXPECT_EQ(ctx.calls[4].stroke.color, ctx.focusIndicatorColor());

  // Drawing changes nothing: the same overlay draws again.
  ctx.clear();
  engine.strokeAllPaths(&ctx);
  EXPECT_EQ(ctx.calls.size(), 5u);
}

TEST(DynamicDrawEngine, TransformElementTakesTheLineStyleOfItsObject) {
  TestDocument doc;
  doc.ds()->zoomFactor = 2;
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {10, 0}});
  wall->width = 6;  // world units
  ZLKDynamicTransformElement w;
  w.setLineStyleForObject(wall);
  const float expected = static_cast<float>(
      ZoomL(static_cast<int32_t>(ConvertWorldToScreen(6, doc.ds(), 0) + 0.5f)));
  EXPECT_EQ(w.path().lineWidth(), expected);
  // At other plan scales 6 inches is 18, 9 and 4.5 (made 5) plan units, doubled by the zoom.
  const float savedScale = doc.ds()->planScale;
  for (const auto& [scale, width] : {std::pair{24.0f, 36.0f}, std::pair{48.0f, 18.0f}, std::pair{96.0f, 10.0f}}) {
    doc.ds()->planScale = scale;
    ZLKDynamicTransformElement e;
    e.setLineStyleForObject(wall);
    EXPECT_EQ(e.path().lineWidth(), width) << scale;
  }
  doc.ds()->planScale = savedScale;

  Objex* detail = doc.addObject(kObjDetail, false, {{0, 0}, {10, 0}});
  detail->subtype = kSubDetailLine;
  detail->width = 2;
  detail->penStyle = kPenShortDashPair;
  ZLKDynamicTransformElement d;
  d.setLineStyleForObject(detail);
  EXPECT_EQ(d.path().lineWidth(), 4);
  ASSERT_EQ(d.path().lineDash().size(), 4u);
  EXPECT_FLOAT_EQ(d.path().lineDash()[1], 18);  // 6 x 1.5 gap widening x 2 zoom

  // An unknown style stays solid rather than taking the last dash loaded.
  detail->penStyle = 0;
  ZLKDynamicTransformElement solid;
  solid.setLineStyleForObject(detail);
  EXPECT_TRUE(solid.path().lineDash().empty());

  Objex* other = doc.addObject(kObjFence, false, {{0, 0}, {10, 0}});
  ZLKDynamicTransformElement f;
  f.setLineStyleForObject(other);
  EXPECT_EQ(f.path().lineWidth(), 1);
  EXPECT_TRUE(f.path().lineDash().empty());
}
