#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "panel/tuka2.h"

namespace orben::session {

// Consecutive words from an address.
struct MemoryBlock {
  std::uint16_t address = 0;
  std::vector<std::uint16_t> words;
};

// A number (a port, a register) and the word it holds.
using NumberedWord = std::pair<int, std::uint16_t>;

// What is written into a machine after its program is loaded and before
// it runs.
struct Presets {
  std::vector<MemoryBlock> memory;
  std::vector<NumberedWord> registers;  // R0..RF
  std::vector<NumberedWord> inputs;     // input ports 00..3F
};

// Writes the memory blocks, each word as the machine stores one (one at
// F000 or above is refused with an error stop and its message), then the
// registers, then the input ports.
void writePresets(Tuka2& tuka, const Presets& presets);

}  // namespace orben::session
