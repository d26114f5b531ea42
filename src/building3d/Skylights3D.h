// Skylights and dormer cut-outs on roofs: their outlines, the integer plan regions that decide
// whether one fits on a roof plane or overlaps another, putting their points on the plane, the
// filler planes of a skylight, and re-fitting every attachment after a roof changes.
#pragma once
#include <cstdint>
#include <vector>

#include "model/Attachments.h"
#include "platform/PolygonRegion.h"

struct Objex;
struct Layer;
struct RoofAttachmentData;

// Skylight kinds (RoofAttachmentData.subtype) besides the rectangular and custom ones of the model.
enum : int16_t { kSkylightOctagonal = 801, kSkylightElliptical = 802 };
// Filler planes of a skylight sit this far above its outline (kind 1) and below it (kind 0).
constexpr float kSkylightUpperFillerRise = 16.0f;
constexpr float kSkylightLowerFillerDrop = 2.0f;

// Outlines centred on (x, z) as x, y, z triples (y 0), sized from the record when `useRecord`
// and a record are given, else from the document's skylight size. Nothing without a DocState.
void DeriveRectangularSkylightPoints(float x, float z, float* out, uint8_t useRecord, const RoofAttachmentData* r);
void DeriveOctagonSkylightPoints(float x, float z, float* out, uint8_t useRecord, const RoofAttachmentData* r);
void DeriveEllipticalSkylightPoints(float x, float z, float* out, uint8_t useRecord, const RoofAttachmentData* r);
// The outline of a kind (4, 8 or 36 points); empty for other kinds.
std::vector<float> SkylightOutline(int16_t kind, float x, float z, uint8_t useRecord, const RoofAttachmentData* r);

// Regions over plan x and z (empty when there are no points).
PolygonRegion CreateSkylightAppleRegion(const float* points, int32_t count);
PolygonRegion CreateObjectAppleRegion(const Objex* object);
PolygonRegion CreateCustomSkylightAppleRegion(const Objex* firstPart);
// The region of an attachment: over its built outline parts for a custom skylight, else its points.
PolygonRegion AttachmentRegion(Objex* attachment);

// The roof plane (type 32) of a generated roof whose subtype is the skylight's panelID.
Objex* FindSkylightOwnerPanel(Objex* skylight, Objex* roof);
bool SkylightOverlapsWithOthers(Objex* roof, const PolygonRegion& region, uint8_t skip, uint32_t objectID);
bool DoesRoofAttachmentFitOnAny3DPanel(Objex* roof, Objex* attachment, Objex** outPlane);
// The last roof panel or generated roof on the current layer that holds the outline without
// overlapping its skylights (for a generated roof, its last such plane in *outPlane).
Objex* FindSkylightRoofPanel(const float* points, int32_t count, float x, float z, Objex** outPlane);
Objex* FindCustomSkylightRoofPanel(Objex* firstPart, float x, float z, Objex** outPlane);
// The last roof panel or generated roof on the current layer under the point.
Objex* FindDormerRoofPanel(float x, float z, Objex** outPlane);

// The plane (a, b, c, d, e) an attachment sits on: a roof plane's params, or a roof panel's
// slab's; null when there is none.
const float* RoofAttachmentPlane(Objex* roofOrPlane);
// Height of a plane (a x + b z + c y = d) at (x, z); 0 when c is 0.
float RoofPlaneHeightAt(const float* plane, float x, float z);
void CreateSkylightPoints(Objex* skylight, Objex* roofOrPlane, const float* outline, int32_t count, float x, float z,
                          float angle);
void CalculateDormerPointElevations(Objex* cutout, Objex* plane);
namespace building3d { void CreateSkylightFillerPlane(Objex* skylight, int16_t kind); }

// Frees the built parts and the definition lists of a skylight's record and clears them.
void DeleteCustomSkylightSymbols(RoofAttachmentData* record);

// Re-fits one attachment of a roof: 1 when it no longer fitted anywhere and was deleted.
int UpdateRoofAttachment(Objex* attachment, Objex* roof);
// Re-fits every skylight and cut-out of a roof; one alert when any was removed.
namespace building3d { void UpdateAllRoofAttachments(Objex* roof); }

// Custom skylights: the parts placed from the record's definition lists.
// Builds the parts centred on (x, z), turned by (angle - 90) degrees: for each definition
// outline a placed copy and its two filler planes, then the frames and the leaves. A definition
// without width or depth builds nothing and keeps the old parts.
namespace building3d { void CreateCustomSkylightSymbols(Objex* skylight, float x, float z, float angle); }
void CreateCustomSkylightFillerPlane(Objex* skylight, Objex* part, int16_t kind);
// Bounds of the built outline parts (2D over x and z, and 3D).
namespace building3d { void GetCustomSkylightBounds(Objex* skylight, FloatRect* rect, Float3DRect* box); }
// The skylight's points become the four plan corners of the box: (left, back), (right, back),
// (right, front), (left, front), at height 0.
namespace building3d { void CreateCustomSkylightBoundsPoints(Objex* skylight, const Float3DRect* bounds); }
// Puts every built part on the plane (a roof plane, or a roof panel's slab).
void FindCustomSkylightPointElevations(Objex* skylight, Objex* plane);
// Rebuilds a custom skylight's parts around its middle and re-fits it: 1 when it was removed.
int UpdateSkylightSymbols(Objex* skylight);
int UpdateSkylightSymbolsLayer(Layer* layer);
int UpdateSkylightSymbolsAllLayers();
// Materials of the built frames and leaves: texture, colour (red and green from `colour`'s
// red and green, blue from `blue`) and texture scale on both sides of every point.
void ApplyVisualAttributesToSkylightSymbols(Objex* skylight, int32_t texture, RGBColor colour, uint16_t blue,
                                            ShortPoint scale);
// The plan size of a custom skylight's definition: the x and z extents of its (flattened)
// outline list and their 3D box. 0 (sizes 0, the box empty) without outlines.
int GetCustomSkylightWHAndBounds(const RoofAttachmentData* record, float* width, float* height, Float3DRect* box);
