// The staircase and railing tools of the floor and deck palettes: straight staircases and
// railings entered corner by corner, and the curved staircase dragged as a quarter ellipse.
// Each new object takes the document's staircase or railing defaults and gets its 3D parts.
#pragma once
#include <cstdint>

struct Objex;

// Straight staircases (7058; 7604 from the deck palette): the new staircase at the end
// stage, else null.
Objex* TrackStraightStaircase(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
// Straight railings (7060, 7602) and curved railings (7061, 7603).
Objex* TrackStraightRailing(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
Objex* TrackCurvedRailing(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);
// Curved staircases (7059, 7605): at the end stage a loop follows the mouse with a quarter
// arc from the mouse-down point until the next click, which makes the staircase.
Objex* TrackCurvedStaircase(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage);

// The staircase fields from the document's staircase defaults (type, subtype, colours, plan
// mask, materials, sizes, rails, skirt walls, steps, stringers, per-point materials).
void SetStaircaseDefaults(Objex* staircase, int32_t subtype, bool deck);
// The railing fields from the document's railing defaults; a post at every point.
void SetRailingDefaults(Objex* railing, int32_t subtype, bool deck);
