#include "machine/fast_run.h"

#include <algorithm>

#include "machine/alu.h"

namespace orben {

namespace {

constexpr unsigned kFirstMonitorWord = Machine::kMemoryWords;  // F000

// The machine as the run sees it: every register and PC a word, memory the
// whole store.
//
// IR, AR and DR are not kept step by step. Every instruction ends by
// fetching IR from the new PC, after any store it makes, and advances,
// calls and returns then copy PC and IR into AR and DR; a taken branch,
// the only other ending, stores nothing. So when the run stops IR is the
// word at PC, AR the PC of the last copy and DR the word there.
struct Numbers {
  std::uint16_t r[kRegisterCount];
  unsigned pc;
  AluFlags flags;
  int copied_pc = -1;  // PC at the last copy into AR and DR, if any
  std::uint16_t out[kPortCount];
  std::uint64_t outputs_written = 0;
  int last_watched = -1;  // the last word set into PC that an observer watches
  // Kept only while the instructions' records are taken: IR, AR and DR as
  // each instruction leaves them.
  std::uint16_t ir = 0;
  std::uint16_t ar = 0;
  std::uint16_t dr = 0;
};

class Interpreter {
 public:
  Interpreter(Machine& m, Numbers& s, const WatchedAddresses& watched, const NumberRun& how)
      : m_(m),
        s_(s),
        watched_(watched),
        memory_(m.memory().data()),
        breaks_(m.breakpoints().empty() ? nullptr : m.breakpoints().table()),
        guards_(how.guards ? how.guards->at.data() : nullptr),
        records_(how.steps) {}

  // PC := pc, as SetPC does: the listing follows it.
  void setPC(unsigned pc) {
    s_.pc = pc;
    if (watched_[pc]) s_.last_watched = static_cast<int>(pc);
  }
  CellValue fetch(unsigned address) const {
    return address < kFirstMonitorWord ? CellValue::word(word(address)) : CellValue::empty();
  }

  // Executes instructions until `limit` or one to leave to
  // ExecuteInstruction; returns how many ran. A tick does not execute the
  // instruction at a breakpoint: the run leaves it to the tick, which
  // stops there; the first instruction, when Ejecutar runs it, does not
  // stop. An instruction a guard holds is left to the instruction cycle
  // wherever it comes. The loop tests only what is set: breakpoints,
  // guards, records.
  std::uint64_t run(std::uint64_t limit, bool first_is_a_tick) {
    const int kind = (breaks_ ? 1 : 0) | (guards_ ? 2 : 0) | (records_ ? 4 : 0);
    switch (kind) {
      case 0:
        return loop<false, false, false>(limit, first_is_a_tick);
      case 1:
        return loop<true, false, false>(limit, first_is_a_tick);
      case 2:
        return loop<false, true, false>(limit, first_is_a_tick);
      case 3:
        return loop<true, true, false>(limit, first_is_a_tick);
      case 4:
        return loop<false, false, true>(limit, first_is_a_tick);
      case 5:
        return loop<true, false, true>(limit, first_is_a_tick);
      case 6:
        return loop<false, true, true>(limit, first_is_a_tick);
      default:
        return loop<true, true, true>(limit, first_is_a_tick);
    }
  }

