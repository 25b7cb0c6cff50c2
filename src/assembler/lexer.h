#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/catalog.h"

namespace orben::assembler {

enum class TokenKind {
  Name,    // letters, digits and '_', not starting with a digit
  Number,  // H'1F or 31: its value is in `value`
  Dollar,  // $, the address of the line's first word
  Plus,
  Minus,
  Comma,
  Colon,
  OpenBracket,
  CloseBracket,
  OpenParen,
  CloseParen,
  End,    // the end of the line or a ';' comment
  Error,  // a character or number that cannot be read; `message` says why
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view text;   // the characters of the token in the line
  std::size_t column = 1;  // counted from 1
  std::int64_t value = 0;
  Text message;
};

// Reads one source line a token at a time, as the parser asks for them, so
// that a line of any length is read without holding its tokens.
class Lexer {
 public:
  // Reads `line` from its character at `start` on; columns still count
  // from the line's first character.
  explicit Lexer(std::string_view line, std::size_t start = 0) : line_(line), pos_(start) {
    advance();
  }

  const Token& peek() const { return current_; }
  Token next() {
    Token token = current_;
    if (token.kind != TokenKind::End && token.kind != TokenKind::Error) advance();
    return token;
  }

 private:
  void advance();
  Token number(std::size_t start);

  std::string_view line_;
  std::size_t pos_ = 0;
  Token current_;
};

// The message of a token found where something else was expected: the
// pattern `quoted` with the token's text as its last value, or `at_end`
// (with only `values`) when the line ends there. Each is a pattern of the
// catalog, so that either reads naturally in every language.
template <typename... Values>
Text FoundText(const Token& token, std::string_view quoted, std::string_view at_end,
               const Values&... values) {
  if (token.kind == TokenKind::End) return Text(at_end, values...);
  return Text(quoted, values..., token.text);
}

// The message of punctuation the line lacks, `expected` as messages quote
// it ("','"): "expected ',', found '1'".
Text ExpectedPunctuation(const Token& found, std::string_view expected);

// The character at `pos` of `text` as written, a whole UTF-8 sequence when
// it starts one, for messages that quote it.
std::string_view CharacterAt(std::string_view text, std::size_t pos);

}  // namespace orben::assembler
