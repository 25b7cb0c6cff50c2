#include "session/report.h"

#include "text/catalog.h"

#include "session/json_writer.h"

namespace orben::session {

namespace {

JsonDocument cellArray(const Machine& m, CellId first, int count) {
  JsonDocument cells = JsonDocument::array();
  for (int i = 0; i < count; ++i) cells.push_back(m.cell(static_cast<CellId>(first + i)).str());
  return cells;
}

}  // namespace

std::string messageLine(std::string_view message) {
  std::string line;
  for (char c : message) {
    if (c == '\r') {
      line += " / ";
    } else {
      line += c;
    }
  }
  return line;
}

void writeCellMembers(const Machine& m, JsonStream& json) {
  const std::pair<const char*, CellId> cells[] = {
      {"pc", kCellPC}, {"ir", kCellIR}, {"ar", kCellAR}, {"dr", kCellDR}, {"keypad", kCellKeypad}};
  for (const auto& [key, cell] : cells) json.member(key, m.cell(cell).str());
  json.member("registers", cellArray(m, registerCell(0), kRegisterCount));
  JsonDocument flags = JsonDocument::object();
  for (int f = 0; f < kFlagCount; ++f) {
    flags[std::string(1, flagLetter(static_cast<Flag>(f)))] = m.flag(static_cast<Flag>(f)) ? 1 : 0;
  }
  json.member("flags", flags);
  json.member("step_mode", JsonDocument(m.stepByStep() ? 1 : 0));
  json.member("inputs", cellArray(m, inputPortCell(0), kPortCount));
  json.member("outputs", cellArray(m, outputPortCell(0), kPortCount));
  JsonDocument written = JsonDocument::array();
  for (int port = 0; port < kPortCount; ++port) {
    if (m.outputsWritten() >> port & 1) written.push_back(port);
  }
  json.member("outputs_written", written);
}

JsonDocument checksDocument(const std::vector<Check>& checks) {
  JsonDocument list = JsonDocument::array();
  for (const Check& check : checks) {
    JsonDocument item = JsonDocument::object();
    item["address"] = std::string(wordOf(check.address).view());
    item["step"] = check.step;
    item["kind"] = std::string(checkKindName(check.kind));
    item["text"] = check.text.in(Language::English);  // JSON keeps one language
    list.push_back(std::move(item));
  }
  return list;
}

Text checkText(const Check& check) {
  return Text("check: {0} at {1}, step {2}: {3}", checkKindName(check.kind),
              wordOf(check.address).str(), check.step, check.text);
}

std::string checkLine(const Check& check) {
  return checkText(check).str();
}

void writeJson(const Tuka2& tuka, const RunResult& result, const MessageLog& messages,
               bool dump_memory, std::ostream& out) {
  const Machine& m = tuka.machine;
  JsonStream json(out);
  json.beginObject();
  json.member("stop", stopWord(result.stop));
  json.member("steps", JsonDocument(result.steps));
  writeCellMembers(m, json);
  // The messages, the listing and the memory may be millions of lines:
  // each is written as it is read.
  json.key("messages");
  json.beginArray();
  messages.forEach([&](std::string_view message) { json.item(message); });
  json.endArray();
  json.member("checks", checksDocument(result.checks));
  json.key("listing");
  json.beginArray();
  for (int i = 0; i < tuka.listing.count(); ++i) json.item(tuka.listing.line(i));
  json.endArray();
  json.member("selected", tuka.listing.selected() >= 0 ? JsonDocument(tuka.listing.selected())
                                                       : JsonDocument());
  if (dump_memory) {
    json.key("memory");
    json.beginArray();
    for (long long a = 0; a < Machine::kMemoryWords; ++a) json.item(m.ReadMemoryWord(a).view());
    json.endArray();
  }
  json.endObject();
  out << '\n';
}

void writeCellLines(const Machine& m, std::ostream& out) {
  out << trf("PC {0}  IR {1}  AR {2}  DR {3}  keypad {4}", m.cell(kCellPC).str(),
             m.cell(kCellIR).str(), m.cell(kCellAR).str(), m.cell(kCellDR).str(),
             m.cell(kCellKeypad).str())
      << '\n';
  for (int n = 0; n < kRegisterCount; ++n) {
    out << 'R' << HexDigitToChar(n) << ' ' << m.ReadRegister(n).view() << (n % 8 == 7 ? '\n' : ' ');
  }
  std::string flags;
  for (int f = 0; f < kFlagCount; ++f) {
    if (f > 0) flags += ' ';
    flags += flagLetter(static_cast<Flag>(f));
    flags += m.flag(static_cast<Flag>(f)) ? "=1" : "=0";
  }
  out << trf("flags {0}  step mode {1}", flags, m.stepByStep() ? 1 : 0) << '\n';
}

void writeSummary(const Tuka2& tuka, const RunResult& result, const MessageLog& messages,
                  std::ostream& out) {
  const Machine& m = tuka.machine;
  out << (result.steps == 1 ? trf("stop: {0} after {1} step", stopWord(result.stop), result.steps)
                            : trf("stop: {0} after {1} steps", stopWord(result.stop), result.steps))
      << '\n';
  writeCellLines(m, out);
  for (int port = 0; port < kPortCount; ++port) {
    const WordText& now = m.cell(inputPortCell(port));
    if (!(now == result.inputs_at_power_on[port])) {
      out << trf("input port {0}: {1}", ValueToWordText(port).view().substr(2), now.str()) << '\n';
    }
  }
  // An output port is listed when it differs from its power-on value or an
  // OUT wrote it, the same value included.
  for (int port = 0; port < kPortCount; ++port) {
    const WordText& now = m.cell(outputPortCell(port));
    if (!(now == result.outputs_at_power_on[port]) || (m.outputsWritten() >> port & 1)) {
      out << trf("output port {0}: {1}", ValueToWordText(port).view().substr(2), now.str()) << '\n';
    }
  }
  messages.forEach(
      [&](std::string_view message) { out << trf("message: {0}", messageLine(message)) << '\n'; });
  for (const Check& check : result.checks) out << checkLine(check) << '\n';
}

}  // namespace orben::session
