// Plan view: drawing the document's plan into a QPainter drawing context, and its input:
// the click road, the tool drag (a state machine over the mouse events that feeds the
// begin, keep and end stages), panning, the zoom drag, the wheel zoom, auto-scroll and keys.
#include "app/ZLKDocumentView.h"
#include "building3d/PlaneObjects.h"
#include "building3d/RoofPanels3D.h"
#include "inspectors/TextEntryController.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/AppController.h"
#include "app/ContextMenuFactory.h"
#include "content/ContentPaletteController.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentScrollView.h"
#include "app/ZLKWindowController.h"
#include "files/Undo.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/SelectionState.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/WallSegmentDimensions.h"
#include "plandraw/qt/QPainterDrawContext.h"
#include "platform/Strings.h"
#include "app/PlanViewEventSource.h"
#include "model/LineGeometry.h"
#include "render3d/Navigation.h"
#include "tools/ModalEvents.h"
#include "tools/ObjectSnaps.h"
#include "tools/PointEvaluation.h"
#include "tools/ToolCodes.h"
#include "tools/VirtualRulerTool.h"
#include "tools/ToolUndoNames.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

// Shift and Command of the last input event any plan view saw: what the tracking stages
// read as the current modifiers.
uint16_t sTrackModifiers = 0;

uint16_t TrackModifiersOf(Qt::KeyboardModifiers modifiers) {
  uint16_t bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= kTrackModShift;
  if (modifiers & Qt::ControlModifier) bits |= kTrackModCommand;
  return bits;
}

uint32_t EventFlagsOf(Qt::KeyboardModifiers modifiers) {
  uint32_t flags = 0;
  if (modifiers & Qt::ShiftModifier) flags |= kEventShift;
  if (modifiers & Qt::AltModifier) flags |= kEventOption;
  if (modifiers & Qt::ControlModifier) flags |= kEventCommand;
  return flags;
}

void InstallTrackingHooks() {
  gTrackingHooks.currentModifiers = [] { return sTrackModifiers; };
  gTrackingHooks.autoScrollToPoint = [](int32_t x, int32_t y) {
    if (ZLKDocumentView* view = AppController::mainWindowDocumentView()) view->autoScrollToPoint({x, y});
  };
}

bool IsSelectionGroupTool(uint16_t tool) {
  return tool == kToolSelection || tool == kToolKeyEntry || tool == kToolRotate || tool == kToolFillet ||
         tool == kToolInvertedFillet || tool == kToolChamfer;
}

bool IsComponentTool(uint16_t tool) {
  switch (tool) {
    case kToolReceptacle110: case kToolReceptacle110Style: case kToolReceptacle220: case kToolSwitch:
    case kToolMultiWaySwitch: case kToolDimmerSwitch: case kToolFloodLight: case kToolCableOutlet:
    case kToolPhoneOutlet: case kToolSmokeDetector: case kToolThermostat: case kToolHoseBib: case kToolGasBib:
    case kToolToilet: case kToolSingleSink: case kToolDoubleSink: case kToolTripleSink: case kToolOvalSink:
    case kToolBathTub: case kToolSpaTub: case kToolShower: case kToolBaseboardHeater:
      return true;
    default:
      return false;
  }
}

bool HitTest(Layer* layers, ClickInfo* click, uint8_t selectedOnly, std::initializer_list<int16_t> types) {
  ClearClickInfo(click);
  const bool hit = SelectFromAllLayers(layers, click, selectedOnly, types.size() ? types.begin() : nullptr,
                                       static_cast<int16_t>(types.size()));
  if (!hit) ClearClickInfo(click);
  return hit;
}

void DeselectAll(Layer* layers) { SelectAllLayers(layers, kSelectOff, 1); }

bool IsType(const Objex* o, std::initializer_list<int16_t> types) {
  for (int16_t t : types)
    if (o && o->type == t) return true;
  return false;
}

// The size readout of the selection from its 3D bounds: width, height and depth in world
// units, shown in the status line; zeros when nothing is selected.
void SizeReadoutOf(const Float3DRect& box, DocState* ds) {
  const bool valid = box.floatLeft < 30000 && box.floatTop < 30000 && box.floatBack < 30000 &&
                     box.floatRight > -30000 && box.floatBottom > -30000 && box.floatFront > -30000;
  gWidthHeightDepth = Float3DPoint{};
  if (valid && ds) {
    gWidthHeightDepth.floatH = ConvertScreenToWorld(box.floatRight - box.floatLeft, ds, 1);
    gWidthHeightDepth.floatV = ConvertScreenToWorld(box.floatBottom - box.floatTop, ds, 1);
    gWidthHeightDepth.floatD = ConvertScreenToWorld(box.floatFront - box.floatBack, ds, 1);
  }
  DrawWH(gWidthHeightDepth.floatH, gWidthHeightDepth.floatD, gWidthHeightDepth.floatV);
}

// The view rotation the plan is drawn with; set before measuring or evaluating points, which
// may come before the first drawing pass.
void SetUpViewRotation() {
  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle,
                                     gPerspective);
}

// A window coordinate kept within 16 bits.
int16_t Short16(int32_t v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

int16_t Narrow16(float v) {
  const double t = std::trunc(static_cast<double>(v) + 0.5);
  return static_cast<int16_t>(static_cast<int32_t>(std::fmax(-2147483648.0, std::fmin(2147483647.0, t))));
}

// The view whose tool drag runs, from its begin stage to the end of its end stage.
ZLKDocumentView* sTrackingView = nullptr;
// A stage of the tool drag runs (outside the loops it waits in): a tool change then is the
// tool's own doing (a drag too short to make anything goes back to the standard tool).
bool sInTrackingStage = false;
struct TrackingStageScope {
  bool saved = sInTrackingStage;
  TrackingStageScope() { sInTrackingStage = true; }
  ~TrackingStageScope() { sInTrackingStage = saved; }
};

// Runs the command from the main loop once no tool drag runs, looking every `pollMs` (a drag
// the mouse still holds may last a while: it is not looked at on every turn of the loop).
void RunAfterToolDrag(QObject* context, std::function<void()> command, int pollMs) {
  QTimer::singleShot(pollMs, context, [context, command = std::move(command), pollMs]() mutable {
    if (sTrackingView) RunAfterToolDrag(context, std::move(command), pollMs);
    else command();
  });
}

}  // namespace

