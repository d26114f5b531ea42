// The plant fill sheet and the fill of one object with the palette's plant.
#include "inspectors/PlantFillController.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <vector>

#include "files/Undo.h"
#include "inspectors/InspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DocumentModel.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/SymEntryInfo.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "tools/PlantFill.h"

namespace {
QString Text(const char* english) { return QString::fromStdString(LocalizedString(english)); }
}  // namespace

int32_t ApplePortFillObjectWithPlants(Objex* object, PlantFillReport* report) {
  return FillObjectWithPlants(object, ContentPaletteSelectedSymEntry(), report);
}

PlantFillController::PlantFillController(QWidget* parent, Objex* contextObject)
    : SheetController(parent, "PlantFillSheet"), context_(contextObject) {
  setWindowTitle(Text("Fill Object with Plants"));
  fillPerimeterButton = new QCheckBox(Text("Plant along the outline"), this);
  fillPerimeterButton->setObjectName("fillPerimeterButton");
  fillAreaButton = new QCheckBox(Text("Plant inside the object"), this);
  fillAreaButton->setObjectName("fillAreaButton");
  spacingText = MakeSheetField(this, "spacingText");
  progressIndicator = new QProgressBar(this);
  progressIndicator->setObjectName("progressIndicator");
  progressIndicator->setRange(0, 0);  // busy
  progressIndicator->hide();
  progressText = new QLabel(Text("Planting..."), this);
  progressText->setObjectName("progressText");
  progressText->hide();
  form()->addRow(fillPerimeterButton);
  form()->addRow(fillAreaButton);
  form()->addRow(Text("Plant spacing:"), spacingText);
  form()->addRow(progressIndicator);
  form()->addRow(progressText);
}

void PlantFillController::newPlantFillSheetForParent(QWidget* parent, Objex* contextObject) {
  if (parent) beginSheet(parent, new PlantFillController(parent, contextObject));
}

void PlantFillController::initializeControlStates() {
  fillAreaButton->setChecked(gFillArea != 0);
  fillPerimeterButton->setChecked(gFillPerimeter != 0);
  SetFloatItem(spacingText, gPlantSpacing);
  noteShown(spacingText);
  Objex* context = context_;
  if (context && IsPlantFillable(context)) {
    fillAreaButton->setEnabled(context->closed != 0);
    if (!context->closed) fillAreaButton->setChecked(false);
  } else if (context) {
    fillAreaButton->setEnabled(true);
  }
}

void PlantFillController::applySheet(ZLKDocumentModel* doc, DocState*) {
  Layer* layer = doc->itsCurLayer;
  if (!layer) return;
  // A spacing that is no number (or blank) is refused as every typed length is, and nothing
  // is planted; one below 1 inch or above the greatest is held at that end.
  float typed = gPlantSpacing;
  if (!untouched(spacingText) && !readNumber(spacingText, NumberKind::kLength, &typed)) return;
  gFillArea = fillAreaButton->isChecked() ? 1 : 0;
  gFillPerimeter = fillPerimeterButton->isChecked() ? 1 : 0;
  gPlantSpacing = ClampedPlantSpacing(typed);
  if (!gFillArea && !gFillPerimeter) return;
  progressIndicator->show();
  progressText->show();
  progressText->repaint();
  // The planting changes the selection: the objects to fill are taken first.
  std::vector<Objex*> targets;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (IsPlantFillable(o) && IsObjectSelected(o)) targets.push_back(o);
  // Nothing that takes plants (an edging, a wall, a plant...): nothing is planted or stored.
  if (targets.empty()) {
    ShowAlert("The selection cannot be filled with plants.",
              "Plants fill 2D shapes, property lines, paths, fills, ground fill regions and details. "
              "Select one of these on the current floor and try again.");
    return;
  }
  // Escape stops the fill as it stops a render; what was planted stays, and can be undone.
  PlantFillReport report;
  int32_t planted = 0;
  const InspectorHooks& hooks = InspectorControllerHooks();
  if (hooks.watchKeys) hooks.watchKeys(true);
  for (Objex* o : targets) {
    planted += ApplePortFillObjectWithPlants(o, &report);
    if (report.stop != PlantFillStop::kNone) break;
  }
  if (hooks.watchKeys) hooks.watchKeys(false);
  // A fill that planted nothing stores nothing and says why, unless Escape stopped it.
  if (planted > 0) {
    StoreUndo(LocalizedString("Fill Object with Plants"));
    Refresh();
  } else if (report.stop == PlantFillStop::kNone) {
    const SymEntryInfo* entry = ContentPaletteSelectedSymEntry();
    if (!entry || (entry->type != kEntryPlant && entry->type != kEntryUserPlant))
      ShowAlert("No plant selected.", "You must select a plant before attempting to use this feature.");
    else
      ShowAlert("No plants were planted.",
                "The selected objects are open and have no inside to plant. Choose to plant along the outline "
                "to plant them.");
  }
  if (report.stop == PlantFillStop::kWorkLimit)
    ShowAlert("The fill was stopped before the whole area was planted.",
              "The object is too large for so small a plant spacing. Please enter a larger spacing.");
}
