// The roof panes' pitch controls (ratio, angle, stepper), and the pane of generated gable
// and hip roofs and of their tools.
#pragma once
#include "inspectors/InspectorPane.h"

// The pitch controls both roof panes share; `targetType` is the kind they edit.
class RoofPitchInspector : public InspectorPane {
 public:
  void controlTextDidEndEditing(QLineEdit* field) override;
  void pitchStepperChanged();

  QDoubleSpinBox* pitchRatioStepper;
  QLineEdit *pitchRatioText, *pitchAngleText;
  QLabel* pitchRunText;

 protected:
  RoofPitchInspector(const char* interfaceName, int16_t targetType);
  void buildPitchControls();
  // Shows a pitch in both fields and the stepper, which are enabled.
  void showPitch(float pitch);
  // A further selected object: blanks the pitch when it differs by more than 0.005.
  void mergeRoofPitch(float pitch);
  void applyPitch(float pitch, bool fromText);
  virtual bool handleOtherField(QLineEdit*) { return false; }
  int16_t targetType_;
};

class Roof1InspectorController : public RoofPitchInspector {
 public:
  static Roof1InspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;

 private:
  Roof1InspectorController();
};
