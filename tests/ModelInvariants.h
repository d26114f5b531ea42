// One check of a document's structural invariants, called by tests after edits: unique
// object and point IDs below the counters, point counts, parent and layer links of every
// child, and attachment anchors that are points of their parent.
#pragma once
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"

namespace modelcheck {

struct Checker {
  const DocState* ds;
  std::set<uint32_t> objectIDs, pointIDs;
  std::ostringstream errors;

  void object(const Objex* o, const Objex* parent, const Layer* layer) {
    if (o->objectID == 0 || o->objectID >= ds->nextObjectID)
      errors << "object " << o->objectID << " outside the counter\n";
    if (!objectIDs.insert(o->objectID).second) errors << "object ID " << o->objectID << " twice\n";
    if (o->parent != parent) errors << "object " << o->objectID << " has the wrong parent\n";
    if (o->layer != layer) errors << "object " << o->objectID << " has the wrong layer\n";
    int32_t count = 0;
    const Poinz* prev = nullptr;
    for (const Poinz* p = o->firstPoint; p; prev = p, p = p->next, ++count) {
      if (p->prev != prev) errors << "point " << p->pointID << " has a broken prev link\n";
      if (p->owner != o) errors << "point " << p->pointID << " has the wrong owner\n";
      if (p->pointID == 0 || p->pointID >= ds->nextPointID)
        errors << "point " << p->pointID << " outside the counter\n";
      if (!pointIDs.insert(p->pointID).second) errors << "point ID " << p->pointID << " twice\n";
    }
    if (count != o->pointCount)
      errors << "object " << o->objectID << " counts " << o->pointCount << " points, holds " << count << "\n";
    const Objex* prevChild = nullptr;
    for (const Objex* c = o->firstChild; c; prevChild = c, c = c->next) {
      if (c->prev != prevChild) errors << "child " << c->objectID << " has a broken prev link\n";
      object(c, o, layer);
      if (const DoorWindowData* d = AttachmentData(c)) {
        if (o->type != kObjWall && o->type != kObjDeck) continue;
        for (const Poinz* anchor : {d->anchorStart, d->anchorEnd}) {
          bool found = false;
          for (const Poinz* p = o->firstPoint; p; p = p->next) found = found || p == anchor;
          if (anchor && !found) errors << "attachment " << c->objectID << " anchored off its wall\n";
        }
      }
    }
  }
};

// Empty when the current document is sound; otherwise one line per fault.
inline std::string Check() {
  if (!gCurDocument || !gCurDocument->itsDocState) return "no current document\n";
  Checker c{gCurDocument->itsDocState, {}, {}, {}};
  const Layer* prevLayer = nullptr;
  for (const Layer* l = gCurDocument->itsLayers; l; prevLayer = l, l = l->next) {
    if (l->prev != prevLayer) c.errors << "layer " << l->name << " has a broken prev link\n";
    const Objex* prev = nullptr;
    for (const Objex* o = l->firstObject; o; prev = o, o = o->next) {
      if (o->prev != prev) c.errors << "object " << o->objectID << " has a broken prev link\n";
      c.object(o, nullptr, l);
    }
  }
  return c.errors.str();
}

}  // namespace modelcheck

#define EXPECT_MODEL_SOUND() EXPECT_EQ(modelcheck::Check(), "")
