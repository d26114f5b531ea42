// The 3D window controller: the panel and its controls, the toolbar, status and progress,
// the render actions, the navigation modes, the camera reset and the cut-away control.
#include "app/LiveViewController.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QSizePolicy>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "app/AppController.h"
#include "app/ContextMenuFactory.h"
#include "app/LVPropertiesSheets.h"
#include "app/LiveViewOGLView.h"
#include "app/LiveViewSheets.h"
#include "inspectors/SmallControls.h"
#include "app/RenderKeyWatch.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentView.h"
#include "app/ZLKWindowController.h"
#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"
#include "render3d/Cutaway.h"
#include "render3d/Navigation.h"
#include "tools/ModalEvents.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"

namespace {

QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }

constexpr const char* kPanelFrameName = "LiveViewPanel";
constexpr const char* kToolbarIdentifier = "LiveView Toolbar Identifier";
constexpr int kCutAwayDirections = 5;

struct ToolbarItem {
  const char* identifier;
  const char* label;
  const char* paletteLabel;
  const char* toolTip;
  const char* image;
  void (LiveViewController::*action)();
};

const ToolbarItem kToolbarItems[] = {
    {LVTBAnimWalkItemIdentifier, "Free Walk", "Free Walkthrough", "Activates animated walk-through navigation mode",
     "LVTBAnimWalk.png", &LiveViewController::freeWalkThrough},
    {LVTBAnimFlyItemIdentifier, "Free Fly", "Free Fly Around", "Activates animated fly-around navigation mode",
     "LVTBAnimFly.png", &LiveViewController::freeFlyAround},
    {LVTBRenderFinalItemIdentifier, "Render", "Final Render", "Perform a final render", "LVTBFinal.png",
     &LiveViewController::renderFinal},
    {LVTBRenderShadowsItemIdentifier, "Shadows", "Render Shadows", "Render scene with shadows",
     "LVTBShadows.png", &LiveViewController::renderShadows},
    {LVTBLightingItemIdentifier, "Lighting", "Lighting", "Set scene lighting options", "LVTBLighting.png",
     &LiveViewController::showLightProperties},
};

// ---- Pictures drawn at run time ----

QImage BlankIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// The toolbar pictures: a walker, a plane, a lit sphere, a sphere with its shadow, a bulb.
QIcon ToolbarIcon(const char* imageName) {
  const QString name = QString::fromLatin1(imageName);
  QImage image = BlankIcon(32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 2));
  if (name == QLatin1String("LVTBAnimWalk.png")) {
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(16, 6), 3, 3);
    p.drawLine(QPointF(16, 10), QPointF(15, 19));
    p.drawLine(QPointF(15, 19), QPointF(10, 28));
    p.drawLine(QPointF(15, 19), QPointF(21, 28));
    p.drawLine(QPointF(16, 12), QPointF(10, 17));
    p.drawLine(QPointF(16, 12), QPointF(22, 16));
  } else if (name == QLatin1String("LVTBAnimFly.png")) {
    QPainterPath plane;
    plane.moveTo(4, 18);
    plane.lineTo(28, 12);
    plane.lineTo(26, 16);
    plane.lineTo(6, 20);
    plane.closeSubpath();
    p.setBrush(QColor(90, 120, 170));
    p.drawPath(plane);
    p.drawLine(QPointF(14, 16), QPointF(10, 26));
    p.drawLine(QPointF(14, 16), QPointF(20, 6));
  } else if (name == QLatin1String("LVTBFinal.png") || name == QLatin1String("LVTBShadows.png")) {
    const bool shadow = name == QLatin1String("LVTBShadows.png");
    if (shadow) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0, 0, 0, 110));
      p.drawEllipse(QPointF(19, 26), 11, 4);
      p.setPen(QPen(QColor(40, 40, 40), 2));
    }
    QRadialGradient shade(QPointF(12, 10), 16);
    shade.setColorAt(0, Qt::white);
    shade.setColorAt(1, QColor(200, 60, 40));
    p.setBrush(shade);
    p.drawEllipse(QPointF(15, shadow ? 14 : 16), 10, 10);
  } else if (name == QLatin1String("LVTBLighting.png")) {
    p.setBrush(QColor(250, 220, 80));
    p.drawEllipse(QPointF(16, 12), 8, 8);
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(12, 20, 8, 7));
  }
  p.end();
  return QIcon(QPixmap::fromImage(image));
}