const DrawImageData* ZLKPlanDrawing::traceImage() const {
  const QImage image = owner_ ? owner_->traceImage() : QImage();
  if (image.isNull()) return nullptr;
  if (image.cacheKey() != traceKey_ || traceCopy_.isNull()) {
    traceCopy_ = image.convertToFormat(QImage::Format_RGBA8888);
    traceKey_ = image.cacheKey();
    traceData_.width = traceCopy_.width();
    traceData_.height = traceCopy_.height();
    traceData_.bytesPerPixel = 4;
    traceData_.bytesPerRow = static_cast<int32_t>(traceCopy_.bytesPerLine());
    traceData_.pixels = traceCopy_.constBits();
  }
  return &traceData_;
}

ZLKDocumentView::ZLKDocumentView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setAcceptDrops(true);
  InstallTrackingHooks();
  eventSource_ = std::make_unique<PlanViewEventSource>(this);
  eventSource_->onModifiers = [](uint16_t bits) { sTrackModifiers = bits; };
}

ZLKDocumentView::~ZLKDocumentView() {
  if (drag_ != Drag::kNone) gMouseCaptured = 0;
  if (sTrackingView == this) sTrackingView = nullptr;
  if (eventSource_->isWaiting()) {
    // A loop still waits in the queue further up the stack: it wakes to a closed window and
    // the queue frees itself once control is back in the main loop.
    eventSource_->viewGone();
    eventSource_.release()->deleteLater();
  }
  std::free(clickRecord_);
  clickRecord_ = nullptr;
}

ZLKDocumentModel* ZLKDocumentView::documentModel() const {
  auto* controller = qobject_cast<ZLKWindowController*>(window());
  ZLKDocument* document = controller ? controller->document() : nullptr;
  return document ? document->documentModel() : nullptr;
}

QImage ZLKDocumentView::traceImage() const {
  auto* controller = qobject_cast<ZLKWindowController*>(window());
  ZLKDocument* document = controller ? controller->document() : nullptr;
  return document ? document->traceImage() : QImage();
}

NSPoint ZLKDocumentView::boundsOrigin() const {
  return {-static_cast<float>(width() / 2), -static_cast<float>(height() / 2)};
}

ZLKDocumentScrollView* ZLKDocumentView::scrollView() const {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* scroll = qobject_cast<ZLKDocumentScrollView*>(w)) return scroll;
  return nullptr;
}

NSRect ZLKDocumentView::visibleRect() const {
  QRect shown = rect();
  if (QWidget* parent = parentWidget()) shown &= QRect(mapFromParent(QPoint(0, 0)), parent->size());
  const NSPoint origin = boundsOrigin();
  if (shown.isEmpty()) return NSMakeRect(origin.x, origin.y, 0, 0);
  return NSMakeRect(shown.x() + origin.x, shown.y() + origin.y, shown.width(), shown.height());
}

NSPoint ZLKDocumentView::viewPointFromWidget(const QPointF& position) const {
  const NSPoint origin = boundsOrigin();
  return {static_cast<float>(position.x()) + origin.x, static_cast<float>(position.y()) + origin.y};
}

POINT ZLKDocumentView::windowPointFromViewPoint(NSPoint point) { return ConvertNSPointToPOINT(&point); }

// ---- Frame and scrolling ----

void ZLKDocumentView::scrollVisibleOriginTo(NSPoint origin) {
  ZLKDocumentScrollView* scroll = scrollView();
  if (!scroll) return;
  const NSPoint bounds = boundsOrigin();
  scroll->scrollToPoint({origin.x - bounds.x, origin.y - bounds.y});
}

void ZLKDocumentView::scrollRectToVisible(const NSRect& target) {
  const NSRect shown = visibleRect();
  auto axis = [](float shownStart, float shownExtent, float start, float extent) {
    if (start < shownStart || extent > shownExtent) return start;
    if (start + extent > shownStart + shownExtent) return start + extent - shownExtent;
    return shownStart;
  };
  scrollVisibleOriginTo({axis(shown.origin.x, shown.size.width, target.origin.x, target.size.width),
                         axis(shown.origin.y, shown.size.height, target.origin.y, target.size.height)});
}

void ZLKDocumentView::fitFrameToPlan() {
  ZLKDocumentModel* model = documentModel();
  if (!model || !model->itsDocState) return;
  CurrentDocumentScope scope(model);
  SetUpViewRotation();
  float w = 0, h = 0;
  GetAdjustedPaperWidthAndHeight(&w, &h);
  // A plan rectangle that gives no usable canvas (empty, inverted, not finite, beyond what
  // a widget can hold) keeps the view at its size.
  constexpr float kLargest = 1 << 23;
  if (!(w >= 1 && h >= 1 && w < kLargest && h < kLargest)) return;
  const float zoom = CurrentZoomFactor();
  const NSRect shown = visibleRect();
  const NSPoint middle{shown.origin.x + shown.size.width / 2, shown.origin.y + shown.size.height / 2};
  const QSize size(static_cast<int>(w), static_cast<int>(h));
  const bool first = fittedZoom_ == 0;
  if (size != this->size()) resize(size);
  if (first) {
    scrollVisibleOriginTo({-visibleRect().size.width / 2, -visibleRect().size.height / 2});
  } else if (zoom != fittedZoom_) {
    const float ratio = zoom / fittedZoom_;
    const NSRect now = visibleRect();
    scrollVisibleOriginTo({middle.x * ratio - now.size.width / 2, middle.y * ratio - now.size.height / 2});
  }
  fittedZoom_ = zoom;
}

