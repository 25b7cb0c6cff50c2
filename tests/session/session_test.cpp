// What a front end does with a session: presets and input ports before a
// run, the ports' power-on values kept apart from them, step mode left once
// however often it is asked, and which load keeps a source map.
#include "session/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "machine/machine.h"

namespace orben::session {
namespace {

constexpr const char* kAddsPresets =
    "        LDI RD, H'0100\n"
    "        LD R2, [RD]\n"
    "        LD R3, [RD+1]\n"
    "        IN R4, H'02\n"
    "        ADDS R5, R1, R2\n"
    "        ADDS R5, R5, R3\n"
    "        ADDS R5, R5, R4\n"
    "        OUT H'01, R5\n"
    "        HALT\n";

std::string hex(unsigned word) {
  return wordOf(word & 0xFFFF).str();
}

TEST(Session, PresetsAndInputsReachTheProgram) {
  struct Case {
    unsigned r1, first, second, port;
  } cases[] = {{0x3000, 0x0011, 0x0200, 0x0004},
               {0xFFFF, 0x0001, 0x0000, 0x0000},
               {0x0000, 0x8000, 0x8000, 0x1234}};
  for (const Case& c : cases) {
    Session session({std::uint16_t{0x5555}, std::nullopt});
    session.switchOn();
    std::ostringstream err;
    ASSERT_EQ(session.loadSource(kAddsPresets, "suma.asm", err), ProgramLoad::Loaded) << err.str();
    Presets presets;
    presets.memory.push_back(
        {0x0100, {static_cast<std::uint16_t>(c.first), static_cast<std::uint16_t>(c.second)}});
    presets.registers.emplace_back(1, static_cast<std::uint16_t>(c.r1));
    presets.inputs.emplace_back(2, static_cast<std::uint16_t>(c.port));
    session.writePresets(presets);
    session.keyStart(wordOf(0));
    session.leaveStepMode();
    const RunResult result = session.run({});
    EXPECT_EQ(result.stop, Stop::Halt);
    EXPECT_EQ(result.steps, 10u);  // LDI is two instructions
    const Machine& m = session.machine();
    EXPECT_EQ(m.cell(outputPortCell(1)).str(), hex(c.r1 + c.first + c.second + c.port));
    EXPECT_EQ(m.ReadRegister(4).str(), hex(c.port));
    EXPECT_EQ(m.ReadMemoryWord(0x0101).str(), hex(c.second));
    EXPECT_EQ(session.messages().size(), 1u);  // only the end of the run
  }
}

// Memory presets are stores of the machine: the last word below F000 is
// written, the next one refused with an error stop and its message.
TEST(Session, PresetsAtTheMonitorAreRefused) {
  Session session({std::uint16_t{0}, std::nullopt});
  session.switchOn();
  Presets presets;
  presets.memory.push_back({0xEFFF, {0x0001, 0x0002}});
  session.writePresets(presets);
  EXPECT_EQ(session.machine().ReadMemoryWord(0xEFFF).str(), "0001");
  EXPECT_EQ(session.messages().all(), std::vector<std::string>{std::string(kStoreRefusedMessage)});
}

// The ports' values at power-on are kept before any input is set, and the
// run's result gives them back; a session only started up keeps none.
TEST(Session, PowerOnPortsComeBeforeTheInputs) {
  Session session({std::uint16_t{0x1234}, std::nullopt});
  session.switchOn();
  session.loadObject(ObjectFormat::Ehc, "fin.ehc", "0000 F000\n");
  session.setInput(2, wordOf(0x00AA));
  session.keyStart(wordOf(0));
  session.leaveStepMode();
  const RunResult result = session.run({});
  EXPECT_EQ(result.stop, Stop::Halt);
  for (int port = 0; port < kPortCount; ++port) {
    EXPECT_EQ(result.inputs_at_power_on[port].str(), "1234") << port;
    EXPECT_EQ(result.outputs_at_power_on[port].str(), "1234") << port;
  }
  EXPECT_EQ(session.machine().cell(inputPortCell(2)).str(), "00AA");
  EXPECT_EQ(session.machine().cell(kCellKeypad).str(), "0000");
}

// Without step mode left a run executes one instruction and the timer
// runs nothing more; left once or twice, it runs to HALT.
TEST(Session, StepModeIsLeftOnce) {
  for (const int leaves : {0, 1, 2}) {
    Session session({std::uint16_t{0}, std::nullopt});
    session.switchOn();
    session.loadObject(ObjectFormat::Ehc, "tres.ehc", "0000 2105\n0001 2203\n0002 F000\n");
    session.keyStart(wordOf(0));
    for (int i = 0; i < leaves; ++i) session.leaveStepMode();
    EXPECT_EQ(session.machine().stepByStep(), leaves == 0);
    const RunResult result = session.run({});
    EXPECT_EQ(result.stop, leaves == 0 ? Stop::Error : Stop::Halt) << leaves;
    EXPECT_EQ(result.steps, leaves == 0 ? 1u : 3u) << leaves;
  }
}

TEST(Session, StepLimitStopsAtExactlyItsCount) {
  for (const std::uint64_t limit : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{7}}) {
    Session session({std::uint16_t{0}, std::nullopt});
    session.switchOn();
    session.loadObject(ObjectFormat::Ehc, "bucle.ehc", "0000 C000\n");  // BR to RD = 0000
    session.keyStart(wordOf(0));
    session.leaveStepMode();
    const RunResult result = session.run({limit, std::nullopt});
    EXPECT_EQ(result.stop, Stop::MaxSteps) << limit;
    EXPECT_EQ(result.steps, limit);
  }
}

class SessionFiles : public ::testing::Test {
 protected:
  SessionFiles() {
    folder_ =
        std::filesystem::temp_directory_path() /
        ("orben-session-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  ~SessionFiles() override { std::filesystem::remove_all(folder_); }
  std::string write(const std::string& name, const std::string& content) {
    const auto path = folder_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  std::filesystem::path folder_;
};

// The map follows the program in memory: a source gives one, an object
// file takes it away, and a load that puts nothing in memory leaves it.
TEST_F(SessionFiles, TheSourceMapIsTheLastLoadedSources) {
  const std::string good = write("bien.asm", "        LLI R1, 5\n        HALT\n");
  const std::string bad = write("mal.asm", "        FROB R1\n");
  const std::string object = write("fin.ehc", "0000 F000\n");
  const std::string missing = (folder_ / "nada.ehc").string();
  Session session({std::uint16_t{0}, std::nullopt});
  session.switchOn();
  std::ostringstream err;
  const auto lineAtZero = [&]() -> std::size_t {
    const MappedLine* line = session.sourceMap().lineAt(0);
    return line ? line->number : 0;
  };

  EXPECT_EQ(session.load(good, err), ProgramLoad::Loaded);
  EXPECT_EQ(lineAtZero(), 1u);
  EXPECT_EQ(session.load(bad, err), ProgramLoad::NotAssembled);
  EXPECT_EQ(lineAtZero(), 1u);
  EXPECT_EQ(session.load(missing, err), ProgramLoad::NotReadable);
  EXPECT_EQ(lineAtZero(), 1u);
  EXPECT_EQ(session.load(object, err), ProgramLoad::Loaded);
  EXPECT_TRUE(session.sourceMap().empty());
  EXPECT_EQ(session.loadSource("\n\n        HALT\n", "otro.asm", err), ProgramLoad::Loaded);
  EXPECT_EQ(lineAtZero(), 3u);
  session.loadObject(ObjectFormat::Ehc, "fin.ehc", "0000 F000\n");
  EXPECT_TRUE(session.sourceMap().empty());
  // The diagnostics name the file, as tuka2 asm names it.
  EXPECT_NE(err.str().find(bad + ":1:"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("tuka2: cannot read " + missing), std::string::npos) << err.str();
}

}  // namespace
}  // namespace orben::session
