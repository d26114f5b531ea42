// Plug-in descriptors: which files are found, the version keys, untrusted paths and ids,
// validity, and the look-ups of the list.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

#include "AllocationWatch.h"
#include "app/AddkitDispatcher.h"
#include "app/AddkitEntry.h"
#include "model/DocumentModel.h"
#include "model/LiveViews.h"

namespace {

class AddkitDescriptors : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    root = folder.path().toStdString();
    QImage preview(8, 8, QImage::Format_RGB32);
    preview.fill(Qt::green);
    std::filesystem::create_directories(root + "/Walker");
    ASSERT_TRUE(preview.save(QString::fromStdString(root + "/Walker/preview.png")));
  }
  // A descriptor named `name` with the usual keys, `extra` lines replacing or adding keys.
  void Descriptor(const std::string& name, const std::string& extra, bool usual = true) {
    std::ofstream out(root + "/" + name);
    out << "[Description]\n" << extra;
    if (!usual) return;
    // The usual keys that `extra` does not give.
    for (const char* line : {"Directory=Walker\n", "PlugIn=walker\n", "Image=preview.png\n",
                             "DisplayName=Walker\n", "AppleAppID=com.example.walker\n", "Type=1\n"}) {
      const std::string key = std::string(line).substr(0, std::string(line).find('=') + 1);
      if (extra.find(key) == std::string::npos) out << line;
    }
  }
  QTemporaryDir folder;
  std::string root;
};

TEST_F(AddkitDescriptors, NamesEndingInQegInAnyCaseAreRead) {
  Descriptor("a.qeg", "ID=1\n");
  Descriptor("b.QeG", "ID=2\n");
  Descriptor(".QEG", "ID=3\n");
  Descriptor("c.qeg.txt", "ID=4\n");
  AddkitPluginList list;
  list.buildPluginList(root);
  ASSERT_EQ(list.pluginList().size(), 2u);
  EXPECT_EQ(list.pluginIDs(), (std::vector<int32_t>{1, 2}));
  const AddkitEntry* e = list.pluginList()[0].get();
  EXPECT_EQ(e->plugInDir(), root + "/Walker");
  EXPECT_EQ(e->plugInEXE(), root + "/Walker/walker");
  EXPECT_EQ(e->plugInName().toStdString(), "Walker");
  EXPECT_TRUE(e->plugInAvailable());
  EXPECT_FALSE(e->plugInPreview().isNull());
  list.buildPluginList(root + "/missing");
  EXPECT_TRUE(list.pluginList().empty());
  // Without a plug-in folder nothing is listed, not even descriptors in the working folder.
  const QString working = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(root)));
  list.buildPluginList(std::string());
  QDir::setCurrent(working);
  EXPECT_TRUE(list.pluginList().empty());
}

TEST_F(AddkitDescriptors, VersionKeys) {
  const struct { const char* keys; bool listed; int32_t file, min; } cases[] = {
      {"", true, 5000, 5000},
      {"FileVersion=12000\n", false, 0, 0},
      {"FileVersion=12000\nMinFileVersion=9000\n", true, 12000, 9000},
      {"FileVersion=11000\nMinFileVersion=11001\n", false, 0, 0},
      {"FileVersion=0\n", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    std::filesystem::remove(root + "/v.qeg");
    Descriptor("v.qeg", std::string("ID=7\n") + c.keys);
    AddkitPluginList list;
    list.buildPluginList(root);
    ASSERT_EQ(list.pluginList().size(), c.listed ? 1u : 0u);
    if (!c.listed) continue;
    EXPECT_EQ(list.pluginList()[0]->plugInFileVer(), c.file);
    EXPECT_EQ(list.pluginList()[0]->plugInMinFileVer(), c.min);
  }
}

TEST_F(AddkitDescriptors, UntrustedOrIncompleteDescriptorsAreIgnored) {
  const char* bad[] = {
      "ID=1\nAppleAppID=../evil\n",   "ID=1\nAppleAppID=.hidden\n", "ID=1\nAppleAppID=a/b\n",
      "ID=1\nDirectory=../Walker\n",  "ID=1\nDirectory=/tmp\n",     "ID=1\nPlugIn=../../bin/sh\n",
      "ID=1\nImage=/etc/passwd\n",    "ID=0\n",                     "ID=1\nType=0\n",
      "ID=1\nImage=missing.png\n",
  };
  for (const char* keys : bad) {
    SCOPED_TRACE(keys);
    std::filesystem::remove(root + "/x.qeg");
    Descriptor("x.qeg", keys);
    AddkitPluginList list;
    list.buildPluginList(root);
    EXPECT_TRUE(list.pluginList().empty());
  }
  std::filesystem::remove(root + "/x.qeg");
  Descriptor("x.qeg", "ID=1\nDirectory=Walker\nPlugIn=walker\nImage=preview.png\nType=1\n", false);
  AddkitPluginList noName;
  noName.buildPluginList(root);
  EXPECT_TRUE(noName.pluginList().empty());
  EXPECT_TRUE(IsSafeAddkitAppID("com.example.walker-2_b"));
  EXPECT_FALSE(IsSafeAddkitAppID(""));
  EXPECT_TRUE(IsSafeAddkitRelativePath("a/b..c/d"));
  EXPECT_FALSE(IsSafeAddkitRelativePath("a/../b"));
  EXPECT_FALSE(IsSafeAddkitRelativePath("a\\..\\b"));
}

// A preview that claims gigabytes is read through the image loader's checks: start-up takes
// no more memory for it, and the plug-in is listed without a picture. A picture too large
// for a preview, or a damaged one, does the same.
TEST_F(AddkitDescriptors, APreviewThatCannotBeReadLeavesThePluginListedWithoutOne) {
  const std::filesystem::path reproducer =
      std::filesystem::path(__FILE__).parent_path() / "data" / "regressions" / "plugin-preview-png-2GB";
  std::filesystem::copy(reproducer, root, std::filesystem::copy_options::recursive);
  const bool watching = WatchAllocations();
  AddkitPluginList list;
  list.buildPluginList(root);
  if (watching) {
    EXPECT_LT(LargestAllocation(), size_t(64) << 20);
  }
  ASSERT_EQ(list.pluginList().size(), 1u);
  const AddkitEntry* broken = list.pluginList()[0].get();
  EXPECT_EQ(broken->plugInName().toStdString(), "Broken Preview");
  EXPECT_TRUE(broken->plugInPreview().isNull());
  EXPECT_TRUE(broken->plugInPreviewUnreadable());
  EXPECT_TRUE(broken->isAddkitEntryValid());

  QImage wide(4097, 2, QImage::Format_RGB32);
  wide.fill(Qt::blue);
  ASSERT_TRUE(wide.save(QString::fromStdString(root + "/Walker/wide.png")));
  {
    std::ofstream damaged(root + "/Walker/damaged.png", std::ios::binary);
    damaged << "\x89PNG\r\n\x1a\nnot really";
  }
  for (const char* image : {"wide.png", "damaged.png"}) {
    SCOPED_TRACE(image);
    std::filesystem::remove(root + "/x.qeg");
    Descriptor("x.qeg", std::string("ID=7\nImage=") + image + "\n");
    AddkitPluginList walker;
    walker.buildPluginList(root);
    const AddkitEntry* e = walker.addkitEntryForID(7);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->plugInPreview().isNull());
  }
}

