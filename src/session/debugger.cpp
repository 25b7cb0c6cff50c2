#include "session/debugger.h"

#include <charconv>
#include <sstream>

#include "session/debugger_answer.h"
#include "session/report.h"
#include "session/trace.h"
#include "text/catalog.h"

namespace orben::session {

namespace {

constexpr std::uint64_t kMemoryWordsShown = 8;  // mem ADDR without N
constexpr std::size_t kWordsPerLine = 8;

std::vector<std::string_view> splitWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const std::size_t first = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > first) words.push_back(line.substr(first, i - first));
  }
  return words;
}

std::optional<std::uint64_t> wholeNumber(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string lowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The command a word names, its short form included.
std::string commandOf(std::string_view word) {
  const std::string name = lowerCase(word);
  if (name == "s") return "step";
  if (name == "b") return "break";
  if (name == "c") return "continue";
  if (name == "q") return "quit";
  return name;
}

DebugStop debugStopOf(Stop stop) {
  switch (stop) {
    case Stop::Halt:
      return DebugStop::Halt;
    case Stop::NoInstruction:
      return DebugStop::NoInstruction;
    case Stop::MaxSteps:
      return DebugStop::MaxSteps;
    case Stop::Breakpoint:
      return DebugStop::Breakpoint;
    default:
      return DebugStop::Error;
  }
}

DebugStop debugStopOf(Outcome outcome) {
  const std::optional<Stop> stop = stopOf(outcome);
  return stop ? debugStopOf(*stop) : DebugStop::Step;
}

// break, delete and mem without an address they can read.
const std::string_view kNeedsAnAddress = N_(
    "{0} needs an address of one to four hexadecimal digits or a label of the source, not '{1}'");

const std::string_view kHelp =
    N_("step [N] (s)         execute N instructions (default 1): Ejecutar first, then Continuar\n"
       "back [N]             take back the last N instructions (default 1)\n"
       "continue (c)         run on as the step timer would, to a stop\n"
       "break ADDR|LABEL (b) stop a run before the instruction there\n"
       "delete ADDR|LABEL    remove that breakpoint\n"
       "regs                 PC, IR, AR, DR, the keypad, R0..RF, the flags and the step mode\n"
       "mem ADDR [N]         N memory words from ADDR (default 8)\n"
       "set REG|[ADDR]|inPP VALUE\n"
       "                     write a register (R0..RF, PC, IR, AR, DR), a flag (Z, S, C, V:\n"
       "                     0 or 1), a memory word or an input port (in00..in3F)\n"
       "where                the instruction at PC and its source line\n"
       "checks               every check found so far\n"
       "quit (q)             end the session (so does the end of the input)");

}  // namespace

Debugger::Debugger(Session& session, std::uint64_t max_steps, AnswerForm form)
    : s_(session),
      history_(session.tuka()),
      max_steps_(max_steps),
      form_(form),
      first_execution_(session.tuka().processor.executions()) {
  s_.tuka().processor.addInstructionObserver(this);
}

Debugger::~Debugger() {
  s_.tuka().processor.removeInstructionObserver(this);
}

void Debugger::instructionEnds(Outcome) {
  if (collecting_) collecting_->add(history_.lastChanges());
}

void Debugger::stretchEnds(std::uint64_t instructions) {
  if (collecting_ && instructions > 0) collecting_->add(history_.lastChanges());
}

bool Debugger::started() const {
  const PanelState panel = s_.machine().panelState();
  return s_.tuka().processor.executions() > first_execution_ && panel != PanelState::Address &&
         panel != PanelState::Register;
}

std::string Debugger::at() const {
  const Machine& m = s_.machine();
  const WordText address = m.cell(started() ? kCellPC : kCellKeypad);
  return instructionText(address, m.ReadMemoryWord(WordTextToValue(address)), &s_.sourceMap());
}

void Debugger::greet(std::ostream& out) const {
  if (form_ == AnswerForm::Text) {
    out << trf("at: {0}", at()) << '\n' << tr("(help lists the commands)") << '\n';
  }
  out.flush();
}

