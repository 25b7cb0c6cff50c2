#include "grader/cases.h"

#include <toml++/toml.h>

#include <algorithm>
#include <initializer_list>

#include "grader/cases_hints.h"
#include "grader/cases_warnings.h"
#include "loader/line_scanner.h"
#include "machine/word_text.h"
#include "session/run.h"
#include "session/session.h"

namespace orben::grader {

namespace {

using session::kDefaultMaxSteps;  // as tuka2 run

// One to `width` hexadecimal digits, either case.
std::optional<unsigned> HexNumber(std::string_view text, std::size_t width) {
  if (text.empty() || text.size() > width) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    const int digit = HexCharToValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return value;
}

// A key of the cases file, named alike in every language.
Text Key(std::string_view key) {
  return Text(key);
}

// Walks the TOML tables of a cases file, keeping every fault it finds.
class CasesReader {
 public:
  std::vector<CasesError> errors;

  void fault(const toml::source_region& where, Text message) {
    errors.push_back({where.begin.line, where.begin.column, std::move(message)});
  }

  // Each key of `table` must be one of `known`.
  void onlyKeys(const toml::table& table, std::initializer_list<std::string_view> known,
                const Text& where) {
    for (const auto& [key, node] : table) {
      if (std::find(known.begin(), known.end(), key.str()) == known.end()) {
        fault(key.source(), Text("unknown key '{0}' in {1}", key.str(), where));
      }
    }
  }

  std::optional<std::uint16_t> word(const toml::node& node, const Text& what) {
    const auto* text = node.as_string();
    const auto value = text ? HexNumber(text->get(), 4) : std::nullopt;
    if (!value) {
      fault(node.source(),
            Text("{0} must be a word of one to four hexadecimal digits in quotes, like \"00FF\"",
                 what));
    }
    return value ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*value)) : std::nullopt;
  }

  std::optional<std::uint64_t> whole(const toml::node& node, const Text& what) {
    const auto* number = node.as_integer();
    if (!number || number->get() < 0) {
      fault(node.source(), Text("{0} must be a whole number, 0 or more", what));
      return std::nullopt;
    }
    return static_cast<std::uint64_t>(number->get());
  }

  std::optional<bool> boolean(const toml::node& node, const Text& what) {
    if (const auto* b = node.as_boolean()) return b->get();
    fault(node.source(), Text("{0} must be true or false", what));
    return std::nullopt;
  }

  // A number of seconds above 0 and at most a day, whole or not.
  std::optional<double> seconds(const toml::node& node, const Text& what) {
    const auto value = node.value<double>();
    if (!value || !(*value > 0) || *value > 86400) {
      fault(node.source(), Text("{0} must be a number of seconds above 0, like 10 or 2.5", what));
      return std::nullopt;
    }
    return value;
  }

  const toml::table* table(const toml::node& node, const Text& what) {
    const auto* t = node.as_table();
    if (!t) fault(node.source(), Text("{0} must be a table, like {{ \"02\" = \"000A\" }}", what));
    return t;
  }

  // Ports as keys: "02" or "3F". Input ports exclude 01, the keypad.
  std::vector<NumberedWord> ports(const toml::node& node, bool input) {
    std::vector<NumberedWord> result;
    const auto* t = table(node, Key(input ? "inputs" : "outputs"));
    if (!t) return result;
    for (const auto& [key, value] : *t) {
      const auto port = HexNumber(key.str(), 2);
      if (!port || *port > 0x3F) {
        fault(key.source(), Text("port '{0}' must be 00..3F in hexadecimal", key.str()));
        continue;
      }
      if (input && *port == 1) {
        fault(key.source(),
              Text("input port 01 is the keypad, which holds the start address: use start"));
        continue;
      }
      if (const auto w = word(value, Text("a port's word"))) result.emplace_back(*port, *w);
    }
    return result;
  }

  std::vector<NumberedWord> registers(const toml::node& node) {
    std::vector<NumberedWord> result;
    const auto* t = table(node, Key("registers"));
    if (!t) return result;
    for (const auto& [key, value] : *t) {
      const std::string name = UpperCaseText(std::string(key.str()));
      const int number = name.size() == 2 && name[0] == 'R' ? HexCharToValue(name[1]) : -1;
      if (number < 0) {
        fault(key.source(), Text("register '{0}' must be R0..RF", key.str()));
        continue;
      }
      if (const auto w = word(value, Text("a register's word"))) result.emplace_back(number, *w);
    }
    return result;
  }

