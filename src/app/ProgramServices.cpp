#include "app/ProgramServices.h"

#include "building3d/Building3DServices.h"
#include "content/ContentServices.h"
#include "inspectors/InspectorsServices.h"
#include "openings/OpeningsServices.h"
#include "plandraw/SelectionHandles.h"
#include "render3d/Render3DServices.h"
#include "tools/ToolsServices.h"

void InstallProgramServices() {
  InstallBuilding3DServices();
  InstallOpeningsServices();
  InstallToolsServices();
  InstallRender3DServices();
  InstallContentServices();
  InstallInspectorsServices();
  InstallSelectionDrawingServices();
}
