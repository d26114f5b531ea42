// Framing view: wall skeletons and roof trusses.
#include "building3d/Framing3D.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "model/WallFields.h"
#include "plandraw/RoofDrawing.h"

PlaneVertex sEnd1StartPt{}, sEnd1EndPt{}, sEnd1OneThirdBasePt{}, sEnd1TwoThirdBasePt{}, sEnd1MidPeakPt{},
    sEnd1LeftThirdRakePt{}, sEnd1RightThirdRakePt{};
PlaneVertex sEnd2StartPt{}, sEnd2EndPt{}, sEnd2OneThirdBasePt{}, sEnd2TwoThirdBasePt{}, sEnd2MidPeakPt{},
    sEnd2LeftThirdRakePt{}, sEnd2RightThirdRakePt{};

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kHalfPi = kPi / 2;
constexpr RGBColor kWhite{0xFFFF, 0xFFFF, 0xFFFF};
constexpr RGBColor kPlainTones{0xD8D8, 0xE4E4, 0xF0F0};
constexpr RGBColor kFoundationGrey{0xC0C0, 0xC0C0, 0xC0C0};
constexpr float kHeaderStandard = 12.0f;  // inches
constexpr float kTrussSpacing = 24.0f;    // inches
constexpr float kTrussWidth = 2.5f, kTrussDepth = 10.0f;

struct V3 {
  float x, y, z;
};
V3 Of(const PlaneVertex& p) { return {p.x, p.y, p.z}; }
V3 Of(const float* p) { return {p[0], p[1], p[2]}; }
PlaneVertex Vertex(const V3& v) { return PlaneVertex{v.x, v.y, v.z, 0, 0, 0}; }
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 Up(V3 a, float h) { return {a.x, a.y - h, a.z}; }  // heights grow upward as y falls
// A plan offset of `length` at `angle` (radians, counter-clockwise on the screen, where the
// plan's z grows downward).
V3 Polar(float angle, float length) { return {std::cos(angle) * length, 0, -std::sin(angle) * length}; }
float PlanAngle(const V3& a, const V3& b) { return std::atan2(a.z - b.z, b.x - a.x); }
float PlanLength(const V3& a, const V3& b) { return std::hypot(b.x - a.x, b.z - a.z); }
float Length3(const float* a, const float* b) {
  return std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) + (b[2] - a[2]) * (b[2] - a[2]));
}

enum class Member { kStud, kHeader, kFoundation };

void Face(const V3& a, const V3& b, const V3& c, const V3& d, Objex* source, Member member, bool vertical) {
  const float p0[3] = {a.x, a.y, a.z}, p1[3] = {b.x, b.y, b.z}, p2[3] = {c.x, c.y, c.z}, p3[3] = {d.x, d.y, d.z};
  switch (member) {
    case Member::kStud: BuildStudPlane(p0, p1, p2, p3, source, vertical); break;
    case Member::kHeader: BuildHeaderPlane(p0, p1, p2, p3, source); break;
    case Member::kFoundation: BuildFoundationPlane(p0, p1, p2, p3, source); break;
  }
}

// What every face of one framing run shares: the document state and, per texture, the
// texture scale of a unit extent (the scale grows with the extent; a texture without a size
// keeps 1 whatever the extent).
struct FramingRun {
  const DocState* ds = nullptr;
  bool plain = false;
  struct Scale {
    int32_t texture = -1;
    float u = 1, v = 1;
    bool linear = true;
  } scales[2];
};
FramingRun* sRun = nullptr;

class FramingRunScope {
 public:
  FramingRunScope() : previous_(sRun) {
    if (previous_) return;  // an outer run is already going
    run_.ds = CurDocState();
    run_.plain = run_.ds && const_cast<DocState*>(run_.ds)->framingPlainColors();
    sRun = &run_;
  }
  ~FramingRunScope() {
    if (!previous_) sRun = nullptr;
  }
  FramingRunScope(const FramingRunScope&) = delete;
  FramingRunScope& operator=(const FramingRunScope&) = delete;

