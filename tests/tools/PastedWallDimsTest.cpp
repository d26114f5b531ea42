// Pasting measures only the attached wall dimensions the pasted walls can have changed: after
// many pastes the floor is bit for bit what measuring the whole floor after each move leaves,
// including dimensions that met a pasted wall only while it lay at the centre of the window.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "AttachedDimSupport.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/StreamState.h"
#include "model/Attachments.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/WallFields.h"
#include "tools/AttachedWallDims.h"

namespace {

// Everything a paste can change on the floor: each record's ID, the walls' points and each
// attached dimension's height and points.
struct FloorState {
  std::vector<uint32_t> ids;
  std::vector<float> wallPoints, heights, dimPoints;
  bool operator==(const FloorState&) const = default;
};

FloorState StateOf(Layer* layer) {
  FloorState s;
  for (Objex* o = layer->firstObject; o; o = o->next) {
    s.ids.push_back(o->objectID);
    if (o->type == kObjWall)
      for (Poinz* p = o->firstPoint; p; p = p->next) s.wallPoints.insert(s.wallPoints.end(), {p->position[0], p->position[2]});
    for (Objex* c = o->firstChild; c; c = c->next) {
      s.ids.push_back(c->objectID);
      if (c->subtype != kSubDimensionAttachment) continue;
      s.heights.push_back(AttachmentData(c)->height);
      for (Poinz* p = c->firstPoint; p; p = p->next) s.dimPoints.insert(s.dimPoints.end(), {p->position[0], p->position[2]});
    }
  }
  return s;
}

struct PastedWallDims : ToolTest {
  // Builds the floor in a fresh design, measures it whole, copies the walls `copied` picks and
  // pastes them `pastes` times; answers the floor after each paste.
  template <typename Build>
  std::vector<FloorState> Paste(Build build, int pastes, bool whole, float offset) {
    TestDocument design;
    design.model.itsDocID = 5;
    design.model.itsCurLayer = design.first;
    ResetByteStream();
    gMirroring = 0;
    std::vector<Objex*> copied = build(design);
    UpdateAttachedDimLayer(design.first);
    for (Objex* o = design.first->firstObject; o; o = o->next) SelectObj(o, kSelectOff, 0);
    for (Objex* o : copied) SelectObj(o, kSelectOn, 1);
    DoCopyObjects();
    gPasteOffset = offset;
    const ToolsServices saved = gToolsServices;
    if (whole) gToolsServices.beginMovedWallDimensions = nullptr;
    std::vector<FloorState> states;
    for (int i = 0; i < pastes; ++i) {
      DoPasteObjects();
      states.push_back(StateOf(design.first));
    }
    gToolsServices = saved;
    ResetByteStream();
    return states;
  }

  template <typename Build>
  void ExpectPastesMeasureAsTheWholeFloor(Build build, int pastes, float offset) {
    const std::vector<FloorState> local = Paste(build, pastes, false, offset);
    const std::vector<FloorState> whole = Paste(build, pastes, true, offset);
    ASSERT_EQ(local.size(), whole.size());
    for (size_t i = 0; i < local.size(); ++i) {
      EXPECT_EQ(local[i].ids, whole[i].ids) << "paste " << i;
      EXPECT_EQ(local[i].wallPoints, whole[i].wallPoints) << "paste " << i;
      EXPECT_EQ(local[i].heights, whole[i].heights) << "paste " << i;
      EXPECT_EQ(local[i].dimPoints, whole[i].dimPoints) << "paste " << i;
    }
  }
};

// Rooms in a lattice about the centre of the window (where pastes land), dimensions both ways
// and from the faces, and lonely walls far out whose dimensions face nothing but the pastes.
std::vector<Objex*> Lattice(TestDocument& d) {
  std::vector<Objex*> copied;
  for (int i = 0; i < 64; ++i) {
    const float x = static_cast<float>(i % 8) * 110 - 440, z = static_cast<float>(i / 8) * 110 - 440;
    Objex* w = AddTestWall(d, {{x, z}, {x + 70, z}, {x + 70, z + 70}, {x, z + 70}}, i % 3 == 0,
                           4 + static_cast<float>(i % 4), d.first);
    AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i % 5 == 0);
    AddDim(w, w->firstPoint->next, w->firstPoint->next->next, i % 2 == 1, false);
    if (i == 9 || i == 18 || i == 27) copied.push_back(w);
  }
  for (int i = 0; i < 12; ++i) {
    // Across the diagonal the pastes move along, from outside the lattice, each way.
    const float c = static_cast<float>(i) * 60 - 330;
    Objex* w = AddTestWall(d, {{-2000, c}, {-2000, c + 30}}, false, 4, d.first);
    AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i % 3 == 0);
    Objex* v = AddTestWall(d, {{c, 2000}, {c + 30, 2000}}, false, 4, d.first);
    AddDim(v, v->firstPoint, v->firstPoint->next, i % 2 == 1, false);
  }
  return copied;
}