QIcon ArrowIcon(bool up) {
  QImage image = BlankIcon(12);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  QPolygonF arrow;
  if (up) arrow << QPointF(6, 2) << QPointF(11, 9) << QPointF(1, 9);
  else arrow << QPointF(1, 3) << QPointF(11, 3) << QPointF(6, 10);
  p.drawPolygon(arrow);
  p.end();
  return QIcon(QPixmap::fromImage(image));
}

// The status line: one line of text, shortened with an ellipsis to the width the window gives
// it. Its text never asks for room, so that a long status cannot widen the window (the
// rendered frame would then no longer fill the view).
class StatusLine : public QLabel {
 public:
  using QLabel::QLabel;
  QSize sizeHint() const override { return {0, QLabel::sizeHint().height()}; }
  QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shown, foregroundRole());
  }
};

DocState* CurrentDocState() { return gCurDocument ? gCurDocument->itsDocState : nullptr; }

// One refresh of the scene in the 3D view's context, the keyboard watched while it runs.
void RefreshSceneWatchingKeys(LiveViewOGLView* view) {
  RenderKeyWatchScope keys(view);
  view->makeCurrent();
  RefreshGLScene();
  view->doneCurrent();
}

}  // namespace

// ---- Lifecycle ----

namespace {
LiveViewController* sShared = nullptr;
}

LiveViewController* LiveViewController::sharedLiveViewController() {
  if (!sShared) sShared = new LiveViewController;
  return sShared;
}

bool LiveViewController::exists() { return sShared != nullptr; }

void LiveViewController::closeSharedWindow() {
  if (!sShared) return;
  sShared->orderOut();
  sShared->close();
}

void LiveViewController::releaseSharedLiveViewController() { delete sShared; }

