#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "debug/history.h"
#include "debug/step_changes.h"
#include "session/session.h"

namespace orben::session {

// How a debugger command ended: a step or a step back done, a stop of the
// run, or none (a command that executes nothing).
enum class DebugStop : std::uint8_t {
  None,
  Step,
  Back,
  Breakpoint,
  Halt,
  Error,
  NoInstruction,
  MaxSteps,
};
// "step", "back", "breakpoint", "halt", "error", "no-instruction",
// "max-steps"; none for DebugStop::None.
std::optional<std::string_view> debugStopWord(DebugStop stop);

// How the debugger answers: a few lines for a reader, or one JSON object a
// line for a program.
enum class AnswerForm : std::uint8_t { Text, Json };

// tuka2 debug: one command a line on a session already switched on,
// loaded, preset and keyed, left in step mode. Its first step is Ejecutar,
// the following ones Continuar; `continue` runs on as the step timer would
// until a stop, at most `max_steps` instructions, then step mode is on
// again. Every executed instruction is kept for stepping back.
class Debugger final : public InstructionObserver {
 public:
  Debugger(Session& session, std::uint64_t max_steps, AnswerForm form);
  ~Debugger() override;
  Debugger(const Debugger&) = delete;
  Debugger& operator=(const Debugger&) = delete;

  // The first words, before any command (text answers only).
  void greet(std::ostream& out) const;
  // Answers the command `line` on `out`; false once it was quit. An empty
  // line gets no answer.
  bool execute(std::string_view line, std::ostream& out);

  // InstructionObserver: what each instruction changed joins the answer's.
  void instructionBegins() override {}
  void instructionEnds(Outcome outcome) override;
  // A run on plain numbers: the history (told first) has what it changed.
  bool watchesStretches() const override { return true; }
  void stretchEnds(std::uint64_t instructions) override;

 private:
  struct Answer;
  // What one command changed: each cell, flag and word once, in the order
  // of first change, however many instructions it took.
  class Changes {
   public:
    void add(const StepChanges& step);
    const StepChanges& all() const { return all_; }

   private:
    StepChanges all_;
    std::vector<bool> cells_, flags_, words_;
  };

  bool started() const;
  void step(const std::vector<std::string_view>& words, Answer& answer);
  void back(const std::vector<std::string_view>& words, Answer& answer);
  void runOn(Answer& answer);
  void breakpoint(const std::vector<std::string_view>& words, bool set, Answer& answer);
  void memory(const std::vector<std::string_view>& words, Answer& answer);
  void set(const std::vector<std::string_view>& words, Answer& answer);
  void where(Answer& answer) const;
  std::string at() const;
  void writeText(const Answer& answer, std::ostream& out);
  void writeJson(const Answer& answer, std::ostream& out);

  Session& s_;
  History history_;
  std::uint64_t max_steps_;
  AnswerForm form_;
  std::uint64_t first_execution_;
  Changes* collecting_ = nullptr;  // the command's changes, while it executes
  std::size_t checks_told_ = 0;
  std::size_t messages_told_ = 0;
};

}  // namespace orben::session
