// The undo-name stack that stands in for the platform undo manager: it keeps the names
// of the snapshots that can be undone and redone, drives the Edit menu titles, and asks
// the document to step its snapshot ring.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class UndoNameStack {
 public:
  // Called for each undo and redo the user asks for (the did-undo / did-redo notification).
  std::function<void()> onUndo;
  std::function<void()> onRedo;

  // Most steps offered; never more than the snapshot ring can restore.
  void setLevelsOfUndo(size_t levels);
  size_t levelsOfUndo() const { return levels_; }

  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  bool isUndoing() const { return undoing_; }
  bool isRedoing() const { return redoing_; }

  // A new step named `name`: it can be undone; whatever could be redone is dropped.
  void setActionName(const std::string& name);
  void removeAllActions();
  // The newest step, named anew, stands for what came since the step before it (a new step
  // when there is none); whatever could be redone is dropped.
  void renameLastAction(const std::string& name);
  // Drops the oldest undo steps beyond n.
  void keepAtMost(size_t n);
  // Drops the redo steps beyond the next n.
  void keepRedoAtMost(size_t n);

  // Steps back or forward one named step and notifies; false when there is none.
  bool undo();
  bool redo();

  std::string undoActionName() const { return undo_.empty() ? std::string() : undo_.back(); }
  std::string redoActionName() const { return redo_.empty() ? std::string() : redo_.back(); }
  // "Undo <name>" / "Redo <name>", or plain "Undo" / "Redo" when nothing is named.
  std::string undoMenuItemTitle() const;
  std::string redoMenuItemTitle() const;

 private:
  std::vector<std::string> undo_;
  std::vector<std::string> redo_;
  size_t levels_ = 24;
  bool undoing_ = false;
  bool redoing_ = false;
};
