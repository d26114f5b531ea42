// The pane of flood lights hung on walls and of the flood light tool: light on, glow,
// dimmer, radius and falloff.
#pragma once
#include "inspectors/LightPane.h"

class FloodLightInspectorController : public LightPane {
 public:
  static FloodLightInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;

 private:
  FloodLightInspectorController();
  void settingChanged(Setting setting, bool release) override;
};
