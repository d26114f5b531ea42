// A group holding every kind of object built with the tools, in the 3D window as the program
// keeps it up to date (no whole rebuild between the steps): raised with Object Elevation, each
// member rises by the group's change and typing the old elevation back puts it where it stood,
// through undo and redo, on the second and third floors and nested in a group; copied or moved
// to the floor above or below, every member is built as opening the saved design builds it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "LiveViewTestSupport.h"
#include "app/PlanViewActions.h"
#include "app/ZLKWindowController.h"
#include "building3d/PlaneObjects.h"
#include "inspectors/ObjectElevationController.h"
#include "inspectors/SheetController.h"
#include "model/CommandCodes.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/PlaneObjectRecords.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"

namespace {

// A vertex of the scene with the normal of its plane.
using SceneVertex = std::array<float, 6>;
// Every vertex built for each plan object, sorted, by where the object stands in the design:
// its floor and its place among the floor's objects (groups left out, so that how members
// are nested does not count), depth first, children (doors, skylights, steps) included.
using MemberScene = std::map<std::string, std::vector<SceneVertex>>;

void NameObjects(const Objex* o, const std::string& floor, int* index, std::map<const Objex*, std::string>* names) {
  for (; o; o = o->next) {
    if (o->type != kObjGroup)
      (*names)[o] = floor + " #" + std::to_string((*index)++) + " kind " + std::to_string(o->type);
    NameObjects(o->firstChild, floor, index, names);
  }
}

// The vertices of a plane object and of its cut-outs.
void AddPlaneObject(const PlaneObject* po, const std::string& name, MemberScene* scene) {
  for (const Plane* p = po->planes; p; p = p->next)
    for (int32_t i = 0; i < p->vertexCount; ++i) {
      const PlaneVertex& v = p->vertices[i];
      (*scene)[name].push_back({v.x, v.y, v.z, p->normal[0], p->normal[1], p->normal[2]});
    }
  for (const PlaneObject* c = po->children; c; c = c->next) AddPlaneObject(c, name, scene);
}

// Vertices in order of their values rounded to a hundredth, so that heights a rounding apart
// sort alike in the scenes compared.
void SortVertices(MemberScene* scene) {
  auto key = [](const SceneVertex& v) {
    std::array<long, 6> k{};
    for (size_t i = 0; i < 6; ++i) k[i] = std::lround(v[i] * 100);
    return k;
  };
  for (auto& [name, vertices] : *scene)
    std::sort(vertices.begin(), vertices.end(),
              [&](const SceneVertex& a, const SceneVertex& b) { return key(a) < key(b); });
}

MemberScene Scene(const ZLKDocumentModel* model) {
  std::map<const Objex*, std::string> names;
  for (const Layer* l = model->itsLayers; l; l = l->next) {
    int index = 0;
    NameObjects(l->firstObject, l->name, &index, &names);
  }
  MemberScene scene;
  for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    const auto found = names.find(po->base2DObject);
    AddPlaneObject(po, found == names.end() ? std::string("no plan object") : found->second, &scene);
  }
  // Edging blocks are built to heights drawn at random: of an edging only where its blocks
  // stand (their foot, the lowest height) and their plan and faces compare.
  for (auto& [object, name] : names) {
    if (object->type != kObjEdging || !scene.count(name)) continue;
    std::vector<SceneVertex>& vertices = scene[name];
    float foot = -INFINITY;
    for (const SceneVertex& v : vertices) foot = std::max(foot, v[1]);
    for (SceneVertex& v : vertices) v[1] = foot;
  }
  SortVertices(&scene);
  return scene;
}

// The same vertices, each `dy` screen units higher (vertex heights grow downwards).
MemberScene Raised(MemberScene scene, float dy) {
  for (auto& [name, vertices] : scene)
    for (SceneVertex& v : vertices) v[1] -= dy;
  SortVertices(&scene);
  return scene;
}

// The members standing on the terrain, by their names in a scene.
std::set<std::string> OnTheTerrain(const ZLKDocumentModel* model) {
  std::map<const Objex*, std::string> names;
  for (const Layer* l = model->itsLayers; l; l = l->next) {
    int index = 0;
    NameObjects(l->firstObject, l->name, &index, &names);
  }
  std::set<std::string> on;
  for (const auto& [object, name] : names)
    if (object->auxFlag) on.insert(name);
  return on;
}

// The lowest vertex (heights grow downwards).
float Foot(const std::vector<SceneVertex>& vertices) {
  float foot = -INFINITY;
  for (const SceneVertex& v : vertices) foot = std::max(foot, v[1]);
  return foot;
}

void ExpectSameScene(const MemberScene& expected, const MemberScene& actual) {
  for (const auto& [name, vertices] : expected)
    if (!actual.count(name)) ADD_FAILURE() << name << ": " << vertices.size() << " vertices expected, none built";
  for (const auto& [name, vertices] : actual) {
    SCOPED_TRACE(name);
    const auto found = expected.find(name);
    if (found == expected.end()) {
      ADD_FAILURE() << vertices.size() << " vertices built, none expected";
      continue;
    }
    ASSERT_EQ(vertices.size(), found->second.size());
    for (size_t i = 0; i < vertices.size(); ++i)
      for (size_t k = 0; k < 6; ++k)
        ASSERT_NEAR(vertices[i][k], found->second[i][k], 2e-3) << "vertex " << i << ", value " << k;
  }
}

