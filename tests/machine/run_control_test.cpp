#include "machine/run_control.h"

#include <gtest/gtest.h>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

class RunControlTest : public Tuka2Test {
 protected:
  RunControlTest() { poke(0x100, {"2101", "2202", "2303", "F000", "2404"}); }
  // Ticks until one does nothing, at most `limit`; returns how many ran.
  int tickUntilIdle(int limit = 100) {
    int ran = 0;
    while (ran < limit && tuka.run.tick()) ++ran;
    return ran;
  }
};

// Ejecutar reloads PC from the keypad every time: the same word again.
TEST_F(RunControlTest, EjecutarStartsAtTheKeyedAddressEveryTime) {
  runFrom("0100");
  setReg(1, "9999");
  tuka.run.executeFromKeypad();
  EXPECT_EQ(reg(1), "0001");
  EXPECT_EQ(cell(kCellPC), "0101");
  EXPECT_EQ(m().panelState(), PanelState::Executing);
}

TEST_F(RunControlTest, TimerTicksOnlyWhenOnTimedAndExecuting) {
  m().setCell(kCellKeypad, "0100");
  // Step mode after power-on: ticks do nothing.
  EXPECT_FALSE(tuka.run.tick());
  tuka.run.toggleStepMode();
  EXPECT_EQ(m().stepMode(), StepMode::Timed);
  EXPECT_FALSE(m().stepLamp());
  EXPECT_EQ(m().caption(MenuItem::StepSwitch), "Activar modo Paso a Paso");
  EXPECT_EQ(m().panelState(), PanelState::Paused);
  EXPECT_FALSE(tuka.run.tick());  // the switch alone starts nothing
  EXPECT_EQ(cell(kCellPC), "0000");

  tuka.run.executeFromKeypad();
  EXPECT_EQ(tickUntilIdle(), 3);  // 2202, 2303 and the HALT
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Fin la ejecución :-)"});
  // HALT leaves the menu caption alone.
  EXPECT_EQ(m().caption(MenuItem::StepSwitch), "Activar modo Paso a Paso");
  EXPECT_EQ(cell(kCellPC), "0104");
  EXPECT_EQ(reg(4), "0004");  // not run
}

TEST_F(RunControlTest, TicksDoNothingWhileOff) {
  tuka.run.toggleStepMode();
  tuka.run.executeFromKeypad();
  tuka.power.TogglePower();
  m().setStepMode(StepMode::Timed);
  m().setPanelState(PanelState::Executing);
  const auto before = tuka.processor.executions();
  EXPECT_FALSE(tuka.run.tick());
  EXPECT_EQ(tuka.processor.executions(), before);
}

TEST_F(RunControlTest, StepSwitchDuringATimedRunStopsIt) {
  tuka.run.toggleStepMode();
  m().setCell(kCellKeypad, "0100");
  tuka.run.executeFromKeypad();
  tuka.run.toggleStepMode();  // back to step mode, paused
  EXPECT_FALSE(tuka.run.tick());
  tuka.run.toggleStepMode();  // timed again, but still paused
  EXPECT_FALSE(tuka.run.tick());
  tuka.run.continueExecution();  // resumes at PC
  EXPECT_EQ(reg(2), "0002");
  EXPECT_TRUE(tuka.run.tick());
  EXPECT_EQ(reg(3), "0003");
}

TEST_F(RunControlTest, TickDuringAnErrorMessageDoesNothing) {
  poke(0x200, {"4140", "2105"});  // IN from port 40, then LLI
  tuka.run.toggleStepMode();
  int ticks_run_inside_box = 0;
  ui.on_message = [&](const std::string&) { ticks_run_inside_box += tuka.run.tick(); };
  runFrom("0200");
  EXPECT_EQ(ticks_run_inside_box, 0);
  EXPECT_EQ(reg(1), "0001");
  EXPECT_EQ(cell(kCellPC), "0201");
}

TEST_F(RunControlTest, ContinuarInAddressAndRegisterModeNeverExecutes) {
  m().setCell(kCellKeypad, "0100");
  tuka.panel.selectAddress();
  const auto before = tuka.processor.executions();
  tuka.run.continueExecution();
  tuka.panel.selectRegisters();
  tuka.run.continueExecution();
  EXPECT_EQ(tuka.processor.executions(), before);
  // The step-mode switch ends the mode: Continuar then executes at PC.
  m().setCell(kCellPC, "0102");
  tuka.run.toggleStepMode();
  tuka.run.continueExecution();
  EXPECT_EQ(tuka.processor.executions(), before + 1);
  EXPECT_EQ(reg(3), "0003");
}

// Intervals no item gives mark 1.0 s, as do items outside the eight; the
// items' own intervals are the speed dialog's test below.
TEST(SpeedChoices, ItemForIntervalAndBack) {
  EXPECT_EQ(speedItemForInterval(0), 3);
  EXPECT_EQ(speedItemForInterval(250), 3);
  EXPECT_EQ(intervalOfSpeedItem(8), 1000);
}

TEST_F(RunControlTest, SpeedDialogMarksTheCurrentSpeedAndAppliesOnlyOnVale) {
  ui.speed_answers = {7, std::nullopt, 0, -1};
  tuka.run.chooseSpeed();
  EXPECT_EQ(m().stepInterval(), 7000);
  tuka.run.chooseSpeed();  // Cancelar
  EXPECT_EQ(m().stepInterval(), 7000);
  tuka.run.chooseSpeed();
  EXPECT_EQ(m().stepInterval(), 1);  // "Rápida" is 1 ms, not 0
  tuka.run.chooseSpeed();            // nothing marked
  EXPECT_EQ(m().stepInterval(), 1000);
  EXPECT_EQ(ui.speed_dialogs, (std::vector<int>{3, 7, 7, 0}));
}

}  // namespace
}  // namespace orben
