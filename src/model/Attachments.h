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
};

struct RoofAttachmentData {
  int16_t ownerType;  // 160 skylight, 166 dormer cut-out
  int16_t subtype;    // 800..802, 806 custom
  float floats[4];    // the third is the angle in degrees
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
};
constexpr int32_t kTrimCustomProfile = 65536;

// Attachment subtypes the model and the file compare.
enum : int16_t { kDoorHinged = 501, kDoorGarage = 503, kDoorCustom = 512, kWindowRectangular = 600, kWindowCustom = 626 };
enum : int16_t { kSkylightRectangular = 800, kSkylightCustom = 806 };

// The attachment record of a child of a wall or deck, or null.
DoorWindowData* AttachmentData(const Objex* child);
