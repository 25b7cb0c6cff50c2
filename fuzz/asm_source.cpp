// The assembler on any text: it never crashes, counts every diagnostic it
// gives, places each at a line of the input, and an assembly without
// errors writes one EHC line per word that states that word.

#include <algorithm>
#include <sstream>
#include <string>

#include "assembler/assembler.h"
#include "assembler/object_writers.h"
#include "fuzz_support.h"
#include "machine/word_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orben::assembler;
  using orben::fuzz::check;
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const Assembled assembled = AssembleText(source);
  const auto errors =
      std::count_if(assembled.diagnostics.begin(), assembled.diagnostics.end(),
                    [](const Diagnostic& d) { return d.severity == Severity::Error; });
  check(static_cast<std::size_t>(errors) == assembled.result.errors, "errors counted");
  check(assembled.diagnostics.size() - errors == assembled.result.warnings, "warnings counted");
  const auto lines = static_cast<std::size_t>(std::count(source.begin(), source.end(), '\n') +
                                              std::count(source.begin(), source.end(), '\r') + 1);
  for (const Diagnostic& d : assembled.diagnostics) {
    check(d.line <= lines, "a diagnostic's line is in the input");
    check(d.line == 0 || d.column >= 1, "a diagnostic's column counts from 1");
    check(!d.message.in(orben::Language::English).empty(), "a diagnostic says something");
  }
  if (!assembled.result.ok()) return 0;
  check(!assembled.words.empty() && assembled.words.size() == assembled.result.words,
        "an assembly without errors gives its words");
  std::ostringstream ehc;
  ObjectWriter writer(orben::ObjectFormat::Ehc, ehc);
  Assemble(source, writer);
  std::istringstream written(ehc.str());
  std::size_t index = 0;
  for (std::string line; std::getline(written, line); ++index) {
    check(index < assembled.words.size(), "one EHC line per word");
    const AssembledWord& word = assembled.words[index];
    const std::string expected =
        orben::wordOf(word.address).str() + " " + orben::wordOf(word.word).str() + " ; ";
    check(line.compare(0, expected.size(), expected) == 0, "the EHC line states its word");
    check(line.back() == '\r' && line.find_first_of("\x1A\n") == std::string::npos,
          "the EHC line ends in CR LF and holds no end of file");
  }
  check(index == assembled.words.size(), "one EHC line per word");
  return 0;
}
