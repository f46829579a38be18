// Benchmarks of what the user feels inside the drawing area: a whole frame of the figure, the
// work of a mouse press or move, and how drawing and picking grow with the number of boxes,
// on the headless OpenGL context. Every frame is measured against an empty frame (clear, swap,
// finish) of the same size in the same run: that is the floor the machine and its OpenGL give.
//
// After the runs a summary table with the ratios and targets goes to standard output, and to
// the file given with --tobrin_summary=FILE.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bench/crowd.h"
#include "bench/summary.h"
#include "harness/headless_view_host.h"
#include "model/figure.h"
#include "model/joints.h"
#include "render/picking.h"
#include "render/scene.h"
#include "tests/support/figure_table.h"
#include "tests/support/scene_helpers.h"

namespace tobrin_bench {
namespace {

HeadlessGL* g_gl = nullptr;

// Head centre of the figure as built (its torso at the origin), in scene units.
constexpr double kHead[3] = {0.0, HEAD_ABOVE_TORSO, 0.0};

// `holds`; when it does not, the benchmark is skipped with `problem`.
bool Require(benchmark::State& state, bool holds, const char* problem) {
  if (!holds) state.SkipWithError(problem);
  return holds;
}

// A view on an area of the given size; null, with the benchmark skipped, when it cannot be
// made. Warmed up, it has drawn a few frames, so that the rasteriser's threads and buffers are
// up before the clock runs.
std::unique_ptr<HeadlessView> MakeView(benchmark::State& state, const AreaSize& size,
                                       bool warm = true) {
  if (!Require(state, g_gl->Resize(size.width, size.height), "cannot resize the headless surface"))
    return nullptr;
  auto v = std::make_unique<HeadlessView>(*g_gl);
  if (!Require(state, v->Create(size.width, size.height),
               "the view could not be created on the headless context"))
    return nullptr;
  for (int i = 0; warm && i < 3; ++i)
    v->view.OnDraw();
  if (warm) glFinish();
  return v;
}

// --- Frames -------------------------------------------------------------------------------

// The figure's frame as a paint draws it (DrawScene and the buffer swap), or the empty frame
// (clear and swap).
void Frame(benchmark::State& state, AreaSize size, bool figure) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  for (auto _ : state) {
    if (figure) {
      v->view.OnDraw();
    } else {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      g_gl->Swap();
    }
    glFinish();
  }
}

// --- Mouse work ---------------------------------------------------------------------------

// A pick on the projected head (a hit, which toggles the head each time) or on a corner of the
// area (a miss, on the background).
void Pick(benchmark::State& state, AreaSize size, bool hit) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  const auto head = tobrin_test::ClientPixel(v->view.m_camera, size.width, size.height, kHead);
  const bool aimed = !hit || head.has_value();
  const auto [x, y] = hit && aimed ? *head : std::array<int, 2>{3, 3};
  if (!Require(
          state, aimed && (v->view.PickPart(x, y) != nullptr) == hit,
          hit ? "no part under the projected head" : "the corner of the area is not background"))
    return;
  for (auto _ : state)
    benchmark::DoNotOptimize(v->view.PickPart(x, y));
}

void ProjectOriginStep(benchmark::State& state, AreaSize size) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  float centre[2] = {0, 0};
  if (!Require(state, v->view.ProjectOrigin(centre) == 1, "the origin does not project")) return;
  for (auto _ : state)
    benchmark::DoNotOptimize(v->view.ProjectOrigin(centre));
}

void ArcballStep(benchmark::State& state, AreaSize size) {
  auto v = MakeView(state, size, false);
  if (v == nullptr) return;
  const int cx = size.width / 2, cy = size.height / 2;
  v->view.OnLButtonDown(cx, cy);  // Orientation is the starting mode: the arcball begins
  const int x = cx + size.width / 8, y = cy - size.width / 16;  // inside the sphere
  v->log.repaints = 0;  // only the measured steps' requests count
  for (auto _ : state) {
    v->view.TrackArcball(x, y);
    benchmark::ClobberMemory();
  }
  Require(state, v->log.repaints >= static_cast<long>(state.iterations()),
          "an arcball step made no repaint request");
}

void BendStep(benchmark::State& state) {
  PartNodePtr figure = BuildFigure();
  tobrin_test::ForEachNode(figure.get(), [](PartNode* n) { n->selected = n->selectable; });
  // One unit down and back up keeps every joint well inside its limits, so every step turns
  // all selected joints.
  const double& angle = figure->firstChild->firstChild->firstChild->angle;
  const double before = angle;
  BendJoints(figure.get(), 1.0);
  if (!Require(state, angle != before, "the bend was refused")) return;
  double delta = -1.0;
  for (auto _ : state) {
    BendJoints(figure.get(), delta);
    delta = -delta;
    benchmark::ClobberMemory();
  }
}

void BuildAndDestroyFigure(benchmark::State& state) {
  for (auto _ : state) {
    PartNodePtr figure = BuildFigure();
    benchmark::DoNotOptimize(figure.get());
  }
}

