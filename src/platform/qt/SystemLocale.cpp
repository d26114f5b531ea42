// The decimal separator of the system locale.
#include "platform/qt/SystemLocale.h"

char SystemDecimalSeparator(const QLocale& locale) {
  QString point = locale.decimalPoint();
  if (point.size() != 1 || point.at(0).unicode() > 0x7f) return ',';
  return char(point.at(0).unicode());
}
