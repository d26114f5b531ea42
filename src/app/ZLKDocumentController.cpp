// The open documents and the File commands New, Open and the panels they use.
#include "app/ZLKDocumentController.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <algorithm>
#include <memory>

#include "app/AppController.h"
#include "app/ZLKDocument.h"
#include "app/ZLKWindowController.h"
#include "model/DocumentModel.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {

QString Localized(const char* key) { return QString::fromStdString(LocalizedString(key)); }

QString DesignFilter() { return Localized("Designs") + QStringLiteral(" (*.pro)"); }

std::string AskOpenPath() {
  QString path = QFileDialog::getOpenFileName(AppController::mainWindowController(),
                                              Localized("Open"), QString(), DesignFilter());
  return path.isEmpty() ? std::string() : std::string(QFile::encodeName(path).constData());
}

std::string AskSavePath(const std::string& suggested) {
  QString path = QFileDialog::getSaveFileName(AppController::mainWindowController(),
                                              Localized("Save"), QFile::decodeName(suggested.c_str()),
                                              DesignFilter());
  if (path.isEmpty()) return {};
  if (!path.endsWith(QStringLiteral(".pro"), Qt::CaseInsensitive)) path += QStringLiteral(".pro");
  return std::string(QFile::encodeName(path).constData());
}

}  // namespace

ZLKDocumentController::ZLKDocumentController() : chooseOpenPath(AskOpenPath), chooseSavePath(AskSavePath) {}

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

void ZLKDocumentController::newDocument(std::function<void(bool)> done) {
  ZLKDocument* document = currentDocument();
  if (!document) {
    bool made = makeUntitledDocument() != nullptr;
    if (done) done(made);
    return;
  }
  QPointer<ZLKDocument> target(document);
  document->canCloseDocument([target, done](bool mayGo) {
    if (!mayGo || !target) {
      if (done) done(false);
      return;
    }
    target->documentModel()->reinitializeDocumentModel();
    gCurDocument = target->documentModel();
    target->noteDesignChanged();
    if (done) done(true);
  });
}

void ZLKDocumentController::openDocument() {
  std::string path = chooseOpenPath ? chooseOpenPath() : std::string();
  if (!path.empty()) openDocumentWithContentsOfFile(path);
}

void ZLKDocumentController::openDocumentWithContentsOfFile(const std::string& path,
                                                           std::function<void(bool)> done) {
  auto read = [path, done](ZLKDocument* document) {
    bool ok = document->readFromFile(path, ZLKDocument::kDesignFileType);
    if (ok) document->setFileName(path);
    else ShowAlert("The design could not be opened.", path);
    if (done) done(ok);
  };
  ZLKDocument* document = currentDocument();
  if (!document) {
    document = makeUntitledDocument();
    if (!document) {
      if (done) done(false);
      return;
    }
    read(document);
    return;
  }
  QPointer<ZLKDocument> target(document);
  document->canCloseDocument([target, read, done](bool mayGo) {
    if (mayGo && target) read(target.data());
    else if (done) done(false);
  });
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
