// A paste after a paste into the same floor goes on from what that paste left (the objects it
// left selected, the floor's still walls and their dimensions) only while nothing has changed
// the design since: after every kind of edit between two pastes, the design comes out as when
// every paste walks the whole design afresh.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "AttachedDimSupport.h"
#include "ToolTestSupport.h"
#include "WallTestSupport.h"
#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/ObjectFile.h"
#include "files/Undo.h"
#include "model/Attachments.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/HitTest.h"
#include "model/PaletteLinks.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/TransformInfo.h"
#include "platform/Alerts.h"
#include "platform/TemporaryFolder.h"
#include "tools/AttachedWallDims.h"

namespace {

int sClearedSegments = 0;

// Everything a paste can change, floor by floor: each record's ID and type, each point's ID,
// selection and plan position, each attached dimension's height, and how often the wall segment
// picked for dimensioning was cleared.
struct DesignState {
  std::vector<int64_t> records;
  std::vector<float> positions, heights;
  int cleared = 0;
  bool operator==(const DesignState&) const = default;
};

void Collect(const Objex* o, DesignState* s) {
  for (; o; o = o->next) {
    s->records.insert(s->records.end(), {o->objectID, o->type});
    for (const Poinz* p = o->firstPoint; p; p = p->next) {
      s->records.insert(s->records.end(), {p->pointID, p->selected});
      s->positions.insert(s->positions.end(), {p->position[0], p->position[2]});
    }
    if (o->subtype == kSubDimensionAttachment && AttachmentData(o)) s->heights.push_back(AttachmentData(o)->height);
    Collect(o->firstChild, s);
  }
}

DesignState StateOf(TestDocument& d) {
  DesignState s;
  for (const Layer* l = d.model.itsLayers; l; l = l->next) {
    s.records.push_back(-1);
    Collect(l->firstObject, &s);
  }
  s.records.insert(s.records.end(), {d.ds()->nextObjectID, d.ds()->nextPointID});
  s.cleared = sClearedSegments;
  return s;
}

Objex* LastOf(const Layer* l) {
  Objex* o = l->firstObject;
  while (o && o->next) o = o->next;
  return o;
}

Objex* NthWall(const Layer* l, int n) {
  for (Objex* o = l->firstObject; o; o = o->next)
    if (o->type == kObjWall && n-- == 0) return o;
  return nullptr;
}

// Rooms about the centre of the window (where pastes land) with dimensions both ways, lines,
// a group of a line; on the second floor (shown, not selectable) a selected room that each
// paste carries along, on the third (hidden) a selected line.
std::vector<Objex*> Build(TestDocument& d) {
  std::vector<Objex*> copied;
  for (int i = 0; i < 36; ++i) {
    const float x = static_cast<float>(i % 6) * 110 - 330, z = static_cast<float>(i / 6) * 110 - 330;
    Objex* w = AddTestWall(d, {{x, z}, {x + 70, z}, {x + 70, z + 70}, {x, z + 70}}, i % 3 == 0,
                           4 + static_cast<float>(i % 4), d.first);
    AddDim(w, w->firstPoint, w->firstPoint->next, i % 2 == 0, i % 5 == 0);
    AddDim(w, w->firstPoint->next, w->firstPoint->next->next, i % 2 == 1, false);
    if (i == 14 || i == 21) copied.push_back(w);
  }
  for (int i = 0; i < 4; ++i) {
    const float c = static_cast<float>(i) * 90 - 180;
    Objex* line = d.addObject(kObjLine, false, {{c, -400}, {c + 50, -360}}, d.first);
    UpdateObjectBounds(line);
    if (i == 1) copied.push_back(line);
  }
  RGBColor black{};
  Objex* group = CreateObject(kObjGroup, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr);
  AppendObjectToLayer(group, d.first);
  Objex* member = d.addObject(kObjLine, false, {{-50, 420}, {40, 380}}, d.first);
  UnlinkObject(member);
  member->layer = d.first;
  AppendChildToObject(member, group);
  UpdateObjectBounds(member);
  UpdateObjectBounds(group);
  copied.push_back(group);
  Objex* upstairs = AddTestWall(d, {{-60, -60}, {60, -60}, {60, 60}}, false, 6, d.second);
  Objex* hidden = d.addObject(kObjLine, false, {{0, 0}, {30, 30}}, d.third);
  d.third->visible = 0;
  UpdateAttachedDimLayer(d.first);
  for (Layer* l = d.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) SelectObj(o, kSelectOff, 0);
  SelectObj(upstairs, kSelectOn, 0);
  SelectObj(hidden, kSelectOn, 0);
  return copied;
}

struct Edit {
  std::string name;
  std::function<void(TestDocument&)> edit;
  // Whether the paste after it may still go on from the paste before.
  bool goesOn = false;
};

struct PasteCarry : ToolTest {
  std::string scratch = ApplicationTemporaryPath() + "/paste-carry-" + std::to_string(getpid());
  ScopedAlertRecorder alerts;
  PlanDrawingServices savedServices = gPlanDrawingServices;

