// The page's reach into the machine: one function per user action, reads
// of cells, flags, memory and listing, and the texts the page shows that
// the core defines. Each question's answer comes with the call that asks.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "disasm/listing_commands.h"
#include "loader/load_command.h"
#include "machine/run_control.h"
#include "panel/segment_display.h"
#include "session/run.h"
#include "web/web_machine.h"

using emscripten::val;

namespace orben::web {

namespace {

std::optional<WordText> valueAnswer(const std::string& answer) {
  if (answer.empty()) return std::nullopt;
  return WordText(answer);
}

// Every cell's text, in cell order.
val cells(WebMachine& w) {
  val texts = val::array();
  for (int cell = 0; cell < kCellCount; ++cell) {
    texts.call<void>("push", w.tuka().machine.cell(static_cast<CellId>(cell)).str());
  }
  return texts;
}

int cellOf(const std::string& display) {
  const auto cell = cellOfDisplay(display);
  return cell ? static_cast<int>(*cell) : -1;
}

// "ZSCV" with a letter for each flag set, '-' for each clear.
std::string flags(WebMachine& w) {
  std::string shown = "----";
  for (int f = 0; f < kFlagCount; ++f) {
    if (w.tuka().machine.flag(static_cast<Flag>(f))) shown[f] = flagLetter(static_cast<Flag>(f));
  }
  return shown;
}

void toggleFlag(WebMachine& w, const std::string& letter) {
  for (int f = 0; f < kFlagCount; ++f) {
    if (!letter.empty() && letter[0] == flagLetter(static_cast<Flag>(f))) {
      toggleFlagByHand(w.tuka().machine, static_cast<Flag>(f));
    }
  }
}

// Everything the page follows besides the cells, in one read a frame.
val state(WebMachine& w) {
  const Machine& m = w.tuka().machine;
  val s = val::object();
  s.set("powerOn", m.powerOn());
  s.set("stepLamp", m.stepLamp());
  s.set("stepInterval", m.stepInterval());
  s.set("initMemoryAtPowerOn", m.initMemoryAtPowerOn());
  s.set("disassemblerMode", m.disassemblerMode());
  s.set("running", w.running());
  s.set("flags", flags(w));
  s.set("powerCaption", m.caption(MenuItem::PowerSwitch));
  s.set("stepCaption", m.caption(MenuItem::StepSwitch));
  s.set("disassemblerCaption", m.caption(MenuItem::DisassemblerMode));
  s.set("listingRevision", static_cast<double>(w.listingRevision()));
  s.set("memoryRevision", static_cast<double>(w.memoryRevision()));
  s.set("listingSelected", w.tuka().listing.selected());
  s.set("speedItem", speedItemForInterval(m.stepInterval()));
  return s;
}

val listingLines(WebMachine& w) {
  val lines = val::array();
  const Listing& listing = w.tuka().listing;
  for (int i = 0; i < listing.count(); ++i) lines.call<void>("push", listing.line(i));
  return lines;
}

// `count` words from `address` as their texts, one string of four
// characters each (empty words, at F000 and above, as "    ").
std::string memoryWords(WebMachine& w, int address, int count) {
  std::string words;
  for (int a = address; a < address + count; ++a) {
    const WordText word = w.tuka().machine.ReadMemoryWord(a);
    words += word.empty() ? std::string("    ") : word.str();
  }
  return words;
}

val takeMessages(WebMachine& w) {
  val boxes = val::array();
  for (const PageMessage& message : w.ui().takeMessages()) {
    val box = val::object();
    box.set("text", message.text);
    box.set("skipRest", message.kind == PageMessage::Kind::SkipRest);
    boxes.call<void>("push", box);
  }
  return boxes;
}

int loadChosen(WebMachine& w, const std::string& name, const std::string& bytes) {
  return static_cast<int>(w.loadChosen(name, bytes));
}

void editDisplay(WebMachine& w, const std::string& name, const std::string& answer) {
  w.editDisplay(name, valueAnswer(answer));
}

void chooseSpeed(WebMachine& w, int item, bool accepted) {
  w.chooseSpeed(accepted ? std::optional<int>(item) : std::nullopt);
}

// A display's segments for a control of width by height: per segment its
// light (1 lit, 0 unlit), then its six points: thirteen numbers a segment.
val displaySegments(int width, int height, int digits, const std::string& value) {
  val numbers = val::array();
  segments::forEachSegment(width, height, digits, segments::Alignment::Right, false, value,
                           [&](const segments::Polygon& polygon, segments::Light light) {
                             numbers.call<void>("push", light == segments::Light::On ? 1 : 0);
                             for (const segments::Point& p : polygon) {
                               numbers.call<void>("push", p.x);
                               numbers.call<void>("push", p.y);
                             }
                           });
  return numbers;
}

// A headless run as tuka2 run makes it, on the fast path: Ejecutar from
// the keypad's address, to a stop or `max_steps` instructions; the
// instructions executed. For measuring the module's speed in a browser.
double runFast(WebMachine& w, double max_steps) {
  std::ostringstream no_trace;
  const session::RunResult result = session::runToTheEnd(
      w.tuka(), session::RunPath::Fast, static_cast<std::uint64_t>(max_steps), no_trace);
  return static_cast<double>(result.steps);
}

// The texts the core defines that the page shows.
val texts() {
  val t = val::object();
  val speeds = val::array();
  for (const SpeedChoice& choice : kSpeedChoices)
    speeds.call<void>("push", std::string(choice.caption));
  t.set("speedChoices", speeds);
  t.set("speedTitle", std::string(kSpeedDialogTitle));
  t.set("speedPrompt", std::string(kSpeedDialogPrompt));
  t.set("disassemblerTitle", std::string(kDisassemblerModeTitle));
  t.set("disassemblerQuestion", std::string(kDisassemblerModeQuestion));
  t.set("skipRest", std::string(kSkipRestCaption));
  t.set("objectFileTitle", std::string(kObjectFileTitle));
  t.set("objectFileFilter", std::string(kObjectFileFilter));
  t.set("largestObject", static_cast<double>(kLargestObjectInMemory));
  return t;
}

}  // namespace

}  // namespace orben::web

