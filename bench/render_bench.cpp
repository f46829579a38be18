// Benchmarks of what the user feels inside the drawing area: a whole frame of the figure, the
// work of a mouse press or move, and how drawing and picking grow with the number of boxes,
// on the headless OpenGL context. Every frame is measured against an empty frame (clear, swap,
// finish) of the same size in the same run: that is the floor the machine and its OpenGL give.
//
// After the runs a summary table with the ratios and targets goes to standard output, and to
// the file given with --tobrin_summary=FILE.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/crowd.h"
#include "bench/summary.h"
#include "model/figure.h"
#include "model/joints.h"
#include "render/picking.h"
#include "render/scene.h"
#include "tests/support/scene_helpers.h"
#include "tools/headless_view_host.h"

namespace tobrin_bench {
namespace {

HeadlessGL* g_gl = nullptr;

// Head centre of the figure as built (its torso at the origin), in scene units.
constexpr double kHead[3] = {0.0, HEAD_ABOVE_TORSO, 0.0};

// A view on an area of the given size; null, with the benchmark skipped, when it cannot be
// made.
std::unique_ptr<HeadlessView> MakeView(benchmark::State& state, const AreaSize& size) {
  if (!g_gl->Resize(size.width, size.height)) {
    state.SkipWithError("cannot resize the headless surface");
    return nullptr;
  }
  auto v = std::make_unique<HeadlessView>(*g_gl);
  if (!v->Create(size.width, size.height)) {
    state.SkipWithError("the view could not be created on the headless context");
    return nullptr;
  }
  return v;
}

// Draws a few frames first, so that the rasteriser's threads and buffers are up before the
// clock runs.
void WarmUp(CTobrinView& view) {
  for (int i = 0; i < 3; ++i)
    view.OnDraw();
  glFinish();
}

// The client pixel (y downwards) at which a scene point appears in a width x height area seen
// through `camera`. False when it does not project.
bool ClientPoint(const Camera& camera, int width, int height, const double p[3], int* x, int* y) {
  const auto at = tobrin_test::ClientPixel(camera, width, height, p);
  if (!at) return false;
  *x = (*at)[0];
  *y = (*at)[1];
  return true;
}

void SelectAll(PartNode* node) {
  for (PartNode* n = node; n != nullptr; n = n->next) {
    if (n->selectable) n->selected = 1;
    SelectAll(n->firstChild);
  }
}

// --- Frames -------------------------------------------------------------------------------

void EmptyFrame(benchmark::State& state, AreaSize size) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  WarmUp(v->view);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    g_gl->Swap();
    glFinish();
  }
}

void FigureFrame(benchmark::State& state, AreaSize size) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  WarmUp(v->view);
  for (auto _ : state) {
    v->view.OnDraw();  // DrawScene and the buffer swap, as a paint runs them
    glFinish();
  }
}

// --- Mouse work ---------------------------------------------------------------------------

void PickHit(benchmark::State& state, AreaSize size) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  WarmUp(v->view);
  int x = 0, y = 0;
  if (!ClientPoint(v->view.m_camera, size.width, size.height, kHead, &x, &y) ||
      v->view.PickPart(x, y) == nullptr) {
    state.SkipWithError("no part under the projected head");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(v->view.PickPart(x, y));  // toggles the head each time
  }
}

void PickMiss(benchmark::State& state, AreaSize size) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  WarmUp(v->view);
  if (v->view.PickPart(3, 3) != nullptr) {
    state.SkipWithError("the corner of the area is not background");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(v->view.PickPart(3, 3));
  }
}

void ProjectOriginStep(benchmark::State& state, AreaSize size) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  WarmUp(v->view);
  float centre[2] = {0, 0};
  if (v->view.ProjectOrigin(centre) != 1) {
    state.SkipWithError("the origin does not project");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(v->view.ProjectOrigin(centre));
  }
}

void ArcballStep(benchmark::State& state, AreaSize size) {
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  CTobrinView& view = v->view;
  const int cx = size.width / 2, cy = size.height / 2;
  view.OnLButtonDown(cx, cy);  // Orientation is the starting mode: the arcball begins
  const int x = cx + size.width / 8, y = cy - size.width / 16;  // inside the sphere
  v->log.repaints = 0;  // only the measured steps' requests count
  for (auto _ : state) {
    view.TrackArcball(x, y);
    benchmark::ClobberMemory();
  }
  if (v->log.repaints < static_cast<long>(state.iterations())) {
    state.SkipWithError("an arcball step made no repaint request");
  }
}

