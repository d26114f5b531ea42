// Drawing one plane object: at final quality (shaded, faded per vertex, strips sharing
// their edge colours) and for the real-time view (one colour per plane).
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;
struct PlaneObject;

// The strip memory of smooth surfaces: the source object of the last strip and its shaded
// colour ((1, 1, 1) = none).
extern Objex* gPrevPlaneParentObject;
extern RGBColor gPrevPlaneColor;
// The wireframe style is "Textured Wireframe".
extern uint8_t gTexturedWire;
// Set by a list walker that has turned texturing off and draws only objects that leave it off:
// an untextured object then sends no glDisable of its own (the compiled scene list stays one
// run of primitives).
extern uint8_t gTextureKnownOff;

void RenderGLPlaneObject(PlaneObject* object, int16_t includeExcavation);
void RTRenderGLPlaneObject(PlaneObject* object, int16_t includeExcavation);

// Texture ids are the design's (stock, custom, palette-resolved), never GL names: a face
// binds the GL name its id maps to; an id without a name draws untextured.
uint32_t GLTextureNameForID(int32_t id);
void SetGLTextureNameForID(int32_t id, uint32_t name);  // name 0 removes the entry
void ClearGLTextureNames();
