#include "machine/random_source.h"

#include <chrono>

namespace orben {

SeededRandom::SeededRandom()
    : engine_(
          static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {
}

SeededRandom::SeededRandom(std::uint64_t seed) : engine_(seed) {}

int SeededRandom::below(int n) {
  if (n <= 1) return 0;
  std::uniform_int_distribution<int> draw(0, n - 1);
  return draw(engine_);
}

int FillRandom::below(int n) {
  if (n == 16) {
    const int shift = 12 - 4 * static_cast<int>(digit_++ % 4);
    return (word_ >> shift) & 0xF;
  }
  if (n == 256) return (byte_++ % 2 == 0) ? (word_ >> 8) : (word_ & 0xFF);
  return n <= 1 ? 0 : word_ % n;
}

}  // namespace orben