TEST_F(PastedWallDims, ManyPastesLeaveTheFloorAsMeasuringItWholeAfterEachMove) {
  struct Case {
    std::string name;
    std::vector<Objex*> (*build)(TestDocument&);
    int pastes;
    float offset = 0;
  };
  const Case cases[] = {
      {"rooms in a lattice", Lattice, 24},
      // Pastes stepping through (32000, 32000), where lines that never meet are put.
      {"rooms in a lattice, pasted far out", Lattice, 24, 31600},
      {"walls at every angle, one copied with a dimension facing nothing",
       [](TestDocument& d) {
         std::vector<Objex*> copied;
         for (int i = 0; i < 80; ++i) {
           const float a = static_cast<float>(i) * 0.37f, r = 150 + static_cast<float>(i % 9) * 90;
           const float x = r * std::cos(a), z = r * std::sin(a);
           Objex* w = AddTestWall(d, {{x, z}, {x + 50 * std::cos(a * 3), z + 50 * std::sin(a * 3)}, {x + 20, z + 60}},
                                  false, 6, d.first);
           AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i % 4 == 0);
           if (i % 23 == 0) copied.push_back(w);
         }
         Objex* lonely = AddTestWall(d, {{5000, 5000}, {5040, 5000}}, false, 4, d.first);
         AddDim(lonely, lonely->firstPoint, lonely->firstPoint->next, true, false);
         copied.push_back(lonely);
         return copied;
       },
       16},
      {"a copy of walls with no dimensions",
       [](TestDocument& d) {
         Lattice(d);
         Objex* bare = AddTestWall(d, {{-30, -30}, {30, -30}, {30, 30}}, false, 8, d.first);
         return std::vector<Objex*>{bare};
       },
       12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectPastesMeasureAsTheWholeFloor(c.build, c.pastes, c.offset);
  }
}

// A paste of many walls (every room of the lattice, then of the lattice and its first copies)
// measures the floor as the whole-floor measurement does, at both ends of the plan scales: the
// face dimensions reach half their wall's thickness farther in plan units.
TEST_F(PastedWallDims, PastesOfWholeFloorsLeaveWhatMeasuringItWholeLeaves) {
  for (const float scale : {72.0f, 18.0f}) {
    SCOPED_TRACE(scale);
    ExpectPastesMeasureAsTheWholeFloor(
        [scale](TestDocument& d) {
          d.ds()->planScale = scale;
          Lattice(d);
          std::vector<Objex*> copied;
          for (Objex* o = d.first->firstObject; o; o = o->next) copied.push_back(o);
          return copied;
        },
        4, 0);
  }
}

// The pastes reach dimensions that were on the floor before them: the lonely dimensions of the
// lattice measure to pasted walls (or keep what a pasted wall gave them while it lay in their way).
TEST_F(PastedWallDims, PastesChangeDimensionsAlreadyOnTheFloor) {
  TestDocument design;
  design.model.itsCurLayer = design.first;
  std::vector<Objex*> copied = Lattice(design);
  UpdateAttachedDimLayer(design.first);
  const FloorState before = StateOf(design.first);
  for (Objex* o = design.first->firstObject; o; o = o->next) SelectObj(o, kSelectOff, 0);
  for (Objex* o : copied) SelectObj(o, kSelectOn, 1);
  ResetByteStream();
  gMirroring = 0;
  DoCopyObjects();
  for (int i = 0; i < 10; ++i) DoPasteObjects();
  const FloorState after = StateOf(design.first);
  ResetByteStream();
  ASSERT_GT(after.heights.size(), before.heights.size());
  int changed = 0;
  for (size_t i = 0; i < before.heights.size(); ++i) changed += after.heights[i] != before.heights[i];
  EXPECT_GT(changed, 4);
}

}  // namespace
