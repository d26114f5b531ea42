// The plug-out file a plug-in leaves when it closes with changes: new objects, objects replaced
// or removed by ID, and its data block, merged into the current design as a whole or not at all.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;
struct DocState;

// The alert a plug-out file that cannot be merged brings.
extern const char* const kPlugOutAlertTitle;
extern const char* const kPlugOutAlertMessage;

// Merges the plug-out file at path into the current document. 1 when merged. 0 without a
// document or file (no message), and for a version that is not one of the six or contents that
// break off inside a record or make no sense (the alert, the design unchanged). A stream that
// ends between tags without its end tag is merged.
int PlugOutFileRead(const char* path);
// The same for bytes already loaded into the input buffer (position 0); the buffer is kept.
// `alert` says whether a refused file shows the alert.
int PlugOutReadLoaded(bool alert);

// The token loop at the input position (after the header); plugInID marks new groups.
void DoReadPlugOutObjects(int32_t plugInID);
// The layer named by the counted name that follows, or null.
Layer* ReadAPlugOutLayerName();

// Counters raised above every ID in use, never lowered.
void UpdateAllIDCounters();
void UpdateObjectIDCounters(const Objex* object, DocState* docState);

// Whether a slot holding textureID and colour (red in the low, green in the high 16 bits of
// colourRedGreen) still holds what the palette entry of link paletteRef stands for.
bool IsTextureIDLinkedToPalette(int32_t textureID, uint32_t colourRedGreen, uint16_t colourBlue,
                                int32_t paletteRef);
// The new object takes back the palette links of the old one where it still holds their values
// (same type only), then is rebuilt.
void UpdateObjectPaletteLinks(const Objex* oldObject, Objex* newObject);
