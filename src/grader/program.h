#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "loader/load_command.h"
#include "text/catalog.h"

namespace orben::grader {

// Why a program could not be graded at all.
enum class Trouble : std::uint8_t {
  None,
  Unreadable,    // the file cannot be read
  NotAssembled,  // an assembly source with errors
};

// A word the program's load put into memory, at its address.
using LoadedWord = std::pair<std::uint16_t, std::uint16_t>;

// A program made ready once for all its cases: the bytes the load command
// reads and the name it is given, or why there are none.
struct Program {
  ObjectFormat format = ObjectFormat::Ehc;
  std::string load_name;
  std::string bytes;
  Trouble trouble = Trouble::None;
  std::vector<Text> problems;  // what the trouble was, line by line
  // The messages the load showed (a corrupt line, a refused address), the
  // machine's own texts.
  std::vector<std::string> load_messages;
  // Every word the load put into memory, by address: what two programs
  // share when one is a copy of the other.
  std::vector<LoadedWord> words;
};

// Reads `path` (.EHC, .HEX, or else an assembly source, assembled in
// memory), then loads it once to learn its messages and its words.
Program PrepareProgram(const std::string& path);
// The same for the text of a file named `path` already in memory (the
// editor's source as it was assembled).
Program PrepareProgram(const std::string& path, std::string text);

}  // namespace orben::grader
