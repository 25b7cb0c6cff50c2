#include "assembler/assembly.h"
#include "loader/line_scanner.h"

#include <algorithm>

#include "assembler/source_text.h"
#include "machine/word_text.h"

namespace orben::assembler {

namespace {

std::string Hex4(std::uint32_t value) {
  return wordOf(value & 0xFFFF).str();
}

// The names but the last, between commas: "A, B" of A, B and C.
std::string AllButTheLast(const std::vector<std::string_view>& names) {
  std::string text;
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    if (i > 0) text += ", ";
    text += names[i];
  }
  return text;
}

Text AlreadyDefined(std::string_view name, std::size_t line) {
  return Text("'{0}' is already defined at line {1}", name, line);
}

}  // namespace

Assembly::Assembly(std::string_view source, AssemblyOutput& output)
    : source_(source), output_(output) {
  report_ = [this](std::size_t column, const Text& message) { error(column, message); };
}

AssemblyResult Assembly::run() {
  source_ = Utf8Source(source_, decoded_);
  if (const auto fault = CheckText(source_)) {
    ++result_.errors;
    output_.diagnostic({Severity::Error, fault->line, fault->column, fault->message});
    return result_;
  }
  pass(false);
  pass(true);
  if (result_.ok() && result_.words == 0) {
    const Text message = source_.empty()
                             ? Text("the source is empty: nothing to assemble")
                             : Text("the source has no instruction and no DW: nothing to assemble");
    output_.diagnostic({Severity::Error, 0, 0, message});
    ++result_.errors;
  }
  for (const auto& [upper, symbol] : symbols_.all()) {
    if (symbol.state != Symbol::State::Known) continue;
    result_.names.push_back(
        {symbol.name, symbol.value, symbol.kind == Symbol::Kind::Label, symbol.line});
  }
  std::sort(result_.names.begin(), result_.names.end(), [](const NameEntry& a, const NameEntry& b) {
    return UpperCaseText(std::string(a.name)) < UpperCaseText(std::string(b.name));
  });
  return result_;
}

void Assembly::pass(bool final) {
  final_ = final;
  reader_ = final ? &final_reader_ : &first_reader_;
  counter_ = 0;
  origin_index_ = 0;
  passed_end_ = false;
  SourceLines lines(source_);
  std::string_view text;
  std::size_t number = 0;
  while (lines.next(text, number)) {
    text_ = text;
    assembleLine(text, number);
    if (!final && size_ > 0) bindPendingLabels(here_);
    if (!final) {
      for (std::uint32_t address = here_; address < here_ + size_ && address <= 0xFFFF; ++address)
        placed_.at(address) = {static_cast<std::uint32_t>(number), line_kind_};
    }
    counter_ += static_cast<std::uint32_t>(size_);
    if (final) emit(number, text);
  }
  if (!final) bindPendingLabels(counter_);
}

// [label:] [statement] [; comment], where a statement is an instruction,
// LDI, ORG, DW or "name EQU value".
void Assembly::assembleLine(std::string_view text, std::size_t number) {
  line_ = number;
  here_ = counter_;
  size_ = 0;
  words_.clear();
  line_failed_ = false;
  line_kind_ = WordKind::Unset;
  line_flow_ = Flow::GoesOn;
  counted_bytes_ = 0;
  counted_characters_ = 0;
  Lexer lexer(text);
  Lexer ahead = lexer;
  ahead.next();
  if (lexer.peek().kind == TokenKind::Name && ahead.peek().kind == TokenKind::Colon) {
    const Token name = lexer.next();
    lexer.next();
    label(name);
  }
  const Token head = lexer.next();
  statement_column_ = head.column;
  if (head.kind == TokenKind::End) return;
  if (head.kind == TokenKind::Error) return error(head.column, head.message);
  if (head.kind != TokenKind::Name) {
    return error(head.column, Text("expected an instruction, found '{0}'", head.text));
  }
  if (lexer.peek().kind == TokenKind::Name &&
      UpperCaseText(std::string(lexer.peek().text)) == "EQU") {
    return constant(head, lexer);
  }
  const std::string upper = UpperCaseText(std::string(head.text));
  const std::optional<Mnemonic> mnemonic = FindMnemonic(upper);
  if (upper == "ORG") {
    origin(lexer);
  } else if (upper == "DW") {
    dataWords(lexer);
  } else if (mnemonic) {
    instruction(*mnemonic, lexer);
  } else {
    return unknownInstruction(head, lexer.peek());
  }
  if (!line_failed_ && lexer.peek().kind != TokenKind::End) afterStatement(mnemonic, lexer.peek());
}

