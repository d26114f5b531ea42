// The 3D window's own small sheets: the walk-through eye height, the fly-around altitude and
// the settings of printing the 3D view. None stores an undo step.
#pragma once
#include <QSize>

#include "inspectors/SheetController.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;

class WalkElevationController : public SheetController {
  Q_OBJECT
 public:
  static void newWalkElevationSheetForParent(QWidget* parent);
  QLineEdit* elevationText = nullptr;

 private:
  explicit WalkElevationController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;
};

class FlyAltitudeController : public SheetController {
  Q_OBJECT
 public:
  static void newFlyAltitudeSheetForParent(QWidget* parent);
  QLineEdit* altitudeText = nullptr;

 private:
  explicit FlyAltitudeController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;
};

class LV3DPrintController : public SheetController {
  Q_OBJECT
 public:
  static void newLV3DPrintSheetForParent(QWidget* parent);
  // The print size of a size tag: 2 the 3D view's size, 0 the largest square of the printable
  // area, any other tag the typed width and height (each at least 16).
  static QSize printSize(int sizeTag, QSize viewSize, QSize printable, int typedWidth, int typedHeight);

  QButtonGroup* printSizeButtons = nullptr;  // ids 0 fit the page, 1 custom, 2 the view's size
  QComboBox* renderQualityPopUpButton = nullptr;
  QLineEdit* printImageWidthText = nullptr;
  QLineEdit* printImageHeightText = nullptr;
  void printSizeButtonsChanged();

 private:
  explicit LV3DPrintController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;
  int16_t chosenQuality_ = -1;
  QSize chosenSize_;
};
