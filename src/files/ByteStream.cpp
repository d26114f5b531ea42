// The byte stream: bounds-checked reads from the input buffer or scrap, appends to the output
// buffer or scrap, the fixed-order number primitives and whole-file loading and atomic writing.
#include "files/ByteStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "model/Records.h"
#include "platform/FileIO.h"

ByteStreamState gStream;

void ResetByteStream() {
  FreeScrap();
  gStream = ByteStreamState{};
}

// ---- Raw routines ----

// The destination keeps what it held.
static bool ShortRead(void*, uint32_t) {
  gStream.readError = true;
  return false;
}

bool ReadSome(void* dest, uint32_t n) {
  if (n == 0) return true;
  if (gStream.readError) return ShortRead(dest, n);
  if (gStream.useScrap) {
    if (!gStream.privateScrap || gStream.scrapIndex > gStream.scrapLength ||
        n > gStream.scrapLength - gStream.scrapIndex)
      return ShortRead(dest, n);
    if (dest) memcpy(dest, gStream.privateScrap + gStream.scrapIndex, n);
    gStream.scrapIndex += n;
    return true;
  }
  const uint32_t len = GetLength();
  if (gStream.inDataBufferPos > len || n > len - gStream.inDataBufferPos) return ShortRead(dest, n);
  if (dest) memcpy(dest, gStream.inDataBuffer.data() + gStream.inDataBufferPos, n);
  gStream.inDataBufferPos += n;
  return true;
}

bool SkipSome(uint32_t n) { return ReadSome(nullptr, n); }

const uint8_t* TakeSomeChecked(uint32_t n) {
  if (gStream.readError) return nullptr;
  if (gStream.useScrap) {
    if (!gStream.privateScrap || gStream.scrapIndex > gStream.scrapLength ||
        n > gStream.scrapLength - gStream.scrapIndex) {
      gStream.readError = true;
      return nullptr;
    }
    const uint8_t* p = gStream.privateScrap + gStream.scrapIndex;
    gStream.scrapIndex += n;
    return p;
  }
  const uint32_t len = GetLength();
  if (gStream.inDataBufferPos > len || n > len - gStream.inDataBufferPos) {
    gStream.readError = true;
    return nullptr;
  }
  const uint8_t* p = gStream.inDataBuffer.data() + gStream.inDataBufferPos;
  gStream.inDataBufferPos += n;
  return p;
}

const uint8_t* PeekSomeChecked(uint32_t n) {
  if (gStream.readError) return nullptr;
  if (gStream.useScrap) {
    if (!gStream.privateScrap || gStream.scrapIndex > gStream.scrapLength ||
        n > gStream.scrapLength - gStream.scrapIndex)
      return nullptr;
    return gStream.privateScrap + gStream.scrapIndex;
  }
  const uint32_t len = GetLength();
  if (gStream.inDataBufferPos > len || n > len - gStream.inDataBufferPos) return nullptr;
  return gStream.inDataBuffer.data() + gStream.inDataBufferPos;
}

void FieldWriter::Flush() {
  if (n_) WriteSome(buf_, n_);
  n_ = 0;
}

void WriteSome(const void* src, uint32_t n) {
  if (n == 0) return;
  if (gStream.useScrap) {
    if (gStream.scrapIndex > UINT32_MAX - n) {
      FreeScrap();
      gStream.writeError = true;
      return;
    }
    const uint32_t need = gStream.scrapIndex + n;
    if (need > gStream.scrapLength) {
      auto* grown = static_cast<uint8_t*>(realloc(gStream.privateScrap, need));
      if (!grown) {
        FreeScrap();
        gStream.writeError = true;
        return;
      }
      memset(grown + gStream.scrapLength, 0, need - gStream.scrapLength);
      gStream.privateScrap = grown;
      gStream.scrapLength = need;
    }
    memcpy(gStream.privateScrap + gStream.scrapIndex, src, n);
    gStream.scrapIndex += n;
    return;
  }
  const auto* p = static_cast<const uint8_t*>(src);
  gStream.outDataBuffer.insert(gStream.outDataBuffer.end(), p, p + n);
  // A piece small enough to stay in the caches until it is handed to the file; the digest
  // takes smaller ones, while they are in the nearest, and what is left before a piece goes.
  constexpr size_t kSpillPiece = size_t(1) << 20;
  constexpr size_t kDigestPiece = size_t(64) << 10;
  const size_t held = gStream.outDataBuffer.size();
  if (gStream.outDigest && held - gStream.outDigested >= kDigestPiece) DigestHeldOutput();
  if (gStream.outSpill && held >= kSpillPiece) {
    DigestHeldOutput();
    gStream.outSpill->append(gStream.outDataBuffer.data(), held);
    gStream.outHandedOn += held;
    gStream.outDataBuffer.clear();
    gStream.outDigested = 0;
  }
}