// A name where a statement starts: a label without its ':' when an
// instruction follows it, a mistyped mnemonic when it is one slip away
// from one, else a label without its ':' when it stands alone.
void Assembly::unknownInstruction(const Token& head, const Token& next) {
  const ReservedKind after =
      next.kind == TokenKind::Name ? ReservedWord(next.text) : ReservedKind::None;
  const bool before_statement = after == ReservedKind::Mnemonic || after == ReservedKind::Directive;
  const std::vector<std::string_view> near = NearMnemonics(head.text);
  if (before_statement || (near.empty() && next.kind == TokenKind::End)) {
    error(head.column, Text("unknown instruction '{0}' (a label needs ':' after it)", head.text));
  } else if (near.size() == 1) {
    error(head.column, Text("unknown instruction '{0}' (did you mean {1}?)", head.text, near[0]));
  } else if (!near.empty()) {
    error(head.column, Text("unknown instruction '{0}' (did you mean {1} or {2}?)", head.text,
                            AllButTheLast(near), near.back()));
  } else {
    error(head.column, Text("unknown instruction '{0}'", head.text));
  }
}

// Text after a whole statement. A branch or a call given its target is
// told where the target goes: the machine jumps to the address in RD.
void Assembly::afterStatement(const std::optional<Mnemonic>& mnemonic, const Token& rest) {
  if (rest.kind == TokenKind::Error) return error(rest.column, rest.message);
  if (!mnemonic || mnemonic->form != Form::Jump) {
    return error(rest.column, Text("unexpected '{0}' after the statement", rest.text));
  }
  const std::string_view operand = TrimBlanks(
      text_.substr(rest.column - 1, text_.find(';', rest.column - 1) - (rest.column - 1)));
  if (rest.kind == TokenKind::Name && RegisterNumber(rest.text)) {
    return error(rest.column,
                 Text("branches and calls take no operand: they jump to the address in RD"));
  }
  error(rest.column,
        Text("branches and calls take no operand: the target goes in RD first (LDI RD, {0})",
             operand));
}

void Assembly::label(const Token& name) {
  const ReservedKind reserved = ReservedWord(name.text);
  if (reserved != ReservedKind::None) {
    return error(name.column, Text("'{0}' is reserved and cannot be a label", name.text));
  }
  Symbol symbol;
  symbol.kind = Symbol::Kind::Label;
  symbol.name = std::string(name.text);
  symbol.line = line_;
  symbol.column = name.column;
  const auto [held, added] = symbols_.define(symbol);
  if (!final_) {
    if (added) pending_labels_.push_back(held);
  } else if (held->line != line_ || held->column != name.column) {
    error(name.column, AlreadyDefined(name.text, held->line));
  }
}

