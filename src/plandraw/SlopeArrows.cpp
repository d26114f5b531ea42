// Slope arrows and elevation labels of the plan.
#include "plandraw/SlopeArrows.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "platform/Strings.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanRecordFields.h"
#include "plandraw/PlanText.h"
#include "plandraw/SymbolGeometry.h"

namespace {

constexpr float kEighthTurn = 0.7853982f;
constexpr float kTwelfthTurn = 0.5235988f;
constexpr int kLabelSize = 256;

struct ArrowEnds {
  PlanPoint tail, head;
};

bool TwoPoints(const Objex* o, ArrowEnds* ends) {
  if (!o || !o->firstPoint || !o->firstPoint->next) return false;
  ends->tail = PlanPositionOf(o->firstPoint);
  ends->head = PlanPositionOf(o->firstPoint->next);
  return true;
}

void Line(DrawContext* handle, PlanPoint a, PlanPoint b, const Objex* object, const Poinz* point) {
  DrawLine(handle, a.x, 0, a.z, b.x, 0, b.z, 0, object, point);
}

// The two barbs at the head, each drawn from its end to the head; a is the angle from the
// head back to the tail.
void Barbs(DrawContext* handle, PlanPoint head, float a, float barbAngle, float barbLength, const Objex* object,
           const Poinz* point) {
  Line(handle, head + Polar(a + barbAngle, barbLength), head, object, point);
  Line(handle, head + Polar(a - barbAngle, barbLength), head, object, point);
}

float Degrees(float radians) { return static_cast<float>(radians * kRadianDegrees); }

// The localized format with its "%s" replaced by the value (the table's text is never used
// as a printf format).
std::string Format(std::string format, const char* value) {
  if (const size_t at = format.find("%s"); at != std::string::npos) format.replace(at, 2, value);
  return format;
}

// The readout of a length in world units.
std::string Readout(float inches) {
  char text[kLabelSize] = {};
  ConvertInchesToStr(inches, text);
  return text;
}

// The localized "Descent: " followed by the whole degrees and the degree mark.
std::string DescentText(float degrees) {
  char number[64];
  std::snprintf(number, sizeof number, "%0.0f", degrees);
  return LocalizedString("Descent: ") + number + kReadoutDegreeMark;
}

void PitchArrow(DrawContext* handle, Objex* object, const Poinz* point, PlanPoint tail, PlanPoint head,
                const DocState* ds) {
  const PlanPoint m = Midpoint(tail, head);
  const float a = PlanAngle(head, tail);
  Line(handle, tail, head, object, point);
  Barbs(handle, head, a, kEighthTurn, 30.0f, object, point);
  const PlanPoint o = Polar(a + kRightAngle, 12.0f);
  char pitch[kLabelSize] = {};
  ConvertPitchToStr(object->width, pitch);
  DrawNormalTextNoOrientation(handle, pitch, m.x + o.x, m.z + o.z, Degrees(a));
  const char* run = ds->measureSystem == kMeasureImperial ? "12" : "10";
  DrawNormalTextNoOrientation(handle, run, m.x - o.x, m.z - o.z, Degrees(a));
}

// The lot and slope lot section arrows; the head line only for the section.
void LotArrow(DrawContext* handle, Objex* lot, float barbLength, bool headLine) {
  ArrowEnds e;
  if (!TwoPoints(lot, &e)) return;
  const float a = PlanAngle(e.head, e.tail);
  float length = 0;
  GetLineLengthAndAngle(e.tail.x, e.tail.z, e.head.x, e.head.z, &length);
  // The lines carry the object so that they show outside the rubber band too.
  Line(handle, e.head, e.tail, lot, nullptr);
  // The lot's barbs run out from the head.
  Line(handle, e.head, e.head + Polar(a + kTwelfthTurn, barbLength), lot, nullptr);
  Line(handle, e.head, e.head + Polar(a - kTwelfthTurn, barbLength), lot, nullptr);
  if (headLine) {
    const PlanPoint h = Polar(a + kRightAngle, 100.0f);
    Line(handle, e.head + h, e.head - h, lot, nullptr);
  }
  const PlanPoint q = Polar(a + kRightAngle, 200.0f);
  Line(handle, e.tail - q, e.tail + q, lot, nullptr);
  const PlanPoint zero = e.tail + Polar(a, 15.0f);
  DrawNormalText(handle, LocalizedString("Elevation=0").c_str(), zero.x, zero.z, Degrees(a + kRightAngle));
  const PlanPoint at = e.head + Polar(a, 0.5f * length) + Polar(a - kRightAngle, 15.0f);
  DrawNormalText(handle, DescentText(SlopeAngleOf(lot->firstPoint)).c_str(), at.x, at.z,
                 Degrees(PlanAngle(e.tail, e.head)));
}

}  // namespace

