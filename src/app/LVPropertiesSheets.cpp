// The rendering and lighting settings sheets of the 3D window.
// The skylight builders' records name a member "slots": read before Qt defines the word.
#include "building3d/Skylights3D.h"
//
#include "app/LVPropertiesSheets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "building3d/PlaneObjects.h"
#include "files/Undo.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "render3d/SceneFrame.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "render3d/Lighting.h"

int32_t gCurrentFOVCmd = kFOVCmdDefault;

void setFOVValues(int32_t code) {
  static constexpr float kChopper[5] = {28, 33, 38, 43, 48};
  static constexpr float kWalk[5] = {35, 40, 45, 50, 55};
  const int i = code >= kFOVCmdFirst && code <= kFOVCmdLast ? code - kFOVCmdFirst : 2;
  gChopperFOV = kChopper[i];
  gWalkFOV = kWalk[i];
}

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }
constexpr double kPi = 3.14159265358979323846;
// Curve qualities: segments per curve.
constexpr int kQualityMin = 1, kQualityMax = 32;

QSlider* MakeSlider(QWidget* parent, const char* name, int minimum, int maximum) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(QString::fromLatin1(name));
  slider->setRange(minimum, maximum);
  return slider;
}
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* title) {
  auto* box = new QCheckBox(Text(title), parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}
void Redraw3DView() {
  gRenderDirty = 1;
  gRefreshRender = 1;
  if (TheSheetHooks().redraw3DView) TheSheetHooks().redraw3DView();
}
}  // namespace

// ---- Rendering settings ----

int LVGeneralPropertiesController::opacityStep(int opacity) {
  for (int step = 0; step <= 4; ++step)
    if (opacity == 175 + 20 * step) return step;
  return 3;
}

LVGeneralPropertiesController::LVGeneralPropertiesController(QWidget* parent)
    : SheetController(parent, "LVGeneralPropertiesSheet") {
  setWindowTitle(Text("Rendering Settings"));
  static constexpr const char* kNames[10][2] = {
      {"renderDoorsButton", "Doors and Windows"}, {"renderObjectsButton", "Objects"},
      {"renderPlantsButton", "Plants"},           {"renderRoofsButton", "Roofs"},
      {"renderMaterialsButton", "Materials"},     {"renderTopographyButton", "Topography"},
      {"animateBackgroundButton", "Animate Background"}, {"renderElectricalButton", "Electrical"},
      {"renderPlumbingButton", "Plumbing"},       {"renderHVACButton", "HVAC"}};
  for (int i = 0; i < 10; ++i) {
    renderButtons[i] = MakeCheckBox(this, kNames[i][0], kNames[i][1]);
    form()->addRow(renderButtons[i]);
  }
  navigationSpeedSlider = MakeSlider(this, "navigationSpeedSlider", 0, 4);
  FOVSlider = MakeSlider(this, "FOVSlider", 0, 4);
  CVOpacitySlider = MakeSlider(this, "CVOpacitySlider", 0, 4);
  winDoorQualitySlider = MakeSlider(this, "winDoorQualitySlider", kQualityMin, kQualityMax);
  winDoorTrimQualitySlider = MakeSlider(this, "winDoorTrimQualitySlider", kQualityMin, kQualityMax);
  baseCrownTrimQualitySlider = MakeSlider(this, "baseCrownTrimQualitySlider", kQualityMin, kQualityMax);
  objectQualitySlider = MakeSlider(this, "objectQualitySlider", kQualityMin, kQualityMax);
  form()->addRow(Text("Navigation speed:"), navigationSpeedSlider);
  form()->addRow(Text("Field of view:"), FOVSlider);
  form()->addRow(Text("ClearView opacity:"), CVOpacitySlider);
  form()->addRow(Text("Window and door quality:"), winDoorQualitySlider);
  form()->addRow(Text("Window and door trim quality:"), winDoorTrimQualitySlider);
  form()->addRow(Text("Base and crown trim quality:"), baseCrownTrimQualitySlider);
  form()->addRow(Text("Object quality:"), objectQualitySlider);
}

void LVGeneralPropertiesController::newGeneralPropertiesSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new LVGeneralPropertiesController(parent));
}

