// The fixture of the inspector tests: a design window with its inspector dock, builders of
// selected objects on the current floor, driving the shown pane's controls through the dock
// and reading back the undo steps an edit stored.
#pragma once
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <string>
#include <utility>
#include <vector>

#include "app/AppTestSupport.h"
#include "files/Undo.h"
#include "inspectors/InspectorController.h"
#include "inspectors/InspectorPane.h"
#include "model/Services.h"
#include "model/Records.h"

class InspectorTest : public DesignWindowTest {
 protected:
  // Imperial designs with the stock readouts, whatever earlier tests left behind.
  void beforeDocument() override {
    gDefaultToImperial = 1;
    gForceNewPlanDefaults = 0;
    gImperialReadoutFormat = gMetricReadoutFormat = gAngleReadoutFormat = 0;
  }
  void afterDocument() override {
    ASSERT_NE(window, nullptr);
    dock = window->findChild<QDockWidget*>(QStringLiteral("InspectorPanel"));
    ASSERT_NE(dock, nullptr);
    inspector = InspectorController::sharedInspectorController();
    gCurTool = kToolSelection;
    gUndoActive = 1;
  }

  // Builds an object on the current floor (or as a child of parent) with the points given,
  // every point selected unless told otherwise.
  Objex* add(int16_t type, std::vector<std::pair<float, float>> points, bool closed = false, bool selected = true,
             Objex* parent = nullptr) {
    const RGBColor black{};
    Objex* o = CreateObject(type, closed ? 1 : 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    for (auto [x, z] : points)
      AppendPointToObject(CreatePoint(1, selected ? 1 : 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    if (parent) {
      AppendChildToObject(o, parent);
      o->layer = parent->layer;
    } else {
      AppendObjectToLayer(o, model->itsCurLayer);
    }
    return o;
  }
  Objex* addSquare(int16_t type, bool selected = true) {
    return add(type, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true, selected);
  }

  // Asks the panel to rebuild as every road that changes the selection does.
  void update(bool scan = true) { UpdateInspectorPropertiesState(scan); }
  QWidget* shown() const { return inspector->currentPane(); }
  std::string shownName() const { return shown() ? shown()->objectName().toStdString() : std::string(); }

  // A control of the pane the dock shows now.
  template <class T> T* control(const char* name) {
    T* c = dock->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  QLineEdit* field(const char* name) { return control<QLineEdit>(name); }
  std::string text(const char* name) { return field(name) ? field(name)->text().toStdString() : "?"; }
  // Types the text and ends the editing as Return does.
  void type(const char* name, const QString& value) {
    QLineEdit* f = field(name);
    if (!f) return;
    f->setText(value);
    Q_EMIT f->editingFinished();
  }
  void click(const char* name) {
    if (QAbstractButton* b = control<QAbstractButton>(name)) b->click();
  }
  void chooseTag(const char* popUp, int tag) {
    QComboBox* c = control<QComboBox>(popUp);
    if (!c) return;
    const int index = c->findData(tag);
    ASSERT_GE(index, 0) << popUp << " has no tag " << tag;
    c->setCurrentIndex(index);
    Q_EMIT c->activated(index);
  }
  void chooseCell(const char* matrix, int tag) {
    InspectorMatrix* m = control<InspectorMatrix>(matrix);
    if (m && m->cellWithTag(tag)) m->cellWithTag(tag)->click();
  }

  // The undo steps stored since mark(), newest first.
  void mark() { StoreUndo("Mark"); }
  std::vector<std::string> stepsSinceMark() {
    UndoNameStack& undo = doc->undoManager();
    auto restore = undo.onUndo;
    undo.onUndo = nullptr;  // only the names: the design stays as it is
    std::vector<std::string> names;
    while (undo.canUndo() && undo.undoActionName() != "Mark") {
      names.push_back(undo.undoActionName());
      undo.undo();
    }
    undo.onUndo = restore;
    return names;
  }

  QDockWidget* dock = nullptr;
  InspectorController* inspector = nullptr;
};

using Steps = std::vector<std::string>;
