// The one byte stream every file format and the private clipboard pass through: a whole-file
// input buffer, a growing output buffer, the scrap, and the big-endian and Std (little-endian) primitives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "files/OutputDigest.h"
#include "model/Types.h"
#include "platform/FileIO.h"

// Process-wide stream state: one stream is open at a time. Tests reset it with ResetByteStream.
struct ByteStreamState {
  FileBytes inDataBuffer;              // the whole input file
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

  // While set (WriteOutputFileStreamed), the output buffer goes to this file whenever it holds
  // a piece's worth, and is emptied.
  AtomicFileWrite* outSpill = nullptr;
  uint64_t outHandedOn = 0;  // bytes of this write already handed to outSpill

  // While set, the output is digested piece by piece as it is written (DigestHeldOutput
  // takes the rest), and the writers mark the bytes it leaves out.
  OutputDigest* outDigest = nullptr;
  size_t outDigested = 0;  // bytes of the output buffer already digested
};

extern ByteStreamState gStream;

// The stream state under its customary names.
inline FileBytes& gInDataBuffer = gStream.inDataBuffer;
inline uint32_t& gInDataBufferPos = gStream.inDataBufferPos;
inline std::vector<uint8_t>& gOutDataBuffer = gStream.outDataBuffer;
inline bool& gUseScrap = gStream.useScrap;
inline uint8_t*& gPrivateScrap = gStream.privateScrap;
inline uint32_t& gScrapIndex = gStream.scrapIndex;

// Drops every buffer and the scrap and clears all flags.
void ResetByteStream();

// ---- Raw routines ----
// Copies n bytes to dest and advances. A read that would pass the end of the input buffer
// (or of the scrap in scrap mode), or any read after such a one, copies nothing (dest keeps
// what it held), leaves the position and sets readError. A null dest skips the bytes. True
// when they were read. The number readers below likewise leave their destination untouched.
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
// True once any read has run short; parsing loops stop on it (asked per field: inline).
inline bool StreamFailed() { return gStream.readError; }
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

// The same as values: 0 when the read runs short.
inline uint8_t ReadByte() {
  uint8_t b = 0;
  ReadSome(&b, 1);
  return b;
}
inline uint16_t ReadStdUShortValue() {
  uint16_t v = 0;
  ReadStdUShort(&v);
  return v;
}
inline uint32_t ReadStdULongValue() {
  uint32_t v = 0;
  ReadStdULong(&v);
  return v;
}
inline void WriteByte(uint8_t b) { WriteSome(&b, 1); }

// Where the next byte written goes in the write under way (what was handed on counted).
inline uint64_t OutputOffset() { return gStream.outHandedOn + gStream.outDataBuffer.size(); }
// Marks the n bytes of the write from `at` on for the output digest, when one is taken.
inline void MarkOutput(uint64_t at, uint32_t n, OutputPart part) {
  if (gStream.outDigest && !gStream.useScrap) gStream.outDigest->mark(at, n, part);
}
// Digests the output buffer's bytes not digested yet (the end of a digested write).
void DigestHeldOutput();

// A colour as three big-endian shorts: red, green, blue.
void ReadColor(RGBColor* c);
void WriteColor(const RGBColor& c);

// The float whose four bytes are those of bits in reverse order.
float SwapFloat(uint32_t bits);

// The 60-byte font record (Std family); nothing for a null pointer. The face name is copied
// as 32 raw bytes; on reading, a name holding no NUL at all gets one in its last byte.
void ApplePortReadLOGFONT(LOGFONT* font);
void ApplePortWriteLOGFONT(const LOGFONT* font);

// Reads n bytes of the stream into a fixed field of fieldSize bytes: the text is cut to
// fieldSize - 1 bytes and always NUL-terminated; all n bytes are consumed.
bool ReadFixedString(char* field, size_t fieldSize, uint32_t n);

