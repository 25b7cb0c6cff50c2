#include "assembler/assembler.h"

#include "assembler/assembly.h"

namespace orben::assembler {

AssemblyResult Assemble(std::string_view source, AssemblyOutput& output) {
  return Assembly(source, output).run();
}

Text DiagnosticLine(std::string_view source, const Diagnostic& diagnostic) {
  const bool error = diagnostic.severity == Severity::Error;
  const Text& message = diagnostic.message;
  if (diagnostic.line == 0) {
    return error ? Text("{0}: error: {1}", source, message)
                 : Text("{0}: warning: {1}", source, message);
  }
  const std::size_t line = diagnostic.line;
  const std::size_t column = diagnostic.column;
  return error ? Text("{0}:{1}:{2}: error: {3}", source, line, column, message)
               : Text("{0}:{1}:{2}: warning: {3}", source, line, column, message);
}

namespace {

class Collector : public AssemblyOutput {
 public:
  explicit Collector(Assembled& into) : into_(into) {}
  void diagnostic(const Diagnostic& diagnostic) override {
    into_.diagnostics.push_back(diagnostic);
  }
  void line(const SourceLine& line, std::uint32_t address,
            std::span<const std::uint16_t> words) override {
    for (std::uint16_t word : words) {
      into_.words.push_back({static_cast<std::uint16_t>(address++), word, line.number});
    }
  }

 private:
  Assembled& into_;
};

}  // namespace

Assembled AssembleText(std::string_view source) {
  Assembled assembled;
  Collector collector(assembled);
  assembled.result = Assemble(source, collector);
  return assembled;
}

}  // namespace orben::assembler
