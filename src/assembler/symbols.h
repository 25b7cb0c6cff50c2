#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orben::assembler {

// What a word of the source is when it is not a free name.
enum class ReservedKind { None, Mnemonic, Register, Directive, Function };

// Mnemonics, LDI, ORG/DW/EQU, LO/HI and R0..RF, whatever their case.
ReservedKind ReservedWord(std::string_view name);

// The register number of R0..RF in either case, or nothing.
std::optional<int> RegisterNumber(std::string_view name);

struct Symbol {
  enum class Kind { Label, Constant };
  enum class State { Unknown, Resolving, Known, Failed };
  Kind kind = Kind::Label;
  std::string name;  // as first written
  std::size_t line = 0;
  std::size_t column = 0;
  State state = State::Unknown;
  std::int64_t value = 0;
  bool cyclic = false;  // a constant whose value depends on itself
  // A constant's expression: its line, where the expression starts, and
  // the address its '$' stands for.
  std::string_view text;
  std::size_t start = 0;
  std::uint32_t here = 0;
};

// The names of one source, compared without regard to case.
class SymbolTable {
 public:
  // The symbol of `name`, or nullptr.
  Symbol* find(std::string_view name);
  // Adds the name unless it is there already; the first definition stays.
  // Returns the symbol now held for it and whether this call added it.
  std::pair<Symbol*, bool> define(const Symbol& symbol);
  const std::unordered_map<std::string, Symbol>& all() const { return symbols_; }

 private:
  std::unordered_map<std::string, Symbol> symbols_;
};

}  // namespace orben::assembler
