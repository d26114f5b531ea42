// Attachment records of wall and deck children, roof attachment records of skylights and
// dormer cut-outs, the trim blocks of wall points, and anchors stored as point indexes.
#include "files/AttachmentRecords.h"

#include <cstdlib>

#include "files/ByteStream.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Records.h"

void PutColor(FieldWriter& w, const RGBColor& c) {
  w.UShort(c.red);
  w.UShort(c.green);
  w.UShort(c.blue);
}

// A texture ID record: a plain ID goes with the fields around it, a path is written on its own.
void PutTextureID(FieldWriter& w, int32_t id) {
  if (id != -1 && id < 20000) {
    w.Long(id);
    return;
  }
  w.Flush();
  WriteTextureID(id);
}

namespace {

// An embedded object in the clipboard is written only when selected, so it is selected
// around its writing. It stands at the top of the list the record holds.
void WriteEmbedded(Objex* obj) {
  if (gScrapMode) SelectObj(obj, 1, 0);
  WriteObjectListEntry(obj);
  if (gScrapMode) SelectObj(obj, 2, 0);
}

void WriteEmbeddedList(Objex* head) {
  for (Objex* o = head; o; o = o->next) WriteEmbedded(o);
}

// Profiles: the last object between 210 and 211 is kept, earlier ones are deleted.
Objex* ReadProfile(Layer* layer) {
  Objex* profile = nullptr;
  ReadObjectList(kTagTrimObjectEnd, layer, [&](Objex* obj) {
    DeleteObj(profile);
    obj->layer = nullptr;
    profile = obj;
    return true;
  });
  return profile;
}

void ReadTrimSlot(TrimSlot* slot, Objex* attachment, Layer* layer) {
  // A slot naming its texture by number is taken whole; a texture path (number -1) or a cut
  // record is read field by field.
  constexpr uint32_t kSlotBytes = 1 + 4 + 2 + 2 + 6;
  if (const uint8_t* b = PeekSome(kSlotBytes); b && (b[1] & b[2] & b[3] & b[4]) != 0xFF) {
    TakenBytes f(TakeSome(kSlotBytes));
    slot->flag = f.Byte();
    slot->textureID = f.Long();
    slot->textureWidth = f.Short();
    slot->textureHeight = f.Short();
    slot->color.red = f.UShort();
    slot->color.green = f.UShort();
    slot->color.blue = f.UShort();
  } else {
    slot->flag = ReadByte();
    slot->textureID = ReadTextureID();
    ReadShort(&slot->textureWidth);
    ReadShort(&slot->textureHeight);
    ReadColor(&slot->color);
  }
  if (!slot->flag) return;
  int16_t begin = 0;
  ReadShort(&begin);
  Objex* profile = ReadProfile(layer);
  if (profile) profile->parent = attachment;
  DeleteObj(slot->profile);
  slot->profile = profile;
}

void PutTrimSlot(FieldWriter& w, const TrimSlot& slot) {
  const bool flagged = slot.flag && slot.profile;
  w.Byte(flagged ? slot.flag : 0);
  PutTextureID(w, slot.textureID);
  w.Short(slot.textureWidth);
  w.Short(slot.textureHeight);
  PutColor(w, slot.color);
  if (!flagged) return;
  w.Short(kTagTrimObjectBegin);
  w.Flush();
  WriteEmbedded(slot.profile);
  w.Short(kTagTrimObjectEnd);
}

void ReadRoofSlot(TrimSlot* slot) {
  slot->textureID = ReadTextureID();
  ReadShort(&slot->textureWidth);
  ReadShort(&slot->textureHeight);
  ReadColor(&slot->color);
}

void WriteRoofSlot(const TrimSlot& slot) {
  WriteTextureID(slot.textureID);
  WriteShort(slot.textureWidth);
  WriteShort(slot.textureHeight);
  WriteColor(slot.color);
}

bool HasAnchors(Objex* attachment, Objex* parent) {
  return attachment && parent && attachment->typeData &&
         (parent->type == kObjWall || parent->type == kObjDeck);
}

}  // namespace

// ---- Part lists of records read ----

void AppendToPartList(Objex** head, Objex* obj) {
  obj->prev = obj->next = nullptr;
  Objex** end = head;  // the link the new part goes into
  while (*end) {
    obj->prev = *end;
    end = &(*end)->next;
  }
  *end = obj;
}

