// The open documents and the File commands New, Open and the panels they use.
#include "app/ZLKDocumentController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>
#include <memory>

#include "app/AppController.h"
#include "app/ZLKDocument.h"
#include "app/ZLKWindowController.h"
#include "building3d/RepeatLimit.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"

namespace {

QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }

std::string AskOpenPath() {
  const ZLKDocument* open = AppController::mainWindowDocument();
  QString path = QFileDialog::getOpenFileName(
      AppController::mainWindowController(), Localized("Open"),
      ZLKDocumentController::panelStartPath(open ? open->fileName() : std::string(), false),
      ZLKDocumentController::openPanelFilters());
  return path.isEmpty() ? std::string() : std::string(QFile::encodeName(path).constData());
}

std::string AskSavePath(const std::string& suggested) {
  QString path = QFileDialog::getSaveFileName(AppController::mainWindowController(), Localized("Save"),
                                              ZLKDocumentController::panelStartPath(suggested, true),
                                              ZLKDocumentController::savePanelFilters());
  if (path.isEmpty()) return {};
  if (!path.endsWith(QStringLiteral(".pro"), Qt::CaseInsensitive)) path += QStringLiteral(".pro");
  return std::string(QFile::encodeName(path).constData());
}

ZLKWindowController* WindowOf(ZLKDocument* document) {
  return document ? document->windowControllers().value(0) : nullptr;
}

std::string Substitute(std::string format, const std::string& value) {
  const size_t at = format.find("%@");
  if (at != std::string::npos) format.replace(at, 2, value);
  return format;
}

constexpr char kRecentCountKey[] = "RecentDocumentCount";
std::string RecentKey(int i) { return "RecentDocument " + std::to_string(i); }

// Reads the design file into the document in place of its design; on success the window is
// re-initialised when asked, the document takes the file's name and the file becomes the
// newest recent design.
bool ReadDesignInto(ZLKDocument* document, const std::string& path, bool reinitializeWindow) {
  // Parts cut to the builders' limit anywhere in the open are told of once, at its end.
  RepeatLimitReport repeatLimit;
  if (!document->readFromFile(path, ZLKDocument::kDesignFileType)) {
    ShowAlert(Substitute(LocalizedString("The document \"%@\" could not be loaded."),
                         ZLKDocumentController::fileDisplayName(path)),
              document->failureReason(), /*sheet=*/false);
    return false;
  }
  if (ZLKWindowController* window = WindowOf(document)) {
    if (reinitializeWindow) window->reinitializeDocumentUI();
    window->designReplaced();
  }
  document->setFileName(path);
  ZLKDocumentController::sharedDocumentController().noteNewRecentDocument(path);
  Refresh();
  return true;
}

// Whether the path names the document's own design file (letter case aside).
bool IsOwnDesignFile(const ZLKDocument* document, const std::string& path) {
  return document && !document->fileName().empty() &&
         QString::compare(QFile::decodeName(document->fileName().c_str()), QFile::decodeName(path.c_str()),
                          Qt::CaseInsensitive) == 0;
}

}  // namespace

ZLKDocumentController::ZLKDocumentController() : chooseOpenPath(AskOpenPath), chooseSavePath(AskSavePath) {}

QString ZLKDocumentController::savePanelFilters() { return Localized("Designs") + QStringLiteral(" (*.pro)"); }

QString ZLKDocumentController::openPanelFilters() {
  return savePanelFilters() + QStringLiteral(";;") + Localized("All Files") + QStringLiteral(" (*)");
}

QString ZLKDocumentController::panelStartPath(const std::string& designPath, bool withName) {
  const QFileInfo design(QFile::decodeName(designPath.c_str()));
  if (designPath.empty() || !design.isAbsolute() || !design.absoluteDir().exists()) return QDir::homePath();
  return withName ? design.absoluteFilePath() : design.absolutePath();
}

ZLKDocumentController& ZLKDocumentController::sharedDocumentController() {
  static ZLKDocumentController controller;
  return controller;
}

ZLKDocument* ZLKDocumentController::currentDocument() const {
  if (auto* active = qobject_cast<ZLKWindowController*>(QApplication::activeWindow()))
    if (ZLKDocument* document = active->document())
      if (std::find(documents_.begin(), documents_.end(), document) != documents_.end())
        return document;
  return documents_.empty() ? nullptr : documents_.front();
}

