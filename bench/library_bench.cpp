// The DXF import on many tiny segments: a circle of radius 2000 mm cut into
// N LINEs (N up to a million, each 12.6 mm / N * 1000 long), listed in a
// shuffled order, every second one drawn backwards.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "library/dxf_contours.h"
#include "library/dxf_import.h"

namespace tarn {
namespace {

struct Segment2 {
  double x1, y1, x2, y2;
};

std::vector<Segment2> circleSegments(int n) {
  const double pi = std::acos(-1.0);
  std::vector<Segment2> segments;
  segments.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * pi * i / n;
    const double b = 2.0 * pi * (i + 1) / n;
    Segment2 s{2000.0 * std::cos(a), 2000.0 * std::sin(a), 2000.0 * std::cos(b),
               2000.0 * std::sin(b)};
    if (i % 2 == 1) {
      std::swap(s.x1, s.x2);
      std::swap(s.y1, s.y2);
    }
    segments.push_back(s);
  }
  std::shuffle(segments.begin(), segments.end(), std::mt19937(7));
  return segments;
}

const std::string& drawing(int n) {
  static std::map<int, std::string> cache;
  std::string& bytes = cache[n];
  if (bytes.empty()) {
    bytes = "0\nSECTION\n2\nENTITIES\n";
    char line[160];
    for (const Segment2& s : circleSegments(n)) {
      std::snprintf(line, sizeof line, "0\nLINE\n10\n%.9f\n20\n%.9f\n11\n%.9f\n21\n%.9f\n", s.x1,
                    s.y1, s.x2, s.y2);
      bytes += line;
    }
    bytes += "0\nENDSEC\n0\nEOF\n";
  }
  return bytes;
}

void BM_ImportTinySegments(benchmark::State& state) {
  const std::string& bytes = drawing(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    DxfImport result = importDxfBytes(bytes, "circle.dxf");
    if (result.parts.size() != 1) {
      state.SkipWithError("the circle did not close");
    }
    benchmark::DoNotOptimize(result);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ImportTinySegments)
    ->RangeMultiplier(4)
    ->Range(1 << 12, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_JoinTinySegments(benchmark::State& state) {
  std::vector<dxf::Path> paths;
  for (const Segment2& s : circleSegments(static_cast<int>(state.range(0)))) {
    paths.push_back(dxf::Path{{Point{s.x1, s.y1}, Point{s.x2, s.y2}}, {0.0}, false});
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<dxf::Path> copy = paths;
    dxf::WorkBudget budget(kDxfMaxWork);
    state.ResumeTiming();
    const dxf::Contours contours = dxf::buildContours(copy, kDxfJoinTolerance, budget);
    benchmark::DoNotOptimize(contours);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_JoinTinySegments)
    ->RangeMultiplier(4)
    ->Range(1 << 12, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace tarn
