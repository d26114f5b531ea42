// The pane of HVAC air ducts and of the air duct tool: width and depth.
#pragma once
#include "inspectors/InspectorPane.h"

class AirDuctInspectorController : public InspectorPane {
 public:
  static AirDuctInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;

  QLineEdit *ductWidthText, *ductDepthText;

 private:
  AirDuctInspectorController();
};
