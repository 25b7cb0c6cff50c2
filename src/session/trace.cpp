#include "session/trace.h"

#include "disasm/disassembler.h"

namespace orben::session {

TraceObserver::TraceObserver(Machine& machine, const SourceMap* source)
    : m_(machine), source_(source) {
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
  changes_.clear();
}

void TraceObserver::cellChanged(CellId cell) {
  changes_.addCell(cell);
}
void TraceObserver::flagChanged(Flag flag) {
  changes_.addFlag(flag);
}

void TraceObserver::bytesChanged(std::size_t first, std::size_t count) {
  for (std::size_t b = first; b < first + count; ++b)
    changes_.addWord(static_cast<std::uint16_t>(b / 2));
}

void TraceObserver::endInstruction(std::ostream& err) {
  err << address_.view() << ' ' << (word_.empty() ? "----" : word_.view()) << ' '
      << (word_.empty() ? "(no instruction)" : Disassemble(word_.view()));
  const int address = WordTextToValue(address_);
  const MappedLine* line =
      source_ && address >= 0 ? source_->lineAt(static_cast<std::uint16_t>(address)) : nullptr;
  if (line) {
    const std::size_t first = line->text.find_first_not_of(" \t");
    err << " (line " << line->number << ": "
        << (first == std::string::npos ? "" : line->text.substr(first)) << ')';
  }
  const char* separator = " |";
  for (CellId cell : changes_.cells) {
    const WordText text = m_.cell(cell);
    err << separator << ' ' << displaysOfCell(cell).front() << '='
        << (text.empty() ? std::string_view("\"\"") : text.view());
    separator = "";
  }
  for (Flag flag : changes_.flags) {
    err << separator << ' ' << flagLetter(flag) << '=' << (m_.flag(flag) ? 1 : 0);
    separator = "";
  }
  for (std::uint16_t word : changes_.words) {
    err << separator << " [" << ValueToWordText(word).view()
        << "]=" << m_.ReadMemoryWord(word).view();
    separator = "";
  }
  err << '\n';
}

}  // namespace orben::session
