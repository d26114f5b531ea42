// The plug-in dispatcher: launching, locks and the closing signals of the session bus.
#include "app/AddkitDispatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "app/AddkitLauncherController.h"
#include "app/AppController.h"
#include "app/LiveViewController.h"
#include "app/Win32EventHandler.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKWindowController.h"
#include "files/PlugInFile.h"
#include "files/PlugOutFile.h"
#include "files/TopoGridFile.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/SelectionState.h"
#include "model/Services.h"
#include "model/CommandWalkers.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"
#include "platform/Session.h"
#include "platform/TemporaryFolder.h"

namespace {

// The grid file the terrain plug-in names, when it is a plain file inside the plug-in's own
// exchange folder (a relative name is taken inside it; links are followed and the file they
// reach must lie there too); empty otherwise.
std::string TopographyFileInFolder(const QString& named, const std::string& exchangeFile) {
  const QString folder = QFileInfo(QString::fromStdString(exchangeFile)).absolutePath();
  const QString root = QFileInfo(folder).canonicalFilePath();
  if (named.isEmpty() || root.isEmpty()) return {};
  const QFileInfo file(QFileInfo(named).isAbsolute() ? named : folder + QLatin1Char('/') + named);
  const QString real = file.canonicalFilePath();
  if (real.isEmpty() || !real.startsWith(root + QLatin1Char('/'))) return {};
  std::error_code error;
  if (!std::filesystem::is_regular_file(QFile::encodeName(real).toStdString(), error)) return {};
  return QFile::encodeName(real).toStdString();
}

// A sun value from the plug-in is taken only when it is, as a float, within the range its
// control in the 3D lighting sheet has. A value the signal does not carry is no fault; one it
// carries that is no number, or not such a float, is left out and its name noted for the user.
bool SunValueWithin(const QVariantMap& info, const char* key, double low, double high, const char* name,
                    std::vector<std::string>* leftOut, float* value) {
  if (!info.contains(key)) return false;
  double v = 0;
  const bool number = AddkitBusNumber(info.value(key), &v);
  const float f = static_cast<float>(v);
  if (!number || !std::isfinite(f) || f < low || f > high) {
    leftOut->push_back(name);
    return false;
  }
  *value = f;
  return true;
}

// "The sun height was ..." / "The sun height and the scene brightness were ...".
std::string SunValuesLeftOutText(const std::vector<std::string>& names) {
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) list += i + 1 == names.size() ? " and " : ", ";
    list += "the " + names[i];
  }
  list[0] = 'T';
  return list + (names.size() == 1 ? " was not a number the 3D view can use."
                                   : " were not numbers the 3D view can use.");
}

ZLKDocument* OpenDocumentOfModel(const ZLKDocumentModel* model) {
  if (!model) return nullptr;
  for (ZLKDocument* document : ZLKDocumentController::sharedDocumentController().documents())
    if (document->documentModel() == model) return document;
  return nullptr;
}

void UpdateRowAndButtons(AddkitEntry* entry) {
  if (AddkitEntryController* row = entry->plugInViewController()) row->updateControls();
  if (AddkitLauncherController::exists()) AddkitLauncherController::sharedAddkitLauncherController().updateButtonStates();
}

QByteArray FileBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

bool AddkitBusInteger(const QVariant& value, int64_t* out) {
  switch (value.typeId()) {
    case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar: case QMetaType::Short:
    case QMetaType::UShort: case QMetaType::Int: case QMetaType::UInt: case QMetaType::Long:
    case QMetaType::LongLong:
      *out = value.toLongLong();
      return true;
    case QMetaType::ULong: case QMetaType::ULongLong: {
      const qulonglong v = value.toULongLong();
      if (v > static_cast<qulonglong>(std::numeric_limits<int64_t>::max())) return false;
      *out = static_cast<int64_t>(v);
      return true;
    }
    case QMetaType::Float: case QMetaType::Double: {
      const double d = value.toDouble();
      if (!std::isfinite(d) || d < -9.2e18 || d > 9.2e18) return false;
      *out = static_cast<int64_t>(d);
      return true;
    }
    default: return false;
  }
}

