// The 3D view: redraws, the navigation and auto-click mouse roads, content drops, cursors
// and the render-style check marks.
#include "app/LiveViewOGLView.h"

#include <GL/glu.h>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "app/LiveViewController.h"
#include "app/LiveViewEventSource.h"
#include "app/RenderKeyWatch.h"
#include "app/Win32EventHandler.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Strings.h"
#include "building3d/PlaneObjects.h"
#include "render3d/ApplyMaterials.h"
#include "render3d/ApplyMouldings.h"
#include "render3d/LightGlows.h"
#include "render3d/Lighting.h"
#include "render3d/Navigation.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"

uint8_t gRenderGL = 0;
uint8_t gRenderingDirect3D = 0;

namespace {


DocState* CurrentDocState() { return gCurDocument ? gCurDocument->itsDocState : nullptr; }

POINT ToPOINT(const QPointF& p) { return POINT{static_cast<int32_t>(p.x()), static_cast<int32_t>(p.y())}; }

// The navigation cursors, drawn at run time: a walker or a plane, with an open ring for the
// controlled modes.
QCursor NavigationCursor(bool fly, bool controlled) {
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPen outline(Qt::white, 4, Qt::SolidLine, Qt::RoundCap);
  const QPen ink(Qt::black, 2, Qt::SolidLine, Qt::RoundCap);
  for (const QPen& pen : {outline, ink}) {
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (fly) {
      p.drawLine(QPointF(3, 17), QPointF(20, 17));
      p.drawLine(QPointF(11, 17), QPointF(7, 25));
      p.drawLine(QPointF(11, 17), QPointF(16, 9));
      p.drawLine(QPointF(3, 17), QPointF(3, 12));
    } else {
      p.drawEllipse(QPointF(14, 5), 2.5, 2.5);
      p.drawLine(QPointF(14, 9), QPointF(14, 18));
      p.drawLine(QPointF(14, 18), QPointF(10, 26));
      p.drawLine(QPointF(14, 18), QPointF(18, 26));
      p.drawLine(QPointF(9, 13), QPointF(19, 13));
    }
    if (controlled) p.drawEllipse(QPointF(25, 25), 5, 5);
  }
  p.end();
  return fly ? QCursor(QPixmap::fromImage(image), 11, 17) : QCursor(QPixmap::fromImage(image), 14, 15);
}

const char* AutoClickUndoName(int16_t type) {
  switch (type) {
    case kEntryColor: return "Auto-click Color";
    case kEntryMaterial: return "Auto-click Material";
    case kEntryTrim: return "Auto-click Moulding/Wainscot";
    case kEntryCustomTexture: return "Auto-click Custom Material";
    case kEntryCustomTrim: return "Auto-click Custom Moulding";
    default: return nullptr;
  }
}

const char* DropUndoName(int16_t type) {
  switch (type) {
    case kEntryColor: return "Color";
    case kEntryMaterial: return "Material";
    case kEntryTrim: return "Moulding/Wainscot";
    case kEntryCustomTexture: return "Custom Material";
    case kEntryCustomTrim: return "Custom Moulding";
    default: return nullptr;
  }
}

// Applies the entry at the view point; false for a type that does not apply in 3D.
bool ApplyEntry(POINT point, SymEntryInfo* entry) {
  switch (entry->type) {
    case kEntryColor: {
      const RGBColor& c = entry->textureColor;
      const int32_t color = (c.red & 0xFF) + 256 * (c.green & 0xFF) + 65536 * (c.blue & 0xFF);
      ApplyColor(point, color, 0, 0);
      return true;
    }
    case kEntryMaterial: ApplyTexture(point, entry->textureID); return true;
    case kEntryTrim: ApplyMoulding(point, entry->textureID); return true;
    case kEntryCustomTexture: ApplyCustomTextureImage(point, entry); return true;
    case kEntryCustomTrim: ApplyCustomMoulding(point, entry); return true;
    default: return false;
  }
}

}  // namespace

