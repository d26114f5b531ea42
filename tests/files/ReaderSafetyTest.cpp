// Every reader looks at a file's head before reading the rest; snapshots are never read
// through a planted link; a refused or unwritten file says why.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/CabinetFile.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/FileTestSupport.h"
#include "files/ObjectFile.h"
#include "files/PaletteFile.h"
#include "files/SymbolFile.h"
#include "files/TemplateFile.h"
#include "files/TopoGridFile.h"
#include "files/Undo.h"
#include "model/Palettes.h"
#include "platform/Alerts.h"
#include "platform/FileIO.h"
#include "platform/TemporaryFolder.h"

namespace fs = std::filesystem;

namespace {

class ReaderSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = getenv("XDG_RUNTIME_DIR")) savedRuntime = old;
    folder = fs::temp_directory_path() / ("casa-reader-" + std::to_string(getpid()));
    fs::create_directories(folder);
    chmod(folder.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    ResetByteStream();
  }
  void TearDown() override {
    ResetByteStream();
    std::error_code ec;
    fs::remove_all(folder, ec);
    if (savedRuntime.empty()) unsetenv("XDG_RUNTIME_DIR");
    else setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
  }
  std::string path(const char* name) const { return (folder / name).string(); }
  // A sparse file of zeros, `size` bytes long.
  std::string zeros(const char* name, off_t size) const {
    const std::string p = path(name);
    int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    return p;
  }

  fs::path folder;
  std::string savedRuntime;
  TestDocument doc;
};

}  // namespace

TEST_F(ReaderSafety, EveryReaderRefusesALargeFileOfZerosAfterItsHead) {
  ScopedAlertRecorder alerts;
  const std::string big = zeros("zeros.pro", off_t(3000) << 20);  // 3000 MB, sparse
  DocPaletteList* palette = AddNewDocPaletteList();
  ASSERT_NE(palette, nullptr);
  palette->active = 1;
  Objex symbol{};
  char topoPath[512] = {};
  std::snprintf(topoPath, sizeof topoPath, "%s", big.c_str());
  CabinetState* cabinet = nullptr;

  struct Reader {
    const char* name;
    std::function<int()> read;
  } readers[] = {
      {"design", [&] { return KeyFileRead(big.c_str()); }},
      {"template", [&] { return TemplateFileRead(big.c_str()); }},
      {"symbol", [&] { return Symbol2DFileRead(big.c_str(), &symbol); }},
      {"cabinet", [&] { return CabinetFileRead(big.c_str(), &cabinet); }},
      {"object file", [&] { return ObjectFileRead(big.c_str()); }},
      {"palette", [&] { return int(PaletteFileOpen(big.c_str(), palette->entries)); }},
      {"topography grid", [&] { return ReadTopoGridFile(topoPath); }},
      {"undo snapshot", [&] { return RestoreState(big.c_str()); }},
  };
  for (const Reader& reader : readers) {
    const uint64_t before = FileBytesReadSoFar();
    EXPECT_EQ(reader.read(), 0) << reader.name;
    EXPECT_LE(FileBytesReadSoFar() - before, kInputHeadBytes) << reader.name;
    EXPECT_EQ(LastFileProblem().problem, FileProblem::kNotThisKind) << reader.name;
    EXPECT_FALSE(gStream.hasInDataBuffer) << reader.name;
  }
  free(cabinet);
  EXPECT_EQ(symbol.firstChild, nullptr);
}

