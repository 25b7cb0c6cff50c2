#include "assembler/instructions.h"

#include <array>

#include "assembler/lexer.h"
#include "loader/line_scanner.h"

namespace orben::assembler {

namespace {

// Conditions of B and CALL: R(always) 0, Z 1, S 2, C 3, V 4.
constexpr std::array<Mnemonic, 25> kMnemonics = {{
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
    {"BR", Form::Jump, 0xC, 0, nullptr, Flow::Leaves},
    {"BZ", Form::Jump, 0xC, 1, nullptr},
    {"BS", Form::Jump, 0xC, 2, nullptr},
    {"BC", Form::Jump, 0xC, 3, nullptr},
    {"BV", Form::Jump, 0xC, 4, nullptr},
    {"CALLR", Form::Jump, 0xD, 0, nullptr},
    {"CALLZ", Form::Jump, 0xD, 1, nullptr},
    {"CALLS", Form::Jump, 0xD, 2, nullptr},
    {"CALLC", Form::Jump, 0xD, 3, nullptr},
    {"CALLV", Form::Jump, 0xD, 4, nullptr},
    {"RET", Form::Bare, 0xE, 0, nullptr, Flow::Leaves},
    {"HALT", Form::Bare, 0xF, 0, nullptr, Flow::Leaves},
    {"LDI", Form::LoadImmediate, 0x2, 0, "value"},
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