LiveViewController::LiveViewController() {
  liveViewPanel_ = new QMainWindow(nullptr, Qt::Tool);
  liveViewPanel_->setObjectName(QStringLiteral("LiveView"));
  // Its toolbar names each button on hover while the design window is the active one.
  liveViewPanel_->setAttribute(Qt::WA_AlwaysShowToolTips);
  liveViewPanel_->setWindowTitle(Localized("3D View"));
  liveViewPanel_->installEventFilter(this);

  auto* content = new QWidget(liveViewPanel_);
  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  liveViewOGLView_ = new LiveViewOGLView(content);
  liveViewOGLView_->setMinimumSize(64, 64);
  column->addWidget(liveViewOGLView_, 1);

  auto* controls = new QWidget(content);
  auto* row = new QHBoxLayout(controls);
  row->setContentsMargins(6, 2, 6, 4);
  cutAwaySliderImage_ = new QLabel(controls);
  cutAwaySliderImage_->setFixedSize(24, 24);
  cutAwayDownButton_ = new QToolButton(controls);
  cutAwayDownButton_->setIcon(ArrowIcon(false));
  cutAwayUpButton_ = new QToolButton(controls);
  cutAwayUpButton_->setIcon(ArrowIcon(true));
  cutAwaySlider_ = new QSlider(Qt::Horizontal, controls);
  cutAwaySlider_->setRange(0, 100);
  cutAwaySlider_->setFixedWidth(160);
  cutAwaySlider_->setToolTip(Localized("Cut-away"));
  liveViewStatusText_ = new StatusLine(controls);
  liveViewStatusText_->setTextFormat(Qt::PlainText);
  liveViewProgressIndicator_ = new QProgressBar(controls);
  liveViewProgressIndicator_->setFixedWidth(120);
  liveViewProgressIndicator_->setTextVisible(false);
  // Its room is kept while it is hidden: shown by a render, it cannot widen the window.
  QSizePolicy progressPolicy = liveViewProgressIndicator_->sizePolicy();
  progressPolicy.setRetainSizeWhenHidden(true);
  liveViewProgressIndicator_->setSizePolicy(progressPolicy);
  liveViewProgressIndicator_->hide();
  row->addWidget(cutAwaySliderImage_);
  row->addWidget(cutAwayDownButton_);
  row->addWidget(cutAwayUpButton_);
  row->addWidget(cutAwaySlider_);
  row->addWidget(liveViewStatusText_, 1);
  row->addWidget(liveViewProgressIndicator_);
  column->addWidget(controls);
  liveViewPanel_->setCentralWidget(content);

  connect(cutAwayUpButton_, &QToolButton::clicked, this, [this] { cutAwaySliderUpButtonChanged(); });
  connect(cutAwayDownButton_, &QToolButton::clicked, this, [this] { cutAwaySliderDownButtonChanged(); });
  connect(cutAwaySlider_, &QSlider::sliderPressed, this, [this] { cutAwaySliderChanged(true, false); });
  connect(cutAwaySlider_, &QSlider::sliderMoved, this, [this] { cutAwaySliderChanged(false, false); });
  connect(cutAwaySlider_, &QSlider::sliderReleased, this, [this] { cutAwaySliderChanged(false, true); });
  // A step of the slider without a drag (a click on its track, a key, the wheel) is a press
  // and a release at once, taken once the slider holds its new value.
  connect(cutAwaySlider_, &QAbstractSlider::actionTriggered, this, [this](int action) {
    if (action == QAbstractSlider::SliderNoAction || action == QAbstractSlider::SliderMove) return;
    QTimer::singleShot(0, this, [this] {
      if (cutAwaySlider_->isSliderDown()) return;
      cutAwaySliderChanged(true, false);
      cutAwaySliderChanged(false, true);
    });
  });

  // Export accessory: the format and quality pop-ups.
  export3DView_ = new QWidget;
  auto* exportRow = new QHBoxLayout(export3DView_);
  imageFormatPopUpButton_ = new QComboBox(export3DView_);
  renderQualityPopUpButton_ = new QComboBox(export3DView_);
  exportImageWidthText_ = new QLineEdit(export3DView_);
  exportImageHeightText_ = new QLineEdit(export3DView_);
  exportImageWidthText_->setObjectName("exportImageWidthText");
  exportImageHeightText_->setObjectName("exportImageHeightText");
  exportRow->addWidget(imageFormatPopUpButton_);
  exportRow->addWidget(renderQualityPopUpButton_);
  // The view that shows the printed image (empty until a print).
  printView_ = new BaseImageView;
  exportRow->addWidget(exportImageWidthText_);
  exportRow->addWidget(exportImageHeightText_);
  connect(imageFormatPopUpButton_, qOverload<int>(&QComboBox::activated), this,
          [this] { imageFormatPopUpButtonChanged(); });
  connect(renderQualityPopUpButton_, qOverload<int>(&QComboBox::activated), this,
          [this] { renderQualityPopUpButtonChanged(); });

  // Undo and redo typed in the 3D window are the design window's Edit > Undo and Redo: the
  // same named step, the same menu titles afterwards.
  auto* undo = new QAction(liveViewPanel_);
  undo->setShortcut(QKeySequence::Undo);
  connect(undo, &QAction::triggered, this, [] { chooseDesignEditItem(/*redo=*/false); });
  auto* redo = new QAction(liveViewPanel_);
  redo->setShortcut(QKeySequence::Redo);
  connect(redo, &QAction::triggered, this, [] { chooseDesignEditItem(/*redo=*/true); });
  liveViewPanel_->addAction(undo);
  liveViewPanel_->addAction(redo);

  liveViewPanel_->resize(640, 520);
  restorePanelFrame();
  windowDidLoad();

  gLiveViewHost.viewBounds = [](int32_t* width, int32_t* height) {
    const LiveViewOGLView* view = sShared ? sShared->liveViewOGLView_ : nullptr;
    const qreal ratio = view ? view->devicePixelRatio() : 1;
    if (width) *width = view ? static_cast<int32_t>(view->width() * ratio) : 0;
    if (height) *height = view ? static_cast<int32_t>(view->height() * ratio) : 0;
  };
  gLiveViewHost.isVisible = [] { return sShared && sShared->isVisible(); };
  gLiveViewHost.takeKeyDown = [] { return RenderKeyWatch::shared().takeKeyDown(); };
  gLiveViewHost.flushKeys = [] { RenderKeyWatch::shared().flushKeys(); };
  gLiveViewHost.frameFinished = [] {
    if (sShared) sShared->liveViewOGLView_->update();
  };
  gLiveViewHost.display = [] {
    if (sShared) sShared->liveViewOGLView_->display();
  };
  gLiveViewHost.currentMouseEvent = [] { return sShared ? sShared->currentMouseEvent_ : 0; };
  installNavigationHost();
  gFrontEnd.setLVStatusString = [](const char* text) {
    if (sShared) sShared->setLVStatusString(QString::fromUtf8(text ? text : ""));
  };
  gFrontEnd.initializeAnimatedLVStatus = [] {
    if (sShared) sShared->initializeAnimatedLVStatus();
  };
  gFrontEnd.resetAnimatedLVStatus = [] {
    if (sShared) sShared->resetAnimatedLVStatus();
  };
  gFrontEnd.initializeLVLightProgress = [](int32_t count) {
    if (sShared) sShared->initializeLVLightProgressUsingLightCount(count);
  };
  gFrontEnd.updateLVLightProgress = [](int32_t done) {
    if (sShared) sShared->updateLVLightProgressWithLightCount(done);
  };
}

