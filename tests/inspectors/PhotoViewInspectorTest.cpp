// The photo view pane and its image information sheet, driven through the dock and the
// window-modal panels.
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "AllocationWatch.h"
#include "InspectorTestSupport.h"
#include "inspectors/PhotoViewInfoController.h"
#include "inspectors/PhotoViewInspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/PlanarTransforms.h"
#include "platform/Alerts.h"

namespace {

class PhotoViewInspectorTest : public InspectorTest {
 protected:
  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
  float plan(float inches) { return ConvertWorldToScreen(inches, ds, 0); }

  Objex* addPhoto(float x1, float z1, float x2, float z2, bool selected = true) {
    Objex* photo = add(kObjPhotoView, {{x1, z1}, {x2, z2}}, false, selected);
    photo->params[0] = plan(60);
    photo->capped = 0;
    return photo;
  }
  static void givePath(Objex* photo, const std::string& path) {
    free(photo->sourceObject);
    photo->sourceObject = strdup(path.c_str());
  }
  std::string writeImage(const char* name, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    const std::string path = file(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
    return path;
  }
  PhotoViewInspectorController* pane() { return PhotoViewInspectorController::sharedInspectorController(); }
  // The information sheet's texts, the sheet closed afterwards.
  std::vector<std::string> infoTexts() {
    auto* sheet = window->findChild<PhotoViewInfoController*>();
    if (!sheet) return {"no sheet"};
    std::vector<std::string> texts = {sheet->pathTextView->text().toStdString(),
                                      sheet->imageWidthText->text().toStdString(),
                                      sheet->imageHeightText->text().toStdString()};
    sheet->okButton()->click();
    QApplication::processEvents();
    delete sheet;
    return texts;
  }
};

TEST_F(PhotoViewInspectorTest, TwoPhotosDisableTheImageButtonsAndBlankWhatDiffers) {
  addPhoto(0, 0, plan(100), 0);
  Objex* second = addPhoto(0, 200, plan(120), 200);
  update();
  ASSERT_EQ(shownName(), "PhotoViewInspector");
  EXPECT_FALSE(control<QPushButton>("imageInfoButton")->isEnabled());
  EXPECT_FALSE(control<QPushButton>("setImageButton")->isEnabled());
  EXPECT_EQ(text("photoWidthText"), "");
  EXPECT_EQ(text("photoHeightText"), shownLength(60));
  // A refused width (the blank mixed field left empty too) shows the width last shown, that of
  // the last photo view filled in, and changes nothing.
  mark();
  for (const char* refused : {"10000", ""}) {
    type("photoWidthText", refused);
    EXPECT_EQ(text("photoWidthText"), shownLength(120)) << refused;
    type("photoHeightText", "0.01");
    EXPECT_EQ(text("photoHeightText"), shownLength(60)) << refused;
  }
  EXPECT_NEAR(second->firstPoint->next->position[0], plan(120), 1e-3);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  update();
  EXPECT_TRUE(control<QCheckBox>("castShadowsButton")->isChecked());
  second->options[1] = 1;
  update();
  EXPECT_FALSE(control<QCheckBox>("castShadowsButton")->isChecked());

  for (Poinz* p = second->firstPoint; p; p = p->next) p->selected = 0;
  update();
  EXPECT_TRUE(control<QPushButton>("imageInfoButton")->isEnabled());
  EXPECT_TRUE(control<QPushButton>("setImageButton")->isEnabled());
  EXPECT_EQ(text("photoWidthText"), shownLength(100));
}

TEST_F(PhotoViewInspectorTest, WidthKeepsCentreAndDirection) {
  // Drawn from right to left.
  Objex* photo = addPhoto(500, 100, 500 - plan(100), 100);
  Objex* broken = add(kObjPhotoView, {{0, 300}});  // one end only: skipped
  UpdateObjectBounds(photo);
  const float boundsWidth = photo->bounds.floatRight - photo->bounds.floatLeft;
  ASSERT_GT(boundsWidth, 0);
  update();
  ASSERT_EQ(shownName(), "PhotoViewInspector");
  for (const char* refused : {"0.01", "10000"}) {
    type("photoWidthText", refused);
    EXPECT_EQ(text("photoWidthText"), shownLength(100)) << refused;
  }
  mark();
  type("photoWidthText", "60");
  const float centre = 500 - plan(100) / 2;
  EXPECT_NEAR(photo->firstPoint->position[0], centre + plan(30), 1e-3);
  EXPECT_NEAR(photo->firstPoint->next->position[0], centre - plan(30), 1e-3);
  EXPECT_NEAR(photo->firstPoint->position[2], 100, 1e-3);
  EXPECT_NEAR(photo->firstPoint->next->position[2], 100, 1e-3);
  // The plan finds it where it now is.
  EXPECT_NEAR(photo->bounds.floatRight - photo->bounds.floatLeft, boundsWidth * 0.6f, 1e-2);
  EXPECT_EQ(broken->firstPoint->position[0], 0);
  EXPECT_EQ(stepsSinceMark(), (Steps{"PhotoView Width"}));
  EXPECT_EQ(text("photoWidthText"), shownLength(60));

  mark();
  type("photoHeightText", "72");
  EXPECT_FLOAT_EQ(photo->params[0], plan(72));
  click("castShadowsButton");
  EXPECT_EQ(photo->options[1], 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"PhotoView Shadow", "PhotoView Height"}));
}

