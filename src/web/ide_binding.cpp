// The page's reach into its source editor: the document, Ensamblar y
// cargar, the debugging of the loaded source, Comprobar con casos and
// Guardar memoria. The page keeps the text and the marks it shows; the
// rules are the editor's own.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assembler/source_colours.h"
#include "machine/cells.h"
#include "web/web_ide.h"

using emscripten::val;

namespace orben::web {

namespace {

val bytesVal(const std::string& bytes) {
  return val::global("Uint8Array")
      .new_(emscripten::typed_memory_view(bytes.size(),
                                          reinterpret_cast<const unsigned char*>(bytes.data())));
}

template <typename T, typename F>
val arrayOf(const std::vector<T>& items, F each) {
  val array = val::array();
  for (const T& item : items) array.call<void>("push", each(item));
  return array;
}

val messageVal(const session::EditorMessage& m) {
  val v = val::object();
  v.set("text", m.text);
  v.set("line", static_cast<double>(m.line));
  v.set("column", static_cast<double>(m.column));
  v.set("error", m.error);
  return v;
}

val linesVal(const std::vector<std::size_t>& lines) {
  return arrayOf(lines, [](std::size_t line) { return val(static_cast<double>(line)); });
}

std::vector<std::size_t> linesOf(const val& array) {
  std::vector<std::size_t> lines;
  const int count = array["length"].as<int>();
  for (int i = 0; i < count; ++i) lines.push_back(static_cast<std::size_t>(array[i].as<double>()));
  return lines;
}

std::string fourDigits(std::uint16_t address) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", address);
  return text;
}

val changesVal(const StepChanges& changes) {
  val v = val::object();
  v.set("cells", arrayOf(changes.cells, [](CellId cell) { return val(static_cast<int>(cell)); }));
  v.set("flags", arrayOf(changes.flags, [](Flag f) { return val(std::string(1, flagLetter(f))); }));
  v.set("words", arrayOf(changes.words, [](std::uint16_t word) { return val(word); }));
  return v;
}

std::string openSource(WebIde& ide, const std::string& bytes) {
  return ide.open(bytes);
}

val bytesFor(WebIde& ide, const std::string& text) {
  return bytesVal(ide.bytesFor(text));
}

void saved(WebIde& ide, const std::string& text) {
  ide.saved(text);
}

val assemble(WebIde& ide, const std::string& text, const std::string& name, const val& lines) {
  const session::EditorLoad load = ide.assemble(text, name, linesOf(lines));
  val v = val::object();
  v.set("loaded", load.loaded);
  v.set("messages", arrayOf(ide.messagesOf(load), messageVal));
  v.set("breakpointLines", linesVal(ide.debugging().breakpointLines()));
  v.set("lineAtPC", static_cast<double>(ide.debugging().lineAtPC()));
  return v;
}

val toggledVal(const session::ToggledBreakpoint& t) {
  val v = val::object();
  v.set("line", static_cast<double>(t.line));
  v.set("set", t.set);
  return v;
}

val toggleAtLine(WebIde& ide, double line) {
  const auto toggled = ide.debugging().toggleAtLine(static_cast<std::size_t>(line));
  return toggled ? toggledVal(*toggled) : val::null();
}

val toggleAtAddress(WebIde& ide, int address) {
  return toggledVal(ide.debugging().toggleAtAddress(static_cast<std::uint16_t>(address)));
}

val state(WebIde& ide) {
  session::SourceDebugging& d = ide.debugging();
  val v = val::object();
  v.set("lineAtPC", static_cast<double>(d.lineAtPC()));
  v.set("canStepBack", d.canStepBack());
  v.set("matches", d.matches());
  v.set("steps", static_cast<double>(ide.stepsSinceStart()));
  v.set("breakpointLines", linesVal(d.breakpointLines()));
  v.set("hasProgram", ide.hasProgram());
  return v;
}

val takeTold(WebIde& ide) {
  const WebIde::Told told = ide.takeTold();
  val v = val::object();
  v.set("lineChanged", told.line_changed);
  v.set("stepped", told.stepped);
  v.set("stepBackChanged", told.step_back_changed);
  v.set("checks", arrayOf(told.checks, messageVal));
  v.set("changes", changesVal(ide.debugging().lastChanges()));
  return v;
}

void objectLoaded(WebIde& ide, const std::string& name, const std::string& bytes, int outcome) {
  ide.objectLoaded(name, bytes, static_cast<LoadOutcome>(outcome));
}

val checkCases(WebIde& ide, const std::string& name, const std::string& bytes) {
  return arrayOf(ide.checkCases(name, bytes), [](const grader::CheckLine& line) {
    val v = val::object();
    v.set("text", line.text);
    v.set("caseIndex", line.case_index);
    v.set("failed", line.failed);
    return v;
  });
}

val memoryRange(WebIde& ide) {
  const session::MemoryRange range = session::defaultMemoryRange(ide.debugging().sourceMap());
  val v = val::object();
  v.set("first", fourDigits(range.first));
  v.set("last", fourDigits(range.last));
  return v;
}

// The stretches of a source line worth colouring, as the assembler reads
// it: three numbers each, its start and length in the page's UTF-16 units
// and its kind (assembler::WordKind's order).
val colourLine(const std::string& line) {
  // The UTF-16 index of each byte of the line's UTF-8.
  std::vector<int> unit(line.size() + 1, 0);
  int units = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    unit[i] = units;
    const auto byte = static_cast<unsigned char>(line[i]);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  unit[line.size()] = units;
  val numbers = val::array();
  for (const assembler::ColouredSpan& span : assembler::ColourLine(line)) {
    numbers.call<void>("push", unit[span.start]);
    numbers.call<void>("push", unit[span.start + span.length] - unit[span.start]);
    numbers.call<void>("push", static_cast<int>(span.kind));
  }
  return numbers;
}

val memoryObject(WebIde& ide, const std::string& first, const std::string& last,
                 const std::string& name) {
  const WebIde::MemoryFile file = ide.memoryObject(first, last, name);
  val v = val::object();
  v.set("made", file.made);
  v.set("text", file.text);
  return v;
}

}  // namespace

}  // namespace orben::web