 private:
  FramingRun run_;
  FramingRun* previous_;
};

void TextureSizes(int32_t texture, float a, float b, float* su, float* sv) {
  if (!sRun) {
    ComputeTextureScale(texture, a, b, su, sv);
    return;
  }
  FramingRun::Scale& s = sRun->scales[texture == kHeaderTexture ? 1 : 0];
  if (s.texture != texture) {
    float u1 = 1, v1 = 1, u2 = 1, v2 = 1;
    ComputeTextureScale(texture, 1, 1, &u1, &v1);
    ComputeTextureScale(texture, 2, 2, &u2, &v2);
    s = {texture, u1, v1, u2 == 2 * u1 && v2 == 2 * v1};
  }
  if (!s.linear) {
    ComputeTextureScale(texture, a, b, su, sv);
    return;
  }
  *su = s.u * a;
  *sv = s.v * b;
}

void SetMaterial(PlaneObject* po, Member member, int32_t texture, float a, float b) {
  const DocState* ds = sRun ? sRun->ds : CurDocState();
  const bool plain = sRun ? sRun->plain : ds && const_cast<DocState*>(ds)->framingPlainColors();
  po->scaleLinkA = po->scaleLinkB = nullptr;
  po->textureLinkA = po->textureLinkB = nullptr;
  po->colorLinkA = po->colorLinkB = nullptr;
  if (member == Member::kFoundation) {
    po->textureIdA = po->textureIdB = 0;
    po->colorA = po->colorB = kFoundationGrey;
    return;
  }
  if (plain) {
    po->textureIdA = po->textureIdB = 0;
    po->colorA = po->colorB = kPlainTones;
    return;
  }
  po->textureIdA = po->textureIdB = texture;
  po->textureScaleA[0] = po->textureScaleA[1] = po->textureScaleB[0] = po->textureScaleB[1] = 100;
  po->colorA = po->colorB = kWhite;
  float su = 1, sv = 1;
  TextureSizes(texture, a, b, &su, &sv);
  po->textureSizeA[0] = po->textureSizeB[0] = su;
  po->textureSizeA[1] = po->textureSizeB[1] = sv;
}

