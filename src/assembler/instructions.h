#pragma once

#include <optional>
#include <string_view>

namespace orben::assembler {

// How an instruction's operands are written.
enum class Form {
  Load,            // LD Ra, [RD+d]
  Store,           // ST [RD+d], Ra
  RegisterByte,    // LLI Ra, v / LHI Ra, v / IN Ra, p
  PortRegister,    // OUT p, Ra
  ThreeRegisters,  // ADDS Ra, Rb, Rc
  OneRegister,     // SHL Ra
  Bare,            // BR..BV, CALLR..CALLV, RET, HALT
  LoadImmediate,   // LDI Ra, v: LLI Ra, LO(v) then LHI Ra, HI(v)
};

struct Mnemonic {
  std::string_view name;
  Form form;
  unsigned opcode;     // the first digit of the word
  unsigned condition;  // the second digit of a branch or call
  const char* field;   // what an 8-bit operand is, for messages
};

// The mnemonic of `name` in any case, or nothing.
std::optional<Mnemonic> FindMnemonic(std::string_view name);

}  // namespace orben::assembler