void ZLKDocumentView::refreshVisibleView() {
  fitFrameToPlan();
  update();
}

void ZLKDocumentView::autoScrollToPoint(POINT where) {
  if (gCurTool == kToolViewPoint) return;
  NSRect r = visibleRect();
  if (where.x < r.origin.x) {
    r.origin.x -= 10;
    scrollRectToVisible(r);
  } else if (where.x > r.origin.x + r.size.width) {
    r.origin.x += 10;
    scrollRectToVisible(r);
  }
  if (where.y < r.origin.y) {
    r.origin.y -= 10;
    scrollRectToVisible(r);
  } else if (where.y > r.origin.y + r.size.height) {
    r.origin.y += 10;
    scrollRectToVisible(r);
  }
}

// ---- Drawing ----

void ZLKDocumentView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const NSPoint origin = boundsOrigin();
  const QRect dirty = event->rect();
  // While the camera animates: the still plan, then the camera marker over it.
  if (drawViewPointDynamically_)
    painter.drawImage(QPointF(snapshotOrigin_.x - origin.x, snapshotOrigin_.y - origin.y), dynamicViewPointImage_);
  QPainterDrawContext context(&painter);
  CurrentDrawContextScope contextScope(&context);
  painter.translate(-origin.x, -origin.y);
  const NSRect rect = NSMakeRect(dirty.x() + origin.x, dirty.y() + origin.y, dirty.width(), dirty.height());
  drawing_.setBoundsOrigin(origin);
  drawing_.setVisibleRect(visibleRect());
  ZLKDocumentModel* model = documentModel();
  if (!model || !model->itsDocState || !model->itsLayers) {
    if (!drawViewPointDynamically_) drawing_.drawRect(rect);
    return;
  }
  // The core draws the current document: this view's, for the length of the pass.
  CurrentDocumentScope documentScope(model);
  if (drawViewPointDynamically_) {
    drawing_.drawViewPoint();
    return;
  }
  drawing_.draw3D(&rect, kDrawFlagAll);
  // The side dimensions a click on a wall segment stored show in this pass, once.
  if (!gTransformationDrawing) ApplePortDrawDimensionWallSegmentSelection();
  // The 3D window follows the plan, except while a tool tracks the mouse.
  if (!gTrackingMouse && LiveViewController::exists())
    LiveViewController::sharedLiveViewController()->liveViewOGLView()->update();
}

void ZLKDocumentView::initializeDynamicViewPointSystem() {
  drawing_.setShouldDrawViewPoint(false);
  drawViewPointDynamically_ = false;
  const NSRect shown = visibleRect();
  const NSPoint origin = boundsOrigin();
  const QRect area(static_cast<int>(shown.origin.x - origin.x), static_cast<int>(shown.origin.y - origin.y),
                   static_cast<int>(shown.size.width), static_cast<int>(shown.size.height));
  dynamicViewPointImage_ = grab(area).toImage();
  snapshotOrigin_ = shown.origin;
  drawViewPointDynamically_ = !dynamicViewPointImage_.isNull();
  update();
}

void ZLKDocumentView::resetDynamicViewPointSystem() {
  drawing_.setShouldDrawViewPoint(true);
  drawViewPointDynamically_ = false;
  dynamicViewPointImage_ = QImage();
  update();
}

// The plan view whose zoom drag runs (RealTimeZoom reads its events).
namespace {
ZLKDocumentView* sZoomView = nullptr;
}  // namespace

// ---- The camera marker ----

int ZLKDocumentView::ptInViewPoint(NSPoint point) const {
  DocState* ds = CurDocState();
  if (!gCurDocument || !ds) return 0;
  const bool walk = ds->navigationMode == 1;
  // A plan point in view coordinates, rounded as the marker's mode rounds.
  auto toView = [walk](float x, float z) {
    float y = 0;
    ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                          gGlobalYOffset, gGlobalZOffset, 1);
    if (walk) return QPointF(Narrow16(x), Narrow16(y));  // x + 0.5 truncated, 16 bits
    return QPointF(std::round(x), std::round(y));
  };
  float mx = 0, my = 0, mz = 0;
  EvaluatePoint(static_cast<int32_t>(point.x), static_cast<int32_t>(point.y), &mx, &my, &mz, 0, nullptr, 1);
  const QPointF click = toView(mx, mz);
  const FloatPoint at = walk ? ds->walkEyePoint() : ds->flyCenter();
  const QPointF marker = toView(at.floatH, at.floatV);
  if (click.x() >= marker.x() - 5 && click.x() < marker.x() + 5 && click.y() >= marker.y() - 5 &&
      click.y() < marker.y() + 5)
    return 2;
  if (!walk) return 0;
  auto corner = [&](float degrees, float length) {
    float dx = 0, dy = 0;
    GetPointFromLengthAndAngle(degrees * 0.017453292f, length, &dx, &dy);
    return QPointF(std::round(marker.x() + dx), std::round(marker.y() + dy));
  };
  const float a = ds->walkViewAngle();
  const QPolygonF arrow({corner(a + 90, 20), corner(a + 130, 10), corner(a + 50, 10)});
  return arrow.containsPoint(click, Qt::WindingFill) ? 1 : 0;
}

// ---- Mouse ----

PlanMouseEvent ZLKDocumentView::eventFromQt(const QMouseEvent* event, int clickCount) const {
  PlanMouseEvent e;
  e.location = viewPointFromWidget(event->position());
  e.rightButton = event->button() == Qt::RightButton;
  e.clickCount = clickCount;
  e.modifierFlags = EventFlagsOf(event->modifiers());
  return e;
}

