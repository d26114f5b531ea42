// The plan view of a design window: draws its document's plan through the plan drawing
// at the design's zoom, turns clicks, drags, the wheel and keys into selections, tool drags,
// pans and zooms, places the content palette's entries dropped or Option-clicked on it, and
// offers the drawing services the core reaches it for.
#pragma once
#include <QEventLoop>

#include <deque>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/Types.h"
#include "plandraw/Base2DView.h"

class QAction;
class QMenu;
class QMimeData;
class PlanViewEventSource;
class ZLKDocumentModel;
class ZLKDocumentScrollView;
class ZLKDocumentView;
class ZLKDynamicDrawEngine;
struct ClickInfo;
struct SymEntryInfo;

// The view's drawing: the plan of its window's design, with that design's trace image.
class ZLKPlanDrawing : public Base2DView {
 public:
  explicit ZLKPlanDrawing(ZLKDocumentView* owner) : owner_(owner) {}

 protected:
  const DrawImageData* traceImage() const override;

 private:
  ZLKDocumentView* owner_;
  mutable QImage traceCopy_;
  mutable qint64 traceKey_ = 0;
  mutable DrawImageData traceData_;
};

// Modifier bits of a plan mouse event. Command is Ctrl and Option is Alt; a Control-click
// arrives as a right-button press, so kEventControl is never set by the view itself.
enum : uint32_t {
  kEventShift = 0x20000, kEventControl = 0x40000, kEventOption = 0x80000, kEventCommand = 0x100000
};

// The mouse-down being handled, as the click road and the tools read it.
struct PlanMouseEvent {
  NSPoint location{};  // view coordinates
  bool rightButton = false;
  int clickCount = 1;
  uint32_t modifierFlags = 0;  // kEvent... bits
};

// The zoom tool's drag in the plan view whose mouse-down is being handled: 150 pixels up
// add 1 to the zoom, about the pressed point, until the button is released.
void RealTimeZoom();

class ZLKDocumentView : public QWidget {
  Q_OBJECT
 public:
  explicit ZLKDocumentView(QWidget* parent = nullptr);
  ~ZLKDocumentView() override;
  QSize sizeHint() const override { return {800, 600}; }

  // The model of the design this view's window shows; null when none.
  ZLKDocumentModel* documentModel() const;
  // The document's trace image (null image when none).
  QImage traceImage() const;
  ZLKPlanDrawing& planDrawing() { return drawing_; }
  ZLKDynamicDrawEngine& dynamicDrawEngine() { return drawing_.dynamicDrawEngine(); }
  // View coordinate at the widget's top-left: the model origin sits in the middle.
  NSPoint boundsOrigin() const;
  // The part of the view that shows in its scroll view, in view coordinates.
  NSRect visibleRect() const;
  // The view coordinates of a widget position, and the window point of a view point
  // (truncated toward zero).
  NSPoint viewPointFromWidget(const QPointF& position) const;
  static POINT windowPointFromViewPoint(NSPoint point);

  // Sizes the view to the plan canvas at the current zoom (the plan rectangle projected,
  // plus a margin of 100 plan units zoomed). The model point in the middle of the visible
  // part stays there; the first time, the model origin is centred.
  void fitFrameToPlan();
  // Refits the frame when the zoom or plan changed, then asks for a redraw.
  void refreshVisibleView();
  // Scrolls the least that shows the rect (view coordinates).
  void scrollRectToVisible(const NSRect& rect);

