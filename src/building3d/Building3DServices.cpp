#include "building3d/Building3DServices.h"

#include "building3d/DeckSteps3D.h"
#include "building3d/Decks3D.h"
#include "building3d/Edging3D.h"
#include "building3d/Paths3D.h"
#include "building3d/Railings3D.h"
#include "building3d/RenderRoad.h"
#include "building3d/RoofPanels3D.h"
#include "building3d/Roofs3D.h"
#include "building3d/SiteFences3D.h"
#include "building3d/Skirting3D.h"
#include "building3d/Skylights3D.h"
#include "building3d/Stairs3D.h"
#include "building3d/TopoElevation.h"
#include "building3d/WallJoining.h"
#include "building3d/Walls3D.h"
#include "model/Services.h"

void InstallBuilding3DServices() {
  BuildingServices& s = gBuildingServices;
  s.update3DWall = building3d::Update3DWall;
  s.update3DRoof = building3d::Update3DRoof;
  s.update3DRoofPanel = building3d::Update3DRoofPanel;
  s.update3DDeck = building3d::Update3DDeck;
  s.update3DPath = building3d::Update3DPath;
  s.update3DFloorSkirting = building3d::Update3DFloorSkirting;
  s.update3DTopoCutoutDepthObject = building3d::Update3DTopoCutoutDepthObject;
  s.update3DPhoto = building3d::Update3DPhoto;
  s.updateStairObject = building3d::UpdateStairObject;
  s.updateRailObject = building3d::UpdateRailObject;
  s.updateEdgingObject = building3d::UpdateEdgingObject;
  s.updateFenceObject = building3d::UpdateFenceObject;
  s.updateAllRoofAttachments = building3d::UpdateAllRoofAttachments;
  s.addDeckSteps = building3d::AddDeckSteps;
  s.createCustomSkylightSymbols = building3d::CreateCustomSkylightSymbols;
  s.createSkylightFillerPlane = building3d::CreateSkylightFillerPlane;
  s.getCustomSkylightBounds = building3d::GetCustomSkylightBounds;
  s.createCustomSkylightBoundsPoints = building3d::CreateCustomSkylightBoundsPoints;
  s.connectWallPoint = building3d::ConnectWallPoint;
  s.groundUnder = GroundUnderObject;
  s.renderAllLayers = building3d::RenderAllLayers;
  s.renderEntireObject = building3d::RenderEntireObject;
  s.renderSingleObject = building3d::RenderSingleObject;
}
