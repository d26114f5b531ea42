// The move sheets: the selection (MoveObjectsController) or the whole plan
// (MovePlanController) moved by a typed offset, rectangular (X, Y) or polar (angle, distance).
#pragma once
#include "inspectors/SheetController.h"

class QButtonGroup;
class QLabel;
class QLineEdit;

class MoveObjectsController : public SheetController {
  Q_OBJECT
 public:
  // Opens the sheet on the design window; nothing without one or while it carries a sheet.
  static void newMoveObjectsPanelForParent(QWidget* parent);

  QLineEdit* horizDistText = nullptr;
  QLineEdit* vertDistText = nullptr;
  QLabel* horizDistLabel = nullptr;
  QLabel* vertDistLabel = nullptr;
  QButtonGroup* coordinateSysMatrix = nullptr;  // 0 rectangular, 1 polar
  void coordinateSysMatrixChanged();

 protected:
  MoveObjectsController(QWidget* parent, const char* layout, bool wholePlan);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;

 private:
  bool wholePlan_;
};

class MovePlanController : public MoveObjectsController {
  Q_OBJECT
 public:
  static void newMovePlanPanelForParent(QWidget* parent);

 private:
  explicit MovePlanController(QWidget* parent);
};
