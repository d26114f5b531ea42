// The rules of the full-quality walk (RenderGLPlaneObjects) for a walker that keeps what it drew
// in display lists (FinalSceneLists): which pass takes a plane object up, and the drawing and
// stencil steps of each pass, shared so that both draw the same picture.
#pragma once
#include <GL/gl.h>

#include <array>
#include <cstdint>

struct DocState;
struct Layer;
struct Objex;
struct PlaneObject;

namespace render3d::walk {
// "First Floor", "Second Floor" and "Third Floor"; missing ones are null.
std::array<Layer*, 3> Floors();
bool IsPlant(const PlaneObject* po);
bool IsPhoto(const PlaneObject* po);
bool IsHolePart(const PlaneObject* po);
bool IsCollectedFloor(const PlaneObject* po);  // part type 171
bool IsCollectedFace(const PlaneObject* po);   // part type 173
bool OnLayer(const PlaneObject* po, const Layer* layer);
bool LeftToFloorPass(const PlaneObject* po, const std::array<Layer*, 3>& floors);
bool Excluded(const PlaneObject* po, int32_t off);
bool CastsNoShadow(const PlaneObject* po);
bool HoleOnFloor(const PlaneObject* po, const Layer* floor);
bool HoleFaceDrawn(const PlaneObject* po, DocState* ds);
bool FloorOnFloor(const PlaneObject* po, const Layer* floor);
const Objex* RootOf(const PlaneObject* po);
// An opaque plane object with its trims: through its cut-outs (stencil value
// gCurrentStencilValue, counted on) when it has some.
void DrawOpaque(PlaneObject* po, DocState* ds);
// The trims of a plane object, drawn as the opaque pass draws them.
void DrawTrims(PlaneObject* po);
// One plane object alone (without its trims), by its kind, as the opaque pass draws it.
void DrawFace(PlaneObject* po);
// A transparent plane object with its trims, blended.
void DrawTransparent(PlaneObject* po, DocState* ds);
// The floor pass of one floor (its holes into the stencil, from a clear stencil, then its
// floors, then the collected faces); false when Escape stopped it.
bool DrawFloorPass(PlaneObject* list, const Layer* floor, DocState* ds);
void BeginStencilWrite(GLint value);
void EndStencilWrite(DocState* ds, GLenum func, GLint value);
// The highest stencil value the buffer holds (255 for 8 bits).
int32_t StencilValueLimit();
// Whether a stretch of consecutive plan objects sharing one display list ends after this one:
// about one in `every`, picked from its address so that stretches elsewhere stay as they are
// when objects come and go.
bool EndsStretch(const Objex* base, uint64_t every);
}  // namespace render3d::walk
