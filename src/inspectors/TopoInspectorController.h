// The pane of topography regions and of the topography tools: the elevation.
#pragma once
#include "inspectors/InspectorPane.h"

class TopoInspectorController : public InspectorPane {
 public:
  static TopoInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;

  QLineEdit* elevationText;

 private:
  TopoInspectorController();
};
