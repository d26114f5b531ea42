// The check that a custom skylight placed on a roof slope keeps, as its stored bounds, the
// extent of its outline parts.
#pragma once
#include <gtest/gtest.h>

#include "building3d/Skylights3D.h"
#include "model/Records.h"

inline void ExpectBoundsAreTheOutlinePartsExtent(Objex* sky) {
  FloatRect rect{};
  Float3DRect box{};
  building3d::GetCustomSkylightBounds(sky, &rect, &box);
  ASSERT_LT(box.floatTop, box.floatBottom);  // on the slope
  EXPECT_FLOAT_EQ(sky->bounds3D.floatTop, box.floatTop);
  EXPECT_FLOAT_EQ(sky->bounds3D.floatBottom, box.floatBottom);
  EXPECT_FLOAT_EQ(sky->bounds3D.floatLeft, box.floatLeft);
  EXPECT_FLOAT_EQ(sky->bounds3D.floatRight, box.floatRight);
  EXPECT_FLOAT_EQ(sky->bounds3D.floatFront, box.floatFront);
  EXPECT_FLOAT_EQ(sky->bounds.floatLeft, rect.floatLeft);
  EXPECT_FLOAT_EQ(sky->bounds.floatTop, rect.floatTop);
  EXPECT_FLOAT_EQ(sky->bounds.floatBottom, rect.floatBottom);
}