  // The mouse-down being handled; null outside one.
  const PlanMouseEvent* mouseEvent() const { return hasMouseEvent_ ? &mouseEvent_ : nullptr; }
  // The road of one mouse-down: pan, zoom or the click road.
  void mouseDown(const PlanMouseEvent& event);
  // A right click first goes back to the selection tool, then takes the road of mouseDown.
  void rightMouseDown(const PlanMouseEvent& event);
  // The click road: hit test by tool group, selection, double-click actions, then a tool
  // drag when one follows. The drag goes on with the view's mouse events.
  void doClick(POINT where, const PlanMouseEvent& event);
  // Starts the drag of the current tool at the view point: the begin stage, and the keep and
  // end stages as the mouse moves and is released. False when the drag ended at once.
  bool trackMouse(POINT start);
  bool isTracking() const { return drag_ != Drag::kNone; }
  // The user chose another tool (a palette cell, a menu command, a key) in place of
  // `previous`. While a tool's click in a plan view is under way, `previous` stays in force
  // until that click is done, so what it makes is kept under its undo step, bearing that
  // tool's name: a loop waiting for the press that ends what it makes ends it as it stands, a
  // drag the mouse holds ends with its release. The tool chosen is in force from then on, and
  // the next press belongs to it.
  static void toolChosen(uint16_t previous);
  // A menu command chosen while a tool's click in a plan view is under way: a loop waiting for
  // the press that ends what it makes ends it as it stands (as a tool change does), a drag the
  // mouse holds ends with its release, and the command runs once that click is done, so each
  // keeps its own undo step. False, and nothing done, when no click is under way: the caller
  // runs the command itself.
  static bool runAfterToolLoop(QObject* context, std::function<void()> command);
  // The view's queue for the tools' nested modal loops.
  PlanViewEventSource& eventSource() { return *eventSource_; }
  // Scrolls 10 units toward a window point outside the visible part, on each axis.
  void autoScrollToPoint(POINT where);

  // Zoom about a view point that stays under the cursor: the wheel's steps (one notch is
  // 1.0) change the zoom by steps / 40, within the lot's least zoom and 3.01.
  // False (nothing done) without a design.
  bool zoomWithWheel(double steps, NSPoint cursor);

  // The ceiling builder sheet on the view's window, through the command handler.
  void showCeilingBuilder();

  // The photo view plug-in: an image open panel whose end places the chosen image as a photo
  // view (one non-empty path with return code 1) and, whatever was chosen, releases the
  // plug-in's lock on the design and brings the palettes back.
  void launchPhotoView();
  void photoViewAddkitOpenPanelDidEnd(int returnCode, const std::vector<std::string>& paths);
  // Answers the photo view's panel in place of the file chooser (tests): the paths chosen.
  static inline std::function<std::vector<std::string>()> choosePhotoViewImagePaths;

  // The keys.
  void deleteBackward();
  void deleteForward();
  void insertTab();
  void insertBacktab();
  void moveUp();
  void moveDown();
  void moveLeft();
  void moveRight();
  // An object of the current floor, or one of its children, is selected.
  static bool shouldProceedWithEditEvent();

  // Camera-marker snapshot: while it lasts the view redraws a still picture of the plan and
  // the marker over it.
  void initializeDynamicViewPointSystem();
  void resetDynamicViewPointSystem();
  bool drawsViewPointDynamically() const { return drawViewPointDynamically_; }
  // The camera marker under a view point: 0 none, 1 its direction arrow (walk only), 2 its
  // square.
  int ptInViewPoint(NSPoint point) const;

  // Pops up a context menu at a view point: validates its items, shows it and performs the
  // chosen item's command. Null menu: nothing.
  void popUpContextMenu(QMenu* menu, NSPoint location);
  // Shows a menu at a screen position and returns the chosen item (null when none).
  // Unset: QMenu::exec. Tests replace it.
  static std::function<QAction*(QMenu* menu, const QPoint& globalPosition)> contextMenuPresenter;

  // Content drops. A drag of a content palette entry carries the entry's record under
  // Content3DDNDPboardType and, for entries the plan can place (plants, objects, templates,
  // symbols), also declares Content2DDNDPboardType. The entry is placed at the window point
  // and stored as one undo step named after its kind. False refuses the drop: no design, or
  // a plan drag whose entry record is missing or damaged. Data without the plan's drag type
  // (colours and materials, files, text) is taken and ignored: it changes nothing and says
  // why in the status line.
  bool performDragOperation(const QMimeData* data, POINT where);

