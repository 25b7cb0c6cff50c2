#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/catalog.h"

namespace orben::assembler {

// A source's bytes as UTF-8 text: without a leading byte-order mark
// (EF BB BF), as they are when they are UTF-8 (ASCII is), else read as
// Windows-1252, what Windows editors save as "ANSI", and written into
// `storage` as UTF-8.
std::string_view Utf8Source(std::string_view source, std::string& storage);

// Whether every byte of `text` belongs to a well-formed UTF-8 sequence.
bool IsUtf8(std::string_view text);

// UTF-8 text in Windows-1252, the way back of Utf8Source's reading: every
// character of 00..FF but 80..9F stands for its own byte, the others for
// the byte Windows-1252 gives them. Nothing when a character has no byte.
std::optional<std::string> Windows1252Bytes(std::string_view utf8);

// Where a source's text goes wrong before any line is read: a byte that is
// not UTF-8, or a NUL (a binary file).
struct TextFault {
  std::size_t line = 0;
  std::size_t column = 0;
  Text message;
};

// Nothing when the whole source is UTF-8 text without a NUL, else the
// first fault, with its line and its column in characters counted from 1.
std::optional<TextFault> CheckText(std::string_view source);

// The lines of a source, split at a line feed, a carriage return and line
// feed, or a carriage return alone; a last line without an end counts, an
// empty last line after the final end does not.
class SourceLines {
 public:
  explicit SourceLines(std::string_view source) : source_(source) {}
  // The next line into `line`, its number from 1 into `number`; false at
  // the end.
  bool next(std::string_view& line, std::size_t& number);
  void rewind() {
    pos_ = 0;
    number_ = 0;
  }

 private:
  std::string_view source_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
};

// The line without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view line);

}  // namespace orben::assembler
