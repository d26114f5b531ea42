// The VRML 2.0 writer of the 3D model.
#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "files/ByteStream.h"
#include "model/PlaneObjectRecords.h"
#include "platform/Alerts.h"
#include "render3d/VRMLExport.h"

namespace {

// Plane objects on the stack with their planes and vertices, listed into the scene for a
// test and taken out again.
struct Scene {
  std::vector<std::vector<PlaneVertex>> corners;
  std::vector<Plane> planes;
  std::vector<PlaneObject> objects;
  explicit Scene(size_t count) : objects(count) {
    planes.reserve(64);
    corners.reserve(64);
  }
  // Adds a polygon of the given corners to object i.
  void polygon(size_t i, std::initializer_list<std::array<float, 3>> points) {
    auto& list = corners.emplace_back();
    for (const auto& p : points) list.push_back(PlaneVertex{p[0], p[1], p[2], 0, 0, 0});
    Plane& plane = planes.emplace_back();
    plane.vertices = list.empty() ? nullptr : list.data();
    plane.vertexCount = static_cast<int32_t>(list.size());
    Plane** link = &objects[i].planes;
    while (*link) link = &(*link)->next;
    *link = &plane;
  }
};

std::string Written(PlaneObject* list) {
  BeginOutputBuffer();
  VRMLExportGLPlaneObjects(list);
  std::string text(gStream.outDataBuffer.begin(), gStream.outDataBuffer.end());
  ReleaseOutputBuffer();
  return text;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

class VRMLExport : public ::testing::Test {
 protected:
  TestDocument doc;
  void TearDown() override { ResetByteStream(); }
};

TEST_F(VRMLExport, HeaderNamesTheViewpointAtTheEyeAndThePlanBottom) {
  const struct {
    float eye, bottom;
    const char* text;
  } cases[] = {{96, 2400, "Viewpoint {position 0 96 2400}\n"},
               {60.5f, 100.4f, "Viewpoint {position 0 61 100}\n"},
               {-0.7f, -10.6f, "Viewpoint {position 0 0 -10}\n"}};
  // The model's plan units (72 to the plan scale's inches) become metres through one scale
  // that holds the viewpoint too.
  const struct {
    float planScale;
    const char* scale;
  } scales[] = {{36, "0.0127"}, {72, "0.0254"}, {48, "0.0169333333"}};
  for (const auto& s : scales)
    for (const auto& c : cases) {
      doc.ds()->planScale = s.planScale;
      doc.ds()->walkEyeHeight() = c.eye;
      doc.ds()->planBounds.floatBottom = c.bottom;
      BeginOutputBuffer();
      ExportVRMLHeader();
      const std::string opening =
          std::string("#VRML V2.0 utf8\nTransform {\nscale ") + s.scale + " " + s.scale + " " + s.scale + "\nchildren [\n";
      EXPECT_EQ(std::string(gStream.outDataBuffer.begin(), gStream.outDataBuffer.end()), opening + c.text) << c.eye;
      ReleaseOutputBuffer();
    }
}

TEST_F(VRMLExport, AWhiteTriangleByteForByte) {
  Scene scene(1);
  scene.objects[0].colorA = {65535, 65535, 65535};
  scene.polygon(0, {{0, 0, 0}, {12, 0, 0}, {12, 96, 0}});
  EXPECT_EQ(Written(&scene.objects[0]),
            "Shape {\nappearance Appearance {\nmaterial Material {\nambientIntensity .35\n"
            "diffuseColor 1.00 1.00 1.00\n}\n}\ngeometry IndexedFaceSet {\ncoord Coordinate {\n"
            "point [0.00 0.00 0.00,\n12.00 0.00 0.00,\n12.00 -96.00 0.00]\n}\n"
            "coordIndex [0 1 2 ]\nconvex FALSE\nsolid FALSE\n}\n}\n");
}

TEST_F(VRMLExport, NumbersKeepTheirPointAndNoNegativeZero) {
  Scene scene(1);
  scene.objects[0].colorA = {32768, 0, 65535};
  scene.polygon(0, {{-0.004f, 0.001f, 1234.567f}, {-1.5f, -2.25f, 0}, {0, 0, -0.0f}});
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  const std::string text = Written(&scene.objects[0]);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_NE(text.find("diffuseColor 0.50 0.00 1.00\n"), std::string::npos) << text;
  EXPECT_NE(text.find("point [0.00 0.00 1234.57,\n-1.50 2.25 0.00,\n0.00 0.00 0.00]\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("-0.00"), std::string::npos);
  EXPECT_EQ(text.find(','), text.find(",\n"));  // every comma ends a vertex line
  if (!german) GTEST_LOG_(INFO) << "de_DE.UTF-8 is not installed: the locale case ran in C";
}

TEST_F(VRMLExport, CoordinatesRoundAsTheFullConversionDoes) {
  // Exact ties go to the even digit, values just under a tie stay under it, and values too
  // large for whole hundredths or not finite take the general conversion.
  std::vector<float> values = {0.125f, 0.375f, -0.125f, 2.675f, 1.005f, -0.005f, -0.004f, 0.995f,
                               99.995f, 12345.678f, 1e12f, -3e13f, 1e15f, 3.0e38f, -7.5e-3f};
  uint32_t bits = 0x3C23D70A;  // a spread of magnitudes and fractions
  for (int i = 0; i < 2000; ++i) {
    bits = bits * 1664525u + 1013904223u;
    const float v = static_cast<float>(static_cast<int32_t>(bits >> 8) - (1 << 23)) / static_cast<float>(1 << (bits % 20));
    values.push_back(v);
  }
  Scene scene(values.size() / 3 + 1);
  scene.planes.reserve(values.size());  // the planes are linked by address
  scene.corners.reserve(values.size());
  std::string expected;
  for (size_t i = 0; i + 2 < values.size(); i += 3) {
    scene.polygon(i / 3, {{values[i], -values[i + 1], values[i + 2]}, {0, 0, 0}, {1, 0, 0}});
    if (i) scene.objects[i / 3 - 1].next = &scene.objects[i / 3];
    char line[256];
    auto two = [](float v) {
      char text[64];
      std::snprintf(text, sizeof text, "%.2f", static_cast<double>(v));
      return std::string(std::strcmp(text, "-0.00") == 0 ? "0.00" : text);
    };
    std::snprintf(line, sizeof line, "point [%s %s %s,\n", two(values[i]).c_str(), two(values[i + 1]).c_str(),
                  two(values[i + 2]).c_str());
    expected += line;
  }
  std::string points;
  const std::string text = Written(&scene.objects[0]);
  for (size_t at = text.find("point ["); at != std::string::npos; at = text.find("point [", at + 1))
    points += text.substr(at, text.find('\n', at) - at + 1);
  EXPECT_EQ(points, expected);
}

TEST_F(VRMLExport, EmptyPlanesWriteNothingShortOnesAreKept) {
  Scene scene(3);
  scene.polygon(0, {});                       // no vertex array
  scene.objects[0].next = &scene.objects[1];  // object 1 has no planes
  scene.objects[1].next = &scene.objects[2];
  Plane countless;                            // an array but no count
  PlaneVertex corner{1, 2, 3, 0, 0, 0};
  countless.vertices = &corner;
  countless.vertexCount = 0;
  scene.objects[2].planes = &countless;
  EXPECT_EQ(Written(&scene.objects[0]), "");
  scene.objects[2].planes = nullptr;
  scene.polygon(0, {{0, 0, 0}, {1, 0, 0}});   // two corners
  scene.polygon(2, {{0, 2, 0}});              // one corner
  scene.polygon(1, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  const std::string text = Written(&scene.objects[0]);
  EXPECT_EQ(Count(text, "Shape {"), 3);
  EXPECT_NE(text.find("point [0.00 0.00 0.00,\n1.00 0.00 0.00]\n}\ncoordIndex [0 1 ]\n"), std::string::npos);
  EXPECT_NE(text.find("coordIndex [0 1 2 3 ]"), std::string::npos);
  EXPECT_NE(text.find("point [0.00 -2.00 0.00]\n}\ncoordIndex [0 ]\n"), std::string::npos);
}

TEST_F(VRMLExport, OrderKindsAndColours) {
  // 0: a wall face (kind 6) with a cut-out child and a trim; 1: a plant billboard with a
  // child; 2: a user plant (kind 9); 3: a photo; 4: a curved strip (kind 7).
  Scene scene(7);
  PlaneObject &face = scene.objects[0], &cutout = scene.objects[5], &trim = scene.objects[6];
  RGBColor sideA{65535, 0, 0}, sideB{0, 65535, 0};
  face.renderKind = 6;
  face.colorA = {1, 1, 1};
  face.colorB = {0, 0, 65535};
  face.colorLinkA = &sideA;
  face.children = &cutout;
  face.attachments = &trim;
  cutout.colorA = {13107, 13107, 13107};  // 0.20
  trim.colorA = {26214, 26214, 26214};    // 0.40
  scene.objects[1].renderKind = 8;
  scene.objects[1].children = &scene.objects[5];
  scene.objects[2].renderKind = 9;
  scene.objects[2].colorA = {39321, 39321, 39321};  // 0.60
  scene.objects[3].renderKind = 131;
  scene.objects[4].renderKind = 7;
  scene.objects[4].colorA = {52428, 52428, 52428};  // 0.80
  scene.objects[4].colorLinkB = &sideB;
  for (size_t i = 0; i < 7; ++i) scene.polygon(i, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}});
  for (size_t i = 0; i < 4; ++i) scene.objects[i].next = &scene.objects[i + 1];

  const std::string text = Written(&scene.objects[0]);
  std::vector<std::string> colours;
  for (size_t at = text.find("diffuseColor "); at != std::string::npos; at = text.find("diffuseColor ", at + 1))
    colours.push_back(text.substr(at + 13, text.find('\n', at) - at - 13));
  const std::vector<std::string> expected = {"0.20 0.20 0.20", "1.00 0.00 0.00", "0.40 0.40 0.40",
                                             "0.60 0.60 0.60", "0.00 1.00 0.00"};
  EXPECT_EQ(colours, expected);

  // Without its links a planar face takes side B's colour, another kind side A's.
  face.colorLinkA = nullptr;
  face.children = face.attachments = nullptr;
  face.next = nullptr;
  EXPECT_NE(Written(&face).find("diffuseColor 0.00 0.00 1.00\n"), std::string::npos);
  face.colorLinkB = &sideB;
  EXPECT_NE(Written(&face).find("diffuseColor 0.00 1.00 0.00\n"), std::string::npos);
}

TEST_F(VRMLExport, FileBracesBalanceAndIndicesMatchThePoints) {
  Scene scene(2);
  scene.polygon(0, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {5, 15, 0}, {0, 10, 0}});
  scene.polygon(1, {{0, 0, 0}, {10, 0, 5}, {10, 10, 5}});
  scene.polygon(1, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 1, 1}});
  scene.objects[0].next = &scene.objects[1];
  PlaneObject* const oldList = gGLPlaneObjects;
  gGLPlaneObjects = &scene.objects[0];
  char pattern[] = "/tmp/casa-vrml-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string path = std::string(pattern) + "/model.wrl";
  const bool written = WriteVRMLFile(path.c_str());
  gGLPlaneObjects = oldList;
  ASSERT_TRUE(written);
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string text = bytes.str();
  // One Transform scales plan units to metres and holds every shape, its coordinates as the
  // model has them (a viewer shows the true size).
  EXPECT_EQ(text.rfind("#VRML V2.0 utf8\nTransform {\nscale 0.0127 0.0127 0.0127\nchildren [\n"
                       "Viewpoint {position 0 ",
                       0),
            0u);
  EXPECT_EQ(Count(text, "Transform {"), 1);
  ASSERT_GE(text.size(), 4u);
  EXPECT_EQ(text.substr(text.size() - 4), "]\n}\n");
  EXPECT_NE(text.find("\n10.00 0.00 5.00,\n"), std::string::npos);
  EXPECT_LT(text.find("children ["), text.find("Shape {"));
  EXPECT_EQ(Count(text, "{"), Count(text, "}"));
  EXPECT_EQ(Count(text, "["), Count(text, "]"));
  EXPECT_EQ(Count(text, "Shape {"), 3);
  // Each shape's index list counts its points.
  for (size_t at = text.find("point ["); at != std::string::npos; at = text.find("point [", at + 1)) {
    const size_t end = text.find(']', at);
    const int points = Count(text.substr(at, end - at), ",") + 1;
    const size_t list = text.find("coordIndex [", end);
    const std::string indices = text.substr(list + 12, text.find(']', list) - list - 12);
    EXPECT_EQ(Count(indices, " "), points);
  }
  std::filesystem::remove_all(pattern);

  // A path that cannot be written says so.
  ScopedAlertRecorder alerts;
  EXPECT_FALSE(WriteVRMLFile("/nonexistent-folder/model.wrl"));
  EXPECT_TRUE(alerts.sawMessage("Unable to export the VRML file."));
  EXPECT_FALSE(WriteVRMLFile(""));
}

}  // namespace
