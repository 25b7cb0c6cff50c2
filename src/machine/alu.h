#pragma once

#include <cstdint>

namespace orben {

// The four flags as the ALU reads and leaves them.
struct AluFlags {
  bool z = false;
  bool s = false;
  bool c = false;
  bool v = false;
};

struct AluResult {
  std::uint16_t word;
  AluFlags flags;
};

// ADDS (6), SUBS (7) and NAND (8) on x and y; SHL (9), SHR (A) and SHRA (B)
// on x alone. Operands and result are 16-bit patterns, read as signed where
// the flags ask for it. NAND keeps C and V, the shifts keep V: `before`
// gives them.
inline AluResult alu(unsigned op, std::uint16_t x, std::uint16_t y, AluFlags before) {
  const int sx = static_cast<std::int16_t>(x);
  const int sy = static_cast<std::int16_t>(y);
  AluFlags f = before;
  int r;
  switch (op) {
    case 0x6:
      r = static_cast<std::int16_t>(sx + sy);
      f.c = unsigned{x} + y > 0xFFFF;
      // The operands are compared with 0 strictly: a zero never overflows.
      f.v = (sx > 0 && sy > 0 && r < 0) || (sx < 0 && sy < 0 && r >= 0);
      break;
    case 0x7:
      r = static_cast<std::int16_t>(sx - sy);
      f.c = y > x;  // a borrow
      f.v = (sx > 0 && sy < 0 && r < 0) || (sx < 0 && sy > 0 && r >= 0);
      break;
    case 0x8:
      r = static_cast<std::int16_t>(~(sx & sy));
      break;
    case 0x9:
      r = static_cast<std::int16_t>(sx * 2);
      f.c = (x & 0x8000) != 0;
      break;
    case 0xA:
      r = x >> 1;  // 0 into bit 15: S stays 0
      f.c = (x & 1) != 0;
      break;
    default:
      r = static_cast<std::int16_t>((x >> 1) | (x & 0x8000));
      f.c = (x & 1) != 0;
      break;
  }
  f.z = r == 0;
  f.s = r < 0;
  return {static_cast<std::uint16_t>(r), f};
}

// The condition digit of B and CALL: 0 always, 1..4 Z, S, C, V; 5..F never
// (the instruction only advances).
inline bool conditionHolds(unsigned digit, const AluFlags& f) {
  switch (digit) {
    case 0:
      return true;
    case 1:
      return f.z;
    case 2:
      return f.s;
    case 3:
      return f.c;
    case 4:
      return f.v;
    default:
      return false;
  }
}

}  // namespace orben
