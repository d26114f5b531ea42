// Decks in 3D: skirting bands, railings with corner posts and gaps for steps, curved railings
// of spindles, and the flights of the deck steps on the staircase builder.
#include "building3d/Decks3D.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "building3d/DeckSteps3D.h"
#include "building3d/Railings3D.h"
#include "building3d/RepeatLimit.h"
#include "building3d/Stairs3D.h"
#include "model/CommandCodes.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/StairFields.h"

uint8_t gBuildingCurvedDeck = 0;

namespace {

constexpr float kSkirtingDepth = 12.0f;   // plan units under the deck edge
constexpr float kPostAboveRail = 4.0f;    // world units a post stands above its railing
constexpr float kStepRiserTarget = 7.0f;  // world inches
constexpr float kStepTread = 10.0f;       // world inches
constexpr float kHalfPi = static_cast<float>(std::numbers::pi / 2);

float Screen(float world) { return ConvertWorldToScreen(world, CurDocState(), 0); }

Layer* BuildLayerFor(const Objex* deck) {
  if (deck->layer) return deck->layer;
  return gCurDocument ? gCurDocument->itsCurLayer : nullptr;
}

bool Curved(const Poinz* a, const Poinz* b) {
  for (int i = 0; i < 3; ++i)
    if (a->outHandle[i] != 0 || b->inHandle[i] != 0) return true;
  return false;
}

bool HasFlag(const Poinz* p, int32_t flag) { return (p->segmentFlags & flag) != 0; }

Poinz* LastPoint(Objex* object) {
  Poinz* p = object->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

// Calls visit(p, next) for every consecutive pair and once for (last, first).
template <typename Visit>
void ForEachSegment(Objex* object, Visit visit) {
  Poinz* first = object->firstPoint;
  if (!first || !first->next) return;
  Poinz* p = first;
  for (; p->next; p = p->next) visit(p, p->next);
  visit(p, first);
}

struct Hermite {
  float co[3][4];
  Hermite(const Poinz* a, const Poinz* b) {
    for (int axis = 0; axis < 3; ++axis)
      SetupSpline(a->position[axis], a->outHandle[axis], b->position[axis], b->inHandle[axis], &co[axis][0],
                  &co[axis][1], &co[axis][2], &co[axis][3]);
  }
  void at(float t, float* out) const {
    for (int axis = 0; axis < 3; ++axis)
      out[axis] = GetSplineCoord(co[axis][0], co[axis][1], co[axis][2], co[axis][3], t, t * t, t * t * t);
  }
};

void Along(const float* from, float angle, float distance, float* out) {
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, distance, &dx, &dz);
  out[0] = from[0] + dx;
  out[1] = from[1];
  out[2] = from[2] + dz;
}

PartMaterial RailMaterial(const Objex* deck) { return MaterialSlot2(deck); }

void Post(Objex* deck, const float* at, float angle, float height) {
  const PartMaterial m = RailMaterial(deck);
  ConstructBaluster(at, angle, deck, height, 1, m.texture, m.color, m.scale);
}

void Rail(Objex* deck, const float* from, const float* to, float angle, float height) {
  const PartMaterial m = RailMaterial(deck);
  ConstructRailing(from, to, angle, deck, height, DeckSpindleSpacingOf(deck), m.texture, m.color, m.scale);
}

// One flight of steps down from the deck edge S -> E: `width` and `heightScreen` plan units,
// centred `centre` from S.
void BuildFlight(Objex* deck, Poinz* s, Poinz* e, float width, float heightScreen, float centre, int32_t leftRail,
                 int32_t rightRail, uint8_t skirt) {
  DocState* ds = CurDocState();
  float rise = std::min(DeckHeightOf(deck), ConvertScreenToWorld(heightScreen, ds, 0));
  // A flight of no rise is one step at the deck's edge; a negative or unreadable rise (only
  // from a damaged design) builds none.
  if (!(rise >= 0)) return;
  const int32_t count = LimitRepeats(std::floor(static_cast<double>(rise) / kStepRiserTarget + 0.5));
  const float riser = rise / static_cast<float>(count);
  const float ground = s->position[1] + Screen(rise);
  const float run = Screen(kStepTread) * static_cast<float>(count);

  gInitializeStairs = 1;
  gFinalStairSegment = 0;
  gPlaceFinalBalusters = 0;
  gStairHeightAccum = 0;
  gStairStringerHeightAccum = 0;

  float length = 0;
  const float angle = GetLineLengthAndAngle(s->position[0], s->position[2], e->position[0], e->position[2], &length);
  const float half = width > length ? length / 2 : width / 2;
  float p1[3], p2[3];
  Along(s->position, angle, centre + half, p1);
  Along(s->position, angle, centre - half, p2);
  float off[3] = {0, 0, 0};
  if (GetParallelDirection(deck) != 1) {
    GetPointFromLengthAndAngle(angle + kHalfPi, run, &off[0], &off[2]);
  } else {
    GetPointFromLengthAndAngle(angle - kHalfPi, run, &off[0], &off[2]);
    std::swap(p1, p2);
  }
  float leftStart[3] = {p1[0] + off[0], p1[1], p1[2] + off[2]};
  float rightStart[3] = {p2[0] + off[0], p2[1], p2[2] + off[2]};
  gFinalStairSegment = 1;
  UpdateStraightStairSegment(deck, leftStart, p1, rightStart, p2, -s->position[1], ground, riser, kStepTread, leftRail,
                             rightRail, RailingHeightOf(s), MaterialSlot1(deck), RailMaterial(deck), skirt, 0);
  gInitializeStairs = 0;
}

}  // namespace

