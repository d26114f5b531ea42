// A private content installation for the content library tests: a support root and a shared
// root in a scratch folder, files written into them, and a bare design with its DocState.
#pragma once
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "platform/ContentPaths.h"

class ContentFolders {
 public:
  ContentFolders() {
    char pattern[] = "/tmp/casa-content-XXXXXX";
    if (mkdtemp(pattern)) root = pattern;
    support = root + "/support";
    shared = root + "/shared";
    std::filesystem::create_directories(support + "/QVRA");
    std::filesystem::create_directories(shared + "/QVRA");
    SetLocalSupportRoot(support);
    SetUserSharedRoot(shared);
  }
  ~ContentFolders() {
    SetLocalSupportRoot(BuildTreeContentRoot());
    SetUserSharedRoot("");
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  // Writes text at a path below the root ("shared/QVRA/ObjectCat.ini").
  std::string write(const std::string& relative, const std::string& text) const {
    const std::filesystem::path path = std::filesystem::path(root) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  // Writes a PNG image of one colour (size x size) at a path below the root.
  std::string image(const std::string& relative, int size, QRgb colour) const {
    const std::filesystem::path path = std::filesystem::path(root) / relative;
    std::filesystem::create_directories(path.parent_path());
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(colour);
    img.save(QString::fromStdString(path.string()), "PNG");
    return path.string();
  }
  std::string root, support, shared;
};

// A bare current design with its DocState (no window).
class BareDesign {
 public:
  BareDesign() : previous_(gCurDocument) {
    model.itsDocState = CreateDocState();
    gCurDocument = &model;
  }
  ~BareDesign() {
    model.deleteContents();
    gCurDocument = previous_;
  }
  ZLKDocumentModel model;
  DocState* ds() { return model.itsDocState; }

 private:
  ZLKDocumentModel* previous_;
};
