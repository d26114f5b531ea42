#include "render3d/Render3DServices.h"

#include "model/Services.h"
#include "render3d/RealTimeScene.h"
#include "render3d/Navigation.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/TextureLoading.h"
#include "tools/Tracking.h"

void InstallRender3DServices() {
  RendererServices& s = gRendererServices;
  s.reRenderObject = render3d::ReRenderObject;
  s.deleteRendererObject = render3d::DeleteRendererObject;
  s.deleteAllRendererObjects = render3d::DeleteAllRendererObjects;
  s.resetSceneDisplayList = render3d::ResetSceneDisplayList;
  s.deleteCachedTextureImages = DeleteCachedTextureImagesGL;
  gTrackingHooks.beginRealTimeView = BeginPlanCameraFrames;
  gTrackingHooks.drawRealTimeView = DrawPlanCameraFrame;
}
