// Content palette entries on the plan: dragged from the palette's preview grid and dropped on
// the plan view, or placed by Option-clicks with the selection tool. Each placement is one
// undo step whose undo and redo give back the design byte for byte; what the plan cannot
// place changes nothing and says why.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/Win32EventHandler.h"
#include "PlanScales.h"
#include "ShippedObjects.h"
#include "content/ContentCategoryItem.h"
#include "content/ContentPaletteController.h"
#include "content/ContentView.h"
#include "content/SymEntry.h"
#include "inspectors/InspectorController.h"
#include "inspectors/ObjectInspectorController.h"
#include "inspectors/ValueFields.h"
#include "files/DesignFile.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/DocState.h"
#include "model/CommandWalkers.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "platform/ContentPaths.h"
#include "plandraw/DrawContext.h"
#include "plandraw/DrawFlags.h"
#include "plandraw/PlanDrawing.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/RecordingDrawContext.h"
#include "tools/PointEvaluation.h"
#include <cmath>

namespace {

// The offset of the first byte where two saved designs differ; -1 when they are the same.
long FirstDifference(const std::vector<char>& a, const std::vector<char>& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) return static_cast<long>(i);
  return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

class PlanContentDrop : public DesignWindowTest {
 protected:
  // The drag data of a plan drop of an entry of `type` with the file `path`, as the content
  // palette hands it over; the entry is returned.
  static SymEntryInfo putPlanDrag(QMimeData* data, int16_t type, const std::string& path) {
    SymEntryInfo entry;
    entry.type = type;
    entry.objectData = path;
    const std::vector<uint8_t> record = encodeSymEntry(entry);
    const QByteArray bytes(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));
    data->setData(QString::fromLatin1(Content2DDNDPboardType), bytes);
    data->setData(QString::fromLatin1(Content3DDNDPboardType), bytes);
    return entry;
  }
  void beforeDocument() override {
    // The library the program ships, read where it lies in the source tree.
    const std::string shipped = std::string(CASA_SOURCE_DIR) + "/content";
    SetLocalSupportRoot(shipped);
    SetUserSharedRoot(shipped + "/QVRA/Shared");
    savedUndo = gUndoActive;
    gUndoActive = 1;
  }
  void afterDocument() override {
    view = showPlanView(2);
    palette = window->contentPaletteController();
    ASSERT_NE(palette, nullptr);
    palette->contentView()->runDrag = [this](QMimeData* data, const QImage&, QPoint) { dragged.reset(data); };
    // Undo goes back to the last snapshot: the one of the design as set up here.
    InitializeUndo();
    doc->undoManager().removeAllActions();
  }
  void afterClosing() override {
    SetLocalSupportRoot(BuildTreeContentRoot());
    SetUserSharedRoot("");
    gUndoActive = savedUndo;
    gCurTool = kToolSelection;
  }

