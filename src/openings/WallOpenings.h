// Finishing one face of a wall in the 3D model: its segment and side, the side's material, the
// doors and windows cut into it with their casings, the side's trims, the outline of the
// segment's height mode and the step faces where neighbouring segments differ in height.
// A curved face reaches it strip by strip: each strip takes its share of the openings, which
// are placed along the segment's chord, and the side's trims along it.
// The face builder reaches openings::CarveWindowsAndDoors through CarveWindowsAndDoors
// (building3d/WallFaceFinish.h), where InstallOpeningsServices puts it.
#pragma once
#include <cstdint>
#include <vector>

#include "model/Services.h"

struct Plane;
namespace openings {
// Face `faceIndex` of the wall's generated body `part`, with its four corners, on `plane`.
void CarveWindowsAndDoors(Objex* part, Objex* wall, Poinz* bottomStart, Poinz* topStart, Poinz* bottomEnd,
                          Poinz* topEnd, int32_t faceIndex, Plane* plane);
}  // namespace openings

struct DoorWindowData;
struct Objex;
struct Poinz;

// Grey of the step faces between segments of different heights.
constexpr uint16_t kStepFaceGrey = 57568;
// Framing view materials of wall faces.
constexpr int32_t kFramingFaceTexture = 2202;

// The attachments of the wall anchored on the segment that starts at `start`, by start distance
// (ascending on side 0, descending on side 1; equal distances keep the order of the wall's
// children). Their records' sort links are rewritten in that order.
std::vector<Objex*> SegmentOpenings(Objex* wall, Poinz* start, int16_t side);