void LVGeneralPropertiesController::initializeControlStates() {
  DocState* ds = CurDocState();
  if (!ds) return;
  savedWindowDoorRenderQuality = static_cast<float>(ds->windowDoorRenderQuality());
  savedWindowDoorTrimRenderQuality = static_cast<float>(ds->windowDoorTrimRenderQuality());
  savedTrimCrownRenderQuality = static_cast<float>(ds->trimCrownRenderQuality());
  saved3DFormwerkRenderQuality = static_cast<float>(ds->objectRenderQuality());
  navigationSpeedSlider->setValue(ds->navigationStep - 6);
  FOVSlider->setValue(gCurrentFOVCmd - kFOVCmdFirst);
  CVOpacitySlider->setValue(opacityStep(ds->clearViewOpacity()));
  for (int i = 0; i < 10; ++i) renderButtons[i]->setChecked(!(ds->renderExclusions() & (1 << i)));
  winDoorQualitySlider->setValue(ds->windowDoorRenderQuality());
  winDoorTrimQualitySlider->setValue(ds->windowDoorTrimRenderQuality());
  baseCrownTrimQualitySlider->setValue(ds->trimCrownRenderQuality());
  objectQualitySlider->setValue(ds->objectRenderQuality());
  QSlider* sliders[7] = {navigationSpeedSlider, FOVSlider, CVOpacitySlider, winDoorQualitySlider,
                         winDoorTrimQualitySlider, baseCrownTrimQualitySlider, objectQualitySlider};
  for (int i = 0; i < 7; ++i) shownSliders_[i] = sliders[i]->value();
  for (int i = 0; i < 10; ++i) shownButtons_[i] = renderButtons[i]->isChecked();
}

void LVGeneralPropertiesController::saveControlStates() {
  if (DocState* ds = CurDocState()) saveControlStates(ds);
}

void LVGeneralPropertiesController::saveControlStates(DocState* ds) {
  // A control left as it was shown writes nothing: a stored value the control cannot show
  // (an opacity between the steps, a quality beyond the slider) stays as it is.
  auto changed = [this](int i, const QSlider* s) { return s->value() != shownSliders_[i]; };
  if (changed(0, navigationSpeedSlider)) ds->navigationStep = static_cast<int16_t>(navigationSpeedSlider->value() + 6);
  if (changed(1, FOVSlider)) {
    gCurrentFOVCmd = FOVSlider->value() + kFOVCmdFirst;
    setFOVValues(gCurrentFOVCmd);
  }
  if (changed(2, CVOpacitySlider)) ds->clearViewOpacity() = static_cast<uint16_t>(CVOpacitySlider->value() * 20 + 175);
  for (int i = 0; i < 10; ++i) {
    if (renderButtons[i]->isChecked() == shownButtons_[i]) continue;
    if (renderButtons[i]->isChecked())
      ds->renderExclusions() &= ~(1 << i);
    else
      ds->renderExclusions() |= 1 << i;
  }
  if (changed(3, winDoorQualitySlider)) ds->windowDoorRenderQuality() = winDoorQualitySlider->value();
  if (changed(4, winDoorTrimQualitySlider)) ds->windowDoorTrimRenderQuality() = winDoorTrimQualitySlider->value();
  if (changed(5, baseCrownTrimQualitySlider)) ds->trimCrownRenderQuality() = baseCrownTrimQualitySlider->value();
  if (changed(6, objectQualitySlider)) ds->objectRenderQuality() = objectQualitySlider->value();
}

void LVGeneralPropertiesController::applySheet(ZLKDocumentModel*, DocState* ds) {
  saveControlStates(ds);
  gRenderDirty = 1;
  gRefreshRender = 1;
  if (static_cast<float>(ds->windowDoorRenderQuality()) != savedWindowDoorRenderQuality)
    skylightsRemoved_ = UpdateSkylightSymbolsAllLayers() > 0;
  if (static_cast<float>(ds->windowDoorRenderQuality()) != savedWindowDoorRenderQuality ||
      static_cast<float>(ds->windowDoorTrimRenderQuality()) != savedWindowDoorTrimRenderQuality ||
      static_cast<float>(ds->trimCrownRenderQuality()) != savedTrimCrownRenderQuality ||
      static_cast<float>(ds->objectRenderQuality()) != saved3DFormwerkRenderQuality)
    RenderAllLayers();
  Redraw3DView();
  StoreUndo(LocalizedString("Rendering Settings"));
}

void LVGeneralPropertiesController::afterClosing() {
  if (!skylightsRemoved_) return;
  ShowAlert("One or more components have been removed.",
            "The roof was not large enough to accommodate all of its attachments.  One or more skylights and/or "
            "cutouts were removed.");
}

// ---- Sun dials ----

namespace {
constexpr int kDialSize = 24, kSunSize = 12;
}

