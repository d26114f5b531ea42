// Start-up placement of the content roots.
#include "platform/qt/ContentRoots.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/ContentPaths.h"

void InstallContentRoots() {
  QString installed;
  if (QCoreApplication::instance())
    installed = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../share/casavelt");
  if (!installed.isEmpty() && QFileInfo(installed).isDir())
    SetLocalSupportRoot(QDir::cleanPath(installed).toStdString());
  else
    SetLocalSupportRoot(BuildTreeContentRoot());
  std::string data =
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
  SetUserSharedRoot(data);
  SetUserSupportRoot(data);
}
