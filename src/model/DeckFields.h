// The fields of decks, deck steps, paths, excavations, photo views and floor skirting under the
// names the deck and site code reads them by. The records keep one field per meaning
// (Records.h, Attachments.h, DocState.h); these accessors only name them.
#pragma once
#include <cstdint>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/Records.h"

// Deck segment flags (Poinz.segmentFlags of a deck point, for the segment starting there).
constexpr int32_t kDeckSegmentRailing = 1;
constexpr int32_t kDeckSegmentSkirtingToGround = 4;
constexpr int32_t kDeckSegmentLeftStepRail = 8;
constexpr int32_t kDeckSegmentRightStepRail = 16;
// kDeckSegmentPost (32) lives with the railing fields (model/StairFields.h).

// Decks: height and spindle spacing (world units).
inline float& DeckHeightOf(Objex* o) { return o->params[0]; }
inline float& DeckSpindleSpacingOf(Objex* o) { return o->params[1]; }
// Deck points: railing height of the segment and the width and height of steps kept on the
// point by older files (all world units).
inline float& RailingHeightOf(Poinz* p) { return p->segmentFloats[0]; }
inline float& PointStepWidthOf(Poinz* p) { return p->segmentFloats[1]; }
inline float& PointStepHeightOf(Poinz* p) { return p->segmentFloats[2]; }

// Paths: 1 = straight edges, 0 = curved.
inline int32_t& StraightPathOf(Objex* o) { return o->extraFlags; }
// Floors, cut-outs and cabinets: skirting height; excavations: depth (world units).
inline float& SkirtingHeightOf(Objex* o) { return o->params[2]; }
inline float& ExcavationDepthOf(Objex* o) { return o->params[2]; }
// Photo views: the picture height (plan units).
inline float& PhotoHeightOf(Objex* o) { return o->params[0]; }

// Document defaults of the deck and path tools.
inline float& DeckRailingHeightOf(DocState* ds) { return ds->deckRailHeight; }
inline float& DeckSpindleSpacingOf(DocState* ds) { return ds->deckSetting1; }
inline float& DeckStepHeightOf(DocState* ds) { return ds->deckStepSetting2; }
inline uint8_t& StraightPathsOf(DocState* ds) { return ds->pathSetting1; }
// The pen colour of new deck steps.
inline RGBColor& DeckStepsPenColorOf(DocState* ds) { return ds->wallFillColor; }

// The record of a deck-steps object (kObjDeckSteps) is the attachment record under the deck
// steps' names: the segment the steps sit on, the distance from its start to their middle,
// the sort links of one segment's steps, and the two rail switches.
using DeckStepsData = DoorWindowData;
inline Poinz*& SegmentStartOf(DeckStepsData* r) { return r->anchorStart; }
inline Poinz*& SegmentEndOf(DeckStepsData* r) { return r->anchorEnd; }
inline float& CentreOffsetOf(DeckStepsData* r) { return r->startDistance; }
inline DoorWindowData*& PrevOnSegmentOf(DeckStepsData* r) { return r->linkPrev; }
inline DoorWindowData*& NextOnSegmentOf(DeckStepsData* r) { return r->linkNext; }
inline int16_t& StepsLeftRailOf(DeckStepsData* r) { return r->auxShort1; }
inline int16_t& StepsRightRailOf(DeckStepsData* r) { return r->auxShort2; }
