// The Qt GUI application that painting tests of the plan drawing need, made on first use.
#pragma once
#include <QGuiApplication>

inline QGuiApplication* GuiApplication() {
  static int argc = 1;
  static char name[] = "test_plandraw";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app =
      QGuiApplication::instance() ? qobject_cast<QGuiApplication*>(QGuiApplication::instance())
                                  : new QGuiApplication(argc, argv);
  return app;
}