void DrawRoofSlopeDirectionArrow(DrawContext* handle, Objex* arrow) {
  const DocState* ds = CurDocState();
  ArrowEnds e;
  if (!ds || !TwoPoints(arrow, &e)) return;
  PitchArrow(handle, arrow, arrow->firstPoint, e.tail, e.head, ds);
}

void DrawCannedRoofSlopeArrow(DrawContext* handle, Objex* roof, const FloatPoint* tail, const FloatPoint* head) {
  const DocState* ds = CurDocState();
  if (!roof || !tail || !head || !ds) return;
  PitchArrow(handle, roof, nullptr, {tail->floatH, tail->floatV}, {head->floatH, head->floatV}, ds);
}

void DrawTopoSlopeDirectionArrow(DrawContext* handle, Objex* lot) {
  if (!CurDocState()) return;
  LotArrow(handle, lot, 150.0f, false);
}

void DrawTopoMultiSlopeDirectionArrow(DrawContext* handle, Objex* section) {
  DocState* ds = CurDocState();
  ArrowEnds e;
  if (!ds || !TwoPoints(section, &e)) return;
  LotArrow(handle, section, 75.0f, true);
  if (ShowAutoDimensions(ds)) {
    float unused1 = 0, unused2 = 0;
    DrawDimensionLine(handle, e.tail.x, e.tail.z, e.head.x, e.head.z, e.tail.x, e.tail.z, e.head.x, e.head.z, 0, 5.0f,
                      0, &unused1, &unused2, 0, 0, 5.0f, 0, nullptr);
  }
}

void DrawFoundationSlope(DrawContext* handle, Objex* slope) {
  ArrowEnds e;
  if (!CurDocState() || !TwoPoints(slope, &e)) return;
  const float a = PlanAngle(e.head, e.tail);
  Line(handle, e.head, e.tail, slope, slope->firstPoint);
  Barbs(handle, e.head, a, kTwelfthTurn, 50.0f, slope, slope->firstPoint);
  const PlanPoint at = Midpoint(e.tail, e.head) + Polar(a - kRightAngle, 15.0f);
  DrawNormalText(handle, LocalizedString("Slope").c_str(), at.x, at.z, Degrees(PlanAngle(e.tail, e.head)));
}

void DrawTopoLineElevation(DrawContext* handle, Objex* topography, Poinz* point) {
  const DocState* ds = CurDocState();
  if (!ds || !topography || !point || topography->type != kObjTopography) return;
  const std::string readout = Readout(ConvertScreenToWorld(topography->width, ds, 0));
  const char* key = topography->width > 0 ? "Ascend: %s" : "Descend: %s";
  ApplePortDrawPseudoDynamicText(Format(LocalizedString(key), readout.c_str()).c_str(), point->position[0],
                                 point->position[2], 0.0f);
}

void DrawRoofPointElevation(DrawContext* handle, Objex* panel, Poinz* point) {
  const DocState* ds = CurDocState();
  if (!ds || !panel || !point || panel->type != kObjRoofPanel || !panel->typeData) return;
  const Poinz* parallel = static_cast<const Objex*>(panel->typeData)->firstPoint;
  const Poinz* p = panel->firstPoint;
  while (p && parallel && p != point) p = p->next, parallel = parallel->next;
  if (!p || !parallel) return;
  const float h = ConvertScreenToWorld(std::fabs(parallel->position[1]), ds, 0);
  const float elevation = HeightsBelowBase(panel) ? panel->baseElevation - h : panel->baseElevation + h;
  ApplePortDrawPseudoDynamicText(Format(LocalizedString("Elev: %s"), Readout(elevation).c_str()).c_str(),
                                 point->position[0], point->position[2], 0.0f);
}

void DrawCannedRoofPointElevation(DrawContext* handle, Objex* roof, Poinz* point) {
  if (!CurDocState() || !roof || !point || roof->type != kObjRoof) return;
  ApplePortDrawPseudoDynamicText(Format(LocalizedString("Elev: %s"), Readout(roof->baseElevation).c_str()).c_str(),
                                 point->position[0], point->position[2], 0.0f);
}

void DrawTopoSlopeElevation(DrawContext* handle, Objex* lot, Poinz* point) {
  if (!CurDocState() || !lot || !point || lot->type != kObjEntireLot) return;
  // The point label puts its own ": " after the localized word.
  char number[64];
  std::snprintf(number, sizeof number, "%0.0f", SlopeAngleOf(point));
  const std::string label = LocalizedString("Descent: ") + ": " + number + kReadoutDegreeMark;
  DrawDynamicText(handle, label.c_str(), point->position[0], point->position[2], 0.0f);
}
