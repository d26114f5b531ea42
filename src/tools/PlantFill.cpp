// Planting along an object's outline and over its area.
#include "tools/PlantFill.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "building3d/Plants3D.h"
#include "building3d/Triangulation.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/PlanarPolygons.h"
#include "model/PlanarTransforms.h"
#include "model/PlaneObjectRecords.h"
#include "model/Records.h"
#include "model/SymEntryInfo.h"
#include "model/TransformInfo.h"
#include "platform/KeyWatch.h"

uint8_t gFillArea = 1;
uint8_t gFillPerimeter = 1;
float gPlantSpacing = 60.0f;

namespace {

// Two plants closer than this on the outline stand on one another: the second is left out.
constexpr float kSamePlantDistance = 0.01f;
// The keyboard is looked at after this many steps of the area walk.
constexpr int64_t kStepsBetweenKeyPolls = 1 << 14;

struct Planter {
  ZLKDocumentModel* doc;
  Layer* layer;
  const SymEntryInfo* entry;
  Objex* last = nullptr;  // the plant planted last (selected)
  int32_t count = 0;

  // Cells and sides looked at so far, and why the fill stopped early, if it did.
  int64_t steps = 0;
  PlantFillStop stop = PlantFillStop::kNone;

  bool full() const { return count >= kMostPlantsPerFill; }
  bool stopped() const { return stop != PlantFillStop::kNone; }
  // Counts work; now and then the keyboard is looked at (Escape stops the fill, as it stops a
  // render), and past the limit the fill stops.
  void work(size_t amount) {
    const int64_t before = steps;
    steps += static_cast<int64_t>(amount) + 1;
    if (steps > kMostPlantFillSteps) {
      stop = PlantFillStop::kWorkLimit;
    } else if (before / kStepsBetweenKeyPolls != steps / kStepsBetweenKeyPolls) {
      // Every key pressed meanwhile is looked at; any but Escape is dropped.
      for (int i = 0; i < 256; ++i) {
        const int32_t key = TakeKeyDown();
        if (key < 0) break;
        if (key == kKeyWatchEscape) {
          stop = PlantFillStop::kEscape;
          break;
        }
      }
    }
  }

  // A new plant centred on the plan point (x, z), selected alone.
  bool plant(float x, float z) {
    if (full()) return false;
    if (last) SelectObj(last, kSelectOff, 1);
    else SelectAllLayers(doc->itsLayers, kSelectOff, 1);
    Objex* p = nullptr;
    if (entry->type == kEntryUserPlant) {
      const char* names[10] = {};
      names[9] = entry->objectData.c_str();
      p = BuildUserLandscapePlant(layer, 1, names, 10);
    } else {
      p = BuildLandscapePlant(layer, 1, entry->textureID);
    }
    if (!p) return false;
    SelectObj(p, kSelectOn, 0);
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    GetObject3DBounds(p, 1, &box, 1);
    TransformInfo move{};
    move.delta[0] = x - (box.floatLeft + box.floatRight) / 2;
    move.delta[2] = z - (box.floatBack + box.floatFront) / 2;
    SelectedObject(p, 1, kCmdTranslateObjects, CommandArg::Transform(&move));
    last = p;
    ++count;
    return true;
  }
};

void PlantOutline(Objex* object, float spacing, Planter& planter) {
  gRemainingLength = 0;
  bool haveFirst = false, haveLast = false;
  FloatPoint first{}, lastPoint{};
  auto near = [](const FloatPoint& a, const FloatPoint& b) {
    return std::fabs(a.floatH - b.floatH) <= kSamePlantDistance && std::fabs(a.floatV - b.floatV) <= kSamePlantDistance;
  };
  for (Poinz* p = object->firstPoint; p && !planter.full(); p = p->next) {
    Poinz* q = p->next;
    const bool closing = !q;
    if (closing) {
      if (!object->closed) break;
      q = object->firstPoint;
    }
    FloatPoint at{};
    for (float d = gRemainingLength; GetPointOnLineFromLength(p, q, &at, d) && !planter.full(); d += spacing) {
      if (d + spacing == d) break;  // a spacing below the precision of far distances
      if (haveLast && near(at, lastPoint)) continue;
      if (closing && haveFirst && near(at, first)) continue;
      if (!planter.plant(at.floatH, at.floatV)) return;
      if (!haveFirst) first = at;
      haveFirst = haveLast = true;
      lastPoint = at;
    }
  }
}

// One side of the outline as the column sweep sees it: present in the columns from its
// smaller x (included) to its larger x (left out), so that a column through a corner meets
// the two sides there once between them.
struct SweepEdge {
  double left, right;  // x extent
  double ax, az, bx, bz;
};

// The grid inside the outline, column by column, visiting only the cells near the spans
// where the column lies inside it (a thin diagonal outline has a vast bounding box but few
// cells inside); each cell is still decided by the same inside test as before.
void PlantArea(Objex* object, float spacing, Planter& planter) {
  const Float3DRect box = object->bounds3D;
  int32_t count = 0;
  for (Poinz* p = object->firstPoint; p; p = p->next) ++count;
  if (count < 3) return;
  PlanarPolyPoint* polygon = CreatePlanarPolygon(object->firstPoint, &count);
  if (!polygon) return;
  for (int32_t i = 0; i < count; ++i) polygon[i].y = polygon[i].z;

  std::vector<SweepEdge> edges;
  edges.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const PlanarPolyPoint& a = polygon[i];
    const PlanarPolyPoint& b = polygon[(i + 1) % count];
    if (a.x == b.x || !std::isfinite(a.x) || !std::isfinite(b.x) || !std::isfinite(a.y) || !std::isfinite(b.y))
      continue;  // a side along a column adds no crossing
    edges.push_back({std::min<double>(a.x, b.x), std::max<double>(a.x, b.x), a.x, a.y, b.x, b.y});
  }
  std::sort(edges.begin(), edges.end(), [](const SweepEdge& a, const SweepEdge& b) { return a.left < b.left; });

