#include "assembler/symbols.h"

#include "assembler/instructions.h"
#include "assembler/lexer.h"
#include "loader/line_scanner.h"
#include "machine/word_text.h"

namespace orben::assembler {

ReservedKind ReservedWord(std::string_view name) {
  const std::string upper = UpperCaseText(std::string(name));
  if (FindMnemonic(upper)) return ReservedKind::Mnemonic;
  if (upper == "ORG" || upper == "DW" || upper == "EQU") return ReservedKind::Directive;
  if (upper == "LO" || upper == "HI") return ReservedKind::Function;
  if (RegisterNumber(name)) return ReservedKind::Register;
  return ReservedKind::None;
}

std::optional<int> RegisterNumber(std::string_view name) {
  if (name.size() != 2 || (name[0] != 'R' && name[0] != 'r')) return std::nullopt;
  const int digit = HexCharToValue(name[1]);
  if (digit < 0) return std::nullopt;
  return digit;
}

Symbol* SymbolTable::find(std::string_view name) {
  const auto it = symbols_.find(UpperCaseText(std::string(name)));
  return it == symbols_.end() ? nullptr : &it->second;
}

std::pair<Symbol*, bool> SymbolTable::define(const Symbol& symbol) {
  const auto [it, added] = symbols_.try_emplace(UpperCaseText(std::string(symbol.name)), symbol);
  return {&it->second, added};
}

}  // namespace orben::assembler
