// The click-by-click outline entry driven by scripted events: corners, closing on the first
// point, double clicks, Escape, Tab, and the floor and deck cut-out tools built on it.
#include <cmath>
#include <cstddef>
#include <vector>

#include "OutlineTools.h"
#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "tools/ObjectSnaps.h"
#include "tools/PolygonEntry.h"
#include "tools/Constraints.h"
#include "model/Delete.h"
#include "model/PlanarTransforms.h"
#include "platform/Alerts.h"

namespace {

// The plan at zoom 1 without grid snapping: window points are plan points.
struct PolygonEntry : ToolTest {
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    doc.first->height = 96;
    doc.second->height = 96;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  // One click of the tool at (x, z): press and release there; the corner loop then reads
  // `events`.
  void click(uint16_t tool, int32_t x, int32_t z) {
    gCurTool = tool;
    drag({{x, z}});
  }
  static void corner(ScriptedModalEvents& e, int32_t x, int32_t z, int clicks = 1) {
    e.move(x, z).down(x, z, 0, clicks);
  }
  Objex* only() {
    EXPECT_EQ(CountObjects(doc.first), 1);
    return doc.first->firstObject;
  }
  static int PointCount(const Objex* o) {
    int n = 0;
    for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
    return n;
  }
};

TEST_F(PolygonEntry, FloorOfFourCornersClosedBesideTheFirst) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  corner(e, 100, 100);
  corner(e, 0, 100);
  corner(e, 3, 0);  // beside the first point: closes without a corner
  gSnapLocked = 0;
  click(kToolFloor, 0, 0);
  Objex* f = only();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->type, kObjFloor);
  EXPECT_EQ(f->closed, 1);
  EXPECT_EQ(f->planMask, 2);
  EXPECT_EQ(f->textureID1, 1700);
  EXPECT_EQ(f->textureID, 0);
  EXPECT_EQ(f->pointCount, 4);
  EXPECT_EQ(f->fillColor.red, 65535);
  EXPECT_EQ(f->extraLong & 1, 1);
  const float expected[4][2] = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
  int i = 0;
  for (const Poinz* p = f->firstPoint; p; p = p->next, ++i) {
    ASSERT_LT(i, 4);
    EXPECT_FLOAT_EQ(p->position[0], expected[i][0]);
    EXPECT_FLOAT_EQ(p->position[2], expected[i][1]);
    EXPECT_NEAR(p->position[1], -1.0f, 1e-3);  // one unit below the clicks
    EXPECT_EQ(p->textureID[0], 1700);
    EXPECT_EQ(p->textureID[1], 1700);
    EXPECT_EQ(p->textureScale[0].x, 100);
  }
  EXPECT_EQ(gSnapLocked, 0);
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_EQ(gTrackingPoly, 0);
  EXPECT_EQ(gTrackingMouse, 0);
  EXPECT_FLOAT_EQ(gPerpFromLoc.floatH, kPerpFromNone);
  EXPECT_FALSE(e.acceptsMouseMovedEvents());  // mouse moves are off again
}

TEST_F(PolygonEntry, FloorCutoutIsACutoutOfTheFloorPlan) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  corner(e, 100, 100);
  corner(e, 2, 2);
  click(kToolFloorCutout, 0, 0);
  Objex* f = only();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->type, kObjCutout);
  EXPECT_EQ(f->subtype, 0);
  EXPECT_EQ(f->planMask, 2);
  EXPECT_EQ(f->pointCount, 3);
}

TEST_F(PolygonEntry, DoubleClickAddsItsPositionOnceAndEnds) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  corner(e, 100, 100);
  e.move(0, 100).down(0, 100, 0, 1).down(0, 100, 0, 2);
  e.move(50, 50).down(50, 50);  // after the end: never read
  click(kToolFloor, 0, 0);
  Objex* f = only();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(PointCount(f), 4);
  EXPECT_EQ(f->closed, 1);
  EXPECT_GT(e.pending(), 0u);
}

