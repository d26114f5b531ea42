// The dimension properties sheet.
#include "inspectors/DimensionPropertiesController.h"

#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QPainter>
#include <QPushButton>

#include "files/Undo.h"
#include "inspectors/FontSelection.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Strings.h"

namespace {
struct ArrowItem {
  int tag;
  const char* title;
  const char* image;
  int16_t style;
};
constexpr ArrowItem kArrows[] = {
    {8, "Solid Arrow", "DimStyle1", 5086},         {9, "Hollow Arrow", "DimStyle2", 5087},
    {10, "Open Arrow", "DimStyle3", 5088},         {11, "Inward-Slant Arrow", "DimStyle4", 5089},
    {12, "Outward-Slant Arrow", "DimStyle5", 5090}, {13, "Solid Dot Arrow", "DimStyle6", 5091},
    {14, "Open Dot Arrow", "DimStyle7", 5092},
};
}  // namespace

// The design's chosen arrow item: the dimension sheet's tag (8..14, default 11).
static int16_t& DimArrowTag(DocState* ds) { return ds->dimTextSize; }

QPixmap DimensionStyleImage(const QString& name) {
  QPixmap pixmap(40, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.2));
  p.drawLine(QPointF(4, 8), QPointF(38, 8));
  const int n = name.mid(8).toInt();
  const QPointF tip(4, 8);
  switch (n) {
    case 1: case 2: {
      const QPointF tri[3] = {tip, QPointF(14, 4), QPointF(14, 12)};
      p.setBrush(n == 1 ? QBrush(Qt::black) : QBrush(Qt::white));
      p.drawPolygon(tri, 3);
      break;
    }
    case 3:
      p.drawLine(tip, QPointF(14, 4));
      p.drawLine(tip, QPointF(14, 12));
      break;
    case 4: p.drawLine(QPointF(0, 13), QPointF(8, 3)); break;
    case 5: p.drawLine(QPointF(0, 3), QPointF(8, 13)); break;
    case 6: case 7:
      p.setBrush(n == 6 ? QBrush(Qt::black) : QBrush(Qt::white));
      p.drawEllipse(QPointF(6, 8), 3, 3);
      break;
    default: break;
  }
  return pixmap;
}

DimensionPropertiesController::DimensionPropertiesController(QWidget* parent)
    : SheetController(parent, "DimensionPropertiesSheet") {
  setWindowTitle(QString::fromStdString(LocalizedString("Dimension Properties")));
  dimStylePopUpButton = new QComboBox(this);
  dimStylePopUpButton->setObjectName("dimStylePopUpButton");
  auto* font = new QPushButton(QString::fromStdString(LocalizedString("Font...")), this);
  font->setObjectName("fontButton");
  form()->addRow(QString::fromStdString(LocalizedString("Arrow style:")), dimStylePopUpButton);
  form()->addRow(font);
  connect(font, &QPushButton::clicked, this, [this] { fontButtonChanged(); });
}

void DimensionPropertiesController::newDimensionPropertiesSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new DimensionPropertiesController(parent));
}

void DimensionPropertiesController::initializeControlStates() {
  dimStylePopUpButton->clear();
  for (const ArrowItem& item : kArrows)
    dimStylePopUpButton->addItem(QIcon(DimensionStyleImage(QString::fromLatin1(item.image))),
                                 QString::fromStdString(LocalizedString(item.title)), item.tag);
  DocState* ds = CurDocState();
  if (!ds) return;
  dimStylePopUpButton->setCurrentIndex(dimStylePopUpButton->findData(static_cast<int>(DimArrowTag(ds))));
  selectCurrentFont();
}

void DimensionPropertiesController::selectCurrentFont() {
  const DocState* ds = CurDocState();
  if (!ds) return;
  selectedFont = SelectedFontForRecord(ds->font);
  hasSelectedFont = true;
}

void DimensionPropertiesController::fontButtonChanged() {
  auto* dialog = new QFontDialog(selectedFont, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QFontDialog::fontSelected, this, [this](const QFont& font) { setChosenFont(font); });
  dialog->open();
}

void DimensionPropertiesController::setChosenFont(const QFont& font) {
  selectedFont = font;
  hasSelectedFont = true;
  fontChosen = true;
}

void DimensionPropertiesController::applySheet(ZLKDocumentModel*, DocState* ds) {
  const int tag = dimStylePopUpButton->currentData().toInt();
  DimArrowTag(ds) = static_cast<int16_t>(tag);
  for (const ArrowItem& item : kArrows)
    if (item.tag == tag) ds->dimArrowStyle = item.style;
  SetDocStateDimensionArrowFlags(ds);
  // The design's font record is rewritten only for a font the user chose: a face this
  // system does not have is shown as the system font but kept in the design.
  if (hasSelectedFont && fontChosen) StoreFontInRecord(selectedFont, &ds->font);
  Refresh();
  StoreUndo(LocalizedString("Dimension Properties"));
}