void DigestHeldOutput() {
  std::vector<uint8_t>& held = gStream.outDataBuffer;
  if (!gStream.outDigest || gStream.outDigested >= held.size()) return;
  gStream.outDigest->take(held.data() + gStream.outDigested, gStream.outHandedOn + gStream.outDigested,
                          held.size() - gStream.outDigested);
  gStream.outDigested = held.size();
}

uint32_t GetLength() { return static_cast<uint32_t>(gStream.inDataBuffer.size()); }

uint32_t GetMark() { return gStream.inDataBufferPos; }

uint32_t GetRemaining() {
  if (gStream.useScrap)
    return gStream.scrapIndex < gStream.scrapLength ? gStream.scrapLength - gStream.scrapIndex : 0;
  const uint32_t len = GetLength();
  return gStream.inDataBufferPos < len ? len - gStream.inDataBufferPos : 0;
}

bool StreamAtEnd() { return gStream.readError || GetRemaining() == 0; }

// ---- Primitives ----

static uint16_t LoadBE16(const uint8_t* b) { return static_cast<uint16_t>((b[0] << 8) | b[1]); }
static uint16_t LoadLE16(const uint8_t* b) { return static_cast<uint16_t>((b[1] << 8) | b[0]); }
static uint32_t LoadBE32(const uint8_t* b) {
  return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
}
static uint32_t LoadLE32(const uint8_t* b) {
  return (uint32_t(b[3]) << 24) | (uint32_t(b[2]) << 16) | (uint32_t(b[1]) << 8) | uint32_t(b[0]);
}

static void AppendBE16(uint16_t v) {
  const uint8_t b[2] = {uint8_t(v >> 8), uint8_t(v)};
  WriteSome(b, 2);
}
static void AppendLE16(uint16_t v) {
  const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
  WriteSome(b, 2);
}
static void AppendBE32(uint32_t v) {
  const uint8_t b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  WriteSome(b, 4);
}
static void AppendLE32(uint32_t v) {
  const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  WriteSome(b, 4);
}

static uint32_t FloatBits(float f) {
  uint32_t u;
  memcpy(&u, &f, 4);
  return u;
}
static float BitsFloat(uint32_t u) {
  float f;
  memcpy(&f, &u, 4);
  return f;
}

void ReadShort(int16_t* v) {
  if (!v) return;
  uint8_t b[2];
  if (ReadSome(b, 2)) *v = static_cast<int16_t>(LoadBE16(b));
}
void ReadUShort(uint16_t* v) {
  if (!v) return;
  uint8_t b[2];
  if (ReadSome(b, 2)) *v = LoadBE16(b);
}
void ReadLong(int32_t* v) {
  if (!v) return;
  uint8_t b[4];
  if (ReadSome(b, 4)) *v = static_cast<int32_t>(LoadBE32(b));
}
void ReadULong(uint32_t* v) {
  if (!v) return;
  uint8_t b[4];
  if (ReadSome(b, 4)) *v = LoadBE32(b);
}
void ReadFloat(float* v) {
  if (!v) return;
  uint8_t b[4];
  if (ReadSome(b, 4)) *v = BitsFloat(LoadBE32(b));
}
void ReadStdShort(int16_t* v) {
  if (!v) return;
  uint8_t b[2];
  if (ReadSome(b, 2)) *v = static_cast<int16_t>(LoadLE16(b));
}
void ReadStdUShort(uint16_t* v) {
  if (!v) return;
  uint8_t b[2];
  if (ReadSome(b, 2)) *v = LoadLE16(b);
}
void ReadStdLong(int32_t* v) {
  if (!v) return;
  uint8_t b[4];
  if (ReadSome(b, 4)) *v = static_cast<int32_t>(LoadLE32(b));
}
void ReadStdULong(uint32_t* v) {
  if (!v) return;
  uint8_t b[4];
  if (ReadSome(b, 4)) *v = LoadLE32(b);
}
void ReadStdFloat(float* v) {
  if (!v) return;
  uint8_t b[4];
  if (ReadSome(b, 4)) *v = BitsFloat(LoadLE32(b));
}