TEST_F(PolygonEntry, TwoClicksAtOnePlaceAddOneCornerAndAClickOnTheFirstPixelCloses) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  corner(e, 100, 0);    // the same corner again: nothing
  corner(e, 100, 100);
  corner(e, 0, 100);
  e.down(0, 0);         // the window point of the first press: closes without a corner
  corner(e, 50, 50);    // after the end: never read
  click(kToolFloor, 0, 0);
  Objex* f = only();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(PointCount(f), 4);
  EXPECT_EQ(f->closed, 1);
  EXPECT_EQ(e.pending(), 2u);
}

TEST_F(PolygonEntry, ControlClickEndsAnOutlineOfSeveralCornersWithoutAddingOne) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  corner(e, 100, 100);
  corner(e, 0, 100);
  e.move(50, 150).down(50, 150, kModalControlKey);
  click(kToolFloor, 0, 0);
  Objex* f = only();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(PointCount(f), 4);
}

TEST_F(PolygonEntry, EndingWithOnlyTheFirstPoint) {
  {
    // The events run out with only the first point: nothing made, the snap lock back.
    ScriptedModalEvents e;
    e.move(50, 50);
    gSnapLocked = 0;
    click(kToolFloor, 0, 0);
    EXPECT_EQ(CountObjects(doc.first), 0);
    EXPECT_EQ(gSnapLocked, 0);
    EXPECT_EQ(gMouseCaptured, 0);
  }
  {
    // A double click with one point counts as a corner, then Escape ends a line of two,
    // which a floor drops (fewer than three corners enclose nothing).
    ScriptedModalEvents e;
    e.move(60, 0).down(60, 0, 0, 2).key(kModalKeyEscape);
    gSnapLocked = 1;
    click(kToolFloor, 0, 0);
    EXPECT_EQ(CountObjects(doc.first), 0);
    EXPECT_EQ(e.pending(), 0u);
    EXPECT_EQ(gSnapLocked, 1);
  }
  {
    // The window closes during the entry.
    ScriptedModalEvents e;
    e.move(60, 0).closeWindow();
    click(kToolDeckCutout, 0, 0);
    EXPECT_EQ(CountObjects(doc.first), 0);
  }
}

TEST_F(PolygonEntry, EscapeWithOnlyTheFirstPointCountsAsAClick) {
  // With the pointer still on the first point it adds nothing; moved away, it places the
  // pointer's corner; either way the entry goes on, and Escape ends it once there are two.
  ScriptedModalEvents e;
  e.key(kModalKeyEscape);
  e.move(100, 0).key(kModalKeyEscape);
  corner(e, 100, 100);
  e.key(kModalKeyEscape);
  corner(e, 0, 100);  // after the end: never read
  gSnapLocked = 0;
  click(kToolFloor, 0, 0);
  Objex* f = only();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(PointCount(f), 3);
  EXPECT_FLOAT_EQ(f->firstPoint->next->position[0], 100.0f);
  EXPECT_FLOAT_EQ(f->firstPoint->next->position[2], 0.0f);
  EXPECT_EQ(e.pending(), 2u);
  EXPECT_EQ(gMouseCaptured, 0);
  EXPECT_EQ(gTrackingPoly, 0);
  EXPECT_EQ(gSnapLocked, 0);
  EXPECT_FALSE(e.acceptsMouseMovedEvents());
  EXPECT_TRUE(overlay.isPathEmpty(kPathPrimary));
}

TEST_F(PolygonEntry, DeckCutoutRecord) {
  doc.ds()->deckHeight = 24;
  ScriptedModalEvents e;
  corner(e, 100, 0);
  corner(e, 100, 100);
  e.key(kModalKeyEscape);
  click(kToolDeckCutout, 0, 0);
  Objex* c = only();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->type, kObjCutout);
  EXPECT_EQ(c->subtype, kSubDeckCutout);
  EXPECT_EQ(c->planMask, 64);
  EXPECT_EQ(c->textureID1, 1301);
  EXPECT_FLOAT_EQ(c->params[2], 23.0f);
  EXPECT_EQ(c->firstPoint->textureID[1], 1301);
  EXPECT_EQ(c->closed, 1);
}

