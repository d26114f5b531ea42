// The foundation palette's tools (perimeter walls, stiffener beams, piers, post-tension strands,
// slope arrows) and the HVAC palette's air duct tool.
#pragma once
#include <cstdint>

// Each takes the window point, the constrained plan point and the stage 1/2/3.
void TrackFoundation(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackFoundationBeam(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackFoundationPier(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackFoundationTension(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackFoundationSlope(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
void TrackHVACDuct(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
