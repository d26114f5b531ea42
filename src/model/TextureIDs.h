// Texture ids: what each id range means, and the image and information file names of
// the stock textures, with the wire-frame image drawn for each plant image.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Id space (signed 32-bit).
constexpr int32_t kTextureStockFirst = 1;
constexpr int32_t kTextureStockLast = 14999;
constexpr int32_t kTextureCustom = 20000;               // custom textures: 20000 and above
constexpr int32_t kTexturePaletteLink = -1000;          // link id = kTexturePaletteLink - refID
constexpr int32_t kTexturePaletteLinkFirst = -1999;
constexpr int32_t kTexturePaletteLinkLast = -1001;

// Stock ranges (first id of each named range).
constexpr int32_t kTextureSky = 1;
constexpr int32_t kTextureGround = 2;
constexpr int32_t kTextureWood = 4;
constexpr int32_t kTextureShrubs = 300;
constexpr int32_t kTextureAnnuals = 400;
constexpr int32_t kTextureTrees = 500;
constexpr int32_t kTextureBlock = 800;
constexpr int32_t kTextureBrick = 850;
constexpr int32_t kTextureConcrete = 950;
constexpr int32_t kTextureFabrics = 1000;
constexpr int32_t kTextureFills = 1100;
constexpr int32_t kTexturePavers = 1200;
constexpr int32_t kTextureRoofing = 1250;
constexpr int32_t kTextureSiding = 1300;
constexpr int32_t kTextureStone = 1350;
constexpr int32_t kTextureStucco = 1400;
constexpr int32_t kTextureTile = 1450;
constexpr int32_t kTextureDeck = 1525;
constexpr int32_t kTextureWallCovers = 1600;
constexpr int32_t kTextureCarpet = 1900;
constexpr int32_t kTextureGravel = 2000;
constexpr int32_t kTexturePlants = 3000;
constexpr int32_t kTexturePlants2 = 5000;
constexpr int32_t kTextureLights = 14000;
constexpr int32_t kTextureWirePlants = 14060;  // 14060 to 14071

// Size of the name and path buffers the routines below fill: a content folder path plus
// the longest relative name.
constexpr size_t kTexturePathSize = 512;

// Writes the image name of a stock id relative to a texture folder ("TILE/TILE102.QTX").
// An id in 1..14999 that no range covers gives an empty name; a null buffer or an id
// outside 1..14999 writes nothing. The text is cut to size - 1 characters.
void GetTextureFileNameFromID(int32_t id, char* name, size_t size = kTexturePathSize);

// Writes the full path of the information file of a stock id: its content folder (shared
// texture folder for plant library ids, stock texture folder otherwise), "/", and the
// relative ".QTI" name. Ids that name no information file give the folder and "/" only.
// A null buffer or an id outside 1..14999 writes nothing; an unknown folder gives "".
void GetTextureInfoFileNameFromID(int32_t id, char* path, size_t size = kTexturePathSize);

// The wire-frame image id (14060..14071) drawn for a plant image id; 14060 for every other
// id in 1..14999; 0 outside.
int32_t GetWireFramePlantTextureIDNameFromID(int32_t id);

// The relative name of a stock id with the extension "QTX" or "QTI" ("TILE/TILE102.QTI"); empty
// when no range covers the id. Wire-frame ids give their image name only when withWire is set.
std::string StockTextureRelativeName(int32_t id, const char* extension, bool withWire);
// The information file path of a stock id under the given stock and shared texture folders;
// empty when the folder it belongs under is empty.
std::string TextureInfoFileNameInFolders(int32_t id, const std::string& stockFolder,
                                         const std::string& sharedFolder);
