// The private clipboard: copying the selected objects as an object stream into the scrap,
// and pasting them back onto the floor they came from, offset on every repeat.
#pragma once
#include <cstdint>
#include <string>

struct Layer;
class ZLKDocumentModel;

// The source of the last copy: the name of the floor that was current, that floor, and the
// document copied from with its id (-1 before the first copy). The floor and the document
// are only compared, never followed: either may have gone since. The id tells a document
// apart from a later one that took the same address.
extern char gClipboardLayerName[256];
extern Layer* gClipboardLayer;
extern ZLKDocumentModel* gClipboardDoc;
extern int32_t gClipboardDocID;
// Offset of the next paste along x and z, plan units: 36 before the first copy, 0 after
// every copy, 36 more after every paste.
extern float gPasteOffset;
// Set by the paste when the scrap came from another document: pasted palette links are
// replaced by the clipboard palette's materials.
extern uint8_t gUnlinkClipBoardFromPalette;

// Copies the selected objects of every layer of the current document (selected whole) into
// the scrap, with a copy of its active palette. Nothing without a document; without a
// DocState only the paste offset is reset.
void DoCopyObjects();
// Pastes the scrap into the current document onto the floor it was copied from (with a sheet
// when that is not the current floor), selected, centred in the window and offset. Nothing
// without a document, its DocState or a scrap; a damaged scrap adds nothing.
void DoPasteObjects();
// A paste keeps what it learnt of the floor for the next paste while the design stays as it
// left it; this forgets it (the next paste walks the design again).
void ForgetPasteCarry();
// Whether a paste left something for the next one, and whether the last paste went on from
// what the one before left.
bool PasteCarryKept();
bool LastPasteWentOn();
// Stores the undo state that follows a paste. Storing a state counts as an edit (it closes an
// edit road, whose direct writes the count may not have seen), but the snapshot itself writes
// nothing into the design: when the paste's carry held just before, it holds after it.
void StoreUndoAfterPaste(const std::string& name);
