// The application delegate: the user defaults it registers, the front-end services it
// gives the core, and the road from the current document to its window and plan view.
#pragma once
#include <cstdint>

class ZLKDocument;
class ZLKDocumentView;
class ZLKWindowController;

class AppController {
 public:
  // Registers the undo defaults ("UndoEnabled" YES, "UndoLevels" 200) on the standard user
  // defaults and installs the services the core calls (trace image reload, floor pop-up, a
  // model made anew, the model's road to StoreUndo). Safe to repeat.
  static void initialize();

  // The open document whose model is gCurDocument; null when none.
  static ZLKDocument* mainWindowDocument();
  // The first window controller of mainWindowDocument(); null when none.
  static ZLKWindowController* mainWindowController();
  // The plan view of mainWindowController(); null when none.
  static ZLKDocumentView* mainWindowDocumentView();
  // The login session's id; the first number of every undo file name.
  static int32_t sessionID();
};
