#include <iostream>
#include <string>
#include <vector>

#include "runner/runner.h"
#include "runner/test_command.h"
#include "text/language.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  orben::setLanguage(orben::languageFromEnvironment());
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!arguments.empty() && arguments[0] == "test") {
    return orben::runner::testCommandLine({arguments.begin() + 1, arguments.end()}, std::cout,
                                          std::cerr, orben::runner::thisProcessTerminal());
  }
  return orben::runner::runCommandLine(arguments, std::cin, std::cout, std::cerr);
}
