#include "assembler/lexer.h"

#include <optional>

#include "machine/word_text.h"

namespace orben::assembler {

namespace {

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9');
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

TokenKind PunctuationKind(char c) {
  switch (c) {
    case '$':
      return TokenKind::Dollar;
    case '+':
      return TokenKind::Plus;
    case '-':
      return TokenKind::Minus;
    case ',':
      return TokenKind::Comma;
    case ':':
      return TokenKind::Colon;
    case '[':
      return TokenKind::OpenBracket;
    case ']':
      return TokenKind::CloseBracket;
    case '(':
      return TokenKind::OpenParen;
    case ')':
      return TokenKind::CloseParen;
    default:
      return TokenKind::Error;
  }
}

// How a number written as other languages write hexadecimal (0x1F, 1Fh)
// or as hexadecimal digits alone (12AB) is written here: the digits to
// write after H' ("1F"), or nothing when its digits are no hexadecimal
// number of four digits at most.
std::optional<std::string_view> HexadecimalDigits(std::string_view digits) {
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
  } else if (digits.size() > 1 && (digits.back() == 'h' || digits.back() == 'H')) {
    digits.remove_suffix(1);
  }
  for (char d : digits)
    if (HexCharToValue(d) < 0) return std::nullopt;
  while (digits.size() > 4 && digits.front() == '0') digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  return digits;
}

}  // namespace

Text ExpectedPunctuation(const Token& found, std::string_view expected) {
  return FoundText(found, N_("expected {0}, found '{1}'"),
                   N_("expected {0}, found the end of the line"), expected);
}

std::string_view CharacterAt(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  if (lead >= 0xF0) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  return text.substr(pos, length);
}

void Lexer::advance() {
  while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
  Token token;
  token.column = pos_ + 1;
  if (pos_ >= line_.size() || line_[pos_] == ';') {
    token.kind = TokenKind::End;
    current_ = token;
    return;
  }
  const std::size_t start = pos_;
  const char c = line_[pos_];
  const bool hex_prefix =
      (c == 'H' || c == 'h') && pos_ + 1 < line_.size() && line_[pos_ + 1] == '\'';
  if (hex_prefix || (c >= '0' && c <= '9')) {
    current_ = number(start);
    return;
  }
  if (IsNameStart(c)) {
    while (pos_ < line_.size() && IsNameChar(line_[pos_])) ++pos_;
    token.kind = TokenKind::Name;
  } else {
    token.kind = PunctuationKind(c);
    if (token.kind == TokenKind::Error) {
      token.text = CharacterAt(line_, pos_);
      token.message = Text("unexpected character '{0}'", token.text);
      current_ = token;
      return;
    }
    ++pos_;
  }
  token.text = line_.substr(start, pos_ - start);
  current_ = token;
}

// H' and one to four hexadecimal digits, or decimal digits up to 65535. A
// letter or digit straight after the number makes the whole run an error,
// so that "12AB" is not read as 12 followed by a name.
Token Lexer::number(std::size_t start) {
  Token token;
  token.column = start + 1;
  const bool hex = line_[pos_] == 'H' || line_[pos_] == 'h';
  if (hex) pos_ += 2;
  const std::size_t digits_start = pos_;
  while (pos_ < line_.size() && IsNameChar(line_[pos_])) ++pos_;
  token.text = line_.substr(start, pos_ - start);
  const std::string_view digits = line_.substr(digits_start, pos_ - digits_start);
  token.kind = TokenKind::Error;
  if (hex) {
    for (char d : digits) {
      if (HexCharToValue(d) < 0) {
        token.message = Text("'{0}' is not a hexadecimal number", token.text);
        return token;
      }
    }
    if (digits.empty() || digits.size() > 4) {
      token.message = Text("'{0}': H' takes one to four hexadecimal digits", token.text);
      return token;
    }
    for (char d : digits) token.value = token.value * 16 + HexCharToValue(d);
  } else {
    for (char d : digits) {
      if (d < '0' || d > '9') {
        const auto written = HexadecimalDigits(digits);
        token.message = written
                            ? Text("'{0}' is not a number (hexadecimal numbers are written H'{1})",
                                   token.text, *written)
                            : Text("'{0}' is not a number", token.text);
        return token;
      }
      token.value = token.value * 10 + (d - '0');
      if (token.value > 0xFFFF) {
        token.message = Text("'{0}' is larger than 65535", token.text);
        return token;
      }
    }
  }
  token.kind = TokenKind::Number;
  return token;
}

}  // namespace orben::assembler