ZLKAutoClickElement::ZLKAutoClickElement(POINT point) : point_(point) {
  const double x = point.x, y = point.y;
  highlightPath_.setFillRule(Qt::WindingFill);
  highlightPath_.addRect(x - 1, y - 9, 3, 17);
  highlightPath_.addRect(x - 8, y - 2, 17, 3);
  crosshairPath_.moveTo(x, y - 7);
  crosshairPath_.lineTo(x, y + 7);
  crosshairPath_.moveTo(x - 7, y);
  crosshairPath_.lineTo(x + 7, y);
}

void ZLKAutoClickElement::drawAutoClickElement(QPainter& painter) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillPath(highlightPath_, Qt::white);
  painter.strokePath(crosshairPath_, QPen(Qt::black, 0));
  painter.restore();
}

LiveViewOGLView::LiveViewOGLView(QWidget* parent)
    : QOpenGLWidget(parent), eventSource_(std::make_unique<LiveViewEventSource>(this)) {
  ctrlWalkCursor_ = NavigationCursor(false, true);
  freeWalkCursor_ = NavigationCursor(false, false);
  ctrlFlyCursor_ = NavigationCursor(true, true);
  freeFlyCursor_ = NavigationCursor(true, false);
  setAcceptDrops(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

LiveViewOGLView::~LiveViewOGLView() {
  // The renderer's framebuffers and kept frame belong to this view's context.
  if (isValid()) {
    makeCurrent();
    ReleaseRenderTarget();
    doneCurrent();
  }
  ClearGLTextureNames();  // the loaded textures go with the context
  if (gQuadricObject) {
    gluDeleteQuadric(gQuadricObject);
    gQuadricObject = nullptr;
  }
}

void LiveViewOGLView::initializeGL() {
  // A new context holds none of the texture names loaded so far.
  ClearGLTextureNames();
  SetupLights();
  if (!gQuadricObject) gQuadricObject = gluNewQuadric();
}

void LiveViewOGLView::display() {
  // The render runs now into the kept image; showing it follows with the next paint.
  if (!autoClick3DActive_ && isValid() && isVisible()) {
    makeCurrent();
    renderIfStale();
    doneCurrent();
  }
  update();
}

void LiveViewOGLView::renderIfStale() {
  // A repaint of the status or progress during a render can paint this view again: that paint
  // must not start a second render inside the first. While the camera moves the real-time
  // frames are shown; the full render follows the end of the move.
  if (!gRefreshRender || gRenderOpenGLAntiAlias || rendering_ || gRealTimeDraw) return;
  // The same holds for a render the 3D window runs itself (Render Shadows, Final Render):
  // a resize delivered by its Escape poll must not render inside it.
  if (RenderKeyWatch::shared().watching()) return;
  rendering_ = true;
  gRenderGL = 1;
  ++renderCount_;
  lastRenderPollingOff_ = gDisableRenderInterrupt != 0;
  RefreshGLScene();
  gRenderGL = 0;
  gRefreshRender = 0;
  rendering_ = false;
}

void LiveViewOGLView::paintGL() {
  // A long render of this view is running (its status and progress are being shown): the
  // frame it replaces stays until it ends.
  if (RenderKeyWatch::shared().watching() || rendering_) return;
  if (autoClick3DActive_) {
    // The frozen image with the markers of the clicks made.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(QPoint(0, 0), backingImage_);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const ZLKAutoClickElement& element : autoClick3DPaths_) element.drawAutoClickElement(painter);
    return;
  }
  renderIfStale();
  presentKeptImage();
}

void LiveViewOGLView::presentKeptImage() {
  // The last finished frame stays until a new one is kept; before the first one the view is
  // white.
  if (!HasKeptFrame()) {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    return;
  }
  const qreal ratio = devicePixelRatio();
  DrawKeptFrame(defaultFramebufferObject(), static_cast<int32_t>(width() * ratio),
                static_cast<int32_t>(height() * ratio));
}

// ---- Menus ----

void LiveViewOGLView::setRenderStyle(QAction* sender) {
  if (sender) Win32EventHandler::sharedEventHandler()->setRenderStyleUsingCommand(sender->data().toInt());
}

void LiveViewOGLView::setViewpoint(QAction* sender) {
  if (sender) Win32EventHandler::sharedEventHandler()->setViewpointUsingCommand(sender->data().toInt());
}

bool LiveViewOGLView::validateMenuItem(QAction* item) {
  if (!item) return true;
  item->setEnabled(true);
  DocState* ds = CurrentDocState();
  if (!ds) return true;
  const int tag = item->data().toInt();
  const int16_t mode = ds->renderMode();
  bool checked = false;
  switch (tag) {
    case kCmdRenderWireframe: checked = mode == kRenderWireframe && !gTexturedWire; break;
    case kCmdRenderTexturedWireframe: checked = mode == kRenderWireframe && gTexturedWire; break;
    case kCmdRenderClearView: checked = mode == kRenderClearView; break;
    case kCmdRenderSolid: checked = mode == kRenderSolid; break;
    default: return true;
  }
  item->setCheckable(true);
  item->setChecked(checked);
  return true;
}

void LiveViewOGLView::resetCursorRects() {
  if (autoClick3DActive_) {
    setCursor(Qt::PointingHandCursor);
    return;
  }
  const DocState* ds = CurrentDocState();
  if (!ds) {
    unsetCursor();
    return;
  }
  const bool controlled = ds->navigationSubMode != 0;
  if (ds->navigationMode == kNavWalkThrough) setCursor(controlled ? ctrlWalkCursor_ : freeWalkCursor_);
  else if (ds->navigationMode == kNavFlyAround) setCursor(controlled ? ctrlFlyCursor_ : freeFlyCursor_);
  else unsetCursor();
}

// ---- Auto-click ----

bool LiveViewOGLView::canEnable3DAutoClickForEvent(const Qt::KeyboardModifiers* modifiers) const {
  DocState* ds = CurrentDocState();
  if (!ds || gSelectedContentCategory < 0 || !modifiers) return false;
  if (ds->renderMode() == kRenderWireframe) return false;
  if (!(*modifiers & Qt::AltModifier)) return false;
  if (!ContentPaletteSelectedSymEntry()) return false;
  return gSelectedContentCategory >= 0 && gSelectedContentCategory <= 3;
}

void LiveViewOGLView::flagsChanged(Qt::KeyboardModifiers modifiers) {
  if (!canEnable3DAutoClickForEvent(&modifiers)) {
    trackingTag_ = false;
    if (autoClick3DActive_) {
      autoClick3DActive_ = 0;
      backingImage_ = QImage();
      store3DAutoClickUndoAction();
      gRefreshRender = 1;
      removeAllAutoClick3DPaths();
      update();
    }
  } else if (!autoClick3DActive_) {
    // The frozen image the clicks are marked on, grabbed before the mode is on (the grab
    // paints the view, which in the mode would draw the frozen image itself).
    backingImage_ = grabFramebuffer();
    backingImage_.setDevicePixelRatio(devicePixelRatio());
    autoClick3DActive_ = 1;
    trackingTag_ = true;
    update();
  }
  resetCursorRects();
}

void LiveViewOGLView::mouseExited() {
  autoClick3DActive_ = 0;
  backingImage_ = QImage();
  store3DAutoClickUndoAction();
  trackingTag_ = false;
  removeAllAutoClick3DPaths();
  gRefreshRender = 1;
  update();
  resetCursorRects();
}

void LiveViewOGLView::do3DSymTargetClick(POINT point, SymEntryInfo* entry) {
  if (!entry) return;
  autoClick3DPaths_.emplace_back(point);
  update();
  applyEntryHere(point, entry);
}

bool LiveViewOGLView::applyEntryHere(POINT point, SymEntryInfo* entry) {
  static uint16_t sModifiers = 0;
  sModifiers = 0;
  if (eventModifiers_ & Qt::ShiftModifier) sModifiers |= kTrackModShift;
  if (eventModifiers_ & Qt::ControlModifier) sModifiers |= kTrackModCommand;
  const TrackingHooks saved = gTrackingHooks;
  gTrackingHooks.currentModifiers = [] { return sModifiers; };
  // The pick works in the renderer's pixels.
  const qreal ratio = devicePixelRatioF();
  const POINT pixel{static_cast<int32_t>(point.x * ratio), static_cast<int32_t>(point.y * ratio)};
  const bool current = isValid();
  if (current) makeCurrent();
  const bool applied = ApplyEntry(pixel, entry);
  if (current) doneCurrent();
  gTrackingHooks.currentModifiers = saved.currentModifiers;
  return applied;
}

void LiveViewOGLView::store3DAutoClickUndoAction() {
  if (autoClick3DPaths_.empty()) return;
  const SymEntryInfo* entry = ContentPaletteSelectedSymEntry();
  const char* name = entry ? AutoClickUndoName(entry->type) : nullptr;
  if (name) StoreUndoIfChanged(LocalizedString(name));
}

// ---- Mouse ----

void LiveViewOGLView::mouseDown(QMouseEvent* event) {
  if (autoClick3DActive_) {
    eventModifiers_ = event->modifiers();
    do3DSymTargetClick(ToPOINT(event->position()), ContentPaletteSelectedSymEntry());
    return;
  }
  // The Control key makes a click a right-click.
  if (event->modifiers() & Qt::MetaModifier) {
    rightMouseDown(event);
    return;
  }
  navigate(event);
}

void LiveViewOGLView::rightMouseDown(QMouseEvent* event) {
  DocState* ds = CurrentDocState();
  if (ds && !autoClick3DActive_) {
    gRealTimeElevate = !gRealTimeElevate;
    ds->orthoView() = 0;
    navigate(event);
  }
}

void LiveViewOGLView::navigate(QMouseEvent* event) {
  // A loop already runs (its own queue swallows presses; a press sent straight here is one
  // too many).
  if (mouseEvent_) return;
  mouseEvent_.reset(static_cast<QMouseEvent*>(event->clone()));
  ModalEventSource* previous = CurrentModalEventSource();
  eventSource_->clear();
  SetModalEventSource(eventSource_.get());
  ++navigationLoops_;
  gRenderingDirect3D = 1;
  RealTimeRotateAnimOpenGL();
  gRenderingDirect3D = 0;
  SetModalEventSource(previous == eventSource_.get() ? nullptr : previous);
  mouseEvent_.reset();
}

void LiveViewOGLView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) mouseDown(event);
  else if (event->button() == Qt::RightButton) rightMouseDown(event);
  else QOpenGLWidget::mousePressEvent(event);
}

