// The scene's surfaces beyond plain plane objects: parts of 3D symbols with generated texture
// coordinates, height-field grid faces, the background behind the model, plant billboards and
// photo objects, each at final quality and in real time.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct DocState;
struct PlaneObject;

// Symbol parts (part type 15 of a plan object whose options' red is 1): texture coordinates
// generated from each polygon's working plane at the texture's real size.
void RenderGLAutoGenPlaneObject(PlaneObject* object, int16_t includeExcavation);
void RTRenderGLAutoGenPlaneObject(PlaneObject* object, int16_t includeExcavation);

// Grid faces (plan object of type 10, subtype 173): one shaded colour per grid node.
void RenderGLGridPlaneObject(PlaneObject* object);
// Fills `table` ((rows + 1) x (columns + 1) colours, row by row) with the shaded colour of
// each node; nothing when an argument is missing or the source's point count does not match.
void SetUpGridPlaneShadingAndTextureList(RGBColor* table, const RGBColor* faceColor, int32_t textureID,
                                         ShortPoint textureScale, float width, float depth, int32_t columns,
                                         int32_t rows, float columnSpacing, float rowSpacing, const struct Objex* source);

// The background picture or colour behind the model (one anti-alias pass, or real time).
void RenderGLBackground(int16_t antiAliased, int32_t pass);
void RTRenderGLBackground();
// The s texture coordinates of the background quad's corners (top left, top right, bottom
// right, bottom left); 0, 1, 1, 0 at start. The navigation scrolls them with the camera.
extern float gBackgroundVertices[4];
// The real-time background list is gBackgroundDisplayList (RealTimeScene.h); the
// values captured when it was built.
extern float gBackgroundWidth, gBackgroundHeight;
extern int32_t gBackgroundTextureID;
// The picture's width over its height (1 without one).
extern float gBackgroundAspect;
extern uint8_t gBackgroundRed, gBackgroundGreen, gBackgroundBlue;
// The base brightness of the scene's ground and backdrop: b = (lightBrightness - 0.5) x 0.5;
// b + (1 - b) / 1.5 when b > 0.25, else 3b.
float SceneBaseBrightness(const DocState* docState);

// Plant billboards facing the camera, and photo objects.
void RenderGLPlantObject(PlaneObject* object);
void RTRenderGLPlantObject(PlaneObject* object);
void RenderGLPhotoObject(PlaneObject* object);
void RTRenderGLPhotoObject(PlaneObject* object);
// Adds years to the age of every plant of the 3D scene (at least 1) and resizes its billboard.
void GrowPlantVisuals(float years);
// Side of the real-time plant pictures.
constexpr int32_t kRealTimePlantSide = 256;
// Photos are drawn in see-through rendering only while this is set (0 at start).
extern uint8_t gDrawClearViewPhotoView;
