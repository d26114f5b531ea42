// Every object type a design file can hold, then codes between and beyond them: the tests
// that draw or build each kind, including kinds no tool makes, walk this list.
#pragma once

#include <cstdint>

#include "model/Records.h"

inline constexpr int16_t kEveryObjectKind[] = {
    kObjRect, kObjOval, kObjMultigon, kObjArc, kObjLine, kObjClosedPoly, kObjOpenPoly, kObjWallFace, kObjWallEdge,
    kObjWall, kObjFloor, kObjRoof, kObjSymbolPart3D, kObjDoor, kObjWindow, kObjAccessoryFace, kObjSeparatorFace,
    kObjFace, kObjPropertyLine, kObjPath, kObjPathSurface, kObjEdging, kObjFence, kObjFill, kObjGroundFill, kObjPlant,
    kObjDetail, kObjTopography, kObjSymbolPart2D, kObjRoofPlane, kObjRoofGablePart, kObjWallFloorPass,
    kObjStaircase, kObjRailPart, kObjStairStepPart, kObjRoofHipPart, kObjStairLandingPart, kObjStairTread,
    kObjSpindle, kObjRailing, kObjWallCeilingPass, kObjFloorSecondPass, kObjCutout, kObjDeck, kObjSkirting,
    kObjDeckSteps, kObjComponent, kObjRoofPanel, kObjRoofSlopeArrow, kObjRoofPanelFace, kObjSkylightOutline,
    kObjEntireLot, kObjAngleDim, kObjDiameterDim, kObjLeaderDim, kObjAttachedSymbolPart, kObjQuickWall,
    kObjFoundationBeam, kObjFoundationPier, kObjFoundationStrand, kObjAirDuct, kObjSprinkler, kObjCutoutFirstPass,
    kObjDoorLeafFace, kObjFoundationSlope, kObjPhotoView, kObjPhotoSurface, kObjSlopeLotSection,
    kObjTopoExcavation, kObjExcavationPass, kObjCabinet, kObjDimLine, kObjCabinetPass, kObjWall3DChild,
    kObjOffsetDim, kObjOffsetDimHorizontal, kObjLengthDim, kObjDynamicText, kObjText, kObjAccessory,
    kObjCustomAttachmentPart, kObjSkylight, kObjDormerCutout, kObjDimensionInfo, kObjFrameFace, kObjGroup,
    // No kind has these.
    0, 3, 7, 33, 100, 999, -1, 32767};