// One four-vertex face as its own plane object.
void BuildFace(const float* p0, const float* p1, const float* p2, const float* p3, Objex* source, Member member,
               bool vertical) {
  if (!p0 || !p1 || !p2 || !p3 || !source) return;
  PlaneObject* po = CreatePlaneObject();
  if (!po) return;
  gCurPlaneObject = po;
  static constexpr float kStudUV[4][2] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
  static constexpr float kBoxUV[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  const auto& uv = member == Member::kStud ? kStudUV : kBoxUV;
  const float* p[4] = {p0, p1, p2, p3};
  auto* vertices = static_cast<PlaneVertex*>(malloc(4 * sizeof(PlaneVertex)));
  if (vertices) {
    for (int i = 0; i < 4; ++i) vertices[i] = PlaneVertex{p[i][0], p[i][1], p[i][2], 0, uv[i][0], uv[i][1]};
    // The p0-p1 edge: in x and height on an upright stud face, in the plan otherwise.
    const float dx = p1[0] - p0[0], dy = vertical ? p1[1] - p0[1] : p1[2] - p0[2];
    const float a = std::sqrt(dx * dx + dy * dy);
    const float b = Length3(p1, p2);
    const int32_t texture = member == Member::kHeader ? kHeaderTexture : kStudTexture;
    SetMaterial(po, member, texture, a, b);
    po->renderKind = kRenderKindFraming;
    float nx = 0, ny = 0, nz = 0, d = 0;
    CalcParametric(p0[0], p0[1], p0[2], p1[0], p1[1], p1[2], p2[0], p2[1], p2[2], &nx, &ny, &nz, &d);
    AppendPlane(vertices, 4, nx, ny, nz, po);
  }
  if (po->planes) AppendPlaneObject(po, source);
  else DeletePlaneObject(po);
  gCurPlaneObject = nullptr;
}

// A horizontal box from a to b: `half` to each side across it, its underside at the points
// raised by `offset`, `height` high.
void Box(const V3& a, const V3& b, float half, float offset, float height, Objex* source, Member member) {
  const float angle = PlanAngle(a, b);
  const V3 s1 = Polar(angle - kHalfPi, half), s2 = Polar(angle + kHalfPi, half);
  const V3 a0 = Up(a, offset), b0 = Up(b, offset);
  const V3 a1 = Up(a, offset + height), b1 = Up(b, offset + height);
  Face(a0 + s1, b0 + s1, b0 + s2, a0 + s2, source, member, false);  // underside
  Face(a0 + s1, b0 + s1, b1 + s1, a1 + s1, source, member, false);  // sides
  Face(a0 + s2, b0 + s2, b1 + s2, a1 + s2, source, member, false);
  Face(a1 + s1, b1 + s1, b1 + s2, a1 + s2, source, member, false);  // top
}

float StudSpacing(Objex* wall, const DocState* ds) {
  const float own = StudSpacingOf(wall);
  const float inches = own >= 6.0f ? own : ds->studSpacing;
  return ConvertWorldToScreen(inches, ds, 0);
}

// The heights of a segment from its start point: base (vertex y of the wall's base), wall
// height and slab thickness in screen units.
struct SegmentHeights {
  float base, height, slab, baseElevation;
};
SegmentHeights HeightsAt(Objex* wall, Poinz* p, const DocState* ds) {
  SegmentHeights h{};
  h.slab = ConvertWorldToScreen(FloorDepthOf(wall), ds, 0);
  h.baseElevation = ConvertWorldToScreen(BaseElevationOf(p), ds, 0);
  h.height = ConvertWorldToScreen(WallHeightOf(p), ds, 0);
  h.base = p->position[1] - (h.slab + h.baseElevation);
  return h;
}

bool FoundationWall(const Objex* wall) { return wall->subtype == kSubExteriorWall && (wall->planMask & 1); }

V3 AtBase(const Poinz* p, float base) { return {p->position[0], base, p->position[2]}; }

// Studs and plates of a stretch without openings, and its foundation block. The segment that
// closes a wall puts a block under every wall with a slab: the foundation under an exterior
// wall of the foundation plan, a header-built block down to the point otherwise.
void FramePlainSegment(Objex* wall, Poinz* p, Poinz* q, const DocState* ds, bool closing) {
  const SegmentHeights h = HeightsAt(wall, p, ds);
  const V3 a = AtBase(p, h.base), b = AtBase(q, h.base);
  FrameStud(Vertex(a), Vertex(b), wall);
  FrameStud(Vertex(Up(a, h.height)), Vertex(Up(b, h.height)), wall);
  FrameWallStuds(Vertex(a), Vertex(b), h.base - kStudThickness, h.base - h.height, wall, ds, true, true);
  if (closing) {
    const float drop = h.slab + h.baseElevation;
    if (h.slab > 0 && FoundationWall(wall)) FrameFloorFoundation(Vertex(a), Vertex(b), -h.slab, h.slab, wall);
    else if (h.slab > 0) FrameWallHeader(Vertex(a), Vertex(b), -drop, drop, wall);
  } else if (h.slab + h.baseElevation > 0 && FoundationWall(wall)) {
    FrameFloorFoundation(Vertex(a), Vertex(b), -h.slab, h.slab, wall);
  }
}

// A segment with its doors and windows.
void FrameOpeningSegment(Objex* wall, Poinz* p, Poinz* q, const DocState* ds) {
  const SegmentHeights h = HeightsAt(wall, p, ds);
  const V3 a = AtBase(p, h.base), b = AtBase(q, h.base);
  const float angle = PlanAngle(a, b);
  auto along = [&](float d) { return a + Polar(angle, d); };
  const float header = ConvertWorldToScreen(kHeaderStandard, ds, 0);
  const float y = h.base;
  auto at = [&](float height) { return y - height; };

  std::vector<const DoorWindowData*> openings;
  for (Objex* child = wall->firstChild; child; child = child->next) {
    if (child->type != kObjDoor && child->type != kObjWindow) continue;
    const auto* data = static_cast<const DoorWindowData*>(child->typeData);
    if (data && data->anchorStart == p && (data->ownerType == kObjDoor || data->ownerType == kObjWindow))
      openings.push_back(data);
  }
  std::stable_sort(openings.begin(), openings.end(),
                   [](const DoorWindowData* l, const DoorWindowData* r) { return l->startDistance < r->startDistance; });

  V3 s = a;
  for (const DoorWindowData* o : openings) {
    const V3 o1 = along(o->startDistance - o->width / 2), o2 = along(o->startDistance + o->width / 2);
    FrameWallStuds(Vertex(s), Vertex(o1), at(kStudThickness), at(h.height), wall, ds, true, true);
    FrameStud(Vertex(s), Vertex(o1), wall);
    s = o2;
    FrameStud(Vertex(Up(o1, o->elevation)), Vertex(Up(o2, o->elevation)), wall);  // the sill
    const float top = o->elevation + o->height;
    // Cripples under the opening only where there is room for them above the bottom plate.
    const bool below = o->elevation > kStudThickness;
    if (h.height - top > header) {
      FrameWallHeader(Vertex(o1), Vertex(o2), top, header, wall);
      if (below) FrameWallStuds(Vertex(o1), Vertex(o2), at(kStudThickness), at(o->elevation), wall, ds, false, false);
      FrameWallStuds(Vertex(o1), Vertex(o2), at(top + header), at(h.height), wall, ds, false, false);
    } else {
      if (h.height > top) FrameWallHeader(Vertex(o1), Vertex(o2), top, h.height - top, wall);
      if (below) FrameWallStuds(Vertex(o1), Vertex(o2), at(kStudThickness), at(o->elevation), wall, ds, false, false);
    }
  }
  FrameStud(Vertex(s), Vertex(b), wall);
  FrameWallStuds(Vertex(s), Vertex(b), at(kStudThickness), at(h.height), wall, ds, true, true);
  FrameStud(Vertex(Up(a, h.height)), Vertex(Up(b, h.height)), wall);
  if (h.slab > 0 && FoundationWall(wall)) FrameFloorFoundation(Vertex(a), Vertex(b), -h.slab, h.slab, wall);
}

}  // namespace

