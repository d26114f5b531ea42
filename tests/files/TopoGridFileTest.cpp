// Topography grid files: the grid part, the topography layer, refused and damaged files,
// and the default grid.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/StreamState.h"
#include "files/TopoGridFile.h"
#include "model/HitTest.h"
#include "model/Selection.h"
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
void PutShort(Bytes& b, int16_t v) {
  b.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
  b.push_back(static_cast<uint8_t>(v));
}

// The object stream of a design holding one topography object and one wall, both selected.
Bytes TopographyObjectStream(int32_t version) {
  TestDocument source;
  Objex* topo = source.addObject(kObjTopography, true, {{0, 0}, {50, 0}, {50, 50}});
  Objex* wall = source.addObject(kObjWall, false, {{0, 0}, {80, 0}});
  SelectObj(topo, 1, 0);
  SelectObj(wall, 1, 0);
  BeginOutputBuffer();
  sWriteVersion = version;
  DoWriteObjects();
  sWriteVersion = kVersionDesign11100;
  Bytes out = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  return out;
}

// A grid file of `version` with rows by columns whose elevation i is i + 0.5.
Bytes GridFile(int32_t version, int32_t rows, int32_t columns, int32_t elevations = -1) {
  Bytes b;
  PutBE32(b, static_cast<uint32_t>(version));
  PutFloat(b, 48);         // spacing
  PutFloat(b, 120);        // lot size
  PutFloat(b, 90);
  PutShort(b, 2);          // lot size units
  PutFloat(b, -100);       // left, right
  PutFloat(b, 140);
  PutFloat(b, -60);        // top, bottom
  PutFloat(b, 80);
  PutBE32(b, static_cast<uint32_t>(rows));
  PutBE32(b, static_cast<uint32_t>(columns));
  if (elevations < 0) elevations = (rows + 1) * (columns + 1);
  for (int i = 0; i < elevations; ++i) PutFloat(b, i + 0.5f);
  if (version == kVersionTopoGrid9000) {
    for (uint8_t x : {0x5C, 0x2B, 0x00, 0x00}) b.push_back(x);  // 11100, little-endian
    Bytes objects = TopographyObjectStream(kVersionDesign11100);
    b.insert(b.end(), objects.begin(), objects.end());
  } else if (version == kVersionTopoGrid8000) {
    PutBE32(b, 3496);
    b.insert(b.end(), kDocStateBlockLength80, 0);
    Bytes objects = TopographyObjectStream(kVersionDesign10800);
    b.insert(b.end(), objects.begin(), objects.end());
  }
  return b;
}

struct TopoGridFile : ::testing::Test {
  TestDocument doc;
  ScopedAlertRecorder alerts;
  fs::path dir;
  char path[512] = {};

