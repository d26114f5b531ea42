// DocState block: one field list per layout segment drives both the writer and the reader,
// so the two cannot drift apart; the per-layout repairs follow the readers.
#include "files/DocStateBlock.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <vector>

#include "files/ByteStream.h"
#include "files/OutputDigest.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"

namespace {

// What each stored field is to the undo ring: the one list both its compare and its restore
// go by. Fields not listed are the design: compared, and put back by Undo and Redo.
// - kSelection: the selection's summaries, compared apart (for the tools whose click selects)
//   and taken from the step.
// - kSetting: what the user changes with no undo step of its own: the view (the zooms, the
//   view's eye point, the plan's tab and the kinds each tab shows, the 3D camera and cut-away), the defaults the tools make new objects with
//   (changed in a tool's inspector, or along with a selection's edit), the plant growth level,
//   Snap To Grid, the snap offset, the topography lines, the trace image's visibility, the 3D
//   window's render style, navigation speed, render and shadow quality, and the plan colours
//   (the preferences', laid over the design again after every undo). Neither compared nor put
//   back: Undo and Redo leave them as they stand.
//   The working floor's elevation goes with the floor worked on (the floors' shown and
//   pickable flags, kept by the restore alike) and is worked out again for the restored design.
//   The fields no design file holds are settings too (the stair tool's open steps and stringer
//   options, the origin and its locks, the framing view, the clear-view colours, the roof
//   style): kept as they stand, not reset to their built-in values.
// - kBookkeeping: the ID counters and the changed-since-saved flag: not compared, taken from
//   the step (every step's counters lie past the IDs it holds).
// - kBesideStep: no design file holds it, but an edit with its own step changes it (the 3D
//   background's texture scale, dropped with its material): held beside each step's snapshot,
//   compared and put back with it.
enum class UndoRole : uint8_t { kSelection, kSetting, kBookkeeping, kBesideStep };
struct FieldRole {
  size_t begin, end;
  UndoRole role;
};
#define ROLE(m, role) FieldRole{offsetof(DocState, m), offsetof(DocState, m) + sizeof(DocState::m), UndoRole::role}
#define KEEP(m) ROLE(m, kSetting)
const FieldRole kFieldRoles[] = {
    KEEP(gateToolOffset), KEEP(viewPoint), KEEP(wallToolFlag1), KEEP(wallToolFlag2), KEEP(wallToolFlag3), KEEP(snapToGrid),
    KEEP(newPenStyle), KEEP(newLineWeight), KEEP(newFillColor), KEEP(newPenColor),
    KEEP(multigonSides), KEEP(zoomFactor), ROLE(selectionState, kSelection), KEEP(viewSetting12), KEEP(wallSetting6),
    KEEP(wallThickness), KEEP(wallHeight), KEEP(wallColor), KEEP(doorStyle), KEEP(doorWidth),
    KEEP(doorHeight), KEEP(doorSetting2), KEEP(wallFillColor), KEEP(windowStyle), KEEP(windowDividers),
    KEEP(windowWidth), KEEP(windowHeight), KEEP(windowSetting1), KEEP(windowSetting2), KEEP(windowColor),
    KEEP(roofSetting2), KEEP(roofPitch), KEEP(roofSetting3), KEEP(printSetting2), KEEP(printSetting3),
    KEEP(walkAngle), KEEP(walkPosition), KEEP(navigationStep), KEEP(navigationMode), KEEP(flyPitch),
    KEEP(flyAngle), KEEP(viewSetting1), KEEP(fillSetting1), KEEP(fillMaterial), KEEP(pathSetting1),
    KEEP(pathMaterial), KEEP(setting113), KEEP(pathWidth), KEEP(setting115), KEEP(setting116), KEEP(setting117),
    KEEP(edgingSetting1), KEEP(edgingColor), KEEP(fenceStyle), KEEP(setting121), KEEP(setting122),
    KEEP(setting123), KEEP(setting124), KEEP(fenceColor), KEEP(gateWidth), KEEP(setting127), KEEP(gateColor),
    KEEP(plantAge), KEEP(stairParam1), KEEP(stairParam2), KEEP(stairParam3), KEEP(stairParam4),
    KEEP(stairFlag1), KEEP(stairFlag2), KEEP(railHeight), KEEP(railSetting1), KEEP(railFlag2),
    KEEP(railFlag3), KEEP(traceImageVisible), KEEP(renderSetting3), KEEP(studSpacing), KEEP(setting159),
    ROLE(documentChanged, kBookkeeping), KEEP(viewSetting2), KEEP(deckHeight),
    KEEP(deckIncludeRails), KEEP(deckRailHeight), KEEP(deckSetting1), KEEP(deckSkirting),
    KEEP(deckStepSetting1), KEEP(deckStepLeftRail), KEEP(deckStepRightRail), KEEP(deckStepWidth),
    KEEP(deckStepSetting2), KEEP(currentPlanMask), KEEP(planMasks), KEEP(newObjectPlanMask), KEEP(shadowsOn), KEEP(viewSetting4),
    ROLE(selectionState40, kSelection), KEEP(shadowQuality), KEEP(exteriorWallSetting), KEEP(beamSetting1),
    KEEP(beamSetting2), KEEP(pierSetting), KEEP(floorThickness), KEEP(receptacleStyle1), KEEP(receptacleStyle2),
    KEEP(switchStyle1), KEEP(switchStyle2), KEEP(bathTubSetting1), KEEP(bathTubSetting2),
    KEEP(spaTubSetting1), KEEP(spaTubSetting2), KEEP(showerSetting1), KEEP(showerSetting2),
    KEEP(airDuctSetting1), KEEP(airDuctSetting2), KEEP(topographyWidth), KEEP(soffitLeft),
    KEEP(soffitRight), KEEP(soffitBase), KEEP(includeSoffits), KEEP(soffitDepth), KEEP(cutAwayPlane),
    KEEP(excavationDepth), KEEP(wallSetting2), ROLE(nextObjectID, kBookkeeping),
    ROLE(nextPointID, kBookkeeping), KEEP(flyAltitude), KEEP(walkElevation), KEEP(lookOffset), KEEP(planColors),
    KEEP(snapOffset), KEEP(wallSetting3), KEEP(wallSetting8), KEEP(wallSetting9), KEEP(wallSetting10),
    KEEP(wallSetting4), KEEP(wallSetting5), KEEP(wallDisplayFlags), KEEP(wallStyle), KEEP(wallFoundation),
    KEEP(doorSetting1), KEEP(stairHeight), KEEP(stairSetting1), KEEP(lightFlag), KEEP(lightType),
    KEEP(lightDimmer), KEEP(lightRadius), KEEP(lightFalloff), KEEP(lightAmbient), KEEP(lightOn),
    KEEP(roofElevationRef), KEEP(deckOpenSteps), KEEP(pathStyle), KEEP(detailEditLevel),
    KEEP(detailDisplayDims), KEEP(viewSetting14), KEEP(fenceParam1), KEEP(fenceParam2), KEEP(fenceParam4),
    KEEP(fenceParam3), KEEP(fenceParam5), KEEP(glowFlag), KEEP(skylightStyle), KEEP(skylightWidth),
    KEEP(skylightLength), KEEP(skylightSetting1), KEEP(showTopoLines), KEEP(navigationSubMode),
    KEEP(wallDimensionFrom), KEEP(baseElevation), KEEP(origin), KEEP(lockOriginX), KEEP(lockOriginY),
    KEEP(lockOriginZ), KEEP(framingView), KEEP(stairOpenSteps), KEEP(stairClosedStringers),
    KEEP(stairLongStringerBase), KEEP(clearViewLine), KEEP(clearViewFill), KEEP(roofStyle),
    ROLE(backgroundTextureScale, kBesideStep),
};
#undef KEEP
#undef ROLE

const auto& SortedRoles() {
  static const auto sorted = [] {
    std::array<FieldRole, std::size(kFieldRoles)> roles;
    std::copy(std::begin(kFieldRoles), std::end(kFieldRoles), roles.begin());
    std::sort(roles.begin(), roles.end(), [](const FieldRole& a, const FieldRole& b) { return a.begin < b.begin; });
    return roles;
  }();
  return sorted;
}

// What the digest makes of the field at that offset of DocState.
OutputPart RoleOfField(size_t offset) {
  const auto& sorted = SortedRoles();
  // The first role that ends past the offset.
  const auto it = std::upper_bound(sorted.begin(), sorted.end(), offset,
                                   [](size_t at, const FieldRole& r) { return at < r.end; });
  if (it == sorted.end() || it->begin > offset) return OutputPart::kCounted;
  return it->role == UndoRole::kSelection ? OutputPart::kSelection : OutputPart::kSetAside;
}

// Appends fields with two-byte alignment: a zero byte goes before any field wider than
// one byte that would start at an odd block offset. While the output is digested, the bytes
// of the fields set aside from it are marked.
class BlockWriter {
 public:
  BlockWriter(uint32_t start, const DocState* d) : off_(start), base_(reinterpret_cast<const char*>(d)) {}
  void pad() {
    const uint8_t zero = 0;
    WriteSome(&zero, 1);
    off_++;
  }
  void align() {
    if (off_ & 1) pad();
  }
  void u8(const uint8_t& v) {
    mark(&v, 1);
    WriteSome(&v, 1);
    off_++;
  }
  void i16(const int16_t& v) {
    align();
    mark(&v, 2);
    WriteStdShort(v);
    off_ += 2;
  }
  void u16(const uint16_t& v) {
    align();
    mark(&v, 2);
    WriteStdUShort(v);
    off_ += 2;
  }
  void i32(const int32_t& v) {
    align();
    mark(&v, 4);
    WriteStdLong(v);
    off_ += 4;
  }
  void u32(const uint32_t& v) {
    align();
    mark(&v, 4);
    WriteStdULong(v);
    off_ += 4;
  }
  void f32(const float& v) {
    align();
    mark(&v, 4);
    WriteStdFloat(v);
    off_ += 4;
  }
  void chars(const char* s, uint32_t n) {
    mark(s, n);
    WriteSome(s, n);
    off_ += n;
  }
  void font(const LOGFONT& f) {
    align();
    mark(&f, 60);
    ApplePortWriteLOGFONT(&f);
    off_ += 60;
  }
  // The colours of the newest segment are big-endian.
  void rgbBigEndian(const RGBColor& c) {
    align();
    mark(&c, 6);
    WriteUShort(c.red);
    WriteUShort(c.green);
    WriteUShort(c.blue);
    off_ += 6;
  }

