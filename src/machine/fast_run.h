#pragma once

#include <cstdint>
#include <memory>

#include "machine/machine.h"
#include "machine/processor.h"

namespace orben {

// A timed run that nothing watches step by step (tuka2 run without
// --trace). The instructions that end without stopping the run execute on
// plain numbers, with no notice per step; when it stops, the cells, flags,
// ports and the listing's marked line are brought up to date, so that the
// machine is as the same instructions executed one tick at a time would
// have left it. The instruction that stops the run (HALT, an error stop, a
// fetch from F000 or above), and any that meets a cell holding no word, is
// left to ExecuteInstruction, which shows its message and tells its
// changes as usual. So is each instruction that an instruction
// observer's guards hold (RunGuards); an observer that takes number steps
// gets each executed instruction's record, and while one watches every
// instruction the run executes none (InstructionObserver).
//
// Memory observers are told of each store as it happens. The addresses
// the machine's observers watch in PC (the listing's lines) are asked
// once, at the first run: executing instructions never changes them.
class FastRun {
 public:
  // How the run begins: as Ejecutar (PC from the keypad, unless Continuar
  // asked for the current one) or as a tick of the step timer, which runs
  // only while TUKA-2 is on, timed and executing. Either way every further
  // instruction is a tick.
  enum class Start : std::uint8_t { Ejecutar, Tick };

  FastRun(Machine& machine, Processor& processor);
  ~FastRun();
  FastRun(const FastRun&) = delete;
  FastRun& operator=(const FastRun&) = delete;

  // Executes at most `limit` instructions and returns how many; 0 when the
  // first is one to leave to ExecuteInstruction, or when the timer would
  // run none after it (off, or step by step). The processor counts them.
  std::uint64_t run(Start start, std::uint64_t limit);

 private:
  Machine& m_;
  Processor& processor_;
  std::unique_ptr<WatchedAddresses> watched_;
};

}  // namespace orben
