// Elevation to the terrain: the grid lookup inside, beyond and on the edge of the grid, the
// lifting of plane objects by their root, property lines and plan objects.
#include <gtest/gtest.h>

#include <cstdlib>

#include "SceneTestSupport.h"
#include "building3d/TopoElevation.h"
#include "model/TopoGrid.h"

namespace {

struct TopoElevation : SceneTest {
  TopoElevation() {
    doc.ds()->planBounds = FloatRect{0, 0, 100, 100};  // top, left, bottom, right
    doc.ds()->topoGridSpacing = 10;
  }
  ~TopoElevation() override { FreeTopoGrid(); }

  // A grid of rows x columns cells whose node (r, c) holds value(r, c); in use.
  template <typename F>
  void grid(int32_t rows, int32_t columns, F value) {
    auto* g = static_cast<float*>(malloc(sizeof(float) * (rows + 1) * (columns + 1)));
    for (int32_t r = 0; r <= rows; ++r)
      for (int32_t c = 0; c <= columns; ++c) g[r * (columns + 1) + c] = value(r, c);
    AdoptTopoGrid(g, rows, columns);
    snprintf(doc.ds()->topoPath, sizeof doc.ds()->topoPath, "%s", "lot.topo");  // a grid file: in use
  }

  PlaneObject* flat(int16_t partType, std::initializer_list<std::initializer_list<float>> points) {
    PlaneObject* po = CreatePlaneObject();
    po->partType = partType;
    AppendPlane(Vertices(points), static_cast<int32_t>(points.size()), 0, 1, 0, po);
    return po;
  }
};

TEST_F(TopoElevation, InsideACellTheHeightIsBilinear) {
  const float corners[2][2] = {{0, 10}, {20, 30}};
  grid(1, 1, [&](int r, int c) { return corners[r][c]; });
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(5, 5), -15);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(0, 0), 0);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(2.5f, 0), -2.5f);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(0, 5), -10);
}

TEST_F(TopoElevation, ACornerWithoutAValueGivesZeroForItsCell) {
  const float corners[2][2] = {{0, 10}, {-10000, 30}};
  grid(1, 1, [&](int r, int c) { return corners[r][c]; });
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(5, 5), 0);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(9, 1), 0);
}

TEST_F(TopoElevation, ACornerWithoutAValueCountsOnlyWhereItHasWeight) {
  const float corners[2][2] = {{5, -10000}, {20, 30}};
  grid(1, 1, [&](int r, int c) { return corners[r][c]; });
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(0, 0), -5);      // on a node: the node's own value
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(0, 5), -12.5f);  // along the edge away from the empty corner
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(0, 10), -20);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(5, 0), 0);       // along an edge through it
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(5, 5), 0);       // inside the cell

  // An inner node is met in the cell before it, whose first corner is empty here.
  grid(2, 2, [](int r, int c) { return r == 0 && c == 0 ? -10000.0f : static_cast<float>(r * 10 + c); });
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(10, 10), -11);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(10, 5), -6);     // on the inner column line
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(9, 9), 0);       // inside that cell
}

TEST_F(TopoElevation, APointOnAnInnerGridLineBelongsToTheCellBeforeIt) {
  // Node (r, c) holds r * 10 + c, except the far corner, which has no value: only the cells
  // after the inner lines touch it.
  grid(2, 2, [](int r, int c) { return r == 2 && c == 2 ? -10000.0f : static_cast<float>(r * 10 + c); });
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(10, 10), -11);  // the inner node itself
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(10, 15), -16);  // on the inner column line
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(15, 10), -11.5f);  // on the inner row line
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(10.5f, 10.5f), 0);  // past both lines: the voided cell
}