void LiveViewOGLView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Alt) flagsChanged(event->modifiers() | Qt::AltModifier);
  QOpenGLWidget::keyPressEvent(event);
}

void LiveViewOGLView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Alt) flagsChanged(event->modifiers() & ~Qt::AltModifier);
  QOpenGLWidget::keyReleaseEvent(event);
}

void LiveViewOGLView::enterEvent(QEnterEvent* event) {
  flagsChanged(QGuiApplication::queryKeyboardModifiers());
  QOpenGLWidget::enterEvent(event);
}

void LiveViewOGLView::leaveEvent(QEvent* event) {
  if (trackingTag_) mouseExited();
  QOpenGLWidget::leaveEvent(event);
}

// ---- Drops ----

void LiveViewOGLView::dragEnterEvent(QDragEnterEvent* event) {
  // Only this program's own drags (a drag from another program has no source here).
  if (event->source() && draggingEntered(event->mimeData()) != 0) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

int LiveViewOGLView::draggingEntered(const QMimeData* pasteboard) const {
  return pasteboard && pasteboard->hasFormat(QString::fromLatin1(Content3DDNDPboardType)) ? 4 : 0;
}

void LiveViewOGLView::dropEvent(QDropEvent* event) {
  if (!event->source()) {
    event->ignore();
    return;
  }
  const QByteArray data = event->mimeData()->data(QString::fromLatin1(Content3DDNDPboardType));
  eventModifiers_ = event->modifiers();
  const bool applied = performDragOperation(data.isEmpty() ? nullptr : &data, ToPOINT(event->position()));
  if (applied) event->acceptProposedAction();
  else event->ignore();
}

bool LiveViewOGLView::performDragOperation(const QByteArray* data, POINT where) {
  if (!data) return false;
  SymEntryInfo entry;
  if (!DecodeSymEntryWithData(reinterpret_cast<const uint8_t*>(data->constData()),
                              static_cast<size_t>(data->size()), &entry))
    return false;
  const char* name = DropUndoName(entry.type);
  if (!name || !applyEntryHere(where, &entry)) return false;
  // A material or colour the surface already had changes nothing: no step to undo.
  StoreUndoIfChanged(LocalizedString(name));
  gRefreshRender = 1;
  update();
  return true;
}
