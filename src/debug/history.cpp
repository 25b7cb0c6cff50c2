#include "debug/history.h"

#include <algorithm>
#include <cstring>

#include "panel/tuka2.h"

namespace orben {

namespace {

// A record is a list of entries, each a kind byte and the old value.
enum class Entry : std::uint8_t {
  CellWord = 1,  // cell id, the old word (2 bytes)
  CellText,      // cell id, the old CellValue (8 bytes)
  Flag,          // flag number | old state << 4
  MemoryByte,    // byte index (3 bytes), the old byte
  StepMode,      // mode | lamp << 1
  PanelState,    // the old state
  Selection,     // the old selected line + 1 (4 bytes)
  Outputs,       // the old ports-written bits (8 bytes)
  Numbers,       // a NumberStep, its `followed` < 0 standing for the selected line
                 // -(followed + 2)
};

std::uint64_t readBytes(const std::uint8_t* p, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value |= std::uint64_t{p[i]} << (8 * i);
  return value;
}

// The size of an entry's value after its kind byte.
int valueSize(Entry kind) {
  switch (kind) {
    case Entry::CellWord:
      return 3;
    case Entry::CellText:
      return 9;
    case Entry::Flag:
    case Entry::StepMode:
    case Entry::PanelState:
      return 1;
    case Entry::MemoryByte:
    case Entry::Selection:
      return 4;
    case Entry::Outputs:
      return 8;
    case Entry::Numbers:
      return sizeof(NumberStep);
  }
  return 0;
}

std::uint8_t flagBits(const Machine& m) {
  unsigned bits = 0;
  for (int f = 0; f < kFlagCount; ++f) bits |= unsigned{m.flag(static_cast<Flag>(f))} << f;
  return static_cast<std::uint8_t>(bits);
}

}  // namespace

History::History(Tuka2& tuka, std::size_t capacity)
    : m_(tuka.machine),
      processor_(tuka.processor),
      listing_(tuka.listing),
      capacity_(capacity),
      cells_(kCellCount),
      flags_(flagBits(m_)),
      memory_(m_.memory().data(), m_.memory().data() + m_.memory().size()),
      step_mode_(m_.stepMode()),
      lamp_(m_.stepLamp()),
      panel_state_(m_.panelState()),
      selected_(listing_.selected()) {
  for (int cell = 0; cell < kCellCount; ++cell) {
    cells_[cell] = m_.cellValue(static_cast<CellId>(cell));
  }
  m_.addObserver(this);
  m_.memory().addObserver(this);
  listing_.addObserver(this);
  processor_.addInstructionObserver(this);
}

History::~History() {
  processor_.removeInstructionObserver(this);
  listing_.removeObserver(this);
  m_.memory().removeObserver(this);
  m_.removeObserver(this);
}

std::size_t History::bytesUsed() const {
  std::size_t bytes = 0;
  for (const Block& block : blocks_) {
    bytes += block.bytes.capacity() + block.numbers.capacity() * sizeof(NumberStep);
  }
  return bytes;
}

void History::clear() {
  blocks_.clear();
  depth_ = 0;
}

void History::ended() {
  if (phase_ == Phase::Instruction || phase_ == Phase::Stretch) {
    unrecordable_ = true;
  } else if (phase_ == Phase::Idle) {
    clear();
  }
}

void History::linesChanged() {
  ended();
}

void History::putBytes(std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i) put(static_cast<std::uint8_t>(value >> (8 * i)));
}

void History::cellChanged(CellId cell) {
  const CellValue old = cells_[cell];
  cells_[cell] = m_.cellValue(cell);
  if (phase_ == Phase::Idle) return clear();
  last_.addCell(cell);
  if (phase_ != Phase::Instruction) return;
  if (old.isWord()) {
    put(static_cast<std::uint8_t>(Entry::CellWord));
    put(cell);
    putBytes(old.asWord(), 2);
  } else {
    put(static_cast<std::uint8_t>(Entry::CellText));
    put(cell);
    putBytes(old.bits(), 8);
  }
}

void History::flagChanged(Flag flag) {
  const int f = static_cast<int>(flag);
  const bool old = (flags_ >> f & 1) != 0;
  flags_ = static_cast<std::uint8_t>((flags_ & ~(1u << f)) | unsigned{m_.flag(flag)} << f);
  if (phase_ == Phase::Idle) return clear();
  last_.addFlag(flag);
  if (phase_ != Phase::Instruction) return;
  put(static_cast<std::uint8_t>(Entry::Flag));
  put(static_cast<std::uint8_t>(f | int{old} << 4));
}

void History::controlChanged(Control control) {
  if (control == Control::PowerOn) return ended();
  // Between instructions the step switch and Continuar change the mode and
  // the panel state: the next instruction's record takes them in, so that
  // stepping it back gives them back as the last instruction left them.
  if (phase_ == Phase::Idle) return;
  if (control == Control::StepMode || control == Control::PanelState) recordControls();
}