bool Debugger::execute(std::string_view line, std::ostream& out) {
  const std::vector<std::string_view> words = splitWords(line);
  if (words.empty()) return true;
  Answer answer;
  answer.command = commandOf(words[0]);
  const std::string& command = answer.command;
  const std::size_t arguments = words.size() - 1;
  const auto takes = [&](std::size_t most) {
    if (arguments <= most) return true;
    answer.error = most == 0
                       ? Text("{0} takes no argument, not '{1}'", command, words[most + 1])
                       : Text("{0} takes at most {1}, not '{2}'", command, most, words[most + 1]);
    return false;
  };
  collecting_ = &answer.changes;
  if (command == "step") {
    if (takes(1)) step(words, answer);
  } else if (command == "back") {
    if (takes(1)) back(words, answer);
  } else if (command == "continue") {
    if (takes(0)) runOn(answer);
  } else if (command == "break" || command == "delete") {
    if (takes(1)) breakpoint(words, command == "break", answer);
  } else if (command == "regs") {
    if (takes(0)) {
      std::stringstream cells;
      writeCellLines(s_.machine(), cells);
      for (std::string text; std::getline(cells, text);) answer.lines.push_back(text);
    }
  } else if (command == "mem") {
    if (takes(2)) memory(words, answer);
  } else if (command == "set") {
    if (takes(2)) set(words, answer);
  } else if (command == "where") {
    if (takes(0)) where(answer);
  } else if (command == "checks") {
    if (takes(0)) {
      checks_told_ = 0;  // every one, as if none had been told
      if (s_.checks().empty()) answer.lines.push_back(std::string(tr("no checks")));
    }
  } else if (command == "help") {
    std::istringstream help{std::string(tr(kHelp))};
    for (std::string text; std::getline(help, text);) answer.lines.push_back(text);
  } else if (command != "quit") {
    answer.error = Text("unknown command '{0}' (help lists the commands)", words[0]);
  }
  collecting_ = nullptr;
  if (form_ == AnswerForm::Json) {
    writeJson(answer, out);
  } else {
    writeText(answer, out);
  }
  out.flush();
  return command != "quit";
}

void Debugger::step(const std::vector<std::string_view>& words, Answer& answer) {
  std::uint64_t count = 1;
  if (words.size() > 1) {
    const auto n = wholeNumber(words[1]);
    if (!n || *n == 0) {
      answer.error = Text("step needs a whole number of instructions, not '{0}'", words[1]);
      return;
    }
    count = *n;
  }
  Tuka2& tuka = s_.tuka();
  Machine& m = tuka.machine;
  std::uint64_t done = 0;
  WordText address, word;
  answer.stop = DebugStop::Step;
  while (done < count) {
    const bool ejecutar = !started();
    address = m.cell(ejecutar ? kCellKeypad : kCellPC);
    word = m.ReadMemoryWord(WordTextToValue(address));
    Outcome outcome;
    if (ejecutar) {
      outcome = tuka.run.executeFromKeypad();
    } else {
      tuka.run.continueExecution();
      outcome = tuka.run.lastOutcome();
    }
    ++done;
    answer.stop = debugStopOf(outcome);
    if (answer.stop != DebugStop::Step) break;
  }
  const std::string last = instructionText(address, word, &s_.sourceMap());
  answer.lines.push_back(done == 1 ? trf("step: {0}", last)
                                   : trf("step: {0} instructions, the last {1}", done, last));
  if (answer.stop != DebugStop::Step) {
    answer.lines.push_back(trf("stop: {0}", *debugStopWord(answer.stop)));
  }
  answer.shows_place = true;
}

void Debugger::back(const std::vector<std::string_view>& words, Answer& answer) {
  std::uint64_t count = 1;
  if (words.size() > 1) {
    const auto n = wholeNumber(words[1]);
    if (!n || *n == 0) {
      answer.error = Text("back needs a whole number of steps, not '{0}'", words[1]);
      return;
    }
    count = *n;
  }
  std::uint64_t done = 0;
  while (done < count && history_.stepBack()) {
    answer.changes.add(history_.lastChanges());
    ++done;
  }
  if (done == 0) {
    answer.error = Text("no step to take back (a hand edit, a load or power ends the history)");
    return;
  }
  answer.stop = DebugStop::Back;
  answer.lines.push_back(
      done == 1 ? trf("back: {0} step, {1} more can be taken back", done, history_.depth())
                : trf("back: {0} steps, {1} more can be taken back", done, history_.depth()));
  answer.shows_place = true;
}

void Debugger::runOn(Answer& answer) {
  Tuka2& tuka = s_.tuka();
  const RunStart start = started() ? RunStart::Continuar : RunStart::Ejecutar;
  s_.leaveStepMode();
  std::ostringstream no_trace;
  const RunResult ran =
      runToTheEnd(tuka, RunPath::Fast, {max_steps_, std::nullopt}, no_trace, nullptr, start);
  // Step by step again, so that the next step is one instruction.
  if (!tuka.machine.stepByStep()) tuka.run.toggleStepMode();
  answer.stop = debugStopOf(ran.stop);
  const std::string_view stop = *debugStopWord(answer.stop);
  answer.lines.push_back(ran.steps == 1 ? trf("stop: {0} after {1} step", stop, ran.steps)
                                        : trf("stop: {0} after {1} steps", stop, ran.steps));
  answer.shows_place = true;
}

