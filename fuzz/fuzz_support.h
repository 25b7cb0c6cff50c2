#pragma once

// What the fuzz harnesses share: a user who answers every box at once, a
// switched-on TUKA-2, a watch on the memory store, the checks made after
// every input and the bounded run from the front panel. A broken rule
// prints what broke and traps, so that libFuzzer keeps the input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "disasm/disassembler.h"
#include "disasm/listing.h"
#include "loader/line_reader.h"
#include "machine/memory_store.h"
#include "machine/random_source.h"
#include "machine/user_interface.h"
#include "panel/tuka2.h"

namespace orben::fuzz {

[[noreturn]] inline void fail(const char* rule) {
  std::fprintf(stderr, "fuzz: rule broken: %s\n", rule);
  std::fflush(stderr);
  __builtin_trap();
}

inline void check(bool holds, const char* rule) {
  if (!holds) fail(rule);
}

// OK to every message, the set answer to the yes/no box (No unless told),
// Cancelar to the value, file and speed dialogs.
class FuzzUi final : public UserInterface {
 public:
  bool answer_yes = false;
  std::uint64_t messages = 0;
  std::uint64_t file_errors = 0;

  void showMessage(std::string_view) override { ++messages; }
  bool askYesNo(std::string_view, std::string_view) override { return answer_yes; }
  std::optional<WordText> askValue() override { return std::nullopt; }
  std::optional<std::string> askObjectFile(const FileRequest&) override { return std::nullopt; }
  std::optional<int> askSpeed(int) override { return std::nullopt; }
  void reportFileError(std::string_view, std::string_view) override { ++file_errors; }
};

// Every write into the memory store stays below word F000, and the store
// keeps the size of words 0000..EFFF. Counts the writes, keeps the last and
// the span of bytes written since the last forget(), so that a reset
// clears only what an input touched.
class MemoryGuard final : public MemoryStoreObserver {
 public:
  explicit MemoryGuard(MemoryStore& store) : store_(store) { store_.addObserver(this); }
  MemoryGuard(const MemoryGuard&) = delete;
  MemoryGuard& operator=(const MemoryGuard&) = delete;
  ~MemoryGuard() override { store_.removeObserver(this); }

  void bytesChanged(std::size_t first, std::size_t count) override {
    check(first + count <= MemoryStore::kMachineBytes, "a write reached the monitor's area");
    ++writes;
    last_first = first;
    last_count = count;
    touched_first_ = std::min(touched_first_, first);
    touched_end_ = std::max(touched_end_, first + count);
  }
  void contentReplaced() override {
    check(store_.size() == MemoryStore::kMachineBytes, "memory changed its size");
    touched_first_ = 0;
    touched_end_ = store_.size();
  }

  // Every byte written since the last forget() back to zero, as one write.
  void zeroTouched() {
    if (touched_first_ >= touched_end_) return;
    static const std::vector<std::uint8_t> zeros(MemoryStore::kMachineBytes);
    store_.setBytes(static_cast<long long>(touched_first_),
                    std::span(zeros).first(touched_end_ - touched_first_));
  }
  // Whether word `address` lies in the span of bytes written.
  bool touchedWord(std::size_t address) const {
    return 2 * address >= touched_first_ && 2 * address + 2 <= touched_end_;
  }
  // The counts and the span start again from nothing.
  void forget() {
    writes = 0;
    last_first = 0;
    last_count = 0;
    touched_first_ = SIZE_MAX;
    touched_end_ = 0;
  }

  std::uint64_t writes = 0;
  std::size_t last_first = 0;
  std::size_t last_count = 0;

 private:
  MemoryStore& store_;
  std::size_t touched_first_ = SIZE_MAX;
  std::size_t touched_end_ = 0;
};

// A TUKA-2 switched on with On/Off. Power-on fills memory from the random
// source only while "Inicializar memoria al Encender TUKA2" is checked; it
// is unchecked here, so memory keeps the zeros it was built with, as a
// FillRandom of 0000 would give, at no cost per input.
//
// Built once and reset after each input: reset() brings back everything a
// freshly built one shows (fuzz/observed.h lists it and the replay build
// compares the two).
class FuzzTuka {
 public:
  FuzzTuka() {
    tuka.power.toggleInitMemoryAtPowerOn();
    tuka.power.TogglePower();
    fresh_ = Controls::of(tuka.machine);
  }
  FuzzTuka(const FuzzTuka&) = delete;
  FuzzTuka& operator=(const FuzzTuka&) = delete;

