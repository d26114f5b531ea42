// Content folder paths built from the support and shared roots, and the test that
// tells stored paths of the other platform from native ones.
#include "platform/ContentPaths.h"

#include <cstring>

namespace {

#ifndef CASA_SOURCE_TREE
std::string RootOf(const char* sourceFile) {
  // This file lies at <tree>/src/platform/ContentPaths.cpp.
  std::string s = sourceFile;
  for (int i = 0; i < 3; ++i) {
    size_t slash = s.find_last_of('/');
    if (slash == std::string::npos) return {};
    s.resize(slash);
  }
  return s;
}
#endif

std::string& SupportRoot() {
  static std::string root = BuildTreeContentRoot();
  return root;
}
std::string& SharedRoot() {
  static std::string root;
  return root;
}
std::string& UserSupportRoot() {
  static std::string root;
  return root;
}

std::string Below(const std::string& root, const char* components) {
  if (root.empty()) return {};
  return root + "/" + components;
}

bool IsTrimmed(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

namespace {
uint64_t sRootsGeneration = 0;
}  // namespace

void SetLocalSupportRoot(const std::string& root) { SupportRoot() = root, ++sRootsGeneration; }
void SetUserSharedRoot(const std::string& root) { SharedRoot() = root, ++sRootsGeneration; }
void SetUserSupportRoot(const std::string& root) { UserSupportRoot() = root, ++sRootsGeneration; }
uint64_t ContentRootsGeneration() { return sRootsGeneration; }

std::string BuildTreeContentRoot() {
#ifdef CASA_SOURCE_TREE
  std::string tree = CASA_SOURCE_TREE;
#else
  std::string tree = RootOf(__FILE__);
#endif
  if (tree.empty() || tree[0] != '/') return {};
  return tree + "/content";
}

std::string LocalDomainApplicationSupportPath() { return SupportRoot(); }
std::string UserDomainApplicationSupportPath() { return UserSupportRoot(); }
std::string LocalDomainUserSharedPath() { return SharedRoot(); }

std::string LocalDomainTexturePath() { return Below(SupportRoot(), "QVRA/Textures"); }
std::string LocalDomainUserSharedTexturePath() { return Below(SharedRoot(), "QVRA/Textures"); }
std::string LocalDomainPlantPath() { return Below(SharedRoot(), "QVRA/Textures"); }
std::string LocalDomainCustomTexturePath() {
  return Below(SharedRoot(), "QVRA/Textures/CustomTextures");
}
std::string LocalDomainAccessoriesPath() {
  return Below(SharedRoot(), "QVRA/Textures/CustomTextures/Accessories");
}
std::string LocalDomainCustomPlantPath() { return Below(SharedRoot(), "QVRA/Textures/CustomPlants"); }
std::string LocalDomainCustomTrimPath() { return Below(SharedRoot(), "QVRA/Components/Trim"); }
std::string LocalDomainCustomWindowPath() { return Below(SharedRoot(), "QVRA/Components/Windows"); }
std::string LocalDomainCustomDoorPath() { return Below(SharedRoot(), "QVRA/Components/Doors"); }
std::string LocalDomain2DObjectPath() { return Below(SharedRoot(), "QVRA/2DSymbols"); }
std::string LocalDomain3DObjectPath() { return Below(SharedRoot(), "QVRA/Objects"); }
std::string LocalDomainTemplatePath() { return Below(SharedRoot(), "QVRA/Templates"); }
std::string LocalDomainPaintPath() { return Below(SharedRoot(), "QVRA/Paint"); }
std::string LocalDomainContentPath() { return Below(SharedRoot(), "QVRA/Content"); }
std::string LocalDomainAddkitPath() {
  return Below(SupportRoot(), "QVRA/QVRA Verdalia 9.0.0/Plugins");
}
std::string LocalDomainOEMSym2DPath() { return Below(SupportRoot(), "QVRA/Objects/Symbol2D"); }
std::string LocalDomainOEMSym3DPath() { return Below(SupportRoot(), "QVRA/Objects/Symbol3D"); }
std::string LocalDomainContentProviderPath() { return Below(SupportRoot(), "QVRA/Providers"); }

bool IsWin32Path(const char* path) {
  if (!path) return true;
  size_t len = std::strlen(path);
  if (len < 2) return true;
  size_t first = 0, end = len;
  while (first < end && IsTrimmed(static_cast<unsigned char>(path[first]))) ++first;
  while (end > first && IsTrimmed(static_cast<unsigned char>(path[end - 1]))) --end;
  if (end - first < 2) return true;
  return path[first + 1] == ':' || path[first] == '\\';
}

bool IsWin32Path(const std::string& path) { return IsWin32Path(path.c_str()); }
