// Bicubic Hermite patches built from four points: the basis matrices, the patch
// coefficients and the evaluation of a surface point.
#include "model/HermitePatch.h"

#include "model/Globals.h"
#include "model/Records.h"
#include "model/ViewProjection.h"

namespace {

constexpr float kHermiteBasis[4][4] = {{2, -2, 1, 1}, {-3, 3, -2, -1}, {0, 0, 1, 0}, {1, 0, 0, 0}};

}  // namespace

void BuildMatrixM(Matrix4 m) {
  if (!m) return;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m[i][j] = kHermiteBasis[i][j];
}

void BuildMatrixMT(Matrix4 mt) {
  if (!mt) return;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) mt[i][j] = kHermiteBasis[j][i];
}

namespace {

enum class Handle { kPosition, kIn, kOut, kLink };

float Of(const Poinz* p, Handle h, int axis) {
  switch (h) {
    case Handle::kPosition: return p->position[axis];
    case Handle::kIn: return p->inHandle[axis];
    case Handle::kOut: return p->outHandle[axis];
    case Handle::kLink: return p->linkVector[axis];
  }
  return 0;
}

}  // namespace

void BuildBMatrices(Matrix4 gx, Matrix4 gy, Matrix4 gz, const Poinz* a, const Poinz* b, const Poinz* c,
                    const Poinz* d) {
  if (!gx || !gy || !gz || !a || !b || !c || !d) return;
  float (*g[3])[4] = {gx, gy, gz};
  for (int axis = 0; axis < 3; ++axis) {
    auto v = [axis](const Poinz* p, Handle h) { return Of(p, h, axis); };
    const float rows[4][4] = {
        {v(a, Handle::kPosition), v(b, Handle::kPosition), v(a, Handle::kOut), v(b, Handle::kIn)},
        {v(c, Handle::kPosition), v(d, Handle::kPosition), -v(c, Handle::kIn), -v(d, Handle::kOut)},
        {-v(a, Handle::kIn), v(b, Handle::kOut), 0, 0},
        {-v(c, Handle::kOut), v(d, Handle::kIn), 0, 0}};
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) g[axis][i][j] = rows[i][j];
  }
}

void BuildBLinkMatrices(Matrix4 gx, Matrix4 gy, Matrix4 gz, const Poinz* a, const Poinz* b,
                        const Poinz* c, const Poinz* d) {
  if (!gx || !gy || !gz || !a || !b || !c || !d) return;
  float (*g[3])[4] = {gx, gy, gz};
  for (int axis = 0; axis < 3; ++axis) {
    auto v = [axis](const Poinz* p, Handle h) { return Of(p, h, axis); };
    const float rows[4][4] = {
        {v(a, Handle::kPosition), v(b, Handle::kPosition), v(a, Handle::kLink), v(b, Handle::kLink)},
        {v(c, Handle::kPosition), v(d, Handle::kPosition), v(c, Handle::kLink), v(d, Handle::kLink)},
        {v(a, Handle::kOut), v(b, Handle::kOut), 0, 0},
        {v(c, Handle::kIn), v(d, Handle::kIn), 0, 0}};
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) g[axis][i][j] = rows[i][j];
  }
}

void EstablishSurface(Matrix4 xB, Matrix4 yB, Matrix4 zB, const Matrix4 m, const Matrix4 mt,
                      Matrix4 mResult, Matrix4 xResult, Matrix4 yResult, Matrix4 zResult,
                      const Poinz* p1, const Poinz* p2, const Poinz* p3, const Poinz* p4, int linked) {
  if (!xB || !yB || !zB || !m || !mt || !mResult || !xResult || !yResult || !zResult) return;
  if (!p1 || !p2 || !p3 || !p4) return;
  if (linked)
    BuildBLinkMatrices(xB, yB, zB, p1, p2, p3, p4);
  else
    BuildBMatrices(xB, yB, zB, p1, p2, p3, p4);
  float (*geometry[3])[4] = {xB, yB, zB};
  float (*result[3])[4] = {xResult, yResult, zResult};
  for (int axis = 0; axis < 3; ++axis) {
    Multiply4X4Matrix(m, geometry[axis], mResult);
    Multiply4X4Matrix(mResult, mt, result[axis]);
  }
}

