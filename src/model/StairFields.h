// The fields of staircases and railings under the names the stair and railing code reads
// them by. The records keep one field per meaning (Records.h, DocState.h); these accessors
// only name them.
#pragma once
#include <cstdint>

#include "model/DocState.h"
#include "model/Records.h"

// Staircases: hand rail, posts and balusters on the left / right side (1 = yes).
inline int32_t& LeftRailOf(Objex* o) { return o->extraLong; }
inline int32_t& RightRailOf(Objex* o) { return o->extraFlags; }
// Staircases and decks: 1.0 = closed steps (solid blocks, paneled underside), 0 = open treads.
inline float& ClosedStepsOf(Objex* o) { return o->plantAge; }
// Staircases: stringers and landing panels reach down to the base level.
inline uint8_t& SkirtWallsOf(Objex* o) { return o->capped; }
// Staircases: nonzero = closed stringers (straight top edge) / a long stringer base.
inline int16_t& ClosedStringersOf(Objex* o) { return o->penStyle; }
inline int16_t& LongStringerBaseOf(Objex* o) { return o->fillPattern; }
// Staircases: width, step height, step depth, handrail height and total rise (world units).
inline float& StairWidthOf(Objex* o) { return o->params[0]; }
inline float& StairStepHeightOf(Objex* o) { return o->params[1]; }
inline float& StairStepDepthOf(Objex* o) { return o->params[2]; }
inline float& StairHandrailHeightOf(Objex* o) { return o->params[3]; }
inline float& StairHeightOf(Objex* o) { return o->params[4]; }
// Railings: handrail height and baluster spacing (world units).
inline float& RailHeightOf(Objex* o) { return o->params[0]; }
inline float& RailBalusterSpacingOf(Objex* o) { return o->params[1]; }
// Railing points: a post stands at the point.
constexpr int32_t kDeckSegmentPost = 32;
