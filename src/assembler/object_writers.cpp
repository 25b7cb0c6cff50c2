#include "assembler/object_writers.h"

#include <cstdio>
#include <string>

#include "assembler/lexer.h"
#include "assembler/source_text.h"
#include "machine/word_text.h"

namespace orben::assembler {

namespace {

std::string Hex2(unsigned byte) {
  return wordOf(byte & 0xFF).str().substr(2);
}

}  // namespace

std::string CommentText(std::string_view line) {
  std::string text(TrimBlanks(line));
  if (text.size() > kCommentLimit) {
    std::size_t cut = kCommentLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
  }
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return text;
}

void ObjectWriter::line(const SourceLine& line, std::uint32_t address,
                        std::span<const std::uint16_t> words) {
  if (words.empty()) return;
  const std::string comment = format_ == ObjectFormat::Ehc ? CommentText(line.text) : "";
  for (std::uint16_t each : words)
    word(static_cast<std::uint16_t>(address++ & 0xFFFF), each, comment);
}

void ObjectWriter::word(std::uint16_t address, std::uint16_t word,
                        std::optional<std::string_view> comment) {
  const unsigned at = address;
  if (format_ == ObjectFormat::Ehc) {
    out_ << wordOf(at).view() << ' ' << wordOf(word).view();
    if (comment) out_ << " ; " << *comment;
    out_ << "\r\n";
  } else {
    const unsigned sum = 0x02 + (at >> 8) + (at & 0xFF) + (word >> 8) + (word & 0xFF);
    out_ << ":02" << wordOf(at).view() << "00" << wordOf(word).view() << Hex2(0x100 - (sum & 0xFF))
         << "\r\n";
  }
}

void ObjectWriter::finish() {
  if (format_ == ObjectFormat::Hex) out_ << ":00000001FF\r\n";
}

void ListingWriter::line(const SourceLine& line, std::uint32_t address,
                         std::span<const std::uint16_t> words) {
  char number[16];
  std::snprintf(number, sizeof number, "%6zu", line.number);
  out_ << number << "  ";
  if (words.empty()) {
    out_ << "         ";
  } else {
    out_ << wordOf(address & 0xFFFF).view() << ' ' << wordOf(words[0]).view();
  }
  out_ << "  " << line.text << '\n';
  for (std::size_t i = 1; i < words.size(); ++i) {
    out_ << "        " << wordOf((address + i) & 0xFFFF).view() << ' ' << wordOf(words[i]).view()
         << '\n';
  }
}

void ListingWriter::names(const std::vector<NameEntry>& names) {
  out_ << "\nNames:\n";
  if (names.empty()) out_ << "  (none)\n";
  for (const NameEntry& entry : names) {
    out_ << "  " << entry.name
         << std::string(entry.name.size() < 16 ? 16 - entry.name.size() : 1, ' ')
         << wordOf(static_cast<unsigned>(entry.value & 0xFFFF)).view() << "  "
         << (entry.label ? "label   " : "constant") << "  line " << entry.line << '\n';
  }
}

}  // namespace orben::assembler