// ---- Groups of fixed fields: one bounds check for the group ----
// The next n bytes of the input (or of the scrap in scrap mode), taken at once: the position
// moves past them. Null, with the position kept and readError set, when fewer remain or an
// earlier read ran short (as ReadSome).
const uint8_t* TakeSomeChecked(uint32_t n);
inline const uint8_t* TakeSome(uint32_t n) {
  // The common case inline: reading the input buffer with the bytes there.
  const uint32_t pos = gStream.inDataBufferPos;
  const size_t len = gStream.inDataBuffer.size();
  if (!gStream.readError && !gStream.useScrap && pos <= len && n <= len - pos) {
    gStream.inDataBufferPos = pos + n;
    return gStream.inDataBuffer.data() + pos;
  }
  return TakeSomeChecked(n);
}

// The next n bytes of the input (or of the scrap in scrap mode) without moving past them, so
// that a reader can choose how to decode what follows; null when fewer remain or an earlier
// read ran short. Nothing is marked failed: the bytes are then read as usual.
const uint8_t* PeekSomeChecked(uint32_t n);
inline const uint8_t* PeekSome(uint32_t n) {
  const uint32_t pos = gStream.inDataBufferPos;
  const size_t len = gStream.inDataBuffer.size();
  if (!gStream.readError && !gStream.useScrap && pos <= len && n <= len - pos)
    return gStream.inDataBuffer.data() + pos;
  return PeekSomeChecked(n);
}

// Decodes a group of n bytes (at most kMaxBytes) of fixed fields taken with one check. When
// the stream is short every field reads as zero and readError is set.
class FieldGroup {
 public:
  static constexpr uint32_t kMaxBytes = 256;
  explicit FieldGroup(uint32_t n) {
    p_ = n <= kMaxBytes ? TakeSome(n) : nullptr;
    ok_ = p_ != nullptr;
    if (!p_) {
      if (n > kMaxBytes) {  // a caller's fault: the read fails
        gStream.readError = true;
        n = kMaxBytes;
      }
      p_ = Zeroes();
    }
    end_ = p_ + n;
  }
  bool ok() const { return ok_; }
  uint8_t Byte() { return *Take(1); }
  uint16_t UShort() {
    const uint8_t* b = Take(2);
    return static_cast<uint16_t>((b[0] << 8) | b[1]);
  }
  int16_t Short() { return static_cast<int16_t>(UShort()); }
  uint32_t ULong() {
    const uint8_t* b = Take(4);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
  }
  int32_t Long() { return static_cast<int32_t>(ULong()); }
  float Float() { return AsFloat(ULong()); }
  uint16_t StdUShort() {
    const uint8_t* b = Take(2);
    return static_cast<uint16_t>((b[1] << 8) | b[0]);
  }
  uint32_t StdULong() {
    const uint8_t* b = Take(4);
    return (uint32_t(b[3]) << 24) | (uint32_t(b[2]) << 16) | (uint32_t(b[1]) << 8) | uint32_t(b[0]);
  }
  float StdFloat() { return AsFloat(StdULong()); }
  // Bytes left in the group (decoding past its end is a caller's fault: it reads zeroes).
  uint32_t Left() const { return static_cast<uint32_t>(end_ - p_); }

 private:
  static const uint8_t* Zeroes() {
    static const uint8_t zeroes[kMaxBytes] = {};
    return zeroes;
  }
  const uint8_t* Take(uint32_t n) {
    static const uint8_t none[4] = {};
    if (static_cast<uint32_t>(end_ - p_) < n) return none;
    const uint8_t* b = p_;
    p_ += n;
    return b;
  }
  static float AsFloat(uint32_t u) {
    float f;
    __builtin_memcpy(&f, &u, 4);
    return f;
  }
  const uint8_t* p_;
  const uint8_t* end_;
  bool ok_;
};

