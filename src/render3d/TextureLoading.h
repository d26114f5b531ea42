// Texture loading: design texture ids made into OpenGL textures (stock images at their own
// size, custom images normalised to 512 x 512 RGBA), image files found again when they have
// moved, the pixel converters and keys the renderers use, and the spreading of a material
// over the like parts of a cabinet.
//
// The id-to-name map of RenderPlaneObject.h is the only texture cache: an id is resident when
// the map holds a live GL name for it. An id whose image could not be found (nor the
// not-available image) gets a negative entry and is not looked up again until
// DeleteCachedTextureImages runs or another design becomes current.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct DIBImage;
struct Objex;

constexpr int32_t kFirstCustomTextureID = 20000;
constexpr int32_t kLastStockTextureID = 14999;
constexpr int32_t kCustomTextureSide = 512;

// Loads a stock texture (1 <= id <= 14999) under a fresh GL name; true when loaded.
bool LoadGLTexture(int32_t textureID);
// Loads a custom texture (id >= 20000) from `name` in the custom texture folder; true when
// loaded. Nothing for a null or empty name.
bool LoadGLCustomTexture(int32_t textureID, const char* name);
// Loads an image file, falling back on the content folder by file name and then on the
// not-available image; null when none of them loads.
DIBImage* LoadGLDIBImage(const char* path);

// The binding rule: the GL name of a (palette-resolved) texture id, loading it first when
// `load` is set and it is not resident; 0 draws untextured (ids below 1, images not found).
uint32_t ResidentTextureName(int32_t textureID, bool load);
// Uploads RGB or RGBA pixels (rows packed, no padding) as the bound texture's level 0 with
// unpack alignment 1, restoring the alignment afterwards.
void UploadTextureImage(int32_t internalFormat, int32_t width, int32_t height, uint32_t format, const void* pixels);
// A fresh GL name for the id (the old one is deleted), or its current one.
uint32_t GLTextureNameToLoad(int32_t textureID);
// Marks an id whose image could not be found: not looked up again (see above).
void NoteMissingTexture(int32_t textureID);
bool IsTextureKnownMissing(int32_t textureID);
// Deletes the GL names of the listed ids and forgets every image not found (installed as the
// model's DeleteCachedTextureImages).
void DeleteCachedTextureImagesGL(const uint32_t* textureIDs, int32_t count);
// Image files looked for by the texture loader since start-up (each file-system lookup).
uint64_t TextureFileLookups();

// Pixel converters and keys. Alpha is given 0..1 and stored as the byte of 255 x alpha
// truncated. New buffers are malloc'ed (the caller frees them); null for a null source,
// a size below 1 or memory running out.
uint8_t* ConvertTextureToRGBA(const uint8_t* rgb, float alpha);                  // 256 x 256
uint8_t* ConvertCustomTextureToRGBA(const uint8_t* rgb, float alpha, int32_t side);
uint8_t* ConvertTextureToRGBACustom(const uint8_t* rgb, float alpha, int32_t width, int32_t height);
void SetTextureAlpha(uint8_t* rgba, float alpha);  // pure black pixels of 256 x 256
void SetTextureAlphaCustom(uint8_t* rgba, float alpha, int32_t width, int32_t height);
void SetTextureColor(uint8_t* rgba, const RGBColor& color);  // non-black pixels of 256 x 256
void SetTextureColorCustom(uint8_t* rgba, const RGBColor& color, int32_t width, int32_t height);
void SetCustomTextureAlpha(uint8_t* rgba, uint8_t red, uint8_t green, uint8_t blue, int32_t side);
void SetCustomTextureAverageAlpha(uint8_t* rgba, int32_t side);
// Clears the first and last rows and the first and last pixel of every row (all four bytes).
void FrameImage(uint8_t* rgba, int32_t width, int32_t height);
// A new width x height RGBA buffer scaled from the source (gluScaleImage, pack and unpack
// alignment 1, restored after); null when it cannot be made.
uint8_t* ScaleRGBAImage(const uint8_t* rgba, int32_t width, int32_t height, int32_t newWidth, int32_t newHeight);
// The RGBA pixels of a custom image as uploaded: converted with alpha 255, framed and scaled
// to 512 x 512 unless exactly that size (framed only when `keyed`), pure black made
// transparent when `keyed`. Null when a step fails; the image record is left as it was.
uint8_t* CustomTexturePixels(const DIBImage* image, bool keyed);

// Divides the vector by its length in place (a zero vector is left as it is); returns it.
float* ReduceToUnit(float vector[3]);

// Gives a material (texture id, scale, colour) applied to one cabinet part to every part of
// that subtype in the same cabinet: slots 1 and 2 and both sides of every point; each part's
// skirting is rebuilt and the part rendered again.
void AssignCabinetTextures(int32_t subtype, int32_t textureID, const ShortPoint* scale, const RGBColor* color,
                           Objex* object);
// The same with the scale and colour given as values.
inline void AssignCabinetTextures(int32_t subtype, int32_t textureID, ShortPoint scale, RGBColor color, Objex* object) {
  AssignCabinetTextures(subtype, textureID, &scale, &color, object);
}
