// Reading only what a reader needs, refusing write-protected targets and links, and the
// leftovers of crashed runs that no running copy owns.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/FileIO.h"
#include "ScratchFolder.h"

namespace {

HeadAnswer HeadIsAbc(const uint8_t* head, size_t size, uint64_t, size_t*) {
  return size >= 3 && head[0] == 'a' && head[1] == 'b' && head[2] == 'c' ? HeadAnswer::kAccept
                                                                         : HeadAnswer::kRefuse;
}

// A head that names, in its first byte, how many of the file's bytes follow it: the check looks
// at that claim against the file's size first, then at the byte it points to ('!' accepts).
HeadAnswer ClaimedLengthFits(const uint8_t* head, size_t size, uint64_t fileSize, size_t* wanted) {
  if (size < 1) return HeadAnswer::kRefuse;
  const size_t claimed = head[0];
  if (1 + claimed > fileSize) return HeadAnswer::kRefuse;
  if (size < 1 + claimed) {
    *wanted = 1 + claimed;
    return HeadAnswer::kMore;
  }
  return head[claimed] == '!' ? HeadAnswer::kAccept : HeadAnswer::kRefuse;
}

// A sparse file of `size` zero bytes.
std::string ZeroFile(const ScratchFolder& folder, const char* name, off_t size) {
  std::string path = folder.file(name);
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
  return path;
}

std::string Contents(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return "<unreadable>";
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ReadFileAfterHead, AFileOfTheWrongKindCostsOnlyItsHead) {
  ScratchFolder folder;
  const std::string big = ZeroFile(folder, "zeros.pro", off_t(1) << 30);  // 1 GB, sparse
  std::vector<uint8_t> bytes{1, 2, 3};
  const uint64_t before = FileBytesReadSoFar();
  EXPECT_FALSE(ReadFileAfterHead(big, bytes, 16, HeadIsAbc, size_t(UINT32_MAX) - 1));
  EXPECT_LE(FileBytesReadSoFar() - before, 16u);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(LastFileFailure(), FileFailure::kRefusedHeader);

  // A file that passes is read whole; a short one gives the head it has.
  const std::string good = folder.write("good", "abcdefghijklmnopqrstuvwxyz");
  ASSERT_TRUE(ReadFileAfterHead(good, bytes, 16, HeadIsAbc, 100));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abcdefghijklmnopqrstuvwxyz");
  const std::string shortFile = folder.write("short", "ab");
  EXPECT_FALSE(ReadFileAfterHead(shortFile, bytes, 16, HeadIsAbc, 100));
  EXPECT_FALSE(ReadFileAfterHead(folder.file("missing"), bytes, 16, HeadIsAbc, 100));
  EXPECT_EQ(LastFileFailure(), FileFailure::kNotFound);
  EXPECT_FALSE(ReadFileAfterHead(good, bytes, 16, HeadIsAbc, 10));
  EXPECT_EQ(LastFileFailure(), FileFailure::kTooLarge);
}

// A check may look further than the head before it decides; a claim the file's size cannot
// hold is refused with no more read than the head.
TEST(ReadFileAfterHead, AHeadCheckMayAskForMoreOfTheFile) {
  ScratchFolder folder;
  std::vector<uint8_t> bytes;
  const std::string far = folder.write("far", std::string(1, char(40)) + std::string(39, 'x') + "!tail");
  ASSERT_TRUE(ReadFileAfterHead(far, bytes, 4, ClaimedLengthFits, 100));
  EXPECT_EQ(bytes.size(), 45u);
  EXPECT_EQ(bytes.back(), 'l');
  struct Case {
    const char* what;
    std::string contents;
    bool read;
  } cases[] = {
      {"the claimed byte says no", std::string(1, char(40)) + std::string(40, 'x') + "tail", false},
      {"the claim ends with the file", std::string(1, char(5)) + "xxxx!", true},
      {"the claim runs past the file", std::string(1, char(200)) + "xxxx!", false},
  };
  for (const Case& c : cases) {
    const std::string path = folder.write("case", c.contents);
    EXPECT_EQ(ReadFileAfterHead(path, bytes, 4, ClaimedLengthFits, 1000), c.read) << c.what;
    EXPECT_EQ(bytes.size(), c.read ? c.contents.size() : 0u) << c.what;
  }

  // A large file whose head claims more than it holds costs its head only.
  const std::string big = ZeroFile(folder, "big", off_t(1) << 30);
  {
    int fd = ::open(big.c_str(), O_WRONLY);
    const unsigned char claim = 255;
    ASSERT_EQ(::pwrite(fd, &claim, 1, 0), 1);
    ::close(fd);
  }
  const uint64_t before = FileBytesReadSoFar();
  EXPECT_FALSE(ReadFileAfterHead(big, bytes, 4, ClaimedLengthFits, size_t(UINT32_MAX) - 1));
  EXPECT_LE(FileBytesReadSoFar() - before, 256u);
  EXPECT_EQ(LastFileFailure(), FileFailure::kRefusedHeader);
}

namespace {
size_t sWanted = 0;
// Asks for the first sWanted bytes before it accepts.
HeadAnswer WantsBytes(const uint8_t*, size_t size, uint64_t, size_t* wanted) {
  if (size >= sWanted) return HeadAnswer::kAccept;
  *wanted = sWanted;
  return HeadAnswer::kMore;
}
}  // namespace

// A check may look at up to kMaxHeadBytes before it decides, and not one byte more.
TEST(ReadFileAfterHead, AHeadCheckSeesAtMostTheLongestHead) {
  ScratchFolder folder;
  const std::string path = ZeroFile(folder, "long", off_t(kMaxHeadBytes) + 10);
  std::vector<uint8_t> bytes;
  sWanted = kMaxHeadBytes;
  EXPECT_TRUE(ReadFileAfterHead(path, bytes, 16, WantsBytes, kMaxHeadBytes * 2));
  EXPECT_EQ(bytes.size(), kMaxHeadBytes + 10);
  sWanted = kMaxHeadBytes + 1;
  EXPECT_FALSE(ReadFileAfterHead(path, bytes, 16, WantsBytes, kMaxHeadBytes * 2));
  EXPECT_EQ(LastFileFailure(), FileFailure::kRefusedHeader);
  EXPECT_TRUE(bytes.empty());
}

TEST(ReadFileAfterHead, PrivateFilesAreNeverReadThroughALink) {
  ScratchFolder folder;
  const std::string target = folder.write("target", "abc");
  const std::string link = folder.file("link");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  std::vector<uint8_t> bytes;
  FileReadRules rules;
  rules.followLinks = false;
  rules.mustBeOwnedByUser = true;
  EXPECT_FALSE(ReadFileAfterHead(link, bytes, 16, nullptr, 100, rules));
  EXPECT_TRUE(bytes.empty());
  EXPECT_TRUE(ReadFileAfterHead(target, bytes, 16, nullptr, 100, rules));
  EXPECT_TRUE(ReadFileAfterHead(link, bytes, 16, nullptr, 100));  // ordinary reads follow links
  EXPECT_FALSE(ReadFileAfterHead(folder.path(), bytes, 16, nullptr, 100, rules));
  EXPECT_EQ(LastFileFailure(), FileFailure::kNotAFile);
  if (::geteuid() == 0) {  // only root can hand a file to someone else
    ASSERT_EQ(::chown(target.c_str(), 12345, 12345), 0);
    EXPECT_FALSE(ReadFileAfterHead(target, bytes, 16, nullptr, 100, rules));
    EXPECT_EQ(LastFileFailure(), FileFailure::kPermissionDenied);
    EXPECT_TRUE(bytes.empty());
    rules.mustBeOwnedByUser = false;
    EXPECT_TRUE(ReadFileAfterHead(target, bytes, 16, nullptr, 100, rules));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abc");
  }
}

TEST(WriteFileAtomically, AWriteProtectedFileIsRefusedNotReplaced) {
  ScratchFolder folder;
  const std::string path = folder.write("kept.pro", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(WriteFileAtomically(path, "new", 3));
  EXPECT_EQ(LastFileFailure(), FileFailure::kReadOnlyFile);
  EXPECT_EQ(Contents(path), "old");
  struct stat st{};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);

  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  EXPECT_TRUE(WriteFileAtomically(path, "new", 3));
  EXPECT_EQ(LastFileFailure(), FileFailure::kNone);
  EXPECT_EQ(Contents(path), "new");

  EXPECT_FALSE(WriteFileAtomically(folder.path(), "x", 1));  // a folder
  EXPECT_EQ(LastFileFailure(), FileFailure::kNotAFile);
  EXPECT_FALSE(WriteFileAtomically(folder.file("no/such/x.pro"), "x", 1));
  EXPECT_EQ(LastFileFailure(), FileFailure::kNotFound);
}

TEST(WriteFileAtomically, RemovesTheTemporaryFilesOfCrashedSavesOfThatTarget) {
  ScratchFolder folder;
  const std::string target = folder.write("plan.pro", "old");
  const std::string crashed = folder.write(".plan.pro.a1b2c3d4.tmp", "half a design");
  const std::string running = folder.write(".plan.pro.zz99zz99.tmp", "being written");
  const std::string other = folder.write(".house.pro.a1b2c3d4.tmp", "another target's");
  const std::string notOurs = folder.write(".plan.pro.A1B2C3D4.tmp", "not our name");
  // Seven and nine digits, and the leftovers of targets whose names share a prefix with it.
  const std::string kept[] = {folder.write(".plan.pro.a1b2c3d.tmp", "7"), folder.write(".plan.pro.a1b2c3d4e.tmp", "9"),
                              folder.write(".plan.pro2.a1b2c3d4.tmp", "longer"),
                              folder.write(".plan.pr.a1b2c3d4.tmp", "shorter")};
  // Someone else's file of our name is not ours to remove.
  const std::string foreign = folder.write(".plan.pro.f0f0f0f0.tmp", "another user's");
  const bool root = ::geteuid() == 0;
  if (root) ASSERT_EQ(::chown(foreign.c_str(), 12345, 12345), 0);
  // A save under way in another copy holds its temporary file locked.
  int held = ::open(running.c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);

  ASSERT_TRUE(WriteFileAtomically(target, "new", 3));
  EXPECT_FALSE(std::filesystem::exists(crashed));
  EXPECT_TRUE(std::filesystem::exists(running));
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_TRUE(std::filesystem::exists(notOurs));
  for (const std::string& k : kept) EXPECT_TRUE(std::filesystem::exists(k)) << k;
  EXPECT_EQ(std::filesystem::exists(foreign), root);
  EXPECT_EQ(Contents(target), "new");
  ::close(held);
  // Leftovers come only from earlier runs: later saves of the target in this run leave the folder be.
  ASSERT_TRUE(WriteFileAtomically(target, "newer", 5));
  EXPECT_TRUE(std::filesystem::exists(running));
  EXPECT_EQ(RemoveAbandonedSaveFiles(target), 1);  // its save ended without tidying
  EXPECT_FALSE(std::filesystem::exists(running));
  for (const std::string& k : kept) EXPECT_TRUE(std::filesystem::exists(k)) << k;
}

TEST(OwnershipLock, HeldWhileTheOwnerRunsAndFreeOnceItDied) {
  ScratchFolder folder;
  const std::string lock = folder.file("doc.lock");
  EXPECT_FALSE(IsHeldByRunningCopy(lock));  // no file
  int fd = HoldOwnershipLock(lock);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(IsHeldByRunningCopy(lock));
  EXPECT_LT(HoldOwnershipLock(lock), 0);  // one owner at a time
  DropOwnershipLock(fd, lock);
  EXPECT_FALSE(std::filesystem::exists(lock));

  // A copy that dies holding the lock leaves the file behind, owned by nobody.
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(HoldOwnershipLock(lock) >= 0 ? 0 : 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(std::filesystem::exists(lock));
  EXPECT_FALSE(IsHeldByRunningCopy(lock));
  const std::string link = folder.file("link.lock");
  ASSERT_EQ(::symlink(lock.c_str(), link.c_str()), 0);
  EXPECT_LT(HoldOwnershipLock(link), 0);  // never through a link
  // Nor on a FIFO, nor on someone else's file, though either could be locked.
  const std::string fifo = folder.file("fifo.lock");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_LT(HoldOwnershipLock(fifo), 0);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(lock.c_str(), 12345, 12345), 0);
    EXPECT_LT(HoldOwnershipLock(lock), 0);
  }
}
