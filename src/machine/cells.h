#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orben {

// One cell per machine value. A mirror group (PC = PPC, Teclado = IP1 =
// PIN_01, OP1 = POP1 = PO_01, ...) is one cell: its displays can never
// disagree because they show the same value.
using CellId = std::uint8_t;

inline constexpr int kRegisterCount = 16;
// RD, the base of every LD, ST, branch and call; RE, the stack pointer.
inline constexpr int kRD = 13;
inline constexpr int kRE = 14;
inline constexpr int kPortCount = 64;

inline constexpr CellId registerCell(int n) {
  return static_cast<CellId>(n);
}
inline constexpr CellId kCellPC = 16;
inline constexpr CellId kCellIR = 17;
inline constexpr CellId kCellAR = 18;
inline constexpr CellId kCellDR = 19;
inline constexpr CellId kFirstInputCell = 20;
inline constexpr CellId kFirstOutputCell = kFirstInputCell + kPortCount;
inline constexpr int kCellCount = kFirstOutputCell + kPortCount;

inline constexpr CellId inputPortCell(int port) {
  return static_cast<CellId>(kFirstInputCell + port);
}
inline constexpr CellId outputPortCell(int port) {
  return static_cast<CellId>(kFirstOutputCell + port);
}
// Input port 01 is the keypad.
inline constexpr CellId kCellKeypad = inputPortCell(1);

// The names of the displays that show a cell, the set one first: "PC",
// "PPC"; "Teclado", "IP1", "PIN_01"; "OP1", "POP1", "PO_01"; "R5"; "PIN_2A".
std::vector<std::string> displaysOfCell(CellId cell);
// The cell a display shows, by the display's component name.
std::optional<CellId> cellOfDisplay(std::string_view name);

enum class Flag : std::uint8_t { Z, S, C, V };
inline constexpr int kFlagCount = 4;
// The flag's letter, as the lamps and reports name it.
constexpr char flagLetter(Flag flag) {
  return "ZSCV"[static_cast<int>(flag)];
}

}  // namespace orben
