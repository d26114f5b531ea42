// The 3D window: a floating panel with the OpenGL view, its toolbar, the cut-away control
// (direction image, up and down buttons, slider), the status line and the progress
// indicator. One process-wide controller; the renderers reach its view, status and progress
// through it.
#pragma once
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <cstdint>

class QAction;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QPrinter;
class QLabel;
class QMainWindow;
class QOpenGLContext;
class QProgressBar;
class QSlider;
class QToolBar;
class QToolButton;
class QWidget;
class LiveViewOGLView;
class BaseImageView;
class UndoNameStack;

// Toolbar item identifiers of the 3D window.
inline constexpr const char* LVTBAnimWalkItemIdentifier = "LiveView Toolbar Animated Walk Item";
inline constexpr const char* LVTBAnimFlyItemIdentifier = "LiveView Toolbar Animated Fly Item";
inline constexpr const char* LVTBRenderFinalItemIdentifier = "LiveView Toolbar Render Final Item";
inline constexpr const char* LVTBRenderShadowsItemIdentifier = "LiveView Toolbar Render Shadows Item";
inline constexpr const char* LVTBLightingItemIdentifier = "LiveView Toolbar Lighting Options Item";

class LiveViewController : public QObject {
  Q_OBJECT
 public:
  // The one controller, made on first use.
  static LiveViewController* sharedLiveViewController();
  // Whether the controller was made (callers that only tidy up do not make it).
  static bool exists();
  // Orders out and closes the 3D window when there is one (quitting, no design left).
  static void closeSharedWindow();
  // Frees the controller and its window (the application is going).
  static void releaseSharedLiveViewController();
  ~LiveViewController() override;

  // The 3D window.
  QMainWindow* window() const { return liveViewPanel_; }
  bool isVisible() const;
  void showWindow();
  void makeKeyAndOrderFront();
  void orderOut();
  void close();

  LiveViewOGLView* liveViewOGLView() const { return liveViewOGLView_; }
  QOpenGLContext* liveViewOGLContext() const;
  // The view's bounds, in view points.
  QRect liveViewOGLViewBounds() const;
  // Undo in the 3D window acts on the design of the current document.
  UndoNameStack* windowWillReturnUndoManager() const;
  // Chooses the design window's Edit > Undo (or Redo) when it is enabled.
  static void chooseDesignEditItem(bool redo);
  // A resize of the window: the next draw renders in full, with no Escape polling.
  QSize windowWillResize(QSize proposed);
  // The window's frame goes to the user defaults under "LiveViewPanel".
  void windowWillClose();

  // Toolbar.
  void setupToolbar();
  static QStringList toolbarAllowedItemIdentifiers();
  static QStringList toolbarDefaultItemIdentifiers();
  // A new item for the identifier (the caller owns it); null for an unknown identifier.
  QAction* toolbarItemForItemIdentifier(const QString& identifier, QObject* parent);
  // The same asked for by a toolbar: the new item belongs to it (null for an unknown
  // identifier or no toolbar).
  QAction* toolbar(QToolBar* toolbar, const QString& itemIdentifier, bool willBeInsertedIntoToolbar);
  QToolBar* liveViewToolbar() const { return liveViewToolbar_; }

  // Status and progress.
  void setLVStatusString(const QString& text);
  QString statusString() const;
  int statusDisplayCount() const { return statusDisplayCount_; }
  void initializeAnimatedLVStatus();
  void resetAnimatedLVStatus();
  void initializeLVLightProgressUsingLightCount(int count);
  void updateLVLightProgressWithLightCount(int index);
  void resetLVLightProgress();
  QProgressBar* progressIndicator() const { return liveViewProgressIndicator_; }

  // Rendering.
  void renderFinal();
  void renderShadows();
  void showRenderProperties();
  void showLightProperties();
  void setRenderStyleUsingTBMenu(QWidget* sender);
  void setViewpointUsingTBMenu(QWidget* sender);
  void object3DSelect() {}

  // Navigation.
  void freeWalkThrough();
  void controlledWalkThrough();
  void freeFlyAround();
  void controlledFlyAround();
  void reset3DView();
  // The walk-through eye height and fly-around altitude sheets on the 3D window.
  void setWalkThroughElevation();
  void setFlyAroundAltitude();

