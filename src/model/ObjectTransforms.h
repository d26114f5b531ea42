// Moving, scaling, rotating, shearing and mirroring objects in the working plane,
// and the on-the-fly point transforms that drag previews and revolving use.
#pragma once
#include <cstdint>

#include "model/TransformInfo.h"

struct Objex;
struct Poinz;

// The two coordinate indexes (0 x, 1 y, 2 z) a working plane changes: plane 2 plan
// (x, z), 3 side elevation (z, y), 1 front elevation (x, y); false for any other value.
bool WorkingPlaneAxes(int16_t viewPlane, int* first, int* second);
// Degrees wrapped once into [0, 360].
float WrapDegreesOnce(float degrees);
// A direction in degrees mirrored left-right (x negated) or top-bottom (y negated).
float MirrorAngleDegrees(float degrees, bool horizontal);

// Point flags of the point-level transforms.
constexpr int32_t kPointXformSelectedOnly = 0x100;
constexpr int32_t kPointXformConstrain = 0x200;

// Object level. The "selected" routines change only selected, unlocked points.
void TranslateObject(Objex* object, TransformInfo* xform);
void TranslatePlanObject(Objex* object, TransformInfo* xform);  // every point
void ScaleObject(Objex* object, TransformInfo* xform);
void ScaleTheObject(Objex* object, TransformInfo* xform);  // with every child, recursively
void RotateObject(Objex* object, TransformInfo* xform);
void RotateTheObject(Objex* object, TransformInfo* xform);  // with every child, recursively
void RotatePlanObject(Objex* object, TransformInfo* xform);  // every point
void ShearObject(Objex* object, TransformInfo* xform);
// Mirrors every point through the working plane's axis; command 5363 mirrors
// left-right, any other value top-bottom.
void FlipPlanObject(Objex* object, int32_t command);
void RotateObjectInDegrees(Objex* object, float degrees);
// Size of a custom 3D object measured unrotated (its rotation in params[4], degrees).
void GetCustomFormwerkSize(Objex* object, float* width, float* height, float* depth);
void ResizeCustomFormwerkObject(Objex* object, uint8_t percent, float width, float height,
                                float depth, uint8_t xFlag, uint8_t yFlag, uint8_t zFlag);

// The 2D symbol objects of a skylight record follow the skylight.
void TranslateSkylightSymbols(Objex* list, TransformInfo* xform);
void RotateSkylightSymbols(Objex* list, TransformInfo* xform);
void NudgeSkylightSymbols(Objex* list, float distance, int16_t direction);
void FlipSkylightSymbols(Objex* list, int16_t horizontal);
void PlanFlipSkylightSymbols(Objex* list, int32_t command);

// A group holding an imported 3D symbol, or a 3D symbol part outside a cabinet.
bool IsObjectACWObject(const Objex* object);

// Point level (drag previews, revolving).
void TranslatePoint(Poinz* point, int32_t flags, const DragTransformInfo* xform);
void ScalePoint(Poinz* point, int32_t flags, const DragTransformInfo* xform);
void ShearPoint(Poinz* point, int32_t flags, const DragTransformInfo* xform);
void RotatePoint(Poinz* point, int32_t flags, const DragTransformInfo* xform);