bool AddkitBusNumber(const QVariant& value, double* out) {
  switch (value.typeId()) {
    case QMetaType::Float: case QMetaType::Double:
      *out = value.toDouble();
      return true;
    default: {
      int64_t v = 0;
      if (!AddkitBusInteger(value, &v)) return false;
      *out = static_cast<double>(v);
      return true;
    }
  }
}

AddkitDispatcher& AddkitDispatcher::sharedAddkitDispatcher() {
  static AddkitDispatcher* dispatcher = new AddkitDispatcher;
  return *dispatcher;
}

void AddkitDispatcher::buildPluginList() { buildPluginList(LocalDomainAddkitPath()); }
void AddkitDispatcher::buildPluginList(const std::string& folder) {
  // The launcher's rows show the entries of the old list.
  if (AddkitLauncherController::exists()) AddkitLauncherController::destroyShared();
  launchedBytes_.clear();
  SharedAddkitPluginList().buildPluginList(folder);
}
const std::vector<std::unique_ptr<AddkitEntry>>& AddkitDispatcher::pluginList() const {
  return SharedAddkitPluginList().pluginList();
}
std::unique_ptr<AddkitEntry> AddkitDispatcher::createAddkitEntryWithContentsAtPath(const char* path,
                                                                                  int32_t fileVersion,
                                                                                  int32_t minFileVersion) {
  return AddkitPluginList::createAddkitEntryWithContentsAtPath(path, fileVersion, minFileVersion);
}
AddkitEntry* AddkitDispatcher::addkitEntryForID(int32_t id) const { return SharedAddkitPluginList().addkitEntryForID(id); }
AddkitEntry* AddkitDispatcher::addkitEntryForDocument(const ZLKDocumentModel* model) const {
  return SharedAddkitPluginList().addkitEntryForDocument(model);
}
AddkitEntry* AddkitDispatcher::addkitEntryForDocumentID(int32_t docID) const {
  return SharedAddkitPluginList().addkitEntryForDocumentID(docID);
}

bool AddkitDispatcher::registerAllServerObservers() {
  if (observing_) return true;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  const bool update = bus.connect(QString(), QString(), kAddkitBusInterface, kAddkitClosingUpdate, this,
                                  SLOT(closingUpdateSignal(QVariantMap)));
  const bool noUpdate = bus.connect(QString(), QString(), kAddkitBusInterface, kAddkitClosingNoUpdate, this,
                                    SLOT(closingNoUpdateSignal(QVariantMap)));
  observing_ = update && noUpdate;
  return observing_;
}

void AddkitDispatcher::closingUpdateSignal(const QVariantMap& info) { addkitDidCloseUpdate(info); }
void AddkitDispatcher::closingNoUpdateSignal(const QVariantMap& info) { addkitDidCloseNoUpdate(info); }

std::string AddkitDispatcher::exchangeFilePath(const AddkitEntry& entry) {
  return ApplicationTemporaryPath() + "/" + entry.plugInAppleAppID().toStdString() + "/data.qxf";
}

bool AddkitDispatcher::launchAddkit(AddkitEntry* entry) {
  // A plug-in is always locked to a design: without one it could never be released. A running
  // one stays with the design it runs for.
  if (!entry || !gCurDocument || !entry->plugInAvailable()) return false;
  if (entry->plugInID() != kAddkitPhotoView) {
    // The descriptor reader refuses application ids that could leave the temporary folder.
    if (!IsSafeAddkitAppID(entry->plugInAppleAppID().toStdString().c_str())) return false;
    if (!CreateApplicationTemporaryFolder()) return false;
    const std::string path = exchangeFilePath(*entry);
    if (!CreatePrivateFolder(ApplicationTemporaryPath() + "/" + entry->plugInAppleAppID().toStdString()))
      return false;
    if (!PlugInFileWrite(path.c_str(), entry->plugInID(), entry->plugInMinFileVer(), entry->plugInFileVer()))
      return false;
    const QString program = QString::fromStdString(entry->plugInEXE());
    if (!QFileInfo(program).isFile()) return false;
    // What was written is kept before the plug-in starts: read after, it could already be the
    // plug-in's answer, which would then count as left unchanged and never be merged.
    launchedBytes_[entry] = FileBytes(path);
    if (!QProcess::startDetached(program, {}, QString::fromStdString(entry->plugInDir()))) {
      launchedBytes_.erase(entry);
      return false;
    }
  }
  entry->setPlugInAvailable(false);
  entry->setPlugInOwnerDocument(gCurDocument);
  if (AddkitEntryController* row = entry->plugInViewController()) row->updateControls();
  // A plug-in of its own takes the design away until it closes; the photo view only asks for
  // an image over the design, which keeps its windows as they are.
  if (entry->plugInID() != kAddkitPhotoView) AppController::hidePanelsForAddkit();
  return true;
}

