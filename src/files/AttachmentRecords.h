// Attachment records of wall and deck children, roof attachment records of skylights and
// dormer cut-outs, the trim blocks of wall points, and anchors stored as point indexes.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;
struct DoorWindowData;
struct RoofAttachmentData;
struct TrimData;
class FieldWriter;
struct RGBColor;

// Attachment record of versions 10800 and later. Embedded definitions and trim profiles are
// read onto `layer` without being put on it. With no record, attachment or layer the same
// bytes are read and dropped. Anchors come back as anchorStartIndex/anchorEndIndex.
void ReadObjectAttachment(DoorWindowData* record, Objex* attachment, Layer* layer);
// Writes the record, anchors from anchorStartIndex/anchorEndIndex; zeros for null.
void WriteObjectAttachment(const DoorWindowData* record);
// The 60-byte little-endian record of older versions.
void ApplePortReadPaddedObjectAttachment75(DoorWindowData* record);
void ApplePortWritePaddedObjectAttachment75(const DoorWindowData* record);
// Reads the 60-byte record into record (when given); doors and windows then take their
// fill colour, slot-0 texture and slot-0 texture scale into both trim slots.
void ReadObjectAttachment75(DoorWindowData* record, Objex* attachment);
void WriteObjectAttachment75(const DoorWindowData* record);

// Roof attachment record (versions 10900 and later); owner becomes the attachment.
void ReadRoofAttachment(RoofAttachmentData* record, Objex* attachment, Layer* layer);
void WriteRoofAttachment(const RoofAttachmentData* record);

// Trim block of one wall point side (tag 208 .. 209). Profiles are read onto `layer`, not
// put on it, their layer cleared. With a null record the block is read and dropped.
void ReadTrimData(TrimData* record, Layer* layer);
// The same with the profiles read onto the current document's current layer; without a
// current document or current layer nothing is read.
void ReadTrimData(TrimData* record);
// Writes the block; a null record writes codes 0, zero slots and the end tag.
void WriteTrimData(const TrimData* record);
// The same, its fixed fields gathered with those of the caller's writer.
void WriteTrimData(FieldWriter& w, const TrimData* record);

// The part lists of attachment records (from head along next). Appending resets obj's own
// links first; deleting frees each part in turn.
void AppendToPartList(Objex** head, Objex* obj);
void DeletePartList(Objex* head);
// Frees a record read for an attachment that is not kept, with its part lists and its trim
// profiles; nothing for null.
void FreeReadAttachmentRecord(DoorWindowData* d);
void FreeReadRoofRecord(RoofAttachmentData* r);

// Anchor pointers <-> indexes in the parent's point list, for a wall or deck parent and an
// attachment with type data. An anchor on no point gives index 0; an index on no point
// (negative or past the last) gives the parent's first point.
void WallAttachmentsHdlToIndex(Objex* attachment, Objex* parent);
void WallAttachmentsIndexToHdl(Objex* attachment, Objex* parent);
void AllWallAttachmentsHdlToIndex(Objex* parent);
void AllWallAttachmentsIndexToHdl(Objex* parent);

// Fields gathered with a writer's others: a colour's three, and a texture ID record (a plain ID
// with the fields around it, a path written on its own).
void PutColor(FieldWriter& w, const RGBColor& c);
void PutTextureID(FieldWriter& w, int32_t id);
