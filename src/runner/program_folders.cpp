#include "runner/program_folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "assembler/object_name.h"
#include "loader/load_command.h"

namespace orben::runner {

namespace {

namespace fs = std::filesystem;

}  // namespace

bool IsProgramName(const std::string& name) {
  return assembler::isAssemblySourceName(name) || objectFormatOfName(name).has_value();
}

ClassPrograms ExpandProgramFolders(const std::vector<std::string>& arguments) {
  ClassPrograms expanded;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!fs::is_directory(argument, error)) {
      expanded.programs.push_back(argument);
      continue;
    }
    std::vector<std::string> names;
    fs::directory_iterator entries(argument, error);
    for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
      const std::string name = entries->path().filename().string();
      std::error_code kind;
      if (IsProgramName(name) && !entries->is_directory(kind)) names.push_back(name);
    }
    if (error) {
      expanded.errors.push_back(Text("tuka2: cannot read {0}: {1}", argument, error.message()));
      continue;
    }
    if (names.empty()) {
      expanded.errors.push_back(
          Text("tuka2: the folder {0} holds no programs (.asm, .s, .EHC or .HEX files)", argument));
      continue;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      expanded.programs.push_back((fs::path(argument) / name).string());
    }
  }
  return expanded;
}

}  // namespace orben::runner
