// Planar transforms, unit conversion and the zoom arithmetic of the current document.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "TestDocument.h"
#include "model/PlanarTransforms.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}

TEST(PlanarTransforms, ElementaryTransforms) {
  EXPECT_FLOAT_EQ(GetScale(5, 5, 5), 1);
  EXPECT_FLOAT_EQ(GetScale(10, 20, 0), 2);
  EXPECT_FLOAT_EQ(GetTranslate(3, 10), 7);
  EXPECT_NEAR(GetRotate(0, 3 * kPi / 2), -kPi / 2, 1e-6);
  EXPECT_NEAR(GetRotate(kPi / 2, 3 * kPi / 4), kPi / 4, 1e-6);
  EXPECT_LT(GetRotate(0, kPi), 0);  // single-precision π lies above π

  float x = 10, y = 0;
  Rotate(&x, &y, 0, 0, kPi / 2);
  EXPECT_NEAR(x, 0, 1e-5);
  EXPECT_NEAR(y, -10, 1e-5);
  x = 3, y = 4;
  Rotate(&x, &y, 3, 4, 1);
  EXPECT_FLOAT_EQ(x, 3);
  EXPECT_FLOAT_EQ(y, 4);

  x = 2, y = 3;
  Scale(&x, &y, 1, 1, 2, 3);
  EXPECT_FLOAT_EQ(x, 3);
  EXPECT_FLOAT_EQ(y, 7);

  // Reference on the origin's horizontal: only y moves; on its vertical: only x.
  x = 5, y = 8;
  Shear(10, 0, 10, 6, &x, &y, 0, 0);
  EXPECT_FLOAT_EQ(x, 5);
  EXPECT_FLOAT_EQ(y, 11);
  x = 5, y = 8;
  Shear(0, 10, 4, 10, &x, &y, 0, 0);
  EXPECT_FLOAT_EQ(x, 8.2f);
  EXPECT_FLOAT_EQ(y, 8);
  x = 10, y = 10;
  Shear(10, 10, 15, 12, &x, &y, 0, 0);
  EXPECT_FLOAT_EQ(x, 15);
  EXPECT_FLOAT_EQ(y, 12);
}

TEST(PlanarTransforms, UnitConversions) {
  EXPECT_FLOAT_EQ(ConvertMetersToInches(1), 39.37f);
  EXPECT_NEAR(ConvertInchesToMeters(ConvertMetersToInches(1)), 1, 1e-6);
  EXPECT_FLOAT_EQ(ConvertFeetToInches(2), 24);
  EXPECT_FLOAT_EQ(ConvertInchesToYards(72), 2);
  EXPECT_FLOAT_EQ(ConvertMilesToInches(1), 63360);
  EXPECT_NEAR(ConvertCMToInches(100), 39.37f, 1e-4);
  EXPECT_NEAR(ConvertInchesToMM(0.03937f), 1, 1e-6);
  EXPECT_FLOAT_EQ(ConvertInchesToPixels(2), 144);

  TestDocument doc;
  DocState* ds = doc.ds();
  ds->worldUnits = 2;  // feet
  EXPECT_FLOAT_EQ(ConvertWorldToScreen(12, ds, 0), 288);
  EXPECT_FLOAT_EQ(ConvertScreenToWorld(288, ds, 0), 12);
  EXPECT_FLOAT_EQ(ConvertWorldToScreen(12, ds, 1), 288 * 0.6f);
  EXPECT_FLOAT_EQ(ConvertWorldToScreen(12, nullptr, 1), 12);
  // Every world unit, both ways (inches per unit; index 0 and 1 are inches).
  const float inchesPer[] = {1, 1, 12, 36, 63360, 0.03937f, 0.3937f, 3.937f, 39.37f};
  for (int16_t unit = 0; unit <= 8; ++unit) {
    ds->worldUnits = unit;
    EXPECT_NEAR(GetInchesFromWorld(2, ds), 2 * inchesPer[unit], 2e-6f * inchesPer[unit]) << unit;
    EXPECT_NEAR(GetWorldFromInches(2 * inchesPer[unit], ds), 2, 1e-5f) << unit;
  }
  ds->worldUnits = 2;
  // A plan scale that is no usable number is computed with the default.
  for (float bad : {0.0f, -36.0f, NAN, INFINITY}) {
    ds->planScale = bad;
    EXPECT_FLOAT_EQ(ConvertWorldToScreen(12, ds, 0), 288);
    EXPECT_FLOAT_EQ(ConvertScreenToWorld(288, ds, 0), 12);
  }
}

