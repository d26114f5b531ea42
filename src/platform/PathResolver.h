// Finds content and symbol files whatever the case of their names on disk.
#pragma once
#include <string>

// Returns `path` when it exists; otherwise the existing path whose components match
// those of `path` ignoring ASCII case (the first in name order when several do);
// otherwise `path` unchanged.
std::string ResolvePathIgnoringCase(const std::string& path);

// Whether `name` stays below whatever folder it is joined to by its own words: not empty, not
// absolute, and no ".." part ("/" and "\" both separate parts).
bool IsPlainRelativePath(const std::string& name);

// Whether `path`, with every link on its way resolved, lies inside `folder` (itself resolved)
// and is not the folder itself. A path whose last parts do not exist yet is judged by what
// does.
bool PathStaysInsideFolder(const std::string& folder, const std::string& path);

// `folder` joined with `name` (found ignoring case) when `name` is a plain relative path and
// what it leads to stays inside `folder`; empty otherwise.
std::string PathInsideFolder(const std::string& folder, const std::string& name);
