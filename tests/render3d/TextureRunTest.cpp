// Real-time object lists leave a texture on from one object to the next that draws with it:
// the compiled frame is pixel for pixel what drawing each object alone gives, and the list
// leaves texturing and the alpha test off.
#include <GL/gl.h>

#include <vector>

#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderTestSupport.h"
#include "render3d/TextureLoading.h"

namespace {

class TextureRuns : public RenderTest {
 protected:
  GLuint names[2] = {0, 0};

  void TearDown() override {
    ClearGLTextureNames();
    if (names[0]) glDeleteTextures(2, names);
    RenderTest::TearDown();
  }

  // A 2 x 2 texture: a checker of two colours.
  static void Fill(GLuint name, const uint8_t a[4], const uint8_t b[4]) {
    const uint8_t px[16] = {a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3],
                            b[0], b[1], b[2], b[3], a[0], a[1], a[2], a[3]};
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, px);
    glBindTexture(GL_TEXTURE_2D, 0);
  }

  Objex* owner = nullptr;  // one plan object: its faces are one list

  PlaneObject* textured(float x0, float x1, int32_t id, RGBColor color) {
    PlaneObject* po = addSquare(x0, -20, x1, 20, 0, color, owner);
    Plane* p = po->planes;
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) p->vertices[i].u = uv[i][0], p->vertices[i].v = uv[i][1];
    po->textureIdA = po->textureIdB = id;
    return po;
  }

  std::vector<uint8_t> frame(bool compiled) {
    DocState* d = ds();
    RTSetViewpoint(d);
    if (compiled) {
      RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
    } else {
      glEnable(GL_DEPTH_TEST);
      for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) RTRenderGLPlaneObject(po, 0);
    }
    RTFinalizeGLScene();
    int32_t w = 0, h = 0;
    return KeptFrame(&w, &h);
  }
};

TEST_F(TextureRuns, CompiledListsDrawWhatEachObjectDrawsAlone) {
  sWidth = 64, sHeight = 64;
  glGenTextures(2, names);
  const uint8_t red[4] = {220, 30, 30, 255}, green[4] = {30, 200, 60, 40};
  const uint8_t blue[4] = {40, 60, 230, 255}, white[4] = {250, 250, 250, 40};
  Fill(names[0], red, green);
  Fill(names[1], blue, white);
  const int32_t stock = 4301, custom = kFirstCustomTextureID + 7;
  SetGLTextureNameForID(stock, names[0]);
  SetGLTextureNameForID(custom, names[1]);
  ds()->navigationStep = 8;  // textured, nearest texels, modulated
  // One plan object's run: the same texture twice, an untextured face, a custom (alpha-tested)
  // texture, the stock texture again and the custom one twice.
  const RGBColor grey{50000, 50000, 50000};
  owner = planObject();
  textured(-32, -24, stock, grey);
  textured(-24, -16, stock, RGBColor{60000, 40000, 40000});
  addSquare(-16, -20, -8, 20, 0, RGBColor{10000, 50000, 10000}, owner);
  textured(-8, 0, custom, grey);
  textured(0, 8, stock, grey);
  textured(8, 16, custom, grey);
  textured(16, 24, custom, RGBColor{30000, 60000, 60000});
  RTInitializeGLScene();
  const std::vector<uint8_t> alone = frame(false);
  const std::vector<uint8_t> compiled = frame(true);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  const std::vector<uint8_t> replayed = frame(true);
  ASSERT_EQ(alone.size(), compiled.size());
  int differing = 0, textured = 0;
  for (size_t i = 0; i < alone.size(); i += 4) {
    if (alone[i] != compiled[i] || alone[i + 1] != compiled[i + 1] || alone[i + 2] != compiled[i + 2]) ++differing;
    if (alone[i + 2] > 150 || alone[i] > 150) ++textured;
  }
  EXPECT_EQ(differing, 0);

  EXPECT_EQ(compiled, replayed);
  EXPECT_GT(textured, 200);  // the textures show
}

}  // namespace
