// The plan settings sheets: the working elevation of new objects, a floor's ceiling height,
// the trace image's scale, the lot size and the true-north angle.
#pragma once
#include "inspectors/SheetController.h"

class QLabel;
class QLineEdit;
class QSlider;
struct Layer;

class WorkingElevationController : public SheetController {
  Q_OBJECT
 public:
  static void newWorkingElevationSheetForParent(QWidget* parent);
  QLineEdit* elevationText = nullptr;

 private:
  explicit WorkingElevationController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;
  bool refused_ = false;
};

class CeilingHeightController : public SheetController {
  Q_OBJECT
 public:
  // Needs the window and the floor.
  static void newCeilingHeightSheetForParent(QWidget* parent, Layer* targetLayer);
  void setTargetLayer(Layer* layer) { targetLayer = layer; }
  Layer* targetLayer = nullptr;
  QLineEdit* heightText = nullptr;

 private:
  explicit CeilingHeightController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;
  bool refused_ = false;
};

class TraceImageScaleController : public SheetController {
  Q_OBJECT
 public:
  static void newTraceImageScaleSheetForParent(QWidget* parent);
  QLineEdit* horScaleText = nullptr;  // percent
  QLineEdit* verScaleText = nullptr;
  void defaultsButtonChanged();

 private:
  explicit TraceImageScaleController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;
  bool refused_ = false;
};

class LotSizeController : public SheetController {
  Q_OBJECT
 public:
  static void newLotSizeSheetForParent(QWidget* parent);
  QLineEdit* widthText = nullptr;  // whole feet or metres
  QLineEdit* depthText = nullptr;
  QLabel* widthTextLabel = nullptr;
  QLabel* depthTextLabel = nullptr;

 private:
  explicit LotSizeController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};

class CompassController : public SheetController {
  Q_OBJECT
 public:
  static void newCompassSheetForParent(QWidget* parent);
  QSlider* angleSlider = nullptr;  // 0..360
  QLineEdit* angleText = nullptr;
  void angleSliderChanged();

 private:
  explicit CompassController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};

// The design's true-north angle (whole degrees, 0..360).
float& TrueNorthAngle(DocState* ds);
