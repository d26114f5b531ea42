// Measuring every attached wall dimension of a floor at once (through the grid of the floor's
// wall segments) gives each dimension exactly what measuring it alone against the floor's walls
// gives, and a design read refits its dimensions once, to the same result.
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "AttachedDimSupport.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "files/DesignFile.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/WallFields.h"
#include "tools/AttachedWallDims.h"

namespace {

struct DimState {
  float height;
  std::vector<float> points;
};

std::vector<Objex*> DimsOf(Layer* layer) {
  std::vector<Objex*> dims;
  for (Objex* o = layer->firstObject; o; o = o->next)
    for (Objex* c = o->firstChild; c; c = c->next)
      if (c->subtype == kSubDimensionAttachment) dims.push_back(c);
  return dims;
}

std::vector<DimState> StateOf(const std::vector<Objex*>& dims) {
  std::vector<DimState> states;
  for (Objex* d : dims) {
    DimState s{AttachmentData(d)->height, {}};
    for (Poinz* p = d->firstPoint; p; p = p->next) s.points.insert(s.points.end(), {p->position[0], p->position[2]});
    states.push_back(s);
  }
  return states;
}

void ResetHeights(const std::vector<Objex*>& dims) {
  for (Objex* d : dims) AttachmentData(d)->height = 77;
}

// Each dimension measured alone, then all of the floor at once: the same heights and points,
// bit for bit.
void ExpectFloorMeasuresAsEachAlone(Layer* layer) {
  const std::vector<Objex*> dims = DimsOf(layer);
  ASSERT_GE(dims.size(), 4u);
  ResetHeights(dims);
  for (Objex* d : dims) UpdateAttachedDim(d, d->parent);
  const std::vector<DimState> alone = StateOf(dims);
  ResetHeights(dims);
  UpdateAttachedDimLayer(layer);
  const std::vector<DimState> together = StateOf(dims);
  int measured = 0;
  for (size_t i = 0; i < dims.size(); ++i) {
    EXPECT_EQ(together[i].height, alone[i].height) << "dimension " << i;
    EXPECT_EQ(together[i].points, alone[i].points) << "dimension " << i;
    measured += alone[i].height != 77;
  }
  // The layouts are made so that most dimensions meet a wall.
  EXPECT_GT(measured, static_cast<int>(dims.size()) / 3);
}

struct AttachedDimsGrid : ToolTest {
  std::mt19937 random{7};
  float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random); }
  Objex* wall(std::initializer_list<std::pair<float, float>> pts, bool closed = false, float thickness = 4,
              Layer* floor = nullptr) {
    return AddTestWall(doc, pts, closed, thickness, floor ? floor : doc.first);
  }
  void triangle(float x, float z) { doc.addObject(kObjClosedPoly, true, {{x, z}, {x + 20, z}, {x, z + 20}}); }
};

