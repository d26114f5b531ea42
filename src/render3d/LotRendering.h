// The ground of the 3D view: the lot over the plan rectangle, flat or shaped by the
// topography grid, with its earth block under it. At final quality the shaped lot is one
// polygon per grid cell, and cells that a cut-out touches are trimmed bilinear NURBS patches;
// in real time it is plain polygons kept in display lists.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct DocState;

void RenderGLLot();
void RenderGLFlatLot();
void RenderGLLotBase();
void RTRenderGLLot();
void RTRenderGLFlatLot();
void RTRenderGLLotBase();
// 1 when there is no grid or every node height is exactly 0 (a NaN is not flat).
int16_t IsTopoGridZeroFlat();

// The earth colour of the lot base (bytes) and the real-time lot colour from speed 9.
constexpr uint8_t kEarthRed = 72, kEarthGreen = 56, kEarthBlue = 0;
constexpr RGBColor kRealTimeLotGreen{16448, 30840, 12336};

// The lot's base value V0 for the brightness setting (0.7833 at the default 1.2).
float LotBaseValue(float lightBrightness);

// GLU NURBS errors met while drawing trimmed lot patches since the program started; each such
// patch is drawn as its plain cell instead.
int32_t LotNurbsErrorCount();
// Trimmed patches drawn by the last RenderGLLot (cells a usable cut-out touches).
int32_t LotTrimmedPatchCount();