 private:
  void mark(const void* field, uint32_t n) {
    if (!gStream.outDigest) return;
    const OutputPart part = RoleOfField(static_cast<size_t>(static_cast<const char*>(field) - base_));
    if (part != OutputPart::kCounted) MarkOutput(OutputOffset(), n, part);
  }
  uint32_t off_;
  const char* base_;
};

// Reads fields with the same alignment; a field is stored only when its bytes were all
// there, so a cut block leaves the remaining fields as they were.
class BlockReader {
 public:
  explicit BlockReader(uint32_t start) : off_(start) {}
  void pad() {
    uint8_t dropped;
    ReadSome(&dropped, 1);
    off_++;
  }
  void align() {
    if (off_ & 1) pad();
  }
  void u8(uint8_t& v) {
    uint8_t t;
    if (ReadSome(&t, 1)) v = t;
    off_++;
  }
  template <class T, void (*Read)(T*)>
  void scalar(T& v) {
    align();
    T t{};
    Read(&t);
    if (!StreamFailed()) v = t;
    off_ += sizeof(T);
  }
  void i16(int16_t& v) { scalar<int16_t, ReadStdShort>(v); }
  void u16(uint16_t& v) { scalar<uint16_t, ReadStdUShort>(v); }
  void i32(int32_t& v) { scalar<int32_t, ReadStdLong>(v); }
  void u32(uint32_t& v) { scalar<uint32_t, ReadStdULong>(v); }
  void f32(float& v) { scalar<float, ReadStdFloat>(v); }
  // Char fields are at most 512 bytes.
  void chars(char* s, uint32_t n) {
    char t[512];
    if (n <= sizeof t && ReadSome(t, n)) {
      memcpy(s, t, n);
      s[n - 1] = 0;
    }
    off_ += n;
  }
  void font(LOGFONT& f) {
    align();
    LOGFONT t = f;
    ApplePortReadLOGFONT(&t);
    if (!StreamFailed()) f = t;
    off_ += 60;
  }
  void rgbBigEndian(RGBColor& c) {
    scalar<uint16_t, ReadUShort>(c.red);
    scalar<uint16_t, ReadUShort>(c.green);
    scalar<uint16_t, ReadUShort>(c.blue);
  }