  void SetUp() override {
    ToolTest::SetUp();
    ASSERT_TRUE(CreateApplicationTemporaryFolder());
    gPlanDrawingServices.clearDimensionWallSegmentSelection = [] { ++sClearedSegments; };
  }
  void TearDown() override {
    gPlanDrawingServices = savedServices;
    std::remove((scratch + ".dat").c_str());
    std::remove((scratch + ".obj").c_str());
    FreeClipBoardPaletteList();
    ToolTest::TearDown();
  }

  // The test design built on its first floor with the selection tool, its copied objects copied.
  static void CopyBuilt(TestDocument& design) {
    design.model.itsCurLayer = design.first;
    gMirroring = 0;
    gCurTool = kToolSelection;
    for (Objex* o : Build(design)) SelectObj(o, kSelectOn, 1);
    DoCopyObjects();
  }

  // Three pastes, the edit, three pastes; the design after each paste. With `fresh` every
  // paste walks the whole design. `carried` gets whether each paste went on from the one
  // before.
  std::vector<DesignState> Run(const Edit& e, bool fresh, std::vector<bool>* carried) {
    ResetByteStream();
    sClearedSegments = 0;
    TestDocument design;
    CopyBuilt(design);
    std::vector<DesignState> states;
    for (int i = 0; i < 6; ++i) {
      if (i == 3) e.edit(design);
      if (fresh) ForgetPasteCarry();
      DoPasteObjects();
      if (carried) carried->push_back(LastPasteWentOn());
      states.push_back(StateOf(design));
      // No group is left without members on the floor pasted into (the first; a restored
      // state brings floors of its own).
      for (const Objex* o = design.model.itsLayers->firstObject; o; o = o->next)
        EXPECT_FALSE(o->type == kObjGroup && !o->firstChild) << "paste " << i;
    }
    ForgetPasteCarry();
    ResetByteStream();
    return states;
  }
};

TEST_F(PasteCarry, AfterEveryKindOfEditAPasteGivesWhatTheWholeWalkGives) {
  auto moveBy = [](Objex* wall, float dx, float dz) {
    for (Poinz* p = wall->firstPoint; p; p = p->next) p->position[0] += dx, p->position[2] += dz;
    UpdateObjectBounds(wall);
  };
  const std::string saved = scratch + ".dat", objects = scratch + ".obj";
  const Edit edits[] = {
      {"nothing", [](TestDocument&) {}, true},
      // A still wall dragged across where the pastes land, as the move tool leaves it.
      {"a wall moved by the move tool",
       [](TestDocument& d) {
         SelectAllLayers(d.model.itsLayers, kSelectOff, 1);
         Objex* wall = NthWall(d.first, 15);
         SelectObj(wall, kSelectOn, 1);
         TransformInfo offset{};
         offset.delta[0] = 150;
         offset.delta[2] = 170;
         offset.scale[0] = offset.scale[1] = offset.scale[2] = 1;
         SelectedObjectAllLayers(d.model.itsLayers, 1, kCmdTranslateObjects, CommandArg::Transform(&offset));
       }},
      // The same wall's points moved without a change of selection, the wall rebuilt.
      {"a wall's points moved and the wall rebuilt",
       [&moveBy](TestDocument& d) {
         Objex* wall = NthWall(d.first, 15);
         moveBy(wall, 160, 180);
         Update3DWall(wall);
         UpdateAllWallAttachments(wall);
       }},
      {"an object selected by a click", [](TestDocument& d) { SelectObj(d.first->firstObject, kSelectOn, 1); }},
      {"a pasted object deselected", [](TestDocument& d) { SelectObj(LastOf(d.first), kSelectOff, 1); }},
      {"a pasted wall deleted", [](TestDocument& d) { DeleteObj(NthWall(d.first, 37)); }},
      {"the group's member deleted", [](TestDocument& d) {
         for (Objex* o = d.first->firstObject; o; o = o->next)
           if (o->type == kObjGroup && o->firstChild) {
             DeleteObj(o->firstChild);
             break;
           }
       }},
      // What Edit > Paste does after each paste: the next paste still goes on.
      {"the design stored as an undo state",
       [&saved](TestDocument&) { ASSERT_TRUE(SaveState(saved.c_str())); }, true},
      // An edit road closed by its undo state: whatever it wrote directly, the paste walks again;
      // Edit > Paste's own state after a paste leaves the carry standing.
      {"an edit's undo state stored", [](TestDocument&) { StoreUndo("Move"); }},
      {"the undo state a paste stores", [](TestDocument&) { StoreUndoAfterPaste("Paste"); }, true},
      {"a stored state restored (undo)",
       [&saved](TestDocument& d) {
         ASSERT_TRUE(SaveState(saved.c_str()));
         SelectObj(d.first->firstObject, kSelectOn, 1);
         ASSERT_TRUE(RestoreState(saved.c_str()));
       }},
      {"an object file read",
       [&objects](TestDocument& d) {
         ASSERT_TRUE(ObjectFileWrite(objects.c_str()));
         ASSERT_TRUE(ObjectFileRead(objects.c_str()));
       }},
      // The current floor switched: the paste goes to the floor it was copied from all the same.
      {"another floor made current", [](TestDocument& d) { d.model.itsCurLayer = d.second; }, true},
      {"the hidden floor shown", [](TestDocument& d) { d.third->visible = 1; }},
      {"the floor above made selectable", [](TestDocument& d) { d.second->selectable = 1; }},
      {"a point tool taken up", [](TestDocument&) { gCurTool = 216; }},
      {"the plan scale changed", [](TestDocument& d) { d.ds()->planScale = 48; }},
  };
  for (const Edit& e : edits) {
    SCOPED_TRACE(e.name);
    std::vector<bool> carried;
    const std::vector<DesignState> went = Run(e, false, &carried);
    const std::vector<DesignState> walked = Run(e, true, nullptr);
    ASSERT_EQ(went.size(), walked.size());
    for (size_t i = 0; i < went.size(); ++i) {
      EXPECT_EQ(went[i].records, walked[i].records) << "paste " << i;
      EXPECT_EQ(went[i].positions, walked[i].positions) << "paste " << i;
      EXPECT_EQ(went[i].heights, walked[i].heights) << "paste " << i;
      EXPECT_EQ(went[i].cleared, walked[i].cleared) << "paste " << i;
    }
    // The pastes with nothing between them went on from the one before.
    ASSERT_EQ(carried.size(), 6u);
    EXPECT_FALSE(carried[0]);
    EXPECT_TRUE(carried[1]);
    EXPECT_TRUE(carried[2]);
    EXPECT_EQ(carried[3], e.goesOn);
    EXPECT_TRUE(carried[5]);
  }
}

// Many pastes in a row (the still walls gathered into grids as the floor grows) measure as
// walking the whole floor each time.
TEST_F(PasteCarry, ManyPastesMeasureAsTheWholeWalk) {
  auto run = [&](bool fresh) {
    ResetByteStream();
    TestDocument design;
    CopyBuilt(design);
    std::vector<DesignState> states;
    for (int i = 0; i < 40; ++i) {
      if (fresh) ForgetPasteCarry();
      DoPasteObjects();
      EXPECT_EQ(LastPasteWentOn(), !fresh && i > 0) << "paste " << i;
      if (i % 8 == 7) states.push_back(StateOf(design));
    }
    ForgetPasteCarry();
    ResetByteStream();
    return states;
  };
  sClearedSegments = 0;
  const std::vector<DesignState> went = run(false);
  sClearedSegments = 0;
  const std::vector<DesignState> walked = run(true);
  EXPECT_EQ(went, walked);
}

}  // namespace
