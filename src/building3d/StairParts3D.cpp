// Stringers, underside panels and landings of straight staircases (and the stringers of
// deck steps).
#include "building3d/StairParts3D.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "building3d/Railings3D.h"
#include "building3d/Stairs3D.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/StairFields.h"
#include "model/TextureFace.h"

namespace {

constexpr float kHalfPi = static_cast<float>(std::numbers::pi / 2);

float Screen(float world) { return ConvertWorldToScreen(world, CurDocState(), 0); }

void Along(float angle, float length, float* dx, float* dz) {
  *dx = 0;
  *dz = 0;
  GetPointFromLengthAndAngle(angle, length, dx, dz);
}

Layer* PartLayer(const Objex* owner) {
  if (owner && owner->layer) return owner->layer;
  return gCurDocument ? gCurDocument->itsCurLayer : nullptr;
}

// The material on every point of the part, and its colour as the part's pen colour unless the
// part keeps the pen it was made with.
void Dress(Objex* part, const PartMaterial& m, bool materialPen = true) {
  if (materialPen) part->penColor = m.color;
  for (Poinz* p = part->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = m.texture;
    p->color[0] = p->color[1] = m.color;
    p->textureScale[0] = p->textureScale[1] = m.scale;
  }
}

// A one-ring closed polygon of the points (x, y, z triples), made with the document's pen
// and fill colours, off every layer; null when memory is short.
Objex* NewRing(Objex* owner, const std::vector<float>& xyz) {
  DocState* ds = CurDocState();
  Layer* layer = PartLayer(owner);
  if (!ds || !layer || xyz.size() < 9) return nullptr;
  Objex* ring = CreateObject(kObjClosedPoly, 1, 1, &ds->newPenColor, &ds->newFillColor, 1.0f, 6, 0, nullptr, nullptr,
                             nullptr, nullptr, layer, nullptr);
  if (!ring) return nullptr;
  for (size_t i = 0; i + 2 < xyz.size(); i += 3) {
    Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, xyz[i], xyz[i + 1], xyz[i + 2], 0, 0, 0, 0, 0, 0, ring);
    if (!p) {
      DeleteObj(ring);
      return nullptr;
    }
    AppendPointToObject(p, ring);
  }
  ring->layer = nullptr;
  ring->levels = 1;
  ring->capped = 1;
  return ring;
}

void FinishRing(Objex* owner, Objex* ring, const PartMaterial& m, bool materialPen = true) {
  Dress(ring, m, materialPen);
  SetObjectPointLengths(ring);
  SetTextureFaceUV(ring);
  UpdateObjectBounds(ring);
  AppendGeneratedPart(owner, ring);
}

// The positions of a ring's points, in order.
std::vector<const Poinz*> RingPoints(const Objex* o) {
  std::vector<const Poinz*> points;
  for (const Poinz* p = o->firstPoint; p; p = p->next) points.push_back(p);
  return points;
}

void Push(std::vector<float>& xyz, const Poinz* p) { xyz.insert(xyz.end(), p->position, p->position + 3); }

}  // namespace

