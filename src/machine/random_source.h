#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

namespace orben {

// The one pseudo-random generator of a run. Injected, so that tests and the
// command-line runner can fix what power-on and memory initialisation draw.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A uniform draw in 0..n-1 (n >= 1).
  virtual int below(int n) = 0;
  // `count` draws below 256, in order, as bytes: what below(256) would give
  // one by one (memory initialisation draws 122,880 of them).
  virtual void fillBytes(std::uint8_t* bytes, std::size_t count);
};

// The generator of a normal run: seeded once, from the clock unless a seed
// is given.
class SeededRandom final : public RandomSource {
 public:
  SeededRandom();
  explicit SeededRandom(std::uint64_t seed);
  int below(int n) override;
  void fillBytes(std::uint8_t* bytes, std::size_t count) override;

 private:
  std::mt19937_64 engine_;
};

// Draws that spell one word over and over: draws below 16 give its four
// digits in turn and draws below 256 its high and low byte in turn, so a
// power-on gives that word to every random cell and memory initialisation
// puts it into every memory word.
class FillRandom final : public RandomSource {
 public:
  explicit FillRandom(std::uint16_t word) : word_(word) {}
  int below(int n) override;
  void fillBytes(std::uint8_t* bytes, std::size_t count) override;

 private:
  std::uint16_t word_;
  unsigned digit_ = 0;
  unsigned byte_ = 0;
};

}  // namespace orben
