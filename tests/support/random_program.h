#pragma once

#include <random>
#include <utility>
#include <vector>

namespace orben::testing {

using Words = std::vector<std::pair<unsigned, unsigned>>;  // address, word

// A random program. Wild ones take any word; calm ones set RD to their
// first word, seldom stop (ports below 40, few HALTs and RETs, RD left
// alone) and branch back to their start at the end, so that they run on.
inline Words randomProgram(std::mt19937& g, unsigned base) {
  const auto draw = [&](unsigned n) { return static_cast<unsigned>(g() % n); };
  const bool calm = draw(3) != 0;
  Words words;
  const auto add = [&](unsigned word) { words.emplace_back((base + words.size()) & 0xFFFF, word); };
  if (calm) {
    add(0x2D00 | (base & 0xFF));  // LLI RD, LHI RD: RD = base
    add(0x3D00 | (base >> 8 & 0xFF));
  }
  for (unsigned i = draw(40); i > 0; --i) {
    unsigned op = draw(16);
    unsigned a = draw(16);
    unsigned n = draw(256);
    if (calm) {
      while (op == 0xF || (op == 0xE && draw(4) != 0)) op = draw(16);
      if (op == 4 || op == 5) n %= 0x40;
      if (a == 13 && op != 1 && op != 5 && op < 0xC) a = draw(13);
    }
    if ((op == 0xC || op == 0xD) && draw(2) == 0) a = draw(5);
    if (op <= 1 && draw(2) == 0) n = draw(4);  // LD and ST close to RD
    add(op << 12 | a << 8 | n);
  }
  if (calm) add(draw(8) == 0 ? 0xD000 : 0xC000);  // back to the start
  if (words.empty()) add(draw(0x10000));
  return words;
}

}  // namespace orben::testing
