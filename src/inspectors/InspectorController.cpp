// The inspector panel: the selection scan, the key tables and the pane host in the dock.
#include "inspectors/InspectorController.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "inspectors/AccessoryInspectorController.h"
#include "inspectors/AirDuctInspectorController.h"
#include "inspectors/BathFixtureInspectorControllers.h"
#include "inspectors/DeckObjectInspectorController.h"
#include "inspectors/DeckStepInspectorController.h"
#include "inspectors/DetailObjectInspectorController.h"
#include "inspectors/DetailTool1InspectorController.h"
#include "inspectors/DetailTool2InspectorController.h"
#include "inspectors/DetailTool3InspectorController.h"
#include "inspectors/EdgingInspectorController.h"
#include "inspectors/ElectricalInspectorControllers.h"
#include "inspectors/DoorInspectorController.h"
#include "inspectors/FenceInspectorController.h"
#include "inspectors/FloodLightInspectorController.h"
#include "inspectors/FloorInspectorController.h"
#include "inspectors/FoundationPierInspectorController.h"
#include "inspectors/LightObjectInspectorController.h"
#include "inspectors/LightToolInspectorController.h"
#include "inspectors/ObjectInspectorController.h"
#include "inspectors/PathwayInspectorController.h"
#include "inspectors/PhotoViewInspectorController.h"
#include "inspectors/RailInspectorController.h"
#include "inspectors/Roof1InspectorController.h"
#include "inspectors/Roof2InspectorController.h"
#include "inspectors/StairInspectorController.h"
#include "inspectors/StiffenerBeamInspectorController.h"
#include "inspectors/TopoInspectorController.h"
#include "inspectors/WallDimInspectorController.h"
#include "inspectors/PlantInspectorController.h"
#include "inspectors/SkylightInspectorController.h"
#include "inspectors/WallObjectInspectorController.h"
#include "inspectors/WallToolInspectorController.h"
#include "inspectors/WindowInspectorController.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/SelectionClick.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionState.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"

uint8_t gToolProperties = 0;
int32_t gWallPropertiesStyle = 0;
Objex* gCurFormwerkObject = nullptr;

namespace {

constexpr char kPanelName[] = "InspectorPanel";
constexpr char kShowInspectorKey[] = "ShowInspectorPanel";

bool InRange(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }
bool IsLightKey(int32_t k) { return InRange(k, 79, 82) || InRange(k, 146, 152); }

// The tool table: the key of a tool's pane and how the pane is filled with no object.
enum class ToolFill { None, Tool, Object, OneArgument };
struct ToolEntry {
  int32_t key;
  ToolFill fill;
};

ToolEntry ToolTable(int16_t tool) {
  const int32_t t = tool;
  if (t == 208) return {138, ToolFill::Object};
  if (t == 7001) return {114, ToolFill::Object};
  if (t == 7002) return {115, ToolFill::Object};
  if (InRange(t, 7050, 7054) || t == 7507) return {12, ToolFill::Tool};
  if (t == 7056) return {16, ToolFill::Object};
  if (t == 7057) return {17, ToolFill::Object};
  if (t == 7058 || t == 7059 || t == 7604 || t == 7605) return {38, ToolFill::Object};
  if (t == 7060 || t == 7061 || t == 7602 || t == 7603) return {45, ToolFill::Object};
  if (t == 7062 || t == 7063 || t == 7606) return {13, ToolFill::Object};
  if (t == 7064) return {157, ToolFill::Object};
  if (t == 7101) return {7101, ToolFill::Tool};
  if (t == 7102 || t == 7104) return {7102, ToolFill::Tool};
  if (t == 7106) return {7106, ToolFill::Tool};
  if (t == 7107) return {7107, ToolFill::OneArgument};
  if (t == 7109) return {7109, ToolFill::Tool};
  if (t == 7110) return {83, ToolFill::Object};
  if (t == 7208) return {95, ToolFill::Object};
  if (t == 7209) return {96, ToolFill::Object};
  if (t == 7210) return {97, ToolFill::Object};
  if (InRange(t, 7300, 7305)) return {14, ToolFill::Object};
  if (InRange(t, 7306, 7308)) return {57, ToolFill::Object};
  if (t == 7310) return {160, ToolFill::Object};
  if (t == 7400) return {117, ToolFill::Object};
  if (t == 7502) return {22, ToolFill::Object};
  if (t == 7504) return {24, ToolFill::Object};
  if (t == 7505) return {25, ToolFill::Object};
  if (t == 7506) return {7506, ToolFill::Tool};
  if (t == 7510 || t == 7515) return {62, ToolFill::None};
  if (t == 7511 || t == 7512) return {30, ToolFill::Object};
  if (t == 7600 || t == 7601) return {51, ToolFill::Tool};
  if (InRange(t, 7700, 7707)) return {t, ToolFill::Tool};
  return {0, ToolFill::None};
}

// A dock that tells the controller when the user closes it.
class InspectorDock : public QDockWidget {
 public:
  using QDockWidget::QDockWidget;

