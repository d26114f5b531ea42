// One installed plug-in as its descriptor file describes it, with its run-time lock (which
// design holds it while it runs), and the list of them the dispatcher builds at start-up.
#pragma once
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ZLKDocumentModel;
class AddkitEntryController;
struct PlugInData;

class AddkitEntry {
 public:
  AddkitEntry() = default;

  // True when the descriptor, application and folder paths, the preview, the name and the
  // application id are all set, the id and type are 1 or more and the file version above 0.
  // A preview that is there but cannot be read (damaged, or too large to decode) stands for
  // one: the plug-in is listed without its picture.
  bool isAddkitEntryValid() const;

  // Numbers and the lock: stored as given.
  void setPlugInDevID(int32_t v) { plugInDevID_ = v; }
  void setPlugInType(int16_t v) { plugInType_ = v; }
  void setPlugInRefNum(int32_t v) { plugInRefNum_ = v; }
  void setPlugInID(int32_t v) { plugInID_ = v; }
  void setPlugInFileVer(int32_t v) { plugInFileVer_ = v; }
  void setPlugInMinFileVer(int32_t v) { plugInMinFileVer_ = v; }
  void setPlugInAvailable(bool v) { plugInAvailable_ = v; }
  void setPlugInOwnerDocument(ZLKDocumentModel* m) { plugInOwnerDocument_ = m; }
  void setPlugInViewController(AddkitEntryController* c) { plugInViewController_ = c; }
  // Texts and the preview: an empty text (or a null image) changes nothing.
  void setPlugInName(const char* text);
  void setPlugInDescription(const char* text);
  void setPlugInAppleAppID(const char* text);
  void setPlugInQEG(const char* text);
  void setPlugInEXE(const char* text);
  void setPlugInDir(const char* text);
  void setPlugInPreview(const QImage& image);
  // The descriptor names a preview file that is present but could not be read.
  void setPlugInPreviewUnreadable(bool v) { plugInPreviewUnreadable_ = v; }

  int32_t plugInDevID() const { return plugInDevID_; }
  int16_t plugInType() const { return plugInType_; }
  int32_t plugInRefNum() const { return plugInRefNum_; }
  int32_t plugInID() const { return plugInID_; }
  int32_t plugInFileVer() const { return plugInFileVer_; }
  int32_t plugInMinFileVer() const { return plugInMinFileVer_; }
  const std::string& plugInQEG() const { return plugInQEG_; }
  const std::string& plugInEXE() const { return plugInEXE_; }
  const std::string& plugInDir() const { return plugInDir_; }
  const QImage& plugInPreview() const { return plugInPreview_; }
  bool plugInPreviewUnreadable() const { return plugInPreviewUnreadable_; }
  const QString& plugInName() const { return plugInName_; }
  const QString& plugInDescription() const { return plugInDescription_; }
  const QString& plugInAppleAppID() const { return plugInAppleAppID_; }
  bool plugInAvailable() const { return plugInAvailable_; }
  ZLKDocumentModel* plugInOwnerDocument() const { return plugInOwnerDocument_; }
  AddkitEntryController* plugInViewController() const { return plugInViewController_; }

 private:
  int32_t plugInDevID_ = 0;
  int16_t plugInType_ = 0;
  int32_t plugInRefNum_ = 0;
  int32_t plugInID_ = 0;
  int32_t plugInFileVer_ = 0;
  int32_t plugInMinFileVer_ = 0;
  std::string plugInQEG_, plugInEXE_, plugInDir_;
  QImage plugInPreview_;
  bool plugInPreviewUnreadable_ = false;
  QString plugInName_, plugInDescription_, plugInAppleAppID_;
  bool plugInAvailable_ = true;
  ZLKDocumentModel* plugInOwnerDocument_ = nullptr;
  AddkitEntryController* plugInViewController_ = nullptr;
};

// Whether a descriptor's application id may name a folder: letters, digits, ".", "_" and "-"
// only, not beginning with ".".
bool IsSafeAddkitAppID(const char* id);
// Whether a path a descriptor gives stays inside the plug-in folder: relative, no ".." part.
bool IsSafeAddkitRelativePath(const char* path);

// The installed plug-ins (the dispatcher's list).
class AddkitPluginList {
 public:
  // Empties the list and fills it from the descriptors (".qeg" in any case) of `folder`, in
  // name order: descriptors asking for a minimum exchange version above 11000, invalid ones
  // and ones whose paths or application id are unsafe are left out.
  void buildPluginList(const std::string& folder);
  // The same from the local plug-in folder.
  void buildPluginList();
  // An entry from the descriptor at path with the two versions already read; null when the
  // descriptor does not make a valid entry.
  static std::unique_ptr<AddkitEntry> createAddkitEntryWithContentsAtPath(const char* path, int32_t fileVersion,
                                                                         int32_t minFileVersion);

  const std::vector<std::unique_ptr<AddkitEntry>>& pluginList() const { return list_; }
  AddkitEntry* addkitEntryForID(int32_t id) const;
  AddkitEntry* addkitEntryForDocument(const ZLKDocumentModel* model) const;
  AddkitEntry* addkitEntryForDocumentID(int32_t docID) const;
  // The ids of the list in order (every new design gets a data block for each).
  std::vector<int32_t> pluginIDs() const;

 private:
  std::vector<std::unique_ptr<AddkitEntry>> list_;
};

// The program's list of installed plug-ins (built at start-up).
AddkitPluginList& SharedAddkitPluginList();

// An empty data entry of the current design for the plug-in, under its id (as
// AppendPlugInDataToList(id)); null without a plug-in or a design.
PlugInData* AppendPlugInDataToList(const AddkitEntry* plugin);
