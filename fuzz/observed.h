#pragma once

// Everything a harness's machine shows after an input, one line a value,
// and the hooks through which the replay build runs an input on the kept
// machine and on a fresh one: after any input, the kept machine reset must
// show what a fresh one shows, and the next input must leave the two alike.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace orben::fuzz {

using Observed = std::vector<std::string>;

// The cells, flags, control values, captions, the output ports an OUT
// wrote, the breakpoints, memory (a line per 32 words), listing, the
// user's answers and counts, the memory guard's counts, and the error
// stops, executions and last outcome since the last reset.
inline Observed observe(const FuzzTuka& f) {
  const Machine& m = f.tuka.machine;
  Observed o;
  const auto add = [&o](std::string name, const auto& value) {
    if constexpr (std::is_convertible_v<decltype(value), std::string_view>) {
      o.push_back(name + " " + std::string(value));
    } else {
      o.push_back(name + " " + std::to_string(value));
    }
  };
  for (int cell = 0; cell < kCellCount; ++cell) {
    add("cell " + std::to_string(cell), m.cell(static_cast<CellId>(cell)).str());
  }
  for (Flag flag : {Flag::Z, Flag::S, Flag::C, Flag::V}) {
    add("flag " + std::to_string(static_cast<int>(flag)), m.flag(flag) ? 1 : 0);
  }
  add("power", m.powerOn() ? 1 : 0);
  add("step mode", static_cast<int>(m.stepMode()));
  add("step lamp", m.stepLamp() ? 1 : 0);
  add("panel state", static_cast<int>(m.panelState()));
  add("step interval", m.stepInterval());
  add("init memory at power-on", m.initMemoryAtPowerOn() ? 1 : 0);
  add("disassembler mode", m.disassemblerMode() ? 1 : 0);
  add("grid cursor", m.memoryGridCursor());
  for (MenuItem item : {MenuItem::PowerSwitch, MenuItem::StepSwitch, MenuItem::DisassemblerMode}) {
    add("caption " + std::to_string(static_cast<int>(item)), m.caption(item));
  }
  add("edited value", m.EditedValue().str());
  add("outputs written", m.outputsWritten());
  const Breakpoints& breaks = m.breakpoints();
  add("breakpoints", breaks.empty() ? 0 : 1);
  for (unsigned address = 0; address <= 0xFFFF; ++address) {
    const Breakpoints::Kind kind = breaks.at(static_cast<std::uint16_t>(address));
    if (kind != Breakpoints::Kind::None)
      add("breakpoint " + std::to_string(address), static_cast<int>(kind));
  }
  add("stopped at breakpoint", f.tuka.run.stoppedAtBreakpoint() ? 1 : 0);
  const std::string memory = m.memory().hexText();
  add("memory bytes", m.memory().size());
  for (std::size_t at = 0; at < memory.size(); at += 128) {
    add("memory " + std::to_string(at / 4), memory.substr(at, 128));
  }
  const Listing& listing = f.tuka.listing;
  add("listing lines", listing.count());
  for (int i = 0; i < listing.count(); ++i) add("listing " + std::to_string(i), listing.line(i));
  add("listing selected", listing.selected());
  add("listing sorted", listing.sorted() ? 1 : 0);
  add("answer yes", f.ui.answer_yes ? 1 : 0);
  add("messages", f.ui.messages);
  add("file errors", f.ui.file_errors);
  add("guard writes", f.guard.writes);
  add("guard last first", f.guard.last_first);
  add("guard last count", f.guard.last_count);
  add("error stops", f.errorStops());
  add("executions", f.tuka.processor.executions());
  add("last outcome", static_cast<int>(f.tuka.run.lastOutcome()));
  return o;
}

// What the replay build needs of a harness that keeps its machine: `run`
// gives the input to the kept machine or to a freshly built one and
// observes it after (the kept one is then reset, as after every input);
// `idle` observes the kept machine as the last reset left it, or a freshly
// built one, without an input.
struct ReuseHooks {
  Observed (*run)(bool kept, const std::uint8_t* data, std::size_t size) = nullptr;
  Observed (*idle)(bool kept) = nullptr;
};

inline ReuseHooks& reuseHooks() {
  static ReuseHooks hooks;
  return hooks;
}

// The hooks of a harness whose whole state is a FuzzTuka and whose input
// runs through `input(FuzzTuka&, data, size)`.
template <void (*input)(FuzzTuka&, const std::uint8_t*, std::size_t)>
bool registerTukaHooks() {
  reuseHooks() = {
      .run =
          [](bool kept, const std::uint8_t* data, std::size_t size) {
            if (!kept) {
              FuzzTuka fresh;
              input(fresh, data, size);
              return observe(fresh);
            }
            FuzzTuka& f = keptTuka();
            input(f, data, size);
            Observed after = observe(f);
            f.reset();
            return after;
          },
      .idle = [](bool kept) { return kept ? observe(keptTuka()) : observe(FuzzTuka{}); },
  };
  return true;
}

}  // namespace orben::fuzz
