// Records beside the object stream: plug-in black boxes, saved 3D views, and the text
// records inside text objects.
#pragma once
#include <cstdint>

#include "files/FileTags.h"
#include "model/Types.h"

struct Objex;


// A black box larger than the bytes left is damaged; none is larger than this either.
constexpr int32_t kMaxBlackBoxSize = 256 * 1024 * 1024;

void DoWriteBlackBoxes();
void DoReadBlackBoxes();
void DoWriteLiveViews();
void DoReadLiveViews();

// The enhanced text record (text objects 144 and 145): written here, read below.
void WriteEnhancedTextData(const Objex* obj);
void ReadEnhancedTextData(Objex* obj);
// The old text record of objects stored with type 200.
void ReadTextData(Objex* obj);

// The current text font, set at start-up and by the text entry sheet.
extern LOGFONT gTextFontInfo;
