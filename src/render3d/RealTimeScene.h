// The real-time frame used while the camera moves, the cut-away is dragged or a surface is
// picked: flat shading, no anti-aliasing, and display lists that keep what stays the same.
#pragma once
#include <cstdint>

struct DocState;
struct PlaneObject;

extern uint32_t gSceneDisplayList;      // the plane objects (compiled by the scene walker)
extern uint32_t gViewpointDisplayList;  // the projection
extern uint32_t gBackgroundDisplayList;
extern uint32_t gLotDisplayList;
extern uint32_t gFlatLotDisplayList;
extern uint32_t gBaseLotDisplayList;
extern float gRTAspect;                 // width / height of the real-time viewport
extern uint8_t gGLPickMode;             // a surface is being picked
extern float gPickX, gPickY;            // the pick point in view coordinates, y from the top

void RTInitializeGLScene();
void RTSetViewpoint(DocState* docState);
void RealTimeRenderAllGLPlaneObjects(PlaneObject* list);
void RTFinalizeGLScene();
void RTRenderGLScene();
void RTRenderGLPlaneObjects(PlaneObject* list);
namespace render3d { void ResetSceneDisplayList(); }
void ResetViewpointDisplayList();
void ResetBackgroundDisplayList();
void ResetLotDisplayList();
void ResetFlatLotDisplayList();
void ResetBaseLotDisplayList();