 private:
  uint32_t off_;
};

// Nested records, member by member; IO is a BlockWriter or BlockReader and R a record or
// a const record.
template <class IO, class R>
void Point(IO& io, R& p) {
  io.f32(p.floatH);
  io.f32(p.floatV);
}
template <class IO, class R>
void Point3D(IO& io, R& p) {
  io.f32(p.floatH);
  io.f32(p.floatV);
  io.f32(p.floatD);
}
template <class IO, class R>
void Rect(IO& io, R& r) {
  io.f32(r.floatTop);
  io.f32(r.floatLeft);
  io.f32(r.floatBottom);
  io.f32(r.floatRight);
}
template <class IO, class R>
void Color(IO& io, R& c) {
  io.u16(c.red);
  io.u16(c.green);
  io.u16(c.blue);
}
template <class IO, class R>
void ShortPt(IO& io, R& p) {
  io.i16(p.x);
  io.i16(p.y);
}
template <class IO, class R>
void Selection(IO& io, R& s) {
  io.align();
  io.u8(s.ssStateFresh);
  io.u8(s.ssFillPattern);
  io.i16(s.ssFillPatID);
  io.u8(s.ssFillColor);
  Color(io, s.ssFillRGBColor);
  io.u8(s.ssPenWidth);
  io.i16(s.ssPenWidthValue);
  io.u8(s.ssPenColor);
  Color(io, s.ssPenRGBColor);
  io.u8(s.ssPenStyle);
  io.i16(s.ssPenStyleType);
  io.u8(s.ssArrowPosition);
  io.i16(s.ssArrowPosID);
  io.u8(s.ssArrowHead);
  io.i16(s.ssArrowHeadType);
  io.u8(s.ssTextFrame);
  io.i16(s.ssTextFrameID);
  io.u8(s.ssTolerance);
  io.i16(s.ssToleranceType);
  io.u8(s.ssTextAlign);
  io.i16(s.ssTextAlignType);
}
template <class IO, class R>
void Selection40(IO& io, R& s) {
  io.align();
  io.u8(s.ssStateFresh);
  io.u8(s.ssBaseElevation);
  io.f32(s.ssBaseElevationValue);
}

// Layout 10000: gateToolOffset .. gridStyle (block offsets 0..793).
template <class IO, class D>
void Segment2(IO& io, D& d) {
  Point(io, d.gateToolOffset);
  io.i16(d.setting1);
  Point3D(io, d.viewPoint);
  io.i16(d.viewPlane);
  io.u8(d.wallToolFlag1);
  io.u8(d.wallToolFlag2);
  io.u8(d.wallToolFlag3);
  io.u8(d.angleConstraint);
  io.u8(d.constraintFlag2);
  io.u8(d.constraintFlag3);
  io.u8(d.snapToGrid);
  Point(io, d.gridSpacing);
  Point(io, d.gridSnap);
  io.i16(d.setting13);
  io.f32(d.setting14);
  io.i16(d.newPenStyle);
  io.i16(d.newLineWeight);
  io.i16(d.setting17);
  Rect(io, d.planBounds);
  io.i16(d.setting19);
  io.i16(d.setting20);
  io.i16(d.setting21);
  io.i16(d.setting22);
  io.i16(d.setting23);
  io.i16(d.lotSizeUnits);
  Point(io, d.lotSize);
  io.i16(d.dimArrowStyle);
  io.f32(d.setting27);
  io.f32(d.setting28);
  io.i16(d.dimToleranceStyle);
  io.f32(d.setting30);
  io.i16(d.lotSetting1);
  Color(io, d.lotColor);
  Color(io, d.newFillColor);
  Color(io, d.newPenColor);
  Color(io, d.annotationColor);
  io.i16(d.dimReadoutStyle);
  io.i16(d.setting37);
  io.u8(d.setting38);
  io.f32(d.planScale);
  io.i16(d.setting40);
  io.i16(d.worldUnits);
  io.u8(d.wallConnectFlag);
  io.f32(d.setting43);
  io.f32(d.setting44);
  io.i16(d.curveSegments);
  io.i16(d.multigonSides);
  io.i16(d.searchTolerance);
  io.i16(d.pickTolerance);
  io.i16(d.curveTension);
  io.f32(d.zoomFactor);
  io.i16(d.setting51);
  io.u8(d.setting52);
  io.u8(d.setting53);
  io.i32(d.dimFlags);
  io.i16(d.setting55);
  Selection(io, d.selectionState);
  io.i16(d.viewSetting12);
  io.i16(d.setting58);
  io.f32(d.wallSetting6);
  io.f32(d.wallThickness);
  io.f32(d.wallHeight);
  Color(io, d.wallColor);
  io.i32(d.setting63);
  io.i32(d.setting64);
  io.i16(d.doorStyle);
  io.f32(d.doorWidth);
  io.f32(d.doorHeight);
  io.f32(d.doorSetting2);
  Color(io, d.wallFillColor);
  io.i16(d.windowStyle);
  ShortPt(io, d.windowDividers);
  io.f32(d.windowWidth);
  io.f32(d.windowHeight);
  io.f32(d.windowSetting1);
  io.f32(d.windowSetting2);
  Color(io, d.windowColor);
  io.i16(d.roofSetting2);
  io.f32(d.roofPitch);
  io.f32(d.roofSetting3);
  Color(io, d.roofSetting4);
  Color(io, d.dimColor);
  io.i16(d.dimTextSize);
  Color(io, d.dimLineColor);
  io.i16(d.measureSystem);
  io.f32(d.printSetting2);
  io.f32(d.printSetting3);
  io.i16(d.planScaleChoice);
  io.f32(d.walkAngle);
  Point(io, d.walkPosition);
  io.f32(d.setting90);
  io.f32(d.setting91);
  io.i32(d.setting92);
  io.i32(d.setting93);
  io.f32(d.setting94);
  io.f32(d.setting95);
  io.f32(d.setting96);
  io.i16(d.navigationSpeed);
  io.i16(d.navigationStep);
  Color(io, d.background3DColor);
  io.i16(d.setting100);
  io.u8(d.setting101);
  io.i16(d.renderSetting4);
  io.i16(d.navigationMode);
  io.f32(d.flyPitch);
  io.f32(d.flyAngle);
  io.u8(d.viewSetting1);
  for (auto& c : d.colorTable) io.i32(c);
  io.i32(d.backgroundTextureID);
  io.i16(d.fillSetting1);
  io.i16(d.fillMaterial);
  io.u8(d.pathSetting1);
  io.i16(d.pathMaterial);
  io.u8(d.setting113);
  io.f32(d.pathWidth);
  io.f32(d.setting115);
  io.f32(d.setting116);
  io.f32(d.setting117);
  io.u8(d.edgingSetting1);
  Color(io, d.edgingColor);
  io.i16(d.fenceStyle);
  io.f32(d.setting121);
  io.f32(d.setting122);
  io.f32(d.setting123);
  io.f32(d.setting124);
  Color(io, d.fenceColor);
  io.f32(d.gateWidth);
  io.f32(d.setting127);
  Color(io, d.gateColor);
  io.i16(d.lotTextureID);
  io.f32(d.plantAge);
  io.i16(d.gridStyle);
}

// Layout 10300: stairParam1 .. viewSetting2 (794..1417).
template <class IO, class D>
void Segment3(IO& io, D& d) {
  io.f32(d.stairParam1);
  io.f32(d.stairParam2);
  io.f32(d.stairParam3);
  io.f32(d.stairParam4);
  io.u8(d.stairFlag1);
  io.u8(d.stairFlag2);
  io.f32(d.railHeight);
  io.f32(d.railSetting1);
  io.u8(d.railFlag2);
  io.u8(d.railFlag3);
  io.chars(d.traceImagePath, sizeof d.traceImagePath);
  io.u8(d.traceImageVisible);
  io.f32(d.traceImageScaleX);
  io.f32(d.traceImageScaleY);
  io.u8(d.drawSetting1);
  io.u8(d.showCallouts);
  io.u8(d.drawSetting2);
  Color(io, d.foundationColor1);
  Color(io, d.foundationColor2);
  io.u8(d.renderSetting1);
  io.f32(d.plantShadowSetting);
  io.f32(d.setting153);
  io.f32(d.setting154);
  io.f32(d.setting155);
  io.i32(d.renderSetting3);
  io.f32(d.viewSetting11);
  io.f32(d.studSpacing);
  io.f32(d.setting159);
  io.f32(d.setting160);
  io.f32(d.setting161);
  io.i32(d.renderSetting2);
  io.i32(d.setting163);
  io.i32(d.documentChanged);
  io.i32(d.viewSetting2);
}

// Layout 10350: deckHeight .. deckStepSetting2 (1418..1443).
template <class IO, class D>
void Segment35(IO& io, D& d) {
  io.f32(d.deckHeight);
  io.u8(d.deckIncludeRails);
  io.f32(d.deckRailHeight);
  io.f32(d.deckSetting1);
  io.u8(d.deckSkirting);
  io.u8(d.deckStepSetting1);
  io.u8(d.deckStepLeftRail);
  io.u8(d.deckStepRightRail);
  io.f32(d.deckStepWidth);
  io.f32(d.deckStepSetting2);
}

// Layout 10400: currentPlanMask .. setting214 (1444..1591).
template <class IO, class D>
void Segment40(IO& io, D& d) {
  io.i32(d.currentPlanMask);
  for (auto& m : d.planMasks) io.i32(m);
  io.i32(d.newObjectPlanMask);
  io.u16(d.viewSetting3);
  io.u8(d.shadowsOn);
  io.i16(d.viewSetting4);
  io.f32(d.baseElevation);
  Selection40(io, d.selectionState40);
  io.u8(d.shadowQualityFlag);
  io.i16(d.shadowQuality);
  io.f32(d.exteriorWallSetting);
  io.f32(d.beamSetting1);
  io.f32(d.beamSetting2);
  io.f32(d.pierSetting);
  io.f32(d.floorThickness);
  io.i32(d.receptacleStyle1);
  io.i32(d.receptacleStyle2);
  io.i32(d.switchStyle1);
  io.i32(d.switchStyle2);
  io.i32(d.setting203);
  io.f32(d.bathTubSetting1);
  io.f32(d.bathTubSetting2);
  io.f32(d.spaTubSetting1);
  io.f32(d.spaTubSetting2);
  io.f32(d.showerSetting1);
  io.f32(d.showerSetting2);
  io.f32(d.airDuctSetting1);
  io.f32(d.airDuctSetting2);
  io.f32(d.lotSlope);
  io.f32(d.topographyWidth);
  io.i32(d.setting214);
}

// Layout 10410: setting215 .. setting220 and a closing zero byte (1592..1613).
template <class IO, class D>
void Segment41(IO& io, D& d) {
  io.i32(d.setting215);
  io.i32(d.setting216);
  io.i32(d.setting217);
  io.i32(d.setting218);
  io.i32(d.setting219);
  io.u8(d.setting220);
  io.pad();
}

// Layout 10450: viewSetting5 .. perimeterTextureScale (1614..1649).
template <class IO, class D>
void Segment45(IO& io, D& d) {
  io.i32(d.viewSetting5);
  io.u8(d.soffitLeft);
  io.u8(d.soffitRight);
  io.u8(d.soffitBase);
  io.u8(d.soffitSetting);
  io.u8(d.includeSoffits);
  io.u8(d.roofSetting1);
  io.f32(d.soffitDepth);
  io.i32(d.viewSetting13);
  io.i16(d.cutAwayPlane);
  io.f32(d.excavationDepth);
  io.f32(d.wallSetting2);
  ShortPt(io, d.lotTextureScale);
  ShortPt(io, d.perimeterTextureScale);
}

// Layout 10500: perimeterColor .. snapOffset (1650..1797). The second plan colour's place
// holds dimColor; planColors[1] is never stored.
template <class IO, class D>
void Segment50(IO& io, D& d) {
  Color(io, d.perimeterColor);
  io.u32(d.nextObjectID);
  io.u32(d.nextPointID);
  io.font(d.font);
  io.f32(d.flyAltitude);
  io.f32(d.walkElevation);
  Point(io, d.lookOffset);
  Color(io, d.planColors[0]);
  Color(io, d.dimColor);
  for (int i = 2; i < kPlanKindCount; i++) Color(io, d.planColors[i]);
  io.f32(d.snapOffset);
}

// Layout 10700: wallSetting3 .. viewSetting6 (1798..1903).
template <class IO, class D>
void Segment70(IO& io, D& d) {
  io.f32(d.wallSetting3);
  io.i16(d.wallSetting8);
  io.f32(d.wallSetting9);
  io.f32(d.wallSetting10);
  io.f32(d.wallSetting4);
  io.f32(d.wallSetting5);
  io.i32(d.wallDisplayFlags);
  io.i16(d.wallDimensionFrom);
  io.i32(d.wallStyle);
  io.i32(d.wallFoundation);
  io.f32(d.doorSetting1);
  io.f32(d.stairHeight);
  io.u8(d.stairSetting1);
  io.u8(d.lightFlag);
  io.i32(d.lightType);
  io.i32(d.lightDimmer);
  io.i32(d.lightRadius);
  io.i32(d.lightFalloff);
  io.u8(d.lightAmbient);
  io.u8(d.lightOn);
  io.i16(d.roofElevationRef);
  io.u8(d.deckOpenSteps);
  io.i16(d.pathStyle);
  io.i32(d.detailEditLevel);
  io.i32(d.detailDisplayDims);
  io.i32(d.setting277);
  io.i16(d.shadowSetting1);
  io.u8(d.sunShadows);
  io.f32(d.sunAngle1);
  io.f32(d.sunAngle2);
  io.i16(d.sunSetting1);
  io.i16(d.sunSetting2);
  io.f32(d.viewSetting14);
  io.f32(d.viewSetting6);
}

// Layout 10800: path1 .. generalSetting4 (1904..3477).
template <class IO, class D>
void Segment80(IO& io, D& d) {
  io.chars(d.path1, sizeof d.path1);
  io.chars(d.path2, sizeof d.path2);
  io.f32(d.fenceParam1);
  io.f32(d.fenceParam2);
  io.f32(d.fenceParam4);
  io.f32(d.fenceParam3);
  io.f32(d.fenceParam5);
  io.f32(d.topoGridSpacing);
  io.u8(d.topoFlag1);
  io.u8(d.topoFlag2);
  io.chars(d.topoPath, sizeof d.topoPath);
  io.i32(d.generalSetting2);
  io.i32(d.generalSetting3);
  io.i32(d.generalSetting4);
}

// Layout 10900: glowFlag .. sceneSetting1 (3478..3649).
template <class IO, class D>
void Segment90(IO& io, D& d) {
  io.u8(d.glowFlag);
  io.i16(d.skylightStyle);
  io.f32(d.skylightWidth);
  io.f32(d.skylightLength);
  io.f32(d.skylightSetting1);
  io.i32(d.generalSetting1);
  io.u8(d.showTopoLines);
  Color(io, d.topoLineColor);
  io.i16(d.imperialReadout);
  io.i16(d.metricReadout);
  io.i16(d.angleReadout);
  io.f32(d.setting311);
  io.u8(d.viewSetting7);
  io.u8(d.viewSetting8);
  io.u8(d.viewSetting9);
  io.u8(d.navigationSubMode);
  io.u8(d.viewSetting10);
  io.chars(d.currentLiveViewName, sizeof d.currentLiveViewName);
  io.u8(d.sceneSetting1);
}

// Layout 11100: sceneColor, setting320, big-endian (3650..3661).
template <class IO, class D>
void Segment111(IO& io, D& d) {
  io.rgbBigEndian(d.sceneColor);
  io.rgbBigEndian(d.setting320);
}

// Runs one segment with a writer or reader that starts at the segment's block offset.
#define DEFINE_LAYOUT(suffix, previousCall, segment, start)                  \
  void ApplePortWritePaddedDocState##suffix(const DocState* docState) {     \
    if (!docState) return;                                                   \
    previousCall(ApplePortWritePaddedDocState, docState);                    \
    BlockWriter io(start, docState);                                         \
    segment(io, *docState);                                                  \
  }                                                                          \
  void ApplePortReadPaddedDocState##suffix(DocState* docState) {            \
    if (!docState) return;                                                   \
    previousCall(ApplePortReadPaddedDocState, docState);                     \
    BlockReader io(start);                                                   \
    segment(io, *docState);                                                  \
  }

}  // namespace

