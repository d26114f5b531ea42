// The document of one design: owns its model, reads and writes design files, routes
// undo and redo to the snapshot ring and asks to save before an edited design goes.
#pragma once
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

#include "platform/UndoNames.h"

class QPrinter;
class QWidget;
class ZLKDocumentModel;
class ZLKWindowController;
struct FloatRect;

class ZLKDocument : public QObject {
  Q_OBJECT
 public:
  // The design file type of the document and the open and save panels.
  static constexpr const char* kDesignFileType = "pro";

  // A document with a new model, which is the current document from then on: undo settings
  // from the user defaults, the symbol lists loaded once. Null when the model cannot be made.
  static ZLKDocument* init();
  ~ZLKDocument() override;

  ZLKDocumentModel* documentModel() const { return model_; }
  UndoNameStack& undoManager() { return undoManager_; }

  // Creates the design window, shows nothing yet.
  void makeWindowControllers();
  void addWindowController(ZLKWindowController* controller);
  QList<ZLKWindowController*> windowControllers() const;

  // Writes the design at path; false when it could not be written (an existing file stays
  // as it was).
  bool writeToFile(const std::string& path, const std::string& type);
  // Reads the design file at path in place of the open design: the open design stays as it
  // was when the file is refused (false). On success the design is clean, deselected, with
  // no undo actions, its trace image loaded and one undo snapshot.
  bool readFromFile(const std::string& path, const std::string& type);
  // After a read that left objects out (the user was told), saving over that file asks first:
  // true when path is not that file or the user agreed (no further question then), false when
  // the user cancelled.
  bool mayReplaceFile(const std::string& path);
  // Why the last readFromFile or writeToFile failed, in one sentence for the alert's
  // informative text ("" after a success).
  const std::string& failureReason() const { return failureReason_; }
  // Loads the image the DocState's trace-image path names; when it cannot be read, alerts
  // "FloorPlan trace image could not be found." and leaves no image (false).
  bool loadTraceImageFromDocState();

  // The undo-name stack's undo and redo: the previous or next snapshot of the ring.
  void performUndo();
  void performRedo();

  // Where the design was last read or saved ("" = untitled).
  const std::string& fileName() const { return fileName_; }
  void setFileName(const std::string& path);
  // The file's name without its folder, or "Untitled".
  QString displayName() const;
  bool isDocumentEdited() const;
  void setDocumentEdited(bool edited);

  const QImage& traceImage() const { return traceImage_; }
  // Replaces the trace image with the image file at path; false (no image) when unreadable.
  bool setTraceImageFromFile(const char* path);
  void clearTraceImage() { traceImage_ = QImage(); }

  // Saves to fileName(), or asks for a path first when untitled; false when cancelled or
  // not written (the user is told).
  bool saveDocument();
  // Asks for a path, then saves there.
  bool saveDocumentAs();
  // The close check: an edited design asks Save / Don't Save / Cancel; done(true) when the
  // design may go (saved, or its changes dropped), done(false) when cancelled or unsaved.
  void canCloseDocumentWithDelegate(std::function<void(bool)> done);

  // Printing the plan of the current document. Both commands show the print panel, then put
  // the zoom values, the print scales and the page translation back as they were, printed
  // or cancelled. Nothing is printed without a document, DocState or layers, or when
  // nothing lies on the current plan.
  // The plan fitted to one page, centred on it.
  void printShowingPrintPanel(bool showPanel = true);
  // The plan at its plan scale, centred, tiled over as many pages as it needs.
  void printToScaleShowingPrintPanel();
  // Grows drawing by 72 on each side (in place) and returns the scale at which it fits
  // paper; 1.0 when either is missing.
  static float calculatePaperScaleWithDrawingBounds(FloatRect* drawing, const FloatRect* paper);
  // The current document's to-scale print scale from its plan-scale code and measurement
  // system; grows drawing by 72 on each side. 1.0 (drawing untouched) without a document,
  // DocState or rectangle.
  static float calculateTileScaleWithDrawingBounds(FloatRect* drawing);
  // End of a print run: the saved zoom values go back into the current DocState.
  void documentDidRunModalPrintOperation(bool success);

  // Paper size and margins the print commands start from (invalid until the first print:
  // the printer's own default), kept as the print panel left them.
  QPageLayout& printInfo() { return printInfo_; }
  // The paper and margins a print starts from: the print info, or until it is set the
  // printer's own default (never an empty page).
  QPageLayout printLayout() const;
  // The print panel: true to print on the printer as the user set it up. Tests replace it
  // (for instance with one that aims the printer at a PDF file); by default a QPrintDialog.
  static std::function<bool(QPrinter& printer, QWidget* parent)>& printPanelRunner();

  // The design was replaced, saved or renamed: windows refresh their title and view.
  void noteDesignChanged() { Q_EMIT designChanged(); }

 Q_SIGNALS:
  void designChanged();

 private:
  ZLKDocument() = default;
  bool saveToFile(const std::string& path);
  void printPlan(bool toScale);

  float savedZoom = 0, savedTopZoom = 0, saved3DZoom = 0;

  ZLKDocumentModel* model_ = nullptr;
  UndoNameStack undoManager_;
  std::string fileName_;
  std::string failureReason_;
  // The file the design was read from when objects were left out ("" otherwise) and how many.
  std::string leftOutFile_;
  int32_t leftOutCount_ = 0;
  QImage traceImage_;
  QPageLayout printInfo_;
  QList<QPointer<ZLKWindowController>> windowControllers_;
};