bool AddkitDispatcher::launchAddkitWithID(int32_t id) { return launchAddkit(addkitEntryForID(id)); }

void AddkitDispatcher::releaseLockForAddkit(AddkitEntry* entry) {
  if (!entry) return;
  entry->setPlugInAvailable(true);
  entry->setPlugInOwnerDocument(nullptr);
  launchedBytes_.erase(entry);
  UpdateRowAndButtons(entry);
}

void AddkitDispatcher::releaseLockForAddkitOwnedByDocument(const ZLKDocumentModel* model) {
  releaseLockForAddkit(addkitEntryForDocument(model));
}

void AddkitDispatcher::forceQuitAddkitOwnedByDocument(const ZLKDocumentModel* model) {
  if (!model) return;
  for (const auto& e : pluginList())
    if (e->plugInOwnerDocument() == model) forceQuitAddkit(e.get());
}

void AddkitDispatcher::forceQuitAddkit(AddkitEntry* entry) {
  const ZLKDocumentModel* model = entry ? entry->plugInOwnerDocument() : nullptr;
  if (!model) return;
  QVariantMap info;
  info.insert(kAuxDictAddkitIDKey, entry->plugInID());
  info.insert(kAuxDictUserIDKey, AppController::sessionID());
  info.insert(kAuxDictDocumentIDKey, model->itsDocID);
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) {
    QDBusMessage message = QDBusMessage::createSignal(kAddkitBusPath, kAddkitBusInterface, kAddkitHubReqClose);
    message << info;
    bus.send(message);
  }
  releaseLockForAddkit(entry);
}

AddkitEntry* AddkitDispatcher::entryForClosing(const QVariantMap& info, bool* otherSession) {
  int64_t addkitID = 0, userID = 0, docID = 0;
  *otherSession = true;
  // A signal without its three ids cannot be matched to a session or a design.
  if (!AddkitBusInteger(info.value(kAuxDictAddkitIDKey), &addkitID) ||
      !AddkitBusInteger(info.value(kAuxDictUserIDKey), &userID) ||
      !AddkitBusInteger(info.value(kAuxDictDocumentIDKey), &docID))
    return nullptr;
  if (userID != AppController::sessionID()) return nullptr;
  *otherSession = false;
  if (docID < std::numeric_limits<int32_t>::min() || docID > std::numeric_limits<int32_t>::max()) return nullptr;
  // A design may hold several plug-ins: the one that signals is released, not another.
  for (const auto& e : pluginList())
    if (e->plugInOwnerDocument() && e->plugInOwnerDocument()->itsDocID == docID && e->plugInID() == addkitID)
      return e.get();
  return addkitEntryForDocumentID(static_cast<int32_t>(docID));
}

bool AddkitDispatcher::endProgressSheetOf(const AddkitEntry* entry) {
  ZLKDocument* document = OpenDocumentOfModel(entry->plugInOwnerDocument());
  if (!document || document->windowControllers().isEmpty()) return false;
  document->windowControllers().first()->endAddkitProgressSheet();
  return true;
}