  TopoGridFile() {
    ResetByteStream();
    dir = fs::temp_directory_path() / ("casa-topo-" + std::to_string(getpid()));
    fs::create_directories(dir);
    snprintf(path, sizeof path, "%s", (dir / "lot.top").c_str());
  }
  ~TopoGridFile() override {
    FreeTopoGrid();
    ResetByteStream();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  int read(const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
    return ReadTopoGridFile(path);
  }
  // The default grid of the current DocState.
  void expectDefaultGrid() {
    const DocState* ds = doc.ds();
    const int32_t rows = static_cast<int32_t>(
        std::trunc(std::trunc(ds->planBounds.floatBottom - ds->planBounds.floatTop) / ds->topoGridSpacing));
    EXPECT_EQ(gTopoRowCnt, rows);
    ASSERT_NE(gTopographyGrid, nullptr);
    EXPECT_EQ(gTopographyGrid[0], 0);
  }
};

TEST_F(TopoGridFile, Version9000FileReplacesGridBoundsAndTopographyLayer) {
  Layer* oldTopo = CreateLayer("TopoLayer", 1, 1, nullptr);
  doc.model.itsTopoLayer = oldTopo;
  doc.addObject(kObjTopography, true, {{0, 0}, {1, 0}, {1, 1}}, oldTopo);

  ASSERT_EQ(read(GridFile(kVersionTopoGrid9000, 2, 3)), 1);
  EXPECT_EQ(gTopoRowCnt, 2);
  EXPECT_EQ(gTopoColumnCnt, 3);
  ASSERT_NE(gTopographyGrid, nullptr);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(gTopographyGrid[i], i + 0.5f);
  const DocState* ds = doc.ds();
  EXPECT_EQ(ds->topoGridSpacing, 48);
  EXPECT_EQ(ds->lotSize.floatH, 120);
  EXPECT_EQ(ds->lotSize.floatV, 90);
  EXPECT_EQ(ds->lotSizeUnits, 2);
  EXPECT_EQ(ds->planBounds.floatLeft, -100);
  EXPECT_EQ(ds->planBounds.floatRight, 140);
  EXPECT_EQ(ds->planBounds.floatTop, -60);
  EXPECT_EQ(ds->planBounds.floatBottom, 80);

  Layer* topo = doc.model.itsTopoLayer;
  ASSERT_NE(topo, nullptr);
  EXPECT_STREQ(topo->name, "TopoLayer");
  for (Layer* l = doc.model.itsLayers; l; l = l->next) EXPECT_NE(l, topo);
  // Only the topography object of the file stays, deselected.
  ASSERT_NE(topo->firstObject, nullptr);
  EXPECT_EQ(topo->firstObject->type, kObjTopography);
  EXPECT_EQ(topo->firstObject->pointCount, 3);
  EXPECT_EQ(topo->firstObject->next, nullptr);
  EXPECT_FALSE(IsObjectSelected(topo->firstObject));
  EXPECT_EQ(doc.first->firstObject, nullptr);  // nothing went to the current floor
  EXPECT_EQ(gOpenSymbol, 0);
  EXPECT_EQ(gReadingTopoLayer, 0);
  EXPECT_FALSE(gStream.hasInDataBuffer);
}

TEST_F(TopoGridFile, Version8000SkipsItsDocStateBlock) {
  ASSERT_EQ(read(GridFile(kVersionTopoGrid8000, 1, 1)), 1);
  EXPECT_EQ(gTopoRowCnt, 1);
  EXPECT_EQ(gTopographyGrid[3], 3.5f);
  ASSERT_NE(doc.model.itsTopoLayer, nullptr);
  ASSERT_NE(doc.model.itsTopoLayer->firstObject, nullptr);
  EXPECT_EQ(doc.model.itsTopoLayer->firstObject->type, kObjTopography);
}

TEST_F(TopoGridFile, CountsBelowOneKeepThePreviousGrid) {
  ASSERT_EQ(read(GridFile(kVersionTopoGrid9000, 2, 3)), 1);
  float* before = gTopographyGrid;
  ASSERT_EQ(read(GridFile(kVersionTopoGrid9000, 0, 3, 0)), 1);
  EXPECT_EQ(gTopographyGrid, before);
  EXPECT_EQ(gTopoRowCnt, 2);
  EXPECT_EQ(gTopoColumnCnt, 3);
  ASSERT_EQ(read(GridFile(kVersionTopoGrid9000, 4, -1, 0)), 1);
  EXPECT_EQ(gTopographyGrid, before);
}

TEST_F(TopoGridFile, UnknownVersionIsReportedAndSetsUpTheDefaultGrid) {
  Layer* oldTopo = CreateLayer("TopoLayer", 1, 1, nullptr);
  doc.model.itsTopoLayer = oldTopo;
  Bytes b = GridFile(kVersionTopoGrid9000, 2, 3);
  b[2] = 0x2A;  // 10794
  b[3] = 0x2A;
  EXPECT_EQ(read(b), 0);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Unable to read topography file.");
  EXPECT_EQ(alerts.shown[0].informative,
            std::string("The file '") + path +
                "' might be damaged or created with a more recent version of Zelko! Grondel");
  EXPECT_FALSE(alerts.shown[0].sheet);
  EXPECT_EQ(doc.model.itsTopoLayer, oldTopo);
  EXPECT_EQ(doc.ds()->topoGridSpacing, 72);
  expectDefaultGrid();
  EXPECT_EQ(gTopoRowCnt, 66);
  EXPECT_EQ(gTopoColumnCnt, 66);
}

TEST_F(TopoGridFile, EmptyOrMissingPathSetsUpTheDefaultGridSilently) {
  char empty[512] = {};
  EXPECT_EQ(ReadTopoGridFile(empty), 0);
  expectDefaultGrid();
  fs::remove(path);
  EXPECT_EQ(ReadTopoGridFile(path), 0);
  expectDefaultGrid();
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(ReadTopoGridFile(nullptr), 0);
}

TEST_F(TopoGridFile, DefaultGridIsSizedFromTheLotAndBounded) {
  DocState* ds = doc.ds();
  ds->planBounds = {0, 0, 100.9f, 250};  // top, left, bottom, right
  ds->topoGridSpacing = 25;
  SetupTopoGrid();
  EXPECT_EQ(gTopoRowCnt, 4);
  EXPECT_EQ(gTopoColumnCnt, 10);
  for (int i = 0; i < 5 * 11; ++i) ASSERT_EQ(gTopographyGrid[i], 0);
  for (float spacing : {0.f, -5.f, NAN, 1e-30f}) {
    ds->topoGridSpacing = spacing;
    SetupTopoGrid();
    EXPECT_EQ(gTopographyGrid, nullptr) << spacing;
    EXPECT_EQ(gTopoRowCnt, 0);
    EXPECT_EQ(gTopoColumnCnt, 0);
  }
  ds->topoGridSpacing = 25;
  ds->planBounds.floatBottom = INFINITY;
  SetupTopoGrid();
  EXPECT_EQ(gTopographyGrid, nullptr);
}

TEST_F(TopoGridFile, DamagedFilesChangeNothingButTheGrid) {
  const Bytes good = GridFile(kVersionTopoGrid9000, 2, 3);
  const FloatRect bounds = doc.ds()->planBounds;
  // Every cut: reported as unreadable, the DocState and topography layer untouched.
  for (size_t n = 0; n < good.size(); ++n) {
    ASSERT_EQ(read(Bytes(good.begin(), good.begin() + static_cast<long>(n))), 0) << n;
    ASSERT_EQ(doc.model.itsTopoLayer, nullptr) << n;
    ASSERT_EQ(doc.ds()->planBounds.floatRight, bounds.floatRight) << n;
    ASSERT_EQ(gTopoRowCnt, 66) << n;
  }
  // Counts patched: a count below 1 reads no elevations, a huge one is refused before any
  // allocation; either way the rest of the file no longer fits.
  for (size_t at : {34u, 38u})
    for (uint32_t value : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
      Bytes bad = good;
      for (int i = 0; i < 4; ++i) bad[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
      EXPECT_EQ(read(bad), 0) << at << " " << value;
      EXPECT_EQ(gTopoRowCnt, 66);
      EXPECT_EQ(doc.ds()->topoGridSpacing, 72);
    }
  // The same values anywhere in the grid part and the stream version never crash or
  // over-read (the object records have tests of their own).
  const size_t gridEnd = 42 + 12 * 4 + 4;
  for (uint32_t value : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu})
    for (size_t at = 0; at + 4 <= gridEnd; ++at) {
      Bytes bad = good;
      for (int i = 0; i < 4; ++i) bad[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
      read(bad);
      // The counts always describe the block (ASan checks its last node).
      if (!gTopographyGrid) {
        ASSERT_EQ(gTopoRowCnt, 0);
        ASSERT_EQ(gTopoColumnCnt, 0);
      } else {
        volatile float last = gTopographyGrid[(gTopoRowCnt + 1) * (gTopoColumnCnt + 1) - 1];
        (void)last;
      }
    }
  EXPECT_EQ(read(good), 1);
}

}  // namespace
