// The pane of placed light fixtures: light on, glow, ambient, dimmer, radius and falloff of
// the selected fixtures.
#pragma once
#include "inspectors/LightPane.h"

class LightObjectInspectorController : public LightPane {
 public:
  static LightObjectInspectorController* sharedInspectorController();
  // The part of a fixture whose type is its kind.
  void updatePropertiesForObject(Objex* part, bool initialize) override;

 private:
  LightObjectInspectorController();
  void settingChanged(Setting setting, bool release) override;
};
