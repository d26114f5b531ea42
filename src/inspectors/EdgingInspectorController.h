// The pane of straight and curved edging and of the edging tool: the style.
#pragma once
#include "inspectors/InspectorPane.h"

class EdgingInspectorController : public InspectorPane {
 public:
  static EdgingInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void edgingStyleButtonsChanged();

  InspectorMatrix* edgingStyleButtons;  // tag 0 curved, 1 straight

 private:
  EdgingInspectorController();
};
