// The door pane: size, elevation and trim of the selected doors (or the door tool's
// defaults), the style table, the swing and the flip.
#pragma once
#include "inspectors/OpeningInspectorBase.h"

class QLabel;

class DoorInspectorController : public OpeningInspectorBase {
 public:
  static DoorInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void tableViewSelectionDidChange();
  void flipDoorButtonDidChange();

  float prevDoorSwingAngle = 0;
  QList<QIcon> doorStyleImageArray;
  QPushButton* flipDoorButton;
  QListWidget* doorStyleTableView;
  QLineEdit *doorWidthText, *doorHeightText, *doorElevationText, *doorTrimText;
  QLabel* doorSwingLabel;
  QLineEdit* doorSwingText;

 private:
  DoorInspectorController();
  void enableForStyle(int32_t subtype);
  void editSwing();
  float shownSwing_ = 0;
  bool swingBlank_ = true;
};
