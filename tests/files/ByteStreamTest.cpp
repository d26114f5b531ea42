// Byte stream: byte order of the primitives, bounds of every read, the scrap, the font
// record and whole-file loading and atomic writing.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/ByteStream.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ByteStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetByteStream(); }
  void TearDown() override { ResetByteStream(); }

  template <class F>
  Bytes Written(F write) {
    BeginOutputBuffer();
    write();
    Bytes out = gStream.outDataBuffer;
    ReleaseOutputBuffer();
    return out;
  }
};

TEST_F(ByteStreamTest, WritersUseTheFixedByteOrder) {
  EXPECT_EQ(Written([] { WriteShort(100); }), (Bytes{0x00, 0x64}));
  EXPECT_EQ(Written([] { WriteShort(400); }), (Bytes{0x01, 0x90}));
  EXPECT_EQ(Written([] { WriteLong(3732); }), (Bytes{0x00, 0x00, 0x0E, 0x94}));
  EXPECT_EQ(Written([] { WriteFloat(1.0f); }), (Bytes{0x3F, 0x80, 0x00, 0x00}));
  EXPECT_EQ(Written([] { WriteStdFloat(1.0f); }), (Bytes{0x00, 0x00, 0x80, 0x3F}));
  EXPECT_EQ(Written([] { WriteStdShort(-1); }), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(Written([] { WriteUShort(0xBEEF); }), (Bytes{0xBE, 0xEF}));
  EXPECT_EQ(Written([] { WriteULong(0xDEADBEEF); }), (Bytes{0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(Written([] { WriteStdUShort(0xBEEF); }), (Bytes{0xEF, 0xBE}));
  EXPECT_EQ(Written([] { WriteStdLong(3732); }), (Bytes{0x94, 0x0E, 0x00, 0x00}));
  EXPECT_EQ(Written([] { WriteStdULong(0xDEADBEEF); }), (Bytes{0xEF, 0xBE, 0xAD, 0xDE}));
  EXPECT_EQ(Written([] { WriteLong(-2); }), (Bytes{0xFF, 0xFF, 0xFF, 0xFE}));
  // A tag appended as two raw bytes equals WriteShort.
  EXPECT_EQ(Written([] {
              const uint8_t tag[2] = {0x01, 0x90};
              WriteSome(tag, 2);
            }),
            Written([] { WriteShort(400); }));
}

TEST_F(ByteStreamTest, EveryPrimitiveReadsBackWhatItsWriterWrote) {
  BeginOutputBuffer();
  WriteShort(-12345);
  WriteUShort(54321);
  WriteLong(-123456789);
  WriteULong(4000000000u);
  WriteFloat(-2.75f);
  WriteStdShort(-12345);
  WriteStdUShort(54321);
  WriteStdLong(-123456789);
  WriteStdULong(4000000000u);
  WriteStdFloat(1e-3f);
  SetInputBuffer(gStream.outDataBuffer.data(), gStream.outDataBuffer.size());
  int16_t s = 0, ss = 0;
  uint16_t us = 0, uss = 0;
  int32_t l = 0, sl = 0;
  uint32_t ul = 0, sul = 0;
  float f = 0, sf = 0;
  ReadShort(&s);
  ReadUShort(&us);
  ReadLong(&l);
  ReadULong(&ul);
  ReadFloat(&f);
  ReadStdShort(&ss);
  ReadStdUShort(&uss);
  ReadStdLong(&sl);
  ReadStdULong(&sul);
  ReadStdFloat(&sf);
  EXPECT_EQ(s, -12345);
  EXPECT_EQ(us, 54321);
  EXPECT_EQ(l, -123456789);
  EXPECT_EQ(ul, 4000000000u);
  EXPECT_EQ(f, -2.75f);
  EXPECT_EQ(ss, -12345);
  EXPECT_EQ(uss, 54321);
  EXPECT_EQ(sl, -123456789);
  EXPECT_EQ(sul, 4000000000u);
  EXPECT_EQ(sf, 1e-3f);
  EXPECT_EQ(GetMark(), GetLength());
  EXPECT_FALSE(StreamFailed());
  EXPECT_EQ(SwapFloat(0x0000803Fu), 1.0f);
}

TEST_F(ByteStreamTest, ReadsStopAtTheEndWithoutCopying) {
  const uint8_t data[6] = {1, 2, 3, 4, 5, 6};
  SetInputBuffer(data, sizeof data);
  EXPECT_EQ(GetLength(), 6u);

  // A null destination reads and advances nothing.
  ReadLong(nullptr);
  ReadStdFloat(nullptr);
  EXPECT_EQ(GetMark(), 0u);

  int16_t s = 0;
  ReadShort(&s);
  int32_t l = 0;
  ReadLong(&l);  // ends exactly at the end
  EXPECT_EQ(l, 0x03040506);
  EXPECT_EQ(GetMark(), 6u);
  EXPECT_FALSE(StreamFailed());
  EXPECT_TRUE(StreamAtEnd());

  uint8_t b = 0xAA;
  EXPECT_FALSE(ReadSome(&b, 1));  // one byte more
  EXPECT_EQ(b, 0xAA);             // nothing copied: the destination keeps what it held
  EXPECT_EQ(GetMark(), 6u);
  EXPECT_TRUE(StreamFailed());
  // So does every number reader, whatever its width and byte order.
  int16_t s2 = -7;
  uint16_t us = 0xBEEF;
  int32_t l2 = -123;
  uint32_t ul = 0xCAFEF00D;
  float f = 2.5f;
  float sf = -0.5f;
  ReadShort(&s2);
  ReadStdUShort(&us);
  ReadLong(&l2);
  ReadStdULong(&ul);
  ReadFloat(&f);
  ReadStdFloat(&sf);
  EXPECT_EQ(s2, -7);
  EXPECT_EQ(us, 0xBEEF);
  EXPECT_EQ(l2, -123);
  EXPECT_EQ(ul, 0xCAFEF00Du);
  EXPECT_EQ(f, 2.5f);
  EXPECT_EQ(sf, -0.5f);
  EXPECT_EQ(GetMark(), 6u);
}

TEST_F(ByteStreamTest, AShortReadIsStickyAndCopiesNothing) {
  const uint8_t data[3] = {9, 8, 7};
  SetInputBuffer(data, sizeof data);
  int32_t l = 77;
  ReadLong(&l);
  EXPECT_EQ(l, 77);
  EXPECT_EQ(GetMark(), 0u);
  EXPECT_TRUE(StreamFailed());
  // Later reads fail too, even those the bytes would satisfy.
  uint8_t b = 0x55;
  EXPECT_FALSE(ReadSome(&b, 1));
  EXPECT_EQ(b, 0x55);
  EXPECT_EQ(GetMark(), 0u);
  // Hostile lengths end quickly without touching memory.
  EXPECT_FALSE(SkipSome(0x7FFFFFFF));
  EXPECT_FALSE(SkipSome(UINT32_MAX));
  // A new buffer clears the error.
  SetInputBuffer(data, sizeof data);
  EXPECT_TRUE(ReadSome(&b, 1));
  EXPECT_EQ(b, 9);
}

TEST_F(ByteStreamTest, HugeLengthsNearTheEndDoNotWrapAround) {
  const uint8_t data[8] = {};
  SetInputBuffer(data, sizeof data);
  EXPECT_TRUE(SkipSome(4));
  EXPECT_FALSE(SkipSome(UINT32_MAX - 2));  // 4 + n wraps in 32 bits
  EXPECT_EQ(GetMark(), 4u);
  EXPECT_EQ(GetRemaining(), 4u);
}

TEST_F(ByteStreamTest, FixedStringsAreCutToTheFieldAndTerminated) {
  const char text[] = "ABCDEFGHIJ";
  SetInputBuffer(text, 10);
  char field[5];
  memset(field, 'x', sizeof field);
  EXPECT_TRUE(ReadFixedString(field, sizeof field, 8));
  EXPECT_STREQ(field, "ABCD");
  EXPECT_EQ(GetMark(), 8u);  // every stored byte consumed
  // A length patched to a huge value ends the parse.
  EXPECT_FALSE(ReadFixedString(field, sizeof field, 0x7FFFFFFF));
  EXPECT_STREQ(field, "");
  EXPECT_EQ(GetMark(), 8u);
  EXPECT_TRUE(StreamFailed());
}

TEST_F(ByteStreamTest, FontRecordTakesSixtyBytes) {
  LOGFONT font;
  font.lfHeight = -16;
  font.lfWeight = 700;
  font.lfItalic = 1;
  font.lfPitchAndFamily = 52;
  memset(font.lfFaceName, 'Z', sizeof font.lfFaceName);
  memcpy(font.lfFaceName, "Arial", 6);  // bytes after the NUL are kept as they are
  Bytes out = Written([&] { ApplePortWriteLOGFONT(&font); });
  ASSERT_EQ(out.size(), 60u);
  EXPECT_EQ(out[0], 0xF0);
  EXPECT_EQ(out[3], 0xFF);
  EXPECT_EQ(out[16], 0xBC);  // 700 little-endian
  EXPECT_EQ(out[20], 1);
  EXPECT_EQ(out[27], 52);
  EXPECT_EQ(0, memcmp(&out[28], font.lfFaceName, 32));
  EXPECT_TRUE(Written([] { ApplePortWriteLOGFONT(nullptr); }).empty());

  // All 32 bytes of the face name come back, whatever follows its NUL.
  out[59] = 'Q';
  SetInputBuffer(out.data(), out.size());
  LOGFONT back;
  ApplePortReadLOGFONT(&back);
  EXPECT_EQ(GetMark(), 60u);
  EXPECT_EQ(back.lfHeight, -16);
  EXPECT_EQ(back.lfWeight, 700);
  EXPECT_EQ(back.lfItalic, 1);
  EXPECT_EQ(back.lfPitchAndFamily, 52);
  EXPECT_STREQ(back.lfFaceName, "Arial");
  EXPECT_EQ(0, memcmp(back.lfFaceName, &out[28], 32));
  EXPECT_EQ(back.lfFaceName[31], 'Q');

  // A face name without any NUL is terminated on reading.
  out[33] = 'x';
  SetInputBuffer(out.data(), out.size());
  ApplePortReadLOGFONT(&back);
  EXPECT_EQ(GetMark(), 60u);
  EXPECT_EQ(back.lfFaceName[30], 'Z');
  EXPECT_EQ(back.lfFaceName[31], 0);

  // A cut record reads nothing past the end.
  SetInputBuffer(out.data(), 30);
  ApplePortReadLOGFONT(&back);
  EXPECT_TRUE(StreamFailed());
  EXPECT_EQ(GetMark(), 28u);
  EXPECT_EQ(back.lfFaceName[31], 0);
}

TEST_F(ByteStreamTest, ScrapHoldsOneCopyForManyPastes) {
  BeginOutputBuffer();
  BeginScrapWrite();
  WriteShort(100);
  WriteLong(3732);
  WriteStdFloat(1.0f);
  EndScrap();
  EXPECT_TRUE(gStream.outDataBuffer.empty());  // the output buffer is not touched
  EXPECT_EQ(gStream.scrapLength, 10u);

  for (int paste = 0; paste < 2; paste++) {
    BeginScrapRead();
    int16_t tag = 0;
    int32_t l = 0;
    float f = 0;
    ReadShort(&tag);
    ReadLong(&l);
    ReadStdFloat(&f);
    EXPECT_EQ(tag, 100);
    EXPECT_EQ(l, 3732);
    EXPECT_EQ(f, 1.0f);
    EXPECT_FALSE(StreamFailed());
    // Never read past the copied bytes.
    uint8_t b = 0x11;
    EXPECT_FALSE(ReadSome(&b, 1));
    EXPECT_EQ(b, 0x11);
    EXPECT_EQ(gStream.scrapIndex, 10u);
    EndScrap();
  }

  // The next copy replaces the scrap.
  BeginScrapWrite();
  WriteShort(7);
  EndScrap();
  EXPECT_EQ(gStream.scrapLength, 2u);

  // Pasting without a scrap reads nothing.
  FreeScrap();
  BeginScrapRead();
  int16_t v = 5;
  ReadShort(&v);
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(StreamFailed());
  EndScrap();
}

// The stream state under its customary names is the state the routines work on.
TEST_F(ByteStreamTest, StateGlobalsAreTheStreamState) {
  const uint8_t data[4] = {0x00, 0x64, 0x01, 0x90};
  gInDataBuffer.assign(data, data + 4);
  gInDataBufferPos = 2;
  EXPECT_EQ(GetLength(), 4u);
  EXPECT_EQ(GetMark(), 2u);
  int16_t tag = 0;
  ReadShort(&tag);
  EXPECT_EQ(tag, 400);
  EXPECT_EQ(gInDataBufferPos, 4u);

  BeginOutputBuffer();
  WriteShort(100);
  EXPECT_EQ(gOutDataBuffer, (Bytes{0x00, 0x64}));
  ReleaseOutputBuffer();

  gUseScrap = 1;
  WriteStdShort(-1);
  ASSERT_NE(gPrivateScrap, nullptr);
  EXPECT_EQ(gScrapIndex, 2u);
  EXPECT_EQ(gPrivateScrap[0], 0xFF);
  gScrapIndex = 0;
  int16_t back = 0;
  ReadStdShort(&back);
  EXPECT_EQ(back, -1);
  gUseScrap = 0;
  EXPECT_TRUE(gOutDataBuffer.empty());
}

class ByteStreamFileTest : public ByteStreamTest {
 protected:
  void SetUp() override {
    ByteStreamTest::SetUp();
    char tmpl[] = "/tmp/bytestreamXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    ByteStreamTest::TearDown();
    std::string cmd = "rm -rf '" + dir + "'";
    ASSERT_EQ(system(cmd.c_str()), 0);
  }
  size_t EntriesInDir() {
    std::string cmd = "ls -A '" + dir + "' | wc -l";
    FILE* p = popen(cmd.c_str(), "r");
    size_t n = 0;
    if (p) {
      if (fscanf(p, "%zu", &n) != 1) n = 0;
      pclose(p);
    }
    return n;
  }
  std::string dir;
};

TEST_F(ByteStreamFileTest, OutputIsWrittenWholeAndLoadsBack) {
  const std::string path = dir + "/plan.qcd";
  BeginOutputBuffer();
  WriteLong(11100);
  WriteShort(2);
  ASSERT_TRUE(WriteOutputFile(path.c_str()));
  ReleaseOutputBuffer();
  EXPECT_EQ(EntriesInDir(), 1u);  // no temporary left behind

  ASSERT_TRUE(LoadInputFile(path.c_str()));
  EXPECT_EQ(GetLength(), 6u);
  int32_t version = 0;
  int16_t platform = 0;
  ReadLong(&version);
  ReadShort(&platform);
  EXPECT_EQ(version, 11100);
  EXPECT_EQ(platform, 2);
  ReleaseInputBuffer();
  EXPECT_FALSE(gStream.hasInDataBuffer);

  EXPECT_FALSE(LoadInputFile((dir + "/missing").c_str()));
  EXPECT_FALSE(LoadInputFile(dir.c_str()));  // a folder is no file
  EXPECT_FALSE(gStream.hasInDataBuffer);
}

TEST_F(ByteStreamFileTest, AFailedWriteIsReportedAndKeepsTheOldFile) {
  const std::string path = dir + "/plan.qcd";
  BeginOutputBuffer();
  WriteLong(1);
  ASSERT_TRUE(WriteOutputFile(path.c_str()));

  BeginOutputBuffer();
  WriteLong(2);
  EXPECT_FALSE(WriteOutputFile((dir + "/no/such/folder/plan.qcd").c_str()));
  EXPECT_FALSE(WriteOutputFile(""));
  // Renaming over a folder fails: the folder stays and no temporary is left.
  ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0700), 0);
  EXPECT_FALSE(WriteOutputFile((dir + "/folder").c_str()));
  struct stat st;
  ASSERT_EQ(stat((dir + "/folder").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(EntriesInDir(), 2u);

  ASSERT_TRUE(LoadInputFile(path.c_str()));
  int32_t v = 0;
  ReadLong(&v);
  EXPECT_EQ(v, 1);
}

// A write handed to the file in pieces as it is made (the undo snapshot's) leaves the same
// file as the whole buffer written at once, over several pieces and with the last one short;
// a file that cannot be written is reported as WriteOutputFile reports it, the writer having
// run all the same, and leaves the old file and no temporary behind.
int gStreamedWrites = 0;
void WriteManyPieces() {
  ++gStreamedWrites;
  // Some 3.4 MB in records of 7 bytes: the pieces end amid a record.
  for (int32_t i = 0; i < 480000; ++i) {
    WriteLong(i);
    WriteShort(static_cast<int16_t>(i * 7));
    WriteSome("x", 1);
  }
}

TEST_F(ByteStreamFileTest, AStreamedWriteLeavesWhatTheWholeBufferWritten) {
  const std::string whole = dir + "/whole.qcd", streamed = dir + "/streamed.qcd";
  gStreamedWrites = 0;
  BeginOutputBuffer();
  WriteManyPieces();
  ASSERT_TRUE(WriteOutputFile(whole.c_str(), false));
  ReleaseOutputBuffer();
  ASSERT_TRUE(WriteOutputFileStreamed(streamed.c_str(), false, WriteManyPieces));
  EXPECT_EQ(gStreamedWrites, 2);
  EXPECT_FALSE(gStream.hasOutDataBuffer);
  EXPECT_EQ(gStream.outSpill, nullptr);
  EXPECT_EQ(EntriesInDir(), 2u);  // no temporary left behind
  std::vector<uint8_t> a, b;
  ASSERT_TRUE(ReadWholeFile(whole, a, size_t(1) << 30));
  ASSERT_TRUE(ReadWholeFile(streamed, b, size_t(1) << 30));
  EXPECT_EQ(a.size(), 480000u * 7);
  EXPECT_TRUE(a == b);

  // Over a folder, into a missing folder, to no path: refused, the writer run each time.
  ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0700), 0);
  EXPECT_FALSE(WriteOutputFileStreamed((dir + "/folder").c_str(), false, WriteManyPieces));
  EXPECT_TRUE(LastFileProblem().writing);
  EXPECT_FALSE(WriteOutputFileStreamed((dir + "/no/such/folder/plan.qcd").c_str(), false, WriteManyPieces));
  EXPECT_TRUE(LastFileProblem().writing);
  EXPECT_FALSE(WriteOutputFileStreamed("", false, WriteManyPieces));
  EXPECT_EQ(LastFileProblem().problem, FileProblem::kNotFound);
  EXPECT_EQ(gStreamedWrites, 5);
  EXPECT_EQ(gStream.outSpill, nullptr);
  EXPECT_EQ(EntriesInDir(), 3u);
  struct stat st;
  ASSERT_EQ(stat((dir + "/folder").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

}  // namespace
