// Bicubic Hermite patches built from four points: the basis matrices, the patch
// coefficients and the evaluation of a surface point.
#include "model/HermitePatch.h"

#include "model/Records.h"

namespace {

constexpr float kHermiteBasis[4][4] = {{2, -2, 1, 1}, {-3, 3, -2, -1}, {0, 0, 1, 0}, {1, 0, 0, 0}};

void Multiply(const Matrix4 a, const Matrix4 b, Matrix4 out) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[i][k] * b[k][j];
      out[i][j] = sum;
    }
}

// Geometry matrix of one coordinate: rows are s 0, s 1, s-tangent at s 0, s-tangent
// at s 1; columns the same in t.
void FillGeometry(Matrix4 g, int axis, const Poinz* p1, const Poinz* p2, const Poinz* p3, const Poinz* p4,
                  bool linked) {
  g[0][0] = p1->position[axis];
  g[0][1] = p2->position[axis];
  g[1][0] = p3->position[axis];
  g[1][1] = p4->position[axis];
  g[2][0] = p1->outHandle[axis];
  g[2][1] = p2->outHandle[axis];
  g[3][0] = p3->inHandle[axis];
  g[3][1] = p4->inHandle[axis];
  if (linked) {
    g[0][2] = p1->linkVector[axis];
    g[0][3] = p2->linkVector[axis];
    g[1][2] = p3->linkVector[axis];
    g[1][3] = p4->linkVector[axis];
  } else {
    g[0][2] = g[0][3] = p2->position[axis] - p1->position[axis];
    g[1][2] = g[1][3] = p4->position[axis] - p3->position[axis];
  }
  g[2][2] = g[2][3] = g[3][2] = g[3][3] = 0;
}

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

void EstablishSurface(Matrix4 xB, Matrix4 yB, Matrix4 zB, const Matrix4 m, const Matrix4 mt,
                      Matrix4 mResult, Matrix4 xResult, Matrix4 yResult, Matrix4 zResult,
                      const Poinz* p1, const Poinz* p2, const Poinz* p3, const Poinz* p4, int linked) {
  if (!xB || !yB || !zB || !m || !mt || !mResult || !xResult || !yResult || !zResult) return;
  if (!p1 || !p2 || !p3 || !p4) return;
  float (*geometry[3])[4] = {xB, yB, zB};
  float (*result[3])[4] = {xResult, yResult, zResult};
  for (int axis = 0; axis < 3; ++axis) {
    FillGeometry(geometry[axis], axis, p1, p2, p3, p4, linked != 0);
    Multiply(m, geometry[axis], mResult);
    Multiply(mResult, mt, result[axis]);
  }
}

void ComputeSurfacePoint(const Matrix4 xResult, const Matrix4 yResult, const Matrix4 zResult,
                         float sVector[4], float tVector[4], float s, float t, float* x, float* y,
                         float* z) {
  if (!xResult || !yResult || !zResult || !sVector || !tVector || !x || !y || !z) return;
  sVector[0] = s * s * s;
  sVector[1] = s * s;
  sVector[2] = s;
  sVector[3] = 1;
  tVector[0] = t * t * t;
  tVector[1] = t * t;
  tVector[2] = t;
  tVector[3] = 1;
  const float (*coefficients[3])[4] = {xResult, yResult, zResult};
  float* out[3] = {x, y, z};
  for (int axis = 0; axis < 3; ++axis) {
    float sum = 0;
    for (int i = 0; i < 4; ++i) {
      float row = 0;
      for (int j = 0; j < 4; ++j) row += coefficients[axis][i][j] * tVector[j];
      sum += sVector[i] * row;
    }
    *out[axis] = sum;
  }
}
