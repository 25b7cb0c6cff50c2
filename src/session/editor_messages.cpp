#include "session/editor_messages.h"

#include "session/report.h"

namespace orben::session {

namespace {

EditorMessage at(std::string text, std::size_t line, std::size_t column, bool error) {
  if (line != 0) text = std::to_string(line) + ":" + std::to_string(column) + ": " + text;
  return {std::move(text), line, column, error};
}

}  // namespace

std::vector<EditorMessage> diagnosticMessages(
    const std::vector<assembler::Diagnostic>& diagnostics) {
  std::vector<EditorMessage> messages;
  for (const assembler::Diagnostic& d : diagnostics) {
    messages.push_back(at(d.message.in(Language::Spanish), d.line, d.column,
                          d.severity == assembler::Severity::Error));
  }
  return messages;
}

EditorMessage checkMessage(const Check& check, std::size_t line) {
  return at(checkText(check).in(Language::Spanish), line, line > 0 ? 1 : 0, false);
}

}  // namespace orben::session
