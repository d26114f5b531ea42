// Test-only builder of DocState blocks: the field table of every layout with the documented
// zero bytes, laid down byte by byte without the program's writer; shared by the file tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "model/DocState.h"

namespace docstate_builder {

using Bytes = std::vector<uint8_t>;

// ---- Test-only block builder: the field table and the zero-byte offsets as documented ----

enum Kind { kU8, kI16, kU16, kI32, kU32, kF32, kCHARS, kU16BE };

struct FieldRow {
  const char* name;
  size_t offset;  // in DocState
  Kind kind;
  int count;      // elements (characters for kCHARS)
  int layout;     // index into kLayoutVersions
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
inline const FieldRow kFields[] = {
    {"gateToolOffset.floatH", offsetof(DocState, gateToolOffset.floatH), kF32, 1, 0},
    {"gateToolOffset.floatV", offsetof(DocState, gateToolOffset.floatV), kF32, 1, 0},
    {"setting1", offsetof(DocState, setting1), kI16, 1, 0},
    {"viewPoint.floatH", offsetof(DocState, viewPoint.floatH), kF32, 1, 0},
    {"viewPoint.floatV", offsetof(DocState, viewPoint.floatV), kF32, 1, 0},
    {"viewPoint.floatD", offsetof(DocState, viewPoint.floatD), kF32, 1, 0},
    {"viewPlane", offsetof(DocState, viewPlane), kI16, 1, 0},
    {"wallToolFlag1", offsetof(DocState, wallToolFlag1), kU8, 1, 0},
    {"wallToolFlag2", offsetof(DocState, wallToolFlag2), kU8, 1, 0},
    {"wallToolFlag3", offsetof(DocState, wallToolFlag3), kU8, 1, 0},
    {"angleConstraint", offsetof(DocState, angleConstraint), kU8, 1, 0},
    {"constraintFlag2", offsetof(DocState, constraintFlag2), kU8, 1, 0},
    {"constraintFlag3", offsetof(DocState, constraintFlag3), kU8, 1, 0},
    {"snapToGrid", offsetof(DocState, snapToGrid), kU8, 1, 0},
    {"gridSpacing.floatH", offsetof(DocState, gridSpacing.floatH), kF32, 1, 0},
    {"gridSpacing.floatV", offsetof(DocState, gridSpacing.floatV), kF32, 1, 0},
    {"gridSnap.floatH", offsetof(DocState, gridSnap.floatH), kF32, 1, 0},
    {"gridSnap.floatV", offsetof(DocState, gridSnap.floatV), kF32, 1, 0},
    {"setting13", offsetof(DocState, setting13), kI16, 1, 0},
    {"setting14", offsetof(DocState, setting14), kF32, 1, 0},
    {"newPenStyle", offsetof(DocState, newPenStyle), kI16, 1, 0},
    {"newLineWeight", offsetof(DocState, newLineWeight), kI16, 1, 0},
    {"setting17", offsetof(DocState, setting17), kI16, 1, 0},
    {"planBounds.floatTop", offsetof(DocState, planBounds.floatTop), kF32, 1, 0},
    {"planBounds.floatLeft", offsetof(DocState, planBounds.floatLeft), kF32, 1, 0},
    {"planBounds.floatBottom", offsetof(DocState, planBounds.floatBottom), kF32, 1, 0},
    {"planBounds.floatRight", offsetof(DocState, planBounds.floatRight), kF32, 1, 0},
    {"setting19", offsetof(DocState, setting19), kI16, 1, 0},
    {"setting20", offsetof(DocState, setting20), kI16, 1, 0},
    {"setting21", offsetof(DocState, setting21), kI16, 1, 0},
    {"setting22", offsetof(DocState, setting22), kI16, 1, 0},
    {"setting23", offsetof(DocState, setting23), kI16, 1, 0},
    {"lotSizeUnits", offsetof(DocState, lotSizeUnits), kI16, 1, 0},
    {"lotSize.floatH", offsetof(DocState, lotSize.floatH), kF32, 1, 0},
    {"lotSize.floatV", offsetof(DocState, lotSize.floatV), kF32, 1, 0},
    {"dimArrowStyle", offsetof(DocState, dimArrowStyle), kI16, 1, 0},
    {"setting27", offsetof(DocState, setting27), kF32, 1, 0},
    {"setting28", offsetof(DocState, setting28), kF32, 1, 0},
    {"dimToleranceStyle", offsetof(DocState, dimToleranceStyle), kI16, 1, 0},
    {"setting30", offsetof(DocState, setting30), kF32, 1, 0},
    {"lotSetting1", offsetof(DocState, lotSetting1), kI16, 1, 0},
    {"lotColor.red", offsetof(DocState, lotColor.red), kU16, 1, 0},
    {"lotColor.green", offsetof(DocState, lotColor.green), kU16, 1, 0},
    {"lotColor.blue", offsetof(DocState, lotColor.blue), kU16, 1, 0},
    {"newFillColor.red", offsetof(DocState, newFillColor.red), kU16, 1, 0},
    {"newFillColor.green", offsetof(DocState, newFillColor.green), kU16, 1, 0},
    {"newFillColor.blue", offsetof(DocState, newFillColor.blue), kU16, 1, 0},
    {"newPenColor.red", offsetof(DocState, newPenColor.red), kU16, 1, 0},
    {"newPenColor.green", offsetof(DocState, newPenColor.green), kU16, 1, 0},
    {"newPenColor.blue", offsetof(DocState, newPenColor.blue), kU16, 1, 0},
    {"annotationColor.red", offsetof(DocState, annotationColor.red), kU16, 1, 0},
    {"annotationColor.green", offsetof(DocState, annotationColor.green), kU16, 1, 0},
    {"annotationColor.blue", offsetof(DocState, annotationColor.blue), kU16, 1, 0},
    {"dimReadoutStyle", offsetof(DocState, dimReadoutStyle), kI16, 1, 0},
    {"setting37", offsetof(DocState, setting37), kI16, 1, 0},
    {"setting38", offsetof(DocState, setting38), kU8, 1, 0},
    {"planScale", offsetof(DocState, planScale), kF32, 1, 0},
    {"setting40", offsetof(DocState, setting40), kI16, 1, 0},
    {"worldUnits", offsetof(DocState, worldUnits), kI16, 1, 0},
    {"wallConnectFlag", offsetof(DocState, wallConnectFlag), kU8, 1, 0},
    {"setting43", offsetof(DocState, setting43), kF32, 1, 0},
    {"setting44", offsetof(DocState, setting44), kF32, 1, 0},
    {"curveSegments", offsetof(DocState, curveSegments), kI16, 1, 0},
    {"multigonSides", offsetof(DocState, multigonSides), kI16, 1, 0},
    {"searchTolerance", offsetof(DocState, searchTolerance), kI16, 1, 0},
    {"pickTolerance", offsetof(DocState, pickTolerance), kI16, 1, 0},
    {"curveTension", offsetof(DocState, curveTension), kI16, 1, 0},
    {"zoomFactor", offsetof(DocState, zoomFactor), kF32, 1, 0},
    {"setting51", offsetof(DocState, setting51), kI16, 1, 0},
    {"setting52", offsetof(DocState, setting52), kU8, 1, 0},
    {"setting53", offsetof(DocState, setting53), kU8, 1, 0},
    {"dimFlags", offsetof(DocState, dimFlags), kI32, 1, 0},
    {"setting55", offsetof(DocState, setting55), kI16, 1, 0},
    {"selectionState.ssStateFresh", offsetof(DocState, selectionState.ssStateFresh), kU8, 1, 0},
    {"selectionState.ssFillPattern", offsetof(DocState, selectionState.ssFillPattern), kU8, 1, 0},
    {"selectionState.ssFillPatID", offsetof(DocState, selectionState.ssFillPatID), kI16, 1, 0},
    {"selectionState.ssFillColor", offsetof(DocState, selectionState.ssFillColor), kU8, 1, 0},
    {"selectionState.ssFillRGBColor.red", offsetof(DocState, selectionState.ssFillRGBColor.red), kU16, 1, 0},
    {"selectionState.ssFillRGBColor.green", offsetof(DocState, selectionState.ssFillRGBColor.green), kU16, 1, 0},
    {"selectionState.ssFillRGBColor.blue", offsetof(DocState, selectionState.ssFillRGBColor.blue), kU16, 1, 0},
    {"selectionState.ssPenWidth", offsetof(DocState, selectionState.ssPenWidth), kU8, 1, 0},
    {"selectionState.ssPenWidthValue", offsetof(DocState, selectionState.ssPenWidthValue), kI16, 1, 0},
    {"selectionState.ssPenColor", offsetof(DocState, selectionState.ssPenColor), kU8, 1, 0},
    {"selectionState.ssPenRGBColor.red", offsetof(DocState, selectionState.ssPenRGBColor.red), kU16, 1, 0},
    {"selectionState.ssPenRGBColor.green", offsetof(DocState, selectionState.ssPenRGBColor.green), kU16, 1, 0},
    {"selectionState.ssPenRGBColor.blue", offsetof(DocState, selectionState.ssPenRGBColor.blue), kU16, 1, 0},
    {"selectionState.ssPenStyle", offsetof(DocState, selectionState.ssPenStyle), kU8, 1, 0},
    {"selectionState.ssPenStyleType", offsetof(DocState, selectionState.ssPenStyleType), kI16, 1, 0},
    {"selectionState.ssArrowPosition", offsetof(DocState, selectionState.ssArrowPosition), kU8, 1, 0},
    {"selectionState.ssArrowPosID", offsetof(DocState, selectionState.ssArrowPosID), kI16, 1, 0},
    {"selectionState.ssArrowHead", offsetof(DocState, selectionState.ssArrowHead), kU8, 1, 0},
    {"selectionState.ssArrowHeadType", offsetof(DocState, selectionState.ssArrowHeadType), kI16, 1, 0},
    {"selectionState.ssTextFrame", offsetof(DocState, selectionState.ssTextFrame), kU8, 1, 0},
    {"selectionState.ssTextFrameID", offsetof(DocState, selectionState.ssTextFrameID), kI16, 1, 0},
    {"selectionState.ssTolerance", offsetof(DocState, selectionState.ssTolerance), kU8, 1, 0},
    {"selectionState.ssToleranceType", offsetof(DocState, selectionState.ssToleranceType), kI16, 1, 0},
    {"selectionState.ssTextAlign", offsetof(DocState, selectionState.ssTextAlign), kU8, 1, 0},
    {"selectionState.ssTextAlignType", offsetof(DocState, selectionState.ssTextAlignType), kI16, 1, 0},
    {"viewSetting12", offsetof(DocState, viewSetting12), kI16, 1, 0},
    {"setting58", offsetof(DocState, setting58), kI16, 1, 0},
    {"wallSetting6", offsetof(DocState, wallSetting6), kF32, 1, 0},
    {"wallThickness", offsetof(DocState, wallThickness), kF32, 1, 0},
    {"wallHeight", offsetof(DocState, wallHeight), kF32, 1, 0},
    {"wallColor.red", offsetof(DocState, wallColor.red), kU16, 1, 0},
    {"wallColor.green", offsetof(DocState, wallColor.green), kU16, 1, 0},
    {"wallColor.blue", offsetof(DocState, wallColor.blue), kU16, 1, 0},
    {"setting63", offsetof(DocState, setting63), kI32, 1, 0},
    {"setting64", offsetof(DocState, setting64), kI32, 1, 0},
    {"doorStyle", offsetof(DocState, doorStyle), kI16, 1, 0},
    {"doorWidth", offsetof(DocState, doorWidth), kF32, 1, 0},
    {"doorHeight", offsetof(DocState, doorHeight), kF32, 1, 0},
    {"doorSetting2", offsetof(DocState, doorSetting2), kF32, 1, 0},
    {"wallFillColor.red", offsetof(DocState, wallFillColor.red), kU16, 1, 0},
    {"wallFillColor.green", offsetof(DocState, wallFillColor.green), kU16, 1, 0},
    {"wallFillColor.blue", offsetof(DocState, wallFillColor.blue), kU16, 1, 0},
    {"windowStyle", offsetof(DocState, windowStyle), kI16, 1, 0},
    {"windowDividers.x", offsetof(DocState, windowDividers.x), kI16, 1, 0},
    {"windowDividers.y", offsetof(DocState, windowDividers.y), kI16, 1, 0},
    {"windowWidth", offsetof(DocState, windowWidth), kF32, 1, 0},
    {"windowHeight", offsetof(DocState, windowHeight), kF32, 1, 0},
    {"windowSetting1", offsetof(DocState, windowSetting1), kF32, 1, 0},
    {"windowSetting2", offsetof(DocState, windowSetting2), kF32, 1, 0},
    {"windowColor.red", offsetof(DocState, windowColor.red), kU16, 1, 0},
    {"windowColor.green", offsetof(DocState, windowColor.green), kU16, 1, 0},
    {"windowColor.blue", offsetof(DocState, windowColor.blue), kU16, 1, 0},
    {"roofSetting2", offsetof(DocState, roofSetting2), kI16, 1, 0},
    {"roofPitch", offsetof(DocState, roofPitch), kF32, 1, 0},
    {"roofSetting3", offsetof(DocState, roofSetting3), kF32, 1, 0},
    {"roofSetting4.red", offsetof(DocState, roofSetting4.red), kU16, 1, 0},
    {"roofSetting4.green", offsetof(DocState, roofSetting4.green), kU16, 1, 0},
    {"roofSetting4.blue", offsetof(DocState, roofSetting4.blue), kU16, 1, 0},
    {"dimColor.red", offsetof(DocState, dimColor.red), kU16, 1, 0},
    {"dimColor.green", offsetof(DocState, dimColor.green), kU16, 1, 0},
    {"dimColor.blue", offsetof(DocState, dimColor.blue), kU16, 1, 0},
    {"dimTextSize", offsetof(DocState, dimTextSize), kI16, 1, 0},
    {"dimLineColor.red", offsetof(DocState, dimLineColor.red), kU16, 1, 0},
    {"dimLineColor.green", offsetof(DocState, dimLineColor.green), kU16, 1, 0},
    {"dimLineColor.blue", offsetof(DocState, dimLineColor.blue), kU16, 1, 0},
    {"measureSystem", offsetof(DocState, measureSystem), kI16, 1, 0},
    {"printSetting2", offsetof(DocState, printSetting2), kF32, 1, 0},
    {"printSetting3", offsetof(DocState, printSetting3), kF32, 1, 0},
    {"planScaleChoice", offsetof(DocState, planScaleChoice), kI16, 1, 0},
    {"walkAngle", offsetof(DocState, walkAngle), kF32, 1, 0},
    {"walkPosition.floatH", offsetof(DocState, walkPosition.floatH), kF32, 1, 0},
    {"walkPosition.floatV", offsetof(DocState, walkPosition.floatV), kF32, 1, 0},
    {"setting90", offsetof(DocState, setting90), kF32, 1, 0},
    {"setting91", offsetof(DocState, setting91), kF32, 1, 0},
    {"setting92", offsetof(DocState, setting92), kI32, 1, 0},
    {"setting93", offsetof(DocState, setting93), kI32, 1, 0},
    {"setting94", offsetof(DocState, setting94), kF32, 1, 0},
    {"setting95", offsetof(DocState, setting95), kF32, 1, 0},
    {"setting96", offsetof(DocState, setting96), kF32, 1, 0},
    {"navigationSpeed", offsetof(DocState, navigationSpeed), kI16, 1, 0},
    {"navigationStep", offsetof(DocState, navigationStep), kI16, 1, 0},
    {"background3DColor.red", offsetof(DocState, background3DColor.red), kU16, 1, 0},
    {"background3DColor.green", offsetof(DocState, background3DColor.green), kU16, 1, 0},
    {"background3DColor.blue", offsetof(DocState, background3DColor.blue), kU16, 1, 0},
    {"setting100", offsetof(DocState, setting100), kI16, 1, 0},
    {"setting101", offsetof(DocState, setting101), kU8, 1, 0},
    {"renderSetting4", offsetof(DocState, renderSetting4), kI16, 1, 0},
    {"navigationMode", offsetof(DocState, navigationMode), kI16, 1, 0},
    {"flyPitch", offsetof(DocState, flyPitch), kF32, 1, 0},
    {"flyAngle", offsetof(DocState, flyAngle), kF32, 1, 0},
    {"viewSetting1", offsetof(DocState, viewSetting1), kU8, 1, 0},
    {"colorTable", offsetof(DocState, colorTable), kI32, 72, 0},
    {"backgroundTextureID", offsetof(DocState, backgroundTextureID), kI32, 1, 0},
    {"fillSetting1", offsetof(DocState, fillSetting1), kI16, 1, 0},
    {"fillMaterial", offsetof(DocState, fillMaterial), kI16, 1, 0},
    {"pathSetting1", offsetof(DocState, pathSetting1), kU8, 1, 0},
    {"pathMaterial", offsetof(DocState, pathMaterial), kI16, 1, 0},
    {"setting113", offsetof(DocState, setting113), kU8, 1, 0},
    {"pathWidth", offsetof(DocState, pathWidth), kF32, 1, 0},
    {"setting115", offsetof(DocState, setting115), kF32, 1, 0},
    {"setting116", offsetof(DocState, setting116), kF32, 1, 0},
    {"setting117", offsetof(DocState, setting117), kF32, 1, 0},
    {"edgingSetting1", offsetof(DocState, edgingSetting1), kU8, 1, 0},
    {"edgingColor.red", offsetof(DocState, edgingColor.red), kU16, 1, 0},
    {"edgingColor.green", offsetof(DocState, edgingColor.green), kU16, 1, 0},
    {"edgingColor.blue", offsetof(DocState, edgingColor.blue), kU16, 1, 0},
    {"fenceStyle", offsetof(DocState, fenceStyle), kI16, 1, 0},
    {"setting121", offsetof(DocState, setting121), kF32, 1, 0},
    {"setting122", offsetof(DocState, setting122), kF32, 1, 0},
    {"setting123", offsetof(DocState, setting123), kF32, 1, 0},
    {"setting124", offsetof(DocState, setting124), kF32, 1, 0},
    {"fenceColor.red", offsetof(DocState, fenceColor.red), kU16, 1, 0},
    {"fenceColor.green", offsetof(DocState, fenceColor.green), kU16, 1, 0},
    {"fenceColor.blue", offsetof(DocState, fenceColor.blue), kU16, 1, 0},
    {"gateWidth", offsetof(DocState, gateWidth), kF32, 1, 0},
    {"setting127", offsetof(DocState, setting127), kF32, 1, 0},
    {"gateColor.red", offsetof(DocState, gateColor.red), kU16, 1, 0},
    {"gateColor.green", offsetof(DocState, gateColor.green), kU16, 1, 0},
    {"gateColor.blue", offsetof(DocState, gateColor.blue), kU16, 1, 0},
    {"lotTextureID", offsetof(DocState, lotTextureID), kI16, 1, 0},
    {"plantAge", offsetof(DocState, plantAge), kF32, 1, 0},
    {"gridStyle", offsetof(DocState, gridStyle), kI16, 1, 0},
    {"stairParam1", offsetof(DocState, stairParam1), kF32, 1, 1},
    {"stairParam2", offsetof(DocState, stairParam2), kF32, 1, 1},
    {"stairParam3", offsetof(DocState, stairParam3), kF32, 1, 1},
    {"stairParam4", offsetof(DocState, stairParam4), kF32, 1, 1},
    {"stairFlag1", offsetof(DocState, stairFlag1), kU8, 1, 1},
    {"stairFlag2", offsetof(DocState, stairFlag2), kU8, 1, 1},
    {"railHeight", offsetof(DocState, railHeight), kF32, 1, 1},
    {"railSetting1", offsetof(DocState, railSetting1), kF32, 1, 1},
    {"railFlag2", offsetof(DocState, railFlag2), kU8, 1, 1},
    {"railFlag3", offsetof(DocState, railFlag3), kU8, 1, 1},
    {"traceImagePath", offsetof(DocState, traceImagePath), kCHARS, 512, 1},
    {"traceImageVisible", offsetof(DocState, traceImageVisible), kU8, 1, 1},
    {"traceImageScaleX", offsetof(DocState, traceImageScaleX), kF32, 1, 1},
    {"traceImageScaleY", offsetof(DocState, traceImageScaleY), kF32, 1, 1},
    {"drawSetting1", offsetof(DocState, drawSetting1), kU8, 1, 1},
    {"showCallouts", offsetof(DocState, showCallouts), kU8, 1, 1},
    {"drawSetting2", offsetof(DocState, drawSetting2), kU8, 1, 1},
    {"foundationColor1.red", offsetof(DocState, foundationColor1.red), kU16, 1, 1},
    {"foundationColor1.green", offsetof(DocState, foundationColor1.green), kU16, 1, 1},
    {"foundationColor1.blue", offsetof(DocState, foundationColor1.blue), kU16, 1, 1},
    {"foundationColor2.red", offsetof(DocState, foundationColor2.red), kU16, 1, 1},
    {"foundationColor2.green", offsetof(DocState, foundationColor2.green), kU16, 1, 1},
    {"foundationColor2.blue", offsetof(DocState, foundationColor2.blue), kU16, 1, 1},
    {"renderSetting1", offsetof(DocState, renderSetting1), kU8, 1, 1},
    {"plantShadowSetting", offsetof(DocState, plantShadowSetting), kF32, 1, 1},
    {"setting153", offsetof(DocState, setting153), kF32, 1, 1},
    {"setting154", offsetof(DocState, setting154), kF32, 1, 1},
    {"setting155", offsetof(DocState, setting155), kF32, 1, 1},
    {"renderSetting3", offsetof(DocState, renderSetting3), kI32, 1, 1},
    {"viewSetting11", offsetof(DocState, viewSetting11), kF32, 1, 1},
    {"studSpacing", offsetof(DocState, studSpacing), kF32, 1, 1},
    {"setting159", offsetof(DocState, setting159), kF32, 1, 1},
    {"setting160", offsetof(DocState, setting160), kF32, 1, 1},
    {"setting161", offsetof(DocState, setting161), kF32, 1, 1},
    {"renderSetting2", offsetof(DocState, renderSetting2), kI32, 1, 1},
    {"setting163", offsetof(DocState, setting163), kI32, 1, 1},
    {"documentChanged", offsetof(DocState, documentChanged), kI32, 1, 1},
    {"viewSetting2", offsetof(DocState, viewSetting2), kI32, 1, 1},
    {"deckHeight", offsetof(DocState, deckHeight), kF32, 1, 2},
    {"deckIncludeRails", offsetof(DocState, deckIncludeRails), kU8, 1, 2},
    {"deckRailHeight", offsetof(DocState, deckRailHeight), kF32, 1, 2},
    {"deckSetting1", offsetof(DocState, deckSetting1), kF32, 1, 2},
    {"deckSkirting", offsetof(DocState, deckSkirting), kU8, 1, 2},
    {"deckStepSetting1", offsetof(DocState, deckStepSetting1), kU8, 1, 2},
    {"deckStepLeftRail", offsetof(DocState, deckStepLeftRail), kU8, 1, 2},
    {"deckStepRightRail", offsetof(DocState, deckStepRightRail), kU8, 1, 2},
    {"deckStepWidth", offsetof(DocState, deckStepWidth), kF32, 1, 2},
    {"deckStepSetting2", offsetof(DocState, deckStepSetting2), kF32, 1, 2},
    {"currentPlanMask", offsetof(DocState, currentPlanMask), kI32, 1, 3},
    {"planMasks", offsetof(DocState, planMasks), kI32, 9, 3},
    {"newObjectPlanMask", offsetof(DocState, newObjectPlanMask), kI32, 1, 3},
    {"viewSetting3", offsetof(DocState, viewSetting3), kU16, 1, 3},
    {"shadowsOn", offsetof(DocState, shadowsOn), kU8, 1, 3},
    {"viewSetting4", offsetof(DocState, viewSetting4), kI16, 1, 3},
    {"baseElevation", offsetof(DocState, baseElevation), kF32, 1, 3},
    {"selectionState40.ssStateFresh", offsetof(DocState, selectionState40.ssStateFresh), kU8, 1, 3},
    {"selectionState40.ssBaseElevation", offsetof(DocState, selectionState40.ssBaseElevation), kU8, 1, 3},
    {"selectionState40.ssBaseElevationValue", offsetof(DocState, selectionState40.ssBaseElevationValue), kF32, 1, 3},
    {"shadowQualityFlag", offsetof(DocState, shadowQualityFlag), kU8, 1, 3},
    {"shadowQuality", offsetof(DocState, shadowQuality), kI16, 1, 3},
    {"exteriorWallSetting", offsetof(DocState, exteriorWallSetting), kF32, 1, 3},
    {"beamSetting1", offsetof(DocState, beamSetting1), kF32, 1, 3},
    {"beamSetting2", offsetof(DocState, beamSetting2), kF32, 1, 3},
    {"pierSetting", offsetof(DocState, pierSetting), kF32, 1, 3},
    {"floorThickness", offsetof(DocState, floorThickness), kF32, 1, 3},
    {"receptacleStyle1", offsetof(DocState, receptacleStyle1), kI32, 1, 3},
    {"receptacleStyle2", offsetof(DocState, receptacleStyle2), kI32, 1, 3},
    {"switchStyle1", offsetof(DocState, switchStyle1), kI32, 1, 3},
    {"switchStyle2", offsetof(DocState, switchStyle2), kI32, 1, 3},
    {"setting203", offsetof(DocState, setting203), kI32, 1, 3},
    {"bathTubSetting1", offsetof(DocState, bathTubSetting1), kF32, 1, 3},
    {"bathTubSetting2", offsetof(DocState, bathTubSetting2), kF32, 1, 3},
    {"spaTubSetting1", offsetof(DocState, spaTubSetting1), kF32, 1, 3},
    {"spaTubSetting2", offsetof(DocState, spaTubSetting2), kF32, 1, 3},
    {"showerSetting1", offsetof(DocState, showerSetting1), kF32, 1, 3},
    {"showerSetting2", offsetof(DocState, showerSetting2), kF32, 1, 3},
    {"airDuctSetting1", offsetof(DocState, airDuctSetting1), kF32, 1, 3},
    {"airDuctSetting2", offsetof(DocState, airDuctSetting2), kF32, 1, 3},
    {"lotSlope", offsetof(DocState, lotSlope), kF32, 1, 3},
    {"topographyWidth", offsetof(DocState, topographyWidth), kF32, 1, 3},
    {"setting214", offsetof(DocState, setting214), kI32, 1, 3},
    {"setting215", offsetof(DocState, setting215), kI32, 1, 4},
    {"setting216", offsetof(DocState, setting216), kI32, 1, 4},
    {"setting217", offsetof(DocState, setting217), kI32, 1, 4},
    {"setting218", offsetof(DocState, setting218), kI32, 1, 4},
    {"setting219", offsetof(DocState, setting219), kI32, 1, 4},
    {"setting220", offsetof(DocState, setting220), kU8, 1, 4},
    {"viewSetting5", offsetof(DocState, viewSetting5), kI32, 1, 5},
    {"soffitLeft", offsetof(DocState, soffitLeft), kU8, 1, 5},
    {"soffitRight", offsetof(DocState, soffitRight), kU8, 1, 5},
    {"soffitBase", offsetof(DocState, soffitBase), kU8, 1, 5},
    {"soffitSetting", offsetof(DocState, soffitSetting), kU8, 1, 5},
    {"includeSoffits", offsetof(DocState, includeSoffits), kU8, 1, 5},
    {"roofSetting1", offsetof(DocState, roofSetting1), kU8, 1, 5},
    {"soffitDepth", offsetof(DocState, soffitDepth), kF32, 1, 5},
    {"viewSetting13", offsetof(DocState, viewSetting13), kI32, 1, 5},
    {"cutAwayPlane", offsetof(DocState, cutAwayPlane), kI16, 1, 5},
    {"excavationDepth", offsetof(DocState, excavationDepth), kF32, 1, 5},
    {"wallSetting2", offsetof(DocState, wallSetting2), kF32, 1, 5},
    {"lotTextureScale.x", offsetof(DocState, lotTextureScale.x), kI16, 1, 5},
    {"lotTextureScale.y", offsetof(DocState, lotTextureScale.y), kI16, 1, 5},
    {"perimeterTextureScale.x", offsetof(DocState, perimeterTextureScale.x), kI16, 1, 5},
    {"perimeterTextureScale.y", offsetof(DocState, perimeterTextureScale.y), kI16, 1, 5},
    {"perimeterColor.red", offsetof(DocState, perimeterColor.red), kU16, 1, 6},
    {"perimeterColor.green", offsetof(DocState, perimeterColor.green), kU16, 1, 6},
    {"perimeterColor.blue", offsetof(DocState, perimeterColor.blue), kU16, 1, 6},
    {"nextObjectID", offsetof(DocState, nextObjectID), kU32, 1, 6},
    {"nextPointID", offsetof(DocState, nextPointID), kU32, 1, 6},
    {"font.lfHeight", offsetof(DocState, font.lfHeight), kI32, 1, 6},
    {"font.lfWidth", offsetof(DocState, font.lfWidth), kI32, 1, 6},
    {"font.lfEscapement", offsetof(DocState, font.lfEscapement), kI32, 1, 6},
    {"font.lfOrientation", offsetof(DocState, font.lfOrientation), kI32, 1, 6},
    {"font.lfWeight", offsetof(DocState, font.lfWeight), kI32, 1, 6},
    {"font.lfItalic", offsetof(DocState, font.lfItalic), kU8, 1, 6},
    {"font.lfUnderline", offsetof(DocState, font.lfUnderline), kU8, 1, 6},
    {"font.lfStrikeOut", offsetof(DocState, font.lfStrikeOut), kU8, 1, 6},
    {"font.lfCharSet", offsetof(DocState, font.lfCharSet), kU8, 1, 6},
    {"font.lfOutPrecision", offsetof(DocState, font.lfOutPrecision), kU8, 1, 6},
    {"font.lfClipPrecision", offsetof(DocState, font.lfClipPrecision), kU8, 1, 6},
    {"font.lfQuality", offsetof(DocState, font.lfQuality), kU8, 1, 6},
    {"font.lfPitchAndFamily", offsetof(DocState, font.lfPitchAndFamily), kU8, 1, 6},
    {"font.lfFaceName", offsetof(DocState, font.lfFaceName), kCHARS, 32, 6},
    {"flyAltitude", offsetof(DocState, flyAltitude), kF32, 1, 6},
    {"walkElevation", offsetof(DocState, walkElevation), kF32, 1, 6},
    {"lookOffset.floatH", offsetof(DocState, lookOffset.floatH), kF32, 1, 6},
    {"lookOffset.floatV", offsetof(DocState, lookOffset.floatV), kF32, 1, 6},
    {"planColors[0].red", offsetof(DocState, planColors[0].red), kU16, 1, 6},
    {"planColors[0].green", offsetof(DocState, planColors[0].green), kU16, 1, 6},
    {"planColors[0].blue", offsetof(DocState, planColors[0].blue), kU16, 1, 6},
    {"dimColor.red", offsetof(DocState, dimColor.red), kU16, 1, 6},
    {"dimColor.green", offsetof(DocState, dimColor.green), kU16, 1, 6},
    {"dimColor.blue", offsetof(DocState, dimColor.blue), kU16, 1, 6},
    {"planColors[2].red", offsetof(DocState, planColors[2].red), kU16, 1, 6},
    {"planColors[2].green", offsetof(DocState, planColors[2].green), kU16, 1, 6},
    {"planColors[2].blue", offsetof(DocState, planColors[2].blue), kU16, 1, 6},
    {"planColors[3].red", offsetof(DocState, planColors[3].red), kU16, 1, 6},
    {"planColors[3].green", offsetof(DocState, planColors[3].green), kU16, 1, 6},
    {"planColors[3].blue", offsetof(DocState, planColors[3].blue), kU16, 1, 6},
    {"planColors[4].red", offsetof(DocState, planColors[4].red), kU16, 1, 6},
    {"planColors[4].green", offsetof(DocState, planColors[4].green), kU16, 1, 6},
    {"planColors[4].blue", offsetof(DocState, planColors[4].blue), kU16, 1, 6},
    {"planColors[5].red", offsetof(DocState, planColors[5].red), kU16, 1, 6},
    {"planColors[5].green", offsetof(DocState, planColors[5].green), kU16, 1, 6},
    {"planColors[5].blue", offsetof(DocState, planColors[5].blue), kU16, 1, 6},
    {"planColors[6].red", offsetof(DocState, planColors[6].red), kU16, 1, 6},
    {"planColors[6].green", offsetof(DocState, planColors[6].green), kU16, 1, 6},
    {"planColors[6].blue", offsetof(DocState, planColors[6].blue), kU16, 1, 6},
    {"planColors[7].red", offsetof(DocState, planColors[7].red), kU16, 1, 6},
    {"planColors[7].green", offsetof(DocState, planColors[7].green), kU16, 1, 6},
    {"planColors[7].blue", offsetof(DocState, planColors[7].blue), kU16, 1, 6},
    {"planColors[8].red", offsetof(DocState, planColors[8].red), kU16, 1, 6},
    {"planColors[8].green", offsetof(DocState, planColors[8].green), kU16, 1, 6},
    {"planColors[8].blue", offsetof(DocState, planColors[8].blue), kU16, 1, 6},
    {"snapOffset", offsetof(DocState, snapOffset), kF32, 1, 6},
    {"wallSetting3", offsetof(DocState, wallSetting3), kF32, 1, 7},
    {"wallSetting8", offsetof(DocState, wallSetting8), kI16, 1, 7},
    {"wallSetting9", offsetof(DocState, wallSetting9), kF32, 1, 7},
    {"wallSetting10", offsetof(DocState, wallSetting10), kF32, 1, 7},
    {"wallSetting4", offsetof(DocState, wallSetting4), kF32, 1, 7},
    {"wallSetting5", offsetof(DocState, wallSetting5), kF32, 1, 7},
    {"wallDisplayFlags", offsetof(DocState, wallDisplayFlags), kI32, 1, 7},
    {"wallDimensionFrom", offsetof(DocState, wallDimensionFrom), kI16, 1, 7},
    {"wallStyle", offsetof(DocState, wallStyle), kI32, 1, 7},
    {"wallFoundation", offsetof(DocState, wallFoundation), kI32, 1, 7},
    {"doorSetting1", offsetof(DocState, doorSetting1), kF32, 1, 7},
    {"stairHeight", offsetof(DocState, stairHeight), kF32, 1, 7},
    {"stairSetting1", offsetof(DocState, stairSetting1), kU8, 1, 7},
    {"lightFlag", offsetof(DocState, lightFlag), kU8, 1, 7},
    {"lightType", offsetof(DocState, lightType), kI32, 1, 7},
    {"lightDimmer", offsetof(DocState, lightDimmer), kI32, 1, 7},
    {"lightRadius", offsetof(DocState, lightRadius), kI32, 1, 7},
    {"lightFalloff", offsetof(DocState, lightFalloff), kI32, 1, 7},
    {"lightAmbient", offsetof(DocState, lightAmbient), kU8, 1, 7},
    {"lightOn", offsetof(DocState, lightOn), kU8, 1, 7},
    {"roofElevationRef", offsetof(DocState, roofElevationRef), kI16, 1, 7},
    {"deckOpenSteps", offsetof(DocState, deckOpenSteps), kU8, 1, 7},
    {"pathStyle", offsetof(DocState, pathStyle), kI16, 1, 7},
    {"detailEditLevel", offsetof(DocState, detailEditLevel), kI32, 1, 7},
    {"detailDisplayDims", offsetof(DocState, detailDisplayDims), kI32, 1, 7},
    {"setting277", offsetof(DocState, setting277), kI32, 1, 7},
    {"shadowSetting1", offsetof(DocState, shadowSetting1), kI16, 1, 7},
    {"sunShadows", offsetof(DocState, sunShadows), kU8, 1, 7},
    {"sunAngle1", offsetof(DocState, sunAngle1), kF32, 1, 7},
    {"sunAngle2", offsetof(DocState, sunAngle2), kF32, 1, 7},
    {"sunSetting1", offsetof(DocState, sunSetting1), kI16, 1, 7},
    {"sunSetting2", offsetof(DocState, sunSetting2), kI16, 1, 7},
    {"viewSetting14", offsetof(DocState, viewSetting14), kF32, 1, 7},
    {"viewSetting6", offsetof(DocState, viewSetting6), kF32, 1, 7},
    {"path1", offsetof(DocState, path1), kCHARS, 512, 8},
    {"path2", offsetof(DocState, path2), kCHARS, 512, 8},
    {"fenceParam1", offsetof(DocState, fenceParam1), kF32, 1, 8},
    {"fenceParam2", offsetof(DocState, fenceParam2), kF32, 1, 8},
    {"fenceParam4", offsetof(DocState, fenceParam4), kF32, 1, 8},
    {"fenceParam3", offsetof(DocState, fenceParam3), kF32, 1, 8},
    {"fenceParam5", offsetof(DocState, fenceParam5), kF32, 1, 8},
    {"topoGridSpacing", offsetof(DocState, topoGridSpacing), kF32, 1, 8},
    {"topoFlag1", offsetof(DocState, topoFlag1), kU8, 1, 8},
    {"topoFlag2", offsetof(DocState, topoFlag2), kU8, 1, 8},
    {"topoPath", offsetof(DocState, topoPath), kCHARS, 512, 8},
    {"generalSetting2", offsetof(DocState, generalSetting2), kI32, 1, 8},
    {"generalSetting3", offsetof(DocState, generalSetting3), kI32, 1, 8},
    {"generalSetting4", offsetof(DocState, generalSetting4), kI32, 1, 8},
    {"glowFlag", offsetof(DocState, glowFlag), kU8, 1, 9},
    {"skylightStyle", offsetof(DocState, skylightStyle), kI16, 1, 9},
    {"skylightWidth", offsetof(DocState, skylightWidth), kF32, 1, 9},
    {"skylightLength", offsetof(DocState, skylightLength), kF32, 1, 9},
    {"skylightSetting1", offsetof(DocState, skylightSetting1), kF32, 1, 9},
    {"generalSetting1", offsetof(DocState, generalSetting1), kI32, 1, 9},
    {"showTopoLines", offsetof(DocState, showTopoLines), kU8, 1, 9},
    {"topoLineColor.red", offsetof(DocState, topoLineColor.red), kU16, 1, 9},
    {"topoLineColor.green", offsetof(DocState, topoLineColor.green), kU16, 1, 9},
    {"topoLineColor.blue", offsetof(DocState, topoLineColor.blue), kU16, 1, 9},
    {"imperialReadout", offsetof(DocState, imperialReadout), kI16, 1, 9},
    {"metricReadout", offsetof(DocState, metricReadout), kI16, 1, 9},
    {"angleReadout", offsetof(DocState, angleReadout), kI16, 1, 9},
    {"setting311", offsetof(DocState, setting311), kF32, 1, 9},
    {"viewSetting7", offsetof(DocState, viewSetting7), kU8, 1, 9},
    {"viewSetting8", offsetof(DocState, viewSetting8), kU8, 1, 9},
    {"viewSetting9", offsetof(DocState, viewSetting9), kU8, 1, 9},
    {"navigationSubMode", offsetof(DocState, navigationSubMode), kU8, 1, 9},
    {"viewSetting10", offsetof(DocState, viewSetting10), kU8, 1, 9},
    {"currentLiveViewName", offsetof(DocState, currentLiveViewName), kCHARS, 128, 9},
    {"sceneSetting1", offsetof(DocState, sceneSetting1), kU8, 1, 9},
    {"sceneColor.red", offsetof(DocState, sceneColor.red), kU16BE, 1, 10},
    {"sceneColor.green", offsetof(DocState, sceneColor.green), kU16BE, 1, 10},
    {"sceneColor.blue", offsetof(DocState, sceneColor.blue), kU16BE, 1, 10},
    {"setting320.red", offsetof(DocState, setting320.red), kU16BE, 1, 10},
    {"setting320.green", offsetof(DocState, setting320.green), kU16BE, 1, 10},
    {"setting320.blue", offsetof(DocState, setting320.blue), kU16BE, 1, 10},
};
#pragma GCC diagnostic pop

inline constexpr int kLayoutCount = 11;
inline constexpr int32_t kLayoutVersions[kLayoutCount] = {10000, 10300, 10350, 10400, 10410, 10450,
                                                   10500, 10700, 10800, 10900, 11100};
inline constexpr uint32_t kLayoutLengths[kLayoutCount] = {794, 1418, 1444, 1592, 1614, 1650,
                                                   1798, 1904, 3478, 3650, 3662};
inline constexpr uint32_t kZeroOffsets[] = {31,   143,  153,  407,  421,  719,  723,  741,  1335, 1347,
                                     1361, 1423, 1491, 1505, 1613, 1865, 1883, 3479, 3499, 191,
                                     199,  203,  211,  215,  219,  223,  227,  231};

inline int LayoutOfVersion(int32_t v) {
  switch (v) {
    case 10351: return 2;
    case 10701: case 10750: return 7;
    case 11000: return 9;
    default:
      for (int i = 0; i < kLayoutCount; i++)
        if (kLayoutVersions[i] == v) return i;
      return -1;
  }
}

inline size_t ElementSize(Kind k) {
  switch (k) {
    case kU8: case kCHARS: return 1;
    case kI16: case kU16: case kU16BE: return 2;
    default: return 4;
  }
}

inline bool IsZeroOffset(uint32_t off) {
  for (uint32_t z : kZeroOffsets)
    if (z == off) return true;
  return false;
}

// The block of `layout` for src; fieldOffsets (if given) receives each field's block offset.
inline Bytes BuildBlock(const DocState& src, int layout, std::vector<uint32_t>* fieldOffsets = nullptr) {
  Bytes out;
  const auto* base = reinterpret_cast<const uint8_t*>(&src);
  for (const FieldRow& f : kFields) {
    if (f.layout > layout) break;
    while (IsZeroOffset(static_cast<uint32_t>(out.size()))) out.push_back(0);
    if (fieldOffsets) fieldOffsets->push_back(static_cast<uint32_t>(out.size()));
    const size_t size = ElementSize(f.kind);
    for (int i = 0; i < f.count; i++) {
      const uint8_t* p = base + f.offset + i * size;
      uint32_t v = 0;
      memcpy(&v, p, size);  // host order is little-endian here
      if (f.kind == kCHARS || f.kind == kU8) {
        out.push_back(*p);
      } else if (f.kind == kU16BE) {
        out.push_back(uint8_t(v >> 8));
        out.push_back(uint8_t(v));
      } else {
        for (size_t b = 0; b < size; b++) out.push_back(uint8_t(v >> (8 * b)));
      }
    }
  }
  while (IsZeroOffset(static_cast<uint32_t>(out.size()))) out.push_back(0);
  return out;
}

inline Bytes Framed(const Bytes& block, int32_t framing = 0x7FFFFFFF) {
  Bytes out = {uint8_t(framing >> 24), uint8_t(framing >> 16), uint8_t(framing >> 8), uint8_t(framing)};
  out.insert(out.end(), block.begin(), block.end());
  return out;
}

// A record whose every field holds its own value, neutral to every repair.
inline void FillDistinct(DocState* d) {
  auto* base = reinterpret_cast<uint8_t*>(d);
  int n = 0;
  for (const FieldRow& f : kFields) {
    uint8_t* p = base + f.offset;
    for (int i = 0; i < (f.kind == kCHARS ? 1 : f.count); i++, n++) {
      switch (f.kind) {
        case kU8: p[i] = uint8_t(n % 250 + 1); break;
        case kI16: { int16_t v = int16_t(-(n + 3)); memcpy(p + 2 * i, &v, 2); break; }
        case kU16: case kU16BE: { uint16_t v = uint16_t(0x1234 + n * 7); memcpy(p + 2 * i, &v, 2); break; }
        case kI32: { int32_t v = -1000000 - n * 13; memcpy(p + 4 * i, &v, 4); break; }
        case kU32: { uint32_t v = 3000000000u + n; memcpy(p + 4 * i, &v, 4); break; }
        case kF32: { float v = n + 0.25f; memcpy(p + 4 * i, &v, 4); break; }
        case kCHARS:
          memset(p, 0, f.count);
          snprintf(reinterpret_cast<char*>(p), f.count, "%s-%d", f.name, n);
          break;
      }
    }
  }
  d->planMasks[8] |= 0x100;
  d->viewSetting13 = 0;
  d->viewSetting2 = 0;
  d->soffitLeft = d->soffitRight = d->drawSetting2 = 0;
  d->wallSetting2 = 42.0f;
  d->renderSetting1 = 0;
  d->shadowQuality = 5;
  d->studSpacing = 16.0f;
  d->documentChanged = 0;
  d->setting159 = 1.0f;
  d->backgroundTextureID = 1550;
  d->lotTextureID = 1158;
  d->background3DColor = d->lotColor = {65535, 65535, 65535};
}

// Names of the fields (table rows) whose bytes differ between a and b.
inline std::string DifferingFields(const DocState& a, const DocState& b) {
  std::string out;
  const auto* pa = reinterpret_cast<const uint8_t*>(&a);
  const auto* pb = reinterpret_cast<const uint8_t*>(&b);
  for (const FieldRow& f : kFields)
    if (memcmp(pa + f.offset, pb + f.offset, ElementSize(f.kind) * f.count) != 0) out += std::string(f.name) + " ";
  return out;
}

// Defaults, then the fields of every layout up to `layout` from src.
inline DocState* ExpectedAfterReading(const DocState& src, int layout) {
  DocState* e = CreateDocState();
  const auto* s = reinterpret_cast<const uint8_t*>(&src);
  auto* d = reinterpret_cast<uint8_t*>(e);
  for (const FieldRow& f : kFields)
    if (f.layout <= layout) memcpy(d + f.offset, s + f.offset, ElementSize(f.kind) * f.count);
  if (layout >= 2) e->planMasks[8] |= 0x100;
  return e;
}

}  // namespace docstate_builder
