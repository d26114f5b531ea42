// The photo view pane. A photo view's first two points are the picture's ends on the plan;
// its height (plan units) is its first param, its no-shadow switch the second options word,
// its mirror switch the capped byte and its image path the owned source string.
#include "inspectors/PhotoViewInspectorController.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <cstring>

#include "inspectors/PhotoViewInfoController.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/ValueFields.h"
#include "model/CommandCodes.h"
#include "model/CustomTextures.h"
#include "model/DeckFields.h"
#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TransformGuard.h"
#include "platform/Strings.h"

namespace {
uint16_t& NoShadowOf(Objex* photo) { return photo->options[1]; }
uint8_t& FlippedOf(Objex* photo) { return photo->capped; }

void RebuildPhoto(Objex* photo) {
  Update3DPhoto(photo);
  ReRenderObject(photo);
}

float PlanWidthOf(const Objex* photo) {
  const Poinz* a = photo->firstPoint;
  const Poinz* b = a->next;
  return GetLineLength(a->position[0], a->position[2], b->position[0], b->position[2]);
}

bool HasTwoPoints(const Objex* photo) { return photo->firstPoint && photo->firstPoint->next; }

// The patterns of every image format this program reads.
QString ImageFilter() {
  QStringList patterns;
  for (const QByteArray& format : QImageReader::supportedImageFormats())
    patterns << QStringLiteral("*.") + QString::fromLatin1(format);
  return QString::fromStdString(LocalizedString("Images")) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
         QLatin1Char(')');
}
}  // namespace

PhotoViewInspectorController::PhotoViewInspectorController() : InspectorPane("PhotoViewInspector") {
  photoWidthText = addField("Width", "photoWidthText");
  photoHeightText = addField("Height", "photoHeightText");
  castShadowsButton = addCheck("Cast Shadows", "castShadowsButton", [this] { castShadowsButtonChanged(); });
  flipImageButton = addButton("Mirror Image", "flipImageButton", [this] { flipImageButtonChanged(); });
  setImageButton = addButton("Set Image...", "setImageButton", [this] { setImageButtonChanged(); });
  imageInfoButton = addButton("Image Information...", "imageInfoButton", [this] { imageInfoButtonChanged(); });
}

PhotoViewInspectorController* PhotoViewInspectorController::sharedInspectorController() {
  static auto* controller = new PhotoViewInspectorController;
  return controller;
}

void PhotoViewInspectorController::updatePropertiesForObject(Objex* photo, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds || !photo || photo->type != kObjPhotoView || !HasTwoPoints(photo)) return;
  Fill fill(this);
  oldWidthValue = ConvertScreenToWorld(PlanWidthOf(photo), ds, 0);
  oldHeightValue = ConvertScreenToWorld(PhotoHeightOf(photo), ds, 0);
  mergeFloat(photoWidthText, oldWidthValue, init);
  mergeFloat(photoHeightText, oldHeightValue, init);
  const bool casts = NoShadowOf(photo) != 1;
  if (init) castShadowsButton->setChecked(casts);
  else if (castShadowsButton->isChecked() != casts) castShadowsButton->setChecked(false);
  // The image buttons work on one photo view only.
  imageInfoButton->setEnabled(init);
  setImageButton->setEnabled(init);
}

void PhotoViewInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  if (field == photoWidthText) editWidth(field);
  else if (field == photoHeightText) editHeight(field);
}

void PhotoViewInspectorController::editWidth(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the last width shown or accepted.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > 0.01f && v < 10000.0f)) {
    echoFloat(field, oldWidthValue);
    return;
  }
  const float half = ConvertWorldToScreen(v, ds, 0) / 2;
  // The ends about the photo view's centre, x and z of each.
  const auto endsOf = [half](const Objex* photo, float ends[4]) {
    const Poinz* p1 = photo->firstPoint;
    const Poinz* p2 = p1->next;
    const float cx = (p1->position[0] + p2->position[0]) / 2;
    const float cz = (p1->position[2] + p2->position[2]) / 2;
    float length = 0;
    const float angle = GetLineLengthAndAngle(p1->position[0], p1->position[2], p2->position[0], p2->position[2],
                                              &length);
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(angle, half, &dx, &dz);
    ends[0] = cx - dx, ends[1] = cz - dz, ends[2] = cx + dx, ends[3] = cz + dz;
  };
  // A width that puts an end of any of them past the plan's limits changes none of them.
  bool fits = true;
  ForEachSelectedOfType(kObjPhotoView, [&](Objex* photo) {
    if (!HasTwoPoints(photo)) return;
    float ends[4];
    endsOf(photo, ends);
    for (float e : ends) fits &= IsPlanCoordinateValid(e);
  });
  if (!fits) {
    AlertRefusedTransform(kCmdScaleObjects);
    echoFloat(field, oldWidthValue);
    return;
  }
  oldWidthValue = v;
  bool changed = false;
  ForEachSelectedOfType(kObjPhotoView, [&](Objex* photo) {
    // A photo view without its two ends has no width to change; the others still get theirs.
    if (!HasTwoPoints(photo)) return;
    Poinz* p1 = photo->firstPoint;
    Poinz* p2 = p1->next;
    float ends[4];
    endsOf(photo, ends);
    if (ends[0] == p1->position[0] && ends[1] == p1->position[2] && ends[2] == p2->position[0] &&
        ends[3] == p2->position[2])
      return;
    p1->position[0] = ends[0];
    p1->position[2] = ends[1];
    p2->position[0] = ends[2];
    p2->position[2] = ends[3];
    // The plan finds the picture by its bounds: they follow the new ends.
    UpdateObjectBounds(photo);
    RebuildPhoto(photo);
    changed = true;
  });
  if (changed) StoreInspectorUndo("PhotoView Width");
  Refresh();
  echoFloat(field, v);
}

