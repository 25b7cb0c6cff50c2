#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/catalog.h"

namespace orben::assembler {

enum class Severity { Error, Warning };

// One error or warning. Line and column count from 1; line 0 is about the
// whole source (an empty source, nothing to assemble). The message reads
// in either language: a terminal shows it in the current one, JSON in
// English.
struct Diagnostic {
  Severity severity = Severity::Error;
  std::size_t line = 0;
  std::size_t column = 0;
  Text message;
};

// The diagnostic as a line naming its source, as a compiler writes it:
// SOURCE:LINE:COLUMN: error: message, or SOURCE: error: message for a
// diagnostic of the whole source ("aviso" for a warning in Spanish).
Text DiagnosticLine(std::string_view source, const Diagnostic& diagnostic);

struct SourceLine {
  std::size_t number = 0;
  std::string_view text;
};

// Where an assembly goes, line by line, in the order of the source.
class AssemblyOutput {
 public:
  virtual ~AssemblyOutput() = default;
  virtual void diagnostic(const Diagnostic& /*diagnostic*/) {}
  // Every source line once, with the words it gives (none for a comment, a
  // label alone, EQU or ORG); the first word's address is `address`, the
  // next ones follow it.
  virtual void line(const SourceLine& /*line*/, std::uint32_t /*address*/,
                    std::span<const std::uint16_t> /*words*/) {}
};

// A name of the source and what it stands for.
struct NameEntry {
  std::string name;  // as written where it is defined
  std::int64_t value = 0;
  bool label = true;  // false for an EQU constant
  std::size_t line = 0;
};

struct AssemblyResult {
  std::size_t errors = 0;
  std::size_t warnings = 0;
  std::size_t words = 0;
  std::vector<NameEntry> names;  // in alphabetical order, case aside
  bool ok() const { return errors == 0; }
};

// Assembles a TUKA-2 source in two passes: the first finds where every
// line's words go and what every label stands for, the second reports
// every error and warning and gives each line's words to `output`. The
// source is read as it stands in memory; nothing but the names is kept.
AssemblyResult Assemble(std::string_view source, AssemblyOutput& output);

// The words of a source assembled in memory, with their diagnostics.
struct AssembledWord {
  std::uint16_t address = 0;
  std::uint16_t word = 0;
  std::size_t line = 0;
};
struct Assembled {
  AssemblyResult result;
  std::vector<AssembledWord> words;
  std::vector<Diagnostic> diagnostics;
};
Assembled AssembleText(std::string_view source);

}  // namespace orben::assembler