void Debugger::breakpoint(const std::vector<std::string_view>& words, bool set, Answer& answer) {
  const std::string_view verb = set ? "break" : "delete";
  const auto address = words.size() > 1 ? s_.addressOf(words[1]) : std::nullopt;
  if (!address) {
    answer.error = Text(kNeedsAnAddress, verb, words.size() > 1 ? words[1] : "");
    return;
  }
  Breakpoints& breakpoints = s_.machine().breakpoints();
  const std::string where(wordOf(*address).view());
  if (set) {
    breakpoints.set(*address);
    answer.lines.push_back(trf("breakpoint at {0}", where));
  } else if (!breakpoints.has(*address)) {
    answer.error = Text("no breakpoint at {0}", where);
  } else {
    breakpoints.remove(*address);
    answer.lines.push_back(trf("breakpoint at {0} deleted", where));
  }
}

void Debugger::memory(const std::vector<std::string_view>& words, Answer& answer) {
  const auto first = words.size() > 1 ? s_.addressOf(words[1]) : std::nullopt;
  if (!first) {
    answer.error = Text(kNeedsAnAddress, "mem", words.size() > 1 ? words[1] : "");
    return;
  }
  std::uint64_t count = kMemoryWordsShown;
  if (words.size() > 2) {
    const auto n = wholeNumber(words[2]);
    if (!n || *n == 0) {
      answer.error = Text("mem needs a whole number of words, not '{0}'", words[2]);
      return;
    }
    count = *n;
  }
  count = std::min<std::uint64_t>(count, 0x10000 - *first);
  answer.memory.emplace(*first, static_cast<std::uint32_t>(count));
  const Machine& m = s_.machine();
  std::string text;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t address = *first + i;
    if (i % kWordsPerLine == 0) text = std::string(wordOf(address).view()) + ":";
    const WordText word = m.ReadMemoryWord(address);
    text.append(" ").append(word.empty() ? "----" : word.view());
    if (i % kWordsPerLine == kWordsPerLine - 1 || i + 1 == count) answer.lines.push_back(text);
  }
}

void Debugger::set(const std::vector<std::string_view>& words, Answer& answer) {
  if (words.size() < 3) {
    answer.error = Text(
        "set needs what to write and its value: set R1 0005, set [0040] 0001, set in02 0015, "
        "set Z 1");
    return;
  }
  Machine& m = s_.machine();
  const std::string target = lowerCase(words[1]);
  StepChanges changed;
  if (target.size() == 1 && std::string_view("zscv").find(target[0]) != std::string_view::npos) {
    if (words[2] != "0" && words[2] != "1") {
      answer.error = Text("a flag is 0 or 1, not '{0}'", words[2]);
      return;
    }
    const Flag flags[] = {Flag::Z, Flag::S, Flag::C, Flag::V};
    const Flag flag = flags[std::string_view("zscv").find(target[0])];
    m.setFlag(flag, words[2] == "1");
    changed.addFlag(flag);
  } else {
    const auto value = s_.addressOf(words[2]);
    if (!value) {
      answer.error = Text(
          "set needs a value of one to four hexadecimal digits or a name of the source, not "
          "'{0}'",
          words[2]);
      return;
    }
    const CellValue word = CellValue::word(*value);
    std::optional<CellId> cell;
    if (target.size() == 2 && target[0] == 'r' && (HexCharToValue(target[1]) >= 0)) {
      cell = registerCell(HexCharToValue(target[1]));
    } else if (target == "pc") {
      cell = kCellPC;
    } else if (target == "ir") {
      cell = kCellIR;
    } else if (target == "ar") {
      cell = kCellAR;
    } else if (target == "dr") {
      cell = kCellDR;
    } else if (target.size() == 4 && target.starts_with("in") && (HexCharToValue(target[2]) >= 0) &&
               (HexCharToValue(target[3]) >= 0)) {
      const int port = HexCharToValue(target[2]) * 16 + HexCharToValue(target[3]);
      if (port >= kPortCount) {
        answer.error = Text("input ports go from in00 to in3F");
        return;
      }
      cell = inputPortCell(port);
    } else if (target.size() > 2 && target.front() == '[' && target.back() == ']') {
      const auto address = s_.addressOf(std::string_view(words[1]).substr(1, target.size() - 2));
      if (!address || *address >= Machine::kMemoryWords) {
        answer.error = Text("memory words go from [0000] to [EFFF], not {0}", words[1]);
        return;
      }
      m.WriteMemoryWord(*address, word);
      changed.addWord(*address);
    } else {
      answer.error =
          Text("set writes R0..RF, PC, IR, AR, DR, Z, S, C, V, [ADDR] or in00..in3F, not '{0}'",
               words[1]);
      return;
    }
    if (cell == kCellPC) {
      m.setProgramCounter(word);
    } else if (cell) {
      m.setCell(*cell, word);
    }
    if (cell) changed.addCell(*cell);
  }
  answer.changes.add(changed);
  answer.lines.push_back(trf("set: {0}", changesText(m, changed)));
}

void Debugger::where(Answer& answer) const {
  answer.lines.push_back(trf("at: {0}", at()));
}

}  // namespace orben::session
