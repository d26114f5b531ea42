// The editing-tools palette: its buttons, the tool choice with its cursors and selection
// changes, and the double-click sheets.
#include "app/EditToolPaletteController.h"
#include "app/PlanViewActions.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QToolButton>

#include "app/AppController.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/PlanToolPaletteController.h"
#include "app/ToolIcons.h"
#include "app/ZLKDocumentView.h"
#include "building3d/PlaneObjects.h"
#include "content/ContentPaletteController.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "platform/Strings.h"
#include "tools/ToolCodes.h"

namespace {

QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }

struct ToolCell {
  uint16_t tool;
  const char* toolTip;
};

const ToolCell kCells[] = {
    {kToolSelection, "Selection"},
    {kToolRotate, "Rotate"},
    {kToolZoom, "Zoom"},
    {kToolPan, "Pan"},
    {kToolViewPoint, "View Point"},
    {kToolText, "Text"},
    {kToolKeyEntry, "Key Entry"},
    {kToolDimensionWall, "Wall Dimension"},
    {kToolDimension, "Dimension"},
    {kToolOffsetDimension, "Offset Dimension"},
    {kToolLengthDimension, "Length Dimension"},
    {kToolDiameterDimension, "Diameter Dimension"},
    {kToolLeaderDimension, "Leader"},
    {kToolInsertPoint, "Insert Point"},
    {kToolRemovePoint, "Remove Point"},
    {kToolFillet, "Fillet"},
    {kToolInvertedFillet, "Inverted Fillet"},
    {kToolChamfer, "Chamfer"},
};

constexpr int kColumns = 2;
constexpr int kCellSize = 28;

// A double click on the selection, rotate or zoom cell opens the plan's sheet for it.
void OpenToolSheet(int16_t tool) {
  switch (tool) {
    case kToolSelection: PlanViewActions::openSheet(kTagMoveObjects); break;
    case kToolRotate: PlanViewActions::openSheet(kTagRotateObjects); break;
    case kToolZoom: PlanViewActions::openSheet(kTagSetPlanZoom); break;
    default: break;
  }
}

// The 3D window in walk mode, shown when hidden; its scene rebuilt when it went stale while
// hidden, else rendered again.
void ShowWalkingView() {
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  controller->freeWalkThrough();
  if (!controller->isVisible()) {
    controller->showWindow();
    if (gRenderOnShow) {
      RenderAllLayers();
    } else {
      gRenderDirty = 1;
      gRefreshRender = 1;
    }
  }
  if (QWidget* view = controller->liveViewOGLView()) view->update();
}

// The plan view's cursor for the tool, with the selection change some tools make.
void ApplyToolToPlan(int16_t t) {
  if (!gCurDocument || !gCurDocument->itsCurLayer || !gCurDocument->itsLayers) return;
  if (t == kToolRotate || t == kToolViewPoint) {
    SetDocumentCursor(Qt::CrossCursor);
  } else if (t == kToolZoom) {
    SetDocumentCursor(ZoomCursor());
  } else if (t == kToolPan) {
    SetDocumentCursor(Qt::OpenHandCursor);
  } else if (t >= kToolText && t <= kToolLeaderDimension) {
    SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
    SetDocumentCursor(Qt::CrossCursor);
  } else if (t == kToolInsertPoint || t == kToolRemovePoint) {
    SelectVisualLayer(gCurDocument->itsCurLayer, kSelectOn, 1);
    SetDocumentCursor(Qt::CrossCursor);
  } else if (t >= kToolFillet && t <= kToolChamfer) {
    SetDocumentCursor(Qt::CrossCursor);
  } else {
    SetDocumentCursor(Qt::ArrowCursor);
  }
}

}  // namespace

ToolPaletteController& ToolPaletteController::sharedToolPaletteController() {
  static ToolPaletteController* palette = new ToolPaletteController;
  return *palette;
}

