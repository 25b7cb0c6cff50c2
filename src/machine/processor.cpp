#include "machine/processor.h"

#include <algorithm>

#include "machine/alu.h"

namespace orben {

namespace {

constexpr std::string_view kPortMessage =
    "ERROR: ORBEN soporta los 64 primeros puertos de entrada de TUKA-2";
constexpr std::string_view kPCBeyondMessage = "Error: PC apuntó más allá FFFFH.";
constexpr std::string_view kHaltMessage = "Fin la ejecución :-)";

// A register as an ALU operand: the low 16 bits of the number its text
// reads as, so that "****" counts as EEEF and the empty text as FFFF.
std::uint16_t operand(const CellValue& cell) {
  return static_cast<std::uint16_t>(cell.value() & 0xFFFF);
}

// LHI: the immediate byte's two digits followed by the third and fourth
// characters of the register's text ("00" when the text is shorter).
CellValue highByteOver(unsigned n, const CellValue& old) {
  if (old.isWord()) return CellValue::word(n << 8 | (old.asWord() & 0xFFu));
  const WordText text = old.text();
  const WordText byte = wordOf(n);
  return CellValue::ofText(WordText::of(byte[2], byte[3], text.size() > 2 ? text[2] : '0',
                                        text.size() > 3 ? text[3] : '0'));
}

}  // namespace

void Processor::AdvancePC() {
  const int p = m_.cellValue(kCellPC).value();
  if (p == 0xFFFF) {
    m_.ErrorStop();
    m_.showMessage(kPCBeyondMessage);
    return;
  }
  SetPC(CellValue::ofNumber(p + 1));
  SetIR(m_.memoryWord(p + 1));
  copyPCAndIRToARAndDR();
}

void Processor::addInstructionObserver(InstructionObserver* observer) {
  instruction_observers_.push_back(observer);
}

void Processor::removeInstructionObserver(InstructionObserver* observer) {
  std::erase(instruction_observers_, observer);
}

NumberRun Processor::numberRun() const {
  NumberRun run;
  for (InstructionObserver* observer : instruction_observers_) {
    const RunGuards* guards = observer->guards();
    NumberSteps* steps = observer->numberSteps();
    if ((guards && run.guards) || (steps && run.steps) ||
        (!guards && !steps && !observer->watchesStretches())) {
      return {.allowed = false};
    }
    if (guards) run.guards = guards;
    if (steps) run.steps = steps;
  }
  return run;
}

void Processor::stretchBegins() {
  const auto observers = instruction_observers_;
  for (auto* observer : observers) observer->stretchBegins();
}

void Processor::stretchEnds(std::uint64_t instructions) {
  const auto observers = instruction_observers_;
  for (auto* observer : observers) observer->stretchEnds(instructions);
}

Outcome Processor::ExecuteInstruction() {
  if (instruction_observers_.empty()) return executeUnwatched();
  // A copy, so that an observer may leave while it is told.
  const auto observers = instruction_observers_;
  for (auto* observer : observers) observer->instructionBegins();
  const Outcome outcome = executeUnwatched();
  for (auto* observer : observers) observer->instructionEnds(outcome);
  return outcome;
}

Outcome Processor::executeUnwatched() {
  ++executions_;
  if (m_.panelState() != PanelState::ContinueRequested) SetPC(m_.cellValue(kCellKeypad));
  const CellValue w = m_.memoryWord(m_.cellValue(kCellPC).value());
  SetIR(w);
  m_.setPanelState(PanelState::Executing);

  // Only a word executes: a fetch from F000 or above gives the empty text.
  if (!w.isWord()) return Outcome::NoInstruction;
  const std::uint64_t stops_before = m_.errorStops();
  const unsigned word = w.asWord();
  const int op = static_cast<int>(word >> 12);
  const int a = static_cast<int>(word >> 8 & 0xF);
  const int n = static_cast<int>(word & 0xFF);
  switch (op) {
    case 0x0:
    case 0x1:
      loadStore(op, a, n);
      break;
    case 0x2:
      m_.WriteRegister(a, CellValue::word(static_cast<unsigned>(n)));
      AdvancePC();
      break;
    case 0x3:
      m_.WriteRegister(a, highByteOver(static_cast<unsigned>(n), m_.registerValue(a)));
      AdvancePC();
      break;
    case 0x4:
    case 0x5:
      inputOutput(op, a, n);
      break;
    case 0x6:
    case 0x7:
    case 0x8:
      compute(op, a, m_.registerValue(n >> 4), m_.registerValue(n & 0xF));
      break;
    case 0x9:
    case 0xA:
    case 0xB:
      compute(op, a, m_.registerValue(a), CellValue::word(0));
      break;
    case 0xC:
      branch(a);
      break;
    case 0xD:
      call(a);
      break;
    case 0xE:
      returnFromCall();
      break;
    default:
      halt();
      return Outcome::Halted;
  }
  return m_.errorStops() != stops_before ? Outcome::Stopped : Outcome::Executed;
}

void Processor::loadStore(int op, int a, int offset) {
  const long long ea = static_cast<long long>(offset) + m_.registerValue(kRD).value();
  if (op == 0x1) {
    m_.WriteMemoryWord(ea, m_.registerValue(a));
  } else if (ea >= 0 && ea <= 0xEFFF) {
    m_.WriteRegister(a, m_.memoryWord(ea));
  } else {
    m_.ErrorStop();
    m_.showMessage(kLoadRefusedMessage);
  }
  AdvancePC();
}

void Processor::inputOutput(int op, int a, int port) {
  if (port < 0 || port >= kPortCount) {
    m_.ErrorStop();
    m_.showMessage(kPortMessage);
  } else if (op == 0x4) {
    m_.WriteRegister(a, m_.cellValue(inputPortCell(port)));
  } else {
    m_.setCell(outputPortCell(port), m_.registerValue(a));
    m_.noteOutputsWritten(std::uint64_t{1} << port);
  }
  AdvancePC();
}

void Processor::compute(int op, int a, const CellValue& x, const CellValue& y) {
  const AluResult result =
      alu(static_cast<unsigned>(op), operand(x), operand(y),
          {m_.flag(Flag::Z), m_.flag(Flag::S), m_.flag(Flag::C), m_.flag(Flag::V)});
  // The flags an instruction keeps are written unchanged, which tells no one.
  m_.setFlag(Flag::C, result.flags.c);
  m_.setFlag(Flag::V, result.flags.v);
  m_.setFlag(Flag::Z, result.flags.z);
  m_.setFlag(Flag::S, result.flags.s);
  m_.WriteRegister(a, CellValue::word(result.word));
  AdvancePC();
}

bool Processor::condition(int digit) const {
  return conditionHolds(static_cast<unsigned>(digit),
                        {m_.flag(Flag::Z), m_.flag(Flag::S), m_.flag(Flag::C), m_.flag(Flag::V)});
}

void Processor::jumpToRD() {
  SetPC(m_.registerValue(kRD));
  SetIR(m_.memoryWord(m_.cellValue(kCellPC).value()));
}

void Processor::branch(int digit) {
  if (!condition(digit)) {
    AdvancePC();
    return;
  }
  jumpToRD();  // a taken branch leaves AR and DR as they were
}

void Processor::call(int digit) {
  if (!condition(digit)) {
    AdvancePC();
    return;
  }
  int sp = m_.registerValue(kRE).value() - 1;
  if (sp < 0) sp = 0xFFFF;
  m_.WriteRegister(kRE, CellValue::ofNumber(sp));
  // A refused push (sp at F000 or above) shows its message; the call goes on.
  m_.WriteMemoryWord(sp, CellValue::ofNumber(m_.cellValue(kCellPC).value() + 1LL));
  jumpToRD();
  copyPCAndIRToARAndDR();
}

void Processor::returnFromCall() {
  const int sp = m_.registerValue(kRE).value();
  if (sp < 0 || sp >= Machine::kMemoryWords) {
    // An empty stack (RE at F000 or above) holds no return address: the RET
    // is refused like an LD beyond EFFF, RE and PC untouched, and the run
    // goes on behind it.
    m_.ErrorStop();
    m_.showMessage(kLoadRefusedMessage);
    AdvancePC();
    return;
  }
  SetPC(m_.memoryWord(sp));
  SetIR(m_.memoryWord(m_.cellValue(kCellPC).value()));
  m_.WriteRegister(kRE, CellValue::ofNumber(sp + 1));
  copyPCAndIRToARAndDR();
}

void Processor::halt() {
  // Step by step with LPP lit; BPasoPaso is enabled already, since only a
  // machine switched on executes.
  m_.setStepMode(StepMode::StepByStep);
  copyPCAndIRToARAndDR();
  m_.showMessage(kHaltMessage);
  AdvancePC();
}

}  // namespace orben
