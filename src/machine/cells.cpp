#include "machine/cells.h"

#include "machine/word_text.h"

namespace orben {

namespace {

std::string twoDigits(int n) {
  return {HexDigitToChar(n / 16), HexDigitToChar(n % 16)};
}

}  // namespace

std::vector<std::string> displaysOfCell(CellId cell) {
  if (cell < kRegisterCount) return {std::string("R") + HexDigitToChar(cell)};
  switch (cell) {
    case kCellPC:
      return {"PC", "PPC"};
    case kCellIR:
      return {"IR", "PIR"};
    case kCellAR:
      return {"AR"};
    case kCellDR:
      return {"DR"};
    default:
      break;
  }
  if (cell >= kFirstInputCell && cell < kFirstOutputCell) {
    const int port = cell - kFirstInputCell;
    if (port == 1) return {"Teclado", "IP1", "PIN_01"};
    if (port == 2) return {"IP2", "PIN_02"};
    return {"PIN_" + twoDigits(port)};
  }
  if (cell >= kFirstOutputCell && cell < kCellCount) {
    const int port = cell - kFirstOutputCell;
    if (port == 1) return {"OP1", "POP1", "PO_01"};
    if (port == 2) return {"OP2", "POP2", "PO_02"};
    return {"PO_" + twoDigits(port)};
  }
  return {};
}

std::optional<CellId> cellOfDisplay(std::string_view name) {
  for (int cell = 0; cell < kCellCount; ++cell) {
    for (const auto& display : displaysOfCell(static_cast<CellId>(cell))) {
      if (display == name) return static_cast<CellId>(cell);
    }
  }
  return std::nullopt;
}

}  // namespace orben