// Decodes fixed fields from bytes already taken whole (TakeSome) and known to hold them all:
// no check per field. The same field calls as FieldGroup, so one decoding serves both.
class TakenBytes {
 public:
  explicit TakenBytes(const uint8_t* p) : p_(p) {}
  uint8_t Byte() { return *p_++; }
  uint16_t UShort() {
    const uint16_t v = static_cast<uint16_t>((p_[0] << 8) | p_[1]);
    p_ += 2;
    return v;
  }
  int16_t Short() { return static_cast<int16_t>(UShort()); }
  uint32_t ULong() {
    const uint32_t v =
        (uint32_t(p_[0]) << 24) | (uint32_t(p_[1]) << 16) | (uint32_t(p_[2]) << 8) | uint32_t(p_[3]);
    p_ += 4;
    return v;
  }
  int32_t Long() { return static_cast<int32_t>(ULong()); }
  float Float() { return AsFloat(ULong()); }
  uint16_t StdUShort() {
    const uint16_t v = static_cast<uint16_t>((p_[1] << 8) | p_[0]);
    p_ += 2;
    return v;
  }
  uint32_t StdULong() {
    const uint32_t v =
        (uint32_t(p_[3]) << 24) | (uint32_t(p_[2]) << 16) | (uint32_t(p_[1]) << 8) | uint32_t(p_[0]);
    p_ += 4;
    return v;
  }
  float StdFloat() { return AsFloat(StdULong()); }

 private:
  static float AsFloat(uint32_t u) {
    float f;
    __builtin_memcpy(&f, &u, 4);
    return f;
  }
  const uint8_t* p_;
};

// Collects fixed fields on the stack and appends them to the output (or the scrap) in one
// WriteSome, at the latest when it goes out of scope.
class FieldWriter {
 public:
  FieldWriter() = default;
  FieldWriter(const FieldWriter&) = delete;
  FieldWriter& operator=(const FieldWriter&) = delete;
  ~FieldWriter() { Flush(); }
  void Flush();
  void Byte(uint8_t v) { *Room(1) = v; }
  void UShort(uint16_t v) {
    uint8_t* b = Room(2);
    b[0] = uint8_t(v >> 8), b[1] = uint8_t(v);
  }
  void Short(int16_t v) { UShort(static_cast<uint16_t>(v)); }
  void ULong(uint32_t v) {
    uint8_t* b = Room(4);
    b[0] = uint8_t(v >> 24), b[1] = uint8_t(v >> 16), b[2] = uint8_t(v >> 8), b[3] = uint8_t(v);
  }
  void Long(int32_t v) { ULong(static_cast<uint32_t>(v)); }
  void Float(float v) {
    uint32_t u;
    __builtin_memcpy(&u, &v, 4);
    ULong(u);
  }
  void StdULong(uint32_t v) {
    uint8_t* b = Room(4);
    b[0] = uint8_t(v), b[1] = uint8_t(v >> 8), b[2] = uint8_t(v >> 16), b[3] = uint8_t(v >> 24);
  }
  void StdFloat(float v) {
    uint32_t u;
    __builtin_memcpy(&u, &v, 4);
    StdULong(u);
  }
  // A byte that says whether something is selected.
  void SelectionByte(uint8_t v) {
    // Where it goes whether or not the held fields go out first.
    if (gStream.outDigest) MarkOutput(OutputOffset() + n_, 1, OutputPart::kSelection);
    Byte(v);
  }

 private:
  uint8_t* Room(uint32_t n) {
    if (n_ + n > sizeof buf_) Flush();
    uint8_t* b = buf_ + n_;
    n_ += n;
    return b;
  }
  uint8_t buf_[512];
  uint32_t n_ = 0;
};

// ---- Why the last file was refused or not written ----
enum class FileProblem {
  kNone,
  kNotFound,
  kNotAFile,
  kPermissionDenied,
  kTooLarge,
  kNotThisKind,          // the header is not that of the kind of file the reader reads
  kVersionNotSupported,  // the header names a version the reader does not read
  kDamaged,              // the contents break off or make no sense at `byte`
  kDiskFull,
  kReadOnlyFile,
  kReadOnlyDisk,
  kOther
};
struct FileProblemReport {
  FileProblem problem = FileProblem::kNone;
  uint32_t byte = 0;     // for kDamaged: where the reader stopped
  bool writing = false;  // the file was being written, not read
};
// Set by LoadInputFile, WriteOutputFile and the readers that refuse a file after loading it.
FileProblemReport LastFileProblem();
void NoteFileProblem(FileProblem problem, uint32_t byte = 0);
// The file is damaged where the input stands now (unless loading it already noted why).
void NoteInputDamaged();
// One sentence telling the user why, e.g. "The file is damaged at byte 1234."; empty for kNone.
std::string FileProblemText(const FileProblemReport& report);