 protected:
  void closeEvent(QCloseEvent* event) override {
    QDockWidget::closeEvent(event);
    if (event->isAccepted()) InspectorController::sharedInspectorController()->windowWillClose();
  }
};

}  // namespace

InspectorHooks& InspectorControllerHooks() {
  static InspectorHooks hooks;
  return hooks;
}

ZLKInspectorView::~ZLKInspectorView() {
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (child->property("inspectorPane").toBool()) {
      child->hide();
      child->setParent(nullptr);
    }
}

InspectorController* InspectorController::sharedInspectorController() {
  static InspectorController* controller = new InspectorController;
  return controller;
}

void InspectorController::updatePropertiesState(bool scanSelection) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsDocState || !doc->itsCurLayer) return;
  DocState* ds = doc->itsDocState;
  gToolProperties = 0;
  gCurFormwerkObject = nullptr;
  // When the road that asks knows which objects may hold the selection (the selection tool's
  // click), only those are looked at; else every object.
  const KnownSelection* known = CurrentKnownSelection();
  if (known && known->firstLayer != doc->itsLayers) known = nullptr;
  ClearSelectionState40(ds, &ds->selectionState40);
  if (known) {
    const CommandArg arg = CommandArg::Doc(ds);
    for (const KnownSelection::Top& top : known->tops)
      if (top.layer && top.layer->visible && IsAnyObjectSelected(top.object))
        TopLevelObject(top.object, kCmdUpdateSelectionState40, arg);
  } else {
    TopLevelObjectAllLayers(doc->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
  }
  UpdateSelectionState40Controls(&ds->selectionState40);

  auto showToolPane = [this] {
    const int32_t key = getToolPropertyType(static_cast<int16_t>(gCurTool));
    QWidget* pane = key ? loadInspectorView(key) : nullptr;
    swapCurrentViewWithInspectorView(pane);
    if (pane) updatePropertiesForObject(nullptr, true);
  };

  if (!scanSelection) {
    showToolPane();
  } else {
    gCurPropertiesObjectCount = 0;
    int32_t key = 0;
    bool stopped = false;
    // An object and its children, as the floor's objects are looked at in turn.
    auto look = [&](Objex* o) {
      if (!updatePropertiesObjectState(o, &key)) {
        stopped = true;
        return;
      }
      if (key == kObjRoofPanel) return;
      for (Objex* c = o->firstChild; c; c = c->next)
        if (!updatePropertiesObjectState(c, &key)) {
          stopped = true;
          return;
        }
    };
    // Objects holding no selected point change nothing here: the known ones of the current
    // floor stand for the whole floor (a hidden floor's selection is not known).
    if (known && doc->itsCurLayer->visible) {
      for (const KnownSelection::Top& top : known->tops) {
        if (stopped) break;
        if (top.layer == doc->itsCurLayer) look(top.object);
      }
    } else {
      for (Objex* o = doc->itsCurLayer->firstObject; o && !stopped; o = o->next) look(o);
    }
    if (gCurPropertiesObjectCount == 0) {
      showToolPane();
    } else if (stopped) {
      // The selection mixes objects that cannot share a pane.
      gCurPropertiesObjectCount = 0;
      swapCurrentViewWithInspectorView(nullptr);
    } else {
      swapCurrentViewWithInspectorView(loadInspectorView(key));
    }
  }
  if (panel_ && !panel_->isHidden()) panel_->raise();
}

