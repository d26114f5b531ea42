// One QApplication for the whole test program, made on first use.
#pragma once
#include <QApplication>

inline QApplication* TestApplication() {
  static int argc = 1;
  static char name[] = "test_platform";
  static char* argv[] = {name, nullptr};
  static QApplication* app = QApplication::instance()
                                 ? qobject_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
  return app;
}
