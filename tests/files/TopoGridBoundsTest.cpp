// Topography grid files at the smallest and largest grids the reader takes, and just past
// the largest on each axis and in nodes: the first and last elevation read back, or the file
// refused with the default grid set up.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/StreamState.h"
#include "files/TopoGridFile.h"
#include "model/TopoGrid.h"
#include "platform/Alerts.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

void PutBE32(Bytes& b, uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutFloat(Bytes& b, float f) {
  uint32_t v;
  memcpy(&v, &f, 4);
  PutBE32(b, v);
}

// The object stream of a design holding one topography object.
Bytes TopographyStream() {
  TestDocument source;
  source.addObject(kObjTopography, true, {{0, 0}, {50, 0}, {50, 50}});
  BeginOutputBuffer();
  sWriteVersion = kVersionDesign11100;
  DoWriteObjects();
  Bytes out = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  return out;
}

// A version 9000 grid file of rows by columns whose elevation i is i + 0.5 (every node).
Bytes GridFile(int32_t rows, int32_t columns) {
  Bytes b;
  PutBE32(b, 9000);
  for (float f : {48.0f, 120.0f, 90.0f}) PutFloat(b, f);  // spacing, lot size
  b.push_back(0), b.push_back(2);                          // lot size units
  for (float f : {-100.0f, 140.0f, -60.0f, 80.0f}) PutFloat(b, f);
  PutBE32(b, uint32_t(rows));
  PutBE32(b, uint32_t(columns));
  const int64_t nodes = (int64_t(rows) + 1) * (int64_t(columns) + 1);
  b.reserve(b.size() + size_t(nodes) * 4 + 256);
  for (int64_t i = 0; i < nodes; ++i) PutFloat(b, float(i) + 0.5f);
  for (uint8_t x : {0x5C, 0x2B, 0x00, 0x00}) b.push_back(x);  // 11100, little-endian
  const Bytes objects = TopographyStream();
  b.insert(b.end(), objects.begin(), objects.end());
  return b;
}

struct TopoGridBounds : ::testing::Test {
  TestDocument doc;
  ScopedAlertRecorder alerts;
  fs::path dir;
  char path[512] = {};

  TopoGridBounds() {
    ResetByteStream();
    dir = fs::temp_directory_path() / ("casa-topo-bounds-" + std::to_string(getpid()));
    fs::create_directories(dir);
    snprintf(path, sizeof path, "%s", (dir / "lot.top").c_str());
  }
  ~TopoGridBounds() override {
    FreeTopoGrid();
    ResetByteStream();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  int read(const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return ReadTopoGridFile(path);
  }
};

TEST_F(TopoGridBounds, SmallestAndLargestGridsReadEveryElevation) {
  struct Size {
    int32_t rows, columns;
  };
  // One cell; the most rows (and the columns the node limit leaves); the most columns; a
  // square grid of exactly the most nodes.
  const Size sizes[] = {{1, 1}, {kMaxTopoGridCells, 510}, {510, kMaxTopoGridCells}, {2047, 2047}};
  for (const Size& s : sizes) {
    SCOPED_TRACE(testing::Message() << s.rows << " by " << s.columns);
    const int64_t nodes = (int64_t(s.rows) + 1) * (int64_t(s.columns) + 1);
    ASSERT_LE(nodes, kMaxTopoGridNodes);
    ASSERT_EQ(read(GridFile(s.rows, s.columns)), 1);
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(gTopoRowCnt, s.rows);
    EXPECT_EQ(gTopoColumnCnt, s.columns);
    ASSERT_NE(gTopographyGrid, nullptr);
    EXPECT_EQ(gTopographyGrid[0], 0.5f);
    EXPECT_EQ(gTopographyGrid[s.columns + 1], float(s.columns + 1) + 0.5f);  // the second row's first
    EXPECT_EQ(gTopographyGrid[nodes - 1], float(nodes - 1) + 0.5f);
    EXPECT_EQ(doc.ds()->topoGridSpacing, 48);
  }
}

TEST_F(TopoGridBounds, OnePastTheLargestOnEitherAxisOrInNodesIsRefused) {
  struct Size {
    int32_t rows, columns;
  } sizes[] = {{kMaxTopoGridCells + 1, 1}, {1, kMaxTopoGridCells + 1}, {2047, 2048}, {2048, 2047}};
  for (const Size& s : sizes) {
    SCOPED_TRACE(testing::Message() << s.rows << " by " << s.columns);
    ASSERT_EQ(read(GridFile(1, 1)), 1);
    alerts.shown.clear();
    doc.ds()->topoGridSpacing = 72;
    EXPECT_EQ(read(GridFile(s.rows, s.columns)), 0);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, "Unable to read topography file.");
    // The default grid of the design's bounds (240 by 140 from the earlier file) and
    // spacing, not the file's.
    EXPECT_EQ(doc.ds()->topoGridSpacing, 72);
    EXPECT_EQ(gTopoRowCnt, 1);
    EXPECT_EQ(gTopoColumnCnt, 3);
    ASSERT_NE(gTopographyGrid, nullptr);
    EXPECT_EQ(gTopographyGrid[0], 0);
  }
}

}  // namespace
