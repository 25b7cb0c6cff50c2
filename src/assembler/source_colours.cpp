#include "assembler/source_colours.h"

#include <algorithm>

#include "assembler/lexer.h"
#include "assembler/symbols.h"

namespace orben::assembler {

namespace {

WordKind KindOfName(std::string_view name) {
  switch (ReservedWord(name)) {
    case ReservedKind::Mnemonic:
      return WordKind::Mnemonic;
    case ReservedKind::Register:
      return WordKind::Register;
    case ReservedKind::Directive:
      return WordKind::Directive;
    case ReservedKind::Function:
      return WordKind::Function;
    case ReservedKind::None:
      break;
  }
  return WordKind::Name;
}

}  // namespace

std::vector<ColouredSpan> ColourLine(std::string_view line) {
  std::vector<ColouredSpan> spans;
  std::size_t from = 0;
  while (from <= line.size()) {
    Lexer lexer(line, from);
    for (;;) {
      const Token token = lexer.next();
      const std::size_t start = token.column - 1;
      if (token.kind == TokenKind::End) {
        if (start < line.size() && line[start] == ';') {
          spans.push_back({start, line.size() - start, WordKind::Comment});
        }
        return spans;
      }
      if (token.kind == TokenKind::Error) {
        // On after what stopped the lexer: a character, or a number's run.
        from = start + std::max<std::size_t>(1, token.text.size());
        break;
      }
      if (token.kind == TokenKind::Name) {
        spans.push_back({start, token.text.size(), KindOfName(token.text)});
      } else if (token.kind == TokenKind::Number) {
        spans.push_back({start, token.text.size(), WordKind::Number});
      }
    }
  }
  return spans;
}

}  // namespace orben::assembler
