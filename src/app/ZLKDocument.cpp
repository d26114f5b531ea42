// The design document: its model, reading and writing, undo and the close check.
#include "app/ZLKDocument.h"
#include "app/LiveViewController.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "app/AppController.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKWindowController.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/ObjectRecords.h"
#include "files/SymbolFile.h"
#include "files/Undo.h"
#include "inspectors/SnapPaletteController.h"
#include "app/AddkitDispatcher.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Readouts.h"
#include "model/TexturePaths.h"
#include "model/Services.h"
#include "model/TransformGuard.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "platform/UserDefaults.h"
#include "plandraw/qt/ImageLoader.h"

namespace {

// "1 object", "3 objects".
std::string CountText(int32_t n, const char* noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

// The format with %@ replaced by the file's name.
std::string SubstituteName(std::string format, const std::string& path) {
  const size_t at = format.find("%@");
  if (at != std::string::npos) format.replace(at, 2, ZLKDocumentController::alertFileName(path));
  return format;
}

// Whether both paths name the same file (the same text when either cannot be looked at).
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(a, b, error);
  return error ? a == b : same;
}

// The plan's limit as a length of the current design, as its readouts show lengths.
std::string PlanLimitText() {
  char text[kReadoutTextSize] = {};
  ConvertInchesToStr(PlanCoordinateLimitLength(CurDocState()), text);
  return text;
}

// How many objects a read left out and why, for the alert's informative text (the limit in the
// units of the design read, which is the current one).
std::string LeftOutText(const ObjectsLeftOut& leftOut) {
  std::vector<std::string> reasons;
  if (leftOut.badPoints)
    reasons.push_back(std::to_string(leftOut.badPoints) + (leftOut.badPoints == 1 ? " has" : " have") +
                      " a point that is not a number or lies more than " + PlanLimitText() + " from the origin");
  if (leftOut.tooFewPoints)
    reasons.push_back(std::to_string(leftOut.tooFewPoints) +
                      (leftOut.tooFewPoints == 1 ? " has" : " have") + " too few points for its kind");
  if (leftOut.oldStockPlants)
    reasons.push_back(std::to_string(leftOut.oldStockPlants) +
                      (leftOut.oldStockPlants == 1 ? " is a plant" : " are plants") +
                      " of an older library that is no longer supplied");
  std::string text = CountText(leftOut.total(), "object") + " left out: ";
  for (size_t i = 0; i < reasons.size(); ++i) text += (i ? "; " : "") + reasons[i];
  return text + ". The file stays as it is until you save the design.";
}

}  // namespace

ZLKDocument* ZLKDocument::init() {
  auto* document = new ZLKDocument;
  document->model_ = ZLKDocumentModel::init();
  if (!document->model_) {
    delete document;
    return nullptr;
  }
  document->model_->itsUndoManager = &document->undoManager_;

  AppController::initialize();
  UserDefaults& defaults = StandardUserDefaults();
  gUndoActive = defaults.getBool("UndoEnabled") ? 1 : 0;
  const int levels = AppController::undoLevelsPreference();
  document->undoManager_.setLevelsOfUndo(static_cast<size_t>(levels));
  // One snapshot ring size serves every open design: it follows the preference while no design
  // is open, and again (every ring started afresh) when the preference changes.
  if (ZLKDocumentController::sharedDocumentController().documents().empty()) SetUndoLevels(levels);
  document->undoManager_.onUndo = [document] { document->performUndo(); };
  document->undoManager_.onRedo = [document] { document->performRedo(); };

  if (!gSymbol2DList) Load2DSymbolList();
  if (!gSymbol3DList) Load3DSymbolList();
  // The first design since start brings the palettes up before its window is made, so that
  // the window opens beside them.
  if (ZLKDocumentController::sharedDocumentController().documents().empty())
    AppController::restoreAllVisiblePanels();
  return document;
}

ZLKDocument::~ZLKDocument() {
  if (model_) {
    // A plug-in still holding the design is asked to quit: its lock would outlive the design.
    AddkitDispatcher::sharedAddkitDispatcher().forceQuitAddkitOwnedByDocument(model_);
    model_->itsUndoManager = nullptr;
    ZLKDocumentModel::release(model_);
  }
}

void ZLKDocument::makeWindowControllers() {
  auto* controller = new ZLKWindowController;
  controller->setAttribute(Qt::WA_DeleteOnClose);
  addWindowController(controller);
}

