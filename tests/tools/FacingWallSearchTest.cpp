// The search of a dimension's ray for the nearest wall it crosses turns most segments away
// without measuring lengths: it must keep every decision of the plain measurement, at the
// limits of each test (a crossing just inside or at a segment's ends, at the ray's reach,
// behind its start, at the same distance as the best so far) and for values far from the
// usual (tiny, huge, not a number). Compared bit for bit with the plain measurement here.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "model/Delete.h"
#include "model/LineGeometry.h"
#include "model/Records.h"
#include "tools/AttachedWallDims.h"

namespace {

float Length(float x1, float z1, float x2, float z2) { return std::hypot(x2 - x1, z2 - z1); }

// Every wall segment of the layer measured plainly, in the floor's order: `to` pulled back onto
// the nearest crossing (the first of equal ones), that wall's thickness answered.
float PlainLimit(FloatPoint* from, FloatPoint* to, Layer* layer) {
  const float mx = from->floatH, mz = from->floatV, fx = to->floatH, fz = to->floatV;
  const float reach = Length(mx, mz, fx, fz);
  if (!(reach > 0)) return 0;
  Objex* winner = nullptr;
  float best = 0, bestX = 0, bestZ = 0;
  for (Objex* wall = layer->firstObject; wall; wall = wall->next) {
    if (wall->type != kObjWall || !wall->firstPoint) continue;
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      Poinz* q = p->next;
      if (!q) {
        if (!wall->closed || p == wall->firstPoint) break;
        q = wall->firstPoint;
      }
      const float px = p->position[0], pz = p->position[2], qx = q->position[0], qz = q->position[2];
      if (std::fabs((fx - mx) * (qz - pz) - (fz - mz) * (qx - px)) < 1e-6f) continue;
      const float segment = Length(px, pz, qx, qz);
      if (segment <= 1) continue;
      float ix = 0, iz = 0;
      GetIntersection(mx, mz, fx, fz, px, pz, qx, qz, &ix, &iz);
      const float fromM = Length(mx, mz, ix, iz);
      if (fromM > reach + 20 || Length(fx, fz, ix, iz) > reach) continue;
      if (winner && fromM >= best) continue;
      if (Length(px, pz, ix, iz) >= segment - 1 || Length(qx, qz, ix, iz) >= segment - 1) continue;
      winner = wall, best = fromM, bestX = ix, bestZ = iz;
    }
  }
  if (!winner || best > reach + 20) return 0;
  const float length = std::max(best, 10.0f);
  float dx = bestX - mx, dz = bestZ - mz;
  const float d = std::hypot(dx, dz);
  if (d > 0) {
    dx /= d;
    dz /= d;
  } else {
    dx = (fx - mx) / reach;
    dz = (fz - mz) / reach;
  }
  float nx = mx + dx * length, nz = mz + dz * length;
  if (std::fabs(nx - mx) <= 1) nx = mx;
  if (std::fabs(nz - mz) <= 1) nz = mz;
  to->floatH = nx;
  to->floatV = nz;
  return winner->width;
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Ray {
  float mx, mz, fx, fz;
};
using Segment = std::vector<std::pair<float, float>>;

class FacingWallSearch : public ToolTest {
 protected:
  void clear() {
    while (Objex* o = doc.first->firstObject) DeleteObj(o);
  }
  // Walls of distinct thickness, so that the winner shows in the answer.
  void walls(const std::vector<Segment>& list) {
    clear();
    float thickness = 2;
    for (const Segment& s : list) {
      Objex* w = doc.addObject(kObjWall, false, {}, doc.first);
      for (auto [x, z] : s)
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, w), w);
      w->width = thickness++;
    }
  }
  void expectAsPlain(const Ray& r, const std::string& what) {
    FloatPoint from{r.mx, r.mz}, to{r.fx, r.fz};
    FloatPoint plainFrom = from, plainTo = to;
    const float found = tools::LimitWallDimension(&from, &to, doc.first, nullptr, nullptr);
    const float plain = PlainLimit(&plainFrom, &plainTo, doc.first);
    EXPECT_TRUE(SameBits(found, plain)) << what << ": thickness " << found << " vs " << plain;
    EXPECT_TRUE(SameBits(to.floatH, plainTo.floatH) && SameBits(to.floatV, plainTo.floatV))
        << what << ": (" << to.floatH << ", " << to.floatV << ") vs (" << plainTo.floatH << ", " << plainTo.floatV
        << ")";
  }
};

