// Offset outlines and bands of objects, the inside test of an outline, detail line
// weight and pattern, root bounds of groups, centring, axis swaps and lookup by ID.
#pragma once
#include <cstdint>
#include <vector>

#include "model/Types.h"

struct Objex;
struct Poinz;
struct Layer;

// Offset side codes.
constexpr int16_t kParallelSide7 = 7;
constexpr int16_t kParallelSide8 = 8;

// The segment p0 -> p1 offset sideways (side +1 for side code 7, -1 for 8).
void GetParallelPoints(const Poinz* p0, const Poinz* p1, float* startX, float* startY,
                       float* startZ, float* endX, float* endY, float* endZ, int16_t side,
                       float distance);
// Copy of the outline offset by `distance` plan units; appended to the layer when asked.
Objex* CreateParallelObject(Objex* object, int16_t side, float distance, uint8_t append);
Objex* CreateConstantParallelObject(Objex* object, int16_t side, float distance);
// Closed (open) objects only; `distance` in world units.
Objex* MakeClosedParallel(Objex* object, float distance, int16_t side);
Objex* MakeOpenParallel(Objex* object, float distance, int16_t side);
// Turns the outline into a closed band `distance` world units wide, placed by extraLong
// (0 centred, 1 side 7, 2 side 8); returns the object holding the band.
Objex* MakeParallel(Objex* object, float distance, uint8_t append);
// The closed band MakeParallel(object, distance, append) turns an unlisted outline of
// `count` points (positions, in and out handles: xyz each; null handles are zero) into, as
// rings of positions and handles, without making the outlines: the object and point numbers
// they would take are taken all the same. False, with nothing taken, when MakeParallel would
// leave the outline as it is (no points, no document, an alignment other than 0, 1 or 2).
struct ParallelRing {
  std::vector<float> position, in, out;
  // Working space, kept so that a ring used again allocates nothing.
  std::vector<const float*> scratchPoints;
  std::vector<float> scratchOther;
};
bool MakeParallelRing(const float* position, const float* in, const float* out, int32_t count, bool closed,
                      int32_t alignment, float distance, ParallelRing* ring);
// 1 when side 7 of the first segment is inside the outline, -1 when outside, 0 without DocState.
int16_t GetParallelDirection(Objex* object);
int16_t VerifyObjectDirection(Objex* object, uint8_t fix);

void SetLineWeight(Objex* object);
void ChangePattern(Objex* object, int16_t pattern);

void UpdateObjectRootBounds(Objex* object, uint8_t selectedOnly, uint8_t flag);
void UpdateLayerRootBounds(Layer* layer, uint8_t selectedOnly, uint8_t flag,
                           uint8_t onlySelectedGroups);
void UpdateAllLayerRootBounds(Layer* layers, uint8_t selectedOnly, uint8_t flag,
                              uint8_t onlySelectedGroups);

void CenterObjects(uint8_t selectedOnly, FloatRect* rect);
void CenterObjectsInWindow(uint8_t selectedOnly, FloatRect* rect);
void CenterLayer(Layer* layer, uint8_t selectedOnly, FloatRect* rect);

void ConvertXYtoXZ(Objex* object);
void ConvertXYtoZY(Objex* object);
void FlattenObjectToXZPlane(Objex* object, uint8_t withChildren);

// Top-level object of the current layer with this ID, or null.
Objex* FindObjectWithID(uint32_t id);