void ConvertCurvedDeckSegmentToPolygon(Objex* object, Poinz* a, Poinz* b) {
  DocState* ds = CurDocState();
  if (!object || !a || !b || !ds || !Curved(a, b)) return;
  const int32_t n = ds->curveSegments > 1 ? LimitRepeats(ds->curveSegments) : 2;
  const Hermite curve(a, b);
  const float step = 1.0f / static_cast<float>(n);
  float t = 0;
  Poinz* after = a;
  for (int32_t i = 1; i < n; ++i) {
    t += step;
    float at[3];
    curve.at(t, at);
    Poinz* p = CreatePoint(9, 0, 0, 0, 0, 0, at[0], at[1], at[2], 0, 0, 0, 0, 0, 0, object);
    if (!p) break;
    RailingHeightOf(p) = RailingHeightOf(a);
    p->segmentFlags = a->segmentFlags & ~kDeckSegmentPost;
    InsertPointInObject(p, object, after);
    after = p;
  }
  for (int i = 0; i < 3; ++i) a->outHandle[i] = b->inHandle[i] = 0;
}

void ConvertCurvedDeckToPolygonDeck(Objex* deck) {
  if (!deck || !deck->firstPoint) return;
  Poinz* first = deck->firstPoint;
  Poinz* last = LastPoint(deck);
  for (Poinz* p = first; p && p->next;) {
    Poinz* next = p->next;
    ConvertCurvedDeckSegmentToPolygon(deck, p, next);
    p = next;
  }
  if (deck->closed && last != first) ConvertCurvedDeckSegmentToPolygon(deck, last, first);
}

void CreateDeckSkirting(Objex* deck, Poinz* a, Poinz* b) {
  if (!deck || !a || !b || !CurDocState()) return;
  Layer* layer = BuildLayerFor(deck);
  if (!layer) return;
  const float yb = HasFlag(a, kDeckSegmentSkirtingToGround) ? 0.0f : a->position[1] + kSkirtingDepth;
  const float ring1[6] = {a->position[0], yb, a->position[2], b->position[0], yb, b->position[2]};
  const float ring2[6] = {a->position[0], a->position[1], a->position[2], b->position[0], b->position[1], b->position[2]};
  const float zero[6] = {};
  Objex* band = BuildOpenPoly(ring1, ring2, zero, zero, zero, zero, 2, layer, 1);
  if (!band) return;
  UnlinkObject(band);
  band->layer = nullptr;
  band->type = kObjSkirting;
  band->closed = 0;
  for (Poinz* p = band->firstPoint; p; p = p->next)
    for (int s = 0; s < 2; ++s) {
      p->textureID[s] = deck->textureID;
      p->color[s] = deck->penColor;
      p->textureScale[s] = deck->textureScale;
    }
  AppendGeneratedPart(deck, band);
}