void ZLKDocument::addWindowController(ZLKWindowController* controller) {
  if (!controller || windowControllers().contains(controller)) return;
  windowControllers_.append(controller);
  controller->setDocument(this);
}

QList<ZLKWindowController*> ZLKDocument::windowControllers() const {
  QList<ZLKWindowController*> live;
  for (const auto& c : windowControllers_)
    if (c) live.append(c.data());
  return live;
}

bool ZLKDocument::writeToFile(const std::string& path, const std::string&) {
  failureReason_.clear();
  if (!model_) return false;
  CurrentDocumentScope scope(model_);
  if (KeyFileWrite(path.c_str())) return true;
  failureReason_ = FileProblemText(LastFileProblem());
  return false;
}

bool ZLKDocument::readFromFile(const std::string& path, const std::string&) {
  failureReason_.clear();
  if (!model_) return false;
  gCurDocument = model_;
  // The file is read into a design of its own first, so that a refused file leaves the
  // open design untouched.
  ZLKDocumentModel read;
  read.itsDocID = model_->itsDocID;
  bool ok;
  ObjectsLeftOut leftOut;
  {
    CurrentDocumentScope scope(&read);
    ok = read.buildFreshState() && KeyFileRead(path.c_str(), &leftOut) && read.itsDocState;
  }
  if (!ok) {
    failureReason_ = FileProblemText(LastFileProblem());
    ReleaseModelContents(&read);
    ZLKDocument* current = ZLKDocumentController::sharedDocumentController().currentDocument();
    if (current && current->documentModel()) gCurDocument = current->documentModel();
    return false;
  }

  // The open design goes with its undo files and cached textures; the read one takes its place.
  model_->sanitizeUndoFiles();
  model_->deleteAllCachedCustomTextures();
  model_->swapDesignWith(read);
  ReleaseModelContents(&read);
  model_->itsFirstUndo = model_->itsLastUndo = model_->itsCurrentUndo = -1;
  undoManager_.removeAllActions();
  clearTraceImage();

  loadTraceImageFromDocState();
  // A design read with nothing selected need not be gone over to deselect it.
  if (model_->itsLayers) {
    if (ReadSawSelection()) SelectAllLayers(model_->itsLayers, kSelectOff, 0);
    else DeselectAllLayersHoldingNone(model_->itsLayers);
  }
  // The plan colours are the preferences': the first snapshot holds the design as it is shown.
  AppController::loadColorsForDocument(this);
  InitializeUndo();
  MarkDesignEdited(model_, false);
  leftOutFile_.clear();
  leftOutCount_ = leftOut.total();
  if (leftOutCount_ > 0) {
    leftOutFile_ = path;
    ShowAlert(SubstituteName(LocalizedString("Some objects in \"%@\" could not be read and were left out."),
                             path),
              LeftOutText(leftOut), /*sheet=*/false);
  }
  if (leftOut.groupsTooDeep > 0) {
    const bool one = leftOut.groupsTooDeep == 1;
    ShowAlert(SubstituteName(LocalizedString("Some groups in \"%@\" stood too deep in other groups."), path),
              CountText(leftOut.groupsTooDeep, "group") + " more than " + std::to_string(kMaxGroupNesting) +
                  " levels down in groups " + (one ? "was" : "were") + " opened as " + (one ? "its" : "their") +
                  " objects in the group around " + (one ? "it" : "them") +
                  ": a cabinet or a symbol among them is now loose parts.",
              /*sheet=*/false);
  }
  if (leftOut.elevationsReset > 0)
    ShowAlert(SubstituteName(LocalizedString("Some objects in \"%@\" had an elevation that is not a number."), path),
              CountText(leftOut.elevationsReset, "object") +
                  (leftOut.elevationsReset == 1 ? " now stands" : " now stand") + " at elevation 0.",
              /*sheet=*/false);
  Q_EMIT designChanged();
  return true;
}

bool ZLKDocument::mayReplaceFile(const std::string& path) {
  if (leftOutFile_.empty() || !SameFile(path, leftOutFile_)) return true;
  AlertRequest question;
  question.message = SubstituteName(
      LocalizedString("Do you want to replace \"%@\" without the objects left out when it was opened?"), path);
  question.informative =
      CountText(leftOutCount_, "object") + " of the file could not be read. Saving replaces the file with "
      "the design as it is now, and they are lost.";
  question.buttons = {"Replace", "Cancel"};
  question.sheet = false;
  // A presenter that answers only later counts as Cancel (nothing is written then).
  auto answer = std::make_shared<int>(1);
  ShowAlertWithButtons(question, [answer](int button) { *answer = button; });
  if (*answer != 0) return false;
  leftOutFile_.clear();
  return true;
}

