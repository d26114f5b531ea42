// The grid properties sheet: the grid's style (lines or dots) with a live preview, and the
// spacings of the drawn grid and of the snap grid.
#pragma once
#include <QLineF>
#include <QVector>
#include <QWidget>

#include "inspectors/SheetController.h"

class QComboBox;
class QLineEdit;

// The preview of a grid style, drawn in the design's grid colour.
class GridStyleView : public QWidget {
  Q_OBJECT
 public:
  explicit GridStyleView(QWidget* parent = nullptr);
  void setGridStyle(int style) { gridStyle_ = style; update(); }
  int gridStyle() const { return gridStyle_; }
  // The marks of a style in a width by height view (y down): lines at y 7, 17 ... and x 8,
  // 18 ...; dots as half-unit segments at their crossings; none for another style.
  static QVector<QLineF> gridMarks(int style, double width, double height);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int gridStyle_ = 1;
};

class GridPropertiesController : public SheetController {
  Q_OBJECT
 public:
  static void newGridPropertiesSheetForParent(QWidget* parent);

  GridStyleView* gridStyleView = nullptr;
  QComboBox* gridStylePopUpButton = nullptr;  // item data: 1 lines, 2 dots
  QLineEdit* gridHorSpacingText = nullptr;
  QLineEdit* gridVerSpacingText = nullptr;
  QLineEdit* snapHorSpacingText = nullptr;
  QLineEdit* snapVerSpacingText = nullptr;
  void gridStylePopUpButtonChanged();
  // A spacing field was left: its length clamped and written back; an entry that is no number
  // puts back the last good text and says why.
  void controlTextDidEndEditing(QLineEdit* field);

 private:
  explicit GridPropertiesController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  // Shows a spacing and remembers it as the field's last good text.
  void showSpacing(QLineEdit* field, float inches);
  float clampedSpacing(float inches) const;
};
