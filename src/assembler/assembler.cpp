#include "assembler/assembler.h"

#include "assembler/assembly.h"

namespace orben::assembler {

AssemblyResult Assemble(std::string_view source, AssemblyOutput& output) {
  return Assembly(source, output).run();
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
