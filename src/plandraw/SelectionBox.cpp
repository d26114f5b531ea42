// The 3D selection box in the view.
#include "plandraw/SelectionBox.h"

#include <memory>

#include "model/Services.h"
#include "model/Records.h"
#include "model/Types.h"
#include "plandraw/DrawContext.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/SymbolGeometry.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

namespace {

struct Corner {
  float x, y, z;
};

// Where the box's lines go: a transform element of the overlay, or a path stroked at the end.
class CubeTarget {
 public:
  CubeTarget() {
    if (gTransformationDrawing) {
      element_ = std::make_unique<ZLKDynamicTransformElement>();
      element_->setLineWidth(2.0f);
      element_->setDrawUsingIndicatorColor(true);
    }
  }
  void separateLine(Corner a, Corner b) {
    NSPoint va, vb;
    ProjectLine(a.x, a.y, a.z, b.x, b.y, b.z, false, &va, &vb);
    if (element_) {
      element_->appendPathWithLineFromPoint(va, vb);
    } else {
      path_.moveToPoint(va);
      path_.lineToPoint(vb);
    }
  }
  // A further corner of a polyline: the line from the previous corner, of which only the
  // far end is used.
  void lineTo(Corner from, Corner to) {
    NSPoint vb;
    ProjectLine(from.x, from.y, from.z, to.x, to.y, to.z, false, nullptr, &vb);
    if (element_) element_->lineToPoint(vb);
    else path_.lineToPoint(vb);
  }
  void close() {
    if (element_) element_->closePath();
    else path_.closePath();
  }
  void finish() {
    if (element_) {
      if (ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine())
        engine->addDynamicTransformElement(std::move(element_));
      return;
    }
    DrawContext* ctx = gCurrentDrawContext;
    if (!ctx) return;
    const DrawColor focus = ctx->focusIndicatorColor();
    ctx->setColor(focus);
    StrokeStyle style;
    style.color = focus;
    style.width = 2.0f;
    ctx->strokePath(path_, style);
  }

 private:
  std::unique_ptr<ZLKDynamicTransformElement> element_;
  BezierPath path_;
};

void FourLines(CubeTarget& t, Corner a, Corner b, Corner c, Corner d) {
  t.separateLine(a, b);
  t.separateLine(b, c);
  t.separateLine(c, d);
  t.separateLine(d, a);
}

}  // namespace

bool SameExtent(float a, float b) { return WholeCoordinate(a) == WholeCoordinate(b); }

void DrawCube(DrawContext* handle, const Float3DRect* box) {
  if (!box) return;
  const float x0 = box->floatLeft, x1 = box->floatRight;
  const float y0 = box->floatTop, y1 = box->floatBottom;
  const float z0 = box->floatBack, z1 = box->floatFront;
  CubeTarget t;
  if (GetCurrentView() == kCmdViewTop || SameExtent(y0, y1)) {
    t.separateLine({x0, y0, z0}, {x1, y0, z0});
    t.lineTo({x1, y0, z0}, {x1, y0, z1});
    t.lineTo({x1, y0, z1}, {x0, y0, z1});
    t.lineTo({x0, y0, z1}, {x0, y0, z0});
    t.close();
  } else if (SameExtent(x0, x1)) {
    FourLines(t, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0});
  } else if (SameExtent(z0, z1)) {
    FourLines(t, {x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0});
  } else {
    FourLines(t, {x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0});
    FourLines(t, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1});
    t.separateLine({x0, y0, z0}, {x0, y0, z1});
    t.separateLine({x1, y0, z0}, {x1, y0, z1});
    t.separateLine({x1, y1, z0}, {x1, y1, z1});
    t.separateLine({x0, y1, z0}, {x0, y1, z1});
  }
  t.finish();
}

void DrawCube(const Float3DRect* box) { DrawCube(nullptr, box); }
