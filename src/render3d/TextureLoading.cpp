// Design texture ids made into OpenGL textures, with the image fallbacks and converters.
#include "render3d/TextureLoading.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TextureIDs.h"
#include "model/TexturePaths.h"
#include "plandraw/PlatformAdapters.h"
#include "platform/ContentPaths.h"
#include "render3d/RenderPlaneObject.h"

namespace {

constexpr int32_t kStockSide = 256;
// Largest image side the loader accepts for a texture (the image reader has its own memory
// limit; this keeps every size product below in range).
constexpr int32_t kMaxImageSide = 16384;

uint64_t sFileLookups = 0;

// Ids whose image was not found, for the design they were asked for.
struct MissingTextures {
  const void* design = nullptr;
  std::unordered_set<int32_t> ids;
};
MissingTextures& Missing() {
  static MissingTextures missing;
  const void* design = gCurDocument;
  if (missing.design != design) {
    missing.ids.clear();
    missing.design = design;
  }
  return missing;
}

bool FileExists(const std::string& path, std::string* resolved) {
  ++sFileLookups;
  *resolved = ExistingFilePath(path);
  return !resolved->empty();
}

uint8_t AlphaByte(float alpha) {
  const float a = 255.0f * alpha;
  if (!(a > 0)) return 0;
  return a >= 255 ? 255 : static_cast<uint8_t>(a);
}

bool SizeOK(int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

bool IsBlack(const uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

void SetRepeatLinearModulate() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// Keeps a pixel-store alignment at 1 for its lifetime.
class AlignmentOne {
 public:
  explicit AlignmentOne(GLenum which) : which_(which) {
    glGetIntegerv(which_, &saved_);
    glPixelStorei(which_, 1);
  }
  ~AlignmentOne() { glPixelStorei(which_, saved_); }
  AlignmentOne(const AlignmentOne&) = delete;
  AlignmentOne& operator=(const AlignmentOne&) = delete;

 private:
  GLenum which_;
  GLint saved_ = 4;
};

}  // namespace

uint64_t TextureFileLookups() { return sFileLookups; }

void NoteMissingTexture(int32_t id) { Missing().ids.insert(id); }
bool IsTextureKnownMissing(int32_t id) { return Missing().ids.count(id) != 0; }

void DeleteCachedTextureImagesGL(const uint32_t* ids, int32_t count) {
  Missing().ids.clear();
  if (!ids || count < 1) return;
  std::vector<GLuint> names;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t id = static_cast<int32_t>(ids[i]);
    if (const uint32_t name = GLTextureNameForID(id)) {
      names.push_back(name);
      SetGLTextureNameForID(id, 0);
    }
  }
  if (!names.empty() && glGetString(GL_VERSION)) glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
}

uint32_t GLTextureNameToLoad(int32_t id) {
  GLuint name = GLTextureNameForID(id);
  if (name && glIsTexture(name)) return name;
  glGenTextures(1, &name);
  SetGLTextureNameForID(id, name);
  return name;
}

void UploadTextureImage(int32_t internalFormat, int32_t width, int32_t height, uint32_t format, const void* pixels) {
  AlignmentOne unpack(GL_UNPACK_ALIGNMENT);
  glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
}

uint32_t ResidentTextureName(int32_t id, bool load) {
  if (id < 1) return 0;
  const uint32_t name = GLTextureNameForID(id);
  if (name || !load || IsTextureKnownMissing(id)) return name;
  if (id < kFirstCustomTextureID) {
    LoadGLTexture(id);
  } else {
    const char* path = GetCustomTextureIDPath(id);
    if (path && path[0]) LoadGLCustomTexture(id, path);
  }
  return GLTextureNameForID(id);
}

DIBImage* LoadGLDIBImage(const char* path) {
  if (!path) return nullptr;
  std::string found;
  if (!(path[0] && !IsWin32Path(path) && FileExists(path, &found))) {
    const char* name = SetPathPtrToFilename(path);
    const std::string folder = LocalDomainContentPath();
    const bool inContent = name && name[0] && !folder.empty() && FileExists(folder + "/" + name, &found);
    if (!inContent) {
      const std::string na = NotAvailableImagePath();
      if (na.empty() || !FileExists(na, &found)) return nullptr;
    }
  }
  DIBImage* image = LoadDIBImageFile(found.c_str());
  if (image && (!image->pixels || !SizeOK(image->width, image->height))) {
    FreeDIBImage(image);
    return nullptr;
  }
  return image;
}

bool LoadGLTexture(int32_t id) {
  if (id < 1 || id > kLastStockTextureID) return false;
  char name[kTexturePathSize] = {};
  GetTextureFileNameFromID(id, name, sizeof name);
  const std::string folder = LocalDomainTexturePath();
  if (!name[0] || folder.empty()) {
    NoteMissingTexture(id);
    return false;
  }
  const std::string path = folder + "/" + name;
  DIBImage* image = LoadGLDIBImage(path.c_str());
  if (!image) {
    NoteMissingTexture(id);
    return false;
  }
  glBindTexture(GL_TEXTURE_2D, GLTextureNameToLoad(id));
  UploadTextureImage(3, image->width, image->height, GL_RGB, image->pixels);
  SetRepeatLinearModulate();
  FreeDIBImage(image);
  return true;
}

uint8_t* ScaleRGBAImage(const uint8_t* rgba, int32_t width, int32_t height, int32_t newWidth, int32_t newHeight) {
  if (!rgba || !SizeOK(width, height) || !SizeOK(newWidth, newHeight)) return nullptr;
  auto* out = static_cast<uint8_t*>(malloc(static_cast<size_t>(newWidth) * newHeight * 4));
  if (!out) return nullptr;
  AlignmentOne unpack(GL_UNPACK_ALIGNMENT);
  AlignmentOne pack(GL_PACK_ALIGNMENT);
  if (gluScaleImage(GL_RGBA, width, height, GL_UNSIGNED_BYTE, rgba, newWidth, newHeight, GL_UNSIGNED_BYTE, out) != 0) {
    free(out);
    return nullptr;
  }
  return out;
}

uint8_t* CustomTexturePixels(const DIBImage* image, bool keyed) {
  if (!image || !image->pixels || !SizeOK(image->width, image->height)) return nullptr;
  const int32_t w = image->width, h = image->height;
  uint8_t* rgba = ConvertTextureToRGBACustom(image->pixels, 1.0f, w, h);
  if (!rgba) return nullptr;
  if (w != kCustomTextureSide || h != kCustomTextureSide) {
    // The transparent border keeps keyed images from bleeding into their neighbours when
    // scaled; a plain material tiles without it (the border would open a seam at every repeat).
    if (keyed) FrameImage(rgba, w, h);
    uint8_t* scaled = ScaleRGBAImage(rgba, w, h, kCustomTextureSide, kCustomTextureSide);
    free(rgba);
    if (!scaled) return nullptr;
    rgba = scaled;
  }
  if (keyed) SetTextureAlphaCustom(rgba, 0.0f, kCustomTextureSide, kCustomTextureSide);
  return rgba;
}

bool LoadGLCustomTexture(int32_t id, const char* name) {
  if (id < kFirstCustomTextureID || !name || !name[0]) return false;
  const std::string folder = LocalDomainCustomTexturePath();
  const std::string path = (folder.empty() ? std::string() : folder + "/") + name;
  DIBImage* image = LoadGLDIBImage(path.c_str());
  if (!image) {
    NoteMissingTexture(id);
    return false;
  }
  uint8_t* rgba = CustomTexturePixels(image, LoadCustomTextureAlpha(id) != 0);
  FreeDIBImage(image);
  if (!rgba) return false;
  glBindTexture(GL_TEXTURE_2D, GLTextureNameToLoad(id));
  UploadTextureImage(4, kCustomTextureSide, kCustomTextureSide, GL_RGBA, rgba);
  SetRepeatLinearModulate();
  free(rgba);
  return true;
}

uint8_t* ConvertTextureToRGBACustom(const uint8_t* rgb, float alpha, int32_t width, int32_t height) {
  if (!rgb || !SizeOK(width, height)) return nullptr;
  const size_t count = static_cast<size_t>(width) * height;
  auto* out = static_cast<uint8_t*>(malloc(count * 4));
  if (!out) return nullptr;
  const uint8_t a = AlphaByte(alpha);
  for (size_t i = 0; i < count; ++i) {
    out[4 * i] = rgb[3 * i];
    out[4 * i + 1] = rgb[3 * i + 1];
    out[4 * i + 2] = rgb[3 * i + 2];
    out[4 * i + 3] = a;
  }
  return out;
}

uint8_t* ConvertTextureToRGBA(const uint8_t* rgb, float alpha) {
  return ConvertTextureToRGBACustom(rgb, alpha, kStockSide, kStockSide);
}

uint8_t* ConvertCustomTextureToRGBA(const uint8_t* rgb, float alpha, int32_t side) {
  return ConvertTextureToRGBACustom(rgb, alpha, side, side);
}

void SetTextureAlphaCustom(uint8_t* rgba, float alpha, int32_t width, int32_t height) {
  if (!rgba || !SizeOK(width, height)) return;
  const uint8_t a = AlphaByte(alpha);
  const size_t count = static_cast<size_t>(width) * height;
  for (size_t i = 0; i < count; ++i)
    if (IsBlack(rgba + 4 * i)) rgba[4 * i + 3] = a;
}

void SetTextureAlpha(uint8_t* rgba, float alpha) { SetTextureAlphaCustom(rgba, alpha, kStockSide, kStockSide); }

void SetTextureColorCustom(uint8_t* rgba, const RGBColor& color, int32_t width, int32_t height) {
  if (!rgba || !SizeOK(width, height)) return;
  const size_t count = static_cast<size_t>(width) * height;
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = rgba + 4 * i;
    if (IsBlack(p)) continue;
    p[0] = static_cast<uint8_t>(color.red & 0xFF);
    p[1] = static_cast<uint8_t>(color.green & 0xFF);
    p[2] = static_cast<uint8_t>(color.blue & 0xFF);
  }
}

