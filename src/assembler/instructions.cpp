#include "assembler/instructions.h"

#include <array>

#include "assembler/lexer.h"
#include "loader/line_scanner.h"

namespace orben::assembler {

std::optional<Mnemonic> FindMnemonic(std::string_view name) {
  // Conditions of B and CALL: R(always) 0, Z 1, S 2, C 3, V 4.
  static constexpr std::array<Mnemonic, 25> kMnemonics = {{
      {"LD", Form::Load, 0x0, 0, "displacement"},
      {"ST", Form::Store, 0x1, 0, "displacement"},
      {"LLI", Form::RegisterByte, 0x2, 0, "value"},
      {"LHI", Form::RegisterByte, 0x3, 0, "value"},
      {"IN", Form::RegisterByte, 0x4, 0, "port"},
      {"OUT", Form::PortRegister, 0x5, 0, "port"},
      {"ADDS", Form::ThreeRegisters, 0x6, 0, nullptr},
      {"SUBS", Form::ThreeRegisters, 0x7, 0, nullptr},
      {"NAND", Form::ThreeRegisters, 0x8, 0, nullptr},
      {"SHL", Form::OneRegister, 0x9, 0, nullptr},
      {"SHR", Form::OneRegister, 0xA, 0, nullptr},
      {"SHRA", Form::OneRegister, 0xB, 0, nullptr},
      {"BR", Form::Bare, 0xC, 0, nullptr},
      {"BZ", Form::Bare, 0xC, 1, nullptr},
      {"BS", Form::Bare, 0xC, 2, nullptr},
      {"BC", Form::Bare, 0xC, 3, nullptr},
      {"BV", Form::Bare, 0xC, 4, nullptr},
      {"CALLR", Form::Bare, 0xD, 0, nullptr},
      {"CALLZ", Form::Bare, 0xD, 1, nullptr},
      {"CALLS", Form::Bare, 0xD, 2, nullptr},
      {"CALLC", Form::Bare, 0xD, 3, nullptr},
      {"CALLV", Form::Bare, 0xD, 4, nullptr},
      {"RET", Form::Bare, 0xE, 0, nullptr},
      {"HALT", Form::Bare, 0xF, 0, nullptr},
      {"LDI", Form::LoadImmediate, 0x2, 0, "value"},
  }};
  const std::string upper = UpperCaseText(std::string(name));
  for (const Mnemonic& m : kMnemonics)
    if (m.name == upper) return m;
  return std::nullopt;
}

}  // namespace orben::assembler
