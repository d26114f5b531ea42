// Building the pop-up menus: the plan and object menus of the plan view, the floor and
// visible-plan menus of the toolbar, the 3D window's menus, the elevation slider's menu
// and the content palette's action menu.
#include "app/ContextMenuFactory.h"

#include "app/MenuText.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <initializer_list>

#include "app/PlanViewActions.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "platform/Strings.h"

Objex* gContextFoundObj = nullptr;
Objex* gContextParentObj = nullptr;

namespace {

constexpr int32_t kNoTag = -1;
// Content category of the colour swatches.
constexpr int16_t kCategoryColors = 1;

struct Item {
  const char* title;  // null: a separator
  const char* action;
  int32_t tag;
};

constexpr Item kSeparator{nullptr, nullptr, kNoTag};

QAction* AddItem(QMenu* menu, const char* title, const char* action, int32_t tag) {
  QAction* item = menu->addAction(LocalizedMenuText(title));
  item->setObjectName(QString::fromLatin1(action));
  if (tag != kNoTag) item->setData(tag);
  return item;
}

// A menu of the items in order; separators only ever stand between items.
std::unique_ptr<QMenu> MakeMenu(std::initializer_list<Item> items) {
  auto menu = std::make_unique<QMenu>();
  bool separatorDue = false;
  for (const Item& item : items) {
    if (!item.title) {
      separatorDue = !menu->actions().isEmpty();
      continue;
    }
    if (separatorDue) menu->addSeparator();
    separatorDue = false;
    AddItem(menu.get(), item.title, item.action, item.tag);
  }
  return menu;
}

// The leading empty item of a toolbar pop-up: no title, no action, no tag.
void AddLeadingEmptyItem(QMenu* menu) { menu->addAction(QString()); }

void AddVisiblePlanItems(QMenu* menu) {
  static const char* const kPlans[] = {"Foundation Plan", "Floor Plan",    "Electrical Plan",
                                       "Plumbing Plan",   "Roofing Plan",  "HVAC Plan",
                                       "Deck Plan",       "Landscape Plan", "Detail Plan"};
  for (int i = 0; i < 9; ++i) AddItem(menu, kPlans[i], "setVisiblePlans:", kTagShowFoundationPlan + i);
}

void AddRenderStyleItems(QMenu* menu) {
  static const char* const kStyles[] = {"Wireframe", "Textured Wireframe", "ClearView", "Solid Render"};
  for (int i = 0; i < 4; ++i) AddItem(menu, kStyles[i], "setRenderStyle:", kCmdRenderWireframe + i);
}

void AddViewpointItems(QMenu* menu) {
  AddItem(menu, "View from Lot's Top Edge", "setViewpoint:", kViewpointLotTopEdge);
  AddItem(menu, "View from Lot's Bottom Edge", "setViewpoint:", kViewpointLotBottomEdge);
  AddItem(menu, "View from Lot's Left Edge", "setViewpoint:", kViewpointLotLeftEdge);
  AddItem(menu, "View from Lot's Right Edge", "setViewpoint:", kViewpointLotRightEdge);
}

constexpr Item kSetElevation{"Set Elevation...", "setObjectElevation:", kTagSetObjectElevation};
constexpr Item kFloatAboveTopo{"Float Above Topography", "floatObjectAboveTopo:", kCmdFloatAboveTopography};
constexpr Item kCalculateArea{"Calculate Area", "calculateAndDisplayArea:", kTagCalculateAndDisplayArea};

// The content actions image: a gear of eight teeth.
QIcon ContentActionsImage() {
  QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath gear;
  const QPointF centre(10, 10);
  for (int i = 0; i < 16; ++i) {
    const double a = i * M_PI / 8;
    const double r = (i % 2 == 0) ? 8.5 : 6.5;
    const QPointF q(centre.x() + r * std::cos(a - M_PI / 16), centre.y() + r * std::sin(a - M_PI / 16));
    const QPointF e(centre.x() + r * std::cos(a + M_PI / 16), centre.y() + r * std::sin(a + M_PI / 16));
    if (i == 0) gear.moveTo(q);
    else gear.lineTo(q);
    gear.lineTo(e);
  }
  gear.closeSubpath();
  gear.addEllipse(centre, 2.5, 2.5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 70, 70));
  p.drawPath(gear);
  p.end();
  return QIcon(QPixmap::fromImage(image));
}

bool IsSymbolEditorOrSectionDetail(Objex* object) {
  return IsObjectSymbolEditorObject(object) || IsObjectSectionDetailObject(object);
}

}  // namespace

std::unique_ptr<QMenu> ContextMenuFactory::baseContextMenu() {
  return MakeMenu({{"Show Automatic Dimensions", "toggleDimensions:", kTagShowAutomaticDimensions},
                   kSeparator,
                   {"View All Floors", "setFloorView:", kTagViewAllFloors},
                   {"View Working Floor Only", "setFloorView:", kTagViewWorkingFloorOnly},
                   kSeparator,
                   {"Grid Properties...", "setGridProperties:", kTagSetGridProperties},
                   {"Show Grid", "toggleGrid:", kTagShowGrid},
                   {"Snap to Grid", "snapToGrid:", kTagSnapToGrid},
                   kSeparator,
                   {"Paste", "paste:", kTagPasteObjects}});
}

