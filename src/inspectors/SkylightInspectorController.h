// The skylight pane: style, width, height and trim width of the selected skylights, or the
// skylight tool's defaults.
#pragma once
#include <QIcon>
#include <QList>

#include <functional>

#include "inspectors/OpeningInspectorBase.h"

struct RoofAttachmentData;

// The style row the pane shows; -1 for selected skylights of mixed styles.
extern int32_t gSkylightPropertiesStyle;

// Rows 0..3: rectangular 800, octagonal 801, elliptical 802, custom 806; another row 0.
int16_t SkylightSubtypeOfRow(int32_t row);
// The row of a subtype; any other subtype shows row 0.
int32_t SkylightRowOf(int32_t subtype);
// The style images ("SkylightStyle1" .. "SkylightStyle4"), drawn here.
QList<QIcon> SkylightStyleImages();
QString SkylightStyleImageName(int row);

class SkylightInspectorController : public OpeningInspectorBase {
 public:
  static SkylightInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void tableViewSelectionDidChange();

  QList<QIcon> skylightStyleImageArray;
  QListWidget* skylightStyleTableView;
  QLineEdit *skylightWidthText, *skylightHeightText, *skylightTrimText;

 private:
  SkylightInspectorController();
  void enableHeightFor(int32_t subtype);
  // Calls edit with each selected skylight (with its record) hanging in a roof or roof panel
  // of the current floor; each roof holding one for which edit answered true is rebuilt.
  // True when any changed.
  bool walkSkylights(const std::function<bool(Objex* skylight, Objex* roof, RoofAttachmentData*)>& edit);
};
