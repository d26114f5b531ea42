// Refitting the attachments of every wall of a floor measures the current floor's attached
// dimensions once, after the walk: the design comes out byte for byte as when every wall's
// refit measured the whole floor again.
#include <cstdint>
#include <random>
#include <vector>

#include "AttachedDimSupport.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "model/Attachments.h"
#include "model/Services.h"
#include "tools/WallAttachments.h"

namespace {

// A floor of `walls` U-shaped walls in rows, 80 apart, each facing its neighbours, with a
// dimension on every third (either side, centre or face mode); every 40th of those lies beyond
// its segment's end (its refit deletes it), and every 7th wall is turned a little, so that
// some dimensions meet no wall and some meet walls aslant. Heights start stale.
void AddWallRows(TestDocument& doc, Layer* floor, int walls, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> jitter(-6.0f, 6.0f);
  int dims = 0;
  for (int i = 0; i < walls; ++i) {
    const float x = static_cast<float>(i % 50) * 80.0f, z = static_cast<float>(i / 50) * 160.0f;
    const float turn = i % 7 == 0 ? jitter(random) : 0.0f;
    Objex* w = AddTestWall(doc, {{x, z}, {x + 60, z + turn}, {x + 60 + turn, z + 120}}, i % 11 == 0,
                           i % 5 == 0 ? 8.0f : 4.0f, floor);
    if (i % 3 != 0) continue;
    Poinz* a = w->firstPoint->next;
    Objex* dim = AddDim(w, a, a->next, i % 2 == 0, i % 4 == 0);
    if (++dims % 40 == 0) AttachmentData(dim)->startDistance = 400;
  }
}

struct Design {
  TestDocument doc;
  explicit Design(int firstFloorWalls) {
    AddWallRows(doc, doc.first, firstFloorWalls, 11);
    AddWallRows(doc, doc.second, 150, 12);
    doc.second->visible = 1;
    doc.model.itsCurLayer = doc.first;
  }
  // The design's bytes, as a save or an undo snapshot writes them.
  std::vector<uint8_t> bytes() {
    BeginOutputBuffer();
    WriteDesignToOutputBuffer();
    std::vector<uint8_t> written = gStream.outDataBuffer;
    ReleaseOutputBuffer();
    return written;
  }
};

// The walk as it was: each object's refit measuring the current floor's dimensions again.
void RefitEachMeasuringTheFloor(Layer* layer) {
  for (Objex* o = layer->firstObject; o;) {
    Objex* next = o->next;
    UpdateAllWallAttachments(o);
    o = next;
  }
}

// The bytes of the 2,000-wall design after each wall's refit measured the floor.
constexpr size_t kMeasuredPerWallSize = 2932250;
constexpr uint64_t kMeasuredPerWallHash = 14192879324877982458ull;

struct Walk {
  const char* name;
  void (*rebuild)(Design&);
  void (*reference)(Design&);
};

const Walk kWalks[] = {
    {"the current floor", [](Design& d) { UpdateAllWallAttachmentsLayer(d.doc.first); },
     [](Design& d) { RefitEachMeasuringTheFloor(d.doc.first); }},
    // Each refit measures the current floor, not the one walked.
    {"another floor", [](Design& d) { UpdateAllWallAttachmentsLayer(d.doc.second); },
     [](Design& d) { RefitEachMeasuringTheFloor(d.doc.second); }},
    {"every floor", [](Design& d) { UpdateAllWallAttachmentsAllLayers(d.doc.model.itsLayers); },
     [](Design& d) {
       for (Layer* l = d.doc.model.itsLayers; l; l = l->next)
         if (l->visible) RefitEachMeasuringTheFloor(l);
     }},
};

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

using RebuiltWallDims = ToolTest;

// Each walk against the walk that measures the floor after every wall, on a floor small
// enough for that walk to be quick.
TEST_F(RebuiltWallDims, RefittingEveryWallLeavesTheDesignAsMeasuringTheFloorAfterEachWall) {
  constexpr int kWalls = 300;
  for (const Walk& walk : kWalks) {
    SCOPED_TRACE(walk.name);
    std::vector<uint8_t> before, measuredPerWall, measuredOnce;
    {
      Design d(kWalls);
      before = d.bytes();
      walk.reference(d);
      measuredPerWall = d.bytes();
    }
    {
      Design d(kWalls);
      ASSERT_EQ(d.bytes(), before);  // the same design again
      walk.rebuild(d);
      measuredOnce = d.bytes();
    }
    // The walk measures and deletes dimensions: the design changed.
    EXPECT_NE(measuredPerWall, before);
    EXPECT_TRUE(measuredOnce == measuredPerWall) << "the bytes differ";
  }
}

// 2,000 walls on the current floor: the design's bytes after the walk are those the walk
// measuring the floor after every wall wrote (recorded: that walk takes minutes here).
TEST_F(RebuiltWallDims, TwoThousandWallsRefittedWriteTheBytesMeasuringPerWallWrote) {
  Design d(2000);
  const std::vector<uint8_t> before = d.bytes();
  UpdateAllWallAttachmentsLayer(d.doc.first);
  const std::vector<uint8_t> after = d.bytes();
  EXPECT_NE(after, before);
  EXPECT_EQ(after.size(), kMeasuredPerWallSize);
  EXPECT_EQ(Fnv1a(after), kMeasuredPerWallHash);
}

}  // namespace
