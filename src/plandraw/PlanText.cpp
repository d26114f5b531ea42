// Plan labels, text objects, live labels and door and window callouts: projection, font
// scaling, text angles and the text box handed to the plan view's text services.
#include "plandraw/PlanText.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "platform/Strings.h"
#include "plandraw/Base2DView.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanPoints.h"
#include "plandraw/PlanTextServices.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/WallsAndDoors.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr RGBColor kPseudoLiveBlue{0, 0, 65535};

float Radians(float degrees) { return degrees * kPi / 180.0f; }

// While printing, angles that land on a quarter turn are nudged by a tenth of a degree.
float PrintNudged(float degrees) {
  if (!gPrinting) return degrees;
  const int32_t whole = static_cast<int32_t>(degrees + 0.5f);
  switch (whole) {
    case 0: case 90: case 180: case 270: case 360: case 450:
      return degrees + 0.1f;
    default:
      return degrees;
  }
}

// The italic face of live labels at the given height.
LOGFONT LiveLabelFont(int32_t height) {
  LOGFONT font{};
  font.lfHeight = height;
  font.lfItalic = 1;
  font.lfPitchAndFamily = 0x34;
  std::strcpy(font.lfFaceName, "Arial");
  return font;
}

// Live labels are never smaller than 10 units.
int32_t LiveLabelHeight() {
  const int32_t h = Trunc16(ZoomF(-20.0f) - 0.5f);
  return h >= -9 ? -10 : h;
}

const char* DoorCalloutSuffix(int16_t subtype) {
  switch (subtype) {
    case kDoorFrameOnly: return " CO";
    case kDoorSliding: return " SD";
    case kDoorGarage: return " OHD";
    case kDoorArchedOpening: case kDoorArchedOpeningLow: case kDoorArchedHinged: case kDoorArchedHingedLow:
      return " Arch";
    case kDoorHingedGlass: return " Fr";
    case kDoorHingedHalfGlass: return " 9Lt";
    case kDoorPocket: return " PD";
    case kDoorBiFold: return " BF";
    default: return nullptr;
  }
}

}  // namespace

int16_t ScaledFontHeight(float height) {
  const float scaled = gPrinting ? height * gHPrintScale - 0.5f : ZoomF(height) - 0.5f;
  const int16_t h = Trunc16(scaled);
  return h == 0 ? -1 : h;
}

float UprightTextAngle(float degrees) { return degrees > 90.0f && degrees <= 270.0f ? degrees + 180.0f : degrees; }

int32_t TextEscapement(float degrees) {
  const double tenths = static_cast<double>(degrees) * 10.0 + 0.5;
  if (!(tenths > -2147483647.0) || !(tenths < 2147483647.0)) return 0;
  return static_cast<int32_t>(tenths);
}

bool IsPlanTextReadable(const LOGFONT& font) {
  float size = 0;
  uint32_t traits = 0;
  ConvertWin32FontInfoToApple(&font, &size, &traits);
  FontDescription d;
  d.pointSize = size;
  return IsReadableFontSize(d);
}

NSSize MeasurePlanText(DrawContext* handle, const char* text, const LOGFONT& font) {
  if (!text || !IsPlanTextReadable(font)) return {};
  if (DrawContext* ctx = ResolveDrawContext(handle)) return ctx->measureText(text, FontDescriptionFromLOGFONT(font));
  if (Base2DView* view = MainDocumentView()) return view->textMetricsForString(text, &font);
  return {};
}

void DrawPlanTextInRect(DrawContext* handle, const char* text, const NSRect& rect, const LOGFONT& font,
                        const RGBColor& color) {
  // Text too small to read is still handed on at its size; the painter leaves it out.
  if (gPlanViewHooks.drawText) gPlanViewHooks.drawText(text, &rect, &font, &color);
  else DrawTextInRectWithFontInfo(handle, text, &rect, &font, &color);
}

NSRect CentredTextBox(float cx, float cy, NSSize size) {
  const float halfWidth = (size.width + 6.0f) / 2.0f, halfHeight = size.height / 2.0f;
  NSRect rect;
  ConvertCoordsToNSRect(&rect, Trunc16(cx - halfWidth + 0.5f), Trunc16(cy - halfHeight + 0.5f),
                        Trunc16(cx + halfWidth + 0.5f), Trunc16(cy + halfHeight + 0.5f));
  return rect;
}

void DrawNormalText(DrawContext* handle, const char* text, float x, float z, float angle) {
  DocState* ds = CurDocState();
  if (!ds || !text) return;
  const PlanXZ step = PolarPlan(Radians(angle) - kPi / 2, 6.0f);
  NSPoint at = ProjectPlanPoint(x + step.x, z + step.z);
  LOGFONT font = ds->font;
  font.lfHeight = ScaledFontHeight(static_cast<float>(font.lfHeight));
  font.lfEscapement = font.lfOrientation = TextEscapement(angle);
  at = PrintScaled(at);
  const NSRect box = CentredTextBox(at.x, at.y, MeasurePlanText(handle, text, font));
  DrawPlanTextInRect(handle, text, box, font, gPlanDrawSettings.penColor);
}

void DrawNormalTextNoOrientation(DrawContext* handle, const char* text, float x, float z, float angle) {
  DrawNormalText(handle, text, x, z, angle);
}