LVDirectionAngleView::LVDirectionAngleView(LVLightPropertiesController* parent)
    : QWidget(parent), dirAngleViewParentController(parent) {
  setObjectName("directionAngleView");
  setFixedSize(140, 140);
  centerX = width() / 2.0f - kDialSize / 2.0f;
  centerY = height() / 2.0f + kDialSize / 2.0f;
}

QPointF LVDirectionAngleView::sunPosition(float cx, float cy, int directionAngle) {
  const double a = (450 - directionAngle) * kPi / 180.0;
  return {cx + 50 * std::cos(a), cy - 50 * std::sin(a)};
}

void LVDirectionAngleView::paintEvent(QPaintEvent*) {
  // The view is drawn with y down; the dial and sun images hang from their bottom left.
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::darkGray, 1));
  painter.drawEllipse(QPointF(width() / 2.0, height() / 2.0), 56, 56);
  painter.setBrush(Qt::gray);
  painter.drawRect(QRectF(centerX, centerY - kDialSize, kDialSize, kDialSize));
  const QPointF sun = sunPosition(centerX, centerY, dirAngleViewParentController->directionAngle());
  painter.setBrush(QColor(255, 200, 0));
  painter.drawEllipse(QRectF(sun.x(), sun.y() - kSunSize, kSunSize, kSunSize));
}

LVOverheadAngleView::LVOverheadAngleView(LVLightPropertiesController* parent)
    : QWidget(parent), ovrAngleViewParentController(parent) {
  setObjectName("overheadAngleView");
  setFixedSize(100, 100);
  imageX = 11;
  imageY = height() - 20;
}

QPointF LVOverheadAngleView::sunPosition(float viewHeight, int overheadAngle) {
  const double a = overheadAngle * kPi / 180.0;
  return {5 + 75 * std::cos(a), viewHeight - 13 - 75 * std::sin(a)};
}

void LVOverheadAngleView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::darkGray, 1));
  painter.drawArc(QRectF(imageX - 75, imageY - 75, 150, 150), 0, 90 * 16);
  painter.drawLine(QPointF(imageX, imageY), QPointF(imageX + 80, imageY));
  const QPointF sun = sunPosition(height(), ovrAngleViewParentController->overheadAngle());
  painter.setBrush(QColor(255, 200, 0));
  painter.drawEllipse(QRectF(sun.x(), sun.y() - kSunSize, kSunSize, kSunSize));
}

// ---- Lighting settings ----

int LVLightPropertiesController::intensityStep(float lightIntensity) {
  // The slider runs from 0 to 100; a stored intensity that is not a number shows as 0.
  const double step = (65535.0 - lightIntensity) / 65535.0 * 100.0;
  if (!(step > 0)) return 0;
  return step > 100 ? 100 : static_cast<int>(std::lround(step));
}

int LVLightPropertiesController::brightnessStep(float lightBrightness) {
  // The stored value is a float: 0.58 is held as 0.5799999..., which must still show as 4, the
  // position that saved it. The tolerance is far below one step and above the float's error.
  const double v = std::trunc((lightBrightness - 0.5) * 50.0 + 1e-4);
  return !(v >= 1) ? 1 : v > 100 ? 100 : static_cast<int>(v);
}

