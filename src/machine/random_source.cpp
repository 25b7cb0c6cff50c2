#include "machine/random_source.h"

#include <chrono>
#include <limits>

namespace orben {

SeededRandom::SeededRandom()
    : engine_(
          static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {
}

SeededRandom::SeededRandom(std::uint64_t seed) : engine_(seed) {}

// The draw is ours, not a standard distribution's (whose results differ
// between standard libraries), so that a seed gives the same machine on
// every build: the engine's next output x, drawn again while it falls in
// the last 2^64 mod n of its values, then x mod n. For 16 and 256, the
// draws of power-on and memory initialisation, nothing is drawn again and
// the draw is the output's low bits.
int SeededRandom::below(int n) {
  if (n <= 1) return 0;
  const auto range = static_cast<std::uint64_t>(n);
  // 2^64 mod n, computed in 64 bits: (2^64 - n) mod n.
  const std::uint64_t rejected = (std::uint64_t{0} - range) % range;
  std::uint64_t x = engine_();
  while (x > std::numeric_limits<std::uint64_t>::max() - rejected) x = engine_();
  return static_cast<int>(x % range);
}

void RandomSource::fillBytes(std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(below(256));
}

// Nothing is drawn again below 256 (2^64 mod 256 is 0): each byte is an
// output's low eight bits, as below(256) gives it.
void SeededRandom::fillBytes(std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(engine_() & 0xFF);
}

void FillRandom::fillBytes(std::uint8_t* bytes, std::size_t count) {
  const std::uint8_t high = static_cast<std::uint8_t>(word_ >> 8);
  const std::uint8_t low = static_cast<std::uint8_t>(word_ & 0xFF);
  // In pairs from where the last byte drawn left off.
  const bool odd = byte_ % 2 == 1;
  const std::uint8_t first = odd ? low : high;
  const std::uint8_t second = odd ? high : low;
  std::size_t i = 0;
  for (; i + 1 < count; i += 2) {
    bytes[i] = first;
    bytes[i + 1] = second;
  }
  if (i < count) bytes[i] = first;
  byte_ += static_cast<unsigned>(count % 2);
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
