#include "debug/checks.h"

#include "machine/alu.h"
#include "panel/tuka2.h"

namespace orben {

namespace {

constexpr unsigned kFirstMonitorWord = Machine::kMemoryWords;

std::string hex(unsigned word) {
  return std::string(wordOf(word & 0xFFFF).view());
}

// Whether the instruction `op` with register field `a` writes register a.
bool writesRegister(unsigned op, unsigned a, int n) {
  return static_cast<int>(a) == n &&
         (op == 0x0 || op == 0x2 || op == 0x3 || op == 0x4 || (op >= 0x6 && op <= 0xB));
}

}  // namespace

std::string_view checkKindName(CheckKind kind) {
  switch (kind) {
    case CheckKind::UnwrittenWord:
      return "unwritten-word";
    case CheckKind::RdNotSet:
      return "rd-not-set";
    case CheckKind::ProgramOverwritten:
      return "program-overwritten";
    case CheckKind::StackIntoProgram:
      return "stack-into-program";
    case CheckKind::EmptyStackReturn:
      return "ret-empty-stack";
  }
  return "";
}

Checks::Checks(Tuka2& tuka)
    : m_(tuka.machine),
      processor_(tuka.processor),
      written_(kFirstMonitorWord, true),
      program_(kFirstMonitorWord, false),
      executed_(kFirstMonitorWord, false) {
  guards_.at.assign(kFirstMonitorWord, 0);
  m_.addObserver(this);
  m_.memory().addObserver(this);
  processor_.addInstructionObserver(this);
}

Checks::~Checks() {
  processor_.removeInstructionObserver(this);
  m_.memory().removeObserver(this);
  m_.removeObserver(this);
}

void Checks::cellChanged(CellId cell) {
  if (cell != registerCell(kRD)) return;
  // Switching on writes RD its power-on value; any later change sets it.
  if (rd_power_on_write_pending_) {
    rd_power_on_write_pending_ = false;
    return;
  }
  setRdSet(true);
}

void Checks::controlChanged(Control control) {
  if (control != Control::PowerOn || !m_.powerOn()) return;
  setRdSet(false);
  rd_power_on_write_pending_ = true;
}

void Checks::bytesChanged(std::size_t first, std::size_t count) {
  for (std::size_t i = first; i < first + count; ++i) {
    const std::size_t word = i / 2;
    if (word >= kFirstMonitorWord) break;
    written_[word] = true;
    if (!in_instruction_) {
      program_[word] = true;
      executed_[word] = false;
    }
    guard(word);
  }
}

void Checks::contentReplaced() {
  written_.assign(kFirstMonitorWord, false);
  program_.assign(kFirstMonitorWord, false);
  executed_.assign(kFirstMonitorWord, false);
  guards_.at.assign(kFirstMonitorWord, RunGuards::kFetch);
}

void Checks::guard(std::size_t word) {
  std::uint8_t held = 0;
  if (!written_[word] || (program_[word] && !executed_[word])) held |= RunGuards::kFetch;
  if (program_[word] && executed_[word]) held |= RunGuards::kStore;
  if (program_[word]) held |= RunGuards::kPush;
  guards_.at[word] = held;
}

void Checks::stretchEnds(std::uint64_t instructions) {
  in_instruction_ = false;
  // The stretch executed only written words: the run has left any it
  // entered that nothing wrote.
  if (instructions > 0) in_unwritten_ = false;
}

void Checks::report(CheckKind kind, std::uint16_t address, Text text) {
  if (!reported_.emplace(kind, address).second) return;
  found_.push_back({kind, address, step_, std::move(text)});
}

void Checks::instructionBegins() {
  in_instruction_ = true;
  step_ = processor_.executions() + 1;
  const CellValue at =
      m_.cellValue(m_.panelState() == PanelState::ContinueRequested ? kCellPC : kCellKeypad);
  if (!at.isWord() || at.asWord() >= kFirstMonitorWord) return;
  const std::uint16_t pc = at.asWord();
  const CellValue fetched = m_.memoryWord(pc);
  if (!fetched.isWord()) return;
  const unsigned w = fetched.asWord();
  const unsigned op = w >> 12;
  const unsigned a = w >> 8 & 0xF;
  const unsigned n = w & 0xFF;

  if (!written_[pc]) {
    // Once, where the run enters words nothing wrote.
    if (!in_unwritten_) {
      report(CheckKind::UnwrittenWord, pc,
             Text("executing {0}, a word nothing has written since memory was filled (a "
                  "missing HALT, or a jump to the wrong place?)",
                  hex(pc)));
    }
    in_unwritten_ = true;
  } else {
    in_unwritten_ = false;
  }
  executed_[pc] = true;
  guard(pc);

  // What runs in words nothing wrote follows from that one mistake: none
  // of it is reported again.
  if (in_unwritten_) {
    if (writesRegister(op, a, kRD)) setRdSet(true);
    return;
  }
  const CellValue rd = m_.registerValue(kRD);
  const AluFlags flags{m_.flag(Flag::Z), m_.flag(Flag::S), m_.flag(Flag::C), m_.flag(Flag::V)};
  const bool taken = (op == 0xC || op == 0xD) && conditionHolds(a, flags);
  if (!rd_set_ && (op <= 0x1 || taken)) {
    // One text for each instruction, so that each reads naturally in
    // either language.
    const std::string_view pattern =
        op == 0x0   ? N_("LD at {0} goes through RD, which still holds its power-on value {1} "
                           "(set RD first: LDI RD, name)")
        : op == 0x1 ? N_("ST at {0} goes through RD, which still holds its power-on value {1} "
                         "(set RD first: LDI RD, name)")
        : op == 0xC ? N_("the branch at {0} goes through RD, which still holds its power-on "
                         "value {1} (set RD first: LDI RD, name)")
                    : N_("the call at {0} goes through RD, which still holds its power-on value "
                         "{1} (set RD first: LDI RD, name)");
    report(CheckKind::RdNotSet, pc, Text(pattern, hex(pc), rd.text().str()));
  }
  if (writesRegister(op, a, kRD)) setRdSet(true);

  if (op == 0x1 && rd.isWord()) {
    const unsigned ea = n + rd.asWord();
    if (ea < kFirstMonitorWord && program_[ea] && executed_[ea]) {
      report(CheckKind::ProgramOverwritten, pc,
             Text("ST at {0} writes over {1}, an instruction of the program (the program "
                  "overwrites itself)",
                  hex(pc), hex(ea)));
    }
  }
  const CellValue re = m_.registerValue(kRE);
  if (taken && op == 0xD && re.isWord()) {
    const unsigned sp = (re.asWord() + 0xFFFFu) & 0xFFFF;
    if (sp < kFirstMonitorWord && program_[sp]) {
      report(CheckKind::StackIntoProgram, pc,
             Text("the call at {0} pushes its return address over {1}, a word of the program "
                  "(the stack ran into the program)",
                  hex(pc), hex(sp)));
    }
  }
  if (op == 0xE && (!re.isWord() || re.asWord() >= kFirstMonitorWord)) {
    report(CheckKind::EmptyStackReturn, pc,
           Text("RET at {0} with an empty stack (RE = {1}): a return with no call before it",
                hex(pc), re.text().str()));
  }
}

}  // namespace orben
