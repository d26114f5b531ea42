// The electrical tool panes.
#include "inspectors/ElectricalInspectorControllers.h"

#include <QComboBox>

#include "model/DocState.h"
#include "platform/Strings.h"

namespace {
// The tags the placement tools read: 8 the first variant, 9 and 10 the others.
constexpr int kStyleTags[] = {8, 9, 10};

int32_t& ReceptacleStyleOf(DocState* ds) { return ds->receptacleStyle1; }
int32_t& FloorReceptacleStyleOf(DocState* ds) { return ds->receptacleStyle2; }
int32_t& MultiWaySwitchStyleOf(DocState* ds) { return ds->switchStyle1; }
int32_t& DimmerSwitchStyleOf(DocState* ds) { return ds->switchStyle2; }
}  // namespace

ElectricalStyleInspector::ElectricalStyleInspector(const char* interfaceName, const char* outlet,
                                                   int32_t& (*field)(DocState*))
    : InspectorPane(interfaceName), field_(field) {
  popUp_ = addPopUp("Style", outlet, [this] { styleChanged(); });
  int n = 1;
  for (int tag : kStyleTags)
    popUp_->addItem(QString::fromStdString(LocalizedString("Style")) + QStringLiteral(" %1").arg(n++), tag);
}

void ElectricalStyleInspector::updateToolProperties() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  popUp_->setCurrentIndex(popUp_->findData(field_(ds)));
}

void ElectricalStyleInspector::styleChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || popUp_->currentIndex() < 0) return;
  field_(ds) = popUp_->currentData().toInt();
}

Recept1InspectorController::Recept1InspectorController()
    : ElectricalStyleInspector("Recept1Inspector", "receptStylePopUpButton", ReceptacleStyleOf),
      receptStylePopUpButton(stylePopUp()) {}

Recept1InspectorController* Recept1InspectorController::sharedInspectorController() {
  static auto* controller = new Recept1InspectorController;
  return controller;
}

Recept2InspectorController::Recept2InspectorController()
    : ElectricalStyleInspector("Recept2Inspector", "receptStylePopUpButton", FloorReceptacleStyleOf),
      receptStylePopUpButton(stylePopUp()) {}

Recept2InspectorController* Recept2InspectorController::sharedInspectorController() {
  static auto* controller = new Recept2InspectorController;
  return controller;
}

Switch1InspectorController::Switch1InspectorController()
    : ElectricalStyleInspector("Switch1Inspector", "switchStylePopUpButton", MultiWaySwitchStyleOf),
      switchStylePopUpButton(stylePopUp()) {}

Switch1InspectorController* Switch1InspectorController::sharedInspectorController() {
  static auto* controller = new Switch1InspectorController;
  return controller;
}

Switch2InspectorController::Switch2InspectorController()
    : ElectricalStyleInspector("Switch2Inspector", "switchStylePopUpButton", DimmerSwitchStyleOf),
      switchStylePopUpButton(stylePopUp()) {}

Switch2InspectorController* Switch2InspectorController::sharedInspectorController() {
  static auto* controller = new Switch2InspectorController;
  return controller;
}

void Switch2InspectorController::updatePropertiesForObject(Objex*, bool) { updateToolProperties(); }
