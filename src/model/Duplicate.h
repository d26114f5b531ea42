// Deep copies of objects: fields, points, children at every depth and type data.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;

// The copy, linked after prevSibling, else as parent's first child, else appended to the
// source's layer when append is set; mode is kCmdDuplicate, kCmdMirrorHorizontal,
// kCmdMirrorVertical or kCmdPlaceSymbolPart. Null when refused or out of memory.
Objex* DuplicateObject(Objex* obj, Objex* parent, Objex* prevSibling, FloatPoint offset,
                       uint8_t append, int32_t mode);
void DuplicateObjectData(const Objex* src, Objex* dst);
