// Deleting objects, selected wall segments, layers and points, copying an object's
// points, and keeping a wall's attachments on its points.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;
struct Poinz;
struct Layer;

void DeleteObj(Objex* object);
void DeleteObjItem(Objex* object);
void DeleteLayerObjects(Layer* layer);
void DeleteLayer(Layer* layer);
// Frees a floor's record (its objects already gone) and drops what walks kept about the floor:
// a floor made later at the same address inherits nothing.
void FreeLayer(Layer* layer);
// Frees a chain of layers (from first along next) with everything on them, as when a whole
// design is dropped; nothing outside the chain may refer to its objects. True when ground
// objects (lots, topography, slope sections) went with them: the ground's heights are then the
// caller's to work out again, once, for the design that stays.
bool DeleteDesignLayers(Layer* first);
// Frees a list of parts (from head along next) that nothing else refers to, as DeleteObj would
// one by one, without unlinking each from the rest that goes with it.
void DeleteObjectChain(Objex* head);
void DeleteObjectPoints(Objex* object);
// Appends copies of source's points to target, moved by offset (x, z).
void DuplicateObjectPoints(const Objex* source, Objex* target, FloatPoint offset, uint8_t selected);
// Frees an unlinked wall point with its two trim records.
void DeleteWallPoint(Objex* wall, Poinz* point);
// Frees a trim record (a wall point's side) with its two profile objects and clears the field.
void FreeTrimRecord(void*& ref);
// Gives `to`, a new point of `object`, the trim records of `from`: a wall's point owns copies
// of them (with their profile objects), other objects' points refer to the same records.
void CopyPointTrims(const Objex* object, const Poinz* from, Poinz* to);
// Frees a wall point's two trim records and clears the fields, keeping the point.
void DeleteWallPointSides(Objex* wall, Poinz* point);
void DeleteWallSegmentAttachments(Objex* wall, Poinz* point);
void DeletePointAttachments(Objex* object, Poinz* point);
void DeleteSegmentAttachments(Objex* object, Poinz* a, Poinz* b);
// The two selected points of a wall when exactly two are selected.
bool DeleteWallSegmentObject(Objex* wall, Poinz** a, Poinz** b);
void VerifyObjectAttachments(Objex* wall);
bool DeleteEntireWallObject(const Objex* object);
