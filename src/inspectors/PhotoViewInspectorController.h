// The pane of photo views (pictures standing upright in the plan): width, height, casting
// shadows, mirroring, a new image file and the image information sheet. There is no photo
// view tool: the pane shows only objects.
#pragma once
#include <QStringList>

#include "inspectors/InspectorPane.h"

class QPushButton;

class PhotoViewInspectorController : public InspectorPane {
 public:
  static PhotoViewInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void castShadowsButtonChanged();
  void flipImageButtonChanged();
  // Opens the image panel window-modal on the design window (object name
  // "photoViewOpenPanel"); its end goes to photoViewOpenPanelDidEnd.
  void setImageButtonChanged();
  void imageInfoButtonChanged();
  // returnCode 1 for OK; the files chosen.
  void photoViewOpenPanelDidEnd(int returnCode, const QStringList& files);

  // Inches: the last width and height shown or accepted.
  float oldWidthValue = 0;
  float oldHeightValue = 0;
  QCheckBox* castShadowsButton;
  QPushButton* imageInfoButton;
  QPushButton* setImageButton;
  QPushButton* flipImageButton;
  QLineEdit* photoWidthText;
  QLineEdit* photoHeightText;

 private:
  PhotoViewInspectorController();
  void editWidth(QLineEdit* field);
  void editHeight(QLineEdit* field);
};