  // Chooses the first entry of the first leaf of the category whose entries are of that
  // library type, as a click on the outline and the grid does.
  void chooseEntry(int32_t category, int16_t library) {
    palette->selectCategory(category, true);
    ContentCategoryItem* leaf = nullptr;
    std::vector<ContentCategoryItem*> open;
    for (auto& root : *palette->activeTree()) open.push_back(root.get());
    while (!open.empty() && !leaf) {
      ContentCategoryItem* node = open.front();
      open.erase(open.begin());
      if (node->numberOfChildren() == 0 && node->libraryType == library) leaf = node;
      for (auto& child : node->children()) open.push_back(child.get());
    }
    ASSERT_NE(leaf, nullptr) << "no leaf of library " << library;
    palette->selectItem(leaf);
    ASSERT_EQ(palette->contentView()->cacheSource(), leaf);
    palette->contentView()->clickAt(QPoint(2, 2));
    ASSERT_NE(palette->selectedSymEntry(), nullptr);
  }
  // The drag the grid starts from its chosen entry.
  std::unique_ptr<QMimeData> dragChosenEntry() {
    dragged.reset();
    EXPECT_TRUE(palette->contentView()->dragFrom(QPoint(2, 2)));
    return std::move(dragged);
  }
  // The drag entering the plan at a plan point and dropped there: whether the view took
  // each.
  std::pair<bool, bool> dropAt(const QMimeData* data, float x, float z) {
    const QPoint at = WidgetPointOf(view, x, z);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drop);
    return {enter.isAccepted(), drop.isAccepted()};
  }
  // The design as the program saves it. The edited-since-saved flag that a save writes
  // along is not part of the design: it is written as after a save.
  std::vector<char> savedBytes() {
    gCurDocument = model;
    model->itsDocState->documentChanged = 0;
    const std::string path = file("saved.pro");
    EXPECT_EQ(KeyFileWrite(path.c_str()), 1);
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The top-level objects of the current floor added after `before` of them.
  std::vector<Objex*> objectsAfter(int before) {
    std::vector<Objex*> added;
    int n = 0;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
      if (++n > before) added.push_back(o);
    return added;
  }
  // The middle of an object's 3D bounds in the plan.
  static std::pair<float, float> middleOf(Objex* o) {
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    GetObject3DBounds(o, 0, &box, 0);
    return {(box.floatLeft + box.floatRight) / 2, (box.floatBack + box.floatFront) / 2};
  }
  QString status() const { return window->statusText()->text(); }
  std::string undoName() { return doc->undoManager().undoActionName(); }
  // Undo and redo give back the design before and after the step.
  void expectUndoAndRedoRestore(const std::vector<char>& before, const std::vector<char>& after) {
    ASSERT_TRUE(doc->undoManager().canUndo());
    doc->undoManager().undo();
    EXPECT_EQ(FirstDifference(savedBytes(), before), -1) << "undo";
    ASSERT_TRUE(doc->undoManager().canRedo());
    doc->undoManager().redo();
    EXPECT_EQ(FirstDifference(savedBytes(), after), -1) << "redo";
  }

  ZLKDocumentView* view = nullptr;
  ContentPaletteController* palette = nullptr;
  std::unique_ptr<QMimeData> dragged;
  uint8_t savedUndo = 1;
};

TEST_F(PlanContentDrop, EntriesLandWhereDroppedAsOneUndoStepEach) {
  struct Case {
    int32_t category;
    int16_t library;
    int16_t entryType;
    const char* undo;
    float x, z;
    bool staysSelected;  // a template stays selected, with the selection tool to go on
  };
  const Case cases[] = {
      {kCategoryPlants, kLibraryPlants, kEntryPlant, "Insert Plants", 120, -80, false},
      {kCategoryObjects, kLibrarySymbols, kEntrySymbol, "Insert Symbols", -150, 60, false},
      {kCategoryObjects, kLibraryObjects, kEntry3DObject, "Insert Objects", 30, 140, false},
      {kCategoryTemplates, kLibraryTemplates, kEntryTemplate, "Insert Templates", -60, -120, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.undo);
    ASSERT_NO_FATAL_FAILURE(chooseEntry(c.category, c.library));
    ASSERT_EQ(palette->selectedSymEntry()->type, c.entryType);
    std::unique_ptr<QMimeData> data = dragChosenEntry();
    ASSERT_NE(data, nullptr);
    gCurTool = kToolRectangle;
    const int before = objectCount();
    const std::vector<char> bytesBefore = savedBytes();

    EXPECT_EQ(dropAt(data.get(), c.x, c.z), std::make_pair(true, true));
    const std::vector<Objex*> added = objectsAfter(before);
    ASSERT_FALSE(added.empty());
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    for (Objex* o : added) {
      EXPECT_EQ(IsAnyObjectSelected(o), c.staysSelected);
      GetObject3DBounds(o, 0, &box, 0);
    }
    EXPECT_NEAR((box.floatLeft + box.floatRight) / 2, c.x, 1.5);
    EXPECT_NEAR((box.floatBack + box.floatFront) / 2, c.z, 1.5);
    EXPECT_EQ(gCurTool, c.staysSelected ? kToolSelection : kToolRectangle);
    if (c.entryType == kEntryPlant) {
      EXPECT_EQ(added.front()->type, kObjPlant);
    }
    if (c.entryType == kEntry3DObject) {  // one group, named from the object's information file
      ASSERT_EQ(added.size(), 1u);
      ASSERT_NE(added.front()->name, nullptr);
      EXPECT_THAT(std::string(added.front()->name), testing::AnyOf("Dining Table", "Coffee Table", "Round Table"));
    }
    EXPECT_EQ(undoName(), c.undo);
    const std::vector<char> bytesAfter = savedBytes();
    EXPECT_FALSE(bytesAfter == bytesBefore);
    expectUndoAndRedoRestore(bytesBefore, bytesAfter);
    EXPECT_EQ(objectCount(), before + static_cast<int>(added.size()));
    gCurTool = kToolSelection;
  }
}

