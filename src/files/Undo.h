// Snapshot undo: a ring of numbered snapshot files per document (25 until the undo levels are
// set), each a whole design written by the design-file writer, stepped by undo and redo.
#pragma once
#include <cstdint>
#include <string>

extern int32_t gTotalUndos;  // slots of the ring
extern uint8_t gUndoActive;  // undo on

// Sizes the ring for the user's undo levels: one slot more than the levels (the design as it
// stands), the levels kept within 5..500; 25 slots for a level of 0 or less. True when the
// size changed: rings stored with the old size must then start again.
bool SetUndoRingForLevels(int32_t levels);

int32_t CountUndos(int32_t first, int32_t last);
int SaveState(const char* path);
// Replaces the current document's design with the snapshot at path. On failure the
// document is left as it was.
int RestoreState(const char* path);
// Stores a snapshot of the current document; " " (one blank) names no action.
void StoreUndo(const std::string& name);
void InitializeUndo();
void DoUndo();
void DoRedo();

// Path of the snapshot file of a slot of the current document.
std::string UndoStatePath(int32_t slot);
