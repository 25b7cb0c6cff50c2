#pragma once

#include <cstdint>
#include <vector>

#include "machine/cells.h"

namespace orben {

// What one instruction changed, or what stepping it back restored: each
// cell, flag and memory word once, in the order of its first change.
struct StepChanges {
  std::vector<CellId> cells;
  std::vector<Flag> flags;
  std::vector<std::uint16_t> words;

  bool empty() const { return cells.empty() && flags.empty() && words.empty(); }
  void clear() {
    cells.clear();
    flags.clear();
    words.clear();
  }
  void addCell(CellId cell) { addOnce(cells, cell); }
  void addFlag(Flag flag) { addOnce(flags, flag); }
  void addWord(std::uint16_t address) { addOnce(words, address); }

 private:
  template <typename T>
  static void addOnce(std::vector<T>& list, T item) {
    for (const T& seen : list) {
      if (seen == item) return;
    }
    list.push_back(item);
  }
};

}  // namespace orben
