// Placing wall components, wall breaks and attached wall dimensions by pressing on a wall
// segment and sliding along it, and moving a placed component the same way.
#pragma once
#include <cstdint>

#include "model/Types.h"

struct ClickInfo;
struct DoorWindowData;
struct Objex;
struct Poinz;
class ZLKDocumentView;

constexpr int32_t kSubWallBreak = 303;
// Ends of an attachment keep this distance from both ends of the allowed range.
constexpr float kAttachmentEndClearance = 5.0f;

// (x, z) + length along the plan angle (counter-clockwise on the screen, z down).
void PolarFrom(float x, float z, float angle, float length, float* outX, float* outZ);
// The 2D and 3D bounds of an attachment, recomputed from its points.
void RecomputeAttachmentBounds(Objex* attachment);
// Fills the record of an item hung on the segment segStart -> segEnd whose first end lies at
// `first`: anchors, distances along the segment, size, elevation, side and white trim slots.
void FillWallHungRecord(DoorWindowData* data, int16_t ownerType, Poinz* segStart, Poinz* segEnd,
                        const FloatPoint& first, const FloatPoint& size, float length, float elevation,
                        uint8_t side);
// Footprint of a component kind (width along the wall, depth across it) in plan units.
FloatPoint ComponentFootprint(int32_t kind);
// Elevation of a component kind, as stored in its record (plan units, 0 and 0.1 as is).
float ComponentElevation(int32_t kind);

// The component tools' entry: the footprint of the kind, then SupportTrackAttachment.
Objex* TrackWallAttachment(float x, float y, float z, int16_t phase, int32_t kind);
// Everything on the mouse-down: checks, the drag, the new attachment (none for a wall break
// or a refusal).
Objex* SupportTrackAttachment(float x, float y, float z, int16_t phase, ClickInfo* click, uint16_t modifiers,
                              FloatPoint* size, int32_t kind);
// The modal drag along the segment: 1 when the mouse moved between press and release, 0 when
// it did not, -1 when the design window closed during the drag (nothing is to change).
int TrackAttachmentPlacement(Objex* wall, Poinz* segStart, Poinz* segEnd, FloatPoint* size, float workingLength,
                             float minDistance, float maxDistance, int32_t clickX, int32_t clickY,
                             FloatPoint* firstEnd, FloatPoint* secondEnd, uint8_t moveSecondOnly,
                             uint8_t moveFirstOnly, int32_t kind, const ClickInfo* clickRecord,
                             DoorWindowData* placedRecord, Objex* placedObject, uint8_t* side,
                             FloatPoint* depthPoint);
// Place the two ends for the mouse point; the side (1 = at the segment angle plus 90°).
uint8_t PositionAttachment(Poinz* segStart, Poinz* segEnd, const FloatPoint* size, float workingLength,
                           float minDistance, float maxDistance, int32_t mouseX, int32_t mouseZ,
                           FloatPoint* firstEnd, FloatPoint* secondEnd, uint8_t moveSecondOnly,
                           uint8_t moveFirstOnly, float* angle, FloatPoint* centre);
// The same for a dimension attachment, which also keeps the mouse's distance from the segment
// line as its depth (size->floatV).
uint8_t PositionDimAttachment(Poinz* segStart, Poinz* segEnd, FloatPoint* size, float workingLength,
                              float minDistance, float maxDistance, float mouseX, float mouseZ,
                              FloatPoint* firstEnd, FloatPoint* secondEnd, uint8_t moveSecondOnly,
                              uint8_t moveFirstOnly, float* angle, FloatPoint* centre);
// The preview in the overlay.
void DrawAttachment(const FloatPoint* firstEnd, const FloatPoint* centre, const FloatPoint* secondEnd, float angle,
                    uint8_t side, int32_t kind, Objex* wall, float width, float depth, uint8_t fromCentreLine);
// The same preview for a plan view (the preview always goes to the plan window's overlay).
void DrawAttachment(ZLKDocumentView* view, const FloatPoint* firstEnd, const FloatPoint* centre,
                    const FloatPoint* secondEnd, float angle, uint8_t side, int32_t kind, Objex* wall, float width,
                    float depth, uint8_t fromCentreLine);
// Moves the attachment named by gClickInfo along its segment (the move tool's hand-over).
// The move tool reaches it through TranslateWallComponent (model/Services.h).
namespace tools { void TranslateWallComponent(Objex* component, float x, float y, float z); }
// The same move for the attachment the click in gClickInfo hit.
void TranslateWallComponent();
