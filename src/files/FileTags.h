// Codes of the design-file family: header versions, the platform code and the Short tags
// that frame layers, objects, brackets, attachments, trims and embedded definitions.
#pragma once
#include <cstdint>

// Header versions of design files (and of snapshots, the clipboard and cabinet files).
constexpr int32_t kVersionDesign10000 = 10000;
constexpr int32_t kVersionDesign10300 = 10300;
constexpr int32_t kVersionDesign10350 = 10350;
constexpr int32_t kVersionDesign10351 = 10351;
constexpr int32_t kVersionDesign10400 = 10400;
constexpr int32_t kVersionDesign10410 = 10410;
constexpr int32_t kVersionDesign10450 = 10450;
constexpr int32_t kVersionDesign10500 = 10500;
constexpr int32_t kVersionDesign10700 = 10700;
constexpr int32_t kVersionDesign10701 = 10701;
constexpr int32_t kVersionDesign10750 = 10750;
constexpr int32_t kVersionDesign10800 = 10800;
constexpr int32_t kVersionDesign10900 = 10900;
constexpr int32_t kVersionDesign11000 = 11000;
constexpr int32_t kVersionDesign11100 = 11100;

constexpr int16_t kPlatformApple = 2;

// Tags (big-endian Shorts).
enum : int16_t {
  kTagLayer = 100,
  kTagObject = 200,
  kTagWallAttachment = 201,
  kTagGroupBegin = 202,
  kTagGroupEnd = 203,
  kTagDeckAttachment = 204,
  // A group inside a bracket: its record, then this tag (or, for a cabinet with its state, the
  // cabinet begin tag and the state), its members, and kTagInnerGroupEnd. Readers that know
  // neither tag pass over them and take the members as the outer group's.
  kTagInnerGroupBegin = 205,
  kTagCabinetBegin = 206,
  kTagCabinetEnd = 207,
  kTagTrimBegin = 208,
  kTagTrimEnd = 209,
  kTagTrimObjectBegin = 210,
  kTagTrimObjectEnd = 211,
  kTagAttachmentDefinitionBegin = 212,
  kTagAttachmentDefinitionEnd = 213,
  kTagRoofAttachment = 214,
  kTagRoofDefinitionBegin = 215,
  kTagRoofDefinitionEnd = 216,
  kTagInnerGroupEnd = 217,
  kTagDimensionText = 300,  // an older dimension record carries its text object
  kTagObjectsEnd = 400,
  kTagBlackBox = 600,
  kTagBlackBoxEnd = 601,
  kTagBlackBoxListEnd = 602
};

// Whether a header version is one of the fifteen design-file versions.
constexpr bool IsDesignFileVersion(int32_t v) {
  switch (v) {
    case kVersionDesign10000: case kVersionDesign10300: case kVersionDesign10350:
    case kVersionDesign10351: case kVersionDesign10400: case kVersionDesign10410:
    case kVersionDesign10450: case kVersionDesign10500: case kVersionDesign10700:
    case kVersionDesign10701: case kVersionDesign10750: case kVersionDesign10800:
    case kVersionDesign10900: case kVersionDesign11000: case kVersionDesign11100:
      return true;
    default:
      return false;
  }
}

// Record layout groups of the object records: 0 (10000), 1 (10300-10351), 2 (10400,
// 10410), 3 (10450), 4 (10500-10750), 5 (10800 and later).
constexpr int RecordGroup(int32_t v) {
  if (v < kVersionDesign10300) return 0;
  if (v < kVersionDesign10400) return 1;
  if (v < kVersionDesign10450) return 2;
  if (v < kVersionDesign10500) return 3;
  if (v < kVersionDesign10800) return 4;
  return 5;
}
