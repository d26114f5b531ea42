// The window pane: size, elevation and trim of the selected windows (or the window tool's
// defaults), the style table, the dividers and the flips.
#pragma once
#include "inspectors/OpeningInspectorBase.h"

class WindowInspectorController : public OpeningInspectorBase {
 public:
  static WindowInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void tableViewSelectionDidChange();
  void horDivsStepperChanged();
  void verDivsSetpperChanged();
  void flipHorizButtonChanged();
  void flipVertButtonChanged();

  QList<QIcon> windowStyleImageArray;
  QPushButton *flipHorizButton, *flipVertButton;
  QDoubleSpinBox *horDivsStepper, *verDivsStepper;
  QListWidget* windowStyleTableView;
  QLineEdit *windowWidthText, *windowHeightText, *windowElevationText, *windowTrimText, *horDivsText, *verDivsText;

 private:
  WindowInspectorController();
  void enableForStyle(int32_t subtype);
  // Gives the selected subtype-600 windows the count (horizontal or vertical).
  void applyDividers(bool horizontal, int32_t count);
  void showDividers(int32_t vertical, int32_t horizontal);
  // The counts the divider fields show (-1: blank).
  int32_t shownHor_ = -1, shownVer_ = -1;
};
