// The progress report over a long history: 1000 runs over all eighteen
// courses and every letter at every level with confusions, read, summed up,
// drawn and written as PNG, as `wenlotka --report FILE.png` does. Reported
// also as a ratio to one full-surface clear of the picture's size measured in
// the same run ("xClear"); the target is under 100 ms. Then the same history
// opened as the progress screen, and the Weak Keys course's costs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/shell.h"
#include "platform/cairo_dc.h"
#include "practice/practice.h"
#include "progress/progress.h"
#include "textscreen/textscreen.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

struct ScratchFolder {
  ScratchFolder() {
    previous = std::filesystem::current_path();
    path = std::filesystem::temp_directory_path() /
           ("wenlotka-progress-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    std::filesystem::current_path(path);
  }
  ~ScratchFolder() {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(path);
  }
  std::filesystem::path previous, path;
};

double PictureClearNanos() {
  CairoDeviceContext dc(1282, 802);
  GameGlobals g;
  g.ClientRect = Rect{0, 0, 1282, 802};
  constexpr int n = 200;
  for (int i = 0; i < 20; ++i) ClearScreen(g, dc);
  auto t0 = SteadyClock::now();
  for (int i = 0; i < n; ++i) ClearScreen(g, dc);
  return std::chrono::duration<double, std::nano>(SteadyClock::now() - t0).count() / n;
}

void WriteHistory() {
  std::ofstream runs("wenlotka.runs");
  for (int i = 0; i < 1000; ++i) {
    const int course = (i % 3 + 1) * 100 + (i / 3) % 6 + 1;
    char line[96];
    std::snprintf(line, sizeof line, "26/%02d/%02d %02d:%02d:00 %d %d %d %d %d\n", i / 100 % 12 + 1,
                  i % 28 + 1, i % 24, i % 60, course, 30 + (i * 37) % 90, i % 7, 40 + i % 20,
                  20 - i % 20);
    runs << line;
  }
  KeyStatistics stats;
  for (int level = 0; level < ProgressLevels; ++level) {
    for (int letter = 0; letter < ProgressLetters; ++letter) {
      KeyCounts& k = stats.keys[level][letter];
      k.target = 500 + letter;
      k.misses = 10 + letter * level;
      k.recalled = level ? 300 : 0;
      k.lookedUp = level ? 200 - letter : 0;
      k.timed = 500;
      k.timeMs = 400000 + letter;
      for (int typed = 'A'; typed <= 'Z'; ++typed) k.confusions[typed] = typed - 'A' + letter + 1;
    }
  }
  std::ofstream("wenlotka.keys") << FormatKeyStatistics(stats);
}

void BM_ReportOver1000Runs(benchmark::State& state) {
  ScratchFolder folder;
  WriteHistory();
  std::ostringstream out, err;
  const GameGlobals files;
  double total = 0;
  for (auto _ : state) {
    out.str("");
    auto t0 = SteadyClock::now();
    const int status = RunProgressReport(files, true, "", "progress.png", out, err);
    total += std::chrono::duration<double, std::nano>(SteadyClock::now() - t0).count();
    if (status != 0) state.SkipWithError(err.str().c_str());
  }
  const double perIteration = total / static_cast<double>(state.iterations());
  state.counters["ms"] = perIteration / 1e6;
  state.counters["xClear"] = perIteration / PictureClearNanos();
}
BENCHMARK(BM_ReportOver1000Runs)->Unit(benchmark::kMillisecond)->Iterations(20);

// The progress screen opened from the main menu over the same history at the
// game's default size: both files read, this session's counts added, the
// picture drawn. The target is under 50 ms.
void BM_OpenProgressScreen(benchmark::State& state) {
  ScratchFolder folder;
  WriteHistory();
  CairoDeviceContext surface(1282, 802);
  VirtualClock clock{TimeStamp{1'000'000'000, 0}};
  GameGlobals g;
  Shell shell(g, surface, clock, nullptr);
  shell.Start();
  shell.OnPaint();
  shell.OnChar(' ');
  double total = 0;
  for (auto _ : state) {
    auto t0 = SteadyClock::now();
    shell.OnChar('6');
    benchmark::DoNotOptimize(surface.Pixels());
    total += std::chrono::duration<double, std::nano>(SteadyClock::now() - t0).count();
    state.PauseTiming();
    shell.OnChar(27);  // back to the main menu
    state.ResumeTiming();
  }
  if (g.progress.shownRuns.size() != 1000) state.SkipWithError("the history was not read");
  const double perIteration = total / static_cast<double>(state.iterations());
  state.counters["ms"] = perIteration / 1e6;
  state.counters["xClear"] = perIteration / PictureClearNanos();
}
BENCHMARK(BM_OpenProgressScreen)->Unit(benchmark::kMillisecond)->Iterations(20);

// Choosing the next target of a Weak Keys run: one weighted draw over the
// 26 letters, as every correct key makes it. The target is under 10 us.
// Reported also as a ratio to one draw of the generator alone ("xRandom").
KeyStatistics FullStatistics() {
  KeyStatistics stats;
  for (int letter = 0; letter < ProgressLetters; ++letter) {
    KeyCounts& k = stats.keys[1][letter];
    k.target = 500 + letter;
    k.misses = letter % 5 == 0 ? 200 : 10;
    k.recalled = 300;
    k.lookedUp = 200 - letter;
    k.timed = 500;
    k.timeMs = 400000 + 1000 * letter;
    for (int i = 0; i < RecentTargetCount; ++i) {
      AddRecentTarget(k.recent, RecentTarget{static_cast<std::uint8_t>(i % 3), 'r', 500 + i});
    }
  }
  return stats;
}

void BM_ChooseTarget(benchmark::State& state) {
  constexpr char letters[] = "ASDFGHJKLQWERTYUIOPZXCVBNM";
  std::uint32_t weights[MaxTargetKeys] = {};
  WeakKeyWeights(PlanWeakKeys(FullStatistics(), 2), letters, weights);
  GameGlobals g;
  SeedRandom(g.random, 1);
  int index = -1;
  auto t0 = SteadyClock::now();
  for (auto _ : state) {
    index = PickWeightedTargetIndex(g, letters, weights, index);
    benchmark::DoNotOptimize(index);
  }
  const double perChoice =
      std::chrono::duration<double, std::nano>(SteadyClock::now() - t0).count() /
      static_cast<double>(state.iterations());
  SeedRandom(g.random, 1);
  constexpr int n = 1'000'000;
  t0 = SteadyClock::now();
  for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(NextRandom(g.random));
  const double perDraw =
      std::chrono::duration<double, std::nano>(SteadyClock::now() - t0).count() / n;
  state.counters["ns"] = perChoice;
  state.counters["xRandom"] = perChoice / perDraw;
}
BENCHMARK(BM_ChooseTarget)->Unit(benchmark::kNanosecond);

// Weighing the letters before a Weak Keys run: the statistics file read, this
// session's counts added, every letter judged, as each start and retry does.
void BM_WeighWeakKeysForARun(benchmark::State& state) {
  ScratchFolder folder;
  std::ofstream("wenlotka.keys") << FormatKeyStatistics(FullStatistics());
  GameGlobals g;
  g.practiceLevel = 2;
  g.progress.session = FullStatistics();
  constexpr char letters[] = "ASDFGHJKLQWERTYUIOPZXCVBNM";
  std::uint32_t weights[MaxTargetKeys] = {};
  for (auto _ : state) {
    benchmark::DoNotOptimize(ChooseWeakKeyWeights(g, letters, weights));
  }
}
BENCHMARK(BM_WeighWeakKeysForARun)->Unit(benchmark::kMicrosecond);

}  // namespace
