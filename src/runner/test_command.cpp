#include "runner/test_command.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <fstream>
#include <optional>
#include <thread>

#include "assembler/assembler.h"
#include "assembler/source_file.h"
#include "grader/csv_report.h"
#include "grader/feedback.h"
#include "grader/grade_reports.h"
#include "runner/command_line.h"
#include "runner/options.h"
#include "runner/program_folders.h"
#include "session/json_writer.h"

namespace orben::runner {

using namespace grader;

namespace {

struct TestOptions {
  std::string cases;
  std::vector<std::string> programs;
  bool json = false;
  std::string junit;
  unsigned threads = 0;
  std::string similar;  // a percentage, checked after parsing
  std::string csv;
  std::string feedback;
};

// --similar's percentage: a whole number from 1 to 100.
std::optional<int> Percentage(const std::string& text) {
  const auto percent = wholeNumber(text);
  if (!percent || *percent < 1 || *percent > 100) return std::nullopt;
  return static_cast<int>(*percent);
}

void AddOptions(CLI::App& app, TestOptions& options) {
  inTheLanguage(app);
  app.add_option(std::string(tr("CASES")), options.cases, std::string(tr("the cases file (TOML)")))
      ->required()
      ->type_name("");
  app.add_option(
         std::string(tr("PROGRAM")), options.programs,
         std::string(tr("programs to check: .EHC, .HEX, or an assembly source (assembled "
                        "in memory); a folder stands for its .asm, .s, .EHC and .HEX files")))
      ->required()
      ->type_name("");
  app.add_flag("--json", options.json, std::string(tr("print the results as one JSON object")));
  app.add_option("--junit", options.junit,
                 std::string(tr("also write the results as JUnit XML into FILE")))
      ->type_name(std::string(tr("FILE")));
  app.add_option("-j,--jobs", options.threads,
                 std::string(tr("programs checked at once (default: the number of cores)")))
      ->type_name("N");
  app.add_option("--similar", options.similar,
                 std::string(tr("also name the pairs of programs whose loads agree at P % or more "
                                "of the addresses either loads")))
      ->type_name("P");
  app.add_option("--csv", options.csv,
                 std::string(tr("also write a grade sheet as CSV into FILE, a row per program")))
      ->type_name(std::string(tr("FILE")));
  app.add_option(
         "--feedback", options.feedback,
         std::string(tr("also write each student's feedback, in Spanish, into DIR as PROGRAM.txt")))
      ->type_name(std::string(tr("DIR")));
  app.footer(std::string(
      tr("Each case runs on a fresh machine as tuka2 run does: switched on (memory filled\n"
         "with the file's fill, 0000 by default, or random from its seed), loaded, presets\n"
         "written, input ports set, the start address keyed, then timed to a stop, or to\n"
         "its time limit (timeout, 10 s by default).\n"
         "A case passes when everything under its expect table holds; it expects the\n"
         "run to stop at HALT unless expect.stop says otherwise. Every key of a cases\n"
         "file is shown in the user guide's page for teachers and in examples/*.toml.\n"
         "Examples:\n"
         "  tuka2 test examples/suma_1_a_n.toml examples/suma_1_a_n.asm\n"
         "  tuka2 test ejercicio.toml entregas/*.asm --junit notas.xml\n"
         "  tuka2 test ejercicio.toml entregas/ --csv notas.csv --feedback correcciones/\n"
         "Exit status: 0 when every case of every program passes, 1 when any fails,\n"
         "2 for a usage error, a cases file that cannot be used or a report that\n"
         "cannot be written, 130 when interrupted (the reports then hold the programs\n"
         "already graded).")));
}

// The reports written into files (JUnit, the grade sheet, the feedback);
// returns those that could not be written.
std::vector<std::string> WriteReportFiles(const TestOptions& options, const CaseFile& cases,
                                          const std::vector<ProgramResult>& results,
                                          const Copies& copies) {
  std::vector<std::string> unwritten;
  if (!options.junit.empty()) {
    std::ofstream junit(options.junit, std::ios::binary | std::ios::trunc);
    WriteJUnit(cases, results, junit);
    junit.flush();
    if (!junit) unwritten.push_back(options.junit);
  }
  if (!options.csv.empty()) {
    std::ofstream csv(options.csv, std::ios::binary | std::ios::trunc);
    // The last column: the programs each is a copy of, or like.
    WriteCsv(cases, results, csv,
             {SheetColumn{"copies", [&](std::size_t i) { return copiesOf(copies, results, i); }}});
    csv.flush();
    if (!csv) unwritten.push_back(options.csv);
  }
  if (!options.feedback.empty()) {
    for (auto& file : WriteFeedbackFiles(options.feedback, cases, results)) {
      unwritten.push_back(std::move(file));
    }
  }
  return unwritten;
}

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal's handler");

// The first interrupt asks for the reports of what is graded; a second
// ends the process at once.
extern "C" void Interrupt(int signal) {
  interrupted.store(true);
  std::signal(signal, SIG_DFL);
}

}  // namespace

TestTerminal thisProcessTerminal() {
  std::signal(SIGINT, Interrupt);
  std::signal(SIGTERM, Interrupt);
  return {::isatty(STDERR_FILENO) == 1, &interrupted};
}

int testCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    const TestTerminal& terminal) {
  TestOptions options;
  CLI::App app{std::string(tr("Checks programs against a teacher's test cases.")), "tuka2 test"};
  AddOptions(app, options);
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::RequiredError&) {
    err << tr("tuka2: test needs a CASES file and at least one PROGRAM (try tuka2 test --help)")
        << '\n';
    return 2;
  } catch (const CLI::ParseError& error) {
    err << trf("tuka2: {0} (try tuka2 test --help)", error.what()) << '\n';
    return 2;
  }
  std::optional<int> similar;
  if (app.count("--similar") > 0) {
    similar = Percentage(options.similar);
    if (!similar) {
      err << trf("tuka2: --similar takes a whole percentage from 1 to 100, not '{0}' (try tuka2 "
                 "test --help)",
                 options.similar)
          << '\n';
      return 2;
    }
  }
  // A folder stands for the programs in it.
  const ClassPrograms programs = ExpandProgramFolders(options.programs);
  for (const Text& error : programs.errors) err << error.str() << '\n';
  if (!programs.errors.empty()) return 2;
  std::string reason;
  const auto text = assembler::ReadSourceFile(options.cases, reason);
  if (!text) {
    err << trf("tuka2: cannot read {0}: {1}", options.cases, reason) << '\n';
    return 2;
  }
  const ParsedCases parsed = ParseCases(*text, options.cases);
  for (const CasesError& e : parsed.errors) {
    err << options.cases << ':' << e.line << ':' << e.column << ": " << e.message.str() << '\n';
  }
  for (const CasesError& w : parsed.warnings) {
    err << assembler::DiagnosticLine(options.cases,
                                     {assembler::Severity::Warning, w.line, w.column, w.message})
               .str()
        << '\n';
  }
  if (!parsed.cases) return 2;
  const unsigned threads =
      options.threads > 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  GradingOptions grading{threads, terminal.interrupted, {}};
  std::size_t shown = 0;
  if (terminal.progress && programs.programs.size() > 1) {
    grading.progress = [&](std::size_t graded, std::size_t total) {
      const std::string line = std::to_string(graded) + "/" + std::to_string(total);
      err << '\r' << line << std::flush;
      shown = line.size();
    };
  }
  const ClassResult graded = GradeClass(programs.programs, *parsed.cases, grading);
  if (shown > 0) err << '\r' << std::string(shown, ' ') << '\r' << std::flush;
  const std::vector<ProgramResult>& results = graded.graded;
  const Copies copies = findCopies(results, similar);
  if (options.json) {
    session::writeJsonDocument(JsonReport(*parsed.cases, results, copies), out);
    out << '\n';
  } else {
    WriteTextReport(*parsed.cases, results, out, copies);
  }
  // Every report is written that can be, then each that could not is said.
  const std::vector<std::string> unwritten =
      WriteReportFiles(options, *parsed.cases, results, copies);
  for (const auto& file : unwritten) err << trf("tuka2: cannot write {0}", file) << '\n';
  if (graded.left > 0) {
    err << (graded.left == 1 ? trf("tuka2: interrupted, {0} program left ungraded", graded.left)
                             : trf("tuka2: interrupted, {0} programs left ungraded", graded.left))
        << '\n';
  }
  if (!unwritten.empty()) return 2;
  if (graded.left > 0) return 130;
  const bool all_passed = std::all_of(results.begin(), results.end(),
                                      [](const ProgramResult& r) { return r.passed(); });
  return all_passed ? 0 : 1;
}

}  // namespace orben::runner