void WriteShort(int16_t v) { AppendBE16(static_cast<uint16_t>(v)); }
void WriteUShort(uint16_t v) { AppendBE16(v); }
void WriteLong(int32_t v) { AppendBE32(static_cast<uint32_t>(v)); }
void WriteULong(uint32_t v) { AppendBE32(v); }
void WriteFloat(float v) { AppendBE32(FloatBits(v)); }
void WriteStdShort(int16_t v) { AppendLE16(static_cast<uint16_t>(v)); }
void WriteStdUShort(uint16_t v) { AppendLE16(v); }
void WriteStdLong(int32_t v) { AppendLE32(static_cast<uint32_t>(v)); }
void WriteStdULong(uint32_t v) { AppendLE32(v); }
void WriteStdFloat(float v) { AppendLE32(FloatBits(v)); }

float SwapFloat(uint32_t bits) { return BitsFloat(__builtin_bswap32(bits)); }

void ReadColor(RGBColor* c) {
  for (uint16_t* v : {&c->red, &c->green, &c->blue}) ReadUShort(v);
}
void WriteColor(const RGBColor& c) {
  for (uint16_t v : {c.red, c.green, c.blue}) WriteUShort(v);
}

void ApplePortReadLOGFONT(LOGFONT* font) {
  if (!font) return;
  constexpr uint32_t kFontBytes = 5 * 4 + 8 + sizeof font->lfFaceName;
  if (PeekSome(kFontBytes)) {  // the whole record is there: taken at once
    TakenBytes f(TakeSome(kFontBytes));
    font->lfHeight = static_cast<int32_t>(f.StdULong());
    font->lfWidth = static_cast<int32_t>(f.StdULong());
    font->lfEscapement = static_cast<int32_t>(f.StdULong());
    font->lfOrientation = static_cast<int32_t>(f.StdULong());
    font->lfWeight = static_cast<int32_t>(f.StdULong());
    for (uint8_t* b : {&font->lfItalic, &font->lfUnderline, &font->lfStrikeOut, &font->lfCharSet,
                       &font->lfOutPrecision, &font->lfClipPrecision, &font->lfQuality,
                       &font->lfPitchAndFamily})
      *b = f.Byte();
    for (char& c : font->lfFaceName) c = static_cast<char>(f.Byte());
  } else {  // field by field, so a cut record stops where it breaks off
    ReadStdLong(&font->lfHeight);
    ReadStdLong(&font->lfWidth);
    ReadStdLong(&font->lfEscapement);
    ReadStdLong(&font->lfOrientation);
    ReadStdLong(&font->lfWeight);
    ReadSome(&font->lfItalic, 1);
    ReadSome(&font->lfUnderline, 1);
    ReadSome(&font->lfStrikeOut, 1);
    ReadSome(&font->lfCharSet, 1);
    ReadSome(&font->lfOutPrecision, 1);
    ReadSome(&font->lfClipPrecision, 1);
    ReadSome(&font->lfQuality, 1);
    ReadSome(&font->lfPitchAndFamily, 1);
    ReadSome(font->lfFaceName, sizeof font->lfFaceName);
  }
  // The name's bytes stay as stored; only a name without any NUL is cut to terminate it.
  if (!memchr(font->lfFaceName, 0, sizeof font->lfFaceName)) font->lfFaceName[sizeof font->lfFaceName - 1] = 0;
}

void ApplePortWriteLOGFONT(const LOGFONT* font) {
  if (!font) return;
  WriteStdLong(font->lfHeight);
  WriteStdLong(font->lfWidth);
  WriteStdLong(font->lfEscapement);
  WriteStdLong(font->lfOrientation);
  WriteStdLong(font->lfWeight);
  WriteSome(&font->lfItalic, 1);
  WriteSome(&font->lfUnderline, 1);
  WriteSome(&font->lfStrikeOut, 1);
  WriteSome(&font->lfCharSet, 1);
  WriteSome(&font->lfOutPrecision, 1);
  WriteSome(&font->lfClipPrecision, 1);
  WriteSome(&font->lfQuality, 1);
  WriteSome(&font->lfPitchAndFamily, 1);
  WriteSome(font->lfFaceName, sizeof font->lfFaceName);
}

