// The 3D model of a wall attachment: a chain of plain face objects hung on the door's or
// window's record (frame first, then leaves, dividers and sills), a wall component's fitted
// 3D symbol, or the single plane of a wall accessory. Rebuilt whole every time the
// attachment is placed, moved, resized or re-fitted to its wall.
#pragma once
#include <cstdint>

#include "model/Types.h"
#include "plandraw/WallsAndDoors.h"

struct DocState;
struct DoorWindowData;
struct Objex;
struct Poinz;

// Door subtypes (DoorWindowData::subtype) beyond those of model/Attachments.h and the plan
// drawing's door kinds: the names the 3D builders know 502 and 510 by.
enum : int16_t { kDoorFrameWithDividers = 502, kDoorHinged2 = 510 };
// Window subtypes.
enum : int16_t {
  kWindowHalfRound = 601, kWindowHalfRoundLow = 602, kWindowArchTopLow = 603, kWindowArchTop = 604,
  kWindowQtrArchTop1 = 605, kWindowQtrArchTop2 = 606, kWindowQtrArchTopLow1 = 607,
  kWindowQtrArchTopLow2 = 608, kWindowQtrArch1 = 609, kWindowQtrArch2 = 610,
  kWindowChipCorner1 = 611, kWindowChipCorner2 = 612, kWindowChipCorner3 = 613,
  kWindowTriangleCorner1 = 614, kWindowTriangleCorner2 = 615, kWindowTriangleCorner3 = 616,
  kWindowTriangleCorner4 = 617, kWindowPentagon1 = 618, kWindowPentagon2 = 619,
  kWindowParallelogram1 = 620, kWindowParallelogram2 = 621, kWindowOctagon = 622, kWindowCircle = 623,
  kWindowQtrArchLow1 = 624, kWindowQtrArchLow2 = 625
};

// Rebuilds the 3D model of a door, window, wall component or accessory. Needs a current
// document with its DocState and the attachment's type record; anything else does nothing.
namespace openings { void BuildAttachmentFrame(Objex* attachment); }
// Mirrors every face of the record's chain top to bottom (horizontal 0) or along x
// (horizontal 1) about the middle of the first quarter of the first face's points.
void FlipWindow(Objex* attachment, int16_t horizontal);
// The single face of a wall accessory, standing off the wall face by the record's offset.
void Build3DAccessoryPlane(Objex* accessory);

// ---- Shared by the frame and leaf builders ------------------------------------------------

// What every builder reads: the document's state, the parent wall, the record and the
// attachment's first two points.
struct AttachmentInputs {
  DocState* ds = nullptr;
  Objex* wall = nullptr;
  DoorWindowData* record = nullptr;
  Poinz* p1 = nullptr;
  Poinz* p2 = nullptr;
};
// False (and nothing filled in that matters) without a current document and DocState, a
// parent, a type record or two points.
bool GetAttachmentInputs(Objex* attachment, AttachmentInputs* out);
// The wall's base offset converted to plan units (0 without a wall).
float WallBaseOffset(const Objex* wall, const DocState* ds);
// `ConvertWorldToScreen` without zoom.
float CWS(float value, const DocState* ds);

// Plan offset of `length` along `angle` (x, z).
struct PlanOffset {
  float x, z;
};
PlanOffset FacePolar(float angle, float length);
// Plan angle and length from (x1, z1) to (x2, z2).
float FaceAngle(float x1, float z1, float x2, float z2);
float FaceDistance(float x1, float z1, float x2, float z2);
// A coordinate snapped to the nearest whole unit (halves away from zero), kept as a float;
// values that are not finite or too large to hold a whole number come back as they are.
float SnapCoordinate(double value);
// A coordinate truncated toward zero, kept as a float.
float TruncCoordinate(double value);

// A new face of the attachment: given type and closing, visible, the attachment's pen and
// fill colours, line weight 1, style 6 and 0, bounds (0, 0, 100, 100), the attachment as
// parent and its layer, no type data. Not linked anywhere. Null when it cannot be made.
Objex* NewAttachmentFace(Objex* attachment, int16_t type, uint8_t closed);
// Appends a point at (x, y, z); false when it cannot be made.
bool AddFacePoint(Objex* face, float x, float y, float z);
// Frees one face that is linked nowhere (with its points).
void FreeLooseFace(Objex* face);
// Frees every face of a chain (following `next`) and clears the head.
void FreeFaceChain(Objex*& head);
// Appends a face at the tail of the record's chain (the head when the chain is empty).
// `lastHint`, when given, holds the last face this builder appended (or null) and is moved
// on to the new face, so that a builder appending many faces never walks the chain again.
void AppendFaceToChain(DoorWindowData* record, Objex* face, Objex** lastHint = nullptr);
// Stores the face's 2D and 3D bounds, grown from empty.
void StoreFaceBounds(Objex* face);
// Every point of the face: both texture ids, colours and texture scales.
void SetFacePointMaterial(Objex* face, int32_t textureID, const RGBColor& color, const ShortPoint& scale);
// Every point takes the attachment's material slot 0 (texture, fill colour, slot-0 scale).
void SetFaceSlot0Material(Objex* face, const Objex* attachment);
