#include "session/source_map.h"

#include "loader/line_scanner.h"

namespace orben::session {

const MappedLine* SourceMap::lineAt(std::uint16_t address) const {
  const auto found = line_of_.find(address);
  return found == line_of_.end() ? nullptr : &lines_[found->second];
}

std::optional<std::uint16_t> SourceMap::lowestAddress() const {
  if (line_of_.empty()) return std::nullopt;
  return line_of_.begin()->first;
}

std::optional<std::uint16_t> SourceMap::highestAddress() const {
  if (line_of_.empty()) return std::nullopt;
  return line_of_.rbegin()->first;
}

const assembler::NameEntry* SourceMap::name(std::string_view name) const {
  const std::string wanted = UpperCaseText(std::string(name));
  for (const auto& entry : names_) {
    if (UpperCaseText(std::string(entry.name)) == wanted) return &entry;
  }
  return nullptr;
}

void SourceMapRecorder::line(const assembler::SourceLine& line, std::uint32_t address,
                             std::span<const std::uint16_t> words) {
  if (words.empty() || address > 0xFFFF) return;
  const std::size_t index = map_.lines_.size();
  map_.lines_.push_back(
      {line.number, std::string(line.text), static_cast<std::uint16_t>(address), words.size()});
  for (std::size_t i = 0; i < words.size() && address + i <= 0xFFFF; ++i) {
    map_.line_of_[static_cast<std::uint16_t>(address + i)] = index;
  }
}

SourceMap SourceMapRecorder::finish(const assembler::AssemblyResult& result) {
  map_.names_ = result.names;
  SourceMap map = std::move(map_);
  map_ = SourceMap();
  return map;
}

}  // namespace orben::session
