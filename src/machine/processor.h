#pragma once

#include <cstdint>
#include <vector>

#include "machine/machine.h"
#include "machine/number_steps.h"

namespace orben {

// How an ExecuteInstruction ended.
enum class Outcome : std::uint8_t {
  Executed,       // an instruction ran to its end
  Halted,         // HALT
  Stopped,        // an execution error stopped the run (ErrorStop)
  NoInstruction,  // the fetch found no word (PC at F000 or above)
};

// What a run on plain numbers (FastRun) leaves to the instruction cycle so
// that an observer needing only some instructions sees each of them: per
// word below F000, the instruction fetched there, an ST into it, a CALL's
// push into it; or, while `every` is set, every instruction.
struct RunGuards {
  static constexpr std::uint8_t kFetch = 1;
  static constexpr std::uint8_t kStore = 2;
  static constexpr std::uint8_t kPush = 4;
  std::vector<std::uint8_t> at;
  bool every = false;
};

// Told when each instruction begins (before its first change, PC from the
// keypad included) and when it ends (after its last change, before anyone
// answers its message): what it changed in between is that instruction's.
//
// A run on plain numbers (FastRun) goes on while every observer allows it:
// by giving guards (it then sees each instruction they hold), by taking
// each instruction's NumberStep, or by watching stretches as wholes. Each
// is told where such a stretch begins and ends (after its changes are
// written); every store in between is an instruction's.
class InstructionObserver {
 public:
  virtual ~InstructionObserver() = default;
  virtual void instructionBegins() = 0;
  virtual void instructionEnds(Outcome outcome) = 0;
  // None: this observer does not hold instructions by address.
  virtual const RunGuards* guards() const { return nullptr; }
  // Where a stretch appends what each of its instructions overwrote; none:
  // this observer needs no such record.
  virtual NumberSteps* numberSteps() { return nullptr; }
  // Whether a stretch's beginning and end are all this observer needs.
  virtual bool watchesStretches() const { return false; }
  virtual void stretchBegins() {}
  virtual void stretchEnds(std::uint64_t /*instructions*/) {}
};

// How a run on plain numbers may go while the instruction observers watch.
struct NumberRun {
  bool allowed = true;
  const RunGuards* guards = nullptr;  // the instructions left to the cycle
  NumberSteps* steps = nullptr;       // where each instruction's record goes
};

// The TUKA-2 processor: one call of ExecuteInstruction executes exactly one
// instruction and writes every changed cell before it returns.
class Processor {
 public:
  explicit Processor(Machine& machine) : m_(machine) {}

  // Unless Continuar asked for it (PanelState::ContinueRequested), PC is
  // first loaded from the keypad.
  Outcome ExecuteInstruction();
  // The same, without telling the instruction observers.
  Outcome executeUnwatched();
  // PC := t, then the listing marks the line of t.
  void SetPC(const CellValue& t) { m_.setProgramCounter(t); }
  void SetIR(const CellValue& t) { m_.setCell(kCellIR, t); }
  // The sequential end of an instruction; refused at PC FFFF.
  void AdvancePC();

  // Instructions executed so far, one per call of ExecuteInstruction and
  // each that a run on plain numbers counted in (FastRun).
  std::uint64_t executions() const { return executions_; }
  void countExecutions(std::uint64_t n) { executions_ += n; }
  // Stepping back takes an execution out of the count.
  void uncountExecution() {
    if (executions_ > 0) --executions_;
  }

  // Watching instructions one by one.
  void addInstructionObserver(InstructionObserver* observer);
  void removeInstructionObserver(InstructionObserver* observer);
  bool watched() const { return !instruction_observers_.empty(); }
  // Whether a run on plain numbers may execute, and what it keeps: none
  // while an observer watches every instruction, or while more than one
  // gives guards or takes number steps.
  NumberRun numberRun() const;
  // The run on plain numbers tells every observer.
  void stretchBegins();
  void stretchEnds(std::uint64_t instructions);

 private:
  void loadStore(int op, int a, int offset);
  void inputOutput(int op, int a, int port);
  // ADDS, SUBS, NAND and the shifts: the result into register a, the flags,
  // the advance.
  void compute(int op, int a, const CellValue& x, const CellValue& y);
  bool condition(int digit) const;
  void branch(int condition);
  void call(int condition);
  void returnFromCall();
  void halt();
  void jumpToRD();
  void copyPCAndIRToARAndDR() {
    m_.setCell(kCellAR, m_.cellValue(kCellPC));
    m_.setCell(kCellDR, m_.cellValue(kCellIR));
  }

  Machine& m_;
  std::uint64_t executions_ = 0;
  std::vector<InstructionObserver*> instruction_observers_;
};

}  // namespace orben