TEST_F(PolygonEntry, OpenEntryClickedOnItsFirstPointAddsTheCornerAndStaysOpen) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  corner(e, 100, 100);
  corner(e, 2, 1);
  gCurTool = kToolNoAction;
  gMouseCaptured = 1;
  gDownX = gDownY = gDownZ = 0;
  gStartMouse = POINT{0, 0};
  TrackGnrlPoly(0, 0, 0, 0, 0, kTrackBegin, 0, 0, 1, 9);
  EXPECT_EQ(gSnapLocked, 1);  // locked for the first drag
  Objex* o = TrackGnrlPoly(0, 0, 0, 0, 0, kTrackEnd, 0, 0, 1, 9);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->type, kObjOpenPoly);
  EXPECT_EQ(o->closed, 0);
  EXPECT_EQ(PointCount(o), 4);
  EXPECT_FLOAT_EQ(o->firstPoint->position[1], 0);  // only floors are lowered
}

TEST_F(PolygonEntry, TabSwitchesTheSnapToolForTheFollowingCorners) {
  {
    // With the snap lock on, the tool chosen with Tab stays after the entry.
    ScriptedModalEvents e;
    corner(e, 100, 0);
    e.key(kModalKeyTab);
    corner(e, 100, 100);
    corner(e, 0, 100);
    e.key(kModalKeyEscape);
    gCurSnap = 500;
    gSnapLocked = 1;
    click(kToolFloor, 0, 0);
    ASSERT_NE(only(), nullptr);
    EXPECT_NE(gCurSnap, 500);
    EXPECT_EQ(gSnapLocked, 1);
  }
  {
    // Without it, the end of the entry puts the default snap tool back.
    ScriptedModalEvents e;
    corner(e, 100, 0);
    e.key(kModalKeyTab);
    corner(e, 100, 100);
    e.key(kModalKeyEscape);
    gCurSnap = 500;
    gSnapLocked = 0;
    click(kToolFloor, 0, 0);
    EXPECT_EQ(gCurSnap, 500);
    EXPECT_EQ(gSnapLocked, 0);
  }
}

TEST_F(PolygonEntry, RubberBandFollowsTheMouseFromTheLastCorner) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  e.move(150, 40);
  gCurTool = kToolFloor;
  drag({{0, 0}});  // the queue runs out during the entry: the outline of two is dropped
  EXPECT_EQ(CountObjects(doc.first), 0);
  EXPECT_EQ(PendingTrackingRoutine(kToolFloor), nullptr);
  EXPECT_EQ(PendingTrackingRoutine(kToolFloorCutout), nullptr);
  EXPECT_EQ(PendingTrackingRoutine(kToolDeckCutout), nullptr);
}

}  // namespace

namespace {

// Records the bounds of the overlay's primary path each time the corner loop asks for an
// event, that is after it drew the rubber line for the event before.
class RecordingEvents : public ScriptedModalEvents {
 public:
  explicit RecordingEvents(const ZLKDynamicDrawEngine* overlay) : overlay_(overlay) {}
  bool nextEvent(uint32_t mask, ModalEvent* event) override {
    if (!overlay_->isPathEmpty(kPathPrimary)) seen.push_back(overlay_->boundsForPath(kPathPrimary));
    return ScriptedModalEvents::nextEvent(mask, event);
  }
  std::vector<NSRect> seen;

