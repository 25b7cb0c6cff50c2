#pragma once

#include <cstdint>
#include <vector>

namespace orben {

// What one instruction of a run on plain numbers (FastRun) overwrote, so
// that an observer keeping a history can take it back: the control cells
// and flags before it, and the one word it wrote, if any. During such a
// run every register, PC, IR, AR and DR holds a word.
struct NumberStep {
  // What the instruction wrote besides PC, IR, AR, DR and the flags.
  enum class Wrote : std::uint8_t {
    Nothing,   // a branch
    Register,  // register `index` held `old`
    Memory,    // word `address` held `old`
    Port,      // output port `index` held `old`; `port_written`: OUT had written it before
    Call,      // word `address` held `old`, and RE held `address` + 1
  };

  std::uint16_t pc = 0;
  std::uint16_t ir = 0;
  std::uint16_t ar = 0;
  std::uint16_t dr = 0;
  std::uint16_t old = 0;
  std::uint16_t address = 0;
  // The last word PC passed through that the listing follows, before this
  // instruction, or -1 when the run has passed none yet.
  std::int32_t followed = -1;
  std::uint8_t flags = 0;  // Z, S, C, V in bits 0..3, as Flag numbers them
  Wrote wrote = Wrote::Nothing;
  std::uint8_t index = 0;
  bool port_written = false;
};

using NumberSteps = std::vector<NumberStep>;

}  // namespace orben
