// Snapshot undo: a ring of numbered snapshot files per document (25 unless the program sizes it
// for the user's undo levels), each a whole design written by the design-file writer, stepped by
// undo and redo.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

class ZLKDocumentModel;

extern int32_t gTotalUndos;  // slots in the ring, 25 by default
// Sizes the ring so that it holds `levels` steps (one snapshot more than steps), levels kept
// within 5..500. Every document's ring must be started afresh after a change of size.
void SetUndoLevels(int levels);
extern uint8_t gUndoActive;  // undo on

int32_t CountUndos(int32_t first, int32_t last);
int SaveState(const char* path);
// Replaces the current document's design with the snapshot at path. On failure the
// document is left as it was.
int RestoreState(const char* path);
// Stores a snapshot of the current document; " " (one blank) names no action. Older steps are
// given up when the folder has no room for it (the user is told once per history); an edit
// whose snapshot still cannot be stored is one step to undo all the same, back to the newest
// stored state, and cannot be redone.
void StoreUndo(const std::string& name);
// What a click or drop that may have changed nothing is compared on: the design alone (its
// selection, ID counters, changed-since-saved flag and the settings that change with no step
// of their own, which Undo and Redo leave as they stand, left out), or the design and which
// objects are selected (the tools whose click selects what it hits).
enum class UndoCompare { kDesign, kDesignAndSelection };
// StoreUndo for a road that cannot tell whether it changed anything (a tool click refused, a
// drag back to where it began, a material dropped on a surface that has it): the design is
// written once, and stored as a new step only when it differs from the step it stands at.
// Whether a step was stored (or, with undo off, the edit noted). When there is nothing to
// compare with (no stored step, an edit no snapshot took) the step is stored.
bool StoreUndoIfChanged(const std::string& name, UndoCompare compare = UndoCompare::kDesign);
// Starts the current document's history afresh: the old snapshots go, the first is stored.
void InitializeUndo();
// Marks the document edited or not. Unedited (just saved, opened or made), the step the design
// stands at holds it as saved: Undo and Redo leave the design edited at every other step and
// unedited back at that one. Edited outside the steps, no step holds the saved design.
void MarkDesignEdited(ZLKDocumentModel* doc, bool edited);
void DoUndo();
void DoRedo();

// Path of the snapshot file of a slot of the current document.
std::string UndoStatePath(int32_t slot);

// The free bytes of the temporary folder, which bound the room the snapshots of a design may
// take (half of what the folder could give them; the oldest steps go first). Tests put their
// own query in place; an empty function restores the folder's own count.
void SetUndoFreeBytesQuery(std::function<int64_t()> query);
