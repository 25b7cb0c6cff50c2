#include "panel/front_panel.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

constexpr const char* kAddressMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal.\rPor encima de EFFF se encuentra el programa "
    "monitor.";

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
  EXPECT_EQ(ui.messages, std::vector<std::string>{kAddressMessage});
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
  EXPECT_EQ(ui.messages, std::vector<std::string>{kAddressMessage});
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

TEST_F(FrontPanelTest, RegisterModeAfterAPowerCycleUsesTheLowByteOfOP1) {
  struct Case {
    const char* op1;
    int stored_in;  // -1: nowhere
  } cases[] = {{"1203", 3}, {"12A3", -1}};
  for (const auto& c : cases) {
    tuka.panel.selectRegisters();
    tuka.power.TogglePower();
    tuka.power.TogglePower();
    m().setCell(outputPortCell(1), c.op1);
    key("ABCD");
    tuka.panel.storeKeypadValue();
    for (int r = 0; r < 16; ++r) EXPECT_EQ(reg(r) == "ABCD", r == c.stored_in) << c.op1 << r;
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

}  // namespace
}  // namespace orben
