#include <string>

#include "grader/copies.h"
#include "text/catalog.h"

namespace orben::grader {

void WriteCopies(const Copies& copies, const std::vector<ProgramResult>& results,
                 std::ostream& out) {
  if (!copies.identical.empty()) {
    out << '\n' << tr("Identical programs") << '\n';
    for (const auto& group : copies.identical) {
      out << "  ";
      for (std::size_t i = 0; i < group.size(); ++i) {
        out << (i > 0 ? " = " : "") << results[group[i]].program;
      }
      out << '\n';
    }
  }
  if (!copies.similar.empty() && copies.similar_at) {
    out << '\n' << trf("Similar programs ({0} % or more)", *copies.similar_at) << '\n';
    for (const SimilarPair& pair : copies.similar) {
      const std::string percent = std::to_string(pair.percent);
      out << std::string(percent.size() < 2 ? 3 : 2, ' ') << percent << " %  "
          << results[pair.first].program << " ~ " << results[pair.second].program << '\n';
    }
  }
}

session::JsonDocument CopiesJson(const Copies& copies, const std::vector<ProgramResult>& results) {
  session::JsonDocument json;
  session::JsonDocument& identical = json["identical"] = session::JsonDocument::array();
  for (const auto& group : copies.identical) {
    std::vector<std::string> names;
    for (const std::size_t program : group) names.push_back(results[program].program);
    identical.push_back(names);
  }
  session::JsonDocument& similar = json["similar"] = session::JsonDocument::array();
  for (const SimilarPair& pair : copies.similar) {
    session::JsonDocument one;
    one["programs"] = {results[pair.first].program, results[pair.second].program};
    one["percent"] = pair.percent;
    similar.push_back(std::move(one));
  }
  return json;
}

}  // namespace orben::grader
