// The rotate sheets: the selection (RotateObjectsController) or the whole plan
// (RotatePlanController) turned by a typed angle in degrees or radians about the centre of
// the selection's 3D bounds.
#pragma once
#include "inspectors/SheetController.h"

class QButtonGroup;
class QLineEdit;

class RotateObjectsController : public SheetController {
  Q_OBJECT
 public:
  static void newRotateObjectsPanelForParent(QWidget* parent);

  QLineEdit* angleText = nullptr;
  QButtonGroup* angleUnitSysMatrix = nullptr;  // 0 degrees, 1 radians
  void angleUnitSysMatrixChanged();

 protected:
  RotateObjectsController(QWidget* parent, const char* layout, bool wholePlan);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;

 private:
  bool wholePlan_;
  int shownUnit_ = 0;
};

class RotatePlanController : public RotateObjectsController {
  Q_OBJECT
 public:
  static void newRotatePlanPanelForParent(QWidget* parent);

 private:
  explicit RotatePlanController(QWidget* parent);
};
