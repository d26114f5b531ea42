// Elementary 2D transforms of one point, unit conversion between inches, world
// units and plan units, and the zoom arithmetic of the current document.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct DocState;
struct Poinz;

void Translate(float* x, float* y, float dx, float dy);
float GetTranslate(float a, float b);
void Scale(float* x, float* y, float cx, float cy, float sx, float sy);
float GetScale(float a, float b, float c);
// Two-axis shear about (cx, cy) that carries (ax, ay) onto (bx, by).
void Shear(float ax, float ay, float bx, float by, float* x, float* y, float cx, float cy);
// Rotation about (cx, cy); a positive angle turns counter-clockwise on the screen.
void Rotate(float* x, float* y, float cx, float cy, float angle);
float GetRotate(float a, float b);

// Truncation toward zero into the 32-bit range: a value beyond it gives the nearest end, one
// that is not a number 0 (a value read from a file can be either).
int32_t TruncToInt32(double v);

float ConvertMMToInches(float v);
float ConvertInchesToMM(float v);
float ConvertCMToInches(float v);
float ConvertInchesToCM(float v);
float ConvertDMToInches(float v);
float ConvertInchesToDM(float v);
float ConvertMetersToInches(float v);
float ConvertInchesToMeters(float v);
float ConvertFeetToInches(float v);
float ConvertInchesToFeet(float v);
float ConvertYardsToInches(float v);
float ConvertInchesToYards(float v);
float ConvertMilesToInches(float v);
float ConvertInchesToMiles(float v);
float ConvertInchesToPixels(float v);

// The plan scale to compute with: planScale when it is a usable positive number, else 36.
float UsablePlanScale(const DocState* docState);
// A length in world units to plan units (72 per planScale inches), zoomed when asked.
float ConvertWorldToScreen(float value, const DocState* docState, int zoom);
float ConvertScreenToWorld(float value, const DocState* docState, int zoom);

// The current document's zoom factor as used: 1 without a document; a factor that
// is not a finite positive number counts as 1; others are kept within [0.001, 1000].
float CurrentZoomFactor();
float ZoomF(float v);
float UnzoomF(float v);
int32_t ZoomL(int32_t v);
int32_t UnzoomL(int32_t v);
void ZoomFRect(FloatRect* rect);
void UnzoomFRect(FloatRect* rect);
void ZoomLRect(RECT* rect);
// As ZoomLRect, each field reduced to a signed 16-bit value.
void ZoomRect(RECT* rect);
void ZoomPoinz(Poinz* point);
float GetMinZoom();
// Clamps the zoom factor so the plan extents stay within 32000 screen units; 1 when clamped.
int PinMaxZoom(DocState* docState);
