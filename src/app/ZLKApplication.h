// The application object: the program's identity, the C numeric locale and the
// process-wide services the core reaches through src/platform.
#pragma once
#include <QApplication>
#include <memory>

class QtAlertPresenter;
class QtUserDefaults;
class ZLKWindowController;

class ZLKApplication : public QApplication {
  Q_OBJECT
 public:
  ZLKApplication(int& argc, char** argv);
  ~ZLKApplication() override;

  // Finds the content roots, installs the user defaults and the alert presenter, takes
  // the user's decimal separator and creates the private temporary folder. Returns
  // false when that folder cannot be made safe (undo is then unavailable).
  bool startServices();

  // The design window that is main (active), else the first one open; null when none.
  static ZLKWindowController* mainWindowController();

  // Quits: a shown 3D window is ordered out and its controller closed first.
  void terminate();

 private:
  std::unique_ptr<QtUserDefaults> userDefaults_;
  std::unique_ptr<QtAlertPresenter> alertPresenter_;
};