#define NO_PREVIOUS(prefix, docState)
#define PREVIOUS_2(prefix, docState) prefix##2(docState)
#define PREVIOUS_3(prefix, docState) prefix##3(docState)
#define PREVIOUS_35(prefix, docState) prefix##35(docState)
#define PREVIOUS_40(prefix, docState) prefix##40(docState)
#define PREVIOUS_41(prefix, docState) prefix##41(docState)
#define PREVIOUS_45(prefix, docState) prefix##45(docState)
#define PREVIOUS_50(prefix, docState) prefix##50(docState)
#define PREVIOUS_70(prefix, docState) prefix##70(docState)
#define PREVIOUS_80(prefix, docState) prefix##80(docState)
#define PREVIOUS_90(prefix, docState) prefix##90(docState)

DEFINE_LAYOUT(2, NO_PREVIOUS, Segment2, 0)
DEFINE_LAYOUT(3, PREVIOUS_2, Segment3, kDocStateBlockLength2)
DEFINE_LAYOUT(35, PREVIOUS_3, Segment35, kDocStateBlockLength3)
DEFINE_LAYOUT(40, PREVIOUS_35, Segment40, kDocStateBlockLength35)
DEFINE_LAYOUT(41, PREVIOUS_40, Segment41, kDocStateBlockLength40)
DEFINE_LAYOUT(45, PREVIOUS_41, Segment45, kDocStateBlockLength41)
DEFINE_LAYOUT(50, PREVIOUS_45, Segment50, kDocStateBlockLength45)
DEFINE_LAYOUT(70, PREVIOUS_50, Segment70, kDocStateBlockLength50)
DEFINE_LAYOUT(80, PREVIOUS_70, Segment80, kDocStateBlockLength70)
DEFINE_LAYOUT(90, PREVIOUS_80, Segment90, kDocStateBlockLength80)
DEFINE_LAYOUT(, PREVIOUS_90, Segment111, kDocStateBlockLength90)