// New designs in both unit systems at every scale of the plan scale sheet: library objects
// are measured in centimetres, the plan in plan units of the design.
class PlanContentDropAtScale : public PlanContentDrop, public testing::WithParamInterface<PlanScaleDesign> {
 protected:
  void beforeDocument() override {
    PlanContentDrop::beforeDocument();
    gDefaultToImperial = GetParam().metric ? 0 : 1;
  }
  void afterDocument() override {
    PlanContentDrop::afterDocument();
    ASSERT_EQ(ds->measureSystem == kMeasureMetric, GetParam().metric);
    ASSERT_NO_FATAL_FAILURE(ChoosePlanScale(window, model, GetParam().scale));
    InitializeUndo();
    doc->undoManager().removeAllActions();
  }
  // A length in centimetres as plan units of the design, and as the fields show it.
  float plan(float cm) const { return ConvertWorldToScreen(GetWorldFromInches(ConvertCMToInches(cm), ds), ds, 0); }
  static QString shown(float cm) {
    QLineEdit field;
    SetFloatItem(&field, ConvertCMToInches(cm));
    return field.text();
  }
  // Drops the object file's entry on the plan at the origin; the group placed.
  Objex* dropObject(const std::string& path) {
    QMimeData data;
    putPlanDrag(&data, kEntry3DObject, path);
    const int before = objectCount();
    EXPECT_EQ(dropAt(&data, 0, 0), std::make_pair(true, true));
    const std::vector<Objex*> added = objectsAfter(before);
    return added.size() == 1 ? added.front() : nullptr;
  }
};

INSTANTIATE_TEST_SUITE_P(EveryPlanScale, PlanContentDropAtScale, testing::ValuesIn(EveryPlanScaleDesign()),
                         PlanScaleDesignName);

