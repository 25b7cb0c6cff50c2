#pragma once

#include <ostream>
#include <string>

#include "assembler/assembler.h"

namespace orben::session {

// The assembler's errors and warnings on a terminal, one a line, as
// SOURCE:LINE:COLUMN: error: message (SOURCE: error: message for a
// diagnostic of the whole source), in the current language.
class DiagnosticPrinter : public assembler::AssemblyOutput {
 public:
  DiagnosticPrinter(const std::string& source, std::ostream& err) : source_(source), err_(err) {}
  void diagnostic(const assembler::Diagnostic& d) override {
    err_ << assembler::DiagnosticLine(source_, d).str() << '\n';
  }

 private:
  const std::string& source_;
  std::ostream& err_;
};

}  // namespace orben::session
