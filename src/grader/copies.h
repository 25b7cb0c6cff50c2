#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "grader/grading.h"
#include "session/json_writer.h"

namespace orben::grader {

// Two programs whose loads agree at `percent` % of the addresses either
// loads (rounded down): `first` and `second` index the results, first <
// second.
struct SimilarPair {
  std::size_t first = 0;
  std::size_t second = 0;
  int percent = 0;
  bool operator==(const SimilarPair&) const = default;
};

// The programs of a class that load the same words, and those that load
// nearly the same. A program that could not be read or assembled, or whose
// load put nothing into memory, takes no part.
struct Copies {
  // Groups of two or more programs whose loads put exactly the same word at
  // exactly the same addresses; each group in the order of the results, the
  // groups by their first program.
  std::vector<std::vector<std::size_t>> identical;
  // The least agreement asked for (1..100), or none: no pairs looked for.
  std::optional<int> similar_at;
  // The pairs agreeing at similar_at % or more, two programs of one
  // identical group never among them; the closest first, then in the
  // order of the results.
  std::vector<SimilarPair> similar;
  bool empty() const { return identical.empty() && similar.empty(); }
};

// The copies among `results` by their loaded words: two loads agree at an
// address when both put the same word there, and a pair's agreement is
// the addresses where they agree over the addresses either of them loads.
Copies findCopies(const std::vector<ProgramResult>& results, std::optional<int> similar);

// What `copies` says of one program, in a few words (a grade sheet's
// cell, which a spreadsheet must not take for a formula): "same as b.asm"
// for each program it is identical to, "96 % like c.asm" for each it is
// similar to, separated by "; "; empty when nothing.
std::string copiesOf(const Copies& copies, const std::vector<ProgramResult>& results,
                     std::size_t program);

// The text report's section of copies: the identical groups, then the
// similar pairs, each under its heading; nothing when there are none.
void WriteCopies(const Copies& copies, const std::vector<ProgramResult>& results,
                 std::ostream& out);

// {"identical": [[names]], "similar": [{"programs": [a, b], "percent": N}]}.
session::JsonDocument CopiesJson(const Copies& copies, const std::vector<ProgramResult>& results);

}  // namespace orben::grader