TEST_F(AttachedDimsGrid, EveryLayoutMeasuresAsEachDimensionAlone) {
  struct Layout {
    std::string name;
    void (*build)(AttachedDimsGrid&);
  };
  const Layout layouts[] = {
      {"rooms in a lattice, dimensions on both sides and from the faces",
       [](AttachedDimsGrid& t) {
         for (int i = 0; i < 60; ++i) {
           const float x = static_cast<float>(i % 8) * 90, z = static_cast<float>(i / 8) * 90;
           Objex* w = t.wall({{x, z}, {x + 60, z}, {x + 60, z + 60}, {x, z + 60}}, i % 3 == 0, 4 + static_cast<float>(i % 4));
           AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i % 5 == 0);
           AddDim(w, w->firstPoint->next, w->firstPoint->next->next, i % 2 == 1, false);
         }
       }},
      {"walls at every angle, some shorter than a unit",
       [](AttachedDimsGrid& t) {
         for (int i = 0; i < 150; ++i) {
           const float x = t.uniform(0, 1500), z = t.uniform(0, 1500), a = t.uniform(0, 6.2832f);
           const float len = i % 17 == 0 ? 0.5f : t.uniform(20, 300);
           Objex* w = t.wall({{x, z}, {x + len * std::cos(a), z + len * std::sin(a)},
                              {x + len * std::cos(a) + 40, z + len * std::sin(a) + 30}});
           if (i % 3 == 0) AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i % 4 == 0);
         }
       }},
      {"long walls across many short ones",
       [](AttachedDimsGrid& t) {
         for (int i = 0; i < 6; ++i) t.wall({{-500, static_cast<float>(i) * 400 - 300}, {3000, static_cast<float>(i) * 350 + 900}});
         for (int i = 0; i < 200; ++i) {
           const float x = static_cast<float>(i % 20) * 120, z = static_cast<float>(i / 20) * 150;
           Objex* w = t.wall({{x, z}, {x + 30, z + 5}});
           AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i % 3 == 0);
         }
       }},
      {"walls lying on one another: the first of equal distances wins",
       [](AttachedDimsGrid& t) {
         for (int i = 0; i < 20; ++i) {
           const float x = static_cast<float>(i) * 200;
           t.wall({{x, 100}, {x + 150, 100}}, false, 4);
           t.wall({{x, 100}, {x + 150, 100}}, false, 10);  // the same line, thicker
           Objex* w = t.wall({{x + 150, 0}, {x, 0}});
           AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, true);
           AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 1, true);
         }
       }},
      {"a long slanted wall met first, a nearer one farther along the ray",
       [](AttachedDimsGrid& t) {
         // Small walls far away make the cells small.
         for (int i = 0; i < 400; ++i) {
           const float x = 5000 + static_cast<float>(i % 20) * 200, z = static_cast<float>(i / 20) * 200 - 2000;
           t.wall({{x, z}, {x + 40, z}});
         }
         for (float side : {1.0f, -1.0f}) {
           t.wall({{-3000, side * 10}, {3000, side * 7990}});  // crosses the rays 4000 to 4500 away
           t.wall({{-50, side * 3700}, {500, side * 3700}});    // nearer, cells later
         }
         for (int i = 0; i < 4; ++i) {
           const float x = static_cast<float>(i) * 110;
           Objex* w = t.wall({{x, 0}, {x + 100, 0}});
           AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i >= 2);
         }
       }},
      {"doors among the dimensions, closed and one-point walls, other objects between",
       [](AttachedDimsGrid& t) {
         for (int i = 0; i < 40; ++i) {
           const float x = static_cast<float>(i % 8) * 100, z = static_cast<float>(i / 8) * 100;
           if (i % 4 == 1) t.triangle(x, z);
           Objex* w = t.wall({{x, z}, {x + 70, z}, {x + 70, z + 70}, {x, z + 70}}, i % 3 == 0);
           Poinz* a = w->firstPoint;
           Poinz* b = a->next;
           // Children of every kind in turn, the dimensions among them.
           if (i % 2 == 0) AddTestDoor(w, a, b, 35, 20);
           AddDim(w, a, b, i % 2 == 0, i % 3 == 1);
           AddTestDoor(w, b, b->next, 30, 16);
           AddDim(w, b, b->next, i % 2 == 1, false);
           if (i % 5 == 0) {  // a one-point wall holding a dimension: no segment of its own
             Objex* lone = t.wall({{x + 35, z + 35}}, i % 2 == 0);
             AddDim(lone, lone->firstPoint, lone->firstPoint, true, false);
           }
         }
       }},
      {"a wall parallel to the rays, far from them, across the point parallel lines are put at",
       [](AttachedDimsGrid& t) {
         // Small walls off the rays make the cells small.
         for (int i = 0; i < 400; ++i) {
           const float x = 27000 + static_cast<float>(i % 20) * 200, z = 5000 + static_cast<float>(i / 20) * 1400;
           t.wall({{x, z}, {x + 10, z}});
         }
         t.wall({{32000, 31000}, {32000, 33000}});
         for (int i = 0; i < 4; ++i) {
           const float x = 25000 + static_cast<float>(i) * 200;
           Objex* w = t.wall({{x - 50, 5000}, {x + 50, 5000}});
           AddDim(w, w->firstPoint, w->firstPoint->next, false, i % 2 == 1);
         }
       }},
      {"dimensions facing nothing",
       [](AttachedDimsGrid& t) {
         for (int i = 0; i < 10; ++i) {
           Objex* w = t.wall({{static_cast<float>(i) * 5000, 0}, {static_cast<float>(i) * 5000 + 100, 0}});
           AddDim(w, w->firstPoint, w->firstPoint->next, true, false);
           AddDim(w, w->firstPoint, w->firstPoint->next, false, false);
         }
         Objex* far = t.wall({{0, 400}, {50000, 400}});  // faces all from one side only
         (void)far;
       }},
  };
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    while (Objex* o = doc.first->firstObject) DeleteObj(o);
    layout.build(*this);
    ExpectFloorMeasuresAsEachAlone(doc.first);
  }
}