  // Cut-away.
  void cutAwaySliderUpButtonChanged();
  void cutAwaySliderDownButtonChanged();
  // A slider step; `mouseDown` when it begins a drag (the slider is then rescaled to the
  // current range first), `mouseUp` when it ends one.
  void cutAwaySliderChanged(bool mouseDown, bool mouseUp);
  void updateCutAwaySliderBounds();
  void updateCutAwayImageAndPosition();
  QSlider* cutAwaySlider() const { return cutAwaySlider_; }
  // The direction picture shown (0..4).
  int cutAwayImageIndex() const { return cutAwayImageIndex_; }

  // The export pop-ups and size fields (export itself is in LiveViewExport).
  QComboBox* imageFormatPopUpButton() const { return imageFormatPopUpButton_; }
  QComboBox* renderQualityPopUpButton() const { return renderQualityPopUpButton_; }
  // The view a printed 3D image is drawn in.
  BaseImageView* printView() const { return printView_; }
  QLineEdit* exportImageWidthText() const { return exportImageWidthText_; }
  QLineEdit* exportImageHeightText() const { return exportImageHeightText_; }
  // Image export: the save panel with the format, quality and size controls; its end writes
  // the image. chooseExportPath, when set, answers the panel instead (tests).
  void displayExport3DSavePanel();
  void imageFormatPopUpButtonChanged();
  void renderQualityPopUpButtonChanged();
  void export3DSavePanelDidEnd(int returnCode, const std::string& path);
  std::function<std::string()> chooseExportPath;
  // Printing: the 3D print settings sheet, then the render at the quality and size, printed
  // a pixel to a point over as many pages as it takes, or scaled to one page with fitToPage
  // (printer, when given, instead of the print dialog).
  void showPrint3DPropertiesPanel();
  bool print3DLiveViewUsingQuality(int16_t quality, QSize size, QPrinter* printer = nullptr, bool fitToPage = false);
  // The size of the view's frame in pixels.
  QSize liveViewOGLViewPixelSize() const;
  // Renders the scene at the quality and exactly the size for an export or print; the design's
  // render settings are restored after. False when interrupted (Escape) or not rendered.
  bool prepareLiveViewUsingQuality(int16_t quality, QSize size);
  // The pixels of the view (of the last export or print render while it is held): opaque RGB,
  // top row first; a null image when there are none.
  QImage liveViewOGLViewBitmapImageRep() const;
  // Name filters the save panel offers for a format tag (empty for an unknown tag).
  static QStringList exportNameFilters(int formatTag);

  // The cut-away direction pictures, drawn at run time ("CutAwaySliderState1".."5").
  static QImage cutAwaySliderStateImage(int direction);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  LiveViewController();
  void windowDidLoad();
  // The common ending of the navigation actions.
  void navigationChanged();
  void setNavigation(int16_t mode, uint8_t controlled);
  void placeCameraForNavigation();
  // The navigation loops reach this window, its view and the plan view through gNavigationHost.
  void installNavigationHost();
  void restorePanelFrame();

  QMainWindow* liveViewPanel_ = nullptr;
  LiveViewOGLView* liveViewOGLView_ = nullptr;
  QToolBar* liveViewToolbar_ = nullptr;
  QLabel* cutAwaySliderImage_ = nullptr;
  QToolButton* cutAwayUpButton_ = nullptr;
  QToolButton* cutAwayDownButton_ = nullptr;
  QSlider* cutAwaySlider_ = nullptr;
  QLabel* liveViewStatusText_ = nullptr;
  QProgressBar* liveViewProgressIndicator_ = nullptr;
  QComboBox* imageFormatPopUpButton_ = nullptr;
  QComboBox* renderQualityPopUpButton_ = nullptr;
  QWidget* export3DView_ = nullptr;
  BaseImageView* printView_ = nullptr;
  QLineEdit* exportImageWidthText_ = nullptr;
  QLineEdit* exportImageHeightText_ = nullptr;
  QFileDialog* exportSavePanel_ = nullptr;
  QImage sliderImages_[5];
  int cutAwayImageIndex_ = 0;
  // The cut-away range the slider was last given; the slider itself holds whole numbers.
  float cutAwaySliderRange_ = 0;
  int statusDisplayCount_ = 0;
  int32_t currentMouseEvent_ = 0;  // the slider event being handled (kLiveViewLeftMouse*)
  bool progressHiddenWhenStopped_ = true;
};
