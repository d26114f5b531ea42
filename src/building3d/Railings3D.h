// Railings in 3D: straight spans and curved runs of balusters with top and bottom rails,
// posts, the level rail sections of staircase landings, and the small part builders that
// staircases, railings and decks share (boxes, prisms and bars kept in an object's list of
// generated parts, headed by its type data).
#pragma once
#include <cstdint>

#include "model/Types.h"

struct Objex;
struct Layer;
struct Poinz;
struct DashStyle;

// The material of one part: texture, colour and texture scale, given to both sides of
// every point and (unless said otherwise) to the part's pen colour.
struct PartMaterial {
  int32_t texture;
  RGBColor color;
  ShortPoint scale;
};

// Material slot 1 / 2 of an object, and the first point's per-segment material.
PartMaterial MaterialSlot1(const Objex* object);
PartMaterial MaterialSlot2(const Objex* object);
PartMaterial FirstPointMaterial(const Objex* object);
// Texture 2202, white, full scale: framing lumber.
PartMaterial FramingLumber();

// The generated-part list of an object (Objex.typeData): appends a part at the end /
// frees every part and empties the list.
void AppendGeneratedPart(Objex* owner, Objex* part);
// Held by a rebuild for its owner: appends to that owner's list stay constant-time.
struct RailListScope {
  explicit RailListScope(Objex* owner);
  ~RailListScope();
  RailListScope(const RailListScope&) = delete;
  RailListScope& operator=(const RailListScope&) = delete;
  Objex* previousOwner;
  Objex* previousTail;
};
void DeleteGeneratedParts(Objex* owner);
// The number of parts in the list (of one type, or all when type is 0).
int32_t CountGeneratedParts(const Objex* owner, int16_t type = 0);

// A box of four plan corners (x, z pairs) from the bottom levels up to the top levels (one
// level per corner), typed and dressed with the material and appended to the owner's list.
// Null when memory is short or there is no layer to build on.
Objex* AppendBoxPart(Objex* owner, const float corners[8], const float bottom[4], const float top[4],
                     int16_t type, const PartMaterial& material);
// A square prism centred on (x, z), turned to the plan angle: halfAlong and halfAcross plan
// units each way, from level `bottom` up to level `top`.
Objex* AppendPrismPart(Objex* owner, float x, float z, float angle, float halfAlong, float halfAcross,
                       float bottom, float top, int16_t type, const PartMaterial& material);
// A bar from (x0, z0) to (x1, z1), halfAcross each way across the line, its underside at
// bottom0 / bottom1 at the two ends, `thickness` high.
Objex* AppendBarPart(Objex* owner, float x0, float z0, float x1, float z1, float halfAcross, float bottom0,
                     float bottom1, float thickness, int16_t type, const PartMaterial& material);

// The dash record used as a distance walker: its final field holds the distance (a float)
// already walked into the current interval.
float WalkedDistance(const DashStyle& style);
void SetWalkedDistance(DashStyle& style, float distance);

// Railing build state: no rail run is open yet / the last baluster's base of the open run.
extern uint8_t gInitializeRailing;
extern float gPrevRailPt[3];

namespace building3d { void UpdateRailObject(Objex* railing); }
void UpdateStraightRailObject(Objex* railing);
// One straight span: balusters at the spacing (both ends included), top and bottom rails.
// Heights and spacing are world lengths; start and end are x, y, z.
void ConstructRailing(const float start[3], const float end[3], float angle, Objex* owner, float height,
                      float spacing, int32_t texture, RGBColor color, ShortPoint scale);
void UpdateRailStyle(DashStyle* style, Objex* railing);
void UpdateRailSegment(Objex* railing, Poinz* point, Poinz* nextPoint, DashStyle* style);
void UpdateRailList(float x0, float y0, float z0, float x1, float y1, float z1, DashStyle* style,
                    Objex* railing);
void AppendRailSpindle(Objex* railing, float x, float y, float z, float angle);
void AppendDeckRailSpindle(Objex* deck, float x, float y, float z, float angle, float height, int32_t texture,
                           RGBColor color, ShortPoint scale, uint8_t keepBaluster);
// One post, 8 x 8 plan units, from the base's level (or from 0) up screen(height).
void ConstructBaluster(const float base[3], float angle, Objex* owner, float height, uint8_t fromZero,
                       int32_t texture, RGBColor color, ShortPoint scale);
// A level rail section along a staircase landing's edge.
void ConstructRail(const float start[3], const float end[3], float angle, Objex* staircase, uint8_t trimStart,
                   uint8_t trimEnd);
void ConstructCurvedRailSpan(Objex* railing);
void ConstructTexturedRailing(const float start[3], float angle, float length, Objex* owner, int32_t texture,
                              RGBColor color, ShortPoint scale);
void UpdateRailLayer(Layer* layer);
void UpdateRailAllLayers(Layer* firstLayer);