void ZLKDocumentView::handlePress(const QMouseEvent* event, int clickCount) {
  if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
  sTrackModifiers = TrackModifiersOf(event->modifiers());
  lastMouse_ = viewPointFromWidget(event->position());
  if (drag_ != Drag::kNone) {
    // A press while a drag runs: the release of that drag was lost (the mouse was taken
    // away). End the drag where the mouse was last seen before starting anew.
    if (event->button() != dragButton_) return;
    endDrag(previousPoint_);
  }
  dragButton_ = event->button();
  // A click works on this window's design, which is the main one from now on.
  if (ZLKDocumentModel* model = documentModel()) gCurDocument = model;
  if (event->button() == Qt::RightButton) rightMouseDown(eventFromQt(event, clickCount));
  else mouseDown(eventFromQt(event, clickCount));
}

void ZLKDocumentView::rightMouseDown(const PlanMouseEvent& event) {
  ResetStandardTool(1);
  mouseDown(event);
}

void ZLKDocumentView::mousePressEvent(QMouseEvent* event) { handlePress(event, 1); }

void ZLKDocumentView::mouseDoubleClickEvent(QMouseEvent* event) { handlePress(event, 2); }

void ZLKDocumentView::mouseDown(const PlanMouseEvent& event) {
  mouseEvent_ = event;
  hasMouseEvent_ = true;
  // The tools' nested loops of this click read this view's events, from this press on.
  eventSource_->dropLeftovers();
  SetModalEventSource(eventSource_.get());
  SetUpViewRotation();
  // The press's window point is made as the drag's and the release's are (truncated), so a
  // release where the press was reads the same point: rounded instead, a press in the half of
  // the view left of or above its middle, or on a part pixel, would read the next pixel and
  // could snap to the next grid line.
  const POINT pressed = windowPointFromViewPoint(event.location);
  const POINT where{Short16(pressed.x), Short16(pressed.y)};
  gMouseCaptured = 1;
  if (autoClick2DActive_) {
    do2DSymTargetClick(where, ContentPaletteSelectedSymEntry());
    endMouseDown(false);
    return;
  }
  if (event.clickCount == 2) ResetStandardTool(1);
  if (const int part = ptInViewPoint(event.location)) {
    dragCameraMarker(part, event.rightButton);
    return;
  }
  if (gCurTool != kToolPan) unsetCursor();
  if (gCurTool == kToolPan) {
    previousPoint_ = windowPointFromViewPoint(event.location);
    setCursor(Qt::ClosedHandCursor);
    drag_ = Drag::kPan;
    return;
  }
  if (gCurTool == kToolZoom) {
    sZoomView = this;
    RealTimeZoom();
    sZoomView = nullptr;
    endMouseDown(false);
    return;
  }
  doClick(where, event);
  if (!clickPending_) endMouseDown(true);
}

void ZLKDocumentView::dragCameraMarker(int part, bool rightButton) {
  // A right-click on the marker does nothing.
  if (!rightButton) {
    LiveViewController* live = LiveViewController::sharedLiveViewController();
    if (!live->isVisible()) {
      live->showWindow();
      if (gRenderOnShow) RenderAllLayers();
      gRefreshRender = 1;
      gRenderDirty = 0;
      live->liveViewOGLView()->update();
      if (QWidget* w = window()) w->activateWindow();
    }
    gRenderingDirect3D = 1;
    if (part == 1) RealTimeTrackAngleD3D();
    else RealTimeTrackPositionD3D();
    gRenderingDirect3D = 0;
    // The drag's end asked for the full render of the new camera.
    update();
  }
  endMouseDown(false);
}

void ZLKDocumentView::endMouseDown(bool clicked) {
  if (clicked) gMatchAccessoryToNextWindow = 0;
  hasMouseEvent_ = false;
  mouseEvent_ = {};
  gMouseCaptured = 0;
}

void ZLKDocumentView::endDrag(POINT up) {
  const Drag ended = drag_;
  if (ended == Drag::kNone) return;
  if (ended == Drag::kTrack) endTracking(up);
  drag_ = Drag::kNone;
  if (ended == Drag::kPan) setCursor(Qt::OpenHandCursor);
  if (clickPending_) finishClick();
  endMouseDown(ended == Drag::kTrack);
}

std::function<QAction*(QMenu*, const QPoint&)> ZLKDocumentView::contextMenuPresenter;

void ZLKDocumentView::popUpContextMenu(QMenu* menu, NSPoint location) {
  if (!menu) return;
  for (QAction* item : menu->actions())
    if (!item->isSeparator()) PlanViewActions::validateMenuItem(item);
  const NSPoint origin = boundsOrigin();
  const QPoint global = mapToGlobal(QPoint(static_cast<int>(location.x - origin.x), static_cast<int>(location.y - origin.y)));
  QAction* chosen = contextMenuPresenter ? contextMenuPresenter(menu, global) : menu->exec(global);
  int32_t tag = 0;
  if (chosen && chosen->isEnabled() && chosen->objectName() == QLatin1String("locatePlant:")) {
    if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController())
      palette->locatePlantForObject(gContextFoundObj);
    return;
  }
  if (chosen && chosen->isEnabled() && chosen->objectName() == QLatin1String("showPlantDetails:")) {
    Win32EventHandler::sharedEventHandler()->showPlantDetailsWindow();
    return;
  }
  if (chosen && chosen->isEnabled() && ContextMenuFactory::tagOfItem(chosen, &tag)) {
    PlanViewActions actions;
    actions.perform(tag);
  }
}