// name EQU value: the value is worked out when it is first needed, so that
// it may use names defined further down.
void Assembly::constant(const Token& name, Lexer& lexer) {
  const Token equ = lexer.next();
  const ReservedKind reserved = ReservedWord(name.text);
  if (reserved != ReservedKind::None) {
    return error(name.column, Text("'{0}' is reserved and cannot be a name", name.text));
  }
  Symbol symbol;
  symbol.kind = Symbol::Kind::Constant;
  symbol.name = std::string(name.text);
  symbol.line = line_;
  symbol.column = name.column;
  symbol.text = text_;
  symbol.start = equ.column - 1 + equ.text.size();
  symbol.here = counter_;
  const auto [held, added] = symbols_.define(symbol);
  if (!final_) return;
  Symbol* own = held;
  if (held->line != line_) {
    error(name.column, AlreadyDefined(name.text, held->line));
    own = &symbol;  // its value is still read, for the errors in it
  }
  const Evaluation evaluation = reader_->settleConstant(*own, report_);
  if (evaluation.readable && evaluation.value)
    FitWord(*evaluation.value, evaluation.column, report_);
}

// ORG value: the first pass must know the value where ORG stands, since
// every later address follows from it.
void Assembly::origin(Lexer& lexer) {
  passed_end_ = false;
  const Evaluation evaluation = reader_->read(lexer, here_, report_);
  if (!final_) {
    std::optional<std::uint32_t> address;
    if (evaluation.readable && evaluation.value && *evaluation.value >= 0 &&
        *evaluation.value <= 0xFFFF) {
      address = static_cast<std::uint32_t>(*evaluation.value);
    }
    origins_.push_back(address);
    if (address) counter_ = *address;
    return;
  }
  const std::optional<std::uint32_t> address = origins_[origin_index_++];
  if (address) {
    counter_ = *address;
  } else if (!evaluation.readable) {
    line_failed_ = true;
  } else if (!evaluation.value || (*evaluation.value >= 0 && *evaluation.value <= 0xFFFF)) {
    if (!line_failed_) {
      error(evaluation.column,
            Text("ORG needs a value known where it stands (a name defined further down cannot "
                 "be used)"));
    }
  } else {
    error(evaluation.column, Text("ORG needs an address 0..65535, not {0}", *evaluation.value));
  }
}

void Assembly::dataWords(Lexer& lexer) {
  line_kind_ = WordKind::Data;
  do {
    bool readable = true;
    std::size_t column = 0;
    const auto v = value(lexer, readable, column);
    if (!readable) return;
    ++size_;
    const auto word = v ? FitWord(*v, column, report_) : std::nullopt;
    words_.push_back(word.value_or(0));
  } while (lexer.peek().kind == TokenKind::Comma && (lexer.next(), true));
}