TEST_F(AddkitDescriptors, LookUpsFindTheFirst) {
  Descriptor("a.qeg", "ID=5\nRefID=1\n");
  Descriptor("b.qeg", "ID=5\nRefID=2\n");
  Descriptor("c.qeg", "ID=6\n");
  AddkitPluginList list;
  list.buildPluginList(root);
  ASSERT_EQ(list.pluginList().size(), 3u);
  EXPECT_EQ(list.addkitEntryForID(5)->plugInRefNum(), 1);
  EXPECT_EQ(list.addkitEntryForID(9), nullptr);
  ZLKDocumentModel model;
  model.itsDocID = 42;
  EXPECT_EQ(list.addkitEntryForDocument(&model), nullptr);
  EXPECT_EQ(list.addkitEntryForDocument(nullptr), nullptr);
  list.pluginList()[2]->setPlugInOwnerDocument(&model);
  EXPECT_EQ(list.addkitEntryForDocument(&model), list.pluginList()[2].get());
  EXPECT_EQ(list.addkitEntryForDocumentID(42), list.pluginList()[2].get());
  EXPECT_EQ(list.addkitEntryForDocumentID(43), nullptr);
}

// The dispatcher makes one entry from a descriptor with the versions its caller read; a
// missing or empty path makes none.
TEST_F(AddkitDescriptors, TheDispatcherMakesAnEntryFromADescriptor) {
  Descriptor("w.qeg", "ID=12\n");
  const std::string path = root + "/w.qeg";
  std::unique_ptr<AddkitEntry> e =
      AddkitDispatcher::createAddkitEntryWithContentsAtPath(path.c_str(), 11000, 9000);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->plugInID(), 12);
  EXPECT_EQ(e->plugInFileVer(), 11000);
  EXPECT_EQ(e->plugInMinFileVer(), 9000);
  EXPECT_EQ(e->plugInQEG(), path);
  EXPECT_TRUE(e->isAddkitEntryValid());
  EXPECT_EQ(AddkitDispatcher::createAddkitEntryWithContentsAtPath(nullptr, 11000, 9000), nullptr);
  EXPECT_EQ(AddkitDispatcher::createAddkitEntryWithContentsAtPath("", 11000, 9000), nullptr);
}

// A design's data entry for a plug-in is made from the plug-in itself.
TEST(AddkitPlugInData, AnEntryForThePlugInCarriesItsID) {
  AddkitEntry plugin;
  plugin.setPlugInID(31);
  ZLKDocumentModel* const previous = gCurDocument;
  gCurDocument = nullptr;
  EXPECT_EQ(AppendPlugInDataToList(&plugin), nullptr);  // no design
  ZLKDocumentModel model;
  gCurDocument = &model;
  PlugInData* entry = AppendPlugInDataToList(&plugin);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->plugInID, 31);
  EXPECT_EQ(entry->size, 0);
  EXPECT_EQ(entry->data, nullptr);
  EXPECT_EQ(model.itsPlugIns, entry);
  EXPECT_EQ(AppendPlugInDataToList(static_cast<const AddkitEntry*>(nullptr)), nullptr);
  EXPECT_EQ(model.itsPlugIns->next, nullptr);
  DeletePlugInDataList();
  gCurDocument = previous;
}

}  // namespace
