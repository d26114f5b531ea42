// Railings in 3D (straight spans, curved runs, posts, landing rails) and the part builders
// that staircases, railings and decks share.
#include "building3d/Railings3D.h"
#include "building3d/Decks3D.h"
#include "building3d/RepeatLimit.h"
#include "building3d/SplineChords.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "building3d/Stairs3D.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/StairFields.h"
#include "plandraw/LineStyles.h"

uint8_t gInitializeRailing = 1;
float gPrevRailPt[3] = {0, 0, 0};

namespace {

constexpr float kHalfPi = static_cast<float>(std::numbers::pi / 2);
constexpr RGBColor kWhite{0xFFFF, 0xFFFF, 0xFFFF};
constexpr ShortPoint kFullScale{100, 100};
constexpr int16_t kSubTexturedRailing = 156;

// The list being rebuilt and its last part, so that appending stays constant-time. Only the
// rebuild entry points set it (ListScope); appends to any other owner walk the list.
Objex* sListOwner = nullptr;
Objex* sListTail = nullptr;

Layer* PartLayer(const Objex* owner) {
  if (owner && owner->layer) return owner->layer;
  return gCurDocument ? gCurDocument->itsCurLayer : nullptr;
}

float Screen(float world) { return ConvertWorldToScreen(world, CurDocState(), 0); }

// Offset of `length` along the plan angle.
void Along(float angle, float length, float* dx, float* dz) {
  *dx = 0;
  *dz = 0;
  GetPointFromLengthAndAngle(angle, length, dx, dz);
}

void DressPart(Objex* part, const PartMaterial& m) {
  part->penColor = m.color;
  for (Poinz* p = part->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = m.texture;
    p->color[0] = p->color[1] = m.color;
    p->textureScale[0] = p->textureScale[1] = m.scale;
  }
}

// The rail height and spacing of a railing span in plan units; a spacing of 0 or less
// counts as 1 plan unit (a walk at spacing 0 would never advance).
float SpacingOrOne(float screenSpacing) { return screenSpacing > 0 ? screenSpacing : 1.0f; }

// Balusters of a run from `from` to `to` (x, z): n intervals at the rounded spacing, at most
// the repeat limit.
int32_t IntervalCount(float length, float spacing) {
  return LimitRepeats(std::floor(static_cast<double>(length) / spacing + 0.5));
}

// Spindles set by the curved walk under way (UpdateRailStyle starts a walk): a walk whose
// chords floats cannot shorten still ends.
int32_t sWalkSpindles = 0;

// Samples of one curved segment's walk: 8 per curve segment of the design, at most the limit;
// ten without a usable setting.
int32_t WalkSamples() {
  const DocState* ds = CurDocState();
  return ds && ds->curveSegments > 0 ? LimitRepeats(ds->curveSegments * 8.0) : 10;
}

// Plan length of the railing's walk, chord by chord as UpdateRailSegment takes it.
float CurvedWalkLength(const Objex* railing) {
  const float dt = 1.0f / static_cast<float>(WalkSamples());
  double length = 0;
  for (const Poinz* p = railing->firstPoint; p && p->next; p = p->next)
    ForEachSplineChord(p, p->next, dt, [&](const float* from, const float* to) {
      length += GetLineLength(from[0], from[2], to[0], to[2]);
    });
  return static_cast<float>(length);
}

}  // namespace

RailListScope::RailListScope(Objex* owner) : previousOwner(sListOwner), previousTail(sListTail) {
  sListOwner = owner;
  sListTail = nullptr;
  if (owner)
    for (Objex* o = static_cast<Objex*>(owner->typeData); o; o = o->next) sListTail = o;
}

RailListScope::~RailListScope() {
  // An inner scope of the same owner leaves the tail it reached.
  if (previousOwner == sListOwner) return;
  sListOwner = previousOwner;
  sListTail = previousTail;
}

PartMaterial MaterialSlot1(const Objex* o) { return {o->textureID1, o->color1, o->textureScale1}; }
PartMaterial MaterialSlot2(const Objex* o) { return {o->textureID2, o->color2, o->textureScale2}; }
PartMaterial FirstPointMaterial(const Objex* o) {
  if (!o || !o->firstPoint) return {0, kWhite, kFullScale};
  const Poinz* p = o->firstPoint;
  return {p->textureID[0], p->color[0], p->textureScale[0]};
}
PartMaterial FramingLumber() { return {2202, kWhite, kFullScale}; }