  void reset() {
    Machine& m = tuka.machine;
    guard.zeroTouched();
    m.setInitMemoryAtPowerOn(fresh_.init_memory_at_power_on);
    powerCycle();
    if (tuka.run.lastOutcome() != Outcome::Executed) {
      // Continuar over the zeros at PC 0000 loads R0 from word 000D and ends
      // as a fresh machine's last outcome says; the power cycle after it
      // undoes the rest.
      m.setPanelState(PanelState::Executing);
      tuka.run.continueExecution();
      check(tuka.run.lastOutcome() == Outcome::Executed, "the reset's instruction did not run");
      powerCycle();
    }
    fresh_.restore(m);
    // Neither goes with the power: breakpoints stay where they were set and
    // the ports an OUT wrote stay written.
    m.breakpoints().clear();
    m.restoreOutputsWritten(0);
    tuka.listing.clear();
    tuka.listing.setSorted(false);
    ui.answer_yes = false;
    ui.messages = 0;
    ui.file_errors = 0;
    // The processor's count only grows; adding its complement wraps it to 0.
    tuka.processor.countExecutions(std::uint64_t{0} - tuka.processor.executions());
    stops_at_reset_ = m.errorStops();
    guard.forget();
  }

  // Error stops since the last reset: the machine's own count only grows.
  std::uint64_t errorStops() const { return tuka.machine.errorStops() - stops_at_reset_; }

  FuzzUi ui;
  FillRandom random{0};
  Tuka2 tuka{ui, random};
  MemoryGuard guard{tuka.machine.memory()};

 private:
  // The control values, captions and edited value, which power does not set.
  struct Controls {
    StepMode step_mode;
    PanelState panel_state;
    int step_interval;
    bool init_memory_at_power_on;
    bool disassembler_mode;
    std::int32_t memory_grid_cursor;
    std::string captions[3];
    WordText edited_value;

    static Controls of(const Machine& m) {
      return {m.stepMode(),
              m.panelState(),
              m.stepInterval(),
              m.initMemoryAtPowerOn(),
              m.disassemblerMode(),
              m.memoryGridCursor(),
              {m.caption(MenuItem::PowerSwitch), m.caption(MenuItem::StepSwitch),
               m.caption(MenuItem::DisassemblerMode)},
              m.EditedValue()};
    }
    void restore(Machine& m) const {
      m.setStepMode(step_mode);
      m.setPanelState(panel_state);
      m.setStepInterval(step_interval);
      m.setInitMemoryAtPowerOn(init_memory_at_power_on);
      m.setDisassemblerMode(disassembler_mode);
      m.setMemoryGridCursor(memory_grid_cursor);
      m.setCaption(MenuItem::PowerSwitch, captions[0]);
      m.setCaption(MenuItem::StepSwitch, captions[1]);
      m.setCaption(MenuItem::DisassemblerMode, captions[2]);
      m.setEditedValue(edited_value);
    }
  };

  // Off (every cell off, the flags down) and on again, drawing the same
  // power-on values as the first time.
  void powerCycle() {
    if (tuka.machine.powerOn()) tuka.power.TogglePower();
    // A tick while off executes nothing and forgets a stop at a breakpoint.
    tuka.run.tick();
    random = FillRandom{0};
    tuka.power.TogglePower();
  }