// A library table lands at its real size (150 x 90 x 75 cm); selected with a click, the
// status bar and the object pane show that size, and the pane its angle. The grid names it in
// the status bar while the pointer is over it.
TEST_P(PlanContentDropAtScale, ALibraryTableLandsAtItsSizeAndShowsItInTheInspector) {
  ASSERT_NO_FATAL_FAILURE(chooseEntry(kCategoryObjects, kLibraryObjects));
  ContentCategoryItem* leaf = palette->contentView()->cacheSource();
  ASSERT_NE(leaf, nullptr);
  size_t table = leaf->numberOfSymEntries();
  for (size_t i = 0; i < leaf->numberOfSymEntries(); ++i)
    if (leaf->symEntryAtIndex(i)->objectDescription.rfind("Dining Table", 0) == 0) table = i;
  ASSERT_LT(table, leaf->numberOfSymEntries()) << "no dining table among the tables";
  const int side = palette->contentView()->previewSizeFromUserDefaults();
  const int cols = std::max(1, palette->contentView()->optimalViewSize().width() / side);
  const QPoint cell(static_cast<int>(table % static_cast<size_t>(cols)) * side + 2,
                    static_cast<int>(table / static_cast<size_t>(cols)) * side + 2);
  EXPECT_EQ(palette->contentView()->statusTextAt(cell), "Dining Table (150 x 90 x 75 cm)");
  palette->contentView()->clickAt(cell);
  dragged.reset();
  ASSERT_TRUE(palette->contentView()->dragFrom(cell));
  std::unique_ptr<QMimeData> data = std::move(dragged);
  ASSERT_NE(data, nullptr);
  const int before = objectCount();
  EXPECT_EQ(dropAt(data.get(), 0, 0), std::make_pair(true, true));
  const std::vector<Objex*> added = objectsAfter(before);
  ASSERT_EQ(added.size(), 1u);
  Objex* group = added.front();
  Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
  GetObject3DBounds(group, 0, &box, 0);
  EXPECT_NEAR(box.floatRight - box.floatLeft, plan(150), 0.05);
  EXPECT_NEAR(box.floatFront - box.floatBack, plan(90), 0.05);
  EXPECT_NEAR(box.floatBottom - box.floatTop, plan(75), 0.05);

  // A click on its top selects it and shows its size in the status bar.
  window->statusText()->clear();
  QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, WidgetPointOf(view, 0, 0));
  ASSERT_TRUE(IsAnyObjectSelected(group));
  InspectorController::sharedInspectorController()->updatePropertiesState(true);
  ObjectInspectorController* pane = ObjectInspectorController::sharedInspectorController();
  EXPECT_EQ(pane->widthText->text().toStdString(), shown(150).toStdString());
  EXPECT_EQ(pane->depthText->text().toStdString(), shown(90).toStdString());
  EXPECT_EQ(pane->heightText->text().toStdString(), shown(75).toStdString());
  EXPECT_EQ(status().toStdString(),
            ("Width: " + shown(150) + ", Depth: " + shown(90) + ", Height: " + shown(75)).toStdString());
  EXPECT_FALSE(pane->angleText->text().isEmpty());
  EXPECT_NEAR(GetFloatAngleItem(pane->angleText, 1), 0, 0.01);

  // Turned a quarter turn (its width now runs up the plan): the sizes stay the table's own.
  for (Objex* part = group->firstChild; part; part = part->next)
    for (Poinz* p = part->firstPoint; p; p = p->next) {
      const float x = p->position[0];
      p->position[0] = p->position[2];
      p->position[2] = -x;
    }
  InspectorController::sharedInspectorController()->updatePropertiesState(true);
  EXPECT_EQ(pane->widthText->text().toStdString(), shown(150).toStdString());
  EXPECT_EQ(pane->depthText->text().toStdString(), shown(90).toStdString());
  EXPECT_NEAR(GetFloatAngleItem(pane->angleText, 1), 90, 0.01);
}

// Every library object, dropped on the plan, spans the width, depth and height its entry
// describes, and the object pane shows angle 0 and those sizes whatever its first part is (a
// round top, a foot); turned a quarter turn it shows 90 and the same sizes.
TEST_P(PlanContentDropAtScale, EveryLibraryObjectSpansItsDescribedSizeAndShowsItInTheInspector) {
  namespace fs = std::filesystem;
  const std::string objects = std::string(CASA_SOURCE_DIR) + "/content/QVRA/Shared/QVRA/Objects";
  const std::vector<fs::path> files = ShippedObjectFiles(objects);
  ASSERT_EQ(files.size(), 15u);
  ObjectInspectorController* pane = ObjectInspectorController::sharedInspectorController();
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.stem().string());
    float w = 0, d = 0, h = 0;
    std::string description;
    ASSERT_TRUE(DescribedSize(path, &w, &d, &h, &description)) << description;

    Objex* group = dropObject(path.string());
    ASSERT_NE(group, nullptr);
    Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
    GetObject3DBounds(group, 0, &box, 0);
    // The description rounds to whole centimetres.
    EXPECT_NEAR(box.floatRight - box.floatLeft, plan(w), plan(0.5f));
    EXPECT_NEAR(box.floatFront - box.floatBack, plan(d), plan(0.5f));
    EXPECT_NEAR(box.floatBottom - box.floatTop, plan(h), plan(0.5f));
    SelectAllLayers(model->itsLayers, kSelectOff, 1);
    SelectObj(group, kSelectOn, 1);
    for (float angle : {0.0f, 90.0f}) {
      SCOPED_TRACE(angle);
      InspectorController::sharedInspectorController()->updatePropertiesState(true);
      ASSERT_FALSE(pane->angleText->text().isEmpty());
      EXPECT_NEAR(GetFloatAngleItem(pane->angleText, 1), angle, 0.01);
      EXPECT_NEAR(GetFloatItem(pane->widthText), ConvertCMToInches(w), ConvertCMToInches(0.5f));
      EXPECT_NEAR(GetFloatItem(pane->depthText), ConvertCMToInches(d), ConvertCMToInches(0.5f));
      EXPECT_NEAR(GetFloatItem(pane->heightText), ConvertCMToInches(h), ConvertCMToInches(0.5f));
      // A quarter turn: its width runs up the plan.
      for (Objex* part = group->firstChild; part; part = part->next)
        for (Poinz* p = part->firstPoint; p; p = p->next) {
          const float x = p->position[0];
          p->position[0] = p->position[2];
          p->position[2] = -x;
        }
    }
    SelectObj(group, kSelectOff, 1);
  }
}

