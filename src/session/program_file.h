#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "panel/tuka2.h"
#include "session/headless_ui.h"
#include "session/source_map.h"

namespace orben::session {

// What loading a program came to.
enum class ProgramLoad : std::uint8_t {
  Loaded,       // in memory and listed (load messages included)
  NotReadable,  // the file cannot be read (tuka2 run and dis: status 2)
  NotAssembled  // a source with errors, reported as tuka2 asm reports them (status 1)
};

// Puts the program of `file` into memory as the load command does after its
// dialog: an object file (.EHC, .HEX) read as it is; any other name is an
// assembly source, assembled in memory to the EHC text tuka2 asm would
// write and loaded under the object name asm would give it. The
// assembler's errors and warnings go to `err`, the way tuka2 asm prints
// them. `map` becomes the loaded source's map, or empty for an object
// file; it is left as it was when nothing loaded.
ProgramLoad loadProgramFile(Tuka2& tuka, HeadlessUi& ui, const std::string& file, std::ostream& err,
                            SourceMap& map);

// The same for a source already in memory: `text` is assembled as the file
// `name` would be, and its diagnostics name that file.
ProgramLoad loadSourceText(Tuka2& tuka, std::string_view text, const std::string& name,
                           std::ostream& err, SourceMap& map);

// What the editor's Ensamblar y cargar came to.
struct EditorLoad {
  bool loaded = false;
  // Every error and warning, as the assembler reports them.
  std::vector<assembler::Diagnostic> diagnostics;
  // The address of the program's first word (the first the source puts
  // anywhere), keyed into the keypad; none for a program of no words.
  std::optional<std::uint16_t> start;
};

// Ensamblar y cargar: `text` assembled in memory as the file `name` would
// be. With errors, nothing changes. Without, TUKA-2 is switched on first
// when it is off (as On/Off does, so that the power-on does not wipe the
// program), the words are loaded as Cargar programa objeto loads a file
// (the listing emptied, the words stored, the listing rebuilt; run state
// and PC untouched), `map` becomes the source's map and the program's
// first address is keyed into the keypad for Ejecutar.
EditorLoad assembleAndLoad(Tuka2& tuka, std::string_view text, const std::string& name,
                           SourceMap& map);

}  // namespace orben::session
