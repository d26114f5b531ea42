// Fences and gates in 3D: pickets, rail pieces, gate leaves and panels of the built-in styles,
// spans and posts of the custom style, each a closed polygon in the fence's part list.
#include "building3d/SiteFences3D.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "building3d/Railings3D.h"
#include "building3d/RepeatLimit.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/ShapeBuilders.h"

namespace {

constexpr float kHalfPi = static_cast<float>(std::numbers::pi / 2);
constexpr float kPicketPoint = 8.0f;   // a picket's pointed top rises this much
constexpr float kGateLeafWidth = 6.0f;
constexpr float kGatePanelArch = 6.0f;  // the centre panel's top rises this much in its middle
constexpr float kPostFoot = 1.0f;       // posts start this far above their anchor

// The material of one piece: both sides of every point, the first colour as pen colour.
struct PieceMaterial {
  int32_t texture[2];
  RGBColor color[2];
  ShortPoint scale[2];
};

PieceMaterial PointMaterial(const Poinz* p) {
  return {{p->textureID[0], p->textureID[1]}, {p->color[0], p->color[1]}, {p->textureScale[0], p->textureScale[1]}};
}
PieceMaterial SlotMaterial(int32_t texture, RGBColor color, ShortPoint scale) {
  return {{texture, texture}, {color, color}, {scale, scale}};
}

// Sizes of the built-in styles: picket width, fence height, gap, rail board height.
struct BuiltInStyle {
  float picket, height, gap, board;
};
bool StyleSizes(int32_t style, BuiltInStyle* out) {
  switch (style) {
    case kFenceStylePicket: *out = {12.0f, 72.0f, 6.0f, 8.0f}; return true;
    case kFenceStyleRanch: *out = {12.0f, 96.0f, 6.0f, 8.0f}; return true;
    case kFenceStyleRail: *out = {16.0f, 72.0f, 6.0f, 8.0f}; return true;
    case kFenceStylePrivacy: *out = {10.0f, 144.0f, 0.0f, 0.0f}; return true;
    default: return false;
  }
}

Layer* PieceLayer(const Objex* fence) {
  if (fence->layer) return fence->layer;
  return gCurDocument ? gCurDocument->itsCurLayer : nullptr;
}

// A closed polygon (one ring, or two rings of `count` points each when `second` is given),
// typed as a fence piece, dressed and appended to the fence's list.
Objex* BuildPiece(Objex* fence, const std::vector<float>& first, const std::vector<float>* second,
                  const PieceMaterial& m, int32_t subtype) {
  Layer* layer = PieceLayer(fence);
  if (!layer || !fence->firstPoint) return nullptr;
  const int32_t count = static_cast<int32_t>(first.size() / 3);
  std::vector<float> handles(first.size(), 0.0f);
  Objex* piece = BuildClosedPoly(first.data(), second ? second->data() : nullptr, handles.data(), handles.data(),
                                 handles.data(), handles.data(), count, layer, 0);
  if (!piece) return nullptr;
  UnlinkObject(piece);
  piece->layer = nullptr;
  piece->type = kObjFence;
  piece->subtype = subtype;
  piece->capped = 1;
  piece->penColor = m.color[0];
  for (Poinz* p = piece->firstPoint; p; p = p->next) {
    for (int s = 0; s < 2; ++s) {
      p->textureID[s] = m.texture[s];
      p->color[s] = m.color[s];
      p->textureScale[s] = m.scale[s];
    }
  }
  AppendGeneratedPart(fence, piece);
  return piece;
}

// A flat piece in the section's vertical plane: corners given as (distance along from the
// anchor, stored height y).
Objex* BuildFlatPiece(Objex* fence, float x, float z, float angle, std::initializer_list<std::pair<float, float>> corners,
                      const PieceMaterial& m, int32_t subtype = 0) {
  std::vector<float> ring;
  ring.reserve(corners.size() * 3);
  for (auto [along, y] : corners) {
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(angle, along, &dx, &dz);
    ring.insert(ring.end(), {x + dx, y, z + dz});
  }
  return BuildPiece(fence, ring, nullptr, m, subtype);
}

// The anchor `distance` along the section from a (x and z; the height stays a's).
void AlongSection(const Poinz* a, float angle, float distance, float* x, float* z) {
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, distance, &dx, &dz);
  *x = a->position[0] + dx;
  *z = a->position[2] + dz;
}

float SectionLengthAndAngle(const Poinz* a, const Poinz* b, float* length) {
  return GetLineLengthAndAngle(a->position[0], a->position[2], b->position[0], b->position[2], length);
}

float Screen(float world) { return ConvertWorldToScreen(world, CurDocState(), 0); }

// Pickets, rail pieces and custom spans wear the material of the fence's first point.
PieceMaterial BoardMaterial(const Objex* fence) { return PointMaterial(fence->firstPoint); }

bool IsGatePoint(const Poinz* p) { return p && p->pointType == kFenceGatePoint; }

}  // namespace