// A template stays selected where it lands, and the status bar shows its size as it shows
// the size of any selection (here: Select All).
TEST_P(PlanContentDropAtScale, ATemplateShowsItsSizeInTheStatusBarAsAnySelectionDoes) {
  ASSERT_NO_FATAL_FAILURE(chooseEntry(kCategoryTemplates, kLibraryTemplates));
  std::unique_ptr<QMimeData> data = dragChosenEntry();
  ASSERT_NE(data, nullptr);
  window->statusText()->clear();
  EXPECT_EQ(dropAt(data.get(), 40, -30), std::make_pair(true, true));
  const std::string dropped = status().toStdString();
  EXPECT_EQ(dropped.rfind("Width: ", 0), 0u) << dropped;
  window->statusText()->clear();
  Win32EventHandler::sharedEventHandler()->selectAllObjects();
  EXPECT_EQ(dropped, status().toStdString());
}

TEST_F(PlanContentDrop, WhatThePlanCannotPlaceChangesNothingAndSaysWhy) {
  ASSERT_NO_FATAL_FAILURE(chooseEntry(kCategoryColors, kLibraryWinterColors));
  std::unique_ptr<QMimeData> colour = dragChosenEntry();
  ASSERT_NE(colour, nullptr);
  auto file = std::make_unique<QMimeData>();
  file->setUrls({QUrl::fromLocalFile(QString::fromStdString(this->file("elsewhere.pro")))});
  auto text = std::make_unique<QMimeData>();
  text->setText("a line of text");
  // A drag declaring the plan's kind whose record is missing or damaged.
  auto damaged = std::make_unique<QMimeData>();
  damaged->setData(QString::fromLatin1(Content2DDNDPboardType), QByteArray("x"));

  struct Case {
    const char* what;
    const QMimeData* data;
    bool entered;
    const char* says;
  };
  const Case cases[] = {
      {"colour", colour.get(), false, "3D view"},
      {"file", file.get(), false, "Only plants, objects, templates and symbols"},
      {"text", text.get(), false, "Only plants, objects, templates and symbols"},
      {"damaged record", damaged.get(), true, "could not be read"},
  };
  addSelectedSquare();  // a selection that stays
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    window->statusText()->clear();
    const std::vector<char> before = savedBytes();
    const int count = objectCount();
    const auto [entered, dropped] = dropAt(c.data, 40, 40);
    EXPECT_EQ(entered, c.entered);
    EXPECT_FALSE(dropped);
    EXPECT_TRUE(status().contains(QString::fromLatin1(c.says))) << status().toStdString();
    EXPECT_EQ(objectCount(), count);
    EXPECT_TRUE(savedBytes() == before);
    EXPECT_FALSE(doc->undoManager().canUndo());
  }
  // Handed to the drop operation itself, data without the plan's drag type is taken and
  // ignored; a plan drag whose record cannot be read is refused.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<char> before = savedBytes();
    const int count = objectCount();
    EXPECT_EQ(view->performDragOperation(c.data, POINT{40, 40}), !c.entered);
    EXPECT_EQ(objectCount(), count);
    EXPECT_TRUE(savedBytes() == before);
    EXPECT_FALSE(doc->undoManager().canUndo());
  }
}

