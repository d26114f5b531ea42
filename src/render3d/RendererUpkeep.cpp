// Renderer upkeep: an edited object's plane objects are rebuilt while the 3D window shows,
// otherwise the scene is marked stale for a whole rebuild when the window is next shown.
#include "render3d/RendererUpkeep.h"

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/Services.h"
#include "model/Records.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RealTimeScene.h"
#include "render3d/TopoCutouts.h"


namespace render3d {
void ReRenderObject(Objex* object) {
  NoteServiceCall("ReRenderObject", object);
  NoteSceneObjectsChanged();
  if (!LiveViewControllerExists()) return;
  // A scene that will be rebuilt whole needs no single forced rebuild.
  if (!gGLPlaneObjects || gRenderOnShow) gForceRenderObjectNow = 0;
  if (!gForceRenderObjectNow) {
    if (!LiveViewWindowVisible()) {
      gRenderOnShow = 1;
      return;
    }
    gRenderOnShow = 0;
  }
  if (!object) return;
  EditedSceneScope edit;
  render3d::DeleteRendererObject(object);
  RenderSingleObject(object);
}
}  // namespace render3d

namespace render3d {
void DeleteRendererObject(Objex* object) {
  NoteServiceCall("DeleteRendererObject", object);
  NoteSceneObjectsChanged();
  EditedSceneScope edit;
  if (object) DropObjectLists(object);
  if (!object || !gGLPlaneObjects) return;
  ResetSceneDisplayList();
  // Only the object's own plane objects are visited, not the whole scene.
  for (PlaneObject* p = FirstScenePlaneObjectOf(object); p;) {
    PlaneObject* next = p->sameBaseNext;
    UnlinkPlaneObject(p);
    DeletePlaneObject(p);
    p = next;
  }
}
}  // namespace render3d

namespace render3d {
void DeleteAllRendererObjects() {
  NoteServiceCall("DeleteAllRendererObjects", nullptr);
  NoteSceneObjectsChanged();
  DropAllObjectLists();
  if (!gGLPlaneObjects) return;
  ResetSceneDisplayList();
  for (PlaneObject* p = gGLPlaneObjects; p;) {
    PlaneObject* next = p->next;
    DeletePlaneObject(p);
    p = next;
  }
  for (PlaneObject* p = gGLTopoTrimPlaneObjects; p;) {
    PlaneObject* next = p->next;
    DeletePlaneObject(p);
    p = next;
  }
  gGLPlaneObjects = nullptr;
  gGLPlaneObjectsTail = nullptr;
  gGLTopoTrimPlaneObjects = nullptr;
}
}  // namespace render3d
