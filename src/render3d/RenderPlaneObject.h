// Drawing one plane object: at final quality (shaded, faded per vertex, strips sharing
// their edge colours) and for the real-time view (one colour per plane).
#pragma once
#include <array>
#include <cstdint>

#include "building3d/RenderRoad.h"
#include "model/Types.h"

struct DocState;
struct Objex;
struct PlaneObject;
struct Plane;
struct PlanarPolyPoint;
namespace render3d {
struct CarvedPlaneObject;
}

// The strip memory of smooth surfaces (the source object of the last strip and its shaded
// colour, (1, 1, 1) = none), gPrevPlaneParentObject and gPrevPlaneColor, belongs to the
// building library (building3d/RenderRoad.h).
// The wireframe style is "Textured Wireframe".
extern uint8_t gTexturedWire;
// Set by a list walker that has turned texturing off and draws only objects that leave it off:
// an untextured object then sends no glDisable of its own (the compiled scene list stays one
// run of primitives).
extern uint8_t gTextureKnownOff;
// Set by a list walker that turns texturing off itself after a run of objects: a textured
// object then leaves GL_TEXTURE_2D on (untextured ones still turn it off), so that a run of
// faces sharing a texture is not flushed object by object.
extern uint8_t gTextureLeftOn;

// A colour component or HSV value from a float: below 0 (and NaN) 0, from 65535 up 65535, the
// rest truncated.
uint16_t ClampValue(float V);

void RenderGLPlaneObject(PlaneObject* object, int16_t includeExcavation);
void RTRenderGLPlaneObject(PlaneObject* object, int16_t includeExcavation);
// A texture run: real-time objects drawn between these (into one display list) leave their
// texture on, and the next one drawing with the same texture and settings binds and sets
// nothing; an untextured one, a different texture or the end turn it off as each object would
// have. What the list draws is unchanged; it holds fewer state changes between primitives.
void BeginRealTimeTextureRun();
void EndRealTimeTextureRun();
// The same for final-quality faces drawn between these (into one display list), in scene order
// (texturing known off at the start): a face with the texture, alpha test and filter of the
// one before sets nothing; texturing is off again at the end.
void BeginFinalTextureRun();
void EndFinalTextureRun();
// The real-time drawing of an object whose cut-outs are carved out of its planes (no stencil):
// the carved planes are drawn as their triangles, the others as they are.
// The same at final quality: each vertex of the triangles shaded and faded as the plane is at
// that point (for faces whose fade and texture follow the plane linearly, which carving asks).
void RenderGLCarvedPlaneObject(PlaneObject* object, const render3d::CarvedPlaneObject& carved);
void RTRenderGLCarvedPlaneObject(PlaneObject* object, const render3d::CarvedPlaneObject& carved);

// Faces drawn with texture coordinates generated from their positions (object-linear, from
// each polygon's dominant plane, or always the level plane when `horizontal`) at a repeat size
// of width x height units over 0.504: the trims. Otherwise drawn as the two routines above
// draw, except that the fade across a face applies whatever the alpha and without the floor
// rule, a custom texture's alpha test is always 0.5, the light view leaves them unshaded and
// the fully lit pass brightens every part.
struct GeneratedTextureSize {
  int32_t width = 1;
  int32_t height = 1;
  bool horizontal = false;
  // Parts of 3D symbols: the wireframe colour is the plan colour of the root of the plan
  // object, vertices 2 and 3 share the strip colour whatever the part, nothing fades, and the
  // real-time door-leaf value rule does not apply.
  bool symbolPart = false;
  // Symbol parts whose texture gives no width (or height): the size is fitted per polygon to
  // the converted extent of `box` (the symbol's bounds, plan units) along its working plane.
  bool fitWidth = false;
  bool fitHeight = false;
  Float3DRect box{};
};
// The object-linear s and t planes of one polygon of such a face: one repeat per size / 0.504
// units along the two axes of its dominant plane (t runs along the height as sent, -y). A size
// of 0 keeps the previous polygon's scale; a plane code outside 1 to 3 keeps the previous
// planes (a face starts from zero planes).
struct GenerationPlanes {
  float sW = 0, sH = 0;
  float s[4] = {0, 0, 0, 0}, t[4] = {0, 0, 0, 0};
};
void GenerationPlanesOf(const Plane* plane, const GeneratedTextureSize& size, GenerationPlanes* planes);
// The coordinates the planes give a vertex, at its position as drawn (x, -y, z, 1).
std::array<float, 2> GeneratedCoordinates(const GenerationPlanes& planes, const PlanarPolyPoint& vertex);
void RenderGLPlaneObjectGenerated(PlaneObject* object, int16_t includeExcavation, const GeneratedTextureSize& size);
void RTRenderGLPlaneObjectGenerated(PlaneObject* object, int16_t includeExcavation,
                                    const GeneratedTextureSize& size);

// The material colour a plane object shows (its side's colour link, else its colour; a palette
// texture's colour), and its wireframe colour (the plan colour of a component, door, window or
// accessory part, else of the root of its plan object).
RGBColor PlaneObjectMaterialColor(const PlaneObject* object);
RGBColor PlaneObjectWireframeColor(const PlaneObject* object);
// Whether the final-quality drawing binds the texture `id` (a palette link resolved) in the
// current render mode: not in the line and fill modes (wireframe only with textured wires), not
// with materials off or in the shadow render's colour pass, and in the light view only a
// custom texture.
bool FinalDrawTextures(DocState* ds, int32_t id);

// The GL name of the texture the real-time drawing of the object binds now (0: none), without
// loading it: what a compiled list groups its faces by.
uint32_t RealTimeTextureName(const PlaneObject* object);
// The same for the final-quality drawing (0 also while the texture is not resident).
uint32_t FinalTextureName(const PlaneObject* object);
// Whether the final-quality colours of the object depend on the faces drawn before it or set
// what later faces share (strips, 3D symbol parts): such faces keep their order.
bool SharesStripColours(const PlaneObject* object);

// Texture ids are the design's (stock, custom, palette-resolved), never GL names: a face
// binds the GL name its id maps to; an id without a name draws untextured.
uint32_t GLTextureNameForID(int32_t id);
void SetGLTextureNameForID(int32_t id, uint32_t name);  // name 0 removes the entry
void ClearGLTextureNames();
// Grows whenever a GL name is given to an id or taken away: what was compiled into a display
// list before may draw differently now.
uint64_t GLTextureNamesChangeCount();
