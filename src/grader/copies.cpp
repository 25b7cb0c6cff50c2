#include "grader/copies.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace orben::grader {

namespace {

using Words = std::vector<LoadedWord>;

std::uint64_t HashOf(const Words& words) {
  std::uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (const auto& [address, word] : words) {
    const std::uint32_t both = std::uint32_t{address} << 16 | word;
    for (int shift = 24; shift >= 0; shift -= 8)
      hash = (hash ^ (both >> shift & 0xFF)) * 1099511628211u;
  }
  return hash;
}

// The programs that take part, one entry per distinct load: its words by
// address and the programs that load exactly them.
struct Load {
  Words words;
  std::vector<std::size_t> programs;
};

std::vector<Load> DistinctLoads(const std::vector<ProgramResult>& results) {
  std::vector<Load> loads;
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> by_hash;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const ProgramResult& result = results[i];
    if (result.trouble != Trouble::None || result.words.empty()) continue;
    Words words = result.words;
    std::sort(words.begin(), words.end());
    auto& same_hash = by_hash[HashOf(words)];
    const auto same = std::find_if(same_hash.begin(), same_hash.end(),
                                   [&](std::size_t load) { return loads[load].words == words; });
    if (same != same_hash.end()) {
      loads[*same].programs.push_back(i);
    } else {
      same_hash.push_back(loads.size());
      loads.push_back({std::move(words), {i}});
    }
  }
  return loads;
}

// The addresses two loads (sorted by address) both put a word at.
std::size_t CommonAddresses(const Words& a, const Words& b) {
  std::size_t common = 0;
  for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
    if (a[i].first < b[j].first) {
      ++i;
    } else if (b[j].first < a[i].first) {
      ++j;
    } else {
      ++common, ++i, ++j;
    }
  }
  return common;
}

// For each pair of loads, the (address, word) entries they share, counted
// through an index of every entry to the loads holding it: a pair costs
// only the entries it shares, not a comparison of all its words.
std::vector<std::uint32_t> AgreeingWords(const std::vector<Load>& loads) {
  const std::size_t n = loads.size();
  std::vector<std::uint64_t> entries;  // the entry above, the load below
  for (std::size_t load = 0; load < n; ++load) {
    for (const auto& [address, word] : loads[load].words) {
      entries.push_back((std::uint64_t{address} << 16 | word) << 32 | load);
    }
  }
  std::sort(entries.begin(), entries.end());
  std::vector<std::uint32_t> agree(n * n, 0);
  for (std::size_t run = 0; run < entries.size();) {
    std::size_t end = run + 1;
    while (end < entries.size() && entries[end] >> 32 == entries[run] >> 32) ++end;
    for (std::size_t i = run; i < end; ++i) {
      const std::size_t a = entries[i] & 0xFFFFFFFFu;
      for (std::size_t j = i + 1; j < end; ++j) ++agree[a * n + (entries[j] & 0xFFFFFFFFu)];
    }
    run = end;
  }
  return agree;
}

std::vector<SimilarPair> SimilarPairs(const std::vector<Load>& loads, int at) {
  const std::size_t n = loads.size();
  const std::vector<std::uint32_t> agree = AgreeingWords(loads);
  std::vector<SimilarPair> pairs;
  const auto percent = static_cast<std::uint64_t>(at);
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = a + 1; b < n; ++b) {
      const std::uint64_t agreeing = agree[a * n + b];
      if (agreeing == 0) continue;
      const Words& x = loads[a].words;
      const Words& y = loads[b].words;
      // Either load's addresses are at most their union: a pair that falls
      // short over the larger one falls short over the union.
      if (agreeing * 100 < percent * std::max(x.size(), y.size())) continue;
      const std::uint64_t either = x.size() + y.size() - CommonAddresses(x, y);
      if (agreeing * 100 < percent * either) continue;
      const int shown = static_cast<int>(agreeing * 100 / either);
      for (const std::size_t p : loads[a].programs) {
        for (const std::size_t q : loads[b].programs) {
          pairs.push_back({std::min(p, q), std::max(p, q), shown});
        }
      }
    }
  }
  std::sort(pairs.begin(), pairs.end(), [](const SimilarPair& l, const SimilarPair& r) {
    if (l.percent != r.percent) return l.percent > r.percent;
    return l.first != r.first ? l.first < r.first : l.second < r.second;
  });
  return pairs;
}

}  // namespace

Copies findCopies(const std::vector<ProgramResult>& results, std::optional<int> similar) {
  Copies copies;
  const std::vector<Load> loads = DistinctLoads(results);
  // The loads come in the order of their first programs.
  for (const Load& load : loads) {
    if (load.programs.size() > 1) copies.identical.push_back(load.programs);
  }
  if (similar) {
    copies.similar_at = similar;
    copies.similar = SimilarPairs(loads, *similar);
  }
  return copies;
}

std::string copiesOf(const Copies& copies, const std::vector<ProgramResult>& results,
                     std::size_t program) {
  std::string text;
  const auto add = [&](const std::string& entry) {
    if (!text.empty()) text += "; ";
    text += entry;
  };
  for (const auto& group : copies.identical) {
    if (std::find(group.begin(), group.end(), program) == group.end()) continue;
    for (const std::size_t other : group) {
      if (other != program) add("same as " + results[other].program);
    }
  }
  for (const SimilarPair& pair : copies.similar) {
    if (pair.first != program && pair.second != program) continue;
    const std::size_t other = pair.first == program ? pair.second : pair.first;
    add(std::to_string(pair.percent) + " % like " + results[other].program);
  }
  return text;
}

}  // namespace orben::grader
