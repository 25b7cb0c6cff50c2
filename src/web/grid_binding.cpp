// The memory grid's keys from the page: where a key takes the caret, what
// a typed character writes, and the key-down / key-up the machine follows
// (the disassembler mode lists an edited word again at its key-up). The
// page keeps the caret and the marks; the rules are the grid's own.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <string>
#include <string_view>

#include "disasm/listing_commands.h"
#include "panel/memory_grid_keys.h"
#include "web/web_machine.h"

using emscripten::val;

namespace orben::web {

namespace {

grid::Caret caretOf(const val& caret) {
  return {static_cast<std::size_t>(caret["byte"].as<double>()),
          caret["area"].as<int>() == 1 ? grid::Area::Text : grid::Area::Digits,
          caret["nibble"].as<int>()};
}

val caretVal(const grid::Caret& caret) {
  val v = val::object();
  v.set("byte", static_cast<double>(caret.byte));
  v.set("area", caret.area == grid::Area::Text ? 1 : 0);
  v.set("nibble", caret.nibble);
  return v;
}

grid::Shape shapeOf(WebMachine& w, double first_row, int visible_rows) {
  return {w.tuka().machine.memory().size(), 2, static_cast<long long>(first_row), visible_rows};
}

// The browser's name of a key that moves the caret; Tab switches areas.
std::optional<grid::CaretKey> caretKey(std::string_view key) {
  struct Named {
    std::string_view name;
    grid::CaretKey key;
  };
  static constexpr Named kKeys[] = {
      {"ArrowLeft", grid::CaretKey::Left}, {"ArrowRight", grid::CaretKey::Right},
      {"ArrowUp", grid::CaretKey::Up},     {"ArrowDown", grid::CaretKey::Down},
      {"PageUp", grid::CaretKey::PageUp},  {"PageDown", grid::CaretKey::PageDown},
      {"Home", grid::CaretKey::Home},      {"End", grid::CaretKey::End},
      {"Tab", grid::CaretKey::SwitchArea},
  };
  for (const Named& k : kKeys) {
    if (k.name == key) return k.key;
  }
  return std::nullopt;
}

// The caret after `key`, or null for a key that does not move it.
val gridMove(WebMachine& w, const val& caret, const std::string& key, bool ctrl, double first_row,
             int visible_rows) {
  const auto move = caretKey(key);
  if (!move) return val::null();
  return caretVal(
      grid::moveCaret(caretOf(caret), *move, ctrl, shapeOf(w, first_row, visible_rows)));
}

val gridBack(WebMachine& w, const val& caret) {
  return caretVal(grid::cellBack(caretOf(caret), shapeOf(w, 0, 1)));
}

// A character typed at the caret: the byte written through memory and the
// caret after it, or null when the character is refused.
val gridType(WebMachine& w, const val& caret, const std::string& character) {
  MemoryStore& memory = w.tuka().machine.memory();
  const grid::Caret at = caretOf(caret);
  if (character.size() != 1 || at.byte >= memory.size()) return val::null();
  const auto byte =
      grid::typedByte(at, memory.byte(at.byte), static_cast<unsigned char>(character[0]));
  if (!byte) return val::null();
  const bool changed = memory.byte(at.byte) != *byte;
  if (changed) memory.setByte(static_cast<long long>(at.byte), *byte);
  val result = val::object();
  result.set("caret", caretVal(grid::cellForward(at, shapeOf(w, 0, 1))));
  result.set("changed", changed);
  return result;
}

void gridKeyDown(WebMachine& w, double caret_byte) {
  w.tuka().disassembler.noteGridCaret(static_cast<long long>(caret_byte));
}

void gridKeyUp(WebMachine& w) {
  w.tuka().disassembler.relistEditedWord();
}

}  // namespace

}  // namespace orben::web

EMSCRIPTEN_BINDINGS(orben_grid) {
  using namespace orben::web;
  emscripten::function("gridMove", &gridMove);
  emscripten::function("gridBack", &gridBack);
  emscripten::function("gridType", &gridType);
  emscripten::function("gridKeyDown", &gridKeyDown);
  emscripten::function("gridKeyUp", &gridKeyUp);
}
