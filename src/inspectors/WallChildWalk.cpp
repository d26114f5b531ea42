// The walk of the selected children of the current floor's walls.
#include "inspectors/WallChildWalk.h"

#include "inspectors/InspectorPane.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"

int ForEachSelectedWallChild(int16_t type, int32_t subtype, bool rebuildWalls,
                             const std::function<bool(Objex* wall, Objex* child)>& f) {
  Layer* layer = InspectorCurLayer();
  if (!layer) return 0;
  int changedWalls = 0;
  // The floor's attached dimensions are measured once, after the last wall is refitted.
  WallDimensionRefreshBatch dimensions;
  for (Objex* wall = layer->firstObject; wall; wall = wall->next) {
    if (wall->type != kObjWall) continue;
    bool changed = false;
    for (Objex* child = wall->firstChild; child;) {
      // The rebuild below may drop a child that no longer fits; the walk never touches it.
      Objex* next = child->next;
      if (child->type == type && (subtype < 0 || child->subtype == subtype) && IsRootObjectSelected(child) &&
          f(wall, child))
        changed = true;
      child = next;
    }
    if (!changed) continue;
    ++changedWalls;
    if (rebuildWalls) {
      UpdateAllWallAttachments(wall);
      ReRenderObject(wall);
    }
  }
  return changedWalls;
}
