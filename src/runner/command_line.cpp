#include "runner/command_line.h"

namespace orben::runner {

CommandLine::CommandLine(Options& options) : options_(options) {
  for (CLI::App* app : {&run_, &debug_, &dis_, &asm_}) inTheLanguage(*app);
  addRun();
  addDebug();
  addDis();
  addAsm();
  run_.footer(std::string(
      tr("Examples:\n"
         "  tuka2 run examples/suma.ehc\n"
         "  tuka2 run examples/doble_entrada.ehc --in 02=0015 --json\n"
         "  tuka2 run prog.hex --start 0100 --fill 0000 --max-steps 500 --trace\n"
         "Exit status: 0 at HALT, 1 at any other stop, 2 for a usage error or an unreadable "
         "file.")));
  debug_.footer(std::string(
      tr("Commands, one a line on standard input (short forms in brackets):\n"
         "  step [N] (s), back [N], continue (c), break ADDR|LABEL (b), delete ADDR|LABEL,\n"
         "  regs, mem ADDR [N], set REG|[ADDR]|inPP VALUE, where, checks, help, quit (q)\n"
         "Examples:\n"
         "  tuka2 debug examples/suma_1_a_n.asm --fill 0000\n"
         "  printf 'break fin\\nc\\nregs\\n' | tuka2 debug examples/suma_1_a_n.asm --json\n"
         "Exit status: 0 at the end of the input or quit, 1 for a source with errors, 2 for a\n"
         "usage error or an unreadable file.")));
  dis_.footer(std::string(tr("Example:\n  tuka2 dis examples/multiplica.ehc")));
  asm_.footer(std::string(
      tr("Examples:\n"
         "  tuka2 asm examples/suma.asm              writes examples/suma.ehc\n"
         "  tuka2 asm prog.asm -o prog.hex -l prog.lst\n"
         "Exit status: 0 when written (warnings allowed), 1 for errors in the source (nothing\n"
         "written), 2 for a usage error or a file that cannot be read or written.")));
  for (CLI::App* app : {&run_, &debug_, &dis_, &asm_}) app->allow_extras();
}

void inTheLanguage(CLI::App& app) {
  app.option_defaults()->group(std::string(tr("Options")));
  app.set_help_flag("-h,--help", std::string(tr("Print this help message and exit")));
  const auto formatter = app.get_formatter();
  formatter->column_width(22);
  for (const std::string_view label :
       {N_("Usage"), N_("OPTIONS"), N_("Positionals"), N_("REQUIRED"), N_("TEXT")}) {
    formatter->label(std::string(label), std::string(tr(label)));
  }
}

CLI::App* CommandLine::command(const std::string& command) {
  if (command == "run") {
    options_.command = Command::Run;
    return &run_;
  }
  if (command == "debug") {
    options_.command = Command::Debug;
    return &debug_;
  }
  if (command == "dis") {
    options_.command = Command::Dis;
    return &dis_;
  }
  if (command == "asm") {
    options_.command = Command::Asm;
    return &asm_;
  }
  return nullptr;
}

std::string CommandLine::fileName(const std::string& command) {
  return std::string(command == "asm" ? tr("SOURCE") : tr("FILE"));
}

CLI::Option* CommandLine::addFill(CLI::App& app) {
  CLI::Option* fill = app.add_option("--fill", raw_.fill,
                                     std::string(tr("that word in every memory word and every "
                                                    "random power-on value, instead of random "
                                                    "ones")));
  fill->type_name("HHHH");
  fill_.push_back(fill);
  return fill;
}

void CommandLine::addMachineOptions(CLI::App& app) {
  app.add_option(fileName("run"), options_.file,
                 std::string(tr("the program: .EHC, .HEX or an assembly source")))
      ->required()
      ->type_name("");
  CLI::Option* start =
      app.add_option("--start", raw_.start,
                     std::string(tr("the address keyed in before Ejecutar (default 0000)")));
  start->type_name("HHHH");
  start_.push_back(start);
  addFill(app);
  CLI::Option* seed = app.add_option(
      "--seed", raw_.seed, std::string(tr("seed of the random values (default: the clock)")));
  seed->type_name("N");
  seed_.push_back(seed);
  app.add_option("--in", raw_.inputs,
                 std::string(tr("input port PP (00..3F, not 01: that is the keypad) holds HHHH; "
                                "may be repeated")))
      ->type_name("PP=HHHH")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--break", options_.breaks,
                 std::string(tr("stop before the instruction at ADDR (or LABEL of a source); may "
                                "be repeated")))
      ->type_name(std::string(tr("ADDR|LABEL")))
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void CommandLine::addRun() {
  addMachineOptions(run_);
  run_.add_flag(
      "--json", options_.json,
      std::string(tr("print one JSON object with the machine's whole state instead of a summary")));
  CLI::Option* max_steps =
      run_.add_option("--max-steps", raw_.max_steps,
                      std::string(tr("stop after N instructions (default 1000000)")));
  max_steps->type_name("N");
  max_steps_.push_back(max_steps);
  run_.add_flag("--dump-memory", options_.dump_memory,
                std::string(tr("with --json, add the memory words")));
  run_.add_flag("--trace", options_.trace,
                std::string(tr("one line per executed instruction on stderr: address, word, "
                               "disassembly, the source line and the cells it changed")));
}

void CommandLine::addDebug() {
  addMachineOptions(debug_);
  debug_.add_flag("--json", options_.json,
                  std::string(tr("answer each command with one line holding one JSON object")));
  CLI::Option* max_steps =
      debug_.add_option("--max-steps", raw_.max_steps,
                        std::string(tr("a continue stops after N instructions (default 1000000)")));
  max_steps->type_name("N");
  max_steps_.push_back(max_steps);
}

void CommandLine::addDis() {
  dis_.add_option(fileName("dis"), options_.file,
                  std::string(tr("the program: .EHC, .HEX or an assembly source")))
      ->required()
      ->type_name("");
  addFill(dis_);
}

void CommandLine::addAsm() {
  asm_.add_option(fileName("asm"), options_.file,
                  std::string(tr("the assembly source, UTF-8, ASCII or Windows-1252 text")))
      ->required();
  asm_.add_option("-o,--output", options_.output,
                  std::string(tr("the object file, .EHC or .HEX (default: SOURCE named .ehc, "
                                 ".EHC after a capital extension)")))
      ->type_name(std::string(tr("OUTPUT")));
  asm_.add_option("-l,--listing", options_.listing,
                  std::string(tr("also write a listing: each line's address and words, then the "
                                 "names")))
      ->type_name(std::string(tr("LISTING")));
}

RawValues CommandLine::raw() const {
  RawValues raw = raw_;
  const auto given = [](const std::vector<CLI::Option*>& options) {
    for (const CLI::Option* option : options) {
      if (option->count() > 0) return true;
    }
    return false;
  };
  raw.has_fill = given(fill_);
  raw.has_start = given(start_);
  raw.has_seed = given(seed_);
  raw.has_max_steps = given(max_steps_);
  return raw;
}

std::string CommandLine::reason(const std::string& command, const CLI::ParseError& error) const {
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    return command == "asm" ? trf("{0} needs a SOURCE", command) : trf("{0} needs a FILE", command);
  }
  return error.what();
}

}  // namespace orben::runner
