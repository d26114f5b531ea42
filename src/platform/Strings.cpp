// The string table holds English only, so a key is its own text.
#include "platform/Strings.h"

std::string LocalizedString(const std::string& key) { return key; }
