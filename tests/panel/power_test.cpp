#include "panel/power.h"

#include <gtest/gtest.h>

#include <set>

#include "machine/random_source.h"
#include "panel/tuka2.h"
#include "support/tuka2_fixture.h"

namespace orben {
namespace {

class PowerTest : public ::testing::Test {
 protected:
  PowerTest() : random(42), tuka(ui, random) { tuka.power.startUp(); }
  Machine& m() { return tuka.machine; }
  std::string cell(CellId id) { return m().cell(id).str(); }
  std::vector<std::string> allCells() {
    std::vector<std::string> all;
    for (int c = 0; c < kCellCount; ++c) all.push_back(cell(static_cast<CellId>(c)));
    return all;
  }

  testing::ScriptedUi ui;
  SeededRandom random;
  Tuka2 tuka;
};

TEST_F(PowerTest, StartsOffWithRandomMemoryAndEveryCellStarred) {
  EXPECT_FALSE(m().powerOn());
  for (const auto& text : allCells()) EXPECT_EQ(text, "****");
  // Step by step already, but LPP dark until the first power-on, as every
  // control starts in its off state.
  EXPECT_EQ(m().stepMode(), StepMode::StepByStep);
  EXPECT_FALSE(m().stepLamp());
  EXPECT_EQ(m().panelState(), PanelState::Executing);
  EXPECT_EQ(m().stepInterval(), 1000);
  EXPECT_FALSE(m().disassemblerMode());
  EXPECT_EQ(m().caption(MenuItem::PowerSwitch), "Encender TUKA-2");
  EXPECT_EQ(m().caption(MenuItem::StepSwitch), "Desactivar modo Paso a Paso");
  EXPECT_EQ(m().caption(MenuItem::DisassemblerMode), "Activar Modo desensamblador");
  EXPECT_TRUE(m().initMemoryAtPowerOn());
  EXPECT_EQ(m().memory().size(), 0x1E000u);
  std::set<std::string> words;
  for (int a = 0; a < 64; ++a) words.insert(m().ReadMemoryWord(a).str());
  EXPECT_GT(words.size(), 50u);  // random, not a constant fill
}

TEST_F(PowerTest, SwitchingOnGivesFixedRegistersAndEqualMirrors) {
  testing::RecordingObserver seen;
  m().addObserver(&seen);
  tuka.power.TogglePower();
  m().removeObserver(&seen);
  // One notification per cell: every cell took one new value.
  std::set<CellId> distinct(seen.cells.begin(), seen.cells.end());
  EXPECT_EQ(distinct.size(), seen.cells.size());
  EXPECT_EQ(seen.cells.size(), static_cast<std::size_t>(kCellCount));
  EXPECT_TRUE(m().powerOn());
  EXPECT_EQ(m().stepMode(), StepMode::StepByStep);
  EXPECT_TRUE(m().stepLamp());
  EXPECT_EQ(m().caption(MenuItem::PowerSwitch), "Apagar TUKA-2");
  const char* fixed[16] = {"0000", "0001", "0002", "0003", "0004", "0005", "0006", "0007",
                           "0008", "0009", "000A", "000B", "000C", "000D", "F000", "000F"};
  for (int n = 0; n < 16; ++n) EXPECT_EQ(m().ReadRegister(n).str(), fixed[n]);
  for (const auto& text : allCells()) EXPECT_TRUE(isWordText(text)) << text;
  for (Flag f : {Flag::Z, Flag::S, Flag::C, Flag::V}) EXPECT_FALSE(m().flag(f));
}

TEST_F(PowerTest, PowerOnDrawsInTheDocumentedOrder) {
  // Each random cell takes four draws below 16, in the order AR, DR, OP1,
  // OP2, IP2, IR, PC, Teclado, then the other ports.
  std::vector<int> draws;
  for (int i = 0; i < 8 * 4; ++i) draws.push_back(i / 4 + 1);
  testing::ReplayRandom replay(draws);
  testing::ScriptedUi quiet;
  Tuka2 fresh(quiet, replay);
  fresh.power.toggleInitMemoryAtPowerOn();
  fresh.power.TogglePower();
  const CellId order[] = {kCellAR,          kCellDR, outputPortCell(1), outputPortCell(2),
                          inputPortCell(2), kCellIR, kCellPC,           kCellKeypad};
  for (int i = 0; i < 8; ++i) {
    const char d = HexDigitToChar(i + 1);
    EXPECT_EQ(fresh.machine.cell(order[i]).str(), std::string(4, d)) << i;
  }
  // The listing did not move to the new PC.
  EXPECT_EQ(fresh.listing.selected(), -1);
}

TEST_F(PowerTest, OffOnCycleDrawsNewValuesAndClearsFlags) {
  tuka.power.TogglePower();
  const auto first = allCells();
  m().setFlag(Flag::C, true);
  m().setFlag(Flag::V, true);
  tuka.run.toggleStepMode();  // step mode off before the power-off
  tuka.power.TogglePower();
  for (const auto& text : allCells()) EXPECT_EQ(text, "****");
  EXPECT_EQ(m().stepMode(), StepMode::Timed);
  EXPECT_FALSE(m().stepLamp());
  EXPECT_FALSE(m().flag(Flag::C) || m().flag(Flag::V));
  EXPECT_FALSE(m().powerOn());
  EXPECT_EQ(m().caption(MenuItem::PowerSwitch), "Encender TUKA-2");
  tuka.power.TogglePower();
  const auto second = allCells();
  int same = 0;
  for (std::size_t i = 16; i < first.size(); ++i) same += first[i] == second[i];
  EXPECT_LT(same, 8);  // random cells are drawn anew
  for (int n = 0; n < 16; ++n) EXPECT_EQ(first[n], second[n]);
  EXPECT_EQ(m().stepMode(), StepMode::StepByStep);  // always step mode after switching on
  EXPECT_EQ(m().caption(MenuItem::StepSwitch), "Activar modo Paso a Paso");  // unchanged
}

TEST_F(PowerTest, MemoryIsReinitialisedAtPowerOnOnlyWithTheOption) {
  tuka.listing.add("[0000]: HALT");
  const std::string before = m().memory().hexText();
  tuka.power.toggleInitMemoryAtPowerOn();
  EXPECT_FALSE(m().initMemoryAtPowerOn());
  tuka.power.TogglePower();
  EXPECT_EQ(m().memory().hexText(), before);
  EXPECT_EQ(tuka.listing.count(), 1);
  tuka.power.TogglePower();
  tuka.power.toggleInitMemoryAtPowerOn();
  tuka.power.TogglePower();
  EXPECT_NE(m().memory().hexText(), before);
  EXPECT_EQ(tuka.listing.count(), 0);
  EXPECT_EQ(m().memory().size(), 0x1E000u);
}

TEST_F(PowerTest, InicializarMemoriaWorksWhileOffAndTouchesNoCell) {
  tuka.listing.add("[0000]: HALT");
  const std::string before = m().memory().hexText();
  tuka.power.initialiseMemoryAndListing();
  EXPECT_NE(m().memory().hexText(), before);
  EXPECT_EQ(tuka.listing.count(), 0);
  for (const auto& text : allCells()) EXPECT_EQ(text, "****");
}

TEST(FillRandomTest, SpellsTheWordInEveryDrawSequence) {
  FillRandom fill(0x1A2B);
  EXPECT_EQ(RandomWordText(fill).str(), "1A2B");
  EXPECT_EQ(RandomWordText(fill).str(), "1A2B");
  EXPECT_EQ(fill.below(256), 0x1A);
  EXPECT_EQ(fill.below(256), 0x2B);
}

}  // namespace
}  // namespace orben
