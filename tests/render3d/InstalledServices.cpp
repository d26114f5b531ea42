// The libraries this test program links serve the model's calls, as in the program.
#include "building3d/Building3DServices.h"
#include "model/Services.h"
#include "openings/OpeningsServices.h"
#include "plandraw/qt/ImageLoader.h"
#include "render3d/Render3DServices.h"

namespace {
const bool kServicesInstalled = [] {
  InstallBuilding3DServices();
  InstallOpeningsServices();
  InstallRender3DServices();
  gFrontEnd.loadDIBImage = ApplePortDIBImageLoad;
  return true;
}();
}  // namespace
