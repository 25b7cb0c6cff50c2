#include "runner/report.h"

#include "runner/json_writer.h"

namespace orben::runner {

namespace {

JsonDocument cellArray(const Machine& m, CellId first, int count) {
  JsonDocument cells = JsonDocument::array();
  for (int i = 0; i < count; ++i) cells.push_back(m.cell(static_cast<CellId>(first + i)).str());
  return cells;
}

}  // namespace

std::string messageLine(const std::string& message) {
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

JsonDocument runReport(const Tuka2& tuka, const RunResult& result,
                       const std::vector<std::string>& messages, bool dump_memory) {
  const Machine& m = tuka.machine;
  JsonDocument json;
  json["stop"] = result.stop;
  json["steps"] = result.steps;
  const std::pair<const char*, CellId> cells[] = {
      {"pc", kCellPC}, {"ir", kCellIR}, {"ar", kCellAR}, {"dr", kCellDR}, {"keypad", kCellKeypad}};
  for (const auto& [key, cell] : cells) json[key] = m.cell(cell).str();
  json["registers"] = cellArray(m, registerCell(0), kRegisterCount);
  JsonDocument& flags = json["flags"] = JsonDocument::object();
  for (int f = 0; f < kFlagCount; ++f) {
    flags[std::string(1, flagLetter(static_cast<Flag>(f)))] = m.flag(static_cast<Flag>(f)) ? 1 : 0;
  }
  json["step_mode"] = m.stepByStep() ? 1 : 0;
  json["inputs"] = cellArray(m, inputPortCell(0), kPortCount);
  json["outputs"] = cellArray(m, outputPortCell(0), kPortCount);
  json["messages"] = messages;
  JsonDocument& listing = json["listing"] = JsonDocument::array();
  for (int i = 0; i < tuka.listing.count(); ++i) listing.push_back(tuka.listing.line(i));
  json["selected"] =
      tuka.listing.selected() >= 0 ? JsonDocument(tuka.listing.selected()) : JsonDocument();
  if (dump_memory) {
    JsonDocument& memory = json["memory"] = JsonDocument::array();
    for (long long a = 0; a < Machine::kMemoryWords; ++a) {
      memory.push_back(m.ReadMemoryWord(a).str());
    }
  }
  return json;
}

void writeJson(const Tuka2& tuka, const RunResult& result, const std::vector<std::string>& messages,
               bool dump_memory, std::ostream& out) {
  writeJsonDocument(runReport(tuka, result, messages, dump_memory), out);
  out << '\n';
}

void writeSummary(const Tuka2& tuka, const RunResult& result,
                  const std::vector<std::string>& messages, std::ostream& out) {
  const Machine& m = tuka.machine;
  out << "stop: " << result.stop << " after " << result.steps << " step"
      << (result.steps == 1 ? "" : "s") << '\n';
  out << "PC " << m.cell(kCellPC).view() << "  IR " << m.cell(kCellIR).view() << "  AR "
      << m.cell(kCellAR).view() << "  DR " << m.cell(kCellDR).view() << "  keypad "
      << m.cell(kCellKeypad).view() << '\n';
  for (int n = 0; n < kRegisterCount; ++n) {
    out << 'R' << HexDigitToChar(n) << ' ' << m.ReadRegister(n).view() << (n % 8 == 7 ? '\n' : ' ');
  }
  out << "flags";
  for (int f = 0; f < kFlagCount; ++f) {
    out << ' ' << flagLetter(static_cast<Flag>(f)) << '=' << (m.flag(static_cast<Flag>(f)) ? 1 : 0);
  }
  out << "  step mode " << (m.stepByStep() ? 1 : 0) << '\n';
  for (int port = 0; port < kPortCount; ++port) {
    const WordText& now = m.cell(inputPortCell(port));
    if (!(now == result.inputs_at_power_on[port])) {
      out << "input port " << ValueToWordText(port).view().substr(2) << ": " << now.view() << '\n';
    }
  }
  for (int port = 0; port < kPortCount; ++port) {
    const WordText& now = m.cell(outputPortCell(port));
    if (!(now == result.outputs_at_power_on[port])) {
      out << "output port " << ValueToWordText(port).view().substr(2) << ": " << now.view() << '\n';
    }
  }
  for (const auto& message : messages) out << "message: " << messageLine(message) << '\n';
}

}  // namespace orben::runner
