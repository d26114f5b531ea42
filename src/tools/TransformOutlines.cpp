// The selection's outlines under a drag's transform.
#include "tools/TransformOutlines.h"

#include <cmath>

#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TransformInfo.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlanViewHooks.h"
#include "tools/TrackingState.h"

namespace {

long Rounded(float v) { return std::isfinite(v) ? std::lround(v) : 0; }

bool SameRounded(const FloatRect& a, const FloatRect& b) {
  return Rounded(a.floatTop) == Rounded(b.floatTop) && Rounded(a.floatLeft) == Rounded(b.floatLeft) &&
         Rounded(a.floatBottom) == Rounded(b.floatBottom) && Rounded(a.floatRight) == Rounded(b.floatRight);
}

bool sDragUnderWay = false;

}  // namespace

void KeepOutlinesOfDrag(bool on) {
  sDragUnderWay = on;
  ForgetKeptSelectionOutlines();
}

TransformationDrawingScope::TransformationDrawingScope() : previous_(gTransformationDrawing) {
  gTransformationDrawing = 1;
}
TransformationDrawingScope::~TransformationDrawingScope() { gTransformationDrawing = previous_; }

bool SelectionOutlinesDifferFromHit(const Objex* hit) { return hit && !SameRounded(hit->bounds, gDataRect); }

void DrawTransformedOutlines(int32_t drawMode, const DragTransformInfo& transform) {
  if (!gCurDocument || !gCurDocument->itsLayers) return;
  TransformationDrawingScope scope;
  // A move, a turn or a stretch changes nothing until the button comes up: within a drag its
  // later steps draw the objects its first step found.
  bool first = false, keeps = false;
  switch (drawMode) {
    case kOutlineMoveFirst: case kOutlineStretchFirst: case kOutlineStretchShiftFirst: case kOutlineTurnFirst:
    case kOutlineTurnShiftFirst:
      first = true;
      [[fallthrough]];
    case kOutlineMove: case kOutlineStretch: case kOutlineStretchShift: case kOutlineTurn: case kOutlineTurnShift:
      keeps = true;
      break;
    default:
      break;
  }
  keeps = keeps && sDragUnderWay;
  if (first || !keeps) ForgetKeptSelectionOutlines();
  if (!keeps) {
    DrawAllLayers(nullptr, gCurDocument->itsLayers, nullptr, drawMode, &transform);
    return;
  }
  KeepSelectionOutlinesScope keep;
  DrawAllLayers(nullptr, gCurDocument->itsLayers, nullptr, drawMode, &transform);
}
