#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/source_document.h"
#include "grader/case_check_lines.h"
#include "grader/cases.h"
#include "grader/program.h"
#include "session/editor_messages.h"
#include "session/memory_object.h"
#include "session/source_debugging.h"
#include "web/web_machine.h"

namespace orben::web {

// The page's source editor over its machine: the source's document (its
// encoding and line ends kept for saving), Ensamblar y cargar, the
// debugging of the loaded source, Comprobar con casos and Guardar memoria.
// What the debugging tells as it happens waits here until the page reads
// it, once a frame or after each action.
class WebIde final : public session::SourceDebuggingListener {
 public:
  explicit WebIde(WebMachine& machine);
  WebIde(const WebIde&) = delete;
  WebIde& operator=(const WebIde&) = delete;

  // Abrir programa fuente: the file's bytes, read as the assembler reads
  // them; the text to edit.
  const std::string& open(std::string bytes);
  // Nuevo programa fuente.
  void newSource();
  // The bytes of `text` as its file keeps them (its encoding and line
  // ends); once written, saved() with the same text.
  std::string bytesFor(std::string_view text) const { return document_.bytesFor(text); }
  void saved(std::string_view text) { document_.saved(text); }

  // Ensamblar y cargar; the messages for the editor.
  session::EditorLoad assemble(std::string_view text, const std::string& name,
                               const std::vector<std::size_t>& breakpoint_lines);
  std::vector<session::EditorMessage> messagesOf(const session::EditorLoad& load) const {
    return session::diagnosticMessages(load.diagnostics);
  }
  // An object file loaded through Cargar programa objeto: the program
  // that Comprobar con casos grades from then on.
  // Nothing changes when the load did not read the file.
  void objectLoaded(const std::string& name, std::string bytes, LoadOutcome outcome);
  bool hasProgram() const { return program_name_.has_value(); }

  session::SourceDebugging& debugging() { return debugging_; }
  std::uint64_t stepsSinceStart() const { return machine_.tuka().run.stepsSinceStart(); }

  // Comprobar con casos of the last program loaded against the cases file
  // `cases_name` of `bytes`, graded at once; the lines to show.
  std::vector<grader::CheckLine> checkCases(const std::string& cases_name, std::string bytes);
  // A failing case of the last check, prepared on the machine for
  // stepping. False when there is no such case.
  bool prepareCase(int index);

  // Guardar memoria como programa objeto of the typed range for a file
  // named `name`: the file's text, or the message of what refused it.
  struct MemoryFile {
    bool made = false;
    std::string text;
  };
  MemoryFile memoryObject(std::string_view first, std::string_view last,
                          const std::string& name) const;
  // What refuses the typed range before a name is asked; empty for none.
  std::string rangeRefusal(std::string_view first, std::string_view last) const;

  // What happened since the last read.
  struct Told {
    bool line_changed = false;
    bool stepped = false;
    bool step_back_changed = false;
    std::vector<session::EditorMessage> checks;
  };
  Told takeTold();

  // SourceDebuggingListener
  void lineAtPCChanged(std::size_t line) override;
  void stepped(const StepChanges& changes) override;
  void canStepBackChanged(bool can) override;
  void checkFound(const Check& check, std::size_t line) override;

 private:
  WebMachine& machine_;
  session::SourceDebugging debugging_;
  assembler::SourceDocument document_;
  Told told_;
  // The last program loaded: a source's text or an object file's bytes,
  // under its name.
  std::optional<std::string> program_name_;
  std::string program_bytes_;
  // The last check's cases and program, for preparing a case.
  std::optional<grader::CaseFile> cases_;
  grader::Program graded_;
};

}  // namespace orben::web