// A design read measures its dimensions once, after its walls: as measuring them in the
// design that was written.
TEST_F(AttachedDimsGrid, ADesignReadMeasuresItsDimensionsAgainstAllItsWalls) {
  for (int i = 0; i < 30; ++i) {
    const float x = static_cast<float>(i % 6) * 100, z = static_cast<float>(i / 6) * 100;
    Objex* w = wall({{x, z}, {x + 70, z}, {x + 70, z + 70}});
    AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i % 3 == 0);
  }
  doc.model.itsCurLayer = doc.first;
  UpdateAttachedDimLayer(doc.first);
  const std::vector<DimState> measured = StateOf(DimsOf(doc.first));
  ResetHeights(DimsOf(doc.first));  // the file holds heights the read measures again
  const std::string path = ::testing::TempDir() + "/attached-dims.ckd";
  ASSERT_EQ(KeyFileWrite(path.c_str()), 1);
  ASSERT_EQ(KeyFileRead(path.c_str()), 1);
  std::remove(path.c_str());
  Layer* first = GetLayerFromName("First Floor");
  ASSERT_NE(first, nullptr);
  const std::vector<DimState> read = StateOf(DimsOf(first));
  ASSERT_EQ(read.size(), measured.size());
  for (size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].height, measured[i].height) << "dimension " << i;
    EXPECT_EQ(read[i].points, measured[i].points) << "dimension " << i;
  }
}

// Two floors with walls in the same places but their facing walls at other distances: a
// floor's dimensions measure against that floor's walls whichever floor is current, whether
// the floor is measured whole (through the grid) or one dimension at a time.
TEST_F(AttachedDimsGrid, AFloorsDimensionsMeasureAgainstItsOwnWalls) {
  struct Floor {
    Layer* layer;
    float facing;  // how far the facing walls stand on either side
  };
  const Floor floors[] = {{doc.first, 60}, {doc.second, 25}};
  for (const Floor& f : floors) {
    for (int i = 0; i < 3; ++i) {
      const float x = static_cast<float>(i) * 400;
      Objex* w = wall({{x, 0}, {x + 100, 0}}, false, 4, f.layer);
      wall({{x - 50, f.facing}, {x + 150, f.facing}}, false, 4, f.layer);
      wall({{x + 150, -f.facing}, {x - 50, -f.facing}}, false, 4, f.layer);
      AddDim(w, w->firstPoint, w->firstPoint->next, false, i == 1);
      AddDim(w, w->firstPoint, w->firstPoint->next, true, i == 2);
    }
  }
  // Each floor measured while it is current.
  std::vector<DimState> own[2];
  for (int k = 0; k < 2; ++k) {
    doc.model.itsCurLayer = floors[k].layer;
    ResetHeights(DimsOf(floors[k].layer));
    UpdateAttachedDimLayer(floors[k].layer);
    own[k] = StateOf(DimsOf(floors[k].layer));
    ASSERT_EQ(own[k].size(), 6u);
    for (const DimState& d : own[k]) EXPECT_NE(d.height, 77) << "floor " << k;
  }
  EXPECT_NE(own[0][0].height, own[1][0].height);

  // Each measured while the other is current.
  for (int k = 0; k < 2; ++k) {
    doc.model.itsCurLayer = floors[1 - k].layer;
    const std::vector<Objex*> dims = DimsOf(floors[k].layer);
    ResetHeights(dims);
    UpdateAttachedDimLayer(floors[k].layer);
    const std::vector<DimState> whole = StateOf(dims);
    ResetHeights(dims);
    for (Objex* d : dims) UpdateAttachedDim(d, d->parent);
    const std::vector<DimState> alone = StateOf(dims);
    for (size_t i = 0; i < dims.size(); ++i) {
      EXPECT_EQ(whole[i].height, own[k][i].height) << "floor " << k << " dimension " << i;
      EXPECT_EQ(whole[i].points, own[k][i].points) << "floor " << k << " dimension " << i;
      EXPECT_EQ(alone[i].height, own[k][i].height) << "floor " << k << " dimension " << i;
    }
  }
}

}  // namespace
