#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/assembler.h"

namespace orben::session {

// A source line that gave words: its number (from 1), its text as the
// source holds it (as UTF-8, without the line's end), the address of its
// first word and how many words it gave.
struct MappedLine {
  std::size_t number = 0;
  std::string text;
  std::uint16_t address = 0;
  std::size_t words = 0;
};

// What a program assembled from a source keeps of that source: for each
// word address, the line that put the word there, and the names the
// source defines. Where two lines put a word at the same address, the
// later one wins, as it does when the object file is loaded.
class SourceMap {
 public:
  bool empty() const { return lines_.empty() && names_.empty(); }
  // The line of the word at `address`, or nullptr where the source put none.
  const MappedLine* lineAt(std::uint16_t address) const;
  // The lowest and the highest address the source put a word at; nothing
  // for a source of no words.
  std::optional<std::uint16_t> lowestAddress() const;
  std::optional<std::uint16_t> highestAddress() const;
  // Every line that gave words, in the order of the source.
  const std::vector<MappedLine>& lines() const { return lines_; }
  // The labels and EQU constants with their values, in alphabetical order
  // whatever their case.
  const std::vector<assembler::NameEntry>& names() const { return names_; }
  // The name's entry, found whatever its case, or nullptr.
  const assembler::NameEntry* name(std::string_view name) const;

 private:
  friend class SourceMapRecorder;
  std::vector<MappedLine> lines_;
  std::map<std::uint16_t, std::size_t> line_of_;  // address: index in lines_
  std::vector<assembler::NameEntry> names_;
};

// Builds a SourceMap from the lines an assembly hands out; given with the
// other outputs of Assemble (in an OutputFan), it repeats none of the
// assembler's work.
class SourceMapRecorder : public assembler::AssemblyOutput {
 public:
  void line(const assembler::SourceLine& line, std::uint32_t address,
            std::span<const std::uint16_t> words) override;
  // The map, with the names of the assembly's result.
  SourceMap finish(const assembler::AssemblyResult& result);

 private:
  SourceMap map_;
};

}  // namespace orben::session
