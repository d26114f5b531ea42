#include "inspectors/InspectorsServices.h"

#include "inspectors/InspectorController.h"
#include "model/Services.h"

void InstallInspectorsServices() { gInspectorServices.updatePropertiesState = inspectors::UpdateInspectorPropertiesState; }
