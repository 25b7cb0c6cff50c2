// Ensamblar y cargar: the editor's source assembled in memory and loaded as
// an object file is, or nothing changed when it has errors.
#include <gtest/gtest.h>

#include <string>

#include "session/program_file.h"
#include "support/tuka2_fixture.h"

namespace orben::session {
namespace {

using orben::testing::Tuka2Test;

// Line 2 puts its words at 0020 and 0021 (LDI is two), line 3 at 0022.
constexpr const char* kProgram = "        ORG H'0020\n        LDI R1, H'1234\n        HALT\n";

class EditorLoadTest : public Tuka2Test {
 protected:
  SourceMap map;
};

TEST_F(EditorLoadTest, ASourceWithErrorsChangesNothing) {
  poke(0x20, {"ABCD"});
  m().setCell(kCellKeypad, "0005");
  const EditorLoad load = assembleAndLoad(tuka, "  HALT\n  LLI R1\n  FOO R2\n", "p.asm", map);
  EXPECT_FALSE(load.loaded);
  ASSERT_EQ(load.diagnostics.size(), 2u);
  EXPECT_EQ(load.diagnostics[0].line, 2u);
  EXPECT_EQ(load.diagnostics[1].line, 3u);
  EXPECT_EQ(load.diagnostics[1].column, 3u);
  EXPECT_FALSE(load.start);
  EXPECT_EQ(mem(0x20), "ABCD");
  EXPECT_EQ(cell(kCellKeypad), "0005");
  EXPECT_EQ(tuka.listing.count(), 0);
  EXPECT_TRUE(map.empty());
}

TEST_F(EditorLoadTest, LoadsTheWordsKeysTheFirstAddressAndKeepsTheMap) {
  m().setCell(kCellPC, "0007");
  const EditorLoad load = assembleAndLoad(tuka, kProgram, "p.asm", map);
  ASSERT_TRUE(load.loaded);
  EXPECT_TRUE(load.diagnostics.empty());
  ASSERT_TRUE(load.start);
  EXPECT_EQ(*load.start, 0x20);
  // LLI R1, 34 is 2134, LHI R1, 12 is 3112, HALT F000.
  EXPECT_EQ(mem(0x20), "2134");
  EXPECT_EQ(mem(0x21), "3112");
  EXPECT_EQ(mem(0x22), "F000");
  EXPECT_EQ(cell(kCellKeypad), "0020");
  EXPECT_EQ(cell(kCellPC), "0007");  // PC untouched
  EXPECT_EQ(tuka.listing.count(), 3);
  ASSERT_NE(map.lineAt(0x22), nullptr);
  EXPECT_EQ(map.lineAt(0x22)->number, 3u);
  // Loaded again, the listing starts afresh rather than growing.
  ASSERT_TRUE(assembleAndLoad(tuka, kProgram, "p.asm", map).loaded);
  EXPECT_EQ(tuka.listing.count(), 3);
}

TEST_F(EditorLoadTest, WarningsAreListedAndTheProgramLoadedAllTheSame) {
  // Port 40 is beyond the machine's 3F ports: a warning, the word kept.
  const EditorLoad load = assembleAndLoad(tuka, "  IN R1, H'40\n", "p.asm", map);
  ASSERT_TRUE(load.loaded);
  ASSERT_FALSE(load.diagnostics.empty());
  EXPECT_EQ(load.diagnostics[0].severity, assembler::Severity::Warning);
  EXPECT_EQ(mem(0), "4140");
}

TEST_F(EditorLoadTest, SwitchesTuka2OnFirstSoThatThePowerOnDoesNotWipeTheProgram) {
  tuka.power.TogglePower();
  ASSERT_FALSE(m().powerOn());
  tuka.power.toggleInitMemoryAtPowerOn();  // switching on fills memory again
  const EditorLoad load = assembleAndLoad(tuka, kProgram, "p.asm", map);
  ASSERT_TRUE(load.loaded);
  EXPECT_TRUE(m().powerOn());
  EXPECT_EQ(mem(0x22), "F000");
  EXPECT_EQ(cell(kCellKeypad), "0020");
}

TEST_F(EditorLoadTest, StepsCountFromTheLastEjecutar) {
  ASSERT_TRUE(assembleAndLoad(tuka, "  LLI R1, 1\n  LLI R2, 2\n  HALT\n", "p.asm", map).loaded);
  EXPECT_EQ(tuka.run.stepsSinceStart(), 0u);
  tuka.run.executeFromKeypad();
  EXPECT_EQ(tuka.run.stepsSinceStart(), 1u);
  step();
  EXPECT_EQ(tuka.run.stepsSinceStart(), 2u);
  tuka.run.executeFromKeypad();  // from 0000 again
  EXPECT_EQ(tuka.run.stepsSinceStart(), 1u);
}

}  // namespace
}  // namespace orben::session
