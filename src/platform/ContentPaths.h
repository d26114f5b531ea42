// The content folders of the installation, named from two roots: the content the
// program ships (the "support" root) and the user's shared data folder.
// Each function returns a new path, or "" when its root is unknown; nothing is
// created or cached.
#pragma once
#include <cstdint>
#include <string>

// Roots, set at start-up ("" = unknown). The support root starts as the content
// folder of the source tree, the shared root as unknown.
void SetLocalSupportRoot(const std::string& root);
void SetUserSharedRoot(const std::string& root);
void SetUserSupportRoot(const std::string& root);
// Moves on every setting of a root: what was learnt from the content folders is kept only
// while it stands.
uint64_t ContentRootsGeneration();
// <source tree>/content: the shipped content when running from a build tree.
std::string BuildTreeContentRoot();

std::string LocalDomainApplicationSupportPath();
std::string UserDomainApplicationSupportPath();
std::string LocalDomainUserSharedPath();

std::string LocalDomainTexturePath();            // support/QVRA/Textures
std::string LocalDomainUserSharedTexturePath();  // shared/QVRA/Textures
std::string LocalDomainPlantPath();              // shared/QVRA/Textures
std::string LocalDomainCustomTexturePath();      // shared/QVRA/Textures/CustomTextures
std::string LocalDomainAccessoriesPath();        // .../CustomTextures/Accessories
std::string LocalDomainCustomPlantPath();        // shared/QVRA/Textures/CustomPlants
std::string LocalDomainCustomTrimPath();         // shared/QVRA/Components/Trim
std::string LocalDomainCustomWindowPath();       // shared/QVRA/Components/Windows
std::string LocalDomainCustomDoorPath();         // shared/QVRA/Components/Doors
std::string LocalDomain2DObjectPath();           // shared/QVRA/2DSymbols
std::string LocalDomain3DObjectPath();           // shared/QVRA/Objects
std::string LocalDomainTemplatePath();           // shared/QVRA/Templates
std::string LocalDomainPaintPath();              // shared/QVRA/Paint
std::string LocalDomainContentPath();            // shared/QVRA/Content
std::string LocalDomainAddkitPath();             // support/QVRA/QVRA Verdalia 9.0.0/Plugins
std::string LocalDomainOEMSym2DPath();           // support/QVRA/Objects/Symbol2D
std::string LocalDomainOEMSym3DPath();           // support/QVRA/Objects/Symbol3D
std::string LocalDomainContentProviderPath();    // support/QVRA/Providers

// True for a path in the other platform's form (drive letter or leading backslash),
// and for null or anything shorter than two characters once trimmed.
bool IsWin32Path(const char* path);
bool IsWin32Path(const std::string& path);
