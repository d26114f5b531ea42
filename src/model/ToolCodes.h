// Tool codes held in gCurTool: the current tool of the plan view, which selects the tracking
// routine, the hit-test rules and the inspector.
#pragma once
#include <cstdint>

enum : uint16_t {
  kToolSelection = 200, kToolKeyEntry = 201, kToolRotate = 202, kToolZoom = 203, kToolPan = 204, kToolViewPoint = 205,
  kToolTextAlt = 206, kToolText = 207, kToolDimensionWall = 208, kToolDimension = 209,
  kToolOffsetDimension = 210, kToolLengthDimension = 211, kToolDiameterDimension = 212,
  kToolLeaderDimension = 213, kToolResize = 215, kToolPointSelection = 216, kToolId400 = 400,
  kToolId401 = 401, kToolId402 = 402, kToolId403 = 403, kToolId406 = 406, kToolMoveAlt = 3550,
  kToolFoundationPerimeter = 7000, kToolStiffenerBeam = 7001, kToolFoundationPier = 7002,
  kToolPostTensionStrand = 7003, kToolFoundationSlope = 7004, kToolExteriorWall = 7050, kToolExteriorWallKeyEntry = 7051, kToolInteriorWall = 7052,
  kToolInteriorWallKeyEntry = 7053, kToolCurvedWall = 7054, kToolWallBreak = 7055, kToolDoor = 7056,
  kToolWindow = 7057, kToolStraightStairway = 7058, kToolCurvedStairway = 7059,
  kToolStraightRailing = 7060, kToolCurvedRailing = 7061, kToolFloor = 7062, kToolFloorCutout = 7063,
  kToolAccessory = 7064, kToolCasedOpening = 7066, kToolReceptacle110 = 7100,
  kToolReceptacle110Style = 7101, kToolFloorCeilingReceptacle110 = 7102, kToolReceptacle220 = 7103,
  kToolFloorCeilingReceptacle220 = 7104, kToolSwitch = 7105, kToolMultiWaySwitch = 7106,
  kToolDimmerSwitch = 7107, kToolSwitchConnector = 7108, kToolFixtureLight = 7109,
  kToolFloodLight = 7110, kToolCeilingFan = 7111, kToolCableOutlet = 7112, kToolPhoneOutlet = 7113,
  kToolSmokeDetector = 7114, kToolThermostat = 7115, kToolHoseBib = 7200, kToolGasBib = 7201,
  kToolFloorDrain = 7202, kToolToilet = 7203, kToolSingleSink = 7204, kToolDoubleSink = 7205,
  kToolTripleSink = 7206, kToolOvalSink = 7207, kToolBathTub = 7208, kToolSpaTub = 7209,
  kToolShower = 7210, kToolWaterHeater = 7211, kToolGableRoof = 7300, kToolHipRoof = 7301,
  kToolHipGableRoof = 7302, kToolGableRoofConnector = 7303, kToolHipRoofConnector = 7304,
  kToolCrossRoofConnector = 7305, kToolFreehandRoof = 7306, kToolFourPointFreehandRoof = 7307,
  kToolThreePointFreehandRoof = 7308, kToolDormerCutout = 7309, kToolSkylight = 7310, kToolShedRoof = 7311,
  kToolAirDuct = 7400, kToolFloorRegister = 7401, kToolCeilingRegister = 7402, kToolAirReturn = 7403,
  kToolFurnace = 7404, kToolAirConditioner = 7405, kToolHeatPump = 7406,
  kToolBaseboardHeater = 7407, kToolPropertyLine = 7500, kToolGroundFillRegion = 7501,
  kToolPathwayDriveway = 7502, kToolFill = 7503, kToolEdging = 7504, kToolFence = 7505,
  kToolGate = 7506, kToolRetainingWall = 7507, kToolSprinklerHead = 7508,
  kToolExcavateTopography = 7509, kToolSlopeLotSection = 7510, kToolCurvedTopography = 7511,
  kToolStraightEdgeTopography = 7512, kToolSlopeLot = 7515, kToolDeckWithRailing = 7600,
  kToolDeckWithoutRailing = 7601, kToolDeckStraightRailing = 7602, kToolDeckCurvedRailing = 7603,
  kToolDeckStraightStairway = 7604, kToolDeckCurvedStairway = 7605, kToolDeckCutout = 7606,
  kToolRectangle = 7700, kToolCircleOval = 7701, kToolLine = 7702, kToolPolygon = 7703,
  kToolArc = 7704, kToolCircularArc = 7705, kToolMultigon = 7706, kToolCurve = 7707,
  kToolNoAction = 7809, kToolInsertPoint = 7900, kToolRemovePoint = 7901, kToolFillet = 7910,
  kToolInvertedFillet = 7911, kToolChamfer = 7912, kToolNone = 65535
};