class GroupedEveryKindTest : public LiveViewTest {
 protected:
  void afterDocument() override {
    LiveViewTest::afterDocument();
    if (doc) doc->undoManager().removeAllActions();
  }
  void beforeClosing() override {
    if (SheetController* s = SheetController::attachedSheet(window)) s->dismissSheet(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    LiveViewTest::beforeClosing();
  }

  void open(const char* name) {
    openRegressionDesign(name);
    doc->undoManager().removeAllActions();
    second = GetLayerFromName("Second Floor");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->firstObject, nullptr);
    ASSERT_EQ(second->firstObject->type, kObjGroup);
    ASSERT_EQ(second->firstObject->next, nullptr) << "the one group";
    for (Layer* l = model->itsLayers; l; l = l->next) l->visible = 1;
    model->itsCurLayer = second;
    RenderAllLayers();
  }
  // Only this object selected, its floor the current one.
  void selectOnly(Objex* object) {
    SelectAllLayers(model->itsLayers, kSelectOff, 0);
    SetObjectSelectFlags(object, 1);
    model->itsCurLayer = object->layer;
    gCurDocument = model;
  }
  void perform(int32_t command) {
    gCurDocument = model;
    window->planViewActions().perform(command);
  }
  // Object Elevation typed in its sheet and applied.
  void elevate(const char* typed) {
    perform(kTagSetObjectElevation);
    auto* s = qobject_cast<ObjectElevationController*>(SheetController::attachedSheet(window));
    ASSERT_NE(s, nullptr);
    s->elevationText->setText(typed);
    s->okButton()->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(doc->undoManager().undoActionName(), "Object Elevation");
  }
  void saveAndReopen() {
    const std::string path = folder + "/saved.pro";
    ASSERT_TRUE(doc->writeToFile(path, "pro"));
    ASSERT_TRUE(doc->readFromFile(path, "pro"));
    model = doc->documentModel();
    ds = model->itsDocState;
    gCurDocument = model;
    RenderAllLayers();
  }
  float screen(float inches) const { return ConvertWorldToScreen(inches, ds, 0); }

  Layer* second = nullptr;
};

// The tester's design, its group raised from 96" to 120" and back on the second floor, then
// sent to the third (192") and raised there to 216", then put in a group of its own and that
// outer group raised 24": each time every member's 3D rises by the group's change, and
// typing the old elevation back, or Undo, puts each where it stood; Redo raises it again.
TEST_F(GroupedEveryKindTest, ObjectElevationMovesEveryMemberByTheGroupsChange) {
  open("every-kind-grouped-second-floor.pro");
  if (HasFailure()) return;
  Objex* group = second->firstObject;
  EXPECT_FLOAT_EQ(group->baseElevation, 96);

  // Raised by 24" and back, by typing and by undo and redo; the scene as kept live each time.
  // The group elevated: the floor's one object, found again after each step that reads the
  // design back.
  auto raiseAndBack = [&](const char* floor, const char* raised, const char* back) {
    auto theGroup = [&] {
      Objex* g = GetLayerFromName(floor)->firstObject;
      EXPECT_EQ(g->type, kObjGroup);
      return g;
    };
    selectOnly(theGroup());
    RenderAllLayers();
    const MemberScene before = Scene(model);
    ASSERT_GT(before.size(), 10u);
    const std::set<std::string> ground = OnTheTerrain(model);
    // Raised: each member 24" higher. Those on the terrain leave it, standing 24" above the
    // ground (a path lies a little above the terrain, edging blocks a little in it: their
    // shape off it differs by that).
    auto expectRaised = [&] {
      const MemberScene now = Scene(model);
      MemberScene expected = Raised(before, screen(24));
      for (const std::string& name : ground) {
        SCOPED_TRACE(name);
        ASSERT_EQ(now.count(name), 1u);
        EXPECT_NEAR(Foot(now.at(name)), Foot(before.at(name)) - screen(24), 8.5f);
        expected[name] = now.at(name);
      }
      ExpectSameScene(expected, now);
    };
    elevate(raised);
    {
      SCOPED_TRACE(raised);
      expectRaised();
      EXPECT_TRUE(OnTheTerrain(model).empty());
    }
    ASSERT_TRUE(doc->undoManager().undo());
    model = doc->documentModel();
    ds = model->itsDocState;
    {
      SCOPED_TRACE("undone");
      ExpectSameScene(before, Scene(model));
    }
    ASSERT_TRUE(doc->undoManager().redo());
    model = doc->documentModel();
    ds = model->itsDocState;
    {
      SCOPED_TRACE("redone");
      expectRaised();
    }
    selectOnly(theGroup());
    elevate(back);
    {
      SCOPED_TRACE(back);
      ExpectSameScene(before, Scene(model));
      EXPECT_EQ(OnTheTerrain(model), ground);
    }
    RenderAllLayers();
    {
      SCOPED_TRACE(std::string(back) + ", built again whole");
      ExpectSameScene(before, Scene(model));
    }
  };
  {
    SCOPED_TRACE("second floor");
    raiseAndBack("Second Floor", "120", "96");
    if (HasFailure()) return;
  }
  {
    SCOPED_TRACE("third floor");
    group = GetLayerFromName("Second Floor")->firstObject;
    selectOnly(group);
    perform(kCmdMoveToUpperFloor);
    Layer* third = GetLayerFromName("Third Floor");
    ASSERT_NE(third->firstObject, nullptr);
    group = third->firstObject;
    ASSERT_EQ(group->type, kObjGroup);
    EXPECT_FLOAT_EQ(group->baseElevation, 192);
    raiseAndBack("Third Floor", "216", "192");
    if (HasFailure()) return;
  }
  {
    SCOPED_TRACE("nested in a group");
    Layer* third = GetLayerFromName("Third Floor");
    selectOnly(third->firstObject);
    ds->baseElevation = 0;
    perform(kCmdGroup);
    Objex* outer = third->firstObject;
    ASSERT_EQ(outer->type, kObjGroup);
    ASSERT_NE(outer->firstChild, nullptr);
    ASSERT_EQ(outer->firstChild->type, kObjGroup);
    const float base = outer->baseElevation;
    const std::string up = std::to_string(static_cast<int>(base + 24));
    const std::string back = std::to_string(static_cast<int>(base));
    raiseAndBack("Third Floor", up.c_str(), back.c_str());
  }
}