std::unique_ptr<QMenu> ContextMenuFactory::objectContextMenuWithClickInfo(const ClickInfo* click) {
  Objex* object = click ? click->hitObject : nullptr;
  if (!object) return nullptr;
  gContextFoundObj = object;
  gContextParentObj = GetRootObject(object);

  std::unique_ptr<QMenu> menu;
  switch (object->type) {
    case kObjWall:
      menu = object->subtype == kSubExteriorWall
                 ? MakeMenu({{"Convert Wall to Interior", "convertWallType:", kCmdConvertWallToInterior}})
                 : MakeMenu({{"Convert Wall to Exterior", "convertWallType:", kCmdConvertWallToExterior}});
      break;
    case kObjFloor: {
      const Objex* root = gContextParentObj;
      if (root && root->type == kObjGroup && root->groupMarker) return nullptr;
      menu = MakeMenu({kSetElevation, kSeparator, kCalculateArea});
      break;
    }
    case kObjPropertyLine: case kObjCutout: case kObjDeck:
      menu = MakeMenu({kCalculateArea});
      break;
    case kObjPath: case kObjFill: case kObjGroundFill:
      menu = MakeMenu({kSetElevation, kFloatAboveTopo, kSeparator, kCalculateArea});
      break;
    case kObjFence:
      menu = MakeMenu({kSetElevation, kFloatAboveTopo});
      break;
    case kObjPlant:
      menu = MakeMenu({{"Locate Plant", "locatePlant:", kNoTag},
                       {"Plant Details...", "showPlantDetails:", kNoTag},
                       kSeparator, kSetElevation, kFloatAboveTopo});
      break;
    case kObjDetail:
      if (IsSymbolEditorOrSectionDetail(object) || object->subtype < 1 || object->subtype > 7) return nullptr;
      menu = MakeMenu({{"Bring to Front", "alterObjectPosition:", kCmdBringToFront},
                       {"Send to Back", "alterObjectPosition:", kCmdSendToBack},
                       kSeparator, kCalculateArea});
      break;
    case kObjStaircase:
      menu = MakeMenu({{"Reverse Staircase Direction", "reverseStairDirection:", kCmdReverseStaircaseDirection}});
      break;
    case kObjDynamicText: case kObjText:
      if (IsSymbolEditorOrSectionDetail(object)) return nullptr;
      menu = MakeMenu({{"Edit Text...", "editTextObject:", kTagEditTextObject}});
      break;
    default:
      return nullptr;
  }
  if (menu->actions().isEmpty()) return nullptr;
  return menu;
}

std::unique_ptr<QMenu> ContextMenuFactory::toolbarFloorMenu() {
  return MakeMenu({{"First Floor", "setFloorView:", kCmdFirstFloor},
                   {"Second Floor", "setFloorView:", kCmdSecondFloor},
                   {"Third Floor", "setFloorView:", kCmdThirdFloor}});
}

std::unique_ptr<QMenu> ContextMenuFactory::visiblePlanMenu() {
  auto menu = std::make_unique<QMenu>();
  AddLeadingEmptyItem(menu.get());
  AddVisiblePlanItems(menu.get());
  return menu;
}

std::unique_ptr<QMenu> ContextMenuFactory::toolbarVisiblePlanMenu() {
  auto menu = std::make_unique<QMenu>();
  AddVisiblePlanItems(menu.get());
  return menu;
}

std::unique_ptr<QMenu> ContextMenuFactory::liveViewRenderStyleMenu() {
  auto menu = std::make_unique<QMenu>();
  AddLeadingEmptyItem(menu.get());
  AddRenderStyleItems(menu.get());
  return menu;
}

std::unique_ptr<QMenu> ContextMenuFactory::toolbarLiveViewRenderStyleMenu() {
  auto menu = std::make_unique<QMenu>();
  AddRenderStyleItems(menu.get());
  return menu;
}

std::unique_ptr<QMenu> ContextMenuFactory::liveViewViewpointMenu() {
  auto menu = std::make_unique<QMenu>();
  AddLeadingEmptyItem(menu.get());
  AddViewpointItems(menu.get());
  return menu;
}

std::unique_ptr<QMenu> ContextMenuFactory::toolbarLiveViewViewpointMenu() {
  auto menu = std::make_unique<QMenu>();
  AddViewpointItems(menu.get());
  return menu;
}

std::unique_ptr<QMenu> ContextMenuFactory::elevationSliderContextMenu() {
  const DocState* ds = gCurDocument ? gCurDocument->itsDocState : nullptr;
  if (!ds) return nullptr;
  if (ds->selectionState40.ssStateFresh)
    return MakeMenu({{"Set Working Elevation...", "setWorkingElevation:", kTagSetWorkingElevation}});
  return MakeMenu({{"Set Elevation...", "setObjectElevation:", kTagSetObjectElevation},
                   {"Float Above Topography", "floatObjectAboveTopo:", kCmdFloatAboveTopography}});
}

std::unique_ptr<QMenu> ContextMenuFactory::contentActionMenuUsingTarget(QObject*, int16_t categoryType,
                                                                        int16_t) {
  auto menu = std::make_unique<QMenu>();
  QAction* image = menu->addAction(QString());
  image->setIcon(ContentActionsImage());
  // Only the colour swatches have an action of their own.
  if (categoryType == kCategoryColors) AddItem(menu.get(), "Change Color...", "changeSymItemColor:", kCmdChangeColor);
  return menu;
}

bool ContextMenuFactory::tagOfItem(const QAction* item, int32_t* tag) {
  if (!item || !item->data().isValid()) return false;
  bool ok = false;
  const int value = item->data().toInt(&ok);
  if (ok && tag) *tag = value;
  return ok;
}
