// The fillet, inverted fillet and chamfer tools: qualifying the corner pressed on, the
// construction points of the fillet drag, the arc tangents and the straight cut.
#include "tools/FilletChamfer.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "model/AddRemovePoints.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Floors2D.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "model/ViewProjection.h"
#include "model/Readouts.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/ToolOverlay.h"

uint8_t gDimFillet = 1;
uint8_t gBailedFromFillet = 0;

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kMaxFilletValue = 32000.0f;
constexpr float kFitMargin = 2.0f;
constexpr float kChamferDimOffset = 0.3f;
// Set while the construction points of the current fillet drag are in the outline.
bool sFilletPointsInserted = false;

bool IsConstruction(const Poinz* p) {
  return p->pointType == kPointFilletHolder || p->pointType == kPointConstruction4;
}

Poinz* NextOf(Objex* o, Poinz* p) { return p->next ? p->next : o->firstPoint; }

Poinz* PrevOf(Objex* o, Poinz* p) {
  if (p->prev) return p->prev;
  Poinz* last = o->firstPoint;
  while (last && last->next) last = last->next;
  return last;
}

int CountPoints(const Objex* o) {
  int n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

// The first point after `p` that is not a construction point (wrapping to the start).
Poinz* NextRealPoint(Objex* o, Poinz* p, int limit) {
  Poinz* q = NextOf(o, p);
  for (int i = 0; i < limit && q && IsConstruction(q); ++i) q = NextOf(o, q);
  return q && !IsConstruction(q) ? q : nullptr;
}

bool ZeroVector(const float v[3]) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }

float PlanAngle(const Poinz* from, const Poinz* to) {
  float length = 0;
  return GetLineLengthAndAngle(from->position[0], from->position[2], to->position[0], to->position[2], &length);
}

float PlanDistance(const Poinz* a, const Poinz* b) {
  return GetLineLength(a->position[0], a->position[2], b->position[0], b->position[2]);
}

// An angle brought into (-pi, pi].
float Signed(float a) { return a > kPi ? a - 2 * kPi : a; }

float Wrap(float a) {
  while (a > kPi) a -= 2 * kPi;
  while (a < -kPi) a += 2 * kPi;
  return a;
}

void PlaceAlong(Poinz* p, const Poinz* from, float angle, float length) {
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, length, &dx, &dz);
  p->position[0] = from->position[0] + dx;
  p->position[1] = from->position[1];
  p->position[2] = from->position[2] + dz;
}

void FilletAlert(const char* sentence) {
  ShowAlert(LocalizedString("Unable to fillet corner."), LocalizedString(sentence), true);
}

bool FilletType(int16_t type) {
  switch (type) {
    case kObjFloor: case kObjPath: case kObjDetail: case kObjRailing: case kObjCutout: case kObjDeck:
    case kObjRoofPanel: case kObjTopoExcavation:
      return true;
    default:
      return false;
  }
}

// The object of a corner both tools may work on, or null; only the fillet's mouse-down
// explains a refusal.
Objex* QualifyingCorner(const ClickInfo* click, int16_t phase, bool fillet) {
  if (!gCurDocument || !gCurDocument->itsDocState || !click) return nullptr;
  Objex* o = click->hitObject;
  Poinz* hit = click->hitPoint;
  if (!o) return nullptr;
  const bool speak = fillet && phase == kTrackBegin;
  // A detail shape is explained before its points are looked at: with point-level editing
  // off its corners are never hit as points, so the press lands on the object as a whole.
  if (o->type == kObjDetail) {
    const bool shape = (o->subtype >= 1 && o->subtype <= 5) || o->subtype == kSubDetailCurve;
    if (!shape) {
      if (speak) FilletAlert("Fillets cannot be applied to this type of object.");
      return nullptr;
    }
    if (o->extraFlags == 0) {  // the point-level editing word of detail objects
      if (speak) FilletAlert("You must set the object to point-level editing before applying a fillet.");
      return nullptr;
    }
  }
  if (!hit || !click->pointHit || hit->owner != o || CountPoints(o) < 3) return nullptr;
  if (!FilletType(o->type) && (fillet || (o->type != kObjEdging && o->type != kObjFence))) {
    if (speak) FilletAlert("Fillets cannot be applied to this type of object.");
    return nullptr;
  }
  // The ends of an open outline have only one segment: no corner to work on.
  if (!o->closed && (!hit->prev || !hit->next)) return nullptr;
  Poinz* prev = PrevOf(o, hit);
  Poinz* next = NextOf(o, hit);
  if (o->type == kObjDeck && (DoesPointContainAttachments(o, hit) || DoesPointContainAttachments(o, prev))) {
    if (speak) FilletAlert("Fillets cannot be applied to deck segments that contain steps.");
    return nullptr;
  }
  if (!ZeroVector(hit->inHandle) || !ZeroVector(hit->outHandle) || !ZeroVector(next->inHandle) ||
      !ZeroVector(prev->outHandle)) {
    if (speak) FilletAlert("Fillets cannot be applied to curved segments.");
    return nullptr;
  }
  return o;
}

