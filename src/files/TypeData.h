// The type data that follows an object's point list: wall and deck attachment lists, roof
// attachment lists, plant and photo image paths, text records and older dimension records.
#pragma once
#include <cstddef>

struct Objex;
struct Layer;

// Reads the type data of obj, whose info and points were just read; children and embedded
// definitions are made on `layer`. Nothing for a null object.
void ReadObjectData(Objex* obj, Layer* layer);
// Writes the type data of obj; nothing for a null object.
void WriteObjectData(Objex* obj);
// out receives what follows the last "CustomPlants" (any case) and the separator after it,
// with every "\" turned into "/"; or the whole path when there is no such part or nothing
// follows it. Cut to outSize - 1 bytes. Nothing for a null argument or outSize 0.
void ConvertAbsolutePlantPathToRelative(const char* path, char* out, size_t outSize);
// The same into a whole character array.
template <size_t N>
void ConvertAbsolutePlantPathToRelative(const char* path, char (&out)[N]) {
  ConvertAbsolutePlantPathToRelative(path, out, N);
}
