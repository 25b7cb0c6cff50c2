#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debug/checks.h"
#include "debug/history.h"
#include "debug/step_changes.h"
#include "machine/machine.h"
#include "machine/memory_store.h"
#include "machine/processor.h"
#include "panel/tuka2.h"
#include "session/program_file.h"
#include "session/source_map.h"

namespace orben::session {

// What a front end showing the source is told, each as it happens.
class SourceDebuggingListener {
 public:
  virtual ~SourceDebuggingListener() = default;
  // The source line of the instruction at PC: from 1, 0 for none.
  virtual void lineAtPCChanged(std::size_t line) = 0;
  // A step forward or back is over: what it changed (or restored).
  virtual void stepped(const StepChanges& changes) = 0;
  // Whether there is a step to take back.
  virtual void canStepBackChanged(bool can) = 0;
  // A classic mistake, as it is found; `line` is its source line (0 when
  // the source does not describe memory there).
  virtual void checkFound(const Check& check, std::size_t line) = 0;
};

// A breakpoint toggled on a line or an address: where it is, in the source
// (0 when no line describes the address) and in memory, and whether it is
// now set.
struct ToggledBreakpoint {
  std::size_t line = 0;
  std::uint16_t address = 0;
  bool set = false;
};

// The debugging a source editor gives, over the one machine of a window:
// the source line at PC, breakpoints on lines, running to a line, stepping
// back with what each step changed, and the checks as they are found.
//
// The source describes memory from a successful load until the text is
// edited or anything but the program's own instructions (and stepping
// back) changes a word the source put there; until then no line is shown
// at PC rather than a wrong one.
class SourceDebugging final : public MachineObserver,
                              public MemoryStoreObserver,
                              public InstructionObserver {
 public:
  explicit SourceDebugging(Tuka2& tuka, SourceDebuggingListener* listener = nullptr);
  ~SourceDebugging() override;
  SourceDebugging(const SourceDebugging&) = delete;
  SourceDebugging& operator=(const SourceDebugging&) = delete;

  // Ensamblar y cargar (assembleAndLoad) of `text`, named `name`, with
  // breakpoints on `breakpoint_lines` (the editor's, from 1): once loaded,
  // those on the words of the source loaded before go (others stay), and
  // each line gets one at its first word, or at the first line after it
  // that gives words; breakpointLines() then tells where they went.
  EditorLoad assembleAndLoad(std::string_view text, const std::string& name,
                             const std::vector<std::size_t>& breakpoint_lines);
  const SourceMap& sourceMap() const { return map_; }
  // Whether the source still describes memory.
  bool matches() const { return matches_; }
  // The editor's text changed: the source no longer describes memory.
  void sourceEdited();

  // The line of the instruction at PC (from 1), 0 for none.
  std::size_t lineAtPC() const { return line_at_pc_; }
  // The lines that hold breakpoints, in order.
  std::vector<std::size_t> breakpointLines() const;
  // Toggles the breakpoint of line `line` (at its first word, or at the
  // first line after it that gives words); none while the source does not
  // describe memory or no line from `line` on gives words.
  std::optional<ToggledBreakpoint> toggleAtLine(std::size_t line);
  // Toggles the breakpoint at `address` (a listing's line).
  ToggledBreakpoint toggleAtAddress(std::uint16_t address);

  // Ejecutar hasta el cursor: a breakpoint that goes once reached at line
  // `line` (as toggleAtLine finds its word), then a timed run from where
  // the program is (Continuar), or from the keypad's address when it has
  // not run since its load (Ejecutar). False when there is no such word
  // or TUKA-2 is off: nothing runs.
  bool runToLine(std::size_t line);

  // Paso atrás: the state before the last executed instruction. False when
  // there is none.
  bool stepBack();
  bool canStepBack() const { return history_.depth() > 0; }
  // What the last step forward changed, or the last step back restored.
  const StepChanges& lastChanges() const { return history_.lastChanges(); }
  const std::vector<Check>& checks() const { return checks_.found(); }

  // MachineObserver
  Notices notices() const override {
    return {.cells = true,
            .flags = true,
            .controls = false,
            .captions = false,
            .program_counter = false};
  }
  void cellChanged(CellId cell) override;
  void flagChanged(Flag flag) override;
  // MemoryStoreObserver
  void bytesChanged(std::size_t first, std::size_t count) override;
  void contentReplaced() override { endMatch(); }
  // InstructionObserver
  void instructionBegins() override { in_instruction_ = true; }
  void instructionEnds(Outcome outcome) override;
  bool watchesStretches() const override { return true; }
  void stretchBegins() override { in_instruction_ = true; }
  void stretchEnds(std::uint64_t instructions) override;

 private:
  // The word of `line`, or of the first line after it that gives words.
  const MappedLine* codeLineFrom(std::size_t line) const;
  void endMatch();
  // Tells the listener what changed since it was last told.
  void tell(bool stepped);

  Tuka2& tuka_;
  SourceDebuggingListener* listener_;
  // History first: it must see each instruction before this does.
  History history_;
  Checks checks_;
  SourceMap map_;
  bool matches_ = false;
  bool in_instruction_ = false;
  bool restoring_ = false;
  bool loading_ = false;
  bool started_ = false;  // an instruction ran since the load
  std::size_t line_at_pc_ = 0;
  bool could_step_back_ = false;
  std::size_t checks_told_ = 0;
};

}  // namespace orben::session