LiveViewController::~LiveViewController() {
  gLiveViewHost = LiveViewHost{};
  gNavigationHost = NavigationHost{};
  gFrontEnd.setLVStatusString = nullptr;
  gFrontEnd.initializeAnimatedLVStatus = nullptr;
  gFrontEnd.resetAnimatedLVStatus = nullptr;
  gFrontEnd.initializeLVLightProgress = nullptr;
  gFrontEnd.updateLVLightProgress = nullptr;
  delete export3DView_;
  delete printView_;
  delete liveViewPanel_;
  if (sShared == this) sShared = nullptr;
}

void LiveViewController::windowDidLoad() {
  for (int i = 0; i < kCutAwayDirections; ++i) sliderImages_[i] = cutAwaySliderStateImage(i);
  imageFormatPopUpButton_->addItem(Localized("BMP"), 0);
  imageFormatPopUpButton_->addItem(Localized("PNG"), 3);
  static const char* const kQualities[] = {"Current Image", "Low Quality (Fast)", "High Quality (Moderate)",
                                           "Ultra-High Quality (Slow)", "Excellent Quality (Very Slow)"};
  for (int i = 0; i < 5; ++i) renderQualityPopUpButton_->addItem(Localized(kQualities[i]), i);
  setupToolbar();
  updateCutAwayImageAndPosition();
}

void LiveViewController::restorePanelFrame() {
  AppController::restorePanelFrame(liveViewPanel_, kPanelFrameName, /*restoreSize=*/true);
}

// Saved as the palettes' frames are, and put back the same way.
void LiveViewController::windowWillClose() {
  if (liveViewPanel_) AppController::savePanelFrame(liveViewPanel_, kPanelFrameName);
}

bool LiveViewController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == liveViewPanel_) {
    // The design's menus are the program's menus: their shortcuts work from this window too
    // (its own Undo and Redo are taken before a key gets here).
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      ZLKWindowController* design = AppController::mainWindowController();
      if (design && design->performMenuShortcut(QKeySequence(key->keyCombination()))) {
        key->accept();
        return true;
      }
    }
    if (event->type() == QEvent::Close || event->type() == QEvent::Hide) windowWillClose();
    if (event->type() == QEvent::Resize && liveViewPanel_->isVisible()) {
      auto* resize = static_cast<QResizeEvent*>(event);
      if (resize->oldSize().isValid()) windowWillResize(resize->size());
    }
  }
  return QObject::eventFilter(watched, event);
}

bool LiveViewController::isVisible() const { return liveViewPanel_ && liveViewPanel_->isVisible(); }

void LiveViewController::showWindow() {
  AppController::keepPanelsWithMainWindow();
  liveViewPanel_->show();
  liveViewPanel_->raise();
}

void LiveViewController::makeKeyAndOrderFront() {
  showWindow();
  liveViewPanel_->activateWindow();
}

void LiveViewController::orderOut() {
  if (liveViewPanel_->isVisible()) liveViewPanel_->hide();
}

void LiveViewController::close() { liveViewPanel_->close(); }

QOpenGLContext* LiveViewController::liveViewOGLContext() const { return liveViewOGLView_->context(); }

QRect LiveViewController::liveViewOGLViewBounds() const { return liveViewOGLView_->rect(); }

void LiveViewController::chooseDesignEditItem(bool redo) {
  ZLKWindowController* design = AppController::mainWindowController();
  if (!design) return;
  // The items' states as the design window's own shortcuts find them.
  design->updateWindowState();
  QAction* item = redo ? design->redoAction() : design->undoAction();
  if (item && item->isEnabled()) item->trigger();
}

UndoNameStack* LiveViewController::windowWillReturnUndoManager() const {
  ZLKDocument* document = AppController::mainWindowDocument();
  return document ? &document->undoManager() : nullptr;
}

QSize LiveViewController::windowWillResize(QSize proposed) {
  gRenderDirty = 1;
  gRefreshRender = 1;
  // The render of a resize runs to its end: no Escape polling.
  gDisableRenderInterrupt = 1;
  liveViewOGLView_->display();
  gDisableRenderInterrupt = 0;
  return proposed;
}

