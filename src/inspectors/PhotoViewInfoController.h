// The image information sheet of a photo view: the image file's path, a preview and its size
// in pixels. It changes nothing in the design.
#pragma once
#include "inspectors/SheetController.h"

class QLabel;
struct Objex;

class PhotoViewInfoController : public SheetController {
  Q_OBJECT
 public:
  // Nothing unless both are given.
  static void newPhotoViewInfoSheetForParent(QWidget* parent, Objex* object);

  Objex* targetObject = nullptr;  // not owned
  QLabel* previewImageView = nullptr;
  QLabel* pathTextView = nullptr;
  QLabel* imageWidthText = nullptr;
  QLabel* imageHeightText = nullptr;

 private:
  PhotoViewInfoController(QWidget* parent, Objex* object);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel*, DocState*) override {}
};