// Crossings placed exactly at each limit and one float step either side of it.
TEST_F(FacingWallSearch, EveryLimitDecidesAsThePlainMeasurement) {
  auto steps = [](float v) {
    return std::vector<float>{std::nextafter(v, -INFINITY), v, std::nextafter(v, INFINITY)};
  };
  const Ray east{0, 0, 500, 0};
  // The crossing's distance from a segment end against the segment's length less one.
  for (float a : steps(9.0f))
    for (float b : {1.0f, 0.5f, 3.0f}) {
      walls({{{100, -a}, {100, b}}, {{100, b}, {100, -a}}});
      expectAsPlain(east, "end at " + std::to_string(a) + ", " + std::to_string(b));
    }
  // The crossing at the ray's reach and 20 beyond it.
  for (float x : steps(500.0f))
    for (float more : steps(520.0f)) {
      walls({{{x, -40}, {x, 40}}, {{more, -40}, {more, 40}}});
      expectAsPlain(east, "reach " + std::to_string(x) + " " + std::to_string(more));
    }
  // Behind the start.
  for (float x : steps(0.0f)) {
    walls({{{x, -40}, {x, 40}}, {{-1e-3f, -40}, {-1e-3f, 40}}});
    expectAsPlain(east, "behind " + std::to_string(x));
  }
  // Equal distances: the first in the floor's order wins; a step nearer wins wherever it is.
  for (float x : steps(250.0f)) {
    walls({{{250, -40}, {250, 40}}, {{x, -30}, {x, 30}}, {{250, 40}, {250, -40}}});
    expectAsPlain(east, "tie " + std::to_string(x));
  }
  // A slanted ray, crossings at lengths hypot cannot give exactly.
  const Ray slanted{3, 7, 303, 407};
  for (float t : {0.1f, 0.5f, 0.9f, 1.0f, 1.04f}) {
    const float cx = 3 + 300 * t, cz = 7 + 400 * t;
    for (float half : steps(0.5f)) {
      walls({{{cx - 4 - half, cz + 3}, {cx + 4, cz - 3}}, {{cx - 40, cz + 30}, {cx + 4 + half, cz - 3}}});
      expectAsPlain(slanted, "slanted at " + std::to_string(t));
    }
  }
}

// Many random floors and rays, and values far from the usual.
TEST_F(FacingWallSearch, RandomFloorsAndOddValuesDecideAsThePlainMeasurement) {
  std::mt19937 random(41);
  auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random); };
  for (int round = 0; round < 40; ++round) {
    std::vector<Segment> list;
    for (int i = 0; i < 30; ++i) {
      const float x = uniform(-300, 300), z = uniform(-300, 300), a = uniform(0, 6.2832f);
      const float len = i % 9 == 0 ? uniform(0.2f, 2.5f) : uniform(5, 400);
      list.push_back({{x, z}, {x + len * std::cos(a), z + len * std::sin(a)}, {x + 30, z + 50}});
    }
    walls(list);
    for (int k = 0; k < 25; ++k) {
      const float mx = uniform(-300, 300), mz = uniform(-300, 300), a = uniform(0, 6.2832f);
      const float reach = k % 5 == 0 ? uniform(1, 40) : 32000;
      expectAsPlain({mx, mz, mx + reach * std::cos(a), mz + reach * std::sin(a)}, "round " + std::to_string(round));
    }
  }
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = INFINITY;
  struct Odd {
    const char* name;
    std::vector<Segment> walls;
    Ray ray;
  };
  const Odd odd[] = {
      {"tiny", {{{1e-30f, -1e-30f}, {1e-30f, 3e-30f}}, {{2e-38f, -5e-38f}, {2e-38f, 5e-38f}}}, {0, 0, 1e-29f, 0}},
      {"huge", {{{1e30f, -1e31f}, {1e30f, 1e31f}}, {{3e37f, -1e38f}, {3e37f, 1e38f}}}, {0, 0, 1e38f, 1}},
      {"not a number", {{{nan, -40}, {100, 40}}, {{150, -40}, {150, nan}}, {{200, -40}, {200, 40}}}, {0, 0, 500, 0}},
      {"infinite", {{{inf, -40}, {100, 40}}, {{150, -inf}, {150, 40}}, {{200, -40}, {200, 40}}}, {0, 0, 500, 0}},
      {"parallel lines meet far off",
       {{{31990, 31999}, {32010, 32001}}, {{31000, 0}, {33000, 64000}}},
       {31000, 31000, 32500, 32500}},
  };
  for (const Odd& o : odd) {
    walls(o.walls);
    expectAsPlain(o.ray, o.name);
  }
}

}  // namespace
