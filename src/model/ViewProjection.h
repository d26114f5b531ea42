// The view transform of the plan, elevation, isometric and perspective views: the
// rotation and its inverse, the perspective step, and the plane of the working grid.
#pragma once
#include <cstdint>

#include "model/Globals.h"

extern float gPiDiv180;
// Plane gGridC1·x + gGridC2·y + gGridC3·z = gGridCONST of the working grid in view space.
extern float gGridC1, gGridC2, gGridC3, gGridCONST;

// Forward view transform of a model point, in place.
void ComputeRotationAboutArbitraryAxis(float* x, float* y, float* z, float cosX, float sinX, float cosY,
                                       float sinY, float offsetX, float offsetY, float offsetZ);
// Inverse of ComputeRotationAboutArbitraryAxis.
void ComputeInverseRotationAboutArbitraryAxis(float* x, float* y, float* z, float cosX, float sinX,
                                              float cosY, float sinY, float offsetX, float offsetY,
                                              float offsetZ);
void AddPerspective(float* x, float* y, float* z, float distance, float dx, float dy, float dz);
void RemovePerspective(float* x, float* y, float* z, float distance, float dx, float dy, float dz);
// Optional zoom of the point (not of the offsets), then the forward transform.
void ConversionToIsometric(float* x, float* y, float* z, float cosX, float sinX, float cosY, float sinY,
                           float offsetX, float offsetY, float offsetZ, int zoom);
// Both ends of a line through the current view (zoomed), with perspective when asked.
void ConvertToIso(float* x1, float* y1, float* z1, float* x2, float* y2, float* z2, int perspective);
// Plane a·x + b·y + c·z = d through three points.
void CalcParametric(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                    float z3, float* a, float* b, float* c, float* d);
// z of the plane at (x, y); the numerator when c is 0.
float ComputePointOnPlane(float x, float y, float a, float b, float c, float d);
// Sines and cosines of the view angles (degrees), and the working grid's plane.
void SetUpForRotationAboutArbitraryAxis(float angleX, float angleY, float* cosX, float* sinX,
                                        float* cosY, float* sinY, int perspective);
// View depth at a screen point on the plane parallel to the grid through `coordinate`.
float ComputePointOnPlaneParallelToGrid(float x, float y, float coordinate);
