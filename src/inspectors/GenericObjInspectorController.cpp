// The curve buttons: smoothing through the curve tension sheet and straightening.
#include "inspectors/GenericObjInspectorController.h"

#include "inspectors/CurveTensionController.h"
#include "inspectors/InspectorController.h"

void InspectorSmoothSelected() {
  if (InspectorControllerHooks().smoothSelected) InspectorControllerHooks().smoothSelected();
  else CurveTensionController::newCurveTensionSheetForMainWindow();
}

void InspectorUnsmoothSelected() {
  if (InspectorControllerHooks().unsmoothSelected) InspectorControllerHooks().unsmoothSelected();
}

GenericObjInspectorController::GenericObjInspectorController() : InspectorPane("GenericObjInspector") {
  addButton("Adjust Curve...", "adjustCurveButton", [this] { adjustCurveButtonChanged(); });
  addButton("Straighten Curve", "straightenCurveButton", [this] { straightenCurveButtonChanged(); });
}

GenericObjInspectorController* GenericObjInspectorController::sharedInspectorController() {
  static auto* controller = new GenericObjInspectorController;
  return controller;
}

void GenericObjInspectorController::adjustCurveButtonChanged() { InspectorSmoothSelected(); }
void GenericObjInspectorController::straightenCurveButtonChanged() { InspectorUnsmoothSelected(); }
