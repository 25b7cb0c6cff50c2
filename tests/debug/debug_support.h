#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "machine/fast_run.h"
#include "machine/random_source.h"
#include "machine/user_interface.h"
#include "panel/tuka2.h"
#include "support/random_program.h"

namespace orben::testing {

// OK to every message, No and Cancelar to every question; counts messages.
class QuietUi final : public UserInterface {
 public:
  int messages = 0;
  void showMessage(std::string_view) override { ++messages; }
  bool askYesNo(std::string_view, std::string_view) override { return false; }
  std::optional<WordText> askValue() override { return std::nullopt; }
  std::optional<std::string> askObjectFile(const FileRequest&) override { return std::nullopt; }
  std::optional<int> askSpeed(int) override { return std::nullopt; }
  void reportFileError(std::string_view, std::string_view) override {}
};

// Everything a step could change, read cell by cell: two states compare
// equal exactly when the machine is the same.
struct State {
  std::vector<std::uint64_t> cells;
  std::uint64_t memory = 0;  // memoryHash of the store
  std::string rest;
  bool operator==(const State&) const = default;
};

// The memory store's bytes folded eight at a time into one number, in
// order: two stores agree exactly when their numbers do, but for a chance
// of one in 2^64. Thousands of states a program cost a number each, not a
// copy of the whole memory.
inline std::uint64_t memoryHash(const MemoryStore& store) {
  const std::uint8_t* bytes = store.data();
  const std::size_t size = store.size();
  // Four lanes of 8 bytes, so that the multiplications do not wait on each
  // other; then the lanes and the tail folded together.
  std::uint64_t lanes[4] = {0xCBF29CE484222325u ^ size, 0x9E3779B97F4A7C15u, 0xC2B2AE3D27D4EB4Fu,
                            0x165667B19E3779F9u};
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    for (int lane = 0; lane < 4; ++lane) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes + i + 8 * lane, 8);
      lanes[lane] = (lanes[lane] ^ word) * 0x100000001B3u;
      lanes[lane] ^= lanes[lane] >> 29;
    }
  }
  std::uint64_t hash = lanes[0];
  for (int lane = 1; lane < 4; ++lane) hash = (hash ^ lanes[lane]) * 0x9E3779B97F4A7C15u;
  for (; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3u;
  return hash;
}

// Where two states differ, for a failure's message.
inline std::string difference(const State& a, const State& b) {
  std::string d;
  for (std::size_t c = 0; c < a.cells.size() && c < b.cells.size(); ++c) {
    if (a.cells[c] != b.cells[c]) d += "cell " + std::to_string(c) + "; ";
  }
  if (a.memory != b.memory) d += "memory; ";
  if (a.rest != b.rest) d += a.rest + " / " + b.rest;
  return d;
}

inline State stateOf(const Tuka2& tuka) {
  const Machine& m = tuka.machine;
  State s;
  for (int cell = 0; cell < kCellCount; ++cell) {
    s.cells.push_back(m.cellValue(static_cast<CellId>(cell)).bits());
  }
  s.memory = memoryHash(m.memory());
  for (Flag f : {Flag::Z, Flag::S, Flag::C, Flag::V}) s.rest += m.flag(f) ? '1' : '0';
  s.rest += " mode " + std::to_string(static_cast<int>(m.stepMode())) + " lamp " +
            std::to_string(m.stepLamp()) + " panel " +
            std::to_string(static_cast<int>(m.panelState())) + " line " +
            std::to_string(tuka.listing.selected()) + " ports " +
            std::to_string(m.outputsWritten()) + " executions " +
            std::to_string(tuka.processor.executions());
  return s;
}

// A switched-on TUKA-2 with a random program loaded and listed, random
// registers near the stack's and memory's ends, random flags, the start
// keyed.
struct RandomMachine {
  QuietUi ui;
  SeededRandom random;
  Tuka2 tuka;

  RandomMachine(std::mt19937& g, std::uint64_t seed) : random(seed), tuka(ui, random) {
    const auto draw = [&](unsigned n) { return static_cast<unsigned>(g() % n); };
    Machine& m = tuka.machine;
    tuka.power.TogglePower();
    const unsigned bases[] = {0x0000, 0x0100, 0xEFF0, 0xEFFE, draw(0xF000)};
    const unsigned base = bases[draw(5)];
    for (const auto& [address, word] : randomProgram(g, base)) {
      m.WriteMemoryWord(address, CellValue::word(word));
      if (draw(4) != 0) {
        tuka.listing.add(static_cast<std::uint16_t>(address), static_cast<std::uint16_t>(word),
                         Listing::Form::Disassembled);
      }
    }
    if (draw(4) == 0) m.WriteRegister(13, CellValue::word(0xEFFD + draw(3)));
    if (draw(4) == 0)
      m.WriteRegister(14, CellValue::word(draw(2) == 0 ? draw(3) : 0xEFFF + draw(4)));
    if (draw(8) == 0) m.WriteRegister(static_cast<int>(draw(16)), WordText("****"));
    for (Flag f : {Flag::Z, Flag::S, Flag::C, Flag::V}) m.setFlag(f, draw(2) == 0);
    m.setCell(kCellKeypad, CellValue::word(draw(8) == 0 ? draw(0x10000) : base));
  }

  RandomMachine(std::mt19937&& g, std::uint64_t seed) : RandomMachine(g, seed) {}

  // Ejecutar for the first step, Continuar for the others.
  void step(bool first) {
    if (first) {
      tuka.run.executeFromKeypad();
    } else {
      tuka.run.continueExecution();
    }
  }
};

// A timed run: Ejecutar (or, with `ejecutar` false, a tick) first, then
// ticks, at most `limit` instructions; with `fast`, FastRun between the
// ticks as tuka2 runs it. Returns how many ran.
inline std::uint64_t timedRun(Tuka2& tuka, std::uint64_t limit, bool fast, bool ejecutar = true) {
  FastRun numbers(tuka.machine, tuka.processor);
  const std::uint64_t first = tuka.processor.executions();
  const auto done = [&] { return tuka.processor.executions() - first; };
  while (done() < limit) {
    if (fast && numbers.run(ejecutar ? FastRun::Start::Ejecutar : FastRun::Start::Tick,
                            limit - done()) > 0) {
      ejecutar = false;
    }
    if (done() >= limit) break;
    if (ejecutar) {
      tuka.run.executeFromKeypad();
      ejecutar = false;
    } else if (!tuka.run.tick()) {
      break;
    }
  }
  return done();
}

}  // namespace orben::testing
