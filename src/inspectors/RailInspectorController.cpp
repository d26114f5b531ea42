// Railings: the two sizes, the posts of the selected points and the curve buttons.
#include "inspectors/RailInspectorController.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "inspectors/GenericObjInspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/StairFields.h"

namespace {
void RebuildRail(Objex* rail) {
  UpdateRailObject(rail);
  ReRenderObject(rail);
}
}  // namespace

RailInspectorController::RailInspectorController() : InspectorPane("RailInspector") {
  railHeightText = addField("Handrail Height", "railHeightText");
  balusterSpacingText = addField("Baluster Spacing", "balusterSpacingText");
  includePostButton = addCheck("Post at Point", "includePostButton", [this] { includePostButtonChanged(); });
  adjustCurveButton = addButton("Adjust Curve...", "adjustCurveButton", [this] { adjustCurveButtonChanged(); });
  straightenCurveButton =
      addButton("Straighten Curve", "straightenCurveButton", [this] { straightenCurveButtonChanged(); });
}

RailInspectorController* RailInspectorController::sharedInspectorController() {
  static auto* controller = new RailInspectorController;
  return controller;
}

void RailInspectorController::updatePropertiesForObject(Objex* rail, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!rail) {
    SetFloatItem(railHeightText, ds->railHeight);
    SetFloatItem(balusterSpacingText, ds->railBalusterSpacing());
    for (QWidget* w : std::initializer_list<QWidget*>{includePostButton, adjustCurveButton, straightenCurveButton})
      w->hide();
    return;
  }
  if (rail->type != kObjRailing) return;
  mergeFloat(railHeightText, RailHeightOf(rail), init);
  mergeFloat(balusterSpacingText, RailBalusterSpacingOf(rail), init);
  for (Poinz* p = rail->firstPoint; p; p = p->next) {
    if (!p->selected) continue;
    const bool post = (p->segmentFlags & kDeckSegmentPost) != 0;
    if (init) includePostButton->setChecked(post);
    else if (includePostButton->isChecked() != post) includePostButton->setChecked(false);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{includePostButton, adjustCurveButton, straightenCurveButton})
    w->show();
}

void RailInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  if (field == railHeightText)
    editObjectFloat(field, kObjRailing, 0.01f, 10000.0f, RailHeightOf, ds->railHeight, "Handrail Height", false,
                    RebuildRail);
  else if (field == balusterSpacingText)
    editObjectFloat(field, kObjRailing, 0.01f, 10000.0f, RailBalusterSpacingOf, ds->railBalusterSpacing(),
                    "Baluster Spacing", false, RebuildRail);
}

void RailInspectorController::includePostButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  const bool on = includePostButton->isChecked();
  bool found = false;
  ForEachSelectedOfType(kObjRailing, [&](Objex* rail) {
    bool any = false;
    for (Poinz* p = rail->firstPoint; p; p = p->next) {
      if (!p->selected) continue;
      if (on) p->segmentFlags |= kDeckSegmentPost;
      else p->segmentFlags &= ~kDeckSegmentPost;
      any = true;
    }
    if (!any) return;
    RebuildRail(rail);
    found = true;
  });
  if (found) StoreInspectorUndo("Handrail Posts");
  Refresh();
}

void RailInspectorController::adjustCurveButtonChanged() { InspectorSmoothSelected(); }
void RailInspectorController::straightenCurveButtonChanged() { InspectorUnsmoothSelected(); }
