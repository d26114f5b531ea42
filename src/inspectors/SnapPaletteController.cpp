// The snap palette.
#include "inspectors/SnapPaletteController.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include "inspectors/SheetHooks.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Strings.h"
#include "platform/UndoNames.h"
#include "tools/ObjectSnaps.h"
#include "tools/SnapCodes.h"

namespace {

struct SnapCell {
  const char* tip;
  const char* image;
};
constexpr SnapCell kCells[9] = {
    {"Snap Anywhere", "SPNone"},
    {"Snap to Endpoint", "SPEndpoint"},
    {"Snap to Segment Center", "SPSegmentCenter"},
    {"Snap to Object Center", "SPObjectCenter"},
    {"Snap to Object Corner", "SPObjectCorner"},
    {"Snap to Intersection", "SPIntersection"},
    {"Snap to Perpendicular", "SPPerpendicular"},
    {"Snap to Segment Offset", "SPSegmentOffset"},
    {"Snap to On-Segment", "SPOnSegment"},
};
constexpr int kFirstCell = 500, kLastCell = 508;

bool IsCell(int code) { return code >= kFirstCell && code <= kLastCell; }

// The palette follows the tools' snap cycling and resets.
void PaletteSetSnapTool(uint16_t code) {
  SnapPaletteController::sharedSnapPaletteController().setSnapTool(static_cast<int16_t>(code));
}
void PaletteResetSnapTool() { SnapPaletteController::sharedSnapPaletteController().resetSnapTool(); }

}  // namespace

QPixmap SnapPaletteImage(const QString& name) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const bool locked = name.endsWith(QLatin1String("Lock"));
  const QString base = locked ? name.left(name.size() - 4) : name;
  QPen line(QColor(40, 40, 40), 1.5);
  p.setPen(line);
  const QColor mark(200, 30, 30);
  if (base == QLatin1String("SPNone")) {
    p.drawLine(QPointF(6, 18), QPointF(18, 6));
    p.drawLine(QPointF(6, 6), QPointF(10, 10));
  } else if (base == QLatin1String("SPEndpoint")) {
    p.drawLine(QPointF(4, 18), QPointF(18, 6));
    p.setBrush(mark);
    p.drawRect(QRectF(15.5, 3.5, 5, 5));
  } else if (base == QLatin1String("SPSegmentCenter")) {
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
    p.setBrush(mark);
    p.drawRect(QRectF(9.5, 9.5, 5, 5));
  } else if (base == QLatin1String("SPObjectCenter")) {
    p.drawEllipse(QRectF(4, 4, 16, 16));
    p.setBrush(mark);
    p.drawEllipse(QRectF(10, 10, 4, 4));
  } else if (base == QLatin1String("SPObjectCorner")) {
    p.drawRect(QRectF(6, 6, 14, 14));
    p.setBrush(mark);
    p.drawRect(QRectF(3.5, 3.5, 5, 5));
  } else if (base == QLatin1String("SPIntersection")) {
    p.drawLine(QPointF(4, 4), QPointF(20, 20));
    p.drawLine(QPointF(4, 20), QPointF(20, 4));
    p.setBrush(mark);
    p.drawEllipse(QRectF(9.5, 9.5, 5, 5));
  } else if (base == QLatin1String("SPPerpendicular")) {
    p.drawLine(QPointF(4, 20), QPointF(20, 20));
    p.drawLine(QPointF(12, 20), QPointF(12, 4));
    p.drawRect(QRectF(12, 16, 4, 4));
  } else if (base == QLatin1String("SPSegmentOffset")) {
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
    p.setBrush(mark);
    p.drawRect(QRectF(14.5, 9.5, 5, 5));
    p.drawLine(QPointF(3, 16), QPointF(17, 16));
  } else if (base == QLatin1String("SPOnSegment")) {
    p.drawLine(QPointF(3, 16), QPointF(21, 8));
    p.setBrush(mark);
    p.drawEllipse(QRectF(10, 9.5, 5, 5));
  }
  if (locked) {
    // A small padlock in the lower right corner.
    p.setPen(QPen(QColor(20, 20, 120), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(16, 12, 6, 7), 0, 180 * 16);
    p.setBrush(QColor(20, 20, 120));
    p.drawRect(QRectF(15, 16, 8, 6));
  }
  return pixmap;
}

SnapPaletteController& SnapPaletteController::sharedSnapPaletteController() {
  static SnapPaletteController* palette = new SnapPaletteController;
  return *palette;
}

