// The pane of placed 3D objects: whether they cast shadows in the 3D view, and their angle,
// width, depth and height.
#pragma once
#include "inspectors/InspectorPane.h"

class ObjectInspectorController : public InspectorPane {
 public:
  static ObjectInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void castShaddowsButtonChanged();

  float savedAngleValue = 0, savedWidthValue = 0, savedHeightValue = 0, savedDepthValue = 0;
  QCheckBox* castShadowsButton;
  QLineEdit *angleText, *widthText, *heightText, *depthText, *perWidthText, *perHeightText, *perDepthText;

 private:
  ObjectInspectorController();
  const Objex* lastSizedRoot_ = nullptr;  // whose sizes the fields show in this rebuild
};
