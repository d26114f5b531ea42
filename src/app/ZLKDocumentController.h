// The open documents and the File commands that make, open and save them. The program
// keeps one design window: New and Open reuse it once the open design may go.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "platform/Alerts.h"

class ZLKDocument;

class ZLKDocumentController {
 public:
  static ZLKDocumentController& sharedDocumentController();

  const std::vector<ZLKDocument*>& documents() const { return documents_; }
  // The document of the active design window, else the first open; null when none.
  ZLKDocument* currentDocument() const;

  // A new untitled document with its design window (shown when asked); null when the
  // model cannot be made.
  ZLKDocument* makeUntitledDocument(bool display = true);

  // File > New. Without a design window, a new document with its window. An edited design
  // first asks to save (the save-changes sheet; Cancel stops). Then the window's model and
  // window are re-initialised for an empty new design. done(true) when that happened.
  void newDocument(std::function<void(bool)> done = {});
  // File > Open. Without a design window, the panel and a new document for the file. An
  // edited design first asks to save; then the open panel (runDesignOpenPanel).
  void openDocument();
  // The design open panel: chooseOpenPath, then designFileOpenPanelDidEnd.
  void runDesignOpenPanel();
  // End of the open panel (1 with a path): the file is read into the design window, which is
  // re-initialised; a file that cannot be read leaves the open design as it was and alerts
  // "The document "<name>" could not be loaded.".
  void designFileOpenPanelDidEnd(int returnCode, const std::string& path);

  // Opening a design file from the desktop (program arguments). The open design's own file
  // (compared without regard to case) is returned unread; a clean design is replaced by the
  // file when it can be read (else the alert above and null); an edited design keeps the
  // path as candidatePath(), asks to save, returns the document at once and reads the file
  // after Save or Don't Save. The display flag is not used.
  ZLKDocument* openDocumentWithContentsOfURL(const std::string& path, bool display = true);
  // The same, with done(true) once the file was read (or was the open design's own).
  void openDocumentWithContentsOfFile(const std::string& path, std::function<void(bool)> done = {});
  // The path the desktop asked to open while the design was edited.
  const std::string& candidatePath() const { return candidatePath_; }

  // Which road asks the save-changes question.
  enum class SaveRoad { kNew, kOpen, kShellOpen };
  // The save-changes sheet for the document (buttons Save, Don't Save, Cancel).
  static AlertRequest saveChangesSheet(const ZLKDocument* document, SaveRoad road);
  // A sheet's button index as its return code: 1 Save, 0 Don't Save, -1 Cancel.
  static int sheetReturnCode(int buttonIndex);
  // The name a file is shown by in messages: its last path component without extension.
  static std::string fileDisplayName(const std::string& path);
  // The file's name with its extension, as the alerts about a design's contents show it.
  static std::string alertFileName(const std::string& path);

  // Recent designs (File > Open Recent), newest first, at most kMaxRecentDocuments, kept in
  // the user defaults. Noting a path moves it to the top; "Clear Menu" empties the list.
  static constexpr int kMaxRecentDocuments = 10;
  void noteNewRecentDocument(const std::string& path);
  std::vector<std::string> recentDocumentPaths() const;
  void clearRecentDocuments();
  // An entry of the menu: the path is opened as from the desktop (with the save question
  // for an edited design); a file that cannot be read alerts and changes nothing.
  void openRecentDocument(const std::string& path);

  // Forgets and deletes the document (its windows stay until they close).
  void removeDocument(ZLKDocument* document);
  void removeAllDocuments();

  // The file-type choices of the Open panel (designs, then every file: a design is known by
  // its header, not its name) and of the Save panel (designs).
  static QString openPanelFilters();
  static QString savePanelFilters();
  // Where a panel starts: the folder of the design file given (the file itself when
  // withName), else the user's home folder.
  static QString panelStartPath(const std::string& designPath, bool withName);

  // Asks for a design file to open or a path to save to; "" when cancelled. Tests replace them.
  std::function<std::string()> chooseOpenPath;
  std::function<std::string(const std::string& suggested)> chooseSavePath;

 private:
  ZLKDocumentController();
  std::vector<ZLKDocument*> documents_;
  std::string candidatePath_;
};

// Opens the design files the program was started with, as the Open command would, making
// the design window first when none is open. Returns how many were read.
int openFilesFromArguments(const QStringList& files);