void History::recordControls() {
  const bool recording = phase_ == Phase::Instruction || phase_ == Phase::Stretch;
  if (m_.stepMode() != step_mode_ || m_.stepLamp() != lamp_) {
    if (recording) {
      put(static_cast<std::uint8_t>(Entry::StepMode));
      put(static_cast<std::uint8_t>(static_cast<int>(step_mode_) | int{lamp_} << 1));
    }
    step_mode_ = m_.stepMode();
    lamp_ = m_.stepLamp();
  }
  if (m_.panelState() != panel_state_) {
    if (recording) {
      put(static_cast<std::uint8_t>(Entry::PanelState));
      put(static_cast<std::uint8_t>(panel_state_));
    }
    panel_state_ = m_.panelState();
  }
}

void History::bytesChanged(std::size_t first, std::size_t count) {
  const std::uint8_t* now = m_.memory().data();
  if (first + count > memory_.size()) return contentReplaced();
  for (std::size_t i = first; i < first + count; ++i) {
    const std::uint8_t old = memory_[i];
    memory_[i] = now[i];
    if (phase_ == Phase::Idle) continue;
    last_.addWord(static_cast<std::uint16_t>(i / 2));
    if (phase_ != Phase::Instruction) continue;
    put(static_cast<std::uint8_t>(Entry::MemoryByte));
    putBytes(i, 3);
    put(old);
  }
  if (phase_ == Phase::Idle) clear();
}

void History::contentReplaced() {
  memory_.assign(m_.memory().data(), m_.memory().data() + m_.memory().size());
  ended();
}

void History::selectionChanged(int previous, int current) {
  selected_ = current;
  if (phase_ != Phase::Instruction) return;
  put(static_cast<std::uint8_t>(Entry::Selection));
  putBytes(static_cast<std::uint32_t>(previous + 1), 4);
}

void History::instructionBegins() {
  phase_ = Phase::Instruction;
  unrecordable_ = false;
  record_.clear();
  last_.clear();
  outputs_before_ = m_.outputsWritten();
  recordControls();
}

void History::instructionEnds(Outcome) {
  phase_ = Phase::Idle;
  if (m_.outputsWritten() != outputs_before_) {
    put(static_cast<std::uint8_t>(Entry::Outputs));
    putBytes(outputs_before_, 8);
  }
  if (unrecordable_) return clear();
  if (capacity_ > 0) keep();
}

void History::stretchBegins() {
  phase_ = Phase::Stretch;
  unrecordable_ = false;
  record_.clear();
  last_.clear();
  number_steps_.clear();
  stretch_selected_ = selected_;
  recordControls();  // the first step's record takes them in
}

void History::stretchEnds(std::uint64_t instructions) {
  phase_ = Phase::Idle;
  if (capacity_ == 0 || instructions == 0) return;
  if (unrecordable_ || number_steps_.size() != instructions) return clear();
  // Until PC passes a word the listing follows, the selection is the
  // stretch's first.
  for (NumberStep& step : number_steps_) {
    if (step.followed >= 0) break;
    step.followed = -(stretch_selected_ + 2);
  }
  std::size_t first = 0;
  if (!record_.empty()) {
    // The mode and panel state taken in go back with the first step.
    const std::size_t at = record_.size();
    record_.resize(at + 1 + sizeof(NumberStep));
    record_[at] = static_cast<std::uint8_t>(Entry::Numbers);
    std::memcpy(record_.data() + at + 1, number_steps_.data(), sizeof(NumberStep));
    keep();
    first = 1;
  }
  keepNumbers(number_steps_.data() + first, number_steps_.size() - first);
  number_steps_.clear();
}

History::Block& History::blockFor(bool on_numbers) {
  if (blocks_.empty() || blocks_.back().on_numbers != on_numbers ||
      blocks_.back().steps == kStepsPerBlock) {
    Block& block = blocks_.emplace_back();
    block.on_numbers = on_numbers;
    if (on_numbers) {
      block.numbers.reserve(kStepsPerBlock);
    } else {
      block.bytes.reserve(kStepsPerBlock * 32);
    }
  }
  return blocks_.back();
}

void History::keep() {
  Block& block = blockFor(false);
  block.bytes.insert(block.bytes.end(), record_.begin(), record_.end());
  const auto size = static_cast<std::uint16_t>(record_.size());
  block.bytes.push_back(static_cast<std::uint8_t>(size & 0xFF));
  block.bytes.push_back(static_cast<std::uint8_t>(size >> 8));
  ++block.steps;
  ++depth_;
  dropTheOldest();
}