void AppendGeneratedPart(Objex* owner, Objex* part) {
  if (!owner || !part) return;
  part->prev = part->next = nullptr;
  Objex* tail = nullptr;
  if (owner == sListOwner) {
    tail = sListTail;
  } else {
    for (Objex* o = static_cast<Objex*>(owner->typeData); o; o = o->next) tail = o;
  }
  if (tail) {
    tail->next = part;
    part->prev = tail;
  } else {
    owner->typeData = part;
  }
  if (owner == sListOwner) sListTail = part;
}

void DeleteGeneratedParts(Objex* owner) {
  if (!owner) return;
  Objex* o = static_cast<Objex*>(owner->typeData);
  owner->typeData = nullptr;
  if (owner == sListOwner) sListTail = nullptr;
  DeleteObjectChain(o);  // the whole list goes: nothing to relink
}

int32_t CountGeneratedParts(const Objex* owner, int16_t type) {
  int32_t n = 0;
  if (!owner) return 0;
  for (const Objex* o = static_cast<const Objex*>(owner->typeData); o; o = o->next)
    if (type == 0 || o->type == type) ++n;
  return n;
}

Objex* AppendBoxPart(Objex* owner, const float corners[8], const float bottom[4], const float top[4], int16_t type,
                     const PartMaterial& material) {
  Layer* layer = PartLayer(owner);
  if (!owner || !layer) return nullptr;
  float lower[12], upper[12], handles[12] = {};
  for (int i = 0; i < 4; ++i) {
    lower[3 * i] = upper[3 * i] = corners[2 * i];
    lower[3 * i + 2] = upper[3 * i + 2] = corners[2 * i + 1];
    lower[3 * i + 1] = bottom[i];
    upper[3 * i + 1] = top[i];
  }
  Objex* part = BuildClosedPoly(lower, upper, handles, handles, handles, handles, 4, layer, 0);
  if (!part) return nullptr;
  UnlinkObject(part);
  part->layer = nullptr;
  part->type = type;
  part->capped = 1;
  DressPart(part, material);
  AppendGeneratedPart(owner, part);
  return part;
}

Objex* AppendPrismPart(Objex* owner, float x, float z, float angle, float halfAlong, float halfAcross, float bottom,
                       float top, int16_t type, const PartMaterial& material) {
  float ax, az, cx, cz;
  Along(angle, halfAlong, &ax, &az);
  Along(angle + kHalfPi, halfAcross, &cx, &cz);
  const float corners[8] = {x - ax + cx, z - az + cz, x - ax - cx, z - az - cz,
                            x + ax - cx, z + az - cz, x + ax + cx, z + az + cz};
  const float b[4] = {bottom, bottom, bottom, bottom};
  const float t[4] = {top, top, top, top};
  return AppendBoxPart(owner, corners, b, t, type, material);
}

Objex* AppendBarPart(Objex* owner, float x0, float z0, float x1, float z1, float halfAcross, float bottom0,
                     float bottom1, float thickness, int16_t type, const PartMaterial& material) {
  float length = 0;
  const float angle = GetLineLengthAndAngle(x0, z0, x1, z1, &length);
  float cx, cz;
  Along(angle + kHalfPi, halfAcross, &cx, &cz);
  const float corners[8] = {x0 + cx, z0 + cz, x0 - cx, z0 - cz, x1 - cx, z1 - cz, x1 + cx, z1 + cz};
  const float b[4] = {bottom0, bottom0, bottom1, bottom1};
  const float t[4] = {bottom0 - thickness, bottom0 - thickness, bottom1 - thickness, bottom1 - thickness};
  return AppendBoxPart(owner, corners, b, t, type, material);
}

float WalkedDistance(const DashStyle& style) {
  float w;
  static_assert(sizeof(w) == sizeof(style.reserved));
  memcpy(&w, &style.reserved, sizeof(w));
  return w;
}

void SetWalkedDistance(DashStyle& style, float distance) { memcpy(&style.reserved, &distance, sizeof(distance)); }

// ---------------------------------------------------------------------------------------
// Railings

