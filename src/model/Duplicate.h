// Deep copies of objects: fields, points, children at every depth and type data.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Layer;
struct Objex;

// The copy, linked after prevSibling, else as parent's first child, else appended to the
// source's layer when append is set; mode is kCmdDuplicate, kCmdMirrorHorizontal,
// kCmdMirrorVertical or kCmdPlaceSymbolPart. Null when refused or out of memory.
Objex* DuplicateObject(Objex* obj, Objex* parent, Objex* prevSibling, FloatPoint offset,
                       uint8_t append, int32_t mode);
void DuplicateObjectData(const Objex* src, Objex* dst);

// A copy kept by an object on another layer than the one it was copied from (a definition's
// parts kept by the opening they shape): the copy, its children and 3D symbol parts at every
// depth and the part lists of its opening or skylight record are put on `layer`, so that none
// of them refers to the layer it came from once that is gone.
void PutCopyOnLayer(Objex* copy, Layer* layer);
