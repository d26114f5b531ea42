// The pane of paths and driveways and of the pathway tool: width and style.
#pragma once
#include "inspectors/InspectorPane.h"

class PathwayInspectorController : public InspectorPane {
 public:
  static PathwayInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void pathStyleButtonsChanged();

  InspectorMatrix* pathStyleButtons;
  QLineEdit* pathWidthText;

 private:
  PathwayInspectorController();
};
