#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "assembler/instructions.h"
#include "assembler/lexer.h"
#include "assembler/symbols.h"
#include "text/catalog.h"

namespace orben::assembler {

// An error at a column of the line being read.
using ErrorReport = std::function<void(std::size_t column, const Text& message)>;

// An expression as read: whether its text could be read at all, and its
// value when every name in it is known.
struct Evaluation {
  bool readable = true;
  std::optional<std::int64_t> value;
  std::size_t column = 0;  // of its first token
};

// Reads and works out expressions: terms (a number, a name, '$', LO(...),
// HI(...)) joined by '+' and '-', the first one with an optional sign.
class ExpressionReader {
 public:
  // In the first pass names defined further down are not known yet and no
  // error is reported; in the final pass an unknown name is an error.
  ExpressionReader(SymbolTable& symbols, bool final_pass)
      : symbols_(symbols), final_pass_(final_pass) {}

  // Reads one expression from `lexer`; `here` is what '$' stands for.
  // Errors go to `report` (none in the first pass).
  Evaluation read(Lexer& lexer, std::uint32_t here, const ErrorReport& report);

  // The value of a constant, working out its expression when needed.
  // Errors in that expression are left for its own line to report.
  std::optional<std::int64_t> constantValue(Symbol& symbol);

  // A constant's own line in the final pass: its expression read with
  // errors reported, and its value settled.
  Evaluation settleConstant(Symbol& symbol, const ErrorReport& report);

 private:
  bool term(Lexer& lexer, std::uint32_t here, const ErrorReport& report,
            std::optional<std::int64_t>& value);
  bool nameTerm(Lexer& lexer, const Token& name, std::uint32_t here, const ErrorReport& report,
                std::optional<std::int64_t>& value);
  void fail(const ErrorReport& report, std::size_t column, const Text& message) const;

  SymbolTable& symbols_;
  bool final_pass_;
  bool met_cycle_ = false;  // a constant being worked out was met again
};

// An 8-bit field: 0..255, or -128..-1 as its two's complement. Anything
// else is reported, quoting the value as `written` in the source and
// naming the field (a port is 00..FF); for a value the message offers LDI
// into `loaded` (the register number), which takes 16 bits. Nothing is
// returned then.
std::optional<std::uint8_t> FitByte(std::int64_t value, std::string_view written, ByteField field,
                                    unsigned loaded, std::size_t column, const ErrorReport& report);

// A 16-bit value: 0..65535, or -32768..-1 as its two's complement.
std::optional<std::uint16_t> FitWord(std::int64_t value, std::size_t column,
                                     const ErrorReport& report);

}  // namespace orben::assembler
