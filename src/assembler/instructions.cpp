#include "assembler/instructions.h"

#include <array>

#include "assembler/lexer.h"
#include "loader/line_scanner.h"

namespace orben::assembler {

namespace {

// Conditions of B and CALL: R(always) 0, Z 1, S 2, C 3, V 4.
constexpr std::array<Mnemonic, 25> kMnemonics = {{
    {"LD", Form::Load, 0x0, 0, ByteField::Displacement},
    {"ST", Form::Store, 0x1, 0, ByteField::Displacement},
    {"LLI", Form::RegisterByte, 0x2, 0, ByteField::Value},
    {"LHI", Form::RegisterByte, 0x3, 0, ByteField::Value},
    {"IN", Form::RegisterByte, 0x4, 0, ByteField::Port},
    {"OUT", Form::PortRegister, 0x5, 0, ByteField::Port},
    {"ADDS", Form::ThreeRegisters, 0x6, 0, ByteField::None},
    {"SUBS", Form::ThreeRegisters, 0x7, 0, ByteField::None},
    {"NAND", Form::ThreeRegisters, 0x8, 0, ByteField::None},
    {"SHL", Form::OneRegister, 0x9, 0, ByteField::None},
    {"SHR", Form::OneRegister, 0xA, 0, ByteField::None},
    {"SHRA", Form::OneRegister, 0xB, 0, ByteField::None},
    {"BR", Form::Jump, 0xC, 0, ByteField::None, Flow::Leaves},
    {"BZ", Form::Jump, 0xC, 1, ByteField::None},
    {"BS", Form::Jump, 0xC, 2, ByteField::None},
    {"BC", Form::Jump, 0xC, 3, ByteField::None},
    {"BV", Form::Jump, 0xC, 4, ByteField::None},
    {"CALLR", Form::Jump, 0xD, 0, ByteField::None},
    {"CALLZ", Form::Jump, 0xD, 1, ByteField::None},
    {"CALLS", Form::Jump, 0xD, 2, ByteField::None},
    {"CALLC", Form::Jump, 0xD, 3, ByteField::None},
    {"CALLV", Form::Jump, 0xD, 4, ByteField::None},
    {"RET", Form::Bare, 0xE, 0, ByteField::None, Flow::Leaves},
    {"HALT", Form::Bare, 0xF, 0, ByteField::None, Flow::Leaves},
    {"LDI", Form::LoadImmediate, 0x2, 0, ByteField::Value},
}};

// Whether `longer` is `shorter` with one letter more somewhere.
bool OneLetterMore(std::string_view longer, std::string_view shorter) {
  if (longer.size() != shorter.size() + 1) return false;
  std::size_t i = 0;
  while (i < shorter.size() && longer[i] == shorter[i]) ++i;
  return longer.substr(i + 1) == shorter.substr(i);
}

bool OneSlipApart(std::string_view a, std::string_view b) {
  if (a.size() == b.size()) {
    std::size_t first = 0;
    while (first < a.size() && a[first] == b[first]) ++first;
    if (first == a.size()) return false;                          // the same word
    if (a.substr(first + 1) == b.substr(first + 1)) return true;  // one letter changed
    return first + 1 < a.size() && a[first] == b[first + 1] && a[first + 1] == b[first] &&
           a.substr(first + 2) == b.substr(first + 2);
  }
  return OneLetterMore(a, b) || OneLetterMore(b, a);
}

}  // namespace

std::optional<Mnemonic> FindMnemonic(std::string_view name) {
  const std::string upper = UpperCaseText(std::string(name));
  for (const Mnemonic& m : kMnemonics)
    if (m.name == upper) return m;
  return std::nullopt;
}

std::vector<std::string_view> NearMnemonics(std::string_view name) {
  std::vector<std::string_view> near;
  const std::string upper = UpperCaseText(std::string(name));
  for (const Mnemonic& m : kMnemonics)
    if (OneSlipApart(upper, m.name)) near.push_back(m.name);
  return near;
}

}  // namespace orben::assembler
