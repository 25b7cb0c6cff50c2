#include "web/web_ide.h"

#include <utility>

#include "grader/case_start.h"
#include "grader/grading.h"

namespace orben::web {

WebIde::WebIde(WebMachine& machine) : machine_(machine), debugging_(machine.tuka(), this) {}

const std::string& WebIde::open(std::string bytes) {
  document_ = assembler::SourceDocument(std::move(bytes));
  return document_.text();
}

void WebIde::newSource() {
  document_ = assembler::SourceDocument();
}

session::EditorLoad WebIde::assemble(std::string_view text, const std::string& name,
                                     const std::vector<std::size_t>& breakpoint_lines) {
  session::EditorLoad load = debugging_.assembleAndLoad(text, name, breakpoint_lines);
  if (load.loaded) {
    program_name_ = name;
    program_bytes_ = std::string(text);
  }
  return load;
}

void WebIde::objectLoaded(const std::string& name, std::string bytes, LoadOutcome outcome) {
  if (!fileWasRead(outcome)) return;
  program_name_ = name;
  program_bytes_ = std::move(bytes);
}

std::vector<grader::CheckLine> WebIde::checkCases(const std::string& cases_name,
                                                  std::string bytes) {
  cases_.reset();
  const assembler::SourceDocument file(std::move(bytes));
  const grader::ParsedCases parsed = grader::ParseCases(file.text(), cases_name);
  if (!parsed.cases) return grader::casesErrorLines(cases_name, parsed);
  if (!program_name_) return {};
  cases_ = *parsed.cases;
  graded_ = grader::PrepareProgram(*program_name_, program_bytes_);
  // The words move into the result: the prepared program keeps its bytes.
  grader::ProgramResult result = grader::GradeProgram(graded_, *program_name_, *cases_);
  return grader::resultLines(cases_name, *cases_, result);
}

bool WebIde::prepareCase(int index) {
  if (!cases_ || index < 0 || static_cast<std::size_t>(index) >= cases_->cases.size()) return false;
  grader::PrepareCase(machine_.tuka(), graded_, cases_->cases[static_cast<std::size_t>(index)],
                      *cases_);
  return true;
}

WebIde::MemoryFile WebIde::memoryObject(std::string_view first, std::string_view last,
                                        const std::string& name) const {
  session::MemoryRange range;
  const session::RangeCheck check = session::checkMemoryRange(first, last, range);
  if (check != session::RangeCheck::Valid) {
    return {false, std::string(session::rangeCheckMessage(check))};
  }
  MemoryFile file;
  file.made = session::memoryObjectNamed(machine_.tuka().machine, debugging_.sourceMap(), range,
                                         name, file.text) == session::MemorySave::Saved;
  return file;
}

std::string WebIde::rangeRefusal(std::string_view first, std::string_view last) const {
  session::MemoryRange range;
  return std::string(session::rangeCheckMessage(session::checkMemoryRange(first, last, range)));
}

WebIde::Told WebIde::takeTold() {
  return std::exchange(told_, {});
}

void WebIde::lineAtPCChanged(std::size_t) {
  told_.line_changed = true;
}

void WebIde::stepped(const StepChanges&) {
  told_.stepped = true;
}

void WebIde::canStepBackChanged(bool) {
  told_.step_back_changed = true;
}

void WebIde::checkFound(const Check& check, std::size_t line) {
  told_.checks.push_back(session::checkMessage(check, line));
}

}  // namespace orben::web