  // Content auto-click: with the selection tool, Option held and an object, plant or
  // template entry chosen in the content palette, each click places that entry. The run
  // ends when Option is released or the mouse leaves the view, as one undo step.
  bool canEnable2DAutoClickForEvent(const Qt::KeyboardModifiers* modifiers) const;
  // A change of the modifier keys: arms or ends auto-click.
  void flagsChanged(Qt::KeyboardModifiers modifiers);
  void mouseExited();
  // Places the entry at the window point (the road of a click while auto-click is armed).
  void do2DSymTargetClick(POINT where, SymEntryInfo* entry);
  void store2DAutoClickUndoAction();
  bool autoClick2DActive() const { return autoClick2DActive_; }
  // The objects placed in the current run.
  const std::vector<uint32_t>& autoClick2DEntryIDs() const { return autoClick2DEntryIDs_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  enum class Drag { kNone, kTrack, kPan };

  ZLKDocumentScrollView* scrollView() const;
  PlanMouseEvent eventFromQt(const QMouseEvent* event, int clickCount) const;
  void handlePress(const QMouseEvent* event, int clickCount);
  // The parts of the click after its drag: restoring the tool, freeing the record, the
  // redraw, and the end of the mouse-down.
  void finishClick();
  // clicked: the mouse-down went through the click road.
  void endMouseDown(bool clicked);
  // Runs the camera-marker drag of the part hit (1 turns, 2 moves the camera).
  void dragCameraMarker(int part, bool rightButton);
  // Ends the pan, zoom or tool drag under way at the window point.
  void endDrag(POINT up);
  void keepTracking(POINT where);
  void endTracking(POINT up);
  void storeUndoAfterTracking();
  void panTo(const QPointF& global);
  void zoomTo(const QPointF& global);
  friend void RealTimeZoom();
  // The zoom drag's loop: the zoom follows the vertical travel until the button goes up.
  void realTimeZoom();
  void applyZoomLoopFactor(float zoom);
  // The visible part's origin put at the view point (constrained by the scroll view).
  void scrollVisibleOriginTo(NSPoint origin);
  void nudge(int32_t command, const char* undoName);
  // Places a content entry at the window point, as a drop (placing the entry's objects in the
  // 3D view at once) or an auto-click (recording what it placed in autoClick2DEntryIDs_).
  // True when something was placed; otherwise the status line says why.
  bool placeContentEntry(POINT where, SymEntryInfo* entry, bool autoClick);
  // Ends an auto-click run: its undo step, and the 3D faces of what it placed.
  void endAutoClickRun();
  // The queue the tools' nested loops and the virtual ruler's drag read while this view
  // handles a mouse-down.
  std::unique_ptr<PlanViewEventSource> eventSource_;

  ZLKPlanDrawing drawing_{this};
  PlanMouseEvent mouseEvent_{};
  bool hasMouseEvent_ = false;
  Drag drag_ = Drag::kNone;
  Qt::MouseButton dragButton_ = Qt::LeftButton;  // the button whose release ends the drag
  // The click under way while its drag runs.
  ClickInfo* clickRecord_ = nullptr;
  bool restoreTool_ = false;
  bool clickPending_ = false;
  // A tool chosen while this view's tool drag ran, put in force when the drag is done.
  bool toolChosen_ = false;
  uint16_t chosenTool_ = 0;
  // Ends the drag's hold on the tool: a tool chosen during it is put in force.
  void takeChosenTool();
  POINT previousPoint_{};
  NSPoint lastMouse_{};  // last mouse position seen, view coordinates
  QPointF previousGlobal_{};  // zoom drag: the mouse's last screen position
  NSPoint zoomCentre_{};  // unzoomed
  float fittedZoom_ = 0;  // zoom of the last frame fit; 0 before the first
  bool drawViewPointDynamically_ = false;
  QImage dynamicViewPointImage_;
  NSPoint snapshotOrigin_{};
  bool autoClick2DActive_ = false;
  bool trackingTag_ = false;  // the view watches the mouse leaving it (auto-click armed)
  std::vector<uint32_t> autoClick2DEntryIDs_;
};