  Controls fresh_;
  std::uint64_t stops_at_reset_ = 0;
};

// The harness's machine, built at the first input. Each input resets it
// when it ends, so that what the input allocated is freed before libFuzzer
// counts it (an input that leaves memory allocated is searched for leaks).
inline FuzzTuka& keptTuka() {
  static FuzzTuka kept;
  return kept;
}

// Four upper-case hexadecimal digits.
inline bool isWord(const WordText& text) {
  if (text.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

// While TUKA-2 is on, registers, PC and AR hold four upper-case
// hexadecimal digits; IR and DR hold a word, or nothing after a fetch from
// F000 or above. With `ports`, every port holds a word too.
inline void checkCells(const Machine& m, bool ports) {
  check(m.powerOn(), "TUKA-2 went off");
  check(m.memory().size() == MemoryStore::kMachineBytes, "memory changed its size");
  for (int n = 0; n < kRegisterCount; ++n)
    check(isWord(m.ReadRegister(n)), "a register not a word");
  check(isWord(m.cell(kCellPC)), "PC not four hexadecimal digits");
  check(isWord(m.cell(kCellAR)), "AR not a word");
  check(isWord(m.cell(kCellIR)) || m.cell(kCellIR).empty(), "IR neither a word nor empty");
  check(isWord(m.cell(kCellDR)) || m.cell(kCellDR).empty(), "DR neither a word nor empty");
  if (!ports) return;
  for (int port = 0; port < kPortCount; ++port) {
    check(isWord(m.cell(inputPortCell(port))), "an input port not a word");
    check(isWord(m.cell(outputPortCell(port))), "an output port not a word");
  }
}

// The cheap form of checkCells(m, false) for every instruction of a run:
// the same rules on the cells' values, whose texts are never made. A cell
// that holds a word shows its four upper-case hexadecimal digits, and the
// empty cell the empty text; checkCells checks the texts at the end.
inline void checkCellValues(const Machine& m) {
  check(m.powerOn(), "TUKA-2 went off");
  for (int n = 0; n < kRegisterCount; ++n)
    check(m.registerValue(n).isWord(), "a register not a word");
  check(m.cellValue(kCellPC).isWord(), "PC not four hexadecimal digits");
  check(m.cellValue(kCellAR).isWord(), "AR not a word");
  const auto wordOrEmpty = [](const CellValue& v) {
    return v.isWord() || v.state() == CellState::Empty;
  };
  check(wordOrEmpty(m.cellValue(kCellIR)), "IR neither a word nor empty");
  check(wordOrEmpty(m.cellValue(kCellDR)), "DR neither a word nor empty");
}

// The address of a line that begins "[hhhh]: ", or -1.
inline int lineAddress(std::string_view line) {
  if (line.size() < 8 || line[0] != '[' || line.substr(5, 3) != "]: ") return -1;
  return wordAddress(line.substr(1, 4));
}

// Every line begins with "[hhhh]: ", and the last line of each address
// below F000 shows the word memory holds there: its digits while `raw`,
// its disassembly otherwise. Below F000 a load lists a word and stores it;
// a corrupt line empties the listing but keeps the words.
inline void checkListing(const Tuka2& tuka, bool raw) {
  const Listing& listing = tuka.listing;
  std::vector<bool> seen(0x10000);
  for (int i = listing.count() - 1; i >= 0; --i) {
    const std::string line = listing.line(i);
    const int address = lineAddress(line);
    check(address >= 0, "a listing line without its \"[hhhh]: \"");
    if (seen[static_cast<std::size_t>(address)]) continue;
    seen[static_cast<std::size_t>(address)] = true;
    const WordText word = tuka.machine.ReadMemoryWord(address);
    if (word.empty()) continue;  // the monitor's area: the line stays, nothing is stored
    const std::string shown = raw ? word.str() : Disassemble(word.view());
    check(std::string_view(line).substr(8) == shown, "a listing line disagrees with memory");
  }
}

// Keys `start` and presses Ejecutar (in timed mode when `timed`), then lets
// the step timer tick, pressing Continuar whenever a HALT or an error stop
// has put TUKA-2 back in step-by-step mode, up to `max_steps` instructions,
// a fetch from F000 or above, or PC at a word outside the span the input
// and the program wrote: beyond it memory holds the zeros it was built
// with, and a walk through them only repeats LD R0 from RD. Checks each
// instruction's effects, and that a tick stops exactly before the
// breakpoints.
inline void runBounded(FuzzTuka& f, const WordText& start, bool timed, std::uint64_t max_steps) {
  Tuka2& tuka = f.tuka;
  Machine& m = tuka.machine;
  m.setCell(kCellKeypad, start);
  if (timed) tuka.run.toggleStepMode();
  for (std::uint64_t step = 0; step < max_steps; ++step) {
    if (step > 0 && !f.guard.touchedWord(m.cellValue(kCellPC).asWord())) break;
    const std::uint64_t executed = tuka.processor.executions();
    const std::uint64_t messages = f.ui.messages;
    const std::uint64_t stops = f.errorStops();
    Outcome outcome;
    if (step == 0) {
      outcome = tuka.run.executeFromKeypad();
    } else {
      const bool ticking =
          m.stepMode() == StepMode::Timed && m.panelState() == PanelState::Executing;
      const bool at_break = m.breakpoints().has(m.cellValue(kCellPC).asWord());
      if (tuka.run.tick()) {
        check(!at_break, "a tick executed the instruction at a breakpoint");
      } else {
        // A timed run stops only before a breakpoint, with the lamp lit and
        // no message; Continuar then executes the instruction there.
        check(!ticking || (at_break && tuka.run.stoppedAtBreakpoint() && m.stepByStep() &&
                           m.stepLamp() && f.ui.messages == messages && f.errorStops() == stops),
              "a timed run stopped away from a breakpoint, or with a message");
        tuka.run.continueExecution();
      }
      outcome = tuka.run.lastOutcome();
    }
    check(tuka.processor.executions() == executed + 1, "not exactly one instruction executed");
    checkCellValues(m);
    switch (outcome) {
      case Outcome::Executed:
        check(f.ui.messages == messages && f.errorStops() == stops, "a message without a stop");
        break;
      case Outcome::Halted:
        check(m.stepByStep() && f.ui.messages > messages, "HALT without its stop and message");
        break;
      case Outcome::Stopped:
        check(m.stepByStep() && f.ui.messages > messages, "an error stop without its message");
        break;
      case Outcome::NoInstruction:
        check(m.cell(kCellIR).empty() && wordAddress(m.cell(kCellPC).view()) >= 0xF000,
              "an empty fetch below F000");
        break;
    }
    if (outcome == Outcome::NoInstruction) break;  // Continuar would fetch nothing again
  }
  checkCells(m, true);
}

// After a run the listing marks the last line of PC's address, if any.
inline void checkMarkedLine(const Tuka2& tuka) {
  std::string needle = "[";
  needle += tuka.machine.cell(kCellPC).view();
  needle += ']';
  const int found = tuka.listing.findLast(needle);
  if (found >= 0)
    check(tuka.listing.selected() == found, "the listing marks another line than PC's");
}

// The load command after its file dialog, over the input bytes as the
// file's contents, read in short pieces for some input lengths; then the
// run from 0000. A load leaves power, registers, flags and ports alone
// (a refused word only stops the run, which is stopped already), and its
// listing shows the words it stored.
inline void loadAndRun(FuzzTuka& f, ObjectFormat format, const std::string& name,
                       const std::uint8_t* data, std::size_t size) {
  Machine& m = f.tuka.machine;
  constexpr std::size_t kPieces[] = {SIZE_MAX, 1, 2, 3, 7, 64};
  MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size),
                      kPieces[size % std::size(kPieces)]);
  std::vector<WordText> cells_before;
  for (int cell = 0; cell < kCellCount; ++cell) {
    cells_before.push_back(m.cell(static_cast<CellId>(cell)));
  }
  const bool flags_before[] = {m.flag(Flag::Z), m.flag(Flag::S), m.flag(Flag::C), m.flag(Flag::V)};
  const LoadOutcome outcome = f.tuka.load.loadSource(format, name, source, size);

  check(outcome == LoadOutcome::Loaded ||
            (format == ObjectFormat::Ehc && outcome == LoadOutcome::FormatError),
        "a load from memory ended neither loaded nor, for EHC, with a format error");
  check(f.ui.file_errors == 0, "a file error from bytes in memory");
  for (int cell = 0; cell < kCellCount; ++cell) {
    check(m.cell(static_cast<CellId>(cell)) == cells_before[static_cast<std::size_t>(cell)],
          "the load changed a register or port");
  }
  const bool flags_after[] = {m.flag(Flag::Z), m.flag(Flag::S), m.flag(Flag::C), m.flag(Flag::V)};
  check(std::equal(std::begin(flags_before), std::end(flags_before), flags_after),
        "the load changed a flag");
  check(m.stepByStep() && m.panelState() == PanelState::Executing,
        "the load changed the run state");
  std::size_t line_ends = 0;
  for (std::size_t i = 0; i < size; ++i) line_ends += data[i] == '\r' || data[i] == '\n';
  check(static_cast<std::size_t>(f.tuka.listing.count()) <= line_ends + 1,
        "more listing lines than file lines");
  checkListing(f.tuka, outcome != LoadOutcome::Loaded);

  const int lines = f.tuka.listing.count();
  runBounded(f, WordText("0000"), true, 2000);
  check(f.tuka.listing.count() == lines, "the run changed the listing");
  checkMarkedLine(f.tuka);
}

}  // namespace orben::fuzz
