#include "runner/program_file.h"

#include "assembler/object_in_memory.h"
#include "assembler/object_name.h"
#include "assembler/source_file.h"
#include "loader/line_reader.h"
#include "loader/load_command.h"
#include "runner/asm_command.h"
#include "runner/diagnostic_printer.h"

namespace orben::runner {

namespace {

ProgramLoad loadObjectFile(Tuka2& tuka, HeadlessUi& ui, const std::string& file,
                           std::ostream& err) {
  if (tuka.load.loadFile(file) == LoadOutcome::FileError) {
    err << "tuka2: cannot read " << (ui.file_error.empty() ? file : ui.file_error) << '\n';
    return ProgramLoad::NotReadable;
  }
  return ProgramLoad::Loaded;
}

ProgramLoad loadSourceFile(Tuka2& tuka, const std::string& file, std::ostream& err) {
  std::string reason;
  const auto text = assembler::ReadSourceFile(file, reason);
  if (!text) {
    err << "tuka2: cannot read " << file << ": " << reason << '\n';
    return ProgramLoad::NotReadable;
  }
  DiagnosticPrinter printer(file, err);
  const auto assembled = assembler::AssembleInMemory(*text, printer);
  if (!assembled.result.ok()) {
    const std::size_t errors = assembled.result.errors;
    err << file << ": " << errors << (errors == 1 ? " error" : " errors") << ", nothing loaded\n";
    return ProgramLoad::NotAssembled;
  }
  MemorySource source(assembled.ehc);
  tuka.load.loadSource(ObjectFormat::Ehc, assembler::DefaultObjectName(file), source,
                       assembled.ehc.size());
  return ProgramLoad::Loaded;
}

}  // namespace

ProgramLoad loadProgramFile(Tuka2& tuka, HeadlessUi& ui, const std::string& file,
                            std::ostream& err) {
  return objectFormatOfName(file) ? loadObjectFile(tuka, ui, file, err)
                                  : loadSourceFile(tuka, file, err);
}

}  // namespace orben::runner
