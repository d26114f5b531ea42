// The design file: header, DocState block, the object stream with layer records and
// group and cabinet brackets, black boxes, saved views and palettes.
#pragma once
#include <cstdint>

struct Layer;
struct Objex;
struct ObjectsLeftOut;
class ZLKDocumentModel;

// Writes the current document at version 11100, whole and atomically. 1 when the file was
// written; 0 without a document or when the file could not be written (the old file stays).
int KeyFileWrite(const char* path);
// Reads a design file into the current document. The design is read into a fresh model and
// replaces the open one only when the read succeeds; 0 (document unchanged) when the file
// cannot be opened, has a version that is not accepted, is damaged, or lacks one of the floors.
// `leftOut` (may be null) gets the objects whose records were read but that were left out of
// the design (ReadAnObject says which); the caller tells the user.
int KeyFileRead(const char* path, ObjectsLeftOut* leftOut = nullptr);

// The pieces, for the undo snapshots, the clipboard, cabinets and templates.
void DoWriteHeader();
void DoReadHeader();
void DoWriteObjects();
// Reads the object stream of the loaded input into the current document. False when the
// stream is damaged (the objects read so far stay in the document).
bool DoReadObjects();
// Whether the last DoReadObjects read or made any selected point (false only when none was
// selected); NoteReadSelection records a selection made by a reading step beside the objects.
bool ReadSawSelection();
void NoteReadSelection();
// Whether the last object stream read held ground objects (lots, topography, slope sections)
// outside groups, those the ground's heights are worked out from.
bool ReadSawGround();
void WriteALayer(const Layer* layer);
Layer* ReadALayer();
void ConvertOldTextBlockLayers();

// The whole design written into the output buffer (header through palettes).
void WriteDesignToOutputBuffer();
// Opening a design repairs what older versions lacked; restoring a snapshot takes it as it is.
enum class DesignReadMode { kOpen, kRestore };
// Reads the whole design from the loaded input buffer into `fresh` (a new, empty model),
// which is current during the read. False when the stream is refused or damaged or lacks
// one of the three floors.
bool ReadDesignIntoModel(ZLKDocumentModel* fresh, DesignReadMode mode = DesignReadMode::kOpen);
// Moves what was read into `fresh` into `target`, replacing its design; `fresh` is left empty.
// The target's palettes are replaced when `fresh` holds some or `palettesRead` says the file
// carried its (possibly empty) palette chain. True when the design replaced held ground
// objects (the ground's heights were then worked out again for the new design).
bool ReplaceDesign(ZLKDocumentModel* target, ZLKDocumentModel* fresh, bool palettesRead = false);

// Insert mode (gOpenSymbol): reads the object stream of the loaded input (positioned after
// whatever precedes the objects) into a scratch model, then moves the objects into the
// current document's current layer (or topography layer), selected. False, with the
// document unchanged, when the stream is damaged.
bool InsertObjectsFromStream();