EMSCRIPTEN_BINDINGS(orben_web) {
  using namespace orben;
  using namespace orben::web;
  emscripten::class_<WebMachine>("Machine")
      .constructor<double>()
      .function(
          "togglePower", +[](WebMachine& w) { w.tuka().power.TogglePower(); })
      .function(
          "toggleStepMode", +[](WebMachine& w) { w.tuka().run.toggleStepMode(); })
      .function(
          "pressKey",
          +[](WebMachine& w, const std::string& digit) {
            if (!digit.empty()) w.tuka().panel.pressKey(digit[0]);
          })
      .function(
          "selectAddress", +[](WebMachine& w) { w.tuka().panel.selectAddress(); })
      .function(
          "selectRegisters", +[](WebMachine& w) { w.tuka().panel.selectRegisters(); })
      .function(
          "storeKeypadValue", +[](WebMachine& w) { w.tuka().panel.storeKeypadValue(); })
      .function(
          "execute", +[](WebMachine& w) { w.tuka().run.executeFromKeypad(); })
      .function(
          "continueExecution", +[](WebMachine& w) { w.tuka().run.continueExecution(); })
      .function(
          "initialiseMemory", +[](WebMachine& w) { w.tuka().power.initialiseMemoryAndListing(); })
      .function(
          "toggleInitMemoryAtPowerOn",
          +[](WebMachine& w) { w.tuka().power.toggleInitMemoryAtPowerOn(); })
      .function("toggleDisassemblerMode", &WebMachine::toggleDisassemblerMode)
      .function("editDisplay", &editDisplay)
      .function("toggleFlag", &toggleFlag)
      .function("chooseSpeed", &chooseSpeed)
      .function("openLoad", &WebMachine::openLoad)
      .function("loadChosen", &loadChosen)
      .function("tick", &WebMachine::tick)
      .function("cells", &cells)
      .function("state", &state)
      .function("listingLines", &listingLines)
      .function("memoryWords", &memoryWords)
      .function("takeMessages", &takeMessages)
      .function("runFast", &runFast);
  emscripten::function("cellOf", &cellOf);
  emscripten::function("displaySegments", &displaySegments);
  emscripten::function("texts", &texts);
}
