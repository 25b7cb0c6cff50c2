#pragma once

#include <cstdint>

#include "machine/word_text.h"

namespace orben {

// What a cell holds besides a word. The machine shows "****" in every cell
// while it is off and gives the empty text for a read of memory at F000 or
// above; no operation of a machine that is on writes any other text, but a
// cell keeps one if it is given one ("00a0", or LHI on a register that
// shows "****"), so that every rule that reads the text still sees it.
enum class CellState : std::uint8_t {
  Word,   // four upper-case hexadecimal digits
  Off,    // "****"
  Empty,  // ""
  Other,  // any other text of up to four characters
};
static_assert(static_cast<int>(CellState::Word) == 0, "a word cell is its own number");

// One cell of the machine: a 16-bit word, or one of the texts above. The
// four-digit text is made only where the cell is shown or reported; the
// processor works on the number. Two cells are equal exactly when their
// texts are.
//
// Held in one 64-bit number: the word in bits 0..15, the state in bits
// 16..23, and for an Other text its length in bits 24..31 and its
// characters in bits 32..63. A word is therefore just its own number.
class CellValue {
 public:
  constexpr CellValue() = default;

  static constexpr CellValue word(unsigned w) { return CellValue(w & 0xFFFFu); }
  static constexpr CellValue off() { return CellValue(); }
  static constexpr CellValue empty() { return CellValue(stateBits(CellState::Empty)); }
  // The cell that shows ValueToWordText(v): its low four digits, or for a
  // negative number the text with 'X' that the helper writes.
  static CellValue ofNumber(long long v) {
    return v >= 0 ? word(static_cast<unsigned>(v & 0xFFFF)) : ofText(ValueToWordText(v));
  }
  // The cell that shows `text`.
  static CellValue ofText(const WordText& text) {
    const int w = wordAddress(text.view());
    if (w >= 0) return word(static_cast<unsigned>(w));
    if (text.empty()) return empty();
    if (text == kOffText) return off();
    std::uint64_t bits = stateBits(CellState::Other) | std::uint64_t{text.size()} << 24;
    for (std::size_t i = 0; i < text.size(); ++i) {
      bits |= std::uint64_t{static_cast<unsigned char>(text[i])} << (32 + 8 * i);
    }
    return CellValue(bits);
  }

  // The value as its one number, and back: what a record keeps of a cell.
  constexpr std::uint64_t bits() const { return bits_; }
  static constexpr CellValue ofBits(std::uint64_t bits) { return CellValue(bits); }

  constexpr CellState state() const { return static_cast<CellState>(bits_ >> 16 & 0xFF); }
  constexpr bool isWord() const { return bits_ <= 0xFFFF; }
  // The word; 0 for a cell that holds none.
  constexpr std::uint16_t asWord() const { return static_cast<std::uint16_t>(bits_); }

  // The text the cell's displays show.
  WordText text() const {
    switch (state()) {
      case CellState::Word:
        return wordOf(asWord());
      case CellState::Off:
        return kOffText;
      case CellState::Empty:
        return {};
      case CellState::Other:
        break;
    }
    char chars[4] = {};
    const auto size = static_cast<std::size_t>(bits_ >> 24 & 0xFF);
    for (std::size_t i = 0; i < size; ++i) chars[i] = static_cast<char>(bits_ >> (32 + 8 * i));
    return WordText(std::string_view(chars, size));
  }
  // The number arithmetic and addressing take from the cell, as
  // WordTextToValue reads its text: the word itself, -4369 for "****", -1
  // for the empty text.
  int value() const {
    if (isWord()) return asWord();
    switch (state()) {
      case CellState::Off:
        return kOffValue;
      case CellState::Empty:
        return -1;
      default:
        return WordTextToValue(text());
    }
  }

  friend constexpr bool operator==(const CellValue&, const CellValue&) = default;

 private:
  constexpr explicit CellValue(std::uint64_t bits) : bits_(bits) {}
  static constexpr std::uint64_t stateBits(CellState state) {
    return std::uint64_t{static_cast<std::uint8_t>(state)} << 16;
  }
  // WordTextToValue("****"): each '*' counts -1 in its place.
  static constexpr int kOffValue = -(4096 + 256 + 16 + 1);

  std::uint64_t bits_ = stateBits(CellState::Off);
};

}  // namespace orben