void ZLKDocumentView::doClick(POINT where, const PlanMouseEvent& event) {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = doc ? doc->itsDocState : nullptr;
  const uint16_t tool = gCurTool;
  if (!doc || !ds || tool == kToolNone) {
    update();
    return;
  }
  // The virtual ruler takes a left click on it before any tool.
  int16_t rulerPart = 0;
  if (!event.rightButton && PointInVirtualRuler(where, &rulerPart)) {
    TrackVirtualRuler(where.x, where.y, where, rulerPart);
    gMouseCaptured = 0;
    if (!eventSource_->windowClosed()) update();
    return;
  }
  const bool shift = (event.modifierFlags & kEventShift) && tool != kToolKeyEntry;
  const int8_t mode = shift ? kSelectToggle : kSelectOn;
  const bool contextClick = event.rightButton || (event.modifierFlags & kEventControl);
  const bool doubleClick = !event.rightButton && event.clickCount > 1;

  auto* click = static_cast<ClickInfo*>(std::calloc(1, sizeof(ClickInfo)));
  if (!click) {
    gMouseCaptured = 0;
    return;
  }
  click->hitMode = 0;
  click->where = where;
  click->flags = shift ? static_cast<int16_t>(0x8000) : 0;
  ClearDimensionWallSegmentSelection();

  // Clicks that end early free the record and release the mouse without a redraw request.
  auto endEarly = [&] {
    std::free(click);
    gMouseCaptured = 0;
  };
  Layer* layers = doc->itsLayers;
  if (!layers) {
    endEarly();
    return;
  }

  bool track = false, restoreTool = false;
  SelectionWalk walk;
  bool walkHolds = false;
  if (IsSelectionGroupTool(tool)) {
    // Wall attachments first, then the selection, then everything: three passes in one walk.
    static constexpr int16_t kAttachments[] = {kObjDoor, kObjWindow, kObjComponent, kObjDeckSteps, kObjAccessory};
    static constexpr HitPass kPasses[] = {{0, kAttachments, 5}, {1, nullptr, 0}, {0, nullptr, 0}};
    // The walk also notes the selection it meets, so that deselecting everything and the
    // readouts below go over only what was selected. The note holds until anything but that
    // deselection and selecting within the hit object changes the selection: the key entry
    // tool redraws first, and double clicks may deselect a second time.
    const bool hit = SelectFromAllLayersNotingSelection(layers, click, kPasses, 3, &walk);
    walkHolds = tool != kToolKeyEntry && !doubleClick;
    auto deselectAll = [&] {
      if (walkHolds) DeselectAllLayersNoted(layers, walk);
      else DeselectAll(layers);
    };
    click->hitMode = hit ? 1 : 0;
    Objex* object = click->hitObject;
    if (!hit) {
      if (shift || tool == kToolKeyEntry) {
        restoreTool = true;
      } else {
        deselectAll();
        restoreTool = false;
      }
      if (contextClick) {
        Refresh();
        popUpContextMenu(ContextMenuFactory::baseContextMenu().get(), event.location);
        endEarly();
        return;
      }
      track = true;
    } else {
      if (tool == kToolKeyEntry) Refresh();
      if (click->insideHit && object && tool != kToolKeyEntry) {
        if (IsObjectSelected(object) && !shift) {
          track = true;
        } else {
          if (!shift) deselectAll();
          restoreTool = shift;
          Objex* root = GetRootObject(object);
          SelectObj(root ? root : object, mode, 1);
        }
      } else if (click->pointHit && click->hitPoint) {
        if (!shift && click->hitPoint->selected) {
          track = true;
        } else {
          if (!shift) deselectAll();
          if (object && IsType(object, {kObjAccessory, kObjSkylight, kObjComponent})) SelectObj(object, mode, 1);
          else SelectObjectPoint(click->hitPoint, object, mode, 1);
          if (tool == kToolKeyEntry) {
            track = true;
          } else if (object && object->type == kObjRoofPanel && mode == kSelectOn) {
            if (Objex* arrow = FindSlopeDirectionArrowObject(object)) SelectObj(arrow, kSelectOn, 1);
          } else if (object && object->type == kObjRoofSlopeArrow) {
            SelectObj(object, mode, 1);
            DrawSelectionLine(object);
          }
        }
      } else if (click->segmentHit && click->hitPoint && click->segmentEnd) {
        if (!event.rightButton && gMatchAccessoryToNextWindow && object) {
          gMatchAccessoryToNextWindow = 0;
          if (IsType(object, {kObjDoor, kObjWindow})) {
            UpdateInspectorPropertiesState(true);
            endEarly();
            return;
          }
        }
        if (!shift && click->hitPoint->selected && click->segmentEnd->selected) {
          track = true;
        } else {
          if (!shift) deselectAll();
          SelectObjectSpline(click->hitPoint, click->segmentEnd, object, mode, 1);
          if (tool == kToolKeyEntry) {
            track = true;
          } else if (object) {
            if (IsType(object, {kObjRoofSlopeArrow, kObjComponent, kObjDynamicText, kObjText, kObjAccessory}))
              SelectObj(object, mode, 1);
            else if (object->type == kObjWall)
              DrawDimensionWallSegmentSelection(object, click->hitPoint, click->segmentEnd, where.x, where.y);
            else if (object->type == kObjRoofPanel && mode == kSelectOn)
              if (Objex* arrow = FindSlopeDirectionArrowObject(object)) SelectObj(arrow, kSelectOn, 1);
          }
        }
      } else {
        track = true;
        restoreTool = true;
      }
      if (doubleClick && object) {
        track = false;
        switch (object->type) {
          case kObjFloor: case kObjRoof: case kObjPath: case kObjRailing: case kObjCutout: case kObjRoofPanel:
          case kObjTopoExcavation:
            SelectObj(object, kSelectOn, 1);
            break;
          case kObjWall: case kObjDeck:
            for (Poinz* p = object->firstPoint; p; p = p->next) SelectPoint(p, kSelectOn, 1);
            break;
          case kObjDynamicText:
            TextEntryController::newTextEntrySheetForParent(window(), object);
            break;
          case kObjText:
            if (!IsObjectSymbolEditorObject(object) && !IsObjectSectionDetailObject(object))
              TextEntryController::newTextEntrySheetForParent(window(), object);
            break;
          default: {
            const Objex* root = GetRootObject(object);
            const bool cabinet = object->type == kObjCabinet ||
                                 (object->type == kObjSymbolPart3D && root && root->subtype == kSubCabinet);
            if (cabinet && IsObjectSelected(object)) {
              DeselectAll(layers);
              if (object->parent) SelectObj(object->parent, kSelectOn, 1);
              Win32EventHandler::sharedEventHandler()->launchCabinetAddkit();
            }
            break;
          }
        }
      } else if (contextClick) {
        Refresh();
        UpdateInspectorPropertiesState(true);
        // The commands chosen from the menu, and its validation, see the clicked object.
        popUpContextMenu(ContextMenuFactory::objectContextMenuWithClickInfo(click).get(), event.location);
        gContextFoundObj = nullptr;
        gContextParentObj = nullptr;
        endEarly();
        return;
      }
    }
  } else {
    restoreTool = true;
    track = true;
    bool switchToSelection = false;
    if (tool == kToolDoor || tool == kToolWindow || tool == kToolCasedOpening) {
      switchToSelection = HitTest(layers, click, 0, {kObjDoor, kObjWindow});
    } else if (tool == kToolAccessory) {
      switchToSelection = HitTest(layers, click, 0, {kObjAccessory});
    } else if (IsComponentTool(tool)) {
      switchToSelection = HitTest(layers, click, 0, {kObjComponent});
    }
    const bool placesOnWalls = tool == kToolDoor || tool == kToolWindow || tool == kToolCasedOpening ||
                               tool == kToolAccessory || IsComponentTool(tool);
    if (switchToSelection) {
      ResetStandardTool(1);
      DeselectAll(layers);
      SelectObj(click->hitObject, kSelectOn, 1);
      track = false;
    } else if (placesOnWalls || tool == kToolDimensionWall || tool == kToolWallBreak ||
               tool == kToolFourPointFreehandRoof || tool == kToolThreePointFreehandRoof) {
      click->hitMode = HitTest(layers, click, 0, {kObjWall}) ? 1 : 0;
    } else if (tool == kToolGate) {
      click->hitMode = HitTest(layers, click, 0, {kObjFence}) ? 1 : 0;
    } else if (tool == kToolInsertPoint || tool == kToolRemovePoint) {
      SelectVisualLayer(doc->itsCurLayer, kSelectOn, 1);
      HitTest(layers, click, 1, {});
      click->hitMode = 0;
      restoreTool = false;
    } else {
      DeselectAll(layers);
    }
  }

  // The end of the click: readouts, summaries, then the drag when one follows. The bounds of
  // the selection and its elevation summary come from what the click's walk noted when that
  // still holds, else from one walk of the design.
  FloatRect rect{32000, 32000, -32000, -32000};
  Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
  if (walkHolds) GatherNotedSelectionReadouts(layers, walk, click->hitObject, ds, &rect, &box);
  else GatherSelectionReadouts(layers, ds, &rect, &box);
  Objex* object = click->hitObject;
  if (!object) {
    ClearStatusBar();
    SizeReadoutOf(box, ds);
  } else if (object->type == kObjSymbolPart3D && !(GetRootObject(object) &&
                                                    GetRootObject(object)->subtype == kSubCabinet)) {
    const Objex* root = GetRootObject(object);
    SetStatusBar(root && root->name ? root->name : "");
    SizeReadoutOf(box, ds);
  } else if (object->type != kObjWall) {
    SizeReadoutOf(box, ds);
  }
  UpdateSelectionState40Controls(&ds->selectionState40);
  if (gCurToolSet == kPlanDetail) {
    ClearSelectionState(ds, &ds->selectionState);
    SelectedObjectAllLayers(layers, 1, kCmdUpdateSelectionState, CommandArg::Doc(ds));
    UpdateSelectionStateAreas();
  }
  if (click->hitMode && !track) {
    // What the walk noted and the hit object are all that may hold the selection, unless a
    // roof panel's click also selected its slope arrow.
    KnownSelection known;
    const bool knows = walkHolds && object && object->type != kObjRoofPanel &&
                       KnownSelectionFromWalk(layers, walk, object, &known);
    KnownSelectionScope scope(knows ? &known : nullptr);
    UpdateInspectorPropertiesState(true);
  }

  std::free(clickRecord_);
  clickRecord_ = click;
  restoreTool_ = restoreTool;
  if (track) {
    gDataRect = rect;
    gData3DRect = box;
    gClickInfo = *click;
    if (trackMouse(where)) {
      clickPending_ = true;
      return;
    }
  } else {
    gMouseCaptured = 0;
  }
  finishClick();
}