Poinz* CopyOfCorner(int16_t kind, const Poinz* corner, Objex* o) {
  return CreatePoint(kind, 0, 0, 0, 0, 0, corner->position[0], corner->position[1], corner->position[2], 0, 0, 0, 0, 0,
                     0, o);
}

void RemoveConstructionPoints(Objex* o, bool kind4Too) {
  Poinz* p = o->firstPoint;
  while (p) {
    Poinz* next = p->next;
    if (p->pointType == kPointFilletHolder || (kind4Too && p->pointType == kPointConstruction4))
      RemovePointInObject(o, p);
    p = next;
  }
}

void ClearOverlay() {
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) overlay->removePointsFromAllPaths();
}

// Deselects everything, refreshes texture coordinates and lengths, rebuilds the object's
// 3D form and bounds, and redraws.
void FinishEditedObject(Objex* o, bool chamfer) {
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  SetTextureFaceUV(o);
  SetObjectPointLengths(o);
  switch (o->type) {
    case kObjFloor: case kObjCutout: Update3DFloorSkirting(o); break;
    case kObjPath: Update3DPath(o); break;
    case kObjEdging: if (chamfer) UpdateEdgingObject(o); break;
    case kObjFence: if (chamfer) UpdateFenceObject(o); break;
    case kObjRailing: UpdateRailObject(o); break;
    case kObjDeck: Update3DDeck(o); break;
    case kObjRoofPanel: Update3DRoofPanel(o); break;
    case kObjTopoExcavation: Update3DTopoCutoutDepthObject(o); break;
    default: break;
  }
  ReRenderObject(o);
  UpdateObjectBounds(o);
  ClearOverlay();
  Refresh();
}

// Hermite tangents of the arc about `centre` from p0 to p1 (the shorter way round).
void SetArcSegment(Poinz* p0, Poinz* p1, const Poinz* centre, float radius) {
  const float a0 = PlanAngle(centre, p0), a1 = PlanAngle(centre, p1);
  const float sweep = Wrap(a1 - a0);
  const float mid = a0 + sweep / 2;
  float x0, tx0, tx1, x1, y0, ty0, ty1, y1;
  BuildRadiusSpline(sweep, radius, &x0, &tx0, &tx1, &x1, &y0, &ty0, &ty1, &y1);
  // Local frame: x along the arc's middle direction, y counter-clockwise on the screen;
  // the plan's z runs down the screen.
  const float c = std::cos(mid), s = std::sin(mid);
  auto toPlan = [&](float lx, float ly, float out[3]) {
    out[0] = lx * c - ly * s;
    out[1] = 0;
    out[2] = -(lx * s + ly * c);
  };
  toPlan(tx0, ty0, p0->outHandle);
  toPlan(tx1, ty1, p1->inHandle);
}

// Setback of a chamfer lowered in steps of 2 until it leaves 2 of both segments; < 0 when
// none fits.
float FitSetback(const Poinz* corner, const Poinz* prev, const Poinz* next, float setback) {
  const float l1 = PlanDistance(corner, prev), l2 = PlanDistance(corner, next);
  float s = setback;
  while (s + kFitMargin > l1 || s + kFitMargin > l2) {
    s -= 2;
    if (s < 0) return -1;
  }
  return s;
}

}  // namespace

