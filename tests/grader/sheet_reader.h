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
#include <string>
#include <string_view>
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
  // Each <gnm:Cell Row="R" Col="C" ValueType="T">value</gnm:Cell>, or the
  // same closed at once for an empty value.
  const auto attribute = [](std::string_view attributes, std::string_view name) {
    const std::string key = std::string(" ") + std::string(name) + "=\"";
    const std::size_t at = attributes.find(key);
    if (at == std::string_view::npos) return -1;
    return std::atoi(std::string(attributes.substr(at + key.size())).c_str());
  };
  Sheet sheet;
  constexpr std::string_view kOpen = "<gnm:Cell ";
  constexpr std::string_view kClose = "</gnm:Cell>";
  for (std::size_t at = text.find(kOpen); at != std::string::npos; at = text.find(kOpen, at)) {
    const std::size_t end = text.find('>', at);
    if (end == std::string::npos) break;
    const std::string_view attributes(text.data() + at + kOpen.size() - 1,
                                      end - at - kOpen.size() + 1);
    Cell read;
    if (const int type = attribute(attributes, "ValueType"); type >= 0) {
      read.type = static_cast<CellType>(type);
    }
    at = end + 1;
    if (text[end - 1] != '/') {
      const std::size_t close = text.find(kClose, at);
      if (close == std::string::npos) break;
      read.value = XmlUnescaped(text.substr(at, close - at));
      at = close + kClose.size();
    }
    sheet[{attribute(attributes, "Row"), attribute(attributes, "Col")}] = read;
  }
  return sheet;
}

}  // namespace orben::grader
