// The wall panes: the selected walls and their selected segments, with the style rule that
// decides which height and pitch fields apply and the limits between the heights.
#pragma once
#include <QIcon>
#include <QList>
#include <cstdint>

#include "inspectors/InspectorPane.h"

struct DocState;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct Poinz;

// Which of the base height, pitch A, pitch B, height C and height D fields a style allows.
struct WallStyleFields {
  bool base, pitchA, pitchB, heightC, heightD;
};
WallStyleFields WallStyleRule(int32_t style);
// Whether the heights of a segment of the style may stand together.
bool WallHeightsAllowed(int32_t style, float base, float heightC, float heightD);
// The style table's images, "WallStyle1" and "WallStyle2", drawn here.
QList<QIcon> WallStyleImages();
// Calls f with the first point of each selected segment of the wall (closing segment last).
void ForEachSelectedWallSegment(Objex* wall, const std::function<void(Poinz*)>& f);
// Update3DWall, UpdateAllWallAttachments, ReRenderObject.
void RebuildWall(Objex* wall);

// What both wall panes share: the controls and the style table.
class WallInspectorBase : public InspectorPane {
 public:
  QLineEdit *wallHeightText, *wallPitchAText, *wallPitchBText, *wallHeightCText, *wallHeightDText,
      *wallThicknessText, *studSpacingText, *floorDepthText, *foundationWidthText;
  QCheckBox *autoFlooringButton, *foundationButton, *displayDimsButton, *displayCalloutsButton;
  QDoubleSpinBox* wallThicknessStepper;
  QListWidget* wallStyleTableView;
  QLabel *wallPitchALabel, *wallPitchBLabel;

 protected:
  explicit WallInspectorBase(const char* interfaceName);
  // Enables the height and pitch fields by the style rule; a style chosen in the table
  // leaves the base height field as it is (withBase false).
  void applyStyleRule(int32_t style, bool withBase = true);
  void selectStyleRow(int32_t row);
  void setPitchLabels(const DocState* ds);
  virtual void tableViewSelectionDidChange() = 0;
  virtual void wallThicknessStepperChanged() = 0;
  virtual void autoFlooringButtonChanged() = 0;
  virtual void foundationButtonChanged() = 0;
  virtual void displayDimsButtonChanged() = 0;
  virtual void displayCalloutsButtonChanged() = 0;
  // Builds the controls shared by both panes (call from the subclass constructor).
  void buildCommonControls();
  QList<QIcon> wallStyleImageArray;
};

class WallObjectInspectorController : public WallInspectorBase {
 public:
  static WallObjectInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;

  void tableViewSelectionDidChange() override;
  void wallThicknessStepperChanged() override;
  void autoFlooringButtonChanged() override;
  void foundationButtonChanged() override;
  void displayDimsButtonChanged() override;
  void displayCalloutsButtonChanged() override;
  void dimensionButtonsChanged();
  void flipDimensionsButtonChanged();
  void ceilingBuilderButtonChanged();

  QCheckBox* flipDimensionsButton;
  QPushButton* ceilingBuilderButton;
  InspectorMatrix* dimensionButtons;
  // 0 while the pane is filled: the style table's selection changes then touch no wall.
  uint8_t checkObjects = 1;

 private:
  WallObjectInspectorController();
  void editSegmentField(QLineEdit* field, int which);
  void editDisplayBit(int32_t bit, bool on, const char* label);
  // Gives every selected wall the thickness v (one undo step when any changed), makes it the
  // default and shows it in the field and the stepper (enabling the stepper when asked).
  void applyWallThickness(DocState* ds, float v, bool enableStepper);
  // Puts the stepper back to the default thickness without a change signal.
  void showDefaultThicknessInStepper(const DocState* ds, bool enableStepper);
};
