#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orben {

// The addresses a timed run stops before: the step timer's tick that would
// execute the instruction at one of them stops the run instead, as an
// error stop does but with no message. A "run to here" address is a
// breakpoint that removes itself once reached.
class Breakpoints {
 public:
  enum class Kind : std::uint8_t { None, Kept, RunToHere };

  Kind at(std::uint16_t address) const { return kinds_[address]; }
  bool has(std::uint16_t address) const { return kinds_[address] != Kind::None; }
  bool empty() const { return count_ == 0; }
  // The bytes of the table, one per word, zero where there is none: what a
  // run on plain numbers tests in a single load.
  const Kind* table() const { return kinds_.data(); }

  // A kept breakpoint at `address`; one that ran to here becomes kept.
  void set(std::uint16_t address) { put(address, Kind::Kept); }
  // A breakpoint removed when reached, unless a kept one is there already.
  void runToHere(std::uint16_t address) {
    if (kinds_[address] == Kind::None) put(address, Kind::RunToHere);
  }
  void remove(std::uint16_t address) { put(address, Kind::None); }
  // Sets or removes; true when one is now set.
  bool toggle(std::uint16_t address) {
    put(address, has(address) ? Kind::None : Kind::Kept);
    return has(address);
  }
  // The run reached `address`: a run-to-here breakpoint there goes.
  void reached(std::uint16_t address) {
    if (kinds_[address] == Kind::RunToHere) put(address, Kind::None);
  }
  void clear() {
    if (count_ == 0) return;
    if (all_set_.size() <= kListedMost) {
      for (const std::uint16_t address : all_set_) kinds_[address] = Kind::None;
    } else {
      kinds_.fill(Kind::None);
    }
    all_set_.clear();
    count_ = 0;
  }
  // The kept ones, in address order.
  std::vector<std::uint16_t> kept() const {
    std::vector<std::uint16_t> list;
    for (unsigned a = 0; a < kinds_.size(); ++a) {
      if (kinds_[a] == Kind::Kept) list.push_back(static_cast<std::uint16_t>(a));
    }
    return list;
  }

 private:
  void put(std::uint16_t address, Kind kind) {
    if (kind != Kind::None && kinds_[address] == Kind::None && all_set_.size() <= kListedMost) {
      all_set_.push_back(address);
    }
    count_ += (kind != Kind::None) - (kinds_[address] != Kind::None);
    kinds_[address] = kind;
  }

  // Beyond this many, clear() empties the whole table.
  static constexpr std::size_t kListedMost = 1024;

  std::array<Kind, 0x10000> kinds_{};
  int count_ = 0;
  // Every address set since the last clear(), while there are few.
  std::vector<std::uint16_t> all_set_;
};

}  // namespace orben
