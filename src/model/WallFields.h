// The fields of walls, wall points and the wall tool defaults under the names the wall
// code reads them by. The records keep one field per meaning (Records.h, DocState.h);
// these accessors only name them. Also the new side records and segment values the wall tools
// make from those defaults.
#pragma once
#include <cstdint>
#include <cstdlib>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/Types.h"

// A wall side record (one per side per segment, owned by the segment's start point).
using WallSideData = TrimData;
// Flag bits of a wall side record: the sides of interior walls carry both.
constexpr int32_t kWallSideInteriorBits = 1 | 2;

// Per-segment fields of a wall point (the segment that starts at the point).
inline float& BaseElevationOf(Poinz* p) { return p->segmentElevation; }
inline int32_t& WallStyleOf(Poinz* p) { return p->segmentLong1; }
inline int16_t& WallOptionOf(Poinz* p) { return p->segmentShort1; }
inline int16_t& FlipDimensionOf(Poinz* p) { return p->segmentShort2; }
// Bit 1 hides the segment's dimensions, bit 2 its door and window callouts.
inline int32_t& DisplayFlagsOf(Poinz* p) { return p->segmentFlags; }
inline WallSideData* SideAOf(const Poinz* p) { return static_cast<WallSideData*>(p->trim1); }
inline WallSideData* SideBOf(const Poinz* p) { return static_cast<WallSideData*>(p->trim2); }
inline float& WallHeightOf(Poinz* p) { return p->segmentFloats[0]; }
inline float& PitchAOf(Poinz* p) { return p->segmentFloats[1]; }
inline float& PitchBOf(Poinz* p) { return p->segmentFloats[2]; }
inline float& HeightCOf(Poinz* p) { return p->segmentFloats[3]; }
inline float& HeightDOf(Poinz* p) { return p->segmentFloats[4]; }

// Wall object fields (world units).
// Where the thickness lies: 0 centred on the drawn line, 1 and 2 wholly on one side.
inline int32_t& WallAlignmentOf(Objex* o) { return o->extraLong; }
inline float& StudSpacingOf(Objex* o) { return o->params[1]; }
inline float& FloorDepthOf(Objex* o) { return o->params[2]; }
inline float& FoundationWidthOf(Objex* o) { return o->params[3]; }
// Set: the wall makes no automatic floor.
inline uint16_t& NoAutoFloorOf(Objex* o) { return o->options[0]; }

// Wall tool defaults of the document.
inline RGBColor& DoorColorOf(DocState* ds) { return ds->wallFillColor; }
inline RGBColor& WallSegmentColorOf(DocState* ds) { return ds->wallColor; }
inline float& DefaultFloorDepthOf(DocState* ds) { return ds->wallSetting3; }
inline float& DefaultFoundationWidthOf(DocState* ds) { return ds->exteriorWallSetting; }
// The wall tool's one short default: new exterior walls make no automatic floor, and every
// new segment keeps a copy of it.
inline int16_t& NoAutoFloorOf(DocState* ds) { return ds->wallSetting8; }
inline int16_t& WallOptionOf(DocState* ds) { return ds->wallSetting8; }
inline float& WallPitchAOf(DocState* ds) { return ds->wallSetting4; }
inline float& WallPitchBOf(DocState* ds) { return ds->wallSetting5; }
inline float& WallHeightCOf(DocState* ds) { return ds->wallSetting9; }
inline float& WallHeightDOf(DocState* ds) { return ds->wallSetting10; }
// Plan bits of new exterior walls: 1 with a foundation, 2 without.
inline int32_t& ExteriorWallPlanMaskOf(DocState* ds) { return ds->wallFoundation; }

// A new wall side record: the five material slots of a new wall side (textures 2213, 2213, 2213,
// 2212 and 850, white, whole scale), with `interior` the interior bits. Null when out of memory.
inline WallSideData* NewWallSide(bool interior) {
  auto* side = static_cast<WallSideData*>(calloc(1, sizeof(WallSideData)));
  if (!side) return nullptr;
  if (interior) side->trimCodeA = kWallSideInteriorBits;
  const int32_t textures[5] = {2213, 2213, 2213, 2212, 850};
  for (int i = 0; i < 5; ++i) {
    side->slotTextureIDs[i] = textures[i];
    side->slotColors[i] = RGBColor{65535, 65535, 65535};
    side->slotTextureScales[i] = ShortPoint{100, 100};
  }
  return side;
}

// The values a new wall segment starting at `p` takes from the wall tool defaults: no texture,
// the segment colour, base elevation, style, option, heights and pitches, whole texture scale.
// Its dimension side, display flags and side records are the tool's to set.
inline void SetWallSegmentDefaults(Poinz* p, DocState* ds) {
  p->textureID[0] = p->textureID[1] = 0;
  p->color[0] = p->color[1] = WallSegmentColorOf(ds);
  BaseElevationOf(p) = ds->baseElevation;
  WallStyleOf(p) = ds->wallStyle;
  WallOptionOf(p) = WallOptionOf(ds);
  WallHeightOf(p) = ds->wallHeight;
  PitchAOf(p) = WallPitchAOf(ds);
  PitchBOf(p) = WallPitchBOf(ds);
  HeightCOf(p) = WallHeightCOf(ds);
  HeightDOf(p) = WallHeightDOf(ds);
  p->textureScale[0] = p->textureScale[1] = ShortPoint{100, 100};
}