bool InspectorController::updatePropertiesObjectState(Objex* object, int32_t* key) {
  if (!object || !key || !IsRootObjectSelected(object)) return true;
  if (!objectHasProperties(object)) {
    *key = 0;
    return false;
  }
  const int32_t objectKey = object->type == kObjComponent ? object->subtype : object->type;
  if (*key == 0) {
    *key = objectKey;
    if (loadInspectorView(objectKey)) updatePropertiesForObject(object, true);
  } else if (!isCommonPropertyTypes(*key, objectKey)) {
    *key = 0;
    return false;
  } else {
    updatePropertiesForObject(object, false);
  }
  if (object->type != kObjWall) ++gCurPropertiesObjectCount;
  return true;
}

bool InspectorController::objectHasProperties(Objex* object) {
  if (!object) return false;
  const int32_t t = object->type;
  switch (t) {
    case 12: case 13: case 14: case 16: case 17: case 21: case 22: case 24: case 25: case 26: case 27:
    case 28: case 30: case 38: case 45: case 48: case 51: case 53: case 57: case 62: case 114: case 115:
    case 117: case 130: case 133: case 144: case 145: case 157: case 160: case 7102: case 7104:
    case 7106: case 7107: case 7506:
      return true;
    case kObjSymbolPart3D: {
      Objex* root = GetRootObject(object);
      return !(root && root->subtype == kSubCabinet);
    }
    case kObjDetail:
      return !IsObjectSymbolEditorObject(object) && !IsObjectSectionDetailObject(object) &&
             object->subtype != kSubSwitchConnector;
    case kObjComponent: {
      const int32_t s = object->subtype;
      return s == 83 || s == 95 || s == 96 || s == 97 || s == 138;
    }
    default:
      return IsLightKey(t);
  }
}

bool InspectorController::isCommonPropertyTypes(int32_t a, int32_t b) {
  if (a == b) return true;
  if ((a == 13 || a == 48) && (b == 13 || b == 48)) return true;
  return IsLightKey(a) && IsLightKey(b);
}

int32_t InspectorController::getToolPropertyType(int16_t tool) {
  gToolProperties = 1;
  return ToolTable(tool).key;
}

InspectorPane* InspectorController::inspectorForKey(int32_t key, bool tool) {
  switch (key) {
    case 12:
      return tool ? static_cast<InspectorPane*>(WallToolInspectorController::sharedInspectorController())
                  : WallObjectInspectorController::sharedInspectorController();
    case 13: case 48: return FloorInspectorController::sharedInspectorController();
    case 14: return Roof1InspectorController::sharedInspectorController();
    case 15: return ObjectInspectorController::sharedInspectorController();
    case 16: return DoorInspectorController::sharedInspectorController();
    case 17: return WindowInspectorController::sharedInspectorController();
    case 22: return PathwayInspectorController::sharedInspectorController();
    case 25: return FenceInspectorController::sharedInspectorController();
    case 29:
      return tool ? static_cast<InspectorPane*>(DetailTool1InspectorController::sharedInspectorController())
                  : DetailObjectInspectorController::sharedInspectorController();
    case 38: return StairInspectorController::sharedInspectorController();
    case 45: return RailInspectorController::sharedInspectorController();
    case 51:
      return tool ? static_cast<InspectorPane*>(DeckToolInspectorController::sharedInspectorController())
                  : DeckObjectInspectorController::sharedInspectorController();
    case 53: return DeckStepInspectorController::sharedInspectorController();
    case 57: return Roof2InspectorController::sharedInspectorController();
    case 114: return StiffenerBeamInspectorController::sharedInspectorController();
    case 115: return FoundationPierInspectorController::sharedInspectorController();
    case 117: return AirDuctInspectorController::sharedInspectorController();
    case 7101: return Recept1InspectorController::sharedInspectorController();
    case 7102: case 7104: return Recept2InspectorController::sharedInspectorController();
    case 7106: return Switch1InspectorController::sharedInspectorController();
    case 7107: return Switch2InspectorController::sharedInspectorController();
    case 95: return BathTubInspectorController::sharedInspectorController();
    case 96: return SpaTubInspectorController::sharedInspectorController();
    case 97: return ShowerInspectorController::sharedInspectorController();
    case 24: return EdgingInspectorController::sharedInspectorController();
    case 138: return WallDimInspectorController::sharedInspectorController();
    case 157: return AccessoryInspectorController::sharedInspectorController();
    case 30: return TopoInspectorController::sharedInspectorController();
    case 79: case 80: case 81: case 82: case 146: case 147: case 148: case 149: case 150: case 151: case 152: case 7109:
      return tool ? static_cast<InspectorPane*>(LightToolInspectorController::sharedInspectorController())
                  : LightObjectInspectorController::sharedInspectorController();
    case 83: return FloodLightInspectorController::sharedInspectorController();
    case 130: return PhotoViewInspectorController::sharedInspectorController();
    case 7506: return GateToolInspectorController::sharedInspectorController();
    case 28: return PlantInspectorController::sharedInspectorController();
    case 160: return SkylightInspectorController::sharedInspectorController();
    default: break;
  }
  if (InRange(key, 7700, 7707)) {
    if (!tool) return DetailObjectInspectorController::sharedInspectorController();
    if (key == 7706) return DetailTool2InspectorController::sharedInspectorController();
    if (key == 7705) return DetailTool3InspectorController::sharedInspectorController();
    return DetailTool1InspectorController::sharedInspectorController();
  }
  return nullptr;
}

