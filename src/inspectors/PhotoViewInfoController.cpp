// The photo view's image information sheet.
#include "inspectors/PhotoViewInfoController.h"

#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <cstring>

#include "model/Records.h"
#include "plandraw/qt/ImageLoader.h"
#include "model/TexturePaths.h"
#include "platform/Strings.h"

namespace {
constexpr int kPreviewSize = 160;

QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }
QString Pixels(int count) {
  QString format = Text("%ld pixels");
  return format.replace(QStringLiteral("%ld"), QString::number(count));
}
}  // namespace

PhotoViewInfoController::PhotoViewInfoController(QWidget* parent, Objex* object)
    : SheetController(parent, "PhotoViewInfoSheet"), targetObject(object) {
  setWindowTitle(Text("Image Information"));
  previewImageView = new QLabel(this);
  previewImageView->setObjectName(QStringLiteral("previewImageView"));
  previewImageView->setFixedSize(kPreviewSize, kPreviewSize);
  previewImageView->setAlignment(Qt::AlignCenter);
  previewImageView->setWordWrap(true);
  pathTextView = new QLabel(this);
  pathTextView->setObjectName(QStringLiteral("pathTextView"));
  pathTextView->setWordWrap(true);
  pathTextView->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pathTextView->setMaximumWidth(360);
  imageWidthText = new QLabel(this);
  imageWidthText->setObjectName(QStringLiteral("imageWidthText"));
  imageHeightText = new QLabel(this);
  imageHeightText->setObjectName(QStringLiteral("imageHeightText"));
  form()->addRow(previewImageView);
  form()->addRow(Text("Path:"), pathTextView);
  form()->addRow(Text("Width:"), imageWidthText);
  form()->addRow(Text("Height:"), imageHeightText);
  // One button closes it: nothing is applied.
  cancelButton()->hide();
}

void PhotoViewInfoController::newPhotoViewInfoSheetForParent(QWidget* parent, Objex* object) {
  if (!parent || !object) return;
  beginSheet(parent, new PhotoViewInfoController(parent, object));
}

void PhotoViewInfoController::initializeControlStates() {
  const char* stored = targetObject ? static_cast<const char*>(targetObject->sourceObject) : nullptr;
  if (!stored || !stored[0]) return;
  std::string path(stored);
  bool found = false;
  if (path.size() < kPathBufferSize) {
    // The finder may rewrite the copy to the same file name in the content folder.
    char buffer[kPathBufferSize] = {};
    std::memcpy(buffer, path.data(), path.size());
    found = VerifyOrFindFile(buffer, 1, 0) == 1;
    if (found) path = buffer;
  } else {
    // Too long for the finder's buffer: checked as it is.
    found = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).isFile();
  }
  if (!found) {
    pathTextView->setText(Text("Image not found."));
    imageWidthText->setText(Text("n/a"));
    imageHeightText->setText(Text("n/a"));
    return;
  }
  const QString name = QFile::decodeName(QByteArray::fromStdString(path));
  pathTextView->setText(name);
  // The path comes from the design: the image is read with the checks every image gets.
  QString why;
  const QImage image = LoadImageFile(name, &why);
  if (image.isNull()) {
    // The file is there but does not read as an image: no size to tell.
    previewImageView->setText(Text("The image cannot be read.") + QLatin1Char(' ') + why);
    imageWidthText->setText(Text("n/a"));
    imageHeightText->setText(Text("n/a"));
    return;
  }
  previewImageView->setPixmap(
      QPixmap::fromImage(image.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  imageWidthText->setText(Pixels(image.width()));
  imageHeightText->setText(Pixels(image.height()));
}