void Assembly::instruction(const Mnemonic& mnemonic, Lexer& lexer) {
  size_ = mnemonic.form == Form::LoadImmediate ? 2 : 1;
  line_kind_ = WordKind::Instruction;
  line_flow_ = mnemonic.flow;
  const unsigned top = mnemonic.opcode << 12;
  bool readable = true;
  std::size_t column = 0;
  std::optional<unsigned> a;
  std::optional<std::int64_t> operand;
  switch (mnemonic.form) {
    case Form::Load:
      a = registerOperand(lexer);
      if (!a || !punctuation(lexer, TokenKind::Comma, "','")) return;
      operand = memoryOperand(lexer, readable, column);
      break;
    case Form::Store:
      operand = memoryOperand(lexer, readable, column);
      if (!readable || !punctuation(lexer, TokenKind::Comma, "','")) return;
      a = registerOperand(lexer);
      break;
    case Form::RegisterByte:
    case Form::LoadImmediate:
      a = registerOperand(lexer);
      if (!a || !punctuation(lexer, TokenKind::Comma, "','")) return;
      operand = value(lexer, readable, column);
      break;
    case Form::PortRegister:
      operand = value(lexer, readable, column);
      if (!readable || !punctuation(lexer, TokenKind::Comma, "','")) return;
      a = registerOperand(lexer);
      break;
    case Form::ThreeRegisters: {
      a = registerOperand(lexer);
      if (!a || !punctuation(lexer, TokenKind::Comma, "','")) return;
      const auto b = registerOperand(lexer);
      if (!b || !punctuation(lexer, TokenKind::Comma, "','")) return;
      const auto c = registerOperand(lexer);
      if (!c) return;
      words_.push_back(static_cast<std::uint16_t>(top | *a << 8 | *b << 4 | *c));
      return;
    }
    case Form::OneRegister:
      a = registerOperand(lexer);
      if (a) words_.push_back(static_cast<std::uint16_t>(top | *a << 8));
      return;
    case Form::Jump:
    case Form::Bare:
      words_.push_back(static_cast<std::uint16_t>(top | mnemonic.condition << 8));
      return;
  }
  if (!readable || !a || !operand) return;
  if (mnemonic.form == Form::LoadImmediate) {
    const auto word = FitWord(*operand, column, report_);
    if (!word) return;
    words_.push_back(static_cast<std::uint16_t>(0x2000 | *a << 8 | (*word & 0xFF)));
    words_.push_back(static_cast<std::uint16_t>(0x3000 | *a << 8 | *word >> 8));
    return;
  }
  const auto byte = FitByte(*operand, written_, mnemonic.field, *a, column, report_);
  if (!byte) return;
  if (mnemonic.field == ByteField::Displacement && *operand < 0) {
    // The machine adds the displacement to RD as 0..255: -3 reaches RD+253.
    warning(column, Text("the machine adds displacement {0} to RD as {1}, not {2}",
                         Hex4(*byte).substr(2), *byte, *operand));
  }
  if (mnemonic.field == ByteField::Port && *byte > 0x3F) {
    warning(column, Text("port {0} is above 3F: the machine refuses it when the instruction runs",
                         Hex4(*byte).substr(2)));
  }
  words_.push_back(static_cast<std::uint16_t>(top | *a << 8 | *byte));
}

std::optional<unsigned> Assembly::registerOperand(Lexer& lexer) {
  const Token token = lexer.next();
  if (token.kind == TokenKind::Name) {
    if (const auto number = RegisterNumber(token.text)) return static_cast<unsigned>(*number);
  }
  if (token.kind == TokenKind::Error) {
    error(token.column, token.message);
  } else {
    error(token.column, FoundText(token, N_("expected a register (R0..RF), found '{0}'"),
                                  N_("expected a register (R0..RF), found the end of the line")));
  }
  return std::nullopt;
}

bool Assembly::punctuation(Lexer& lexer, TokenKind kind, const char* what) {
  if (lexer.peek().kind == kind) {
    lexer.next();
    return true;
  }
  const Token token = lexer.next();
  error(token.column,
        token.kind == TokenKind::Error ? token.message : ExpectedPunctuation(token, what));
  return false;
}

// [RD], [RD+d] or [RD-d]: memory is reached through RD only.
std::optional<std::int64_t> Assembly::memoryOperand(Lexer& lexer, bool& readable,
                                                    std::size_t& column) {
  readable = false;
  if (!punctuation(lexer, TokenKind::OpenBracket, "'[RD+'")) return std::nullopt;
  const Token base = lexer.next();
  if (base.kind != TokenKind::Name || RegisterNumber(base.text) != 0xD) {
    error(base.column,
          FoundText(base, N_("memory is reached as [RD+displacement]; expected RD, found '{0}'"),
                    N_("memory is reached as [RD+displacement]; expected RD, found the end of "
                       "the line")));
    return std::nullopt;
  }
  std::optional<std::int64_t> displacement = 0;
  column = lexer.peek().column;
  const bool plus = lexer.peek().kind == TokenKind::Plus;
  if (plus) lexer.next();
  if (plus || lexer.peek().kind != TokenKind::CloseBracket) {
    displacement = value(lexer, readable, column);
    if (!readable) return std::nullopt;
  }
  readable = punctuation(lexer, TokenKind::CloseBracket, "']'");
  return displacement;
}