// The tester's design, grouped and ungrouped: copied and moved to the floor above and below,
// and moved up and back down. The scene as the program keeps it after the command is the scene
// built for the design saved and opened again, member for member, vertex for vertex; what stood
// on the terrain (a fence, edging, a path) stays on it, alone as grouped, as the tools make
// such objects on every floor, and up and back down every member stands where it stood.
TEST_F(GroupedEveryKindTest, AGroupCopiedOrMovedToAnotherFloorIsBuiltAsOpeningBuildsIt) {
  constexpr int32_t kUpAndDown = 0;  // moved up, then back down
  // Copies go through the moves' steps: one copy stands for both directions.
  const std::vector<int32_t> kEveryMove = {kCmdCopyToUpperFloor, kCmdMoveToUpperFloor, kCmdMoveToLowerFloor,
                                           kUpAndDown};
  for (const bool grouped : {true, false})
    for (const int32_t command : grouped ? kEveryMove : std::vector<int32_t>{kCmdCopyToUpperFloor, kUpAndDown}) {
      SCOPED_TRACE(testing::Message() << "command " << command << (grouped ? ", grouped" : ", alone"));
      open("every-kind-grouped-before-copy.pro");
      if (HasFailure()) return;
      if (!grouped) {
        selectOnly(second->firstObject);
        perform(kCmdUngroup);
        ASSERT_NE(second->firstObject, nullptr);
        ASSERT_NE(second->firstObject->type, kObjGroup);
      }
      auto selectTheFloor = [&](Layer* floor) {
        selectOnly(floor->firstObject);
        for (Objex* o = floor->firstObject; o; o = o->next) SetObjectSelectFlags(o, 1);
      };
      RenderAllLayers();
      const MemberScene before = Scene(model);
      const size_t onTheTerrain = OnTheTerrain(model).size();
      ASSERT_GE(onTheTerrain, 2u) << "a fence and edging";
      selectTheFloor(second);
      perform(command == kUpAndDown ? kCmdMoveToUpperFloor : command);
      const bool up = command == kCmdCopyToUpperFloor || command == kCmdMoveToUpperFloor || command == kUpAndDown;
      Layer* target = GetLayerFromName(up ? "Third Floor" : "First Floor");
      ASSERT_NE(target->firstObject, nullptr);
      EXPECT_EQ(target->firstObject->type == kObjGroup, grouped);
      if (command == kUpAndDown) {
        selectTheFloor(target);
        perform(kCmdMoveToLowerFloor);
        ASSERT_EQ(target->firstObject, nullptr);
        SCOPED_TRACE("moved up and back down");
        ExpectSameScene(before, Scene(model));
        EXPECT_EQ(OnTheTerrain(model).size(), onTheTerrain);
        continue;  // built as opened: the design as it was
      }
      const bool copied = command == kCmdCopyToUpperFloor || command == kCmdCopyToLowerFloor;
      const std::set<std::string> ground = OnTheTerrain(model);
      EXPECT_EQ(ground.size(), copied ? 2 * onTheTerrain : onTheTerrain);
      const MemberScene kept = Scene(model);
      for (const std::string& name : ground) {
        SCOPED_TRACE(name);
        ASSERT_EQ(kept.count(name), 1u);
        // On the ground (a path lies a little above it, edging blocks a little in it).
        EXPECT_NEAR(Foot(kept.at(name)), 0, 6.5f);
      }
      saveAndReopen();
      const MemberScene opened = Scene(model);
      ASSERT_GT(opened.size(), 10u);
      ExpectSameScene(opened, kept);
    }
}

}  // namespace
