#pragma once

// What the benchmarks measure the machine against: a bare interpreter of
// the TUKA-2 instruction set, and the loop they run.

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <vector>

namespace orben {

// LLI R1,01; LLI R2,00; LLI RD,03; then the loop at 0003: ADDS R2,R2,R1;
// OUT H'01,R2; SUBS R3,R3,R1; BR (to RD = 0003).
inline constexpr const char* kLoop =
    "0000 2101\n0001 2200\n0002 2D03\n0003 6221\n0004 5201\n0005 7331\n0006 C000\n";
inline constexpr std::uint16_t kLoopWords[] = {0x2101, 0x2200, 0x2D03, 0x6221,
                                               0x5201, 0x7331, 0xC000};
// The simplest interpreter of the TUKA-2 instruction set: registers, flags,
// PC, memory and ports as plain numbers in locals, and one switch per
// instruction; no cells, IR, AR or DR, listing or messages. It stops where
// the machine would stop the run.
struct BareTuka2 {
  std::array<std::uint16_t, 16> registers{};
  std::uint16_t pc = 0;
  std::vector<std::uint16_t> memory = std::vector<std::uint16_t>(0xF000);
  std::array<std::uint16_t, 64> in{};
  std::array<std::uint16_t, 64> out{};

  std::uint64_t run(std::uint64_t steps) {
    std::array<std::uint16_t, 16> r = registers;
    unsigned p = pc;
    bool z = false, s = false, c = false, v = false;
    std::uint16_t* m = memory.data();
    std::uint64_t done = 0;
    const auto result = [&](unsigned a, unsigned value) {
      r[a] = static_cast<std::uint16_t>(value);
      z = r[a] == 0;
      s = r[a] >> 15;
    };
    const auto holds = [&](unsigned digit) {
      return digit == 0 || (digit == 1 && z) || (digit == 2 && s) || (digit == 3 && c) ||
             (digit == 4 && v);
    };
    for (; done < steps && p < 0xF000; ++done) {
      const unsigned w = m[p];
      const unsigned a = w >> 8 & 0xF, n = w & 0xFF, x = r[n >> 4], y = r[n & 0xF];
      unsigned next = p + 1;
      switch (w >> 12) {
        case 0x0:
          if (n + r[13] >= 0xF000u) goto stop;
          r[a] = m[n + r[13]];
          break;
        case 0x1:
          if (n + r[13] >= 0xF000u) goto stop;
          m[n + r[13]] = r[a];
          break;
        case 0x2:
          r[a] = static_cast<std::uint16_t>(n);
          break;
        case 0x3:
          r[a] = static_cast<std::uint16_t>(n << 8 | (r[a] & 0xFFu));
          break;
        case 0x4:
          if (n >= 64) goto stop;
          r[a] = in[n];
          break;
        case 0x5:
          if (n >= 64) goto stop;
          out[n] = r[a];
          break;
        case 0x6: {
          const unsigned sum = x + y;
          c = sum > 0xFFFF;
          v = ((x ^ sum) & (y ^ sum) & 0x8000) != 0 && x != 0 && y != 0;
          result(a, sum);
          break;
        }
        case 0x7: {
          const unsigned difference = x - y;
          c = y > x;
          v = ((x ^ y) & (x ^ difference) & 0x8000) != 0 && x != 0 && y != 0;
          result(a, difference);
          break;
        }
        case 0x8:
          result(a, ~(x & y));
          break;
        case 0x9:
          c = r[a] >> 15;
          result(a, r[a] << 1);
          break;
        case 0xA:
          c = r[a] & 1;
          result(a, r[a] >> 1);
          break;
        case 0xB:
          c = r[a] & 1;
          result(a, (r[a] >> 1) | (r[a] & 0x8000));
          break;
        case 0xC:
          if (holds(a)) next = r[13];
          break;
        case 0xD:
          if (holds(a)) {
            const unsigned sp = (r[14] + 0xFFFFu) & 0xFFFF;
            if (sp >= 0xF000) goto stop;
            r[14] = static_cast<std::uint16_t>(sp);
            m[sp] = static_cast<std::uint16_t>(next);
            next = r[13];
          }
          break;
        case 0xE:
          if (r[14] >= 0xF000) goto stop;
          next = m[r[14]++];
          break;
        default:
          goto stop;  // HALT
      }
      p = next;
    }
  stop:
    registers = r;
    pc = static_cast<std::uint16_t>(p);
    return done;
  }
};

// The loop in a bare interpreter, its registers as switching on leaves them.
inline BareTuka2 bareLoop() {
  BareTuka2 bare;
  // The registers as switching on leaves them: each its number, RE F000.
  for (std::size_t n = 0; n < bare.registers.size(); ++n) {
    bare.registers[n] = static_cast<std::uint16_t>(n == 14 ? 0xF000 : n);
  }
  std::copy(std::begin(kLoopWords), std::end(kLoopWords), bare.memory.begin());
  return bare;
}

}  // namespace orben