// ---- Toolbar ----

QStringList LiveViewController::toolbarAllowedItemIdentifiers() {
  QStringList identifiers;
  for (const ToolbarItem& item : kToolbarItems) identifiers << QString::fromLatin1(item.identifier);
  return identifiers;
}

QStringList LiveViewController::toolbarDefaultItemIdentifiers() { return toolbarAllowedItemIdentifiers(); }

QAction* LiveViewController::toolbar(QToolBar* toolbar, const QString& itemIdentifier, bool) {
  return toolbar ? toolbarItemForItemIdentifier(itemIdentifier, toolbar) : nullptr;
}

QAction* LiveViewController::toolbarItemForItemIdentifier(const QString& identifier, QObject* parent) {
  for (const ToolbarItem& item : kToolbarItems) {
    if (identifier != QLatin1String(item.identifier)) continue;
    auto* action = new QAction(ToolbarIcon(item.image), Localized(item.label), parent);
    action->setObjectName(identifier);
    action->setToolTip(Localized(item.toolTip));
    action->setProperty("paletteLabel", Localized(item.paletteLabel));
    const auto method = item.action;
    connect(action, &QAction::triggered, this, [this, method] { (this->*method)(); });
    return action;
  }
  return nullptr;
}

void LiveViewController::setupToolbar() {
  if (liveViewToolbar_) return;
  liveViewToolbar_ = new QToolBar(Localized("Toolbar"), liveViewPanel_);
  liveViewToolbar_->setObjectName(QString::fromLatin1(kToolbarIdentifier));
  liveViewToolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  liveViewToolbar_->setIconSize(QSize(32, 32));
  liveViewToolbar_->setMovable(false);
  for (const QString& identifier : toolbarDefaultItemIdentifiers())
    if (QAction* action = toolbarItemForItemIdentifier(identifier, liveViewToolbar_))
      liveViewToolbar_->addAction(action);
  liveViewPanel_->addToolBar(Qt::TopToolBarArea, liveViewToolbar_);
}

// ---- Status and progress ----

QString LiveViewController::statusString() const { return liveViewStatusText_->text(); }

void LiveViewController::setLVStatusString(const QString& text) {
  if (liveViewStatusText_->text().compare(text, Qt::CaseInsensitive) == 0) return;
  liveViewStatusText_->setText(text);
  ++statusDisplayCount_;
  RepaintKeepingGLContext(liveViewStatusText_);
}

void LiveViewController::initializeAnimatedLVStatus() {
  liveViewProgressIndicator_->setRange(0, 0);  // indeterminate: the bar animates
  liveViewProgressIndicator_->show();
  RepaintKeepingGLContext(liveViewProgressIndicator_);
}

void LiveViewController::resetAnimatedLVStatus() {
  // Stops the animation; the light progress of a shadow render keeps its count (the renders
  // inside a shadow render stop the animation too).
  if (progressHiddenWhenStopped_ || liveViewProgressIndicator_->maximum() == 0) {
    liveViewProgressIndicator_->setRange(0, 100);
    liveViewProgressIndicator_->setValue(0);
  }
  if (progressHiddenWhenStopped_) liveViewProgressIndicator_->hide();
  RepaintKeepingGLContext(liveViewProgressIndicator_);
}

void LiveViewController::initializeLVLightProgressUsingLightCount(int count) {
  progressHiddenWhenStopped_ = false;
  liveViewProgressIndicator_->setRange(0, count < 0 ? 0 : count);
  liveViewProgressIndicator_->setValue(0);
  liveViewProgressIndicator_->show();
  RepaintKeepingGLContext(liveViewProgressIndicator_);
}

void LiveViewController::updateLVLightProgressWithLightCount(int index) {
  liveViewProgressIndicator_->setValue(index);
  RepaintKeepingGLContext(liveViewProgressIndicator_);
}

void LiveViewController::resetLVLightProgress() {
  liveViewProgressIndicator_->setValue(0);
  progressHiddenWhenStopped_ = true;
  liveViewProgressIndicator_->hide();
  RepaintKeepingGLContext(liveViewProgressIndicator_);
}

// ---- Rendering ----

