// Custom textures (user images numbered from 20000 for the life of the process, listed per
// document by path), texture information files (tile size, alpha) and texture repeat factors.
#pragma once
#include <cstddef>
#include <cstdint>

#include "model/TextureIDs.h"

// One registered custom image; the list's head is the document model's itsCustomTextureList.
// Allocated zeroed, appended at the tail; freed by DeleteCustomTextureList.
struct CustomTextureIDList {
  CustomTextureIDList* prev;
  int32_t id;   // 20000 or above
  char* path;   // owned; relative to the custom texture folder, "/" separators
  CustomTextureIDList* next;
};

// The next custom texture id (also numbers photo images); starts at 20000 and only grows.
extern int32_t gCurrentPhotoTextureID;

// Tile size of a stock id (1..14999) from section "Size" of its information file; 100 for a
// missing key or file. Other ids or a null output: outputs untouched.
void LoadTextureWH(int32_t id, int32_t* width, int32_t* height);
// Tile size of a custom id (20000 and above); -1 for a missing key or file (no size given).
void LoadCustomTextureWH(int32_t id, int32_t* width, int32_t* height);
// Whether pure black pixels of a custom image become transparent (section "Opacity", key
// "Alpha"); 1 for every id below 20000, without file access.
uint8_t LoadCustomTextureAlpha(int32_t id);
// Texture repeat factors of a face whose extents are in plan units; V is negative whenever
// a size is known. Null outputs: nothing.
void ComputeTextureScale(int32_t id, float extentU, float extentV, float* scaleU, float* scaleV);

// The information file path of a custom id: custom texture folder, "/", the listed path with
// its last three characters replaced by "QTI". Without a listed path only the folder and "/";
// a null buffer or an id below 20000: nothing written; an unknown folder gives "".
void GetCustomTextureInfoFileNameFromID(int32_t id, char* path, size_t size = kTexturePathSize);

// Appends a record (palette link resolved, path copied) to the current document's list;
// no duplicate check. Nothing for a null path or without a document.
void AddCustomTextureID(int32_t id, const char* path);
// The listed path of a (resolved) id, or null.
const char* GetCustomTextureIDPath(int32_t id);
// The id of the first record whose path equals path ignoring case, or 0.
int32_t IsTexturePathLoaded(const char* path);
// The id of a custom image path: turns every "\" of path into "/" in place, returns the
// listed id or lists the path under a fresh id (without a document the id is taken but listed
// nowhere). 0 for a null path.
int32_t NewCustomTextureID(char* path);

// Drops the renderer's cached images of every listed id and the remembered texture
// information; the list stays.
void DeleteAllCachedCustomTextures();
// Forgets the texture information read so far, stock and custom (their information files are
// read again when next asked): the content library or the design changed. Information is kept
// by texture id until then.
void ForgetStockTextureSizes();
// Drops the cached images, frees every record and empties the current document's list.
void DeleteCustomTextureList();
// Frees a list given by its head (no cached-image release); for document teardown.
void FreeCustomTextureList(CustomTextureIDList* head);
