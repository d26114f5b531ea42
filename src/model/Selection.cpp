// Selection predicates over the point flags, the hide/show/lock changes of single
// points, point-oriented tools, and moving the selection onto the grid.
#include "model/Selection.h"

#include <cmath>

#include "model/Bounds.h"
#include "model/CommandWalkers.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grid.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TransformInfo.h"
#include "model/ViewProjection.h"

uint8_t gPointOrientation = 1;
uint8_t gTrackingMouse = 0;
Objex* gIsAnyObjectSelectedObject = nullptr;

namespace {

bool AnyPointSelected(const Objex* obj) {
  for (const Poinz* p = obj->firstPoint; p; p = p->next)
    if (p->selected) return true;
  return false;
}

bool AllPointsSelected(const Objex* obj) {
  for (const Poinz* p = obj->firstPoint; p; p = p->next)
    if (!p->selected) return false;
  return true;
}

bool IsRoofType(int16_t type) { return type == kObjRoof || type == kObjRoofPanel; }

}  // namespace

bool IsObjectSelected(const Objex* obj) {
  if (!obj) return false;
  if (AnyPointSelected(obj)) return true;
  if (IsRoofType(obj->type)) {
    if (!gTrackingMouse) return false;
  } else if (obj->type == kObjWall || obj->type == kObjDeck) {
    return false;
  }
  for (const Objex* c = obj->firstChild; c; c = c->next)
    if (IsObjectSelected(c)) return true;
  return false;
}

namespace {

bool SelectedPointInTree(const Objex* obj, int depth) {
  // Deeper than any design nests: answer yes, so that callers look closer.
  if (depth > 64) return true;
  for (const Poinz* p = obj->firstPoint; p; p = p->next)
    if (p->selected) return true;
  // A wall's outline (its type data) is built unselected and never selected: it is not read.
  for (const Objex* c = obj->firstChild; c; c = c->next)
    if (SelectedPointInTree(c, depth + 1)) return true;
  return false;
}

}  // namespace

bool HasSelectedPointInTree(const Objex* obj) { return obj && SelectedPointInTree(obj, 0); }

bool IsRootObjectSelected(const Objex* obj) { return obj && AnyPointSelected(obj); }
bool IsRoofObjectSelected(const Objex* obj) { return obj && AnyPointSelected(obj); }
bool IsEntireRoofObjectSelected(const Objex* obj) { return obj && AllPointsSelected(obj); }

bool IsEntireObjectSelected(const Objex* obj) {
  if (!obj || !AllPointsSelected(obj)) return false;
  if (obj->type == kObjDeck || obj->type == kObjWall) return true;
  for (const Objex* c = obj->firstChild; c; c = c->next)
    if (!IsEntireObjectSelected(c)) return false;
  return true;
}

bool IsAnyObjectSelected(Objex* obj) {
  gIsAnyObjectSelectedObject = nullptr;
  if (!obj) return false;
  if (AnyPointSelected(obj)) {
    gIsAnyObjectSelectedObject = obj;
    return true;
  }
  for (Objex* c = obj->firstChild; c; c = c->next)
    if (IsObjectSelected(c)) {
      gIsAnyObjectSelectedObject = c;
      return true;
    }
  return false;
}

void SpecialSelectPoint(Poinz* point, int8_t mode, uint8_t) {
  if (!point) return;
  NoteDesignEdit();
  switch (mode) {
    case kSelectHide:
      if (point->selected) {
        point->selected = 0;
        point->detectable = 0;
      }
      break;
    case kSelectUnhide:
      point->detectable = 1;
      break;
    case kSelectLock:
      if (point->selected) point->locked = 1;
      break;
    case kSelectUnlock:
      if (point->selected) point->locked = 0;
      break;
    default:
      break;
  }
}

bool ToolIsPointOriented(int32_t tool, const Objex* obj) {
  if (tool <= 0 || !obj) return gPointOrientation != 0;
  bool pointTool = tool == 216 || tool == 7910 || tool == 7911 || tool == 7912;
  if (!pointTool && !gPointOrientation) return false;
  switch (obj->type) {
    case 2: case 5: case 8: case 9: case 15: case 28: case 31: case 102: case 115: case 125:
    case 136: case 145: case 160: case 200: case 201: case 1000:
      return false;
    case kObjDetail:
      switch (obj->subtype) {
        case 1: case 2: case 3: case 4: case 5: case 7: case 8: case 9:
          // The detail object's point-editing word.
          if (!obj->extraFlags) return false;
          break;
        default:
          break;
      }
      return true;
    default:
      return true;
  }
}

bool FindFirstSelectedObjectID(uint32_t* outID) {
  if (!gCurDocument || !gCurDocument->itsCurLayer || !outID) return false;
  for (Objex* o = gCurDocument->itsCurLayer->firstObject; o; o = o->next)
    if (IsObjectSelected(o)) {
      *outID = o->objectID;
      return true;
    }
  return false;
}

void AlignSelectedToGrid(int32_t cmd) {
  DocState* ds = CurDocState();
  if (!ds) return;
  FloatRect r = EmptyFloatRect();
  GetAllLayersBounds(gCurDocument->itsLayers, 1, &r, 0, 0);
  float h = r.floatLeft, v = r.floatTop;
  switch (cmd) {
    case 5141: h = r.floatRight; break;
    case 5142: h = r.floatRight; v = r.floatBottom; break;
    case 5143: v = r.floatBottom; break;
    default: break;
  }
  // The corner is made whole by rounding halves upward, on either side of the origin.
  auto whole = [](float c) {
    const double r = std::floor(static_cast<double>(c) + 0.5);
    return static_cast<int16_t>(std::fmax(-32768.0, std::fmin(32767.0, std::isfinite(r) ? r : 0.0)));
  };
  FloatPoint snapped{h, v};
  SnapPointToGrid(ds, whole(h), whole(v), &snapped);
  TransformInfo t{};
  t.scale[0] = t.scale[1] = t.scale[2] = 1.0f;
  t.delta[0] = snapped.floatH - h;
  t.delta[2] = snapped.floatV - v;
  SelectedObjectAllLayers(gCurDocument->itsLayers, 1, kCmdTranslateObjects, CommandArg::Transform(&t));
}

bool Test3DHit(float x, float y, float z, const ClickInfo* click) {
  if (!click) return false;
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 1);
  if (gPerspective) AddPerspective(&x, &y, &z, gViewDistance, 0, 0, 0);
  // Halves round upward on either side of the origin (-3.5 to -3, -3.7 to -4).
  auto round = [](float v) {
    if (!(v <= 32767)) v = 32767;
    if (v < -32767) v = -32767;
    return static_cast<int32_t>(std::floor(static_cast<double>(v) + 0.5));
  };
  int32_t px = round(x), py = round(y);
  return click->where.x >= px - 5 && click->where.x <= px + 5 && click->where.y >= py - 5 &&
         click->where.y <= py + 5;
}