void ComputeSurfacePoint(const Matrix4 xResult, const Matrix4 yResult, const Matrix4 zResult,
                         float sVector[4], float tVector[4], float s, float t, float* x, float* y,
                         float* z) {
  if (!xResult || !yResult || !zResult || !sVector || !tVector || !x || !y || !z) return;
  Setst(sVector, tVector, s, t);
  const float (*coefficients[3])[4] = {xResult, yResult, zResult};
  float* out[3] = {x, y, z};
  for (int axis = 0; axis < 3; ++axis) {
    float row[4];
    MultiplyVector4X4(sVector, coefficients[axis], row);
    *out[axis] = CrossVectorMultiply(row, tVector);
  }
}

void Setst(float sVector[4], float tVector[4], float s, float t) {
  if (sVector) {
    sVector[0] = s * s * s;
    sVector[1] = s * s;
    sVector[2] = s;
    sVector[3] = 1;
  }
  if (tVector) {
    tVector[0] = t * t * t;
    tVector[1] = t * t;
    tVector[2] = t;
    tVector[3] = 1;
  }
}

void Multiply4X4Matrix(const Matrix4 a, const Matrix4 b, Matrix4 r) {
  if (!a || !b || !r) return;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r[i][j] = 0;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) r[i][j] += a[i][k] * b[k][j];
}

void MultiplyVector4X4(const float v[4], const Matrix4 a, float r[4]) {
  if (!v || !a || !r) return;
  for (int j = 0; j < 4; ++j) {
    float sum = 0;
    for (int k = 0; k < 4; ++k) sum += v[k] * a[k][j];
    r[j] = sum;
  }
}

float CrossVectorMultiply(const float u[4], const float v[4]) {
  if (!u || !v) return 0;
  return u[0] * v[0] + u[1] * v[1] + u[2] * v[2] + u[3] * v[3];
}

void ComputePartialDifferential(const Matrix4 k, float s, float t, float* ds, float* dt) {
  if (!k) return;
  float sVector[4], tVector[4], row[4];
  Setst(sVector, tVector, s, t);
  const float sDerivative[4] = {3 * s * s, 2 * s, 1, 0};
  const float tDerivative[4] = {3 * t * t, 2 * t, 1, 0};
  if (ds) {
    MultiplyVector4X4(sDerivative, k, row);
    *ds = CrossVectorMultiply(row, tVector);
  }
  if (dt) {
    MultiplyVector4X4(sVector, k, row);
    *dt = CrossVectorMultiply(row, tDerivative);
  }
}

void ComputeSurfaceNormal(const Matrix4 kx, const Matrix4 ky, const Matrix4 kz, float s, float t,
                          float* nx, float* ny, float* nz) {
  if (!kx || !ky || !kz || !nx || !ny || !nz) return;
  float dxs = 0, dxt = 0, dys = 0, dyt = 0, dzs = 0, dzt = 0;
  ComputePartialDifferential(kx, s + 0.01f, t + 0.01f, &dxs, &dxt);
  ComputePartialDifferential(ky, s + 0.01f, t + 0.01f, &dys, &dyt);
  ComputePartialDifferential(kz, s + 0.01f, t + 0.01f, &dzs, &dzt);
  ComputeNormal(dxs, dys, dzs, dxt, dyt, dzt, nx, ny, nz);
}

void ComputeNormal(float dxs, float dys, float dzs, float dxt, float dyt, float dzt, float* nx,
                   float* ny, float* nz) {
  if (!nx || !ny || !nz) return;
  *nx = dys * dzt - dzs * dyt;
  *ny = dzs * dxt - dxs * dzt;
  *nz = dxs * dyt - dys * dxt;
  AdjustNormalForIsoView(nx, ny, nz);
}

void AdjustNormalForIsoView(float* x, float* y, float* z) {
  if (!x || !y || !z) return;
  ConversionToIsometric(x, y, z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset,
                        gGlobalYOffset, gGlobalZOffset, 0);
}
