// The dimension properties sheet: the design's dimension arrow style and dimension font.
#pragma once
#include <QFont>
#include <QPixmap>

#include "inspectors/SheetController.h"

class QComboBox;

class DimensionPropertiesController : public SheetController {
  Q_OBJECT
 public:
  static void newDimensionPropertiesSheetForParent(QWidget* parent);
  QComboBox* dimStylePopUpButton = nullptr;  // item data: tags 8..14
  // The font shown in the font dialog; OK stores it when the user chose one.
  QFont selectedFont;
  bool hasSelectedFont = false;
  bool fontChosen = false;
  void setChosenFont(const QFont& font);
  void selectCurrentFont();
  // The font dialog, showing the selected font; its choice becomes the selected font.
  void fontButtonChanged();

 private:
  explicit DimensionPropertiesController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};

// The arrow picture of a dimension style by name ("DimStyle1" .. "DimStyle7").
QPixmap DimensionStyleImage(const QString& name);