void PhotoViewInspectorController::editHeight(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the last height shown or accepted.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > 0.01f && v < 10000.0f)) {
    echoFloat(field, oldHeightValue);
    return;
  }
  oldHeightValue = v;
  const float height = ConvertWorldToScreen(v, ds, 0);
  bool changed = false;
  ForEachSelectedOfType(kObjPhotoView, [&](Objex* photo) {
    if (PhotoHeightOf(photo) == height) return;
    PhotoHeightOf(photo) = height;
    RebuildPhoto(photo);
    changed = true;
  });
  if (changed) StoreInspectorUndo("PhotoView Height");
  Refresh();
  echoFloat(field, v);
}

void PhotoViewInspectorController::castShadowsButtonChanged() {
  if (!InspectorCurLayer()) return;
  const uint16_t noShadow = castShadowsButton->isChecked() ? 0 : 1;
  bool changed = false;
  ForEachSelectedOfType(kObjPhotoView, [&](Objex* photo) {
    if (NoShadowOf(photo) == noShadow) return;
    NoShadowOf(photo) = noShadow;
    RebuildPhoto(photo);
    changed = true;
  });
  if (changed) StoreInspectorUndo("PhotoView Shadow");
  Refresh();
}

void PhotoViewInspectorController::flipImageButtonChanged() {
  if (!InspectorCurLayer()) return;
  ForEachSelectedOfType(kObjPhotoView, [&](Objex* photo) {
    FlippedOf(photo) = FlippedOf(photo) ? 0 : 1;
    RebuildPhoto(photo);
  });
  Refresh();
  StoreInspectorUndo("Flip PhotoView Image");
}

void PhotoViewInspectorController::setImageButtonChanged() {
  QWidget* window = TheSheetHooks().mainDesignWindow ? TheSheetHooks().mainDesignWindow() : nullptr;
  if (!window) return;
  auto* panel = new QFileDialog(window, QString(), QString(), ImageFilter());
  panel->setObjectName(QStringLiteral("photoViewOpenPanel"));
  panel->setOption(QFileDialog::DontUseNativeDialog, true);
  panel->setFileMode(QFileDialog::ExistingFile);
  panel->setAcceptMode(QFileDialog::AcceptOpen);
  panel->setWindowModality(Qt::WindowModal);
  panel->setAttribute(Qt::WA_DeleteOnClose, false);
  connect(panel, &QDialog::finished, this, [this, panel](int result) {
    const QStringList files = panel->selectedFiles();
    panel->deleteLater();
    photoViewOpenPanelDidEnd(result == QDialog::Accepted ? 1 : 0, files);
  });
  panel->open();
}

void PhotoViewInspectorController::photoViewOpenPanelDidEnd(int returnCode, const QStringList& files) {
  if (returnCode != 1 || !InspectorCurLayer() || files.size() != 1) return;
  const QByteArray path = QFile::encodeName(files.front());
  // The path is taken as chosen: a picture whose image cannot be read draws without it, and
  // the information sheet tells that the image is not found.
  if (path.isEmpty()) return;
  ForEachSelectedOfType(kObjPhotoView, [&](Objex* photo) {
    auto* copy = static_cast<char*>(calloc(static_cast<size_t>(path.size()) + 5 + 1, 1));
    if (!copy) return;
    std::memcpy(copy, path.constData(), static_cast<size_t>(path.size()));
    free(photo->sourceObject);
    photo->sourceObject = copy;
    // Each photo view gets a texture id of its own.
    const int32_t texture = gCurrentPhotoTextureID++;
    photo->textureID1 = photo->textureID2 = photo->textureID3 = texture;
    for (Poinz* p = photo->firstPoint; p; p = p->next) p->textureID[0] = p->textureID[1] = texture;
    RebuildPhoto(photo);
  });
  StoreInspectorUndo("Set PhotoView Image");
}

void PhotoViewInspectorController::imageInfoButtonChanged() {
  Layer* layer = InspectorCurLayer();
  if (!layer) return;
  Objex* first = nullptr;
  ForEachSelectedOfType(kObjPhotoView, [&](Objex* photo) {
    if (!first) first = photo;
  });
  QWidget* window = TheSheetHooks().mainDesignWindow ? TheSheetHooks().mainDesignWindow() : nullptr;
  PhotoViewInfoController::newPhotoViewInfoSheetForParent(window, first);
}
