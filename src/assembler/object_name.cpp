#include "assembler/object_name.h"

#include <algorithm>
#include <filesystem>

#include "loader/line_scanner.h"

namespace orben::assembler {

namespace {

namespace fs = std::filesystem;

bool AllLowerCase(const std::string& text) {
  const auto is_letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  const bool letters = std::any_of(text.begin(), text.end(), is_letter);
  return letters &&
         std::none_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace

bool isAssemblySourceName(const std::string& name) {
  const std::string extension = UpperCaseText(fs::path(name).extension().string());
  return extension == ".ASM" || extension == ".S";
}

std::string DefaultObjectName(const std::string& source) {
  fs::path object(source);
  const std::string extension = object.extension().string();
  const bool lower = AllLowerCase(extension.empty() ? object.filename().string() : extension);
  object.replace_extension(lower ? ".ehc" : ".EHC");
  return object.string();
}

std::vector<std::string> OtherSpellings(const std::string& path) {
  std::vector<std::string> others;
  const fs::path own(path);
  const std::string name = own.filename().string();
  const std::string upper = UpperCaseText(name);
  std::error_code error;
  fs::directory_iterator entries(own.has_parent_path() ? own.parent_path() : fs::path("."), error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    const std::string spelling = entries->path().filename().string();
    if (spelling == name || UpperCaseText(spelling) != upper) continue;
    const fs::path other = own.parent_path() / spelling;
    std::error_code ignored;
    if (fs::equivalent(other, own, ignored)) continue;
    others.push_back(other.string());
  }
  std::sort(others.begin(), others.end());
  return others;
}

}  // namespace orben::assembler
