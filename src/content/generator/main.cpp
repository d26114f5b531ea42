// Writes the shipped content library into a content folder (the source tree's content/):
//   casa_library_generator <content folder>
#include <QGuiApplication>
#include <cstdio>

#include "content/ShippedLibrary.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <content folder>\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return WriteShippedLibrary(argv[1]) ? 0 : 1;
}
