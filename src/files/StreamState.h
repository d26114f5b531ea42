// Versions and modes of the design-file stream being read or written, shared by every
// record reader and writer (one stream is open at a time).
#pragma once
#include <cstdint>

#include "files/FileTags.h"

extern int32_t sWriteVersion;      // version being written
extern int32_t sInputVersion;      // version of the stream being read (from its header)
extern int16_t sInputPlatform;     // platform code of the header; never tested
extern uint8_t gOpenSymbol;        // insert mode: reading adds to the current document
extern uint8_t gReadingTopoLayer;  // insert mode targets the topography layer
extern uint8_t gCabinetOpen;       // a cabinet file's objects are being read
extern uint8_t gUpdateID;          // a dropped template is read: stored IDs are dropped
extern uint8_t gScrapMode;         // the object stream goes to or comes from the clipboard scrap
extern uint8_t gFileWriteFailed;   // 1 from the start of an exchange file write until it is over
