#include "grader/cases_warnings.h"

#include <algorithm>
#include <map>

#include "assembler/source_text.h"
#include "machine/word_text.h"
#include "session/session.h"

namespace orben::grader {

namespace {

std::string Word(std::uint16_t word) {
  return wordOf(word).str();
}

class Warnings {
 public:
  std::vector<CasesError> found;

  void warn(const toml::node& node, Text message) {
    found.push_back({node.source().begin.line, node.source().begin.column, std::move(message)});
  }

  // Two cases with one name, or a name of blanks only.
  void names(const toml::array& cases, const CaseFile& file) {
    std::map<std::string, std::size_t> first_line;
    for (std::size_t i = 0; i < cases.size() && i < file.cases.size(); ++i) {
      const toml::node& table = *cases.get(i);
      const toml::node* name = table.as_table()->get("name");
      const toml::node& at = name != nullptr ? *name : table;
      const std::string& text = file.cases[i].name;
      if (name != nullptr && name->is_string() && assembler::TrimBlanks(text).empty()) {
        warn(at, Text("the case's name is empty: the report shows it without one"));
        continue;
      }
      const auto [seen, is_first] = first_line.emplace(text, at.source().begin.line);
      if (!is_first) {
        warn(at, Text("another case is named \"{0}\" (line {1}): the report cannot tell them apart",
                      text, seen->second));
      }
    }
  }

  void nothingChecked(const toml::table& table, const Case& c) {
    const Expectation& e = c.expect;
    const toml::table* expect = table["expect"].as_table();
    const bool stop = expect != nullptr && expect->contains("stop");
    const bool memory = std::any_of(e.memory.begin(), e.memory.end(),
                                    [](const MemoryBlock& block) { return !block.words.empty(); });
    if (stop || memory || !e.outputs.empty() || !e.registers.empty() || !e.flags.empty() ||
        e.messages)
      return;
    warn(table, Text("case \"{0}\" checks nothing but that the run stops at HALT: say under "
                     "expect what it must leave",
                     c.name));
  }

  // The expectations a switched-on machine meets before the program runs:
  // an output port's word, a register the case does not preset, a memory
  // word of the fill where no preset of the case writes. Each expectation
  // read is one entry of its table, in the table's order.
  void atPowerOn(const toml::table& table, const Case& c, const CaseFile& file, const Machine& on) {
    const toml::node_view<const toml::node> expect = table["expect"];
    if (const toml::table* outputs = expect["outputs"].as_table()) {
      std::size_t k = 0;
      for (const auto& [key, value] : *outputs) {
        const auto& [port, word] = c.expect.outputs.at(k++);
        if (on.cell(outputPortCell(port)).view() != Word(word)) continue;
        heldAlready(
            value, Text("output port {0}", Word(static_cast<std::uint16_t>(port)).substr(2)), word);
      }
    }
    if (const toml::table* registers = expect["registers"].as_table()) {
      std::size_t k = 0;
      for (const auto& [key, value] : *registers) {
        const auto& [n, word] = c.expect.registers.at(k++);
        const bool preset = std::any_of(c.registers.begin(), c.registers.end(),
                                        [n = n](const NumberedWord& r) { return r.first == n; });
        if (preset || on.ReadRegister(n).view() != Word(word)) continue;
        heldAlready(value, Text("register R{0}", std::string(1, HexDigitToChar(n))), word,
                    "registers");
      }
    }
    const toml::table* memory = expect["memory"].as_table();
    if (memory == nullptr || file.seed) return;
    std::size_t k = 0;
    for (const auto& [key, value] : *memory) {
      const MemoryBlock& block = c.expect.memory.at(k++);
      for (std::size_t j = 0; j < block.words.size(); ++j) {
        const auto address = static_cast<std::uint16_t>(block.address + j);
        const bool preset =
            std::any_of(c.memory.begin(), c.memory.end(), [&](const MemoryBlock& p) {
              return address >= p.address && std::size_t{address} - p.address < p.words.size();
            });
        if (preset || on.ReadMemoryWord(address).view() != Word(block.words[j])) continue;
        const toml::node& at = value.is_array() ? *value.as_array()->get(j) : value;
        heldAlready(at, Text("memory {0}", Word(address)), block.words[j], "memory");
      }
    }
  }

 private:
  void heldAlready(const toml::node& at, const Text& what, std::uint16_t word) {
    warn(at, Text("{0} holds {1} at power-on already: this expectation holds for a program that "
                  "never writes there",
                  what, Word(word)));
  }
  void heldAlready(const toml::node& at, const Text& what, std::uint16_t word,
                   std::string_view presets) {
    warn(at, Text("{0} holds {1} at power-on already: this expectation holds for a program that "
                  "never writes there (preset another word under the case's {2})",
                  what, Word(word), presets));
  }
};

}  // namespace

std::vector<CasesError> CasesWarnings(const toml::table& root, const CaseFile& file, bool usable) {
  const toml::array* cases = root["case"].as_array();
  if (cases == nullptr || !cases->is_array_of_tables()) return {};
  Warnings warnings;
  warnings.names(*cases, file);
  if (usable) {
    // The machine as each case's run finds it, switched on with the file's
    // power-on values.
    session::Session on(file.powerOnValues());
    on.switchOn();
    for (std::size_t i = 0; i < cases->size() && i < file.cases.size(); ++i) {
      const toml::table& table = *cases->get(i)->as_table();
      warnings.nothingChecked(table, file.cases[i]);
      warnings.atPowerOn(table, file.cases[i], file, on.machine());
    }
  }
  std::stable_sort(warnings.found.begin(), warnings.found.end(),
                   [](const CasesError& a, const CasesError& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
  return std::move(warnings.found);
}

}  // namespace orben::grader