bool ReadFixedString(char* field, size_t fieldSize, uint32_t n) {
  if (!field || fieldSize == 0) return SkipSome(n);
  const size_t keep = n < fieldSize - 1 ? n : fieldSize - 1;
  if (GetRemaining() < n || StreamFailed()) {
    SkipSome(n);  // sets the error
    memset(field, 0, fieldSize);
    return false;
  }
  ReadSome(field, static_cast<uint32_t>(keep));
  SkipSome(n - static_cast<uint32_t>(keep));
  field[keep] = 0;
  return true;
}

// ---- Loading a file whole ----

namespace {
FileProblemReport sLastProblem;
thread_local InputHeadCheck sHeadCheck = nullptr;
thread_local HeadVerdict sHeadVerdict = HeadVerdict::kAccept;
thread_local InputClaimsCheck sClaimsCheck = nullptr;
thread_local bool sHeadSeen = false;      // the head check has accepted; the claims come next
thread_local bool sClaimsRefused = false;
thread_local uint32_t sClaimsBreak = 0;
thread_local std::vector<uint8_t> sHead;

HeadAnswer RunHeadCheck(const uint8_t* head, size_t size, uint64_t fileSize, size_t* wanted) {
  if (!sHeadSeen) {
    sHead.assign(head, head + std::min(size, kInputHeadBytes));
    sHeadVerdict = sHeadCheck ? sHeadCheck(head, size) : HeadVerdict::kAccept;
    if (sHeadVerdict != HeadVerdict::kAccept) return HeadAnswer::kRefuse;
    sHeadSeen = true;
    if (!sClaimsCheck) return HeadAnswer::kAccept;
    if (size < kInputClaimsBytes && size < fileSize) {
      *wanted = kInputClaimsBytes;
      return HeadAnswer::kMore;
    }
  }
  if (!sClaimsCheck || sClaimsCheck(head, size, fileSize, &sClaimsBreak)) return HeadAnswer::kAccept;
  sClaimsRefused = true;
  return HeadAnswer::kRefuse;
}

FileProblem ProblemOf(FileFailure failure) {
  switch (failure) {
    case FileFailure::kNone: return FileProblem::kNone;
    case FileFailure::kNotFound: return FileProblem::kNotFound;
    case FileFailure::kNotAFile: return FileProblem::kNotAFile;
    case FileFailure::kPermissionDenied: return FileProblem::kPermissionDenied;
    case FileFailure::kTooLarge: return FileProblem::kTooLarge;
    case FileFailure::kRefusedHeader: return FileProblem::kNotThisKind;
    case FileFailure::kDiskFull: return FileProblem::kDiskFull;
    case FileFailure::kReadOnlyFile: return FileProblem::kReadOnlyFile;
    case FileFailure::kReadOnlyDisk: return FileProblem::kReadOnlyDisk;
    case FileFailure::kOther: return FileProblem::kOther;
  }
  return FileProblem::kOther;
}

int32_t LongAt(const uint8_t* p, bool littleEndian) {
  uint32_t v = littleEndian ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24
                            : uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
  return static_cast<int32_t>(v);
}

bool Load(const char* path, InputHeadCheck check, InputClaimsCheck claims, const FileReadRules& rules) {
  ReleaseInputBuffer();
  sLastProblem = {};
  if (!path || !*path) {
    NoteFileProblem(FileProblem::kNotFound);
    return false;
  }
  // Read straight into the input buffer; its new room is left unfilled, the read fills it.
  FileBytes& data = gStream.inDataBuffer;
  sHeadCheck = check;
  sClaimsCheck = claims;
  sHeadVerdict = HeadVerdict::kAccept;
  sHeadSeen = sClaimsRefused = false;
  const bool read = ReadFileAfterHead(path, data, kInputHeadBytes, check || claims ? RunHeadCheck : nullptr,
                                      size_t(UINT32_MAX) - 1, rules);
  sHeadCheck = nullptr;
  sClaimsCheck = nullptr;
  if (!read) {
    FileProblem problem = ProblemOf(LastFileFailure());
    if (problem == FileProblem::kNotThisKind && sClaimsRefused) {
      NoteFileProblem(FileProblem::kDamaged, sClaimsBreak);
      return false;
    }
    if (problem != FileProblem::kNotThisKind) {
      NoteFileProblem(problem);
      return false;
    }
    if (sHeadVerdict == HeadVerdict::kVersionNotSupported) problem = FileProblem::kVersionNotSupported;
    NoteFileProblem(problem);
    // Only the head is kept: the reader refuses it as it refuses any version it does not read.
    data.assign(sHead.begin(), sHead.end());
  }
  gStream.hasInDataBuffer = true;
  return true;
}
}  // namespace

