// The shadowed frame: the scene drawn fully dark and fully lit, every lamp and the sun
// rendered as a depth image from its own place, each camera pixel tested against those depths
// into a light map (0 dark .. 1 lit), and the frame blended dark + (light - dark) x map.
// Everything here runs on the main thread inside one drawing call of the 3D view; the buffers
// below are process-wide and belong to one shadow render at a time.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "render3d/LightGlows.h"
#include "render3d/SceneFrame.h"

struct DocState;
struct Objex;
struct Layer;
struct FloatRect;

// ---- The camera and its per-pixel buffers (all bottom row first, gVPWidth x gVPHeight) ----
extern int32_t gCamViewPort[4];
extern double gCamMVMatrix[16], gCamProjMatrix[16];
extern int32_t gVPWidth, gVPHeight;
extern uint8_t* gDarkColorBuffer;   // RGB: the fully dark image; the blend is written back here
extern uint8_t* gLightColorBuffer;  // RGB: the fully lit image
extern uint8_t* gPlantColorBuffer;  // RGB: the plant pass (white where no plant is seen)
extern uint8_t* gPlantMask;         // 1 where the plant pass drew a plant
// Whether pixel i of the camera view is a plant's: the plant pass drew a plant there (the mask),
// or no channel of its colour in that pass is 255 (everything but plants is drawn white).
bool IsPlantPixel(size_t i);
extern float* gCamDBuffer;          // camera depth, transparent objects left out
extern float* gEyeUnProBuf;         // 3 floats: world position of each camera pixel
extern float* gLightDBuffer;        // depth image of the current lamp or sun view
extern float* gLightMap;            // accumulated light
extern float* gLightMapAA;          // per-lamp scratch
extern float* gMultiMap;            // scratch of the ambient shots
extern float* gSunMap;              // sun contribution per pixel

// Switches of the shadow passes (the renderers honour gSkipTransparent, gRenderPlantsInColor,
// gHideNonShadowObjects, gNoPlants and gAdjustTrimLightIntensity).
extern uint8_t gRenderFullyDark, gRenderFullyLight;
extern uint8_t gAdjustTrimLightIntensity;     // the fully lit pass brightens trims
extern uint8_t gRenderingShadowMapAntiAlias;  // the anti-aliased passes of a shadow render run
extern int32_t gTotalLightsToRender, gTotalLightsRendered;

// ---- Light views ----
extern int32_t gLightViewPort[4];
extern double gLightMVMatrix[16], gLightProjMatrix[16];
extern uint32_t gShadowDisplayList;   // the shadow-casting scene of this render, 0 = none
// The shadow-casting scene (opaque plane objects but plants, and the floor passes) for the
// light view whose matrices are current; compiled at its first use in a render into lists by
// place (under gShadowDisplayList), of which each view calls those that reach it.
void DrawShadowCasters();
// The scene's plants for the same view, gathered with those lists (drawn before them).
void DrawShadowPlants();
// Deletes gShadowDisplayList and the lists it calls.
void DeleteShadowCasterLists();
// The place lists of the compiled shadow-casting scene (0 before it is compiled).
size_t ShadowCasterListCount();
// How many of them the light views have called since they were compiled (a list called by
// two views counts twice).
size_t ShadowCasterListsDrawn();
// How the light views draw the shadow casters: the lists that reach the view (the default),
// every list, or the plane object walk itself with no lists. All three give the same depth.
enum class CasterDrawing : uint8_t { kCulled, kEveryList, kWalked };
extern CasterDrawing gShadowCasterDrawing;
extern uint8_t gFillUnProjectBuffer;  // the next lamp pass refills gEyeUnProBuf
extern uint8_t gRenderForBuffer;      // RenderGLLightScene draws (0: matrices only)
extern uint8_t gFillingBucketBuffer;  // a sun tile: the light view stops after its depth
extern uint8_t gAmbientLightDown, gAmbientLightUp, gAmbientLightUpDown, gFadeDown;
extern uint8_t gPointLightDownShot;   // the downward shot of a kind-152 light
// The light views leave the lot out of their depth images (the ground then takes no lamp or
// sun light); image export renders with it clear.
extern uint8_t gLightViewLotOff;
extern const JitterPoint j2[2];
extern const JitterPoint j3[3];

// ---- The sun ----
extern float* gSunDBuffer;  // the sun depth grid, bottom row first
extern int32_t gSunDBufferWidth, gSunDBufferHeight;
extern int32_t gSunViewPort[4];
extern double gSunMVMatrix[16], gSunProjMatrix[16];
extern float gOrthoSizeLeft, gOrthoSizeRight, gOrthoSizeTop, gOrthoSizeBottom;
extern float gXSunOffset, gZSunOffset, gVerticalSunOffset;
// The largest sun grid in bytes; a larger grid takes the largest g x g that fits.
constexpr uint64_t kMaxSunGridBytes = 256ull << 20;