EMSCRIPTEN_BINDINGS(orben_ide) {
  using namespace orben::web;
  emscripten::class_<WebIde>("Ide")
      .constructor<WebMachine&>()
      .function("open", &openSource)
      .function("newSource", &WebIde::newSource)
      .function("bytesFor", &bytesFor)
      .function("saved", &saved)
      .function("assemble", &assemble)
      .function(
          "sourceEdited", +[](WebIde& ide) { ide.debugging().sourceEdited(); })
      .function("toggleAtLine", &toggleAtLine)
      .function("toggleAtAddress", &toggleAtAddress)
      .function(
          "runToLine",
          +[](WebIde& ide, double line) {
            return ide.debugging().runToLine(static_cast<std::size_t>(line));
          })
      .function(
          "stepBack", +[](WebIde& ide) { return ide.debugging().stepBack(); })
      .function("state", &state)
      .function("takeTold", &takeTold)
      .function("objectLoaded", &objectLoaded)
      .function("checkCases", &checkCases)
      .function("prepareCase", &WebIde::prepareCase)
      .function("memoryRange", &memoryRange)
      .function("memoryObject", &memoryObject)
      .function(
          "rangeRefusal", +[](WebIde& ide, const std::string& first, const std::string& last) {
            return ide.rangeRefusal(first, last);
          });
  emscripten::function("colourLine", &colourLine);
  emscripten::function(
      "fileWasRead",
      +[](int outcome) { return orben::fileWasRead(static_cast<orben::LoadOutcome>(outcome)); });
  emscripten::constant("loadAProgramFirst", std::string(orben::grader::kLoadAProgramFirst));
}