void BuildStudPlane(const float* p0, const float* p1, const float* p2, const float* p3, Objex* source, bool vertical) {
  BuildFace(p0, p1, p2, p3, source, Member::kStud, vertical);
}

void BuildHeaderPlane(const float* p0, const float* p1, const float* p2, const float* p3, Objex* source) {
  BuildFace(p0, p1, p2, p3, source, Member::kHeader, false);
}

void BuildFoundationPlane(const float* p0, const float* p1, const float* p2, const float* p3, Objex* source) {
  BuildFace(p0, p1, p2, p3, source, Member::kFoundation, false);
}

namespace {
// The offsets of an upright stud turned by an angle: half its depth to either side, and its
// thickness along the wall.
struct StudOffsets {
  V3 s1, s2, f;
};
StudOffsets StudOffsetsAt(float angle) {
  return {Polar(angle - kHalfPi, kStudDepth / 2), Polar(angle + kHalfPi, kStudDepth / 2),
          Polar(angle, kStudThickness)};
}
void VerticalStud(const StudOffsets& o, const V3& a, const V3& b, Objex* wall) {
  const V3 &s1 = o.s1, &s2 = o.s2, &f = o.f;
  Face(a + s2, b + s2, b + s1, a + s1, wall, Member::kStud, true);  // back
  Face(a + s1, b + s1, b + s1 + f, a + s1 + f, wall, Member::kStud, true);
  Face(a + s2, b + s2, b + s2 + f, a + s2 + f, wall, Member::kStud, true);
  Face(a + s2 + f, b + s2 + f, b + s1 + f, a + s1 + f, wall, Member::kStud, true);  // front
}
}  // namespace

void FrameVerticalStud(float angle, const PlaneVertex& bottom, const PlaneVertex& top, Objex* wall) {
  VerticalStud(StudOffsetsAt(angle), Of(bottom), Of(top), wall);
}