  // Addresses as keys, each with a word or an array of consecutive words,
  // all of them below F000, where the machine keeps its memory.
  std::vector<MemoryBlock> memory(const toml::node& node) {
    std::vector<MemoryBlock> result;
    const auto* t = table(node, Key("memory"));
    if (!t) return result;
    for (const auto& [key, value] : *t) {
      const auto address = HexNumber(key.str(), 4);
      if (!address) {
        fault(key.source(),
              Text("address '{0}' must be one to four hexadecimal digits", key.str()));
        continue;
      }
      MemoryBlock block{static_cast<std::uint16_t>(*address), {}};
      if (const auto* array = value.as_array()) {
        for (const auto& item : *array) {
          if (const auto w = word(item, Text("a memory word"))) block.words.push_back(*w);
        }
      } else if (const auto w = word(value, Text("a memory word"))) {
        block.words.push_back(*w);
      }
      if (*address + block.words.size() > 0xF000) {
        fault(key.source(),
              Text("memory from {0} runs past EFFF, the last word the machine keeps", key.str()));
        continue;
      }
      result.push_back(std::move(block));
    }
    return result;
  }

  std::vector<std::pair<char, bool>> flags(const toml::node& node) {
    std::vector<std::pair<char, bool>> result;
    const auto* t = table(node, Key("flags"));
    if (!t) return result;
    for (const auto& [key, value] : *t) {
      const std::string name = UpperCaseText(std::string(key.str()));
      if (name.size() != 1 || std::string_view("ZSCV").find(name[0]) == std::string_view::npos) {
        fault(key.source(), Text("flag '{0}' must be Z, S, C or V", key.str()));
        continue;
      }
      if (const auto* b = value.as_boolean()) {
        result.emplace_back(name[0], b->get());
      } else if (const auto* i = value.as_integer(); i && (i->get() == 0 || i->get() == 1)) {
        result.emplace_back(name[0], i->get() == 1);
      } else {
        fault(value.source(), Text("a flag must be 0 or 1"));
      }
    }
    return result;
  }

  std::vector<std::string> texts(const toml::node& node) {
    std::vector<std::string> result;
    const auto* array = node.as_array();
    if (!array) {
      fault(node.source(),
            Text("messages must be an array of texts, like [{0}]", "\"Fin la ejecución :-)\""));
      return result;
    }
    for (const auto& item : *array) {
      if (const auto* text = item.as_string()) {
        result.push_back(text->get());
      } else {
        fault(item.source(), Text("a message must be a text in quotes"));
      }
    }
    return result;
  }

  Expectation expectation(const toml::node& node) {
    Expectation expect;
    const auto* t = table(node, Key("expect"));
    if (!t) return expect;
    onlyKeys(*t, {"stop", "outputs", "registers", "memory", "flags", "messages"}, Key("expect"));
    if (const auto* stop = t->get("stop")) {
      const auto* text = stop->as_string();
      const auto kind = text ? StopOfName(text->get()) : std::nullopt;
      if (kind) {
        expect.stop = *kind;
      } else {
        fault(stop->source(),
              Text("expect.stop must be \"halt\", \"error\", \"no-instruction\" or \"max-steps\""));
      }
    }
    if (const auto* n = t->get("outputs")) expect.outputs = ports(*n, false);
    if (const auto* n = t->get("registers")) expect.registers = registers(*n);
    if (const auto* n = t->get("memory")) expect.memory = memory(*n);
    if (const auto* n = t->get("flags")) expect.flags = flags(*n);
    if (const auto* n = t->get("messages")) expect.messages = texts(*n);
    return expect;
  }

  Case oneCase(const toml::table& t, std::size_t index, std::uint64_t max_steps, double timeout) {
    Case c;
    c.name = "case " + std::to_string(index);
    c.max_steps = max_steps;
    c.timeout = timeout;
    onlyKeys(t,
             {"name", "points", "partial", "hidden", "timeout", "inputs", "start", "registers",
              "memory", "max_steps", "expect"},
             Key("[[case]]"));
    if (const auto* n = t.get("name")) {
      if (const auto* text = n->as_string()) {
        c.name = text->get();
      } else {
        fault(n->source(), Text("name must be a text in quotes"));
      }
    }
    if (const auto* n = t.get("points")) {
      if (const auto points = whole(*n, Key("points")); points && *points <= 1000000)
        c.points = static_cast<int>(*points);
    }
    if (const auto* n = t.get("partial")) c.partial = boolean(*n, Key("partial")).value_or(false);
    if (const auto* n = t.get("hidden")) c.hidden = boolean(*n, Key("hidden")).value_or(false);
    if (const auto* n = t.get("timeout")) c.timeout = seconds(*n, Key("timeout")).value_or(timeout);
    if (const auto* n = t.get("inputs")) c.inputs = ports(*n, true);
    if (const auto* n = t.get("start")) c.start = word(*n, Key("start")).value_or(0);
    if (const auto* n = t.get("registers")) c.registers = registers(*n);
    if (const auto* n = t.get("memory")) c.memory = memory(*n);
    if (const auto* n = t.get("max_steps"))
      c.max_steps = whole(*n, Key("max_steps")).value_or(max_steps);
    if (const auto* n = t.get("expect")) c.expect = expectation(*n);
    return c;
  }
};

}  // namespace

