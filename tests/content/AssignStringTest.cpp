// Naming the selected top-level objects.
#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "content/AssignString.h"

namespace {

class AssignStringTest : public DesignWindowTest {};

TEST_F(AssignStringTest, EmptyTextRenamesNothingAndEachObjectGetsItsOwnCopy) {
  Objex* a = addSelectedSquare();
  Objex* b = addSelectedSquare();
  Objex* other = addSelectedSquare();
  SelectObj(other, kSelectOff, 1);
  AssignStringToSelectedObjects("");
  AssignStringToSelectedObjects(nullptr);
  EXPECT_EQ(a->name, nullptr);
  AssignStringToSelectedObjects("Sofa");
  ASSERT_NE(a->name, nullptr);
  ASSERT_NE(b->name, nullptr);
  EXPECT_STREQ(a->name, "Sofa");
  EXPECT_NE(a->name, b->name);
  EXPECT_EQ(other->name, nullptr);
  AssignStringToSelectedObjects("");
  EXPECT_STREQ(a->name, "Sofa");

  // An object placed on an upper floor is named there too.
  Layer* upper = CreateLayer("Upper Floor", 1, 1, nullptr);
  AppendLayerToDocument(upper);
  model->itsCurLayer = upper;
  Objex* placed = addSelectedSquare();
  AssignStringToSelectedObjects("Lamp");
  ASSERT_NE(placed->name, nullptr);
  EXPECT_STREQ(placed->name, "Lamp");
  EXPECT_STREQ(a->name, "Lamp");
}

}  // namespace