 private:
  const ZLKDynamicDrawEngine* overlay_;
};

TEST_F(PolygonEntry, TheRubberLineEndsAtThePointerAtEveryZoom) {
  for (const uint16_t tool : {kToolFloor, kToolDeckWithRailing})
    for (const float zoom : {0.5f, 1.0f, 2.0f}) {
      doc.ds()->zoomFactor = zoom;
      RecordingEvents e(&overlay);
      e.move(300, 40).key(kModalKeyEscape);
      gCurTool = tool;
      drag({{100, 40}});
      ASSERT_FALSE(e.seen.empty()) << tool << " " << zoom;
      const NSRect line = e.seen.back();
      // From the first click to the pointer, in window points.
      EXPECT_NEAR(line.origin.x, 100, 2) << tool << " " << zoom;
      EXPECT_NEAR(line.origin.x + line.size.width, 300, 2) << tool << " " << zoom;
      EXPECT_NEAR(line.origin.y, 40, 2) << tool << " " << zoom;
    }
}

// With grid snapping on, each click-by-click tool (decks too) starts at the grid node nearest
// the press and ends its rubber line on the grid node nearest the pointer, a pixel short of a
// grid line taking that line, at every zoom.
TEST_F(PolygonEntry, WithTheGridTheRubberLineRunsBetweenTheNearestGridNodes) {
  doc.ds()->snapToGrid = 1;
  doc.ds()->gridSpacing = {6, 6};
  const float g = ConvertWorldToScreen(6, doc.ds(), 0);  // plan units
  ASSERT_GT(g, 4);
  for (const uint16_t tool : {kToolFloor, kToolGroundFillRegion, kToolDeckWithRailing, kToolDeckWithoutRailing})
    for (const float zoom : {0.5f, 1.0f, 2.0f}) {
      doc.ds()->zoomFactor = zoom;
      // In window points: a pixel before the grid lines 4 and 12 across, 3 down.
      auto window = [&](float lines) { return static_cast<int32_t>(std::lround(lines * g * zoom)) - 1; };
      RecordingEvents e(&overlay);
      e.move(window(12), window(3)).key(kModalKeyEscape);
      gCurTool = tool;
      drag({{window(4), window(3)}});
      ASSERT_FALSE(e.seen.empty()) << tool << " " << zoom;
      const NSRect line = e.seen.back();
      EXPECT_NEAR(line.origin.x, 4 * g * zoom, 1.5) << tool << " " << zoom;
      EXPECT_NEAR(line.origin.x + line.size.width, 12 * g * zoom, 1.5) << tool << " " << zoom;
      EXPECT_NEAR(line.origin.y, 3 * g * zoom, 1.5) << tool << " " << zoom;
    }
}

// With grid snapping on, a rectangle clicked corner by corner about half a cell off its grid
// nodes (before and after them in turn) has each corner on its nearest node: the later corners
// as the first, not stepped in angle and length from the corner before. The grid spaced
// differently across and down, in both unit systems, at every plan scale, on floors of two
// heights, for the floor, ground fill, deck, freehand roof and polygon tools.
TEST_F(PolygonEntry, WithTheGridEveryCornerGoesToItsNearestNode) {
  struct System {
    bool metric;
    FloatPoint spacing;  // world units, across and down
    float zooms[4];      // the plan scales' zooms
  };
  const System systems[] = {{false, {24, 18}, {0.375f, 0.75f, 1, 1.5f}},
                            {true, {50 / 2.54f, 30 / 2.54f}, {0.36f, 0.72f, 1.8f, 3.6f}}};
  const uint16_t tools[] = {kToolFloor, kToolGroundFillRegion, kToolDeckWithoutRailing, kToolFreehandRoof,
                            kToolPolygon};
  // The rectangle's nodes, in cells, and how far off each corner is clicked.
  const float nodes[4][2] = {{2, 1}, {9, 1}, {9, 6}, {2, 6}};
  const float off[4][2] = {{0.45f, -0.4f}, {-0.42f, 0.44f}, {0.4f, 0.45f}, {-0.45f, -0.42f}};
  for (const System& sys : systems)
    for (int scale = 0; scale < 4; ++scale)
      for (const float floorHeight : {96.0f, 118.0f})
        for (const uint16_t tool : tools) {
          SCOPED_TRACE(::testing::Message() << (sys.metric ? "metric" : "imperial") << " scale " << scale + 8
                                            << " floor " << floorHeight << " tool " << tool);
          DeleteLayerObjects(doc.first);
          doc.ds()->measureSystem = sys.metric ? kMeasureMetric : kMeasureImperial;
          doc.ds()->planScaleChoice = static_cast<int16_t>(scale + 8);
          doc.ds()->snapToGrid = 1;
          doc.ds()->gridSpacing = sys.spacing;
          doc.first->height = floorHeight;
          const float zoom = sys.zooms[scale];
          doc.ds()->zoomFactor = zoom;
          const float gx = ConvertWorldToScreen(sys.spacing.floatH, doc.ds(), 0);
          const float gz = ConvertWorldToScreen(sys.spacing.floatV, doc.ds(), 0);
          ASSERT_GT(gx * zoom, 3);
          auto window = [&](int i) {
            return POINT{static_cast<int32_t>(std::lround((nodes[i][0] + off[i][0]) * gx * zoom)),
                         static_cast<int32_t>(std::lround((nodes[i][1] + off[i][1]) * gz * zoom))};
          };
          ScriptedModalEvents e;
          for (int i = 1; i < 4; ++i) corner(e, window(i).x, window(i).y);
          e.key(kModalKeyEscape);
          gSnapLocked = 0;
          click(tool, window(0).x, window(0).y);
          Objex* o = only();
          ASSERT_NE(o, nullptr);
          ASSERT_EQ(PointCount(o), 4);
          int i = 0;
          for (const Poinz* p = o->firstPoint; p; p = p->next, ++i) {
            // The tools keep the corners in the order clicked or turn the outline round.
            bool onANode = false;
            for (const auto& n : nodes)
              onANode = onANode || (std::fabs(p->position[0] - n[0] * gx) < 1e-3f &&
                                    std::fabs(p->position[2] - n[1] * gz) < 1e-3f);
            EXPECT_TRUE(onANode) << "corner " << i << " at " << p->position[0] / gx << ", "
                                 << p->position[2] / gz << " cells";
          }
          // Four different nodes: the rectangle, not a skewed quadrilateral.
          float area = 0;
          for (const Poinz* p = o->firstPoint; p; p = p->next) {
            const Poinz* q = p->next ? p->next : o->firstPoint;
            area += p->position[0] * q->position[2] - q->position[0] * p->position[2];
          }
          EXPECT_NEAR(std::fabs(area) / 2, 7 * gx * 5 * gz, 1e-2f * gx * gz);
        }
}

}  // namespace

