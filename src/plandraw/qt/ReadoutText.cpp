// Text in the program's 8-bit form as Qt shows it.
#include "plandraw/qt/ReadoutText.h"

#include "model/Readouts.h"

QString ReadoutBytesToString(std::string_view text) {
  QString shown;
  shown.reserve(static_cast<qsizetype>(text.size()));
  for (unsigned char c : text)
    shown += c == static_cast<unsigned char>(kReadoutDegreeMark) ? QChar(0x00B0) : QChar(static_cast<char16_t>(c));
  return shown;
}