ZLKDocument* ZLKDocumentController::makeUntitledDocument(bool display) {
  ZLKDocument* document = ZLKDocument::init();
  if (!document) return nullptr;
  documents_.push_back(document);
  document->makeWindowControllers();
  if (display)
    for (ZLKWindowController* window : document->windowControllers()) window->show();
  return document;
}

std::string ZLKDocumentController::alertFileName(const std::string& path) {
  return QFile::encodeName(QFileInfo(QFile::decodeName(path.c_str())).fileName()).toStdString();
}

std::string ZLKDocumentController::fileDisplayName(const std::string& path) {
  return QFile::encodeName(QFileInfo(QFile::decodeName(path.c_str())).completeBaseName()).toStdString();
}

AlertRequest ZLKDocumentController::saveChangesSheet(const ZLKDocument* document, SaveRoad road) {
  AlertRequest request;
  const bool named = document && !document->fileName().empty();
  if (named) {
    request.message = Substitute(
        LocalizedString("Do you want to save the changes you made in the document \"%@\"?"),
        fileDisplayName(document->fileName()));
  } else {
    request.message = "Do you want to save the changes you made in the document Untitled?";
  }
  request.informative = road == SaveRoad::kNew ? "Your changes will be lost if you don't save them"
                                               : "Your changes will be lost if you don't save them.";
  request.buttons = {named ? "Save" : "Save...", "Don't Save", "Cancel"};
  return request;
}

int ZLKDocumentController::sheetReturnCode(int buttonIndex) {
  return buttonIndex == 0 ? 1 : buttonIndex == 1 ? 0 : -1;
}

void ZLKDocumentController::newDocument(std::function<void(bool)> done) {
  ZLKDocument* document = currentDocument();
  ZLKWindowController* window = WindowOf(document);
  if (!document || !window) {
    bool made = makeUntitledDocument() != nullptr;
    if (done) done(made);
    return;
  }
  if (document->isDocumentEdited()) {
    QPointer<ZLKWindowController> target(window);
    ShowAlertWithButtons(saveChangesSheet(document, SaveRoad::kNew), [target, done](int button) {
      if (target) target->saveBeforeCreateDocSheetDidEnd(sheetReturnCode(button), done);
      else if (done) done(false);
    });
    return;
  }
  ZLKDocumentModel* model = document->documentModel();
  model->reinitializeDocumentModel();
  gCurDocument = model;
  AppController::loadColorsForDocument(document);
  window->reinitializeDocumentUI();
  window->designReplaced();
  document->noteDesignChanged();
  if (done) done(true);
}

void ZLKDocumentController::openDocument() {
  ZLKDocument* document = currentDocument();
  ZLKWindowController* window = WindowOf(document);
  if (!document || !window) {
    std::string path = chooseOpenPath ? chooseOpenPath() : std::string();
    if (!path.empty()) openDocumentWithContentsOfFile(path);
    return;
  }
  if (document->isDocumentEdited()) {
    QPointer<ZLKWindowController> target(window);
    ShowAlertWithButtons(saveChangesSheet(document, SaveRoad::kOpen), [target](int button) {
      if (target) target->saveBeforeOpenSheetDidEnd(sheetReturnCode(button));
    });
    return;
  }
  runDesignOpenPanel();
}

void ZLKDocumentController::runDesignOpenPanel() {
  std::string path = chooseOpenPath ? chooseOpenPath() : std::string();
  designFileOpenPanelDidEnd(path.empty() ? 0 : 1, path);
}

void ZLKDocumentController::designFileOpenPanelDidEnd(int returnCode, const std::string& path) {
  ZLKDocument* document = currentDocument();
  if (!document || returnCode != 1 || path.empty()) return;
  ReadDesignInto(document, path, /*reinitializeWindow=*/true);
}

