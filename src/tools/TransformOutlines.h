// The outlines of the selection drawn under a drag's transform into the plan view's overlay
// (one transform element per object), shared by the move, resize and rotate tools.
#pragma once
#include <cstdint>

struct DragTransformInfo;
struct Objex;

// Draw modes of the outlines: the first step of a drag draws with the red of a new outline,
// later steps without it; the Shift forms keep one factor for both axes.
enum : int32_t {
  kOutlineMoveFirst = 286, kOutlineMove = 278,
  kOutlineStretchFirst = 302, kOutlineStretch = 294,
  kOutlineStretchShiftFirst = 814, kOutlineStretchShift = 806,
  kOutlineTurnFirst = 398, kOutlineTurn = 390,
  kOutlineTurnShiftFirst = 910, kOutlineTurnShift = 902,
};

// The hit object's 2D bounds, rounded, differ from the selection's (gDataRect, rounded): the
// selection holds more than the object, so its outlines tell more than the box.
bool SelectionOutlinesDifferFromHit(const Objex* hit);
// From a drag's press to its release (on) and after it (off): the later steps of a move, a
// turn or a stretch draw the outlines of the objects its first step found. Either way what was
// kept is dropped.
void KeepOutlinesOfDrag(bool on);
// Every selected object of all layers drawn transformed into the overlay. The drawing
// switches are put back afterwards.
void DrawTransformedOutlines(int32_t drawMode, const DragTransformInfo& transform);

// Keeps gTransformationDrawing set for a scope and puts back what it was.
class TransformationDrawingScope {
 public:
  TransformationDrawingScope();
  ~TransformationDrawingScope();
  TransformationDrawingScope(const TransformationDrawingScope&) = delete;
  TransformationDrawingScope& operator=(const TransformationDrawingScope&) = delete;

 private:
  uint8_t previous_;
};