LVLightPropertiesController::LVLightPropertiesController(QWidget* parent)
    : SheetController(parent, "LVLightPropertiesSheet") {
  setWindowTitle(Text("Lighting Settings"));
  setWindowOpacity(1.0);
  directionAngleView = new LVDirectionAngleView(this);
  overheadAngleView = new LVOverheadAngleView(this);
  sunlightOnButton = MakeCheckBox(this, "sunlightOnButton", "Sunlight");
  optimalQualityButton = MakeCheckBox(this, "optimalQualityButton", "Optimal quality");
  backgroundLightingButton = MakeCheckBox(this, "backgroundLightingButton", "Background lighting");
  directionAngleSlider = MakeSlider(this, "directionAngleSlider", 0, 359);
  overheadAngleSlider = MakeSlider(this, "overheadAngleSlider", 0, 90);
  sunBrightnessSlider = MakeSlider(this, "sunBrightnessSlider", 0, 100);
  sunShadowQualitySlider = MakeSlider(this, "sunShadowQualitySlider", 0, 6);
  lightIntensitySlider = MakeSlider(this, "lightIntensitySlider", 0, 100);
  lightBrightnessSlider = MakeSlider(this, "lightBrightnessSlider", 1, 100);
  directionAngleStepper = new QSpinBox(this);
  directionAngleStepper->setObjectName("directionAngleStepper");
  directionAngleStepper->setRange(0, 359);
  directionAngleStepper->setWrapping(false);
  overheadAngleStepper = new QSpinBox(this);
  overheadAngleStepper->setObjectName("overheadAngleStepper");
  overheadAngleStepper->setRange(0, 90);
  overheadAngleStepper->setWrapping(false);
  directionAngleTextField = MakeSheetField(this, "directionAngleTextField");
  overheadAngleTextField = MakeSheetField(this, "overheadAngleTextField");

  form()->addRow(sunlightOnButton);
  auto* dials = new QHBoxLayout;
  dials->addWidget(directionAngleView);
  dials->addWidget(overheadAngleView);
  form()->addRow(dials);
  auto* direction = new QHBoxLayout;
  direction->addWidget(directionAngleSlider);
  direction->addWidget(directionAngleTextField);
  direction->addWidget(directionAngleStepper);
  form()->addRow(Text("Sun direction:"), direction);
  auto* overhead = new QHBoxLayout;
  overhead->addWidget(overheadAngleSlider);
  overhead->addWidget(overheadAngleTextField);
  overhead->addWidget(overheadAngleStepper);
  form()->addRow(Text("Sun height:"), overhead);
  form()->addRow(Text("Sun brightness:"), sunBrightnessSlider);
  form()->addRow(Text("Sun shadow quality:"), sunShadowQualitySlider);
  form()->addRow(optimalQualityButton);
  form()->addRow(Text("Light intensity:"), lightIntensitySlider);
  form()->addRow(Text("Light brightness:"), lightBrightnessSlider);
  form()->addRow(backgroundLightingButton);

  connect(directionAngleSlider, &QSlider::valueChanged, this, [this](int v) { setDirectionAngle(v); });
  connect(directionAngleStepper, qOverload<int>(&QSpinBox::valueChanged), this,
          [this](int v) { setDirectionAngle(v); });
  connect(overheadAngleSlider, &QSlider::valueChanged, this, [this](int v) { setOverheadAngle(v); });
  connect(overheadAngleStepper, qOverload<int>(&QSpinBox::valueChanged), this,
          [this](int v) { setOverheadAngle(v); });
  connect(directionAngleTextField, &QLineEdit::editingFinished, this,
          [this] { controlTextDidEndEditing(directionAngleTextField); });
  connect(overheadAngleTextField, &QLineEdit::editingFinished, this,
          [this] { controlTextDidEndEditing(overheadAngleTextField); });
  connect(optimalQualityButton, &QCheckBox::toggled, this, [this] { changingOptimalQualityButton(); });
}

void LVLightPropertiesController::newLightPropertiesSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new LVLightPropertiesController(parent));
}

int LVLightPropertiesController::directionAngle() const { return directionAngleSlider->value(); }
int LVLightPropertiesController::overheadAngle() const { return overheadAngleSlider->value(); }

void LVLightPropertiesController::setDirectionAngle(int angle) {
  const QSignalBlocker a(directionAngleSlider), b(directionAngleStepper);
  directionAngleSlider->setValue(angle);
  directionAngleStepper->setValue(angle);
  directionAngleTextField->setText(QString::number(directionAngleSlider->value()));
  directionAngleView->update();
}

void LVLightPropertiesController::setOverheadAngle(int angle) {
  const QSignalBlocker a(overheadAngleSlider), b(overheadAngleStepper);
  overheadAngleSlider->setValue(angle);
  overheadAngleStepper->setValue(angle);
  overheadAngleTextField->setText(QString::number(overheadAngleSlider->value()));
  overheadAngleView->update();
}

void LVLightPropertiesController::trackingDirectionAngleSlider() { setDirectionAngle(directionAngleSlider->value()); }
void LVLightPropertiesController::changingDirectionAngleStepper() { setDirectionAngle(directionAngleStepper->value()); }
void LVLightPropertiesController::trackingOverheadAngleSlider() { setOverheadAngle(overheadAngleSlider->value()); }
void LVLightPropertiesController::changingOverheadAngleStepper() { setOverheadAngle(overheadAngleStepper->value()); }

void LVLightPropertiesController::changingOptimalQualityButton() {
  sunShadowQualitySlider->setEnabled(!optimalQualityButton->isChecked());
}