void ZLKDocumentView::finishClick() {
  clickPending_ = false;
  if (restoreTool_ && gCurTool != kToolText) ResetStandardTool(0);
  restoreTool_ = false;
  std::free(clickRecord_);
  clickRecord_ = nullptr;
  update();
}

// ---- The tool drag ----

bool ZLKDocumentView::trackMouse(POINT start) {
  if (!CurDocState()) return false;
  if (gCurTool == kToolKeyEntry) {
    TrackKeyEntry(start.x, start.y);
    storeUndoAfterTracking();
    return false;
  }
  gSkipConstraints = 0;
  toolChosen_ = false;
  sTrackingView = this;
  {
    TrackingStageScope stage;
    BeginTracking(start.x, start.y);
  }
  previousPoint_ = start;
  if (eventSource_->windowClosed()) {
    // The design window closed during the tool's own loop: no end stage, nothing stored.
    gMouseCaptured = 0;
    FinishTracking();
    takeChosenTool();
    return false;
  }
  if (!gMouseCaptured && gCurTool != kToolFourPointFreehandRoof && gCurTool != kToolThreePointFreehandRoof) {
    // The begin stage released the mouse: no event is read.
    endTracking(windowPointFromViewPoint(boundsOrigin()));
    return false;
  }
  drag_ = Drag::kTrack;
  return true;
}

void ZLKDocumentView::keepTracking(POINT where) {
  gPrevTrackModifiers = gTrackModifiers;
  {
    TrackingStageScope stage;
    KeepTracking(where.x, where.y, previousPoint_.x, previousPoint_.y);
  }
  previousPoint_ = where;
  update();
}