void FrameStud(const PlaneVertex& start, const PlaneVertex& end, Objex* wall) {
  Box(Of(start), Of(end), kStudDepth / 2, 0, kStudThickness, wall, Member::kStud);
}

void FrameWallHeader(const PlaneVertex& start, const PlaneVertex& end, float offset, float height, Objex* wall) {
  Box(Of(start), Of(end), kHeaderWidth / 2, offset, height, wall, Member::kHeader);
}

void FrameFloorFoundation(const PlaneVertex& start, const PlaneVertex& end, float offset, float height,
                          Objex* wall) {
  Box(Of(start), Of(end), kHeaderWidth / 2, offset, height, wall, Member::kFoundation);
}

void FrameVerticalStud(float angle, const float* bottom, const float* top, Objex* wall) {
  if (bottom && top) VerticalStud(StudOffsetsAt(angle), Of(bottom), Of(top), wall);
}

void FrameStud(const float* start, const float* end, Objex* wall) {
  if (start && end) Box(Of(start), Of(end), kStudDepth / 2, 0, kStudThickness, wall, Member::kStud);
}

void FrameWallHeader(const float* start, const float* end, float offset, float height, Objex* wall) {
  if (start && end) Box(Of(start), Of(end), kHeaderWidth / 2, offset, height, wall, Member::kHeader);
}

void FrameFloorFoundation(const float* start, const float* end, float offset, float height, Objex* wall) {
  if (start && end) Box(Of(start), Of(end), kHeaderWidth / 2, offset, height, wall, Member::kFoundation);
}

void FrameWallStuds(const PlaneVertex& start, const PlaneVertex& end, float bottom, float top, Objex* wall,
                    const DocState* docState, bool studAtStart, bool studAtEnd) {
  if (!wall || !docState) return;
  const V3 a = Of(start), b = Of(end);
  const float length = PlanLength(a, b);
  const float angle = PlanAngle(a, b);
  const StudOffsets offsets = StudOffsetsAt(angle);
  auto stud = [&](const V3& at) { VerticalStud(offsets, V3{at.x, bottom, at.z}, V3{at.x, top, at.z}, wall); };
  if (studAtStart) stud(a);
  const float spacing = StudSpacing(wall, docState);
  // A spacing that is still not positive frames no studs between the ends.
  if (spacing > 0 && std::isfinite(length)) {
    const long count = static_cast<long>(std::floor(length / spacing + 0.5f));
    const V3 step = Polar(angle, 1);
    for (long i = 1; i < count; ++i) {
      const float d = static_cast<float>(i) * spacing;
      stud(V3{a.x + step.x * d, a.y, a.z + step.z * d});
    }
  }
  if (studAtEnd) stud(b);
}

void FrameWindowsAndDoors(Objex* wall) {
  const DocState* ds = CurDocState();
  if (!wall || !gCurDocument || !ds || !wall->firstPoint) return;
  FramingRunScope run;
  std::vector<Poinz*> points;
  for (Poinz* p = wall->firstPoint; p; p = p->next) points.push_back(p);
  if (points.size() < 2) return;
  const size_t segments = wall->closed ? points.size() : points.size() - 1;
  for (size_t k = 0; k < segments; ++k) {
    Poinz* p = points[k];
    Poinz* q = points[(k + 1) % points.size()];
    if (wall->firstChild) FrameOpeningSegment(wall, p, q, ds);
    else FramePlainSegment(wall, p, q, ds, k + 1 == points.size());
  }
}

// ---- Roof trusses ----