Objex* BuildStaircaseStraightStringer(Objex* object, const float sideStart[3], float angle, float stepRun, float riser,
                                      float total, float y0, int32_t steps, int32_t segmentIndex, uint8_t skirtWalls,
                                      uint8_t isLeft, int32_t* underCount) {
  if (underCount) *underCount = 0;
  if (!object || !sideStart || !CurDocState()) return nullptr;
  const bool deck = object->type == kObjDeck;
  const bool skirt = skirtWalls != 0;
  float ux, uz, ox, oz;
  Along(angle, 1.0f, &ux, &uz);
  Along(angle + (isLeft ? kHalfPi : -kHalfPi), 0.1f, &ox, &oz);
  std::vector<float> xyz;
  auto at = [&](float distance, float level) {
    xyz.insert(xyz.end(), {sideStart[0] + distance * ux + ox, level, sideStart[2] + distance * uz + oz});
  };

  const float entry = gStairStringerHeightAccum;
  const bool laterFlight = segmentIndex > 0 && !skirt;
  const float s = laterFlight ? y0 + riser : y0;
  at(0, s);
  const float firstDrop = laterFlight ? s - 2 * riser : s - riser;
  const bool closedStringer = !deck && object->penStyle != 0;
  int32_t counted = 0;
  float lastTop = firstDrop, lastEnd = 0;
  for (int32_t i = 0; i < steps && gStairStringerHeightAccum <= total; ++i) {
    const float top = firstDrop - gStairStringerHeightAccum;
    if (!closedStringer) {
      at(stepRun * static_cast<float>(i), top + 3.0f);
      at(stepRun * static_cast<float>(i + 1), top + 3.0f);
    } else if (i == 0) {
      at(0, top);
    }
    lastTop = top;
    lastEnd = stepRun * static_cast<float>(i + 1);
    gStairStringerHeightAccum += riser;
    ++counted;
  }
  if (counted == 0) {
    gStairStringerHeightAccum += riser;
    return nullptr;
  }
  if (closedStringer) at(lastEnd, lastTop - riser);

  int32_t under = 0;
  if (skirt) {
    at(lastEnd, y0);
  } else {
    at(lastEnd, lastTop + riser);
    ++under;
    // A long base stands the stringer on the base level up to the end of the second step
    // (a one-step flight keeps its base under that step rather than past the flight's end).
    const bool longBase = object->fillPattern != 0 && steps >= 2;
    const float baseLevel = deck && !longBase ? y0 : y0 - entry;
    const float baseAt = longBase ? 2 * stepRun : stepRun;
    if (longBase && segmentIndex == 0 && steps >= 3) {
      at(baseAt, baseLevel - riser);
      ++under;
    }
    at(baseAt, baseLevel);
    ++under;
    if (!deck) xyz[1] = segmentIndex == 0 ? y0 - entry : y0 + riser - entry;
  }
  gStairStringerHeightAccum += riser;

  Objex* stringer = NewRing(object, xyz);
  if (!stringer) return nullptr;
  const PartMaterial m =
      deck ? PartMaterial{object->textureID, object->penColor, object->textureScale} : FirstPointMaterial(object);
  // The stringer keeps the document's pen and fill colours it was made with; only its points
  // carry the material.
  FinishRing(object, stringer, m, false);
  if (underCount) *underCount = under;
  return stringer;
}

void BuildStaircaseBottomPaneling(Objex* st, Objex* leftStringer, Objex* rightStringer, int32_t leftCount,
                                  int32_t rightCount, int32_t segmentIndex) {
  if (!st || !leftStringer || !rightStringer || st->type == kObjDeck) return;
  if (ClosedStepsOf(st) != 1.0f || SkirtWallsOf(st) != 0) return;
  if (leftCount != rightCount || leftCount < 1) return;
  const std::vector<const Poinz*> L = RingPoints(leftStringer), R = RingPoints(rightStringer);
  const int32_t count = leftCount;
  if (static_cast<int32_t>(L.size()) <= count || static_cast<int32_t>(R.size()) <= count) return;
  const size_t lu = L.size() - count, ru = R.size() - count;  // first underside point of each
  const PartMaterial m = FirstPointMaterial(st);
  auto panel = [&](const std::vector<float>& xyz) {
    if (Objex* ring = NewRing(st, xyz)) FinishRing(st, ring, m);
  };
  std::vector<float> xyz;
  if (segmentIndex == 0 && LongStringerBaseOf(st) != 0 && count > 2) {
    for (size_t i = lu; i + 1 < L.size(); ++i) Push(xyz, L[i]);
    for (size_t i = R.size() - 1; i-- > ru;) Push(xyz, R[i]);
    panel(xyz);
    xyz.clear();
    Push(xyz, L.back());
    Push(xyz, L.front());
    Push(xyz, R.front());
    Push(xyz, R.back());
    panel(xyz);
  } else if (count == 1) {
    if (segmentIndex == 0) return;
    Push(xyz, L.back());
    Push(xyz, L.front());
    Push(xyz, R.front());
    Push(xyz, R.back());
    panel(xyz);
  } else {
    for (size_t i = lu; i < L.size(); ++i) Push(xyz, L[i]);
    for (size_t i = R.size(); i-- > ru;) Push(xyz, R[i]);
    panel(xyz);
  }
}