std::optional<std::int64_t> Assembly::value(Lexer& lexer, bool& readable, std::size_t& column) {
  const Evaluation evaluation = reader_->read(lexer, here_, report_);
  readable = evaluation.readable;
  column = evaluation.column;
  if (!readable) line_failed_ = true;
  const std::size_t end = std::min(lexer.peek().column - 1, text_.size());
  written_ = TrimBlanks(text_.substr(column - 1, end - std::min(column - 1, end)));
  return evaluation.value;
}

// The line's words, with the warnings of where they go, once its errors
// are known; a line with an error gives no word.
void Assembly::emit(std::size_t number, std::string_view text) {
  if (line_failed_ || words_.size() != size_) words_.clear();
  if (!words_.empty()) {
    bool high = false;
    bool twice = false;
    for (std::size_t i = 0; i < words_.size(); ++i) {
      const std::uint32_t address = here_ + static_cast<std::uint32_t>(i);
      if (address > 0xFFFF) {
        if (!passed_end_) error(statement_column_, Text("the program goes past address FFFF"));
        passed_end_ = true;
        words_.clear();
        break;
      }
      if (address >= 0xF000 && !high) {
        high = true;
        warning(statement_column_,
                Text("a word at {0}: the machine refuses to store words at F000 and above",
                     Hex4(address)));
      }
      if (writer_of_[address] != 0 && !twice) {
        twice = true;
        warning(statement_column_, Text("address {0} already holds a word of line {1}",
                                        Hex4(address), writer_of_[address]));
      }
      if (writer_of_[address] == 0) writer_of_.at(address) = static_cast<std::uint32_t>(number);
    }
  }
  if (!words_.empty()) runOnWarning(number);
  result_.words += words_.size();
  output_.line({number, text}, here_, words_);
}

// An instruction after which the machine may go on to the next address,
// where this program puts no instruction: a forgotten HALT, or data.
void Assembly::runOnWarning(std::size_t number) {
  if (line_kind_ != WordKind::Instruction || line_flow_ != Flow::GoesOn) return;
  const std::uint32_t last = here_ + static_cast<std::uint32_t>(words_.size()) - 1;
  // Words the machine refuses to store never run; a line overwritten
  // further down is not in memory.
  if (last >= 0xF000 || placed_[last].line != number) return;
  const Placed& next = placed_[last + 1];
  if (next.kind == WordKind::Unset) {
    warning(statement_column_,
            Text("execution runs on past {0} into words this program does not set", Hex4(last)));
  } else if (next.kind == WordKind::Data) {
    warning(statement_column_,
            Text("execution runs on past {0} into the data at {1}", Hex4(last), Hex4(last + 1)));
  }
}

void Assembly::bindPendingLabels(std::uint32_t address) {
  for (Symbol* symbol : pending_labels_) {
    symbol->value = address;
    symbol->state = Symbol::State::Known;
  }
  pending_labels_.clear();
}

void Assembly::error(std::size_t column, const Text& message) {
  line_failed_ = true;
  if (!final_) return;
  ++result_.errors;
  output_.diagnostic({Severity::Error, line_, characterColumn(column), message});
}

void Assembly::warning(std::size_t column, const Text& message) {
  if (!final_) return;
  ++result_.warnings;
  output_.diagnostic({Severity::Warning, line_, characterColumn(column), message});
}

// Columns count characters, not bytes: an accented letter before a token
// counts once, whether the file had it as UTF-8 or as Windows-1252.
std::size_t Assembly::characterColumn(std::size_t column) {
  if (column == 0) return 0;
  const std::size_t bytes = column - 1;
  if (bytes < counted_bytes_) {
    counted_bytes_ = 0;
    counted_characters_ = 0;
  }
  for (; counted_bytes_ < bytes && counted_bytes_ < text_.size(); ++counted_bytes_) {
    if ((static_cast<unsigned char>(text_[counted_bytes_]) & 0xC0) != 0x80) ++counted_characters_;
  }
  return counted_characters_ + (bytes - counted_bytes_) + 1;
}

}  // namespace orben::assembler
