// The common ground of the three light panes (fixture light tool, placed fixtures, flood
// lights): light on, glow, ambient, and the dimmer, radius and falloff sliders with their
// labels, the conversions between what the sliders show and what the lights store, the
// enabling of the controls by fixture kind, and the writing of one setting into a light.
#pragma once
#include <cstdint>

#include "inspectors/InspectorPane.h"

class ReleaseSlider;
class QCheckBox;
class QLabel;

// Light fixture kinds (object types 79 to 82 and 146 to 152).
bool IsLightFixtureKind(int32_t kind);

class LightPane : public InspectorPane {
 public:
  enum class Setting { kOn, kGlow, kAmbient, kDimmer, kRadius, kFalloff };

  // Shown and stored values (round: to the nearest whole number, halves away from zero).
  static int DimmerPercentOf(float stored);    // round((255 - s) / 255 x 100)
  static int32_t DimmerOfPercent(int percent);  // 255 - round(v / 100 x 255)
  static int RadiusShownOf(float stored);      // s - 60
  static int32_t RadiusOfShown(int shown);      // v + 60
  static int FalloffShownOf(float stored);     // 4 - s
  static int32_t FalloffOfShown(int shown);     // 4 - v

  QCheckBox* lightOnButton = nullptr;
  QCheckBox* glowButton = nullptr;
  QCheckBox* ambientButton = nullptr;  // none on the flood light pane
  ReleaseSlider* dimmerSlider = nullptr;
  ReleaseSlider* radiusSlider = nullptr;
  ReleaseSlider* falloffSlider = nullptr;
  QLabel* dimmerPercentLabel = nullptr;
  QLabel* radiusValueLabel = nullptr;
  QLabel* falloffValueLabel = nullptr;

  // The controls' actions (a slider's release ends its change; without it only the label
  // follows). The ambient switch does nothing on a pane without it.
  void lightOnButtonChanged() { settingChanged(Setting::kOn, true); }
  void glowButtonChanged() { settingChanged(Setting::kGlow, true); }
  void ambientButtonChanged() {
    if (withAmbient_) settingChanged(Setting::kAmbient, true);
  }
  void dimmerSliderChanged(bool release = true) { settingChanged(Setting::kDimmer, release); }
  void radiusSliderChanged(bool release = true) { settingChanged(Setting::kRadius, release); }
  void falloffSliderChanged(bool release = true) { settingChanged(Setting::kFalloff, release); }

 protected:
  LightPane(const char* interfaceName, bool withAmbient);
  // A checkbox was clicked, or a slider moved (release false: only its label follows) or
  // ended a change (release true).
  virtual void settingChanged(Setting setting, bool release) = 0;
  // Builds the controls after whatever the pane puts above them.
  void buildLightControls();

  // The controls from the DocState defaults.
  void showDefaults(const DocState* ds);
  // One light's values: shown when initializing, else every control that differs is set off
  // (sliders and their labels to 0).
  void showLight(const Objex* light, bool initialize);
  // Enables the controls by kind: in full, or only the entries that disable a control.
  void enableForKind(int32_t kind, bool fully);
  // The value of the setting's control, as stored (checkboxes: 1 on, 0 off).
  int32_t controlValue(Setting setting) const;
  void showSliderLabel(Setting setting);
  // Writes the value (as controlValue gives it) into one light; part says whether the light
  // is a part of a fixture (only parts carry the ambient switch).
  static void writeLight(Objex* light, Setting setting, int32_t value, bool part);
  static void writeDefault(DocState* ds, Setting setting, int32_t value);
  static const char* undoLabel(Setting setting);

 private:
  bool withAmbient_;
};
