// The open documents and the File commands that make, open and save them. The program
// keeps one design window: New and Open reuse it once the open design may go.
#pragma once
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

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
  // File > New: after the save question the open design is replaced by a new one
  // (the first design window is made when none is open). done(true) when it was.
  void newDocument(std::function<void(bool)> done = {});
  // File > Open: asks for a design file, then opens it.
  void openDocument();
  // Opens the design at path in the design window, after the save question for the open
  // design. A file that cannot be read leaves the open design as it was and tells the user.
  // done(true) when the design was read.
  void openDocumentWithContentsOfFile(const std::string& path, std::function<void(bool)> done = {});

  // Forgets and deletes the document (its windows stay until they close).
  void removeDocument(ZLKDocument* document);
  void removeAllDocuments();

  // Asks for a design file to open or a path to save to; "" when cancelled. Tests replace them.
  std::function<std::string()> chooseOpenPath;
  std::function<std::string(const std::string& suggested)> chooseSavePath;

 private:
  ZLKDocumentController();
  std::vector<ZLKDocument*> documents_;
};

// Opens the design files the program was started with, as the Open command would, making
// the design window first when none is open. Returns how many were read.
int openFilesFromArguments(const QStringList& files);
