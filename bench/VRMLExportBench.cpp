// Writing the 3D model of 50,000 plane objects as a VRML file against one raw write of the
// same bytes (the ratio is the cost of formatting the numbers and walking the list).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "files/ByteStream.h"
#include "model/PlaneObjectRecords.h"
#include "platform/FileIO.h"
#include "render3d/VRMLExport.h"

namespace {

constexpr int kObjects = 50000;

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

void BM_ExportVRMLFile(benchmark::State& state) {
  TestDocument doc;
  // Quads of four corners each, one plane per object, held in flat arrays.
  std::vector<PlaneVertex> corners(static_cast<size_t>(kObjects) * 4);
  std::vector<Plane> planes(kObjects);
  std::vector<PlaneObject> objects(kObjects);
  for (int i = 0; i < kObjects; ++i) {
    const float x = static_cast<float>(i % 250) * 40.25f, z = static_cast<float>(i / 250) * 40.5f;
    PlaneVertex* v = &corners[static_cast<size_t>(i) * 4];
    v[0] = {x, 0, z, 0, 0, 0};
    v[1] = {x + 36.125f, 0, z, 0, 0, 0};
    v[2] = {x + 36.125f, 96.5f, z, 0, 0, 0};
    v[3] = {x, 96.5f, z, 0, 0, 0};
    planes[i].vertices = v;
    planes[i].vertexCount = 4;
    objects[i].planes = &planes[i];
    objects[i].colorA = {static_cast<uint16_t>(i * 7), 40000, 65535};
    if (i + 1 < kObjects) objects[i].next = &objects[i + 1];
  }
  PlaneObject* const oldList = gGLPlaneObjects;
  gGLPlaneObjects = objects.data();
  const std::string path = std::filesystem::temp_directory_path() / ("casa-vrml-" + std::to_string(getpid()) + ".wrl");
  const std::string rawPath = path + ".raw";
  double ours = 0, bare = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    WriteVRMLFile(path.c_str());
    ours += Seconds(t0, std::chrono::steady_clock::now());
    state.PauseTiming();
    std::vector<uint8_t> bytes;
    ReadWholeFile(path, bytes);
    auto t1 = std::chrono::steady_clock::now();
    WriteFileAtomically(rawPath, bytes.data(), bytes.size());
    bare += Seconds(t1, std::chrono::steady_clock::now());
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.ResumeTiming();
  }
  gGLPlaneObjects = oldList;
  std::remove(path.c_str());
  std::remove(rawPath.c_str());
  state.counters["raw_ms"] = bare * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = bare > 0 ? ours / bare : 0;  // target: at most 5
}
BENCHMARK(BM_ExportVRMLFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