void DrawRotatedText(DrawContext* handle, const char* text, float x, float z, float angle, const LOGFONT* font) {
  if (!CurDocState() || !text || !font || !MainDocumentView()) return;
  const float dx = 6.0f * std::sin(Radians(angle));
  const NSPoint at = ProjectPlanPoint(x, z);
  LOGFONT f = *font;
  f.lfHeight = ScaledFontHeight(static_cast<float>(f.lfHeight));
  f.lfEscapement = f.lfOrientation = TextEscapement(PrintNudged(angle));
  const NSPoint centre = PrintScaled({at.x - dx, at.y});
  const NSRect box = CentredTextBox(centre.x, centre.y, MeasurePlanText(handle, text, f));
  DrawPlanTextInRect(handle, text, box, f, gPlanDrawSettings.penColor);
}

void DrawStandardText(DrawContext* handle, const char* text, const FloatRect* box, const LOGFONT* font,
                      int16_t alignment) {
  if (!CurDocState() || !text || !box || !font) return;
  Base2DView* view = MainDocumentView();
  if (!view) return;
  const NSPoint a = PrintScaled(ProjectPlanPointFlat(box->floatLeft, box->floatTop));
  const NSPoint b = PrintScaled(ProjectPlanPointFlat(box->floatRight, box->floatBottom));
  RECT r;
  r.left = Trunc16(a.x + 0.5f);
  r.top = Trunc16(a.y + 0.5f);
  r.right = Trunc16(b.x + 0.5f);
  r.bottom = Trunc16(b.y + 0.5f) + 5;
  LOGFONT f = *font;
  f.lfHeight = ScaledFontHeight(static_cast<float>(f.lfHeight));
  f.lfEscapement = f.lfOrientation = 0;
  const NSRect rect = ConvertRECTToNSRect(r);
  CurrentDrawContextScope scope(ResolveDrawContext(handle));
  view->drawStdText(text, &rect, &f, &gPlanDrawSettings.penColor, alignment);
}

void DrawDynamicText(DrawContext* handle, const char* text, float x, float z, float angle) {
  if (!CurDocState() || !text) return;
  ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine();
  if (!engine) return;
  const NSPoint at = ProjectPlanPoint(x, z);
  LOGFONT font = LiveLabelFont(LiveLabelHeight());
  font.lfEscapement = font.lfOrientation = TextEscapement(UprightTextAngle(angle));
  auto element = std::make_unique<ZLKDynamicDimElement>();
  ZLKDynamicDimElement* added = element.get();
  engine->addDynamicDimElement(std::move(element));
  const NSRect box = CentredTextBox(at.x, at.y - 7.0f, MeasurePlanText(handle, text, font));
  added->initDynaimcDimElementTextRect(&box, text, &font);
}

void ApplePortDrawPseudoDynamicText(const char* text, float x, float z, float angle) {
  if (!CurDocState() || !text || !MainDocumentView()) return;
  const NSPoint at = ProjectPlanPoint(x, z);
  LOGFONT font = LiveLabelFont(LiveLabelHeight());
  font.lfEscapement = font.lfOrientation = TextEscapement(UprightTextAngle(angle));
  const NSRect box = CentredTextBox(at.x, at.y - 7.0f, MeasurePlanText(nullptr, text, font));
  DrawPlanTextInRect(nullptr, text, box, font, kPseudoLiveBlue);
}

void GetAttachmentCalloutText(const DoorWindowData* opening, char* out) {
  if (!out) return;
  out[0] = 0;
  const DocState* ds = CurDocState();
  if (!opening || !ds) return;
  char width[kReadoutTextSize] = {}, height[kReadoutTextSize] = {};
  ConvertInchesToStr(ConvertScreenToWorld(opening->width, ds, 0), width);
  ConvertInchesToStr(ConvertScreenToWorld(opening->height, ds, 0), height);
  std::snprintf(out, kCalloutTextSize, "%s x %s", width, height);
  if (opening->ownerType != kObjDoor) return;
  if (const char* key = DoorCalloutSuffix(opening->subtype)) {
    const std::string suffix = LocalizedString(key);
    const size_t used = std::strlen(out);
    std::snprintf(out + used, kCalloutTextSize - used, "%s", suffix.c_str());
  }
}

void DrawAttachmentCalloutText(DrawContext* handle, const DoorWindowData* opening, float x1, float z1, float x2,
                               float z2, float ax, float az, uint8_t side, float distance) {
  DocState* ds = CurDocState();
  if (!ds || !opening || !ds->showCallouts) return;
  const NSPoint from = ProjectPlanPoint(x1, z1), to = ProjectPlanPoint(x2, z2);
  const float a = AngleBetween(from, to);
  NSPoint anchor = ProjectPlanPointFlat(ax, az);
  anchor = anchor + PolarOffset(a + (side ? kPi / 2 : -kPi / 2), ZoomF(distance + 8.0f));

  LOGFONT font = ds->font;
  const float half = static_cast<float>(font.lfHeight) * 0.5f;
  const int16_t h = Trunc16(gPrinting ? half * gHPrintScale - 0.5f : ZoomF(half) - 0.5f);
  font.lfHeight = h == 0 ? -1 : h;
  font.lfEscapement = font.lfOrientation = TextEscapement(PrintNudged(UprightTextAngle(a * kDegreesPerRadian)));

  char text[kCalloutTextSize];
  GetAttachmentCalloutText(opening, text);
  const NSSize size = MeasurePlanText(handle, text, font);
  const int16_t halfWidth = static_cast<int16_t>(Trunc16(size.width + 6.0f) / 2);
  const NSPoint u = PolarOffset(a, halfWidth);
  const NSPoint p1 = PrintScaled(anchor - u), p2 = PrintScaled(anchor + u);
  NSRect rect;
  ConvertCoordsToNSRect(&rect, p1.x, p1.y, p2.x, p2.y);
  DrawPlanTextInRect(handle, text, rect, font, gPlanDrawSettings.penColor);
}
