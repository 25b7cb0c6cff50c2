#include "runner/report.h"

#include "runner/json_writer.h"

namespace orben::runner {

namespace {

void cellArray(JsonWriter& json, const Machine& m, CellId first, int count) {
  json.beginArray();
  for (int i = 0; i < count; ++i) json.text(m.cell(static_cast<CellId>(first + i)).view());
  json.endArray();
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

void writeJson(const Tuka2& tuka, const RunResult& result, const std::vector<std::string>& messages,
               bool dump_memory, std::ostream& out) {
  const Machine& m = tuka.machine;
  JsonWriter json(out);
  json.beginObject();
  json.key("stop");
  json.text(result.stop);
  json.key("steps");
  json.number(static_cast<long long>(result.steps));
  const std::pair<const char*, CellId> cells[] = {
      {"pc", kCellPC}, {"ir", kCellIR}, {"ar", kCellAR}, {"dr", kCellDR}, {"keypad", kCellKeypad}};
  for (const auto& [key, cell] : cells) {
    json.key(key);
    json.text(m.cell(cell).view());
  }
  json.key("registers");
  cellArray(json, m, registerCell(0), kRegisterCount);
  json.key("flags");
  json.beginObject();
  for (int f = 0; f < kFlagCount; ++f) {
    json.key(std::string(1, flagLetter(static_cast<Flag>(f))));
    json.number(m.flag(static_cast<Flag>(f)) ? 1 : 0);
  }
  json.endObject();
  json.key("step_mode");
  json.number(m.stepByStep() ? 1 : 0);
  json.key("inputs");
  cellArray(json, m, inputPortCell(0), kPortCount);
  json.key("outputs");
  cellArray(json, m, outputPortCell(0), kPortCount);
  json.key("messages");
  json.beginArray();
  for (const auto& message : messages) json.text(message);
  json.endArray();
  json.key("listing");
  json.beginArray();
  for (int i = 0; i < tuka.listing.count(); ++i) json.text(tuka.listing.line(i));
  json.endArray();
  json.key("selected");
  if (tuka.listing.selected() >= 0) {
    json.number(tuka.listing.selected());
  } else {
    json.null();
  }
  if (dump_memory) {
    json.key("memory");
    json.beginArray();
    for (long long a = 0; a < Machine::kMemoryWords; ++a) json.text(m.ReadMemoryWord(a).view());
    json.endArray();
  }
  json.endObject();
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
