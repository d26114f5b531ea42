// Bicubic Hermite patches built from four points: the basis matrices, the patch
// coefficients and the evaluation of a surface point.
#pragma once

struct Poinz;

using Matrix4 = float[4][4];

// The Hermite basis [2 -2 1 1; -3 3 -2 -1; 0 0 1 0; 1 0 0 0] and its transpose.
void BuildMatrixM(Matrix4 m);
void BuildMatrixMT(Matrix4 mt);

// Geometry matrices of the patch whose corners are a (s 0, t 0), b (s 0, t 1), c (s 1, t 0)
// and d (s 1, t 1), one per coordinate. Rows: values and t-tangents at s 0, the same at s 1,
// the s-tangents at s 0 and at s 1; columns: value at t 0, at t 1, t-tangent at t 0, at t 1;
// twists zero. The plain form takes every tangent from the handles:
//   [a.pos, b.pos, a.out, b.in], [c.pos, d.pos, -c.in, -d.out], [-a.in, b.out, 0, 0],
//   [-c.out, d.in, 0, 0];
// the linked form (extruded and revolved surfaces) takes the t-tangents from the link vectors:
//   [a.pos, b.pos, a.link, b.link], [c.pos, d.pos, c.link, d.link], [a.out, b.out, 0, 0],
//   [c.in, d.in, 0, 0].
// Nothing when an argument is null.
void BuildBMatrices(Matrix4 gx, Matrix4 gy, Matrix4 gz, const Poinz* a, const Poinz* b, const Poinz* c,
                    const Poinz* d);
void BuildBLinkMatrices(Matrix4 gx, Matrix4 gy, Matrix4 gz, const Poinz* a, const Poinz* b,
                        const Poinz* c, const Poinz* d);

// Coefficient matrices K = M × G × MT for x, y and z of the patch of p1 = a, p2 = b, p3 = c,
// p4 = d (above), linked or plain; the edge t = 0 of a linked patch is the cubic Hermite
// segment from p1 to p3. xB, yB, zB receive the geometry matrices and mResult is scratch.
void EstablishSurface(Matrix4 xB, Matrix4 yB, Matrix4 zB, const Matrix4 m, const Matrix4 mt,
                      Matrix4 mResult, Matrix4 xResult, Matrix4 yResult, Matrix4 zResult,
                      const Poinz* p1, const Poinz* p2, const Poinz* p3, const Poinz* p4, int linked);

// [s³ s² s 1] × coefficients × [t³ t² t 1]ᵀ per coordinate; sVector and tVector receive the powers.
void ComputeSurfacePoint(const Matrix4 xResult, const Matrix4 yResult, const Matrix4 zResult,
                         float sVector[4], float tVector[4], float s, float t, float* x, float* y,
                         float* z);

// S = [s³ s² s 1], T = [t³ t² t 1].
void Setst(float sVector[4], float tVector[4], float s, float t);
// r = a × b (row-major); r is zeroed first and may not be a or b.
void Multiply4X4Matrix(const Matrix4 a, const Matrix4 b, Matrix4 r);
// Row vector times matrix: r = v × a.
void MultiplyVector4X4(const float v[4], const Matrix4 a, float r[4]);
// The four-component dot product u · v; 0 when either is null.
float CrossVectorMultiply(const float u[4], const float v[4]);
// Partial derivatives of one coordinate at (s, t): ds = [3s² 2s 1 0] K T, dt = S K [3t² 2t 1 0].
void ComputePartialDifferential(const Matrix4 k, float s, float t, float* ds, float* dt);
// Surface normal from the partials at (s + 0.01, t + 0.01), turned into the current view.
void ComputeSurfaceNormal(const Matrix4 kx, const Matrix4 ky, const Matrix4 kz, float s, float t,
                          float* nx, float* ny, float* nz);
// (dxs, dys, dzs) × (dxt, dyt, dzt), turned into the current view.
void ComputeNormal(float dxs, float dys, float dzs, float dxt, float dyt, float dzt, float* nx,
                   float* ny, float* nz);
// The vector through the current view transform (view angles and offsets).
void AdjustNormalForIsoView(float* x, float* y, float* z);
