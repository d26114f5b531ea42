// The photo view plug-in, which runs inside the program: an image chosen in an open panel
// becomes a photo view on the current floor.
#include <QFile>
#include <QFileDialog>
#include <QImageReader>

#include <cstdlib>
#include <cstring>

#include "app/AddkitDispatcher.h"
#include "app/AppController.h"
#include "app/ZLKDocumentView.h"
#include "files/Undo.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/Strings.h"
#include "tools/KeyEntryTools.h"

void ZLKDocumentView::launchPhotoView() {
  std::vector<std::string> paths;
  if (choosePhotoViewImagePaths) {
    paths = choosePhotoViewImagePaths();
  } else {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
      patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    const QStringList chosen = QFileDialog::getOpenFileNames(
        window(), QString(), QString(),
        QString::fromStdString(LocalizedString("Images")) + " (" + patterns.join(' ') + ")");
    for (const QString& path : chosen) paths.push_back(QFile::encodeName(path).toStdString());
  }
  photoViewAddkitOpenPanelDidEnd(paths.empty() ? 0 : 1, paths);
}

void ZLKDocumentView::photoViewAddkitOpenPanelDidEnd(int returnCode, const std::vector<std::string>& paths) {
  if (returnCode == 1 && paths.size() == 1 && !paths.front().empty()) {
    if (Objex* photo = BuildPhoto()) {
      const std::string& path = paths.front();
      char* data = static_cast<char*>(calloc(path.size() + 5, 1));
      if (data) {
        std::memcpy(data, path.data(), path.size());
        free(photo->sourceObject);
        photo->sourceObject = data;
      }
      Update3DPhoto(photo);
      ReRenderObject(photo);
      Refresh();
      StoreUndo(LocalizedString("Insert PhotoView Image"));
      UpdateInspectorPropertiesState(true);
    }
  }
  AddkitDispatcher::sharedAddkitDispatcher().releaseLockForAddkitOwnedByDocument(gCurDocument);
  AppController::restorePanelsAfterAddkit();
}
