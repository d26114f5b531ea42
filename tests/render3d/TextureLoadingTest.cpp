// Texture loading: stock and custom images made into textures, the fallbacks for files that
// have moved, the converters and keys, and the remembering of images that cannot be found.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "model/Records.h"
#include "model/TexturePaths.h"
#include "plandraw/PlatformAdapters.h"
#include "render3d/TextureTestSupport.h"

namespace {

using Textures = TextureTest;

std::vector<uint8_t> Rgba(std::initializer_list<std::array<uint8_t, 4>> pixels) {
  std::vector<uint8_t> out;
  for (const auto& p : pixels) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(TextureConverters, KeysColoursAndFramesTouchOnlyWhatTheyShould) {
  // RGB to RGBA with the alpha byte truncated from 255 x alpha.
  const uint8_t rgb[6] = {0, 0, 0, 10, 20, 30};
  uint8_t* rgba = ConvertTextureToRGBACustom(rgb, 0.5f, 2, 1);
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(rgba, rgba + 8), Rgba({{0, 0, 0, 127}, {10, 20, 30, 127}}));
  // Only pure black takes the key's alpha; only the rest takes the colour's low bytes.
  SetTextureAlphaCustom(rgba, 0.0f, 2, 1);
  SetTextureColorCustom(rgba, RGBColor{0x1234, 0x0056, 0x0078}, 2, 1);
  EXPECT_EQ(std::vector<uint8_t>(rgba, rgba + 8), Rgba({{0, 0, 0, 0}, {0x34, 0x56, 0x78, 127}}));
  free(rgba);
  EXPECT_EQ(ConvertTextureToRGBACustom(nullptr, 1, 2, 2), nullptr);
  EXPECT_EQ(ConvertTextureToRGBACustom(rgb, 1, 0, 2), nullptr);

  // A grey mask becomes a coloured one; the average key opens luminance up to 191.
  std::vector<uint8_t> mask = Rgba({{200, 0, 0, 9}, {0, 0, 0, 9}, {191, 191, 191, 9}, {255, 255, 255, 9}});
  std::vector<uint8_t> average = mask;
  SetCustomTextureAlpha(mask.data(), 1, 2, 3, 2);
  EXPECT_EQ(mask, Rgba({{1, 2, 3, 200}, {1, 2, 3, 0}, {1, 2, 3, 191}, {1, 2, 3, 255}}));
  SetCustomTextureAverageAlpha(average.data(), 2);
  EXPECT_EQ(average[2 * 4 + 3], 0);    // luminance 191
  EXPECT_EQ(average[3 * 4 + 3], 255);  // white

  // The frame clears the border of a 4 x 3 image and nothing inside it.
  std::vector<uint8_t> image(4 * 3 * 4, 200);
  FrameImage(image.data(), 4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool border = y == 0 || y == 2 || x == 0 || x == 3;
      EXPECT_EQ(image[(y * 4 + x) * 4 + 3], border ? 0 : 200) << x << "," << y;
    }

  float v[3] = {3, 0, 4}, zero[3] = {0, 0, 0};
  EXPECT_FLOAT_EQ(ReduceToUnit(v)[0], 0.6f);
  EXPECT_FLOAT_EQ(v[2], 0.8f);
  ReduceToUnit(zero);
  EXPECT_EQ(zero[0], 0.0f);
}

TEST_F(Textures, FileNamesAndMovedFilesAreFoundInTheContentFolder) {
  EXPECT_EQ(SetPathPtrToFilename(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(SetPathPtrToFilename(""), nullptr);
  EXPECT_STREQ(SetPathPtrToFilename("C:\\Pics\\wood.png"), "wood.png");
  EXPECT_STREQ(SetPathPtrToFilename("/a/b/c.qtx"), "c.qtx");
  EXPECT_STREQ(SetPathPtrToFilename("/top"), "/top");  // the first character is no separator

  writeSolid(contentFolder() + "/Wood.png", 2, 2, Qt::red);
  writeSolid(root + "/here.png", 2, 2, Qt::red);
  struct Case {
    std::string path;
    int16_t search, substitute;
    int16_t found;
    std::string after;  // the buffer on return ("=" unchanged)
  };
  const std::string na = customFolder() + "/NA.QTX";
  const Case cases[] = {
      {root + "/here.png", 0, 1, 1, "="},                             // exists: left alone
      {"C:\\Pics\\wood.png", 1, 0, 1, contentFolder() + "/Wood.png"},  // by name, any case
      {"C:\\Pics\\gone.png", 1, 1, 0, "="},                           // search fails: no substitute
      {root + "/gone.png", 0, 1, 0, na},                              // the not-available image
      {root + "/gone.png", 0, 0, 0, "="},
  };
  for (const Case& c : cases) {
    char buffer[kPathBufferSize] = {};
    std::strncpy(buffer, c.path.c_str(), sizeof buffer - 1);
    EXPECT_EQ(VerifyOrFindFile(buffer, c.search, c.substitute), c.found) << c.path;
    EXPECT_EQ(std::string(buffer), c.after == "=" ? c.path : c.after) << c.path;
  }
  EXPECT_EQ(VerifyOrFindFile(nullptr, 1, 1), 0);
  char repaired[kPathBufferSize] = "D:\\old\\wood.png";
  Validate512Pathname(repaired);
  EXPECT_EQ(std::string(repaired), contentFolder() + "/Wood.png");
  char unterminated[kPathBufferSize];
  std::memset(unterminated, 'a', sizeof unterminated);
  Validate512Pathname(unterminated);  // cannot be made a string: left alone
  EXPECT_EQ(unterminated[kPathBufferSize - 1], 'a');

  // A content folder too deep for the buffer: its file cannot be copied in, so it is not found.
  const std::string deep = root + "/" + std::string(200, 'd') + "/" + std::string(200, 'e') + "/" +
                           std::string(200, 'f');
  shared = deep;
  SetUserSharedRoot(shared);
  writeSolid(contentFolder() + "/wood.png", 2, 2, Qt::red);
  ASSERT_GE(contentFolder().size() + 9, kPathBufferSize);
  char tooLong[kPathBufferSize] = "C:\\Pics\\wood.png";
  EXPECT_EQ(VerifyOrFindFile(tooLong, 1, 0), 0);
  EXPECT_STREQ(tooLong, "C:\\Pics\\wood.png");
  Validate512Pathname(tooLong);
  EXPECT_STREQ(tooLong, "C:\\Pics\\wood.png");
}

TEST_F(Textures, ImagesFallBackOnTheContentFolderThenTheNotAvailableImage) {
  writeSolid(contentFolder() + "/wood.png", 3, 2, Qt::red);
  DIBImage* image = LoadGLDIBImage("C:\\Pics\\wood.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 3);
  FreeDIBImage(image);
  EXPECT_EQ(LoadGLDIBImage("C:\\Pics\\other.png"), nullptr);  // nothing stands in yet
  writeSolid(customFolder() + "/na.qtx", 5, 4, Qt::gray);
  image = LoadGLDIBImage("C:\\Pics\\other.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 5);
  FreeDIBImage(image);
  EXPECT_EQ(LoadGLDIBImage(nullptr), nullptr);
}

TEST_F(Textures, StockIdsOutsideTheirRangeLoadNothing) {
  for (int32_t id : {0, 15000, 20000, -3}) {
    EXPECT_FALSE(LoadGLTexture(id)) << id;
    EXPECT_EQ(GLTextureNameForID(id), 0u) << id;
  }
  EXPECT_FALSE(LoadGLCustomTexture(19999, "a.png"));
  EXPECT_FALSE(LoadGLCustomTexture(20000, ""));
  EXPECT_FALSE(LoadGLCustomTexture(20000, nullptr));
}

TEST_F(Textures, AStockImageOfOddWidthUploadsAtItsOwnSizeWhateverTheAlignment) {
  // 1550 is SKY/SKY1: 101 x 64 pixels whose last column alone is red.
  writeImage(stockFolder() + "/Sky/SKY1.QTX", 101, 64,
             [](int x, int) { return x == 100 ? QColor(255, 0, 0) : QColor(0, 0, 255); });
  glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
  ASSERT_TRUE(LoadGLTexture(1550));
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 8);  // restored
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  const TextureImage t = textureOf(1550);
  ASSERT_EQ(t.width, 101);
  ASSERT_EQ(t.height, 64);
  for (int y : {0, 31, 63}) {
    EXPECT_EQ(t.at(100, y), (std::array<int, 4>{255, 0, 0, 255})) << y;
    EXPECT_EQ(t.at(99, y), (std::array<int, 4>{0, 0, 255, 255})) << y;
  }
  GLint wrap = 0, filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(wrap, GL_REPEAT);
  EXPECT_EQ(filter, GL_LINEAR);
}

TEST_F(Textures, CustomImagesBecome512SquareFramedOnlyWhenKeyed) {
  // Left half pure black, right half (0, 0, 1): only the keyed image opens the black.
  auto halves = [](int x, int) { return x < 150 ? QColor(0, 0, 0) : QColor(0, 0, 1); };
  writeImage(customFolder() + "/plain.png", 300, 200, halves);
  writeImage(customFolder() + "/keyed.png", 300, 200, halves);
  writeText(customFolder() + "/keyed.QTI", "[Opacity]\nAlpha=1\n");
  writeImage(customFolder() + "/square.png", 512, 512, halves);
  writeText(customFolder() + "/square.QTI", "[Opacity]\nAlpha=1\n");
  AddCustomTextureID(20001, "plain.png");
  AddCustomTextureID(20002, "keyed.png");
  AddCustomTextureID(20003, "square.png");
  struct Case {
    int32_t id;
    int corner;       // alpha at the top right corner (the frame; the image is not black there)
    int left, right;  // alpha in the middle of each half
  };
  for (const Case& c : {Case{20001, 255, 255, 255}, Case{20002, 0, 0, 255}, Case{20003, 255, 0, 255}}) {
    ASSERT_NE(ResidentTextureName(c.id, true), 0u) << c.id;
    const TextureImage t = textureOf(c.id);
    ASSERT_EQ(t.width, 512) << c.id;
    ASSERT_EQ(t.height, 512) << c.id;
    EXPECT_EQ(t.at(511, 511)[3], c.corner) << c.id;
    EXPECT_EQ(t.at(100, 256)[3], c.left) << c.id;
    EXPECT_EQ(t.at(400, 256)[3], c.right) << c.id;
    EXPECT_EQ(t.at(400, 256)[2], 1) << c.id;
  }
}

TEST_F(Textures, NamesComeFromTheMapAndEachIdDrawsItsOwnImage) {
  GLuint others[400];
  glGenTextures(400, others);
  writeSolid(support + "/QVRA/Textures/SHRUBS/SHRUB1.QTX", 4, 4, QColor(0, 255, 0));
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 4, 4, QColor(0, 0, 255));
  const GLuint shrub = ResidentTextureName(300, true), sky = ResidentTextureName(1550, true);
  ASSERT_NE(shrub, 0u);
  ASSERT_NE(sky, 0u);
  EXPECT_NE(shrub, sky);
  for (GLuint other : others) {
    EXPECT_NE(other, shrub);
    EXPECT_NE(other, sky);
  }
  EXPECT_EQ(textureOf(300).at(1, 1), (std::array<int, 4>{0, 255, 0, 255}));
  EXPECT_EQ(textureOf(1550).at(1, 1), (std::array<int, 4>{0, 0, 255, 255}));
  glDeleteTextures(400, others);
}

TEST_F(Textures, LoadedAndMissingImagesAreNotLookedUpAgain) {
  writeSolid(stockFolder() + "/Sky/SKY1.QTX", 4, 4, QColor(0, 0, 255));
  // A frame: the sky loads; the shrub has no image and no not-available image exists.
  addSquare(-30, -30, 0, 30, 0, {65535, 65535, 65535})->textureIdB = 1550;
  addSquare(0, -30, 30, 30, 0, {65535, 65535, 65535})->textureIdB = 300;
  RefreshGLScene();
  EXPECT_NE(GLTextureNameForID(1550), 0u);
  EXPECT_EQ(GLTextureNameForID(300), 0u);
  EXPECT_EQ(kept(16, 32), (Pixel{0, 0, 255, 255}));
  EXPECT_EQ(kept(48, 32), (Pixel{255, 255, 255, 255}));  // untextured
  const uint64_t lookups = TextureFileLookups();
  EXPECT_GT(lookups, 0u);
  for (int frame = 0; frame < 100; ++frame) RefreshGLScene();
  EXPECT_EQ(TextureFileLookups(), lookups);
  EXPECT_EQ(ResidentTextureName(300, true), 0u);
  // Dropping the cached images forgets the missing one too: it is looked for again.
  const uint32_t ids[] = {1550};
  DeleteCachedTextureImages(ids, 1);
  EXPECT_EQ(GLTextureNameForID(1550), 0u);
  writeSolid(support + "/QVRA/Textures/SHRUBS/SHRUB1.QTX", 4, 4, QColor(0, 255, 0));
  EXPECT_NE(ResidentTextureName(300, true), 0u);
  EXPECT_GT(TextureFileLookups(), lookups);
}

TEST_F(Textures, CabinetMaterialsGoToEveryLikePartOfTheSameCabinet) {
  Objex* cabinet = doc.addObject(kObjGroup, true, {{0, 0}, {1, 0}}, doc.first);
  cabinet->subtype = kSubCabinet;
  auto part = [&](int32_t subtype) {
    RGBColor black{};
    Objex* o = CreateObject(kObjCabinet, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    for (float x : {0.0f, 10.0f})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
    o->subtype = subtype;
    AppendChildToObject(o, cabinet);
    return o;
  };
  Objex* doorA = part(4021);
  Objex* doorB = part(4021);
  Objex* drawer = part(4022);
  Objex* odd = part(4030);
  const ShortPoint scale{50, 60};
  const RGBColor colour{1, 2, 3};
  AssignCabinetTextures(4030, 1550, &scale, &colour, odd);
  EXPECT_EQ(odd->textureID1, 0);
  AssignCabinetTextures(4021, 1550, &scale, &colour, doorA);
  for (Objex* o : {doorA, doorB}) {
    EXPECT_EQ(o->textureID1, 1550);
    EXPECT_EQ(o->textureID2, 1550);
    EXPECT_EQ(o->textureScale2.y, 60);
    EXPECT_EQ(o->color1, colour);
    for (Poinz* p = o->firstPoint; p; p = p->next) {
      EXPECT_EQ(p->textureID[0], 1550);
      EXPECT_EQ(p->textureID[1], 1550);
      EXPECT_EQ(p->textureScale[1].x, 50);
    }
  }
  EXPECT_EQ(drawer->textureID1, 0);
  EXPECT_EQ(drawer->firstPoint->textureID[0], 0);
  AssignCabinetTextures(4021, 1550, nullptr, &colour, doorA);  // no scale: nothing
  EXPECT_EQ(doorA->textureID1, 1550);
  // Scale and colour given as values.
  AssignCabinetTextures(4022, 1600, ShortPoint{70, 80}, RGBColor{4, 5, 6}, drawer);
  EXPECT_EQ(drawer->textureID2, 1600);
  EXPECT_EQ(drawer->textureScale1.y, 80);
  EXPECT_EQ(drawer->color2, (RGBColor{4, 5, 6}));
  EXPECT_EQ(drawer->firstPoint->textureScale[0].x, 70);
  EXPECT_EQ(doorB->textureID1, 1550);
}

// The converters at the bounds of their sizes and alphas: a side of 16384 pixels is taken, one
// past it is not; alphas at and past both ends of 0..1.
TEST(TextureConverters, SidesAndAlphasAtTheirBounds) {
  std::vector<uint8_t> row(3 * 16385, 7);
  for (const auto& [w, h, taken] : {std::tuple{16384, 1, true}, std::tuple{1, 16384, true},
                                    std::tuple{16385, 1, false}, std::tuple{1, 16385, false},
                                    std::tuple{0, 1, false}, std::tuple{1, -1, false}}) {
    uint8_t* rgba = ConvertTextureToRGBACustom(row.data(), 1.0f, w, h);
    EXPECT_EQ(rgba != nullptr, taken) << w << " x " << h;
    if (rgba) {
      const size_t last = (static_cast<size_t>(w) * h - 1) * 4;
      EXPECT_EQ(std::vector<uint8_t>(rgba + last, rgba + last + 4), (std::vector<uint8_t>{7, 7, 7, 255}));
    }
    free(rgba);
  }
  const uint8_t grey[3] = {9, 9, 9};
  for (const auto& [alpha, byte] : {std::pair{1.0f, 255}, std::pair{2.0f, 255}, std::pair{0.999f, 254},
                                    std::pair{0.0f, 0}, std::pair{-1.0f, 0}, std::pair{0.004f, 1}}) {
    uint8_t* rgba = ConvertTextureToRGBACustom(grey, alpha, 1, 1);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(rgba[3], byte) << alpha;
    free(rgba);
  }
}

// An image with one side at the texture's size and the other not is scaled too (and, keyed,
// framed), each way round.
TEST_F(Textures, AnImageWithOneSideAtTheTextureSizeIsScaledToo) {
  auto halves = [](int x, int) { return x < 128 ? QColor(0, 0, 0) : QColor(0, 0, 1); };
  writeImage(customFolder() + "/wide.png", 512, 256, halves);
  writeText(customFolder() + "/wide.QTI", "[Opacity]\nAlpha=1\n");
  writeImage(customFolder() + "/tall.png", 256, 512, halves);
  writeText(customFolder() + "/tall.QTI", "[Opacity]\nAlpha=1\n");
  AddCustomTextureID(20011, "wide.png");
  AddCustomTextureID(20012, "tall.png");
  for (const int32_t id : {20011, 20012}) {
    ASSERT_NE(ResidentTextureName(id, true), 0u) << id;
    const TextureImage t = textureOf(id);
    ASSERT_EQ(t.width, 512) << id;
    ASSERT_EQ(t.height, 512) << id;
    EXPECT_EQ(t.at(511, 511)[3], 0) << id;  // the frame
    EXPECT_EQ(t.at(0, 256)[3], 0) << id;
    EXPECT_EQ(t.at(40, 256)[3], 0) << id;  // black, keyed
    EXPECT_EQ(t.at(400, 256)[3], 255) << id;
    EXPECT_EQ(t.at(400, 256)[2], 1) << id;
  }
}

// Cabinet materials reach the cabinet part kinds only: the first and last of each run of them
// and the numbers just outside it.
TEST_F(Textures, CabinetPartKindsAtTheEndsOfTheirRuns) {
  Objex* cabinet = doc.addObject(kObjGroup, true, {{0, 0}, {1, 0}}, doc.first);
  cabinet->subtype = kSubCabinet;
  const RGBColor black{};
  const ShortPoint scale{50, 60};
  const RGBColor colour{1, 2, 3};
  for (const auto& [subtype, part] : {std::pair{4019, false}, std::pair{4020, true}, std::pair{4027, true},
                                      std::pair{4028, false}, std::pair{4039, false}, std::pair{4040, true},
                                      std::pair{4042, true}, std::pair{4043, false}}) {
    Objex* o = CreateObject(kObjCabinet, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, o), o);
    o->subtype = subtype;
    AppendChildToObject(o, cabinet);
    AssignCabinetTextures(subtype, 1550, &scale, &colour, o);
    EXPECT_EQ(o->textureID1, part ? 1550 : 0) << subtype;
    EXPECT_EQ(o->firstPoint->textureID[1], part ? 1550 : 0) << subtype;
  }
}

}  // namespace
