// The two settings sheets of the 3D window: the rendering settings (field of view, what is
// rendered, ClearView opacity, curve qualities, navigation speed) and the lighting settings
// (the sun, lamp brightness and intensity, background lighting) with its two sun dials.
#pragma once
#include <QPointF>
#include <QWidget>

#include "inspectors/SheetController.h"

class QCheckBox;
class QSlider;
class QSpinBox;
class QLineEdit;

// Field-of-view command codes of the rendering settings (5316 narrowest .. 5320 widest).
constexpr int32_t kFOVCmdFirst = 5316, kFOVCmdDefault = 5318, kFOVCmdLast = 5320;
// The field-of-view command in force, process-wide (5318 at start-up).
extern int32_t gCurrentFOVCmd;
// Sets gChopperFOV and gWalkFOV for a field-of-view code (any code outside the five gives
// the middle pair 38 and 45).
void setFOVValues(int32_t code);

class LVGeneralPropertiesController : public SheetController {
  Q_OBJECT
 public:
  // Opens the sheet on the window (nothing when it already carries a sheet).
  static void newGeneralPropertiesSheetForParent(QWidget* parent);
  // The ClearView opacity slider step of a stored opacity (175, 195 .. 255 give 0 .. 4; any
  // other value shows as 3).
  static int opacityStep(int opacity);

  // Doors, objects, plants, roofs, materials, topography, background animation, electrical,
  // plumbing, HVAC: on when the render exclusion bit 1 << i is clear.
  QCheckBox* renderButtons[10] = {};
  QSlider* navigationSpeedSlider = nullptr;
  QSlider* FOVSlider = nullptr;
  QSlider* CVOpacitySlider = nullptr;
  QSlider* winDoorQualitySlider = nullptr;
  QSlider* winDoorTrimQualitySlider = nullptr;
  QSlider* baseCrownTrimQualitySlider = nullptr;
  QSlider* objectQualitySlider = nullptr;

  // Fills the controls from the current design.
  void initializeControlStates() override;
  // Writes the controls the user changed into the current design's DocState.
  void saveControlStates();
  // The sheet's buttons: tag 1 (OK) applies the settings; any tag closes the sheet.
  void dismissGeneralPropertiesSheet(int tag) { dismissSheet(tag); }

 private:
  explicit LVGeneralPropertiesController(QWidget* parent);
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;
  // Writes the controls the user changed into the DocState.
  void saveControlStates(DocState* ds);

  float savedWindowDoorRenderQuality = 0;
  float savedWindowDoorTrimRenderQuality = 0;
  float savedTrimCrownRenderQuality = 0;
  float saved3DFormwerkRenderQuality = 0;
  // The control values as the sheet opened: only a control that differs is written back.
  int shownSliders_[7] = {};
  bool shownButtons_[10] = {};
  bool skylightsRemoved_ = false;
};

class LVLightPropertiesController;

// The sun direction dial: the sun circles the dial's centre at a radius of 50.
class LVDirectionAngleView : public QWidget {
 public:
  explicit LVDirectionAngleView(LVLightPropertiesController* parent);
  // Where the sun's top left goes for a direction (degrees) around the dial at (cx, cy).
  static QPointF sunPosition(float centerX, float centerY, int directionAngle);
  float centerX = 0, centerY = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  LVLightPropertiesController* dirAngleViewParentController;
};

// The sun height dial: a quarter arc of radius 75 from the horizon to overhead.
class LVOverheadAngleView : public QWidget {
 public:
  explicit LVOverheadAngleView(LVLightPropertiesController* parent);
  static QPointF sunPosition(float viewHeight, int overheadAngle);
  float imageX = 0, imageY = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  LVLightPropertiesController* ovrAngleViewParentController;
};

class LVLightPropertiesController : public SheetController {
  Q_OBJECT
 public:
  static void newLightPropertiesSheetForParent(QWidget* parent);
  // The slider positions of the lamp settings: intensity round((65535 - i) / 65535 x 100),
  // brightness trunc((b - 0.5) x 50) within 1 .. 100.
  static int intensityStep(float lightIntensity);
  static int brightnessStep(float lightBrightness);

  int directionAngle() const;
  int overheadAngle() const;

  LVDirectionAngleView* directionAngleView = nullptr;
  LVOverheadAngleView* overheadAngleView = nullptr;
  QCheckBox* sunlightOnButton = nullptr;
  QCheckBox* optimalQualityButton = nullptr;
  QCheckBox* backgroundLightingButton = nullptr;
  QSlider* directionAngleSlider = nullptr;
  QSlider* overheadAngleSlider = nullptr;
  QSlider* sunBrightnessSlider = nullptr;
  QSlider* sunShadowQualitySlider = nullptr;
  QSlider* lightIntensitySlider = nullptr;
  QSlider* lightBrightnessSlider = nullptr;
  QSpinBox* directionAngleStepper = nullptr;
  QSpinBox* overheadAngleStepper = nullptr;
  QLineEdit* directionAngleTextField = nullptr;
  QLineEdit* overheadAngleTextField = nullptr;

  // A new direction or height from one of its three controls: the other two follow and the
  // dial redraws.
  void setDirectionAngle(int angle);
  void setOverheadAngle(int angle);
  void changingOptimalQualityButton();
  // An angle field was left: a number within the control's range is taken; anything else
  // puts back the shown angle and says why.
  void controlTextDidEndEditing(QLineEdit* field);
  // A slider or stepper moved: the other two controls of its angle follow.
  void trackingDirectionAngleSlider();
  void changingDirectionAngleStepper();
  void trackingOverheadAngleSlider();
  void changingOverheadAngleStepper();

  // Fills the controls from the current design.
  void initializeControlStates() override;
  // Writes the controls the user changed into the current design's DocState; true when a
  // lamp setting changed (false without a DocState).
  bool saveControlStates();
  // The sheet's buttons: tag 1 (OK) applies the settings; any tag closes the sheet.
  void dismissLightPropertiesSheet(int tag) { dismissSheet(tag); }

 private:
  explicit LVLightPropertiesController(QWidget* parent);
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  // Writes the controls the user changed; true when a lamp setting (brightness, intensity,
  // background lighting) changed.
  bool saveControlStates(DocState* ds);

  struct Shown {
    bool sunlightOn, optimal, background;
    int direction, overhead, sunBrightness, sunQuality, intensity, brightness;
  } shown_{};
};
