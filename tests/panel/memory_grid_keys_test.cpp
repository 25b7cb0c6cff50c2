// The memory grid's key table: a grid of four words (eight bytes, two to a
// row), so that the digit area has four cells a row and sixteen in all.

#include "panel/memory_grid_keys.h"

#include <gtest/gtest.h>

namespace orben::grid {
namespace {

constexpr Area D = Area::Digits;
constexpr Area T = Area::Text;

struct Move {
  const char* what;
  Caret from;
  CaretKey key;
  bool ctrl;
  long long first_visible;
  Caret to;
};

TEST(MemoryGridKeysTest, KeysTakeTheCaretWhereTheGridsRulesSay) {
  const Move moves[] = {
      {"left crosses into the byte before", {1, D, 0}, CaretKey::Left, false, 0, {0, D, 1}},
      {"left stops at the first cell", {0, D, 0}, CaretKey::Left, false, 0, {0, D, 0}},
      {"right stops at the last digit", {7, D, 1}, CaretKey::Right, false, 0, {7, D, 1}},
      {"right in the text is a byte", {2, T, 0}, CaretKey::Right, false, 0, {3, T, 0}},
      {"up from the first row stays", {1, D, 1}, CaretKey::Up, false, 0, {1, D, 1}},
      {"down keeps the column", {1, D, 1}, CaretKey::Down, false, 0, {3, D, 1}},
      {"down from the last row stays", {6, T, 0}, CaretKey::Down, false, 0, {6, T, 0}},
      {"page down is three rows", {0, D, 1}, CaretKey::PageDown, false, 0, {6, D, 1}},
      {"page down stops at the last row", {3, D, 0}, CaretKey::PageDown, false, 0, {7, D, 0}},
      {"page up stops at the first row", {5, T, 0}, CaretKey::PageUp, false, 0, {1, T, 0}},
      {"ctrl+page up: first row in sight", {7, D, 1}, CaretKey::PageUp, true, 2, {5, D, 1}},
      {"ctrl+page down: last row in sight", {0, D, 0}, CaretKey::PageDown, true, 1, {6, D, 0}},
      {"home: the row's first digit", {3, D, 1}, CaretKey::Home, false, 0, {2, D, 0}},
      {"end: the row's last digit", {2, D, 0}, CaretKey::End, false, 0, {3, D, 1}},
      {"ctrl+home: the first cell", {5, T, 0}, CaretKey::Home, true, 0, {0, T, 0}},
      {"ctrl+end: the last digit", {0, D, 0}, CaretKey::End, true, 0, {7, D, 1}},
      {"tab: the same byte's text", {3, D, 1}, CaretKey::SwitchArea, false, 0, {3, T, 0}},
      {"tab back: the byte's high digit", {4, T, 0}, CaretKey::SwitchArea, false, 0, {4, D, 0}},
  };
  for (const Move& m : moves) {
    const Shape shape{8, 2, m.first_visible, 3};
    EXPECT_EQ(moveCaret(m.from, m.key, m.ctrl, shape), m.to) << m.what;
  }
}

TEST(MemoryGridKeysTest, BackAndForwardStopAtTheEnds) {
  const Shape shape{8, 2, 0, 3};
  EXPECT_EQ(cellBack({0, D, 0}, shape), (Caret{0, D, 0}));
  EXPECT_EQ(cellBack({4, D, 0}, shape), (Caret{3, D, 1}));
  EXPECT_EQ(cellForward({3, D, 1}, shape), (Caret{4, D, 0}));
  EXPECT_EQ(cellForward({7, T, 0}, shape), (Caret{7, T, 0}));
  // An empty grid keeps the caret at its first place whatever is pressed.
  const Shape empty{0, 2, 0, 3};
  for (CaretKey key : {CaretKey::Right, CaretKey::Down, CaretKey::PageDown, CaretKey::End}) {
    EXPECT_EQ(moveCaret({0, D, 0}, key, true, empty), (Caret{0, D, 0}));
  }
}

TEST(MemoryGridKeysTest, TypingReplacesANibbleOrAPrintableByte) {
  struct Typed {
    Caret at;
    char32_t character;
    std::optional<std::uint8_t> byte;  // of 0x12
  };
  const Typed cases[] = {
      {{0, D, 0}, U'a', 0xA2},
      {{0, D, 1}, U'F', 0x1F},
      {{0, D, 0}, U'9', 0x92},
      {{0, D, 0}, U'g', std::nullopt},
      {{0, D, 0}, U'\u0660', std::nullopt},  // an Arabic zero
      {{0, T, 0}, U' ', 0x20},
      {{0, T, 0}, U'~', 0x7E},
      {{0, T, 0}, U'\x7f', std::nullopt},
      {{0, T, 0}, U'\x1f', std::nullopt},
      {{0, T, 0}, U'\u00e9', std::nullopt},  // é
  };
  for (const Typed& t : cases) {
    EXPECT_EQ(typedByte(t.at, 0x12, t.character), t.byte) << static_cast<int>(t.character);
  }
}

}  // namespace
}  // namespace orben::grid