uint32_t DocStateBlockLengthForVersion(int32_t version) {
  switch (version) {
    case 10000: return kDocStateBlockLength2;
    case 10300: return kDocStateBlockLength3;
    case 10350:
    case 10351: return kDocStateBlockLength35;
    case 10400: return kDocStateBlockLength40;
    case 10410: return kDocStateBlockLength41;
    case 10450: return kDocStateBlockLength45;
    case 10500: return kDocStateBlockLength50;
    case 10700:
    case 10701:
    case 10750: return kDocStateBlockLength70;
    case 10800: return kDocStateBlockLength80;
    case 10900:
    case 11000: return kDocStateBlockLength90;
    case 11100: return kDocStateBlockLength;
    default: return 0;
  }
}

// ---- Writing ----

// Puts the path of a custom texture id into a 512-byte path field. A path that does not fit
// is not cut (that would name another file): the field is emptied instead.
static void CopyCustomTexturePath(int32_t id, char* field, size_t size) {
  const char* path = GetCustomTextureIDPath(id);
  if (!path) return;
  if (strlen(path) < size) {
    strncpy(field, path, size);
  } else {
    memset(field, 0, size);
  }
}

void DoWriteDocState() {
  DocState* d = CurDocState();
  if (!d) return;
  const int32_t t = d->backgroundTextureID;
  const int16_t s = d->lotTextureID;
  if (t > kTextureCustom - 1) {
    CopyCustomTexturePath(t, d->path1, sizeof d->path1);
    d->backgroundTextureID = -1;
  }
  if (s > kTextureCustom - 1) {
    CopyCustomTexturePath(s, d->path2, sizeof d->path2);
    d->lotTextureID = -1;
  }
  WriteLong(kDocStateBlockFraming);
  ApplePortWritePaddedDocState(d);
  d->backgroundTextureID = t;
  d->lotTextureID = s;
}

