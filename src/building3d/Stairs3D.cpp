// Staircases in 3D: the entry point, straight flights with their treads, balusters and hand
// rails, curved staircases walked along their centre line, the walkers and the reversal.
#include "building3d/Stairs3D.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "building3d/RepeatLimit.h"
#include "building3d/StairParts3D.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/StairFields.h"
#include "model/TextureFace.h"
#include "plandraw/LineStyles.h"

float gStairHeightAccum = 0;
float gStairStringerHeightAccum = 0;
uint8_t gInitializeStairs = 1;
uint8_t gFinalStairSegment = 0;
uint8_t gPlaceFinalBalusters = 0;
uint8_t gInitializeSteps = 1;
int32_t gCurvedStepCount = 0;
float gStairStartLeftPt[3] = {0, 0, 0};
float gStairStartRightPt[3] = {0, 0, 0};

namespace {

constexpr float kHalfPi = static_cast<float>(std::numbers::pi / 2);
constexpr int32_t kFramingTreadTexture = 2203;
constexpr RGBColor kWhite{0xFFFF, 0xFFFF, 0xFFFF};
constexpr ShortPoint kFullScale{100, 100};

float Screen(float world) { return ConvertWorldToScreen(world, CurDocState(), 0); }

void Along(float angle, float length, float* dx, float* dz) {
  *dx = 0;
  *dz = 0;
  GetPointFromLengthAndAngle(angle, length, dx, dz);
}

int32_t CountPoints(const Objex* o) {
  int32_t n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

bool ClosedSteps(Objex* st) { return ClosedStepsOf(st) != 0; }

// The staircase's own fields that a rebuild changes for its duration (the riser in place of
// the step height, the framing view's plain treads and no hand rails); put back on every way
// out.
class StairFieldsGuard {
 public:
  explicit StairFieldsGuard(Objex* st)
      : st_(st), stepHeight_(st->params[1]), left_(st->extraLong), right_(st->extraFlags),
        texture2_(st->textureID2), color2_(st->color2), scale2_(st->textureScale2) {}
  ~StairFieldsGuard() {
    st_->params[1] = stepHeight_;
    st_->extraLong = left_;
    st_->extraFlags = right_;
    st_->textureID2 = texture2_;
    st_->color2 = color2_;
    st_->textureScale2 = scale2_;
  }
  StairFieldsGuard(const StairFieldsGuard&) = delete;
  StairFieldsGuard& operator=(const StairFieldsGuard&) = delete;

 private:
  Objex* st_;
  float stepHeight_;
  int32_t left_, right_;
  int32_t texture2_;
  RGBColor color2_;
  ShortPoint scale2_;
};

void ApplyFramingOverrides(Objex* st) {
  const DocState* ds = CurDocState();
  if (!ds || !ds->framingView) return;
  st->textureID2 = kFramingTreadTexture;
  st->color2 = kWhite;
  st->textureScale2 = kFullScale;
  LeftRailOf(st) = 0;
  RightRailOf(st) = 0;
}

bool FramingView() {
  const DocState* ds = CurDocState();
  return ds && ds->framingView;
}

// Unit vector (x, z) from a to b; zero when they coincide.
void UnitToward(const float a[2], const float b[2], float* ux, float* uz) {
  const float dx = b[0] - a[0], dz = b[1] - a[1];
  const float len = std::sqrt(dx * dx + dz * dz);
  *ux = len > 0 ? dx / len : 0;
  *uz = len > 0 ? dz / len : 0;
}

}  // namespace

float StairRiserHeight(float stairHeight, float stepHeight) {
  double count = 1;
  if (stepHeight > 0) {
    count = LimitRepeats(std::trunc(static_cast<double>(stairHeight) / stepHeight));
  }
  return static_cast<float>(stairHeight / count + 0.01);
}

// ---------------------------------------------------------------------------------------
// Entry point and straight staircases

namespace building3d {
void UpdateStairObject(Objex* st) {
  NoteServiceCall("UpdateStairObject", st);
  if (!st || !gCurDocument || st->type != kObjStaircase || st->levels != 1 || CountPoints(st) < 2) return;
  RepeatLimitReport report(st);
  if (st->subtype == kSubStraightStair) {
    UpdateStraightStairObject(st);
    return;
  }
  if (!CurDocState()) return;
  RailListScope scope(st);
  StairFieldsGuard guard(st);
  ApplyFramingOverrides(st);
  DeleteRendererObject(st);
  DeleteGeneratedParts(st);
  UpdateStairStyle(&gStyleState, st);
  st->params[1] = StairRiserHeight(StairHeightOf(st), st->params[1]);
  const float total = Screen(StairHeightOf(st));
  gInitializeStairs = 1;
  gStairHeightAccum = 0;
  gStairStringerHeightAccum = 0;
  gFinalStairSegment = gPlaceFinalBalusters = 0;
  gInitializeSteps = 1;
  gCurvedStepCount = 0;
  for (Poinz* p = st->firstPoint; p && p->next && gStairHeightAccum < total; p = p->next)
    UpdateStairSegment(st, p, p->next, &gStyleState, total);
}
}  // namespace building3d

void UpdateStraightStairObject(Objex* st) {
  const DocState* ds = CurDocState();
  if (!st || !ds || !st->firstPoint) return;
  RepeatLimitReport report(st);
  RailListScope scope(st);
  StairFieldsGuard guard(st);
  ApplyFramingOverrides(st);
  DeleteRendererObject(st);
  DeleteGeneratedParts(st);
  UnsmoothObject(st);
  st->params[1] = StairRiserHeight(StairHeightOf(st), st->params[1]);
  const float total = Screen(StairHeightOf(st));
  gInitializeStairs = 1;
  gStairHeightAccum = gStairStringerHeightAccum = 0;
  gFinalStairSegment = gPlaceFinalBalusters = 0;

  const float half = Screen(StairWidthOf(st) / 2);
  Objex* left = CreateConstantParallelObject(st, kParallelSide7, half);
  Objex* right = CreateConstantParallelObject(st, kParallelSide8, half);
  if (left && right && left->firstPoint && right->firstPoint) {
    const float y0 = left->firstPoint->position[1];
    const PartMaterial slot1 = MaterialSlot1(st), slot2 = MaterialSlot2(st);
    Poinz* lp = left->firstPoint;
    Poinz* rp = right->firstPoint;
    float leftStart[3], rightStart[3];
    memcpy(leftStart, lp->position, sizeof(leftStart));
    memcpy(rightStart, rp->position, sizeof(rightStart));
    int32_t segment = 0;
    while (lp->next && rp->next && gStairHeightAccum < total) {
      gFinalStairSegment = lp->next->next == nullptr;
      UpdateStraightStairSegment(st, leftStart, lp->next->position, rightStart, rp->next->position, total, y0,
                                 st->params[1], StairStepDepthOf(st), LeftRailOf(st), RightRailOf(st),
                                 StairHandrailHeightOf(st), slot2, slot1, SkirtWallsOf(st), segment);
      gInitializeStairs = 0;
      lp = lp->next;
      rp = rp->next;
      if (lp->next && rp->next && gStairHeightAccum < total)
        BuildStairLanding(st, leftStart, lp->position, rightStart, rp->position, lp->position,
                          lp->next->position, rp->position, rp->next->position, total, y0);
      ++segment;
    }
  }
  if (left) DeleteObj(left);
  if (right) DeleteObj(right);
}

void UpdateStraightStairSegment(Objex* st, float leftStart[3], const float leftEnd[3], float rightStart[3],
                                const float rightEnd[3], float total, float y0, float stepHeight, float stepDepth,
                                int32_t leftRail, int32_t rightRail, float handrailHeight, const PartMaterial& slot2,
                                const PartMaterial& slot1, uint8_t skirtWalls, int32_t segmentIndex) {
  if (!st || !leftStart || !leftEnd || !rightStart || !rightEnd) return;
  float depth = Screen(stepDepth);
  if (depth == 0) depth = 1.0f;  // a negative or unusable depth rounds to no step below
  const float riser = Screen(stepHeight);
  float leftLength = 0, rightLength = 0;
  const float leftAngle = GetLineLengthAndAngle(leftStart[0], leftStart[2], leftEnd[0], leftEnd[2], &leftLength);
  const float rightAngle =
      GetLineLengthAndAngle(rightStart[0], rightStart[2], rightEnd[0], rightEnd[2], &rightLength);
  const float run = std::min(leftLength, rightLength);
  float lux, luz, rux, ruz;
  Along(leftAngle, 1.0f, &lux, &luz);
  Along(rightAngle, 1.0f, &rux, &ruz);
  // The flight ends: the shorter side keeps its end, the longer one is moved back to the run.
  float lEnd[3] = {leftEnd[0], leftEnd[1], leftEnd[2]};
  float rEnd[3] = {rightEnd[0], rightEnd[1], rightEnd[2]};
  if (leftLength > run) {
    lEnd[0] = leftStart[0] + run * lux;
    lEnd[2] = leftStart[2] + run * luz;
  }
  if (rightLength > run) {
    rEnd[0] = rightStart[0] + run * rux;
    rEnd[2] = rightStart[2] + run * ruz;
  }

  const double rounded = std::floor(static_cast<double>(run) / depth + 0.5);
  const int32_t steps = rounded >= 1 ? LimitRepeats(rounded) : 0;
  if (steps < 1) {
    gStairHeightAccum -= riser;
  } else {
    const float stepRun = run / static_cast<float>(steps);
    const float startRise = gStairHeightAccum;
    float lastRise = startRise;
    int32_t built = 0;
    for (int32_t i = 1; i <= steps && gStairHeightAccum <= total; ++i) {
      const float a0 = stepRun * static_cast<float>(i - 1), a1 = stepRun * static_cast<float>(i);
      const float corners[8] = {leftStart[0] + a0 * lux,  leftStart[2] + a0 * luz,  rightStart[0] + a0 * rux,
                                rightStart[2] + a0 * ruz, rightStart[0] + a1 * rux, rightStart[2] + a1 * ruz,
                                leftStart[0] + a1 * lux,  leftStart[2] + a1 * luz};
      if (gFinalStairSegment && (i == steps || gStairHeightAccum + riser > total)) gPlaceFinalBalusters = 1;
      lastRise = gStairHeightAccum;
      AppendStraightStairStepObject(corners, st, total, y0, leftAngle, riser, leftRail, rightRail, handrailHeight,
                                    depth, slot2, slot1);
      built = i;
    }

    const float before = gStairStringerHeightAccum;
    int32_t leftCount = 0, rightCount = 0;
    Objex* leftStringer = BuildStaircaseStraightStringer(st, leftStart, leftAngle, stepRun, riser, total, y0, steps,
                                                         segmentIndex, skirtWalls, 1, &leftCount);
    gStairStringerHeightAccum = before;
    Objex* rightStringer = BuildStaircaseStraightStringer(st, rightStart, rightAngle, stepRun, riser, total, y0,
                                                          steps, segmentIndex, skirtWalls, 0, &rightCount);
    BuildStaircaseBottomPaneling(st, leftStringer, rightStringer, leftCount, rightCount, segmentIndex);

    if (built > 0) {
      const float reach = stepRun * static_cast<float>(built);
      const float ls[2] = {leftStart[0], leftStart[2]}, rs[2] = {rightStart[0], rightStart[2]};
      const float le[2] = {leftStart[0] + reach * lux, leftStart[2] + reach * luz};
      const float re[2] = {rightStart[0] + reach * rux, rightStart[2] + reach * ruz};
      const bool framing = FramingView();
      if (leftRail == 1 || framing)
        AppendStraightHandRail(ls, le, rs, re, st, 1, startRise, lastRise, y0, handrailHeight, riser, depth, slot1);
      if (rightRail == 1 || framing)
        AppendStraightHandRail(rs, re, ls, le, st, 0, startRise, lastRise, y0, handrailHeight, riser, depth, slot1);
    }
  }
  memcpy(leftStart, lEnd, sizeof(lEnd));
  memcpy(rightStart, rEnd, sizeof(rEnd));
}

void AppendStraightStairStepObject(const float corners[8], Objex* st, float, float y0, float, float riser,
                                   int32_t leftRail, int32_t rightRail, float handrailHeight, float treadDepth,
                                   const PartMaterial& slot2, const PartMaterial& slot1) {
  if (!corners || !st) return;
  const float r = riser > 0 ? riser : 15.0f;
  const float a = gStairHeightAccum;
  const bool closed = ClosedSteps(st);
  const float bottom = closed ? y0 - a : y0 - (a + 0.75f * r);
  const float top = closed ? y0 - a - r : y0 - (a + r);
  const float b[4] = {bottom, bottom, bottom, bottom}, t[4] = {top, top, top, top};
  AppendBoxPart(st, corners, b, t, kObjStairTread, slot2);
  gStairHeightAccum += r;

  const float prevLeft[2] = {corners[0], corners[1]}, prevRight[2] = {corners[2], corners[3]};
  const float nextRight[2] = {corners[4], corners[5]}, nextLeft[2] = {corners[6], corners[7]};
  const uint8_t initialize = gInitializeStairs;
  if (leftRail == 1)
    AppendStraightStairSpindles(prevLeft, nextLeft, prevRight, nextRight, st, 1, y0, handrailHeight, r, treadDepth,
                                slot1);
  if (rightRail == 1) {
    gInitializeStairs = initialize;
    AppendStraightStairSpindles(prevRight, nextRight, prevLeft, nextLeft, st, 0, y0, handrailHeight, r, treadDepth,
                                slot1);
  }
}

void AppendStraightStairSpindles(const float prevSide[2], const float nextSide[2], const float prevOther[2],
                                 const float*, Objex* st, uint8_t, float y0, float handrailHeight, float riser,
                                 float, const PartMaterial& slot1) {
  if (!prevSide || !nextSide || !prevOther || !st) return;
  float ix, iz;
  UnitToward(prevSide, prevOther, &ix, &iz);
  const float s[2] = {prevSide[0] + 5.0f * ix, prevSide[1] + 5.0f * iz};
  const float e[2] = {nextSide[0] + 5.0f * ix, nextSide[1] + 5.0f * iz};
  float length = 0;
  const float angle = GetLineLengthAndAngle(s[0], s[1], e[0], e[1], &length);
  const float treadTop = y0 - gStairHeightAccum;
  const float rise = Screen(handrailHeight - 7.5f);
  const float quarters[2] = {0.25f, 0.75f};
  for (float q : quarters) {
    const float x = s[0] + (e[0] - s[0]) * q, z = s[1] + (e[1] - s[1]) * q;
    AppendPrismPart(st, x, z, angle, 1.0f, 1.0f, treadTop, treadTop - (rise + q * riser), kObjRailPart, slot1);
  }
  if (gInitializeStairs) {
    const float base[3] = {s[0], y0, s[1]};
    ConstructBaluster(base, angle, st, handrailHeight + 4.0f, 0, slot1.texture, slot1.color, slot1.scale);
    gInitializeStairs = 0;
  } else if (gPlaceFinalBalusters) {
    const float base[3] = {e[0], treadTop, e[1]};
    ConstructBaluster(base, angle, st, handrailHeight + 4.0f, 0, slot1.texture, slot1.color, slot1.scale);
  }
}

void AppendStraightHandRail(const float sideStart[2], const float sideEnd[2], const float otherStart[2],
                            const float*, Objex* st, uint8_t, float startRise, float endRise, float y0,
                            float handrailHeight, float riser, float, const PartMaterial& slot1) {
  if (!sideStart || !sideEnd || !otherStart || !st) return;
  float ix, iz;
  UnitToward(sideStart, otherStart, &ix, &iz);
  const float s[2] = {sideStart[0] + 5.0f * ix, sideStart[1] + 5.0f * iz};
  const float e[2] = {sideEnd[0] + 5.0f * ix, sideEnd[1] + 5.0f * iz};
  if (FramingView()) {
    AppendBarPart(st, s[0], s[1], e[0], e[1], 5.0f, y0, y0, 2.5f, kObjRailPart, FramingLumber());
    return;
  }
  const float lift = Screen(handrailHeight - 8.0f);
  const float startBottom = y0 - (startRise + riser) - lift;
  const float endBottom = y0 - (endRise + 2.0f * riser) - lift;
  AppendBarPart(st, s[0], s[1], e[0], e[1], 2.0f, startBottom, endBottom, 2.0f, kObjRailPart, slot1);
}

namespace {
// The base level of a staircase: the y of its points.
float StairBaseLevel(const Objex* st) { return st && st->firstPoint ? st->firstPoint->position[1] : 0.0f; }
}  // namespace

void AppendStraightHandRail(const float sideStart[2], const float sideEnd[2], const float otherStart[2],
                            const float otherEnd[2], Objex* st, uint8_t isLeft, float startRise, float endRise,
                            float handrailHeight, float riser, float treadDepth, const PartMaterial& slot1) {
  AppendStraightHandRail(sideStart, sideEnd, otherStart, otherEnd, st, isLeft, startRise, endRise,
                         StairBaseLevel(st), handrailHeight, riser, treadDepth, slot1);
}

void AppendStraightStairSpindles(const float prevSide[2], const float nextSide[2], const float prevOther[2],
                                 const float nextOther[2], Objex* st, uint8_t isLeft, float handrailHeight,
                                 float riser, float treadDepth, const PartMaterial& slot1) {
  AppendStraightStairSpindles(prevSide, nextSide, prevOther, nextOther, st, isLeft, StairBaseLevel(st),
                              handrailHeight, riser, treadDepth, slot1);
}

// ---------------------------------------------------------------------------------------
// Curved staircases

namespace {
// Treads set by the curved walk under way (UpdateStairStyle starts one).
int32_t sWalkTreads = 0;
}  // namespace

void UpdateStairStyle(DashStyle* style, Objex* st) {
  if (!style || !st || st->type != kObjStaircase) return;
  *style = DashStyle{};
  float d = Screen(StairStepDepthOf(st));
  if (!(d > 0)) d = 1.0f;
  style->lengths[0] = d;
  SetWalkedDistance(*style, d);
  sWalkTreads = 0;
}

void UpdateStairSegment(Objex* st, Poinz* point, Poinz* nextPoint, DashStyle* style, float total) {
  if (!st || !point || !nextPoint || !style) return;
  float co[3][4];
  for (int k = 0; k < 3; ++k)
    SetupSpline(point->position[k], point->outHandle[k], nextPoint->position[k], nextPoint->inHandle[k], &co[k][0],
                &co[k][1], &co[k][2], &co[k][3]);
  const DocState* ds = CurDocState();
  // Without a usable segment count the walk takes ten samples (a count of 0 would never end).
  const float dt = ds && ds->curveSegments > 0 ? 1.0f / static_cast<float>(LimitRepeats(6.0 * ds->curveSegments))
                                               : 0.1f;
  float prev[3] = {0, 0, 0};
  int32_t i = 0;
  for (float t = 0; t <= 1.01f;) {
    const float t2 = t * t, t3 = t2 * t;
    float cur[3];
    for (int k = 0; k < 3; ++k) cur[k] = GetSplineCoord(co[k][0], co[k][1], co[k][2], co[k][3], t, t2, t3);
    const bool walk = t > 0;
    t = static_cast<float>(++i) * dt;
    if (walk) {
      if (t > 1.01f) gFinalStairSegment = 1;
      UpdateStairList(prev[0], prev[1], prev[2], cur[0], cur[1], cur[2], style, st, total);
    }
    memcpy(prev, cur, sizeof(prev));
  }
}

void UpdateStairList(float x0, float y0, float z0, float x1, float, float z1, DashStyle* style, Objex* st,
                     float total) {
  if (!style || !st) return;
  const float r = Screen(st->params[1]);
  const float d = style->lengths[0] > 0 ? style->lengths[0] : 1.0f;
  float L = 0;
  const float angle = GetLineLengthAndAngle(x0, z0, x1, z1, &L);
  float walked = 0;
  while (L > 0 && gStairHeightAccum < total) {
    if (gStairHeightAccum + r > total) gPlaceFinalBalusters = 1;
    float w = WalkedDistance(*style);
    if (!(w >= 0) || w > d) w = d;  // a record out of range starts a new tread
    const float remaining = d - w;
    if (L < remaining) {
      SetWalkedDistance(*style, w + L);
      return;
    }
    // Treads count, so that a walk floats cannot shorten (or risers of nothing) still ends.
    if (!CountRepeat(sWalkTreads)) return;
    walked += remaining;
    float dx, dz;
    Along(angle, walked, &dx, &dz);
    AppendStairStepObject(st, x0 + dx, y0, z0 + dz, angle);
    SetWalkedDistance(*style, 0);
    style->phase = 0;
    L -= remaining;
  }
}

void AppendStairStepObject(Objex* st, float x, float y, float z, float angle) {
  const DocState* ds = CurDocState();
  if (!st || !ds) return;
  const float a = gStairHeightAccum;
  const float r = Screen(st->params[1]);
  float hx, hz;
  Along(angle + kHalfPi, Screen(StairWidthOf(st)) / 2, &hx, &hz);
  const float left[3] = {x + hx, y, z + hz};
  const float right[3] = {x - hx, y, z - hz};
  if (gInitializeStairs) {
    gInitializeStairs = 0;
    memcpy(gStairStartLeftPt, left, sizeof(left));
    memcpy(gStairStartRightPt, right, sizeof(right));
    gStairHeightAccum = 0;
    return;
  }
  const float prevLeft[3] = {gStairStartLeftPt[0], gStairStartLeftPt[1], gStairStartLeftPt[2]};
  const float prevRight[3] = {gStairStartRightPt[0], gStairStartRightPt[1], gStairStartRightPt[2]};
  const PartMaterial firstPoint = FirstPointMaterial(st);

  // The tread or step block.
  const bool closed = ClosedSteps(st);
  const float corners[8] = {prevLeft[0], prevLeft[2], prevRight[0], prevRight[2],
                            right[0],    right[2],    left[0],      left[2]};
  const float bottom = closed ? y - a : y - (a + 0.75f * r);
  const float top = closed ? y - a - r : y - (a + r);
  const float b[4] = {bottom, bottom, bottom, bottom}, t[4] = {top, top, top, top};
  if (Objex* tread = AppendBoxPart(st, corners, b, t, kObjStairTread, MaterialSlot2(st)))
    tread->penColor = firstPoint.color;

  // Stringer pieces in the vertical plane of each side edge, 0.1 outside it.
  const bool skirt = SkirtWallsOf(st) != 0;
  const bool longBase = LongStringerBaseOf(st) != 0;
  if (!ds->framingView) {
    for (int side = 0; side < 2; ++side) {
      const float* p0 = side == 0 ? prevLeft : prevRight;
      const float* p1 = side == 0 ? left : right;
      // Both ends move out along the cross line of this step's boundary.
      float ox, oz;
      Along(angle + (side == 0 ? kHalfPi : -kHalfPi), 0.1f, &ox, &oz);
      float top0, top1, bottom0, bottom1;
      if (ClosedStringersOf(st) != 0) {
        top0 = y - (r + a);
        top1 = y - (2 * r + a);
      } else {
        top0 = top1 = y - (a + r) + 3.0f;
      }
      if (skirt) {
        bottom0 = bottom1 = y;
      } else if (gCurvedStepCount == 0) {
        bottom0 = bottom1 = y - a;
      } else if (gCurvedStepCount == 1 && longBase) {
        bottom0 = bottom1 = y - (a - r);
      } else {
        bottom0 = y - (a - r);
        bottom1 = y - a;
      }
      const float ring[12] = {p0[0] + ox, bottom0, p0[2] + oz, p1[0] + ox, bottom1, p1[2] + oz,
                              p1[0] + ox, top1,    p1[2] + oz, p0[0] + ox, top0,    p0[2] + oz};
      const float handles[12] = {};
      Layer* layer = st->layer ? st->layer : gCurDocument->itsCurLayer;
      if (Objex* piece = layer ? BuildClosedPoly(ring, nullptr, handles, handles, nullptr, nullptr, 4, layer, 0)
                               : nullptr) {
        UnlinkObject(piece);
        piece->layer = nullptr;
        piece->type = kObjStairStepPart;
        piece->capped = 1;
        piece->penColor = firstPoint.color;
        for (Poinz* p = piece->firstPoint; p; p = p->next) {
          p->textureID[0] = p->textureID[1] = firstPoint.texture;
          p->color[0] = p->color[1] = firstPoint.color;
          p->textureScale[0] = p->textureScale[1] = firstPoint.scale;
        }
        AppendGeneratedPart(st, piece);
      }
    }
  }

  // The underside strip of closed steps, from the second step on.
  if (ClosedStepsOf(st) == 1.0f && !skirt && gCurvedStepCount >= 1) {
    // Each cross line widened by 0.1 at both ends.
    float cx, cz, px, pz;
    {
      const float l[2] = {left[0], left[2]}, rr[2] = {right[0], right[2]};
      UnitToward(rr, l, &cx, &cz);
      const float pl[2] = {prevLeft[0], prevLeft[2]}, pr[2] = {prevRight[0], prevRight[2]};
      UnitToward(pr, pl, &px, &pz);
    }
    cx *= 0.1f, cz *= 0.1f, px *= 0.1f, pz *= 0.1f;
    const float high = y + r - a, low = y - a;
    float strip[12];
    if (longBase && gCurvedStepCount == 1) {
      const float s[12] = {left[0] + cx,  high, left[2] + cz,  right[0] - cx, high, right[2] - cz,
                           right[0] - cx, low,  right[2] - cz, left[0] + cx,  low,  left[2] + cz};
      memcpy(strip, s, sizeof(strip));
    } else {
      const float s[12] = {prevLeft[0] + px, high, prevLeft[2] + pz, prevRight[0] - px, high, prevRight[2] - pz,
                           right[0] - cx,    low,  right[2] - cz,    left[0] + cx,      low,  left[2] + cz};
      memcpy(strip, s, sizeof(strip));
    }
    const float handles[12] = {};
    Layer* layer = st->layer ? st->layer : gCurDocument->itsCurLayer;
    if (Objex* under = layer ? BuildOpenPoly(strip, nullptr, handles, handles, nullptr, nullptr, 4, layer, 0)
                             : nullptr) {
      UnlinkObject(under);
      under->layer = nullptr;
      under->capped = 1;
      under->penColor = firstPoint.color;
      for (Poinz* p = under->firstPoint; p; p = p->next) {
        p->textureID[0] = p->textureID[1] = firstPoint.texture;
        p->color[0] = p->color[1] = firstPoint.color;
        p->textureScale[0] = p->textureScale[1] = firstPoint.scale;
      }
      AppendGeneratedPart(st, under);
    }
  }

  ++gCurvedStepCount;
  gStairHeightAccum += r;
  const uint8_t initialize = gInitializeSteps;
  if (LeftRailOf(st) == 1) AppendStairRail(prevLeft, left, prevRight, right, st, 1);
  if (RightRailOf(st) == 1) {
    gInitializeSteps = initialize;
    AppendStairRail(prevRight, right, prevLeft, left, st, 0);
  }
  memcpy(gStairStartLeftPt, left, sizeof(left));
  memcpy(gStairStartRightPt, right, sizeof(right));
}

void AppendStairRail(const float sideStart[3], const float sideEnd[3], const float otherStart[3],
                     const float otherEnd[3], Objex* st, uint8_t) {
  if (!sideStart || !sideEnd || !otherStart || !otherEnd || !st || !CurDocState()) return;
  const float h = StairHandrailHeightOf(st);
  const float r = Screen(st->params[1]);
  const PartMaterial slot1 = MaterialSlot1(st);
  float sx, sz, ex, ez;
  {
    const float a[2] = {sideStart[0], sideStart[2]}, b[2] = {otherStart[0], otherStart[2]};
    UnitToward(a, b, &sx, &sz);
    const float c[2] = {sideEnd[0], sideEnd[2]}, d[2] = {otherEnd[0], otherEnd[2]};
    UnitToward(c, d, &ex, &ez);
  }
  const float s[2] = {sideStart[0] + 5.0f * sx, sideStart[2] + 5.0f * sz};
  const float e[2] = {sideEnd[0] + 5.0f * ex, sideEnd[2] + 5.0f * ez};
  float length = 0;
  const float angle = GetLineLengthAndAngle(s[0], s[1], e[0], e[1], &length);
  const float y = sideStart[1];
  const float treadTop = y - gStairHeightAccum;
  const float rise = Screen(h - 7.5f);
  const float quarters[2] = {0.25f, 0.75f};
  for (float q : quarters) {
    const float x = s[0] + (e[0] - s[0]) * q, z = s[1] + (e[1] - s[1]) * q;
    AppendPrismPart(st, x, z, angle, 1.0f, 1.0f, treadTop, treadTop - (rise + q * r), kObjRailPart, slot1);
  }
  const float lift = Screen(h - 8.0f);
  AppendBarPart(st, s[0], s[1], e[0], e[1], 2.0f, treadTop - lift, treadTop - r - lift, 2.0f, kObjSpindle, slot1);
  if (gInitializeSteps) {
    gInitializeSteps = 0;
    const float base[3] = {s[0], treadTop + r, s[1]};
    ConstructBaluster(base, angle, st, h + 4.0f, 0, slot1.texture, slot1.color, slot1.scale);
  } else if (gPlaceFinalBalusters) {
    const float base[3] = {e[0], treadTop, e[1]};
    ConstructBaluster(base, angle, st, h + 4.0f, 0, slot1.texture, slot1.color, slot1.scale);
  }
}

// ---------------------------------------------------------------------------------------
// Walkers and direction

void UpdateStairLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (o->type == kObjStaircase) UpdateStairObject(o);
}

void UpdateStairAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) UpdateStairLayer(l);
}

void ReverseStairDirection(Objex* st) {
  if (!st || !st->firstPoint) return;
  Poinz* first = ReverseSegmentDirection(st->firstPoint, CountPoints(st));
  if (!first) return;
  st->firstPoint = first;
  first->prev = nullptr;
}

Poinz* ReverseCurveSegmentDirection(Poinz* first, int32_t count) {
  if (!first || !first->next || count < 1) return nullptr;
  Poinz* rest = nullptr;
  Poinz* head = nullptr;
  Poinz* p = first;
  for (int32_t i = 0; p && i < count; ++i) {
    Poinz* next = p->next;
    p->next = head;
    p->prev = next;
    if (head) head->prev = p;
    head = p;
    rest = next;
    p = next;
  }
  head->prev = nullptr;
  // The former head ends the reversed run with no successor; the rest of the chain stays
  // where it was, unlinked from the run.
  first->next = nullptr;
  if (rest) rest->prev = nullptr;
  return head;
}
