// The circular arc tool's pane: edit level, line style and line width.
#pragma once
#include "inspectors/DetailTool1InspectorController.h"

class DetailTool3InspectorController : public DetailToolInspectorBase {
 public:
  static DetailTool3InspectorController* sharedInspectorController();
  void updateToolProperties() override;
  void updatePropertiesForObject(Objex* object, bool initialize) override;

 private:
  DetailTool3InspectorController();
};
