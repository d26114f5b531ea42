// The view point tool in the plan view: while dragging, the view triangle is drawn over the
// plan in yellow at half opacity; the camera stays at the press and the triangle goes at the
// release.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "AppTestSupport.h"
#include "app/ZLKDocumentView.h"
#include "model/DocState.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

class CameraToolDrag : public TrackingWindowTest {
 protected:
  void afterDocument() override { view = showPlanView(2); }
  ZLKDocumentView* view = nullptr;
};

bool Yellowish(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 190 && qBlue(c) > 60; }

TEST_F(CameraToolDrag, TriangleIsYellowAtHalfOpacityWhileDragging) {
  gCurTool = kToolViewPoint;
  const QPoint from = WidgetPointOf(view, 0, 0), to = WidgetPointOf(view, 0, 120);
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  ASSERT_TRUE(view->isTracking());
  QTest::mouseMove(view, from + (to - from) / 2);
  QTest::mouseMove(view, to);
  // Inside the triangle: between the current point and the camera, near the current point.
  const QPoint inside = from + (to - from) * 3 / 4;
  const QImage during = view->grab().toImage();
  const QRgb c = during.pixel(inside);
  EXPECT_TRUE(Yellowish(c)) << qRed(c) << "," << qGreen(c) << "," << qBlue(c);
  QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  EXPECT_FALSE(view->isTracking());
  EXPECT_FLOAT_EQ(ds->cameraPosition().floatH, 0);
  EXPECT_FLOAT_EQ(ds->cameraPosition().floatV, 0);
  const QImage after = view->grab().toImage();
  EXPECT_FALSE(Yellowish(after.pixel(inside)));
}

}  // namespace