void SetTextureColor(uint8_t* rgba, const RGBColor& color) { SetTextureColorCustom(rgba, color, kStockSide, kStockSide); }

void SetCustomTextureAlpha(uint8_t* rgba, uint8_t red, uint8_t green, uint8_t blue, int32_t side) {
  if (!rgba || !SizeOK(side, side)) return;
  const size_t count = static_cast<size_t>(side) * side;
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = rgba + 4 * i;
    p[3] = p[0];
    p[0] = red, p[1] = green, p[2] = blue;
  }
}

void SetCustomTextureAverageAlpha(uint8_t* rgba, int32_t side) {
  if (!rgba || !SizeOK(side, side)) return;
  const size_t count = static_cast<size_t>(side) * side;
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = rgba + 4 * i;
    const int L = static_cast<int>(0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2] + 0.5);
    const int a = 4 * L - 765;
    p[3] = static_cast<uint8_t>(a < 0 ? 0 : a > 255 ? 255 : a);
  }
}

void FrameImage(uint8_t* rgba, int32_t width, int32_t height) {
  if (!rgba || !SizeOK(width, height)) return;
  const size_t row = static_cast<size_t>(width) * 4;
  std::memset(rgba, 0, row);
  std::memset(rgba + row * (height - 1), 0, row);
  for (int32_t y = 1; y < height - 1; ++y) {
    std::memset(rgba + row * y, 0, 4);
    std::memset(rgba + row * y + row - 4, 0, 4);
  }
}

