// The application's string table: every message, button title and undo name
// passes through it.
#pragma once
#include <string>

std::string LocalizedString(const std::string& key);
