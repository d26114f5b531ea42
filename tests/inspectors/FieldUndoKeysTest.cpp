// Undo and Redo typed in an inspector field after Return reach the design; while the field
// holds an edit of its own they stay with the field.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "InspectorTestSupport.h"
#include "files/Undo.h"
#include "model/ToolCodes.h"

namespace {

using FieldUndoKeys = InspectorTest;

TEST_F(FieldUndoKeys, UndoAfterReturnInAFieldStepsTheDesign) {
  Objex* wall = addSquare(kObjWall);
  const float before = wall->width;
  StoreUndo("Add Wall");  // the snapshot an undo comes back to
  gCurTool = kToolSelection;
  update();
  auto* field = shown()->findChild<QLineEdit*>(QStringLiteral("wallThicknessText"));
  ASSERT_NE(field, nullptr);
  window->show();
  QApplication::setActiveWindow(window);
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, "9");
  // An edit of its own pending: Undo takes back the typing, the design is untouched.
  QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(wall->width, before);
  QTest::keyClicks(field, "9");
  QTest::keyClick(field, Qt::Key_Return);
  QApplication::processEvents();
  ASSERT_NE(wall->width, before);
  ASSERT_TRUE(doc->undoManager().canUndo());
  window->updateWindowState();  // the Edit menu follows the design (a timer does it in the program)
  // Committed: Undo and Redo step the design.
  QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
  QApplication::processEvents();
  wall = model->itsCurLayer->firstObject;
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->width, before);
  window->updateWindowState();
  QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QApplication::processEvents();
  wall = model->itsCurLayer->firstObject;
  ASSERT_NE(wall, nullptr);
  EXPECT_NE(wall->width, before);
}

}  // namespace
