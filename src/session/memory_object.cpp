#include "session/memory_object.h"

#include <sstream>

#include "assembler/object_writers.h"
#include "assembler/source_document.h"

namespace orben::session {

MemoryRange defaultMemoryRange(const SourceMap& map) {
  const auto lowest = map.lowestAddress();
  const auto highest = map.highestAddress();
  if (!lowest || !highest) return {};
  return {*lowest, *highest};
}

std::optional<std::uint16_t> addressOfText(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    const int digit = HexCharToValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<std::uint16_t>(value);
}

RangeCheck checkMemoryRange(std::string_view first, std::string_view last, MemoryRange& range) {
  const auto from = addressOfText(first);
  const auto to = addressOfText(last);
  if (!from || !to) return RangeCheck::BadAddress;
  if (*from > *to) return RangeCheck::Reversed;
  range = {*from, *to};
  return RangeCheck::Valid;
}

std::string memoryObjectText(const Machine& machine, const SourceMap& map, MemoryRange range,
                             ObjectFormat format) {
  std::ostringstream out;
  assembler::ObjectWriter writer(format, out);
  for (unsigned address = range.first; address <= range.last; ++address) {
    const CellValue cell = machine.memoryWord(address);
    if (!cell.isWord()) continue;
    const auto at = static_cast<std::uint16_t>(address);
    std::optional<std::string> comment;
    if (const MappedLine* line = map.lineAt(at)) comment = assembler::CommentText(line->text);
    writer.word(at, cell.asWord(), comment);
  }
  writer.finish();
  return std::move(out).str();
}

std::string_view rangeCheckMessage(RangeCheck check) {
  switch (check) {
    case RangeCheck::BadAddress:
      return kBadAddressMessage;
    case RangeCheck::Reversed:
      return kReversedRangeMessage;
    case RangeCheck::Valid:
      break;
  }
  return {};
}

MemorySave memoryObjectNamed(const Machine& machine, const SourceMap& map, MemoryRange range,
                             const std::string& name, std::string& text) {
  const auto format = objectFormatOfName(name);
  if (!format) {
    text = kBadExtensionMessage;
    return MemorySave::BadExtension;
  }
  if (range.first >= Machine::kMemoryWords) {
    text = kLoadRefusedMessage;
    return MemorySave::NoStorage;
  }
  text = memoryObjectText(machine, map, range, *format);
  return MemorySave::Saved;
}

MemorySave saveMemoryObject(const Machine& machine, const SourceMap& map, MemoryRange range,
                            const std::string& path, std::string& reason) {
  std::string text;
  const MemorySave made = memoryObjectNamed(machine, map, range, path, text);
  if (made != MemorySave::Saved) {
    reason = text;
    return made;
  }
  return assembler::WriteSourceFile(path, text, reason) ? MemorySave::Saved : MemorySave::FileError;
}

}  // namespace orben::session