void BendStep(benchmark::State& state) {
  PartNodePtr figure = BuildFigure();
  SelectAll(figure.get());
  // One unit down and back up keeps every joint well inside its limits, so every step turns
  // all selected joints.
  const double before = figure->firstChild->firstChild->firstChild->angle;
  BendJoints(figure.get(), 1.0);
  if (figure->firstChild->firstChild->firstChild->angle == before) {
    state.SkipWithError("the bend was refused");
    return;
  }
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
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  Crowd crowd = BuildCrowd(figures);
  if (CountBoxes(crowd.root.get()) != 17L * figures) {
    state.SkipWithError("the crowd does not have 17 boxes per figure");
    return;
  }
  const SceneFrame frame = {crowd.root.get(), DEFAULT_CAMERA, size.width, size.height, false};
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
  auto v = MakeView(state, size);
  if (v == nullptr) return;
  Crowd crowd = BuildCrowd(figures);
  int x = 0, y = 0;
  if (!ClientPoint(DEFAULT_CAMERA, size.width, size.height, crowd.head, &x, &y) ||
      PickPart(crowd.root.get(), DEFAULT_CAMERA, size.width, size.height, x, y) == nullptr) {
    state.SkipWithError("no part under the first figure's projected head");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        PickPart(crowd.root.get(), DEFAULT_CAMERA, size.width, size.height, x, y));
  }
  state.counters["boxes"] = 17.0 * figures;
}

void RegisterAll() {
  const auto gl = [](benchmark::internal::Benchmark* b) {
    // The rasteriser works on threads of its own: wall time is what the user waits.
    b->UseRealTime()->Unit(benchmark::kMicrosecond);
  };
  for (const AreaSize& size : kAreaSizes) {
    gl(benchmark::RegisterBenchmark(BenchName("frame/empty", size).c_str(), EmptyFrame, size));
    gl(benchmark::RegisterBenchmark(BenchName("frame/figure", size).c_str(), FigureFrame, size));
  }
  const AreaSize window = kAreaSizes[0];
  gl(benchmark::RegisterBenchmark(BenchName("pick/hit", window).c_str(), PickHit, window));
  gl(benchmark::RegisterBenchmark(BenchName("pick/miss", window).c_str(), PickMiss, window));
  gl(benchmark::RegisterBenchmark(BenchName("project_origin", window).c_str(), ProjectOriginStep,
                                  window));
  benchmark::RegisterBenchmark("step/arcball", ArcballStep, window)->Unit(benchmark::kNanosecond);
  benchmark::RegisterBenchmark("step/bend", BendStep)->Unit(benchmark::kNanosecond);
  benchmark::RegisterBenchmark("build_figure", BuildAndDestroyFigure)->Unit(benchmark::kNanosecond);
  for (int figures : kCrowdSizes) {
    for (const AreaSize& size : kAreaSizes) {
      gl(benchmark::RegisterBenchmark(CrowdName("crowd/frame", figures, size).c_str(), CrowdFrame,
                                      size, figures));
    }
    gl(benchmark::RegisterBenchmark(CrowdName("crowd/pick", figures, window).c_str(), CrowdPick,
                                    window, figures));
  }
}

// Keeps the console output and collects one time per benchmark: the median of its
// repetitions when there are several, else its one run.
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
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "median") medians_[name] = seconds;
      } else {
        singles_[name] = seconds;
      }
    }
  }
  Timings Collected() const {
    Timings t = singles_;
    for (const auto& [name, seconds] : medians_)
      t[name] = seconds;
    return t;
  }

 private:
  Timings singles_, medians_;
};

}  // namespace
}  // namespace tobrin_bench

int main(int argc, char** argv) {
  using namespace tobrin_bench;
  std::string summaryPath;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    const char* flag = "--tobrin_summary=";
    if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) {
      summaryPath = argv[i] + std::strlen(flag);
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  std::string error;
  std::unique_ptr<HeadlessGL> gl =
      HeadlessGL::Create(kAreaSizes[0].width, kAreaSizes[0].height, &error);
  if (gl == nullptr) {
    std::fprintf(stderr, "tobrin-bench: no headless OpenGL: %s\n", error.c_str());
    return 1;
  }
  g_gl = gl.get();
  std::fprintf(stderr, "OpenGL: %s, %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));

  RegisterAll();
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const std::string summary = FormatSummary(reporter.Collected(), renderer);
  std::cout << "\n" << summary << std::flush;
  if (!summaryPath.empty()) {
    std::ofstream out(summaryPath);
    out << summary;
    if (!out) {
      std::fprintf(stderr, "tobrin-bench: cannot write %s\n", summaryPath.c_str());
      return 1;
    }
  }
  g_gl = nullptr;
  return 0;
}