void DrawFillet(const Poinz* corner, float radius, float, float, float ax, float az, float bx, float bz) {
  if (!corner || !(2 * radius > 10)) return;
  char length[256] = {};
  ConvertInchesToStr(ConvertScreenToWorld(radius, CurDocState(), 0), length);
  const std::string text = LocalizedString("Radius: ") + length;
  const bool besideB = !(ax > corner->position[0]) && corner->position[2] > az;
  DrawDynamicText(nullptr, text.c_str(), besideB ? bx : ax, besideB ? az : bz, 0);
}

float BuildStandardFillet(Poinz* centre, Poinz* prev, Poinz* next, Poinz* corner, Poinz* a, Poinz* middle, Poinz* b,
                          float value, uint8_t draw, uint8_t valueIsRadius) {
  if (!centre || !prev || !next || !corner || !a || !middle || !b || !std::isfinite(value)) return 0;
  const float a1 = Signed(PlanAngle(corner, prev)), a2 = Signed(PlanAngle(corner, next));
  const float h = Wrap(a2 - a1) / 2;
  const float bisector = a1 + h;
  const float l1 = PlanDistance(corner, prev), l2 = PlanDistance(corner, next);
  const float sinH = std::fabs(std::sin(h)), cosH = std::fabs(std::cos(h));
  if (valueIsRadius && sinH == 0) return 0;
  float r = 0, t = 0, centreDistance = 0;
  for (;;) {
    if (value < 0 || value > kMaxFilletValue) return 0;
    if (valueIsRadius) {
      r = value;
      centreDistance = r / sinH;
      t = centreDistance * cosH;
    } else {
      centreDistance = value;
      r = value * sinH;
      t = value * cosH;
    }
    if (l1 > t + kFitMargin && l2 > t + kFitMargin) break;
    value -= 1;
  }
  PlaceAlong(a, corner, a1, t);
  PlaceAlong(b, corner, a2, t);
  PlaceAlong(middle, corner, bisector, centreDistance - r);
  PlaceAlong(centre, corner, bisector, centreDistance);
  if (draw) {
    DrawFillet(corner, r, centre->position[0], centre->position[2], a->position[0], a->position[2], b->position[0],
               b->position[2]);
    UpdateRadius(ConvertScreenToWorld(r, CurDocState(), 0));
  }
  return r;
}

float BuildInvertedFillet(Poinz* centre, Poinz* prev, Poinz* next, Poinz* corner, Poinz* a, Poinz* middle, Poinz* b,
                          float radius, uint8_t draw) {
  if (!centre || !prev || !next || !corner || !a || !middle || !b || !std::isfinite(radius)) return 0;
  const float a1 = Signed(PlanAngle(corner, prev)), a2 = Signed(PlanAngle(corner, next));
  const float bisector = a1 + Wrap(a2 - a1) / 2;
  const float l1 = PlanDistance(corner, prev), l2 = PlanDistance(corner, next);
  float r = radius;
  for (;;) {
    if (r < 0 || r > kMaxFilletValue) return 0;
    if (l1 > r + kFitMargin && l2 > r + kFitMargin) break;
    r -= 1;
  }
  PlaceAlong(a, corner, a1, r);
  PlaceAlong(b, corner, a2, r);
  PlaceAlong(middle, corner, bisector, r);
  PlaceAlong(centre, corner, 0, 0);
  if (draw) {
    DrawFillet(corner, r, centre->position[0], centre->position[2], a->position[0], a->position[2], b->position[0],
               b->position[2]);
    UpdateRadius(ConvertScreenToWorld(r, CurDocState(), 0));
  }
  return r;
}

void BuildFilletSplines(float radius, Poinz* centre, Poinz*, Poinz* a, Poinz* middle, Poinz* b) {
  if (!centre || !a || !middle || !b || !(radius > 0)) return;
  SetArcSegment(middle, b, centre, radius);
  SetArcSegment(a, middle, centre, radius);
}

void BuildInvertedFilletSplines(float radius, Poinz* centre, Poinz* corner, Poinz* a, Poinz* middle, Poinz* b) {
  BuildFilletSplines(radius, centre, corner, a, middle, b);
}