void AppendFencePicketObject(Objex* fence, float x, float y, float z, float angle, float width, float height) {
  if (!fence || !fence->firstPoint || !(width > 0)) return;
  BuildFlatPiece(fence, x, z, angle,
                 {{0.0f, y}, {0.0f, -(height - kPicketPoint)}, {width / 2, -height}, {width, -(height - kPicketPoint)},
                  {width, y}},
                 BoardMaterial(fence));
}

void AppendFenceSpacerObjects(Objex* fence, float x, float, float z, float angle, float length, float boardHeight,
                              float fenceHeight) {
  if (!fence || !fence->firstPoint || !(length > 0) || !(boardHeight > 0)) return;
  for (float centre : {fenceHeight / 4, 0.85f * fenceHeight}) {
    const float low = -(centre - boardHeight / 2), high = -(centre + boardHeight / 2);
    BuildFlatPiece(fence, x, z, angle, {{0.0f, low}, {0.0f, high}, {length, high}, {length, low}},
                   BoardMaterial(fence));
  }
}

void AppendCustomFencePicketObject(Objex* fence, float x, float y, float z, float angle, float width, float height) {
  if (!fence || !fence->firstPoint || !(width > 0)) return;
  BuildFlatPiece(fence, x, z, angle, {{0.0f, y}, {0.0f, -height}, {width, -height}, {width, y}},
                 BoardMaterial(fence));
}

void AppendFencePostObject(Objex* fence, float x, float y, float z, float angle, float width, float height) {
  if (!fence || !fence->firstPoint || !(width > 0)) return;
  const float half = width / 2;
  float ax = 0, az = 0, cx = 0, cz = 0;
  GetPointFromLengthAndAngle(angle, half, &ax, &az);
  GetPointFromLengthAndAngle(angle + kHalfPi, half, &cx, &cz);
  const float cornersX[4] = {x - ax + cx, x - ax - cx, x + ax - cx, x + ax + cx};
  const float cornersZ[4] = {z - az + cz, z - az - cz, z + az - cz, z + az + cz};
  std::vector<float> lower, upper;
  for (int i = 0; i < 4; ++i) {
    lower.insert(lower.end(), {cornersX[i], y - kPostFoot, cornersZ[i]});
    upper.insert(upper.end(), {cornersX[i], y - height, cornersZ[i]});
  }
  BuildPiece(fence, lower, &upper, SlotMaterial(fence->textureID1, fence->color1, fence->textureScale1),
             kSubFencePost);
}

void AppendGatePanelObject(Objex* fence, float x, float y, float z, float angle, float width, float height) {
  if (!fence || !fence->firstPoint || !(width > 0)) return;
  BuildFlatPiece(fence, x, z, angle, {{0.0f, y}, {0.0f, -height}, {width, -height}, {width, y}},
                 SlotMaterial(fence->textureID3, fence->color3, fence->textureScale3), kSubGatePanel);
}

void UpdateFenceSegment(Objex* fence, Poinz* a, Poinz* b) {
  BuiltInStyle s{};
  if (!fence || !a || !b || !StyleSizes(fence->textureID, &s)) return;
  float length = 0;
  const float angle = SectionLengthAndAngle(a, b, &length);
  const float y = a->position[1];
  float r = length;
  float x = 0, z = 0;
  for (int32_t n = 0; r > s.picket && r > s.gap; ++n) {
    // A section floats cannot shorten by a picket (or of too many) stops at the limit.
    if (n >= kMaxRepeats) {
      NoteRepeatLimitReached();
      break;
    }
    AlongSection(a, angle, length - r, &x, &z);
    AppendFencePicketObject(fence, x, y, z, angle, s.picket, s.height);
    r -= s.picket;
    if (r <= s.picket) break;
    if (r > s.gap && fence->textureID != kFenceStylePrivacy) {
      AlongSection(a, angle, length - r, &x, &z);
      AppendFenceSpacerObjects(fence, x, y, z, angle, s.gap, s.board, s.height);
      r -= s.gap;
    }
  }
  AlongSection(a, angle, length - r, &x, &z);
  AppendFencePicketObject(fence, x, y, z, angle, r, s.height);
}

void UpdateGateSegment(Objex* fence, Poinz* a, Poinz* b) {
  BuiltInStyle s{};
  if (!fence || !a || !b || !StyleSizes(fence->textureID, &s)) return;
  // The hinge and latch blocks: as wide as the gap, none on a privacy fence.
  const float endGap = s.gap;
  float length = 0;
  const float angle = SectionLengthAndAngle(a, b, &length);
  if (length < kFenceLeastGateLength) return;
  const float y = a->position[1];
  const float H = s.height;
  const float inner = length - 2 * endGap;
  const float f = kGateLeafWidth;
  const float m = inner - 2 * f;
  // The leaves and the centre panel wear the material of the gate's own first point.
  const PieceMaterial gate = PointMaterial(a);
  float x = 0, z = 0;
  AlongSection(a, angle, 0, &x, &z);
  AppendFenceSpacerObjects(fence, x, y, z, angle, endGap, s.board, H);
  AlongSection(a, angle, length - endGap, &x, &z);
  AppendFenceSpacerObjects(fence, x, y, z, angle, endGap, s.board, H);
  AlongSection(a, angle, endGap, &x, &z);
  BuildFlatPiece(fence, x, z, angle, {{0.0f, y}, {0.0f, -(H - kPicketPoint)}, {f, -H}, {f, y}}, gate);
  AlongSection(a, angle, length - (endGap + f), &x, &z);
  BuildFlatPiece(fence, x, z, angle, {{0.0f, y}, {0.0f, -H}, {f, -(H - kPicketPoint)}, {f, y}}, gate);
  AlongSection(a, angle, endGap + f, &x, &z);
  BuildFlatPiece(fence, x, z, angle,
                 {{0.0f, y}, {0.0f, -H}, {m / 4, -(H + kGatePanelArch)}, {3 * m / 4, -(H + kGatePanelArch)}, {m, -H},
                  {m, y}},
                 gate);
}

