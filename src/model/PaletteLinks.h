// Palette links in pasted and refreshed objects: the clipboard's copy of the active palette,
// replacing pasted links by real materials, rebuilding the objects that use a changed entry,
// and whether the 3D view shows a palette material.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;
struct DocPaletteList;

// The palette copied with the last copy of objects; in no document's chain. Null until a copy
// is made from a document with an active palette.
extern DocPaletteList* gClipBoardPalette;
// Set by the paste: converted slots are linked again where the target's palette has a match.
extern uint8_t gLinkClipBoardToCurPalette;

// Replaces the clipboard palette by a copy of the current document's active palette
// ("ClipBoard Palette", 150 entries); without an active palette there is none afterwards.
void CreateClipBoardPaletteList();
// Frees the clipboard palette.
void FreeClipBoardPaletteList();

// The link accessors resolved against the clipboard palette (texture 0, white, 100/100 when
// there is no such palette or entry).
int32_t GetClipBoardPaletteTextureID(int32_t id);
RGBColor GetClipBoardPaletteRGBColor(int32_t id);
ShortPoint GetClipBoardPaletteTextureScale(int32_t id);

// Replaces every palette link of the object and its children by the clipboard entry's
// material (16-bit colour, scale, texture), re-linked to the active palette when
// gLinkClipBoardToCurPalette is set and it holds the same material; then, unless the object
// is a group, recomputes its texture coordinates and rebuilds its 3D parts.
void ConvertObjPaletteLinksToActual(Objex* object);

// refID of the first entry of the active palette with this material, or 0. Texture entries
// match their texture id, custom texture entries the id their path is listed under, colour
// entries (only for texture id 0) the colour, all three components compared in 16 bits. The
// search ends at the first entry of any other kind.
int32_t FindTextureOrColorInPalette(int32_t textureID, RGBColor color);

// Whether the object uses palette entry refID in one of its slots; such an object (not a
// group) is rebuilt and re-rendered, and its children are examined the same way. False
// without a document or while the renderer has no plane objects.
bool UpdatePalettedObjectFromPaletteEntry(Objex* object, int32_t refID);
// The above for every top-level object of every layer, with the 3D window's progress display.
void UpdateAllPalettedObjectsFromPaletteEntry(int32_t refID);
// The above for every entry of the active palette that is not a colour (no progress display).
void UpdateAllPalettedObjectsFromPaletteList();

// Whether a plane object of the renderer (or one of their children or attachments) shows the
// link of refID (1..999) as its material.
bool IsPaletteLoaded(int32_t refID);
// Whether any entry of the active palette is loaded in that sense.
bool IsAnyPaletteLoaded();
