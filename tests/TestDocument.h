// A document for core tests: a model with a DocState and the three floors,
// made current for the life of the fixture and freed afterwards.
#pragma once
#include <cstdlib>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"


struct TestDocument {
  ZLKDocumentModel model;
  ZLKDocumentModel* previous;
  Layer* first = nullptr;
  Layer* second = nullptr;
  Layer* third = nullptr;
  int32_t claimed = 0;

  TestDocument() : previous(gCurDocument) {
    // An id of its own: test programs run side by side share the temporary folder, and two
    // models of one id would restore each other's undo snapshots.
    model.claimDocumentID();
    claimed = model.itsDocID;
    gCurDocument = &model;
    model.itsDocState = CreateDocState();
    first = CreateLayer("First Floor", 1, 1, nullptr);
    second = CreateLayer("Second Floor", 1, 0, nullptr);
    third = CreateLayer("Third Floor", 1, 0, nullptr);
    AppendLayerToDocument(first);
    AppendLayerToDocument(second);
    AppendLayerToDocument(third);
  }

  ~TestDocument() {
    ReleaseModelContents(&model);
    // A test may have named the model otherwise: its files go, and the id drawn is given up.
    model.sanitizeUndoFiles();
    model.itsDocID = claimed;
    model.giveUpDocumentID();
    gCurDocument = previous;
  }

  DocState* ds() { return model.itsDocState; }

  // An object of `type` on `layer` (the current layer by default) through the given
  // plan points (x, z pairs), y = 0.
  Objex* addObject(int16_t type, bool closed, std::initializer_list<std::pair<float, float>> pts,
                   Layer* layer = nullptr) {
    RGBColor black{};
    Objex* o = CreateObject(type, closed, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr);
    for (auto [x, z] : pts)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    AppendObjectToLayer(o, layer ? layer : model.itsCurLayer);
    return o;
  }
};

// A skylight outline on no layer, shaped as a diamond 20 across: corners (10, 0), (20, 10),
// (10, 20), (0, 10). On a slope falling diagonally its box's corners lie higher and lower on
// the plane than the diamond itself.
inline Objex* DiamondSkylightOutline() {
  const RGBColor black{};
  Objex* o = CreateObject(kObjSkylightOutline, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr);
  for (auto [x, z] : {std::pair{10.0f, 0.0f}, {20.0f, 10.0f}, {10.0f, 20.0f}, {0.0f, 10.0f}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
  o->pointCount = 4;
  return o;
}
