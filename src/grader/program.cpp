#include "grader/program.h"

#include <algorithm>

#include "assembler/assembler.h"
#include "assembler/object_in_memory.h"
#include "assembler/object_name.h"
#include "assembler/source_file.h"
#include "assembler/text.h"
#include "session/session.h"

namespace orben::grader {

namespace {

constexpr std::size_t kShownAssemblyErrors = 5;

// The words of memory `a` and `b` hold alike. Filled with 0000 and with
// FFFF before the same load, two machines agree exactly where it wrote.
std::vector<LoadedWord> WordsAlike(const Machine& a, const Machine& b) {
  std::vector<LoadedWord> words;
  const std::uint8_t* x = a.memory().data();
  const std::uint8_t* y = b.memory().data();
  const std::size_t count = std::min(a.memory().size(), b.memory().size()) / 2;
  for (std::size_t address = 0; address < count; ++address) {
    const std::size_t at = 2 * address;
    if (x[at] == y[at] && x[at + 1] == y[at + 1]) {
      words.emplace_back(static_cast<std::uint16_t>(address),
                         static_cast<std::uint16_t>(x[at] << 8 | x[at + 1]));
    }
  }
  return words;
}

void LearnTheLoad(Program& program) {
  session::Session zeros({std::uint16_t{0x0000}, std::nullopt});
  session::Session ones({std::uint16_t{0xFFFF}, std::nullopt});
  for (session::Session* s : {&zeros, &ones}) {
    s->switchOn();
    s->loadObject(program.format, program.load_name, program.bytes);
  }
  program.load_messages = zeros.messages().all();
  program.words = WordsAlike(zeros.machine(), ones.machine());
}

}  // namespace

Program PrepareProgram(const std::string& path) {
  std::string reason;
  auto text = assembler::ReadSourceFile(path, reason);
  if (!text) {
    Program program;
    program.trouble = Trouble::Unreadable;
    program.problems.push_back(Text("cannot read {0}: {1}", path, reason));
    return program;
  }
  return PrepareProgram(path, std::move(*text));
}

Program PrepareProgram(const std::string& path, std::string text) {
  Program program;
  if (const auto format = objectFormatOfName(path)) {
    program.format = *format;
    program.load_name = path;
    program.bytes = std::move(text);
    LearnTheLoad(program);
    return program;
  }
  // An assembly source: its EHC text in memory, loaded as the file that
  // tuka2 asm would write.
  std::vector<assembler::Diagnostic> errors;
  struct ErrorKeeper : assembler::AssemblyOutput {
    std::vector<assembler::Diagnostic>* kept;
    void diagnostic(const assembler::Diagnostic& d) override {
      if (d.severity == assembler::Severity::Error) kept->push_back(d);
    }
  } keeper;
  keeper.kept = &errors;
  auto assembled = assembler::AssembleInMemory(text, keeper);
  const auto& result = assembled.result;
  if (!result.ok()) {
    program.trouble = Trouble::NotAssembled;
    program.problems.push_back(
        result.errors == 1
            ? Text("the assembly of {0} failed with {1} error", path, result.errors)
            : Text("the assembly of {0} failed with {1} errors", path, result.errors));
    for (std::size_t i = 0; i < errors.size() && i < kShownAssemblyErrors; ++i) {
      program.problems.push_back(assembler::DiagnosticLine(path, errors[i]));
    }
    return program;
  }
  program.bytes = std::move(assembled.ehc);
  program.load_name = assembler::DefaultObjectName(path);
  LearnTheLoad(program);
  return program;
}

}  // namespace orben::grader
