// Undo and Redo typed in a text field reach the design (the window's Undo and Redo) whenever
// the field has no edit of its own pending: one that was just committed with Return or Enter,
// or one never typed in.
#pragma once

// Installed once on the application; later calls do nothing.
void InstallFieldUndoKeys();
