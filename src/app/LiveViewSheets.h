// The sheets of the 3D window: the walk-through eye height, the fly-around altitude and the
// settings of printing the 3D view. None stores an undo step.
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

// The print sizes of the size matrix.
enum Print3DSize : int { kPrintSizeFitPage = 0, kPrintSizeCustom = 1, kPrintSizeView = 2 };
inline constexpr int kMinimumPrint3DSide = 16;

class LV3DPrintController : public SheetController {
  Q_OBJECT
 public:
  static void newLV3DPrintSheetForParent(QWidget* parent);

  QButtonGroup* printSizeButtons = nullptr;  // ids are the size tags
  QComboBox* renderQualityPopUpButton = nullptr;  // item data are the quality codes
  QLineEdit* printImageWidthText = nullptr;
  QLineEdit* printImageHeightText = nullptr;
  void printSizeButtonsChanged();
  // The image size the chosen settings print at (the custom size at least 16 each way).
  QSize chosenPrintSize() const;

 private:
  explicit LV3DPrintController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};
