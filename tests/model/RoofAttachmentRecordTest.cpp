// The skylight record under its field names, and turning a skylight, which turns its angle
// (the fourth float) and leaves its trim width alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <numbers>

#include "TestDocument.h"
#include "model/Attachments.h"
#include "model/ObjectTransforms.h"

namespace {

TEST(RoofAttachmentRecord, NamesFollowTheFieldsInFileOrder) {
  RoofAttachmentData r{};
  r.width() = 1, r.height() = 2, r.trimWidth() = 3, r.angle() = 4;
  EXPECT_FLOAT_EQ(r.floats[0], 1);
  EXPECT_FLOAT_EQ(r.floats[3], 4);
  r.flipHorizontal() = 1;
  EXPECT_EQ(r.flags[0], 1);
  EXPECT_EQ(r.flags[1], 0);
  r.trimTexture() = 2218;
  r.color() = RGBColor{28784, 28784, 28784};
  r.trimColor() = RGBColor{65535, 65535, 65535};
  EXPECT_EQ(r.slots[1].textureID, 2218);
  EXPECT_EQ(r.slots[0].color.red, 28784);
  EXPECT_EQ(r.slots[1].color.blue, 65535);
  Objex* o = reinterpret_cast<Objex*>(&r);
  r.object() = o;
  EXPECT_EQ(r.owner, o);
}

TEST(RoofAttachmentRecord, TurningASkylightTurnsItsAngleNotItsTrim) {
  TestDocument doc;
  auto* data = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  data->angle() = 90;
  data->trimWidth() = 6;
  Objex* roof = doc.addObject(kObjRoofPanel, true, {{0, 0}, {10, 0}, {10, 10}});
  Objex* sky = CreateObject(kObjSkylight, 1, 1, nullptr, nullptr, 1, 0, 0, nullptr, nullptr, nullptr, roof,
                            doc.first, data);
  AppendPointToObject(CreatePoint(1, 1, 0, 0, 0, 0, 2, 0, 2, 0, 0, 0, 0, 0, 0, sky), sky);
  roof->firstChild = sky;
  TransformInfo xf{};
  xf.angle = std::numbers::pi_v<float> / 2;
  RotatePlanObject(sky, &xf);
  EXPECT_NEAR(data->angle(), 180, 1e-3);
  EXPECT_FLOAT_EQ(data->trimWidth(), 6);
}

}  // namespace
