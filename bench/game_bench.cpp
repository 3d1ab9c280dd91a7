// Repaint, key and start-up costs of the game, each also reported as a ratio
// to one full-surface clear of the same size measured in the same run
// ("xClear"), and to the floor: the cheapest way to write every pixel of an
// image surface of that size once, Cairo's paint with the source operator
// ("xFloor"), so figures compare across machines.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "app/shell.h"
#include "textscreen/textscreen.h"

namespace {

using Clock = std::chrono::steady_clock;

// Benchmarks write the game's files; keep them out of the working directory.
struct ScratchCwd {
  ScratchCwd() {
    previous = std::filesystem::current_path();
    path = std::filesystem::temp_directory_path() / ("wenlotka-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    std::filesystem::current_path(path);
  }
  ~ScratchCwd() {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(path);
  }
  std::filesystem::path previous, path;
};

double ClearNanos(int w, int h) {
  static std::map<std::pair<int, int>, double> cache;
  auto key = std::make_pair(w, h);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  CairoDeviceContext dc(w, h);
  GameGlobals g;
  g.ClientRect = Rect{0, 0, w, h};
  constexpr int n = 300;
  for (int i = 0; i < 20; ++i) ClearScreen(g, dc);
  auto t0 = Clock::now();
  for (int i = 0; i < n; ++i) {
    ClearScreen(g, dc);
    benchmark::DoNotOptimize(dc.Pixels());
  }
  double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / n;
  cache[key] = ns;
  return ns;
}

double FloorNanos(int w, int h) {
  static std::map<std::pair<int, int>, double> cache;
  auto key = std::make_pair(w, h);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  constexpr int n = 300;
  for (int i = 0; i < 20; ++i) cairo_paint(cr);
  auto t0 = Clock::now();
  for (int i = 0; i < n; ++i) cairo_paint(cr);
  cairo_surface_flush(surface);
  double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / n;
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  cache[key] = ns;
  return ns;
}

// A game in a scratch directory, driven like the headless script does.
struct Game {
  explicit Game(int w, int h) : surface(w, h), shell(g, surface, clock, nullptr) {
    shell.Start();
    shell.OnPaint();
  }
  void Type(const char* s) {
    for (; *s; ++s) shell.OnChar(static_cast<unsigned char>(*s));
  }
  void Hit() { shell.OnChar(g.targetKey + ('a' - 'A')); }
  void Miss() { shell.OnChar(g.targetKey == 'Q' ? 'z' : 'q'); }

  ScratchCwd cwd;
  VirtualClock clock{TimeStamp{1'000'000'000, 0}};
  CairoDeviceContext surface;
  GameGlobals g;
  Shell shell;
};

void Report(benchmark::State& state, Clock::duration total, int w, int h) {
  double perIter = std::chrono::duration<double, std::nano>(total).count() /
                   static_cast<double>(state.iterations());
  state.counters["xClear"] = perIter / ClearNanos(w, h);
  state.counters["xFloor"] = perIter / FloorNanos(w, h);
}

enum class Screen { Title, Menu, Record, Beginner, Standard, Expert };

void BM_Repaint(benchmark::State& state, Screen screen) {
  int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Game game(w, h);
  switch (screen) {
    case Screen::Title:
      break;
    case Screen::Menu:
      game.Type(" ");
      break;
    case Screen::Record:
      game.Type(" 4");
      break;
    case Screen::Beginner:
      game.Type(" 16");
      break;
    case Screen::Standard:
      game.Type(" 26");
      break;
    case Screen::Expert:
      game.Type(" 36");
      break;
  }
  auto t0 = Clock::now();
  for (auto _ : state) {
    game.shell.OnPaint();
    // The frame is whole once it can be read, as the window reads it.
    benchmark::DoNotOptimize(game.surface.Pixels());
  }
  Report(state, Clock::now() - t0, w, h);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({642, 402})->Args({1282, 802})->Unit(benchmark::kMicrosecond);
}

BENCHMARK_CAPTURE(BM_Repaint, Title, Screen::Title)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Repaint, Menu, Screen::Menu)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Repaint, RecordScreen, Screen::Record)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Repaint, PracticeBeginner, Screen::Beginner)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Repaint, PracticeStandard, Screen::Standard)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Repaint, PracticeExpert, Screen::Expert)->Apply(Sizes);

void BM_Clear(benchmark::State& state) {
  int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  CairoDeviceContext dc(w, h);
  GameGlobals g;
  g.ClientRect = Rect{0, 0, w, h};
  for (auto _ : state) {
    ClearScreen(g, dc);
    benchmark::DoNotOptimize(dc.Pixels());
  }
}
BENCHMARK(BM_Clear)->Apply(Sizes);

// The floor itself, for the record.
void BM_Floor(benchmark::State& state) {
  int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  for (auto _ : state) cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_Floor)->Apply(Sizes);

// One key from the character message to pixels in the framebuffer.
void BM_CorrectKey(benchmark::State& state) {
  int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Game game(w, h);
  game.Type(" 16");
  Clock::duration total{};
  for (auto _ : state) {
    if (game.g.correctCount >= 58) {
      state.PauseTiming();
      game.Type("\x1b\r");  // cancel and retry: keep the run going
      state.ResumeTiming();
    }
    auto t0 = Clock::now();
    game.Hit();
    benchmark::DoNotOptimize(game.surface.Pixels());
    total += Clock::now() - t0;
  }
  Report(state, total, w, h);
}
BENCHMARK(BM_CorrectKey)->Apply(Sizes);

void BM_MissKey(benchmark::State& state) {
  int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Game game(w, h);
  game.Type(" 16");
  auto t0 = Clock::now();
  for (auto _ : state) {
    game.Miss();
    benchmark::DoNotOptimize(game.surface.Pixels());
  }
  Report(state, Clock::now() - t0, w, h);
}
BENCHMARK(BM_MissKey)->Apply(Sizes);

// From nothing to the first frame: surface, records, title screen.
void BM_StartUpToFirstFrame(benchmark::State& state) {
  int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  ScratchCwd cwd;
  auto t0 = Clock::now();
  for (auto _ : state) {
    VirtualClock clock{TimeStamp{1'000'000'000, 0}};
    CairoDeviceContext surface(w, h);
    GameGlobals g;
    Shell shell(g, surface, clock, nullptr);
    shell.Start();
    shell.OnPaint();
    benchmark::DoNotOptimize(surface.Pixels());
  }
  Report(state, Clock::now() - t0, w, h);
}
BENCHMARK(BM_StartUpToFirstFrame)->Apply(Sizes);

// Peak resident memory of the real program playing a whole run headless.
void BM_PeakMemoryOfAHeadlessRun(benchmark::State& state) {
  ScratchCwd cwd;
  {
    std::ofstream s("run.script");
    s << "key space\ntype 1\ntype 6\n";
    for (int i = 0; i < 60; ++i) s << "hit\nwait 700\n";
    s << "screenshot run.png\nquit\n";
  }
  long peakKb = 0;
  for (auto _ : state) {
    pid_t pid = fork();
    if (pid == 0) {
      execl(WENLOTKA_BINARY, "wenlotka", "--headless", "run.script", "--size", "1282x802",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    peakKb = std::max(peakKb, usage.ru_maxrss);
  }
  state.counters["peakMB"] = static_cast<double>(peakKb) / 1024.0;
}
BENCHMARK(BM_PeakMemoryOfAHeadlessRun)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
