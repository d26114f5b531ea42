// The planting age and growth projection sheets.
#include "inspectors/PlantSheets.h"

#include <QFormLayout>
#include <QLineEdit>

#include "files/Undo.h"
#include "inspectors/InspectorController.h"
#include "inspectors/PlantInspectorController.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/ValueFields.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* english) { return QString::fromStdString(LocalizedString(english)); }
}  // namespace

int16_t ClampedPlantingAge(float typed) {
  if (!(typed > 0)) return 0;
  if (typed > kMostPlantingAge) return kMostPlantingAge;
  return static_cast<int16_t>(typed);
}

int16_t MaximumPlantAgeForProjection(int16_t years) {
  if (years <= 1) return 5;
  if (years > 50) return 53;
  return static_cast<int16_t>(years + 3);
}

PlantingAgeController::PlantingAgeController(QWidget* parent) : SheetController(parent, "PlantingAgeSheet") {
  setWindowTitle(Text("Planting Age"));
  plantAgeText = MakeSheetField(this, "plantAgeText");
  form()->addRow(Text("Age planted (years):"), plantAgeText);
}

void PlantingAgeController::newPlantingAgeSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new PlantingAgeController(parent));
}

void PlantingAgeController::initializeControlStates() { SetLongItem(plantAgeText, 0); }

void PlantingAgeController::applySheet(ZLKDocumentModel* doc, DocState*) {
  if (!doc->itsLayers) return;
  int32_t typed = 0;
  if (!readWholeNumber(plantAgeText, &typed)) return;
  const int16_t age = ClampedPlantingAge(static_cast<float>(typed));
  SelectedObjectAllLayers(doc->itsLayers, 1, kCmdSetPlantingAge, CommandArg::Value(age));
  UpdateInspectorPropertiesState(true);
  StoreUndo(LocalizedString("Planting Age"));
  Refresh();
}

PlantGrowthProjController::PlantGrowthProjController(QWidget* parent)
    : SheetController(parent, "PlantGrowthProjSheet") {
  setWindowTitle(Text("Plant Growth Projection"));
  maxAgeText = MakeSheetField(this, "maxAgeText");
  form()->addRow(Text("Project growth (years):"), maxAgeText);
}

void PlantGrowthProjController::newPlantGrowthProjSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new PlantGrowthProjController(parent));
}

void PlantGrowthProjController::initializeControlStates() {
  if (gCurDocument) SetLongItem(maxAgeText, gCurDocument->itsMaximumPlantAge - 3);
}

void PlantGrowthProjController::applySheet(ZLKDocumentModel* doc, DocState*) {
  int32_t typed = 0;
  if (!readWholeNumber(maxAgeText, &typed)) return;
  // Beyond the 16-bit range the projection is simply the longest (no wrap-around).
  const int16_t years = typed > 50 ? 51 : (typed < 1 ? 1 : static_cast<int16_t>(typed));
  const int16_t most = MaximumPlantAgeForProjection(years);
  if (most == doc->itsMaximumPlantAge) return;
  doc->itsMaximumPlantAge = most;
  if (TheSheetHooks().updatePlantGrowthIndicator) TheSheetHooks().updatePlantGrowthIndicator();
  StoreUndo(LocalizedString("Plant Growth Projection"));
}
