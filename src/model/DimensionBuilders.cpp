// Dimension objects built from measured points: their geometry, their fixed style, and
// the info record and text box that group with them.
#include "model/DimensionBuilders.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "model/CommandWalkers.h"
#include "model/DimensionRecords.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"

namespace {

// An open, visible dimension of the fixed style; null without a DocState.
Objex* NewDimension(int16_t type, bool lengthDim, Layer* layer) {
  const DocState* ds = CurDocState();
  if (!ds) return nullptr;
  const RGBColor fill = lengthDim ? ds->dimLineColor : ds->newFillColor;
  FloatRect empty = EmptyFloatRect();
  Objex* dim = CreateObject(type, 0, 1, &ds->newPenColor, &fill, 1.0f, 6, 0, &empty, nullptr, nullptr,
                            nullptr, layer, nullptr);
  if (dim) dim->planMask = ds->newObjectPlanMask;
  return dim;
}

void AddDimPoint(Objex* dim, float x, float y, float z) {
  if (Poinz* p = CreatePoint(1, 1, 0, 0, 0, 0, x, y, z, 0, 0, 0, 0, 0, 0, dim)) AppendPointToObject(p, dim);
}

bool CanBuild(float x1, float a1, float x2, float a2, const Layer* layer) {
  return layer && !(x1 == x2 && a1 == a2) && CurDocState();
}

Objex* Finish(Objex* dim, Layer* layer) {
  AppendObjectToLayer(dim, layer);
  UpdateObjectBounds(dim);
  return dim;
}

// Lays a shape built in the x/y plane into the working plane.
void LayIntoWorkingPlane(Objex* obj, const DocState* ds) {
  if (ds->viewPlane == 2) ConvertXYtoXZ(obj);
  else if (ds->viewPlane == 3) ConvertXYtoZY(obj);
}

float Distance(float x1, float y1, float x2, float y2) {
  return static_cast<float>(std::hypot(static_cast<double>(x2) - x1, static_cast<double>(y2) - y1));
}

}  // namespace

Objex* BuildLengthDim(float x1, float y1, float x2, float y2, float mx, float my, Layer* layer) {
  if (!CanBuild(x1, y1, x2, y2, layer)) return nullptr;
  float length = 0;
  const double a = GetLineLengthAndAngle(x1, y1, x2, y2, &length);
  const double plus = a + std::numbers::pi / 2, minus = a - std::numbers::pi / 2;
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(static_cast<float>(plus), 100, &dx, &dy);
  const float plusDist = Distance(mx, my, x1 + dx, y1 + dy);
  GetPointFromLengthAndAngle(static_cast<float>(minus), 100, &dx, &dy);
  const float minusDist = Distance(mx, my, x1 + dx, y1 + dy);
  const double side = plusDist < minusDist ? plus : minus;
  float fx = 0, fy = 0;
  GetPerpIntersection(x1, y1, x2, y2, mx, my, &fx, &fy);
  float ox = 0, oy = 0;
  GetPointFromLengthAndAngle(static_cast<float>(side), Distance(mx, my, fx, fy), &ox, &oy);

  Objex* dim = NewDimension(kObjLengthDim, true, layer);
  if (!dim) return nullptr;
  AddDimPoint(dim, x2, y2, 0);
  AddDimPoint(dim, x2 + ox, y2 + oy, 0);
  AddDimPoint(dim, x1 + ox, y1 + oy, 0);
  AddDimPoint(dim, x1, y1, 0);
  LayIntoWorkingPlane(dim, CurDocState());
  return Finish(dim, layer);
}

Objex* BuildOffsetDim(float x1, float z1, float x2, float z2, float mx, float mz, Layer* layer,
                      uint8_t alongZ) {
  if (!CanBuild(x1, z1, x2, z2, layer)) return nullptr;
  Objex* dim = NewDimension(alongZ ? kObjOffsetDim : kObjOffsetDimHorizontal, false, layer);
  if (!dim) return nullptr;
  AddDimPoint(dim, x2, 0, z2);
  if (alongZ) {
    AddDimPoint(dim, mx, 0, z2);
    AddDimPoint(dim, mx, 0, z1);
  } else {
    AddDimPoint(dim, x2, 0, mz);
    AddDimPoint(dim, x1, 0, mz);
  }
  AddDimPoint(dim, x1, 0, z1);
  return Finish(dim, layer);
}

