// The application object shared by the tests of this program, made on first use.
#pragma once
#include "app/ZLKApplication.h"

inline ZLKApplication* TestApplication() {
  static int argc = 1;
  static char name[] = "test_app";
  static char* argv[] = {name, nullptr};
  static ZLKApplication* app = [] {
    auto* a = new ZLKApplication(argc, argv);
    a->setQuitOnLastWindowClosed(false);
    return a;
  }();
  return app;
}
