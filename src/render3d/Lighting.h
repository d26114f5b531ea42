// The renderer's lighting services: the fixed light direction, per-face shading of colour
// components, the Escape poll of long renders and the light pools of glowing fixtures.
#pragma once
#include <cstdint>

#include "model/ColorConversions.h"

struct PlaneObject;

// The light direction in degrees (90, 150, 0); nothing changes it.
extern float gLightXAngle, gLightYAngle, gLightZAngle;
extern float gLightXDegrees, gLightYDegrees, gLightZDegrees;
extern float gDirectionCosX, gDirectionCosY, gDirectionCosZ;
// gLiveViewOptions value that turns per-face shading on.
constexpr int32_t kLiveViewShading = 16;
// Render exclusion bit: no light pools.
constexpr int32_t kLVOffElectrical = 128;

// Copies the light angles and computes their direction cosines.
void SetupLights();
// Shades one 16-bit colour component by the face normal (n need not be unit length; a zero
// normal shades as a face turned edge-on to the light). Only darkens; acts only while shading
// is on, with both pointers and a current DocState. `scale` is not read; `colour` need only be non-null.
void ComputeShading(float scale, float nx, float ny, float nz, const void* colour,
                    uint16_t* component, int16_t noBrightness);
// 1 when the running render must stop (Escape was pressed in the 3D window), else 0.
int16_t BreakOpenRender();
// Lays the light pools of the glowing fixtures of the list over the finished frame.
void RenderLights(PlaneObject* list);