namespace {

bool HasTangents(const Objex* railing) {
  for (const Poinz* p = railing->firstPoint; p; p = p->next)
    for (int k = 0; k < 3; ++k)
      if (p->inHandle[k] != 0 || p->outHandle[k] != 0) return true;
  return false;
}

int32_t CountPoints(const Objex* o) {
  int32_t n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

bool HasPost(const Poinz* p) { return (p->segmentFlags & kDeckSegmentPost) != 0; }

float PlanAngle(const Poinz* a, const Poinz* b) {
  float length = 0;
  return GetLineLengthAndAngle(a->position[0], a->position[2], b->position[0], b->position[2], &length);
}

void PostAt(const Poinz* p, float angle, Objex* railing, float height) {
  const PartMaterial m = MaterialSlot1(railing);
  ConstructBaluster(p->position, angle, railing, height, 0, m.texture, m.color, m.scale);
}

// One baluster of a curved run and the rail pieces back to the previous one.
void CurvedSpindle(Objex* owner, float x, float y, float z, float angle, float height, const PartMaterial& m,
                   bool keepBaluster) {
  if (keepBaluster) AppendPrismPart(owner, x, z, angle, 1.0f, 1.0f, y, y - height, kObjRailPart, m);
  if (gInitializeRailing) {
    gInitializeRailing = 0;
  } else {
    const float px = gPrevRailPt[0], py = gPrevRailPt[1], pz = gPrevRailPt[2];
    AppendBarPart(owner, px, pz, x, z, 2.0f, py - height, y - height, 2.0f, kObjSpindle, m);
    AppendBarPart(owner, px, pz, x, z, 2.0f, py, y, 2.0f, kObjSpindle, m);
  }
  gPrevRailPt[0] = x;
  gPrevRailPt[1] = y;
  gPrevRailPt[2] = z;
}

}  // namespace

namespace building3d {
void UpdateRailObject(Objex* railing) {
  NoteServiceCall("UpdateRailObject", railing);
  if (!railing || !gCurDocument || railing->type != kObjRailing || railing->levels != 1) return;
  if (CountPoints(railing) < 2) return;
  railing->subtype = HasTangents(railing) ? kSubCurvedRail : kSubStraightRail;
  RepeatLimitReport report(railing);
  if (railing->subtype == kSubStraightRail) {
    UpdateStraightRailObject(railing);
    return;
  }
  if (!CurDocState()) return;
  RailListScope scope(railing);
  DeleteRendererObject(railing);
  DeleteGeneratedParts(railing);
  const float postHeight = RailHeightOf(railing) + 4.0f;
  UpdateRailStyle(&gStyleState, railing);
  // Balusters closer than the run allows are spread over it at the limit.
  const float spacing = LimitSpacing(CurvedWalkLength(railing), gStyleState.lengths[0]);
  gStyleState.lengths[0] = spacing;
  SetWalkedDistance(gStyleState, spacing);
  gInitializeRailing = 1;
  Poinz* p = railing->firstPoint;
  for (; p && p->next; p = p->next) {
    if (HasPost(p)) PostAt(p, PlanAngle(p, p->next), railing, postHeight);
    UpdateRailSegment(railing, p, p->next, &gStyleState);
  }
  if (p && p->prev && HasPost(p)) PostAt(p, PlanAngle(p->prev, p), railing, postHeight);
}
}  // namespace building3d

void UpdateStraightRailObject(Objex* railing) {
  if (!railing || !CurDocState()) return;
  RepeatLimitReport report(railing);
  RailListScope scope(railing);
  DeleteRendererObject(railing);
  DeleteGeneratedParts(railing);
  UnsmoothObject(railing);
  const float postHeight = RailHeightOf(railing) + 4.0f;
  const PartMaterial m = MaterialSlot1(railing);
  gInitializeRailing = 1;
  for (Poinz* p = railing->firstPoint; p && p->next; p = p->next) {
    const float angle = PlanAngle(p, p->next);
    if (p == railing->firstPoint && HasPost(p)) {
      PostAt(p, angle, railing, postHeight);
      gInitializeRailing = 0;
    }
    ConstructRailing(p->position, p->next->position, angle, railing, RailHeightOf(railing),
                     RailBalusterSpacingOf(railing), m.texture, m.color, m.scale);
    if (HasPost(p->next)) PostAt(p->next, angle, railing, postHeight);
  }
}

void ConstructRailing(const float start[3], const float end[3], float angle, Objex* owner, float height,
                      float spacing, int32_t texture, RGBColor color, ShortPoint scale) {
  if (!start || !end || !owner || !CurDocState()) return;
  const PartMaterial m{texture, color, scale};
  const float H = Screen(height);
  // A spacing of 0 counts as 1 plan unit; a negative or unusable one rounds to a single
  // interval below.
  float S = Screen(spacing);
  if (S == 0) S = 1.0f;
  const float L = GetLineLength(start[0], start[2], end[0], end[2]);
  const int32_t n = IntervalCount(L, S);
  const float step = L / static_cast<float>(n);
  for (int32_t i = 0; i <= n; ++i) {
    float dx, dz;
    Along(angle, step * static_cast<float>(i), &dx, &dz);
    AppendPrismPart(owner, start[0] + dx, start[2] + dz, angle, 1.0f, 1.0f, start[1], start[1] - H, kObjRailPart, m);
  }
  const int16_t railType = gBuildingCurvedDeck ? kObjSpindle : kObjRailPart;
  AppendBarPart(owner, start[0], start[2], end[0], end[2], 2.0f, start[1] - H, end[1] - H, 2.0f, railType, m);
  AppendBarPart(owner, start[0], start[2], end[0], end[2], 2.0f, start[1], end[1], 2.0f, railType, m);
}

void UpdateRailStyle(DashStyle* style, Objex* railing) {
  if (!style || !railing || railing->type != kObjRailing) return;
  *style = DashStyle{};
  const float d = SpacingOrOne(Screen(RailBalusterSpacingOf(railing)));
  style->lengths[0] = d;
  SetWalkedDistance(*style, d);
  sWalkSpindles = 0;
}

void UpdateRailSegment(Objex* railing, Poinz* point, Poinz* nextPoint, DashStyle* style) {
  if (!railing || !point || !nextPoint || !style) return;
  // Without a usable segment count the walk takes ten samples (a count of 0 would never end).
  const float dt = 1.0f / static_cast<float>(WalkSamples());
  ForEachSplineChord(point, nextPoint, dt, [&](const float* from, const float* to) {
    UpdateRailList(from[0], from[1], from[2], to[0], to[1], to[2], style, railing);
  });
}

void UpdateRailList(float x0, float y0, float z0, float x1, float, float z1, DashStyle* style, Objex* railing) {
  if (!style || !railing) return;
  const float d = SpacingOrOne(style->lengths[0]);
  float L = 0;
  const float angle = GetLineLengthAndAngle(x0, z0, x1, z1, &L);
  float walkedAlongChord = 0;
  while (L > 0) {
    float w = WalkedDistance(*style);
    if (!(w >= 0) || w > d) w = d;  // a record out of range starts a new interval
    const float remaining = d - w;
    if (L < remaining) {
      SetWalkedDistance(*style, w + L);
      return;
    }
    if (!CountRepeat(sWalkSpindles)) return;
    walkedAlongChord += remaining;
    float dx, dz;
    Along(angle, walkedAlongChord, &dx, &dz);
    AppendRailSpindle(railing, x0 + dx, y0, z0 + dz, angle);
    SetWalkedDistance(*style, 0);
    style->phase = 0;
    L -= remaining;
  }
}

void AppendRailSpindle(Objex* railing, float x, float y, float z, float angle) {
  if (!railing || !CurDocState()) return;
  CurvedSpindle(railing, x, y, z, angle, Screen(RailHeightOf(railing) + 0.5f), MaterialSlot1(railing), true);
}

void AppendDeckRailSpindle(Objex* deck, float x, float y, float z, float angle, float height, int32_t texture,
                           RGBColor color, ShortPoint scale, uint8_t keepBaluster) {
  if (!deck || !CurDocState()) return;
  CurvedSpindle(deck, x, y, z, angle, Screen(height), PartMaterial{texture, color, scale}, keepBaluster != 0);
}

void ConstructBaluster(const float base[3], float angle, Objex* owner, float height, uint8_t fromZero, int32_t texture,
                       RGBColor color, ShortPoint scale) {
  if (!base || !owner || !CurDocState()) return;
  const float bottom = fromZero ? 0.0f : base[1];
  AppendPrismPart(owner, base[0], base[2], angle, 4.0f, 4.0f, bottom, base[1] - Screen(height), kObjRailPart,
                  PartMaterial{texture, color, scale});
}

void ConstructRail(const float start[3], const float end[3], float angle, Objex* staircase, uint8_t trimStart,
                   uint8_t trimEnd) {
  const DocState* ds = CurDocState();
  if (!start || !end || !staircase || !ds) return;
  const bool framing = ds->framingView != 0;
  const float h = StairHandrailHeightOf(staircase);
  const float H = framing ? gStairHeightAccum : Screen(h);
  const float spacing = SpacingOrOne(Screen(framing ? 16.0f : 6.0f));

  float s[3] = {start[0], start[1], start[2]};
  float e[3] = {end[0], end[1], end[2]};
  float ux, uz;
  Along(angle, 1.0f, &ux, &uz);
  float shift = 0, shortening = 0;
  if (trimStart) {
    s[0] += 2.0f * ux;
    s[2] += 2.0f * uz;
    shift = 4.0f;
    shortening += 4.0f;
  }
  if (trimEnd) {
    e[0] -= 2.0f * ux;
    e[2] -= 2.0f * uz;
    shortening += 4.0f;
  }
  const float run = GetLineLength(s[0], s[2], e[0], e[2]) - shortening;
  const PartMaterial slot1 = MaterialSlot1(staircase);
  PartMaterial baluster = framing ? FramingLumber() : slot1;
  if (run > 0) {
    const int32_t n = IntervalCount(run, spacing);
    const float step = run / static_cast<float>(n);
    const int32_t last = trimEnd ? n - 1 : n;
    for (int32_t i = 1; i <= last; ++i) {
      const float at = shift + step * static_cast<float>(i);
      const float x = s[0] + at * ux, z = s[2] + at * uz;
      Objex* part = framing ? AppendPrismPart(staircase, x, z, angle, 1.25f, 5.0f, s[1], s[1] - H, kObjRailPart, baluster)
                            : AppendPrismPart(staircase, x, z, angle, 1.0f, 1.0f, s[1], s[1] - H, kObjRailPart, baluster);
      if (part && !framing) part->penColor = FirstPointMaterial(staircase).color;
    }
  }
  if (framing) {
    AppendBarPart(staircase, s[0], s[2], e[0], e[2], 5.0f, s[1], e[1], 2.5f, kObjRailPart, FramingLumber());
  } else if (Objex* rail = AppendBarPart(staircase, s[0], s[2], e[0], e[2], 2.0f, s[1] - H, e[1] - H, 2.0f,
                                         kObjRailPart, slot1)) {
    rail->penColor = FirstPointMaterial(staircase).color;
  }
  if (trimStart) ConstructBaluster(start, angle, staircase, h + 4.0f, 0, slot1.texture, slot1.color, slot1.scale);
  if (trimEnd) ConstructBaluster(end, angle, staircase, h + 4.0f, 0, slot1.texture, slot1.color, slot1.scale);
}

void ConstructCurvedRailSpan(Objex* railing) {
  Layer* layer = PartLayer(railing);
  if (!railing || !layer || !CurDocState()) return;
  const int32_t count = CountPoints(railing);
  if (count < 2) return;
  const float H = Screen(railing->type == kObjStaircase ? StairHandrailHeightOf(railing) : RailHeightOf(railing));
  std::vector<float> lower, upper, in, out;
  for (const Poinz* p = railing->firstPoint; p; p = p->next) {
    lower.insert(lower.end(), p->position, p->position + 3);
    upper.insert(upper.end(), {p->position[0], p->position[1] - H, p->position[2]});
    in.insert(in.end(), p->inHandle, p->inHandle + 3);
    out.insert(out.end(), p->outHandle, p->outHandle + 3);
  }
  Objex* part = BuildOpenPoly(lower.data(), upper.data(), in.data(), out.data(), in.data(), out.data(), count, layer, 0);
  if (!part) return;
  UnlinkObject(part);
  part->layer = nullptr;
  part->type = kObjRailPart;
  DressPart(part, MaterialSlot1(railing));
  AppendGeneratedPart(railing, part);
}

void ConstructTexturedRailing(const float start[3], float angle, float length, Objex* owner, int32_t texture,
                              RGBColor color, ShortPoint scale) {
  Layer* layer = PartLayer(owner);
  if (!start || !owner || !layer || !CurDocState()) return;
  const float H = Screen(owner->type == kObjStaircase ? StairHandrailHeightOf(owner) : RailHeightOf(owner));
  float dx, dz;
  Along(angle, length, &dx, &dz);
  const float ring[12] = {start[0],      start[1], start[2],      start[0] + dx, start[1],     start[2] + dz,
                          start[0] + dx, start[1] - H, start[2] + dz, start[0],      start[1] - H, start[2]};
  const float handles[12] = {};
  Objex* part = BuildClosedPoly(ring, nullptr, handles, handles, nullptr, nullptr, 4, layer, 0);
  if (!part) return;
  UnlinkObject(part);
  part->layer = nullptr;
  part->type = kObjRailPart;
  part->subtype = kSubTexturedRailing;
  part->capped = 1;
  DressPart(part, PartMaterial{texture, color, scale});
  AppendGeneratedPart(owner, part);
}

void UpdateRailLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (o->type == kObjRailing) UpdateRailObject(o);
}

void UpdateRailAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) UpdateRailLayer(l);
}