float DrawChamfer(Poinz* corner, Poinz* prev, Poinz* next, float setback) {
  if (!corner || !prev || !next) return 0;
  const float s = FitSetback(corner, prev, next, setback);
  if (s < 0) return 0;
  Poinz p1{}, p2{};
  PlaceAlong(&p1, corner, PlanAngle(corner, prev), s);
  PlaceAlong(&p2, corner, PlanAngle(corner, next), s);
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    float x1 = p1.position[0], y1 = p1.position[1], z1 = p1.position[2];
    float x2 = p2.position[0], y2 = p2.position[1], z2 = p2.position[2];
    ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
    overlay->appendLineToActivePathWithStartPoint(NSMakePoint(x1, y1), NSMakePoint(x2, y2));
  }
  // The cut's length, and the setback from the corner.
  DrawLiveDimensionLine(p1.position[0], p1.position[2], p2.position[0], p2.position[2], kChamferDimOffset);
  DrawLiveDimensionLine(p1.position[0], p1.position[2], corner->position[0], corner->position[2], kChamferDimOffset);
  return PlanDistance(&p1, &p2);
}

int BuildChamfer(Objex* object, Poinz* corner, Poinz* prev, Poinz* next, float setback) {
  if (!object || !corner || !prev || !next) return 0;
  const float s = FitSetback(corner, prev, next, setback);
  if (s < 0) return 0;
  Poinz* added = CopyOfCorner(1, corner, object);
  if (!added) return 0;
  const float toPrev = PlanAngle(corner, prev), toNext = PlanAngle(corner, next);
  InsertPointInObjectAndUpdatePointInfo(added, object, corner);
  PlaceAlong(added, corner, toNext, s);
  PlaceAlong(corner, corner, toPrev, s);
  return 1;
}

void SupportTrackFillet(float x, float z, int16_t phase, float, float, float, float, ClickInfo* click, uint16_t,
                        uint8_t valueIsRadius) {
  gFilletChamferUndo = 0;
  if (phase == kTrackBegin) sFilletPointsInserted = false;
  Objex* o = QualifyingCorner(click, phase, true);
  if (!o) return;
  if (phase == kTrackBegin) {
    gBailedFromFillet = 0;
    Poinz* hit = click->hitPoint;
    Poinz* prev = PrevOf(o, hit);
    Poinz* next = NextOf(o, hit);
    float length = 0;
    const float in = GetLineLengthAndAngle(prev->position[0], prev->position[2], hit->position[0], hit->position[2], &length);
    const float out = GetLineLengthAndAngle(hit->position[0], hit->position[2], next->position[0], next->position[2], &length);
    if (static_cast<int64_t>(in * 100000) == static_cast<int64_t>(out * 100000)) {
      gBailedFromFillet = 1;
      return;
    }
    gFilletChamferUndo = 1;
    if (IsConstruction(hit)) return;
    Poinz* centre = CopyOfCorner(kPointFilletHolder, hit, o);
    Poinz* holder = CopyOfCorner(kPointFilletHolder, hit, o);
    Poinz* middle = CopyOfCorner(1, hit, o);
    Poinz* b = CopyOfCorner(1, hit, o);
    if (!centre || !holder || !middle || !b) {
      std::free(centre);
      std::free(holder);
      std::free(middle);
      std::free(b);
      gFilletChamferUndo = 0;
      return;
    }
    InsertPointInObjectAndUpdatePointInfo(centre, o, prev);
    InsertPointInObjectAndUpdatePointInfo(holder, o, centre);
    InsertPointInObjectAndUpdatePointInfo(middle, o, hit);
    InsertPointInObjectAndUpdatePointInfo(b, o, middle);
    click->hitPoint = centre;
    sFilletPointsInserted = true;
    return;
  }
  if (gBailedFromFillet || !sFilletPointsInserted) return;
  Poinz* centre = click->hitPoint;
  if (NextOf(o, centre)->pointType != kPointFilletHolder) {
    centre = PrevOf(o, centre);
    click->hitPoint = centre;
  }
  Poinz* holder = NextOf(o, centre);
  Poinz* a = NextOf(o, holder);
  Poinz* middle = NextOf(o, a);
  Poinz* b = NextOf(o, middle);
  if (centre->pointType != kPointFilletHolder || holder->pointType != kPointFilletHolder) return;
  gFilletChamferUndo = 1;
  const float value = GetLineLength(x, z, holder->position[0], holder->position[2]);
  float r = 0;
  ClearOverlay();  // one radius label at a time
  if (value != 0) {
    Poinz* prev = PrevOf(o, centre);
    Poinz* next = NextRealPoint(o, b, CountPoints(o));
    if (prev && next) {
      r = gTrackInvertedFillet ? BuildInvertedFillet(centre, prev, next, holder, a, middle, b, value, gDimFillet)
                               : BuildStandardFillet(centre, prev, next, holder, a, middle, b, value, gDimFillet,
                                                     valueIsRadius);
    }
  }
  if (phase != kTrackEnd) return;
  sFilletPointsInserted = false;
  if (r > 0) {
    if (gTrackInvertedFillet) BuildInvertedFilletSplines(r, centre, holder, a, middle, b);
    else BuildFilletSplines(r, centre, holder, a, middle, b);
  } else {
    // Nothing fitted: the corner goes back to what it was, without stray points on it.
    a->position[0] = holder->position[0];
    a->position[1] = holder->position[1];
    a->position[2] = holder->position[2];
    RemovePointInObject(o, middle);
    RemovePointInObject(o, b);
  }
  click->hitPoint = a;
  RemoveConstructionPoints(o, false);
  if (r > 0 && (o->type == kObjRoofPanel || o->type == kObjTopoExcavation)) {
    DocState* ds = gCurDocument->itsDocState;
    const int16_t saved = ds->curveSegments;
    ds->curveSegments = 6;
    ConvertObjectCurvesToPolygons(o);
    ds->curveSegments = saved;
  }
  if (r > 0) {
    FinishEditedObject(o, false);
  } else {
    gFilletChamferUndo = 0;
    ClearOverlay();
    Refresh();
  }
}

