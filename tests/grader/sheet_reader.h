#pragma once

// A CSV file as a spreadsheet reads it: converted by Gnumeric's ssconvert
// to its own XML, each cell with its value and its type as Gnumeric took
// it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <utility>

namespace orben::grader {

// Gnumeric's value types.
enum class CellType { Formula = 0, Boolean = 20, Error = 50, Number = 40, Text = 60 };

struct Cell {
  CellType type = CellType::Formula;
  std::string value;
};

// Cells by (row, column), from 0.
using Sheet = std::map<std::pair<int, int>, Cell>;

inline bool HaveSsconvert() {
  return std::system("command -v ssconvert > /dev/null 2>&1") == 0;
}

inline std::string XmlUnescaped(const std::string& text) {
  static const std::pair<const char*, const char*> entities[] = {
      {"&quot;", "\""}, {"&apos;", "'"}, {"&lt;", "<"}, {"&gt;", ">"},
      {"&#10;", "\n"},  {"&#13;", "\r"}, {"&amp;", "&"}};
  std::string out = text;
  for (const auto& [entity, character] : entities) {
    for (auto at = out.find(entity); at != std::string::npos;
         at = out.find(entity, at + std::string_view(character).size())) {
      out.replace(at, std::string_view(entity).size(), character);
    }
  }
  return out;
}

// The cells of `csv` as Gnumeric reads it in a neutral locale (its decimal
// point '.'); none when the conversion fails.
inline std::optional<Sheet> ReadBack(const std::filesystem::path& csv) {
  std::filesystem::path gnumeric = csv;
  gnumeric += ".gnumeric";
  std::filesystem::path xml = csv;
  xml += ".xml";
  const std::string command = "LC_ALL=C.UTF-8 LANG=C.UTF-8 ssconvert -I Gnumeric_stf:stf_csvtab '" +
                              csv.string() + "' '" + gnumeric.string() +
                              "' > /dev/null 2>&1 && gzip -dc < '" + gnumeric.string() + "' > '" +
                              xml.string() + "'";
  if (std::system(command.c_str()) != 0) return std::nullopt;
  std::ifstream in(xml, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  static const std::regex cell(
      R"re(<gnm:Cell Row="(\d+)" Col="(\d+)"([^>]*?)(/>|>([^<]*)</gnm:Cell>))re");
  static const std::regex type(R"re(ValueType="(\d+)")re");
  Sheet sheet;
  for (std::sregex_iterator it(text.begin(), text.end(), cell), end; it != end; ++it) {
    const auto& match = *it;
    Cell read;
    const std::string attributes = match[3].str();
    std::smatch typed;
    if (std::regex_search(attributes, typed, type)) {
      read.type = static_cast<CellType>(std::stoi(typed[1].str()));
    }
    read.value = XmlUnescaped(match[5].str());
    sheet[{std::stoi(match[1].str()), std::stoi(match[2].str())}] = read;
  }
  return sheet;
}

}  // namespace orben::grader