// ---- The driver ----
void RenderShadows();
void RenderShadowMap(int32_t lightCount);
void RenderOffscreenFullyDark();
void RenderOffscreenFullyLight();
void FreeShadowBuffers();
int32_t InitializeLightProgressBar(int32_t sunGrid);
void UpdateShadowGLRenderStatus();
// The status line's render time: whole seconds (truncated), in minutes from 60 on.
std::string ShadowRenderTimeText(double elapsedSeconds);

// ---- Light views (angles in degrees; positions in 3D-view units, height the vertical) ----
void RenderLightView(DocState* docState, float height, float x, float y, float verticalAngle,
                     float horizontalAngle, int16_t ortho, float cone, int32_t falloff,
                     float intensity, int16_t kind);
void RenderAmbient(DocState* docState, float height, float x, float y, float intensity,
                   int16_t up, int16_t down);
void RenderGLLightScene(int16_t ortho, float x, float y, float horizontalAngle, float verticalAngle,
                        float height, float cone);
void InitializeGLLightScene(int16_t ortho, float x, float y, float horizontalAngle,
                            float verticalAngle, float height, float cone);
void GetLightOffset(float out[3], float x, float y, float verticalAngle, float horizontalAngle,
                    int16_t kind);
// The depth shots of one light fixture (a group whose first child is the light part), each
// through gFixtureShot: RenderLightView; tests put a recorder here.
void ShootFixture(DocState* docState, Objex* group);
extern LightViewShot gFixtureShot;
float GetPixelDistance(float px, float py, float left, float top, float right, float bottom,
                       int32_t falloff, int16_t mode);
// The jitter table and pass count of the lamp moves for the stored pass count.
PassPlan LightJitterPlan(int32_t* storedPasses);

// ---- The sun ----
void FillSunMapWithGrid();
void FillSunMapWithPreRenderedGrid();
void GetObjectsBoundsForSun(Layer* firstLayer, FloatRect* bounds);
void GetObjectSunBounds(Objex* object, FloatRect* bounds);
void GetViewingBoundsForSun(FloatRect* bounds);
float GetHighestPlanePointValue();
void FillSunGridSquare(int32_t column, int32_t row, int32_t width, int32_t height);
// Where the next light view reads its depth image to instead of gLightDBuffer: a sun tile's
// place in the grid (rows `rowLength` floats apart), taken when the view is `width` x `height`;
// `filled` tells whether it was.
struct SunTileTarget {
  float* at = nullptr;
  int32_t rowLength = 0, width = 0, height = 0;
  bool filled = false;
};
extern SunTileTarget gSunTileTarget;
int16_t DepthCheck(int32_t stride, int32_t x0, int32_t x1, int32_t y0, int32_t y1,
                   const float* depth);
// The sun grid size for a shadow quality and box half-width (before the memory cap).
int32_t SunGridSize(int16_t quality, float halfWidth);

// ---- Pixel arithmetic shared by the lamps and the sun ----
namespace shadow {
// A pixel buffer of width x height entries of `entrySize` bytes, with the slack the buffers
// always had, zeroed when asked; null when it cannot be had. Give it back with
// ReleasePixelBuffer (which also frees memory of any other origin).
void* AllocPixelBuffer(int32_t width, int32_t height, size_t entrySize, bool zeroed = true);
// The largest single buffer the shadow render asks for (the sun grid included); larger ones
// fail as a failed allocation does. Unlimited unless a test lowers it.
extern size_t gPixelBufferLimit;
// Notes a buffer that could not be had, named for the status line ("the light map"); the
// first one of a render is what the status line names.
void NoteAllocationFailure(const char* what, uint64_t bytes);
void ReleasePixelBuffer(void* buffer);
// Frees the buffers kept for the next render of the same size (a render at another size than
// the view's, an export's, leaves its own there, of no use to the view's renders).
void ReleaseSpareBuffers();
// The bytes the spare buffers hold.
size_t SpareBufferBytes();
// Draws with colour writes off (left off afterwards), in the light-view mode and without
// anti-aliasing, then puts the mode and the anti-aliasing back: depth only.
void DrawDepthInLightViewMode(DocState* ds, void (*draw)());
// World position of window point (x, y, depth) under the inverse of projection x model-view.
struct Unprojector {
  double inv[16];
  int32_t vp[4];
  bool ok = false;
  Unprojector(const double* modelView, const double* projection, const int32_t* viewport);
  bool operator()(double x, double y, double z, float out[3]) const;
  // A row of `count` window points from column x0 at row y, with their depths: the positions
  // go to out (3 floats each; zeros where the depth is not strictly between 0 and 1).
  void Row(int32_t y, int32_t x0, int32_t count, const float* depth, float* out) const;
};
// Fills gEyeUnProBuf from the camera depth when the camera pass asked for it
// (gFillUnProjectBuffer), and clears the request.
void EnsureEyePositions();
// Window position of a world point under projection x model-view (gluProject's arithmetic).
struct Projector {
  double m[16];
  int32_t vp[4];
  Projector(const double* modelView, const double* projection, const int32_t* viewport);
  bool operator()(const float in[3], double* wx, double* wy, double* wz) const;
};
}  // namespace shadow