void ZLKDocumentView::endTracking(POINT up) {
  {
    TrackingStageScope stage;
    EndTracking(up.x, up.y, previousPoint_.x, previousPoint_.y);
    FinishTracking();
    storeUndoAfterTracking();
  }
  takeChosenTool();
  update();
}

void ZLKDocumentView::toolChosen(uint16_t previous) {
  // While the user's click with a tool is under way (the mouse held, or a loop waiting for the
  // press that ends it), the tool it began with ends it: a loop that takes a tool change ends
  // now, a held drag runs on to its release. A change the tool's own stages make is theirs and
  // takes effect at once.
  ZLKDocumentView* view = sTrackingView;
  if (!view || gCurTool == previous || !view->eventSource_) return;
  if (!view->eventSource_->isWaiting() && (sInTrackingStage || view->drag_ != Drag::kTrack)) return;
  view->chosenTool_ = gCurTool;
  view->toolChosen_ = true;
  gCurTool = previous;
  ModalEvent event;
  event.type = kModalToolChanged;
  event.where = view->eventSource_->mouseLocation();
  view->eventSource_->interruptLoop(event);
}

bool ZLKDocumentView::runAfterToolLoop(QObject* context, std::function<void()> command) {
  ZLKDocumentView* view = sTrackingView;
  if (!view || !view->eventSource_ || !command) return false;
  ModalEvent event;
  event.type = kModalToolChanged;
  event.where = view->eventSource_->mouseLocation();
  // A loop that takes it ends now; a drag the mouse still holds ends with its release (one
  // whose release was lost ends at the next press: the command does not wait for that).
  const bool loopEnds = view->eventSource_->interruptLoop(event);
  if (!loopEnds && !(view->drag_ == Drag::kTrack && (QGuiApplication::mouseButtons() & view->dragButton_)))
    return false;
  RunAfterToolDrag(context, std::move(command), loopEnds ? 0 : 10);
  return true;
}

void ZLKDocumentView::takeChosenTool() {
  if (sTrackingView == this) sTrackingView = nullptr;
  if (!toolChosen_) return;
  toolChosen_ = false;
  gCurTool = chosenTool_;
  // The tool chosen stays in force: the click's end does not reset it.
  restoreTool_ = false;
}

void ZLKDocumentView::storeUndoAfterTracking() {
  const uint16_t tool = gCurTool;
  if (tool == kToolText) {
    TextEntryController::newTextEntrySheetForParent(window());
    return;
  }
  const char* name = UndoNameForTool(tool);
  if (!name || !ToolStoresUndo(tool, gClickInfo.hitMode, gFilletChamferUndo)) return;
  // A click the tool refused (no wall where an opening goes, too short a segment) or a drag
  // back to where it began leaves the design as the last step left it: no step to undo. What
  // the selection, the view or a tool default did meanwhile is no step of its own, except
  // for the tools whose click selects what it hits.
  const bool selects = tool == kToolSelection || tool == kToolRotate || tool == kToolResize;
  const std::string action(name);
  StoreUndoIfChanged(action == " " ? action : LocalizedString(action),
                     selects ? UndoCompare::kDesignAndSelection : UndoCompare::kDesign);
}

void ZLKDocumentView::mouseMoveEvent(QMouseEvent* event) {
  sTrackModifiers = TrackModifiersOf(event->modifiers());
  lastMouse_ = viewPointFromWidget(event->position());
  if (!(event->buttons() & dragButton_)) return;
  switch (drag_) {
    case Drag::kTrack:
      keepTracking(windowPointFromViewPoint(lastMouse_));
      break;
    case Drag::kPan:
      panTo(event->globalPosition());
      break;
    case Drag::kNone:
      break;
  }
}

void ZLKDocumentView::mouseReleaseEvent(QMouseEvent* event) {
  sTrackModifiers = TrackModifiersOf(event->modifiers());
  if (event->button() != dragButton_) return;
  endDrag(windowPointFromViewPoint(viewPointFromWidget(event->position())));
}

// ---- Panning and the zoom drag ----

void ZLKDocumentView::panTo(const QPointF& global) {
  const NSPoint now = viewPointFromWidget(mapFromGlobal(global));
  const POINT point = windowPointFromViewPoint(now);
  const int32_t dx = point.x - previousPoint_.x, dy = point.y - previousPoint_.y;
  if (dx || dy) {
    NSRect shown = visibleRect();
    shown.origin.x -= dx;
    shown.origin.y -= dy;
    scrollRectToVisible(shown);
  }
  // The same mouse position seen after the scroll.
  previousPoint_ = windowPointFromViewPoint(viewPointFromWidget(mapFromGlobal(global)));
}

void RealTimeZoom() {
  if (sZoomView) sZoomView->realTimeZoom();
}

void ZLKDocumentView::realTimeZoom() {
  if (!CurDocState() || !hasMouseEvent_) return;
  // The pressed point is the zoom centre, scrolled to the middle of the visible part.
  const NSPoint pressed = mouseEvent_.location;
  zoomCentre_ = {UnzoomF(pressed.x), UnzoomF(pressed.y)};
  NSPoint origin = boundsOrigin();
  previousGlobal_ = mapToGlobal(QPointF(pressed.x - origin.x, pressed.y - origin.y));
  const NSRect shown = visibleRect();
  scrollVisibleOriginTo({pressed.x - shown.size.width / 2, pressed.y - shown.size.height / 2});
  for (;;) {
    ModalEvent e;
    if (!NextModalEvent(kModalMouseDraggedMask | kModalMouseUpMask, &e) || e.type == kModalMouseUp) break;
    // The view scrolls as it zooms: the travel is measured on the screen.
    origin = boundsOrigin();
    zoomTo(mapToGlobal(QPointF(e.where.x - origin.x, e.where.y - origin.y)));
  }
}

