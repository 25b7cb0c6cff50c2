#include "runner/command_line.h"

namespace orben::runner {

CommandLine::CommandLine(Options& options) : options_(options) {
  addRun();
  addDis();
  addAsm();
  run_.footer(
      "Examples:\n"
      "  tuka2 run examples/suma.ehc\n"
      "  tuka2 run examples/doble_entrada.ehc --in 02=0015 --json\n"
      "  tuka2 run prog.hex --start 0100 --fill 0000 --max-steps 500 --trace\n"
      "Exit status: 0 at HALT, 1 at any other stop, 2 for a usage error or an unreadable file.");
  dis_.footer("Example:\n  tuka2 dis examples/multiplica.ehc");
  asm_.footer(
      "Examples:\n"
      "  tuka2 asm examples/suma.asm              writes examples/suma.ehc\n"
      "  tuka2 asm prog.asm -o prog.hex -l prog.lst\n"
      "Exit status: 0 when written (warnings allowed), 1 for errors in the source (nothing\n"
      "written), 2 for a usage error or a file that cannot be read or written.");
  for (CLI::App* app : {&run_, &dis_, &asm_}) {
    app->allow_extras();
    app->get_formatter()->column_width(22);
  }
}

CLI::App* CommandLine::command(const std::string& command) {
  if (command == "run") {
    options_.command = Command::Run;
    return &run_;
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
  return command == "asm" ? "SOURCE" : "FILE";
}

CLI::Option* CommandLine::addFill(CLI::App& app) {
  CLI::Option* fill = app.add_option("--fill", raw_.fill,
                                     "that word in every memory word and every random power-on "
                                     "value, instead of random ones");
  fill->type_name("HHHH");
  fill_.push_back(fill);
  return fill;
}

void CommandLine::addRun() {
  run_.add_option("FILE", options_.file, "the program: .EHC, .HEX or an assembly source")
      ->required()
      ->type_name("");
  run_.add_flag("--json", options_.json,
                "print one JSON object with the machine's whole state instead of a summary");
  start_ =
      run_.add_option("--start", raw_.start, "the address keyed in before Ejecutar (default 0000)");
  start_->type_name("HHHH");
  addFill(run_);
  seed_ = run_.add_option("--seed", raw_.seed, "seed of the random values (default: the clock)");
  seed_->type_name("N");
  run_.add_option("--in", raw_.inputs,
                  "input port PP (00..3F, not 01: that is the keypad) holds HHHH; may be repeated")
      ->type_name("PP=HHHH")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  max_steps_ =
      run_.add_option("--max-steps", raw_.max_steps, "stop after N instructions (default 1000000)");
  max_steps_->type_name("N");
  run_.add_option("--break", options_.breaks,
                  "stop before the instruction at ADDR (or LABEL of a source); may be repeated")
      ->type_name("ADDR|LABEL")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  run_.add_flag("--dump-memory", options_.dump_memory, "with --json, add the memory words");
  run_.add_flag("--trace", options_.trace,
                "one line per executed instruction on stderr: address, word, disassembly and "
                "the cells it changed");
}

void CommandLine::addDis() {
  dis_.add_option("FILE", options_.file, "the program: .EHC, .HEX or an assembly source")
      ->required()
      ->type_name("");
  addFill(dis_);
}

void CommandLine::addAsm() {
  asm_.add_option("SOURCE", options_.file, "the assembly source, UTF-8, ASCII or Windows-1252 text")
      ->required();
  asm_.add_option("-o,--output", options_.output,
                  "the object file, .EHC or .HEX (default: SOURCE named .ehc, .EHC after a capital "
                  "extension)")
      ->type_name("OUTPUT");
  asm_.add_option("-l,--listing", options_.listing,
                  "also write a listing: each line's address and words, then the names")
      ->type_name("LISTING");
}

RawValues CommandLine::raw() const {
  RawValues raw = raw_;
  for (const CLI::Option* fill : fill_) raw.has_fill = raw.has_fill || fill->count() > 0;
  raw.has_start = start_->count() > 0;
  raw.has_seed = seed_->count() > 0;
  raw.has_max_steps = max_steps_->count() > 0;
  return raw;
}

std::string CommandLine::reason(const std::string& command, const CLI::ParseError& error) const {
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    return command + " needs a " + fileName(command);
  }
  return error.what();
}

}  // namespace orben::runner