void LiveViewController::renderFinal() {
  DocState* ds = CurrentDocState();
  if (!ds) return;
  const uint8_t shadows = ds->shadowRender();
  ds->shadowRender() = 1;
  gRenderOpenGLAntiAlias = 1;
  gRenderGL = 1;
  gRenderDirty = 1;
  gRefreshRender = 1;
  RefreshSceneWatchingKeys(liveViewOGLView_);
  gRenderOpenGLAntiAlias = 0;
  gRenderGL = 0;
  ds->shadowRender() = shadows;
  // An interrupted render is replaced by a plain one (gRefreshRender is still set); the
  // status keeps telling that the final render was interrupted.
  if (gBreakOpenGLRender) {
    const QString status = statusString();
    gBreakOpenGLRender = 0;
    liveViewOGLView_->display();
    setLVStatusString(status);
  } else {
    liveViewOGLView_->update();
  }
  gBreakOpenGLRender = 0;
  gRefreshRender = 0;
  resetLVLightProgress();
}

void LiveViewController::renderShadows() {
  DocState* ds = CurrentDocState();
  if (!ds || ds->transparency() || ds->renderMode() == kRenderWireframe) return;
  ds->shadowRender() = 1;
  gRenderDirty = 1;
  gRenderGL = 1;
  gRefreshRender = 1;
  RefreshSceneWatchingKeys(liveViewOGLView_);
  // The shadowed frame is the one kept: the view shows it rather than rendering again.
  gRefreshRender = 0;
  liveViewOGLView_->update();
  gRenderGL = 0;
  ds->shadowRender() = 0;
  resetLVLightProgress();
}

void LiveViewController::showRenderProperties() {
  LVGeneralPropertiesController::newGeneralPropertiesSheetForParent(liveViewPanel_);
  if (liveViewPanel_->isVisible()) liveViewPanel_->activateWindow();
}

void LiveViewController::showLightProperties() {
  LVLightPropertiesController::newLightPropertiesSheetForParent(liveViewPanel_);
  if (liveViewPanel_->isVisible()) liveViewPanel_->activateWindow();
}

namespace {
void PopUpMenuOver(QWidget* sender, std::unique_ptr<QMenu> menu, LiveViewOGLView* view, bool style) {
  if (!menu) return;
  for (QAction* item : menu->actions()) {
    if (item->data().isNull()) continue;
    QObject::connect(item, &QAction::triggered, view, [view, item, style] {
      if (style) view->setRenderStyle(item);
      else view->setViewpoint(item);
    });
    if (style) view->validateMenuItem(item);
  }
  const QPoint at = sender ? sender->mapToGlobal(QPoint(0, sender->height())) : QCursor::pos();
  menu->exec(at);
}
}  // namespace

void LiveViewController::setRenderStyleUsingTBMenu(QWidget* sender) {
  PopUpMenuOver(sender, ContextMenuFactory::liveViewRenderStyleMenu(), liveViewOGLView_, true);
}

void LiveViewController::setViewpointUsingTBMenu(QWidget* sender) {
  PopUpMenuOver(sender, ContextMenuFactory::liveViewViewpointMenu(), liveViewOGLView_, false);
}

// ---- Navigation ----

void LiveViewController::installNavigationHost() {
  gNavigationHost.startEvent = [](bool* left, uint32_t* flags, POINT* where) {
    const QMouseEvent* e = sShared ? sShared->liveViewOGLView_->mouseEvent() : nullptr;
    if (!e) return false;
    *left = e->button() == Qt::LeftButton;
    uint32_t bits = 0;
    if (e->modifiers() & Qt::ShiftModifier) bits |= kModalShiftKey;
    if (e->modifiers() & Qt::AltModifier) bits |= kModalOptionKey;
    if (e->modifiers() & Qt::ControlModifier) bits |= kModalCommandKey;
    if (e->modifiers() & Qt::MetaModifier) bits |= kModalControlKey;
    *flags = bits;
    *where = POINT{static_cast<int32_t>(e->position().x()), static_cast<int32_t>(e->position().y())};
    return true;
  };
  gNavigationHost.makeCurrent = [] {
    if (sShared) sShared->liveViewOGLView_->makeCurrent();
  };
  gNavigationHost.viewWidth = [] { return sShared ? static_cast<int32_t>(sShared->liveViewOGLView_->width()) : 0; };
  gNavigationHost.viewNeedsDisplay = [] {
    if (sShared) sShared->liveViewOGLView_->update();
  };
  gNavigationHost.beginMarkerSnapshot = [] {
    if (ZLKDocumentView* plan = AppController::mainWindowDocumentView()) plan->initializeDynamicViewPointSystem();
  };
  gNavigationHost.endMarkerSnapshot = [] {
    if (ZLKDocumentView* plan = AppController::mainWindowDocumentView()) plan->resetDynamicViewPointSystem();
  };
  gNavigationHost.invalidatePlanRect = [](float x, float y, float width, float height) {
    ZLKDocumentView* plan = AppController::mainWindowDocumentView();
    if (!plan) return;
    const NSPoint origin = plan->boundsOrigin();
    plan->update(QRectF(x - origin.x, y - origin.y, width, height).toAlignedRect());
  };
  gNavigationHost.updatePlantGrowthIndicator = [] {
    if (ZLKWindowController* main = AppController::mainWindowController()) main->updatePlantGrowthIndicatorLevel();
  };
}

