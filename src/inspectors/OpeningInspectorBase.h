// What the window and door panes share: the style tables whose rows map to opening
// subtypes with their images, and the walk over the selected openings hanging in the walls
// of the current floor.
#pragma once
#include <QIcon>
#include <QList>
#include <QString>
#include <cstdint>

#include "inspectors/InspectorPane.h"

class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
struct DoorWindowData;

// The style-table row the window and door panes show; -1 when the selected openings mix
// styles.
extern int32_t gWindowPropertiesStyle;
extern int32_t gDoorPropertiesStyle;

// Window styles: the subtype a row gives, the row a window shows (-1: none), and the rules
// of the fields.
constexpr int kWindowStyleRows = 20;
int16_t WindowSubtypeOfRow(int32_t row);
int32_t WindowRowOf(int32_t subtype, int32_t verticalDividers, int32_t horizontalDividers);
bool WindowHeightFollowsWidth(int32_t subtype);
// The door row of a subtype: 500..503 give rows 0..3, any other 4 (no row shown).
int32_t DoorRowOf(int32_t subtype);
// The swing-side code a typed swing angle (degrees) gives: 4 or 0.
int16_t DoorSwingSide(float degrees);
// The tables' images, drawn here, with their names ("WindowStyle1" ...; "DoorStyle1",
// "DoorStyle4", "DoorStyle11", "DoorStyle12").
QList<QIcon> WindowStyleImages();
QList<QIcon> DoorStyleImages();
QString WindowStyleImageName(int row);
QString DoorStyleImageName(int row);

// What both opening panes share: the walk over the selected openings of the walls of the
// current floor.
class OpeningInspectorBase : public InspectorPane {
 public:
  // 0 while the pane is filled: the table's selection changes then are not the user's.
  uint8_t checkObjects = 1;

 protected:
  using InspectorPane::InspectorPane;
  // Calls edit with each selected opening of the type hanging in a wall of the current
  // layer; a wall with an opening for which edit answered true gets its attachments
  // rebuilt. Stores the undo step when any changed; Refresh always. True when any changed.
  bool walkOpenings(int16_t type, const char* label, const std::function<bool(Objex*, DoorWindowData*)>& edit);
  // A length field of the table: read, range (low exclusive unless lowIncluded), walk
  // (plan units unless inches), default, echo.
  void editOpeningLength(QLineEdit* field, int16_t type, float low, bool lowIncluded, bool planUnits,
                         float DoorWindowData::*target, float& defaultValue, const char* label);
  QListWidget* makeStyleTable(const char* name, const QList<QIcon>& images, const QStringList& names);
  // Selects and shows the row; a row outside the table selects none and shows the top.
  void selectRow(QListWidget* table, int32_t row);
};
