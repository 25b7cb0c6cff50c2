#include "session/presets.h"

namespace orben::session {

void writePresets(Tuka2& tuka, const Presets& presets) {
  Machine& m = tuka.machine;
  for (const MemoryBlock& block : presets.memory) {
    for (std::size_t i = 0; i < block.words.size(); ++i) {
      m.WriteMemoryWord(static_cast<long long>(block.address + i), wordOf(block.words[i]));
    }
  }
  for (const auto& [n, word] : presets.registers) m.WriteRegister(n, wordOf(word));
  for (const auto& [port, word] : presets.inputs) m.setCell(inputPortCell(port), wordOf(word));
}

}  // namespace orben::session