QWidget* InspectorController::loadInspectorView(int32_t key) {
  InspectorPane* pane = inspectorForKey(key, gToolProperties == 1);
  return pane ? pane->inspectorView() : nullptr;
}

void InspectorController::updatePropertiesForObject(Objex* object, bool initialize) {
  if (object) {
    const int32_t key = object->type == kObjComponent ? object->subtype : object->type;
    if (!InRange(key, 12, 160)) return;
    if (InspectorPane* pane = inspectorForKey(key, false)) pane->updatePropertiesForObject(object, initialize);
    return;
  }
  const ToolEntry entry = ToolTable(static_cast<int16_t>(gCurTool));
  if (entry.fill == ToolFill::None) return;
  InspectorPane* pane = inspectorForKey(entry.key, true);
  if (!pane) return;
  if (entry.fill == ToolFill::Tool) pane->updateToolProperties();
  else pane->updatePropertiesForObject(nullptr, true);
}

QWidget* InspectorController::currentPane() const {
  if (!parent_) return nullptr;
  for (QWidget* child : parent_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (!child->isHidden()) return child;
  return nullptr;
}

void InspectorController::swapCurrentViewWithInspectorView(QWidget* pane) {
  if (!parent_ || !noProperties_) return;
  QWidget* shown = pane ? pane : noProperties_.data();
  QWidget* first = currentPane();
  if (first && first != pane) {
    first->hide();
    if (first->property("inspectorPane").toBool()) first->setParent(nullptr);
  }
  if (pane) {
    if (pane->parentWidget() != parent_) pane->setParent(parent_);
  } else {
    // The no-properties view fills what the scroll area shows.
    const QSize visible = scroll_ ? scroll_->viewport()->size() : parent_->size();
    noProperties_->resize(visible);
  }
  shown->adjustSize();
  if (!pane) shown->resize(scroll_ ? scroll_->viewport()->size() : shown->size());
  shown->move(0, 0);
  // The host's least size first: the previous pane's would keep it from shrinking.
  parent_->setMinimumSize(shown->size());
  parent_->resize(shown->size());
  shown->show();
  // Once the dock has laid out the pane: a dock opened at its title's height would show only
  // the pane's first row.
  if (pane && panel_ && !panel_->isHidden()) QTimer::singleShot(0, panel_.data(), [this] { fitPanelToPane(); });
}

void InspectorController::fitPanelToPane() {
  if (!panel_ || panel_->isHidden() || !scroll_ || !parent_) return;
  const QWidget* pane = currentPane();
  if (!pane || pane == noProperties_) return;
  // The title bar and the frames round the scroll area's viewport.
  const int wanted = panel_->height() - scroll_->viewport()->height() + pane->height();
  if (panel_->height() >= wanted) return;
  if (panel_->isFloating()) {
    panel_->resize(panel_->width(), wanted);
    return;
  }
  auto* window = qobject_cast<QMainWindow*>(panel_->parentWidget());
  if (!window) return;
  // The room comes from the docks above and below it (the content library), down to their
  // least heights.
  QList<QDockWidget*> docks{panel_.data()};
  QList<int> sizes{wanted};
  int needed = wanted - panel_->height();
  const Qt::DockWidgetArea area = window->dockWidgetArea(panel_);
  for (QDockWidget* other : window->findChildren<QDockWidget*>()) {
    if (other == panel_ || other->isHidden() || other->isFloating() || window->dockWidgetArea(other) != area) continue;
    const int least = std::max(other->minimumHeight(), other->minimumSizeHint().height());
    const int given = std::clamp(other->height() - least, 0, needed);
    docks.append(other);
    sizes.append(other->height() - given);
    needed -= given;
  }
  sizes[0] = wanted - needed;
  window->resizeDocks(docks, sizes, Qt::Vertical);
}

QDockWidget* InspectorController::attachToWindow(QMainWindow* window, bool visible) {
  if (!window) return nullptr;
  auto* dock = new InspectorDock(QString::fromStdString(LocalizedString("Inspector")), window);
  dock->setObjectName(QString::fromLatin1(kPanelName));
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
  auto* scroll = new QScrollArea(dock);
  scroll->setObjectName(QStringLiteral("InspectorScrollView"));
  scroll->setWidgetResizable(false);
  auto* host = new ZLKInspectorView;
  host->setObjectName(QStringLiteral("parentInspectorView"));
  auto* none = new QLabel(QString::fromStdString(LocalizedString("No Properties")), host);
  none->setObjectName(QStringLiteral("noPropertiesView"));
  none->setAlignment(Qt::AlignCenter);
  none->hide();
  scroll->setWidget(host);
  dock->setWidget(scroll);
  dock->setMinimumWidth(260);
  window->addDockWidget(Qt::RightDockWidgetArea, dock);
  panel_ = dock;
  scroll_ = scroll;
  parent_ = host;
  noProperties_ = none;
  dock->setVisible(visible);
  connect(dock, &QDockWidget::visibilityChanged, dock, [this, dock](bool shown) {
    if (shown) QTimer::singleShot(0, dock, [this] { fitPanelToPane(); });
  });
  swapCurrentViewWithInspectorView(nullptr);
  return dock;
}

void InspectorController::showWindow() {
  InspectorHooks& hooks = InspectorControllerHooks();
  if (hooks.setInspectorVisible) hooks.setInspectorVisible(true);
  StandardUserDefaults().setBool(kShowInspectorKey, true);
  if (!panel_) return;
  panel_->show();
  panel_->raise();
}

UndoNameStack* InspectorController::windowWillReturnUndoManager() const {
  return gCurDocument ? gCurDocument->itsUndoManager : nullptr;
}

void InspectorController::windowWillClose() {
  if (panel_) {
    const QRect frame = panel_->frameGeometry();
    char text[64];
    std::snprintf(text, sizeof text, "%d %d %d %d", frame.x(), frame.y(), frame.width(), frame.height());
    StandardUserDefaults().setString(std::string("NSWindow Frame ") + kPanelName, text);
  }
  InspectorHooks& hooks = InspectorControllerHooks();
  if (hooks.setInspectorVisible) hooks.setInspectorVisible(false);
  StandardUserDefaults().setBool(kShowInspectorKey, false);
}

void InspectorController::toggleInspectorPanel() {
  if (panel_ && !panel_->isHidden()) {
    panel_->hide();
    windowWillClose();
  } else {
    showWindow();
  }
}

// Every road that changes the selection, the tool, the floor or the document asks here.
namespace inspectors {
void UpdateInspectorPropertiesState(bool scanSelection) {
  NoteServiceCall("UpdateInspectorPropertiesState", nullptr);
  InspectorController::sharedInspectorController()->updatePropertiesState(scanSelection);
}
}  // namespace inspectors
