// The common ground of the light panes. Lights keep their settings in these fields: off (1)
// or on (0) in the extra long word, the dimmer (0 full brightness to 255) in the flag word,
// glow off (1) or on (0) in the float after the render flag, radius and falloff in the second
// and third params; a fixture's parts keep ambient in their texture word (on the group that
// word is the fixture's kind).
#include "inspectors/LightPane.h"

#include <QCheckBox>
#include <QLabel>
#include <cmath>

#include "inspectors/ReleaseSlider.h"
#include "model/DocState.h"
#include "model/Records.h"

namespace {
int32_t& LightOffOf(Objex* o) { return o->extraLong; }
int32_t& LightDimmerOf(Objex* o) { return o->extraFlags; }
float& GlowOffOf(Objex* o) { return o->plantAge; }
float& LightRadiusOf(Objex* o) { return o->params[1]; }
float& LightFalloffOf(Objex* o) { return o->params[2]; }
int32_t& LightAmbientOf(Objex* o) { return o->textureID; }

int Round(float v) { return static_cast<int>(std::lround(v)); }

// 1 enables, 0 disables, -1 leaves the control as it is.
struct KindEnabling {
  int sliders, glow, ambient;
};
KindEnabling EnablingOfKind(int32_t kind) {
  switch (kind) {
    case 80: case 81: case 82: case 146: case 150: case 151: case 152: return {1, 1, 1};
    case 149: return {1, 1, 0};
    case 147: case 148: return {1, 0, 0};
    default: return {0, -1, 0};
  }
}
}  // namespace

bool IsLightFixtureKind(int32_t kind) { return (kind >= 79 && kind <= 82) || (kind >= 146 && kind <= 152); }

int LightPane::DimmerPercentOf(float stored) { return Round((255.0f - stored) / 255.0f * 100.0f); }
int32_t LightPane::DimmerOfPercent(int percent) { return 255 - Round(percent / 100.0f * 255.0f); }
int LightPane::RadiusShownOf(float stored) { return Round(stored - 60.0f); }
int32_t LightPane::RadiusOfShown(int shown) { return shown + 60; }
int LightPane::FalloffShownOf(float stored) { return Round(4.0f - stored); }
int32_t LightPane::FalloffOfShown(int shown) { return 4 - shown; }

LightPane::LightPane(const char* interfaceName, bool withAmbient)
    : InspectorPane(interfaceName), withAmbient_(withAmbient) {}

void LightPane::buildLightControls() {
  lightOnButton = addCheck("Light On", "lightOnButton", [this] { settingChanged(Setting::kOn, true); });
  glowButton = addCheck("Glow", "glowButton", [this] { settingChanged(Setting::kGlow, true); });
  if (withAmbient_)
    ambientButton = addCheck("Ambient Light", "ambientButton", [this] { settingChanged(Setting::kAmbient, true); });
  auto slider = [this](const char* label, const char* name, int low, int high, Setting setting, ReleaseSlider** out,
                       QLabel** valueLabel, const char* labelName) {
    auto* s = new ReleaseSlider(view_, low, high);
    s->setObjectName(QString::fromLatin1(name));
    addRow(label, s);
    *out = s;
    *valueLabel = addLabel("", labelName);
    connect(s, &QSlider::valueChanged, this, [this, setting] {
      if (!filling_) settingChanged(setting, false);
    });
    connect(s, &ReleaseSlider::released, this, [this, setting] {
      if (!filling_) settingChanged(setting, true);
    });
  };
  slider("Dimmer (%)", "dimmerSlider", 0, 100, Setting::kDimmer, &dimmerSlider, &dimmerPercentLabel, "dimmerPercentLabel");
  slider("Radius", "radiusSlider", 0, 100, Setting::kRadius, &radiusSlider, &radiusValueLabel, "radiusValueLabel");
  slider("Falloff", "falloffSlider", 0, 4, Setting::kFalloff, &falloffSlider, &falloffValueLabel, "falloffValueLabel");
}

void LightPane::showSliderLabel(Setting setting) {
  switch (setting) {
    case Setting::kDimmer: dimmerPercentLabel->setText(QString::number(dimmerSlider->value())); break;
    case Setting::kRadius: radiusValueLabel->setText(QString::number(radiusSlider->value())); break;
    case Setting::kFalloff: falloffValueLabel->setText(QString::number(falloffSlider->value())); break;
    default: break;
  }
}

