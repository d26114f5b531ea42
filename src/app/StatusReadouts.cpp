// Status-line texts and the core's road to the main window's status line.
#include "app/StatusReadouts.h"

#include <cmath>
#include <cstdio>

#include "app/AppController.h"
#include "app/ZLKWindowController.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "plandraw/qt/ReadoutText.h"
#include "platform/Strings.h"

namespace {

QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }

QString Inches(float inches) {
  char text[kReadoutTextSize] = {};
  ConvertInchesToStr(inches, text);
  return ReadoutString(text);
}

QString Angle(float degrees) {
  char text[kReadoutTextSize] = {};
  ConvertAngleToStr(degrees, text);
  return ReadoutString(text);
}

ZLKWindowController* MainWindow() { return AppController::mainWindowController(); }

void ClearStatus() {
  if (ZLKWindowController* w = MainWindow()) w->clearStatusBar();
}
void SetStatusText(const char* text) {
  if (ZLKWindowController* w = MainWindow()) w->setStatusBarText(text);
}
void ShowAngle(float v) {
  if (ZLKWindowController* w = MainWindow()) w->drawAngle(v);
}
void ShowDiameter(float v) {
  if (ZLKWindowController* w = MainWindow()) w->drawDiameter(v);
}
void ShowLength(float v) {
  if (ZLKWindowController* w = MainWindow()) w->drawLength(v);
}
void ShowViewLength(float v) {
  if (ZLKWindowController* w = MainWindow()) w->drawViewLength(v);
}
void ShowRadius(float v) {
  if (ZLKWindowController* w = MainWindow()) w->updateRadius(v);
}
void ShowWidthHeightArea(float width, float height, float area) {
  if (ZLKWindowController* w = MainWindow()) w->drawWidthHeightArea(width, height, area);
}
void ShowWidthHeightDepth(float width, float height, float depth) {
  if (ZLKWindowController* w = MainWindow()) w->drawWidthHeightDepth(width, height, depth);
}
void ShowElevationPane(const SelectionState40* ss40) {
  if (ZLKWindowController* w = MainWindow()) w->setElevationPane(ss40);
}

}  // namespace

QString ReadoutString(const char* text) { return text ? ReadoutBytesToString(text) : QString(); }

QString AngleReadoutText(float degrees) {
  if (degrees == 32000.0f) return {};
  return Localized("Angle: ") + Angle(degrees);
}

QString DiameterReadoutText(float inches) {
  if (inches == 0) return {};
  return Localized("Diameter: ") + Inches(inches);
}

QString LengthReadoutText(float inches) {
  if (inches == 0) return {};
  return Localized("Length: ") + Inches(inches);
}

QString ViewLengthReadoutText(float inches) {
  if (inches == 0) return {};
  return Localized("View Distance: %s").replace(QStringLiteral("%s"), Inches(inches));
}

QString RadiusReadoutText(float radius) {
  if (radius == 0) return {};
  // The fillet tools hand over a world length: it reads the same at every zoom.
  return Localized("Radius: ") + Inches(radius);
}

QString AreaText(float squareInches) {
  const DocState* ds = CurDocState();
  const bool imperial = ds && ds->measureSystem == kMeasureImperial;
  // Square inches to square feet (144) or square metres (0.0254 m to the inch, squared).
  double value = imperial ? squareInches / 144.0 : squareInches * 0.00064516;
  if (!(value > -2e9)) value = -2e9;  // also NaN
  if (value > 2e9) value = 2e9;
  // As precise as the lengths beside it: metres show four decimals, centimetres two and
  // millimetres one; imperial lengths in whole inches show whole square feet, finer ones two
  // decimals.
  int decimals = 0;
  if (imperial) {
    const int16_t code = DecodeImperialReadoutFormat();
    decimals = code == kReadoutFtInWhole || code == kReadoutInWhole ? 0 : 2;
  } else {
    const int16_t unit = DecodeMetricReadoutFormat();
    decimals = unit == 0 ? 4 : unit == 1 ? 2 : 1;
  }
  char text[kReadoutTextSize] = {};
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  TruncateTrailingZeros(text);
  if (gDecimalSeparator != '.')
    for (char* p = text; *p; ++p)
      if (*p == '.') *p = ',';
  return QString::fromLatin1(text) + QLatin1Char(' ') + Localized(imperial ? "sq.ft." : "sq.m.");
}

QString WidthHeightAreaReadoutText(float width, float height, float area) {
  if (width == 0 && height == 0) return {};
  return Localized("Width: ") + Inches(width) + Localized(", Height: ") + Inches(height) +
         Localized(", Area: ") + AreaText(area);
}

QString WidthHeightDepthReadoutText(float width, float height, float depth) {
  auto roundsToZero = [](float v) { return std::trunc(v + 0.5f) == 0; };
  if (roundsToZero(width) && roundsToZero(height) && roundsToZero(depth)) return {};
  auto value = [](float v) { return Inches(UnzoomF(std::fabs(v))); };
  QString widthPiece, depthPiece, heightPiece;
  if (width != 0) widthPiece = Localized("Width: %s").replace(QStringLiteral("%s"), value(width));
  if (depth != 0)
    depthPiece = Localized(widthPiece.isEmpty() ? "Depth: %s" : ", Depth: %s")
                     .replace(QStringLiteral("%s"), value(depth));
  if (height != 0)
    heightPiece = Localized(widthPiece.isEmpty() && depthPiece.isEmpty() ? "Height: %s" : ", Height: %s")
                      .replace(QStringLiteral("%s"), value(height));
  return widthPiece + depthPiece + heightPiece;
}

void InstallStatusReadoutServices() {
  gFrontEnd.clearStatusBar = ClearStatus;
  gFrontEnd.setStatusBarText = SetStatusText;
  gFrontEnd.drawAngle = ShowAngle;
  gFrontEnd.drawDiameter = ShowDiameter;
  gFrontEnd.drawLength = ShowLength;
  gFrontEnd.drawViewLength = ShowViewLength;
  gFrontEnd.updateRadius = ShowRadius;
  gFrontEnd.drawWidthHeightArea = ShowWidthHeightArea;
  gFrontEnd.drawWidthHeightDepth = ShowWidthHeightDepth;
  gFrontEnd.setElevationPane = ShowElevationPane;
}