void BuildStairLanding(Objex* st, float leftStart[3], const float*, float rightStart[3], const float*,
                       const float leftCorner[3], const float leftNext[3], const float rightCorner[3],
                       const float rightNext[3], float, float y0) {
  const DocState* ds = CurDocState();
  if (!st || !ds || !leftStart || !rightStart || !leftCorner || !leftNext || !rightCorner || !rightNext) return;
  const float r = Screen(st->params[1]);
  const float a = gStairHeightAccum;
  const float leftGap = GetLineLength(leftStart[0], leftStart[2], leftCorner[0], leftCorner[2]);
  const float rightGap = GetLineLength(rightStart[0], rightStart[2], rightCorner[0], rightCorner[2]);
  const bool outerLeft = leftGap > rightGap;
  const float* outerEnd = outerLeft ? leftStart : rightStart;
  const float* outerCorner = outerLeft ? leftCorner : rightCorner;
  const float* innerCorner = outerLeft ? rightCorner : leftCorner;
  const float* innerNext = outerLeft ? rightNext : leftNext;

  // The third corner: one stair width from the inner corner, square to the next flight, on
  // the outer side.
  float nextLength = 0;
  const float nextAngle =
      GetLineLengthAndAngle(innerCorner[0], innerCorner[2], innerNext[0], innerNext[2], &nextLength);
  float wx, wz;
  Along(nextAngle + (outerLeft ? kHalfPi : -kHalfPi), Screen(StairWidthOf(st)), &wx, &wz);
  const float third[3] = {innerCorner[0] + wx, innerCorner[1], innerCorner[2] + wz};

  // The landing block: the profile of a step at the current rise.
  const bool closed = ClosedStepsOf(st) != 0;
  const float bottom = closed ? y0 - a : y0 - (a + 0.75f * r);
  const float top = closed ? y0 - a - r : y0 - (a + r);
  const float corners[8] = {outerEnd[0], outerEnd[2], outerCorner[0], outerCorner[2],
                            third[0],    third[2],    innerCorner[0], innerCorner[2]};
  const float b[4] = {bottom, bottom, bottom, bottom}, t[4] = {top, top, top, top};
  const PartMaterial firstPoint = FirstPointMaterial(st);
  if (Objex* block = AppendBoxPart(st, corners, b, t, kObjStairTread, MaterialSlot2(st)))
    block->penColor = firstPoint.color;

  // Side panels under the two outer edges, 0.1 outside them.
  const bool skirt = SkirtWallsOf(st) != 0;
  const float centreX = (outerEnd[0] + outerCorner[0] + third[0] + innerCorner[0]) / 4;
  const float centreZ = (outerEnd[2] + outerCorner[2] + third[2] + innerCorner[2]) / 4;
  const float* edges[2][2] = {{outerEnd, outerCorner}, {outerCorner, third}};
  if (!ds->framingView) {
    const float panelTop = top + 3.0f;
    const float panelBottom = skirt ? y0 : y0 - a + r + 3.0f;
    Layer* layer = st->layer ? st->layer : gCurDocument->itsCurLayer;
    for (const auto& edge : edges) {
      float length = 0;
      const float angle = GetLineLengthAndAngle(edge[0][0], edge[0][2], edge[1][0], edge[1][2], &length);
      float ox, oz;
      Along(angle + kHalfPi, 0.1f, &ox, &oz);
      const float mx = (edge[0][0] + edge[1][0]) / 2, mz = (edge[0][2] + edge[1][2]) / 2;
      if ((mx + ox - centreX) * (mx + ox - centreX) + (mz + oz - centreZ) * (mz + oz - centreZ) <
          (mx - centreX) * (mx - centreX) + (mz - centreZ) * (mz - centreZ)) {
        ox = -ox;
        oz = -oz;
      }
      const float lower[6] = {edge[0][0] + ox, panelBottom, edge[0][2] + oz,
                              edge[1][0] + ox, panelBottom, edge[1][2] + oz};
      const float upper[6] = {edge[0][0] + ox, panelTop, edge[0][2] + oz, edge[1][0] + ox, panelTop, edge[1][2] + oz};
      const float handles[6] = {};
      Objex* panel = layer ? BuildGeneralPoly(lower, upper, handles, handles, handles, handles, 2, layer, 0,
                                              kObjStairLandingPart, 0, 0)
                           : nullptr;
      if (!panel) continue;
      panel->layer = nullptr;
      panel->capped = 1;
      Dress(panel, firstPoint);
      AppendGeneratedPart(st, panel);
    }
  }

  gStairHeightAccum += r;

  // Posts and rails.
  const float h = StairHandrailHeightOf(st);
  const PartMaterial slot1 = MaterialSlot1(st);
  const float landingTop = y0 - gStairHeightAccum;
  float e1Length = 0, e2Length = 0;
  const float angle1 = GetLineLengthAndAngle(outerEnd[0], outerEnd[2], outerCorner[0], outerCorner[2], &e1Length);
  const float angle2 = GetLineLengthAndAngle(outerCorner[0], outerCorner[2], third[0], third[2], &e2Length);
  if (ds->framingView && skirt) {
    const float s1[3] = {outerEnd[0], y0, outerEnd[2]}, c1[3] = {outerCorner[0], y0, outerCorner[2]};
    const float t1[3] = {third[0], y0, third[2]};
    ConstructRail(s1, c1, angle1, st, 0, 0);
    ConstructRail(c1, t1, angle2, st, 0, 0);
  } else {
    // The insets move each outer edge 5.0 inward, square to its flight.
    float i1x, i1z, i2x, i2z;
    Along(angle1 + (outerLeft ? -kHalfPi : kHalfPi), 5.0f, &i1x, &i1z);
    Along(angle2 + (outerLeft ? -kHalfPi : kHalfPi), 5.0f, &i2x, &i2z);
    const int32_t innerRail = outerLeft ? RightRailOf(st) : LeftRailOf(st);
    const int32_t outerRail = outerLeft ? LeftRailOf(st) : RightRailOf(st);
    if (innerRail == 1) {
      const float post[3] = {innerCorner[0] - (i1x + i2x) / 1.5f, landingTop, innerCorner[2] - (i1z + i2z) / 1.5f};
      ConstructBaluster(post, angle2, st, h + 4.0f, 0, slot1.texture, slot1.color, slot1.scale);
    }
    if (outerRail == 1) {
      const float s1[3] = {outerEnd[0] + i1x, landingTop, outerEnd[2] + i1z};
      const float e1[3] = {outerCorner[0] + i1x, landingTop, outerCorner[2] + i1z};
      const float s2[3] = {outerCorner[0] + i2x, landingTop, outerCorner[2] + i2z};
      const float e2[3] = {third[0] + i2x, landingTop, third[2] + i2z};
      ConstructRail(s1, e1, angle1, st, 1, 1);
      ConstructRail(s2, e2, angle2, st, 0, 1);
    }
  }

  // The next flight starts at the third corner (outer side) and the inner corner.
  float* outerStart = outerLeft ? leftStart : rightStart;
  float* innerStart = outerLeft ? rightStart : leftStart;
  memcpy(outerStart, third, sizeof(third));
  memcpy(innerStart, innerCorner, 3 * sizeof(float));
}
