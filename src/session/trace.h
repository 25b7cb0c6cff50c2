#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "debug/step_changes.h"
#include "machine/machine.h"
#include "session/source_map.h"

namespace orben::session {

// An instruction as the trace and the debugger give it: its address, its
// word ("----" for none), the disassembly and, with a map that has one,
// the source line that made the word.
std::string instructionText(const WordText& address, const WordText& word, const SourceMap* source);
// The name of a cell in the trace and the debugger's answers: R1, PC, IP2...
std::string cellName(CellId cell);
// Each change with its value now: "R1=000A PC=0001 Z=1 [0040]=0001".
std::string changesText(const Machine& m, const StepChanges& changes);

// Watches one instruction at a time and writes its trace line: the address,
// the word, its disassembly and every cell, flag and memory word it changed
// (each with its final value, in the order of first change). With the map
// of the source loaded, the line that made the word follows its
// disassembly.
class TraceObserver final : public MachineObserver, public MemoryStoreObserver {
 public:
  explicit TraceObserver(Machine& machine, const SourceMap* source = nullptr);
  ~TraceObserver() override;

  // Call before the instruction, with the address it will fetch from.
  void beginInstruction(const WordText& address);
  // Writes the line for the instruction since Begin.
  void endInstruction(std::ostream& err);

  void cellChanged(CellId cell) override;
  void flagChanged(Flag flag) override;
  void controlChanged(Control) override {}
  void bytesChanged(std::size_t first, std::size_t count) override;
  void contentReplaced() override {}

 private:
  Machine& m_;
  const SourceMap* source_;
  WordText address_;
  WordText word_;
  StepChanges changes_;
};

}  // namespace orben::session
