// Benchmarks of the program's own roads: the libraries' routines installed into the model's
// tables exactly as the program installs them at start-up (InstallProgramServices), checked
// before anything is timed. With --check_program_services the check is all that runs (a test
// runs each such benchmark that way).
#pragma once
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/ProgramServices.h"
#include "model/Services.h"

namespace bench {

// The tables the libraries fill (the front end's is filled by the program's windows, which a
// benchmark does not open).
struct LibraryTables {
  BuildingServices building;
  OpeningsServices openings;
  ToolsServices tools;
  RendererServices renderer;
  ContentServices content;
  InspectorServices inspector;
  PlanDrawingServices planDrawing;
  static LibraryTables Current() {
    return {gBuildingServices, gOpeningsServices,   gToolsServices,      gRendererServices,
            gContentServices,  gInspectorServices,  gPlanDrawingServices};
  }
};

template <typename Table>
bool SameTable(const char* name, const Table& a, const Table& b) {
  if (std::memcmp(&a, &b, sizeof(Table)) == 0) return true;
  std::fprintf(stderr, "the %s table differs from the program's\n", name);
  return false;
}

// Installs the program's routines; false, with the reasons printed, when a member of a
// library's table stays empty or holds another routine than the program installs.
inline bool InstallProgramServicesChecked() {
  InstallProgramServices();
  const LibraryTables bench = LibraryTables::Current();
  bool ok = true;
  for (const ServiceGap& gap : InstalledServiceGaps()) {
    if (gap.table == "front end") continue;
    for (size_t slot : gap.emptySlots) std::fprintf(stderr, "not installed: %s member %zu\n", gap.table.c_str(), slot);
    ok = false;
  }
  // What the program's start-up installs, from empty tables.
  gBuildingServices = {};
  gOpeningsServices = {};
  gToolsServices = {};
  gRendererServices = {};
  gContentServices = {};
  gInspectorServices = {};
  gPlanDrawingServices = {};
  InstallProgramServices();
  const LibraryTables program = LibraryTables::Current();
  ok = SameTable("building", bench.building, program.building) && ok;
  ok = SameTable("openings", bench.openings, program.openings) && ok;
  ok = SameTable("tools", bench.tools, program.tools) && ok;
  ok = SameTable("renderer", bench.renderer, program.renderer) && ok;
  ok = SameTable("content", bench.content, program.content) && ok;
  ok = SameTable("inspector", bench.inspector, program.inspector) && ok;
  ok = SameTable("plan drawing", bench.planDrawing, program.planDrawing) && ok;
  return ok;
}

// The program's application object (offscreen unless a platform is named) and its routines.
inline int ProgramBenchmarkMain(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  if (!InstallProgramServicesChecked()) return 1;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--check_program_services") == 0) {
      std::printf("the benchmark runs the program's routines\n");
      return 0;
    }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench

#define CASA_PROGRAM_BENCHMARK_MAIN() \
  int main(int argc, char** argv) { return bench::ProgramBenchmarkMain(argc, argv); }
