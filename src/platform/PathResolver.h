// Finds content and symbol files whatever the case of their names on disk.
#pragma once
#include <string>

// Returns `path` when it exists; otherwise the existing path whose components match
// those of `path` ignoring ASCII case (the first in name order when several do);
// otherwise `path` unchanged.
std::string ResolvePathIgnoringCase(const std::string& path);
