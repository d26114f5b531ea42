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

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  AboutWindowController();
  void windowDidLoad();
};