 private:
  unsigned word(unsigned address) const {
    return static_cast<unsigned>(memory_[2 * address] << 8 | memory_[2 * address + 1]);
  }
  void store(unsigned address, unsigned w) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(w >> 8),
                                   static_cast<std::uint8_t>(w & 0xFF)};
    m_.memory().setBytes(2 * static_cast<long long>(address), bytes);
  }
  template <bool kBreaks, bool kGuards, bool kRecords>
  std::uint64_t loop(std::uint64_t limit, bool first_is_a_tick) {
    std::uint64_t done = 0;
    if (kBreaks && !first_is_a_tick) {
      if ((kGuards && guarded(s_.pc)) || !step<kRecords>()) return 0;
      ++done;
    }
    while (done < limit) {
      const unsigned pc = s_.pc;
      if (kBreaks && breaks_[pc] != Breakpoints::Kind::None) break;
      if (kGuards && pc < kFirstMonitorWord && (guards_[pc] & RunGuards::kFetch) != 0) break;
      if (!step<kRecords>()) break;
      ++done;
    }
    return done;
  }
  bool guarded(unsigned pc, std::uint8_t what = RunGuards::kFetch) const {
    return guards_ != nullptr && pc < kFirstMonitorWord && (guards_[pc] & what) != 0;
  }
  void compute(unsigned op, unsigned a, std::uint16_t x, std::uint16_t y) {
    const AluResult result = alu(op, x, y, s_.flags);
    s_.r[a] = result.word;
    s_.flags = result.flags;
  }
  void copyPCAndIRToARAndDR() {
    s_.copied_pc = static_cast<int>(s_.pc);
    copied_ = true;
  }

  // One instruction, or false (and nothing changed) for one that stops the
  // run or needs a text. With records, what it overwrote is appended.
  template <bool kRecords>
  [[gnu::always_inline]] bool step() {
    if constexpr (!kRecords) {
      return execute<false>(nullptr);
    } else {
      NumberStep record;
      record.pc = static_cast<std::uint16_t>(s_.pc);
      record.ir = s_.ir;
      record.ar = s_.ar;
      record.dr = s_.dr;
      record.followed = s_.last_watched;
      record.flags = static_cast<std::uint8_t>(s_.flags.z | s_.flags.s << 1 | s_.flags.c << 2 |
                                               s_.flags.v << 3);
      copied_ = false;
      if (!execute<true>(&record)) return false;
      records_->push_back(record);
      s_.ir = s_.pc < kFirstMonitorWord ? static_cast<std::uint16_t>(word(s_.pc)) : 0;
      if (copied_) {
        s_.ar = static_cast<std::uint16_t>(s_.pc);
        s_.dr = s_.ir;
      }
      return true;
    }
  }
  // Notes the word an instruction is about to overwrite.
  template <bool kRecords>
  static void note(NumberStep* record, NumberStep::Wrote wrote, unsigned where, unsigned old) {
    if constexpr (kRecords) {
      record->wrote = wrote;
      if (wrote == NumberStep::Wrote::Register || wrote == NumberStep::Wrote::Port) {
        record->index = static_cast<std::uint8_t>(where);
      } else {
        record->address = static_cast<std::uint16_t>(where);
      }
      record->old = static_cast<std::uint16_t>(old);
    }
  }
  // The word output port n holds: the run's, or the cell's when it holds
  // one.
  bool outputWord(unsigned n, unsigned& held) const {
    if (s_.outputs_written >> n & 1) {
      held = s_.out[n];
      return true;
    }
    const CellValue& port = m_.cellValue(outputPortCell(static_cast<int>(n)));
    if (!port.isWord()) return false;
    held = port.asWord();
    return true;
  }

