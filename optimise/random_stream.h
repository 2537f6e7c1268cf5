#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

namespace tarn::strip {

// xoshiro256** seeded through splitmix64. The searches draw from it instead of
// the standard distributions, whose output differs between library vendors, so
// a seed gives the same layout on every platform.
class RandomStream {
 public:
  explicit RandomStream(std::uint64_t seed) {
    for (std::uint64_t& word : state_) {
      seed += 0x9e3779b97f4a7c15ULL;
      std::uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
      word = z ^ (z >> 31);
    }
  }

  std::uint64_t next() {
    const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }

  // In [0, 1), from the top 53 bits.
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

  // In [lo, hi); lo when the range is empty.
  double uniform(double lo, double hi) { return hi > lo ? lo + (hi - lo) * uniform() : lo; }

  // Standard normal, by Box and Muller.
  double normal() {
    const double u1 = 1.0 - uniform();  // in (0, 1]
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
  }

  // In [0, n) for n > 0; the slight bias of the modulo is irrelevant for n far below 2^64.
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

 private:
  static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  std::uint64_t state_[4] = {};
};

}  // namespace tarn::strip
