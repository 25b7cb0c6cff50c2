// tuka2 debug's commands: steps and steps back that agree with each other,
// a continue that stops at a breakpoint and goes on from it, and answers
// that stay one line each whatever the command.
#include "session/debugger.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace orben::session {
namespace {

// suma_1_a_n's shape: R2 := 1 + 2 + 3, the sum output at `fin`.
constexpr const char* kSource =
    "        LLI R1, 3\n"
    "        LLI R2, 0\n"
    "        LLI R3, 1\n"
    "bucle:  ADDS R2, R2, R1\n"
    "        SUBS R1, R1, R3\n"
    "        LDI RD, fin\n"
    "        BZ\n"
    "        LDI RD, bucle\n"
    "        BR\n"
    "fin:    OUT H'01, R2\n"
    "        HALT\n";

struct Debugged {
  Session session{PowerOnValues{0x0000, std::nullopt}};
  std::optional<Debugger> debugger;

  explicit Debugged(AnswerForm form = AnswerForm::Json) {
    session.switchOn();
    std::ostringstream err;
    EXPECT_EQ(session.loadSource(kSource, "suma.asm", err), ProgramLoad::Loaded) << err.str();
    session.keyStart(WordText("0000"));
    debugger.emplace(session, 1000, form);
  }
  // The answer to `line`, which must be exactly one JSON line.
  nlohmann::ordered_json ask(const std::string& line) {
    std::ostringstream out;
    EXPECT_TRUE(debugger->execute(line, out) || line == "quit" || line == "q");
    const std::string text = out.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << line << ": " << text;
    return nlohmann::ordered_json::parse(text);
  }
  std::string registers() { return ask("regs")["registers"].dump() + ask("regs")["pc"].dump(); }
};

TEST(Debugger, StepsBackGiveTheStatesStepsForwardPassed) {
  Debugged d;
  std::vector<std::string> states{d.registers()};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(d.ask("step")["stop"], "step");
    states.push_back(d.registers());
  }
  for (int i = 11; i >= 0; --i) {
    EXPECT_EQ(d.ask("back")["stop"], "back");
    EXPECT_EQ(d.registers(), states[i]) << "back to step " << i;
  }
  // Nothing left to take back: refused, nothing changed.
  const auto refused = d.ask("back");
  EXPECT_TRUE(refused["stop"].is_null());
  EXPECT_FALSE(refused["error"].is_null());
  // Stepping again starts with Ejecutar from the keypad and passes the same states.
  EXPECT_EQ(d.ask("step 5")["steps"], 5);
  EXPECT_EQ(d.registers(), states[5]);
  EXPECT_EQ(d.ask("back 3")["steps"], 2);
  EXPECT_EQ(d.registers(), states[2]);
}

TEST(Debugger, ContinueStopsAtTheBreakpointAndGoesOnFromIt) {
  Debugged d;
  EXPECT_TRUE(d.ask("break fin")["error"].is_null());
  const auto stopped = d.ask("c");
  EXPECT_EQ(stopped["stop"], "breakpoint");
  EXPECT_EQ(stopped["pc"], "000B");  // fin
  EXPECT_EQ(stopped["registers"][2], "0006");
  EXPECT_EQ(stopped["outputs"][1], "0000");  // OUT not executed
  EXPECT_EQ(stopped["step_mode"], 1);
  // The breakpoint's instruction executes on the next step, not stopping again.
  const auto out = d.ask("s");
  EXPECT_EQ(out["outputs"][1], "0006");
  const auto changed = out["changed"];
  EXPECT_NE(std::find(changed.begin(), changed.end(), "OP1"), changed.end()) << changed;
  EXPECT_EQ(d.ask("continue")["stop"], "halt");
  // Back over the OUT takes the port back too.
  d.ask("back 2");
  EXPECT_EQ(d.ask("regs")["outputs"][1], "0000");
  EXPECT_EQ(d.ask("delete fin")["error"], nullptr);
  EXPECT_NE(d.ask("delete fin")["error"], nullptr);  // none there now
}

TEST(Debugger, EveryCommandGetsOneLineAndTheSessionGoesOn) {
  Debugged d;
  struct Case {
    const char* line;
    bool refused;
  } cases[] = {
      {"frobnicate", true},    {"step x", true},       {"step 0", true},
      {"back -1", true},       {"break nada", true},   {"mem", true},
      {"mem G000", true},      {"set", true},          {"set R1", true},
      {"set RG 1", true},      {"set Z 2", true},      {"set [F000] 1", true},
      {"set in40 1", true},    {"regs extra", true},   {"where", false},
      {"checks", false},       {"help", false},        {"set R1 bucle", false},
      {"set [0040] 1", false}, {"set in02 15", false}, {"set z 1", false},
      {"mem fin 2", false},    {"STEP", false},        {"b 0003", false},
  };
  for (const Case& c : cases) {
    const auto answer = d.ask(c.line);
    EXPECT_EQ(answer["error"].is_null(), !c.refused) << c.line << ": " << answer["error"];
    EXPECT_TRUE(answer.contains("memory") == std::string(c.line).starts_with("mem ") || c.refused)
        << c.line;
  }
  const auto set = d.ask("set R4 fin");
  EXPECT_EQ(set["registers"][4], "000B");
  EXPECT_EQ(set["changed"], nlohmann::ordered_json::array({"R4"}));
  const auto memory = d.ask("mem fin 2")["memory"];
  ASSERT_EQ(memory.size(), 2u);
  EXPECT_EQ(memory[0]["address"], "000B");
  EXPECT_EQ(memory[0]["word"], "5201");  // OUT H'01, R2
  // A hand edit ends the history.
  EXPECT_NE(d.ask("back")["error"], nullptr);
  // quit ends it: no further line is read.
  std::ostringstream out;
  EXPECT_FALSE(d.debugger->execute("q", out));
}

TEST(Debugger, TextAnswersNameTheChangesAndTheSourceLineAtPC) {
  Debugged d(AnswerForm::Text);
  std::ostringstream out;
  d.debugger->execute("step 2", out);
  EXPECT_EQ(out.str(),
            "step: 2 instructions, the last 0001 2200 LLI R2, H'00 (line 2: LLI R2, 0)\n"
            "changed: IR=2301 R1=0003 PC=0002 AR=0002 DR=2301 R2=0000\n"
            "at: 0002 2301 LLI R3, H'01 (line 3: LLI R3, 1)\n")
      << out.str();
}

}  // namespace
}  // namespace orben::session