  template <bool kRecords>
  [[gnu::always_inline]] bool execute(NumberStep* record) {
    using Wrote = NumberStep::Wrote;
    const unsigned pc = s_.pc;
    if (pc >= kFirstMonitorWord) return false;  // the fetch finds no word
    const unsigned w = word(pc);
    const unsigned op = w >> 12;
    const unsigned a = w >> 8 & 0xF;
    const unsigned n = w & 0xFF;
    std::uint16_t* r = s_.r;
    if (op <= 0xB && op != 0x1 && op != 0x5) note<kRecords>(record, Wrote::Register, a, r[a]);
    switch (op) {
      case 0x0: {
        const unsigned ea = n + r[kRD];
        if (ea >= kFirstMonitorWord) return false;
        r[a] = static_cast<std::uint16_t>(word(ea));
        break;
      }
      case 0x1: {
        const unsigned ea = n + r[kRD];
        if (ea >= kFirstMonitorWord || guarded(ea, RunGuards::kStore)) return false;
        note<kRecords>(record, Wrote::Memory, ea, word(ea));
        store(ea, r[a]);
        break;
      }
      case 0x2:
        r[a] = static_cast<std::uint16_t>(n);
        break;
      case 0x3:
        r[a] = static_cast<std::uint16_t>(n << 8 | (r[a] & 0xFFu));
        break;
      case 0x4: {
        if (n >= kPortCount) return false;
        const CellValue& port = m_.cellValue(inputPortCell(static_cast<int>(n)));
        if (!port.isWord()) return false;
        r[a] = port.asWord();
        break;
      }
      case 0x5:
        if (n >= kPortCount) return false;
        if constexpr (kRecords) {
          unsigned held = 0;
          if (!outputWord(n, held)) return false;
          note<true>(record, Wrote::Port, n, held);
          record->port_written = ((m_.outputsWritten() | s_.outputs_written) >> n & 1) != 0;
        }
        s_.out[n] = r[a];
        s_.outputs_written |= std::uint64_t{1} << n;
        break;
      // One case per operation, so that each computes only its own result.
      case 0x6:
        compute(0x6, a, r[n >> 4], r[n & 0xF]);
        break;
      case 0x7:
        compute(0x7, a, r[n >> 4], r[n & 0xF]);
        break;
      case 0x8:
        compute(0x8, a, r[n >> 4], r[n & 0xF]);
        break;
      case 0x9:
        compute(0x9, a, r[a], 0);
        break;
      case 0xA:
        compute(0xA, a, r[a], 0);
        break;
      case 0xB:
        compute(0xB, a, r[a], 0);
        break;
      case 0xC:
        if (!conditionHolds(a, s_.flags)) break;
        setPC(r[kRD]);  // AR and DR stay
        return true;
      case 0xD: {
        if (!conditionHolds(a, s_.flags)) break;
        const unsigned sp = (r[kRE] + 0xFFFFu) & 0xFFFF;  // 0000 - 1 is FFFF
        if (sp >= kFirstMonitorWord) return false;        // the push is refused
        if (guarded(sp, RunGuards::kPush)) return false;
        note<kRecords>(record, Wrote::Call, sp, word(sp));
        r[kRE] = static_cast<std::uint16_t>(sp);
        store(sp, pc + 1);
        setPC(r[kRD]);
        copyPCAndIRToARAndDR();
        return true;
      }
      case 0xE: {
        const unsigned sp = r[kRE];
        if (sp >= kFirstMonitorWord) return false;  // an empty stack
        note<kRecords>(record, Wrote::Register, kRE, sp);
        setPC(word(sp));
        r[kRE] = static_cast<std::uint16_t>(sp + 1);
        copyPCAndIRToARAndDR();
        return true;
      }
      default:
        return false;  // HALT
    }
    // The advance: PC is below F000, so PC + 1 is a word.
    setPC(pc + 1);
    copyPCAndIRToARAndDR();
    return true;
  }

  Machine& m_;
  Numbers& s_;
  const WatchedAddresses& watched_;
  const std::uint8_t* memory_;
  const Breakpoints::Kind* breaks_;
  const std::uint8_t* guards_;
  NumberSteps* records_;
  bool copied_ = false;  // the instruction copied PC and IR into AR and DR
};

// The state in numbers, or false when a register or the first PC holds no
// word.
bool readNumbers(const Machine& m, const CellValue& first_pc, Numbers& s) {
  if (!first_pc.isWord()) return false;
  for (int n = 0; n < kRegisterCount; ++n) {
    const CellValue& value = m.cellValue(registerCell(n));
    if (!value.isWord()) return false;
    s.r[n] = value.asWord();
  }
  s.pc = m.cellValue(kCellPC).asWord();
  s.flags = {m.flag(Flag::Z), m.flag(Flag::S), m.flag(Flag::C), m.flag(Flag::V)};
  return true;
}