void SupportTrackChamfer(float x, float z, int16_t phase, float, float, float, float, ClickInfo* click, uint16_t) {
  gFilletChamferUndo = 0;
  Objex* o = QualifyingCorner(click, phase, false);
  if (!o) return;
  Poinz* corner = click->hitPoint;
  if (IsConstruction(corner)) return;
  gFilletChamferUndo = 1;
  const float setback = GetLineLength(x, z, corner->position[0], corner->position[2]);
  Poinz* prev = nullptr;
  Poinz* next = nullptr;
  float length = 0;
  ClearOverlay();
  if (setback != 0) {
    prev = PrevOf(o, corner);
    next = NextRealPoint(o, corner, CountPoints(o));
    if (prev && next) length = DrawChamfer(corner, prev, next, setback);
  }
  if (phase != kTrackEnd) return;
  const bool changed = length > 2 && BuildChamfer(o, corner, prev, next, setback);
  gFilletChamferUndo = changed ? 1 : 0;
  if (!changed) {
    ClearOverlay();
    Refresh();
    return;
  }
  RemoveConstructionPoints(o, true);
  FinishEditedObject(o, true);
}

void TrackFillet(float x, float z, int16_t phase) {
  ClickInfo click = gClickInfo;
  SupportTrackFillet(x, z, phase, gDownX, gDownY, gUpX, gUpY, &click, gTrackModifiers, 0);
  gClickInfo = click;
  if (phase == kTrackEnd) gMouseCaptured = 0;
}

void TrackChamfer(float x, float z, int16_t phase) {
  ClickInfo click = gClickInfo;
  SupportTrackChamfer(x, z, phase, gDownX, gDownY, gUpX, gUpY, &click, gTrackModifiers);
  gClickInfo = click;
  if (phase == kTrackEnd) gMouseCaptured = 0;
}

int BuildChamfer(Poinz* corner, Objex* object, Poinz* atCorner, Poinz* prev, Poinz* next, float setback) {
  return BuildChamfer(object, atCorner ? atCorner : corner, prev, next, setback);
}
