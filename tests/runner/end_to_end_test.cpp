// Runs the tuka2 executable as a user would and reads its JSON report.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <string>

#include "support/json_value.h"

namespace orben {
namespace {

using testing::Json;

struct Ran {
  int status = -1;
  std::string out;
};

Ran runTuka2(const std::string& arguments) {
  const std::string command = std::string(TUKA2_BINARY) + " " + arguments + " 2>/dev/null";
  Ran ran;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return ran;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) ran.out.append(buffer, n);
  const int raw = pclose(pipe);
  ran.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return ran;
}

std::string program(const char* name) {
  return std::string(TUKA2_PROGRAMS) + "/" + name;
}

std::vector<std::string> texts(const Json& array) {
  std::vector<std::string> texts;
  for (const auto& item : array.items) texts.push_back(item.text);
  return texts;
}

TEST(Tuka2EndToEnd, AdditionProgramOutputsEightAndHalts) {
  const Ran ran = runTuka2("run " + program("suma.ehc") + " --json --seed 3");
  ASSERT_EQ(ran.status, 0) << ran.out;
  const Json report = Json::parse(ran.out);
  EXPECT_EQ(report.keys,
            (std::vector<std::string>{"stop", "steps", "pc", "ir", "ar", "dr", "keypad",
                                      "registers", "flags", "step_mode", "inputs", "outputs",
                                      "messages", "listing", "selected"}));
  EXPECT_EQ(report["stop"].text, "halt");
  EXPECT_EQ(report["steps"].number, 5);
  EXPECT_EQ(report["pc"].text, "0005");
  EXPECT_EQ(report["registers"][3].text, "0008");
  EXPECT_EQ(report["registers"][14].text, "F000");
  EXPECT_EQ(report["outputs"][1].text, "0008");
  EXPECT_EQ(report["outputs"].items.size(), 64u);
  EXPECT_EQ(report["keypad"].text, "0000");
  EXPECT_EQ(report["inputs"][1].text, "0000");  // the keypad is input port 01
  for (const char* f : {"Z", "S", "C", "V"}) EXPECT_EQ(report["flags"][f].number, 0) << f;
  EXPECT_EQ(report["step_mode"].number, 1);
  EXPECT_EQ(texts(report["messages"]), std::vector<std::string>{"Fin la ejecución :-)"});
  EXPECT_EQ(texts(report["listing"]),
            (std::vector<std::string>{"[0000]: LLI R1, H'05", "[0001]: LLI R2, H'03",
                                      "[0002]: ADDS R3, R1, R2", "[0003]: OUT H'01, R3",
                                      "[0004]: HALT"}));
  // PC 0005 has no line, so the HALT's line stays selected.
  EXPECT_EQ(report["selected"].number, 4);
}

TEST(Tuka2EndToEnd, CallAndReturnExample) {
  const Ran ran = runTuka2("run " + program("llamada.ehc") + " --json --fill 0000 --dump-memory");
  ASSERT_EQ(ran.status, 0) << ran.out;
  const Json report = Json::parse(ran.out);
  EXPECT_EQ(report["stop"].text, "halt");
  EXPECT_EQ(report["steps"].number, 6);
  EXPECT_EQ(report["outputs"][1].text, "0007");
  EXPECT_EQ(report["registers"][14].text, "F000");
  EXPECT_EQ(report["pc"].text, "0003");
  ASSERT_EQ(report["memory"].items.size(), 0xF000u);
  EXPECT_EQ(report["memory"][0xEFFF].text, "0002");  // the return address pushed
  EXPECT_EQ(report["memory"][0x11].text, "5101");
  EXPECT_EQ(report["memory"][0x20].text, "0000");  // --fill
  EXPECT_EQ(report["ar"].text, "0003");
}

TEST(Tuka2EndToEnd, HexFileWithACorruptLineInTheMiddle) {
  const Ran ran = runTuka2("run " + program("corrupto.hex") + " --json --fill FFFF");
  ASSERT_EQ(ran.status, 0) << ran.out;
  const Json report = Json::parse(ran.out);
  EXPECT_EQ(
      texts(report["messages"]),
      (std::vector<std::string>{"ERROR: Archivo HEX corrupto\rMire la línea: (:04002000210531077E)",
                                "Fin la ejecución :-)"}));
  // Only the records after the corrupt line are listed; all were stored.
  EXPECT_EQ(texts(report["listing"]),
            (std::vector<std::string>{"[0002]: ADDS R3, R1, R2", "[0003]: OUT H'01, R3",
                                      "[0004]: HALT"}));
  EXPECT_EQ(report["outputs"][1].text, "0008");
  EXPECT_EQ(report["registers"][2].text, "0003");
}

TEST(Tuka2EndToEnd, ExitStatusesAndStops) {
  EXPECT_EQ(runTuka2("run " + program("suma.ehc") + " --max-steps 2").status, 1);
  EXPECT_EQ(runTuka2("run " + program("missing.ehc")).status, 2);
  EXPECT_EQ(runTuka2("run " + program("suma.ehc") + " --in 01=0000").status, 2);
  EXPECT_EQ(runTuka2("frobnicate").status, 2);
  EXPECT_EQ(runTuka2("dis " + program("suma.ehc")).status, 0);
  EXPECT_EQ(runTuka2("dis " + program("corrupto.hex")).status, 1);
  const Ran check = runTuka2("run " + program("suma.ehc") + " --max-steps 0 --json");
  const Json report = Json::parse(check.out);
  EXPECT_EQ(report["stop"].text, "max-steps");
  EXPECT_EQ(report["steps"].number, 0);
  EXPECT_EQ(report["listing"].items.size(), 5u);
  const Ran help = runTuka2("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--max-steps"), std::string::npos);
}

}  // namespace
}  // namespace orben
