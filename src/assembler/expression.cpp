#include "assembler/expression.h"
#include "loader/line_scanner.h"

#include <utility>

#include "machine/word_text.h"

namespace orben::assembler {

namespace {

// What a reserved word used as a value is.
Text NotAValue(ReservedKind kind, std::string_view name) {
  switch (kind) {
    case ReservedKind::Register:
      return Text("'{0}' is a register, not a value", name);
    case ReservedKind::Mnemonic:
      return Text("'{0}' is a mnemonic, not a value", name);
    case ReservedKind::Directive:
      return Text("'{0}' is a directive, not a value", name);
    case ReservedKind::None:
    case ReservedKind::Function:
      break;
  }
  return Text("'{0}' is reserved, not a value", name);
}

}  // namespace

void ExpressionReader::fail(const ErrorReport& report, std::size_t column,
                            const Text& message) const {
  if (final_pass_ && report) report(column, message);
}

Evaluation ExpressionReader::read(Lexer& lexer, std::uint32_t here, const ErrorReport& report) {
  Evaluation result;
  result.column = lexer.peek().column;
  std::int64_t sum = 0;
  bool known = true;
  int sign = 1;
  if (lexer.peek().kind == TokenKind::Plus || lexer.peek().kind == TokenKind::Minus) {
    sign = lexer.next().kind == TokenKind::Minus ? -1 : 1;
  }
  for (;;) {
    std::optional<std::int64_t> value;
    if (!term(lexer, here, report, value)) {
      result.readable = false;
      return result;
    }
    if (value) {
      sum += sign * *value;
    } else {
      known = false;
    }
    const TokenKind next = lexer.peek().kind;
    if (next != TokenKind::Plus && next != TokenKind::Minus) break;
    sign = lexer.next().kind == TokenKind::Minus ? -1 : 1;
  }
  if (known) result.value = sum;
  return result;
}

bool ExpressionReader::term(Lexer& lexer, std::uint32_t here, const ErrorReport& report,
                            std::optional<std::int64_t>& value) {
  const Token token = lexer.next();
  switch (token.kind) {
    case TokenKind::Number:
      value = token.value;
      return true;
    case TokenKind::Dollar:
      value = here;
      return true;
    case TokenKind::Name:
      return nameTerm(lexer, token, here, report, value);
    case TokenKind::Error:
      fail(report, token.column, token.message);
      return false;
    default:
      fail(report, token.column,
           FoundText(token, N_("expected a value, found '{0}'"),
                     N_("expected a value, found the end of the line")));
      return false;
  }
}

bool ExpressionReader::nameTerm(Lexer& lexer, const Token& name, std::uint32_t here,
                                const ErrorReport& report, std::optional<std::int64_t>& value) {
  const ReservedKind reserved = ReservedWord(name.text);
  if (reserved == ReservedKind::Function) {
    const bool high = UpperCaseText(std::string(name.text)) == "HI";
    if (lexer.peek().kind != TokenKind::OpenParen) {
      fail(report, lexer.peek().column, Text("{0} needs '(' and a value", name.text));
      return false;
    }
    lexer.next();
    const Evaluation inner = read(lexer, here, report);
    if (!inner.readable) return false;
    if (lexer.peek().kind != TokenKind::CloseParen) {
      fail(report, lexer.peek().column, ExpectedPunctuation(lexer.peek(), "')'"));
      return false;
    }
    lexer.next();
    if (inner.value) {
      const std::int64_t word = *inner.value & 0xFFFF;
      value = high ? word >> 8 : word & 0xFF;
    }
    return true;
  }
  if (reserved != ReservedKind::None) {
    fail(report, name.column, NotAValue(reserved, name.text));
    return false;
  }
  Symbol* symbol = symbols_.find(name.text);
  if (symbol == nullptr) {
    // In the first pass a name defined further down is not known yet, and
    // is not an error: no message is made for it.
    if (final_pass_) fail(report, name.column, Text("undefined name '{0}'", name.text));
    return true;
  }
  if (symbol->kind == Symbol::Kind::Label) {
    if (symbol->state == Symbol::State::Known) value = symbol->value;
    return true;
  }
  if (symbol->state == Symbol::State::Resolving) met_cycle_ = true;
  value = constantValue(*symbol);
  if (!value && (symbol->state == Symbol::State::Resolving || symbol->cyclic)) {
    fail(report, name.column, Text("the value of '{0}' depends on itself", name.text));
  }
  return true;
}

std::optional<std::int64_t> ExpressionReader::constantValue(Symbol& symbol) {
  switch (symbol.state) {
    case Symbol::State::Known:
      return symbol.value;
    case Symbol::State::Failed:
    case Symbol::State::Resolving:
      return std::nullopt;
    case Symbol::State::Unknown:
      break;
  }
  symbol.state = Symbol::State::Resolving;
  const bool outer_cycle = std::exchange(met_cycle_, false);
  Lexer lexer(symbol.text, symbol.start);
  const Evaluation evaluation = read(lexer, symbol.here, {});
  const bool whole = lexer.peek().kind == TokenKind::End;
  const bool cycle = std::exchange(met_cycle_, outer_cycle || met_cycle_);
  if (evaluation.readable && whole && evaluation.value) {
    symbol.state = Symbol::State::Known;
    symbol.value = *evaluation.value;
    return symbol.value;
  }
  // A first pass may find it once more labels are known.
  symbol.state = final_pass_ ? Symbol::State::Failed : Symbol::State::Unknown;
  symbol.cyclic = final_pass_ && cycle;
  return std::nullopt;
}

Evaluation ExpressionReader::settleConstant(Symbol& symbol, const ErrorReport& report) {
  const Symbol::State before = symbol.state;
  symbol.state = Symbol::State::Resolving;
  const bool outer_cycle = std::exchange(met_cycle_, false);
  Lexer lexer(symbol.text, symbol.start);
  Evaluation evaluation = read(lexer, symbol.here, report);
  symbol.cyclic = symbol.cyclic || met_cycle_;
  met_cycle_ = outer_cycle;
  if (evaluation.readable && lexer.peek().kind != TokenKind::End) {
    const Token& rest = lexer.peek();
    fail(report, rest.column,
         rest.kind == TokenKind::Error ? rest.message
                                       : Text("unexpected '{0}' after the value", rest.text));
    evaluation.readable = false;
  }
  if (before == Symbol::State::Known) {
    symbol.state = before;
  } else if (evaluation.readable && evaluation.value) {
    symbol.state = Symbol::State::Known;
    symbol.value = *evaluation.value;
  } else {
    symbol.state = Symbol::State::Failed;
  }
  return evaluation;
}

std::optional<std::uint8_t> FitByte(std::int64_t value, std::string_view written, ByteField field,
                                    unsigned loaded, std::size_t column,
                                    const ErrorReport& report) {
  if (value >= -128 && value <= 255) return static_cast<std::uint8_t>(value & 0xFF);
  switch (field) {
    case ByteField::Port:
      report(column, Text("value {0} does not fit the 8-bit port (00..FF)", written));
      break;
    case ByteField::Value:
      report(column, Text("value {0} does not fit the 8-bit value (0..255 or -128..-1): for a "
                          "16-bit value write LDI {1}, {0}",
                          written, std::string{'R', HexDigitToChar(loaded)}));
      break;
    case ByteField::Displacement:
    case ByteField::None:
      report(column,
             Text("value {0} does not fit the 8-bit displacement (0..255 or -128..-1)", written));
      break;
  }
  return std::nullopt;
}

std::optional<std::uint16_t> FitWord(std::int64_t value, std::size_t column,
                                     const ErrorReport& report) {
  if (value >= -32768 && value <= 0xFFFF) return static_cast<std::uint16_t>(value & 0xFFFF);
  report(column, Text("value {0} does not fit in 16 bits (-32768..65535)", value));
  return std::nullopt;
}

}  // namespace orben::assembler