// A width that would put an end of any selected photo view past the plan's limits (1,000,000
// plan units from the origin) is refused with an alert and changes none of them; a width that
// keeps the ends inside is taken by all. A photo view centred 1000 plan units from the plan's
// edge, along x and z, both ways, its ends put 10 plan units past the edge or 10 inside, in an
// imperial and a metric design.
TEST_F(PhotoViewInspectorTest, AWidthPastThePlanIsRefusedForAll) {
  for (const int16_t system : {kMeasureImperial, kMeasureMetric}) {
    ds->measureSystem = system;
    ds->planScale = system == kMeasureImperial ? 12 : 50;
    const auto typed = [system](float inches) {
      return system == kMeasureImperial ? QString::number(inches, 'f', 4) + "\""
                                        : QString::number(inches * 25.4, 'f', 3) + "mm";
    };
    const float past = 2 * 1010 / plan(1), inside = 2 * 990 / plan(1);  // inches
    for (const int axis : {0, 2}) {
      for (const float sign : {1.0f, -1.0f}) {
        SCOPED_TRACE(::testing::Message() << "axis " << axis << " sign " << sign << " system " << system);
        const float c = sign * 999000, h = plan(50);
        Objex* edge = axis == 0 ? addPhoto(c - h, 0, c + h, 0) : addPhoto(0, c - h, 0, c + h);
        Objex* middle = addPhoto(-h, 0, h, 0);
        update();
        ASSERT_EQ(shownName(), "PhotoViewInspector");
        const auto ends = [](const Objex* p) {
          return std::vector<float>{p->firstPoint->position[0], p->firstPoint->position[2],
                                    p->firstPoint->next->position[0], p->firstPoint->next->position[2]};
        };
        const std::vector<float> edgeBefore = ends(edge), middleBefore = ends(middle);
        const std::string shown = text("photoWidthText");
        {
          ScopedAlertRecorder alerts;
          mark();
          type("photoWidthText", typed(past));
          EXPECT_TRUE(alerts.sawMessage("Unable to resize the objects."));
          EXPECT_EQ(ends(edge), edgeBefore);
          EXPECT_EQ(ends(middle), middleBefore);
          EXPECT_TRUE(stepsSinceMark().empty());
          EXPECT_EQ(text("photoWidthText"), shown);
        }
        ScopedAlertRecorder alerts;
        mark();
        type("photoWidthText", typed(inside));
        EXPECT_TRUE(alerts.shown.empty());
        const size_t along = axis == 0 ? 0 : 1;
        EXPECT_NEAR(ends(edge)[along], c - 990, 0.5f);
        EXPECT_NEAR(ends(edge)[along + 2], c + 990, 0.5f);
        EXPECT_NEAR(std::fabs(ends(middle)[2] - ends(middle)[0]), 1980, 0.05f);
        EXPECT_EQ(stepsSinceMark(), (Steps{"PhotoView Width"}));
        DeleteLayerObjects(model->itsCurLayer);
      }
    }
  }
}

TEST_F(PhotoViewInspectorTest, MirrorStoresItsStepEvenWithNothingSelected) {
  Objex* photo = addPhoto(0, 0, 100, 0, false);
  mark();
  pane()->flipImageButtonChanged();
  EXPECT_EQ(photo->capped, 0);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Flip PhotoView Image"}));
  for (Poinz* p = photo->firstPoint; p; p = p->next) p->selected = 1;
  update();
  click("flipImageButton");
  EXPECT_EQ(photo->capped, 1);
  click("flipImageButton");
  EXPECT_EQ(photo->capped, 0);
}