std::string_view StopName(StopKind stop) {
  switch (stop) {
    case StopKind::Halt:
      return "halt";
    case StopKind::Error:
      return "error";
    case StopKind::NoInstruction:
      return "no-instruction";
    case StopKind::MaxSteps:
      return "max-steps";
  }
  return "halt";
}

std::optional<StopKind> StopOfName(std::string_view name) {
  for (StopKind stop :
       {StopKind::Halt, StopKind::Error, StopKind::NoInstruction, StopKind::MaxSteps}) {
    if (StopName(stop) == name) return stop;
  }
  return std::nullopt;
}

int CaseFile::maxPoints() const {
  int total = 0;
  for (const Case& c : cases) total += c.points;
  return total;
}

session::PowerOnValues CaseFile::powerOnValues() const {
  return seed ? session::PowerOnValues{std::nullopt, seed}
              : session::PowerOnValues{fill, std::nullopt};
}

ParsedCases ParseCases(std::string_view text, const std::string& path) {
  ParsedCases parsed;
  if (auto fault = NotUtf8(text)) {
    parsed.errors.push_back(std::move(*fault));
    return parsed;
  }
  toml::table root;
  try {
    root = toml::parse(text, path);
  } catch (const toml::parse_error& error) {
    // toml++ says what is wrong in English only.
    const auto [line, column] = error.source().begin;
    const auto hint = SyntaxHint(text, line, column);
    parsed.errors.push_back({line, column,
                             hint ? Text("not valid TOML: {0} ({1})", error.description(), *hint)
                                  : Text("not valid TOML: {0}", error.description())});
    return parsed;
  }
  CasesReader reader;
  CaseFile file;
  reader.onlyKeys(root,
                  {"title", "scale", "checks", "timeout", "max_steps", "fill", "seed", "case"},
                  Text("the cases file"));
  if (const auto* n = root.get("scale")) {
    const auto scale = n->value<double>();
    if (scale && *scale > 0 && *scale <= 1000000) {
      file.scale = scale;
    } else {
      reader.fault(n->source(), Text("scale must be a number above 0, like 10"));
    }
  }
  if (const auto* n = root.get("checks")) {
    const auto* rule = n->as_string();
    if (rule && rule->get() == "fail") {
      file.checks = ChecksRule::Fail;
    } else if (rule && rule->get() == "warn") {
      file.checks = ChecksRule::Warn;
    } else {
      reader.fault(n->source(), Text("checks must be \"fail\" or \"warn\""));
    }
  }
  double timeout = kDefaultTimeout;
  if (const auto* n = root.get("timeout"))
    timeout = reader.seconds(*n, Key("timeout")).value_or(timeout);
  if (const auto* n = root.get("title")) {
    if (const auto* title = n->as_string()) {
      file.title = title->get();
    } else {
      reader.fault(n->source(), Text("title must be a text in quotes"));
    }
  }
  std::uint64_t max_steps = kDefaultMaxSteps;
  if (const auto* n = root.get("max_steps"))
    max_steps = reader.whole(*n, Key("max_steps")).value_or(max_steps);
  if (const auto* n = root.get("fill")) file.fill = reader.word(*n, Key("fill")).value_or(0);
  if (const auto* n = root.get("seed")) {
    file.seed = reader.whole(*n, Key("seed"));
    if (root.get("fill") != nullptr) reader.fault(n->source(), Text("give fill or seed, not both"));
  }
  const auto* cases = root.get("case");
  const auto* array = cases ? cases->as_array() : nullptr;
  if (cases == nullptr) {
    reader.errors.push_back({1, 1, Text("no [[case]]: a cases file needs at least one case")});
  } else if (array == nullptr || !array->is_array_of_tables()) {
    reader.fault(cases->source(), Text("case must be written as [[case]] tables"));
  } else {
    std::size_t index = 0;
    for (const auto& item : *array) {
      file.cases.push_back(reader.oneCase(*item.as_table(), ++index, max_steps, timeout));
    }
  }
  parsed.warnings = CasesWarnings(root, file, reader.errors.empty());
  parsed.errors = std::move(reader.errors);
  std::stable_sort(parsed.errors.begin(), parsed.errors.end(),
                   [](const CasesError& a, const CasesError& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
  if (parsed.errors.empty()) parsed.cases = std::move(file);
  return parsed;
}

}  // namespace orben::grader
