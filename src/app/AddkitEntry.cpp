// Plug-in entries and their descriptor files.
#include "app/AddkitEntry.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

#include "model/DocumentModel.h"
#include "model/LiveViews.h"
#include "plandraw/qt/ImageLoader.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"

namespace {
constexpr const char* kSection = "Description";
constexpr int32_t kNewestExchangeVersion = 11000;
constexpr int kMostPreviewSide = 4096;
}  // namespace

bool AddkitEntry::isAddkitEntryValid() const {
  return !plugInQEG_.empty() && !plugInEXE_.empty() && !plugInDir_.empty() &&
         (!plugInPreview_.isNull() || plugInPreviewUnreadable_) &&
         !plugInName_.isEmpty() && !plugInAppleAppID_.isEmpty() && plugInID_ >= 1 && plugInType_ >= 1 &&
         plugInFileVer_ > 0;
}

void AddkitEntry::setPlugInName(const char* text) {
  if (text && *text) plugInName_ = QString::fromUtf8(text);
}
void AddkitEntry::setPlugInDescription(const char* text) {
  if (text && *text) plugInDescription_ = QString::fromUtf8(text);
}
void AddkitEntry::setPlugInAppleAppID(const char* text) {
  if (text && *text) plugInAppleAppID_ = QString::fromUtf8(text);
}
void AddkitEntry::setPlugInQEG(const char* text) {
  if (text && *text) plugInQEG_ = text;
}
void AddkitEntry::setPlugInEXE(const char* text) {
  if (text && *text) plugInEXE_ = text;
}
void AddkitEntry::setPlugInDir(const char* text) {
  if (text && *text) plugInDir_ = text;
}
void AddkitEntry::setPlugInPreview(const QImage& image) {
  if (!image.isNull()) plugInPreview_ = image;
}

bool IsSafeAddkitAppID(const char* id) {
  if (!id || !*id || *id == '.') return false;
  for (const char* c = id; *c; ++c)
    if (!((*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9') || *c == '.' ||
          *c == '_' || *c == '-'))
      return false;
  return true;
}

bool IsSafeAddkitRelativePath(const char* path) { return path && IsPlainRelativePath(path); }

std::unique_ptr<AddkitEntry> AddkitPluginList::createAddkitEntryWithContentsAtPath(const char* path,
                                                                                  int32_t fileVersion,
                                                                                  int32_t minFileVersion) {
  if (!path || !*path) return nullptr;
  auto entry = std::make_unique<AddkitEntry>();
  entry->setPlugInQEG(path);
  const std::string pluginFolder = QFileInfo(QString::fromUtf8(path)).absolutePath().toStdString();
  char value[256];
  char joined[512];
  // Directory, application and preview: each must stay inside the plug-in folder.
  GetPrivateProfileString(kSection, "Directory", "", value, 126, path);
  if (value[0]) {
    if (!IsSafeAddkitRelativePath(value)) return nullptr;
    snprintf(joined, sizeof joined, "%s/%s", pluginFolder.c_str(), value);
    entry->setPlugInDir(joined);
  }
  GetPrivateProfileString(kSection, "PlugIn", "", value, 126, path);
  if (value[0]) {
    if (!IsSafeAddkitRelativePath(value)) return nullptr;
    snprintf(joined, sizeof joined, "%s/%s", entry->plugInDir().c_str(), value);
    entry->setPlugInEXE(joined);
  }
  GetPrivateProfileString(kSection, "Image", "", value, 126, path);
  if (value[0]) {
    if (!IsSafeAddkitRelativePath(value)) return nullptr;
    snprintf(joined, sizeof joined, "%s/%s", entry->plugInDir().c_str(), value);
    // Read with the checks every image gets (a few hundred bytes may claim gigabytes); a
    // preview is a small picture, so anything larger is not kept. A picture that is there
    // but does not read leaves the plug-in listed without one.
    const QString preview = QString::fromUtf8(joined);
    const QImage image = LoadImageFile(preview);
    if (!image.isNull() && image.width() <= kMostPreviewSide && image.height() <= kMostPreviewSide)
      entry->setPlugInPreview(image);
    else if (QFileInfo(preview).isFile())
      entry->setPlugInPreviewUnreadable(true);
  }
  GetPrivateProfileString(kSection, "DisplayName", "", value, 126, path);
  entry->setPlugInName(value);
  GetPrivateProfileString(kSection, "DisplayDescription", "", value, 256, path);
  entry->setPlugInDescription(value);
  GetPrivateProfileString(kSection, "AppleAppID", "", value, 256, path);
  if (value[0] && !IsSafeAddkitAppID(value)) return nullptr;
  entry->setPlugInAppleAppID(value);
  entry->setPlugInDevID(GetPrivateProfileInt(kSection, "DeveloperID", 0, path));
  entry->setPlugInID(GetPrivateProfileInt(kSection, "ID", 0, path));
  entry->setPlugInType(static_cast<int16_t>(GetPrivateProfileInt(kSection, "Type", 0, path)));
  entry->setPlugInRefNum(GetPrivateProfileInt(kSection, "RefID", 0, path));
  entry->setPlugInFileVer(fileVersion);
  entry->setPlugInMinFileVer(minFileVersion);
  if (!entry->isAddkitEntryValid()) return nullptr;
  return entry;
}

void AddkitPluginList::buildPluginList(const std::string& folder) {
  list_.clear();
  // No plug-in folder lists nothing (an empty path would otherwise name the working folder).
  if (folder.empty()) return;
  QDir dir(QString::fromUtf8(folder.c_str()));
  if (!dir.exists()) return;
  const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::Readable, QDir::Name);
  for (const QString& name : names) {
    if (name.size() <= 4 || !name.right(4).toUpper().endsWith(".QEG")) continue;
    const std::string path = dir.filePath(name).toStdString();
    const int32_t fileVersion = GetPrivateProfileInt(kSection, "FileVersion", 5000, path.c_str());
    const int32_t minFileVersion = GetPrivateProfileInt(kSection, "MinFileVersion", fileVersion, path.c_str());
    if (minFileVersion > kNewestExchangeVersion) continue;
    if (auto entry = createAddkitEntryWithContentsAtPath(path.c_str(), fileVersion, minFileVersion))
      list_.push_back(std::move(entry));
  }
}

void AddkitPluginList::buildPluginList() { buildPluginList(LocalDomainAddkitPath()); }

AddkitEntry* AddkitPluginList::addkitEntryForID(int32_t id) const {
  for (const auto& e : list_)
    if (e->plugInID() == id) return e.get();
  return nullptr;
}

AddkitEntry* AddkitPluginList::addkitEntryForDocument(const ZLKDocumentModel* model) const {
  if (!model) return nullptr;
  for (const auto& e : list_)
    if (e->plugInOwnerDocument() == model) return e.get();
  return nullptr;
}

AddkitEntry* AddkitPluginList::addkitEntryForDocumentID(int32_t docID) const {
  for (const auto& e : list_)
    if (e->plugInOwnerDocument() && e->plugInOwnerDocument()->itsDocID == docID) return e.get();
  return nullptr;
}

std::vector<int32_t> AddkitPluginList::pluginIDs() const {
  std::vector<int32_t> ids;
  for (const auto& e : list_) ids.push_back(e->plugInID());
  return ids;
}

AddkitPluginList& SharedAddkitPluginList() {
  static AddkitPluginList list;
  return list;
}

PlugInData* AppendPlugInDataToList(const AddkitEntry* plugin) {
  return plugin ? AppendPlugInDataToList(plugin->plugInID()) : nullptr;
}
