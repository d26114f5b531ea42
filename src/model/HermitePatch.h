// Bicubic Hermite patches built from four points: the basis matrices, the patch
// coefficients and the evaluation of a surface point.
#pragma once

struct Poinz;

using Matrix4 = float[4][4];

// The Hermite basis [2 -2 1 1; -3 3 -2 -1; 0 0 1 0; 1 0 0 0] and its transpose.
void BuildMatrixM(Matrix4 m);
void BuildMatrixMT(Matrix4 mt);

// Coefficient matrices M × G × MT for x, y and z of the patch whose corners are
// p1 (s 0, t 0), p2 (s 0, t 1), p3 (s 1, t 0) and p4 (s 1, t 1). Along s the
// tangents are the out handle at s 0 and the in handle at s 1; along t they are
// the link vectors (linked form) or the edge differences (plain form). The edge
// t = 0 is thus the cubic Hermite segment from p1 to p3. xB, yB, zB receive the
// geometry matrices and mResult is scratch.
void EstablishSurface(Matrix4 xB, Matrix4 yB, Matrix4 zB, const Matrix4 m, const Matrix4 mt,
                      Matrix4 mResult, Matrix4 xResult, Matrix4 yResult, Matrix4 zResult,
                      const Poinz* p1, const Poinz* p2, const Poinz* p3, const Poinz* p4, int linked);

// [s³ s² s 1] × coefficients × [t³ t² t 1]ᵀ per coordinate; sVector and tVector receive the powers.
void ComputeSurfacePoint(const Matrix4 xResult, const Matrix4 yResult, const Matrix4 zResult,
                         float sVector[4], float tVector[4], float s, float t, float* x, float* y,
                         float* z);