namespace {

void StoreEnd(int16_t endIndex, const V3& s, const V3& e, const V3& b1, const V3& b2, const V3& p, const V3& r1,
              const V3& r2) {
  PlaneVertex* set[2][7] = {
      {&sEnd1StartPt, &sEnd1EndPt, &sEnd1OneThirdBasePt, &sEnd1TwoThirdBasePt, &sEnd1MidPeakPt,
       &sEnd1LeftThirdRakePt, &sEnd1RightThirdRakePt},
      {&sEnd2StartPt, &sEnd2EndPt, &sEnd2OneThirdBasePt, &sEnd2TwoThirdBasePt, &sEnd2MidPeakPt,
       &sEnd2LeftThirdRakePt, &sEnd2RightThirdRakePt}};
  const V3 values[7] = {s, e, b1, b2, p, r1, r2};
  for (int i = 0; i < 7; ++i) *set[endIndex - 1][i] = Vertex(values[i]);
}

V3 Lerp(const V3& a, const V3& b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t}; }

// A hip end: the common rafter from the middle of the end edge and the hips from its corners
// to the end truss's peak, and members from its rake third points to those corners.
void FrameHipEnd(const V3& corner1, const V3& corner2, const PlaneVertex& peak, const PlaneVertex& rake1,
                 const PlaneVertex& rake2, Objex* roof) {
  RenderRoofTruss(Vertex(Lerp(corner1, corner2, 0.5f)), peak, roof);
  RenderRoofTruss(Vertex(corner1), peak, roof);
  RenderRoofTruss(Vertex(corner2), peak, roof);
  RenderRoofTruss(rake1, Vertex(corner1), roof);
  RenderRoofTruss(rake2, Vertex(corner2), roof);
}

}  // namespace

void RenderRoofTruss(const PlaneVertex& from, const PlaneVertex& to, Objex* roof) {
  const V3 a = Of(from), b = Of(to);
  const float angle = PlanAngle(a, b);
  const V3 s1 = Polar(angle - kHalfPi, kTrussWidth / 2), s2 = Polar(angle + kHalfPi, kTrussWidth / 2);
  const V3 a1 = Up(a, kTrussDepth), b1 = Up(b, kTrussDepth);
  Face(a + s1, b + s1, b + s2, a + s2, roof, Member::kStud, false);      // bottom
  Face(a + s1, b + s1, b1 + s1, a1 + s1, roof, Member::kHeader, false);  // sides
  Face(a + s2, b + s2, b1 + s2, a1 + s2, roof, Member::kHeader, false);
  Face(a1 + s1, b1 + s1, b1 + s2, a1 + s2, roof, Member::kStud, false);  // top
}

void RenderVerticalRoofTruss(float angle, const PlaneVertex& from, const PlaneVertex& to, Objex* roof, bool flip) {
  const V3 a = Of(from), b = Of(to);
  const V3 s1 = Polar(angle - kHalfPi, kTrussWidth / 2), s2 = Polar(angle + kHalfPi, kTrussWidth / 2);
  const V3 f = Polar(flip ? angle + kPi : angle, kTrussDepth);
  Face(a + s2, b + s2, b + s1, a + s1, roof, Member::kStud, true);
  Face(a + s1, b + s1, b + s1 + f, a + s1 + f, roof, Member::kStud, true);
  Face(a + s2, b + s2, b + s2 + f, a + s2 + f, roof, Member::kStud, true);
  Face(a + s2 + f, b + s2 + f, b + s1 + f, a + s1 + f, roof, Member::kStud, true);
}

void FrameRoofTruss(const PlaneVertex& start, const PlaneVertex& end, float pitch, Objex* roof, int16_t endIndex,
                    bool bottomChord, bool webs) {
  const V3 s = Of(start), e = Of(end);
  if (bottomChord) RenderRoofTruss(start, end, roof);
  const float span = PlanLength(s, e);
  const float angle = PlanAngle(s, e);
  const V3 peak = Up(s + Polar(angle, span / 2), pitch * span / 2);
  RenderRoofTruss(start, Vertex(peak), roof);
  RenderRoofTruss(end, Vertex(peak), roof);
  const V3 b1 = s + Polar(angle, span / 3);
  const V3 b2 = e + Polar(angle, -span / 3);
  // The rake third points: a third of the span up each top chord from its foot.
  auto third = [&](const V3& foot) {
    const float rafter = std::sqrt((peak.x - foot.x) * (peak.x - foot.x) + (peak.y - foot.y) * (peak.y - foot.y) +
                                   (peak.z - foot.z) * (peak.z - foot.z));
    return rafter > 0 ? Lerp(foot, peak, std::min(1.0f, span / 3 / rafter)) : foot;
  };
  const V3 r1 = third(s), r2 = third(e);
  if (webs) {
    RenderRoofTruss(Vertex(r1), Vertex(b1), roof);
    RenderVerticalRoofTruss(angle, Vertex(peak), Vertex(b1), roof, false);
    RenderRoofTruss(Vertex(r2), Vertex(b2), roof);
    RenderVerticalRoofTruss(angle, Vertex(peak), Vertex(b2), roof, true);
  }
  if (endIndex == 1 || endIndex == 2) StoreEnd(endIndex, s, e, b1, b2, peak, r1, r2);
}

