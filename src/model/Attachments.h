// Type data of wall, deck and roof attachments (doors, windows, deck steps,
// skylights, dormer cut-outs) and the trim record of a wall segment side.
#pragma once
#include <cstdint>
#include "model/Types.h"

struct Objex;
struct Poinz;

// One trim slot of a door or window, or a material slot of a roof attachment.
struct TrimSlot {
  uint8_t flag;
  int32_t textureID;
  int16_t textureWidth;   // texture scale or size, as the slot's user reads it
  int16_t textureHeight;
  RGBColor color;
  Objex* profile;  // custom profile object, owned

  // The names the trim builders and renderers use: the slot's custom flag and profile.
  uint8_t& customFlag() { return flag; }
  uint8_t customFlag() const { return flag; }
  Objex*& customProfile() { return profile; }
  Objex* customProfile() const { return profile; }
};

struct DoorWindowData {
  int16_t ownerType;
  int16_t subtype;
  Poinz* anchorStart;  // start point of the segment the attachment is measured from
  Poinz* anchorEnd;
  float startDistance;
  float remainingLength;
  float width;
  float height;
  float elevation;
  Objex* faces;  // built faces, owned
  DoorWindowData* linkPrev;
  DoorWindowData* linkNext;
  uint8_t flipHorizontal;
  float auxFloat1;
  int16_t flipVertical;
  int16_t auxShort1;
  int16_t auxShort2;
  float auxValue;  // the frame size, stored on file as these four bytes
  Objex* maskObject;
  Objex* definitionParts;
  Objex* definitionLeafParts;
  Objex* extraParts1;
  Objex* extraParts2;
  Objex* extraParts3;
  Objex* extraParts4;
  TrimSlot trimSlotA;
  TrimSlot trimSlotB;
  // Indexes of the two anchors in the parent's point list; meaningful only while a file
  // record is written or read (the anchor pointers above stay untouched meanwhile).
  int32_t anchorStartIndex;
  int32_t anchorEndIndex;

  // The names the placing tools, the plan drawing and the inspectors use for the
  // style fields above.
  // Door swing in radians: angle of the open leaf minus that of the closed leaf, from the hinge.
  float& swingAngle() { return auxFloat1; }
  float swingAngle() const { return auxFloat1; }
  // Divider-bar setting read by the window divider builder (doors carry 1).
  int16_t& dividerStyle() { return auxShort1; }
  int16_t dividerStyle() const { return auxShort1; }
  // Second divider setting.
  int16_t& dividerOption() { return auxShort2; }
  int16_t dividerOption() const { return auxShort2; }
  // Frame size in inches, converted by the frame builders.
  float& frameSize() { return auxValue; }
  float frameSize() const { return auxValue; }

  // The names the 3D builders of doors, windows and openings use for the same fields.
  // Leaf swing from closed in radians; the turn of custom solids; an accessory's offset
  // from the wall face in inches.
  float& openAngle() { return auxFloat1; }
  float openAngle() const { return auxFloat1; }
  // Counts of divider bars.
  int16_t& verticalDividers() { return auxShort1; }
  int16_t verticalDividers() const { return auxShort1; }
  int16_t& horizontalDividers() { return auxShort2; }
  int16_t horizontalDividers() const { return auxShort2; }
  // Standard trim width in inches (3, 4, 6 or 8); the sill depth is 0.75 of it.
  float& trimWidth() { return auxValue; }
  float trimWidth() const { return auxValue; }
  // Custom part lists of a definition: frame parts and leaf parts.
  Objex*& frameParts() { return definitionParts; }
  Objex* frameParts() const { return definitionParts; }
  Objex*& leafParts() { return definitionLeafParts; }
  Objex* leafParts() const { return definitionLeafParts; }
};

struct RoofAttachmentData {
  int16_t ownerType;  // 160 skylight, 166 dormer cut-out
  int16_t subtype;    // 800..802, 806 custom
  float floats[4];    // width, height, trim width (plan units), angle (degrees, 90 unturned)
  int32_t panelID;
  uint8_t flags[2];   // horizontal and vertical flip
  Objex* owner;
  Objex* parts;
  Objex* outlineParts;
  Objex* separatorParts;
  Objex* leafParts;
  Objex* customParts;
  Objex* otherParts;
  TrimSlot slots[2];

  // The names the skylight and dormer tools and builders use for the same fields.
  float& width() { return floats[0]; }
  float width() const { return floats[0]; }
  float& height() { return floats[1]; }
  float height() const { return floats[1]; }
  float& trimWidth() { return floats[2]; }
  float trimWidth() const { return floats[2]; }
  float& angle() { return floats[3]; }
  float angle() const { return floats[3]; }
  uint8_t& flipHorizontal() { return flags[0]; }
  uint8_t flipHorizontal() const { return flags[0]; }
  uint8_t& flipVertical() { return flags[1]; }
  uint8_t flipVertical() const { return flags[1]; }
  Objex*& object() { return owner; }
  Objex* object() const { return owner; }
  Objex*& defOutlines() { return outlineParts; }
  Objex*& defFrames() { return separatorParts; }
  Objex*& defLeaves() { return leafParts; }
  Objex*& defCustomParts() { return customParts; }
  Objex*& defExtraParts() { return otherParts; }
  RGBColor& color() { return slots[0].color; }
  int32_t& trimTexture() { return slots[1].textureID; }
  int16_t& trimTextureWidth() { return slots[1].textureWidth; }
  int16_t& trimTextureHeight() { return slots[1].textureHeight; }
  RGBColor& trimColor() { return slots[1].color; }
};

// Trim record of one side of a wall segment; owns its two trim objects.
struct TrimData {
  int32_t trimCodeA;  // kTrimCustomProfile: the shape is profileA
  int32_t trimCodeB;
  Objex* profileA;    // owned
  Objex* profileB;    // owned
  int32_t slotTextureIDs[5];
  RGBColor slotColors[5];
  ShortPoint slotTextureScales[5];

  // The names the wall-face and trim builders use: the base (lower) and crown trim words and
  // their custom profiles.
  int32_t& lowerTrim() { return trimCodeA; }
  int32_t lowerTrim() const { return trimCodeA; }
  int32_t& crownTrim() { return trimCodeB; }
  int32_t crownTrim() const { return trimCodeB; }
  Objex*& lowerProfile() { return profileA; }
  Objex* lowerProfile() const { return profileA; }
  Objex*& crownProfile() { return profileB; }
  Objex* crownProfile() const { return profileB; }
};
// The trim record of one side of one wall segment, under the 3D builders' name.
using WallTrimData = TrimData;
constexpr int32_t kTrimCustomProfile = 65536;

// Attachment subtypes the model and the file compare.
enum : int16_t { kDoorHinged = 501, kDoorGarage = 503, kDoorCustom = 512, kWindowRectangular = 600, kWindowCustom = 626 };
enum : int16_t { kSkylightRectangular = 800, kSkylightCustom = 806 };

// The attachment record of a child of a wall or deck, or null.
DoorWindowData* AttachmentData(const Objex* child);
