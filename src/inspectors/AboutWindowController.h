// The About window: made on demand, placed centred across and above the middle of its
// screen, released when closed so that the next About makes and places a fresh one.
#pragma once
#include <QWidget>

class AboutWindowController : public QWidget {
  Q_OBJECT
 public:
  static AboutWindowController* sharedAboutWindowController();
  // The instance while one exists.
  static AboutWindowController* existing();
  void showWindow();
  // x = visible x + (visible width - width) / 2, y (up from the bottom of the visible frame)
  // = (visible height - height) / 1.2; in the screen's top-down coordinates.
  static QPoint placement(const QRect& visible, const QSize& size);
  // Places the window by placement on its screen's available area, keeping its size.
  void windowDidLoad();
  // The window is closing: the controller is let go, so the next About makes a fresh one.
  void windowWillClose();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  AboutWindowController();
};

// The About window while one exists (null otherwise).
extern AboutWindowController* aboutWindowController;
