// The pop-up menus of the plan window, its toolbar, the 3D window, the elevation slider and
// the content palette. Every item carries its localized title, the action's name as its
// object name and, for a command of a group, the command id as its data.
#pragma once
#include <QMenu>
#include <cstdint>
#include <memory>

struct ClickInfo;
struct Objex;

// The object under the last context click of the plan view and its root object; set by
// objectContextMenuWithClickInfo and cleared by the plan view when the pop-up returns.
extern Objex* gContextFoundObj;
extern Objex* gContextParentObj;

class ContextMenuFactory {
 public:
  // Each menu is new and belongs to the caller.
  static std::unique_ptr<QMenu> baseContextMenu();
  // The menu of the click record's hit object, or null (no record, no hit object, or a type
  // without a menu). Sets gContextFoundObj and gContextParentObj whenever a hit object exists.
  static std::unique_ptr<QMenu> objectContextMenuWithClickInfo(const ClickInfo* click);
  static std::unique_ptr<QMenu> toolbarFloorMenu();
  static std::unique_ptr<QMenu> visiblePlanMenu();         // with a leading empty item
  static std::unique_ptr<QMenu> toolbarVisiblePlanMenu();  // without it
  static std::unique_ptr<QMenu> liveViewRenderStyleMenu();
  static std::unique_ptr<QMenu> toolbarLiveViewRenderStyleMenu();
  static std::unique_ptr<QMenu> liveViewViewpointMenu();
  static std::unique_ptr<QMenu> toolbarLiveViewViewpointMenu();
  // Null without a current document and its DocState.
  static std::unique_ptr<QMenu> elevationSliderContextMenu();
  // The target and the library type are not used: the image item, then "Change Color..." for
  // colours (1) only.
  static std::unique_ptr<QMenu> contentActionMenuUsingTarget(QObject* target, int16_t categoryType,
                                                             int16_t libraryType);

  // The command id an item carries; false for an item without one.
  static bool tagOfItem(const QAction* item, int32_t* tag);
};
