// Render tests with their own content folders: stock images under a support root, custom
// images, plant pictures and the content folder under a shared root, all written as PNG files.
#pragma once
// The model's headers before Qt's: its `slots` keyword would clash with a record field.
#include "render3d/RenderTestSupport.h"

#include <QColor>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "model/CustomTextures.h"
#include "platform/ContentPaths.h"
#include "render3d/TextureLoading.h"

class TextureTest : public RenderTest {
 protected:
  std::string root, support, shared;
  std::string savedSupport, savedShared;

  void SetUp() override {
    RenderTest::SetUp();
    if (!TestGLContext()) return;
    char pattern[] = "/tmp/casa-textures-XXXXXX";
    root = mkdtemp(pattern);
    support = root + "/support";
    shared = root + "/shared";
    savedSupport = LocalDomainApplicationSupportPath();
    savedShared = LocalDomainUserSharedPath();
    SetLocalSupportRoot(support);
    SetUserSharedRoot(shared);
    ForgetLoadedTextures();
  }

  void TearDown() override {
    if (TestGLContext()) {
      ForgetLoadedTextures();
      SetLocalSupportRoot(savedSupport);
      SetUserSharedRoot(savedShared);
      std::error_code ec;
      std::filesystem::remove_all(root, ec);
    }
    RenderTest::TearDown();
  }

  // Drops every loaded texture name and every image remembered as missing.
  static void ForgetLoadedTextures() {
    ClearGLTextureNames();
    DeleteCachedTextureImagesGL(nullptr, 0);
    ForgetStockTextureSizes();
  }

  // Writes a PNG of w x h pixels coloured by `pixel`(x, y) (y from the top) at `path`.
  static void writeImage(const std::string& path, int w, int h, const std::function<QColor(int, int)>& pixel) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) image.setPixel(x, y, pixel(x, y).rgb());
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG")) << path;
  }
  static void writeSolid(const std::string& path, int w, int h, QColor c) {
    writeImage(path, w, h, [c](int, int) { return c; });
  }
  static void writeText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
  }
  std::string stockFolder() const { return support + "/QVRA/Textures"; }
  std::string customFolder() const { return shared + "/QVRA/Textures/CustomTextures"; }
  std::string contentFolder() const { return shared + "/QVRA/Content"; }

  // The size and RGBA pixels (bottom row first) of the texture bound to an id's name.
  struct TextureImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    std::array<int, 4> at(int x, int y) const {
      const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
      return {p[0], p[1], p[2], p[3]};
    }
  };
  static TextureImage textureOf(int32_t id) {
    TextureImage t;
    const GLuint name = GLTextureNameForID(id);
    if (!name) return t;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &t.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &t.height);
    t.rgba.resize(static_cast<size_t>(t.width) * t.height * 4);
    GLint pack = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    return t;
  }
};