// --- Scaling ------------------------------------------------------------------------------

// A frame of a crowd, drawn as the view draws its figure: DrawScene from the root, then the
// buffer swap.
void CrowdFrame(benchmark::State& state, AreaSize size, int figures) {
  auto v = MakeView(state, size, false);
  if (v == nullptr) return;
  Crowd crowd = BuildCrowd(figures);
  if (!Require(state, CountBoxes(crowd.root.get()) == 17L * figures,
               "the crowd does not have 17 boxes per figure"))
    return;
  const SceneFrame frame = {crowd.root.get(), DEFAULT_CAMERA, size.width,
                            size.height,      false,          nullptr};
  for (int i = 0; i < 2; ++i)
    DrawScene(frame);
  glFinish();
  for (auto _ : state) {
    DrawScene(frame);
    g_gl->Swap();
    glFinish();
  }
  state.counters["boxes"] = 17.0 * figures;
}

void CrowdPick(benchmark::State& state, AreaSize size, int figures) {
  auto v = MakeView(state, size, false);
  if (v == nullptr) return;
  Crowd crowd = BuildCrowd(figures);
  const auto head = tobrin_test::ClientPixel(DEFAULT_CAMERA, size.width, size.height, crowd.head);
  const auto pick = [&] {
    return PickPart(crowd.root.get(), DEFAULT_CAMERA, size.width, size.height, (*head)[0],
                    (*head)[1]);
  };
  if (!Require(state, head && pick() != nullptr, "no part under the first figure's projected head"))
    return;
  for (auto _ : state)
    benchmark::DoNotOptimize(pick());
  state.counters["boxes"] = 17.0 * figures;
}

void RegisterAll() {
  // The rasteriser works on threads of its own: wall time is what the user waits.
  const auto wall = [](const std::string& name, auto run, auto... args) {
    benchmark::RegisterBenchmark(name.c_str(), run, args...)
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
  };
  for (const AreaSize& size : kAreaSizes) {
    wall(BenchName("frame/empty", size), Frame, size, false);
    wall(BenchName("frame/figure", size), Frame, size, true);
  }
  const AreaSize window = kAreaSizes[0];
  wall(BenchName("pick/hit", window), Pick, window, true);
  wall(BenchName("pick/miss", window), Pick, window, false);
  wall(BenchName("project_origin", window), ProjectOriginStep, window);
  benchmark::RegisterBenchmark("step/arcball", ArcballStep, window)->Unit(benchmark::kNanosecond);
  benchmark::RegisterBenchmark("step/bend", BendStep)->Unit(benchmark::kNanosecond);
  benchmark::RegisterBenchmark("build_figure", BuildAndDestroyFigure)->Unit(benchmark::kNanosecond);
  for (int figures : kCrowdSizes) {
    for (const AreaSize& size : kAreaSizes)
      wall(CrowdName("crowd/frame", figures, size), CrowdFrame, size, figures);
    wall(CrowdName("crowd/pick", figures, window), CrowdPick, window, figures);
  }
}

// Keeps the console output and collects one time per benchmark: the median of its
// repetitions when there are several, else its one run. The library reports a benchmark's
// aggregates after its runs, so the median replaces the runs' times.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      // Drawing is timed on the wall clock (the rasteriser has threads of its own); the
      // model and view steps, which run on this thread alone, by its processor time, which
      // other programs on the machine do not inflate.
      const bool wall = run.run_name.time_type == "real_time";
      const double seconds = (wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime()) /
                             benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median")
        collected[run.run_name.function_name] = seconds;
    }
  }

  Timings collected;
};

}  // namespace
}  // namespace tobrin_bench

int main(int argc, char** argv) {
  using namespace tobrin_bench;
  const char* flag = "--tobrin_summary=";  // ours; the other arguments are the library's
  std::string summaryPath;
  char** const end = std::remove_if(argv + 1, argv + argc, [&](const char* arg) {
    const bool ours = std::strncmp(arg, flag, std::strlen(flag)) == 0;
    if (ours) summaryPath = arg + std::strlen(flag);
    return ours;
  });
  int count = static_cast<int>(end - argv);
  benchmark::Initialize(&count, argv);
  if (benchmark::ReportUnrecognizedArguments(count, argv)) return 1;

  std::string error;
  auto gl = HeadlessGL::Create(kAreaSizes[0].width, kAreaSizes[0].height, &error);
  if (gl == nullptr) {
    std::fprintf(stderr, "tobrin-bench: no headless OpenGL: %s\n", error.c_str());
    return 1;
  }
  g_gl = gl.get();
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  std::fprintf(stderr, "OpenGL: %s, %s\n", renderer.c_str(), glGetString(GL_VERSION));

  RegisterAll();
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const std::string summary = FormatSummary(reporter.collected, renderer);
  std::cout << "\n" << summary << std::flush;
  if (summaryPath.empty()) return 0;
  std::ofstream out(summaryPath);
  out << summary;
  if (!out) std::fprintf(stderr, "tobrin-bench: cannot write %s\n", summaryPath.c_str());
  return out ? 0 : 1;
}
