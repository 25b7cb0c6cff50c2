#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace orben::assembler {

// What a stretch of a source line is, for an editor that colours it.
enum class WordKind {
  Mnemonic,   // an instruction, LDI included
  Register,   // R0..RF
  Directive,  // ORG, DW, EQU
  Function,   // LO, HI
  Number,
  Name,     // a label or constant, where it is defined or used
  Comment,  // from ';' to the end of the line
};

// `length` bytes of the line from byte `start` (from 0).
struct ColouredSpan {
  std::size_t start = 0;
  std::size_t length = 0;
  WordKind kind = WordKind::Name;
};

// The stretches of one line worth colouring, left to right, read with the
// assembler's own lexer and tables, so that the editor colours what the
// assembler reads; a character the lexer cannot read is left plain and
// the reading goes on after it.
std::vector<ColouredSpan> ColourLine(std::string_view line);

}  // namespace orben::assembler
