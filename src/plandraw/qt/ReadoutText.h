// Text in the program's 8-bit form (readouts, names read from files) as Qt shows it.
#pragma once

#include <QString>
#include <string_view>

// Byte by byte in ISO Latin 1, the readouts' degree mark byte shown as the degree sign.
QString ReadoutBytesToString(std::string_view text);