void LiveViewController::placeCameraForNavigation() {
  DocState* ds = CurrentDocState();
  if (!ds) return;
  if (ds->navigationMode != kNavFlyAround) {
    // The look-at point 1000 ahead of the eye.
    float dx = 0, dy = 0;
    GetPointFromLengthAndAngle((ds->walkViewAngle() + 90.0f) * 0.017453292f, 1000.0f, &dx, &dy);
    SetCameraAngle(dx, 0, -dy);
    SetCameraPosition(ds->walkEyePoint().floatH, ds->walkEyeHeight(), -ds->walkEyePoint().floatV);
  } else {
    // The orbit point from the fly angles and distance.
    const float pitch = ds->flyAngleX() * 0.017453292f;
    const float heading = ds->flyAngleY() * 0.017453292f;
    const float distance = ds->flyDistance();
    const float x = distance * std::cos(pitch) * std::sin(heading);
    const float y = distance * std::sin(pitch);
    const float z = distance * std::cos(pitch) * std::cos(heading);
    SetCameraPosition(x, y, z);
    SetCameraAngle(ds->flyCenter().floatH, 0, ds->flyCenter().floatV);
  }
}

void LiveViewController::navigationChanged() {
  DocState* ds = CurrentDocState();
  if (gAnimateBackground && ds) AnimateBackground(ds);
  gRefreshRender = 1;
  liveViewOGLView_->update();
  gRenderDirty = 1;
  liveViewOGLView_->resetCursorRects();
  if (ZLKDocumentView* plan = AppController::mainWindowDocumentView()) plan->update();
}

void LiveViewController::setNavigation(int16_t mode, uint8_t controlled) {
  DocState* ds = CurrentDocState();
  if (!ds) return;
  ds->navigationMode = mode;
  ds->controlledNavigation() = controlled;
  ds->orthoView() = 0;
  placeCameraForNavigation();
  navigationChanged();
}

void LiveViewController::freeWalkThrough() { setNavigation(kNavWalkThrough, 0); }
void LiveViewController::controlledWalkThrough() { setNavigation(kNavWalkThrough, 1); }
void LiveViewController::freeFlyAround() { setNavigation(kNavFlyAround, 0); }
void LiveViewController::controlledFlyAround() { setNavigation(kNavFlyAround, 1); }

void LiveViewController::reset3DView() {
  DocState* ds = CurrentDocState();
  if (!ds) return;
  ds->walkPitchAngle() = 0;
  ds->flyCenter() = FloatPoint{0, 0};
  if (ds->navigationMode != kNavFlyAround) {
    ds->walkViewAngle() = 0;
    ds->walkEyePoint() = FloatPoint{0, ds->planBounds.floatBottom - 125};
    if (const Layer* layer = gCurDocument->itsCurLayer)
      ds->walkEyeHeight() = ConvertWorldToScreen(GetLayerAbsBaseHeight(layer), ds, 0) +
                            0.5f * ConvertWorldToScreen(layer->height, ds, 0);
  } else {
    ds->flyDistance() = 1500;
    ds->flyAngleX() = 20;
    ds->flyAngleY() = 330;
  }
  placeCameraForNavigation();
  gRefreshRender = 1;
  gRenderDirty = 1;
  Refresh();
}

void LiveViewController::setWalkThroughElevation() {
  WalkElevationController::newWalkElevationSheetForParent(liveViewPanel_);
}
void LiveViewController::setFlyAroundAltitude() { FlyAltitudeController::newFlyAltitudeSheetForParent(liveViewPanel_); }

// ---- Cut-away ----

