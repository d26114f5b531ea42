// The one byte stream every file format and the private clipboard pass through: a whole-file
// input buffer, a growing output buffer, the scrap, and the big-endian and Std (little-endian) primitives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/Types.h"

// Process-wide stream state: one stream is open at a time. Tests reset it with ResetByteStream.
struct ByteStreamState {
  std::vector<uint8_t> inDataBuffer;   // the whole input file
  bool hasInDataBuffer = false;        // an input buffer is loaded
  uint32_t inDataBufferPos = 0;        // read position in inDataBuffer

  std::vector<uint8_t> outDataBuffer;  // bytes appended by the writers
  bool hasOutDataBuffer = false;       // a write is under way

  bool useScrap = false;               // ReadSome/WriteSome work on the scrap
  uint8_t* privateScrap = nullptr;     // malloc'd; holds the bytes of the last copy
  uint32_t scrapLength = 0;            // valid bytes in privateScrap
  uint32_t scrapIndex = 0;             // write count while copying, read position while pasting

  // Sticky: set by any read that would pass the end of its source (or a failed scrap growth).
  // Every parsing loop tests it (StreamFailed) so a truncated or hostile stream ends the parse.
  bool readError = false;
  bool writeError = false;             // the scrap could not be grown; the copy is incomplete
};

extern ByteStreamState gStream;

// Drops every buffer and the scrap and clears all flags.
void ResetByteStream();

// ---- Raw routines ----
// Copies n bytes to dest and advances. A read that would pass the end of the input buffer
// (or of the scrap in scrap mode), or any read after such a one, copies nothing, zeroes dest,
// leaves the position and sets readError. A null dest skips the bytes. True when they were read.
bool ReadSome(void* dest, uint32_t n);
// Advances over n bytes with the same bound check as ReadSome.
bool SkipSome(uint32_t n);
// Appends n bytes to the output buffer, or to the scrap in scrap mode.
void WriteSome(const void* src, uint32_t n);
// Length of the input buffer and the read position in it (also in scrap mode).
uint32_t GetLength();
uint32_t GetMark();
// Bytes left in the input buffer (or the scrap in scrap mode).
uint32_t GetRemaining();
// True once any read has run short; parsing loops stop on it.
bool StreamFailed();
// True when the parse should stop: a short read happened or the input is used up.
bool StreamAtEnd();

// ---- Primitives: readers do nothing for a null pointer; writers always append ----
void ReadShort(int16_t* v);
void ReadUShort(uint16_t* v);
void ReadLong(int32_t* v);
void ReadULong(uint32_t* v);
void ReadFloat(float* v);
void ReadStdShort(int16_t* v);
void ReadStdUShort(uint16_t* v);
void ReadStdLong(int32_t* v);
void ReadStdULong(uint32_t* v);
void ReadStdFloat(float* v);

void WriteShort(int16_t v);
void WriteUShort(uint16_t v);
void WriteLong(int32_t v);
void WriteULong(uint32_t v);
void WriteFloat(float v);
void WriteStdShort(int16_t v);
void WriteStdUShort(uint16_t v);
void WriteStdLong(int32_t v);
void WriteStdULong(uint32_t v);
void WriteStdFloat(float v);

// The float whose four bytes are those of bits in reverse order.
float SwapFloat(uint32_t bits);

// The 60-byte font record (Std family); nothing for a null pointer. The face name is copied
// as 32 raw bytes; on reading its last byte is forced to NUL.
void ApplePortReadLOGFONT(LOGFONT* font);
void ApplePortWriteLOGFONT(const LOGFONT* font);

// Reads n bytes of the stream into a fixed field of fieldSize bytes: the text is cut to
// fieldSize - 1 bytes and always NUL-terminated; all n bytes are consumed.
bool ReadFixedString(char* field, size_t fieldSize, uint32_t n);

// ---- Loading a file whole ----
// Reads the whole file at path into the input buffer (position 0, error cleared).
// False (and no buffer) when the file cannot be opened or read, or is 4 GB or longer.
bool LoadInputFile(const char* path);
// Copies n bytes into a new input buffer (position 0, error cleared); for in-memory readers.
void SetInputBuffer(const void* data, size_t n);
// Releases the input buffer (the reader is done, also on a rejected version).
void ReleaseInputBuffer();

// ---- Writing a file in one call ----
// Drops any previous output buffer and starts an empty one.
void BeginOutputBuffer();
// Writes the output buffer as the whole file at path: written to a temporary file in the same
// folder, then renamed over path, so a failed write leaves any earlier file untouched.
// Returns false on any failure. The output buffer is kept; release it with ReleaseOutputBuffer.
bool WriteOutputFile(const char* path);
void ReleaseOutputBuffer();

// ---- The scrap (private clipboard) ----
// Frees the scrap and starts a copy into a new one (scrap mode on, index 0).
void BeginScrapWrite();
// Starts reading the scrap from its start (scrap mode on, index 0, error cleared).
void BeginScrapRead();
// Leaves scrap mode; the scrap stays for later pastes.
void EndScrap();
void FreeScrap();