// ---- Reading ----

namespace {

enum class Layout { k2, k3, k35, k40, k41, k45, k50, k70, k80, k90, k111 };

void ReadLayout(Layout layout, DocState* d) {
  switch (layout) {
    case Layout::k2: ApplePortReadPaddedDocState2(d); break;
    case Layout::k3: ApplePortReadPaddedDocState3(d); break;
    case Layout::k35: ApplePortReadPaddedDocState35(d); break;
    case Layout::k40: ApplePortReadPaddedDocState40(d); break;
    case Layout::k41: ApplePortReadPaddedDocState41(d); break;
    case Layout::k45: ApplePortReadPaddedDocState45(d); break;
    case Layout::k50: ApplePortReadPaddedDocState50(d); break;
    case Layout::k70: ApplePortReadPaddedDocState70(d); break;
    case Layout::k80: ApplePortReadPaddedDocState80(d); break;
    case Layout::k90: ApplePortReadPaddedDocState90(d); break;
    case Layout::k111: ApplePortReadPaddedDocState(d); break;
  }
}

void RestoreCustomTextures(DocState* d) {
  if (d->backgroundTextureID == -1 && d->path1[0]) d->backgroundTextureID = NewCustomTextureID(d->path1);
  if (d->lotTextureID == -1 && d->path2[0])
    d->lotTextureID = static_cast<int16_t>(NewCustomTextureID(d->path2));
}

// The fixes each old layout needs once its block has been read.
void RepairDocState(Layout layout, DocState* d) {
  const bool oldest = layout == Layout::k2 || layout == Layout::k3;
  const bool decks = layout == Layout::k35;
  const bool is80 = layout == Layout::k80;
  const bool newest = layout == Layout::k90 || layout == Layout::k111;

  if (!oldest) d->planMasks[kPlanDetail] |= 0x100;
  d->viewSetting13 = 0;
  d->viewSetting2 = 0;
  d->soffitLeft = 0;
  d->soffitRight = 0;
  d->drawSetting2 = 0;
  d->wallSetting2 = 42.0f;
  if (!newest) {
    d->renderSetting1 = 0;
    d->shadowQuality = 5;
  }
  if (oldest || decks || newest) {
    if (d->studSpacing < 6.0f) d->studSpacing = 16.0f;
    d->documentChanged = 0;
  }
  if (oldest || decks) {
    d->setting159 = 1.0f;
  } else if (newest && !(d->setting159 > 0.0f)) {
    d->setting159 = 1.0f;
  }
  if (is80 || newest) RestoreCustomTextures(d);
  if (!newest) {
    if (d->backgroundTextureID != 0) d->background3DColor = {65535, 65535, 65535};
    if (d->lotTextureID != 0) d->lotColor = {65535, 65535, 65535};
  }
}

void ReadTemplateLayout(Layout layout) {
  int32_t framing = 0;
  ReadLong(&framing);
  DocState* scratch = CreateDocState();
  if (!scratch) {
    // Without memory the block cannot be parsed; step over its bytes instead.
    static const uint32_t kLengths[] = {kDocStateBlockLength2, kDocStateBlockLength3, kDocStateBlockLength35,
                                        kDocStateBlockLength40, kDocStateBlockLength41, kDocStateBlockLength45,
                                        kDocStateBlockLength50, kDocStateBlockLength70, kDocStateBlockLength80,
                                        kDocStateBlockLength90, kDocStateBlockLength};
    SkipSome(kLengths[static_cast<int>(layout)]);
    return;
  }
  ReadLayout(layout, scratch);
  free(scratch);
}

bool ReadDocumentLayout(Layout layout) {
  if (!gCurDocument) {
    ReadTemplateLayout(layout);
    return false;
  }
  DocState* d = CreateDocState();
  if (!d) return false;
  int32_t framing = 0;
  ReadLong(&framing);
  ReadLayout(layout, d);
  RepairDocState(layout, d);
  free(gCurDocument->itsDocState);
  gCurDocument->itsDocState = d;
  return true;
}

bool LayoutForVersion(int32_t version, Layout* layout) {
  switch (version) {
    case 10000: *layout = Layout::k2; return true;
    case 10300: *layout = Layout::k3; return true;
    case 10350:
    case 10351: *layout = Layout::k35; return true;
    case 10400: *layout = Layout::k40; return true;
    case 10410: *layout = Layout::k41; return true;
    case 10450: *layout = Layout::k45; return true;
    case 10500: *layout = Layout::k50; return true;
    case 10700:
    case 10701:
    case 10750: *layout = Layout::k70; return true;
    case 10800: *layout = Layout::k80; return true;
    case 10900:
    case 11000: *layout = Layout::k90; return true;
    case 11100: *layout = Layout::k111; return true;
    default: return false;
  }
}

}  // namespace