SnapPaletteController::SnapPaletteController() : QWidget(nullptr, Qt::Tool) {
  setObjectName("SnapPalette");
  setWindowTitle(QString::fromStdString(LocalizedString("Snap")));
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_AlwaysShowToolTips);  // each cell names its snap on hover, key or not
  auto* grid = new QGridLayout(this);
  grid->setSpacing(2);
  toolButtons = new QButtonGroup(this);
  toolButtons->setExclusive(true);
  for (int i = 0; i < 9; ++i) {
    auto* button = new QToolButton(this);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(24, 24));
    button->setToolTip(QString::fromStdString(LocalizedString(kCells[i].tip)));
    button->installEventFilter(this);
    toolButtons->addButton(button, kFirstCell + i);
    grid->addWidget(button, i / 3, i % 3);
    setCellImage(kFirstCell + i, false);
  }
  offsetText = new QLineEdit(this);
  offsetText->setObjectName("offsetText");
  grid->addWidget(offsetText, 3, 0, 1, 3);
  connect(offsetText, &QLineEdit::editingFinished, this, [this] { controlTextDidEndEditing(); });
  // Undo and Redo typed here act on the design (the offset field keeps its own while it edits).
  for (const bool redo : {false, true}) {
    auto* action = new QAction(this);
    action->setShortcut(redo ? QKeySequence::Redo : QKeySequence::Undo);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, redo] {
      if (UndoNameStack* undo = windowWillReturnUndoManager()) redo ? undo->redo() : undo->undo();
    });
    addAction(action);
  }
  selectCell(gCurSnap);
  offsetText->setEnabled(gCurSnap == kSnapSegmentOffset);
  setAutoSaveName();
  gSetSnapToolHook = PaletteSetSnapTool;
  gResetSnapToolHook = PaletteResetSnapTool;
}

UndoNameStack* SnapPaletteController::windowWillReturnUndoManager() const {
  return gCurDocument ? gCurDocument->itsUndoManager : nullptr;
}

QToolButton* SnapPaletteController::cell(int code) const {
  return qobject_cast<QToolButton*>(toolButtons->button(code));
}

QString SnapPaletteController::cellImageName(int code) const {
  QToolButton* b = cell(code);
  return b ? b->property("imageName").toString() : QString();
}

void SnapPaletteController::setCellImage(int code, bool locked) {
  QToolButton* b = cell(code);
  if (!b) return;
  const QString name = QString::fromLatin1(kCells[code - kFirstCell].image) + (locked ? "Lock" : "");
  b->setProperty("imageName", name);
  b->setIcon(QIcon(SnapPaletteImage(name)));
}

void SnapPaletteController::selectCell(int code) {
  if (QToolButton* b = cell(code)) {
    b->setChecked(true);
  } else if (QAbstractButton* checked = toolButtons->checkedButton()) {
    toolButtons->setExclusive(false);
    checked->setChecked(false);
    toolButtons->setExclusive(true);
  }
}

bool SnapPaletteController::eventFilter(QObject* watched, QEvent* event) {
  auto* button = qobject_cast<QToolButton*>(watched);
  const int id = button ? toolButtons->id(button) : -1;
  if (id >= 0 && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      selectTool(id, event->type() == QEvent::MouseButtonDblClick ? 2 : 1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void SnapPaletteController::selectTool(int tag, int clickCount) {
  if (tag != gCurSnap) {
    if (gSnapLocked && IsCell(gCurSnap)) setCellImage(gCurSnap, false);
    gSnapLocked = 0;
    gCurSnap = static_cast<uint16_t>(tag);
    offsetText->setEnabled(tag == kSnapSegmentOffset);
  } else if (clickCount == 2) {
    gSnapLocked = 1;
    if (IsCell(tag)) setCellImage(tag, true);
  }
  selectCell(gCurSnap);
}

void SnapPaletteController::setSnapTool(int16_t code) {
  if (code != static_cast<int16_t>(gCurSnap) && gSnapLocked) {
    if (IsCell(gCurSnap)) setCellImage(gCurSnap, false);
    if (IsCell(code)) setCellImage(code, true);
  }
  gCurSnap = static_cast<uint16_t>(code);
  selectCell(code);
  offsetText->setEnabled(code == kSnapSegmentOffset);
}

void SnapPaletteController::resetSnapTool() {
  if (gCurSnap == kSnapOrigin || (!gSnapLocked && gCurSnap != kSnapAnywhere)) {
    gCurSnap = kSnapAnywhere;
    selectCell(kSnapAnywhere);
    offsetText->setEnabled(false);
  }
}

void SnapPaletteController::setSnapOffsetText(float inches) { SetFloatItem(offsetText, inches); }

void SnapPaletteController::updateSnapOffsetText() {
  if (const DocState* ds = CurDocState()) setSnapOffsetText(ds->snapOffset);
}

void SnapPaletteController::controlTextDidEndEditing() {
  DocState* ds = CurDocState();
  if (!ds) return;
  const TypedNumber typed = ReadTypedNumber(offsetText, NumberKind::kLength);
  // A refused entry shows the offset in use again.
  if (typed.accepted) ds->snapOffset = typed.value;
  else AlertRefusedNumber(typed);
  SetFloatItem(offsetText, ds->snapOffset);
}

void SnapPaletteController::showWindow() {
  if (TheSheetHooks().setSnapToolsVisible) TheSheetHooks().setSnapToolsVisible(true);
  show();
}

void SnapPaletteController::setAutoSaveName() {
  if (TheSheetHooks().restorePanelFrame) TheSheetHooks().restorePanelFrame(this, "SnapPanel");
}

void SnapPaletteController::windowWillClose() {
  if (TheSheetHooks().savePanelFrame) TheSheetHooks().savePanelFrame(this, "SnapPanel");
  if (TheSheetHooks().setSnapToolsVisible) TheSheetHooks().setSnapToolsVisible(false);
}

void SnapPaletteController::closeEvent(QCloseEvent* event) {
  windowWillClose();
  event->accept();
}
