// What the user's locale says about numbers on screen.
#pragma once

#include <QLocale>

// The user's decimal separator: the locale's own when it is a single ASCII character, else
// ',' (readouts keep '.' only for a locale whose separator is exactly ".").
char SystemDecimalSeparator(const QLocale& locale = QLocale::system());
