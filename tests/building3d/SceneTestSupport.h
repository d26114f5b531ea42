// Shared set-up of the scene tests: a document, an empty scene list before and after each
// test, and small builders of planes and plane objects.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"

inline void FreeScene() {
  for (PlaneObject* p = gGLPlaneObjects; p;) {
    PlaneObject* next = p->next;
    DeletePlaneObject(p);
    p = next;
  }
  gGLPlaneObjects = gGLPlaneObjectsTail = nullptr;
  gCurPlaneObject = nullptr;
  gBase2DObject = gActual3DObject = nullptr;
}

struct SceneTest : ::testing::Test {
  TestDocument doc;
  SceneTest() { FreeScene(); }
  ~SceneTest() override { FreeScene(); }
};

// A malloc'd vertex array through (x, y, z) points with the given flags (0 when absent).
inline PlaneVertex* Vertices(std::initializer_list<std::initializer_list<float>> points,
                             std::initializer_list<int16_t> flags = {}) {
  auto* v = static_cast<PlaneVertex*>(calloc(points.size(), sizeof(PlaneVertex)));
  size_t i = 0;
  for (const auto& p : points) {
    auto it = p.begin();
    v[i].x = it[0];
    v[i].y = it[1];
    v[i].z = p.size() > 2 ? it[2] : 0;
    v[i].flag = i < flags.size() ? flags.begin()[i] : 0;
    ++i;
  }
  return v;
}

// A plane in the x/y plane (normal along z) through (x, y) points.
inline Plane* FlatPlane(std::initializer_list<std::pair<float, float>> points,
                        std::initializer_list<int16_t> flags = {}) {
  auto* v = static_cast<PlaneVertex*>(calloc(points.size(), sizeof(PlaneVertex)));
  size_t i = 0;
  for (auto [x, y] : points) {
    v[i].x = x;
    v[i].y = y;
    v[i].flag = i < flags.size() ? flags.begin()[i] : 0;
    ++i;
  }
  return CreatePlane(v, static_cast<int32_t>(points.size()), 0, 0, 0.5f);
}

inline int CountPlanes(const Plane* p) {
  int n = 0;
  for (; p; p = p->next) ++n;
  return n;
}

inline int CountPlaneObjects(const PlaneObject* p) {
  int n = 0;
  for (; p; p = p->next) ++n;
  return n;
}

// Signed area of a plane in x and y.
inline double AreaXY(const Plane* p) {
  double area = 0;
  for (int32_t i = 0; i < p->vertexCount; ++i) {
    const PlaneVertex& a = p->vertices[i];
    const PlaneVertex& b = p->vertices[(i + 1) % p->vertexCount];
    area += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
  }
  return area / 2;
}
