// The railing pane (handrail height, baluster spacing, posts at the selected points and the
// curve buttons) and the deck steps pane (size and handrails of the selected deck steps).
#pragma once
#include "inspectors/InspectorPane.h"

class RailInspectorController : public InspectorPane {
 public:
  static RailInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void includePostButtonChanged();
  void adjustCurveButtonChanged();
  void straightenCurveButtonChanged();

  QCheckBox* includePostButton;
  QPushButton *adjustCurveButton, *straightenCurveButton;
  QLineEdit *railHeightText, *balusterSpacingText;

 private:
  RailInspectorController();
};
