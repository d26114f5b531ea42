// Runs plug-ins: writes the open design to a plug-in's exchange file, starts the plug-in,
// locks it to that design while it runs, and merges what it hands back when it says on the
// session bus that it has closed.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QVariantMap>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/AddkitEntry.h"

class ZLKDocumentModel;

// Plug-in ids the program treats in its own way.
constexpr int32_t kAddkitPhotoView = 109;   // runs inside the program: opens the photo view
constexpr int32_t kAddkitTopography = 118;  // hands back a topography grid file
constexpr int32_t kAddkitSunShadow = 128;   // hands back sun and shading values
constexpr int32_t kAddkitObject = 131;      // the cabinet plug-in

// The session-bus names: every signal is sent on this interface with one a{sv} argument.
inline constexpr const char* kAddkitBusInterface = "com.zelkoworks";
inline constexpr const char* kAddkitBusPath = "/com/zelkoworks/casavelt";
inline constexpr const char* kAddkitClosingUpdate = "AddkitClosingUpdate";
inline constexpr const char* kAddkitClosingNoUpdate = "AddkitClosingNoUpdate";
inline constexpr const char* kAddkitHubReqClose = "AddkitHubReqClose";
// The keys of the signal's dictionary.
inline constexpr const char* kAuxDictAddkitIDKey = "AuxDictAddkitIDKey";
inline constexpr const char* kAuxDictUserIDKey = "AuxDictUserIDKey";
inline constexpr const char* kAuxDictDocumentIDKey = "AuxDictDocumentIDKey";
inline constexpr const char* kAuxDictTopographyKey = "AuxDictTopographyKey";
inline constexpr const char* kAuxDictGSPSunLotAngleKey = "AuxDictGSPSunLotAngleKey";
inline constexpr const char* kAuxDictGSPSunOverheadAngleKey = "AuxDictGSPSunOverheadAngleKey";
inline constexpr const char* kAuxDictGSPSceneBrightnessKey = "AuxDictGSPSceneBrightnessKey";
inline constexpr const char* kAuxDictGSPSunBrightnessKey = "AuxDictGSPSunBrightnessKey";
inline constexpr const char* kAuxDictGSPShadingIntensityKey = "AuxDictGSPShadingIntensityKey";

// A whole number from a bus value: any integer type, or a finite double (truncated) in range.
bool AddkitBusInteger(const QVariant& value, int64_t* out);
// A number from a bus value: any integer type or double; false for anything else.
bool AddkitBusNumber(const QVariant& value, double* out);

class AddkitDispatcher : public QObject {
  Q_OBJECT
 public:
  static AddkitDispatcher& sharedAddkitDispatcher();

  // The installed plug-ins (see AddkitPluginList).
  void buildPluginList();
  void buildPluginList(const std::string& folder);
  const std::vector<std::unique_ptr<AddkitEntry>>& pluginList() const;
  AddkitEntry* addkitEntryForID(int32_t id) const;
  AddkitEntry* addkitEntryForDocument(const ZLKDocumentModel* model) const;
  AddkitEntry* addkitEntryForDocumentID(int32_t docID) const;
  // An entry from a descriptor, owned by the caller (see AddkitPluginList).
  static std::unique_ptr<AddkitEntry> createAddkitEntryWithContentsAtPath(const char* path, int32_t fileVersion,
                                                                         int32_t minFileVersion);

  // Listens for the plug-ins' closing signals on the session bus; false without a bus.
  bool registerAllServerObservers();

  // The exchange file of a plug-in: <private temporary folder>/<application id>/data.qxf.
  static std::string exchangeFilePath(const AddkitEntry& entry);

  // Starts the plug-in for the current design and locks it to it. The photo view (109) is only
  // locked. False (no lock changed) without an entry or a current design, for a plug-in that is
  // already running, or when the exchange file cannot be written, the application is missing or
  // does not start.
  bool launchAddkit(AddkitEntry* entry);
  bool launchAddkitWithID(int32_t id);
  // The entry becomes available again; its launcher row and the launcher's buttons follow.
  void releaseLockForAddkit(AddkitEntry* entry);
  void releaseLockForAddkitOwnedByDocument(const ZLKDocumentModel* model);
  // Asks every plug-in holding the design to quit (AddkitHubReqClose) and releases them; what
  // they leave behind is not read.
  void forceQuitAddkitOwnedByDocument(const ZLKDocumentModel* model);
  // The same for one plug-in: another holding the same design keeps running.
  void forceQuitAddkit(AddkitEntry* entry);

  // The closing signals' handling (the bus calls them; tests may too).
  void addkitDidCloseUpdate(const QVariantMap& info);
  void addkitDidCloseNoUpdate(const QVariantMap& info);

 private Q_SLOTS:
  void closingUpdateSignal(const QVariantMap& info);
  void closingNoUpdateSignal(const QVariantMap& info);

 private:
  AddkitDispatcher() = default;
  // The entry a closing signal is about: one locked to the document of that id, preferably
  // the one with the signal's plug-in id. Null when the signal is another session's or names
  // no such entry; `ids` receives the plug-in and document ids.
  AddkitEntry* entryForClosing(const QVariantMap& info, bool* otherSession);
  // Ends the progress sheet of the entry's design window; true when the window was found.
  static bool endProgressSheetOf(const AddkitEntry* entry);

  // What each running plug-in's exchange file held when it was written.
  std::map<const AddkitEntry*, QByteArray> launchedBytes_;
  bool observing_ = false;
};
