// Waiting for the window system, not for a time. On a busy machine the display server's
// answers to a map, a move or a resize come late; a window read before they are in reports
// where it was, and one that takes an old size in after its new one was asked for works out
// decorations from the difference and keeps them.
#pragma once
#include <QApplication>
#include <QGuiApplication>
#include <QRect>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <vector>

// Returns once every shown top-level window is on the screen and round trips to the display
// server in a row change nothing in any window's place, size or frame: every request made so
// far has been answered and the answers taken in. False when that does not come within the
// time given.
inline bool SettleWindows(int timeoutMs = 10000) {
  struct State {
    const QWidget* widget;
    QRect geometry, frame;
    bool operator==(const State&) const = default;
  };
  std::vector<State> last;
  int quietRounds = 0;
  return QTest::qWaitFor(
      [&] {
        QGuiApplication::sync();
        QApplication::processEvents();
        std::vector<State> now;
        bool onScreen = true;
        for (const QWidget* w : QApplication::topLevelWidgets()) {
          if (!w->isVisible() || w->isMinimized()) continue;
          onScreen = onScreen && w->windowHandle() && w->windowHandle()->isExposed();
          now.push_back({w, w->geometry(), w->frameGeometry()});
        }
        quietRounds = onScreen && now == last ? quietRounds + 1 : 0;
        last = std::move(now);
        return quietRounds >= 3;
      },
      timeoutMs);
}