bool DoReadDocState2() { return ReadDocumentLayout(Layout::k2); }
bool DoReadDocState3() { return ReadDocumentLayout(Layout::k3); }
bool DoReadDocState35() { return ReadDocumentLayout(Layout::k35); }
bool DoReadDocState40() { return ReadDocumentLayout(Layout::k40); }
bool DoReadDocState41() { return ReadDocumentLayout(Layout::k41); }
bool DoReadDocState45() { return ReadDocumentLayout(Layout::k45); }
bool DoReadDocState50() { return ReadDocumentLayout(Layout::k50); }
bool DoReadDocState70() { return ReadDocumentLayout(Layout::k70); }
bool DoReadDocState80() { return ReadDocumentLayout(Layout::k80); }
bool DoReadDocState90() { return ReadDocumentLayout(Layout::k90); }
bool DoReadDocState() { return ReadDocumentLayout(Layout::k111); }

void DoReadTemplateDocState2() { ReadTemplateLayout(Layout::k2); }
void DoReadTemplateDocState3() { ReadTemplateLayout(Layout::k3); }
void DoReadTemplateDocState35() { ReadTemplateLayout(Layout::k35); }
void DoReadTemplateDocState40() { ReadTemplateLayout(Layout::k40); }
void DoReadTemplateDocState41() { ReadTemplateLayout(Layout::k41); }
void DoReadTemplateDocState45() { ReadTemplateLayout(Layout::k45); }
void DoReadTemplateDocState50() { ReadTemplateLayout(Layout::k50); }
void DoReadTemplateDocState70() { ReadTemplateLayout(Layout::k70); }
void DoReadTemplateDocState80() { ReadTemplateLayout(Layout::k80); }
void DoReadTemplateDocState90() { ReadTemplateLayout(Layout::k90); }
void DoReadTemplateDocState() { ReadTemplateLayout(Layout::k111); }