// What a reader makes of the first bytes of a file before the rest is read.
enum class HeadVerdict { kAccept, kNotThisKind, kVersionNotSupported };
using InputHeadCheck = HeadVerdict (*)(const uint8_t* head, size_t size);
// The big-endian Long at the start: one of the design-file versions (design files,
// snapshots, templates, symbols).
HeadVerdict CheckDesignFileHead(const uint8_t* head, size_t size);
// A version Long (big-endian, or little-endian with `littleEndian`) that must be one of
// `versions`; a number that looks like a version but is not one of them is "not supported".
HeadVerdict CheckVersionHead(const uint8_t* head, size_t size, std::initializer_list<int32_t> versions,
                             bool littleEndian = false);

// What a reader's first records claim, checked against the file's size once its head was
// accepted and before the rest is read: given the file's first kInputClaimsBytes bytes (the
// whole file when shorter). False, with *at where the claims break down, for a damaged file.
using InputClaimsCheck = bool (*)(const uint8_t* head, size_t size, uint64_t fileSize, uint32_t* at);
constexpr size_t kInputClaimsBytes = 4096;
// The design-file stream (designs, snapshots, templates, symbols): the document state block
// the version names must fit, and the object stream must begin with a layer, an object or
// its end (after at most a few tags the reader passes over), as must what follows a first
// layer record.
bool CheckDesignStreamClaims(const uint8_t* head, size_t size, uint64_t fileSize, uint32_t* at);

// ---- Loading a file whole ----
// Reads the file at path into the input buffer (position 0, error cleared): its first
// kInputHeadBytes bytes first, which `check` (when given) must accept, then (with `claims`)
// enough of it for `claims`, then the rest, so that a file of the wrong kind, or whose first
// records claim what it cannot hold, is never read whole. A head `check` refuses is all the
// buffer then holds (LastFileProblem says why): the reader refuses it as it refuses any
// version it does not read. False (and no buffer, LastFileProblem set) when the file cannot
// be opened or read, is 4 GB or longer, or `claims` finds it damaged.
constexpr size_t kInputHeadBytes = 16;
bool LoadInputFile(const char* path, InputHeadCheck check = nullptr, InputClaimsCheck claims = nullptr);
// The same for files of our private folders: never through a symbolic link, and only a
// regular file that belongs to the user.
bool LoadPrivateInputFile(const char* path, InputHeadCheck check = nullptr, InputClaimsCheck claims = nullptr);
// Copies n bytes into a new input buffer (position 0, error cleared); for in-memory readers.
void SetInputBuffer(const void* data, size_t n);
// Releases the input buffer (the reader is done, also on a rejected version).
void ReleaseInputBuffer();

// ---- Writing a file in one call ----
// Starts an empty output buffer (the room of earlier writes is kept).
void BeginOutputBuffer();
// Writes the output buffer as the whole file at path: written to a temporary file in the same
// folder, then renamed over path, so a failed write leaves any earlier file untouched.
// Returns false on any failure. The output buffer is kept; release it with ReleaseOutputBuffer.
// `durable` flushes the file and the rename to disk before returning (saves); private scratch
// files (undo snapshots) are written without it, still replaced atomically.
bool WriteOutputFile(const char* path, bool durable = true);
// Empties the output buffer; its room is kept for the next write.
void ReleaseOutputBuffer();
// Begins the output buffer, has `write` fill it and writes what it wrote to the file at path
// as WriteOutputFile writes the buffer (the same bytes, replaced atomically), then releases the
// buffer. The bytes go to the temporary file in pieces while `write` runs, each while it is
// still in the caches, rather than after the whole design was laid into memory. `write` runs
// whether or not the file can be written.
bool WriteOutputFileStreamed(const char* path, bool durable, void (*write)());

// ---- The scrap (private clipboard) ----
// Frees the scrap and starts a copy into a new one (scrap mode on, index 0).
void BeginScrapWrite();
// Starts reading the scrap from its start (scrap mode on, index 0, error cleared).
void BeginScrapRead();
// Leaves scrap mode; the scrap stays for later pastes.
void EndScrap();
void FreeScrap();
