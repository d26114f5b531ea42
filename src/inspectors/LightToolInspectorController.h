// The pane of the fixture light tool: the kind of fixture it places (a style table of three
// pictures) and the light defaults every new light takes.
#pragma once
#include <QIcon>
#include <QList>

#include "inspectors/LightPane.h"

class QListWidget;

class LightToolInspectorController : public LightPane {
 public:
  static LightToolInspectorController* sharedInspectorController();
  void updateToolProperties() override;
  void tableViewSelectionDidChange();

  // The pictures of the rows: "LightStyle1", "LightStyle10", "LightStyle11".
  QList<QIcon> lightStyleImageArray;
  QListWidget* lightStyleTableView;

 private:
  LightToolInspectorController();
  void settingChanged(Setting setting, bool release) override;
  void selectRowOfKind(int32_t kind);
};

// The fixture kind of a style row, and the row of a kind (0 for any kind but 150 and 151).
int32_t LightKindOfRow(int row);
int LightRowOfKind(int32_t kind);
// A picture the program draws for itself, by name (null icon for an unknown name).
QIcon LightStyleImage(const char* name);
