// The undo-name stack through the sequences the Edit menu sees: steps up to the level limit and
// one past it, undo and redo back and forth with their titles, a new step after an undo, the
// newest step renamed, and the oldest or farthest steps let go.
#include <gtest/gtest.h>

#include "platform/UndoNames.h"

namespace {

std::vector<std::string> Undoable(UndoNameStack stack) {  // newest first
  std::vector<std::string> names;
  stack.onUndo = nullptr;
  while (stack.canUndo()) {
    names.push_back(stack.undoActionName());
    stack.undo();
  }
  return names;
}

std::vector<std::string> Redoable(UndoNameStack stack) {  // next first
  std::vector<std::string> names;
  stack.onRedo = nullptr;
  while (stack.canRedo()) {
    names.push_back(stack.redoActionName());
    stack.redo();
  }
  return names;
}

TEST(UndoNames, StepsUpToTheLimitUndoRedoAndTitles) {
  UndoNameStack stack;
  int undos = 0, redos = 0;
  stack.onUndo = [&] {
    ++undos;
    EXPECT_TRUE(stack.isUndoing() && !stack.isRedoing());
  };
  stack.onRedo = [&] {
    ++redos;
    EXPECT_TRUE(stack.isRedoing() && !stack.isUndoing());
  };
  EXPECT_EQ(stack.undoMenuItemTitle(), "Undo");
  EXPECT_EQ(stack.redoMenuItemTitle(), "Redo");
  EXPECT_FALSE(stack.undo());
  EXPECT_FALSE(stack.redo());
  stack.setLevelsOfUndo(3);
  for (const char* name : {"Wall", "Door", "Roof"}) stack.setActionName(name);
  EXPECT_EQ(Undoable(stack), (std::vector<std::string>{"Roof", "Door", "Wall"}));  // exactly the limit
  stack.setActionName("Stairs");  // one past it: the oldest goes
  EXPECT_EQ(Undoable(stack), (std::vector<std::string>{"Stairs", "Roof", "Door"}));

  ASSERT_TRUE(stack.undo());
  ASSERT_TRUE(stack.undo());
  EXPECT_EQ(stack.undoMenuItemTitle(), "Undo Door");
  EXPECT_EQ(stack.redoMenuItemTitle(), "Redo Roof");
  EXPECT_EQ(Redoable(stack), (std::vector<std::string>{"Roof", "Stairs"}));
  ASSERT_TRUE(stack.redo());
  EXPECT_EQ(stack.undoMenuItemTitle(), "Undo Roof");
  EXPECT_EQ(stack.redoMenuItemTitle(), "Redo Stairs");
  EXPECT_EQ(undos, 2);
  EXPECT_EQ(redos, 1);
  EXPECT_FALSE(stack.isUndoing() || stack.isRedoing());

  stack.undo();
  stack.setActionName("Deck");  // a new step after an undo: nothing to redo
  EXPECT_FALSE(stack.canRedo());
  EXPECT_EQ(Undoable(stack), (std::vector<std::string>{"Deck", "Door"}));
  stack.renameLastAction("Deck Steps");
  EXPECT_EQ(Undoable(stack), (std::vector<std::string>{"Deck Steps", "Door"}));
  stack.setActionName("");
  EXPECT_EQ(stack.undoMenuItemTitle(), "Undo");  // an unnamed step
  stack.setLevelsOfUndo(2);
  EXPECT_EQ(Undoable(stack), (std::vector<std::string>{"", "Deck Steps"}));
}

TEST(UndoNames, TheOldestUndoAndTheFarthestRedoStepsGo) {
  UndoNameStack stack;
  stack.setLevelsOfUndo(0);  // no limit
  for (const char* name : {"a", "b", "c", "d", "e", "f"}) stack.setActionName(name);
  stack.undo();
  stack.undo();
  stack.undo();  // undo: c b a, redo: d e f
  stack.keepAtMost(3);
  EXPECT_EQ(Undoable(stack), (std::vector<std::string>{"c", "b", "a"}));
  stack.keepAtMost(2);
  EXPECT_EQ(Undoable(stack), (std::vector<std::string>{"c", "b"}));
  stack.keepRedoAtMost(3);
  EXPECT_EQ(Redoable(stack), (std::vector<std::string>{"d", "e", "f"}));
  stack.keepRedoAtMost(2);
  EXPECT_EQ(Redoable(stack), (std::vector<std::string>{"d", "e"}));
  stack.renameLastAction("c2");  // stands for what came since: nothing to redo
  EXPECT_FALSE(stack.canRedo());
  stack.removeAllActions();
  EXPECT_FALSE(stack.canUndo());
  stack.renameLastAction("first");  // none to rename: a new step
  EXPECT_EQ(Undoable(stack), (std::vector<std::string>{"first"}));
}

}  // namespace
