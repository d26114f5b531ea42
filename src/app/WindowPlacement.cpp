// The design window's placement beside the palettes.
#include "app/WindowPlacement.h"

#include <algorithm>
#include <numeric>

namespace {

// Within this distance of the area's edge a palette counts as standing at it.
constexpr int kEdgeSlack = 20;
// The room left between the design window and a palette.
constexpr int kGap = 5;

bool CountsAtLeftEdge(const PaletteFrame& p, const QRect& area) {
  return p.visible && p.sameScreen && p.frame.x() - area.x() <= kEdgeSlack;
}

int RightEdge(const QRect& r) { return r.x() + r.width(); }

}  // namespace

QRect FitFrameInArea(const QRect& frame, const QRect& area) {
  if (area.isEmpty()) return frame;
  const int width = std::clamp(frame.width(), 1, area.width());
  const int height = std::clamp(frame.height(), 1, area.height());
  const int x = std::clamp(frame.x(), area.x(), RightEdge(area) - width);
  const int y = std::clamp(frame.y(), area.y(), area.y() + area.height() - height);
  return QRect(x, y, width, height);
}

QRect PlaceDesignWindow(const WindowPlacementInput& in) {
  const QRect& area = in.available;
  int x = in.window.x();
  int y = area.y();
  int height = area.height();
  if (!in.applicationDidLaunch) {
    const bool edit = CountsAtLeftEdge(in.editTools, area);
    const bool snap = CountsAtLeftEdge(in.snapTools, area);
    if (edit && snap)
      x = std::max(RightEdge(in.editTools.frame), RightEdge(in.snapTools.frame)) + kGap;
    else if (edit)
      x = RightEdge(in.editTools.frame) + kGap;
    else if (snap)
      x = RightEdge(in.snapTools.frame) + kGap;
    else
      x = area.x() + kGap;
  }
  if (in.planTools.visible) {
    const QRect& p = in.planTools.frame;
    const int topGap = p.y() - area.y();
    const int bottomGap = (area.y() + area.height()) - (p.y() + p.height());
    if (topGap <= kEdgeSlack) {
      // Palette at the top: the window runs from 5 under it to the bottom of the area.
      y = p.y() + p.height() + kGap;
      height = area.height() - p.height() - topGap - kGap;
    } else if (bottomGap <= kEdgeSlack) {
      // Palette at the bottom: the window runs from the top to 5 above it.
      height = area.height() - p.height() - bottomGap - kGap;
    }
  }
  // Never past the area's right edge: a window at its own x is moved left, one pushed right
  // by wide palettes is narrowed.
  if (in.applicationDidLaunch) x = std::max(area.x(), std::min(x, RightEdge(area) - in.window.width()));
  x = std::clamp(x, area.x(), std::max(area.x(), RightEdge(area) - 1));
  const int width = std::clamp(in.window.width(), 1, std::max(1, RightEdge(area) - x));
  return QRect(x, y, width, std::max(height, 1));
}

std::vector<QRect> KeepFramesClearOfBand(const std::vector<QRect>& frames, const QRect& band, const QRect& area) {
  std::vector<QRect> out = frames;
  if (band.isEmpty()) return out;
  // From the top down, so that each palette is pushed by those above it that moved.
  std::vector<size_t> order(frames.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return frames[a].y() < frames[b].y(); });
  std::vector<size_t> placed;
  for (size_t i : order) {
    QRect& f = out[i];
    if (f.isEmpty()) continue;
    int top = f.y();
    if (f.intersects(band)) top = band.y() + band.height() + kGap;
    // Under any palette above that it would come to cover or that was moved onto it; two
    // that overlap where the user left them, both staying there, are left as they are.
    for (bool again = true; again;) {
      again = false;
      for (size_t j : placed) {
        const QRect& above = out[j];
        const bool bothStay = top == frames[i].y() && above == frames[j];
        if (!bothStay && QRect(f.x(), top, f.width(), f.height()).intersects(above)) {
          top = above.y() + above.height() + kGap;
          again = true;
        }
      }
    }
    if (!area.isEmpty() && top != f.y()) top = std::max(area.y(), std::min(top, area.y() + area.height() - f.height()));
    f.moveTop(top);
    placed.push_back(i);
  }
  return out;
}
