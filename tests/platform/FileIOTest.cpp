// The private temporary folder, no-follow opens, the atomic writer and the reader.
#include <gtest/gtest.h>

#include <cstring>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileIO.h"
#include "platform/Session.h"
#include "platform/TemporaryFolder.h"
#include "ScratchFolder.h"

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st{};
  ::lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}

std::string Contents(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return "<unreadable>";
  return std::string(bytes.begin(), bytes.end());
}

size_t EntryCount(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, hadOld_ = true;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (hadOld_) ::setenv(name_, old_.c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::string old_;
  bool hadOld_ = false;
};

TEST(TemporaryFolder, LiesInTheRuntimeFolderOrIsNamedForTheUser) {
  {
    ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/1000//");
    EXPECT_EQ(ApplicationTemporaryPath(), "/run/user/1000/com.zelkoworks.casavelt");
  }
  ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
  ScopedEnv tmp("TMPDIR", "/var/tmp//");
  EXPECT_EQ(ApplicationTemporaryPath(),
            "/var/tmp/com.zelkoworks.casavelt-" + std::to_string(unsigned(::getuid())));
  EXPECT_EQ(SessionID(), int32_t(::getuid()));
}

TEST(TemporaryFolder, CreatedPrivateAndRefusedWhenNotOurs) {
  ScratchFolder folder;
  ScopedEnv runtime("XDG_RUNTIME_DIR", folder.path().c_str());
  ASSERT_TRUE(CreateApplicationTemporaryFolder());
  std::string path = ApplicationTemporaryPath();
  EXPECT_EQ(ModeOf(path), 0700u);
  EXPECT_TRUE(CreateApplicationTemporaryFolder());  // already there

  std::string loose = folder.file("loose");
  ::mkdir(loose.c_str(), 0700);
  ::chmod(loose.c_str(), 0755);
  EXPECT_TRUE(CreatePrivateFolder(loose));
  EXPECT_EQ(ModeOf(loose), 0700u);

  for (mode_t writable : {0777, 0770, 0702}) {  // others or the group may write in it
    std::string open = folder.file("open" + std::to_string(writable));
    ::mkdir(open.c_str(), 0700);
    ::chmod(open.c_str(), writable);
    EXPECT_FALSE(CreatePrivateFolder(open)) << std::oct << writable;
    EXPECT_EQ(ModeOf(open), writable);
  }

  std::string link = folder.file("link");
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
  EXPECT_FALSE(CreatePrivateFolder(link));

  std::string file = folder.write("file", "x");
  EXPECT_FALSE(CreatePrivateFolder(file));

  if (::geteuid() == 0) {  // only root can hand a folder to someone else
    std::string foreign = folder.file("foreign");
    ::mkdir(foreign.c_str(), 0700);
    ASSERT_EQ(::chown(foreign.c_str(), 12345, 12345), 0);
    EXPECT_FALSE(CreatePrivateFolder(foreign));
  }
}

TEST(TemporaryFolder, FreeBytesAreToldOnlyForAFolderThatIsThere) {
  ScratchFolder folder;
  EXPECT_GT(FreeBytesInFolder(folder.path()), 0);
  EXPECT_EQ(FreeBytesInFolder(folder.file("missing")), -1);
  EXPECT_EQ(FreeBytesInFolder(""), -1);
}

TEST(NoFollowOpen, RefusesSymbolicLinks) {
  ScratchFolder folder;
  std::string target = folder.write("target", "secret");
  std::string link = folder.file("link");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  EXPECT_EQ(FOpenNoFollow(link, "wb"), nullptr);
  EXPECT_EQ(OpenNoFollow(link, O_RDONLY), -1);
  EXPECT_EQ(Contents(target), "secret");

  std::string fresh = folder.file("fresh");
  FILE* f = FOpenNoFollow(fresh, "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("data", f);
  std::fclose(f);
  EXPECT_EQ(ModeOf(fresh), 0600u);
  EXPECT_EQ(Contents(fresh), "data");
  EXPECT_EQ(FOpenNoFollow(fresh, "x"), nullptr);
}

// Each mode opens as fopen's would: what a write through it leaves in the file, read back.
TEST(NoFollowOpen, EachModeReadsWritesTruncatesOrAppendsAsFopen) {
  ScratchFolder folder;
  struct Case {
    const char* mode;
    const char* after;  // the file after writing "new" through it; null when it does not open
    const char* fresh;  // the same for a file that did not exist
  } cases[] = {
      {"r", "old contents", nullptr},        {"rb", "old contents", nullptr},
      {"r+", "new contents", nullptr},       {"r+b", "new contents", nullptr},
      {"w", "new", "new"},                   {"wb+", "new", "new"},
      {"a", "old contentsnew", "new"},       {"a+", "old contentsnew", "new"},
  };
  for (const Case& c : cases) {
    for (bool exists : {true, false}) {
      SCOPED_TRACE(std::string(c.mode) + (exists ? " over a file" : " without one"));
      const std::string path = folder.file(std::string("f") + (exists ? "1" : "0") + c.mode);
      if (exists) folder.write(path.substr(folder.path().size() + 1), "old contents");
      FILE* f = FOpenNoFollow(path, c.mode);
      const char* expected = exists ? c.after : c.fresh;
      ASSERT_EQ(f != nullptr, expected != nullptr);
      if (!f) continue;
      std::fputs("new", f);
      std::fclose(f);
      EXPECT_EQ(Contents(path), expected);
      if (!exists) EXPECT_EQ(ModeOf(path), 0600u);
    }
  }
}

TEST(AtomicWrite, ReplacesAndKeepsPermissions) {
  ScratchFolder folder;
  std::string path = folder.write("design", "old");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, std::vector<uint8_t>{'n', 'e', 'w'}));
  EXPECT_EQ(Contents(path), "new");
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(EntryCount(folder.path()), 1u);
  for (mode_t mode : {0604, 0660, 0620, 01644}) {  // each class's bits, and the ones above them
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "newer", 5));
    EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
  }
  EXPECT_EQ(Contents(path), "newer");
  EXPECT_TRUE(WriteFileAtomically(folder.file("empty"), nullptr, 0));
  EXPECT_EQ(Contents(folder.file("empty")), "");
}