void LightPane::showDefaults(const DocState* ds) {
  lightOnButton->setChecked(ds->lightOn != 0);
  glowButton->setChecked(ds->glowFlag != 0);
  if (ambientButton) ambientButton->setChecked(ds->lightAmbient != 0);
  dimmerSlider->setValue(DimmerPercentOf(static_cast<float>(ds->lightDimmer)));
  radiusSlider->setValue(RadiusShownOf(static_cast<float>(ds->lightRadius)));
  falloffSlider->setValue(FalloffShownOf(static_cast<float>(ds->lightFalloff)));
  for (Setting s : {Setting::kDimmer, Setting::kRadius, Setting::kFalloff}) showSliderLabel(s);
}

void LightPane::showLight(const Objex* constLight, bool initialize) {
  auto* light = const_cast<Objex*>(constLight);
  const bool on = LightOffOf(light) == 0;
  const bool glows = GlowOffOf(light) == 0;
  const bool ambient = LightAmbientOf(light) != 0;
  const int values[3] = {DimmerPercentOf(static_cast<float>(LightDimmerOf(light))),
                         RadiusShownOf(LightRadiusOf(light)), FalloffShownOf(LightFalloffOf(light))};
  ReleaseSlider* sliders[3] = {dimmerSlider, radiusSlider, falloffSlider};
  const Setting settings[3] = {Setting::kDimmer, Setting::kRadius, Setting::kFalloff};
  if (initialize) {
    lightOnButton->setChecked(on);
    glowButton->setChecked(glows);
    if (ambientButton) ambientButton->setChecked(ambient);
    for (int i = 0; i < 3; ++i) sliders[i]->setValue(values[i]);
  } else {
    if (lightOnButton->isChecked() != on) lightOnButton->setChecked(false);
    if (glowButton->isChecked() != glows) glowButton->setChecked(false);
    if (ambientButton && ambientButton->isChecked() != ambient) ambientButton->setChecked(false);
    for (int i = 0; i < 3; ++i)
      if (sliders[i]->value() != values[i]) sliders[i]->setValue(0);
  }
  for (Setting s : settings) showSliderLabel(s);
}

void LightPane::enableForKind(int32_t kind, bool fully) {
  const KindEnabling e = EnablingOfKind(kind);
  auto apply = [fully](QWidget* control, int rule) {
    if (!control || rule < 0 || (!fully && rule == 1)) return;
    control->setEnabled(rule == 1);
  };
  apply(radiusSlider, e.sliders);
  apply(falloffSlider, e.sliders);
  apply(glowButton, e.glow);
  apply(ambientButton, e.ambient);
}

int32_t LightPane::controlValue(Setting setting) const {
  switch (setting) {
    case Setting::kOn: return lightOnButton->isChecked() ? 1 : 0;
    case Setting::kGlow: return glowButton->isChecked() ? 1 : 0;
    case Setting::kAmbient: return ambientButton && ambientButton->isChecked() ? 1 : 0;
    case Setting::kDimmer: return DimmerOfPercent(dimmerSlider->value());
    case Setting::kRadius: return RadiusOfShown(radiusSlider->value());
    case Setting::kFalloff: return FalloffOfShown(falloffSlider->value());
  }
  return 0;
}

void LightPane::writeLight(Objex* light, Setting setting, int32_t value, bool part) {
  switch (setting) {
    case Setting::kOn: LightOffOf(light) = value ? 0 : 1; break;
    case Setting::kGlow: GlowOffOf(light) = value ? 0.0f : 1.0f; break;
    case Setting::kAmbient:
      if (part) LightAmbientOf(light) = value ? 1 : 0;
      break;
    case Setting::kDimmer: LightDimmerOf(light) = value; break;
    case Setting::kRadius: LightRadiusOf(light) = static_cast<float>(value); break;
    case Setting::kFalloff: LightFalloffOf(light) = static_cast<float>(value); break;
  }
}

void LightPane::writeDefault(DocState* ds, Setting setting, int32_t value) {
  switch (setting) {
    case Setting::kOn: ds->lightOn = value ? 1 : 0; break;
    case Setting::kGlow: ds->glowFlag = value ? 1 : 0; break;
    case Setting::kAmbient: ds->lightAmbient = value ? 1 : 0; break;
    case Setting::kDimmer: ds->lightDimmer = value; break;
    case Setting::kRadius: ds->lightRadius = value; break;
    case Setting::kFalloff: ds->lightFalloff = value; break;
  }
}

const char* LightPane::undoLabel(Setting setting) {
  switch (setting) {
    case Setting::kOn: return "Light Switch On/Off";
    case Setting::kGlow: return "Light Switch Glow On/Off";
    case Setting::kAmbient: return "Ambient Light On/Off";
    case Setting::kDimmer: return "Light Dimmer";
    case Setting::kRadius: return "Light Radius";
    case Setting::kFalloff: return "Light Falloff";
  }
  return "";
}
