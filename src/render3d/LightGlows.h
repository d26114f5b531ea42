// The glows of light fixtures over a finished frame: a textured, camera-facing halo at each
// can light and at the two beams of each wall flood light, and the two light-map shots of a
// wall flood light taken by the shadow render.
#pragma once
#include <cstdint>

struct DocState;
struct GLUquadric;
struct Objex;
struct PlaneObject;

// The GLU quadric of the 3D view (made with its context); without it no flood beam shows.
extern GLUquadric* gQuadricObject;

// The halo image: stock texture 14001, its alpha kept only where it is brightest.
constexpr int32_t kHaloTextureID = 14001;

// A can light's halo: the lamp point's offsets from the lamp centre at the fixture's height,
// the rises (3D units) whose projected lengths give the quad's half width and half height,
// and the alpha. False for kinds that show no halo.
struct CanLightHalo {
  float dy = 0, dz = 0;
  float widthRise = 0, heightRise = 0;
  int32_t alpha = 0;
};
bool GetCanLightHalo(int16_t kind, int32_t dimmer, CanLightHalo* halo);

// Where a wall flood light sits: its height (3D units), the lamp base in the plan (x, z), the
// wall's angle and the side angle a' (radians, a' = a + pi/2 on the flipped side, else
// a - pi/2). False unless the light hangs on a wall with both segment points.
struct FloodLamp {
  float height = 0;
  float baseX = 0, baseZ = 0;
  float wallAngle = 0, sideAngle = 0;
};
bool GetFloodLamp(const Objex* wall, const Objex* light, const DocState* docState, FloodLamp* lamp);
// The two beams leave the lamp base at a' + 57 and a' - 57 degrees, each lamp 9 units out.
constexpr float kFloodBeamSpread = 0.9948377f;
constexpr float kFloodLampOffset = 9.0f;

// The light pool of one fixture, with the matrices and viewport of the finished frame. The
// masks leave the stencil as RenderLights set it; the maps draw the halo over the frame,
// whatever lies in front of the lamp.
void RenderCanLightMask(PlaneObject* object, Objex* light, const double* modelView, const double* projection,
                        const int32_t* viewport);
void RenderCanLightMap(PlaneObject* object, Objex* light, const double* modelView, const double* projection,
                       const int32_t* viewport);
// Both beams of a wall flood light; ends with colour writes and blending off, depth and
// stencil tests on and the ALWAYS/REPLACE stencil of RenderLights.
void RenderFloodLightMask(PlaneObject* object, Objex* light, const double* modelView, const double* projection,
                          const int32_t* viewport);
// One flood beam's halo at the lamp point (x, height, z).
void RenderFloodLightMap(Objex* light, float x, float height, float z, const double* modelView,
                         const double* projection, const int32_t* viewport);

// The two shots of a wall flood light into the light map (through gFloodLightShot).
void CastSpotLight(Objex* wall, Objex* floodLight);
using LightViewShot = void (*)(DocState* docState, float height, float x, float y, float verticalAngle,
                               float horizontalAngle, int16_t ortho, float cone, int32_t falloff, float intensity,
                               int16_t kind);
// RenderLightView; tests put a recorder here.
extern LightViewShot gFloodLightShot;
