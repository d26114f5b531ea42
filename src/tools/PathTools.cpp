// The pathway and driveway tool: the centre line is entered like any outline, then takes the
// path defaults of the document.
#include "tools/PathTools.h"

#include "model/DeckFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/WallFields.h"
#include "building3d/RenderRoad.h"
#include "tools/PolygonEntry.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {
constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr int32_t kLandscapePlanMask = 1 << kPlanLandscape;
}  // namespace

Objex* TrackPath(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  const uint8_t curved = StraightPathsOf(ds) ? 0 : 1;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, curved, 0, 1, kObjPath);
  if (!o || stage != kTrackEnd) return nullptr;
  o->type = kObjPath;
  o->planMask = kLandscapePlanMask;
  o->width = ds->pathWidth;
  o->penColor = o->fillColor = MaterialTableColor(ds->pathMaterial);
  OnTopographyOf(o) = 1;
  WallAlignmentOf(o) = 0;
  o->textureID = ds->pathMaterial;
  StraightPathOf(o) = StraightPathsOf(ds);
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = gPathDefaultTexture;
    p->color[0] = p->color[1] = kWhite;
    p->textureScale[0] = p->textureScale[1] = ShortPoint{100, 100};
  }
  o->fillPattern = 0;
  Update3DPath(o);
  RenderSingleObject(o);
  return o;
}