TEST_F(TopoElevation, BeyondOneEdgeTheSecondLineInIsUsed) {
  grid(3, 3, [](int r, int c) { return static_cast<float>(r * 10 + c); });
  // Above the top and below the bottom: rows 1 and 2 at the column holding x.
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(15, -5), -11);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(15, 50), -21);
  // Left and right: columns 1 and 2 of the row holding z.
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(-5, 25), -21);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(50, 25), -22);
  // Beyond two edges: nothing.
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(-5, -5), 0);
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(50, 50), 0);
}

TEST_F(TopoElevation, OnTheLastGridLineTheNearestNodeIsUsed) {
  grid(3, 3, [](int r, int c) { return static_cast<float>(r * 10 + c); });
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(30, 12), -13);  // right edge, nearest row 1
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(18, 30), -32);  // bottom edge, nearest column 2
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(30, 30), -33);
}

TEST_F(TopoElevation, WithoutTopographyInUseEveryLookupIsZero) {
  grid(1, 1, [](int, int) { return 50.0f; });
  doc.ds()->topoPath[0] = 0;
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(5, 5), 0);
  doc.ds()->topoPath[0] = 'l';
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(5, 5), -50);
  doc.ds()->topoGridSpacing = 0;  // an unusable spacing never divides
  EXPECT_FLOAT_EQ(GetTopoElevationAtGridPt(5, 5), 0);
}

TEST_F(TopoElevation, OnTheTerrainWithoutTopographyPathsLieSixUp) {
  Objex* path = doc.addObject(kObjPath, false, {{0, 0}, {50, 0}});
  path->auxFlag = 1;
  PlaneObject* surface = flat(kObjPathSurface, {{0, 0, 0}, {50, 0, 0}, {50, 0, 4}});
  ElevatePlaneObject(surface, path);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(surface->planes->vertices[i].y, -6);
  // Anything else stands at height 0.
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {50, 0}, {50, 50}});
  deck->auxFlag = 1;
  PlaneObject* board = flat(kObjDeck, {{0, -4, 0}, {50, -4, 0}, {50, -4, 4}});
  ElevatePlaneObject(board, deck);
  EXPECT_FLOAT_EQ(board->planes->vertices[0].y, -4);
  DeletePlaneObject(surface);
  DeletePlaneObject(board);
}

