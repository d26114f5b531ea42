// Parts of 3D symbols: drawn as plane objects whose texture coordinates are generated from
// each polygon's working plane at the texture's real size, or fitted to the symbol's extent
// when the texture gives no size.
#include <GL/gl.h>

#include "building3d/PlaneObjects.h"
#include "model/Bounds.h"
#include "model/CustomTextures.h"
#include "model/Grouping.h"
#include "model/Palettes.h"
#include "model/Records.h"
#include "model/Services.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TextureLoading.h"

namespace {

constexpr int16_t kKindSideA = 6;
constexpr int32_t kFittedWidth = 12;

// The repeat size of the chosen side's texture: from its information file, or fitted to the
// bounds of the symbol the part belongs to when the file gives none.
GeneratedTextureSize SymbolPartTextureSize(const PlaneObject* o) {
  GeneratedTextureSize size;
  size.symbolPart = true;
  int32_t id = o->renderKind == kKindSideA ? o->textureIdA : o->textureIdB;
  if (IsTextureAPalette(id)) id = GetPaletteTextureID(id);
  if (id < 1) return size;
  int32_t W = 1, H = 1;
  if (id < kFirstCustomTextureID) LoadTextureWH(id, &W, &H);
  else LoadCustomTextureWH(id, &W, &H);
  if (W == -1) {
    size.fitWidth = true;
    size.fitHeight = H == -1;
    W = kFittedWidth;
  } else if (H == -1) {
    size.fitHeight = true;
    W = kFittedWidth;
  }
  if (size.fitWidth || size.fitHeight) {
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    if (Objex* root = o->actual3DObject ? GetRootObject(o->actual3DObject) : nullptr)
      GetObject3DBounds(root, 0, &box, 0);
    size.box = box;
  }
  size.width = W;
  size.height = H;
  return size;
}

}  // namespace

void RenderGLAutoGenPlaneObject(PlaneObject* object, int16_t includeExcavation) {
  NoteServiceCall("RenderGLAutoGenPlaneObject", nullptr);
  if (!object) return;
  RenderGLPlaneObjectGenerated(object, includeExcavation, SymbolPartTextureSize(object));
}

void RTRenderGLAutoGenPlaneObject(PlaneObject* object, int16_t includeExcavation) {
  NoteServiceCall("RTRenderGLAutoGenPlaneObject", nullptr);
  if (!object) return;
  RTRenderGLPlaneObjectGenerated(object, includeExcavation, SymbolPartTextureSize(object));
}