FileProblemReport LastFileProblem() { return sLastProblem; }

void NoteFileProblem(FileProblem problem, uint32_t byte) { sLastProblem = {problem, byte}; }

void NoteInputDamaged() {
  if (sLastProblem.problem == FileProblem::kNone) NoteFileProblem(FileProblem::kDamaged, GetMark());
}

std::string FileProblemText(const FileProblemReport& report) {
  switch (report.problem) {
    case FileProblem::kNone: return {};
    case FileProblem::kNotFound:
      return report.writing ? "The folder could not be found." : "The file could not be found.";
    case FileProblem::kNotAFile:
      return report.writing ? "A folder or other item of that name is in the way." : "The item is not a file.";
    case FileProblem::kPermissionDenied:
      return report.writing ? "You do not have permission to write there."
                            : "You do not have permission to read the file.";
    case FileProblem::kTooLarge: return "The file is too large.";
    case FileProblem::kNotThisKind: return "The file is not a design.";
    case FileProblem::kVersionNotSupported: return "The file was made by a version that is not supported.";
    case FileProblem::kDamaged: return "The file is damaged at byte " + std::to_string(report.byte) + ".";
    case FileProblem::kDiskFull: return "The disk is full.";
    case FileProblem::kReadOnlyFile: return "The file is read-only.";
    case FileProblem::kReadOnlyDisk: return "The disk is read-only.";
    case FileProblem::kOther: return "The file could not be read or written.";
  }
  return {};
}

HeadVerdict CheckVersionHead(const uint8_t* head, size_t size, std::initializer_list<int32_t> versions,
                             bool littleEndian) {
  if (!head || size < 4) return HeadVerdict::kNotThisKind;
  const int32_t v = LongAt(head, littleEndian);
  for (int32_t accepted : versions)
    if (v == accepted) return HeadVerdict::kAccept;
  // Our versions are four- and five-digit numbers; anything else is no file of ours.
  return v >= 1000 && v <= 99999 ? HeadVerdict::kVersionNotSupported : HeadVerdict::kNotThisKind;
}

HeadVerdict CheckDesignFileHead(const uint8_t* head, size_t size) {
  if (!head || size < 4) return HeadVerdict::kNotThisKind;
  const int32_t v = LongAt(head, false);
  if (IsDesignFileVersion(v)) return HeadVerdict::kAccept;
  return v >= 1000 && v <= 99999 ? HeadVerdict::kVersionNotSupported : HeadVerdict::kNotThisKind;
}

bool CheckDesignStreamClaims(const uint8_t* head, size_t size, uint64_t fileSize, uint32_t* at) {
  if (!head || size < 6) {
    *at = uint32_t(size);
    return false;
  }
  // Header (version, platform), the framing Long, then the block the version names.
  const uint32_t block = DocStateBlockLengthForVersion(LongAt(head, false));
  if (block == 0) {
    *at = 0;
    return false;
  }
  auto tagAt = [&](uint64_t p, int16_t* tag) {
    if (p + 2 > fileSize || p + 2 > size) {
      *at = uint32_t(std::min<uint64_t>(std::min<uint64_t>(fileSize, size), p));
      return false;
    }
    *tag = static_cast<int16_t>(head[p] << 8 | head[p + 1]);
    return true;
  };
  auto opensStream = [](int16_t tag) { return tag == kTagLayer || tag == kTagObject || tag == kTagObjectsEnd; };
  // The reader passes over tags it does not know (and brackets with nothing to close), so a
  // few may stand before a record; a cabinet bracket carries a state and is no such tag.
  constexpr int kPassedOver = 16;
  auto nextRecord = [&](uint64_t* p, int16_t* tag) {
    const uint64_t first = *p;
    for (int skipped = 0;; ++skipped, *p += 2) {
      if (!tagAt(*p, tag)) {
        if (skipped) *at = uint32_t(first);
        return false;
      }
      if (opensStream(*tag)) return true;
      if (*tag == kTagCabinetBegin || skipped == kPassedOver) {
        *at = uint32_t(first);
        return false;
      }
    }
  };
  uint64_t p = 6 + 4 + uint64_t(block);
  int16_t tag = 0;
  if (!nextRecord(&p, &tag)) return false;
  if (tag != kTagLayer) return true;
  // A layer record: its name, two flags and its height; then the next record.
  p += 2 + sizeof(Layer::name) + 2 + 4;
  return nextRecord(&p, &tag);
}