void CreateDeckRailing(Objex* deck, Poinz* a, Poinz* b) {
  if (!deck || !a || !b || !CurDocState()) return;
  float postHeight = RailingHeightOf(a) + kPostAboveRail;
  float length = 0;
  const float angle = GetLineLengthAndAngle(a->position[0], a->position[2], b->position[0], b->position[2], &length);
  if (HasFlag(a, kDeckSegmentPost)) {
    Poinz* prev = a->prev ? a->prev : LastPoint(deck);
    if (prev && HasFlag(prev, kDeckSegmentRailing) && RailingHeightOf(prev) + kPostAboveRail > postHeight)
      postHeight = RailingHeightOf(prev) + kPostAboveRail;
    Post(deck, a->position, angle, postHeight);
  }
  if (!HasFlag(a, kDeckSegmentRailing)) return;
  if (Curved(a, b)) {
    CreateCurvedDeckRailing(deck, a, b);
    return;
  }
  // The steps on this segment, nearest to A first (equal offsets keep their child order).
  std::vector<DeckStepsData*> run;
  for (Objex* c = deck->firstChild; c; c = c->next) {
    auto* r = c->type == kObjDeckSteps ? static_cast<DeckStepsData*>(c->typeData) : nullptr;
    if (r && SegmentStartOf(r) == a) run.push_back(r);
  }
  std::stable_sort(run.begin(), run.end(),
                   [](DeckStepsData* x, DeckStepsData* y) { return CentreOffsetOf(x) < CentreOffsetOf(y); });
  for (size_t i = 0; i < run.size(); ++i) {
    PrevOnSegmentOf(run[i]) = i > 0 ? run[i - 1] : nullptr;
    NextOnSegmentOf(run[i]) = i + 1 < run.size() ? run[i + 1] : nullptr;
  }
  if (run.empty()) {
    Rail(deck, a->position, b->position, angle, RailingHeightOf(a));
    return;
  }
  const bool inward = GetParallelDirection(deck) == 1;
  float start[3] = {a->position[0], a->position[1], a->position[2]};
  for (DeckStepsData* r : run) {
    const float half = r->width > length ? length / 2 : r->width / 2;
    float g1[3], g2[3];
    Along(a->position, angle, CentreOffsetOf(r) - half, g1);
    Along(a->position, angle, CentreOffsetOf(r) + half, g2);
    Rail(deck, start, g1, angle, RailingHeightOf(a));
    const bool left = StepsLeftRailOf(r) != 0, right = StepsRightRailOf(r) != 0;
    if (inward) {
      if (!right) Post(deck, g2, angle, postHeight);
      if (!left) Post(deck, g1, angle, postHeight);
    } else {
      if (!right) Post(deck, g1, angle, postHeight);
      if (!left) Post(deck, g2, angle, postHeight);
    }
    std::copy(g2, g2 + 3, start);
  }
  Rail(deck, start, b->position, angle, RailingHeightOf(a));
}

void CreateCurvedDeckRailing(Objex* deck, Poinz* a, Poinz* b) {
  DocState* ds = CurDocState();
  if (!deck || !a || !b || !ds) return;
  RepeatLimitReport report(deck);
  float spacing = Screen(DeckSpindleSpacingOf(deck));
  // A spacing of nothing would never advance along the curve.
  if (!(spacing > 0)) spacing = 1.0f;
  const int32_t samples = LimitRepeats(8.0 * std::max<int32_t>(ds->curveSegments, 1));
  const float dt = 1.0f / static_cast<float>(samples);
  const Hermite curve(a, b);
  // The chords of the walk: t = dt, 2 dt, ... while t <= 1.01 (a little past the end point).
  std::vector<std::array<float, 3>> along;
  along.reserve(static_cast<size_t>(samples) + 2);
  along.push_back({});
  curve.at(0, along.back().data());
  float length = 0;
  for (int32_t i = 1; dt * static_cast<float>(i) <= 1.01f; ++i) {
    along.push_back({});
    curve.at(dt * static_cast<float>(i), along.back().data());
    const auto& p = along[along.size() - 2];
    const auto& q = along.back();
    length += GetLineLength(p[0], p[2], q[0], q[2]);
  }
  // Spindles closer than the run allows are spread over it at the limit.
  spacing = LimitSpacing(length, spacing);
  float carry = spacing;
  int32_t placed = 0;
  gInitializeRailing = 1;
  const PartMaterial m = RailMaterial(deck);
  const float height = RailingHeightOf(a);
  for (size_t k = 1; k < along.size(); ++k) {
    const float* prev = along[k - 1].data();
    const float* q = along[k].data();
    const bool lastChord = k + 1 == along.size();
    float chord = 0;
    const float angle = GetLineLengthAndAngle(prev[0], prev[2], q[0], q[2], &chord);
    float walked = 0;
    while (chord > 0) {
      const float d = spacing - carry;
      if (chord >= d) {
        // Every spindle counts, so that a walk that floats cannot shorten never runs on.
        if (!CountRepeat(placed)) return;
        float at[3];
        Along(prev, angle, walked + d, at);
        const uint8_t keep =
            lastChord ? (GetLineLength(at[0], at[2], b->position[0], b->position[2]) >= spacing ? 1 : 0) : 1;
        AppendDeckRailSpindle(deck, at[0], prev[1], at[2], angle, height, m.texture, m.color, m.scale, keep);
        carry = 0;
        chord -= d;
        walked += d;
      } else {
        if (lastChord)
          AppendDeckRailSpindle(deck, b->position[0], prev[1], b->position[2], angle, height, m.texture, m.color,
                                m.scale, 0);
        carry += chord;
        chord = 0;
      }
    }
  }
}

