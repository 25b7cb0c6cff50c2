// What a command changed, and its answer written as text or as one JSON
// line.
#include "session/debugger_answer.h"

#include <ostream>

#include "session/json_writer.h"
#include "session/report.h"
#include "session/trace.h"

namespace orben::session {

std::optional<std::string_view> debugStopWord(DebugStop stop) {
  switch (stop) {
    case DebugStop::None:
      return std::nullopt;
    case DebugStop::Step:
      return "step";
    case DebugStop::Back:
      return "back";
    case DebugStop::Breakpoint:
      return "breakpoint";
    case DebugStop::Halt:
      return "halt";
    case DebugStop::Error:
      return "error";
    case DebugStop::NoInstruction:
      return "no-instruction";
    case DebugStop::MaxSteps:
      return "max-steps";
  }
  return std::nullopt;
}

void Debugger::Changes::add(const StepChanges& step) {
  cells_.resize(kCellCount);
  flags_.resize(kFlagCount);
  words_.resize(0x10000);
  for (CellId cell : step.cells) {
    if (!cells_[cell]) all_.cells.push_back(cell);
    cells_[cell] = true;
  }
  for (Flag flag : step.flags) {
    if (!flags_[static_cast<int>(flag)]) all_.flags.push_back(flag);
    flags_[static_cast<int>(flag)] = true;
  }
  for (std::uint16_t word : step.words) {
    if (!words_[word]) all_.words.push_back(word);
    words_[word] = true;
  }
}

void Debugger::writeText(const Answer& answer, std::ostream& out) {
  if (answer.error) {
    out << answer.error->str() << '\n';
    return;
  }
  for (const std::string& text : answer.lines) out << text << '\n';
  const StepChanges& changed = answer.changes.all();
  if (answer.shows_place) {
    out << (changed.empty() ? std::string(tr("changed: nothing"))
                            : trf("changed: {0}", changesText(s_.machine(), changed)))
        << '\n';
  }
  std::size_t seen = 0;
  s_.messages().forEach([&](std::string_view message) {
    if (seen++ >= messages_told_) out << trf("message: {0}", messageLine(message)) << '\n';
  });
  messages_told_ = s_.messages().size();
  const std::vector<Check>& checks = s_.checks();
  for (std::size_t i = checks_told_; i < checks.size(); ++i) out << checkLine(checks[i]) << '\n';
  checks_told_ = checks.size();
  if (answer.shows_place) out << trf("at: {0}", at()) << '\n';
}

void Debugger::writeJson(const Answer& answer, std::ostream& out) {
  const Machine& m = s_.machine();
  JsonStream json(out);
  json.beginObject();
  json.member("command", answer.command);
  const auto stop = debugStopWord(answer.stop);
  json.member("stop", stop ? JsonDocument(std::string(*stop)) : JsonDocument());
  JsonDocument changed = JsonDocument::array();
  for (CellId cell : answer.changes.all().cells) changed.push_back(cellName(cell));
  for (Flag flag : answer.changes.all().flags) changed.push_back(std::string(1, flagLetter(flag)));
  for (std::uint16_t word : answer.changes.all().words) {
    changed.push_back(std::string(wordOf(word).view()));
  }
  json.member("changed", changed);
  const std::vector<Check>& checks = s_.checks();
  json.member("checks", checksDocument({checks.begin() + static_cast<std::ptrdiff_t>(checks_told_),
                                        checks.end()}));
  checks_told_ = checks.size();
  json.member("error",
              answer.error ? JsonDocument(answer.error->in(Language::English)) : JsonDocument());
  json.member("steps", JsonDocument(s_.tuka().processor.executions()));
  writeCellMembers(m, json);
  json.key("messages");
  json.beginArray();
  s_.messages().forEach([&](std::string_view message) { json.item(message); });
  json.endArray();
  messages_told_ = s_.messages().size();
  const int selected = s_.tuka().listing.selected();
  json.member("selected", selected >= 0 ? JsonDocument(selected) : JsonDocument());
  if (answer.memory) {
    json.key("memory");
    json.beginArray();
    for (std::uint32_t i = 0; i < answer.memory->second; ++i) {
      const std::uint32_t address = answer.memory->first + i;
      JsonDocument item = JsonDocument::object();
      item["address"] = std::string(wordOf(address).view());
      item["word"] = m.ReadMemoryWord(address).str();
      json.item(item);
    }
    json.endArray();
  }
  json.endObject();
  out << '\n';
}

}  // namespace orben::session
