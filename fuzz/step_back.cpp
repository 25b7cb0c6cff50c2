// Stepping back over a random program and a random walk of steps and
// backs: after every back the machine is exactly as it was before that
// step, after every step forward again it is as it was the first time, and
// back at the start it is as it began, memory included. One machine
// serves every input and is reset after each (see FuzzTuka).
//
// Input: one byte n, then n words of program from 0000 (at most 64), the
// flags and RD in one more word (bits 12..15: Z S C V; bits 0..11: RD);
// then the walk, one byte a move: bit 7 set steps back (bits 0..6 + 1)
// times; else, after the first step, bit 6 set runs at most bits 0..5 + 1
// instructions on plain numbers, as a timed run does (the step switch
// first turned to timed and one instruction continued, if it was not),
// the history recording each; else it steps forward (bits 0..5 + 1)
// times. The states inside a run on numbers are learnt when stepping back
// into them, and checked when stepped forward again one by one.

#include "debug/history.h"
#include "machine/fast_run.h"
#include "observed.h"

namespace {

using namespace orben;

// Every cell, flag and control a step changes; memory is compared whole
// only where the walk is back at its start.
std::vector<std::uint64_t> smallState(const Tuka2& tuka) {
  const Machine& m = tuka.machine;
  std::vector<std::uint64_t> s;
  s.reserve(kCellCount + 8);
  for (int cell = 0; cell < kCellCount; ++cell) {
    s.push_back(m.cellValue(static_cast<CellId>(cell)).bits());
  }
  for (Flag f : {Flag::Z, Flag::S, Flag::C, Flag::V}) s.push_back(m.flag(f));
  s.push_back(static_cast<std::uint64_t>(m.stepMode()) | std::uint64_t{m.stepLamp()} << 8 |
              std::uint64_t{static_cast<std::uint8_t>(m.panelState())} << 16);
  s.push_back(static_cast<std::uint64_t>(tuka.listing.selected() + 1));
  s.push_back(m.outputsWritten());
  s.push_back(tuka.processor.executions());
  return s;
}

void walk(fuzz::FuzzTuka& f, const std::uint8_t* data, std::size_t size) {
  Tuka2& tuka = f.tuka;
  Machine& m = tuka.machine;
  std::size_t at = 0;
  const auto byte = [&]() -> unsigned { return at < size ? data[at++] : 0; };
  const unsigned words = byte() % 65;
  for (unsigned i = 0; i < words; ++i) {
    const unsigned high = byte();
    const unsigned word = high << 8 | byte();
    m.WriteMemoryWord(i, CellValue::word(word));
    if (i % 3 != 2)
      tuka.listing.add(static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(word),
                       Listing::Form::Disassembled);
  }
  const unsigned high = byte();
  const unsigned setup = high << 8 | byte();
  for (int flag = 0; flag < kFlagCount; ++flag)
    m.setFlag(static_cast<Flag>(flag), (setup >> (12 + flag) & 1) != 0);
  m.WriteRegister(13, CellValue::word(setup & 0x0FFF));
  m.setCell(kCellKeypad, CellValue::word(0));

  History history(tuka);
  const std::vector<std::uint8_t> memory_at_start(m.memory().data(),
                                                  m.memory().data() + m.memory().size());
  std::vector<std::vector<std::uint64_t>> path{smallState(tuka)};
  std::vector<std::vector<std::uint64_t>> ahead;  // the states stepped back from
  std::vector<std::size_t> switched;              // the states first reached after the step switch
  int moves = 0;
  while (at < size && moves++ < 64) {
    const unsigned move = byte();
    if ((move & 0xC0) == 0x40 && path.size() > 1) {
      ahead.clear();
      if (m.stepMode() != StepMode::Timed) {
        // Timed, and Continuar to go on: the instruction it executes takes
        // the switch into its record. A step forward again to there
        // switches again.
        std::erase_if(switched, [&](std::size_t j) { return j >= path.size(); });
        switched.push_back(path.size());
        tuka.run.toggleStepMode();
        tuka.run.continueExecution();
        path.push_back(smallState(tuka));
      }
      FastRun fast(m, tuka.processor);
      const std::uint64_t ran = fast.run(FastRun::Start::Tick, (move & 0x3F) + 1);
      if (ran > 0) {
        // Each step's state is unknown until a step back reaches it.
        path.insert(path.end(), ran - 1, {});
        path.push_back(smallState(tuka));
        ahead.clear();
      }
      fuzz::check(history.depth() == path.size() - 1, "the history's depth and the run's");
      continue;
    }
    const unsigned count = (move & (move & 0x80 ? 0x7F : 0x3F)) + 1;
    for (unsigned i = 0; i < count; ++i) {
      if (move & 0x80) {
        if (path.size() == 1) {
          fuzz::check(!history.stepBack(), "a step back before the first step");
          break;
        }
        fuzz::check(history.stepBack(), "a recorded step did not step back");
        ahead.push_back(std::move(path.back()));
        path.pop_back();
        if (path.back().empty()) {
          path.back() = smallState(tuka);
        } else {
          fuzz::check(smallState(tuka) == path.back(), "a step back left another state");
        }
      } else {
        if (ahead.empty()) {
          std::erase_if(switched, [&](std::size_t j) { return j >= path.size(); });
        } else if (std::find(switched.begin(), switched.end(), path.size()) != switched.end()) {
          tuka.run.toggleStepMode();
        }
        if (path.size() == 1) {
          tuka.run.executeFromKeypad();
        } else {
          tuka.run.continueExecution();
        }
        path.push_back(smallState(tuka));
        if (!ahead.empty()) {
          fuzz::check(path.back() == ahead.back(), "a step again took another way");
          ahead.pop_back();
        }
      }
    }
    fuzz::check(history.depth() == path.size() - 1, "the history's depth and the walk's");
  }
  while (history.stepBack()) path.pop_back();
  fuzz::check(path.size() == 1 && smallState(tuka) == path.front(),
              "stepping back to the start left another state");
  fuzz::check(std::equal(memory_at_start.begin(), memory_at_start.end(), m.memory().data()),
              "stepping back to the start left other memory");
}

[[maybe_unused]] const bool kHooked = fuzz::registerTukaHooks<walk>();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orben::fuzz::FuzzTuka& f = orben::fuzz::keptTuka();
  walk(f, data, size);
  f.reset();
  return 0;
}