// A library object whose style file makes it a 2D symbol lands as one object: a group of 2D
// parts drawn and picked by its own plans, not part by part by the plan each part was read on.
// Placed in the Electrical tab and moved to the Plumbing plan (the group alone takes the plan),
// it is drawn whole and picked in the Plumbing tab, and neither drawn nor picked in the
// Electrical tab its parts were read in (neither tab shows the other's plan).
TEST_F(PlanContentDrop, ALibrarySymbolOfTwoDPartsIsDrawnAndPickedAsOneObject) {
  const std::vector<std::filesystem::path> shipped =
      ShippedObjectFiles(std::string(CASA_SOURCE_DIR) + "/content/QVRA/Shared/QVRA/Objects");
  ASSERT_FALSE(shipped.empty());
  const std::string path = file("symbol.QOB");
  std::filesystem::copy_file(shipped.front(), path);
  std::ofstream(file("symbol.OBD")) << "[Style]\nObject2D=1\n";
  window->selectPlanTab(kPlanElectrical);
  QMimeData data;
  putPlanDrag(&data, kEntry3DObject, path);
  const int before = objectCount();
  ASSERT_EQ(dropAt(&data, 40, 20), std::make_pair(true, true));
  const std::vector<Objex*> added = objectsAfter(before);
  ASSERT_EQ(added.size(), 1u);
  Objex* symbol = added.front();
  ASSERT_EQ(symbol->type, kObjGroup);
  ASSERT_NE(symbol->firstChild, nullptr);
  for (const Objex* part = symbol->firstChild; part; part = part->next) {
    EXPECT_EQ(part->type, kObjSymbolPart2D);
    EXPECT_EQ(part->planMask, 1 << kPlanElectrical);
  }

  SelectObj(symbol, kSelectOn, 1);
  window->planViewActions().perform(kCmdMoveToPlumbingPlan);
  ASSERT_EQ(symbol->planMask, 1 << kPlanPlumbing);
  ASSERT_EQ(symbol->firstChild->planMask, 1 << kPlanElectrical);  // the parts keep theirs

  const Poinz* onPart = symbol->firstChild->firstPoint;
  ASSERT_NE(onPart, nullptr);
  const float partX = onPart->position[0], partZ = onPart->position[2];
  for (const int tab : {kPlanElectrical, kPlanPlumbing}) {
    SCOPED_TRACE(tab);
    window->selectPlanTab(tab);
    ASSERT_FALSE(ds->planMasks[tab] & (tab == kPlanPlumbing ? 1 << kPlanElectrical : 1 << kPlanPlumbing));
    const bool shows = tab == kPlanPlumbing;
    RecordingDrawContext ctx;
    {
      CurrentDrawContextScope scope(&ctx);
      gCurDocument = model;
      DrawAllLayers(nullptr, model->itsLayers, nullptr, kDrawFlagAll, nullptr);
    }
    size_t lines = 0;
    for (const auto& call : ctx.calls) lines += call.points.size();
    if (shows) EXPECT_GT(lines, 0u);
    else EXPECT_EQ(lines, 0u);
    // A click on a part with the selection tool, after one on nothing.
    gCurTool = kToolSelection;
    for (const QPoint at : {WidgetPointOf(view, -400, 400), WidgetPointOf(view, partX, partZ)}) {
      QTest::mousePress(view, Qt::LeftButton, {}, at);
      QTest::mouseRelease(view, Qt::LeftButton, {}, at);
    }
    EXPECT_EQ(IsAnyObjectSelected(symbol), shows);
  }
}

