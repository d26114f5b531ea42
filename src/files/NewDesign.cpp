// A new design in a document model: the fresh state with its first undo snapshot.
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "platform/UndoNames.h"

ZLKDocumentModel* ZLKDocumentModel::init() {
  ZLKDocumentModel* previous = gCurDocument;
  ZLKDocumentModel* model = alloc();
  if (!model) return nullptr;
  gCurDocument = model;
  if (!model->buildFreshState()) {
    release(model);
    gCurDocument = previous;
    return nullptr;
  }
  InitializeUndo();
  return model;
}

void ZLKDocumentModel::reinitializeDocumentModel() {
  sanitizeUndoFiles();
  deleteContents();
  itsFirstUndo = itsLastUndo = itsCurrentUndo = -1;
  itsEdited = false;
  if (itsUndoManager) itsUndoManager->removeAllActions();
  if (gFrontEnd.documentReinitialized) gFrontEnd.documentReinitialized(this);
  if (!buildFreshState()) return;
  CurrentDocumentScope scope(this);
  InitializeUndo();
}
