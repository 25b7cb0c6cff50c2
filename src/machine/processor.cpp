#include "machine/processor.h"

namespace orben {

namespace {

constexpr int kRD = 13;
constexpr int kRE = 14;

constexpr std::string_view kPortMessage =
    "ERROR: ORBEN soporta los 64 primeros puertos de entrada de TUKA-2";
constexpr std::string_view kPCBeyondMessage = "Error: PC apuntó más allá FFFFH.";
constexpr std::string_view kHaltMessage = "Fin la ejecución :-)";

// The operation digit of a fetched word: only "0".."9", "A".."F" execute.
int operationOf(const WordText& w) {
  return w.size() == 4 ? wordDigitValue(w[0]) : -1;
}

int wrap16(int v) {
  v &= 0xFFFF;
  return v >= 0x8000 ? v - 0x10000 : v;
}

// A register's text as a signed 16-bit number.
int signed16(const WordText& text) {
  return wrap16(WordTextToValue(text));
}

}  // namespace

void Processor::copyPCAndIRToARAndDR() {
  m_.setCell(kCellAR, m_.cell(kCellPC));
  m_.setCell(kCellDR, m_.cell(kCellIR));
}

void Processor::AdvancePC() {
  const int p = WordTextToValue(m_.cell(kCellPC));
  if (p == 0xFFFF) {
    m_.ErrorStop();
    m_.showMessage(kPCBeyondMessage);
    return;
  }
  SetPC(ValueToWordText(p + 1));
  SetIR(m_.ReadMemoryWord(p + 1));
  copyPCAndIRToARAndDR();
}

Outcome Processor::ExecuteInstruction() {
  ++executions_;
  if (m_.panelState() != PanelState::ContinueRequested) SetPC(m_.cell(kCellKeypad));
  const WordText w = m_.ReadMemoryWord(WordTextToValue(m_.cell(kCellPC)));
  SetIR(w);
  m_.setPanelState(PanelState::Executing);

  const int op = operationOf(w);
  if (op < 0) return Outcome::NoInstruction;
  const std::uint64_t stops_before = m_.errorStops();
  const int a = HexCharToValue(w[1]);
  const int n = ByteTextToValue(w.view().substr(2));
  switch (op) {
    case 0x0:
    case 0x1:
      loadStore(op, a, n);
      break;
    case 0x2:
      m_.WriteRegister(a, WordText::of('0', '0', w[2], w[3]));
      AdvancePC();
      break;
    case 0x3: {
      const WordText old = m_.ReadRegister(a);
      const char c2 = old.size() > 2 ? old[2] : '0';
      const char c3 = old.size() > 3 ? old[3] : '0';
      m_.WriteRegister(a, WordText::of(w[2], w[3], c2, c3));
      AdvancePC();
      break;
    }
    case 0x4:
    case 0x5:
      inputOutput(op, a, n);
      break;
    case 0x6:
    case 0x7:
    case 0x8:
      arithmetic(op, a, HexCharToValue(w[2]), HexCharToValue(w[3]));
      break;
    case 0x9:
    case 0xA:
    case 0xB:
      shift(op, a);
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
  const long long ea = static_cast<long long>(offset) + WordTextToValue(m_.ReadRegister(kRD));
  if (op == 0x1) {
    m_.WriteMemoryWord(ea, m_.ReadRegister(a));
  } else if (ea >= 0 && ea <= 0xEFFF) {
    m_.WriteRegister(a, m_.ReadMemoryWord(ea));
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
    m_.WriteRegister(a, m_.cell(inputPortCell(port)));
  } else {
    m_.setCell(outputPortCell(port), m_.ReadRegister(a));
  }
  AdvancePC();
}

void Processor::arithmetic(int op, int a, int b, int c) {
  const int x = signed16(m_.ReadRegister(b));
  const int y = signed16(m_.ReadRegister(c));
  const int ux = x & 0xFFFF;
  const int uy = y & 0xFFFF;
  int r;
  if (op == 0x6) {
    r = wrap16(x + y);
    m_.setFlag(Flag::C, ux + uy > 0xFFFF);
    m_.setFlag(Flag::V, (x > 0 && y > 0 && r < 0) || (x < 0 && y < 0 && r >= 0));
  } else if (op == 0x7) {
    r = wrap16(x - y);
    m_.setFlag(Flag::C, uy > ux);
    m_.setFlag(Flag::V, (x > 0 && y < 0 && r < 0) || (x < 0 && y > 0 && r >= 0));
  } else {
    r = wrap16(~(x & y));  // NAND leaves C and V as they were
  }
  m_.setFlag(Flag::Z, r == 0);
  m_.setFlag(Flag::S, r < 0);
  m_.WriteRegister(a, SignedToWordText(r));
  AdvancePC();
}

void Processor::shift(int op, int a) {
  const int x = signed16(m_.ReadRegister(a));
  const int ux = x & 0xFFFF;
  int r;
  if (op == 0x9) {
    r = wrap16(x * 2);
    m_.setFlag(Flag::C, (ux & 0x8000) != 0);
  } else if (op == 0xA) {
    r = ux >> 1;
    m_.setFlag(Flag::C, (ux & 1) != 0);
  } else {
    r = wrap16((ux >> 1) | (ux & 0x8000));
    m_.setFlag(Flag::C, (ux & 1) != 0);
  }
  m_.setFlag(Flag::Z, r == 0);
  m_.setFlag(Flag::S, r < 0);  // SHR puts 0 into bit 15, so S stays 0
  m_.WriteRegister(a, SignedToWordText(r));
  AdvancePC();
}

bool Processor::condition(int digit) const {
  switch (digit) {
    case 0:
      return true;
    case 1:
      return m_.flag(Flag::Z);
    case 2:
      return m_.flag(Flag::S);
    case 3:
      return m_.flag(Flag::C);
    case 4:
      return m_.flag(Flag::V);
    default:
      return false;  // 5..F never hold: the instruction only advances
  }
}

void Processor::jumpToRD() {
  SetPC(m_.ReadRegister(kRD));
  SetIR(m_.ReadMemoryWord(WordTextToValue(m_.cell(kCellPC))));
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
  int sp = WordTextToValue(m_.ReadRegister(kRE)) - 1;
  if (sp < 0) sp = 0xFFFF;
  m_.WriteRegister(kRE, ValueToWordText(sp));
  // A refused push (sp at F000 or above) shows its message; the call goes on.
  m_.WriteMemoryWord(sp, ValueToWordText(WordTextToValue(m_.cell(kCellPC)) + 1));
  jumpToRD();
  copyPCAndIRToARAndDR();
}

void Processor::returnFromCall() {
  const int sp = WordTextToValue(m_.ReadRegister(kRE));
  if (sp < 0 || sp >= Machine::kMemoryWords) {
    // An empty stack (RE at F000 or above) holds no return address: the RET
    // is refused like an LD beyond EFFF, RE and PC untouched, and the run
    // goes on behind it.
    m_.ErrorStop();
    m_.showMessage(kLoadRefusedMessage);
    AdvancePC();
    return;
  }
  SetPC(m_.ReadMemoryWord(sp));
  SetIR(m_.ReadMemoryWord(WordTextToValue(m_.cell(kCellPC))));
  m_.WriteRegister(kRE, ValueToWordText(sp + 1));
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
