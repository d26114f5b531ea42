// The pane of the foundation plan's piers and of the pier tool: the diameter.
#pragma once
#include "inspectors/InspectorPane.h"

class FoundationPierInspectorController : public InspectorPane {
 public:
  static FoundationPierInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;

  QLineEdit* pierDiameterText;

 private:
  FoundationPierInspectorController();
};
