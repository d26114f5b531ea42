// The selection tool's click with selections on floors it cannot change: what it deselects,
// what stays selected, and the size readout it leaves, for plain, Shift and double clicks.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <cstring>

#include "AppTestSupport.h"
#include "app/ZLKDocumentView.h"
#include "model/Grouping.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionState.h"
#include "model/ViewProjection.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

class PlanViewClickFloors : public DesignWindowTest {
 protected:
  void beforeDocument() override { ResetTrackingState(); }
  void afterDocument() override {
    view = showPlanView(2);
    // A floor that shows but is locked, and one that is hidden.
    locked = CreateLayer("Locked Floor", 1, 0, nullptr);
    hidden = CreateLayer("Hidden Floor", 0, 1, nullptr);
    AppendLayerToDocument(locked);
    AppendLayerToDocument(hidden);
  }
  void beforeClosing() override {
    gCurTool = kToolSelection;
    ResetTrackingState();
  }

  Objex* addLine(Layer* layer, float x1, float z1, float x2, float z2, float base) {
    return AddPlanLine(layer, x1, z1, x2, z2, base);
  }
  QPoint at(float x, float z) const {
    return WidgetPointOf(view, x, z);
  }
  void click(QPoint where, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mousePress(view, Qt::LeftButton, modifiers, where);
    QTest::mouseRelease(view, Qt::LeftButton, modifiers, where);
  }
  // The size readout a walk of every shown floor gives for the selection as it stands.
  Float3DPoint fullReadout() {
    FloatRect rect{32000, 32000, -32000, -32000};
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    GatherSelectionReadouts(model->itsLayers, ds, &rect, &box);
    return Float3DPoint{ConvertScreenToWorld(box.floatRight - box.floatLeft, ds, 1),
                        ConvertScreenToWorld(box.floatBottom - box.floatTop, ds, 1),
                        ConvertScreenToWorld(box.floatFront - box.floatBack, ds, 1)};
  }
  static bool Same(const Float3DPoint& a, const Float3DPoint& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

  ZLKDocumentView* view = nullptr;
  Layer* locked = nullptr;
  Layer* hidden = nullptr;
};

}  // namespace

TEST_F(PlanViewClickFloors, AClickDeselectsOnlyWhatItMaySelectAndReadsOutEveryShownFloor) {
  Objex* target = addLine(model->itsCurLayer, -100, 0, 100, 0, 0);
  Objex* other = addLine(model->itsCurLayer, -100, 80, 100, 80, 10);
  Objex* onLocked = addLine(locked, 300, 200, 420, 260, 20);
  Objex* onHidden = addLine(hidden, -300, -200, -250, -150, 30);
  // Selections written straight into the points.
  other->firstPoint->next->selected = 1;
  onLocked->firstPoint->selected = 1;
  onHidden->firstPoint->selected = onHidden->firstPoint->next->selected = 1;

  click(at(30, 0));
  EXPECT_TRUE(IsObjectSelected(target));
  EXPECT_FALSE(IsObjectSelected(other));
  EXPECT_TRUE(IsObjectSelected(onLocked));
  EXPECT_TRUE(IsObjectSelected(onHidden));
  // The readout spans the clicked line and the locked floor's selection, not the hidden one's.
  EXPECT_TRUE(Same(gWidthHeightDepth, fullReadout()));
  EXPECT_GT(gWidthHeightDepth.floatH, ConvertScreenToWorld(400, ds, 1));

  // Shift adds without deselecting; the readout follows.
  click(at(30, 80), Qt::ShiftModifier);
  EXPECT_TRUE(IsObjectSelected(target));
  EXPECT_TRUE(IsObjectSelected(other));
  EXPECT_TRUE(IsObjectSelected(onLocked));
  EXPECT_TRUE(Same(gWidthHeightDepth, fullReadout()));

  // A click on nothing deselects the current floor only.
  click(at(0, -150));
  EXPECT_FALSE(IsObjectSelected(target));
  EXPECT_FALSE(IsObjectSelected(other));
  EXPECT_TRUE(IsObjectSelected(onLocked));
  EXPECT_TRUE(IsObjectSelected(onHidden));

  // A double click takes the full walks and ends the same way.
  QTest::mouseDClick(view, Qt::LeftButton, {}, at(30, 0));
  EXPECT_TRUE(IsObjectSelected(target));
  EXPECT_TRUE(IsObjectSelected(onLocked));
  EXPECT_TRUE(IsObjectSelected(onHidden));
}
