// Exports of the 3D window's model and image.
#include "app/LiveViewExport.h"

#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "render3d/VRMLExport.h"

void ExportVRMLFile(const char* path) {
  if (!CurDocState() || !path || !*path) return;
  LiveViewController* liveView = LiveViewController::sharedLiveViewController();
  const bool opened = !liveView->isVisible();
  if (opened) {
    liveView->showWindow();
    gRenderDirty = 1;
    if (gRenderOnShow) RenderAllLayers();
    if (LiveViewOGLView* view = liveView->liveViewOGLView()) view->repaint();
  }
  WriteVRMLFile(path);
  if (opened) liveView->orderOut();
}