TEST(AtomicWrite, AScratchWriteWithoutFlushStillReplacesWhole) {
  ScratchFolder folder;
  std::string path = folder.write("snapshot", "old contents");
  ::chmod(path.c_str(), 0600);
  ASSERT_TRUE(WriteFileAtomically(path, "new", 3, /*durable=*/false));
  EXPECT_EQ(Contents(path), "new");
  EXPECT_EQ(ModeOf(path), 0600u);
  EXPECT_EQ(EntryCount(folder.path()), 1u);  // no temporary file left beside it
  EXPECT_FALSE(WriteFileAtomically(folder.file("missing/snapshot"), "x", 1, false));
  EXPECT_EQ(Contents(path), "new");
}

TEST(AtomicWrite, FailureKeepsTheOldFile) {
  ScratchFolder folder;
  std::string path = folder.write("design", "old");
  EXPECT_FALSE(WriteFileAtomically(folder.file("missing/design"), "x", 1));

  // A write that fails half way (file size limit): the old file stays, no temp is left.
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved;
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::vector<uint8_t> big(4096, 'z');
  bool written = WriteFileAtomically(path, big);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_EQ(LastFileFailure(), FileFailure::kTooLarge);
  EXPECT_EQ(Contents(path), "old");
  EXPECT_EQ(EntryCount(folder.path()), 1u);

  if (::geteuid() != 0) {  // root writes anywhere
    ::chmod(folder.path().c_str(), 0500);
    EXPECT_FALSE(WriteFileAtomically(path, "new", 3));
    ::chmod(folder.path().c_str(), 0700);
    EXPECT_EQ(Contents(path), "old");
  }
}

// The write in pieces: the pieces make the file, which keeps its permissions; a write that
// fails half way, or one abandoned before its commit, leaves the old file and no temporary.
TEST(AtomicWrite, PiecesReplaceWholeAndAFailedOrAbandonedWriteLeavesTheOldFile) {
  ScratchFolder folder;
  std::string path = folder.write("snapshot", "old");
  ::chmod(path.c_str(), 0640);
  {
    AtomicFileWrite write;
    ASSERT_TRUE(write.begin(path, /*durable=*/false));
    write.append("ne", 2);
    write.append(nullptr, 0);
    write.append("w", 1);
    EXPECT_EQ(Contents(path), "old");  // nothing replaced before the commit
    ASSERT_TRUE(write.commit());
    EXPECT_FALSE(write.commit());  // once
  }
  EXPECT_EQ(Contents(path), "new");
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(EntryCount(folder.path()), 1u);
  {
    AtomicFileWrite write;
    ASSERT_TRUE(write.begin(path, false));
    write.append("abandoned", 9);
  }
  EXPECT_EQ(Contents(path), "new");
  EXPECT_EQ(EntryCount(folder.path()), 1u);
  AtomicFileWrite missing;
  EXPECT_FALSE(missing.begin(folder.file("missing/snapshot"), false));
  EXPECT_EQ(LastFileFailure(), FileFailure::kNotFound);

  // Past the file size limit in the second piece: the commit fails, the old file stays.
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved;
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 16;
  AtomicFileWrite write;
  ASSERT_TRUE(write.begin(path, false));
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  write.append("0123456789", 10);
  std::vector<uint8_t> big(4096, 'z');
  write.append(big.data(), big.size());
  write.append("after", 5);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(write.commit());
  EXPECT_EQ(LastFileFailure(), FileFailure::kTooLarge);
  EXPECT_EQ(Contents(path), "new");
  EXPECT_EQ(EntryCount(folder.path()), 1u);
}

