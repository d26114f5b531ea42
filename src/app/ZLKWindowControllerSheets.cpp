// The design window's ends of the save-changes sheets and save panels on the roads of New,
// Open and opening a file from the desktop.
#include <QFile>
#include <QFileInfo>

#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKWindowController.h"
#include "building3d/RepeatLimit.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {

ZLKDocumentController& Documents() { return ZLKDocumentController::sharedDocumentController(); }

std::string SavePanelPath() {
  auto& chooser = Documents().chooseSavePath;
  return chooser ? chooser(LocalizedString("Untitled")) : std::string();
}

void Finish(const std::function<void(bool)>& done, bool ok) {
  if (done) done(ok);
}

}  // namespace

bool ZLKWindowController::writeDesign(const std::string& path, bool rename) {
  if (!document_ || !document_->mayReplaceFile(path)) return false;
  if (!document_->writeToFile(path, ZLKDocument::kDesignFileType)) {
    const std::string name = ZLKDocumentController::fileDisplayName(path);
    std::string text = LocalizedString("The document \"%@\" could not be saved as \"%@\".");
    for (int i = 0; i < 2; ++i) {
      const size_t at = text.find("%@");
      if (at != std::string::npos) text.replace(at, 2, name);
    }
    ShowAlert(text, document_->failureReason(), /*sheet=*/false);
    return false;
  }
  if (rename) document_->setFileName(path);
  document_->setDocumentEdited(false);
  return true;
}

void ZLKWindowController::readCandidate(std::function<void(bool)> done) {
  if (!document_) return Finish(done, false);
  const std::string path = Documents().candidatePath();
  RepeatLimitReport repeatLimit;  // one word for the whole open
  if (!document_->readFromFile(path, ZLKDocument::kDesignFileType)) {
    std::string text = LocalizedString("The document \"%@\" could not be loaded.");
    const size_t at = text.find("%@");
    if (at != std::string::npos) text.replace(at, 2, ZLKDocumentController::fileDisplayName(path));
    ShowAlert(text, document_->failureReason(), /*sheet=*/false);
    return Finish(done, false);
  }
  designReplaced();
  document_->setFileName(path);
  Documents().noteNewRecentDocument(path);
  Refresh();
  Finish(done, true);
}

void ZLKWindowController::saveBeforeCreateDocSheetDidEnd(int returnCode, std::function<void(bool)> done) {
  if (!document_ || (returnCode != 1 && returnCode != 0)) return Finish(done, false);
  if (returnCode == 1) {
    if (document_->fileName().empty()) {
      const std::string path = SavePanelPath();
      return designCreateDocOpSavePanelDidEnd(path.empty() ? 0 : 1, path, std::move(done));
    }
    if (!writeDesign(document_->fileName(), false)) return Finish(done, false);
  }
  document_->setDocumentEdited(false);
  document_->undoManager().removeAllActions();
  Documents().newDocument(std::move(done));
}

void ZLKWindowController::designCreateDocOpSavePanelDidEnd(int returnCode, const std::string& path,
                                                           std::function<void(bool)> done) {
  if (!document_ || returnCode != 1 || path.empty()) return Finish(done, false);
  if (!writeDesign(path, false)) return Finish(done, false);
  document_->undoManager().removeAllActions();
  Documents().newDocument(std::move(done));
}

void ZLKWindowController::saveBeforeOpenSheetDidEnd(int returnCode) {
  if (!document_ || (returnCode != 1 && returnCode != 0)) return;
  if (returnCode == 1) {
    if (document_->fileName().empty()) {
      const std::string path = SavePanelPath();
      return designOpenOpSavePanelDidEnd(path.empty() ? 0 : 1, path);
    }
    if (!writeDesign(document_->fileName(), false)) return;
  }
  Documents().runDesignOpenPanel();
}

void ZLKWindowController::designOpenOpSavePanelDidEnd(int returnCode, const std::string& path) {
  if (!document_ || returnCode != 1 || path.empty()) return;
  if (!writeDesign(path, true)) return;
  Documents().runDesignOpenPanel();
}

void ZLKWindowController::saveBeforeShellOpenSheetDidEnd(int returnCode, std::function<void(bool)> done) {
  if (!document_ || (returnCode != 1 && returnCode != 0)) return Finish(done, false);
  if (returnCode == 1) {
    if (document_->fileName().empty()) {
      const std::string path = SavePanelPath();
      return designShellOpenOpSavePanelDidEnd(path.empty() ? 0 : 1, path, std::move(done));
    }
    if (!writeDesign(document_->fileName(), false)) return Finish(done, false);
  }
  readCandidate(std::move(done));
}

void ZLKWindowController::designShellOpenOpSavePanelDidEnd(int returnCode, const std::string& path,
                                                           std::function<void(bool)> done) {
  if (!document_ || returnCode != 1 || path.empty()) return Finish(done, false);
  if (!writeDesign(path, true)) return Finish(done, false);
  document_->undoManager().removeAllActions();
  readCandidate(std::move(done));
}
