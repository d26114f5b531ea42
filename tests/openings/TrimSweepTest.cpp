// The casing sweep works on flat point arrays: its contours and faces must be exactly those
// that the parallel copies of the outline give, whatever the outline's shape and turn; and the
// casings of many openings on one face hang in one well-linked list.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "OpeningsTestSupport.h"
#include "model/Delete.h"
#include "openings/DoorWindowTrims.h"

namespace {

using Pt = std::array<float, 2>;  // along, height

// An outline object through the points, each (along, height) stored as (x, y, z).
Objex* Outline(const std::vector<Pt>& pts, bool closed, bool heightInY) {
  const RGBColor white{65535, 65535, 65535};
  Objex* o = CreateObject(kObjDetail, closed, 0, &white, &white, 1, 6, 2, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  for (const Pt& p : pts) {
    const float y = heightInY ? p[1] : 0, z = heightInY ? 0 : p[1];
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, p[0], y, z, 0, 0, 0, 0, 0, 0, o), o);
  }
  return o;
}

void DeleteChain(Objex* head) {
  while (head) {
    Objex* next = head->next;
    head->prev = head->next = nullptr;
    DeleteObj(head);
    head = next;
  }
}

struct Shape {
  const char* name;
  std::vector<Pt> pts;
  bool closed;
};

std::vector<Shape> Shapes() {
  std::vector<Shape> shapes;
  shapes.push_back({"rectangle", {{41, -1}, {41, 80}, {79, 80}, {79, -1}}, true});
  shapes.push_back({"rectangle the other way", {{79, -1}, {79, 80}, {41, 80}, {41, -1}}, true});
  std::vector<Pt> arch, circle;
  for (int deg = 180; deg >= 0; deg -= 10) {
    const float a = static_cast<float>(deg) * 3.14159265f / 180;
    arch.push_back({60 + 19 * std::cos(a), 60 + 19 * std::sin(a)});
  }
  shapes.push_back({"open arch", arch, false});
  for (int deg = 0; deg < 360; deg += 10) {
    const float a = static_cast<float>(deg) * 3.14159265f / 180;
    circle.push_back({-12.7f + 18 * std::cos(a), 33.3f + 18 * std::sin(a)});
  }
  shapes.push_back({"circle", circle, true});
  shapes.push_back({"concave L", {{0, 0}, {0, 40}, {10, 40}, {10, 10}, {30, 10}, {30, 0}}, true});
  // Three points on a line and a repeated point: edges that never meet and an edge of no length.
  shapes.push_back({"collinear and repeated", {{0, 0}, {0, 20}, {0, 40}, {25, 40}, {25, 40}, {25, 0}}, true});
  shapes.push_back({"open two points", {{-3.5f, 7}, {11, 19.25f}}, false});
  return shapes;
}

// Every vertex and normal of two trim lists, in order, bit for bit.
void ExpectSameTrims(const PlaneObject* a, const PlaneObject* b, const char* what) {
  int index = 0;
  for (; a && b; a = a->next, b = b->next, ++index) {
    ASSERT_NE(a->planes, nullptr) << what;
    ASSERT_NE(b->planes, nullptr) << what;
    EXPECT_EQ(a->partType, b->partType) << what << " face " << index;
    ASSERT_EQ(a->planes->vertexCount, b->planes->vertexCount) << what;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(a->planes->normal[k], b->planes->normal[k]) << what << " face " << index;
    for (int32_t i = 0; i < a->planes->vertexCount; ++i) {
      const PlaneVertex& u = a->planes->vertices[i];
      const PlaneVertex& v = b->planes->vertices[i];
      EXPECT_EQ(u.x, v.x) << what << " face " << index << " vertex " << i;
      EXPECT_EQ(u.y, v.y) << what << " face " << index << " vertex " << i;
      EXPECT_EQ(u.z, v.z) << what << " face " << index << " vertex " << i;
    }
  }
  EXPECT_EQ(a, nullptr) << what << ": more faces than the parallel copies give";
  EXPECT_EQ(b, nullptr) << what << ": fewer faces than the parallel copies give";
}

using TrimSweep = OpeningsTest;

TEST_F(TrimSweep, SweepMatchesTheParallelCopiesOfTheOutline) {
  const float standard[12] = {-1.25f, 0, 2, -1.25f, 0, -2, 1.25f, 0, -2, 1.25f, 0, 2};
  const float stepped[15] = {0, 0, 0, 0.5f, 0, -1.5f, 1.75f, 0, -3, 2.25f, 0, -0.75f, 3, 0, -5.5f};
  struct Profile {
    const float* points;
    int32_t count;
  };
  const Profile profiles[] = {{standard, 4}, {stepped, 5}};
  const float angles[] = {0, 0.7f, 3.5f, -2.2f};
  for (const Shape& shape : Shapes()) {
    for (const Profile& profile : profiles) {
      for (float angle : angles) {
        for (int16_t faceFlag : {0, 1}) {
          // By the parallel copies of the outline laid in the x/z plane.
          Objex* flat = Outline(shape.pts, shape.closed, false);
          std::vector<float> depths(static_cast<size_t>(profile.count), -1);
          Objex* contours = BuildTrimContours(profile.count, profile.points, flat, depths.data());
          ASSERT_NE(contours, nullptr) << shape.name;
          PlaneObject* byCopies = CreatePlaneObject();
          faces.push_back(byCopies);
          gCurPlaneObject = byCopies;
          BuildTrimPlanesFromContours(nullptr, contours, flat, depths.data(), angle, 13.5f, 0, -7.25f, 2, 4.5f,
                                      faceFlag);
          DeleteChain(contours);  // ends with the flat outline

          // By the sweep, from the outline with its heights in y.
          Objex* upright = Outline(shape.pts, shape.closed, true);
          PlaneObject* bySweep = CreatePlaneObject();
          faces.push_back(bySweep);
          gCurPlaneObject = bySweep;
          BuildCustomTrimPlanes(nullptr, upright, profile.points, profile.count, angle, 13.5f, 0, -7.25f, 2, 4.5f,
                                faceFlag);
          gCurPlaneObject = nullptr;
          DeleteObj(upright);

          const size_t edges = shape.closed ? shape.pts.size() : shape.pts.size() - 1;
          EXPECT_EQ(CountList(bySweep->attachments), static_cast<int>(edges) * (profile.count - 1)) << shape.name;
          ExpectSameTrims(byCopies->attachments, bySweep->attachments, shape.name);
        }
      }
    }
  }
}

TEST_F(TrimSweep, CasingsOfManyOpeningsHangInOneLinkedListPerFace) {
  Objex* wall = Wall({{0, 0}, {600, 0}});
  for (int i = 0; i < 5; ++i) Opening(wall, wall->firstPoint, i % 2 ? 600 : 500, 60 + 110.0f * i, 36, 40, i % 2 ? 30 : 0);
  for (int face : {0, 2}) {
    PlaneObject* po = Face(wall, face);
    int count = 0;
    const PlaneObject* prev = nullptr;
    for (const PlaneObject* t = po->attachments; t; prev = t, t = t->next, ++count) EXPECT_EQ(t->prev, prev);
    // Side 0: the lining and three bands of four edges; side 1: the three bands.
    EXPECT_EQ(count, 5 * (face == 0 ? 16 : 12));
    // The openings follow each other along the face: each one's casing is hung whole.
    std::vector<const Objex*> order;
    for (const PlaneObject* t = po->attachments; t; t = t->next)
      if (order.empty() || order.back() != t->actual3DObject) order.push_back(t->actual3DObject);
    EXPECT_EQ(order.size(), 5u);
  }
}

}  // namespace