bool DoReadDocStateForVersion(int32_t version) {
  Layout layout;
  if (!LayoutForVersion(version, &layout)) return false;
  return ReadDocumentLayout(layout);
}

bool DoReadTemplateDocStateForVersion(int32_t version) {
  Layout layout;
  if (!LayoutForVersion(version, &layout)) return false;
  ReadTemplateLayout(layout);
  return true;
}

void KeepUnsteppedSettings(const DocState& was, DocState* ds) {
  static_assert(std::is_trivially_copyable_v<DocState>, "settings are copied byte range by byte range");
  if (!ds || ds == &was) return;
  for (const FieldRole& r : kFieldRoles)
    if (r.role == UndoRole::kSetting)
      memcpy(reinterpret_cast<char*>(ds) + r.begin, reinterpret_cast<const char*>(&was) + r.begin, r.end - r.begin);
}

std::vector<uint8_t> StepFieldsBesideSnapshot(const DocState& ds) {
  std::vector<uint8_t> bytes;
  for (const FieldRole& r : kFieldRoles)
    if (r.role == UndoRole::kBesideStep) {
      const auto* at = reinterpret_cast<const uint8_t*>(&ds) + r.begin;
      bytes.insert(bytes.end(), at, at + (r.end - r.begin));
    }
  return bytes;
}

void PutBackStepFieldsBesideSnapshot(const std::vector<uint8_t>& bytes, DocState* ds) {
  if (!ds) return;
  size_t at = 0;
  for (const FieldRole& r : kFieldRoles)
    if (r.role == UndoRole::kBesideStep) {
      const size_t n = r.end - r.begin;
      // Bytes taken from another layout of the fields put nothing back.
      if (at + n > bytes.size()) return;
      memcpy(reinterpret_cast<char*>(ds) + r.begin, bytes.data() + at, n);
      at += n;
    }
}
