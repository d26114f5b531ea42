// Materials, colours and palette entries applied by clicking or dropping on the 3D view: the
// surface under the point is picked, the material is written into the plan object it was
// built from (or the lot or the background), and the object's 3D model is rebuilt. Each
// answers whether a plan object was changed; the 3D view stores the undo step.
#pragma once
#include <cstdint>

#include "model/SymEntryInfo.h"
#include "model/Types.h"

// A library texture (ids 1..14999, custom ids from 20000); a negative id changes nothing.
// Id 0 leaves the ids the face's own links lead to as they are (still putting back white
// and 100 %); every other field, the lot and the background take it.
bool ApplyTexture(POINT point, int32_t textureID);
// The image of a custom texture entry (objectData the image, objectInfo its information file),
// listed under a custom id first.
bool ApplyCustomTextureImage(POINT point, SymEntryInfo* entry);
// A colour 0x00BBGGRR without texture; with the paint flag every scale written is
// (65535, paint index), marking a paint.
bool ApplyColor(POINT point, int32_t color, uint8_t paintFlag, int16_t paintIndex);
// A palette entry by its reference id (-1001 and down): the reference is written as the
// texture id.
bool ApplyPalette(POINT point, int32_t paletteRefID);

// The same, given the view point as its x and y (view coordinates, y downwards).
inline bool ApplyTexture(int32_t x, int32_t y, int32_t textureID) { return ApplyTexture(POINT{x, y}, textureID); }
inline bool ApplyCustomTextureImage(int32_t x, int32_t y, SymEntryInfo* entry) {
  return ApplyCustomTextureImage(POINT{x, y}, entry);
}
inline bool ApplyColor(int32_t x, int32_t y, int32_t color, uint8_t paintFlag, int16_t paintIndex) {
  return ApplyColor(POINT{x, y}, color, paintFlag, paintIndex);
}
inline bool ApplyPalette(int32_t x, int32_t y, int32_t paletteRefID) { return ApplyPalette(POINT{x, y}, paletteRefID); }

// Entry points of the 3D view that do nothing here.
int32_t ApplyCustomTexture();
int32_t Select3DObject();
int32_t EyeDropper3DPick();