bool ZLKDocument::loadTraceImageFromDocState() {
  DocState* ds = model_ ? model_->itsDocState : nullptr;
  if (!ds || !ds->traceImagePath[0]) return true;
  char path[sizeof ds->traceImagePath];
  std::memcpy(path, ds->traceImagePath, sizeof path);
  path[sizeof path - 1] = 0;
  Validate512Pathname(path);
  if (setTraceImageFromFile(path)) return true;
  ShowAlert("FloorPlan trace image could not be found.",
            "Please make sure the file exists and you have adequate permissions to access it.",
            /*sheet=*/false);
  return false;
}

bool ZLKDocument::setTraceImageFromFile(const char* path) {
  traceImage_ = QImage();
  if (!path || !path[0]) return false;
  // Through the one image loader, which refuses images too large to hold before decoding.
  QImage image = LoadImageFile(QFile::decodeName(path));
  if (image.isNull()) return false;
  traceImage_ = image;
  return true;
}

void ZLKDocument::performUndo() {
  if (!model_) return;
  CurrentDocumentScope scope(model_);
  DoUndo();
  AppController::loadColorsForDocument(this);
  // A step may change the units the snap offset is shown in (the palette shows the current
  // design's).
  if (scope.saved == model_) SnapPaletteController::sharedSnapPaletteController().updateSnapOffsetText();
  Q_EMIT designChanged();
}

void ZLKDocument::performRedo() {
  if (!model_) return;
  CurrentDocumentScope scope(model_);
  DoRedo();
  AppController::loadColorsForDocument(this);
  // A step may change the units the snap offset is shown in (the palette shows the current
  // design's).
  if (scope.saved == model_) SnapPaletteController::sharedSnapPaletteController().updateSnapOffsetText();
  Q_EMIT designChanged();
}

void ZLKDocument::setFileName(const std::string& path) {
  fileName_ = path;
  Q_EMIT designChanged();
}

QString ZLKDocument::displayName() const {
  if (fileName_.empty()) return QString::fromStdString(LocalizedString("Untitled"));
  return QFileInfo(QFile::decodeName(fileName_.c_str())).fileName();
}

bool ZLKDocument::isDocumentEdited() const { return model_ && model_->itsEdited; }

void ZLKDocument::setDocumentEdited(bool edited) {
  if (!model_) return;
  MarkDesignEdited(model_, edited);
  Q_EMIT designChanged();
}

bool ZLKDocument::saveToFile(const std::string& path) {
  if (!mayReplaceFile(path)) return false;
  if (!writeToFile(path, kDesignFileType)) {
    ShowAlert("The design could not be saved.", failureReason_);
    return false;
  }
  fileName_ = path;
  setDocumentEdited(false);
  return true;
}

bool ZLKDocument::saveDocument() {
  if (fileName_.empty()) return saveDocumentAs();
  return saveToFile(fileName_);
}

bool ZLKDocument::saveDocumentAs() {
  auto& chooser = ZLKDocumentController::sharedDocumentController().chooseSavePath;
  std::string path = chooser ? chooser(fileName_) : std::string();
  if (path.empty()) return false;
  return saveToFile(path);
}

void ZLKDocument::canCloseDocumentWithDelegate(std::function<void(bool)> done) {
  // The 3D window shows this design: it goes before the design, but only once the design may
  // close, so that a Cancel leaves every window as it was.
  auto closing = [done](bool mayClose) {
    if (mayClose && LiveViewController::exists() && LiveViewController::sharedLiveViewController()->isVisible()) {
      LiveViewController::sharedLiveViewController()->orderOut();
      LiveViewController::sharedLiveViewController()->close();
    }
    if (done) done(mayClose);
  };
  if (!isDocumentEdited()) {
    closing(true);
    return;
  }
  // The same question as before New and Open replace the design.
  const AlertRequest request =
      ZLKDocumentController::saveChangesSheet(this, ZLKDocumentController::SaveRoad::kOpen);
  QPointer<ZLKDocument> self(this);
  ShowAlertWithButtons(request, [self, closing](int button) {
    bool mayClose = false;
    if (self && button == 0) mayClose = self->saveDocument();
    else if (self && button == 1) mayClose = true;
    closing(mayClose);
  });
}