namespace {

constexpr Ending kEndings[] = {Ending::kDoubleClick, Ending::kRightClick, Ending::kEscape,
                               Ending::kFirstPixel,  Ending::kBesideFirst, Ending::kToolChosen};

// A plan scale and the zoom it shows the plan at.
struct Scale {
  int16_t choice;
  float zoom;
};

// The outline tools driven through the tracking stages with a scripted corner loop. Each
// script ends with events that a loop still running would read (a corner far off and Escape):
// an entry that did not end shows them, and the script running out ends any loop.
struct OutlineEndings : ToolTest {
  ScopedAlertRecorder alerts;
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->snapToGrid = 0;
    doc.first->height = 96;
    doc.second->height = 108;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  void TearDown() override {
    doc.model.itsCurLayer = doc.first;
    ToolTest::TearDown();
  }
  void use(Scale scale, Layer* floor) {
    doc.ds()->planScaleChoice = scale.choice;
    doc.ds()->zoomFactor = scale.zoom;
    doc.model.itsCurLayer = floor;
    DeleteLayerObjects(doc.first);
    DeleteLayerObjects(doc.second);
    alerts.shown.clear();
  }
  static constexpr int kAfterEnd = 3;
  static void AfterTheEnd(ScriptedModalEvents& e) { e.move(330, 300).down(330, 300).key(kModalKeyEscape); }
  // The first press and release of `tool` at the window point `first`; the loop then reads `e`.
  void enter(uint16_t tool, POINT first) {
    gCurTool = tool;
    gSnapLocked = 0;
    drag({first});
  }
  // What the tool left on the current floor: its one object, or null.
  Objex* made() const {
    Layer* floor = doc.model.itsCurLayer;
    EXPECT_LE(CountObjects(floor), 1);
    return CountObjects(floor) == 1 ? floor->firstObject : nullptr;
  }
  static std::vector<FloatPoint> Corners(const Objex* o) {
    std::vector<FloatPoint> corners;
    for (const Poinz* p = o->firstPoint; p; p = p->next) corners.push_back({p->position[0], p->position[2]});
    return corners;
  }
  void expectLoopDone(const ScriptedModalEvents& e) const {
    EXPECT_EQ(gTrackingPoly, 0);
    EXPECT_EQ(gTrackingMouse, 0);
    EXPECT_EQ(gMouseCaptured, 0);
    EXPECT_FALSE(e.acceptsMouseMovedEvents());
    EXPECT_TRUE(overlay.isPathEmpty(kPathPrimary));
    EXPECT_TRUE(overlay.isPathEmpty(kPathSecondary));
  }
};

// Four corners entered, then each ending: the corners entered are the outline, closed or open
// as the tool makes it; a click on the first point (on its very pixel or beside it) closes a
// closed outline without a corner and adds the first point again to an open one. Every tool,
// each ending, at two plan scales, on two floors for the clicks on the first point.
TEST_F(OutlineEndings, EveryOutlineToolEndsOnEachEndingWithTheCornersEntered) {
  const Scale scales[] = {{8, 0.375f}, {11, 1.5f}};
  const POINT a{20, 20}, b{220, 20}, c{220, 160}, d{20, 160};
  for (const Scale scale : scales)
    for (Layer* floor : {doc.first, doc.second})
      for (const Ending ending : kEndings) {
        const bool onFirst = ending == Ending::kFirstPixel || ending == Ending::kBesideFirst;
        if (floor == doc.second && !onFirst && scale.choice != 8) continue;
        for (const OutlineTool& t : kOutlineTools) {
          SCOPED_TRACE(::testing::Message() << "tool " << t.tool << ", " << EndingName(ending) << ", zoom "
                                            << scale.zoom << (floor == doc.second ? ", second floor" : ""));
          use(scale, floor);
          ScriptedModalEvents e;
          for (POINT p : {b, c, d}) e.move(p.x, p.y).down(p.x, p.y);
          switch (ending) {
            case Ending::kDoubleClick: e.down(d.x, d.y, 0, 2); break;
            case Ending::kRightClick: e.move(120, 90).down(120, 90, kModalControlKey); break;
            case Ending::kEscape: e.move(120, 90).key(kModalKeyEscape); break;
            case Ending::kFirstPixel: e.move(a.x, a.y).down(a.x, a.y); break;
            case Ending::kBesideFirst: e.move(a.x + 3, a.y - 2).down(a.x + 3, a.y - 2); break;
            case Ending::kToolChosen: {
              ModalEvent chosen;
              chosen.type = kModalToolChanged;
              e.push(chosen);
              break;
            }
          }
          AfterTheEnd(e);
          enter(t.tool, a);
          EXPECT_EQ(e.pending(), static_cast<size_t>(kAfterEnd)) << "the entry did not end";
          expectLoopDone(e);
          Objex* o = made();
          ASSERT_NE(o, nullptr);
          EXPECT_EQ(o->type, t.type);
          EXPECT_EQ(o->closed, t.closed ? 1 : 0);
          const std::vector<FloatPoint> corners = Corners(o);
          std::vector<POINT> clicked{a, b, c, d};
          if (onFirst && !t.closed) clicked.push_back(ending == Ending::kFirstPixel ? a : POINT{a.x + 3, a.y - 2});
          ASSERT_EQ(corners.size(), clicked.size());
          // The foundation's wall runs beside the clicked perimeter.
          if (t.tool == kToolFoundationPerimeter) continue;
          for (size_t i = 0; i < clicked.size(); ++i) {
            EXPECT_NEAR(corners[i].floatH, clicked[i].x / scale.zoom, 1e-2f) << "corner " << i;
            EXPECT_NEAR(corners[i].floatV, clicked[i].y / scale.zoom, 1e-2f) << "corner " << i;
          }
        }
      }
}

// With only the first corner placed, a double click, a right click or Escape does not end the
// entry: it counts as a click. Escape with the pointer still on the first corner and a double
// click on it add nothing; Escape with the pointer moved and a right click away from the first
// corner add their corner. The entry goes on: a further click and a right click end it with
// every corner entered. A right click beside the first corner closes the outline as a click
// there does: nothing is made of a closed one, an open one keeps the two corners.
TEST_F(OutlineEndings, WithOnlyTheFirstCornerEachEndingCountsAsAClick) {
  const Scale scales[] = {{8, 0.375f}, {11, 1.5f}};
  const POINT a{20, 20}, b{220, 20}, c{220, 160}, beside{a.x + 3, a.y - 2};
  enum class Case { kEscapeStill, kEscapeMoved, kDoubleClickOnFirst, kRightClick, kRightBeside };
  const char* const names[] = {"Escape, pointer still", "Escape, pointer moved", "double click on the first",
                               "right click away", "right click beside the first"};
  for (const Scale scale : scales)
    for (const Case which :
         {Case::kEscapeStill, Case::kEscapeMoved, Case::kDoubleClickOnFirst, Case::kRightClick, Case::kRightBeside})
      for (const OutlineTool& t : kOutlineTools) {
        SCOPED_TRACE(::testing::Message() << "tool " << t.tool << ", " << names[static_cast<int>(which)] << ", zoom "
                                          << scale.zoom);
        use(scale, scale.choice == 8 ? doc.second : doc.first);
        ScriptedModalEvents e;
        std::vector<POINT> entered{a};
        switch (which) {
          case Case::kEscapeStill: e.key(kModalKeyEscape); break;
          case Case::kEscapeMoved:
            e.move(b.x, b.y).key(kModalKeyEscape);
            entered.push_back(b);
            break;
          case Case::kDoubleClickOnFirst: e.move(a.x, a.y).down(a.x, a.y).down(a.x, a.y, 0, 2); break;
          case Case::kRightClick:
            e.move(b.x, b.y).down(b.x, b.y, kModalControlKey);
            entered.push_back(b);
            break;
          case Case::kRightBeside: e.move(beside.x, beside.y).down(beside.x, beside.y, kModalControlKey); break;
        }
        if (which != Case::kRightBeside) {
          if (entered.size() == 1) {
            e.move(b.x, b.y).down(b.x, b.y);
            entered.push_back(b);
          }
          e.move(c.x, c.y).down(c.x, c.y);
          entered.push_back(c);
          e.move(120, 90).down(120, 90, kModalControlKey);
        }
        AfterTheEnd(e);
        enter(t.tool, a);
        EXPECT_EQ(e.pending(), static_cast<size_t>(kAfterEnd)) << "the entry did not end where it should";
        expectLoopDone(e);
        Objex* o = made();
        if (which == Case::kRightBeside) {
          if (t.closed) {
            EXPECT_EQ(o, nullptr);
            continue;
          }
          entered.push_back(beside);
        }
        ASSERT_NE(o, nullptr);
        EXPECT_TRUE(alerts.shown.empty());
        EXPECT_EQ(o->type, t.type);
        EXPECT_EQ(o->closed, t.closed ? 1 : 0);
        const std::vector<FloatPoint> corners = Corners(o);
        ASSERT_EQ(corners.size(), entered.size());
        if (t.tool == kToolFoundationPerimeter) continue;  // its wall runs beside the perimeter
        for (size_t i = 0; i < entered.size(); ++i) {
          EXPECT_NEAR(corners[i].floatH, entered[i].x / scale.zoom, 1e-2f) << "corner " << i;
          EXPECT_NEAR(corners[i].floatV, entered[i].y / scale.zoom, 1e-2f) << "corner " << i;
        }
      }
}

}  // namespace
