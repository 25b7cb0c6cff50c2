#include "panel/memory_grid_keys.h"

#include <algorithm>

#include "machine/word_text.h"

namespace orben::grid {

namespace {

long long cellOf(const Caret& caret) {
  const auto byte = static_cast<long long>(caret.byte);
  return caret.area == Area::Digits ? byte * 2 + caret.nibble : byte;
}

long long lastCell(Area area, const Shape& shape) {
  const auto size = static_cast<long long>(shape.size);
  if (size == 0) return 0;
  return area == Area::Digits ? size * 2 - 1 : size - 1;
}

long long cellsPerRow(Area area, const Shape& shape) {
  return area == Area::Digits ? shape.bytes_per_line * 2LL : shape.bytes_per_line;
}

Caret atCell(Area area, long long cell, const Shape& shape) {
  cell = std::clamp(cell, 0LL, lastCell(area, shape));
  if (area == Area::Digits) {
    return {static_cast<std::size_t>(cell / 2), Area::Digits, static_cast<int>(cell % 2)};
  }
  return {static_cast<std::size_t>(cell), Area::Text, 0};
}

// The machine's digit rule, for ASCII characters only.
int hexValue(char32_t c) {
  return c < 0x80 ? HexCharToValue(static_cast<char>(c)) : -1;
}

}  // namespace

Caret moveCaret(const Caret& caret, CaretKey key, bool ctrl, const Shape& shape) {
  const Area area = caret.area;
  if (key == CaretKey::SwitchArea) {
    return {caret.byte, area == Area::Digits ? Area::Text : Area::Digits, 0};
  }
  const long long cell = cellOf(caret);
  const long long per_row = cellsPerRow(area, shape);
  const long long column = cell % per_row;
  const long long row = cell / per_row;
  const long long last_row = lastCell(area, shape) / per_row;
  const long long page = std::max(1LL, shape.visible_rows);
  // The same column of another row, or the last cell when that row is short.
  const auto toRow = [&](long long target) {
    return atCell(area, std::clamp(target, 0LL, last_row) * per_row + column, shape);
  };
  switch (key) {
    case CaretKey::Left:
      return atCell(area, cell - 1, shape);
    case CaretKey::Right:
      return atCell(area, cell + 1, shape);
    case CaretKey::Up:
      return row > 0 ? toRow(row - 1) : caret;
    case CaretKey::Down:
      return row < last_row ? toRow(row + 1) : caret;
    case CaretKey::PageUp:
      return toRow(ctrl ? shape.first_visible_row : row - page);
    case CaretKey::PageDown:
      return toRow(ctrl ? shape.first_visible_row + page - 1 : row + page);
    case CaretKey::Home:
      return atCell(area, ctrl ? 0 : row * per_row, shape);
    case CaretKey::End:
      return atCell(area, ctrl ? lastCell(area, shape) : row * per_row + per_row - 1, shape);
    case CaretKey::SwitchArea:
      break;
  }
  return caret;
}

Caret cellBack(const Caret& caret, const Shape& shape) {
  return atCell(caret.area, std::max(0LL, cellOf(caret) - 1), shape);
}

Caret cellForward(const Caret& caret, const Shape& shape) {
  return atCell(caret.area, cellOf(caret) + 1, shape);
}

std::optional<std::uint8_t> typedByte(const Caret& caret, std::uint8_t old, char32_t character) {
  if (caret.area == Area::Digits) {
    const int digit = hexValue(character);
    if (digit < 0) return std::nullopt;
    const int value = caret.nibble == 0 ? (digit << 4) | (old & 0x0F) : (old & 0xF0) | digit;
    return static_cast<std::uint8_t>(value);
  }
  // Printable ASCII only: control codes and characters without an ASCII
  // value (accented letters, symbols beyond 7 bits) are refused.
  if (character < 32 || character > 126) return std::nullopt;
  return static_cast<std::uint8_t>(character);
}

}  // namespace orben::grid