// Two saves of one file under way at once: each commits whole, the last one stays, and neither
// leaves its temporary file; one abandoned while the other commits leaves no trace either.
TEST(AtomicWrite, TwoWritersOfOneFileEachReplaceItWhole) {
  ScratchFolder folder;
  const std::string path = folder.write("design", "old");
  AtomicFileWrite first, second;
  ASSERT_TRUE(first.begin(path, false));
  ASSERT_TRUE(second.begin(path, false));
  first.append("first", 5);
  second.append("second", 6);
  EXPECT_EQ(EntryCount(folder.path()), 3u);
  ASSERT_TRUE(second.commit());
  EXPECT_EQ(Contents(path), "second");
  first.append(" writer", 7);
  ASSERT_TRUE(first.commit());
  EXPECT_EQ(Contents(path), "first writer");
  EXPECT_EQ(EntryCount(folder.path()), 1u);

  ASSERT_TRUE(first.begin(path, false));
  ASSERT_TRUE(second.begin(path, false));
  second.append("kept", 4);
  first.append("dropped", 7);
  first.abandon();
  ASSERT_TRUE(second.commit());
  EXPECT_EQ(Contents(path), "kept");
  EXPECT_EQ(EntryCount(folder.path()), 1u);
}

// File names up to the longest a folder holds are saved; their temporary files are named
// from the first 200 characters, so that they fit as well.
TEST(AtomicWrite, TheLongestNamesAreSavedWithoutLeftovers) {
  ScratchFolder folder;
  for (size_t length : {199u, 200u, 201u, 255u}) {
    const std::string path = folder.file(std::string(length, 'n'));
    ASSERT_TRUE(WriteFileAtomically(path, "saved", 5)) << length;
    EXPECT_EQ(Contents(path), "saved");
    ASSERT_TRUE(WriteFileAtomically(path, "again", 5)) << length;
    EXPECT_EQ(Contents(path), "again");
  }
  EXPECT_EQ(EntryCount(folder.path()), 4u);
}

TEST(ReadWholeFile, OnlyRegularFilesWithinTheLimit) {
  ScratchFolder folder;
  std::vector<uint8_t> bytes;
  std::string path = folder.write("f", std::string("a\0b", 3));
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 0, 'b'}));
  EXPECT_FALSE(ReadWholeFile(path, bytes, 2));
  EXPECT_TRUE(bytes.empty());
  EXPECT_TRUE(ReadWholeFile(path, bytes, 3));  // exactly the limit
  EXPECT_EQ(bytes.size(), 3u);
  EXPECT_FALSE(ReadWholeFile(folder.file("missing"), bytes));
  EXPECT_FALSE(ReadWholeFile(folder.path(), bytes));
  std::string fifo = folder.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(fifo, bytes));  // and does not block
}

TEST(ReadWholeFile, AFileOfManyBlocksComesWholeAfterItsHead) {
  ScratchFolder folder;
  std::string text(300007, '\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = char(i * 7 + i / 251);
  std::string path = folder.write("big", text);
  std::vector<uint8_t> bytes{1, 2, 3};  // what the buffer held before is replaced
  ASSERT_TRUE(ReadFileAfterHead(path, bytes, 16, nullptr, size_t(1) << 20));
  ASSERT_EQ(bytes.size(), text.size());
  EXPECT_EQ(0, std::memcmp(bytes.data(), text.data(), text.size()));
  EXPECT_FALSE(ReadFileAfterHead(path, bytes, 16, nullptr, text.size() - 1));
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