// A file of 2,000 MB that begins as a design does is refused as damaged once what its first
// records claim does not hold, by every reader of the design stream, before the rest is read.
TEST_F(ReaderSafety, AHugeFileWithADesignHeadIsRefusedByItsFirstRecords) {
  ScopedAlertRecorder alerts;
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  const std::string good = path("good.pro");
  ASSERT_EQ(KeyFileWrite(good.c_str()), 1);
  const Bytes design = ReadBytes(good);
  const uint32_t stream = 6 + 4 + kDocStateBlockLength;  // where the object stream begins
  const uint32_t afterLayer = stream + 264;               // a layer record is 264 bytes
  ASSERT_GT(design.size(), afterLayer + 2);
  ASSERT_EQ(design[stream + 1], kTagLayer);
  struct Case {
    const char* what;
    size_t kept;  // bytes of the design before the zeros
    uint32_t damagedAt;
  } cases[] = {
      {"a design header, then zeros", 6, stream},
      {"a header and the document state, then zeros", stream, stream},
      {"the first layer record too, then zeros", afterLayer, afterLayer},
  };
  Objex symbol{};
  for (const Case& c : cases) {
    const std::string big = path("big.pro");
    WriteBytes(big, Bytes(design.begin(), design.begin() + c.kept));
    ASSERT_EQ(truncate(big.c_str(), off_t(2000) << 20), 0);  // sparse
    struct Reader {
      const char* name;
      std::function<int()> read;
    } readers[] = {
        {"design", [&] { return KeyFileRead(big.c_str()); }},
        {"template", [&] { return TemplateFileRead(big.c_str()); }},
        {"symbol", [&] { return Symbol2DFileRead(big.c_str(), &symbol); }},
        {"undo snapshot", [&] { return RestoreState(big.c_str()); }},
    };
    for (const Reader& reader : readers) {
      const uint64_t before = FileBytesReadSoFar();
      EXPECT_EQ(reader.read(), 0) << c.what << ", " << reader.name;
      EXPECT_LE(FileBytesReadSoFar() - before, kInputClaimsBytes) << c.what << ", " << reader.name;
      EXPECT_EQ(LastFileProblem().problem, FileProblem::kDamaged) << c.what << ", " << reader.name;
      EXPECT_EQ(LastFileProblem().byte, c.damagedAt) << c.what << ", " << reader.name;
      EXPECT_FALSE(gStream.hasInDataBuffer) << c.what << ", " << reader.name;
    }
  }
  EXPECT_EQ(symbol.firstChild, nullptr);

  // A short file that ends inside the document state is damaged where it ends.
  const std::string cut = path("cut.pro");
  WriteBytes(cut, Bytes(design.begin(), design.begin() + 1000));
  EXPECT_EQ(KeyFileRead(cut.c_str()), 0);
  EXPECT_EQ(LastFileProblem().problem, FileProblem::kDamaged);
  EXPECT_EQ(LastFileProblem().byte, 1000u);
  // The whole design still reads.
  EXPECT_EQ(KeyFileRead(good.c_str()), 1);
}

TEST_F(ReaderSafety, RefusedDesignsSayWhy) {
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  const std::string good = path("good.pro");
  ASSERT_EQ(KeyFileWrite(good.c_str()), 1);
  Bytes bytes = ReadBytes(good);

  EXPECT_EQ(KeyFileRead(path("missing.pro").c_str()), 0);
  EXPECT_EQ(FileProblemText(LastFileProblem()), "The file could not be found.");

  Bytes newer = bytes;
  newer[2] = 0x2B, newer[3] = 0xC0;  // 11200
  WriteBytes(path("newer.pro"), newer);
  EXPECT_EQ(KeyFileRead(path("newer.pro").c_str()), 0);
  EXPECT_EQ(FileProblemText(LastFileProblem()), "The file was made by a version that is not supported.");

  WriteBytes(path("picture.pro"), Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'});
  EXPECT_EQ(KeyFileRead(path("picture.pro").c_str()), 0);
  EXPECT_EQ(FileProblemText(LastFileProblem()), "The file is not a design.");

  Bytes cut(bytes.begin(), bytes.begin() + 300);
  WriteBytes(path("cut.pro"), cut);
  EXPECT_EQ(KeyFileRead(path("cut.pro").c_str()), 0);
  const FileProblemReport damaged = LastFileProblem();
  EXPECT_EQ(damaged.problem, FileProblem::kDamaged);
  EXPECT_LE(damaged.byte, 300u);
  EXPECT_EQ(FileProblemText(damaged), "The file is damaged at byte " + std::to_string(damaged.byte) + ".");

  EXPECT_EQ(KeyFileRead(good.c_str()), 1);
  ASSERT_EQ(chmod(good.c_str(), 0444), 0);
  EXPECT_EQ(KeyFileWrite(good.c_str()), 0);  // write-protected: kept, not replaced
  EXPECT_EQ(FileProblemText(LastFileProblem()), "The file is read-only.");
  EXPECT_EQ(ReadBytes(good), bytes);
}

TEST_F(ReaderSafety, UndoRestoreNeverFollowsAPlantedLink) {
  ScopedAlertRecorder alerts;
  doc.model.itsDocID = 5151;
  InitializeUndo();
  doc.addObject(kObjLine, false, {{0, 0}, {10, 0}});
  StoreUndo("Line");
  // Someone replaces snapshot 1 by a link to a design of their choosing.
  const std::string planted = path("planted.pro");
  doc.addObject(kObjLine, false, {{0, 5}, {10, 5}});
  ASSERT_EQ(KeyFileWrite(planted.c_str()), 1);
  ASSERT_TRUE(fs::remove(UndoStatePath(1)));
  ASSERT_EQ(symlink(planted.c_str(), UndoStatePath(1).c_str()), 0);
  EXPECT_EQ(RestoreState(UndoStatePath(1).c_str()), 0);
  EXPECT_EQ(CountObjects(doc.first), 2u);
  EXPECT_EQ(RestoreState(UndoStatePath(2).c_str()), 1);  // a snapshot of ours is restored
}
