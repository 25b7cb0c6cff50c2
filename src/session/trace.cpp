#include "session/trace.h"

#include "text/catalog.h"

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
  err << instructionText(address_, word_, source_);
  if (!changes_.empty()) err << " | " << changesText(m_, changes_);
  err << '\n';
}

std::string instructionText(const WordText& address, const WordText& word,
                            const SourceMap* source) {
  std::string text(address.view());
  text.append(" ").append(word.empty() ? "----" : word.view());
  text.append(" ").append(word.empty() ? std::string(tr("(no instruction)"))
                                       : Disassemble(word.view()));
  const int at = WordTextToValue(address);
  const MappedLine* line =
      source && at >= 0 ? source->lineAt(static_cast<std::uint16_t>(at)) : nullptr;
  if (line) {
    const std::size_t first = line->text.find_first_not_of(" \t");
    const std::string_view source_text =
        first != std::string::npos ? std::string_view(line->text).substr(first) : "";
    text.append(" ").append(trf("(line {0}: {1})", line->number, source_text));
  }
  return text;
}

std::string cellName(CellId cell) {
  return displaysOfCell(cell).front();
}

std::string changesText(const Machine& m, const StepChanges& changes) {
  std::string text;
  const auto add = [&](std::string_view name, std::string_view value) {
    if (!text.empty()) text += ' ';
    text.append(name).append("=").append(value);
  };
  for (CellId cell : changes.cells) {
    const WordText value = m.cell(cell);
    add(cellName(cell), value.empty() ? std::string_view("\"\"") : value.view());
  }
  for (Flag flag : changes.flags) add(std::string(1, flagLetter(flag)), m.flag(flag) ? "1" : "0");
  for (std::uint16_t word : changes.words) {
    std::string name(1, '[');
    name += ValueToWordText(word).view();
    name += ']';
    add(name, m.ReadMemoryWord(word).view());
  }
  return text;
}

}  // namespace orben::session