void LVLightPropertiesController::controlTextDidEndEditing(QLineEdit* field) {
  const bool direction = field == directionAngleTextField;
  if (!direction && field != overheadAngleTextField) return;
  const QSpinBox* stepper = direction ? directionAngleStepper : overheadAngleStepper;
  const int shown = stepper->value();
  const TypedNumber typed = ReadTypedNumber(field, NumberKind::kWhole);
  if (!typed.accepted || typed.whole < stepper->minimum() || typed.whole > stepper->maximum()) {
    field->setText(QString::number(shown));
    if (typed.blank) return;
    const std::string reason = typed.accepted ? "Enter a whole number of degrees from " +
                                                    std::to_string(stepper->minimum()) + " to " +
                                                    std::to_string(stepper->maximum()) + "."
                                              : typed.reason;
    ShowAlert("Invalid number entered.", reason, /*sheet=*/false);
    return;
  }
  const int angle = typed.whole;
  if (direction)
    setDirectionAngle(angle);
  else
    setOverheadAngle(angle);
}

void LVLightPropertiesController::initializeControlStates() {
  DocState* ds = CurDocState();
  if (!ds) return;
  sunlightOnButton->setChecked(ds->sunlightOn() != 0);
  setDirectionAngle(TruncToInt32(ds->sunDirectionAngle()));
  setOverheadAngle(TruncToInt32(ds->sunOverheadAngle()));
  sunBrightnessSlider->setValue(ds->sunBrightness());
  sunShadowQualitySlider->setValue(ds->sunShadowQuality());
  optimalQualityButton->setChecked(ds->sunShadowQuality() == -1);
  changingOptimalQualityButton();
  lightIntensitySlider->setValue(intensityStep(ds->lightIntensity()));
  lightBrightnessSlider->setValue(brightnessStep(ds->lightBrightness()));
  backgroundLightingButton->setChecked(ds->backgroundLighting() != 0);
  shown_ = {sunlightOnButton->isChecked(),    optimalQualityButton->isChecked(), backgroundLightingButton->isChecked(),
            directionAngleStepper->value(),   overheadAngleStepper->value(),     sunBrightnessSlider->value(),
            sunShadowQualitySlider->value(),  lightIntensitySlider->value(),     lightBrightnessSlider->value()};
}

bool LVLightPropertiesController::saveControlStates() {
  DocState* ds = CurDocState();
  return ds && saveControlStates(ds);
}

bool LVLightPropertiesController::saveControlStates(DocState* ds) {
  // Only a control the user moved is written back: a slider cannot show every stored value
  // (an intensity of 40000 shows as 39), and rewriting it would change the design unasked.
  const float oldBrightness = ds->lightBrightness(), oldIntensity = ds->lightIntensity();
  const uint8_t oldBackground = ds->backgroundLighting();
  if (sunlightOnButton->isChecked() != shown_.sunlightOn) ds->sunlightOn() = sunlightOnButton->isChecked() ? 1 : 0;
  if (sunBrightnessSlider->value() != shown_.sunBrightness)
    ds->sunBrightness() = static_cast<int16_t>(sunBrightnessSlider->value());
  if (directionAngleStepper->value() != shown_.direction)
    ds->sunDirectionAngle() = static_cast<float>(directionAngleStepper->value());
  if (overheadAngleStepper->value() != shown_.overhead)
    ds->sunOverheadAngle() = static_cast<float>(overheadAngleStepper->value());
  if (optimalQualityButton->isChecked() != shown_.optimal || sunShadowQualitySlider->value() != shown_.sunQuality)
    ds->sunShadowQuality() =
        optimalQualityButton->isChecked() ? int16_t{-1} : static_cast<int16_t>(sunShadowQualitySlider->value());
  // Worked out in double and rounded once: position 17 stores 0.84f and intensity 51 stores
  // 32112.15f, not a float one step away from them.
  if (lightBrightnessSlider->value() != shown_.brightness)
    ds->lightBrightness() = static_cast<float>(2.0 * lightBrightnessSlider->value() / 100.0 + 0.5);
  if (lightIntensitySlider->value() != shown_.intensity)
    ds->lightIntensity() = static_cast<float>(65535.0 - 65535.0 * lightIntensitySlider->value() / 100.0);
  if (backgroundLightingButton->isChecked() != shown_.background)
    ds->backgroundLighting() = backgroundLightingButton->isChecked() ? 1 : 0;
  return ds->lightBrightness() != oldBrightness || ds->lightIntensity() != oldIntensity ||
         ds->backgroundLighting() != oldBackground;
}

void LVLightPropertiesController::applySheet(ZLKDocumentModel*, DocState* ds) {
  if (saveControlStates(ds)) SetupLights();
  Redraw3DView();
  StoreUndo(LocalizedString("Lighting Settings"));
}
