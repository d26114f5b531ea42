// A document, a stand-in 3D window of a chosen size and a scene of hand-made plane objects,
// for render tests that read the finished image back.
#pragma once
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "model/Services.h"
#include "render3d/GLTestContext.h"
#include "render3d/Lighting.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/RendererUpkeep.h"
#include "render3d/SceneFrame.h"

struct Pixel {
  int r, g, b, a;
};

class RenderTest : public ::testing::Test {
 protected:
  static inline int32_t sWidth = 64, sHeight = 64;
  static inline bool sVisible = true;
  static inline int sFramesKept = 0;
  static inline std::vector<std::string> sStatus;

  TestDocument doc;
  Layer* parts = nullptr;  // hidden: its objects widen no bounds
  LiveViewHost savedHost;
  FrontEndServices savedFrontEnd;
  int32_t savedOptions = 0;

  void SetUp() override {
    if (!TestGLContext()) GTEST_SKIP() << "no display for an OpenGL context";
    // Every test starts from the view and depth test of a fresh context: a test that draws
    // without a view of its own must not depend on the view the test before it left (a top view
    // makes an upright face edge-on, and nothing of it reaches the image or the feedback buffer).
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDepthFunc(GL_LESS);  // some fixtures leave GL_LEQUAL behind
    // Tests that call one pass of the lights alone leave its masks behind; with depth writes
    // off the frame's clear would keep the last test's depth and hide the whole scene.
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    savedHost = gLiveViewHost;
    savedFrontEnd = gFrontEnd;
    savedOptions = gLiveViewOptions;
    sWidth = sHeight = 64;
    sVisible = true;
    sFramesKept = 0;
    sStatus.clear();
    gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = sWidth, *h = sHeight; };
    gLiveViewHost.isVisible = [] { return sVisible; };
    gLiveViewHost.frameFinished = [] { ++sFramesKept; };
    gFrontEnd.setLVStatusString = [](const char* text) { sStatus.emplace_back(text); };
    gLiveViewOptions = 1023 & ~kLiveViewShading;
    gRenderOpenGLAntiAlias = 0;
    gBreakOpenGLRender = 0;
    gRenderPlantsInColor = 0;
    gPrevPlaneParentObject = nullptr;
    gPrevPlaneColor = {1, 1, 1};
    parts = CreateLayer("Parts", 0, 0, nullptr);
    AppendLayerToDocument(parts);
    DocState* ds = doc.ds();
    ds->renderMode() = kRenderSolid;
    // An orthographic elevation over the plan bounds: one world unit per pixel, centred.
    ds->orthoView() = 1;
    ds->planBounds = {-32, -32, 32, 32};
    // A plain black background without a picture behind the scene (the orthographic views
    // show the ClearView fill colour there).
    ds->backgroundTextureID = 0;
    ds->backgroundColor() = {0, 0, 0};
    ds->backgroundLighting() = 0;
    ds->clearViewFillColor() = {0, 0, 0};
  }

  void TearDown() override {
    if (!TestGLContext()) return;
    DeleteAllRendererObjects();
    // Every list the scene keeps goes with the test's design, as a new design's first frame
    // starts without them: a lot or background compiled here must not be replayed by the next
    // test, whatever order the tests run in.
    ResetSceneDisplayList();
    ResetViewpointDisplayList();
    ResetBackgroundDisplayList();
    ResetLotDisplayList();
    ResetFlatLotDisplayList();
    ResetBaseLotDisplayList();
    gLiveViewHost = savedHost;
    gFrontEnd = savedFrontEnd;
    gLiveViewOptions = savedOptions;
    gRenderOpenGLAntiAlias = 0;
    gBreakOpenGLRender = 0;
    gGLPickMode = 0;
  }

  DocState* ds() { return doc.ds(); }

  // A plan object for the plane objects to come from (a wall by default), on the hidden layer.
  Objex* planObject(int16_t type = kObjWall) {
    return doc.addObject(type, true, {{0, 0}, {1, 0}}, parts);
  }

  // A plane object of one polygon through (x, y, z) points given in GL coordinates (the
  // stored height is the negated y), appended at the end of the scene.
  PlaneObject* addPolygon(std::initializer_list<std::array<float, 3>> points, RGBColor color,
                          Objex* source = nullptr, bool link = true) {
    PlaneObject* p = CreatePlaneObject();
    auto* v = static_cast<PlaneVertex*>(calloc(points.size(), sizeof(PlaneVertex)));
    int i = 0;
    for (const auto& pt : points) v[i++] = {pt[0], -pt[1], pt[2], 0, 0, 0};
    AppendPlane(v, static_cast<int32_t>(points.size()), 0, 0, 0.99f, p);
    p->colorA = p->colorB = color;
    p->base2DObject = p->actual3DObject = source ? source : planObject();
    p->sourceObject = p->base2DObject;
    p->actual3DType = p->actual3DObject->type;
    p->partType = p->actual3DObject->type;
    if (link) {
      if (!gGLPlaneObjects) {
        gGLPlaneObjects = gGLPlaneObjectsTail = p;
      } else {
        PlaneObject* tail = gGLPlaneObjects;
        while (tail->next) tail = tail->next;
        tail->next = p, p->prev = tail;
        gGLPlaneObjectsTail = p;
      }
    }
    return p;
  }

  // An axis-aligned square in the plane z.
  PlaneObject* addSquare(float x0, float y0, float x1, float y1, float z, RGBColor color,
                         Objex* source = nullptr) {
    return addPolygon({{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}, color, source);
  }

  // A pixel of the kept image (x from the left, y from the bottom).
  static Pixel kept(int x, int y) {
    int32_t w, h;
    const std::vector<uint8_t>& px = KeptFrame(&w, &h);
    if (x < 0 || y < 0 || x >= w || y >= h || px.empty()) return {-1, -1, -1, -1};
    const uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }

  // A pixel of the bound framebuffer now.
  static Pixel current(int x, int y) {
    uint8_t p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
  }
};