TEST_F(TopoElevation, OnTheTerrainAPartStandsOnItsHighestPoint) {
  grid(1, 1, [](int r, int c) { return static_cast<float>(10 * (r + c)); });
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {10, 0}, {10, 10}});
  deck->auxFlag = 1;
  PlaneObject* board = flat(kObjDeck, {{0, -4, 0}, {10, -4, 0}, {10, -4, 10}});
  ElevatePlaneObject(board, deck);
  // Terrain -20 at (10, 10) is the highest point under it.
  EXPECT_FLOAT_EQ(board->planes->vertices[0].y, -24);
  PlaneObject* fill = flat(kObjFill, {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
  ElevatePlaneObject(fill, deck);
  EXPECT_FLOAT_EQ(fill->planes->vertices[1].y, -16);
  EXPECT_FLOAT_EQ(fill->planes->vertices[2].y, -26);
  DeletePlaneObject(board);
  DeletePlaneObject(fill);
}

TEST_F(TopoElevation, OffTheTerrainTheRootDecidesTheLift) {
  // Base elevations are world inches: 2 plan units each at the default plan scale.
  Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  floor->baseElevation = 10;
  PlaneObject* face = flat(kObjFloor, {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
  ElevatePlaneObject(face, floor);
  EXPECT_FLOAT_EQ(face->planes->vertices[0].y, -20);
  DeletePlaneObject(face);

  // A floor in a group of subtype 170 adds its own base elevation to the group's.
  Objex* group = doc.addObject(kObjGroup, false, {});
  group->subtype = 170;
  group->baseElevation = 5;
  Objex* member = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
  member->baseElevation = 3;
  PlaneObject* part = flat(kObjFloor, {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
  part->actual3DObject = member;
  ElevatePlaneObject(part, group);
  EXPECT_FLOAT_EQ(part->planes->vertices[0].y, -16);
  DeletePlaneObject(part);

  // A wall part keeps the elevation its builder gave it; a cap of kind 126 adds the wall's.
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}});
  wall->baseElevation = 4;
  PlaneObject* frame = flat(kObjDoor, {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
  frame->elevation = 12;
  ElevatePlaneObject(frame, wall);
  EXPECT_FLOAT_EQ(frame->planes->vertices[0].y, -24);
  PlaneObject* cap = flat(kObjWallFace, {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
  cap->renderKind = 126;
  cap->elevation = 12;
  ElevatePlaneObject(cap, wall);
  EXPECT_FLOAT_EQ(cap->planes->vertices[0].y, -32);
  DeletePlaneObject(frame);
  DeletePlaneObject(cap);
}

// Off the terrain a root's base elevation, in inches, lifts its parts and its plan points by
// its plan length at every plan scale.
TEST_F(TopoElevation, BaseElevationsLiftByTheirPlanLengthAtEveryScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {10, 0}, {10, 10}});
    floor->baseElevation = 10;
    PlaneObject* face = flat(kObjFloor, {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
    ElevatePlaneObject(face, floor);
    EXPECT_FLOAT_EQ(face->planes->vertices[0].y, -10 * 72 / scale);
    DeletePlaneObject(face);
    Objex* raised = doc.addObject(kObjDeck, true, {{0, 0}, {10, 0}, {10, 10}});
    raised->baseElevation = 3;
    ElevateObject(raised);
    for (Poinz* p = raised->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(p->position[1], -3 * 72 / scale);
  }
}

TEST_F(TopoElevation, PropertyLinesLieThreeAboveTheLot) {
  Objex* line = doc.addObject(kObjPropertyLine, true, {{0, 0}, {50, 0}, {50, 50}});
  PlaneObject* edge = flat(kObjPropertyLine, {{0, 0, 0}, {100, 0, 0}, {100, 0, 40}});
  ElevatePlaneObject(edge, line);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(edge->planes->vertices[i].y, -3);
  DeletePlaneObject(edge);
  // A lot sloping 45 degrees along its first segment (+x): down 1 per unit along it.
  Objex* lot = doc.addObject(kObjEntireLot, true, {{0, 0}, {100, 0}, {100, 100}});
  lot->firstPoint->segmentFloats[0] = 45;
  PlaneObject* sloped = flat(kObjPropertyLine, {{0, 0, 0}, {100, 0, 0}, {100, 0, 40}});
  ElevatePlaneObject(sloped, line);
  EXPECT_NEAR(sloped->planes->vertices[0].y, -3, 1e-3);
  EXPECT_NEAR(sloped->planes->vertices[1].y, 97, 1e-2);
  EXPECT_NEAR(sloped->planes->vertices[2].y, 97, 1e-2);
  DeletePlaneObject(sloped);
}

TEST_F(TopoElevation, PlanObjectsFollowTheSameRules) {
  grid(1, 1, [](int r, int c) { return static_cast<float>(10 * (r + c)); });
  Objex* path = doc.addObject(kObjPath, false, {{0, 0}, {10, 10}});
  path->auxFlag = 1;
  ElevateObject(path);
  EXPECT_FLOAT_EQ(path->firstPoint->position[1], 0);
  EXPECT_FLOAT_EQ(path->firstPoint->next->position[1], -20);
  Objex* box = doc.addObject(kObjDeck, true, {{0, 0}, {10, 0}, {10, 10}});
  box->auxFlag = 1;
  ElevateObject(box);
  for (Poinz* p = box->firstPoint; p; p = p->next) EXPECT_FLOAT_EQ(p->position[1], -20);
  Objex* raised = doc.addObject(kObjDeck, true, {{0, 0}, {10, 0}, {10, 10}});
  raised->baseElevation = 1;
  ElevateObject(raised);
  EXPECT_FLOAT_EQ(raised->firstPoint->position[1], -2);
}

}  // namespace
