// The inspector panel: which pane shows for the selection on the current floor or for the
// current tool, and the panel's place in the design window (a dock holding the pane host
// in a scroll area).
#pragma once
#include <QDockWidget>
#include <QObject>
#include <QScrollArea>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

class QMainWindow;
class InspectorPane;
class UndoNameStack;
struct Objex;

// 1 while the pane shows the current tool's defaults, 0 while it shows selected objects.
extern uint8_t gToolProperties;
// The wall style row the wall panes show; -1 when the selected segments mix styles.
extern int32_t gWallPropertiesStyle;
// The root of the first 3D object shown in the current rebuild, or null.
extern Objex* gCurFormwerkObject;

// What the panes need of the design window and its command handler; the application fills
// it at start-up. Unset entries do nothing.
struct InspectorHooks {
  std::function<void()> smoothSelected;      // the curve tension sheet for the selection
  std::function<void()> unsmoothSelected;    // straightens the selected outlines
  std::function<void()> showCeilingBuilder;  // the plan view's ceiling builder sheet
  std::function<void(bool)> setInspectorVisible;  // the application's inspector-visible flag
  // Long work begins (true) or ends (false): meanwhile keys go to the platform's key watch,
  // as during a render, so that Escape can stop it.
  std::function<void(bool)> watchKeys;
};
InspectorHooks& InspectorControllerHooks();

// The pane host: lays out from its top edge (Qt widgets always do).
class ZLKInspectorView : public QWidget {
 public:
  using QWidget::QWidget;
  // The panes live for the process: they leave with the host rather than die with it.
  ~ZLKInspectorView() override;
};

class InspectorController : public QObject {
 public:
  static InspectorController* sharedInspectorController();

  // Rebuilds the pane; false skips the selection and shows the current tool's pane.
  void updatePropertiesState(bool scanSelection);
  // One step of the selection scan: false stops it.
  bool updatePropertiesObjectState(Objex* object, int32_t* key);
  bool objectHasProperties(Objex* object);
  bool isCommonPropertyTypes(int32_t a, int32_t b);
  // Sets gToolProperties to 1; the key of the tool's pane (0 for none).
  int32_t getToolPropertyType(int16_t tool);
  // The pane of the key, or null.
  QWidget* loadInspectorView(int32_t key);
  // Forwards to the owning inspector (null: the current tool's).
  void updatePropertiesForObject(Objex* object, bool initialize);
  // Puts the pane (null: the no-properties view) into the pane host.
  void swapCurrentViewWithInspectorView(QWidget* pane);

  // The inspector area of a design window: the dock "InspectorPanel" with the pane host
  // in a scroll area, shown as the remembered flag says. The latest window made holds it.
  QDockWidget* attachToWindow(QMainWindow* window, bool visible);
  QDockWidget* panel() const { return panel_; }
  ZLKInspectorView* parentInspectorView() const { return parent_; }
  QWidget* noPropertiesView() const { return noProperties_; }
  // The pane shown now (the no-properties view among them), or null.
  QWidget* currentPane() const;

  // Makes the dock tall enough for the pane it shows, as far as its window has room; a dock
  // that is taller already stays as it is.
  void fitPanelToPane();

  void showWindow();
  void windowWillClose();
  void toggleInspectorPanel();
  // The current document's undo manager (null without a document).
  UndoNameStack* windowWillReturnUndoManager() const;

  // The owning inspector of an object kind or tool key (object form unless tool is set).
  InspectorPane* inspectorForKey(int32_t key, bool tool);

 private:
  InspectorController() = default;
  QPointer<QDockWidget> panel_;
  QPointer<QScrollArea> scroll_;
  QPointer<ZLKInspectorView> parent_;
  QPointer<QWidget> noProperties_;
};

namespace inspectors {
// Every road that changes the selection, the tool, the floor or the document asks here.
void UpdateInspectorPropertiesState(bool scanSelection);
}  // namespace inspectors
