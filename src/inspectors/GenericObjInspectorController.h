// A pane with only the two curve buttons; no key of the panel leads to it.
#pragma once
#include "inspectors/InspectorPane.h"

class GenericObjInspectorController : public InspectorPane {
 public:
  static GenericObjInspectorController* sharedInspectorController();
  void adjustCurveButtonChanged();
  void straightenCurveButtonChanged();

 private:
  GenericObjInspectorController();
};

// The curve buttons of every pane that has them: the curve tension sheet that smooths the
// selection, and straightening it (the command handler stores the undo step).
void InspectorSmoothSelected();
void InspectorUnsmoothSelected();
