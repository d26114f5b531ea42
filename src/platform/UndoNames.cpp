// The undo-name stack.
#include "platform/UndoNames.h"

#include "platform/Strings.h"

void UndoNameStack::setLevelsOfUndo(size_t levels) {
  levels_ = levels;
  if (levels_ && undo_.size() > levels_) undo_.erase(undo_.begin(), undo_.end() - levels_);
}

void UndoNameStack::setActionName(const std::string& name) {
  redo_.clear();
  undo_.push_back(name);
  if (levels_ && undo_.size() > levels_) undo_.erase(undo_.begin());
}

void UndoNameStack::removeAllActions() {
  undo_.clear();
  redo_.clear();
}

void UndoNameStack::renameLastAction(const std::string& name) {
  if (undo_.empty()) return setActionName(name);
  redo_.clear();
  undo_.back() = name;
}

void UndoNameStack::keepAtMost(size_t n) {
  if (undo_.size() > n) undo_.erase(undo_.begin(), undo_.end() - static_cast<std::ptrdiff_t>(n));
}

void UndoNameStack::keepRedoAtMost(size_t n) {
  // The next redo is the back one.
  if (redo_.size() > n) redo_.erase(redo_.begin(), redo_.end() - static_cast<std::ptrdiff_t>(n));
}

bool UndoNameStack::undo() {
  if (undo_.empty()) return false;
  redo_.push_back(undo_.back());
  undo_.pop_back();
  undoing_ = true;
  if (onUndo) onUndo();
  undoing_ = false;
  return true;
}

bool UndoNameStack::redo() {
  if (redo_.empty()) return false;
  undo_.push_back(redo_.back());
  redo_.pop_back();
  redoing_ = true;
  if (onRedo) onRedo();
  redoing_ = false;
  return true;
}

std::string UndoNameStack::undoMenuItemTitle() const {
  std::string title = LocalizedString("Undo");
  return undo_.empty() || undo_.back().empty() ? title : title + " " + undo_.back();
}

std::string UndoNameStack::redoMenuItemTitle() const {
  std::string title = LocalizedString("Redo");
  return redo_.empty() || redo_.back().empty() ? title : title + " " + redo_.back();
}
