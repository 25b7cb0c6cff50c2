#include "panel/front_panel.h"
#include "panel/power.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <utility>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

class FrontPanelTest : public Tuka2Test {
 protected:
  void key(const char* digits) {
    for (const char* d = digits; *d; ++d) tuka.panel.pressKey(*d);
  }
  std::string address() { return cell(outputPortCell(1)); }
  std::string content() { return cell(outputPortCell(2)); }
};

TEST_F(FrontPanelTest, KeysShiftThroughTheKeypad) {
  m().setCell(kCellKeypad, "ABCD");
  key("1234");
  EXPECT_EQ(cell(kCellKeypad), "1234");
  key("5");
  EXPECT_EQ(cell(kCellKeypad), "2345");
  EXPECT_EQ(m().panelState(), PanelState::Executing);
}

TEST_F(FrontPanelTest, DireccionRefusesTheMonitorsArea) {
  m().setCell(outputPortCell(1), "1111");
  key("F000");
  tuka.panel.selectAddress();
  EXPECT_EQ(ui.messages, std::vector<std::string>{testing::kLoadMessage});
  EXPECT_EQ(address(), "1111");
  EXPECT_EQ(m().panelState(), PanelState::Executing);
  key("EFFF");
  poke(0xEFFF, {"ABCD"});
  tuka.panel.selectAddress();
  EXPECT_EQ(address(), "EFFF");
  EXPECT_EQ(content(), "ABCD");
  EXPECT_EQ(m().panelState(), PanelState::Address);
}

TEST_F(FrontPanelTest, CargarFillsConsecutiveWords) {
  poke(0x0100, {"1111", "2222", "3333", "4444"});
  key("0100");
  tuka.panel.selectAddress();
  EXPECT_EQ(address(), "0100");
  EXPECT_EQ(content(), "1111");
  key("1234");
  for (int i = 0; i < 3; ++i) tuka.panel.storeKeypadValue();
  EXPECT_EQ(mem(0x100), "1234");
  EXPECT_EQ(mem(0x101), "1234");
  EXPECT_EQ(mem(0x102), "1234");
  EXPECT_EQ(address(), "0103");
  EXPECT_EQ(content(), "4444");
  tuka.run.continueExecution();  // advance only
  EXPECT_EQ(address(), "0104");
  EXPECT_EQ(mem(0x103), "4444");
}

TEST_F(FrontPanelTest, CargarAtEFFFStoresThenWarnsAndStaysPut) {
  poke(0xEFFF, {"0BAD"});
  key("EFFF");
  tuka.panel.selectAddress();
  key("CAFE");
  tuka.panel.storeKeypadValue();
  EXPECT_EQ(mem(0xEFFF), "CAFE");
  EXPECT_EQ(ui.messages, std::vector<std::string>{testing::kLoadMessage});
  EXPECT_EQ(address(), "EFFF");
  EXPECT_EQ(content(), "0BAD");  // what it showed before the store
  tuka.run.continueExecution();
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(address(), "EFFF");
}

TEST_F(FrontPanelTest, RegisterModeWalksAndWraps) {
  tuka.panel.selectRegisters();
  EXPECT_EQ(address(), "0000");
  EXPECT_EQ(content(), "0000");
  for (int r = 1; r <= 16; ++r) {
    tuka.run.continueExecution();
    EXPECT_EQ(address(), ValueToWordText(r % 16).str());
  }
  EXPECT_EQ(content(), reg(0));
  key("7777");
  for (int r = 0; r < 16; ++r) tuka.panel.storeKeypadValue();
  for (int r = 0; r < 16; ++r) EXPECT_EQ(reg(r), "7777");
  EXPECT_EQ(address(), "0000");
}

TEST_F(FrontPanelTest, CargarOutsideTheModesDoesNothing) {
  key("1234");
  const std::string memory = m().memory().hexText();
  tuka.panel.storeKeypadValue();  // executing after power-on
  tuka.run.toggleStepMode();      // paused
  tuka.panel.storeKeypadValue();
  EXPECT_EQ(m().memory().hexText(), memory);
  EXPECT_TRUE(ui.messages.empty());
  for (int r = 0; r < 16; ++r) EXPECT_NE(reg(r), "1234");
}