void DeletePartList(Objex* head) {
  for (Objex* next = nullptr; head; head = next) {
    next = head->next;
    DeleteObj(head);
  }
}

void FreeReadAttachmentRecord(DoorWindowData* d) {
  if (!d) return;
  for (Objex* list : {d->faces, d->maskObject, d->definitionParts, d->definitionLeafParts,
                      d->extraParts1, d->extraParts2, d->extraParts3, d->extraParts4})
    DeletePartList(list);
  DeleteObj(d->trimSlotA.profile);
  DeleteObj(d->trimSlotB.profile);
  free(d);
}

void FreeReadRoofRecord(RoofAttachmentData* r) {
  if (!r) return;
  for (Objex* list : {r->parts, r->outlineParts, r->separatorParts, r->leafParts, r->customParts,
                      r->otherParts})
    DeletePartList(list);
  free(r);
}

// ---- Attachment records ----

void ReadObjectAttachment(DoorWindowData* record, Objex* attachment, Layer* layer) {
  DoorWindowData scratch{};
  const bool keep = record && attachment && layer;
  DoorWindowData* d = keep ? record : &scratch;
  Layer* target = keep ? layer : nullptr;

  // The fixed fields, taken whole when they are all there; a cut record field by field, so
  // that it stops where it breaks off.
  constexpr uint32_t kFixedBytes = 2 + 2 + 4 + 4 + 5 * 4 + 3 * 4 + 1 + 4 + 3 * 2 + 4;
  if (PeekSome(kFixedBytes)) {
    TakenBytes f(TakeSome(kFixedBytes));
    d->ownerType = f.Short();
    d->subtype = f.Short();
    d->anchorStartIndex = f.Long();
    d->anchorEndIndex = f.Long();
    d->startDistance = f.Float();
    d->remainingLength = f.Float();
    d->width = f.Float();
    d->height = f.Float();
    d->elevation = f.Float();
    for (int i = 0; i < 3; ++i) f.ULong();
    d->flipHorizontal = f.Byte();
    d->auxFloat1 = f.Float();
    d->flipVertical = f.Short();
    d->auxShort1 = f.Short();
    d->auxShort2 = f.Short();
    d->auxValue = f.Float();  // bit for bit: any four bytes come back unchanged
  } else {
    ReadShort(&d->ownerType);
    ReadShort(&d->subtype);
    ReadLong(&d->anchorStartIndex);
    ReadLong(&d->anchorEndIndex);
    ReadFloat(&d->startDistance);
    ReadFloat(&d->remainingLength);
    ReadFloat(&d->width);
    ReadFloat(&d->height);
    ReadFloat(&d->elevation);
    for (int i = 0; i < 3; ++i) SkipSome(4);
    d->flipHorizontal = ReadByte();
    ReadFloat(&d->auxFloat1);
    ReadShort(&d->flipVertical);
    ReadShort(&d->auxShort1);
    ReadShort(&d->auxShort2);
    ReadFloat(&d->auxValue);
  }
  if (d->subtype == kDoorCustom || d->subtype == kWindowCustom) {
    int16_t begin = 0;
    ReadShort(&begin);
    ReadObjectList(kTagAttachmentDefinitionEnd, target, [&](Objex* obj) {
      obj->layer = nullptr;
      obj->parent = attachment;
      if (obj->type == kObjSkylightOutline) AppendToPartList(&d->maskObject, obj);
      else if (obj->type == kObjDoorLeafFace) AppendToPartList(&d->definitionLeafParts, obj);
      else AppendToPartList(&d->definitionParts, obj);
      return true;
    });
  }
  ReadTrimSlot(&d->trimSlotA, attachment, target);
  ReadTrimSlot(&d->trimSlotB, attachment, target);
  if (!keep) {
    // Nothing was kept: free what the scratch record collected.
    for (Objex* list : {d->maskObject, d->definitionParts, d->definitionLeafParts}) DeletePartList(list);
    DeleteObj(d->trimSlotA.profile);
    DeleteObj(d->trimSlotB.profile);
  }
}