TEST_F(PlanContentDrop, AnEntryWhoseFileIsGoneIsReported) {
  QMimeData data;
  putPlanDrag(&data, kEntrySymbol, file("missing.QSY"));
  const int count = objectCount();
  EXPECT_EQ(dropAt(&data, 0, 0), std::make_pair(true, true));  // taken, nothing placed
  EXPECT_EQ(objectCount(), count);
  EXPECT_TRUE(status().contains("missing.QSY")) << status().toStdString();
  EXPECT_FALSE(doc->undoManager().canUndo());
  EXPECT_EQ(gSymbarObjectDrop, 0);
  EXPECT_EQ(gForceRenderObjectNow, 0);
}

TEST_F(PlanContentDrop, AnEntryOfAnotherKindClearsTheSelectionAndPlacesNothing) {
  // A plan drag carrying an entry the plan has no placement for (a material with its file):
  // taken, the selection cleared, nothing placed, no undo step.
  QMimeData data;
  SymEntryInfo entry = putPlanDrag(&data, kEntryMaterial, file("brick.QTX"));
  Objex* square = addSelectedSquare();
  const int count = objectCount();
  EXPECT_TRUE(view->performDragOperation(&data, POINT{40, 40}));
  EXPECT_EQ(objectCount(), count);
  EXPECT_FALSE(IsAnyObjectSelected(square));
  EXPECT_FALSE(doc->undoManager().canUndo());

  // Without a file it is taken and nothing at all changes.
  SelectObj(square, kSelectOn, 1);
  entry.objectData.clear();
  const std::vector<uint8_t> bare = encodeSymEntry(entry);
  const QByteArray bareBytes(reinterpret_cast<const char*>(bare.data()), static_cast<qsizetype>(bare.size()));
  data.setData(QString::fromLatin1(Content3DDNDPboardType), bareBytes);
  EXPECT_TRUE(view->performDragOperation(&data, POINT{40, 40}));
  EXPECT_TRUE(IsAnyObjectSelected(square));
  EXPECT_FALSE(doc->undoManager().canUndo());
}

TEST_F(PlanContentDrop, OptionClicksPlaceTheChosenEntryAsOneUndoStep) {
  ASSERT_NO_FATAL_FAILURE(chooseEntry(kCategoryPlants, kLibraryPlants));
  const std::vector<char> before = savedBytes();
  const int count = objectCount();
  QKeyEvent optionDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
  QApplication::sendEvent(view, &optionDown);
  ASSERT_TRUE(view->autoClick2DActive());
  const float points[2][2] = {{-100, -60}, {90, 110}};
  float landing[2][2] = {};
  for (size_t i = 0; i < 2; ++i) {
    const QPoint at = WidgetPointOf(view, points[i][0], points[i][1]);
    // Each plant lands on the clicked plan point made whole (0.5 added, truncated toward
    // zero), from the click's window point (its view point truncated, as a drag's is).
    const NSPoint clicked = view->viewPointFromWidget(QPointF(at));
    float x = 0, y = 0, z = 0;
    EvaluatePoint(static_cast<int32_t>(std::trunc(clicked.x)), static_cast<int32_t>(std::trunc(clicked.y)), &x, &y,
                  &z, 0, nullptr, 1);
    landing[i][0] = std::trunc(x + 0.5f);
    landing[i][1] = std::trunc(z + 0.5f);
    QTest::mousePress(view, Qt::LeftButton, Qt::AltModifier, at);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::AltModifier, at);
  }
  const std::vector<Objex*> added = objectsAfter(count);
  ASSERT_EQ(added.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(added[i]->type, kObjPlant);
    const auto [mx, mz] = middleOf(added[i]);
    EXPECT_NEAR(mx, points[i][0], 2.5);
    EXPECT_NEAR(mz, points[i][1], 2.5);
    EXPECT_NEAR(mx, landing[i][0], 1e-3);
    EXPECT_NEAR(mz, landing[i][1], 1e-3);
  }
  EXPECT_EQ(view->autoClick2DEntryIDs().size(), 2u);
  EXPECT_FALSE(doc->undoManager().canUndo());  // stored when the run ends

  QKeyEvent optionUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  QApplication::sendEvent(view, &optionUp);
  EXPECT_FALSE(view->autoClick2DActive());
  EXPECT_TRUE(view->autoClick2DEntryIDs().empty());
  EXPECT_EQ(undoName(), "Insert Plants");
  const std::vector<char> after = savedBytes();
  expectUndoAndRedoRestore(before, after);
  doc->undoManager().undo();
  EXPECT_FALSE(doc->undoManager().canUndo());  // the two plants were one step
}

