#include "session/program_file.h"

#include "assembler/object_in_memory.h"
#include "assembler/object_name.h"
#include "assembler/source_file.h"
#include "disasm/listing_commands.h"
#include "loader/line_reader.h"
#include "loader/load_command.h"
#include "session/diagnostic_printer.h"
#include "text/catalog.h"

namespace orben::session {

namespace {

ProgramLoad loadObjectFile(Tuka2& tuka, HeadlessUi& ui, const std::string& file, std::ostream& err,
                           SourceMap& map) {
  ui.file_error.reset();
  if (tuka.load.loadFile(file) == LoadOutcome::FileError) {
    const auto error = ui.file_error.value_or(HeadlessUi::FileError{file, {}});
    err << "tuka2: " << trf("cannot read {0}: {1}", error.name, tr(error.reason)) << '\n';
    return ProgramLoad::NotReadable;
  }
  map = SourceMap();
  return ProgramLoad::Loaded;
}

ProgramLoad loadSourceFile(Tuka2& tuka, const std::string& file, std::ostream& err,
                           SourceMap& map) {
  std::string reason;
  const auto text = assembler::ReadSourceFile(file, reason);
  if (!text) {
    err << "tuka2: " << trf("cannot read {0}: {1}", file, tr(reason)) << '\n';
    return ProgramLoad::NotReadable;
  }
  return loadSourceText(tuka, *text, file, err, map);
}

// The assembled object put into memory as the load command reads a file.
void loadObjectText(Tuka2& tuka, const assembler::ObjectInMemory& assembled,
                    const std::string& name) {
  MemorySource source(assembled.ehc);
  tuka.load.loadSource(ObjectFormat::Ehc, assembler::DefaultObjectName(name), source,
                       assembled.ehc.size());
}

class DiagnosticList : public assembler::AssemblyOutput {
 public:
  explicit DiagnosticList(std::vector<assembler::Diagnostic>& into) : into_(into) {}
  void diagnostic(const assembler::Diagnostic& diagnostic) override { into_.push_back(diagnostic); }

 private:
  std::vector<assembler::Diagnostic>& into_;
};

}  // namespace

ProgramLoad loadSourceText(Tuka2& tuka, std::string_view text, const std::string& name,
                           std::ostream& err, SourceMap& map) {
  DiagnosticPrinter printer(name, err);
  SourceMapRecorder recorder;
  assembler::OutputFan outputs({&printer, &recorder});
  const auto assembled = assembler::AssembleInMemory(text, outputs);
  if (!assembled.result.ok()) {
    const std::size_t errors = assembled.result.errors;
    err << (errors == 1 ? trf("{0}: {1} error, nothing loaded", name, errors)
                        : trf("{0}: {1} errors, nothing loaded", name, errors))
        << '\n';
    return ProgramLoad::NotAssembled;
  }
  loadObjectText(tuka, assembled, name);
  map = recorder.finish(assembled.result);
  return ProgramLoad::Loaded;
}

EditorLoad assembleAndLoad(Tuka2& tuka, std::string_view text, const std::string& name,
                           SourceMap& map) {
  EditorLoad load;
  DiagnosticList diagnostics(load.diagnostics);
  SourceMapRecorder recorder;
  assembler::OutputFan outputs({&diagnostics, &recorder});
  const auto assembled = assembler::AssembleInMemory(text, outputs);
  if (!assembled.result.ok()) return load;
  if (!tuka.machine.powerOn()) tuka.power.TogglePower();
  ClearListing(tuka.listing);
  loadObjectText(tuka, assembled, name);
  map = recorder.finish(assembled.result);
  if (!map.lines().empty()) {
    load.start = map.lines().front().address;
    tuka.machine.setCell(kCellKeypad, wordOf(*load.start));
  }
  load.loaded = true;
  return load;
}

ProgramLoad loadProgramFile(Tuka2& tuka, HeadlessUi& ui, const std::string& file, std::ostream& err,
                            SourceMap& map) {
  return objectFormatOfName(file) ? loadObjectFile(tuka, ui, file, err, map)
                                  : loadSourceFile(tuka, file, err, map);
}

}  // namespace orben::session
