#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "machine/machine.h"
#include "machine/processor.h"
#include "text/catalog.h"

namespace orben {

class Tuka2;

// The classic mistakes a run can show, as warnings: none stops the run.
enum class CheckKind : std::uint8_t {
  UnwrittenWord,       // executing a word nothing wrote since memory was filled
  RdNotSet,            // a branch, call, LD or ST through RD's power-on value
  ProgramOverwritten,  // an ST over an instruction of the program
  StackIntoProgram,    // a CALL's push over a word of the program
  EmptyStackReturn,    // RET with RE at F000 or above
};

// The kind's name in reports: "unwritten-word", "rd-not-set",
// "program-overwritten", "stack-into-program", "ret-empty-stack".
std::string_view checkKindName(CheckKind kind);

struct Check {
  CheckKind kind;
  std::uint16_t address;  // of the instruction
  std::uint64_t step;     // its number among the executions, from 1
  Text text;
};

// Watches each instruction as it begins and notes the mistakes above, each
// kind once per instruction address (a loop repeats none).
//
// Nothing else is reported for the instructions executed in words nothing
// wrote: they follow from the first mistake. A word counts as written when anything but a fill of
// memory (at power-on, Inicializar Memoria, tuka2's --fill or --seed) put it there: a load, a keyed
// Cargar, a grid edit, a store. Words put there from outside a run (a load, Cargar, a grid edit)
// are the program's; an ST over one of them is reported once it has executed as an instruction (a
// store into the program's own data is not a mistake), a push over any of them always. Until the
// first fill every word counts as written, and until the first power-on RD counts as set, so that
// checks attached to a machine already running report nothing they cannot know.
//
// Runs on plain numbers go on while checks watch (see guards()), and find
// what the instruction cycle would.
class Checks final : public MachineObserver,
                     public MemoryStoreObserver,
                     public InstructionObserver {
 public:
  explicit Checks(Tuka2& tuka);
  ~Checks() override;
  Checks(const Checks&) = delete;
  Checks& operator=(const Checks&) = delete;

  const std::vector<Check>& found() const { return found_; }

  Notices notices() const override {
    return {.cells = true,
            .flags = false,
            .controls = true,
            .captions = false,
            .program_counter = false};
  }
  void cellChanged(CellId cell) override;
  void controlChanged(Control control) override;
  void bytesChanged(std::size_t first, std::size_t count) override;
  void contentReplaced() override;
  void instructionBegins() override;
  void instructionEnds(Outcome) override { in_instruction_ = false; }
  // A run on plain numbers leaves to the instruction cycle every
  // instruction where a check may fire: while RD is unset, all; else the
  // words nothing wrote, the program's words until each first executes,
  // an ST over an executed one and a push over any.
  const RunGuards* guards() const override { return &guards_; }
  void stretchBegins() override { in_instruction_ = true; }
  void stretchEnds(std::uint64_t instructions) override;

 private:
  void report(CheckKind kind, std::uint16_t address, Text text);
  void guard(std::size_t word);
  void setRdSet(bool set) {
    rd_set_ = set;
    guards_.every = !set;
  }

  Machine& m_;
  Processor& processor_;
  bool in_instruction_ = false;
  std::vector<bool> written_;
  std::vector<bool> program_;
  std::vector<bool> executed_;
  bool rd_set_ = true;
  bool rd_power_on_write_pending_ = false;
  bool in_unwritten_ = false;
  std::uint64_t step_ = 0;
  std::set<std::pair<CheckKind, std::uint16_t>> reported_;
  RunGuards guards_;
  std::vector<Check> found_;
};

}  // namespace orben
