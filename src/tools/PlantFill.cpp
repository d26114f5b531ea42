// Planting along an object's outline and over its area.
#include "tools/PlantFill.h"

#include <cmath>
#include <cstdlib>

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

uint8_t gFillArea = 1;
uint8_t gFillPerimeter = 1;
float gPlantSpacing = 60.0f;

namespace {

// Two plants closer than this on the outline stand on one another: the second is left out.
constexpr float kSamePlantDistance = 0.01f;

struct Planter {
  ZLKDocumentModel* doc;
  Layer* layer;
  const SymEntryInfo* entry;
  Objex* last = nullptr;  // the plant planted last (selected)
  int32_t count = 0;

  bool full() const { return count >= kMostPlantsPerFill; }

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

void PlantArea(Objex* object, float spacing, Planter& planter) {
  const Float3DRect box = object->bounds3D;
  int32_t count = 0;
  for (Poinz* p = object->firstPoint; p; p = p->next) ++count;
  if (count < 3) return;
  PlanarPolyPoint* polygon = CreatePlanarPolygon(object->firstPoint, &count);
  if (!polygon) return;
  for (int32_t i = 0; i < count; ++i) polygon[i].y = polygon[i].z;
  for (float x = box.floatLeft + 0.5f; x <= box.floatRight && !planter.full() && x + spacing != x; x += spacing) {
    for (float z = box.floatBack + 0.5f; z <= box.floatFront && !planter.full() && z + spacing != z; z += spacing) {
      PlaneVertex point{};
      point.x = x;
      point.y = z;
      if (IsPointInsidePolygon(&point, polygon, count) && !planter.plant(x, z)) {
        DeletePlanarPolygon(polygon);
        return;
      }
    }
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

int32_t FillObjectWithPlants(Objex* object, const SymEntryInfo* entry) {
  if (!object || !entry || (entry->type != kEntryPlant && entry->type != kEntryUserPlant)) return 0;
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsDocState || !doc->itsCurLayer) return 0;
  // The spacing is a length in inches whatever the document's world unit.
  const float spacing = ClampedPlantSpacing(gPlantSpacing) / UsablePlanScale(doc->itsDocState) * 72.0f;
  if (!std::isfinite(spacing) || spacing <= 0) return 0;
  Planter planter{doc, doc->itsCurLayer, entry};
  if (gFillPerimeter) PlantOutline(object, spacing, planter);
  if (gFillArea) PlantArea(object, spacing, planter);
  return planter.count;
}
