// The undo action names of the tools.
#include "tools/ToolUndoNames.h"

#include "tools/ToolCodes.h"

const char* UndoNameForTool(uint16_t tool) {
  switch (tool) {
    case kToolKeyEntry: case kToolPan: case kToolViewPoint: case kToolExteriorWallKeyEntry:
    case kToolInteriorWallKeyEntry: case kToolInsertPoint: case kToolRemovePoint: case kToolText:
      return nullptr;
    case kToolSelection: return "Move/Resize";
    case kToolRotate: return "Rotate";
    case kToolResize: return "Resize";
    case kToolFillet: return "Fillet Tool";
    case kToolInvertedFillet: return "Inverted Fillet Tool";
    case kToolChamfer: return "Chamfer Tool";
    case kToolDimensionWall: return "Dimension Wall Tool";
    case kToolDimension: return "Dimension Tool";
    case kToolOffsetDimension: return "Offset Dimension Tool";
    case kToolLengthDimension: return "Length Dimension Tool";
    case kToolDiameterDimension: return "Diameter Dimension Tool";
    case kToolLeaderDimension: return "Leader Dimension Tool";
    case kToolFoundationPerimeter: return "Foundation Perimeter Tool";
    case kToolStiffenerBeam: return "Stiffener Beam Tool";
    case kToolFoundationPier: return "Foundation Pier Tool";
    case kToolPostTensionStrand: return "Post-Tension Strand Tool";
    case kToolFoundationSlope: return "Foundation Slope Tool";
    case kToolExteriorWall: return "Exterior Wall Tool";
    case kToolInteriorWall: return "Interior Wall Tool";
    case kToolCurvedWall: return "Curved Wall Tool";
    case kToolWallBreak: return "Wall Break Tool";
    case kToolDoor: return "Door Tool";
    case kToolWindow: return "Window Tool";
    case kToolStraightStairway: return "Straight Stairway Tool";
    case kToolCurvedStairway: return "Curved Stairway Tool";
    case kToolStraightRailing: return "Straight Railing Tool";
    case kToolCurvedRailing: return "Curved Railing Tool";
    case kToolFloor: return "Floor Tool";
    case kToolFloorCutout: return "Floor Cutout Tool";
    case kToolAccessory: return "Accessory Tool";
    case kToolCasedOpening: return "Cased Opening Tool";
    case kToolReceptacle110: return "110v Receptacle Tool";
    case kToolReceptacle110Style: return "110v Receptacle Tool";
    case kToolFloorCeilingReceptacle110: return "110v Floor/Ceiling Receptacle Tool";
    case kToolReceptacle220: return "220v Receptacle Tool";
    case kToolFloorCeilingReceptacle220: return "220v Floor/Ceiling Receptacle Tool";
    case kToolSwitch: return "Switch Tool";
    case kToolMultiWaySwitch: return "3/4/5-Way Switch Tool";
    case kToolDimmerSwitch: return "Dimmer/Weather Proof Switch Tool";
    case kToolSwitchConnector: return "Switch Connector Tool";
    case kToolFixtureLight: return "Fixture Light Tool";
    case kToolFloodLight: return "Flood Light Tool";
    case kToolCeilingFan: return "Ceiling Fan Tool";
    case kToolCableOutlet: return "Cable Outlet Tool";
    case kToolPhoneOutlet: return "Phone Outlet Tool";
    case kToolSmokeDetector: return "Smoke Detector Tool";
    case kToolThermostat: return "Thermostat Tool";
    case kToolHoseBib: return "Hose Bib Tool";
    case kToolGasBib: return "Gas Bib Tool";
    case kToolFloorDrain: return "Floor Drain Tool";
    case kToolToilet: return "Toilet Tool";
    case kToolSingleSink: return "Single Sink Tool";
    case kToolDoubleSink: return "Double Sink Tool";
    case kToolTripleSink: return "Triple Sink Tool";
    case kToolOvalSink: return "Oval Sink Tool";
    case kToolBathTub: return "Bath Tub Tool";
    case kToolSpaTub: return "Spa Tub Tool";
    case kToolShower: return "Shower Tool";
    case kToolWaterHeater: return "Water Heater Tool";
    case kToolGableRoof: return "Gable Roof Tool";
    case kToolHipRoof: return "Hip Roof Tool";
    case kToolHipGableRoof: return "Hip/Gable Roof Tool";
    case kToolGableRoofConnector: return "Gable Roof Connector Tool";
    case kToolHipRoofConnector: return "Hip Roof Connector Tool";
    case kToolCrossRoofConnector: return "Cross Roof Connector Tool";
    case kToolFreehandRoof: return "Freehand Roof Tool";
    case kToolFourPointFreehandRoof: return "Four-Point Freehand Roof Tool";
    case kToolThreePointFreehandRoof: return "Three-Point Freehand Roof Tool";
    case kToolDormerCutout: return "Dormer Cutout";
    case kToolSkylight: return "Skylight";
    case kToolShedRoof: return "Shed Roof Tool";
    case kToolAirDuct: return "Air Duct Tool";
    case kToolFloorRegister: return "Floor Register Tool";
    case kToolCeilingRegister: return "Ceiling Register Tool";
    case kToolAirReturn: return "Air Return Tool";
    case kToolFurnace: return "Furnace Tool";
    case kToolAirConditioner: return "Air Conditioner Tool";
    case kToolHeatPump: return "Heat Pump Tool";
    case kToolBaseboardHeater: return "Baseboard Heater Tool";
    case kToolPropertyLine: return "Property Line Tool";
    case kToolGroundFillRegion: return "Ground Fill Region Tool";
    case kToolPathwayDriveway: return "Pathway/Driveway Tool";
    case kToolFill: return "Fill Tool";
    case kToolEdging: return "Edging Tool";
    case kToolFence: return "Fence Tool";
    case kToolGate: return "Gate Tool";
    case kToolRetainingWall: return "Retaining Wall Tool";
    case kToolSprinklerHead: return "Sprinkler Head Tool";
    case kToolExcavateTopography: return "Excavate Topography Tool";
    case kToolSlopeLotSection: return "Slope Lot Section Tool";
    case kToolCurvedTopography: return "Curved Topography Tool";
    case kToolStraightEdgeTopography: return "Straight-Edge Topography Tool";
    case kToolSlopeLot: return "Slope Lot Tool";
    case kToolDeckWithRailing: return "Deck with Railing Tool";
    case kToolDeckWithoutRailing: return "Deck without Railing Tool";
    case kToolDeckStraightRailing: return "Straight Railing Tool";
    case kToolDeckCurvedRailing: return "Curved Railing Tool";
    case kToolDeckStraightStairway: return "Straight Stairway Tool";
    case kToolDeckCurvedStairway: return "Curved Stairway Tool";
    case kToolDeckCutout: return "Deck Cutout Tool";
    case kToolRectangle: return "Rectangle Tool";
    case kToolCircleOval: return "Circle/Oval Tool";
    case kToolLine: return "Line Tool";
    case kToolPolygon: return "Polygon Tool";
    case kToolArc: return "Arc Tool";
    case kToolCircularArc: return "Circular Arc Tool";
    case kToolMultigon: return "Multigon Tool";
    case kToolCurve: return "Curve Tool";
    default: return " ";
  }
}

bool ToolStoresUndo(uint16_t tool, uint8_t hitMode, uint8_t filletChamferUndo) {
  if (!UndoNameForTool(tool)) return false;
  switch (tool) {
    case kToolSelection: case kToolRotate: case kToolResize:
      return hitMode != 0;
    case kToolFillet: case kToolInvertedFillet: case kToolChamfer:
      return filletChamferUndo != 0;
    default:
      return true;
  }
}
