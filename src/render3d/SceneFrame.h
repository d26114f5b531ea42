// One full-quality frame of the 3D scene: frame set-up, the passes of the anti-aliased
// render summed in our own float accumulator, and the finished image the 3D view shows.
// The renderer draws into its own framebuffer (RGBA8, depth 24, stencil 8) sized to the view.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Render modes (DocState renderMode).
constexpr int16_t kRenderWireframe = 1;
constexpr int16_t kRenderClearViewLines = 2;
constexpr int16_t kRenderClearViewFill = 4;
constexpr int16_t kRenderSolid = 5;
constexpr int16_t kRenderClearView = 6;
constexpr int16_t kRenderLightView = 11;
// Navigation modes.
constexpr int16_t kNavWalkThrough = 1;
constexpr int16_t kNavFlyAround = 2;
// Render exclusion bits used by the frame set-ups.
constexpr int32_t kLVOffMaterials = 16;
constexpr int32_t kLVOffTopography = 32;

extern float gFOV;                       // vertical field of view of the current frame, degrees
extern uint8_t gRenderOpenGLAntiAlias;   // the next full render is anti-aliased
extern uint8_t gBreakOpenGLRender;       // Escape was pressed during the render
extern uint8_t gRenderingOpenGL;         // a render or an interaction is drawing
extern int32_t gGLObjectsRendered;       // plane objects drawn in this pass (Escape poll count)
extern uint8_t gCountRenderingObjects;   // first anti-alias pass: count objects for progress
extern int32_t gCurrentStencilValue;     // stencil reference of cut-outs and planar shadows
extern uint8_t gRenderPlantsInColor;     // colour pass of the shadow render
extern uint8_t gRenderingShadowMap;      // the shadow render is running
extern float gSlicePaneEquation[4];      // the cut-away plane (Cutaway)
extern float gWalkFOV;                   // walk field of view, degrees (45)
extern float gChopperFOV;                // fly field of view, degrees (38)
extern uint8_t gPrinting3DView;          // the 3D view is being printed
extern uint8_t g3DViewPrintInterrupted;  // a render for export or print was cancelled

// The jitter tables (sub-pixel offsets in pixels) of the anti-aliasing passes.
struct JitterPoint {
  float x, y;
};
extern const JitterPoint j4[4];
extern const JitterPoint j8[8];
extern const JitterPoint j15[15];
extern const JitterPoint j24[24];
// The passes a stored count renders and the table each pass reads: 0 is stored back as 8;
// 1 to 3 render that many passes from j8, 4 reads j4, 8 j8, 15 j15, 24 j24; any other count
// renders 8 passes from j8 (stored unchanged). Never more passes than the table holds.
struct PassPlan {
  int32_t passes;
  const JitterPoint* table;
};
PassPlan AntiAliasPassPlan(int32_t* storedPasses);

void RefreshGLScene();
void RenderGLScene();
void InitializeGLScene();
void InitializeAntiAliasGLScene(double fovy, double aspect, double jitterX, double jitterY,
                                double focus);
void FinalizeGLScene();

struct DocState;
// The walk or fly camera, applied on the current model-view matrix.
void ApplySceneCamera(DocState* docState);
// The orthographic elevation of orthoView 1..4: the horizontal extent, half height, vertical
// offset and turn about (0, -1, 0). An empty design frames its plan bounds.
struct OrthoBox {
  double left = 0, right = 0, halfHeight = 0, offset = 0, rotation = 0;
};
OrthoBox ComputeOrthoBox(DocState* docState, int32_t viewWidth, int32_t viewHeight);
// Loads glOrtho of the box moved by (dx, dy), then the turn, offset and orthoScale (a scale
// of 0 or less is stored back as 1); depth test on.
void LoadOrthoElevation(DocState* docState, const OrthoBox& box, double dx, double dy);

// The renderer's framebuffer, sized to the view (device pixels): bound by the frame set-ups.
// False when it cannot be made (no context or no framebuffer support).
bool BindRenderTarget(int32_t width, int32_t height);
// The finished image kept by FinalizeGLScene (RGBA, bottom row first); empty until then.
const std::vector<uint8_t>& KeptFrame(int32_t* width, int32_t* height);
// True once a frame has been kept (no pixels are read).
bool HasKeptFrame();
// Keeps the current colour image of the viewport for the view and tells the view; false when
// it could not be kept.
bool KeepFrame();
// Changes with every image kept and with the release of the kept one.
uint64_t KeptFrameSerial();
// Copies the kept image back into the bound framebuffer at the viewport, which must have its
// size; false (nothing copied) when it has not.
bool RestoreKeptFrame();
// Draws the kept image into the framebuffer `target` (the 3D view's own) of the given size.
void DrawKeptFrame(uint32_t target, int32_t width, int32_t height);
// Frees the framebuffers and the kept image (the 3D view's context is about to go).
void ReleaseRenderTarget();
// Frees what a frame needed only while it was made: the anti-aliasing sum and its read-back,
// the texture that carried the sum back, and the kept image's copy read back (the kept frame
// itself stays). Their memory follows the largest frame made, an export's, until then.
void ReleaseFrameScratch();
// The bytes those hold now (the upload texture at four bytes a pixel).
size_t FrameScratchBytes();

// Our accumulation buffer: a float RGBA sum over the viewport with glAccum's clear,
// accumulate (read the colour buffer back, times the weight, added), multiply and return.
void AccumClear();
void AccumAccumulate(float weight);
void AccumLoad(float weight);
void AccumMultiply(float factor);
void AccumReturn(float factor);