float* ReduceToUnit(float v[3]) {
  if (!v) return v;
  float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length == 0) length = 1;
  v[0] /= length, v[1] /= length, v[2] /= length;
  return v;
}

void AssignCabinetTextures(int32_t subtype, int32_t textureID, const ShortPoint* scale, const RGBColor* color,
                           Objex* object) {
  if (!scale || !color || !object || !CurDocState()) return;
  Objex* root = GetRootObject(object);
  if (!root || !(root->type == kObjGroup || root->subtype == kSubCabinet)) return;
  auto isCabinetPart = [](int32_t s) { return (s >= 4020 && s <= 4027) || (s >= 4040 && s <= 4042); };
  for (Objex* child = root->firstChild; child; child = child->next) {
    if (child->type != kObjCabinet || !isCabinetPart(child->subtype) || child->subtype != subtype) continue;
    child->textureID1 = child->textureID2 = textureID;
    child->color1 = child->color2 = *color;
    child->textureScale1 = child->textureScale2 = *scale;
    for (Poinz* p = child->firstPoint; p; p = p->next)
      for (int side = 0; side < 2; ++side) {
        p->textureID[side] = textureID;
        p->color[side] = *color;
        p->textureScale[side] = *scale;
      }
    Update3DFloorSkirting(child);
    ReRenderObject(child);
  }
}