void WriteObjectAttachment(const DoorWindowData* record) {
  static const DoorWindowData zero{};
  const DoorWindowData* d = record ? record : &zero;
  // Written for every opening of a design: the fixed fields are gathered and appended at once.
  FieldWriter w;
  w.Short(d->ownerType);
  w.Short(d->subtype);
  w.Long(d->anchorStartIndex);
  w.Long(d->anchorEndIndex);
  w.Float(d->startDistance);
  w.Float(d->remainingLength);
  w.Float(d->width);
  w.Float(d->height);
  w.Float(d->elevation);
  for (int i = 0; i < 3; ++i) w.Long(0);
  w.Byte(d->flipHorizontal);
  w.Float(d->auxFloat1);
  w.Short(d->flipVertical);
  w.Short(d->auxShort1);
  w.Short(d->auxShort2);
  w.Float(d->auxValue);
  if ((d->subtype == kDoorCustom || d->subtype == kWindowCustom)) {
    w.Short(kTagAttachmentDefinitionBegin);
    w.Flush();
    for (Objex* list : {d->maskObject, d->definitionParts, d->definitionLeafParts, d->extraParts1,
                        d->extraParts2, d->extraParts3, d->extraParts4})
      WriteEmbeddedList(list);
    w.Short(kTagAttachmentDefinitionEnd);
  }
  PutTrimSlot(w, d->trimSlotA);
  PutTrimSlot(w, d->trimSlotB);
}

void ApplePortReadPaddedObjectAttachment75(DoorWindowData* record) {
  DoorWindowData scratch{};
  DoorWindowData* d = record ? record : &scratch;
  ReadStdShort(&d->ownerType);
  ReadStdShort(&d->subtype);
  ReadStdLong(&d->anchorStartIndex);
  ReadStdLong(&d->anchorEndIndex);
  ReadStdFloat(&d->startDistance);
  ReadStdFloat(&d->remainingLength);
  ReadStdFloat(&d->width);
  ReadStdFloat(&d->height);
  ReadStdFloat(&d->elevation);
  SkipSome(12);
  d->flipHorizontal = ReadByte();
  SkipSome(1);
  ReadStdFloat(&d->auxFloat1);
  ReadStdShort(&d->flipVertical);
  ReadStdShort(&d->auxShort1);
  ReadStdShort(&d->auxShort2);
  ReadStdFloat(&d->auxValue);
}

void ApplePortWritePaddedObjectAttachment75(const DoorWindowData* record) {
  const DoorWindowData zero{};
  const DoorWindowData* d = record ? record : &zero;
  WriteStdShort(d->ownerType);
  WriteStdShort(d->subtype);
  WriteStdLong(d->anchorStartIndex);
  WriteStdLong(d->anchorEndIndex);
  WriteStdFloat(d->startDistance);
  WriteStdFloat(d->remainingLength);
  WriteStdFloat(d->width);
  WriteStdFloat(d->height);
  WriteStdFloat(d->elevation);
  for (int i = 0; i < 3; ++i) WriteStdLong(0);
  WriteByte(d->flipHorizontal);
  WriteByte(0);
  WriteStdFloat(d->auxFloat1);
  WriteStdShort(d->flipVertical);
  WriteStdShort(d->auxShort1);
  WriteStdShort(d->auxShort2);
  WriteStdFloat(d->auxValue);
}

void ReadObjectAttachment75(DoorWindowData* record, Objex* attachment) {
  ApplePortReadPaddedObjectAttachment75(record);
  if (!record || !attachment) return;
  if (attachment->type != kObjDoor && attachment->type != kObjWindow) return;
  for (TrimSlot* slot : {&record->trimSlotA, &record->trimSlotB}) {
    slot->color = attachment->fillColor;
    slot->textureID = attachment->textureID;
    slot->textureWidth = attachment->textureScale.x;
    slot->textureHeight = attachment->textureScale.y;
  }
}

void WriteObjectAttachment75(const DoorWindowData* record) {
  ApplePortWritePaddedObjectAttachment75(record);
}

// ---- Roof attachment records ----

