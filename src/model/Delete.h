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
void DeleteObjectPoints(Objex* object);
// Appends copies of source's points to target, moved by offset (x, z).
void DuplicateObjectPoints(const Objex* source, Objex* target, FloatPoint offset, uint8_t selected);
// Frees an unlinked wall point with its two trim records.
void DeleteWallPoint(Objex* wall, Poinz* point);
void DeleteWallSegmentAttachments(Objex* wall, Poinz* point);
void DeletePointAttachments(Objex* object, Poinz* point);
void DeleteSegmentAttachments(Objex* object, Poinz* a, Poinz* b);
// The two selected points of a wall when exactly two are selected.
bool DeleteWallSegmentObject(Objex* wall, Poinz** a, Poinz** b);
void VerifyObjectAttachments(Objex* wall);
bool DeleteEntireWallObject(const Objex* object);