void FrameRoofTrusses(Objex* roof) {
  const DocState* ds = CurDocState();
  if (!roof || !ds || roof->type != kObjRoof) return;
  FramingRunScope run;
  const int32_t style = roof->textureID;
  if (style < kRoofHip || style > kRoofRidgeOnly) return;
  V3 c[4];
  const Poinz* p = roof->firstPoint;
  for (int i = 0; i < 4; ++i, p = p->next) {
    if (!p) return;
    c[i] = {p->position[0], p->position[1], p->position[2]};
    if (!std::isfinite(c[i].x) || !std::isfinite(c[i].y) || !std::isfinite(c[i].z)) return;
  }
  const float pitch = roof->width / 12.0f;
  const float span = PlanLength(c[0], c[3]);
  const float length = PlanLength(c[0], c[1]);
  if (!(length > 0)) return;
  const float along = PlanAngle(c[0], c[1]);
  const float spacing = ConvertWorldToScreen(kTrussSpacing, ds, 0);

  // Where the end trusses stand along the roof: on the end edge at a gable end, at the ridge's
  // end at a hip end (half the span in).
  float first = 0, last = length;
  bool hip1 = false, hip2 = false;
  if (style == kRoofHip) {
    first = span / 2, last = length - span / 2;
    hip1 = hip2 = true;
  } else if (style != kRoofGable) {
    float travelA = 0, travelB = 0;
    RoofRidgeEndTravel(style, length, span / 2, &travelA, &travelB);
    first = travelA, last = length + travelB;
    hip1 = style == kRoofHipAndGable;
    hip2 = style == kRoofHipOneEnd;
  }
  long count = 0;
  if (spacing > 0) count = std::max(0L, static_cast<long>(std::floor((last - first) / spacing + 0.5f)));
  if (count > 100000) return;  // a roof far larger than the plan: nothing sensible to frame
  auto truss = [&](float offset, int16_t endIndex) {
    const V3 shift = Polar(along, offset);
    FrameRoofTruss(Vertex(c[0] + shift), Vertex(c[3] + shift), pitch, roof, endIndex, false, false);
  };
  // The end-1 truss is always built, even when the row holds none, so that the ties below
  // never start from another roof's points.
  truss(first, 1);
  for (long k = 1; k < count; ++k) truss(first + static_cast<float>(k) * spacing, 0);
  truss(last, 2);

  RenderRoofTruss(sEnd1MidPeakPt, sEnd2MidPeakPt, roof);  // the ridge
  RenderRoofTruss(sEnd1LeftThirdRakePt, sEnd2LeftThirdRakePt, roof);
  RenderRoofTruss(sEnd1RightThirdRakePt, sEnd2RightThirdRakePt, roof);
  if (style == kRoofGable) {
    RenderRoofTruss(sEnd1StartPt, sEnd2StartPt, roof);
    RenderRoofTruss(sEnd1EndPt, sEnd2EndPt, roof);
  }
  if (hip1) FrameHipEnd(c[0], c[3], sEnd1MidPeakPt, sEnd1LeftThirdRakePt, sEnd1RightThirdRakePt, roof);
  if (hip2) FrameHipEnd(c[1], c[2], sEnd2MidPeakPt, sEnd2LeftThirdRakePt, sEnd2RightThirdRakePt, roof);
}
