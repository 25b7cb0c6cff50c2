#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "grader/feedback.h"

namespace orben::grader {

namespace {

namespace fs = std::filesystem;

// The parts of `path` from its file name back, without its root and
// without "." and "..".
std::vector<std::string> PartsBackwards(const std::string& path) {
  std::vector<std::string> parts;
  for (const auto& part : fs::path(path).relative_path()) {
    const std::string name = part.string();
    if (!name.empty() && name != "." && name != "..") parts.push_back(name);
  }
  std::reverse(parts.begin(), parts.end());
  if (parts.empty()) parts.push_back(path);
  return parts;
}

// The last `count` parts, joined by '_'.
std::string Tail(const std::vector<std::string>& backwards, std::size_t count) {
  std::string tail;
  for (std::size_t i = std::min(count, backwards.size()); i-- > 0;) {
    tail += backwards[i];
    if (i > 0) tail += '_';
  }
  return tail;
}

// As a file system that ignores the letters' case compares names.
std::string Folded(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return name;
}

}  // namespace

std::vector<std::string> FeedbackFileNames(const std::vector<std::string>& programs) {
  std::vector<std::vector<std::string>> parts;
  for (const auto& program : programs) parts.push_back(PartsBackwards(program));
  std::vector<std::size_t> taken(programs.size(), 1);
  // Each program sharing its name with another takes one more folder,
  // until none shares or no folders are left.
  for (bool longer = true; longer;) {
    longer = false;
    std::map<std::string, std::vector<std::size_t>> by_name;
    for (std::size_t i = 0; i < programs.size(); ++i) {
      by_name[Folded(Tail(parts[i], taken[i]))].push_back(i);
    }
    for (const auto& [name, sharing] : by_name) {
      if (sharing.size() < 2) continue;
      for (std::size_t i : sharing) {
        if (taken[i] < parts[i].size()) {
          ++taken[i];
          longer = true;
        }
      }
    }
  }
  std::vector<std::string> names;
  std::set<std::string> used;
  for (std::size_t i = 0; i < programs.size(); ++i) {
    const std::string stem = Tail(parts[i], taken[i]);
    std::string name = stem + ".txt";
    for (int n = 2; used.count(Folded(name)) > 0; ++n) {
      name = stem + " (" + std::to_string(n) + ").txt";
    }
    used.insert(Folded(name));
    names.push_back(name);
  }
  return names;
}

std::vector<std::string> WriteFeedbackFiles(const std::string& folder, const CaseFile& cases,
                                            const std::vector<ProgramResult>& results) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder)) return {folder};
  std::vector<std::string> programs;
  for (const auto& result : results) programs.push_back(result.program);
  const std::vector<std::string> names = FeedbackFileNames(programs);
  std::vector<std::string> unwritten;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const std::string path = (fs::path(folder) / names[i]).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    WriteFeedback(cases, results[i], out);
    out.flush();
    if (!out) unwritten.push_back(path);
  }
  return unwritten;
}

}  // namespace orben::grader