void AddkitDispatcher::addkitDidCloseUpdate(const QVariantMap& info) {
  bool otherSession = true;
  AddkitEntry* entry = entryForClosing(info, &otherSession);
  if (otherSession) return;
  if (entry) {
    ZLKDocumentModel* owner = entry->plugInOwnerDocument();
    const bool windowFound = endProgressSheetOf(entry);
    const std::string path = exchangeFilePath(*entry);
    // A plug-in that says it changed the design but left the exchange file as written has
    // changed nothing: merging it would add the design's objects a second time.
    auto launched = launchedBytes_.find(entry);
    const bool unchanged = launched != launchedBytes_.end() && !launched->second.isEmpty() &&
                           FileBytes(path) == launched->second;
    const int32_t plugInID = entry->plugInID();
    const QString name = entry->plugInName();
    releaseLockForAddkit(entry);
    DeleteAllCachedCustomTextures();
    // The merge goes into the design the plug-in was started for, while that design is open.
    if (OpenDocumentOfModel(owner) && owner->itsDocState) {
      CurrentDocumentScope scope(owner);
      DocState* ds = owner->itsDocState;
      if (!unchanged && PlugOutFileRead(path.c_str()) == 1) {
        if (plugInID == kAddkitTopography) {
          const QString named = info.value(kAuxDictTopographyKey).toString();
          // Only a grid file the plug-in wrote in its own folder is read, and the design
          // keeps its path only when it was read. A path that does not fit the design's field
          // is not cut short into another one.
          const std::string topo = TopographyFileInFolder(named, path);
          char read[sizeof ds->topoPath] = {};
          if (!named.isEmpty() && (topo.empty() || topo.size() >= sizeof read)) {
            ShowAlert("Unable to read topography file.",
                      "The terrain plug-in named a file outside its own folder, or one that is not a grid file.",
                      false);
          } else if (!topo.empty()) {
            std::memcpy(read, topo.data(), topo.size());
            if (ReadTopoGridFile(read) == 1) std::memcpy(ds->topoPath, read, sizeof read);
          }
          // The plan view is reset whenever the terrain plug-in hands back changes.
          if (windowFound) Win32EventHandler::sharedEventHandler()->resetPlanView();
        } else if (plugInID == kAddkitSunShadow) {
          // Each value within the range the lighting sheet gives it: the direction within
          // its turn, the sun's height up to overhead, the scene brightness and the shading
          // intensity as their sliders store them (0.5 to 2.5, 0 to 65535).
          float v = 0;
          std::vector<std::string> leftOut;
          if (SunValueWithin(info, kAuxDictGSPSunLotAngleKey, -360, 360, "sun direction", &leftOut, &v))
            ds->sunAngle1 = v;
          if (SunValueWithin(info, kAuxDictGSPSunOverheadAngleKey, 0, 90, "sun height", &leftOut, &v)) {
            ds->sunAngle2 = v;
            ds->viewSetting7 = v != 0 ? 1 : 0;
          }
          if (SunValueWithin(info, kAuxDictGSPSceneBrightnessKey, 0.5, 2.5, "scene brightness", &leftOut, &v))
            ds->viewSetting6 = v;
          if (SunValueWithin(info, kAuxDictGSPShadingIntensityKey, 0, 65535, "shading intensity", &leftOut, &v))
            ds->viewSetting11 = v;
          if (SunValueWithin(info, kAuxDictGSPSunBrightnessKey, -32768, 32767, "sun brightness", &leftOut, &v))
            ds->sunSetting2 = static_cast<int16_t>(v);
          // What was left out is told once for the signal, the values taken are kept.
          if (!leftOut.empty())
            ShowAlert("Some sun settings from the plug-in were left out.", SunValuesLeftOutText(leftOut), false);
        }
        QFile::remove(QString::fromStdString(path));
        StoreUndo(name.toStdString());
        Refresh();
        gRefreshRender = 1;
        RenderAllLayers();
      }
      ClearSelectionState40(ds, &ds->selectionState40);
      TopLevelObjectAllLayers(owner->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
      UpdateSelectionState40Controls(&ds->selectionState40);
    }
  }
  AppController::restorePanelsAfterAddkit();
}

void AddkitDispatcher::addkitDidCloseNoUpdate(const QVariantMap& info) {
  bool otherSession = true;
  AddkitEntry* entry = entryForClosing(info, &otherSession);
  if (!entry) return;
  endProgressSheetOf(entry);
  releaseLockForAddkit(entry);
  DeleteAllCachedCustomTextures();
  AppController::restorePanelsAfterAddkit();
}