ToolPaletteController::ToolPaletteController() : QWidget(nullptr, Qt::Tool) {
  setWindowTitle(Localized("Editing Tools"));
  KeepKeyboardWithDesignWindow(this);
  setAttribute(Qt::WA_QuitOnClose, false);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setSpacing(0);
  int index = 0;
  for (const ToolCell& c : kCells) {
    QToolButton* button = MakeToolButton(c.tool, Localized(c.toolTip), this);
    button->setFixedSize(kCellSize, kCellSize);
    button->installEventFilter(this);
    connect(button, &QToolButton::clicked, this, [this, button] { buttonClicked(button); });
    grid->addWidget(button, index / kColumns, index % kColumns);
    cells_.push_back(button);
    ++index;
  }
  setFixedSize(grid->sizeHint());
  // The selection tool is in force from the start.
  gCurTool = kToolSelection;
  cellWithTool(kToolSelection)->setChecked(true);
}

QToolButton* ToolPaletteController::cell(int index) const {
  return index >= 0 && index < cellCount() ? cells_[index] : nullptr;
}

QToolButton* ToolPaletteController::cellWithTool(uint16_t tool) const {
  for (QToolButton* button : cells_)
    if (ToolOfButton(button) == tool) return button;
  return nullptr;
}

void ToolPaletteController::selectArrowTool() {
  for (QToolButton* button : cells_) button->setChecked(ToolOfButton(button) == kToolSelection);
  if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController())
    palette->setCategorySelectionAbility(true);
  SetDocumentCursor(Qt::ArrowCursor);
}

void ToolPaletteController::removeToolSelection() {
  for (QToolButton* button : cells_) button->setChecked(false);
}

bool ToolPaletteController::eventFilter(QObject* watched, QEvent* event) {
  // A double click arrives as a press that the next click signal follows.
  if (event->type() == QEvent::MouseButtonPress) doubleClickPending_ = false;
  else if (event->type() == QEvent::MouseButtonDblClick) doubleClickPending_ = true;
  return QWidget::eventFilter(watched, event);
}

void ToolPaletteController::buttonClicked(QToolButton* button) {
  const int clickCount = doubleClickPending_ ? 2 : 1;
  doubleClickPending_ = false;
  // A click leaves the clicked cell, and only it, selected, as in a radio matrix.
  for (QToolButton* other : cells_) other->setChecked(other == button);
  selectTool(ToolOfButton(button), clickCount);
}

void ToolPaletteController::selectTool(int32_t tag, int clickCount) {
  const auto t = static_cast<int16_t>(tag);
  const uint16_t previous = gCurTool;
  if (t != static_cast<int16_t>(gCurTool)) {
    if (t == -1) {
      if (QToolButton* current = cellWithTool(gCurTool)) current->setChecked(true);
    } else {
      gCurTool = static_cast<uint16_t>(t);
      PlanToolPaletteController::sharedPlanToolPaletteController().removeToolSelection();
      UpdateInspectorPropertiesState(true);
      if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController())
        palette->setCategorySelectionAbility(true);
    }
  }
  if (clickCount == 2) OpenToolSheet(t);
  // Every click on the view point cell puts the 3D window into walking.
  if (t == kToolViewPoint) ShowWalkingView();
  ApplyToolToPlan(t);
  Refresh();
  ZLKDocumentView::toolChosen(previous);
}

void ToolPaletteController::showWindow() {
  AppController::setEditToolsVisible(true);
  AppController::keepPanelsWithMainWindow();
  show();
}

void ToolPaletteController::setAutoSaveName() { AppController::restorePanelFrame(this, "EditToolPanel"); }

void ToolPaletteController::windowWillClose() {
  AppController::savePanelFrame(this, "EditToolPanel");
  AppController::setEditToolsVisible(false);
}

UndoNameStack* ToolPaletteController::windowWillReturnUndoManager() const {
  return gCurDocument ? gCurDocument->itsUndoManager : nullptr;
}

void ToolPaletteController::closeEvent(QCloseEvent* event) {
  windowWillClose();
  event->accept();
}