void UpdateCustomFenceSegment(Objex* fence, Poinz* a, Poinz* b) {
  if (!fence || !a || !b) return;
  const float span = Screen(FenceSpanLengthOf(fence));
  const float spanHeight = Screen(FenceSpanHeightOf(fence));
  const float postHeight = Screen(FencePostHeightOf(fence));
  const float postWidth = Screen(FencePostWidthOf(fence));
  const float hw = postWidth / 2;
  float length = 0;
  const float angle = SectionLengthAndAngle(a, b, &length);
  const float y = a->position[1];
  float x = 0, z = 0;
  if (a == fence->firstPoint) AppendFencePostObject(fence, a->position[0], y, a->position[2], angle, postWidth, postHeight);
  const bool gateNext = IsGatePoint(b);
  // Each span and post must advance the walk by a plan unit at least; sizes that would not
  // (or would set posts without end) leave only the end posts.
  if (span + postWidth >= 1.0f && hw >= 0) {
    float r = length - hw;
    const float limit = gateNext ? span + postWidth : span + hw;
    for (int32_t n = 0; r > limit; ++n) {
      // A section floats cannot shorten by a span (or of too many spans) stops at the limit.
      if (n >= kMaxRepeats) {
        NoteRepeatLimitReached();
        break;
      }
      AlongSection(a, angle, length - r, &x, &z);
      AppendCustomFencePicketObject(fence, x, y, z, angle, span, spanHeight);
      r -= span + hw;
      AlongSection(a, angle, length - r, &x, &z);
      AppendFencePostObject(fence, x, y, z, angle, postWidth, postHeight);
      r -= hw;
    }
    if (r > hw) {
      AlongSection(a, angle, length - r, &x, &z);
      AppendCustomFencePicketObject(fence, x, y, z, angle, r - hw, spanHeight);
    }
  }
  if (gateNext) {
    AlongSection(a, angle, length - hw, &x, &z);
    AppendFencePostObject(fence, x, y, z, angle, postWidth, postHeight);
  } else {
    AppendFencePostObject(fence, b->position[0], y, b->position[2], angle, postWidth, postHeight);
  }
}

void UpdateCustomGateSegment(Objex* fence, Poinz* a, Poinz* b) {
  if (!fence || !a || !b) return;
  const float postWidth = Screen(FencePostWidthOf(fence));
  float length = 0;
  const float angle = SectionLengthAndAngle(a, b, &length);
  const float y = a->position[1];
  AppendGatePanelObject(fence, a->position[0], y, a->position[2], angle, length, Screen(FenceGateHeightOf(fence)));
  float x = 0, z = 0;
  AlongSection(a, angle, length + postWidth / 2, &x, &z);
  AppendFencePostObject(fence, x, y, z, angle, postWidth, Screen(FencePostHeightOf(fence)));
}

namespace building3d {
void UpdateFenceObject(Objex* fence) {
  NoteServiceCall("UpdateFenceObject", fence);
  if (!fence || fence->type != kObjFence || fence->levels != 1 || !fence->firstPoint || !fence->firstPoint->next)
    return;
  RepeatLimitReport report(fence);
  DeleteRendererObject(fence);
  DeleteGeneratedParts(fence);
  RailListScope parts(fence);  // appends stay constant-time while the list is rebuilt
  const bool custom = fence->textureID == kFenceStyleCustom;
  auto section = [&](Poinz* a, Poinz* b) {
    if (IsGatePoint(a)) {
      if (custom) UpdateCustomGateSegment(fence, a, b);
      else UpdateGateSegment(fence, a, b);
    } else {
      if (custom) UpdateCustomFenceSegment(fence, a, b);
      else UpdateFenceSegment(fence, a, b);
    }
  };
  // Only the points the object counts belong to its outline.
  Poinz* last = fence->firstPoint;
  int32_t n = 1;
  for (Poinz* p = fence->firstPoint; p->next && (fence->pointCount <= 0 || n < fence->pointCount); p = p->next, ++n) {
    section(p, p->next);
    last = p->next;
  }
  if (fence->closed && last != fence->firstPoint) section(last, fence->firstPoint);
}
}  // namespace building3d

void UpdateFenceLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) UpdateFenceObject(o);
}

void UpdateFenceAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) UpdateFenceLayer(l);
}