QImage LiveViewController::cutAwaySliderStateImage(int direction) {
  // A box seen from above with an arrow from the side that is cut away; the top state
  // shows the arrow coming down onto the box.
  QImage image = BlankIcon(24);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.setBrush(QColor(225, 225, 225));
  p.drawRect(QRectF(6, 6, 12, 12));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 40, 40));
  QPolygonF arrow;
  switch (direction) {
    case 0: arrow << QPointF(12, 23) << QPointF(7, 19) << QPointF(17, 19); break;    // from the front
    case 1: arrow << QPointF(1, 12) << QPointF(5, 7) << QPointF(5, 17); break;       // from the left
    case 2: arrow << QPointF(12, 1) << QPointF(7, 5) << QPointF(17, 5); break;       // from the back
    case 3: arrow << QPointF(23, 12) << QPointF(19, 7) << QPointF(19, 17); break;    // from the right
    default: arrow << QPointF(12, 15) << QPointF(8, 9) << QPointF(16, 9); break;     // from above
  }
  p.drawPolygon(arrow);
  p.end();
  return image;
}

void LiveViewController::cutAwaySliderUpButtonChanged() {
  DocState* ds = CurrentDocState();
  if (!ds) return;
  ds->cutAwayPosition() = 0;
  ds->cutAwayDirection() = static_cast<int16_t>((ds->cutAwayDirection() + 1) % kCutAwayDirections);
  SetSlicePlaneBounds();
  updateCutAwayImageAndPosition();
  gRenderDirty = 1;
  gRefreshRender = 1;
  liveViewOGLView_->display();
}

void LiveViewController::cutAwaySliderDownButtonChanged() {
  DocState* ds = CurrentDocState();
  if (!ds) return;
  ds->cutAwayPosition() = 0;
  int direction = ds->cutAwayDirection() - 1;
  if (direction < 0 || direction >= kCutAwayDirections) direction = kCutAwayDirections - 1;
  ds->cutAwayDirection() = static_cast<int16_t>(direction);
  SetSlicePlaneBounds();
  updateCutAwayImageAndPosition();
  gRenderDirty = 1;
  gRefreshRender = 1;
  liveViewOGLView_->display();
}

void LiveViewController::cutAwaySliderChanged(bool mouseDown, bool mouseUp) {
  DocState* ds = CurrentDocState();
  if (!ds) return;
  if (mouseDown) {
    // The range follows the model: keep the knob at the same fraction of it.
    // The ranges are the fractional ones the slider was given, not its whole-number maximum.
    auto range = [this] {
      const int maximum = cutAwaySlider_->maximum();
      return static_cast<int>(cutAwaySliderRange_) == maximum ? cutAwaySliderRange_ : static_cast<float>(maximum);
    };
    const int before = cutAwaySlider_->value();
    const float maximum = range();
    updateCutAwaySliderBounds();
    const float maximumAfter = range();
    if (maximum != 0) {
      const float fraction = static_cast<float>(before) / maximum;
      QSignalBlocker block(cutAwaySlider_);
      cutAwaySlider_->setValue(static_cast<int>(std::lround(fraction * maximumAfter)));
    }
  }
  ds->cutAwayPosition() = cutAwaySlider_->sliderPosition();
  // The real-time frame; at the end of a drag it asks for the full render itself.
  currentMouseEvent_ = mouseDown ? kLiveViewLeftMouseDown : mouseUp ? kLiveViewLeftMouseUp : 0;
  liveViewOGLView_->makeCurrent();
  RealTimeCutawayOpenGL();
  liveViewOGLView_->doneCurrent();
  currentMouseEvent_ = 0;
  liveViewOGLView_->update();
}

void LiveViewController::updateCutAwaySliderBounds() {
  QSignalBlocker block(cutAwaySlider_);
  cutAwaySliderRange_ = std::isfinite(gCutawayRange) && std::fabs(gCutawayRange) < 2e9f ? gCutawayRange : 0;
  cutAwaySlider_->setMaximum(static_cast<int>(cutAwaySliderRange_));
}

void LiveViewController::updateCutAwayImageAndPosition() {
  DocState* ds = CurrentDocState();
  if (!ds) return;
  const int direction = ds->cutAwayDirection();
  if (direction >= 0 && direction < kCutAwayDirections) {
    cutAwayImageIndex_ = direction;
    cutAwaySliderImage_->setPixmap(QPixmap::fromImage(sliderImages_[direction]));
  }
  QSignalBlocker block(cutAwaySlider_);
  cutAwaySlider_->setValue(static_cast<int>(ds->cutAwayPosition()));
}
