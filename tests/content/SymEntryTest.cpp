// Content entries: the initialisers and the drag record.
#include <gtest/gtest.h>

#include "ContentTestSupport.h"
#include "content/SymEntry.h"
#include "model/Services.h"

namespace {

TEST(SymEntryRecord, NoTextsGiveFortyBytesAndRoundTrip) {
  SymEntryInfo e;
  e.type = kEntryMaterial;
  e.refNum = -3;
  e.colorIndex = 70;
  e.textureID = 851;
  e.textureScale = {12, -7};
  e.textureColor = {255, 1, 128};
  const std::vector<uint8_t> record = encodeSymEntry(e);
  EXPECT_EQ(record.size(), 40u);
  SymEntryInfo back;
  back.objectPreview = "kept";
  ASSERT_TRUE(decodeSymEntryWithData(&back, record.data(), record.size()));
  EXPECT_EQ(back.type, kEntryMaterial);
  EXPECT_EQ(back.refNum, -3);
  EXPECT_EQ(back.colorIndex, 70);
  EXPECT_EQ(back.textureID, 851);
  EXPECT_EQ(back.textureScale.x, 12);
  EXPECT_EQ(back.textureScale.y, -7);
  EXPECT_EQ(back.textureColor.red, 255);
  EXPECT_EQ(back.textureColor.blue, 128);
  // A text of length 0 leaves the field as it was.
  EXPECT_EQ(back.objectPreview, "kept");
  EXPECT_TRUE(back.objectData.empty());
}

TEST(SymEntryRecord, ADescriptionAddsItsLengthAndIsReadBack) {
  SymEntryInfo e;
  initWithPreviewPath(&e, "/p.QPV", "/i.QTI", "/d.QTX", "Red Brick", 851, 2, kEntryMaterial);
  SymEntryInfo described;
  described.objectDescription = "Red Brick";
  EXPECT_EQ(encodeSymEntry(described).size(), 40u + 9u);
  const std::vector<uint8_t> record = encodeSymEntry(e);
  EXPECT_EQ(record.size(), 40u + 6 + 6 + 6 + 9);
  SymEntryInfo back;
  ASSERT_TRUE(DecodeSymEntryWithData(record.data(), record.size(), &back));
  EXPECT_EQ(back.objectPreview, "/p.QPV");
  EXPECT_EQ(back.objectInfo, "/i.QTI");
  EXPECT_EQ(back.objectData, "/d.QTX");
  EXPECT_EQ(back.objectDescription, "Red Brick");
  EXPECT_EQ(back.refNum, 2);
}

TEST(SymEntryRecord, EveryPrefixDecodesWithoutReadingPastItsEnd) {
  SymEntryInfo e;
  initWithPreviewPath(&e, "/a", "/bb", "/ccc", "dddd", 900, 7, kEntryTrim);
  const std::vector<uint8_t> record = encodeSymEntry(e);
  for (size_t n = 1; n <= record.size(); ++n) {
    // An exact-size copy so that any over-read trips the address checker.
    std::vector<uint8_t> prefix(record.begin(), record.begin() + static_cast<long>(n));
    SymEntryInfo back;
    ASSERT_TRUE(decodeSymEntryWithData(&back, prefix.data(), prefix.size()));
    if (n < 2) EXPECT_EQ(back.type, 0);
    if (n >= 6) EXPECT_EQ(back.refNum, 7);
    EXPECT_EQ(back.textureID, n >= 14 ? 900 : 0);
    if (n < record.size()) EXPECT_NE(back.objectDescription, "dddd");
  }
  // A number that does not fit reads as 0 and the next field still starts where it was.
  size_t at = 0;
  const uint8_t three[3] = {1, 2, 3};
  EXPECT_EQ(decodeLongFromData(three, 3, &at), 0);
  EXPECT_EQ(at, 0u);
  EXPECT_EQ(decodeShortFromData(three, 3, &at), static_cast<int16_t>(0x0201));
  EXPECT_EQ(at, 2u);
  // A length far past the end leaves the text absent.
  std::vector<uint8_t> bad = encodeSymEntry(SymEntryInfo{});
  bad[24] = 0xFF;
  bad[25] = 0xFF;
  bad[26] = 0xFF;
  bad[27] = 0x7F;
  SymEntryInfo back;
  back.objectPreview = "old preview";
  back.objectDescription = "old description";
  EXPECT_TRUE(decodeSymEntryWithData(&back, bad.data(), bad.size()));
  EXPECT_TRUE(back.objectPreview.empty());
  // A text whose bytes are cut off is absent, whatever the field held before.
  SymEntryInfo described;
  described.objectDescription = "Oak";
  std::vector<uint8_t> cut = encodeSymEntry(described);
  cut.pop_back();
  back.objectDescription = "old description";
  EXPECT_TRUE(decodeSymEntryWithData(&back, cut.data(), cut.size()));
  EXPECT_TRUE(back.objectDescription.empty());
  EXPECT_FALSE(decodeSymEntryWithData(&back, nullptr, 10));
}

TEST(SymEntryInit, RampStepsFollowTheSaturationAndValueSteps) {
  // Hue 0 is red: the ramp runs from nearly white through red to dark red.
  SymEntryInfo e;
  initWithColorIndexHue(&e, 1, 0, 1, kEntryColor);
  // saturation 2570 of full value: every component near white, red full.
  EXPECT_EQ(e.textureColor.red, 255);
  EXPECT_EQ(e.textureColor.green, (65535 - 2570) / 257);
  EXPECT_EQ(e.colorIndex, 1);
  initWithColorIndexHue(&e, 25, 0, 25, kEntryColor);
  EXPECT_EQ(e.textureColor.red, 255);
  EXPECT_EQ(e.textureColor.green, (65535 - 64250) / 257);
  initWithColorIndexHue(&e, 26, 0, 26, kEntryColor);
  EXPECT_EQ(e.textureColor.red, 62965 / 257);
  EXPECT_EQ(e.textureColor.green, 0);
  initWithColorIndexHue(&e, 45, 0, 45, kEntryColor);
  EXPECT_EQ(e.textureColor.red, 14135 / 257);
  EXPECT_EQ(e.textureColor.blue, 0);
  EXPECT_EQ(e.refNum, 45);
}

TEST(SymEntryInit, FamilyColoursComeFromTheColourTableAndPaintsAreClamped) {
  SymEntryInfo e;
  e.objectDescription = "old";
  initWithColorIndex(&e, 5, 6, kEntryColor);  // no design: a blank entry
  EXPECT_EQ(e.type, 0);
  EXPECT_EQ(e.refNum, 0);
  EXPECT_EQ(e.colorIndex, 0);
  EXPECT_EQ(e.textureColor.red, 0);
  EXPECT_TRUE(e.objectDescription.empty());
  BareDesign design;
  design.ds()->colorTable[5] = 0x30201 + 0;  // r 1, g 2, b 3
  initWithColorIndex(&e, 5, 6, kEntryColor);
  EXPECT_EQ(e.textureColor.red, 1);
  EXPECT_EQ(e.textureColor.green, 2);
  EXPECT_EQ(e.textureColor.blue, 3);
  EXPECT_EQ(e.refNum, 6);
  initWithColorIndex(&e, 72, 1, kEntryColor);  // outside the table: black, no read
  EXPECT_EQ(e.textureColor.red, 0);
  initWithRed(&e, -5, 300, 17, "Sage", 3, kEntryColor);
  EXPECT_EQ(e.textureColor.red, 0);
  EXPECT_EQ(e.textureColor.green, 255);
  EXPECT_EQ(e.textureColor.blue, 17);
  EXPECT_EQ(e.objectDescription, "Sage");
  EXPECT_EQ(e.colorIndex, 0);
}

}  // namespace
