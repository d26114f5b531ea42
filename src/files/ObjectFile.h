// Object files: imported 3D objects, a big-endian stream of parts (points with per-side
// textures and colours, coordinates stored as three times their plan units) read into the
// current layer.
#pragma once
#include <cstdint>
#include <string>

struct DocState;
struct Layer;
struct Objex;

constexpr int32_t kVersionObject10000 = 10000;
constexpr int32_t kVersionObject10001 = 10001;
// The document-state block that follows the length Long (its content is never used).
constexpr uint32_t kObjectDocStateBlockBytes = 680;

// Set while an object file whose style file asks for 2D parts is read.
extern uint8_t gObjectStyle2D;

// Reads the object file into the current layer: every part selected, as a 3D symbol part
// (or a 2D one when the "OBD" style file beside it says Object2D=1); group records are
// dropped and their members kept as top-level parts. 1 on success; 0 without a current
// document or layer or when the file cannot be opened (silently), or when the version is not
// accepted or the stream is damaged (an alert; nothing is added).
int ObjectFileRead(const char* path);
// Writes the selected top-level objects of the current document as an object file of
// version 10000; the design is not changed. 1 when the file was written.
int ObjectFileWrite(const char* path);

// The pieces.
void OBJDoReadHeader();
void OBJDoWriteHeader();
void OBJDoReadDocState();
void OBJDoWriteDocState();
// False when the stream is damaged (the objects read so far stay).
bool OBJDoReadObjects();
void OBJDoWriteObjects();
Layer* OBJReadALayer();  // skips the record; always null
void OBJWriteALayer(const Layer* layer);
// One object record; null when there is no layer, the record is damaged, or the object is
// dropped (points not numbers within +-1e6, or no points and not a group).
Objex* OBJReadAnObject(Layer* layer, uint8_t append);
void OBJWriteAnObject(const Objex* object);
void OBJReadObjectInfo(Objex* object);
void OBJWriteObjectInfo(const Objex* object);
void OBJReadObjectPoints(Objex* object);
void OBJWriteObjectPoints(const Objex* object);
// An object file's parts carry no type data: these read and write nothing.
void OBJReadObjectData(Objex* object);
void OBJWriteObjectData(const Objex* object);
// Reads the document-state block of an object file into `docState`. Its values are never
// used, so the block is stepped over and the record keeps what it held. Nothing for null.
void ApplePortReadPaddedOBJDocState(DocState* docState);

// The style file of an object file: its path with the last three characters replaced by
// "OBD" ("" for paths of 4 characters or fewer).
std::string ObjectStyleFilePath(const std::string& path);
