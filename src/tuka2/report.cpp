#include "tuka2/report.h"

#include "tuka2/json_writer.h"

namespace orben::tuka2 {

namespace {

constexpr char kFlagNames[] = {'Z', 'S', 'C', 'V'};

void CellArray(JsonWriter& json, const Machine& m, CellId first, int count) {
  json.BeginArray();
  for (int i = 0; i < count; ++i) json.String(m.cell(static_cast<CellId>(first + i)).view());
  json.EndArray();
}

}  // namespace

std::string MessageLine(const std::string& message) {
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

void WriteJson(const Tuka2& tuka, const RunResult& result, const std::vector<std::string>& messages,
               bool dump_memory, std::ostream& out) {
  const Machine& m = tuka.machine;
  JsonWriter json(out);
  json.BeginObject();
  json.Key("stop");
  json.String(result.stop);
  json.Key("steps");
  json.Number(static_cast<long long>(result.steps));
  const std::pair<const char*, CellId> cells[] = {
      {"pc", kCellPC}, {"ir", kCellIR}, {"ar", kCellAR}, {"dr", kCellDR}, {"keypad", kCellKeypad}};
  for (const auto& [key, cell] : cells) {
    json.Key(key);
    json.String(m.cell(cell).view());
  }
  json.Key("registers");
  CellArray(json, m, RegisterCell(0), kRegisterCount);
  json.Key("flags");
  json.BeginObject();
  for (int f = 0; f < kFlagCount; ++f) {
    json.Key(std::string(1, kFlagNames[f]));
    json.Number(m.flag(static_cast<Flag>(f)) ? 1 : 0);
  }
  json.EndObject();
  json.Key("step_mode");
  json.Number(m.StepMode());
  json.Key("inputs");
  CellArray(json, m, InputPortCell(0), kPortCount);
  json.Key("outputs");
  CellArray(json, m, OutputPortCell(0), kPortCount);
  json.Key("messages");
  json.BeginArray();
  for (const auto& message : messages) json.String(message);
  json.EndArray();
  json.Key("listing");
  json.BeginArray();
  for (int i = 0; i < m.listing().Count(); ++i) json.String(m.listing().Line(i));
  json.EndArray();
  json.Key("selected");
  if (m.listing().Selected() >= 0) {
    json.Number(m.listing().Selected());
  } else {
    json.Null();
  }
  if (dump_memory) {
    json.Key("memory");
    json.BeginArray();
    for (long long a = 0; a < Machine::kMemoryWords; ++a) json.String(m.ReadMemoryWord(a).view());
    json.EndArray();
  }
  json.EndObject();
  out << '\n';
}

void WriteSummary(const Tuka2& tuka, const RunResult& result,
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
    out << ' ' << kFlagNames[f] << '=' << (m.flag(static_cast<Flag>(f)) ? 1 : 0);
  }
  out << "  step mode " << m.StepMode() << '\n';
  for (int port = 0; port < kPortCount; ++port) {
    const WordText& now = m.cell(InputPortCell(port));
    if (!(now == result.inputs_at_power_on[port])) {
      out << "input port " << ValueToWordText(port).view().substr(2) << ": " << now.view() << '\n';
    }
  }
  for (int port = 0; port < kPortCount; ++port) {
    const WordText& now = m.cell(OutputPortCell(port));
    if (!(now == result.outputs_at_power_on[port])) {
      out << "output port " << ValueToWordText(port).view().substr(2) << ": " << now.view() << '\n';
    }
  }
  for (const auto& message : messages) out << "message: " << MessageLine(message) << '\n';
}

}  // namespace orben::tuka2
