// The pane of attached wall dimensions and of the wall dimension tool: what a dimension
// measures from.
#pragma once
#include "inspectors/InspectorPane.h"

class WallDimInspectorController : public InspectorPane {
 public:
  static WallDimInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void dimensionFromButtonsChanged();

  InspectorMatrix* dimensionFromButtons;  // tag 0 the wall's centre, 1 its face

 private:
  WallDimInspectorController();
};
