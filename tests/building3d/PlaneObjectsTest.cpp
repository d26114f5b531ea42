// Plane objects: creation defaults and the normal limit.
#include <gtest/gtest.h>

#include "building3d/PlaneObjects.h"

TEST(PlaneObjects, ListStartsEmpty) { EXPECT_EQ(gGLPlaneObjects, nullptr); }