TEST_F(PlanContentDrop, AutoClickArmsOnlyForThePlaceableCategoriesWithTheSelectionTool) {
  struct Case {
    const char* what;
    int32_t category;
    int16_t library;
    uint16_t tool;
    Qt::KeyboardModifiers modifiers;
    bool arms;
  };
  const Case cases[] = {
      {"plant with Option", kCategoryPlants, kLibraryPlants, kToolSelection, Qt::AltModifier, true},
      {"symbol with Option", kCategoryObjects, kLibrarySymbols, kToolSelection, Qt::AltModifier, true},
      {"template with Option", kCategoryTemplates, kLibraryTemplates, kToolSelection, Qt::AltModifier, true},
      {"plant without Option", kCategoryPlants, kLibraryPlants, kToolSelection, Qt::ShiftModifier, false},
      {"colour with Option", kCategoryColors, kLibraryWinterColors, kToolSelection, Qt::AltModifier, false},
      {"plant with the pan tool", kCategoryPlants, kLibraryPlants, kToolPan, Qt::AltModifier, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(chooseEntry(c.category, c.library));
    gCurTool = c.tool;
    EXPECT_EQ(view->canEnable2DAutoClickForEvent(&c.modifiers), c.arms);
    view->flagsChanged(c.modifiers);
    EXPECT_EQ(view->autoClick2DActive(), c.arms);
    gCurTool = kToolSelection;
    view->mouseExited();  // ends the run: nothing was placed, nothing stored
    EXPECT_FALSE(view->autoClick2DActive());
    EXPECT_FALSE(doc->undoManager().canUndo());
  }
}

}  // namespace

TEST_F(PlanContentDrop, DropPointIsMadeWholeByAddingAHalfAndTruncatingTowardZero) {
  ASSERT_NO_FATAL_FAILURE(chooseEntry(kCategoryPlants, kLibraryPlants));
  std::unique_ptr<QMimeData> data = dragChosenEntry();
  ASSERT_NE(data, nullptr);
  // The plan is centred on the origin, so a placed plant stands at the rounded drop point.
  const FloatRect lot = ds->planBounds;
  ASSERT_EQ(lot.floatLeft, -lot.floatRight);
  ASSERT_EQ(lot.floatTop, -lot.floatBottom);
  // At this zoom window points fall between plan units; find one left of and above the
  // origin where truncating toward zero and rounding down part ways on both axes.
  PlanZoom(ds) = TopViewZoom(ds) = 0.6f;
  POINT where{};
  float x = 0, y = 0, z = 0;
  bool found = false;
  for (int32_t i = 0; i < 50 && !found; ++i) {
    const NSPoint at = view->viewPointFromWidget(QPointF(WidgetPointOf(view, -150, -80)) + QPointF(i, i));
    where = ConvertNSPointToPOINT(&at);
    EvaluatePoint(where.x, where.y, &x, &y, &z, 0, nullptr, 1);
    found = x < -1 && z < -1 && std::trunc(x + 0.5f) != std::floor(x + 0.5f) &&
            std::trunc(z + 0.5f) != std::floor(z + 0.5f);
  }
  ASSERT_TRUE(found);
  const int before = objectCount();
  ASSERT_TRUE(view->performDragOperation(data.get(), where));
  const std::vector<Objex*> added = objectsAfter(before);
  ASSERT_EQ(added.size(), 1u);
  const auto [mx, mz] = middleOf(added.front());
  EXPECT_NEAR(mx, std::trunc(x + 0.5f), 1e-3) << x;  // -150.7 lands on -150
  EXPECT_NEAR(mz, std::trunc(z + 0.5f), 1e-3) << z;
}