inline bool operator==(const Pixel& a, const Pixel& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}
inline std::ostream& operator<<(std::ostream& os, const Pixel& p) {
  return os << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

// One vertex caught in feedback mode (GL_3D_COLOR_TEXTURE): window position, colour, texture.
struct FedVertex {
  float x, y, z, r, g, b, a, s, t;
};
using FedPolygon = std::vector<FedVertex>;

// The polygons `draw` sends, as the rasterizer would receive them (after clipping).
inline std::vector<FedPolygon> Feedback(const std::function<void()>& draw) {
  std::vector<GLfloat> buffer(1 << 16);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint n = glRenderMode(GL_RENDER);
  std::vector<FedPolygon> polygons;
  for (GLint i = 0; i < n;) {
    const GLint token = static_cast<GLint>(buffer[i++]);
    if (token == GL_POLYGON_TOKEN) {
      const int count = static_cast<int>(buffer[i++]);
      FedPolygon p;
      for (int k = 0; k < count; ++k, i += 11) {
        const GLfloat* f = &buffer[i];
        p.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]});
      }
      polygons.push_back(p);
    } else if (token == GL_PASS_THROUGH_TOKEN) {
      ++i;
    } else {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
  }
  return polygons;
}

// Every vertex of the polygons (the driver hands polygons to feedback as triangles).
inline std::vector<FedVertex> Vertices(const std::vector<FedPolygon>& polygons) {
  std::vector<FedVertex> all;
  for (const FedPolygon& p : polygons) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The vertices `draw` sends, seen whole (an orthographic box of 200 units about the origin),
// so that no corner is clipped away.
inline std::vector<FedVertex> FedInView(const std::function<void()>& draw) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-100, 100, -100, 100, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const std::vector<FedPolygon> fed = Feedback(draw);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  return Vertices(fed);
}

// The texture coordinates (s, t) the drawing gives its corners, each distinct pair once, in
// order: what a face maps, whichever way its polygons were split.
inline std::vector<std::array<float, 2>> MappedCoordinates(const std::function<void()>& draw) {
  std::vector<std::array<float, 2>> st;
  for (const FedVertex& v : FedInView(draw)) {
    bool known = false;
    for (const auto& c : st) known = known || (std::fabs(c[0] - v.s) < 1e-5f && std::fabs(c[1] - v.t) < 1e-5f);
    if (!known) st.push_back({v.s, v.t});
  }
  std::sort(st.begin(), st.end());
  return st;
}

// The spans of s and of t over the corners the drawing maps.
inline std::array<float, 2> MappedSpans(const std::function<void()>& draw) {
  const auto st = MappedCoordinates(draw);
  if (st.empty()) return {0, 0};
  float s0 = st[0][0], s1 = s0, t0 = st[0][1], t1 = t0;
  for (const auto& c : st) s0 = std::min(s0, c[0]), s1 = std::max(s1, c[0]), t0 = std::min(t0, c[1]), t1 = std::max(t1, c[1]);
  return {s1 - s0, t1 - t0};
}
