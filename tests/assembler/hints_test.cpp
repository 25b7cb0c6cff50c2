#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembler/assembler.h"

namespace orben::assembler {
namespace {

std::string Messages(const Assembled& assembled) {
  std::string text;
  for (const auto& d : assembled.diagnostics) {
    text += std::to_string(d.line) + ":" + std::to_string(d.column) + ": " +
            d.message.in(Language::English) + "\n";
  }
  return text;
}

// Each message says what to write instead, word for word, at the column of
// what was written.
TEST(AssemblerHints, TheFixInTheMessage) {
  const struct {
    const char* source;
    std::size_t column;
    const char* message;
  } cases[] = {
      // Hexadecimal as other languages write it, rewritten with H'.
      {"LLI R1, 0x10", 9, "'0x10' is not a number (hexadecimal numbers are written H'10)"},
      {"LLI R1, 10h", 9, "'10h' is not a number (hexadecimal numbers are written H'10)"},
      {"DW 0XBEEF", 4, "'0XBEEF' is not a number (hexadecimal numbers are written H'BEEF)"},
      {"DW 0x000FF", 4, "'0x000FF' is not a number (hexadecimal numbers are written H'00FF)"},
      {"DW 0x12345", 4, "'0x12345' is not a number"},  // five digits: no H' number
      {"DW 12G", 4, "'12G' is not a number"},
      // One slip from a mnemonic: swapped, missing, extra, changed letters.
      {"HLAT", 1, "unknown instruction 'HLAT' (did you mean HALT?)"},
      {"  HLT", 3, "unknown instruction 'HLT' (did you mean HALT?)"},
      {"HALLT", 1, "unknown instruction 'HALLT' (did you mean HALT?)"},
      {"HELT", 1, "unknown instruction 'HELT' (did you mean HALT?)"},
      {"hlat", 1, "unknown instruction 'hlat' (did you mean HALT?)"},
      {"ADS R1, R2, R3", 1, "unknown instruction 'ADS' (did you mean ADDS?)"},
      {"SUSB R1, R2, R3", 1, "unknown instruction 'SUSB' (did you mean SUBS?)"},
      {"LII R1, 2", 1, "unknown instruction 'LII' (did you mean LLI, LHI or LDI?)"},
      {"BX", 1, "unknown instruction 'BX' (did you mean BR, BZ, BS, BC or BV?)"},
      // A name before a statement is a label without its ':'.
      {"bucle LLI R1, 1", 1, "unknown instruction 'bucle' (a label needs ':' after it)"},
      {"HLAT LLI R1, 1", 1, "unknown instruction 'HLAT' (a label needs ':' after it)"},
      {"tabla DW 1", 1, "unknown instruction 'tabla' (a label needs ':' after it)"},
      {"bucle", 1, "unknown instruction 'bucle' (a label needs ':' after it)"},
      {"xyzzy R1", 1, "unknown instruction 'xyzzy'"},
      // Branches and calls jump to RD.
      {"BZ fin\nfin: HALT", 4,
       "branches and calls take no operand: the target goes in RD first (LDI RD, fin)"},
      {"CALLR sub + 1  ; to the second word\nsub: HALT", 7,
       "branches and calls take no operand: the target goes in RD first (LDI RD, sub + 1)"},
      {"br RD", 4, "branches and calls take no operand: they jump to the address in RD"},
      {"HALT fin", 6, "unexpected 'fin' after the statement"},
      {"RET fin", 5, "unexpected 'fin' after the statement"},
      // An 8-bit field quotes the value as written.
      {"LLI R1, H'1FF", 9,
       "value H'1FF does not fit the 8-bit value (0..255 or -128..-1): for a 16-bit value write "
       "LDI R1, H'1FF"},
      {"LHI RA, 256 ; too big", 9,
       "value 256 does not fit the 8-bit value (0..255 or -128..-1): for a 16-bit value write "
       "LDI RA, 256"},
      {"LLI R2, x+1\nx EQU 255", 9,
       "value x+1 does not fit the 8-bit value (0..255 or -128..-1): for a 16-bit value write "
       "LDI R2, x+1"},
      {"LLI R1, -129", 9,
       "value -129 does not fit the 8-bit value (0..255 or -128..-1): for a 16-bit value write "
       "LDI R1, -129"},
      {"LD R1, [RD+H'100]", 12,
       "value H'100 does not fit the 8-bit displacement (0..255 or -128..-1)"},
      {"OUT H'100, R1", 5, "value H'100 does not fit the 8-bit port (00..FF)"},
      {"IN R1, -129", 8, "value -129 does not fit the 8-bit port (00..FF)"},
  };
  for (const auto& c : cases) {
    const Assembled assembled = AssembleText(c.source);
    EXPECT_FALSE(assembled.result.ok()) << c.source;
    ASSERT_EQ(assembled.result.errors, 1u) << c.source << "\n" << Messages(assembled);
    EXPECT_EQ(Messages(assembled), "1:" + std::to_string(c.column) + ": " + c.message + "\n")
        << c.source;
  }
}

// A real label is a label, whatever mnemonic it looks like.
TEST(AssemblerHints, NoneForWhatIsRight) {
  for (const char* source : {"HLAT: HALT", "HLAT:\nHALT", "LDX: LDI RD, LDX\nBR", "BX EQU 3\nHALT",
                             "LLI R1, 255\nLLI R1, -128\nOUT 255, R1\nHALT"}) {
    const Assembled assembled = AssembleText(source);
    EXPECT_TRUE(assembled.result.ok()) << source << "\n" << Messages(assembled);
    for (const auto& d : assembled.diagnostics) {
      EXPECT_EQ(d.message.in(Language::English).find("did you mean"), std::string::npos) << source;
    }
  }
}

// Where the machine can go on to the next address and finds there no word
// of the program, or data.
TEST(AssemblerWarnings, ExecutionRunsOffTheProgram) {
  const std::string none = "words this program does not set";
  const struct {
    const char* source;
    std::vector<std::string> warnings;  // "line:column: message"
  } cases[] = {
      {"LLI R1, 1\n  ADDS R2, R1, R1\n; the end",
       {"2:3: execution runs on past 0001 into " + none}},
      {"LLI R1, 1\nHALT\nORG H'10\n  LDI R1, 5\nORG H'20\nHALT",
       {"4:3: execution runs on past 0011 into " + none}},
      {"LLI R1, 1\nx: ADDS R2, R1, R1\nDW 7",
       {"2:4: execution runs on past 0001 into the data at 0002"}},
      {"BZ\nDW 7", {"1:1: execution runs on past 0000 into the data at 0001"}},
      {"CALLR\nHALT\nORG H'40\nLLI R1, 1", {"4:1: execution runs on past 0040 into " + none}},
      {"HALT\nDW 7", {}},
      {"BR\nORG 5\nHALT", {}},
      {"RET", {}},
      {"DW 1, 2\nORG H'10\nDW 3", {}},  // only data
      // ORG backwards: what follows in memory counts, not in the source.
      {"ORG 4\nHALT\nORG 0\nLLI R1, 1\nLLI R1, 2\nLDI R2, 9", {}},
      {"ORG 4\nLLI R1, 1\nORG 0\nHALT", {"2:1: execution runs on past 0004 into " + none}},
      // The last word before F000 runs on; words at F000 never run.
      {"ORG H'EFFF\nLLI R1, 1", {"2:1: execution runs on past EFFF into " + none}},
  };
  for (const auto& c : cases) {
    const Assembled assembled = AssembleText(c.source);
    EXPECT_TRUE(assembled.result.ok()) << c.source << "\n" << Messages(assembled);
    std::vector<std::string> warnings;
    for (const auto& d : assembled.diagnostics) {
      EXPECT_EQ(d.severity, Severity::Warning) << c.source;
      warnings.push_back(std::to_string(d.line) + ":" + std::to_string(d.column) + ": " +
                         d.message.in(Language::English));
    }
    EXPECT_EQ(warnings, c.warnings) << c.source;
    EXPECT_EQ(assembled.result.warnings, c.warnings.size()) << c.source;
  }
  // A line overwritten further down is not what runs; a line with an error
  // gives no words to run on from.
  const Assembled overwritten = AssembleText("LLI R1, 1\nORG 0\nHALT");
  ASSERT_EQ(overwritten.diagnostics.size(), 1u) << Messages(overwritten);
  EXPECT_EQ(overwritten.diagnostics[0].message.in(Language::English),
            "address 0000 already holds a word of line 1");
  const Assembled failed = AssembleText("HALT\nBZ lejos");
  ASSERT_EQ(failed.diagnostics.size(), 1u) << Messages(failed);
  EXPECT_EQ(failed.diagnostics[0].severity, Severity::Error);
}

}  // namespace
}  // namespace orben::assembler
