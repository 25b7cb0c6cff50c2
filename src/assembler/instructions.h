#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orben::assembler {

// How an instruction's operands are written.
enum class Form {
  Load,            // LD Ra, [RD+d]
  Store,           // ST [RD+d], Ra
  RegisterByte,    // LLI Ra, v / LHI Ra, v / IN Ra, p
  PortRegister,    // OUT p, Ra
  ThreeRegisters,  // ADDS Ra, Rb, Rc
  OneRegister,     // SHL Ra
  Jump,            // BR..BV, CALLR..CALLV: no operand, the target is in RD
  Bare,            // RET, HALT
  LoadImmediate,   // LDI Ra, v: LLI Ra, LO(v) then LHI Ra, HI(v)
};

// What an instruction's 8-bit operand is, for its messages.
enum class ByteField : std::uint8_t {
  None,          // no 8-bit operand
  Displacement,  // LD, ST: added to RD
  Value,         // LLI, LHI, LDI: loaded into the register
  Port,          // IN, OUT: an input or output port
};

// Where the machine goes after an instruction.
enum class Flow {
  GoesOn,  // the next address, at least when a condition does not hold
  Leaves,  // never the next address: BR, RET and HALT
};

struct Mnemonic {
  std::string_view name;
  Form form;
  unsigned opcode;     // the first digit of the word
  unsigned condition;  // the second digit of a branch or call
  ByteField field;
  Flow flow = Flow::GoesOn;
};

// The mnemonic of `name` in any case, or nothing.
std::optional<Mnemonic> FindMnemonic(std::string_view name);

// The mnemonics one slip of the keyboard away from `name`, in any case: one
// letter changed, two neighbouring letters swapped, one letter missing or
// one too many. In the order of the instruction table; none for a mnemonic.
std::vector<std::string_view> NearMnemonics(std::string_view name);

}  // namespace orben::assembler
