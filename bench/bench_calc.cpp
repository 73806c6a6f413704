// How long the calculation core takes for what the window asks of it on every
// keystroke: a whole delay table, and number texts against the C library's
// "%.15G" formatting of the same values; and for what a delay box menu and
// the table copy ask of it once per use.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "calc/delay_extras.h"
#include "calc/delay_table.h"
#include "calc/numeric_text.h"
#include "calc/rounded_text.h"

namespace {

void BM_ComputeDelayTable(benchmark::State& state, const char* tempo) {
  calc::DelayTexts previous;
  previous.fill("0");
  for (auto _ : state) {
    calc::DelayTexts table = calc::ComputeDelayTable(tempo, previous, '.');
    benchmark::DoNotOptimize(table);
  }
}
BENCHMARK_CAPTURE(BM_ComputeDelayTable, tempo_120, "120");
BENCHMARK_CAPTURE(BM_ComputeDelayTable, tempo_90, "90");
BENCHMARK_CAPTURE(BM_ComputeDelayTable, tempo_133_7, "133.7");
BENCHMARK_CAPTURE(BM_ComputeDelayTable, tempo_empty, "");

// The same values for both formatters: results the calculators really write
// (delays, samples, frequencies) and random doubles over the whole range.
const std::vector<double>& Values() {
  static const std::vector<double> values = [] {
    std::vector<double> v;
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> tempo(1.0, 240.0);
    for (int i = 0; i < 512; ++i) v.push_back(240000.0 / tempo(random));
    std::uniform_int_distribution<std::uint64_t> bits;
    while (v.size() < 1024) {
      const std::uint64_t pattern = bits(random);
      double x;
      static_assert(sizeof x == sizeof pattern);
      std::memcpy(&x, &pattern, sizeof x);
      if (std::isfinite(x)) v.push_back(x);
    }
    return v;
  }();
  return values;
}

void BM_NumberToText(benchmark::State& state) {
  const auto& values = Values();
  std::size_t i = 0;
  for (auto _ : state) {
    auto text = calc::NumberToText(values[i++ & 1023], '.');
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_NumberToText);

void BM_Snprintf15G(benchmark::State& state) {
  const auto& values = Values();
  std::size_t i = 0;
  char buffer[64];
  for (auto _ : state) {
    const int length = std::snprintf(buffer, sizeof buffer, "%.15G", values[i++ & 1023]);
    benchmark::DoNotOptimize(length);
    benchmark::DoNotOptimize(buffer);
  }
}
BENCHMARK(BM_Snprintf15G);

void BM_TextToNumber(benchmark::State& state) {
  std::vector<std::string> texts;
  for (double x : Values()) texts.push_back(*calc::NumberToText(x, ','));
  std::size_t i = 0;
  for (auto _ : state) {
    auto number = calc::TextToNumber(texts[i++ & 1023], ',');
    benchmark::DoNotOptimize(number);
  }
}
BENCHMARK(BM_TextToNumber);

// Everything one delay box menu shows: its title and four numbers, from the
// tempo and sample-rate texts.
void BM_DelayBoxEntries(benchmark::State& state, int slot) {
  for (auto _ : state) {
    calc::DelayBoxEntries entries = calc::ComputeDelayBoxEntries(slot, "133.7", "44100", '.');
    benchmark::DoNotOptimize(entries);
  }
}
BENCHMARK_CAPTURE(BM_DelayBoxEntries, dotted_eighth, 7);
BENCHMARK_CAPTURE(BM_DelayBoxEntries, shortest, 22);

// The whole tab-separated table that Copy Delay Table puts on the clipboard.
void BM_DelayTableText(benchmark::State& state, const char* tempo, const char* rate) {
  for (auto _ : state) {
    auto text = calc::DelayTableText(tempo, rate, ',');
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK_CAPTURE(BM_DelayTableText, tempo_133_7, "133,7", "44100");
BENCHMARK_CAPTURE(BM_DelayTableText, tempo_120, "120", "48000");
BENCHMARK_CAPTURE(BM_DelayTableText, no_sample_rate, "133,7", "");

void BM_RoundedText(benchmark::State& state) {
  const auto& values = Values();
  std::size_t i = 0;
  for (auto _ : state) {
    auto text = calc::RoundedText(values[i++ & 511], calc::kMillisecondDecimals, '.');
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_RoundedText);

}  // namespace
