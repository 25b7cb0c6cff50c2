#include "disasm/disassembler.h"

#include <gtest/gtest.h>

namespace orben {
namespace {

TEST(Disassembler, EveryOperationForm) {
  struct Case {
    const char* word;
    const char* text;
  } cases[] = {
      {"0A10", "LD RA, [RD+H'10]"},
      {"1A10", "ST [RD+H'10], RA"},
      {"2105", "LLI R1, H'05"},
      {"31FF", "LHI R1, H'FF"},
      {"4203", "IN R2, H'03"},
      {"5F01", "OUT H'01, RF"},
      {"6123", "ADDS R1, R2, R3"},
      {"7456", "SUBS R4, R5, R6"},
      {"8ABC", "NAND RA, RB, RC"},
      {"9500", "SHL R5"},
      {"A5FF", "SHR R5"},
      {"B500", "SHRA R5"},
      {"C000", "BR"},
      {"C1FF", "BZ"},
      {"C200", "BS"},
      {"C300", "BC"},
      {"C400", "BV"},
      {"C900", "BR"},
      {"C500", "BR"},
      {"CF00", "BR"},
      {"D000", "CALLR"},
      {"D100", "CALLZ"},
      {"D200", "CALLS"},
      {"D3AB", "CALLC"},
      {"D400", "CALLV"},
      {"DE00", "CALLR"},
      {"E123", "RET"},
      {"E000", "RET"},
      {"F000", "HALT"},
      {"FFFF", "HALT"},
      {"0000", "LD R0, [RD+H'00]"},
      {"6DDD", "ADDS RD, RD, RD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Disassemble(c.word), c.text) << c.word;
}

TEST(Disassembler, NoTextForWordsThatAreNotInstructions) {
  for (const char* word : {"a000", ":000", "G000", "", "21"}) {
    EXPECT_EQ(Disassemble(word), "") << word;
  }
}

}  // namespace
}  // namespace orben