void ZLKDocumentView::zoomTo(const QPointF& global) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const int32_t previousY = static_cast<int32_t>(previousGlobal_.y());
  const int32_t newY = static_cast<int32_t>(global.y());
  if (newY == previousY && static_cast<int32_t>(global.x()) == static_cast<int32_t>(previousGlobal_.x())) return;
  previousGlobal_ = global;
  const float least = GetMinZoom();
  const float zoom = std::fmin(3.0f, std::fmax(least, PlanZoom(ds) + (previousY - newY) / 150.0f));
  const bool atLeastAllowed = gPerspective && gViewFactor != 1.0f;
  if (zoom > least || (zoom == least && atLeastAllowed)) applyZoomLoopFactor(zoom);
}

void ZLKDocumentView::applyZoomLoopFactor(float zoom) {
  DocState* ds = CurDocState();
  if (!ds) return;
  PlanZoom(ds) = zoom;
  const int32_t view = GetCurrentView();
  if (view == kCmdViewTop) TopViewZoom(ds) = zoom;
  else if (view == kCmdViewOther || view == kCmdViewPerspectiveNear) OtherViewZoom(ds) = zoom;
  if (gViewFactor == 1.0f) Win32EventHandler::sharedEventHandler()->updateViewingHeight();
  fittedZoom_ = 0;
  fitFrameToPlan();
  const NSRect shown = visibleRect();
  scrollVisibleOriginTo({ZoomF(zoomCentre_.x) - shown.size.width / 2, ZoomF(zoomCentre_.y) - shown.size.height / 2});
  update();
}

bool ZLKDocumentView::zoomWithWheel(double steps, NSPoint cursor) {
  ZLKDocumentModel* model = documentModel();
  if (!model || !model->itsDocState || steps == 0) return false;
  gCurDocument = model;
  DocState* ds = model->itsDocState;
  const NSRect shown = visibleRect();
  const NSPoint unzoomed{UnzoomF(cursor.x), UnzoomF(cursor.y)};
  const NSPoint offset{cursor.x - shown.origin.x, cursor.y - shown.origin.y};
  double zoom = PlanZoom(ds) + steps / 40.0;
  zoom = std::fmin(3.01, std::fmax(static_cast<double>(GetMinZoom()), zoom));
  PlanZoom(ds) = static_cast<float>(zoom);
  TopViewZoom(ds) = static_cast<float>(zoom);
  fittedZoom_ = 0;
  fitFrameToPlan();
  scrollVisibleOriginTo({ZoomF(unzoomed.x) - offset.x, ZoomF(unzoomed.y) - offset.y});
  update();
  return true;
}

// ---- Keys ----

void ZLKDocumentView::keyPressEvent(QKeyEvent* event) {
  sTrackModifiers = TrackModifiersOf(event->modifiers());
  if (drag_ == Drag::kTrack) {
    // Keys and modifier changes redraw the tool at the unchanged mouse position; Tab and
    // Shift-Tab pick the next snap tool on the way.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    gTrackEventKeyCode = tab ? kKeyCodeTab : 0;
    keepTracking(windowPointFromViewPoint(lastMouse_));
    gTrackEventKeyCode = 0;
    return;
  }
  if (drag_ != Drag::kNone) return;
  if (ZLKDocumentModel* model = documentModel()) gCurDocument = model;
  if (event->key() == Qt::Key_Alt) flagsChanged(event->modifiers() | Qt::AltModifier);
  switch (event->key()) {
    case Qt::Key_Backspace: deleteBackward(); break;
    case Qt::Key_Delete: deleteForward(); break;
    case Qt::Key_Tab: insertTab(); break;
    case Qt::Key_Backtab: insertBacktab(); break;
    case Qt::Key_Up: moveUp(); break;
    case Qt::Key_Down: moveDown(); break;
    case Qt::Key_Left: moveLeft(); break;
    case Qt::Key_Right: moveRight(); break;
    default: QWidget::keyPressEvent(event); break;
  }
}

void ZLKDocumentView::keyReleaseEvent(QKeyEvent* event) {
  sTrackModifiers = TrackModifiersOf(event->modifiers());
  const int key = event->key();
  const bool modifier = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta;
  if (drag_ == Drag::kTrack && modifier && !event->isAutoRepeat()) {
    keepTracking(windowPointFromViewPoint(lastMouse_));
    return;
  }
  if (drag_ == Drag::kNone && key == Qt::Key_Alt && !event->isAutoRepeat())
    flagsChanged(event->modifiers() & ~Qt::AltModifier);
  QWidget::keyReleaseEvent(event);
}

bool ZLKDocumentView::focusNextPrevChild(bool) { return false; }

bool ZLKDocumentView::shouldProceedWithEditEvent() { return ShouldProceedWithEditEvent(); }

void ZLKDocumentView::deleteBackward() {
  if (!gCurDocument || !gCurDocument->itsLayers || !gCurDocument->itsDocState) return;
  if (!shouldProceedWithEditEvent()) return;
  Win32EventHandler::sharedEventHandler()->deleteObjects();
  SetStatusBar("");
}

void ZLKDocumentView::deleteForward() { deleteBackward(); }

void ZLKDocumentView::insertTab() { insertBacktab(); }

void ZLKDocumentView::insertBacktab() { SnapToolChange(); }

void ZLKDocumentView::nudge(int32_t command, const char* undoName) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsLayers || !doc->itsDocState) return;
  // A refused nudge changed nothing: no undo step.
  if (!SelectedObjectAllLayers(doc->itsLayers, 1, command, CommandArg::Doc(doc->itsDocState))) return;
  Refresh();
  StoreUndo(LocalizedString(undoName));
}

void ZLKDocumentView::moveUp() { nudge(kCmdNudgeUp, "Nudge Up"); }
void ZLKDocumentView::moveDown() { nudge(kCmdNudgeDown, "Nudge Down"); }
void ZLKDocumentView::moveLeft() { nudge(kCmdNudgeLeft, "Nudge Left"); }
void ZLKDocumentView::moveRight() { nudge(kCmdNudgeRight, "Nudge Right"); }
