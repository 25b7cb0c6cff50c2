#include "session/trace.h"

#include <algorithm>

#include "disasm/disassembler.h"

namespace orben::session {

namespace {

template <typename T>
void note(std::vector<T>& seen, T value) {
  if (std::find(seen.begin(), seen.end(), value) == seen.end()) seen.push_back(value);
}

}  // namespace

TraceObserver::TraceObserver(Machine& machine) : m_(machine) {
  m_.addObserver(this);
  m_.memory().addObserver(this);
}

TraceObserver::~TraceObserver() {
  m_.removeObserver(this);
  m_.memory().removeObserver(this);
}

void TraceObserver::beginInstruction(const WordText& address) {
  address_ = address;
  word_ = m_.ReadMemoryWord(WordTextToValue(address));
  cells_.clear();
  flags_.clear();
  words_.clear();
}

void TraceObserver::cellChanged(CellId cell) {
  note(cells_, cell);
}
void TraceObserver::flagChanged(Flag flag) {
  note(flags_, flag);
}

void TraceObserver::bytesChanged(std::size_t first, std::size_t count) {
  for (std::size_t b = first; b < first + count; ++b) note(words_, static_cast<long long>(b / 2));
}

void TraceObserver::endInstruction(std::ostream& err) {
  err << address_.view() << ' ' << (word_.empty() ? "----" : word_.view()) << ' '
      << (word_.empty() ? "(no instruction)" : Disassemble(word_.view()));
  const char* separator = " |";
  for (CellId cell : cells_) {
    const WordText text = m_.cell(cell);
    err << separator << ' ' << displaysOfCell(cell).front() << '='
        << (text.empty() ? std::string_view("\"\"") : text.view());
    separator = "";
  }
  for (Flag flag : flags_) {
    err << separator << ' ' << flagLetter(flag) << '=' << (m_.flag(flag) ? 1 : 0);
    separator = "";
  }
  for (long long word : words_) {
    err << separator << " [" << ValueToWordText(word).view()
        << "]=" << m_.ReadMemoryWord(word).view();
    separator = "";
  }
  err << '\n';
}

}  // namespace orben::session
