// Costs of the platform layer's drawing: text with a cached face, the first
// face lookup, and a full-surface clear at the two usual window sizes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/cairo_dc.h"
#include "platform/cp932.h"

namespace {

LogFont LatinFont() {
  LogFont f;
  f.lfHeight = 16;
  f.lfWidth = 8;
  std::strcpy(f.lfFaceName, "Lucida Console");
  return f;
}

// One character per call, as the text painter draws; the face is cached.
void BM_TextOutCachedFace(benchmark::State& state) {
  CairoDeviceContext dc(642, 402);
  LogFont font = LatinFont();
  const std::string text = "Press ESC key to cancel 0123456789";
  dc.TextOut(0, 0, font, "A");
  int i = 0;
  for (auto _ : state) {
    dc.TextOut(8 * (i % 78) + 1, 16 * ((i / 78) % 24) + 1, font,
               std::string_view(text).substr(static_cast<size_t>(i) % text.size(), 1));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextOutCachedFace);

void BM_TextOutCachedKana(benchmark::State& state) {
  CairoDeviceContext dc(642, 402);
  LogFont font = LatinFont();
  std::strcpy(font.lfFaceName, "MS UI Gothic");
  font.lfCharSet = 1;
  const std::string kana = Utf8ToCp932("\xE3\x81\x82");  // あ
  dc.TextOut(0, 0, font, kana);
  for (auto _ : state) dc.TextOut(17, 17, font, kana);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextOutCachedKana);

// The first request for a face: a fresh context resolves it through fontconfig.
void BM_TextOutFirstFaceLookup(benchmark::State& state) {
  LogFont font = LatinFont();
  for (auto _ : state) {
    state.PauseTiming();
    auto dc = std::make_unique<CairoDeviceContext>(16, 16);
    state.ResumeTiming();
    dc->TextOut(0, 0, font, "A");
    state.PauseTiming();
    dc.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TextOutFirstFaceLookup);

void BM_FullClear(benchmark::State& state) {
  CairoDeviceContext dc(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) dc.FillRect({0, 0, dc.Width(), dc.Height()}, 0xFFFFFF);
}
BENCHMARK(BM_FullClear)->Args({642, 402})->Args({1282, 802});

void BM_EllipseDot(benchmark::State& state) {
  CairoDeviceContext dc(642, 402);
  for (auto _ : state) dc.Ellipse({58, 18, 71, 31}, 0x802080, 0x802080);
}
BENCHMARK(BM_EllipseDot);

}  // namespace