void ReadRoofAttachment(RoofAttachmentData* record, Objex* attachment, Layer* layer) {
  RoofAttachmentData scratch{};
  const bool keep = record && attachment;
  RoofAttachmentData* r = keep ? record : &scratch;
  Layer* target = keep ? layer : nullptr;
  ReadShort(&r->ownerType);
  ReadShort(&r->subtype);
  for (float& f : r->floats) ReadFloat(&f);
  ReadLong(&r->panelID);
  r->flags[0] = ReadByte();
  r->flags[1] = ReadByte();
  SkipSome(8);
  if (r->ownerType == kObjSkylight && r->subtype == kSkylightCustom) {
    int16_t begin = 0;
    ReadShort(&begin);
    ReadObjectList(kTagRoofDefinitionEnd, target, [&](Objex* obj) {
      Objex** list = nullptr;
      switch (obj->type) {
        case kObjSkylightOutline: list = &r->outlineParts; break;
        case kObjSeparatorFace: list = &r->separatorParts; break;
        case kObjDoorLeafFace: list = &r->leafParts; break;
        case kObjCustomAttachmentPart: list = &r->customParts; break;
        case 165: list = &r->otherParts; break;
        default: break;
      }
      if (!list || !keep) {
        DeleteObj(obj);
        return false;
      }
      obj->layer = nullptr;
      obj->parent = attachment;
      AppendToPartList(list, obj);
      return true;
    });
  }
  ReadRoofSlot(&r->slots[0]);
  ReadRoofSlot(&r->slots[1]);
  if (keep) r->owner = attachment;
}

void WriteRoofAttachment(const RoofAttachmentData* record) {
  const RoofAttachmentData zero{};
  const RoofAttachmentData* r = record ? record : &zero;
  WriteShort(r->ownerType);
  WriteShort(r->subtype);
  for (float f : r->floats) WriteFloat(f);
  WriteLong(r->panelID);
  WriteByte(r->flags[0]);
  WriteByte(r->flags[1]);
  WriteLong(0);
  WriteLong(0);
  if (r->ownerType == kObjSkylight && r->subtype == kSkylightCustom) {
    WriteShort(kTagRoofDefinitionBegin);
    for (Objex* list : {r->outlineParts, r->separatorParts, r->leafParts, r->customParts, r->otherParts})
      WriteEmbeddedList(list);
    WriteShort(kTagRoofDefinitionEnd);
  }
  WriteRoofSlot(r->slots[0]);
  WriteRoofSlot(r->slots[1]);
}

// ---- Trim blocks ----

namespace {

// One trim slot taken whole: its texture number, texture scale and colour.
void TakeTrimSlot(TakenBytes& f, TrimData* t, int i) {
  t->slotTextureIDs[i] = f.Long();
  t->slotTextureScales[i].x = f.Short();
  t->slotTextureScales[i].y = f.Short();
  t->slotColors[i].red = f.UShort();
  t->slotColors[i].green = f.UShort();
  t->slotColors[i].blue = f.UShort();
}

// A trim block of the current layout without profiles, whose slots all name their textures by
// number (most blocks): its marks, codes and slots taken whole with one bounds check. False,
// with nothing taken, for any other block (then read field by field).
bool TakePlainTrimBlock(TrimData* t) {
  if (sInputVersion < kVersionDesign10900) return false;
  constexpr uint32_t kCodesAt = 2, kSlotsAt = kCodesAt + 8, kSlotBytes = 4 + 2 + 2 + 6;
  constexpr uint32_t kBlockBytes = kSlotsAt + 5 * kSlotBytes + 2;
  const uint8_t* b = PeekSome(kBlockBytes);
  if (!b) return false;
  for (uint32_t at : {kCodesAt, kCodesAt + 4})
    if (TakenBytes(b + at).Long() == kTrimCustomProfile) return false;
  for (uint32_t i = 0; i < 5; ++i) {
    const uint8_t* slot = b + kSlotsAt + i * kSlotBytes;
    if ((slot[0] & slot[1] & slot[2] & slot[3]) == 0xFF) return false;
  }
  TakenBytes f(TakeSome(kBlockBytes));
  f.Short();  // the block's begin mark
  t->trimCodeA = f.Long();
  t->trimCodeB = f.Long();
  for (int i = 0; i < 5; ++i) TakeTrimSlot(f, t, i);
  f.Short();  // its end mark
  return true;
}

}  // namespace