TEST(PlanarTransforms, ZoomArithmetic) {
  TestDocument doc;
  DocState* ds = doc.ds();
  ds->zoomFactor = 0.6f;
  EXPECT_EQ(ZoomL(10), 6);
  EXPECT_EQ(ZoomL(-10), -5);
  EXPECT_EQ(UnzoomL(6), 10);
  EXPECT_NEAR(UnzoomF(ZoomF(123.4f)), 123.4f, 1e-4);
  FloatRect fr{10, 20, 30, 40};
  ZoomFRect(&fr);
  EXPECT_FLOAT_EQ(fr.floatRight, 24);
  UnzoomFRect(&fr);
  EXPECT_NEAR(fr.floatRight, 40, 1e-4);

  RECT r{60000, 60000, 60000, 60000};
  ZoomLRect(&r);
  EXPECT_EQ(r.left, 36000);
  r = {60000, 10, 60000, 10};
  ZoomRect(&r);
  EXPECT_EQ(r.left, -29536);
  EXPECT_EQ(r.top, 6);

  Poinz* p = CreatePoint(1, 0, 0, 0, 5, 5, 10, 10, 10, 2, 0, 2, 0, 0, 0, nullptr);
  ZoomPoinz(p);
  EXPECT_FLOAT_EQ(p->position[0], 6);
  EXPECT_FLOAT_EQ(p->position[1], 6);
  EXPECT_FLOAT_EQ(p->position[2], 10);
  EXPECT_EQ(p->inHandle[0], 0);
  EXPECT_FLOAT_EQ(p->inHandle[1], 3);
  EXPECT_FLOAT_EQ(p->outHandle[0], 1.2f);
  EXPECT_FLOAT_EQ(p->outHandle[2], 2);
  free(p);

  ds->zoomFactor = 0.75f;
  EXPECT_EQ(ZoomL(10), 8);

  ds->zoomFactor = 1.0f;
  r = {60000, 60000, 60000, 60000};
  ZoomRect(&r);
  EXPECT_EQ(r.left, 60000);
  EXPECT_EQ(ZoomF(7.25f), 7.25f);

  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_EQ(ZoomF(7.25f), 7.25f);
  EXPECT_EQ(UnzoomL(7), 7);
  gCurDocument = saved;
}

// A zoom factor read from a file can be anything; no conversion divides by zero or overflows.
TEST(PlanarTransforms, HostileZoomFactorsStayFinite) {
  TestDocument doc;
  for (float bad : {0.0f, -0.6f, NAN, INFINITY, 1e30f, 1e-30f}) {
    doc.ds()->zoomFactor = bad;
    EXPECT_TRUE(std::isfinite(ZoomF(100)));
    EXPECT_TRUE(std::isfinite(UnzoomF(100)));
    EXPECT_GT(UnzoomF(100), 0);
    (void)UnzoomL(2000000000);
    (void)ZoomL(2000000000);
    RECT r{1, 2, 3, 4};
    ZoomRect(&r);
  }
  doc.ds()->zoomFactor = 0;
  EXPECT_EQ(ZoomF(5), 5);
}

TEST(PlanarTransforms, MinimumZoomByLotSize) {
  TestDocument doc;
  DocState* ds = doc.ds();
  EXPECT_FLOAT_EQ(GetMinZoom(), 0.06f);  // 200 x 200 ft is not above 200
  ds->lotSize = {200.5f, 10};
  EXPECT_FLOAT_EQ(GetMinZoom(), 0.055f);
  ds->lotSize = {90, 90};
  EXPECT_FLOAT_EQ(GetMinZoom(), 0.045f);
  ds->lotSize = {10, 1200};
  EXPECT_FLOAT_EQ(GetMinZoom(), 0.015f);
  ds->lotSize = {500, 500};
  ds->lotSizeUnits = 2;
  EXPECT_FLOAT_EQ(GetMinZoom(), 0.01f);
  // Metres across or down alone: 400 m is 1312 ft, above 1000.
  for (const FloatPoint size : {FloatPoint{400, 10}, FloatPoint{10, 400}}) {
    ds->lotSize = size;
    EXPECT_FLOAT_EQ(GetMinZoom(), 0.015f) << size.floatH << " x " << size.floatV;
  }
  ds->lotSize = {NAN, NAN};
  EXPECT_FLOAT_EQ(GetMinZoom(), 0.045f);
  ZLKDocumentModel* saved = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_FLOAT_EQ(GetMinZoom(), 0.01f);
  gCurDocument = saved;
}

TEST(PlanarTransforms, MaximumZoomByPlanExtent) {
  TestDocument doc;
  DocState* ds = doc.ds();
  ds->zoomFactor = 0.6f;
  EXPECT_EQ(PinMaxZoom(ds), 0);
  EXPECT_FLOAT_EQ(ds->zoomFactor, 0.6f);
  ds->zoomFactor = 7;
  EXPECT_EQ(PinMaxZoom(ds), 1);
  EXPECT_FLOAT_EQ(ds->zoomFactor, 6);

  ds->planBounds = {2400, 2400, -2400, -2400};  // inverted: same extent
  ds->zoomFactor = 7;
  EXPECT_EQ(PinMaxZoom(ds), 1);
  EXPECT_FLOAT_EQ(ds->zoomFactor, 6);

  // Tall or wide: the larger extent (4800) counts, whichever side it is on.
  for (const FloatRect bounds : {FloatRect{-2400, 0, 2400, 100}, FloatRect{0, -2400, 100, 2400}}) {
    ds->planBounds = bounds;
    ds->zoomFactor = 7;
    EXPECT_EQ(PinMaxZoom(ds), 1);
    EXPECT_FLOAT_EQ(ds->zoomFactor, 6);
  }

  ds->planBounds = {-32000, -32000, 32000, 32000};  // the whole-number limit would be 0
  ds->zoomFactor = 1;
  EXPECT_EQ(PinMaxZoom(ds), 1);
  EXPECT_FLOAT_EQ(ds->zoomFactor, 0.5f);

  ds->planBounds = {0, 0, 0, 0};
  ds->zoomFactor = 3;
  EXPECT_EQ(PinMaxZoom(ds), 0);
  EXPECT_FLOAT_EQ(ds->zoomFactor, 3);
  EXPECT_EQ(PinMaxZoom(nullptr), 0);
}
