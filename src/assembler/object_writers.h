#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>
#include <vector>

#include "assembler/assembler.h"
#include "loader/load_command.h"

namespace orben::assembler {

// Writes the words as an object file, in the order of the source: an EHC
// line "AAAA CCCC ; source text" or an Intel HEX data record per word,
// CR LF after each line; finish() adds the HEX end record.
class ObjectWriter : public AssemblyOutput {
 public:
  ObjectWriter(ObjectFormat format, std::ostream& out) : format_(format), out_(out) {}
  void line(const SourceLine& line, std::uint32_t address,
            std::span<const std::uint16_t> words) override;
  // One word at `address`, as line() writes each of its words: in EHC with
  // `comment` (made with CommentText) after " ; ", or "AAAA CCCC" alone
  // where there is none; a HEX record carries no comment.
  void word(std::uint16_t address, std::uint16_t word, std::optional<std::string_view> comment);
  void finish();

 private:
  ObjectFormat format_;
  std::ostream& out_;
};

// Writes the assembler listing: each source line with its number, and the
// address and word of each word it gives; names() adds the table of names.
class ListingWriter : public AssemblyOutput {
 public:
  explicit ListingWriter(std::ostream& out) : out_(out) {}
  void line(const SourceLine& line, std::uint32_t address,
            std::span<const std::uint16_t> words) override;
  void names(const std::vector<NameEntry>& names);

 private:
  std::ostream& out_;
};

// Hands every line and diagnostic to each of several outputs.
class OutputFan : public AssemblyOutput {
 public:
  explicit OutputFan(std::vector<AssemblyOutput*> outputs) : outputs_(std::move(outputs)) {}
  void diagnostic(const Diagnostic& diagnostic) override {
    for (auto* output : outputs_) output->diagnostic(diagnostic);
  }
  void line(const SourceLine& line, std::uint32_t address,
            std::span<const std::uint16_t> words) override {
    for (auto* output : outputs_) output->line(line, address, words);
  }

 private:
  std::vector<AssemblyOutput*> outputs_;
};

// The source text an EHC line carries after its ';': the line without its
// surrounding blanks, control characters (a 1AH would end the file for
// the loader) as blanks, cut to kCommentLimit bytes at a character's start.
std::string CommentText(std::string_view line);
inline constexpr std::size_t kCommentLimit = 200;

}  // namespace orben::assembler
