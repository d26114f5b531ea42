// The fence, gate, stair, railing, deck, deck steps, window and door panes are reached from
// the panel by their tools and by their selected objects, and every typed number of them
// refuses entries that are no usable number, leaving the design as it was.
// Model headers first: they name fields like the Qt keyword macros.
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/Selection.h"
#include "model/Services.h"

#include <QAbstractSpinBox>
#include <QFile>
#include <functional>

#include "InspectorTestSupport.h"
#include "files/DesignFile.h"
#include "platform/Alerts.h"

namespace {

class BuildingPanesRoadTest : public InspectorTest {
 protected:
  void afterDocument() override {
    InspectorTest::afterDocument();
    doc->undoManager().removeAllActions();
  }
  QByteArray design() {
    const std::string path = file("snapshot.pro");
    EXPECT_EQ(KeyFileWrite(path.c_str()), 1);
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }
  Objex* addWallWith(int16_t type) {
    Objex* wall = add(kObjWall, {{0, 0}, {3000, 0}}, false, false);
    Objex* o = add(type, {{100, 0}, {172, 0}}, false, true, wall);
    auto* r = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    r->ownerType = type;
    r->subtype = type == kObjDoor ? 501 : 600;
    r->anchorStart = wall->firstPoint;
    r->anchorEnd = wall->firstPoint->next;
    r->startDistance = 136;
    r->width = 72;
    r->height = 112;
    o->typeData = r;
    return o;
  }
};

struct Road {
  const char* pane;
  std::function<void(BuildingPanesRoadTest*)> show;
};

// The tools of these panes, each with the pane it shows.
std::vector<Road> ToolRoads() {
  std::vector<Road> roads;
  const std::pair<uint16_t, const char*> tools[] = {
      {7505, "FenceInspector"}, {7506, "GateToolInspector"}, {7058, "StairInspector"}, {7059, "StairInspector"},
      {7604, "StairInspector"}, {7605, "StairInspector"},    {7060, "RailInspector"},  {7061, "RailInspector"},
      {7602, "RailInspector"},  {7603, "RailInspector"},     {7600, "DeckToolInspector"},
      {7601, "DeckToolInspector"}, {7056, "DoorInspector"},  {7057, "WindowInspector"}};
  for (const auto& [tool, pane] : tools) {
    const uint16_t code = tool;
    roads.push_back({pane, [code](BuildingPanesRoadTest*) { gCurTool = code; }});
  }
  return roads;
}

TEST_F(BuildingPanesRoadTest, ToolsAndObjectsReachTheirPanes) {
  for (const Road& road : ToolRoads()) {
    gCurTool = kToolSelection;
    road.show(this);
    update();
    EXPECT_EQ(shownName(), road.pane) << gCurTool;
    EXPECT_EQ(gToolProperties, 1);
  }
  gCurTool = kToolSelection;
  const std::pair<int16_t, const char*> objects[] = {{kObjFence, "FenceInspector"},
                                                     {kObjStaircase, "StairInspector"},
                                                     {kObjRailing, "RailInspector"},
                                                     {kObjDeck, "DeckObjectInspector"}};
  for (const auto& [type, pane] : objects) {
    Objex* o = addSquare(type);
    update();
    EXPECT_EQ(shownName(), pane);
    EXPECT_EQ(gToolProperties, 0);
    SelectObj(o, kSelectOff, 1);
  }
  Objex* window = addWallWith(kObjWindow);
  update();
  EXPECT_EQ(shownName(), "WindowInspector");
  SelectObj(window, kSelectOff, 1);
  addWallWith(kObjDoor);
  update();
  EXPECT_EQ(shownName(), "DoorInspector");
}

TEST_F(BuildingPanesRoadTest, EveryFieldRefusesWhatIsNoNumber) {
  const QString longEntry(10000, QLatin1Char('7'));
  const std::vector<QString> hostile = {"nan", "inf", "-inf", "1e30", "abc", longEntry};
  std::vector<std::pair<const char*, std::function<void()>>> rows = {
      {"FenceInspector", [this] { add(kObjFence, {{0, 0}, {100, 0}})->textureID = 704; }},
      {"StairInspector", [this] { addSquare(kObjStaircase); }},
      {"RailInspector", [this] { add(kObjRailing, {{0, 0}, {100, 0}}); }},
      {"DeckObjectInspector", [this] { addSquare(kObjDeck); }},
      {"DeckStepInspector",
       [this] {
         Objex* deck = add(kObjDeck, {{0, 0}, {2000, 0}, {2000, 1000}}, true, false);
         AddDeckSteps(deck, deck->firstPoint, deck->firstPoint->next);
       }},
      {"WindowInspector", [this] { addWallWith(kObjWindow); }},
      {"DoorInspector", [this] { addWallWith(kObjDoor); }},
  };
  for (const Road& road : ToolRoads())
    if (std::string(road.pane) == "GateToolInspector" || std::string(road.pane) == "DeckToolInspector")
      rows.push_back({road.pane, [this, road] { road.show(this); }});
  int driven = 0;
  for (const auto& [pane, show] : rows) {
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next) SelectObj(o, kSelectOff, 1);
    gCurTool = kToolSelection;
    show();
    update();
    ASSERT_EQ(shownName(), pane);
    for (QLineEdit* field : shown()->findChildren<QLineEdit*>()) {
      if (qobject_cast<QAbstractSpinBox*>(field->parentWidget())) continue;
      ++driven;
      for (const QString& entry : hostile) {
        const QByteArray before = design();
        const QString shownBefore = field->text();
        ScopedAlertRecorder alerts;
        type(field->objectName().toLatin1().constData(), entry);
        EXPECT_EQ(design(), before) << pane << " " << field->objectName().toStdString() << " took "
                                    << entry.left(20).toStdString();
        EXPECT_TRUE(alerts.sawMessage("Invalid number entered."))
            << pane << " " << field->objectName().toStdString();
        // The entry is not left in place: the field shows what it showed or the default.
        EXPECT_NE(field->text(), entry) << pane << " " << field->objectName().toStdString();
        EXPECT_TRUE(field->text() == shownBefore || !field->text().isEmpty())
            << pane << " " << field->objectName().toStdString();
      }
    }
  }
  EXPECT_GE(driven, 30);
}

}  // namespace
