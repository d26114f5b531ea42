// Undo snapshots (and the temporary files of their writes) that crashed runs left in the
// temporary folder: removed at start-up unless a running copy owns their document id; ids owned
// elsewhere are never drawn.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/DocumentModel.h"
#include "platform/FileIO.h"
#include "platform/Session.h"
#include "platform/TemporaryFolder.h"

namespace fs = std::filesystem;

namespace {

class UndoLeftovers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = getenv("XDG_RUNTIME_DIR")) saved = old;
    runtime = "/tmp/casa-leftovers-" + std::to_string(getpid());
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ASSERT_TRUE(CreateApplicationTemporaryFolder());
  }
  void TearDown() override {
    SetDocumentIDSource({});
    std::error_code ec;
    fs::remove_all(runtime, ec);
    if (saved.empty()) unsetenv("XDG_RUNTIME_DIR");
    else setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  }
  std::string snapshot(int32_t id, int slot) {
    std::string p = ApplicationTemporaryPath() + "/" + UndoFilePrefixFor(id) + "_" + std::to_string(slot) + ".dat";
    std::ofstream(p) << "snapshot";
    return p;
  }
  std::string runtime, saved;
};

}  // namespace

TEST_F(UndoLeftovers, StartUpRemovesOnlyWhatNoRunningCopyOwns) {
  // A run that crashed: its snapshots and the lock file it held, now free.
  const std::string crashed1 = snapshot(31, 1), crashed2 = snapshot(31, 2);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(HoldOwnershipLock(UndoLockPathFor(31)) >= 0 ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // Snapshots without any lock file (a run that died before it took one).
  const std::string orphan = snapshot(44, 7);
  // Another running copy holds document 55.
  int other = HoldOwnershipLock(UndoLockPathFor(55));
  ASSERT_GE(other, 0);
  const std::string running = snapshot(55, 3);
  // A document of this copy.
  SetDocumentIDSource([] { return 66u; });
  ZLKDocumentModel* mine = ZLKDocumentModel::alloc();
  ASSERT_EQ(mine->itsDocID, 66);
  const std::string own = snapshot(66, 1);
  const std::string unrelated = ApplicationTemporaryPath() + "/exchange.txt";
  std::ofstream(unrelated) << "not a snapshot";

  EXPECT_EQ(RemoveAbandonedUndoFiles(), 4);  // two snapshots and the lock of 31, the orphan
  EXPECT_FALSE(fs::exists(crashed1));
  EXPECT_FALSE(fs::exists(crashed2));
  EXPECT_FALSE(fs::exists(UndoLockPathFor(31)));
  EXPECT_FALSE(fs::exists(orphan));
  EXPECT_TRUE(fs::exists(running));
  EXPECT_TRUE(fs::exists(own));
  EXPECT_TRUE(fs::exists(UndoLockPathFor(66)));
  EXPECT_TRUE(fs::exists(unrelated));

  // The same ownership test keeps ids of running copies from being drawn.
  EXPECT_TRUE(UndoFilesOwnedByRunningCopy(55));
  EXPECT_TRUE(UndoFilesOwnedByRunningCopy(66));
  EXPECT_FALSE(UndoFilesOwnedByRunningCopy(31));
  int calls = 0;
  SetDocumentIDSource([&calls] { return ++calls == 1 ? 55u : 31u; });
  EXPECT_EQ(DrawDocumentID(), 31);

  ZLKDocumentModel::release(mine);
  EXPECT_FALSE(fs::exists(own));
  EXPECT_FALSE(fs::exists(UndoLockPathFor(66)));
  DropOwnershipLock(other, UndoLockPathFor(55));
  EXPECT_EQ(RemoveAbandonedUndoFiles(), 1);
  EXPECT_FALSE(fs::exists(running));
}

// The temporary files of snapshot writes that never ended go with the other leftovers of their
// document; nothing else that looks like them does.
TEST_F(UndoLeftovers, StartUpRemovesTheTemporaryFilesOfSnapshotWritesWhoseOwnerIsGone) {
  const std::string folder = ApplicationTemporaryPath() + "/";
  auto temporary = [&](int32_t id, const std::string& slot, const std::string& random) {
    return "." + UndoFilePrefixFor(id) + "_" + slot + ".dat." + random + ".tmp";
  };
  int live = HoldOwnershipLock(UndoLockPathFor(55));
  ASSERT_GE(live, 0);
  const std::string otherSession =
      ".com.zelkoworks.casavelt_1100_" + std::to_string(SessionID() + 1) + "_31_1.dat.abcd1234.tmp";
  const struct {
    std::string name;
    bool removed;
  } files[] = {
      {temporary(31, "1", "abcd1234"), true},
      {temporary(31, "25", "0z9y8x7w"), true},
      {temporary(31, "25", "zzzzzzzz"), true},  // two writes of one slot
      {temporary(44, "500", "k2m4p6r8"), true},
      {temporary(55, "3", "abcd1234"), false},  // its owner runs
      {temporary(31, "1", "ABCD1234"), false},  // not a random part the writer makes
      {temporary(31, "1", "abcd123"), false},
      {temporary(31, "1", "abcd12345"), false},
      {temporary(31, "x", "abcd1234"), false},
      {temporary(31, "", "abcd1234"), false},
      {"." + UndoFilePrefixFor(31) + ".lock.abcd1234.tmp", false},
      {UndoFilePrefixFor(31) + "_1.dat.abcd1234.tmp", false},  // no leading dot
      {"." + UndoFilePrefixFor(31) + "_1.dat.abcd1234.tmp.old", false},
      {otherSession, false},
      {".exchange.dat.abcd1234.tmp", false},
  };
  for (const auto& f : files) std::ofstream(folder + f.name) << "part of a snapshot";
  // A write of a gone owner's slot that some running copy still holds, and a link.
  const std::string held = folder + temporary(31, "2", "heldheld");
  std::ofstream(held) << "being written";
  const int heldFd = open(held.c_str(), O_RDONLY);
  ASSERT_GE(heldFd, 0);
  ASSERT_EQ(flock(heldFd, LOCK_EX), 0);
  const std::string target = runtime + "/elsewhere.txt";
  std::ofstream(target) << "not ours to remove";
  const std::string link = folder + temporary(31, "3", "linklink");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

  EXPECT_EQ(RemoveAbandonedUndoFiles(), 4);
  for (const auto& f : files) EXPECT_EQ(fs::exists(folder + f.name), !f.removed) << f.name;
  EXPECT_TRUE(fs::exists(held));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::exists(target));

  close(heldFd);
  DropOwnershipLock(live, UndoLockPathFor(55));
  EXPECT_EQ(RemoveAbandonedUndoFiles(), 2);  // the held write's file, and the one of 55
  EXPECT_FALSE(fs::exists(held));
  EXPECT_FALSE(fs::exists(folder + temporary(55, "3", "abcd1234")));
  EXPECT_TRUE(fs::is_symlink(link));
}