bool LoadInputFile(const char* path, InputHeadCheck check, InputClaimsCheck claims) {
  return Load(path, check, claims, FileReadRules());
}

bool LoadPrivateInputFile(const char* path, InputHeadCheck check, InputClaimsCheck claims) {
  FileReadRules rules;
  rules.followLinks = false;
  rules.mustBeOwnedByUser = true;
  return Load(path, check, claims, rules);
}

void SetInputBuffer(const void* data, size_t n) {
  ReleaseInputBuffer();
  if (n >= UINT32_MAX) n = 0;
  const auto* p = static_cast<const uint8_t*>(data);
  if (p && n) gStream.inDataBuffer.assign(p, p + n);
  gStream.hasInDataBuffer = true;
}

void ReleaseInputBuffer() {
  // The room goes back: a kept buffer is long out of the caches by the next read, and the system
  // fills fresh pages faster than a copy overwrites cold ones.
  FileBytes().swap(gStream.inDataBuffer);
  gStream.hasInDataBuffer = false;
  gStream.inDataBufferPos = 0;
  gStream.readError = false;
}

// ---- Writing a file in one call ----

void BeginOutputBuffer() {
  // The buffer keeps the room of earlier writes: a design written again fills it without regrowth.
  gStream.outDataBuffer.clear();
  gStream.hasOutDataBuffer = true;
  gStream.writeError = false;
  gStream.outHandedOn = 0;
  gStream.outDigested = 0;
}

bool WriteOutputFile(const char* path, bool durable) {
  sLastProblem = {};
  if (!path || !*path) {
    NoteFileProblem(FileProblem::kNotFound);
    return false;
  }
  if (WriteFileAtomically(path, gStream.outDataBuffer.data(), gStream.outDataBuffer.size(), durable))
    return true;
  NoteFileProblem(ProblemOf(LastFileFailure()));
  sLastProblem.writing = true;
  return false;
}

bool WriteOutputFileStreamed(const char* path, bool durable, void (*write)()) {
  sLastProblem = {};
  BeginOutputBuffer();
  const bool named = path && *path;
  AtomicFileWrite file;
  const bool begun = named && file.begin(path, durable);
  if (begun) gStream.outSpill = &file;
  write();
  gStream.outSpill = nullptr;
  bool written = false;
  if (begun) {
    file.append(gStream.outDataBuffer.data(), gStream.outDataBuffer.size());
    written = file.commit();
  }
  ReleaseOutputBuffer();
  if (written) return true;
  if (!named) {
    NoteFileProblem(FileProblem::kNotFound);
    return false;
  }
  NoteFileProblem(ProblemOf(LastFileFailure()));
  sLastProblem.writing = true;
  return false;
}

void ReleaseOutputBuffer() {
  // The room is kept for the next write (every edit writes a snapshot of the whole design),
  // unless it is far beyond what designs take.
  constexpr size_t kKeptRoom = size_t(256) << 20;
  if (gStream.outDataBuffer.capacity() > kKeptRoom) std::vector<uint8_t>().swap(gStream.outDataBuffer);
  else gStream.outDataBuffer.clear();
  gStream.hasOutDataBuffer = false;
  gStream.outHandedOn = 0;
  gStream.outDigested = 0;
}

// ---- The scrap ----

void BeginScrapWrite() {
  FreeScrap();
  gStream.useScrap = true;
  gStream.scrapIndex = 0;
  gStream.writeError = false;
}

void BeginScrapRead() {
  gStream.useScrap = true;
  gStream.scrapIndex = 0;
  gStream.readError = false;
}

void EndScrap() { gStream.useScrap = false; }

void FreeScrap() {
  free(gStream.privateScrap);
  gStream.privateScrap = nullptr;
  gStream.scrapLength = 0;
  gStream.scrapIndex = 0;
}
