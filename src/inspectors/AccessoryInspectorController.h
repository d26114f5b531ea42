// The pane of wall accessories and of the accessory tool: height, width, elevation, offset
// from the wall and translucency.
#pragma once
#include "inspectors/InspectorPane.h"

class ReleaseSlider;

class AccessoryInspectorController : public InspectorPane {
 public:
  static AccessoryInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  // Every movement shows the value; a release (the end of a drag, a key step, a track click)
  // applies it.
  void transparencySliderChanged(bool release);

  ReleaseSlider* transparencySlider;  // 0 to 100 per cent
  QLineEdit *accessoryHeightText, *accessoryWidthText, *accessoryElevationText, *accessoryOffsetText;
  QLabel* transPercentLabel;

 private:
  AccessoryInspectorController();
  void showPercent(int percent);
};
