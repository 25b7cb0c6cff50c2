#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/address_table.h"
#include "assembler/assembler.h"
#include "assembler/expression.h"
#include "assembler/instructions.h"
#include "assembler/symbols.h"

namespace orben::assembler {

// One assembly of one source: the two passes over its lines and what they
// share (the names, where each ORG put the words, which line first wrote
// each address).
class Assembly {
 public:
  Assembly(std::string_view source, AssemblyOutput& output);
  AssemblyResult run();

 private:
  void pass(bool final);
  void assembleLine(std::string_view text, std::size_t number);
  void label(const Token& name);
  void constant(const Token& name, Lexer& lexer);
  void origin(Lexer& lexer);
  void dataWords(Lexer& lexer);
  void instruction(const Mnemonic& mnemonic, Lexer& lexer);
  void unknownInstruction(const Token& head, const Token& next);
  void afterStatement(const std::optional<Mnemonic>& mnemonic, const Token& rest);
  void emit(std::size_t number, std::string_view text);
  void runOnWarning(std::size_t number);

  // Operand pieces; each reports what it expected and gives nothing when
  // the text is not what it expects.
  std::optional<unsigned> registerOperand(Lexer& lexer);
  bool punctuation(Lexer& lexer, TokenKind kind, const char* what);
  std::optional<std::int64_t> memoryOperand(Lexer& lexer, bool& readable, std::size_t& column);
  std::optional<std::int64_t> value(Lexer& lexer, bool& readable, std::size_t& column);

  void error(std::size_t column, const Text& message);
  void warning(std::size_t column, const Text& message);
  std::size_t characterColumn(std::size_t column);
  void bindPendingLabels(std::uint32_t address);

  std::string_view source_;
  std::string decoded_;  // the source as UTF-8 when its bytes were Windows-1252
  AssemblyOutput& output_;
  SymbolTable symbols_;
  ExpressionReader final_reader_{symbols_, true};
  ExpressionReader first_reader_{symbols_, false};
  ExpressionReader* reader_ = &first_reader_;
  bool final_ = false;
  ErrorReport report_;

  // The line being assembled.
  std::size_t line_ = 0;
  std::string_view text_;
  std::size_t statement_column_ = 1;
  std::uint32_t here_ = 0;  // the address of its first word
  std::size_t size_ = 0;    // how many words it takes
  std::vector<std::uint16_t> words_;
  bool line_failed_ = false;
  std::string_view written_;  // the last value read, as the line writes it
  // What the line's words are, and where the machine goes after them.
  enum class WordKind : std::uint8_t { Unset, Instruction, Data };
  WordKind line_kind_ = WordKind::Unset;
  Flow line_flow_ = Flow::GoesOn;
  // Byte columns of the line turned into character columns: the last one
  // counted, kept since the columns of a line mostly grow.
  std::size_t counted_bytes_ = 0;
  std::size_t counted_characters_ = 0;

  std::uint32_t counter_ = 0;  // the next word's address; may pass FFFF
  std::vector<std::optional<std::uint32_t>> origins_;
  std::size_t origin_index_ = 0;
  std::vector<Symbol*> pending_labels_;
  AddressTable<std::uint32_t> writer_of_;  // the line that first wrote each address
  // What the first pass puts at each address, the last line to write it
  // winning as it does when the object file is loaded.
  struct Placed {
    std::uint32_t line = 0;
    WordKind kind = WordKind::Unset;
  };
  AddressTable<Placed> placed_;
  bool passed_end_ = false;
  AssemblyResult result_;
};

}  // namespace orben::assembler