// IR, AR and DR in numbers, for the instructions' records, or false when
// one holds no word. A record's cells are those before the instruction, so
// the run takes them only where nothing else happens first: not with PC
// from the keypad, and in the panel state of a run.
bool readControlCells(const Machine& m, bool from_keypad, Numbers& s) {
  if (from_keypad || m.panelState() != PanelState::Executing) return false;
  const CellValue& ir = m.cellValue(kCellIR);
  const CellValue& ar = m.cellValue(kCellAR);
  const CellValue& dr = m.cellValue(kCellDR);
  if (!ir.isWord() || !ar.isWord() || !dr.isWord()) return false;
  s.ir = ir.asWord();
  s.ar = ar.asWord();
  s.dr = dr.asWord();
  return true;
}

// Every cell the run changed, then PC: first the last watched word it
// passed, if PC has moved on from it, so that the listing marks the line
// that the steps one by one would have left marked.
void writeNumbers(Machine& m, const Interpreter& interpreter, const Numbers& s) {
  for (int n = 0; n < kRegisterCount; ++n) m.WriteRegister(n, CellValue::word(s.r[n]));
  m.setFlag(Flag::C, s.flags.c);
  m.setFlag(Flag::V, s.flags.v);
  m.setFlag(Flag::Z, s.flags.z);
  m.setFlag(Flag::S, s.flags.s);
  for (int port = 0; port < kPortCount; ++port) {
    if (s.outputs_written >> port & 1)
      m.setCell(outputPortCell(port), CellValue::word(s.out[port]));
  }
  m.noteOutputsWritten(s.outputs_written);
  m.setCell(kCellIR, interpreter.fetch(s.pc));
  if (s.copied_pc >= 0) {
    m.setCell(kCellAR, CellValue::word(static_cast<unsigned>(s.copied_pc)));
    m.setCell(kCellDR, interpreter.fetch(static_cast<unsigned>(s.copied_pc)));
  }
  if (s.last_watched >= 0 && static_cast<unsigned>(s.last_watched) != s.pc) {
    m.setProgramCounter(CellValue::word(static_cast<unsigned>(s.last_watched)));
  }
  m.setProgramCounter(CellValue::word(s.pc));
  m.setPanelState(PanelState::Executing);
}

}  // namespace

FastRun::FastRun(Machine& machine, Processor& processor) : m_(machine), processor_(processor) {}

FastRun::~FastRun() = default;

std::uint64_t FastRun::run(Start start, std::uint64_t limit) {
  if (limit == 0 || !m_.powerOn() || m_.stepMode() != StepMode::Timed) return 0;
  if (start == Start::Tick && m_.panelState() != PanelState::Executing) return 0;
  if (m_.memory().size() != MemoryStore::kMachineBytes) return 0;
  const NumberRun how = processor_.numberRun();
  if (!how.allowed || (how.guards && how.guards->every)) return 0;
  const bool from_keypad =
      start == Start::Ejecutar && m_.panelState() != PanelState::ContinueRequested;
  const CellValue first_pc = m_.cellValue(from_keypad ? kCellKeypad : kCellPC);
  Numbers s;
  if (!readNumbers(m_, first_pc, s)) return 0;
  if (how.steps && !readControlCells(m_, from_keypad, s)) return 0;
  if (!watched_) {
    watched_ = std::make_unique<WatchedAddresses>();
    m_.collectWatchedAddresses(*watched_);
  }
  if (how.steps)
    how.steps->reserve(how.steps->size() +
                       static_cast<std::size_t>(std::min<std::uint64_t>(limit, 1 << 16)));
  Interpreter interpreter(m_, s, *watched_, how);
  if (from_keypad) interpreter.setPC(first_pc.asWord());
  if (start == Start::Ejecutar) m_.breakpoints().reached(first_pc.asWord());
  if (processor_.watched()) processor_.stretchBegins();
  const std::uint64_t done = interpreter.run(limit, start == Start::Tick);
  if (done > 0) {
    writeNumbers(m_, interpreter, s);
    processor_.countExecutions(done);
  }
  if (processor_.watched()) processor_.stretchEnds(done);
  return done;
}

}  // namespace orben