Objex* BuildDiameterDim(float x1, float z1, float x2, float z2, Layer* layer) {
  if (!CanBuild(x1, z1, x2, z2, layer)) return nullptr;
  Objex* dim = NewDimension(kObjDiameterDim, false, layer);
  if (!dim) return nullptr;
  dim->subtype = kObjDiameterDim;
  AddDimPoint(dim, x1, 0, z1);
  AddDimPoint(dim, x2, 0, z2);
  return Finish(dim, layer);
}

Objex* BuildLeaderDim(float x1, float z1, float x2, float z2, float x3, float z3, Layer* layer) {
  if (!CanBuild(x1, z1, x2, z2, layer)) return nullptr;
  Objex* dim = NewDimension(kObjLeaderDim, false, layer);
  if (!dim) return nullptr;
  dim->subtype = kObjLeaderDim;
  AddDimPoint(dim, x1, 0, z1);
  AddDimPoint(dim, x2, 0, z2);
  AddDimPoint(dim, x3, 0, z3);
  return Finish(dim, layer);
}

Objex* BuildAngleDim(float x1, float z1, float x2, float z2, float x3, float z3, float x4, float z4,
                     float, float, Layer* layer) {
  if (!CanBuild(x1, z1, x2, z2, layer)) return nullptr;
  Objex* dim = NewDimension(kObjAngleDim, false, layer);
  if (!dim) return nullptr;
  AddDimPoint(dim, x1, 0, z1);
  AddDimPoint(dim, x2, 0, z2);
  AddDimPoint(dim, x3, 0, z3);
  AddDimPoint(dim, x4, 0, z4);
  return Finish(dim, layer);
}

Objex* AddDimensionInfo(Objex* dimension, int16_t x, int16_t y, uint8_t withBox) {
  if (!dimension) return nullptr;
  // A record already there goes first, so that it is neither lost nor left half-linked;
  // type data of any other kind is left alone.
  if (dimension->typeData) {
    if (!IsDimensionObjectType(dimension->type)) return dimension;
    DeleteObjectData(dimension);
  }
  if (!gCurDocument) return dimension;
  auto* info = static_cast<DimensionInfoData*>(calloc(1, sizeof(DimensionInfoData)));
  if (!info) return dimension;
  DocState* ds = gCurDocument->itsDocState;
  if (!ds) {
    dimension->typeData = info;
    return dimension;
  }
  info->flags = ds->dimFlags;

  Objex* box = nullptr;
  if (withBox) {
    auto* text = static_cast<DimensionTextData*>(calloc(1, sizeof(DimensionTextData)));
    if (text) box = BuildRect(x - 20.0f, y - 10.0f, x + 20.0f, y + 10.0f, dimension->layer, 0);
    if (box) {
      box->fillColor = dimension->fillColor;
      LayIntoWorkingPlane(box, ds);
      UpdateObjectBounds(box);
      box->penColor = ds->newPenColor;
      box->type = kObjDimensionInfo;
      box->width = 0;
      text->fontNumber = gDimensionFontNum;
      text->fontSize = gDimensionFontSize;
      text->fontStyle = gDimensionFontStyle;
      text->font = gCurFontInfo;
      text->dimension = dimension;
      box->typeData = text;
    } else {
      free(text);
    }
  }
  info->textBox = box;

  Layer* layers = gCurDocument->itsLayers;
  SelectAllLayers(layers, kSelectOff, 0);
  SelectObj(dimension, kSelectOn, 0);
  if (box) SelectObj(box, kSelectOn, 0);
  gOverload = 0;
  gObjectCount = 0;
  SelectedObjectAllLayers(layers, 1, kCmdCountGroups, CommandArg::None());
  if (!gOverload) {
    gObjectCount = 0;
    gGroupLeader = nullptr;
    TopLevelObjectAllLayers(layers, kCmdCountObjects, CommandArg::None());
    if (gObjectCount > 1) TopLevelObjectAllLayers(layers, kCmdGroup, CommandArg::None());
    gGroupLeader = nullptr;
  }

  info->values[0] = ds->setting27;
  info->values[1] = ds->setting28;
  dimension->typeData = info;
  return dimension;
}