void History::keepNumbers(const NumberStep* first, std::size_t count) {
  while (count > 0) {
    Block& block = blockFor(true);
    const std::size_t take = std::min(count, kStepsPerBlock - block.steps);
    block.numbers.insert(block.numbers.end(), first, first + take);
    block.steps += take;
    depth_ += take;
    first += take;
    count -= take;
    dropTheOldest();
  }
}

void History::dropTheOldest() {
  // The oldest go a whole block at a time, once a block's worth is over.
  while (blocks_.size() > 1 && depth_ - blocks_.front().steps >= capacity_) {
    depth_ -= blocks_.front().steps;
    blocks_.pop_front();
  }
}

bool History::stepBack() {
  if (depth_ == 0) return false;
  Block& block = blocks_.back();
  last_.clear();
  phase_ = Phase::Restoring;
  if (block.on_numbers) {
    undoNumbers(block.numbers.back());
    block.numbers.pop_back();
  } else {
    const std::size_t end = block.bytes.size();
    const std::size_t size = block.bytes[end - 2] | std::size_t{block.bytes[end - 1]} << 8;
    const std::size_t first = end - 2 - size;
    undo(block.bytes.data() + first, block.bytes.data() + end - 2);
    block.bytes.resize(first);
  }
  phase_ = Phase::Idle;
  --block.steps;
  --depth_;
  if (block.steps == 0) blocks_.pop_back();
  processor_.uncountExecution();
  return true;
}

void History::undo(const std::uint8_t* first, const std::uint8_t* last) {
  // The entries' starts, so that they are undone newest first.
  std::vector<const std::uint8_t*> entries;
  for (const std::uint8_t* p = first; p < last; p += 1 + valueSize(static_cast<Entry>(*p))) {
    entries.push_back(p);
  }
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    const std::uint8_t* p = *it;
    const std::uint8_t* value = p + 1;
    switch (static_cast<Entry>(*p)) {
      case Entry::CellWord:
        m_.setCell(value[0], CellValue::word(static_cast<unsigned>(readBytes(value + 1, 2))));
        break;
      case Entry::CellText:
        m_.setCell(value[0], CellValue::ofBits(readBytes(value + 1, 8)));
        break;
      case Entry::Flag:
        m_.setFlag(static_cast<Flag>(value[0] & 0xF), (value[0] >> 4) != 0);
        break;
      case Entry::MemoryByte: {
        const std::uint8_t old[1] = {value[3]};
        m_.memory().setBytes(static_cast<long long>(readBytes(value, 3)), old);
        break;
      }
      case Entry::StepMode:
        m_.restoreStepMode(static_cast<StepMode>(value[0] & 1), (value[0] & 2) != 0);
        break;
      case Entry::PanelState:
        m_.setPanelState(static_cast<PanelState>(value[0]));
        break;
      case Entry::Selection:
        listing_.select(static_cast<int>(readBytes(value, 4)) - 1);
        break;
      case Entry::Outputs:
        m_.restoreOutputsWritten(readBytes(value, 8));
        break;
      case Entry::Numbers: {
        NumberStep step;
        std::memcpy(&step, value, sizeof(NumberStep));
        undoNumbers(step);
        break;
      }
    }
  }
}

void History::undoNumbers(const NumberStep& step) {
  using Wrote = NumberStep::Wrote;
  const auto word = [](unsigned w) { return CellValue::word(w & 0xFFFF); };
  if (step.wrote == Wrote::Memory || step.wrote == Wrote::Call) {
    const std::uint8_t old[2] = {static_cast<std::uint8_t>(step.old >> 8),
                                 static_cast<std::uint8_t>(step.old & 0xFF)};
    m_.memory().setBytes(2 * static_cast<long long>(step.address), old);
  }
  switch (step.wrote) {
    case Wrote::Register:
      m_.setCell(registerCell(step.index), word(step.old));
      break;
    case Wrote::Port: {
      m_.setCell(outputPortCell(step.index), word(step.old));
      const std::uint64_t bit = std::uint64_t{1} << step.index;
      const std::uint64_t written = m_.outputsWritten();
      m_.restoreOutputsWritten(step.port_written ? written | bit : written & ~bit);
      break;
    }
    case Wrote::Call:
      m_.setCell(registerCell(kRE), word(step.address + 1u));  // before the push
      break;
    case Wrote::Nothing:
    case Wrote::Memory:
      break;
  }
  for (int f = 0; f < kFlagCount; ++f) m_.setFlag(static_cast<Flag>(f), (step.flags >> f & 1) != 0);
  m_.setCell(kCellPC, word(step.pc));
  m_.setCell(kCellIR, word(step.ir));
  m_.setCell(kCellAR, word(step.ar));
  m_.setCell(kCellDR, word(step.dr));
  if (step.followed >= 0) {
    listing_.selectWordAddress(static_cast<std::uint16_t>(step.followed));
  } else {
    listing_.select(-(step.followed + 2));
  }
}

}  // namespace orben