ZLKDocument* ZLKDocumentController::openDocumentWithContentsOfURL(const std::string& path, bool) {
  struct Answer {
    bool given = false, ok = false;
  };
  auto answer = std::make_shared<Answer>();
  ZLKDocument* before = currentDocument();
  // An edited design asks to save first: the document is returned at once, whatever the
  // sheet then answers.
  const bool asksFirst = before && before->isDocumentEdited() && WindowOf(before) && !IsOwnDesignFile(before, path);
  openDocumentWithContentsOfFile(path, [answer](bool ok) {
    answer->given = true;
    answer->ok = ok;
  });
  if (asksFirst || !answer->given) return before;
  return answer->ok ? currentDocument() : nullptr;
}

void ZLKDocumentController::openDocumentWithContentsOfFile(const std::string& path,
                                                           std::function<void(bool)> done) {
  ZLKDocument* document = currentDocument();
  if (!document) {
    document = makeUntitledDocument();
    bool ok = document && ReadDesignInto(document, path, /*reinitializeWindow=*/false);
    if (done) done(ok);
    return;
  }
  if (IsOwnDesignFile(document, path)) {
    if (done) done(true);
    return;
  }
  ZLKWindowController* window = WindowOf(document);
  if (!document->isDocumentEdited() || !window) {
    bool ok = ReadDesignInto(document, path, /*reinitializeWindow=*/false);
    if (done) done(ok);
    return;
  }
  candidatePath_ = path;
  QPointer<ZLKWindowController> target(window);
  ShowAlertWithButtons(saveChangesSheet(document, SaveRoad::kShellOpen), [target, done](int button) {
    if (target) target->saveBeforeShellOpenSheetDidEnd(sheetReturnCode(button), done);
    else if (done) done(false);
  });
}

std::vector<std::string> ZLKDocumentController::recentDocumentPaths() const {
  const UserDefaults& defaults = StandardUserDefaults();
  const int count = std::clamp(defaults.getInt(kRecentCountKey), 0, kMaxRecentDocuments);
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    std::string path = defaults.getString(RecentKey(i));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

namespace {
void StoreRecentDocuments(const std::vector<std::string>& paths) {
  UserDefaults& defaults = StandardUserDefaults();
  const int old = std::clamp(defaults.getInt(kRecentCountKey), 0, ZLKDocumentController::kMaxRecentDocuments);
  for (int i = static_cast<int>(paths.size()); i < old; ++i) defaults.removeKey(RecentKey(i));
  for (size_t i = 0; i < paths.size(); ++i) defaults.setString(RecentKey(static_cast<int>(i)), paths[i]);
  defaults.setInt(kRecentCountKey, static_cast<int>(paths.size()));
}
}  // namespace

void ZLKDocumentController::noteNewRecentDocument(const std::string& path) {
  if (path.empty()) return;
  const QString absolute = QFileInfo(QFile::decodeName(path.c_str())).absoluteFilePath();
  const std::string full = QFile::encodeName(absolute).toStdString();
  std::vector<std::string> paths = recentDocumentPaths();
  paths.erase(std::remove(paths.begin(), paths.end(), full), paths.end());
  paths.insert(paths.begin(), full);
  if (paths.size() > static_cast<size_t>(kMaxRecentDocuments)) paths.resize(kMaxRecentDocuments);
  StoreRecentDocuments(paths);
}

void ZLKDocumentController::clearRecentDocuments() { StoreRecentDocuments({}); }

void ZLKDocumentController::openRecentDocument(const std::string& path) {
  if (path.empty()) return;
  openDocumentWithContentsOfURL(path);
}

void ZLKDocumentController::removeDocument(ZLKDocument* document) {
  auto it = std::find(documents_.begin(), documents_.end(), document);
  if (it == documents_.end()) return;
  documents_.erase(it);
  delete document;
}

void ZLKDocumentController::removeAllDocuments() {
  while (!documents_.empty()) removeDocument(documents_.back());
}

int openFilesFromArguments(const QStringList& files) {
  ZLKDocumentController& controller = ZLKDocumentController::sharedDocumentController();
  if (!controller.currentDocument() && !controller.makeUntitledDocument()) return 0;
  // A read waits for the save question when the open design is edited; it counts later.
  auto opened = std::make_shared<int>(0);
  for (const QString& file : files) {
    if (file.isEmpty()) continue;
    controller.openDocumentWithContentsOfFile(QFile::encodeName(file).toStdString(),
                                              [opened](bool ok) { *opened += ok ? 1 : 0; });
  }
  return *opened;
}
