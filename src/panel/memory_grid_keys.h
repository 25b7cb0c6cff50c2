#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orben::grid {

// The memory grid's keyboard, the same in every front end: where each key
// takes the caret and what a typed character writes. A cell is a digit of
// the digit area or a byte of the text area; cells are numbered in reading
// order, so a row of the digit area holds twice the bytes of a row.

enum class Area { Digits, Text };

struct Caret {
  std::size_t byte = 0;
  Area area = Area::Digits;
  int nibble = 0;  // 0 the high digit, 1 the low; 0 in the text area

  friend bool operator==(const Caret&, const Caret&) = default;
};

// What the grid holds and shows: its bytes, a row's bytes, and the rows
// in sight.
struct Shape {
  std::size_t size = 0;
  int bytes_per_line = 2;
  long long first_visible_row = 0;
  long long visible_rows = 1;
};

// The keys that move the caret. Tab and Shift+Tab, and Ctrl+T, switch
// areas (SwitchArea).
enum class CaretKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, SwitchArea };

// Where `key` takes the caret. Left and Right step a cell, Up and Down a
// row in the same column (the last cell when that row is short), PageUp
// and PageDown a page of rows (with Ctrl, the first or last row in sight),
// Home and End the row's first and last cell (with Ctrl, the grid's).
// PageUp and PageDown without Ctrl also scroll the view a page: the front
// end's part, as is bringing the caret into view.
Caret moveCaret(const Caret& caret, CaretKey key, bool ctrl, const Shape& shape);

// Backspace: one cell back, nothing written.
Caret cellBack(const Caret& caret, const Shape& shape);

// The cell after the caret, where it goes after a character is typed.
Caret cellForward(const Caret& caret, const Shape& shape);

// The byte that `character` typed at the caret makes of `old`: a
// hexadecimal digit replaces the nibble under the caret in the digit area,
// a printable ASCII character the whole byte in the text area; anything
// else is refused.
std::optional<std::uint8_t> typedByte(const Caret& caret, std::uint8_t old, char32_t character);

}  // namespace orben::grid
