#pragma once

#include <cstdint>

#include "machine/machine.h"

namespace orben {

// How an ExecuteInstruction ended.
enum class Outcome : std::uint8_t {
  Executed,       // an instruction ran to its end
  Halted,         // HALT
  Stopped,        // an execution error stopped the run (ErrorStop)
  NoInstruction,  // the fetch found no word (PC at F000 or above)
};

// The TUKA-2 processor: one call of ExecuteInstruction executes exactly one
// instruction and writes every changed cell before it returns.
class Processor {
 public:
  explicit Processor(Machine& machine) : m_(machine) {}

  // Unless Continuar asked for it (PanelState::ContinueRequested), PC is
  // first loaded from the keypad.
  Outcome ExecuteInstruction();
  // PC := t, then the listing marks the line of t.
  void SetPC(const WordText& t) { m_.setProgramCounter(t); }
  void SetIR(const WordText& t) { m_.setCell(kCellIR, t); }
  // The sequential end of an instruction; refused at PC FFFF.
  void AdvancePC();

  // Calls of ExecuteInstruction so far.
  std::uint64_t executions() const { return executions_; }

 private:
  void loadStore(int op, int a, int offset);
  void inputOutput(int op, int a, int port);
  void arithmetic(int op, int a, int b, int c);
  void shift(int op, int a);
  bool condition(int digit) const;
  void branch(int condition);
  void call(int condition);
  void returnFromCall();
  void halt();
  void jumpToRD();
  void copyPCAndIRToARAndDR();

  Machine& m_;
  std::uint64_t executions_ = 0;
};

}  // namespace orben
