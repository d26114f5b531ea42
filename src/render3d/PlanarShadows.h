// Shadows flattened onto one receiving plane: the receiver is marked in the stencil buffer
// (0 = receiver not yet shadowed, 1 = anything else or already shadowed) and each casting
// object is drawn again through the shadow matrix in translucent black, once per pixel. The
// list walkers draw these variants while gRenderingOpenGLShadows is set.
#pragma once
#include <cstdint>

struct PlaneObject;

extern float shadowMat[16];                        // column-major, multiplied onto the model-view
extern float gShadowPlaneElevation;                // height of the receiving plane, 3D units
extern PlaneObject* gCurrentShadowRecipient;       // receives, so casts nothing on itself
extern uint8_t gShadowingLot;                      // the lot is the receiver
extern uint8_t* gStencilBufferScrap;               // stencil copy between store and load
extern int32_t gGLViewport[4];                     // viewport of that copy

// Mark the receiver: the lot rectangle (and, with shadows on, the flat and ground surfaces
// that take no lot shadow), or one plane object's faces at its elevation.
void PrepareShadowingForLot();
void PrepareShadowingForPlaneObject(PlaneObject* object);
// Inverts the stencil under the projected faces of the object's cut-outs (its holes).
void RenderGLPlaneShadowObjectMask(PlaneObject* object);
// The shadow of one plane object, plant billboard or photo object.
void RenderGLPlaneShadowObject(PlaneObject* object);
void RenderGLPlantShadowObject(PlaneObject* object);
void RenderGLPhotoShadowObject(PlaneObject* object);
// Read the stencil of the viewport, undo the hole inversion (255 and above to 0, 254 to 1),
// and write it back.
void StoreStencilBuffer();
void LoadStencilBuffer();
// Unit normal (p0 - p1) x (p1 - p2) of the plane through three points (x, y, z each).
void calcNormal(const float points[9], float out[3]);
// Leaves shadowMat as it is.
void MakeShadowMatrix();

// Whether a shadow of these stored heights (plan y, the height negated) is drawn on the
// current receiver: it must reach at least 5 above the receiving plane and, on the lot, no
// more than 5 below it (a wall's lowest point taken from its base elevation).
bool ShadowReachesReceiver(const PlaneObject* object, bool testAbove);
// The colour of every shadow: black at a quarter.
constexpr uint8_t kShadowAlpha = 64;