  const double step = spacing;
  const double xStart = box.floatLeft + 0.5f, zStart = box.floatBack + 0.5f;
  const double xEnd = box.floatRight, zEnd = box.floatFront;
  std::vector<const SweepEdge*> active;
  std::vector<double> crossings;
  size_t next = 0;
  float lastX = 0;
  bool anyColumn = false;
  for (int64_t column = 0; !planter.full() && !planter.stopped();) {
    double xd = xStart + static_cast<double>(column) * step;
    // No side reaches this column: go straight to the first column a side reaches.
    if (active.empty() && next < edges.size() && edges[next].left > xd) {
      column = std::max<int64_t>(column, static_cast<int64_t>(std::ceil((edges[next].left - xStart) / step)));
      xd = xStart + static_cast<double>(column) * step;
    }
    const float x = static_cast<float>(xd);
    if (!(x <= xEnd) || (anyColumn && x == lastX) || x + spacing == x) break;
    anyColumn = true;
    lastX = x;
    if (active.empty() && next >= edges.size()) break;
    while (next < edges.size() && edges[next].left <= x) active.push_back(&edges[next++]);
    planter.work(active.size());
    active.erase(std::remove_if(active.begin(), active.end(), [x](const SweepEdge* e) { return e->right <= x; }),
                 active.end());
    crossings.clear();
    for (const SweepEdge* e : active)
      crossings.push_back(e->az + (x - e->ax) * (e->bz - e->az) / (e->bx - e->ax));
    std::sort(crossings.begin(), crossings.end());
    // The cells from a spacing before each span to a spacing after it, each once.
    int64_t done = -1;
    for (size_t i = 0; i + 1 < crossings.size() && !planter.full() && !planter.stopped(); i += 2) {
      const int64_t first = std::max<int64_t>(
          {done + 1, 0, static_cast<int64_t>(std::floor((crossings[i] - zStart) / step)) - 1});
      const double lastCell = std::min(zEnd, crossings[i + 1] + step);
      float previous = 0;
      for (int64_t k = first; !planter.full() && !planter.stopped(); ++k) {
        const float z = static_cast<float>(zStart + static_cast<double>(k) * step);
        if (!(z <= lastCell) || (k > first && z == previous)) break;
        previous = z;
        done = k;
        planter.work(count);
        PlaneVertex point{};
        point.x = x;
        point.y = z;
        if (IsPointInsidePolygon(&point, polygon, count) && !planter.plant(x, z)) {
          DeletePlanarPolygon(polygon);
          return;
        }
      }
    }
    ++column;
  }
  DeletePlanarPolygon(polygon);
}

}  // namespace

bool IsPlantFillable(const Objex* object) {
  if (!object) return false;
  const int16_t t = object->type;
  return (t >= 1 && t <= 7) || t == 21 || t == 22 || t == 26 || t == 27 || t == 29;
}

float ClampedPlantSpacing(float inches) {
  if (!(inches >= 1.0f)) return 1.0f;
  return inches > 3000.0f ? 3000.0f : inches;
}

int32_t FillObjectWithPlants(Objex* object, const SymEntryInfo* entry, PlantFillReport* report) {
  if (report) *report = PlantFillReport{};
  if (!object || !entry || (entry->type != kEntryPlant && entry->type != kEntryUserPlant)) return 0;
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsDocState || !doc->itsCurLayer) return 0;
  // The spacing is a length in inches whatever the document's world unit.
  const float spacing = ClampedPlantSpacing(gPlantSpacing) / UsablePlanScale(doc->itsDocState) * 72.0f;
  if (!std::isfinite(spacing) || spacing <= 0) return 0;
  Planter planter{doc, doc->itsCurLayer, entry};
  if (gFillPerimeter) PlantOutline(object, spacing, planter);
  if (gFillArea) PlantArea(object, spacing, planter);
  if (report) *report = PlantFillReport{planter.stop, planter.steps};
  return planter.count;
}