void CreateDeckAttachmentSteps(Objex* deck, Poinz* s, Poinz* e, Objex* steps) {
  if (!deck || !s || !e || !steps || !CurDocState()) return;
  auto* r = static_cast<DeckStepsData*>(steps->typeData);
  if (!r) return;
  BuildFlight(deck, s, e, r->width, r->height, CentreOffsetOf(r), StepsLeftRailOf(r), StepsRightRailOf(r),
              HasFlag(s, kDeckSegmentSkirtingToGround) ? 1 : 0);
}

void CreateDeckSteps(Objex* deck, Poinz* a, Poinz* b) {
  if (!deck || !a || !b || !CurDocState()) return;
  const float length = GetLineLength(a->position[0], a->position[2], b->position[0], b->position[2]);
  BuildFlight(deck, a, b, Screen(PointStepWidthOf(a)), Screen(PointStepHeightOf(a)), length / 2,
              HasFlag(a, kDeckSegmentLeftStepRail) ? 1 : 0, HasFlag(a, kDeckSegmentRightStepRail) ? 1 : 0,
              HasFlag(a, kDeckSegmentSkirtingToGround) ? 1 : 0);
}

namespace building3d {
void Update3DDeck(Objex* deck) {
  NoteServiceCall("Update3DDeck", deck);
  if (!deck || deck->type != kObjDeck || !CurDocState()) return;
  RepeatLimitReport report(deck);
  DeleteRendererObject(deck);
  DeleteGeneratedParts(deck);
  UpdateAllDeckAttachments(deck);
  if (!deck->firstPoint || !deck->firstPoint->next) return;
  RailListScope scope(deck);

  bool curved = false;
  for (const Poinz* p = deck->firstPoint; p && !curved; p = p->next)
    for (int i = 0; i < 3; ++i)
      if (p->inHandle[i] != 0 || p->outHandle[i] != 0) curved = true;
  if (curved) {
    Objex* copy = DuplicateObject(deck, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
    if (copy) {
      ConvertCurvedDeckToPolygonDeck(copy);
      gBuildingCurvedDeck = 1;
      ForEachSegment(copy, [&](Poinz* p, Poinz* q) { CreateDeckSkirting(deck, p, q); });
      DeleteObj(copy);
      gBuildingCurvedDeck = 0;
    }
  } else {
    ForEachSegment(deck, [&](Poinz* p, Poinz* q) { CreateDeckSkirting(deck, p, q); });
  }
  ForEachSegment(deck, [&](Poinz* p, Poinz* q) { CreateDeckRailing(deck, p, q); });
  for (Objex* child = deck->firstChild; child; child = child->next) {
    if (child->type != kObjDeckSteps) continue;
    auto* r = static_cast<DeckStepsData*>(child->typeData);
    if (r && SegmentStartOf(r) && SegmentEndOf(r)) CreateDeckAttachmentSteps(deck, SegmentStartOf(r), SegmentEndOf(r), child);
  }
}
}  // namespace building3d

void Update3DDeckLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (o->type == kObjDeck) Update3DDeck(o);
}

void Update3DDeckAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) Update3DDeckLayer(l);
}