// OP1's low byte names the register Cargar stores in; "12A3" names none.
TEST_F(FrontPanelTest, RegisterModeAfterAPowerCycleUsesTheLowByteOfOP1) {
  const std::pair<const char*, int> cases[] = {{"1203", 3}, {"12A3", -1}};
  for (const auto& [op1, stored_in] : cases) {
    tuka.panel.selectRegisters();
    tuka.power.TogglePower();
    tuka.power.TogglePower();
    m().setCell(outputPortCell(1), op1);
    key("ABCD");
    tuka.panel.storeKeypadValue();
    for (int r = 0; r < 16; ++r) EXPECT_EQ(reg(r) == "ABCD", r == stored_in) << op1 << r;
    EXPECT_EQ(address(), "0000");
    EXPECT_EQ(content(), reg(0));
  }
}

TEST_F(FrontPanelTest, KeypadDisplayEditGoesThroughTheValueDialog) {
  ui.value_answers = {WordText("0041"), std::nullopt};
  tuka.panel.editKeypad();
  EXPECT_EQ(cell(kCellKeypad), "0041");
  EXPECT_EQ(m().EditedValue().str(), "0041");
  tuka.panel.editKeypad();  // Cancelar
  EXPECT_EQ(cell(kCellKeypad), "0041");
  tuka.power.TogglePower();
  tuka.panel.editKeypad();  // off: refused, no dialog
  EXPECT_EQ(ui.messages, std::vector<std::string>{"¡OPS! : Debe encender primero TUKA-2."});
  EXPECT_EQ(cell(kCellKeypad), "****");
}

TEST_F(FrontPanelTest, ATickInsideTheDialogLosesToValeAndKeepsItsValueOnCancelar) {
  // A tick inside the modal dialog stores 9999 in R5. ¡Vale! writes the
  // typed value over it; Cancelar writes nothing, so the run's value stays.
  struct TickingUi : testing::ScriptedUi {
    Machine* machine = nullptr;
    std::optional<WordText> answer;
    std::optional<WordText> askValue() override {
      machine->WriteRegister(5, "9999");
      return answer;
    }
  };
  const std::pair<std::optional<WordText>, const char*> cases[] = {{WordText("2345"), "2345"},
                                                                   {std::nullopt, "9999"}};
  for (const auto& [answer, expected] : cases) {
    TickingUi ticking;
    testing::ReplayRandom random0;
    Tuka2 other(ticking, random0);
    ticking.machine = &other.machine;
    ticking.answer = answer;
    other.power.TogglePower();
    editCellByHand(other.machine, registerCell(5));
    EXPECT_EQ(other.machine.ReadRegister(5).str(), expected);
  }
}

TEST_F(FrontPanelTest, FlagLampsToggleOnlyWhileOn) {
  toggleFlagByHand(m(), Flag::C);
  EXPECT_TRUE(m().flag(Flag::C));
  toggleFlagByHand(m(), Flag::C);
  EXPECT_FALSE(m().flag(Flag::C));
  tuka.power.TogglePower();
  toggleFlagByHand(m(), Flag::Z);
  EXPECT_FALSE(m().flag(Flag::Z));
  EXPECT_EQ(ui.messages.size(), 1u);
}

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
}

TEST_F(PowerTest, InicializarMemoriaWorksWhileOffAndTouchesNoCell) {
  tuka.listing.add("[0000]: HALT");
  const std::string before = m().memory().hexText();
  tuka.power.initialiseMemoryAndListing();
  EXPECT_NE(m().memory().hexText(), before);
  EXPECT_EQ(tuka.listing.count(), 0);
  for (const auto& text : allCells()) EXPECT_EQ(text, "****");
}

}  // namespace
}  // namespace orben
