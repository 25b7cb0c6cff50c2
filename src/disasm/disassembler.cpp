#include "disasm/disassembler.h"

namespace orben {

char ConditionLetter(char digit) {
  switch (digit) {
    case '1':
      return 'Z';
    case '2':
      return 'S';
    case '3':
      return 'C';
    case '4':
      return 'V';
    default:
      return 'R';
  }
}

std::string Disassemble(std::string_view word) {
  if (word.size() < 4) return {};
  const char d2 = word[1];
  const std::string r2{'R', d2};
  const std::string r3{'R', word[2]};
  const std::string r4{'R', word[3]};
  const std::string n = std::string("H'") + word[2] + word[3];
  switch (word[0]) {
    case '0':
      return "LD " + r2 + ", [RD+" + n + "]";
    case '1':
      return "ST [RD+" + n + "], " + r2;
    case '2':
      return "LLI " + r2 + ", " + n;
    case '3':
      return "LHI " + r2 + ", " + n;
    case '4':
      return "IN " + r2 + ", " + n;
    case '5':
      return "OUT " + n + ", " + r2;
    case '6':
      return "ADDS " + r2 + ", " + r3 + ", " + r4;
    case '7':
      return "SUBS " + r2 + ", " + r3 + ", " + r4;
    case '8':
      return "NAND " + r2 + ", " + r3 + ", " + r4;
    case '9':
      return "SHL " + r2;
    case 'A':
      return "SHR " + r2;
    case 'B':
      return "SHRA " + r2;
    case 'C':
      return std::string("B") + ConditionLetter(d2);
    case 'D':
      return std::string("CALL") + ConditionLetter(d2);
    case 'E':
      return "RET";
    case 'F':
      return "HALT";
    default:
      return {};
  }
}

}  // namespace orben