void ReadTrimData(TrimData* record, Layer* layer) {
  // Without a record the block is read into a blank one and dropped; it is set up only then,
  // since a wall's read comes here twice per point.
  if (!record) {
    TrimData scratch{};
    ReadTrimData(&scratch, layer);
    DeleteObj(scratch.profileA);
    DeleteObj(scratch.profileB);
    return;
  }
  TrimData* t = record;
  if (TakePlainTrimBlock(t)) return;
  int16_t begin = 0;
  ReadShort(&begin);
  for (int side = 0; side < 2; ++side) {
    int32_t& code = side == 0 ? t->trimCodeA : t->trimCodeB;
    Objex*& profile = side == 0 ? t->profileA : t->profileB;
    ReadLong(&code);
    if (code != kTrimCustomProfile) continue;
    int16_t tag = 0;
    ReadShort(&tag);  // 210
    Objex* read = ReadProfile(layer);
    DeleteObj(profile);
    profile = read;
  }
  if (sInputVersion >= kVersionDesign10900) {
    for (int i = 0; i < 5; ++i) {
      // A slot naming its texture by number is taken whole; a texture path (number -1) or a
      // cut record is read field by field.
      constexpr uint32_t kSlotBytes = 4 + 2 + 2 + 6;
      if (const uint8_t* b = PeekSome(kSlotBytes); b && (b[0] & b[1] & b[2] & b[3]) != 0xFF) {
        TakenBytes f(TakeSome(kSlotBytes));
        TakeTrimSlot(f, t, i);
        continue;
      }
      t->slotTextureIDs[i] = ReadTextureID();
      ReadShort(&t->slotTextureScales[i].x);
      ReadShort(&t->slotTextureScales[i].y);
      ReadColor(&t->slotColors[i]);
    }
  }
  int16_t end = 0;
  ReadShort(&end);  // 209
}

void ReadTrimData(TrimData* record) {
  if (!gCurDocument || !gCurDocument->itsCurLayer) return;
  ReadTrimData(record, gCurDocument->itsCurLayer);
}

// Every wall point writes two of these: their fixed fields go out with the point's (one
// append for the lot, not one per field).
void WriteTrimData(FieldWriter& w, const TrimData* record) {
  static constexpr TrimData zero{};
  const TrimData* t = record ? record : &zero;
  w.Short(kTagTrimBegin);
  for (int side = 0; side < 2; ++side) {
    int32_t code = side == 0 ? t->trimCodeA : t->trimCodeB;
    Objex* profile = side == 0 ? t->profileA : t->profileB;
    if (code == kTrimCustomProfile && !profile) code = 0;
    w.Long(code);
    if (code != kTrimCustomProfile) continue;
    w.Short(kTagTrimObjectBegin);
    w.Flush();
    WriteEmbedded(profile);
    w.Short(kTagTrimObjectEnd);
  }
  for (int i = 0; i < 5; ++i) {
    PutTextureID(w, t->slotTextureIDs[i]);
    w.Short(t->slotTextureScales[i].x);
    w.Short(t->slotTextureScales[i].y);
    PutColor(w, t->slotColors[i]);
  }
  w.Short(kTagTrimEnd);
}

void WriteTrimData(const TrimData* record) {
  FieldWriter w;
  WriteTrimData(w, record);
}

// ---- Anchors ----

void WallAttachmentsHdlToIndex(Objex* attachment, Objex* parent) {
  if (!HasAnchors(attachment, parent)) return;
  auto* d = static_cast<DoorWindowData*>(attachment->typeData);
  d->anchorStartIndex = d->anchorEndIndex = 0;
  bool haveStart = false, haveEnd = false;
  int32_t i = 0;
  for (Poinz* p = parent->firstPoint; p && !(haveStart && haveEnd); p = p->next, ++i) {
    if (!haveStart && p == d->anchorStart) {
      d->anchorStartIndex = i;
      haveStart = true;
    }
    if (!haveEnd && p == d->anchorEnd) {
      d->anchorEndIndex = i;
      haveEnd = true;
    }
  }
}

void WallAttachmentsIndexToHdl(Objex* attachment, Objex* parent) {
  if (!HasAnchors(attachment, parent)) return;
  auto* d = static_cast<DoorWindowData*>(attachment->typeData);
  d->anchorStart = d->anchorEnd = parent->firstPoint;
  int32_t i = 0;
  for (Poinz* p = parent->firstPoint; p; p = p->next, ++i) {
    if (i == d->anchorStartIndex) d->anchorStart = p;
    if (i == d->anchorEndIndex) d->anchorEnd = p;
  }
}

void AllWallAttachmentsHdlToIndex(Objex* parent) {
  if (!parent) return;
  for (Objex* c = parent->firstChild; c; c = c->next) WallAttachmentsHdlToIndex(c, parent);
}

void AllWallAttachmentsIndexToHdl(Objex* parent) {
  if (!parent) return;
  for (Objex* c = parent->firstChild; c; c = c->next) WallAttachmentsIndexToHdl(c, parent);
}
