// The tools that take their outline click by click (the shared corner loop), what each makes
// of it and the fewest corners it keeps; and the ways an entry ends.
#pragma once
#include <cstdint>

#include "model/Records.h"
#include "tools/ToolCodes.h"

struct OutlineTool {
  uint16_t tool;
  int16_t type;
  bool closed;
  int fewest = 2;
};
constexpr OutlineTool kOutlineTools[] = {
    {kToolFloor, kObjFloor, true, 3},
    {kToolFloorCutout, kObjCutout, true, 3},
    {kToolDeckCutout, kObjCutout, true, 3},
    {kToolDeckWithRailing, kObjDeck, true},
    {kToolDeckWithoutRailing, kObjDeck, true},
    {kToolPropertyLine, kObjPropertyLine, true, 3},
    {kToolFreehandRoof, kObjRoofPanel, true},
    {kToolFoundationPerimeter, kObjWall, true, 3},
    {kToolGroundFillRegion, kObjGroundFill, true, 3},
    {kToolCurvedTopography, kObjTopography, true},
    {kToolStraightEdgeTopography, kObjTopography, true},
    {kToolExcavateTopography, kObjTopoExcavation, true, 3},
    {kToolPolygon, kObjDetail, true},
    {kToolCurve, kObjDetail, true},
    {kToolEdging, kObjEdging, false},
    {kToolFence, kObjFence, false},
    {kToolPathwayDriveway, kObjPath, false},
    {kToolStraightStairway, kObjStaircase, false},
    {kToolDeckStraightStairway, kObjStaircase, false},
    {kToolStraightRailing, kObjRailing, false},
    {kToolDeckStraightRailing, kObjRailing, false},
    {kToolCurvedRailing, kObjRailing, false},
};

// The ways a user ends an outline entry.
enum class Ending { kDoubleClick, kRightClick, kEscape, kFirstPixel, kBesideFirst, kToolChosen };
inline const char* EndingName(Ending ending) {
  switch (ending) {
    case Ending::kDoubleClick: return "double click";
    case Ending::kRightClick: return "right click";
    case Ending::kEscape: return "Escape";
    case Ending::kFirstPixel: return "click on the first pixel";
    case Ending::kBesideFirst: return "click beside the first corner";
    case Ending::kToolChosen: return "another tool chosen";
  }
  return "";
}