TEST_F(PhotoViewInspectorTest, SetImageThroughTheWindowModalPanel) {
  Objex* one = addPhoto(0, 0, 100, 0);
  const std::string image = writeImage("picture.png", 30, 20);
  update();
  mark();
  click("setImageButton");
  auto* panel = window->findChild<QFileDialog*>(QStringLiteral("photoViewOpenPanel"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
  EXPECT_TRUE(panel->nameFilters().join(' ').contains(QStringLiteral("*.png")));
  panel->selectFile(QString::fromStdString(image));
  QMetaObject::invokeMethod(panel, "accept");
  QApplication::processEvents();
  ASSERT_NE(one->sourceObject, nullptr);
  EXPECT_EQ(std::string(static_cast<char*>(one->sourceObject)), image);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Set PhotoView Image"}));

  // Two photo views given one image get a texture id each.
  Objex* two = addPhoto(0, 200, 100, 200);
  const int32_t next = gCurrentPhotoTextureID;
  pane()->photoViewOpenPanelDidEnd(1, {QString::fromStdString(image)});
  EXPECT_EQ(one->textureID1, next);
  EXPECT_EQ(two->textureID1, next + 1);
  for (Objex* o : {one, two}) {
    EXPECT_EQ(o->textureID2, o->textureID1);
    EXPECT_EQ(o->textureID3, o->textureID1);
    for (Poinz* p = o->firstPoint; p; p = p->next) {
      EXPECT_EQ(p->textureID[0], o->textureID1);
      EXPECT_EQ(p->textureID[1], o->textureID1);
    }
  }

  // Cancelled or several files: nothing changes.
  mark();
  pane()->photoViewOpenPanelDidEnd(0, {QString::fromStdString(image)});
  pane()->photoViewOpenPanelDidEnd(1, {QString::fromStdString(image), QString::fromStdString(image)});
  EXPECT_EQ(std::string(static_cast<char*>(two->sourceObject)), image);
  EXPECT_EQ(stepsSinceMark(), Steps{});

  // One file is taken as chosen, silently, even one that does not read as an image: the
  // information sheet tells that later.
  const std::string notImage = file("notes.png");
  FILE* f = fopen(notImage.c_str(), "w");
  fputs("not a picture", f);
  fclose(f);
  ScopedAlertRecorder alerts;
  mark();
  pane()->photoViewOpenPanelDidEnd(1, {QString::fromStdString(notImage)});
  EXPECT_EQ(std::string(static_cast<char*>(one->sourceObject)), notImage);
  EXPECT_EQ(std::string(static_cast<char*>(two->sourceObject)), notImage);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Set PhotoView Image"}));
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(PhotoViewInspectorTest, InformationSheetTellsTheImageSize) {
  Objex* photo = addPhoto(0, 0, 100, 0);
  const std::string image = writeImage("sized.png", 30, 20);
  givePath(photo, image);
  update();
  click("imageInfoButton");
  EXPECT_EQ(infoTexts(), (std::vector<std::string>{image, "30 pixels", "20 pixels"}));

  givePath(photo, file("gone.png"));
  click("imageInfoButton");
  EXPECT_EQ(infoTexts(), (std::vector<std::string>{"Image not found.", "n/a", "n/a"}));
  // A path longer than the finder's buffer is checked as it is.
  givePath(photo, "/" + std::string(700, 'x') + ".png");
  click("imageInfoButton");
  EXPECT_EQ(infoTexts(), (std::vector<std::string>{"Image not found.", "n/a", "n/a"}));
  // No image path: nothing to tell; no object: no sheet.
  free(photo->sourceObject);
  photo->sourceObject = nullptr;
  click("imageInfoButton");
  EXPECT_EQ(infoTexts(), (std::vector<std::string>{"", "", ""}));
  PhotoViewInfoController::newPhotoViewInfoSheetForParent(window, nullptr);
  EXPECT_EQ(window->findChild<PhotoViewInfoController*>(), nullptr);
}

// A design may name any image: one whose 352 bytes claim a 2 GB text chunk is read through
// the image loader's checks, and the sheet says it cannot be read (it took 2 GB before).
TEST_F(PhotoViewInspectorTest, InformationSheetOnAnImageThatCannotBeRead) {
  Objex* photo = addPhoto(0, 0, 100, 0);
  const std::filesystem::path kept = std::filesystem::path(__FILE__).parent_path() / "data" / "regressions";
  const std::string image = (kept / "photo-view-image-png-2GB.png").string();
  ASSERT_TRUE(std::filesystem::exists(image));
  givePath(photo, image);
  update();
  const bool watching = WatchAllocations();
  click("imageInfoButton");
  if (watching) {
    EXPECT_LT(LargestAllocation(), size_t(64) << 20);
  }
  auto* sheet = window->findChild<PhotoViewInfoController*>();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->previewImageView->text().toStdString().rfind("The image cannot be read.", 0), 0u)
      << sheet->previewImageView->text().toStdString();
  EXPECT_EQ(infoTexts(), (std::vector<std::string>{image, "n/a", "n/a"}));
}

}  // namespace
